// The main window on the desktop: Hauptfenster's controls as widgets in the window's layout
// (top rows, three columns of group boxes, the status memo across the bottom), bound by
// name, with every user event run through Hauptfenster's error boundary.
#pragma once

#include "ui/Einstellungsfenster.h"
#include "ui/Hauptfenster.h"
#include "ui/qt/Bindung.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QGridLayout;
class QPlainTextEdit;

namespace pavolant::qt {

class Einstellungsdialog;
class Parameterliste;
class Profilansicht;
class Strassenvorschau;

class Hauptfensteransicht : public QMainWindow {
    Q_OBJECT

public:
    // The window's logic `form` and its dialogs `dialoge` (the same that `form` uses:
    // the settings dialog's browse button shows its file dialog through them) must
    // outlive the window.
    Hauptfensteransicht(Hauptfenster& form, Dialoge& dialoge, QWidget* eltern = nullptr);
    ~Hauptfensteransicht() override;

    Bindung& Verbindung() { return *bindung_; }
    Einstellungsdialog& Einstellungen() { return *einstellungen_; }
    Profilansicht& Profil() { return *profil_; }
    Parameterliste& Liste() { return *liste_; }

    // Asked when the window is to close; false keeps it open.
    void SetzeSchliessfrage(std::function<bool()> frage) { schliessfrage_ = std::move(frage); }

    // The road preview window, made on first use and then kept in step after every event.
    Strassenvorschau& Vorschau();

protected:
    void closeEvent(QCloseEvent* ereignis) override;

private:
    void MemoKopieren();

    Hauptfenster& form_;
    Bindung* bindung_;
    Einstellungsfenster pref_;
    Einstellungsdialog* einstellungen_;
    Profilansicht* profil_ = nullptr;
    Parameterliste* liste_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    std::function<bool()> schliessfrage_;

    // ---- Road preview: its button beside Go, and the window once it exists.
    void VorschauKnopfEinbauen(QGridLayout& oben);
    void VorschauNachfuehren();
    QPointer<Strassenvorschau> vorschau_;
};

}  // namespace pavolant::qt
