// UTF-8 as the readers of text files need it: whether bytes are well-formed UTF-8, a
// code point read from UTF-8, and a code point appended as UTF-8. The conversions from and
// to other encodings build on these (Textkodierung).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pavolant {

// Length of the well-formed UTF-8 sequence starting at s[i], 0 when there is none
// (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::size_t Utf8SequenzLaenge(std::string_view s, std::size_t i);

// The code point of the well-formed sequence of length `n` at s[i] (n as
// Utf8SequenzLaenge gave it, 1 to 4).
char32_t Utf8Dekodieren(std::string_view s, std::size_t i, std::size_t n);

// Whether all of `s` is well-formed UTF-8.
bool IstUtf8(std::string_view s);

// `cp` (at most U+10FFFF) appended to `ziel` as UTF-8.
void Utf8Anhaengen(std::string& ziel, char32_t cp);

}  // namespace pavolant
