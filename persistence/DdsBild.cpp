#include "persistence/DdsBild.h"

#include "model/Text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace pavolant {

namespace {

constexpr std::size_t kKopf = 128;      // "DDS " and the 124-byte header
constexpr std::size_t kKopfDx10 = 148;  // with the 20-byte DX10 header behind it

std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

enum class Art { BC1, BC2, BC3, BC4, BC5, Masken };

struct Kopf {
    std::uint32_t Breite = 0, Hoehe = 0, Stufen = 1;
    Art Format = Art::Masken;
    std::size_t Daten = kKopf;  // where the first level starts
    std::uint32_t BlockBytes = 0;
    std::uint32_t Bits = 0;                 // uncompressed: bits a pixel
    std::array<std::uint32_t, 4> Masken{};  // R, G, B, A; luminance in R
    bool Luminanz = false, NurAlpha = false;
    bool Vormultipliziert = false;  // DXT2, DXT4: colours stored times alpha
    std::uint64_t Noetig = 0;       // bytes the file must have, header included
};

// A FourCC for a message: printable ASCII only, so the message stays one line.
std::string Lesbar(const std::uint8_t* p) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += p[i] >= 0x20 && p[i] < 0x7F ? static_cast<char>(p[i]) : '?';
    return s;
}

std::string NichtGelesen(const std::string& name) {
    return Einsetzen(Tr("the DDS format '%1', which is not read (BC1 to BC5 and uncompressed are)"), {name});
}

// The formats behind a DX10 header that have an older equivalent here (DXGI numbers;
// typeless, UNORM and sRGB alike, the sRGB ones read as stored; no SNORM).
struct Dx10Eintrag {
    std::uint32_t Dxgi;
    Art Format;
    std::uint32_t Bits;
    std::array<std::uint32_t, 4> Masken;  // R, G, B, A
    bool Luminanz, NurAlpha;
};
constexpr Dx10Eintrag kDx10[] = {
    {70, Art::BC1, 0, {}, false, false},
    {71, Art::BC1, 0, {}, false, false},
    {72, Art::BC1, 0, {}, false, false},
    {73, Art::BC2, 0, {}, false, false},
    {74, Art::BC2, 0, {}, false, false},
    {75, Art::BC2, 0, {}, false, false},
    {76, Art::BC3, 0, {}, false, false},
    {77, Art::BC3, 0, {}, false, false},
    {78, Art::BC3, 0, {}, false, false},
    {79, Art::BC4, 0, {}, false, false},
    {80, Art::BC4, 0, {}, false, false},
    {82, Art::BC5, 0, {}, false, false},
    {83, Art::BC5, 0, {}, false, false},
    // R8G8B8A8, B8G8R8A8, B8G8R8X8
    {27, Art::Masken, 32, {0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u}, false, false},
    {28, Art::Masken, 32, {0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u}, false, false},
    {29, Art::Masken, 32, {0xFFu, 0xFF00u, 0xFF0000u, 0xFF000000u}, false, false},
    {87, Art::Masken, 32, {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u}, false, false},
    {90, Art::Masken, 32, {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u}, false, false},
    {91, Art::Masken, 32, {0xFF0000u, 0xFF00u, 0xFFu, 0xFF000000u}, false, false},
    {88, Art::Masken, 32, {0xFF0000u, 0xFF00u, 0xFFu, 0}, false, false},
    {92, Art::Masken, 32, {0xFF0000u, 0xFF00u, 0xFFu, 0}, false, false},
    {93, Art::Masken, 32, {0xFF0000u, 0xFF00u, 0xFFu, 0}, false, false},
    // R8G8, R8, A8, B5G6R5, B5G5R5A1, B4G4R4A4
    {48, Art::Masken, 16, {0xFFu, 0xFF00u, 0, 0}, false, false},
    {49, Art::Masken, 16, {0xFFu, 0xFF00u, 0, 0}, false, false},
    {60, Art::Masken, 8, {0xFFu, 0, 0, 0}, true, false},
    {61, Art::Masken, 8, {0xFFu, 0, 0, 0}, true, false},
    {65, Art::Masken, 8, {0, 0, 0, 0xFFu}, false, true},
    {85, Art::Masken, 16, {0xF800u, 0x07E0u, 0x001Fu, 0}, false, false},
    {86, Art::Masken, 16, {0x7C00u, 0x03E0u, 0x001Fu, 0x8000u}, false, false},
    {115, Art::Masken, 16, {0x0F00u, 0x00F0u, 0x000Fu, 0xF000u}, false, false},
};

std::string Dx10Format(std::uint32_t dxgi, Kopf& k) {
    for (const Dx10Eintrag& e : kDx10)
        if (e.Dxgi == dxgi) {
            k.Format = e.Format;
            k.Bits = e.Bits;
            k.Masken = e.Masken;
            k.Luminanz = e.Luminanz;
            k.NurAlpha = e.NurAlpha;
            return {};
        }
    return NichtGelesen("DXGI " + std::to_string(dxgi));
}

// Checks the header in `d` (`laenge` bytes, the file's start) and fills `k`. Empty when
// the texture can be decoded from a file of at least k.Noetig bytes.
std::string KopfPruefen(const std::uint8_t* d, std::size_t laenge, int maxSeite, Kopf& k) {
    if (laenge < 4 || std::memcmp(d, "DDS ", 4) != 0) return Tr("not a DDS file");
    if (laenge < kKopf) return Tr("a DDS header cut short");
    const std::uint32_t groesse = U32(d + 4), mipAnzahl = U32(d + 28);
    const std::uint32_t formatGroesse = U32(d + 76), formatFlags = U32(d + 80), bits = U32(d + 88),
                        caps2 = U32(d + 112);
    k.Hoehe = U32(d + 12);
    k.Breite = U32(d + 16);
    if (groesse != 124 || formatGroesse != 32) return Tr("a damaged DDS header");
    const auto seite = static_cast<std::uint32_t>(maxSeite);
    if (k.Hoehe == 0 || k.Breite == 0 || k.Hoehe > seite || k.Breite > seite)
        return Groessenfehler(k.Breite, k.Hoehe, maxSeite);
    if (caps2 & (0x200u | 0x200000u)) return Tr("a cube map or volume texture, not a flat one");
    if (formatFlags & 0x4u) {  // FOURCC
        const std::string fourcc(reinterpret_cast<const char*>(d + 84), 4);
        k.Vormultipliziert = fourcc == "DXT2" || fourcc == "DXT4";
        if (fourcc == "DXT1")
            k.Format = Art::BC1;
        else if (fourcc == "DXT2" || fourcc == "DXT3")
            k.Format = Art::BC2;
        else if (fourcc == "DXT4" || fourcc == "DXT5")
            k.Format = Art::BC3;
        else if (fourcc == "ATI1" || fourcc == "BC4U")
            k.Format = Art::BC4;
        else if (fourcc == "ATI2" || fourcc == "BC5U")
            k.Format = Art::BC5;
        else if (fourcc == "DX10") {
            if (laenge < kKopfDx10) return Tr("a DDS header cut short");
            k.Daten = kKopfDx10;
            const std::uint32_t dimension = U32(d + 132), misc = U32(d + 136), anzahl = U32(d + 140);
            if (dimension == 4 || (misc & 0x4u)) return Tr("a cube map or volume texture, not a flat one");
            if (dimension != 2 && dimension != 3) return Tr("a damaged DDS header");
            if (anzahl == 0) return Tr("a damaged DDS header");
            if (anzahl > 1)
                // Catalog: a DDS file holding several textures of one size side by side.
                return Einsetzen(Tr("an array of %1 DDS textures, not a single one"),
                                 {std::to_string(anzahl)});
            if (std::string fehler = Dx10Format(U32(d + 128), k); !fehler.empty()) return fehler;
        } else
            return NichtGelesen(Lesbar(d + 84));
    } else if (formatFlags & (0x40u | 0x20000u | 0x2u)) {  // RGB, LUMINANCE, ALPHA
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return Einsetzen(Tr("a DDS pixel format of %1 bits"), {std::to_string(bits)});
        k.Bits = bits;
        // Mask bits beyond the pixel's own are not there.
        const std::uint32_t alle = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        const bool alpha = formatFlags & 0x1u;  // ALPHAPIXELS
        const std::uint32_t r = U32(d + 92) & alle, g = U32(d + 96) & alle, b = U32(d + 100) & alle,
                            a = U32(d + 104) & alle;
        if (formatFlags & 0x40u) {
            k.Masken = {r, g, b, alpha ? a : 0};
        } else if (formatFlags & 0x20000u) {
            k.Luminanz = true;
            k.Masken = {r, 0, 0, alpha ? a : 0};
        } else {
            k.NurAlpha = true;
            k.Masken = {0, 0, 0, a};
        }
    } else {
        return Tr("a DDS header without a pixel format");
    }
    if (k.Format != Art::Masken) k.BlockBytes = k.Format == Art::BC1 || k.Format == Art::BC4 ? 8 : 16;
    std::uint32_t stufenMoeglich = 1;
    for (std::uint32_t w = k.Breite, h = k.Hoehe; w > 1 || h > 1;
         w = std::max(1u, w / 2), h = std::max(1u, h / 2))
        ++stufenMoeglich;
    k.Stufen = std::max<std::uint32_t>(mipAnzahl, 1);
    if (k.Stufen > stufenMoeglich)
        return Einsetzen(Tr("%1 mipmap levels for %2 x %3 pixels"),
                         {std::to_string(k.Stufen), std::to_string(k.Breite), std::to_string(k.Hoehe)});
    k.Noetig = k.Daten;
    for (std::uint32_t i = 0, w = k.Breite, h = k.Hoehe; i < k.Stufen;
         ++i, w = std::max(1u, w / 2), h = std::max(1u, h / 2))
        k.Noetig += k.BlockBytes ? std::uint64_t{(w + 3) / 4} * ((h + 3) / 4) * k.BlockBytes
                                 : (std::uint64_t{w} * k.Bits + 7) / 8 * h;
    return {};
}

using Block = std::array<std::array<std::uint8_t, 4>, 16>;  // 4 x 4 texels, RGBA, row by row

// BC1's colour block, also BC2's and BC3's (`dxt1` false: always four colours).
void Farben(const std::uint8_t* b, bool dxt1, Block& aus) {
    const unsigned c0 = b[0] | b[1] << 8, c1 = b[2] | b[3] << 8;
    auto breit = [](unsigned c) {
        const unsigned r = c >> 11 & 31, g = c >> 5 & 63, bl = c & 31;
        return std::array<unsigned, 3>{(r * 255 + 15) / 31, (g * 255 + 31) / 63, (bl * 255 + 15) / 31};
    };
    const auto e0 = breit(c0), e1 = breit(c1);
    std::array<std::array<std::uint8_t, 4>, 4> palette{};
    for (std::size_t k = 0; k < 3; ++k) {
        palette[0][k] = static_cast<std::uint8_t>(e0[k]);
        palette[1][k] = static_cast<std::uint8_t>(e1[k]);
        if (!dxt1 || c0 > c1) {
            palette[2][k] = static_cast<std::uint8_t>((2 * e0[k] + e1[k] + 1) / 3);
            palette[3][k] = static_cast<std::uint8_t>((e0[k] + 2 * e1[k] + 1) / 3);
        } else {
            palette[2][k] = static_cast<std::uint8_t>((e0[k] + e1[k] + 1) / 2);
            palette[3][k] = 0;
        }
    }
    palette[0][3] = palette[1][3] = palette[2][3] = 255;
    palette[3][3] = !dxt1 || c0 > c1 ? 255 : 0;  // the three-colour mode's transparent black
    const std::uint32_t indizes = U32(b + 4);
    for (std::size_t i = 0; i < 16; ++i) aus[i] = palette[indizes >> (2 * i) & 3];
}

// BC3's alpha block and BC4's and BC5's channel blocks: eight steps between two end
// points, or six and the two extremes.
void Kanal(const std::uint8_t* b, Block& aus, std::size_t kanal) {
    const unsigned a0 = b[0], a1 = b[1];
    std::array<std::uint8_t, 8> werte{static_cast<std::uint8_t>(a0), static_cast<std::uint8_t>(a1)};
    if (a0 > a1) {
        for (unsigned i = 2; i < 8; ++i)
            werte[i] = static_cast<std::uint8_t>(((8 - i) * a0 + (i - 1) * a1 + 1) / 7);
    } else {
        for (unsigned i = 2; i < 6; ++i)
            werte[i] = static_cast<std::uint8_t>(((6 - i) * a0 + (i - 1) * a1 + 1) / 5);
        werte[6] = 0;
        werte[7] = 255;
    }
    std::uint64_t indizes = 0;
    for (int i = 0; i < 6; ++i) indizes |= std::uint64_t{b[2 + i]} << (8 * i);
    for (std::size_t i = 0; i < 16; ++i) aus[i][kanal] = werte[indizes >> (3 * i) & 7];
}

void BlockLesen(const std::uint8_t* b, Art art, Block& aus) {
    switch (art) {
        case Art::BC1:
            Farben(b, true, aus);
            break;
        case Art::BC2:
            Farben(b + 8, false, aus);
            for (std::size_t i = 0; i < 16; ++i)
                aus[i][3] = static_cast<std::uint8_t>((b[i / 2] >> (4 * (i % 2)) & 15) * 17);
            break;
        case Art::BC3:
            Farben(b + 8, false, aus);
            Kanal(b, aus, 3);
            break;
        case Art::BC4:
            Kanal(b, aus, 0);
            for (auto& t : aus) t[1] = t[2] = t[0], t[3] = 255;
            break;
        case Art::BC5:
            Kanal(b, aus, 0);
            Kanal(b + 8, aus, 1);
            for (auto& t : aus) t[2] = 0, t[3] = 255;
            break;
        case Art::Masken:
            break;
    }
}

// Colours stored times alpha back to the colours themselves: c * 255 / a rounded, at
// most 255; where alpha is 0 the colour is gone and stays black.
void Entmultiplizieren(Block& block) {
    for (auto& t : block)
        for (std::size_t k = 0; k < 3; ++k)
            t[k] = t[3] == 0 ? 0 : static_cast<std::uint8_t>(std::min(255, (t[k] * 255 + t[3] / 2) / t[3]));
}

// One level of blocks from `q` (exactly its bytes) into `s`.
void Bloecke(const std::uint8_t* q, const Kopf& kopf, Rasterstufe& s) {
    const Art art = kopf.Format;
    const std::uint32_t blockBytes = kopf.BlockBytes;
    const int bloeckeX = (s.Breite + 3) / 4, bloeckeY = (s.Hoehe + 3) / 4;
    Block block{};
    for (int by = 0; by < bloeckeY; ++by)
        for (int bx = 0; bx < bloeckeX; ++bx, q += blockBytes) {
            BlockLesen(q, art, block);
            if (kopf.Vormultipliziert) Entmultiplizieren(block);
            // Texels past the level's edge (a level of 1 x 1 or 2 x 2, a size not a
            // multiple of 4) are decoded and left.
            const int breite = std::min(4, s.Breite - bx * 4), hoehe = std::min(4, s.Hoehe - by * 4);
            for (int y = 0; y < hoehe; ++y)
                std::memcpy(&s.Rgba[(static_cast<std::size_t>(by * 4 + y) * s.Breite + bx * 4) * 4],
                            block[static_cast<std::size_t>(y) * 4].data(),
                            static_cast<std::size_t>(breite) * 4);
        }
}

// A channel by its mask: where it lies in the pixel and how to widen it to 8 bits.
// Fewer bits widen by repeating them (5 bits: v << 3 | v >> 2, 4 bits: v * 17), more
// keep their top 8.
struct Maskenkanal {
    std::uint32_t Maske = 0, Schiebung = 0, Bits = 0;

    explicit Maskenkanal(std::uint32_t maske) : Maske(maske) {
        if (maske == 0) return;
        while (!(maske >> Schiebung & 1u)) ++Schiebung;
        for (std::uint32_t m = maske >> Schiebung; m; m >>= 1) ++Bits;  // up to the top bit set
    }
    bool Da() const { return Maske != 0; }
    std::uint8_t Wert(std::uint32_t pixel) const {
        const std::uint32_t v = (pixel & Maske) >> Schiebung;
        if (Bits >= 8) return static_cast<std::uint8_t>(v >> (Bits - 8));
        std::uint32_t w = 0;
        for (int frei = 8; frei > 0; frei -= static_cast<int>(Bits))
            w |= frei >= static_cast<int>(Bits) ? v << (frei - static_cast<int>(Bits))
                                                : v >> (static_cast<int>(Bits) - frei);
        return static_cast<std::uint8_t>(w);
    }
};

// Which byte of a 32-bit pixel the mask covers whole; -1 for any other mask.
int Bytestelle(std::uint32_t maske) {
    for (int i = 0; i < 4; ++i)
        if (maske == 0xFFu << (8 * i)) return i;
    return -1;
}

void Pixel(const std::uint8_t* q, const Kopf& k, Rasterstufe& s) {
    const Maskenkanal r(k.Masken[0]), g(k.Masken[1]), b(k.Masken[2]), a(k.Masken[3]);
    const std::size_t bytes = k.Bits / 8, anzahl = static_cast<std::size_t>(s.Breite) * s.Hoehe;
    // The usual uncompressed texture (BGRA, RGBA, BGRX: each channel a whole byte of 32
    // bits) moves bytes instead of widening masked bits, four times as fast; the result
    // is the same, since an 8-bit channel widens to itself.
    if (const int sr = Bytestelle(k.Masken[0]), sg = Bytestelle(k.Masken[1]), sb = Bytestelle(k.Masken[2]),
        sa = k.Masken[3] != 0 ? Bytestelle(k.Masken[3]) : 4;
        k.Bits == 32 && !k.Luminanz && !k.NurAlpha && sr >= 0 && sg >= 0 && sb >= 0 && sa >= 0) {
        for (std::size_t i = 0; i < anzahl; ++i, q += 4) {
            std::uint8_t* z = &s.Rgba[i * 4];
            z[0] = q[sr];
            z[1] = q[sg];
            z[2] = q[sb];
            z[3] = sa < 4 ? q[sa] : 255;
        }
        return;
    }
    for (std::size_t i = 0; i < anzahl; ++i, q += bytes) {
        std::uint32_t pixel = 0;
        for (std::size_t j = 0; j < bytes; ++j) pixel |= static_cast<std::uint32_t>(q[j]) << (8 * j);
        std::uint8_t* z = &s.Rgba[i * 4];
        if (k.Luminanz) {
            z[0] = z[1] = z[2] = r.Da() ? r.Wert(pixel) : 0;
        } else if (k.NurAlpha) {
            // Alpha alone shows as grey, so that the mask can be seen.
            z[0] = z[1] = z[2] = a.Da() ? a.Wert(pixel) : 0;
        } else {
            z[0] = r.Da() ? r.Wert(pixel) : 0;
            z[1] = g.Da() ? g.Wert(pixel) : 0;
            z[2] = b.Da() ? b.Wert(pixel) : 0;
        }
        z[3] = a.Da() && !k.NurAlpha ? a.Wert(pixel) : 255;
    }
}

}  // namespace

Rasterbild DdsAusBytes(const std::uint8_t* daten, std::size_t laenge, int maxSeite) {
    Rasterbild bild;
    Kopf k;
    bild.Fehler = KopfPruefen(daten, laenge, maxSeite, k);
    if (!bild.Fehler.empty()) return bild;
    if (laenge < k.Noetig) {
        bild.Fehler = Einsetzen(Tr("a DDS file cut short (%1 of %2 bytes)"),
                                {std::to_string(laenge), std::to_string(k.Noetig)});
        return bild;
    }
    const std::uint8_t* q = daten + k.Daten;
    for (std::uint32_t i = 0, w = k.Breite, h = k.Hoehe; i < k.Stufen;
         ++i, w = std::max(1u, w / 2), h = std::max(1u, h / 2)) {
        Rasterstufe s{static_cast<int>(w), static_cast<int>(h), {}};
        s.Rgba.resize(std::size_t{w} * h * 4);
        if (k.BlockBytes) {
            Bloecke(q, k, s);
            q += std::size_t{(w + 3) / 4} * ((h + 3) / 4) * k.BlockBytes;
        } else {
            Pixel(q, k, s);
            q += std::size_t{w} * (k.Bits / 8) * h;
        }
        bild.Stufen.push_back(std::move(s));
    }
    return bild;
}

Rasterbild DdsLesen(const std::filesystem::path& pfad, int maxSeite) {
    Rasterbild bild;
    const std::vector<std::uint8_t> kopf = DateianfangLesen(pfad, kKopfDx10, bild.Fehler);
    if (!bild.Fehler.empty()) return bild;
    Kopf k;
    bild.Fehler = KopfPruefen(kopf.data(), kopf.size(), maxSeite, k);
    if (!bild.Fehler.empty()) return bild;
    // The whole texture, checked again from these bytes: the file may have changed since.
    const std::vector<std::uint8_t> daten = DateianfangLesen(pfad, k.Noetig, bild.Fehler);
    if (!bild.Fehler.empty()) return bild;
    return DdsAusBytes(daten.data(), daten.size(), maxSeite);
}

}  // namespace pavolant
