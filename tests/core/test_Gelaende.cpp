// The map's ground: the placement of rows and columns against a pixel placed by hand,
// bilinear heights on a tilted plane (exact there) and between known corners, no height
// outside; the height image read back from PNGs the tests write, and every refusal.
#include "model/DateiFehler.h"
#include "model/Gelaende.h"
#include "persistence/Gelaendequelle.h"
#include "persistence/Hoehenbild.h"
#include "persistence/I3dSzene.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"
#include "tests/support/PngSchreiber.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::PngDatei;

constexpr std::uint64_t kReichlich = std::uint64_t{1} << 30;

Gelaende AusWerten(int breite, int hoehe, std::vector<std::uint16_t> werte, double skala, double upp) {
    Gelaende g;
    g.Raster.Breite = breite;
    g.Raster.Hoehe = hoehe;
    auto* speicher = new std::uint16_t[werte.size()];
    std::copy(werte.begin(), werte.end(), speicher);
    g.Raster.Werte = std::shared_ptr<const std::uint16_t[]>(speicher);
    g.HeightScale = skala;
    g.UnitsPerPixel = upp;
    return g;
}

Hoehenbildladung Gelesen(const std::string& datei, std::uint64_t grenze = kReichlich) {
    return HoehenbildAusBytes(reinterpret_cast<const std::uint8_t*>(datei.data()), datei.size(), grenze);
}

// One bright pixel in column 3 of row 0 of a 5 x 3 image, 2 m apart: it lies at
// x = (3 - 2) * 2 = 2 and z = (0 - 1) * 2 = -2 (row 0 the most negative Z), plus the
// terrain node's translation; the height image goes through the PNG reader on the way.
TEST(Gelaende, RowsAndColumnsLieWhereTheEditorPutsThem) {
    std::vector<std::uint16_t> werte(15, 0);
    werte[0 * 5 + 3] = 65535;
    const Hoehenbildladung l = Gelesen(PngDatei(5, 3, werte));
    ASSERT_TRUE(l.Fehler.empty()) << l.Fehler;
    Gelaende g;
    g.Raster = l.Raster;
    g.HeightScale = 100;
    g.UnitsPerPixel = 2;
    EXPECT_DOUBLE_EQ(*g.HoeheBei(2, -2), 100);
    EXPECT_DOUBLE_EQ(*g.HoeheBei(2, 2), 0);    // the same column, last row
    EXPECT_DOUBLE_EQ(*g.HoeheBei(-2, -2), 0);  // the mirror column
    EXPECT_DOUBLE_EQ(*g.HoeheBei(1, -2), 50);  // half way to the next centre
    g.Versatz[0] = 10, g.Versatz[1] = -5, g.Versatz[2] = 20;
    EXPECT_DOUBLE_EQ(*g.HoeheBei(12, 18), 95);
    EXPECT_DOUBLE_EQ(g.XVonSpalte(3), 12);
    EXPECT_DOUBLE_EQ(g.ZVonZeile(0), 18);
    EXPECT_DOUBLE_EQ(g.BreiteInMetern(), 8);
    EXPECT_EQ(g.Hoehenbereich().Max, 95);
    EXPECT_EQ(g.Hoehenbereich().Min, -5);
}

// A tilted plane is reproduced exactly anywhere inside; between four known corners the
// centre is their mean; outside the outermost centres, and at NaN, there is no height.
TEST(Gelaende, BilinearInsideAndNothingOutside) {
    const int w = 9, h = 5;
    std::vector<std::uint16_t> werte(static_cast<std::size_t>(w) * h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            werte[static_cast<std::size_t>(j) * w + i] = static_cast<std::uint16_t>(100 * i + 1000 * j);
    const Gelaende g = AusWerten(w, h, werte, 65535, 0.5);  // one unit of value is 1 m
    std::mt19937 zufall(3);
    std::uniform_real_distribution<double> xs(-2, 2), zs(-1, 1);
    for (int k = 0; k < 200; ++k) {
        const double x = xs(zufall), z = zs(zufall);
        const double erwartet = 100 * (x / 0.5 + 4) + 1000 * (z / 0.5 + 2);
        EXPECT_NEAR(*g.HoeheBei(x, z), erwartet, 1e-9) << x << ", " << z;
    }
    const Gelaende ecken = AusWerten(2, 2, {0, 100, 200, 700}, 65535, 10);
    EXPECT_DOUBLE_EQ(*ecken.HoeheBei(0, 0), 250);
    EXPECT_DOUBLE_EQ(*ecken.HoeheBei(5, 5), 700);  // the last corner itself
    for (const auto& [x, z] : std::vector<std::pair<double, double>>{
             {-2.001, 0}, {2.001, 0}, {0, -1.001}, {0, 1.001}, {std::numeric_limits<double>::quiet_NaN(), 0}})
        EXPECT_FALSE(g.HoeheBei(x, z).has_value()) << x << ", " << z;
    EXPECT_FALSE(Gelaende{}.HoeheBei(0, 0).has_value());
}

// Every value comes back as written; a side that is no power of two plus one is read
// with a note.
TEST(Hoehenbild, ReadBackWithANoteOnAnUnusualSize) {
    struct Fall {
        int breite, hoehe;
        bool hinweis;
    } faelle[] = {{5, 5, false}, {17, 9, false}, {4, 5, true}, {1, 1, true}, {300, 2, true}};
    std::mt19937 zufall(11);
    for (const Fall& f : faelle) {
        std::vector<std::uint16_t> werte(static_cast<std::size_t>(f.breite) * f.hoehe);
        for (std::uint16_t& v : werte) v = static_cast<std::uint16_t>(zufall());
        const Hoehenbildladung l = Gelesen(PngDatei(f.breite, f.hoehe, werte));
        ASSERT_TRUE(l.Fehler.empty()) << l.Fehler;
        ASSERT_EQ(l.Raster.Breite, f.breite);
        ASSERT_EQ(l.Raster.Hoehe, f.hoehe);
        for (std::size_t i = 0; i < werte.size(); ++i) ASSERT_EQ(l.Raster.Werte[i], werte[i]) << i;
        EXPECT_EQ(l.Hinweise.size(), f.hinweis ? 1u : 0u) << f.breite << " x " << f.hoehe;
    }
}

// Each refusal names what is wrong and hands out no pixels.
TEST(Hoehenbild, EveryRefusalSaysWhy) {
    const std::vector<std::uint16_t> vier(4, 1000);
    const std::string gut = PngDatei(2, 2, vier);
    struct Fall {
        std::string name, datei, im_text;
        std::uint64_t grenze = kReichlich;
    } faelle[] = {
        {"no PNG", "P5\n2 2\n65535\n", "not a PNG"},
        {"8 bits", PngDatei(2, 2, vier, 8), "8 bits"},
        {"colour", PngDatei(2, 2, std::vector<std::uint16_t>(12, 9), 16, 3), "colour type 2"},
        {"grey and alpha", PngDatei(2, 2, std::vector<std::uint16_t>(8, 9), 16, 2), "colour type 4"},
        {"header cut", gut.substr(0, 20), "cut short"},
        {"rows cut", gut.substr(0, gut.size() - 20), "cut short"},
        {"rows damaged", gut.substr(0, 50) + std::string(16, '\xff') + gut.substr(66), "damaged or cut"},
        {"limit", PngDatei(64, 64, std::vector<std::uint16_t>(64 * 64)), "limit", 20000},
        // An IDAT chunk claiming a gigabyte in a small file: refused before anything is
        // allocated for it.
        {"chunk too long", gut.substr(0, 33) + std::string("\x40\0\0\0IDAT", 8) + gut.substr(41),
         "cut short"},
        {"empty IDAT", gut.substr(0, 33) + std::string("\0\0\0\0IDAT\x35\xaf\x06\x1e", 12) + gut.substr(33),
         "empty IDAT"},
    };
    for (const Fall& f : faelle) {
        const Hoehenbildladung l = Gelesen(f.datei, f.grenze);
        EXPECT_NE(l.Fehler.find(f.im_text), std::string::npos) << f.name << ": " << l.Fehler;
        EXPECT_FALSE(l.Raster.Werte) << f.name;
    }
    // Every prefix of a good file is refused, never read as a picture or a crash.
    for (std::size_t n = 0; n < gut.size(); ++n) EXPECT_FALSE(Gelesen(gut.substr(0, n)).Fehler.empty()) << n;
    // A file that is not there, and one read whole from disk.
    test::TempOrdner ordner;
    EXPECT_FALSE(HoehenbildLesen(ordner / "fehlt.png", kReichlich).Fehler.empty());
    test::DateiSchreiben(ordner / "dem.png", gut);
    EXPECT_TRUE(HoehenbildLesen(ordner / "dem.png", kReichlich).Fehler.empty());
}

}  // namespace

namespace {

// A map of our own: the terrain node among shapes and groups, a commented-out one before
// it, its file among others; its translation and unitsPerPixel taken as written.
TEST(KartenTerrain, TheTerrainNodeAndItsFileAreFound) {
    const I3dTerrain t = LeseI3dTerrain(std::string(PAVOLANT_TESTDATEN_DIR) + "/i3d/karte_mit_terrain.i3d");
    EXPECT_EQ(t.Hoehenbild, "data/dem.png");
    EXPECT_EQ(t.HeightScale, 255);
    EXPECT_EQ(t.UnitsPerPixel, 2);
    EXPECT_TRUE(t.UnitsPerPixelGeschrieben);
    EXPECT_EQ(t.Translation[1], 0.5);
    EXPECT_EQ(t.Zeile, 28);
}

// Older maps lack unitsPerPixel (1 taken, and said so); everything else wrong names the
// line and what is wrong.
TEST(KartenTerrain, MissingOrWrongSettingsAreNamed) {
    const auto karte = [](const std::string& terrain) {
        return "<i3D><Files><File fileId=\"3\" filename=\"map_dem.png\"/></Files><Scene>\n" + terrain +
               "\n</Scene></i3D>";
    };
    const I3dTerrain alt = LeseI3dTerrainAusText(
        karte("<TerrainTransformGroup heightMapId=\"3\" heightScale=\"200\"/>"), "alt.i3d");
    EXPECT_EQ(alt.UnitsPerPixel, 1);
    EXPECT_FALSE(alt.UnitsPerPixelGeschrieben);
    EXPECT_EQ(alt.Hoehenbild, "map_dem.png");
    struct Fall {
        std::string knoten, im_text;
    } faelle[] = {
        {"<TransformGroup/>", "no terrain"},
        {"<TerrainTransformGroup heightScale=\"255\"/>", "heightMapId"},
        {"<TerrainTransformGroup heightMapId=\"4\" heightScale=\"255\"/>", "fileId=\"4\""},
        {"<TerrainTransformGroup heightMapId=\"3\"/>", "no heightScale"},
        {"<TerrainTransformGroup heightMapId=\"3\" heightScale=\"0\"/>", "heightScale=\"0\""},
        {"<TerrainTransformGroup heightMapId=\"3\" heightScale=\"255\" unitsPerPixel=\"-2\"/>",
         "unitsPerPixel"},
        {"<TerrainTransformGroup heightMapId=\"3\" heightScale=\"x\"/>", "not a number above 0"},
        {"<TerrainTransformGroup heightMapId=\"3\" heightScale=\"1\">",
         "does not close <TerrainTransformGroup>"},
    };
    for (const Fall& f : faelle) {
        try {
            LeseI3dTerrainAusText(karte(f.knoten), "karte.i3d");
            ADD_FAILURE() << f.knoten;
        } catch (const DateiFehler& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find("karte.i3d, line"), std::string::npos) << text;
            EXPECT_NE(text.find(f.im_text), std::string::npos) << f.knoten << ": " << text;
        }
    }
}

}  // namespace

namespace {

// On a cone (height falling with the distance from the centre) every point inside lands
// on the ground plus the clearance, the one outside keeps its height and is named; the
// current point alone moves only itself.
TEST(Gelaende, PointsDropOntoTheGroundOrAreNamedOutside) {
    const int seite = 33;
    std::vector<std::uint16_t> werte(seite * seite);
    for (int j = 0; j < seite; ++j)
        for (int i = 0; i < seite; ++i)
            werte[static_cast<std::size_t>(j) * seite + i] =
                static_cast<std::uint16_t>(std::max(0.0, 30000 - 1500 * std::hypot(i - 16, j - 16)));
    Gelaende g;
    g.Raster = Gelesen(PngDatei(seite, seite, werte)).Raster;
    g.HeightScale = 65.535;  // a value of 1000 is 1 m
    g.UnitsPerPixel = 1;
    std::vector<TSplinePkt> punkte(4);
    const double lage[4][2] = {{0, 0}, {3, -4}, {20, 0}, {-7.5, 2.25}};
    for (std::size_t k = 0; k < 4; ++k) punkte[k].X = lage[k][0], punkte[k].Z = lage[k][1], punkte[k].Y = -9;
    std::vector<TSplinePkt> nurEiner = punkte;
    const Absenkung a = AufGelaendeSetzen(punkte, g, 0.05);
    EXPECT_EQ(a.Gesetzt, 3);
    EXPECT_EQ(a.Ausserhalb, std::vector<int>{2});
    EXPECT_NEAR(punkte[0].Y, 30.05, 1e-9);                // the tip, on a pixel centre
    EXPECT_NEAR(punkte[1].Y, 30 - 1.5 * 5 + 0.05, 1e-9);  // 5 m out, on a pixel centre
    EXPECT_NEAR(punkte[3].Y, *g.HoeheBei(-7.5, 2.25) + 0.05, 1e-12);
    EXPECT_EQ(punkte[2].Y, -9);
    EXPECT_EQ(AufGelaendeSetzen(nurEiner, g, 0.05, 1).Gesetzt, 1);
    EXPECT_EQ(nurEiner[0].Y, -9);
    EXPECT_NEAR(nurEiner[1].Y, punkte[1].Y, 1e-12);
    EXPECT_EQ(AufGelaendeSetzen(nurEiner, g, 0.05, 7).Gesetzt, 0);
}

}  // namespace

namespace {

// The ground from a map (its image beside it under data/, its settings and translation)
// or from an image with typed settings; every refusal names the file.
TEST(Gelaendequelle, FromAMapOrAnImageAndEveryRefusalNamesTheFile) {
    test::TempOrdner ordner;
    const std::filesystem::path karte = ordner.Pfad() / PfadAusUtf8("Karte \xC3\xA4");
    std::filesystem::create_directories(karte / "data");
    test::DateiSchreiben(karte / "data" / "dem.png", PngDatei(3, 3, std::vector<std::uint16_t>(9, 65535)));
    test::DateiSchreiben(karte / "map.i3d",
                         "<i3D><Files><File fileId=\"7\" filename=\"data/dem.png\"/></Files><Scene>"
                         "<TerrainTransformGroup heightMapId=\"7\" heightScale=\"100\" unitsPerPixel=\"2\" "
                         "translation=\"10 1 0\"/></Scene></i3D>");
    test::DateiSchreiben(karte / "alt.i3d",
                         "<i3D><Files><File fileId=\"7\" filename=\"data/dem.png\"/></Files><Scene>"
                         "<TerrainTransformGroup heightMapId=\"7\" heightScale=\"100\"/></Scene></i3D>");
    test::DateiSchreiben(karte / "ohne_bild.i3d",
                         "<i3D><Files><File fileId=\"7\" filename=\"data/fehlt.png\"/></Files><Scene>"
                         "<TerrainTransformGroup heightMapId=\"7\" heightScale=\"100\"/></Scene></i3D>");
    const std::string k = Utf8(karte);

    Gelaendeladung l = GelaendeLesen({k + "/map.i3d"}, kReichlich);
    ASSERT_TRUE(l.Fehler.empty()) << l.Fehler;
    EXPECT_TRUE(l.Hinweise.empty());
    EXPECT_EQ(l.Boden.UnitsPerPixel, 2);
    EXPECT_DOUBLE_EQ(*l.Boden.HoeheBei(12, 2), 101);  // the translation moves it and lifts it
    EXPECT_FALSE(l.Boden.HoeheBei(7, 0).has_value());
    l = GelaendeLesen({k + "/alt.i3d"}, kReichlich);
    EXPECT_EQ(l.Boden.UnitsPerPixel, 1);
    ASSERT_EQ(l.Hinweise.size(), 1u);
    EXPECT_NE(l.Hinweise[0].find("unitsPerPixel"), std::string::npos);
    l = GelaendeLesen({k + "/data/dem.png", 50, 4}, kReichlich);
    EXPECT_DOUBLE_EQ(*l.Boden.HoeheBei(4, -4), 50);

    // (Each source made by a call: GCC 12 under MinGW takes the brace-initialised strings
    // of such a table for uninitialised, bug 105329's kin.)
    const auto quelle = [](std::string datei, double skala, double abstand) {
        Gelaendequelle q;
        q.Datei = std::move(datei);
        q.HeightScale = skala;
        q.UnitsPerPixel = abstand;
        return q;
    };
    const std::vector<std::pair<Gelaendequelle, std::string>> faelle = {
        {quelle(k + "/data/dem.png", 0, 1), "heightScale"},
        {quelle(k + "/data/dem.png", 255, -1), "unitsPerPixel"},
        {quelle(k + "/fehlt.i3d", 255, 1), "fehlt.i3d"},
        {quelle(k + "/ohne_bild.i3d", 255, 1), "fehlt.png"},
        {quelle(k + "/map.i3d", 255, 1), "limit"},
    };
    for (const auto& [q, imText] : faelle) {
        const Gelaendeladung r = GelaendeLesen(q, imText == "limit" ? 10 : kReichlich);
        EXPECT_NE(r.Fehler.find(imText), std::string::npos) << r.Fehler;
        EXPECT_TRUE(r.Boden.Leer()) << q.Datei;
    }
}

}  // namespace

namespace {

// The parameter file's [Terrain]: a file without it stays byte for byte as it was when
// no terrain is written; a source goes in and comes back; cleared, the section stays
// with an empty file name and reads as none.
TEST(Gelaendequelle, TheParameterFileKeepsItOnlyWhereOneIsSet) {
    const std::string ohne = "[Preferences]\r\nStrassenName=RoadPAV\r\n[Splines]\r\nAnzahl=2\r\n";
    IniDatei ini = IniDatei::AusText(ohne);
    EXPECT_FALSE(GelaendequelleLesen(ini).has_value());
    GelaendequelleSchreiben(ini, std::nullopt);
    EXPECT_EQ(ini.Inhalt(), ohne);

    const Gelaendequelle quelle{"C:/Karten/Hof \xC3\xA4/map.i3d", 200, 2, 0.1};
    GelaendequelleSchreiben(ini, quelle);
    const IniDatei wieder = IniDatei::AusText(ini.Inhalt());
    EXPECT_EQ(GelaendequelleLesen(wieder), quelle);

    GelaendequelleSchreiben(ini, std::nullopt);
    EXPECT_FALSE(GelaendequelleLesen(IniDatei::AusText(ini.Inhalt())).has_value());
    EXPECT_NE(ini.Inhalt().find("[Terrain]\r\nDatei=\r\n"), std::string::npos) << ini.Inhalt();
}

}  // namespace
