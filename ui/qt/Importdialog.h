// The import's choice on the desktop: the scene's tree (groups and shapes with their
// names and shape counts), and what of it becomes spline points: the selected groups
// and shapes, the shapes from one to another by position, or all of them. What a pick
// yields is the Qt-free layer's (ui/Importauswahl); the dialog only shows and binds.
#pragma once

#include "ui/Importauswahl.h"

#include <QDialog>

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace pavolant::qt {

class Importdialog : public QDialog {
public:
    Importdialog(const I3dSzene& szene, const std::vector<Importzeile>& baum, QWidget* eltern = nullptr);
    // The pick as the dialog stands now.
    Importwahl Wahl() const;
    QTreeWidget& Baum() { return *baum_; }

private:
    void Aktualisieren();

    const I3dSzene& szene_;
    QTreeWidget* baum_;
    QRadioButton *auswahl_, *bereich_, *alles_;
    QComboBox *von_, *bis_;
    QLabel* ergebnis_;
    QPushButton* ok_;
};

// Shows the dialog modally; nullopt when it was cancelled.
std::optional<Importwahl> ImportWaehlen(QWidget* eltern, const I3dSzene& szene,
                                        const std::vector<Importzeile>& baum);

}  // namespace pavolant::qt
