// The main window as it opens: every control of the window logic is a widget under its
// name that shows the control's state, and the start state the user sees.
#include "tests/qt/Qthilfen.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace pavolant;
using namespace pavolant::test;

namespace {

// The lists of names in rows (clang-format would give each name a line of its own).
// clang-format off
const char* const kEdits[] = {
    "edtFileName",        "edtShapeName",         "edtBreite",          "edtSchleppkurve",   "edtSturz",
    "edtTextur1FileName", "edtTextur1Laenge",     "edtTexPxl",          "edtTexStart",       "edtTexStartPxl",
    "EdtTexEnde",         "EdtTexEndePxl",        "edtRandomBackfold",  "edtTexL0",          "edtStreckung",
    "edtSplinePtsX",      "edtSplinePtsY",        "edtSplinePtsZ",      "edtSplinePtsXrot",  "edtSplinePtsYrot",
    "edtSplinePtsZrot",   "edtTrafficSplineRechts", "edtTrafficSplineLinks", "edtRandRTexFile", "edtRandRTexLaenge",
    "edtRandRTexBreite",  "edtRandRTexBreitePxl", "edtRandRBreite",     "edtRandRWinkel",    "edtRandREnde",
    "edtRandREndePxl",    "edtRandRnormale",      "edtRandLTexFile",    "edtRandLTexLaenge", "edtRandLTexBreite",
    "edtRandLTexBreitePxl", "edtRandLBreite",     "edtRandLWinkel",     "edtRandLEnde",      "edtRandLEndePxl",
    "edtRandLnormale",
};
const char* const kBoxen[] = {
    "cboRandLenable",   "cboCreateFahrbahn",      "cboRandRenable",        "cboSchleppkurve",
    "cboSturz",         "cboRandomBackFold",      "cboRuecksetzen",        "cboCreateTG",
    "cboRandFuellen",   "cboTrafficSpline",       "cboTrafficSplineRechts", "cboTrafficSplineLinks",
    "cboRandRRuecksetzen", "cboRandRnormMan",     "cboRandLRuecksetzen",   "cboRandLnormMan",
};
// clang-format on
// Bitmap and plain buttons take the focus; glyph buttons only from the keyboard.
const char* const kFokusKnoepfe[] = {
    "bbnSave",          "bbnGo",           "bbnLoadPara",
    "bbnSavePara",      "bbnCopyMemo",     "bbnLoadFahrbahnTex",
    "bbnInfo",          "bbnRandRLoadTex", "btnRandRcalcU",
    "bbnRandRLoadPara", "bbnRandLLoadTex", "btnRandLcalcU",
    "bbnRandLLoadPara",
};
const char* const kGlyphen[] = {
    "spbOldTexL0", "spbSplineAdd", "spbSplineSub",   "spbSplineAddEnd", "spbCopyToRight", "spbCopyToLeft",
    "spbRandRAdd", "spbRandRDel",  "spbRandRAddEnd", "spbRandLAdd",     "SpeedButton2",   "spbRandLAddEnd",
};
const char* const kLabels[] = {
    "Label18", "lblParameter1", "lblParameter", "lblBreite", "lblTextur1File", "lblTextur1Laenge", "Label46",
    "Label30", "Label47",       "Label48",      "Label25",   "Label17",        "Label24",
};
const char* const kGruppen[] = {
    "GroupBox2", "GroupBox3",        "gboSplinePts", "GroupBox1",
    "gboRandR",  "gboRandRSegmente", "gboRandL",     "gboRandLSegmente",
};
const char* const kSpins[] = {"sedSplinePtsNr", "sedRandRNr", "sedRandLNr"};

// clang-format off
const QStringList kTabfolge = {
    "bbnSave", "edtFileName", "bbnGo", "bbnVorschau", "edtShapeName", "btnGelaende", "btnPunkteAufGelaende",
    "btnPunktAufGelaende", "cboRandLenable", "edtRandLTexFile",
    "bbnRandLLoadTex", "edtRandLTexLaenge", "edtRandLTexBreite", "edtRandLTexBreitePxl", "btnRandLcalcU",
    "cboRandLRuecksetzen", "sedRandLNr", "spbRandLAdd", "SpeedButton2", "spbRandLAddEnd", "edtRandLBreite",
    "edtRandLWinkel", "edtRandLEnde", "edtRandLEndePxl", "cboRandLnormMan", "edtRandLnormale",
    "bbnRandLLoadPara", "bbnShowLeftParameter", "bbnLoadPara", "bbnSavePara", "bbnCopyMemo", "spbCopyToRight",
    "cboCreateFahrbahn", "spbCopyToLeft", "edtBreite", "cboSchleppkurve", "edtSchleppkurve", "cboSturz",
    "edtSturz", "edtTextur1FileName", "bbnLoadFahrbahnTex", "edtTextur1Laenge", "edtTexPxl", "edtTexStart",
    "edtTexStartPxl", "EdtTexEnde", "EdtTexEndePxl", "cboRandomBackFold", "edtRandomBackfold",
    "cboRuecksetzen", "edtTexL0", "spbOldTexL0", "edtStreckung", "sedSplinePtsNr", "spbSplineAdd",
    "spbSplineSub", "spbSplineAddEnd", "bbnSplinePtsOpen", "edtSplinePtsX", "edtSplinePtsXrot",
    "edtSplinePtsY", "edtSplinePtsYrot", "edtSplinePtsZ", "edtSplinePtsZrot", "btnSplineAusrichten",
    "btnSplinePunktAusrichten", "btnSplineVerlaengern", "edtSplineStrecke", "btnPunktetabelle",
    "bbnGrafikSchnitt", "btnStrasseUndGelaende", "cboRandRenable", "edtRandRTexFile", "bbnRandRLoadTex", "edtRandRTexLaenge",
    "edtRandRTexBreite", "edtRandRTexBreitePxl", "btnRandRcalcU", "cboRandRRuecksetzen", "sedRandRNr",
    "spbRandRAdd", "spbRandRDel", "spbRandRAddEnd", "edtRandRBreite", "edtRandRWinkel", "edtRandREnde",
    "edtRandREndePxl", "cboRandRnormMan", "edtRandRnormale", "bbnRandRLoadPara", "bbnShowRightParameter",
    "cboCreateTG", "cboRandFuellen", "cboTrafficSpline", "cboTrafficSplineRechts", "edtTrafficSplineRechts",
    "cboTrafficSplineLinks", "edtTrafficSplineLinks", "bbnPreferences", "bbnInfo", "mmoStatus",
};
// clang-format on

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A button's text as the user reads it: a single ampersand marks the mnemonic's letter
// and is not shown, a doubled one shows one.
QString Gelesen(const QString& text) {
    QString s;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && ++i == text.size()) break;
        s += text[i];
    }
    return s;
}

// The named widgets Tab reaches, in the window's focus chain from its first one (the
// widgets Qt makes inside others, "qt_…", left out).
QStringList Tabfolge(QWidget& fenster) {
    QStringList namen;
    QWidget* w = &fenster;
    do {
        w = w->nextInFocusChain();
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QLatin1String("qt_")))
            namen << w->objectName();
    } while (w != &fenster);
    return namen;
}

// The widget's own enabled flag; a parent group may disable it on top.
bool Aktiv(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

}  // namespace

class Startzustand : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetzeDezimaltrenner(','); }

    // Every control under its name, showing what the window logic holds.
    void JedesSteuerelementIstSeinWidget() {
        Ansicht a;
        for (const char* n : kEdits) {
            const TEdit& c = *a.form.Edit(n);
            QLineEdit* w = a.Feld(n);
            QCOMPARE(w->text(), Q(c.Text));
            QCOMPARE(Aktiv(w), c.Enabled);
            QCOMPARE(w->isHidden(), !c.Visible);
            QCOMPARE(w->toolTip(), Q(c.Hint));
        }
        for (const char* n : kBoxen) {
            const TCheckBox& c = *a.form.CheckBox(n);
            QCheckBox* w = a.Box(n);
            QCOMPARE(w->text(), Q(c.Caption));
            QCOMPARE(w->isChecked(), c.Checked());
            QCOMPARE(Aktiv(w), c.Enabled);
            QCOMPARE(w->toolTip(), Q(c.Hint));
        }
        for (const char* n : kFokusKnoepfe) {
            const TButton& c = *a.form.Button(n);
            auto* w = a.Widget<QPushButton>(n);
            QCOMPARE(Gelesen(w->text()), Q(c.Caption));
            QCOMPARE(Aktiv(w), c.Enabled);
            QCOMPARE(w->toolTip(), Q(c.Hint));
            QVERIFY2(w->focusPolicy() & Qt::ClickFocus, n);
            QVERIFY2(w->focusPolicy() & Qt::TabFocus, n);
        }
        for (const char* n : kGlyphen) {
            const TButton& c = *a.form.Button(n);
            auto* w = a.Widget<QToolButton>(n);
            QCOMPARE(w->text(), Q(c.Caption));
            QCOMPARE(w->toolTip(), Q(c.Hint));
            QCOMPARE(w->focusPolicy(), Qt::TabFocus);
            QVERIFY2(!w->icon().isNull(), n);
        }
        for (const char* n : kLabels) QCOMPARE(a.Widget<QLabel>(n)->text(), Q(a.form.Label(n)->Caption));
        for (const char* n : kGruppen) {
            const TGroupBox& c = *a.form.GroupBox(n);
            auto* w = a.Widget<QGroupBox>(n);
            QCOMPARE(w->title(), Q(c.Caption));
            QCOMPARE(w->isHidden(), !c.Visible);
            QCOMPARE(Aktiv(w), c.Enabled);
        }
        for (const char* n : kSpins) {
            const TSpinEdit& c = *a.form.SpinEdit(n);
            auto* w = a.Widget<QSpinBox>(n);
            QCOMPARE(w->value(), c.Value());
            QCOMPARE(w->toolTip(), Q(c.Hint));
        }
        QCOMPARE(a.Widget<QPlainTextEdit>("mmoStatus")->toPlainText(), QStringLiteral("mmoStatus"));
        // The import button is there exactly when the window logic offers the import.
        QCOMPARE(a.fenster.findChild<QPushButton*>(QStringLiteral("bbnSplinePtsOpen")) != nullptr,
                 a.form.Button("bbnSplinePtsOpen") != nullptr);
    }

    // What the user sees first: Go disabled, borders off and hidden, two points.
    void WasDerNutzerZuerstSieht() {
        Ansicht a;
        QCOMPARE(a.fenster.windowTitle(), QStringLiteral("Pavolant v1.64 by Quenlor - untitled[*]"));
        QVERIFY(!a.fenster.isWindowModified());
        QVERIFY(!a.Knopf("bbnGo")->isEnabled());
        QCOMPARE(a.Knopf("bbnSave")->text(), QStringLiteral("&i3d-File"));
        QVERIFY(!a.Knopf("bbnSave")->icon().isNull());
        for (const char* n : {"gboRandR", "gboRandRSegmente", "gboRandL", "gboRandLSegmente"})
            QVERIFY2(!a.Widget<QGroupBox>(n)->isVisible(), n);
        for (const char* n : {"cboRandRenable", "cboRandLenable", "cboRandFuellen", "cboRandomBackFold"})
            QVERIFY2(!a.Box(n)->isChecked(), n);
        QVERIFY(a.Box("cboCreateFahrbahn")->isChecked());
        QVERIFY(a.Box("cboCreateTG")->isChecked());
        QCOMPARE(a.Box("cboRandFuellen")->toolTip(), QStringLiteral("nur möglich, wenn beide Ränder aktiv"));
        QCOMPARE(a.Widget<QGroupBox>("gboSplinePts")->title(), QStringLiteral("Spline-Points: 2"));
        QVERIFY(!a.fenster.AktionRueckgaengig().isEnabled());
        QVERIFY(!a.fenster.AktionWiederholen().isEnabled());
        QVERIFY(!a.fenster.AktionGo().isEnabled());
        auto* nr = a.Widget<QSpinBox>("sedSplinePtsNr");
        QVERIFY(nr->isVisible());
        QCOMPARE(nr->value(), 1);
        QCOMPARE(nr->minimum(), 1);
        QCOMPARE(nr->maximum(), 2);
        QCOMPARE(a.Feld("edtTexL0")->toolTip(), QStringLiteral("Startpunkt in der Textur [0...1]"));
        QCOMPARE(a.Feld("edtRandomBackfold")->text(), QStringLiteral("0,5"));
        auto* einstellungen = a.Widget<QPushButton>("bbnPreferences");
        QCOMPARE(einstellungen->text(), QStringLiteral("Se&ttings     "));
        QCOMPARE(einstellungen->toolTip(), QStringLiteral("Steuerung der Feinheit der Unterteilungen"));
        // Captions in a 16-pixel font; nothing the user must see is cut off.
        QCOMPARE(a.Widget<QLabel>("Label24")->font().pixelSize(), 16);
        QVERIFY(a.fenster.width() >= Hauptfenster::kBreite);
        QVERIFY(a.fenster.height() >= Hauptfenster::kHoehe);
        QVERIFY(a.fenster.minimumSizeHint().height() <= a.fenster.height());
        QVERIFY(a.melder.eintraege.empty());
    }

    // The main buttons' mnemonics: each on one button, none twice in the window (the menu
    // bar's own included), and the window logic's captions untouched by them.
    void Kuerzel() {
        Ansicht a;
        QList<QKeySequence> gesehen;
        const QList<QAbstractButton*> knoepfe = a.fenster.findChildren<QAbstractButton*>();
        for (const char* n : {"bbnSave", "bbnGo", "bbnLoadPara", "bbnSavePara", "bbnCopyMemo",
                              "bbnGrafikSchnitt", "bbnInfo", "bbnVorschau", "bbnPreferences"}) {
            const QKeySequence k = QKeySequence::mnemonic(a.Knopf(n)->text());
            QVERIFY2(!k.isEmpty(), n);
            QVERIFY2(!gesehen.contains(k), n);
            gesehen << k;
        }
        for (QAction* menue : a.fenster.menuBar()->actions()) {
            const QKeySequence k = QKeySequence::mnemonic(menue->text());
            QVERIFY(!k.isEmpty());
            QVERIFY(!gesehen.contains(k));
            gesehen << k;
        }
        for (QAbstractButton* w : knoepfe)
            if (!gesehen.contains(QKeySequence::mnemonic(w->text())))
                QVERIFY2(QKeySequence::mnemonic(w->text()).isEmpty(), qPrintable(w->objectName()));
        QCOMPARE(a.form.bbnLoadPara.Caption, std::string("Load parameter"));
        QCOMPARE(a.Knopf("bbnLoadPara")->text(), QStringLiteral("&Load parameter"));
        QCOMPARE(a.Knopf("bbnInfo")->text(), QStringLiteral("I&nfo"));
        QCOMPARE(Gelesen(QStringLiteral("a && b &c")), QStringLiteral("a & b c"));
        QCOMPARE(qt::Bindung::Beschriftung("Fish & Chips", QLatin1Char('c')),
                 QStringLiteral("Fish && &Chips"));
    }

    // The order Tab takes through the window: the top rows, then the left, middle and
    // right columns from top to bottom, then the memo, as the window has always had it.
    void Tabfolge() {
        Ansicht a;
        QCOMPARE(::Tabfolge(a.fenster), kTabfolge);
    }

    // Enabling a border shows its groups at their place; the columns do not jump.
    void VerborgeneGruppenBehaltenIhrenPlatz() {
        Ansicht a;
        const int vorher = a.Knopf("bbnRandRLoadPara")->y();
        Klicken(a.Box("cboRandRenable"));
        QVERIFY(a.Widget<QGroupBox>("gboRandR")->isVisible());
        QCOMPARE(a.Knopf("bbnRandRLoadPara")->y(), vorher);
    }
};

QTEST_MAIN(Startzustand)
#include "test_Startzustand.moc"
