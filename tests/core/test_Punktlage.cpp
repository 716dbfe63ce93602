// Headings and grades from the positions, duplicate positions, extending the road: the
// angles are checked against curves whose tangent is known, and through the centre line
// that reads them.
#include "model/Punktlage.h"

#include "model/Zahlen.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace pavolant {
namespace {

using test::AufzeichnenderMelder;

// A point of a known curve: position, and the heading and grade of its tangent in the
// level editor's sense (degrees; heading 90 faces +X, a falling road has a positive Xrot).
struct Kurvenstelle {
    double X, Y, Z;
    double Kurs, Gefaelle;
};
// The curve at horizontal arc length s.
using Kurve = std::function<Kurvenstelle(double s)>;

double Grad(double rad) { return rad * 180 / kPi; }

// Heading theta(s) (radians, 0 along +Z, pi/2 along +X) of a flat curve integrated by the
// midpoint rule in steps of at most 0.05 m.
Kurvenstelle Eben(double s, const std::function<double(double)>& kurs) {
    const int n = std::max(1, static_cast<int>(s / 0.05));
    const double h = s / n;
    double x = 0, z = 0;
    for (int k = 0; k < n; ++k) {
        const double t = kurs((k + 0.5) * h);
        x += h * std::sin(t);
        z += h * std::cos(t);
    }
    return {x, 0, z, Grad(kurs(s)), 0};
}

Kurve Kreis(double r, double kurs0) {
    return [=](double s) {
        const double t = kurs0 + s / r;
        return Kurvenstelle{r * (std::cos(kurs0) - std::cos(t)), 0, r * (std::sin(t) - std::sin(kurs0)),
                            Grad(t), 0};
    };
}

// Curvature growing linearly from 0: kurs(s) = kurs0 + s^2 / (2 A^2).
Kurve Klothoide(double a, double kurs0) {
    return [=](double s) { return Eben(s, [=](double u) { return kurs0 + u * u / (2 * a * a); }); };
}

// A straight road climbing 6 % (6 m per 100 m horizontally).
Kurve Rampe(double kurs0) {
    return [=](double s) {
        return Kurvenstelle{s * std::sin(kurs0), 0.06 * s, s * std::cos(kurs0), Grad(kurs0),
                            -Grad(std::atan(0.06))};
    };
}

// The 150 m circle climbing 6 %.
Kurve Wendel(double kurs0) {
    return [=](double s) {
        Kurvenstelle k = Kreis(150, kurs0)(s);
        k.Y = 0.06 * s;
        k.Gefaelle = -Grad(std::atan(0.06));
        return k;
    };
}

// Difference of two headings in degrees, brought into [-180, 180].
double Kursabweichung(double a, double b) { return std::remainder(a - b, 360.0); }

struct Probe {
    std::vector<Kurvenstelle> wahr;
    TSplinePunkte punkte;
};

// Points at the arc lengths `stellen`, positions only (rotations 0, banks `zrot`).
void Abtasten(Probe& p, const Kurve& kurve, const std::vector<double>& stellen, double zrot = 0) {
    while (p.punkte.AnzahlPunkte() < static_cast<int>(stellen.size())) p.punkte.Anhaengen();
    for (std::size_t k = 0; k < stellen.size(); ++k) {
        p.wahr.push_back(kurve(stellen[k]));
        TSplinePkt& q = *p.punkte.Punkt(static_cast<int>(k));
        q.X = p.wahr.back().X;
        q.Y = p.wahr.back().Y;
        q.Z = p.wahr.back().Z;
        q.Zrot = zrot;
    }
}

std::vector<double> Gleichmaessig(double abstand, double laenge) {
    std::vector<double> s;
    for (double x = 0; x <= laenge + 1e-9; x += abstand) s.push_back(x);
    return s;
}

// The centre line's point of connection i at t, in level coordinates, as the run
// places it.
TPunkt Weltpunkt(const TSplinePunkte& liste, int i, double t) {
    TPunkt ziel;
    liste.MittellinienPunkt(i, ziel, t);
    const TSplinePkt* p = liste.Punkt(i);
    ziel.DreheY(p->Richtung);
    ziel.X += p->X;
    ziel.Y += p->Y;
    ziel.Z += p->Z;
    return ziel;
}

// Orients the sampled points and checks every heading and grade against the curve,
// then builds the centre line through them: no message, and the built road itself
// leaves and reaches every point along the true tangent (direction measured from the
// evaluated positions, so the check does not rely on how the angles are encoded).
void PruefeKurve(const std::string& name, const Kurve& kurve, const std::vector<double>& stellen,
                 double kursTol, double gefaelleTol) {
    SCOPED_TRACE(name);
    Probe p;
    Abtasten(p, kurve, stellen, 2.5);
    EXPECT_EQ(PunkteAusrichten(p.punkte), 0);
    const int n = p.punkte.AnzahlPunkte();
    for (int k = 0; k < n; ++k) {
        const TSplinePkt& q = *p.punkte.Punkt(k);
        EXPECT_NEAR(Kursabweichung(q.Yrot, p.wahr[static_cast<std::size_t>(k)].Kurs), 0, kursTol)
            << "point " << k;
        EXPECT_NEAR(q.Xrot, p.wahr[static_cast<std::size_t>(k)].Gefaelle, gefaelleTol) << "point " << k;
        EXPECT_EQ(q.Zrot, 2.5) << "the bank stays";
    }

    AufzeichnenderMelder melder;
    ASSERT_TRUE(p.punkte.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty()) << melder.eintraege.front().text;

    constexpr double dt = 1e-5;
    for (int i = 0; i + 1 < n; ++i) {
        for (const auto& [t0, t1, k] : {std::tuple{0.0, dt, i}, std::tuple{1.0 - dt, 1.0, i + 1}}) {
            const TPunkt a = Weltpunkt(p.punkte, i, t0), b = Weltpunkt(p.punkte, i, t1);
            const double dX = b.X - a.X, dY = b.Y - a.Y, dZ = b.Z - a.Z;
            const Kurvenstelle& w = p.wahr[static_cast<std::size_t>(k)];
            EXPECT_NEAR(Kursabweichung(Grad(std::atan2(dX, dZ)), w.Kurs), 0, kursTol) << "connection " << i;
            EXPECT_NEAR(-Grad(std::atan2(dY, std::hypot(dX, dZ))), w.Gefaelle, gefaelleTol)
                << "connection " << i;
        }
    }
}

TEST(PunkteAusrichten, TrifftDieTangenteBekannterKurven) {
    for (const double h : {10.0, 25.0, 50.0, 100.0}) {
        const std::string bei = " at " + std::to_string(static_cast<int>(h)) + " m";
        // Headings round the whole circle, so every quadrant of the heading occurs.
        PruefeKurve("circle r=150" + bei, Kreis(150, 0.4), Gleichmaessig(h, 900), 0.5, 0.2);
        PruefeKurve("ramp 6 %" + bei, Rampe(-2.2), Gleichmaessig(h, 500), 0.5, 0.2);
        // The rule's error on a clothoid grows as (h / A)^2: a clothoid of A = 8 h is
        // met within 0.15 degrees inside and 0.3 at the ends.
        PruefeKurve("clothoid A=8h" + bei, Klothoide(8 * h, 2.0), Gleichmaessig(h, 12 * h), 0.5, 0.2);
    }
    // A clothoid as it leads into a bend of 150 m radius (A = 150, 150 m long).
    PruefeKurve("clothoid A=150 at 10 m", Klothoide(150, -1.0), Gleichmaessig(10, 150), 0.5, 0.2);
    // The climbing circle: the chords cut the bend, so the grade is met within 0.2
    // degrees up to 50 m spacing.
    for (const double h : {10.0, 25.0, 50.0})
        PruefeKurve("helix", Wendel(3.0), Gleichmaessig(h, 600), 0.5, 0.2);
}

TEST(PunkteAusrichten, UngleicheAbstaendeAufDemKreis) {
    // Marker scenes are not evenly spaced: 10 to 100 m in turn.
    std::vector<double> stellen{0};
    const double schritte[] = {10, 100, 35, 60, 10, 80, 25};
    for (const double s : schritte) stellen.push_back(stellen.back() + s);
    PruefeKurve("circle, uneven", Kreis(150, 5.0), stellen, 0.5, 0.2);
    PruefeKurve("ramp, uneven", Rampe(1.0), stellen, 0.5, 0.2);
}

TEST(PunkteAusrichten, EinzelnerPunktWieInDerGanzenListe) {
    Probe ganz, einzeln;
    const std::vector<double> stellen = {0, 30, 45, 90, 160};
    Abtasten(ganz, Klothoide(120, 0.3), stellen);
    Abtasten(einzeln, Klothoide(120, 0.3), stellen);
    PunkteAusrichten(ganz.punkte);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(PunkteAusrichten(einzeln.punkte, k), 0);
        EXPECT_EQ(einzeln.punkte.Punkt(k)->Yrot, ganz.punkte.Punkt(k)->Yrot);
        EXPECT_EQ(einzeln.punkte.Punkt(k)->Xrot, ganz.punkte.Punkt(k)->Xrot);
        // The points after it are still untouched.
        if (k + 1 < 5) {
            EXPECT_EQ(einzeln.punkte.Punkt(k + 1)->Yrot, 0.0);
        }
    }
}

TEST(PunkteAusrichten, SiehtUeberPunkteAnGleicherStelleHinweg) {
    Probe mit, ohne;
    Abtasten(ohne, Kreis(150, 0.0), {0, 40, 80, 120});
    Abtasten(mit, Kreis(150, 0.0), {0, 0, 40, 40, 40, 80, 120, 120});
    // Less than a millimetre off still counts as the same place.
    mit.punkte.Punkt(3)->X += 0.0004;
    PunkteAusrichten(ohne.punkte);
    EXPECT_EQ(PunkteAusrichten(mit.punkte), 0);
    const int gleich[] = {0, 0, 1, 1, 1, 2, 3, 3};
    for (int k = 0; k < 8; ++k)
        EXPECT_NEAR(mit.punkte.Punkt(k)->Yrot, ohne.punkte.Punkt(gleich[k])->Yrot, 1e-3);
}

TEST(PunkteAusrichten, OhneRichtungBleibenDieWinkel) {
    TSplinePunkte punkte;  // two points at the origin
    punkte.Punkt(0)->Yrot = 33;
    EXPECT_EQ(PunkteAusrichten(punkte), 2);
    EXPECT_EQ(punkte.Punkt(0)->Yrot, 33.0);

    // Straight up: no heading exists.
    punkte.Punkt(1)->Y = 10;
    EXPECT_EQ(PunkteAusrichten(punkte), 2);
    EXPECT_EQ(punkte.Punkt(0)->Yrot, 33.0);

    // A position that is not finite gives no angle to it or its neighbours.
    punkte.Punkt(1)->Y = 0;
    punkte.Punkt(1)->Z = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(PunkteAusrichten(punkte), 2);
    EXPECT_EQ(punkte.Punkt(0)->Yrot, 33.0);

    // Two places: both take the chord; out of range: nothing.
    punkte.Punkt(1)->Z = -5;
    punkte.Punkt(1)->X = -5;
    EXPECT_EQ(PunkteAusrichten(punkte), 0);
    EXPECT_DOUBLE_EQ(punkte.Punkt(0)->Yrot, 225.0);
    EXPECT_DOUBLE_EQ(punkte.Punkt(1)->Yrot, 225.0);
    EXPECT_EQ(PunkteAusrichten(punkte, 2), 1);
}

// The plain search for a neighbour: from point i past every point at its place.
int NachbarGesucht(const TSplinePunkte& p, int i, int schritt) {
    const TSplinePkt& q = *p.Punkt(i);
    for (int j = i + schritt; j >= 0 && j < p.AnzahlPunkte(); j += schritt)
        if (!(std::hypot(p.Punkt(j)->X - q.X, p.Punkt(j)->Z - q.Z) < kGleicheStelle)) return j;
    return -1;
}

// Point i's angles with the neighbours of the plain search: the tangent rule sees only
// point i, those neighbours and, at an end, the neighbour's own next neighbour, so the
// rule applied to a list of just these points gives point i's angles.
std::optional<Ausrichtung> MitGesuchtenNachbarn(const TSplinePunkte& p, int i) {
    const int a = NachbarGesucht(p, i, -1), b = NachbarGesucht(p, i, 1);
    std::vector<int> auswahl;
    if (a >= 0 && b >= 0)
        auswahl = {a, i, b};
    else if (b >= 0)
        auswahl = {i, b, NachbarGesucht(p, b, 1)};
    else if (a >= 0)
        auswahl = {NachbarGesucht(p, a, -1), a, i};
    else
        return std::nullopt;
    std::erase(auswahl, -1);
    TSplinePunkte klein;
    while (klein.AnzahlPunkte() < static_cast<int>(auswahl.size())) klein.Anhaengen();
    int stelle = 0;
    for (std::size_t k = 0; k < auswahl.size(); ++k) {
        const TSplinePkt& q = *p.Punkt(auswahl[k]);
        TSplinePkt& z = *klein.Punkt(static_cast<int>(k));
        z.X = q.X, z.Y = q.Y, z.Z = q.Z;
        if (auswahl[k] == i) stelle = static_cast<int>(k);
    }
    return TangentenAusrichtung(klein, stelle);
}

// Random roads made of runs: copies of one position, points scattered within 1 mm of
// it, chains of points 0.6 to 0.95 mm apart (same place as their neighbours, not as
// each other), points straight above one another, steps of exactly 1 mm, and now and
// then a coordinate that is not finite.
void Zufallsstrasse(TSplinePunkte& punkte, std::mt19937& zufall) {
    auto gleich = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(zufall); };
    auto ganz = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(zufall); };
    while (punkte.AnzahlPunkte() > 0) punkte.PunktLoeschen(0);
    double x = 0, y = 0, z = 0;
    for (int folgen = ganz(1, 30); folgen > 0; --folgen) {
        const double schritt[] = {gleich(1, 40), 0.001, 0.0011, 0.0009};
        const double w = gleich(0, 2 * kPi);
        const double s = schritt[ganz(0, 3)];
        x += s * std::cos(w), z += s * std::sin(w), y += gleich(-1, 1);
        const int art = ganz(0, 4);
        for (int k = ganz(1, 40); k > 0; --k) {
            TSplinePkt& q = *punkte.Anhaengen();
            q.X = x, q.Y = y, q.Z = z, q.Yrot = 7;
            if (art == 1) q.Z += gleich(-0.0007, 0.0007);
            if (art == 1 && ganz(0, 1)) q.X += gleich(-0.0007, 0.0007);
            if (art == 2) x += gleich(0.0006, 0.00095);
            if (art == 3) q.Y += k;
            if (ganz(0, 200) == 0) q.Z = ganz(0, 1) ? std::numeric_limits<double>::quiet_NaN() : HUGE_VAL;
        }
    }
}

TEST(PunkteAusrichten, NimmtDieNachbarnDerEinfachenSuche) {
    std::mt19937 zufall(24);
    for (int runde = 0; runde < 300; ++runde) {
        TSplinePunkte punkte;
        Zufallsstrasse(punkte, zufall);
        std::vector<std::optional<Ausrichtung>> erwartet;
        for (int i = 0; i < punkte.AnzahlPunkte(); ++i) erwartet.push_back(MitGesuchtenNachbarn(punkte, i));
        const int ohne = PunkteAusrichten(punkte);
        EXPECT_EQ(ohne, std::count(erwartet.begin(), erwartet.end(), std::nullopt)) << "round " << runde;
        for (int i = 0; i < punkte.AnzahlPunkte(); ++i) {
            const std::optional<Ausrichtung>& e = erwartet[static_cast<std::size_t>(i)];
            ASSERT_EQ(punkte.Punkt(i)->Yrot, e ? e->Yrot : 7.0) << "round " << runde << ", point " << i;
            ASSERT_EQ(punkte.Punkt(i)->Xrot, e ? e->Xrot : 0.0) << "round " << runde << ", point " << i;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Points at the same place

TEST(GleicheStellen, ZaehltUndBehaeltDenErstenJederFolge) {
    TSplinePunkte punkte;
    const double x[] = {0, 0, 0.0009, 5, 10, 10, 20};  // runs: 0-2, 4-5
    while (punkte.AnzahlPunkte() < 7) punkte.Anhaengen();
    for (int i = 0; i < 7; ++i) {
        punkte.Punkt(i)->X = x[i];
        punkte.Punkt(i)->Yrot = i;  // tells the points apart
    }
    EXPECT_EQ(AnzahlAnGleicherStelle(punkte), 3);
    int aktuell = 5;  // the second of the run at 10
    EXPECT_EQ(GleicheStellenEntfernen(punkte, aktuell), 3);
    ASSERT_EQ(punkte.AnzahlPunkte(), 4);
    const double bleiben[] = {0, 3, 4, 6};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(punkte.Punkt(i)->Yrot, bleiben[i]);
    EXPECT_EQ(aktuell, 2) << "the kept point of the current point's run";
    EXPECT_EQ(AnzahlAnGleicherStelle(punkte), 0);
    EXPECT_EQ(GleicheStellenEntfernen(punkte, aktuell), 0);
}

TEST(GleicheStellen, InDerDraufsichtUndEinMillimeterIstEineAndere) {
    TSplinePunkte punkte;
    punkte.Punkt(1)->Y = 5;  // straight above the first: no distance for the road
    punkte.Anhaengen()->Z = 0.001;
    EXPECT_EQ(AnzahlAnGleicherStelle(punkte), 1);
    int aktuell = 2;
    punkte.Anhaengen()->Z = 0.0011;
    EXPECT_EQ(GleicheStellenEntfernen(punkte, aktuell), 2);
    ASSERT_EQ(punkte.AnzahlPunkte(), 2);
    EXPECT_EQ(punkte.Punkt(0)->Y, 0.0) << "the first of the run stays";
    EXPECT_EQ(aktuell, 1);
}

TEST(GleicheStellen, VergleichtMitDemLetztenBehaltenenPunkt) {
    struct Fall {
        std::vector<double> mm;  // X of the points, millimetres
        std::vector<int> bleiben;
        int aktuell, aktuellDanach;
    };
    const Fall faelle[] = {
        {{0, 0.9, -0.5}, {0}, 2, 0},                 // -0.5 is 1.4 from 0.9 but 0.5 from 0
        {{0, 0.6, 1.2, 1.8, 2.4}, {0, 2, 4}, 3, 1},  // a chain: every second point is 1.2 on
        {{0, 0.9, 1.8, 1.85, 5}, {0, 2, 4}, 3, 1},
        {{0, 0.5, 1, 1.5}, {0, 2}, 1, 0},  // 1 mm exactly is another place
    };
    for (const Fall& f : faelle) {
        TSplinePunkte punkte;
        while (punkte.AnzahlPunkte() < static_cast<int>(f.mm.size())) punkte.Anhaengen();
        for (int i = 0; i < punkte.AnzahlPunkte(); ++i) {
            punkte.Punkt(i)->X = f.mm[static_cast<std::size_t>(i)] / 1000;
            punkte.Punkt(i)->Yrot = i;
        }
        int aktuell = f.aktuell;
        const int weg = static_cast<int>(f.mm.size() - f.bleiben.size());
        EXPECT_EQ(AnzahlAnGleicherStelle(punkte), weg);
        EXPECT_EQ(GleicheStellenEntfernen(punkte, aktuell), weg);
        std::vector<int> geblieben;
        for (int i = 0; i < punkte.AnzahlPunkte(); ++i)
            geblieben.push_back(static_cast<int>(punkte.Punkt(i)->Yrot));
        EXPECT_EQ(geblieben, f.bleiben) << f.mm[1];
        EXPECT_EQ(aktuell, f.aktuellDanach) << f.mm[1];
    }

    // On random roads: the result has no neighbours at one place, so the centre line
    // cannot stop on them, and every dropped point lies at the place of the point kept
    // before it.
    std::mt19937 zufall(7);
    for (int runde = 0; runde < 200; ++runde) {
        TSplinePunkte punkte;
        Zufallsstrasse(punkte, zufall);
        std::vector<TSplinePkt> vorher;
        for (int i = 0; i < punkte.AnzahlPunkte(); ++i) {
            punkte.Punkt(i)->Zrot = i;
            vorher.push_back(*punkte.Punkt(i));
        }
        int aktuell = 0;
        GleicheStellenEntfernen(punkte, aktuell);
        EXPECT_EQ(AnzahlAnGleicherStelle(punkte), 0);
        int k = 0;
        for (const TSplinePkt& p : vorher) {
            if (k + 1 < punkte.AnzahlPunkte() && punkte.Punkt(k + 1)->Zrot == p.Zrot) {
                ++k;
            } else if (punkte.Punkt(k)->Zrot != p.Zrot) {
                EXPECT_LT(std::hypot(p.X - punkte.Punkt(k)->X, p.Z - punkte.Punkt(k)->Z), kGleicheStelle);
            }
        }
        EXPECT_EQ(k + 1, punkte.AnzahlPunkte()) << "the kept points stay in their order";
    }
}

// ---------------------------------------------------------------------------------------
// Extending

TEST(Verlaengern, FuehrtEntlangKursUndGefaelleWeiter) {
    // The last point of an oriented ramp: the new point lies on the ramp.
    Probe p;
    Abtasten(p, Rampe(2.5), {0, 40, 80}, -4);
    PunkteAusrichten(p.punkte);
    ASSERT_TRUE(Verlaengern(p.punkte, 50));
    ASSERT_TRUE(Verlaengern(p.punkte, 50));
    ASSERT_EQ(p.punkte.AnzahlPunkte(), 5);
    const double waagrecht = 50 / std::hypot(1.0, 0.06);  // 50 m along the slope
    for (int k = 3; k < 5; ++k) {
        const Kurvenstelle w = Rampe(2.5)(80 + (k - 2) * waagrecht);
        const TSplinePkt& q = *p.punkte.Punkt(k);
        EXPECT_NEAR(q.X, w.X, 1e-9);
        EXPECT_NEAR(q.Y, w.Y, 1e-9);
        EXPECT_NEAR(q.Z, w.Z, 1e-9);
        const TSplinePkt& vorher = *p.punkte.Punkt(k - 1);
        EXPECT_EQ(q.Xrot, vorher.Xrot);
        EXPECT_EQ(q.Yrot, vorher.Yrot);
        EXPECT_EQ(q.Zrot, -4.0);
    }
    // The road through the extension builds without a message.
    AufzeichnenderMelder melder;
    EXPECT_TRUE(p.punkte.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty());
}

TEST(Verlaengern, NichtsOhnePunktOderMitUnendlichemErgebnis) {
    TSplinePunkte punkte;
    punkte.PunktLoeschen(1);
    punkte.PunktLoeschen(0);
    EXPECT_FALSE(Verlaengern(punkte, 50));
    EXPECT_EQ(punkte.AnzahlPunkte(), 0);

    TSplinePunkte weit;
    weit.Punkt(1)->X = 1e308;
    weit.Punkt(1)->Yrot = 90;
    EXPECT_FALSE(Verlaengern(weit, 1e308));
    EXPECT_EQ(weit.AnzahlPunkte(), 2);
    weit.Punkt(1)->X = 0;
    weit.Punkt(1)->Zrot = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(Verlaengern(weit, 50));
    EXPECT_EQ(weit.AnzahlPunkte(), 2);
}

}  // namespace
}  // namespace pavolant
