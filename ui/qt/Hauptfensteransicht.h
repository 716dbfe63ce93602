// The main window on the desktop: Hauptfenster's controls as widgets in the window's layout
// (top rows, three columns of group boxes, the status memo across the bottom), bound by
// name, with every user event run through Hauptfenster's error boundary. The columns
// scroll where the screen is lower than they are tall, and a divider between them and
// the memo shares the height, so the window fits a laptop's screen.
//
// Above them a menu bar: File (load, save, save as, Go, quit) and Edit (undo, redo), each
// with its shortcut. The title names the road's parameter file and carries the desktop's
// modified marker; it, and which commands are enabled, follow every event. In the road's
// fields Ctrl+Z and Ctrl+Y / Ctrl+Shift+Z are the road's undo and redo, not the field's.
#pragma once

#include "ui/Einstellungsfenster.h"
#include "ui/Hauptfenster.h"
#include "ui/qt/Bindung.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QGridLayout;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;

namespace pavolant::qt {

class Einstellungsdialog;
class Gelaendedialog;
class Hoehenplanansicht;
class Parameterliste;
class Profilansicht;
class Punktetabellenansicht;
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
    Gelaendedialog& Gelaende() { return *gelaende_; }
    Parameterliste& Liste() { return *liste_; }

    // Asked when the window is to close; false keeps it open.
    void SetzeSchliessfrage(std::function<bool()> frage) { schliessfrage_ = std::move(frage); }

    // The road preview window, made on first use and then kept in step after every event:
    // each event starts a run of the road as it stands on a worker thread.
    Strassenvorschau& Vorschau();
    // Whether a preview run is still under way (the picture may not be the newest yet).
    bool VorschauRechnet() const { return vorschauLaeuft_; }
    // The points table ("Points table"), made on first use beside the window and then
    // kept in step after every event.
    Punktetabellenansicht& Punktetabelle();
    // The plot "Road and terrain", made on first use and then, while it is open, kept in
    // step with every run as the preview is.
    Hoehenplanansicht& Hoehenplan();

    // The menu's commands, by what they do.
    QAction& AktionLaden() { return *laden_; }
    QAction& AktionSpeichern() { return *speichern_; }
    QAction& AktionSpeichernUnter() { return *speichernUnter_; }
    QAction& AktionGo() { return *go_; }
    QAction& AktionRueckgaengig() { return *rueckgaengig_; }
    QAction& AktionWiederholen() { return *wiederholen_; }

protected:
    void closeEvent(QCloseEvent* ereignis) override;
    bool eventFilter(QObject* ziel, QEvent* ereignis) override;

private:
    void MemoKopieren();
    void MenueEinbauen();
    // Title, modified marker and the commands' enabled states as the window logic has them.
    void ZustandZeigen();

    Hauptfenster& form_;
    Bindung* bindung_;
    Einstellungsfenster pref_;
    Einstellungsdialog* einstellungen_;
    Gelaendefenster gelaendefenster_;
    Gelaendedialog* gelaende_ = nullptr;
    Profilansicht* profil_ = nullptr;
    Parameterliste* liste_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    // The memo shows its last line: set by a new text, cleared when the user scrolls.
    bool memoFolgt_ = false;
    // The columns' scroll area, and the divider between it and the memo; Teilen shares
    // the height between them until the user drags the divider.
    QScrollArea* spalten_ = nullptr;
    QSplitter* teiler_ = nullptr;
    bool teilerGezogen_ = false;
    void Teilen();
    std::function<bool()> schliessfrage_;
    QAction* laden_ = nullptr;
    QAction* speichern_ = nullptr;
    QAction* speichernUnter_ = nullptr;
    QAction* go_ = nullptr;
    QAction* rueckgaengig_ = nullptr;
    QAction* wiederholen_ = nullptr;
    // Something was typed into a field of the road since the last event: not yet a step
    // of the history, but undo takes it back first.
    bool eingabeOffen_ = false;

    // ---- Road preview: its button beside Go, and the window once it exists.
    void VorschauKnopfEinbauen(QGridLayout& oben);
    void VorschauNachfuehren();
    // The live preview: one run on a worker thread at a time; a newer request waits and
    // supersedes the running one, whose result is then dropped.
    void VorschauRechnen();
    void VorschauStarten(std::shared_ptr<Vorschauauftrag> auftrag);
    void VorschauFertig(std::uint64_t nummer, Vorschauergebnis ergebnis);
    bool vorschauLaeuft_ = false;
    std::shared_ptr<Vorschauauftrag> vorschauWartend_;
    // Each request and each road of a "Go" takes the next number; only the result of the
    // newest is shown.
    std::uint64_t vorschauNummer_ = 0;
    // The mesh of the last "Go" shown, so that the same run is not taken twice.
    const Netz* gezeigterGoLauf_ = nullptr;
    QPointer<Strassenvorschau> vorschau_;
    QPointer<Punktetabellenansicht> tabelle_;
    QPointer<Hoehenplanansicht> hoehenplan_;
    bool HoehenplanOffen() const;
};

}  // namespace pavolant::qt
