// The settings dialog: filled from the window, read back in order, nothing kept.
#include "ui/Einstellungsfenster.h"

#include "model/Zahlen.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

using namespace pavolant;
using pavolant::test::MitDezimaltrenner;

namespace {

TEST(Einstellungsdialog, ShowsTheWindowsValuesAndTheFillDefaults) {
    MitDezimaltrenner t(',');
    Einstellungsfenster dialog;
    TFuellFlaeche fuellung;
    Feinheit f;
    f.MinWinkel = 2.5;
    dialog.Fuellen(f, fuellung);
    EXPECT_EQ(dialog.edtLaenge.Text, "2");
    EXPECT_EQ(dialog.edtWinkel.Text, "2,5");
    EXPECT_EQ(dialog.edtmaxSturz.Text, "30");
    EXPECT_FALSE(dialog.cboAlteDreiecke.Checked());
    EXPECT_EQ(dialog.edtStirnTextur.Text, "");
    EXPECT_EQ(dialog.edtStirnBreite.Text, "5");
    EXPECT_EQ(dialog.edtStirnHoehe.Text, "5");
}

TEST(Einstellungsdialog, ReadsBackEitherSeparatorAndStopsAtABadField) {
    Einstellungsfenster dialog;
    TFuellFlaeche fuellung;
    Feinheit f;
    dialog.Fuellen(f, fuellung);
    dialog.edtLaenge.Text = "2.5";
    dialog.edtWinkel.Text = "0,5";
    dialog.cboAlteDreiecke.SetChecked(true);
    dialog.TexturGewaehlt("/home/me/tex/front.dds");
    dialog.edtStirnBreite.Text = "4";
    dialog.cboStirnTexRot.SetChecked(true);
    dialog.Uebernehmen(f, fuellung);
    EXPECT_EQ(f.MinLaenge, 2.5);
    EXPECT_EQ(f.MinWinkel, 0.5);
    EXPECT_TRUE(f.DreieckeSym);
    EXPECT_EQ(fuellung.Textur, "front.dds");
    EXPECT_EQ(fuellung.TexturBreite, 4);
    EXPECT_TRUE(fuellung.TauschHB);

    dialog.edtSlope.Text = "7";
    dialog.edtZrotMin.Text = "steil";
    dialog.edtmaxSturz.Text = "9";
    EXPECT_THROW(dialog.Uebernehmen(f, fuellung), KonvertierungsFehler);
    EXPECT_EQ(f.MinSteigung, 7);  // read before the bad field
    EXPECT_EQ(f.MaxSturz, 30);    // after it: unchanged
}

}  // namespace
