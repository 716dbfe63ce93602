// The road as a value: everything one build needs, already parsed, and nothing of the
// window that edits it (no current point, no file names of the session). It can be
// copied, kept, built any number of times and built on any thread.
//
// Its numbers come from the field table (model/Strassenfelder): the window's fields, a
// parameter file and the command line all make a road through StrasseAusFeldern, so the
// table alone says a field's key and defaults. The members start at zero; a road with the
// window's start values is StrasseAusFeldern(Startwerte(), …).
#pragma once

#include "model/Feinheit.h"
#include "model/FuellFlaeche.h"
#include "model/Gelaende.h"
#include "model/Meldung.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"

#include <optional>
#include <string>
#include <vector>

namespace pavolant {

// One border's switch and texture group (the profile itself is Strasse::ProfilR/L).
struct Randwerte {
    bool An = false;
    std::string TexturDatei;  // UTF-8, as typed
    double TexLaenge = 0;     // metres along the road per texture repeat
    double TexBreite = 0;     // metres of profile per unit of U
    int TexBreitePxl = 0;
    bool Ruecksetzen = false;
};

// The front-face fill's texture settings (the fill's outline is the build's).
struct Fuellwerte {
    double TexturHoehe = 0;   // metres of face per texture repeat in V
    double TexturBreite = 0;  // metres of face per texture repeat in U
    std::string Textur;       // file name of the face texture
    bool TauschHB = false;    // swap the mapping's axes
};

// A melder that drops every message: the road value's profiles carry it, so that a
// profile copied out of the value never reaches the window that made it. A build hands
// its own melder to its copies.
Melder& OhneMeldung();

struct Strasse {
    // Roadway geometry: width (m), widening in bends (tractrix factor), camber factor.
    double Breite = 0;
    bool SchleppkurveAn = false;
    double Schleppkurve = 0;
    bool SturzAn = false;
    double Sturz = 0;
    bool FahrbahnAn = false;

    // Roadway texture: file, metres per repeat, U of the left and right edge, the
    // texture's width in pixels, random flips and their probability, reset instead of
    // mirroring, the length coordinate at the start (TexL0) and the stretch on slopes.
    std::string Textur1Datei;
    double Textur1Laenge = 0;
    double TexStart = 0;
    double TexEnde = 0;
    int TexPxl = 0;
    bool RandomBackFoldAn = false;
    double RandomBackfold = 0;
    bool RuecksetzenAn = false;
    double TexL0 = 0;
    double Streckung = 0;

    // Traffic splines; the side curves at a percentage of the half width.
    bool TrafficMitte = false;
    bool TrafficRechts = false;
    double TrafficRechtsProzent = 0;
    bool TrafficLinks = false;
    double TrafficLinksProzent = 0;

    // Borders (right, left), their cross-sections, and the front-face fill.
    Randwerte RandR, RandL;
    TRandPunkte ProfilR{"right Border", OhneMeldung()};
    TRandPunkte ProfilL{"left Border", OhneMeldung()};
    bool FuellenAn = false;
    Fuellwerte Fuellung;

    // The shape's name in the document and whether the points become markers under it.
    std::string ShapeName;
    bool TransformGroup = false;

    Feinheit Fein;

    // The control points as given (position and orientation; what the centre line
    // derives from them is the build's).
    std::vector<TSplinePkt> Punkte;

    // The map's ground the road lies on, where one is set (the parameter file's
    // [Terrain]); the build does not read it, so a road without one builds as before.
    std::optional<Gelaendequelle> Gelaende;
};

// The points of a list, for a road value.
std::vector<TSplinePkt> PunkteAus(const TSplinePunkte& punkte);

}  // namespace pavolant
