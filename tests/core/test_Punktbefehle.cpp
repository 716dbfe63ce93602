// The main window's point commands: orienting, extending, the import's clean-up, the
// offers in the box where a run stops on a point, and the points table, each driven as
// the view drives it (one event through the window's boundary).
#include "ui/Hauptfenster.h"

#include "model/Zahlen.h"
#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::Gezeigt;
using pavolant::test::TempOrdner;
using Texte = std::vector<std::string>;
namespace fs = std::filesystem;

Texte Felder(const Hauptfenster& f) {
    return {f.edtSplinePtsX.Text,    f.edtSplinePtsY.Text,    f.edtSplinePtsZ.Text,
            f.edtSplinePtsXrot.Text, f.edtSplinePtsYrot.Text, f.edtSplinePtsZrot.Text};
}

void Tippen(Hauptfenster& f, const Texte& werte) {
    TEdit* felder[] = {&f.edtSplinePtsX,    &f.edtSplinePtsY,    &f.edtSplinePtsZ,
                       &f.edtSplinePtsXrot, &f.edtSplinePtsYrot, &f.edtSplinePtsZrot};
    for (std::size_t i = 0; i < werte.size(); ++i) felder[i]->Text = werte[i];
}

// One row of the table as it shows it, without the number.
Texte Zeile(const Hauptfenster& f, int z) {
    Texte t;
    for (int s = 1; s < Hauptfenster::kTabellenWertSpalten; ++s) t.push_back(f.Tabellenzelle(z, s));
    return t;
}

// Table and editor show the same point: the editor's fields are the current row, the
// spin names it, the group's caption counts the rows.
void GleichWieEditor(const Hauptfenster& f) {
    const int n = f.SplinePunkte.AnzahlPunkte();
    ASSERT_GE(f.AktuellerPunkt, 0);
    ASSERT_LT(f.AktuellerPunkt, n);
    EXPECT_EQ(Zeile(f, f.AktuellerPunkt), Felder(f));
    EXPECT_EQ(f.sedSplinePtsNr.Value(), f.AktuellerPunkt + 1);
    EXPECT_EQ(f.sedSplinePtsNr.MaxValue, n);
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: " + std::to_string(n));
    EXPECT_EQ(f.Tabellenzelle(n - 1, 0), std::to_string(n));
    EXPECT_EQ(f.Tabellenzelle(n, 0), "");
}

// Points on a 150 m circle 40 m apart, positions only.
void KreisPunkte(Hauptfenster& f, int n) {
    while (f.SplinePunkte.AnzahlPunkte() < n) f.SplinePunkte.Anhaengen();
    for (int i = 0; i < n; ++i) {
        const double t = 40.0 * i / 150;
        TSplinePkt& p = *f.SplinePunkte.Punkt(i);
        p = TSplinePkt{};
        p.X = 150 * (1 - std::cos(t));
        p.Z = 150 * std::sin(t);
    }
    f.sedSplinePtsNr.MaxValue = n;
    f.SplineAnzeigen();
}

// The example road, loaded as "Load parameter" loads it.
void Beispiel(Fenster& w) {
    w.dialoge.antworten = {std::string(PAVOLANT_SOURCE_DIR) + "/examples/Dorfstrasse.ini"};
    ASSERT_TRUE(w.Ereignis([&] { w.form.bbnLoadParaClick(); }));
}

void AusgabeWaehlen(Fenster& w, const fs::path& pfad) {
    w.dialoge.antworten = {pfad.string()};
    ASSERT_TRUE(w.Ereignis([&] { w.form.bbnSaveClick(); }));
}

// ---------------------------------------------------------------------------------------
// Orienting

TEST(PunkteAusrichtenImFenster, KreisOhneWinkelLaeuftDurch) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    KreisPunkte(f, 9);  // 320 m of the circle, turning by 122 degrees
    AusgabeWaehlen(w, ordner / "k.i3d");

    // Headings of 0 everywhere: the run stops on a point's angle.
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_FALSE(f.LetzterLauf()->Geschrieben);
    ASSERT_EQ(w.dialoge.angebote.size(), 1u);

    ASSERT_TRUE(w.Ereignis([&] { f.btnSplineAusrichten.Click(); }));
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(f.SplinePunkte.Punkt(i)->Yrot, 40.0 * i / 150 * 180 / kPi, 1e-9) << i;
    GleichWieEditor(f);
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_TRUE(f.LetzterLauf()->Geschrieben);
    EXPECT_EQ(w.dialoge.angebote.size(), 1u) << "no new box";
    EXPECT_TRUE(w.melder.eintraege.empty());
    // One step: undo (after the run's new texture start) gives back the angles of 0.
    f.Rueckgaengig();
    EXPECT_NE(f.SplinePunkte.Punkt(3)->Yrot, 0.0);
    f.Rueckgaengig();
    EXPECT_EQ(f.SplinePunkte.Punkt(3)->Yrot, 0.0);
}

TEST(PunkteAusrichtenImFenster, DieserPunktNimmtGetippteWerteUndLaesstAndereStehen) {
    Fenster w;
    Hauptfenster& f = w.form;
    KreisPunkte(f, 4);
    f.sedSplinePtsNr.SetValue(2);
    // Typed but not committed: the point is moved before it is oriented; the bank stays.
    Tippen(f, {"0", "0", "40", "7", "300", "3"});
    ASSERT_TRUE(w.Ereignis([&] { f.btnSplinePunktAusrichten.Click(); }));
    const TSplinePkt& p = *f.SplinePunkte.Punkt(1);
    EXPECT_EQ(p.X, 0.0);
    EXPECT_EQ(p.Zrot, 3.0);
    EXPECT_EQ(p.Xrot, 0.0);
    EXPECT_GT(p.Yrot, 0.0);  // from (0,0,0) over (0,0,40) to the circle's third point
    EXPECT_LT(p.Yrot, 30.0);
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->Yrot, 0.0);
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->Yrot, 0.0);
    GleichWieEditor(f);

    // A bad field stops before anything is oriented.
    f.edtSplinePtsX.Text = "x";
    EXPECT_FALSE(w.Ereignis([&] { f.btnSplineAusrichten.Click(); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->Yrot, 0.0);
    EXPECT_EQ(f.Fehlerfeld(), std::optional<std::string>("edtSplinePtsX"));

    // Points with no other place around them keep their angles, and the user hears so.
    Fenster leer;
    leer.form.SplinePunkte.Punkt(0)->Yrot = 12;
    leer.form.SplineAnzeigen();
    ASSERT_TRUE(leer.Ereignis([&] { leer.form.btnSplineAusrichten.Click(); }));
    EXPECT_EQ(leer.form.SplinePunkte.Punkt(0)->Yrot, 12.0);
    ASSERT_EQ(leer.melder.eintraege.size(), 1u);
    EXPECT_EQ(leer.melder.eintraege[0].text,
              "2 points have no other place around them to take a direction from; their angles stay.");
}

// ---------------------------------------------------------------------------------------
// Where a run stops on a point: the box offers to orient or to go to the point

TEST(LaufAngebote, WinkelBietetAusrichtenUndPunktAn) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    // The issue's new user: the appended point moved to X=420, Z=150 with heading 0.
    Beispiel(w);
    AusgabeWaehlen(w, ordner / "b.i3d");
    ASSERT_TRUE(w.Ereignis([&] { f.spbSplineAddEnd.Click(); }));
    Tippen(f, {"420", "0", "150"});
    f.gboSplinePts.Exit();
    f.sedSplinePtsNr.SetValue(1);

    w.dialoge.wahl = {std::size_t{1}};  // "Select point 7"
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    ASSERT_EQ(w.dialoge.angebote.size(), 1u);
    const auto& box = w.dialoge.angebote[0];
    EXPECT_EQ(box.art, MeldungsArt::Warnung);
    // The centre line's text as it always was.
    EXPECT_EQ(box.text.rfind("SplinePunkte 6 - 7: Winkel am Ende der Verbindungslinie zu gross ", 0), 0u)
        << box.text;
    EXPECT_EQ(box.angebote, (Texte{"Orient points", "Select point 7"}));
    EXPECT_FALSE(f.LetzterLauf()->Geschrieben);
    EXPECT_EQ(f.mmoStatus.Lines.back(), "Stopped: " + box.text);
    EXPECT_EQ(f.AktuellerPunkt, 6);
    GleichWieEditor(f);

    w.dialoge.wahl = {std::size_t{0}};  // "Orient points"
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_GT(f.SplinePunkte.Punkt(6)->Yrot, 90.0);  // towards +X and back towards -Z a little
    GleichWieEditor(f);
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_TRUE(f.LetzterLauf()->Geschrieben);
    EXPECT_EQ(w.dialoge.angebote.size(), 2u);
}

TEST(LaufAngebote, ZuNaheBietetNurDenPunktAnUndOkLaesstAlles) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Anhaengen();
    f.SplinePunkte.Punkt(1)->Z = 20;
    f.SplinePunkte.Punkt(2)->Z = 20.05;
    f.sedSplinePtsNr.MaxValue = 3;
    f.SplineAnzeigen();
    AusgabeWaehlen(w, ordner / "c.i3d");
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));  // OK: nothing taken
    ASSERT_EQ(w.dialoge.angebote.size(), 1u);
    EXPECT_EQ(w.dialoge.angebote[0].angebote, (Texte{"Select point 3"}));
    EXPECT_EQ(w.dialoge.angebote[0].text.rfind("SplinePunkte 2 und 3 nur ", 0), 0u);
    EXPECT_EQ(f.AktuellerPunkt, 0);
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->Z, 20.05);
}

// ---------------------------------------------------------------------------------------
// Extending

TEST(StrasseVerlaengern, ZweimalAufDemBeispiel) {
    Fenster w;
    Hauptfenster& f = w.form;
    Beispiel(w);
    const int n = f.SplinePunkte.AnzahlPunkte();
    const TSplinePkt letzter = *f.SplinePunkte.Punkt(n - 1);
    ASSERT_TRUE(w.Ereignis([&] { f.btnSplineVerlaengern.Click(); }));
    ASSERT_TRUE(w.Ereignis([&] { f.btnSplineVerlaengern.Click(); }));
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), n + 2);
    EXPECT_EQ(f.AktuellerPunkt, n + 1);
    GleichWieEditor(f);
    // 50 m apart each, along the last point's heading (its grade tilts the step).
    const double kurs = letzter.Yrot * kPi / 180, gefaelle = -letzter.Xrot * kPi / 180;
    for (int k = 1; k <= 2; ++k) {
        const TSplinePkt& p = *f.SplinePunkte.Punkt(n - 1 + k);
        const TSplinePkt& v = *f.SplinePunkte.Punkt(n - 2 + k);
        const double dX = p.X - v.X, dY = p.Y - v.Y, dZ = p.Z - v.Z;
        EXPECT_NEAR(std::sqrt(dX * dX + dY * dY + dZ * dZ), 50, 1e-9);
        EXPECT_NEAR(std::atan2(dX, dZ), std::remainder(kurs, 2 * kPi), 1e-12);
        EXPECT_NEAR(std::atan2(dY, std::hypot(dX, dZ)), gefaelle, 1e-12);
        EXPECT_EQ(p.Yrot, letzter.Yrot);
        EXPECT_EQ(p.Xrot, letzter.Xrot);
        EXPECT_EQ(p.Zrot, letzter.Zrot);
    }
    // Each click is one step.
    f.Rueckgaengig();
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), n + 1);
    GleichWieEditor(f);
}

TEST(StrasseVerlaengern, StreckeMussUeberNullLiegen) {
    Fenster w;
    Hauptfenster& f = w.form;
    for (const char* text : {"0", "-5", "abc", "inf"}) {
        f.edtSplineStrecke.Text = text;
        EXPECT_FALSE(w.Ereignis([&] { f.btnSplineVerlaengern.Click(); })) << text;
        EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 2);
        EXPECT_EQ(f.Fehlerfeld(), std::optional<std::string>("edtSplineStrecke"));
        EXPECT_NE(w.dialoge.fehler.back().find("(Spline-Points: Extend road by)"), std::string::npos);
    }
    f.edtSplineStrecke.Text = Gezeigt("12.5");
    Tippen(f, {"1", "2", "3", "0", "90", "0"});  // typed into point 1, not yet committed
    ASSERT_TRUE(w.Ereignis([&] { f.btnSplineVerlaengern.Click(); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->X, 1.0);
    // Beyond point 2 at the origin, with its heading 0: along +Z.
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->X, 0.0);
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->Z, 12.5);
}

// ---------------------------------------------------------------------------------------
// The import's clean-up

// A scene of markers without rotations; the 2nd and 4th lie on their predecessors.
std::string Szene() {
    return "<i3D>\n<Scene>\n"
           "<Shape name=\"a\" translation=\"0 0 0\"/>\n"
           "<Shape name=\"b\" translation=\"0 0 0.0005\"/>\n"
           "<Shape name=\"c\" translation=\"0 1 40\"/>\n"
           "<Shape name=\"d\" translation=\"0 1 40\"/>\n"
           "<Shape name=\"e\" translation=\"10 2 80\"/>\n"
           "</Scene>\n</i3D>\n";
}

TEST(ImportBereinigen, NenntAnzahlUndDoppelteUndBietetAn) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "m.i3d", Szene());
    Fenster w;
    Hauptfenster& f = w.form;
    w.dialoge.antworten = {(ordner / "m.i3d").string()};
    w.dialoge.wahl = {std::size_t{0}};
    ASSERT_TRUE(w.Ereignis([&] { f.bbnSplinePtsOpenClick(); }));
    ASSERT_EQ(w.dialoge.angebote.size(), 1u);
    const auto& box = w.dialoge.angebote[0];
    EXPECT_EQ(box.art, MeldungsArt::Information);
    EXPECT_EQ(
        box.text,
        "5 points read from m.i3d; 2 of them at the same place as their predecessor (closer than 1 mm).\r"
        "None carries a rotation: headings and grades are all 0.");
    EXPECT_EQ(box.angebote, (Texte{"Drop duplicates and orient points", "Drop duplicates", "Orient points"}));
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Z, 40.0);
    EXPECT_NE(f.SplinePunkte.Punkt(2)->Yrot, 0.0);
    GleichWieEditor(f);

    // Undo takes back the clean-up first, then the import.
    f.Rueckgaengig();
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 5);
    EXPECT_EQ(f.SplinePunkte.Punkt(4)->Yrot, 0.0);
    f.Rueckgaengig();
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 2);
}

TEST(ImportBereinigen, NurWasPasstWirdAngeboten) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "r.i3d",
                   "<Scene>\n<Shape translation=\"0 0 0\" rotation=\"0 10 0\"/>\n"
                   "<Shape translation=\"0 0 0\"/>\n<Shape translation=\"0 0 30\"/>\n</Scene>\n");
    Fenster w;
    w.dialoge.antworten = {(ordner / "r.i3d").string()};
    w.dialoge.wahl = {std::size_t{0}};
    ASSERT_TRUE(w.Ereignis([&] { w.form.bbnSplinePtsOpenClick(); }));
    ASSERT_EQ(w.dialoge.angebote.size(), 1u);
    EXPECT_EQ(w.dialoge.angebote[0].angebote, (Texte{"Drop duplicates"}));
    EXPECT_EQ(w.form.SplinePunkte.AnzahlPunkte(), 2);
    EXPECT_EQ(w.form.SplinePunkte.Punkt(0)->Yrot, 10.0);
    ASSERT_EQ(w.melder.eintraege.size(), 1u);
    EXPECT_EQ(w.melder.eintraege[0].text, "1 points at the same place as their predecessor dropped.");

    // A scene that does not end is refused with its line; there is no clean-up box then.
    DateiSchreiben(ordner / "t.i3d",
                   "<Scene>\n<Shape translation=\"0 0 0\"/>\n<Shape translation=\"0 0 0\"/>\n");
    Fenster t;
    t.dialoge.antworten = {(ordner / "t.i3d").string()};
    EXPECT_FALSE(t.Ereignis([&] { t.form.bbnSplinePtsOpenClick(); }));
    EXPECT_EQ(t.dialoge.fehler, (Texte{(ordner / "t.i3d").string() + ", line 4: <Scene> is not closed"}));
    EXPECT_EQ(t.form.SplinePunkte.AnzahlPunkte(), 2);
    EXPECT_TRUE(t.dialoge.angebote.empty());
}

// ---------------------------------------------------------------------------------------
// The points table

// Five points, X = 1 .. 5 and Yrot = 10 * X; point 2 current.
void FuenfPunkte(Hauptfenster& f) {
    while (f.SplinePunkte.AnzahlPunkte() < 5) f.SplinePunkte.Anhaengen();
    for (int i = 0; i < 5; ++i) {
        f.SplinePunkte.Punkt(i)->X = i + 1;
        f.SplinePunkte.Punkt(i)->Yrot = 10 * (i + 1);
    }
    f.sedSplinePtsNr.MaxValue = 5;
    f.SplineAnzeigen();
    f.sedSplinePtsNr.SetValue(2);
}

TEST(Punktetabelle, ZellenWieDieFelderDesEditors) {
    Fenster w;
    Hauptfenster& f = w.form;
    FuenfPunkte(f);
    EXPECT_EQ(Zeile(f, 3), (Texte{"4", "0", "0", "0", "40", "0"}));

    // A cell of the current point: the editor shows it at once.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(1, 5, Gezeigt("12.5")); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Yrot, 12.5);
    EXPECT_EQ(f.edtSplinePtsYrot.Text, Gezeigt("12.5"));
    GleichWieEditor(f);
    // Either separator, as in the fields.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(3, 2, "1,5"); }));
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(3, 3, "2.5"); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(3)->Y, 1.5);
    EXPECT_EQ(f.SplinePunkte.Punkt(3)->Z, 2.5);
    GleichWieEditor(f);

    // What was typed into the editor is committed before the cell, not lost to it.
    f.edtSplinePtsZ.Text = "7";
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(1, 1, "9"); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Z, 7.0);
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->X, 9.0);
    GleichWieEditor(f);

    // No number: nothing changes and the error names the cell.
    EXPECT_FALSE(w.Ereignis([&] { f.TabellenzelleSetzen(4, 6, "1,2,3"); }));
    EXPECT_EQ(w.dialoge.fehler.back(),
              "'1,2,3' ist kein gültiger Gleitkommawert (Points table: point 5, Zrot)");
    EXPECT_EQ(f.SplinePunkte.Punkt(4)->Zrot, 0.0);
    GleichWieEditor(f);
    // The number column and cells outside take nothing.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(0, 0, "8"); }));
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(5, 1, "8"); }));
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 5);

    // Each edit is one step of the history.
    f.Rueckgaengig();
    f.Rueckgaengig();  // the failed paste changed nothing, so this undoes X = 9
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->X, 2.0);
    GleichWieEditor(f);
}

TEST(Punktetabelle, ZeileWaehlenUndMehrereLoeschen) {
    Fenster w;
    Hauptfenster& f = w.form;
    FuenfPunkte(f);
    f.edtSplinePtsZ.Text = "3";  // typed for point 2
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzeileWaehlen(3); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Z, 3.0);
    EXPECT_EQ(f.AktuellerPunkt, 3);
    GleichWieEditor(f);

    // Rows 1 and 3 of 0..4 go; the current point (index 3, X = 4) stays current.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzeilenLoeschen({4, 1, 4, 9}); }));
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ(Zeile(f, 0)[0], "1");
    EXPECT_EQ(Zeile(f, 1)[0], "3");
    EXPECT_EQ(Zeile(f, 2)[0], "4");
    EXPECT_EQ(f.AktuellerPunkt, 2);
    GleichWieEditor(f);

    // The current point among them: the next one left takes its place.
    ASSERT_TRUE(w.Ereignis([&] { f.btnSplineVerlaengern.Click(); }));
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzeileWaehlen(0); }));
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzeilenLoeschen({0, 1}); }));
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 2);
    EXPECT_EQ(f.AktuellerPunkt, 0);
    EXPECT_EQ(f.edtSplinePtsX.Text, "4");
    GleichWieEditor(f);

    // Two must stay.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzeilenLoeschen({1}); }));
    ASSERT_EQ(w.melder.eintraege.size(), 1u);
    EXPECT_EQ(w.melder.eintraege[0].text, "Zwei Punkte müssen mindestens vorhanden sein!");
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 2);
    GleichWieEditor(f);

    f.Rueckgaengig();
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 4);
    GleichWieEditor(f);
}

TEST(Punktetabelle, KopierenUndEinfuegen) {
    Fenster w;
    Hauptfenster& f = w.form;
    FuenfPunkte(f);
    f.SplinePunkte.Punkt(0)->Zrot = -0.5;
    const std::string kopie = f.TabellenzeilenKopieren({4, 0});
    EXPECT_EQ(kopie, "1\t0\t0\t0\t10\t" + Gezeigt("-0.5") + "\n5\t0\t0\t0\t50\t0\n");

    // Pasted over rows 2 and 3 (0-based 1, 2): they take the copied values.
    ASSERT_TRUE(w.Ereignis([&] { f.TabelleEinfuegen(1, 1, kopie); }));
    EXPECT_EQ(Zeile(f, 1), Zeile(f, 0));
    EXPECT_EQ(Zeile(f, 2), Zeile(f, 4));
    GleichWieEditor(f);

    // A spreadsheet's block: CR LF, a column of Yrot values from row 4 on, past the end.
    ASSERT_TRUE(w.Ereignis([&] { f.TabelleEinfuegen(3, 5, "91\r\n92\r\n93\r\n"); }));
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 6);
    EXPECT_EQ(Zeile(f, 3)[4], "91");
    EXPECT_EQ(Zeile(f, 5), (Texte{"0", "0", "0", "0", "93", "0"}));
    GleichWieEditor(f);

    // With the number column, into the number column: the numbers are left out.
    ASSERT_TRUE(w.Ereignis([&] { f.TabelleEinfuegen(0, 0, "7\t1\t2\t3\t4\t5\t6"); }));
    EXPECT_EQ(Zeile(f, 0), (Texte{"1", "2", "3", "4", "5", "6"}));
    GleichWieEditor(f);

    // A bad number anywhere: nothing changes, and the error names the cell.
    const std::vector<Texte> vorher = [&] {
        std::vector<Texte> z;
        for (int i = 0; i < 6; ++i) z.push_back(Zeile(f, i));
        return z;
    }();
    EXPECT_FALSE(w.Ereignis([&] { f.TabelleEinfuegen(4, 1, "1\t2\t3\n4\tx5\t6\n7\t8\t9\n"); }));
    EXPECT_EQ(w.dialoge.fehler.back(), "'x5' ist kein gültiger Gleitkommawert (Points table: point 6, Y)");
    EXPECT_FALSE(w.Ereignis([&] { f.TabelleEinfuegen(1, 4, "1\t2\t3\t4"); }));
    EXPECT_NE(w.dialoge.fehler.back().find("(Points table: point 2, Zrot)"), std::string::npos);
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Zeile(f, i), vorher[static_cast<std::size_t>(i)]);
    GleichWieEditor(f);
}

// ---------------------------------------------------------------------------------------
// Choosing what of a scene to import

// Two splines in groups of their own; "nord" lies 1000 m east of where its shapes say.
std::string ZweiGruppen() {
    return "<i3D><Scene>\n"
           "<TransformGroup name='nord' translation='1000 0 0'>\n"
           "  <Shape name='n1' translation='0 0 0'/><Shape name='n2' translation='0 0 20'/>\n"
           "  <Shape name='n3' translation='0 0 40'/>\n"
           "</TransformGroup>\n"
           "<TransformGroup name='sued'><Shape name='s1' translation='5 0 0'/>"
           "<Shape name='s2' translation='5 0 30'/></TransformGroup>\n"
           "</Scene></i3D>\n";
}

// Each point's name and X, as the table shows them.
Texte NamenUndX(const Hauptfenster& f) {
    Texte t;
    for (int z = 0; z < f.SplinePunkte.AnzahlPunkte(); ++z)
        t.push_back(f.Tabellenzelle(z, Hauptfenster::kTabellenNamenSpalte) + "@" + f.Tabellenzelle(z, 1));
    return t;
}

TEST(ImportWahl, NurDasGewaehlteWirdZuPunkten) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "z.i3d", ZweiGruppen());
    Importwahl alles, sued, bereich, auswahl, nordName;
    sued.art = auswahl.art = Importwahl::Art::Knoten;
    sued.Knoten = {4};           // the group "sued"
    auswahl.Knoten = {3, 5, 0};  // n3, s1 and all of "nord": each shape once, in file order
    bereich.art = Importwahl::Art::Bereich;
    bereich.Erster = 2;
    bereich.Letzter = 4;
    nordName.art = Importwahl::Art::Gruppe;
    nordName.Gruppenname = "nord";
    const struct {
        std::optional<Importwahl> wahl;  // none: the dialog cancelled
        Texte erwartet;
    } faelle[] = {
        {alles, {"n1@1000", "n2@1000", "n3@1000", "s1@5", "s2@5"}},
        {sued, {"s1@5", "s2@5"}},
        {bereich, {"n2@1000", "n3@1000", "s1@5"}},
        {auswahl, {"n1@1000", "n2@1000", "n3@1000", "s1@5"}},
        {nordName, {"n1@1000", "n2@1000", "n3@1000"}},
        {std::nullopt, {"@0", "@0"}},  // the two start points stay, no clean-up box
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(&fall - faelle);
        Fenster w;
        w.dialoge.antworten = {(ordner / "z.i3d").string()};
        w.dialoge.importwahl = {fall.wahl};
        ASSERT_TRUE(w.Ereignis([&] { w.form.bbnSplinePtsOpenClick(); })) << w.dialoge.fehler.at(0);
        EXPECT_EQ(NamenUndX(w.form), fall.erwartet);
        // The tree as the dialog shows it: names, depths and shape counts.
        ASSERT_EQ(w.dialoge.importbaeume.size(), 1u);
        Texte baum;
        for (const Importzeile& z : w.dialoge.importbaeume[0])
            baum.push_back(std::string(static_cast<std::size_t>(z.Tiefe), ' ') + z.Name + ":" +
                           std::to_string(z.Shapes));
        EXPECT_EQ(baum, (Texte{"nord:3", " n1:1", " n2:1", " n3:1", "sued:2", " s1:1", " s2:1"}));
        ASSERT_EQ(w.dialoge.angebote.size(), fall.wahl ? 1u : 0u);
        // Only a pick from the moved group says that the scene moved it.
        if (fall.wahl) {
            EXPECT_EQ(w.dialoge.angebote[0].text.find("moved, turned or scaled") != std::string::npos,
                      fall.erwartet[0][0] == 'n');
        }
    }
}

TEST(ImportWahl, EineGruppeFragtNichtUndNamenFolgenDenPunkten) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "m.i3d", Szene());
    Fenster w;
    Hauptfenster& f = w.form;
    w.dialoge.antworten = {(ordner / "m.i3d").string()};
    ASSERT_TRUE(w.Ereignis([&] { f.bbnSplinePtsOpenClick(); }));
    EXPECT_TRUE(w.dialoge.importbaeume.empty());
    EXPECT_EQ(NamenUndX(f), (Texte{"a@0", "b@0", "c@0", "d@0", "e@10"}));
    // Nor asks a group that only wraps the one that holds the shapes, nor shapes nested
    // in a shape; two groups with shapes of their own do ask.
    const struct {
        const char* szene;
        bool fragt;
    } faelle[] = {
        {"<i3D><Scene><TransformGroup name='splines'><TransformGroup "
         "name='road'><Shape/><Shape><Shape/></Shape>"
         "</TransformGroup><TransformGroup name='leer'/></TransformGroup></Scene></i3D>",
         false},
        {"<i3D><Scene><TransformGroup><Shape/></TransformGroup><Shape/></Scene></i3D>", true},
    };
    for (const auto& fall : faelle) {
        DateiSchreiben(ordner / "g.i3d", fall.szene);
        Fenster g;
        g.dialoge.antworten = {(ordner / "g.i3d").string()};
        ASSERT_TRUE(g.Ereignis([&] { g.form.bbnSplinePtsOpenClick(); }));
        EXPECT_EQ(g.dialoge.importbaeume.size(), fall.fragt ? 1u : 0u) << fall.szene;
        EXPECT_EQ(g.form.SplinePunkte.AnzahlPunkte(), fall.fragt ? 2 : 3);
    }

    // Deleting, inserting and undoing carry the names with their points.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzeilenLoeschen({1}); }));
    f.sedSplinePtsNr.SetValue(2);
    ASSERT_TRUE(w.Ereignis([&] { f.spbSplineAddClick(); }));
    EXPECT_EQ(NamenUndX(f), (Texte{"a@0", "@0", "c@0", "d@0", "e@10"}));
    f.Rueckgaengig();
    EXPECT_EQ(NamenUndX(f), (Texte{"a@0", "c@0", "d@0", "e@10"}));
    f.Rueckgaengig();
    EXPECT_EQ(NamenUndX(f), (Texte{"a@0", "b@0", "c@0", "d@0", "e@10"}));
    // The name column is no value: typing into it and copying leave it out.
    ASSERT_TRUE(w.Ereignis([&] { f.TabellenzelleSetzen(0, Hauptfenster::kTabellenNamenSpalte, "x"); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->Name, "a");
    EXPECT_EQ(f.TabellenzeilenKopieren({4}), "10\t2\t80\t0\t0\t0\n");
}

}  // namespace
