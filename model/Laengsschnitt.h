// The road's longitudinal section over the map's ground: along the road, the height of
// its centre and of both outer edges, and the ground's height under each. The plot
// "Road and terrain" draws it, and the report names its largest fill (road above the
// ground) and cut (road below it).
//
// Units: metres. A station is the distance along the centre line from the road's start,
// summed over the walk's steps as the report's road length is. Heights are level Y.
#pragma once

#include "model/Gelaende.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pavolant {

// Which of the three lines along the road.
enum class Schnittlinie { Mitte = 0, Rechts = 1, Links = 2 };

// A place in level coordinates, metres.
struct Ort {
    double X = 0, Y = 0, Z = 0;
};

// One station of the section. Indexed by Schnittlinie.
struct Schnittpunkt {
    double Station = 0;
    std::array<double, 3> Strasse{};             // the road's height on each line
    std::array<std::optional<double>, 3> Boden;  // the ground's height under it; none outside the terrain
};

// A largest fill or cut: how far (metres, positive), where (station), the road's height
// there and on which line.
struct Extremwert {
    double Wert = 0;
    double Station = 0;
    double Hoehe = 0;
    Schnittlinie Linie = Schnittlinie::Mitte;
};

class Laengsschnitt {
public:
    // Appends the cross-section at `station` (not below the previous one) with its three
    // points (centre, right outer, left outer) in level coordinates. Between the previous
    // cross-section and this one the road is straight on each line, as the mesh is, while
    // the ground may bend at every pixel: the stretch is cut into as many equal parts as
    // it spans pixels on its longest line, but at most `hoechstensTeile` (at least 1),
    // and each part's end is recorded too. The first cross-section is recorded alone.
    void Anfuegen(double station, const std::array<Ort, 3>& punkte, const Gelaende& boden,
                  std::int64_t hoechstensTeile);

    const std::vector<Schnittpunkt>& Punkte() const { return punkte_; }
    // The bytes the records hold, for the run's memory count.
    std::size_t Bytes() const { return punkte_.capacity() * sizeof(Schnittpunkt); }

    // The largest road height above the ground and the largest depth below it over all
    // three lines; none when the road is nowhere above (below) the ground, or nowhere over
    // the terrain. Of equal values the first along the road.
    std::optional<Extremwert> GroessteAufschuettung() const;
    std::optional<Extremwert> GroessterAbtrag() const;
    // Whether any point of the road lies over the terrain.
    bool UeberGelaende() const;

private:
    std::optional<Extremwert> Groesster(double vorzeichen) const;
    void Aufnehmen(double station, const std::array<Ort, 3>& punkte, const Gelaende& boden);

    std::vector<Schnittpunkt> punkte_;
    std::array<Ort, 3> letzte_{};  // the previous cross-section's points
    double letzteStation_ = 0;
};

}  // namespace pavolant
