// The ground as the preview shows it: the thinned grid mesh (placement, normals, the
// triangle bound, clipping) and the shaded relief (uniform on a plane, the lit side of a
// hill lighter, contour lines where the heights cross a step).
#include "model/Gelaendenetz.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace pavolant;

// A terrain of `breite` x `hoehe` pixels whose value at (column, row) is `wert`.
Gelaende Boden(int breite, int hoehe, const std::function<double(int, int)>& wert, double skala = 655.35,
               double upp = 1) {
    Gelaende g;
    g.Raster.Breite = breite;
    g.Raster.Hoehe = hoehe;
    auto* speicher = new std::uint16_t[static_cast<std::size_t>(breite) * static_cast<std::size_t>(hoehe)];
    for (int r = 0; r < hoehe; ++r)
        for (int s = 0; s < breite; ++s)
            speicher[static_cast<std::size_t>(r) * static_cast<std::size_t>(breite) +
                     static_cast<std::size_t>(s)] = static_cast<std::uint16_t>(std::lround(wert(s, r)));
    g.Raster.Werte = std::shared_ptr<const std::uint16_t[]>(speicher);
    g.HeightScale = skala;  // 655.35: a value step is a centimetre
    g.UnitsPerPixel = upp;
    return g;
}

// A plane rising 1 m per column and 0.5 m per row, 2 m between pixels and moved by the
// terrain node: every vertex lies on the ground where the terrain's own lookup puts it,
// and every normal (the edges' one-sided ones too) is the plane's.
TEST(Gelaendenetz, APlaneLiesInPlaceWithItsOwnNormal) {
    Gelaende g = Boden(
        41, 31, [](int s, int r) { return 1000 + 100.0 * s + 50.0 * r; }, 655.35, 2);
    g.Versatz[0] = 300, g.Versatz[1] = -20, g.Versatz[2] = -150;
    const Gelaendenetz n = GelaendenetzBauen(g, {250, -190, 360, -120}, 200);
    ASSERT_FALSE(n.Leer());
    EXPECT_LE(n.AnzahlDreiecke(), 200u);
    // 1 m per column over 2 m is 0.5 per metre along X; 0.5 m per row over 2 m is 0.25.
    const double l = std::sqrt(0.5 * 0.5 + 1 + 0.25 * 0.25);
    for (std::size_t v = 0; v < n.AnzahlVertices(); ++v) {
        const float* p = &n.Vertices[v * Gelaendenetz::kFloatsJeVertex];
        const double x = p[0] + n.Ursprung[0], y = p[1] + n.Ursprung[1], z = p[2] + n.Ursprung[2];
        ASSERT_TRUE(g.HoeheBei(x, z)) << x << ", " << z;
        EXPECT_NEAR(y, *g.HoeheBei(x, z), 1e-3);
        EXPECT_NEAR(p[3], -0.5 / l, 1e-6);
        EXPECT_NEAR(p[4], 1 / l, 1e-6);
        EXPECT_NEAR(p[5], -0.25 / l, 1e-6);
    }
    for (const std::uint32_t i : n.Indizes) ASSERT_LT(i, n.AnzahlVertices());
}

// The bound holds, and the mesh is not thinned more than it needs: the least step that
// keeps the bound has more than a quarter of it (one pixel less between the lines would
// at most quadruple the cells). The area's edges are always sampled, so the mesh covers
// the whole of it.
TEST(Gelaendenetz, TheTriangleBoundHoldsWithoutThinningMoreThanNeeded) {
    const Gelaende gross =
        Boden(4097, 4097, [](int s, int r) { return 20000 + 30.0 * ((s * 7 + r * 13) % 101); });
    const Gelaende schmal = Boden(1000, 37, [](int s, int) { return 10.0 * s; });
    const struct {
        const Gelaende* boden;
        Planrechteck bereich;
        std::size_t grenze;
    } faelle[] = {
        {&gross, {-2048, -2048, 2048, 2048}, kBodenDreiecke},
        {&gross, {-2048, -2048, 2048, 2048}, std::size_t{1} << 18},
        {&gross, {-1500.3, -200.7, 1700.2, 900.1}, kBodenDreiecke},
        {&gross, {-10, -10, 10, 10}, kBodenDreiecke},  // fine enough for every pixel
        {&schmal, {-500, -20, 500, 20}, 1000},
        {&schmal, {-500, -20, 500, 20}, 2},
    };
    for (const auto& f : faelle) {
        const Gelaendenetz n = GelaendenetzBauen(*f.boden, f.bereich, f.grenze);
        SCOPED_TRACE(testing::Message()
                     << f.bereich.MinX << " .. " << f.bereich.MaxX << " under " << f.grenze);
        ASSERT_FALSE(n.Leer());
        EXPECT_LE(n.AnzahlDreiecke(), f.grenze);
        if (n.Schritt > 1) {
            EXPECT_GT(n.AnzahlDreiecke() * 4, f.grenze);
        }
        // Widened to the pixel centres around it and clipped to the terrain.
        const Gelaende& g = *f.boden;
        EXPECT_LE(n.Flaeche.MinX, std::max(f.bereich.MinX, g.XVonSpalte(0)));
        EXPECT_GE(n.Flaeche.MaxX, std::min(f.bereich.MaxX, g.XVonSpalte(g.Raster.Breite - 1)));
        EXPECT_LE(n.Flaeche.MinZ, std::max(f.bereich.MinZ, g.ZVonZeile(0)));
        EXPECT_GE(n.Flaeche.MaxZ, std::min(f.bereich.MaxZ, g.ZVonZeile(g.Raster.Hoehe - 1)));
        float maxX = -1e9f, maxZ = -1e9f;
        for (std::size_t v = 0; v < n.AnzahlVertices(); ++v) {
            maxX = std::max(maxX, n.Vertices[v * 6]);
            maxZ = std::max(maxZ, n.Vertices[v * 6 + 2]);
        }
        EXPECT_NEAR(maxX + n.Ursprung[0], n.Flaeche.MaxX, 1e-3);
        EXPECT_NEAR(maxZ + n.Ursprung[2], n.Flaeche.MaxZ, 1e-3);
    }
}

// An area partly beyond the terrain is cut at its outermost pixel centres; one wholly
// beyond it, a line or a broken one gives nothing, and so does no terrain. The relief
// follows the mesh.
TEST(Gelaendenetz, AnAreaIsClippedToTheTerrain) {
    const Gelaende g =
        Boden(101, 51, [](int s, int r) { return 100.0 * s + 10.0 * r; });  // x, z -50..50, -25..25
    const double nan = std::nan("");
    const struct {
        Planrechteck bereich;
        bool leer;
        Planrechteck flaeche;
    } faelle[] = {
        {{-10.5, -3.2, 7.1, 4}, false, {-11, -4, 8, 4}},
        {{30, 10, 500, 900}, false, {30, 10, 50, 25}},
        {{-900, -900, 900, 900}, false, {-50, -25, 50, 25}},
        {{60, 0, 90, 10}, true, {}},
        {{-20, 30, 20, 40}, true, {}},
        {{5, 5, 5, 9}, true, {}},
        {{10, 0, -10, 5}, true, {}},
        {{nan, 0, 10, 5}, true, {}},
        {{-1e300, -1e300, 1e300, 1e300}, false, {-50, -25, 50, 25}},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.bereich.MinX << ", " << f.bereich.MinZ << " .. "
                                        << f.bereich.MaxX << ", " << f.bereich.MaxZ);
        const Gelaendenetz n = GelaendenetzBauen(g, f.bereich);
        const Reliefbild r = ReliefBauen(g, f.bereich, 0.5);
        EXPECT_EQ(n.Leer(), f.leer);
        EXPECT_EQ(r.Leer(), f.leer);
        if (f.leer) continue;
        EXPECT_DOUBLE_EQ(n.Flaeche.MinX, f.flaeche.MinX);
        EXPECT_DOUBLE_EQ(n.Flaeche.MinZ, f.flaeche.MinZ);
        EXPECT_DOUBLE_EQ(n.Flaeche.MaxX, f.flaeche.MaxX);
        EXPECT_DOUBLE_EQ(n.Flaeche.MaxZ, f.flaeche.MaxZ);
        EXPECT_DOUBLE_EQ(n.MinY, *g.HoeheBei(f.flaeche.MinX, f.flaeche.MinZ));
        EXPECT_DOUBLE_EQ(n.MaxY, *g.HoeheBei(f.flaeche.MaxX, f.flaeche.MaxZ));
        // The picture starts where the area or the terrain does.
        EXPECT_DOUBLE_EQ(r.Flaeche.MinX, std::max(f.bereich.MinX, -50.0));
        EXPECT_LE(r.Flaeche.MaxX, std::min(f.bereich.MaxX, 50.0) + 0.5);
    }
    EXPECT_TRUE(GelaendenetzBauen(Gelaende{}, {-10, -10, 10, 10}).Leer());
    EXPECT_TRUE(ReliefBauen(Gelaende{}, {-10, -10, 10, 10}, 1).Leer());
    EXPECT_TRUE(ReliefBauen(g, {-10, -10, 10, 10}, 0).Leer());
}

// The relief: a plane in any direction of slope gets one shade all over (the level one
// that of a surface lit at 45 degrees), a cone is lighter on its north-west flank, which
// faces the light, than on its south-east one; and contour lines every 10 m on a plane
// rising 1 m per metre along X are columns 10 m apart.
TEST(Gelaendenetz, TheReliefIsLitFromTheNorthWest) {
    for (const double steigung : {0.0, 0.3, -0.7}) {
        const Gelaende plan = Boden(61, 61, [&](int s, int r) { return 30000 + 100 * steigung * (s - r); });
        const Reliefbild r = ReliefBauen(plan, {-30, -30, 30, 30}, 0.7);
        ASSERT_FALSE(r.Leer());
        std::set<std::uint32_t> farben;
        int deckend = 0;
        for (std::size_t i = 0; i < r.Rgba.size(); i += 4) {
            if (r.Rgba[i + 3] == 0) continue;
            ++deckend;
            farben.insert(r.Rgba[i] | r.Rgba[i + 1] << 8 | r.Rgba[i + 2] << 16);
        }
        EXPECT_GT(deckend, r.Breite * r.Hoehe * 9 / 10) << steigung;
        EXPECT_EQ(farben.size(), 1u) << steigung;
    }
    EXPECT_NEAR(Reliefschatten(0, 0), std::sqrt(0.5), 1e-12);
    EXPECT_GT(Reliefschatten(1, 1), Reliefschatten(0, 0));  // rises towards the south-east: faces NW
    EXPECT_EQ(Reliefschatten(-1, -1), 0);                   // faces away at 45 degrees

    const Gelaende kegel =
        Boden(81, 81, [](int s, int r) { return 40000 - 200 * std::hypot(s - 40, r - 40); });
    const Reliefbild k = ReliefBauen(kegel, {-40, -40, 40, 40}, 1);
    ASSERT_EQ(k.Breite, 80);
    auto hell = [&k](int x, int y) { return k.Rgba[(static_cast<std::size_t>(y) * 80 + x) * 4]; };
    EXPECT_GT(hell(20, 20), hell(60, 60) + 40);  // north-west flank against south-east
    EXPECT_EQ(hell(60, 20), hell(20, 60));       // the two flanks across the light alike

    const Gelaende rampe = Boden(101, 11, [](int s, int) { return 100.0 * s; });  // 1 m per metre
    const Reliefbild linien = ReliefBauen(rampe, {-50, -5, 50, 5}, 1, 10);
    const Reliefbild ohne = ReliefBauen(rampe, {-50, -5, 50, 5}, 1);
    ASSERT_EQ(linien.Breite, ohne.Breite);
    std::vector<int> spalten;
    for (int x = 0; x < linien.Breite; ++x)
        if (linien.Rgba[static_cast<std::size_t>(5 * linien.Breite + x) * 4] <
            ohne.Rgba[static_cast<std::size_t>(5 * ohne.Breite + x) * 4])
            spalten.push_back(x);
    ASSERT_EQ(spalten.size(), 9u);
    for (std::size_t i = 1; i < spalten.size(); ++i) EXPECT_EQ(spalten[i] - spalten[i - 1], 10);
}

}  // namespace
