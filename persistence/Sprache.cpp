#include "persistence/Sprache.h"

#include "persistence/Plattform.h"

#include <system_error>

namespace pavolant {

namespace {

// The languages the program has a catalog for.
bool HatKatalog(std::string_view sprache) { return sprache == "en" || sprache == "de"; }

// "de_DE.UTF-8@euro" → "de", "en-GB" → "en", "C.UTF-8" → "C"; lower case as given.
std::string_view Sprachteil(std::string_view name) {
    const auto ende = name.find_first_of("_-.@");
    return ende == std::string_view::npos ? name : name.substr(0, ende);
}

}  // namespace

std::string_view SprachwahlText(Sprachwahl wahl) {
    switch (wahl) {
        case Sprachwahl::Englisch:
            return "en";
        case Sprachwahl::Deutsch:
            return "de";
        case Sprachwahl::System:
            break;
    }
    return "System";
}

std::optional<Sprachwahl> SprachwahlAusText(std::string_view text) {
    if (text == "System" || text.empty()) return Sprachwahl::System;
    if (text == "en") return Sprachwahl::Englisch;
    if (text == "de") return Sprachwahl::Deutsch;
    return std::nullopt;
}

Sprachumgebung SprachumgebungDesProzesses() {
    Sprachumgebung umgebung;
    umgebung.Language = Umgebungsvariable("LANGUAGE");
    umgebung.LcAll = Umgebungsvariable("LC_ALL");
    umgebung.LcMessages = Umgebungsvariable("LC_MESSAGES");
    umgebung.Lang = Umgebungsvariable("LANG");
    umgebung.Oberflaeche = Oberflaechensprachen();
    return umgebung;
}

std::string SpracheBestimmen(Sprachwahl wahl, const Sprachumgebung& umgebung) {
    if (wahl == Sprachwahl::Englisch) return "en";
    if (wahl == Sprachwahl::Deutsch) return "de";

    std::string_view locale = umgebung.LcAll;
    if (locale.empty()) locale = umgebung.LcMessages;
    if (locale.empty()) locale = umgebung.Lang;
    if (locale == "C" || locale == "POSIX") return "";

    std::string_view liste = umgebung.Language;
    while (!liste.empty()) {
        const auto ende = liste.find(':');
        const std::string_view eintrag = liste.substr(0, ende);
        if (HatKatalog(Sprachteil(eintrag))) return std::string(Sprachteil(eintrag));
        liste = ende == std::string_view::npos ? std::string_view() : liste.substr(ende + 1);
    }
    if (!umgebung.Language.empty() || !locale.empty()) {
        // The variables have spoken; a language without a catalog keeps the texts.
        const std::string_view teil = Sprachteil(locale);
        return HatKatalog(teil) ? std::string(teil) : "";
    }
    for (const std::string& sprache : umgebung.Oberflaeche)
        if (HatKatalog(Sprachteil(sprache))) return std::string(Sprachteil(sprache));
    return "";
}

std::vector<std::filesystem::path> Katalogordner() {
    const std::filesystem::path programm = Programmordner();
    if (programm.empty()) return {};
    return {programm / "locale", programm.parent_path() / "locale",
            programm.parent_path() / "share" / "locale"};
}

bool SpracheEinrichten(const std::string& sprache) {
    if (!HatKatalog(sprache)) return false;
    for (const std::filesystem::path& ordner : Katalogordner()) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(ordner / sprache / "LC_MESSAGES" / "pavolant.mo", ec))
            return KatalogEinbinden(ordner, sprache);
    }
    return false;
}

}  // namespace pavolant
