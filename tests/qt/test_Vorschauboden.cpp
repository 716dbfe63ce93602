// The ground in the road preview, driven as the user drives it: a height image chosen as
// the terrain, "Go" pressed with the preview open. The plan's relief must lie where the
// ground lies (a ridge's west flank lighter, its east flank darker than the level ground
// around it, under the light from the north-west) and go with the switch "Terrain"; the
// ground under the cursor is picked like the road's surfaces; the
// 3-D view draws the ground in its earth colour while the switch is on (with OpenGL only).
#include <QCheckBox>
#include <QSpinBox>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <vector>

#include "tests/qt/Farbhilfen.h"
#include "tests/qt/Qthilfen.h"
#include "tests/qt/Vorschauhilfen.h"
#include "tests/support/PngSchreiber.h"
#include "ui/qt/vorschau/Strassenvorschau.h"
#include "ui/qt/vorschau/Vorschaukamera.h"
#include "ui/qt/vorschau/Vorschauplan.h"

using namespace pavolant;
using namespace pavolant::test;

namespace {

// 1025 x 1025 pixels a metre apart around the origin, 20 m level, with a ridge 10 m high
// along Z between X 100 and 200 (its crest at X 150), inside the example road's bend.
void HoehenbildSchreiben(const std::filesystem::path& datei) {
    constexpr int kSeite = 1025;
    std::vector<std::uint16_t> werte(static_cast<std::size_t>(kSeite) * kSeite);
    for (int j = 0; j < kSeite; ++j)
        for (int i = 0; i < kSeite; ++i) {
            const double x = i - (kSeite - 1) / 2.0;
            const double h = 20 + std::max(0.0, 10 - std::fabs(x - 150) / 5);
            werte[static_cast<std::size_t>(j) * kSeite + static_cast<std::size_t>(i)] =
                static_cast<std::uint16_t>(std::lround(h / 100 * 65535));
        }
    std::ofstream(datei, std::ios::binary) << PngDatei(kSeite, kSeite, werte);
}

}  // namespace

class Vorschauboden : public QObject {
    Q_OBJECT

private slots:
    void GelaendeInBeidenAnsichten() {
        Beispiel b;
        const std::filesystem::path bild = b.ordner / "terrain.png";
        HoehenbildSchreiben(bild);
        Gelaendequelle quelle;
        quelle.Datei = bild.string();
        quelle.HeightScale = 100;
        quelle.UnitsPerPixel = 1;
        qt::Strassenvorschau& v = b.Oeffnen();
        auto* schalter = v.findChild<QCheckBox*>(QStringLiteral("cboGelaende"));
        QVERIFY(schalter);
        QVERIFY(!schalter->isEnabled());  // no ground yet
        b.a.form.Gelaendewahl = quelle;
        b.Go();
        QVERIFY(v.Daten().Boden);
        QVERIFY(schalter->isEnabled());
        QVERIFY(schalter->isChecked());

        // West flank, level ground, east flank: all inside the road's bend, clear of it.
        qt::Vorschauplan& plan = v.Plan();
        const QPoint west = plan.AufBild(125, 100).toPoint(), eben = plan.AufBild(60, 40).toPoint(),
                     ost = plan.AufBild(175, 100).toPoint();
        // The lightest grey around a place: the contour lines (every metre here) only darken.
        const auto grau = [](const QImage& i, QPoint p) {
            int hell = 0;
            for (int dy = -4; dy <= 4; ++dy)
                for (int dx = -4; dx <= 4; ++dx) hell = std::max(hell, qGray(i.pixel(p + QPoint(dx, dy))));
            return hell;
        };
        const QImage mit = v.BildPlan();
        const QRgb hintergrund = qRgb(250, 250, 247);
        for (const QPoint p : {west, eben, ost}) QVERIFY(mit.pixel(p) != hintergrund);
        QVERIFY2(grau(mit, west) > grau(mit, eben) + 10, "the west flank faces the light");
        QVERIFY2(grau(mit, ost) + 10 < grau(mit, eben), "the east flank faces away from it");

        // The ground under the cursor is what the wheel zooms toward: the level ground at
        // (60, 40) seen from above with the heights drawn three times as high.
        v.VonOben();
        const qt::Vorschaudaten& d = v.Daten();
        const float hoch = 3;
        const QVector3D soll(static_cast<float>(60 - d.Ursprung[0]),
                             static_cast<float>((20 - d.Ursprung[1]) * hoch),
                             static_cast<float>(40 - d.Ursprung[2]));
        const QVector4D clip = v.Kamera().AnsichtProjektion(v.Seitenverhaeltnis3d()) * QVector4D(soll, 1);
        const QPointF ndc(clip.x() / clip.w(), clip.y() / clip.w());
        const std::optional<QVector3D> treffer =
            qt::Flaechenpunkt(v.Kamera(), d, ndc, v.Seitenverhaeltnis3d(), hoch, true);
        QVERIFY(treffer);
        QVERIFY2((*treffer - soll).length() < 0.05f, qPrintable(QStringLiteral("%1 %2 %3")
                                                                    .arg(treffer->x() - soll.x())
                                                                    .arg(treffer->y() - soll.y())
                                                                    .arg(treffer->z() - soll.z())));
        QVERIFY(!qt::Flaechenpunkt(v.Kamera(), d, ndc, v.Seitenverhaeltnis3d(), hoch, false));

        Klicken(schalter);
        QVERIFY(!schalter->isChecked());
        const QImage ohne = v.BildPlan();
        for (const QPoint p : {west, eben, ost}) QCOMPARE(ohne.pixel(p), hintergrund);

        // The 3-D view: the earth colour only while the switch is on; with the heights
        // exaggerated the ground stays in view.
        OHNE_GL_UEBERSPRINGEN(v);
        v.VonOben();
        QCOMPARE(Farbpixel(v.Bild3d(), qt::kBodenfarbe, 0.3f, 1.05f), 0);
        Klicken(schalter);
        v.findChild<QSpinBox*>(QStringLiteral("sedUeberhoehung"))->setValue(5);
        const QImage dreiD = v.Bild3d();
        QVERIFY2(Farbpixel(dreiD, qt::kBodenfarbe, 0.3f, 1.05f) > dreiD.width() * dreiD.height() / 4,
                 "the ground fills much of the view from above");
    }
};

QTEST_MAIN(Vorschauboden)
#include "test_Vorschauboden.moc"
