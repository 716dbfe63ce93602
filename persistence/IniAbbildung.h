// The road model in the parameter file: which sections and keys hold the spline points,
// a border profile and the front-face fill. Reading writes straight into the model;
// writing only sets keys, so keys the model does not know stay where they are.
//
// Numbers in the file are in the separator-aware general format; angles of a border
// profile are stored in degrees (rounded to two places), the model holds radians.
//
// Every writer refuses a part that holds a number its reader would refuse (an infinity,
// a NaN, an angle whose hundredths of a degree overflow): it throws KonvertierungsFehler
// naming the value's place ("Rechter Rand, Segment 3, Winkel: …") before it sets any
// key of that part.
#pragma once

#include "model/FuellFlaeche.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "persistence/IniDatei.h"

#include <string>
#include <string_view>

namespace pavolant {

// [Splines] Anzahl and the SplinePts<k> sections (X, Y, Z, Xrot, Yrot, Zrot, and
// GelaendeLassen=1 only where the point's switch is on; missing is off). A value that is no number throws
// KonvertierungsFehler; the points read before it keep their new values. An Anzahl
// above TSplinePunkte::kMaxPunkte throws IniFehler before anything changes. Afterwards
// the list has exactly Anzahl points (none for a negative count). The keys aktuell and
// FileName are not read: the editor starts at point 0 and keeps its source file.
void Lesen(const IniDatei& ini, TSplinePunkte& punkte);
// Writes Anzahl, the points and beside them the point editor's state: aktuell = its
// current point (0-based) and FileName = the i3d file the points were last imported from.
void Schreiben(IniDatei& ini, const TSplinePunkte& punkte, int aktuell, const std::string& quelle);

// Sections <name>_Geo and <name>_Textur. A value that is no number throws
// KonvertierungsFehler at its key; a segment count beyond TRandPunkte::kMaxSegmente
// throws IniFehler before anything changes. Rechts, Bezeichnung and AktSegment stay.
void Lesen(const IniDatei& ini, TRandPunkte& rand, std::string_view name);
void Schreiben(IniDatei& ini, const TRandPunkte& rand, std::string_view name);

// Section [FuellFlaeche]: Textur, TexturHoehe, TexturBreite, TauschHB (the key
// `erzeugen` of the same section belongs to the main window). Reading uses the
// defaults "", 2, 2 and false for missing keys. A size that is no number throws
// KonvertierungsFehler and leaves all four fields as they were.
void Lesen(const IniDatei& ini, TFuellFlaeche& fuellung);
void Schreiben(IniDatei& ini, const TFuellFlaeche& fuellung);

}  // namespace pavolant
