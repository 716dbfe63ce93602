// The number formats are read character by character by the level editor and by users'
// files on both kinds of locale, so they are tested against independent references:
// exact decimal expansions for the fixed format, extended precision for the angle
// conversion, and round trips for the general format.
#include "model/Zahlen.h"
#include "persistence/Plattform.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <random>
#include <string>

using namespace pavolant;
using pavolant::test::MitDezimaltrenner;

namespace {

std::string FehlerText(std::string_view text) {
    try {
        ZahlAusText(text);
    } catch (const KonvertierungsFehler& f) {
        return f.what();
    }
    return "(no error)";
}

// Reference for the fixed format, built on the exact decimal expansion of the double
// (every double has one with at most 1074 decimals) and string arithmetic only.
std::string Fest4Referenz(double x) {
    std::string exakt(1500, '\0');
    const auto r = std::to_chars(exakt.data(), exakt.data() + exakt.size(), std::fabs(x),
                                 std::chars_format::fixed, 1100);
    exakt.resize(static_cast<std::size_t>(r.ptr - exakt.data()));
    const std::size_t punkt = exakt.find('.');
    std::string ziffern = exakt.substr(0, punkt) + exakt.substr(punkt + 1, 4);  // scaled by 10^4
    const std::string rest = exakt.substr(punkt + 5);
    // Ties go away from zero: a rest of "5000..." rounds up like anything above it.
    if (rest[0] >= '5') {
        int i = static_cast<int>(ziffern.size()) - 1;
        while (i >= 0 && ziffern[static_cast<std::size_t>(i)] == '9')
            ziffern[static_cast<std::size_t>(i--)] = '0';
        if (i < 0)
            ziffern.insert(ziffern.begin(), '1');
        else
            ++ziffern[static_cast<std::size_t>(i)];
    }
    std::string ganz = ziffern.substr(0, ziffern.size() - 4);
    const std::string dez = ziffern.substr(ziffern.size() - 4);
    const bool null = ganz.find_first_not_of('0') == std::string::npos && dez == "0000";
    return (std::signbit(x) && !null ? "-" : "") + ganz + "." + dez;
}

TEST(ZahlAusText, AcceptsEitherSeparatorUnderEitherLocale) {
    for (char trenner : {',', '.'}) {
        MitDezimaltrenner t(trenner);
        SCOPED_TRACE(std::string("locale separator ") + trenner);
        EXPECT_EQ(ZahlAusText("1.5"), 1.5);
        EXPECT_EQ(ZahlAusText("1,5"), 1.5);
        EXPECT_EQ(ZahlAusText("  -2,25  "), -2.25);
        EXPECT_EQ(ZahlAusText("\t+7\t"), 7.0);
        EXPECT_EQ(ZahlAusText("1,5e3"), 1500.0);
        EXPECT_EQ(ZahlAusText("1.5E-3"), 0.0015);
        EXPECT_EQ(ZahlAusText("2e+2"), 200.0);
        EXPECT_EQ(ZahlAusText(".5"), 0.5);
        EXPECT_EQ(ZahlAusText(",5"), 0.5);
        EXPECT_EQ(ZahlAusText("5."), 5.0);
        EXPECT_EQ(ZahlAusText("007"), 7.0);
        // Two separators of either kind can never be one number.
        EXPECT_THROW(ZahlAusText("1.000,5"), KonvertierungsFehler);
        EXPECT_THROW(ZahlAusText("1,000.5"), KonvertierungsFehler);
        EXPECT_THROW(ZahlAusText("1,5,5"), KonvertierungsFehler);
    }
}

TEST(ZahlAusText, RejectsWhatIsNoNumber) {
    for (const char* text :
         {"",     " ",     "-",     "+",     ".",    ",",   "e5",    "1e",    "1e+",      "--1",
          "+-1",  "1 000", "1'000", "inf",   "-inf", "INF", "nan",   "NaN",   "Infinity", "0x10",
          "1.5.", "1,5 m", "abc",   "1e5.5", "1 .5", "\n1", "1e400", "-1e309"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ZahlAusText(text), KonvertierungsFehler);
    }
    // An embedded NUL is part of the text, not its end.
    EXPECT_THROW(ZahlAusText(std::string_view("1\0"
                                              "2",
                                              3)),
                 KonvertierungsFehler);
}

TEST(ZahlAusText, ErrorNamesTheTextAsGiven) {
    EXPECT_EQ(FehlerText("abc"), "'abc' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(FehlerText(" 1.000,5 "), "' 1.000,5 ' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(FehlerText(""), "'' ist kein gültiger Gleitkommawert");
    // A control character would cut or garble the message where it is shown: escaped,
    // the NUL byte included, the rest of the text after it kept.
    EXPECT_EQ(FehlerText(std::string_view("1\0002\t", 4)), "'1\\x002\\x09' ist kein gültiger Gleitkommawert");
    EXPECT_EQ(FehlerText("\x7F\x1F\xC3\xA9"), "'\\x7F\\x1F\xC3\xA9' ist kein gültiger Gleitkommawert");
    try {
        GanzzahlAusText(std::string_view("7\0", 2));
        ADD_FAILURE() << "no error";
    } catch (const KonvertierungsFehler& f) {
        EXPECT_STREQ(f.what(), "'7\\x00' ist kein gültiger Integerwert");
    }
}

TEST(ZahlAusText, IsCorrectlyRoundedAtTheEdgesOfTheRange) {
    EXPECT_EQ(ZahlAusText("0.1"), 0.1);
    EXPECT_EQ(ZahlAusText("1.7976931348623157e308"), DBL_MAX);
    EXPECT_EQ(ZahlAusText("2.2250738585072014E-308"), DBL_MIN);
    EXPECT_EQ(ZahlAusText("4.9406564584124654e-324"), 4.9406564584124654e-324);
    // Below the smallest subnormal the nearest double is zero, with its sign.
    EXPECT_EQ(ZahlAusText("1e-400"), 0.0);
    EXPECT_TRUE(std::signbit(ZahlAusText("-1e-400")));
    EXPECT_EQ(ZahlAusText("0e999999999999"), 0.0);
    EXPECT_EQ(ZahlAusText("0.000000000000000000000000000001e30"), 1.0);
    EXPECT_EQ(ZahlAusText("100000000000000000000000000000e-28"), 10.0);
    EXPECT_EQ(ZahlAusText(std::string(5000, '0') + "1"), 1.0);
}

TEST(GanzzahlAusText, AcceptsPlainDecimalIntegersOnly) {
    EXPECT_EQ(GanzzahlAusText("12"), 12);
    EXPECT_EQ(GanzzahlAusText(" -7 "), -7);
    EXPECT_EQ(GanzzahlAusText("+3"), 3);
    EXPECT_EQ(GanzzahlAusText("2147483647"), 2147483647);
    EXPECT_EQ(GanzzahlAusText("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(GanzzahlAusText("0000000000000000000000042"), 42);
    for (const char* text : {"", "-", "2147483648", "-2147483649", "99999999999999999999999", "1.0", "1,0",
                             "0x10", "12a", "1 2", "1e3"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(GanzzahlAusText(text), KonvertierungsFehler);
    }
    try {
        GanzzahlAusText("4,5");
        FAIL() << "no error";
    } catch (const KonvertierungsFehler& f) {
        EXPECT_STREQ(f.what(), "'4,5' ist kein gültiger Integerwert");
    }
}

TEST(FormatAllgemein, UsesTheLocaleSeparatorAndDropsTrailingZeros) {
    EXPECT_EQ(FormatAllgemein(0.25, ','), "0,25");
    EXPECT_EQ(FormatAllgemein(0.25, '.'), "0.25");
    EXPECT_EQ(FormatAllgemein(2.5, ','), "2,5");
    EXPECT_EQ(FormatAllgemein(-2.5, '.'), "-2.5");
    EXPECT_EQ(FormatAllgemein(100.0, ','), "100");
    EXPECT_EQ(FormatAllgemein(180.0, ','), "180");
    EXPECT_EQ(FormatAllgemein(0.0, ','), "0");
    EXPECT_EQ(FormatAllgemein(-0.0, ','), "0");
    {
        MitDezimaltrenner t(',');
        EXPECT_EQ(FormatAllgemein(1.5), "1,5");
    }
    {
        MitDezimaltrenner t('.');
        EXPECT_EQ(FormatAllgemein(1.5), "1.5");
    }
}

TEST(FormatAllgemein, RoundsToFifteenSignificantDigits) {
    EXPECT_EQ(FormatAllgemein(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(FormatAllgemein(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(FormatAllgemein(2.0 / 3.0, '.'), "0.666666666666667");
    EXPECT_EQ(FormatAllgemein(14.142135623730951, ','), "14,142135623731");
    EXPECT_EQ(FormatAllgemein(123456789012345.6, '.'), "123456789012346");
    EXPECT_EQ(FormatAllgemein(-45.00000000000001, '.'), "-45");
}

TEST(FormatAllgemein, SwitchesToExponentFormOutsideItsRange) {
    EXPECT_EQ(FormatAllgemein(1e-5, '.'), "1E-5");
    EXPECT_EQ(FormatAllgemein(-1e-5, '.'), "-1E-5");
    EXPECT_EQ(FormatAllgemein(1.5e20, ','), "1,5E20");
    EXPECT_EQ(FormatAllgemein(0.0001, ','), "0,0001");
    EXPECT_EQ(FormatAllgemein(0.00012345, '.'), "0.00012345");
    EXPECT_EQ(FormatAllgemein(0.000099999, '.'), "9.9999E-5");
    EXPECT_EQ(FormatAllgemein(1e14, '.'), "100000000000000");
    EXPECT_EQ(FormatAllgemein(1e15, '.'), "1E15");
    // Rounding to 15 digits carries into the next decade and decides the form.
    EXPECT_EQ(FormatAllgemein(999999999999999.9, '.'), "1E15");
    EXPECT_EQ(FormatAllgemein(0.00009999999999999999, '.'), "0.0001");
    EXPECT_EQ(FormatAllgemein(123456789012345678.0, ','), "1,23456789012346E17");
    // Rounding DBL_MAX up would write a number beyond the double range.
    EXPECT_EQ(FormatAllgemein(DBL_MAX, '.'), "1.79769313486231E308");
    EXPECT_EQ(FormatAllgemein(-DBL_MAX, ','), "-1,79769313486231E308");
    EXPECT_NO_THROW(ZahlAusText(FormatAllgemein(DBL_MAX)));
    EXPECT_EQ(FormatAllgemein(4.9406564584124654e-324, '.'), "4.94065645841247E-324");
    EXPECT_EQ(FormatAllgemein(1e100, '.'), "1E100");
}

TEST(FormatAllgemein, LosesAtMostHalfAUnitOfTheFifteenthDigit) {
    // A sixteenth digit of 5 on a mantissa just above 1: the worst case of the rounding.
    const double x = ZahlAusText("0,000001000101101100005");
    const double y = ZahlAusText(FormatAllgemein(x, '.'));
    EXPECT_NE(x, y);
    EXPECT_LE(std::fabs(y - x), std::fabs(x) * 6e-15);
}

TEST(FormatAllgemein, ReadsBackUnderBothLocales) {
    std::mt19937_64 zufall(42);
    std::uniform_real_distribution<double> mantisse(-10.0, 10.0);
    std::uniform_int_distribution<int> dekade(-30, 30);
    for (int i = 0; i < 20000; ++i) {
        const double x = mantisse(zufall) * std::pow(10.0, dekade(zufall));
        for (char schreiben : {',', '.'}) {
            const std::string text = FormatAllgemein(x, schreiben);
            for (char lesen : {',', '.'}) {
                MitDezimaltrenner t(lesen);
                const double y = ZahlAusText(text);
                ASSERT_LE(std::fabs(y - x), std::fabs(x) * 6e-15) << text;
                // A number that needs no more than 15 digits comes back exactly.
                ASSERT_EQ(ZahlAusText(FormatAllgemein(y, schreiben)), y) << text;
            }
        }
    }
}

TEST(Fest4, WritesTheDocumentExamples) {
    EXPECT_EQ(FormatFest4(0.0), "0.0000");
    EXPECT_EQ(FormatFest4(2.5), "2.5000");
    EXPECT_EQ(FormatFest4(-7.0), "-7.0000");
    EXPECT_EQ(FormatFest4(0.03125), "0.0313");
    EXPECT_EQ(FormatFest4(-0.03125), "-0.0313");
    EXPECT_EQ(FormatFest4(1.0), "1.0000");
}

TEST(Fest4, NeverWritesNegativeZero) {
    for (double x : {-0.0, -0.00001, -0.0000499999, -1e-300, -4.9406564584124654e-324}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(FormatFest4(x), "0.0000");
    }
    EXPECT_EQ(FormatFest4(-0.00005), "-0.0001");  // the double lies just above the half
}

TEST(Fest4, JudgesHalvesOnTheExactBinaryValue) {
    // Each decimal literal is a double a hair above or below the written half; a
    // scaled-and-rounded shortcut gets several of these wrong.
    EXPECT_EQ(FormatFest4(-0.00015), "-0.0001");
    EXPECT_EQ(FormatFest4(1.00005), "1.0001");
    EXPECT_EQ(FormatFest4(0.12345), "0.1235");
    EXPECT_EQ(FormatFest4(2.67495), Fest4Referenz(2.67495));
    EXPECT_EQ(FormatFest4(0.99995), "1.0000");
    EXPECT_EQ(FormatFest4(9.99995), Fest4Referenz(9.99995));
    EXPECT_EQ(FormatFest4(12345.67885), "12345.6789");
    // Exact halves: multiples of 1/32 and 1/2^k with a fifth decimal of 5.
    for (int k = -64; k <= 64; ++k) {
        const double x = (2 * k + 1) / 32.0;
        SCOPED_TRACE(x);
        EXPECT_EQ(FormatFest4(x), Fest4Referenz(x));
    }
    EXPECT_EQ(FormatFest4(3.0 / 32.0), "0.0938");
    EXPECT_EQ(FormatFest4(-5.0 / 32.0), "-0.1563");
    EXPECT_EQ(FormatFest4(1.0 / 65536.0), "0.0000");  // 0.0000152587890625
    EXPECT_EQ(FormatFest4(4503599627370495.5), "4503599627370495.5000");
}

TEST(Fest4, HasNoExponentAtAnyMagnitude) {
    EXPECT_EQ(FormatFest4(1e20), "100000000000000000000.0000");
    EXPECT_EQ(FormatFest4(-1e20), "-100000000000000000000.0000");
    EXPECT_EQ(FormatFest4(18446744073709551616.0), "18446744073709551616.0000");
    EXPECT_EQ(FormatFest4(18446744073709549568.0), "18446744073709549568.0000");
    const std::string gross = FormatFest4(-DBL_MAX);
    EXPECT_EQ(gross.size(), 1u + 309u + 5u);
    EXPECT_EQ(gross, Fest4Referenz(-DBL_MAX));
    EXPECT_EQ(FormatFest4(1e300), Fest4Referenz(1e300));
    EXPECT_EQ(FormatFest4(1e-300), "0.0000");
    EXPECT_EQ(FormatFest4(123456789.98765), "123456789.9877");
}

TEST(Fest4, AgreesWithTheExactReferenceOnRandomValues) {
    std::mt19937_64 zufall(7);
    std::uniform_real_distribution<double> gleich(-2000.0, 2000.0);
    std::uniform_int_distribution<int> zehntausendstel(-20'000'000, 20'000'000);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int i = 0; i < 30000; ++i) {
        // Uniform values, values close to a half, and arbitrary bit patterns.
        const double a = gleich(zufall);
        const double b = (zehntausendstel(zufall) + 0.5) / 10000.0;
        const double c = std::nextafter(b, zufall() % 2 ? 1e9 : -1e9);
        double d;
        const std::uint64_t m = bits(zufall);
        std::memcpy(&d, &m, sizeof d);
        for (double x : {a, b, c, d}) {
            if (!std::isfinite(x)) continue;
            ASSERT_EQ(FormatFest4(x), Fest4Referenz(x)) << std::hexfloat << x;
        }
    }
}

TEST(Fest4, RefusesNonFiniteValuesAndAppends) {
    EXPECT_THROW(FormatFest4(std::nan("")), std::domain_error);
    EXPECT_THROW(FormatFest4(HUGE_VAL), std::domain_error);
    EXPECT_THROW(FormatFest4(-HUGE_VAL), std::domain_error);
    std::string zeile = "p=\"";
    EXPECT_EQ(AnhaengenFest4(zeile, -1.5), 7u);
    zeile += ' ';
    AnhaengenFest4(zeile, 2.0);
    EXPECT_EQ(zeile, "p=\"-1.5000 2.0000");
}

TEST(Runden, TakesHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RundeGerade(0.5), 0.0);
    EXPECT_EQ(RundeGerade(1.5), 2.0);
    EXPECT_EQ(RundeGerade(2.5), 2.0);
    EXPECT_EQ(RundeGerade(3.5), 4.0);
    EXPECT_EQ(RundeGerade(-0.5), 0.0);
    EXPECT_FALSE(std::signbit(RundeGerade(-0.5)));
    EXPECT_EQ(RundeGerade(-1.5), -2.0);
    EXPECT_EQ(RundeGerade(-2.5), -2.0);
    EXPECT_EQ(RundeGerade(2.4999999999999996), 2.0);
    EXPECT_EQ(RundeGerade(2.5000000000000004), 3.0);
    EXPECT_EQ(RundeGerade(0.49999999999999994), 0.0);
    EXPECT_EQ(RundeGerade(4503599627370497.0), 4503599627370497.0);
    EXPECT_EQ(RundeGerade(1e300), 1e300);
    // Pixel fields: 4 px per unit at 0.625 is 2.5 px, 1024 px at 0.2 is 204.8 px.
    EXPECT_EQ(RundeGeradeInt(0.625 * 4), 2);
    EXPECT_EQ(RundeGeradeInt(1024 * 0.2), 205);
    EXPECT_EQ(RundeGeradeInt(1e30), INT_MAX);
    EXPECT_EQ(RundeGeradeInt(-1e30), INT_MIN);
    EXPECT_EQ(RundeGeradeInt(std::nan("")), 0);
}

TEST(Runden, ToStepsScalesRoundsAndScalesBack) {
    EXPECT_EQ(RundeAufStellen(0.125, 100), 0.12);
    EXPECT_EQ(RundeAufStellen(0.375, 100), 0.38);
    EXPECT_EQ(RundeAufStellen(-0.125, 100), -0.12);
    EXPECT_EQ(RundeAufStellen(1.0005, 1000), 1.0);  // 1000.4999999999999 after scaling
    EXPECT_EQ(RundeAufStellen(0.0625, 1000), 0.062);
    EXPECT_EQ(RundeAufStellen(29.999999999999996, 100), 30.0);
    EXPECT_EQ(FormatAllgemein(RundeAufStellen(RadZuGrad(GradZuRad(12.34)), 100), '.'), "12.34");
}

TEST(Winkel, ConvertsWithExtendedPi) {
    EXPECT_EQ(GradZuRad(89.0), 1.5533430342749532);
    // The plain double expression lands one unit in the last place higher and would
    // make the 89-degree limit reject 89 degrees.
    EXPECT_GT(89.0 * std::numbers::pi / 180.0, GradZuRad(89.0));
    EXPECT_EQ(GradZuRad(180.0), std::numbers::pi);
    EXPECT_EQ(GradZuRad(90.0), std::numbers::pi / 2);
    EXPECT_EQ(GradZuRad(0.0), 0.0);
    EXPECT_EQ(GradZuRad(-45.0), -std::numbers::pi / 4);
    EXPECT_EQ(RadZuGrad(std::numbers::pi), 180.0);
    EXPECT_EQ(RadZuGrad(-std::numbers::pi / 4), -45.0);
    EXPECT_TRUE(std::isnan(GradZuRad(std::nan(""))));
}

#ifdef __SIZEOF_FLOAT128__
TEST(Winkel, IsCorrectlyRoundedAgainstQuadPrecision) {
    // pi to 113 bits (a sum of three doubles); the quad product rounded once to double
    // is the reference.
    const __float128 pi = static_cast<__float128>(3.141592653589793) + 1.2246467991473532e-16 +
                          static_cast<__float128>(-2.9947698097183397e-33);
    std::mt19937_64 zufall(3);
    std::uniform_real_distribution<double> grad(-720.0, 720.0);
    for (int i = 0; i < 100000; ++i) {
        const double g = i < 1441 ? (i - 720) * 0.5 : grad(zufall);
        ASSERT_EQ(GradZuRad(g), static_cast<double>(g * pi / 180)) << g;
        const double r = g / 57.0;
        ASSERT_EQ(RadZuGrad(r), static_cast<double>(static_cast<__float128>(r) * 180 / pi)) << r;
    }
}
#endif

TEST(Dezimaltrenner, OnlyCommaAndPointAreSeparators) {
    MitDezimaltrenner t(',');
    EXPECT_EQ(Dezimaltrenner(), ',');
    SetzeDezimaltrenner(';');
    EXPECT_EQ(Dezimaltrenner(), '.');
}

#ifndef _WIN32  // the POSIX locale variables
TEST(Dezimaltrenner, ComesFromTheSystemLocale) {
    const char* vorher = std::getenv("LC_ALL");
    const std::string gemerkt = vorher ? vorher : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(SystemDezimaltrenner(), '.');
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);  // a locale nobody has: no throw, '.'
    EXPECT_EQ(SystemDezimaltrenner(), '.');
    if (vorher)
        setenv("LC_ALL", gemerkt.c_str(), 1);
    else
        unsetenv("LC_ALL");
}
#endif

}  // namespace
