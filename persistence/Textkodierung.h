// The encodings other than UTF-8 that text files arrive in, converted to and from the
// UTF-8 the program works in: Windows-1252 (the ANSI code page of Western Windows, in
// which older parameter files were written), UTF-16 in either byte order (the Windows
// editors' "Unicode"), Latin-1 (the scene files' declared encoding), and the byte order
// marks and patterns by which a reader tells them apart. Which encoding a file is read
// and written in is the reader's decision (IniDatei, I3dSzene); this is only the
// conversion. Built on the UTF-8 primitives of Zeichensatz.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pavolant {

// The byte order marks at the start of a file.
inline constexpr std::string_view kBomUtf8 = "\xEF\xBB\xBF";
inline constexpr std::string_view kBomUtf16LE = "\xFF\xFE";
inline constexpr std::string_view kBomUtf16BE = "\xFE\xFF";

// Windows-1252 bytes as UTF-8. Every byte has a character: the five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 control of the same
// number, so that any bytes survive the round trip through NachCp1252Anhaengen.
std::string AusCp1252(std::string_view bytes);
// Appends the Windows-1252 form of a well-formed UTF-8 text; false (with `ziel` partly
// written) when a character has no Windows-1252 byte or the text is no well-formed UTF-8.
bool NachCp1252Anhaengen(std::string_view utf8, std::string& ziel);
// Whether NachCp1252Anhaengen takes all of `utf8`.
bool InCp1252Darstellbar(std::string_view utf8);

// UTF-16 code units (the bytes after the byte order mark), big-endian when `grossEndian`,
// as UTF-8. A surrogate without its partner and a last odd byte become U+FFFD: UTF-8 has
// no form for them.
std::string AusUtf16(std::string_view bytes, bool grossEndian);
// Appends the UTF-16 form of a UTF-8 text, without a byte order mark; a byte that is no
// part of a well-formed sequence is written as U+FFFD.
void NachUtf16Anhaengen(std::string_view utf8, bool grossEndian, std::string& ziel);

// Latin-1 (ISO 8859-1) bytes as UTF-8: each byte the code point of its number.
std::string AusLatin1(std::string_view bytes);

// Encodings a text reader refuses.
enum class FremdeKodierung { Utf32, Utf16OhneBom };
// What the first bytes (at most 4096 are looked at) say of an encoding a text reader does
// not read: UTF-32, with or without a byte order mark, and UTF-16 without one; nullopt
// for anything else, and for every text that starts with the byte order mark of UTF-8 or
// UTF-16 (but not with UTF-32's, whose first two bytes are UTF-16's).
std::optional<FremdeKodierung> NichtLesbareKodierung(std::string_view bytes);

}  // namespace pavolant
