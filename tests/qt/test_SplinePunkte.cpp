// The spline point editor through its widgets: the glyph buttons insert, append and
// delete, the spin switches, and each shows the list as the model holds it.
#include "tests/qt/Qthilfen.h"

#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>

using namespace pavolant;
using namespace pavolant::test;

namespace {

QString Titel(Ansicht& a) { return a.Widget<QGroupBox>("gboSplinePts")->title(); }

QStringList Felder(Ansicht& a) {
    QStringList s;
    for (const char* n : {"edtSplinePtsX", "edtSplinePtsY", "edtSplinePtsZ", "edtSplinePtsXrot", "edtSplinePtsYrot",
                          "edtSplinePtsZrot"})
        s << a.Feld(n)->text();
    return s;
}

}  // namespace

class SplinePunkte : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    void LoeschenLaesstZweiPunkteMitWarnung() {
        Ansicht a;
        Klicken(a.Knopf("spbSplineSub"));
        QCOMPARE(a.melder.eintraege.size(), std::size_t{1});
        QCOMPARE(a.melder.eintraege[0].art, MeldungsArt::Warnung);
        QCOMPARE(QString::fromStdString(a.melder.eintraege[0].text),
                 QStringLiteral("Zwei Punkte müssen mindestens vorhanden sein!"));
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 2);
        QCOMPARE(Titel(a), QStringLiteral("Spline-Points: 2"));
    }

    // Append commits the typed values into the former point through the spin change and
    // shows the new zero point; the glyph button leaves the focus in the field.
    void AnhaengenUebernimmtUndZeigtDenNeuenPunkt() {
        Ansicht a;
        Tippen(a.Feld("edtSplinePtsX"), QStringLiteral("5,5"));
        Klicken(a.Knopf("spbSplineAddEnd"));
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->X, 5.5);
        QCOMPARE(Titel(a), QStringLiteral("Spline-Points: 3"));
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        QCOMPARE(nr->value(), 3);
        QCOMPARE(nr->maximum(), 3);
        QCOMPARE(Felder(a), QStringList(6, QStringLiteral("0")));
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtSplinePtsX"));
    }

    // Insert on point 1 of 2: the new zero point is number 1, the former point 1 is
    // number 2; what was typed but not committed gives way to the zeros.
    void EinfuegenVorDemAktuellenPunkt() {
        Ansicht a;
        a.form.SplinePunkte.Punkt(0)->X = 7;
        a.form.SplineAnzeigen();
        a.fenster.Verbindung().Synchronisieren();
        QCOMPARE(a.Feld("edtSplinePtsX")->text(), QStringLiteral("7"));
        Tippen(a.Feld("edtSplinePtsY"), QStringLiteral("3"));
        Klicken(a.Knopf("spbSplineAdd"));
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        QCOMPARE(Felder(a), QStringList(6, QStringLiteral("0")));
        QCOMPARE(a.Widget<QSpinBox>("sedSplinePtsNr")->value(), 1);
        QCOMPARE(a.form.SplinePunkte.Punkt(1)->X, 7.0);
        QCOMPARE(a.form.SplinePunkte.Punkt(1)->Y, 0.0);
        QCOMPARE(Titel(a), QStringLiteral("Spline-Points: 3"));
    }

    // Three points, the last current: delete commits the fields into it, removes it and
    // shows point 2 with its stored values.
    void LoeschenDesLetztenZeigtDenVorigen() {
        Ansicht a;
        Klicken(a.Knopf("spbSplineAddEnd"));
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        nr->setValue(2);
        Tippen(a.Feld("edtSplinePtsZ"), QStringLiteral("10"));
        nr->setValue(3);  // commits point 2
        QCOMPARE(a.form.SplinePunkte.Punkt(1)->Z, 10.0);
        Klicken(a.Knopf("spbSplineSub"));
        QVERIFY(a.melder.eintraege.empty());
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 2);
        QCOMPARE(nr->value(), 2);
        QCOMPARE(nr->maximum(), 2);
        QCOMPARE(a.Feld("edtSplinePtsZ")->text(), QStringLiteral("10"));
        QCOMPARE(Titel(a), QStringLiteral("Spline-Points: 2"));
    }

    // The spin's arrow key switches points and commits; it never offers a number beyond
    // the list.
    void SpinWechseltUndBleibtImBereich() {
        Ansicht a;
        Tippen(a.Feld("edtSplinePtsXrot"), QStringLiteral("12,5"));
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        Klicken(nr);
        QTest::keyClick(nr, Qt::Key_Up);
        QCOMPARE(nr->value(), 2);
        QCOMPARE(a.form.SplinePunkte.Aktuell, 1);
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Xrot, 12.5);
        QTest::keyClick(nr, Qt::Key_Up);
        QCOMPARE(nr->value(), 2);
        QCOMPARE(a.form.sedSplinePtsNr.Value(), 2);
        // Typed beyond the range: the spin does not take it.
        nr->selectAll();
        QTest::keyClicks(nr, QStringLiteral("9"));
        QCOMPARE(a.form.SplinePunkte.Aktuell, 1);
        QVERIFY(nr->value() <= 2);
    }

    // A value that is no number stops the commit with the error box; the point keeps
    // what was read before it and stays current.
    void SchlechteZahlStopptAnDerGrenze() {
        Ansicht a;
        Tippen(a.Feld("edtSplinePtsX"), QStringLiteral("4"));
        Tippen(a.Feld("edtSplinePtsY"), QStringLiteral("abc"));
        Klicken(a.Knopf("spbSplineAddEnd"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(a.dialoge.fehler[0]),
                 QStringLiteral("'abc' ist kein gültiger Gleitkommawert (Spline-Points: Y)"));
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtSplinePtsY"));
        QCOMPARE(a.Feld("edtSplinePtsY")->selectedText(), QStringLiteral("abc"));
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->X, 4.0);
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        QCOMPARE(a.form.SplinePunkte.Aktuell, 0);
        // The spin shows what the window logic holds: the new point's number, which the
        // editor switches to once the field is fixed and the group is left.
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        QCOMPARE(nr->value(), a.form.sedSplinePtsNr.Value());
        Tippen(a.Feld("edtSplinePtsY"), QStringLiteral("2"));
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Y, 2.0);
        QCOMPARE(a.form.SplinePunkte.Aktuell, 2);
        QCOMPARE(nr->value(), 3);
        QCOMPARE(Felder(a), QStringList(6, QStringLiteral("0")));
    }

    // The import button reads the scene's shapes into the list; the group shows the new
    // count and point 1, and the spin's range follows.
    void ImportAusI3d() {
        TempOrdner ordner;
        DateiSchreiben(ordner / "export.i3d",
                       "<i3D>\r\n  <Scene>\r\n"
                       "    <Shape name=\"a\" translation=\"1 2 3\" rotation=\"0 90 0\"/>\r\n"
                       "    <Shape name=\"b\" translation=\"4 5 6\"/>\r\n"
                       "    <Shape name=\"c\" translation=\"7.5 8 9\"/>\r\n"
                       "  </Scene>\r\n</i3D>\r\n");
        Ansicht a;
        auto* oeffnen = a.Widget<QPushButton>("bbnSplinePtsOpen");
        QCOMPARE(oeffnen->toolTip(), QStringLiteral("exportierte Spline-Punkte aus i3d-Datei laden"));
        a.dialoge.antworten = {std::nullopt, (ordner / "export.i3d").string()};
        Klicken(oeffnen);  // cancelled: nothing changes
        QCOMPARE(Titel(a), QStringLiteral("Spline-Points: 2"));
        Klicken(oeffnen);
        QVERIFY(a.dialoge.fehler.empty());
        QCOMPARE(Titel(a), QStringLiteral("Spline-Points: 3"));
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        QCOMPARE(nr->value(), 1);
        QCOMPARE(nr->maximum(), 3);
        QCOMPARE(Felder(a), QStringList({"1", "2", "3", "0", "90", "0"}));
        nr->setValue(3);
        QCOMPARE(a.Feld("edtSplinePtsX")->text(), QStringLiteral("7,5"));
    }
};

QTEST_MAIN(SplinePunkte)
#include "test_SplinePunkte.moc"
