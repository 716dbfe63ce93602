#include "ui/uGrafik.h"

#include "model/Zahlen.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pavolant {

namespace {

template <class T>
using Komponente = pavolant::Komponente<TForm2, T>;

constexpr std::array kEdits = {
    Komponente<TEdit>{"edtRandLBreite", &TForm2::edtRandLBreite},
    Komponente<TEdit>{"edtRandLWinkel", &TForm2::edtRandLWinkel},
    Komponente<TEdit>{"edtRandLEnde", &TForm2::edtRandLEnde},
    Komponente<TEdit>{"edtRandLEndePxl", &TForm2::edtRandLEndePxl},
    Komponente<TEdit>{"edtRandLnormale", &TForm2::edtRandLnormale},
    Komponente<TEdit>{"edtRandRBreite", &TForm2::edtRandRBreite},
    Komponente<TEdit>{"edtRandRWinkel", &TForm2::edtRandRWinkel},
    Komponente<TEdit>{"edtRandREnde", &TForm2::edtRandREnde},
    Komponente<TEdit>{"edtRandREndePxl", &TForm2::edtRandREndePxl},
    Komponente<TEdit>{"edtRandRnormale", &TForm2::edtRandRnormale},
};
constexpr std::array kCheckBoxen = {
    Komponente<TCheckBox>{"cboUnverzerrt", &TForm2::cboUnverzerrt},
    Komponente<TCheckBox>{"cboRandLnormMan", &TForm2::cboRandLnormMan},
    Komponente<TCheckBox>{"cboRandRnormMan", &TForm2::cboRandRnormMan},
};
constexpr std::array kSpinEdits = {
    Komponente<TSpinEdit>{"sedRandLNr", &TForm2::sedRandLNr},
    Komponente<TSpinEdit>{"sedRandRNr", &TForm2::sedRandRNr},
};
constexpr std::array kButtons = {
    Komponente<TButton>{"Button1", &TForm2::Button1},
    Komponente<TButton>{"BitBtn1", &TForm2::BitBtn1},
    Komponente<TButton>{"spbRandLAdd", &TForm2::spbRandLAdd},
    Komponente<TButton>{"SpeedButton2", &TForm2::SpeedButton2},
    Komponente<TButton>{"spbRandLAddEnd", &TForm2::spbRandLAddEnd},
    Komponente<TButton>{"spbRandRAdd", &TForm2::spbRandRAdd},
    Komponente<TButton>{"spbRandRDel", &TForm2::spbRandRDel},
    Komponente<TButton>{"spbRandRAddEnd", &TForm2::spbRandRAddEnd},
};
constexpr std::array kGroupBoxen = {
    Komponente<TGroupBox>{"gboRandLSegmente", &TForm2::gboRandLSegmente},
    Komponente<TGroupBox>{"gboRandRSegmente", &TForm2::gboRandRSegmente},
};

template <class T, std::size_t N>
T* Suchen(TForm2& form, const std::array<Komponente<T>, N>& tabelle, std::string_view name) {
    return KomponenteSuchen<TForm2, T>(form, tabelle, name);
}

// Widens [lo, hi] to hold v; a bound moves only for a value strictly outside it, so a
// value that is no number leaves the box as it was.
void Weiten(double& lo, double& hi, double v) {
    if (v < lo) lo = v;
    if (v > hi) hi = v;
}

}  // namespace

Weltausschnitt Profilausschnitt(const TRandPunkte& randR, const TRandPunkte& randL, double breite, bool unverzerrt,
                                int w, int h) {
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

TForm2::TForm2(TRandPunkte& randR, TRandPunkte& randL, StummschaltbarerMelder& melder)
    : RandR(randR),
      RandL(randL),
      RandREditor(randR, melder,
                  {gboRandRSegmente, sedRandRNr, spbRandRAdd, spbRandRDel, spbRandRAddEnd, edtRandRBreite,
                   edtRandRWinkel, edtRandREnde, edtRandREndePxl, cboRandRnormMan, edtRandRnormale},
                  "Right segments :     ", std::nullopt),
      RandLEditor(randL, melder,
                  {gboRandLSegmente, sedRandLNr, spbRandLAdd, SpeedButton2, spbRandLAddEnd, edtRandLBreite,
                   edtRandLWinkel, edtRandLEnde, edtRandLEndePxl, cboRandLnormMan, edtRandLnormale},
                  "Left segments :     ", std::nullopt) {
    Button1.Caption = "OK";
    cboUnverzerrt.Caption = "undistortd";
    BitBtn1.Caption = "Redraw now  ";
    SegmentgruppeVorbelegen(RandREditor.Felder(), "Right bordersegments:1", "Randsegment am Ende hinzufügen");
    SegmentgruppeVorbelegen(RandLEditor.Felder(), "Left bordersegments:1", "Randsegment am Ende hinzufügen");

    cboUnverzerrt.OnClick = [this] { Neuzeichnen(); };
    BitBtn1.OnClick = [this] { Neuzeichnen(); };
    // Button1 closes the window: the view's part.
}

TEdit* TForm2::Edit(std::string_view name) { return Suchen(*this, kEdits, name); }
TCheckBox* TForm2::CheckBox(std::string_view name) { return Suchen(*this, kCheckBoxen, name); }
TSpinEdit* TForm2::SpinEdit(std::string_view name) { return Suchen(*this, kSpinEdits, name); }
TButton* TForm2::Button(std::string_view name) { return Suchen(*this, kButtons, name); }
TGroupBox* TForm2::GroupBox(std::string_view name) { return Suchen(*this, kGroupBoxen, name); }

void TForm2::FormShow() {
    gboRandRSegmente.Visible = RandR.Aktiv;
    gboRandLSegmente.Visible = RandL.Aktiv;
    // The spins show each border's current segment, which the main window has just set.
    RandREditor.Anzeigen();
    RandLEditor.Anzeigen();
    Neuzeichnen();
}

void TForm2::Neuzeichnen() {
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
