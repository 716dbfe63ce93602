// The platform layer as the rest of the program relies on it, the same on every system:
// names with letters beyond ASCII reach the file system and come back intact, a file is
// replaced whole or not at all, reasons read the same, and what a path holds is told
// apart.
#include "model/SplinePunkte.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/I3dSzene.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::AufzeichnenderMelder;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Eintraege;
using pavolant::test::TempOrdner;
namespace fs = std::filesystem;

// German letters, a letter outside every Western ANSI code page (Greek) and one outside
// the Basic Multilingual Plane (a UTF-16 surrogate pair on Windows).
const std::string kOrdnerName =
    "Stra\xC3\x9F"
    "en \xC3\x84rger \xCE\xB1\xCE\xB2";
const std::string kDateiName = "D\xC3\xB6rfchen \xF0\x9F\x9B\xA3.ini";

// Windows names the user's display languages, each a language tag ("en-US", "de"); POSIX
// leaves them to the variables, and the application data folder with them.
TEST(PlattformSprache, TheDisplayLanguagesAreLanguageTags) {
    const std::vector<std::string> sprachen = Oberflaechensprachen();
#ifdef _WIN32
    ASSERT_FALSE(sprachen.empty());
    for (const std::string& s : sprachen) {
        EXPECT_GE(s.size(), 2u) << s;
        EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(s[0])) &&
                    std::isalpha(static_cast<unsigned char>(s[1])))
            << s;
        EXPECT_TRUE(s.size() == 2 || s[2] == '-') << s;
    }
    EXPECT_TRUE(Anwendungsdatenordner().is_absolute());
#else
    EXPECT_TRUE(sprachen.empty());
    EXPECT_TRUE(Anwendungsdatenordner().empty());
#endif
}

TEST(PlattformPfade, Utf8NamesReachTheFileSystemAndComeBack) {
    TempOrdner o;
    const fs::path ordner = o.Pfad() / PfadAusUtf8(kOrdnerName);
    ASSERT_TRUE(fs::create_directory(ordner));
    const fs::path datei = ordner / PfadAusUtf8(kDateiName);
    EXPECT_EQ(Utf8(datei.filename()), kDateiName);
    EXPECT_EQ(PfadAusUtf8(Utf8(datei)), datei);

    // Written and read through the program's own file code, then listed by the system.
    IniDatei ini(datei);
    EXPECT_FALSE(ini.Vorhanden());
    ini.SchreibeString(
        "Stra\xC3\x9F"
        "e",
        "Name", kDateiName);
    ini.Speichern();
    EXPECT_EQ(Eintraege(ordner), std::vector<std::string>{kDateiName});
    const IniDatei wieder(PfadAusUtf8(Utf8(datei)));
    EXPECT_TRUE(wieder.Vorhanden());
    EXPECT_EQ(wieder.LiesString("stra\xC3\x9F"
                                "e",
                                "name", ""),
              kDateiName);

    // Replacing the file keeps the one name: no second entry, no temporary file left.
    ErsetzendeDatei neu(datei);
    neu.Schreiben("[S]\r\nk=2\r\n");
    neu.Abschliessen();
    EXPECT_EQ(Eintraege(ordner), std::vector<std::string>{kDateiName});
    EXPECT_EQ(DateiLesen(datei), "[S]\r\nk=2\r\n");

    // A message names the file as the user wrote it.
    const fs::path fehlt = ordner / PfadAusUtf8("fehlt \xC3\xA4.i3d");
    AufzeichnenderMelder melder;
    TSplinePunkte punkte;
    int aktuell = 0;
    std::string quelle;
    try {
        LeseI3d(punkte, aktuell, quelle, Utf8(fehlt), melder);
        ADD_FAILURE() << "read a missing file";
    } catch (const DateiFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Die Datei " + Utf8(fehlt) + " kann nicht gelesen werden: No such file or directory");
    }
}

TEST(PlattformPfade, TheSameFileUnderAnotherSpellingIsTheSame) {
    TempOrdner o;
    const fs::path ordner = o.Pfad() / PfadAusUtf8(kOrdnerName);
    fs::create_directories(ordner / "u");
    const fs::path datei = ordner / PfadAusUtf8(kDateiName);
    DateiSchreiben(datei, "x");
    EXPECT_TRUE(DieselbeDatei(datei, ordner / "u" / ".." / PfadAusUtf8(kDateiName)));
    EXPECT_FALSE(DieselbeDatei(datei, ordner / "u"));
    // Not there yet: compared by the normalised path.
    EXPECT_TRUE(DieselbeDatei(ordner / "neu.i3d", ordner / "u" / ".." / "neu.i3d"));
    EXPECT_FALSE(DieselbeDatei(ordner / "neu.i3d", ordner / "u" / "neu.i3d"));
}

TEST(PlattformDateien, WhatAPathHoldsIsToldApart) {
    TempOrdner o;
    DateiSchreiben(o / "d.txt", "abc");
    std::error_code grund;
    EXPECT_EQ(ArtDerDatei(o / "d.txt", grund), Dateiart::Normal);
    EXPECT_EQ(ArtDerDatei(o.Pfad(), grund), Dateiart::Ordner);
    EXPECT_EQ(ArtDerDatei(o / "fehlt", grund), Dateiart::Fehlt);
    EXPECT_EQ(ArtDerDatei(o / "fehlt" / "auch", grund), Dateiart::Fehlt);
    EXPECT_FALSE(grund) << grund.message();

    Systemdatei ordner = Systemdatei::ZumLesen(o.Pfad(), grund);
    EXPECT_FALSE(ordner.Offen());
    EXPECT_EQ(grund, std::errc::is_a_directory);
    EXPECT_EQ(Dateigrund(grund), "Is a directory");

    grund.clear();
    Systemdatei fehlt = Systemdatei::ZumLesen(o / "fehlt", grund);
    EXPECT_FALSE(fehlt.Offen());
    EXPECT_EQ(grund, std::errc::no_such_file_or_directory);
    EXPECT_EQ(Dateigrund(grund), "No such file or directory");
    EXPECT_EQ(Dateigrund(KeineNormaleDatei()), "Not a regular file");
    EXPECT_NE(KeineNormaleDatei(), std::errc::no_such_file_or_directory);

    // Reading in pieces gives every byte once, then 0 without a reason.
    grund.clear();
    Systemdatei datei = Systemdatei::ZumLesen(o / "d.txt", grund);
    ASSERT_TRUE(datei.Offen()) << grund.message();
    EXPECT_EQ(datei.Groesse(), 3u);
    std::string gelesen;
    char stueck[2];
    while (const std::size_t n = datei.Lesen(stueck, sizeof stueck, grund)) gelesen.append(stueck, n);
    EXPECT_EQ(gelesen, "abc");
    EXPECT_FALSE(grund);
    EXPECT_FALSE(datei.Schliessen());
    EXPECT_FALSE(datei.Offen());
}

TEST(PlattformDateien, ANewFileIsCreatedOnlyWhereNoneIs) {
    TempOrdner o;
    DateiSchreiben(o / "da.txt", "alt");
    std::error_code grund;
    Systemdatei doppelt = Systemdatei::NeuAnlegen(o / "da.txt", nullptr, grund);
    EXPECT_FALSE(doppelt.Offen());
    EXPECT_EQ(grund, std::errc::file_exists);
    EXPECT_EQ(DateiLesen(o / "da.txt"), "alt");

    grund.clear();
    Systemdatei neu = Systemdatei::NeuAnlegen(o / "neu.txt", nullptr, grund);
    ASSERT_TRUE(neu.Offen()) << grund.message();
    EXPECT_FALSE(neu.Schreiben("eins zwei", 9));
    EXPECT_FALSE(neu.Sichern());
    EXPECT_FALSE(neu.Schliessen());
    EXPECT_EQ(DateiLesen(o / "neu.txt"), "eins zwei");

    // The replace takes the new file's bytes under the old name and leaves one entry.
    EXPECT_FALSE(Ersetzen(o / "neu.txt", o / "da.txt"));
    EXPECT_EQ(DateiLesen(o / "da.txt"), "eins zwei");
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"da.txt"});
    // Onto a name that does not exist yet it is a plain move.
    DateiSchreiben(o / "n2.txt", "drei");
    EXPECT_FALSE(Ersetzen(o / "n2.txt", o / "frisch.txt"));
    EXPECT_EQ(DateiLesen(o / "frisch.txt"), "drei");
    EXPECT_FALSE(fs::exists(o / "n2.txt"));
    // Nothing to move: the reason, and the target as it was.
    EXPECT_EQ(Ersetzen(o / "fehlt.txt", o / "da.txt"), std::errc::no_such_file_or_directory);
    EXPECT_EQ(DateiLesen(o / "da.txt"), "eins zwei");
}

// Targets named relative to the working folder, as typed in it ("-o out.i3d"): a bare
// name, one with a folder part and one with "./", each over an existing file.
TEST(PlattformDateien, ABareOrRelativeNameIsReplacedInTheWorkingFolder) {
    TempOrdner o;
    fs::create_directory(o / "unter");
    struct ImOrdner {
        fs::path vorher = fs::current_path();
        explicit ImOrdner(const fs::path& ordner) { fs::current_path(ordner); }
        ~ImOrdner() { fs::current_path(vorher); }
    };
    for (const fs::path& ziel :
         {fs::path("out.i3d"), fs::path("unter") / "out.i3d", fs::path(".") / "out.i3d"}) {
        SCOPED_TRACE(ziel.string());
        DateiSchreiben(o.Pfad() / ziel, "alt");
        try {
            const ImOrdner hier(o.Pfad());
            ErsetzendeDatei d(ziel);
            d.Schreiben("neu");
            d.Abschliessen();
        } catch (const DateiFehler& e) {
            ADD_FAILURE() << e.what();
        }
        EXPECT_EQ(DateiLesen(o.Pfad() / ziel), "neu");
    }
    EXPECT_EQ(Eintraege(o.Pfad()), (std::vector<std::string>{"out.i3d", "unter"}));
    EXPECT_EQ(Eintraege(o / "unter"), std::vector<std::string>{"out.i3d"});
}

// A file marked read-only (no write bit; the read-only attribute on Windows) is never
// replaced, though the folder would allow the rename.
TEST(PlattformDateien, AFileMarkedReadOnlyIsNotReplaced) {
    TempOrdner o;
    const fs::path datei = o / "fest.i3d";
    DateiSchreiben(datei, "alt");
    EXPECT_TRUE(Beschreibbar(datei));
    fs::permissions(datei, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(Beschreibbar(datei));
    try {
        ErsetzendeDatei d(datei);
        ADD_FAILURE() << "a read-only file was opened for replacing";
    } catch (const DateiFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "In " + Utf8(datei) + " kann nicht geschrieben werden: Permission denied");
    }
    EXPECT_EQ(DateiLesen(datei), "alt");
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"fest.i3d"});
    fs::permissions(datei, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_FALSE(Beschreibbar(o / "fehlt.i3d"));
}

TEST(PlattformSystem, ProcessesAndTheProgramsFolder) {
    EXPECT_GT(Prozessnummer(), 0);
    EXPECT_FALSE(ProzessBeendet(Prozessnummer()));
    EXPECT_FALSE(ProzessBeendet(0));
    EXPECT_FALSE(ProzessBeendet(-5));

    // The test program itself lies in its build folder, which holds this test's program.
    const fs::path ordner = Programmordner();
    ASSERT_FALSE(ordner.empty());
    EXPECT_TRUE(ordner.is_absolute());
    std::error_code ec;
    bool gefunden = false;
    for (const auto& e : fs::directory_iterator(ordner, ec))
        if (Utf8(e.path().stem()) == "pavolant_core_tests") gefunden = true;
    EXPECT_TRUE(gefunden) << Utf8(ordner);

    const char trenner = SystemDezimaltrenner();
    EXPECT_TRUE(trenner == ',' || trenner == '.') << trenner;
}

TEST(PlattformSystem, TheInterruptTableTakesAndGivesBackEntries) {
    TempOrdner o;
    // Every entry given back makes room for the next: far more than the table holds.
    for (int i = 0; i < 100; ++i) {
        const int eintrag = TempEintragen(o.Pfad(), "datei" + std::to_string(i));
        ASSERT_GE(eintrag, 0) << i;
        TempAustragen(eintrag);
    }
    // A full table leaves the file unprotected, and says so with -1.
    std::vector<int> eintraege;
    for (int i = 0; i < 100; ++i) {
        const int eintrag = TempEintragen(o.Pfad(), "voll" + std::to_string(i));
        if (eintrag < 0) break;
        eintraege.push_back(eintrag);
    }
    EXPECT_GE(eintraege.size(), 4u);
    EXPECT_LT(eintraege.size(), 100u);
    for (const int e : eintraege) TempAustragen(e);
    TempAustragen(-1);
    EXPECT_EQ(TempEintragen(o.Pfad(), ""), -1);
}

}  // namespace
