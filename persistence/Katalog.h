// A compiled message catalog (.mo, as msgfmt writes it) read by the program itself, for
// systems whose C library has no gettext (Windows). The file is checked whole when it is
// read: every string lies inside it and ends in a NUL, so a look-up never reads past it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pavolant {

class Katalog {
public:
    // The catalog in `bytes`; nullopt when they are no catalog (wrong magic number, a
    // table or a string outside the bytes, a string without its NUL).
    static std::optional<Katalog> AusBytes(std::string bytes);

    // The translation of id; nullptr when the catalog has none (or an empty one).
    const char* Text(const char* id) const;
    // The form for the count n of the entry einzahl/mehrzahl (the catalogs' rule:
    // the first form for 1, the second otherwise); nullptr when there is none.
    const char* Mehrzahl(const char* einzahl, unsigned long n) const;

    std::uint32_t Anzahl() const { return anzahl_; }

private:
    std::uint32_t Wort(std::size_t stelle) const;
    const char* Eintrag(std::uint32_t tabelle, std::uint32_t k, std::uint32_t* laenge = nullptr) const;
    // The index of the entry whose id (up to its first NUL) is `id`, by bisection: msgfmt
    // writes the ids sorted by their bytes.
    std::optional<std::uint32_t> Suchen(const char* id) const;

    std::string bytes_;
    bool getauscht_ = false;  // written on a machine of the other byte order
    std::uint32_t anzahl_ = 0, originale_ = 0, uebersetzungen_ = 0;
};

}  // namespace pavolant
