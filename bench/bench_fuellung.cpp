// Cost of the front-face fill on long outlines: both borders of a road at their most
// segments give an outline of about 20,000 points.
//
// BM_Fuellen/points:N   TFuellFlaeche::Fuellen of a road's cross-section with N outline
//                       points: a flat top, and a bottom that falls away in small steps
//                       of changing angle, as two borders of N / 2 segments give it.
// BM_Sortieren/points:N The full candidate sort of one pass over N corners, the work each
//                       of the fill's passes did before it selected the ear instead.
// Goal: the fill of 20,000 points ten times faster than the 13.5 s it took with a full
// sort in every pass, with the triangles unchanged (tests/core/test_FuellFlaeche.cpp
// compares them with the full sort's).

#include "model/FuellFlaeche.h"
#include "model/Meldung.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace pavolant;

class Stumm : public Melder {
public:
    void Melden(MeldungsArt, const std::string&) override {}
};

void Querschnitt(TFuellFlaeche& f, int n) {
    f.Leeren();
    const int haelfte = n / 2;
    // Right border outward, then the left border back: a counter-clockwise outline.
    double x = 3.5, z = 0;
    for (int k = 0; k < haelfte; ++k) {
        TPunkt& p = *f.Punkte.Punkt(f.Punkte.NeuerPunkt());
        p.X = x;
        p.Z = z;
        const double winkel = -0.1 - 0.7 * std::sin(k / 300.0);
        x += 0.01 * std::cos(winkel);
        z += 0.01 * std::sin(winkel);
    }
    for (int k = 0; k < n - haelfte; ++k) {
        TPunkt& p = *f.Punkte.Punkt(f.Punkte.NeuerPunkt());
        const TPunkt& gegenueber = *f.Punkte.Punkt(haelfte - 1 - k % haelfte);
        p.X = -gegenueber.X;
        p.Z = gegenueber.Z;
    }
}

void BM_Fuellen(benchmark::State& state) {
    TFuellFlaeche f;
    Querschnitt(f, static_cast<int>(state.range(0)));
    Stumm melder;
    std::vector<NetzDreieck> dreiecke;
    for (auto _ : state) {
        dreiecke.clear();
        benchmark::DoNotOptimize(f.Fuellen(dreiecke, 0, true, melder));
    }
}
BENCHMARK(BM_Fuellen)->ArgName("points")->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_Sortieren(benchmark::State& state) {
    std::vector<TFFrec> vorlage;
    for (int k = 0; k < state.range(0); ++k) vorlage.push_back({k, 1 + std::fmod(k * 0.618, 3.0)});
    std::vector<TFFrec> liste;
    for (auto _ : state) {
        liste = vorlage;
        TFuellFlaeche::Sortieren(liste);
        benchmark::DoNotOptimize(liste.back().Index);
    }
}
BENCHMARK(BM_Sortieren)->ArgName("points")->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
