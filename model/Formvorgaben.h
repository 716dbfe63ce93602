// How the ground is shaped to the road (model/Gelaendeformung): kept with the terrain's
// source, since they belong to the map as much as to the road. Units: metres.
#pragma once

#include <vector>

namespace pavolant {

struct Formvorgaben {
    enum class Art { Beides, NurHeben, NurSenken };
    double Tiefe = 0.05;  // metres the ground stays below the road's surface
    double Rand = 1;      // metres beside the footprint that continue its cross-slope
    double Auslauf = 4;   // metres over which the height eases back to the ground
    Art Modus = Art::Beides;
    // Connections left alone (a bridge): index c true leaves connection c's triangles
    // out of the footprint. Shorter than the number of connections: the rest are shaped.
    std::vector<bool> GelasseneVerbindungen;

    bool operator==(const Formvorgaben&) const = default;
};

}  // namespace pavolant
