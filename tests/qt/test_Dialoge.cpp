// The desktop's boxes and file dialogs: icon, text and one OK button for the messages,
// the error box, and the file dialogs set up from the window's choices.
#include "tests/qt/Qthilfen.h"

#include "persistence/Plattform.h"
#include "ui/qt/QtDialoge.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace pavolant;
using namespace pavolant::test;

namespace {

struct Box {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QMessageBox::StandardButtons knoepfe;
    QString details;
};

// Reads the box that `zeigen` opens and confirms it with its OK button.
Box Gezeigt(const std::function<void()>& zeigen) {
    Box box;
    int bedient = 0;
    {
        Modalbediener bediener([&box](QWidget& w) {
            auto* m = qobject_cast<QMessageBox*>(&w);
            if (!m) return;
            box = {m->icon(), m->text(), m->standardButtons(), m->detailedText()};
            m->button(QMessageBox::Ok)->click();
        });
        zeigen();
        bedient = bediener.Bedient();
    }
    if (bedient != 1) throw std::runtime_error("no modal box was shown");
    return box;
}

const DateiAuswahl kAusgabe{{{"Giants-Editor", "*.i3d"}, {"all files   ", "*.*"}}, "i3d", "test.i3d", false};
const DateiAuswahl kParameterOeffnen{
    {{"Parameter", "*.ini"}, {"All files   ", "*.*"}}, "ini", "Parameter.ini", true};

// A folder with letters beyond ASCII in its name inside the test's temporary one, and
// its name as the dialogs give it back (UTF-8 read through PfadAusUtf8, '/' between the
// parts on every system).
std::filesystem::path UmlautOrdner(const TempOrdner& ordner) {
    const std::filesystem::path pfad = ordner.Pfad() / PfadAusUtf8(
                                                           "Stra\xc3\x9f"
                                                           "e \xce\xb1\xe2\x82\xac");
    std::filesystem::create_directory(pfad);
    return pfad;
}
QString AlsDialogpfad(const std::filesystem::path& pfad) {
    return QDir::fromNativeSeparators(QString::fromStdString(Utf8(pfad)));
}

}  // namespace

class Dialoge_ : public QObject {
    Q_OBJECT

private slots:
    // The tests answer Qt's own file dialog; Windows' native one (the program's there)
    // cannot be scripted from inside the process.
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void Meldungen() {
        qt::QtMelder melder;
        Box b = Gezeigt([&] { melder.Warnung("Zwei Punkte müssen mindestens vorhanden sein!"); });
        QCOMPARE(b.icon, QMessageBox::Warning);
        QCOMPARE(b.text, QStringLiteral("Zwei Punkte müssen mindestens vorhanden sein!"));
        QCOMPARE(b.knoepfe, QMessageBox::StandardButtons(QMessageBox::Ok));

        // The info box's CR breaks become lines.
        b = Gezeigt(
            [&] { melder.Information("INOFFICIAL\rEN-VERSION!\r\rVersion 1.64 (2017-01-03) by Quenlor"); });
        QCOMPARE(b.icon, QMessageBox::Information);
        QCOMPARE(b.text, QStringLiteral("INOFFICIAL\nEN-VERSION!\n\nVersion 1.64 (2017-01-03) by Quenlor"));
        QCOMPARE(b.knoepfe, QMessageBox::StandardButtons(QMessageBox::Ok));

        qt::QtDialoge dialoge;
        b = Gezeigt([&] { dialoge.Fehler("'abc' ist kein gültiger Gleitkommawert"); });
        QCOMPARE(b.icon, QMessageBox::Critical);
        QCOMPARE(b.text, QStringLiteral("'abc' ist kein gültiger Gleitkommawert"));
        QCOMPARE(qt::Meldungstext("a\r\nb\rc\nd"), QStringLiteral("a\nb\nc\nd"));
        QVERIFY(b.details.isEmpty());

        // Many lines (the repeats of one event) keep the box on the screen: eleven of
        // them, and every line in the details.
        std::string lang;
        QStringList zeilen;
        for (int i = 1; i <= 40; ++i) {
            lang += (i > 1 ? "\r" : "") + std::string("Zeile ") + std::to_string(i);
            zeilen << QStringLiteral("Zeile %1").arg(i);
        }
        b = Gezeigt([&] { melder.Warnung(lang); });
        QCOMPARE(b.text, QStringList(zeilen.mid(0, 11)).join(QLatin1Char('\n')) + QStringLiteral("\n…"));
        QCOMPARE(b.details, zeilen.join(QLatin1Char('\n')));
        QVERIFY(melder.JedeMeldungEinBox());
    }

    // The question before unsaved changes are lost: its text, Save, Discard and Cancel
    // with Save the default, each button its answer, Escape cancels.
    void AenderungenSichernFrage() {
        qt::QtDialoge dialoge;
        const std::pair<QMessageBox::StandardButton, Dialoge::Sichern> faelle[] = {
            {QMessageBox::Save, Dialoge::Sichern::Speichern},
            {QMessageBox::Discard, Dialoge::Sichern::Verwerfen},
            {QMessageBox::Cancel, Dialoge::Sichern::Abbrechen},
        };
        for (const auto& [knopf, erwartet] : faelle) {
            Box box;
            bool standardIstSichern = false;
            Modalbediener bediener([&, knopf = knopf](QWidget& w) {
                auto* m = qobject_cast<QMessageBox*>(&w);
                if (!m) return;
                box = {m->icon(), m->text(), m->standardButtons(), m->detailedText()};
                standardIstSichern =
                    static_cast<QAbstractButton*>(m->defaultButton()) == m->button(QMessageBox::Save);
                m->button(knopf)->click();
            });
            QCOMPARE(dialoge.AenderungenSichern("Save changes to Dorf.ini?"), erwartet);
            QCOMPARE(bediener.Bedient(), 1);
            QCOMPARE(box.text, QStringLiteral("Save changes to Dorf.ini?"));
            QCOMPARE(box.knoepfe, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
            QVERIFY(standardIstSichern);
        }
        bool zu = false;
        Modalbediener bediener([&zu](QWidget& w) {
            QTest::keyClick(&w, Qt::Key_Escape);
            zu = !w.isVisible();
        });
        QCOMPARE(dialoge.AenderungenSichern("Save changes to untitled?"), Dialoge::Sichern::Abbrechen);
        QVERIFY(zu);
    }

    // The question before another road's document is replaced: it names the file; only
    // "Replace" replaces, Enter and Escape keep the file.
    void ErsetzenFrage() {
        qt::QtDialoge dialoge;
        const std::string frage = "/tmp/a.i3d already exists. Replace it with this road?";
        struct Fall {
            int taste;  // 0: the button "Replace" clicked
            bool erwartet;
        };
        for (const Fall& fall : {Fall{0, true}, Fall{Qt::Key_Return, false}, Fall{Qt::Key_Escape, false}}) {
            QString text;
            Modalbediener bediener([&](QWidget& w) {
                auto* m = qobject_cast<QMessageBox*>(&w);
                if (!m) return;
                text = m->text();
                if (fall.taste) QTest::keyClick(m, static_cast<Qt::Key>(fall.taste));
                for (QAbstractButton* b : m->buttons())
                    if (!fall.taste && b->text() == QStringLiteral("Replace")) b->click();
            });
            QCOMPARE(dialoge.Ersetzen(frage), fall.erwartet);
            QCOMPARE(bediener.Bedient(), 1);
            QCOMPARE(text, QString::fromStdString(frage));
        }
    }

    // The main window's info button through the real boxes.
    void InfoboxDesFensters() {
        qt::QtMelder melder;
        SkriptDialoge dialoge;
        Hauptfenster form(melder, dialoge);
        qt::Hauptfensteransicht fenster(form, dialoge);
        melder.SetzeFenster(&fenster);
        fenster.show();
        QVERIFY(QTest::qWaitForWindowActive(&fenster));
        const Box b =
            Gezeigt([&] { Klicken(fenster.findChild<QAbstractButton*>(QStringLiteral("bbnInfo"))); });
        QCOMPARE(b.icon, QMessageBox::Information);
        QVERIFY(b.text.startsWith(QStringLiteral("INOFFICIAL\nEN-VERSION!\n\n")));
    }

    void Filter() {
        QCOMPARE(qt::Namensfilter(kAusgabe), QStringList({"Giants-Editor (*.i3d)", "all files (*)"}));
        QCOMPARE(qt::Namensfilter(DateiAuswahl{}), QStringList({"All files (*)"}));
    }

    void DialogEinrichten() {
        QFileDialog speichern;
        qt::Einrichten(speichern, kAusgabe, true);
        QCOMPARE(speichern.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(speichern.fileMode(), QFileDialog::AnyFile);
        QCOMPARE(speichern.defaultSuffix(), QStringLiteral("i3d"));
        QVERIFY(speichern.testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(speichern.nameFilters(), qt::Namensfilter(kAusgabe));

        QFileDialog oeffnen;
        qt::Einrichten(oeffnen, kParameterOeffnen, false);
        QCOMPARE(oeffnen.acceptMode(), QFileDialog::AcceptOpen);
        QCOMPARE(oeffnen.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(oeffnen.defaultSuffix(), QStringLiteral("ini"));
    }

    void Standardendung() {
        TempOrdner ordner;
        const QString o = QString::fromStdString(ordner.Pfad().string());
        QCOMPARE(qt::MitStandardendung(o + "/strasse", kAusgabe, true), o + "/strasse.i3d");
        QCOMPARE(qt::MitStandardendung(o + "/strasse.xml", kAusgabe, true), o + "/strasse.xml");
        DateiAuswahl ohne = kAusgabe;
        ohne.StandardEndung.clear();
        QCOMPARE(qt::MitStandardendung(o + "/strasse", ohne, true), o + "/strasse");
        // Opening: the extended name only where the bare one is missing and it exists.
        QCOMPARE(qt::MitStandardendung(o + "/p", kParameterOeffnen, false), o + "/p");
        DateiSchreiben(ordner / "p.ini", "[Preferences]\r\n");
        QCOMPARE(qt::MitStandardendung(o + "/p", kParameterOeffnen, false), o + "/p.ini");
        DateiSchreiben(ordner / "p", "");
        QCOMPARE(qt::MitStandardendung(o + "/p", kParameterOeffnen, false), o + "/p");
    }

    // The save dialog as the user answers it: a name without extension gets it; the
    // preset name is offered; cancelling gives nothing.
    void SpeichernUndAbbrechen() {
        TempOrdner ordner;
        const QString o = AlsDialogpfad(UmlautOrdner(ordner));
        qt::QtDialoge dialoge;
        QString vorbelegt;
        std::optional<std::string> gewaehlt;
        {
            Modalbediener bediener([&](QWidget& w) {
                auto* d = qobject_cast<QFileDialog*>(&w);
                QVERIFY(d);
                vorbelegt = d->selectedFiles().value(0);
                d->selectFile(o + "/neu");
                static_cast<QDialog*>(d)->accept();
            });
            gewaehlt = dialoge.DateiSpeichern(kAusgabe);
            QCOMPARE(bediener.Bedient(), 1);
        }
        QVERIFY(vorbelegt.endsWith(QStringLiteral("/test.i3d")));
        QVERIFY(gewaehlt.has_value());
        QCOMPARE(QString::fromStdString(*gewaehlt), o + "/neu.i3d");
        {
            Modalbediener bediener([](QWidget& w) { qobject_cast<QDialog*>(&w)->reject(); });
            QVERIFY(!dialoge.DateiSpeichern(kAusgabe).has_value());
            QCOMPARE(bediener.Bedient(), 1);
        }
    }

    // An open dialog that needs an existing file offers only existing files and returns
    // the chosen one.
    void OeffnenNurVorhandene() {
        TempOrdner ordner;
        const std::filesystem::path umlaute = UmlautOrdner(ordner);
        DateiSchreiben(umlaute / "Parameter.ini", "[Preferences]\r\n");
        const QString o = AlsDialogpfad(umlaute);
        qt::QtDialoge dialoge;
        QFileDialog::FileMode modus = QFileDialog::AnyFile;
        Modalbediener bediener([&](QWidget& w) {
            auto* d = qobject_cast<QFileDialog*>(&w);
            QVERIFY(d);
            modus = d->fileMode();
            d->selectFile(o + "/Parameter.ini");
            static_cast<QDialog*>(d)->accept();
        });
        const std::optional<std::string> gewaehlt = dialoge.DateiOeffnen(kParameterOeffnen);
        QCOMPARE(bediener.Bedient(), 1);
        QCOMPARE(modus, QFileDialog::ExistingFile);
        QVERIFY(gewaehlt.has_value());
        QCOMPARE(QString::fromStdString(*gewaehlt), o + "/Parameter.ini");
    }
};

QTEST_MAIN(Dialoge_)
#include "test_Dialoge.moc"
