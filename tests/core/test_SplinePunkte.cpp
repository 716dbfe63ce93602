// The spline point list, its parameter-file sections and the centre line through it.
#include "model/SplinePunkte.h"

#include "model/Zahlen.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <string>

namespace pavolant {
namespace {

using test::AufzeichnenderMelder;
using test::MitDezimaltrenner;

constexpr double kEps = 1e-9;

void Setze(TSplinePkt* p, double x, double y, double z, double xrot = 0, double yrot = 0, double zrot = 0) {
    ASSERT_NE(p, nullptr);
    p->X = x;
    p->Y = y;
    p->Z = z;
    p->Xrot = xrot;
    p->Yrot = yrot;
    p->Zrot = zrot;
}

// Evaluates connection i at t and carries the result into level coordinates the way
// the generation run does: DreheY(Richtung), then the start point's position added.
TPunkt Weltpunkt(const TSplinePunkte& liste, int i, double t) {
    TPunkt ziel;
    liste.MittellinienPunkt(i, ziel, t);
    const TSplinePkt* p = liste.Punkt(i);
    ziel.DreheY(p->Richtung);
    ziel.X += p->X;
    ziel.Y += p->Y;
    ziel.Z += p->Z;
    return ziel;
}

// The angle a brought into (-pi, pi].
double Haupt(double a) {
    double r = std::remainder(a, 2 * kPi);
    if (r <= -kPi) r += 2 * kPi;
    return r;
}

std::string MitTrenner(std::string text, char trenner) {
    for (char& c : text)
        if (c == '#') c = trenner;
    return text;
}

// ---------------------------------------------------------------------------------------
// The list

TEST(SplineListe, NeueListeHatZweiNullpunkte) {
    const TSplinePunkte liste;
    ASSERT_EQ(liste.AnzahlPunkte(), 2);
    for (int i = 0; i < 2; ++i) {
        const TSplinePkt* p = liste.Punkt(i);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->X, 0.0);
        EXPECT_EQ(p->Y, 0.0);
        EXPECT_EQ(p->Z, 0.0);
        EXPECT_EQ(p->Xrot, 0.0);
        EXPECT_EQ(p->Yrot, 0.0);
        EXPECT_EQ(p->Zrot, 0.0);
        EXPECT_EQ(p->Abstand, 0.0);
        EXPECT_EQ(p->QuerA, 0.0);
    }
    EXPECT_NE(liste.Punkt(0), liste.Punkt(1));
}

TEST(SplineListe, PunktAusserhalbGibtNull) {
    TSplinePunkte liste;
    EXPECT_EQ(liste.Punkt(2), nullptr);
    EXPECT_EQ(liste.Punkt(-1), nullptr);
    const TSplinePunkte& k = liste;
    EXPECT_EQ(k.Punkt(2), nullptr);
    EXPECT_EQ(k.Punkt(1), liste.Punkt(1));
}

TEST(SplineListe, AnhaengenSetztEinenNullpunktAnsEnde) {
    TSplinePunkte liste;
    liste.Punkt(1)->X = 4;
    TSplinePkt* neu = liste.Anhaengen();
    ASSERT_EQ(liste.AnzahlPunkte(), 3);
    EXPECT_EQ(liste.Punkt(2), neu);
    EXPECT_EQ(neu->X, 0.0);
    EXPECT_EQ(liste.Punkt(1)->X, 4.0);
}

TEST(SplineListe, EinfuegenAnDerGegebenenStelle) {
    TSplinePunkte liste;
    liste.Punkt(0)->X = 1;
    liste.Punkt(1)->X = 2;

    TSplinePkt* vorn = liste.Einfuegen(0);
    ASSERT_EQ(liste.AnzahlPunkte(), 3);
    EXPECT_EQ(liste.Punkt(0), vorn);
    EXPECT_EQ(vorn->X, 0.0);
    EXPECT_EQ(liste.Punkt(1)->X, 1.0);
    EXPECT_EQ(liste.Punkt(2)->X, 2.0);

    TSplinePkt* mitte = liste.Einfuegen(2);
    EXPECT_EQ(liste.Punkt(2), mitte);
    EXPECT_EQ(liste.Punkt(3)->X, 2.0);

    TSplinePkt* hinten = liste.Einfuegen(liste.AnzahlPunkte());  // 4: behind the last point
    ASSERT_EQ(liste.AnzahlPunkte(), 5);
    EXPECT_EQ(liste.Punkt(4), hinten);
}

TEST(SplineListe, EinfuegenAusserhalbKlemmt) {
    TSplinePunkte liste;
    liste.Punkt(0)->X = 1;
    TSplinePkt* neu = liste.Einfuegen(99);
    ASSERT_EQ(liste.AnzahlPunkte(), 3);
    EXPECT_EQ(liste.Punkt(2), neu);

    neu = liste.Einfuegen(-5);
    EXPECT_EQ(liste.Punkt(0), neu);
    EXPECT_EQ(liste.Punkt(1)->X, 1.0);
}

TEST(SplineListe, LoeschenNimmtGenauDenPunktHeraus) {
    TSplinePunkte liste;
    liste.Anhaengen();
    liste.Anhaengen();
    for (int i = 0; i < 4; ++i) liste.Punkt(i)->X = i;

    liste.PunktLoeschen(0);
    ASSERT_EQ(liste.AnzahlPunkte(), 3);
    EXPECT_EQ(liste.Punkt(0)->X, 1.0);
    EXPECT_EQ(liste.Punkt(1)->X, 2.0);
    EXPECT_EQ(liste.Punkt(2)->X, 3.0);

    liste.PunktLoeschen(2);
    ASSERT_EQ(liste.AnzahlPunkte(), 2);
    EXPECT_EQ(liste.Punkt(1)->X, 2.0);

    liste.PunktLoeschen(1);
    ASSERT_EQ(liste.AnzahlPunkte(), 1);
    EXPECT_EQ(liste.Punkt(0)->X, 1.0);
}

TEST(SplineListe, LoeschenAusserhalbTutNichts) {
    TSplinePunkte liste;
    liste.Punkt(1)->X = 5;
    liste.PunktLoeschen(2);
    liste.PunktLoeschen(-1);
    EXPECT_EQ(liste.AnzahlPunkte(), 2);
    EXPECT_EQ(liste.Punkt(1)->X, 5.0);
}

TEST(SplineListe, LeerGeloeschtBleibtBenutzbar) {
    TSplinePunkte liste;
    liste.PunktLoeschen(0);
    liste.PunktLoeschen(0);
    EXPECT_EQ(liste.AnzahlPunkte(), 0);
    EXPECT_EQ(liste.Punkt(0), nullptr);
    liste.PunktLoeschen(0);
    TSplinePkt* neu = liste.Einfuegen(0);
    ASSERT_EQ(liste.AnzahlPunkte(), 1);
    EXPECT_EQ(liste.Punkt(0), neu);
}

// ---------------------------------------------------------------------------------------
// Parameter file

TEST(SplineIni, OhneSplinesAbschnittZweiNullpunkte) {
    TSplinePunkte liste;
    liste.Anhaengen();
    liste.Anhaengen();
    for (int i = 0; i < 4; ++i) Setze(liste.Punkt(i), 1, 2, 3, 4, 5, 6);
    Lesen(IniDatei::AusText("[Andere]\r\nAnzahl=7\r\n"), liste);
    ASSERT_EQ(liste.AnzahlPunkte(), 2);
    for (int i = 0; i < 2; ++i) {
        const TSplinePkt* p = liste.Punkt(i);
        EXPECT_EQ(p->X, 0.0);
        EXPECT_EQ(p->Y, 0.0);
        EXPECT_EQ(p->Z, 0.0);
        EXPECT_EQ(p->Xrot, 0.0);
        EXPECT_EQ(p->Yrot, 0.0);
        EXPECT_EQ(p->Zrot, 0.0);
    }
}

TEST(SplineIni, AnzahlKleinerAlsListeUeberschreibtUndKuerzt) {
    TSplinePunkte liste;
    for (int i = 0; i < 5; ++i) liste.Anhaengen();
    for (int i = 0; i < 7; ++i) Setze(liste.Punkt(i), 100 + i, 0, 0);
    std::string text = "[Splines]\r\nAnzahl=5\r\n";
    for (int k = 1; k <= 7; ++k)
        text += "[SplinePts" + std::to_string(k) + "]\r\nX=" + std::to_string(k) + "\r\n";
    Lesen(IniDatei::AusText(text), liste);
    ASSERT_EQ(liste.AnzahlPunkte(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(liste.Punkt(i)->X, i + 1.0);
}

TEST(SplineIni, AnzahlGroesserAlsAbschnitteGibtNullpunkte) {
    TSplinePunkte liste;
    Setze(liste.Punkt(1), 9, 9, 9, 9, 9, 9);
    Lesen(IniDatei::AusText("[Splines]\nAnzahl=3\n[SplinePts1]\nX=1\nY=2\nZ=3\nXrot=4\nYrot=5\nZrot=6\n"),
          liste);
    ASSERT_EQ(liste.AnzahlPunkte(), 3);
    const TSplinePkt* p = liste.Punkt(0);
    EXPECT_EQ(p->X, 1.0);
    EXPECT_EQ(p->Y, 2.0);
    EXPECT_EQ(p->Z, 3.0);
    EXPECT_EQ(p->Xrot, 4.0);
    EXPECT_EQ(p->Yrot, 5.0);
    EXPECT_EQ(p->Zrot, 6.0);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(liste.Punkt(i)->X, 0.0);
        EXPECT_EQ(liste.Punkt(i)->Xrot, 0.0);
        EXPECT_EQ(liste.Punkt(i)->Zrot, 0.0);
    }
}

TEST(SplineIni, AnzahlNullOderNegativLeertDieListe) {
    for (const char* anzahl : {"0", "-1", "-2147483648"}) {
        TSplinePunkte liste;
        Lesen(IniDatei::AusText(std::string("[Splines]\nAnzahl=") + anzahl + "\n"), liste);
        EXPECT_EQ(liste.AnzahlPunkte(), 0) << anzahl;
    }
}

TEST(SplineIni, BeideDezimaltrennerWerdenGelesen) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        TSplinePunkte liste;
        Lesen(
            IniDatei::AusText("[splines]\nanzahl=2\n[SplinePts1]\nX=1,5\nYrot=-2.25\n[SPLINEPTS2]\nz=1E-5\n"),
            liste);
        ASSERT_EQ(liste.AnzahlPunkte(), 2);
        EXPECT_EQ(liste.Punkt(0)->X, 1.5);
        EXPECT_EQ(liste.Punkt(0)->Yrot, -2.25);
        EXPECT_EQ(liste.Punkt(1)->Z, 1e-5);
    }
}

TEST(SplineIni, KeineZahlBrichtAmSchluesselAb) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 9, 9, 9, 9, 9, 9);
    Setze(liste.Punkt(1), 8, 8, 8, 8, 8, 8);
    const IniDatei ini = IniDatei::AusText(
        "[Splines]\nAnzahl=3\n[SplinePts1]\nX=1\nY=2\nZ=3\n"
        "[SplinePts2]\nX=4\nY=5\nZ=abc\nXrot=6\n");
    EXPECT_THROW(Lesen(ini, liste), KonvertierungsFehler);
    // Point 1 complete, point 2 up to the bad key; nothing appended, nothing removed.
    ASSERT_EQ(liste.AnzahlPunkte(), 2);
    EXPECT_EQ(liste.Punkt(0)->X, 1.0);
    EXPECT_EQ(liste.Punkt(0)->Z, 3.0);
    EXPECT_EQ(liste.Punkt(0)->Xrot, 0.0);
    EXPECT_EQ(liste.Punkt(1)->X, 4.0);
    EXPECT_EQ(liste.Punkt(1)->Y, 5.0);
    EXPECT_EQ(liste.Punkt(1)->Z, 8.0);
    EXPECT_EQ(liste.Punkt(1)->Xrot, 8.0);
}

TEST(SplineIni, UnsinnigGrosseAnzahlWirdAbgewiesenOhneAenderung) {
    const std::string eineZuViel = std::to_string(TSplinePunkte::kMaxPunkte + 1);
    for (const std::string& anzahl : {std::string("2000000000"), std::string("0x7FFFFFFF"), eineZuViel}) {
        TSplinePunkte liste;
        Setze(liste.Punkt(0), 1, 2, 3);
        EXPECT_THROW(Lesen(IniDatei::AusText("[Splines]\nAnzahl=" + anzahl + "\n[SplinePts1]\nX=7\n"), liste),
                     IniFehler)
            << anzahl;
        ASSERT_EQ(liste.AnzahlPunkte(), 2);
        EXPECT_EQ(liste.Punkt(0)->X, 1.0);
    }
}

TEST(SplineIni, HoechstzahlWirdNochGelesen) {
    TSplinePunkte liste;
    const std::string n = std::to_string(TSplinePunkte::kMaxPunkte);
    Lesen(IniDatei::AusText("[Splines]\nAnzahl=" + n + "\n[SplinePts" + n + "]\nY=-4\n"), liste);
    ASSERT_EQ(liste.AnzahlPunkte(), TSplinePunkte::kMaxPunkte);
    EXPECT_EQ(liste.Punkt(TSplinePunkte::kMaxPunkte - 1)->Y, -4.0);
    EXPECT_EQ(liste.Punkt(500)->Y, 0.0);
}

TEST(SplineIni, SchreibenUndLesenStelltDiePunkteWiederHer) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        TSplinePunkte liste;
        liste.Anhaengen();
        Setze(liste.Punkt(0), 1.5, -2.25, 1e-5, 0.125, 450, -170);
        Setze(liste.Punkt(1), 123456.789, 0, -0.001, 89.99, -100, 1e20);
        Setze(liste.Punkt(2), -7, 3.14159265358979, 2.5e-7, 0, 0, 12);
        liste.Punkt(0)->QuerA = 99;  // derived: never stored

        IniDatei ini = IniDatei::AusText("");
        Schreiben(ini, liste, 2, "C:\\Strassen\\kurve.i3d");
        EXPECT_EQ(ini.LiesInteger("Splines", "Anzahl", -1), 3);
        EXPECT_EQ(ini.LiesInteger("Splines", "aktuell", -1), 2);
        EXPECT_EQ(ini.LiesString("Splines", "FileName", ""), "C:\\Strassen\\kurve.i3d");
        EXPECT_EQ(ini.LiesString("SplinePts1", "Yrot", ""), "450");
        EXPECT_EQ(ini.LiesString("SplinePts1", "X", ""), MitTrenner("1#5", trenner));
        EXPECT_FALSE(ini.SektionVorhanden("SplinePts4"));

        // Through the file's text, as a saved file would be read.
        const IniDatei gelesen = IniDatei::AusText(ini.Inhalt());
        TSplinePunkte zurueck;
        Lesen(gelesen, zurueck);
        ASSERT_EQ(zurueck.AnzahlPunkte(), 3);
        for (int i = 0; i < 3; ++i) {
            const TSplinePkt* a = liste.Punkt(i);
            const TSplinePkt* b = zurueck.Punkt(i);
            EXPECT_EQ(b->X, a->X) << i;
            EXPECT_EQ(b->Y, a->Y) << i;
            EXPECT_EQ(b->Z, a->Z) << i;
            EXPECT_EQ(b->Xrot, a->Xrot) << i;
            EXPECT_EQ(b->Yrot, a->Yrot) << i;
            EXPECT_EQ(b->Zrot, a->Zrot) << i;
        }
        EXPECT_EQ(zurueck.Punkt(0)->QuerA, 0.0);
    }
}

TEST(SplineIni, GeschriebenMitKommaGelesenMitPunkt) {
    TSplinePunkte liste;
    Setze(liste.Punkt(1), 2.5, -0.75, 10, 1.25, 0, 0);
    std::string text;
    {
        MitDezimaltrenner komma(',');
        IniDatei ini = IniDatei::AusText("");
        Schreiben(ini, liste, 0, "");
        text = ini.Inhalt();
    }
    MitDezimaltrenner punkt('.');
    TSplinePunkte zurueck;
    Lesen(IniDatei::AusText(text), zurueck);
    ASSERT_EQ(zurueck.AnzahlPunkte(), 2);
    EXPECT_EQ(zurueck.Punkt(1)->X, 2.5);
    EXPECT_EQ(zurueck.Punkt(1)->Y, -0.75);
    EXPECT_EQ(zurueck.Punkt(1)->Xrot, 1.25);
}

TEST(SplineIni, WenigerPunkteInAlteDateiGeschriebenLaedtDieNeueAnzahl) {
    test::TempOrdner ordner;
    const auto pfad = ordner / "Parameter.ini";
    {
        TSplinePunkte fuenf;
        for (int i = 0; i < 3; ++i) fuenf.Anhaengen();
        for (int i = 0; i < 5; ++i) Setze(fuenf.Punkt(i), i, 0, 0);
        IniDatei ini(pfad);
        Schreiben(ini, fuenf, 0, "");
        ini.Speichern();
    }
    TSplinePunkte zwei;
    Setze(zwei.Punkt(0), 40, 0, 0);
    Setze(zwei.Punkt(1), 41, 0, 0);
    {
        IniDatei ini(pfad);
        Schreiben(ini, zwei, 0, "");
        ini.Speichern();
    }
    const IniDatei ini(pfad);
    EXPECT_TRUE(ini.SektionVorhanden("SplinePts5"));  // left in place
    TSplinePunkte zurueck;
    for (int i = 0; i < 4; ++i) zurueck.Anhaengen();
    Lesen(ini, zurueck);
    ASSERT_EQ(zurueck.AnzahlPunkte(), 2);
    EXPECT_EQ(zurueck.Punkt(0)->X, 40.0);
    EXPECT_EQ(zurueck.Punkt(1)->X, 41.0);
}

// ---------------------------------------------------------------------------------------
// Centre line: geometry

TEST(Mittellinie, GeradeEntlangPlusZ) {
    TSplinePunkte liste;
    Setze(liste.Punkt(1), 0, 0, 10);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty());
    const TSplinePkt* p = liste.Punkt(0);
    EXPECT_EQ(p->Abstand, 10.0);
    EXPECT_EQ(p->Richtung, 0.0);
    EXPECT_EQ(p->WinkelAnfang, 0.0);
    EXPECT_EQ(p->WinkelEnde, 0.0);
    EXPECT_EQ(p->QuerA, 0.0);
    EXPECT_EQ(p->QuerB, 0.0);
    EXPECT_EQ(p->QuerC, 0.0);
    EXPECT_EQ(p->HoeheA, 0.0);
    EXPECT_EQ(p->HoeheB, 0.0);
    EXPECT_EQ(p->HoeheC, 0.0);
    EXPECT_EQ(p->ZrotDelta, 0.0);

    TPunkt ziel;
    ziel.NX = 0.5;
    ziel.U = 3;
    ziel.V = 4;
    liste.MittellinienPunkt(0, ziel, 0.5);
    EXPECT_EQ(ziel.X, 0.0);
    EXPECT_EQ(ziel.Y, 0.0);
    EXPECT_EQ(ziel.Z, 5.0);
    EXPECT_EQ(ziel.Yrot, 0.0);
    EXPECT_EQ(ziel.Xrot, 0.0);
    EXPECT_EQ(ziel.Zrot, 0.0);
    // The normal and the texture coordinates are the caller's.
    EXPECT_EQ(ziel.NX, 0.5);
    EXPECT_EQ(ziel.U, 3.0);
    EXPECT_EQ(ziel.V, 4.0);
}

TEST(Mittellinie, HoehenkurveMitEinemMeterSteigung) {
    TSplinePunkte liste;
    Setze(liste.Punkt(1), 0, 1, 10);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    const TSplinePkt* p = liste.Punkt(0);
    EXPECT_NEAR(p->HoeheA, -0.002, 1e-15);
    EXPECT_NEAR(p->HoeheB, 0.03, 1e-15);
    EXPECT_EQ(p->HoeheC, 0.0);

    TPunkt anfang, mitte, ende;
    liste.MittellinienPunkt(0, anfang, 0);
    liste.MittellinienPunkt(0, mitte, 0.5);
    liste.MittellinienPunkt(0, ende, 1);
    EXPECT_EQ(anfang.Y, 0.0);
    EXPECT_NEAR(mitte.Y, 0.5, 1e-12);
    EXPECT_NEAR(ende.Y, 1.0, 1e-12);
    // Level at both ends, steepest in the middle: y'(5) = 0.15.
    EXPECT_EQ(anfang.Xrot, 0.0);
    EXPECT_NEAR(ende.Xrot, 0.0, 1e-12);
    EXPECT_NEAR(mitte.Xrot, std::atan(0.15), 1e-12);
}

TEST(Mittellinie, SehneEntlangPlusXMitKurs90) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 0, 90, 0);
    Setze(liste.Punkt(1), 10, 0, 0, 0, 90, 0);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    const TSplinePkt* p = liste.Punkt(0);
    EXPECT_DOUBLE_EQ(p->Richtung, -kPi / 2);
    EXPECT_NEAR(p->WinkelAnfang, 0, 1e-15);
    EXPECT_NEAR(p->WinkelEnde, 0, 1e-15);
    for (double t : {0.0, 0.5, 1.0}) {
        TPunkt ziel;
        liste.MittellinienPunkt(0, ziel, t);
        EXPECT_NEAR(ziel.X, 0, 1e-12) << t;  // the straight chord
    }
    const TPunkt ende = Weltpunkt(liste, 0, 1);
    EXPECT_NEAR(ende.X, 10, 1e-12);
    EXPECT_NEAR(ende.Y, 0, 1e-12);
    EXPECT_NEAR(ende.Z, 0, 1e-12);
}

TEST(Mittellinie, SehneEntlangMinusXUndMinusZ) {
    {
        TSplinePunkte liste;
        Setze(liste.Punkt(0), 0, 0, 0, 0, -90, 0);
        Setze(liste.Punkt(1), -10, 0, 0, 0, -90, 0);
        AufzeichnenderMelder melder;
        ASSERT_TRUE(liste.BerechneMittellinie(melder));
        EXPECT_DOUBLE_EQ(liste.Punkt(0)->Richtung, kPi / 2);
        const TPunkt ende = Weltpunkt(liste, 0, 1);
        EXPECT_NEAR(ende.X, -10, 1e-12);
        EXPECT_NEAR(ende.Z, 0, 1e-12);
    }
    {
        // Heading 180 on a chord along -Z: alpha = pi + pi, brought back to 0.
        TSplinePunkte liste;
        Setze(liste.Punkt(0), 5, 0, 5, 0, 180, 0);
        Setze(liste.Punkt(1), 5, 0, -5, 0, 180, 0);
        AufzeichnenderMelder melder;
        ASSERT_TRUE(liste.BerechneMittellinie(melder)) << melder.eintraege.size();
        EXPECT_DOUBLE_EQ(liste.Punkt(0)->Richtung, kPi);
        EXPECT_NEAR(liste.Punkt(0)->WinkelAnfang, 0, 1e-15);
        EXPECT_NEAR(liste.Punkt(0)->WinkelEnde, 0, 1e-15);
        const TPunkt mitte = Weltpunkt(liste, 0, 0.5);
        EXPECT_NEAR(mitte.X, 5, 1e-12);
        EXPECT_NEAR(mitte.Z, 0, 1e-12);
    }
}

TEST(Mittellinie, Viertelkreis) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 0, 0, 0);
    Setze(liste.Punkt(1), 10, 0, 10, 0, 90, 0);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty());
    const TSplinePkt* p = liste.Punkt(0);
    const double L = std::sqrt(200.0);
    EXPECT_NEAR(p->Abstand, 14.1421, 1e-4);
    EXPECT_DOUBLE_EQ(p->Abstand, L);
    EXPECT_DOUBLE_EQ(p->Richtung, -kPi / 4);
    EXPECT_NEAR(RadZuGrad(p->WinkelAnfang), -45, 1e-12);
    EXPECT_NEAR(RadZuGrad(p->WinkelEnde), 45, 1e-12);
    EXPECT_NEAR(p->QuerA, 0, 1e-15);
    EXPECT_NEAR(p->QuerB, 1 / L, 1e-15);
    EXPECT_NEAR(p->QuerC, -1, 1e-15);

    TPunkt mitte;
    liste.MittellinienPunkt(0, mitte, 0.5);
    EXPECT_NEAR(mitte.X, -L / 4, 1e-12);  // bulges to the right of the chord
    EXPECT_EQ(mitte.Y, 0.0);
    EXPECT_NEAR(mitte.Z, L / 2, 1e-12);
    EXPECT_NEAR(mitte.Yrot, 0, 1e-12);

    const TPunkt welt = Weltpunkt(liste, 0, 0.5);
    EXPECT_NEAR(welt.X, 2.5, 1e-12);
    EXPECT_NEAR(welt.Y, 0, 1e-12);
    EXPECT_NEAR(welt.Z, 7.5, 1e-12);
    EXPECT_NEAR(welt.Yrot, -kPi / 4, 1e-12);

    // Ends at q, facing +X (a turn of DreheY by -pi/2).
    const TPunkt ende = Weltpunkt(liste, 0, 1);
    EXPECT_NEAR(ende.X, 10, 1e-12);
    EXPECT_NEAR(ende.Z, 10, 1e-12);
    EXPECT_NEAR(ende.Yrot, -kPi / 2, 1e-12);
}

TEST(Mittellinie, SKurveKehrtZurSehneZurueck) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 0, 30, 0);
    Setze(liste.Punkt(1), 0, 0, 20, 0, -30, 0);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    const double t30 = std::tan(GradZuRad(30));
    TPunkt anfang, mitte, ende;
    liste.MittellinienPunkt(0, anfang, 0);
    liste.MittellinienPunkt(0, mitte, 0.5);
    liste.MittellinienPunkt(0, ende, 1);
    EXPECT_NEAR(-std::tan(anfang.Yrot), t30, 1e-12);  // x'(0) = tan 30
    EXPECT_NEAR(-std::tan(ende.Yrot), -t30, 1e-12);   // x'(L) = tan(-30)
    EXPECT_NEAR(ende.X, 0, 1e-12);
    EXPECT_NEAR(ende.Z, 20, 1e-12);
    EXPECT_GT(mitte.X, 1.0);  // one-sided bulge
    // The curve's slope agrees with the reported heading along the way.
    for (double t : {0.2, 0.5, 0.8}) {
        TPunkt a, b, m;
        const double e = 1e-6;
        liste.MittellinienPunkt(0, a, t - e);
        liste.MittellinienPunkt(0, b, t + e);
        liste.MittellinienPunkt(0, m, t);
        EXPECT_NEAR(-std::atan((b.X - a.X) / (b.Z - a.Z)), m.Yrot, 1e-7) << t;
    }
}

TEST(Mittellinie, KurvenTreffenJedenPunktMitSeinemKursUndGefaelle) {
    // (X, Y, Z, Xrot, Yrot, Zrot) for each point of a winding, climbing road.
    const double punkte[][6] = {{0, 0, 0, 0, 20, 0},     {15, 2, 30, 3, 10, 5},    {40, 1, 45, -4, 80, -5},
                                {70, -3, 30, 2, 130, 0}, {75, 0, -10, 0, 190, 10}, {40, 2, -40, -1, 260, 0}};
    TSplinePunkte liste;
    for (int i = 2; i < 6; ++i) liste.Anhaengen();
    for (int i = 0; i < 6; ++i) {
        const auto& w = punkte[i];
        Setze(liste.Punkt(i), w[0], w[1], w[2], w[3], w[4], w[5]);
    }
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty());

    for (int i = 0; i < 5; ++i) {
        const TSplinePkt* p = liste.Punkt(i);
        const TSplinePkt* q = liste.Punkt(i + 1);
        for (double t : {0.0, 1.0}) {
            const TSplinePkt* ziel = t == 0 ? p : q;
            const TPunkt w = Weltpunkt(liste, i, t);
            EXPECT_NEAR(w.X, ziel->X, 1e-9) << i << " " << t;
            EXPECT_NEAR(w.Y, ziel->Y, 1e-9) << i << " " << t;
            EXPECT_NEAR(w.Z, ziel->Z, 1e-9) << i << " " << t;
            // The level's heading turns opposite to DreheY.
            EXPECT_NEAR(Haupt(w.Yrot + GradZuRad(ziel->Yrot)), 0, 1e-9) << i << " " << t;
            EXPECT_NEAR(w.Zrot, GradZuRad(ziel->Zrot), 1e-12) << i << " " << t;
        }
        // Height slope along the road at both ends: tan(-Xrot), a positive Xrot falls.
        const double e = 1e-7;
        TPunkt a0, a1, b0, b1;
        liste.MittellinienPunkt(i, a0, 0);
        liste.MittellinienPunkt(i, a1, e);
        liste.MittellinienPunkt(i, b0, 1 - e);
        liste.MittellinienPunkt(i, b1, 1);
        const double g0 = (a1.Y - a0.Y) / (a1.Z - a0.Z);
        const double g1 = (b1.Y - b0.Y) / (b1.Z - b0.Z);
        EXPECT_NEAR(g0 * std::cos(p->WinkelAnfang), std::tan(GradZuRad(-p->Xrot)), 1e-5) << i;
        EXPECT_NEAR(g1 * std::cos(p->WinkelEnde), std::tan(GradZuRad(-q->Xrot)), 1e-5) << i;
        EXPECT_NEAR(p->HoeheC * std::cos(p->WinkelAnfang), std::tan(GradZuRad(-p->Xrot)), 1e-12);
    }
}

TEST(Mittellinie, QuerneigungUeber180Grad) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 0, 0, 170);
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, -170);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(liste.Punkt(0)->ZrotDelta, 20.0);
    TPunkt ziel;
    liste.MittellinienPunkt(0, ziel, 0.5);
    EXPECT_DOUBLE_EQ(ziel.Zrot, kPi);
    liste.MittellinienPunkt(0, ziel, 0);
    EXPECT_DOUBLE_EQ(ziel.Zrot, GradZuRad(170));

    // And the other way round: -170 to 170 turns back through -180.
    Setze(liste.Punkt(0), 0, 0, 0, 0, 0, -170);
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 170);
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(liste.Punkt(0)->ZrotDelta, -20.0);
    // 180 and -180 stay as they are.
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 10);
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(liste.Punkt(0)->ZrotDelta, 180.0);
    Setze(liste.Punkt(0), 0, 0, 0, 0, 0, 10);
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, -170);
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(liste.Punkt(0)->ZrotDelta, -180.0);
}

TEST(Mittellinie, MittellinienPunktAusserhalbLaesstZielStehen) {
    TSplinePunkte liste;
    Setze(liste.Punkt(1), 0, 0, 10);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    for (int i : {-1, 1, 2, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
        TPunkt ziel;
        ziel.X = 7;
        ziel.Z = 8;
        ziel.Zrot = 9;
        liste.MittellinienPunkt(i, ziel, 0.5);
        EXPECT_EQ(ziel.X, 7.0) << i;
        EXPECT_EQ(ziel.Z, 8.0) << i;
        EXPECT_EQ(ziel.Zrot, 9.0) << i;
    }
}

// ---------------------------------------------------------------------------------------
// Centre line: normalisation of the stored angles

// The loops the stored angles are normalised with, as an oracle for moderate values.
double MitSchleifen(double v) {
    while (v < -90) v += 360;
    while (v > 270) v -= 360;
    return v;
}

TEST(MittellinieWinkel, KursWirdNormiertZurueckgeschrieben) {
    {
        TSplinePunkte liste;
        Setze(liste.Punkt(0), 0, 0, 0, 0, 450, 0);
        Setze(liste.Punkt(1), 10, 0, 0, 0, -270, 0);
        AufzeichnenderMelder melder;
        ASSERT_TRUE(liste.BerechneMittellinie(melder));
        EXPECT_EQ(liste.Punkt(0)->Yrot, 90.0);
        EXPECT_EQ(liste.Punkt(1)->Yrot, 90.0);
    }
    {
        // -100 becomes 260; on a chord along -X that is 10 degrees right of the chord.
        TSplinePunkte liste;
        Setze(liste.Punkt(0), 0, 0, 0, 0, -100, 0);
        Setze(liste.Punkt(1), -10, 0, 0, 0, -90, 0);
        AufzeichnenderMelder melder;
        ASSERT_TRUE(liste.BerechneMittellinie(melder));
        EXPECT_EQ(liste.Punkt(0)->Yrot, 260.0);
        EXPECT_EQ(liste.Punkt(1)->Yrot, -90.0);
        EXPECT_NEAR(RadZuGrad(liste.Punkt(0)->WinkelAnfang), -10, 1e-12);
    }
}

TEST(MittellinieWinkel, NeigungWirdNormiertZurueckgeschrieben) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 350, 0, 0);
    Setze(liste.Punkt(1), 0, 0, 10, -460, 0, 0);
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(liste.Punkt(0)->Xrot, -10.0);
    EXPECT_EQ(liste.Punkt(1)->Xrot, 260.0);
    // -10 degrees: the road climbs at the start.
    EXPECT_GT(liste.Punkt(0)->HoeheC, 0.0);
}

TEST(MittellinieWinkel, NormierungGleichtDenSchleifen) {
    // clang-format off
    const double werte[] = {0.0,   -0.0,    -90.0,  270.0,   -90.5,   270.5,  -360.0,
                            360.0, 720.0,   -720.0, 630.0,   631.25,  -450.0, -450.5,
                            1e6 + 0.3, -1e6 - 0.7, 12345.678, -98765.4321, 359.999999999,
                            -90.00000000000001, 989.99999999999};
    // clang-format on
    for (double w : werte) {
        TSplinePunkte liste;
        // The heading is written back before it is checked, so it is normalised whether
        // or not the connection passes.
        Setze(liste.Punkt(0), 0, 0, 0, w, w, 0);
        Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 0);
        AufzeichnenderMelder melder;
        liste.BerechneMittellinie(melder);
        const double erwartet = MitSchleifen(w);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(liste.Punkt(0)->Yrot), std::bit_cast<std::uint64_t>(erwartet))
            << w << " -> " << liste.Punkt(0)->Yrot;
    }
}

TEST(MittellinieWinkel, RiesigeWinkelHaengenNicht) {
    // Far beyond the range the normalising loops can finish in.
    const double viel = 45 + 360 * std::ldexp(1.0, 40);
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, viel, viel, 0);
    Setze(liste.Punkt(1), 0, 0, 10, -viel, 0, 20 + 360 * std::ldexp(1.0, 45));
    AufzeichnenderMelder melder;
    ASSERT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(liste.Punkt(0)->Yrot, 45.0);
    EXPECT_EQ(liste.Punkt(0)->Xrot, 45.0);
    EXPECT_EQ(liste.Punkt(1)->Xrot, -45.0);
    EXPECT_EQ(liste.Punkt(0)->ZrotDelta, 20.0);

    for (double w : {1e300, -1e300, std::numeric_limits<double>::max()}) {
        TSplinePunkte riesig;
        Setze(riesig.Punkt(0), 0, 0, 0, w, w, 0);
        Setze(riesig.Punkt(1), 0, 0, 10, 0, w, 0);
        riesig.BerechneMittellinie(melder);
        EXPECT_GE(riesig.Punkt(0)->Yrot, -90.0) << w;
        EXPECT_LE(riesig.Punkt(0)->Yrot, 270.0) << w;
        EXPECT_GE(riesig.Punkt(1)->Yrot, -90.0) << w;
        EXPECT_LE(riesig.Punkt(1)->Yrot, 270.0) << w;
    }
}

// ---------------------------------------------------------------------------------------
// Centre line: checks and messages

TEST(MittellinieMeldungen, ZuWenigePunkte) {
    for (int anzahl : {0, 1}) {
        TSplinePunkte liste;
        while (liste.AnzahlPunkte() > anzahl) liste.PunktLoeschen(0);
        AufzeichnenderMelder melder;
        EXPECT_FALSE(liste.BerechneMittellinie(melder));
        ASSERT_EQ(melder.eintraege.size(), 1u);
        EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Information);
        EXPECT_EQ(melder.eintraege[0].text, "Es müssen mindestens zwei SplinePunkte vorhanden sein!");
    }
}

TEST(MittellinieMeldungen, NaheBeieinanderWarntUndRechnetWeiter) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        TSplinePunkte liste;
        liste.Anhaengen();
        Setze(liste.Punkt(1), 0, 0, 10);
        Setze(liste.Punkt(2), 0, 3, 10.5);
        AufzeichnenderMelder melder;
        EXPECT_TRUE(liste.BerechneMittellinie(melder));
        ASSERT_EQ(melder.eintraege.size(), 1u);
        EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Warnung);
        EXPECT_EQ(melder.eintraege[0].text, MitTrenner("SplinePunkte 2 und 3 nur 0#5 auseinander!", trenner));
        EXPECT_EQ(liste.Punkt(1)->Abstand, 0.5);
        // The short connection is computed like any other.
        EXPECT_NEAR(liste.Punkt(1)->HoeheA, (0 - 2 * 3) / 0.125, 1e-9);
    }
}

TEST(MittellinieMeldungen, ZuNaheWarntUndBricht) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        TSplinePunkte liste;
        Setze(liste.Punkt(1), 0, 7, 0.05, 0, 180, 0);
        AufzeichnenderMelder melder;
        EXPECT_FALSE(liste.BerechneMittellinie(melder));
        ASSERT_EQ(melder.eintraege.size(), 1u);
        EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Warnung);
        EXPECT_EQ(melder.eintraege[0].text,
                  MitTrenner("SplinePunkte 1 und 2 nur 0#05 auseinander!", trenner));
        EXPECT_EQ(liste.Punkt(0)->Abstand, 0.05);
        EXPECT_EQ(liste.Punkt(1)->Yrot, 180.0);  // stopped before the angles
    }
}

TEST(MittellinieMeldungen, AbstandsGrenzen) {
    AufzeichnenderMelder melder;
    TSplinePunkte liste;
    Setze(liste.Punkt(1), 0, 25, 1);  // exactly 1 m apart horizontally
    EXPECT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty());

    Setze(liste.Punkt(1), 0, 0, 0.1);  // exactly 0.1 m: warned, not stopped
    EXPECT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_EQ(melder.eintraege.size(), 1u);

    Setze(liste.Punkt(1), 0, 5, 0);  // same place, only higher
    melder.eintraege.clear();
    EXPECT_FALSE(liste.BerechneMittellinie(melder));
    ASSERT_EQ(melder.eintraege.size(), 1u);
    EXPECT_EQ(melder.eintraege[0].text, "SplinePunkte 1 und 2 nur 0 auseinander!");
}

TEST(MittellinieMeldungen, UmgedrehterAnfangskurs) {
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 0, 180, 0);
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 0);
    AufzeichnenderMelder melder;
    EXPECT_FALSE(liste.BerechneMittellinie(melder));
    ASSERT_EQ(melder.eintraege.size(), 1u);
    EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Warnung);
    EXPECT_EQ(melder.eintraege[0].text,
              "SplinePunkte 1 - 2: Winkel am Anfang der Verbindungslinie zu gross 180");
    EXPECT_EQ(liste.Punkt(0)->WinkelAnfang, 0.0);  // not stored
    EXPECT_EQ(liste.Punkt(0)->Abstand, 10.0);
}

TEST(MittellinieMeldungen, EndkursZuSteil) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        TSplinePunkte liste;
        liste.Anhaengen();
        Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 0);
        Setze(liste.Punkt(2), 0, 0, 20, 0, -89.5, 0);
        AufzeichnenderMelder melder;
        EXPECT_FALSE(liste.BerechneMittellinie(melder));
        ASSERT_EQ(melder.eintraege.size(), 1u);
        EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Warnung);
        EXPECT_EQ(
            melder.eintraege[0].text,
            MitTrenner("SplinePunkte 2 - 3: Winkel am Ende der Verbindungslinie zu gross -89#5", trenner));
        // The start side of the failing connection was stored, the end side not.
        EXPECT_EQ(liste.Punkt(1)->WinkelAnfang, 0.0);
        EXPECT_EQ(liste.Punkt(1)->QuerC, 0.0);
        EXPECT_EQ(liste.Punkt(1)->Abstand, 10.0);
    }
}

TEST(MittellinieMeldungen, Grenzwinkel89Grad) {
    for (double kurs : {89.0, -89.0}) {
        TSplinePunkte liste;
        Setze(liste.Punkt(0), 0, 0, 0, 0, kurs, 0);
        Setze(liste.Punkt(1), 0, 0, 10, 0, -kurs, 0);
        AufzeichnenderMelder melder;
        EXPECT_TRUE(liste.BerechneMittellinie(melder)) << kurs;
        EXPECT_TRUE(melder.eintraege.empty()) << kurs;
        EXPECT_EQ(std::fabs(liste.Punkt(0)->WinkelAnfang), 1.5533430342749532);
    }
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 0, 89.000001, 0);
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 0);
    AufzeichnenderMelder melder;
    EXPECT_FALSE(liste.BerechneMittellinie(melder));
    ASSERT_EQ(melder.eintraege.size(), 1u);
    EXPECT_NE(melder.eintraege[0].text.find("Winkel am Anfang"), std::string::npos);
}

TEST(MittellinieMeldungen, FehlerLaesstFruehereVerbindungenUndSpaetereUnberuehrt) {
    TSplinePunkte liste;
    liste.Anhaengen();
    liste.Anhaengen();
    Setze(liste.Punkt(0), 0, 0, 0, 0, 30, 0);
    Setze(liste.Punkt(1), 0, 0, 10, 0, 0, 0);
    Setze(liste.Punkt(2), 0, 0, 20, 0, 500, 0);  // 140 degrees off: connection 1 fails
    Setze(liste.Punkt(3), 0, 0, 30, 0, 0, 0);
    liste.Punkt(2)->Abstand = -1;
    liste.Punkt(2)->QuerB = -2;
    AufzeichnenderMelder melder;
    EXPECT_FALSE(liste.BerechneMittellinie(melder));
    ASSERT_EQ(melder.eintraege.size(), 1u);
    EXPECT_EQ(melder.eintraege[0].text,
              "SplinePunkte 2 - 3: Winkel am Ende der Verbindungslinie zu gross 140");
    // Connection 0 computed.
    EXPECT_NE(liste.Punkt(0)->QuerC, 0.0);
    // The failing connection 1: distance, heading and normalised headings set.
    EXPECT_EQ(liste.Punkt(1)->Abstand, 10.0);
    EXPECT_EQ(liste.Punkt(2)->Yrot, 140.0);
    // Connection 2 untouched.
    EXPECT_EQ(liste.Punkt(2)->Abstand, -1.0);
    EXPECT_EQ(liste.Punkt(2)->QuerB, -2.0);
}

// ---------------------------------------------------------------------------------------
// Centre line: values outside the double range

TEST(MittellinieZahlenbereich, NichtEndlicheWerteWerdenAbgewiesen) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int feld = 0; feld < 6; ++feld) {
        for (double w : {nan, inf, -inf}) {
            TSplinePunkte liste;
            liste.Anhaengen();
            Setze(liste.Punkt(1), 0, 0, 10);
            Setze(liste.Punkt(2), 0, 0, 20);
            double* ziel[] = {&liste.Punkt(2)->X,    &liste.Punkt(2)->Y,    &liste.Punkt(2)->Z,
                              &liste.Punkt(2)->Xrot, &liste.Punkt(2)->Yrot, &liste.Punkt(2)->Zrot};
            *ziel[feld] = w;
            AufzeichnenderMelder melder;
            EXPECT_FALSE(liste.BerechneMittellinie(melder)) << feld << " " << w;
            ASSERT_EQ(melder.eintraege.size(), 1u) << feld << " " << w;
            EXPECT_EQ(melder.eintraege[0].art, MeldungsArt::Warnung);
            EXPECT_EQ(melder.eintraege[0].text,
                      "SplinePunkte 2 - 3: Werte ausserhalb des gültigen Zahlenbereichs!");
            EXPECT_EQ(liste.Punkt(0)->Abstand, 10.0);  // connection 0 done
            EXPECT_EQ(liste.Punkt(1)->Abstand, 0.0);   // nothing stored for connection 1
        }
    }
}

TEST(MittellinieZahlenbereich, UeberlaufWirdAbgewiesen) {
    const double max = std::numeric_limits<double>::max();
    struct Fall {
        double p[6], q[6];
    };
    const Fall faelle[] = {
        {{-max, 0, 0, 0, 90, 0}, {max, 0, 0, 0, 90, 0}},  // dX overflows
        {{0, -max, 0, 0, 0, 0}, {0, max, 10, 0, 0, 0}},   // dY overflows
        {{0, 0, 0, 90, 0, 0}, {0, 0, 1e300, 0, 0, 0}},    // slope times L overflows
        {{0, 0, 0, 0, 0, -max}, {0, 0, 10, 0, 0, max}},   // bank change overflows
    };
    for (const Fall& f : faelle) {
        TSplinePunkte liste;
        Setze(liste.Punkt(0), f.p[0], f.p[1], f.p[2], f.p[3], f.p[4], f.p[5]);
        Setze(liste.Punkt(1), f.q[0], f.q[1], f.q[2], f.q[3], f.q[4], f.q[5]);
        AufzeichnenderMelder melder;
        EXPECT_FALSE(liste.BerechneMittellinie(melder));
        ASSERT_EQ(melder.eintraege.size(), 1u);
        EXPECT_EQ(melder.eintraege[0].text,
                  "SplinePunkte 1 - 2: Werte ausserhalb des gültigen Zahlenbereichs!");
        const TSplinePkt* p = liste.Punkt(0);
        for (double v : {p->Abstand, p->Richtung, p->QuerA, p->QuerB, p->QuerC, p->HoeheA, p->HoeheB,
                         p->HoeheC, p->ZrotDelta})
            EXPECT_TRUE(std::isfinite(v));
    }
}

TEST(MittellinieZahlenbereich, SteileNeigungOhneGrenze) {
    // No limit on the pitch: 90 degrees gives a huge but finite slope.
    TSplinePunkte liste;
    Setze(liste.Punkt(0), 0, 0, 0, 90, 0, 0);
    Setze(liste.Punkt(1), 0, 0, 10, 270, 0, 0);
    AufzeichnenderMelder melder;
    EXPECT_TRUE(liste.BerechneMittellinie(melder));
    EXPECT_TRUE(melder.eintraege.empty());
    EXPECT_LT(liste.Punkt(0)->HoeheC, -1e15);
    EXPECT_TRUE(std::isfinite(liste.Punkt(0)->HoeheA));
}

}  // namespace
}  // namespace pavolant
