// How much memory the machine has, for the limit a run checks its road against, and a
// limit as the command line takes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pavolant {

// The limit a run starts with: half of the physical memory, so that a mistyped road
// stops with a warning instead of pushing the machine into swap. 4 GiB when the system
// does not say how much it has.
std::uint64_t StandardSpeicherGrenze();

// A size in bytes from "8G", "500M", "1.5g", "2048" (megabytes), "64MB", "1GiB", "512K":
// binary units, '.' as the decimal point whatever the locale (a size is typed like a
// version number). nullopt for anything else, below 1 byte or beyond 64 bits.
std::optional<std::uint64_t> SpeichergroesseAusText(std::string_view text);

}  // namespace pavolant
