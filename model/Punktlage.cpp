#include "model/Punktlage.h"

#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pavolant {

namespace {

struct V3 {
    double x, y, z;
};

V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(double s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
double Punktprodukt(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Laenge(V3 a) { return std::sqrt(Punktprodukt(a, a)); }

V3 Lage(const TSplinePkt& p) { return {p.X, p.Y, p.Z}; }

bool Endlich(V3 a) { return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z); }

// Plan positions closer than kGleicheStelle; false when either is not finite.
bool GleicheStelle(const TSplinePkt& a, const TSplinePkt& b) {
    return std::hypot(a.X - b.X, a.Z - b.Z) < kGleicheStelle;
}

// The nearest point before (schritt -1) or after (+1) index i at another place than
// point i; -1 when there is none.
int Nachbar(const TSplinePunkte& punkte, int i, int schritt) {
    for (int j = i + schritt; j >= 0 && j < punkte.AnzahlPunkte(); j += schritt)
        if (!GleicheStelle(*punkte.Punkt(j), *punkte.Punkt(i))) return j;
    return -1;
}

// Tangent direction (not unit length) at P1 of the circle through the three points:
// d1 * a/|a| + d0 * b/|b| with the chords a = P1 - P0, b = P2 - P1 and their lengths d0,
// d1. Its component across the tangent vanishes because each chord is 2 R sin of the
// angle between it and the tangent; it is also the tangent of the chord-length
// Catmull-Rom curve (the parabola through the points, parameterised by chord length).
V3 KreisTangente(V3 p0, V3 p1, V3 p2) {
    const V3 a = p1 - p0, b = p2 - p1;
    const double d0 = Laenge(a), d1 = Laenge(b);
    return (d1 / d0) * a + (d0 / d1) * b;
}

// Unit tangent at an inner point i with its neighbours a and b at other places.
std::optional<V3> InnereTangente(const TSplinePunkte& punkte, int a, int i, int b) {
    const V3 m = KreisTangente(Lage(*punkte.Punkt(a)), Lage(*punkte.Punkt(i)), Lage(*punkte.Punkt(b)));
    const double l = Laenge(m);
    if (!std::isfinite(l) || l == 0) return std::nullopt;
    return (1 / l) * m;
}

// Unit tangent at point i, which has a neighbour only at index n (the other side is the
// end of the list): the neighbour's tangent mirrored across the chord, or the chord
// itself when the neighbour has no second neighbour of its own.
std::optional<V3> Endtangente(const TSplinePunkte& punkte, int i, int n) {
    const V3 hier = Lage(*punkte.Punkt(i));
    const V3 dort = Lage(*punkte.Punkt(n));
    // The chord in the direction of travel.
    V3 sehne = n > i ? dort - hier : hier - dort;
    const double l = Laenge(sehne);
    if (!std::isfinite(l) || l == 0) return std::nullopt;
    sehne = (1 / l) * sehne;
    // The neighbour's other side: away from point i.
    const int weiter = Nachbar(punkte, n, n > i ? 1 : -1);
    if (weiter < 0) return sehne;
    const std::optional<V3> t = n > i ? InnereTangente(punkte, i, n, weiter) : InnereTangente(punkte, weiter, n, i);
    if (!t) return sehne;
    return 2 * Punktprodukt(*t, sehne) * sehne - *t;
}

}  // namespace

std::optional<Ausrichtung> AusrichtungEntlang(double dX, double dY, double dZ) {
    const double waagrecht = std::hypot(dX, dZ);
    if (!std::isfinite(waagrecht) || !std::isfinite(dY) || waagrecht == 0) return std::nullopt;
    Ausrichtung a;
    // Yrot 0 faces +Z and Yrot 90 faces +X; the centre line brings headings into
    // [-90, 270], so the value is given in that range to begin with.
    a.Yrot = RadZuGrad(std::atan2(dX, dZ));
    if (a.Yrot < -90) a.Yrot += 360;
    // A rising road has a negative Xrot.
    a.Xrot = -RadZuGrad(std::atan2(dY, waagrecht));
    return a;
}

std::optional<Ausrichtung> TangentenAusrichtung(const TSplinePunkte& punkte, int i) {
    const TSplinePkt* p = punkte.Punkt(i);
    if (!p || !Endlich(Lage(*p))) return std::nullopt;
    const int a = Nachbar(punkte, i, -1);
    const int b = Nachbar(punkte, i, 1);
    std::optional<V3> t;
    if (a >= 0 && b >= 0)
        t = InnereTangente(punkte, a, i, b);
    else if (a >= 0 || b >= 0)
        t = Endtangente(punkte, i, a >= 0 ? a : b);
    if (!t || !Endlich(*t)) return std::nullopt;
    return AusrichtungEntlang(t->x, t->y, t->z);
}

int PunkteAusrichten(TSplinePunkte& punkte, int nur) {
    const int n = punkte.AnzahlPunkte();
    if (nur >= n) return 1;
    const int von = nur < 0 ? 0 : nur;
    const int bis = nur < 0 ? n - 1 : nur;
    // Every angle from the positions alone, before any point changes (positions do not
    // change here, but the rule must never see a half-oriented list).
    std::vector<std::optional<Ausrichtung>> neu;
    for (int i = von; i <= bis; ++i) neu.push_back(TangentenAusrichtung(punkte, i));
    int ohne = 0;
    for (int i = von; i <= bis; ++i) {
        const std::optional<Ausrichtung>& a = neu[static_cast<std::size_t>(i - von)];
        if (!a) {
            ++ohne;
            continue;
        }
        TSplinePkt& p = *punkte.Punkt(i);
        p.Xrot = a->Xrot;
        p.Yrot = a->Yrot;
    }
    return ohne;
}

int AnzahlAnGleicherStelle(const TSplinePunkte& punkte) {
    int anzahl = 0;
    for (int i = 1; i < punkte.AnzahlPunkte(); ++i)
        if (GleicheStelle(*punkte.Punkt(i), *punkte.Punkt(i - 1))) ++anzahl;
    return anzahl;
}

int GleicheStellenEntfernen(TSplinePunkte& punkte) {
    // Which points go, judged on the list as it is: each against its own predecessor.
    const int n = punkte.AnzahlPunkte();
    std::vector<bool> weg(static_cast<std::size_t>(n), false);
    for (int i = 1; i < n; ++i)
        weg[static_cast<std::size_t>(i)] = GleicheStelle(*punkte.Punkt(i), *punkte.Punkt(i - 1));
    // The current point becomes the first of its run.
    int aktuell = punkte.Aktuell;
    while (aktuell > 0 && aktuell < n && weg[static_cast<std::size_t>(aktuell)]) --aktuell;
    int vorAktuell = 0;  // dropped points before it
    for (int i = 0; i < aktuell && i < n; ++i) vorAktuell += weg[static_cast<std::size_t>(i)] ? 1 : 0;
    int entfernt = 0;
    for (int i = n - 1; i >= 1; --i)
        if (weg[static_cast<std::size_t>(i)]) {
            punkte.PunktLoeschen(i);
            ++entfernt;
        }
    if (entfernt > 0 && punkte.AnzahlPunkte() > 0)
        punkte.Aktuell = std::min(std::max(aktuell - vorAktuell, 0), punkte.AnzahlPunkte() - 1);
    return entfernt;
}

bool Verlaengern(TSplinePunkte& punkte, double strecke) {
    const int n = punkte.AnzahlPunkte();
    if (n == 0) return false;
    const TSplinePkt letzter = *punkte.Punkt(n - 1);
    // The centre line reads the grade as the slope tan(-Xrot) along the heading, so the
    // angle of that slope (in (-90, 90]) gives the direction, whatever turn Xrot holds.
    const double gefaelle = std::atan(std::tan(GradZuRad(-letzter.Xrot)));
    const double kurs = GradZuRad(letzter.Yrot);
    const V3 neu = Lage(letzter) + strecke * V3{std::cos(gefaelle) * std::sin(kurs), std::sin(gefaelle),
                                                std::cos(gefaelle) * std::cos(kurs)};
    if (!Endlich(neu) || !std::isfinite(letzter.Xrot) || !std::isfinite(letzter.Yrot) ||
        !std::isfinite(letzter.Zrot))
        return false;
    TSplinePkt& p = *punkte.Anhaengen();
    p.X = neu.x;
    p.Y = neu.y;
    p.Z = neu.z;
    p.Xrot = letzter.Xrot;
    p.Yrot = letzter.Yrot;
    p.Zrot = letzter.Zrot;
    return true;
}

}  // namespace pavolant
