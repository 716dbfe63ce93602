// The ground shaped to real road meshes: the footprint's heights on a tilted plane, the
// falloff, the margin beside a banked road, the modes against each other, a connection
// left alone with the connection ranges the builder hands over, a road that crosses
// itself, clamping, the distances, and the masks' grid.
#include "generator/Strassenbau.h"

#include "model/Gelaendeformung.h"
#include "model/Punktlage.h"
#include "model/Strassenfelder.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;

namespace {

constexpr int kN = 129;  // pixels a side, a metre apart, centred on the origin

// A ground whose pixel at centre (x, z) holds hoehe(x, z) metres to the centimetre.
Gelaende Boden(const std::function<double(double, double)>& hoehe, double heightScale = 655.35) {
    std::shared_ptr<std::uint16_t[]> werte(new std::uint16_t[kN * kN]);
    for (int j = 0; j < kN; ++j)
        for (int i = 0; i < kN; ++i)
            werte[j * kN + i] = static_cast<std::uint16_t>(
                std::lround(std::clamp(hoehe(i - 64, j - 64) / heightScale * 65535, 0.0, 65535.0)));
    Gelaende g;
    g.Raster = {kN, kN, werte};
    g.HeightScale = heightScale;
    return g;
}

std::uint16_t Wert(const std::vector<std::uint16_t>& werte, int x, int z) {
    return werte[static_cast<std::size_t>(z + 64) * kN + static_cast<std::size_t>(x + 64)];
}

struct Pkt {
    double X, Y, Z, Bank = 0;
};

// A road 6 m wide through the given points, with a level right border 2 m wide when
// `rand`.
struct Bau {
    AufzeichnenderMelder melder;
    TRandPunkte randR{"right Border", melder};
    TRandPunkte randL{"left Border", melder};
    TFuellFlaeche fuellung;
    Strasse strasse = StrasseAusFeldern(Startwerte(), {}, randR, randL, fuellung);
    Bauergebnis ergebnis;

    Bau(const std::vector<Pkt>& punkte, bool rand) {
        TSplinePunkte liste;
        while (liste.AnzahlPunkte() < static_cast<int>(punkte.size())) liste.Anhaengen();
        for (int k = 0; k < liste.AnzahlPunkte(); ++k) {
            TSplinePkt& q = *liste.Punkt(k);
            const Pkt& p = punkte[static_cast<std::size_t>(k)];
            q.X = p.X;
            q.Y = p.Y;
            q.Z = p.Z;
            q.Zrot = p.Bank;
        }
        PunkteAusrichten(liste);  // headings and grades along the curve through them
        strasse.Punkte = PunkteAus(liste);
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
        Zufallsgenerator zufall;
        ergebnis = Bauen(strasse, zufall, melder);
        EXPECT_TRUE(ergebnis.Vollstaendig);
        for (const auto& e : melder.eintraege) ADD_FAILURE() << e.text;
    }

    Formergebnis Formen(const Gelaende& boden, const Formvorgaben& v = {}) const {
        if (!ergebnis.Vollstaendig) return {};
        return GelaendeFormen(boden, *ergebnis.Dreiecksnetz, ergebnis.Geometrie->Deckflaechen, v);
    }
};

// A straight level road at Y = 10 from Z = -50 to +50 (heading +Z: its right side is -X).
std::vector<Pkt> Gerade(double y = 10) { return {{0, y, -50}, {0, y, 50}}; }

// The report's figures recounted from the two images.
void BerichtStimmt(const Gelaende& boden, const Formergebnis& f) {
    std::int64_t geaendert = 0;
    double auftrag = 0, abtrag = 0, groesste = 0;
    for (std::size_t k = 0; k < f.Werte.size(); ++k) {
        const double d =
            (f.Werte[k] - static_cast<double>(boden.Raster.Werte[k])) / 65535 * boden.HeightScale;
        geaendert += d != 0;
        (d > 0 ? auftrag : abtrag) += std::fabs(d);
        groesste = std::max(groesste, std::fabs(d));
    }
    EXPECT_EQ(f.Bericht.GeaendertePixel, geaendert);
    EXPECT_NEAR(f.Bericht.Auftrag, auftrag, 1e-6);
    EXPECT_NEAR(f.Bericht.Abtrag, abtrag, 1e-6);
    EXPECT_NEAR(f.Bericht.GroessteAenderung, groesste, 1e-9);
}

}  // namespace

// Ground 10 + 0.1 z under the level road at 10: every pixel centre on the road
// (|x| <= 3, with the border x down to -5) takes 9.95; the margin (1 m) keeps it, the
// falloff (4 m) eases back monotonically and is half way at its middle; 5 m and more from
// the footprint every pixel keeps its value bit for bit.
TEST(Gelaendeformung, GeradeStrasseAufGeneigterEbene) {
    const auto ebene = [](double, double z) { return 10 + 0.1 * z; };
    const Gelaende boden = Boden(ebene);
    for (const bool rand : {false, true}) {
        SCOPED_TRACE(rand);
        const Bau bau(Gerade(), rand);
        const Formergebnis f = bau.Formen(boden);
        ASSERT_EQ(f.Werte.size(), static_cast<std::size_t>(kN * kN));
        const int links = 3, rechts = rand ? -5 : -3;  // the footprint's outermost columns
        for (int z = -64; z <= 64; ++z) {
            for (int x = -64; x <= 64; ++x) {
                const std::uint16_t neu = Wert(f.Werte, x, z);
                const int aussen = x > links ? x - links : x < rechts ? rechts - x : 0;
                const int vorEnde = z > 50 ? z - 50 : z < -50 ? -50 - z : 0;
                if (aussen * aussen + vorEnde * vorEnde >= 25) {
                    ASSERT_EQ(neu, boden.Raster.Bei(x + 64, z + 64)) << x << "," << z;
                } else if (aussen <= 1 && vorEnde == 0) {
                    ASSERT_EQ(neu, 995) << x << "," << z;
                }
            }
            if (std::abs(z) > 48) continue;
            // Across the falloff on both sides: from 9.95 towards the ground, never back.
            for (const int seite : {1, -1}) {
                const int kante = seite > 0 ? links : rechts;
                double vorher = 0;
                for (int d = 1; d <= 5; ++d) {
                    const int x = kante + seite * d;
                    const double abstand = std::fabs(Wert(f.Werte, x, z) / 100.0 - ebene(x, z));
                    if (d > 1) {
                        EXPECT_LE(abstand, vorher + 1e-9) << x << "," << z;
                    }
                    vorher = abstand;
                }
                const int mitte = kante + seite * 3;  // smoothstep(1/2) = 1/2
                EXPECT_NEAR(Wert(f.Werte, mitte, z) / 100.0, (9.95 + ebene(mitte, z)) / 2, 0.0051);
            }
        }
        EXPECT_EQ(f.Bericht.Kreuzungspixel, 0);
        EXPECT_EQ(f.Bericht.GekapptePixel, 0);
        EXPECT_GT(f.Bericht.Auftrag, 0);
        EXPECT_GT(f.Bericht.Abtrag, 0);
        BerichtStimmt(boden, f);
    }
}

// A road banked 10 degrees on flat ground: the first pixel beyond each edge continues the
// cross-slope the road's own last two pixels show, it is no level shoulder.
TEST(Gelaendeformung, RandFolgtDerQuerneigung) {
    const Gelaende boden = Boden([](double, double) { return 10; });
    const Bau bau({{0, 10, -50, 10}, {0, 10, 50, 10}}, false);
    Formvorgaben v;
    v.Auslauf = 0;
    const Formergebnis f = bau.Formen(boden);
    const Formergebnis ohneAuslauf = bau.Formen(boden, v);
    // 3 cos 10 deg = 2.95: columns -2..2 are the footprint, 3 and -3 the margin.
    int geneigt = 0;
    for (int z = -40; z <= 40; ++z) {
        for (const int seite : {1, -1}) {
            const double kante = Wert(f.Werte, 2 * seite, z), innen = Wert(f.Werte, seite, z);
            const double erwartet = kante + (kante - innen);
            EXPECT_NEAR(Wert(f.Werte, 3 * seite, z), erwartet, 1.01) << z;
            EXPECT_EQ(Wert(ohneAuslauf.Werte, 3 * seite, z), Wert(f.Werte, 3 * seite, z));
            geneigt += std::fabs(kante - innen) > 10;
        }
    }
    EXPECT_EQ(geneigt, 2 * 81);  // the road is banked: 0.17 m a pixel
}

// The modes against each other: raise only keeps every raise of "both" and no cut, lower
// only the reverse.
TEST(Gelaendeformung, HebenUndSenken) {
    const Gelaende boden = Boden([](double x, double z) { return 10 + 0.1 * z + 0.05 * x; });
    const Bau bau(Gerade(), true);
    const Formergebnis beides = bau.Formen(boden);
    for (const auto modus : {Formvorgaben::Art::NurHeben, Formvorgaben::Art::NurSenken}) {
        Formvorgaben v;
        v.Modus = modus;
        const Formergebnis f = bau.Formen(boden, v);
        const bool heben = modus == Formvorgaben::Art::NurHeben;
        for (std::size_t k = 0; k < f.Werte.size(); ++k) {
            const std::uint16_t alt = boden.Raster.Werte[k], b = beides.Werte[k];
            ASSERT_EQ(f.Werte[k], (heben ? b > alt : b < alt) ? b : alt) << k;
        }
        EXPECT_EQ(heben ? f.Bericht.Abtrag : f.Bericht.Auftrag, 0);
        EXPECT_NEAR(heben ? f.Bericht.Auftrag : f.Bericht.Abtrag,
                    heben ? beides.Bericht.Auftrag : beides.Bericht.Abtrag, 1e-6);
    }
}

// A road of three connections whose middle one is a bridge left alone: the ground under
// the bridge stays, beyond the reach of its neighbours' margin and falloff; the masks
// leave it out too. A connection index past the list's end is shaped.
TEST(Gelaendeformung, BrueckeBleibtUnberuehrt) {
    const Gelaende boden = Boden([](double, double) { return 5; });
    const Bau bau({{0, 10, -60}, {0, 10, -20}, {0, 10, 20}, {0, 10, 60}}, true);
    Formvorgaben v;
    v.GelasseneVerbindungen = {false, true};
    const Formergebnis f = bau.Formen(boden, v);
    for (int z = -60; z <= 60; ++z) {
        if (std::abs(z) < 15) {  // the bridge, 5 m (the reach) from its ends
            EXPECT_EQ(Wert(f.Werte, 0, z), 500) << z;
        }
        if (std::abs(z) > 20) {
            EXPECT_EQ(Wert(f.Werte, 0, z), 995) << z;
        }
    }
    const Fussabdruckmasken m = FussabdruckMasken(
        boden, *bau.ergebnis.Dreiecksnetz, bau.ergebnis.Geometrie->Deckflaechen, v.GelasseneVerbindungen);
    // Mask pixel (64, 64 + z) has its centre at x = 0.5, z + 0.5.
    EXPECT_EQ(m.Fahrbahn.Werte[(64 + 0) * 128 + 64], 0);
    EXPECT_EQ(m.Fahrbahn.Werte[(64 + 40) * 128 + 64], 255);
    EXPECT_EQ(m.Fahrbahn.Werte[(64 - 40) * 128 + 64], 255);

    // The builder's ranges: every triangle of connection c lies between its two control
    // points, on the roadway and on the border alike, and the ranges cover each part whole.
    const Netz& netz = *bau.ergebnis.Dreiecksnetz;
    const auto& flaechen = bau.ergebnis.Geometrie->Deckflaechen;
    ASSERT_EQ(flaechen.size(), 2u);
    EXPECT_TRUE(flaechen[0].Fahrbahn);
    EXPECT_FALSE(flaechen[1].Fahrbahn);
    const double grenzen[] = {-60, -20, 20, 60};
    for (const Deckflaeche& d : flaechen) {
        ASSERT_EQ(d.ErstesDreieck.size(), 3u);
        const NetzSubset& s = netz.Subsets[static_cast<std::size_t>(d.Subset)];
        EXPECT_EQ(d.ErstesDreieck[0], 0);
        for (std::size_t c = 0; c < 3; ++c) {
            const std::int32_t von = d.ErstesDreieck[c],
                               bis = c < 2 ? d.ErstesDreieck[c + 1] : s.AnzahlIndizes / 3;
            EXPECT_LT(von, bis);
            for (std::int32_t t = von; t < bis; ++t) {
                const NetzDreieck& dr = netz.Dreiecke[static_cast<std::size_t>(s.ErsterIndex / 3 + t)];
                for (const std::int32_t ecke : {dr.A, dr.B, dr.C}) {
                    const double z = netz.Vertices[static_cast<std::size_t>(ecke)].Z;
                    EXPECT_GE(z, grenzen[c] - 1e-6);
                    EXPECT_LE(z, grenzen[c + 1] + 1e-6);
                }
            }
        }
    }
}

// Where the road crosses itself the lower deck wins and the pixels are counted: the
// shaping with both decks against each deck alone (the others left alone), with no margin
// or falloff so that the changed pixels are the footprint. A road that only bends
// (neighbouring connections, roadway beside its border) crosses nothing.
TEST(Gelaendeformung, KreuzungNimmtDieUntereFahrbahn) {
    const Gelaende boden = Boden([](double, double) { return 0; });
    // Connection 4 runs back west over connection 0, 4 m above it.
    const Bau schleife({{0, 10, -50}, {0, 10, 0}, {25, 14, 30}, {50, 14, 0}, {25, 14, -25}, {-30, 14, -10}},
                       true);
    Formvorgaben v;
    v.Rand = 0;
    v.Auslauf = 0;
    auto formen = [&](std::vector<bool> gelassen) {
        v.GelasseneVerbindungen = std::move(gelassen);
        return schleife.Formen(boden, v);
    };
    const Formergebnis beide = formen({false, true, true, true, false});
    const Formergebnis unten = formen({false, true, true, true, true});
    const Formergebnis oben = formen({true, true, true, true, false});
    std::int64_t gemeinsam = 0;
    for (std::size_t k = 0; k < beide.Werte.size(); ++k) {
        if (unten.Werte[k] == 0 || oben.Werte[k] == 0) continue;
        ++gemeinsam;
        ASSERT_EQ(beide.Werte[k], std::min(unten.Werte[k], oben.Werte[k])) << k;
        ASSERT_LT(unten.Werte[k], oben.Werte[k]) << k;
    }
    EXPECT_GE(gemeinsam, 64);  // two 8 m wide decks
    EXPECT_EQ(beide.Bericht.Kreuzungspixel, gemeinsam);
    EXPECT_EQ(unten.Bericht.Kreuzungspixel, 0);
    EXPECT_GE(schleife.Formen(boden).Bericht.Kreuzungspixel, gemeinsam);

    const Bau kurve({{0, 10, -50}, {0, 10, 0}, {30, 10, 30}, {30, 10, 60}}, true);
    EXPECT_EQ(kurve.Formen(boden).Bericht.Kreuzungspixel, 0);
}

// Heights beyond the image's range are clamped and counted, and the wanted ones kept.
TEST(Gelaendeformung, KappenAnBeidenEnden) {
    const struct {
        double strasse;
        std::uint16_t grenze;
    } faelle[] = {{10, 65535}, {-10, 0}};
    for (const auto& fall : faelle) {
        const Gelaende boden = Boden([](double, double) { return 2; }, 5);
        const Bau bau(Gerade(fall.strasse), false);
        const Formergebnis f = bau.Formen(boden);
        EXPECT_EQ(Wert(f.Werte, 0, 0), fall.grenze);
        // Footprint, margin and the part of the falloff beyond the range on both sides.
        EXPECT_GE(f.Bericht.GekapptePixel, 101 * 9);
        ASSERT_TRUE(f.Bericht.HoechsteGewollt && f.Bericht.NiedrigsteGewollt);
        EXPECT_NEAR(fall.strasse > 0 ? *f.Bericht.HoechsteGewollt : *f.Bericht.NiedrigsteGewollt,
                    fall.strasse - 0.05, 1e-6);
        BerichtStimmt(boden, f);
    }
}

// A curved road climbing over flat ground, shaped with the margin and no falloff: between
// neighbouring pixels of the margin the ground steps no more than the road's own surface
// does, also where one connection's triangles meet the next one's at a control point (no
// crease there). (A wider margin steps more inside a tight bend, where its arc is shorter
// than the road's edge: that is the slope carried on, not a crease.)
TEST(Gelaendeformung, KeineKanteAnDenSplinepunkten) {
    const Gelaende boden = Boden([](double, double) { return 0; });
    const Bau bau({{-40, 2, -50}, {0, 4, -20}, {20, 6, 20}, {-10, 8, 50}}, true);
    Formvorgaben nurFuss, mitRand;
    nurFuss.Rand = nurFuss.Auslauf = 0;
    mitRand.Auslauf = 0;
    const Formergebnis fuss = bau.Formen(boden, nurFuss), f = bau.Formen(boden, mitRand);
    int strasse = 0, rand = 0, randpaare = 0;
    for (int z = -63; z <= 64; ++z) {
        for (int x = -63; x <= 64; ++x) {
            for (const auto& [nx, nz] : {std::pair{x - 1, z}, std::pair{x, z - 1}}) {
                const bool aufStrasse = Wert(fuss.Werte, x, z) != 0 && Wert(fuss.Werte, nx, nz) != 0;
                const bool geformt = Wert(f.Werte, x, z) != 0 && Wert(f.Werte, nx, nz) != 0;
                const int schritt = std::abs(Wert(f.Werte, x, z) - Wert(f.Werte, nx, nz));
                if (aufStrasse) {
                    strasse = std::max(strasse, schritt);
                } else if (geformt) {
                    rand = std::max(rand, schritt);
                    ++randpaare;
                }
            }
        }
    }
    EXPECT_GT(strasse, 0);
    EXPECT_GT(randpaare, 300);
    EXPECT_LE(rand, strasse + 1);
}

// The distance transform against a search of every footprint pixel: a level curved road
// at 10 over flat ground at 0, so that each pixel's value follows from its distance to
// the nearest footprint pixel alone (9.95 within the margin, then the smoothstep).
TEST(Gelaendeformung, AbstaendeWieDurchSuche) {
    const Gelaende boden = Boden([](double, double) { return 0; });
    const Bau bau({{-40, 10, -50}, {0, 10, -20}, {20, 10, 20}, {-10, 10, 50}}, true);
    Formvorgaben nurFuss, v;
    nurFuss.Rand = nurFuss.Auslauf = 0;
    v.Rand = 1.5;
    v.Auslauf = 6;
    const Formergebnis fuss = bau.Formen(boden, nurFuss), f = bau.Formen(boden, v);
    std::vector<std::pair<int, int>> punkte;
    for (int z = -64; z <= 64; ++z)
        for (int x = -64; x <= 64; ++x)
            if (Wert(fuss.Werte, x, z) != 0) {
                ASSERT_EQ(Wert(fuss.Werte, x, z), 995);  // level and unbanked
                punkte.emplace_back(x, z);
            }
    ASSERT_GT(punkte.size(), 1000u);
    for (int z = -64; z <= 64; ++z) {
        for (int x = -64; x <= 64; ++x) {
            double d2 = 1e300;
            for (const auto& [px, pz] : punkte)
                d2 = std::min(d2, double(px - x) * (px - x) + double(pz - z) * (pz - z));
            const double d = std::sqrt(d2), t = std::clamp((d - v.Rand) / v.Auslauf, 0.0, 1.0);
            const double h = 9.95 * (1 - t * t * (3 - 2 * t));
            ASSERT_EQ(Wert(f.Werte, x, z), std::lround(h * 100)) << x << "," << z << " d=" << d;
        }
    }
}

// The masks cover the terrain's area around its centre, a metre a pixel by default or
// the size asked for; the roadway's 6 m and the border's 2 m fall on the pixels whose
// centres they hold.
TEST(Gelaendeformung, MaskenGroesseUndMitte) {
    Gelaende boden = Boden([](double, double) { return 0; });
    const struct {
        double versatzX;
        std::optional<std::array<int, 2>> groesse;
        int breite, hoehe, fahrbahn, rand, ersteFahrbahn;  // pixels across, first roadway column
    } faelle[] = {{0, std::nullopt, 128, 128, 6, 2, 61},
                  {10, std::nullopt, 128, 128, 6, 2, 51},
                  {0, std::array{256, 64}, 256, 64, 12, 4, 122}};
    for (const auto& fall : faelle) {
        boden.Versatz[0] = fall.versatzX;
        const Bau bau(Gerade(), true);
        const Fussabdruckmasken m = FussabdruckMasken(boden, *bau.ergebnis.Dreiecksnetz,
                                                      bau.ergebnis.Geometrie->Deckflaechen, {}, fall.groesse);
        ASSERT_EQ(m.Fahrbahn.Breite, fall.breite);
        ASSERT_EQ(m.Fahrbahn.Hoehe, fall.hoehe);
        ASSERT_EQ(m.Raender.Werte.size(), static_cast<std::size_t>(fall.breite * fall.hoehe));
        const int zeile = fall.hoehe / 2;
        int fahrbahn = 0, rand = 0, erste = -1;
        for (int i = 0; i < fall.breite; ++i) {
            const auto k = static_cast<std::size_t>(zeile * fall.breite + i);
            fahrbahn += m.Fahrbahn.Werte[k] == 255;
            rand += m.Raender.Werte[k] == 255;
            if (erste < 0 && m.Fahrbahn.Werte[k] == 255) erste = i;
        }
        EXPECT_EQ(fahrbahn, fall.fahrbahn);
        EXPECT_EQ(rand, fall.rand);
        EXPECT_EQ(erste, fall.ersteFahrbahn);
    }
}
