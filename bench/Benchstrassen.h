// The roads the benchmarks build: control points on a meandering chain of arcs over
// hills, and the border profile of a kerb, a shoulder and a falling verge.
#pragma once

#include "generator/Strassenbau.h"
#include "model/FuellFlaeche.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "model/Strassenfelder.h"

#include <cmath>
#include <iterator>
#include <numbers>

namespace pavolant::bench {

constexpr double kPunktabstand = 250.0;  // arc length between control points, metres
constexpr double kRadien[] = {150, 225, 300, 375, 450, 525, 600};  // metres
constexpr double kMaxSteigung = 0.08;                              // grade as rise over run
constexpr double kSteigungsPeriode = 4000;                         // metres
constexpr double kMaxQuerneigung = 5;                              // bank, degrees
constexpr double kQuerneigungsPeriode = 1750;                      // metres

inline double Grad(double rad) { return rad * 180 / std::numbers::pi; }

// `abschnitte` + 1 control points on a chain of circular arcs, kPunktabstand apart.
// Connections come in pairs of equal radius, the first bending left (heading grows), the
// second right, so the road meanders without curling up; the radius cycles through
// kRadien from pair to pair. Each point's heading is the tangent of both arcs it joins,
// so every connection leaves and reaches its points tangentially. The heading theta
// points along (sin theta, 0, cos theta): Yrot 90 faces +X. Height follows a sinusoidal
// grade of up to 8 % over the horizontal arc length, so Y and the pitch agree; a positive
// pitch means the road falls.
inline void StrasseAnlegen(TSplinePunkte& punkte, int abschnitte) {
    while (punkte.AnzahlPunkte() > 0) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
    const double w = 2 * std::numbers::pi / kSteigungsPeriode;
    double x = 1000, z = -2000, theta = 20 * std::numbers::pi / 180;
    for (int k = 0; k <= abschnitte; ++k) {
        const double s = k * kPunktabstand;
        const double steigung = kMaxSteigung * std::sin(w * s);
        TSplinePkt& p = *punkte.Anhaengen();
        p.X = x;
        p.Z = z;
        p.Y = 120 + kMaxSteigung / w * (1 - std::cos(w * s));  // integral of the grade
        p.Xrot = -Grad(std::atan(steigung));
        p.Yrot = Grad(theta);
        p.Zrot = kMaxQuerneigung * std::sin(2 * std::numbers::pi * s / kQuerneigungsPeriode);
        if (k == abschnitte) break;

        // Arc of signed curvature kappa over kPunktabstand.
        const double radius = kRadien[(k / 2) % std::size(kRadien)];
        const double kappa = (k % 2 == 0 ? 1 : -1) / radius;
        const double thetaNeu = theta + kappa * kPunktabstand;
        x += (std::cos(theta) - std::cos(thetaNeu)) / kappa;
        z += (std::sin(thetaNeu) - std::sin(theta)) / kappa;
        theta = thetaNeu;
    }
}

// The road `par` with the model's points, border profiles and fill settings.
inline Strasse MitModell(Strasse par, const TSplinePunkte& punkte, const TRandPunkte& randR,
                         const TRandPunkte& randL, const TFuellFlaeche& fuellung) {
    par.Punkte = PunkteAus(punkte);
    par.ProfilR = randR;
    par.ProfilL = randL;
    par.Fuellung = {fuellung.TexturHoehe, fuellung.TexturBreite, fuellung.Textur, fuellung.TauschHB};
    return par;
}

// A kerb (0.15 m up), a shoulder (0.5 m, falling 2 degrees) and a verge (2 m, falling
// 30 degrees), U running with the width at one unit per metre; the border switched on
// in the model and in the run's parameters, with `texturLaenge` metres per repeat.
inline void Randprofil(TRandPunkte& rand, Randwerte& par, double texturLaenge) {
    rand.Aktiv = par.An = true;
    par.TexLaenge = texturLaenge;
    par.TexBreite = 1;
    const double breite[] = {0.15, 0.5, 2.0}, winkel[] = {90, -2, -30};
    double u = 0;
    for (int k = 1; k <= 3; ++k) {
        if (rand.AnzahlSegmente() <= k) rand.NeuesSegment();
        TRandSegment& seg = *rand.Segment(k);
        seg.Breite = breite[k - 1];
        seg.Winkel = winkel[k - 1] * std::numbers::pi / 180;
        seg.U = u += breite[k - 1];
        rand.SegmentAktualisieren(k);
    }
    rand.Berechnen();
}

// The 10 km benchmark road the preview's benchmarks share: `abschnitte` connections,
// both borders with `randTexturLaenge` metres per repeat, the end faces and all three
// traffic curves; the document's name is left to the caller.
struct ZehnKilometer {
    TSplinePunkte punkte;
    TRandPunkte randR, randL;
    TFuellFlaeche fuellung;
    Strasse par = StrasseAusFeldern(Startwerte(), {}, randR, randL, fuellung);

    ZehnKilometer(Melder& melder, double randTexturLaenge, int abschnitte = 40)
        : randR("right Border", melder), randL("left Border", melder) {
        randR.Rechts = true;
        fuellung.Textur = "front.dds";
        par.SchleppkurveAn = par.SturzAn = true;
        par.TrafficMitte = par.TrafficRechts = par.TrafficLinks = true;
        Randprofil(randR, par.RandR, randTexturLaenge);
        Randprofil(randL, par.RandL, randTexturLaenge);
        par.FuellenAn = true;
        StrasseAnlegen(punkte, abschnitte);
    }

    // The road as a value: the settings above with the points, profiles and fill.
    Strasse Wert() const { return MitModell(par, punkte, randR, randL, fuellung); }
};

}  // namespace pavolant::bench
