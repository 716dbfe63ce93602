// Start-up and closing of the desktop program around its main window, through the
// window logic's FormCreate and FormCloseQuery: the settings file and the window's
// place on the screen.
//
// The stored position is the frame's top-left corner (title bar included), in the
// coordinates of the whole desktop; it is read and written as that same kind of point,
// so a window closed where it was opened stores the numbers it was opened with.
#pragma once

#include "ui/Hauptfenster.h"

#include <QList>
#include <QRect>
#include <QSize>

#include <filesystem>

class QTranslator;
class QWidget;

namespace pavolant::qt {

// What a desktop program sets up once its QApplication stands (it sets the locale the
// catalogs depend on): the application's name, the system's decimal separator for every
// number, and the language: the settings dialog's choice in the settings file
// `einstellungen`, else the usual variables, else the desktop's. Qt's own buttons
// ("Cancel", "Show Details...") speak it through Qt's catalog, loaded into `qtTexte`,
// which must live as long as the application. Shared by the desktop program and its
// screenshot tour, so that the tour's pictures show the program as it starts.
void AnwendungEinrichten(QTranslator& qtTexte, const std::filesystem::path& einstellungen);

// What the screens leave to windows: each screen's available area, and the primary one's.
struct Bildschirmflaechen {
    QList<QRect> bereiche;
    QRect primaer;
};
// Those of the running desktop.
Bildschirmflaechen Bildschirme();

// Before the window is shown: FormCreate with the settings file `pfad`, then the window
// no larger than the primary area, at its stored place while its title bar can be
// grabbed on one of the screens (else moved onto the primary one), or without a stored
// place at the design position kept on the primary area. False when the settings file
// could not be read; the error box has said so and the program runs on with what was
// read, at the design position.
bool Starten(Hauptfenster& form, QWidget& fenster, const std::filesystem::path& pfad,
             const Bildschirmflaechen& flaechen);
// The same with one screen of size `bildschirm` at the desktop's origin.
bool Starten(Hauptfenster& form, QWidget& fenster, const std::filesystem::path& pfad, QSize bildschirm);

// When the window is to close: its frame's position as it stands now, then
// FormCloseQuery. False when the settings file could not be written; the error box has
// said so and the window should stay open.
bool Schliessen(Hauptfenster& form, const QWidget& fenster, const std::filesystem::path& pfad);

}  // namespace pavolant::qt
