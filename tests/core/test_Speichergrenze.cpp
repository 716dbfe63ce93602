// The memory limit at the window's start: a refused maxSpeicherMB is shown, leaves the
// default limit, and costs no other stored setting that closing writes back.
#include "ui/Hauptfenster.h"

#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::TempOrdner;

TEST(Speichergrenze, EineAbgelehnteGrenzeKostetNichtDieSprachwahl) {
    TempOrdner o;
    const auto datei = o / "Pavolant.ini";
    DateiSchreiben(datei, "[Preferences]\r\nmaxSpeicherMB=0\r\nSprache=de\r\n");
    Fenster f;
    EXPECT_FALSE(f.form.FormCreate(datei, 1920, 1080));
    ASSERT_EQ(f.dialoge.fehler.size(), 1u);
    EXPECT_EQ(f.dialoge.fehler[0].rfind(datei.string() + " [Preferences] maxSpeicherMB: '0' ", 0), 0u)
        << f.dialoge.fehler[0];
    EXPECT_EQ(f.form.SpeicherGrenze, StandardSpeicherGrenze());
    EXPECT_EQ(f.form.Sprache, Sprachwahl::Deutsch);
    ASSERT_TRUE(f.form.FormCloseQuery(datei));
    const std::string danach = DateiLesen(datei);
    EXPECT_NE(danach.find("Sprache=de\r\n"), std::string::npos) << danach;
    EXPECT_NE(danach.find("maxSpeicherMB=0\r\n"), std::string::npos) << "the key stays as typed";
}

}  // namespace
