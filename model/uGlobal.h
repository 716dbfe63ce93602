// Points, point collections and the free routines of the road model.
//
// Units and axes: lengths in metres, Y up; all angles in TPunkt are radians. In the
// local frame of a centre-line point +Z is the direction of travel and +X the lateral
// axis (left border on +X, right border on -X). The sense of rotation of DreheX,
// DreheY and DreheZ is the system's: every part that turns a point uses them.
#pragma once

#include "model/Meldung.h"
#include "model/Zahlen.h"
#include "model/Zeichenflaeche.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

class IniDatei;

class TPunkt {
public:
    // Free tag for the point's user: 0 at creation, copied by Kopieren, untouched by
    // Nullsetzen and all geometric operations.
    std::int32_t Nummer = 0;
    double X = 0, Y = 0, Z = 0;        // position, metres
    double NX = 0, NY = 1, NZ = 0;     // normal; unit length only when set from angles
    double U = 0, V = 0;               // texture coordinates (t0 of a vertex)
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
bool TextZwischen(std::string_view text, std::string_view start, std::string_view ende,
                  std::string& aus);

// One point of a border profile and the segment that leads to it. Profile coordinates:
// X outwards from the roadway edge, Y up, metres; angles in radians from +X towards +Y.
struct TRandSegment {
    double DX = 0, DY = 0;    // the segment vector: Breite * (cos Winkel, sin Winkel)
    double X = 0, Y = 0;      // end point: sums of DX and DY up to this segment
    double Breite = 0;        // segment length, metres
    double Winkel = 0;        // 0 is level outwards, positive rises
    double NX = 0, NY = 1;    // normal of the end point
    double NormalenWinkel = 1.5707963267948966;  // direction of the normal, in [-pi/2, 3pi/2]
    bool NormaleMan = false;  // the normal is set by hand, not derived from the segments
    double U = 0;             // texture coordinate U at the end point
};

// A border's cross-section: a chain of segments from the roadway edge outwards.
// Segment 0 is the start point at the roadway edge and is never removed; its U is the
// start U of the border texture. The profile is the same for both sides; RandPunkt and
// Zeichnen mirror it for the right border.
class TRandPunkte {
public:
    // Two segments in the new-segment state, AktSegment 1, inactive. Plausibility
    // warnings go to `melder`, which must outlive the profile.
    TRandPunkte(std::string bezeichnung, Melder& melder);

    int AnzahlSegmente() const;
    // Null for an index outside 0 .. count-1.
    TRandSegment* Segment(int i);
    const TRandSegment* Segment(int i) const;
    // Appends a new segment and returns its index.
    int NeuesSegment();
    // Inserts a copy of segment AktSegment at AktSegment (nothing when it is out of range).
    void SegmentVerdoppeln();
    // Overwrites record i with a copy of `segment`; out of range: nothing.
    void SegmentSetzen(const TRandSegment& segment, int i);
    // Removes record i (0 < i < count), then Berechnen.
    void SegmentLoeschen(int i);
    // Recomputes DX, DY and the normal of segment i (0 < i < count).
    void SegmentAktualisieren(int i);
    // Positions, automatic normals, bounding box and plausibility warnings; nothing at
    // all while the profile is inactive.
    void Berechnen();
    // U of segments 1 .. n from the lengths and TexturBreite.
    void BerechneU();
    // Appends the listing lines to `memo`.
    void Auflisten(std::vector<std::string>& memo) const;
    // The 3-D border point of segment i around the centre point c (whose lateral axis
    // the profile follows); the normal also follows c's pitch. t.V stays untouched.
    void RandPunkt(const TPunkt& c, TPunkt& t, int i) const;
    // The same with c's rotations evaluated once for the whole cross-section; `d` must
    // be Drehwinkel(c). Gives the very same point.
    void RandPunkt(const TPunkt& c, const Drehwinkel& d, TPunkt& t, int i) const;
    // Enable state, texture settings and all segments from `andere`, then Berechnen.
    // Rechts, Bezeichnung and AktSegment stay.
    void Uebernehmen(const TRandPunkte& andere);
    // Sections <name>_Geo and <name>_Textur. A value that is no number throws
    // KonvertierungsFehler at its key; a segment count beyond kMaxSegmente throws
    // IniFehler before anything changes.
    void IniLesen(const IniDatei& ini, std::string_view name);
    void IniSchreiben(IniDatei& ini, std::string_view name) const;
    // Draws the profile with its normals; the view box is in metres, ox and oy shift
    // the profile (half the roadway width to each side).
    void Zeichnen(std::uint32_t farbe, Zeichenflaeche& bild, double ox, double oy, double xmin, double xmax,
                  double ymin, double ymax) const;

    static constexpr int kMaxSegmente = 10000;

    bool Aktiv = false;
    std::string TexturDatei;
    double TexturLaenge = 0;  // metres along the road per texture repeat
    double TexturBreite = 0;  // metres of profile per unit of U
    bool Ruecksetzen = false;
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;  // bounding box, always containing (0, 0)
    bool Rechts = false;
    std::string Bezeichnung;
    int AktSegment = 1;
    int Pixel = 0;

private:
    void Warnung(const std::string& text) const { melder_->Warnung(text); }

    std::vector<TRandSegment> Segmente;
    Melder* melder_;
};

}  // namespace pavolant
