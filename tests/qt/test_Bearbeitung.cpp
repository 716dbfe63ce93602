// Editing the road through the window: the title with the parameter file's name and the
// modified marker, undo and redo from the keyboard and the Edit menu, the question
// before closing, loading or importing loses unsaved changes (each answer), the File
// menu's shortcuts, glyph buttons reached with Tab, mnemonics, and the focus on the
// field whose text stopped an event.
#include "tests/qt/Qthilfen.h"

#include "ui/qt/Programmstart.h"

#include <QAction>
#include <QSpinBox>
#include <QToolButton>

using namespace pavolant;
using namespace pavolant::test;

namespace {

using Sichern = Dialoge::Sichern;

QString Titel(Ansicht& a) { return a.fenster.windowTitle(); }

// A change the window has taken as a step: a new roadway width, the field left with Tab.
void Aendern(Ansicht& a, const QString& breite = QStringLiteral("6,5")) {
    Tippen(a.Feld("edtBreite"), breite);
    QTest::keyClick(a.Feld("edtBreite"), Qt::Key_Tab);
    QCoreApplication::processEvents();
}

void Taste(QWidget* w, Qt::Key taste, Qt::KeyboardModifiers mod = Qt::NoModifier) {
    QTest::keyClick(w, taste, mod);
    QCoreApplication::processEvents();
}

// The roadway width a parameter file holds, read by a window of its own.
std::string BreiteIn(const std::filesystem::path& pfad) {
    Fenster f;
    f.form.ParameterLaden(pfad);
    return f.form.edtBreite.Text;
}

bool IstParameterOeffnen(const DateiAuswahl& d) { return d.MussExistieren && d.StandardEndung == "ini"; }
bool IstParameterSpeichern(const DateiAuswahl& d) { return !d.MussExistieren && d.StandardEndung == "ini"; }
bool IstSplineImport(const DateiAuswahl& d) {
    return !d.Filter.empty() && d.Filter[0].Muster == "*.i3d" && d.StandardEndung.empty();
}

}  // namespace

class Bearbeitung : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // The title names the file (or "untitled") and carries the marker from the first
    // typed character; saving clears it and names the file.
    void TitelUndGeaendertMarkierung() {
        TempOrdner ordner;
        Ansicht a;
        const std::string anfang = a.form.edtBreite.Text;
        QCOMPARE(Titel(a), QStringLiteral("Pavolant v1.64 by Quenlor - untitled[*]"));
        QVERIFY(!a.fenster.isWindowModified());

        Tippen(a.Feld("edtBreite"), QStringLiteral("6,5"));
        QVERIFY(a.fenster.isWindowModified());
        QVERIFY(a.fenster.AktionRueckgaengig().isEnabled());
        QTest::keyClick(a.Feld("edtBreite"), Qt::Key_Tab);
        QCoreApplication::processEvents();
        QVERIFY(a.form.Geaendert());
        QVERIFY(a.fenster.isWindowModified());

        // Ctrl+S without a file: the save dialog, then the name in the title.
        a.dialoge.antworten.push_back((ordner / "Dorf.ini").string());
        Taste(a.Feld("edtSturz"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
        QVERIFY(IstParameterSpeichern(a.dialoge.aufrufe[0]));
        QCOMPARE(Titel(a), QStringLiteral("Pavolant v1.64 by Quenlor - Dorf.ini[*]"));
        QVERIFY(!a.fenster.isWindowModified());
        QCOMPARE(BreiteIn(ordner / "Dorf.ini"), std::string("6,5"));

        // Undoing the saved change is a change again.
        Taste(a.Feld("edtSturz"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(a.form.edtBreite.Text, anfang);
        QVERIFY(a.fenster.isWindowModified());

        // Ctrl+S with a file saves there without asking; what is typed counts.
        Tippen(a.Feld("edtBreite"), QStringLiteral("8,5"));
        Taste(a.Feld("edtBreite"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
        QCOMPARE(BreiteIn(ordner / "Dorf.ini"), std::string("8,5"));
        QVERIFY(!a.fenster.isWindowModified());
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtBreite"));

        // Save as always asks, and the title follows the new name.
        a.dialoge.antworten.push_back((ordner / "Weg.ini").string());
        Taste(a.Feld("edtBreite"), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{2});
        QCOMPARE(Titel(a), QStringLiteral("Pavolant v1.64 by Quenlor - Weg.ini[*]"));
        QVERIFY(std::filesystem::exists(ordner / "Weg.ini"));
    }

    // Ctrl+Z in the field being typed into takes back the road's step, not the field's
    // last keystroke; Ctrl+Y and Ctrl+Shift+Z bring it again.
    void RueckgaengigUndWiederholenMitTasten() {
        Ansicht a;
        const QString anfang = a.Feld("edtBreite")->text();
        QLineEdit* sturz = a.Feld("edtSturz");
        const QString sturzAnfang = sturz->text();
        Aendern(a, QStringLiteral("6,5"));
        Tippen(sturz, QStringLiteral("12"));

        // The typing in the focused field is the first step undone.
        Taste(sturz, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(sturz->text(), sturzAnfang);
        QCOMPARE(a.Feld("edtBreite")->text(), QStringLiteral("6,5"));
        Taste(sturz, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(a.Feld("edtBreite")->text(), anfang);
        QCOMPARE(QString::fromStdString(a.form.edtBreite.Text), anfang);
        QVERIFY(!a.fenster.AktionRueckgaengig().isEnabled());
        QVERIFY(a.fenster.AktionWiederholen().isEnabled());
        QVERIFY(!a.fenster.isWindowModified());

        Taste(sturz, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(a.Feld("edtBreite")->text(), QStringLiteral("6,5"));
        Taste(sturz, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sturz->text(), QStringLiteral("12"));
        QVERIFY(!a.fenster.AktionWiederholen().isEnabled());
        QCOMPARE(QApplication::focusWidget(), sturz);

        // The Edit menu's entries do the same.
        a.fenster.AktionRueckgaengig().trigger();
        QCOMPARE(sturz->text(), sturzAnfang);
        a.fenster.AktionWiederholen().trigger();
        QCOMPARE(sturz->text(), QStringLiteral("12"));
        QVERIFY(a.dialoge.fehler.empty());
    }

    // Typing after an undo starts anew: redo is off and does nothing.
    void TippenNachRueckgaengigBeendetWiederholen() {
        Ansicht a;
        Aendern(a, QStringLiteral("6,5"));
        Taste(a.Feld("edtSturz"), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(a.fenster.AktionWiederholen().isEnabled());
        Tippen(a.Feld("edtSturz"), QStringLiteral("3"));
        QVERIFY(!a.fenster.AktionWiederholen().isEnabled());
        Taste(a.Feld("edtSturz"), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(a.Feld("edtSturz")->text(), QStringLiteral("3"));
        QVERIFY(a.Feld("edtBreite")->text() != QStringLiteral("6,5"));
    }

    // The output file is no part of the road: there Ctrl+Z is the field's own undo, and
    // the window logic follows the field.
    void AusgabefeldBehaeltSeinRueckgaengig() {
        Ansicht a;
        Aendern(a, QStringLiteral("6,5"));
        const QString anfang = a.Feld("edtFileName")->text();
        Tippen(a.Feld("edtFileName"), QStringLiteral("x.i3d"));
        Taste(a.Feld("edtFileName"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(a.Feld("edtFileName")->text(), anfang);
        QCOMPARE(QString::fromStdString(a.form.edtFileName.Text), anfang);
        QCOMPARE(a.Feld("edtBreite")->text(), QStringLiteral("6,5"));
    }

    // Closing with unsaved changes asks; each answer.
    void SchliessenFragt() {
        TempOrdner ordner;
        const std::filesystem::path einstellungen = ordner / "Pavolant.ini";
        {
            // No change, no question.
            Ansicht a;
            a.fenster.SetzeSchliessfrage([&] { return qt::Schliessen(a.form, a.fenster, einstellungen); });
            QVERIFY(a.fenster.close());
            QVERIFY(a.dialoge.fragen.empty());
        }
        std::filesystem::remove(einstellungen);
        {
            Ansicht a;
            a.fenster.SetzeSchliessfrage([&] { return qt::Schliessen(a.form, a.fenster, einstellungen); });
            Aendern(a);
            // Cancel: the window stays, with its changes and without a settings file.
            a.dialoge.sichernAntworten = {Sichern::Abbrechen};
            QVERIFY(!a.fenster.close());
            QVERIFY(a.fenster.isVisible());
            QCOMPARE(a.dialoge.fragen, std::vector<std::string>{"Save changes to untitled?"});
            QVERIFY(a.fenster.isWindowModified());
            QVERIFY(!std::filesystem::exists(einstellungen));

            // Save without a file: the save dialog; cancelled, the window stays.
            a.dialoge.sichernAntworten = {Sichern::Speichern};
            QVERIFY(!a.fenster.close());
            QVERIFY(a.fenster.isVisible());
            QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
            QVERIFY(IstParameterSpeichern(a.dialoge.aufrufe[0]));
            QVERIFY(!std::filesystem::exists(einstellungen));

            // Save with a name: written, then the window closes. A segment width typed
            // but not yet committed into the border is committed and saved too.
            Klicken(a.Box("cboRandLenable"));
            Tippen(a.Feld("edtRandLBreite"), QStringLiteral("2,5"));
            a.dialoge.sichernAntworten = {Sichern::Speichern};
            a.dialoge.antworten.push_back((ordner / "neu.ini").string());
            QVERIFY(a.fenster.close());
            QVERIFY(!a.fenster.isVisible());
            Fenster gelesen;
            gelesen.form.ParameterLaden(ordner / "neu.ini");
            QCOMPARE(gelesen.form.RandL.Segment(1)->Breite, 2.5);
            QCOMPARE(gelesen.form.edtBreite.Text, std::string("6,5"));
            QVERIFY(std::filesystem::exists(einstellungen));
        }
        std::filesystem::remove(einstellungen);
        {
            // Discard: closes without saving anything but the settings.
            Ansicht a;
            a.fenster.SetzeSchliessfrage([&] { return qt::Schliessen(a.form, a.fenster, einstellungen); });
            Aendern(a);
            a.dialoge.sichernAntworten = {Sichern::Verwerfen};
            QVERIFY(a.fenster.close());
            QCOMPARE(a.dialoge.fragen.size(), std::size_t{1});
            QVERIFY(a.dialoge.aufrufe.empty());
            QVERIFY(std::filesystem::exists(einstellungen));
        }
        {
            // A road with a file: Save writes there without a dialog, the question names it.
            Ansicht a;
            a.fenster.SetzeSchliessfrage([&] { return qt::Schliessen(a.form, a.fenster, einstellungen); });
            a.dialoge.antworten.push_back((ordner / "Dorf.ini").string());
            Klicken(a.Knopf("bbnSavePara"));
            Aendern(a, QStringLiteral("5"));
            a.dialoge.sichernAntworten = {Sichern::Speichern};
            QVERIFY(a.fenster.close());
            QCOMPARE(a.dialoge.fragen, std::vector<std::string>{"Save changes to Dorf.ini?"});
            QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
            QCOMPARE(BreiteIn(ordner / "Dorf.ini"), std::string("5"));
        }
    }

    // "Load parameter" (button and Ctrl+O) with unsaved changes asks first; each answer.
    void LadenFragt() {
        TempOrdner ordner;
        {
            Fenster f;
            f.form.edtBreite.Text = std::string("4");  // a move: GCC 12 warns wrongly on copying the literal
            f.form.ParameterSpeichern(ordner / "vier.ini");
        }
        Ansicht a;
        Aendern(a, QStringLiteral("6,5"));

        a.dialoge.sichernAntworten = {Sichern::Abbrechen};
        Klicken(a.Knopf("bbnLoadPara"));
        QCOMPARE(a.dialoge.fragen.size(), std::size_t{1});
        QVERIFY(a.dialoge.aufrufe.empty());
        QCOMPARE(a.Feld("edtBreite")->text(), QStringLiteral("6,5"));

        a.dialoge.sichernAntworten = {Sichern::Verwerfen};
        a.dialoge.antworten.push_back((ordner / "vier.ini").string());
        Taste(a.Feld("edtSturz"), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(a.dialoge.fragen.size(), std::size_t{2});
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
        QVERIFY(IstParameterOeffnen(a.dialoge.aufrufe[0]));
        QCOMPARE(a.Feld("edtBreite")->text(), QStringLiteral("4"));
        QCOMPARE(Titel(a), QStringLiteral("Pavolant v1.64 by Quenlor - vier.ini[*]"));
        QVERIFY(!a.fenster.isWindowModified());

        // Save: into the loaded file, then the open dialog.
        Aendern(a, QStringLiteral("6"));
        a.dialoge.sichernAntworten = {Sichern::Speichern};
        Klicken(a.Knopf("bbnLoadPara"));
        QCOMPARE(a.dialoge.fragen.back(), std::string("Save changes to vier.ini?"));
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{2});
        QVERIFY(IstParameterOeffnen(a.dialoge.aufrufe[1]));
        QCOMPARE(BreiteIn(ordner / "vier.ini"), std::string("6"));

        // Save without a file, the save dialog cancelled: nothing is loaded.
        Ansicht b;
        Aendern(b, QStringLiteral("6,5"));
        b.dialoge.sichernAntworten = {Sichern::Speichern};
        Klicken(b.Knopf("bbnLoadPara"));
        QCOMPARE(b.dialoge.aufrufe.size(), std::size_t{1});
        QVERIFY(IstParameterSpeichern(b.dialoge.aufrufe[0]));
        QCOMPARE(b.Feld("edtBreite")->text(), QStringLiteral("6,5"));
    }

    // The spline point import asks the same question; each answer.
    void ImportFragt() {
        TempOrdner ordner;
        Ansicht a;
        Aendern(a, QStringLiteral("6,5"));
        a.dialoge.sichernAntworten = {Sichern::Abbrechen};
        Klicken(a.Knopf("bbnSplinePtsOpen"));
        QCOMPARE(a.dialoge.fragen, std::vector<std::string>{"Save changes to untitled?"});
        QVERIFY(a.dialoge.aufrufe.empty());

        a.dialoge.sichernAntworten = {Sichern::Verwerfen};
        Klicken(a.Knopf("bbnSplinePtsOpen"));
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{1});
        QVERIFY(IstSplineImport(a.dialoge.aufrufe[0]));

        a.dialoge.sichernAntworten = {Sichern::Speichern};
        a.dialoge.antworten = {(ordner / "vorher.ini").string(), std::nullopt};
        Klicken(a.Knopf("bbnSplinePtsOpen"));
        QCOMPARE(a.dialoge.fragen.size(), std::size_t{3});
        QCOMPARE(a.dialoge.aufrufe.size(), std::size_t{3});
        QVERIFY(IstParameterSpeichern(a.dialoge.aufrufe[1]));
        QVERIFY(IstSplineImport(a.dialoge.aufrufe[2]));
        QCOMPARE(BreiteIn(ordner / "vorher.ini"), std::string("6,5"));
        QVERIFY(!a.fenster.isWindowModified());
    }

    // Go from the keyboard: F5, Ctrl+Return, Ctrl+Enter, only while "Go" is enabled, and
    // with the field being typed into committed first.
    void GoMitTasten() {
        TempOrdner ordner;
        Ansicht a;
        a.form.SplinePunkte.Punkt(1)->Z = 10;  // a road of 10 m
        QLineEdit* sturz = a.Feld("edtSturz");
        Taste(sturz, Qt::Key_F5);
        QVERIFY(!a.form.LetzterLauf());
        a.dialoge.antworten.push_back((ordner / "a.i3d").string());
        Klicken(a.Knopf("bbnSave"));
        QVERIFY(a.fenster.AktionGo().isEnabled());

        Taste(sturz, Qt::Key_F5);
        QVERIFY(a.form.LetzterLauf());
        QVERIFY(a.form.LetzterLauf()->Geschrieben);
        std::filesystem::remove(ordner / "a.i3d");
        Taste(sturz, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(std::filesystem::exists(ordner / "a.i3d"));
        std::filesystem::remove(ordner / "a.i3d");
        Taste(sturz, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QVERIFY(std::filesystem::exists(ordner / "a.i3d"));

        // A pixel width typed but not left is committed before the run reads it.
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("4"));
        Taste(a.Feld("edtTexPxl"), Qt::Key_F5);
        QCOMPARE(a.form.TexPxl, 4);
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtTexPxl"));
        QVERIFY(a.dialoge.fehler.empty());
    }

    // The segment and point glyph buttons are reached with Tab and pressed with Space;
    // a click still leaves the focus where it was.
    void TabErreichtGlyphen() {
        Ansicht a;
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        nr->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        Taste(nr, Qt::Key_Tab);
        QToolButton* einfuegen = a.Widget<QToolButton>("spbSplineAdd");
        QCOMPARE(QApplication::focusWidget(), einfuegen);
        Taste(einfuegen, Qt::Key_Space);
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 3);
        Taste(einfuegen, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), a.Widget<QToolButton>("spbSplineSub"));
        Taste(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), a.Widget<QToolButton>("spbSplineAddEnd"));

        Klicken(a.Feld("edtSplinePtsX"));
        Klicken(a.Knopf("spbSplineAddEnd"));
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtSplinePtsX"));
        QCOMPARE(a.form.SplinePunkte.AnzahlPunkte(), 4);
    }

    // A mnemonic presses its button as a click does: the field being left is committed
    // before the handler runs.
    void KuerzelWieEinKlick() {
        Ansicht a;
        Tippen(a.Feld("edtTexPxl"), QStringLiteral("4"));
        int gesehen = -1;
        a.melder.beimMelden = [&] { gesehen = a.form.TexPxl; };
        Taste(a.Feld("edtTexPxl"), Qt::Key_N, Qt::AltModifier);
        QTRY_COMPARE(a.melder.eintraege.size(), std::size_t{1});
        QCOMPARE(gesehen, 4);
        QCOMPARE(QApplication::focusWidget(), a.Knopf("bbnInfo"));
    }

    // A number that is no number stops "Go": after the error box the field that holds
    // it has the focus, its text selected for typing over.
    void FokusAufDasFehlerfeld() {
        TempOrdner ordner;
        Ansicht a;
        a.form.SplinePunkte.Punkt(1)->Z = 10;
        a.dialoge.antworten.push_back((ordner / "a.i3d").string());
        Klicken(a.Knopf("bbnSave"));
        Tippen(a.Feld("edtBreite"), QStringLiteral("abc"));
        Klicken(a.Feld("edtSturz"));
        Klicken(a.Knopf("bbnGo"));
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{1});
        QCOMPARE(a.form.Fehlerfeld(), std::optional<std::string>("edtBreite"));
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtBreite"));
        QCOMPARE(a.Feld("edtBreite")->text(), QStringLiteral("abc"));
        QCOMPARE(a.Feld("edtBreite")->selectedText(), QStringLiteral("abc"));

        // From the keyboard as well, with the focus in another field.
        Klicken(a.Feld("edtSturz"));
        QCOMPARE(a.Feld("edtBreite")->selectedText(), QString());
        Taste(a.Feld("edtSturz"), Qt::Key_F5);
        QCOMPARE(a.dialoge.fehler.size(), std::size_t{2});
        QCOMPARE(QApplication::focusWidget(), a.Feld("edtBreite"));
        QCOMPARE(a.Feld("edtBreite")->selectedText(), QStringLiteral("abc"));
    }
};

QTEST_MAIN(Bearbeitung)
#include "test_Bearbeitung.moc"
