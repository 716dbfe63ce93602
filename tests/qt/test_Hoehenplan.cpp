// The plot "Road and terrain" beside the main window, driven as the user drives it: the
// example road over a flat ground it climbs above and dips below, the plot opened, an
// edit followed, and the note without a terrain.
#include <cmath>
#include <fstream>

#include "model/Zahlen.h"
#include "tests/qt/Qthilfen.h"
#include "tests/qt/Vorschauhilfen.h"
#include "tests/support/PngSchreiber.h"
#include "ui/qt/Hoehenplanansicht.h"

using namespace pavolant;
using namespace pavolant::test;

namespace {

// How many pixels of `bild` lie within a small distance of `farbe`.
int Pixel(const QImage& bild, const QColor& farbe) {
    int n = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) {
            const QColor c = bild.pixelColor(x, y);
            n += std::abs(c.red() - farbe.red()) + std::abs(c.green() - farbe.green()) +
                     std::abs(c.blue() - farbe.blue()) <
                 30;
        }
    return n;
}

// A fill or cut area's colour over white, as the plot paints it.
QColor UeberWeiss(QColor farbe) {
    const auto mischen = [](int c) { return (c * 85 + 255 * (255 - 85)) / 255; };
    return QColor(mischen(farbe.red()), mischen(farbe.green()), mischen(farbe.blue()));
}

}  // namespace

class Hoehenplanfenster : public QObject {
    Q_OBJECT

private slots:
    void FolgtDerStrasseUeberDemGelaende() {
        Beispiel b;
        qt::Hauptfensteransicht& f = b.a.fenster;
        // Without a terrain the plot says so.
        QVERIFY(f.Verbindung().Ereignis([&] { b.a.form.btnStrasseUndGelaende.Click(); }));
        qt::Hoehenplanansicht& plan = f.Hoehenplan();
        QVERIFY(plan.isVisible());
        b.Warten();
        QVERIFY(!plan.Stand().Schnitt);
        QCOMPARE(QString::fromStdString(plan.Stand().Hinweis),
                 QStringLiteral(
                     "No terrain is set: choose the map or its height image with \"Terrain...\" first."));

        // Flat ground at 2.5 m, 6 m a pixel: the road (0 to 5 m high) both above and below it.
        const std::filesystem::path png = b.ordner / "boden.png";
        std::ofstream(png, std::ios::binary)
            << PngDatei(129, 129, std::vector<std::uint16_t>(129 * 129, 250));
        b.a.form.Gelaendewahl = Gelaendequelle{png.string(), 655.35, 6, 0.05};
        QVERIFY(f.Verbindung().Ereignis([&] { b.a.form.btnStrasseUndGelaende.Click(); }));
        b.Warten();
        QVERIFY(QTest::qWaitFor([&] { return plan.Stand().Schnitt != nullptr; }, 5000));
        QVERIFY(plan.Stand().Hinweis.empty());
        const auto fill = plan.Stand().Schnitt->GroessteAufschuettung();
        const auto cut = plan.Stand().Schnitt->GroessterAbtrag();
        QVERIFY(fill && cut);
        // The largest cut at the start (road at 0 m) under the left verge's outer end,
        // 1.5 m at -5 degrees and 2 m at -25 degrees out; the largest fill by the highest
        // point (5 m) under the right kerb's top, 0.15 m up.
        QVERIFY(qAbs(cut->Wert - (2.5 + 1.5 * std::sin(GradZuRad(5)) + 2 * std::sin(GradZuRad(25)))) < 1e-6);
        QCOMPARE(cut->Station, 0.0);
        QCOMPARE(cut->Linie, Schnittlinie::Links);
        QVERIFY(fill->Wert > 2.6 && fill->Wert < 2.75);
        QCOMPARE(fill->Linie, Schnittlinie::Rechts);
        plan.resize(900, 420);
        const QImage bild = plan.Bild();
        QVERIFY(Pixel(bild, UeberWeiss(qt::Hoehenplanansicht::FarbeAufschuettung())) > 500);
        QVERIFY(Pixel(bild, UeberWeiss(qt::Hoehenplanansicht::FarbeAbtrag())) > 500);

        // Every point dropped onto the ground (5 cm above it): the plot follows, the road
        // now level just above the ground, the kerb's top 0.2 m above it at least.
        QVERIFY(f.Verbindung().Ereignis([&] { b.a.form.btnPunkteAufGelaende.Click(); }));
        b.Warten();
        QVERIFY(
            QTest::qWaitFor([&] { return plan.Stand().Schnitt->GroessteAufschuettung()->Wert < 1; }, 5000));
        QVERIFY(plan.Stand().Schnitt->GroessteAufschuettung()->Wert >= 0.2 - 1e-9);

        // "Go": the plot shows the road just written, measured in the same run.
        Klicken(b.a.Knopf("bbnGo"));
        QVERIFY(b.a.form.LetzterLauf() && b.a.form.LetzterLauf()->Geschrieben);
        QVERIFY(b.a.form.LetzterLauf()->Gelaendeschnitt);
        QCOMPARE(plan.Stand().Schnitt, b.a.form.LetzterLauf()->Gelaendeschnitt);
    }
};

QTEST_MAIN(Hoehenplanfenster)
#include "test_Hoehenplan.moc"
