// The parameter listing window on the desktop: Randauflistung's listing in a text
// field under a panel with OK and the font button. Made once and reused, so a font the
// user chose stays for later showings (it is not saved).
#pragma once

#include "ui/Randauflistung.h"
#include "ui/qt/Bindung.h"

#include <QDialog>
#include <QFont>

#include <functional>
#include <optional>

class QPlainTextEdit;

namespace pavolant::qt {

class Parameterliste : public QDialog {
    Q_OBJECT

public:
    // Asks the user for a font, starting from the current one; nullopt when cancelled.
    using Schriftwahl = std::function<std::optional<QFont>(const QFont& aktuell, QWidget* eltern)>;

    // `form` must outlive the window.
    Parameterliste(Randauflistung& form, Bindung::Grenze grenze, QWidget* eltern = nullptr);

    // Shows the listing and caption as they stand in the form, modally.
    void Zeigen();
    // The font dialog; the desktop's by default, replaced by tests.
    void SetzeSchriftwahl(Schriftwahl wahl) { schriftwahl_ = std::move(wahl); }
    QPlainTextEdit& Liste() { return *liste_; }

private:
    void SchriftWaehlen();

    Randauflistung& form_;
    Bindung* bindung_;
    QPlainTextEdit* liste_;
    Schriftwahl schriftwahl_;
};

}  // namespace pavolant::qt
