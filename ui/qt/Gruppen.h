// The main window's group boxes, each built from the window's controls by name.
#pragma once

#include "ui/qt/Bausteine.h"

class QGroupBox;

namespace pavolant::qt {

// Middle column.
QGroupBox* GeometrieGruppe(Bausteine& b);  // GroupBox2: width, tractrix, camber
QGroupBox* TexturGruppe(Bausteine& b);     // GroupBox3: roadway texture and its pixel fields
QGroupBox* SplineGruppe(Bausteine& b);     // gboSplinePts: the point editor

// Right column.
QGroupBox* VerkehrGruppe(Bausteine& b);  // GroupBox1: the traffic splines

// One side's border: its texture group (gboRandR / gboRandL) and segment group
// (gboRandRSegmente / gboRandLSegmente). Both keep their place in the column while
// hidden, so enabling a border does not move the controls below it.
struct Randgruppen {
    QGroupBox* textur;
    QGroupBox* segmente;
};
Randgruppen RandGruppen(Bausteine& b, bool rechts);
// A segment group alone (the profile view has no texture groups); `pixelEinheit` is the
// caption after the End pixel field.
QGroupBox* SegmentGruppe(Bausteine& b, bool rechts, const char* pixelEinheit);

}  // namespace pavolant::qt
