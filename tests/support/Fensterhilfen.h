// Helpers for the tests of the main window: scripted dialogs and a window with them.
#pragma once

#include "tests/support/Testhilfen.h"
#include "ui/Hauptfenster.h"

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavolant::test {

// Answers each file dialog with the next scripted answer (nullopt: cancelled; none left:
// cancelled) and records what was asked and every error box.
class SkriptDialoge : public Dialoge {
public:
    std::deque<std::optional<std::string>> antworten;
    std::vector<DateiAuswahl> aufrufe;
    std::vector<std::string> fehler;

    std::optional<std::string> DateiOeffnen(const DateiAuswahl& a) override { return Antworten(a); }
    std::optional<std::string> DateiSpeichern(const DateiAuswahl& a) override { return Antworten(a); }
    // Runs where the error box would show: a test may show a real modal box there.
    std::function<void()> beimFehler;
    void Fehler(const std::string& text) override {
        fehler.push_back(text);
        if (beimFehler) beimFehler();
    }
    // The question about unsaved changes: recorded, answered with the next scripted
    // answer (none left: discard, so a test that does not care goes on as before).
    std::deque<Sichern> sichernAntworten;
    std::vector<std::string> fragen;
    Sichern AenderungenSichern(const std::string& frage) override {
        fragen.push_back(frage);
        if (sichernAntworten.empty()) return Sichern::Verwerfen;
        const Sichern antwort = sichernAntworten.front();
        sichernAntworten.pop_front();
        return antwort;
    }

    // A box with offers: recorded, answered with the next scripted choice (none left:
    // OK, as a user who only reads it).
    struct Angebot {
        MeldungsArt art;
        std::string text;
        std::vector<std::string> angebote;
    };
    std::vector<Angebot> angebote;
    std::deque<std::optional<std::size_t>> wahl;
    std::optional<std::size_t> Anbieten(MeldungsArt art, const std::string& text,
                                        const std::vector<std::string>& a) override {
        angebote.push_back({art, text, a});
        if (wahl.empty()) return std::nullopt;
        const std::optional<std::size_t> w = wahl.front();
        wahl.pop_front();
        return w;
    }

    // The import's choice: the tree shown is recorded, the answer is the next scripted
    // pick (none left: every shape, as the interface's default).
    std::vector<std::vector<Importzeile>> importbaeume;
    std::deque<std::optional<Importwahl>> importwahl;
    std::optional<Importwahl> ImportWaehlen(const I3dSzene&, const std::vector<Importzeile>& baum) override {
        importbaeume.push_back(baum);
        if (importwahl.empty()) return Importwahl{};
        std::optional<Importwahl> w = importwahl.front();
        importwahl.pop_front();
        return w;
    }

    // A desktop note: recorded and answered as a box with offers.
    std::optional<std::size_t> Hinweisen(MeldungsArt art, const std::string& text,
                                         const std::vector<std::string>& a) override {
        return Anbieten(art, text, a);
    }

    // The question before a file is replaced: recorded, answered with the next scripted
    // answer (none left: replace, as the command line does).
    std::vector<std::string> ersetzenFragen;
    std::deque<bool> ersetzenAntworten;
    bool Ersetzen(const std::string& frage) override {
        ersetzenFragen.push_back(frage);
        if (ersetzenAntworten.empty()) return true;
        const bool antwort = ersetzenAntworten.front();
        ersetzenAntworten.pop_front();
        return antwort;
    }

private:
    std::optional<std::string> Antworten(const DateiAuswahl& a) {
        aufrufe.push_back(a);
        if (antworten.empty()) return std::nullopt;
        std::optional<std::string> antwort = antworten.front();
        antworten.pop_front();
        return antwort;
    }
};

// A main window in its start state with recording message and dialog boxes.
struct Fenster {
    AufzeichnenderMelder melder;
    SkriptDialoge dialoge;
    Hauptfenster form{melder, dialoge};

    // Runs one event through the window's error boundary.
    bool Ereignis(const std::function<void()>& handler) { return form.Ausfuehren(handler); }
};

// One side's border controls of the main window, found by their component names, so a
// test driven through them also checks the names the view binds to.
struct RandSeite {
    bool rechts;
    TRandPunkte* rand;
    std::string ueberschrift;  // the segment group's caption before the count
    TCheckBox *aktiv, *normMan, *ruecksetzen;
    TGroupBox *gruppe, *segmente;
    TSpinEdit* nr;
    TButton *add, *del, *addEnd, *calcU, *loadTex, *loadPara;
    TEdit *breite, *winkel, *ende, *endePxl, *normale, *texDatei, *texLaenge, *texBreite, *texPxl;
};

inline RandSeite Seite(Hauptfenster& f, bool rechts) {
    const std::string r = rechts ? "R" : "L";
    // Every name must be found: a missing one is a failed lookup, not a null to dereference.
    auto da = [](auto* control, const std::string& name) {
        if (!control) throw std::logic_error("the main window has no control " + name);
        return control;
    };
    auto c = [&](const char* v, const char* h) { return da(f.CheckBox(v + r + h), v + r + h); };
    auto g = [&](const char* v, const char* h) { return da(f.GroupBox(v + r + h), v + r + h); };
    auto b = [&](const char* v, const char* h) { return da(f.Button(v + r + h), v + r + h); };
    auto e = [&](const char* h) { return da(f.Edit("edtRand" + r + h), "edtRand" + r + h); };
    return {rechts,
            rechts ? &f.RandR : &f.RandL,
            rechts ? "Right bordersegments:" : "Left bordersegments:",
            c("cboRand", "enable"),
            c("cboRand", "normMan"),
            c("cboRand", "Ruecksetzen"),
            g("gboRand", ""),
            g("gboRand", "Segmente"),
            da(f.SpinEdit("sedRand" + r + "Nr"), "sedRand" + r + "Nr"),
            b("spbRand", "Add"),
            da(f.Button(rechts ? "spbRandRDel" : "SpeedButton2"), "delete"),
            b("spbRand", "AddEnd"),
            b("btnRand", "calcU"),
            b("bbnRand", "LoadTex"),
            b("bbnRand", "LoadPara"),
            e("Breite"),
            e("Winkel"),
            e("Ende"),
            e("EndePxl"),
            e("normale"),
            e("TexFile"),
            e("TexLaenge"),
            e("TexBreite"),
            e("TexBreitePxl")};
}

// Segments 1 .. n of the side's border with the given widths at angle 0 and U rising by 0.25 per
// segment, the border on and the editor showing segment 1.
inline void Segmente(Hauptfenster& f, const RandSeite& s, const std::vector<double>& breiten) {
    s.aktiv->SetChecked(true);
    TRandPunkte& r = *s.rand;
    while (r.AnzahlSegmente() > 1) r.SegmentLoeschen(r.AnzahlSegmente() - 1);
    for (std::size_t i = 0; i < breiten.size(); ++i) {
        const int k = r.NeuesSegment();
        r.Segment(k)->Breite = breiten[i];
        r.Segment(k)->U = 0.25 * k;
        r.SegmentAktualisieren(k);
    }
    r.Berechnen();
    r.AktSegment = 1;
    (s.rechts ? f.RandREditor : f.RandLEditor).Anzeigen();
}

// The decimal number as the window shows it under the current separator ("0,5" / "0.5").
inline std::string Gezeigt(std::string_view mitPunkt) {
    std::string s(mitPunkt);
    for (char& c : s)
        if (c == '.') c = Dezimaltrenner();
    return s;
}

}  // namespace pavolant::test
