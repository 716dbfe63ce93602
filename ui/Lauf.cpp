// The main window's generation run: choosing the output file, "Go" (the window's fields
// into the run's parameters, the run, its report back into the window).
#include "ui/Hauptfenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace pavolant {

namespace {

// Passes every message on and keeps the last warning: the reason a run that stopped
// without an error gives. A message about a point the user can mend (the centre line
// stopped on its heading or distance) comes with offers in its box: orient the points,
// or go to the point; what was taken is done once the run is over.
class LaufMelder : public Melder {
public:
    LaufMelder(Melder& ziel, Dialoge& dialoge) : ziel_(ziel), dialoge_(dialoge) {}
    void Melden(MeldungsArt art, const std::string& text) override {
        if (art == MeldungsArt::Warnung) letzteWarnung = text;
        ziel_.Melden(art, text);
    }
    void MeldenZuPunkt(MeldungsArt art, const std::string& text, const Punkthinweis& hinweis) override {
        if (art == MeldungsArt::Warnung) letzteWarnung = text;
        std::vector<std::string> angebote;
        // Orienting mends a heading, not two points on one spot.
        if (hinweis.grund == Punkthinweis::Grund::Winkel) angebote.push_back(Tr("Orient points"));
        // Catalog: a button; %1 is the point's number.
        angebote.push_back(Einsetzen(Tr("Select point %1"), {std::to_string(hinweis.punkt + 1)}));
        const std::optional<std::size_t> wahl = dialoge_.Anbieten(art, text, angebote);
        if (!wahl || *wahl >= angebote.size()) return;
        if (*wahl + 1 == angebote.size())
            waehlen = hinweis.punkt;
        else
            ausrichten = true;
    }
    std::optional<std::string> letzteWarnung;
    bool ausrichten = false;
    std::optional<int> waehlen;

private:
    Melder& ziel_;
    Dialoge& dialoge_;
};

}  // namespace

// ---- Output file -----------------------------------------------------------------------

void Hauptfenster::bbnSaveClick() {
    const std::optional<std::string> pfad = dialoge_.DateiSpeichern(AusgabeDialog());
    if (!pfad) return;
    edtFileName.Text = *pfad;
    bbnGo.Enabled = true;
}

// ---- The run ---------------------------------------------------------------------------

Laufparameter Hauptfenster::LaufparameterAusFenster() const {
    Laufparameter p;
    p.Breite = edtBreite.Text;
    p.SchleppkurveAn = cboSchleppkurve.Checked();
    p.Schleppkurve = edtSchleppkurve.Text;
    p.SturzAn = cboSturz.Checked();
    p.Sturz = edtSturz.Text;
    p.FahrbahnAn = cboCreateFahrbahn.Checked();

    p.Textur1Datei = edtTextur1FileName.Text;
    p.Textur1Laenge = edtTextur1Laenge.Text;
    p.TexStart = edtTexStart.Text;
    p.TexEnde = EdtTexEnde.Text;
    p.TexPxl = edtTexPxl.Text;
    p.RandomBackFoldAn = cboRandomBackFold.Checked();
    p.RandomBackfold = edtRandomBackfold.Text;
    p.RuecksetzenAn = cboRuecksetzen.Checked();
    p.TexL0 = edtTexL0.Text;
    p.Streckung = edtStreckung.Text;

    p.TrafficMitte = cboTrafficSpline.Checked();
    p.TrafficRechts = cboTrafficSplineRechts.Checked();
    p.TrafficRechtsProzent = edtTrafficSplineRechts.Text;
    p.TrafficLinks = cboTrafficSplineLinks.Checked();
    p.TrafficLinksProzent = edtTrafficSplineLinks.Text;

    // The run copies each enabled border's texture group into its profile.
    for (auto [par, aktiv, datei, laenge, breite, pxl, ruecksetzen] :
         {std::tuple{&p.RandR, &cboRandRenable, &edtRandRTexFile, &edtRandRTexLaenge, &edtRandRTexBreite,
                     &edtRandRTexBreitePxl, &cboRandRRuecksetzen},
          std::tuple{&p.RandL, &cboRandLenable, &edtRandLTexFile, &edtRandLTexLaenge, &edtRandLTexBreite,
                     &edtRandLTexBreitePxl, &cboRandLRuecksetzen}}) {
        par->An = aktiv->Checked();
        par->TexturDatei = datei->Text;
        par->TexLaenge = laenge->Text;
        par->TexBreite = breite->Text;
        par->TexBreitePxl = pxl->Text;
        par->Ruecksetzen = ruecksetzen->Checked();
    }
    p.FuellenAn = cboRandFuellen.Checked();

    p.DateiName = edtFileName.Text;
    p.ShapeName = edtShapeName.Text;
    p.TransformGroup = cboCreateTG.Checked();

    p.Fein = Einstellungen();
    p.SpeicherGrenze = SpeicherGrenze;

    return p;
}

std::unique_ptr<Vorschauauftrag> Hauptfenster::NeuerVorschauauftrag() const {
    return std::make_unique<Vorschauauftrag>(LaufparameterAusFenster(), SplinePunkte, RandR, RandL, FuellFlaeche, zufall_);
}

void Hauptfenster::bbnGoClick() {
    const Laufparameter p = LaufparameterAusFenster();

    // The document must not replace the road's own parameter file.
    if (parameterDatei_ && DieselbeDatei(PfadAusUtf8(p.DateiName), *parameterDatei_))
        throw DateiFehler(
            Einsetzen(Tr("Die Datei %1 ist die Parameterdatei der Straße; das Dokument wird nicht hineingeschrieben"),
                      {p.DateiName}));

    Laufbericht bericht;
    Strassenmodell modell{SplinePunkte, &RandR, &RandL, &FuellFlaeche};
    Dokumentdatei ziel(PfadAusUtf8(p.DateiName));
    LaufMelder melder(melder_, dialoge_);
    try {
        Generieren(p, modell, zufall_, melder, bericht, ziel);
    } catch (const KonvertierungsFehler& e) {
        fehlerfeld_ = LauffeldDesFehlers(e);
        BerichtAnwenden(bericht);
        Abschlusszeile(bericht, MitFeldbeschriftung(e.what(), fehlerfeld_));
        throw;
    } catch (const std::exception& e) {
        // What the run reached before it stopped (the cleared memo and its lines, the
        // values it read) is in the window when the error is shown.
        BerichtAnwenden(bericht);
        Abschlusszeile(bericht, e.what());
        throw;
    }
    BerichtAnwenden(bericht);
    Abschlusszeile(bericht, melder.letzteWarnung.value_or(Tr("no document written")));
    if (melder.ausrichten) PunkteAusrichtenUndMelden(-1);
    // The spin's change commits the fields into the point shown before.
    if (melder.waehlen) TabellenzeileWaehlen(*melder.waehlen);
}

void Hauptfenster::Abschlusszeile(const Laufbericht& bericht, const std::string& grund) {
    // The memo's last line says how the run ended, so nobody has to scroll through the
    // report to learn whether there is a document.
    if (!bericht.Geschrieben) {
        // Catalog: %1 is why the run stopped (a message of its own).
        mmoStatus.Lines.push_back(Einsetzen(Tr("Stopped: %1"), {grund}));
        return;
    }
    const Netz* netz = bericht.Dreiecksnetz.get();
    const std::int32_t vertices = netz ? netz->AnzVertices() : 0;
    const std::int32_t dreiecke = netz ? netz->AnzDreiecke() : 0;
    // Two counts, each with its own plural form, in one sentence.
    const std::string ecken = Einsetzen(TrN("%1 vertices", "%1 vertices", static_cast<unsigned long>(vertices)),
                                        {std::to_string(vertices)});
    const std::string flaechen = Einsetzen(TrN("%1 triangles", "%1 triangles", static_cast<unsigned long>(dreiecke)),
                                           {std::to_string(dreiecke)});
    // Catalog: the memo's last line after a run. %1 is the document's path, %2 "N
    // vertices", %3 "N triangles", %4 the road's length in metres.
    mmoStatus.Lines.push_back(Einsetzen(Tr("Written: %1 (%2, %3, road length %4 m)"),
                                        {edtFileName.Text, ecken, flaechen,
                                         FormatFest4(bericht.Fahrbahnlaenge.value_or(0))}));
}

void Hauptfenster::BerichtAnwenden(const Laufbericht& bericht) {
    if (bericht.MemoGeleert) mmoStatus.Lines.clear();
    mmoStatus.Lines.insert(mmoStatus.Lines.end(), bericht.Memo.begin(), bericht.Memo.end());
    if (bericht.TexPxl) TexPxl = *bericht.TexPxl;
    if (bericht.OldTexL0) OldTexL0 = *bericht.OldTexL0;
    if (bericht.TexL0) edtTexL0.Text = *bericht.TexL0;
    if (bericht.GoDeaktivieren) bbnGo.Enabled = false;
    letzterLauf_ = bericht;
}

}  // namespace pavolant
