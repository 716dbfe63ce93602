// Shaping the map's ground to the road: the road's top surfaces (roadway and borders)
// pressed into the height image, a margin beside them that continues their cross-slope,
// and a falloff that eases back to the original ground; and the grey masks of the same
// footprint.
//
// Units: metres; heights are level Y. Pixels follow the one convention of Gelaende.h.
#pragma once

#include "model/Formvorgaben.h"
#include "model/Gelaende.h"
#include "model/Netz.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pavolant {

// One top surface of the mesh (a roadway or a border Subset; never the fill) and where
// each connection's triangles begin in it. The walk writes triangles in order along the
// road, so connection c (0-based: the control point it starts at) holds the triangles
// from ErstesDreieck[c] up to ErstesDreieck[c + 1] (the Subset's end for the last),
// counted from the Subset's first triangle.
struct Deckflaeche {
    std::int32_t Subset = 0;  // index into Netz::Subsets
    bool Fahrbahn = true;     // the roadway; else a border
    std::vector<std::int32_t> ErstesDreieck;
};

struct Formbericht {
    std::int64_t GeaendertePixel = 0;  // pixels whose value differs from the source
    double Auftrag = 0;                // m^3 of fill (ground raised)
    double Abtrag = 0;                 // m^3 of cut (ground lowered)
    double GroessteAenderung = 0;      // metres, the largest raise or cut of one pixel
    std::int64_t GekapptePixel = 0;    // pixels whose wanted height lies beyond 0..65535
    std::int64_t Kreuzungspixel = 0;   // footprint pixels two non-neighbouring connections cover
    // The lowest and highest height the shaping wanted, before the values were clamped;
    // none when the road reaches no pixel.
    std::optional<double> NiedrigsteGewollt, HoechsteGewollt;
};

struct Formergebnis {
    // The whole image, W x H, row by row; pixels the road does not reach keep their
    // source value bit for bit. Empty without terrain.
    std::vector<std::uint16_t> Werte;
    Formbericht Bericht;
};

// Shapes `boden` under the top surfaces `flaechen` of `netz`. Memory: the result's image
// and one 32-bit value per pixel of the box the road, margin and falloff reach.
Formergebnis GelaendeFormen(const Gelaende& boden, const Netz& netz, const std::vector<Deckflaeche>& flaechen,
                            const Formvorgaben& vorgaben);

// An 8-bit grey raster: 255 inside, 0 outside, row by row from the north (-Z) edge.
struct Maske {
    int Breite = 0, Hoehe = 0;
    std::vector<std::uint8_t> Werte;
};

struct Fussabdruckmasken {
    Maske Fahrbahn, Raender;
};

// The roadway's and the borders' footprints over the terrain's area: the rectangle from
// the first to the last pixel centre, (W - 1) * unitsPerPixel by (H - 1) * unitsPerPixel
// metres around the terrain's centre. By default one mask pixel per metre (at least one
// pixel a side), or `groesse` = {width, height} pixels over the same area. A mask pixel is
// inside when its centre lies in a triangle of the footprint; connections left alone are
// not in it. Empty masks without terrain.
Fussabdruckmasken FussabdruckMasken(const Gelaende& boden, const Netz& netz,
                                    const std::vector<Deckflaeche>& flaechen,
                                    const std::vector<bool>& gelasseneVerbindungen,
                                    std::optional<std::array<int, 2>> groesse = std::nullopt);

}  // namespace pavolant
