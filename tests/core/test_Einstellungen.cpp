// The settings file: defaults, partial files, both separators, a bad value, the fixed
// key order, and keeping the window on the screen.
#include "persistence/Einstellungen.h"

#include "model/Zahlen.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"
#include "persistence/Systemspeicher.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::MitDezimaltrenner;
using pavolant::test::TempOrdner;

namespace {

TEST(Einstellungen, AMissingFileChangesNothing) {
    TempOrdner ordner;
    Feinheit f;
    f.MaxSturz = 12;
    EXPECT_FALSE(EinstellungenLesen(ordner / "Pavolant.ini", f));
    EXPECT_EQ(f.MaxSturz, 12);
}

TEST(Einstellungen, MissingKeysTakeTheirDefaults) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "Pavolant.ini", "[Preferences]\r\nmaxSturz=45\r\n");
    Feinheit f;
    f.MinWinkel = 7;  // the file's default, not the caller's value, applies
    const auto lage = EinstellungenLesen(ordner / "Pavolant.ini", f);
    EXPECT_EQ(f.MaxSturz, 45);
    EXPECT_EQ(f.MinLaenge, 2);
    EXPECT_EQ(f.MinWinkel, 3);
    EXPECT_EQ(f.MinSteigung, 1);
    EXPECT_EQ(f.MinZRot, 1);
    EXPECT_FALSE(f.DreieckeSym);
    ASSERT_TRUE(lage);
    EXPECT_EQ(lage->Oben, 1);
    EXPECT_EQ(lage->Links, 1);
}

TEST(Einstellungen, ReadBackUnderTheOtherSeparator) {
    TempOrdner ordner;
    Feinheit f;
    f.MinLaenge = 2.5;
    f.MinWinkel = 0.125;
    f.DreieckeSym = true;
    {
        MitDezimaltrenner t(',');
        EinstellungenSchreiben(ordner / "Pavolant.ini", f, {82, 814});
    }
    EXPECT_NE(DateiLesen(ordner / "Pavolant.ini").find("minLaenge=2,5\r\n"), std::string::npos);
    MitDezimaltrenner t('.');
    Feinheit g;
    const auto lage = EinstellungenLesen(ordner / "Pavolant.ini", g);
    EXPECT_EQ(g.MinLaenge, 2.5);
    EXPECT_EQ(g.MinWinkel, 0.125);
    EXPECT_TRUE(g.DreieckeSym);
    ASSERT_TRUE(lage);
    EXPECT_EQ(lage->Oben, 82);
    EXPECT_EQ(lage->Links, 814);
}

TEST(Einstellungen, WritesTheKeysInTheirOrderAndKeepsOtherLines) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "Pavolant.ini", "; mine\r\n[Other]\r\nx=1\r\n");
    MitDezimaltrenner t('.');
    EinstellungenSchreiben(ordner / "Pavolant.ini", Feinheit{}, {5, 6});
    EXPECT_EQ(DateiLesen(ordner / "Pavolant.ini"),
              "; mine\r\n[Other]\r\nx=1\r\n[Preferences]\r\nminLaenge=2\r\nminWinkel=3\r\nminSteigung=1\r\n"
              "minZRot=1\r\nmaxSturz=30\r\nDreieckeSym=0\r\nScreenPos_Top=5\r\nScreenPos_Left=6\r\n");
}

TEST(Einstellungen, ABadValueStopsWithTheEarlierValuesKept) {
    TempOrdner ordner;
    DateiSchreiben(ordner / "Pavolant.ini",
                   "[Preferences]\nminLaenge=4\nminWinkel=viel\nmaxSturz=9\nScreenPos_Top=300\n");
    Feinheit f;
    try {
        EinstellungenLesen(ordner / "Pavolant.ini", f);
        FAIL() << "no error";
    } catch (const KonvertierungsFehler& e) {
        EXPECT_EQ(e.what(), (ordner / "Pavolant.ini").string() +
                                " [Preferences] minWinkel: 'viel' ist kein gültiger Gleitkommawert");
    }
    EXPECT_EQ(f.MinLaenge, 4);
    EXPECT_EQ(f.MinWinkel, 3);
    EXPECT_EQ(f.MaxSturz, 30);
}

TEST(Einstellungen, KeepsTheWindowOnTheScreen) {
    // The design position fits a wide screen and is moved on a small one.
    EXPECT_EQ(AufBildschirm({82, 814}, 829, 894, 1920, 1080).Links, 814);
    EXPECT_EQ(AufBildschirm({82, 814}, 829, 894, 1920, 1080).Oben, 82);
    EXPECT_EQ(AufBildschirm({82, 814}, 829, 894, 1280, 800).Links, 1);
    EXPECT_EQ(AufBildschirm({82, 814}, 829, 894, 1280, 800).Oben, 1);
    // A stored position off the screen on any side comes back, without overflow.
    EXPECT_EQ(AufBildschirm({-3000, -5000}, 829, 894, 1920, 1080).Links, 1);
    EXPECT_EQ(AufBildschirm({2147483647, 2147483647}, 829, 894, 1920, 1080).Oben, 1);
}

// The preview's texture folder: its own key, written alone; every other byte of the file
// stays, the window's settings written afterwards keep it, and names beyond ASCII come
// back as they went in.
// The position alone reads back exactly what was written, on any screen of a desktop
// (left of and above the primary one too); the settings around it stay untouched.
TEST(Einstellungen, ThePositionReadsBackAsWritten) {
    TempOrdner ordner;
    const auto datei = ordner / "Pavolant.ini";
    EXPECT_FALSE(FensterpositionLesen(datei));
    for (const Fensterposition p :
         {Fensterposition{10, 20}, {-10, -1500}, {0, 0}, {-2147483647, 2147483647}}) {
        EinstellungenSchreiben(datei, Feinheit{}, p);
        const std::optional<Fensterposition> gelesen = FensterpositionLesen(datei);
        ASSERT_TRUE(gelesen);
        EXPECT_EQ(gelesen->Oben, p.Oben);
        EXPECT_EQ(gelesen->Links, p.Links);
    }
    DateiSchreiben(datei, "[Preferences]\r\nmaxSturz=45\r\nScreenPos_Left=7\r\n");
    const std::optional<Fensterposition> teil = FensterpositionLesen(datei);
    ASSERT_TRUE(teil);
    EXPECT_EQ(teil->Oben, 1);  // the key's default
    EXPECT_EQ(teil->Links, 7);
}

TEST(Einstellungen, TheTextureFolderIsAKeyOfItsOwn) {
    TempOrdner ordner;
    const auto pfad = ordner / "Pavolant.ini";
    EXPECT_FALSE(TexturordnerLesen(pfad));
    const std::string vorher =
        "; kept by hand\r\n[Preferences]\r\nminLaenge=2,5\r\nScreenPos_Top=82\r\n\r\n[Other]\r\nx=1\r\n";
    DateiSchreiben(pfad, vorher);
    EXPECT_FALSE(TexturordnerLesen(pfad));
    TexturordnerSchreiben(pfad, "/data/Texturen für Straßen");
    EXPECT_EQ(DateiLesen(pfad),
              "; kept by hand\r\n[Preferences]\r\nminLaenge=2,5\r\nScreenPos_Top=82\r\n"
              "Texturordner=/data/Texturen für Straßen\r\n\r\n[Other]\r\nx=1\r\n");
    EXPECT_EQ(TexturordnerLesen(pfad), "/data/Texturen für Straßen");

    // The window's settings written at closing leave the folder where it is.
    MitDezimaltrenner t(',');
    EinstellungenSchreiben(pfad, Feinheit{}, {82, 814});
    EXPECT_EQ(TexturordnerLesen(pfad), "/data/Texturen für Straßen");
    Feinheit f;
    EXPECT_TRUE(EinstellungenLesen(pfad, f));

    // An empty folder reads as none.
    TexturordnerSchreiben(pfad, "");
    EXPECT_FALSE(TexturordnerLesen(pfad));
}

TEST(Einstellungen, TheCommandLinesMemorySizeInBinaryUnits) {
    const std::pair<const char*, std::optional<std::uint64_t>> faelle[] = {
        {"8G", std::uint64_t{8} << 30},
        {"500M", std::uint64_t{500} << 20},
        {"2048", std::uint64_t{2048} << 20},
        {"1.5g", std::uint64_t{3} << 29},
        {"64MB", std::uint64_t{64} << 20},
        {"1GiB", std::uint64_t{1} << 30},
        {"512K", std::uint64_t{512} << 10},
        {"0.5k", 512u},
        {"1T", std::uint64_t{1} << 40},
        {"0.0009K", std::nullopt},
        {"0", std::nullopt},
        {"0M", std::nullopt},
        {"", std::nullopt},
        {"G", std::nullopt},
        {"8X", std::nullopt},
        {"-8G", std::nullopt},
        {"8 G", std::nullopt},
        {"1,5G", std::nullopt},
        {"16777216T", std::nullopt},  // 2^64 bytes
    };
    for (const auto& [text, erwartet] : faelle) EXPECT_EQ(SpeichergroesseAusText(text), erwartet) << text;
}

TEST(Einstellungen, TheMemoryLimitIsHalfThePhysicalMemoryUnlessTheFileSetsIt) {
    EXPECT_GT(PhysischerSpeicher(), std::uint64_t{64} << 20);
    EXPECT_EQ(StandardSpeicherGrenze(), PhysischerSpeicher() / 2);

    TempOrdner ordner;
    const auto pfad = ordner / "Pavolant.ini";
    EXPECT_EQ(SpeicherGrenzeLesen(pfad), std::nullopt);  // no file
    const auto mit = [&](const std::string& zeile) {
        DateiSchreiben(pfad, "[Preferences]\r\nminLaenge=2\r\n" + zeile);
        return SpeicherGrenzeLesen(pfad);
    };
    EXPECT_EQ(mit(""), std::nullopt);
    // Not above 0 is no limit, and 0 would switch the check off: refused, by file and key.
    for (const std::string wert : {"0", "-5", "-0", "0,0"}) {
        try {
            mit("maxSpeicherMB=" + wert + "\r\n");
            ADD_FAILURE() << wert << ": no error";
        } catch (const KonvertierungsFehler& e) {
            EXPECT_EQ(e.what(), pfad.string() + " [Preferences] maxSpeicherMB: '" + wert +
                                    "' is no memory limit: give a number of megabytes above 0, or leave "
                                    "maxSpeicherMB out for half of the physical memory");
        }
    }
    // However small, a positive limit stays one.
    EXPECT_EQ(mit("maxSpeicherMB=0,0000001\r\n"), 1u);
    EXPECT_EQ(mit("maxSpeicherMB=1E-300\r\n"), 1u);
    EXPECT_EQ(mit("maxSpeicherMB=0,001\r\n"), 1048u);
    EXPECT_EQ(mit("maxSpeicherMB=512\r\n"), std::uint64_t{512} << 20);
    EXPECT_EQ(mit("maxSpeicherMB=0,5\r\n"), std::uint64_t{1} << 19);
    EXPECT_EQ(mit("maxSpeicherMB=1E300\r\n"), UINT64_MAX);
    try {
        mit("maxSpeicherMB=viel\r\n");
        ADD_FAILURE() << "no error";
    } catch (const KonvertierungsFehler& e) {
        EXPECT_EQ(e.what(),
                  pfad.string() + " [Preferences] maxSpeicherMB: 'viel' ist kein gültiger Gleitkommawert");
    }
    // Saving the settings leaves the key as the user typed it.
    mit("maxSpeicherMB=2048\r\n");
    EinstellungenSchreiben(pfad, Feinheit{}, Fensterposition{});
    EXPECT_NE(DateiLesen(pfad).find("maxSpeicherMB=2048\r\n"), std::string::npos);
}

// Where the settings live: the working directory where a file can be made there, else
// the user's application data (a folder of its own, made on the way); without such a
// folder (POSIX) always the working directory. A file where the working directory should
// be stands for a folder closed to the user: nothing can be made inside it, not even by
// root, on either system.
TEST(Einstellungen, TheFileMovesToTheApplicationDataOnlyWhereTheWorkingDirectoryIsClosed) {
    TempOrdner ordner;
    const std::filesystem::path offen = ordner / "offen", zu = ordner / "zu", daten = ordner / "daten";
    std::filesystem::create_directory(offen);
    DateiSchreiben(zu, "");
    struct Fall {
        std::filesystem::path arbeit, daten, erwartet;
    } faelle[] = {
        {offen, daten, offen / "Pavolant.ini"},
        {zu, daten, daten / "Pavolant" / "Pavolant.ini"},
        {zu, {}, zu / "Pavolant.ini"},
    };
    for (const Fall& f : faelle) {
        const std::filesystem::path pfad = EinstellungsPfad(f.arbeit, f.daten);
        EXPECT_EQ(pfad, f.erwartet) << Utf8(f.arbeit);
        if (f.daten.empty()) continue;
        // The file is saved there and read back; the probe leaves nothing behind.
        Feinheit feinheit;
        feinheit.MaxSturz = 17;
        EinstellungenSchreiben(pfad, feinheit, {5, 6}, Sprachwahl::System);
        Feinheit gelesen;
        EXPECT_EQ(EinstellungenLesen(pfad, gelesen)->Links, 6);
        EXPECT_EQ(gelesen.MaxSturz, 17);
        EXPECT_EQ(test::Eintraege(pfad.parent_path()), std::vector<std::string>{"Pavolant.ini"});
    }
}

}  // namespace
