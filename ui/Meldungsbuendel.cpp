#include "ui/Meldungsbuendel.h"

#include "model/Text.h"

namespace pavolant {

std::string Meldungsbuendel::Art(const std::string& text) {
    std::string art;
    art.reserve(text.size());
    bool inZahl = false;
    for (const char c : text) {
        const bool ziffer = c >= '0' && c <= '9';
        if (!ziffer)
            art += c;
        else if (!inZahl)
            art += '#';
        inZahl = ziffer;
    }
    return art;
}

std::string Meldungsbuendel::Weitere(std::size_t anzahl, const std::string& erste) {
    // Catalog: %1 is the number of messages not shown, %2 the first message of their kind.
    return Einsetzen(TrN("%1 weitere Meldung wie \"%2\" wurde nicht angezeigt.",
                         "%1 weitere Meldungen wie \"%2\" wurden nicht angezeigt.", anzahl),
                     {std::to_string(anzahl), erste});
}

void Meldungsbuendel::Melden(MeldungsArt art, const std::string& text) {
    if (tiefe_ == 0) {
        ziel_.Melden(art, text);
        return;
    }
    const auto [stelle, neu] = index_.try_emplace(Art(text), sorten_.size());
    if (neu) sorten_.push_back({art, text, 0, {}});
    Sorte& sorte = sorten_[stelle->second];
    const std::size_t nummer = ++sorte.anzahl;
    if (nummer > static_cast<std::size_t>(kHoechstens)) return;
    if (JedeMeldungEinBox() && nummer > 1)
        sorte.gehalten.push_back(text);
    else
        ziel_.Melden(art, text);
}

void Meldungsbuendel::Beenden() {
    if (tiefe_ == 0 || --tiefe_ > 0 || sorten_.empty()) return;
    // Taken out first: the target may start an event of its own while it shows them.
    std::vector<Sorte> sorten = std::move(sorten_);
    sorten_.clear();
    index_.clear();
    const auto weitere = [](const Sorte& s) {
        return s.anzahl > static_cast<std::size_t>(kHoechstens) ? s.anzahl - kHoechstens : 0;
    };
    if (!JedeMeldungEinBox()) {
        for (const Sorte& s : sorten)
            if (weitere(s) > 0) ziel_.Melden(MeldungsArt::Information, Weitere(weitere(s), s.erste));
        return;
    }
    std::string box;
    MeldungsArt art = MeldungsArt::Information;
    for (const Sorte& s : sorten) {
        if (s.gehalten.empty()) continue;
        if (s.art == MeldungsArt::Warnung) art = MeldungsArt::Warnung;
        for (const std::string& text : s.gehalten) box += (box.empty() ? "" : "\r") + text;
        if (weitere(s) > 0) box += "\r" + Weitere(weitere(s), s.erste);
    }
    if (!box.empty()) ziel_.Melden(art, box);
}

}  // namespace pavolant
