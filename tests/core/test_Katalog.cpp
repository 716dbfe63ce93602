// The program's own reader of compiled catalogs (used where the C library has no
// gettext): a catalog msgfmt wrote, looked up as gettext would, and broken catalogs
// refused without reading past their bytes.
#include "persistence/Katalog.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pavolant {
namespace {

#ifdef PAVOLANT_PROBEKATALOG
std::string Probe() { return test::DateiLesen(PAVOLANT_PROBEKATALOG); }

TEST(Katalog, FindetJedenEintragWieGettext) {
    const std::optional<Katalog> k = Katalog::AusBytes(Probe());
    ASSERT_TRUE(k);
    EXPECT_STREQ(k->Text("Zu wenig SplinePunkte"), "Too few spline points");
    EXPECT_STREQ(k->Text("\xC3\x84mter"), "Offices");  // "Ä" sorts after every ASCII letter
    EXPECT_STREQ(k->Text("Achtung:\n\t\"%1\" fehlt"), "Careful:\n\t\"%1\" is missing");
    EXPECT_STREQ(k->Text("zzz"), "last");
    EXPECT_EQ(k->Text("Nicht \xC3\xBC"
                      "bersetzt"),
              nullptr);                       // empty: not translated
    EXPECT_EQ(k->Text("Unsicher"), nullptr);  // fuzzy: msgfmt left it out
    EXPECT_EQ(k->Text("Gibt es nicht"), nullptr);
    EXPECT_EQ(k->Text("Zu wenig"), nullptr);  // a prefix is no match
    EXPECT_EQ(k->Text(""), nullptr);          // the header is no text
    EXPECT_EQ(k->Text(nullptr), nullptr);

    EXPECT_STREQ(k->Mehrzahl("%1 weitere Meldungen", 1), "%1 more message");
    EXPECT_STREQ(k->Mehrzahl("%1 weitere Meldungen", 0), "%1 more messages");
    EXPECT_STREQ(k->Mehrzahl("%1 weitere Meldungen", 20), "%1 more messages");
    EXPECT_EQ(k->Mehrzahl("%1 Punkte", 2), nullptr);
}

// Every shortened catalog and every catalog with one byte changed either reads as a
// catalog whose look-ups stay inside it (the sanitizers watch) or is refused.
TEST(Katalog, KaputteKatalogeBleibenInIhrenBytes) {
    const std::string ganz = Probe();
    for (std::size_t n = 0; n < ganz.size(); ++n) {
        const std::optional<Katalog> k = Katalog::AusBytes(ganz.substr(0, n));
        if (k) (void)k->Text("zzz");
    }
    for (std::size_t i = 0; i < ganz.size(); ++i) {
        for (const unsigned char wert : {0x00, 0x7f, 0xff}) {
            std::string kaputt = ganz;
            kaputt[i] = static_cast<char>(wert);
            const std::optional<Katalog> k = Katalog::AusBytes(kaputt);
            if (!k) continue;
            for (const char* id : {"zzz", "Unsicher", "\xC3\x84mter", "%1 weitere Meldungen"}) {
                if (const char* t = k->Text(id)) {
                    EXPECT_LE(std::strlen(t), kaputt.size());
                }
                (void)k->Mehrzahl(id, 2);
            }
        }
    }
    EXPECT_FALSE(Katalog::AusBytes("Dies ist kein Katalog, nur Text."));
    EXPECT_FALSE(Katalog::AusBytes(""));
}

// A catalog written on a machine of the other byte order reads the same.
TEST(Katalog, AndereBytereihenfolge) {
    std::string ganz = Probe();
    const std::optional<Katalog> k = Katalog::AusBytes(ganz);
    ASSERT_TRUE(k);
    // The header's seven words and both tables' entries are 32-bit words; swap them all.
    const auto tausche = [&](std::size_t stelle) {
        std::swap(ganz[stelle], ganz[stelle + 3]);
        std::swap(ganz[stelle + 1], ganz[stelle + 2]);
    };
    for (std::size_t w = 0; w < 7; ++w) tausche(4 * w);
    const auto lesen = [&](std::size_t stelle) {  // after the swap: big-endian
        return (std::uint32_t(static_cast<unsigned char>(ganz[stelle])) << 24) |
               (std::uint32_t(static_cast<unsigned char>(ganz[stelle + 1])) << 16) |
               (std::uint32_t(static_cast<unsigned char>(ganz[stelle + 2])) << 8) |
               std::uint32_t(static_cast<unsigned char>(ganz[stelle + 3]));
    };
    for (const std::size_t tabelle : {std::size_t{lesen(12)}, std::size_t{lesen(16)}})
        for (std::size_t e = 0; e < 2 * k->Anzahl(); ++e) tausche(tabelle + 4 * e);
    const std::optional<Katalog> anders = Katalog::AusBytes(ganz);
    ASSERT_TRUE(anders);
    EXPECT_STREQ(anders->Text("zzz"), "last");
    EXPECT_STREQ(anders->Mehrzahl("%1 weitere Meldungen", 3), "%1 more messages");
}
#else
TEST(Katalog, OhneMsgfmt) { GTEST_SKIP() << "msgfmt was not found at build time: no catalog to read"; }
#endif

}  // namespace
}  // namespace pavolant
