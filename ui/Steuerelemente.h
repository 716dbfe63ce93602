// The state of the window's controls, without any toolkit: what a control shows and
// which handler it runs. The windows' logic works on these; a view binds real widgets
// to them by the control's name and forwards the user's actions.
//
// Event rules of the toolkit that the handlers rely on:
//  - Setting a check box from code runs its OnClick whenever the state changes, exactly
//    as a click by the user does.
//  - Setting a spin field from code clamps the value to [MinValue, MaxValue] (not while
//    MinValue == MaxValue) and runs OnChange whenever the shown number changes.
//  - Changing MinValue or MaxValue does not touch the shown value.
// Handlers are called directly; an exception thrown by a handler leaves the control in
// its new state and travels to the caller (the window's error boundary).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

class TEdit {
public:
    std::string Text;
    bool Enabled = true;
    bool Visible = true;
    std::string Hint;
    // Shown greyed in place of an empty text, as a hint what belongs there; never read
    // as the field's value.
    std::string Platzhalter;
    std::function<void()> OnExit;  // the field lost the focus
    // The user typed into the field (every keystroke, before it is left). For fields
    // whose text decides at once what other controls offer; it must not change Text.
    std::function<void()> OnChange;

    void Exit() {
        if (OnExit) OnExit();
    }
    void Change() {
        if (OnChange) OnChange();
    }
};

class TCheckBox {
public:
    std::string Caption;
    bool Enabled = true;
    bool Visible = true;
    std::string Hint;
    std::function<void()> OnClick;

    bool Checked() const { return checked_; }
    // Runs OnClick only when the state changes. The new state is in place before the
    // handler runs, so a handler may set the box again (the chain ends once the state
    // no longer changes).
    void SetChecked(bool checked);
    // The user's click: toggles the box and runs OnClick.
    void Click() { SetChecked(!checked_); }
    // Shows `checked` without OnClick: for restoring a state the window had as a whole,
    // whose chains have already run.
    void Show(bool checked) { checked_ = checked; }

private:
    bool checked_ = false;
};

class TSpinEdit {
public:
    int MinValue = 0;
    int MaxValue = 0;
    bool Enabled = true;
    bool Visible = true;
    std::string Hint;
    std::function<void()> OnChange;

    int Value() const { return value_; }
    // Clamps (below MinValue gives MinValue, else above MaxValue gives MaxValue; no
    // clamping while MinValue == MaxValue) and runs OnChange when the value changes.
    void SetValue(int value);
    // What the user typed: a text that is no whole number counts as MinValue. Typed
    // numbers are clamped like set ones, so an index outside the range never reaches
    // a handler through the spin field.
    void SetText(std::string_view text);
    // Shows `value` as it is, without clamping and without OnChange: for the window
    // keeping the spin in step with its model after a handler corrected the index.
    void Show(int value) { value_ = value; }

private:
    int value_ = 0;
};

class TButton {
public:
    std::string Caption;
    bool Enabled = true;
    bool Visible = true;
    std::string Hint;
    std::function<void()> OnClick;

    // Runs OnClick whatever Enabled says, like a click issued from code; a view does
    // not forward clicks on a disabled button.
    void Click() {
        if (OnClick) OnClick();
    }
};

class TLabel {
public:
    std::string Caption;
};

class TGroupBox {
public:
    std::string Caption;
    bool Enabled = true;
    bool Visible = true;
    std::function<void()> OnExit;  // the focus left the group

    void Exit() {
        if (OnExit) OnExit();
    }
};

class TMemo {
public:
    std::vector<std::string> Lines;  // UTF-8, one entry per line
};

// A window's control of kind T under its component name, for lookup by name.
template <class Fenster, class T>
struct Komponente {
    std::string_view name;
    T Fenster::*feld;
};

// The control named `name` in `fenster`, from a table of its components; null when the
// table has no such name.
template <class Fenster, class T, class Tabelle>
T* KomponenteSuchen(Fenster& fenster, const Tabelle& tabelle, std::string_view name) {
    for (const Komponente<Fenster, T>& k : tabelle)
        if (k.name == name) return &(fenster.*k.feld);
    return nullptr;
}

}  // namespace pavolant
