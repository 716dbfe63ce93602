// The front-face fill: closes the two open ends of the road body with the road's
// cross-section, cut into triangles.
//
// Contract of Fuellen (greedy ear clipping):
//  - Input: the outline in Punkte, in order, closed implicitly (the last point joins the
//    first). Only X and Z take part in the triangulation; Y is ignored. Units: metres.
//  - Expected winding: counter-clockwise in the X-Z plane seen with X to the right and
//    Z up (what the generation run builds when the borders fall away below the
//    roadway). There every pass clips the sharpest convex corner. A convex outline is
//    triangulated exactly in either winding; a clockwise outline that is not convex
//    clips its reflex corners first. No test is made whether another outline point
//    lies inside a clipped triangle, so a strongly concave outline may give overlapping
//    triangles; the sum of the triangles' signed areas always equals the outline's.
//  - Collinear points (straight corners) have the key 0: clipped after every convex
//    corner and before any reflex one, as zero-area triangles. Repeated points are
//    kept: a point equal to its successor is a straight corner. A corner whose
//    neighbours coincide (a needle, a slit, or three equal points) is clipped first
//    (see OhrSchluessel).
//  - Output: exactly n - 2 triangles for n >= 3 outline points, every position of
//    Punkte used at least once, each index = position + basis. Fewer than three points
//    append nothing and return 0. Degenerate outlines (all points equal, all collinear)
//    still give n - 2 (zero-area) triangles; no key or texture coordinate is ever NaN
//    or infinite because of them.
//  - Side effect: U and V of every point of Punkte, a planar projection on the X-Z plane
//    with the origin at the centroid (see Fuellen). Positions are not changed.
#pragma once

#include "model/Meldung.h"
#include "model/Netz.h"
#include "model/Punkte.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pavolant {

// One ear candidate: a corner of the working outline and its key.
struct TFFrec {
    std::int32_t Index;  // position of the corner in the current working outline
    double Wert;         // ear key; the largest is clipped
};

class TFuellFlaeche {
public:
    // Bound of every ear key. It keeps the keys finite and far above any corner that is
    // not a near-needle (a key is (|a| + |b|) / |chord|, about 2 / angle in radians for
    // a sharp corner, so 1e9 stands for an angle of 2e-9 rad).
    static constexpr double kSchluesselGrenze = 1e9;

    // Ear key of a corner with entering edge a, leaving edge b and chord (next corner
    // minus previous), all read in the X-Z plane: -sign(KreuzproduktY(a, b)) *
    // (|a| + |b|) / |chord|. On a counter-clockwise outline a convex corner gets a key
    // >= 1 that grows as the corner gets sharper, a straight corner 0 and a reflex
    // corner a negative key. Always finite: clamped to +-kSchluesselGrenze; a zero
    // chord gives +kSchluesselGrenze and an undefined quotient (coordinates that are not
    // finite or whose squares overflow) 0.
    static double OhrSchluessel(const TPunkt& a, const TPunkt& b, const TPunkt& sehne);

    // Ordering of the candidate sort: (x.Wert - y.Wert) * 100 truncated towards zero, so
    // keys closer than 0.01 count as equal. Negative: x first. The product is clamped to
    // the int range before the conversion, and a NaN difference compares equal, so the
    // result is defined for every pair of doubles.
    static int VergleicheWert(const TFFrec& x, const TFFrec& y);

    // Sorts `liste` ascending with VergleicheWert by the fixed quicksort whose pivot
    // choice decides which of several equal candidates ends last (the ear chosen).
    static void Sortieren(std::vector<TFFrec>& liste);
    // The Index of the record that Sortieren would put last, found without sorting the
    // rest; `liste` is left in an order of its own. Throws std::invalid_argument when empty.
    static int Letzter(std::vector<TFFrec>& liste);

    // Empties the outline, from the last point to the first. Texture settings stay.
    void Leeren();

    // Triangulates Punkte and appends one triangle per clipped ear to `dreiecke`.
    // umlauf true: each triangle as (ear, previous, next), the last one as
    // (W0, W2, W1); false: (ear, next, previous) and (W0, W1, W2). Returns the number of
    // triangles appended: AnzahlPunkte - 2, or 0 when there are fewer than three points.
    //
    // Texture coordinates, set for every point even when fewer than three: with d the
    // centroid minus the point, U = d.X / TexturBreite and V = d.Z / TexturHoehe (with
    // TauschHB, U = d.Z / TexturBreite and V = d.X / TexturHoehe). One texture repeat per
    // TexturBreite / TexturHoehe metres. A size of 0 (or one that is not finite) leaves
    // that axis at 0 instead of dividing by it.
    //
    // Throws std::out_of_range before changing anything when basis is negative or the
    // last index (basis + AnzahlPunkte - 1) exceeds the 32-bit range. The triangles are
    // appended all or nothing. `melder` receives the information "interner Fehler beim
    // Füllen" should the working lists ever lose step with each other; the fill goes on.
    int Fuellen(std::vector<NetzDreieck>& dreiecke, std::int32_t basis, bool umlauf, Melder& melder);

    TPunkteSammlung Punkte;     // the outline, in order
    double TexturHoehe = 5.0;   // metres of face per texture repeat in V
    double TexturBreite = 5.0;  // metres of face per texture repeat in U
    std::string Textur;         // file name of the face texture
    bool TauschHB = false;      // swap the mapping's axes
};

}  // namespace pavolant
