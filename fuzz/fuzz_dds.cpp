// DdsAusBytes on arbitrary bytes: a note and no level, or no note and a chain of levels,
// each half the one before (at least 1), at most the given size a side, with exactly its
// pixels' bytes. Reads out of bounds and runaway allocations are the sanitizers' to see;
// the side limit keeps a single input's pictures small.
#include "persistence/DdsBild.h"

#include "fuzz/Rasterpruefung.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    constexpr int kMaxSeite = 1024;
    pavolant::fuzz::RasterPruefen(pavolant::DdsAusBytes(daten, groesse, kMaxSeite), kMaxSeite, false);
    return 0;
}
