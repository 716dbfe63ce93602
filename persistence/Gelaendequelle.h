// Where the map's ground comes from, and its reading: either the map's i3d (its terrain
// node names the height image, heightScale and unitsPerPixel, and may carry a
// translation), or a height image with heightScale and unitsPerPixel typed in. Desktop and
// command line read the ground through this one function.
#pragma once

#include "model/Gelaende.h"
#include "persistence/IniDatei.h"

#include <optional>

#include <cstdint>
#include <string>
#include <vector>

namespace pavolant {

struct Gelaendeladung {
    Gelaende Boden;                     // empty when refused
    std::string Hoehenbild;             // the image read (UTF-8), for the dialog and the report
    std::string Fehler;                 // one line naming the file and what is wrong; empty when read
    std::vector<std::string> Hinweise;  // e.g. an older map without unitsPerPixel, an unusual size
};

// Reads the ground; `speichergrenze` bounds the height image's decoding (bytes).
Gelaendeladung GelaendeLesen(const Gelaendequelle& quelle, std::uint64_t speichergrenze);

// The source in the parameter file's section [Terrain] (Datei=, heightScale=,
// unitsPerPixel=, Abstand=, and the shaping's Tiefe=, Rand=, Auslauf=, Formung= beides,
// heben or senken; a missing key takes its default). A file without the section, or with an empty Datei=, has
// no terrain. Writing no terrain leaves a file without the section as it was, byte for
// byte, and empties Datei= in one that has it (the file keeps every line it holds).
// A number that is no number throws KonvertierungsFehler naming the file and key.
std::optional<Gelaendequelle> GelaendequelleLesen(const IniDatei& ini);
void GelaendequelleSchreiben(IniDatei& ini, const std::optional<Gelaendequelle>& quelle);

}  // namespace pavolant
