// The border profile: the cross-section of one border as a chain of segments from the
// roadway edge outwards, and how it is placed around a centre-line point.
//
// Units: metres and radians (the profile's own frame is described at TRandSegment).
#pragma once

#include "model/Meldung.h"
#include "model/Punkte.h"
#include "model/Zeichenflaeche.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pavolant {

// One point of a border profile and the segment that leads to it. Profile coordinates:
// X outwards from the roadway edge, Y up, metres; angles in radians from +X towards +Y.
struct TRandSegment {
    double DX = 0, DY = 0;                       // the segment vector: Breite * (cos Winkel, sin Winkel)
    double X = 0, Y = 0;                         // end point: sums of DX and DY up to this segment
    double Breite = 0;                           // segment length, metres
    double Winkel = 0;                           // 0 is level outwards, positive rises
    double NX = 0, NY = 1;                       // normal of the end point
    double NormalenWinkel = 1.5707963267948966;  // direction of the normal, in [-pi/2, 3pi/2]
    bool NormaleMan = false;                     // the normal is set by hand, not derived from the segments
    double U = 0;                                // texture coordinate U at the end point
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
    // Keeps the first `anzahl` records (the start point always stays) without
    // recomputing: for a caller that replaces the segments and recomputes once, so the
    // states in between neither cost a pass each nor warn.
    void SegmenteKuerzen(int anzahl);
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
    // Draws the profile with its normals; the view box is in metres, ox and oy shift
    // the profile (half the roadway width to each side).
    void Zeichnen(std::uint32_t farbe, Zeichenflaeche& bild, double ox, double oy, double xmin, double xmax,
                  double ymin, double ymax) const;

    // Most segments a parameter file may give a profile (persistence/IniAbbildung).
    static constexpr int kMaxSegmente = 10000;

    bool Aktiv = false;
    std::string TexturDatei;
    double TexturLaenge = 0;  // metres along the road per texture repeat
    double TexturBreite = 0;  // metres of profile per unit of U
    bool Ruecksetzen = false;
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;  // bounding box, always containing (0, 0)
    bool Rechts = false;
    std::string Bezeichnung;
    // Where the warnings go from now on (a copy keeps the original's until then).
    void MelderSetzen(Melder& melder) { melder_ = &melder; }
    int AktSegment = 1;
    int Pixel = 0;

private:
    void Warnung(const std::string& text) const { melder_->Warnung(text); }

    std::vector<TRandSegment> Segmente;
    Melder* melder_;
};

}  // namespace pavolant
