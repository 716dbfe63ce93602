#include "tests/support/PngSchreiber.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace pavolant::test {

namespace {

void Gross32(std::string& ziel, std::uint32_t wert) {
    for (int i = 3; i >= 0; --i) ziel += static_cast<char>(wert >> (8 * i) & 0xFFu);
}

std::uint32_t Crc32(const std::string& daten) {
    static const std::array<std::uint32_t, 256> tabelle = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char z : daten) c = tabelle[(c ^ static_cast<std::uint8_t>(z)) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void Chunk(std::string& datei, const char* art, const std::string& inhalt) {
    Gross32(datei, static_cast<std::uint32_t>(inhalt.size()));
    const std::string mitArt = std::string(art, 4) + inhalt;
    datei += mitArt;
    Gross32(datei, Crc32(mitArt));
}

}  // namespace

std::string PngDatei(int breite, int hoehe, const std::vector<std::uint16_t>& werte, int bits, int kanaele) {
    static const int kFarbtyp[5] = {-1, 0, 4, 2, 6};
    if (kanaele < 1 || kanaele > 4 || (bits != 8 && bits != 16) ||
        werte.size() != static_cast<std::size_t>(breite) * hoehe * kanaele)
        throw std::invalid_argument("PngDatei: the samples do not fit the size");
    // The rows, each behind its filter byte (0: none).
    std::string roh;
    for (int y = 0; y < hoehe; ++y) {
        roh += '\0';
        for (int i = 0; i < breite * kanaele; ++i) {
            const std::uint16_t w = werte[static_cast<std::size_t>(y) * breite * kanaele + i];
            if (bits == 16) roh += static_cast<char>(w >> 8);
            roh += static_cast<char>(w & 0xFFu);
        }
    }
    // zlib: header, stored blocks of at most 65535 bytes, Adler-32.
    std::string zlib = "\x78\x01";
    std::size_t stelle = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, roh.size() - stelle);
        const bool letzter = stelle + n == roh.size();
        zlib += static_cast<char>(letzter ? 1 : 0);
        zlib += static_cast<char>(n & 0xFFu);
        zlib += static_cast<char>(n >> 8);
        zlib += static_cast<char>(~n & 0xFFu);
        zlib += static_cast<char>((~n >> 8) & 0xFFu);
        zlib.append(roh, stelle, n);
        stelle += n;
    } while (stelle < roh.size());
    std::uint32_t a = 1, b = 0;
    for (const char z : roh) {
        a = (a + static_cast<std::uint8_t>(z)) % 65521;
        b = (b + a) % 65521;
    }
    Gross32(zlib, b << 16 | a);

    std::string datei("\x89PNG\r\n\x1a\n", 8);
    std::string kopf;
    Gross32(kopf, static_cast<std::uint32_t>(breite));
    Gross32(kopf, static_cast<std::uint32_t>(hoehe));
    kopf += static_cast<char>(bits);
    kopf += static_cast<char>(kFarbtyp[kanaele]);
    kopf += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
    Chunk(datei, "IHDR", kopf);
    Chunk(datei, "IDAT", zlib);
    Chunk(datei, "IEND", "");
    return datei;
}

}  // namespace pavolant::test
