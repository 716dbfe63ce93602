// Where the spline points lie and which way they face: headings and grades worked out
// from the positions alone, duplicate positions found and dropped, and the road
// continued beyond its last point.
//
// Angles follow TSplinePkt: degrees, Yrot the heading (Yrot 90 faces +X, Yrot 0 faces
// +Z), Xrot the grade with a positive value meaning the road falls. The centre line reads
// them that way (see SplinePunkte.h), so a point oriented here is left and reached along
// the smooth curve through its neighbours.
//
// Tangent rule. An inner point takes the tangent of the circle through it and its two
// neighbours, m = d1 * a/|a| + d0 * b/|b| for the chords a = P1 - P0 and b = P2 - P1 of
// lengths d0 and d1; this is also the tangent of the chord-length (Bessel, Overhauser)
// Catmull-Rom curve at that point. It is exact on circles, straight lines and constant
// grades for any spacing, which matters for imported marker scenes: their spacing
// changes from point to point, and the centripetal knot spacing, tried first, was 1
// degree off on a 150 m circle sampled at 10 and 20 m alternately (5 degrees at 50/100).
// The rule needs nothing beyond the neighbours, so one point oriented on its own gets
// the same angles as in the whole list. On a clothoid (curvature changing by 1/A^2 per
// metre) it is off by about h^2 / (6 A^2) radians at spacing h.
//
// The first and last point have one neighbour: they take that neighbour's tangent
// mirrored across the chord between them, the end tangent of the circular arc that meets
// the neighbour's tangent (a parabola in elevation). It is exact where the inner rule
// is, about twice as far off on a clothoid, and it leaves the end connection as far off
// its chord at one end as at the other, so the centre line's 89 degree limit holds there
// whenever it holds at the neighbour. With only two distinct places both take the chord.
//
// Same place means the same plan position: the centre line is built over the horizontal
// chord, so a point straight above its predecessor (marker scenes have them) stops a run
// as surely as a copy of it ("nur 0 auseinander") and gives no heading. Neighbours at
// the same place carry no direction: the rule looks past them to the nearest point
// elsewhere.
#pragma once

#include "model/SplinePunkte.h"

#include <optional>

namespace pavolant {

// Two points whose plan positions (X, Z) are closer than this, in metres, lie at the
// same place.
inline constexpr double kGleicheStelle = 0.001;

// Heading and grade of a point, degrees, in the ranges the centre line normalises them
// to: Yrot in [-90, 270), Xrot in [-90, 90].
struct Ausrichtung {
    double Xrot = 0;
    double Yrot = 0;
};

// The angles of a point whose road runs along the direction (dX, dY, dZ); nullopt when
// the direction has no horizontal part (or is not finite), where no heading exists.
std::optional<Ausrichtung> AusrichtungEntlang(double dX, double dY, double dZ);

// Heading and grade of point i from the positions around it (see above); nullopt for an
// index outside the list, a list without a second place, a position that is not finite,
// or a vertical tangent. Looks at the whole list once (for a single point; the whole
// list takes PunkteAusrichten).
std::optional<Ausrichtung> TangentenAusrichtung(const TSplinePunkte& punkte, int i);

// Sets Yrot and Xrot of every point (nur < 0) or of point `nur` alone from
// TangentenAusrichtung; Zrot and the positions stay. Points it cannot orient keep their
// angles. Returns how many points it could not orient. Linear in the number of points,
// also for long runs at one place (copies, or points scattered within it); only a point
// that the bounding box of the points around it cannot decide searches a tree of boxes.
int PunkteAusrichten(TSplinePunkte& punkte, int nur = -1);

// Points at the same place as the last point before them that GleicheStellenEntfernen
// keeps: the points it drops.
int AnzahlAnGleicherStelle(const TSplinePunkte& punkte);
// Drops every point at the same place as the last point kept before it, so that each
// run of such points keeps its first and no two neighbours of the result lie at the same
// place. `aktuell` (a point's index, the editor's current point) then designates the
// last kept point up to that one; with nothing dropped it stays as it was. Returns how
// many points were dropped. Linear in the number of points.
int GleicheStellenEntfernen(TSplinePunkte& punkte, int& aktuell);

// Appends a point `strecke` metres (along the slope) beyond the last point, along its
// heading and grade, with the last point's three rotations. False, and nothing appended,
// for an empty list or a result that is not finite.
bool Verlaengern(TSplinePunkte& punkte, double strecke);

}  // namespace pavolant
