// A whole run as the user makes it: choose the output file, type the second point,
// press Go; the document is the worked example of two points 10 m apart.
#include "tests/qt/Qthilfen.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

using namespace pavolant;
using namespace pavolant::test;

namespace {

QStringList Zeilen(const std::string& dokument) {
    return QString::fromLatin1(dokument.data(), static_cast<qsizetype>(dokument.size()))
        .split(QStringLiteral("\r\n"));
}

}  // namespace

class Go : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    void ZweiPunkteZehnMeterGeradeaus() {
        TempOrdner ordner;
        const std::string ausgabe = (ordner / "strasse.i3d").string();
        Ansicht a;
        a.dialoge.antworten = {ausgabe};
        Klicken(a.Knopf("bbnSave"));
        QVERIFY(a.Knopf("bbnGo")->isEnabled());

        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        Klicken(nr);
        QTest::keyClick(nr, Qt::Key_Up);
        QCOMPARE(nr->value(), 2);
        Tippen(a.Feld("edtSplinePtsZ"), QStringLiteral("10"));
        // Go takes the focus: leaving the point group commits (0, 0, 10) before the run.
        Klicken(a.Knopf("bbnGo"));
        QVERIFY(a.dialoge.fehler.empty());
        QVERIFY(a.melder.eintraege.empty());
        QVERIFY(a.form.LetzterLauf() && a.form.LetzterLauf()->Geschrieben);

        const QStringList d = Zeilen(DateiLesen(ausgabe));
        QVERIFY(d.contains(
            QStringLiteral("    <File fileId=\"1\" filename=\"road_diffuse.dds\" relativePath=\"true\"/>")));
        QVERIFY(d.contains(
            QStringLiteral("    <Material name=\"road_diffuse\" materialId=\"11\" ambientColor=\"1 1 1\">")));
        QVERIFY(d.contains(
            QStringLiteral("     <IndexedTriangleSet name=\"Road\" shapeId=\"1\" bvCenter=\"0.0000 0.0000 "
                           "5.0000\" bvRadius=\"6.1033\" isOptimized=\"true\">")));
        const QStringList vertices = {
            QStringLiteral("          <v p=\"-3.5000 0.0000 0.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"1.0000 "
                           "-7.0000\" />"),
            QStringLiteral("          <v p=\"3.5000 0.0000 0.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"0.0000 "
                           "-7.0000\" />"),
            QStringLiteral("          <v p=\"-3.5000 0.0000 10.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"1.0000 "
                           "-6.5000\" />"),
            QStringLiteral("          <v p=\"3.5000 0.0000 10.0000\" n=\"0.0000 1.0000 0.0000\" t0=\"0.0000 "
                           "-6.5000\" />"),
        };
        const qsizetype v = d.indexOf(
            QStringLiteral("        <Vertices count=\"4\" normal=\"true\" uv0=\"true\" tangent=\"true\">"));
        QVERIFY(v >= 0);
        QCOMPARE(d.mid(v + 1, 4), vertices);
        const qsizetype t = d.indexOf(QStringLiteral("        <Triangles count=\"2\">"));
        QVERIFY(t >= 0);
        QCOMPARE(d.mid(t + 1, 2), QStringList({QStringLiteral("          <t vi=\"1 0 2\" />"),
                                               QStringLiteral("          <t vi=\"1 2 3\" />")}));
        QVERIFY(d.contains(QStringLiteral(
            "          <Subset firstVertex=\"0\" numVertices=\"4\" firstIndex=\"0\" numIndices=\"6\"/>")));
        QVERIFY(d.contains(
            QStringLiteral("       <Shape name=\"RoadPAV\" static=\"true\" clipDistance=\"500\" nodeId=\"1\" "
                           "materialIds=\"11\" shapeId=\"1\" receiveShadows=\"true\">")));
        QVERIFY(d.contains(
            QStringLiteral("        <TransformGroup name=\"SplinePkt2\" translation=\"0.0000 0.0000 "
                           "10.0000\" rotation=\"0.0000 0.0000 0.0000\" nodeId=\"22\"/>")));

        // The report in the memo, the texture start for the next road in its field.
        const QStringList memo =
            a.Widget<QPlainTextEdit>("mmoStatus")->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(memo.size(), 9);
        QCOMPARE(memo.front(), QStringLiteral("Geometry:   Width = 7.0000  --  Schleppkurve = 0.0000"));
        QCOMPARE(memo[7], QStringLiteral("Fahrbahn: 4 Vertices, 2 triangles"));
        QVERIFY(memo.back().startsWith(QStringLiteral("Written: ")));
        QVERIFY(memo.back().endsWith(QStringLiteral(" (4 vertices, 2 triangles, road length 10.0000 m)")));
        QCOMPARE(a.Feld("edtTexL0")->text(), QStringLiteral("0,5"));

        // "Copy Memo" puts exactly that text on the clipboard and gives the memo the focus
        // with the caret at its start.
        Klicken(a.Knopf("bbnCopyMemo"));
        QCOMPARE(QGuiApplication::clipboard()->text().split(QLatin1Char('\n')), memo);
        auto* mmo = a.Widget<QPlainTextEdit>("mmoStatus");
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(mmo));
        QCOMPARE(mmo->textCursor().position(), 0);
        QVERIFY(!mmo->textCursor().hasSelection());

        // The restore button puts back the texture start this run read.
        Klicken(a.Knopf("bbnGo"));
        QCOMPARE(a.Feld("edtTexL0")->text(), QStringLiteral("0"));
        Klicken(a.Knopf("spbOldTexL0"));
        QCOMPARE(a.Feld("edtTexL0")->text(), QStringLiteral("0,5"));
    }

    // What the user types into the memo is what "Copy Memo" copies.
    void GetipptesImMemoWirdKopiert() {
        Ansicht a;
        auto* mmo = a.Widget<QPlainTextEdit>("mmoStatus");
        Klicken(mmo);
        mmo->selectAll();
        QTest::keyClicks(mmo, QStringLiteral("Notiz"));
        QTest::keyClick(mmo, Qt::Key_Return);
        QTest::keyClicks(mmo, QStringLiteral("zwei"));
        QCOMPARE(a.form.mmoStatus.Lines, (std::vector<std::string>{"Notiz", "zwei"}));
        Klicken(a.Knopf("bbnCopyMemo"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Notiz\nzwei"));
    }

    // A run that finds too few points disables Go again.
    void ZuWenigePunkteSperrenGo() {
        Ansicht a;
        a.dialoge.antworten = {std::string("/nonexistent/x.i3d")};
        Klicken(a.Knopf("bbnSave"));
        a.form.SplinePunkte.PunktLoeschen(1);
        Klicken(a.Knopf("bbnGo"));
        QCOMPARE(a.melder.eintraege.size(), std::size_t{1});
        QVERIFY(!a.Knopf("bbnGo")->isEnabled());
    }

    // A path typed into the output field enables Go as the user types, once it names a
    // place the document can go; a grey Go says why in its tool tip. The field shows the
    // hint while it is empty.
    void GetippterPfadUndGrundImTooltip() {
        TempOrdner ordner;
        Ansicht a;
        QLineEdit* feld = a.Feld("edtFileName");
        QCOMPARE(feld->placeholderText(), QStringLiteral("Choose where to write the road…"));
        QAbstractButton* go = a.Knopf("bbnGo");
        QVERIFY(!go->isEnabled());
        QCOMPARE(go->toolTip(), QStringLiteral("Choose the output file first (i3d-File)"));

        const QString ziel = QString::fromStdString((ordner / "strasse.i3d").string());
        Tippen(feld, ziel.chopped(1));  // "strasse.i3" and the folder part: a place too
        QVERIFY(go->isEnabled());
        QTest::keyClick(feld, Qt::Key_D);
        QVERIFY(go->isEnabled());
        QCOMPARE(go->toolTip(), QString());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(feld));  // typing goes on
        feld->selectAll();
        QTest::keyClick(feld, Qt::Key_Backspace);
        QVERIFY(!go->isEnabled());
        QCOMPARE(go->toolTip(), QStringLiteral("Choose the output file first (i3d-File)"));
    }
};

QTEST_MAIN(Go)
#include "test_Go.moc"
