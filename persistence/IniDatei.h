// The INI engine: reads and writes the parameter and settings files with the behaviour
// users know from Windows INI files, so files move freely between Pavolant and the
// Windows tools they were written with.
//
// Invariants:
//  - Section and key names are matched without regard to ASCII case.
//  - When a section occurs twice, the first occurrence is the one read and written;
//    the same holds for a key that occurs twice in its section.
//  - Writing a key replaces its value where it stands, or appends the key after the
//    last non-blank line of its section, or appends the section at the end of the file.
//    Every other line (comments, blank lines, unknown keys, their order) stays as it was.
//  - All texts in this interface are UTF-8. A file is read as UTF-8 when it is valid
//    UTF-8 (a BOM is kept) and as Windows-1252 otherwise, and written back in the
//    encoding and line ends it was read with; a new file is UTF-8 with CR LF. A value
//    that Windows-1252 cannot hold turns the file into UTF-8.
//  - Changes live in memory until Speichern(), which replaces the file all-or-nothing.
#pragma once

#include "model/DateiFehler.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pavolant {

// A file that cannot be read or written. what() is the message the user sees.
using IniFehler = DateiFehler;

class IniDatei {
public:
    // Longest value handed back by LiesString, in bytes of UTF-8 (longer ones are cut
    // at a character boundary).
    static constexpr std::size_t kMaxWertLaenge = 2047;

    // Reads the file when it exists; a missing file is an empty one (and Vorhanden() is
    // false). An existing file that cannot be read throws IniFehler.
    explicit IniDatei(std::filesystem::path pfad);
    // An in-memory file with the given content (bytes as they would be on disk), for
    // readers that do not touch the disk.
    static IniDatei AusText(std::string_view inhalt, std::filesystem::path pfad = {});

    const std::filesystem::path& Pfad() const { return pfad_; }
    bool Vorhanden() const { return vorhanden_; }
    bool SektionVorhanden(std::string_view sektion) const;

    // Value with blanks around it removed, at most kMaxWertLaenge bytes; `vorgabe` when
    // the section or key is missing.
    std::string LiesString(std::string_view sektion, std::string_view schluessel,
                           std::string_view vorgabe) const;
    // Decimal with optional sign, or "0x"/"0X" hexadecimal; missing, malformed or out
    // of the 32-bit range gives `vorgabe`.
    int LiesInteger(std::string_view sektion, std::string_view schluessel, int vorgabe) const;
    // Read as an integer: non-zero is true.
    bool LiesBool(std::string_view sektion, std::string_view schluessel, bool vorgabe) const;
    // The text (or `vorgabeText` when missing) through ZahlAusText; throws
    // KonvertierungsFehler when it is no number.
    double LiesZahl(std::string_view sektion, std::string_view schluessel,
                    std::string_view vorgabeText) const;
    // The same with a number as the default, kept exactly when the key is missing.
    double LiesZahl(std::string_view sektion, std::string_view schluessel, double vorgabe) const;

    // Line breaks inside a value cannot be stored in a line-based file and are written
    // as blanks. A section or key name that could not be read back (a key with '=' or
    // starting with ';' or '[', a section with ']', line breaks, invalid UTF-8) throws
    // std::invalid_argument and leaves the file unchanged.
    void SchreibeString(std::string_view sektion, std::string_view schluessel, std::string_view wert);
    void SchreibeInteger(std::string_view sektion, std::string_view schluessel, int wert);
    void SchreibeBool(std::string_view sektion, std::string_view schluessel, bool wert);
    // General number format (locale's separator, up to 15 significant digits).
    void SchreibeZahl(std::string_view sektion, std::string_view schluessel, double wert);

    // The bytes Speichern() would write.
    std::string Inhalt() const;
    // Writes Inhalt() to a temporary file in the same folder and moves it over the file,
    // so a failed save leaves the old file as it was. Throws
    // IniFehler("In <file> kann nicht geschrieben werden").
    void Speichern() const;

private:
    enum class Kodierung { Utf8, Utf8MitBom, Windows1252 };

    // The lines of one section: its header line first, then every line up to the next
    // header. The lines before the first section form a section without a header.
    struct Abschnitt {
        std::vector<std::string> zeilen;  // UTF-8, without line ends
    };

    IniDatei() = default;
    void Einlesen(std::string_view bytes);
    // The trimmed value of a key, whole (not cut to kMaxWertLaenge); nullopt when missing.
    std::optional<std::string_view> Wert(std::string_view sektion, std::string_view schluessel) const;

    std::filesystem::path pfad_;
    bool vorhanden_ = false;
    Kodierung kodierung_ = Kodierung::Utf8;
    bool crlf_ = true;
    // abschnitte_[0] holds the lines before the first section; the file is the
    // concatenation of all sections in order. Kept per section so that adding a key
    // moves only the lines of its own section.
    std::vector<Abschnitt> abschnitte_ = std::vector<Abschnitt>(1);
    // ASCII-lower-case section name -> index of its first occurrence in abschnitte_.
    std::unordered_map<std::string, std::size_t> sektionen_;
};

}  // namespace pavolant
