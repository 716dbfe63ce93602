// Our DDS and TGA readers against OpenImageIO's, pixel for pixel: the same files read by
// both, every level and every pixel compared after the preview's channel mapping (one
// channel grey, two red and green with blue 0). Where OpenImageIO gives an alpha channel
// it is compared too. The files are the DDS writer's (every kind, random pictures, odd
// sizes, whole chains) and files whose block or pixel bytes are random, which reach
// every mode of every block format (BC1's three colours and transparent black, the
// six-step alpha blocks) and every bit mask; the seeds are fixed, so a failure repeats.
#include "persistence/DdsBild.h"
#include "persistence/TgaBild.h"
#include "tests/support/DdsSchreiber.h"
#include "tests/support/Testhilfen.h"

#include <OpenImageIO/imageio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

using namespace pavolant;
using namespace pavolant::test;
namespace fs = std::filesystem;

namespace {

constexpr int kMax = 8192;

// A picture as the preview gets it from OpenImageIO, with the alpha channel where there
// is one (else 255).
// OpenImageIO 2.4 gives a DDS of luminance and alpha as two channels without naming the
// second one alpha, so the preview took it for red and green; `grauAlpha` reads such a
// pair as grey and alpha, as the file means it and as our reader gives it.
Rasterbild OiioLesen(const fs::path& pfad, std::vector<bool>& mitAlpha, bool grauAlpha) {
    Rasterbild b;
    // Colours as stored: OpenImageIO multiplies a TGA's colours by its alpha unless told not
    // to (a DDS it leaves alone), which the preview, drawing opaque, would show darkened.
    OIIO::ImageSpec einstellung;
    einstellung.attribute("oiio:UnassociatedAlpha", 1);
    auto ein = OIIO::ImageInput::open(pfad.string(), &einstellung);
    if (!ein) {
        b.Fehler = OIIO::geterror();
        return b;
    }
    for (int m = 0; ein->seek_subimage(0, m); ++m) {
        const OIIO::ImageSpec& stufe = ein->spec();
        const int kanaele = std::min(stufe.nchannels, 4);
        const auto pixel = static_cast<std::size_t>(stufe.width) * static_cast<std::size_t>(stufe.height);
        std::vector<std::uint8_t> q(pixel * static_cast<std::size_t>(kanaele));
        if (!ein->read_image(0, m, 0, kanaele, OIIO::TypeDesc::UINT8, q.data())) {
            b.Fehler = ein->geterror();
            return b;
        }
        const bool grauMitAlpha = kanaele == 2 && (stufe.alpha_channel == 1 || grauAlpha);
        Rasterstufe s{stufe.width, stufe.height, std::vector<std::uint8_t>(pixel * 4)};
        for (std::size_t i = 0; i < pixel; ++i) {
            const std::uint8_t* p = &q[i * static_cast<std::size_t>(kanaele)];
            std::uint8_t* z = &s.Rgba[i * 4];
            if (kanaele == 1 || grauMitAlpha) {
                z[0] = z[1] = z[2] = p[0];
            } else {
                z[0] = p[0], z[1] = p[1], z[2] = kanaele >= 3 ? p[2] : 0;
            }
            z[3] = kanaele == 4 ? p[3] : grauMitAlpha ? p[1] : 255;
        }
        b.Stufen.push_back(std::move(s));
        mitAlpha.push_back(kanaele == 4 || grauMitAlpha);
    }
    return b;
}

struct Zaehler {
    int dateien = 0, stufen = 0;
    long long pixel = 0, farbAbweichungen = 0, alphaAbweichungen = 0;
};

// Both readers on the file `pfad` (written from `bytes`); every difference reported.
void Vergleichen(const fs::path& pfad, const std::string& bytes, bool dds, const std::string& name,
                 Zaehler& z, bool grauAlpha = false) {
    DateiSchreiben(pfad, bytes);
    const auto* daten = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const Rasterbild unser =
        dds ? DdsAusBytes(daten, bytes.size(), kMax) : TgaAusBytes(daten, bytes.size(), kMax);
    std::vector<bool> mitAlpha;
    const Rasterbild oiio = OiioLesen(pfad, mitAlpha, grauAlpha);
    ASSERT_EQ(unser.Fehler, "") << name;
    ASSERT_EQ(oiio.Fehler, "") << name;
    ASSERT_EQ(unser.Stufen.size(), oiio.Stufen.size()) << name;
    ++z.dateien;
    for (std::size_t m = 0; m < oiio.Stufen.size(); ++m) {
        const Rasterstufe &u = unser.Stufen[m], &o = oiio.Stufen[m];
        ASSERT_EQ(u.Breite, o.Breite) << name << " level " << m;
        ASSERT_EQ(u.Hoehe, o.Hoehe) << name << " level " << m;
        ++z.stufen;
        int gemeldet = 0;
        for (std::size_t i = 0; i < o.Rgba.size(); i += 4) {
            ++z.pixel;
            const bool farbe = !std::equal(&u.Rgba[i], &u.Rgba[i] + 3, &o.Rgba[i]);
            const bool alpha = mitAlpha[m] && u.Rgba[i + 3] != o.Rgba[i + 3];
            z.farbAbweichungen += farbe;
            z.alphaAbweichungen += alpha;
            if ((farbe || alpha) && gemeldet++ < 3)
                ADD_FAILURE() << name << " level " << m << " pixel " << (i / 4) % o.Breite << ","
                              << (i / 4) / o.Breite << ": ours " << +u.Rgba[i] << " " << +u.Rgba[i + 1] << " "
                              << +u.Rgba[i + 2] << " " << +u.Rgba[i + 3] << ", OpenImageIO " << +o.Rgba[i]
                              << " " << +o.Rgba[i + 1] << " " << +o.Rgba[i + 2] << " " << +o.Rgba[i + 3];
        }
    }
}

RgbaBild Zufallsbild(int breite, int hoehe, std::mt19937& zufall) {
    RgbaBild b(breite, hoehe);
    for (auto& p : b.Pixel) p = static_cast<std::uint8_t>(zufall());
    return b;
}

void U32(std::string& s, std::size_t wo, std::uint32_t wert) {
    for (int i = 0; i < 4; ++i)
        s[wo + static_cast<std::size_t>(i)] = static_cast<char>(wert >> (8 * i) & 0xFF);
}

// An uncompressed DDS by bit masks: the writer's header with the pixel format changed and
// random pixels of `bits` each, for every level.
std::string MaskenDds(int breite, int hoehe, std::uint32_t flags, std::uint32_t bits,
                      std::array<std::uint32_t, 4> masken, std::mt19937& zufall) {
    std::string s = DdsDatei(Einfarbig(breite, hoehe, 0, 0, 0), DdsArt::Unkomprimiert).substr(0, 128);
    U32(s, 20, static_cast<std::uint32_t>(breite) * bits / 8);
    U32(s, 80, flags);
    U32(s, 88, bits);
    for (std::size_t k = 0; k < 4; ++k) U32(s, 92 + 4 * k, masken[k]);
    for (int w = breite, h = hoehe;; w = std::max(1, w / 2), h = std::max(1, h / 2)) {
        for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h * bits / 8; ++i)
            s.push_back(static_cast<char>(zufall()));
        if (w == 1 && h == 1) break;
    }
    return s;
}

constexpr std::array<std::pair<int, int>, 9> kGroessen{
    {{16, 16}, {13, 7}, {1, 9}, {9, 1}, {1, 1}, {2, 2}, {5, 3}, {64, 32}, {30, 18}}};

}  // namespace

// The writer's own files: every kind, random and odd-sized pictures, whole chains.
TEST(Texturvergleich, DdsSchreiberDateien) {
    TempOrdner ordner;
    std::mt19937 zufall(4711);
    Zaehler z;
    for (DdsArt art :
         {DdsArt::Unkomprimiert, DdsArt::BC1, DdsArt::BC2, DdsArt::BC3, DdsArt::BC4, DdsArt::BC5})
        for (auto [w, h] : kGroessen) {
            const std::string name =
                std::string(DdsName(art)) + " " + std::to_string(w) + "x" + std::to_string(h);
            Vergleichen(ordner / "a.dds", DdsDatei(Zufallsbild(w, h, zufall), art), true, name, z);
            Vergleichen(ordner / "a.dds", DdsDatei(Einfarbig(w, h, 200, 90, 40, 128), art, false), true,
                        name + " flat", z);
        }
    std::printf("writer's files: %d files, %d levels, %lld pixels; %lld colours and %lld alphas differ\n",
                z.dateien, z.stufen, z.pixel, z.farbAbweichungen, z.alphaAbweichungen);
    EXPECT_EQ(z.farbAbweichungen + z.alphaAbweichungen, 0);
}

// Random block bytes: every palette mode of every block format, end points in either order.
TEST(Texturvergleich, ZufaelligeBloecke) {
    TempOrdner ordner;
    std::mt19937 zufall(1234);
    Zaehler z;
    for (DdsArt art : {DdsArt::BC1, DdsArt::BC2, DdsArt::BC3, DdsArt::BC4, DdsArt::BC5})
        for (auto [w, h] : kGroessen) {
            std::string s = DdsDatei(Einfarbig(w, h, 0, 0, 0), art);
            for (std::size_t i = 128; i < s.size(); ++i) s[i] = static_cast<char>(zufall());
            // Some blocks with equal end points, where the modes meet.
            for (std::size_t i = 128; i + 8 <= s.size(); i += 8)
                if (zufall() % 8 == 0) s[i + 1] = s[i];
            const std::string name =
                std::string(DdsName(art)) + " random " + std::to_string(w) + "x" + std::to_string(h);
            Vergleichen(ordner / "b.dds", s, true, name, z);
            // The same blocks under the format's other names. Not DXT2 and DXT4 (DXT3 and
            // DXT5 with colours stored times alpha): OpenImageIO 2.4 divides them back
            // wrapping around at 8 bits, and by zero where alpha is 0 (tests/core has ours).
            for (auto [alt, neu] : {std::pair{"ATI1", "BC4U"}, {"ATI2", "BC5U"}})
                if (s.compare(84, 4, alt) == 0)
                    Vergleichen(ordner / "b.dds", s.substr(0, 84) + neu + s.substr(88), true,
                                name + " as " + neu, z);
        }
    std::printf("random blocks: %d files, %d levels, %lld pixels; %lld colours and %lld alphas differ\n",
                z.dateien, z.stufen, z.pixel, z.farbAbweichungen, z.alphaAbweichungen);
    EXPECT_EQ(z.farbAbweichungen + z.alphaAbweichungen, 0);
}

// Uncompressed pixels by their masks: 16, 24 and 32 bits, luminance, alpha.
TEST(Texturvergleich, Bitmasken) {
    TempOrdner ordner;
    std::mt19937 zufall(99);
    struct Fall {
        const char* name;
        std::uint32_t flags, bits;
        std::array<std::uint32_t, 4> masken;
    };
    const Fall faelle[] = {
        {"R5G6B5", 0x40, 16, {0xF800, 0x07E0, 0x001F, 0}},
        {"A1R5G5B5", 0x41, 16, {0x7C00, 0x03E0, 0x001F, 0x8000}},
        {"A4R4G4B4", 0x41, 16, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"R8G8B8", 0x40, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0}},
        {"X8R8G8B8", 0x40, 32, {0xFF0000, 0x00FF00, 0x0000FF, 0}},
        {"A8B8G8R8", 0x41, 32, {0x0000FF, 0x00FF00, 0xFF0000, 0xFF000000}},
        {"L8", 0x20000, 8, {0xFF, 0, 0, 0}},
        {"A8L8", 0x20001, 16, {0x00FF, 0, 0, 0xFF00}},
        {"A8", 0x2, 8, {0, 0, 0, 0xFF}},
    };
    Zaehler z;
    for (const Fall& f : faelle)
        for (auto [w, h] : kGroessen)
            Vergleichen(ordner / "c.dds", MaskenDds(w, h, f.flags, f.bits, f.masken, zufall), true,
                        std::string(f.name) + " " + std::to_string(w) + "x" + std::to_string(h), z,
                        f.flags == 0x20001);
    std::printf("bit masks: %d files, %d levels, %lld pixels; %lld colours and %lld alphas differ\n",
                z.dateien, z.stufen, z.pixel, z.farbAbweichungen, z.alphaAbweichungen);
    EXPECT_EQ(z.farbAbweichungen + z.alphaAbweichungen, 0);
}

namespace {

// A TGA file: the header (with a 3-byte image ID to skip), the colour map and the
// pixels in the file's order, plain or run-length encoded (runs go on across rows).
std::string TgaDatei(unsigned typ, unsigned bits, int breite, int hoehe, unsigned beschreibung,
                     const std::vector<std::string>& pixel, const std::string& karte = {},
                     unsigned kartenLaenge = 0, unsigned kartenBits = 0, unsigned kartenErster = 0) {
    std::string s{3, static_cast<char>(karte.empty() ? 0 : 1), static_cast<char>(typ)};
    for (unsigned v : {kartenErster, kartenLaenge})
        s += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    s += static_cast<char>(kartenBits);
    s += std::string(4, '\0');
    for (int v : {breite, hoehe}) s += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    s += {static_cast<char>(bits), static_cast<char>(beschreibung)};
    s += "abc" + karte;
    if (!(typ & 8)) {
        for (const std::string& p : pixel) s += p;
        return s;
    }
    for (std::size_t i = 0; i < pixel.size();) {
        std::size_t lauf = 1;
        while (i + lauf < pixel.size() && lauf < 128 && pixel[i + lauf] == pixel[i]) ++lauf;
        if (lauf > 1) {
            s += static_cast<char>(0x80 | (lauf - 1));
            s += pixel[i];
            i += lauf;
            continue;
        }
        std::size_t roh = 1;
        while (i + roh < pixel.size() && roh < 128 &&
               !(i + roh + 1 < pixel.size() && pixel[i + roh] == pixel[i + roh + 1]))
            ++roh;
        s += static_cast<char>(roh - 1);
        for (std::size_t j = 0; j < roh; ++j) s += pixel[i + j];
        i += roh;
    }
    return s;
}

}  // namespace

// TGA: true colour of 15 to 32 bits, grey, colour-mapped; plain and run-length encoded;
// from the bottom up and from the top down. Few colours, so that the runs are long.
TEST(Texturvergleich, Tga) {
    TempOrdner ordner;
    std::mt19937 zufall(2024);
    struct Fall {
        unsigned typ, bits, beschreibung, kartenBits;
    };
    const Fall faelle[] = {
        {2, 24, 0x00, 0}, {2, 24, 0x20, 0}, {2, 24, 0x10, 0},  {10, 24, 0x30, 0}, {2, 32, 0x08, 0},
        {2, 32, 0x28, 0}, {2, 16, 0x01, 0}, {2, 15, 0x20, 0},  {3, 8, 0x00, 0},   {3, 8, 0x20, 0},
        {1, 8, 0x00, 24}, {1, 8, 0x20, 32}, {10, 24, 0x00, 0}, {10, 32, 0x28, 0}, {10, 16, 0x21, 0},
        {11, 8, 0x00, 0}, {9, 8, 0x20, 24},
    };
    Zaehler z;
    for (const Fall& f : faelle)
        for (auto [w, h] : kGroessen) {
            const std::size_t bytes = (f.bits + 7) / 8;
            std::vector<std::string> vorrat(5);
            for (std::size_t k = 0; k < vorrat.size(); ++k)
                for (std::size_t j = 0; j < bytes; ++j)
                    vorrat[k] += (f.typ & 7) == 1 ? static_cast<char>(3 + k) : static_cast<char>(zufall());
            std::vector<std::string> pixel;
            for (int i = 0; i < w * h; ++i) pixel.push_back(vorrat[zufall() % (zufall() % 3 == 0 ? 5 : 2)]);
            std::string karte;
            const unsigned kartenLaenge = f.kartenBits ? 12 : 0;
            for (unsigned i = 0; i < kartenLaenge * f.kartenBits / 8; ++i)
                karte += static_cast<char>(zufall());
            const std::string name = "TGA type " + std::to_string(f.typ) + " " + std::to_string(f.bits) +
                                     " bits " + std::to_string(w) + "x" + std::to_string(h);
            Vergleichen(
                ordner / "d.tga",
                TgaDatei(f.typ, f.bits, w, h, f.beschreibung, pixel, karte, kartenLaenge, f.kartenBits, 0),
                false, name, z);
        }
    std::printf("TGA: %d files, %d levels, %lld pixels; %lld colours and %lld alphas differ\n", z.dateien,
                z.stufen, z.pixel, z.farbAbweichungen, z.alphaAbweichungen);
    EXPECT_EQ(z.farbAbweichungen + z.alphaAbweichungen, 0);
}
