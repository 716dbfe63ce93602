// The one way texts reach the user: the placeholders, the translator hook, the choice of
// the language from the settings and the environment, and the key in the settings file.
#include "model/Text.h"
#include "persistence/Einstellungen.h"
#include "persistence/Sprache.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pavolant {
namespace {

using test::DateiLesen;
using test::DateiSchreiben;
using test::TempOrdner;

TEST(Einsetzen, ErsetztJedenPlatzhalterInJederReihenfolge) {
    EXPECT_EQ(Einsetzen("Die Datei %1 existiert nicht", {"a.ini"}), "Die Datei a.ini existiert nicht");
    EXPECT_EQ(Einsetzen("%2 vor %1, dann wieder %2", {"eins", "zwei"}), "zwei vor eins, dann wieder zwei");
    // A value is inserted as it is: a "%1" inside it is not read again.
    EXPECT_EQ(Einsetzen("[%1|%2]", {"%2", "x"}), "[%2|x]");
    EXPECT_EQ(Einsetzen("%1%1", {""}), "");
}

TEST(Einsetzen, LaesstJedesAndereProzentzeichenStehen) {
    // A grade in a text needs no escape; only %1…%9 with a value and "%%" are read.
    EXPECT_EQ(Einsetzen("6 % Steigung, 100%", {}), "6 % Steigung, 100%");
    EXPECT_EQ(Einsetzen("%3 ohne Wert, %0, %a, am Ende %", {"x"}), "%3 ohne Wert, %0, %a, am Ende %");
    EXPECT_EQ(Einsetzen("50%% von %1", {"8"}), "50% von 8");
    EXPECT_EQ(Einsetzen("%12", {"a"}), "a2");  // one digit: %1 then "2"
    const std::string neun = Einsetzen("%9%8%7%6%5%4%3%2%1", {"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    EXPECT_EQ(neun, "987654321");
}

// A translator for the tests: "Hallo" becomes "Hello", plurals by the count.
const char* Testtext(const char* id) { return std::strcmp(id, "Hallo") == 0 ? "Hello" : nullptr; }
const char* Testmehrzahl(const char* einzahl, const char*, unsigned long n) {
    if (std::strcmp(einzahl, "%1 Punkte") != 0) return nullptr;
    return n == 1 ? "%1 point" : "%1 points";
}

class MitUebersetzer : public ::testing::Test {
protected:
    void TearDown() override { UebersetzerSetzen({}); }
};

TEST_F(MitUebersetzer, OhneUebersetzerIstJederTextSeineId) {
    EXPECT_FALSE(UebersetzerAktiv());
    const char* id = "Hallo";
    EXPECT_EQ(Tr(id), id);  // the same pointer: nothing copied
    EXPECT_STREQ(TrN("%1 Punkt", "%1 Punkte", 1), "%1 Punkt");
    EXPECT_STREQ(TrN("%1 Punkt", "%1 Punkte", 0), "%1 Punkte");
    EXPECT_EQ(Tr(nullptr), nullptr);
}

TEST_F(MitUebersetzer, DerUebersetzerAntwortetUndSonstBleibtDieId) {
    UebersetzerSetzen({&Testtext, &Testmehrzahl});
    EXPECT_TRUE(UebersetzerAktiv());
    EXPECT_STREQ(Tr("Hallo"), "Hello");
    EXPECT_STREQ(Tr("Tschüss"), "Tschüss");
    // The catalog's header hides behind the empty id: an empty text stays empty.
    EXPECT_STREQ(Tr(""), "");
    EXPECT_EQ(Einsetzen(TrN("%1 Punkte", "%1 Punkte", 1), {"1"}), "1 point");
    EXPECT_EQ(Einsetzen(TrN("%1 Punkte", "%1 Punkte", 7), {"7"}), "7 points");
    EXPECT_STREQ(TrN("%1 Kurve", "%1 Kurven", 1), "%1 Kurve");
}

Sprachumgebung Umgebung(std::string language, std::string lcAll, std::string lcMessages, std::string lang) {
    Sprachumgebung u;
    u.Language = std::move(language);
    u.LcAll = std::move(lcAll);
    u.LcMessages = std::move(lcMessages);
    u.Lang = std::move(lang);
    return u;
}

TEST(Sprache, DieWahlInDenEinstellungenGehtVor) {
    const Sprachumgebung deutsch = Umgebung("de", "", "", "de_DE.UTF-8");
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::Englisch, deutsch), "en");
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::Deutsch, Umgebung("", "C", "", "")), "de");
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::System, deutsch), "de");
}

TEST(Sprache, DieVariablenWieGettextSieLiest) {
    const auto s = [](std::string language, std::string lcAll, std::string lcMessages, std::string lang) {
        return SpracheBestimmen(Sprachwahl::System, Umgebung(language, lcAll, lcMessages, lang));
    };
    EXPECT_EQ(s("", "", "", "de_DE.UTF-8"), "de");
    EXPECT_EQ(s("", "", "", "en_GB.UTF-8"), "en");
    EXPECT_EQ(s("", "", "en_US.UTF-8", "de_DE.UTF-8"), "en");  // LC_MESSAGES before LANG
    EXPECT_EQ(s("", "de_AT@euro", "en_US.UTF-8", ""), "de");   // LC_ALL before both
    // LANGUAGE: the first entry with a catalog, before the locale's own language.
    EXPECT_EQ(s("fr:de_CH:en", "", "", "en_US.UTF-8"), "de");
    EXPECT_EQ(s("en", "C.UTF-8", "", ""), "en");
    // The locale C (or POSIX) keeps the texts as they are, whatever LANGUAGE says, so a
    // script's LC_ALL=C gets the plain texts.
    EXPECT_EQ(s("de", "C", "", "de_DE.UTF-8"), "");
    EXPECT_EQ(s("en", "", "POSIX", ""), "");
    EXPECT_EQ(s("", "C.UTF-8", "", ""), "");
    // A language without a catalog: the texts as they are.
    EXPECT_EQ(s("", "", "", "fr_FR.UTF-8"), "");
    EXPECT_EQ(s("fr", "", "", "fr_FR"), "");
    EXPECT_EQ(s("fr", "", "", "de_DE"), "de");  // LANGUAGE has nothing; the locale has
}

TEST(Sprache, OhneVariablenSprichtDieOberflaeche) {
    Sprachumgebung u = Umgebung("", "", "", "");
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::System, u), "");
    u.Oberflaeche = {"fr-FR", "de-DE", "en-US"};
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::System, u), "de");
    // A variable that is set speaks before the desktop.
    u.Lang = "en_US.UTF-8";
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::System, u), "en");
    u.Lang = "C";
    EXPECT_EQ(SpracheBestimmen(Sprachwahl::System, u), "");
}

TEST(Sprache, WahlAlsSchluesselInDerEinstellungsdatei) {
    TempOrdner o;
    const auto pfad = o / "Pavolant.ini";
    EXPECT_EQ(SprachwahlLesen(pfad), Sprachwahl::System);  // no file

    // A file that never had the key stays without it: its bytes are what they were.
    EinstellungenSchreiben(pfad, Feinheit{}, Fensterposition{});
    const std::string ohne = DateiLesen(pfad);
    EXPECT_EQ(ohne.find("Sprache"), std::string::npos);
    EXPECT_EQ(SprachwahlLesen(pfad), Sprachwahl::System);

    EinstellungenSchreiben(pfad, Feinheit{}, Fensterposition{}, Sprachwahl::Deutsch);
    EXPECT_NE(DateiLesen(pfad).find("Sprache=de\r\n"), std::string::npos) << DateiLesen(pfad);
    EXPECT_EQ(SprachwahlLesen(pfad), Sprachwahl::Deutsch);
    // Back to "System": the key stays and says so, the rest is as before.
    EinstellungenSchreiben(pfad, Feinheit{}, Fensterposition{}, Sprachwahl::System);
    EXPECT_EQ(SprachwahlLesen(pfad), Sprachwahl::System);
    EXPECT_EQ(DateiLesen(pfad), ohne + "Sprache=System\r\n");

    // A value from elsewhere, or a file that is no text, never stops the start.
    DateiSchreiben(pfad, "[Preferences]\r\nSprache=fr\r\n");
    EXPECT_EQ(SprachwahlLesen(pfad), Sprachwahl::System);
    DateiSchreiben(pfad, std::string("[Preferences]\r\nSprache=en\0x", 27));
    EXPECT_EQ(SprachwahlLesen(pfad), Sprachwahl::System);
    EXPECT_EQ(SprachwahlLesen(o.Pfad()), Sprachwahl::System);  // a folder
}

}  // namespace
}  // namespace pavolant
