// Cost of reading a texture for the preview with our own DDS reader, against a floor
// that only copies the bytes the decoded chain holds.
//
// BM_Dds/<kind>   DdsAusBytes of a 2048 x 2048 texture with its whole mipmap chain (12
//                 levels, 5.6 MB of RGBA out), from memory; kinds 0 uncompressed BGRA,
//                 1 BC1, 3 BC3, 5 BC5 (DdsArt's order).
// BM_Boden        memcpy of the same 5.6 MB: what no decoder can undercut, since it
//                 writes every output byte once.
//
// The textures are random pictures made by the tests' DDS writer, so that no block is
// cheaper than another. Goal: a texture decodes within a few frames' time (under 50 ms),
// so that "Textures" on a road of four parts opens without a wait.
#include "persistence/DdsBild.h"
#include "tests/support/DdsSchreiber.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace pavolant;
using pavolant::test::DdsArt;

constexpr int kSeite = 2048;

const std::string& Datei(DdsArt art) {
    static std::string dateien[6];
    std::string& datei = dateien[static_cast<int>(art)];
    if (datei.empty()) {
        test::RgbaBild bild(kSeite, kSeite);
        std::mt19937 zufall(7);
        for (std::uint8_t& b : bild.Pixel) b = static_cast<std::uint8_t>(zufall());
        datei = test::DdsDatei(bild, art);
    }
    return datei;
}

std::size_t KettenBytes() {
    std::size_t n = 0;
    for (int s = kSeite; s >= 1; s /= 2) n += static_cast<std::size_t>(s) * s * 4;
    return n;
}

void BM_Dds(benchmark::State& state) {
    const std::string& datei = Datei(static_cast<DdsArt>(state.range(0)));
    for (auto _ : state) {
        Rasterbild bild =
            DdsAusBytes(reinterpret_cast<const std::uint8_t*>(datei.data()), datei.size(), kSeite);
        if (!bild.Fehler.empty()) state.SkipWithError(bild.Fehler.c_str());
        benchmark::DoNotOptimize(bild.Stufen.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * KettenBytes()));
}
BENCHMARK(BM_Dds)->ArgName("kind")->Arg(0)->Arg(1)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_Boden(benchmark::State& state) {
    const std::vector<std::uint8_t> quelle(KettenBytes(), 1);
    for (auto _ : state) {
        std::vector<std::uint8_t> ziel(quelle.size());
        std::memcpy(ziel.data(), quelle.data(), quelle.size());
        benchmark::DoNotOptimize(ziel.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * KettenBytes()));
}
BENCHMARK(BM_Boden)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
