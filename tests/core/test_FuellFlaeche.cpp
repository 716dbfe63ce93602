// The front-face fill: ear clipping, the candidate sort, texture coordinates, emptying
// and the [FuellFlaeche] keys.
#include "model/FuellFlaeche.h"

#include "model/Zahlen.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pavolant {

namespace {

// A triangle record's three indices in their written order; compared and printed as a
// whole by the test framework.
using Tripel = std::array<std::int32_t, 3>;

std::vector<Tripel> AlsTripel(const std::vector<NetzDreieck>& dreiecke) {
    std::vector<Tripel> aus;
    for (const NetzDreieck& d : dreiecke) aus.push_back({d.A, d.B, d.C});
    return aus;
}

using test::AufzeichnenderMelder;
using test::MitDezimaltrenner;

struct XZ {
    double x, z;
};

// Replaces the outline by the given (X, Z) points; Y gets a value of its own per point
// because the fill must ignore it.
void SetzeUmriss(TFuellFlaeche& f, const std::vector<XZ>& punkte) {
    f.Leeren();
    for (std::size_t i = 0; i < punkte.size(); ++i) {
        TPunkt& p = *f.Punkte.Punkt(f.Punkte.NeuerPunkt());
        p.X = punkte[i].x;
        p.Y = 0.37 * static_cast<double>(i) - 1.0;
        p.Z = punkte[i].z;
    }
}

// Fills and checks that no internal-error message came up.
std::vector<Tripel> Fuelle(TFuellFlaeche& f, std::int32_t basis, bool umlauf, int* ergebnis = nullptr) {
    std::vector<NetzDreieck> dreiecke;
    AufzeichnenderMelder melder;
    const int n = f.Fuellen(dreiecke, basis, umlauf, melder);
    if (ergebnis) *ergebnis = n;
    EXPECT_TRUE(melder.eintraege.empty());
    EXPECT_EQ(static_cast<std::size_t>(n), dreiecke.size());
    return AlsTripel(dreiecke);
}

// Signed area in the X-Z plane, positive for counter-clockwise with X right and Z up.
double DreieckFlaeche(const TPunkt& a, const TPunkt& b, const TPunkt& c) {
    return 0.5 * ((b.X - a.X) * (c.Z - a.Z) - (c.X - a.X) * (b.Z - a.Z));
}

double UmrissFlaeche(const TPunkteSammlung& s) {
    double summe = 0;
    const int n = s.AnzahlPunkte();
    for (int i = 0; i < n; ++i) {
        const TPunkt& p = *s.Punkt(i);
        const TPunkt& q = *s.Punkt((i + 1) % n);
        summe += p.X * q.Z - q.X * p.Z;
    }
    return 0.5 * summe;
}

double DreieckFlaeche(const TPunkteSammlung& s, const Tripel& d, std::int32_t basis) {
    return DreieckFlaeche(*s.Punkt(d[0] - basis), *s.Punkt(d[1] - basis), *s.Punkt(d[2] - basis));
}

// The ear key of corner k computed independently of the fill, for preconditions.
double Schluessel(const std::vector<XZ>& p, std::size_t k) {
    const std::size_t m = p.size();
    const XZ& vor = p[(k + m - 1) % m];
    const XZ& nach = p[(k + 1) % m];
    const double ax = p[k].x - vor.x, az = p[k].z - vor.z;
    const double bx = nach.x - p[k].x, bz = nach.z - p[k].z;
    const double kreuz = az * bx - ax * bz;
    const double s = kreuz > 0 ? 1 : (kreuz < 0 ? -1 : 0);
    return -s * (std::hypot(ax, az) + std::hypot(bx, bz)) / std::hypot(nach.x - vor.x, nach.z - vor.z);
}

// Each triangle uses three distinct positions of the outline plus basis, and together
// they use every position at least once.
void ErwarteGueltigeIndizes(const std::vector<Tripel>& dreiecke, int n, std::int32_t basis) {
    std::set<std::int32_t> benutzt;
    for (const Tripel& d : dreiecke) {
        for (std::int32_t i : d) {
            EXPECT_GE(i, basis);
            EXPECT_LT(i, basis + n);
            benutzt.insert(i);
        }
        EXPECT_NE(d[0], d[1]);
        EXPECT_NE(d[1], d[2]);
        EXPECT_NE(d[0], d[2]);
    }
    EXPECT_EQ(benutzt.size(), static_cast<std::size_t>(n));
}

// ---------------------------------------------------------------------------------------
// Known triangulations

TEST(FuellFlaecheDreiecke, DreiPunkteGebenEinDreieckInBeidenUmlaufrichtungen) {
    const std::vector<XZ> gegen = {{0, 0}, {3, 0}, {0, 2}};  // counter-clockwise
    const std::vector<XZ> mit = {{0, 0}, {0, 2}, {3, 0}};    // clockwise
    for (const auto& umriss : {gegen, mit}) {
        for (std::int32_t basis : {0, 7}) {
            TFuellFlaeche f;
            SetzeUmriss(f, umriss);
            int n = 0;
            EXPECT_EQ(Fuelle(f, basis, true, &n), (std::vector<Tripel>{{basis, basis + 2, basis + 1}}));
            EXPECT_EQ(n, 1);
            EXPECT_EQ(Fuelle(f, basis, false, &n), (std::vector<Tripel>{{basis, basis + 1, basis + 2}}));
            EXPECT_EQ(n, 1);
        }
    }
}

TEST(FuellFlaecheDreiecke, RechteckMitVierGleichenSchluesselnSchneidetEckeEinsZuerst) {
    TFuellFlaeche f;
    SetzeUmriss(f, {{0, 0}, {4, 0}, {4, 2}, {0, 2}});
    int n = 0;
    EXPECT_EQ(Fuelle(f, 0, true, &n), (std::vector<Tripel>{{1, 0, 2}, {0, 3, 2}}));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Fuelle(f, 0, false, &n), (std::vector<Tripel>{{1, 2, 0}, {0, 2, 3}}));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(Fuelle(f, 100, true), (std::vector<Tripel>{{101, 100, 102}, {100, 103, 102}}));
}

TEST(FuellFlaecheDreiecke, SchluesselUnterEinemHundertstelGeltenAlsGleich) {
    // A rectangle with corner 3 lifted by 1 cm: corner 3 now has the strictly largest
    // key and corner 2 the smallest, but all four lie within 0.01 of each other.
    const std::vector<XZ> umriss = {{0, 0}, {4, 0}, {4, 2}, {0, 2.01}};
    std::vector<double> schluessel;
    for (std::size_t k = 0; k < umriss.size(); ++k) schluessel.push_back(Schluessel(umriss, k));
    ASSERT_GT(schluessel[3], schluessel[0]);
    ASSERT_GT(schluessel[3], schluessel[1]);
    ASSERT_GT(schluessel[3], schluessel[2]);
    ASSERT_LT(*std::max_element(schluessel.begin(), schluessel.end()) -
                  *std::min_element(schluessel.begin(), schluessel.end()),
              0.01);

    TFuellFlaeche f;
    SetzeUmriss(f, umriss);
    EXPECT_EQ(Fuelle(f, 0, true), (std::vector<Tripel>{{1, 0, 2}, {0, 3, 2}}));
    EXPECT_EQ(Fuelle(f, 0, false), (std::vector<Tripel>{{1, 2, 0}, {0, 2, 3}}));
}

TEST(FuellFlaecheDreiecke, SymmetrischesTrapezSchneidetVonZweiGleichenEckenDieErste) {
    TFuellFlaeche f;
    SetzeUmriss(f, {{-2, 0}, {-3, -1}, {3, -1}, {2, 0}});
    EXPECT_EQ(Fuelle(f, 0, true), (std::vector<Tripel>{{1, 0, 2}, {0, 3, 2}}));
}

TEST(FuellFlaecheDreiecke, ParallelogrammSchneidetVonDenSpitzenEckenDieZweite) {
    // Corners 0 and 2 are the acute ones, with exactly equal keys; the sort leaves
    // corner 2 last.
    TFuellFlaeche f;
    SetzeUmriss(f, {{0, 0}, {4, 0}, {5, 2}, {1, 2}});
    EXPECT_EQ(Fuelle(f, 0, true), (std::vector<Tripel>{{2, 1, 3}, {0, 3, 1}}));
    EXPECT_EQ(Fuelle(f, 0, false), (std::vector<Tripel>{{2, 3, 1}, {0, 1, 3}}));
}

TEST(FuellFlaecheDreiecke, SchaerfsteEckeZuerstUndSchluesselJedenDurchgangNeu) {
    // A thin rectangle with a spike on its top: the spike (corner 3) is by far the
    // sharpest. What is left is a rectangle again, whose equal keys choose its corner 1;
    // the last triangle then refers to the original position 4, which sits at working
    // position 3 by then.
    TFuellFlaeche f;
    SetzeUmriss(f, {{0, 0}, {10, 0}, {10, 1}, {5, 20}, {0, 1}});
    int n = 0;
    EXPECT_EQ(Fuelle(f, 0, true, &n), (std::vector<Tripel>{{3, 2, 4}, {1, 0, 2}, {0, 4, 2}}));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(Fuelle(f, 0, false), (std::vector<Tripel>{{3, 4, 2}, {1, 2, 0}, {0, 2, 4}}));
}

TEST(FuellFlaecheDreiecke, HaengtAnVorhandeneDreieckeAn) {
    TFuellFlaeche f;
    SetzeUmriss(f, {{0, 0}, {4, 0}, {4, 2}, {0, 2}});
    std::vector<NetzDreieck> dreiecke = {{9, 8, 7}};
    AufzeichnenderMelder melder;
    EXPECT_EQ(f.Fuellen(dreiecke, 3, true, melder), 2);
    EXPECT_EQ(AlsTripel(dreiecke), (std::vector<Tripel>{{9, 8, 7}, {4, 3, 5}, {3, 6, 5}}));
    EXPECT_TRUE(melder.eintraege.empty());
}

TEST(FuellFlaecheDreiecke, WenigerAlsDreiPunkteGebenKeinDreieck) {
    for (int anzahl = 0; anzahl < 3; ++anzahl) {
        TFuellFlaeche f;
        std::vector<XZ> umriss;
        for (int i = 0; i < anzahl; ++i) umriss.push_back({2.0 * i, 1.0});
        SetzeUmriss(f, umriss);
        std::vector<NetzDreieck> dreiecke = {{1, 2, 3}};
        AufzeichnenderMelder melder;
        EXPECT_EQ(f.Fuellen(dreiecke, 0, true, melder), 0);
        EXPECT_EQ(AlsTripel(dreiecke), (std::vector<Tripel>{{1, 2, 3}}));
        EXPECT_TRUE(melder.eintraege.empty());
    }
}

TEST(FuellFlaecheDreiecke, BasisAusserhalbDesBereichsWirdAbgelehntOhneEtwasZuAendern) {
    TFuellFlaeche f;
    SetzeUmriss(f, {{0, 0}, {3, 0}, {0, 2}});
    f.Punkte.Punkt(0)->U = 42;
    AufzeichnenderMelder melder;
    std::vector<NetzDreieck> dreiecke;
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    EXPECT_THROW(f.Fuellen(dreiecke, -1, true, melder), std::out_of_range);
    EXPECT_THROW(f.Fuellen(dreiecke, kMax - 1, true, melder), std::out_of_range);
    EXPECT_TRUE(dreiecke.empty());
    EXPECT_EQ(f.Punkte.Punkt(0)->U, 42.0);

    // The largest basis whose last index still fits.
    EXPECT_EQ(f.Fuellen(dreiecke, kMax - 2, true, melder), 1);
    EXPECT_EQ(AlsTripel(dreiecke), (std::vector<Tripel>{{kMax - 2, kMax, kMax - 1}}));
}

// ---------------------------------------------------------------------------------------
// Properties on random outlines

// n points on an ellipse at sorted random angles: strictly convex, counter-clockwise.
std::vector<XZ> KonvexerUmriss(std::mt19937& zufall, int n) {
    std::uniform_real_distribution<double> winkel(0, 2 * std::numbers::pi);
    std::uniform_real_distribution<double> achse(0.5, 20);
    std::uniform_real_distribution<double> lage(-50, 50);
    std::vector<double> w;
    while (static_cast<int>(w.size()) < n) {
        const double neu = winkel(zufall);
        // Keep neighbours apart so that no corner is almost straight in floating point.
        if (std::none_of(w.begin(), w.end(), [&](double a) { return std::abs(a - neu) < 1e-3; }))
            w.push_back(neu);
    }
    std::sort(w.begin(), w.end());
    const double ax = achse(zufall), az = achse(zufall), cx = lage(zufall), cz = lage(zufall);
    std::vector<XZ> p;
    for (double a : w) p.push_back({cx + ax * std::cos(a), cz + az * std::sin(a)});
    return p;
}

// A star-shaped outline around a random centre: simple, mostly not convex, and
// counter-clockwise.
std::vector<XZ> SternUmriss(std::mt19937& zufall, int n) {
    std::uniform_real_distribution<double> radius(0.2, 10);
    std::uniform_real_distribution<double> zittern(-0.3, 0.3);
    std::vector<XZ> p;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * (i + 0.5 + zittern(zufall)) / n;
        const double r = radius(zufall);
        p.push_back({3 + r * std::cos(a), -1 + r * std::sin(a)});
    }
    return p;
}

TEST(FuellFlaecheEigenschaften, KonvexeUmrisseWerdenGenauTrianguliert) {
    std::mt19937 zufall(20240611);
    std::uniform_int_distribution<int> anzahl(3, 40);
    for (int fall = 0; fall < 200; ++fall) {
        const int n = anzahl(zufall);
        std::vector<XZ> umriss = KonvexerUmriss(zufall, n);
        const bool gegenUhr = fall % 2 == 0;
        if (!gegenUhr) std::reverse(umriss.begin(), umriss.end());
        TFuellFlaeche f;
        SetzeUmriss(f, umriss);
        const double flaeche = UmrissFlaeche(f.Punkte);
        ASSERT_EQ(flaeche > 0, gegenUhr);
        for (bool umlauf : {true, false}) {
            SCOPED_TRACE("Fall " + std::to_string(fall) + ", n " + std::to_string(n) +
                         (umlauf ? ", Umlauf" : ", gegen Umlauf"));
            const std::int32_t basis = 5 * fall;
            int ergebnis = 0;
            const auto dreiecke = Fuelle(f, basis, umlauf, &ergebnis);
            EXPECT_EQ(ergebnis, n - 2);
            ErwarteGueltigeIndizes(dreiecke, n, basis);
            // Umlauf true writes every triangle against the outline's winding, false
            // with it; in a convex outline no triangle is flat or flipped, so their
            // areas add up to the outline's.
            const double richtung = (flaeche > 0) == umlauf ? -1.0 : 1.0;
            double summe = 0;
            for (const Tripel& d : dreiecke) {
                const double a = DreieckFlaeche(f.Punkte, d, basis);
                EXPECT_GT(a * richtung, 0);
                summe += std::abs(a);
            }
            EXPECT_NEAR(summe, std::abs(flaeche), 1e-9 * std::abs(flaeche));
        }
    }
}

TEST(FuellFlaecheEigenschaften, BeliebigeUmrisseGebenNMinusZweiDreieckeMitGleicherFlaechenbilanz) {
    std::mt19937 zufall(77);
    std::uniform_int_distribution<int> anzahl(3, 60);
    for (int fall = 0; fall < 200; ++fall) {
        const int n = anzahl(zufall);
        std::vector<XZ> umriss = SternUmriss(zufall, n);
        if (fall % 3 == 0) std::reverse(umriss.begin(), umriss.end());
        TFuellFlaeche f;
        SetzeUmriss(f, umriss);
        SCOPED_TRACE("Fall " + std::to_string(fall) + ", n " + std::to_string(n));
        const double flaeche = UmrissFlaeche(f.Punkte);

        int ergebnis = 0;
        const auto mit = Fuelle(f, 11, true, &ergebnis);
        EXPECT_EQ(ergebnis, n - 2);
        ErwarteGueltigeIndizes(mit, n, 11);
        // Each clipped triangle is (corner, previous, next) of the outline left at that
        // moment, and the outline's area is that triangle's plus the rest's whatever the
        // corner, so the signed areas balance even where a concave outline overlaps.
        double summe = 0;
        for (const Tripel& d : mit) summe += DreieckFlaeche(f.Punkte, d, 11);
        EXPECT_NEAR(summe, -flaeche, 1e-9 * (1 + std::abs(flaeche)));

        // The other winding: the same triangles, ear first, the other two swapped.
        const auto gegen = Fuelle(f, 11, false);
        ASSERT_EQ(gegen.size(), mit.size());
        for (std::size_t i = 0; i < mit.size(); ++i)
            EXPECT_EQ(gegen[i], (Tripel{mit[i][0], mit[i][2], mit[i][1]}));

        // The fill works on copies: the outline's positions stay.
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(f.Punkte.Punkt(i)->X, umriss[static_cast<std::size_t>(i)].x);
            EXPECT_EQ(f.Punkte.Punkt(i)->Z, umriss[static_cast<std::size_t>(i)].z);
        }
    }
}

// ---------------------------------------------------------------------------------------
// Degenerate outlines

TEST(FuellFlaecheEntartet, NadelOhneSehneWirdZuerstGeschnitten) {
    // A 2 x 2 square with a needle up from the middle of its top edge: corner 4 goes out
    // and comes straight back, so its neighbours 3 and 5 coincide.
    TFuellFlaeche f;
    SetzeUmriss(f, {{0, 0}, {2, 0}, {2, 2}, {1, 2}, {1, 5}, {1, 2}, {0, 2}});
    const auto dreiecke = Fuelle(f, 0, true);
    ASSERT_EQ(dreiecke.size(), 5u);
    EXPECT_EQ(dreiecke[0], (Tripel{4, 3, 5}));
    ErwarteGueltigeIndizes(dreiecke, 7, 0);
    // With the needle gone the rest covers the square exactly: nothing flipped, nothing
    // sticking out.
    double summe = 0;
    for (const Tripel& d : dreiecke) {
        const double a = DreieckFlaeche(f.Punkte, d, 0);
        EXPECT_LE(a, 1e-12);
        summe += std::abs(a);
    }
    EXPECT_NEAR(summe, 4.0, 1e-12);
}

TEST(FuellFlaecheEntartet, GleichePunkteUndGeradeUmrisseBleibenEndlich) {
    const std::vector<std::vector<XZ>> faelle = {
        {{1, 1}, {1, 1}, {1, 1}, {1, 1}, {1, 1}},          // all equal
        {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {1.5, 1.5}},      // on one line, folding back
        {{0, 0}, {0, 0}, {4, 0}, {4, 0}, {4, 2}, {0, 2}},  // repeated corners
        {{0, 0}, {5, 0}, {0, 0}, {5, 0}},                  // back and forth
    };
    for (const auto& umriss : faelle) {
        TFuellFlaeche f;
        SetzeUmriss(f, umriss);
        const int n = static_cast<int>(umriss.size());
        int ergebnis = 0;
        const auto dreiecke = Fuelle(f, 2, true, &ergebnis);
        EXPECT_EQ(ergebnis, n - 2);
        ErwarteGueltigeIndizes(dreiecke, n, 2);
        for (int i = 0; i < n; ++i) {
            EXPECT_TRUE(std::isfinite(f.Punkte.Punkt(i)->U));
            EXPECT_TRUE(std::isfinite(f.Punkte.Punkt(i)->V));
        }
    }
}

TEST(FuellFlaecheEntartet, NichtEndlicheOderRiesigeKoordinatenGebenTrotzdemGueltigeIndizes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::vector<XZ>> faelle = {
        {{0, 0}, {4, 0}, {nan, 2}, {0, 2}, {-1, 1}},
        {{0, 0}, {1e300, 0}, {1e300, 1e300}, {-1e300, 1e300}},
        {{0, 0}, {1e-200, 0}, {1e-200, 1e-200}, {0, 1e-200}, {-1e-200, 0}},
    };
    for (const auto& umriss : faelle) {
        TFuellFlaeche f;
        SetzeUmriss(f, umriss);
        const int n = static_cast<int>(umriss.size());
        int ergebnis = 0;
        const auto dreiecke = Fuelle(f, 0, false, &ergebnis);
        EXPECT_EQ(ergebnis, n - 2);
        ErwarteGueltigeIndizes(dreiecke, n, 0);
    }
}

// ---------------------------------------------------------------------------------------
// Ear keys

TPunkt Vektor(double x, double z, double y = 0) {
    TPunkt p;
    p.X = x;
    p.Y = y;
    p.Z = z;
    return p;
}

TEST(FuellFlaecheSchluessel, KonvexGeradeUndUeberstumpf) {
    const double wurzel2 = std::sqrt(2.0);
    // The corner (1, 0) of the unit square run counter-clockwise: in along +X, out along
    // +Z. Y plays no part.
    EXPECT_DOUBLE_EQ(TFuellFlaeche::OhrSchluessel(Vektor(1, 0, 9), Vektor(0, 1, -7), Vektor(1, 1, 3)),
                     wurzel2);
    // The same corner run clockwise is reflex from the outline's point of view.
    EXPECT_DOUBLE_EQ(TFuellFlaeche::OhrSchluessel(Vektor(0, 1), Vektor(1, 0), Vektor(1, 1)), -wurzel2);
    // A 45-degree corner is sharper and gets the larger key (1 + sqrt 2) / 1.
    EXPECT_DOUBLE_EQ(TFuellFlaeche::OhrSchluessel(Vektor(1, 0), Vektor(-1, 1), Vektor(0, 1)), 1 + wurzel2);
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(1, 0), Vektor(2, 0), Vektor(3, 0)), 0.0);
}

TEST(FuellFlaecheSchluessel, ImmerEndlich) {
    const double g = TFuellFlaeche::kSchluesselGrenze;
    // Zero chord: a needle and three equal points.
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(0, 3), Vektor(0, -3), Vektor(0, 0)), g);
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(0, 0), Vektor(0, 0), Vektor(0, 0, 5)), g);
    // Almost a needle, out of the outline and into it: the bound on either side.
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(1, 0), Vektor(-1, 1e-12), Vektor(0, 1e-12)), g);
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(1, 0), Vektor(-1, -1e-12), Vektor(0, -1e-12)), -g);
    // Undefined quotients become a straight corner.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(nan, 0), Vektor(0, 1), Vektor(1, 1)), 0.0);
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(1e300, 0), Vektor(0, 1e300), Vektor(1e300, 1e300)), 0.0);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(TFuellFlaeche::OhrSchluessel(Vektor(inf, 0), Vektor(0, 1), Vektor(inf, 1)), 0.0);
}

// ---------------------------------------------------------------------------------------
// Candidate order

TEST(FuellFlaecheSortierung, VergleichSchneidetDasHundertfacheAbUndBleibtImBereich) {
    auto vergleich = [](double x, double y) { return TFuellFlaeche::VergleicheWert({0, x}, {1, y}); };
    EXPECT_EQ(vergleich(1.0, 1.0), 0);
    EXPECT_EQ(vergleich(1.0, 0.995), 0);
    EXPECT_EQ(vergleich(0.995, 1.0), 0);
    EXPECT_EQ(vergleich(0.5, 0.48), 2);
    EXPECT_EQ(vergleich(0.48, 0.5), -2);
    EXPECT_EQ(vergleich(-3.0, 4.5), -750);
    const double g = TFuellFlaeche::kSchluesselGrenze;
    EXPECT_EQ(vergleich(g, -g), INT_MAX);
    EXPECT_EQ(vergleich(-g, g), INT_MIN);
    EXPECT_EQ(vergleich(1e300, -1e300), INT_MAX);
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(vergleich(inf, inf), 0);
    EXPECT_EQ(vergleich(std::numeric_limits<double>::quiet_NaN(), 1.0), 0);
}

std::vector<std::int32_t> Indizes(const std::vector<TFFrec>& liste) {
    std::vector<std::int32_t> aus;
    for (const TFFrec& r : liste) aus.push_back(r.Index);
    return aus;
}

TEST(FuellFlaecheSortierung, GleicheSchluesselEndenNachDerPivotwahl) {
    // Four equal keys: the first round swaps 0 with 3 and 1 with 2, the left half is
    // swapped back, the right half swapped again, leaving corner 1 last.
    std::vector<TFFrec> liste = {{0, 1.5}, {1, 1.5}, {2, 1.5}, {3, 1.5}};
    TFuellFlaeche::Sortieren(liste);
    EXPECT_EQ(Indizes(liste), (std::vector<std::int32_t>{2, 3, 0, 1}));

    // Two pairs: the pivot is the first low key, which sends the first high key to the
    // end in the first round; the right half's pivot is then the second high key, and
    // the swap of the two high keys leaves the second last.
    liste = {{0, 1.5}, {1, 1.2}, {2, 1.5}, {3, 1.2}};
    TFuellFlaeche::Sortieren(liste);
    EXPECT_EQ(Indizes(liste), (std::vector<std::int32_t>{3, 1, 0, 2}));

    // Keys within 0.01 of each other behave the same, whatever their exact order.
    liste = {{0, 1.342}, {1, 1.341}, {2, 1.340}, {3, 1.344}};
    TFuellFlaeche::Sortieren(liste);
    EXPECT_EQ(Indizes(liste), (std::vector<std::int32_t>{2, 3, 0, 1}));

    std::vector<TFFrec> leer;
    TFuellFlaeche::Sortieren(leer);
    EXPECT_TRUE(leer.empty());
    std::vector<TFFrec> eins = {{5, 2.0}};
    TFuellFlaeche::Sortieren(eins);
    EXPECT_EQ(Indizes(eins), (std::vector<std::int32_t>{5}));
}

TEST(FuellFlaecheSortierung, DeutlichVerschiedeneSchluesselWerdenAufsteigendSortiert) {
    std::mt19937 zufall(5);
    for (int fall = 0; fall < 100; ++fall) {
        // Distinct multiples of 0.05, so every pair compares unequal.
        std::vector<TFFrec> liste;
        const int n = 1 + fall % 30;
        for (int i = 0; i < n; ++i) liste.push_back({i, 0.05 * i - 0.7});
        std::shuffle(liste.begin(), liste.end(), zufall);
        TFuellFlaeche::Sortieren(liste);
        for (int i = 0; i < n; ++i) EXPECT_EQ(liste[static_cast<std::size_t>(i)].Index, i);
    }
}

TEST(FuellFlaecheSortierung, LetzterIstDerLetzteDerVollenSortierung) {
    // Keys from a few values only, so that many compare equal and the pivot choice
    // decides; the selection must find the same record as the whole sort.
    std::mt19937 zufall(77);
    std::uniform_int_distribution<int> stufe(0, 4);
    std::uniform_real_distribution<double> fein(0, 0.009);
    for (int fall = 0; fall < 2000; ++fall) {
        const int n = 1 + fall % 60;
        std::vector<TFFrec> liste;
        for (int i = 0; i < n; ++i)
            liste.push_back({i, 0.5 * stufe(zufall) + (fall % 3 == 0 ? fein(zufall) : 0)});
        std::vector<TFFrec> sortiert = liste;
        TFuellFlaeche::Sortieren(sortiert);
        EXPECT_EQ(TFuellFlaeche::Letzter(liste), sortiert.back().Index) << "fall " << fall;
    }
    std::vector<TFFrec> leer;
    EXPECT_THROW(TFuellFlaeche::Letzter(leer), std::invalid_argument);
}

// The fill as it was first written: every key afresh in every pass and the whole list
// sorted. The document depends on the triangles' order, so the fill must give exactly
// these, however it finds them.
std::vector<Tripel> FuelleNachVorlage(const std::vector<XZ>& umriss, std::int32_t basis, bool umlauf) {
    const int n = static_cast<int>(umriss.size());
    std::vector<TPunkt> w(umriss.size());
    for (int i = 0; i < n; ++i) {
        w[static_cast<std::size_t>(i)].X = umriss[static_cast<std::size_t>(i)].x;
        w[static_cast<std::size_t>(i)].Z = umriss[static_cast<std::size_t>(i)].z;
        w[static_cast<std::size_t>(i)].Nummer = i;
    }
    std::vector<Tripel> aus;
    if (n < 3) return aus;
    auto nr = [&](int k) { return w[static_cast<std::size_t>(k)].Nummer + basis; };
    for (int m = n; m >= 4; --m) {
        std::vector<TFFrec> kandidaten;
        for (int k = 0; k < m; ++k) {
            const TPunkt& vor = w[static_cast<std::size_t>(k == 0 ? m - 1 : k - 1)];
            const TPunkt& p = w[static_cast<std::size_t>(k)];
            const TPunkt& nach = w[static_cast<std::size_t>(k == m - 1 ? 0 : k + 1)];
            TPunkt a, b, sehne;
            p.Differenz(vor, a);
            nach.Differenz(p, b);
            nach.Differenz(vor, sehne);
            kandidaten.push_back({k, TFuellFlaeche::OhrSchluessel(a, b, sehne)});
        }
        TFuellFlaeche::Sortieren(kandidaten);
        const int k = kandidaten.back().Index;
        const int prev = k == 0 ? m - 1 : k - 1, next = k == m - 1 ? 0 : k + 1;
        aus.push_back(umlauf ? Tripel{nr(k), nr(prev), nr(next)} : Tripel{nr(k), nr(next), nr(prev)});
        w.erase(w.begin() + k);
    }
    aus.push_back(umlauf ? Tripel{nr(0), nr(2), nr(1)} : Tripel{nr(0), nr(1), nr(2)});
    return aus;
}

TEST(FuellFlaecheEigenschaften, GleicheDreieckeInGleicherReihenfolgeWieDieVolleSortierung) {
    std::mt19937 zufall(314159);
    std::uniform_int_distribution<int> anzahl(3, 120);
    std::uniform_int_distribution<int> raster(-6, 6);
    for (int fall = 0; fall < 300; ++fall) {
        const int n = anzahl(zufall);
        std::vector<XZ> umriss;
        switch (fall % 4) {
            case 0:
                umriss = KonvexerUmriss(zufall, n);
                break;
            case 1:
                umriss = SternUmriss(zufall, n);
                break;
            case 2:  // on a coarse grid: repeated points, straight corners, equal keys
                for (int i = 0; i < n; ++i)
                    umriss.push_back({double(raster(zufall)), double(raster(zufall))});
                break;
            default:  // a road's cross-section: a flat top and a stepped bottom, clockwise
                for (int i = 0; i < n / 2; ++i) umriss.push_back({0.5 * i, 0});
                for (int i = n - n / 2 - 1; i >= 0; --i)
                    umriss.push_back({0.5 * i * (n / 2) / std::max(1, n - n / 2), -1.0 - (i % 3) * 0.25});
                break;
        }
        const bool umlauf = fall % 2 == 0;
        TFuellFlaeche f;
        SetzeUmriss(f, umriss);
        EXPECT_EQ(Fuelle(f, 7, umlauf), FuelleNachVorlage(umriss, 7, umlauf)) << "fall " << fall;
    }
}

// ---------------------------------------------------------------------------------------
// Texture coordinates

// Around the centroid (10, 3): corner 0 lies 2.5 m to its -X side at its height,
// corner 1 1 m below it.
const std::vector<XZ> kRaute = {{7.5, 3}, {10, 2}, {12.5, 3}, {10, 4}};

TEST(FuellFlaecheTextur, EbeneProjektionUmDenSchwerpunkt) {
    TFuellFlaeche f;
    SetzeUmriss(f, kRaute);
    Fuelle(f, 0, true);
    EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->U, 0.5);
    EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->V, 0.0);

    f.TexturBreite = 5;
    f.TexturHoehe = 2;
    Fuelle(f, 0, true);
    const double erwartetU[] = {0.5, 0.0, -0.5, 0.0};
    const double erwartetV[] = {0.0, 0.5, 0.0, -0.5};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(i)->U, erwartetU[i]) << i;
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(i)->V, erwartetV[i]) << i;
    }
}

TEST(FuellFlaecheTextur, TauschHBVertauschtDieAchsen) {
    TFuellFlaeche f;
    f.TauschHB = true;
    SetzeUmriss(f, kRaute);
    Fuelle(f, 0, true);
    EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->U, 0.0);
    EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->V, 0.5);

    // Width now runs up the face (Z), height across it (X).
    f.TexturBreite = 5;
    f.TexturHoehe = 2;
    Fuelle(f, 0, true);
    const double erwartetU[] = {0.0, 0.2, 0.0, -0.2};
    const double erwartetV[] = {1.25, 0.0, -1.25, 0.0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(i)->U, erwartetU[i]) << i;
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(i)->V, erwartetV[i]) << i;
    }
}

TEST(FuellFlaecheTextur, GroesseNullLaesstDieseAchseAufNull) {
    for (bool tausch : {false, true}) {
        TFuellFlaeche f;
        f.TauschHB = tausch;
        SetzeUmriss(f, kRaute);
        f.TexturBreite = 0;
        f.TexturHoehe = 2;
        Fuelle(f, 0, true);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(f.Punkte.Punkt(i)->U, 0.0) << i;
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(1)->V, tausch ? 0.0 : 0.5);
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->V, tausch ? 1.25 : 0.0);

        f.TexturBreite = 5;
        f.TexturHoehe = 0;
        Fuelle(f, 0, true);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(f.Punkte.Punkt(i)->V, 0.0) << i;
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->U, tausch ? 0.0 : 0.5);
        EXPECT_DOUBLE_EQ(f.Punkte.Punkt(1)->U, tausch ? 0.2 : 0.0);
        EXPECT_EQ(f.TexturHoehe, 0.0);  // the setting itself stays as the user gave it
    }
}

TEST(FuellFlaecheTextur, AuchBeiWenigerAlsDreiPunktenGesetzt) {
    TFuellFlaeche f;
    SetzeUmriss(f, {{-1, 0}, {4, 0}});
    Fuelle(f, 0, true);
    EXPECT_DOUBLE_EQ(f.Punkte.Punkt(0)->U, 0.5);
    EXPECT_DOUBLE_EQ(f.Punkte.Punkt(1)->U, -0.5);
}

// ---------------------------------------------------------------------------------------
// Emptying, defaults, parameter file

TEST(FuellFlaecheLeeren, LeertDenUmrissUndLaesstDieEinstellungen) {
    TFuellFlaeche f;
    f.Leeren();
    EXPECT_EQ(f.Punkte.AnzahlPunkte(), 0);

    f.Textur = "stirn.dds";
    f.TexturBreite = 3;
    f.TexturHoehe = 4;
    f.TauschHB = true;
    SetzeUmriss(f, kRaute);
    ASSERT_EQ(f.Punkte.AnzahlPunkte(), 4);
    Fuelle(f, 0, true);
    f.Leeren();
    EXPECT_EQ(f.Punkte.AnzahlPunkte(), 0);
    EXPECT_EQ(f.Textur, "stirn.dds");
    EXPECT_EQ(f.TexturBreite, 3.0);
    EXPECT_EQ(f.TexturHoehe, 4.0);
    EXPECT_TRUE(f.TauschHB);
    EXPECT_TRUE(Fuelle(f, 0, true).empty());
}

TEST(FuellFlaecheIni, VorgabenBeimErzeugenUndBeimLesen) {
    TFuellFlaeche f;
    EXPECT_EQ(f.Punkte.AnzahlPunkte(), 0);
    EXPECT_EQ(f.TexturHoehe, 5.0);
    EXPECT_EQ(f.TexturBreite, 5.0);
    EXPECT_EQ(f.Textur, "");
    EXPECT_FALSE(f.TauschHB);

    // A file without the section: the file's own defaults, not those of creation.
    f.Textur = "alt.dds";
    f.TauschHB = true;
    Lesen(IniDatei::AusText("[FuellFlaeche]\r\nerzeugen=1\r\n"), f);
    EXPECT_EQ(f.Textur, "");
    EXPECT_EQ(f.TexturHoehe, 2.0);
    EXPECT_EQ(f.TexturBreite, 2.0);
    EXPECT_FALSE(f.TauschHB);
}

TEST(FuellFlaecheIni, HinUndZurueckMitBeidenTrennern) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        TFuellFlaeche f;
        f.Textur = "textures/stirn flaeche.dds";
        f.TexturHoehe = 2.75;
        f.TexturBreite = 0.125;
        f.TauschHB = true;
        IniDatei ini = IniDatei::AusText("[FuellFlaeche]\r\nerzeugen=1\r\n");
        Schreiben(ini, f);
        const std::string t(1, trenner);
        EXPECT_EQ(ini.Inhalt(),
                  "[FuellFlaeche]\r\nerzeugen=1\r\nTextur=textures/stirn flaeche.dds\r\n"
                  "TexturHoehe=2" +
                      t + "75\r\nTexturBreite=0" + t + "125\r\nTauschHB=1\r\n");

        TFuellFlaeche zurueck;
        Lesen(IniDatei::AusText(ini.Inhalt()), zurueck);
        EXPECT_EQ(zurueck.Textur, f.Textur);
        EXPECT_EQ(zurueck.TexturHoehe, 2.75);
        EXPECT_EQ(zurueck.TexturBreite, 0.125);
        EXPECT_TRUE(zurueck.TauschHB);
    }
    // A file written with the other separator reads the same.
    MitDezimaltrenner komma(',');
    TFuellFlaeche f;
    Lesen(IniDatei::AusText("[FuellFlaeche]\nTexturHoehe=1.5\nTexturBreite=2,5\nTauschHB=0\n"), f);
    EXPECT_EQ(f.TexturHoehe, 1.5);
    EXPECT_EQ(f.TexturBreite, 2.5);
    EXPECT_FALSE(f.TauschHB);
}

TEST(FuellFlaecheIni, KeineZahlLaesstAllesWieEsWar) {
    TFuellFlaeche f;
    f.Textur = "alt.dds";
    f.TexturHoehe = 7;
    f.TexturBreite = 8;
    const IniDatei ini =
        IniDatei::AusText("[FuellFlaeche]\nTextur=neu.dds\nTexturHoehe=1\nTexturBreite=breit\nTauschHB=1\n");
    EXPECT_THROW(Lesen(ini, f), KonvertierungsFehler);
    EXPECT_EQ(f.Textur, "alt.dds");
    EXPECT_EQ(f.TexturHoehe, 7.0);
    EXPECT_EQ(f.TexturBreite, 8.0);
    EXPECT_FALSE(f.TauschHB);
}

}  // namespace
}  // namespace pavolant
