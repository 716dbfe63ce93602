#include "persistence/IniDatei.h"

#include "persistence/ErsetzendeDatei.h"
#include "model/Zahlen.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <random>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavolant {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kBomAlsCp1252 = "\xC3\xAF\xC2\xBB\xC2\xBF";  // "ï»¿" in UTF-8
// Trimmed around names and values. '\r' is included because a line that ended in
// "\r\r\n" keeps one '\r' and must read the same after it is written back.
constexpr std::string_view kLeerraum = " \t\r";

std::string_view Getrimmt(std::string_view s) {
    const auto anfang = s.find_first_not_of(kLeerraum);
    if (anfang == std::string_view::npos) return {};
    const auto ende = s.find_last_not_of(kLeerraum);
    return s.substr(anfang, ende - anfang + 1);
}

char Klein(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Kleingeschrieben(std::string_view s) {
    std::string ergebnis(s);
    for (char& c : ergebnis) c = Klein(c);
    return ergebnis;
}

bool GleichOhneGrossKlein(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Klein(a[i]) != Klein(b[i])) return false;
    return true;
}

// ---- UTF-8 -------------------------------------------------------------------------

// Length of the well-formed UTF-8 sequence starting at s[i], 0 when there is none
// (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::size_t Utf8SequenzLaenge(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) return 1;
    std::size_t laenge = 0;
    unsigned char min = 0x80, max = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        laenge = 2;
    } else if (c == 0xE0) {
        laenge = 3;
        min = 0xA0;
    } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
        laenge = 3;
    } else if (c == 0xED) {
        laenge = 3;
        max = 0x9F;
    } else if (c == 0xF0) {
        laenge = 4;
        min = 0x90;
    } else if (c >= 0xF1 && c <= 0xF3) {
        laenge = 4;
    } else if (c == 0xF4) {
        laenge = 4;
        max = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - i < laenge) return 0;
    const auto zweites = static_cast<unsigned char>(s[i + 1]);
    if (zweites < min || zweites > max) return 0;
    for (std::size_t k = 2; k < laenge; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return laenge;
}

bool IstUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = Utf8SequenzLaenge(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void Utf8Anhaengen(std::string& ziel, char32_t cp) {
    if (cp < 0x80) {
        ziel += static_cast<char>(cp);
    } else if (cp < 0x800) {
        ziel += static_cast<char>(0xC0 | (cp >> 6));
        ziel += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        ziel += static_cast<char>(0xE0 | (cp >> 12));
        ziel += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        ziel += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        ziel += static_cast<char>(0xF0 | (cp >> 18));
        ziel += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        ziel += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        ziel += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point of a well-formed sequence of length n at s[i].
char32_t Utf8Dekodieren(std::string_view s, std::size_t i, std::size_t n) {
    const auto b = [&](std::size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[i + k])); };
    switch (n) {
        case 1: return b(0);
        case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    }
}

// Texts handed in by callers are meant to be UTF-8; a byte that is not part of a
// well-formed sequence becomes U+FFFD so that the file stays readable.
std::string Utf8Bereinigt(std::string_view s) {
    std::string ergebnis;
    ergebnis.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = Utf8SequenzLaenge(s, i);
        if (n == 0) {
            ergebnis += "\xEF\xBF\xBD";
            ++i;
        } else {
            ergebnis.append(s.substr(i, n));
            i += n;
        }
    }
    return ergebnis;
}

// ---- Windows-1252 ------------------------------------------------------------------

// Code points of the bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined map
// to the C1 control of the same number, so every byte sequence survives a round trip.
constexpr std::array<char32_t, 32> kCp1252Hoch = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

std::string AusCp1252(std::string_view bytes) {
    std::string ergebnis;
    ergebnis.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        Utf8Anhaengen(ergebnis, (b >= 0x80 && b <= 0x9F) ? kCp1252Hoch[b - 0x80] : char32_t{b});
    }
    return ergebnis;
}

// Appends the Windows-1252 form of a well-formed UTF-8 text; false (with `ziel` partly
// written) when a character has no Windows-1252 byte.
bool NachCp1252Anhaengen(std::string_view utf8, std::string& ziel) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = Utf8SequenzLaenge(utf8, i);
        if (n == 0) return false;
        const char32_t cp = Utf8Dekodieren(utf8, i, n);
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            ziel += static_cast<char>(cp);
            continue;
        }
        std::size_t k = 0;
        while (k < kCp1252Hoch.size() && kCp1252Hoch[k] != cp) ++k;
        if (k == kCp1252Hoch.size()) return false;
        ziel += static_cast<char>(0x80 + k);
    }
    return true;
}

bool InCp1252Darstellbar(std::string_view utf8) {
    std::string verworfen;
    return NachCp1252Anhaengen(utf8, verworfen);
}

// ---- Lines -------------------------------------------------------------------------

// The section name when the line is a section header: its trimmed text starts with '['
// and contains ']'; the name is the trimmed text up to the first ']'.
std::optional<std::string_view> SektionsName(std::string_view zeile) {
    const std::string_view t = Getrimmt(zeile);
    if (t.empty() || t.front() != '[') return std::nullopt;
    const auto zu = t.find(']');
    if (zu == std::string_view::npos) return std::nullopt;
    return Getrimmt(t.substr(1, zu - 1));
}

struct Eintrag {
    std::string_view schluessel;
    std::string_view wert;
};

// Key and value of a line inside a section that is not its header. Comments (';' as
// the first non-blank character) are never keys; a line without '=' is none either.
std::optional<Eintrag> AlsEintrag(std::string_view zeile) {
    const std::string_view t = Getrimmt(zeile);
    if (t.empty() || t.front() == ';') return std::nullopt;
    const auto gleich = t.find('=');
    if (gleich == std::string_view::npos) return std::nullopt;
    return Eintrag{Getrimmt(t.substr(0, gleich)), Getrimmt(t.substr(gleich + 1))};
}

// Decimal or "0x" hexadecimal with an optional sign, within the int range.
std::optional<int> GanzzahlLesen(std::string_view s) {
    s = Getrimmt(s);
    bool negativ = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negativ = s.front() == '-';
        s.remove_prefix(1);
    }
    int basis = 10;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        basis = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return std::nullopt;
    const std::int64_t grenze = negativ ? 2147483648LL : 2147483647LL;
    std::int64_t betrag = 0;
    for (const char c : s) {
        int ziffer;
        if (c >= '0' && c <= '9') ziffer = c - '0';
        else if (basis == 16 && c >= 'a' && c <= 'f') ziffer = c - 'a' + 10;
        else if (basis == 16 && c >= 'A' && c <= 'F') ziffer = c - 'A' + 10;
        else return std::nullopt;
        betrag = betrag * basis + ziffer;
        if (betrag > grenze) return std::nullopt;
    }
    return static_cast<int>(negativ ? -betrag : betrag);
}

}  // namespace

// ---- Reading -----------------------------------------------------------------------

IniDatei::IniDatei(std::filesystem::path pfad) : pfad_(std::move(pfad)) {
    const std::string fehler = "Die Datei " + pfad_.string() + " kann nicht gelesen werden";
    // O_NONBLOCK so that a FIFO at the path cannot hang the program; it is rejected
    // below like every other file that is not a regular one.
    const int fd = ::open(pfad_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return;  // missing: an empty file
        throw IniFehler(fehler);
    }
    std::string bytes;
    bool gelesen = false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(st.st_size));
        char puffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, puffer, sizeof puffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) break;
            if (n == 0) {
                gelesen = true;
                break;
            }
            bytes.append(puffer, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    if (!gelesen) throw IniFehler(fehler);
    vorhanden_ = true;
    Einlesen(bytes);
}

IniDatei IniDatei::AusText(std::string_view inhalt, std::filesystem::path pfad) {
    IniDatei datei;
    datei.pfad_ = std::move(pfad);
    datei.vorhanden_ = true;
    datei.Einlesen(inhalt);
    return datei;
}

void IniDatei::Einlesen(std::string_view bytes) {
    std::string umgewandelt;
    std::string_view text;
    if (IstUtf8(bytes)) {
        kodierung_ = bytes.starts_with(kBom) ? Kodierung::Utf8MitBom : Kodierung::Utf8;
        text = bytes.substr(kodierung_ == Kodierung::Utf8MitBom ? kBom.size() : 0);
    } else {
        kodierung_ = Kodierung::Windows1252;
        umgewandelt = AusCp1252(bytes);
        text = umgewandelt;
    }

    // The first line end decides; a file without any keeps the default of new files.
    const auto erstesLf = text.find('\n');
    crlf_ = erstesLf == std::string_view::npos || (erstesLf > 0 && text[erstesLf - 1] == '\r');

    abschnitte_.assign(1, Abschnitt{});
    sektionen_.clear();
    bool ersteZeile = true;
    while (!text.empty()) {
        const auto lf = text.find('\n');
        std::string_view zeile = text.substr(0, lf);
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
        // One '\r' belongs to a CR LF line end. A file written with LF gets back every
        // line with a bare LF, so there all of them go: kept, "x\r\r\n" would be written
        // as "x\r\n" and read as "x" by the next load, and every save would change it.
        if (zeile.ends_with('\r')) zeile.remove_suffix(1);
        while (!crlf_ && zeile.ends_with('\r')) zeile.remove_suffix(1);
        // A UTF-8 file that picked up a byte of another encoding is read as Windows-1252,
        // and its BOM becomes the text "ï»¿". It stays in the line (and so in the file)
        // but must not hide the header of the first section.
        std::string_view kopf = zeile;
        if (ersteZeile && kopf.starts_with(kBomAlsCp1252)) kopf.remove_prefix(kBomAlsCp1252.size());
        ersteZeile = false;
        if (const auto name = SektionsName(kopf)) {
            abschnitte_.emplace_back();
            // The first occurrence of a name is the one read and written.
            sektionen_.try_emplace(Kleingeschrieben(*name), abschnitte_.size() - 1);
        }
        abschnitte_.back().zeilen.emplace_back(zeile);
    }
}

std::optional<std::string_view> IniDatei::Wert(std::string_view sektion, std::string_view schluessel) const {
    const auto it = sektionen_.find(Kleingeschrieben(Getrimmt(sektion)));
    if (it == sektionen_.end()) return std::nullopt;
    schluessel = Getrimmt(schluessel);
    const auto& zeilen = abschnitte_[it->second].zeilen;
    for (std::size_t i = 1; i < zeilen.size(); ++i) {
        const auto eintrag = AlsEintrag(zeilen[i]);
        if (eintrag && GleichOhneGrossKlein(eintrag->schluessel, schluessel)) return eintrag->wert;
    }
    return std::nullopt;
}

bool IniDatei::SektionVorhanden(std::string_view sektion) const {
    return sektionen_.contains(Kleingeschrieben(Getrimmt(sektion)));
}

std::string IniDatei::LiesString(std::string_view sektion, std::string_view schluessel,
                                 std::string_view vorgabe) const {
    const auto wert = Wert(sektion, schluessel);
    if (!wert) return std::string(vorgabe);
    std::size_t laenge = wert->size();
    if (laenge > kMaxWertLaenge) {
        // Values are well-formed UTF-8, so backing up over continuation bytes lands on
        // the start of a character.
        laenge = kMaxWertLaenge;
        while (laenge > 0 && (static_cast<unsigned char>((*wert)[laenge]) & 0xC0) == 0x80) --laenge;
    }
    return std::string(wert->substr(0, laenge));
}

// Integers and numbers are converted from the whole value: cutting a longer text first
// could turn it into a different number.
int IniDatei::LiesInteger(std::string_view sektion, std::string_view schluessel, int vorgabe) const {
    const auto wert = Wert(sektion, schluessel);
    if (!wert) return vorgabe;
    return GanzzahlLesen(*wert).value_or(vorgabe);
}

bool IniDatei::LiesBool(std::string_view sektion, std::string_view schluessel, bool vorgabe) const {
    return LiesInteger(sektion, schluessel, vorgabe ? 1 : 0) != 0;
}

double IniDatei::LiesZahl(std::string_view sektion, std::string_view schluessel,
                          std::string_view vorgabeText) const {
    const auto wert = Wert(sektion, schluessel);
    return ZahlAusText(wert ? *wert : vorgabeText);
}

double IniDatei::LiesZahl(std::string_view sektion, std::string_view schluessel, double vorgabe) const {
    const auto wert = Wert(sektion, schluessel);
    return wert ? ZahlAusText(*wert) : vorgabe;
}

// ---- Writing -----------------------------------------------------------------------

void IniDatei::SchreibeString(std::string_view sektion, std::string_view schluessel, std::string_view wert) {
    sektion = Getrimmt(sektion);
    schluessel = Getrimmt(schluessel);
    // Names come from the program, not from the user. One that would read back as
    // something else (a comment, a header, a different key) is a programming error;
    // writing it anyway would silently lose the value.
    if (!IstUtf8(sektion) || sektion.find_first_of("]\r\n") != std::string_view::npos)
        throw std::invalid_argument("Ungültiger Sektionsname für eine INI-Datei: '" + std::string(sektion) + "'");
    if (!IstUtf8(schluessel) || schluessel.find_first_of("=\r\n") != std::string_view::npos ||
        schluessel.starts_with(';') || schluessel.starts_with('['))
        throw std::invalid_argument("Ungültiger Schlüsselname für eine INI-Datei: '" + std::string(schluessel) +
                                    "'");

    std::string text = Utf8Bereinigt(wert);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';

    const auto merken = [this](const std::string& zeile) {
        if (kodierung_ == Kodierung::Windows1252 && !InCp1252Darstellbar(zeile)) kodierung_ = Kodierung::Utf8;
    };

    const auto it = sektionen_.find(Kleingeschrieben(sektion));
    if (it == sektionen_.end()) {
        Abschnitt neu;
        neu.zeilen.push_back("[" + std::string(sektion) + "]");
        neu.zeilen.push_back(std::string(schluessel) + "=" + text);
        merken(neu.zeilen[0]);
        merken(neu.zeilen[1]);
        abschnitte_.push_back(std::move(neu));
        sektionen_.emplace(Kleingeschrieben(sektion), abschnitte_.size() - 1);
        return;
    }

    auto& zeilen = abschnitte_[it->second].zeilen;
    for (std::size_t i = 1; i < zeilen.size(); ++i) {
        const auto eintrag = AlsEintrag(zeilen[i]);
        if (eintrag && GleichOhneGrossKlein(eintrag->schluessel, schluessel)) {
            // The key keeps the spelling it has in the file.
            std::string neu = std::string(eintrag->schluessel) + "=" + text;
            merken(neu);
            zeilen[i] = std::move(neu);
            return;
        }
    }
    // New keys go after the last non-blank line, so blank lines that separate this
    // section from the next one stay where they are.
    std::size_t stelle = zeilen.size();
    while (stelle > 1 && Getrimmt(zeilen[stelle - 1]).empty()) --stelle;
    std::string neu = std::string(schluessel) + "=" + text;
    merken(neu);
    zeilen.insert(zeilen.begin() + static_cast<std::ptrdiff_t>(stelle), std::move(neu));
}

void IniDatei::SchreibeInteger(std::string_view sektion, std::string_view schluessel, int wert) {
    SchreibeString(sektion, schluessel, std::to_string(wert));
}

void IniDatei::SchreibeBool(std::string_view sektion, std::string_view schluessel, bool wert) {
    SchreibeString(sektion, schluessel, wert ? "1" : "0");
}

void IniDatei::SchreibeZahl(std::string_view sektion, std::string_view schluessel, double wert) {
    SchreibeString(sektion, schluessel, FormatAllgemein(wert));
}

std::string IniDatei::Inhalt() const {
    const std::string_view zeilenende = crlf_ ? "\r\n" : "\n";
    if (kodierung_ == Kodierung::Windows1252) {
        std::string bytes;
        bool darstellbar = true;
        for (const auto& abschnitt : abschnitte_) {
            for (const auto& zeile : abschnitt.zeilen) {
                if (!NachCp1252Anhaengen(zeile, bytes)) {
                    darstellbar = false;
                    break;
                }
                bytes += zeilenende;
            }
            if (!darstellbar) break;
        }
        // Once edits have removed every byte that made the file invalid UTF-8, its
        // Windows-1252 bytes could read back as UTF-8 and mean other characters; then
        // only the UTF-8 form keeps the content.
        bool hochesByte = false;
        for (const char c : bytes) hochesByte = hochesByte || static_cast<unsigned char>(c) >= 0x80;
        if (darstellbar && !(hochesByte && IstUtf8(bytes))) return bytes;
    }
    std::string bytes(kodierung_ == Kodierung::Utf8MitBom ? kBom : std::string_view{});
    for (const auto& abschnitt : abschnitte_) {
        for (const auto& zeile : abschnitt.zeilen) {
            bytes += zeile;
            bytes += zeilenende;
        }
    }
    return bytes;
}

void IniDatei::Speichern() const {
    ErsetzendeDatei datei(pfad_);
    datei.Schreiben(Inhalt());
    datei.Abschliessen();
}

}  // namespace pavolant
