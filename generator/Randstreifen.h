// The borders swept along the roadway edges and the fill that closes the road body's
// ends, for one run (see Bauen). Internal to the generator.
#pragma once

#include "model/FuellFlaeche.h"
#include "model/Meldung.h"
#include "model/Netz.h"
#include "model/Punkte.h"
#include "model/Randprofil.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace pavolant::erzeugung {

// The vertices and triangles Randstreifen writes for `kante`.
std::pair<std::int64_t, std::int64_t> RandstreifenGroesse(const TRandPunkte& rand,
                                                          const std::vector<TPunkt>& kante);

// Sweeps a border profile along the roadway edge points of its side: one cross-section
// per edge point, joined to the one before by two triangles per segment, with the
// texture coordinate of RandKoordinaten. A reset writes the section again, and the next
// triangles join the copy.
void Randstreifen(const TRandPunkte& rand, bool rechts, const std::vector<TPunkt>& kante, Netz& netz);

// Closes both ends of the road body: the cross-section of right border, roadway top and
// left border at the plain width, triangulated once per face. The start face faces back
// (local normal -Z), the end face forward (+Z), each with the winding that agrees with
// its normal. False when the outline is too short to fill.
bool Stirnflaechen(TFuellFlaeche& fuellung, const TRandPunkte& randR, const TRandPunkte& randL, double breite,
                   const std::optional<TPunkt>& ersterMittelpunkt, const TPunkt& letzterMittelpunkt,
                   Netz& netz, Melder& melder);

}  // namespace pavolant::erzeugung
