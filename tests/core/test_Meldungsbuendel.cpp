// Repeated messages of one event: at most 20 of a kind, then one line for the rest; on
// the desktop the repeats in one box.
#include "ui/Meldungsbuendel.h"

#include "tests/support/Fensterhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pavolant {
namespace {

using test::AufzeichnenderMelder;
using test::Fenster;
using test::TempOrdner;

// Records like the test melder, but says it shows every message as a box, as the
// desktop program's does.
class Boxenmelder : public AufzeichnenderMelder {
public:
    bool JedeMeldungEinBox() const override { return true; }
};

std::vector<std::string> Texte(const AufzeichnenderMelder& m) {
    std::vector<std::string> t;
    for (const auto& e : m.eintraege) t.push_back(e.text);
    return t;
}

TEST(Meldungsbuendel, ArtIstDerTextOhneSeineZahlen) {
    EXPECT_EQ(Meldungsbuendel::Art("right Border: BorderPoint 12: Length is smaller than 1mm!"),
              "right Border: BorderPoint #: Length is smaller than #mm!");
    EXPECT_EQ(Meldungsbuendel::Art("SplinePunkte 6 - 7: Winkel 240.945395900923"),
              "SplinePunkte # - #: Winkel #.#");
    EXPECT_EQ(Meldungsbuendel::Art(""), "");
    EXPECT_NE(Meldungsbuendel::Art("Zu wenig Punkte am rechten Rand"),
              Meldungsbuendel::Art("Zu wenig Punkte am linken Rand"));
}

TEST(Meldungsbuendel, ZeilenZeigenZwanzigJederArtUndZaehlenDenRest) {
    AufzeichnenderMelder ziel;
    Meldungsbuendel b(ziel);
    b.Beginnen();
    for (int i = 1; i <= 25; ++i) {
        b.Warnung("Punkt " + std::to_string(i) + " zu nah");
        if (i == 3) b.Information("anders");
    }
    b.Warnung("Punkt 99 zu nah");  // the 26th of its kind
    // Twenty of the kind as they came, the other kind in its place, nothing more yet.
    ASSERT_EQ(ziel.eintraege.size(), 21u);
    EXPECT_EQ(ziel.eintraege[3].text, "anders");
    EXPECT_EQ(ziel.eintraege[20].text, "Punkt 20 zu nah");
    b.Beenden();
    ASSERT_EQ(ziel.eintraege.size(), 22u);
    EXPECT_EQ(ziel.eintraege.back().art, MeldungsArt::Information);
    EXPECT_EQ(ziel.eintraege.back().text,
              "6 weitere Meldungen wie \"Punkt 1 zu nah\" wurden nicht angezeigt.");

    // The next event counts afresh; outside of one everything passes.
    ziel.eintraege.clear();
    b.Beginnen();
    for (int i = 0; i < 21; ++i) b.Warnung("Punkt 1 zu nah");
    b.Beenden();
    EXPECT_EQ(Texte(ziel).back(), "1 weitere Meldung wie \"Punkt 1 zu nah\" wurde nicht angezeigt.");
    ziel.eintraege.clear();
    for (int i = 0; i < 30; ++i) b.Warnung("Punkt 1 zu nah");
    EXPECT_EQ(ziel.eintraege.size(), 30u);
}

TEST(Meldungsbuendel, BoxenZeigenDieErsteSofortUndDieWiederholungenInEinerBox) {
    Boxenmelder ziel;
    Meldungsbuendel b(ziel);
    b.Beginnen();
    b.Beginnen();  // a nested event belongs to the outer one
    for (int i = 1; i <= 19994; ++i) b.Warnung("BorderPoint " + std::to_string(i) + ": kurz");
    b.Information("Einmal");
    b.Information("Zweimal 1");
    b.Information("Zweimal 2");
    b.Beenden();
    EXPECT_EQ(Texte(ziel), (std::vector<std::string>{"BorderPoint 1: kurz", "Einmal", "Zweimal 1"}));
    b.Beenden();
    // One more box: the repeats of every kind, a warning since one kind is.
    ASSERT_EQ(ziel.eintraege.size(), 4u);
    EXPECT_EQ(ziel.eintraege[3].art, MeldungsArt::Warnung);
    std::string erwartet;
    for (int i = 2; i <= 20; ++i) erwartet += "BorderPoint " + std::to_string(i) + ": kurz\r";
    erwartet += "19974 weitere Meldungen wie \"BorderPoint 1: kurz\" wurden nicht angezeigt.\rZweimal 2";
    EXPECT_EQ(ziel.eintraege[3].text, erwartet);

    // Single messages of an event stay single boxes, and nothing is added.
    ziel.eintraege.clear();
    b.Beginnen();
    b.Warnung("a 1");
    b.Warnung("b");
    b.Beenden();
    EXPECT_EQ(Texte(ziel), (std::vector<std::string>{"a 1", "b"}));
}

// A border of 30 segments without width: the load warns once per segment.
std::string DreissigSchmaleSegmente() {
    std::string ini = "[Fahrbahn_Geo]\nBreite=6\n[Rand_rechts_Geo]\nenable1=1\nnSegments=31\n";
    for (int k = 1; k <= 30; ++k) ini += "Breite" + std::to_string(k) + "=0\n";
    return ini;
}

TEST(Meldungsbuendel, DasFensterBuendeltJedesEreignis) {
    TempOrdner ordner;
    test::DateiSchreiben(ordner / "p.ini", DreissigSchmaleSegmente());
    {
        Fenster w;
        w.dialoge.antworten.push_back((ordner / "p.ini").string());
        ASSERT_TRUE(w.Ereignis([&] { w.form.bbnLoadParaClick(); }));
        const std::vector<std::string> t = Texte(w.melder);
        // Two kinds (no width, no texture step), each 20 and the line for the rest; the
        // left border's single warning of its own.
        ASSERT_EQ(t.size(), 43u);
        EXPECT_NE(
            std::find(
                t.begin(), t.end(),
                "10 weitere Meldungen wie \"right Border: BorderPoint1: Length is smaller than 1mm! Are "
                "you sure?\" wurden nicht angezeigt."),
            t.end());
        std::size_t gleiche = 0;
        for (const std::string& zeile : t) gleiche += zeile.find("smaller than 1mm") != std::string::npos;
        EXPECT_EQ(gleiche, 21u);  // the 20 shown and the line that names the first
    }
    {
        Boxenmelder boxen;
        test::SkriptDialoge dialoge;
        Hauptfenster form(boxen, dialoge);
        dialoge.antworten.push_back((ordner / "p.ini").string());
        ASSERT_TRUE(form.Ausfuehren([&] { form.bbnLoadParaClick(); }));
        std::size_t mitLaenge = 0;
        for (const auto& e : boxen.eintraege)
            mitLaenge += e.text.find("smaller than 1mm") != std::string::npos;
        EXPECT_EQ(mitLaenge, 2u);  // the first box, and the one with the rest
    }
}

TEST(Meldungsbuendel, SpeicherErschoepftSagtEsVerstaendlich) {
    Fenster w;
    EXPECT_FALSE(w.Ereignis([] { throw std::bad_alloc(); }));
    EXPECT_EQ(w.dialoge.fehler, std::vector<std::string>{kSpeicherErschoepft});
}

}  // namespace
}  // namespace pavolant
