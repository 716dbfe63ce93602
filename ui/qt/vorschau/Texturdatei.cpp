#include "ui/qt/vorschau/Texturdatei.h"

#include "model/Text.h"
#include "persistence/DdsBild.h"
#include "persistence/Plattform.h"
#include "persistence/TgaBild.h"

#ifdef PAVOLANT_MIT_OIIO
#include <OpenImageIO/imageio.h>
#else
#include <QImage>
#include <QImageReader>
#include <QString>
#endif

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <system_error>

namespace pavolant::qt {

namespace fs = std::filesystem;

namespace {

// The first line of a library's message, without a trailing full stop.
std::string Zeile(std::string text) {
    if (const std::size_t ende = text.find_first_of("\r\n"); ende != std::string::npos) text.resize(ende);
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text.empty() ? std::string(Tr("unknown reason")) : text;
}

Texturbild::Stufe Halbiert(const Texturbild::Stufe& s) {
    Texturbild::Stufe h;
    h.Breite = std::max(1, s.Breite / 2);
    h.Hoehe = std::max(1, s.Hoehe / 2);
    h.Rgba.resize(static_cast<std::size_t>(h.Breite) * h.Hoehe * 4);
    auto bei = [&s](int x, int y) {
        return &s.Rgba[(static_cast<std::size_t>(std::min(y, s.Hoehe - 1)) * s.Breite +
                        std::min(x, s.Breite - 1)) *
                       4];
    };
    for (int y = 0; y < h.Hoehe; ++y)
        for (int x = 0; x < h.Breite; ++x)
            for (std::size_t k = 0; k < 4; ++k) {
                const int summe = bei(2 * x, 2 * y)[k] + bei(2 * x + 1, 2 * y)[k] + bei(2 * x, 2 * y + 1)[k] +
                                  bei(2 * x + 1, 2 * y + 1)[k];
                h.Rgba[(static_cast<std::size_t>(y) * h.Breite + x) * 4 + k] =
                    static_cast<std::uint8_t>((summe + 2) / 4);
            }
    return h;
}

bool GroesseZulaessig(int breite, int hoehe) {
    return breite > 0 && hoehe > 0 && breite <= kMaxTexturseite && hoehe <= kMaxTexturseite;
}

std::string Groessenfehler(int breite, int hoehe) {
    return pavolant::Groessenfehler(breite, hoehe, kMaxTexturseite);
}

// DDS and TGA go to our own readers on every system (no image library reads both
// everywhere, and OpenImageIO 2.4 trusts a DDS header to the point of looping for minutes
// or aborting): a DDS by its first four bytes, a TGA, which has no signature, by its name.
enum class Eigenformat { Keins, Dds, Tga };

Eigenformat EigenesFormat(const fs::path& pfad) {
    std::string fehler;
    const std::vector<std::uint8_t> anfang = DateianfangLesen(pfad, 4, fehler);
    if (anfang.size() == 4 && std::memcmp(anfang.data(), "DDS ", 4) == 0) return Eigenformat::Dds;
    std::string endung = Utf8(pfad.extension());
    for (char& c : endung) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return endung == ".tga" ? Eigenformat::Tga : Eigenformat::Keins;
}

// Through our own reader: the file's levels (a consistent chain by construction), drawn
// opaque.
std::string EigenLesen(const fs::path& pfad, Eigenformat format, Texturbild& bild) {
    Rasterbild gelesen =
        format == Eigenformat::Dds ? DdsLesen(pfad, kMaxTexturseite) : TgaLesen(pfad, kMaxTexturseite);
    if (!gelesen.Fehler.empty()) return gelesen.Fehler;
    for (Rasterstufe& s : gelesen.Stufen) {
        for (std::size_t i = 3; i < s.Rgba.size(); i += 4) s.Rgba[i] = 255;
        bild.Stufen.push_back({s.Breite, s.Hoehe, std::move(s.Rgba)});
    }
    return {};
}

#ifdef PAVOLANT_MIT_OIIO

// `kanaele` interleaved 8-bit channels to RGBA, opaque.
std::vector<std::uint8_t> AlsRgba(const std::vector<std::uint8_t>& quelle, std::size_t pixel, int kanaele,
                                  bool grauMitAlpha) {
    std::vector<std::uint8_t> rgba(pixel * 4);
    const auto k = static_cast<std::size_t>(kanaele);
    for (std::size_t i = 0; i < pixel; ++i) {
        const std::uint8_t* q = &quelle[i * k];
        std::uint8_t* z = &rgba[i * 4];
        if (kanaele == 1 || grauMitAlpha) {
            z[0] = z[1] = z[2] = q[0];
        } else {
            z[0] = q[0];
            z[1] = q[1];
            z[2] = kanaele >= 3 ? q[2] : 0;
        }
        z[3] = 255;
    }
    return rgba;
}

// The other formats (PNG, JPEG, ...) through OpenImageIO: the file's levels as far as
// they are consistent, each exactly half the one before (at least 1), as a mipmap chain
// must be. A level that cannot be read ends the chain; the top level must be read.
std::string LevelLesen(const fs::path& pfad, Texturbild& bild) {
    std::unique_ptr<OIIO::ImageInput> ein = OIIO::ImageInput::open(Utf8(pfad));
    if (!ein) return Zeile(OIIO::geterror());
    for (int m = 0; ein->seek_subimage(0, m); ++m) {
        const OIIO::ImageSpec& stufe = ein->spec();
        if (m == 0 && !GroesseZulaessig(stufe.width, stufe.height))
            return Groessenfehler(stufe.width, stufe.height);
        if (stufe.depth > 1 || stufe.nchannels < 1)
            return m == 0 ? std::string(Tr("not a flat picture")) : std::string();
        if (m > 0) {
            const Texturbild::Stufe& vorige = bild.Stufen.back();
            if (stufe.width != std::max(1, vorige.Breite / 2) ||
                stufe.height != std::max(1, vorige.Hoehe / 2))
                break;
        }
        const int kanaele = std::min(stufe.nchannels, 4);
        const std::size_t pixel =
            static_cast<std::size_t>(stufe.width) * static_cast<std::size_t>(stufe.height);
        std::vector<std::uint8_t> puffer(pixel * static_cast<std::size_t>(kanaele));
        if (!ein->read_image(0, m, 0, kanaele, OIIO::TypeDesc::UINT8, puffer.data())) {
            if (m == 0) return Zeile(ein->geterror());
            break;
        }
        const bool grauMitAlpha = kanaele == 2 && stufe.alpha_channel == 1;
        bild.Stufen.push_back({stufe.width, stufe.height, AlsRgba(puffer, pixel, kanaele, grauMitAlpha)});
        if (stufe.width == 1 && stufe.height == 1) break;
    }
    if (bild.Stufen.empty()) return Zeile(ein->geterror());
    return {};
}

#else

// Without OpenImageIO: the other formats (PNG, JPEG, ...) through Qt's own readers, the
// top level only.
std::string LevelLesen(const fs::path& pfad, Texturbild& bild) {
    QImageReader leser(QString::fromStdString(Utf8(pfad)));
    const QSize groesse = leser.size();
    if (groesse.isValid() && !GroesseZulaessig(groesse.width(), groesse.height()))
        return Groessenfehler(groesse.width(), groesse.height());
    QImage q = leser.read();
    if (q.isNull()) return leser.errorString().toStdString();
    if (!GroesseZulaessig(q.width(), q.height())) return Groessenfehler(q.width(), q.height());
    q = q.convertToFormat(QImage::Format_RGBX8888);
    Texturbild::Stufe s{q.width(), q.height(), {}};
    s.Rgba.resize(static_cast<std::size_t>(q.width()) * q.height() * 4);
    for (int y = 0; y < q.height(); ++y)
        std::copy_n(q.constScanLine(y), static_cast<std::size_t>(q.width()) * 4,
                    &s.Rgba[static_cast<std::size_t>(y) * q.width() * 4]);
    bild.Stufen.push_back(std::move(s));
    return {};
}

#endif

}  // namespace

std::size_t Texturbild::Bytes() const {
    std::size_t n = 0;
    for (const Stufe& s : Stufen) n += s.Rgba.size();
    return n;
}

Texturladung TexturLesen(const fs::path& pfad) {
    Texturladung l;
    std::error_code ec;
    // A FIFO or a device would make the reader wait or read forever.
    if (!fs::is_regular_file(pfad, ec)) {
        l.Fehler = ec ? Zeile(ec.message()) : Tr("not a regular file");
        return l;
    }
    try {
        auto bild = std::make_shared<Texturbild>();
        const Eigenformat format = EigenesFormat(pfad);
        l.Fehler = format == Eigenformat::Keins ? LevelLesen(pfad, *bild) : EigenLesen(pfad, format, *bild);
        if (!l.Fehler.empty()) return l;
        bild->StufenAusDatei = static_cast<int>(bild->Stufen.size());
        // The chain down to 1 x 1, so that every size on screen has its level.
        while (bild->Stufen.back().Breite > 1 || bild->Stufen.back().Hoehe > 1)
            bild->Stufen.push_back(Halbiert(bild->Stufen.back()));
        l.Bild = std::move(bild);
    } catch (const std::bad_alloc&) {
        l.Fehler = Tr("not enough memory for it");
    } catch (const std::exception& e) {
        l.Fehler = Zeile(e.what());
    }
    if (!l.Fehler.empty()) l.Bild.reset();
    return l;
}

std::optional<fs::path> TexturSuchen(const std::string& name, const std::string& dokument,
                                     const std::string& ordner) {
    if (name.empty()) return std::nullopt;
    const fs::path datei = PfadAusUtf8(name);
    std::vector<fs::path> orte;
    if (!dokument.empty()) orte.push_back(PfadAusUtf8(dokument).parent_path() / datei);
    if (!ordner.empty()) orte.push_back(PfadAusUtf8(ordner) / datei);
    for (const fs::path& p : orte) {
        std::error_code ec;
        if (fs::is_regular_file(p, ec)) return p;
    }
    return std::nullopt;
}

Texturlager::Ergebnis Texturlager::Laden(const std::array<std::string, 4>& namen, const std::string& dokument,
                                         const std::string& ordner) {
    Ergebnis e;
    std::map<fs::path, Eintrag> behalten;
    for (std::size_t t = 0; t < namen.size(); ++t) {
        const std::string& name = namen[t];
        if (name.empty()) continue;
        const std::optional<fs::path> pfad = TexturSuchen(name, dokument, ordner);
        if (!pfad) {
            e.Hinweise.push_back(
                ordner.empty()
                    ? Einsetzen(Tr("texture %1 not found beside the document"), {name})
                    : Einsetzen(Tr("texture %1 not found beside the document or in %2"), {name, ordner}));
            continue;
        }
        std::error_code ec, ecZeit, ecGroesse;
        fs::path schluessel = fs::absolute(*pfad, ec);
        if (ec) schluessel = *pfad;
        const auto zeit = fs::last_write_time(*pfad, ecZeit);
        const std::uintmax_t groesse = fs::file_size(*pfad, ecGroesse);
        const bool bekannt = !ecZeit && !ecGroesse;  // else it is read again every time
        Eintrag eintrag;
        if (auto alt = behalten.find(schluessel); alt != behalten.end()) {
            e.Bilder[t] = alt->second.Ladung.Bild;  // two parts with the same file: one note
            continue;
        }
        if (auto frueher = eintraege_.find(schluessel); bekannt && frueher != eintraege_.end() &&
                                                        frueher->second.Zeit == zeit &&
                                                        frueher->second.Groesse == groesse)
            eintrag = frueher->second;
        else
            eintrag = {bekannt ? zeit : fs::file_time_type::min(),
                       bekannt ? groesse : static_cast<std::uintmax_t>(-1), TexturLesen(*pfad)};
        if (!eintrag.Ladung.Bild)
            e.Hinweise.push_back(
                Einsetzen(Tr("texture %1 cannot be read: %2"), {Utf8(*pfad), eintrag.Ladung.Fehler}));
        e.Bilder[t] = eintrag.Ladung.Bild;
        behalten[schluessel] = std::move(eintrag);
    }
    eintraege_ = std::move(behalten);
    return e;
}

}  // namespace pavolant::qt
