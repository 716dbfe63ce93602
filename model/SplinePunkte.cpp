#include "model/SplinePunkte.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string>

namespace pavolant {

namespace {

// Brings v into [unten, oben] (oben - unten == periode) with the same result as the
// loops "while v < unten: v += periode; while v > oben: v -= periode". Those loops never
// end for a value so large that adding the period no longer changes it (1e300 degrees,
// an infinity), so a value more than one period outside is first reduced with fmod:
// fmod is exact, and so are the loops' steps for every value they can finish on, which
// makes both routes agree. Non-finite values come back unchanged; the build refuses
// them before it gets here.
double InBereich(double v, double unten, double oben, double periode) {
    if (!std::isfinite(v)) return v;
    if (v < unten - periode || v > oben + periode) {
        v = std::fmod(v, periode);
        if (v == 0) v = 0.0;  // fmod keeps the sign of a zero; the loops end on +0
    }
    while (v < unten) v += periode;
    while (v > oben) v -= periode;
    return v;
}

bool Endlich(const TSplinePkt& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z) && std::isfinite(p.Xrot) &&
           std::isfinite(p.Yrot) && std::isfinite(p.Zrot);
}

// A message about the connection from point i to point i + 1 (1-based in the text):
// muster's %1 and %2 are the two points' numbers, %3 (if any) the value.
std::string ZurVerbindung(const char* muster, int i, std::string_view wert = {}) {
    return Einsetzen(muster, {std::to_string(i + 1), std::to_string(i + 2), wert});
}

}  // namespace

TSplinePunkte::TSplinePunkte() {
    Anhaengen();
    Anhaengen();
}

int TSplinePunkte::AnzahlPunkte() const { return static_cast<int>(Punkte.size()); }

TSplinePkt* TSplinePunkte::Anhaengen() {
    Punkte.push_back(std::make_unique<TSplinePkt>());
    return Punkte.back().get();
}

void TSplinePunkte::Uebernehmen(const std::vector<TSplinePkt>& punkte) {
    Punkte.clear();
    Punkte.reserve(punkte.size());
    for (const TSplinePkt& p : punkte) Punkte.push_back(std::make_unique<TSplinePkt>(p));
}

TSplinePkt* TSplinePunkte::Einfuegen(int i) {
    // The caller keeps its index in range; a stale value still must not address memory
    // outside the list.
    i = std::clamp(i, 0, AnzahlPunkte());
    auto it = Punkte.insert(Punkte.begin() + i, std::make_unique<TSplinePkt>());
    return it->get();
}

void TSplinePunkte::PunktLoeschen(int i) {
    if (i < 0 || i >= AnzahlPunkte()) return;
    Punkte.erase(Punkte.begin() + i);
}

TSplinePkt* TSplinePunkte::Punkt(int i) {
    if (i < 0 || i >= AnzahlPunkte()) return nullptr;
    return Punkte[static_cast<std::size_t>(i)].get();
}

const TSplinePkt* TSplinePunkte::Punkt(int i) const {
    if (i < 0 || i >= AnzahlPunkte()) return nullptr;
    return Punkte[static_cast<std::size_t>(i)].get();
}

bool TSplinePunkte::BerechneMittellinie(Melder& melder) {
    if (AnzahlPunkte() < 2) {
        melder.Information(Tr("Es müssen mindestens zwei SplinePunkte vorhanden sein!"));
        return false;
    }
    // The lateral curve is a function of the distance along the chord, so the road may
    // leave or reach a point at most 89 degrees off the chord direction.
    const double grenzwinkel = GradZuRad(89.0);

    for (int i = 0; i <= AnzahlPunkte() - 2; ++i) {
        TSplinePkt& p = *Punkte[static_cast<std::size_t>(i)];
        TSplinePkt& q = *Punkte[static_cast<std::size_t>(i) + 1];
        const auto zahlenbereich = [i] {
            // Catalog: %1 and %2 are the numbers of the two spline points.
            return ZurVerbindung(Tr("SplinePunkte %1 - %2: Werte ausserhalb des gültigen Zahlenbereichs!"),
                                 i);
        };

        // NaN would slip through every comparison below and infinities would make the
        // angle normalisation meaningless; neither may reach the coefficients.
        if (!Endlich(p) || !Endlich(q)) {
            melder.Warnung(zahlenbereich());
            return false;
        }
        const double dX = q.X - p.X, dY = q.Y - p.Y, dZ = q.Z - p.Z;
        const double L = std::sqrt(dX * dX + dZ * dZ);
        if (!std::isfinite(dY) || !std::isfinite(L)) {
            melder.Warnung(zahlenbereich());
            return false;
        }
        p.Abstand = L;
        if (L < 1.0) {
            // Catalog: %1 and %2 are the numbers of the two spline points, %3 their
            // distance on the plan (m).
            const char* muster = Tr("SplinePunkte %1 und %2 nur %3 auseinander!");
            const std::string zuNah = ZurVerbindung(muster, i, FormatAllgemein(L));
            if (L < 0.1) {
                melder.MeldenZuPunkt(MeldungsArt::Warnung, zuNah, {Punkthinweis::Grund::Abstand, i + 1});
                return false;
            }
            melder.Warnung(zuNah);
        }

        // Chord heading in the sense of DreheY: DreheY(h) turns +Z onto (dX, 0, dZ).
        // h lies in [-pi/2, 3pi/2).
        double h;
        if (dZ == 0 && dX > 0)
            h = -kPi / 2;
        else if (dZ == 0 && dX < 0)
            h = kPi / 2;
        else {
            h = -std::atan(dX / dZ);
            if (dZ < 0) h += kPi;
        }
        p.Richtung = h;

        // The level's Yrot turns opposite to DreheY (Yrot 90 faces +X), hence + h.
        p.Yrot = InBereich(p.Yrot, -90, 270, 360);
        q.Yrot = InBereich(q.Yrot, -90, 270, 360);

        const double alpha = InBereich(GradZuRad(p.Yrot) + h, -kPi / 2, 3 * kPi / 2, 2 * kPi);
        if (std::fabs(alpha) > grenzwinkel) {
            melder.MeldenZuPunkt(MeldungsArt::Warnung,
                                 // Catalog: %1 and %2 are the numbers of the two spline
                                 // points, %3 the angle (degrees) between the road's
                                 // heading at the first and the straight line to the second.
                                 ZurVerbindung(Tr("SplinePunkte %1 - %2: Winkel am Anfang der "
                                                  "Verbindungslinie zu gross %3"),
                                               i, FormatAllgemein(RadZuGrad(alpha))),
                                 {Punkthinweis::Grund::Winkel, i});
            return false;
        }
        const double tanA = std::tan(alpha);
        p.WinkelAnfang = alpha;
        p.QuerC = tanA;

        const double beta = InBereich(GradZuRad(q.Yrot) + h, -kPi / 2, 3 * kPi / 2, 2 * kPi);
        if (std::fabs(beta) > grenzwinkel) {
            melder.MeldenZuPunkt(MeldungsArt::Warnung,
                                 // Catalog: %1 and %2 are the numbers of the two spline
                                 // points, %3 the angle (degrees) between the straight line
                                 // from the first and the road's heading at the second.
                                 ZurVerbindung(Tr("SplinePunkte %1 - %2: Winkel am Ende der "
                                                  "Verbindungslinie zu gross %3"),
                                               i, FormatAllgemein(RadZuGrad(beta))),
                                 {Punkthinweis::Grund::Winkel, i + 1});
            return false;
        }
        const double tanB = std::tan(beta);
        p.WinkelEnde = beta;
        // Cubic through (0,0) and (L,0) with slopes tan(alpha) and tan(beta).
        p.QuerA = (tanA + tanB) / (L * L);
        p.QuerB = -(2 * tanA + tanB) / L;

        p.Xrot = InBereich(p.Xrot, -90, 270, 360);
        q.Xrot = InBereich(q.Xrot, -90, 270, 360);
        // Height slopes along the chord; a positive Xrot means the road falls. Dividing
        // by cos(alpha) turns the slope along the heading into one along the chord.
        const double g0 = std::tan(GradZuRad(-p.Xrot)) / std::cos(alpha);
        const double g1 = std::tan(GradZuRad(-q.Xrot)) / std::cos(beta);
        const double hoeheA = ((g0 + g1) * L - 2 * dY) / (L * L * L);
        const double hoeheB = (3 * dY - (2 * g0 + g1) * L) / (L * L);
        const double zrotDelta = InBereich(q.Zrot - p.Zrot, -180, 180, 360);
        // Finite inputs can still overflow here (points 1e200 m apart, banks near the
        // double range); a coefficient that is not finite would poison the whole mesh.
        if (!std::isfinite(g0) || !std::isfinite(hoeheA) || !std::isfinite(hoeheB) ||
            !std::isfinite(zrotDelta)) {
            melder.Warnung(zahlenbereich());
            return false;
        }
        p.HoeheC = g0;
        p.HoeheA = hoeheA;
        p.HoeheB = hoeheB;
        p.ZrotDelta = zrotDelta;
    }
    return true;
}

void TSplinePunkte::MittellinienPunkt(int i, TPunkt& ziel, double t) const {
    if (i < 0 || i > AnzahlPunkte() - 2) return;
    const TSplinePkt& p = *Punkte[static_cast<std::size_t>(i)];
    const double s = t * p.Abstand;
    ziel.Z = s;
    ziel.X = ((p.QuerA * s + p.QuerB) * s + p.QuerC) * s;
    ziel.Yrot = -std::atan((3 * p.QuerA * s + 2 * p.QuerB) * s + p.QuerC);
    ziel.Y = ((p.HoeheA * s + p.HoeheB) * s + p.HoeheC) * s;
    // y' is the slope along the chord; cos(Yrot) scales its angle towards the road's own
    // direction where the road runs off the chord.
    ziel.Xrot = std::cos(ziel.Yrot) * std::atan((3 * p.HoeheA * s + 2 * p.HoeheB) * s + p.HoeheC);
    ziel.Zrot = GradZuRad(p.ZrotDelta * t + p.Zrot);
}

}  // namespace pavolant
