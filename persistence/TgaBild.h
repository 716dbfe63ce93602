// TGA pictures, read by our own decoder: true colour of 15, 16, 24 or 32 bits, grey of
// 8 bits (16 with alpha), colour-mapped with 8- or 16-bit indices into a map of 15 to
// 32-bit entries; each stored plainly or run-length encoded (a run may go on into the
// next row); rows from the bottom up or from the top down, and right to left, as the
// header says. One level: TGA has no mipmaps.
//
// The header is checked before the pixels are touched: at most `maxSeite` pixels a side,
// a known type and depth; then every read stays within the file's bytes and every pixel
// written within the picture. A file that ends before its last pixel, or a colour index
// past its map, is refused. 5-bit channels widen by repeating their top bits
// (v << 3 | v >> 2).
#pragma once

#include "persistence/Rasterbild.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace pavolant {

// The TGA file `pfad`; no more bytes are read than its checked header can need.
Rasterbild TgaLesen(const std::filesystem::path& pfad, int maxSeite);

// The same from the file's bytes in memory.
Rasterbild TgaAusBytes(const std::uint8_t* daten, std::size_t laenge, int maxSeite);

}  // namespace pavolant
