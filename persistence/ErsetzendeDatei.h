// Writing a file all-or-nothing: the new content goes to a temporary file beside the
// target, which replaces the target only once it is complete and on disk. A failed or
// abandoned write leaves the old file as it was and no temporary file behind; so does
// an interrupt (SIGINT, SIGTERM, SIGHUP; Ctrl+C or the console closed on Windows) where
// AbbruchsignaleAbfangen (Plattform.h) was called.
// A temporary file is named ".<target name>.pavolant-tmp.<12 random letters or digits>"
// and locked while it is written; one that a process killed outright (SIGKILL, a power
// cut) left behind is removed by the next write to the same target, since nobody holds
// its lock any more. Files of every other name stay.
#pragma once

#include "model/DateiFehler.h"
#include "model/Dokumentziel.h"
#include "persistence/Plattform.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

namespace pavolant {

// Whether two paths name the same file: by identity (device and inode, or the volume
// and file index on Windows) where both exist,
// however they are spelt (links, "..", another name of a hard link); otherwise by their
// normalised absolute form.
bool DieselbeDatei(const std::filesystem::path& a, const std::filesystem::path& b);

class ErsetzendeDatei {
public:
    // Creates the temporary file. A symbolic link at `ziel` is followed, so the link
    // stays a link and the file it names is replaced; an existing file's owner and
    // permissions carry over. A file its user may not write, or that nobody may (no
    // write bit, or the read-only attribute on Windows: marked read-only, which binds
    // root too), is not replaced. Throws DateiFehler.
    explicit ErsetzendeDatei(std::filesystem::path ziel);
    // Removes the temporary file unless Abschliessen() succeeded.
    ~ErsetzendeDatei();
    ErsetzendeDatei(const ErsetzendeDatei&) = delete;
    ErsetzendeDatei& operator=(const ErsetzendeDatei&) = delete;

    // Unbuffered stream onto the temporary file; callers write in large pieces.
    std::ostream& Strom() { return strom_; }
    void Schreiben(std::string_view daten) {
        strom_.write(daten.data(), static_cast<std::streamsize>(daten.size()));
    }
    // Writes through to the disk and moves the temporary file over the target. Throws
    // DateiFehler when anything written or the move failed.
    void Abschliessen();

    static std::string Fehlertext(const std::filesystem::path& ziel);
    // The same with the system's reason (none when `grund` is empty).
    static std::string Fehlertext(const std::filesystem::path& ziel, const std::error_code& grund);

private:
    class DateiPuffer : public std::streambuf {
    public:
        Systemdatei datei;
        std::error_code grund;  // of the first write that failed

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
    };

    std::filesystem::path anzeige_;  // the path as given, for messages
    std::filesystem::path ziel_;     // the file actually replaced (links resolved)
    std::filesystem::path tempPfad_;
    int eintrag_ = -1;  // the temporary file's entry in the interrupt table (Plattform.h)
    DateiPuffer puffer_;
    std::ostream strom_{&puffer_};
    bool abgeschlossen_ = false;
};

// A generated document as a file written all-or-nothing: the check creates and removes
// a temporary file beside the target, the document itself goes to a new one, which
// replaces the target once it is complete.
class Dokumentdatei : public Dokumentziel {
public:
    explicit Dokumentdatei(std::filesystem::path ziel) : ziel_(std::move(ziel)) {}

    void Pruefen() override;
    std::ostream& Oeffnen() override;
    void Abschliessen() override;
    void Verwerfen() noexcept override { datei_.reset(); }

private:
    std::filesystem::path ziel_;
    std::optional<ErsetzendeDatei> datei_;
};

}  // namespace pavolant
