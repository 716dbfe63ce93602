#include "ui/Profilfenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pavolant {

namespace {

template <class T>
using Komponente = pavolant::Komponente<Profilfenster, T>;

constexpr std::array kEdits = {
    Komponente<TEdit>{"edtRandLBreite", &Profilfenster::edtRandLBreite},
    Komponente<TEdit>{"edtRandLWinkel", &Profilfenster::edtRandLWinkel},
    Komponente<TEdit>{"edtRandLEnde", &Profilfenster::edtRandLEnde},
    Komponente<TEdit>{"edtRandLEndePxl", &Profilfenster::edtRandLEndePxl},
    Komponente<TEdit>{"edtRandLnormale", &Profilfenster::edtRandLnormale},
    Komponente<TEdit>{"edtRandRBreite", &Profilfenster::edtRandRBreite},
    Komponente<TEdit>{"edtRandRWinkel", &Profilfenster::edtRandRWinkel},
    Komponente<TEdit>{"edtRandREnde", &Profilfenster::edtRandREnde},
    Komponente<TEdit>{"edtRandREndePxl", &Profilfenster::edtRandREndePxl},
    Komponente<TEdit>{"edtRandRnormale", &Profilfenster::edtRandRnormale},
};
constexpr std::array kCheckBoxen = {
    Komponente<TCheckBox>{"cboUnverzerrt", &Profilfenster::cboUnverzerrt},
    Komponente<TCheckBox>{"cboRandLnormMan", &Profilfenster::cboRandLnormMan},
    Komponente<TCheckBox>{"cboRandRnormMan", &Profilfenster::cboRandRnormMan},
};
constexpr std::array kSpinEdits = {
    Komponente<TSpinEdit>{"sedRandLNr", &Profilfenster::sedRandLNr},
    Komponente<TSpinEdit>{"sedRandRNr", &Profilfenster::sedRandRNr},
};
constexpr std::array kButtons = {
    Komponente<TButton>{"Button1", &Profilfenster::Button1},
    Komponente<TButton>{"BitBtn1", &Profilfenster::BitBtn1},
    Komponente<TButton>{"spbRandLAdd", &Profilfenster::spbRandLAdd},
    Komponente<TButton>{"SpeedButton2", &Profilfenster::SpeedButton2},
    Komponente<TButton>{"spbRandLAddEnd", &Profilfenster::spbRandLAddEnd},
    Komponente<TButton>{"spbRandRAdd", &Profilfenster::spbRandRAdd},
    Komponente<TButton>{"spbRandRDel", &Profilfenster::spbRandRDel},
    Komponente<TButton>{"spbRandRAddEnd", &Profilfenster::spbRandRAddEnd},
};
constexpr std::array kGroupBoxen = {
    Komponente<TGroupBox>{"gboRandLSegmente", &Profilfenster::gboRandLSegmente},
    Komponente<TGroupBox>{"gboRandRSegmente", &Profilfenster::gboRandRSegmente},
};

template <class T, std::size_t N>
T* Suchen(Profilfenster& form, const std::array<Komponente<T>, N>& tabelle, std::string_view name) {
    return KomponenteSuchen<Profilfenster, T>(form, tabelle, name);
}

// Widens [lo, hi] to hold v; a bound moves only for a value strictly outside it, so a
// value that is no number leaves the box as it was.
void Weiten(double& lo, double& hi, double v) {
    if (v < lo) lo = v;
    if (v > hi) hi = v;
}

}  // namespace

Weltausschnitt Profilausschnitt(const TRandPunkte& randR, const TRandPunkte& randL, double breite,
                                bool unverzerrt, int w, int h) {
    const double halb = breite / 2;
    // The roadway from edge to edge whichever way round the width's sign puts them: a
    // negative width still builds a road, so it must still be drawn.
    Weltausschnitt a{std::min(-halb, halb), std::max(-halb, halb), 0, 0};
    if (randR.Aktiv) {
        Weiten(a.XMin, a.XMax, halb + randR.MinX);
        Weiten(a.XMin, a.XMax, halb + randR.MaxX);
        Weiten(a.YMin, a.YMax, randR.MinY);
        Weiten(a.YMin, a.YMax, randR.MaxY);
    }
    if (randL.Aktiv) {
        // The left border is drawn mirrored: its outermost x is the leftmost.
        Weiten(a.XMin, a.XMax, -halb - randL.MaxX);
        Weiten(a.XMin, a.XMax, -halb - randL.MinX);
        Weiten(a.YMin, a.YMax, randL.MinY);
        Weiten(a.YMin, a.YMax, randL.MaxY);
    }
    const double mx = (a.XMax - a.XMin) * 0.05 + 0.1;
    const double my = (a.YMax - a.YMin) * 0.05 + 0.1;
    a.XMin -= mx;
    a.XMax += mx;
    a.YMin -= my;
    a.YMax += my;
    if (!unverzerrt || w <= 0 || h <= 0) return a;

    const double sx = a.XMax - a.XMin, sy = a.YMax - a.YMin;
    const double kx = w / sx, ky = h / sy;  // pixels per metre
    if (kx > ky) {
        const double p = (kx / ky - 1) * sx / 2;
        a.XMin -= p;
        a.XMax += p;
    } else {
        const double p = (ky / kx - 1) * sy / 2;
        a.YMin -= p;
        a.YMax += p;
    }
    return a;
}

Profilfenster::Profilfenster(TRandPunkte& randR, TRandPunkte& randL, StummschaltbarerMelder& melder)
    : RandR(randR),
      RandL(randL),
      RandREditor(randR, melder,
                  {gboRandRSegmente, sedRandRNr, spbRandRAdd, spbRandRDel, spbRandRAddEnd, edtRandRBreite,
                   edtRandRWinkel, edtRandREnde, edtRandREndePxl, cboRandRnormMan, edtRandRnormale},
                  TrVorgemerkt("Right segments :     "), std::nullopt),
      RandLEditor(randL, melder,
                  {gboRandLSegmente, sedRandLNr, spbRandLAdd, SpeedButton2, spbRandLAddEnd, edtRandLBreite,
                   edtRandLWinkel, edtRandLEnde, edtRandLEndePxl, cboRandLnormMan, edtRandLnormale},
                  TrVorgemerkt("Left segments :     "), std::nullopt) {
    Caption = Tr("Show profile  ");
    Panel1Hint = Tr("Änderungen hier bestätigen ");
    Button1.Caption = Tr("OK");
    cboUnverzerrt.Caption = Tr("undistortd");
    BitBtn1.Caption = Tr("Redraw now  ");
    SegmentgruppeVorbelegen(RandREditor.Felder(), TrVorgemerkt("Right bordersegments:1"),
                            TrVorgemerkt("Randsegment am Ende hinzufügen"));
    SegmentgruppeVorbelegen(RandLEditor.Felder(), TrVorgemerkt("Left bordersegments:1"),
                            TrVorgemerkt("Randsegment am Ende hinzufügen"));

    cboUnverzerrt.OnClick = [this] { Neuzeichnen(); };
    BitBtn1.OnClick = [this] { Neuzeichnen(); };
    // Button1 closes the window: the view's part.
}

TEdit* Profilfenster::Edit(std::string_view name) { return Suchen(*this, kEdits, name); }
TCheckBox* Profilfenster::CheckBox(std::string_view name) { return Suchen(*this, kCheckBoxen, name); }
TSpinEdit* Profilfenster::SpinEdit(std::string_view name) { return Suchen(*this, kSpinEdits, name); }
TButton* Profilfenster::Button(std::string_view name) { return Suchen(*this, kButtons, name); }
TGroupBox* Profilfenster::GroupBox(std::string_view name) { return Suchen(*this, kGroupBoxen, name); }

void Profilfenster::FormShow() {
    gboRandRSegmente.Visible = RandR.Aktiv;
    gboRandLSegmente.Visible = RandL.Aktiv;
    // The spins show each border's current segment, which the main window has just set.
    RandREditor.Anzeigen();
    RandLEditor.Anzeigen();
    Neuzeichnen();
}

void Profilfenster::Neuzeichnen() {
    if (!Image1) return;
    Zeichenflaeche& bild = *Image1;
    const int w = bild.Breite(), h = bild.Hoehe();
    if (w <= 0 || h <= 0) return;  // no pixel to draw on; the next resize redraws

    const Weltausschnitt a = Profilausschnitt(RandR, RandL, FahrbahnBreite, cboUnverzerrt.Checked(), w, h);
    bild.Fuellen(kFarbeWeiss);
    const double sx = a.XMax - a.XMin, sy = a.YMax - a.YMin;
    // A width that is no usable number leaves an empty box: nothing to map onto.
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return;

    // World to pixel, halves to even; rows grow downwards, so up in the world is up.
    const auto spalte = [&](double x) { return RundeGeradeInt((x - a.XMin) / sx * w); };
    const auto zeile = [&](double y) { return RundeGeradeInt((1 - (y - a.YMin) / sy) * h); };
    const double halb = FahrbahnBreite / 2;
    bild.Stift(kFarbeSchwarz, 3);
    bild.BewegeZu(spalte(-halb), zeile(0));
    bild.LinieZu(spalte(halb), zeile(0));
    RandR.Zeichnen(kFarbeRandRechts, bild, halb, 0, a.XMin, a.XMax, a.YMin, a.YMax);
    RandL.Zeichnen(kFarbeRandLinks, bild, -halb, 0, a.XMin, a.XMax, a.YMin, a.YMax);
}

}  // namespace pavolant
