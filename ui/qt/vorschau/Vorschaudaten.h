// What the road preview shows, prepared from one run's report without OpenGL: the mesh
// as arrays ready for the graphics card, the traffic curves and control points, the
// plan view's lines, and the box the "fit" action frames. Built once per run; the views
// only read it.
//
// Positions. Level coordinates are metres, Y up; a long road lies kilometres from the
// origin, where a float keeps only centimetres. Every float position here is therefore
// taken relative to Ursprung (the middle of the framed box) after subtracting in double,
// so the preview stays exact to well below a millimetre for roads of some kilometres.
#pragma once

#include "generator/Strassenbau.h"
#include "model/Gelaende.h"
#include "model/Gelaendenetz.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pavolant::qt {

// One mesh part (a Subset of the run's mesh) as a range of the index array.
struct Vorschauteil {
    Netzteil Teil;
    std::uint32_t ErsterIndex;    // into Vorschaudaten::Indizes
    std::uint32_t AnzahlIndizes;  // three per triangle
};

struct Vorschaukurve {
    Verkehrskurve Kurve;
    std::vector<float> Punkte;  // x, y, z per control point, relative to Ursprung
};

// A point of the plan view: level X and Z, metres.
struct Planpunkt {
    double X, Z;
};

// The ground around the road: its mesh for the 3-D view (with an origin of its own, so
// that it can be kept while the road changes) and its relief for the plan view, both of
// one area of the level.
struct Vorschauboden {
    Gelaendenetz Netz;
    Reliefbild Relief;
};

struct Vorschaudaten {
    // Why nothing is shown (no run yet, a run that built no road, ...); empty when the
    // data holds a complete run's road.
    std::string Hinweis;
    // Why this road is no longer the current one (the live run after an edit stopped);
    // empty when it is current.
    std::string Veraltet;

    // ---- 3-D view
    std::array<double, 3> Ursprung{0, 0, 0};  // level position of the float origin, metres
    std::vector<float> Vertices;              // per vertex x, y, z (relative), nx, ny, nz, u, v
    std::vector<std::uint32_t> Indizes;       // the run's triangles, three indices each
    std::vector<Vorschauteil> Teile;          // in the run's Subset order
    std::vector<Vorschaukurve> Kurven;        // the traffic curves that are on
    std::vector<float> Marken;                // the spline control points, x, y, z (relative)
    // The box "fit" frames, relative to Ursprung: the mesh's box, widened by curves and
    // control points. Inverted (min > max) when there is nothing to show.
    std::array<float, 3> RahmenMin{1, 1, 1}, RahmenMax{-1, -1, -1};

    // The ground grid at the road's lowest height: line pairs (x, y, z each, relative),
    // every Gitterweite metres, a cell beyond the framed box; and labels of the level
    // coordinate at the start of some lines (about five along each side).
    double Gitterweite = 0;  // metres; 0: no grid
    std::vector<float> Gitter;
    struct Gittermarke {
        std::array<float, 3> Lage;  // relative
        std::string Text;           // "120 m"
    };
    std::vector<Gittermarke> Gittermarken;

    // The texture file each part names (by Netzteil; empty: the part is off) and the
    // document's path, both UTF-8 as the run had them, for the "Textures" mode.
    std::array<std::string, 4> Texturen;
    std::string Dokument;

    // The map's ground around the road; null without a terrain or where it misses the road.
    std::shared_ptr<const Vorschauboden> Boden;

    // ---- Plan view (level X, Z)
    std::vector<Planpunkt> Mittellinie, KanteRechts, KanteLinks;
    std::vector<Planpunkt> Kontrollpunkte;  // index i is the editor's point i + 1
    // Where each connection's stretch of Mittellinie begins, by the run's control points:
    // connection i runs from index [i] to index [i + 1]. Empty without a road.
    std::vector<std::size_t> Verbindungsanfaenge;

    static constexpr std::size_t kFloatsJeVertex = 8;

    std::int64_t AnzahlVertices() const {
        return static_cast<std::int64_t>(Vertices.size() / kFloatsJeVertex);
    }
    std::int64_t AnzahlDreiecke() const { return static_cast<std::int64_t>(Indizes.size() / 3); }
    bool RahmenGueltig() const {
        return RahmenMin[0] <= RahmenMax[0] && RahmenMin[1] <= RahmenMax[1] && RahmenMin[2] <= RahmenMax[2];
    }
    // The box the camera frames, min and max in preview coordinates: the road's, grown
    // to take in the ground's mesh when `mitBoden` and there is one.
    std::array<std::array<float, 3>, 2> Szenenrahmen(bool mitBoden) const;
    // The triangles' edges as line pairs (two indices each) for the wireframe, per part
    // in the order of Teile; `bereiche` receives each part's range of the result.
    std::vector<std::uint32_t> Kantenindizes(std::vector<Vorschauteil>& bereiche) const;
};

// The preview of a run: the road when the run completed its document, else only the
// note. `lauf` empty means no run yet.
// `dokument`: the output file as typed, beside which the textures are looked for.
Vorschaudaten VorschauAus(const std::optional<Bauergebnis>& lauf, const std::string& dokument = {});

// For each control point in `punkte`, the index of the point of `linie` (the centre line
// through them, in order) where it lies: the first one within 5 cm after the previous
// control point's, else the nearest after it (the walk may leave out a point it merged).
// Never decreasing; empty when either is empty.
std::vector<std::size_t> Verbindungsanfaenge(const std::vector<Planpunkt>& linie,
                                             const std::vector<Planpunkt>& punkte);

// `d` with the given control points (level metres) in place of its own, in both views,
// relative to its origin; the framed box stays.
Vorschaudaten MitKontrollpunkten(Vorschaudaten d, const std::vector<Kurvenpunkt>& punkte);

// Metres of ground shown beyond the road's box on every side; the area is then widened
// to whole multiples of kBodenRaster metres, so that a small edit of the road keeps it.
inline constexpr double kBodenRand = 50, kBodenRaster = 100;

// Builds the ground for the preview and keeps the last one: the same terrain (the same
// pixels, placed the same way) and the same area give the same ground without building
// it again, so the live preview builds it only when the road's box grows past the area.
class Bodenlager {
public:
    // The ground of `gelaende` around the road of `d`; null when `d` holds no road or the
    // terrain misses the area.
    std::shared_ptr<const Vorschauboden> Fuer(const Vorschaudaten& d, const Gelaende& gelaende);

private:
    std::weak_ptr<const std::uint16_t[]> pixel_;  // not kept alive here
    int breite_ = 0, hoehe_ = 0;
    double heightScale_ = 0, unitsPerPixel_ = 0, versatz_[3] = {0, 0, 0};
    Planrechteck bereich_;
    std::shared_ptr<const Vorschauboden> boden_;
};

// A round length for scales and grids: 1, 2 or 5 times a power of ten metres, at most
// `hoechstens`; 0 when `hoechstens` is not a positive finite length.
double RundeLaenge(double hoechstens);

// Colours (linear RGB, 0..1) of the parts, curves and markers; the views and the tests
// that look at their pictures share them.
using Farbe = std::array<float, 3>;
Farbe Teilfarbe(Netzteil teil);
Farbe Kurvenfarbe(Verkehrskurve kurve);
inline constexpr Farbe kMarkenfarbe{1.0f, 1.0f, 1.0f};
inline constexpr Farbe kAktuellfarbe{1.0f, 0.55f, 0.0f};
inline constexpr Farbe kHintergrundfarbe{0.80f, 0.85f, 0.90f};
inline constexpr Farbe kGitterfarbe{0.62f, 0.68f, 0.80f};  // a darker shade of the sky, no part's
inline constexpr Farbe kBodenfarbe{0.60f, 0.55f, 0.40f};   // dry earth, darker than no part
// Connections that leave the ground as it is (a bridge, a ford), in the plan view.
inline constexpr Farbe kGelassenfarbe{0.80f, 0.10f, 0.35f};  // crimson, no part's or curve's

}  // namespace pavolant::qt
