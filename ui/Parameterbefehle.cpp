// The main window's parameter file commands: "Load parameter" and "Save parameter", the
// road's fields read and written through the field table.
#include "ui/Hauptfenster.h"

#include "model/Text.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

// The sections a whole road writes (the points' own sections follow from [Splines]).
constexpr std::array<std::string_view, 10> kStrassensektionen = {
    "Preferences",        "Fahrbahn_Geo",   "Fahrbahn_Textur",   "TrafficSplines", "Rand_rechts_Geo",
    "Rand_rechts_Textur", "Rand_links_Geo", "Rand_links_Textur", "Splines",        "FuellFlaeche",
};

std::vector<std::string> FehlendeStrassensektionen(const IniDatei& ini) {
    std::vector<std::string> fehlend;
    for (std::string_view s : kStrassensektionen)
        if (!ini.SektionVorhanden(s)) fehlend.emplace_back(s);
    return fehlend;
}

}  // namespace

// ---- Parameter file --------------------------------------------------------------------

void Hauptfenster::bbnSaveParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiSpeichern(ParameterSpeichernDialog());
    if (pfad) ParameterSpeichern(PfadAusUtf8(*pfad));
}

void Hauptfenster::bbnLoadParaClick() {
    if (!AenderungenBewahren()) return;
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(ParameterOeffnenDialog());
    if (pfad) ParameterLaden(PfadAusUtf8(*pfad));
}

void Hauptfenster::ParameterSpeichern(const fs::path& pfad) {
    // An existing file is updated in place: keys this road does not write (unknown keys,
    // points beyond the current count) keep their place and value. A file that is no
    // INI text (a document, an image) would get INI sections appended: refused.
    // A folder is a place the save cannot write to; reading it first would blame the read.
    std::error_code ec;
    if (fs::is_directory(pfad, ec))
        // Catalog: %1 is the folder, %2 the system's reason.
        throw DateiFehler(Einsetzen(Tr("In %1 kann nicht geschrieben werden: %2"),
                                    {Utf8(pfad), std::make_error_code(std::errc::is_a_directory).message()}));
    if (!DarfParameterAufnehmen(pfad))
        throw DateiFehler(Einsetzen(Tr("Die Datei %1 ist keine Parameterdatei und wird nicht überschrieben"),
                                    {Utf8(pfad)}));
    IniDatei ini(pfad);
    ParameterSchreiben(ini, FeldwerteAusFenster(), RandR, RandL, SplinePunkte, AktuellerPunkt, SplineDatei,
                       FuellFlaeche);
    GelaendequelleSchreiben(ini, Gelaendewahl);
    // The road's own output file, once it has one; a road without keeps the file as it was.
    if (AusgabeGewaehlt()) ini.SchreibeString("Preferences", kAusgabeSchluessel, edtFileName.Text);
    ini.Speichern();
    // Only now: a failed save must not read as a saved one.
    lblParameter1.Caption = Tr("Parameter gespeichert in");
    lblParameter.Caption = Utf8(pfad.filename());
    parameterDatei_ = pfad;
    VerlaufNachfuehren();
    verlauf_.AlsGespeichertMerken();
}

void Hauptfenster::ParameterLaden(const fs::path& pfad) {
    const IniDatei ini = ParameterdateiOeffnen(pfad);
    // A file that holds no road would load as all defaults: the road on screen would be
    // replaced by nothing, and the load would read as a success.
    if (!EnthaeltStrassenparameter(ini))
        throw DateiFehler(Einsetzen(Tr("Die Datei %1 enthält keine Straßenparameter; nichts wurde geändert"),
                                    {Utf8(pfad)}));
    lblParameter1.Caption = Tr("Parameter geladen aus");
    lblParameter.Caption = Utf8(pfad.filename());
    // From here the road is the file's: an output chosen for the road before must not
    // receive this one. The same file loaded again is still the same road.
    if (!parameterDatei_ || !DieselbeDatei(pfad, *parameterDatei_)) AusgabeVergessen();
    AusgabeUebernehmen(ini);
    try {
        ParameterdateiLesen(ini);
    } catch (...) {
        TexPxlNachLaden();
        throw;
    }
    TexPxlNachLaden();
    const std::optional<fs::path> vorher = std::exchange(parameterDatei_, pfad);
    VerlaufNachfuehren();
    // A file that holds only a few of the road's sections (a fragment, one section among
    // other text) loads with defaults for the rest: on the desktop the user hears what
    // was missing and may take the road before back at once.
    const std::vector<std::string> fehlend = FehlendeStrassensektionen(ini);
    if (2 * fehlend.size() <= kStrassensektionen.size()) {
        verlauf_.AlsGespeichertMerken();  // the road is now the file's: one step, nothing unsaved
        return;
    }
    std::string liste;
    for (const std::string& s : fehlend) liste += (liste.empty() ? "" : ", ") + s;
    // Catalog: %1 is the file, %2 how many of the %3 sections of a road it holds, %4
    // the missing sections' names (as in the file, not translated).
    const std::string text =
        Einsetzen(Tr("%1 holds only %2 of the %3 sections of a road. Missing, and set to their "
                     "defaults: %4. Undo brings the road before the load back."),
                  {Utf8(pfad.filename()), std::to_string(kStrassensektionen.size() - fehlend.size()),
                   std::to_string(kStrassensektionen.size()), liste});
    // Catalog: a button of that information.
    if (dialoge_.Hinweisen(MeldungsArt::Information, text, {Tr("Undo")}) == std::optional<std::size_t>(0)) {
        Rueckgaengig();
        parameterDatei_ = vorher;
        return;
    }
    // The road on screen is not the one in the file: it counts as changed until saved.
    verlauf_.NichtsGespeichert();
}

void Hauptfenster::AusgabeUebernehmen(const IniDatei& ini) {
    const std::string gemerkt = ini.LiesString("Preferences", kAusgabeSchluessel, "");
    if (gemerkt.empty()) return;
    edtFileName.Text = gemerkt;
    edtFileNameChange();
}

IniDatei Hauptfenster::ParameterdateiOeffnen(const fs::path& pfad) {
    const auto keinText = [&] {
        return DateiFehler(
            Einsetzen(Tr("Die Datei %1 ist keine Textdatei; nichts wurde geändert"), {Utf8(pfad)}));
    };
    IniDatei ini = [&] {
        try {
            return IniDatei(pfad);
        } catch (const IniFehler&) {
            // The bytes of a binary file may read as broken lines; that it is no text
            // says more.
            if (!SiehtNachTextAus(pfad)) throw keinText();
            throw;
        }
    }();
    // A vanished file would otherwise load as all defaults, silently.
    if (!ini.Vorhanden()) throw DateiFehler(Einsetzen(Tr("Die Datei %1 existiert nicht"), {Utf8(pfad)}));
    if (!SiehtNachTextAus(pfad)) throw keinText();
    return ini;
}

// ---- The parameter file into the window ------------------------------------------------

void Hauptfenster::ParameterdateiLesen(const IniDatei& ini) {
    // Each part is applied as soon as it is read, in the file's order, so the boxes' chains
    // run as they always have; a number that is no number stops the load at its key with
    // everything before it applied.
    const auto teil = [&](Teil lage) {
        // Taken anew for each part: a row the read did not reach keeps what the window
        // shows now, after the chains of the parts before.
        Feldwerte werte = FeldwerteAusFenster();
        try {
            FelderLesen(ini, lage, werte);
        } catch (...) {
            FeldwerteAnwenden(werte, lage);
            throw;
        }
        FeldwerteAnwenden(werte, lage);
    };
    teil(Teil::VorDemModell);
    // A whole file captions the right segment group without the colon; a single-border
    // load and the display use it. Kept so, as users know the window.
    RandREditor.Laden(ini, "Rand_rechts", TrVorgemerkt("Right bordersegments "), true);
    RandLEditor.Laden(ini, "Rand_links", TrVorgemerkt("Left bordersegments:"), true);
    SplinePunkteLesen(ini);
    teil(Teil::NachDemModell);
    Lesen(ini, FuellFlaeche);
    Gelaendewahl = GelaendequelleLesen(ini);
}

void Hauptfenster::SplinePunkteLesen(const IniDatei& ini) {
    // The file replaces every point, so the editor's pending values are not committed
    // first: they belong to points that are about to go, and a stale unreadable value
    // must not stop the load of a good file.
    AktuellerPunkt = 0;
    sedSplinePtsNr.Show(1);
    // The file's points are typed ones: no name from an earlier import stays on them.
    for (int i = 0; i < SplinePunkte.AnzahlPunkte(); ++i) SplinePunkte.Punkt(i)->Name.clear();
    auto anzeigen = [this] {
        sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
        SplineAnzeigen();
    };
    try {
        Lesen(ini, SplinePunkte);
    } catch (...) {
        anzeigen();  // the points read before the bad value are shown as they are now
        throw;
    }
    anzeigen();
}

}  // namespace pavolant
