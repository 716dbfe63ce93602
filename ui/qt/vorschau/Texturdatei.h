// Texture files for the 3-D preview's "Textures" mode: found where the level editor
// finds them (beside the document) or in a folder the user chose, read into plain RGBA
// pictures with their whole mipmap chain, and kept while they stay unchanged on disk.
//
// DDS (BC1/DXT1, BC2/DXT3, BC3/DXT5, BC4, BC5 and uncompressed, with the file's own
// mipmaps) and TGA are read by our own readers (persistence/DdsBild, TgaBild) on every
// system; PNG, JPEG and the rest through OpenImageIO where the build has it, else through
// Qt's image readers. A file that is missing, is no regular file or cannot be read yields
// a note instead of a picture; reading never throws and never stops the preview.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pavolant::qt {

// The largest side of a texture the preview takes, in pixels (the editor's own textures
// stay well below); a larger one, or a header claiming one, is refused before any
// picture memory is taken.
inline constexpr int kMaxTexturseite = 8192;

// A picture ready for the graphics card: RGBA, 8 bits a channel, rows from the top
// (V = 0) down; every level of its mipmap chain, the largest first, down to 1 x 1.
struct Texturbild {
    struct Stufe {
        int Breite = 0, Hoehe = 0;
        std::vector<std::uint8_t> Rgba;  // Breite * Hoehe * 4 bytes
    };
    std::vector<Stufe> Stufen;
    // How many of the levels came from the file; the rest were made by halving.
    int StufenAusDatei = 0;

    std::size_t Bytes() const;
};

// A read: the picture, or none and why (English, one line, for the status line).
struct Texturladung {
    std::shared_ptr<const Texturbild> Bild;
    std::string Fehler;
};

// Reads the file `pfad`. One-channel files (BC4) show as grey, two-channel ones (BC5)
// as red and green; grey with alpha as grey; the alpha channel is not drawn.
Texturladung TexturLesen(const std::filesystem::path& pfad);

// Where the texture `name` (UTF-8, as the parameters hold it) is: beside the document
// `dokument` (UTF-8; empty: no document chosen), else in `ordner` (UTF-8; empty: none).
// nullopt when it is in neither as a regular file.
std::optional<std::filesystem::path> TexturSuchen(const std::string& name, const std::string& dokument,
                                                  const std::string& ordner);

// The textures of the four mesh parts, looked up and read; a file read before and
// unchanged since (same size and time) is taken from the last call instead of being
// read again. Only the files of the last call are kept.
class Texturlager {
public:
    struct Ergebnis {
        std::array<std::shared_ptr<const Texturbild>, 4> Bilder;  // by Netzteil; null: the part's colour
        std::vector<std::string> Hinweise;                        // one per file missing or unreadable
    };
    // `namen` by Netzteil (empty: the part is off).
    Ergebnis Laden(const std::array<std::string, 4>& namen, const std::string& dokument,
                   const std::string& ordner);

private:
    struct Eintrag {
        std::filesystem::file_time_type Zeit;
        std::uintmax_t Groesse = 0;
        Texturladung Ladung;
    };
    std::map<std::filesystem::path, Eintrag> eintraege_;
};

}  // namespace pavolant::qt
