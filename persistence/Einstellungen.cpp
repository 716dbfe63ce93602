#include "persistence/Einstellungen.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <exception>
#include <system_error>

namespace pavolant {

namespace {
constexpr const char* kSektion = "Preferences";
constexpr const char* kTexturordner = "Texturordner";
constexpr const char* kMaxSpeicher = "maxSpeicherMB";

Fensterposition PositionAus(const IniDatei& ini) {
    return {ini.LiesInteger(kSektion, "ScreenPos_Top", 1), ini.LiesInteger(kSektion, "ScreenPos_Left", 1)};
}
}  // namespace

std::filesystem::path EinstellungsPfad() {
    std::error_code ec;
    std::filesystem::path ordner = std::filesystem::current_path(ec);
    if (ec) ordner = ".";
    return EinstellungsPfad(ordner, Anwendungsdatenordner());
}

std::filesystem::path EinstellungsPfad(const std::filesystem::path& arbeitsordner,
                                       const std::filesystem::path& datenordner) {
    const std::filesystem::path hier = arbeitsordner / "Pavolant.ini";
    if (datenordner.empty()) return hier;
    // Whether a file can be made there is only known by making one: permissions, a
    // read-only medium and Windows' folder rights all say it the same way. The settings
    // are saved through a new file beside the old one, so this is what saving needs.
    const std::filesystem::path probe =
        arbeitsordner / ("Pavolant.ini." + std::to_string(Prozessnummer()) + ".probe");
    std::error_code grund;
    if (Systemdatei datei = Systemdatei::NeuAnlegen(probe, nullptr, grund); datei.Offen()) {
        datei.Schliessen();
        std::error_code weg;
        std::filesystem::remove(probe, weg);
        return hier;
    }
    if (grund == std::errc::file_exists) return hier;  // one left by a run that was killed
    const std::filesystem::path ordner = datenordner / "Pavolant";
    std::error_code ec;
    std::filesystem::create_directories(ordner, ec);  // a failure shows when the file is saved
    return ordner / "Pavolant.ini";
}

std::optional<Fensterposition> EinstellungenLesen(const std::filesystem::path& pfad, Feinheit& feinheit) {
    const IniDatei ini(pfad);
    if (!ini.Vorhanden()) return std::nullopt;
    // One field after the other: a bad value stops here with the earlier ones kept.
    feinheit.MinLaenge = ini.LiesZahl(kSektion, "minLaenge", "2");
    feinheit.MinWinkel = ini.LiesZahl(kSektion, "minWinkel", "3");
    feinheit.MinSteigung = ini.LiesZahl(kSektion, "minSteigung", "1");
    feinheit.MinZRot = ini.LiesZahl(kSektion, "minZRot", "1");
    feinheit.MaxSturz = ini.LiesZahl(kSektion, "maxSturz", "30");
    feinheit.DreieckeSym = ini.LiesBool(kSektion, "DreieckeSym", false);
    return PositionAus(ini);
}

std::optional<Fensterposition> FensterpositionLesen(const std::filesystem::path& pfad) {
    const IniDatei ini(pfad);
    if (!ini.Vorhanden()) return std::nullopt;
    return PositionAus(ini);
}

std::optional<std::uint64_t> SpeicherGrenzeLesen(const std::filesystem::path& pfad) {
    const IniDatei ini(pfad);
    if (!ini.Vorhanden()) return std::nullopt;
    // No line of the file can hold a line break: the default tells a missing key apart.
    const std::string text = ini.LiesString(kSektion, kMaxSpeicher, "\n");
    if (text == "\n") return std::nullopt;
    const double megabyte = ini.LiesZahl(kSektion, kMaxSpeicher, 0.0);
    // 0 is "no limit" to a run, so a value that is not above 0 cannot stand for it: the
    // key left out gives the default limit, and a mistyped one must not remove it.
    if (!(megabyte > 0)) {
        // Catalog: %1 is the value as the settings file holds it; maxSpeicherMB is the
        // key of the settings file that sets the limit. Led by the file, section and key.
        const char* grund =
            Tr("'%1' is no memory limit: give a number of megabytes above 0, or leave maxSpeicherMB "
               "out for half of the physical memory");
        throw KonvertierungsFehler(Utf8(pfad) + " [" + kSektion + "] " + kMaxSpeicher + ": " +
                                   Einsetzen(grund, {SichtbarerText(text)}));
    }
    // Beyond 2^43 MB (8 EiB) the bytes would not fit 64 bits: no limit worth the name.
    constexpr double kHoechstens = 8796093022208.0;
    if (megabyte >= kHoechstens) return UINT64_MAX;
    // However small, a positive limit stays a limit: below one byte it is one byte.
    return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(megabyte * 1048576.0));
}

Sprachwahl SprachwahlLesen(const std::filesystem::path& pfad) {
    // Read before the window exists, so nothing here may stop the start: a file that
    // cannot be read is reported by the start-up's own reading of it, in the language
    // the program then speaks.
    try {
        const IniDatei ini(pfad);
        if (!ini.Vorhanden()) return Sprachwahl::System;
        return SprachwahlAusText(ini.LiesString(kSektion, "Sprache", "System")).value_or(Sprachwahl::System);
    } catch (const std::exception&) {
        return Sprachwahl::System;
    }
}

std::optional<std::string> TexturordnerLesen(const std::filesystem::path& pfad) {
    const IniDatei ini(pfad);
    std::string ordner = ini.LiesString(kSektion, kTexturordner, "");
    if (ordner.empty()) return std::nullopt;
    return ordner;
}

void TexturordnerSchreiben(const std::filesystem::path& pfad, const std::string& ordner) {
    IniDatei ini(pfad);
    ini.SchreibeString(kSektion, kTexturordner, ordner);
    ini.Speichern();
}

void EinstellungenSchreiben(const std::filesystem::path& pfad, const Feinheit& feinheit,
                            const Fensterposition& position, Sprachwahl sprache) {
    IniDatei ini(pfad);
    ini.SchreibeZahl(kSektion, "minLaenge", feinheit.MinLaenge);
    ini.SchreibeZahl(kSektion, "minWinkel", feinheit.MinWinkel);
    ini.SchreibeZahl(kSektion, "minSteigung", feinheit.MinSteigung);
    ini.SchreibeZahl(kSektion, "minZRot", feinheit.MinZRot);
    ini.SchreibeZahl(kSektion, "maxSturz", feinheit.MaxSturz);
    ini.SchreibeBool(kSektion, "DreieckeSym", feinheit.DreieckeSym);
    ini.SchreibeInteger(kSektion, "ScreenPos_Top", position.Oben);
    ini.SchreibeInteger(kSektion, "ScreenPos_Left", position.Links);
    if (sprache != Sprachwahl::System || ini.LiesString(kSektion, "Sprache", "").size() > 0)
        ini.SchreibeString(kSektion, "Sprache", SprachwahlText(sprache));
    ini.Speichern();
}

Fensterposition AufBildschirm(Fensterposition p, int fensterBreite, int fensterHoehe, int bildschirmBreite,
                              int bildschirmHoehe) {
    // In 64 bits: a stored position near the int limits must not overflow the sum.
    if (static_cast<long long>(p.Links) + fensterBreite > bildschirmBreite || p.Links < 0) p.Links = 1;
    if (static_cast<long long>(p.Oben) + fensterHoehe > bildschirmHoehe || p.Oben < 0) p.Oben = 1;
    return p;
}

}  // namespace pavolant
