#include "persistence/Textkodierung.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "persistence/Zeichensatz.h"

namespace pavolant {
namespace {

// Code points of the bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined map
// to the C1 control of the same number, so every byte sequence survives a round trip.
constexpr std::array<char32_t, 32> kCp1252Hoch = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

}  // namespace

// ---- Windows-1252 ------------------------------------------------------------------

std::string AusCp1252(std::string_view bytes) {
    std::string ergebnis;
    ergebnis.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        Utf8Anhaengen(ergebnis, (b >= 0x80 && b <= 0x9F) ? kCp1252Hoch[b - 0x80] : char32_t{b});
    }
    return ergebnis;
}

bool NachCp1252Anhaengen(std::string_view utf8, std::string& ziel) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8SequenzLaenge(utf8, i);
        if (n == 0) return false;
        const char32_t cp = Utf8Dekodieren(utf8, i, n);
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            ziel += static_cast<char>(cp);
            continue;
        }
        std::size_t k = 0;
        while (k < kCp1252Hoch.size() && kCp1252Hoch[k] != cp) ++k;
        if (k == kCp1252Hoch.size()) return false;
        ziel += static_cast<char>(0x80 + k);
    }
    return true;
}

bool InCp1252Darstellbar(std::string_view utf8) {
    std::string verworfen;
    return NachCp1252Anhaengen(utf8, verworfen);
}

// ---- UTF-16 ------------------------------------------------------------------------

std::string AusUtf16(std::string_view bytes, bool grossEndian) {
    const auto einheit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return grossEndian ? char32_t{a} << 8 | b : char32_t{b} << 8 | a;
    };
    std::string ergebnis;
    ergebnis.reserve(bytes.size() / 2);  // exact for ASCII, the bulk of an INI file
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = einheit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t tief = einheit(i + 2);
            if (tief >= 0xDC00 && tief <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (tief - 0xDC00);
                i += 2;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
        Utf8Anhaengen(ergebnis, c);
    }
    if (i < bytes.size()) Utf8Anhaengen(ergebnis, 0xFFFD);
    return ergebnis;
}

void NachUtf16Anhaengen(std::string_view utf8, bool grossEndian, std::string& ziel) {
    const auto einheit = [&](char32_t u) {
        const auto hoch = static_cast<char>(u >> 8), tief = static_cast<char>(u & 0xFF);
        ziel += grossEndian ? hoch : tief;
        ziel += grossEndian ? tief : hoch;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8SequenzLaenge(utf8, i);
        char32_t c = n == 0 ? char32_t{0xFFFD} : Utf8Dekodieren(utf8, i, n);
        i += n == 0 ? 1 : n;
        if (c >= 0x10000) {
            c -= 0x10000;
            einheit(0xD800 + (c >> 10));
            einheit(0xDC00 + (c & 0x3FF));
        } else {
            einheit(c);
        }
    }
}

// ---- Encodings refused ------------------------------------------------------------

// A text file has no place for a zero byte; in UTF-32 and UTF-16 zero bytes stand in a
// fixed pattern, as every ASCII character (the names, '=', '[', digits) has zero high
// bytes. A few stray zero bytes in a text file make no such pattern and read as before.
std::optional<FremdeKodierung> NichtLesbareKodierung(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (bytes.starts_with("\xFF\xFE\0\0"sv) || bytes.starts_with("\0\0\xFE\xFF"sv))
        return FremdeKodierung::Utf32;
    if (bytes.starts_with(kBomUtf16LE) || bytes.starts_with(kBomUtf16BE) || bytes.starts_with(kBomUtf8))
        return std::nullopt;
    const std::size_t probe = std::min<std::size_t>(bytes.size(), 4096);
    std::array<std::size_t, 4> nullen{};
    for (std::size_t i = 0; i < (probe & ~std::size_t{3}); ++i) nullen[i % 4] += bytes[i] == '\0';
    // In UTF-32 the highest byte of every unit is zero and the next one nearly always.
    const std::size_t gruppen = probe / 4;
    if (gruppen > 0 && nullen[3] == gruppen && 2 * nullen[2] >= gruppen && nullen[0] < gruppen)
        return FremdeKodierung::Utf32;
    if (gruppen > 0 && nullen[0] == gruppen && 2 * nullen[1] >= gruppen && nullen[3] < gruppen)
        return FremdeKodierung::Utf32;
    std::size_t gerade = 0, ungerade = 0;
    for (std::size_t i = 0; i < (probe & ~std::size_t{1}); ++i)
        (i % 2 == 0 ? gerade : ungerade) += bytes[i] == '\0';
    const std::size_t einheiten = probe / 2;
    const auto muster = [einheiten](std::size_t viele, std::size_t wenige) {
        return einheiten > 0 && 2 * viele >= einheiten && 16 * wenige <= viele;
    };
    if (muster(ungerade, gerade) || muster(gerade, ungerade)) return FremdeKodierung::Utf16OhneBom;
    return std::nullopt;
}

// ---- Latin-1 -----------------------------------------------------------------------

std::string AusLatin1(std::string_view bytes) {
    std::string ergebnis;
    for (const char c : bytes) Utf8Anhaengen(ergebnis, static_cast<unsigned char>(c));
    return ergebnis;
}

}  // namespace pavolant
