// Which language the program speaks, and the catalog that says it. The program's texts
// exist in two languages (English, German); without a catalog it shows each text as the
// code holds it. The choice follows the user: the settings file's "Sprache" when it
// names a language, else the usual variables, else (the desktop only) the desktop's own
// language list.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

enum class Sprachwahl { System, Englisch, Deutsch };

// The key's value in the settings file and back ("System", "en", "de"); nullopt for a
// value that names none of them.
std::string_view SprachwahlText(Sprachwahl wahl);
std::optional<Sprachwahl> SprachwahlAusText(std::string_view text);

// The variables of gettext's convention, as the process has them (empty when unset).
struct Sprachumgebung {
    std::string Language;                  // LANGUAGE: a list like "de_AT:de:en"
    std::string LcAll;                     // LC_ALL
    std::string LcMessages;                // LC_MESSAGES
    std::string Lang;                      // LANG
    std::vector<std::string> Oberflaeche;  // the desktop's languages, most wanted first ("de-DE")
};

Sprachumgebung SprachumgebungDesProzesses();

// The language the program speaks: "en", "de", or "" for the texts as the code holds
// them. A chosen language wins. Otherwise, as gettext has it: the locale is the first
// of LC_ALL, LC_MESSAGES, LANG that is set; the locale "C" or "POSIX" means the texts as
// they are (LANGUAGE is ignored then, so LC_ALL=C gives scripts the plain texts);
// otherwise the first entry of LANGUAGE with a catalog, then the locale's language.
// When none of the variables is set, the desktop's first language with a catalog. A
// language without a catalog (French, say) gives "".
std::string SpracheBestimmen(Sprachwahl wahl, const Sprachumgebung& umgebung);

// Where the catalogs lie, each holding <language>/LC_MESSAGES/pavolant.mo: "locale"
// beside the program, "../locale" (the build folder, for the programs and the test
// programs in its subfolders) and "../share/locale" (an installed program).
std::vector<std::filesystem::path> Katalogordner();

// Makes every Tr() of the process answer in `sprache` from the first folder of
// Katalogordner() that holds its catalog. False (and the texts as they are) for "",
// when no folder holds the catalog, or where the system has no gettext. Call it once at
// start-up, before any thread, and on the desktop after the toolkit has set the locale.
bool SpracheEinrichten(const std::string& sprache);

}  // namespace pavolant
