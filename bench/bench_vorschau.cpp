// Frames per second of the road preview's 3-D drawing on a 10 km road with both borders,
// the end faces and three traffic curves, under whatever OpenGL the machine offers
// (Mesa's software renderer, llvmpipe, on a machine without a graphics card).
//
// Two roads: /0 with the default fineness and 10 m border textures, as a user builds it;
// /1 the same with 1 m border textures, which cuts a cross-section at least every
// 1.75 m: six times the triangles.
//
// BM_Bild           one frame into a 1280 x 720 framebuffer object, finished (glFinish),
//                   the camera turning a little each frame; the preview widget's cost.
// BM_BildAusgelesen the same, then read back into a QImage: the cost of the view on
//                   platforms without OpenGL widgets, which paints the picture itself.
// BM_Drahtgitter    BM_Bild with every triangle's edges drawn as well.
// BM_Texturen       BM_Bild in the "Textures" mode: every part with a 1024 x 1024 BC1
//                   texture and its mipmaps (written as DDS and read as the preview reads
//                   them), the ground grid under it as always.
// BM_Gelaende       BM_Bild with the map's ground around the road, as the preview draws it
//                   when a terrain is set: a 4097 x 4097 height image of rolling hills,
//                   2 m a pixel, under the road; its mesh thinned to at most 2^15
//                   triangles (goal: over 30 fps on /0).
// BM_Beschriftungen the labels (the control points' numbers, the grid's metres) and the
//                   scale bar painted over a 1280 x 720 picture, as the 3-D view's
//                   layer paints them each frame beside BM_Bild.
// The counter "fps" is frames per second of wall time (the renderer's threads work beside
// the one that waits); the goals are at least 20 for BM_Bild and 30 for BM_Texturen/0 and
// BM_Gelaende/0. "cpu_ms" (BM_Bild, BM_Gelaende) is the processor time of a frame in all
// threads, which a machine busy with other work does not inflate as it does the wall time.
//
// Before measuring, the program prints each road's preview memory beside the size of its
// document: the preview's arrays (Vorschaudaten) and the graphics buffers made from them
// (in main memory with a software renderer), textures aside; the goal is at most twice
// the document.
//
// Without an OpenGL context (Qt's offscreen platform makes one only with an X display)
// the program says so and ends successfully without measuring: run it under xvfb-run.

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QPainter>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/Benchstrassen.h"
#include "generator/Strassenbau.h"
#include "model/Gelaende.h"
#include "model/Meldung.h"
#include "model/SplinePunkte.h"
#include "persistence/ErsetzendeDatei.h"
#include "tests/support/DdsSchreiber.h"
#include "ui/qt/vorschau/Texturdatei.h"
#include "ui/qt/vorschau/Vorschau3d.h"
#include "ui/qt/vorschau/Vorschaudaten.h"
#include "ui/qt/vorschau/Vorschaukamera.h"
#include "ui/qt/vorschau/Vorschaurenderer.h"

namespace {

using namespace pavolant;
namespace fs = std::filesystem;

constexpr int kVerbindungen = 40;  // 41 control points, 250 m apart: 10 km in all
constexpr int kBreite = 1280, kHoehe = 720;

class Stumm : public Melder {
public:
    void Melden(MeldungsArt, const std::string& text) override { Meldungen += text + "; "; }
    std::string Meldungen;
};

// The road's preview data, or why there are none; `dokumentBytes` receives the size of
// the document the run wrote.
std::shared_ptr<const qt::Vorschaudaten> Strasse(double randTexturLaenge, std::string& fehler,
                                                 std::uintmax_t& dokumentBytes) {
    std::string vorlage = (fs::temp_directory_path() / "pavolant-vorschau-XXXXXX").string();
    if (::mkdtemp(vorlage.data()) == nullptr) {
        fehler = "no temporary folder";
        return nullptr;
    }
    const fs::path ordner = vorlage;
    Stumm melder;
    bench::ZehnKilometer strasse(melder, randTexturLaenge, kVerbindungen);
    const std::string datei = (ordner / "strasse.i3d").string();
    Zufallsgenerator zufall;
    std::optional<Bauergebnis> bericht(std::in_place);
    try {
        Dokumentdatei ziel(datei);
        Bauen(strasse.Wert(), zufall, melder, *bericht);
        DokumentSchreiben(*bericht, ziel, melder, datei);
    } catch (const std::exception& e) {
        fehler = e.what();
    }
    std::error_code ec;
    dokumentBytes = fs::file_size(datei, ec);
    fs::remove_all(ordner, ec);
    if (!fehler.empty()) return nullptr;
    auto daten = std::make_shared<const qt::Vorschaudaten>(qt::VorschauAus(bericht));
    if (!daten->Hinweis.empty()) fehler = daten->Hinweis + " " + melder.Meldungen;
    return fehler.empty() ? daten : nullptr;
}

// A 4097 x 4097 ground of rolling hills, 2 m a pixel, placed under the 10 km road (its
// heights some 90 to 185 m, the road's 120 to 222 m).
Gelaende Huegelland() {
    constexpr int kSeite = 4097;
    auto* werte = new std::uint16_t[static_cast<std::size_t>(kSeite) * kSeite];
    for (int j = 0; j < kSeite; ++j)
        for (int i = 0; i < kSeite; ++i)
            werte[static_cast<std::size_t>(j) * kSeite + static_cast<std::size_t>(i)] =
                static_cast<std::uint16_t>(20000 + 9000 * std::sin(i * 0.004) * std::cos(j * 0.003) +
                                           3000 * std::sin(i * 0.02 + j * 0.011));
    Gelaende g;
    g.Raster.Breite = g.Raster.Hoehe = kSeite;
    g.Raster.Werte = std::shared_ptr<const std::uint16_t[]>(werte);
    g.UnitsPerPixel = 2;
    g.Versatz[0] = 4000, g.Versatz[1] = 60, g.Versatz[2] = 1400;
    return g;
}

struct Zeichenplatz {
    QOpenGLContext kontext;
    QOffscreenSurface flaeche;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
    qt::Vorschaurenderer renderer;
    qt::Vorschaukamera kamera;
    std::shared_ptr<const qt::Vorschaudaten> strassen[2];  // default and fine
    std::shared_ptr<const qt::Vorschaudaten> mitBoden[2];  // the same on the ground
    std::uintmax_t dokumente[2] = {0, 0};                  // their documents' bytes
    std::shared_ptr<const qt::Vorschaudaten> daten;        // the one drawn
    std::array<std::shared_ptr<const qt::Texturbild>, 4> texturen;
    std::string renderername;

    bool Anlegen(std::string& fehler) {
        strassen[0] = Strasse(10, fehler, dokumente[0]);
        if (strassen[0]) strassen[1] = Strasse(1, fehler, dokumente[1]);
        if (!strassen[1]) return false;
        const Gelaende boden = Huegelland();
        for (std::size_t i = 0; i < 2; ++i) {
            qt::Bodenlager lager;
            auto d = std::make_shared<qt::Vorschaudaten>(*strassen[i]);
            d->Boden = lager.Fuer(*d, boden);
            if (!d->Boden) {
                fehler = "the ground misses the road";
                return false;
            }
            mitBoden[i] = std::move(d);
        }
        if (!TexturenLesen(fehler)) return false;
        daten = strassen[0];
        QSurfaceFormat format = QSurfaceFormat::defaultFormat();
        format.setDepthBufferSize(24);
        kontext.setFormat(format);
        flaeche.setFormat(format);
        flaeche.create();
        if (!kontext.create() || !kontext.makeCurrent(&flaeche)) {
            fehler = "the OpenGL context cannot be made current";
            return false;
        }
        QString log;
        if (!renderer.Initialisieren(&log)) {
            fehler = "shaders: " + log.toStdString();
            return false;
        }
        fbo = std::make_unique<QOpenGLFramebufferObject>(QSize(kBreite, kHoehe),
                                                         QOpenGLFramebufferObject::CombinedDepthStencil);
        if (!fbo->isValid() || !fbo->bind()) {
            fehler = "no framebuffer object";
            return false;
        }
        renderer.SetzeDaten(daten);
        const QVector3D min(daten->RahmenMin[0], daten->RahmenMin[1], daten->RahmenMin[2]);
        const QVector3D max(daten->RahmenMax[0], daten->RahmenMax[1], daten->RahmenMax[2]);
        kamera.Grundrichtung();
        kamera.SetzeSzene(min, max);
        kamera.Einpassen(min, max, static_cast<float>(kBreite) / kHoehe);
        renderername = reinterpret_cast<const char*>(kontext.functions()->glGetString(GL_RENDERER));
        return true;
    }

    // Four 1024 x 1024 BC1 textures of noise with mipmaps, through a DDS file as the
    // preview reads them.
    bool TexturenLesen(std::string& fehler) {
        const fs::path ordner =
            fs::temp_directory_path() / ("pavolant-texturen-" + std::to_string(::getpid()));
        fs::create_directories(ordner);
        std::uint32_t zustand = 17;
        for (std::size_t t = 0; t < texturen.size(); ++t) {
            test::RgbaBild bild(1024, 1024);
            for (std::size_t i = 0; i < bild.Pixel.size(); ++i) {
                zustand = zustand * 1664525u + 1013904223u;
                bild.Pixel[i] =
                    static_cast<std::uint8_t>(i % 4 == 3 ? 255 : 60 + (zustand >> 24) / 2 + 40 * t);
            }
            const fs::path datei = ordner / ("textur" + std::to_string(t) + ".dds");
            {
                std::ofstream aus(datei, std::ios::binary);
                aus << test::DdsDatei(bild, test::DdsArt::BC1);
            }
            qt::Texturladung l = qt::TexturLesen(datei);
            if (!l.Bild) fehler = "texture: " + l.Fehler;
            texturen[t] = l.Bild;
        }
        std::error_code ec;
        fs::remove_all(ordner, ec);
        if (!fehler.empty()) return false;
        renderer.SetzeTexturen(texturen);
        return true;
    }

    // Makes road `i` (on the ground: `boden`) the one drawn and uploads it, outside the
    // timing. The clipping planes keep the ground in view, as the preview's do.
    void Waehlen(std::size_t i, bool boden = false) {
        daten = boden ? mitBoden[i] : strassen[i];
        const auto [min, max] = daten->Szenenrahmen(true);
        kamera.SetzeSzene(QVector3D(min[0], min[1], min[2]), QVector3D(max[0], max[1], max[2]));
        renderer.SetzeDaten(daten);
        renderer.Zeichnen(kamera.AnsichtProjektion(static_cast<float>(kBreite) / kHoehe), {}, kBreite,
                          kHoehe);
        kontext.functions()->glFinish();
    }

    void Bild(const qt::Darstellung& darstellung) {
        kamera.Drehen(1, 0);  // every frame a slightly different view
        renderer.Zeichnen(kamera.AnsichtProjektion(static_cast<float>(kBreite) / kHoehe), darstellung,
                          kBreite, kHoehe);
    }
};

Zeichenplatz* gPlatz = nullptr;

// The process's processor time in seconds, all its threads (the software renderer's too).
double Prozesszeit() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// `seit`: Prozesszeit() before the loop, for "cpu_ms": the processor time a frame took in
// all threads, which a loaded machine does not inflate as it does the wall time; on an
// idle machine with n cores a frame takes at least cpu_ms / n of wall time.
void Zaehler(benchmark::State& state, double seit = std::nan("")) {
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (!std::isnan(seit))
        state.counters["cpu_ms"] = (Prozesszeit() - seit) * 1e3 / static_cast<double>(state.iterations());
    state.counters["triangles"] = static_cast<double>(gPlatz->daten->AnzahlDreiecke());
    state.SetLabel(gPlatz->renderername);
}

void BM_Bild(benchmark::State& state) {
    gPlatz->Waehlen(static_cast<std::size_t>(state.range(0)));
    QOpenGLFunctions* gl = gPlatz->kontext.functions();
    const double seit = Prozesszeit();
    for (auto _ : state) {
        gPlatz->Bild({});
        gl->glFinish();
    }
    Zaehler(state, seit);
}

void BM_Gelaende(benchmark::State& state) {
    gPlatz->Waehlen(static_cast<std::size_t>(state.range(0)), true);
    QOpenGLFunctions* gl = gPlatz->kontext.functions();
    const double seit = Prozesszeit();
    for (auto _ : state) {
        gPlatz->Bild({});
        gl->glFinish();
    }
    Zaehler(state, seit);
    state.counters["ground_triangles"] = static_cast<double>(gPlatz->daten->Boden->Netz.AnzahlDreiecke());
}

void BM_BildAusgelesen(benchmark::State& state) {
    gPlatz->Waehlen(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        gPlatz->Bild({});
        QImage bild = gPlatz->fbo->toImage();
        benchmark::DoNotOptimize(bild.constBits());
    }
    Zaehler(state);
}

void BM_Beschriftungen(benchmark::State& state) {
    gPlatz->Waehlen(static_cast<std::size_t>(state.range(0)));
    QImage bild(kBreite, kHoehe, QImage::Format_ARGB32_Premultiplied);
    const qt::Darstellung darstellung;
    for (auto _ : state) {
        gPlatz->kamera.Drehen(1, 0);
        QPainter maler(&bild);
        qt::Ueberzeichnen(maler, gPlatz->daten.get(), gPlatz->kamera, darstellung, QSizeF(kBreite, kHoehe));
    }
    Zaehler(state);
}

void BM_Texturen(benchmark::State& state) {
    gPlatz->Waehlen(static_cast<std::size_t>(state.range(0)));
    QOpenGLFunctions* gl = gPlatz->kontext.functions();
    qt::Darstellung texturen;
    texturen.Texturen = true;
    gPlatz->Bild(texturen);  // the upload of the textures, outside the timing
    gl->glFinish();
    for (auto _ : state) {
        gPlatz->Bild(texturen);
        gl->glFinish();
    }
    Zaehler(state);
}

// Bytes the preview holds for a road, textures aside: its arrays and the graphics
// buffers the renderer makes of them (vertices, indices, and curves, markers and grid in
// one line buffer; the wireframe's edges only while it is on, not counted).
std::uint64_t Vorschauspeicher(const qt::Vorschaudaten& d) {
    auto b = [](const auto& v) { return static_cast<std::uint64_t>(v.capacity() * sizeof(v[0])); };
    std::uint64_t daten = b(d.Vertices) + b(d.Indizes) + b(d.Teile) + b(d.Kurven) + b(d.Marken) +
                          b(d.Gitter) + b(d.Gittermarken) + b(d.Mittellinie) + b(d.KanteRechts) +
                          b(d.KanteLinks) + b(d.Kontrollpunkte);
    std::uint64_t linien = d.Marken.size() + d.Gitter.size();
    for (const qt::Vorschaukurve& k : d.Kurven) {
        daten += b(k.Punkte);
        linien += k.Punkte.size();
    }
    const std::uint64_t puffer =
        (d.Vertices.size() + linien) * sizeof(float) + d.Indizes.size() * sizeof(std::uint32_t);
    return daten + puffer;
}

void BM_Drahtgitter(benchmark::State& state) {
    gPlatz->Waehlen(static_cast<std::size_t>(state.range(0)));
    QOpenGLFunctions* gl = gPlatz->kontext.functions();
    qt::Darstellung drahtgitter;
    drahtgitter.Drahtgitter = true;
    for (auto _ : state) {
        gPlatz->Bild(drahtgitter);
        gl->glFinish();
    }
    Zaehler(state);
}

}  // namespace

int main(int argc, char** argv) {
    // Without a display of its own the program draws offscreen; Qt then still needs an X
    // display for an OpenGL context.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    if (!qt::OpenGLVerfuegbar()) {
        std::printf(
            "bench_vorschau: skipped, no OpenGL context on the platform '%s' (Qt's offscreen platform "
            "makes one only with an X display: run under xvfb-run)\n",
            qPrintable(QGuiApplication::platformName()));
        return 0;
    }
    Zeichenplatz platz;
    std::string fehler;
    if (!platz.Anlegen(fehler)) {
        std::fprintf(stderr, "bench_vorschau: %s\n", fehler.c_str());
        return 1;
    }
    gPlatz = &platz;
    for (std::size_t i = 0; i < 2; ++i)
        std::printf("10 km road /%zu: %lld vertices, %lld triangles; %dx%d pixels, renderer %s\n", i,
                    static_cast<long long>(platz.strassen[i]->AnzahlVertices()),
                    static_cast<long long>(platz.strassen[i]->AnzahlDreiecke()), kBreite, kHoehe,
                    platz.renderername.c_str());
    for (std::size_t i = 0; i < 2; ++i) {
        const double vorschau = static_cast<double>(Vorschauspeicher(*platz.strassen[i])) / 1048576.0;
        const double dokument = static_cast<double>(platz.dokumente[i]) / 1048576.0;
        std::printf(
            "10 km road /%zu: preview memory %.1f MiB (textures aside), document %.1f MiB: %.2f times\n", i,
            vorschau, dokument, vorschau / dokument);
    }
    using Funktion = void (*)(benchmark::State&);
    for (const auto& [name, funktion] :
         {std::pair<const char*, Funktion>{"BM_Bild", BM_Bild},
          std::pair<const char*, Funktion>{"BM_BildAusgelesen", BM_BildAusgelesen},
          std::pair<const char*, Funktion>{"BM_Drahtgitter", BM_Drahtgitter},
          std::pair<const char*, Funktion>{"BM_Texturen", BM_Texturen},
          std::pair<const char*, Funktion>{"BM_Gelaende", BM_Gelaende},
          std::pair<const char*, Funktion>{"BM_Beschriftungen", BM_Beschriftungen}})
        benchmark::RegisterBenchmark(name, funktion)
            ->Arg(0)
            ->Arg(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    platz.fbo.reset();
    platz.renderer.Freigeben();
    platz.kontext.doneCurrent();
    return 0;
}
