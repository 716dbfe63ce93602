// The generation run: the worked example to the byte, the strip's index pattern, the
// texture events, the traffic curves, the schema, and what a failed run leaves behind.
#include "generator/Strassenbau.h"

#include "model/Strassenfelder.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Eintraege;
using pavolant::test::TempOrdner;
namespace fs = std::filesystem;

namespace {

// Two points, the first at the origin; the second given.
void ZweiPunkte(TSplinePunkte& punkte, double x, double y, double z) {
    punkte.Punkt(1)->X = x;
    punkte.Punkt(1)->Y = y;
    punkte.Punkt(1)->Z = z;
}

struct Lauf {
    AufzeichnenderMelder randMelder;
    TRandPunkte randR{"right Border", randMelder};
    TRandPunkte randL{"left Border", randMelder};
    TFuellFlaeche fuellung;
    TSplinePunkte punkte;
    Zufallsgenerator zufall;
    AufzeichnenderMelder melder;
    Bauergebnis bericht;
    TempOrdner ordner;
    // The road as the window starts it; the points, profiles and fill are taken from the
    // members above at each Go.
    Strasse par = StrasseAusFeldern(Startwerte(), {}, randR, randL, fuellung);
    std::string datei = (ordner / "strasse.i3d").string();
    Bauvorgaben vorgaben;

    Lauf() { randR.Rechts = true; }

    // A three-point profile (start, a kerb 0.2 m up, a verge 1.5 m out falling 10 deg).
    void Rand(TRandPunkte& r, Randwerte& p) {
        r.Aktiv = p.An = true;
        p.TexLaenge = 20;
        p.TexBreite = 2;
        r.NeuesSegment();
        r.Segment(1)->Breite = 0.2;
        r.Segment(1)->Winkel = GradZuRad(90);
        r.Segment(1)->U = 0.1;
        r.Segment(2)->Breite = 1.5;
        r.Segment(2)->Winkel = GradZuRad(-10);
        r.Segment(2)->U = 0.9;
        r.SegmentAktualisieren(1);
        r.SegmentAktualisieren(2);
        r.Berechnen();
    }

    void Go() {
        Dokumentdatei ziel(datei);
        Go(ziel);
    }
    void Go(Dokumentziel& ziel) {
        bericht = Bauergebnis{};
        Strasse strasse = par;
        strasse.Punkte = PunkteAus(punkte);
        strasse.ProfilR = randR;
        strasse.ProfilL = randL;
        strasse.Fuellung = {fuellung.TexturHoehe, fuellung.TexturBreite, fuellung.Textur, fuellung.TauschHB};
        Bauvorgaben v = vorgaben;
        v.VorDemLauf = [&] { ziel.Pruefen(); };
        Bauen(strasse, zufall, melder, bericht, v);
        DokumentSchreiben(bericht, ziel, melder, datei);
    }
    std::string Dokument() const { return DateiLesen(datei); }
    std::vector<std::string> Zeilen(const std::string& anfang) const {
        std::vector<std::string> zeilen;
        std::istringstream s(Dokument());
        for (std::string z; std::getline(s, z);) {
            if (!z.empty() && z.back() == '\r') z.pop_back();
            if (z.rfind(anfang, 0) == 0) zeilen.push_back(z);
        }
        return zeilen;
    }
};

// Keeps the document in memory and records each call of the run, with the number of memo
// lines the run had reached then.
class Aufzeichnungsziel : public Dokumentziel {
public:
    explicit Aufzeichnungsziel(const Bauergebnis& bericht) : bericht_(bericht) {}

    void Pruefen() override {
        Merken("Pruefen");
        if (pruefenScheitert) throw DateiFehler("Pruefen");
    }
    std::ostream& Oeffnen() override {
        Merken("Oeffnen");
        dokument.str("");
        return dokument;
    }
    void Abschliessen() override {
        Merken("Abschliessen");
        if (abschliessenScheitert) throw DateiFehler("Abschliessen");
    }
    void Verwerfen() noexcept override { Merken("Verwerfen"); }

    std::vector<std::string> schritte;  // "call:memo lines"
    std::ostringstream dokument;
    bool pruefenScheitert = false, abschliessenScheitert = false;

private:
    void Merken(const std::string& was) {
        schritte.push_back(was + ":" + std::to_string(bericht_.Memo.size()));
    }
    const Bauergebnis& bericht_;
};

#ifndef _WIN32
std::string SchemaPfad() { return (test::Referenzordner() / "i3d" / "i3d-1.6-as-written.xsd").string(); }

// Validates with xmllint against the schema the editor's own files follow.
::testing::AssertionResult GegenSchemaGueltig(const std::string& datei) {
    if (!fs::exists(SchemaPfad())) return ::testing::AssertionFailure() << "schema missing: " << SchemaPfad();
    const std::string befehl = "xmllint --noout --schema '" + SchemaPfad() + "' '" + datei + "' 2>&1";
    FILE* p = popen(befehl.c_str(), "r");
    if (!p) return ::testing::AssertionFailure() << "cannot run xmllint";
    std::string ausgabe;
    char puffer[512];
    while (std::fgets(puffer, sizeof puffer, p)) ausgabe += puffer;
    const int status = pclose(p);
    if (status != 0) return ::testing::AssertionFailure() << ausgabe;
    return ::testing::AssertionSuccess();
}
#endif

// The schema check needs the reference data beside the repository: without it the test
// is skipped from here on (failed in CI), so it stands last in a test.
// xmllint is a Linux program: the Windows build skips the check at this point, and the
// Linux suite validates the same bytes (the command-line tests compare the documents of
// both builds with the golden one).
#ifdef _WIN32
#define SCHEMAGUELTIG(datei) GTEST_SKIP() << "schema check with xmllint: Linux only (" << (datei) << ")"
#else
#define SCHEMAGUELTIG(datei)                    \
    do {                                        \
        PAVOLANT_REFERENZ_NOETIG(SchemaPfad()); \
        EXPECT_TRUE(GegenSchemaGueltig(datei)); \
    } while (false)
#endif

const char* const kBeispiel =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
    "<i3D name=\"Pavolant\" version=\"1.6\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:noNamespaceSchemaLocation=\"http://i3d.giants.ch/schema/i3d-1.6.xsd\">\r\n"
    "  <Asset>\r\n"
    "    <Export program=\"Pavolant 1.6 by Quenlor\" version=\"2.0.1\"/>\r\n"
    "  </Asset>\r\n"
    "\r\n"
    "  <Files>\r\n"
    "    <File fileId=\"1\" filename=\"road_diffuse.dds\" relativePath=\"true\"/>\r\n"
    "  </Files>\r\n"
    "\r\n"
    "  <Materials>\r\n"
    "    <Material name=\"road_diffuse\" materialId=\"11\" ambientColor=\"1 1 1\">\r\n"
    "      <Texture fileId=\"1\"/>\r\n"
    "    </Material>\r\n"
    "  </Materials>\r\n"
    "\r\n"
    "  <Shapes>\r\n"
    "     <IndexedTriangleSet name=\"Road\" shapeId=\"1\" bvCenter=\"0.0000 0.0000 5.0000\" "
    "bvRadius=\"6.1033\" "
    "isOptimized=\"true\">\r\n"
    "        <Vertices count=\"4\" normal=\"true\" uv0=\"true\" tangent=\"true\">\r\n"
    "          <v p=\"-3.5000 0.0000 0.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"1.0000 -7.0000\" />\r\n"
    "          <v p=\"3.5000 0.0000 0.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"0.0000 -7.0000\" />\r\n"
    "          <v p=\"-3.5000 0.0000 10.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"1.0000 -6.5000\" />\r\n"
    "          <v p=\"3.5000 0.0000 10.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"0.0000 -6.5000\" />\r\n"
    "        </Vertices>\r\n"
    "        <Triangles count=\"2\">\r\n"
    "          <t vi=\"1 0 2\" />\r\n"
    "          <t vi=\"1 2 3\" />\r\n"
    "        </Triangles>\r\n"
    "        <Subsets count=\"1\">\r\n"
    "          <Subset firstVertex=\"0\" numVertices=\"4\" firstIndex=\"0\" numIndices=\"6\"/>\r\n"
    "        </Subsets>\r\n"
    "      </IndexedTriangleSet>\r\n"
    "  </Shapes>\r\n"
    "\r\n"
    "  <Dynamics>\r\n"
    "  </Dynamics>\r\n"
    "\r\n"
    "    <Scene>\r\n"
    "       <Shape name=\"RoadPAV\" static=\"true\" clipDistance=\"500\" nodeId=\"1\" materialIds=\"11\" "
    "shapeId=\"1\" receiveShadows=\"true\">\r\n"
    "        <TransformGroup name=\"SplinePkt1\" translation=\"0.0000 0.0000 0.0000\" "
    "rotation=\"0.0000 0.0000 0.0000\" nodeId=\"21\"/>\r\n"
    "        <TransformGroup name=\"SplinePkt2\" translation=\"0.0000 0.0000 10.0000\" "
    "rotation=\"0.0000 0.0000 0.0000\" nodeId=\"22\"/>\r\n"
    "      </Shape>\r\n"
    "    </Scene>\r\n"
    "</i3D>\r\n";

TEST(Generierung, WritesTheWorkedExampleByteForByte) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    EXPECT_TRUE(l.melder.eintraege.empty());
    EXPECT_EQ(l.Dokument(), kBeispiel);
    // The command line's golden file is this document.
    EXPECT_EQ(DateiLesen(std::string(PAVOLANT_SOURCE_DIR) + "/tests/golden/Beispiel.i3d"), kBeispiel);
    const std::vector<std::string> memo = {
        "Geometry:   Width = 7.0000  --  Schleppkurve = 0.0000",
        "Textur: Länge = 20.0000 - Start = 0.0000 - Ende = 1.0000",
        "TexturStart = -7.0000",
        "Spline  1-2: Fahrbahnlänge = 10.0000 m  --  mittlere Steigung = 0.0000°  --  minimale Steigung = "
        "0.0000°   -  maximale Steigung = 0.0000°",
        "Gesamt-Fahrbahnlänge = 10.0000 m",
        "Textur: Längenkoordinate am Ende = -6.5000",
        "Textur: Längenkoordinate für die nächste Straße = 0.5000",
        "Fahrbahn: 4 Vertices, 2 triangles",
    };
    EXPECT_TRUE(l.bericht.MemoGeleert);
    EXPECT_EQ(l.bericht.Memo, memo);
    EXPECT_EQ(l.bericht.TexL0, FormatAllgemein(0.5));
    EXPECT_EQ(l.bericht.OldTexL0, 0.0);
    EXPECT_EQ(l.bericht.TexPxl, 0);
    ASSERT_TRUE(l.bericht.Dreiecksnetz);
    EXPECT_EQ(l.bericht.Dreiecksnetz->AnzVertices(), 4);

    // The same input gives the same document again; the start for the next road is
    // what the window feeds back.
    l.Go();
    EXPECT_EQ(l.Dokument(), kBeispiel);
}

// The target is checked where the run used to open its file (a target that cannot be
// written stops the run before the computation and before "TexturStart"), opened only
// once the mesh is complete, and discarded by every end that does not complete it.
TEST(Generierung, ChecksTheTargetFirstAndOpensItOnlyWithTheFinishedMesh) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    Aufzeichnungsziel ziel(l.bericht);
    l.Go(ziel);
    ASSERT_TRUE(l.bericht.Geschrieben);
    EXPECT_EQ(ziel.schritte, (std::vector<std::string>{"Pruefen:2", "Oeffnen:8", "Abschliessen:8"}));
    EXPECT_EQ(ziel.dokument.str(), kBeispiel);
    EXPECT_FALSE(fs::exists(l.datei));

    Aufzeichnungsziel gesperrt(l.bericht);
    gesperrt.pruefenScheitert = true;
    EXPECT_THROW(l.Go(gesperrt), DateiFehler);
    EXPECT_EQ(gesperrt.schritte, std::vector<std::string>{"Pruefen:2"});
    EXPECT_FALSE(l.bericht.Dreiecksnetz);
    EXPECT_FALSE(l.bericht.Geschrieben);
    EXPECT_EQ(l.bericht.OldTexL0, 0.0);  // read before the check

    Aufzeichnungsziel voll(l.bericht);
    voll.abschliessenScheitert = true;
    EXPECT_THROW(l.Go(voll), DateiFehler);
    EXPECT_EQ(voll.schritte,
              (std::vector<std::string>{"Pruefen:2", "Oeffnen:8", "Abschliessen:8", "Verwerfen:8"}));
    EXPECT_FALSE(l.bericht.Geschrieben);
}

TEST(Generierung, StopsEarlyWithTooFewPointsOrABrokenCentreLine) {
    Lauf l;
    l.punkte.PunktLoeschen(1);
    l.Go();
    ASSERT_EQ(l.melder.eintraege.size(), 1u);
    EXPECT_EQ(l.melder.eintraege[0].text, "Zu wenig SplinePunkte");
    EXPECT_EQ(l.melder.eintraege[0].art, MeldungsArt::Warnung);
    EXPECT_TRUE(l.bericht.GoDeaktivieren);
    EXPECT_FALSE(l.bericht.MemoGeleert);  // the memo keeps its old text

    Lauf zuNah;  // both points at the origin: the centre line refuses
    zuNah.Go();
    EXPECT_TRUE(zuNah.bericht.MemoGeleert);
    EXPECT_TRUE(zuNah.bericht.Memo.empty());
    EXPECT_FALSE(zuNah.bericht.Geschrieben);
    EXPECT_FALSE(fs::exists(zuNah.datei));
}

TEST(Generierung, ZigZagsAcrossTheRoadBetweenCrossSections) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 200);  // a section every ~35 m (1.75 texture lengths)
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const auto dreiecke = l.Zeilen("          <t vi=");
    ASSERT_GE(dreiecke.size(), 4u);
    EXPECT_EQ(dreiecke[0], "          <t vi=\"1 0 2\" />");
    EXPECT_EQ(dreiecke[1], "          <t vi=\"1 2 3\" />");
    EXPECT_EQ(dreiecke[2], "          <t vi=\"3 2 4\" />");
    EXPECT_EQ(dreiecke[3], "          <t vi=\"3 4 5\" />");
    // Right vertices lie on -X, left ones on +X, alternating between cross-sections.
    const auto vertices = l.Zeilen("          <v p=");
    EXPECT_EQ(vertices[2].substr(0, 24), "          <v p=\"-3.5000 ");
    EXPECT_EQ(vertices[3].substr(0, 23), "          <v p=\"3.5000 ");
}

TEST(Generierung, SymmetricTrianglesPutBothEdgesInEverySection) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 200);
    l.par.Fein.DreieckeSym = true;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Netz& n = *l.bericht.Dreiecksnetz;
    ASSERT_EQ(n.AnzVertices() % 2, 0);
    for (std::int32_t k = 0; k < n.AnzVertices(); k += 2) {
        EXPECT_EQ(n.Vertices[static_cast<std::size_t>(k)].X, -3.5);
        EXPECT_EQ(n.Vertices[static_cast<std::size_t>(k) + 1].X, 3.5);
        EXPECT_EQ(n.Vertices[static_cast<std::size_t>(k)].Z, n.Vertices[static_cast<std::size_t>(k) + 1].Z);
    }
    // The limit of the spacing doubles: 3.5 texture lengths.
    EXPECT_NEAR(n.Vertices[2].Z, 70.0, 0.5);
}

TEST(Generierung, ResetWritesTheSectionAgainAndJoinsTheNextTriangleToIt) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 400);
    l.par.RuecksetzenAn = true;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Netz& n = *l.bericht.Dreiecksnetz;
    // Find duplicates: a vertex at the same place as the one two before it.
    int resets = 0;
    for (std::size_t k = 2; k + 1 < n.Vertices.size(); ++k) {
        const NetzVertex& a = n.Vertices[k - 2];
        const NetzVertex& b = n.Vertices[k];
        if (a.X != b.X || a.Z != b.Z || a.U != b.U) continue;
        ++resets;
        // The copy lowers the coordinate by whole texture lengths.
        const double differenz = a.V - b.V;
        EXPECT_NEAR(differenz, std::round(differenz), 1e-12);
        EXPECT_GE(differenz, 7.0);
        EXPECT_GE(a.V, 3.5);
        // No triangle uses the originals after the copy is written.
        for (const NetzDreieck& t : n.Dreiecke) {
            const bool nutztKopie =
                t.A == static_cast<int>(k) || t.B == static_cast<int>(k) || t.C == static_cast<int>(k);
            const bool nutztOriginal = t.A == static_cast<int>(k - 2) || t.B == static_cast<int>(k - 2) ||
                                       t.C == static_cast<int>(k - 2);
            EXPECT_FALSE(nutztKopie && nutztOriginal);
        }
        ++k;
    }
    EXPECT_GE(resets, 1);
    // Every reset adds two vertices and no triangle.
    const auto vertices = static_cast<int>(n.Vertices.size());
    EXPECT_EQ(static_cast<int>(n.Dreiecke.size()), vertices - 2 - 2 * resets);
    // The coordinate stays within the band.
    for (const NetzVertex& v : n.Vertices) {
        EXPECT_LT(v.V, 3.5 + 2.0);
        EXPECT_GE(v.V, -7.0 - 1e-9);
    }
}

TEST(Generierung, MirrorsTheTextureBetweenTheBandLimits) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 1000);
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Netz& n = *l.bericht.Dreiecksnetz;
    bool hoch = false, runter = false;
    for (const NetzVertex& v : n.Vertices) {
        EXPECT_LT(v.V, 3.5 + 1.75 + 1e-9);
        EXPECT_GT(v.V, -7.0 - 1e-9);
        hoch |= v.V >= 3.5;
        runter |= v.V <= -3.5 && &v != &n.Vertices[0] && &v != &n.Vertices[1];
    }
    EXPECT_TRUE(hoch);
    EXPECT_TRUE(runter);
}

TEST(Zufallsgenerator, StartsWithTheKnownSequence) {
    Zufallsgenerator z;
    EXPECT_EQ(z.Naechster(), 2.3283064365386963e-10);
    EXPECT_EQ(z.Naechster(), 0.031379939522594213);
    EXPECT_EQ(z.Naechster(), 0.8610484672244638);
}

TEST(Generierung, RandomFlipUsesTheProgramsGenerator) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    l.par.RandomBackFoldAn = true;
    l.par.RandomBackfold = 0.05;  // the second value (0.0314) flips sample j = 1
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    // The run starts at edtTexL0 itself (no shift by 7) and sample 1 became a section.
    EXPECT_EQ(l.bericht.Memo[2], "TexturStart = 0.0000");
    const Netz& n = *l.bericht.Dreiecksnetz;
    EXPECT_EQ(n.AnzVertices(), 6);
    EXPECT_NEAR(n.Vertices[2].Z, 10.0 / 21.0, 1e-12);
    // After the flip the texture runs back: the end lies below the flip section.
    EXPECT_LT(n.Vertices[4].V, n.Vertices[2].V);
    // 21 samples drew 22 values (one per sample, j = 0 .. 21).
    Zufallsgenerator z;
    for (int i = 0; i < 22; ++i) z.Naechster();
    EXPECT_EQ(l.zufall.Zustand(), z.Zustand());
}

TEST(Generierung, TrafficCurvesFollowTheRoadAtTheirPercentage) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 100);
    l.par.TrafficMitte = l.par.TrafficRechts = l.par.TrafficLinks = true;
    l.par.TrafficLinksProzent = 100;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const auto cv = l.Zeilen("<cv c=");
    // Three curves with one control point per emitted section.
    const std::size_t abschnitte = cv.size() / 3;
    ASSERT_EQ(cv.size(), 3 * abschnitte);
    EXPECT_EQ(cv[0], "<cv c=\"0.0000 0.0000 0.0000\"/>");
    EXPECT_EQ(cv[abschnitte], "<cv c=\"-1.7500 0.0000 0.0000\"/>");
    EXPECT_EQ(cv[2 * abschnitte], "<cv c=\"3.5000 0.0000 0.0000\"/>");
    EXPECT_EQ(cv[2 * abschnitte - 1], "<cv c=\"-1.7500 0.0000 100.0000\"/>");
    const std::string doc = l.Dokument();
    EXPECT_NE(
        doc.find("    <NurbsCurve name=\"splineMitte\" shapeId=\"11\" degree=\"3\" form=\"open\">\r\n<cv"),
        std::string::npos);
    EXPECT_NE(
        doc.find(
            "       <Shape name=\"splineLinks\" translation=\"0 0 0\" nodeId=\"13\" shapeId=\"13\"/>\r\n"),
        std::string::npos);
}

TEST(Generierung, WithEveryMeshPartOffTheSceneIsATransformGroup) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    l.par.FahrbahnAn = false;
    l.par.TransformGroup = false;
    l.par.TexL0 = 0.3;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const std::string doc = l.Dokument();
    EXPECT_NE(doc.find("  <Files>\r\n  </Files>"), std::string::npos);
    EXPECT_NE(doc.find("  <Materials>\r\n  </Materials>"), std::string::npos);
    EXPECT_EQ(doc.find("IndexedTriangleSet"), std::string::npos);
    EXPECT_NE(doc.find("       <TransformGroup name=\"RoadPAV\" nodeId=\"1\" />\r\n"), std::string::npos);
    EXPECT_EQ(l.bericht.Memo.back(), "Fahrbahn: nicht erzeugt");
    EXPECT_FALSE(l.bericht.TexL0);  // edtTexL0 keeps its text
}

TEST(Generierung, WidensTheOuterSideOfABendAndBanksItWithCamber) {
    Lauf l;
    // A quarter turn to the right of the direction of travel.
    l.punkte.Punkt(1)->X = 30;
    l.punkte.Punkt(1)->Z = 30;
    l.punkte.Punkt(1)->Yrot = 90;
    l.par.SchleppkurveAn = true;
    l.par.SturzAn = true;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Netz& n = *l.bericht.Dreiecksnetz;
    ASSERT_GT(n.AnzVertices(), 6);
    // The ends have neither widening nor camber.
    EXPECT_NEAR(n.Vertices[0].X, -3.5, 1e-9);
    EXPECT_NEAR(n.Vertices[1].X, 3.5, 1e-9);
    // Somewhere in the bend the two edges are at different heights (camber) and the
    // road is wider than 7 m (tractrix).
    bool geneigt = false;
    for (std::size_t k = 2; k + 2 < n.Vertices.size(); ++k) geneigt |= std::fabs(n.Vertices[k].Y) > 0.01;
    EXPECT_TRUE(geneigt);
}

TEST(Generierung, SweepsBothBordersAlongTheRoadwayEdges) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 150);
    l.par.Fein.DreieckeSym = true;  // four cross-sections, both edges in each
    l.Rand(l.randR, l.par.RandR);
    l.Rand(l.randL, l.par.RandL);
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Netz& n = *l.bericht.Dreiecksnetz;
    ASSERT_EQ(n.Subsets.size(), 3u);
    EXPECT_EQ(n.Subsets[0].AnzahlVertices, 8);
    // Right border: m = 3 over 4 base points, 12 vertices, (2m - 2) * 3 = 12 triangles.
    const NetzSubset& r = n.Subsets[1];
    EXPECT_EQ(r.ErsterVertex, 8);
    EXPECT_EQ(r.AnzahlVertices, 12);
    EXPECT_EQ(r.ErsterIndex, 3 * 6);
    EXPECT_EQ(r.AnzahlIndizes, 3 * 12);
    const NetzDreieck& t0 = n.Dreiecke[6];
    const NetzDreieck& t1 = n.Dreiecke[7];
    EXPECT_EQ((std::vector<int>{t0.A - 8, t0.B - 8, t0.C - 8}), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ((std::vector<int>{t1.A - 8, t1.B - 8, t1.C - 8}), (std::vector<int>{1, 4, 3}));
    // The left border is mirrored: opposite winding.
    const NetzSubset& li = n.Subsets[2];
    const NetzDreieck& u0 = n.Dreiecke[static_cast<std::size_t>(li.ErsterIndex / 3)];
    const NetzDreieck& u1 = n.Dreiecke[static_cast<std::size_t>(li.ErsterIndex / 3) + 1];
    const int b = li.ErsterVertex;
    EXPECT_EQ((std::vector<int>{u0.A - b, u0.B - b, u0.C - b}), (std::vector<int>{1, 0, 3}));
    EXPECT_EQ((std::vector<int>{u1.A - b, u1.B - b, u1.C - b}), (std::vector<int>{1, 3, 4}));
    // Every border starts at V = -7 and begins at its roadway edge point.
    EXPECT_EQ(n.Vertices[8].V, -7.0);
    EXPECT_DOUBLE_EQ(n.Vertices[8].X, -3.5);
    EXPECT_DOUBLE_EQ(n.Vertices[9].X, -3.5);
    EXPECT_DOUBLE_EQ(n.Vertices[9].Y, 0.2);
    EXPECT_DOUBLE_EQ(n.Vertices[static_cast<std::size_t>(b)].X, 3.5);
    EXPECT_LT(n.Vertices[static_cast<std::size_t>(b) + 2].X, -3.5 + 7 + 1.6);
    EXPECT_GT(n.Vertices[static_cast<std::size_t>(b) + 2].X, 3.5 + 1.4);
    // Report: listing of both borders after the texture line, counts at the end.
    EXPECT_EQ(l.bericht.Memo[2], "BorderPoint output for: right Border");
    EXPECT_EQ(l.bericht.Memo[6], "BorderPoint output for: left Border");
    EXPECT_EQ(l.bericht.Memo[l.bericht.Memo.size() - 2], "right border: 12 Vertices, 12 triangles");
    EXPECT_EQ(l.bericht.Memo.back(), "left border: 12 Vertices, 12 triangles");
    const std::string doc = l.Dokument();
    EXPECT_NE(doc.find("materialIds=\"11, 12, 13\""), std::string::npos);
    EXPECT_NE(doc.find("<File fileId=\"3\" filename=\"verge_diffuse.dds\" relativePath=\"true\"/>"),
              std::string::npos);
    SCHEMAGUELTIG(l.datei);
}

TEST(Generierung, BorderResetAddsACrossSectionButNoTriangles) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 400);
    l.Rand(l.randR, l.par.RandR);
    l.par.RandR.TexLaenge = 5;
    l.par.RandR.Ruecksetzen = true;
    l.par.FahrbahnAn = false;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Netz& n = *l.bericht.Dreiecksnetz;
    ASSERT_EQ(n.Subsets.size(), 1u);
    const int kanten = (n.Subsets[0].AnzahlVertices) / 3;
    const int dreiecke = n.Subsets[0].AnzahlIndizes / 3;
    // Triangles follow the base points only; the copies add vertices.
    EXPECT_EQ(dreiecke % 4, 0);
    const int basispunkte = dreiecke / 4 + 1;
    EXPECT_GT(kanten, basispunkte);
    for (const NetzVertex& v : n.Vertices) EXPECT_GE(v.V, -7.0 - 1e-9);
    EXPECT_NE(l.Dokument().find("materialIds=\"12\""), std::string::npos);
}

TEST(Generierung, AZeroBorderTextureLengthIsRefused) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    l.Rand(l.randL, l.par.RandL);
    l.par.RandL.TexLaenge = 0;
    l.Go();
    ASSERT_EQ(l.melder.eintraege.size(), 1u);
    EXPECT_NE(l.melder.eintraege[0].text.find("linken"), std::string::npos);
    EXPECT_FALSE(fs::exists(l.datei));
}

TEST(Generierung, ClosesBothEndsWithFacesThatFaceOutwards) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 50);
    l.Rand(l.randR, l.par.RandR);
    l.Rand(l.randL, l.par.RandL);
    l.par.FuellenAn = true;
    l.fuellung.Textur = "front.dds";
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    EXPECT_TRUE(l.melder.eintraege.empty());
    const Netz& n = *l.bericht.Dreiecksnetz;
    ASSERT_EQ(n.Subsets.size(), 5u);
    const NetzSubset& start = n.Subsets[3];
    const NetzSubset& ende = n.Subsets[4];
    // Outline: three right profile points, three left ones: 6 vertices, 4 triangles.
    EXPECT_EQ(start.AnzahlVertices, 6);
    EXPECT_EQ(ende.AnzahlVertices, 6);
    EXPECT_EQ(start.AnzahlIndizes, 12);
    EXPECT_EQ(ende.AnzahlIndizes, 12);
    EXPECT_EQ(l.bericht.Memo.back(), "Füllfläche: 6 Vertices, 4 triangles");
    // Same triangles, the ear first in both, the other two swapped.
    for (int k = 0; k < 4; ++k) {
        const NetzDreieck& a = n.Dreiecke[static_cast<std::size_t>(start.ErsterIndex / 3 + k)];
        const NetzDreieck& b = n.Dreiecke[static_cast<std::size_t>(ende.ErsterIndex / 3 + k)];
        const int ds = start.ErsterVertex, de = ende.ErsterVertex;
        EXPECT_EQ(a.A - ds, b.A - de);
        EXPECT_EQ(a.B - ds, b.C - de);
        EXPECT_EQ(a.C - ds, b.B - de);
    }
    // The faces stand at the two ends, upright, their normals pointing away from the road.
    for (int i = 0; i < 6; ++i) {
        const NetzVertex& vs = n.Vertices[static_cast<std::size_t>(start.ErsterVertex + i)];
        const NetzVertex& ve = n.Vertices[static_cast<std::size_t>(ende.ErsterVertex + i)];
        EXPECT_NEAR(vs.Z, 0, 1e-9);
        EXPECT_NEAR(ve.Z, 50, 1e-9);
        EXPECT_NEAR(vs.NZ, -1, 1e-12);
        EXPECT_NEAR(ve.NZ, 1, 1e-12);
        EXPECT_NEAR(vs.Y, ve.Y, 1e-9);
    }
    // The outline's kerb top lies 0.2 m up at the right roadway edge.
    EXPECT_NEAR(n.Vertices[static_cast<std::size_t>(start.ErsterVertex + 1)].X, -3.5, 1e-9);
    EXPECT_NEAR(n.Vertices[static_cast<std::size_t>(start.ErsterVertex + 1)].Y, 0.2, 1e-9);
    const std::string doc = l.Dokument();
    EXPECT_NE(doc.find("materialIds=\"11, 12, 13, 14, 14\""), std::string::npos);
    EXPECT_NE(doc.find("<File fileId=\"4\" filename=\"front.dds\" relativePath=\"true\"/>"),
              std::string::npos);
    EXPECT_NE(doc.find("<Material name=\"Front_mat\" materialId=\"14\" ambientColor=\"1 1 1\">"),
              std::string::npos);
    SCHEMAGUELTIG(l.datei);
}

TEST(Generierung, AnOutlineTooShortIsNotFilledAndTheRunGoesOn) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    l.randR.SegmentLoeschen(1);
    l.randL.SegmentLoeschen(1);
    ASSERT_EQ(l.randR.AnzahlSegmente(), 1);
    l.par.FuellenAn = true;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    ASSERT_EQ(l.melder.eintraege.size(), 1u);
    EXPECT_EQ(l.melder.eintraege[0].art, MeldungsArt::Information);
    const std::string doc = l.Dokument();
    EXPECT_EQ(doc.find("Front_mat"), std::string::npos);
    EXPECT_NE(doc.find("materialIds=\"11\""), std::string::npos);

    Lauf null;
    ZweiPunkte(null.punkte, 0, 0, 10);
    null.par.FuellenAn = true;
    null.fuellung.TexturHoehe = 0;
    null.Go();
    ASSERT_EQ(null.melder.eintraege.size(), 1u);
    EXPECT_NE(null.melder.eintraege[0].text.find("Höhe"), std::string::npos);
    EXPECT_FALSE(fs::exists(null.datei));
}

// ---- The walk against the plain evaluation ------------------------------------------
//
// The run evaluates few of the half-metre samples in full and skips many; none of that
// may change a cross-section. The reference below takes the long way: the model's
// MittellinienPunkt at every sample, the split rules on the full values, and for each
// cross-section the centre point turned into level coordinates and its two edge points
// moved out with the model's own functions. It covers runs with symmetric triangles, no
// tractrix and no camber, where every section writes its right and then its left edge
// vertex and nothing else; the vertices must match bit for bit.

struct Referenzlauf {
    std::vector<NetzVertex> Vertices;
    // For every sample of every connection in turn, the heading, pitch and bank changes
    // against the last section (radians), for picking thresholds that sit right on them.
    std::vector<double> Yrot, Xrot, Zrot;
};

Referenzlauf Nachrechnen(const TSplinePunkte& punkte, const Strasse& par, Zufallsgenerator zufall) {
    const double breite = par.Breite;
    const double texturLaenge = par.Textur1Laenge;
    const double p = par.RandomBackfold;
    const double minW = GradZuRad(par.Fein.MinWinkel), minS = GradZuRad(par.Fein.MinSteigung);
    const double minZ = GradZuRad(par.Fein.MinZRot);
    Referenzlauf r;
    for (int i = 0; i + 1 < punkte.AnzahlPunkte(); ++i) {
        const TSplinePkt& q = *punkte.Punkt(i);
        const auto teilungen = static_cast<std::int64_t>(2 * q.Abstand) + 1;
        TPunkt probe, letzter, d;
        for (std::int64_t j = 0; j <= teilungen; ++j) {
            punkte.MittellinienPunkt(i, probe, static_cast<double>(j) / static_cast<double>(teilungen));
            if (j == 0) letzter.Kopieren(probe);
            probe.Differenz(letzter, d);
            const double schritt = d.Betrag();
            const double y = std::fabs(d.Yrot), x = std::fabs(d.Xrot), z = std::fabs(d.Zrot);
            r.Yrot.push_back(y);
            r.Xrot.push_back(x);
            r.Zrot.push_back(z);
            bool teilen = schritt / texturLaenge > 3.5;  // symmetric triangles
            if (schritt > par.Fein.MinLaenge && (y > minW || x > minS || z > minZ)) teilen = true;
            if (y > 2 * minW || x > 2 * minS || z > 2 * minZ) teilen = true;
            const bool umklappen = par.RandomBackFoldAn && zufall.Naechster() < p && j != 0;
            if (!(((teilen || umklappen) && j != 0) || (j == 0 && i == 0) || j == teilungen)) continue;
            letzter.Kopieren(probe);  // without camber the bank stays as it is
            TPunkt cp;
            cp.Kopieren(probe);
            cp.DreheY(q.Richtung);
            cp.X += q.X;
            cp.Y += q.Y;
            cp.Z += q.Z;
            cp.NormaleAusWinkeln();
            for (const double seite : {-1.0, 1.0}) {  // right edge, then left
                TPunkt e;
                e.Kopieren(cp);
                VerschiebeInRichtung(e, seite * breite / 2);
                r.Vertices.push_back({e.X, e.Y, e.Z, e.NX, e.NY, e.NZ, 0, 0});
            }
        }
    }
    return r;
}

// A bending, climbing and banking road of three points.
void Kurvenstrasse(TSplinePunkte& punkte) {
    TSplinePkt& a = *punkte.Punkt(0);
    a.Yrot = 10;
    a.Xrot = -3;
    a.Zrot = 2;
    TSplinePkt& b = *punkte.Punkt(1);
    b.X = 60;
    b.Y = 4;
    b.Z = 180;
    b.Yrot = 35;
    b.Xrot = 2;
    b.Zrot = -4;
    TSplinePkt& c = *punkte.Anhaengen();
    c.X = 40;
    c.Y = 1;
    c.Z = 420;
    c.Yrot = -20;
    c.Zrot = 6;
}

// The threshold in degrees that the run turns into the largest radian value not above
// `rad`: a change of exactly `rad` then does not split (the rules compare strictly), and
// one unit in the last place more does.
double GradAuf(double rad) {
    double grad = RadZuGrad(rad);
    while (GradZuRad(grad) > rad) grad = std::nextafter(grad, -1e300);
    while (GradZuRad(std::nextafter(grad, 1e300)) <= rad) grad = std::nextafter(grad, 1e300);
    return grad;
}

::testing::AssertionResult WieNachgerechnet(Lauf& l) {
    const Zufallsgenerator vorher = l.zufall;
    l.Go();
    if (!l.bericht.Geschrieben || !l.bericht.Dreiecksnetz)
        return ::testing::AssertionFailure() << "not written";
    // The build works on its own copy of the points: the reference derives the centre
    // line's coefficients itself.
    AufzeichnenderMelder melder;
    if (!l.punkte.BerechneMittellinie(melder)) return ::testing::AssertionFailure() << "no centre line";
    const Referenzlauf r = Nachrechnen(l.punkte, l.par, vorher);
    const std::vector<NetzVertex>& v = l.bericht.Dreiecksnetz->Vertices;
    if (v.size() != r.Vertices.size())
        return ::testing::AssertionFailure() << v.size() << " vertices, expected " << r.Vertices.size();
    for (std::size_t k = 0; k < v.size(); ++k) {
        const NetzVertex& a = v[k];
        const NetzVertex& b = r.Vertices[k];
        if (a.X != b.X || a.Y != b.Y || a.Z != b.Z || a.NX != b.NX || a.NY != b.NY || a.NZ != b.NZ)
            return ::testing::AssertionFailure() << "vertex " << k << " differs";
    }
    return ::testing::AssertionSuccess();
}

TEST(Generierung, EmitsTheCrossSectionsOfThePlainEvaluation) {
    Lauf l;
    Kurvenstrasse(l.punkte);
    l.par.Fein.DreieckeSym = true;
    EXPECT_TRUE(WieNachgerechnet(l));
    const std::size_t normal = l.bericht.Dreiecksnetz->Vertices.size();

    // Fine settings: many sections, most of them by the rotations.
    l.par.Fein.MinWinkel = 0.25;
    l.par.Fein.MinSteigung = 0.05;
    l.par.Fein.MinZRot = 0.1;
    l.par.Fein.MinLaenge = 0.3;
    EXPECT_TRUE(WieNachgerechnet(l));
    EXPECT_GT(l.bericht.Dreiecksnetz->Vertices.size(), 4 * normal);

    // Only the length rule: thresholds no change reaches.
    l.par.Fein.MinWinkel = l.par.Fein.MinSteigung = l.par.Fein.MinZRot = 1e6;
    l.par.Textur1Laenge = 3;
    EXPECT_TRUE(WieNachgerechnet(l));

    // Thresholds of zero and below: every sample whose rotations change splits.
    l.par.Textur1Laenge = 20;
    l.par.Fein.MinWinkel = 0;
    l.par.Fein.MinSteigung = -1;
    l.par.Fein.MinZRot = 0;
    EXPECT_TRUE(WieNachgerechnet(l));
}

TEST(Generierung, ThresholdsRightOnAChangeSplitExactlyWhereThePlainEvaluationDoes) {
    Lauf l;
    Kurvenstrasse(l.punkte);
    l.par.Fein.DreieckeSym = true;
    l.par.Textur1Laenge = 1000;  // the length rule stays out of the way
    // One rotation at a time: the other two never split. The changes against the start
    // of the road (no section but the first) give the thresholds; each sits exactly on
    // the change of one sample, at the start, the middle and near the end of the first
    // connection, so that sample does not split and its neighbour with a larger change
    // does, by the smallest of margins.
    for (int drehung = 0; drehung < 3; ++drehung) {
        l.par.Fein.MinWinkel = l.par.Fein.MinSteigung = l.par.Fein.MinZRot = 1e6;
        l.par.Fein.MinLaenge = 2;
        ASSERT_TRUE(WieNachgerechnet(l));
        const Referenzlauf ohne = Nachrechnen(l.punkte, l.par, l.zufall);
        const std::vector<double>& werte = drehung == 0 ? ohne.Yrot : drehung == 1 ? ohne.Xrot : ohne.Zrot;
        const std::size_t n = static_cast<std::size_t>(2 * l.punkte.Punkt(0)->Abstand) + 1;
        for (const std::size_t j : {std::size_t{3}, std::size_t{7}, n / 2, n - 5}) {
            ASSERT_GT(werte[j], 0.0);
            for (const double grad : {GradAuf(werte[j]), std::nextafter(GradAuf(werte[j]), 1e300),
                                      GradAuf(werte[j] / 2), GradAuf(werte[j] * (1 - 1e-15))}) {
                double& schwelle = drehung == 0   ? l.par.Fein.MinWinkel
                                   : drehung == 1 ? l.par.Fein.MinSteigung
                                                  : l.par.Fein.MinZRot;
                schwelle = grad;
                // Both limits by step, the single one (nearly) everywhere, only the double one.
                for (const double minLaenge : {2.0, 0.0, 1e9}) {
                    l.par.Fein.MinLaenge = minLaenge;
                    EXPECT_TRUE(WieNachgerechnet(l)) << "rotation " << drehung << ", sample " << j << ", "
                                                     << grad << " degrees, MinLaenge " << minLaenge;
                }
            }
        }
    }
}

TEST(Generierung, WithRandomFlipsEverySampleIsEvaluatedAndDrawsItsNumber) {
    Lauf l;
    Kurvenstrasse(l.punkte);
    l.par.Fein.DreieckeSym = true;
    l.par.RandomBackFoldAn = true;
    l.par.RandomBackfold = 0.02;
    for (int lauf = 0; lauf < 3; ++lauf) {  // the generator runs on from run to run
        const Zufallsgenerator vorher = l.zufall;
        EXPECT_TRUE(WieNachgerechnet(l));
        // One number per sample, j = 0 .. teilungen of each connection.
        Zufallsgenerator z = vorher;
        for (int i = 0; i + 1 < l.punkte.AnzahlPunkte(); ++i)
            for (std::int64_t j = 0; j <= static_cast<std::int64_t>(2 * l.punkte.Punkt(i)->Abstand) + 1; ++j)
                z.Naechster();
        EXPECT_EQ(l.zufall.Zustand(), z.Zustand());
    }
}

TEST(Generierung, NamesLongerThanTheWritersBufferArriveWhole) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    // A name longer than the writer's buffer, and one that fits it only once it is emptied.
    l.par.ShapeName = std::string(200000, 'x') + "\xC3\xA4<";
    l.par.Textur1Datei = std::string(65000, 'y') + ".dds";
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const std::string doc = l.Dokument();
    EXPECT_NE(doc.find("<Shape name=\"" + std::string(200000, 'x') + "\xE4&lt;\" static=\"true\""),
              std::string::npos);
    EXPECT_NE(doc.find("filename=\"" + std::string(65000, 'y') + ".dds\" relativePath=\"true\"/>\r\n"),
              std::string::npos);
    // Apart from the names, the worked example to the byte.
    std::string erwartet = kBeispiel;
    erwartet.replace(erwartet.find("road_diffuse.dds"), 16, std::string(65000, 'y') + ".dds");
    erwartet.replace(erwartet.find("\"RoadPAV\""), 9, "\"" + std::string(200000, 'x') + "\xE4&lt;\"");
    EXPECT_EQ(doc, erwartet);
}

// ---- Schema and failures -------------------------------------------------------------

TEST(Generierung, DocumentsValidateAgainstTheSchema) {
    Lauf l;
    l.punkte.Punkt(1)->X = 40;
    l.punkte.Punkt(1)->Y = 3;
    l.punkte.Punkt(1)->Z = 60;
    l.punkte.Punkt(1)->Yrot = 30;
    l.punkte.Punkt(1)->Zrot = 4;
    l.punkte.Anhaengen();
    l.punkte.Punkt(2)->X = 60;
    l.punkte.Punkt(2)->Z = 120;
    l.par.SchleppkurveAn = l.par.SturzAn = true;
    l.par.TrafficMitte = l.par.TrafficRechts = l.par.TrafficLinks = true;
    l.par.RandomBackFoldAn = true;
    l.par.Streckung = 0.5;
    l.par.ShapeName = "Straße \"A&B\" <1> Ω";
    l.par.Textur1Datei = "weg's.dds";
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const std::string doc = l.Dokument();
    // ISO-8859-1 bytes, entities for the XML specials, a reference beyond Latin-1.
    EXPECT_NE(doc.find("name=\"Stra\xDF"
                       "e &quot;A&amp;B&quot; &lt;1&gt; &#937;\""),
              std::string::npos);
    EXPECT_NE(doc.find("filename=\"weg&apos;s.dds\""), std::string::npos);

    Lauf leer;
    ZweiPunkte(leer.punkte, 0, 0, 10);
    leer.par.FahrbahnAn = false;
    leer.Go();
    ASSERT_TRUE(leer.bericht.Geschrieben);
    SCHEMAGUELTIG(l.datei);
    SCHEMAGUELTIG(leer.datei);
}

TEST(Generierung, AZeroTextureLengthIsRefusedWithTheRoadwayOn) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    l.par.Textur1Laenge = 0;
    l.Go();
    ASSERT_EQ(l.melder.eintraege.size(), 1u);
    EXPECT_NE(l.melder.eintraege[0].text.find("(Length)"), std::string::npos);
    EXPECT_FALSE(l.bericht.Geschrieben);
    EXPECT_FALSE(fs::exists(l.datei));

    // Without the roadway the length is not used.
    l.par.FahrbahnAn = false;
    l.Go();
    EXPECT_TRUE(l.bericht.Geschrieben);
}

#ifndef _WIN32  // POSIX permissions
TEST(Generierung, AnUnwritableFolderLeavesTheOldDocument) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 10);
    DateiSchreiben(l.datei, "alt");
    ASSERT_EQ(chmod(l.ordner.Pfad().c_str(), 0555), 0);
    const auto ergebnis = pavolant::test::OhneRootRechte(l.ordner.Pfad(), [&] {
        try {
            l.Go();
        } catch (const DateiFehler& f) {
            return std::string(f.what()) ==
                           "In " + l.datei + " kann nicht geschrieben werden: Permission denied"
                       ? 0
                       : 2;
        }
        return 1;
    });
    chmod(l.ordner.Pfad().c_str(), 0755);
    if (!ergebnis) GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(*ergebnis, 0);
    EXPECT_EQ(l.Dokument(), "alt");
    EXPECT_EQ(Eintraege(l.ordner.Pfad()), std::vector<std::string>{"strasse.i3d"});

    // A folder that does not exist fails the same way, for root too.
    l.datei = (l.ordner / "fehlt" / "x.i3d").string();
    EXPECT_THROW(l.Go(), DateiFehler);
}
#endif

TEST(Generierung, AbsurdDistancesAreRefusedInsteadOfSampled) {
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 1e12);
    l.Go();
    ASSERT_EQ(l.melder.eintraege.size(), 1u);
    EXPECT_EQ(l.melder.eintraege[0].art, MeldungsArt::Warnung);
    EXPECT_FALSE(fs::exists(l.datei));
}

TEST(Generierung, ARoadBeyondTheMemoryLimitStopsBeforeAnyFileIsTouched) {
    // 100 km between two points: the walk alone may take more than 100 MB, which the
    // bound says before the check of the target.
    Lauf lang;
    ZweiPunkte(lang.punkte, 0, 0, 100000);
    lang.vorgaben.SpeicherGrenze = 100u << 20;
    Aufzeichnungsziel unberuehrt(lang.bericht);
    lang.Go(unberuehrt);
    EXPECT_TRUE(unberuehrt.schritte.empty());
    ASSERT_EQ(lang.melder.eintraege.size(), 1u);
    const std::string& warnung = lang.melder.eintraege[0].text;
    EXPECT_EQ(warnung.rfind("Die Straße bräuchte bis zu ", 0), 0u) << warnung;
    EXPECT_NE(warnung.find("mehr als die Grenze von 100 MB; nichts wurde geschrieben."), std::string::npos)
        << warnung;
    EXPECT_NE(warnung.find("--max-memory"), std::string::npos);
    EXPECT_FALSE(lang.bericht.Geschrieben);

    // 50 m with a border of 3,000 segments: the walk is small, the border is not. Its
    // vertices are known exactly once the walk has given the edge.
    Lauf breit;
    ZweiPunkte(breit.punkte, 0, 0, 50);
    breit.Rand(breit.randR, breit.par.RandR);
    for (int k = 0; k < 3000; ++k) breit.randR.Segment(breit.randR.NeuesSegment())->Breite = 0.01;
    breit.randR.Berechnen();
    breit.Go();
    ASSERT_TRUE(breit.bericht.Geschrieben);
    const std::int64_t vertices = breit.bericht.Dreiecksnetz->AnzVertices();
    const std::int64_t dreiecke = breit.bericht.Dreiecksnetz->AnzDreiecke();
    // A limit the walk's bound stays below, and the mesh alone is above.
    const std::uint64_t grenze = static_cast<std::uint64_t>(vertices) * sizeof(NetzVertex) / 2;
    ASSERT_LT(LaufHoechstbedarf(2 * 50.0 + 2).Bytes, grenze);

    breit.vorgaben.SpeicherGrenze = grenze;
    breit.melder.eintraege.clear();
    Aufzeichnungsziel ziel(breit.bericht);
    breit.Go(ziel);
    ASSERT_EQ(breit.melder.eintraege.size(), 1u);
    const std::string& genau = breit.melder.eintraege[0].text;
    EXPECT_EQ(genau.rfind("Die Straße bräuchte etwa ", 0), 0u) << genau;
    // The figures are the run's own.
    EXPECT_NE(
        genau.find("(" + std::to_string(vertices) + " Vertices, " + std::to_string(dreiecke) + " triangles)"),
        std::string::npos)
        << genau;
    for (const std::string& schritt : ziel.schritte) EXPECT_EQ(schritt.rfind("Pruefen", 0), 0u) << schritt;
    EXPECT_FALSE(breit.bericht.Geschrieben);

    // Raised above the need, the run writes the same road.
    breit.vorgaben.SpeicherGrenze = 1u << 30;
    breit.melder.eintraege.clear();
    breit.Go();
    EXPECT_TRUE(breit.bericht.Geschrieben);
    EXPECT_EQ(breit.bericht.Dreiecksnetz->AnzVertices(), vertices);
}

TEST(Generierung, AStopBeforeTheWalkNamesABoundOfTheWholeRoad) {
    // Borders of many segments, resetting often, and the fill: they take far more than
    // the walk. A stop on the walk's bound must not name the walk's figure for the road.
    Lauf l;
    ZweiPunkte(l.punkte, 0, 3, 800);
    l.par.Fein.DreieckeSym = true;
    l.par.Fein.MinLaenge = 0.01;
    for (auto [rand, par] : {std::pair{&l.randR, &l.par.RandR}, std::pair{&l.randL, &l.par.RandL}}) {
        l.Rand(*rand, *par);
        for (int k = 0; k < 200; ++k) rand->Segment(rand->NeuesSegment())->Breite = 0.01;
        rand->Berechnen();
        par->TexLaenge = 0.5;
        par->Ruecksetzen = true;
    }
    l.par.FuellenAn = true;
    l.fuellung.Textur = "front.dds";
    const double proben = 2 * 800.0 + 2;
    const Speicherbedarf ganz =
        StrassenHoechstbedarf(proben, l.randR.AnzahlSegmente(), l.randL.AnzahlSegmente(),
                              l.randR.AnzahlSegmente() + l.randL.AnzahlSegmente());
    ASSERT_GT(ganz.Bytes, 20 * LaufHoechstbedarf(proben).Bytes);

    // Limits in every unit the warning shows, each stopped before the walk.
    const std::pair<std::uint64_t, std::string> grenzen[] = {
        {1, "1 byte"}, {1000, "1000 bytes"}, {1536, "1 KB"}, {512000, "500 KB"}, {(1u << 20) + 5, "1 MB"}};
    ASSERT_GT(LaufHoechstbedarf(proben).Bytes, (1u << 20) + 5);
    for (const auto& [grenze, gezeigt] : grenzen) {
        l.vorgaben.SpeicherGrenze = grenze;
        l.melder.eintraege.clear();
        Aufzeichnungsziel unberuehrt(l.bericht);
        l.Go(unberuehrt);
        EXPECT_TRUE(unberuehrt.schritte.empty());
        ASSERT_EQ(l.melder.eintraege.size(), 1u);
        const std::string bedarf = std::to_string((ganz.Bytes + (1u << 20) - 1) >> 20) +
                                   " MB Arbeitsspeicher (" + std::to_string(ganz.Vertices) + " Vertices, " +
                                   std::to_string(ganz.Dreiecke) + " triangles), mehr als die Grenze von " +
                                   gezeigt + ";";
        EXPECT_EQ(l.melder.eintraege[0].text.rfind("Die Straße bräuchte bis zu " + bedarf, 0), 0u)
            << l.melder.eintraege[0].text;
    }

    // The figure is a true bound: as the limit, it lets the road through.
    l.vorgaben.SpeicherGrenze = ganz.Bytes;
    l.melder.eintraege.clear();
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben) << (l.melder.eintraege.empty() ? "" : l.melder.eintraege[0].text);
    EXPECT_GE(ganz.Vertices, l.bericht.Dreiecksnetz->AnzVertices());
    EXPECT_GE(ganz.Dreiecke, l.bericht.Dreiecksnetz->AnzDreiecke());
}

TEST(Generierung, TheWalksBoundHoldsForEveryKindOfSection) {
    // Symmetric triangles and resets put the most into every section; the bound must
    // still be above what the walk took.
    Lauf l;
    ZweiPunkte(l.punkte, 0, 0, 500);
    l.par.Fein.DreieckeSym = true;
    l.par.Fein.MinLaenge = 0.01;
    l.par.RuecksetzenAn = true;
    l.par.Textur1Laenge = 0.5;
    l.par.TrafficMitte = l.par.TrafficRechts = l.par.TrafficLinks = true;
    l.Go();
    ASSERT_TRUE(l.bericht.Geschrieben);
    const Speicherbedarf grenze = LaufHoechstbedarf(2 * 500.0 + 2);
    EXPECT_GE(grenze.Vertices, l.bericht.Dreiecksnetz->AnzVertices());
    EXPECT_GE(grenze.Dreiecke, l.bericht.Dreiecksnetz->AnzDreiecke());
    EXPECT_GE(grenze.Bytes,
              static_cast<std::uint64_t>(l.bericht.Dreiecksnetz->AnzVertices()) * sizeof(NetzVertex));
}

}  // namespace
