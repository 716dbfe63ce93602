// TgaAusBytes on arbitrary bytes: a note and no picture, or no note and one picture at
// most the given size a side with exactly its pixels' bytes. Reads out of bounds and
// runaway allocations are the sanitizers' to see; the side limit keeps a single input's
// picture small.
#include "persistence/TgaBild.h"

#include "fuzz/Rasterpruefung.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    constexpr int kMaxSeite = 1024;
    pavolant::fuzz::RasterPruefen(pavolant::TgaAusBytes(daten, groesse, kMaxSeite), kMaxSeite, true);
    return 0;
}
