#include "persistence/Parameterdatei.h"

#include "model/Zahlen.h"
#include "persistence/IniDatei.h"
#include "tests/support/Fensterhilfen.h"
#include "ui/Hauptfenster.h"

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

// The rows of the field table that the parameter file stores, in its order.
std::vector<Strassenfeld> Dateifelder() {
    std::vector<Strassenfeld> felder;
    for (const Strassenfeld& f : Strassenfelder())
        if (!f.Sektion.empty()) felder.push_back(f);
    return felder;
}
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
    EXPECT_EQ(sektionen, (Texte{"Preferences", "Fahrbahn_Geo", "Fahrbahn_Textur", "TrafficSplines",
                                "Rand_rechts_Geo", "Rand_rechts_Textur", "Rand_links_Geo",
                                "Rand_links_Textur", "Splines", "SplinePts1", "SplinePts2", "FuellFlaeche"}));
    std::map<std::string, Texte> tabelle;
    for (const Strassenfeld& s : Dateifelder())
        tabelle[std::string(s.Sektion)].push_back(std::string(s.Schluessel));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(datei[i].second, tabelle[datei[i].first]) << datei[i].first;
    for (int i : {4, 6}) {
        EXPECT_EQ(datei[i].second, (Texte{"enable1", "nSegments", "Breite0", "Winkel0", "Normale0",
                                          "NormaleMan0", "Breite1", "Winkel1", "Normale1", "NormaleMan1"}));
        EXPECT_EQ(datei[i + 1].second,
                  (Texte{"FileName", "Laenge", "Breite", "Pixel", "Ruecksetzen", "Start", "Ende0", "Ende1"}));
    }
    EXPECT_EQ(datei[8].second, (Texte{"Anzahl", "aktuell", "FileName"}));
    EXPECT_EQ(datei[9].second, (Texte{"X", "Y", "Z", "Xrot", "Yrot", "Zrot"}));
    EXPECT_EQ(datei[11].second, (Texte{"erzeugen", "Textur", "TexturHoehe", "TexturBreite", "TauschHB"}));
}

TEST(Parameterdatei, SpeichernUndLadenGibtDasselbeFenster) {
    TempOrdner ordner;
    Fenster a;
    Hauptfenster& f = a.form;
    // Every text different from its start, every box flipped (the mirroring pair can
    // hold one checked box only).
    int n = 0;
    for (const Strassenfeld& s : Dateifelder()) {
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
    f.AktuellerPunkt = 2;
    f.SplineDatei = "C:\\Strassen\\kurve.i3d";
    a.dialoge.antworten = {(ordner / "p.ini").string()};
    ASSERT_TRUE(a.Ereignis([&] { f.bbnSavePara.Click(); }));
    EXPECT_EQ(f.lblParameter1.Caption, "Parameter gespeichert in");
    EXPECT_EQ(f.lblParameter.Caption, "p.ini");
    {
        const IniDatei datei(ordner / "p.ini");
        EXPECT_EQ(datei.LiesInteger("Splines", "aktuell", -1), 2);
        EXPECT_EQ(datei.LiesString("Splines", "FileName", ""), "C:\\Strassen\\kurve.i3d");
    }

    Fenster b;
    Hauptfenster& g = b.form;
    g.SplineDatei = "bleibt";
    b.dialoge.antworten = {(ordner / "p.ini").string()};
    ASSERT_TRUE(b.Ereignis([&] { g.bbnLoadPara.Click(); }));
    EXPECT_EQ(g.lblParameter1.Caption, "Parameter geladen aus");
    EXPECT_EQ(g.lblParameter.Caption, "p.ini");
    for (const Strassenfeld& s : Dateifelder()) {
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
    EXPECT_EQ((std::vector<int>{g.AktuellerPunkt, g.sedSplinePtsNr.Value(), g.sedSplinePtsNr.MaxValue}),
              (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(g.SplineDatei, "bleibt");  // FileName is not read back
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

// The switch "leave terrain" is written only where it is on: a road without it saves the
// bytes it did before the switch existed, and a switch turned off in a file that had it on
// reads back off after the save updated that file.
TEST(Parameterdatei, GelaendeLassenNurWoEsAnIst) {
    TempOrdner ordner;
    const auto schalter = [](const Hauptfenster& f) {
        std::vector<bool> an;
        for (int i = 0; i < f.SplinePunkte.AnzahlPunkte(); ++i)
            an.push_back(f.SplinePunkte.Punkt(i)->GelaendeLassen);
        return an;
    };
    Fenster a;
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(a.Ereignis([&] { a.form.spbSplineAddEnd.Click(); }));
    ASSERT_TRUE(a.Ereignis([&] { a.form.sedSplinePtsNr.SetValue(1); }));  // a load starts at point 1
    ASSERT_TRUE(a.Ereignis([&] { a.form.ParameterSpeichern(ordner / "ohne.ini"); }));
    const std::string ohne = DateiLesen(ordner / "ohne.ini");
    EXPECT_EQ(ohne.find("GelaendeLassen"), std::string::npos);
    Fenster b;
    ASSERT_TRUE(b.Ereignis([&] { b.form.ParameterLaden(ordner / "ohne.ini"); }));
    EXPECT_EQ(schalter(b.form), (std::vector<bool>{false, false, false, false}));
    ASSERT_TRUE(b.Ereignis([&] { b.form.ParameterSpeichern(ordner / "ohne.ini"); }));
    EXPECT_EQ(DateiLesen(ordner / "ohne.ini"), ohne);

    ASSERT_TRUE(b.Ereignis([&] { b.form.TabellenGelaendeLassen(1, true); }));
    ASSERT_TRUE(b.Ereignis([&] { b.form.TabellenGelaendeLassen(2, true); }));
    ASSERT_TRUE(b.Ereignis([&] { b.form.ParameterSpeichern(ordner / "mit.ini"); }));
    const std::string mit = DateiLesen(ordner / "mit.ini");
    // In the points' own sections, after their values.
    const std::size_t zwei = mit.find("[SplinePts2]"), drei = mit.find("[SplinePts3]");
    const std::size_t vier = mit.find("[SplinePts4]"), erster = mit.find("GelaendeLassen=1");
    ASSERT_TRUE(zwei < drei && drei < vier && vier != std::string::npos) << mit;
    EXPECT_TRUE(erster > mit.find("Zrot=", zwei) && erster < drei) << mit;
    EXPECT_TRUE(mit.find("GelaendeLassen=1", erster + 1) < vier) << mit;
    EXPECT_EQ(mit.find("GelaendeLassen", vier), std::string::npos) << mit;
    Fenster c;
    ASSERT_TRUE(c.Ereignis([&] { c.form.ParameterLaden(ordner / "mit.ini"); }));
    EXPECT_EQ(schalter(c.form), (std::vector<bool>{false, true, true, false}));

    ASSERT_TRUE(c.Ereignis([&] { c.form.TabellenGelaendeLassen(1, false); }));
    ASSERT_TRUE(c.Ereignis([&] { c.form.ParameterSpeichern(ordner / "mit.ini"); }));
    ASSERT_TRUE(c.Ereignis([&] { c.form.ParameterLaden(ordner / "mit.ini"); }));
    EXPECT_EQ(schalter(c.form), (std::vector<bool>{false, false, true, false}));
}

TEST(Parameterdatei, VorgabenUndKetten) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    // Read in table order: the flip box is checked first, then the reset box unchecks it.
    ASSERT_TRUE(Laden(w, ordner / "p.ini", "[Fahrbahn_Textur]\nRueckfaltung=1\nRuecksetzen=1\n"));
    EXPECT_TRUE(f.cboRuecksetzen.Checked());
    EXPECT_FALSE(f.cboRandomBackFold.Checked());
    // Every missing key takes the file's default without an error. The default borders
    // are on, with U 0 at both ends of segment 1, which their recompute advises about.
    EXPECT_TRUE(w.dialoge.fehler.empty());
    ASSERT_EQ(w.melder.eintraege.size(), 2u);
    EXPECT_EQ(w.melder.eintraege[1].text.rfind("left Border: BorderPoint1: Difference in texture", 0), 0u);
    EXPECT_TRUE(f.cboRandRenable.Checked() && f.cboRandLenable.Checked());
    EXPECT_EQ(f.RandR.TexturDatei, "bitte eingeben");
    EXPECT_EQ(f.edtRandLTexFile.Text, "bitte eingeben");
    EXPECT_FALSE(f.cboRandFuellen.Checked());
    EXPECT_EQ(f.FuellFlaeche.TexturHoehe, 2);
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
    Hauptfenster& f = w.form;
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
    Hauptfenster& f = w.form;
    EXPECT_FALSE(Laden(w, ordner / "p.ini",
                       "[Preferences]\nminLaenge=4\nminWinkel=abc\nminZRot=9\n[Fahrbahn_Geo]\nBreite=8\n"
                       "[Splines]\nAnzahl=3\n"));
    EXPECT_EQ(w.dialoge.fehler, Texte{(ordner / "p.ini").string() +
                                      " [Preferences] minWinkel: 'abc' ist kein gültiger Gleitkommawert"});
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
    Hauptfenster& f = w.form;
    EXPECT_FALSE(w.Ereignis([&] { f.ParameterLaden(ordner / "fehlt.ini"); }));
    EXPECT_FALSE(w.Ereignis([&] { f.ParameterSpeichern(ordner / "kein" / "p.ini"); }));
    EXPECT_EQ(w.dialoge.fehler, (Texte{"Die Datei " + (ordner / "fehlt.ini").string() + " existiert nicht",
                                       "In " + (ordner / "kein" / "p.ini").string() +
                                           " kann nicht geschrieben werden: No such file or directory"}));
    EXPECT_EQ(f.lblParameter1.Caption, "");
    EXPECT_EQ(f.lblParameter.Caption, "freely entered ");
}

TEST(Parameterdatei, LadenLaesstNichtsVeraltetStehen) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
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

// ---- Borders and fill ------------------------------------------------------------------

using pavolant::test::RandSeite;
using pavolant::test::Segmente;
using pavolant::test::Seite;

// What the file keeps of a border: switch, texture numbers, then per segment width,
// angle and normal in degrees (to the 0.01 the file holds), U and the custom-normal flag.
std::vector<double> Profil(const TRandPunkte& r) {
    std::vector<double> v{double(r.Aktiv), r.TexturLaenge, r.TexturBreite, double(r.Pixel),
                          double(r.Ruecksetzen)};
    for (int i = 0; i < r.AnzahlSegmente(); ++i) {
        const TRandSegment& s = *r.Segment(i);
        v.insert(v.end(), {s.Breite, RundeAufStellen(RadZuGrad(s.Winkel), 100),
                           RundeAufStellen(RadZuGrad(s.NormalenWinkel), 100), s.U, double(s.NormaleMan)});
    }
    return v;
}

// Both borders on with distinct profiles and textures, the front faces filled.
void Strasse(Hauptfenster& f) {
    const RandSeite r = Seite(f, true), l = Seite(f, false);
    Segmente(f, r, {1, 2});
    Segmente(f, l, {0.5, 1.5, 3});
    r.winkel->Text = "-12,3456";
    r.normMan->Click();
    r.normale->Text = "45";
    r.texDatei->Text = "kerb.dds";
    r.texPxl->Text = "512";
    r.ruecksetzen->Click();
    r.gruppe->Exit();
    r.segmente->Exit();
    l.texBreite->Text = "3";
    l.gruppe->Exit();
    f.cboRandFuellen.Click();
    f.FuellFlaeche.Textur = "face.dds";
    f.FuellFlaeche.TexturHoehe = 1.5;
    f.FuellFlaeche.TauschHB = true;
}

TEST(ParameterdateiRaender, SpeichernUndLadenGibtRaenderUndFuellungZurueck) {
    TempOrdner ordner;
    Fenster a;
    Hauptfenster& f = a.form;
    Strasse(f);
    f.ParameterSpeichern(ordner / "p.ini");

    Fenster b;
    Hauptfenster& g = b.form;
    ASSERT_TRUE(b.Ereignis([&] { g.ParameterLaden(ordner / "p.ini"); }));
    EXPECT_EQ(Profil(g.RandR), Profil(f.RandR));
    EXPECT_EQ(Profil(g.RandL), Profil(f.RandL));
    EXPECT_EQ(g.RandR.Segment(1)->Winkel, GradZuRad(-12.35));  // to the nearest 0.01 degree
    EXPECT_TRUE(g.RandR.Rechts && !g.RandL.Rechts);
    EXPECT_TRUE(g.cboRandRenable.Checked() && g.cboRandLenable.Checked() && g.cboRandFuellen.Checked());
    EXPECT_EQ((std::vector<double>{g.FuellFlaeche.TexturHoehe, g.FuellFlaeche.TexturBreite}),
              (std::vector<double>{1.5, 5}));
    EXPECT_TRUE(g.FuellFlaeche.Textur == "face.dds" && g.FuellFlaeche.TauschHB);
    // Segment 1 in the editor, its angle as stored.
    const RandSeite r = Seite(g, true);
    EXPECT_EQ((Texte{r.breite->Text, r.winkel->Text, r.normale->Text, r.texDatei->Text, r.texPxl->Text}),
              (Texte{"1", Gezeigt("-12.35"), "45", "kerb.dds", "512"}));
    EXPECT_TRUE(r.normMan->Checked() && r.normale->Enabled && r.ruecksetzen->Checked());
    EXPECT_EQ((std::vector<int>{g.RandR.AktSegment, r.nr->Value(), r.nr->MaxValue, g.sedRandLNr.MaxValue}),
              (std::vector<int>{1, 1, 2, 3}));
    // Switched on by this load, each border was displayed; loaded with both already on,
    // the right group keeps the whole-file caption without the colon.
    EXPECT_EQ(g.gboRandRSegmente.Caption, "Right bordersegments:2");
    ASSERT_TRUE(b.Ereignis([&] { g.ParameterLaden(ordner / "p.ini"); }));
    EXPECT_EQ((Texte{g.gboRandRSegmente.Caption, g.gboRandLSegmente.Caption}),
              (Texte{"Right bordersegments 2", "Left bordersegments:3"}));

    // A fill stored as on stays off while a border is off.
    IniDatei ini(ordner / "p.ini");
    ini.SchreibeBool("Rand_links_Geo", "enable1", false);
    ini.Speichern();
    ASSERT_TRUE(b.Ereignis([&] { g.ParameterLaden(ordner / "p.ini"); }));
    EXPECT_FALSE(g.cboRandLenable.Checked() || g.gboRandL.Visible || g.cboRandFuellen.Checked());
}

TEST(ParameterdateiRaender, EinRandAendertNurSeineSeite) {
    TempOrdner ordner;
    Fenster quelle;
    Strasse(quelle.form);
    quelle.form.ParameterSpeichern(ordner / "p.ini");
    for (const bool rechts : {true, false}) {
        SCOPED_TRACE(rechts ? "right" : "left");
        Fenster w;
        Hauptfenster& f = w.form;
        const RandSeite s = Seite(f, rechts), andere = Seite(f, !rechts);
        Segmente(f, andere, {4});
        const std::vector<double> vorher = Profil(*andere.rand);
        f.edtBreite.Text = "9";
        w.dialoge.antworten = {(ordner / "p.ini").string()};
        s.loadPara->Click();
        EXPECT_EQ(Profil(*s.rand), Profil(rechts ? quelle.form.RandR : quelle.form.RandL));
        EXPECT_TRUE(s.aktiv->Checked() && s.segmente->Visible);
        EXPECT_EQ(s.segmente->Caption, s.ueberschrift + (rechts ? "2" : "3"));
        EXPECT_EQ(Profil(*andere.rand), vorher);
        EXPECT_EQ(f.edtBreite.Text, "9");
        EXPECT_EQ((Texte{f.lblParameter1.Caption, f.lblParameter.Caption}), (Texte{"", "freely entered "}));
    }
}

TEST(ParameterdateiRaender, AusgeschaltetUndNurNullpunkt) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    const RandSeite l = Seite(f, false), r = Seite(f, true);
    DateiSchreiben(
        ordner / "p.ini",
        "[Rand_links_Geo]\nenable1=0\nnSegments=2\nBreite1=2\n[Rand_links_Textur]\nFileName=aus.dds\n"
        "[Rand_rechts_Geo]\nnSegments=0\n[Rand_rechts_Textur]\nStart=0,25\n");
    // A single border read while off: its texture fields follow, its segment fields
    // stay; the whole-file load refreshes them all the same.
    ASSERT_TRUE(w.Ereignis([&] { f.RandLParameterLaden(ordner / "p.ini"); }));
    EXPECT_EQ((Texte{l.texDatei->Text, l.breite->Text, l.ende->Text}), (Texte{"aus.dds", "1", "0,2"}));
    ASSERT_TRUE(w.Ereignis([&] { f.ParameterLaden(ordner / "p.ini"); }));
    EXPECT_EQ((Texte{l.breite->Text, l.ende->Text}), (Texte{"2", "0"}));
    EXPECT_FALSE(l.aktiv->Checked());

    // The right border holds only its start point: the editor shows it as segment 0.
    ASSERT_EQ(f.RandR.AnzahlSegmente(), 1);
    EXPECT_EQ((std::vector<int>{f.RandR.AktSegment, r.nr->Value()}), (std::vector<int>{0, 0}));
    EXPECT_FALSE(r.nr->Visible || r.breite->Enabled || r.winkel->Enabled);
    EXPECT_EQ(r.ende->Text, Gezeigt("0.25"));
    EXPECT_EQ(r.segmente->Caption, "Right bordersegments:0");
    r.addEnd->Click();
    EXPECT_EQ((std::vector<int>{f.RandR.AnzahlSegmente(), f.RandR.AktSegment}), (std::vector<int>{2, 1}));
    EXPECT_TRUE(r.nr->Visible && r.breite->Enabled);
}

TEST(ParameterdateiRaender, SchlechteZahlStopptOffeneEingabenNicht) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    const RandSeite r = Seite(f, true);
    Segmente(f, r, {1, 1});
    r.nr->SetValue(2);
    // Unfinished values in the editor belong to the profile the file replaces.
    r.breite->Text = "unfertig";
    EXPECT_FALSE(
        Laden(w, ordner / "p.ini",
              "[Rand_rechts_Geo]\nnSegments=3\nBreite1=2\nBreite2=x\n[Rand_links_Geo]\nenable1=1\n"));
    // Stopped at the bad key: the controls show what was read, the left border is not reached.
    EXPECT_EQ(w.dialoge.fehler, Texte{(ordner / "p.ini").string() +
                                      " [Rand_rechts_Geo] Breite2: 'x' ist kein gültiger Gleitkommawert"});
    EXPECT_EQ((std::vector<int>{f.RandR.AnzahlSegmente(), r.nr->MaxValue}), (std::vector<int>{4, 3}));
    EXPECT_EQ(r.breite->Text, "2");
    EXPECT_FALSE(f.cboRandLenable.Checked());
}

// Segment 0 of a border is the border's start at the roadway edge: with an automatic
// normal its angle and normal follow segment 1 whenever the border is computed, so a
// file's 0/90 under a vertical segment 1 reads back as 90/180. The stored pair is derived,
// not the user's: the road is the same either way, and the file is a fixed point after
// one save.
TEST(ParameterdateiRaender, StartpunktFolgtSegmentEinsUndDieStrasseBleibt) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    f.ParameterSpeichern(o / "p.ini");
    {
        IniDatei ini(o / "p.ini");
        for (const auto& [k, v] : std::map<std::string, std::string>{{"enable1", "1"},
                                                                     {"Breite1", "0,2"},
                                                                     {"Winkel1", "90"},
                                                                     {"Winkel0", "0"},
                                                                     {"Normale0", "90"}})
            ini.SchreibeString("Rand_rechts_Geo", k, v);
        ini.SchreibeString("Rand_rechts_Textur", "Breite", "1");
        ini.SchreibeString("SplinePts2", "Z", "10");
        ini.Speichern();
    }
    auto go = [&](const fs::path& ini, const fs::path& dokument) {
        EXPECT_TRUE(w.Ereignis([&] { f.ParameterLaden(ini); }));
        f.edtFileName.Text = dokument.string();
        EXPECT_TRUE(w.Ereignis([&] { f.bbnGoClick(); }));
        return DateiLesen(dokument);
    };
    const std::string erstes = go(o / "p.ini", o / "d.i3d");
    f.ParameterSpeichern(o / "q.ini");
    IniDatei q(o / "q.ini");
    EXPECT_EQ((Texte{q.LiesString("Rand_rechts_Geo", "Winkel0", ""),
                     q.LiesString("Rand_rechts_Geo", "Normale0", "")}),
              (Texte{"90", "180"}));
    EXPECT_EQ(go(o / "q.ini", o / "d.i3d"), erstes);
    f.ParameterSpeichern(o / "r.ini");
    EXPECT_EQ(DateiLesen(o / "r.ini"), DateiLesen(o / "q.ini"));
    EXPECT_TRUE(w.dialoge.fehler.empty());
}

}  // namespace
