// The road as a value: the field table's reading order, a build that leaves its road as
// it was, and the preview's number check against the writer.
#include "generator/I3dDokument.h"
#include "generator/Strassenbau.h"
#include "model/Strassenfelder.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavolant {
namespace {

using test::AufzeichnenderMelder;

// The rows the build reads as numbers, in their reading order.
std::vector<std::size_t> Lesefolge() {
    std::vector<std::pair<int, std::size_t>> zeilen;
    const auto felder = Strassenfelder();
    for (std::size_t i = 0; i < felder.size(); ++i)
        if (felder[i].Lesefolge > 0) zeilen.emplace_back(felder[i].Lesefolge, i);
    std::sort(zeilen.begin(), zeilen.end());
    std::vector<std::size_t> folge;
    for (const auto& [stelle, i] : zeilen) folge.push_back(i);
    return folge;
}

Strasse AusFeldern(const Feldwerte& werte) {
    AufzeichnenderMelder melder;
    TRandPunkte rand("Rand", melder);
    TFuellFlaeche fuellung;
    return StrasseAusFeldern(werte, {}, rand, rand, fuellung);
}

// With every number from the k-th on no number, the first of them is named: the build
// reads them in the table's order. A number whose box is off never stops it.
TEST(Strassenwert, TheFirstFieldThatIsNoNumberIsNamedInReadingOrder) {
    const std::vector<std::size_t> folge = Lesefolge();
    ASSERT_EQ(folge.size(), 18u);
    for (const bool boxenAn : {true, false}) {
        for (std::size_t k = 0; k < folge.size(); ++k) {
            Feldwerte werte = Startwerte();
            for (const Strassenfeld& f : Strassenfelder())
                if (!f.Nur.empty()) werte[Feldindex(f.Nur)].Wahr = boxenAn;
            for (std::size_t j = k; j < folge.size(); ++j) werte[folge[j]].Text = "x" + std::to_string(j);
            std::size_t erwartet = k;
            while (!boxenAn && erwartet < folge.size() && !Strassenfelder()[folge[erwartet]].Nur.empty())
                ++erwartet;
            ASSERT_LT(erwartet, folge.size());  // the last, TexL0, has no box
            const std::string name = std::string(Strassenfelder()[folge[k]].Name);
            try {
                AusFeldern(werte);
                ADD_FAILURE() << "no error from " << name;
            } catch (const StrassenfeldFehler& e) {
                EXPECT_EQ(e.Feld, Strassenfelder()[folge[erwartet]].Name) << name;
                EXPECT_NE(std::string(e.what()).find("'x" + std::to_string(erwartet) + "'"),
                          std::string::npos);
            }
        }
    }
}

// A road with borders, fill, random flips and traffic curves, built twice from one value:
// the value is as it was, and both builds give the same document.
TEST(Strassenwert, BuildingLeavesTheRoadAsItWasAndRepeatsItself) {
    AufzeichnenderMelder randMelder;
    TRandPunkte rand("Rand", randMelder);
    rand.Aktiv = true;
    rand.Segment(rand.NeuesSegment())->Breite = 1;
    rand.SegmentAktualisieren(1);
    rand.Berechnen();
    TFuellFlaeche fuellung;
    std::vector<TSplinePkt> punkte(3);
    punkte[1].Z = 40, punkte[1].X = 10, punkte[2].Z = 90;
    Feldwerte werte = Startwerte();
    for (const char* box : {"cboRandRenable", "cboRandLenable", "cboRandFuellen", "cboRandomBackFold",
                            "cboTrafficSpline", "cboTrafficSplineRechts"})
        werte[Feldindex(box)].Wahr = true;
    const Strasse strasse = StrasseAusFeldern(werte, punkte, rand, rand, fuellung);

    const auto bauen = [&] {
        Zufallsgenerator zufall;
        AufzeichnenderMelder melder;
        Bauergebnis e = Bauen(strasse, zufall, melder);
        EXPECT_TRUE(e.Vollstaendig);
        std::ostringstream dokument;
        I3dSchreiben(dokument, DokumentAus(e));
        return dokument.str();
    };
    const std::string erstes = bauen();
    EXPECT_EQ(bauen(), erstes);
    // What the build derives stays in its own copies.
    EXPECT_EQ(strasse.Punkte[0].Abstand, 0);
    EXPECT_EQ(strasse.ProfilR.TexturLaenge, 0);
    EXPECT_TRUE(strasse.ProfilR.TexturDatei.empty());
    EXPECT_NE(erstes.find("filename=\"verge_diffuse.dds\""), std::string::npos);
}

// The preview decides from the numbers alone what the writer would refuse; both must agree
// on every place a number goes.
std::vector<Kurvenpunkt> kurve;

TEST(Strassenwert, ThePreviewsNumberCheckAgreesWithTheWriter) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), gross = 1e300;
    Netz netz;
    netz.Vertices.push_back({0, 0, 0, 0, 1, 0, 0, 0});
    netz.BoxMin = {0, 0, 0};
    netz.BoxMax = {1, 1, 1};
    struct Fall {
        const char* was;
        void (*verderben)(I3dDokument&, Netz&, double, double);
    };
    const Fall faelle[] = {
        {"nothing", [](I3dDokument&, Netz&, double, double) {}},
        {"a curve point", [](I3dDokument&, Netz&, double n, double) { kurve[0].Y = n; }},
        {"a vertex", [](I3dDokument&, Netz& m, double n, double) { m.Vertices[0].V = n; }},
        {"a marker", [](I3dDokument& d, Netz&, double n, double) { d.Marken[0].Zrot = n; }},
        {"the box's radius",
         [](I3dDokument&, Netz& m, double, double g) {
             m.BoxMax = {g, g, g}, m.BoxMin = {-g, -g, -g};
         }},
        {"a marker without markers",
         [](I3dDokument& d, Netz&, double n, double) {
             d.TransformGroup = false;
             d.Marken[0].X = n;
         }},
    };
    for (const Fall& fall : faelle) {
        Netz m = netz;
        I3dDokument d;
        d.ShapeName = "Strasse";
        d.Teile[0] = "road.dds";
        kurve = {{0, 0, 0}, {0, 0, 1}};
        d.Kurven[1] = &kurve;
        d.TransformGroup = true;
        d.Marken.push_back({0, 0, 0, 0, 0, 0});
        fall.verderben(d, m, nan, gross);
        d.Dreiecksnetz = &m;
        std::ostringstream aus;
        bool geschrieben = true;
        try {
            I3dSchreiben(aus, d);
        } catch (const std::domain_error&) {
            geschrieben = false;
        }
        EXPECT_EQ(I3dZahlenSchreibbar(d), geschrieben) << fall.was;
    }
}

}  // namespace
}  // namespace pavolant
