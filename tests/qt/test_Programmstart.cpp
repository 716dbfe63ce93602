// Start-up and closing around the main window: the settings file in the given place,
// the window's position kept on the screen, and a window that stays open when its
// settings cannot be written.
#include "tests/qt/Qthilfen.h"

#include "persistence/Einstellungen.h"
#include "persistence/Sprache.h"
#include "ui/qt/Programmstart.h"

#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTextCursor>

using namespace pavolant;
using namespace pavolant::test;

namespace {

// The part of `w` the user can see: its rectangle in the window, cut by every widget it
// lies in (a scroll area's viewport shows only its part of the columns).
QRect Sichtbar(const QWidget* w, const QWidget* fenster) {
    QRect r(w->mapTo(fenster, QPoint(0, 0)), w->size());
    for (const QWidget* p = w->parentWidget(); p && p != fenster; p = p->parentWidget())
        r &= QRect(p->mapTo(fenster, QPoint(0, 0)), p->size());
    return r & fenster->rect();
}

}  // namespace

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

    // On a laptop (1366 x 768 less a task bar) the window fits in English and in German:
    // its frame lies on the screen, Tab brings every control it reaches fully into view
    // (the columns scroll to it), and after "Go" the report's last line is in sight.
    void PasstAufDenLaptop() {
        const QRect laptop(0, 0, 1366, 720);
        QStringList go;  // "Go" in each language: the catalogs did change it
        for (const char* sprache : {"en", "de"}) {
            if (!SpracheEinrichten(sprache)) {
                if (ImCi()) QFAIL("the catalogs were not built");
                QSKIP("the message catalogs were not built (msgfmt missing)");
            }
            TempOrdner ordner;
            Ansicht a;
            QVERIFY(qt::Starten(a.form, a.fenster, ordner / "Pavolant.ini", laptop.size()));
            QCoreApplication::processEvents();
            QVERIFY2(laptop.contains(a.fenster.frameGeometry()), sprache);
            a.fenster.Verbindung().Ereignis([&] {
                a.form.ParameterLaden(std::string(PAVOLANT_SOURCE_DIR) + "/examples/Dorfstrasse.ini");
            });
            a.dialoge.antworten = {(ordner / "strasse.i3d").string()};
            Klicken(a.Knopf("bbnSave"));
            Klicken(a.Knopf("bbnGo"));
            QVERIFY(a.form.LetzterLauf() && a.form.LetzterLauf()->Geschrieben);
            QCoreApplication::processEvents();

            auto* memo = a.Widget<QPlainTextEdit>("mmoStatus");
            QVERIFY(memo->blockCount() > 10);  // more lines than the memo shows at once
            QTextCursor ende(memo->document());
            ende.movePosition(QTextCursor::End);
            const QRect letzte =
                memo->cursorRect(ende).translated(memo->viewport()->mapTo(&a.fenster, QPoint(0, 0)));
            QVERIFY2(Sichtbar(memo->viewport(), &a.fenster).contains(letzte), sprache);

            // Tab from the first control round the window: each stop in full view.
            QStringList erreicht;
            a.Knopf("bbnSave")->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < 200 && !erreicht.contains(QApplication::focusWidget()->objectName()); ++i) {
                QWidget* w = QApplication::focusWidget();
                erreicht << w->objectName();
                QVERIFY2(Sichtbar(w, &a.fenster) == QRect(w->mapTo(&a.fenster, QPoint(0, 0)), w->size()),
                         qPrintable(QStringLiteral("%1 (%2)").arg(w->objectName(), QLatin1String(sprache))));
                if (w == memo) break;  // in the memo Tab is a character
                QTest::keyClick(w, Qt::Key_Tab);
            }
            // Every control the window shows enabled was among them.
            for (QWidget* w : a.fenster.findChildren<QWidget*>())
                if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
                    !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                    QVERIFY2(erreicht.contains(w->objectName()), qPrintable(w->objectName()));
            QVERIFY(erreicht.size() > 60);
            go << a.Knopf("bbnGo")->text();
        }
        QVERIFY(go[0] != go[1]);
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
