// The ground around a road as the preview shows it: a thinned grid mesh of the height
// image for the 3-D view, and a shaded relief picture (with contour lines) for the plan.
// Both take the ground's pixels where they lie (model/Gelaende.h places them), so road
// and ground stay in the same relation.
//
// Units: metres, world X and Z as the level has them (Y up, row 0 the most negative Z).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/Gelaende.h"

namespace pavolant {

// A rectangle of the level seen from above, metres. Empty (nothing inside) unless
// MinX < MaxX and MinZ < MaxZ.
struct Planrechteck {
    double MinX = 0, MinZ = 0, MaxX = 0, MaxZ = 0;
    bool Leer() const { return !(MinX < MaxX && MinZ < MaxZ); }
};

// The most triangles a ground mesh gets by default: dense enough to show the hills
// along a road of some kilometres (a 56 m grid around a 10 km road, 4 m around one of
// 400 m), few enough that a software renderer (llvmpipe, two cores) still draws the
// preview well over 30 times a second: a frame of the 10 km road on this ground took some
// 17 ms of processor time, on twice as many triangles 30 ms, on eight times 63 ms.
inline constexpr std::size_t kBodenDreiecke = std::size_t{1} << 15;

struct Gelaendenetz {
    // The level position of the float origin: the middle of the area covered, at the
    // middle of its heights. Floats keep centimetres over kilometres only near it.
    std::array<double, 3> Ursprung{0, 0, 0};
    // Per vertex x, y, z (relative to Ursprung), then the unit normal nx, ny, nz.
    std::vector<float> Vertices;
    // Three per triangle; two triangles per grid cell.
    std::vector<std::uint32_t> Indizes;
    // Pixels of the height image between neighbouring grid lines (the last line of each
    // direction may be closer: the edge of the area is always sampled).
    int Schritt = 0;
    // The area the grid spans (pixel centres on its edges) and its lowest and highest
    // height, level metres.
    Planrechteck Flaeche;
    double MinY = 0, MaxY = 0;

    static constexpr std::size_t kFloatsJeVertex = 6;
    bool Leer() const { return Indizes.empty(); }
    std::size_t AnzahlVertices() const { return Vertices.size() / kFloatsJeVertex; }
    std::size_t AnzahlDreiecke() const { return Indizes.size() / 3; }
};

// The ground within `bereich` as a grid of its pixels, every Schritt-th column and row,
// Schritt the least that keeps the triangles at or under `hoechstensDreiecke`. The area
// is widened to the pixel centres around it and clipped to the terrain; empty without
// terrain, when the area misses it, or when less than one cell of pixels is left. The
// normals are the heights' central differences over one step each way (one-sided at the
// terrain's edge), so a plane gets its exact normal.
Gelaendenetz GelaendenetzBauen(const Gelaende& gelaende, const Planrechteck& bereich,
                               std::size_t hoechstensDreiecke = kBodenDreiecke);

// A relief picture of the ground seen from above: 8-bit RGBA, row by row from the north
// (MinZ) edge, each pixel the ground at its centre shaded by a light from the north-west,
// 45 degrees above the horizon (a level plane is uniformly light, a slope facing the light
// lighter, one facing away darker), with optional contour lines. Alpha 0 where there is no
// terrain.
struct Reliefbild {
    int Breite = 0, Hoehe = 0;
    std::vector<std::uint8_t> Rgba;
    Planrechteck Flaeche;     // the level area of the picture's outer edges
    double Hoehenlinien = 0;  // metres between contour lines; 0: none drawn
    bool Leer() const { return Breite == 0 || Hoehe == 0; }
};

// The relief of `bereich` clipped to the terrain, `meterJePixel` metres a pixel (raised
// so that neither side exceeds kReliefHoechstens pixels); contour lines every
// `hoehenlinien` metres when that is positive. Empty where the mesh would be.
inline constexpr int kReliefHoechstens = 2048;
Reliefbild ReliefBauen(const Gelaende& gelaende, const Planrechteck& bereich, double meterJePixel,
                       double hoehenlinien = 0);

// The shade (0 dark .. 1 light) of a surface whose height rises by `dhdx` and `dhdz`
// metres per metre along X and Z, under the relief's light.
double Reliefschatten(double dhdx, double dhdz);

}  // namespace pavolant
