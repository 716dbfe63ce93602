#include "persistence/Hoehenbild.h"

#include "model/Text.h"
#include "persistence/Plattform.h"
#include "persistence/Rasterbild.h"

// stb_image's declarations; its implementation is compiled once in StbBild.cpp.
#include <stb/stb_image.h>

#include <climits>
#include <cstring>
#include <string>

namespace pavolant {

namespace {

bool ZweierpotenzPlusEins(int seite) {
    const unsigned n = static_cast<unsigned>(seite) - 1u;
    return seite >= 2 && (n & (n - 1u)) == 0;
}

std::uint32_t Gross32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace

std::uint64_t HoehenbildSpeicherbedarf(std::uint64_t breite, std::uint64_t hoehe,
                                       std::uint64_t dateigroesse) {
    return dateigroesse + (breite * 2 + 1) * hoehe + breite * hoehe * 2;
}

Hoehenbildladung HoehenbildAusBytes(const std::uint8_t* daten, std::size_t laenge,
                                    std::uint64_t speichergrenze) {
    Hoehenbildladung l;
    static const std::uint8_t kSignatur[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (laenge < 8 || std::memcmp(daten, kSignatur, 8) != 0) {
        l.Fehler = Tr("not a PNG image");
        return l;
    }
    // The header chunk, read here so that the message names what is wrong.
    if (laenge < 8 + 8 + 13 || std::memcmp(daten + 12, "IHDR", 4) != 0) {
        l.Fehler = Tr("a PNG header cut short or damaged");
        return l;
    }
    const std::uint32_t breite = Gross32(daten + 16), hoehe = Gross32(daten + 20);
    const int tiefe = daten[24], farbtyp = daten[25];
    if (farbtyp != 0) {
        // Catalog: a height image in colour; %1 the PNG's colour type.
        l.Fehler =
            Einsetzen(Tr("a colour or transparent image (PNG colour type %1): the height image must be "
                         "16-bit grey"),
                      {std::to_string(farbtyp)});
        return l;
    }
    if (tiefe != 16) {
        // Catalog: %1 the bits of each pixel.
        l.Fehler = Einsetzen(Tr("a grey image of %1 bits: the height image must be 16-bit grey"),
                             {std::to_string(tiefe)});
        return l;
    }
    if (breite == 0 || hoehe == 0 || breite > INT_MAX / 4 || hoehe > INT_MAX / 4) {
        l.Fehler = Tr("a PNG header cut short or damaged");
        return l;
    }
    const std::uint64_t bedarf = HoehenbildSpeicherbedarf(breite, hoehe, laenge);
    if (bedarf > speichergrenze) {
        // Catalog: %1 x %2 the image's size in pixels, %3 and %4 megabytes.
        l.Fehler = Einsetzen(Tr("%1 x %2 pixels need %3 MB to read, more than the limit of %4 MB"),
                             {std::to_string(breite), std::to_string(hoehe), std::to_string(bedarf >> 20),
                              std::to_string(speichergrenze >> 20)});
        return l;
    }
    // The chunks walked before the decoder sees them: each must lie within the file, and
    // the end chunk must be reached. stb_image takes a chunk's length on trust (it grows
    // its buffer to what an IDAT chunk claims before reading it), does not look for the
    // end chunk (a file cut after its last rows would pass as whole), and copies to a null
    // buffer on an empty first IDAT chunk.
    bool ende = false;
    for (std::size_t stelle = 8; !ende && laenge - stelle >= 12;) {
        const std::uint32_t n = Gross32(daten + stelle);
        if (n > laenge - stelle - 12) break;  // cut within this chunk
        if (n == 0 && std::memcmp(daten + stelle + 4, "IDAT", 4) == 0) {
            l.Fehler = Tr("a damaged PNG (an empty IDAT chunk)");
            return l;
        }
        ende = std::memcmp(daten + stelle + 4, "IEND", 4) == 0;
        stelle += 12 + static_cast<std::size_t>(n);
    }
    if (!ende) {
        l.Fehler = Tr("a PNG file cut short (its end is missing)");
        return l;
    }
    int b = 0, h = 0, kanaele = 0;
    if (laenge > static_cast<std::size_t>(INT_MAX)) {
        l.Fehler = Tr("a PNG file of more than 2 GB");
        return l;
    }
    stbi_us* pixel = stbi_load_16_from_memory(daten, static_cast<int>(laenge), &b, &h, &kanaele, 1);
    if (pixel == nullptr) {
        // The decoder's reason may carry bytes of the file (an unknown chunk's name): only
        // printable ASCII of it goes into the one-line message.
        const char* grund = stbi_failure_reason();
        std::string lesbar = grund != nullptr ? grund : "unknown";
        for (char& c : lesbar)
            if (c < 0x20 || c > 0x7E) c = '?';
        // Catalog: %1 the decoder's reason (English).
        l.Fehler = Einsetzen(Tr("a damaged or cut PNG (%1)"), {lesbar});
        return l;
    }
    l.Raster.Breite = b;
    l.Raster.Hoehe = h;
    l.Raster.Werte = std::shared_ptr<const std::uint16_t[]>(
        pixel, [](const std::uint16_t* p) { stbi_image_free(const_cast<std::uint16_t*>(p)); });
    if (!ZweierpotenzPlusEins(b) || !ZweierpotenzPlusEins(h))
        // Catalog: %1 x %2 the image's size in pixels.
        l.Hinweise.push_back(
            Einsetzen(Tr("the height image is %1 x %2 pixels; the editor's are a power of two "
                         "plus one a side (1025, 2049, 4097): is it the right file?"),
                      {std::to_string(b), std::to_string(h)}));
    return l;
}

Hoehenbildladung HoehenbildLesen(const std::filesystem::path& pfad, std::uint64_t speichergrenze) {
    Hoehenbildladung l;
    std::string fehler;
    // The whole file, bounded by the limit: a file larger than the limit cannot be read
    // within it anyway.
    const std::vector<std::uint8_t> daten = DateianfangLesen(pfad, speichergrenze + 1, fehler);
    if (!fehler.empty()) {
        l.Fehler = fehler;
        return l;
    }
    if (daten.size() > speichergrenze) {
        l.Fehler =
            Einsetzen(Tr("a file larger than the limit of %1 MB"), {std::to_string(speichergrenze >> 20)});
        return l;
    }
    return HoehenbildAusBytes(daten.data(), daten.size(), speichergrenze);
}

}  // namespace pavolant
