#include "ui/Hauptfenster.h"

#include "model/DateiFehler.h"
#include "model/Zahlen.h"
#include "persistence/Parameterdatei.h"
#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::Gezeigt;
using pavolant::test::MitDezimaltrenner;
using pavolant::test::RandSeite;
using pavolant::test::Segmente;
using pavolant::test::Seite;
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

// Three points with X = 1, 2, 3; point `nr` shown.
void DreiPunkte(Hauptfenster& f, int nr) {
    f.SplinePunkte.Anhaengen();
    for (int i = 0; i < 3; ++i) f.SplinePunkte.Punkt(i)->X = i + 1;
    f.sedSplinePtsNr.MaxValue = 3;
    f.SplineAnzeigen();
    f.sedSplinePtsNr.SetValue(nr);
}

TEST(Hauptfenster, Startzustand) {
    Fenster w;
    const Hauptfenster& f = w.form;
    EXPECT_FALSE(f.bbnGo.Enabled);
    EXPECT_TRUE(f.cboCreateFahrbahn.Checked());
    EXPECT_TRUE(f.cboCreateTG.Checked());
    for (const TCheckBox* c : {&f.cboRandRenable, &f.cboRandLenable, &f.cboRandFuellen, &f.cboSchleppkurve,
                               &f.cboSturz, &f.cboRandomBackFold, &f.cboRuecksetzen, &f.cboTrafficSpline})
        EXPECT_FALSE(c->Checked()) << c->Caption;
    EXPECT_EQ((Texte{f.edtFileName.Text, f.edtShapeName.Text, f.edtBreite.Text, f.edtTextur1FileName.Text,
                     f.EdtTexEnde.Text, f.edtRandomBackfold.Text, f.edtTexL0.Text}),
              (Texte{"edtFileName", "RoadPAV", "7", "road_diffuse.dds", "1", "0,5", "0"}));
    EXPECT_EQ(f.cboTrafficSplineRechts.Caption, "right                     %");
    EXPECT_EQ(f.cboRandFuellen.Hint, "nur möglich, wenn beide Ränder aktiv");
    EXPECT_EQ(f.lblParameter.Caption, "freely entered ");
    EXPECT_EQ(f.mmoStatus.Lines, Texte{"mmoStatus"});
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: 2");
    EXPECT_TRUE(f.sedSplinePtsNr.Visible);
    EXPECT_EQ(f.sedSplinePtsNr.Value(), 1);
    EXPECT_EQ(f.sedSplinePtsNr.MaxValue, 2);
    EXPECT_EQ(Felder(f), Texte(6, "0"));
    EXPECT_EQ(
        (std::vector<double>{f.OldTexL0, f.MinLaenge, f.MinWinkel, f.MinSteigung, f.MinZRot, f.MaxSturz}),
        (std::vector<double>{0, 2, 3, 1, 1, 30}));
    EXPECT_FALSE(f.DreieckeSym);
    EXPECT_EQ(f.TexPxl, 0);
    EXPECT_EQ(f.FuellFlaeche.TexturHoehe, 5);
    EXPECT_TRUE(w.melder.eintraege.empty());
}

TEST(Hauptfenster, StartzustandDerRaender) {
    Fenster w;
    Hauptfenster& f = w.form;
    for (const bool rechts : {true, false}) {
        SCOPED_TRACE(rechts ? "right" : "left");
        const RandSeite s = Seite(f, rechts);
        EXPECT_EQ(s.rand->Bezeichnung, rechts ? "right Border" : "left Border");
        EXPECT_EQ(s.rand->Rechts, rechts);
        EXPECT_EQ((std::vector<int>{s.rand->Aktiv, s.rand->AnzahlSegmente(), s.rand->AktSegment}),
                  (std::vector<int>{0, 2, 1}));
        // Off: both groups hidden and disabled, the fields keep their layout texts.
        EXPECT_FALSE(s.aktiv->Checked() || s.gruppe->Visible || s.gruppe->Enabled || s.segmente->Visible ||
                     s.segmente->Enabled);
        EXPECT_EQ((Texte{s.texDatei->Text, s.texLaenge->Text, s.texBreite->Text, s.texPxl->Text,
                         s.breite->Text, s.winkel->Text, s.ende->Text, s.endePxl->Text, s.normale->Text}),
                  (Texte{"verge_diffuse.dds", "20", "0", "0", "1", "-30", "0,2", "0", "-30"}));
        EXPECT_FALSE(s.normMan->Checked() || s.ruecksetzen->Checked() || s.normale->Enabled);
        EXPECT_EQ((std::vector<int>{s.nr->MinValue, s.nr->MaxValue, s.nr->Value()}),
                  (std::vector<int>{0, 2, 1}));
        EXPECT_EQ(s.segmente->Caption, s.ueberschrift + "1");
        EXPECT_EQ((Texte{s.calcU->Caption, s.del->Hint}),
                  (Texte{"Width  -> U", "aktuelles Randsegment löschen"}));
    }
    EXPECT_EQ(
        (Texte{f.gboRandR.Caption, f.spbCopyToRight.Caption, f.spbRandRAddEnd.Hint, f.spbRandLAddEnd.Hint}),
        (Texte{"Right border ", "CopyL", "Add border segment at the end  ",
               "Randsegment am Ende hinzufügen"}));
}

TEST(Hauptfenster, NamenGrenzeUndInfo) {
    Fenster w;
    Hauptfenster& f = w.form;
    EXPECT_EQ(f.Edit("edtBreite"), &f.edtBreite);
    EXPECT_EQ(f.SpinEdit("sedSplinePtsNr"), &f.sedSplinePtsNr);
    EXPECT_EQ(f.Button("bbnGo"), &f.bbnGo);
    EXPECT_EQ(f.Memo("mmoStatus"), &f.mmoStatus);
    EXPECT_EQ(f.Edit("edtbreite"), nullptr);
    EXPECT_EQ(f.Button("edtBreite"), nullptr);
    // Every row of the field table names a control of the window (the fineness settings
    // are fields of the window, not controls).
    for (const Strassenfeld& s : Strassenfelder()) {
        const bool box = s.Art == Wertart::Boolean && s.Name != "DreieckeSym";
        EXPECT_TRUE(s.Art == Wertart::Text ? f.Edit(s.Name) != nullptr : !box || f.CheckBox(s.Name))
            << s.Name;
    }

    EXPECT_TRUE(w.Ereignis([&] { f.bbnInfo.Click(); }));
    EXPECT_FALSE(w.Ereignis([] { throw DateiFehler("In x kann nicht geschrieben werden"); }));
    EXPECT_FALSE(w.Ereignis([] { throw std::runtime_error("sonst etwas"); }));
    EXPECT_EQ(w.dialoge.fehler, (Texte{"In x kann nicht geschrieben werden", "sonst etwas"}));
    ASSERT_EQ(w.melder.eintraege.size(), 1u);
    EXPECT_EQ(w.melder.eintraege[0].art, MeldungsArt::Information);
    EXPECT_EQ(w.melder.eintraege[0].text, "INOFFICIAL\rEN-VERSION!\r\rVersion 1.64 (2017-01-03) by Quenlor");
}

TEST(HauptfensterKetten, SpiegelnUndZufallSchliessenSichAus) {
    Fenster w;
    Hauptfenster& f = w.form;
    auto zustand = [&] { return std::pair{f.cboRuecksetzen.Checked(), f.cboRandomBackFold.Checked()}; };
    f.cboRuecksetzen.Click();
    f.cboRandomBackFold.Click();
    EXPECT_EQ(zustand(), std::pair(false, true));
    f.cboRuecksetzen.SetChecked(true);  // from code as from the user
    EXPECT_EQ(zustand(), std::pair(true, false));
    f.cboRuecksetzen.Click();  // unchecking checks nothing else
    EXPECT_EQ(zustand(), std::pair(false, false));
}

TEST(HauptfensterKetten, FuellflaecheNurMitBeidenRaendern) {
    Fenster w;
    Hauptfenster& f = w.form;
    std::vector<bool> gefuellt;
    for (TCheckBox* klick : {&f.cboRandRenable, &f.cboRandLenable, &f.cboRandRenable, &f.cboRandRenable}) {
        f.cboRandFuellen.Click();
        gefuellt.push_back(f.cboRandFuellen.Checked());
        klick->Click();  // R on, L on, R off (unchecks the fill), R on (does not restore it)
        gefuellt.push_back(f.cboRandFuellen.Checked());
    }
    EXPECT_EQ(gefuellt, (std::vector<bool>{false, false, false, false, true, false, false, false}));
    f.cboRandFuellen.Click();
    f.cboRandLenable.SetChecked(false);
    EXPECT_FALSE(f.cboRandFuellen.Checked());
}

TEST(HauptfensterKetten, RandKopieren) {
    for (const bool nachRechts : {true, false}) {
        SCOPED_TRACE(nachRechts ? "to the right" : "to the left");
        Fenster w;
        Hauptfenster& f = w.form;
        const RandSeite von = Seite(f, !nachRechts), nach = Seite(f, nachRechts);
        Segmente(f, von, {1, 2});
        von.texDatei->Text = "grass.dds";  // typed, committed by the copy
        (nachRechts ? f.spbCopyToRight : f.spbCopyToLeft).Click();
        // An enabled border onto a disabled one: the target is on with segment 1 current.
        EXPECT_TRUE(nach.aktiv->Checked() && nach.gruppe->Visible && nach.segmente->Visible);
        EXPECT_EQ(nach.rand->AnzahlSegmente(), 3);
        EXPECT_EQ(nach.rand->Segment(2)->Breite, 2);
        EXPECT_EQ((std::vector<int>{nach.rand->AktSegment, nach.nr->Value(), nach.nr->MaxValue}),
                  (std::vector<int>{1, 1, 2}));
        EXPECT_EQ(nach.rand->Rechts, nachRechts);
        EXPECT_EQ(nach.rand->Bezeichnung, nachRechts ? "right Border" : "left Border");
        EXPECT_EQ((Texte{von.rand->TexturDatei, nach.rand->TexturDatei, nach.texDatei->Text}),
                  (Texte{"grass.dds", "grass.dds", "grass.dds"}));
        EXPECT_EQ(nach.breite->Text, "1");
        EXPECT_EQ(nach.segmente->Caption, nach.ueberschrift + "2");

        // A disabled border disables the target, and with it the fill.
        f.cboRandFuellen.Click();
        ASSERT_TRUE(f.cboRandFuellen.Checked());
        von.aktiv->Click();
        EXPECT_FALSE(f.cboRandFuellen.Checked());
        nach.nr->SetValue(2);
        (nachRechts ? f.spbCopyToRight : f.spbCopyToLeft).Click();
        EXPECT_FALSE(nach.aktiv->Checked() || nach.rand->Aktiv || nach.gruppe->Visible ||
                     nach.segmente->Visible);
        EXPECT_EQ(nach.rand->AktSegment, 1);
    }
}

TEST(HauptfensterTexturPixel, UZuPixelUndZurueckMitGeraderRundung) {
    for (const char trenner : {',', '.'}) {
        MitDezimaltrenner t(trenner);
        Fenster w;
        Hauptfenster& f = w.form;
        f.edtTexPxl.Text = "4";
        f.edtTexStart.Text = "0,625";
        f.EdtTexEnde.Text = "0.875";  // either separator is read
        ASSERT_TRUE(w.Ereignis([&] { f.edtTexPxl.Exit(); }));
        EXPECT_EQ(f.TexPxl, 4);
        EXPECT_EQ(f.edtTexStartPxl.Text, "2");  // 2.5 to the even neighbour
        EXPECT_EQ(f.EdtTexEndePxl.Text, "4");   // 3.5 likewise
        f.edtTexStartPxl.Text = "3";
        f.edtTexStartPxl.Exit();
        EXPECT_EQ(f.edtTexStart.Text, Gezeigt("0.75"));
        f.EdtTexEndePxl.Text = "1";
        f.EdtTexEndePxl.Exit();
        EXPECT_EQ(f.EdtTexEnde.Text, Gezeigt("0.25"));
        f.edtTexStart.Text = "0,375";
        f.edtTexStart.Exit();
        EXPECT_EQ(f.edtTexStartPxl.Text, "2");
        f.EdtTexEnde.Text = "1,125";
        f.EdtTexEnde.Exit();
        EXPECT_EQ(f.EdtTexEndePxl.Text, "4");
    }
}

TEST(HauptfensterTexturPixel, OhneBreiteNichtsUndKeineGanzzahlStoppt) {
    Fenster w;
    Hauptfenster& f = w.form;
    f.edtTexStart.Text = "0,5";
    f.edtTexStartPxl.Text = "7";
    for (TEdit* e : {&f.edtTexPxl, &f.edtTexStart, &f.EdtTexEnde, &f.edtTexStartPxl, &f.EdtTexEndePxl})
        e->Exit();
    EXPECT_EQ((Texte{f.edtTexStart.Text, f.EdtTexEnde.Text, f.edtTexStartPxl.Text, f.EdtTexEndePxl.Text}),
              (Texte{"0,5", "1", "7", "0"}));

    f.edtTexPxl.Text = "4";
    f.edtTexPxl.Exit();
    f.edtTexPxl.Text = "4,5";
    EXPECT_FALSE(w.Ereignis([&] { f.edtTexPxl.Exit(); }));
    EXPECT_EQ(f.TexPxl, 4);
    f.edtTexStartPxl.Text = "drei";
    EXPECT_FALSE(w.Ereignis([&] { f.edtTexStartPxl.Exit(); }));
    EXPECT_EQ(f.edtTexStart.Text, "0,5");
    EXPECT_EQ(w.dialoge.fehler,
              (Texte{"'4,5' ist kein gültiger Integerwert (Roadway - Texture: TextureWidth)",
                     "'drei' ist kein gültiger Integerwert (Roadway - Texture: Begin (pxl))"}));
    EXPECT_EQ(f.Fehlerfeld(), "edtTexStartPxl");
}

TEST(HauptfensterSplinePunkte, EinfuegenUndAnhaengen) {
    Fenster w;
    Hauptfenster& f = w.form;
    Tippen(f, {"5"});
    f.gboSplinePts.Exit();
    Tippen(f, {"9"});  // typed after the commit: dropped by the insert
    f.spbSplineAdd.Click();
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: 3");
    EXPECT_EQ(f.sedSplinePtsNr.MaxValue, 3);
    EXPECT_EQ(f.sedSplinePtsNr.Value(), 1);  // the new zero point is number 1
    EXPECT_EQ(Felder(f), Texte(6, "0"));
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->X, 5);  // the former point 1 is number 2

    Tippen(f, {"1", "2", "3", "4", "5", "6"});
    f.spbSplineAddEnd.Click();  // commits into point 1, shows the new last point
    const TSplinePkt& p = *f.SplinePunkte.Punkt(0);
    EXPECT_EQ((std::vector<double>{p.X, p.Y, p.Z, p.Xrot, p.Yrot, p.Zrot}),
              (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 4);
    EXPECT_EQ(f.AktuellerPunkt, 3);
    EXPECT_EQ(f.sedSplinePtsNr.Value(), 4);
    EXPECT_EQ(Felder(f), Texte(6, "0"));
}

TEST(HauptfensterSplinePunkte, Loeschen) {
    Fenster zwei;
    zwei.form.spbSplineSub.Click();
    EXPECT_EQ(zwei.form.SplinePunkte.AnzahlPunkte(), 2);
    ASSERT_EQ(zwei.melder.eintraege.size(), 1u);
    EXPECT_EQ(zwei.melder.eintraege[0].art, MeldungsArt::Warnung);
    EXPECT_EQ(zwei.melder.eintraege[0].text, "Zwei Punkte müssen mindestens vorhanden sein!");

    // The last of three: point 2 is shown with its stored values; the typed ones went
    // into the removed point.
    Fenster w;
    Hauptfenster& f = w.form;
    DreiPunkte(f, 3);
    Tippen(f, {"x"});  // the step back commits first, so this stops the delete
    EXPECT_FALSE(w.Ereignis([&] { f.spbSplineSub.Click(); }));
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 3);
    Tippen(f, {"99"});
    f.spbSplineSub.Click();
    ASSERT_EQ(f.SplinePunkte.AnzahlPunkte(), 2);
    EXPECT_EQ(f.AktuellerPunkt, 1);
    EXPECT_EQ(f.sedSplinePtsNr.Value(), 2);
    EXPECT_EQ(f.sedSplinePtsNr.MaxValue, 2);
    EXPECT_EQ(f.edtSplinePtsX.Text, "2");

    // In the middle: the point that took its place is shown.
    Fenster m;
    DreiPunkte(m.form, 2);
    m.form.spbSplineSub.Click();
    EXPECT_EQ(m.form.sedSplinePtsNr.Value(), 2);
    EXPECT_EQ(m.form.edtSplinePtsX.Text, "3");
    EXPECT_EQ(m.form.gboSplinePts.Caption, "Spline-Points: 2");
}

TEST(HauptfensterSplinePunkte, WechselMitSchlechterZahlUndBegrenzteNummer) {
    Fenster w;
    Hauptfenster& f = w.form;
    Tippen(f, {"7", "abc", "8"});
    EXPECT_FALSE(w.Ereignis([&] { f.sedSplinePtsNr.SetValue(2); }));
    EXPECT_EQ(w.dialoge.fehler, Texte{"'abc' ist kein gültiger Gleitkommawert (Spline-Points: Y)"});
    EXPECT_EQ(f.Fehlerfeld(), "edtSplinePtsY");
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->X, 7);  // read before the bad field
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->Z, 0);  // not reached
    EXPECT_EQ(f.AktuellerPunkt, 0);

    Fenster v;
    DreiPunkte(v.form, 1);
    v.form.sedSplinePtsNr.SetText("9");
    EXPECT_EQ(v.form.AktuellerPunkt, 2);
    // One point: the spin's limits are equal and it clamps nothing, the window does.
    v.form.SplinePunkte.PunktLoeschen(2);
    v.form.SplinePunkte.PunktLoeschen(1);
    v.form.AktuellerPunkt = 0;  // as the window's own deletions keep it within the list
    v.form.sedSplinePtsNr.MaxValue = 1;
    v.form.SplineAnzeigen();
    EXPECT_FALSE(v.form.sedSplinePtsNr.Visible);
    v.form.sedSplinePtsNr.SetText("5");
    EXPECT_EQ(v.form.AktuellerPunkt, 0);
    EXPECT_EQ(v.form.sedSplinePtsNr.Value(), 1);
}

// The level editor's export of the westby map: 231 shapes in its scene.
const std::string kWestby = (test::Referenzordner() / "i3d" / "samples" / "westby_splines.i3d").string();

TEST(HauptfensterSplineImport, AusDerEditorDateiUndAbbrechen) {
    Fenster w;
    Hauptfenster& f = w.form;
    DreiPunkte(f, 3);
    Tippen(f, {"77"});
    f.bbnSplinePtsOpen.Click();  // cancelled: nothing changes, nothing is committed
    ASSERT_EQ(w.dialoge.aufrufe.size(), 1u);
    const DateiAuswahl& a = w.dialoge.aufrufe[0];
    ASSERT_EQ(a.Filter.size(), 2u);
    EXPECT_EQ((Texte{a.Filter[0].Beschreibung, a.Filter[0].Muster, a.Filter[1].Beschreibung,
                     a.Filter[1].Muster, a.StandardEndung, a.Dateiname}),
              (Texte{"i3d", "*.i3d", "all Files   ", "*.*", "", "test.i3d"}));
    EXPECT_FALSE(a.MussExistieren);
    EXPECT_EQ((std::vector<int>{f.SplinePunkte.AnzahlPunkte(), f.AktuellerPunkt, f.sedSplinePtsNr.Value()}),
              (std::vector<int>{3, 2, 3}));
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->X, 3);

    PAVOLANT_REFERENZ_NOETIG(kWestby);  // the rest imports the editor's own export
    w.dialoge.antworten = {kWestby};
    EXPECT_TRUE(w.Ereignis([&] { f.Button("bbnSplinePtsOpen")->Click(); }));
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 231);
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: 231");
    EXPECT_EQ((std::vector<int>{f.sedSplinePtsNr.MaxValue, f.sedSplinePtsNr.Value(), f.AktuellerPunkt}),
              (std::vector<int>{231, 1, 0}));
    EXPECT_EQ(f.SplineDatei, kWestby);
    // The file's first shape: translation="-2183.49 219.752 -231.4", no rotation.
    EXPECT_EQ(Felder(f), (Texte{Gezeigt("-2183.49"), Gezeigt("219.752"), Gezeigt("-231.4"), "0", "0", "0"}));
    EXPECT_TRUE(w.dialoge.fehler.empty() && w.melder.eintraege.empty());
}

TEST(HauptfensterSplineImport, FehlerwegeHaltenSpinUndListeGleich) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    DreiPunkte(f, 3);
    // Point 1 is made current first, committing the typed value into point 3; a file
    // without a scene then changes nothing.
    DateiSchreiben(o / "ohne.i3d", "<i3D>\n  <Shape translation=\"1 2 3\"/>\n</i3D>\n");
    Tippen(f, {"42"});
    EXPECT_TRUE(w.Ereignis([&] { f.SplinePunkteImportieren(o / "ohne.i3d"); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->X, 42);
    EXPECT_EQ((std::vector<int>{f.SplinePunkte.AnzahlPunkte(), f.AktuellerPunkt, f.sedSplinePtsNr.Value()}),
              (std::vector<int>{3, 0, 1}));
    EXPECT_EQ(w.melder.eintraege.size(), 1u);

    // A bad field stops the import before the file is read; the spin still names the
    // point whose fields are shown.
    f.sedSplinePtsNr.SetValue(2);
    Tippen(f, {"5", "x"});
    EXPECT_FALSE(w.Ereignis([&] { f.SplinePunkteImportieren(kWestby); }));
    EXPECT_EQ((std::vector<int>{f.SplinePunkte.AnzahlPunkte(), f.AktuellerPunkt, f.sedSplinePtsNr.Value()}),
              (std::vector<int>{3, 1, 2}));

    // A third shape with two numbers only, in a list of five: the file is read whole
    // before any point changes, so the five stay, and the error names file and line.
    Tippen(f, {"5", "6"});
    f.SplinePunkte.Anhaengen();
    f.SplinePunkte.Anhaengen();
    f.sedSplinePtsNr.MaxValue = 5;
    DateiSchreiben(o / "kaputt.i3d",
                   "<Scene>\n<Shape translation=\"1 0 0\"/>\n<Shape translation=\"2 0 0\"/>\n"
                   "<Shape translation=\"3 4\"/>\n<Shape/>\n</Scene>\n");
    EXPECT_FALSE(w.Ereignis([&] { f.SplinePunkteImportieren(o / "kaputt.i3d"); }));
    ASSERT_EQ(w.dialoge.fehler.size(), 2u);
    EXPECT_EQ(w.dialoge.fehler[1], (o / "kaputt.i3d").string() + ", line 4: '3 4' is not three numbers");
    EXPECT_EQ(f.SplinePunkte.AnzahlPunkte(), 5);
    EXPECT_EQ(f.SplinePunkte.Punkt(2)->X, 42);
    EXPECT_EQ(f.gboSplinePts.Caption, "Spline-Points: 5");
    EXPECT_EQ(f.sedSplinePtsNr.MaxValue, 5);
    EXPECT_EQ(f.sedSplinePtsNr.Value(), f.AktuellerPunkt + 1);
}

TEST(HauptfensterGo, DateiauswahlUndZuWenigPunkte) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    w.dialoge.antworten = {std::nullopt, (ordner / "a.i3d").string(),
                           (fs::path("/tex") / "road.dds").string()};
    f.bbnSave.Click();
    EXPECT_FALSE(f.bbnGo.Enabled);
    EXPECT_EQ(f.edtFileName.Text, "edtFileName");
    f.bbnSave.Click();
    EXPECT_TRUE(f.bbnGo.Enabled);
    EXPECT_EQ(f.edtFileName.Text, (ordner / "a.i3d").string());
    const DateiAuswahl& a = w.dialoge.aufrufe.at(0);
    EXPECT_EQ((Texte{a.Dateiname, a.StandardEndung, a.Filter.at(0).Muster, a.Filter.at(1).Beschreibung}),
              (Texte{"test.i3d", "i3d", "*.i3d", "all files   "}));
    f.bbnLoadFahrbahnTex.Click();
    EXPECT_EQ(f.edtTextur1FileName.Text, "road.dds");

    f.SplinePunkte.PunktLoeschen(1);
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_FALSE(f.bbnGo.Enabled);
    // The memo keeps its text; its last line says why nothing was written.
    EXPECT_EQ(f.mmoStatus.Lines, (Texte{"mmoStatus", "Stopped: Zu wenig SplinePunkte"}));
    ASSERT_EQ(w.melder.eintraege.size(), 1u);
    EXPECT_EQ(w.melder.eintraege[0].text, "Zu wenig SplinePunkte");
    EXPECT_FALSE(fs::exists(ordner / "a.i3d"));
}

TEST(HauptfensterGo, ZehnMeterGeradeausSchreibtUndSetztTexL0) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    f.edtTexL0.Text = "0,3";
    f.spbOldTexL0.Click();  // before any run the old value is 0
    EXPECT_EQ(f.edtTexL0.Text, "0");
    f.sedSplinePtsNr.SetValue(2);
    Tippen(f, {"0", "0", "10"});
    f.gboSplinePts.Exit();
    w.dialoge.antworten = {(ordner / "a.i3d").string()};
    f.bbnSave.Click();
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    ASSERT_TRUE(f.LetzterLauf() && f.LetzterLauf()->Geschrieben);
    EXPECT_GT(fs::file_size(ordner / "a.i3d"), 0u);
    ASSERT_EQ(f.mmoStatus.Lines.size(), 9u);
    EXPECT_EQ(f.mmoStatus.Lines.front(), "Geometry:   Width = 7.0000  --  Schleppkurve = 0.0000");
    EXPECT_EQ(f.mmoStatus.Lines[7], "Fahrbahn: 4 Vertices, 2 triangles");
    // The last line: the document, its size and the road's length at a glance.
    EXPECT_EQ(f.mmoStatus.Lines.back(), "Written: " + (ordner / "a.i3d").string() +
                                            " (4 vertices, 2 triangles, road length 10.0000 m)");
    EXPECT_EQ(f.edtTexL0.Text, Gezeigt("0.5"));
    EXPECT_EQ(f.OldTexL0, 0);
    EXPECT_TRUE(f.bbnGo.Enabled);

    // The next run starts where this one ended; the restore button goes back one road.
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_EQ(f.OldTexL0, 0.5);
    EXPECT_EQ(f.edtTexL0.Text, "0");
    f.spbOldTexL0.Click();
    EXPECT_EQ(f.edtTexL0.Text, Gezeigt("0.5"));
}

TEST(HauptfensterGo, RaenderUndFuellflaecheAusDenFeldern) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 10;
    f.edtFileName.Text = (ordner / "a.i3d").string();
    for (const bool rechts : {true, false}) {
        const RandSeite s = Seite(f, rechts);
        Segmente(f, s, {1});
        s.winkel->Text = "-30";
        s.segmente->Exit();
        // Typed but not committed: the run takes the texture group's texts.
        s.texLaenge->Text = "5";
        s.texDatei->Text = rechts ? "kerb.dds" : "grass.dds";
    }
    f.cboRandFuellen.Click();
    w.melder.eintraege.clear();
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGoClick(); }));
    EXPECT_TRUE(w.melder.eintraege.empty());
    ASSERT_TRUE(f.LetzterLauf() && f.LetzterLauf()->Geschrieben);
    // The build took them from the fields; the window's own profiles are not its to change.
    EXPECT_NE(f.RandL.TexturDatei, "grass.dds");
    EXPECT_EQ(f.mmoStatus.Lines.end()[-2].rfind("Füllfläche: ", 0), 0u);
    EXPECT_EQ(f.mmoStatus.Lines.back().rfind("Written: " + (ordner / "a.i3d").string(), 0), 0u);
    const std::string dokument = pavolant::test::DateiLesen(ordner / "a.i3d");
    EXPECT_NE(dokument.find("materialIds=\"11, 12, 13, 14, 14\""), std::string::npos);
    EXPECT_NE(dokument.find("filename=\"grass.dds\""), std::string::npos);
}

TEST(HauptfensterGo, FehlerStoppenAnDerGrenzeMitDemGelesenen) {
    TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 10;
    f.edtFileName.Text = (ordner / "a.i3d").string();
    f.edtBreite.Text = "sieben";
    EXPECT_FALSE(w.Ereignis([&] { f.bbnGoClick(); }));
    EXPECT_EQ(w.dialoge.fehler,
              Texte{"'sieben' ist kein gültiger Gleitkommawert (Roadway - Geometry: Width)"});
    EXPECT_EQ(f.Fehlerfeld(), "edtBreite");
    // The run had cleared the memo; the one line says why it stopped.
    EXPECT_EQ(f.mmoStatus.Lines,
              Texte{"Stopped: 'sieben' ist kein gültiger Gleitkommawert (Roadway - Geometry: Width)"});
    EXPECT_FALSE(fs::exists(ordner / "a.i3d"));

    // A file that cannot be written: what the run read before is applied.
    f.edtBreite.Text = "7";
    f.edtFileName.Text = (ordner / "fehlt" / "a.i3d").string();
    f.edtTexL0.Text = "0,25";
    f.edtTexPxl.Text = "512";
    EXPECT_FALSE(w.Ereignis([&] { f.bbnGoClick(); }));
    EXPECT_EQ(w.dialoge.fehler.back(),
              "In " + f.edtFileName.Text + " kann nicht geschrieben werden: No such file or directory");
    EXPECT_EQ(f.OldTexL0, 0.25);
    EXPECT_EQ(f.TexPxl, 512);
    EXPECT_EQ(f.mmoStatus.Lines.at(0).rfind("Geometry:", 0), 0u);
    EXPECT_EQ(f.mmoStatus.Lines.back(), "Stopped: In " + f.edtFileName.Text +
                                            " kann nicht geschrieben werden: No such file or directory");
    EXPECT_EQ(f.edtTexL0.Text, "0,25");
    EXPECT_FALSE(f.LetzterLauf()->Geschrieben);
}

namespace ausgabe {

// A catalog that knows every text: the program then speaks a language of its own.
const char* Markiert(const char* id) { return id; }

// The output field and the report start with the component's text only without a
// catalog; with one they start empty, the field with its hint.
TEST(HauptfensterAusgabe, StarttexteNurOhneKatalog) {
    for (const bool katalog : {false, true}) {
        if (katalog) UebersetzerSetzen({&Markiert, nullptr});
        Fenster w;
        UebersetzerSetzen({});
        const Hauptfenster& f = w.form;
        EXPECT_EQ(f.edtFileName.Text, katalog ? "" : "edtFileName") << katalog;
        EXPECT_EQ(f.mmoStatus.Lines, katalog ? Texte{} : Texte{"mmoStatus"}) << katalog;
        EXPECT_EQ(f.edtFileName.Platzhalter, "Choose where to write the road…");
        EXPECT_FALSE(f.bbnGo.Enabled);
        EXPECT_EQ(f.bbnGo.Hint, "Choose the output file first (i3d-File)");
    }
}

// A typed path enables Go exactly when it names a place the document can go; a greyed
// Go says why.
TEST(HauptfensterAusgabe, GetippterPfadSchaltetGo) {
    TempOrdner o;
    DateiSchreiben(o / "alt.i3d", "alt");
    DateiSchreiben(o / "geschuetzt.i3d", "alt");
    fs::permissions(o / "geschuetzt.i3d", fs::perms::owner_read | fs::perms::group_read);
    struct Fall {
        std::string text;
        bool go;
        std::string grund;  // the tool tip's beginning when Go is grey
    };
    const std::string ordner = o.Pfad().string();
    const Fall faelle[] = {
        {(o / "neu.i3d").string(), true, ""},
        {(o / "alt.i3d").string(), true, ""},
        {"", false, "Choose the output file first"},
        {"neu.i3d", false, "Go needs the full path of the document: neu.i3d"},
        {ordner, false, "In " + ordner + " kann nicht geschrieben werden: Is a directory"},
        {(o / "fehlt" / "a.i3d").string(), false, "In " + (o / "fehlt" / "a.i3d").string() + " kann nicht"},
        {(o / "geschuetzt.i3d").string(), false, "In " + (o / "geschuetzt.i3d").string() + " kann nicht"},
    };
    Fenster w;
    Hauptfenster& f = w.form;
    for (const Fall& fall : faelle) {
        f.edtFileName.Text = fall.text;
        ASSERT_TRUE(w.Ereignis([&] { f.edtFileName.Change(); }));
        EXPECT_EQ(f.bbnGo.Enabled, fall.go) << fall.text;
        if (fall.go)
            EXPECT_EQ(f.bbnGo.Hint, "") << fall.text;
        else
            EXPECT_EQ(f.bbnGo.Hint.rfind(fall.grund, 0), 0u) << fall.text << ": " << f.bbnGo.Hint;
    }
    EXPECT_EQ(f.edtFileName.Text, faelle[std::size(faelle) - 1].text);  // the check never changes the text
}

// Go onto a file the road has not written asks once, naming the file; a refusal
// leaves the file and the window as they were.
TEST(HauptfensterAusgabe, FremdeDateiNurNachFrage) {
    TempOrdner o;
    const fs::path ziel = o / "fremd.i3d";
    DateiSchreiben(ziel, "eine andere Straße");
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 10;
    w.dialoge.antworten = {ziel.string(), (o / "eigen.i3d").string()};
    f.bbnSave.Click();
    const std::string frage = ziel.string() + " already exists. Replace it with this road?";

    w.dialoge.ersetzenAntworten = {false, true};
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_EQ(w.dialoge.ersetzenFragen, Texte{frage});
    EXPECT_EQ(pavolant::test::DateiLesen(ziel), "eine andere Straße");
    EXPECT_FALSE(f.LetzterLauf());
    EXPECT_EQ(f.mmoStatus.Lines, Texte{"mmoStatus"});

    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));  // asked once: this road's file now
    EXPECT_EQ(w.dialoge.ersetzenFragen, (Texte{frage, frage}));
    EXPECT_NE(pavolant::test::DateiLesen(ziel), "eine andere Straße");

    // A file the road wrote itself in this session is no other road's.
    f.bbnSave.Click();
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_EQ(w.dialoge.ersetzenFragen.size(), 2u);
    EXPECT_TRUE(w.dialoge.fehler.empty());
}

// Another road loaded forgets the output chosen before (and what this session wrote
// there); a parameter file that remembers its own output brings it back. The key is
// written only once the road has an output, so a file without it saves as it was.
TEST(HauptfensterAusgabe, LadenVergisstDieAusgabeDerAnderenStrasse) {
    TempOrdner o;
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 10;
    f.ParameterSpeichern(o / "b.ini");
    const std::string ohne = pavolant::test::DateiLesen(o / "b.ini");
    EXPECT_EQ(ohne.find(Hauptfenster::kAusgabeSchluessel), std::string::npos);

    w.dialoge.antworten = {(o / "a.i3d").string()};
    f.bbnSave.Click();
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    f.ParameterSpeichern(o / "a.ini");
    EXPECT_NE(pavolant::test::DateiLesen(o / "a.ini").find("Ausgabedatei=" + (o / "a.i3d").string() + "\r\n"),
              std::string::npos);

    ASSERT_TRUE(w.Ereignis([&] { f.ParameterLaden(o / "b.ini"); }));
    EXPECT_EQ(f.edtFileName.Text, "");
    EXPECT_FALSE(f.bbnGo.Enabled);
    EXPECT_EQ(f.bbnGo.Hint, "Choose the output file first (i3d-File)");
    f.ParameterSpeichern(o / "b.ini");
    EXPECT_EQ(pavolant::test::DateiLesen(o / "b.ini"), ohne);

    ASSERT_TRUE(w.Ereignis([&] { f.ParameterLaden(o / "a.ini"); }));
    EXPECT_EQ(f.edtFileName.Text, (o / "a.i3d").string());
    EXPECT_TRUE(f.bbnGo.Enabled);
    // Written in this session, but for the road before the load: asked again.
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_EQ(w.dialoge.ersetzenFragen.size(), 1u);
    // The same file loaded again is the same road.
    ASSERT_TRUE(w.Ereignis([&] { f.ParameterLaden(o / "a.ini"); }));
    ASSERT_TRUE(w.Ereignis([&] { f.bbnGo.Click(); }));
    EXPECT_EQ(w.dialoge.ersetzenFragen.size(), 1u);
    EXPECT_TRUE(w.dialoge.fehler.empty());
}

// A file with one section of a road among other text loads with defaults for the rest:
// a note names what was missing and offers to undo the load. Taken, the road before is
// back with its file; declined, the road counts as changed (it is not the file's), and
// undo still brings the road before back.
TEST(HauptfensterAusgabe, BruchstueckSagtWasFehlteUndLaesstSichRueckgaengigMachen) {
    TempOrdner o;
    DateiSchreiben(o / "teil.ini", "Kopf\r\n[Fahrbahn_Geo]\r\nBreite=9\r\n[Unsinn]\r\nx=1\r\nund Text\r\n");
    for (const bool zuruecknehmen : {true, false}) {
        Fenster w;
        Hauptfenster& f = w.form;
        f.ParameterSpeichern(o / "ganz.ini");
        const std::string breite = f.edtBreite.Text;
        if (zuruecknehmen) w.dialoge.wahl = {0};
        ASSERT_TRUE(w.Ereignis([&] { f.ParameterLaden(o / "teil.ini"); }));
        ASSERT_EQ(w.dialoge.angebote.size(), 1u);
        EXPECT_EQ(w.dialoge.angebote[0].art, MeldungsArt::Information);
        EXPECT_EQ(
            w.dialoge.angebote[0].text,
            "teil.ini holds only 1 of the 10 sections of a road. Missing, and set to their defaults: "
            "Preferences, Fahrbahn_Textur, TrafficSplines, Rand_rechts_Geo, Rand_rechts_Textur, "
            "Rand_links_Geo, Rand_links_Textur, Splines, FuellFlaeche. Undo brings the road before the load "
            "back.");
        EXPECT_EQ(w.dialoge.angebote[0].angebote, Texte{"Undo"});
        if (zuruecknehmen) {
            EXPECT_EQ(f.edtBreite.Text, breite);
            EXPECT_EQ(f.Dokumentname(), "ganz.ini");
            EXPECT_FALSE(f.Geaendert());
            continue;
        }
        EXPECT_EQ(f.edtBreite.Text, "9");
        EXPECT_EQ(f.Dokumentname(), "teil.ini");
        EXPECT_TRUE(f.Geaendert());
        ASSERT_TRUE(w.Ereignis([&] { f.Rueckgaengig(); }));
        EXPECT_EQ(f.edtBreite.Text, breite);
        EXPECT_TRUE(f.Geaendert());  // neither road is the one in teil.ini
    }
}

}  // namespace ausgabe

}  // namespace
