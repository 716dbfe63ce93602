// The number formats of Pavolant: every number the user types, the files hold or the
// editor reads passes through this unit, so it is the one place where text and doubles
// meet. Core code only (standard library).
//
// Three written forms exist:
//  - the general format (parameter files, settings file, messages, edit fields): the
//    shortest form with up to 15 significant digits in the locale's decimal separator;
//  - the fixed format of the i3d document and the run's report: exactly four decimals,
//    always a point;
//  - plain decimal integers.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace pavolant {

// A text that is no number. what() is the message the user sees.
class KonvertierungsFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text as a message shows it: control characters (a NUL byte among them, which
// would end the message wherever it is read as a C string) as "\xNN", the rest as it is.
std::string SichtbarerText(std::string_view text);

// The locale's decimal separator (',' or '.'), a process-wide setting taken from the
// system locale at start-up (SystemDezimaltrenner in persistence/Plattform.h). Only ','
// and '.' are accepted; anything else becomes '.'.
char Dezimaltrenner();
void SetzeDezimaltrenner(char trenner);

// Text to double. Accepts blanks around the number, a sign, digits with at most one
// decimal separator and an exponent ("E" or "e", optional sign). First tried with the
// locale's separator; when that fails, every foreign separator is replaced by the
// locale's and the text tried again. Thousands separators, "inf", "nan" and values
// beyond the double range are rejected with
// KonvertierungsFehler("'<text>' ist kein gültiger Gleitkommawert").
double ZahlAusText(std::string_view text);

// Strict whole number: blanks around, an optional sign, decimal digits, within the
// 32-bit range. Otherwise KonvertierungsFehler("'<text>' ist kein gültiger Integerwert").
int GanzzahlAusText(std::string_view text);

// General format: rounded to 15 significant digits, trailing zeros dropped, the locale's
// separator; exponent form ("1E-5", "1,5E20", sign only when negative, no leading zeros)
// when the decimal exponent after rounding is below -4 or at least 15. Zero is "0";
// a negative zero is "0" too. Non-finite values, which no stored number may be, are
// written "NAN", "INF" and "-INF" so that reading them back fails loudly.
std::string FormatAllgemein(double wert);
std::string FormatAllgemein(double wert, char trenner);

// Fixed format with four decimals: the nearest such number judged on the double's exact
// binary value, an exact tie away from zero (0.03125 -> "0.0313"); never "-0.0000"; no
// exponent at any magnitude; always a point. Appends to `ziel` and returns the number of
// characters appended. Throws std::domain_error for NaN and infinities: the editor cannot
// read them, and writing a stand-in would silently corrupt the document.
std::size_t AnhaengenFest4(std::string& ziel, double wert);
// Into a caller's buffer of at least kFest4MaxLaenge characters; returns the length.
inline constexpr std::size_t kFest4MaxLaenge = 320;
std::size_t SchreibeFest4(char* puffer, double wert);
std::string FormatFest4(double wert);

// Nearest integer, an exact half to the even neighbour (independent of the FPU mode).
double RundeGerade(double wert);
// To the nearest multiple of 1/schritte (schritte = 100 for 0.01, 1000 for 0.001): the
// value times schritte, to the nearest integer with ties to even, divided by schritte.
double RundeAufStellen(double wert, double schritte);
// Nearest int with ties to even, for pixel fields and the like; clamped to the int range.
int RundeGeradeInt(double wert);

// Degrees to radians and back as the correctly rounded double of deg * pi / 180
// (computed in extended precision and rounded once), so 89 degrees gives exactly
// 1.5533430342749532.
double GradZuRad(double grad);
double RadZuGrad(double rad);

// An angle held in radians as the parameter file stores it and the border editor shows
// it: degrees to the nearest 0.01. Beyond about 1.8e306 degrees the hundredths leave the
// double range and the result is infinite, a value no file may hold.
double GradAufHundertstel(double rad);
// The largest angle in degrees (in 15 digits, as messages show it) whose hundredths stay
// finite: every angle of at most this magnitude is stored.
inline constexpr double kGroessteGradzahl = 1.79769313486231e306;

}  // namespace pavolant
