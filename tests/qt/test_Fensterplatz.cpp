// Where windows go on the desktop: a frame kept inside a screen's available area, a
// stored position restored as stored while its title bar can be grabbed, the first
// place of a window without one, and the stored numbers unchanged by a start and a
// closing (the round trip that once moved the window up a title bar's height each start).
#include "tests/qt/Qthilfen.h"

#include "persistence/Einstellungen.h"
#include "ui/qt/Fensterplatz.h"
#include "ui/qt/Programmstart.h"
#include "ui/qt/Punktetabelle.h"
#include "ui/qt/vorschau/Strassenvorschau.h"

#include <QScreen>

using namespace pavolant;
using namespace pavolant::test;

namespace {

// Two screens side by side, the primary on the right, each less a task bar of 40 pixels.
const QRect kLinks(-1920, 0, 1920, 1040);
const QRect kPrimaer(0, 0, 1920, 1040);
const QList<QRect> kZwei{kLinks, kPrimaer};
const QSize kFenster(1164, 920);

}  // namespace

class Fensterplatz : public QObject {
    Q_OBJECT

private slots:
    void InBereich() {
        const QRect laptop(0, 0, 1366, 720), oben(1920, 40, 1280, 984);  // a bar along the top
        const struct {
            QRect rahmen, bereich, erwartet;
        } faelle[] = {
            {{100, 50, 800, 600}, laptop, {100, 50, 800, 600}},   // inside: as it is
            {{1312, 30, 560, 520}, laptop, {806, 30, 560, 520}},  // past the right edge
            {{-300, -20, 560, 520}, laptop, {0, 0, 560, 520}},    // past the left and top
            {{200, 100, 1400, 900}, laptop, {0, 0, 1366, 720}},   // larger: cut to the area
            {{1900, 0, 400, 300}, oben, {1920, 40, 400, 300}},    // an area not at the origin
            {{3100, 900, 400, 300}, oben, {2800, 724, 400, 300}},
        };
        for (const auto& f : faelle) QCOMPARE(qt::InBereich(f.rahmen, f.bereich), f.erwartet);
    }

    // Beside the main window: right, else left, else narrower on the roomier side.
    void DanebenRahmen() {
        const QRect laptop(0, 0, 1366, 720), gross(0, 0, 1920, 1040);
        const QRect haupt(1, 0, 1180, 720), mitte(400, 100, 600, 500);
        const struct {
            QRect neben, bereich;
            QSize rahmen;
            int kleinste;
            QRect erwartet;
        } faelle[] = {
            {haupt, gross, {700, 560}, 350, {1189, 0, 700, 560}},  // room on the right
            {mitte, laptop, {700, 560}, 350, {0, 100, 392, 560}},  // neither: the left has more
            {QRect(700, 0, 600, 500), laptop, {600, 400}, 300, {92, 0, 600, 400}},  // left
            {haupt, laptop, {1180, 560}, 590, {776, 0, 590, 560}},  // neither: narrower, right
            {QRect(300, 0, 1066, 720), laptop, {900, 400}, 450, {0, 0, 450, 400}},  // neither: left
        };
        for (const auto& f : faelle)
            QCOMPARE(qt::DanebenRahmen(f.neben, f.rahmen, f.kleinste, f.bereich), f.erwartet);
    }

    void Wiederhergestellt() {
        const struct {
            QPoint gespeichert;
            QList<QRect> bereiche;
            QPoint erwartet;
        } faelle[] = {
            {{300, 40}, kZwei, {300, 40}},
            {{-1500, 10}, kZwei, {-1500, 10}},   // on the left screen, left of the origin
            {{100, -10}, kZwei, {100, -10}},     // title bar half above the top: still grabbed
            {{100, -20}, kZwei, {100, 0}},       // only 4 pixels of it left: onto the primary
            {{1880, 100}, kZwei, {756, 100}},    // 40 pixels of title on the screen: too few
            {{1800, 100}, kZwei, {1800, 100}},   // 120 pixels: enough
            {{-1500, 10}, {kPrimaer}, {0, 10}},  // the left screen is gone
            {{5000, 3000}, kZwei, {756, 120}},
            {{800, 82}, {QRect(0, 0, 1366, 720)}, {800, 82}},  // from a larger screen: reachable
        };
        for (const auto& f : faelle)
            QCOMPARE(qt::Wiederhergestellt(f.gespeichert, kFenster, f.bereiche, kPrimaer), f.erwartet);
    }

    // The design position 814, 82 keeps each edge that fits and moves the other to 1.
    void Entwurfsplatz() {
        const struct {
            QSize rahmen;
            QRect bereich;
            QPoint erwartet;
        } faelle[] = {
            {{829, 894}, {0, 0, 1920, 1040}, {814, 82}},
            {{1164, 920}, {0, 0, 1920, 1040}, {1, 82}},  // the window as built is wider
            {{1164, 700}, {0, 0, 1366, 720}, {1, 1}},
            {{1366, 720}, {0, 0, 1366, 720}, {0, 0}},  // the area's size: 1 would cut it
            {{829, 894}, {0, 30, 1920, 1050}, {814, 82}},
            {{829, 894}, {0, 30, 1920, 930}, {814, 31}},
        };
        for (const auto& f : faelle) QCOMPARE(qt::Entwurfsplatz({814, 82}, f.rahmen, f.bereich), f.erwartet);
    }

    // Stored, started, closed, started, closed: the same numbers each time, with frame
    // and client apart (the test platform gives a window a 2-pixel frame; it also keeps a
    // frame from crossing the desktop's top or left edge, so the positions there are the
    // pure function's cases above).
    void RundreiseBehaeltDiePosition() {
        const qt::Bildschirmflaechen zwei{kZwei, kPrimaer};
        for (const auto& [oben, links] : {std::pair{10, 20}, {1, 1}, {300, 1700}, {0, 0}}) {
            TempOrdner ordner;
            const std::filesystem::path datei = ordner / "Pavolant.ini";
            DateiSchreiben(datei, "[Preferences]\r\nScreenPos_Top=" + std::to_string(oben) +
                                      "\r\nScreenPos_Left=" + std::to_string(links) + "\r\n");
            Ansicht a;
            for (int runde = 0; runde < 2; ++runde) {
                QVERIFY(qt::Starten(a.form, a.fenster, datei, zwei));
                QCoreApplication::processEvents();
                QCOMPARE(a.fenster.frameGeometry().topLeft(), QPoint(links, oben));
                QVERIFY(qt::Schliessen(a.form, a.fenster, datei));
                Feinheit f;
                const std::optional<Fensterposition> p = EinstellungenLesen(datei, f);
                QVERIFY(p);
                QCOMPARE(QPoint(p->Links, p->Oben), QPoint(links, oben));
            }
        }
    }

    // The points table and the preview open on the screen the window is on, beside it
    // where there is room, never past the screen's edge (the table once opened at
    // x = 1312 on a 1366-pixel screen).
    void NeueFensterAufDemBildschirm() {
        Ansicht a;
        const QRect bereich = a.fenster.screen()->availableGeometry();
        a.fenster.move(bereich.topLeft() + QPoint(bereich.width() / 2, 0));
        Klicken(a.Knopf("btnPunktetabelle"));
        QWidget& tabelle = a.fenster.Punktetabelle();
        QVERIFY(tabelle.isVisible());
        QVERIFY(bereich.contains(tabelle.frameGeometry()));
        // The preview may be wider than the test's screen (its least width): then at the
        // area's left edge, its title bar on the screen.
        QWidget& vorschau = a.fenster.Vorschau();
        vorschau.show();
        QVERIFY(bereich.contains(vorschau.frameGeometry().topLeft()));
        QVERIFY(vorschau.frameGeometry().width() > bereich.width() ||
                bereich.contains(vorschau.frameGeometry()));
    }
};

QTEST_MAIN(Fensterplatz)
#include "test_Fensterplatz.moc"
