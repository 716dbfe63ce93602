#include "ui/qt/Bindung.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <climits>
#include <string>

namespace pavolant::qt {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The widget's own flags, not what its parents make of them: a field disabled inside a
// disabled group must stay disabled when the group is enabled again.
bool SelbstAktiv(const QWidget& w) { return !w.testAttribute(Qt::WA_ForceDisabled); }

void Zustand(QWidget& w, bool enabled, bool visible) {
    if (SelbstAktiv(w) != enabled) w.setEnabled(enabled);
    if (w.isHidden() == visible) w.setHidden(!visible);
}

void Zustand(QWidget& w, bool enabled, bool visible, const std::string& hint) {
    Zustand(w, enabled, visible);
    const QString tip = Q(hint);
    if (w.toolTip() != tip) w.setToolTip(tip);
}

QString MemoText(const TMemo& m) {
    QStringList zeilen;
    zeilen.reserve(static_cast<qsizetype>(m.Lines.size()));
    for (const std::string& z : m.Lines) zeilen << Q(z);
    return zeilen.join(QLatin1Char('\n'));
}

}  // namespace

Bindung::Bindung(QWidget& fenster, Grenze grenze)
    : QObject(&fenster), fenster_(fenster), grenze_(std::move(grenze)) {
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* neu) { FokusGewechselt(neu); });
}

void Bindung::Binden(TEdit& c, QLineEdit* w) {
    edits_.push_back({&c, w});
    connect(w, &QLineEdit::textEdited, this, [this, &c](const QString& text) {
        c.Text = text.toStdString();
        // Through the boundary without the exits: the focus stays in the field.
        if (c.OnChange) {
            grenze_([&c] { c.Change(); });
            Synchronisieren();
        }
    });
}

void Bindung::Binden(TCheckBox& c, QCheckBox* w) {
    boxen_.push_back({&c, w});
    // clicked, not toggled: only the user's clicks; states set during a sync are the
    // model's own and have run their chains there.
    connect(w, &QCheckBox::clicked, this, [this, &c](bool an) { Ereignis([&c, an] { c.SetChecked(an); }); });
}

void Bindung::Binden(TSpinEdit& c, QSpinBox* w) {
    spins_.push_back({&c, w});
    connect(w, &QSpinBox::valueChanged, this,
            [this, &c](int wert) { Ereignis([&c, wert] { c.SetValue(wert); }); });
}

void Bindung::Binden(TButton& c, QAbstractButton* w, std::function<void()> aktion) {
    knoepfe_.push_back({&c, w});
    connect(w, &QAbstractButton::clicked, this, [this, &c, w, aktion = std::move(aktion)] {
        // A focus-taking button clicked without the mouse (its mnemonic) takes the focus
        // now, so the exits of the field it leaves run first, as for a click.
        if ((w->focusPolicy() & Qt::ClickFocus) && !w->hasFocus() && w->isVisible())
            w->setFocus(Qt::ShortcutFocusReason);
        if (aktion)
            Ereignis(aktion);
        else
            Ereignis([&c] { c.Click(); });
    });
}

void Bindung::Binden(TLabel& c, QLabel* w) { labels_.push_back({&c, w}); }

void Bindung::Binden(TGroupBox& c, QGroupBox* w) { gruppen_.push_back({&c, w}); }

void Bindung::Binden(TMemo& c, QPlainTextEdit* w) {
    memos_.push_back({&c, w});
    // What the user types into the memo is its text from then on.
    connect(w, &QPlainTextEdit::textChanged, this, [&c, w] {
        c.Lines.clear();
        for (const QString& zeile : w->toPlainText().split(QLatin1Char('\n')))
            c.Lines.push_back(zeile.toStdString());
    });
}

void Bindung::Kuerzel(QAbstractButton* widget, QChar buchstabe) {
    kuerzel_.insert(widget, buchstabe);
    for (const auto& [c, w] : knoepfe_)
        if (w == widget) w->setText(Beschriftung(c->Caption, buchstabe));
}

QString Bindung::Beschriftung(const std::string& caption, QChar kuerzel) {
    const QString text = Q(caption);
    QString s;
    s.reserve(text.size() + 2);
    bool markiert = kuerzel.isNull();
    for (const QChar z : text) {
        if (!markiert && z.toLower() == kuerzel.toLower()) {
            s += QLatin1Char('&');
            markiert = true;
        }
        s += z;
        if (z == QLatin1Char('&')) s += QLatin1Char('&');
    }
    return s;
}

bool Bindung::Ereignis(const std::function<void()>& handler) {
    if (!AustritteAusfuehren()) return false;
    const bool ok = grenze_(handler);
    Synchronisieren();
    // After the error box: the field that stopped the event, ready to be typed over.
    if (!ok) FehlerfeldFokussieren();
    return ok;
}

bool Bindung::Festschreiben() {
    // The window's own focus, also while a menu of the window has the keyboard.
    QWidget* w = fokus_;
    if (w && w->isVisible() && w->isEnabled()) {
        Austritt a = AustrittVon(w, nullptr);
        if (!a.handler.empty()) ausstehend_.push_back(std::move(a));
    }
    return AustritteAusfuehren();
}

bool Bindung::Befehl(const std::function<void()>& handler) {
    if (!Festschreiben()) return false;
    return Ereignis(handler);
}

bool Bindung::FehlerfeldFokussieren() {
    const TEdit* feld = fehlerfeld_ ? fehlerfeld_() : nullptr;
    if (!feld) return false;
    for (const auto& [c, w] : edits_) {
        if (c != feld || !w || !w->isVisible() || !w->isEnabled()) continue;
        ZurueckAufFeld(*w);
        w->selectAll();
        return true;
    }
    return false;
}

void Bindung::ZurueckAufFeld(QWidget& w) {
    // After the error box the system may hand the activation to another window of the
    // program (the preview); the user is to land on the field, in this window. The field
    // is the window's focus from now on, also while the window is not yet active again,
    // so the activation that brings it back is no move away from another control.
    if (QWidget* fenster = w.window(); fenster && !fenster->isActiveWindow()) fenster->activateWindow();
    w.setFocus(Qt::OtherFocusReason);
    fokus_ = &w;
}

bool Bindung::AustritteAusfuehren() {
    // A message box of an exit runs a nested event loop, which may deliver the queued
    // call for the same exits; they run once, in order, from the outer call.
    if (austritteLaufen_) return true;
    austritteLaufen_ = true;
    const bool etwas = !ausstehend_.empty();
    bool ok = true;
    while (ok && !ausstehend_.empty()) {
        Austritt a = std::move(ausstehend_.front());
        ausstehend_.pop_front();
        // One move is one event: a failing exit stops the exits after it.
        ok = grenze_([&a] {
            for (const std::function<void()>& h : a.handler) h();
        });
        if (!ok) {
            ausstehend_.clear();
            Synchronisieren();
            if (!FehlerfeldFokussieren() && a.verlassen && a.verlassen->isVisible() &&
                a.verlassen->isEnabled())
                ZurueckAufFeld(*a.verlassen);
        }
    }
    austritteLaufen_ = false;
    // The window shows what the exits did before anything else happens in it.
    if (ok && etwas) Synchronisieren();
    return ok;
}

TEdit* Bindung::FeldVon(const QWidget* widget) const {
    for (const auto& p : edits_)
        if (p.widget == widget) return p.control;
    return nullptr;
}

TGroupBox* Bindung::GruppeVon(const QWidget* widget) const {
    for (const auto& p : gruppen_)
        if (p.widget == widget) return p.control;
    return nullptr;
}

Bindung::Austritt Bindung::AustrittVon(QWidget* verlassen, const QWidget* neu) const {
    Austritt a{verlassen, {}};
    if (TEdit* feld = FeldVon(verlassen)) a.handler.push_back([feld] { feld->Exit(); });
    for (QWidget* w = verlassen->parentWidget(); w && w != &fenster_; w = w->parentWidget()) {
        TGroupBox* gruppe = GruppeVon(w);
        if (gruppe && !(neu && w->isAncestorOf(neu))) a.handler.push_back([gruppe] { gruppe->Exit(); });
    }
    return a;
}

bool Bindung::FokusAbgeben() {
    QWidget* verlassen = fokus_;
    fokus_ = nullptr;  // the next focus in this window leaves nothing behind
    if (verlassen && verlassen->isVisible() && verlassen->isEnabled()) {
        Austritt a = AustrittVon(verlassen, nullptr);
        if (!a.handler.empty()) ausstehend_.push_back(std::move(a));
    }
    const bool ok = AustritteAusfuehren();
    // A failed exit put the focus back on its field; when the focus never left that
    // field, no focus change says so.
    QWidget* jetzt = QApplication::focusWidget();
    if (!ok && jetzt && jetzt->window() == &fenster_) fokus_ = jetzt;
    return ok;
}

void Bindung::FokusGewechselt(QWidget* neu) {
    // Focus in another window or none at all (the window was deactivated): the window's
    // own focus stays where it was and nothing is left.
    if (!neu || neu->window() != &fenster_) return;
    QWidget* verlassen = fokus_;
    fokus_ = neu;
    if (!verlassen || verlassen == neu || !verlassen->isVisible() || !verlassen->isEnabled()) return;

    Austritt a = AustrittVon(verlassen, neu);
    if (a.handler.empty()) return;
    ausstehend_.push_back(std::move(a));
    // Runs with the next turn of the event loop unless an event of the window runs the
    // exits first (a click arrives in the same turn as the press that moved the focus).
    QMetaObject::invokeMethod(
        this, [this] { AustritteAusfuehren(); }, Qt::QueuedConnection);
}

void Bindung::Synchronisieren() {
    for (const auto& [c, w] : edits_) {
        if (!w) continue;
        const QString text = Q(c->Text);
        if (w->text() != text) {
            w->setText(text);
            // A text too long for the field shows its beginning, where the digits that
            // matter are; the field being typed into keeps its cursor at the end.
            if (!w->hasFocus()) w->setCursorPosition(0);
        }
        if (const QString platz = Q(c->Platzhalter); w->placeholderText() != platz)
            w->setPlaceholderText(platz);
        Zustand(*w, c->Enabled, c->Visible, c->Hint);
    }
    for (const auto& [c, w] : boxen_) {
        if (!w) continue;
        const QSignalBlocker stumm(w);
        if (w->isChecked() != c->Checked()) w->setChecked(c->Checked());
        if (const QString text = Beschriftung(c->Caption); w->text() != text) w->setText(text);
        Zustand(*w, c->Enabled, c->Visible, c->Hint);
    }
    for (const auto& [c, w] : spins_) {
        if (!w) continue;
        const QSignalBlocker stumm(w);
        // Equal limits mean no limits; the range always holds the shown number, which
        // the window may show unclamped.
        int von = c->MinValue;
        int bis = c->MaxValue;
        if (von == bis) {
            von = INT_MIN;
            bis = INT_MAX;
        } else if (bis < von) {
            bis = von;
        }
        von = std::min(von, c->Value());
        bis = std::max(bis, c->Value());
        if (w->minimum() != von || w->maximum() != bis) w->setRange(von, bis);
        if (w->value() != c->Value()) w->setValue(c->Value());
        Zustand(*w, c->Enabled, c->Visible, c->Hint);
    }
    for (const auto& [c, w] : knoepfe_) {
        if (!w) continue;
        if (const QString text = Beschriftung(c->Caption, kuerzel_.value(w)); w->text() != text)
            w->setText(text);
        Zustand(*w, c->Enabled, c->Visible, c->Hint);
    }
    for (const auto& [c, w] : labels_)
        if (w && w->text() != Q(c->Caption)) w->setText(Q(c->Caption));
    for (const auto& [c, w] : gruppen_) {
        if (!w) continue;
        if (const QString text = Beschriftung(c->Caption); w->title() != text) w->setTitle(text);
        Zustand(*w, c->Enabled, c->Visible);
    }
    for (const auto& [c, w] : memos_) {
        if (!w) continue;
        const QSignalBlocker stumm(w);
        const QString text = MemoText(*c);
        if (w->toPlainText() != text) w->setPlainText(text);
    }
}

}  // namespace pavolant::qt
