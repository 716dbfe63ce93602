#include "persistence/Systemspeicher.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace pavolant {

std::uint64_t PhysischerSpeicher() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
#else
    const long seiten = ::sysconf(_SC_PHYS_PAGES);
    const long seitengroesse = ::sysconf(_SC_PAGESIZE);
    if (seiten <= 0 || seitengroesse <= 0) return 0;
    return static_cast<std::uint64_t>(seiten) * static_cast<std::uint64_t>(seitengroesse);
#endif
}

std::uint64_t StandardSpeicherGrenze() {
    const std::uint64_t physisch = PhysischerSpeicher();
    return physisch == 0 ? std::uint64_t{4} << 30 : physisch / 2;
}

}  // namespace pavolant
