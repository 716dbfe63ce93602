// The preview's textures: the files read (every DDS kind the editor's textures come in,
// with their own mipmaps, PNG, JPEG and TGA), broken and hostile files turned into notes,
// the look-up beside the document and in the chosen folder, the "Textures" mode and the
// numbered UV checker in the picture, and picking the road surface with the mouse.
//
// The DDS files are made here (tests/support/DdsSchreiber); the pictures need OpenGL and
// are skipped without it, as in test_Vorschau.
#include "persistence/Einstellungen.h"
#include "tests/qt/Farbhilfen.h"
#include "tests/qt/Qthilfen.h"
#include "tests/qt/Vorschauhilfen.h"
#include "tests/support/DdsSchreiber.h"
#include "ui/qt/vorschau/Texturdatei.h"
#include "ui/qt/vorschau/Vorschaukamera.h"

#include <QCheckBox>
#include <QImage>
#include <QPushButton>
#include <QSpinBox>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>

using namespace pavolant;
using namespace pavolant::test;
namespace fs = std::filesystem;

namespace {

using Rgb = std::array<int, 3>;

constexpr std::array<DdsArt, 6> kArten{DdsArt::Unkomprimiert, DdsArt::BC1, DdsArt::BC2,
                                       DdsArt::BC3,           DdsArt::BC4, DdsArt::BC5};

// What a reader must give back for a colour stored in `art`: BC4 keeps red (shown as
// grey), BC5 red and green.
Rgb Erwartet(DdsArt art, Rgb c) {
    if (art == DdsArt::BC4) return {c[0], c[0], c[0]};
    if (art == DdsArt::BC5) return {c[0], c[1], 0};
    return c;
}

Rgb Pixel(const qt::Texturbild::Stufe& s, int x, int y) {
    const std::uint8_t* p = &s.Rgba[(static_cast<std::size_t>(y) * s.Breite + x) * 4];
    return {p[0], p[1], p[2]};
}

bool Nah(Rgb a, Rgb b, int toleranz) {
    return std::abs(a[0] - b[0]) <= toleranz && std::abs(a[1] - b[1]) <= toleranz &&
           std::abs(a[2] - b[2]) <= toleranz;
}

QString Text(Rgb c) { return QStringLiteral("(%1, %2, %3)").arg(c[0]).arg(c[1]).arg(c[2]); }

// A well-formed picture: every level present, each half the one before, of the right size.
bool Stimmig(const qt::Texturbild& b) {
    if (b.Stufen.empty() || b.StufenAusDatei < 1) return false;
    for (std::size_t i = 0; i < b.Stufen.size(); ++i) {
        const auto& s = b.Stufen[i];
        if (s.Rgba.size() != static_cast<std::size_t>(s.Breite) * s.Hoehe * 4) return false;
        if (i > 0 && (s.Breite != std::max(1, b.Stufen[i - 1].Breite / 2) ||
                      s.Hoehe != std::max(1, b.Stufen[i - 1].Hoehe / 2)))
            return false;
    }
    return b.Stufen.back().Breite == 1 && b.Stufen.back().Hoehe == 1;
}

qt::Farbe Farbe(Rgb c) { return {c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f}; }

void Schreiben(const fs::path& pfad, const std::string& bytes) {
    DateiSchreiben(pfad, bytes);
    // A new time each write, so the preview never takes the file for the one it read.
    static auto zeit = fs::file_time_type::clock::now();
    zeit += std::chrono::seconds(2);
    fs::last_write_time(pfad, zeit);
}

// A pixel of the picture at a point of the view's coordinates; nullopt off the picture.
std::optional<QRgb> Bildpunkt(qt::Strassenvorschau& v, const QImage& bild, const QVector3D& p) {
    const QVector3D n = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d()).map(p);
    const QPoint wo(static_cast<int>((n.x() + 1) / 2 * bild.width()),
                    static_cast<int>((1 - n.y()) / 2 * bild.height()));
    if (!bild.rect().contains(wo)) return std::nullopt;
    return bild.pixel(wo);
}

QPoint Widgetpunkt(qt::Strassenvorschau& v, QWidget* w, const QVector3D& p) {
    const QVector3D n = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d()).map(p);
    return QPoint(qRound((n.x() + 1) / 2 * w->width()), qRound((1 - n.y()) / 2 * w->height()));
}

}  // namespace

class Texturen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // ---- Reading files ------------------------------------------------------------------

    // Every DDS kind with its own mipmaps: the top level where each quadrant has its colour
    // (so a picture read upside down or mirrored shows), and levels of their own colours,
    // which only a reader that takes the file's levels returns.
    void JedeDdsArtMitIhrenMipmaps() {
        TempOrdner ordner;
        const Rgb oben_links{200, 40, 40}, oben_rechts{40, 200, 40}, unten_links{40, 40, 200};
        qt::Texturbild::Stufe dummy;
        RgbaBild oben(16, 16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const Rgb c =
                    y < 8 ? (x < 8 ? oben_links : oben_rechts) : (x < 8 ? unten_links : Rgb{200, 200, 40});
                std::uint8_t* p = oben.Bei(x, y);
                p[0] = static_cast<std::uint8_t>(c[0]), p[1] = static_cast<std::uint8_t>(c[1]);
                p[2] = static_cast<std::uint8_t>(c[2]), p[3] = 255;
            }
        auto stufenfarbe = [](int k) { return Rgb{50 + 30 * k, 240 - 40 * k, 30 * k}; };
        std::vector<RgbaBild> stufen{oben};
        for (int k = 1, s = 8; s >= 1; ++k, s /= 2) {
            const Rgb c = stufenfarbe(k);
            stufen.push_back(Einfarbig(s, s, static_cast<std::uint8_t>(c[0]), static_cast<std::uint8_t>(c[1]),
                                       static_cast<std::uint8_t>(c[2])));
        }
        for (DdsArt art : kArten) {
            const fs::path pfad = ordner / (std::string(DdsName(art)) + ".dds");
            DateiSchreiben(pfad, DdsDatei(stufen, art));
            const qt::Texturladung l = qt::TexturLesen(pfad);
            QVERIFY2(l.Bild, (std::string(DdsName(art)) + ": " + l.Fehler).c_str());
            QVERIFY(Stimmig(*l.Bild));
            QCOMPARE(l.Bild->StufenAusDatei, 5);
            QCOMPARE(l.Bild->Stufen.size(), std::size_t{5});
            const auto& s0 = l.Bild->Stufen[0];
            QCOMPARE(s0.Breite, 16);
            // 5-6-5 bits of the block formats: a few steps off at most.
            const int t = 5;
            QVERIFY2(Nah(Pixel(s0, 2, 2), Erwartet(art, oben_links), t),
                     qPrintable(DdsName(art) + Text(Pixel(s0, 2, 2))));
            QVERIFY2(Nah(Pixel(s0, 13, 2), Erwartet(art, oben_rechts), t),
                     qPrintable(DdsName(art) + Text(Pixel(s0, 13, 2))));
            QVERIFY2(Nah(Pixel(s0, 2, 13), Erwartet(art, unten_links), t),
                     qPrintable(DdsName(art) + Text(Pixel(s0, 2, 13))));
            for (int k = 1; k <= 4; ++k)
                QVERIFY2(
                    Nah(Pixel(l.Bild->Stufen[static_cast<std::size_t>(k)], 0, 0),
                        Erwartet(art, stufenfarbe(k)), t),
                    qPrintable(QStringLiteral("%1 level %2: %3")
                                   .arg(DdsName(art))
                                   .arg(k)
                                   .arg(Text(Pixel(l.Bild->Stufen[static_cast<std::size_t>(k)], 0, 0)))));
        }
    }

    // A file without mipmaps, or with a chain that stops early, gets the rest made by
    // halving; PNG, JPEG and TGA are read too.
    void FehlendeStufenUndAndereFormate() {
        TempOrdner ordner;
        RgbaBild bild = Einfarbig(64, 32, 180, 60, 20);
        for (int y = 0; y < 32; ++y)
            for (int x = 32; x < 64; ++x) bild.Bei(x, y)[0] = 20;  // right half (20, 60, 20)
        DateiSchreiben(ordner / "flach.dds", DdsDatei(bild, DdsArt::BC1, false));
        qt::Texturladung l = qt::TexturLesen(ordner / "flach.dds");
        QVERIFY(l.Bild);
        QCOMPARE(l.Bild->StufenAusDatei, 1);
        QVERIFY(Stimmig(*l.Bild));
        QCOMPARE(l.Bild->Stufen.size(), std::size_t{7});
        QVERIFY2(Nah(Pixel(l.Bild->Stufen.back(), 0, 0), {100, 60, 20}, 4),
                 qPrintable(Text(Pixel(l.Bild->Stufen.back(), 0, 0))));

        const std::vector<RgbaBild> kurz{bild, Halbieren(bild)};
        DateiSchreiben(ordner / "kurz.dds", DdsDatei(kurz, DdsArt::Unkomprimiert));
        l = qt::TexturLesen(ordner / "kurz.dds");
        QVERIFY(l.Bild);
        QCOMPARE(l.Bild->StufenAusDatei, 2);
        QVERIFY(Stimmig(*l.Bild));

        QImage q(8, 4, QImage::Format_RGB32);
        q.fill(QColor(30, 140, 220));
        QVERIFY(q.save(QString::fromStdString((ordner / "bild.png").string())));
        QVERIFY(q.save(QString::fromStdString((ordner / "bild.jpg").string()), "JPEG", 95));
        std::string tga{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 4, 0, 32, 0x28};
        for (int i = 0; i < 32; ++i)
            tga += std::string{static_cast<char>(220), static_cast<char>(140), 30, static_cast<char>(255)};
        DateiSchreiben(ordner / "bild.tga", tga);
        for (const char* name : {"bild.png", "bild.jpg", "bild.tga"}) {
            l = qt::TexturLesen(ordner / name);
            QVERIFY2(l.Bild, (name + (": " + l.Fehler)).c_str());
            QVERIFY(Stimmig(*l.Bild));
            QVERIFY2(Nah(Pixel(l.Bild->Stufen[0], 3, 2), {30, 140, 220}, 6), name);
        }
    }

    // Truncated, corrupted, oversized, empty and non-files: never a crash or an exception,
    // either a well-formed picture or a note. The seeds are fixed, so a failure repeats.
    void KaputteDateienWerdenZuHinweisen() {
        TempOrdner ordner;
        RgbaBild bild(32, 32);
        std::mt19937 zufall(17);
        for (auto& b : bild.Pixel) b = static_cast<std::uint8_t>(zufall());
        int bilder = 0, hinweise = 0;
        auto pruefen = [&](const fs::path& pfad) {
            const qt::Texturladung l = qt::TexturLesen(pfad);
            if (l.Bild) {
                QVERIFY(l.Fehler.empty());
                QVERIFY(Stimmig(*l.Bild));
                ++bilder;
            } else {
                QVERIFY(!l.Fehler.empty());
                ++hinweise;
            }
        };
        for (DdsArt art : {DdsArt::Unkomprimiert, DdsArt::BC1, DdsArt::BC3, DdsArt::BC5}) {
            const std::string heil = DdsDatei(bild, art);
            for (std::size_t laenge = 0; laenge < heil.size(); laenge += 1 + laenge / 8) {
                DateiSchreiben(ordner / "kurz.dds", heil.substr(0, laenge));
                pruefen(ordner / "kurz.dds");
            }
            for (int runde = 0; runde < 150; ++runde) {
                std::string kaputt = heil;
                // Mostly the header, where sizes, counts and formats live.
                const int stellen = 1 + static_cast<int>(zufall() % 6);
                for (int i = 0; i < stellen; ++i) {
                    const std::size_t wo = zufall() % 4 == 0 ? zufall() % kaputt.size() : zufall() % 128;
                    kaputt[wo] = static_cast<char>(zufall());
                }
                DateiSchreiben(ordner / "kaputt.dds", kaputt);
                pruefen(ordner / "kaputt.dds");
            }
        }
        // A header claiming 65535 x 65535 pixels with a few bytes behind it is refused
        // before any picture memory is taken.
        std::string riesig = DdsDatei(Einfarbig(4, 4, 1, 2, 3), DdsArt::BC1, false);
        for (std::size_t i : {12u, 16u})
            riesig[i] = static_cast<char>(0xFF), riesig[i + 1] = static_cast<char>(0xFF);
        DateiSchreiben(ordner / "riesig.dds", riesig);
        qt::Texturladung l = qt::TexturLesen(ordner / "riesig.dds");
        QVERIFY(!l.Bild);
        QVERIFY2(l.Fehler.find("65535") != std::string::npos, l.Fehler.c_str());
        DateiSchreiben(ordner / "leer.dds", "");
        DateiSchreiben(ordner / "text.dds", "DDS not really a texture at all");
        fs::create_directory(ordner / "ordner.dds");
#ifndef Q_OS_WIN  // FIFOs are POSIX's; Windows' named pipes live outside the file system
        QCOMPARE(std::system(("mkfifo '" + (ordner / "fifo.dds").string() + "'").c_str()), 0);
#endif
        for (const char* name : {"leer.dds", "text.dds", "ordner.dds", "fifo.dds", "fehlt.dds"}) {
            l = qt::TexturLesen(ordner / name);
            QVERIFY2(!l.Bild && !l.Fehler.empty(), name);
        }
        QVERIFY2(hinweise > 100, qPrintable(QString::number(hinweise)));
        qInfo("%d broken files read as pictures, %d as notes", bilder, hinweise);
    }

    // Beside the document first, then the chosen folder; a file read once is read again
    // only when it changed; a missing or broken file is a note naming it.
    void SucheUndLager() {
        TempOrdner dok, extra;
        const std::string dokument = (dok / "strasse.i3d").string(), ordner = extra.Pfad().string();
        DateiSchreiben(extra / "a.dds", DdsDatei(Einfarbig(8, 8, 0, 0, 255), DdsArt::BC1));
        QCOMPARE(qt::TexturSuchen("a.dds", dokument, ordner), std::optional<fs::path>(extra / "a.dds"));
        QCOMPARE(qt::TexturSuchen("a.dds", dokument, ""), std::nullopt);
        DateiSchreiben(dok / "a.dds", DdsDatei(Einfarbig(8, 8, 255, 0, 0), DdsArt::BC1));
        QCOMPARE(qt::TexturSuchen("a.dds", dokument, ordner), std::optional<fs::path>(dok / "a.dds"));
        QCOMPARE(qt::TexturSuchen("a.dds", "", ordner), std::optional<fs::path>(extra / "a.dds"));
        QCOMPARE(qt::TexturSuchen("", dokument, ordner), std::nullopt);

        qt::Texturlager lager;
        DateiSchreiben(dok / "kaputt.dds", "DDS garbage");
        const std::array<std::string, 4> namen{"a.dds", "fehlt.dds", "kaputt.dds", "a.dds"};
        qt::Texturlager::Ergebnis e = lager.Laden(namen, dokument, ordner);
        QVERIFY(e.Bilder[0] && !e.Bilder[1] && !e.Bilder[2]);
        QCOMPARE(e.Bilder[3], e.Bilder[0]);
        QVERIFY(Nah(Pixel(e.Bilder[0]->Stufen[0], 0, 0), {255, 0, 0}, 4));
        QCOMPARE(e.Hinweise.size(), std::size_t{2});
        QVERIFY2(e.Hinweise[0].find("fehlt.dds") != std::string::npos &&
                     e.Hinweise[0].find("not found") != std::string::npos,
                 e.Hinweise[0].c_str());
        QVERIFY2(e.Hinweise[1].find((dok / "kaputt.dds").string()) != std::string::npos &&
                     e.Hinweise[1].find("cannot be read") != std::string::npos,
                 e.Hinweise[1].c_str());
        // Unchanged: the same picture; changed: read again.
        const auto erstes = e.Bilder[0];
        QCOMPARE(lager.Laden(namen, dokument, ordner).Bilder[0], erstes);
        Schreiben(dok / "a.dds", DdsDatei(Einfarbig(16, 16, 0, 255, 0), DdsArt::BC3));
        e = lager.Laden(namen, dokument, ordner);
        QVERIFY(e.Bilder[0] != erstes);
        QVERIFY(Nah(Pixel(e.Bilder[0]->Stufen[0], 0, 0), {0, 255, 0}, 4));
    }

    // ---- Picking -------------------------------------------------------------------------

    // The surface under a point of the picture: the nearest of two stacked squares, in
    // the drawn heights; none beside them.
    void FlaechenpunktTrifftDieNaechsteFlaeche() {
        qt::Vorschaudaten d;
        for (float y : {0.0f, 2.0f})
            for (auto [x, z] : {std::pair{-5.0f, -5.0f}, {5.0f, -5.0f}, {5.0f, 5.0f}, {-5.0f, 5.0f}})
                d.Vertices.insert(d.Vertices.end(), {x, y, z, 0, 1, 0, 0, 0});
        d.Indizes = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
        d.Teile.push_back({Netzteil::Fahrbahn, 0, 12});
        qt::Vorschaukamera k;
        k.SetzeSzene(QVector3D(-5, 0, -5), QVector3D(5, 6, 5));
        k.SetzeNick(60);
        k.Einpassen(QVector3D(-5, 0, -5), QVector3D(5, 6, 5), 1.5f);
        for (float u : {1.0f, 3.0f}) {
            const std::optional<QVector3D> p = qt::Flaechenpunkt(k, d, QPointF(0.1, -0.1), 1.5f, u);
            QVERIFY(p);
            QVERIFY2(std::fabs(p->y() - 2 * u) < 1e-3f, qPrintable(QString::number(p->y())));
            // It lies on the ray through that point of the picture.
            const QVector3D n = k.AnsichtProjektion(1.5f).map(*p);
            QVERIFY(std::fabs(n.x() - 0.1f) < 1e-4f && std::fabs(n.y() + 0.1f) < 1e-4f);
        }
        QVERIFY(!qt::Flaechenpunkt(k, d, QPointF(0.99, 0.99), 1.5f, 1.0f));
        d.Hinweis = "no road";
        QVERIFY(!qt::Flaechenpunkt(k, d, QPointF(0.1, -0.1), 1.5f, 1.0f));
    }

    // A double click on the road makes the point under the cursor the orbit centre, in
    // the middle of the picture, the view's direction kept; beside the road it fits. The
    // wheel keeps the surface point under the cursor where it is, also high above the
    // level plane of the orbit centre (heights drawn ten times as high).
    void DoppelklickUndRadAufDerFlaeche() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        QWidget* w = v.findChild<QWidget*>(QStringLiteral("wdgVorschau3d"));
        const std::vector<float>& m = v.Daten().Marken;
        const QVector3D punkt3(m[6], m[7], m[8]);
        qt::Vorschaukamera& k = v.Kamera();
        k.Einpassen(punkt3 - QVector3D(5, 2, 25), punkt3 + QVector3D(35, 2, 15), v.Seitenverhaeltnis3d());
        const QVector3D richtung = k.Blickrichtung();
        const QPoint wo = Widgetpunkt(v, w, punkt3);
        QVERIFY(w->rect().contains(wo) && (wo - w->rect().center()).manhattanLength() > 40);
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, wo);
        // The road surface at the control point: within a few centimetres of it across
        // the picture's pixel, and right above or below it.
        QVERIFY2((k.Ziel() - punkt3).length() < 0.5f,
                 qPrintable(QString::number((k.Ziel() - punkt3).length())));
        QVERIFY((k.Blickrichtung() - richtung).length() < 1e-5f);
        QVERIFY((Widgetpunkt(v, w, punkt3) - w->rect().center()).manhattanLength() <= 3);
        // Beside the road (the picture's corner shows the sky): the whole road framed.
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        const qt::Vorschaudaten& d = v.Daten();
        const QVector3D mitte((d.RahmenMin[0] + d.RahmenMax[0]) / 2, (d.RahmenMin[1] + d.RahmenMax[1]) / 2,
                              (d.RahmenMin[2] + d.RahmenMax[2]) / 2);
        QVERIFY((k.Ziel() - mitte).length() < 1e-3f);

        auto* hoehe = v.findChild<QSpinBox*>(QStringLiteral("sedUeberhoehung"));
        hoehe->setValue(10);
        // The orbit centre 30 m above the road as drawn, the cursor on the road.
        const QVector3D gezeichnet(punkt3.x(), 10 * punkt3.y(), punkt3.z());
        k.Einpassen(gezeichnet + QVector3D(-40, 28, -40), gezeichnet + QVector3D(40, 32, 40),
                    v.Seitenverhaeltnis3d());
        const QPoint cursor = Widgetpunkt(v, w, gezeichnet);
        QVERIFY(w->rect().contains(cursor));
        const QPointF ndc(2.0 * cursor.x() / w->width() - 1, 1 - 2.0 * cursor.y() / w->height());
        const std::optional<QVector3D> unter = qt::Flaechenpunkt(k, d, ndc, v.Seitenverhaeltnis3d(), 10.0f);
        QVERIFY(unter);
        QVERIFY(std::fabs(unter->y() - k.Ziel().y()) > 5);  // far from the plane through the centre
        const float abstand = k.Abstand();
        QWheelEvent rad(QPointF(cursor), w->mapToGlobal(QPointF(cursor)), QPoint(), QPoint(0, 3 * 120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &rad);
        QVERIFY(k.Abstand() < 0.7f * abstand);
        const QVector3D nachher = k.AnsichtProjektion(v.Seitenverhaeltnis3d()).map(*unter);
        QVERIFY2(
            std::fabs(nachher.x() - ndc.x()) < 2e-3 && std::fabs(nachher.y() - ndc.y()) < 2e-3,
            qPrintable(
                QStringLiteral("%1 %2 / %3 %4").arg(nachher.x()).arg(nachher.y()).arg(ndc.x()).arg(ndc.y())));
    }

    // ---- The picture -----------------------------------------------------------------------

    // The UV check's cells carry their numbers in their own coordinates: on the two sides
    // of the roadway's mirror seam (its texture turns back at V = 3.5) the same cell lies
    // mirrored, so a stretch before the seam moved across it does not match the stretch
    // there, while its mirror image does. A checker of plain cells matches both ways.
    void UvKaroZeigtDieSpiegelnaht() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        const qt::Vorschaudaten& d = v.Daten();
        const std::size_t s = qt::Vorschaudaten::kFloatsJeVertex;
        // The roadway's seam: its largest V, and the section's two edge vertices there.
        float vmax = -1e30f;
        std::vector<std::uint32_t> fahrbahn;
        for (const qt::Vorschauteil& t : d.Teile)
            if (t.Teil == Netzteil::Fahrbahn)
                fahrbahn.insert(fahrbahn.end(), d.Indizes.begin() + t.ErsterIndex,
                                d.Indizes.begin() + t.ErsterIndex + t.AnzahlIndizes);
        for (std::uint32_t i : fahrbahn) vmax = std::max(vmax, d.Vertices[i * s + 7]);
        QVERIFY2(vmax >= 3.5f && vmax < 4.0f, qPrintable(QString::number(vmax)));
        std::optional<std::uint32_t> links, rechts;
        for (std::uint32_t i : fahrbahn) {
            if (d.Vertices[i * s + 7] != vmax) continue;
            if (!links || d.Vertices[i * s + 6] < d.Vertices[*links * s + 6]) links = i;
            if (!rechts || d.Vertices[i * s + 6] > d.Vertices[*rechts * s + 6]) rechts = i;
        }
        QVERIFY(links && rechts && links != rechts);
        auto lage = [&](std::uint32_t i) {
            return QVector3D(d.Vertices[i * s], d.Vertices[i * s + 1], d.Vertices[i * s + 2]);
        };
        const float ua = d.Vertices[*links * s + 6], ue = d.Vertices[*rechts * s + 6];
        const QVector3D l = lage(*links), r = lage(*rechts);
        const QVector3D entlang = QVector3D::crossProduct(r - l, QVector3D(0, 1, 0)).normalized();
        // The example's roadway texture repeats every 20 m, so a cell is 5 m long; the
        // seam lies `rest` metres past the boundary of the last whole cell before it.
        constexpr float kZelle = 5.0f;
        const float rest = (vmax - std::floor(vmax * 4) / 4) * 20.0f;
        const QVector3D seam = (l + r) / 2;
        const QVector3D weit = entlang * (rest + kZelle + 0.5f);
        v.Kamera().SetzeNick(89);
        v.Kamera().Einpassen(
            QVector3D(std::min(-weit.x(), weit.x()), -1, std::min(-weit.z(), weit.z())) + seam,
            QVector3D(std::max(-weit.x(), weit.x()), 1, std::max(-weit.z(), weit.z())) + seam,
            v.Seitenverhaeltnis3d());
        // Each edge on each side of the seam by its V, so that a sample at a given V and
        // U lands where the texture has that coordinate, whatever the bend does.
        using Kante = std::vector<std::pair<float, QVector3D>>;
        Kante kanten[2][2];  // [before, after the seam][left, right edge]
        for (std::uint32_t i : fahrbahn) {
            const float u = d.Vertices[i * s + 6];
            const float x = QVector3D::dotProduct(lage(i) - seam, entlang);
            if ((u != ua && u != ue) || std::fabs(x) > 40) continue;
            // The seam's own section belongs to both sides.
            if (x < 1e-3f) kanten[0][u == ue].push_back({d.Vertices[i * s + 7], lage(i)});
            if (x > -1e-3f) kanten[1][u == ue].push_back({d.Vertices[i * s + 7], lage(i)});
        }
        for (auto& seite : kanten)
            for (Kante& k : seite) {
                QVERIFY(k.size() >= 2);
                std::sort(k.begin(), k.end(), [](auto& p, auto& q) { return p.first < q.first; });
            }
        auto aufKante = [](const Kante& k, float wert) {
            auto nach =
                std::lower_bound(k.begin(), k.end(), wert, [](auto& p, float w) { return p.first < w; });
            if (nach == k.begin()) return nach->second;
            if (nach == k.end()) return k.back().second;
            const auto vor = nach - 1;
            const float t = nach->first > vor->first ? (wert - vor->first) / (nach->first - vor->first) : 0;
            return vor->second + t * (nach->second - vor->second);
        };
        auto punkt = [&](int seite, float u, float wert) {
            const QVector3D a = aufKante(kanten[seite][0], wert), b = aufKante(kanten[seite][1], wert);
            return a + (b - a) * ((u - ua) / (ue - ua));
        };
        // Along each column of the last whole cell before the seam (V from c - 1/4 to c),
        // at the middle of each pixel of its digits (U: a 0.15 wide box of 8 units, two
        // digits of 3 with a space; V: the middle half of the cell, 5 rows), whether the
        // picture is dark there (a stroke): the cell before the seam, the one after it
        // moved across the seam, and its mirror image there.
        const float c = std::floor(vmax * 4) / 4;
        auto linie = [&](const QImage& bild, int seite, float u, bool umgekehrt) {
            std::vector<int> p;
            for (float t : {0.3f, 0.4f, 0.5f, 0.6f, 0.7f}) {  // the middle of each row of the digits
                const auto farbe =
                    Bildpunkt(v, bild, punkt(seite, u, c - 0.25f + 0.25f * (umgekehrt ? 1 - t : t)));
                p.push_back(farbe && qRed(*farbe) + qGreen(*farbe) + qBlue(*farbe) < 120);
            }
            return p;
        };
        auto vergleichen = [&](const QImage& bild, int& verschoben, int& gespiegelt, int& striche) {
            verschoben = gespiegelt = striche = 0;
            for (int spalte = 0; spalte < 4; ++spalte)
                for (int einheit : {0, 1, 2, 4, 5, 6}) {
                    const float u = spalte / 4.0f + 0.05f + (static_cast<float>(einheit) + 0.5f) * 0.15f / 8;
                    const std::vector<int> vor = linie(bild, 0, u, false), nach = linie(bild, 1, u, true),
                                           spiegel = linie(bild, 1, u, false);
                    for (std::size_t i = 0; i < vor.size(); ++i) {
                        striche += vor[i];
                        verschoben += vor[i] != nach[i];
                        gespiegelt += vor[i] != spiegel[i];
                    }
                }
        };
        v.SetzeUvKaro(true);
        int verschoben = 0, gespiegelt = 0, striche = 0;
        vergleichen(v.Bild3d(), verschoben, gespiegelt, striche);
        const QString werte =
            QStringLiteral("strokes %1, moved %2, mirrored %3").arg(striche).arg(verschoben).arg(gespiegelt);
        qInfo("%s", qPrintable(werte));
        QVERIFY2(striche > 30 && verschoben >= 4 && gespiegelt * 3 < verschoben, qPrintable(werte));
    }

    // "Textures": the roadway drawn with its DDS file beside the document, each kind in
    // turn; the borders' files are missing, so they keep their colours and the status line
    // names both files. A corrupt file shows the colour and a note naming it; a file in
    // the chosen folder is found, one beside the document wins over it, and the folder is
    // kept in the settings file.
    void TexturenImBild() {
        Beispiel b;
        qt::Strassenvorschau& v = b.Oeffnen();
        OHNE_GL_UEBERSPRINGEN(v);
        TempOrdner extra;
        const fs::path einstellungen = extra / "Pavolant.ini";
        v.SetzeEinstellungsdatei(einstellungen);
        const fs::path textur = b.ordner / "road_diffuse.dds";
        const Rgb farbe{200, 90, 40};
        auto neuLaden = [&v] {
            v.SetzeTexturen(false);
            v.SetzeTexturen(true);
        };
        const std::vector<float>& m = v.Daten().Marken;
        const QVector3D punkt2(m[3], m[4], m[5]);
        v.Kamera().Einpassen(punkt2 - QVector3D(10, 2, 10), punkt2 + QVector3D(10, 2, 10),
                             v.Seitenverhaeltnis3d());
        const int fahrbahnOhne = Farbpixel(v.Bild3d(), qt::Teilfarbe(Netzteil::Fahrbahn), 0.3f, 1.01f);
        QVERIFY(fahrbahnOhne > 2000);
        for (DdsArt art : kArten) {
            RgbaBild bild =
                Einfarbig(64, 64, static_cast<std::uint8_t>(farbe[0]), static_cast<std::uint8_t>(farbe[1]),
                          static_cast<std::uint8_t>(farbe[2]));
            Schreiben(textur, DdsDatei(bild, art));
            neuLaden();
            const QImage bildschirm = v.Bild3d();
            const int getroffen = Farbpixel(bildschirm, Farbe(Erwartet(art, farbe)), 0.3f, 1.01f);
            QVERIFY2(getroffen > fahrbahnOhne / 2,
                     qPrintable(
                         QStringLiteral("%1: %2 of %3").arg(DdsName(art)).arg(getroffen).arg(fahrbahnOhne)));
            QVERIFY(Farbpixel(bildschirm, qt::Teilfarbe(Netzteil::Fahrbahn), 0.3f, 1.01f) <
                    fahrbahnOhne / 10);
            const QString status = v.Status();
            QVERIFY2(!status.contains(QStringLiteral("road_diffuse")), qPrintable(status));
            QVERIFY2(status.contains(QStringLiteral("kerb_diffuse.dds")) &&
                         status.contains(QStringLiteral("verge_diffuse.dds")),
                     qPrintable(status));
            QVERIFY(Farbpixel(bildschirm, qt::Teilfarbe(Netzteil::RandLinks), 0.3f, 1.01f) > 200);
        }

        // Corrupt: the part's colour and the note; the preview goes on.
        Schreiben(textur, DdsDatei(Einfarbig(64, 64, 1, 2, 3), DdsArt::BC1).substr(0, 100));
        neuLaden();
        QVERIFY(Farbpixel(v.Bild3d(), qt::Teilfarbe(Netzteil::Fahrbahn), 0.3f, 1.01f) > fahrbahnOhne / 2);
        QVERIFY2(v.Status().contains(QString::fromStdString(textur.string() + " cannot be read")),
                 qPrintable(v.Status()));

        // The folder: found there when not beside the document, and kept in the settings.
        fs::remove(textur);
        Schreiben(extra / "road_diffuse.dds", DdsDatei(Einfarbig(32, 32, 40, 60, 200), DdsArt::BC1));
        v.SetzeTexturordner(extra.Pfad().string());
        QVERIFY(Farbpixel(v.Bild3d(), Farbe({41, 60, 197}), 0.3f, 1.01f) > fahrbahnOhne / 2);
        QVERIFY2(!v.Status().contains(QStringLiteral("road_diffuse")), qPrintable(v.Status()));
        QCOMPARE(TexturordnerLesen(einstellungen), std::optional<std::string>(extra.Pfad().string()));
        Schreiben(textur, DdsDatei(Einfarbig(32, 32, 200, 90, 40), DdsArt::Unkomprimiert));
        neuLaden();
        QVERIFY(Farbpixel(v.Bild3d(), Farbe(farbe), 0.3f, 1.01f) > fahrbahnOhne / 2);

        // "UV check" and "Textures" exclude each other.
        auto* karo = v.findChild<QCheckBox*>(QStringLiteral("cboUvKaro"));
        auto* texturen = v.findChild<QCheckBox*>(QStringLiteral("cboTexturen"));
        Klicken(karo);
        QVERIFY(karo->isChecked() && !texturen->isChecked() && !v.Ansicht().Texturen);
        QVERIFY(!v.Status().contains(QStringLiteral("kerb_diffuse")));
        Klicken(texturen);
        QVERIFY(!karo->isChecked() && texturen->isChecked() && !v.Ansicht().UvKaro);
    }
};

QTEST_MAIN(Texturen)
#include "test_Texturen.moc"
