// The road's fields in one table: for each field its control in the window, the caption
// a message names it by, the value the window starts with, its place in the parameter
// file with the value a file that lacks the key gives, its place in the order a build
// reads the numbers, and where it goes in the road value.
//
// The window's start value and the file's missing-key default differ for some fields
// (the width starts at 7 in the window but a file without the key gives 6; the shape
// name "RoadPAV" against "Strasse"): files written over the years rely on the file's,
// users on the window's, so both stay, side by side in one row.
#pragma once

#include "model/Strasse.h"
#include "model/Zahlen.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

enum class Wertart {
    Text,     // an edit field's text, stored exactly as typed (decimal comma included)
    Zahl,     // a number of the window, general format; read through ZahlAusText
    Boolean,  // "1" or "0"; read as an integer, non-zero is true, malformed gives the default
};

// Where a key goes in the parameter file: before the road model's own sections (the
// border profiles, the spline points) or after them.
enum class Teil { VorDemModell, NachDemModell };

struct Strassenfeld {
    std::string_view Name;          // the window's control (edit field, check box) or field
    std::string_view Beschriftung;  // group and label as a message names the field (msgid); empty: none
    std::string_view Start;         // the window's start text ("1"/"0" for a box); empty for the
                                    // fineness, which starts from the settings file
    std::string_view Sektion;       // parameter file; empty: the file keeps it elsewhere or not at all
    std::string_view Schluessel;
    Wertart Art = Wertart::Text;
    std::string_view Vorgabe;  // value of a missing key, as file text ("1"/"0" for Booleans)
    Teil Lage = Teil::VorDemModell;
    // The build reads its numbers in rising order of this; 0: not a number of the road.
    int Lesefolge = 0;
    // The check box without which the build does not read this number.
    std::string_view Nur;
    // Where the value goes in the road value (at most one of them).
    std::string& (*Text)(Strasse&) = nullptr;
    bool& (*Schalter)(Strasse&) = nullptr;
    double& (*Zahl)(Strasse&) = nullptr;
    int& (*Ganzzahl)(Strasse&) = nullptr;
};

// Every field, in the order the parameter file writes its keys.
std::span<const Strassenfeld> Strassenfelder();
// The row of the field `name`; throws std::logic_error for a name the table lacks.
const Strassenfeld& FeldNamens(std::string_view name);
std::size_t Feldindex(std::string_view name);

// A field's value: the text of an edit field, the state of a box, the number of a
// fineness setting (Wertart tells which).
struct Feldwert {
    std::string Text;
    bool Wahr = false;
    double Zahl = 0;
};
// One value per row of Strassenfelder(), in table order.
using Feldwerte = std::vector<Feldwert>;

// The window's start values (the fineness at the settings' defaults).
Feldwerte Startwerte();

// A text of a field that is no number: the conversion's message, and the field.
class StrassenfeldFehler : public KonvertierungsFehler {
public:
    StrassenfeldFehler(const KonvertierungsFehler& fehler, std::string_view feld, int stelle)
        : KonvertierungsFehler(fehler), Feld(feld), Stelle(stelle) {}
    std::string Feld;  // the field's name in the table
    int Stelle;        // its Lesefolge
};

// The road from its fields and its model parts. The numbers are read in the table's
// Lesefolge; the first text that is no number throws StrassenfeldFehler naming its field.
Strasse StrasseAusFeldern(const Feldwerte& felder, std::vector<TSplinePkt> punkte, const TRandPunkte& profilR,
                          const TRandPunkte& profilL, const TFuellFlaeche& fuellung);
// The same without throwing: the first such text is kept in `fehler` and the road holds 0
// for it. "Go" builds that road up to the place where it reads the field
// (Bauvorgaben::BisFeld), so that a check before it still stops the run first.
Strasse StrasseAusFeldern(const Feldwerte& felder, std::vector<TSplinePkt> punkte, const TRandPunkte& profilR,
                          const TRandPunkte& profilL, const TFuellFlaeche& fuellung,
                          std::optional<StrassenfeldFehler>& fehler);

}  // namespace pavolant
