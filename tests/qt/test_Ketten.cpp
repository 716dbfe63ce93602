// The enabling chains clicked through the widgets: the model runs each chain once and
// the widgets show its outcome, also for boxes the chain set from code.
#include "tests/qt/Qthilfen.h"

#include <QGroupBox>

using namespace pavolant;
using namespace pavolant::test;

class Ketten : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    void FuellflaecheNurMitBeidenRaendern() {
        Ansicht a;
        QCheckBox* fuellen = a.Box("cboRandFuellen");
        QCheckBox* rechts = a.Box("cboRandRenable");
        QCheckBox* links = a.Box("cboRandLenable");

        // With a border off the fill box does not stay checked, in the model or on screen.
        Klicken(fuellen);
        QVERIFY(!fuellen->isChecked());
        QVERIFY(!a.form.cboRandFuellen.Checked());
        Klicken(rechts);
        Klicken(fuellen);
        QVERIFY(!fuellen->isChecked());

        Klicken(links);
        QVERIFY(rechts->isChecked() && links->isChecked());
        for (const char* n : {"gboRandR", "gboRandRSegmente", "gboRandL", "gboRandLSegmente"})
            QVERIFY2(a.Widget<QGroupBox>(n)->isVisible() && a.Widget<QGroupBox>(n)->isEnabled(), n);
        QVERIFY(a.form.RandR.Aktiv && a.form.RandL.Aktiv);
        Klicken(fuellen);
        QVERIFY(fuellen->isChecked());
        QVERIFY(a.form.cboRandFuellen.Checked());

        // Turning a border off unchecks the fill box from code; the widget follows and the
        // border's groups go.
        Klicken(links);
        QVERIFY(!fuellen->isChecked());
        QVERIFY(!a.form.cboRandFuellen.Checked());
        QVERIFY(!a.Widget<QGroupBox>("gboRandL")->isVisible());
        QVERIFY(!a.Widget<QGroupBox>("gboRandLSegmente")->isVisible());
        QVERIFY(a.Widget<QGroupBox>("gboRandR")->isVisible());
        QVERIFY(!a.form.RandL.Aktiv);
        QVERIFY(a.melder.eintraege.empty());
        QVERIFY(a.dialoge.fehler.empty());
    }

    void SpiegelnUndZufallSchliessenSichAus() {
        Ansicht a;
        QCheckBox* zufall = a.Box("cboRandomBackFold");
        QCheckBox* zuruecksetzen = a.Box("cboRuecksetzen");
        Klicken(zufall);
        QVERIFY(zufall->isChecked());
        Klicken(zuruecksetzen);
        QVERIFY(zuruecksetzen->isChecked());
        QVERIFY(!zufall->isChecked());
        QVERIFY(!a.form.cboRandomBackFold.Checked());
        Klicken(zufall);
        QVERIFY(zufall->isChecked());
        QVERIFY(!zuruecksetzen->isChecked());
        QVERIFY(!a.form.cboRuecksetzen.Checked());
        // The keyboard toggles as the mouse does.
        a.Box("cboRuecksetzen")->setFocus();
        QTest::keyClick(zuruecksetzen, Qt::Key_Space);
        QVERIFY(zuruecksetzen->isChecked());
        QVERIFY(!zufall->isChecked());
    }

    // The border's own reset box shares the roadway pair's handler, which looks only at
    // the roadway pair: the flip box stays checked.
    void RandRuecksetzenBeruehrtDieFahrbahnNicht() {
        Ansicht a;
        Klicken(a.Box("cboRandomBackFold"));
        Klicken(a.Box("cboRandRenable"));
        Klicken(a.Box("cboRandRRuecksetzen"));
        QVERIFY(a.Box("cboRandRRuecksetzen")->isChecked());
        QVERIFY(a.Box("cboRandomBackFold")->isChecked());
    }

    void AusgabedateiGibtGoFrei() {
        Ansicht a;
        a.dialoge.antworten = {std::nullopt, std::string("/tmp/strasse.i3d")};
        Klicken(a.Knopf("bbnSave"));
        QVERIFY(!a.Knopf("bbnGo")->isEnabled());
        QCOMPARE(a.Feld("edtFileName")->text(), QStringLiteral("edtFileName"));
        Klicken(a.Knopf("bbnSave"));
        QVERIFY(a.Knopf("bbnGo")->isEnabled());
        QCOMPARE(a.Feld("edtFileName")->text(), QStringLiteral("/tmp/strasse.i3d"));
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{2});
        QCOMPARE(QString::fromStdString(a.dialoge.aufrufe[0].Dateiname), QStringLiteral("test.i3d"));
    }
};

QTEST_MAIN(Ketten)
#include "test_Ketten.moc"
