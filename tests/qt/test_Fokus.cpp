// Exit handlers as the focus moves: a field's exit and its group's exit run before the
// click of a button that takes the focus, glyph buttons leave the field's editing open,
// moves to another window are no exit, and a failed exit drops the click.
#include "tests/qt/Qthilfen.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QTimer>

using namespace pavolant;
using namespace pavolant::test;

class Fokus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // Typing into a field and clicking a bitmap button: the field's exit has run, and its
    // result is on screen, when the button's handler runs.
    void FeldaustrittVorDemKlick() {
        Ansicht a;
        Tippen(a.Feld("edtTexStart"), QStringLiteral("0,625"));
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("4"));
        QCOMPARE(a.form.TexPxl, 0);
        int gesehenePixel = -1;
        QString gezeigt;
        a.melder.beimMelden = [&] {
            gesehenePixel = a.form.TexPxl;
            gezeigt = a.Feld("edtTexStartPxl")->text();
        };
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(a.melder.eintraege.size(), std::size_t{1});
        QCOMPARE(a.melder.eintraege[0].art, MeldungsArt::Information);
        QCOMPARE(QString::fromStdString(a.melder.eintraege[0].text),
                 QStringLiteral("INOFFICIAL\rEN-VERSION!\r\rVersion 1.64 (2017-01-03) by Quenlor"));
        QCOMPARE(gesehenePixel, 4);
        QCOMPARE(gezeigt, QStringLiteral("2"));  // 2,5 to the even neighbour
    }

    // Leaving with the keyboard runs the exit as well.
    void TabulatorVerlaesstDasFeld() {
        Ansicht a;
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("8"));
        QTest::keyClick(a.Feld("edtTexPxl"), Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(QApplication::focusWidget() != a.Feld("edtTexPxl"));
        QCOMPARE(a.form.TexPxl, 8);
        QCOMPARE(a.Feld("EdtTexEndePxl")->text(), QStringLiteral("8"));
    }

    // A glyph button takes no focus: the field is still being edited, its exit has not
    // run, and runs once the field is really left.
    void GlypheBeendetDieEingabeNicht() {
        Ansicht a;
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("4"));
        Klicken(a.Knopf("spbOldTexL0"));
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtTexPxl"));
        QCOMPARE(a.form.TexPxl, 0);
        QCOMPARE(a.Feld("edtTexL0")->text(), QStringLiteral("0"));
        Klicken(a.Feld("edtBreite"));
        QCOMPARE(a.form.TexPxl, 4);
    }

    // The point fields have no exits of their own; leaving the group commits them, moving
    // inside it does not.
    void GruppenaustrittNurBeimVerlassenDerGruppe() {
        Ansicht a;
        Tippen(a.Feld("edtSplinePtsX"), QStringLiteral("3"));
        Tippen(a.Feld("edtSplinePtsZrot"), QStringLiteral("45"));
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->X, 0.0);
        double gesehen = -1;
        a.melder.beimMelden = [&] { gesehen = a.form.SplinePunkte.Punkt(0)->X; };
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(gesehen, 3.0);
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Zrot, 45.0);
        // A check box outside the group takes the focus too.
        Tippen(a.Feld("edtSplinePtsY"), QStringLiteral("-2"));
        Klicken(a.Box("cboSturz"));
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Y, -2.0);
        QVERIFY(a.form.cboSturz.Checked());
    }

    // An exit that fails shows its error and drops the click that followed it; the focus
    // goes back to the field. Once the field is fixed the click goes through.
    void FehlgeschlagenerAustrittVerwirftDenKlick() {
        Ansicht a;
        Tippen(a.Feld("edtSplinePtsX"), QStringLiteral("abc"));
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(a.dialoge.fehler[0]),
                 QStringLiteral("'abc' ist kein gültiger Gleitkommawert (Spline-Points: X)"));
        QVERIFY(a.melder.eintraege.empty());
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtSplinePtsX"));

        // A check box click is dropped the same way and the box shows its old state.
        Klicken(a.Box("cboSchleppkurve"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{2});
        QVERIFY(!a.Box("cboSchleppkurve")->isChecked());
        QVERIFY(!a.form.cboSchleppkurve.Checked());

        Tippen(a.Feld("edtSplinePtsX"), QStringLiteral("1"));
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{2});
        QCOMPARE(a.melder.eintraege.size(), std::size_t{1});
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->X, 1.0);
    }

    // A group's exit that fails at another field of the group than the one left puts
    // the focus on the field that stopped it, its text selected.
    void FehlgeschlagenerGruppenaustrittZeigtAufDasFeld() {
        Ansicht a;
        Tippen(a.Feld("edtSplinePtsX"), QStringLiteral("abc"));
        Tippen(a.Feld("edtSplinePtsZrot"), QStringLiteral("45"));
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QVERIFY(a.melder.eintraege.empty());
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtSplinePtsX"));
        QCOMPARE(a.Feld("edtSplinePtsX")->selectedText(), QStringLiteral("abc"));
    }

    // Another window taking the focus and giving it back is no exit.
    void AnderesFensterIstKeinAustritt() {
        Ansicht a;
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("4"));
        {
            QLineEdit anderes;
            anderes.show();
            anderes.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&anderes));
            anderes.setFocus();
            QCoreApplication::processEvents();
            QCOMPARE(a.form.TexPxl, 0);
        }
        a.fenster.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&a.fenster));
        QCoreApplication::processEvents();
        QCOMPARE(a.form.TexPxl, 0);
        Klicken(a.Feld("edtBreite"));
        QCOMPARE(a.form.TexPxl, 4);
    }

    // A field the program hides is not left by the user: copying a border that is off
    // onto the edited side hides its groups, and the text typed there does not reach the
    // copied profile.
    void VerborgenesFeldWirdNichtUebernommen() {
        Ansicht a;
        Klicken(a.Box("cboRandRenable"));
        Tippen(a.Feld("edtRandRBreite"), QStringLiteral("9"));
        Klicken(a.Knopf("spbCopyToRight"));  // CopyL: the left border, which is off
        QCoreApplication::processEvents();
        QVERIFY(!a.Widget<QGroupBox>("gboRandRSegmente")->isVisible());
        QVERIFY(!a.form.RandR.Aktiv);
        // Also not when the user next moves the focus.
        Klicken(a.Feld("edtBreite"));
        QCOMPARE(a.form.RandR.AnzahlSegmente(), a.form.RandL.AnzahlSegmente());
        QCOMPARE(a.form.RandR.Segment(1)->Breite, a.form.RandL.Segment(1)->Breite);
        QVERIFY(a.dialoge.fehler.empty());
    }

    // One error, one box: after the box of a failed exit the user is back on the field
    // in the main window, also when the system hands the activation to the preview while
    // the box closes; going to the preview and back is no second leaving of the field.
    void NachDemFehlerZurueckImHauptfenster() {
        Ansicht a;
        Klicken(a.Knopf("bbnVorschau"));
        QWidget* vorschau = a.fenster.findChild<QWidget*>(QStringLiteral("frmVorschau"));
        QVERIFY(vorschau && vorschau->isVisible());
        a.fenster.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&a.fenster));
        a.dialoge.beimFehler = [&] {
            // A modal box, and the preview taking the activation while it closes.
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Pavolant"), QStringLiteral("x"),
                            QMessageBox::Ok, &a.fenster);
            QTimer::singleShot(20, &box, [&] {
                box.accept();
                vorschau->activateWindow();
            });
            box.exec();
        };
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("x"));
        Klicken(a.Feld("edtBreite"));
        QTest::qWait(50);
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&a.fenster));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(a.Feld("edtTexPxl")));

        vorschau->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(vorschau));
        a.fenster.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&a.fenster));
        QTest::qWait(20);
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(a.Feld("edtTexPxl")));
    }
};

QTEST_MAIN(Fokus)
#include "test_Fokus.moc"
