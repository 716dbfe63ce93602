// A small DDS writer for the tests and the screenshot tour: the formats the level
// editor's textures come in (BC1/DXT1, BC2/DXT3, BC3/DXT5, BC4, BC5 and uncompressed
// 32-bit BGRA), each with its whole chain of mipmaps down to 1 x 1. Standard C++ only.
//
// The block encoders are plain (end points from the block's extremes, each pixel to the
// nearest palette entry): good enough to know what a reader must get back, not for
// pictures worth shipping.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavolant::test {

enum class DdsArt { Unkomprimiert, BC1, BC2, BC3, BC4, BC5 };

// RGBA, 8 bits a channel, rows top to bottom.
struct RgbaBild {
    int Breite = 0, Hoehe = 0;
    std::vector<std::uint8_t> Pixel;  // 4 bytes a pixel

    RgbaBild() = default;
    RgbaBild(int breite, int hoehe)
        : Breite(breite), Hoehe(hoehe), Pixel(static_cast<std::size_t>(breite) * hoehe * 4) {}
    std::uint8_t* Bei(int x, int y) { return &Pixel[(static_cast<std::size_t>(y) * Breite + x) * 4]; }
    const std::uint8_t* Bei(int x, int y) const {
        return &Pixel[(static_cast<std::size_t>(y) * Breite + x) * 4];
    }
};

// The next mipmap: half the size (at least 1), each pixel the mean of its 2 x 2 source.
RgbaBild Halbieren(const RgbaBild& bild);

// The whole file: "DDS ", the 124-byte header and every level of the chain. With
// `mipmaps` false only the top level is written.
std::string DdsDatei(const RgbaBild& bild, DdsArt art, bool mipmaps = true);

// The same with the levels given: `stufen[0]` the top, each further one half the size of
// the one before (a chain may stop before 1 x 1).
std::string DdsDatei(const std::vector<RgbaBild>& stufen, DdsArt art);

// A picture of one colour.
RgbaBild Einfarbig(int breite, int hoehe, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                   std::uint8_t a = 255);

// The FourCC or "RGBA" of a kind, for messages.
const char* DdsName(DdsArt art);

}  // namespace pavolant::test
