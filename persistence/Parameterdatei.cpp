#include "persistence/Parameterdatei.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace pavolant {

namespace {

using enum Wertart;

// The rows the parameter file stores, of one part, each with its index into Feldwerte.
template <class F>
void Zeilen(Teil lage, F&& tun) {
    const std::span<const Strassenfeld> felder = Strassenfelder();
    for (std::size_t i = 0; i < felder.size(); ++i)
        if (!felder[i].Sektion.empty() && felder[i].Lage == lage) tun(felder[i], i);
}

}  // namespace

void FelderSchreiben(IniDatei& ini, Teil lage, const Feldwerte& werte) {
    // The numbers, checked before the first key like the model's parts: a number written
    // as "INF" or "NAN" would make the file one the load refuses.
    Zeilen(lage, [&](const Strassenfeld& f, std::size_t i) {
        if (f.Art != Zahl || IniDatei::ZahlLiestSichZurueck(werte[i].Zahl)) return;
        // Catalog: %1 names the value (where it is in the window), %2 is the value.
        const char* muster = Tr("%1: %2 kann nicht gespeichert werden");
        throw KonvertierungsFehler(Einsetzen(muster, {f.Name, FormatAllgemein(werte[i].Zahl)}));
    });
    Zeilen(lage, [&](const Strassenfeld& f, std::size_t i) {
        switch (f.Art) {
            case Text:
                ini.SchreibeString(f.Sektion, f.Schluessel, werte[i].Text);
                break;
            case Zahl:
                ini.SchreibeZahl(f.Sektion, f.Schluessel, werte[i].Zahl);
                break;
            case Boolean:
                ini.SchreibeBool(f.Sektion, f.Schluessel, werte[i].Wahr);
                break;
        }
    });
}

void FelderLesen(const IniDatei& ini, Teil lage, Feldwerte& werte) {
    Zeilen(lage, [&](const Strassenfeld& f, std::size_t i) {
        switch (f.Art) {
            case Text:
                werte[i].Text = ini.LiesString(f.Sektion, f.Schluessel, f.Vorgabe);
                break;
            case Zahl:
                werte[i].Zahl = ini.LiesZahl(f.Sektion, f.Schluessel, f.Vorgabe);
                break;
            case Boolean:
                werte[i].Wahr = ini.LiesBool(f.Sektion, f.Schluessel, f.Vorgabe == "1");
                break;
        }
    });
}

bool EnthaeltStrassenparameter(const IniDatei& ini) {
    for (const Strassenfeld& f : Strassenfelder())
        if (!f.Sektion.empty() && f.Sektion != "Preferences" && ini.SektionVorhanden(f.Sektion)) return true;
    for (std::string_view sektion : {"Splines", "SplinePts1"})
        if (ini.SektionVorhanden(sektion)) return true;
    if (EnthaeltRand(ini, "Rand_rechts") || EnthaeltRand(ini, "Rand_links")) return true;
    // A key no settings file has: the road's name.
    constexpr std::string_view kFehlt = "\x01";
    const Strassenfeld& name = FeldNamens("edtShapeName");
    return ini.LiesString(name.Sektion, name.Schluessel, kFehlt) != kFehlt;
}

bool EnthaeltRand(const IniDatei& ini, std::string_view name) {
    return ini.SektionVorhanden(std::string(name) + "_Geo") ||
           ini.SektionVorhanden(std::string(name) + "_Textur");
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

void ParameterSchreiben(IniDatei& ini, const Feldwerte& werte, const TRandPunkte& randR,
                        const TRandPunkte& randL, const TSplinePunkte& punkte, int aktuell,
                        const std::string& quelle, const TFuellFlaeche& fuellung) {
    FelderSchreiben(ini, Teil::VorDemModell, werte);
    Schreiben(ini, randR, "Rand_rechts");
    Schreiben(ini, randL, "Rand_links");
    Schreiben(ini, punkte, aktuell, quelle);
    FelderSchreiben(ini, Teil::NachDemModell, werte);
    Schreiben(ini, fuellung);
}

void ParameterLesen(const IniDatei& ini, Feldwerte& werte, TRandPunkte& randR, TRandPunkte& randL,
                    TSplinePunkte& punkte, TFuellFlaeche& fuellung) {
    FelderLesen(ini, Teil::VorDemModell, werte);
    Lesen(ini, randR, "Rand_rechts");
    Lesen(ini, randL, "Rand_links");
    Lesen(ini, punkte);
    FelderLesen(ini, Teil::NachDemModell, werte);
    Lesen(ini, fuellung);
}

}  // namespace pavolant
