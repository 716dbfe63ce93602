// Points moved and turned in the plan view: commands of the window like the editor's.
#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <limits>

namespace pavolant {
namespace {

using test::Fenster;

TEST(Planbearbeitung, VerschiebenMachtDenPunktAktuellUndIstEinSchritt) {
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(1)->Z = 40;
    f.SplinePunkte.Punkt(1)->Y = 3;
    f.SplinePunkte.Punkt(1)->Xrot = 2;
    f.SplineAnzeigen();
    ASSERT_TRUE(w.Ereignis([] {}));  // the state above is the first step
    // A value typed into the point left, not yet committed, is not lost.
    f.edtSplinePtsY.Text = "1.5";
    ASSERT_TRUE(w.Ereignis([&] { f.PunktVerschieben(1, 12.5, -7); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->Y, 1.5);
    EXPECT_EQ(f.AktuellerPunkt, 1);
    const TSplinePkt& p = *f.SplinePunkte.Punkt(1);
    EXPECT_EQ((std::vector<double>{p.X, p.Y, p.Z, p.Xrot}), (std::vector<double>{12.5, 3, -7, 2}));
    // The editor shows it, as the table does.
    EXPECT_EQ(f.edtSplinePtsX.Text, FormatAllgemein(12.5));
    EXPECT_EQ(f.edtSplinePtsZ.Text, FormatAllgemein(-7));
    EXPECT_EQ(f.sedSplinePtsNr.Value(), 2);
    EXPECT_EQ(f.Tabellenzelle(1, 1), FormatAllgemein(12.5));

    // One undo takes the move back, the Y typed before it with it (one event).
    f.Rueckgaengig();
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->X, 0);
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Z, 40);

    // Nowhere to go: nothing changes.
    ASSERT_TRUE(w.Ereignis([&] { f.PunktVerschieben(5, 1, 1); }));
    ASSERT_TRUE(w.Ereignis([&] { f.PunktVerschieben(1, std::numeric_limits<double>::infinity(), 1); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(1)->Z, 40);
}

TEST(Planbearbeitung, DrehenSetztDieRichtungAlsYrot) {
    Fenster w;
    Hauptfenster& f = w.form;
    f.SplinePunkte.Punkt(0)->Zrot = 4;
    f.SplineAnzeigen();
    // Yrot 0 faces +Z, 90 faces +X; the rest of the point stays.
    ASSERT_TRUE(w.Ereignis([&] { f.PunktDrehen(0, 0, 10); }));
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->Yrot, 0);
    ASSERT_TRUE(w.Ereignis([&] { f.PunktDrehen(0, 3, 0); }));
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(0)->Yrot, 90);
    EXPECT_EQ(f.edtSplinePtsYrot.Text, FormatAllgemein(f.SplinePunkte.Punkt(0)->Yrot));
    ASSERT_TRUE(w.Ereignis([&] { f.PunktDrehen(0, 1, 1); }));
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(0)->Yrot, 45);
    EXPECT_EQ(f.SplinePunkte.Punkt(0)->Zrot, 4);
    // No direction: the heading stays.
    ASSERT_TRUE(w.Ereignis([&] { f.PunktDrehen(0, 0, 0); }));
    EXPECT_DOUBLE_EQ(f.SplinePunkte.Punkt(0)->Yrot, 45);
}

}  // namespace
}  // namespace pavolant
