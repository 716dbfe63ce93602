#include "tests/support/PngSchreiber.h"

#include "persistence/PngBild.h"

#include <sstream>
#include <stdexcept>

namespace pavolant::test {

std::string PngDatei(int breite, int hoehe, const std::vector<std::uint16_t>& werte, int bits, int kanaele) {
    std::ostringstream datei;
    try {
        PngKodieren(datei, breite, hoehe, werte, bits, kanaele, PngPacken::Roh);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument("PngDatei: the samples do not fit the size");
    }
    return std::move(datei).str();
}

}  // namespace pavolant::test
