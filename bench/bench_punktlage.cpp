// Cost of orienting points and dropping duplicates when many points share one place, as
// imported marker scenes give them, against a floor of the same number of points each
// at a place of its own.
//
// BM_Boden/points:N           PunkteAusrichten of N points 10 m apart on a bend: every
//                             point's neighbours are the points beside it. The floor.
// BM_EineStelle/points:N      N points on one spot between two points elsewhere (the
//                             case that took over a minute for 100,000 points).
// BM_Streuung/points:N        the same with every point of the spot moved by up to
//                             0.3 mm: no two of them are copies of each other.
// BM_DoppelteEntfernen/points:N  GleicheStellenEntfernen of N / 2 points on one spot
//                             followed by N / 2 points 10 m apart.
//
// After the benchmarks a summary prints each case per point and its ratio to the floor
// of the same size (goal: at most 3 for every size, so the cost stays linear).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "model/Punktlage.h"
#include "model/SplinePunkte.h"

namespace {

using namespace pavolant;

void Leeren(TSplinePunkte& punkte) {
    while (punkte.AnzahlPunkte() > 0) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
}

// Point k of a bend of 2 km radius, 10 m apart, climbing 2 %.
void AufBogen(TSplinePkt& p, int k) {
    const double winkel = k * 10.0 / 2000.0;
    p.X = 2000 * (1 - std::cos(winkel));
    p.Z = 2000 * std::sin(winkel);
    p.Y = 0.2 * k;
}

void Bogen(TSplinePunkte& punkte, int n) {
    Leeren(punkte);
    for (int k = 0; k < n; ++k) AufBogen(*punkte.Anhaengen(), k);
}

// n points at (50, 5, 50), within `streuung` metres of it in plan, between a point
// before it and one after it.
void EineStelle(TSplinePunkte& punkte, int n, double streuung) {
    Leeren(punkte);
    punkte.Anhaengen();
    std::mt19937 zufall(7);
    std::uniform_real_distribution<double> versatz(-streuung, streuung);
    for (int k = 0; k < n - 2; ++k) {
        TSplinePkt& p = *punkte.Anhaengen();
        p.X = 50 + versatz(zufall);
        p.Y = 5;
        p.Z = 50 + versatz(zufall);
    }
    TSplinePkt& ende = *punkte.Anhaengen();
    ende.X = 100;
    ende.Z = 120;
}

void Ausrichten(benchmark::State& state, TSplinePunkte& punkte) {
    for (auto _ : state) benchmark::DoNotOptimize(PunkteAusrichten(punkte));
    state.SetItemsProcessed(state.iterations() * punkte.AnzahlPunkte());
}

void BM_Boden(benchmark::State& state) {
    TSplinePunkte punkte;
    Bogen(punkte, static_cast<int>(state.range(0)));
    Ausrichten(state, punkte);
}

void BM_EineStelle(benchmark::State& state) {
    TSplinePunkte punkte;
    EineStelle(punkte, static_cast<int>(state.range(0)), 0);
    Ausrichten(state, punkte);
}

void BM_Streuung(benchmark::State& state) {
    TSplinePunkte punkte;
    EineStelle(punkte, static_cast<int>(state.range(0)), 0.0003);
    Ausrichten(state, punkte);
}

void BM_DoppelteEntfernen(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    TSplinePunkte punkte;
    for (auto _ : state) {
        state.PauseTiming();
        Leeren(punkte);
        for (int k = 0; k < n / 2; ++k) punkte.Anhaengen()->X = 5;
        for (int k = n / 2; k < n; ++k) AufBogen(*punkte.Anhaengen(), k);
        int aktuell = 0;
        state.ResumeTiming();
        benchmark::DoNotOptimize(GleicheStellenEntfernen(punkte, aktuell));
    }
    state.SetItemsProcessed(state.iterations() * n);
}

#define GROESSEN ->Arg(1000)->Arg(10000)->Arg(100000)->ArgName("points")->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Boden) GROESSEN;
BENCHMARK(BM_EineStelle) GROESSEN;
BENCHMARK(BM_Streuung) GROESSEN;
BENCHMARK(BM_DoppelteEntfernen) GROESSEN;

// The console output as usual, plus the fastest CPU time per iteration of each run.
class Sammler : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            double& z = Bestzeit
                            .try_emplace(r.run_name.function_name + "/" + r.run_name.args,
                                         std::numeric_limits<double>::infinity())
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

    std::printf("\nsummary (fastest repetition, CPU time; ns per point and ratio to the floor)\n");
    for (const int n : {1000, 10000, 100000}) {
        const std::string arg = "points:" + std::to_string(n);
        const auto boden = sammler.Bestzeit.find("BM_Boden/" + arg);
        if (boden == sammler.Bestzeit.end()) continue;
        std::printf("  %6d points: floor %7.1f ns", n, boden->second * 1e9 / n);
        for (const char* fall : {"BM_EineStelle", "BM_Streuung", "BM_DoppelteEntfernen"}) {
            const auto z = sammler.Bestzeit.find(std::string(fall) + "/" + arg);
            if (z == sammler.Bestzeit.end()) continue;
            const double verhaeltnis = z->second / boden->second;
            std::printf("  %s %7.1f ns (%.2f, %s)", fall + 3, z->second * 1e9 / n, verhaeltnis,
                        verhaeltnis <= 3 ? "met" : "MISSED");
        }
        std::printf("\n");
    }
    return 0;
}
