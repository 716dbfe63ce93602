#include "persistence/Katalog.h"

#include <cstring>

namespace pavolant {

namespace {
constexpr std::uint32_t kMagie = 0x950412deu;

std::uint32_t Getauscht(std::uint32_t w) {
    return (w >> 24) | ((w >> 8) & 0xff00u) | ((w << 8) & 0xff0000u) | (w << 24);
}
}  // namespace

std::uint32_t Katalog::Wort(std::size_t stelle) const {
    std::uint32_t w = 0;
    for (int i = 3; i >= 0; --i)
        w = (w << 8) | static_cast<unsigned char>(bytes_[stelle + static_cast<std::size_t>(i)]);
    return getauscht_ ? Getauscht(w) : w;
}

const char* Katalog::Eintrag(std::uint32_t tabelle, std::uint32_t k, std::uint32_t* laenge) const {
    const std::size_t stelle = tabelle + 8u * static_cast<std::size_t>(k);
    if (laenge != nullptr) *laenge = Wort(stelle);
    return bytes_.data() + Wort(stelle + 4);
}

std::optional<Katalog> Katalog::AusBytes(std::string bytes) {
    Katalog k;
    k.bytes_ = std::move(bytes);
    const std::size_t groesse = k.bytes_.size();
    if (groesse < 20) return std::nullopt;
    const std::uint32_t magie = k.Wort(0);
    if (magie != kMagie) {
        if (Getauscht(magie) != kMagie) return std::nullopt;
        k.getauscht_ = true;
    }
    if ((k.Wort(4) >> 16) > 1) return std::nullopt;  // a major revision this reader does not know
    k.anzahl_ = k.Wort(8);
    k.originale_ = k.Wort(12);
    k.uebersetzungen_ = k.Wort(16);
    const std::uint64_t tabelle = 8ull * k.anzahl_;
    if (k.originale_ + tabelle > groesse || k.uebersetzungen_ + tabelle > groesse) return std::nullopt;
    for (const std::uint32_t t : {k.originale_, k.uebersetzungen_}) {
        for (std::uint32_t i = 0; i < k.anzahl_; ++i) {
            const std::size_t stelle = t + 8u * static_cast<std::size_t>(i);
            const std::uint64_t laenge = k.Wort(stelle), anfang = k.Wort(stelle + 4);
            if (anfang + laenge >= groesse || k.bytes_[anfang + laenge] != '\0') return std::nullopt;
        }
    }
    return k;
}

std::optional<std::uint32_t> Katalog::Suchen(const char* id) const {
    std::uint32_t unten = 0, oben = anzahl_;
    while (unten < oben) {
        const std::uint32_t mitte = unten + (oben - unten) / 2;
        // Compared up to the first NUL: a plural entry's id is "singular\0plural".
        const int vergleich = std::strcmp(id, Eintrag(originale_, mitte));
        if (vergleich == 0) return mitte;
        if (vergleich < 0)
            oben = mitte;
        else
            unten = mitte + 1;
    }
    return std::nullopt;
}

const char* Katalog::Text(const char* id) const {
    if (id == nullptr || *id == '\0') return nullptr;  // "" is the catalog's header
    const std::optional<std::uint32_t> k = Suchen(id);
    if (!k) return nullptr;
    std::uint32_t laenge = 0;
    const char* text = Eintrag(uebersetzungen_, *k, &laenge);
    return laenge > 0 ? text : nullptr;
}

const char* Katalog::Mehrzahl(const char* einzahl, unsigned long n) const {
    if (einzahl == nullptr || *einzahl == '\0') return nullptr;
    const std::optional<std::uint32_t> k = Suchen(einzahl);
    if (!k) return nullptr;
    std::uint32_t laenge = 0;
    const char* form = Eintrag(uebersetzungen_, *k, &laenge);
    if (laenge == 0) return nullptr;
    if (n == 1) return form;
    // The second form follows the first's NUL, inside the translation's length.
    const std::size_t erste = std::strlen(form);
    return erste < laenge ? form + erste + 1 : form;
}

}  // namespace pavolant
