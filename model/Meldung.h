// The one way the core asks for the user's OK. The desktop program shows a modal box,
// the command line prints the text, tests record it. A call returns once the user has
// confirmed; the caller then goes on or stops as its own rules say.
#pragma once

#include "model/Text.h"

#include <string>

namespace pavolant {

// What the user reads when memory ran out part way through a step (the system's own
// text, "std::bad_alloc", says nothing to a user). Stored untranslated: shown as
// Tr(kSpeicherErschoepft).
inline constexpr const char* kSpeicherErschoepft =
    TrVorgemerkt("Der Arbeitsspeicher reicht für diesen Schritt nicht aus; er wurde abgebrochen.");

enum class MeldungsArt { Warnung, Information };

// What a message says about one spline point, where the user can mend it: the centre
// line stopped on the point's heading (Winkel) or on its distance to the point before
// it (Abstand).
struct Punkthinweis {
    enum class Grund { Winkel, Abstand };
    Grund grund;
    int punkt;  // 0-based index
};

class Melder {
public:
    virtual ~Melder() = default;
    virtual void Melden(MeldungsArt art, const std::string& text) = 0;
    // Whether every message is a box the user must confirm (the desktop), rather than a
    // line or a record: repeated messages are then gathered into one box.
    virtual bool JedeMeldungEinBox() const { return false; }

    void Warnung(const std::string& text) { Melden(MeldungsArt::Warnung, text); }
    void Information(const std::string& text) { Melden(MeldungsArt::Information, text); }

    // The same message together with the point it is about; a melder that has no use
    // for the point shows the message as any other.
    virtual void MeldenZuPunkt(MeldungsArt art, const std::string& text, const Punkthinweis& hinweis) {
        (void)hinweis;
        Melden(art, text);
    }
};

}  // namespace pavolant
