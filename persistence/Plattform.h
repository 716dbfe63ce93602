// What the operating system does its own way, behind one interface: opening, creating,
// reading and writing files, the atomic replace of a file, a file's kind and whether it
// may be written, paths as UTF-8, the command line's arguments, the decimal separator of
// the user's locale, the program's folder, and the cleanup of temporary files when the
// program is interrupted. Plattform_posix.cpp implements it for Linux and the other
// POSIX systems, Plattform_windows.cpp for Windows; CMake builds the one that fits.
// No other file of the program includes a system header (scripts/check-floors.sh).
//
// All texts here are UTF-8. A reason why a file operation failed is a std::error_code:
// the generic category (errno values) where the system's error has one, so "Permission
// denied" and "No such file or directory" read the same everywhere; the system's own
// error with its own words otherwise; and KeineNormaleDatei() for a path that is
// neither a regular file nor a folder (a FIFO, a device).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pavolant {

// ---- Paths and text ----------------------------------------------------------------------

// The path that the UTF-8 text names. On Windows the text is decoded as UTF-8 into the
// system's UTF-16 names, never through the ANSI code page, so every letter arrives.
// Invalid UTF-8 (only possible from a broken caller) throws std::system_error on
// Windows; POSIX names are bytes and pass unchanged.
inline std::filesystem::path PfadAusUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}
// The path as UTF-8 text, for messages and for the fields that show it.
inline std::string Utf8(const std::filesystem::path& pfad) {
    const std::u8string text = pfad.u8string();
    return std::string(text.begin(), text.end());
}

// The program's arguments (without the program's name) as UTF-8. On Windows they are
// read from the wide command line, since argv holds them in the ANSI code page, which
// loses every letter it lacks.
std::vector<std::string> Programmargumente(int argc, char** argv);
// Lets the console show the UTF-8 the program writes to its standard output and error
// (Windows consoles use an OEM code page otherwise). Redirected output is unaffected:
// it receives the bytes as written. Nothing to do on POSIX.
void KonsoleAufUtf8();
// The folder holding the running program's file (for files that ship beside it);
// empty when the system does not say.
std::filesystem::path Programmordner();
// The folder in which this user's programs keep their settings: Windows' roaming
// application data (%APPDATA%); empty on POSIX, where the programs keep theirs in the
// working directory, and when the system does not say.
std::filesystem::path Anwendungsdatenordner();
// The decimal separator of the user's locale (POSIX: LC_ALL / LC_NUMERIC / LANG;
// Windows: the user's regional settings), '.' when it is neither ',' nor '.' or cannot
// be read.
char SystemDezimaltrenner();
// The machine's physical memory in bytes; 0 when the system does not say.
std::uint64_t PhysischerSpeicher();
// The environment variable `name` as UTF-8; empty when it is unset.
std::string Umgebungsvariable(const char* name);
// The languages of the user's desktop, most wanted first ("de-DE"); Windows says them
// (its display language), POSIX leaves them to the variables (empty).
std::vector<std::string> Oberflaechensprachen();
// Installs the message catalog <ordner>/<sprache>/LC_MESSAGES/pavolant.mo as the
// translator of Tr(): GNU gettext on POSIX; on Windows, whose C library has none, the
// catalog read by Katalog. False when the catalog cannot be bound or read. Once, before
// any thread.
bool KatalogEinbinden(const std::filesystem::path& ordner, const std::string& sprache);

// ---- Reasons -----------------------------------------------------------------------------

// A path that is neither a regular file nor a folder: a FIFO, a device, a socket.
std::error_code KeineNormaleDatei();
// The words for a reason ("Permission denied", "Not a regular file").
std::string Dateigrund(const std::error_code& grund);

// ---- Files -------------------------------------------------------------------------------

enum class Dateiart { Fehlt, Normal, Ordner, Verweis, Andere };

// What is at `pfad`, without following a symbolic link (Verweis is the link itself);
// Fehlt when nothing is there, also when a folder on the way is missing. `grund` is set
// only when the system cannot say.
Dateiart ArtDerDatei(const std::filesystem::path& pfad, std::error_code& grund);
// Whether this process may write the existing file at `pfad`: it must not be marked
// read-only (POSIX: no write bit at all, which binds root too; Windows: the read-only
// attribute) and the system's permissions must allow it.
bool Beschreibbar(const std::filesystem::path& pfad);

// An open file of the system, closed with the object. Unbuffered: callers read and
// write in large pieces.
class Systemdatei {
public:
    Systemdatei() = default;
    ~Systemdatei();
    Systemdatei(Systemdatei&& andere) noexcept;
    Systemdatei& operator=(Systemdatei&& andere) noexcept;
    Systemdatei(const Systemdatei&) = delete;
    Systemdatei& operator=(const Systemdatei&) = delete;

    // Opens an existing regular file for reading. Anything else is refused with its
    // reason (a folder: is_a_directory; a FIFO or device: KeineNormaleDatei()), and a
    // FIFO cannot make the open wait for a writer.
    static Systemdatei ZumLesen(const std::filesystem::path& pfad, std::error_code& grund);
    // Creates the file `pfad`, which must not exist (file_exists otherwise), for writing.
    // With `vorbild` (an existing regular file) the new file takes its owner where this
    // process may give files away and its permissions, so that it can replace it; without
    // one it gets a new file's usual permissions.
    static Systemdatei NeuAnlegen(const std::filesystem::path& pfad, const std::filesystem::path* vorbild,
                                  std::error_code& grund);

    bool Offen() const { return griff_ != kKeinGriff; }
    // The file's size when it was opened, as a hint for reading; 0 when unknown.
    std::uint64_t Groesse() const { return groesse_; }
    // Up to `laenge` bytes; 0 at the end of the file or on an error (then `grund` is set).
    std::size_t Lesen(char* ziel, std::size_t laenge, std::error_code& grund);
    // All `laenge` bytes, or the reason why not.
    std::error_code Schreiben(const char* daten, std::size_t laenge);
    // Writes everything through to the disk.
    std::error_code Sichern();
    // Closes the file; the reason when closing reported an error (a late write error).
    std::error_code Schliessen();

    // Takes the file's exclusive lock without waiting: the sign to every other process
    // that the file is still being written. Unlike a process number it is seen across
    // process namespaces (containers) and, where the file system passes locks on (NFS,
    // SMB), from other machines. The lock holds until SperreLoesen() or the object's
    // end; on POSIX it outlasts Schliessen(), so that a file stays locked until it has
    // replaced its target. False when another holds it, or with `grund` set when the
    // file system has no locks.
    bool Sperren(std::error_code& grund);
    void SperreLoesen() noexcept;
    // Whether `pfad` still names this open file (nobody removed it since it was opened).
    bool NochUnter(const std::filesystem::path& pfad) const;

private:
    static constexpr std::intptr_t kKeinGriff = -1;
    std::intptr_t griff_ = kKeinGriff;   // a file descriptor, or a Windows HANDLE
    std::intptr_t sperre_ = kKeinGriff;  // POSIX: a second descriptor holding the lock; Windows: 1 while held
    std::uint64_t groesse_ = 0;
};

// Replaces `ziel` with the complete, closed file `neu` in the same folder, in one step:
// a reader sees the old file or the new one, never a part. An existing target's
// attributes stay with the name (Windows). The replace is made durable before this
// returns where the system allows it.
std::error_code Ersetzen(const std::filesystem::path& neu, const std::filesystem::path& ziel);

// Removes the regular file `pfad` unless a process holds its lock (Systemdatei::Sperren).
// It takes the lock itself for the removal, so that no writer can take the file up in
// between. True when the file was removed; a link, a folder, a locked file, one this
// process cannot open for writing and one on a file system without locks stay.
bool UngesperrtEntfernen(const std::filesystem::path& pfad);

// This process's number, and whether the process with number `nummer` is certainly gone
// (false when it runs or when that cannot be told, e.g. it belongs to another user).
long Prozessnummer();
bool ProzessBeendet(long nummer);

// ---- Temporary files when the program is interrupted -------------------------------------
// Whoever creates a temporary file enters it here first. On POSIX the handler of SIGINT,
// SIGTERM and SIGHUP removes every entered file of this process and ends the process by
// the same signal, so its exit status is the usual one (a shell shows 128 + signal: 130,
// 143, 129); it needs nothing but async-signal-safe calls and is not misled by a change
// of the working directory (a folder descriptor and a name per entry). On Windows the
// console's control handler (Ctrl+C, Ctrl+Break, the console closed, logoff, shutdown)
// removes them and leaves the end of the process to the system's default.
// The table is fixed (no allocation): a full table leaves a file unprotected, never
// unwritten.

// Installs the handler for each of the signals that still has its default action; an
// ignored signal (nohup) stays ignored, another handler stays in place. SIGXFSZ (a file
// size limit, ulimit -f) is ignored where it has its default action, which would end
// the process in the middle of a write: the write then fails with "File too large" and
// is cleaned up like every failed write.
void AbbruchsignaleAbfangen();
// Enters `name` in `ordner` before the file is created. Returns the entry, or -1 when
// the table is full or the folder cannot be opened (the file is then unprotected).
int TempEintragen(const std::filesystem::path& ordner, std::string_view name);
// Ends the entry once the file is gone or renamed; -1 is ignored.
void TempAustragen(int eintrag) noexcept;

}  // namespace pavolant
