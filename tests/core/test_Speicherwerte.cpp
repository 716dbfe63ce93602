// A parameter save never writes a number that its own load refuses: such values are
// refused with their place named, at entry where the window reads them, at the latest
// before the save touches the file.
#include "model/Zahlen.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "tests/support/Fensterhilfen.h"
#include "ui/Hauptfenster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

namespace {

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::RandSeite;
using pavolant::test::Segmente;
using pavolant::test::Seite;
using pavolant::test::TempOrdner;
namespace fs = std::filesystem;

constexpr double kUnendlich = std::numeric_limits<double>::infinity();
const std::string kAlt = "[Preferences]\r\nStrassenName=alt\r\n";

bool Enthaelt(const std::string& text, const std::string& teil) {
    return text.find(teil) != std::string::npos;
}

// Saves through the window's error boundary; returns whether the save went through.
bool Speichern(Fenster& w, const fs::path& pfad) {
    return w.Ereignis([&] { w.form.ParameterSpeichern(pfad); });
}

TEST(Speicherwerte, GradAufHundertstelLaeuftErstJenseitsDerGrenzeUeber) {
    EXPECT_EQ(GradAufHundertstel(GradZuRad(-30)), -30);
    EXPECT_EQ(GradAufHundertstel(GradZuRad(12.345)), 12.34);
    EXPECT_TRUE(std::isfinite(GradAufHundertstel(GradZuRad(kGroessteGradzahl))));
    EXPECT_TRUE(std::isfinite(GradAufHundertstel(GradZuRad(-kGroessteGradzahl))));
    EXPECT_FALSE(std::isfinite(GradAufHundertstel(GradZuRad(1e307))));
    EXPECT_FALSE(std::isfinite(GradAufHundertstel(GradZuRad(-1.8e306))));
}

TEST(Speicherwerte, GetippterRiesigerWinkelWirdBeimUebernehmenAbgelehnt) {
    Fenster w;
    Hauptfenster& f = w.form;
    const RandSeite s = Seite(f, true);
    Segmente(f, s, {1, 1});
    const double vorher = f.RandR.Segment(1)->Winkel;
    s.winkel->Text = "1e307";
    EXPECT_FALSE(w.Ereignis([&] { s.segmente->Exit(); }));
    ASSERT_EQ(w.dialoge.fehler.size(), 1u);
    EXPECT_EQ(w.dialoge.fehler[0].rfind("'1e307' ist als Winkel zu groß (höchstens ±1", 0), 0u)
        << w.dialoge.fehler[0];
    EXPECT_EQ(f.Fehlerfeld(), "edtRandRWinkel");
    EXPECT_EQ(f.RandR.Segment(1)->Winkel, vorher);

    // The custom normal likewise, on the other side.
    const RandSeite l = Seite(f, false);
    Segmente(f, l, {1});
    l.normMan->Click();
    l.normale->Text = "-2e306";
    EXPECT_FALSE(w.Ereignis([&] { l.segmente->Exit(); }));
    ASSERT_EQ(w.dialoge.fehler.size(), 2u);
    EXPECT_EQ(w.dialoge.fehler[1].rfind("'-2e306' ist als Winkel zu groß", 0), 0u) << w.dialoge.fehler[1];

    // Just below the limit the angle is taken, saved and read back.
    l.normale->Text = "-30";
    s.winkel->Text = "1.7e306";
    EXPECT_TRUE(w.Ereignis([&] { s.segmente->Exit(); }));
    EXPECT_TRUE(w.Ereignis([&] { l.segmente->Exit(); }));
    TempOrdner o;
    ASSERT_TRUE(Speichern(w, o / "p.ini"));
    Fenster zurueck;
    ASSERT_TRUE(zurueck.Ereignis([&] { zurueck.form.ParameterLaden(o / "p.ini"); }));
    EXPECT_EQ(RadZuGrad(zurueck.form.RandR.Segment(1)->Winkel), 1.7e306);
}

TEST(Speicherwerte, RiesigerWinkelImModellWirdVorDemSpeichernAbgelehnt) {
    TempOrdner o;
    const fs::path pfad = o / "p.ini";
    DateiSchreiben(pfad, kAlt);
    Fenster w;
    Hauptfenster& f = w.form;
    Segmente(f, Seite(f, true), {1, 1, 1});
    f.RandR.Segment(3)->Winkel = GradZuRad(1e307);
    const std::string beschriftung = f.lblParameter.Caption;
    EXPECT_FALSE(Speichern(w, pfad));
    ASSERT_EQ(w.dialoge.fehler.size(), 1u);
    EXPECT_EQ(w.dialoge.fehler[0].rfind(
                  "Rechter Rand, Segment 3, Winkel: 1E307° kann nicht gespeichert werden (höchstens ±1", 0),
              0u)
        << w.dialoge.fehler[0];
    EXPECT_EQ(DateiLesen(pfad), kAlt);
    EXPECT_EQ(f.lblParameter.Caption, beschriftung);

    // A file holding such an angle loads (its degrees are finite) and shows it unrounded,
    // never as "INF"; saving it again is refused the same way, naming the left border.
    f.RandR.Segment(3)->Winkel = GradZuRad(-30);
    DateiSchreiben(o / "gross.ini", "[Rand_links_Geo]\r\nenable1=1\r\nnSegments=2\r\nWinkel2=-1e307\r\n");
    ASSERT_TRUE(w.Ereignis([&] { f.ParameterLaden(o / "gross.ini"); }));
    f.RandL.AktSegment = 2;
    f.RandLEditor.Anzeigen();
    EXPECT_EQ(Seite(f, false).winkel->Text, "-1E307");
    EXPECT_FALSE(Speichern(w, pfad));
    ASSERT_EQ(w.dialoge.fehler.size(), 2u);
    EXPECT_TRUE(Enthaelt(w.dialoge.fehler[1],
                         "Linker Rand, Segment 2, Winkel: -1E307° kann nicht gespeichert werden"))
        << w.dialoge.fehler[1];
    EXPECT_EQ(DateiLesen(pfad), kAlt);
}

TEST(Speicherwerte, NichtEndlicheWerteWerdenMitIhremOrtAbgelehnt) {
    TempOrdner o;
    const fs::path pfad = o / "p.ini";
    DateiSchreiben(pfad, kAlt);
    const auto abgelehnt = [&](auto&& setzen, auto&& ruecksetzen, const std::string& meldung) {
        Fenster w;
        Segmente(w.form, Seite(w.form, false), {1});
        setzen(w.form);
        EXPECT_FALSE(Speichern(w, pfad)) << meldung;
        ASSERT_EQ(w.dialoge.fehler.size(), 1u) << meldung;
        EXPECT_EQ(w.dialoge.fehler[0], meldung);
        EXPECT_EQ(DateiLesen(pfad), kAlt) << meldung;
        // With the value back to an ordinary one the same window saves.
        ruecksetzen(w.form);
        EXPECT_TRUE(Speichern(w, o / "gut.ini")) << meldung;
    };
    abgelehnt([](Hauptfenster& f) { f.SplinePunkte.Punkt(1)->Xrot = kUnendlich; },
              [](Hauptfenster& f) { f.SplinePunkte.Punkt(1)->Xrot = 0; },
              "SplinePunkt 2, Xrot: INF kann nicht gespeichert werden");
    abgelehnt([](Hauptfenster& f) { f.RandL.Segment(1)->U = -kUnendlich; },
              [](Hauptfenster& f) { f.RandL.Segment(1)->U = 0.5; },
              "Linker Rand, Segment 1, Ende (U): -INF kann nicht gespeichert werden");
    abgelehnt([](Hauptfenster& f) { f.RandR.TexturBreite = std::nan(""); },
              [](Hauptfenster& f) { f.RandR.TexturBreite = 5; },
              "Rechter Rand, Texturbreite: NAN kann nicht gespeichert werden");
    abgelehnt([](Hauptfenster& f) { f.FuellFlaeche.TexturHoehe = kUnendlich; },
              [](Hauptfenster& f) { f.FuellFlaeche.TexturHoehe = 2; },
              "Füllfläche, Texturhöhe: INF kann nicht gespeichert werden");
    abgelehnt([](Hauptfenster& f) { f.MinLaenge = kUnendlich; }, [](Hauptfenster& f) { f.MinLaenge = 2; },
              "MinLaenge: INF kann nicht gespeichert werden");
}

TEST(Speicherwerte, GrosseEndlicheSplinewerteKommenZurueck) {
    TempOrdner o;
    Fenster w;
    TSplinePkt& p = *w.form.SplinePunkte.Punkt(1);
    p.X = 1.7e308;
    p.Y = -std::numeric_limits<double>::max();
    p.Z = std::numeric_limits<double>::denorm_min();
    ASSERT_TRUE(Speichern(w, o / "p.ini"));
    Fenster zurueck;
    ASSERT_TRUE(zurueck.Ereignis([&] { zurueck.form.ParameterLaden(o / "p.ini"); }))
        << zurueck.dialoge.fehler.at(0);
    const TSplinePkt& q = *zurueck.form.SplinePunkte.Punkt(1);
    EXPECT_EQ(q.X, 1.7e308);
    // The largest double is written as the largest 15-digit number below it.
    EXPECT_EQ(q.Y, -1.79769313486231e308);
    EXPECT_EQ(q.Z, std::numeric_limits<double>::denorm_min());
}

TEST(Speicherwerte, AbgelehnterTeilLaesstDieDateiImSpeicherUnveraendert) {
    IniDatei ini = IniDatei::AusText(kAlt);
    pavolant::test::AufzeichnenderMelder melder;
    TRandPunkte rand("Rand_rechts", melder);
    rand.Rechts = true;
    rand.NeuesSegment();
    rand.Segment(1)->NormalenWinkel = GradZuRad(5e306);
    EXPECT_THROW(Schreiben(ini, rand, "Rand_rechts"), KonvertierungsFehler);
    EXPECT_EQ(ini.Inhalt(), kAlt);
    rand.Segment(1)->NormalenWinkel = GradZuRad(-30);
    Schreiben(ini, rand, "Rand_rechts");
    EXPECT_EQ(ini.LiesString("Rand_rechts_Geo", "Normale1", ""), "-30");
}

}  // namespace
