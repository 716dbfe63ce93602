#include "ui/Importauswahl.h"

#include "model/DateiFehler.h"
#include "model/Text.h"

#include <optional>
#include <string>

namespace pavolant {

std::vector<Importzeile> Importbaum(const I3dSzene& szene) {
    const std::vector<int> shapes = szene.ShapesJeKnoten();
    std::vector<Importzeile> zeilen;
    zeilen.reserve(szene.Knoten.size());
    for (std::size_t i = 0; i < szene.Knoten.size(); ++i) {
        const I3dKnoten& k = szene.Knoten[i];
        Importzeile z;
        z.Knoten = static_cast<int>(i);
        // The parent's row came first.
        z.Tiefe = k.Eltern < 0 ? 0 : zeilen[static_cast<std::size_t>(k.Eltern)].Tiefe + 1;
        z.IstShape = k.IstShape();
        z.Shapes = shapes[i];
        z.Name = k.Name.empty() ? "<" + k.Element + ">" : k.Name;
        zeilen.push_back(std::move(z));
    }
    return zeilen;
}

std::vector<int> ShapesDerWahl(const I3dSzene& szene, const Importwahl& wahl) {
    switch (wahl.art) {
        case Importwahl::Art::Alles:
            return AlleShapes(szene);
        case Importwahl::Art::Knoten:
            return ShapesDerWahl(szene, wahl.Knoten);
        case Importwahl::Art::Bereich:
            if (wahl.Erster < 1 || wahl.Letzter < wahl.Erster || wahl.Letzter > szene.AnzahlShapes)
                // Catalog: %1 is the file's name, %2 and %3 the first and last shape asked
                // for, %4 how many shapes the scene holds.
                throw DateiFehler(
                    Einsetzen(Tr("%1 has no shapes %2 to %3: its scene holds %4 shapes"),
                              {szene.Datei, std::to_string(wahl.Erster), std::to_string(wahl.Letzter),
                               std::to_string(szene.AnzahlShapes)}));
            return ShapesVonBis(szene, wahl.Erster, wahl.Letzter);
        case Importwahl::Art::Gruppe:
            if (const std::optional<int> g = GruppeNamens(szene, wahl.Gruppenname))
                return ShapesDerWahl(szene, std::vector<int>{*g});
            // Catalog: %1 is the file's name, %2 the group name asked for.
            throw DateiFehler(
                Einsetzen(Tr("The scene of %1 has no group named '%2'"), {szene.Datei, wahl.Gruppenname}));
    }
    return {};
}

bool ImportWahlNoetig(const I3dSzene& szene) {
    // A shape belongs to its nearest enclosing node that is no shape (the scene itself
    // when there is none): nested shapes are parts of one marker, and a group that only
    // wraps another offers nothing to choose.
    std::optional<int> erste;
    for (const I3dKnoten& k : szene.Knoten) {
        if (!k.IstShape()) continue;
        int g = k.Eltern;
        while (g >= 0 && szene.Knoten[static_cast<std::size_t>(g)].IstShape())
            g = szene.Knoten[static_cast<std::size_t>(g)].Eltern;
        if (!erste)
            erste = g;
        else if (*erste != g)
            return true;
    }
    return false;
}

}  // namespace pavolant
