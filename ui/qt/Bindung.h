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
// focus goes back to the field that was left.
#pragma once

#include "ui/Steuerelemente.h"

#include <QObject>
#include <QPointer>

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

    // One event of the window: the exits still due, then `handler`, each through the
    // boundary, then the widgets brought in step. False when something failed; the
    // handler does not run when an exit failed.
    bool Ereignis(const std::function<void()>& handler);
    // Runs the exits due from focus moves; false when one failed.
    bool AustritteAusfuehren();
    // The focused widget is left for no other control of the window (the window closes):
    // its exits run now. False when one failed; the focus is then back on the field.
    bool FokusAbgeben();
    // Every widget shows its control's state.
    void Synchronisieren();

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

    QWidget& fenster_;
    Grenze grenze_;
    std::vector<Paar<TEdit, QLineEdit>> edits_;
    std::vector<Paar<TCheckBox, QCheckBox>> boxen_;
    std::vector<Paar<TSpinEdit, QSpinBox>> spins_;
    std::vector<Paar<TButton, QAbstractButton>> knoepfe_;
    std::vector<Paar<TLabel, QLabel>> labels_;
    std::vector<Paar<TGroupBox, QGroupBox>> gruppen_;
    std::vector<Paar<TMemo, QPlainTextEdit>> memos_;

    QPointer<QWidget> fokus_;  // the last widget of this window that had the focus
    std::deque<Austritt> ausstehend_;
    bool austritteLaufen_ = false;
};

}  // namespace pavolant::qt
