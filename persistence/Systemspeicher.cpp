#include "persistence/Systemspeicher.h"

#include "persistence/Plattform.h"

namespace pavolant {

std::uint64_t StandardSpeicherGrenze() {
    const std::uint64_t physisch = PhysischerSpeicher();
    return physisch == 0 ? std::uint64_t{4} << 30 : physisch / 2;
}

}  // namespace pavolant
