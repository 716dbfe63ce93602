// The INI engine on arbitrary bytes. Whatever the file holds, reading must not fail
// (numbers may throw KonvertierungsFehler, an encoding or a line the engine refuses IniFehler,
// nothing else), writing must not corrupt it:
// the saved bytes read back give every value that was written, every value that was
// there, and the same bytes again when saved once more.
#include "model/Zahlen.h"
#include "persistence/IniDatei.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using pavolant::IniDatei;

// Stops the run with the line of the failed check, so a crash report says what broke.
void Pruefen(bool bedingung, int zeile = __builtin_LINE()) {
    if (bedingung) return;
    std::fprintf(stderr, "fuzz_ini: check in line %d failed\n", zeile);
    std::abort();
}

// Independent of the engine's own check, so a fault there cannot hide itself.
bool IstUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        char32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i < n) return false;
        for (std::size_t k = 1; k < n; ++k) {
            const auto f = static_cast<unsigned char>(s[i + k]);
            if ((f & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (f & 0x3F);
        }
        const char32_t minimum = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n;
    }
    return true;
}

// Names as the engine matches them: blanks around them do not count, ASCII letters
// match either case.
bool GleicherName(std::string_view a, std::string_view b) {
    const auto trimmen = [](std::string_view s) {
        const auto anfang = s.find_first_not_of(" \t\r");
        if (anfang == std::string_view::npos) return std::string_view{};
        return s.substr(anfang, s.find_last_not_of(" \t\r") - anfang + 1);
    };
    a = trimmen(a);
    b = trimmen(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto klein = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (klein(a[i]) != klein(b[i])) return false;
    }
    return true;
}

// Characters of a well-formed UTF-8 text: every byte but the continuation bytes.
std::size_t Zeichen(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The value LiesString must give for a well-formed UTF-8 text written with SchreibeString
// (quotes of its own included: writing protects them).
std::string Erwartet(std::string_view geschrieben) {
    std::string s(geschrieben);
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    const auto anfang = s.find_first_not_of(" \t");
    if (anfang == std::string::npos) return {};
    s = s.substr(anfang, s.find_last_not_of(" \t") - anfang + 1);
    // Cut before the first byte of character kMaxWertLaenge + 1.
    std::size_t zeichen = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (++zeichen > IniDatei::kMaxWertLaenge) {
            s.resize(i);
            break;
        }
    }
    return s;
}

// Takes bytes from the front of the input for the decisions of one run.
class Vorrat {
public:
    explicit Vorrat(std::string_view daten) : rest_(daten) {}
    std::string_view Stueck(std::size_t max) {
        if (rest_.empty()) return {};
        const std::size_t n =
            std::min<std::size_t>(static_cast<unsigned char>(rest_[0]) % (max + 1), rest_.size() - 1);
        const std::string_view stueck = rest_.substr(1, n);
        rest_.remove_prefix(n + 1);
        return stueck;
    }
    template <typename T>
    T Wert() {
        T wert{};
        const std::size_t n = std::min(sizeof wert, rest_.size());
        if (n > 0) std::memcpy(&wert, rest_.data(), n);
        rest_.remove_prefix(n);
        return wert;
    }

private:
    std::string_view rest_;
};

struct Ergebnis {
    std::string text;
    int ganz;
    bool wahr;
    std::optional<double> zahl;
    bool operator==(const Ergebnis& b) const {
        // Compared bit for bit: NaN cannot come out of ZahlAusText, -0 must stay -0.
        const bool zahlGleich = zahl.has_value() == b.zahl.has_value() &&
                                (!zahl || std::memcmp(&*zahl, &*b.zahl, sizeof(double)) == 0);
        return text == b.text && ganz == b.ganz && wahr == b.wahr && zahlGleich;
    }
};

Ergebnis Lesen(const IniDatei& ini, std::string_view sektion, std::string_view schluessel) {
    Ergebnis e;
    e.text = ini.LiesString(sektion, schluessel, "\x01vorgabe");
    Pruefen(Zeichen(e.text) <= IniDatei::kMaxWertLaenge);
    Pruefen(IstUtf8(e.text));
    e.ganz = ini.LiesInteger(sektion, schluessel, -7);
    e.wahr = ini.LiesBool(sektion, schluessel, true);
    try {
        e.zahl = ini.LiesZahl(sektion, schluessel, "0,5");
        Pruefen(std::isfinite(*e.zahl));
    } catch (const pavolant::KonvertierungsFehler&) {
    }
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string_view eingabe(reinterpret_cast<const char*>(daten), groesse);
    pavolant::SetzeDezimaltrenner(groesse % 2 == 0 ? ',' : '.');

    std::optional<IniDatei> gelesen;
    try {
        gelesen.emplace(IniDatei::AusText(eingabe));
    } catch (const pavolant::IniFehler& f) {
        // Only encodings the engine refuses (UTF-32, UTF-16 without byte order mark), and
        // it says which, or lines it cannot tell the meaning of, and it says which line.
        const std::string_view text = f.what();
        Pruefen(text.find("UTF-32") != std::string_view::npos ||
                text.find("UTF-16") != std::string_view::npos ||
                text.find(": Zeile ") != std::string_view::npos);
        return 0;
    }
    auto& ini = *gelesen;
    // A file read and written unchanged reads back the same.
    Pruefen(IniDatei::AusText(ini.Inhalt()).Inhalt() == ini.Inhalt());

    // Names: some fixed, some from the input (which may hold the file's own names).
    Vorrat vorrat(eingabe);
    std::vector<std::string> sektionen = {"", "S", "s", "Strasse", "A"};
    std::vector<std::string> schluessel = {"", "k", "K", "Breite", "x"};
    for (int i = 0; i < 3; ++i) {
        sektionen.emplace_back(vorrat.Stueck(12));
        schluessel.emplace_back(vorrat.Stueck(12));
    }

    std::vector<Ergebnis> vorher;
    for (const auto& s : sektionen) {
        (void)ini.SektionVorhanden(s);
        for (const auto& k : schluessel) vorher.push_back(Lesen(ini, s, k));
    }

    struct Geschrieben {
        std::string sektion, schluessel, wert;
    };
    std::vector<Geschrieben> geschrieben;
    for (int i = 0; i < 4; ++i) {
        const std::string s = i % 2 == 0 ? sektionen[static_cast<std::size_t>(5 + i / 2)] : sektionen[1];
        const std::string k = schluessel[static_cast<std::size_t>(i < 2 ? 5 + i : 1 + i)];
        const std::string wert(vorrat.Stueck(i == 3 ? 255 : 40));
        const std::string davor = ini.Inhalt();
        try {
            ini.SchreibeString(s, k, wert);
            geschrieben.push_back({s, k, wert});
        } catch (const std::invalid_argument&) {
            // A name that could not be read back is refused, and the file left as it was.
            Pruefen(ini.Inhalt() == davor);
        }
    }
    const int ganz = vorrat.Wert<int>();
    ini.SchreibeInteger("Typen", "ganz", ganz);
    ini.SchreibeBool("typen", "wahr", ganz % 3 == 0);
    const double zahl = vorrat.Wert<double>();
    ini.SchreibeZahl("TYPEN", "zahl", zahl);
    std::vector<Geschrieben> alleGeschriebenen = geschrieben;
    for (const char* k : {"ganz", "wahr", "zahl"}) alleGeschriebenen.push_back({"Typen", k, ""});
    const auto beschrieben = [&](std::string_view s, std::string_view k, std::size_t ab) {
        for (std::size_t j = ab; j < alleGeschriebenen.size(); ++j)
            if (GleicherName(alleGeschriebenen[j].sektion, s) &&
                GleicherName(alleGeschriebenen[j].schluessel, k))
                return true;
        return false;
    };

    const std::string inhalt = ini.Inhalt();
    const auto zurueck = IniDatei::AusText(inhalt);
    Pruefen(zurueck.Inhalt() == inhalt);

    for (std::size_t j = 0; j < geschrieben.size(); ++j) {
        const auto& g = geschrieben[j];
        const std::string gelesen = zurueck.LiesString(g.sektion, g.schluessel, "\x01vorgabe");
        Pruefen(gelesen == ini.LiesString(g.sektion, g.schluessel, "\x01vorgabe"));
        // Unless a later write went to the same key, the value is the one written.
        if (!beschrieben(g.sektion, g.schluessel, j + 1) && IstUtf8(g.wert))
            Pruefen(gelesen == Erwartet(g.wert));
    }
    Pruefen(zurueck.LiesInteger("typen", "GANZ", ganz == 0 ? 1 : 0) == ganz);
    Pruefen(zurueck.LiesBool("Typen", "Wahr", ganz % 3 != 0) == (ganz % 3 == 0));
    try {
        const double gelesen = zurueck.LiesZahl("Typen", "zahl", "x");
        Pruefen(std::isfinite(zahl));
        Pruefen(std::fabs(gelesen - zahl) <= std::fabs(zahl) * 5e-15 + 5e-324);
    } catch (const pavolant::KonvertierungsFehler&) {
        // "NAN" and "INF" must fail loudly; finite numbers are the number module's matter.
    }

    // Every key looked up before reads the same from the saved bytes as from memory.
    std::size_t i = 0;
    for (const auto& s : sektionen) {
        Pruefen(zurueck.SektionVorhanden(s) == ini.SektionVorhanden(s));
        for (const auto& k : schluessel) {
            const Ergebnis jetzt = Lesen(ini, s, k);
            Pruefen(Lesen(zurueck, s, k) == jetzt);
            // Keys nobody wrote to keep their value.
            if (!beschrieben(s, k, 0)) Pruefen(jetzt == vorher[i]);
            ++i;
        }
    }
    return 0;
}
