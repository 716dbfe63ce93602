// The spline point editor through its widgets: the glyph buttons insert, append and
// delete, the spin switches, and each shows the list as the model holds it.
#include "tests/qt/Qthilfen.h"

#include "persistence/I3dSzene.h"
#include "ui/qt/Importdialog.h"
#include "ui/qt/QtDialoge.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

using namespace pavolant;
using namespace pavolant::test;

namespace {

QString Titel(Ansicht& a) { return a.Widget<QGroupBox>("gboSplinePts")->title(); }

QStringList Felder(Ansicht& a) {
    QStringList s;
    for (const char* n : {"edtSplinePtsX", "edtSplinePtsY", "edtSplinePtsZ", "edtSplinePtsXrot",
                          "edtSplinePtsYrot", "edtSplinePtsZrot"})
        s << a.Feld(n)->text();
    return s;
}

const char* const kZweiGruppen =
    "<i3D><Scene><TransformGroup name='nord' translation='1000 0 0'>"
    "<Shape name='n1'/><Shape name='n2' translation='0 0 20'/><Shape name='n3' translation='0 0 40'/>"
    "</TransformGroup><TransformGroup name='sued'><Shape name='s1'/><Shape name='s2' translation='0 0 30'/>"
    "</TransformGroup></Scene></i3D>";

QTreeWidgetItem* Eintrag(qt::Importdialog& d, const char* name) {
    const QList<QTreeWidgetItem*> t =
        d.Baum().findItems(QString::fromLatin1(name), Qt::MatchRecursive | Qt::MatchExactly);
    if (t.size() != 1) throw std::logic_error(std::string("no single tree item ") + name);
    return t.front();
}

}  // namespace

class SplinePunkte : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // The choice dialog: the tree with counts, and each way of picking handed back as
    // the pick the import takes; Import only while the pick yields a shape.
    void ImportdialogZeigtDenBaumUndGibtDieWahl() {
        const I3dSzene szene = LeseI3dSzeneAusText(kZweiGruppen, "z.i3d");
        qt::Importdialog d(szene, Importbaum(szene));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        auto* ok = d.findChild<QPushButton*>(QStringLiteral("btnImportieren"));
        auto* ergebnis = d.findChild<QLabel*>(QStringLiteral("lblErgebnis"));
        QVERIFY(ok && ergebnis);
        QCOMPARE(d.Baum().topLevelItemCount(), 2);
        QCOMPARE(Eintrag(d, "nord")->childCount(), 3);
        QCOMPARE(Eintrag(d, "nord")->text(2), QStringLiteral("3"));
        QCOMPARE(Eintrag(d, "s2")->text(2), QStringLiteral("5"));  // a shape's position in the file
        QVERIFY(!ok->isEnabled());                                 // nothing selected yet

        Eintrag(d, "sued")->setSelected(true);
        Eintrag(d, "n2")->setSelected(true);
        QVERIFY(ok->isEnabled());
        QCOMPARE(ergebnis->text(), QStringLiteral("3 shapes become spline points."));
        QCOMPARE(d.Wahl().art, Importwahl::Art::Knoten);
        QCOMPARE(ShapesDerWahl(szene, d.Wahl()), (std::vector<int>{2, 5, 6}));

        auto* von = d.findChild<QComboBox*>(QStringLiteral("cboVon"));
        auto* bis = d.findChild<QComboBox*>(QStringLiteral("cboBis"));
        QCOMPARE(von->itemText(3), QStringLiteral("4: s1"));
        von->setCurrentIndex(3);
        emit von->activated(3);
        QVERIFY(d.findChild<QRadioButton*>(QStringLiteral("rbtBereich"))->isChecked());
        QCOMPARE(d.Wahl().Erster, 4);
        QCOMPARE(d.Wahl().Letzter, 5);
        bis->setCurrentIndex(1);
        emit bis->activated(1);
        QVERIFY(!ok->isEnabled());  // backwards: nothing

        d.findChild<QRadioButton*>(QStringLiteral("rbtAlles"))->click();
        QCOMPARE(d.Wahl().art, Importwahl::Art::Alles);
        QCOMPARE(ergebnis->text(), QStringLiteral("5 shapes become spline points."));
        QVERIFY(ok->isEnabled());
    }

    // The desktop's dialogs show it modally for the window's import and hand back what
    // was picked; the points carry their names into the table.
    void ImportMitWahlUeberDieDesktopDialoge() {
        TempOrdner ordner;
        DateiSchreiben(ordner / "z.i3d", kZweiGruppen);
        AufzeichnenderMelder melder;
        qt::QtDialoge dialoge;
        Hauptfenster form(melder, dialoge);
        bool gesehen = false;
        QTimer::singleShot(0, [&] {
            auto* d = dynamic_cast<qt::Importdialog*>(QApplication::activeModalWidget());
            if (!d) return;
            gesehen = true;
            Eintrag(*d, "nord")->setSelected(true);
            Klicken(d->findChild<QPushButton*>(QStringLiteral("btnImportieren")));
        });
        // The clean-up box after the import is the desktop's too: closed by Escape.
        QTimer schliesser;
        QObject::connect(&schliesser, &QTimer::timeout, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                QTest::keyClick(box, Qt::Key_Escape);
        });
        schliesser.start(20);
        QVERIFY(form.Ausfuehren([&] { form.SplinePunkteImportieren(ordner / "z.i3d"); }));
        QVERIFY(gesehen);
        QCOMPARE(form.SplinePunkte.AnzahlPunkte(), 3);
        QCOMPARE(form.Tabellenzelle(2, Hauptfenster::kTabellenNamenSpalte), std::string("n3"));
        QCOMPARE(form.SplinePunkte.Punkt(2)->X, 1000.0);
    }

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
        QCOMPARE(a.form.AktuellerPunkt, 1);
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Xrot, 12.5);
        QTest::keyClick(nr, Qt::Key_Up);
        QCOMPARE(nr->value(), 2);
        QCOMPARE(a.form.sedSplinePtsNr.Value(), 2);
        // Typed beyond the range: the spin does not take it.
        nr->selectAll();
        QTest::keyClicks(nr, QStringLiteral("9"));
        QCOMPARE(a.form.AktuellerPunkt, 1);
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
        QCOMPARE(a.form.AktuellerPunkt, 0);
        // The spin shows what the window logic holds: the new point's number, which the
        // editor switches to once the field is fixed and the group is left.
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        QCOMPARE(nr->value(), a.form.sedSplinePtsNr.Value());
        Tippen(a.Feld("edtSplinePtsY"), QStringLiteral("2"));
        Klicken(a.Knopf("bbnInfo"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(a.form.SplinePunkte.Punkt(0)->Y, 2.0);
        QCOMPARE(a.form.AktuellerPunkt, 2);
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
