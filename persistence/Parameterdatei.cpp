#include "persistence/Parameterdatei.h"

#include "persistence/IniDatei.h"
#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cctype>
#include <array>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace pavolant {

namespace {

using enum Wertart;
using enum Teil;

// One row per key: section, key, kind, default, control or field, place in the file.
using S = ParameterSchluessel;
constexpr std::array kTabelle = {
    S{"Preferences", "StrassenName", Text, "Strasse", "edtShapeName", VorDemModell},

    S{"Fahrbahn_Geo", "Breite", Text, "6", "edtBreite", VorDemModell},
    S{"Fahrbahn_Geo", "Schleppkurve", Text, "10", "edtSchleppkurve", VorDemModell},
    S{"Fahrbahn_Geo", "Sturz", Text, "1", "edtSturz", VorDemModell},
    S{"Fahrbahn_Geo", "SchleppkurveErzeugen", Boolean, "1", "cboSchleppkurve", VorDemModell},
    S{"Fahrbahn_Geo", "SturzErzeugen", Boolean, "1", "cboSturz", VorDemModell},
    S{"Fahrbahn_Geo", "FahrbahnErzeugen", Boolean, "1", "cboCreateFahrbahn", VorDemModell},
    S{"Fahrbahn_Geo", "TransformGroup", Boolean, "0", "cboCreateTG", VorDemModell},

    S{"Fahrbahn_Textur", "FileName", Text, "road_diffuse.dds", "edtTextur1FileName", VorDemModell},
    S{"Fahrbahn_Textur", "Laenge", Text, "20", "edtTextur1Laenge", VorDemModell},
    S{"Fahrbahn_Textur", "Start", Text, "0", "edtTexStart", VorDemModell},
    S{"Fahrbahn_Textur", "Ende", Text, "1", "EdtTexEnde", VorDemModell},
    S{"Fahrbahn_Textur", "TexL0", Text, "0", "edtTexL0", VorDemModell},
    S{"Fahrbahn_Textur", "TexPixel", Text, "0", "edtTexPxl", VorDemModell},
    S{"Fahrbahn_Textur", "Rueckfaltung", Boolean, "0", "cboRandomBackFold", VorDemModell},
    S{"Fahrbahn_Textur", "Rueckfaltung_p", Text, "0,5", "edtRandomBackfold", VorDemModell},
    S{"Fahrbahn_Textur", "Ruecksetzen", Boolean, "0", "cboRuecksetzen", VorDemModell},
    S{"Fahrbahn_Textur", "Streckung", Text, "0", "edtStreckung", VorDemModell},

    S{"TrafficSplines", "Mitte", Boolean, "0", "cboTrafficSpline", VorDemModell},
    S{"TrafficSplines", "Rechts", Boolean, "0", "cboTrafficSplineRechts", VorDemModell},
    S{"TrafficSplines", "Links", Boolean, "0", "cboTrafficSplineLinks", VorDemModell},
    S{"TrafficSplines", "RechtsProzent", Text, "50", "edtTrafficSplineRechts", VorDemModell},
    S{"TrafficSplines", "LinksProzent", Text, "50", "edtTrafficSplineLinks", VorDemModell},

    // The fineness settings: the same keys as in the settings file, but these defaults
    // apply when a parameter file lacks them. Appended to the [Preferences] section
    // that StrassenName opened.
    S{"Preferences", "minLaenge", Zahl, "2", "MinLaenge", NachDemModell},
    S{"Preferences", "minWinkel", Zahl, "2,5", "MinWinkel", NachDemModell},
    S{"Preferences", "minSteigung", Zahl, "0,5", "MinSteigung", NachDemModell},
    S{"Preferences", "minZRot", Zahl, "1", "MinZRot", NachDemModell},
    S{"Preferences", "maxSturz", Zahl, "0,25", "MaxSturz", NachDemModell},
    S{"Preferences", "DreieckeSym", Boolean, "0", "DreieckeSym", NachDemModell},
    // Read after both borders: the box's click handler keeps it checked only while both
    // are enabled.
    S{"FuellFlaeche", "erzeugen", Boolean, "0", "cboRandFuellen", NachDemModell},
};

void Schreiben(IniDatei& ini, const ParameterFenster& fenster, Teil lage) {
    // The window's numbers, checked before the first key like the model's parts: a
    // number written as "INF" or "NAN" would make the file one the load refuses.
    for (const ParameterSchluessel& s : kTabelle) {
        if (s.Lage != lage || s.Art != Zahl) continue;
        const double wert = fenster.Zahl(s.Name);
        if (!IniDatei::ZahlLiestSichZurueck(wert)) {
            // Catalog: %1 names the value (where it is in the window), %2 is the value.
            const char* muster = Tr("%1: %2 kann nicht gespeichert werden");
            throw KonvertierungsFehler(Einsetzen(muster, {s.Name, FormatAllgemein(wert)}));
        }
    }
    for (const ParameterSchluessel& s : kTabelle) {
        if (s.Lage != lage) continue;
        switch (s.Art) {
            case Text:
                ini.SchreibeString(s.Sektion, s.Schluessel, fenster.Text(s.Name));
                break;
            case Zahl:
                ini.SchreibeZahl(s.Sektion, s.Schluessel, fenster.Zahl(s.Name));
                break;
            case Boolean:
                ini.SchreibeBool(s.Sektion, s.Schluessel, fenster.Wahrheitswert(s.Name));
                break;
        }
    }
}

void Lesen(const IniDatei& ini, ParameterFenster& fenster, Teil lage) {
    for (const ParameterSchluessel& s : kTabelle) {
        if (s.Lage != lage) continue;
        switch (s.Art) {
            case Text:
                fenster.SetzeText(s.Name, ini.LiesString(s.Sektion, s.Schluessel, s.Vorgabe));
                break;
            case Zahl:
                fenster.SetzeZahl(s.Name, ini.LiesZahl(s.Sektion, s.Schluessel, s.Vorgabe));
                break;
            case Boolean:
                fenster.SetzeWahrheitswert(s.Name, ini.LiesBool(s.Sektion, s.Schluessel, s.Vorgabe == "1"));
                break;
        }
    }
}

}  // namespace

std::span<const ParameterSchluessel> ParameterTabelle() { return kTabelle; }

bool EnthaeltStrassenparameter(const IniDatei& ini) {
    for (const ParameterSchluessel& s : kTabelle)
        if (s.Sektion != "Preferences" && ini.SektionVorhanden(s.Sektion)) return true;
    for (std::string_view sektion : {"Splines", "SplinePts1"})
        if (ini.SektionVorhanden(sektion)) return true;
    if (EnthaeltRand(ini, "Rand_rechts") || EnthaeltRand(ini, "Rand_links")) return true;
    // A key no settings file has: the road's name.
    constexpr std::string_view kFehlt = "\x01";
    return ini.LiesString("Preferences", "StrassenName", kFehlt) != kFehlt;
}

bool EnthaeltRand(const IniDatei& ini, std::string_view name) {
    return ini.SektionVorhanden(std::string(name) + "_Geo") || ini.SektionVorhanden(std::string(name) + "_Textur");
}

namespace {

// Only a regular file is looked into: a device (/dev/zero, /dev/full) never ends and a
// FIFO may never answer. Anything else is left to the reading or writing that follows,
// which refuses it with the reason.
bool NormaleDatei(const std::filesystem::path& pfad) {
    std::error_code ec;
    return std::filesystem::is_regular_file(pfad, ec);
}

// The bytes of a regular file; nullopt for anything else, or when it cannot be opened.
std::optional<std::string> Inhalt(const std::filesystem::path& pfad) {
    if (!NormaleDatei(pfad)) return std::nullopt;
    std::ifstream ein(pfad, std::ios::binary);
    if (!ein) return std::nullopt;
    return std::string{std::istreambuf_iterator<char>(ein), std::istreambuf_iterator<char>()};
}

bool MitUtf16Marke(const std::string& bytes) {
    return bytes.size() >= 2 &&
           ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

bool IstText(const std::string& bytes) {
    return MitUtf16Marke(bytes) || std::find(bytes.begin(), bytes.end(), '\0') == bytes.end();
}

}  // namespace

bool DarfParameterAufnehmen(const std::filesystem::path& pfad) {
    const std::optional<std::string> inhalt = Inhalt(pfad);
    if (!inhalt || inhalt->empty()) return true;  // missing, unreadable: the save itself says why
    const std::string& bytes = *inhalt;
    if (!IstText(bytes)) return false;
    if (MitUtf16Marke(bytes)) return true;  // the engine reads it; its text is no plain byte text
    std::size_t i = bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    while (i < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[i]))) ++i;
    if (bytes.compare(i, 1, "<") == 0) return false;  // XML: an i3d document and the like
    // A section header at the start of some line.
    for (std::size_t zeile = 0; zeile < bytes.size();) {
        std::size_t k = zeile;
        while (k < bytes.size() && (bytes[k] == ' ' || bytes[k] == '\t')) ++k;
        if (k < bytes.size() && bytes[k] == '[') return true;
        const std::size_t ende = bytes.find_first_of("\r\n", zeile);
        if (ende == std::string::npos) break;
        zeile = ende + 1;
    }
    return false;
}

bool SiehtNachTextAus(const std::filesystem::path& pfad) {
    const std::optional<std::string> inhalt = Inhalt(pfad);
    return !inhalt || IstText(*inhalt);
}

void ParameterSchreiben(IniDatei& ini, const ParameterFenster& fenster) {
    Schreiben(ini, fenster, VorDemModell);
    fenster.RaenderSchreiben(ini);
    fenster.SplinePunkteSchreiben(ini);
    Schreiben(ini, fenster, NachDemModell);
    fenster.FuellFlaecheSchreiben(ini);
}

void ParameterLesen(const IniDatei& ini, ParameterFenster& fenster) {
    Lesen(ini, fenster, VorDemModell);
    fenster.RaenderLesen(ini);
    fenster.SplinePunkteLesen(ini);
    Lesen(ini, fenster, NachDemModell);
    fenster.FuellFlaecheLesen(ini);
}

}  // namespace pavolant
