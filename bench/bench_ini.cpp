// Cost of loading and saving parameter files with long border profiles, through the same
// path the window takes (ParameterLesen / ParameterSchreiben with the road model's own
// IniLesen and IniSchreiben), and the heap that takes against the file's size.
//
// BM_Laden/segments:N     IniDatei(path) and ParameterLesen of a file whose two borders
//                         have N segments each, with N / 2.5 spline points (N = 1000 gives
//                         about 200 KB, N = 10000 about 2 MB).
// BM_Speichern/segments:N ParameterSchreiben of the same model and Speichern, into a new
//                         file (fresh:1) or over the file it was loaded from (fresh:0).
// BM_NurIniDatei/...      The engine alone: IniDatei(path) and one read of every key.
//
// The program replaces the global operator new/delete to count the heap bytes malloc
// hands out (malloc_usable_size, so the allocator's rounding counts). peak_heap is the
// highest growth during one iteration over what was alive before it, heap_x_file that
// growth over the file's size (goal: at most 4). Goals for time: a 2 MB load and a
// 10,000-segment save each under 0.2 s.

#include "model/FuellFlaeche.h"
#include "model/Meldung.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"
#include "persistence/Parameterdatei.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <unistd.h>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>

// ---- Heap accounting ---------------------------------------------------------------------

namespace {

constinit std::atomic<std::int64_t> gLebend{0};  // bytes alive
constinit std::atomic<std::int64_t> gSpitze{0};  // most bytes alive since the last reset

void* Holen(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (p == nullptr) throw std::bad_alloc();
    const auto jetzt =
        gLebend.fetch_add(static_cast<std::int64_t>(malloc_usable_size(p)), std::memory_order_relaxed) +
        static_cast<std::int64_t>(malloc_usable_size(p));
    auto alt = gSpitze.load(std::memory_order_relaxed);
    while (jetzt > alt && !gSpitze.compare_exchange_weak(alt, jetzt, std::memory_order_relaxed)) {
    }
    return p;
}

void Lassen(void* p) noexcept {
    if (p == nullptr) return;
    gLebend.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(p)), std::memory_order_relaxed);
    std::free(p);
}

// Growth of the heap over the bytes alive at construction, at its highest.
class Spitzenmessung {
public:
    Spitzenmessung() : basis_(gLebend.load()) { gSpitze.store(basis_); }
    std::int64_t Wachstum() const { return gSpitze.load() - basis_; }

private:
    std::int64_t basis_;
};

}  // namespace

void* operator new(std::size_t n) { return Holen(n); }
void* operator new[](std::size_t n) { return Holen(n); }
void operator delete(void* p) noexcept { Lassen(p); }
void operator delete[](void* p) noexcept { Lassen(p); }
void operator delete(void* p, std::size_t) noexcept { Lassen(p); }
void operator delete[](void* p, std::size_t) noexcept { Lassen(p); }

// ---- The model and its files ---------------------------------------------------------------

namespace {

using namespace pavolant;
namespace fs = std::filesystem;

class StillerMelder : public Melder {
public:
    void Melden(MeldungsArt, const std::string&) override {}
};

// The road as the parameter file holds it: the fields' values and the road model's
// objects.
struct Fenster {
    StillerMelder melder;
    Feldwerte werte = Startwerte();
    TRandPunkte rechts{"Rand_rechts", melder};
    TRandPunkte links{"Rand_links", melder};
    TSplinePunkte punkte;
    int aktuell = 0;
    std::string quelle;
    TFuellFlaeche fuellung;

    void Schreiben(IniDatei& ini) const {
        ParameterSchreiben(ini, werte, rechts, links, punkte, aktuell, quelle, fuellung);
    }
    void Lesen(const IniDatei& ini) { ParameterLesen(ini, werte, rechts, links, punkte, fuellung); }
};

// A border of `segmente` segments of varied width and angle, switched on.
void Rand(TRandPunkte& rand, int segmente) {
    rand.Aktiv = true;
    rand.TexturDatei = "rand_diffuse.dds";
    rand.TexturLaenge = 5;
    rand.TexturBreite = 1;
    while (rand.AnzahlSegmente() <= segmente) rand.NeuesSegment();
    double u = 0;
    for (int k = 1; k <= segmente; ++k) {
        TRandSegment& s = *rand.Segment(k);
        s.Breite = 0.05 + (k % 17) * 0.125;
        s.Winkel = ((k % 13) - 6) * 0.0625;
        s.U = u += s.Breite;
        rand.SegmentAktualisieren(k);
    }
    rand.Berechnen();
}

struct Vorlage {
    std::unique_ptr<Fenster> modell;
    fs::path datei;
    std::int64_t bytes = 0;
};

fs::path Ordner() {
    static const fs::path ordner = [] {
        auto pfad = fs::temp_directory_path() / ("pavolant_bench_ini_" + std::to_string(::getpid()));
        fs::create_directories(pfad);
        return pfad;
    }();
    return ordner;
}

// The model with `segmente` segments per border and the file it saves to, made once.
Vorlage& DieVorlage(int segmente) {
    static std::map<int, Vorlage> vorlagen;
    Vorlage& v = vorlagen[segmente];
    if (v.modell) return v;
    v.modell = std::make_unique<Fenster>();
    Rand(v.modell->rechts, segmente);
    Rand(v.modell->links, segmente);
    const int punkte = segmente * 2 / 5;
    while (v.modell->punkte.AnzahlPunkte() < punkte) {
        TSplinePkt& p = *v.modell->punkte.Anhaengen();
        const int k = v.modell->punkte.AnzahlPunkte();
        p.X = 1000 + k * 243.75;
        p.Y = 120 + (k % 29) * 0.375;
        p.Z = -2000 + k * 31.25;
        p.Yrot = (k % 360) + 0.5;
        p.Zrot = (k % 7) - 3;
    }
    v.datei = Ordner() / ("segmente_" + std::to_string(segmente) + ".ini");
    IniDatei ini(v.datei);
    v.modell->Schreiben(ini);
    ini.Speichern();
    v.bytes = static_cast<std::int64_t>(fs::file_size(v.datei));
    return v;
}

void Zaehler(benchmark::State& state, std::int64_t bytes, std::int64_t spitze) {
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.counters["peak_heap"] = static_cast<double>(spitze);
    state.counters["heap_x_file"] = static_cast<double>(spitze) / static_cast<double>(bytes);
}

void BM_Laden(benchmark::State& state) {
    Vorlage& v = DieVorlage(static_cast<int>(state.range(0)));
    std::int64_t spitze = 0;
    for (auto _ : state) {
        Fenster fenster;
        Spitzenmessung messung;
        {
            const IniDatei ini(v.datei);
            fenster.Lesen(ini);
        }
        spitze = std::max(spitze, messung.Wachstum());
        if (fenster.rechts.AnzahlSegmente() != v.modell->rechts.AnzahlSegmente() ||
            fenster.punkte.AnzahlPunkte() != v.modell->punkte.AnzahlPunkte()) {
            state.SkipWithError("the load gave another model than the one saved");
            break;
        }
    }
    Zaehler(state, v.bytes, spitze);
}
BENCHMARK(BM_Laden)->Arg(1000)->Arg(10000)->ArgName("segments")->Unit(benchmark::kMillisecond);

void BM_Speichern(benchmark::State& state) {
    Vorlage& v = DieVorlage(static_cast<int>(state.range(0)));
    const bool frisch = state.range(1) != 0;
    const fs::path ziel = Ordner() / "gespeichert.ini";
    std::int64_t spitze = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (frisch)
            fs::remove(ziel);
        else
            fs::copy_file(v.datei, ziel, fs::copy_options::overwrite_existing);
        state.ResumeTiming();
        Spitzenmessung messung;
        {
            IniDatei ini(ziel);
            v.modell->Schreiben(ini);
            ini.Speichern();
        }
        spitze = std::max(spitze, messung.Wachstum());
    }
    if (fs::file_size(ziel) != static_cast<std::uintmax_t>(v.bytes))
        state.SkipWithError("the save wrote another file than the first one");
    Zaehler(state, v.bytes, spitze);
}
BENCHMARK(BM_Speichern)
    ->Args({10000, 1})
    ->Args({10000, 0})
    ->ArgNames({"segments", "fresh"})
    ->Unit(benchmark::kMillisecond);

// Every key of the file looked up once, so the engine's index is built and used; the
// model's own work is left out.
void BM_NurIniDatei(benchmark::State& state) {
    Vorlage& v = DieVorlage(static_cast<int>(state.range(0)));
    const int segmente = static_cast<int>(state.range(0));
    std::int64_t spitze = 0;
    for (auto _ : state) {
        Spitzenmessung messung;
        double summe = 0;
        {
            const IniDatei ini(v.datei);
            for (const char* rand : {"Rand_rechts_Geo", "Rand_links_Geo"})
                for (int k = 0; k <= segmente; ++k)
                    summe += ini.LiesZahl(rand, "Breite" + std::to_string(k), 0.0);
            summe += ini.LiesInteger("Splines", "Anzahl", 0);
        }
        spitze = std::max(spitze, messung.Wachstum());
        benchmark::DoNotOptimize(summe);
    }
    Zaehler(state, v.bytes, spitze);
}
BENCHMARK(BM_NurIniDatei)->Arg(1000)->Arg(10000)->ArgName("segments")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code fehler;
    fs::remove_all(Ordner(), fehler);
    return 0;
}
