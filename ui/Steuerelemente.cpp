#include "ui/Steuerelemente.h"

#include "model/Zahlen.h"

namespace pavolant {

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (OnClick) OnClick();
}

void TSpinEdit::SetValue(int value) {
    // Two tests in this order, not std::clamp: MaxValue may be below MinValue (a spin
    // over an empty list), where std::clamp is undefined.
    if (MinValue != MaxValue) {
        if (value < MinValue)
            value = MinValue;
        else if (value > MaxValue)
            value = MaxValue;
    }
    if (value == value_) return;
    value_ = value;
    if (OnChange) OnChange();
}

void TSpinEdit::SetText(std::string_view text) {
    int value = MinValue;
    try {
        value = GanzzahlAusText(text);
    } catch (const KonvertierungsFehler&) {
        // Not a number: the spin reads as its minimum.
    }
    SetValue(value);
}

}  // namespace pavolant
