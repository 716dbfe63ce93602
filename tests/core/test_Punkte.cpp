// Points, their rotations and normals, the point collection and the free routines.
#include "model/Punkte.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace pavolant {
namespace {

constexpr double kEps = 1e-12;

TPunkt PunktBei(double x, double y, double z) {
    TPunkt p;
    p.X = x;
    p.Y = y;
    p.Z = z;
    return p;
}

// A point with every field set to a distinct non-default value.
TPunkt VollerPunkt() {
    TPunkt p;
    p.Nummer = 17;
    p.X = 1.5;
    p.Y = -2.5;
    p.Z = 3.25;
    p.NX = 0.1;
    p.NY = 0.2;
    p.NZ = 0.3;
    p.U = 4.5;
    p.V = 5.5;
    p.Xrot = 0.25;
    p.Yrot = -0.5;
    p.Zrot = 0.75;
    return p;
}

void ErwartePosition(const TPunkt& p, double x, double y, double z) {
    EXPECT_NEAR(p.X, x, kEps);
    EXPECT_NEAR(p.Y, y, kEps);
    EXPECT_NEAR(p.Z, z, kEps);
}

void ErwarteNormale(const TPunkt& p, double nx, double ny, double nz) {
    EXPECT_NEAR(p.NX, nx, kEps);
    EXPECT_NEAR(p.NY, ny, kEps);
    EXPECT_NEAR(p.NZ, nz, kEps);
}

// ---------------------------------------------------------------------------------------
// Creation, reset, copy, difference, lengths

TEST(TPunktGrundlagen, NeuerPunktHatNormaleNachObenUndSonstAllesNull) {
    const TPunkt p;
    EXPECT_EQ(p.Nummer, 0);
    EXPECT_EQ(p.X, 0.0);
    EXPECT_EQ(p.Y, 0.0);
    EXPECT_EQ(p.Z, 0.0);
    EXPECT_EQ(p.NX, 0.0);
    EXPECT_EQ(p.NY, 1.0);
    EXPECT_EQ(p.NZ, 0.0);
    EXPECT_EQ(p.U, 0.0);
    EXPECT_EQ(p.V, 0.0);
    EXPECT_EQ(p.Xrot, 0.0);
    EXPECT_EQ(p.Yrot, 0.0);
    EXPECT_EQ(p.Zrot, 0.0);
}

TEST(TPunktGrundlagen, NullsetzenBehaeltTexturkoordinatenUndNummer) {
    TPunkt p = VollerPunkt();
    p.Nullsetzen();
    ErwartePosition(p, 0, 0, 0);
    EXPECT_EQ(p.NX, 0.0);
    EXPECT_EQ(p.NY, 1.0);
    EXPECT_EQ(p.NZ, 0.0);
    EXPECT_EQ(p.Xrot, 0.0);
    EXPECT_EQ(p.Yrot, 0.0);
    EXPECT_EQ(p.Zrot, 0.0);
    EXPECT_EQ(p.U, 4.5);
    EXPECT_EQ(p.V, 5.5);
    EXPECT_EQ(p.Nummer, 17);
}

TEST(TPunktGrundlagen, KopierenUebernimmtJedesFeld) {
    const TPunkt quelle = VollerPunkt();
    TPunkt ziel;
    ziel.Kopieren(quelle);
    EXPECT_EQ(ziel.Nummer, 17);
    EXPECT_EQ(ziel.X, 1.5);
    EXPECT_EQ(ziel.Y, -2.5);
    EXPECT_EQ(ziel.Z, 3.25);
    EXPECT_EQ(ziel.NX, 0.1);
    EXPECT_EQ(ziel.NY, 0.2);
    EXPECT_EQ(ziel.NZ, 0.3);
    EXPECT_EQ(ziel.U, 4.5);
    EXPECT_EQ(ziel.V, 5.5);
    EXPECT_EQ(ziel.Xrot, 0.25);
    EXPECT_EQ(ziel.Yrot, -0.5);
    EXPECT_EQ(ziel.Zrot, 0.75);
}

TEST(TPunktGrundlagen, DifferenzSetztPositionUndRotationenUndLaesstDenRestStehen) {
    TPunkt a = PunktBei(5, 7, 9);
    a.Xrot = 1;
    a.Yrot = 2;
    a.Zrot = 3;
    TPunkt b = PunktBei(1, 2, 3);
    b.Xrot = 0.5;
    b.Yrot = 0.25;
    b.Zrot = 4;
    TPunkt ziel = VollerPunkt();
    a.Differenz(b, ziel);
    EXPECT_EQ(ziel.X, 4.0);
    EXPECT_EQ(ziel.Y, 5.0);
    EXPECT_EQ(ziel.Z, 6.0);
    EXPECT_EQ(ziel.Xrot, 0.5);
    EXPECT_EQ(ziel.Yrot, 1.75);
    EXPECT_EQ(ziel.Zrot, -1.0);
    EXPECT_EQ(ziel.NX, 0.1);
    EXPECT_EQ(ziel.NY, 0.2);
    EXPECT_EQ(ziel.NZ, 0.3);
    EXPECT_EQ(ziel.U, 4.5);
    EXPECT_EQ(ziel.V, 5.5);
    EXPECT_EQ(ziel.Nummer, 17);
}

TEST(TPunktGrundlagen, DifferenzInDenEigenenPunktOderDenAnderen) {
    TPunkt a = PunktBei(5, 7, 9);
    const TPunkt b = PunktBei(1, 2, 3);
    a.Differenz(b, a);
    ErwartePosition(a, 4, 5, 6);

    const TPunkt c = PunktBei(5, 7, 9);
    TPunkt d = PunktBei(1, 2, 3);
    c.Differenz(d, d);
    ErwartePosition(d, 4, 5, 6);
}

TEST(TPunktGrundlagen, BetragUndWaagrechterBetrag) {
    const TPunkt p = PunktBei(3, 12, 4);
    EXPECT_DOUBLE_EQ(p.Betrag(), 13.0);
    EXPECT_DOUBLE_EQ(p.BetragXZ(), 5.0);
    EXPECT_EQ(TPunkt().Betrag(), 0.0);
    EXPECT_DOUBLE_EQ(PunktBei(0, -2, 0).Betrag(), 2.0);
    EXPECT_EQ(PunktBei(0, -2, 0).BetragXZ(), 0.0);
}

// ---------------------------------------------------------------------------------------
// Rotations

TEST(TPunktDrehen, DreheYViertelDrehungTraegtPlusZNachMinusX) {
    TPunkt p = PunktBei(0, 0, 1);
    p.Yrot = 0.5;
    p.DreheY(kPi / 2);
    ErwartePosition(p, -1, 0, 0);
    EXPECT_DOUBLE_EQ(p.Yrot, 0.5 + kPi / 2);
    EXPECT_EQ(p.Xrot, 0.0);
    EXPECT_EQ(p.Zrot, 0.0);

    TPunkt q = PunktBei(1, 0, 0);
    q.DreheY(kPi / 2);
    ErwartePosition(q, 0, 0, 1);
}

TEST(TPunktDrehen, DreheZViertelDrehungTraegtPlusXNachPlusY) {
    TPunkt p = PunktBei(1, 0, 0);
    p.DreheZ(kPi / 2);
    ErwartePosition(p, 0, 1, 0);
    EXPECT_DOUBLE_EQ(p.Zrot, kPi / 2);
    // The normal (0,1,0) turns with it, towards -X.
    ErwarteNormale(p, -1, 0, 0);
}

TEST(TPunktDrehen, DreheXViertelDrehungTraegtPlusYNachPlusZ) {
    TPunkt p = PunktBei(0, 1, 0);
    p.DreheX(kPi / 2);
    ErwartePosition(p, 0, 0, 1);
    ErwarteNormale(p, 0, 0, 1);
    EXPECT_DOUBLE_EQ(p.Xrot, kPi / 2);
}

TEST(TPunktDrehen, DrehungenLassenDieAchseSelbstUndTexturStehen) {
    TPunkt p = VollerPunkt();
    p.DreheY(0.7);
    EXPECT_EQ(p.Y, -2.5);
    EXPECT_EQ(p.NY, 0.2);
    p.DreheX(0.3);
    EXPECT_NEAR(p.X, 1.5 * std::cos(0.7) - 3.25 * std::sin(0.7), kEps);
    p.DreheZ(-1.1);
    EXPECT_EQ(p.U, 4.5);
    EXPECT_EQ(p.V, 5.5);
    EXPECT_EQ(p.Nummer, 17);
    EXPECT_DOUBLE_EQ(p.Xrot, 0.25 + 0.3);
    EXPECT_DOUBLE_EQ(p.Yrot, -0.5 + 0.7);
    EXPECT_DOUBLE_EQ(p.Zrot, 0.75 - 1.1);
}

TEST(TPunktDrehen, DrehungErhaeltLaengeUndHinUndZurueckGibtDenPunkt) {
    TPunkt p = PunktBei(2, -3, 5);
    const double laenge = p.Betrag();
    p.DreheX(0.4);
    p.DreheY(-1.3);
    p.DreheZ(2.2);
    EXPECT_NEAR(p.Betrag(), laenge, kEps);
    p.DreheZ(-2.2);
    p.DreheY(1.3);
    p.DreheX(-0.4);
    ErwartePosition(p, 2, -3, 5);
    EXPECT_NEAR(p.Xrot, 0, kEps);
    EXPECT_NEAR(p.Yrot, 0, kEps);
    EXPECT_NEAR(p.Zrot, 0, kEps);
}

// ---------------------------------------------------------------------------------------
// Normal from angles

TEST(TPunktNormale, BeispielWinkel) {
    TPunkt p = VollerPunkt();
    p.Xrot = p.Yrot = p.Zrot = 0;
    p.NormaleAusWinkeln();
    ErwarteNormale(p, 0, 1, 0);

    p.Xrot = kPi / 2;
    p.NormaleAusWinkeln();
    ErwarteNormale(p, 0, 0, -1);

    p.Xrot = 0;
    p.Zrot = kPi / 2;
    p.NormaleAusWinkeln();
    ErwarteNormale(p, -1, 0, 0);

    // Heading alone leaves the normal upright.
    p.Zrot = 0;
    p.Yrot = 1.2;
    p.NormaleAusWinkeln();
    ErwarteNormale(p, 0, 1, 0);
}

TEST(TPunktNormale, GleichtBankDannGegenlaeufigemNickenDannKurs) {
    // The same normal built with the turning operations: bank with DreheZ, pitch with
    // DreheX in the opposite sense, heading with DreheY.
    const double winkel[][3] = {{0.3, -0.8, 0.5}, {-1.1, 2.4, -0.2}, {0.9, 4.0, 1.3}};
    for (const auto& w : winkel) {
        TPunkt p = VollerPunkt();
        p.Xrot = w[0];
        p.Yrot = w[1];
        p.Zrot = w[2];
        p.NormaleAusWinkeln();

        TPunkt referenz;
        referenz.DreheZ(w[2]);
        referenz.DreheX(-w[0]);
        referenz.DreheY(w[1]);

        ErwarteNormale(p, referenz.NX, referenz.NY, referenz.NZ);
        EXPECT_NEAR(std::sqrt(p.NX * p.NX + p.NY * p.NY + p.NZ * p.NZ), 1.0, kEps);
        // Angles, position and texture stay.
        EXPECT_EQ(p.Xrot, w[0]);
        EXPECT_EQ(p.Yrot, w[1]);
        EXPECT_EQ(p.Zrot, w[2]);
        EXPECT_EQ(p.X, 1.5);
        EXPECT_EQ(p.U, 4.5);
    }
}

// ---------------------------------------------------------------------------------------
// Free routines

TEST(FreieRoutinen, KreuzproduktYIstDieYKomponente) {
    EXPECT_EQ(KreuzproduktY(PunktBei(1, 0, 0), PunktBei(0, 0, 1)), -1.0);
    EXPECT_EQ(KreuzproduktY(PunktBei(0, 0, 1), PunktBei(1, 0, 0)), 1.0);
    EXPECT_EQ(KreuzproduktY(PunktBei(2, 0, 3), PunktBei(4, 0, 6)), 0.0);  // parallel
    // Y plays no part.
    EXPECT_EQ(KreuzproduktY(PunktBei(2, 9, 3), PunktBei(5, -7, 1)), 3.0 * 5 - 2.0 * 1);
}

TEST(FreieRoutinen, VerschiebeInRichtungFolgtDerQuerachse) {
    TPunkt p = VollerPunkt();
    p.X = p.Y = p.Z = 0;
    p.Xrot = 0.9;  // takes no part
    p.Yrot = 0;
    p.Zrot = 0;
    VerschiebeInRichtung(p, 2.5);
    ErwartePosition(p, 2.5, 0, 0);
    // Normal, texture and rotations stay.
    EXPECT_EQ(p.NX, 0.1);
    EXPECT_EQ(p.NY, 0.2);
    EXPECT_EQ(p.NZ, 0.3);
    EXPECT_EQ(p.U, 4.5);
    EXPECT_EQ(p.Xrot, 0.9);
    EXPECT_EQ(p.Yrot, 0.0);
    EXPECT_EQ(p.Zrot, 0.0);

    // A heading of +pi/2 carries the lateral axis onto +Z; a bank of +pi/2 onto +Y.
    TPunkt q;
    q.Yrot = kPi / 2;
    VerschiebeInRichtung(q, 3);
    ErwartePosition(q, 0, 0, 3);
    TPunkt r = PunktBei(1, 1, 1);
    r.Zrot = kPi / 2;
    VerschiebeInRichtung(r, -2);
    ErwartePosition(r, 1, -1, 1);
}

TEST(FreieRoutinen, VerschiebeInRichtungGleichtGedrehterEinheitsachse) {
    const double winkel[][2] = {{0.4, -0.3}, {2.5, 1.0}, {-1.2, 0.05}};
    for (const auto& w : winkel) {
        TPunkt p = PunktBei(10, 20, 30);
        p.Yrot = w[0];
        p.Zrot = w[1];
        VerschiebeInRichtung(p, 4);

        TPunkt achse = PunktBei(4, 0, 0);
        achse.DreheZ(w[1]);
        achse.DreheY(w[0]);
        ErwartePosition(p, 10 + achse.X, 20 + achse.Y, 30 + achse.Z);
    }
}

TEST(FreieRoutinen, TextZwischenFindetDenErstenAttributwert) {
    std::string aus = "alt";
    ASSERT_TRUE(TextZwischen(R"(<Shape name="a" translation="1 2.5 -3" rotation="0 90 0"/>)",
                             "translation=\"", "\"", aus));
    EXPECT_EQ(aus, "1 2.5 -3");

    ASSERT_TRUE(TextZwischen("a[x]b[y]", "[", "]", aus));
    EXPECT_EQ(aus, "x");
}

TEST(FreieRoutinen, TextZwischenOhneMarkenLaesstAusgabeStehen) {
    std::string aus = "alt";
    EXPECT_FALSE(TextZwischen("abc", "x", "c", aus));
    EXPECT_EQ(aus, "alt");
    // The end marker occurs only before the start marker.
    EXPECT_FALSE(TextZwischen("end ... start", "start", "end", aus));
    EXPECT_EQ(aus, "alt");
    EXPECT_FALSE(TextZwischen("", "a", "b", aus));
    EXPECT_EQ(aus, "alt");
}

TEST(FreieRoutinen, TextZwischenAngrenzendeMarkenGebenLeerenText) {
    std::string aus = "alt";
    EXPECT_TRUE(TextZwischen("x=\"\" y", "x=\"", "\"", aus));
    EXPECT_EQ(aus, "");
    aus = "alt";
    EXPECT_TRUE(TextZwischen("<>", "<", ">", aus));
    EXPECT_EQ(aus, "");
}

TEST(FreieRoutinen, TextZwischenSuchtDasEndeErstNachDemStart) {
    std::string aus;
    // The start marker's own text is not searched for the end marker.
    EXPECT_TRUE(TextZwischen("aXbXc", "aX", "X", aus));
    EXPECT_EQ(aus, "b");
    EXPECT_TRUE(TextZwischen("Grüße: «Wert» fertig", "«", "»", aus));
    EXPECT_EQ(aus, "Wert");
}

// ---------------------------------------------------------------------------------------
// Point collection

TEST(TPunkteSammlungTest, NeuerPunktGibtDenBisherigenUmfangZurueck) {
    TPunkteSammlung s;
    EXPECT_EQ(s.AnzahlPunkte(), 0);
    EXPECT_EQ(s.NeuerPunkt(), 0);
    EXPECT_EQ(s.NeuerPunkt(), 1);
    EXPECT_EQ(s.NeuerPunkt(), 2);
    EXPECT_EQ(s.AnzahlPunkte(), 3);
    const TPunkt* p = s.Punkt(1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->NY, 1.0);
    EXPECT_EQ(p->X, 0.0);
    EXPECT_EQ(p->Nummer, 0);
}

TEST(TPunkteSammlungTest, PunktAusserhalbGibtNull) {
    TPunkteSammlung s;
    EXPECT_EQ(s.Punkt(0), nullptr);
    s.NeuerPunkt();
    s.NeuerPunkt();
    EXPECT_NE(s.Punkt(1), nullptr);
    EXPECT_EQ(s.Punkt(2), nullptr);
    EXPECT_EQ(s.Punkt(-1), nullptr);
    const TPunkteSammlung& k = s;
    EXPECT_EQ(k.Punkt(2), nullptr);
    EXPECT_EQ(k.Punkt(-1), nullptr);
    EXPECT_EQ(k.Punkt(0), s.Punkt(0));
}

TEST(TPunkteSammlungTest, LoeschenSchliesstDieLuecke) {
    TPunkteSammlung s;
    for (int i = 0; i < 3; ++i) s.Punkt(s.NeuerPunkt())->Nummer = 10 + i;
    s.PunktLoeschen(0);
    ASSERT_EQ(s.AnzahlPunkte(), 2);
    EXPECT_EQ(s.Punkt(0)->Nummer, 11);
    EXPECT_EQ(s.Punkt(1)->Nummer, 12);
    s.PunktLoeschen(1);
    ASSERT_EQ(s.AnzahlPunkte(), 1);
    EXPECT_EQ(s.Punkt(0)->Nummer, 11);
}

TEST(TPunkteSammlungTest, LoeschenAusserhalbTutNichts) {
    TPunkteSammlung s;
    s.PunktLoeschen(0);
    EXPECT_EQ(s.AnzahlPunkte(), 0);
    s.Punkt(s.NeuerPunkt())->Nummer = 5;
    s.PunktLoeschen(1);
    s.PunktLoeschen(-1);
    ASSERT_EQ(s.AnzahlPunkte(), 1);
    EXPECT_EQ(s.Punkt(0)->Nummer, 5);
}

TEST(TPunkteSammlungTest, SchwerpunktIstDieMittlerePosition) {
    TPunkteSammlung s;
    s.NeuerPunkt();
    TPunkt* b = s.Punkt(s.NeuerPunkt());
    b->X = 2;
    b->Y = 4;
    b->Z = 6;
    b->Xrot = 1;
    s.Schwerpunkt.Zrot = 3;
    s.Schwerpunkt.NX = 0.5;
    s.BerechneSchwerpunkt();
    EXPECT_DOUBLE_EQ(s.Schwerpunkt.X, 1.0);
    EXPECT_DOUBLE_EQ(s.Schwerpunkt.Y, 2.0);
    EXPECT_DOUBLE_EQ(s.Schwerpunkt.Z, 3.0);
    // Normal and rotations in the reset state.
    EXPECT_EQ(s.Schwerpunkt.Zrot, 0.0);
    EXPECT_EQ(s.Schwerpunkt.Xrot, 0.0);
    EXPECT_EQ(s.Schwerpunkt.NX, 0.0);
    EXPECT_EQ(s.Schwerpunkt.NY, 1.0);

    TPunkt* c = s.Punkt(s.NeuerPunkt());
    c->X = 7;
    s.BerechneSchwerpunkt();
    EXPECT_DOUBLE_EQ(s.Schwerpunkt.X, 3.0);
    EXPECT_DOUBLE_EQ(s.Schwerpunkt.Y, 4.0 / 3.0);
}

TEST(TPunkteSammlungTest, SchwerpunktOhnePunkteBleibtImUrsprung) {
    TPunkteSammlung s;
    s.Schwerpunkt.X = 5;
    s.Schwerpunkt.Y = -1;
    s.BerechneSchwerpunkt();
    EXPECT_EQ(s.Schwerpunkt.X, 0.0);
    EXPECT_EQ(s.Schwerpunkt.Y, 0.0);
    EXPECT_EQ(s.Schwerpunkt.Z, 0.0);
}

}  // namespace
}  // namespace pavolant
