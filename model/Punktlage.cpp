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

// Bounding box of plan positions.
struct Kasten {
    double MinX = 0, MaxX = 0, MinZ = 0, MaxZ = 0;
    bool Endlich = false;  // every position in it is finite
    bool Leer = true;      // holds no point

    static Kasten Um(const TSplinePkt& p) {
        return Kasten{p.X, p.X, p.Z, p.Z, std::isfinite(p.X) && std::isfinite(p.Z), false};
    }
    Kasten& operator+=(const Kasten& b) {
        if (b.Leer) return *this;
        if (Leer) return *this = b;
        MinX = std::min(MinX, b.MinX);
        MaxX = std::max(MaxX, b.MaxX);
        MinZ = std::min(MinZ, b.MinZ);
        MaxZ = std::max(MaxZ, b.MaxZ);
        Endlich = Endlich && b.Endlich;
        return *this;
    }
};

// Every point of the box at the same place as p (by GleicheStelle). The differences to
// the farthest corner bound every point's differences (subtraction rounds
// monotonically); the margin covers hypot's rounding many times over.
bool Innerhalb(const Kasten& k, const TSplinePkt& p) {
    if (k.Leer || !k.Endlich) return false;
    const double dX = std::max(std::fabs(k.MinX - p.X), std::fabs(k.MaxX - p.X));
    const double dZ = std::max(std::fabs(k.MinZ - p.Z), std::fabs(k.MaxZ - p.Z));
    return std::hypot(dX, dZ) < kGleicheStelle * (1 - 1e-9);
}

// Bounding boxes of the plan positions, a complete binary tree over the points (node k
// has the children 2k and 2k + 1; the leaves start at `blaetter_`).
class Kastenbaum {
public:
    explicit Kastenbaum(const TSplinePunkte& punkte) : punkte_(punkte), n_(punkte.AnzahlPunkte()) {
        while (blaetter_ < n_) blaetter_ *= 2;
        kaesten_.resize(2 * static_cast<std::size_t>(blaetter_));
        for (int i = 0; i < n_; ++i)
            kaesten_[static_cast<std::size_t>(blaetter_ + i)] = Kasten::Um(*punkte.Punkt(i));
        for (std::size_t k = static_cast<std::size_t>(blaetter_) - 1; k >= 1; --k)
            (kaesten_[k] = kaesten_[2 * k]) += kaesten_[2 * k + 1];
    }
    // The highest index <= bis at another place than p; -1 when there is none.
    int Letzter(int bis, const TSplinePkt& p) const { return Suchen(1, 0, blaetter_, 0, bis, p, false); }
    // The lowest index >= von at another place than p; -1 when there is none.
    int Erster(int von, const TSplinePkt& p) const { return Suchen(1, 0, blaetter_, von, n_ - 1, p, true); }
    // The box of the points von .. bis.
    Kasten Umfang(int von, int bis) const {
        Kasten k;
        Sammeln(1, 0, blaetter_, von, bis, k);
        return k;
    }

private:
    // Node k covers the indices [anfang, ende); the search keeps to [von, bis] and takes
    // the first hit from the left (vorwaerts) or from the right.
    int Suchen(int k, int anfang, int ende, int von, int bis, const TSplinePkt& p, bool vorwaerts) const {
        const Kasten& kasten = kaesten_[static_cast<std::size_t>(k)];
        if (kasten.Leer || ende <= von || anfang > bis || Innerhalb(kasten, p)) return -1;
        if (ende - anfang == 1) return GleicheStelle(*punkte_.Punkt(anfang), p) ? -1 : anfang;
        const int mitte = anfang + (ende - anfang) / 2;
        const int erster = vorwaerts ? Suchen(2 * k, anfang, mitte, von, bis, p, vorwaerts)
                                     : Suchen(2 * k + 1, mitte, ende, von, bis, p, vorwaerts);
        if (erster >= 0) return erster;
        return vorwaerts ? Suchen(2 * k + 1, mitte, ende, von, bis, p, vorwaerts)
                         : Suchen(2 * k, anfang, mitte, von, bis, p, vorwaerts);
    }
    void Sammeln(int k, int anfang, int ende, int von, int bis, Kasten& ziel) const {
        if (ende <= von || anfang > bis) return;
        if (von <= anfang && ende - 1 <= bis) {
            ziel += kaesten_[static_cast<std::size_t>(k)];
            return;
        }
        const int mitte = anfang + (ende - anfang) / 2;
        Sammeln(2 * k, anfang, mitte, von, bis, ziel);
        Sammeln(2 * k + 1, mitte, ende, von, bis, ziel);
    }

    const TSplinePunkte& punkte_;
    int n_;
    int blaetter_ = 1;
    std::vector<Kasten> kaesten_;
};

// The nearest point before and after every point at another place than that point
// (-1 where there is none): the point a tangent looks to past the points at its place.
//
// Walking from each point past every point at its place costs the square of a run's
// length (100,000 imported markers on one spot took minutes). Here each point starts
// from its neighbour's answer:
//  - a copy of its neighbour's plan position has the neighbour's answer;
//  - a point whose neighbour is at its place but not a copy has it too when every point
//    between that answer and itself lies at its place, which the box of those points
//    shows at once, and the answer itself does not;
//  - otherwise a tree of bounding boxes is searched, passing over every box that lies
//    wholly within kGleicheStelle of the point.
// Single points are judged by GleicheStelle itself and a box is passed over only with a
// margin far above rounding, so the answer is the walk's, point for point, also where
// "same place" does not carry over from point to point (a chain of points 0.9 mm apart).
class Nachbarn {
public:
    explicit Nachbarn(const TSplinePunkte& punkte) : punkte_(punkte) {
        const int n = punkte.AnzahlPunkte();
        vorher_.assign(static_cast<std::size_t>(n), -1);
        nachher_.assign(static_cast<std::size_t>(n), -1);
        Suchen(vorher_, -1);
        Suchen(nachher_, 1);
    }

    int Vorher(int i) const { return vorher_[Idx(i)]; }
    int Nachher(int i) const { return nachher_[Idx(i)]; }
    // schritt -1: before, +1: after.
    int Nachbar(int i, int schritt) const { return schritt < 0 ? Vorher(i) : Nachher(i); }

private:
    // Fills `ziel` with the answers on side s (-1 before, +1 after), from the end of that
    // side inwards.
    void Suchen(std::vector<int>& ziel, int s) {
        const int n = punkte_.AnzahlPunkte();
        if (n < 2) return;
        // The box of the points from the last answer (exclusive) to the last point.
        Kasten lauf = Kasten::Um(P(s < 0 ? 0 : n - 1));
        for (int i = s < 0 ? 1 : n - 2; i >= 0 && i < n; i -= s) {
            const int nachbar = i + s;
            const int bisher = ziel[Idx(nachbar)];
            int& antwort = ziel[Idx(i)];
            if (!GleicheStelle(P(nachbar), P(i))) {
                antwort = nachbar;
                lauf = Kasten::Um(P(i));
            } else if (Kopie(nachbar, i)) {
                antwort = bisher;  // the box stays: point i adds its neighbour's position
            } else if (Innerhalb(lauf, P(i)) && (bisher < 0 || !GleicheStelle(P(bisher), P(i)))) {
                antwort = bisher;
                lauf += Kasten::Um(P(i));
            } else {
                antwort = s < 0 ? Baum().Letzter(i - 2, P(i)) : Baum().Erster(i + 2, P(i));
                lauf = s < 0 ? Baum().Umfang(antwort + 1, i)
                             : Baum().Umfang(i, antwort < 0 ? n - 1 : antwort - 1);
            }
        }
    }

    static std::size_t Idx(int i) { return static_cast<std::size_t>(i); }
    const TSplinePkt& P(int i) const { return *punkte_.Punkt(i); }
    // The same plan position to the bit but for the sign of 0, which no difference sees:
    // every other point is at the same place as both or as neither.
    bool Kopie(int a, int b) const { return P(a).X == P(b).X && P(a).Z == P(b).Z; }
    // Built when the first point needs it: most roads need none.
    const Kastenbaum& Baum() {
        if (!baum_) baum_.emplace(punkte_);
        return *baum_;
    }

    const TSplinePunkte& punkte_;
    std::vector<int> vorher_, nachher_;
    std::optional<Kastenbaum> baum_;
};

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
std::optional<V3> Endtangente(const TSplinePunkte& punkte, const Nachbarn& nachbarn, int i, int n) {
    const V3 hier = Lage(*punkte.Punkt(i));
    const V3 dort = Lage(*punkte.Punkt(n));
    // The chord in the direction of travel.
    V3 sehne = n > i ? dort - hier : hier - dort;
    const double l = Laenge(sehne);
    if (!std::isfinite(l) || l == 0) return std::nullopt;
    sehne = (1 / l) * sehne;
    // The neighbour's other side: away from point i.
    const int weiter = nachbarn.Nachbar(n, n > i ? 1 : -1);
    if (weiter < 0) return sehne;
    const std::optional<V3> t =
        n > i ? InnereTangente(punkte, i, n, weiter) : InnereTangente(punkte, weiter, n, i);
    if (!t) return sehne;
    return 2 * Punktprodukt(*t, sehne) * sehne - *t;
}

// TangentenAusrichtung with the neighbours found once for the whole list.
std::optional<Ausrichtung> Ausrichten(const TSplinePunkte& punkte, const Nachbarn& nachbarn, int i) {
    const TSplinePkt* p = punkte.Punkt(i);
    if (!p || !Endlich(Lage(*p))) return std::nullopt;
    const int a = nachbarn.Vorher(i);
    const int b = nachbarn.Nachher(i);
    std::optional<V3> t;
    if (a >= 0 && b >= 0)
        t = InnereTangente(punkte, a, i, b);
    else if (a >= 0 || b >= 0)
        t = Endtangente(punkte, nachbarn, i, a >= 0 ? a : b);
    if (!t || !Endlich(*t)) return std::nullopt;
    return AusrichtungEntlang(t->x, t->y, t->z);
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
    if (!punkte.Punkt(i)) return std::nullopt;
    return Ausrichten(punkte, Nachbarn(punkte), i);
}

int PunkteAusrichten(TSplinePunkte& punkte, int nur) {
    const int n = punkte.AnzahlPunkte();
    if (nur >= n) return 1;
    const int von = nur < 0 ? 0 : nur;
    const int bis = nur < 0 ? n - 1 : nur;
    // Every angle from the positions alone, before any point changes (positions do not
    // change here, but the rule must never see a half-oriented list).
    const Nachbarn nachbarn(punkte);
    std::vector<std::optional<Ausrichtung>> neu;
    for (int i = von; i <= bis; ++i) neu.push_back(Ausrichten(punkte, nachbarn, i));
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

namespace {

// Which points go: each judged against the last point before it that stays. Against its
// own predecessor instead, points at 0, +0.9 mm and -0.5 mm would keep the last two,
// 1.4 mm from each other but 0.5 mm from the point kept, and the road would still
// stop on them.
std::vector<bool> Doppelte(const TSplinePunkte& punkte) {
    const int n = punkte.AnzahlPunkte();
    std::vector<bool> weg(static_cast<std::size_t>(n), false);
    int behalten = 0;
    for (int i = 1; i < n; ++i) {
        if (GleicheStelle(*punkte.Punkt(i), *punkte.Punkt(behalten)))
            weg[static_cast<std::size_t>(i)] = true;
        else
            behalten = i;
    }
    return weg;
}

}  // namespace

int AnzahlAnGleicherStelle(const TSplinePunkte& punkte) {
    const std::vector<bool> weg = Doppelte(punkte);
    return static_cast<int>(std::count(weg.begin(), weg.end(), true));
}

int GleicheStellenEntfernen(TSplinePunkte& punkte, int& aktuell) {
    const int n = punkte.AnzahlPunkte();
    const std::vector<bool> weg = Doppelte(punkte);
    // The kept points move up in one pass (values copied, as deleting one point at a
    // time would move the rest of the list for each: quadratic in the duplicates),
    // then the tail goes from the end, where deleting moves nothing.
    int ziel = 0;
    int neu = 0;  // the current point's new index: the last kept point up to it
    for (int i = 0; i < n; ++i) {
        if (weg[static_cast<std::size_t>(i)]) continue;
        if (ziel != i) *punkte.Punkt(ziel) = *punkte.Punkt(i);
        if (i <= aktuell) neu = ziel;
        ++ziel;
    }
    const int entfernt = n - ziel;
    if (entfernt == 0) return 0;
    for (int i = n - 1; i >= ziel; --i) punkte.PunktLoeschen(i);
    aktuell = neu;
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
