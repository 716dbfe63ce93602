// The points table on the desktop: every spline point as a row of Hauptfenster's table
// (number, X, Y, Z, Xrot, Yrot, Zrot, the check "leave terrain", the imported name), in a
// window of its own beside the main window.
// It only shows and forwards: typing into a cell, ticking a check, choosing a row,
// deleting the selected rows (Del), copying them (Ctrl+C) and pasting a spreadsheet's
// rows at the current cell (Ctrl+V) each run one event of the main window, whose
// handlers do the work; after every event of the main window the table shows the model
// again. The last point's check is shown but not offered: it starts no connection.
#pragma once

#include "ui/Hauptfenster.h"

#include <QWidget>

#include <functional>
#include <vector>

class QTableView;

namespace pavolant::qt {

class Punktemodell;

class Punktetabellenansicht : public QWidget {
    Q_OBJECT

public:
    // Runs one event of the main window (its binder's Ereignis); false when it failed.
    using Ereignis = std::function<bool(const std::function<void()>&)>;

    // `form` must outlive the window; `eltern` only owns it.
    Punktetabellenansicht(Hauptfenster& form, Ereignis ereignis, QWidget* eltern = nullptr);

    // The rows and the current point as the form has them now.
    void Nachfuehren();

    // The selected rows, ascending.
    std::vector<int> AusgewaehlteZeilen() const;
    void ZeilenLoeschen();
    void Kopieren();
    void Einfuegen();

    QTableView& Tabelle() { return *tabelle_; }

private:
    Hauptfenster& form_;
    Ereignis ereignis_;
    Punktemodell* modell_;
    QTableView* tabelle_;
    bool nachfuehren_ = false;  // the selection is being set from the model
};

}  // namespace pavolant::qt
