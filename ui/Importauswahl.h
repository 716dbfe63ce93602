// What of an i3d scene the import takes: the scene's tree as the choice dialog lists it,
// and the shapes a pick yields. The dialog itself (ui/qt/Importdialog) only shows the
// rows and hands back the pick.
#pragma once

#include "persistence/I3dSzene.h"

#include <string>
#include <vector>

namespace pavolant {

// One row of the tree: a node of the scene, indented by its depth.
struct Importzeile {
    int Knoten = 0;  // index into I3dSzene::Knoten
    int Tiefe = 0;   // 0 directly in the scene
    bool IstShape = false;
    int Shapes = 0;    // shapes in its subtree, itself included
    std::string Name;  // the node's name, or "<Element>" when it has none
};

// Every node of the scene in file order.
std::vector<Importzeile> Importbaum(const I3dSzene& szene);

// The user's pick.
struct Importwahl {
    enum class Art {
        Alles,    // every shape of the scene
        Knoten,   // the shapes in and below the nodes listed in `Knoten` (groups, shapes)
        Bereich,  // the shapes numbered Erster … Letzter in file order (1-based)
        Gruppe,   // the first group named `Gruppenname`, at any depth
    };
    Art art = Art::Alles;
    std::vector<int> Knoten;
    int Erster = 1, Letzter = 0;
    std::string Gruppenname;
};

// The shapes (node indices, file order) the pick yields. A group name the scene does not
// hold, or a range outside its shapes, throws DateiFehler naming the file.
std::vector<int> ShapesDerWahl(const I3dSzene& szene, const Importwahl& wahl);

// The import asks only when the shapes lie in more than one group (each shape counted
// in its nearest enclosing node that is no shape, or in the scene itself); otherwise
// every shape is taken, as always, without asking.
bool ImportWahlNoetig(const I3dSzene& szene);

}  // namespace pavolant
