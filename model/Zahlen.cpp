#include "model/Zahlen.h"

#include "model/Text.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace pavolant {

namespace {

char gDezimaltrenner = '.';

bool IstLeer(char c) { return c == ' ' || c == '\t'; }
bool IstZiffer(char c) { return c >= '0' && c <= '9'; }

std::string_view OhneRandLeer(std::string_view s) {
    while (!s.empty() && IstLeer(s.front())) s.remove_prefix(1);
    while (!s.empty() && IstLeer(s.back())) s.remove_suffix(1);
    return s;
}

// Parses `text` with `trenner` as the only decimal separator. The grammar is
//   blanks [sign] (digits [sep digits*] | sep digits) [(e|E) [sign] digits] blanks
// and the value must lie in the double range (an underflow becomes a signed zero).
bool Zerlegen(std::string_view text, char trenner, double& ergebnis) {
    std::string_view s = OhneRandLeer(text);
    std::size_t i = 0;
    bool negativ = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativ = s[i++] == '-';

    const std::size_t ganzAnfang = i;
    while (i < s.size() && IstZiffer(s[i])) ++i;
    const std::string_view ganz = s.substr(ganzAnfang, i - ganzAnfang);
    std::string_view bruch;
    if (i < s.size() && s[i] == trenner) {
        const std::size_t bruchAnfang = ++i;
        while (i < s.size() && IstZiffer(s[i])) ++i;
        bruch = s.substr(bruchAnfang, i - bruchAnfang);
    }
    if (ganz.empty() && bruch.empty()) return false;

    // The exponent is kept as a capped integer: beyond a billion the value is out of
    // range (or zero) whatever the mantissa, and the cap keeps the arithmetic defined.
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegativ = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNegativ = s[i++] == '-';
        const std::size_t expAnfang = i;
        while (i < s.size() && IstZiffer(s[i])) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (i == expAnfang) return false;
        if (expNegativ) exponent = -exponent;
    }
    if (i != s.size()) return false;

    // Where the first significant digit stands decides overflow against underflow.
    const std::size_t erste = [&] {
        for (std::size_t k = 0; k < ganz.size(); ++k)
            if (ganz[k] != '0') return k;
        for (std::size_t k = 0; k < bruch.size(); ++k)
            if (bruch[k] != '0') return ganz.size() + k;
        return std::string_view::npos;
    }();
    if (erste == std::string_view::npos) {
        ergebnis = negativ ? -0.0 : 0.0;
        return true;
    }
    const long long dekadenExponent =
        static_cast<long long>(ganz.size()) - 1 - static_cast<long long>(erste) + exponent;
    if (dekadenExponent > 400) return false;
    if (dekadenExponent < -400) {
        ergebnis = negativ ? -0.0 : 0.0;
        return true;
    }

    std::string normal;
    normal.reserve(ganz.size() + bruch.size() + 16);
    normal.append(ganz.empty() ? std::string_view("0") : ganz);
    normal.push_back('.');
    normal.append(bruch.empty() ? std::string_view("0") : bruch);
    normal.push_back('e');
    normal.append(std::to_string(exponent));

    double wert = 0;
    const auto [ende, fehler] = std::from_chars(normal.data(), normal.data() + normal.size(), wert);
    if (fehler == std::errc::result_out_of_range) {
        if (dekadenExponent > 0) return false;
        wert = 0.0;  // below the smallest subnormal
    } else if (fehler != std::errc() || ende != normal.data() + normal.size()) {
        return false;
    }
    if (!std::isfinite(wert)) return false;
    ergebnis = negativ ? -wert : wert;
    return true;
}

// Writes the decimal digits of v at the end of a buffer that ends at `ende`, returns
// the start.
char* ZiffernRueckwaerts(char* ende, std::uint64_t v) {
    do {
        *--ende = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    return ende;
}

}  // namespace

char Dezimaltrenner() { return gDezimaltrenner; }

void SetzeDezimaltrenner(char trenner) { gDezimaltrenner = trenner == ',' ? ',' : '.'; }

std::string SichtbarerText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string sichtbar;
    sichtbar.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            sichtbar += "\\x";
            sichtbar += kHex[b >> 4];
            sichtbar += kHex[b & 0xF];
        } else {
            sichtbar += c;
        }
    }
    return sichtbar;
}

double ZahlAusText(std::string_view text) {
    const char eigener = gDezimaltrenner;
    double wert = 0;
    if (Zerlegen(text, eigener, wert)) return wert;

    const char fremder = eigener == '.' ? ',' : '.';
    std::string umgesetzt(text);
    for (char& c : umgesetzt)
        if (c == fremder) c = eigener;
    if (Zerlegen(umgesetzt, eigener, wert)) return wert;

    // Catalog: %1 is the text that was typed. The window finds the field by the text
    // between the first and the last apostrophe: keep both and add no other.
    throw KonvertierungsFehler(
        Einsetzen(Tr("'%1' ist kein gültiger Gleitkommawert"), {SichtbarerText(text)}));
}

int GanzzahlAusText(std::string_view text) {
    const std::string_view s = OhneRandLeer(text);
    std::size_t i = 0;
    bool negativ = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativ = s[i++] == '-';
    const std::size_t anfang = i;
    long long wert = 0;
    bool zuGross = false;
    while (i < s.size() && IstZiffer(s[i])) {
        wert = wert * 10 + (s[i] - '0');
        if (wert > static_cast<long long>(INT_MAX) + 1) {
            zuGross = true;
            wert = static_cast<long long>(INT_MAX) + 1;  // stays defined on long input
        }
        ++i;
    }
    if (negativ) wert = -wert;
    if (i == anfang || i != s.size() || zuGross || wert > INT_MAX || wert < INT_MIN)
        // Catalog: %1 is the text that was typed. The window finds the field by the text
        // between the first and the last apostrophe: keep both and add no other.
        throw KonvertierungsFehler(
            Einsetzen(Tr("'%1' ist kein gültiger Integerwert"), {SichtbarerText(text)}));
    return static_cast<int>(wert);
}

std::string FormatAllgemein(double wert) { return FormatAllgemein(wert, gDezimaltrenner); }

std::string FormatAllgemein(double wert, char trenner) {
    if (std::isnan(wert)) return "NAN";
    if (std::isinf(wert)) return wert < 0 ? "-INF" : "INF";
    if (wert == 0) return "0";
    // Rounded to 15 digits, the values closest to the largest double would read back
    // as an overflow; the largest 15-digit number below them still reads back.
    constexpr double kGroesste15 = 1.79769313486231e308;
    if (std::fabs(wert) > kGroesste15) wert = std::copysign(kGroesste15, wert);

    // 15 significant digits, correctly rounded, independent of the C locale.
    std::array<char, 32> puffer{};
    const auto ergebnis = std::to_chars(puffer.data(), puffer.data() + puffer.size(), std::fabs(wert),
                                        std::chars_format::scientific, 14);
    // Form: d.ddddddddddddddde[+-]xx
    const char* p = puffer.data();
    std::string ziffern;
    ziffern.push_back(*p++);
    ++p;  // '.'
    while (*p != 'e') ziffern.push_back(*p++);
    ++p;  // 'e'
    const bool expNegativ = *p == '-';
    int exponent = 0;
    std::from_chars(p + 1, ergebnis.ptr, exponent);
    if (expNegativ) exponent = -exponent;
    while (ziffern.size() > 1 && ziffern.back() == '0') ziffern.pop_back();

    std::string text;
    if (wert < 0) text.push_back('-');
    const int anzahl = static_cast<int>(ziffern.size());
    if (exponent < -4 || exponent >= 15) {
        text.push_back(ziffern[0]);
        if (anzahl > 1) {
            text.push_back(trenner);
            text.append(ziffern, 1);
        }
        text.push_back('E');
        text.append(std::to_string(exponent));
    } else if (exponent >= 0) {
        if (anzahl <= exponent + 1) {
            text.append(ziffern);
            text.append(static_cast<std::size_t>(exponent + 1 - anzahl), '0');
        } else {
            text.append(ziffern, 0, static_cast<std::size_t>(exponent + 1));
            text.push_back(trenner);
            text.append(ziffern, static_cast<std::size_t>(exponent + 1));
        }
    } else {
        text.push_back('0');
        text.push_back(trenner);
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text.append(ziffern);
    }
    return text;
}

std::size_t SchreibeFest4(char* puffer, double wert) {
    if (!std::isfinite(wert))
        throw std::domain_error("non-finite value cannot be written in the fixed format");

    const bool negativ = std::signbit(wert);
    const double betrag = std::fabs(wert);
    double ganz = std::floor(betrag);
    const double bruch = betrag - ganz;  // exact for every double

    // Four decimals of the fraction: p + rest is exactly bruch * 10000 (p < 10000, so
    // its grid is far finer than 0.5 and `rest` only decides exact halves).
    const double p = bruch * 10000.0;
    const double rest = std::fma(bruch, 10000.0, -p);
    const double unten = std::floor(p);
    const double anteil = p - unten;
    const bool auf = anteil > 0.5 || (anteil == 0.5 && rest >= 0.0);
    auto dezimalen = static_cast<std::uint32_t>(unten) + (auf ? 1u : 0u);
    if (dezimalen == 10000) {
        dezimalen = 0;
        ganz += 1.0;  // ganz < 2^53 here: a fraction exists only below it
    }

    char* z = puffer;
    if (negativ && (ganz != 0.0 || dezimalen != 0)) *z++ = '-';
    if (ganz < 18446744073709551616.0) {
        std::array<char, 24> tmp;
        char* ende = tmp.data() + tmp.size();
        char* anfang = ZiffernRueckwaerts(ende, static_cast<std::uint64_t>(ganz));
        const auto laenge = static_cast<std::size_t>(ende - anfang);
        std::memcpy(z, anfang, laenge);
        z += laenge;
    } else {
        // Beyond 2^64 every double is a whole number; write all its exact digits.
        z = std::to_chars(z, puffer + kFest4MaxLaenge - 5, ganz, std::chars_format::fixed, 0).ptr;
    }
    *z++ = '.';
    z[3] = static_cast<char>('0' + dezimalen % 10);
    z[2] = static_cast<char>('0' + dezimalen / 10 % 10);
    z[1] = static_cast<char>('0' + dezimalen / 100 % 10);
    z[0] = static_cast<char>('0' + dezimalen / 1000);
    z += 4;
    return static_cast<std::size_t>(z - puffer);
}

std::size_t AnhaengenFest4(std::string& ziel, double wert) {
    char puffer[kFest4MaxLaenge];
    const std::size_t laenge = SchreibeFest4(puffer, wert);
    ziel.append(puffer, laenge);
    return laenge;
}

std::string FormatFest4(double wert) {
    std::string text;
    AnhaengenFest4(text, wert);
    return text;
}

double RundeGerade(double wert) {
    if (!std::isfinite(wert)) return wert;
    double r = std::floor(wert);
    const double rest = wert - r;  // exact; 0 for values beyond 2^52
    if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return r == 0.0 ? 0.0 : r;
}

double RundeAufStellen(double wert, double schritte) { return RundeGerade(wert * schritte) / schritte; }

int RundeGeradeInt(double wert) {
    if (std::isnan(wert)) return 0;
    const double r = RundeGerade(wert);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

namespace {

// pi / 180 and 180 / pi each as an unevaluated sum hi + lo of two doubles, together
// accurate to about 2^-107. Product hi * x is split exactly with fma, so the one final
// addition rounds the (nearly) exact value once: the correctly rounded result.
constexpr double kGradHi = 0.017453292519943295;
constexpr double kGradLo = 2.9486522708701687e-19;
constexpr double kRadHi = 57.29577951308232;
constexpr double kRadLo = -1.9878495670576283e-15;

double MalKonstante(double x, double hi, double lo) {
    if (!std::isfinite(x)) return x * hi;
    const double p = x * hi;
    const double fehler = std::fma(x, hi, -p);
    return p + (fehler + x * lo);
}

}  // namespace

double GradZuRad(double grad) { return MalKonstante(grad, kGradHi, kGradLo); }

double RadZuGrad(double rad) { return MalKonstante(rad, kRadHi, kRadLo); }

double GradAufHundertstel(double rad) { return RundeAufStellen(RadZuGrad(rad), 100); }

}  // namespace pavolant
