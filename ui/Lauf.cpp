// The main window's generation run: choosing the output file, "Go" (the window's fields
// into the run's parameters, the run, its report back into the window).
#include "ui/Hauptfenster.h"

#include "model/Strassenfelder.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
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

Feldwerte Hauptfenster::FeldwerteAusFenster() const {
    Hauptfenster& f = const_cast<Hauptfenster&>(*this);  // the lookup hands out mutable controls
    const std::span<const Strassenfeld> felder = Strassenfelder();
    Feldwerte werte(felder.size());
    Strasse einstellungen;
    einstellungen.Fein = Einstellungen();
    for (std::size_t i = 0; i < felder.size(); ++i) {
        const Strassenfeld& feld = felder[i];
        if (feld.Art == Wertart::Zahl) {
            werte[i].Zahl = feld.Zahl(einstellungen);
        } else if (const TEdit* e = f.Edit(feld.Name)) {
            werte[i].Text = e->Text;
        } else if (const TCheckBox* c = f.CheckBox(feld.Name)) {
            werte[i].Wahr = c->Checked();
        } else if (feld.Schalter) {
            werte[i].Wahr = feld.Schalter(einstellungen);
        }
    }
    return werte;
}

void Hauptfenster::FeldwerteAnwenden(const Feldwerte& werte, Teil lage) {
    const std::span<const Strassenfeld> felder = Strassenfelder();
    for (std::size_t i = 0; i < felder.size(); ++i) {
        const Strassenfeld& feld = felder[i];
        if (feld.Sektion.empty() || feld.Lage != lage) continue;
        if (TEdit* e = Edit(feld.Name)) {
            e->Text = werte[i].Text;
        } else if (TCheckBox* c = CheckBox(feld.Name)) {
            c->SetChecked(werte[i].Wahr);  // the box's chain runs as for a click
        } else {                           // a fineness setting
            Strasse einstellungen;
            einstellungen.Fein = Einstellungen();
            if (feld.Zahl) feld.Zahl(einstellungen) = werte[i].Zahl;
            if (feld.Schalter) feld.Schalter(einstellungen) = werte[i].Wahr;
            EinstellungenSetzen(einstellungen.Fein);
        }
    }
}

Strasse Hauptfenster::StrasseAusFenster() const {
    Strasse strasse =
        StrasseAusFeldern(FeldwerteAusFenster(), PunkteAus(SplinePunkte), RandR, RandL, FuellFlaeche);
    strasse.Gelaende = Gelaendewahl;
    return strasse;
}

Strasse Hauptfenster::StrasseAusFenster(std::optional<StrassenfeldFehler>& fehler) const {
    Strasse strasse =
        StrasseAusFeldern(FeldwerteAusFenster(), PunkteAus(SplinePunkte), RandR, RandL, FuellFlaeche, fehler);
    strasse.Gelaende = Gelaendewahl;
    return strasse;
}

std::unique_ptr<Vorschauauftrag> Hauptfenster::NeuerVorschauauftrag() const {
    std::optional<StrassenfeldFehler> fehler;
    Strasse strasse = StrasseAusFenster(fehler);
    return std::make_unique<Vorschauauftrag>(std::move(strasse), std::move(fehler), SplinePunkte,
                                             AktuellerPunkt, zufall_, edtFileName.Text, GelesenesGelaende());
}

void Hauptfenster::bbnGoClick() {
    const std::string dateiName = edtFileName.Text;
    // The document must not replace the road's own parameter file.
    if (parameterDatei_ && DieselbeDatei(PfadAusUtf8(dateiName), *parameterDatei_))
        throw DateiFehler(Einsetzen(
            Tr("Die Datei %1 ist die Parameterdatei der Straße; das Dokument wird nicht hineingeschrieben"),
            {dateiName}));

    // Another road's document is not replaced without a word: once per file and session.
    const fs::path zielpfad = PfadAusUtf8(dateiName);
    std::error_code ec;
    const bool vonDieserStrasse = std::any_of(geschrieben_.begin(), geschrieben_.end(),
                                              [&](const fs::path& g) { return DieselbeDatei(g, zielpfad); });
    if (!vonDieserStrasse && fs::is_regular_file(zielpfad, ec)) {
        // Catalog: a question with Replace and Cancel; %1 is the document's path.
        if (!dialoge_.Ersetzen(Einsetzen(Tr("%1 already exists. Replace it with this road?"), {dateiName})))
            return;
        geschrieben_.push_back(zielpfad);
    }

    // The ground the report measures the road against. A terrain that cannot be read does
    // not stop the document, which never holds the ground: the box says why, and the
    // report goes without the fill and cut.
    const Gelaende* boden = nullptr;
    try {
        boden = GelaendeBereit();
    } catch (const DateiFehler& e) {
        melder_.Warnung(e.what());
    }

    Bauergebnis bericht;
    Dokumentdatei ziel(zielpfad);
    LaufMelder melder(melder_, dialoge_);
    try {
        std::optional<StrassenfeldFehler> feldfehler;
        const Strasse strasse = StrasseAusFenster(feldfehler);
        Bauvorgaben vorgaben;
        vorgaben.SpeicherGrenze = SpeicherGrenze;
        vorgaben.VorDemLauf = [&] { ziel.Pruefen(); };
        vorgaben.BisFeld = feldfehler ? feldfehler->Stelle : 0;
        vorgaben.Boden = boden;
        Bauen(strasse, zufall_, melder, bericht, vorgaben);
        if (bericht.AmFeld) throw *feldfehler;
        DokumentSchreiben(bericht, ziel, melder, dateiName);
    } catch (const StrassenfeldFehler& e) {
        fehlerfeld_ = e.Feld;
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

void Hauptfenster::Abschlusszeile(const Bauergebnis& bericht, const std::string& grund) {
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
    const std::string ecken = Einsetzen(
        TrN("%1 vertices", "%1 vertices", static_cast<unsigned long>(vertices)), {std::to_string(vertices)});
    const std::string flaechen =
        Einsetzen(TrN("%1 triangles", "%1 triangles", static_cast<unsigned long>(dreiecke)),
                  {std::to_string(dreiecke)});
    // Catalog: the memo's last line after a run. %1 is the document's path, %2 "N
    // vertices", %3 "N triangles", %4 the road's length in metres.
    mmoStatus.Lines.push_back(
        Einsetzen(Tr("Written: %1 (%2, %3, road length %4 m)"),
                  {edtFileName.Text, ecken, flaechen, FormatFest4(bericht.Fahrbahnlaenge.value_or(0))}));
}

void Hauptfenster::BerichtAnwenden(const Bauergebnis& bericht) {
    if (bericht.MemoGeleert) mmoStatus.Lines.clear();
    mmoStatus.Lines.insert(mmoStatus.Lines.end(), bericht.Memo.begin(), bericht.Memo.end());
    if (bericht.TexPxl) TexPxl = *bericht.TexPxl;
    if (bericht.OldTexL0) OldTexL0 = *bericht.OldTexL0;
    if (bericht.Geschrieben && bericht.TexL0) edtTexL0.Text = *bericht.TexL0;
    if (bericht.GoDeaktivieren) bbnGo.Enabled = false;
    // The points take the angles as the build brought them into range, as shown and saved.
    if (bericht.Winkel.size() == static_cast<std::size_t>(SplinePunkte.AnzahlPunkte()))
        for (int i = 0; i < SplinePunkte.AnzahlPunkte(); ++i) {
            SplinePunkte.Punkt(i)->Xrot = bericht.Winkel[static_cast<std::size_t>(i)][0];
            SplinePunkte.Punkt(i)->Yrot = bericht.Winkel[static_cast<std::size_t>(i)][1];
        }
    letzterLauf_ = bericht;
}

}  // namespace pavolant
