// Cost of the map's ground: reading the editor's largest height image and sampling it.
//
// BM_Hoehenbild     HoehenbildAusBytes of a 4097 x 4097 16-bit grey PNG (rolling ground,
//                   compressed by zlib as the editor's are) from memory. peak_MB is the
//                   most the process's resident memory grew during one read (Linux's peak
//                   mark, reset before it), peak_x_pixels that growth over the pixels'
//                   own 32 MiB (goal: about 2; the compressed file is already resident and
//                   not counted). Goal for time: under 1 s.
// BM_Boden          the floor: inflating the same zlib stream alone (what any PNG reader
//                   must do), into a buffer made once.
// BM_HoeheBei/N     N bilinear samples along a line across the map (goal: 10,000 in under
//                   10 ms, the drop of 10,000 points onto the ground).
//
// Memory is measured as resident memory, since stb_image allocates with malloc itself.
#include "model/Gelaende.h"
#include "persistence/Hoehenbild.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace pavolant;

constexpr int kSeite = 4097;

void Gross32(std::string& z, std::uint32_t w) {
    for (int i = 3; i >= 0; --i) z += static_cast<char>(w >> (8 * i) & 0xFFu);
}
void Chunk(std::string& datei, const char* art, const std::string& inhalt) {
    Gross32(datei, static_cast<std::uint32_t>(inhalt.size()));
    const std::string mitArt = std::string(art, 4) + inhalt;
    datei += mitArt;
    Gross32(datei, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(mitArt.data()),
                                                    static_cast<uInt>(mitArt.size()))));
}

struct Daten {
    std::string Roh, Zlib, Datei;
    Daten() {
        Roh.reserve(static_cast<std::size_t>(kSeite) * (kSeite * 2 + 1));
        for (int j = 0; j < kSeite; ++j) {
            Roh += '\0';
            for (int i = 0; i < kSeite; ++i) {
                const double h = 20000 + 9000 * std::sin(i * 0.004) * std::cos(j * 0.003) +
                                 3000 * std::sin(i * 0.02 + j * 0.011);
                const auto v = static_cast<std::uint16_t>(h);
                Roh += static_cast<char>(v >> 8);
                Roh += static_cast<char>(v & 0xFFu);
            }
        }
        uLongf laenge = compressBound(static_cast<uLong>(Roh.size()));
        Zlib.resize(laenge);
        compress2(reinterpret_cast<Bytef*>(Zlib.data()), &laenge, reinterpret_cast<const Bytef*>(Roh.data()),
                  static_cast<uLong>(Roh.size()), 6);
        Zlib.resize(laenge);
        Datei.assign("\x89PNG\r\n\x1a\n", 8);
        std::string kopf;
        Gross32(kopf, kSeite);
        Gross32(kopf, kSeite);
        kopf += std::string("\x10\0\0\0\0", 5);
        Chunk(Datei, "IHDR", kopf);
        Chunk(Datei, "IDAT", Zlib);
        Chunk(Datei, "IEND", "");
    }
};
const Daten& Karte() {
    static const Daten d;
    return d;
}

// A line of /proc/self/status in kB ("VmRSS:", "VmHWM:").
double StatusKb(const std::string& schluessel) {
    std::ifstream status("/proc/self/status");
    for (std::string zeile; std::getline(status, zeile);)
        if (zeile.rfind(schluessel, 0) == 0) return std::stod(zeile.substr(schluessel.size()));
    return 0;
}

void BM_Hoehenbild(benchmark::State& state) {
    const Daten& d = Karte();
    double spitze = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream("/proc/self/clear_refs") << "5";  // the peak mark back to the present
        const double vorher = StatusKb("VmRSS:");
        state.ResumeTiming();
        {
            const Hoehenbildladung l =
                HoehenbildAusBytes(reinterpret_cast<const std::uint8_t*>(d.Datei.data()), d.Datei.size(),
                                   std::uint64_t{4} << 30);
            if (!l.Fehler.empty()) state.SkipWithError(l.Fehler.c_str());
            benchmark::DoNotOptimize(l.Raster.Werte.get());
        }
        spitze = std::max(spitze, (StatusKb("VmHWM:") - vorher) * 1024);
    }
    state.counters["file_MB"] = static_cast<double>(d.Datei.size()) / (1 << 20);
    state.counters["peak_MB"] = spitze / (1 << 20);
    state.counters["peak_x_pixels"] = spitze / (2.0 * kSeite * kSeite);
}
BENCHMARK(BM_Hoehenbild)->Unit(benchmark::kMillisecond);

void BM_Boden(benchmark::State& state) {
    const Daten& d = Karte();
    std::vector<Bytef> ziel(d.Roh.size());
    for (auto _ : state) {
        uLongf laenge = static_cast<uLongf>(ziel.size());
        uncompress(ziel.data(), &laenge, reinterpret_cast<const Bytef*>(d.Zlib.data()),
                   static_cast<uLong>(d.Zlib.size()));
        benchmark::DoNotOptimize(ziel.data());
    }
}
BENCHMARK(BM_Boden)->Unit(benchmark::kMillisecond);

void BM_HoeheBei(benchmark::State& state) {
    const Daten& d = Karte();
    Gelaende g;
    g.Raster = HoehenbildAusBytes(reinterpret_cast<const std::uint8_t*>(d.Datei.data()), d.Datei.size(),
                                  std::uint64_t{4} << 30)
                   .Raster;
    const auto n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        double summe = 0;
        for (int k = 0; k < n; ++k) {
            const double t = (k + 0.5) / n;
            summe += g.HoeheBei(-2000 + 4000 * t, 1500 - 3000 * t).value_or(0);
        }
        benchmark::DoNotOptimize(summe);
    }
}
BENCHMARK(BM_HoeheBei)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
