#include "ui/Gelaendefenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <cmath>
#include <stdexcept>

namespace pavolant {

namespace {

// Metres with at most three decimals and no trailing zeros, for the labels.
std::string Meter(double wert) { return FormatAllgemein(std::round(wert * 1000) / 1000); }

}  // namespace

Gelaendefenster::Gelaendefenster() {
    Caption = Tr("Terrain");
    btnOK.Caption = Tr("OK");
    btnAbbrechen.Caption = Tr("Cancel");
    btnKeines.Caption = Tr("No terrain");
    btnKeines.Hint = Tr("The road lies on no ground: the drop and the plot are off");
    btnDatei.Caption = Tr("Browse...");
    btnDatei.Hint = Tr("The map's i3d file, or its height image (a 16-bit grey PNG)");
    cboZiehenFolgt.Caption = Tr("Dragged points follow the ground");
    cboZiehenFolgt.Hint =
        Tr("A point dragged in the preview's plan takes the ground's height plus the clearance");
    cboNurHeben.Caption = Tr("Raise only");
    cboNurSenken.Caption = Tr("Lower only");
    cboNurHeben.OnClick = [this] {
        if (cboNurHeben.Checked()) cboNurSenken.SetChecked(false);
    };
    cboNurSenken.OnClick = [this] {
        if (cboNurSenken.Checked()) cboNurHeben.SetChecked(false);
    };
    btnFormen.Caption = Tr("Shape terrain...");
    btnFormen.Hint =
        Tr("Writes a new height image with the ground shaped to the road; the source stays as it is");
    cboMasken.Caption = Tr("Also write the masks of roadway and borders");
    Fuellen(std::nullopt, false, 0);
}

void Gelaendefenster::Fuellen(const std::optional<Gelaendequelle>& quelle, bool ziehenFolgt,
                              std::uint64_t speichergrenze) {
    cboZiehenFolgt.SetChecked(ziehenFolgt);
    const Gelaendequelle q = quelle.value_or(Gelaendequelle{});
    edtDatei.Text = q.Datei;
    edtHeightScale.Text = FormatAllgemein(q.HeightScale);
    edtUnitsPerPixel.Text = FormatAllgemein(q.UnitsPerPixel);
    edtAbstand.Text = FormatAllgemein(q.Abstand);
    edtTiefe.Text = FormatAllgemein(q.Formung.Tiefe);
    edtRand.Text = FormatAllgemein(q.Formung.Rand);
    edtAuslauf.Text = FormatAllgemein(q.Formung.Auslauf);
    cboNurHeben.SetChecked(q.Formung.Modus == Formvorgaben::Art::NurHeben);
    cboNurSenken.SetChecked(q.Formung.Modus == Formvorgaben::Art::NurSenken);
    keines_ = false;
    FormenGewaehlt = false;
    Pruefen(speichergrenze);
}

void Gelaendefenster::DateiGewaehlt(const std::string& pfad, std::uint64_t speichergrenze) {
    edtDatei.Text = pfad;
    Pruefen(speichergrenze);
}

std::optional<Gelaendequelle> Gelaendefenster::Quelle() const {
    if (keines_ || edtDatei.Text.empty()) return std::nullopt;
    Gelaendequelle q;
    q.Datei = edtDatei.Text;
    if (!q.IstKarte()) {
        q.HeightScale = ZahlAusText(edtHeightScale.Text);
        q.UnitsPerPixel = ZahlAusText(edtUnitsPerPixel.Text);
    }
    q.Abstand = ZahlAusText(edtAbstand.Text);
    q.Formung.Tiefe = ZahlAusText(edtTiefe.Text);
    q.Formung.Rand = ZahlAusText(edtRand.Text);
    q.Formung.Auslauf = ZahlAusText(edtAuslauf.Text);
    q.Formung.Modus = cboNurHeben.Checked()    ? Formvorgaben::Art::NurHeben
                      : cboNurSenken.Checked() ? Formvorgaben::Art::NurSenken
                                               : Formvorgaben::Art::Beides;
    return q;
}

const Gelaendeladung* Gelaendefenster::Gelesen() const {
    if (!geprueft_ || !ladung_.Fehler.empty()) return nullptr;
    try {
        const std::optional<Gelaendequelle> q = Quelle();
        if (!q || q->Datei != geprueft_->Datei || q->HeightScale != geprueft_->HeightScale ||
            q->UnitsPerPixel != geprueft_->UnitsPerPixel)
            return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    return &ladung_;
}

std::string Gelaendefenster::Pruefen(std::uint64_t speichergrenze) {
    geprueft_.reset();
    ladung_ = Gelaendeladung{};
    lblBild.Caption.clear();
    lblGroesse.Caption.clear();
    lblHoehen.Caption.clear();
    const bool karte = IstKartendatei(edtDatei.Text);
    edtHeightScale.Enabled = edtUnitsPerPixel.Enabled = !karte;
    const auto grund = [this](std::string text) {
        lblHinweise.Caption = text;
        return text;
    };
    if (edtDatei.Text.empty()) return grund(Tr("No terrain is chosen."));
    std::optional<Gelaendequelle> q;
    try {
        q = Quelle();
        if (!(q->Abstand >= 0) || !std::isfinite(q->Abstand))
            return grund(Tr("The clearance must be a number of metres, 0 or more."));
        const Formvorgaben& f = q->Formung;
        for (const double m : {f.Tiefe, f.Rand, f.Auslauf})
            if (!(m >= 0) || !std::isfinite(m))
                return grund(Tr("Depth, margin and falloff must be numbers of metres, 0 or more."));
    } catch (const std::exception& e) {
        return grund(e.what());
    }
    ladung_ = GelaendeLesen(*q, speichergrenze);
    if (!ladung_.Fehler.empty()) return grund(ladung_.Fehler);
    geprueft_ = q;
    const Gelaende& b = ladung_.Boden;
    if (karte) {  // the map's own figures, for a look
        edtHeightScale.Text = FormatAllgemein(b.HeightScale);
        edtUnitsPerPixel.Text = FormatAllgemein(b.UnitsPerPixel);
    }
    // Catalog: %1 the height image's path, which the map names.
    if (karte) lblBild.Caption = Einsetzen(Tr("Height image: %1"), {ladung_.Hoehenbild});
    // Catalog: %1 x %2 pixels, %3 x %4 metres (X by Z).
    lblGroesse.Caption = Einsetzen(Tr("Size: %1 x %2 pixels, %3 x %4 m"),
                                   {std::to_string(b.Raster.Breite), std::to_string(b.Raster.Hoehe),
                                    Meter(b.BreiteInMetern()), Meter(b.TiefeInMetern())});
    const Gelaende::Bereich h = b.Hoehenbereich();
    // Catalog: %1 the lowest, %2 the highest height in metres.
    lblHoehen.Caption = Einsetzen(Tr("Heights: %1 m to %2 m"), {Meter(h.Min), Meter(h.Max)});
    std::string hinweise;
    for (const std::string& h2 : ladung_.Hinweise) hinweise += (hinweise.empty() ? "" : "\n") + h2;
    lblHinweise.Caption = hinweise;
    return {};
}

}  // namespace pavolant
