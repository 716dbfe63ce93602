// The core's texts under a translator: the run's report and messages pass through it
// whole, while what the program writes for other programs (the i3d document, the
// parameter file) stays the same in every language.
#include "generator/Strassenbau.h"
#include "model/Strassenfelder.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/I3dSzene.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;
using pavolant::test::DateiLesen;
using pavolant::test::TempOrdner;

namespace {

// A translation that shows where it was used: every text comes back in brackets, a
// plural with the count it was chosen for in braces. The texts live as long as the
// program, as a catalog's do.
const char* Markiert(const char* id) {
    static std::map<std::string, std::string> texte;
    return texte.try_emplace(id, "[" + std::string(id) + "]").first->second.c_str();
}
const char* MarkiertN(const char* einzahl, const char* mehrzahl, unsigned long n) {
    static std::map<std::string, std::string> texte;
    const std::string text = "{" + std::to_string(n) + "}" + (n == 1 ? einzahl : mehrzahl);
    return texte.try_emplace(text, text).first->second.c_str();
}

class MitMarkierung {
public:
    MitMarkierung() { UebersetzerSetzen({&Markiert, &MarkiertN}); }
    ~MitMarkierung() { UebersetzerSetzen({}); }
    MitMarkierung(const MitMarkierung&) = delete;
    MitMarkierung& operator=(const MitMarkierung&) = delete;
};

// A two-point road with both borders (a kerb and a verge) and both end faces.
struct Teststrasse {
    AufzeichnenderMelder randMelder;
    TRandPunkte randR{"right Border", randMelder};
    TRandPunkte randL{"left Border", randMelder};
    TFuellFlaeche fuellung;
    TSplinePunkte punkte;

    Teststrasse() {
        punkte.Punkt(1)->Z = 30;
        punkte.Punkt(1)->Y = 2;
        randR.Rechts = true;
        for (TRandPunkte* r : {&randR, &randL}) {
            r->NeuesSegment();
            r->Segment(1)->Breite = 0.2;
            r->Segment(1)->Winkel = GradZuRad(90);
            r->Segment(1)->U = 0.1;
            r->Segment(2)->Breite = 1.5;
            r->Segment(2)->Winkel = GradZuRad(-10);
            r->Segment(2)->U = 0.9;
            r->SegmentAktualisieren(1);
            r->SegmentAktualisieren(2);
            r->Berechnen();
        }
        fuellung.Textur = "front.dds";
    }

    struct Ergebnis {
        std::vector<std::string> memo;
        std::vector<std::string> meldungen;
        std::string dokument;
    };

    Ergebnis Laufen(bool randLaengeNull = false) {
        TempOrdner ordner;
        const std::string datei = (ordner / "strasse.i3d").string();
        randR.Aktiv = randL.Aktiv = true;
        Strasse par = StrasseAusFeldern(Startwerte(), PunkteAus(punkte), randR, randL, fuellung);
        for (Randwerte* p : {&par.RandR, &par.RandL}) {
            p->An = true;
            p->TexLaenge = randLaengeNull ? 0 : 20;
            p->TexBreite = 2;
        }
        par.FuellenAn = true;
        par.TrafficMitte = true;
        Zufallsgenerator zufall;
        AufzeichnenderMelder melder;
        Bauergebnis bericht;
        Dokumentdatei ziel(datei);
        Bauen(par, zufall, melder, bericht);
        DokumentSchreiben(bericht, ziel, melder, datei);
        Ergebnis e;
        e.memo = bericht.Memo;
        for (const auto& m : melder.eintraege) e.meldungen.push_back(m.text);
        if (bericht.Geschrieben) e.dokument = DateiLesen(datei);
        return e;
    }
};

bool GanzUebersetzt(const std::string& zeile) {
    return zeile.size() >= 2 && zeile.front() == '[' && zeile.back() == ']';
}

}  // namespace

TEST(Kerntexte, TheRunTranslatesEveryReportLineWholeButNeverTheDocument) {
    Teststrasse ohne;
    const Teststrasse::Ergebnis original = ohne.Laufen();
    ASSERT_FALSE(original.dokument.empty());

    Teststrasse mit;
    MitMarkierung markierung;
    const Teststrasse::Ergebnis uebersetzt = mit.Laufen();

    // The document is for the level editor: byte for byte the same in every language.
    EXPECT_EQ(uebersetzt.dokument, original.dokument);
    // Each report line is one text of the catalog, not pieces glued around one.
    ASSERT_EQ(uebersetzt.memo.size(), original.memo.size());
    for (const std::string& zeile : uebersetzt.memo) EXPECT_TRUE(GanzUebersetzt(zeile)) << zeile;
    // The counts inside a line ask for their own plural form.
    EXPECT_NE(uebersetzt.memo.back().find("{6}6 Vertices"), std::string::npos) << uebersetzt.memo.back();
    EXPECT_NE(uebersetzt.memo.back().find("{4}4 triangles"), std::string::npos) << uebersetzt.memo.back();
}

TEST(Kerntexte, TheRunsWarningsAreTranslatedWhole) {
    Teststrasse s;
    MitMarkierung markierung;
    const Teststrasse::Ergebnis e = s.Laufen(true);
    ASSERT_EQ(e.meldungen.size(), 1u);
    EXPECT_EQ(e.meldungen[0], "[Die Texturlänge des rechten Randes (Length) darf nicht 0 sein.]");
}

TEST(Kerntexte, TheParameterFileIsTheSameInEveryLanguage) {
    Teststrasse s;
    const auto schreiben = [&s] {
        IniDatei ini = IniDatei::AusText("");
        Schreiben(ini, s.punkte, 0, "");
        Schreiben(ini, s.randR, "Rand_rechts");
        Schreiben(ini, s.randL, "Rand_links");
        Schreiben(ini, s.fuellung);
        return ini.Inhalt();
    };
    const std::string original = schreiben();
    MitMarkierung markierung;
    EXPECT_EQ(schreiben(), original);
}

TEST(Kerntexte, ARefusedValueIsNamedInTheUsersLanguage) {
    Teststrasse s;
    s.randL.Segment(2)->Breite = std::numeric_limits<double>::infinity();
    MitMarkierung markierung;
    IniDatei ini = IniDatei::AusText("");
    try {
        Schreiben(ini, s.randL, "Rand_links");
        FAIL() << "an infinite width was saved";
    } catch (const KonvertierungsFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "[[Linker Rand, Segment 2, Breite]: INF kann nicht gespeichert werden]");
    }
}

TEST(Kerntexte, AFileCutShortAsksForThePluralOfThePointsItTook) {
    MitMarkierung markierung;
    for (const int shapes : {1, 3}) {
        std::string text = "<i3D>\n<Scene>\n";
        for (int i = 0; i < shapes; ++i) text += "<Shape translation=\"1 2 3\"/>\n";
        std::istringstream strom(text);
        TSplinePunkte punkte;
        int aktuell = 0;
        std::string quelle;
        AufzeichnenderMelder melder;
        LeseI3dAusStrom(punkte, aktuell, quelle, strom, "kurz.i3d", melder);
        ASSERT_EQ(melder.eintraege.size(), 1u);
        const std::string n = std::to_string(shapes);
        EXPECT_EQ(melder.eintraege[0].text, "{" + n +
                                                "}In kurz.i3d fehlt \"</Scene>\"; übernommen wurden die " +
                                                n + " SplinePunkte bis zum Dateiende.");
    }
}
