// HoehenbildAusBytes on arbitrary bytes: a one-line reason and no pixels, or no reason
// and a grid whose every pixel can be read (the sanitizers see a read past the decoder's
// buffer). The memory limit keeps a single input's picture small, as the program's limit
// does for a real one.
#include "persistence/Hoehenbild.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const pavolant::Hoehenbildladung l =
        pavolant::HoehenbildAusBytes(daten, groesse, std::uint64_t{64} << 20);
    if (!l.Fehler.empty()) {
        if (l.Raster.Werte || l.Fehler.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    if (!l.Raster.Werte || l.Raster.Breite < 1 || l.Raster.Hoehe < 1) std::abort();
    unsigned summe = 0;
    const std::size_t n =
        static_cast<std::size_t>(l.Raster.Breite) * static_cast<std::size_t>(l.Raster.Hoehe);
    for (std::size_t i = 0; i < n; ++i) summe += l.Raster.Werte[i];
    return summe == 0xFFFFFFFFu ? 1 : 0;
}
