// Numbers read from the window's fields. A text that is no number stops the handler as
// ZahlAusText and GanzzahlAusText do, with their message, and also says which field it
// came from, so the window can name the field and put the focus there.
#pragma once

#include "model/Zahlen.h"
#include "ui/Steuerelemente.h"

namespace pavolant {

class Feldfehler : public KonvertierungsFehler {
public:
    Feldfehler(const KonvertierungsFehler& fehler, const TEdit& feld)
        : KonvertierungsFehler(fehler), Feld(&feld) {}
    const TEdit* Feld;  // the window's control; it outlives the event that reports it
};

inline double FeldZahl(const TEdit& feld) {
    try {
        return ZahlAusText(feld.Text);
    } catch (const KonvertierungsFehler& e) {
        throw Feldfehler(e, feld);
    }
}

inline int FeldGanzzahl(const TEdit& feld) {
    try {
        return GanzzahlAusText(feld.Text);
    } catch (const KonvertierungsFehler& e) {
        throw Feldfehler(e, feld);
    }
}

}  // namespace pavolant
