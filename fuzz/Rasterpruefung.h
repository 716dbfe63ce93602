// The check the picture readers' fuzz drivers share: a note and no level, or no note and
// a chain of levels, each half the one before (at least 1), at most `maxSeite` a side,
// with exactly its pixels' bytes; `eineStufe` for a format that holds no mipmaps.
#pragma once

#include "persistence/Rasterbild.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace pavolant::fuzz {

inline void RasterPruefen(const Rasterbild& b, int maxSeite, bool eineStufe) {
    if (!b.Fehler.empty()) {
        if (!b.Stufen.empty() || b.Fehler.find('\n') != std::string::npos) std::abort();
        return;
    }
    if (b.Stufen.empty() || (eineStufe && b.Stufen.size() != 1)) std::abort();
    for (std::size_t i = 0; i < b.Stufen.size(); ++i) {
        const Rasterstufe& s = b.Stufen[i];
        if (s.Breite < 1 || s.Hoehe < 1 || s.Breite > maxSeite || s.Hoehe > maxSeite) std::abort();
        if (s.Rgba.size() != static_cast<std::size_t>(s.Breite) * static_cast<std::size_t>(s.Hoehe) * 4)
            std::abort();
        if (i > 0 && (s.Breite != std::max(1, b.Stufen[i - 1].Breite / 2) ||
                      s.Hoehe != std::max(1, b.Stufen[i - 1].Hoehe / 2)))
            std::abort();
    }
}

}  // namespace pavolant::fuzz
