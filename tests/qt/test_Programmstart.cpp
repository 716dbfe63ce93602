// Start-up and closing around the main window: the settings file in the given place,
// the window's position kept on the screen, and a window that stays open when its
// settings cannot be written.
#include "tests/qt/Qthilfen.h"

#include "persistence/Einstellungen.h"
#include "ui/qt/Programmstart.h"

#include <QCloseEvent>

using namespace pavolant;
using namespace pavolant::test;

class Programmstart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    void OhneDateiDieEntwurfsposition() {
        TempOrdner ordner;
        Ansicht a;
        QVERIFY(qt::Starten(a.form, a.fenster, ordner / "Pavolant.ini", QSize(1920, 1080)));
        QCOMPARE(a.fenster.pos(), QPoint(814, 82));
        QCOMPARE(a.form.MinLaenge, 2.0);
        // On a small screen the window moves to where it can be seen.
        QVERIFY(qt::Starten(a.form, a.fenster, ordner / "Pavolant.ini", QSize(1024, 768)));
        QCOMPARE(a.fenster.pos(), QPoint(1, 1));
        QVERIFY(a.dialoge.fehler.empty());
    }

    void GespeicherteWerteUndPosition() {
        TempOrdner ordner;
        DateiSchreiben(ordner / "Pavolant.ini", "[Preferences]\r\nmaxSturz=45\r\n");
        Ansicht a;
        QVERIFY(qt::Starten(a.form, a.fenster, ordner / "Pavolant.ini", QSize(1920, 1080)));
        QCOMPARE(a.form.MaxSturz, 45.0);
        QCOMPARE(a.form.MinWinkel, 3.0);
        QCOMPARE(a.fenster.pos(), QPoint(1, 1));

        DateiSchreiben(ordner / "Pavolant.ini",
                       "[Preferences]\r\nminLaenge=2.5\r\nScreenPos_Top=100\r\nScreenPos_Left=200\r\n");
        QVERIFY(qt::Starten(a.form, a.fenster, ordner / "Pavolant.ini", QSize(1920, 1080)));
        QCOMPARE(a.form.MinLaenge, 2.5);
        QCOMPARE(a.fenster.pos(), QPoint(200, 100));
    }

    // A bad number: the error box, the values before it kept, the design position.
    void SchlechteZahlBeimStart() {
        TempOrdner ordner;
        DateiSchreiben(ordner / "Pavolant.ini",
                       "[Preferences]\r\nminLaenge=4\r\nminWinkel=x\r\nmaxSturz=9\r\nScreenPos_Top=5\r\n");
        Ansicht a;
        QVERIFY(!qt::Starten(a.form, a.fenster, ordner / "Pavolant.ini", QSize(1920, 1080)));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(a.dialoge.fehler[0]),
                 QString::fromStdString((ordner / "Pavolant.ini").string()) +
                     QStringLiteral(" [Preferences] minWinkel: 'x' ist kein gültiger Gleitkommawert"));
        QCOMPARE(a.form.MinLaenge, 4.0);
        QCOMPARE(a.form.MinWinkel, 3.0);
        QCOMPARE(a.form.MaxSturz, 30.0);
        QCOMPARE(a.fenster.pos(), QPoint(814, 82));
    }

    void SchliessenSchreibtEinstellungenUndPosition() {
        TempOrdner ordner;
        Ansicht a;
        a.form.MinZRot = 0.5;
        a.form.DreieckeSym = true;
        a.fenster.move(300, 40);
        QVERIFY(qt::Schliessen(a.form, a.fenster, ordner / "Pavolant.ini"));
        Feinheit gelesen;
        const std::optional<Fensterposition> position = EinstellungenLesen(ordner / "Pavolant.ini", gelesen);
        QVERIFY(position.has_value());
        QCOMPARE(position->Links, 300);
        QCOMPARE(position->Oben, 40);
        QCOMPARE(gelesen.MinZRot, 0.5);
        QVERIFY(gelesen.DreieckeSym);
    }

    // Settings that cannot be written keep the window open, with the error box.
    void NichtSchreibbarHaeltDasFensterOffen() {
        TempOrdner ordner;
        Ansicht a;
        const std::filesystem::path pfad = ordner / "fehlt" / "Pavolant.ini";
        a.fenster.SetzeSchliessfrage([&] { return qt::Schliessen(a.form, a.fenster, pfad); });
        QVERIFY(!a.fenster.close());
        QVERIFY(a.fenster.isVisible());
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        std::filesystem::create_directory(ordner / "fehlt");
        QVERIFY(a.fenster.close());
        QVERIFY(!a.fenster.isVisible());
        QVERIFY(std::filesystem::exists(pfad));
    }
};

QTEST_MAIN(Programmstart)
#include "test_Programmstart.moc"
