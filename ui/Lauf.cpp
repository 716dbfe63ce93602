// The main window's generation run: choosing the output file, "Go" (the window's fields
// into the run's parameters, the run, its report back into the window).
#include "ui/Hauptfenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace pavolant {

namespace fs = std::filesystem;

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

// Why the typed text names no place a document can be written to; nullopt when it
// does. Only what the system can say without writing: whether the folder is there and
// an existing target may be replaced. The run checks the rest before it starts.
std::optional<std::string> AusgabeHindernis(const std::string& text) {
    if (text.empty()) return Tr("Choose the output file first (i3d-File)");
    const fs::path pfad = PfadAusUtf8(text);
    // A relative path would depend on the folder the program was started in.
    if (!pfad.is_absolute() || !pfad.has_filename())
        // Catalog: %1 is the text typed into the output field.
        return Einsetzen(Tr("Go needs the full path of the document: %1"), {text});
    auto nicht = [&](std::errc grund) {
        return Einsetzen(Tr("In %1 kann nicht geschrieben werden: %2"),
                         {text, std::make_error_code(grund).message()});
    };
    std::error_code ec;
    const fs::file_status ziel = fs::status(pfad, ec);  // a link counts as what it names
    if (fs::is_directory(ziel)) return nicht(std::errc::is_a_directory);
    if (fs::exists(ziel)) {
        if (!fs::is_regular_file(ziel)) return nicht(std::errc::invalid_argument);
        if (!Beschreibbar(pfad)) return nicht(std::errc::permission_denied);
        return std::nullopt;
    }
    if (!fs::is_directory(pfad.parent_path(), ec)) return nicht(std::errc::no_such_file_or_directory);
    return std::nullopt;
}

}  // namespace

// ---- Output file -----------------------------------------------------------------------

void Hauptfenster::bbnSaveClick() {
    const std::optional<std::string> pfad = dialoge_.DateiSpeichern(AusgabeDialog());
    if (!pfad) return;
    edtFileName.Text = *pfad;
    bbnGo.Enabled = true;
    bbnGo.Hint.clear();
}

void Hauptfenster::edtFileNameChange() {
    const std::optional<std::string> hindernis = AusgabeHindernis(edtFileName.Text);
    bbnGo.Enabled = !hindernis;
    bbnGo.Hint = hindernis.value_or(std::string());
}

bool Hauptfenster::AusgabeGewaehlt() const {
    return !edtFileName.Text.empty() && edtFileName.Text != ausgabeAnfang_;
}

void Hauptfenster::AusgabeVergessen() {
    geschrieben_.clear();
    if (!AusgabeGewaehlt()) return;  // the start text stays as the window showed it
    edtFileName.Text.clear();
    bbnGo.Enabled = false;
    bbnGo.Hint = Tr("Choose the output file first (i3d-File)");
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
    auto auftrag = std::make_unique<Vorschauauftrag>(LaufparameterAusFenster(), SplinePunkte, RandR, RandL,
                                                     FuellFlaeche, zufall_);
    // Which field a stop on each text that is no number came from, by the same rule as
    // for "Go", decided here where the fields are.
    Hauptfenster& f = const_cast<Hauptfenster&>(*this);  // the lookup hands out mutable controls
    for (const auto& k : Edits()) {
        const std::string& text = (f.*k.feld).Text;
        try {
            ZahlAusText(text);
            continue;
        } catch (const KonvertierungsFehler&) {
        }
        const std::string gezeigt = SichtbarerText(text);
        if (std::optional<std::string> name = f.LauffeldDesFehlers(KonvertierungsFehler("'" + gezeigt + "'")))
            auftrag->Feldtexte.emplace_back(gezeigt, std::move(*name));
    }
    return auftrag;
}

void Hauptfenster::bbnGoClick() {
    const Laufparameter p = LaufparameterAusFenster();

    // The document must not replace the road's own parameter file.
    if (parameterDatei_ && DieselbeDatei(PfadAusUtf8(p.DateiName), *parameterDatei_))
        throw DateiFehler(
            Einsetzen(Tr("Die Datei %1 ist die Parameterdatei der Straße; das Dokument wird nicht hineingeschrieben"),
                      {p.DateiName}));

    // Another road's document is not replaced without a word: once per file and session.
    const fs::path zielpfad = PfadAusUtf8(p.DateiName);
    std::error_code ec;
    const bool vonDieserStrasse = std::any_of(geschrieben_.begin(), geschrieben_.end(),
                                              [&](const fs::path& g) { return DieselbeDatei(g, zielpfad); });
    if (!vonDieserStrasse && fs::is_regular_file(zielpfad, ec)) {
        // Catalog: a question with Replace and Cancel; %1 is the document's path.
        if (!dialoge_.Ersetzen(Einsetzen(Tr("%1 already exists. Replace it with this road?"), {p.DateiName})))
            return;
        geschrieben_.push_back(zielpfad);
    }

    Laufbericht bericht;
    Strassenmodell modell{SplinePunkte, &RandR, &RandL, &FuellFlaeche};
    Dokumentdatei ziel(zielpfad);
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
    const std::string grund = melder.letzteWarnung.value_or(Tr("no document written"));
    Abschlusszeile(bericht, grund);
    if (bericht.Geschrieben && !vonDieserStrasse) geschrieben_.push_back(zielpfad);
    if (!bbnGo.Enabled) bbnGo.Hint = Einsetzen(Tr("Stopped: %1"), {grund});
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
