// Builds the widgets of a window's controls: each widget carries its control's name as
// objectName and is bound to the control, so the view's state is the model's. The
// kinds follow the names' prefixes: bitmap buttons (bbn) carry an icon and take the
// focus, plain buttons (btn) take the focus, glyph buttons (spb) are small tool buttons
// that a click never gives the focus, so pressing one does not end the editing of a
// field; the keyboard reaches them with Tab.
#pragma once

#include "ui/Dialoge.h"
#include "ui/Steuerelemente.h"
#include "ui/qt/Bindung.h"

#include <QIcon>

#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QWidget;

namespace pavolant::qt {

enum class Symbol {
    Keines,
    Oeffnen,
    Speichern,
    SpeichernUnter,
    Start,
    Kopieren,
    Info,
    Einstellungen,
    Einfuegen,  // insert before the current item
    Loeschen,   // delete the current item
    Anhaengen,  // append at the end
    Zurueck,    // restore a former value
    NachRechts,
    NachLinks,
    Neuzeichnen,  // draw again
    Schrift,      // choose a font
    Liste,        // show a listing
    Profil,       // show a drawing
};

// The desktop theme's icon where it has one, else Qt's standard icon, else a glyph
// drawn here (the segment and point buttons always use the drawn ones, so the three
// buttons of a row read alike on every desktop).
QIcon Symbolbild(Symbol symbol);

// Finds the controls by name; a name the lookup does not know is a programming error
// (std::logic_error) unless asked for as optional.
struct Steuerelementsuche {
    std::function<TEdit*(std::string_view)> Edit;
    std::function<TCheckBox*(std::string_view)> CheckBox;
    std::function<TSpinEdit*(std::string_view)> SpinEdit;
    std::function<TButton*(std::string_view)> Button;
    std::function<TLabel*(std::string_view)> Label;
    std::function<TGroupBox*(std::string_view)> GroupBox;
    std::function<TMemo*(std::string_view)> Memo;
};

class Bausteine {
public:
    Bausteine(Steuerelementsuche suche, Bindung& bindung) : suche_(std::move(suche)), bindung_(bindung) {}

    QLineEdit* Feld(std::string_view name);
    QCheckBox* Box(std::string_view name);
    QSpinBox* Spin(std::string_view name);
    // Bitmap button: icon, caption, takes the focus. `aktion` replaces the control's
    // OnClick when the view does the work.
    QPushButton* Knopf(std::string_view name, Symbol symbol, std::function<void()> aktion = {});
    // The same, or null when the window has no such control.
    QPushButton* KnopfFallsVorhanden(std::string_view name, Symbol symbol);
    QPushButton* Schlicht(std::string_view name);  // plain button
    QToolButton* Glyphe(std::string_view name, Symbol symbol);
    QLabel* Beschriftung(std::string_view name);
    // A group box with a grid for its content.
    QGroupBox* Gruppe(std::string_view name, QGridLayout*& raster);
    QPlainTextEdit* Memo(std::string_view name);

private:
    Steuerelementsuche suche_;
    Bindung& bindung_;
};

// A lookup for a dialog's few controls: name and control, in any order.
template <class T>
std::function<T*(std::string_view)> Tabelle(
    std::initializer_list<std::pair<std::string_view, T*>> eintraege) {
    std::vector<std::pair<std::string_view, T*>> v(eintraege);
    return [v](std::string_view name) -> T* {
        for (const auto& [n, c] : v)
            if (n == name) return c;
        return nullptr;
    };
}

// The error boundary of a dialog's own events (a browse button): an error goes to the
// error box and the dialog stays open.
Bindung::Grenze Fehlerbox(Dialoge& dialoge);

// A caption the model does not hold: field labels and units.
QLabel* Text(const char* text);
// A grid with the window's compact spacing.
QGridLayout* Raster(QWidget* eltern = nullptr);

}  // namespace pavolant::qt
