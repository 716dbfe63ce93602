// The settings dialog on the desktop: Einstellungsfenster's controls as widgets, shown modally
// from the main window with OK and Cancel.
#pragma once

#include "ui/Einstellungsfenster.h"
#include "ui/Hauptfenster.h"
#include "ui/qt/Bindung.h"

#include <QDialog>

#include <functional>

class QComboBox;

namespace pavolant::qt {

class Einstellungsdialog : public QDialog {
    Q_OBJECT

public:
    // `dialoge` serves the texture browse button and shows its errors; `pref` and
    // `dialoge` must outlive the dialog.
    Einstellungsdialog(Einstellungsfenster& pref, Dialoge& dialoge, QWidget* eltern = nullptr);

    // Shows the fields as they stand in `pref`, modally; true when closed with OK.
    bool Zeigen();

private:
    Einstellungsfenster& pref_;
    Bindung* bindung_;
    QComboBox* sprache_ = nullptr;  // System, English, Deutsch: the order of Sprachwahl
};

}  // namespace pavolant::qt
