// Cost of one generation run on a long road, against a floor that only formats and
// writes the same mesh and curve lines.
//
// BM_Strasse100km  one full build and write (Bauen, DokumentSchreiben) of a 100 km road (401 control points),
// the
//                  document written to a temporary folder, fsync and rename included.
// BM_Boden         the same number of vertex, triangle and curve-point lines in the
//                  document's line formats, with the same number formatter, through the
//                  same all-or-nothing file; nothing else. No run can be cheaper than this.
//
// The program replaces the global operator new/delete to count heap bytes, so one run's
// peak heap growth can be set beside the document size: the mesh is held as compact
// records precisely so that a run needs less memory than the text it writes.
//
// After the benchmarks a summary prints both times, their ratio (goal: at most 1.5) and
// the peak heap against the document size (goal: below it). The ratio is judged on wall
// time, as fsync waits rather than computes; the CPU ratio beside it shows the work
// alone. Repeat with --benchmark_repetitions=N on a busy machine: the summary takes the
// fastest repetition of each.

#include "bench/Benchstrassen.h"

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "generator/Strassenbau.h"
#include "model/Meldung.h"
#include "model/Netz.h"
#include "model/SplinePunkte.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"

// ---------------------------------------------------------------------------------------
// Heap accounting
//
// Every block carries a 16-byte header (keeps malloc's alignment) holding the bytes it
// was counted with, or 0 when it was allocated while counting was off. Freeing subtracts
// exactly what was added, so switching the count on around one call is exact even when
// the call frees blocks that are older than it.
//
// A block counts with the chunk glibc's malloc takes for the program's own request: the
// request plus the 8-byte size word, rounded up to 16, at least 32. That is what the
// process holds for it without this instrumentation; the header itself is not counted,
// or the thousands of small points of a run would be overstated by 16 bytes each.

namespace {

constexpr std::size_t kKopf = 16;
static_assert(kKopf >= sizeof(std::size_t) && kKopf % alignof(std::max_align_t) == 0);

constinit std::atomic<bool> gZaehlen{false};
constinit std::atomic<std::int64_t> gAktuell{0};  // counted bytes alive
constinit std::atomic<std::int64_t> gSpitze{0};   // highest gAktuell since the last reset
constinit std::atomic<std::int64_t> gAnzahl{0};   // counted allocations

constexpr std::size_t Belegt(std::size_t n) {
    const std::size_t chunk = (n + 8 + 15) & ~std::size_t{15};
    return chunk < 32 ? 32 : chunk;
}
static_assert(Belegt(0) == 32 && Belegt(24) == 32 && Belegt(25) == 48 && Belegt(104) == 112);

void Zaehlen(std::size_t n, std::size_t* kopf) {
    std::size_t bytes = 0;
    if (gZaehlen.load(std::memory_order_relaxed)) {
        bytes = Belegt(n);
        gAnzahl.fetch_add(1, std::memory_order_relaxed);
        const std::int64_t neu =
            gAktuell.fetch_add(static_cast<std::int64_t>(bytes), std::memory_order_relaxed) +
            static_cast<std::int64_t>(bytes);
        std::int64_t alt = gSpitze.load(std::memory_order_relaxed);
        while (neu > alt && !gSpitze.compare_exchange_weak(alt, neu, std::memory_order_relaxed)) {
        }
    }
    *kopf = bytes;
}

void Abziehen(const std::size_t* kopf) {
    if (*kopf != 0) gAktuell.fetch_sub(static_cast<std::int64_t>(*kopf), std::memory_order_relaxed);
}

// Plain blocks: header right before the user's pointer.
void* Anfordern(std::size_t n) noexcept {
    if (n > std::numeric_limits<std::size_t>::max() - kKopf) return nullptr;
    void* roh = std::malloc(n + kKopf);
    if (roh == nullptr) return nullptr;
    Zaehlen(n, static_cast<std::size_t*>(roh));
    return static_cast<char*>(roh) + kKopf;
}

void Freigeben(void* p) noexcept {
    if (p == nullptr) return;
    char* roh = static_cast<char*>(p) - kKopf;
    Abziehen(reinterpret_cast<const std::size_t*>(roh));
    std::free(roh);
}

// Over-aligned blocks: a whole alignment step in front, header at its end.
void* AnfordernAusgerichtet(std::size_t n, std::align_val_t ausrichtung) noexcept {
    const auto al = std::max(static_cast<std::size_t>(ausrichtung), kKopf);
    if (n > std::numeric_limits<std::size_t>::max() - 2 * al) return nullptr;
    const std::size_t gesamt = (n + al + al - 1) / al * al;  // aligned_alloc wants a multiple
    void* roh = std::aligned_alloc(al, gesamt);
    if (roh == nullptr) return nullptr;
    char* p = static_cast<char*>(roh) + al;
    Zaehlen(n + al - 1, reinterpret_cast<std::size_t*>(p - kKopf));  // alignment slack
    return p;
}

void FreigebenAusgerichtet(void* p, std::align_val_t ausrichtung) noexcept {
    if (p == nullptr) return;
    const auto al = std::max(static_cast<std::size_t>(ausrichtung), kKopf);
    Abziehen(reinterpret_cast<const std::size_t*>(static_cast<char*>(p) - kKopf));
    std::free(static_cast<char*>(p) - al);
}

template <class F>
void* AnfordernOderWerfen(F anfordern) {
    for (;;) {
        if (void* p = anfordern()) return p;
        std::new_handler behandler = std::get_new_handler();
        if (behandler == nullptr) throw std::bad_alloc();
        behandler();
    }
}

}  // namespace

// Never inlined: valgrind's memcheck and massif replace these functions by their own, and
// an allocation inlined into a caller would escape the replacement while its release
// would not.
[[gnu::noinline]] void* operator new(std::size_t n) {
    return AnfordernOderWerfen([n] { return Anfordern(n); });
}
[[gnu::noinline]] void* operator new[](std::size_t n) {
    return AnfordernOderWerfen([n] { return Anfordern(n); });
}
[[gnu::noinline]] void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return AnfordernOderWerfen([n] { return Anfordern(n); });
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
[[gnu::noinline]] void* operator new[](std::size_t n, const std::nothrow_t& nt) noexcept {
    return operator new(n, nt);
}
[[gnu::noinline]] void* operator new(std::size_t n, std::align_val_t a) {
    return AnfordernOderWerfen([n, a] { return AnfordernAusgerichtet(n, a); });
}
[[gnu::noinline]] void* operator new[](std::size_t n, std::align_val_t a) {
    return AnfordernOderWerfen([n, a] { return AnfordernAusgerichtet(n, a); });
}
[[gnu::noinline]] void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return AnfordernOderWerfen([n, a] { return AnfordernAusgerichtet(n, a); });
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
[[gnu::noinline]] void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t& nt) noexcept {
    return operator new(n, a, nt);
}
[[gnu::noinline]] void operator delete(void* p) noexcept { Freigeben(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { Freigeben(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { Freigeben(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { Freigeben(p); }
[[gnu::noinline]] void operator delete(void* p, const std::nothrow_t&) noexcept { Freigeben(p); }
[[gnu::noinline]] void operator delete[](void* p, const std::nothrow_t&) noexcept { Freigeben(p); }
[[gnu::noinline]] void operator delete(void* p, std::align_val_t a) noexcept { FreigebenAusgerichtet(p, a); }
[[gnu::noinline]] void operator delete[](void* p, std::align_val_t a) noexcept {
    FreigebenAusgerichtet(p, a);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t, std::align_val_t a) noexcept {
    FreigebenAusgerichtet(p, a);
}
[[gnu::noinline]] void operator delete[](void* p, std::size_t, std::align_val_t a) noexcept {
    FreigebenAusgerichtet(p, a);
}
[[gnu::noinline]] void operator delete(void* p, std::align_val_t a, const std::nothrow_t&) noexcept {
    FreigebenAusgerichtet(p, a);
}
[[gnu::noinline]] void operator delete[](void* p, std::align_val_t a, const std::nothrow_t&) noexcept {
    FreigebenAusgerichtet(p, a);
}

namespace {

using namespace pavolant;
namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------
// The road

class Aufzeichner : public Melder {
public:
    void Melden(MeldungsArt art, const std::string& text) override { Meldungen.emplace_back(art, text); }
    std::vector<std::pair<MeldungsArt, std::string>> Meldungen;
};

constexpr int kAbschnitte = 400;  // connections; 401 control points

Strasse Parameter(const TRandPunkte& randR, const TRandPunkte& randL, const TFuellFlaeche& fuellung) {
    Strasse par = StrasseAusFeldern(Startwerte(), {}, randR, randL, fuellung);  // default fineness
    par.SchleppkurveAn = true;
    par.SturzAn = true;
    par.TrafficMitte = par.TrafficRechts = par.TrafficLinks = true;
    return par;
}

// One run as "Go" makes it: the build, then the document.
void Laufen(const Strasse& strasse, const std::string& datei, Zufallsgenerator& zufall, Melder& melder,
            Bauergebnis& bericht) {
    Dokumentdatei ziel(datei);
    Bauvorgaben vorgaben;
    vorgaben.VorDemLauf = [&] { ziel.Pruefen(); };
    Bauen(strasse, zufall, melder, bericht, vorgaben);
    DokumentSchreiben(bericht, ziel, melder, datei);
}

// Counts the document's curve control-point lines.
std::int64_t KurvenpunkteZaehlen(const fs::path& datei) {
    std::ifstream ein(datei, std::ios::binary);
    constexpr std::string_view kMuster = "\n<cv c=\"";
    std::string rest;
    std::vector<char> block(1 << 20);
    std::int64_t anzahl = 0;
    while (ein) {
        ein.read(block.data(), static_cast<std::streamsize>(block.size()));
        rest.append(block.data(), static_cast<std::size_t>(ein.gcount()));
        for (std::size_t pos = rest.find(kMuster); pos != std::string::npos;
             pos = rest.find(kMuster, pos + 1))
            ++anzahl;
        // Keep a tail shorter than the pattern, so a match across blocks is seen once.
        rest.erase(0, rest.size() > kMuster.size() ? rest.size() - (kMuster.size() - 1) : 0);
    }
    return anzahl;
}

// Everything the benchmarks share, built once: the points, a temporary folder, and the
// figures of one run measured with the heap count on.
struct Strecke {
    fs::path Ordner;
    TSplinePunkte Punkte;
    Aufzeichner RandMelder;
    TRandPunkte RandR{"right Border", RandMelder};
    TRandPunkte RandL{"left Border", RandMelder};
    TFuellFlaeche Fuellung;
    Strasse Par = Parameter(RandR, RandL, Fuellung);
    std::string DateiName;
    fs::path BodenDatei;
    std::string Fehler;  // why the road cannot be benchmarked; empty when it can

    std::shared_ptr<const Netz> Dreiecksnetz;  // source of the floor's values
    std::int64_t DokBytes = 0, Kurvenpunkte = 0;
    std::int64_t SpitzeHeap = 0;    // peak heap growth during one run
    std::int64_t BleibendHeap = 0;  // still held after it (the mesh the report keeps)
    std::int64_t Allokationen = 0;

    // With `raender`, both borders (three segments each: a kerb, a shoulder, a falling
    // verge) and the front-face fill are on.
    explicit Strecke(bool raender) {
        try {
            Anlegen(raender);
        } catch (const std::exception& e) {  // no temporary folder, a document not written
            Fehler = e.what();
        }
    }

    Strasse Wert() const { return bench::MitModell(Par, Punkte, RandR, RandL, Fuellung); }

    ~Strecke() {
        std::error_code ec;
        if (!Ordner.empty()) fs::remove_all(Ordner, ec);
    }

private:
    void Anlegen(bool raender) {
        std::string vorlage = (fs::temp_directory_path() / "pavolant-bench-XXXXXX").string();
        if (::mkdtemp(vorlage.data()) == nullptr) {
            Fehler = "no temporary folder";
            return;
        }
        Ordner = vorlage;
        DateiName = (Ordner / "strasse.i3d").string();
        RandR.Rechts = true;
        if (raender) {
            bench::Randprofil(RandR, Par.RandR, 20);
            bench::Randprofil(RandL, Par.RandL, 20);
            Par.FuellenAn = true;
            Fuellung.Textur = "front.dds";
        }
        BodenDatei = Ordner / "boden.i3d";

        bench::StrasseAnlegen(Punkte, kAbschnitte);
        Aufzeichner melder;
        if (!Punkte.BerechneMittellinie(melder) || !melder.Meldungen.empty()) {
            Fehler = "centre line refused the road";
            for (const auto& m : melder.Meldungen) Fehler += ": " + m.second;
            return;
        }

        // One run with the heap count on. Only blocks allocated inside the call are
        // counted, so the growth is the call's own.
        Zufallsgenerator zufall;
        Bauergebnis bericht;
        const Strasse strasse = Wert();
        const std::int64_t anfang = gAktuell.load();
        const std::int64_t anzahlAnfang = gAnzahl.load();
        gSpitze.store(anfang);
        {
            struct Zaehlung {
                Zaehlung() { gZaehlen.store(true); }
                ~Zaehlung() { gZaehlen.store(false); }  // also when the run throws
            } zaehlung;
            Laufen(strasse, DateiName, zufall, melder, bericht);
        }
        SpitzeHeap = gSpitze.load() - anfang;
        BleibendHeap = gAktuell.load() - anfang;
        Allokationen = gAnzahl.load() - anzahlAnfang;
        if (!bericht.Geschrieben || !melder.Meldungen.empty() || !bericht.Dreiecksnetz) {
            Fehler = "the run did not write the document";
            for (const auto& m : melder.Meldungen) Fehler += ": " + m.second;
            return;
        }
        Dreiecksnetz = bericht.Dreiecksnetz;
        DokBytes = static_cast<std::int64_t>(fs::file_size(DateiName));
        Kurvenpunkte = KurvenpunkteZaehlen(DateiName);
        if (Dreiecksnetz->Vertices.empty() || Dreiecksnetz->Dreiecke.empty() || Kurvenpunkte == 0)
            Fehler = "the run wrote an empty road";
    }
};

Strecke& DieStrecke(bool raender) {
    static Strecke ohne(false), mit(true);
    return raender ? mit : ohne;
}

// ---------------------------------------------------------------------------------------
// The floor's writer: lines go straight into one flat buffer (numbers formatted in
// place), which goes to the file in 1 MiB pieces, few enough that the calls cost nothing.

class Zeilenpuffer {
public:
    explicit Zeilenpuffer(ErsetzendeDatei& datei)
        : datei_(datei), anfang_(new char[kGrenze + kReserve]), z_(anfang_.get()) {}

    void Text(std::string_view t) {
        std::memcpy(z_, t.data(), t.size());
        z_ += t.size();
    }
    void Zeichen(char c) { *z_++ = c; }
    void Zahl(double wert) { z_ += SchreibeFest4(z_, wert); }
    void Ganz(std::int32_t wert) { z_ = std::to_chars(z_, z_ + 16, wert).ptr; }
    void Drei(double a, double b, double c) {
        Zahl(a);
        Zeichen(' ');
        Zahl(b);
        Zeichen(' ');
        Zahl(c);
    }
    // Ends a line: CR LF, and hands a full buffer to the file.
    void Zeile() {
        Text("\r\n");
        if (z_ - anfang_.get() >= static_cast<std::ptrdiff_t>(kGrenze)) Leeren();
    }
    void Leeren() {
        datei_.Schreiben({anfang_.get(), static_cast<std::size_t>(z_ - anfang_.get())});
        z_ = anfang_.get();
    }

private:
    static constexpr std::size_t kGrenze = std::size_t{1} << 20;
    // Room for the longest line: eight numbers at their longest and the markup.
    static constexpr std::size_t kReserve = 8 * kFest4MaxLaenge + 256;
    ErsetzendeDatei& datei_;
    std::unique_ptr<char[]> anfang_;
    char* z_;
};

// Writes the floor's lines; returns the bytes written.
std::int64_t BodenSchreiben(const Netz& netz, std::int64_t kurvenpunkte, const fs::path& ziel) {
    ErsetzendeDatei datei(ziel);
    Zeilenpuffer p(datei);
    // Curve points take the vertex positions in turn: the same magnitudes as the real
    // ones, which lie between the edges.
    const auto& v = netz.Vertices;
    for (std::int64_t i = 0; i < kurvenpunkte; ++i) {
        const NetzVertex& q = v[static_cast<std::size_t>(i) % v.size()];
        p.Text("<cv c=\"");
        p.Drei(q.X, q.Y, q.Z);
        p.Text("\"/>");
        p.Zeile();
    }
    for (const NetzVertex& q : v) {
        p.Text("          <v p=\"");
        p.Drei(q.X, q.Y, q.Z);
        p.Text("\" n=\"");
        p.Drei(q.NX, q.NY, q.NZ);
        p.Text("\" t0=\"");
        p.Zahl(q.U);
        p.Zeichen(' ');
        p.Zahl(q.V);
        p.Text("\" />");
        p.Zeile();
    }
    for (const NetzDreieck& t : netz.Dreiecke) {
        p.Text("          <t vi=\"");
        p.Ganz(t.A);
        p.Zeichen(' ');
        p.Ganz(t.B);
        p.Zeichen(' ');
        p.Ganz(t.C);
        p.Text("\" />");
        p.Zeile();
    }
    p.Leeren();
    datei.Abschliessen();
    return static_cast<std::int64_t>(fs::file_size(ziel));
}

// ---------------------------------------------------------------------------------------
// Benchmarks

void BM_Strasse100km(benchmark::State& state) {
    Strecke& s = DieStrecke(state.range(0) != 0);
    if (!s.Fehler.empty()) {
        state.SkipWithError(s.Fehler.c_str());
        return;
    }
    const Strasse strasse = s.Wert();
    Zufallsgenerator zufall;
    std::int64_t vertices = 0, dreiecke = 0;
    for (auto _ : state) {
        Bauergebnis bericht;
        Aufzeichner melder;
        Laufen(strasse, s.DateiName, zufall, melder, bericht);
        if (!bericht.Geschrieben || !melder.Meldungen.empty() || !bericht.Dreiecksnetz) {
            state.SkipWithError("the run did not write the document");
            break;
        }
        vertices = bericht.Dreiecksnetz->AnzVertices();
        dreiecke = bericht.Dreiecksnetz->AnzDreiecke();
    }
    if (!state.error_occurred() &&
        (vertices != s.Dreiecksnetz->AnzVertices() || dreiecke != s.Dreiecksnetz->AnzDreiecke()))
        state.SkipWithError("a run built a different mesh than the first one");
    state.SetBytesProcessed(state.iterations() * s.DokBytes);
    state.counters["doc_bytes"] = static_cast<double>(s.DokBytes);
    state.counters["vertices"] = static_cast<double>(vertices);
    state.counters["triangles"] = static_cast<double>(dreiecke);
    state.counters["curve_pts"] = static_cast<double>(s.Kurvenpunkte);
    state.counters["peak_heap"] = static_cast<double>(s.SpitzeHeap);
    state.counters["kept_heap"] = static_cast<double>(s.BleibendHeap);
    state.counters["allocs"] = static_cast<double>(s.Allokationen);
}
BENCHMARK(BM_Strasse100km)->Arg(0)->Arg(1)->ArgName("borders")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Boden(benchmark::State& state) {
    Strecke& s = DieStrecke(state.range(0) != 0);
    if (!s.Fehler.empty()) {
        state.SkipWithError(s.Fehler.c_str());
        return;
    }
    std::int64_t bytes = 0;
    for (auto _ : state) bytes = BodenSchreiben(*s.Dreiecksnetz, s.Kurvenpunkte, s.BodenDatei);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["floor_bytes"] = static_cast<double>(bytes);
    state.counters["doc_bytes"] = static_cast<double>(s.DokBytes);
}
BENCHMARK(BM_Boden)->Arg(0)->Arg(1)->ArgName("borders")->Unit(benchmark::kMillisecond)->UseRealTime();

// ---------------------------------------------------------------------------------------
// Summary

// The console output as usual, plus the fastest wall and CPU time per iteration of each
// family (each minimum taken on its own over the repetitions).
class Sammler : public benchmark::ConsoleReporter {
public:
    struct Zeiten {
        double Wand = std::numeric_limits<double>::infinity();  // seconds
        double Cpu = std::numeric_limits<double>::infinity();   // seconds
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            const auto n = static_cast<double>(r.iterations);
            Zeiten& z = Bestzeit[r.run_name.function_name + "/" + r.run_name.args];
            z.Wand = std::min(z.Wand, r.real_accumulated_time / n);
            z.Cpu = std::min(z.Cpu, r.cpu_accumulated_time / n);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Zeiten> Bestzeit;
};

double MiB(std::int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Sammler sammler;
    benchmark::RunSpecifiedBenchmarks(&sammler);
    benchmark::Shutdown();

    for (int raender = 0; raender <= 1; ++raender) {
        const std::string arg = raender ? "borders:1" : "borders:0";
        const auto lauf = sammler.Bestzeit.find("BM_Strasse100km/" + arg);
        const auto boden = sammler.Bestzeit.find("BM_Boden/" + arg);
        if (lauf == sammler.Bestzeit.end() || boden == sammler.Bestzeit.end()) {
            // Filtered out, failed, or only aggregates were reported (the summary needs
            // the single repetitions).
            std::printf("\nno summary for %s: it needs results of both benchmarks\n", arg.c_str());
            continue;
        }
        const Strecke& s = DieStrecke(raender != 0);
        const Sammler::Zeiten& l = lauf->second;
        const Sammler::Zeiten& b = boden->second;
        const double verhaeltnis = l.Wand / b.Wand;
        const double speicher = static_cast<double>(s.SpitzeHeap) / static_cast<double>(s.DokBytes);
        std::printf("\nsummary, %s (fastest repetition of each; wall clock includes fsync, CPU does not)\n",
                    raender ? "roadway, both borders and the fill" : "roadway only");
        std::printf("  run       %9.1f ms wall %9.1f ms CPU\n", l.Wand * 1e3, l.Cpu * 1e3);
        std::printf("  floor     %9.1f ms wall %9.1f ms CPU\n", b.Wand * 1e3, b.Cpu * 1e3);
        std::printf("  ratio     %9.2f wall    %9.2f CPU    (goal: wall <= 1.5)  %s\n", verhaeltnis,
                    l.Cpu / b.Cpu, verhaeltnis <= 1.5 ? "met" : "MISSED");
        std::printf("  doc       %9.1f MiB (%lld bytes)\n", MiB(s.DokBytes),
                    static_cast<long long>(s.DokBytes));
        std::printf("  peak heap %9.1f MiB = %.2f x doc (goal < 1)  %s\n", MiB(s.SpitzeHeap), speicher,
                    speicher < 1 ? "met" : "MISSED");
        std::printf("  kept heap %9.1f MiB after the run; %lld allocations during it\n", MiB(s.BleibendHeap),
                    static_cast<long long>(s.Allokationen));
    }
    return 0;
}
