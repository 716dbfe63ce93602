#include "persistence/Systemspeicher.h"

#include "persistence/Plattform.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace pavolant {

std::uint64_t StandardSpeicherGrenze() {
    const std::uint64_t physisch = PhysischerSpeicher();
    return physisch == 0 ? std::uint64_t{4} << 30 : physisch / 2;
}

std::optional<std::uint64_t> SpeichergroesseAusText(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && ((text[i] >= '0' && text[i] <= '9') || text[i] == '.')) ++i;
    const std::string zahl(text.substr(0, i));
    std::string einheit;
    for (char c : text.substr(i)) einheit += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (einheit.size() > 1 && (einheit.ends_with("IB") || einheit.ends_with("B")))
        einheit.resize(einheit.size() - (einheit.ends_with("IB") ? 2 : 1));
    int stufe = 2;
    if (einheit == "K")
        stufe = 1;
    else if (einheit == "G")
        stufe = 3;
    else if (einheit == "T")
        stufe = 4;
    else if (einheit != "" && einheit != "M")
        return std::nullopt;
    double basis = 0;
    const auto [ende, fehler] =
        std::from_chars(zahl.data(), zahl.data() + zahl.size(), basis, std::chars_format::fixed);
    if (zahl.empty() || fehler != std::errc() || ende != zahl.data() + zahl.size()) return std::nullopt;
    const double wert = basis * std::pow(1024.0, stufe);
    if (!(wert >= 1) || wert >= 18446744073709551615.0) return std::nullopt;
    return static_cast<std::uint64_t>(wert);
}

}  // namespace pavolant
