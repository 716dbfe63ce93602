#include "ui/Einstellungsfenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/Plattform.h"

#include <filesystem>

namespace pavolant {

Einstellungsfenster::Einstellungsfenster() {
    Caption = Tr("Settings     ");
    btnOK.Caption = Tr("OK");
    Button1.Caption = Tr("Cancel");
    GroupBox1.Caption = Tr("General Settings         ");
    edtLaenge.Text = "2";
    edtWinkel.Text = "3";
    edtSlope.Text = "1";
    edtZrotMin.Text = "1";
    edtmaxSturz.Text = "30";
    cboAlteDreiecke.Caption = Tr("Symmetrical triangles for roadway  ");
    GroupBox2.Caption = Tr("Front face parameters      ");
    edtStirnTextur.Text = "2";
    edtStirnBreite.Text = "3";
    edtStirnHoehe.Text = "1";
    cboStirnTexRot.Caption = Tr("Invert width / height     ");
    lblSprache.Caption = Tr("Language");
    lblSpracheHinweis.Caption = Tr("A changed language applies at the next start.");
}

void Einstellungsfenster::Fuellen(const Feinheit& f, const TFuellFlaeche& fuellung) {
    edtLaenge.Text = FormatAllgemein(f.MinLaenge);
    edtWinkel.Text = FormatAllgemein(f.MinWinkel);
    edtSlope.Text = FormatAllgemein(f.MinSteigung);
    edtZrotMin.Text = FormatAllgemein(f.MinZRot);
    edtmaxSturz.Text = FormatAllgemein(f.MaxSturz);
    cboAlteDreiecke.SetChecked(f.DreieckeSym);
    edtStirnTextur.Text = fuellung.Textur;
    edtStirnBreite.Text = FormatAllgemein(fuellung.TexturBreite);
    edtStirnHoehe.Text = FormatAllgemein(fuellung.TexturHoehe);
    cboStirnTexRot.SetChecked(fuellung.TauschHB);
}

void Einstellungsfenster::Uebernehmen(Feinheit& f, TFuellFlaeche& fuellung) const {
    f.MinLaenge = ZahlAusText(edtLaenge.Text);
    f.MinWinkel = ZahlAusText(edtWinkel.Text);
    f.MinSteigung = ZahlAusText(edtSlope.Text);
    f.MinZRot = ZahlAusText(edtZrotMin.Text);
    f.MaxSturz = ZahlAusText(edtmaxSturz.Text);
    f.DreieckeSym = cboAlteDreiecke.Checked();
    fuellung.Textur = edtStirnTextur.Text;
    fuellung.TexturBreite = ZahlAusText(edtStirnBreite.Text);
    fuellung.TexturHoehe = ZahlAusText(edtStirnHoehe.Text);
    fuellung.TauschHB = cboStirnTexRot.Checked();
}

void Einstellungsfenster::TexturGewaehlt(const std::string& pfad) {
    edtStirnTextur.Text = Utf8(PfadAusUtf8(pfad).filename());
}

}  // namespace pavolant
