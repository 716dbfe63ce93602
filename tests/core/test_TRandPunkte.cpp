// Border profiles: geometry, automatic normals, warnings, listing, placement around a
// centre point, drawing and the parameter file sections.
#include "model/Randprofil.h"

#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;
using pavolant::test::MitDezimaltrenner;

namespace {

// Sets segment i's length and angle (degrees) the way the editor does.
void Setze(TRandPunkte& r, int i, double breite, double winkelGrad, double u = 0) {
    TRandSegment* s = r.Segment(i);
    ASSERT_NE(s, nullptr);
    s->Breite = breite;
    s->Winkel = GradZuRad(winkelGrad);
    s->U = u;
    r.SegmentAktualisieren(i);
}

struct Profil : ::testing::Test {
    AufzeichnenderMelder melder;
    TRandPunkte rand{"right Border", melder};

    void ZweiSegmente() {
        rand.Aktiv = true;
        rand.NeuesSegment();
        Setze(rand, 1, 1, 0, 0.5);
        Setze(rand, 2, 1, 90, 1.0);
        rand.Berechnen();
    }
};

TEST_F(Profil, StartsInactiveWithTwoRecords) {
    EXPECT_EQ(rand.AnzahlSegmente(), 2);
    EXPECT_EQ(rand.AktSegment, 1);
    EXPECT_FALSE(rand.Aktiv);
    EXPECT_EQ(rand.Segment(2), nullptr);
    EXPECT_EQ(rand.Segment(-1), nullptr);
    EXPECT_EQ(rand.Segment(1)->NormalenWinkel, kPi / 2);
    // Inactive: Berechnen leaves everything, warnings included.
    rand.Segment(1)->DX = 5;
    rand.Berechnen();
    EXPECT_EQ(rand.Segment(1)->X, 0);
    EXPECT_EQ(rand.MaxX, 0);
    EXPECT_TRUE(melder.eintraege.empty());
}

TEST_F(Profil, ChainsSegmentsAndBisectsTheNormals) {
    ZweiSegmente();
    EXPECT_DOUBLE_EQ(rand.Segment(1)->X, 1);
    EXPECT_DOUBLE_EQ(rand.Segment(1)->Y, 0);
    EXPECT_NEAR(rand.Segment(2)->X, 1, 1e-15);
    EXPECT_DOUBLE_EQ(rand.Segment(2)->Y, 1);
    EXPECT_DOUBLE_EQ(rand.Segment(1)->NormalenWinkel, 3 * kPi / 4);
    EXPECT_DOUBLE_EQ(rand.Segment(2)->NormalenWinkel, kPi);
    EXPECT_DOUBLE_EQ(rand.MinX, 0);
    EXPECT_DOUBLE_EQ(rand.MaxX, 1);
    EXPECT_DOUBLE_EQ(rand.MaxY, 1);
    // Segment 0 takes the direction of segment 1.
    EXPECT_DOUBLE_EQ(rand.Segment(0)->NormalenWinkel, kPi / 2);
    EXPECT_TRUE(melder.eintraege.empty());
}

TEST_F(Profil, BisectsTheShortWayRound) {
    rand.Aktiv = true;
    rand.NeuesSegment();
    Setze(rand, 1, 1, 150, 0.5);
    Setze(rand, 2, 1, -170, 1.0);
    rand.Berechnen();
    EXPECT_NEAR(RadZuGrad(rand.Segment(1)->NormalenWinkel), 260, 1e-9);
}

TEST_F(Profil, WarnsAboutTinySegmentsAndRepeatedU) {
    rand.Aktiv = true;
    rand.NeuesSegment();
    Setze(rand, 1, 0, 0, 0.5);
    Setze(rand, 2, 1, 0, 0.5);
    rand.Berechnen();
    ASSERT_EQ(melder.eintraege.size(), 2u);
    EXPECT_EQ(melder.eintraege[0].text,
              "right Border: BorderPoint1: Length is smaller than 1mm! Are you sure?");
    EXPECT_EQ(
        melder.eintraege[1].text,
        "right Border: BorderPoint2: Difference in texture coordinates to previous point is smaller than "
        "0.000001 !  Are you sure?    ");
    EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Warnung);

    // A segment with a normal set by hand gets neither warning.
    melder.eintraege.clear();
    rand.Segment(1)->NormaleMan = true;
    rand.Segment(2)->NormaleMan = true;
    rand.Berechnen();
    EXPECT_TRUE(melder.eintraege.empty());
}

TEST_F(Profil, DerivesUFromTheLengths) {
    rand.Aktiv = true;
    rand.NeuesSegment();
    Setze(rand, 1, 1, 0);
    Setze(rand, 2, 3, 0);
    rand.Segment(0)->U = 0.5;
    rand.TexturBreite = 2;
    rand.BerechneU();
    EXPECT_DOUBLE_EQ(rand.Segment(1)->U, 1.0);
    EXPECT_DOUBLE_EQ(rand.Segment(2)->U, 2.5);

    rand.TexturBreite = 0;
    rand.Segment(2)->U = 9;
    rand.BerechneU();
    EXPECT_EQ(rand.Segment(2)->U, 9);
    ASSERT_EQ(melder.eintraege.size(), 1u);
    EXPECT_EQ(melder.eintraege[0].text, "Texturewidth is zero!");
}

TEST_F(Profil, KeepsTheStartPointAndIgnoresIndicesOutOfRange) {
    ZweiSegmente();
    rand.SegmentLoeschen(0);
    rand.SegmentLoeschen(3);
    rand.SegmentLoeschen(-1);
    EXPECT_EQ(rand.AnzahlSegmente(), 3);
    TRandSegment neu;
    neu.Breite = 7;
    rand.SegmentSetzen(neu, 3);
    rand.SegmentAktualisieren(0);
    rand.SegmentAktualisieren(7);
    EXPECT_EQ(rand.Segment(2)->Breite, 1);

    rand.AktSegment = 1;
    rand.SegmentVerdoppeln();
    ASSERT_EQ(rand.AnzahlSegmente(), 4);
    EXPECT_EQ(rand.Segment(1)->Winkel, rand.Segment(2)->Winkel);
    rand.SegmentLoeschen(1);
    EXPECT_EQ(rand.AnzahlSegmente(), 3);
    EXPECT_NEAR(rand.Segment(2)->Y, 1, 1e-15);
    rand.AktSegment = 99;
    rand.SegmentVerdoppeln();
    EXPECT_EQ(rand.AnzahlSegmente(), 3);
}

TEST_F(Profil, PlacesPointsMirroredAroundTheCentrePoint) {
    rand.Aktiv = true;
    rand.Segment(1)->DX = 2;
    rand.Segment(1)->DY = 0.5;
    rand.Berechnen();
    TPunkt c, t;
    rand.Rechts = true;
    rand.RandPunkt(c, t, 1);
    EXPECT_DOUBLE_EQ(t.X, -2);
    EXPECT_DOUBLE_EQ(t.Y, 0.5);
    EXPECT_DOUBLE_EQ(t.Z, 0);
    rand.Rechts = false;
    rand.RandPunkt(c, t, 1);
    EXPECT_DOUBLE_EQ(t.X, 2);

    // Around a turned centre point: the profile follows heading and bank, the normal
    // also the pitch; U comes from the segment, V stays.
    c.X = 10;
    c.Z = 5;
    c.Yrot = kPi / 2;
    c.Xrot = 0.3;
    t.V = 42;
    rand.Segment(1)->U = 0.75;
    rand.RandPunkt(c, t, 1);
    EXPECT_NEAR(t.X, 10, 1e-12);
    EXPECT_NEAR(t.Z, 5 + 2, 1e-12);
    EXPECT_EQ(t.U, 0.75);
    EXPECT_EQ(t.V, 42);
    EXPECT_EQ(t.Yrot, kPi / 2);
    EXPECT_EQ(t.Xrot, 0);
    const double laenge = std::sqrt(t.NX * t.NX + t.NY * t.NY + t.NZ * t.NZ);
    EXPECT_NEAR(laenge, 1, 1e-12);
}

TEST_F(Profil, CopiesAnotherProfileButKeepsItsSide) {
    TRandPunkte links("left Border", melder);
    links.Aktiv = true;
    links.TexturDatei = "kerb.dds";
    links.TexturLaenge = 3;
    links.Pixel = 512;
    links.NeuesSegment();
    Setze(links, 1, 2, 10, 0.1);
    Setze(links, 2, 1, -30, 0.2);
    links.Berechnen();
    rand.Rechts = true;
    rand.AktSegment = 1;
    rand.Uebernehmen(links);
    EXPECT_EQ(rand.Bezeichnung, "right Border");
    EXPECT_TRUE(rand.Rechts);
    EXPECT_TRUE(rand.Aktiv);
    EXPECT_EQ(rand.TexturDatei, "kerb.dds");
    EXPECT_EQ(rand.Pixel, 512);
    ASSERT_EQ(rand.AnzahlSegmente(), 3);
    EXPECT_DOUBLE_EQ(rand.Segment(2)->X, links.Segment(2)->X);
    EXPECT_GT(rand.Segment(2)->X, 2.5);
}

TEST_F(Profil, ListsEveryPointRounded) {
    MitDezimaltrenner t(',');
    ZweiSegmente();
    std::vector<std::string> memo;
    rand.Auflisten(memo);
    ASSERT_EQ(memo.size(), 4u);
    EXPECT_EQ(memo[0], "BorderPoint output for: right Border");
    EXPECT_EQ(memo[1], "Point 0:Length:0; Angle =0; x=0; y=0; x0=0; y0=0; Normale auto Angle =90; U=0");
    EXPECT_EQ(memo[2], "Point 1:Length:1; Angle =0; x=1; y=0; x0=1; y0=0; Normale auto Angle =135; U=0,5");
    EXPECT_EQ(memo[3], "Point 2:Length:1; Angle =90; x=0; y=1; x0=1; y0=1; Normale auto Angle =180; U=1");
}

class Aufzeichnung : public Zeichenflaeche {
public:
    int Breite() const override { return 100; }
    int Hoehe() const override { return 50; }
    void Stift(std::uint32_t farbe, int breite) override { stift = {farbe, breite}; }
    void Fuellen(std::uint32_t) override {}
    void BewegeZu(int x, int y) override { striche.push_back({'M', x, y, stift.first, stift.second}); }
    void LinieZu(int x, int y) override { striche.push_back({'L', x, y, stift.first, stift.second}); }
    struct Strich {
        char art;
        int x, y;
        std::uint32_t farbe;
        int breite;
        bool operator==(const Strich&) const = default;
    };
    std::pair<std::uint32_t, int> stift{0, 1};
    std::vector<Strich> striche;
};

TEST_F(Profil, DrawsItsLineWithNormalTicksAndBreaksItOutsideTheView) {
    ZweiSegmente();
    rand.Rechts = true;
    Aufzeichnung bild;
    rand.Zeichnen(0x00FF00, bild, 0, 0, 0, 2, 0, 1);
    // Start point at column 0, row 50; then (1,0) -> (50,50); then (1,1) -> (50,0).
    ASSERT_EQ(bild.striche.size(), 9u);
    EXPECT_EQ(bild.striche[0], (Aufzeichnung::Strich{'M', 0, 50, 0x00FF00, 3}));
    EXPECT_EQ(bild.striche[1], (Aufzeichnung::Strich{'L', 0, 35, 0x0000FF, 1}));  // tick straight up
    EXPECT_EQ(bild.striche[3], (Aufzeichnung::Strich{'L', 50, 50, 0x00FF00, 3}));
    EXPECT_EQ(bild.striche[4], (Aufzeichnung::Strich{'L', 50 - 11, 50 - 11, 0x0000FF, 1}));
    EXPECT_EQ(bild.striche[6], (Aufzeichnung::Strich{'L', 50, 0, 0x00FF00, 3}));

    // The middle point outside the view: two separate pieces, no line across the gap.
    bild.striche.clear();
    rand.Segment(1)->DY = -5;
    rand.Segment(2)->DY = 5.5;
    rand.Berechnen();
    rand.Zeichnen(0x00FF00, bild, 0, 0, 0, 2, 0, 1);
    ASSERT_EQ(bild.striche.size(), 6u);
    EXPECT_EQ(bild.striche[3].art, 'M');
    EXPECT_EQ(bild.striche[3].x, 50);

    // Nothing for an inactive profile or an empty view box.
    bild.striche.clear();
    rand.Zeichnen(0x00FF00, bild, 0, 0, 1, 1, 0, 1);
    rand.Aktiv = false;
    rand.Zeichnen(0x00FF00, bild, 0, 0, 0, 2, 0, 1);
    EXPECT_TRUE(bild.striche.empty());
}

TEST_F(Profil, RoundTripsThroughTheParameterFile) {
    ZweiSegmente();
    rand.TexturDatei = "gras.dds";
    rand.TexturLaenge = 4.5;
    rand.TexturBreite = 2;
    rand.Pixel = 256;
    rand.Ruecksetzen = true;
    rand.Segment(2)->NormaleMan = true;
    rand.Segment(2)->NormalenWinkel = GradZuRad(33.333);
    rand.Segment(0)->U = 0.125;
    auto ini = IniDatei::AusText("");
    Schreiben(ini, rand, "Rand_rechts");
    const std::string text = ini.Inhalt();
    EXPECT_EQ(
        text.find("[Rand_rechts_Geo]\r\nenable1=1\r\nnSegments=2\r\nBreite0=0\r\nWinkel0=0\r\nNormale0=90"),
        0u);
    EXPECT_NE(text.find("[Rand_rechts_Textur]\r\nFileName=gras.dds\r\nLaenge=4"), std::string::npos);

    TRandPunkte neu("right Border", melder);
    Lesen(ini, neu, "Rand_rechts");
    EXPECT_TRUE(neu.Aktiv);
    EXPECT_EQ(neu.TexturDatei, "gras.dds");
    EXPECT_EQ(neu.TexturLaenge, 4.5);
    EXPECT_EQ(neu.Pixel, 256);
    EXPECT_TRUE(neu.Ruecksetzen);
    ASSERT_EQ(neu.AnzahlSegmente(), 3);
    EXPECT_EQ(neu.Segment(0)->U, 0.125);
    EXPECT_EQ(neu.Segment(1)->U, 0.5);
    EXPECT_NEAR(neu.Segment(2)->Y, 1, 1e-12);
    // Angles come back to the nearest 0.01 degree.
    EXPECT_DOUBLE_EQ(neu.Segment(2)->NormalenWinkel, GradZuRad(33.33));
    EXPECT_TRUE(neu.Segment(2)->NormaleMan);
}

TEST_F(Profil, LoadingAdjustsTheSegmentCountAndReadsDefaults) {
    // Four segments stored, a profile of two: two are appended. Missing Ende keys keep U.
    auto ini = IniDatei::AusText(
        "[Rand_links_Geo]\nnSegments=4\nBreite1=2\nWinkel1=45\n"
        "[Rand_links_Textur]\nStart=0,25\nLaenge=3.5\n");
    TRandPunkte links("left Border", melder);
    Lesen(ini, links, "Rand_links");
    ASSERT_EQ(links.AnzahlSegmente(), 5);
    EXPECT_TRUE(links.Aktiv);
    EXPECT_EQ(links.TexturDatei, "bitte eingeben");
    EXPECT_EQ(links.TexturLaenge, 3.5);
    EXPECT_EQ(links.TexturBreite, 5);
    EXPECT_EQ(links.Segment(0)->U, 0.25);
    EXPECT_EQ(links.Segment(1)->Breite, 2);
    EXPECT_EQ(links.Segment(3)->Breite, 1);
    EXPECT_DOUBLE_EQ(links.Segment(1)->X, 2 * std::cos(GradZuRad(45)));

    // One stored, three present: segments 3 and 2 go.
    auto kurz = IniDatei::AusText("[Rand_links_Geo]\nnSegments=1\n");
    Lesen(kurz, links, "Rand_links");
    EXPECT_EQ(links.AnzahlSegmente(), 2);
    // A negative count keeps the start point only; an absurd one is refused unchanged.
    Lesen(IniDatei::AusText("[Rand_links_Geo]\nnSegments=-5\n"), links, "Rand_links");
    EXPECT_EQ(links.AnzahlSegmente(), 1);
    EXPECT_THROW(Lesen(IniDatei::AusText("[Rand_links_Geo]\nnSegments=2000000000\n"), links, "Rand_links"),
                 IniFehler);
    EXPECT_EQ(links.AnzahlSegmente(), 1);

    // Shrinking a long profile warns only about the profile it ends as, not about each
    // state on the way (thousands of segments once gave millions of warnings).
    TRandPunkte lang("left Border", melder);
    lang.Aktiv = true;
    while (lang.AnzahlSegmente() < 3001) lang.NeuesSegment();  // zero-length segments: each warns
    melder.eintraege.clear();
    Lesen(IniDatei::AusText("[Rand_links_Geo]\nnSegments=1\nBreite1=2\n[Rand_links_Textur]\nEnde1=1\n"), lang,
          "Rand_links");
    EXPECT_EQ(lang.AnzahlSegmente(), 2);
    EXPECT_EQ(lang.Segment(1)->Breite, 2);
    EXPECT_TRUE(melder.eintraege.empty()) << melder.eintraege.size() << ": " << melder.eintraege.front().text;

    // A value that is no number stops at its key.
    auto kaputt =
        IniDatei::AusText("[Rand_links_Geo]\nnSegments=1\nBreite1=abc\n[Rand_links_Textur]\nLaenge=9\n");
    EXPECT_THROW(Lesen(kaputt, links, "Rand_links"), KonvertierungsFehler);
    EXPECT_EQ(links.TexturLaenge, 9);
}

}  // namespace
