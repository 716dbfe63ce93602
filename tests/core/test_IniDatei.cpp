#include "persistence/IniDatei.h"

#include "model/Zahlen.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using pavolant::IniDatei;
using pavolant::IniFehler;
using pavolant::KonvertierungsFehler;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Eintraege;
using pavolant::test::MitDezimaltrenner;
using pavolant::test::TempOrdner;
#ifndef _WIN32
using pavolant::test::ImKindprozess;
using pavolant::test::OhneRootRechte;
#endif
namespace fs = std::filesystem;

fs::perms Rechte(const fs::path& pfad) { return fs::status(pfad).permissions() & fs::perms::mask; }

// ---- Reading -------------------------------------------------------------------------

TEST(IniDateiLesen, SektionenUndSchluesselOhneRuecksichtAufGrossKlein) {
    const auto ini = IniDatei::AusText("[Strasse]\r\nBreite=3\r\n[SPUR]\r\nanzahl = 2\r\n");
    EXPECT_EQ(ini.LiesString("strasse", "BREITE", "x"), "3");
    EXPECT_EQ(ini.LiesString("STRASSE", "breite", "x"), "3");
    EXPECT_EQ(ini.LiesString("Spur", "Anzahl", "x"), "2");
    EXPECT_TRUE(ini.SektionVorhanden("spur"));
    EXPECT_TRUE(ini.SektionVorhanden("StRaSsE"));
    EXPECT_FALSE(ini.SektionVorhanden("Spuren"));
    // Only ASCII letters are folded.
    const auto umlaut = IniDatei::AusText("[Äste]\nÖl=1\n");
    EXPECT_EQ(umlaut.LiesString("Äste", "Öl", "x"), "1");
    EXPECT_EQ(umlaut.LiesString("äste", "Öl", "x"), "x");
    EXPECT_EQ(umlaut.LiesString("Äste", "öl", "x"), "x");
}

TEST(IniDateiLesen, ZeilenArten) {
    const auto ini = IniDatei::AusText(
        "vorne=0\n"
        "[  Name  ] Rest der Zeile\n"
        "  \tschluessel \t=  \t Wert mit  Blanks \t \n"
        ";kommentar=1\n"
        "   ; eingerueckt=2\n"
        "ohne Gleichheitszeichen\n"
        "leer=\n"
        "nurBlanks=   \n"
        "a=b=c\n"
        "[Zweite]\n"
        "vorne=9\n");
    // Lines before the first section belong to no section.
    EXPECT_EQ(ini.LiesString("", "vorne", "-"), "-");
    EXPECT_EQ(ini.LiesString("Name", "vorne", "-"), "-");
    EXPECT_EQ(ini.LiesString("Zweite", "vorne", "-"), "9");
    EXPECT_TRUE(ini.SektionVorhanden("Name"));
    EXPECT_EQ(ini.LiesString("Name", "schluessel", "-"), "Wert mit  Blanks");
    // Comments are never keys, whatever they contain.
    EXPECT_EQ(ini.LiesString("Name", ";kommentar", "-"), "-");
    EXPECT_EQ(ini.LiesString("Name", "kommentar", "-"), "-");
    EXPECT_EQ(ini.LiesString("Name", "; eingerueckt", "-"), "-");
    EXPECT_EQ(ini.LiesString("Name", "ohne Gleichheitszeichen", "-"), "-");
    // An existing key with an empty value is empty, not missing.
    EXPECT_EQ(ini.LiesString("Name", "leer", "-"), "");
    EXPECT_EQ(ini.LiesString("Name", "nurBlanks", "-"), "");
    // The key ends at the first '='.
    EXPECT_EQ(ini.LiesString("Name", "a", "-"), "b=c");
    // A '[' without ']' opens no section; the file is refused (UnklareStrukturWirdAbgelehnt).
    EXPECT_EQ(ini.LiesString("Fehlend", "a", "vorgabe"), "vorgabe");
}

TEST(IniDateiLesen, DoppelteSektionenUndSchluessel) {
    auto ini = IniDatei::AusText(
        "[A]\n"
        "x=1\n"
        "x=2\n"
        "[B]\n"
        "y=3\n"
        "[a]\n"
        "x=4\n"
        "z=5\n");
    EXPECT_EQ(ini.LiesString("A", "x", "-"), "1");
    // Only the first occurrence of a section is read.
    EXPECT_EQ(ini.LiesString("A", "z", "-"), "-");

    ini.SchreibeString("a", "X", "10");
    ini.SchreibeString("A", "z", "11");
    EXPECT_EQ(ini.Inhalt(),
              "[A]\n"
              "x=10\n"
              "x=2\n"
              "z=11\n"
              "[B]\n"
              "y=3\n"
              "[a]\n"
              "x=4\n"
              "z=5\n");
}

TEST(IniDateiLesen, Ganzzahlen) {
    const std::vector<std::pair<std::string, int>> gueltig = {
        {"42", 42},
        {"-17", -17},
        {"+5", 5},
        {"007", 7},
        {"  12  ", 12},
        {"0x1F", 31},
        {"0XfF", 255},
        {"-0x10", -16},
        {"0x7FFFFFFF", INT_MAX},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-0x80000000", INT_MIN},
    };
    for (const auto& [text, erwartet] : gueltig) {
        const auto ini = IniDatei::AusText("[S]\nk=" + text + "\n");
        EXPECT_EQ(ini.LiesInteger("S", "k", -999), erwartet) << text;
    }
    // clang-format off
    const std::vector<std::string> ungueltig = {
        "", "+", "-", "0x", "12abc", "1 2", "1.5", "1,5", "- 5", "0x1G", "x12", "12 ;kommentar",
        "2147483648", "-2147483649", "0x80000000", "0xFFFFFFFF", "99999999999999999999999",
    };
    // clang-format on
    for (const auto& text : ungueltig) {
        const auto ini = IniDatei::AusText("[S]\nk=" + text + "\n");
        EXPECT_EQ(ini.LiesInteger("S", "k", -999), -999) << text;
        EXPECT_EQ(ini.LiesInteger("S", "k", 3), 3) << text;
    }
    const auto ini = IniDatei::AusText("[S]\n");
    EXPECT_EQ(ini.LiesInteger("S", "fehlt", 8), 8);
    EXPECT_EQ(ini.LiesInteger("T", "fehlt", -8), -8);
}

TEST(IniDateiLesen, Wahrheitswerte) {
    const auto ini = IniDatei::AusText("[S]\neins=1\nnull=0\nzwei=2\nminus=-1\nhex=0x0\nja=ja\nleer=\n");
    for (const bool vorgabe : {false, true}) {
        EXPECT_TRUE(ini.LiesBool("S", "eins", vorgabe));
        EXPECT_FALSE(ini.LiesBool("S", "null", vorgabe));
        EXPECT_TRUE(ini.LiesBool("S", "zwei", vorgabe));
        EXPECT_TRUE(ini.LiesBool("S", "minus", vorgabe));
        EXPECT_FALSE(ini.LiesBool("S", "hex", vorgabe));
        EXPECT_EQ(ini.LiesBool("S", "ja", vorgabe), vorgabe);
        EXPECT_EQ(ini.LiesBool("S", "leer", vorgabe), vorgabe);
        EXPECT_EQ(ini.LiesBool("S", "fehlt", vorgabe), vorgabe);
    }
}

TEST(IniDateiLesen, WertlaengeBegrenzt) {
    const std::size_t max = IniDatei::kMaxWertLaenge;
    ASSERT_EQ(max, 2047u);
    const std::string genau(max, 'a');
    const std::string zuLang(max + 5, 'b');
    // The limit counts characters: "ä" is two bytes, "€" three and "𝄞" four, one
    // character each.
    std::string umlaute, euros, noten;
    for (std::size_t i = 0; i < max; ++i) umlaute += "ä";
    for (std::size_t i = 0; i < max + 1; ++i) euros += "€";
    for (std::size_t i = 0; i < max + 3; ++i) noten += "𝄞";
    std::string halb;
    for (int i = 0; i < 1024; ++i) halb += "é";  // 2048 bytes, 1024 characters
    const auto ini = IniDatei::AusText("[S]\ngenau=" + genau + "\nlang=" + zuLang + "\numlaute=" + umlaute +
                                       "\neuros=" + euros + "\nnoten=" + noten + "\nhalb=" + halb + "\n");
    EXPECT_EQ(ini.LiesString("S", "genau", ""), genau);
    EXPECT_EQ(ini.LiesString("S", "lang", ""), zuLang.substr(0, max));
    EXPECT_EQ(ini.LiesString("S", "umlaute", ""), umlaute);
    EXPECT_EQ(ini.LiesString("S", "euros", ""), euros.substr(0, 3 * max));
    EXPECT_EQ(ini.LiesString("S", "noten", ""), noten.substr(0, 4 * max));
    EXPECT_EQ(ini.LiesString("S", "halb", ""), halb);

    // A long value is cut only where it is handed back as text, never written shorter.
    auto datei = IniDatei::AusText("");
    datei.SchreibeString("S", "k", zuLang);
    EXPECT_NE(datei.Inhalt().find("k=" + zuLang + "\r\n"), std::string::npos);

    // Numbers are converted from the whole value: cut first, these would read as 0.
    const std::string nullen(max, '0');
    const auto zahlen = IniDatei::AusText("[S]\ni=" + nullen + "5\nz=" + nullen + "2.5\n");
    EXPECT_EQ(zahlen.LiesInteger("S", "i", -1), 5);
    MitDezimaltrenner punkt('.');
    EXPECT_EQ(zahlen.LiesZahl("S", "z", "0"), 2.5);
}

TEST(IniDateiLesen, WertInAnfuehrungszeichen) {
    const auto ini = IniDatei::AusText(
        "[S]\n"
        "breite=\"7\"\n"
        "ganz= '0x10' \n"
        "datei='road.dds'\n"
        "blanks=  \" a b \"  \n"
        "leer=\"\"\n"
        "eins=\"\n"
        "gemischt=\"x'\n"
        "innen=a \"b\" c\n"
        "doppelt=\"\"x\"\"\n"
        "halb=\"x\n");
    MitDezimaltrenner punkt('.');
    EXPECT_EQ(ini.LiesZahl("S", "breite", "0"), 7.0);
    EXPECT_EQ(ini.LiesZahl("S", "breite", 0.0), 7.0);
    EXPECT_EQ(ini.LiesInteger("S", "ganz", -1), 16);
    EXPECT_TRUE(ini.LiesBool("S", "ganz", false));
    // Only one pair, matching, around the whole value.
    const std::vector<std::pair<std::string, std::string>> texte = {
        {"datei", "road.dds"}, {"blanks", " a b "},    {"leer", ""},         {"eins", "\""},
        {"gemischt", "\"x'"},  {"innen", "a \"b\" c"}, {"doppelt", "\"x\""}, {"halb", "\"x"},
    };
    for (const auto& [schluessel, erwartet] : texte)
        EXPECT_EQ(ini.LiesString("S", schluessel, "-"), erwartet);
}

TEST(IniDateiSchreiben, WertInAnfuehrungszeichenKommtSoZurueck) {
    auto ini = IniDatei::AusText("[S]\nk=1\n");
    ini.SchreibeString("S", "k", "\"7\"");
    ini.SchreibeString("S", "a", " 'x' ");
    ini.SchreibeString("S", "ohne", "a\"b\"");
    EXPECT_EQ(ini.Inhalt(), "[S]\nk=\"\"7\"\"\na=\"'x'\"\nohne=a\"b\"\n");
    const auto zurueck = IniDatei::AusText(ini.Inhalt());
    EXPECT_EQ(zurueck.LiesString("S", "k", "-"), "\"7\"");
    EXPECT_EQ(zurueck.LiesString("S", "a", "-"), "'x'");
    EXPECT_EQ(zurueck.LiesString("S", "ohne", "-"), "a\"b\"");
}

TEST(IniDateiLesen, ZahlenMitBeidenTrennern) {
    const auto ini = IniDatei::AusText("[S]\nkomma=1,5\npunkt=2.25\nexp=-3,5E2\nfalsch=abc\nleer=\n");
    for (const char trenner : {',', '.'}) {
        MitDezimaltrenner mit(trenner);
        EXPECT_EQ(ini.LiesZahl("S", "komma", "0"), 1.5) << trenner;
        EXPECT_EQ(ini.LiesZahl("S", "punkt", "0"), 2.25) << trenner;
        EXPECT_EQ(ini.LiesZahl("S", "exp", "0"), -350.0) << trenner;
        EXPECT_EQ(ini.LiesZahl("S", "fehlt", "0,75"), 0.75) << trenner;
        EXPECT_EQ(ini.LiesZahl("Fehlt", "fehlt", "12.5"), 12.5) << trenner;
        EXPECT_THROW(ini.LiesZahl("S", "falsch", "0"), KonvertierungsFehler) << trenner;
        // An empty value is there: the default text is not used.
        EXPECT_THROW(ini.LiesZahl("S", "leer", "1"), KonvertierungsFehler) << trenner;
        EXPECT_THROW(ini.LiesZahl("S", "fehlt", "kein"), KonvertierungsFehler) << trenner;
    }
}

TEST(IniDateiLesen, KeineZahlNenntDateiSektionUndSchluessel) {
    auto fehler = [](const IniDatei& ini, std::string_view sektion, std::string_view schluessel) {
        try {
            ini.LiesZahl(sektion, schluessel, 0.0);
        } catch (const KonvertierungsFehler& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    std::string text = "[Fahrbahn_Geo]\r\nSturz=\r\n[S]\r\nnull=1";
    text += '\0';
    text += "2\r\n";
    const auto datei = IniDatei::AusText(text, "Dorf.ini");
    // The section and key as asked for, however the file spells them.
    EXPECT_EQ(fehler(datei, "fahrbahn_geo", "STURZ"),
              "Dorf.ini [fahrbahn_geo] STURZ: '' ist kein gültiger Gleitkommawert");
    // A NUL byte in the value is shown, not taken for the message's end.
    EXPECT_EQ(fehler(datei, "S", "null"), "Dorf.ini [S] null: '1\\x002' ist kein gültiger Gleitkommawert");
    // A text that never came from a file has no file to name.
    EXPECT_EQ(fehler(IniDatei::AusText("[S]\nx=a\n"), "S", "x"),
              "[S] x: 'a' ist kein gültiger Gleitkommawert");
    // The default text is the program's own: its error is about the program, not a place.
    EXPECT_THROW(datei.LiesZahl("S", "fehlt", "kein"), KonvertierungsFehler);
}

// ---- Writing -------------------------------------------------------------------------

TEST(IniDateiSchreiben, AenderungLaesstAllesAndereUnberuehrt) {
    const std::string vorher =
        "; Parameter der Strasse\r\n"
        "\r\n"
        "[Strasse]\r\n"
        "  Breite = 3,5\r\n"
        "Unbekannt=bleibt\r\n"
        "; Kommentar zwischen Schluesseln\r\n"
        "Laenge=100\r\n"
        "\r\n"
        "[Spur]\r\n"
        "Breite=2\r\n";
    auto ini = IniDatei::AusText(vorher);
    EXPECT_EQ(ini.Inhalt(), vorher);

    ini.SchreibeString("STRASSE", "laenge", "250");
    std::string erwartet = vorher;
    erwartet.replace(erwartet.find("Laenge=100"), 10, "Laenge=250");
    EXPECT_EQ(ini.Inhalt(), erwartet);

    // The key keeps its spelling in the file; the line is rewritten without the blanks.
    ini.SchreibeString("strasse", "BREITE", "4");
    erwartet.replace(erwartet.find("  Breite = 3,5"), 14, "Breite=4");
    EXPECT_EQ(ini.Inhalt(), erwartet);
    EXPECT_EQ(ini.LiesString("Spur", "Breite", "-"), "2");
}

TEST(IniDateiSchreiben, NeuerSchluesselNachLetzterNichtleererZeile) {
    auto ini = IniDatei::AusText(
        "[A]\n"
        "x=1\n"
        "; Schluss von A\n"
        "\n"
        "   \n"
        "[NurKopf]\n"
        "[B]\n"
        "y=2\n"
        "\n");
    ini.SchreibeString("a", "neu", "3");
    ini.SchreibeString("NurKopf", "k", "4");
    ini.SchreibeString("B", "z", "5");
    ini.SchreibeString("A", "neu2", "6");
    EXPECT_EQ(ini.Inhalt(),
              "[A]\n"
              "x=1\n"
              "; Schluss von A\n"
              "neu=3\n"
              "neu2=6\n"
              "\n"
              "   \n"
              "[NurKopf]\n"
              "k=4\n"
              "[B]\n"
              "y=2\n"
              "z=5\n"
              "\n");
}

TEST(IniDateiSchreiben, NeueSektionAmEnde) {
    auto ini = IniDatei::AusText("[A]\r\nx=1\r\n\r\n");
    ini.SchreibeString("Neu", "k", "v");
    ini.SchreibeString("neu", "k2", "w");
    EXPECT_EQ(ini.Inhalt(), "[A]\r\nx=1\r\n\r\n[Neu]\r\nk=v\r\nk2=w\r\n");
    EXPECT_TRUE(ini.SektionVorhanden("NEU"));

    // A last line without a line end gets one; the section follows directly.
    auto ohneEnde = IniDatei::AusText("[A]\nx=1");
    ohneEnde.SchreibeString("B", "y", "2");
    EXPECT_EQ(ohneEnde.Inhalt(), "[A]\nx=1\n[B]\ny=2\n");

    // Lines before the first section are no section: a key without one needs a header.
    auto vorne = IniDatei::AusText("k=1\n");
    vorne.SchreibeString("", "k", "2");
    EXPECT_EQ(vorne.Inhalt(), "k=1\n[]\nk=2\n");
    EXPECT_EQ(vorne.LiesString("", "k", "-"), "2");
}

TEST(IniDateiSchreiben, TypisierteWerte) {
    MitDezimaltrenner komma(',');
    auto ini = IniDatei::AusText("");
    ini.SchreibeInteger("S", "min", INT_MIN);
    ini.SchreibeInteger("S", "max", INT_MAX);
    ini.SchreibeBool("S", "ja", true);
    ini.SchreibeBool("S", "nein", false);
    ini.SchreibeZahl("S", "zahl", 1.5);
    EXPECT_EQ(ini.Inhalt(), "[S]\r\nmin=-2147483648\r\nmax=2147483647\r\nja=1\r\nnein=0\r\nzahl=1,5\r\n");
    EXPECT_EQ(ini.LiesInteger("S", "min", 0), INT_MIN);
    EXPECT_EQ(ini.LiesInteger("S", "max", 0), INT_MAX);
    EXPECT_TRUE(ini.LiesBool("S", "ja", false));
    EXPECT_FALSE(ini.LiesBool("S", "nein", true));
    EXPECT_EQ(ini.LiesZahl("S", "zahl", "0"), 1.5);
    {
        MitDezimaltrenner punkt('.');
        ini.SchreibeZahl("S", "zahl", -0.25);
        EXPECT_EQ(ini.LiesString("S", "zahl", ""), "-0.25");
    }
}

TEST(IniDateiSchreiben, ZeilenumbruecheImWertWerdenBlanks) {
    auto ini = IniDatei::AusText("[S]\nk=alt\n");
    ini.SchreibeString("S", "k", "eins\r\nzwei\nx\r");
    ini.SchreibeString("S", "neu", "a\nb=c\n[T]");
    EXPECT_EQ(ini.Inhalt(), "[S]\nk=eins  zwei x \nneu=a b=c [T]\n");
    EXPECT_FALSE(ini.SektionVorhanden("T"));
    // What is read is what was written, less the blanks around it.
    EXPECT_EQ(ini.LiesString("S", "k", ""), "eins  zwei x");
}

TEST(IniDateiSchreiben, UngueltigesUtf8ImWert) {
    auto ini = IniDatei::AusText("[S]\n");
    ini.SchreibeString("S", "k",
                       "a\xFF"
                       "b\xC3");
    EXPECT_EQ(ini.LiesString("S", "k", ""),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(ini.Inhalt(),
              "[S]\nk=a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD\n");
}

TEST(IniDateiSchreiben, NamenDieNichtZurueckgelesenWerdenKoennten) {
    const std::string vorher = "[S]\nk=1\n";
    auto ini = IniDatei::AusText(vorher);
    EXPECT_THROW(ini.SchreibeString("S", "a=b", "1"), std::invalid_argument);
    EXPECT_THROW(ini.SchreibeString("S", ";k", "1"), std::invalid_argument);
    EXPECT_THROW(ini.SchreibeString("S", "[k", "1"), std::invalid_argument);
    EXPECT_THROW(ini.SchreibeString("S", "a\nb", "1"), std::invalid_argument);
    EXPECT_THROW(ini.SchreibeString("S]x", "k", "1"), std::invalid_argument);
    EXPECT_THROW(ini.SchreibeString("S\r\nT", "k", "1"), std::invalid_argument);
    EXPECT_THROW(ini.SchreibeString("S", "\xFF", "1"), std::invalid_argument);
    EXPECT_EQ(ini.Inhalt(), vorher);

    // Blanks around names are not part of them, as when reading.
    ini.SchreibeString(" S ", "\tk ", "2");
    ini.SchreibeString(" T ", " n ", "3");
    EXPECT_EQ(ini.Inhalt(), "[S]\nk=2\n[T]\nn=3\n");
    EXPECT_EQ(ini.LiesString(" t", "n\t", "-"), "3");
}

TEST(IniDateiSchreiben, VieleSektionen) {
    auto ini = IniDatei::AusText("");
    for (int s = 0; s < 300; ++s)
        for (int k = 0; k < 20; ++k)
            ini.SchreibeInteger("Sektion" + std::to_string(s), "k" + std::to_string(k), s * 100 + k);
    // Rewrite every other key in a second pass, then check all of them.
    for (int s = 0; s < 300; s += 2)
        for (int k = 0; k < 20; ++k)
            ini.SchreibeInteger("SEKTION" + std::to_string(s), "K" + std::to_string(k), -(s * 100 + k));
    const auto zurueck = IniDatei::AusText(ini.Inhalt());
    for (int s = 0; s < 300; ++s)
        for (int k = 0; k < 20; ++k) {
            const int erwartet = (s % 2 == 0 ? -1 : 1) * (s * 100 + k);
            ASSERT_EQ(zurueck.LiesInteger("sektion" + std::to_string(s), "k" + std::to_string(k), 1),
                      erwartet);
        }
    EXPECT_EQ(zurueck.Inhalt(), ini.Inhalt());
}

// ---- Index -----------------------------------------------------------------------------

// The engine's rules spelt out on a plain list of lines, every lookup a scan from the
// top: first section of a name, first key in it, a new key after the section's last
// non-blank line, a new section at the end. The engine must agree with it byte for byte.
class Zeilenliste {
public:
    explicit Zeilenliste(const std::string& text) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            const auto lf = std::min(text.find('\n', pos), text.size());
            zeilen_.push_back(text.substr(pos, lf - pos));
            pos = lf + 1;
        }
    }
    std::optional<std::string> Lies(const std::string& sektion, const std::string& schluessel) const {
        const auto k = Finde(sektion, schluessel);
        if (!k) return std::nullopt;
        const std::string& z = zeilen_[*k];
        return Trim(z.substr(z.find('=') + 1));
    }
    void Schreibe(const std::string& sektion, const std::string& schluessel, const std::string& wert) {
        const auto anfang = Sektion(sektion);
        if (!anfang) {
            zeilen_.push_back("[" + sektion + "]");
            zeilen_.push_back(schluessel + "=" + wert);
            return;
        }
        if (const auto k = Finde(sektion, schluessel)) {
            const std::string& z = zeilen_[*k];
            zeilen_[*k] = Trim(z.substr(0, z.find('='))) + "=" + wert;
            return;
        }
        std::size_t ende = *anfang + 1;
        while (ende < zeilen_.size() && !Kopf(zeilen_[ende])) ++ende;
        while (ende > *anfang + 1 && Trim(zeilen_[ende - 1]).empty()) --ende;
        zeilen_.insert(zeilen_.begin() + static_cast<std::ptrdiff_t>(ende), schluessel + "=" + wert);
    }
    bool Hat(const std::string& sektion) const { return Sektion(sektion).has_value(); }
    std::string Inhalt() const {
        std::string s;
        for (const auto& z : zeilen_) s += z + "\n";
        return s;
    }

private:
    static std::string Trim(const std::string& s) {
        const auto a = s.find_first_not_of(" \t\r");
        return a == std::string::npos ? "" : s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
    }
    static bool Gleich(const std::string& a, const std::string& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
        });
    }
    static std::optional<std::string> Kopf(const std::string& z) {
        const std::string t = Trim(z);
        if (t.empty() || t[0] != '[' || t.find(']') == std::string::npos) return std::nullopt;
        return Trim(t.substr(1, t.find(']') - 1));
    }
    std::optional<std::size_t> Sektion(const std::string& name) const {
        for (std::size_t i = 0; i < zeilen_.size(); ++i)
            if (const auto n = Kopf(zeilen_[i]); n && Gleich(*n, name)) return i;
        return std::nullopt;
    }
    std::optional<std::size_t> Finde(const std::string& sektion, const std::string& schluessel) const {
        const auto anfang = Sektion(sektion);
        if (!anfang) return std::nullopt;
        for (std::size_t i = *anfang + 1; i < zeilen_.size() && !Kopf(zeilen_[i]); ++i) {
            const std::string t = Trim(zeilen_[i]);
            if (t.empty() || t[0] == ';' || t.find('=') == std::string::npos) continue;
            if (Gleich(Trim(t.substr(0, t.find('='))), schluessel)) return i;
        }
        return std::nullopt;
    }
    std::vector<std::string> zeilen_;
};

TEST(IniDateiIndex, StimmtMitZeilenweiserSucheUeberein) {
    // Duplicate sections and keys, comments that look like keys, blank lines at the ends
    // of sections, keys before the first section, names in other cases.
    const std::string vorher =
        "k1=vorne\n"
        "[S1]\n"
        "k1=a\n"
        " K1 = doppelt\n"
        "; k2=kommentar\n"
        "\n"
        "[s2] Rest\n"
        "k2=b\n"
        "   \n"
        "[S1]\n"
        "k3=zweite Sektion\n"
        "[S3]\n"
        "\n";
    auto ini = IniDatei::AusText(vorher);
    Zeilenliste referenz(vorher);
    std::mt19937 zufall(20261207);
    const auto name = [&](const char* vorsilbe, int anzahl) {
        std::string n = vorsilbe + std::to_string(std::uniform_int_distribution<int>(0, anzahl)(zufall));
        if (zufall() % 3 == 0)
            for (char& c : n) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return n;
    };
    // Enough rewrites of long values that replaced lines pile up and are dropped, and
    // enough new keys that the index grows several times.
    for (int i = 0; i < 1500; ++i) {
        const std::string sektion = name("s", 20), schluessel = name("k", 40);
        const std::string wert(zufall() % 90, static_cast<char>('a' + zufall() % 26));
        ini.SchreibeString(sektion, schluessel, wert);
        referenz.Schreibe(sektion, schluessel, wert);
        const std::string s = name("s", 20), k = name("k", 40);
        ASSERT_EQ(ini.LiesString(s, k, "\x01"), referenz.Lies(s, k).value_or("\x01"))
            << i << " " << s << " " << k;
        ASSERT_EQ(ini.SektionVorhanden(s), referenz.Hat(s)) << i << " " << s;
    }
    EXPECT_EQ(ini.Inhalt(), referenz.Inhalt());
    // The second [S1] is never read nor written.
    EXPECT_NE(ini.Inhalt().find("\n[S1]\nk3=zweite Sektion\n[S3]\n"), std::string::npos);
    // The same bytes, freshly read, give the same values as the engine that wrote them.
    const auto zurueck = IniDatei::AusText(ini.Inhalt());
    EXPECT_EQ(zurueck.Inhalt(), ini.Inhalt());
    for (int s = 0; s <= 20; ++s)
        for (int k = 0; k <= 40; ++k) {
            const std::string sn = "S" + std::to_string(s), kn = "k" + std::to_string(k);
            ASSERT_EQ(zurueck.LiesString(sn, kn, "\x01"), ini.LiesString(sn, kn, "\x01")) << sn << kn;
        }
}

TEST(IniDateiIndex, VieleSchluesselInEinerSektionUndVieleSektionen) {
    // The shapes of a parameter file with long borders and many spline points.
    std::string text = "[Rand_Geo]\r\n";
    for (int k = 0; k < 20000; ++k) text += "Breite" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
    for (int p = 1; p <= 5000; ++p)
        text += "[SplinePts" + std::to_string(p) + "]\r\nX=" + std::to_string(p) + "\r\n";
    auto ini = IniDatei::AusText(text);
    for (int k = 0; k < 20000; k += 7)
        ASSERT_EQ(ini.LiesInteger("rand_geo", "BREITE" + std::to_string(k), -1), k);
    for (int p = 1; p <= 5000; p += 3)
        ASSERT_EQ(ini.LiesInteger("splinepts" + std::to_string(p), "x", -1), p);
    EXPECT_EQ(ini.LiesInteger("Rand_Geo", "Breite20000", -1), -1);
    EXPECT_FALSE(ini.SektionVorhanden("SplinePts5001"));
    // Every value rewritten twice, longer each time, and one key added per section.
    for (int runde = 0; runde < 2; ++runde) {
        for (int k = 0; k < 20000; ++k)
            ini.SchreibeString("Rand_Geo", "Breite" + std::to_string(k),
                               std::string(runde + 1, 'x') + std::to_string(k));
        for (int p = 1; p <= 5000; ++p) ini.SchreibeInteger("SplinePts" + std::to_string(p), "Y", -p);
    }
    std::string erwartet = "[Rand_Geo]\r\n";
    for (int k = 0; k < 20000; ++k)
        erwartet += "Breite" + std::to_string(k) + "=xx" + std::to_string(k) + "\r\n";
    for (int p = 1; p <= 5000; ++p)
        erwartet += "[SplinePts" + std::to_string(p) + "]\r\nX=" + std::to_string(p) +
                    "\r\nY=" + std::to_string(-p) + "\r\n";
    EXPECT_EQ(ini.Inhalt(), erwartet);
}

// ---- Encodings and line ends -----------------------------------------------------------

TEST(IniDateiKodierung, Windows1252BleibtErhalten) {
    const std::string vorher =
        "[Strasse]\r\nName=Stra\xDF"
        "e\r\nZahl=1\r\n";
    auto ini = IniDatei::AusText(vorher);
    EXPECT_EQ(ini.LiesString("Strasse", "Name", ""), "Straße");
    ini.SchreibeString("Strasse", "Zahl", "2");
    EXPECT_EQ(ini.Inhalt(),
              "[Strasse]\r\nName=Stra\xDF"
              "e\r\nZahl=2\r\n");

    // Characters of Windows-1252 are written as its bytes.
    ini.SchreibeString("Strasse", "Preis", "5 € – „gut“");
    EXPECT_EQ(ini.Inhalt(),
              "[Strasse]\r\nName=Stra\xDF"
              "e\r\nZahl=2\r\nPreis=5 \x80 \x96 \x84gut\x93\r\n");
    EXPECT_EQ(IniDatei::AusText(ini.Inhalt()).LiesString("Strasse", "Preis", ""), "5 € – „gut“");
}

TEST(IniDateiKodierung, ZeichenAusserhalbVonWindows1252MachtDateiZuUtf8) {
    auto ini = IniDatei::AusText(
        "[S]\nName=Stra\xDF"
        "e\nW=1\n");
    ini.SchreibeString("S", "W", "Ω");
    EXPECT_EQ(ini.Inhalt(), "[S]\nName=Straße\nW=Ω\n");
    // The file stays UTF-8 after the value is gone again.
    ini.SchreibeString("S", "W", "1");
    EXPECT_EQ(ini.Inhalt(), "[S]\nName=Straße\nW=1\n");

    // Names count as much as values.
    auto name = IniDatei::AusText("[S]\nName=\xE4\n");
    name.SchreibeString("Ωmega", "k", "1");
    EXPECT_EQ(name.Inhalt(), "[S]\nName=ä\n[Ωmega]\nk=1\n");
}

TEST(IniDateiKodierung, AlleBytesVonWindows1252ImKreis) {
    // Every byte but the line end, including the five Windows-1252 leaves undefined.
    std::string alle;
    for (int b = 0; b < 256; ++b)
        if (b != '\n' && b != '\r') alle += static_cast<char>(b);
    const std::string vorher = "; " + alle + "\n[S]\nwert=" + alle + "\nk=1\n";
    auto ini = IniDatei::AusText(vorher);
    const std::string gelesen = ini.LiesString("S", "wert", "");
    // The undefined bytes read as the C1 controls U+0081, U+008D, U+008F, U+0090, U+009D.
    EXPECT_NE(
        gelesen.find("~\x7F€\xC2\x81‚ƒ„…†‡ˆ‰Š‹Œ\xC2\x8DŽ\xC2\x8F\xC2\x90‘’“”•–—˜™š›œ\xC2\x9DžŸ\xC2\xA0¡"),
        std::string::npos);
    EXPECT_TRUE(gelesen.ends_with("ýþÿ"));
    ini.SchreibeString("S", "k", "2");
    std::string erwartet = vorher;
    erwartet.replace(erwartet.find("k=1"), 3, "k=2");
    EXPECT_EQ(ini.Inhalt(), erwartet);
    // Writing the value read back gives the same bytes.
    ini.SchreibeString("S", "wert", gelesen);
    EXPECT_EQ(ini.Inhalt(), erwartet);
}

TEST(IniDateiKodierung, Windows1252DasAlsUtf8GelesenWuerde) {
    // Only the 0xFF makes this invalid UTF-8; "\xC3\xA4" is then "Ã¤". Once the 0xFF is
    // overwritten, the bytes would read back as "ä": the file must become UTF-8.
    auto ini = IniDatei::AusText("[S]\nx=\xFF\ny=\xC3\xA4\n");
    ASSERT_EQ(ini.LiesString("S", "y", ""), "Ã¤");
    ini.SchreibeString("S", "x", "1");
    const auto zurueck = IniDatei::AusText(ini.Inhalt());
    EXPECT_EQ(zurueck.LiesString("S", "y", ""), "Ã¤");
    EXPECT_EQ(zurueck.LiesString("S", "x", ""), "1");
}

TEST(IniDateiKodierung, Utf8UndBom) {
    const std::string mitBom = "\xEF\xBB\xBF[S]\r\nName=Straße\r\nk=1\r\n";
    auto bom = IniDatei::AusText(mitBom);
    EXPECT_EQ(bom.LiesString("s", "name", ""), "Straße");
    EXPECT_TRUE(bom.SektionVorhanden("S"));
    bom.SchreibeString("S", "k", "Ω");
    EXPECT_EQ(bom.Inhalt(), "\xEF\xBB\xBF[S]\r\nName=Straße\r\nk=Ω\r\n");

    auto ohneBom = IniDatei::AusText("[S]\nName=Straße\n");
    ohneBom.SchreibeString("S", "k", "ß");
    EXPECT_EQ(ohneBom.Inhalt(), "[S]\nName=Straße\nk=ß\n");

    // A BOM before bytes that are no UTF-8: the file is Windows-1252, the BOM is kept as
    // it was and does not hide the first section.
    const std::string falscheBom =
        "\xEF\xBB\xBF[S]\nName=Stra\xDF"
        "e\n";
    auto falsch = IniDatei::AusText(falscheBom);
    EXPECT_TRUE(falsch.SektionVorhanden("S"));
    EXPECT_EQ(falsch.LiesString("S", "Name", ""), "Straße");
    EXPECT_EQ(falsch.Inhalt(), falscheBom);
    falsch.SchreibeString("S", "k", "1");
    EXPECT_EQ(falsch.Inhalt(), falscheBom + "k=1\n");
}

TEST(IniDateiKodierung, Zeilenenden) {
    auto lf = IniDatei::AusText("[S]\nk=1\n");
    lf.SchreibeString("S", "k2", "2");
    lf.SchreibeString("T", "k", "3");
    EXPECT_EQ(lf.Inhalt(), "[S]\nk=1\nk2=2\n[T]\nk=3\n");

    auto crlf = IniDatei::AusText("[S]\r\nk=1\r\n");
    crlf.SchreibeString("S", "k2", "2");
    EXPECT_EQ(crlf.Inhalt(), "[S]\r\nk=1\r\nk2=2\r\n");

    // The first line end decides for the whole file.
    EXPECT_EQ(IniDatei::AusText("[S]\r\na=1\nb=2\r\n").Inhalt(), "[S]\r\na=1\r\nb=2\r\n");
    EXPECT_EQ(IniDatei::AusText("[S]\na=1\r\nb=2\n").Inhalt(), "[S]\na=1\nb=2\n");
    // Only one '\r' belongs to the line end; a second one stays in the line.
    const auto doppelt = IniDatei::AusText("[S]\r\na=1\r\r\nb=2\r\n");
    EXPECT_EQ(doppelt.Inhalt(), "[S]\r\na=1\r\r\nb=2\r\n");
    EXPECT_EQ(doppelt.LiesString("S", "a", ""), "1");
    // Written with LF, such a line would read differently next time: saving twice must
    // give the same file as saving once.
    const auto lfDoppelt = IniDatei::AusText("[S]\na=1\r\r\n[T]\r\r\n");
    EXPECT_EQ(lfDoppelt.Inhalt(), "[S]\na=1\n[T]\n");
    EXPECT_EQ(IniDatei::AusText(lfDoppelt.Inhalt()).Inhalt(), lfDoppelt.Inhalt());
    EXPECT_TRUE(lfDoppelt.SektionVorhanden("T"));

    // No line end to go by: like a new file.
    auto eineZeile = IniDatei::AusText("[S]");
    eineZeile.SchreibeString("S", "k", "1");
    EXPECT_EQ(eineZeile.Inhalt(), "[S]\r\nk=1\r\n");
    auto leer = IniDatei::AusText("");
    EXPECT_EQ(leer.Inhalt(), "");
    leer.SchreibeString("S", "k", "1");
    EXPECT_EQ(leer.Inhalt(), "[S]\r\nk=1\r\n");
}

// Files as other editors save them, in tests/data/ini: the same parameters in each.
fs::path Beispiel(const std::string& name) { return fs::path(PAVOLANT_SOURCE_DIR) / "tests/data/ini" / name; }

void ErwarteBeispielwerte(const IniDatei& ini) {
    EXPECT_EQ(ini.LiesString("Preferences", "StrassenName", "-"), "Straße Ω 𝄞");
    EXPECT_EQ(ini.LiesString("fahrbahn_geo", "breite", "-"), "7,5");
    EXPECT_EQ(ini.LiesInteger("Fahrbahn_Geo", "Sturz", -1), 1);
}

TEST(IniDateiKodierung, Utf16MitBomWirdGelesenUndSoGeschrieben) {
    for (const bool gross : {false, true}) {
        SCOPED_TRACE(gross ? "UTF-16 BE" : "UTF-16 LE");
        const fs::path quelle = Beispiel(gross ? "utf16be_bom.ini" : "utf16le_bom.ini");
        const std::string vorher = DateiLesen(quelle);
        TempOrdner ordner;
        const auto pfad = ordner / "unicode.ini";
        DateiSchreiben(pfad, vorher);
        IniDatei ini(pfad);
        ErwarteBeispielwerte(ini);
        // Unchanged, the file keeps its bytes: BOM, byte order, CR LF.
        EXPECT_EQ(ini.Inhalt(), vorher);

        ini.SchreibeString("Fahrbahn_Geo", "Sturz", "2");
        ini.SchreibeString("Neu", "Name", "ä𝄞");
        ini.Speichern();
        const std::string nachher = DateiLesen(pfad);
        const auto utf16 = [gross](std::u16string_view text) {
            std::string bytes;
            for (const char16_t c : text) {
                const char hoch = static_cast<char>(c >> 8), tief = static_cast<char>(c & 0xFF);
                bytes += gross ? hoch : tief;
                bytes += gross ? tief : hoch;
            }
            return bytes;
        };
        std::string erwartet = vorher;
        erwartet.replace(erwartet.find(utf16(u"Sturz=1")), utf16(u"Sturz=1").size(), utf16(u"Sturz=2"));
        erwartet += utf16(u"[Neu]\r\nName=ä𝄞\r\n");
        EXPECT_EQ(nachher, erwartet);
        const IniDatei zurueck(pfad);
        EXPECT_EQ(zurueck.LiesString("Neu", "Name", "-"), "ä𝄞");
        EXPECT_EQ(zurueck.LiesInteger("Fahrbahn_Geo", "Sturz", -1), 2);
    }
}

TEST(IniDateiKodierung, KaputtesUtf16WirdZuErsatzzeichen) {
    // An unpaired high and low surrogate, then a last odd byte.
    const std::string bytes =
        std::string("\xFF\xFE", 2) + std::string("[\0S\0]\0\n\0k\0=\0\x00\xD8x\0\x00\xDCy\0\n\0z", 23);
    auto ini = IniDatei::AusText(bytes);
    EXPECT_EQ(ini.LiesString("S", "k", "-"), "\xEF\xBF\xBDx\xEF\xBF\xBDy");
    EXPECT_EQ(ini.LiesString("S", "z", "-"), "-");
    EXPECT_TRUE(ini.Inhalt().starts_with(std::string("\xFF\xFE[\0S\0]\0\n\0", 10)));
}

TEST(IniDateiKodierung, Utf32UndUtf16OhneBomWerdenAbgelehnt) {
    const std::vector<std::pair<std::string, std::string>> faelle = {
        {"utf32le_bom.ini", "UTF-32-kodiert"},
        {"utf32be_ohne_bom.ini", "UTF-32-kodiert"},
        {"utf16le_ohne_bom.ini", "UTF-16-kodiert ohne Byte-Order-Mark (BOM)"},
        {"utf16be_ohne_bom.ini", "UTF-16-kodiert ohne Byte-Order-Mark (BOM)"},
    };
    for (const auto& [name, kodierung] : faelle) {
        const fs::path pfad = Beispiel(name);
        try {
            IniDatei ini(pfad);
            ADD_FAILURE() << name << " was read";
        } catch (const IniFehler& f) {
            EXPECT_EQ(std::string(f.what()),
                      "Die Datei " + pfad.string() + " ist " + kodierung +
                          "; bitte als UTF-8, UTF-16 mit BOM oder Windows-1252 speichern");
        }
    }
    // UTF-32 BE with BOM, and a short UTF-16 text without one.
    EXPECT_THROW(IniDatei::AusText(std::string("\0\0\xFE\xFF\0\0\0[", 8)), IniFehler);
    EXPECT_THROW(IniDatei::AusText(std::string("[\0S\0]\0", 6)), IniFehler);
}

TEST(IniDateiKodierung, EinzelneNullbytesMachenKeinUtf16) {
    // A text file with a stray zero byte is still text, as before.
    const auto ini = IniDatei::AusText(std::string("[S]\r\nk=1\r\nx=a\0b\r\nl=2\r\n", 22));
    EXPECT_EQ(ini.LiesInteger("S", "k", -1), 1);
    EXPECT_EQ(ini.LiesInteger("S", "l", -1), 2);
    // Nothing but zero bytes: no encoding at all, read as before (one line, no key).
    EXPECT_EQ(IniDatei::AusText(std::string(64, '\0')).Inhalt(), std::string(64, '\0') + "\r\n");
}

TEST(IniDateiKodierung, EineGespeicherteDateiWirdNieAbgelehnt) {
    // Zero bytes in a value, every other byte: the pattern of UTF-16 without BOM. The
    // file gets a UTF-8 BOM, which reading takes as UTF-8 whatever follows.
    std::string wert;
    for (int i = 0; i < 200; ++i) wert += std::string("a\0", 2);
    auto ini = IniDatei::AusText("");
    ini.SchreibeString("S", "k", wert);
    const std::string inhalt = ini.Inhalt();
    EXPECT_EQ(inhalt, "\xEF\xBB\xBF[S]\r\nk=" + wert + "\r\n");
    EXPECT_EQ(IniDatei::AusText(inhalt).LiesString("S", "k", "-"), wert);

    // Windows-1252 with zero bytes just short of the pattern, which a value Windows-1252
    // cannot hold turns into UTF-8: the bytes saved then fall into it (found by the
    // fuzzer).
    const std::string bytes(
        "\xFE\xDF\x00\x5B\x00\x53\x7E\x5D\x00\x0D\x00\x0A\x00\x6B\x00\x3D\x00\x31\x00\x0D\x00\x0A\x00\x53\x00"
        "\x74\x00\x72\x00\x61\x00\x73\x00\x73\x00\x65\x00\x66\x00\x0D\x00\x0A\x00\x4E\x00\x61\x00\x6D\x00\x65"
        "\x00\x3D\x00\x53\x00\x74\x00\x72\x00\x61\x00\xDF\x1E\x00\x0D\x00\x0A",
        67);
    auto umkodiert = IniDatei::AusText(bytes);
    umkodiert.SchreibeString("Neu", "k", "Ω");
    const auto zurueck = IniDatei::AusText(umkodiert.Inhalt());
    EXPECT_EQ(zurueck.Inhalt(), umkodiert.Inhalt());
    EXPECT_EQ(zurueck.LiesString("Neu", "k", "-"), "Ω");
}

TEST(IniDateiKodierung, NurCrAlsZeilenende) {
    TempOrdner ordner;
    const auto pfad = ordner / "mac.ini";
    const std::string vorher = DateiLesen(Beispiel("cr.ini"));
    ASSERT_EQ(vorher.find('\n'), std::string::npos);
    DateiSchreiben(pfad, vorher);
    IniDatei ini(pfad);
    EXPECT_EQ(ini.LiesString("Preferences", "StrassenName", "-"), "Straße");
    EXPECT_EQ(ini.LiesString("Fahrbahn_Geo", "Breite", "-"), "7,5");
    EXPECT_EQ(ini.Inhalt(), vorher);
    ini.SchreibeString("Fahrbahn_Geo", "Sturz", "3");
    ini.SchreibeString("Preferences", "minLaenge", "2");
    ini.Speichern();
    std::string erwartet = vorher;
    erwartet.replace(erwartet.find("Sturz=1"), 7, "Sturz=3");
    erwartet.insert(erwartet.find("\r\r[Fahrbahn_Geo]") + 1, "minLaenge=2\r");
    EXPECT_EQ(DateiLesen(pfad), erwartet);

    // A file with one LF anywhere goes by its first line end, as always; a CR alone
    // before a key is then refused (UnklareStrukturWirdAbgelehnt).
    EXPECT_THROW(IniDatei::AusText("[S]\rk=1\r\n"), IniFehler);
    EXPECT_EQ(IniDatei::AusText("[S]\rk\r\n").Inhalt(), "[S]\rk\r\n");
    auto eineZeile = IniDatei::AusText("[S]\r");
    eineZeile.SchreibeString("S", "k", "1");
    EXPECT_EQ(eineZeile.Inhalt(), "[S]\rk=1\r");
}

TEST(IniDateiLesen, UnklareStrukturWirdAbgelehnt) {
    // Each would read as a different road: keys falling to the section before, a header
    // or key hidden behind an invisible character. Refused, naming the line.
    const std::string bom = "\xEF\xBB\xBF";
    struct Fall {
        const char* was;
        std::string bytes;
        int zeile;
        const char* grund;
    };
    const std::vector<Fall> faelle = {
        {"header without ]", "[A]\r\nx=1\r\n[B\r\nx=2\r\n", 3, "ohne ']'"},
        {"header without ] and with =", "[A]\nx=1\n[B=2\ny=3\n", 3, "ohne ']'"},
        {"header without ] before the first", "  [A\nx=1\n", 1, "ohne ']'"},
        {"two files joined", bom + "[A]\r\nx=1\r\n" + bom + "[B]\r\nx=2\r\n", 3, "U+FEFF"},
        {"joined, key first", bom + "[A]\nx=1\n" + bom + "y=2\n", 3, "U+FEFF"},
        {"BOM twice", bom + bom + "[A]\r\nx=1\r\n", 1, "U+FEFF"},
        {"BOM twice, Windows-1252",
         bom + bom +
             "[A]\nN=Stra\xDF"
             "e\n",
         1, "U+FEFF"},
        {"joined, Windows-1252",
         "[A]\nN=Stra\xDF"
         "e\n" +
             bom + "[B]\nx=1\n",
         3, "U+FEFF"},
        {"UTF-16 joined", std::string("\xFF\xFE[\0A\0]\0\n\0\xFF\xFE[\0B\0]\0\n\0", 20), 2, "U+FEFF"},
        {"CR alone, then LF", "[A]\rx=1\r[B]\rx=2\n", 1, "CR allein"},
        {"CR alone within CR LF", "[A]\r\nx=1\ry=2\r\n", 2, "CR allein"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.was);
        try {
            IniDatei::AusText(f.bytes);
            ADD_FAILURE() << "read";
        } catch (const IniFehler& e) {
            const std::string text = e.what();
            EXPECT_NE(text.find("Zeile " + std::to_string(f.zeile) + " "), std::string::npos) << text;
            EXPECT_NE(text.find(f.grund), std::string::npos) << text;
        }
    }

    // Read as before: the marks hide nothing, the file's own BOM, a header closed later
    // in its line, a CR inside a value.
    struct Lesbar {
        std::string bytes;
        const char* schluessel;
        const char* wert;
    };
    const std::vector<Lesbar> lesbar = {
        {bom + "[A]\nx=1\n" + bom + "; joined comment\n" + bom + "\n", "x", "1"},
        {"[A] ; [B\nx=1\n", "x", "1"},
        {"[A]\r\nx=a\rb\r\n", "x", "a\rb"},
        {"[A]\r\nx=1\r\r\n", "x", "1"},
        {"[A]\rx=1\r", "x", "1"},
    };
    for (const Lesbar& l : lesbar) {
        SCOPED_TRACE(l.bytes);
        const auto ini = IniDatei::AusText(l.bytes);
        EXPECT_EQ(ini.LiesString("A", l.schluessel, "-"), l.wert);
        EXPECT_EQ(IniDatei::AusText(ini.Inhalt()).Inhalt(), ini.Inhalt());
    }

    // From disk, the message names the file; a key that would start a line with a BOM
    // is never written.
    TempOrdner ordner;
    const auto pfad = ordner / "a.ini";
    DateiSchreiben(pfad, "[A]\nx=1\n[B\nx=2\n");
    try {
        IniDatei{pfad};
        ADD_FAILURE() << "read";
    } catch (const IniFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Die Datei " + pfad.string() +
                      " kann nicht gelesen werden: Zeile 3 beginnt einen Abschnitt mit '[', "
                      "aber ohne ']'");
    }
    auto ini = IniDatei::AusText("[A]\n");
    EXPECT_THROW(ini.SchreibeString("A", bom + "x", "1"), std::invalid_argument);
}

// ---- Files ---------------------------------------------------------------------------

TEST(IniDateiDatei, FehlendeDateiWirdAlsUtf8MitCrLfAngelegt) {
    TempOrdner ordner;
    const auto pfad = ordner / "neu.ini";
    IniDatei ini(pfad);
    EXPECT_FALSE(ini.Vorhanden());
    EXPECT_EQ(ini.Pfad(), pfad);
    EXPECT_EQ(ini.LiesString("S", "k", "vorgabe"), "vorgabe");
    ini.SchreibeString("Straße", "Länge", "10");
    ini.Speichern();
    EXPECT_EQ(DateiLesen(pfad), "[Straße]\r\nLänge=10\r\n");
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"neu.ini"});

    // A new file gets the usual permissions: never more than 0666, never unreadable.
    const auto rechte = Rechte(pfad);
    EXPECT_EQ(rechte & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec),
              fs::perms::none);
    EXPECT_NE(rechte & fs::perms::owner_read, fs::perms::none);

    const IniDatei wieder(pfad);
    EXPECT_TRUE(wieder.Vorhanden());
    EXPECT_EQ(wieder.LiesInteger("straße", "Länge", 0), 10);
}

#ifndef _WIN32  // POSIX permissions, users, links and limits
TEST(IniDateiDatei, SpeichernUeberschreibtUndBehaeltRechte) {
    TempOrdner ordner;
    const auto pfad = ordner / "a.ini";
    const std::string vorher =
        "; Kopf\n[S]\nName=Stra\xDF"
        "e\nk=1\n";
    DateiSchreiben(pfad, vorher);
    fs::permissions(pfad, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    IniDatei ini(pfad);
    EXPECT_TRUE(ini.Vorhanden());
    ini.SchreibeInteger("S", "k", 2);
    ini.Speichern();
    EXPECT_EQ(DateiLesen(pfad),
              "; Kopf\n[S]\nName=Stra\xDF"
              "e\nk=2\n");
    EXPECT_EQ(Rechte(pfad), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"a.ini"});
}
#endif

#ifndef _WIN32  // POSIX permissions, users, links and limits
TEST(IniDateiDatei, SymbolischerVerweisBleibtVerweis) {
    TempOrdner ordner;
    fs::create_directory(ordner / "echt");
    const auto ziel = ordner / "echt" / "ziel.ini";
    DateiSchreiben(ziel, "[S]\nk=1\n");
    const auto verweis = ordner / "verweis.ini";
    fs::create_symlink("echt/ziel.ini", verweis);  // relative to the link's folder

    IniDatei ini(verweis);
    EXPECT_EQ(ini.LiesInteger("S", "k", 0), 1);
    ini.SchreibeInteger("S", "k", 2);
    ini.Speichern();
    EXPECT_TRUE(fs::is_symlink(verweis));
    EXPECT_EQ(DateiLesen(ziel), "[S]\nk=2\n");
    EXPECT_EQ(Eintraege(ordner / "echt"), std::vector<std::string>{"ziel.ini"});
    EXPECT_EQ(Eintraege(ordner.Pfad()), (std::vector<std::string>{"echt", "verweis.ini"}));

    // A link to a file not yet there creates that file.
    const auto offen = ordner / "offen.ini";
    fs::create_symlink(ordner / "echt" / "spaeter.ini", offen);
    IniDatei neu(offen);
    EXPECT_FALSE(neu.Vorhanden());
    neu.SchreibeInteger("S", "k", 3);
    neu.Speichern();
    EXPECT_TRUE(fs::is_symlink(offen));
    EXPECT_EQ(DateiLesen(ordner / "echt" / "spaeter.ini"), "[S]\r\nk=3\r\n");
}
#endif

TEST(IniDateiDatei, OrdnerStattDateiKannNichtGelesenWerden) {
    TempOrdner ordner;
    const auto pfad = ordner / "ordner.ini";
    fs::create_directory(pfad);
    try {
        IniDatei ini(pfad);
        FAIL() << "IniFehler erwartet";
    } catch (const IniFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Die Datei " + pfad.string() + " kann nicht gelesen werden: Is a directory");
    }
}

TEST(IniDateiDatei, OrdnerStattDateiKannNichtGeschriebenWerden) {
    TempOrdner ordner;
    const auto pfad = ordner / "ordner.ini";
    fs::create_directory(pfad);
    auto ini = IniDatei::AusText("[S]\nk=1\n", pfad);
    try {
        ini.Speichern();
        FAIL() << "IniFehler erwartet";
    } catch (const IniFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "In " + pfad.string() + " kann nicht geschrieben werden: Is a directory");
    }
    EXPECT_TRUE(fs::is_directory(pfad));
    EXPECT_TRUE(fs::is_empty(pfad));
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"ordner.ini"});

    // Without a path there is nothing to write to.
    EXPECT_THROW(IniDatei::AusText("[S]\n").Speichern(), IniFehler);
}

TEST(IniDateiDatei, FehlenderOrdnerKannNichtGeschriebenWerden) {
    TempOrdner ordner;
    const auto pfad = ordner / "fehlt" / "a.ini";
    IniDatei ini(pfad);
    EXPECT_FALSE(ini.Vorhanden());
    ini.SchreibeInteger("S", "k", 1);
    try {
        ini.Speichern();
        FAIL() << "IniFehler erwartet";
    } catch (const IniFehler& e) {
        EXPECT_EQ(std::string(e.what()),
                  "In " + pfad.string() + " kann nicht geschrieben werden: No such file or directory");
    }
    EXPECT_TRUE(fs::is_empty(ordner.Pfad()));
}

#ifndef _WIN32  // POSIX permissions, users, links and limits
TEST(IniDateiDatei, SchreibgeschuetzterOrdner) {
    TempOrdner ordner;
    const auto pfad = ordner / "a.ini";
    const std::string vorher = "[S]\r\nk=1\r\n";
    DateiSchreiben(pfad, vorher);
    fs::permissions(pfad, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    auto ini = IniDatei(pfad);
    ini.SchreibeInteger("S", "k", 2);
    fs::permissions(ordner.Pfad(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);

    const std::string meldung = "In " + pfad.string() + " kann nicht geschrieben werden: Permission denied";
    const auto ergebnis = OhneRootRechte(ordner.Pfad(), [&] {
        try {
            ini.Speichern();
            return 1;  // written although the folder is read-only
        } catch (const IniFehler& e) {
            return e.what() == meldung ? 0 : 2;
        }
    });
    if (!ergebnis) GTEST_SKIP() << "no unprivileged user to test with";
    EXPECT_EQ(*ergebnis, 0) << "1: saved anyway, 2: wrong message";
    EXPECT_EQ(DateiLesen(pfad), vorher);
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"a.ini"});
}
#endif

#ifndef _WIN32  // POSIX permissions, users, links and limits
TEST(IniDateiDatei, AbgebrochenesSchreibenLaesstAlteDateiStehen) {
    TempOrdner ordner;
    const auto pfad = ordner / "a.ini";
    const std::string vorher = "[S]\r\nk=1\r\n";
    DateiSchreiben(pfad, vorher);
    auto ini = IniDatei(pfad);
    ini.SchreibeString("S", "lang", std::string(5000, 'x'));

    // A file size limit makes the write itself fail, for root as for anyone.
    const std::string meldung = "In " + pfad.string() + " kann nicht geschrieben werden: File too large";
    const auto ergebnis = ImKindprozess(
        [] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit grenze{1000, 1000};
            return setrlimit(RLIMIT_FSIZE, &grenze) == 0;
        },
        [&] {
            try {
                ini.Speichern();
                return 1;
            } catch (const IniFehler& e) {
                return e.what() == meldung ? 0 : 2;
            }
        });
    if (!ergebnis) GTEST_SKIP() << "no file size limit to test with";
    EXPECT_EQ(*ergebnis, 0) << "1: saved anyway, 2: wrong message";
    EXPECT_EQ(DateiLesen(pfad), vorher);
    EXPECT_EQ(Eintraege(ordner.Pfad()), std::vector<std::string>{"a.ini"});
}
#endif

#ifndef _WIN32  // POSIX permissions, users, links and limits
TEST(IniDateiDatei, UnlesbareDatei) {
    TempOrdner ordner;
    const auto pfad = ordner / "geheim.ini";
    DateiSchreiben(pfad, "[S]\nk=1\n");
    fs::permissions(pfad, fs::perms::none);
    fs::permissions(ordner.Pfad(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
    const std::string meldung =
        "Die Datei " + pfad.string() + " kann nicht gelesen werden: Permission denied";
    const auto ergebnis = OhneRootRechte(ordner.Pfad(), [&] {
        try {
            const IniDatei ini(pfad);
            return 1;
        } catch (const IniFehler& e) {
            return e.what() == meldung ? 0 : 2;
        }
    });
    if (!ergebnis) GTEST_SKIP() << "no unprivileged user to test with";
    EXPECT_EQ(*ergebnis, 0) << "1: read anyway, 2: wrong message";
}
#endif

}  // namespace
