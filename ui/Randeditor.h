// The border segment editor: shows one segment of one border profile at a time and
// writes the user's values into it. One class serves both sides and both windows; an
// instance is given its border and the controls it works on, never a copy of the
// border, so a change made in one window is in the model for the other at once.
//
// Two variants:
//  - main window: with the border's enable box and texture group (RandTexturFelder);
//    leaving the segment group commits;
//  - profile view: segment group only; leaving the group commits nothing (the view's
//    fields commit on their own exit).
//
// Units: widths in metres; angles typed and shown in degrees, held in radians; U is a
// fraction of the texture width; the pixel fields are whole pixels of the texture.
//
// Invariants kept by every operation: the border's AktSegment is a valid index
// (0 .. count - 1) and the spin shows it; the custom normal field is enabled exactly
// when its box is checked; the width and angle fields are disabled while segment 0 is
// current (once the border has been shown).
//
// Handlers throw KonvertierungsFehler at the first field that is no number; the values
// read before it stay written, nothing after it happens.
#pragma once

#include "model/Meldung.h"
#include "model/Randprofil.h"
#include "ui/Steuerelemente.h"

#include <optional>
#include <string>
#include <string_view>

namespace pavolant {

class IniDatei;

// Passes messages on to the user unless muted. The borders report through it, so the
// window can bring a profile's derived values up to date without showing advice about
// values the user has not touched.
class StummschaltbarerMelder : public Melder {
public:
    explicit StummschaltbarerMelder(Melder& ziel) : ziel_(ziel) {}
    void Melden(MeldungsArt art, const std::string& text) override {
        if (!stumm_) ziel_.Melden(art, text);
    }

    // Mutes for its own lifetime.
    class Stille {
    public:
        explicit Stille(StummschaltbarerMelder& m) : m_(m), vorher_(m.stumm_) { m_.stumm_ = true; }
        ~Stille() { m_.stumm_ = vorher_; }
        Stille(const Stille&) = delete;
        Stille& operator=(const Stille&) = delete;

    private:
        StummschaltbarerMelder& m_;
        bool vorher_;
    };

private:
    Melder& ziel_;
    bool stumm_ = false;
};

// The controls of one segment group.
struct RandSegmentFelder {
    TGroupBox& Gruppe;
    TSpinEdit& Nr;  // selects the segment: 0 is the start point
    TButton& Einfuegen;
    TButton& Loeschen;
    TButton& Anhaengen;
    TEdit& Breite;   // metres
    TEdit& Winkel;   // degrees
    TEdit& Ende;     // U at the segment's end
    TEdit& EndePxl;  // the same in pixels of the texture
    TCheckBox& NormaleMan;
    TEdit& Normale;  // degrees
};

// The main window's part: the enable box and the texture group.
struct RandTexturFelder {
    TCheckBox& Aktiv;
    TGroupBox& Gruppe;
    TEdit& Datei;
    TEdit& Laenge;     // metres along the road per texture repeat
    TEdit& Breite;     // metres of profile per unit of U
    TEdit& BreitePxl;  // the texture's width in pixels
    TCheckBox& Ruecksetzen;
    TButton& BreiteZuU;
};

// A segment group's controls as a window opens with them: spin 1 of 0..2, the hints,
// the layout texts. The texts stay until the border is first shown. `ueberschrift` and
// `anhaengenHinweis` are message ids (marked with TrVorgemerkt where they are written),
// shown translated; a text that is no id is shown as it is.
void SegmentgruppeVorbelegen(const RandSegmentFelder& felder, const std::string& ueberschrift,
                             const std::string& anhaengenHinweis);

class RandEditor {
public:
    // `melder` must be the melder the border reports through. `ueberschrift` starts the
    // segment group's caption, which ends with the number of segments after segment 0;
    // it is a message id (marked with TrVorgemerkt where it is written) and shown
    // translated, so it ends with the space or colon that comes before the number.
    // Without `textur` the editor is the profile view's variant. Wires the controls'
    // events; the controls and the border must outlive the editor.
    RandEditor(TRandPunkte& rand, StummschaltbarerMelder& melder, const RandSegmentFelder& felder,
               std::string ueberschrift, std::optional<RandTexturFelder> textur);
    RandEditor(const RandEditor&) = delete;
    RandEditor& operator=(const RandEditor&) = delete;

    TRandPunkte& Rand() { return rand_; }
    const RandSegmentFelder& Felder() const { return felder_; }
    // The main window's part; empty in the profile view.
    const std::optional<RandTexturFelder>& Textur() const { return textur_; }

    // Display the current segment (and the texture group). In the main window it first
    // sets the enable box from the border, which may run the enabling chain; an
    // inactive border shows nothing more.
    void Anzeigen();
    // Commit the fields into the current segment, recompute the border, switch to the
    // spin's segment (clamped to the border), display. Runs on a spin change and when
    // a segment field or the group is left.
    void Wechseln();
    void EinfuegenClick();   // commit, then insert a copy of the current segment
    void AnhaengenClick();   // commit, then append a default segment and switch to it
    void LoeschenClick();    // delete the current segment; never segment 0
    void NormaleManClick();  // custom normal field enabled exactly when the box is checked
    void EndePxlExit();      // End pixel field to End field, with the border's Pixel
    // Main window only (nothing in the profile view):
    void TexturUebernehmen();  // texture group into the border
    void BreiteZuUClick();     // texture width, then every U from the segment widths

    // The enabling chain's part for this border: groups shown and enabled exactly while
    // `an`, the border's Aktiv := `an`, and when on, the derived values brought up to
    // date and the border displayed.
    void Freigeben(bool an);

    // Reads the border from the sections `abschnitt`_Geo / _Textur and refreshes the
    // controls, caption `ueberschrift` (a message id, shown translated) + count. After a single-border load
    // the segment fields are refreshed only for an active border. The editor's pending values are not
    // committed first: the file replaces the profile they belong to. A value that is no number stops the read
    // at its key; the controls then show what was read.
    void Laden(const IniDatei& ini, std::string_view abschnitt, std::string_view ueberschrift,
               bool ganzeDatei);

private:
    TRandSegment& Aktuelles();
    void Begrenzen();  // AktSegment into 0 .. count - 1
    void BerechnenStill();
    void Auffrischen(std::string_view ueberschrift, bool ganzeDatei);

    TRandPunkte& rand_;
    StummschaltbarerMelder& melder_;
    RandSegmentFelder felder_;
    std::string ueberschrift_;
    std::optional<RandTexturFelder> textur_;
};

}  // namespace pavolant
