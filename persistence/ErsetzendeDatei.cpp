#include "persistence/ErsetzendeDatei.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavolant {

namespace {

namespace fs = std::filesystem;

std::string Zufallsendung() {
    static constexpr std::string_view kZeichen = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 zufall = [] {
        std::uint64_t keim =
            static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
        keim ^= static_cast<std::uint64_t>(getpid()) << 32;
        try {
            keim ^= std::random_device{}();
        } catch (...) {
            // The clock and the process id keep collisions rare; O_EXCL catches the rest.
        }
        return std::mt19937_64(keim);
    }();
    std::string endung(6, ' ');
    for (char& c : endung) c = kZeichen[zufall() % kZeichen.size()];
    return endung;
}

bool AllesSchreiben(int fd, const char* daten, std::size_t laenge) {
    while (laenge > 0) {
        const ssize_t n = ::write(fd, daten, laenge);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        daten += n;
        laenge -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string ErsetzendeDatei::Fehlertext(const fs::path& ziel) {
    return "In " + ziel.string() + " kann nicht geschrieben werden";
}

ErsetzendeDatei::FdPuffer::int_type ErsetzendeDatei::FdPuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char z = traits_type::to_char_type(c);
    if (fehler || !AllesSchreiben(fd, &z, 1)) {
        fehler = true;
        return traits_type::eof();
    }
    return c;
}

std::streamsize ErsetzendeDatei::FdPuffer::xsputn(const char* s, std::streamsize n) {
    if (fehler || !AllesSchreiben(fd, s, static_cast<std::size_t>(n))) {
        fehler = true;
        return 0;
    }
    return n;
}

ErsetzendeDatei::ErsetzendeDatei(fs::path ziel) : anzeige_(ziel), ziel_(std::move(ziel)) {
    const std::string fehler = Fehlertext(anzeige_);

    // Through symbolic links to the file they name, so the link stays a link.
    struct stat st {};
    bool existiert = false;
    for (int tiefe = 0;; ++tiefe) {
        if (::lstat(ziel_.c_str(), &st) != 0) {
            if (errno != ENOENT) throw DateiFehler(fehler);
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            existiert = true;
            break;
        }
        if (tiefe == 40) throw DateiFehler(fehler);  // a loop of links
        std::error_code ec;
        const fs::path verweis = fs::read_symlink(ziel_, ec);
        if (ec) throw DateiFehler(fehler);
        ziel_ = verweis.is_absolute() ? verweis : ziel_.parent_path() / verweis;
    }
    if (existiert && !S_ISREG(st.st_mode)) throw DateiFehler(fehler);
    const std::string name = ziel_.filename().string();
    if (name.empty() || name == "." || name == "..") throw DateiFehler(fehler);

    // The temporary file lives next to the target so the rename stays on one file
    // system; the name part is shortened so the temporary name stays within NAME_MAX.
    const std::string vorsilbe = "." + name.substr(0, 200) + ".";
    for (int versuch = 0; versuch < 100 && puffer_.fd < 0; ++versuch) {
        std::string pfad = (ziel_.parent_path() / (vorsilbe + Zufallsendung())).string();
        // A new file gets 0666 minus the umask, like any file the user creates; an
        // existing one gets its own mode below.
        const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existiert ? 0600 : 0666);
        if (fd >= 0) {
            puffer_.fd = fd;
            tempPfad_ = std::move(pfad);
        } else if (errno != EEXIST) {
            throw DateiFehler(fehler);
        }
    }
    if (puffer_.fd < 0) throw DateiFehler(fehler);

    if (existiert) {
        // Owner first: a change of owner may clear set-id bits that fchmod then restores.
        // Only a privileged process can give the file away; otherwise it stays ours.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
            ::fchown(puffer_.fd, st.st_uid, st.st_gid) != 0) {
            // Keeping our own ownership is the best that can be done.
        }
        if (::fchmod(puffer_.fd, st.st_mode & 07777) != 0) {
            ::close(std::exchange(puffer_.fd, -1));
            ::unlink(tempPfad_.c_str());
            throw DateiFehler(fehler);
        }
    }
}

ErsetzendeDatei::~ErsetzendeDatei() {
    if (puffer_.fd >= 0) ::close(puffer_.fd);
    if (!abgeschlossen_ && !tempPfad_.empty()) ::unlink(tempPfad_.c_str());
}

void ErsetzendeDatei::Abschliessen() {
    const std::string fehler = Fehlertext(anzeige_);
    strom_.flush();
    const bool geschrieben = !puffer_.fehler && strom_.good() && ::fsync(puffer_.fd) == 0;
    const bool geschlossen = ::close(std::exchange(puffer_.fd, -1)) == 0;
    if (!geschrieben || !geschlossen) throw DateiFehler(fehler);
    if (::rename(tempPfad_.c_str(), ziel_.c_str()) != 0) throw DateiFehler(fehler);
    abgeschlossen_ = true;

    // Make the rename itself durable; the file is complete either way.
    const fs::path ordner = ziel_.parent_path().empty() ? fs::path(".") : ziel_.parent_path();
    const int ordnerFd = ::open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (ordnerFd >= 0) {
        ::fsync(ordnerFd);
        ::close(ordnerFd);
    }
}

// ---- Dokumentdatei ---------------------------------------------------------------------

void Dokumentdatei::Pruefen() {
    ErsetzendeDatei probe(ziel_);  // removed again with the object
}

std::ostream& Dokumentdatei::Oeffnen() {
    datei_.reset();
    return datei_.emplace(ziel_).Strom();
}

void Dokumentdatei::Abschliessen() {
    if (!datei_) throw std::logic_error("document completed before it was opened");
    datei_->Abschliessen();
    datei_.reset();
}

}  // namespace pavolant
