#include "ui/qt/Hauptfensteransicht.h"

#include "ui/qt/Bausteine.h"
#include "ui/qt/Einstellungsdialog.h"
#include "ui/qt/Gruppen.h"
#include "ui/qt/Parameterliste.h"
#include "ui/qt/Profilansicht.h"
#include "ui/qt/Strassenvorschau.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace pavolant::qt {

namespace {

Steuerelementsuche Suche(Hauptfenster& f) {
    return {[&f](std::string_view n) { return f.Edit(n); },     [&f](std::string_view n) { return f.CheckBox(n); },
            [&f](std::string_view n) { return f.SpinEdit(n); }, [&f](std::string_view n) { return f.Button(n); },
            [&f](std::string_view n) { return f.Label(n); },    [&f](std::string_view n) { return f.GroupBox(n); },
            [&f](std::string_view n) { return f.Memo(n); }};
}

QVBoxLayout* Spalte() {
    auto* s = new QVBoxLayout;
    s->setSpacing(4);
    return s;
}

// The settings button's caption and hint; the button belongs to the view, as the
// window's logic keeps no control for it.
constexpr const char* kEinstellungenText = "Settings     ";
constexpr const char* kEinstellungenHinweis = "Steuerung der Feinheit der Unterteilungen";

}  // namespace

Hauptfensteransicht::Hauptfensteransicht(Hauptfenster& form, Dialoge& dialoge, QWidget* eltern)
    : QMainWindow(eltern),
      form_(form),
      bindung_(new Bindung(*this,
                           [this, &form](const std::function<void()>& h) {
                               const bool ok = form.Ausfuehren(h);
                               VorschauNachfuehren();
                               return ok;
                           })),
      einstellungen_(nullptr) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromStdString(form.Caption));
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
    oben->setColumnStretch(1, 1);
    oben->setColumnStretch(2, 1);
    fenster->addLayout(oben);

    // ---- Three columns.
    auto* spalten = new QHBoxLayout;
    spalten->setSpacing(6);
    fenster->addLayout(spalten, 0);

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
    mittig->addWidget(b.Knopf("bbnGrafikSchnitt", Symbol::Profil,
                              [this] { form_.bbnGrafikSchnittClick([this] { profil_->Zeigen(); }); }));
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
    auto* einstellungenKnopf = new QPushButton(QIcon(Symbolbild(Symbol::Einstellungen)),
                                               QString::fromUtf8(kEinstellungenText));
    einstellungenKnopf->setObjectName(QStringLiteral("bbnPreferences"));
    einstellungenKnopf->setToolTip(QString::fromUtf8(kEinstellungenHinweis));
    einstellungenKnopf->setFocusPolicy(Qt::StrongFocus);
    einstellungenKnopf->setAutoDefault(false);
    auto* rechtsUnten = new QHBoxLayout;
    rechtsUnten->addWidget(einstellungenKnopf, 1);
    rechtsUnten->addWidget(b.Knopf("bbnInfo", Symbol::Info), 1);
    rechts->addLayout(rechtsUnten);

    spalten->addLayout(links, 1);
    spalten->addLayout(mittig, 1);
    spalten->addLayout(rechts, 1);

    // ---- Bottom: the status memo takes what height is left.
    memo_ = b.Memo("mmoStatus");
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setMinimumHeight(90);
    fenster->addWidget(memo_, 1);

    // The three other windows, made once in this order and kept for the whole run.
    einstellungen_ = new Einstellungsdialog(pref_, dialoge, this);
    const Bindung::Grenze grenze = [&form](const std::function<void()>& h) { return form.Ausfuehren(h); };
    profil_ = new Profilansicht(form.Profil, grenze, this);
    liste_ = new Parameterliste(form.Auflistung, grenze, this);
    connect(einstellungenKnopf, &QPushButton::clicked, this, [this] {
        bindung_->Ereignis([this] { form_.bbnPreferencesClick(pref_, [this] { return einstellungen_->Zeigen(); }); });
    });

    QFont schrift = font();
    schrift.setFamily(QStringLiteral("Sans Serif"));
    schrift.setStyleHint(QFont::SansSerif);
    schrift.setPixelSize(16);
    setFont(schrift);
    // The design size; the layout may ask for more where the desktop's font is wider.
    resize(Hauptfenster::kBreite, Hauptfenster::kHoehe);
    bindung_->Synchronisieren();
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
    if (schliessfrage_ && !schliessfrage_()) {
        ereignis->ignore();
        return;
    }
    ereignis->accept();
}

// ---- Road preview -------------------------------------------------------------------------

void Hauptfensteransicht::VorschauKnopfEinbauen(QGridLayout& oben) {
    auto* knopf = new QPushButton(Strassenvorschau::Symbol(), QStringLiteral("Preview"));
    knopf->setObjectName(QStringLiteral("bbnVorschau"));
    knopf->setToolTip(QStringLiteral("Show the last run's road in 3-D and from above"));
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
        VorschauNachfuehren();
    }
    return *vorschau_;
}

// Runs after every handler of the window: the preview takes the last run (a new run
// replaces the road, a failed one empties it) and the point editor's current point.
void Hauptfensteransicht::VorschauNachfuehren() {
    if (!vorschau_) return;
    vorschau_->Uebernehmen(form_.LetzterLauf());
    vorschau_->SetzeAktuell(form_.SplinePunkte.Aktuell);
}

}  // namespace pavolant::qt
