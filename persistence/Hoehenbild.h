// The level editor's height image: a single-channel 16-bit grey PNG (the map's DEM,
// e.g. data/dem.png), read into a Hoehenraster. Decoded by stb_image (Debian:
// libstb-dev), a header-only reader that builds unchanged for Windows with MinGW-w64;
// see docs/ARCHITECTURE.md for the comparison with libpng and libspng.
//
// What is refused, with a one-line reason (English through Tr) and nothing read: a file
// that is missing or no regular file, not a PNG, cut short or corrupt; an image of 8
// bits, of colour or with alpha; one whose decoding would need more memory than
// `speichergrenze` bytes (the file, the decoder's working copy and the pixels). A side
// that is not a power of two plus one is read, with a note: the editor makes its height
// images that way, so another size hints at the wrong file.
#pragma once

#include "model/Gelaende.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pavolant {

struct Hoehenbildladung {
    Hoehenraster Raster;  // empty on a refusal
    std::string Fehler;   // why it was refused; empty when read
    std::vector<std::string> Hinweise;
};

Hoehenbildladung HoehenbildLesen(const std::filesystem::path& pfad, std::uint64_t speichergrenze);
// The same from the file's bytes in memory.
Hoehenbildladung HoehenbildAusBytes(const std::uint8_t* daten, std::size_t laenge,
                                    std::uint64_t speichergrenze);

// The memory a decode of a `breite` x `hoehe` image from a file of `dateigroesse` bytes
// takes at its peak: the file, the inflated rows (2 bytes a pixel and a filter byte a
// row) and the finished pixels (2 bytes each).
std::uint64_t HoehenbildSpeicherbedarf(std::uint64_t breite, std::uint64_t hoehe, std::uint64_t dateigroesse);

}  // namespace pavolant
