// Cost of shaping the map's ground to the road (GelaendeFormen), without reading or
// writing the height image.
//
// BM_Formung/side/connections  the 10 km benchmark road (40 connections, both borders,
//                   margin 1 m, falloff 4 m) dropped onto rolling ground, on an image of
//                   side x side pixels covering the same 8192 m square (2 m a pixel at
//                   4097); fewer connections give a shorter road on the same image.
//                   Goal at 4097 and 40: well under 2 s on one core, which must also hold
//                   the reading and writing of the image. peak_x_image is the growth of
//                   resident memory during one call over the image's own bytes (the result
//                   holds a copy of the image: goal about 3).
// BM_Masken/side    the roadway's and the borders' masks of the same road, a metre a pixel.
//
// Memory is measured as resident memory (Linux's peak mark, reset before each call).
#include "bench/Benchstrassen.h"
#include "generator/Strassenbau.h"
#include "model/Gelaende.h"
#include "model/Gelaendeformung.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

using namespace pavolant;

constexpr double kFlaeche = 8192;  // metres a side of every image

// Rolling ground of side x side pixels over kFlaeche metres, around the benchmark road.
Gelaende Boden(int seite) {
    std::shared_ptr<std::uint16_t[]> werte(new std::uint16_t[static_cast<std::size_t>(seite) * seite]);
    Gelaende g;
    g.UnitsPerPixel = kFlaeche / (seite - 1);
    g.Versatz[0] = 4000, g.Versatz[1] = 60, g.Versatz[2] = 1400;
    for (int j = 0; j < seite; ++j)
        for (int i = 0; i < seite; ++i) {
            const double x = i * g.UnitsPerPixel, z = j * g.UnitsPerPixel;
            const double h = 20000 + 9000 * std::sin(x * 0.002) * std::cos(z * 0.0015) +
                             3000 * std::sin(x * 0.01 + z * 0.0055);
            werte[static_cast<std::size_t>(j) * seite + i] = static_cast<std::uint16_t>(h);
        }
    g.Raster = {seite, seite, werte};
    return g;
}

class Stumm : public Melder {
public:
    void Melden(MeldungsArt, const std::string&) override {}
};

// The benchmark road of `abschnitte` connections, its points dropped onto `boden`.
Bauergebnis Strasse(const Gelaende& boden, int abschnitte) {
    Stumm melder;
    bench::ZehnKilometer z(melder, 10, abschnitte);
    pavolant::Strasse wert = z.Wert();
    AufGelaendeSetzen(wert.Punkte, boden, 0.05);
    Zufallsgenerator zufall;
    return Bauen(wert, zufall, melder);
}

double StatusKb(const std::string& schluessel) {
    std::ifstream status("/proc/self/status");
    for (std::string zeile; std::getline(status, zeile);)
        if (zeile.rfind(schluessel, 0) == 0) return std::stod(zeile.substr(schluessel.size()));
    return 0;
}

void BM_Formung(benchmark::State& state) {
    const int seite = static_cast<int>(state.range(0));
    const Gelaende boden = Boden(seite);
    const Bauergebnis strasse = Strasse(boden, static_cast<int>(state.range(1)));
    if (!strasse.Vollstaendig) {
        state.SkipWithError("the road was not built");
        return;
    }
    Formbericht bericht;
    double spitze = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream("/proc/self/clear_refs") << "5";
        const double vorher = StatusKb("VmRSS:");
        state.ResumeTiming();
        {
            const Formergebnis f =
                GelaendeFormen(boden, *strasse.Dreiecksnetz, strasse.Geometrie->Deckflaechen, Formvorgaben{});
            benchmark::DoNotOptimize(f.Werte.data());
            bericht = f.Bericht;
        }
        spitze = std::max(spitze, (StatusKb("VmHWM:") - vorher) * 1024);
    }
    state.counters["road_km"] = strasse.Fahrbahnlaenge.value_or(0) / 1000;
    state.counters["triangles"] = static_cast<double>(strasse.Dreiecksnetz->AnzDreiecke());
    state.counters["changed_px"] = static_cast<double>(bericht.GeaendertePixel);
    state.counters["crossing_px"] = static_cast<double>(bericht.Kreuzungspixel);
    state.counters["clamped_px"] = static_cast<double>(bericht.GekapptePixel);
    state.counters["fill_m3"] = bericht.Auftrag;
    state.counters["cut_m3"] = bericht.Abtrag;
    state.counters["peak_MB"] = spitze / (1 << 20);
    state.counters["peak_x_image"] = spitze / (2.0 * seite * seite);
}
BENCHMARK(BM_Formung)
    ->Args({4097, 40})
    ->Args({2049, 40})
    ->Args({1025, 40})
    ->Args({4097, 20})
    ->Args({4097, 10})
    ->Unit(benchmark::kMillisecond);

void BM_Masken(benchmark::State& state) {
    const int seite = static_cast<int>(state.range(0));
    const Gelaende boden = Boden(seite);
    const Bauergebnis strasse = Strasse(boden, 40);
    for (auto _ : state) {
        const Fussabdruckmasken m =
            FussabdruckMasken(boden, *strasse.Dreiecksnetz, strasse.Geometrie->Deckflaechen, {});
        benchmark::DoNotOptimize(m.Fahrbahn.Werte.data());
    }
}
BENCHMARK(BM_Masken)->Arg(4097)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
