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
// BM_Gelaendenetz   the preview's ground mesh around the 10 km benchmark road: its control
//                   points' box widened by 60 m (the road's half width and the 50 m of
//                   ground around it) and to whole 100 m, some 6.7 x 7.1 km, on the same
//                   4097 x 4097 image placed 2 m a pixel around (4000, 1400) so that the
//                   road lies on it; thinned to at most 2^15 triangles (goal: under 200 ms).
// BM_Netzboden      the floor of the mesh: the same grid of pixels read and written as
//                   the same vertex and index arrays, with a constant normal (what any
//                   mesh of these samples must write).
// BM_Relief         the plan view's shaded relief with contour lines of the same area,
//                   1024 pixels along its longer side, as the preview makes it.
//
// After the benchmarks a summary prints the mesh and the relief against their floor.
//
// Memory is measured as resident memory, since stb_image allocates with malloc itself.
#include "bench/Benchstrassen.h"
#include "model/Gelaende.h"
#include "model/Gelaendenetz.h"
#include "persistence/Hoehenbild.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
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

// The benchmark map as the preview gets it: read once, 2 m a pixel, moved under the road.
const Gelaende& Boden() {
    static const Gelaende g = [] {
        const Daten& d = Karte();
        Gelaende b;
        b.Raster = HoehenbildAusBytes(reinterpret_cast<const std::uint8_t*>(d.Datei.data()), d.Datei.size(),
                                      std::uint64_t{4} << 30)
                       .Raster;
        b.UnitsPerPixel = 2;
        b.Versatz[0] = 4000, b.Versatz[1] = 60, b.Versatz[2] = 1400;
        return b;
    }();
    return g;
}

class Stumm : public Melder {
public:
    void Melden(MeldungsArt, const std::string&) override {}
};

// The 10 km road's surroundings: its control points' box widened by 60 m, to whole 100 m.
Planrechteck Strassenumgebung() {
    static const Planrechteck bereich = [] {
        TSplinePunkte punkte;
        bench::StrasseAnlegen(punkte, 40);
        constexpr double kUnendlich = std::numeric_limits<double>::infinity();
        Planrechteck b{kUnendlich, kUnendlich, -kUnendlich, -kUnendlich};
        for (int i = 0; i < punkte.AnzahlPunkte(); ++i) {
            const TSplinePkt& p = *punkte.Punkt(i);
            b.MinX = std::min(b.MinX, p.X), b.MaxX = std::max(b.MaxX, p.X);
            b.MinZ = std::min(b.MinZ, p.Z), b.MaxZ = std::max(b.MaxZ, p.Z);
        }
        return Planrechteck{std::floor((b.MinX - 60) / 100) * 100, std::floor((b.MinZ - 60) / 100) * 100,
                            std::ceil((b.MaxX + 60) / 100) * 100, std::ceil((b.MaxZ + 60) / 100) * 100};
    }();
    return bereich;
}

void BM_Gelaendenetz(benchmark::State& state) {
    const Gelaende& g = Boden();
    const Planrechteck b = Strassenumgebung();
    Gelaendenetz n;
    for (auto _ : state) {
        n = GelaendenetzBauen(g, b);
        benchmark::DoNotOptimize(n.Vertices.data());
    }
    state.counters["triangles"] = static_cast<double>(n.AnzahlDreiecke());
    state.counters["step_px"] = n.Schritt;
    state.counters["area_km2"] = (b.MaxX - b.MinX) * (b.MaxZ - b.MinZ) / 1e6;
}
BENCHMARK(BM_Gelaendenetz)->Unit(benchmark::kMillisecond);

void BM_Netzboden(benchmark::State& state) {
    const Gelaende& g = Boden();
    const Gelaendenetz vorlage = GelaendenetzBauen(g, Strassenumgebung());
    const int k = vorlage.Schritt;
    const int s0 = static_cast<int>(std::lround(g.SpalteVonX(vorlage.Flaeche.MinX)));
    const int s1 = static_cast<int>(std::lround(g.SpalteVonX(vorlage.Flaeche.MaxX)));
    const int r0 = static_cast<int>(std::lround(g.ZeileVonZ(vorlage.Flaeche.MinZ)));
    const int r1 = static_cast<int>(std::lround(g.ZeileVonZ(vorlage.Flaeche.MaxZ)));
    for (auto _ : state) {
        std::vector<float> v;
        std::vector<std::uint32_t> i;
        v.reserve(vorlage.Vertices.size());
        i.reserve(vorlage.Indizes.size());
        std::uint32_t nx = 0, nz = 0;
        for (int r = r0; r <= r1; r = r == r1 ? r + 1 : std::min(r + k, r1), ++nz) {
            nx = 0;
            for (int s = s0; s <= s1; s = s == s1 ? s + 1 : std::min(s + k, s1), ++nx)
                v.insert(v.end(), {static_cast<float>(s), static_cast<float>(g.Raster.Bei(s, r)),
                                   static_cast<float>(r), 0, 1, 0});
        }
        for (std::uint32_t z = 0; z + 1 < nz; ++z)
            for (std::uint32_t x = 0; x + 1 < nx; ++x) {
                const std::uint32_t a = z * nx + x, c = a + nx;
                i.insert(i.end(), {a, c, a + 1, a + 1, c, c + 1});
            }
        benchmark::DoNotOptimize(v.data());
        benchmark::DoNotOptimize(i.data());
    }
}
BENCHMARK(BM_Netzboden)->Unit(benchmark::kMillisecond);

void BM_Relief(benchmark::State& state) {
    const Gelaende& g = Boden();
    const Planrechteck b = Strassenumgebung();
    const double meterJePixel = std::max(b.MaxX - b.MinX, b.MaxZ - b.MinZ) / 1024;
    Reliefbild r;
    for (auto _ : state) {
        r = ReliefBauen(g, b, meterJePixel, 10);
        benchmark::DoNotOptimize(r.Rgba.data());
    }
    state.counters["pixels"] = static_cast<double>(r.Breite) * r.Hoehe;
}
BENCHMARK(BM_Relief)->Unit(benchmark::kMillisecond);

// The console output as usual, plus the fastest CPU time per iteration of each run.
class Sammler : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            double& z =
                Bestzeit.try_emplace(r.run_name.function_name, std::numeric_limits<double>::infinity())
                    .first->second;
            z = std::min(z, r.cpu_accumulated_time / static_cast<double>(r.iterations));
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Bestzeit;  // seconds
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Sammler sammler;
    benchmark::RunSpecifiedBenchmarks(&sammler);
    benchmark::Shutdown();
    const auto zeit = [&sammler](const char* name) {
        const auto z = sammler.Bestzeit.find(name);
        return z == sammler.Bestzeit.end() ? std::nan("") : z->second * 1e3;
    };
    const double netz = zeit("BM_Gelaendenetz"), boden = zeit("BM_Netzboden");
    std::printf("\nsummary (fastest, CPU time):\n");
    if (!std::isnan(netz) && !std::isnan(boden))
        std::printf("  ground mesh %.1f ms (goal: under 200 ms, %s), %.2f times its floor of %.1f ms\n", netz,
                    netz < 200 ? "met" : "MISSED", netz / boden, boden);
    if (const double relief = zeit("BM_Relief"); !std::isnan(relief))
        std::printf("  relief %.1f ms\n", relief);
    if (const double bild = zeit("BM_Hoehenbild"), zlib = zeit("BM_Boden");
        !std::isnan(bild) && !std::isnan(zlib))
        std::printf("  height image read %.1f ms, %.2f times inflating it alone (%.1f ms)\n", bild,
                    bild / zlib, zlib);
    return 0;
}
