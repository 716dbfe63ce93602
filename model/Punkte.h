// Points, point collections and the free vector routines of the road model.
//
// Units and axes: lengths in metres, Y up; all angles in TPunkt are radians. In the
// local frame of a centre-line point +Z is the direction of travel and +X the lateral
// axis (left border on +X, right border on -X). The sense of rotation of DreheX,
// DreheY and DreheZ is the system's: every part that turns a point uses them.
#pragma once

#include "model/Zahlen.h"

#include <cstdint>
#include <memory>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

// π, the one constant of the program's angles (degrees and radians both appear).
inline constexpr double kPi = std::numbers::pi;

class TPunkt {
public:
    // Free tag for the point's user: 0 at creation, copied by Kopieren, untouched by
    // Nullsetzen and all geometric operations.
    std::int32_t Nummer = 0;
    double X = 0, Y = 0, Z = 0;           // position, metres
    double NX = 0, NY = 1, NZ = 0;        // normal; unit length only when set from angles
    double U = 0, V = 0;                  // texture coordinates (t0 of a vertex)
    double Xrot = 0, Yrot = 0, Zrot = 0;  // accumulated rotations, radians

    // Position (0,0,0), normal (0,1,0), rotations 0; U, V and Nummer stay.
    void Nullsetzen();
    // Position, normal, U, V, rotations and Nummer from `quelle`.
    void Kopieren(const TPunkt& quelle);
    // ziel.X/Y/Z/Xrot/Yrot/Zrot := this - other; ziel's normal, U, V untouched.
    void Differenz(const TPunkt& anderer, TPunkt& ziel) const;
    double Betrag() const;
    double BetragXZ() const;  // length projected on the horizontal plane
    // Normal from the three rotations: bank, then pitch (opposite sense to DreheX),
    // then heading (DreheY).
    void NormaleAusWinkeln();
    // Turn position and normal about the axis through the origin, then add `a` to the
    // matching rotation. DreheY with a > 0 carries +Z towards -X.
    void DreheX(double a);
    void DreheY(double a);
    void DreheZ(double a);
    // The same with the angle's cosine `c` and sine `s` already at hand (they must be
    // cos(a) and sin(a)): for many points turned alike.
    void DreheY(double a, double c, double s);
    void DreheZ(double a, double c, double s);
};

// The cosines and sines of a centre point's three rotations, for placing every border
// point of one cross-section with one evaluation each.
struct Drehwinkel {
    explicit Drehwinkel(const TPunkt& c);
    double CX, SX, CY, SY, CZ, SZ;
};

// Ordered collection that owns its points. Indices are 0-based and dense.
class TPunkteSammlung {
public:
    TPunkteSammlung() = default;
    TPunkteSammlung(const TPunkteSammlung&) = delete;
    TPunkteSammlung& operator=(const TPunkteSammlung&) = delete;

    int AnzahlPunkte() const;
    // Appends a point in creation state; returns its index (the former count).
    int NeuerPunkt();
    // Borrowed pointer, valid until the point is deleted; null for an index outside
    // 0 .. count-1 (a negative index included).
    TPunkt* Punkt(int i);
    const TPunkt* Punkt(int i) const;
    // Out-of-range index: nothing happens.
    void PunktLoeschen(int i);
    // Schwerpunkt := mean position of all points (normal and rotations in Nullsetzen
    // state). An empty collection leaves it at the origin.
    void BerechneSchwerpunkt();

    TPunkt Schwerpunkt;

private:
    std::vector<std::unique_ptr<TPunkt>> Liste;
};

// Y component of the cross product a x b of the two positions: a.Z*b.X - a.X*b.Z.
double KreuzproduktY(const TPunkt& a, const TPunkt& b);
// Moves p by d metres along its own lateral axis: (1,0,0) turned by DreheZ(Zrot), then
// DreheY(Yrot). Xrot takes no part; normal, texture coordinates and rotations stay.
void VerschiebeInRichtung(TPunkt& p, double d);
// The text between the first occurrence of `start` and the next `ende` after it.
// False (and `aus` unchanged) when either marker is missing.
bool TextZwischen(std::string_view text, std::string_view start, std::string_view ende, std::string& aus);

}  // namespace pavolant
