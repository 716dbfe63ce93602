#include "model/Text.h"

namespace pavolant {

namespace {
Uebersetzer gUebersetzer;
}

void UebersetzerSetzen(const Uebersetzer& uebersetzer) { gUebersetzer = uebersetzer; }

bool UebersetzerAktiv() { return gUebersetzer.Text != nullptr; }

const char* Tr(const char* id) {
    if (gUebersetzer.Text == nullptr || id == nullptr || *id == '\0')
        return id;  // "" is the catalog's header
    const char* text = gUebersetzer.Text(id);
    return text != nullptr ? text : id;
}

const char* TrN(const char* einzahl, const char* mehrzahl, unsigned long n) {
    if (gUebersetzer.Mehrzahl != nullptr) {
        const char* text = gUebersetzer.Mehrzahl(einzahl, mehrzahl, n);
        if (text != nullptr) return text;
    }
    return n == 1 ? einzahl : mehrzahl;
}

std::string Einsetzen(std::string_view muster, std::initializer_list<std::string_view> werte) {
    std::string text;
    text.reserve(muster.size() + 16 * werte.size());
    for (std::size_t i = 0; i < muster.size(); ++i) {
        const char c = muster[i];
        if (c == '%' && i + 1 < muster.size()) {
            const char weiter = muster[i + 1];
            if (weiter == '%') {
                text += '%';
                ++i;
                continue;
            }
            if (weiter >= '1' && weiter <= '9') {
                const auto nummer = static_cast<std::size_t>(weiter - '1');
                if (nummer < werte.size()) {
                    text += *(werte.begin() + nummer);
                    ++i;
                    continue;
                }
            }
        }
        text += c;
    }
    return text;
}

}  // namespace pavolant
