// DDS textures, read by our own decoder: the block-compressed formats BC1 (DXT1, with
// its three-colour mode and transparent texels), BC2 (DXT2/DXT3), BC3 (DXT4/DXT5), BC4
// (ATI1, BC4U) and BC5 (ATI2, BC5U), also behind the DX10 header; and uncompressed
// pixels of 8, 16, 24 or 32 bits by their bit masks (RGB, RGBA, luminance with or
// without alpha, alpha alone). Every level of the file's mipmap chain is read.
//
// The header is checked before anything else is read or allocated: only a flat texture
// of a known format, at most `maxSeite` pixels a side, with no more levels than its size
// has, from a file long enough for every level it claims, is decoded. Decoding then
// touches only the bytes the header accounts for, and its work is bounded by the checked
// sizes.
//
// Decoding rules (exactly as OpenImageIO 2.4 decodes but for DXT2/DXT4, checked pixel
// for pixel by tests/oiio; each within one unit of the exact value):
// - block end points: 5 and 6 bits to 8 as v * 255 / 31 and v * 255 / 63, rounded to
//   nearest (the exact value; repeating the bits would be one off for some);
// - BC1-BC3 colours: c2 = (2 c0 + c1) / 3, c3 = (c0 + 2 c1) / 3 rounded to nearest,
//   and in BC1's three-colour mode (c0 <= c1) c2 = (c0 + c1) / 2 rounded half up, with
//   c3 transparent black; each channel on its own;
// - BC3 alpha, BC4 and BC5 channels: a_i = ((8 - i) a0 + (i - 1) a1 + 1) / 7 for
//   i = 2..7 when a0 > a1, else a_i = ((6 - i) a0 + (i - 1) a1 + 1) / 5 for i = 2..5,
//   a6 = 0 and a7 = 255 (integer division; not rounded to nearest, which would add 3
//   and 2: the result lies within one unit of the exact value, below it by up to 5/7
//   or above it by 1/7, as decoders in hardware may);
// - DXT2 and DXT4 (DXT3 and DXT5 with colours stored times alpha): each colour back to
//   c * 255 / a rounded, at most 255, black where a = 0 (OpenImageIO 2.4 wraps around
//   at 8 bits there and divides by zero at a = 0);
// - BC2's 4-bit alpha times 17; a masked channel of fewer than 8 bits widens by
//   repeating its bits (5 bits: v << 3 | v >> 2), one of more keeps its top 8.
#pragma once

#include "persistence/Rasterbild.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace pavolant {

// The DDS file `pfad`; only the bytes its checked header accounts for are read.
Rasterbild DdsLesen(const std::filesystem::path& pfad, int maxSeite);

// The same from the file's bytes in memory.
Rasterbild DdsAusBytes(const std::uint8_t* daten, std::size_t laenge, int maxSeite);

}  // namespace pavolant
