// The points table through its widgets: opened by its button, a cell typed into, a row
// clicked, rows deleted with Del, copied and pasted through the clipboard; after each the
// table's cells and the point editor's fields show the same values.
#include "tests/qt/Qthilfen.h"
#include "ui/qt/Punktetabelle.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableView>

using namespace pavolant;
using namespace pavolant::test;

namespace {

QStringList Felder(Ansicht& a) {
    QStringList s;
    for (const char* n : {"edtSplinePtsX", "edtSplinePtsY", "edtSplinePtsZ", "edtSplinePtsXrot",
                          "edtSplinePtsYrot", "edtSplinePtsZrot"})
        s << a.Feld(n)->text();
    return s;
}

QStringList Zeile(QTableView& t, int z) {
    QStringList s;
    for (int c = 1; c < 7; ++c) s << t.model()->index(z, c).data().toString();
    return s;
}

// The table shows every point and its current row is the editor's point, with the same texts.
void Gleich(Ansicht& a, QTableView& t) {
    QCOMPARE(t.model()->rowCount(), a.form.SplinePunkte.AnzahlPunkte());
    const int aktuell = a.form.AktuellerPunkt;
    QCOMPARE(t.currentIndex().row(), aktuell);
    QCOMPARE(Zeile(t, aktuell), Felder(a));
    QCOMPARE(a.Widget<QSpinBox>("sedSplinePtsNr")->value(), aktuell + 1);
}

// Clicks a cell of the table in the middle.
void ZelleKlicken(QTableView& t, int z, int c) {
    QTest::mouseClick(t.viewport(), Qt::LeftButton, Qt::NoModifier,
                      t.visualRect(t.model()->index(z, c)).center());
    QCoreApplication::processEvents();
}

}  // namespace

class Punktetabelle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // The name column: the shape's name from the import, read only; typed points have none.
    void NamensspalteZeigtDieImportiertenNamen() {
        TempOrdner ordner;
        DateiSchreiben(ordner / "m.i3d",
                       "<i3D><Scene><Shape name=\"Anfang\"/><Shape name=\"Ende\" "
                       "translation=\"0 0 30\"/></Scene></i3D>");
        Ansicht a;
        Klicken(a.Knopf("btnPunktetabelle"));
        QTableView& t = a.fenster.Punktetabelle().Tabelle();
        const int name = Hauptfenster::kTabellenNamenSpalte;
        QCOMPARE(t.model()->headerData(name, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(t.model()->index(0, name).data().toString(), QString());
        QVERIFY(a.fenster.Verbindung().Ereignis([&] { a.form.SplinePunkteImportieren(ordner / "m.i3d"); }));
        QCOMPARE(t.model()->rowCount(), 2);
        QCOMPARE(t.model()->index(1, name).data().toString(), QStringLiteral("Ende"));
        QVERIFY(!(t.model()->flags(t.model()->index(1, name)) & Qt::ItemIsEditable));
        QVERIFY(t.model()->flags(t.model()->index(1, 6)) & Qt::ItemIsEditable);
    }

    // The check "leave terrain": ticked in the table it is the point's switch, one step to
    // undo; the last point starts no connection, so its check is not offered.
    void GelaendeLassenAlsHaken() {
        Ansicht a;
        Klicken(a.Knopf("btnPunktetabelle"));
        QTableView& t = a.fenster.Punktetabelle().Tabelle();
        QVERIFY(a.fenster.Verbindung().Ereignis([&] { a.form.spbSplineAddEnd.Click(); }));
        const int lassen = Hauptfenster::kTabellenLassenSpalte;
        QCOMPARE(t.model()->headerData(lassen, Qt::Horizontal).toString(), QStringLiteral("Leave terrain"));
        for (int z = 0; z < 3; ++z) {
            const Qt::ItemFlags f = t.model()->flags(t.model()->index(z, lassen));
            QVERIFY(f & Qt::ItemIsUserCheckable);
            QCOMPARE(bool(f & Qt::ItemIsEnabled), z < 2);
            QVERIFY(!(f & Qt::ItemIsEditable));
            QCOMPARE(t.model()->index(z, lassen).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        }
        QVERIFY(t.model()->setData(t.model()->index(1, lassen), Qt::Checked, Qt::CheckStateRole));
        QCoreApplication::processEvents();
        QVERIFY(a.form.SplinePunkte.Punkt(1)->GelaendeLassen);
        QVERIFY(!a.form.SplinePunkte.Punkt(0)->GelaendeLassen);
        QCOMPARE(t.model()->index(1, lassen).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        a.fenster.AktionRueckgaengig().trigger();
        QCoreApplication::processEvents();
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        QVERIFY(!a.form.SplinePunkte.Punkt(1)->GelaendeLassen);
        QCOMPARE(t.model()->index(1, lassen).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    void BearbeitenWaehlenLoeschenEinfuegen() {
        Ansicht a;
        for (int i = 0; i < 3; ++i) {
            a.form.SplinePunkte.Anhaengen();
        }
        for (int i = 0; i < 5; ++i) a.form.SplinePunkte.Punkt(i)->X = 10 * i;
        a.form.sedSplinePtsNr.MaxValue = 5;
        a.form.SplineAnzeigen();
        a.fenster.Verbindung().Synchronisieren();

        Klicken(a.Knopf("btnPunktetabelle"));
        auto& ansicht = a.fenster.Punktetabelle();
        QVERIFY(ansicht.isVisible());
        QTableView& t = ansicht.Tabelle();
        Gleich(a, t);

        // A row clicked: its point in the editor; what was typed there went into point 1.
        Tippen(a.Feld("edtSplinePtsY"), QStringLiteral("2,5"));
        ZelleKlicken(t, 3, 2);
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Y, 2.5);
        QCOMPARE(a.form.AktuellerPunkt, 3);
        Gleich(a, t);

        // A cell typed into: the model and the editor take it.
        // The first key opens the cell's editor, the rest go into it.
        QTest::keyClick(&t, Qt::Key_7);
        QCoreApplication::processEvents();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(",25"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(a.form.SplinePunkte.Punkt(3)->Y, 7.25);
        QCOMPARE(a.Feld("edtSplinePtsY")->text(), QStringLiteral("7,25"));
        Gleich(a, t);

        // A cell that is no number: the error names it, nothing changes.
        t.model()->setData(t.model()->index(3, 6), QStringLiteral("abc"));
        QCOMPARE(a.dialoge.fehler.back(),
                 std::string("'abc' ist kein gültiger Gleitkommawert (Points table: point 4, Zrot)"));
        QCOMPARE(a.form.SplinePunkte.Punkt(3)->Zrot, 0.0);
        Gleich(a, t);

        // Two rows selected and deleted with Del.
        t.selectionModel()->select(t.model()->index(1, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        t.selectionModel()->select(t.model()->index(3, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
        t.setFocus();
        QTest::keyClick(&t, Qt::Key_Delete);
        QCoreApplication::processEvents();
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        QCOMPARE(Zeile(t, 1).front(), QStringLiteral("20"));
        Gleich(a, t);

        // Copied rows pasted at the end of the list append points.
        t.selectionModel()->select(t.model()->index(0, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClick(&t, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0\t2,5\t0\t0\t0\t0\n"));
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\t3\n4\t5\t6\n"));
        t.setCurrentIndex(t.model()->index(2, 1));
        QCoreApplication::processEvents();
        QTest::keyClick(&t, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 4);
        QCOMPARE(Zeile(t, 3), (QStringList{"4", "5", "6", "0", "0", "0"}));
        Gleich(a, t);

        // Undo in the main window: the table follows.
        a.fenster.AktionRueckgaengig().trigger();
        QCoreApplication::processEvents();
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        Gleich(a, t);
    }
};

QTEST_MAIN(Punktetabelle)
#include "test_Punktetabelle.moc"
