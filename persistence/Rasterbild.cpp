#include "persistence/Rasterbild.h"

#include "model/Text.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <system_error>

namespace pavolant {

std::string Groessenfehler(std::int64_t breite, std::int64_t hoehe, int maxSeite) {
    // Catalog: why a texture is not shown; %1 x %2 its size in pixels, %3 the largest side.
    return Einsetzen(Tr("a size of %1 x %2 pixels (at most %3 a side)"),
                     {std::to_string(breite), std::to_string(hoehe), std::to_string(maxSeite)});
}

std::vector<std::uint8_t> DateianfangLesen(const std::filesystem::path& pfad, std::uint64_t hoechstens,
                                           std::string& fehler) {
    std::error_code grund;
    Systemdatei datei = Systemdatei::ZumLesen(pfad, grund);
    std::vector<std::uint8_t> daten;
    if (grund) {
        fehler = Dateigrund(grund);
        return daten;
    }
    // Grown piece by piece: a header may claim far more than the file holds, and only
    // what is there is taken.
    constexpr std::uint64_t kStueck = std::uint64_t{1} << 20;
    while (daten.size() < hoechstens) {
        const std::size_t alt = daten.size();
        const auto mehr = static_cast<std::size_t>(std::min(kStueck, hoechstens - alt));
        daten.resize(alt + mehr);
        const std::size_t gelesen = datei.Lesen(reinterpret_cast<char*>(daten.data() + alt), mehr, grund);
        daten.resize(alt + gelesen);
        if (grund) {
            fehler = Dateigrund(grund);
            return {};
        }
        if (gelesen == 0) break;
    }
    return daten;
}

}  // namespace pavolant
