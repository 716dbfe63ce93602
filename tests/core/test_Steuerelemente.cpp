// Check boxes are exercised through the window's chains; the spin field's limits here.
#include "ui/Steuerelemente.h"

#include <gtest/gtest.h>

namespace {

using pavolant::TSpinEdit;

TEST(Steuerelemente, DrehfeldBegrenztUndMeldetNurAenderungen) {
    TSpinEdit spin;
    spin.MinValue = 1;
    spin.MaxValue = 3;
    std::vector<int> werte;
    spin.OnChange = [&] { werte.push_back(spin.Value()); };
    for (int v : {1, 9, 3, -4}) spin.SetValue(v);
    for (const char* t : {"2", "17", "zwei"}) spin.SetText(t);  // typed: clamped, no number is the minimum
    EXPECT_EQ(werte, (std::vector<int>{1, 3, 1, 2, 3, 1}));

    spin.MaxValue = 1;  // equal limits clamp nothing
    spin.SetValue(5);
    EXPECT_EQ(spin.Value(), 5);
    spin.MaxValue = 0;  // maximum below minimum (an empty list): no undefined clamp
    spin.SetValue(-3);
    EXPECT_EQ(spin.Value(), 1);
    spin.SetValue(4);
    EXPECT_EQ(spin.Value(), 0);
}

}  // namespace
