// Pictures read from texture files by our own readers (DdsBild, TgaBild): plain RGBA,
// 8 bits a channel, with the file's own mipmap chain. Standard C++ only, so that every
// system reads them alike, whatever image libraries it has.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pavolant {

// One level: rows from the top down, 4 bytes a pixel (R, G, B, A). A file of one
// channel (BC4, luminance) reads as grey, one of two (BC5) as red and green with blue 0;
// where the file has no alpha, A is 255.
struct Rasterstufe {
    int Breite = 0, Hoehe = 0;
    std::vector<std::uint8_t> Rgba;  // Breite * Hoehe * 4 bytes
};

// A read: the levels, the largest first, each half the one before (at least 1 pixel);
// or none and why (English through Tr, one line).
struct Rasterbild {
    std::vector<Rasterstufe> Stufen;
    std::string Fehler;
};

// Why a picture of `breite` x `hoehe` pixels is refused when at most `maxSeite` a side
// is taken.
std::string Groessenfehler(std::int64_t breite, std::int64_t hoehe, int maxSeite);

// The file's bytes from the start, at most `hoechstens` of them; fewer when the file is
// shorter. Read through the platform layer, so that a FIFO or a device neither blocks
// nor streams forever. `fehler` gets the reason when the file cannot be read.
std::vector<std::uint8_t> DateianfangLesen(const std::filesystem::path& pfad, std::uint64_t hoechstens,
                                           std::string& fehler);

}  // namespace pavolant
