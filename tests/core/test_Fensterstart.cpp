// The main window's start-up and closing with the settings file: defaults, what the file
// overrides, the window kept on the screen, a bad value, and a closing that cannot write.
#include "ui/Hauptfenster.h"

#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Fenster;
using pavolant::test::Gezeigt;
using pavolant::test::MitDezimaltrenner;
using pavolant::test::TempOrdner;
using Werte = std::vector<double>;
using Lage = std::pair<int, int>;  // top, left
namespace fs = std::filesystem;

// Starts a window on a screen of the given size with every setting first set away from
// its default, so that a start-up step that leaves one alone shows.
struct Gestartet : Fenster {
    bool ok;
    Gestartet(const fs::path& datei, int breite = 1920, int hoehe = 1080) {
        form.MinLaenge = form.MinWinkel = form.MinSteigung = form.MinZRot = form.MaxSturz = 9;
        form.DreieckeSym = true;
        ok = form.FormCreate(datei, breite, hoehe);
    }
    Werte Zahlen() const {
        return {form.MinLaenge, form.MinWinkel, form.MinSteigung, form.MinZRot, form.MaxSturz};
    }
    Lage Position() const { return {form.Position.Oben, form.Position.Links}; }
};

TEST(Fensterstart, DateiUeberDenVorgaben) {
    TempOrdner o;
    DateiSchreiben(o / "nur.ini", "[Preferences]\r\nmaxSturz=45\r\n");
    const Gestartet nur(o / "nur.ini");
    EXPECT_TRUE(nur.ok);
    EXPECT_EQ(nur.Zahlen(), (Werte{2, 3, 1, 1, 45}));
    EXPECT_FALSE(nur.form.DreieckeSym);
    EXPECT_EQ(nur.Position(), Lage(1, 1));                         // the keys' default, on the screen
    EXPECT_EQ(nur.form.gboSplinePts.Caption, "Spline-Points: 2");  // the model stays as built

    DateiSchreiben(o / "beide.ini",
                   "[Preferences]\r\nminLaenge=2,5\r\nminWinkel=0.75\r\nDreieckeSym=1\r\n"
                   "ScreenPos_Top=40\r\nScreenPos_Left=50\r\n");
    for (const char trenner : {',', '.'}) {
        MitDezimaltrenner t(trenner);
        const Gestartet g(o / "beide.ini");
        EXPECT_EQ(g.Zahlen(), (Werte{2.5, 0.75, 1, 1, 30})) << trenner;
        EXPECT_TRUE(g.form.DreieckeSym);
        EXPECT_EQ(g.Position(), Lage(40, 50));
    }
}

TEST(Fensterstart, AufDemBildschirmGehalten) {
    TempOrdner o;
    // No file: the defaults and the design position (814 + 829 = 1643 wide, 82 + 894 =
    // 976 high), each edge moved to 1 on its own where the screen is smaller.
    for (const auto& [breite, hoehe, lage] :
         {std::tuple{1643, 976, Lage(82, 814)}, std::tuple{1642, 976, Lage(82, 1)},
          std::tuple{1643, 975, Lage(1, 814)}}) {
        const Gestartet g(o / "fehlt.ini", breite, hoehe);
        EXPECT_TRUE(g.ok && g.form.MaxSturz == 30 && !g.form.DreieckeSym);
        EXPECT_EQ(g.Position(), lage) << breite << "x" << hoehe;
    }
    EXPECT_FALSE(fs::exists(o / "fehlt.ini"));
    // A stored position by the same rule: 1091 / 186 are the last edges that fit 1920 x 1080.
    for (const auto& [oben, links, lage] :
         {std::tuple{"186", "1091", Lage(186, 1091)}, std::tuple{"187", "1092", Lage(1, 1)},
          std::tuple{"100", "-5", Lage(100, 1)}}) {
        DateiSchreiben(o / "p.ini",
                       std::string("[Preferences]\nScreenPos_Top=") + oben + "\nScreenPos_Left=" + links);
        EXPECT_EQ(Gestartet(o / "p.ini").Position(), lage) << oben << "," << links;
    }
}

TEST(Fensterstart, SchlechteZahlMeldetUndBehaeltDasGelesene) {
    TempOrdner o;
    DateiSchreiben(o / "p.ini",
                   "[Preferences]\r\nminLaenge=1,5\r\nminWinkel=4\r\nminSteigung=abc\r\n"
                   "maxSturz=45\r\nDreieckeSym=1\r\nScreenPos_Top=40\r\nScreenPos_Left=50\r\n");
    const Gestartet g(o / "p.ini");
    EXPECT_FALSE(g.ok);
    EXPECT_EQ(g.dialoge.fehler,
              std::vector<std::string>{(o / "p.ini").string() +
                                       " [Preferences] minSteigung: 'abc' ist kein gültiger Gleitkommawert"});
    // Before the bad key: read. From it on: the defaults. The stored position: not applied.
    EXPECT_EQ(g.Zahlen(), (Werte{1.5, 4, 1, 1, 30}));
    EXPECT_FALSE(g.form.DreieckeSym);
    EXPECT_EQ(g.Position(), Lage(82, 814));
}

TEST(Fensterschliessen, SchreibtInReihenfolgeOderBleibtOffen) {
    TempOrdner o;
    Gestartet g(o / "Pavolant.ini");
    Hauptfenster& f = g.form;
    f.MinLaenge = 2.5;
    f.MaxSturz = 45;
    f.Position = {33, 44};  // as the view records a move
    EXPECT_TRUE(f.FormCloseQuery(o / "Pavolant.ini"));
    EXPECT_EQ(DateiLesen(o / "Pavolant.ini"),
              Gezeigt("[Preferences]\r\nminLaenge=2.5\r\nminWinkel=3\r\n"
                      "minSteigung=1\r\nminZRot=1\r\nmaxSturz=45\r\nDreieckeSym=0\r\n"
                      "ScreenPos_Top=33\r\nScreenPos_Left=44\r\n"));
    EXPECT_EQ(Gestartet(o / "Pavolant.ini").Position(), Lage(33, 44));

    // A missing folder, and a folder at the path: the window stays open, nothing written.
    const fs::path fehlt = o / "fehlt" / "Pavolant.ini";
    EXPECT_FALSE(f.FormCloseQuery(fehlt));
    EXPECT_EQ(g.dialoge.fehler,
              std::vector<std::string>{"In " + fehlt.string() +
                                       " kann nicht geschrieben werden: No such file or directory"});
    EXPECT_FALSE(fs::exists(o / "fehlt"));
    fs::create_directory(o / "ordner");
    EXPECT_FALSE(f.FormCloseQuery(o / "ordner"));
    EXPECT_EQ(g.dialoge.fehler.size(), 2u);
    EXPECT_TRUE(fs::is_directory(o / "ordner"));
}

// The language chosen in the settings dialog: read at start-up, changed only on OK with
// a note that it applies at the next start, written back at closing; a cancelled
// dialog or an unchanged choice says nothing and writes no key into a file without one.
TEST(Fensterstart, SprachwahlUeberDenEinstellungsdialog) {
    TempOrdner o;
    const fs::path datei = o / "Pavolant.ini";
    DateiSchreiben(datei, "[Preferences]\r\nSprache=de\r\n");
    Gestartet g(datei);
    EXPECT_EQ(g.form.Sprache, Sprachwahl::Deutsch);

    Einstellungsfenster pref;
    g.form.bbnPreferencesClick(pref, [&] {
        EXPECT_EQ(pref.Sprache, Sprachwahl::Deutsch);  // the dialog opens on the stored choice
        pref.Sprache = Sprachwahl::Englisch;
        return false;  // cancelled
    });
    EXPECT_EQ(g.form.Sprache, Sprachwahl::Deutsch);
    g.form.bbnPreferencesClick(pref, [] { return true; });  // OK, unchanged
    EXPECT_TRUE(g.melder.eintraege.empty());

    g.form.bbnPreferencesClick(pref, [&] {
        pref.Sprache = Sprachwahl::Englisch;
        return true;
    });
    EXPECT_EQ(g.form.Sprache, Sprachwahl::Englisch);
    ASSERT_EQ(g.melder.eintraege.size(), 1u);
    EXPECT_EQ(g.melder.eintraege[0].text, "The language changes when Pavolant starts the next time.");
    EXPECT_TRUE(g.form.FormCloseQuery(datei));
    EXPECT_EQ(SprachwahlLesen(datei), Sprachwahl::Englisch);

    // A file without the key keeps none while the choice stays "System".
    const fs::path ohne = o / "ohne.ini";
    Gestartet h(ohne);
    EXPECT_EQ(h.form.Sprache, Sprachwahl::System);
    EXPECT_TRUE(h.form.FormCloseQuery(ohne));
    EXPECT_EQ(DateiLesen(ohne).find("Sprache"), std::string::npos);
}

}  // namespace
