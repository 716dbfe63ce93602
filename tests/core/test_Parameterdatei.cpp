#include "persistence/Parameterdatei.h"

#include "model/Zahlen.h"
#include "tests/support/Fensterhilfen.h"
#include "ui/uMain13.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::Gezeigt;
using pavolant::test::MitDezimaltrenner;
using pavolant::test::TempOrdner;
using Texte = std::vector<std::string>;
namespace fs = std::filesystem;

std::vector<double> Werte(const TSplinePkt& p) { return {p.X, p.Y, p.Z, p.Xrot, p.Yrot, p.Zrot}; }

bool Laden(Fenster& w, const fs::path& datei, const std::string& inhalt) {
    DateiSchreiben(datei, inhalt);
    return w.Ereignis([&] { w.form.ParameterLaden(datei); });
}

TEST(Parameterdatei, NeueDateiFolgtDerTabelle) {
    TempOrdner ordner;
    Fenster w;
    w.form.ParameterSpeichern(ordner / "neu.ini");
    // Sections in file order, each with its keys.
    std::vector<std::pair<std::string, Texte>> datei;
    const std::string inhalt = DateiLesen(ordner / "neu.ini");
    for (std::size_t pos = 0, ende; pos < inhalt.size(); pos = ende + 2) {
        ende = std::min(inhalt.find("\r\n", pos), inhalt.size());
        const std::string zeile = inhalt.substr(pos, ende - pos);
        if (zeile.empty()) continue;
        if (zeile.front() == '[')
            datei.push_back({zeile.substr(1, zeile.size() - 2), {}});
        else
            datei.back().second.push_back(zeile.substr(0, zeile.find('=')));
    }
    Texte sektionen;
    for (const auto& [s, k] : datei) sektionen.push_back(s);
    EXPECT_EQ(sektionen, (Texte{"Preferences", "Fahrbahn_Geo", "Fahrbahn_Textur", "TrafficSplines", "Splines",
                                "SplinePts1", "SplinePts2"}));
    std::map<std::string, Texte> tabelle;
    for (const ParameterSchluessel& s : ParameterTabelle())
        tabelle[std::string(s.Sektion)].push_back(std::string(s.Schluessel));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(datei[i].second, tabelle[datei[i].first]) << datei[i].first;
    EXPECT_EQ(datei[4].second, (Texte{"Anzahl", "aktuell", "FileName"}));
    EXPECT_EQ(datei[5].second, (Texte{"X", "Y", "Z", "Xrot", "Yrot", "Zrot"}));
}

TEST(Parameterdatei, SpeichernUndLadenGibtDasselbeFenster) {
    TempOrdner ordner;
    Fenster a;
    TForm1& f = a.form;
    // Every text different from its start, every box flipped (the mirroring pair can
    // hold one checked box only).
    int n = 0;
    for (const ParameterSchluessel& s : ParameterTabelle()) {
        if (s.Art == Wertart::Text) f.Edit(s.Name)->Text = "T " + std::to_string(++n) + ",5";
        if (s.Art == Wertart::Boolean && s.Lage == Teil::VorDemModell && s.Name != "cboRuecksetzen")
            f.CheckBox(s.Name)->Click();
    }
    f.MinLaenge = 1.25;
    f.MinWinkel = 2.75;
    f.MinSteigung = 0.125;
    f.MinZRot = 3;
    f.MaxSturz = 45.5;
    f.DreieckeSym = true;
    f.SplinePunkte.Anhaengen();
    for (int i = 0; i < 3; ++i) {
        TSplinePkt& p = *f.SplinePunkte.Punkt(i);
        p.X = i * 10.5;
        p.Y = -i;
        p.Z = 1e-5 * i;
        p.Xrot = 1.5;
        p.Yrot = -90 + i;
        p.Zrot = 0.1 * i;
    }
    f.SplinePunkte.Aktuell = 2;
    a.dialoge.antworten = {(ordner / "p.ini").string()};
    ASSERT_TRUE(a.Ereignis([&] { f.bbnSavePara.Click(); }));
    EXPECT_EQ(f.lblParameter1.Caption, "Parameter gespeichert in");
    EXPECT_EQ(f.lblParameter.Caption, "p.ini");

    Fenster b;
    TForm1& g = b.form;
    b.dialoge.antworten = {(ordner / "p.ini").string()};
    ASSERT_TRUE(b.Ereignis([&] { g.bbnLoadPara.Click(); }));
    EXPECT_EQ(g.lblParameter1.Caption, "Parameter geladen aus");
    EXPECT_EQ(g.lblParameter.Caption, "p.ini");
    for (const ParameterSchluessel& s : ParameterTabelle()) {
        if (s.Art == Wertart::Text) {
            EXPECT_EQ(g.Edit(s.Name)->Text, f.Edit(s.Name)->Text) << s.Name;
        } else if (s.Lage == Teil::VorDemModell) {
            EXPECT_EQ(g.CheckBox(s.Name)->Checked(), f.CheckBox(s.Name)->Checked()) << s.Name;
        }
    }
    EXPECT_EQ((std::vector<double>{g.MinLaenge, g.MinWinkel, g.MinSteigung, g.MinZRot, g.MaxSturz}),
              (std::vector<double>{1.25, 2.75, 0.125, 3, 45.5}));
    EXPECT_TRUE(g.DreieckeSym);
    ASSERT_EQ(g.SplinePunkte.AnzahlPunkte(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Werte(*g.SplinePunkte.Punkt(i)), Werte(*f.SplinePunkte.Punkt(i))) << i;
    // The current point becomes the first.
    EXPECT_EQ((std::vector<int>{g.SplinePunkte.Aktuell, g.sedSplinePtsNr.Value(), g.sedSplinePtsNr.MaxValue}),
              (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(g.gboSplinePts.Caption, "Spline-Points: 3");

    // Dialogs: the presets, and a cancelled one changes nothing.
    const DateiAuswahl& s = a.dialoge.aufrufe.at(0);
    const DateiAuswahl& o = b.dialoge.aufrufe.at(0);
    EXPECT_EQ(
        (Texte{s.Dateiname, s.StandardEndung, s.Filter.at(1).Beschreibung, o.Filter.at(1).Beschreibung}),
        (Texte{"Parameter.ini", "ini", "all files   ", "All files   "}));
    EXPECT_FALSE(s.MussExistieren);
    EXPECT_TRUE(o.MussExistieren);
    g.edtBreite.Text = "neu";
    g.bbnLoadPara.Click();
    EXPECT_EQ(g.edtBreite.Text, "neu");
}

TEST(Parameterdatei, UnbekannteSchluesselBleibenBeimNeuSpeichern) {
    TempOrdner ordner;
    Fenster w;
    ASSERT_TRUE(Laden(w, ordner / "alt.ini",
                      "; von Hand\r\n[Fahrbahn_Geo]\r\nBreite=9\r\nEigenes=42\r\n[Zusatz]\r\nx=1\r\n"
                      "[SplinePts5]\r\nX=5\r\n"));
    w.form.edtBreite.Text = "8";
    ASSERT_TRUE(w.Ereignis([&] { w.form.ParameterSpeichern(ordner / "alt.ini"); }));
    const std::string inhalt = DateiLesen(ordner / "alt.ini");
    for (const char* teil :
         {"; von Hand\r\n", "Breite=8\r\nEigenes=42\r\n", "[Zusatz]\r\nx=1\r\n", "[SplinePts5]\r\nX=5"})
        EXPECT_NE(inhalt.find(teil), std::string::npos) << teil;
}

TEST(Parameterdatei, VorgabenUndKetten) {
    TempOrdner ordner;
    Fenster w;
    TForm1& f = w.form;
    // Read in table order: the flip box is checked first, then the reset box unchecks it.
    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Fahrbahn_Textur]\nRueckfaltung=1\nRuecksetzen=1\n"));
    EXPECT_TRUE(f.cboRuecksetzen.Checked());
    EXPECT_FALSE(f.cboRandomBackFold.Checked());
    // Every missing key takes the file's default, silently.
    EXPECT_TRUE(w.dialoge.fehler.empty() && w.melder.eintraege.empty());
    EXPECT_EQ((Texte{f.edtShapeName.Text, f.edtBreite.Text, f.edtRandomBackfold.Text}),
              (Texte{"Strasse", "6", "0,5"}));
    EXPECT_TRUE(f.cboSchleppkurve.Checked() && f.cboSturz.Checked());
    EXPECT_FALSE(f.cboCreateTG.Checked());
    EXPECT_EQ(f.MinWinkel, 2.5);
    EXPECT_EQ(f.MaxSturz, 0.25);
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 2);
}

TEST(Parameterdatei, DateienWandernZwischenDenTrennern) {
    TempOrdner ordner;
    for (const char schreiber : {'.', ','}) {
        const fs::path datei = ordner / (std::string("p") + schreiber + ".ini");
        {
            MitDezimaltrenner t(schreiber);
            Fenster w;
            w.form.MinWinkel = 2.5;
            w.form.SplinePunkte.Punkt(1)->Z = 12.75;
            w.form.edtBreite.Text = Gezeigt("7.5");
            w.form.ParameterSpeichern(datei);
        }
        MitDezimaltrenner t(schreiber == '.' ? ',' : '.');
        Fenster w;
        ASSERT_TRUE(w.Ereignis([&] { w.form.ParameterLaden(datei); })) << schreiber;
        EXPECT_EQ(w.form.MinWinkel, 2.5);
        EXPECT_EQ(w.form.SplinePunkte.Punkt(1)->Z, 12.75);
        EXPECT_EQ(w.form.edtBreite.Text, std::string("7") + schreiber + "5");  // texts as written
    }
}

TEST(Parameterdatei, AnzahlBestimmtDiePunkte) {
    TempOrdner ordner;
    Fenster w;
    TForm1& f = w.form;
    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Splines]\nAnzahl=3\n[SplinePts1]\nX=4\n"));
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ(Werte(*f.SplinePunkte.Punkt(2)), std::vector<double>(6, 0));
    EXPECT_EQ(f.sedSplinePtsNr.MaxValue, 3);
    EXPECT_EQ(f.edtSplinePtsX.Text, "4");

    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Splines]\nAnzahl=1\n"));
    EXPECT_FALSE(f.sedSplinePtsNr.Visible);

    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Splines]\nAnzahl=0\n"));
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 0);
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: 0");
    // Leaving the group with no point to commit into, then appending the first point.
    ASSERT_TRUE(w.Ereignis([&] { f.gboSplinePts.Exit(); }));
    f.edtSplinePtsX.Text = "3";
    ASSERT_TRUE(w.Ereignis([&] { f.spbSplineAddEnd.Click(); }));
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: 1");
    EXPECT_EQ(f.edtSplinePtsX.Text, "0");
}

TEST(Parameterdatei, SchlechteZahlStopptDasLaden) {
    TempOrdner ordner;
    Fenster w;
    TForm1& f = w.form;
    EXPECT_FALSE(Laden(w, ordner / "p.ini",
                       "[Preferences]\nminLaenge=4\nminWinkel=abc\nminZRot=9\n[Fahrbahn_Geo]\nBreite=8\n"
                       "[Splines]\nAnzahl=3\n"));
    EXPECT_EQ(w.dialoge.fehler, Texte{"'abc' ist kein gültiger Gleitkommawert"});
    EXPECT_EQ(f.edtBreite.Text, "8");
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ((std::vector<double>{f.MinLaenge, f.MinWinkel, f.MinZRot}), (std::vector<double>{4, 3, 1}));

    // A bad point value: the points before it stay, the settings are not reached, and
    // the editor shows the list as it now is.
    Fenster v;
    v.form.MinLaenge = 7;
    EXPECT_FALSE(Laden(v, ordner / "q.ini", "[Splines]\nAnzahl=4\n[SplinePts1]\nX=1\n[SplinePts3]\nY=x\n"));
    EXPECT_EQ(v.form.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ(v.form.SplinePunkte.Punkt(0)->X, 1);
    EXPECT_EQ(v.form.gboSplinePts.Caption, "Spline-Points: 3");
    EXPECT_EQ(v.form.sedSplinePtsNr.MaxValue, 3);
    EXPECT_EQ(v.form.MinLaenge, 7);
}

TEST(Parameterdatei, DateifehlerAendernNichts) {
    TempOrdner ordner;
    Fenster w;
    TForm1& f = w.form;
    EXPECT_FALSE(w.Ereignis([&] { f.ParameterLaden(ordner / "fehlt.ini"); }));
    EXPECT_FALSE(w.Ereignis([&] { f.ParameterSpeichern(ordner / "kein" / "p.ini"); }));
    EXPECT_EQ(w.dialoge.fehler,
              (Texte{"Die Datei " + (ordner / "fehlt.ini").string() + " existiert nicht",
                     "In " + (ordner / "kein" / "p.ini").string() + " kann nicht geschrieben werden"}));
    EXPECT_EQ(f.lblParameter1.Caption, "");
    EXPECT_EQ(f.lblParameter.Caption, "freely entered ");
}

TEST(Parameterdatei, LadenLaesstNichtsVeraltetStehen) {
    TempOrdner ordner;
    Fenster w;
    TForm1& f = w.form;
    // The pixel width follows the load, and so do the pixel fields: tabbing through one
    // keeps the loaded U.
    f.edtTexPxl.Text = "4";
    f.edtTexPxl.Exit();
    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Fahrbahn_Textur]\nTexPixel=8\nStart=0,5\n"));
    EXPECT_EQ(f.TexPxl, 8);
    EXPECT_EQ((Texte{f.edtTexStartPxl.Text, f.EdtTexEndePxl.Text}), (Texte{"4", "8"}));
    f.edtTexStartPxl.Exit();
    EXPECT_EQ(f.edtTexStart.Text, Gezeigt("0.5"));
    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Fahrbahn_Textur]\nTexPixel=breit\n"));
    EXPECT_EQ(f.TexPxl, 0);

    // Unfinished values in the point editor belong to points the file replaces.
    f.sedSplinePtsNr.SetValue(2);
    f.edtSplinePtsX.Text = "unfertig";
    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Splines]\nAnzahl=2\n[SplinePts2]\nX=3\n"));
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->X, 0);
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->X, 3);
    EXPECT_EQ(f.edtSplinePtsX.Text, "0");
}

}  // namespace
