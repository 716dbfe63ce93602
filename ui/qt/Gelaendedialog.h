// The terrain dialog on the desktop: Gelaendefenster's controls as widgets, shown modally
// from the main window. Leaving a field reads the terrain again and shows what it holds;
// OK closes only once the terrain the fields name could be read.
#pragma once

#include "ui/Dialoge.h"
#include "ui/Gelaendefenster.h"
#include "ui/qt/Bindung.h"

#include <QDialog>

#include <cstdint>

namespace pavolant::qt {

class Gelaendedialog : public QDialog {
    Q_OBJECT

public:
    // `dialoge` serves the browse button and shows the errors; `fenster` and `dialoge`
    // must outlive the dialog. `speichergrenze` bounds a height image's decoding (bytes) and must
    // outlive the dialog too.
    Gelaendedialog(Gelaendefenster& fenster, Dialoge& dialoge, const std::uint64_t& speichergrenze,
                   QWidget* eltern = nullptr);

    // Shows the fields as they stand in the dialog's controls, modally; true when closed
    // with OK.
    bool Zeigen();

private:
    Gelaendefenster& fenster_;
    Dialoge& dialoge_;
    const std::uint64_t& grenze_;  // the window's memory limit, as it stands
    Bindung* bindung_;
};

}  // namespace pavolant::qt
