#include "ui/qt/Programmstart.h"

#include <QWidget>

namespace pavolant::qt {

bool Starten(Hauptfenster& form, QWidget& fenster, const std::filesystem::path& pfad, QSize bildschirm) {
    const bool ok = form.FormCreate(pfad, bildschirm.width(), bildschirm.height());
    fenster.move(form.Position.Links, form.Position.Oben);
    return ok;
}

bool Schliessen(Hauptfenster& form, const QWidget& fenster, const std::filesystem::path& pfad) {
    // The frame's top-left corner, as the window was placed.
    form.Position = {fenster.y(), fenster.x()};
    return form.FormCloseQuery(pfad);
}

}  // namespace pavolant::qt
