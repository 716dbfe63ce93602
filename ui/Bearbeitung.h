// The main window's edit history: the road as a whole state, taken after every event
// that changed it, so that each change can be undone and redone, and the modified state
// that says whether the road differs from the one last saved or loaded.
//
// A state holds everything that makes the road and its window: every field's text and
// every control's check, enable, visible and range state, both border profiles with
// their segments, the spline points with the current one, the front-face fill's
// settings, the fineness settings, the texture pixel width, the TexL0 to restore and the
// map's ground.
// It leaves out what belongs to the session rather than the road: the output file and
// "Go", the memo, the parameter labels, the fill's outline of the last run.
#pragma once

#include "model/Feinheit.h"
#include "model/Gelaende.h"
#include "model/Randprofil.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pavolant {

struct Strassenstand {
    Strassenstand(const TRandPunkte& randR, const TRandPunkte& randL) : RandR(randR), RandL(randL) {}

    struct Feld {
        std::string Text;
        bool Enabled, Visible;
        bool operator==(const Feld&) const = default;
    };
    struct Box {
        bool Checked, Enabled, Visible;
        bool operator==(const Box&) const = default;
    };
    struct Spin {
        int Wert, Min, Max;
        bool Enabled, Visible;
        bool operator==(const Spin&) const = default;
    };
    struct Gruppe {
        std::string Caption;
        bool Enabled, Visible;
        bool operator==(const Gruppe&) const = default;
    };
    struct Knopf {
        bool Enabled, Visible;
        bool operator==(const Knopf&) const = default;
    };

    // In the order of the window's component tables.
    std::vector<Feld> Felder;
    std::vector<Box> Boxen;
    std::vector<Spin> Spins;
    std::vector<Gruppe> Gruppen;
    std::vector<Knopf> Knoepfe;

    TRandPunkte RandR, RandL;
    std::vector<std::array<double, 6>> Punkte;  // X, Y, Z, Xrot, Yrot, Zrot of each spline point
    std::vector<bool> GelaendeLassen;           // each spline point's switch, beside Punkte
    // Each point's name from the import: restored with its point, but no change of the
    // road (no file holds it), so Gleich does not compare it.
    std::vector<std::string> Punktnamen;
    int AktuellerPunkt = 0;
    std::string SplineDatei;
    double FuellHoehe = 0, FuellBreite = 0;
    std::string FuellTextur;
    bool FuellTausch = false;
    Feinheit Einstellungen;
    std::int32_t TexPxl = 0;
    double OldTexL0 = 0;
    // The map's ground the road lies on (its source and clearance; the pixels are read anew).
    std::optional<Gelaendequelle> Gelaende;
};

// Equal to the bit: a -0 that became 0 is a change, and a NaN equals itself.
bool Gleich(const Strassenstand& a, const Strassenstand& b);

// The states of the road in order, the current one among them. A new state after an
// undo drops the states that could have been redone. The oldest states go once more
// than kSchritte steps lie behind the current one.
class Verlauf {
public:
    static constexpr std::size_t kSchritte = 256;

    // Forgets everything; `stand` is the only state, and the saved one.
    void Beginnen(Strassenstand stand);
    // `stand` after an event: a new step when it differs from the current state.
    // True when it did.
    bool Nachfuehren(Strassenstand stand);
    bool KannZurueck() const { return position_ > 0; }
    bool KannVor() const { return position_ + 1 < staende_.size(); }
    // The state one step back or forward, which is then the current one.
    const Strassenstand& Zurueck();
    const Strassenstand& Vor();
    const Strassenstand& Aktuell() const { return staende_[position_]; }
    // The current state is the one in the file now.
    void AlsGespeichertMerken() { gespeichert_ = position_; }
    // No state is the one in the file any more (a load that filled in what the file
    // lacked): every state counts as changed until the next save.
    void NichtsGespeichert() { gespeichert_.reset(); }
    // The current state differs from the one last saved or loaded (or the start state).
    bool Geaendert() const { return gespeichert_ != position_; }
    std::size_t Schritte() const { return staende_.size(); }

private:
    std::deque<Strassenstand> staende_;
    std::size_t position_ = 0;
    // None once the saved state has been dropped: nothing but a save clears the
    // modified state then.
    std::optional<std::size_t> gespeichert_;
};

}  // namespace pavolant
