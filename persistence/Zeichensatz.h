// UTF-8 as the readers of text files need it: whether bytes are well-formed UTF-8, and a
// code point appended as UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pavolant {

// Length of the well-formed UTF-8 sequence starting at s[i], 0 when there is none
// (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::size_t Utf8SequenzLaenge(std::string_view s, std::size_t i);

// Whether all of `s` is well-formed UTF-8.
bool IstUtf8(std::string_view s);

// `cp` (at most U+10FFFF) appended to `ziel` as UTF-8.
void Utf8Anhaengen(std::string& ziel, char32_t cp);

}  // namespace pavolant
