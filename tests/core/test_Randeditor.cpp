// The border segment editor, driven through the main window's controls of either side,
// and its profile-view variant on controls of its own.
#include "ui/Randeditor.h"

#include "model/Zahlen.h"
#include "tests/support/Fensterhilfen.h"
#include "ui/Hauptfenster.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;
using pavolant::test::Fenster;
using pavolant::test::Gezeigt;
using pavolant::test::RandSeite;
using pavolant::test::Segmente;
using pavolant::test::Seite;
using Texte = std::vector<std::string>;

Texte SegmentFelder(const RandSeite& s) {
    return {s.breite->Text, s.winkel->Text, s.ende->Text, s.normale->Text};
}

Texte Meldungen(const AufzeichnenderMelder& m) {
    Texte t;
    for (const auto& e : m.eintraege) t.push_back(e.text);
    return t;
}

TEST(Randeditor, AnzeigeUndUebernahmeJedesFeldes) {
    for (const bool rechts : {true, false}) {
        SCOPED_TRACE(rechts ? "right" : "left");
        Fenster w;
        const RandSeite s = Seite(w.form, rechts);
        s.aktiv->Click();
        // The model's values replace the layout texts: segment 1 of 1.
        EXPECT_EQ(SegmentFelder(s), (Texte{"0", "0", "0", "90"}));
        EXPECT_EQ((Texte{s.texDatei->Text, s.texLaenge->Text, s.texPxl->Text}), (Texte{"", "0", "0"}));
        EXPECT_FALSE(s.normMan->Checked() || s.normale->Enabled);
        EXPECT_TRUE(s.nr->Visible && s.breite->Enabled && s.winkel->Enabled);
        EXPECT_EQ((std::vector<int>{s.nr->MinValue, s.nr->MaxValue, s.nr->Value()}),
                  (std::vector<int>{0, 1, 1}));
        EXPECT_EQ(s.segmente->Caption, s.ueberschrift + "1");
        EXPECT_TRUE(w.melder.eintraege.empty());  // switching on gives no advice

        // Leaving any field commits; the custom normal field on both sides alike.
        const TRandSegment& seg = *s.rand->Segment(1);
        s.breite->Text = "2";
        s.breite->Exit();
        EXPECT_EQ(seg.Breite, 2);
        s.winkel->Text = "12,3456";
        s.winkel->Exit();
        EXPECT_EQ(seg.Winkel, GradZuRad(12.3456));
        EXPECT_EQ(s.winkel->Text, Gezeigt("12.35"));
        s.normMan->Click();
        EXPECT_TRUE(s.normale->Enabled);
        EXPECT_FALSE(seg.NormaleMan);  // the box reaches the segment with the next commit
        s.normale->Text = "45";
        s.normale->Exit();
        EXPECT_TRUE(seg.NormaleMan);
        EXPECT_EQ(seg.NormalenWinkel, GradZuRad(45));

        // Segment 0: no width and no angle to edit, its width stays 0 whatever is typed.
        s.nr->SetValue(0);
        EXPECT_FALSE(s.breite->Enabled || s.winkel->Enabled);
        s.breite->Text = "7";
        s.ende->Text = "0,125";
        s.segmente->Exit();
        EXPECT_EQ(s.rand->Segment(0)->Breite, 0);
        EXPECT_EQ(s.rand->Segment(0)->U, 0.125);
    }
}

TEST(Randeditor, SchlechteZahlStopptDieUebernahmeAnIhremFeld) {
    Fenster w;
    Hauptfenster& f = w.form;
    const RandSeite s = Seite(f, true);
    Segmente(f, s, {1, 1});
    s.breite->Text = "2";
    s.winkel->Text = "abc";
    s.ende->Text = "0,7";
    EXPECT_FALSE(w.Ereignis([&] { s.nr->SetValue(2); }));
    EXPECT_EQ(w.dialoge.fehler, Texte{"'abc' ist kein gültiger Gleitkommawert (" +
                                      std::string(s.rechts ? "Right" : "Left") + " border segments: Angle)"});
    const TRandSegment& seg = *s.rand->Segment(1);
    // Written before the bad field; the End field not reached, no recompute, no switch.
    EXPECT_EQ((std::vector<double>{seg.Breite, seg.U, seg.DX}), (std::vector<double>{2, 0.25, 1}));
    EXPECT_EQ(s.rand->AktSegment, 1);
    s.winkel->Text = "0";
    ASSERT_TRUE(w.Ereignis([&] { s.segmente->Exit(); }));
    EXPECT_EQ(s.rand->AktSegment, 2);
    EXPECT_EQ(s.rand->Segment(1)->DX, 2);
}

// The left side, whose delete button has the odd name SpeedButton2.
TEST(Randeditor, EinfuegenLoeschenAnhaengen) {
    Fenster w;
    Hauptfenster& f = w.form;
    const RandSeite s = Seite(f, false);
    TRandPunkte& r = *s.rand;
    Segmente(f, s, {1, 2, 3});
    s.nr->SetValue(2);
    w.melder.eintraege.clear();

    // Insert with segment 2 of 4: the copy is current, its original follows it, and the
    // positions past it include it at once.
    s.add->Click();
    ASSERT_EQ(r.AnzahlSegmente(), 5);
    EXPECT_EQ(r.AktSegment, 2);
    EXPECT_EQ(
        (std::vector<double>{r.Segment(2)->Breite, r.Segment(3)->Breite, r.Segment(3)->U, r.Segment(4)->X}),
        (std::vector<double>{2, 2, 0.5, 8}));
    EXPECT_EQ(s.segmente->Caption, "Left bordersegments:4");
    EXPECT_TRUE(w.melder.eintraege.empty());

    // Delete in the middle: the following segment is shown; what was typed goes with it.
    r.Segment(3)->U = 0.6;
    s.breite->Text = "9";
    s.del->Click();
    ASSERT_EQ(r.AnzahlSegmente(), 4);
    EXPECT_EQ(SegmentFelder(s), (Texte{"2", "0", Gezeigt("0.6"), "90"}));

    // Delete the last: the typed values go into it, the one before it is shown.
    s.nr->SetValue(3);
    s.breite->Text = "4";
    s.del->Click();
    ASSERT_EQ(r.AnzahlSegmente(), 3);
    EXPECT_EQ((std::vector<int>{r.AktSegment, s.nr->Value(), s.nr->MaxValue}), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(s.breite->Text, "2");

    // Segment 0 is never deleted.
    s.nr->SetValue(0);
    s.del->Click();
    EXPECT_EQ(r.AnzahlSegmente(), 3);
    ASSERT_EQ(w.melder.eintraege.size(), 1u);
    EXPECT_EQ(w.melder.eintraege[0].art, MeldungsArt::Information);
    EXPECT_EQ(w.melder.eintraege[0].text, "Nullpunkt kann nicht gelöscht werden");

    // Append: a default segment, shown, with exactly the advice about its zero width.
    w.melder.eintraege.clear();
    s.addEnd->Click();
    ASSERT_EQ(r.AnzahlSegmente(), 4);
    EXPECT_EQ((std::vector<int>{r.AktSegment, s.nr->Value(), s.nr->MaxValue}), (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(SegmentFelder(s), (Texte{"0", "0", "0", "90"}));
    EXPECT_EQ(Meldungen(w.melder),
              Texte{"left Border: BorderPoint3: Length is smaller than 1mm! Are you sure?"});
}

TEST(Randeditor, SpinNummerBleibtImRand) {
    Fenster w;
    Hauptfenster& f = w.form;
    const RandSeite s = Seite(f, true);
    Segmente(f, s, {1, 1});
    s.nr->SetText("9");
    EXPECT_EQ(s.rand->AktSegment, 2);
    // The start point alone: the spin is hidden and its equal limits clamp nothing, the
    // editor does.
    s.del->Click();
    s.del->Click();
    ASSERT_EQ(s.rand->AnzahlSegmente(), 1);
    EXPECT_FALSE(s.nr->Visible);
    s.nr->SetText("5");
    EXPECT_EQ((std::vector<int>{s.rand->AktSegment, s.nr->Value()}), (std::vector<int>{0, 0}));
}

TEST(Randeditor, TexturgruppeEndePixelUndBreiteZuU) {
    for (const bool rechts : {true, false}) {
        SCOPED_TRACE(rechts ? "right" : "left");
        Fenster w;
        Hauptfenster& f = w.form;
        const RandSeite s = Seite(f, rechts);
        s.aktiv->Click();
        s.endePxl->Text = "77";
        s.endePxl->Exit();  // no pixel width yet: nothing
        EXPECT_EQ(s.ende->Text, "0");

        // The group commit reads all five fields; a bad pixel width stops after the others.
        s.texLaenge->Text = "12,5";
        s.ruecksetzen->Click();
        s.texPxl->Text = "viel";
        EXPECT_FALSE(w.Ereignis([&] { s.gruppe->Exit(); }));
        EXPECT_EQ(s.rand->TexturLaenge, 12.5);
        EXPECT_TRUE(s.rand->Ruecksetzen);
        // Browse: the bare name, then the group commit.
        s.texPxl->Text = "1024";
        w.dialoge.antworten = {"/tex/sub/gravel.dds"};
        s.loadTex->Click();
        EXPECT_EQ((Texte{s.texDatei->Text, s.rand->TexturDatei}), (Texte{"gravel.dds", "gravel.dds"}));
        EXPECT_EQ(s.rand->Pixel, 1024);

        // End and its pixel field through the border's pixel width.
        s.ende->Text = "0,2";
        s.ende->Exit();
        EXPECT_EQ(s.endePxl->Text, "205");
        s.endePxl->Text = "512";
        s.endePxl->Exit();
        EXPECT_EQ(s.ende->Text, Gezeigt("0.5"));
        EXPECT_EQ(s.rand->Segment(1)->U, 0.2);  // only the text until the next commit
        s.endePxl->Text = "5,5";
        EXPECT_FALSE(w.Ereignis([&] { s.endePxl->Exit(); }));
        EXPECT_EQ(w.dialoge.fehler.back(), "'5,5' ist kein gültiger Integerwert (" +
                                               std::string(s.rechts ? "Right" : "Left") +
                                               " border segments: End (pxl))");

        // Width -> U: every U from the widths, starting at segment 0's U.
        Segmente(f, s, {1, 0.5});
        s.texBreite->Text = "2";
        s.calcU->Click();
        EXPECT_EQ((std::vector<double>{s.rand->Segment(1)->U, s.rand->Segment(2)->U}),
                  (std::vector<double>{0.5, 0.75}));
        EXPECT_EQ(s.ende->Text, Gezeigt("0.5"));
        w.melder.eintraege.clear();
        s.texBreite->Text = "0";
        s.calcU->Click();
        EXPECT_EQ(Meldungen(w.melder), Texte{"Texturewidth is zero!"});
        EXPECT_EQ(s.rand->Segment(2)->U, 0.75);
    }
}

TEST(Randeditor, EinschaltenRechnetEinAusgeschaltetGeladenesProfil) {
    pavolant::test::TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    // Read while off, a border is not recomputed: its positions would still be those
    // of the profile before.
    pavolant::test::DateiSchreiben(ordner / "r.ini",
                                   "[Rand_rechts_Geo]\nenable1=0\nnSegments=1\nBreite1=2\nWinkel1=90\n"
                                   "[Rand_rechts_Textur]\nEnde1=0,5\n");
    ASSERT_TRUE(w.Ereignis([&] { f.RandRParameterLaden(ordner / "r.ini"); }));
    f.cboRandRenable.Click();
    EXPECT_NEAR(f.RandR.Segment(1)->Y, 2, 1e-12);
    EXPECT_EQ(f.RandR.MaxY, f.RandR.Segment(1)->Y);
    EXPECT_TRUE(w.melder.eintraege.empty());
}

// The profile view's variant: no enable box and no texture group; leaving its segment
// group commits nothing, leaving a field does.
TEST(Randeditor, AnsichtOhneTexturgruppe) {
    AufzeichnenderMelder m;
    StummschaltbarerMelder rm(m);
    TRandPunkte rand("right Border", rm);
    rand.Aktiv = true;
    TGroupBox gruppe;
    TSpinEdit nr;
    TButton add, del, addEnd;
    TEdit breite, winkel, ende, endePxl, normale;
    TCheckBox normMan;
    RandEditor e(rand, rm, {gruppe, nr, add, del, addEnd, breite, winkel, ende, endePxl, normMan, normale},
                 "Right segments :     ", std::nullopt);
    e.Anzeigen();
    EXPECT_EQ(gruppe.Caption, "Right segments :     1");
    breite.Text = "4";
    gruppe.Exit();
    EXPECT_EQ(rand.Segment(1)->Breite, 0);
    normale.Exit();
    EXPECT_EQ(rand.Segment(1)->Breite, 4);
}

}  // namespace
