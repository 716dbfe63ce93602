// The parameter listing window without a toolkit: the computed points of one border
// profile as text (positions, normals, texture coordinates), written by the border's
// own listing. The window is made once and reused; it holds no model data, only the
// last listing.
#pragma once

#include "model/Randprofil.h"
#include "ui/Steuerelemente.h"

#include <string>

namespace pavolant {

class Randauflistung {
public:
    Randauflistung();

    std::string Caption = "frmShowParameter";  // set before each showing
    TButton Button1;                           // "OK": closes the window
    TButton SpeedButton1;                      // chooses the listing's font (the view's part)
    TMemo Memo1;

    // The listing of `rand` under the caption `ueberschrift`; nothing of an earlier
    // listing remains.
    void Auflisten(const TRandPunkte& rand, std::string ueberschrift);
};

}  // namespace pavolant
