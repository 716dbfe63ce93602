// PNG files written from pixels: the map's height image (16-bit grey, as the level editor
// reads it) and masks (8-bit grey). The rows go through zlib's deflate one at a time,
// each behind the filter that suits it best (the smallest sum of its bytes read as
// signed), in IDAT chunks of at most kIdatGroesse bytes; CRCs by zlib's crc32. Not
// interlaced, no chunks besides IHDR, IDAT and IEND, so the editor and any reader see
// exactly the samples given.
//
// A file is written all or nothing (persistence/ErsetzendeDatei): a failed write (a
// folder that does not exist or cannot be written, a full disk) leaves an existing file
// as it was and throws DateiFehler naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>

namespace pavolant {

// Largest IDAT chunk written; longer data is split over several.
inline constexpr std::size_t kIdatGroesse = 1 << 16;

// How the rows are stored: packed by deflate behind adaptive filters, or as they are
// (filter 0, deflate's stored blocks), where every byte of the file is known.
enum class PngPacken { Gepackt, Roh };

// Breite x Hoehe pixels of `kanaele` samples each (1 grey, 2 grey and alpha, 3 RGB, 4
// RGBA), row by row from the top, `bits` (8 or 16) bits a sample, big-endian as PNG stores
// them; 8-bit samples from the 16-bit overload keep their low byte. Throws
// std::invalid_argument when the sizes and the samples do not fit (a side below 1 or above
// 2^31-1, bits or channels out of range, a sample count other than Breite x Hoehe x
// kanaele); the stream's own failures are the caller's to check.
void PngKodieren(std::ostream& ziel, int breite, int hoehe, std::span<const std::uint16_t> werte, int bits,
                 int kanaele = 1, PngPacken packen = PngPacken::Gepackt);
void PngKodieren(std::ostream& ziel, int breite, int hoehe, std::span<const std::uint8_t> werte,
                 int kanaele = 1, PngPacken packen = PngPacken::Gepackt);

// A 16-bit grey PNG file (the height image) at `ziel`.
void PngGrau16Schreiben(const std::filesystem::path& ziel, int breite, int hoehe,
                        std::span<const std::uint16_t> werte);
// An 8-bit grey PNG file (a mask) at `ziel`.
void PngGrau8Schreiben(const std::filesystem::path& ziel, int breite, int hoehe,
                       std::span<const std::uint8_t> werte);

}  // namespace pavolant
