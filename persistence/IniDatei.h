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
//  - All texts in this interface are UTF-8. A file is read as UTF-16 when it starts
//    with a UTF-16 byte order mark, as UTF-8 when it is valid UTF-8 (a BOM is kept) and
//    as Windows-1252 otherwise, and written back in the encoding and line ends it was
//    read with (CR LF, LF, or CR alone when the file has no LF at all); a new file is
//    UTF-8 with CR LF. A value that Windows-1252 cannot hold turns the file into UTF-8.
//    UTF-32 and UTF-16 without a byte order mark are refused with IniFehler.
//  - Looking up or writing a key costs the same however large the file is: sections and
//    keys are found through an index, not by reading the lines.
//  - Changes live in memory until Speichern(), which replaces the file all-or-nothing.
#pragma once

#include "model/DateiFehler.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

// A file that cannot be read or written. what() is the message the user sees.
using IniFehler = DateiFehler;

class IniDatei {
public:
    // Longest value handed back by LiesString, in characters (code points), as the
    // Windows profile functions count them; longer ones are cut.
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

    // Value with blanks around it removed, and then one pair of matching quotes ("..."
    // or '...') around all of it, at most kMaxWertLaenge characters; `vorgabe` when the
    // section or key is missing. The integer and number readers see the value the same
    // way, but whole.
    std::string LiesString(std::string_view sektion, std::string_view schluessel,
                           std::string_view vorgabe) const;
    // Decimal with optional sign, or "0x"/"0X" hexadecimal; missing, malformed or out
    // of the 32-bit range gives `vorgabe`.
    int LiesInteger(std::string_view sektion, std::string_view schluessel, int vorgabe) const;
    // Read as an integer: non-zero is true.
    bool LiesBool(std::string_view sektion, std::string_view schluessel, bool vorgabe) const;
    // The text (or `vorgabeText` when missing) through ZahlAusText; throws
    // KonvertierungsFehler, led by "<file> [<section>] <key>: ", when it is no number.
    double LiesZahl(std::string_view sektion, std::string_view schluessel,
                    std::string_view vorgabeText) const;
    // The same with a number as the default, kept exactly when the key is missing.
    double LiesZahl(std::string_view sektion, std::string_view schluessel, double vorgabe) const;

    // Line breaks inside a value cannot be stored in a line-based file and are written
    // as blanks. A value that is itself in quotes is written in one more pair of double
    // quotes, so that it reads back with its own. A section or key name that could not be read back (a key
    // with '=' or starting with ';' or '[', a section with ']', line breaks, invalid UTF-8) throws
    // std::invalid_argument and leaves the file unchanged.
    void SchreibeString(std::string_view sektion, std::string_view schluessel, std::string_view wert);
    void SchreibeInteger(std::string_view sektion, std::string_view schluessel, int wert);
    void SchreibeBool(std::string_view sektion, std::string_view schluessel, bool wert);
    // General number format (locale's separator, up to 15 significant digits).
    void SchreibeZahl(std::string_view sektion, std::string_view schluessel, double wert);
    // Whether SchreibeZahl writes `wert` in a form LiesZahl reads back: every finite double
    // does (the largest ones as the largest 15-digit number below them), "INF" and "NAN"
    // never. The writers of the road check with it before they set a key.
    static bool ZahlLiestSichZurueck(double wert);

    // The bytes Speichern() would write.
    std::string Inhalt() const;
    // Writes Inhalt() to a temporary file in the same folder and moves it over the file,
    // so a failed save leaves the old file as it was. Throws
    // IniFehler("In <file> kann nicht geschrieben werden").
    void Speichern() const;

private:
    enum class Kodierung { Utf8, Utf8MitBom, Windows1252, Utf16LE, Utf16BE };
    enum class Zeilenende { CrLf, Lf, Cr };
    static constexpr std::uint32_t kKeine = 0xFFFFFFFF;  // no index, no section

    // One line: text_[anfang, anfang + laenge), UTF-8, without its line end.
    struct Zeile {
        std::uint32_t anfang = 0;
        std::uint32_t laenge = 0;
    };
    // A section: its header line first, then every line up to the next header. The
    // lines before the first section form a section without a header (index 0). The
    // lines as read are zeilen_[anfang, ende); keys written since stand, in the order
    // written, in neu_[neu] and come after the section's last non-blank line as read,
    // zeilen_[einfuege - 1]. A section the program added has no lines as read.
    struct Abschnitt {
        std::uint32_t anfang = 0, ende = 0, einfuege = 0;
        std::uint32_t neu = kKeine;
    };
    // An index slot: the header (zeile 0) or a key line of a section, by the position
    // of the line within its section, which never changes: new keys go after every key.
    struct Eintrag {
        std::uint32_t abschnitt = 0;
        std::uint32_t zeile = 0;
    };

    IniDatei() = default;
    void Einlesen(std::string bytes);
    void Zerlegen(std::size_t ab);
    // Throws IniFehler, naming the line, for structure the lines cannot be read as: a
    // header without ']', a byte order mark before a header or key, a CR alone that
    // ends a line in a file of LF lines.
    void Pruefen() const;
    // The trimmed value of a key without its enclosing quotes, whole (not cut to
    // kMaxWertLaenge); nullopt when missing.
    std::optional<std::string_view> Wert(std::string_view sektion, std::string_view schluessel) const;
    // ZahlAusText of a key's value; a KonvertierungsFehler names the file, section and key.
    double ZahlAusWert(std::string_view sektion, std::string_view schluessel, std::string_view wert) const;

    Zeile& ZeileIn(std::size_t abschnitt, std::size_t k);
    const Zeile& ZeileIn(std::size_t abschnitt, std::size_t k) const;
    std::string_view Text(Zeile z) const { return std::string_view(text_).substr(z.anfang, z.laenge); }
    // A section's name as its header gives it (nullopt for the lines before the first).
    std::optional<std::string_view> Name(std::size_t abschnitt) const;
    // Index of the first section of that (trimmed) name; nullopt when there is none.
    std::optional<std::size_t> Sektion(std::string_view name) const;
    // Position of the first line of that key in the section; nullopt when there is none.
    std::optional<std::size_t> Schluessel(std::size_t abschnitt, std::string_view name) const;
    std::uint64_t Streuwert(const Eintrag& e) const;
    void IndexAnlegen(std::size_t eintraege);
    std::size_t Naechster(std::size_t slot) const { return slot + 1 == index_.size() ? 0 : slot + 1; }
    void Eintragen(Eintrag e, std::uint64_t streuwert);
    // Stores a line's bytes; throws std::length_error (changing nothing) when the lines
    // would not fit the 32-bit positions even after the unused bytes are dropped.
    Zeile Ablegen(std::string_view zeile);
    void Verdichten(std::size_t zusaetzlich);
    // Hands the bytes Speichern() writes to `ausgabe`, in pieces of about 64 KiB.
    void Ausgeben(const std::function<void(std::string_view)>& ausgabe) const;

    std::filesystem::path pfad_;
    bool vorhanden_ = false;
    Kodierung kodierung_ = Kodierung::Utf8;
    Zeilenende zeilenende_ = Zeilenende::CrLf;
    // The bytes of every line, and of lines replaced since (unbenutzt_ bytes, line ends
    // of the file as read included), until the text must move and they are a quarter
    // of it.
    std::string text_;
    std::size_t unbenutzt_ = 0;
    std::vector<Zeile> zeilen_;
    std::vector<Abschnitt> abschnitte_ = std::vector<Abschnitt>(1);
    std::vector<std::vector<Zeile>> neu_;
    // Open addressing with linear probing, at most 7/8 full: the first occurrence of
    // every section, and the first occurrence of every key in it. marken_ holds 8 bits of each slot's hash
    // (0: free), so that probing runs over bytes and reads a line only when those agree. Nine bytes a slot
    // keep the index of a file of short lines below the file's own size.
    std::vector<Eintrag> index_ = std::vector<Eintrag>(8);
    std::vector<std::uint8_t> marken_ = std::vector<std::uint8_t>(8);
    std::size_t belegt_ = 0;
};

}  // namespace pavolant
