#include "model/Netz.h"

namespace pavolant {

std::int32_t Netz::VertexSchreiben(const TPunkt& p) {
    const double achse[3] = {p.X, p.Y, p.Z};
    for (std::size_t i = 0; i < 3; ++i) {
        if (BoxMin[i] > achse[i]) BoxMin[i] = achse[i];
        if (BoxMax[i] < achse[i]) BoxMax[i] = achse[i];
    }
    Vertices.push_back({p.X, p.Y, p.Z, p.NX, p.NY, p.NZ, p.U, p.V});
    return AnzVertices() - 1;
}

void Netz::Reservieren(std::int64_t vertices, std::int64_t dreiecke) {
    auto reservieren = [](auto& liste, std::int64_t mehr) {
        if (mehr <= 0) return;
        const auto mehrU = static_cast<std::uint64_t>(mehr);
        if (mehrU > liste.max_size() - liste.size()) return;
        liste.reserve(liste.size() + static_cast<std::size_t>(mehrU));
    };
    reservieren(Vertices, vertices);
    reservieren(Dreiecke, dreiecke);
}

void Netz::SubsetAbschliessen() {
    Subsets.push_back({subsetErsterVertex_, AnzVertices() - subsetErsterVertex_, 3 * subsetErstesDreieck_,
                       3 * (AnzDreiecke() - subsetErstesDreieck_)});
    subsetErsterVertex_ = AnzVertices();
    subsetErstesDreieck_ = AnzDreiecke();
}

}  // namespace pavolant
