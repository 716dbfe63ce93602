#include "ui/Randeditor.h"
#include "ui/Feldwerte.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/IniAbbildung.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pavolant {

namespace {

// Degrees to the nearest 0.01, as the editor shows a stored angle. An angle beyond the
// hundredths' range (loaded from a file) is shown unrounded: "INF" in the field would be
// a text that no commit accepts, and such a value has no hundredths anyway.
std::string Grad(double rad) {
    const double grad = GradAufHundertstel(rad);
    return FormatAllgemein(std::isfinite(grad) ? grad : RadZuGrad(rad));
}

// An angle field's degrees as radians. An angle whose hundredths overflow could not be
// saved, so it is refused here already, with the field named.
double WinkelFeld(const TEdit& feld) {
    const double rad = GradZuRad(FeldZahl(feld));
    if (!std::isfinite(GradAufHundertstel(rad)))
        // Catalog: %1 is the text typed into the field, %2 the largest number of degrees.
        throw Feldfehler(KonvertierungsFehler(Einsetzen(Tr("'%1' ist als Winkel zu groß (höchstens ±%2°)"),
                                                        {feld.Text, FormatAllgemein(kGroessteGradzahl)})),
                         feld);
    return rad;
}

}  // namespace

void SegmentgruppeVorbelegen(const RandSegmentFelder& s, const std::string& ueberschrift,
                             const std::string& anhaengenHinweis) {
    s.Gruppe.Caption = Tr(ueberschrift.c_str());
    s.Nr.MinValue = 0;
    s.Nr.MaxValue = 2;
    s.Nr.Show(1);
    s.Nr.Hint = Tr("zwischen Randsegmenten umschalten");
    s.Einfuegen.Hint = Tr("Randsegment an aktueller Position einfügen (Werte werden übernommen)");
    s.Loeschen.Hint = Tr("aktuelles Randsegment löschen");
    s.Anhaengen.Hint = Tr(anhaengenHinweis.c_str());
    s.Breite.Text = "1";
    s.Winkel.Text = "-30";
    s.Ende.Text = "0,2";
    s.EndePxl.Text = "0";
    s.NormaleMan.Caption = Tr("Custom normal  ");
    s.Normale.Text = "-30";
    s.Normale.Enabled = false;  // the custom normal box is unchecked
}

RandEditor::RandEditor(TRandPunkte& rand, StummschaltbarerMelder& melder, const RandSegmentFelder& felder,
                       std::string ueberschrift, std::optional<RandTexturFelder> textur)
    : rand_(rand), melder_(melder), felder_(felder), ueberschrift_(std::move(ueberschrift)), textur_(textur) {
    RandSegmentFelder& f = felder_;
    f.Nr.OnChange = [this] { Wechseln(); };
    f.Einfuegen.OnClick = [this] { EinfuegenClick(); };
    f.Loeschen.OnClick = [this] { LoeschenClick(); };
    f.Anhaengen.OnClick = [this] { AnhaengenClick(); };
    // Both sides commit when the custom normal field is left, like the other fields.
    for (TEdit* e : {&f.Breite, &f.Winkel, &f.Ende, &f.Normale}) e->OnExit = [this] { Wechseln(); };
    f.EndePxl.OnExit = [this] { EndePxlExit(); };
    f.NormaleMan.OnClick = [this] { NormaleManClick(); };
    if (!textur_) return;  // the profile view: leaving its segment group commits nothing

    f.Gruppe.OnExit = [this] { Wechseln(); };
    RandTexturFelder& t = *textur_;
    for (TEdit* e : {&t.Laenge, &t.Breite, &t.BreitePxl}) e->OnExit = [this] { TexturUebernehmen(); };
    t.Gruppe.OnExit = [this] { TexturUebernehmen(); };
    t.BreiteZuU.OnClick = [this] { BreiteZuUClick(); };
}

void RandEditor::Begrenzen() {
    rand_.AktSegment = std::clamp(rand_.AktSegment, 0, std::max(rand_.AnzahlSegmente() - 1, 0));
}

TRandSegment& RandEditor::Aktuelles() {
    Begrenzen();
    // Segment 0 is never removed, so a clamped index always names a segment.
    return *rand_.Segment(rand_.AktSegment);
}

void RandEditor::BerechnenStill() {
    StummschaltbarerMelder::Stille stille(melder_);
    rand_.Berechnen();
}

void RandEditor::Anzeigen() {
    Begrenzen();
    // The spin shows the segment the editor works on; a number typed beyond the border
    // was clamped before it became the index.
    felder_.Nr.Show(rand_.AktSegment);
    if (textur_) textur_->Aktiv.SetChecked(rand_.Aktiv);  // may run the enabling chain
    if (!rand_.Aktiv) return;                             // the fields keep their texts

    RandSegmentFelder& f = felder_;
    const TRandSegment& s = Aktuelles();
    // The start point has no width and takes its angle from segment 1.
    f.Breite.Enabled = f.Winkel.Enabled = rand_.AktSegment != 0;
    f.Breite.Text = FormatAllgemein(s.Breite);
    f.Winkel.Text = Grad(s.Winkel);
    f.Ende.Text = FormatAllgemein(s.U);
    if (rand_.Pixel > 0) f.EndePxl.Text = std::to_string(RundeGeradeInt(rand_.Pixel * s.U));
    f.Normale.Text = Grad(s.NormalenWinkel);
    f.NormaleMan.SetChecked(s.NormaleMan);
    f.Normale.Enabled = f.NormaleMan.Checked();

    const int n = rand_.AnzahlSegmente();
    f.Nr.MaxValue = n - 1;
    f.Nr.Visible = n > 1;
    f.Gruppe.Caption = Tr(ueberschrift_.c_str()) + std::to_string(n - 1);

    if (!textur_) return;
    RandTexturFelder& t = *textur_;
    t.Datei.Text = rand_.TexturDatei;
    t.Laenge.Text = FormatAllgemein(rand_.TexturLaenge);
    t.Breite.Text = FormatAllgemein(rand_.TexturBreite);
    t.Ruecksetzen.SetChecked(rand_.Ruecksetzen);
    t.BreitePxl.Text = std::to_string(rand_.Pixel);
}

void RandEditor::Wechseln() {
    RandSegmentFelder& f = felder_;
    // Field by field into the segment, in the order width, angle, End, normal: a bad
    // value stops here with the fields before it written and the segment unchanged as
    // the current one.
    TRandSegment& s = Aktuelles();
    if (rand_.AktSegment == 0) {
        s.Breite = 0;
    } else {
        s.Breite = FeldZahl(f.Breite);
        s.Winkel = WinkelFeld(f.Winkel);
    }
    s.U = FeldZahl(f.Ende);
    s.NormalenWinkel = WinkelFeld(f.Normale);
    s.NormaleMan = f.NormaleMan.Checked();
    rand_.SegmentAktualisieren(rand_.AktSegment);
    rand_.Berechnen();  // its plausibility warnings are advice; the values stay as typed
    // The spin clamps only while its limits differ; with the start point alone they do
    // not, so the index is bounded here as well.
    rand_.AktSegment = std::clamp(f.Nr.Value(), 0, rand_.AnzahlSegmente() - 1);
    Anzeigen();
}

void RandEditor::EinfuegenClick() {
    Wechseln();
    // The copy takes the current index; the segment it was copied from follows it.
    rand_.SegmentVerdoppeln();
    // Positions past the copy and the neighbours' automatic normals now include it, so
    // the profile view and the run see the profile as the editor does. The copy repeats
    // its original's U, which the next commit reports; no advice before the user edits.
    BerechnenStill();
    Anzeigen();
}

void RandEditor::AnhaengenClick() {
    Wechseln();
    rand_.NeuesSegment();
    const int letzter = rand_.AnzahlSegmente() - 1;
    felder_.Nr.MaxValue = letzter;
    // The change commits the fields once more into the previous segment, recomputes the
    // border (which warns about the new segment's zero width) and shows the new one.
    felder_.Nr.SetValue(letzter);
}

void RandEditor::LoeschenClick() {
    Begrenzen();
    const int i = rand_.AktSegment;
    if (i == 0) {
        melder_.Information(Tr("Nullpunkt kann nicht gelöscht werden"));
        return;
    }
    if (i == rand_.AnzahlSegmente() - 1) {
        // Step back first: the change commits the fields into the segment about to go
        // and makes the one before it current.
        felder_.Nr.SetValue(i - 1);
        rand_.SegmentLoeschen(i);
        rand_.AktSegment = rand_.AnzahlSegmente() - 1;
    } else {
        // The following segment takes the index; what was typed for this one goes with it.
        rand_.SegmentLoeschen(i);
    }
    Anzeigen();
}

void RandEditor::NormaleManClick() { felder_.Normale.Enabled = felder_.NormaleMan.Checked(); }

void RandEditor::EndePxlExit() {
    // Only the text: the segment takes the value at the next commit.
    if (rand_.Pixel > 0)
        felder_.Ende.Text = FormatAllgemein(static_cast<double>(FeldGanzzahl(felder_.EndePxl)) / rand_.Pixel);
}

void RandEditor::TexturUebernehmen() {
    if (!textur_) return;
    const RandTexturFelder& t = *textur_;
    rand_.TexturLaenge = FeldZahl(t.Laenge);
    rand_.TexturBreite = FeldZahl(t.Breite);
    rand_.TexturDatei = t.Datei.Text;
    rand_.Ruecksetzen = t.Ruecksetzen.Checked();
    rand_.Pixel = FeldGanzzahl(t.BreitePxl);
    // No display: the End pixel field follows the new Pixel at the next one.
}

void RandEditor::BreiteZuUClick() {
    if (!textur_) return;
    rand_.TexturBreite = FeldZahl(textur_->Breite);
    rand_.BerechneU();  // warns and changes nothing for a width that is not positive
    Anzeigen();
}

void RandEditor::Freigeben(bool an) {
    for (TGroupBox* g : {&felder_.Gruppe, textur_ ? &textur_->Gruppe : nullptr}) {
        if (!g) continue;
        g->Enabled = an;
        g->Visible = an;
    }
    rand_.Aktiv = an;
    if (!an) return;
    // An inactive border is never recomputed, so a profile loaded or copied while off
    // still holds the positions of its predecessor. The run and the profile view use
    // them: bring them up to date before anything can.
    BerechnenStill();
    Anzeigen();
}

void RandEditor::Laden(const IniDatei& ini, std::string_view abschnitt, std::string_view ueberschrift,
                       bool ganzeDatei) {
    try {
        Lesen(ini, rand_, abschnitt);
    } catch (...) {
        Auffrischen(ueberschrift, ganzeDatei);  // the controls show the profile as it now is
        throw;
    }
    Auffrischen(ueberschrift, ganzeDatei);
}

void RandEditor::Auffrischen(std::string_view ueberschrift, bool ganzeDatei) {
    RandSegmentFelder& f = felder_;
    const int n = rand_.AnzahlSegmente();
    // Segment 1 becomes current; a profile of the start point alone shows the start point.
    rand_.AktSegment = std::min(1, n - 1);
    f.Nr.Show(rand_.AktSegment);
    f.Nr.MaxValue = n - 1;
    f.Nr.Visible = n > 1;
    f.Gruppe.Caption = Tr(std::string(ueberschrift).c_str()) + std::to_string(n - 1);
    if (textur_) {
        RandTexturFelder& t = *textur_;
        t.Datei.Text = rand_.TexturDatei;
        t.Laenge.Text = FormatAllgemein(rand_.TexturLaenge);
        t.Breite.Text = FormatAllgemein(rand_.TexturBreite);
        t.BreitePxl.Text = std::to_string(rand_.Pixel);
        t.Ruecksetzen.SetChecked(rand_.Ruecksetzen);
        t.Aktiv.SetChecked(rand_.Aktiv);  // may run the enabling chain and display
    }
    if (!ganzeDatei && !rand_.Aktiv) return;
    // The stored angles as they are, not rounded as the display rounds them.
    const TRandSegment& s = Aktuelles();
    f.Breite.Text = FormatAllgemein(s.Breite);
    f.Winkel.Text = FormatAllgemein(RadZuGrad(s.Winkel));
    f.Ende.Text = FormatAllgemein(s.U);
    f.Normale.Text = FormatAllgemein(RadZuGrad(s.NormalenWinkel));
    f.NormaleMan.SetChecked(s.NormaleMan);
    f.Normale.Enabled = f.NormaleMan.Checked();
    f.Breite.Enabled = f.Winkel.Enabled = rand_.AktSegment != 0;
}

}  // namespace pavolant
