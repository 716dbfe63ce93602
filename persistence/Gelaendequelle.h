// Where the map's ground comes from, and its reading: either the map's i3d (its terrain
// node names the height image, heightScale and unitsPerPixel, and may carry a
// translation), or a height image with heightScale and unitsPerPixel typed in. Desktop and
// command line read the ground through this one function.
#pragma once

#include "model/Gelaende.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pavolant {

struct Gelaendequelle {
    std::string Datei;  // UTF-8: a map's .i3d, or a height image (.png)
    // For a height image only; a map says its own.
    double HeightScale = 255;
    double UnitsPerPixel = 1;

    bool IstKarte() const;  // by the name's extension, .i3d in any case
};

struct Gelaendeladung {
    Gelaende Boden;                     // empty when refused
    std::string Hoehenbild;             // the image read (UTF-8), for the dialog and the report
    std::string Fehler;                 // one line naming the file and what is wrong; empty when read
    std::vector<std::string> Hinweise;  // e.g. an older map without unitsPerPixel, an unusual size
};

// Reads the ground; `speichergrenze` bounds the height image's decoding (bytes).
Gelaendeladung GelaendeLesen(const Gelaendequelle& quelle, std::uint64_t speichergrenze);

}  // namespace pavolant
