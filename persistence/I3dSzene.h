// Reading the spline points from the scene of an i3d document the level editor exported
// (its shape nodes' translations and rotations).
#pragma once

#include "model/Meldung.h"
#include "model/SplinePunkte.h"

#include <cstddef>
#include <iosfwd>
#include <string>

namespace pavolant {

// Replaces the points of `punkte` with the shape nodes of the scene of an i3d file the
// level editor exported: every line of the scene that contains "<Shape" gives one
// point, in file order and whatever its nesting; the scene runs from just after the
// first "<Scene>" (the rest of its line is the scene's first line) up to and including
// the first line with "</Scene>". In each such line the first translation="X Y Z"
// (metres) and rotation="Xrot Yrot Zrot" (degrees) are taken as written, a missing
// attribute gives zeros. XML comments ("<!--" up to the next "-->", across lines too)
// are left out of every line before anything is looked for; their line ends still
// count as line ends. Points are overwritten in place, surplus ones removed;
// DateiName := the name, Aktuell := 0.
//  - A file that cannot be opened as a regular file throws DateiFehler
//    ("Die Datei <name> kann nicht gelesen werden") before anything changes.
//  - A value that is no number throws KonvertierungsFehler, and so does a value
//    longer than kMaxI3dWertLaenge bytes; a read error throws DateiFehler. Before
//    "<Scene>" nothing has changed. After it the list keeps the points read
//    so far (the failing one with the fields set before the error), DateiName is
//    set and Aktuell keeps its value, lowered into the shorter list.
//  - No "<Scene>" at all: nothing changes; an information message says so.
//  - No "</Scene>" after it: the points up to the end of the file are taken, with an
//    information message.
//  - More than TSplinePunkte::kMaxPunkte shapes: the first kMaxPunkte are taken, with a
//    warning.
// Line ends may be CR LF, LF or CR. Memory stays bounded whatever the line lengths.
// `dateiName` is UTF-8.
void LeseI3d(TSplinePunkte& punkte, const std::string& dateiName, Melder& melder);
// The same on an open stream; `name` is the file name for DateiName and messages.
void LeseI3dAusStrom(TSplinePunkte& punkte, std::istream& strom, const std::string& name, Melder& melder);

// Longest translation or rotation value LeseI3d reads, in bytes. Three numbers as the
// editor writes them take well under a hundred; the bound keeps a damaged file's
// endless line from being collected.
inline constexpr std::size_t kMaxI3dWertLaenge = 1024;

}  // namespace pavolant
