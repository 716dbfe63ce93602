// GanzzahlAusText on arbitrary bytes: a value or KonvertierungsFehler, and a value it
// accepts is written back as the same digits.
#include "model/Zahlen.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string_view text(reinterpret_cast<const char*>(daten), groesse);
    try {
        const int n = pavolant::GanzzahlAusText(text);
        if (pavolant::GanzzahlAusText(std::to_string(n)) != n) std::abort();
    } catch (const pavolant::KonvertierungsFehler&) {
    }
    return 0;
}
