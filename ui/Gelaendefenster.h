// The terrain dialog without a toolkit: where the map's ground comes from (the map's i3d,
// or a height image with its heightScale and unitsPerPixel typed in), the clearance the
// dropped points keep, and what the file holds (its size in pixels and metres, its height
// range). The main window fills it, shows it modally and takes the source back only when
// the user confirms with a ground that could be read; the dialog keeps nothing between
// showings.
#pragma once

#include "model/Gelaende.h"
#include "persistence/Gelaendequelle.h"
#include "ui/Steuerelemente.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pavolant {

class Gelaendefenster {
public:
    Gelaendefenster();

    std::string Caption;  // in the user's language (set by the constructor)
    TButton btnOK;
    TButton btnAbbrechen;
    TButton btnKeines;  // "No terrain": closes with OK and no ground

    TEdit edtDatei;  // UTF-8 path of the map's .i3d or the height image
    TButton btnDatei;
    // For a height image; a map says its own (the fields then show the map's and are
    // disabled).
    TEdit edtHeightScale, edtUnitsPerPixel;
    TEdit edtAbstand;  // metres
    // A point dragged in the preview's plan takes the ground's height (a choice of the
    // session, kept by the main window).
    TCheckBox cboZiehenFolgt;
    // How "Shape terrain..." presses the road into the ground (metres), and which way it
    // may move it: raise only and lower only exclude each other, neither is both.
    TEdit edtTiefe, edtRand, edtAuslauf;
    TCheckBox cboNurHeben, cboNurSenken;
    // "Shape terrain...": closes with OK; the window then asks where the new height image
    // goes and shapes it, with the masks beside it when cboMasken is checked.
    TButton btnFormen;
    TCheckBox cboMasken;
    bool FormenGewaehlt = false;
    // What the file holds, or why it cannot be read.
    TLabel lblBild, lblGroesse, lblHoehen, lblHinweise;

    // The fields from the road's terrain (the defaults without one), then Pruefen.
    void Fuellen(const std::optional<Gelaendequelle>& quelle, bool ziehenFolgt, std::uint64_t speichergrenze);
    // The browse result: the full path goes into the field, then Pruefen.
    void DateiGewaehlt(const std::string& pfad, std::uint64_t speichergrenze);
    // Reads the terrain the fields name and shows what it holds. Empty when it could be
    // read, else the reason (also in lblHinweise). A field that is no number is a reason
    // too; nothing throws.
    std::string Pruefen(std::uint64_t speichergrenze);
    // "No terrain" pressed: the dialog closes with OK and the road has no ground.
    void KeinesWaehlen() { keines_ = true; }

    // What OK gives: the source as the fields say (nullopt after "No terrain" or with an
    // empty file field), and the ground read for it. Pruefen must have passed for the
    // fields as they are: a field that is no number throws KonvertierungsFehler.
    std::optional<Gelaendequelle> Quelle() const;
    // The ground Pruefen read for the fields as they stand now; null when they changed
    // since or it failed.
    const Gelaendeladung* Gelesen() const;

private:
    bool keines_ = false;
    std::optional<Gelaendequelle> geprueft_;  // the source Pruefen read
    Gelaendeladung ladung_;
};

}  // namespace pavolant
