// The map's ground: a grid of heights as the level editor's height image holds them,
// placed in the world as the editor places its terrain. This file is the one place of
// that convention:
//
//   column i of a W-pixel-wide image lies at  x = (i - (W - 1) / 2) * unitsPerPixel + Versatz.x
//   row    j of an H-pixel-high image lies at  z = (j - (H - 1) / 2) * unitsPerPixel + Versatz.z
//   (row 0 is the most negative Z: the image's top edge is the map's north edge)
//   a pixel value v (0..65535) is the height   y = v / 65535 * heightScale + Versatz.y
//
// The terrain is centred on the world origin unless the terrain node carries a
// translation (Versatz). Between pixel centres the height is interpolated bilinearly;
// outside the outermost centres there is no terrain, and no height is invented there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Formvorgaben.h"
#include "model/SplinePunkte.h"

namespace pavolant {

// The pixels of a height image: Breite x Hoehe values, row by row from row 0. Shared and
// read-only, so that a road value holding the ground can be copied for free; the reader
// hands over its own buffer (a 4097 x 4097 image is 32 MiB).
struct Hoehenraster {
    int Breite = 0, Hoehe = 0;
    std::shared_ptr<const std::uint16_t[]> Werte;

    std::uint16_t Bei(int spalte, int zeile) const {
        return Werte[static_cast<std::size_t>(zeile) * static_cast<std::size_t>(Breite) +
                     static_cast<std::size_t>(spalte)];
    }
};

struct Gelaende {
    Hoehenraster Raster;
    double HeightScale = 255;       // metres for the pixel value 65535
    double UnitsPerPixel = 1;       // metres between neighbouring pixel centres
    double Versatz[3] = {0, 0, 0};  // the terrain node's translation, metres

    bool Leer() const { return Raster.Breite == 0 || Raster.Hoehe == 0 || !Raster.Werte; }

    // World X of column `spalte` and world Z of row `zeile` (fractional ones between).
    double XVonSpalte(double spalte) const {
        return (spalte - (Raster.Breite - 1) / 2.0) * UnitsPerPixel + Versatz[0];
    }
    double ZVonZeile(double zeile) const {
        return (zeile - (Raster.Hoehe - 1) / 2.0) * UnitsPerPixel + Versatz[2];
    }
    // The inverse: the fractional column at world X and row at world Z.
    double SpalteVonX(double x) const { return (x - Versatz[0]) / UnitsPerPixel + (Raster.Breite - 1) / 2.0; }
    double ZeileVonZ(double z) const { return (z - Versatz[2]) / UnitsPerPixel + (Raster.Hoehe - 1) / 2.0; }
    // The height of a pixel value, metres.
    double HoeheVonWert(double wert) const { return wert / 65535.0 * HeightScale + Versatz[1]; }

    // The ground's height at world (x, z), bilinear between the four pixel centres
    // around it; nullopt outside the terrain (beyond the outermost centres) or when there
    // is no terrain.
    std::optional<double> HoeheBei(double x, double z) const;
    // The lowest and highest pixel's height, metres; {0, 0} without terrain.
    struct Bereich {
        double Min = 0, Max = 0;
    };
    Bereich Hoehenbereich() const;
    // The size in metres from the first to the last pixel centre, X and Z.
    double BreiteInMetern() const { return (Raster.Breite - 1) * UnitsPerPixel; }
    double TiefeInMetern() const { return (Raster.Hoehe - 1) * UnitsPerPixel; }
};

// Where the ground comes from: either the map's i3d (its terrain node names the height
// image, heightScale and unitsPerPixel, and may carry a translation), or a height image
// with heightScale and unitsPerPixel typed in; and the clearance the points keep above it.
// A map's i3d rather than a height image, by the name's extension: .i3d in any case.
bool IstKartendatei(const std::string& datei);

struct Gelaendequelle {
    std::string Datei;  // UTF-8: a map's .i3d, or a height image (.png)
    // For a height image only; a map says its own.
    double HeightScale = 255;
    double UnitsPerPixel = 1;
    double Abstand = 0.05;  // metres the dropped points keep above the ground
    // How "Shape terrain" presses the road into it (the connections left alone come from
    // the points, not from here).
    Formvorgaben Formung{};

    bool IstKarte() const { return IstKartendatei(Datei); }
    bool operator==(const Gelaendequelle&) const = default;
};

// Drops points onto the ground: each point's Y becomes the ground's height at its X and
// Z plus `abstand` (metres; the road's surface just above the ground). Points outside the
// terrain keep their height; their indices are returned, in order. `nur` limits the drop
// to one point (the current one); an index outside the list drops none.
struct Absenkung {
    int Gesetzt = 0;
    std::vector<int> Ausserhalb;
};
Absenkung AufGelaendeSetzen(std::vector<TSplinePkt>& punkte, const Gelaende& gelaende, double abstand,
                            std::optional<int> nur = std::nullopt);

}  // namespace pavolant
