// The settings file "Pavolant.ini" in the working directory: the six fineness settings
// and the main window's position, kept from one run of the program to the next.
#pragma once

#include "model/Feinheit.h"
#include "persistence/Sprache.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace pavolant {

// A window's top-left corner in screen pixels.
struct Fensterposition {
    int Oben = 1;
    int Links = 1;
};

// The settings file's path: Pavolant.ini in the working directory of this moment. Where
// no file can be made there (a program started from the Start menu has its installation
// folder as working directory, which may be closed to the user), the file lives in the
// user's application data instead (Windows: %APPDATA%\Pavolant\, created when needed).
std::filesystem::path EinstellungsPfad();
// The same with the folders given: the working directory and the application data
// folder (empty: none, as on POSIX, which keeps the working directory in any case).
std::filesystem::path EinstellungsPfad(const std::filesystem::path& arbeitsordner,
                                       const std::filesystem::path& datenordner);

// Reads the file into `feinheit` (keys missing keep what `feinheit` holds) and returns
// the stored window position. A missing file changes nothing and returns nullopt. A
// value that is no number throws KonvertierungsFehler: the settings read before it are
// already in `feinheit`, the rest and the position are left alone.
std::optional<Fensterposition> EinstellungenLesen(const std::filesystem::path& pfad, Feinheit& feinheit);

// The stored window position alone, exactly as written (the keys' default 1 where one
// is missing); nullopt without a file. A value that is no whole number throws
// KonvertierungsFehler.
std::optional<Fensterposition> FensterpositionLesen(const std::filesystem::path& pfad);

// The memory limit of a run in bytes, from the key maxSpeicherMB (megabytes, 2^20 bytes)
// of the section [Preferences], at least 1 for any value above 0; nullopt when the file
// or the key is missing (the default applies). A value that is no number, or not above 0
// (a run takes 0 for no limit at all), throws KonvertierungsFehler naming the file and
// key. The program never writes this key: a user sets it by hand, and it stays as typed.
std::optional<std::uint64_t> SpeicherGrenzeLesen(const std::filesystem::path& pfad);

// The language the user chose in the settings dialog, from the key Sprache ("System",
// "en", "de"); System when the file or the key is missing or the value names no language
// the program has (a language chosen by a later version, say), or the file cannot be
// read at all. Never throws.
Sprachwahl SprachwahlLesen(const std::filesystem::path& pfad);

// The folder the road preview looks in for texture files not found beside the document:
// the key Texturordner of [Preferences], UTF-8. Missing file, key or an empty value:
// nullopt. The read throws IniFehler when the file exists but cannot be read.
std::optional<std::string> TexturordnerLesen(const std::filesystem::path& pfad);
// Writes that key alone: every other line of the file stays as it is (a missing file is
// created with only this key). All-or-nothing; throws DateiFehler as the other writes.
void TexturordnerSchreiben(const std::filesystem::path& pfad, const std::string& ordner);

// Writes the six settings and the position in their fixed order, all-or-nothing;
// throws DateiFehler("In <path> kann nicht geschrieben werden").
// The language choice goes in as the key Sprache when it names a language or the file
// has the key already; a file that never had one stays without it.
void EinstellungenSchreiben(const std::filesystem::path& pfad, const Feinheit& feinheit,
                            const Fensterposition& position, Sprachwahl sprache = Sprachwahl::System);

// Keeps a window of the given size on a screen of the given size: an edge that would
// put the window past the screen's right or bottom edge, or beyond its left or top
// edge, becomes 1.
Fensterposition AufBildschirm(Fensterposition position, int fensterBreite, int fensterHoehe,
                              int bildschirmBreite, int bildschirmHoehe);

}  // namespace pavolant
