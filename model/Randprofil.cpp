#include "model/Randprofil.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

namespace pavolant {

namespace {

// Into [-pi/2, 3pi/2]: above the range first, then below, as the profile's angles have
// always been normalised. A value more than a period outside is first reduced with
// fmod, which is exact, so huge angles cannot make the loops run for ever.
double NormalenBereich(double w) {
    if (!std::isfinite(w)) return w;
    if (w > 3.5 * kPi || w < -2.5 * kPi) w = std::fmod(w, 2 * kPi);
    while (w > 1.5 * kPi) w -= 2 * kPi;
    while (w < -0.5 * kPi) w += 2 * kPi;
    return w;
}

std::string Index(int i) { return std::to_string(i); }

}  // namespace

TRandPunkte::TRandPunkte(std::string bezeichnung, Melder& melder)
    : Bezeichnung(std::move(bezeichnung)), Segmente(2), melder_(&melder) {}

int TRandPunkte::AnzahlSegmente() const { return static_cast<int>(Segmente.size()); }

TRandSegment* TRandPunkte::Segment(int i) {
    if (i < 0 || i >= AnzahlSegmente()) return nullptr;
    return &Segmente[static_cast<std::size_t>(i)];
}

const TRandSegment* TRandPunkte::Segment(int i) const {
    if (i < 0 || i >= AnzahlSegmente()) return nullptr;
    return &Segmente[static_cast<std::size_t>(i)];
}

int TRandPunkte::NeuesSegment() {
    Segmente.emplace_back();
    return AnzahlSegmente() - 1;
}

void TRandPunkte::SegmentVerdoppeln() {
    if (AktSegment < 0 || AktSegment >= AnzahlSegmente()) return;
    const TRandSegment kopie = Segmente[static_cast<std::size_t>(AktSegment)];
    Segmente.insert(Segmente.begin() + AktSegment, kopie);
}

void TRandPunkte::SegmentSetzen(const TRandSegment& segment, int i) {
    if (TRandSegment* s = Segment(i)) *s = segment;
}

void TRandPunkte::SegmentLoeschen(int i) {
    if (i <= 0 || i >= AnzahlSegmente()) return;
    Segmente.erase(Segmente.begin() + i);
    Berechnen();
}

void TRandPunkte::SegmenteKuerzen(int anzahl) {
    if (anzahl >= 1 && anzahl < AnzahlSegmente()) Segmente.resize(static_cast<std::size_t>(anzahl));
}

void TRandPunkte::SegmentAktualisieren(int i) {
    if (i <= 0 || i >= AnzahlSegmente()) return;
    TRandSegment& s = Segmente[static_cast<std::size_t>(i)];
    s.DX = std::cos(s.Winkel) * s.Breite;
    s.DY = std::sin(s.Winkel) * s.Breite;
    // Perpendicular to the segment, pointing up for a level one.
    if (!s.NormaleMan) s.NormalenWinkel = s.Winkel + kPi / 2;
    s.NormalenWinkel = NormalenBereich(s.NormalenWinkel);
    s.NX = std::cos(s.NormalenWinkel);
    s.NY = std::sin(s.NormalenWinkel);
}

void TRandPunkte::Berechnen() {
    if (!Aktiv) return;
    MinX = MaxX = MinY = MaxY = 0;
    const int n = AnzahlSegmente();
    if (n < 2) return;

    TRandSegment& start = Segmente[0];
    start.X = start.Y = start.Breite = 0;
    if (!start.NormaleMan) {
        start.Winkel = Segmente[1].Winkel;
        start.NormalenWinkel = NormalenBereich(start.Winkel + kPi / 2);
        start.NX = std::cos(start.NormalenWinkel);
        start.NY = std::sin(start.NormalenWinkel);
    }

    double x = 0, y = 0;
    for (int i = 1; i < n; ++i) {
        TRandSegment& s = Segmente[static_cast<std::size_t>(i)];
        const TRandSegment& r = Segmente[static_cast<std::size_t>(i) - 1];
        x += s.DX;
        y += s.DY;
        s.X = x;
        s.Y = y;
        if (x > MaxX) MaxX = x;
        if (x < MinX) MinX = x;
        if (y > MaxY) MaxY = y;
        if (y < MinY) MinY = y;
        if (s.NormaleMan) continue;
        if (i < n - 1) {
            // The bisector of the two segments meeting here, the short way round.
            double d = Segmente[static_cast<std::size_t>(i) + 1].Winkel - s.Winkel;
            if (std::isfinite(d)) {
                if (std::fabs(d) > 3 * kPi) d = std::fmod(d, 2 * kPi);
                while (d > kPi) d -= 2 * kPi;
                while (d < -kPi) d += 2 * kPi;
            }
            s.NormalenWinkel = s.Winkel + d / 2 + kPi / 2;
        } else {
            s.NormalenWinkel = s.Winkel + kPi / 2;
        }
        s.NormalenWinkel = NormalenBereich(s.NormalenWinkel);
        s.NX = std::cos(s.NormalenWinkel);
        s.NY = std::sin(s.NormalenWinkel);
        if (s.Breite < 0.001)
            // Catalog: %1 names the border, %2 is the point's number.
            Warnung(Einsetzen(Tr("%1: BorderPoint%2: Length is smaller than 1mm! Are you sure?"),
                              {Bezeichnung, Index(i)}));
        if (std::fabs(s.U - r.U) < 0.000001)
            // Catalog: %1 names the border, %2 is the point's number.
            Warnung(Einsetzen(
                Tr("%1: BorderPoint%2: Difference in texture coordinates to previous point is smaller "
                   "than 0.000001 !  Are you sure?    "),
                {Bezeichnung, Index(i)}));
    }
}

void TRandPunkte::BerechneU() {
    if (TexturBreite <= 0) {
        Warnung(Tr("Texturewidth is zero!"));
        return;
    }
    if (AnzahlSegmente() < 2) return;
    double u = Segmente[0].U;
    for (std::size_t i = 1; i < Segmente.size(); ++i) {
        u += Segmente[i].Breite / TexturBreite;
        Segmente[i].U = u;
    }
}

void TRandPunkte::Auflisten(std::vector<std::string>& memo) const {
    if (AnzahlSegmente() < 2) return;
    auto grad = [](double rad) { return FormatAllgemein(RundeAufStellen(RadZuGrad(rad), 100)); };
    auto milli = [](double wert) { return FormatAllgemein(RundeAufStellen(wert, 1000)); };
    // Catalog: %1 names the border.
    memo.push_back(Einsetzen(Tr("BorderPoint output for: %1"), {Bezeichnung}));
    // A line per profile point, with its normal set by hand or computed from the
    // neighbouring segments: one whole text each.
    const char* mitNormaleMan =
        // Catalog: %1 point number, %2 segment length (m), %3 segment angle (degrees),
        // %4 and %5 the segment's extent across and up (m), %6 and %7 the point's
        // position across and up (m), %8 the angle (degrees) of the normal (the
        // direction the surface faces), set by hand ("man"), %9 the texture coordinate U.
        Tr("Point %1:Length:%2; Angle =%3; x=%4; y=%5; x0=%6; y0=%7; Normale man Angle =%8; U=%9");
    const char* mitNormaleAuto =
        // Catalog: %1 point number, %2 segment length (m), %3 segment angle (degrees),
        // %4 and %5 the segment's extent across and up (m), %6 and %7 the point's
        // position across and up (m), %8 the angle (degrees) of the normal (the
        // direction the surface faces), computed from the neighbouring segments
        // ("auto"), %9 the texture coordinate U.
        Tr("Point %1:Length:%2; Angle =%3; x=%4; y=%5; x0=%6; y0=%7; Normale auto Angle =%8; U=%9");
    for (int i = 0; i < AnzahlSegmente(); ++i) {
        const TRandSegment& s = Segmente[static_cast<std::size_t>(i)];
        memo.push_back(Einsetzen(s.NormaleMan ? mitNormaleMan : mitNormaleAuto,
                                 {Index(i), FormatAllgemein(s.Breite), grad(s.Winkel), milli(s.DX),
                                  milli(s.DY), milli(s.X), milli(s.Y), grad(s.NormalenWinkel), milli(s.U)}));
    }
}

void TRandPunkte::RandPunkt(const TPunkt& c, TPunkt& t, int i) const { RandPunkt(c, Drehwinkel(c), t, i); }

void TRandPunkte::RandPunkt(const TPunkt& c, const Drehwinkel& d, TPunkt& t, int i) const {
    const TRandSegment* seg = Segment(i);
    if (!seg) return;
    const double m = Rechts ? -1.0 : 1.0;
    t.Nullsetzen();
    t.X = m * seg->X;
    t.Y = seg->Y;
    // The normal, not the position, follows the centre point's pitch.
    t.NX = m * seg->NX;
    t.NY = d.CX * seg->NY;
    t.NZ = -d.SX * seg->NY;
    t.DreheZ(c.Zrot, d.CZ, d.SZ);
    t.DreheY(c.Yrot, d.CY, d.SY);
    t.X += c.X;
    t.Y += c.Y;
    t.Z += c.Z;
    t.U = seg->U;
}

void TRandPunkte::Uebernehmen(const TRandPunkte& andere) {
    if (&andere == this) return;
    Aktiv = andere.Aktiv;
    TexturDatei = andere.TexturDatei;
    TexturLaenge = andere.TexturLaenge;
    TexturBreite = andere.TexturBreite;
    Ruecksetzen = andere.Ruecksetzen;
    Pixel = andere.Pixel;
    Segmente = andere.Segmente;
    Berechnen();
}

void TRandPunkte::Zeichnen(std::uint32_t farbe, Zeichenflaeche& bild, double ox, double oy, double xmin,
                           double xmax, double ymin, double ymax) const {
    if (!Aktiv) return;
    const int breite = bild.Breite(), hoehe = bild.Hoehe();
    // An empty image or an empty view box has no pixel to map a point to.
    if (breite <= 0 || hoehe <= 0 || !(xmax > xmin) || !(ymax > ymin)) return;
    const double m = Rechts ? 1.0 : -1.0;  // looking along the road: the right border on the right
    bool vorigerSichtbar = false;
    for (const TRandSegment& s : Segmente) {
        const double fx = (m * s.X + ox - xmin) / (xmax - xmin) * breite;
        const double fy = (1 - (s.Y + oy - ymin) / (ymax - ymin)) * hoehe;
        const int px = RundeGeradeInt(fx), py = RundeGeradeInt(fy);
        if (!std::isfinite(fx) || !std::isfinite(fy) || px < 0 || px > breite || py < 0 || py > hoehe) {
            vorigerSichtbar = false;  // lift the pen: the next visible point starts a new line
            continue;
        }
        bild.Stift(farbe, 3);
        if (vorigerSichtbar)
            bild.LinieZu(px, py);
        else
            bild.BewegeZu(px, py);
        vorigerSichtbar = true;
        bild.Stift(0x0000FF, 1);  // red
        bild.LinieZu(px + static_cast<int>(m) * RundeGeradeInt(15 * std::cos(s.NormalenWinkel)),
                     py - RundeGeradeInt(15 * std::sin(s.NormalenWinkel)));
        bild.BewegeZu(px, py);
    }
}

}  // namespace pavolant
