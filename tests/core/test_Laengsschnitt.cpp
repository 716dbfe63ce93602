// The road measured against the ground: a straight level road over a tilted plane, whose
// fill and cut are known in closed form, a ridge between two cross-sections, and the
// report without a ground.
#include "generator/Strassenbau.h"

#include "model/Laengsschnitt.h"
#include "model/Strassenfelder.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;

namespace {

// A ground of 129 x 129 pixels a metre apart, centred on the origin, a centimetre a
// pixel unit: the height at pixel centre (x, z) is hoehe(x, z) metres (to the centimetre).
Gelaende Boden(const std::function<double(double, double)>& hoehe) {
    constexpr int n = 129;
    std::shared_ptr<std::uint16_t[]> werte(new std::uint16_t[n * n]);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            werte[j * n + i] = static_cast<std::uint16_t>(std::lround(100 * hoehe(i - 64, j - 64)));
    Gelaende g;
    g.Raster = {n, n, werte};
    g.HeightScale = 655.35;
    g.UnitsPerPixel = 1;
    return g;
}

// A straight road 6 m wide at Y = 10 from Z = -50 to Z = +50 (heading +Z, so its right
// side is -X), with a right border 2 m out and level when `rand`.
struct Gerade {
    AufzeichnenderMelder melder;
    TRandPunkte randR{"right Border", melder};
    TRandPunkte randL{"left Border", melder};
    TFuellFlaeche fuellung;
    Strasse strasse = StrasseAusFeldern(Startwerte(), {}, randR, randL, fuellung);

    explicit Gerade(bool rand) {
        TSplinePunkte punkte;
        punkte.Punkt(0)->Y = 10;
        punkte.Punkt(0)->Z = -50;
        punkte.Punkt(1)->Y = 10;
        punkte.Punkt(1)->Z = 50;
        strasse.Punkte = PunkteAus(punkte);
        strasse.Breite = 6;
        strasse.RandR.An = rand;
        strasse.RandL.An = false;
        if (rand) {
            strasse.RandR.TexLaenge = 20;
            strasse.RandR.TexBreite = 2;
            TRandPunkte& r = strasse.ProfilR;
            r.Rechts = true;
            r.Aktiv = true;
            r.Segment(1)->Breite = 2;
            r.Segment(1)->Winkel = 0;
            r.SegmentAktualisieren(1);
            r.Berechnen();
        }
    }

    Bauergebnis Bauen(const Gelaende* boden) {
        Zufallsgenerator zufall;
        Bauvorgaben v;
        v.Boden = boden;
        return pavolant::Bauen(strasse, zufall, melder, v);
    }
};

}  // namespace

// Ground 10 + 0.1 z + 0.05 x under a level road at 10: the road lies above the ground
// before the middle (station 50) and below it after. The right outer edge (x = -5, the
// border's end) is 0.25 m higher above the ground than the centre, the left edge (x = 3)
// 0.15 m lower; so the largest fill is 0.1 * 50 + 0.25 at station 0 on the right, the
// largest cut 0.1 * 50 + 0.15 at station 100 on the left. Without the border the right
// edge is at x = -3 and the fill 5.15.
TEST(Laengsschnitt, GeneigteEbeneUnterEinerGeradenStrasse) {
    const Gelaende boden = Boden([](double x, double z) { return 10 + 0.1 * z + 0.05 * x; });
    const struct {
        bool rand;
        double fill;
    } faelle[] = {{true, 5.25}, {false, 5.15}};
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.rand);
        Gerade g(f.rand);
        const Bauergebnis e = g.Bauen(&boden);
        ASSERT_TRUE(e.Vollstaendig);
        ASSERT_TRUE(e.Gelaendeschnitt);
        const Laengsschnitt& s = *e.Gelaendeschnitt;
        const auto fill = s.GroessteAufschuettung(), cut = s.GroessterAbtrag();
        ASSERT_TRUE(fill && cut);
        EXPECT_NEAR(fill->Wert, f.fill, 1e-6);
        EXPECT_NEAR(fill->Station, 0, 1e-9);
        EXPECT_EQ(fill->Linie, Schnittlinie::Rechts);
        EXPECT_NEAR(cut->Wert, 5.15, 1e-6);
        EXPECT_NEAR(cut->Station, 100, 1e-9);
        EXPECT_EQ(cut->Linie, Schnittlinie::Links);
        // Every record agrees with the plane: the centre's fill is 0.1 (50 - station).
        ASSERT_GT(s.Punkte().size(), 20u);  // cut finer than the cross-sections (35 m apart)
        for (const Schnittpunkt& p : s.Punkte()) {
            ASSERT_TRUE(p.Boden[0] && p.Boden[1] && p.Boden[2]);
            EXPECT_NEAR(p.Strasse[0] - *p.Boden[0], 0.1 * (50 - p.Station), 1e-6) << p.Station;
            EXPECT_NEAR(*p.Boden[2] - *p.Boden[1], 0.05 * (f.rand ? 8 : 6), 1e-6) << p.Station;
        }
        // The report gains exactly the one line, in the memo's figures.
        const Bauergebnis ohne = g.Bauen(nullptr);
        EXPECT_FALSE(ohne.Gelaendeschnitt);
        std::vector<std::string> memo = e.Memo;
        const std::string zeile = std::string("Terrain: largest fill = ") + (f.rand ? "5.2500" : "5.1500") +
                                  " m at 0.0000 m (right edge)  --  largest cut = 5.1500 m at 100.0000 m "
                                  "(left edge)";
        ASSERT_EQ(std::erase(memo, zeile), 1u);
        EXPECT_EQ(memo, ohne.Memo);
    }
}

// A ridge 2 m above the road across it between two cross-sections (which lie 35 m
// apart here), on ground 1 m below the road elsewhere: the section sees the cut there
// although no cross-section does, and keeps the ground's gaps outside the terrain.
TEST(Laengsschnitt, GratZwischenZweiQuerschnitten) {
    const Gelaende boden = Boden([](double, double z) { return std::fabs(z + 33) <= 1 ? 12 : 9; });
    Gerade g(false);
    const Bauergebnis e = g.Bauen(&boden);
    ASSERT_TRUE(e.Vollstaendig && e.Gelaendeschnitt && e.Geometrie);
    for (const Planlage& m : e.Geometrie->Mittellinie) ASSERT_GT(std::fabs(m.Z - 17), 5);  // no section near
    const auto cut = e.Gelaendeschnitt->GroessterAbtrag();
    ASSERT_TRUE(cut);
    EXPECT_NEAR(cut->Wert, 2, 1e-6);
    EXPECT_NEAR(cut->Station, 17, 1);
    EXPECT_NEAR(e.Gelaendeschnitt->GroessteAufschuettung()->Wert, 1, 1e-6);

    // The same road 100 m further east: no part of it lies over the terrain.
    Gerade weit(false);
    for (TSplinePkt& p : weit.strasse.Punkte) p.X = 100;
    const Bauergebnis w = weit.Bauen(&boden);
    ASSERT_TRUE(w.Gelaendeschnitt);
    EXPECT_FALSE(w.Gelaendeschnitt->UeberGelaende());
    EXPECT_FALSE(w.Gelaendeschnitt->GroessteAufschuettung());
    EXPECT_EQ(std::count(w.Memo.begin(), w.Memo.end(), "Terrain: the road lies nowhere over the terrain"), 1);
}

// A ground of a tenth of a metre a pixel asks for far more parts than the walk took
// samples: the section keeps to one record a sample, so the bound before the walk holds,
// and a limit of the whole road's bound with a ground lets the road through.
TEST(Laengsschnitt, HoechstensEinEintragJeProbe) {
    Gelaende boden = Boden([](double, double z) { return 10 + 0.1 * z; });
    boden.UnitsPerPixel = 0.1;
    Gerade g(true);
    const double proben = 2 * 100.0 + 2;
    const Speicherbedarf ganz = StrassenHoechstbedarf(
        proben, g.strasse.ProfilR.AnzahlSegmente(), 0,
        g.strasse.FuellenAn ? g.strasse.ProfilR.AnzahlSegmente() + g.strasse.ProfilL.AnzahlSegmente() : 0,
        true);
    Zufallsgenerator zufall;
    Bauvorgaben v;
    v.Boden = &boden;
    v.SpeicherGrenze = ganz.Bytes;
    const Bauergebnis e = Bauen(g.strasse, zufall, g.melder, v);
    ASSERT_TRUE(e.Vollstaendig && e.Gelaendeschnitt);
    const Laengsschnitt& s = *e.Gelaendeschnitt;
    EXPECT_GT(s.Punkte().size(), 150u);  // far finer than the few cross-sections
    EXPECT_LE(s.Punkte().size(), static_cast<std::size_t>(proben));
    EXPECT_LE(s.Bytes(), LaufHoechstbedarf(proben, true).Bytes - LaufHoechstbedarf(proben).Bytes);
}
