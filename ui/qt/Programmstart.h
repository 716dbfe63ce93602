// Start-up and closing of the desktop program around its main window, through the
// window logic's FormCreate and FormCloseQuery: the settings file and the window's
// place on the screen.
#pragma once

#include "ui/Hauptfenster.h"

#include <QSize>

#include <filesystem>

class QWidget;

namespace pavolant::qt {

// Before the window is shown: FormCreate with the settings file `pfad` and a screen of
// size `bildschirm`, then the window at the position it settled on. False when the
// settings file could not be read; the error box has said so and the program runs on
// with what was read.
bool Starten(Hauptfenster& form, QWidget& fenster, const std::filesystem::path& pfad, QSize bildschirm);

// When the window is to close: its position as it stands now, then FormCloseQuery. False
// when the settings file could not be written; the error box has said so and the window
// should stay open.
bool Schliessen(Hauptfenster& form, const QWidget& fenster, const std::filesystem::path& pfad);

}  // namespace pavolant::qt
