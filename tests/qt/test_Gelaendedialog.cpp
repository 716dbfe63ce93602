// The terrain dialog from the main window's button: a file that cannot be read keeps it
// open with the reason, a readable one is taken with OK, and the drop uses it at once.
#include "tests/qt/Qthilfen.h"

#include "persistence/Plattform.h"
#include "tests/support/PngSchreiber.h"

#include <QLabel>
#include <QPlainTextEdit>

using namespace pavolant;
using namespace pavolant::test;

class Gelaendedialog : public QObject {
    Q_OBJECT

private slots:
    void NurEinLesbaresGelaendeSchliesstMitOk() {
        TempOrdner ordner;
        // 3 x 3 pixels all at 20000 of 65535 under heightScale 6.5535: 2 m everywhere.
        DateiSchreiben(ordner.Pfad() / "boden.png", PngDatei(3, 3, std::vector<std::uint16_t>(9, 20000)));
        const QString gut = QString::fromStdString(Utf8(ordner.Pfad() / "boden.png"));
        Ansicht a;
        bool offenNachFehler = false;
        QString groesse;
        Modalbediener bediener([&](QWidget& d) {
            auto* datei = d.findChild<QLineEdit*>(QStringLiteral("edtDatei"));
            auto* ok = d.findChild<QAbstractButton*>(QStringLiteral("btnOK"));
            QVERIFY(datei && ok);
            Tippen(datei, gut + QStringLiteral(".fehlt"));
            Klicken(ok);
            offenNachFehler = d.isVisible();
            Tippen(datei, gut);
            Tippen(d.findChild<QLineEdit*>(QStringLiteral("edtHeightScale")), QStringLiteral("6.5535"));
            Klicken(d.findChild<QLineEdit*>(QStringLiteral("edtAbstand")));  // leaving the field reads it
            groesse = d.findChild<QLabel*>(QStringLiteral("lblGroesse"))->text();
            Klicken(ok);
        });
        Klicken(a.Knopf("btnGelaende"));
        QCOMPARE(bediener.Bedient(), 1);
        QVERIFY(offenNachFehler);
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QVERIFY(a.dialoge.fehler[0].find("boden.png.fehlt") != std::string::npos);
        QCOMPARE(groesse, QStringLiteral("Size: 3 x 3 pixels, 2 x 2 m"));
        QVERIFY(a.form.Gelaendewahl.has_value());
        QVERIFY(a.fenster.isWindowModified());

        Klicken(a.Knopf("btnPunkteAufGelaende"));
        QCOMPARE(a.Feld("edtSplinePtsY")->text(), QStringLiteral("2.05"));
    }

    // "Shape terrain..." in the dialog: the terrain is taken, the new image asked for
    // beside the source and written with its masks; the source stays as it was.
    void FormenSchreibtEinNeuesBild() {
        TempOrdner ordner;
        const std::vector<std::uint16_t> eben(65 * 65, 20000);
        const std::string quelle = PngDatei(65, 65, eben);
        DateiSchreiben(ordner.Pfad() / "boden.png", quelle);
        const QString bild = QString::fromStdString(Utf8(ordner.Pfad() / "boden.png"));
        Ansicht a;
        a.form.SplinePunkte.Punkt(1)->Z = 20;  // a 20 m road from the origin along Z
        a.dialoge.antworten.push_back(Utf8(ordner.Pfad() / "neu.png"));
        Modalbediener bediener([&](QWidget& d) {
            Tippen(d.findChild<QLineEdit*>(QStringLiteral("edtDatei")), bild);
            Tippen(d.findChild<QLineEdit*>(QStringLiteral("edtHeightScale")), QStringLiteral("6.5535"));
            Klicken(d.findChild<QCheckBox*>(QStringLiteral("cboMasken")));
            Klicken(d.findChild<QAbstractButton*>(QStringLiteral("btnFormen")));
        });
        Klicken(a.Knopf("btnGelaende"));
        QCOMPARE(bediener.Bedient(), 1);
        QVERIFY2(a.dialoge.fehler.empty(), a.dialoge.fehler.empty() ? "" : a.dialoge.fehler[0].c_str());
        QCOMPARE(a.dialoge.aufrufe.back().Dateiname, Utf8(ordner.Pfad() / "boden_shaped.png"));
        QVERIFY(std::filesystem::is_regular_file(ordner.Pfad() / "neu.png"));
        QVERIFY(std::filesystem::is_regular_file(ordner.Pfad() / "neu_roadway.png"));
        QVERIFY(std::filesystem::is_regular_file(ordner.Pfad() / "neu_borders.png"));
        QCOMPARE(DateiLesen(ordner.Pfad() / "boden.png"), quelle);
        QVERIFY(a.Widget<QPlainTextEdit>("mmoStatus")
                    ->toPlainText()
                    .contains(QStringLiteral("Terrain shaped into")));
    }
};

QTEST_MAIN(Gelaendedialog)
#include "test_Gelaendedialog.moc"
