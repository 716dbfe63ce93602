// A small PNG writer for the tests: grey or colour pictures of 8 or 16 bits a channel,
// their rows unfiltered and stored uncompressed in the zlib stream (deflate's stored
// blocks), so that every byte of the file is known: a test can damage a row or a chunk at
// its place. The program's own encoder (persistence/PngBild) writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pavolant::test {

// `werte`: Breite * Hoehe * kanaele samples, row by row from the top; each is written
// with `bits` (8 or 16) bits, big-endian as PNG stores them. `kanaele` 1 is grey (colour
// type 0), 2 grey with alpha (4), 3 RGB (2), 4 RGBA (6).
std::string PngDatei(int breite, int hoehe, const std::vector<std::uint16_t>& werte, int bits = 16,
                     int kanaele = 1);

}  // namespace pavolant::test
