// The profile view and the parameter listing window, opened from the main window's
// buttons, with the drawing checked pixel by pixel.
#include "tests/qt/Qthilfen.h"

#include "model/Zahlen.h"
#include "ui/qt/Parameterliste.h"
#include "ui/qt/Profilansicht.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <cmath>
#include <optional>

using namespace pavolant;
using namespace pavolant::test;

namespace {

const QColor kSchwarz(0, 0, 0), kWeiss(255, 255, 255), kGruen(0, 128, 0), kBlau(0, 0, 255), kRot(255, 0, 0);

QColor Pixel(const QImage& bild, int x, int y) { return bild.pixelColor(x, y); }

QLineEdit* Feld(QWidget& d, const char* name) {
    auto* w = d.findChild<QLineEdit*>(QString::fromLatin1(name));
    if (!w) throw std::logic_error(std::string("no field ") + name);
    return w;
}

// The rows (or columns) of one colour along a column (or row) of the image.
int Anzahl(const QImage& bild, const QColor& farbe, int x0, int y0, int dx, int dy) {
    int n = 0;
    for (int x = x0, y = y0; x >= 0 && y >= 0 && x < bild.width() && y < bild.height(); x += dx, y += dy)
        if (bild.pixelColor(x, y) == farbe) ++n;
    return n;
}

}  // namespace

class Profil : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // Width 7, both borders off: white ground and the roadway as a 3-pixel black line at
    // mid-height from 0.45 m to 7.45 m of the 7.9 m the image spans.
    void FahrbahnAllein() {
        Ansicht a;
        QImage bild;
        Modalbediener bediener([&](QWidget& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Show profile  "));
            QVERIFY(!d.findChild<QGroupBox*>(QStringLiteral("gboRandRSegmente"))->isVisible());
            QVERIFY(!d.findChild<QGroupBox*>(QStringLiteral("gboRandLSegmente"))->isVisible());
            bild = a.fenster.Profil().Bild().Bild();
        });
        Klicken(a.Knopf("bbnGrafikSchnitt"));
        QCOMPARE(bediener.Bedient(), 1);
        const int w = bild.width(), h = bild.height();
        QVERIFY(w > 100 && h > 100);
        const int zeile = RundeGeradeInt(0.5 * h);
        const int von = RundeGeradeInt(0.45 / 7.9 * w), bis = RundeGeradeInt(7.45 / 7.9 * w);
        for (int x = von; x <= bis; x += 7) QCOMPARE(Pixel(bild, x, zeile), kSchwarz);
        QCOMPARE(Pixel(bild, bis, zeile), kSchwarz);
        QCOMPARE(Anzahl(bild, kSchwarz, w / 2, 0, 0, 1), 3);  // 3 pixels wide
        QCOMPARE(Pixel(bild, von - 3, zeile), kWeiss);
        QCOMPARE(Pixel(bild, bis + 3, zeile), kWeiss);
        const int lang = Anzahl(bild, kSchwarz, 0, zeile, 1, 0);  // with the round caps
        QVERIFY(lang >= bis - von + 1 && lang <= bis - von + 3);
        QCOMPARE(Pixel(bild, 2, 2), kWeiss);
    }

    // A right border of one level segment of 1 m: a green line from the roadway's right
    // end one metre outwards, with a red tick at each end along the point's normal. With
    // the left border on as well, its blue line lies mirrored to the left.
    void RechterRandMitTicks() {
        Ansicht a;
        Segmente(a.form, Seite(a.form, true), {1});
        a.fenster.Verbindung().Synchronisieren();
        QImage bild;
        Modalbediener bediener([&](QWidget&) { bild = a.fenster.Profil().Bild().Bild(); });
        Klicken(a.Knopf("bbnGrafikSchnitt"));
        QCOMPARE(bediener.Bedient(), 1);
        const int w = bild.width(), h = bild.height();
        // x from -4 to 5 (the box -3.5 .. 4.5 with 0.5 m margins).
        const auto spalte = [&](double x) { return RundeGeradeInt((x + 4.0) / 9.0 * w); };
        const int zeile = RundeGeradeInt(0.5 * h);
        const int anfang = spalte(3.5), ende = spalte(4.5);
        for (int x = anfang + 3; x <= ende - 3; ++x) QCOMPARE(Pixel(bild, x, zeile), kGruen);
        QCOMPARE(Pixel(bild, spalte(3), zeile), kSchwarz);
        // The start's normal points straight up; the end's along its angle.
        QCOMPARE(Pixel(bild, anfang, zeile - 10), kRot);
        QCOMPARE(Pixel(bild, anfang, zeile - 17), kWeiss);
        const double n = a.form.RandR.Segment(1)->NormalenWinkel;
        QCOMPARE(
            Pixel(bild, ende + RundeGeradeInt(10 * std::cos(n)), zeile - RundeGeradeInt(10 * std::sin(n))),
            kRot);
        QCOMPARE(Anzahl(bild, kBlau, 0, zeile, 1, 0), 0);

        Segmente(a.form, Seite(a.form, false), {1});
        a.fenster.Verbindung().Synchronisieren();
        Modalbediener zweiter([&](QWidget&) { bild = a.fenster.Profil().Bild().Bild(); });
        Klicken(a.Knopf("bbnGrafikSchnitt"));
        QCOMPARE(zweiter.Bedient(), 1);
        const auto spalte2 = [&](double x) { return RundeGeradeInt((x + 5.05) / 10.1 * w); };
        QCOMPARE(Pixel(bild, spalte2(-4), zeile), kBlau);
        QCOMPARE(Pixel(bild, spalte2(4), zeile), kGruen);
    }

    // "undistortd" on a wide, low image: one metre is as many pixels up as across. A
    // right border of 1 m level and 1 m straight up measures both.
    void UnverzerrtGleicheMeter() {
        Ansicht a;
        const RandSeite s = Seite(a.form, true);
        Segmente(a.form, s, {1, 1});
        a.form.RandR.Segment(2)->Winkel = GradZuRad(90);
        a.form.RandR.SegmentAktualisieren(2);
        a.form.RandR.Berechnen();
        a.fenster.Verbindung().Synchronisieren();
        int quer = 0, hoch = 0, querVerzerrt = 0, hochVerzerrt = 0;
        Modalbediener bediener([&](QWidget& d) {
            d.resize(941, 503);
            QCoreApplication::processEvents();
            const auto messen = [&](int& q, int& hh) {
                const QImage bild = a.fenster.Profil().Bild().Bild();
                const int w = bild.width();
                // The level metre: green run along the roadway's row; the upright metre:
                // green run up the border's outer column.
                int zeile = 0, besteZeile = 0;
                for (int y = 0; y < bild.height(); ++y) {
                    const int n = Anzahl(bild, kGruen, 0, y, 1, 0);
                    if (n > besteZeile) besteZeile = n, zeile = y;
                }
                int besteSpalte = 0;
                for (int x = w / 2; x < w; ++x)
                    besteSpalte = std::max(besteSpalte, Anzahl(bild, kGruen, x, 0, 0, 1));
                q = besteZeile;
                hh = besteSpalte;
                Q_UNUSED(zeile);
            };
            messen(querVerzerrt, hochVerzerrt);
            Klicken(d.findChild<QCheckBox*>(QStringLiteral("cboUnverzerrt")));
            messen(quer, hoch);
        });
        Klicken(a.Knopf("bbnGrafikSchnitt"));
        QCOMPARE(bediener.Bedient(), 1);
        QVERIFY2(std::abs(quer - hoch) <= 3, qPrintable(QStringLiteral("%1 vs %2").arg(quer).arg(hoch)));
        QVERIFY(hochVerzerrt > 2 * querVerzerrt);        // stretched to the full height before
        QVERIFY(a.form.Profil.cboUnverzerrt.Checked());  // the box keeps its state
    }

    // Editing in the view changes the border at once but not the drawing, until "Redraw
    // now  " is pressed. Closing the view sends the main editor back to its spin's
    // segment, with the new count.
    void BearbeitenOhneNeuzeichnen() {
        Ansicht a;
        const RandSeite s = Seite(a.form, true);
        Segmente(a.form, s, {1, 2});
        a.fenster.Verbindung().Synchronisieren();
        bool gleich = false, neu = false;
        Modalbediener bediener([&](QWidget& d) {
            QCOMPARE(d.findChild<QGroupBox*>(QStringLiteral("gboRandRSegmente"))->title(),
                     QStringLiteral("Right segments :     2"));
            QCOMPARE(d.findChild<QSpinBox*>(QStringLiteral("sedRandRNr"))->value(), 1);
            const QImage vorher = a.fenster.Profil().Bild().Bild();
            Tippen(Feld(d, "edtRandRBreite"), QStringLiteral("3"));
            Klicken(Feld(d, "edtRandREnde"));
            QCOMPARE(a.form.RandR.Segment(1)->Breite, 3.0);
            Klicken(d.findChild<QAbstractButton*>(QStringLiteral("spbRandRAddEnd")));
            QCOMPARE(a.form.RandR.AnzahlSegmente(), 4);
            gleich = a.fenster.Profil().Bild().Bild() == vorher;
            Klicken(d.findChild<QAbstractButton*>(QStringLiteral("BitBtn1")));
            neu = a.fenster.Profil().Bild().Bild() != vorher;
            Klicken(d.findChild<QAbstractButton*>(QStringLiteral("Button1")));
        });
        Klicken(a.Knopf("bbnGrafikSchnitt"));
        QCOMPARE(bediener.Bedient(), 1);
        QVERIFY(gleich);
        QVERIFY(neu);
        QCOMPARE(a.form.RandR.AktSegment, 1);
        QCOMPARE(a.Widget<QGroupBox>("gboRandRSegmente")->title(), QStringLiteral("Right bordersegments:3"));
        QCOMPARE(a.Feld("edtRandRBreite")->text(), QStringLiteral("3"));
    }

    // Closing the view while a field is being edited ends the edit first, as leaving
    // the field would; a value that is no number keeps the view open at that field.
    void SchliessenBeendetDieEingabe() {
        Ansicht a;
        Segmente(a.form, Seite(a.form, true), {1});
        a.fenster.Verbindung().Synchronisieren();
        bool offen = false;
        Modalbediener bediener([&](QWidget& d) {
            auto* dialog = qobject_cast<QDialog*>(&d);
            Tippen(Feld(d, "edtRandRBreite"), QStringLiteral("x"));
            dialog->reject();
            offen = dialog->isVisible();
            Tippen(Feld(d, "edtRandRBreite"), QStringLiteral("2,5"));
            dialog->reject();
        });
        Klicken(a.Knopf("bbnGrafikSchnitt"));
        QCOMPARE(bediener.Bedient(), 1);
        QVERIFY(offen);
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(a.form.RandR.Segment(1)->Breite, 2.5);
    }

    // Left listing, then right: only the right border's lines under its caption. A font
    // chosen once is still in use at the next showing; cancelling keeps it.
    void ListeUndSchrift() {
        Ansicht a;
        Segmente(a.form, Seite(a.form, true), {1, 0.5});
        Segmente(a.form, Seite(a.form, false), {2});
        a.fenster.Verbindung().Synchronisieren();
        qt::Parameterliste& liste = a.fenster.Liste();
        QFont gewaehlt(QStringLiteral("Monospace"));
        gewaehlt.setPixelSize(19);
        std::optional<QFont> antwort = gewaehlt;
        liste.SetzeSchriftwahl([&](const QFont&, QWidget*) { return antwort; });

        QString titel, text;
        const auto zeigen = [&](const char* knopf, bool schriftWaehlen) {
            Modalbediener bediener([&](QWidget& d) {
                titel = d.windowTitle();
                text = liste.Liste().toPlainText();
                if (schriftWaehlen) Klicken(d.findChild<QAbstractButton*>(QStringLiteral("SpeedButton1")));
                Klicken(d.findChild<QAbstractButton*>(QStringLiteral("Button1")));
            });
            Klicken(a.Knopf(knopf));
            QCOMPARE(bediener.Bedient(), 1);
        };
        QCOMPARE(liste.Liste().font().pixelSize(), 11);
        zeigen("bbnShowLeftParameter", true);
        QCOMPARE(titel, QStringLiteral("Parameter left border"));
        QVERIFY(text.startsWith(QStringLiteral("BorderPoint output for: left Border\n")));
        QCOMPARE(liste.Liste().font().pixelSize(), 19);

        antwort.reset();  // the next font dialog is cancelled
        zeigen("bbnShowRightParameter", true);
        QCOMPARE(titel, QStringLiteral("Parameter right border"));
        std::vector<std::string> erwartet;
        a.form.RandR.Auflisten(erwartet);
        QCOMPARE(text.split(QLatin1Char('\n')).size(), static_cast<qsizetype>(erwartet.size()));
        QVERIFY(text.startsWith(QStringLiteral("BorderPoint output for: right Border\n")));
        QVERIFY(!text.contains(QStringLiteral("left")));
        QCOMPARE(liste.Liste().font().pixelSize(), 19);
        QCOMPARE(liste.Liste().font().family(), gewaehlt.family());
    }
};

QTEST_MAIN(Profil)
#include "test_Profil.moc"
