// Which field a conversion error came from, and how the message names it by the caption
// the field table gives it.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include "model/Strassenfelder.h"
#include "model/Text.h"

#include <string_view>
#include <utility>

namespace pavolant {

std::string_view Feldbeschriftung(std::string_view name) {
    // The table's texts are literals, so each view ends in the NUL that Tr needs.
    for (const Strassenfeld& feld : Strassenfelder())
        if (feld.Name == name && !feld.Beschriftung.empty()) return Tr(feld.Beschriftung.data());
    return {};
}

std::string MitFeldbeschriftung(std::string text, const std::optional<std::string>& feld) {
    if (!feld) return text;
    const std::string_view beschriftung = Feldbeschriftung(*feld);
    if (beschriftung.empty()) return text;
    // Catalog: %1 is a message, %2 the field it concerns ("Roadway - Geometry: Width").
    return Einsetzen(Tr("%1 (%2)"), {text, beschriftung});
}

std::optional<std::string> Hauptfenster::FeldDesFehlers(const KonvertierungsFehler& fehler) {
    if (const auto* f = dynamic_cast<const StrassenfeldFehler*>(&fehler)) return f->Feld;
    if (const auto* f = dynamic_cast<const Feldfehler*>(&fehler)) {
        for (const auto& k : Edits())
            if (&(this->*k.feld) == f->Feld) return std::string(k.name);
    }
    return std::nullopt;  // a field of another window, or a number from a file
}

}  // namespace pavolant
