// The platform layer on Linux and the other POSIX systems (see Plattform.h).
#include "persistence/Plattform.h"

#include "model/Text.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <locale>
#include <utility>

#include <fcntl.h>
#include <libintl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

std::error_code Errno(int nummer) { return {nummer, std::generic_category()}; }
std::error_code LetzterFehler() { return Errno(errno); }

class Kategorie : public std::error_category {
public:
    const char* name() const noexcept override { return "pavolant"; }
    // Catalog: the reason a file cannot be read or written: it is a folder, a device or
    // a pipe rather than a file.
    std::string message(int) const override { return Tr("Not a regular file"); }
};

}  // namespace

// ---- Paths and text ----------------------------------------------------------------------

std::vector<std::string> Programmargumente(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void KonsoleAufUtf8() {}

fs::path Programmordner() {
    std::error_code ec;
    const fs::path programm = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : programm.parent_path();
}

std::uint64_t PhysischerSpeicher() {
    const long seiten = ::sysconf(_SC_PHYS_PAGES);
    const long seitengroesse = ::sysconf(_SC_PAGESIZE);
    if (seiten <= 0 || seitengroesse <= 0) return 0;
    return static_cast<std::uint64_t>(seiten) * static_cast<std::uint64_t>(seitengroesse);
}

std::string Umgebungsvariable(const char* name) {
    const char* wert = std::getenv(name);
    return wert != nullptr ? wert : "";
}

namespace {
constexpr const char* kTextdomaene = "pavolant";
const char* GettextText(const char* id) { return ::dgettext(kTextdomaene, id); }
const char* GettextMehrzahl(const char* einzahl, const char* mehrzahl, unsigned long n) {
    return ::dngettext(kTextdomaene, einzahl, mehrzahl, n);
}
}  // namespace

std::vector<std::string> Oberflaechensprachen() { return {}; }

bool KatalogEinbinden(const fs::path& ordner, const std::string& sprache) {
    // gettext looks at no catalog while LC_MESSAGES is "C"; the user's own locale may not
    // be installed, so "C.UTF-8" (always there in glibc) stands in for it. LANGUAGE then
    // names the catalog, whatever the locale's language.
    const char* messages = std::setlocale(LC_MESSAGES, "");
    if (messages == nullptr || std::strcmp(messages, "C") == 0 || std::strcmp(messages, "POSIX") == 0)
        if (std::setlocale(LC_MESSAGES, "C.UTF-8") == nullptr) return false;
    if (::setenv("LANGUAGE", sprache.c_str(), 1) != 0) return false;
    if (::bindtextdomain(kTextdomaene, ordner.c_str()) == nullptr) return false;
    if (::bind_textdomain_codeset(kTextdomaene, "UTF-8") == nullptr) return false;
    UebersetzerSetzen({&GettextText, &GettextMehrzahl});
    return true;
}

fs::path Anwendungsdatenordner() { return {}; }

char SystemDezimaltrenner() {
    try {
        const std::locale system("");
        const char c = std::use_facet<std::numpunct<char>>(system).decimal_point();
        return c == ',' ? ',' : '.';
    } catch (const std::exception&) {
        return '.';  // LANG names a locale the system does not have
    }
}

// ---- Reasons -----------------------------------------------------------------------------

std::error_code KeineNormaleDatei() {
    static const Kategorie kategorie;
    return {1, kategorie};
}

std::string Dateigrund(const std::error_code& grund) {
    if (grund.category() == std::generic_category() || grund.category() == std::system_category())
        return std::strerror(grund.value());
    return grund.message();
}

// ---- Files -------------------------------------------------------------------------------

Dateiart ArtDerDatei(const fs::path& pfad, std::error_code& grund) {
    struct stat st {};
    if (::lstat(pfad.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Dateiart::Fehlt;
        grund = LetzterFehler();
        return Dateiart::Andere;
    }
    if (S_ISLNK(st.st_mode)) return Dateiart::Verweis;
    if (S_ISREG(st.st_mode)) return Dateiart::Normal;
    if (S_ISDIR(st.st_mode)) return Dateiart::Ordner;
    return Dateiart::Andere;
}

bool Beschreibbar(const fs::path& pfad) {
    // The rename would replace a file whatever its own permissions say; a file without
    // any write bit counts as marked read-only, even for root, whom access() lets pass.
    struct stat st {};
    if (::stat(pfad.c_str(), &st) != 0) return false;
    return (st.st_mode & 0222) != 0 && ::access(pfad.c_str(), W_OK) == 0;
}

Systemdatei::~Systemdatei() {
    if (Offen()) ::close(static_cast<int>(griff_));
    SperreLoesen();
}

Systemdatei::Systemdatei(Systemdatei&& andere) noexcept
    : griff_(std::exchange(andere.griff_, kKeinGriff)),
      sperre_(std::exchange(andere.sperre_, kKeinGriff)),
      groesse_(andere.groesse_) {}

Systemdatei& Systemdatei::operator=(Systemdatei&& andere) noexcept {
    if (this != &andere) {
        if (Offen()) ::close(static_cast<int>(griff_));
        SperreLoesen();
        griff_ = std::exchange(andere.griff_, kKeinGriff);
        sperre_ = std::exchange(andere.sperre_, kKeinGriff);
        groesse_ = andere.groesse_;
    }
    return *this;
}

bool Systemdatei::Sperren(std::error_code& grund) {
    // flock, not fcntl: its lock belongs to the open file, so a second open of the same
    // file in this very process is refused too (fcntl's locks belong to the process),
    // and NFS passes it on to the server. A duplicate of the descriptor keeps it past
    // the close of the written one, whose close must report its own errors.
    if (!Offen() || sperre_ != kKeinGriff) return sperre_ != kKeinGriff;
    if (::flock(static_cast<int>(griff_), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) grund = LetzterFehler();
        return false;
    }
    const int zweiter = ::fcntl(static_cast<int>(griff_), F_DUPFD_CLOEXEC, 0);
    if (zweiter < 0) {
        grund = LetzterFehler();
        ::flock(static_cast<int>(griff_), LOCK_UN);
        return false;
    }
    sperre_ = zweiter;
    return true;
}

void Systemdatei::SperreLoesen() noexcept {
    // Closing the last descriptor of the open file gives the lock back.
    if (sperre_ != kKeinGriff) ::close(static_cast<int>(std::exchange(sperre_, kKeinGriff)));
}

bool Systemdatei::NochUnter(const fs::path& pfad) const {
    struct stat offen {
    }, benannt{};
    const int fd = static_cast<int>(Offen() ? griff_ : sperre_);
    if (fd < 0 || ::fstat(fd, &offen) != 0 || ::lstat(pfad.c_str(), &benannt) != 0) return false;
    return offen.st_dev == benannt.st_dev && offen.st_ino == benannt.st_ino;
}

Systemdatei Systemdatei::ZumLesen(const fs::path& pfad, std::error_code& grund) {
    // O_NONBLOCK so that a FIFO at the path cannot hang the program; it is refused
    // below like every other file that is not a regular one.
    Systemdatei datei;
    const int fd = ::open(pfad.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        grund = LetzterFehler();
        return datei;
    }
    datei.griff_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        grund = LetzterFehler();
    } else if (!S_ISREG(st.st_mode)) {
        grund = S_ISDIR(st.st_mode) ? Errno(EISDIR) : KeineNormaleDatei();
    } else {
        datei.groesse_ = static_cast<std::uint64_t>(st.st_size);
        return datei;
    }
    return Systemdatei();
}

Systemdatei Systemdatei::NeuAnlegen(const fs::path& pfad, const fs::path* vorbild, std::error_code& grund) {
    Systemdatei datei;
    struct stat st {};
    if (vorbild && ::stat(vorbild->c_str(), &st) != 0) {
        grund = LetzterFehler();
        return datei;
    }
    // A new file gets 0666 minus the umask, like any file the user creates; one that
    // replaces another gets that one's mode below and is private until then.
    const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, vorbild ? 0600 : 0666);
    if (fd < 0) {
        grund = LetzterFehler();
        return datei;
    }
    datei.griff_ = fd;
    if (vorbild) {
        // Owner first: a change of owner may clear set-id bits that fchmod then restores.
        // Only a privileged process can give the file away; otherwise it stays ours,
        // which is the best that can be done.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
            ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        }
        if (::fchmod(fd, st.st_mode & 07777) != 0) {
            grund = LetzterFehler();
            datei = Systemdatei();
            ::unlink(pfad.c_str());
        }
    }
    return datei;
}

std::size_t Systemdatei::Lesen(char* ziel, std::size_t laenge, std::error_code& grund) {
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(griff_), ziel, laenge);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno == EINTR) continue;
        grund = LetzterFehler();
        return 0;
    }
}

std::error_code Systemdatei::Schreiben(const char* daten, std::size_t laenge) {
    while (laenge > 0) {
        const ssize_t n = ::write(static_cast<int>(griff_), daten, laenge);
        if (n < 0) {
            if (errno == EINTR) continue;
            return LetzterFehler();
        }
        daten += n;
        laenge -= static_cast<std::size_t>(n);
    }
    return {};
}

std::error_code Systemdatei::Sichern() {
    return ::fsync(static_cast<int>(griff_)) == 0 ? std::error_code() : LetzterFehler();
}

std::error_code Systemdatei::Schliessen() {
    if (!Offen()) return {};
    const int fd = static_cast<int>(std::exchange(griff_, kKeinGriff));
    return ::close(fd) == 0 ? std::error_code() : LetzterFehler();
}

std::error_code Ersetzen(const fs::path& neu, const fs::path& ziel) {
    if (::rename(neu.c_str(), ziel.c_str()) != 0) return LetzterFehler();
    // Make the rename itself durable; the file is complete either way.
    const fs::path ordner = ziel.parent_path().empty() ? fs::path(".") : ziel.parent_path();
    const int ordnerFd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd >= 0) {
        ::fsync(ordnerFd);
        ::close(ordnerFd);
    }
    return {};
}

bool UngesperrtEntfernen(const fs::path& pfad) {
    // Opened for writing: NFS grants an exclusive lock only on such a descriptor. Never
    // through a link, never waiting on a FIFO.
    const int fd = ::open(pfad.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    // The name must still be the file that is locked: removing it is then safe, as a
    // writer that opened it cannot lock it before this descriptor is closed, and sees
    // afterwards that its name is gone.
    struct stat benannt {};
    const bool entfernt = ::lstat(pfad.c_str(), &benannt) == 0 && benannt.st_dev == st.st_dev &&
                          benannt.st_ino == st.st_ino && ::unlink(pfad.c_str()) == 0;
    ::close(fd);
    return entfernt;
}

long Prozessnummer() { return static_cast<long>(::getpid()); }

bool ProzessBeendet(long nummer) {
    // kill answers ESRCH only for a process that does not exist; EPERM means it runs
    // under another user.
    if (nummer <= 0 || static_cast<long>(static_cast<pid_t>(nummer)) != nummer) return false;
    return ::kill(static_cast<pid_t>(nummer), 0) != 0 && errno == ESRCH;
}

// ---- Temporary files when the program is interrupted -------------------------------------

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
    {
        struct sigaction bisher {};
        if (::sigaction(SIGXFSZ, nullptr, &bisher) == 0 && (bisher.sa_flags & SA_SIGINFO) == 0 &&
            bisher.sa_handler == SIG_DFL)
            ::signal(SIGXFSZ, SIG_IGN);
    }
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

int TempEintragen(const fs::path& ordner, std::string_view name) {
    if (name.empty() || name.size() >= sizeof(Platz::name)) return -1;
    for (std::size_t i = 0; i < gPlaetze.size(); ++i) {
        Platz& p = gPlaetze[i];
        int erwartet = kFrei;
        if (!p.zustand.compare_exchange_strong(erwartet, kBelegen)) continue;
        const fs::path pfad = ordner.empty() ? fs::path(".") : ordner;
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
