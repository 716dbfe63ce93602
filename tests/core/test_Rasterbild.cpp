// Our DDS and TGA readers where no other reader is at hand to compare with (tests/oiio
// compares them with OpenImageIO pixel for pixel where it is installed): the DX10 header
// reads as the older one, DXT2 and DXT4 as their colours, a TGA stored in any of its
// four orientations reads as the same picture, a colour map that starts past entry 0,
// and hostile headers refused before any picture memory is taken.
#include "persistence/DdsBild.h"
#include "persistence/TgaBild.h"
#include "tests/support/DdsSchreiber.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace pavolant;
using namespace pavolant::test;

namespace {

Rasterbild Dds(const std::string& s, int maxSeite = 8192) {
    return DdsAusBytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), maxSeite);
}
Rasterbild Tga(const std::string& s) {
    return TgaAusBytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size(), 8192);
}

void U32(std::string& s, std::size_t wo, std::uint32_t wert) {
    for (int i = 0; i < 4; ++i)
        s[wo + static_cast<std::size_t>(i)] = static_cast<char>(wert >> (8 * i) & 0xFF);
}

std::string Dx10(const std::string& alt, std::uint32_t dxgi, std::uint32_t dimension = 3,
                 std::uint32_t misc = 0, std::uint32_t anzahl = 1) {
    std::string s = alt.substr(0, 128);
    U32(s, 80, 0x4);
    s.replace(84, 4, "DX10");
    s += std::string(20, '\0');
    U32(s, 128, dxgi);
    U32(s, 132, dimension);
    U32(s, 136, misc);
    U32(s, 140, anzahl);
    return s + alt.substr(128);
}

void Gleich(const Rasterbild& a, const Rasterbild& b, const std::string& name) {
    ASSERT_EQ(a.Fehler, "") << name;
    ASSERT_EQ(b.Fehler, "") << name;
    ASSERT_EQ(a.Stufen.size(), b.Stufen.size()) << name;
    for (std::size_t i = 0; i < a.Stufen.size(); ++i) {
        EXPECT_EQ(a.Stufen[i].Breite, b.Stufen[i].Breite) << name;
        EXPECT_EQ(a.Stufen[i].Rgba, b.Stufen[i].Rgba) << name << " level " << i;
    }
}

}  // namespace

TEST(Rasterbild, Dx10KopfWieDerAlte) {
    RgbaBild bild(13, 6);
    std::mt19937 zufall(5);
    for (auto& p : bild.Pixel) p = static_cast<std::uint8_t>(zufall());
    const std::pair<DdsArt, std::uint32_t> faelle[] = {{DdsArt::BC1, 71}, {DdsArt::BC2, 74},
                                                       {DdsArt::BC3, 77}, {DdsArt::BC4, 80},
                                                       {DdsArt::BC5, 83}, {DdsArt::Unkomprimiert, 87}};
    for (auto [art, dxgi] : faelle) {
        const std::string alt = DdsDatei(bild, art);
        Gleich(Dds(Dx10(alt, dxgi)), Dds(alt), DdsName(art));
    }
    // DXT2 and DXT4 are DXT3 and DXT5 with the colours stored times alpha: read back to
    // the colours themselves (OpenImageIO 2.4, which the preview used before, wraps
    // around at 8 bits there and divides by zero where alpha is 0).
    for (auto [art, name] : {std::pair{DdsArt::BC2, "DXT2"}, {DdsArt::BC3, "DXT4"}}) {
        std::string s = DdsDatei(bild, art);
        const Rasterbild gerade = Dds(s), vor = Dds(s.replace(84, 4, name));
        ASSERT_EQ(vor.Fehler, "");
        int geteilt = 0;
        for (std::size_t i = 0; i < gerade.Stufen[0].Rgba.size(); i += 4) {
            const std::uint8_t* g = &gerade.Stufen[0].Rgba[i];
            const std::uint8_t* v = &vor.Stufen[0].Rgba[i];
            ASSERT_EQ(v[3], g[3]);
            geteilt += g[3] > 0 && g[3] < 255;
            for (std::size_t k = 0; k < 3; ++k)  // within half a step of c / a, at most 255
                EXPECT_NEAR(v[k], g[3] ? std::min(255.0, g[k] * 255.0 / g[3]) : 0, 0.5)
                    << name << " " << i / 4;
        }
        EXPECT_GT(geteilt, 20);
    }
    // Several pictures in one file, a cube, a volume, a signed format: refused.
    const std::string bc1 = DdsDatei(bild, DdsArt::BC1);
    for (const std::string& s : {Dx10(bc1, 71, 3, 0, 6), Dx10(bc1, 71, 3, 4), Dx10(bc1, 71, 4), Dx10(bc1, 81),
                                 Dx10(bc1, 71).substr(0, 140)})
        EXPECT_TRUE(Dds(s).Stufen.empty() && !Dds(s).Fehler.empty());
}

// Headers that claim more than the file or the limit allows, and every cut of a good
// file: a note, never a level, never a read past the bytes (the sanitizer build sees it).
TEST(Rasterbild, FeindlicheDdsKoepfe) {
    const std::string gut = DdsDatei(Einfarbig(32, 16, 1, 2, 3), DdsArt::BC3);
    struct Fall {
        std::size_t wo;
        std::uint32_t wert;
        const char* erwartet;  // part of the note
    };
    const Fall faelle[] = {
        {12, 0xFFFFFFFF, "4294967295"}, {16, 9000, "9000 x 16"}, {16, 0, "0 x 16"},
        {28, 7, "7 mipmap levels"},     {28, 60000, "60000"},    {112, 0x200, "cube"},
        {84, 0x31435442, "'BTC1'"},     {4, 100, "damaged"},     {80, 0, "without a pixel format"}};
    for (const Fall& f : faelle) {
        std::string s = gut;
        U32(s, f.wo, f.wert);
        const Rasterbild b = Dds(s);
        EXPECT_TRUE(b.Stufen.empty()) << f.wo;
        EXPECT_NE(b.Fehler.find(f.erwartet), std::string::npos) << b.Fehler;
    }
    EXPECT_NE(Dds(gut, 16).Fehler.find("at most 16"), std::string::npos);
    for (std::size_t laenge = 0; laenge < gut.size(); ++laenge) {
        const Rasterbild b = Dds(gut.substr(0, laenge));
        EXPECT_TRUE(b.Stufen.empty() && !b.Fehler.empty()) << laenge;
    }
}

namespace {

// A 3 x 2 true-colour TGA in the order `beschreibung` says (0x10 right to left, 0x20
// top down), each pixel's colour from its place in the picture.
std::string TgaDrehung(unsigned beschreibung) {
    std::string s{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, static_cast<char>(beschreibung)};
    for (int zeile = 0; zeile < 2; ++zeile)
        for (int spalte = 0; spalte < 3; ++spalte) {
            const int y = beschreibung & 0x20 ? zeile : 1 - zeile,
                      x = beschreibung & 0x10 ? 2 - spalte : spalte;
            s += {static_cast<char>(10 * x), static_cast<char>(100 + y), static_cast<char>(200)};  // B, G, R
        }
    return s;
}

}  // namespace

TEST(Rasterbild, TgaInJederLageGleich) {
    const Rasterbild oben = Tga(TgaDrehung(0x20));
    ASSERT_EQ(oben.Fehler, "");
    EXPECT_EQ(oben.Stufen[0].Rgba[(1 * 3 + 2) * 4 + 1], 101);  // the bottom row, the right pixel
    EXPECT_EQ(oben.Stufen[0].Rgba[(1 * 3 + 2) * 4 + 2], 20);
    for (unsigned b : {0x00u, 0x10u, 0x30u}) Gleich(Tga(TgaDrehung(b)), oben, std::to_string(b));
}

// A colour map's entries are numbered from its first one: index 5 into a map starting
// at entry 4 is its second entry. An index outside the map, or a file that stops before
// its last pixel (plain or in a run), is refused.
TEST(Rasterbild, TgaFarbtabelleUndKaputteDateien) {
    std::string s{0, 1, 1, 4, 0, 2, 0, 24, 0, 0, 0, 0, 2, 0, 1, 0, 8, 0x20};
    s += {1, 2, 3, 4, 5, 6};  // entries 4 and 5: BGR
    const Rasterbild b = Tga(s + std::string{5, 4});
    ASSERT_EQ(b.Fehler, "");
    EXPECT_EQ(b.Stufen[0].Rgba, (std::vector<std::uint8_t>{6, 5, 4, 255, 3, 2, 1, 255}));
    EXPECT_FALSE(Tga(s + std::string{5, 6}).Fehler.empty());
    EXPECT_FALSE(Tga(s + std::string{5}).Fehler.empty());
    std::string rle = s;
    rle[2] = 9;
    EXPECT_EQ(Tga(rle + std::string{static_cast<char>(0x81), 5}).Fehler, "");
    EXPECT_FALSE(Tga(rle + std::string{static_cast<char>(0x80), 5}).Fehler.empty());
    std::string riesig = s;
    riesig[12] = riesig[13] = static_cast<char>(0xFF);
    EXPECT_NE(Tga(riesig + std::string{5, 4}).Fehler.find("65535 x 1"), std::string::npos);
}
