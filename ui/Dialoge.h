// The main window's modal boxes besides the road model's messages (those go to a
// Melder): the file dialogs and the error box, as an interface the desktop view and the
// command line each implement, and what each of the window's file dialogs shows.
#pragma once

#include "model/Meldung.h"
#include "model/Text.h"
#include "ui/Importauswahl.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pavolant {

struct Dateifilter {
    std::string Beschreibung;
    std::string Muster;  // "*.ini"
};

// What a file dialog shows when it opens.
struct DateiAuswahl {
    std::vector<Dateifilter> Filter;
    std::string StandardEndung;   // without the dot, appended to a name typed without one; empty: none
    std::string Dateiname;        // preset name
    bool MussExistieren = false;  // only an existing file may be chosen
};

class Dialoge {
public:
    virtual ~Dialoge() = default;
    // The chosen full path, or nullopt when the user cancelled. A save dialog does not
    // ask before an existing file is chosen.
    virtual std::optional<std::string> DateiOeffnen(const DateiAuswahl& auswahl) = 0;
    virtual std::optional<std::string> DateiSpeichern(const DateiAuswahl& auswahl) = 0;
    // The error box of the handler boundary (see Ausfuehren).
    virtual void Fehler(const std::string& text) = 0;
    // Unsaved changes would be lost: `frage` ("Save changes to NAME?") with Save,
    // Discard and Cancel. The command line never asks and discards.
    enum class Sichern { Speichern, Verwerfen, Abbrechen };
    virtual Sichern AenderungenSichern(const std::string& frage) = 0;
    // A warning or information that offers ways on: `text` with one button for each of
    // `angebote` and OK. The index of the offer taken, or nullopt for OK (and for a box
    // closed otherwise). The command line prints the text as the message it is and
    // takes no offer: its options say what to do.
    virtual std::optional<std::size_t> Anbieten(MeldungsArt art, const std::string& text,
                                                const std::vector<std::string>& angebote) = 0;
    // An i3d scene with more than one group was read: its tree is shown, and the user
    // picks what becomes points. nullopt: cancelled, the points stay. Without a dialog
    // of its own (the command line) every shape is taken, as before there was a choice.
    virtual std::optional<Importwahl> ImportWaehlen(const I3dSzene& /*szene*/,
                                                    const std::vector<Importzeile>& /*baum*/) {
        return Importwahl{};
    }
    // A file the road is about to replace: `frage` names it, with Replace and Cancel.
    // True to replace. The command line does not ask: its -o says where to write, so
    // this default answers yes.
    virtual bool Ersetzen(const std::string& frage) {
        (void)frage;
        return true;
    }
    // A note only a person at the desktop needs, as Anbieten: `text` with the offers and
    // OK. The command line shows nothing and takes no offer (nullopt): its files may hold
    // just what a run needs, and its output is read by scripts.
    virtual std::optional<std::size_t> Hinweisen(MeldungsArt art, const std::string& text,
                                                 const std::vector<std::string>& angebote) {
        (void)art, (void)text, (void)angebote;
        return std::nullopt;
    }
};

// ---- The main window's file dialogs ------------------------------------------------------------
// The filter captions are the ones users know from the window, odd spacing included,
// in the user's language; the patterns and preset names are the files' own.

// "i3d-File": the document a run writes.
inline DateiAuswahl AusgabeDialog() {
    return {{{Tr("Giants-Editor"), "*.i3d"}, {Tr("all files   "), "*.*"}}, "i3d", "test.i3d", false};
}
// The texture browse buttons of the roadway and both borders.
inline DateiAuswahl TexturDialog() {
    return {{{Tr("dds-Bilder"), "*.dds"}, {Tr("All files   "), "*.*"}}, "", "test.dds", true};
}
// The spline point import (an i3d document the level editor exported).
inline DateiAuswahl SplineDialog() {
    return {{{Tr("i3d"), "*.i3d"}, {Tr("all Files   "), "*.*"}}, "", "test.i3d", false};
}
// Loading a parameter file, whole or one border of it, and saving one.
inline DateiAuswahl ParameterOeffnenDialog() {
    return {{{Tr("Parameter"), "*.ini"}, {Tr("All files   "), "*.*"}}, "ini", "Parameter.ini", true};
}
inline DateiAuswahl ParameterSpeichernDialog() {
    return {{{Tr("Parameter"), "*.ini"}, {Tr("all files   "), "*.*"}}, "ini", "Parameter.ini", false};
}

}  // namespace pavolant
