// A border enabled, edited and copied to the other side, all through the widgets.
#include "tests/qt/Qthilfen.h"

#include "model/Zahlen.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QSpinBox>

#include <cmath>

using namespace pavolant;
using namespace pavolant::test;

class Raender : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // A new border shows segment 1 of 1 with the model's values; the custom normal field
    // stays disabled while its box is unchecked, though its group was disabled before.
    void EinschaltenZeigtSegmentEins() {
        Ansicht a;
        Klicken(a.Box("cboRandRenable"));
        auto* nr = a.Widget<QSpinBox>("sedRandRNr");
        QVERIFY(nr->isVisible());
        QCOMPARE(nr->minimum(), 0);
        QCOMPARE(nr->maximum(), 1);
        QCOMPARE(nr->value(), 1);
        QCOMPARE(a.Widget<QGroupBox>("gboRandRSegmente")->title(), QStringLiteral("Right bordersegments:1"));
        QCOMPARE(a.Feld("edtRandRnormale")->text(), QStringLiteral("90"));
        QVERIFY(!a.Feld("edtRandRnormale")->isEnabled());
        QVERIFY(a.Feld("edtRandRBreite")->isEnabled());
        QCOMPARE(a.Feld("edtRandRTexFile")->text(), QString());
        Klicken(a.Box("cboRandRnormMan"));
        QVERIFY(a.Feld("edtRandRnormale")->isEnabled());
        // Segment 0 disables width and angle.
        Klicken(nr);
        QTest::keyClick(nr, Qt::Key_Down);
        QCOMPARE(a.form.RandR.AktSegment, 0);
        QVERIFY(!a.Feld("edtRandRBreite")->isEnabled());
        QVERIFY(!a.Feld("edtRandRWinkel")->isEnabled());
    }

    // Edit the right border (fields commit as they are left), append a segment, then copy
    // it onto the left border, which is off: the copy turns it on with segment 1 shown.
    void BearbeitenUndNachLinksKopieren() {
        Ansicht a;
        Klicken(a.Box("cboRandRenable"));
        Tippen(a.Feld("edtRandRBreite"), QStringLiteral("2"));
        Tippen(a.Feld("edtRandRWinkel"), QStringLiteral("12,3456"));
        QCOMPARE(a.form.RandR.Segment(1)->Breite, 2.0);
        Tippen(a.Feld("edtRandREnde"), QStringLiteral("0,5"));
        // The angle is held in radians and shown to two decimals.
        QCOMPARE(a.form.RandR.Segment(1)->Winkel, GradZuRad(12.3456));
        QCOMPARE(a.Feld("edtRandRWinkel")->text(), QStringLiteral("12,35"));
        Klicken(a.Feld("edtRandRBreite"));
        QCOMPARE(a.form.RandR.Segment(1)->U, 0.5);

        const std::size_t vorher = a.melder.eintraege.size();
        Klicken(a.Knopf("spbRandRAddEnd"));
        QCOMPARE(a.form.RandR.AnzahlSegmente(), 3);
        QCOMPARE(a.Widget<QGroupBox>("gboRandRSegmente")->title(), QStringLiteral("Right bordersegments:2"));
        QCOMPARE(a.Widget<QSpinBox>("sedRandRNr")->value(), 2);
        QCOMPARE(a.Feld("edtRandRBreite")->text(), QStringLiteral("0"));
        // Exactly one piece of advice: the new segment's zero length.
        QCOMPARE(a.melder.eintraege.size(), vorher + 1);
        QCOMPARE(a.melder.eintraege.back().art, MeldungsArt::Warnung);
        QVERIFY(a.melder.eintraege.back().text.find("Length is smaller than 1mm") != std::string::npos);
        Tippen(a.Feld("edtRandRBreite"), QStringLiteral("1,5"));
        Tippen(a.Feld("edtRandRTexLaenge"), QStringLiteral("4"));  // leaves the segment group: commits

        QVERIFY(!a.Box("cboRandLenable")->isChecked());
        Klicken(a.Knopf("spbCopyToLeft"));  // CopyR: the right border onto the left one
        QVERIFY(a.Box("cboRandLenable")->isChecked());
        QVERIFY(a.Widget<QGroupBox>("gboRandL")->isVisible());
        QVERIFY(a.Widget<QGroupBox>("gboRandLSegmente")->isVisible());
        QCOMPARE(a.form.RandL.AnzahlSegmente(), 3);
        QVERIFY(!a.form.RandL.Rechts);
        QCOMPARE(a.form.RandL.Segment(2)->Breite, 1.5);
        // The texture length typed into the source's group went with the copy.
        QCOMPARE(a.form.RandL.TexturLaenge, 4.0);
        QCOMPARE(a.Feld("edtRandLTexLaenge")->text(), QStringLiteral("4"));
        QCOMPARE(a.Widget<QSpinBox>("sedRandLNr")->value(), 1);
        QCOMPARE(a.Feld("edtRandLBreite")->text(), QStringLiteral("2"));
        QCOMPARE(a.Widget<QGroupBox>("gboRandLSegmente")->title(), QStringLiteral("Left bordersegments:2"));

        // Listed: the copy's points under the left border's name, the same numbers as
        // the right border's.
        QStringList links;
        Modalbediener bediener([&](QWidget& d) {
            links =
                d.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText().split(QLatin1Char('\n'));
        });
        Klicken(a.Knopf("bbnShowLeftParameter"));
        QCOMPARE(bediener.Bedient(), 1);
        std::vector<std::string> rechts;
        a.form.RandR.Auflisten(rechts);
        QCOMPARE(links.size(), 4);
        QCOMPARE(links[0], QStringLiteral("BorderPoint output for: left Border"));
        for (int i = 1; i < 4; ++i) QCOMPARE(S(links[i]), rechts[static_cast<std::size_t>(i)]);
        QVERIFY(links[3].contains(QStringLiteral("Length:1,5")));
    }

    // Leaving the left editor's custom normal field commits, as on the right.
    void LinkeEigeneNormaleWirdBeimVerlassenUebernommen() {
        Ansicht a;
        Klicken(a.Box("cboRandLenable"));
        Klicken(a.Box("cboRandLnormMan"));
        Tippen(a.Feld("edtRandLnormale"), QStringLiteral("45"));
        Klicken(a.Feld("edtRandLEnde"));
        QCOMPARE(a.form.RandL.Segment(1)->NormalenWinkel, GradZuRad(45));
        QVERIFY(a.form.RandL.Segment(1)->NormaleMan);
    }

    // The texture group commits when it is left; "Width -> U" and the pixel fields use it.
    void TexturgruppeUndBreiteZuU() {
        Ansicht a;
        Klicken(a.Box("cboRandRenable"));
        Tippen(a.Feld("edtRandRBreite"), QStringLiteral("1"));
        Klicken(a.Knopf("spbRandRAddEnd"));
        Tippen(a.Feld("edtRandRBreite"), QStringLiteral("0,5"));
        Tippen(a.Feld("edtRandRTexBreite"), QStringLiteral("2"));
        Tippen(a.Feld("edtRandRTexBreitePxl"), QStringLiteral("1024"));
        Klicken(a.Knopf("btnRandRcalcU"));
        QCOMPARE(a.form.RandR.TexturBreite, 2.0);
        QCOMPARE(a.form.RandR.Pixel, 1024);
        QCOMPARE(a.form.RandR.Segment(1)->U, 0.5);
        QCOMPARE(a.form.RandR.Segment(2)->U, 0.75);
        QCOMPARE(a.Feld("edtRandREnde")->text(), QStringLiteral("0,75"));
        QCOMPARE(a.Feld("edtRandREndePxl")->text(), QStringLiteral("768"));
        // End pixels to End on leaving the pixel field.
        Tippen(a.Feld("edtRandREndePxl"), QStringLiteral("512"));
        Klicken(a.Feld("edtRandRWinkel"));
        QCOMPARE(a.Feld("edtRandREnde")->text(), QStringLiteral("0,5"));
    }
};

QTEST_MAIN(Raender)
#include "test_Raender.moc"
