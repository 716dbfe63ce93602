// ZahlAusText on arbitrary bytes, under both separators: it either returns a finite
// number or throws KonvertierungsFehler. A number it accepts must survive the general
// format: written and read back it stays within the 15 digits (half a unit of the 15th
// digit, plus the two conversions' own rounding).
#include "model/Zahlen.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string_view text(reinterpret_cast<const char*>(daten), groesse);
    for (char trenner : {',', '.'}) {
        pavolant::SetzeDezimaltrenner(trenner);
        try {
            const double x = pavolant::ZahlAusText(text);
            if (!std::isfinite(x)) std::abort();
            const double y = pavolant::ZahlAusText(pavolant::FormatAllgemein(x));
            if (std::fabs(y - x) > std::fabs(x) * 6e-15) std::abort();
            char puffer[pavolant::kFest4MaxLaenge];
            pavolant::SchreibeFest4(puffer, x);
        } catch (const pavolant::KonvertierungsFehler&) {
        }
    }
    return 0;
}
