#include "persistence/Zeichensatz.h"

namespace pavolant {

// Length of the well-formed UTF-8 sequence starting at s[i], 0 when there is none
// (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::size_t Utf8SequenzLaenge(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    std::size_t laenge = 0;
    unsigned char min = 0x80, max = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        laenge = 2;
    } else if (c == 0xE0) {
        laenge = 3;
        min = 0xA0;
    } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
        laenge = 3;
    } else if (c == 0xED) {
        laenge = 3;
        max = 0x9F;
    } else if (c == 0xF0) {
        laenge = 4;
        min = 0x90;
    } else if (c >= 0xF1 && c <= 0xF3) {
        laenge = 4;
    } else if (c == 0xF4) {
        laenge = 4;
        max = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - i < laenge) return 0;
    const auto zweites = static_cast<unsigned char>(s[i + 1]);
    if (zweites < min || zweites > max) return 0;
    for (std::size_t k = 2; k < laenge; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return laenge;
}

// The code point of a well-formed sequence of length n at s[i].
char32_t Utf8Dekodieren(std::string_view s, std::size_t i, std::size_t n) {
    const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k])); };
    switch (n) {
        case 1:
            return b(0);
        case 2:
            return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3:
            return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default:
            return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    }
}

bool IstUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = Utf8SequenzLaenge(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void Utf8Anhaengen(std::string& ziel, char32_t cp) {
    if (cp < 0x80) {
        ziel += static_cast<char>(cp);
    } else if (cp < 0x800) {
        ziel += static_cast<char>(0xC0 | (cp >> 6));
        ziel += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        ziel += static_cast<char>(0xE0 | (cp >> 12));
        ziel += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        ziel += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        ziel += static_cast<char>(0xF0 | (cp >> 18));
        ziel += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        ziel += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        ziel += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace pavolant
