// The windows' texts in the user's language: texts stored as message ids and translated
// where they are shown, counts that choose the catalog's plural form, and sentences
// built from a message and what it concerns.
#include "model/Text.h"
#include "ui/Hauptfenster.h"
#include "ui/Meldungsbuendel.h"

#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace pavolant {
namespace {

using test::Fenster;

// A catalog for one test: the translations of the ids it holds, installed for the
// guard's lifetime (the tests run without a translator otherwise).
using Texte = std::map<std::string, std::string>;
using Formen = std::map<std::string, std::pair<std::string, std::string>>;  // singular id: both forms
Texte gTexte;
Formen gMehrzahl;

const char* Text(const char* id) {
    const auto it = gTexte.find(id);
    return it == gTexte.end() ? nullptr : it->second.c_str();
}

const char* Mehrzahl(const char* einzahl, const char*, unsigned long n) {
    const auto it = gMehrzahl.find(einzahl);
    if (it == gMehrzahl.end()) return nullptr;
    return n == 1 ? it->second.first.c_str() : it->second.second.c_str();
}

class Katalog {
public:
    explicit Katalog(Texte texte, Formen mehrzahl = {}) {
        gTexte = std::move(texte);
        gMehrzahl = std::move(mehrzahl);
        UebersetzerSetzen({&Text, &Mehrzahl});
    }
    ~Katalog() {
        UebersetzerSetzen({});
        gTexte.clear();
        gMehrzahl.clear();
    }
    Katalog(const Katalog&) = delete;
    Katalog& operator=(const Katalog&) = delete;
};

TEST(Fenstertexte, WeitereSetztDieErsteMeldungWoertlichEin) {
    // The first message is a value, not part of the pattern: its own "%1" and "%%" stay.
    EXPECT_EQ(Meldungsbuendel::Weitere(3, "Steigung 6 % bei %1, 100%% erreicht"),
              "3 weitere Meldungen wie \"Steigung 6 % bei %1, 100%% erreicht\" wurden nicht angezeigt.");
}

TEST(Fenstertexte, WeitereNimmtDieFormDesKatalogsFuerDieAnzahl) {
    const Katalog katalog(Texte{}, Formen{{"%1 weitere Meldung wie \"%2\" wurde nicht angezeigt.",
                                           {"%1 more message like \"%2\" was not shown.",
                                            "%1 more messages like \"%2\" were not shown."}}});
    EXPECT_EQ(Meldungsbuendel::Weitere(1, "Point 7 too close"),
              "1 more message like \"Point 7 too close\" was not shown.");
    EXPECT_EQ(Meldungsbuendel::Weitere(19974, "Point 7 too close"),
              "19974 more messages like \"Point 7 too close\" were not shown.");
}

// Messages of the translated program bundle by their kind as the German ones do: the
// numbers differ, the words are the catalog's.
TEST(Fenstertexte, UebersetzteMeldungenWerdenGebuendelt) {
    const Katalog katalog(
        Texte{{"Nullpunkt kann nicht gelöscht werden", "The start point (segment 0) cannot be deleted"}},
        Formen{{"%1 weitere Meldung wie \"%2\" wurde nicht angezeigt.",
                {"%1 more message like \"%2\" was not shown.",
                 "%1 more messages like \"%2\" were not shown."}}});
    Fenster w;
    Hauptfenster& f = w.form;
    f.cboRandRenable.SetChecked(true);
    f.sedRandRNr.SetValue(0);
    ASSERT_EQ(f.RandR.AktSegment, 0);
    w.melder.eintraege.clear();
    ASSERT_TRUE(w.Ereignis([&] {
        for (int i = 0; i < Meldungsbuendel::kHoechstens + 2; ++i) f.spbRandRDel.Click();
    }));
    ASSERT_EQ(w.melder.eintraege.size(), static_cast<std::size_t>(Meldungsbuendel::kHoechstens) + 1);
    EXPECT_EQ(w.melder.eintraege.front().text, "The start point (segment 0) cannot be deleted");
    EXPECT_EQ(w.melder.eintraege.back().text,
              "2 more messages like \"The start point (segment 0) cannot be deleted\" were not shown.");
}

// A segment group's caption is kept as an id and translated whenever it is shown: on
// loading a border and on every later display, in the main window and the profile view.
TEST(Fenstertexte, SegmentgruppenZeigenIhreUeberschriftUebersetzt) {
    const Katalog katalog(Texte{{"Left bordersegments:", "Linke Randsegmente: "},
                                {"Left segments :     ", "Linke Randsegmente: "},
                                {"Left bordersegments:1", "Linke Randsegmente: 1"}});
    test::TempOrdner ordner;
    Fenster w;
    Hauptfenster& f = w.form;
    EXPECT_EQ(f.Profil.gboRandLSegmente.Caption, "Linke Randsegmente: 1");

    test::DateiSchreiben(
        ordner / "l.ini",
        "[Rand_links_Geo]\nenable1=1\nnSegments=2\nBreite1=2\nWinkel1=90\nBreite2=1\nWinkel2=0\n"
        "[Rand_links_Textur]\nEnde1=1\nEnde2=2\n");
    ASSERT_TRUE(w.Ereignis([&] { f.RandLParameterLaden(ordner / "l.ini"); }));
    EXPECT_EQ(f.gboRandLSegmente.Caption, "Linke Randsegmente: 2");
    ASSERT_TRUE(w.Ereignis([&] { f.sedRandLNr.SetValue(2); }));
    EXPECT_EQ(f.RandL.AktSegment, 2);
    EXPECT_EQ(f.gboRandLSegmente.Caption, "Linke Randsegmente: 2");

    f.Profil.FormShow();
    EXPECT_EQ(f.Profil.gboRandLSegmente.Caption, "Linke Randsegmente: 2");
}

TEST(Fenstertexte, FehlerNenntDasFeldInDerSpracheDesBenutzers) {
    const Katalog katalog(Texte{{"Roadway - Geometry: Width", "Fahrbahn - Geometrie: Breite"}});
    EXPECT_EQ(MitFeldbeschriftung("'x' ist keine Zahl", std::string("edtBreite")),
              "'x' ist keine Zahl (Fahrbahn - Geometrie: Breite)");
    // A field without a caption, and no field: the message alone.
    EXPECT_EQ(MitFeldbeschriftung("'x' ist keine Zahl", std::string("edtFileName")), "'x' ist keine Zahl");
    EXPECT_EQ(MitFeldbeschriftung("'x' ist keine Zahl", std::nullopt), "'x' ist keine Zahl");
}

}  // namespace
}  // namespace pavolant
