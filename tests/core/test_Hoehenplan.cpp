// The plot "Road and terrain" laid out: the areas of fill and cut on a known case, the
// marks of the largest ones, the ticks' steps, and a ground that ends and begins again.
#include "ui/Hoehenplan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace pavolant;

namespace {

// A 201 x 201 ground, a metre a pixel, a centimetre a unit, at height hoehe(x, z).
Gelaende Boden(double (*hoehe)(double, double)) {
    constexpr int n = 201;
    std::shared_ptr<std::uint16_t[]> werte(new std::uint16_t[n * n]);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            werte[j * n + i] = static_cast<std::uint16_t>(std::lround(100 * hoehe(i - 100, j - 100)));
    Gelaende g;
    g.Raster = {n, n, werte};
    g.HeightScale = 655.35;
    return g;
}

// The road's three lines through the given centre points (level, edges 3 m to each side
// in X), each station the distance along them; a cross-section every 10 m.
Laengsschnitt Schnitt(const Gelaende& boden, const std::vector<Ort>& mitte) {
    Laengsschnitt s;
    double station = 0;
    for (std::size_t i = 0; i < mitte.size(); ++i) {
        if (i > 0) station += std::hypot(mitte[i].X - mitte[i - 1].X, mitte[i].Z - mitte[i - 1].Z);
        const Ort& m = mitte[i];
        s.Anfuegen(station, {m, Ort{m.X - 3, m.Y, m.Z}, Ort{m.X + 3, m.Y, m.Z}}, boden, 1000);
    }
    return s;
}

double Flaeche(const std::vector<Bildpunkt>& p) {  // the shoelace, pixels squared
    double a = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Bildpunkt &u = p[i], &v = p[(i + 1) % p.size()];
        a += u.X * v.Y - v.X * u.Y;
    }
    return std::fabs(a) / 2;
}

}  // namespace

// A level road at 10 m over ground 5 + 0.1 (z + 50) rising along it, from z = -50 to 50:
// fill before station 50, cut after, each a triangle of 50 m by 5 m on all three lines,
// so 3 * 125 square metres each; the largest fill 5 m at station 0, the cut 5 m at 100.
TEST(Hoehenplan, AufschuettungUndAbtragAufGeneigterEbene) {
    const Gelaende boden = Boden([](double, double z) { return 5 + 0.1 * (z + 50); });
    std::vector<Ort> mitte;
    for (int z = -50; z <= 50; z += 10) mitte.push_back({0, 10, double(z)});
    const Hoehenplan plan = HoehenplanAnlegen(Schnitt(boden, mitte), 800, 400);

    const double mProPixelX = (plan.StationBis - plan.StationVon) / (plan.Rechts - plan.Links);
    const double mProPixelY = (plan.HoeheBis - plan.HoeheVon) / (plan.Unten - plan.Oben);
    const double haelfte = plan.XVonStation(50);
    const struct {
        const std::vector<std::vector<Bildpunkt>>& flaechen;
        bool vorn;
    } arten[] = {{plan.Aufschuettungen, true}, {plan.Abtraege, false}};
    for (const auto& art : arten) {
        double summe = 0;
        for (const auto& f : art.flaechen) {
            summe += Flaeche(f);
            for (const Bildpunkt& p : f)
                EXPECT_TRUE(art.vorn ? p.X <= haelfte + 1e-6 : p.X >= haelfte - 1e-6);
        }
        EXPECT_NEAR(summe * mProPixelX * mProPixelY, 3 * 125, 1e-3) << art.vorn;
    }
    for (const auto& linie : plan.Bodenlinien) EXPECT_EQ(linie.size(), 1u);

    ASSERT_EQ(plan.Marken.size(), 2u);
    const struct {
        double station, boden;
        const char* text;
    } marken[] = {{0, 5, "largest fill 5 m at 0 m"}, {100, 15, "largest cut 5 m at 100 m"}};
    for (std::size_t i = 0; i < 2; ++i) {
        const Plotmarke& m = plan.Marken[i];
        EXPECT_EQ(m.Aufschuettung, i == 0);
        EXPECT_NEAR(m.Strasse.X, plan.XVonStation(marken[i].station), 1e-9);
        EXPECT_NEAR(m.Strasse.Y, plan.YVonHoehe(10), 1e-9);
        EXPECT_NEAR(m.Boden.Y, plan.YVonHoehe(marken[i].boden), 1e-6);
        EXPECT_EQ(m.Text, marken[i].text);
    }
    // 100 m over 720 pixels, ticks 90 pixels apart at least: every 20 m, from 0 to 100.
    ASSERT_EQ(plan.Stationsmarken.size(), 6u);
    EXPECT_EQ(plan.Stationsmarken.back().Text, "100");
    EXPECT_NEAR(plan.Stationsmarken.back().Pixel, plan.Rechts, 1e-9);
}

// The road leaves the terrain (100 m out of 201) in the middle and comes back: the
// ground's line breaks there, and no area bridges the gap.
TEST(Hoehenplan, BodenMitLuecke) {
    const Gelaende boden = Boden([](double, double) { return 4.0; });
    const std::vector<Ort> mitte = {{0, 10, 0},   {60, 10, 0},  {90, 10, 0}, {150, 10, 0},
                                    {180, 10, 0}, {120, 10, 0}, {90, 10, 0}, {30, 10, 0}};
    const Hoehenplan plan = HoehenplanAnlegen(Schnitt(boden, mitte), 600, 300);
    ASSERT_EQ(plan.Bodenlinien[0].size(), 2u);
    EXPECT_EQ(plan.Aufschuettungen.size(),
              plan.Bodenlinien[0].size() + plan.Bodenlinien[1].size() + plan.Bodenlinien[2].size());
    EXPECT_TRUE(plan.Abtraege.empty());
    for (const auto& f : plan.Aufschuettungen) {
        double links = 1e9, rechts = -1e9;
        for (const Bildpunkt& p : f) links = std::min(links, p.X), rechts = std::max(rechts, p.X);
        EXPECT_LT((rechts - links) * (plan.StationBis - plan.StationVon) / (plan.Rechts - plan.Links), 120);
    }
}

// The tick step: 1, 2 or 5 times a power of ten, at least the pixels apart, and the next
// smaller such step would not be.
TEST(Hoehenplan, Tickschritt) {
    const struct {
        double spanne, pixel, mindest, schritt;
    } faelle[] = {{100, 720, 90, 20},     {100, 1000, 90, 10},    {3.3, 300, 36, 0.5},
                  {12000, 800, 90, 2000}, {0.04, 400, 36, 0.005}, {1, 90, 90, 1}};
    for (const auto& f : faelle)
        EXPECT_DOUBLE_EQ(Tickschritt(f.spanne, f.pixel, f.mindest), f.schritt) << f.spanne;
}
