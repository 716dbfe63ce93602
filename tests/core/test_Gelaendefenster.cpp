// The terrain dialog driven as the desktop drives it: what it shows of a height image,
// the refusals it names, the ground taken as one step of the history (undone and redone
// with the drop that used it), cancel and "No terrain", and a dragged point that follows
// the ground.
#include "ui/Gelaendefenster.h"
#include "ui/Hauptfenster.h"

#include "persistence/Plattform.h"
#include "tests/support/Fensterhilfen.h"
#include "tests/support/PngSchreiber.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pavolant;

constexpr std::uint64_t kGrenze = std::uint64_t{1} << 30;

// A 3 x 3 ground, 2 m apart, rising 1 m per column to the east under heightScale
// 6.5535: y = 1 + x / 2 on x in [-2, 2], z in [-2, 2].
std::string Schraege(const test::TempOrdner& ordner) {
    const std::uint16_t a = 0, b = 10000, c = 20000;
    const std::string pfad = Utf8(ordner.Pfad() / "schraeg.png");
    test::DateiSchreiben(ordner.Pfad() / "schraeg.png", test::PngDatei(3, 3, {a, b, c, a, b, c, a, b, c}));
    return pfad;
}

TEST(Gelaendefenster, ShowsTheGroundAndNamesWhatIsWrong) {
    test::TempOrdner ordner;
    const std::string bild = Schraege(ordner);
    Gelaendefenster d;
    d.edtDatei.Text = bild;
    d.edtHeightScale.Text = "6.5535";
    d.edtUnitsPerPixel.Text = "2";
    EXPECT_EQ(d.Pruefen(kGrenze), "");
    EXPECT_EQ(d.lblGroesse.Caption, "Size: 3 x 3 pixels, 4 x 4 m");
    EXPECT_EQ(d.lblHoehen.Caption, "Heights: 0 m to 2 m");
    ASSERT_NE(d.Gelesen(), nullptr);
    d.edtHeightScale.Text = "30";  // changed since: what was read is not this ground
    EXPECT_EQ(d.Gelesen(), nullptr);

    struct Fall {
        const char *datei, *skala, *abstand, *imGrund;
    };
    const Fall faelle[] = {
        {"", "6.5535", "0.05", "No terrain"},
        {"schraeg.png", "0", "0.05", "heightScale"},
        {"schraeg.png", "x", "0.05", "x"},
        {"schraeg.png", "6.5535", "-1", "clearance"},
        {"fehlt.png", "6.5535", "0.05", "fehlt.png"},
    };
    for (const Fall& f : faelle) {
        d.edtDatei.Text = *f.datei ? Utf8(ordner.Pfad() / f.datei) : "";
        d.edtHeightScale.Text = f.skala;
        d.edtAbstand.Text = f.abstand;
        const std::string grund = d.Pruefen(kGrenze);
        EXPECT_NE(grund.find(f.imGrund), std::string::npos) << f.datei << ": " << grund;
        EXPECT_EQ(d.lblHinweise.Caption, grund);
        EXPECT_EQ(d.lblGroesse.Caption, "");
        EXPECT_EQ(d.Gelesen(), nullptr);
    }
}

TEST(Gelaendefenster, TheGroundIsOneStepAndTheDropAnother) {
    test::TempOrdner ordner;
    const std::string bild = Schraege(ordner);
    test::Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->X = 1;  // the start road: (0, 0, 0) and (1, 0, 0)
    f.VerlaufBeginnen();
    Gelaendefenster d;

    // Cancelled: nothing changes, not even the drag choice.
    ASSERT_TRUE(w.Ereignis([&] {
        f.btnGelaendeClick(d, [&] {
            d.edtDatei.Text = bild;
            d.cboZiehenFolgt.SetChecked(true);
            return false;
        });
    }));
    EXPECT_FALSE(f.Gelaendewahl.has_value());
    EXPECT_FALSE(f.ZiehenFolgtGelaende);
    EXPECT_FALSE(f.Geaendert());

    const auto waehlen = [&] {
        d.edtDatei.Text = bild;
        d.edtHeightScale.Text = "6.5535";
        d.edtUnitsPerPixel.Text = "2";
        d.edtAbstand.Text = "0.5";
        d.cboZiehenFolgt.SetChecked(true);
        return d.Pruefen(kGrenze).empty();
    };
    ASSERT_TRUE(w.Ereignis([&] { f.btnGelaendeClick(d, waehlen); }));
    ASSERT_TRUE(f.Gelaendewahl.has_value());
    EXPECT_EQ(f.Gelaendewahl->Abstand, 0.5);
    EXPECT_TRUE(f.ZiehenFolgtGelaende);
    EXPECT_TRUE(f.Geaendert());

    ASSERT_TRUE(w.Ereignis([&] { f.btnPunkteAufGelaende.Click(); }));
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(0)->Y, 1.5);
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(1)->Y, 2);
    // Dragged within the ground it follows it; dragged off it keeps its height.
    ASSERT_TRUE(w.Ereignis([&] { f.PunktVerschieben(1, -1, 1); }));
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(1)->Y, 1);
    ASSERT_TRUE(w.Ereignis([&] { f.PunktVerschieben(1, 9, 1); }));
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(1)->Y, 1);

    for (int i = 0; i < 3; ++i) f.Rueckgaengig();  // the drags, then the drop
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Y, 0);
    ASSERT_TRUE(f.Gelaendewahl.has_value());
    f.Rueckgaengig();  // the ground itself
    EXPECT_FALSE(f.Gelaendewahl.has_value());
    EXPECT_FALSE(f.Geaendert());
    f.Wiederholen();
    f.Wiederholen();
    EXPECT_EQ(f.Gelaendewahl->Datei, bild);
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(1)->Y, 2);

    // A ground that cannot be read is not taken, and the box says why.
    ASSERT_FALSE(w.Ereignis([&] {
        f.btnGelaendeClick(d, [&] {
            d.edtDatei.Text = Utf8(ordner.Pfad() / "fehlt.png");
            return true;
        });
    }));
    ASSERT_FALSE(w.dialoge.fehler.empty());
    EXPECT_NE(w.dialoge.fehler.back().find("fehlt.png"), std::string::npos);
    EXPECT_EQ(f.Gelaendewahl->Datei, bild);

    // "No terrain": the road has none, as one more step.
    ASSERT_TRUE(w.Ereignis([&] {
        f.btnGelaendeClick(d, [&] {
            d.KeinesWaehlen();
            return true;
        });
    }));
    EXPECT_FALSE(f.Gelaendewahl.has_value());
    EXPECT_TRUE(f.KannRueckgaengig());
}

// A road saved with its ground brings it back on load, read at once for the preview;
// a ground whose file has gone is named once, not after every event.
TEST(Gelaendefenster, ALoadedRoadBringsItsGround) {
    test::TempOrdner ordner;
    const std::string bild = Schraege(ordner);
    test::Fenster w;
    w.form.Gelaendewahl = Gelaendequelle{bild, 6.5535, 2, 0.05};
    w.form.ParameterSpeichern(ordner.Pfad() / "mit.ini");
    w.form.Gelaendewahl->Datei = Utf8(ordner.Pfad() / "fehlt.png");
    w.form.ParameterSpeichern(ordner.Pfad() / "ohne.ini");

    test::Fenster neu;
    ASSERT_TRUE(neu.Ereignis([&] { neu.form.ParameterLaden(ordner.Pfad() / "mit.ini"); }));
    const std::optional<Gelaende> boden = neu.form.GelesenesGelaende();
    ASSERT_TRUE(boden.has_value());
    EXPECT_DOUBLE_EQ(*boden->HoeheBei(2, 0), 2);
    EXPECT_TRUE(neu.melder.eintraege.empty());

    ASSERT_TRUE(neu.Ereignis([&] { neu.form.ParameterLaden(ordner.Pfad() / "ohne.ini"); }));
    ASSERT_TRUE(neu.Ereignis([] {}));  // any later event
    EXPECT_FALSE(neu.form.GelesenesGelaende().has_value());
    ASSERT_EQ(neu.melder.eintraege.size(), 1u);
    EXPECT_NE(neu.melder.eintraege[0].text.find("fehlt.png"), std::string::npos);
}

}  // namespace
