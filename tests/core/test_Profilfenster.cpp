// The profile view's drawing and its editors, and the parameter listing window, driven
// through the main window's buttons as the program opens them.
#include "ui/Profilfenster.h"

#include "model/Zahlen.h"
#include "tests/support/Fensterhilfen.h"
#include "ui/Hauptfenster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::Fenster;
using pavolant::test::Gezeigt;
using pavolant::test::Segmente;
using pavolant::test::Seite;

// Records what is drawn; the size is the test's.
class Bild : public Zeichenflaeche {
public:
    Bild(int w, int h) : w_(w), h_(h) {}
    int Breite() const override { return w_; }
    int Hoehe() const override { return h_; }
    void Stift(std::uint32_t farbe, int breite) override { stift_ = {farbe, breite}; }
    void Fuellen(std::uint32_t farbe) override {
        ++fuellungen;
        grund = farbe;
        striche.clear();
    }
    void BewegeZu(int x, int y) override { striche.push_back({'M', x, y, stift_.farbe, stift_.breite}); }
    void LinieZu(int x, int y) override { striche.push_back({'L', x, y, stift_.farbe, stift_.breite}); }

    struct Strich {
        char art;
        int x, y;
        std::uint32_t farbe;
        int breite;
        bool operator==(const Strich&) const = default;
    };
    std::vector<Strich> striche;
    int fuellungen = 0;
    std::uint32_t grund = 0x123456;

    // The strokes of one colour.
    std::vector<Strich> In(std::uint32_t farbe) const {
        std::vector<Strich> s;
        for (const Strich& x : striche)
            if (x.farbe == farbe) s.push_back(x);
        return s;
    }
    // The lines drawn in one colour, without the pen's moves.
    std::vector<Strich> Linien(std::uint32_t farbe) const {
        std::vector<Strich> s;
        for (const Strich& x : In(farbe))
            if (x.art == 'L') s.push_back(x);
        return s;
    }

private:
    struct {
        std::uint32_t farbe = 0;
        int breite = 1;
    } stift_;
    int w_, h_;
};

constexpr std::uint32_t kRot = 0x0000FF;

// Opens the profile view as the main window's button does; `inDerAnsicht` runs while it
// is shown.
bool ProfilZeigen(
    Fenster& w, const std::function<void()>& inDerAnsicht = [] {}) {
    return w.Ereignis([&] { w.form.bbnGrafikSchnittClick(inDerAnsicht); });
}

TEST(Profilansicht, FahrbahnAllein) {
    Fenster w;
    Profilfenster& v = w.form.Profil;
    // Both borders off: the roadway alone, with its margins.
    const Weltausschnitt a = Profilausschnitt(v.RandR, v.RandL, 7, false, 790, 400);
    EXPECT_DOUBLE_EQ(a.XMin, -3.95);
    EXPECT_DOUBLE_EQ(a.XMax, 3.95);
    EXPECT_DOUBLE_EQ(a.YMin, -0.1);
    EXPECT_DOUBLE_EQ(a.YMax, 0.1);

    for (const int breite : {790, 941, 333}) {
        SCOPED_TRACE(breite);
        Bild bild(breite, 401);
        v.Image1 = &bild;
        ASSERT_TRUE(ProfilZeigen(w));
        EXPECT_EQ(bild.fuellungen, 1);
        EXPECT_EQ(bild.grund, kFarbeWeiss);
        // Mid-height (200.5 rounds to the even 200), from 0.45 m to 7.45 m of 7.9 m.
        const std::vector<Bild::Strich> erwartet{
            {'M', RundeGeradeInt(0.45 / 7.9 * breite), 200, kFarbeSchwarz, 3},
            {'L', RundeGeradeInt(7.45 / 7.9 * breite), 200, kFarbeSchwarz, 3}};
        EXPECT_EQ(bild.striche, erwartet);
    }
    EXPECT_EQ(RundeGeradeInt(0.45 / 7.9 * 790), 45);  // the mapping the strokes above rely on

    // An image without width or height draws nothing and fails nothing.
    Bild leer(0, 300);
    v.Image1 = &leer;
    ASSERT_TRUE(ProfilZeigen(w));
    EXPECT_EQ(leer.fuellungen, 0);
    EXPECT_TRUE(leer.striche.empty());
    v.Image1 = nullptr;
}

TEST(Profilansicht, RechterRandMitEinemSegment) {
    Fenster w;
    const auto s = Seite(w.form, true);
    Segmente(w.form, s, {1});
    w.form.Profil.Image1 = nullptr;
    Bild bild(790, 400);
    w.form.Profil.Image1 = &bild;
    ASSERT_TRUE(ProfilZeigen(w));

    // Box: x from -3.5 to 4.5 plus 0.5 m margins; the border's points at 3.5 m and 4.5 m.
    const double sx = 9.0;
    const auto spalte = [&](double x) { return RundeGeradeInt((x + 4.0) / sx * 790); };
    const std::vector<Bild::Strich> gruen = bild.In(kFarbeRandRechts);
    ASSERT_EQ(gruen.size(), 2u);
    EXPECT_EQ(gruen[0].art, 'M');
    EXPECT_EQ(gruen[0].x, spalte(3.5));
    EXPECT_EQ(gruen[1].art, 'L');
    EXPECT_EQ(gruen[1].x, spalte(4.5));
    EXPECT_EQ(gruen[0].y, 200);
    EXPECT_EQ(gruen[1].y, 200);
    EXPECT_EQ(gruen[0].breite, 3);

    // One red tick of 15 pixels at each end, along each point's normal: straight up at
    // the start (90 degrees), half way between up and outwards at the level end.
    const std::vector<Bild::Strich> rot = bild.Linien(kRot);
    ASSERT_EQ(rot.size(), 2u);
    EXPECT_EQ(rot[0], (Bild::Strich{'L', spalte(3.5), 200 - 15, kRot, 1}));
    const double n = s.rand->Segment(1)->NormalenWinkel;
    EXPECT_EQ(rot[1], (Bild::Strich{'L', spalte(4.5) + RundeGeradeInt(15 * std::cos(n)),
                                    200 - RundeGeradeInt(15 * std::sin(n)), kRot, 1}));
    EXPECT_TRUE(bild.In(kFarbeRandLinks).empty());

    // The left border mirrored to the left in blue once it is on as well.
    const auto l = Seite(w.form, false);
    Segmente(w.form, l, {1});
    ASSERT_TRUE(ProfilZeigen(w));
    const std::vector<Bild::Strich> blau = bild.In(kFarbeRandLinks);
    ASSERT_EQ(blau.size(), 2u);
    EXPECT_LT(blau[1].x, blau[0].x);
    w.form.Profil.Image1 = nullptr;
}

TEST(Profilansicht, UnverzerrtGleicheMassstaebe) {
    Fenster w;
    const auto s = Seite(w.form, true);
    Segmente(w.form, s, {2, 3});
    s.rand->Segment(2)->Winkel = GradZuRad(40);
    s.rand->SegmentAktualisieren(2);
    s.rand->Berechnen();
    Profilfenster& v = w.form.Profil;
    for (const auto& [bw, bh] : {std::pair{941, 300}, std::pair{200, 900}}) {
        SCOPED_TRACE(bw);
        const Weltausschnitt verzerrt = Profilausschnitt(v.RandR, v.RandL, 7, false, bw, bh);
        const Weltausschnitt a = Profilausschnitt(v.RandR, v.RandL, 7, true, bw, bh);
        // One metre is as many pixels across as up; the centre stays where it was and
        // no part of the undistorted box is lost.
        EXPECT_NEAR(bw / (a.XMax - a.XMin), bh / (a.YMax - a.YMin), 1e-9);
        EXPECT_NEAR(a.XMin + a.XMax, verzerrt.XMin + verzerrt.XMax, 1e-12);
        EXPECT_NEAR(a.YMin + a.YMax, verzerrt.YMin + verzerrt.YMax, 1e-12);
        EXPECT_LE(a.XMin, verzerrt.XMin);
        EXPECT_LE(a.YMin, verzerrt.YMin);
    }
    // A wide, low image: the y range grows; unchecking the box gives the full height back.
    Bild bild(941, 300);
    v.Image1 = &bild;
    ASSERT_TRUE(ProfilZeigen(w));
    const int hoeheVerzerrt = bild.In(kFarbeSchwarz)[0].y;
    ASSERT_TRUE(w.Ereignis([&] { v.cboUnverzerrt.Click(); }));
    EXPECT_EQ(bild.fuellungen, 2);
    const int hoeheUnverzerrt = bild.In(kFarbeSchwarz)[0].y;
    EXPECT_NE(hoeheVerzerrt, hoeheUnverzerrt);
    ASSERT_TRUE(w.Ereignis([&] { v.cboUnverzerrt.Click(); }));
    EXPECT_EQ(bild.In(kFarbeSchwarz)[0].y, hoeheVerzerrt);
    v.Image1 = nullptr;
}

TEST(Profilansicht, PunkteAusserhalbUnterbrechenDieLinie) {
    Fenster w;
    const auto s = Seite(w.form, true);
    Segmente(w.form, s, {1, 1, 1});
    Profilfenster& v = w.form.Profil;
    Bild bild(500, 300);
    v.Image1 = &bild;
    ASSERT_TRUE(ProfilZeigen(w, [&] {
        // The box was taken from the border before this point jumped far below it: the
        // jump is outside the image, so the line breaks there.
        s.rand->Segment(2)->DY = -1000;
        s.rand->Segment(3)->DY = 1000;
        TRandPunkte& r = *s.rand;
        const double minY = r.MinY, maxY = r.MaxY;
        r.Berechnen();
        r.MinY = minY;
        r.MaxY = maxY;
        v.BitBtn1.Click();
    }));
    const std::vector<Bild::Strich> gruen = bild.In(kFarbeRandRechts);
    ASSERT_EQ(gruen.size(), 3u);  // points 0 and 1 joined, point 2 skipped, point 3 anew
    EXPECT_EQ(gruen[0].art, 'M');
    EXPECT_EQ(gruen[1].art, 'L');
    EXPECT_EQ(gruen[2].art, 'M');
    EXPECT_EQ(bild.Linien(kRot).size(), 3u);  // no tick at the point outside
    v.Image1 = nullptr;
}

TEST(Profilansicht, EditorenZeichnenNichtNeu) {
    Fenster w;
    const auto s = Seite(w.form, true);
    Segmente(w.form, s, {1, 2});
    Profilfenster& v = w.form.Profil;
    Bild bild(600, 300);
    v.Image1 = &bild;
    ASSERT_TRUE(ProfilZeigen(w, [&] {
        EXPECT_EQ(bild.fuellungen, 1);
        // The view's editor shows the current segment that the main window set.
        EXPECT_EQ(v.sedRandRNr.Value(), 1);
        EXPECT_EQ(v.gboRandRSegmente.Caption, "Right segments :     2");
        EXPECT_TRUE(v.gboRandRSegmente.Visible);
        EXPECT_FALSE(v.gboRandLSegmente.Visible);
        v.edtRandRBreite.Text = "5";
        ASSERT_TRUE(w.Ereignis([&] { v.edtRandRBreite.Exit(); }));
        EXPECT_EQ(s.rand->Segment(1)->Breite, 5);  // in the main window's border at once
        ASSERT_TRUE(w.Ereignis([&] { v.spbRandRAddEnd.Click(); }));
        ASSERT_TRUE(w.Ereignis([&] { v.sedRandRNr.SetValue(0); }));
        EXPECT_EQ(bild.fuellungen, 1);  // none of it redrew
        ASSERT_TRUE(w.Ereignis([&] { v.BitBtn1.Click(); }));
        EXPECT_EQ(bild.fuellungen, 2);
        v.FormResize();
        EXPECT_EQ(bild.fuellungen, 3);
    }));
    v.Image1 = nullptr;
}

TEST(Profilansicht, HauptfensterUebergibtUndGleichtAn) {
    Fenster w;
    Hauptfenster& f = w.form;
    const auto s = Seite(f, true);
    Segmente(f, s, {1, 2, 3});
    // Segment 3 current with a typed, not yet committed width: opening the view moves the
    // spin to 1, which commits the width into segment 3.
    ASSERT_TRUE(w.Ereignis([&] { s.nr->SetValue(3); }));
    s.breite->Text = "9";
    f.edtBreite.Text = "6,5";
    int gezeigt = 0;
    ASSERT_TRUE(ProfilZeigen(w, [&] {
        ++gezeigt;
        EXPECT_EQ(s.rand->Segment(3)->Breite, 9);
        EXPECT_EQ(s.rand->AktSegment, 1);
        EXPECT_EQ(f.Profil.FahrbahnBreite, 6.5);
        // In the view: segment 3 made current, then removed.
        ASSERT_TRUE(w.Ereignis([&] { f.Profil.sedRandRNr.SetValue(3); }));
        ASSERT_TRUE(w.Ereignis([&] { f.Profil.spbRandRDel.Click(); }));
        EXPECT_EQ(s.rand->AktSegment, 2);
    }));
    EXPECT_EQ(gezeigt, 1);
    // Back in the main window: its spin's segment again, the new count in its caption.
    EXPECT_EQ(s.rand->AktSegment, 1);
    EXPECT_EQ(s.nr->MaxValue, 2);
    EXPECT_EQ(s.segmente->Caption, "Right bordersegments:2");
    EXPECT_EQ(s.breite->Text, "1");

    // A roadway width that is no number: the error box, the view is not shown, and the
    // main editor stays on the segment it showed with the width typed there uncommitted.
    ASSERT_TRUE(w.Ereignis([&] { s.nr->SetValue(2); }));
    s.breite->Text = "8";
    f.edtBreite.Text = "7m";
    EXPECT_FALSE(ProfilZeigen(w, [&] { ++gezeigt; }));
    EXPECT_EQ(gezeigt, 1);
    EXPECT_EQ(w.dialoge.fehler.size(), 1u);
    EXPECT_EQ(s.rand->AktSegment, 2);
    EXPECT_EQ(s.rand->Segment(2)->Breite, 2);
}

TEST(Profilansicht, NegativeBreiteZeichnetDieFahrbahn) {
    // The run builds a road of width -7 as well; the view draws it like width 7.
    Fenster w;
    Profilfenster& v = w.form.Profil;
    const Weltausschnitt a = Profilausschnitt(v.RandR, v.RandL, -7, false, 790, 400);
    EXPECT_DOUBLE_EQ(a.XMin, -3.95);
    EXPECT_DOUBLE_EQ(a.XMax, 3.95);
    Bild bild(790, 401);
    v.Image1 = &bild;
    w.form.edtBreite.Text = "-7";
    ASSERT_TRUE(ProfilZeigen(w));
    const std::vector<Bild::Strich> fahrbahn = bild.In(kFarbeSchwarz);
    ASSERT_EQ(fahrbahn.size(), 2u);
    EXPECT_EQ(std::abs(fahrbahn[1].x - fahrbahn[0].x), 745 - 45);
    v.Image1 = nullptr;
}

TEST(Parameterliste, ZeigtNurDenGewaehltenRand) {
    Fenster w;
    Hauptfenster& f = w.form;
    Segmente(f, Seite(f, true), {1, 0.5});
    Segmente(f, Seite(f, false), {2});
    Randauflistung& l = f.Auflistung;
    EXPECT_EQ(l.Caption, "frmShowParameter");
    EXPECT_EQ(l.Memo1.Lines, std::vector<std::string>{"Memo1"});

    std::vector<std::string> links, rechts;
    f.RandL.Auflisten(links);
    f.RandR.Auflisten(rechts);
    std::vector<std::string> gesehen;
    ASSERT_TRUE(w.Ereignis([&] { f.bbnShowLeftParameterClick([&] { gesehen = l.Memo1.Lines; }); }));
    EXPECT_EQ(gesehen, links);
    EXPECT_EQ(l.Caption, "Parameter left border");
    ASSERT_TRUE(w.Ereignis([&] { f.bbnShowRightParameterClick([&] { gesehen = l.Memo1.Lines; }); }));
    EXPECT_EQ(l.Caption, "Parameter right border");
    EXPECT_EQ(gesehen, rechts);
    ASSERT_EQ(rechts.size(), 4u);
    EXPECT_EQ(rechts[0], "BorderPoint output for: right Border");
    EXPECT_EQ(rechts[3].rfind("Point 2:Length:" + Gezeigt("0.5"), 0), 0u) << rechts[3];
}

}  // namespace
