// How much memory the machine has, for the limit a run checks its road against.
#pragma once

#include <cstdint>

namespace pavolant {

// The limit a run starts with: half of the physical memory, so that a mistyped road
// stops with a warning instead of pushing the machine into swap. 4 GiB when the system
// does not say how much it has.
std::uint64_t StandardSpeicherGrenze();

}  // namespace pavolant
