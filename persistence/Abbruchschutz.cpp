#include "persistence/Abbruchschutz.h"

#include <array>
#include <atomic>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace pavolant {

namespace {

// A slot's states. Only Frei -> Belegen (by the owner), Belegen -> Belegt, Belegt -> Frei
// (the owner) and Belegt -> Entfernen (the handler, which never gives it back: the
// process ends) happen, each as one atomic step, so the handler only ever reads a slot
// whose name and folder are complete and that nobody rewrites under it.
enum Zustand : int { kFrei, kBelegen, kBelegt, kEntfernen };

struct Platz {
    std::atomic<int> zustand{kFrei};
    pid_t besitzer = 0;  // a forked child must not remove its parent's files
    int ordnerFd = -1;
    char name[256] = {};  // NAME_MAX + 1
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler needs lock-free atomics");

// More than a process ever has open at once: one document or one INI file, and the
// check of the next target.
std::array<Platz, 16> gPlaetze;

constexpr std::array<int, 3> kSignale = {SIGINT, SIGTERM, SIGHUP};

extern "C" void BeiAbbruch(int signal) {
    const pid_t ich = ::getpid();
    for (Platz& p : gPlaetze) {
        int erwartet = kBelegt;
        if (!p.zustand.compare_exchange_strong(erwartet, kEntfernen)) continue;
        if (p.besitzer == ich) ::unlinkat(p.ordnerFd, p.name, 0);
    }
    // SA_RESETHAND has put the default action back; the signal stays blocked until the
    // handler returns and then ends the process.
    ::raise(signal);
}

}  // namespace

void AbbruchsignaleAbfangen() {
    for (const int signal : kSignale) {
        struct sigaction bisher {};
        if (::sigaction(signal, nullptr, &bisher) != 0) continue;
        if ((bisher.sa_flags & SA_SIGINFO) != 0 || bisher.sa_handler != SIG_DFL) continue;
        struct sigaction neu {};
        neu.sa_handler = BeiAbbruch;
        neu.sa_flags = SA_RESETHAND;
        sigemptyset(&neu.sa_mask);
        for (const int andere : kSignale) sigaddset(&neu.sa_mask, andere);  // one cleanup at a time
        ::sigaction(signal, &neu, nullptr);
    }
}

int TempEintragen(const std::filesystem::path& ordner, std::string_view name) {
    if (name.empty() || name.size() >= sizeof(Platz::name)) return -1;
    for (std::size_t i = 0; i < gPlaetze.size(); ++i) {
        Platz& p = gPlaetze[i];
        int erwartet = kFrei;
        if (!p.zustand.compare_exchange_strong(erwartet, kBelegen)) continue;
        const std::filesystem::path pfad = ordner.empty() ? std::filesystem::path(".") : ordner;
#ifdef O_PATH
        p.ordnerFd = ::open(pfad.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
        p.ordnerFd = ::open(pfad.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
        if (p.ordnerFd < 0) {
            p.zustand.store(kFrei);
            return -1;
        }
        p.besitzer = ::getpid();
        std::memcpy(p.name, name.data(), name.size());
        p.name[name.size()] = '\0';
        p.zustand.store(kBelegt);
        return static_cast<int>(i);
    }
    return -1;
}

void TempAustragen(int eintrag) noexcept {
    if (eintrag < 0 || eintrag >= static_cast<int>(gPlaetze.size())) return;
    Platz& p = gPlaetze[static_cast<std::size_t>(eintrag)];
    int erwartet = kBelegt;
    // A handler that took the slot is ending the process; the slot stays with it.
    if (!p.zustand.compare_exchange_strong(erwartet, kBelegen)) return;
    ::close(p.ordnerFd);
    p.ordnerFd = -1;
    p.zustand.store(kFrei);
}

}  // namespace pavolant
