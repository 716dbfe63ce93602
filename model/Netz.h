// The generated mesh as compact records. Lines of the document are formatted from these
// only while the document is written, which keeps a long road's mesh at about half the
// memory its text would take.
#pragma once

#include "model/Punkte.h"

#include <array>
#include <cstdint>
#include <vector>

namespace pavolant {

struct NetzVertex {
    double X, Y, Z;     // position, metres
    double NX, NY, NZ;  // normal
    double U, V;        // texture coordinates
};

// Vertex indices in the order that gives the triangle's winding.
struct NetzDreieck {
    std::int32_t A, B, C;
};

// One mesh part: a block of consecutive vertices and triangles.
struct NetzSubset {
    std::int32_t ErsterVertex, AnzahlVertices, ErsterIndex, AnzahlIndizes;
};

struct Kurvenpunkt {
    double X, Y, Z;
};

class Netz {
public:
    // Appends the vertex of `p` (position, normal, U, V) and widens the bounding box.
    // Returns the vertex's index.
    std::int32_t VertexSchreiben(const TPunkt& p);
    void DreieckSchreiben(std::int32_t a, std::int32_t b, std::int32_t c) { Dreiecke.push_back({a, b, c}); }
    // Closes the part that began after the previous part: its Subset covers every vertex
    // and triangle written since.
    void SubsetAbschliessen();
    // Room for `vertices` and `dreiecke` more, for parts whose size is known before they
    // are written: the vectors then grow once instead of doubling step by step (each step
    // holds the old and the new block at once). A count no vector can hold is left to the
    // growth, which fails as it would have.
    void Reservieren(std::int64_t vertices, std::int64_t dreiecke);

    std::int32_t AnzVertices() const { return static_cast<std::int32_t>(Vertices.size()); }
    std::int32_t AnzDreiecke() const { return static_cast<std::int32_t>(Dreiecke.size()); }
    // Counts of the part being built (since the last SubsetAbschliessen).
    std::int32_t OffeneVertices() const { return AnzVertices() - subsetErsterVertex_; }
    std::int32_t OffeneDreiecke() const { return AnzDreiecke() - subsetErstesDreieck_; }

    // Bounding box over every vertex written; starts inverted at +-1e10.
    std::array<double, 3> BoxMin{1e10, 1e10, 1e10};
    std::array<double, 3> BoxMax{-1e10, -1e10, -1e10};

    std::vector<NetzVertex> Vertices;
    std::vector<NetzDreieck> Dreiecke;
    std::vector<NetzSubset> Subsets;

private:
    std::int32_t subsetErsterVertex_ = 0;
    std::int32_t subsetErstesDreieck_ = 0;
};

}  // namespace pavolant
