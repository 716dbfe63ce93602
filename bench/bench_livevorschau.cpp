// Cost of the live preview from a committed change to the data of the new picture: the
// copies the window takes (Hauptfenster::NeuerVorschauauftrag), the run on them without a
// file (Vorschauauftrag::Ausfuehren), and the preview's data made from its report
// (qt::VorschauAus). Drawing the frame is bench_vorschau's part.
//
// BM_Live/road:0  the example road (examples/Dorfstrasse.ini) as the window loads it;
//                 goal with the frame: 50 ms.
// BM_Live/road:1  the 10 km benchmark road of bench_vorschau, both borders, the end
//                 faces and three traffic curves; goal with the frame: 250 ms.
// The counter "vertices" is the road's size, to read the times against.

#include "bench/Benchstrassen.h"

#include <benchmark/benchmark.h>

#include "ui/Dialoge.h"
#include "ui/Hauptfenster.h"
#include "ui/Vorschauauftrag.h"
#include "ui/qt/vorschau/Vorschaudaten.h"

#include <memory>
#include <optional>
#include <string>

namespace {

using namespace pavolant;

class Stumm : public Melder {
public:
    void Melden(MeldungsArt, const std::string&) override {}
};

class KeineDialoge : public Dialoge {
public:
    std::optional<std::string> DateiOeffnen(const DateiAuswahl&) override { return std::nullopt; }
    std::optional<std::string> DateiSpeichern(const DateiAuswahl&) override { return std::nullopt; }
    void Fehler(const std::string&) override {}
    Sichern AenderungenSichern(const std::string&) override { return Sichern::Verwerfen; }
    std::optional<std::size_t> Anbieten(MeldungsArt, const std::string&,
                                        const std::vector<std::string>&) override {
        return std::nullopt;
    }
};

void Pruefen(benchmark::State& state, const Vorschauergebnis& e) {
    if (!e.Bericht || !e.Bericht->Vollstaendig) state.SkipWithError(("no road: " + e.Grund).c_str());
}

void BM_Live(benchmark::State& state) {
    Stumm melder;
    KeineDialoge dialoge;
    Hauptfenster fenster(melder, dialoge);
    // The 10 km road's model and parameters, for road 1.
    const bench::ZehnKilometer strasse(melder, 10);
    if (state.range(0) == 0) fenster.ParameterLaden(PAVOLANT_SOURCE_DIR "/examples/Dorfstrasse.ini");
    std::size_t vertices = 0;
    for (auto _ : state) {
        std::unique_ptr<Vorschauauftrag> auftrag =
            state.range(0) == 0
                ? fenster.NeuerVorschauauftrag()
                : std::make_unique<Vorschauauftrag>(strasse.Wert(), std::nullopt, strasse.punkte, 0,
                                                    Zufallsgenerator{}, std::string());
        const Vorschauergebnis e = auftrag->Ausfuehren();
        Pruefen(state, e);
        const qt::Vorschaudaten daten = qt::VorschauAus(std::optional<Bauergebnis>(*e.Bericht));
        vertices = static_cast<std::size_t>(daten.AnzahlVertices());
        benchmark::DoNotOptimize(daten.Vertices.data());
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_Live)->ArgName("road")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
