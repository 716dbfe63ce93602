#include "tests/support/DdsSchreiber.h"

#include <algorithm>
#include <array>
#include <climits>

namespace pavolant::test {

namespace {

void U32(std::string& aus, std::uint32_t wert) {
    for (int i = 0; i < 4; ++i) aus.push_back(static_cast<char>((wert >> (8 * i)) & 0xFF));
}

std::uint32_t FourCC(const char* c) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(c[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[3])) << 24;
}

int BlockBytes(DdsArt art) { return art == DdsArt::BC1 || art == DdsArt::BC4 ? 8 : 16; }

// The 4 x 4 block at (bx, by); pixels past the picture's edge repeat its last row or
// column, as a level of 2 x 2 or 1 x 1 needs.
std::array<std::array<std::uint8_t, 4>, 16> Block(const RgbaBild& b, int bx, int by) {
    std::array<std::array<std::uint8_t, 4>, 16> p{};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const std::uint8_t* q =
                b.Bei(std::min(bx * 4 + x, b.Breite - 1), std::min(by * 4 + y, b.Hoehe - 1));
            std::copy(q, q + 4, p[static_cast<std::size_t>(y * 4 + x)].begin());
        }
    return p;
}

std::uint16_t Zu565(const std::uint8_t* c) {
    return static_cast<std::uint16_t>((c[0] * 31 + 127) / 255 << 11 | (c[1] * 63 + 127) / 255 << 5 |
                                      (c[2] * 31 + 127) / 255);
}

std::array<int, 3> Aus565(std::uint16_t f) {
    const int r = f >> 11 & 31, g = f >> 5 & 63, b = f & 31;
    return {r * 255 / 31, g * 255 / 63, b * 255 / 31};
}

void Farbblock(std::string& aus, const std::array<std::array<std::uint8_t, 4>, 16>& p) {
    // End points: the brightest and the darkest pixel; four-colour mode (c0 > c1).
    auto hell = [](const std::array<std::uint8_t, 4>& c) { return 2 * c[0] + 4 * c[1] + c[2]; };
    std::size_t maxI = 0, minI = 0;
    for (std::size_t i = 1; i < 16; ++i) {
        if (hell(p[i]) > hell(p[maxI])) maxI = i;
        if (hell(p[i]) < hell(p[minI])) minI = i;
    }
    std::uint16_t c0 = Zu565(p[maxI].data()), c1 = Zu565(p[minI].data());
    if (c0 < c1) std::swap(c0, c1);
    std::uint32_t indizes = 0;
    if (c0 != c1) {
        const auto a = Aus565(c0), b = Aus565(c1);
        std::array<std::array<int, 3>, 4> palette{a, b, {}, {}};
        for (std::size_t k = 0; k < 3; ++k) {
            palette[2][k] = (2 * a[k] + b[k]) / 3;
            palette[3][k] = (a[k] + 2 * b[k]) / 3;
        }
        for (std::size_t i = 0; i < 16; ++i) {
            int best = 0, bestAbstand = INT_MAX;
            for (int j = 0; j < 4; ++j) {
                int d = 0;
                for (std::size_t k = 0; k < 3; ++k) {
                    const int e = p[i][k] - palette[static_cast<std::size_t>(j)][k];
                    d += e * e;
                }
                if (d < bestAbstand) bestAbstand = d, best = j;
            }
            indizes |= static_cast<std::uint32_t>(best) << (2 * i);
        }
    }
    aus.push_back(static_cast<char>(c0 & 0xFF));
    aus.push_back(static_cast<char>(c0 >> 8));
    aus.push_back(static_cast<char>(c1 & 0xFF));
    aus.push_back(static_cast<char>(c1 >> 8));
    U32(aus, indizes);
}

// BC3's alpha block and BC4/BC5's channel block: two end points, eight steps between.
void Kanalblock(std::string& aus, const std::array<std::array<std::uint8_t, 4>, 16>& p, std::size_t kanal) {
    int hoch = 0, tief = 255;
    for (const auto& c : p) hoch = std::max<int>(hoch, c[kanal]), tief = std::min<int>(tief, c[kanal]);
    std::array<int, 8> stufen{hoch, tief};
    for (int j = 1; j < 7; ++j) stufen[static_cast<std::size_t>(j + 1)] = ((7 - j) * hoch + j * tief) / 7;
    std::uint64_t indizes = 0;
    if (hoch != tief)
        for (std::size_t i = 0; i < 16; ++i) {
            std::uint64_t best = 0;
            int bestAbstand = INT_MAX;
            for (std::size_t j = 0; j < 8; ++j) {
                const int d = std::abs(p[i][kanal] - stufen[j]);
                if (d < bestAbstand) bestAbstand = d, best = j;
            }
            indizes |= best << (3 * i);
        }
    aus.push_back(static_cast<char>(hoch));
    aus.push_back(static_cast<char>(tief));
    for (int i = 0; i < 6; ++i) aus.push_back(static_cast<char>(indizes >> (8 * i) & 0xFF));
}

void Ebene(std::string& aus, const RgbaBild& b, DdsArt art) {
    if (art == DdsArt::Unkomprimiert) {
        for (std::size_t i = 0; i < b.Pixel.size(); i += 4) {  // B, G, R, A in memory
            aus.push_back(static_cast<char>(b.Pixel[i + 2]));
            aus.push_back(static_cast<char>(b.Pixel[i + 1]));
            aus.push_back(static_cast<char>(b.Pixel[i]));
            aus.push_back(static_cast<char>(b.Pixel[i + 3]));
        }
        return;
    }
    for (int by = 0; by < (b.Hoehe + 3) / 4; ++by)
        for (int bx = 0; bx < (b.Breite + 3) / 4; ++bx) {
            const auto p = Block(b, bx, by);
            switch (art) {
                case DdsArt::BC1:
                    Farbblock(aus, p);
                    break;
                case DdsArt::BC2: {
                    std::uint64_t alpha = 0;
                    for (std::size_t i = 0; i < 16; ++i)
                        alpha |= std::uint64_t{p[i][3] * 15u / 255u} << (4 * i);
                    for (int i = 0; i < 8; ++i) aus.push_back(static_cast<char>(alpha >> (8 * i) & 0xFF));
                    Farbblock(aus, p);
                    break;
                }
                case DdsArt::BC3:
                    Kanalblock(aus, p, 3);
                    Farbblock(aus, p);
                    break;
                case DdsArt::BC4:
                    Kanalblock(aus, p, 0);
                    break;
                case DdsArt::BC5:
                    Kanalblock(aus, p, 0);
                    Kanalblock(aus, p, 1);
                    break;
                case DdsArt::Unkomprimiert:
                    break;
            }
        }
}

}  // namespace

RgbaBild Halbieren(const RgbaBild& b) {
    RgbaBild h(std::max(1, b.Breite / 2), std::max(1, b.Hoehe / 2));
    for (int y = 0; y < h.Hoehe; ++y)
        for (int x = 0; x < h.Breite; ++x)
            for (std::size_t k = 0; k < 4; ++k) {
                int summe = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        summe +=
                            b.Bei(std::min(2 * x + dx, b.Breite - 1), std::min(2 * y + dy, b.Hoehe - 1))[k];
                h.Bei(x, y)[k] = static_cast<std::uint8_t>((summe + 2) / 4);
            }
    return h;
}

const char* DdsName(DdsArt art) {
    switch (art) {
        case DdsArt::Unkomprimiert:
            return "RGBA";
        case DdsArt::BC1:
            return "DXT1";
        case DdsArt::BC2:
            return "DXT3";
        case DdsArt::BC3:
            return "DXT5";
        case DdsArt::BC4:
            return "ATI1";
        case DdsArt::BC5:
            return "ATI2";
    }
    return "?";
}

std::string DdsDatei(const RgbaBild& bild, DdsArt art, bool mipmaps) {
    std::vector<RgbaBild> stufen{bild};
    while (mipmaps && (stufen.back().Breite > 1 || stufen.back().Hoehe > 1))
        stufen.push_back(Halbieren(stufen.back()));
    return DdsDatei(stufen, art);
}

RgbaBild Einfarbig(int breite, int hoehe, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    RgbaBild bild(breite, hoehe);
    for (std::size_t i = 0; i < bild.Pixel.size(); i += 4) {
        bild.Pixel[i] = r;
        bild.Pixel[i + 1] = g;
        bild.Pixel[i + 2] = b;
        bild.Pixel[i + 3] = a;
    }
    return bild;
}

std::string DdsDatei(const std::vector<RgbaBild>& stufenListe, DdsArt art) {
    const RgbaBild& bild = stufenListe.front();
    const auto stufen = static_cast<int>(stufenListe.size());
    const bool mipmaps = stufen > 1;
    const bool roh = art == DdsArt::Unkomprimiert;
    constexpr std::uint32_t kCaps = 0x1, kHoehe = 0x2, kBreite = 0x4, kPitch = 0x8, kFormat = 0x1000,
                            kMipAnzahl = 0x20000, kLinear = 0x80000;
    std::string aus = "DDS ";
    U32(aus, 124);
    U32(aus, kCaps | kHoehe | kBreite | kFormat | (mipmaps ? kMipAnzahl : 0) | (roh ? kPitch : kLinear));
    U32(aus, static_cast<std::uint32_t>(bild.Hoehe));
    U32(aus, static_cast<std::uint32_t>(bild.Breite));
    U32(aus, roh ? static_cast<std::uint32_t>(bild.Breite * 4)
                 : static_cast<std::uint32_t>(std::max(1, (bild.Breite + 3) / 4) *
                                              std::max(1, (bild.Hoehe + 3) / 4) * BlockBytes(art)));
    U32(aus, 0);  // depth
    U32(aus, static_cast<std::uint32_t>(stufen));
    for (int i = 0; i < 11; ++i) U32(aus, 0);
    // The pixel format: 32 bytes.
    U32(aus, 32);
    if (roh) {
        U32(aus, 0x41);  // RGB | ALPHAPIXELS
        U32(aus, 0);
        U32(aus, 32);
        U32(aus, 0x00FF0000);
        U32(aus, 0x0000FF00);
        U32(aus, 0x000000FF);
        U32(aus, 0xFF000000);
    } else {
        U32(aus, 0x4);  // FOURCC
        U32(aus, FourCC(DdsName(art)));
        for (int i = 0; i < 5; ++i) U32(aus, 0);
    }
    U32(aus, 0x1000 | (mipmaps ? 0x400008 : 0));  // TEXTURE, with MIPMAP | COMPLEX
    for (int i = 0; i < 4; ++i) U32(aus, 0);
    for (const RgbaBild& ebene : stufenListe) Ebene(aus, ebene, art);
    return aus;
}

}  // namespace pavolant::test
