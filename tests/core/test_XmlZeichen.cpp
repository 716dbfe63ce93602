// Names and texture names in the i3d document: every code point XML 1.0 forbids becomes
// U+FFFD, every other one survives, and a document with such names is read by an XML
// parser.
#include "generator/I3dDokument.h"

#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace pavolant;
using pavolant::test::DateiSchreiben;
using pavolant::test::TempOrdner;

namespace {

// The Char production of XML 1.0, written out here on its own so that the check does not
// lean on the function under test.
bool IstXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::string Utf8(std::uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

// The code points an XML reader sees in an attribute value written in ISO-8859-1, or
// nullopt when the text is not well-formed there (a raw '<', '&' without a known entity,
// a reference to a code point XML forbids, a raw control character).
std::optional<std::u32string> WieEinXmlLeserLiest(const std::string& wert) {
    std::u32string ergebnis;
    for (std::size_t i = 0; i < wert.size();) {
        const auto b = static_cast<unsigned char>(wert[i]);
        if (b == '<' || b == '"') return std::nullopt;
        if (b != '&') {
            if (!IstXmlChar(b) || b == '\t' || b == '\n' || b == '\r')
                return std::nullopt;  // raw ones would be normalised
            ergebnis += static_cast<char32_t>(b);
            ++i;
            continue;
        }
        const auto semikolon = wert.find(';', i);
        if (semikolon == std::string::npos) return std::nullopt;
        const std::string name = wert.substr(i + 1, semikolon - i - 1);
        i = semikolon + 1;
        if (name == "amp")
            ergebnis += U'&';
        else if (name == "lt")
            ergebnis += U'<';
        else if (name == "gt")
            ergebnis += U'>';
        else if (name == "quot")
            ergebnis += U'"';
        else if (name == "apos")
            ergebnis += U'\'';
        else if (name.size() >= 2 && name[0] == '#' &&
                 name.find_first_not_of("0123456789", 1) == std::string::npos && name.size() <= 8) {
            const auto c = static_cast<std::uint32_t>(std::stoul(name.substr(1)));
            if (!IstXmlChar(c)) return std::nullopt;
            ergebnis += static_cast<char32_t>(c);
        } else {
            return std::nullopt;
        }
    }
    return ergebnis;
}

#ifndef _WIN32
std::string XmllintAusgabe(const std::string& datei, int& status) {
    const std::string befehl = "xmllint --noout '" + datei + "' 2>&1";
    FILE* p = popen(befehl.c_str(), "r");
    if (!p) {
        status = -1;
        return "cannot run xmllint";
    }
    std::string ausgabe;
    char puffer[512];
    while (std::fgets(puffer, sizeof puffer, p)) ausgabe += puffer;
    status = pclose(p);
    return ausgabe;
}
#endif

}  // namespace

TEST(XmlZeichen, TheAllowedSetIsXmlsCharProduction) {
    // The edges of every range, inside and outside.
    for (std::uint32_t c : {0x0u, 0x8u, 0xBu, 0xCu, 0xEu, 0x1Fu, 0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0xFFFEu,
                            0xFFFFu, 0x110000u, 0xFFFFFFFFu})
        EXPECT_FALSE(XmlZeichenErlaubt(c)) << std::hex << c;
    for (std::uint32_t c :
         {0x9u, 0xAu, 0xDu, 0x20u, 0x7Fu, 0x80u, 0xD7FFu, 0xE000u, 0xFFFDu, 0x10000u, 0x1FFFEu, 0x10FFFFu})
        EXPECT_TRUE(XmlZeichenErlaubt(c)) << std::hex << c;
    for (std::uint32_t c = 0; c <= 0x110000; ++c)
        ASSERT_EQ(XmlZeichenErlaubt(c), IstXmlChar(c)) << std::hex << c;
}

TEST(XmlZeichen, ForbiddenCodePointsBecomeTheReplacementCharacter) {
    EXPECT_EQ(XmlAttributLatin1("a\xEF\xBF\xBE"
                                "b"),
              "a&#65533;b");  // U+FFFE
    EXPECT_EQ(XmlAttributLatin1("a\xEF\xBF\xBF"
                                "b"),
              "a&#65533;b");  // U+FFFF
    EXPECT_EQ(XmlAttributLatin1(std::string("a\0b", 3)), "a&#65533;b");
    EXPECT_EQ(XmlAttributLatin1("\x01\x08\x0B\x0C\x0E\x1F"),
              "&#65533;&#65533;&#65533;&#65533;&#65533;&#65533;");
    // Tab, LF and CR are characters, kept as references so that they survive
    // attribute value normalisation.
    EXPECT_EQ(XmlAttributLatin1("\t\n\r"), "&#9;&#10;&#13;");
    // The neighbours of the forbidden ranges stay what they are.
    EXPECT_EQ(XmlAttributLatin1("\xED\x9F\xBF"), "&#55295;");      // U+D7FF
    EXPECT_EQ(XmlAttributLatin1("\xEE\x80\x80"), "&#57344;");      // U+E000
    EXPECT_EQ(XmlAttributLatin1("\xEF\xBF\xBD"), "&#65533;");      // U+FFFD itself
    EXPECT_EQ(XmlAttributLatin1("\xF0\x90\x80\x80"), "&#65536;");  // U+10000
    EXPECT_EQ(XmlAttributLatin1("\xF0\x9F\xBF\xBE"),
              "&#131070;");  // U+1FFFE: no character, but XML allows it
    EXPECT_EQ(XmlAttributLatin1("\xF4\x8F\xBF\xBF"), "&#1114111;");  // U+10FFFF
}

TEST(XmlZeichen, BytesThatAreNoUtf8AreLatin1CharactersAndNeverAForbiddenReference) {
    // A surrogate as CESU-8 writes it (ED A0 80): three stray bytes, each the
    // ISO-8859-1 character it names; 0x80 is a C1 control, which XML allows.
    EXPECT_EQ(XmlAttributLatin1("\xED\xA0\x80"), "\xED\xA0&#128;");
    // A pair of them, as CESU-8 encodes U+10000.
    EXPECT_EQ(XmlAttributLatin1("\xED\xA0\x80\xED\xB0\x80"), "\xED\xA0&#128;\xED\xB0&#128;");
    // Overlong forms: '/' in two bytes, NUL in two bytes (Java's modified UTF-8).
    EXPECT_EQ(XmlAttributLatin1("\xC0\xAF"), "\xC0\xAF");
    EXPECT_EQ(XmlAttributLatin1("\xC0\x80"), "\xC0&#128;");
    // Beyond U+10FFFF, and a sequence cut short.
    EXPECT_EQ(XmlAttributLatin1("\xF4\x90\x80\x80"), "\xF4&#144;&#128;&#128;");
    EXPECT_EQ(XmlAttributLatin1("\xEF\xBF"), "\xEF\xBF");
}

TEST(XmlZeichen, EveryCodePointReadsBackAsItselfOrAsTheReplacementCharacter) {
    // The whole Basic Multilingual Plane, where every forbidden range lies, with every
    // surrogate (encoded the way UTF-8 would if it allowed them), and the first and last
    // code points of every other plane; each between two letters so that neighbours are
    // checked too.
    std::vector<std::uint32_t> codepunkte;
    for (std::uint32_t c = 0; c <= 0xFFFF; ++c) codepunkte.push_back(c);
    for (std::uint32_t ebene = 1; ebene <= 16; ++ebene)
        for (std::uint32_t k = 0; k < 256; ++k) {
            codepunkte.push_back(ebene << 16 | k);
            codepunkte.push_back(ebene << 16 | (0xFFFF - k));
        }
    for (const std::uint32_t c : codepunkte) {
        const bool surrogat = c >= 0xD800 && c <= 0xDFFF;
        const std::string geschrieben = XmlAttributLatin1("x" + Utf8(c) + "y");
        const auto gelesen = WieEinXmlLeserLiest(geschrieben);
        ASSERT_TRUE(gelesen) << std::hex << c << ": " << geschrieben;
        if (surrogat) continue;  // its bytes are no UTF-8 and come back one by one (above)
        const std::u32string erwartet =
            std::u32string(U"x") + (IstXmlChar(c) ? char32_t(c) : U'\uFFFD') + U"y";
        ASSERT_EQ(*gelesen, erwartet) << std::hex << c;
    }
    // Every byte on its own, including those that can only be stray.
    for (unsigned b = 0; b < 256; ++b) {
        const std::string geschrieben = XmlAttributLatin1(std::string(1, static_cast<char>(b)));
        ASSERT_TRUE(WieEinXmlLeserLiest(geschrieben)) << b << ": " << geschrieben;
    }
}

TEST(XmlZeichen, ADocumentWithForbiddenCodePointsInItsNamesIsWellFormed) {
    TempOrdner ordner;
    I3dDokument d;
    d.ShapeName =
        "Stra\xC3\x9F"
        "e\xEF\xBF\xBF\x01\xED\xA0\x80";
    d.Teile[0] = "road\xEF\xBF\xBE.dds";
    d.Teile[3] = std::string("fill\x1F\0.dds", 10);
    std::ostringstream aus;
    I3dSchreiben(aus, d);
    const std::string dokument = aus.str();
    EXPECT_NE(dokument.find("filename=\"road&#65533;.dds\""), std::string::npos);
    EXPECT_NE(dokument.find("filename=\"fill&#65533;&#65533;.dds\""), std::string::npos);
    EXPECT_NE(dokument.find("name=\"Stra\xDF"
                            "e&#65533;&#65533;\xED\xA0&#128;\""),
              std::string::npos);

#ifdef _WIN32
    GTEST_SKIP() << "well-formedness with xmllint: Linux only";
#else
    const auto datei = ordner / "namen.i3d";
    DateiSchreiben(datei, dokument);
    int status = 0;
    const std::string ausgabe = XmllintAusgabe(datei.string(), status);
    EXPECT_EQ(status, 0) << ausgabe;
    EXPECT_EQ(ausgabe, "");
#endif
}
