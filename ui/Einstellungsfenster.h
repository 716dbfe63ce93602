// The settings dialog without a toolkit: the fineness thresholds and the front-face
// texture. The main window fills it, shows it modally and takes the values back only
// when the user confirms; the dialog keeps nothing between showings.
#pragma once

#include "model/FuellFlaeche.h"
#include "persistence/Einstellungen.h"
#include "ui/Steuerelemente.h"

#include <optional>
#include <string>

namespace pavolant {

class Einstellungsfenster {
public:
    Einstellungsfenster();

    std::string Caption;  // in the user's language (set by the constructor)
    TButton btnOK;        // closes with OK
    TButton Button1;      // "Cancel"

    TGroupBox GroupBox1;  // "General Settings         "
    TEdit edtLaenge, edtWinkel, edtSlope, edtZrotMin, edtmaxSturz;
    TCheckBox cboAlteDreiecke;

    TGroupBox GroupBox2;  // "Front face parameters      "
    TEdit edtStirnTextur;
    TButton bbnRandRLoadTex;  // browse for the front-face texture
    TEdit edtStirnBreite, edtStirnHoehe;
    TCheckBox cboStirnTexRot;

    // The language the program speaks from its next start: its choice list (the view
    // shows "System" translated, the languages in their own names) and the note below it.
    Sprachwahl Sprache = Sprachwahl::System;
    TLabel lblSprache;
    TLabel lblSpracheHinweis;

    // Every field from the window's settings and the fill (numbers in the general format).
    void Fuellen(const Feinheit& feinheit, const TFuellFlaeche& fuellung);
    // Reads the fields back in their order; a field that is no number throws
    // KonvertierungsFehler there, with the fields before it already stored.
    void Uebernehmen(Feinheit& feinheit, TFuellFlaeche& fuellung) const;
    // The browse result: only the file's name goes into the field, not its folder.
    void TexturGewaehlt(const std::string& pfad);
};

}  // namespace pavolant
