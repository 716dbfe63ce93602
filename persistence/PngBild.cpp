#include "persistence/PngBild.h"

#include "persistence/ErsetzendeDatei.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace pavolant {

namespace {

void Gross32(unsigned char* ziel, std::uint32_t wert) {
    for (int i = 0; i < 4; ++i) ziel[i] = static_cast<unsigned char>(wert >> (8 * (3 - i)) & 0xFFu);
}

// The chunks of one file onto the stream, each in one write: the length, the type, the
// data and the CRC of type and data.
class Chunkschreiber {
public:
    explicit Chunkschreiber(std::ostream& ziel) : ziel_(ziel), puffer_(8 + kIdatGroesse + 4) {}

    // Room for the data of the next chunk (at most kIdatGroesse bytes).
    unsigned char* Daten() { return puffer_.data() + 8; }

    void Chunk(const char* art, std::size_t laenge) {
        Gross32(puffer_.data(), static_cast<std::uint32_t>(laenge));
        std::memcpy(puffer_.data() + 4, art, 4);
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), puffer_.data() + 4, static_cast<uInt>(laenge + 4));
        Gross32(puffer_.data() + 8 + laenge, static_cast<std::uint32_t>(crc));
        ziel_.write(reinterpret_cast<const char*>(puffer_.data()), static_cast<std::streamsize>(laenge + 12));
    }

private:
    std::ostream& ziel_;
    std::vector<unsigned char> puffer_;
};

// The zlib stream of the rows, cut into IDAT chunks as the output fills them.
class Bilddaten {
public:
    Bilddaten(Chunkschreiber& chunks, int stufe) : chunks_(chunks) {
        if (deflateInit(&z_, stufe) != Z_OK) throw std::bad_alloc();
        Leeren();
    }
    ~Bilddaten() { deflateEnd(&z_); }
    Bilddaten(const Bilddaten&) = delete;
    Bilddaten& operator=(const Bilddaten&) = delete;

    void Hinein(const unsigned char* daten, std::size_t laenge) {
        // avail_in is 32 bits wide: a very wide row goes in pieces.
        while (laenge > 0) {
            const std::size_t stueck = std::min<std::size_t>(laenge, 1u << 30);
            z_.next_in = const_cast<Bytef*>(daten);
            z_.avail_in = static_cast<uInt>(stueck);
            while (z_.avail_in > 0) {
                deflate(&z_, Z_NO_FLUSH);
                if (z_.avail_out == 0) Ausgeben();
            }
            daten += stueck;
            laenge -= stueck;
        }
    }

    void Beenden() {
        z_.avail_in = 0;
        for (;;) {
            const int r = deflate(&z_, Z_FINISH);
            if (z_.avail_out == 0 || r == Z_STREAM_END) Ausgeben();
            if (r == Z_STREAM_END) return;
        }
    }

private:
    void Leeren() {
        z_.next_out = chunks_.Daten();
        z_.avail_out = static_cast<uInt>(kIdatGroesse);
    }
    void Ausgeben() {
        const std::size_t n = kIdatGroesse - z_.avail_out;
        if (n > 0) chunks_.Chunk("IDAT", n);
        Leeren();
    }

    Chunkschreiber& chunks_;
    z_stream z_{};
};

// Paeth's predictor from the left, upper and upper-left bytes.
unsigned Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<unsigned>(a);
    return static_cast<unsigned>(pb <= pc ? b : c);
}

// Rows through the five filters, each kept where it gives the smallest sum of its bytes
// read as signed (the usual measure: small differences pack best).
class Filter {
public:
    Filter(std::size_t zeilenbytes, std::size_t pixelbytes)
        : n_(zeilenbytes), bpp_(pixelbytes), vorige_(zeilenbytes, 0) {
        for (auto& k : kandidaten_) k.assign(zeilenbytes + 1, 0);
    }

    // The filtered row (its filter byte first) for the raw row `zeile` of n bytes.
    const std::vector<unsigned char>& Zeile(const unsigned char* zeile, bool nurOhne) {
        const unsigned char* oben = vorige_.data();
        std::size_t beste = 0;
        std::uint64_t besteSumme = std::numeric_limits<std::uint64_t>::max();
        for (std::size_t art = 0; art < (nurOhne ? 1u : 5u); ++art) {
            std::vector<unsigned char>& k = kandidaten_[art];
            k[0] = static_cast<unsigned char>(art);
            std::uint64_t summe = 0;
            for (std::size_t i = 0; i < n_; ++i) {
                const unsigned a = i >= bpp_ ? zeile[i - bpp_] : 0u;
                const unsigned b = oben[i];
                const unsigned c = i >= bpp_ ? oben[i - bpp_] : 0u;
                unsigned vorhersage = 0;
                switch (art) {
                    case 1:
                        vorhersage = a;
                        break;
                    case 2:
                        vorhersage = b;
                        break;
                    case 3:
                        vorhersage = (a + b) / 2;
                        break;
                    case 4:
                        vorhersage = Paeth(static_cast<int>(a), static_cast<int>(b), static_cast<int>(c));
                        break;
                    default:
                        break;
                }
                const auto byte = static_cast<unsigned char>(zeile[i] - vorhersage);
                k[i + 1] = byte;
                summe += byte < 128 ? byte : 256u - byte;
            }
            if (summe < besteSumme) besteSumme = summe, beste = art;
        }
        std::copy(zeile, zeile + n_, vorige_.begin());
        return kandidaten_[beste];
    }

private:
    std::size_t n_, bpp_;
    std::vector<unsigned char> vorige_;
    std::vector<unsigned char> kandidaten_[5];
};

void Pruefen(int breite, int hoehe, std::size_t anzahl, int bits, int kanaele) {
    if (breite < 1 || hoehe < 1 || (bits != 8 && bits != 16) || kanaele < 1 || kanaele > 4 ||
        anzahl != static_cast<std::uint64_t>(breite) * static_cast<std::uint64_t>(hoehe) *
                      static_cast<std::uint64_t>(kanaele))
        throw std::invalid_argument("PNG: the samples do not fit the size");
}

// The file: signature, header, the rows as `zeile(y, bytes)` fills them, the end.
void Kodieren(std::ostream& ziel, int breite, int hoehe, int bits, int kanaele, PngPacken packen,
              const std::function<void(std::size_t, unsigned char*)>& zeile) {
    static const unsigned char kFarbtyp[5] = {0, 0, 4, 2, 6};
    ziel.write("\x89PNG\r\n\x1a\n", 8);
    Chunkschreiber chunks(ziel);
    unsigned char* kopf = chunks.Daten();
    Gross32(kopf, static_cast<std::uint32_t>(breite));
    Gross32(kopf + 4, static_cast<std::uint32_t>(hoehe));
    kopf[8] = static_cast<unsigned char>(bits);
    kopf[9] = kFarbtyp[kanaele];
    kopf[10] = kopf[11] = kopf[12] = 0;  // deflate, adaptive filtering, no interlace
    chunks.Chunk("IHDR", 13);

    const std::size_t pixelbytes = static_cast<std::size_t>(kanaele) * static_cast<std::size_t>(bits / 8);
    const std::size_t zeilenbytes = static_cast<std::size_t>(breite) * pixelbytes;
    const bool roh = packen == PngPacken::Roh;
    Filter filter(zeilenbytes, pixelbytes);
    std::vector<unsigned char> rohzeile(zeilenbytes);
    {
        Bilddaten daten(chunks, roh ? Z_NO_COMPRESSION : Z_DEFAULT_COMPRESSION);
        for (std::size_t y = 0; y < static_cast<std::size_t>(hoehe); ++y) {
            zeile(y, rohzeile.data());
            const std::vector<unsigned char>& gefiltert = filter.Zeile(rohzeile.data(), roh);
            daten.Hinein(gefiltert.data(), gefiltert.size());
        }
        daten.Beenden();
    }
    chunks.Chunk("IEND", 0);
}

// Checked before the temporary file exists: a wrong call leaves no trace on disk.
template <class Wert>
void Schreiben(const std::filesystem::path& ziel, int breite, int hoehe, std::span<const Wert> werte) {
    constexpr int bits = 8 * static_cast<int>(sizeof(Wert));
    Pruefen(breite, hoehe, werte.size(), bits, 1);
    ErsetzendeDatei datei(ziel);
    if constexpr (bits == 16)
        PngKodieren(datei.Strom(), breite, hoehe, werte, 16);
    else
        PngKodieren(datei.Strom(), breite, hoehe, werte);
    datei.Abschliessen();
}

}  // namespace

void PngKodieren(std::ostream& ziel, int breite, int hoehe, std::span<const std::uint16_t> werte, int bits,
                 int kanaele, PngPacken packen) {
    Pruefen(breite, hoehe, werte.size(), bits, kanaele);
    const std::size_t proZeile = static_cast<std::size_t>(breite) * static_cast<std::size_t>(kanaele);
    Kodieren(ziel, breite, hoehe, bits, kanaele, packen, [&](std::size_t y, unsigned char* bytes) {
        const std::uint16_t* w = werte.data() + y * proZeile;
        for (std::size_t i = 0; i < proZeile; ++i) {
            if (bits == 16) *bytes++ = static_cast<unsigned char>(w[i] >> 8);
            *bytes++ = static_cast<unsigned char>(w[i] & 0xFFu);
        }
    });
}

void PngKodieren(std::ostream& ziel, int breite, int hoehe, std::span<const std::uint8_t> werte, int kanaele,
                 PngPacken packen) {
    Pruefen(breite, hoehe, werte.size(), 8, kanaele);
    const std::size_t proZeile = static_cast<std::size_t>(breite) * static_cast<std::size_t>(kanaele);
    Kodieren(ziel, breite, hoehe, 8, kanaele, packen, [&](std::size_t y, unsigned char* bytes) {
        std::memcpy(bytes, werte.data() + y * proZeile, proZeile);
    });
}

void PngGrau16Schreiben(const std::filesystem::path& ziel, int breite, int hoehe,
                        std::span<const std::uint16_t> werte) {
    Schreiben(ziel, breite, hoehe, werte);
}

void PngGrau8Schreiben(const std::filesystem::path& ziel, int breite, int hoehe,
                       std::span<const std::uint8_t> werte) {
    Schreiben(ziel, breite, hoehe, werte);
}

}  // namespace pavolant
