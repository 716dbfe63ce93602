// TgaAusBytes on arbitrary bytes: a note and no picture, or no note and one picture at
// most the given size a side with exactly its pixels' bytes. Reads out of bounds and
// runaway allocations are the sanitizers' to see; the side limit keeps a single input's
// picture small.
#include "persistence/TgaBild.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Pruefen(const pavolant::Rasterbild& b, int maxSeite) {
    if (!b.Fehler.empty()) {
        if (!b.Stufen.empty() || b.Fehler.find('\n') != std::string::npos) std::abort();
        return;
    }
    if (b.Stufen.size() != 1) std::abort();
    for (std::size_t i = 0; i < b.Stufen.size(); ++i) {
        const pavolant::Rasterstufe& s = b.Stufen[i];
        if (s.Breite < 1 || s.Hoehe < 1 || s.Breite > maxSeite || s.Hoehe > maxSeite) std::abort();
        if (s.Rgba.size() != static_cast<std::size_t>(s.Breite) * static_cast<std::size_t>(s.Hoehe) * 4)
            std::abort();
        if (i > 0 && (s.Breite != std::max(1, b.Stufen[i - 1].Breite / 2) ||
                      s.Hoehe != std::max(1, b.Stufen[i - 1].Hoehe / 2)))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    constexpr int kMaxSeite = 1024;
    Pruefen(pavolant::TgaAusBytes(daten, groesse, kMaxSeite), kMaxSeite);
    return 0;
}
