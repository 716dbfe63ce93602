// Binds the toolkit-free controls to Qt widgets and runs the user's events through the
// window's error boundary.
//
// Direction of state: typed text goes into the control as it is typed (the handlers
// read the controls' texts); everything else flows from the controls to the widgets.
// After each event the binder pushes every control's state into its widget, with the
// widget's signals blocked, so a handler that sets a check box or spin from code runs
// its chain once, in the model, and the view only shows the outcome.
//
// Focus. Exit handlers run when the focus moves from a field to another control of the
// same window, and a group's exit handler when the focus moves from inside the group to
// a control outside it (innermost first, after the field's). Moves to another window (a
// dialog, a message box) and back are no exit. A field the program itself hid or
// disabled is not left by the user, so its exits do not run. The exits of a move run
// before the next event of the window: the focus-taking buttons get the focus on the
// press, so a click always sees the committed fields. When an exit fails, the event
// that followed it is dropped (it would act on values that did not commit) and the
// focus goes back to the field that was left, or to the field whose text stopped the
// event when the window names one (SetzeFehlerfeld), with its text selected.
//
// A command that takes no focus (a menu entry, its shortcut) commits the field being
// typed into as if it were left, and the focus stays there. A focus-taking button pressed
// through its mnemonic takes the focus first, as the mouse gives it on the press.
#pragma once

#include "ui/Steuerelemente.h"

#include <QChar>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;

namespace pavolant::qt {

class Bindung : public QObject {
    Q_OBJECT

public:
    // Runs one handler; false when it failed (the boundary has shown why).
    using Grenze = std::function<bool(const std::function<void()>&)>;

    // `fenster` is the top-level window whose focus moves count.
    Bindung(QWidget& fenster, Grenze grenze);

    void Binden(TEdit& control, QLineEdit* widget);
    void Binden(TCheckBox& control, QCheckBox* widget);
    void Binden(TSpinEdit& control, QSpinBox* widget);
    // `aktion` replaces the control's OnClick, for buttons whose work is the view's.
    void Binden(TButton& control, QAbstractButton* widget, std::function<void()> aktion = {});
    void Binden(TLabel& control, QLabel* widget);
    void Binden(TGroupBox& control, QGroupBox* widget);
    void Binden(TMemo& control, QPlainTextEdit* widget);
    // The bound button shows its control's caption with `buchstabe` (its first occurrence,
    // either case) as mnemonic; the control's caption itself is left as it is.
    void Kuerzel(QAbstractButton* widget, QChar buchstabe);
    // After an event that failed: the field whose text stopped it, or null.
    void SetzeFehlerfeld(std::function<const TEdit*()> feld) { fehlerfeld_ = std::move(feld); }

    // One event of the window: the exits still due, then `handler`, each through the
    // boundary, then the widgets brought in step. False when something failed; the
    // handler does not run when an exit failed.
    bool Ereignis(const std::function<void()>& handler);
    // A command of the window that takes no focus: Festschreiben(), then Ereignis(handler).
    bool Befehl(const std::function<void()>& handler);
    // The widget that has the focus in this window is committed as if it were left for
    // nothing in the window (its field's exit, then its groups' exits); the focus stays
    // there, and leaving it later runs the exits again, which commit nothing new. False
    // when an exit failed.
    bool Festschreiben();
    // Runs the exits due from focus moves; false when one failed.
    bool AustritteAusfuehren();
    // The focused widget is left for no other control of the window (the window closes):
    // its exits run now. False when one failed; the focus is then back on the field.
    bool FokusAbgeben();
    // Every widget shows its control's state.
    void Synchronisieren();

    // What a button shows for `caption`: an ampersand doubled (Qt would take it for a
    // mnemonic), and `kuerzel`, when not null and in the caption, marked as mnemonic.
    static QString Beschriftung(const std::string& caption, QChar kuerzel = QChar());

private:
    template <class C, class W>
    struct Paar {
        C* control;
        QPointer<W> widget;
    };
    struct Austritt {
        QPointer<QWidget> verlassen;
        std::vector<std::function<void()>> handler;
    };

    void FokusGewechselt(QWidget* neu);
    // The exits of leaving `verlassen` for `neu` (null: for nothing in the window).
    Austritt AustrittVon(QWidget* verlassen, const QWidget* neu) const;
    TEdit* FeldVon(const QWidget* widget) const;
    TGroupBox* GruppeVon(const QWidget* widget) const;
    // Focus and selection onto the field SetzeFehlerfeld names; false when there is none
    // or it cannot take the focus.
    bool FehlerfeldFokussieren();
    // The focus back onto `feld` after its exit failed, in its own window (activated).
    void ZurueckAufFeld(QWidget& feld);

    QWidget& fenster_;
    Grenze grenze_;
    std::vector<Paar<TEdit, QLineEdit>> edits_;
    std::vector<Paar<TCheckBox, QCheckBox>> boxen_;
    std::vector<Paar<TSpinEdit, QSpinBox>> spins_;
    std::vector<Paar<TButton, QAbstractButton>> knoepfe_;
    std::vector<Paar<TLabel, QLabel>> labels_;
    std::vector<Paar<TGroupBox, QGroupBox>> gruppen_;
    std::vector<Paar<TMemo, QPlainTextEdit>> memos_;
    QHash<const QAbstractButton*, QChar> kuerzel_;
    std::function<const TEdit*()> fehlerfeld_;

    QPointer<QWidget> fokus_;  // the last widget of this window that had the focus
    std::deque<Austritt> ausstehend_;
    bool austritteLaufen_ = false;
};

}  // namespace pavolant::qt
