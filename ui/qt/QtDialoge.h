// The window's modal boxes on the desktop: warnings and information as message boxes
// with one OK button, the handler boundary's error box, and the file dialogs (the
// desktop's own dialogs where the platform offers them).
#pragma once

#include "model/Meldung.h"
#include "ui/Hauptfenster.h"

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace pavolant::qt {

// The boxes break lines with CR (alone or before LF); Qt wants LF.
QString Meldungstext(const std::string& text);

// The name filters in Qt's form: "Parameter (*.ini)". A "*.*" pattern means every file,
// as on the platform the filters were written for; Qt would match only names with a
// dot, so it becomes "*". Without any filter: one "all files" entry.
QStringList Namensfilter(const DateiAuswahl& auswahl);

// Sets up `dialog` for `auswahl`: filters, default extension, preset name, open or
// save mode, only existing files when asked, no overwrite question when saving.
void Einrichten(QFileDialog& dialog, const DateiAuswahl& auswahl, bool speichern);

// The path as the program uses it. Native dialogs do not all append the default
// extension: a save path without an extension gets it; an open path without one gets it
// only when the bare name does not exist and the extended one does.
QString MitStandardendung(const QString& pfad, const DateiAuswahl& auswahl, bool speichern);

// Shows `text` in a modal box with `icon` and one OK button; returns when it is closed.
void Meldungsbox(QWidget* eltern, QMessageBox::Icon icon, const QString& titel, const QString& text);

class QtMelder : public Melder {
public:
    // The window the boxes are modal for; may be set after construction (the window
    // needs the melder before it exists).
    void SetzeFenster(QWidget* fenster) { fenster_ = fenster; }
    void Melden(MeldungsArt art, const std::string& text) override;
    bool JedeMeldungEinBox() const override { return true; }

private:
    QPointer<QWidget> fenster_;
};

class QtDialoge : public Dialoge {
public:
    void SetzeFenster(QWidget* fenster) { fenster_ = fenster; }
    std::optional<std::string> DateiOeffnen(const DateiAuswahl& auswahl) override;
    std::optional<std::string> DateiSpeichern(const DateiAuswahl& auswahl) override;
    void Fehler(const std::string& text) override;
    Sichern AenderungenSichern(const std::string& frage) override;
    std::optional<std::size_t> Anbieten(MeldungsArt art, const std::string& text,
                                        const std::vector<std::string>& angebote) override;
    std::optional<Importwahl> ImportWaehlen(const I3dSzene& szene,
                                            const std::vector<Importzeile>& baum) override;
    bool Ersetzen(const std::string& frage) override;
    std::optional<std::size_t> Hinweisen(MeldungsArt art, const std::string& text,
                                         const std::vector<std::string>& angebote) override {
        return Anbieten(art, text, angebote);
    }

private:
    std::optional<std::string> Zeigen(const DateiAuswahl& auswahl, bool speichern);
    QPointer<QWidget> fenster_;
};

}  // namespace pavolant::qt
