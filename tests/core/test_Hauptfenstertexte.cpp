// The main window's texts with a catalog installed: what the window builds around a
// translated text (line breaks, a caption completed by a count) must still fit it.
#include "model/Text.h"
#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

namespace {

using namespace pavolant;
using pavolant::test::Fenster;

using Texte = std::map<std::string, std::string>;

Texte gKatalog;

const char* AusKatalog(const char* id) {
    const auto it = gKatalog.find(id);
    return it == gKatalog.end() ? nullptr : it->second.c_str();
}

// A translator over the given texts for the test's lifetime; the other tests run
// without one.
class Katalog {
public:
    explicit Katalog(Texte texte) {
        gKatalog = std::move(texte);
        UebersetzerSetzen(Uebersetzer{&AusKatalog, nullptr});
    }
    ~Katalog() {
        UebersetzerSetzen(Uebersetzer{});
        gKatalog.clear();
    }
    Katalog(const Katalog&) = delete;
    Katalog& operator=(const Katalog&) = delete;
};

TEST(HauptfensterTexte, InfoBrichtDieZeilenDesKatalogsWieDieBoxen) {
    const Katalog katalog(Texte{{"INOFFICIAL\nEN-VERSION!\n\nVersion 1.64 (2017-01-03) by Quenlor",
                                 "Pavolant\nStraßenmodelle\n\nVersion 1.64"}});
    Fenster w;
    ASSERT_TRUE(w.Ereignis([&] { w.form.bbnInfo.Click(); }));
    ASSERT_EQ(w.melder.eintraege.size(), 1u);
    EXPECT_EQ(w.melder.eintraege[0].text, "Pavolant\rStraßenmodelle\r\rVersion 1.64");
}

// The segment group's caption is set once at start-up and again by the editor whenever
// the count changes: both must use the translated words, or the caption would switch
// language when the border is first shown.
TEST(HauptfensterTexte, SegmentgruppeBleibtInDerSpracheDesKatalogs) {
    const Katalog katalog(Texte{{"Right bordersegments:", "Rechte Randsegmente: "}});
    Fenster w;
    Hauptfenster& f = w.form;
    EXPECT_EQ(f.gboRandRSegmente.Caption, "Rechte Randsegmente: 1");
    ASSERT_TRUE(w.Ereignis([&] { f.cboRandRenable.Click(); }));
    ASSERT_TRUE(f.cboRandRenable.Checked());
    EXPECT_EQ(f.gboRandRSegmente.Caption, "Rechte Randsegmente: 1");
    ASSERT_TRUE(w.Ereignis([&] { f.spbRandRAddEnd.Click(); }));
    EXPECT_EQ(f.gboRandRSegmente.Caption, "Rechte Randsegmente: 2");
    EXPECT_EQ(f.gboRandLSegmente.Caption, "Left bordersegments:1");  // no translation: as it was
}

}  // namespace
