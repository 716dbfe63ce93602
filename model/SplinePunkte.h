// Spline control points and the centre line through them.
//
// Between two consecutive points (a connection) the centre line is described in the
// frame of the horizontal chord by two cubic Hermite curves of the distance s along the
// chord: a lateral offset x(s) (plan view) and a height y(s) (elevation); the bank is
// interpolated linearly. The road passes exactly through every control point with the
// point's heading and pitch.
#pragma once

#include "model/Meldung.h"
#include "model/Punkte.h"

#include <memory>
#include <string>
#include <vector>

namespace pavolant {

class TSplinePkt {
public:
    // Given by the user: position in metres (level coordinates, Y up) and orientation in
    // degrees as the level editor shows it (Yrot heading, Xrot pitch with positive
    // meaning the road falls, Zrot bank).
    double X = 0, Y = 0, Z = 0;
    double Xrot = 0, Yrot = 0, Zrot = 0;
    // The connection from this point to the next keeps the map's ground as it is when the
    // ground is shaped to the road (a bridge, a ford): the road passes over or through it.
    // Meaningless on the last point, which starts no connection; a new point has it off.
    bool GelaendeLassen = false;

    // Derived by BerechneMittellinie for the connection that starts here; meaningless
    // on the last point and before the first successful build.
    double Abstand = 0;                         // horizontal chord length L, metres
    double Richtung = 0;                        // chord heading h, radians, in the sense of DreheY
    double WinkelAnfang = 0;                    // alpha: this point's heading against the chord, radians
    double WinkelEnde = 0;                      // beta: the next point's heading against the chord, radians
    double QuerA = 0, QuerB = 0, QuerC = 0;     // x(s) = ((A s + B) s + C) s
    double HoeheA = 0, HoeheB = 0, HoeheC = 0;  // y(s) = ((A s + B) s + C) s
    double ZrotDelta = 0;                       // bank change to the next point, degrees in [-180, 180]

    // The scene node's name the point was imported from (UTF-8), empty for a typed point.
    // Kept for the session only: no file stores it.
    std::string Name;
};

class TSplinePunkte {
public:
    // Two points at the origin.
    TSplinePunkte();
    TSplinePunkte(const TSplinePunkte&) = delete;
    TSplinePunkte& operator=(const TSplinePunkte&) = delete;

    int AnzahlPunkte() const;
    // New zero point at the end.
    TSplinePkt* Anhaengen();
    // The list becomes copies of `punkte`.
    void Uebernehmen(const std::vector<TSplinePkt>& punkte);
    // New zero point at index i clamped to 0 .. count (count: at the end).
    TSplinePkt* Einfuegen(int i);
    // Out-of-range index: nothing happens.
    void PunktLoeschen(int i);
    // Null for an index outside 0 .. count-1.
    TSplinePkt* Punkt(int i);
    const TSplinePkt* Punkt(int i) const;

    // Most points a parameter file or an i3d scene may give the list (see
    // persistence/IniAbbildung and persistence/I3dSzene): a file may name more points
    // than it has sections, so the count alone decides the memory taken; this bound keeps
    // a damaged or hostile file from exhausting it.
    static constexpr int kMaxPunkte = 100000;

    // Validates the points and computes every connection's coefficients. Messages go
    // to `melder` and the build waits for each. False when a check stops the build;
    // values that are not finite, or results that overflow, stop it with a warning too.
    bool BerechneMittellinie(Melder& melder);
    // Evaluates connection i (0 <= i <= count-2) at fraction t of its chord into
    // `ziel`, in the chord frame (origin at point i, +Z along the chord, Y up).
    // Writes position and rotations; normal, U and V stay. Out-of-range i: nothing.
    void MittellinienPunkt(int i, TPunkt& ziel, double t) const;

private:
    std::vector<std::unique_ptr<TSplinePkt>> Punkte;
};

}  // namespace pavolant
