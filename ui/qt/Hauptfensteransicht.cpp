#include "ui/qt/Hauptfensteransicht.h"

#include "ui/qt/Bausteine.h"
#include "ui/qt/Einstellungsdialog.h"
#include "ui/qt/Fensterplatz.h"
#include "ui/qt/Gelaendedialog.h"
#include "ui/qt/Gruppen.h"
#include "ui/qt/Hoehenplanansicht.h"
#include "ui/qt/Parameterliste.h"
#include "ui/qt/Profilansicht.h"
#include "ui/qt/Punktetabelle.h"
#include "ui/qt/Qtext.h"
#include "ui/qt/vorschau/Strassenvorschau.h"
#include "ui/qt/vorschau/Vorschauplan.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTextCursor>
#include <QTextDocument>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace pavolant::qt {

namespace {

Steuerelementsuche Suche(Hauptfenster& f) {
    return {[&f](std::string_view n) { return f.Edit(n); },
            [&f](std::string_view n) { return f.CheckBox(n); },
            [&f](std::string_view n) { return f.SpinEdit(n); },
            [&f](std::string_view n) { return f.Button(n); },
            [&f](std::string_view n) { return f.Label(n); },
            [&f](std::string_view n) { return f.GroupBox(n); },
            [&f](std::string_view n) { return f.Memo(n); }};
}

// The columns' scroll area: as large as the columns where the window has the room, never
// narrower than they are (no sideways scrolling at the desktop's font), and down to a few
// rows high.
class Spaltenbereich : public QScrollArea {
public:
    explicit Spaltenbereich(QWidget* inhalt) {
        setObjectName(QStringLiteral("Spaltenbereich"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // Tab goes to the controls inside, never to the area itself.
        setFocusPolicy(Qt::NoFocus);
        setWidget(inhalt);
        inhalt->installEventFilter(this);
    }
    // The columns' sizes change with the font and with groups shown: the window's layout
    // hears of it through the area's own size hints.
    bool eventFilter(QObject* ziel, QEvent* ereignis) override {
        if (ziel == widget() && ereignis->type() == QEvent::LayoutRequest) updateGeometry();
        return QScrollArea::eventFilter(ziel, ereignis);
    }
    // Scrolls as little as brings `w`, a control among the columns, fully into view with
    // a small margin. (QScrollArea::ensureWidgetVisible looks at a field's text cursor
    // only, which leaves the field's lower edge cut off.)
    void Zeigen(const QWidget& w) {
        constexpr int kRand = 8;
        const QRect r(w.mapTo(widget(), QPoint(0, 0)), w.size());
        const auto folgen = [](QScrollBar* leiste, int anfang, int ende, int sicht) {
            const int von = leiste->value();
            if (anfang - kRand < von)
                leiste->setValue(anfang - kRand);
            else if (ende + kRand > von + sicht)
                leiste->setValue(std::min(anfang - kRand, ende + kRand - sicht));
        };
        folgen(verticalScrollBar(), r.top(), r.bottom() + 1, viewport()->height());
        folgen(horizontalScrollBar(), r.left(), r.right() + 1, viewport()->width());
    }
    QSize sizeHint() const override { return widget()->sizeHint(); }
    QSize minimumSizeHint() const override {
        return {widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width(),
                4 * fontMetrics().height()};
    }
};

QVBoxLayout* Spalte() {
    auto* s = new QVBoxLayout;
    s->setSpacing(4);
    return s;
}

// The settings button's caption and hint; the button belongs to the view, as the
// window's logic keeps no control for it.
constexpr const char* kEinstellungenText = TrVorgemerkt("Settings     ");
constexpr const char* kEinstellungenHinweis = TrVorgemerkt("Steuerung der Feinheit der Unterteilungen");

// The main buttons' mnemonics (Alt+letter), unique in the window together with the menu
// bar's File (F) and Edit (E).
struct Kuerzeleintrag {
    const char* name;
    char buchstabe;
};
constexpr Kuerzeleintrag kKuerzel[] = {
    {"bbnSave", 'i'},     {"bbnGo", 'g'},       {"bbnLoadPara", 'l'},
    {"bbnSavePara", 's'}, {"bbnCopyMemo", 'c'}, {"bbnGrafikSchnitt", 'p'},
    {"bbnInfo", 'n'},
};
constexpr char kEinstellungenKuerzel = 't';
// Lines of the report the memo shows at least, where the columns then have to scroll.
constexpr int kMemoZeilen = 5;
constexpr char kVorschauKuerzel = 'v';

// The output file is no part of the road and has no steps in its history: there the
// field's own undo stays.
constexpr const char* kSitzungsfeld = "edtFileName";

}  // namespace

Hauptfensteransicht::Hauptfensteransicht(Hauptfenster& form, Dialoge& dialoge, QWidget* eltern)
    : QMainWindow(eltern),
      form_(form),
      bindung_(new Bindung(*this,
                           [this, &form](const std::function<void()>& h) {
                               const bool ok = form.Ausfuehren(h);
                               // What was typed is part of the step the event took.
                               eingabeOffen_ = false;
                               VorschauNachfuehren();
                               if (tabelle_) tabelle_->Nachfuehren();
                               ZustandZeigen();
                               return ok;
                           })),
      einstellungen_(nullptr) {
    setObjectName(QStringLiteral("Form1"));
    // The captions' font, before the widgets are made: each is measured in it from the
    // start (a group hidden later keeps the size it was measured with).
    QFont schrift = font();
    schrift.setFamily(QStringLiteral("Sans Serif"));
    schrift.setStyleHint(QFont::SansSerif);
    schrift.setPixelSize(16);
    setFont(schrift);
    // The table is the view's own window; the button only opens it.
    form.btnGelaende.OnClick = [this] {
        form_.btnGelaendeClick(gelaendefenster_, [this] { return gelaende_->Zeigen(); });
    };
    form.btnPunktetabelle.OnClick = [this] {
        Punktetabellenansicht& t = Punktetabelle();
        t.show();
        t.raise();
        t.activateWindow();
    };
    // The plot is the view's own window too; opening it reads the terrain (once), which the
    // preview's runs then measure the road against.
    form.btnStrasseUndGelaende.OnClick = [this] {
        Hoehenplanansicht& h = Hoehenplan();
        h.show();
        h.raise();
        h.activateWindow();
        form_.GelaendeBereit();
    };
    Bausteine b(Suche(form), *bindung_);

    auto* mitte = new QWidget;
    setCentralWidget(mitte);
    auto* fenster = new QVBoxLayout(mitte);
    fenster->setContentsMargins(6, 6, 6, 6);
    fenster->setSpacing(4);

    // ---- Top rows: output file and Go, shape name.
    auto* oben = new QGridLayout;
    oben->setHorizontalSpacing(6);
    oben->setVerticalSpacing(4);
    oben->addWidget(b.Knopf("bbnSave", Symbol::SpeichernUnter), 0, 0);
    oben->addWidget(b.Feld("edtFileName"), 0, 1, 1, 2);
    QPushButton* go = b.Knopf("bbnGo", Symbol::Start);
    go->setIconSize(QSize(32, 32));
    go->setMinimumSize(110, 0);
    go->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    oben->addWidget(go, 0, 3, 2, 1);
    VorschauKnopfEinbauen(*oben);
    oben->addWidget(b.Beschriftung("Label18"), 1, 0, Qt::AlignRight);
    QLineEdit* shape = b.Feld("edtShapeName");
    oben->addWidget(shape, 1, 1);
    // The map's ground and the drops onto it beside the shape name, where the columns
    // below have no room left.
    auto* gelaende = new QHBoxLayout;
    gelaende->setSpacing(4);
    gelaende->addWidget(b.Knopf("btnGelaende", Symbol::Oeffnen));
    gelaende->addWidget(b.Schlicht("btnPunkteAufGelaende"), 1);
    gelaende->addWidget(b.Schlicht("btnPunktAufGelaende"), 1);
    oben->addLayout(gelaende, 1, 2);
    oben->setColumnStretch(1, 1);
    oben->setColumnStretch(2, 1);
    fenster->addLayout(oben);

    // ---- Three columns, in an area that scrolls where the screen is lower than they are
    // tall (a laptop's): Tab scrolls to the control it reaches.
    auto* inhalt = new QWidget;
    // Never pressed below the columns' natural height (the area scrolls instead), so a
    // group shown or hidden does not move the controls around it.
    inhalt->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    // The scroll area measures the columns before they are in the window: in the window's
    // font, or a group hidden at start would keep a size measured in another one.
    inhalt->setFont(font());
    auto* spalten = new QHBoxLayout(inhalt);
    spalten->setContentsMargins(0, 0, 0, 0);
    spalten->setSpacing(6);

    // Left: the left border, its load button, then the parameter file and the memo copy.
    QVBoxLayout* links = Spalte();
    links->addWidget(b.Box("cboRandLenable"));
    const Randgruppen randL = RandGruppen(b, false);
    links->addWidget(randL.textur);
    links->addWidget(randL.segmente);
    links->addWidget(b.Knopf("bbnRandLLoadPara", Symbol::Oeffnen));
    links->addWidget(b.Knopf("bbnShowLeftParameter", Symbol::Liste,
                             [this] { form_.bbnShowLeftParameterClick([this] { liste_->Zeigen(); }); }));
    links->addStretch(1);
    links->addWidget(b.Knopf("bbnLoadPara", Symbol::Oeffnen));
    links->addWidget(b.Beschriftung("lblParameter1"));
    links->addWidget(b.Beschriftung("lblParameter"));
    links->addWidget(b.Knopf("bbnSavePara", Symbol::Speichern));
    links->addWidget(b.Knopf("bbnCopyMemo", Symbol::Kopieren, [this] { MemoKopieren(); }));

    // Middle: the roadway and the spline points.
    QVBoxLayout* mittig = Spalte();
    // The copy buttons flank the roadway box, each pointing at the side it copies to.
    auto* mitteOben = new QHBoxLayout;
    mitteOben->addWidget(b.Glyphe("spbCopyToRight", Symbol::NachRechts));
    mitteOben->addStretch(1);
    mitteOben->addWidget(b.Box("cboCreateFahrbahn"));
    mitteOben->addStretch(1);
    mitteOben->addWidget(b.Glyphe("spbCopyToLeft", Symbol::NachLinks));
    mittig->addLayout(mitteOben);
    mittig->addWidget(GeometrieGruppe(b));
    mittig->addWidget(TexturGruppe(b));
    mittig->addWidget(SplineGruppe(b));
    // The two drawings of the road: its cross-section, and its heights over the ground's.
    auto* zeichnungen = new QHBoxLayout;
    zeichnungen->addWidget(b.Knopf("bbnGrafikSchnitt", Symbol::Profil,
                                   [this] { form_.bbnGrafikSchnittClick([this] { profil_->Zeigen(); }); }),
                           1);
    zeichnungen->addWidget(b.Schlicht("btnStrasseUndGelaende"), 1);
    mittig->addLayout(zeichnungen);
    mittig->addStretch(1);

    // Right: the right border, its load button, the options, traffic splines, settings.
    QVBoxLayout* rechts = Spalte();
    rechts->addWidget(b.Box("cboRandRenable"));
    const Randgruppen randR = RandGruppen(b, true);
    rechts->addWidget(randR.textur);
    rechts->addWidget(randR.segmente);
    rechts->addWidget(b.Knopf("bbnRandRLoadPara", Symbol::Oeffnen));
    rechts->addWidget(b.Knopf("bbnShowRightParameter", Symbol::Liste,
                              [this] { form_.bbnShowRightParameterClick([this] { liste_->Zeigen(); }); }));
    rechts->addWidget(b.Box("cboCreateTG"));
    rechts->addWidget(b.Box("cboRandFuellen"));
    rechts->addWidget(b.Beschriftung("Label24"));
    rechts->addWidget(VerkehrGruppe(b));
    rechts->addStretch(1);
    auto* einstellungenKnopf =
        new QPushButton(QIcon(Symbolbild(Symbol::Einstellungen)),
                        Bindung::Beschriftung(Tr(kEinstellungenText), QLatin1Char(kEinstellungenKuerzel)));
    einstellungenKnopf->setObjectName(QStringLiteral("bbnPreferences"));
    einstellungenKnopf->setToolTip(QTr(kEinstellungenHinweis));
    einstellungenKnopf->setFocusPolicy(Qt::StrongFocus);
    einstellungenKnopf->setAutoDefault(false);
    auto* rechtsUnten = new QHBoxLayout;
    rechtsUnten->addWidget(einstellungenKnopf, 1);
    rechtsUnten->addWidget(b.Knopf("bbnInfo", Symbol::Info), 1);
    rechts->addLayout(rechtsUnten);

    spalten->addLayout(links, 1);
    spalten->addLayout(mittig, 1);
    spalten->addLayout(rechts, 1);
    spalten_ = new Spaltenbereich(inhalt);
    // The control that takes the focus (by Tab, a mnemonic or an error naming its field)
    // comes fully into view, a spin box with its frame.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* jetzt) {
        if (!jetzt || !spalten_->widget()->isAncestorOf(jetzt)) return;
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(jetzt->parentWidget())) jetzt = spin;
        static_cast<Spaltenbereich*>(spalten_)->Zeigen(*jetzt);
    });

    // ---- Bottom: the status memo, below a divider the user may drag; it takes what
    // height the columns leave and shows the newest lines of the report.
    memo_ = b.Memo("mmoStatus");
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setMinimumHeight(90);
    // The text is laid out after it changes, a line at a time: the scroll range grows
    // afterwards, and the view follows it to the end until the user scrolls.
    QScrollBar* leiste = memo_->verticalScrollBar();
    // (The document's signal: the binding sets the text with the memo's own signals blocked.)
    connect(memo_->document(), &QTextDocument::contentsChanged, this, [this, leiste] {
        memoFolgt_ = true;
        // Setting a text puts the view back to its top once the text is in: after that.
        QTimer::singleShot(0, leiste, [this, leiste] {
            if (memoFolgt_) leiste->setValue(leiste->maximum());
        });
    });
    connect(leiste, &QScrollBar::rangeChanged, this, [this, leiste](int, int bis) {
        if (memoFolgt_) leiste->setValue(bis);
    });
    connect(leiste, &QScrollBar::actionTriggered, this, [this] { memoFolgt_ = false; });
    teiler_ = new QSplitter(Qt::Vertical);
    teiler_->setObjectName(QStringLiteral("Teiler"));
    teiler_->setChildrenCollapsible(false);
    teiler_->addWidget(spalten_);
    teiler_->addWidget(memo_);
    teiler_->setStretchFactor(0, 0);
    teiler_->setStretchFactor(1, 1);
    fenster->addWidget(teiler_, 1);
    teiler_->installEventFilter(this);
    connect(teiler_, &QSplitter::splitterMoved, this, [this] { teilerGezogen_ = true; });

    // The three other windows, made once in this order and kept for the whole run.
    einstellungen_ = new Einstellungsdialog(pref_, dialoge, this);
    const Bindung::Grenze grenze = [&form](const std::function<void()>& h) { return form.Ausfuehren(h); };
    profil_ = new Profilansicht(form.Profil, grenze, this);
    gelaende_ = new Gelaendedialog(gelaendefenster_, dialoge, form.SpeicherGrenze, this);
    liste_ = new Parameterliste(form.Auflistung, grenze, this);
    connect(einstellungenKnopf, &QPushButton::clicked, this, [this] {
        bindung_->Ereignis(
            [this] { form_.bbnPreferencesClick(pref_, [this] { return einstellungen_->Zeigen(); }); });
    });

    for (const Kuerzeleintrag& k : kKuerzel)
        if (auto* knopf = findChild<QAbstractButton*>(QString::fromLatin1(k.name)))
            bindung_->Kuerzel(knopf, QLatin1Char(k.buchstabe));
    bindung_->SetzeFehlerfeld([this]() -> const TEdit* {
        const std::optional<std::string>& name = form_.Fehlerfeld();
        return name ? form_.Edit(*name) : nullptr;
    });
    // Typing into a field of the road is a change before any event takes it as a step.
    for (const auto& k : Hauptfenster::Edits()) {
        if (k.name == kSitzungsfeld) continue;
        if (auto* feld = findChild<QLineEdit*>(QString::fromUtf8(k.name.data(), qsizetype(k.name.size()))))
            connect(feld, &QLineEdit::textEdited, this, [this] {
                eingabeOffen_ = true;
                ZustandZeigen();
            });
    }
    MenueEinbauen();

    // The design size for the controls; the menu bar comes on top of it. The layout may
    // ask for more where the desktop's font is wider.
    resize(Hauptfenster::kBreite, Hauptfenster::kHoehe + menuBar()->sizeHint().height());
    bindung_->Synchronisieren();
    ZustandZeigen();
}

void Hauptfensteransicht::MenueEinbauen() {
    auto aktion = [this](QMenu* menue, const QString& text, QList<QKeySequence> tasten,
                         std::function<void()> was) {
        QAction* a = menue->addAction(text);
        a->setShortcuts(tasten);
        connect(a, &QAction::triggered, this, [this, was = std::move(was)] { bindung_->Befehl(was); });
        return a;
    };
    QMenu* datei = menuBar()->addMenu(QTr("&File"));
    laden_ = aktion(datei, QTr("&Load parameter..."), {QKeySequence(Qt::CTRL | Qt::Key_O)},
                    [this] { form_.bbnLoadPara.Click(); });
    speichern_ =
        aktion(datei, QTr("&Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, [this] { form_.Speichern(); });
    speichernUnter_ = aktion(datei, QTr("Save &as..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
                             [this] { form_.bbnSavePara.Click(); });
    datei->addSeparator();
    // Checked again when it runs: the exits before it may have disabled "Go".
    go_ = aktion(datei, QTr("&Go"),
                 {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return),
                  QKeySequence(Qt::CTRL | Qt::Key_Enter)},
                 [this] {
                     if (form_.bbnGo.Enabled && form_.bbnGo.Visible) form_.bbnGo.Click();
                 });
    datei->addSeparator();
    QAction* beenden = datei->addAction(QTr("&Quit"));
    beenden->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(beenden, &QAction::triggered, this, &QWidget::close);

    QMenu* bearbeiten = menuBar()->addMenu(QTr("&Edit"));
    rueckgaengig_ = aktion(bearbeiten, QTr("&Undo"), {QKeySequence(Qt::CTRL | Qt::Key_Z)},
                           [this] { form_.Rueckgaengig(); });
    wiederholen_ =
        aktion(bearbeiten, QTr("&Redo"),
               {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
               [this] { form_.Wiederholen(); });

    // The fields' own undo would take these keys first (a line edit claims them before
    // the window's shortcuts are looked at); in the road's fields the road's undo wins.
    for (QWidget* w : findChildren<QWidget*>()) {
        const bool feld = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w);
        if (feld && w->objectName() != QLatin1String(kSitzungsfeld)) w->installEventFilter(this);
    }
}

bool Hauptfensteransicht::eventFilter(QObject* ziel, QEvent* ereignis) {
    if (ziel == teiler_ && ereignis->type() == QEvent::Resize && !teilerGezogen_) Teilen();
    if (ereignis->type() == QEvent::ShortcutOverride) {
        const QKeySequence taste(static_cast<QKeyEvent*>(ereignis)->keyCombination());
        if (rueckgaengig_->shortcuts().contains(taste) || wiederholen_->shortcuts().contains(taste)) {
            // Not claimed: the window's shortcut runs instead of the field's undo.
            ereignis->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(ziel, ereignis);
}

void Hauptfensteransicht::ZustandZeigen() {
    const QString titel = QString::fromStdString(form_.Titel());
    if (windowTitle() != titel) setWindowTitle(titel);
    setWindowModified(form_.Geaendert() || eingabeOffen_);
    if (!rueckgaengig_) return;
    rueckgaengig_->setEnabled(form_.KannRueckgaengig() || eingabeOffen_);
    // Typing since the last undo starts a new branch, which leaves nothing to redo.
    wiederholen_->setEnabled(form_.KannWiederholen() && !eingabeOffen_);
    go_->setEnabled(form_.bbnGo.Enabled && form_.bbnGo.Visible);
    laden_->setEnabled(form_.bbnLoadPara.Enabled);
    speichern_->setEnabled(form_.bbnSavePara.Enabled);
    speichernUnter_->setEnabled(form_.bbnSavePara.Enabled);
}

void Hauptfensteransicht::Teilen() {
    // The columns as tall as they are while the memo keeps a few lines; on a low screen
    // the columns scroll. Once the user has dragged the divider, the divider stays theirs.
    const int hoehe = teiler_->height() - teiler_->handleWidth();
    const int memo = std::max(memo_->minimumHeight(), kMemoZeilen * memo_->fontMetrics().lineSpacing());
    const int spalten =
        std::max(spalten_->minimumSizeHint().height(), std::min(spalten_->sizeHint().height(), hoehe - memo));
    teiler_->setSizes({spalten, std::max(0, hoehe - spalten)});
}

// The settings dialog works on pref_, which goes before the base class deletes the
// child widgets.
Hauptfensteransicht::~Hauptfensteransicht() { delete einstellungen_; }

void Hauptfensteransicht::MemoKopieren() {
    QGuiApplication::clipboard()->setText(memo_->toPlainText(), QClipboard::Clipboard);
    memo_->setFocus(Qt::OtherFocusReason);
    QTextCursor anfang = memo_->textCursor();
    anfang.movePosition(QTextCursor::Start);
    memo_->setTextCursor(anfang);
}

void Hauptfensteransicht::closeEvent(QCloseEvent* ereignis) {
    // The field being typed into is committed first, so a save before closing has it
    // and a text that is no number keeps the window open.
    const bool schliessen = bindung_->Festschreiben() && (!schliessfrage_ || schliessfrage_());
    if (!schliessen) {
        // The question may have taken what was typed as a step.
        eingabeOffen_ = false;
        ZustandZeigen();
        ereignis->ignore();
        return;
    }
    ereignis->accept();
}

// ---- Road preview -------------------------------------------------------------------------

void Hauptfensteransicht::VorschauKnopfEinbauen(QGridLayout& oben) {
    auto* knopf = new QPushButton(Strassenvorschau::Symbol(),
                                  Bindung::Beschriftung(Tr("Preview"), QLatin1Char(kVorschauKuerzel)));
    knopf->setObjectName(QStringLiteral("bbnVorschau"));
    knopf->setToolTip(QTr("Show the last run's road in 3-D and from above"));
    knopf->setIconSize(QSize(32, 32));
    knopf->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    knopf->setFocusPolicy(Qt::StrongFocus);
    knopf->setAutoDefault(false);
    oben.addWidget(knopf, 0, 4, 2, 1);
    connect(knopf, &QPushButton::clicked, this, [this] {
        bindung_->Ereignis([this] {
            Strassenvorschau& v = Vorschau();
            v.show();
            v.raise();
            v.activateWindow();
        });
    });
}

Strassenvorschau& Hauptfensteransicht::Vorschau() {
    if (!vorschau_) {
        vorschau_ = new Strassenvorschau(this);
        Daneben(*vorschau_, *this);
        // Edits in the plan view are events of the window like any other: one change,
        // one undo step, the editor and the table in step.
        Vorschauplan::Bearbeitung b;
        b.Gewaehlt = [this](int i) { bindung_->Ereignis([this, i] { form_.TabellenzeileWaehlen(i); }); };
        b.Verschoben = [this](int i, double x, double z) {
            bindung_->Ereignis([this, i, x, z] { form_.PunktVerschieben(i, x, z); });
        };
        b.Gedreht = [this](int i, double dx, double dz) {
            bindung_->Ereignis([this, i, dx, dz] { form_.PunktDrehen(i, dx, dz); });
        };
        vorschau_->Plan().SetzeBearbeitung(std::move(b));
        VorschauNachfuehren();
    }
    return *vorschau_;
}

Punktetabellenansicht& Hauptfensteransicht::Punktetabelle() {
    if (!tabelle_) {
        tabelle_ = new Punktetabellenansicht(
            form_, [this](const std::function<void()>& h) { return bindung_->Ereignis(h); }, this);
        // Beside the window, where the point editor's column ends, inside the screen.
        Daneben(*tabelle_, *this);
    }
    return *tabelle_;
}

// Runs after every handler of the window: the point editor's current point at once, and
// a run of the road as it now stands.
void Hauptfensteransicht::VorschauNachfuehren() {
    if (!vorschau_ && !HoehenplanOffen()) return;
    if (vorschau_) vorschau_->SetzeAktuell(form_.AktuellerPunkt);
    // A "Go" that wrote its document shows that road itself: with random flips the next
    // run would already draw other numbers than the file holds.
    const std::optional<Bauergebnis>& lauf = form_.LetzterLauf();
    if (lauf && lauf->Geschrieben && lauf->Dreiecksnetz && lauf->Dreiecksnetz.get() != gezeigterGoLauf_) {
        gezeigterGoLauf_ = lauf->Dreiecksnetz.get();
        ++vorschauNummer_;  // what still runs is older than this road
        vorschauWartend_.reset();
        if (vorschau_) vorschau_->Uebernehmen(lauf, form_.edtFileName.Text, form_.GelesenesGelaende());
        if (HoehenplanOffen()) {
            Vorschauergebnis go;
            go.Bericht = std::make_shared<const Bauergebnis>(*lauf);
            go.Boden = form_.GelesenesGelaende();
            hoehenplan_->Zeigen(HoehenplanStand(go, form_.Gelaendewahl.has_value()));
        }
        return;
    }
    VorschauRechnen();
}

void Hauptfensteransicht::VorschauRechnen() {
    // The copies are taken now, on this thread; the run goes on without the window.
    std::shared_ptr<Vorschauauftrag> auftrag = form_.NeuerVorschauauftrag();
    if (vorschauLaeuft_) {
        vorschauWartend_ = std::move(auftrag);  // an older waiting one is superseded
        return;
    }
    VorschauStarten(std::move(auftrag));
}

void Hauptfensteransicht::VorschauStarten(std::shared_ptr<Vorschauauftrag> auftrag) {
    vorschauLaeuft_ = true;
    QPointer<Hauptfensteransicht> fenster(this);
    const std::uint64_t nummer = ++vorschauNummer_;
    QThreadPool::globalInstance()->start([auftrag = std::move(auftrag), fenster, nummer] {
        Vorschauergebnis ergebnis = auftrag->Ausfuehren();
        // Back on the window's thread; a window closed meanwhile takes nothing.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [fenster, nummer, ergebnis = std::move(ergebnis)]() mutable {
                if (fenster) fenster->VorschauFertig(nummer, std::move(ergebnis));
            },
            Qt::QueuedConnection);
    });
}

void Hauptfensteransicht::VorschauFertig(std::uint64_t nummer, Vorschauergebnis ergebnis) {
    vorschauLaeuft_ = false;
    if (vorschauWartend_) {
        // The road changed while this one ran: its picture is already old.
        VorschauStarten(std::exchange(vorschauWartend_, nullptr));
        return;
    }
    if (nummer != vorschauNummer_) return;
    if (HoehenplanOffen()) hoehenplan_->Zeigen(HoehenplanStand(ergebnis, form_.Gelaendewahl.has_value()));
    if (vorschau_) vorschau_->Zeigen(ergebnis);
}

Hoehenplanansicht& Hauptfensteransicht::Hoehenplan() {
    if (!hoehenplan_) {
        hoehenplan_ = new Hoehenplanansicht(this);
        Daneben(*hoehenplan_, *this);
    }
    return *hoehenplan_;
}

// A closed plot is kept but not fed: no run is made for it.
bool Hauptfensteransicht::HoehenplanOffen() const { return hoehenplan_ && hoehenplan_->isVisible(); }

}  // namespace pavolant::qt
