// The settings dialog from the main window's button: filled from the window's settings,
// taken back on OK only, with its own texture browse.
#include "tests/qt/Qthilfen.h"

#include <QPushButton>

using namespace pavolant;
using namespace pavolant::test;

namespace {

QLineEdit* Feld(QWidget& dialog, const char* name) {
    auto* w = dialog.findChild<QLineEdit*>(QString::fromLatin1(name));
    if (!w) throw std::logic_error(std::string("no field ") + name);
    return w;
}

QAbstractButton* Knopf(QWidget& dialog, const char* name) {
    auto* w = dialog.findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!w) throw std::logic_error(std::string("no button ") + name);
    return w;
}

QStringList Felder(QWidget& d) {
    QStringList s;
    for (const char* n : {"edtLaenge", "edtWinkel", "edtSlope", "edtZrotMin", "edtmaxSturz", "edtStirnTextur",
                          "edtStirnBreite", "edtStirnHoehe"})
        s << Feld(d, n)->text();
    return s;
}

}  // namespace

class Einstellungen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    void OkUebernimmtBeideSchreibweisen() {
        Ansicht a;
        QStringList gezeigt;
        Modalbediener bediener([&](QWidget& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Settings     "));
            gezeigt = Felder(d);
            Tippen(Feld(d, "edtLaenge"), QStringLiteral("2.5"));
            Tippen(Feld(d, "edtmaxSturz"), QStringLiteral("12,5"));
            Klicken(d.findChild<QCheckBox*>(QStringLiteral("cboAlteDreiecke")));
            Klicken(Knopf(d, "btnOK"));
        });
        Klicken(a.Knopf("bbnPreferences"));
        QCOMPARE(bediener.Bedient(), 1);
        QCOMPARE(gezeigt, QStringList({"2", "3", "1", "1", "30", "", "5", "5"}));
        QCOMPARE(a.form.MinLaenge, 2.5);
        QCOMPARE(a.form.MaxSturz, 12.5);
        QVERIFY(a.form.DreieckeSym);
        QVERIFY(a.dialoge.fehler.empty());
    }

    // Cancel, and closing the window, change nothing; the next showing has the old value.
    void AbbrechenVerwirft() {
        Ansicht a;
        {
            Modalbediener bediener([&](QWidget& d) {
                Tippen(Feld(d, "edtWinkel"), QStringLiteral("9"));
                Klicken(Knopf(d, "Button1"));
            });
            Klicken(a.Knopf("bbnPreferences"));
            QCOMPARE(bediener.Bedient(), 1);
        }
        QCOMPARE(a.form.MinWinkel, 3.0);
        {
            Modalbediener bediener([&](QWidget& d) {
                QCOMPARE(Feld(d, "edtWinkel")->text(), QStringLiteral("3"));
                Tippen(Feld(d, "edtWinkel"), QStringLiteral("8"));
                QTest::keyClick(&d, Qt::Key_Escape);
            });
            Klicken(a.Knopf("bbnPreferences"));
            QCOMPARE(bediener.Bedient(), 1);
        }
        QCOMPARE(a.form.MinWinkel, 3.0);
    }

    // A field that is no number stops the read-back there with the error box: what came
    // before it is stored, the rest keeps its value.
    void SchlechteZahlStopptDasZuruecklesen() {
        Ansicht a;
        Modalbediener bediener([&](QWidget& d) {
            Tippen(Feld(d, "edtLaenge"), QStringLiteral("4"));
            Tippen(Feld(d, "edtWinkel"), QStringLiteral("x"));
            Tippen(Feld(d, "edtSlope"), QStringLiteral("7"));
            Klicken(Knopf(d, "btnOK"));
        });
        Klicken(a.Knopf("bbnPreferences"));
        QCOMPARE(bediener.Bedient(), 1);
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(a.dialoge.fehler[0]),
                 QStringLiteral("'x' ist kein gültiger Gleitkommawert"));
        QCOMPARE(a.form.MinLaenge, 4.0);
        QCOMPARE(a.form.MinWinkel, 3.0);
        QCOMPARE(a.form.MinSteigung, 1.0);
    }

    // Browse puts the bare file name into the field; the fill gets it only with OK.
    void DurchsuchenNurDerDateiname() {
        Ansicht a;
        a.form.FuellFlaeche.Textur = "alt.dds";
        a.dialoge.antworten = {std::string("/tex/front.dds")};
        std::string nachDemDurchsuchen;
        Modalbediener bediener([&](QWidget& d) {
            Klicken(Knopf(d, "bbnRandRLoadTex"));
            QCOMPARE(Feld(d, "edtStirnTextur")->text(), QStringLiteral("front.dds"));
            nachDemDurchsuchen = a.form.FuellFlaeche.Textur;
            Klicken(Knopf(d, "btnOK"));
        });
        Klicken(a.Knopf("bbnPreferences"));
        QCOMPARE(bediener.Bedient(), 1);
        QCOMPARE(QString::fromStdString(nachDemDurchsuchen), QStringLiteral("alt.dds"));
        QCOMPARE(QString::fromStdString(a.form.FuellFlaeche.Textur), QStringLiteral("front.dds"));
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
        const DateiAuswahl& auswahl = a.dialoge.aufrufe[0];
        QCOMPARE(QString::fromStdString(auswahl.Dateiname), QStringLiteral("alt.dds"));
        QVERIFY(auswahl.Filter.empty());
        QVERIFY(!auswahl.MussExistieren);
    }
};

QTEST_MAIN(Einstellungen)
#include "test_Einstellungen.moc"
