// Messages of one event, bundled when they repeat: a run over a border of 20,000
// segments may warn 19,994 times with the same text and another number, and nobody
// reads, or clicks away, that many.
#pragma once

#include "model/Meldung.h"

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace pavolant {

// Passes messages on to `ziel`. Between Beginnen() and the matching Beenden() (an event;
// they nest) messages of the same kind, the same text but for its numbers, are counted:
//  - A target whose every message is a box to confirm (Melder::JedeMeldungEinBox) gets
//    the first of each kind at once, as ever, and the next 19 of every kind together in
//    one message when the event ends, with one line per kind that says how many more
//    there were.
//  - Any other target (lines on standard error, a record) gets the first 20 of each kind
//    at once, and at the end of the event one information per kind that had more.
// Outside an event every message passes on at once.
class Meldungsbuendel : public Melder {
public:
    static constexpr int kHoechstens = 20;  // messages of one kind shown per event

    explicit Meldungsbuendel(Melder& ziel) : ziel_(ziel) {}

    void Melden(MeldungsArt art, const std::string& text) override;
    bool JedeMeldungEinBox() const override { return ziel_.JedeMeldungEinBox(); }

    void Beginnen() { ++tiefe_; }
    // Ends an event; the outermost delivers what was held and counted.
    void Beenden();

    // The kind of a message: its text with every run of digits as one '#'. It looks at
    // no word, so it bundles the messages of any language alike.
    static std::string Art(const std::string& text);
    // "19974 weitere Meldungen wie \"<erste>\" wurden nicht angezeigt."
    static std::string Weitere(std::size_t anzahl, const std::string& erste);

private:
    struct Sorte {
        MeldungsArt art;
        std::string erste;                  // the first message of the kind
        std::size_t anzahl = 0;             // all of them in this event
        std::vector<std::string> gehalten;  // for the one box at the end
    };

    Melder& ziel_;
    int tiefe_ = 0;
    std::vector<Sorte> sorten_;  // in the order of their first message
    std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace pavolant
