#include "persistence/ErsetzendeDatei.h"

#include "persistence/Abbruchschutz.h"

#include <cerrno>
#include <cstring>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <stdexcept>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavolant {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kZeichen = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr std::size_t kEndungLaenge = 6;

std::string Zufallsendung() {
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
    std::string endung(kEndungLaenge, ' ');
    for (char& c : endung) c = kZeichen[zufall() % kZeichen.size()];
    return endung;
}

// The process that wrote a temporary file of the target whose names begin with
// `vorsilbe` (".<name>."): the rest of the name is "<pid>.<six letters or digits>".
// Nothing for any other name.
std::optional<pid_t> Schreiber(std::string_view name, std::string_view vorsilbe) {
    if (name.size() <= vorsilbe.size() || name.substr(0, vorsilbe.size()) != vorsilbe) return std::nullopt;
    name.remove_prefix(vorsilbe.size());
    const std::size_t punkt = name.find('.');
    if (punkt == 0 || punkt == std::string_view::npos || name.size() - punkt - 1 != kEndungLaenge) return std::nullopt;
    for (const char c : name.substr(punkt + 1))
        if (kZeichen.find(c) == std::string_view::npos) return std::nullopt;
    for (const char c : name.substr(0, punkt))
        if (c < '0' || c > '9') return std::nullopt;
    pid_t pid = 0;
    const auto [ende, fehler] = std::from_chars(name.data(), name.data() + punkt, pid);
    if (fehler != std::errc() || ende != name.data() + punkt || pid <= 0) return std::nullopt;
    return pid;
}

// Removes the temporary files of this target that a process left behind when it was
// killed outright or the machine stopped. Only a regular file whose writer no longer
// exists goes (kill answers ESRCH): the files of live processes, of processes this one
// may not ask (EPERM), of this process and every other name stay. The cleanup is a
// courtesy: whatever fails in it leaves the files and does not stop the write.
void VerwaisteEntfernen(const fs::path& ordner, std::string_view vorsilbe) {
    std::error_code ec;
    for (fs::directory_iterator it(ordner.empty() ? fs::path(".") : ordner, ec), ende; !ec && it != ende;
         it.increment(ec)) {
        const std::optional<pid_t> pid = Schreiber(it->path().filename().native(), vorsilbe);
        if (!pid || *pid == ::getpid()) continue;
        if (::kill(*pid, 0) == 0 || errno != ESRCH) continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(it->path().c_str());
    }
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

std::string ErsetzendeDatei::Fehlertext(const fs::path& ziel, int fehlernummer) {
    // The system's own words say why ("Permission denied", "No space left on device").
    if (fehlernummer == 0) return Fehlertext(ziel);
    return Fehlertext(ziel) + ": " + Dateigrund(fehlernummer);
}

bool DieselbeDatei(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) {
        const bool gleich = fs::equivalent(a, b, ec);
        if (!ec) return gleich;
    }
    const fs::path x = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path y = fs::weakly_canonical(fs::absolute(b, ec), ec);
    return x.lexically_normal() == y.lexically_normal();
}

std::string Dateigrund(int fehlernummer) {
    if (fehlernummer == kKeineNormaleDatei) return "Not a regular file";
    return std::strerror(fehlernummer);
}

ErsetzendeDatei::FdPuffer::int_type ErsetzendeDatei::FdPuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char z = traits_type::to_char_type(c);
    if (fehler || !AllesSchreiben(fd, &z, 1)) {
        if (!fehler) fehlernummer = errno;
        fehler = true;
        return traits_type::eof();
    }
    return c;
}

std::streamsize ErsetzendeDatei::FdPuffer::xsputn(const char* s, std::streamsize n) {
    if (fehler || !AllesSchreiben(fd, s, static_cast<std::size_t>(n))) {
        if (!fehler) fehlernummer = errno;
        fehler = true;
        return 0;
    }
    return n;
}

ErsetzendeDatei::ErsetzendeDatei(fs::path ziel) : anzeige_(ziel), ziel_(std::move(ziel)) {
    const auto fehler = [this](int fehlernummer) { return DateiFehler(Fehlertext(anzeige_, fehlernummer)); };

    // Through symbolic links to the file they name, so the link stays a link.
    struct stat st {};
    bool existiert = false;
    for (int tiefe = 0;; ++tiefe) {
        if (::lstat(ziel_.c_str(), &st) != 0) {
            if (errno != ENOENT) throw fehler(errno);
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            existiert = true;
            break;
        }
        if (tiefe == 40) throw fehler(ELOOP);  // a loop of links
        std::error_code ec;
        const fs::path verweis = fs::read_symlink(ziel_, ec);
        if (ec) throw fehler(ec.value());
        ziel_ = verweis.is_absolute() ? verweis : ziel_.parent_path() / verweis;
    }
    if (existiert && !S_ISREG(st.st_mode)) throw fehler(S_ISDIR(st.st_mode) ? EISDIR : kKeineNormaleDatei);
    // The rename would replace a file whatever its own permissions say; a file the user
    // may not write must stay as it is.
    if (existiert && ((st.st_mode & 0222) == 0 || ::access(ziel_.c_str(), W_OK) != 0)) throw fehler(EACCES);
    const std::string name = ziel_.filename().string();
    if (name.empty() || name == "." || name == "..") throw fehler(EISDIR);

    // The temporary file lives next to the target so the rename stays on one file
    // system; the name part is shortened so the temporary name stays within NAME_MAX.
    // ".<name>.<pid>.<random>": the process id tells a later writer whether the file is
    // still being written.
    const fs::path ordner = ziel_.parent_path();
    const std::string vorsilbe = "." + name.substr(0, 200) + ".";
    VerwaisteEntfernen(ordner, vorsilbe);
    const std::string eigene = vorsilbe + std::to_string(::getpid()) + ".";
    for (int versuch = 0; versuch < 100 && puffer_.fd < 0; ++versuch) {
        const std::string tempName = eigene + Zufallsendung();
        std::string pfad = (ordner / tempName).string();
        // Entered before it exists, so that no moment is left in which a signal would
        // leave the file behind.
        const int eintrag = TempEintragen(ordner, tempName);
        // A new file gets 0666 minus the umask, like any file the user creates; an
        // existing one gets its own mode below.
        const int fd = ::open(pfad.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existiert ? 0600 : 0666);
        if (fd >= 0) {
            puffer_.fd = fd;
            tempPfad_ = std::move(pfad);
            eintrag_ = eintrag;
        } else {
            const int grund = errno;
            TempAustragen(eintrag);
            if (grund != EEXIST) throw fehler(grund);
        }
    }
    if (puffer_.fd < 0) throw fehler(EEXIST);

    if (existiert) {
        // Owner first: a change of owner may clear set-id bits that fchmod then restores.
        // Only a privileged process can give the file away; otherwise it stays ours.
        if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
            ::fchown(puffer_.fd, st.st_uid, st.st_gid) != 0) {
            // Keeping our own ownership is the best that can be done.
        }
        if (::fchmod(puffer_.fd, st.st_mode & 07777) != 0) {
            const int grund = errno;
            ::close(std::exchange(puffer_.fd, -1));
            ::unlink(tempPfad_.c_str());
            TempAustragen(std::exchange(eintrag_, -1));
            throw fehler(grund);
        }
    }
}

ErsetzendeDatei::~ErsetzendeDatei() {
    if (puffer_.fd >= 0) ::close(puffer_.fd);
    if (!abgeschlossen_ && !tempPfad_.empty()) ::unlink(tempPfad_.c_str());
    TempAustragen(eintrag_);
}

void ErsetzendeDatei::Abschliessen() {
    strom_.flush();
    int grund = puffer_.fehlernummer;
    bool geschrieben = !puffer_.fehler && strom_.good();
    if (geschrieben && ::fsync(puffer_.fd) != 0) {
        geschrieben = false;
        grund = errno;
    }
    if (::close(std::exchange(puffer_.fd, -1)) != 0 && geschrieben) {
        geschrieben = false;
        grund = errno;
    }
    if (!geschrieben) throw DateiFehler(Fehlertext(anzeige_, grund));
    if (::rename(tempPfad_.c_str(), ziel_.c_str()) != 0) throw DateiFehler(Fehlertext(anzeige_, errno));
    abgeschlossen_ = true;
    TempAustragen(std::exchange(eintrag_, -1));

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
