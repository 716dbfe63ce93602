#include "persistence/TgaBild.h"

#include "model/Text.h"

#include <algorithm>
#include <array>
#include <string>

namespace pavolant {

namespace {

constexpr std::size_t kKopf = 18;

unsigned U16(const std::uint8_t* p) { return p[0] | p[1] << 8; }

struct Kopf {
    unsigned Typ = 0;  // 1 colour-mapped, 2 true colour, 3 grey
    bool Rle = false;
    unsigned Breite = 0, Hoehe = 0;
    unsigned Bits = 0;  // a pixel (an index for colour-mapped ones)
    unsigned AlphaBits = 0;
    bool VonOben = false, VonRechts = false;
    unsigned KarteErster = 0, KarteLaenge = 0, KarteBits = 0;
    std::size_t Karte = 0, Daten = 0;  // where the colour map and the pixels start
};

std::string KopfPruefen(const std::uint8_t* d, std::size_t laenge, int maxSeite, Kopf& k) {
    if (laenge < kKopf) return Tr("a TGA header cut short");
    const unsigned typ = d[2], kartenTyp = d[1];
    k.Typ = typ & 7u;
    k.Rle = typ & 8u;
    if ((typ & ~0xBu) != 0 || k.Typ == 0)
        // Catalog: %1 is the number of the image type in the TGA header.
        return Einsetzen(
            Tr("the TGA image type %1, which is not read (true colour, grey and colour-mapped are)"),
            {std::to_string(typ)});
    k.KarteErster = U16(d + 3);
    k.KarteLaenge = U16(d + 5);
    k.KarteBits = d[7];
    k.Breite = U16(d + 12);
    k.Hoehe = U16(d + 14);
    k.Bits = d[16];
    k.AlphaBits = d[17] & 15u;
    k.VonRechts = d[17] & 0x10u;
    k.VonOben = d[17] & 0x20u;
    const bool karteBitsGut =
        k.KarteBits == 15 || k.KarteBits == 16 || k.KarteBits == 24 || k.KarteBits == 32;
    if (kartenTyp > 1 || (kartenTyp == 1 && k.KarteLaenge > 0 && !karteBitsGut) ||
        (k.Typ == 1 && (kartenTyp != 1 || k.KarteLaenge == 0)))
        return Tr("a damaged TGA file");
    const bool bitsGut = k.Typ == 1   ? k.Bits == 8 || k.Bits == 16
                         : k.Typ == 2 ? k.Bits == 15 || k.Bits == 16 || k.Bits == 24 || k.Bits == 32
                                      : k.Bits == 8 || k.Bits == 16;
    if (!bitsGut) return Einsetzen(Tr("a TGA pixel format of %1 bits"), {std::to_string(k.Bits)});
    const auto seite = static_cast<unsigned>(maxSeite);
    if (k.Breite == 0 || k.Hoehe == 0 || k.Breite > seite || k.Hoehe > seite)
        return Groessenfehler(k.Breite, k.Hoehe, maxSeite);
    k.Karte = kKopf + d[0];  // behind the image ID
    k.Daten = k.Karte + (kartenTyp == 1 ? std::size_t{k.KarteLaenge} * ((k.KarteBits + 7) / 8) : 0);
    return {};
}

using Farbe = std::array<std::uint8_t, 4>;

Farbe AusBits(const std::uint8_t* p, unsigned bits, unsigned alphaBits) {
    switch (bits) {
        case 15:
        case 16: {  // A RRRRR GGGGG BBBBB
            const unsigned v = U16(p), r = v >> 10 & 31, g = v >> 5 & 31, b = v & 31;
            const bool alpha = bits == 16 && alphaBits > 0;
            return {static_cast<std::uint8_t>(r << 3 | r >> 2), static_cast<std::uint8_t>(g << 3 | g >> 2),
                    static_cast<std::uint8_t>(b << 3 | b >> 2),
                    static_cast<std::uint8_t>(!alpha || (v & 0x8000u) ? 255 : 0)};
        }
        case 24:
            return {p[2], p[1], p[0], 255};
        default:  // 32: B, G, R, A
            return {p[2], p[1], p[0], alphaBits > 0 ? p[3] : std::uint8_t{255}};
    }
}

}  // namespace

Rasterbild TgaAusBytes(const std::uint8_t* daten, std::size_t laenge, int maxSeite) {
    Rasterbild bild;
    Kopf k;
    bild.Fehler = KopfPruefen(daten, laenge, maxSeite, k);
    if (!bild.Fehler.empty()) return bild;
    // The fewest bytes the pixels can take (run-length encoded: every packet of 128 the
    // same, one value each), so that a short file takes no picture memory.
    const std::size_t bytes = (k.Bits + 7) / 8, anzahl = std::size_t{k.Breite} * k.Hoehe;
    const std::size_t mindestens = k.Rle ? (anzahl + 127) / 128 * (bytes + 1) : anzahl * bytes;
    if (laenge < k.Daten || laenge - k.Daten < mindestens) {
        bild.Fehler = Tr("a TGA file cut short");
        return bild;
    }
    // The colour map as RGBA, so that an index is one look-up.
    std::vector<Farbe> karte;
    if (k.Typ == 1) {
        karte.resize(k.KarteLaenge);
        const std::size_t bytes = (k.KarteBits + 7) / 8;
        for (std::size_t i = 0; i < karte.size(); ++i)
            karte[i] = AusBits(daten + k.Karte + i * bytes, k.KarteBits, k.KarteBits == 32 ? 8 : k.AlphaBits);
    }
    auto farbe = [&](const std::uint8_t* p, Farbe& aus) {
        if (k.Typ == 2) {
            aus = AusBits(p, k.Bits, k.AlphaBits);
        } else if (k.Typ == 3) {
            aus = {p[0], p[0], p[0], k.Bits == 16 ? p[1] : std::uint8_t{255}};
        } else {
            const unsigned index = k.Bits == 16 ? U16(p) : p[0];
            if (index < k.KarteErster || index - k.KarteErster >= karte.size()) return false;
            aus = karte[index - k.KarteErster];
        }
        return true;
    };

    Rasterstufe s{static_cast<int>(k.Breite), static_cast<int>(k.Hoehe), {}};
    s.Rgba.resize(anzahl * 4);
    // The n-th pixel in the file's order to its place, rows from the top down.
    auto setzen = [&](std::size_t n, const Farbe& f) {
        const std::size_t x = n % k.Breite, y = n / k.Breite;
        const std::size_t zx = k.VonRechts ? k.Breite - 1 - x : x, zy = k.VonOben ? y : k.Hoehe - 1 - y;
        std::uint8_t* z = &s.Rgba[(zy * k.Breite + zx) * 4];
        for (std::size_t c = 0; c < 4; ++c) z[c] = f[c];
    };
    // Every pass sets at least one pixel or ends: the work is bounded by the picture.
    std::size_t pos = k.Daten, n = 0;
    Farbe f{};
    while (n < anzahl) {
        // Plainly stored pixels are one raw packet of them all.
        std::size_t paket = anzahl - n;
        bool wiederholt = false;
        if (k.Rle) {
            if (pos >= laenge) break;
            const unsigned c = daten[pos++];
            paket =
                std::min<std::size_t>((c & 0x7Fu) + 1, anzahl - n);  // a packet past the last pixel is cut
            wiederholt = c & 0x80u;
        }
        if ((laenge - pos) / bytes < (wiederholt ? 1 : paket)) break;
        for (std::size_t i = 0; i < paket; ++i) {
            if (i == 0 || !wiederholt) {
                if (!farbe(daten + pos, f)) return {{}, Tr("a damaged TGA file")};
                pos += bytes;
            }
            setzen(n++, f);
        }
    }
    if (n < anzahl) {
        bild.Fehler = Tr("a TGA file cut short");
        return bild;
    }
    bild.Stufen.push_back(std::move(s));
    return bild;
}

Rasterbild TgaLesen(const std::filesystem::path& pfad, int maxSeite) {
    Rasterbild bild;
    const std::vector<std::uint8_t> kopf = DateianfangLesen(pfad, kKopf, bild.Fehler);
    if (!bild.Fehler.empty()) return bild;
    Kopf k;
    bild.Fehler = KopfPruefen(kopf.data(), kopf.size(), maxSeite, k);
    if (!bild.Fehler.empty()) return bild;
    // At most: ID, colour map and every pixel in a packet of its own (one byte more each).
    const std::uint64_t hoechstens = std::uint64_t{255} + kKopf + std::uint64_t{65535} * 4 +
                                     std::uint64_t{k.Breite} * k.Hoehe * ((k.Bits + 7) / 8 + 1);
    const std::vector<std::uint8_t> daten = DateianfangLesen(pfad, hoechstens, bild.Fehler);
    if (!bild.Fehler.empty()) return bild;
    return TgaAusBytes(daten.data(), daten.size(), maxSeite);
}

}  // namespace pavolant
