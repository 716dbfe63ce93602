// The parameter file: everything that describes one road, in an INI file of the user's
// choice. The road's fields go through the field table (model/Strassenfelder); the road
// model's objects (the border profiles, the spline points, the front-face fill) write
// their own sections (persistence/IniAbbildung) at their place in the order below.
//
// Order of a whole file, which is also the order in which a new file receives its keys:
//   the keys of Teil::VorDemModell (shape name, roadway geometry and texture, traffic
//   splines), the border profiles (right, then left), the spline points, the keys of
//   Teil::NachDemModell (the six fineness settings and the fill's switch `erzeugen`), the
//   front-face fill's own keys.
// Loading follows the same order, so check boxes are set in table order and their
// chains run as if the user had clicked them one after the other.
#pragma once

#include "model/FuellFlaeche.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "model/Strassenfelder.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace pavolant {

class IniDatei;

// Writes the table's keys of `lage` from `werte` into `ini`. A number whose written form
// the load would refuse throws KonvertierungsFehler naming its field before any key is
// written.
void FelderSchreiben(IniDatei& ini, Teil lage, const Feldwerte& werte);

// Reads the table's keys of `lage` into `werte`; missing keys take the table's defaults.
// A number that is no number throws KonvertierungsFehler at its key, with the rows before
// it read.
void FelderLesen(const IniDatei& ini, Teil lage, Feldwerte& werte);

// Whether `ini` holds a road at all: a section only a parameter file has (the road's
// geometry and texture, the points, a border, the traffic curves, the fill) or the
// road's name. [Preferences] alone does not count: the settings file has it too.
bool EnthaeltStrassenparameter(const IniDatei& ini);
// Whether `ini` holds the border `name` ("Rand_rechts", "Rand_links").
bool EnthaeltRand(const IniDatei& ini, std::string_view name);
// Whether the file at `pfad` can be a text file at all: no NUL byte outside a UTF-16
// text with its byte order mark. Unreadable files count as text here; reading them
// reports why.
bool SiehtNachTextAus(const std::filesystem::path& pfad);

// Whether a save may update the file at `pfad`: it is missing, empty, or an INI text
// (a section header, no NUL byte outside UTF-16 with its mark, no XML document such as
// an i3d file). A save onto anything else would append INI sections to it.
bool DarfParameterAufnehmen(const std::filesystem::path& pfad);

// Writes every key of the road into `ini` (in memory; the caller saves the file). A
// number whose written form the load would refuse throws KonvertierungsFehler naming its
// place; `ini` may then hold the parts before it, so the caller must not save it.
// `aktuell` and `quelle` are the point editor's current point and source file, written
// beside the points.
void ParameterSchreiben(IniDatei& ini, const Feldwerte& werte, const TRandPunkte& randR,
                        const TRandPunkte& randL, const TSplinePunkte& punkte, int aktuell,
                        const std::string& quelle, const TFuellFlaeche& fuellung);

// Reads a whole file into the model's objects and `werte`, in the file's order; missing
// keys take the defaults. The window reads through its own steps, applying each part as
// it comes so that its boxes' chains run; this is the same file read without a window.
void ParameterLesen(const IniDatei& ini, Feldwerte& werte, TRandPunkte& randR, TRandPunkte& randL,
                    TSplinePunkte& punkte, TFuellFlaeche& fuellung);

}  // namespace pavolant
