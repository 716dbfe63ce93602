#include "persistence/IniDatei.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <utility>

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"
#include "persistence/Textkodierung.h"
#include "persistence/Zeichensatz.h"

namespace pavolant {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBomAlsCp1252 = "\xC3\xAF\xC2\xBB\xC2\xBF";  // "ï»¿" in UTF-8
// Trimmed around names and values: blank, tab and '\r'. '\r' is included because a line
// that ended in "\r\r\n" keeps one '\r' and must read the same after it is written back.
bool IstLeerraum(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Runs on every line read and looked up, hence by hand: find_first_not_of searches the
// set once for each character.
std::string_view Getrimmt(std::string_view s) {
    std::size_t anfang = 0, ende = s.size();
    while (anfang < ende && IstLeerraum(s[anfang])) ++anfang;
    while (ende > anfang && IstLeerraum(s[ende - 1])) --ende;
    return s.substr(anfang, ende - anfang);
}

char Klein(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool GleichOhneGrossKlein(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Klein(a[i]) != Klein(b[i])) return false;
    return true;
}

// ---- UTF-8 -------------------------------------------------------------------------

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

// ---- Index -------------------------------------------------------------------------

// A 64-bit hash of a name, with ASCII case folded as the names are matched.
std::uint64_t NamensStreuwert(std::string_view name) {
    std::uint64_t h = 0xCBF29CE484222325ULL;  // FNV-1a
    for (const char c : name) {
        h ^= static_cast<unsigned char>(Klein(c));
        h *= 0x100000001B3ULL;
    }
    return h;
}

// Spreads every bit of h over all others (the finaliser of SplitMix64), so that the
// low bits the index takes depend on the whole name.
std::uint64_t Mischen(std::uint64_t h) {
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ULL;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBULL;
    return h ^ (h >> 31);
}

// The bits of the hash kept beside a slot of the index, never 0 (a free slot).
std::uint8_t Marke(std::uint64_t streuwert) { return static_cast<std::uint8_t>(1 + (streuwert >> 56) % 255); }

std::uint64_t SektionsStreuwert(std::string_view name) { return Mischen(NamensStreuwert(name)); }

std::uint64_t SchluesselStreuwert(std::size_t abschnitt, std::string_view name) {
    return Mischen(NamensStreuwert(name) ^ ((abschnitt + 1) * 0x9E3779B97F4A7C15ULL));
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

// Whether a piece of a line would be read as structure (a section header, a broken one
// too, or a key) if it stood on a line of its own.
bool IstStruktur(std::string_view stueck) {
    const std::string_view t = Getrimmt(stueck);
    return !t.empty() && (t.front() == '[' || AlsEintrag(t).has_value());
}

// A value enclosed in one pair of matching quotes, double or single, without them, as
// the Windows profile functions read it (hand-edited files use them: Breite="7",
// FileName='road.dds'). Anything else as it is.
std::string_view OhneAnfuehrungszeichen(std::string_view wert) {
    if (wert.size() >= 2 && (wert.front() == '"' || wert.front() == '\'') && wert.back() == wert.front())
        return wert.substr(1, wert.size() - 2);
    return wert;
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
        if (c >= '0' && c <= '9')
            ziffer = c - '0';
        else if (basis == 16 && c >= 'a' && c <= 'f')
            ziffer = c - 'a' + 10;
        else if (basis == 16 && c >= 'A' && c <= 'F')
            ziffer = c - 'A' + 10;
        else
            return std::nullopt;
        betrag = betrag * basis + ziffer;
        if (betrag > grenze) return std::nullopt;
    }
    return static_cast<int>(negativ ? -betrag : betrag);
}

}  // namespace

// ---- Reading -----------------------------------------------------------------------

IniDatei::IniDatei(std::filesystem::path pfad) : pfad_(std::move(pfad)) {
    // The message, with the system's reason why ("Permission denied", "Is a directory").
    const auto fehler = [this](const std::error_code& grund) {
        // Catalog: %1 is the file's name, %2 the system's reason ("Permission denied").
        return IniFehler(
            Einsetzen(Tr("Die Datei %1 kann nicht gelesen werden: %2"), {Utf8(pfad_), Dateigrund(grund)}));
    };
    // A FIFO at the path cannot hang the program: it is refused like every other file
    // that is not a regular one.
    std::error_code grund;
    Systemdatei datei = Systemdatei::ZumLesen(pfad_, grund);
    if (grund == std::errc::no_such_file_or_directory || grund == std::errc::not_a_directory)
        return;  // missing: an empty file
    if (grund) throw fehler(grund);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(datei.Groesse()));
    char puffer[65536];
    while (const std::size_t n = datei.Lesen(puffer, sizeof puffer, grund)) bytes.append(puffer, n);
    if (grund) throw fehler(grund);
    vorhanden_ = true;
    Einlesen(std::move(bytes));
}

IniDatei IniDatei::AusText(std::string_view inhalt, std::filesystem::path pfad) {
    IniDatei datei;
    datei.pfad_ = std::move(pfad);
    datei.vorhanden_ = true;
    datei.Einlesen(std::string(inhalt));
    return datei;
}

void IniDatei::Einlesen(std::string bytes) {
    // A file read from text has no name to give; each message then speaks of "the file".
    const std::string name = Utf8(pfad_);
    const bool benannt = !pfad_.empty();
    if (const auto fremd = NichtLesbareKodierung(bytes)) {
        const bool utf32 = *fremd == FremdeKodierung::Utf32;
        const char* muster = nullptr;
        if (benannt && utf32)
            // Catalog: %1 is the file's name; the encodings named last are those the program reads.
            muster =
                Tr("Die Datei %1 ist UTF-32-kodiert; bitte als UTF-8, UTF-16 mit BOM oder Windows-1252 "
                   "speichern");
        else if (utf32)
            // Catalog: the encodings named last are those the program reads.
            muster = Tr(
                "Die Datei ist UTF-32-kodiert; bitte als UTF-8, UTF-16 mit BOM oder Windows-1252 speichern");
        else if (benannt)
            // Catalog: %1 is the file's name; the encodings named last are those the program reads.
            muster =
                Tr("Die Datei %1 ist UTF-16-kodiert ohne Byte-Order-Mark (BOM); bitte als UTF-8, UTF-16 mit "
                   "BOM oder Windows-1252 speichern");
        else
            // Catalog: the encodings named last are those the program reads.
            muster =
                Tr("Die Datei ist UTF-16-kodiert ohne Byte-Order-Mark (BOM); bitte als UTF-8, UTF-16 mit BOM "
                   "oder Windows-1252 speichern");
        throw IniFehler(Einsetzen(muster, {name}));
    }
    std::size_t ab = 0;
    if (bytes.starts_with(kBomUtf16LE) || bytes.starts_with(kBomUtf16BE)) {
        const bool gross = bytes.starts_with(kBomUtf16BE);
        kodierung_ = gross ? Kodierung::Utf16BE : Kodierung::Utf16LE;
        text_ = AusUtf16(std::string_view(bytes).substr(2), gross);
    } else if (IstUtf8(bytes)) {
        // The bytes are the text: the lines point into them, line ends and BOM unused.
        kodierung_ = bytes.starts_with(kBomUtf8) ? Kodierung::Utf8MitBom : Kodierung::Utf8;
        ab = kodierung_ == Kodierung::Utf8MitBom ? kBomUtf8.size() : 0;
        text_ = std::move(bytes);
    } else {
        kodierung_ = Kodierung::Windows1252;
        text_ = AusCp1252(bytes);
    }
    std::string().swap(bytes);
    // Positions are 32 bits wide; a text file of 4 GiB is no INI file.
    if (text_.size() >= kKeine)
        // Catalog: %1 is the file's name.
        throw IniFehler(benannt ? Einsetzen(Tr("Die Datei %1 kann nicht gelesen werden"), {name})
                                : std::string(Tr("Die Datei kann nicht gelesen werden")));
    Zerlegen(ab);
}

void IniDatei::Zerlegen(std::size_t ab) {
    const std::string_view text = std::string_view(text_).substr(ab);
    // The first line end decides; a file without any keeps the default of new files. A
    // file with CR but no LF at all has CR alone as its line end (classic Mac OS).
    const auto erstesLf = text.find('\n');
    if (erstesLf == std::string_view::npos)
        zeilenende_ = text.find('\r') == std::string_view::npos ? Zeilenende::CrLf : Zeilenende::Cr;
    else
        zeilenende_ = erstesLf > 0 && text[erstesLf - 1] == '\r' ? Zeilenende::CrLf : Zeilenende::Lf;
    const char trenner = zeilenende_ == Zeilenende::Cr ? '\r' : '\n';

    std::size_t anzahl = 1;
    for (const char c : text) anzahl += c == trenner;
    zeilen_.clear();
    zeilen_.reserve(anzahl);
    std::size_t benutzt = 0;
    for (std::size_t pos = ab; pos < text_.size();) {
        const auto ende = std::min(text_.find(trenner, pos), text_.size());
        std::size_t laenge = ende - pos;
        // One '\r' belongs to a CR LF line end. A file written with LF gets back every
        // line with a bare LF, so there all of them go: kept, "x\r\r\n" would be written
        // as "x\r\n" and read as "x" by the next load, and every save would change it.
        if (zeilenende_ != Zeilenende::Cr && laenge > 0 && text_[pos + laenge - 1] == '\r') --laenge;
        while (zeilenende_ == Zeilenende::Lf && laenge > 0 && text_[pos + laenge - 1] == '\r') --laenge;
        zeilen_.push_back({static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(laenge)});
        benutzt += laenge;
        pos = ende + 1;
    }
    unbenutzt_ = text_.size() - benutzt;
    Pruefen();

    // A UTF-8 file that picked up a byte of another encoding is read as Windows-1252,
    // and its BOM becomes the text "ï»¿". It stays in the line (and so in the file)
    // but must not hide the header of the first section.
    const auto kopf = [this](std::size_t i) {
        std::string_view zeile = Text(zeilen_[i]);
        if (i == 0 && zeile.starts_with(kBomAlsCp1252)) zeile.remove_prefix(kBomAlsCp1252.size());
        return SektionsName(zeile);
    };
    std::size_t koepfe = 0, eintraege = 0;
    for (std::size_t i = 0; i < zeilen_.size(); ++i) {
        if (kopf(i))
            ++koepfe;
        else if (AlsEintrag(Text(zeilen_[i])))
            ++eintraege;
    }
    abschnitte_.clear();
    abschnitte_.reserve(koepfe + 1);
    abschnitte_.push_back({});
    neu_.clear();
    for (std::size_t i = 0; i < zeilen_.size(); ++i) {
        if (!kopf(i)) continue;
        abschnitte_.back().ende = static_cast<std::uint32_t>(i);
        abschnitte_.push_back({static_cast<std::uint32_t>(i), 0, 0, kKeine});
    }
    abschnitte_.back().ende = static_cast<std::uint32_t>(zeilen_.size());
    // New keys go after the last non-blank line, so blank lines that separate a section
    // from the next one stay where they are.
    abschnitte_[0].einfuege = abschnitte_[0].ende;
    for (std::size_t a = 1; a < abschnitte_.size(); ++a) {
        Abschnitt& abschnitt = abschnitte_[a];
        abschnitt.einfuege = abschnitt.ende;
        while (abschnitt.einfuege > abschnitt.anfang + 1 &&
               Getrimmt(Text(zeilen_[abschnitt.einfuege - 1])).empty())
            --abschnitt.einfuege;
    }

    IndexAnlegen(koepfe + eintraege);
    for (std::size_t a = 1; a < abschnitte_.size(); ++a) {
        // Only the first occurrence of a name is read and written, and within it only
        // the first occurrence of a key.
        const std::string_view name = *Name(a);
        if (Sektion(name)) continue;
        Eintragen({static_cast<std::uint32_t>(a), 0}, SektionsStreuwert(name));
        const Abschnitt& abschnitt = abschnitte_[a];
        for (std::uint32_t k = 1; k < abschnitt.ende - abschnitt.anfang; ++k) {
            const auto eintrag = AlsEintrag(Text(zeilen_[abschnitt.anfang + k]));
            if (eintrag && !Schluessel(a, eintrag->schluessel))
                Eintragen({static_cast<std::uint32_t>(a), k}, SchluesselStreuwert(a, eintrag->schluessel));
        }
    }
}

void IniDatei::Pruefen() const {
    // What the lines would mean is unclear here, and any reading of it would build a
    // different road without a word: the file is refused, naming the line.
    const auto ablehnen = [this](std::size_t zeile, const char* grund) {
        const std::string text = Einsetzen(grund, {std::to_string(zeile + 1)});
        if (pfad_.empty())
            // Catalog: %1 says what is wrong and where ("line 4 …").
            throw IniFehler(Einsetzen(Tr("Die Datei kann nicht gelesen werden: %1"), {text}));
        // Catalog: %1 is the file's name, %2 what is wrong and where ("line 4 …").
        throw IniFehler(Einsetzen(Tr("Die Datei %1 kann nicht gelesen werden: %2"), {Utf8(pfad_), text}));
    };
    const bool cp1252 = kodierung_ == Kodierung::Windows1252;
    for (std::size_t i = 0; i < zeilen_.size(); ++i) {
        std::string_view zeile = Text(zeilen_[i]);
        // The one byte order mark a file may start with is not part of its first line
        // (in a Windows-1252 file it stays in it as "ï»¿").
        if (i == 0 && zeile.starts_with(kBomAlsCp1252)) zeile.remove_prefix(kBomAlsCp1252.size());
        // Any other one hides what follows it: "<BOM>[Splines]" would be no header and
        // its keys would fall to the section before. Two files joined end to end leave
        // it, as does a file saved with its BOM twice.
        const std::string_view bom = cp1252 ? kBomAlsCp1252 : kBomUtf8;
        if (zeile.starts_with(bom) && IstStruktur(zeile.substr(bom.size())))
            // Catalog: %1 is the line's number; the byte order mark is an invisible character.
            ablehnen(i, Tr("Zeile %1 beginnt mit einem Byte-Order-Mark (U+FEFF), wie ihn aneinandergehängte "
                           "Dateien hinterlassen; bitte entfernen"));
        // A CR alone in a file whose lines end in LF: the lines it ends would be read
        // as one, and the first of them would swallow the others.
        if (zeilenende_ != Zeilenende::Cr) {
            for (std::size_t cr = zeile.find('\r'); cr != std::string_view::npos;
                 cr = zeile.find('\r', cr + 1)) {
                const std::string_view rest = zeile.substr(cr + 1);
                if (IstStruktur(rest.substr(0, rest.find('\r'))))
                    // Catalog: %1 is the line's number; CR and LF are the control characters of line ends.
                    ablehnen(
                        i,
                        Tr("Zeile %1 enthält ein Zeilenende aus CR allein, während die Datei Zeilen mit LF "
                           "beendet; bitte die Zeilenenden vereinheitlichen"));
            }
        }
        // A header without its ']': no section would start, and the keys after it
        // would belong to the one before.
        const std::string_view t = Getrimmt(zeile);
        if (t.starts_with('[') && t.find(']') == std::string_view::npos)
            // Catalog: %1 is the line's number.
            ablehnen(i, Tr("Zeile %1 beginnt einen Abschnitt mit '[', aber ohne ']'"));
    }
}

// ---- Lines and index ---------------------------------------------------------------

const IniDatei::Zeile& IniDatei::ZeileIn(std::size_t abschnitt, std::size_t k) const {
    const Abschnitt& a = abschnitte_[abschnitt];
    const std::size_t vorher = a.einfuege - a.anfang;
    if (k < vorher) return zeilen_[a.anfang + k];
    k -= vorher;
    if (a.neu != kKeine) {
        const auto& neu = neu_[a.neu];
        if (k < neu.size()) return neu[k];
        k -= neu.size();
    }
    return zeilen_[a.einfuege + k];
}

IniDatei::Zeile& IniDatei::ZeileIn(std::size_t abschnitt, std::size_t k) {
    return const_cast<Zeile&>(std::as_const(*this).ZeileIn(abschnitt, k));
}

std::optional<std::string_view> IniDatei::Name(std::size_t abschnitt) const {
    if (abschnitt == 0) return std::nullopt;
    std::string_view kopf = Text(ZeileIn(abschnitt, 0));
    const Abschnitt& a = abschnitte_[abschnitt];
    if (a.anfang == 0 && a.ende > 0 && kopf.starts_with(kBomAlsCp1252))
        kopf.remove_prefix(kBomAlsCp1252.size());
    return SektionsName(kopf);
}

std::optional<std::size_t> IniDatei::Sektion(std::string_view name) const {
    name = Getrimmt(name);
    const std::uint64_t h = SektionsStreuwert(name);
    const std::uint8_t marke = Marke(h);
    for (std::size_t i = h % index_.size(); marken_[i] != 0; i = Naechster(i)) {
        const Eintrag& e = index_[i];
        if (marken_[i] == marke && e.zeile == 0 && GleichOhneGrossKlein(*Name(e.abschnitt), name))
            return e.abschnitt;
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDatei::Schluessel(std::size_t abschnitt, std::string_view name) const {
    name = Getrimmt(name);
    const std::uint64_t h = SchluesselStreuwert(abschnitt, name);
    const std::uint8_t marke = Marke(h);
    for (std::size_t i = h % index_.size(); marken_[i] != 0; i = Naechster(i)) {
        const Eintrag& e = index_[i];
        if (marken_[i] != marke || e.abschnitt != abschnitt || e.zeile == 0) continue;
        if (GleichOhneGrossKlein(AlsEintrag(Text(ZeileIn(abschnitt, e.zeile)))->schluessel, name))
            return e.zeile;
    }
    return std::nullopt;
}

std::uint64_t IniDatei::Streuwert(const Eintrag& e) const {
    if (e.zeile == 0) return SektionsStreuwert(*Name(e.abschnitt));
    return SchluesselStreuwert(e.abschnitt, AlsEintrag(Text(ZeileIn(e.abschnitt, e.zeile)))->schluessel);
}

void IniDatei::IndexAnlegen(std::size_t eintraege) {
    // At most 7/8 full with one more; any size, not a power of two, so that the index
    // of a file just read is no larger than its entries need.
    const std::size_t groesse = std::max<std::size_t>(8, (eintraege + 1) * 8 / 7 + 1);
    std::vector<Eintrag>(groesse).swap(index_);
    std::vector<std::uint8_t>(groesse).swap(marken_);
    belegt_ = 0;
}

void IniDatei::Eintragen(Eintrag e, std::uint64_t streuwert) {
    if ((belegt_ + 1) * 8 > index_.size() * 7) {
        std::vector<Eintrag> alt;
        std::vector<std::uint8_t> altMarken;
        alt.swap(index_);
        altMarken.swap(marken_);
        IndexAnlegen(2 * belegt_);
        for (std::size_t i = 0; i < alt.size(); ++i)
            if (altMarken[i] != 0) Eintragen(alt[i], Streuwert(alt[i]));
    }
    std::size_t i = streuwert % index_.size();
    while (marken_[i] != 0) i = Naechster(i);
    index_[i] = e;
    marken_[i] = Marke(streuwert);
    ++belegt_;
}

IniDatei::Zeile IniDatei::Ablegen(std::string_view zeile) {
    if (text_.capacity() - text_.size() < zeile.size()) {
        // The text must move. Replaced lines left their bytes behind; when they are a
        // good part of it, only the lines in use move, which costs no more than moving
        // all and keeps the text within a small multiple of its lines at a linear total
        // cost. Otherwise it grows by half, not double: while it moves, the old and the
        // new text are both held.
        if (unbenutzt_ >= text_.size() / 4)
            Verdichten(zeile.size());
        else
            text_.reserve(text_.size() + std::max(zeile.size(), text_.size() / 2 + 256));
    }
    if (text_.size() + zeile.size() >= kKeine) {
        Verdichten(zeile.size());
        if (text_.size() + zeile.size() >= kKeine) throw std::length_error("INI-Datei zu groß");
    }
    const Zeile z{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(zeile.size())};
    text_ += zeile;
    return z;
}

void IniDatei::Verdichten(std::size_t zusaetzlich) {
    std::string neu;
    const std::size_t benutzt = text_.size() - unbenutzt_ + zusaetzlich;
    neu.reserve(benutzt + benutzt / 2);
    const auto umziehen = [&](Zeile& z) {
        const auto anfang = static_cast<std::uint32_t>(neu.size());
        neu += Text(z);
        z.anfang = anfang;
    };
    for (Zeile& z : zeilen_) umziehen(z);
    for (auto& zeilen : neu_)
        for (Zeile& z : zeilen) umziehen(z);
    text_.swap(neu);
    unbenutzt_ = 0;
}

std::optional<std::string_view> IniDatei::Wert(std::string_view sektion, std::string_view schluessel) const {
    const auto abschnitt = Sektion(sektion);
    if (!abschnitt) return std::nullopt;
    const auto k = Schluessel(*abschnitt, schluessel);
    if (!k) return std::nullopt;
    return OhneAnfuehrungszeichen(AlsEintrag(Text(ZeileIn(*abschnitt, *k)))->wert);
}

bool IniDatei::SektionVorhanden(std::string_view sektion) const { return Sektion(sektion).has_value(); }

std::string IniDatei::LiesString(std::string_view sektion, std::string_view schluessel,
                                 std::string_view vorgabe) const {
    const auto wert = Wert(sektion, schluessel);
    if (!wert) return std::string(vorgabe);
    // Characters, not bytes: values are well-formed UTF-8, where every byte but the
    // continuation bytes starts a character.
    std::size_t zeichen = 0, laenge = 0;
    for (; laenge < wert->size(); ++laenge) {
        if ((static_cast<unsigned char>((*wert)[laenge]) & 0xC0) == 0x80) continue;
        if (zeichen == kMaxWertLaenge) break;
        ++zeichen;
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
    return wert ? ZahlAusWert(sektion, schluessel, *wert) : ZahlAusText(vorgabeText);
}

double IniDatei::LiesZahl(std::string_view sektion, std::string_view schluessel, double vorgabe) const {
    const auto wert = Wert(sektion, schluessel);
    return wert ? ZahlAusWert(sektion, schluessel, *wert) : vorgabe;
}

// A value that is no number says where it stands: "Dorf.ini [Fahrbahn_Geo] Sturz: '' ist
// kein gültiger Gleitkommawert". Without the place a user with a file of 200 sections
// cannot find it.
double IniDatei::ZahlAusWert(std::string_view sektion, std::string_view schluessel,
                             std::string_view wert) const {
    try {
        return ZahlAusText(wert);
    } catch (const KonvertierungsFehler& e) {
        // The name as UTF-8, as in every other message: string() would be the ANSI code
        // page on Windows, and throws for a character that page lacks.
        std::string ort = pfad_.empty() ? std::string() : Utf8(pfad_) + " ";
        ort += "[" + SichtbarerText(Getrimmt(sektion)) + "] " + SichtbarerText(Getrimmt(schluessel)) + ": ";
        throw KonvertierungsFehler(ort + e.what());
    }
}

// ---- Writing -----------------------------------------------------------------------

void IniDatei::SchreibeString(std::string_view sektion, std::string_view schluessel, std::string_view wert) {
    sektion = Getrimmt(sektion);
    schluessel = Getrimmt(schluessel);
    // Names come from the program, not from the user. One that would read back as
    // something else (a comment, a header, a different key) is a programming error;
    // writing it anyway would silently lose the value.
    if (!IstUtf8(sektion) || sektion.find_first_of("]\r\n") != std::string_view::npos)
        throw std::invalid_argument("Ungültiger Sektionsname für eine INI-Datei: '" + std::string(sektion) +
                                    "'");
    if (!IstUtf8(schluessel) || schluessel.find_first_of("=\r\n") != std::string_view::npos ||
        schluessel.starts_with(';') || schluessel.starts_with('[') || schluessel.starts_with(kBomUtf8) ||
        schluessel.starts_with(kBomAlsCp1252))
        throw std::invalid_argument("Ungültiger Schlüsselname für eine INI-Datei: '" +
                                    std::string(schluessel) + "'");

    std::string text = Utf8Bereinigt(wert);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    // A value in quotes of its own gets one more pair, which reading takes off again.
    if (const std::string_view t = Getrimmt(text); OhneAnfuehrungszeichen(t).size() != t.size())
        text = "\"" + std::string(t) + "\"";

    const auto merken = [this](std::string_view zeile) {
        if (kodierung_ == Kodierung::Windows1252 && !InCp1252Darstellbar(zeile)) kodierung_ = Kodierung::Utf8;
    };

    const auto gefunden = Sektion(sektion);
    if (!gefunden) {
        const std::string kopf = "[" + std::string(sektion) + "]";
        const std::string zeile = std::string(schluessel) + "=" + text;
        // Stored in one piece: storing may move every line stored before.
        const Zeile beide = Ablegen(kopf + zeile);
        std::vector<Zeile> zeilen{{beide.anfang, static_cast<std::uint32_t>(kopf.size())},
                                  {static_cast<std::uint32_t>(beide.anfang + kopf.size()),
                                   static_cast<std::uint32_t>(zeile.size())}};
        merken(kopf);
        merken(zeile);
        const auto ende = static_cast<std::uint32_t>(zeilen_.size());
        abschnitte_.push_back({ende, ende, ende, static_cast<std::uint32_t>(neu_.size())});
        neu_.push_back(std::move(zeilen));
        const auto neueSektion = static_cast<std::uint32_t>(abschnitte_.size() - 1);
        Eintragen({neueSektion, 0}, SektionsStreuwert(sektion));
        Eintragen({neueSektion, 1}, SchluesselStreuwert(neueSektion, schluessel));
        return;
    }

    const std::size_t a = *gefunden;
    if (const auto k = Schluessel(a, schluessel)) {
        // The key keeps the spelling it has in the file.
        const std::string zeile = std::string(AlsEintrag(Text(ZeileIn(a, *k)))->schluessel) + "=" + text;
        const Zeile neu = Ablegen(zeile);
        merken(zeile);
        Zeile& alt = ZeileIn(a, *k);
        unbenutzt_ += alt.laenge;
        alt = neu;
        return;
    }
    const std::string zeile = std::string(schluessel) + "=" + text;
    const Zeile neu = Ablegen(zeile);
    merken(zeile);
    Abschnitt& abschnitt = abschnitte_[a];
    if (abschnitt.neu == kKeine) {
        abschnitt.neu = static_cast<std::uint32_t>(neu_.size());
        neu_.emplace_back();
    }
    auto& hinzu = neu_[abschnitt.neu];
    const auto stelle = static_cast<std::uint32_t>(abschnitt.einfuege - abschnitt.anfang + hinzu.size());
    hinzu.push_back(neu);
    Eintragen({static_cast<std::uint32_t>(a), stelle}, SchluesselStreuwert(a, schluessel));
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

bool IniDatei::ZahlLiestSichZurueck(double wert) { return std::isfinite(wert); }

void IniDatei::Ausgeben(const std::function<void(std::string_view)>& ausgabe) const {
    const std::string_view zeilenende = zeilenende_ == Zeilenende::CrLf ? "\r\n"
                                        : zeilenende_ == Zeilenende::Lf ? "\n"
                                                                        : "\r";
    // Every line in file order: a section's lines as read up to its last non-blank one,
    // the keys written since, then its blank lines as read. Stops when `tun` says false.
    const auto jedeZeile = [this](auto&& tun) {
        for (const Abschnitt& a : abschnitte_) {
            for (std::size_t i = a.anfang; i < a.einfuege; ++i)
                if (!tun(Text(zeilen_[i]))) return;
            if (a.neu != kKeine)
                for (const Zeile& z : neu_[a.neu])
                    if (!tun(Text(z))) return;
            for (std::size_t i = a.einfuege; i < a.ende; ++i)
                if (!tun(Text(zeilen_[i]))) return;
        }
    };

    Kodierung ziel = kodierung_;
    if (ziel == Kodierung::Windows1252) {
        // Once edits have removed every byte that made the file invalid UTF-8, its
        // Windows-1252 bytes could read back as UTF-8 and mean other characters; then
        // only the UTF-8 form keeps the content. Line ends are ASCII, so no UTF-8
        // sequence spans two lines and the lines can be judged one by one.
        bool darstellbar = true, hochesByte = false, alsUtf8 = true;
        std::string bytes;
        jedeZeile([&](std::string_view zeile) {
            bytes.clear();
            darstellbar = NachCp1252Anhaengen(zeile, bytes);
            for (const char c : bytes) hochesByte = hochesByte || static_cast<unsigned char>(c) >= 0x80;
            alsUtf8 = alsUtf8 && IstUtf8(bytes);
            return darstellbar;
        });
        if (!darstellbar || (hochesByte && alsUtf8)) ziel = Kodierung::Utf8;
    }

    // In pieces, so that a save holds no second copy of a large file. `weiter` takes
    // each piece and says whether more are wanted.
    constexpr std::size_t kStueck = std::size_t{64} << 10;
    const auto erzeugen = [&](Kodierung kodierung, auto&& weiter) {
        const bool gross = kodierung == Kodierung::Utf16BE;
        std::string stueck;
        stueck.reserve(kStueck + 256);
        if (kodierung == Kodierung::Utf8MitBom) stueck += kBomUtf8;
        if (kodierung == Kodierung::Utf16LE || kodierung == Kodierung::Utf16BE)
            stueck += gross ? kBomUtf16BE : kBomUtf16LE;
        bool mehr = true;
        jedeZeile([&](std::string_view zeile) {
            switch (kodierung) {
                case Kodierung::Windows1252:
                    NachCp1252Anhaengen(zeile, stueck);
                    stueck += zeilenende;
                    break;
                case Kodierung::Utf16LE:
                case Kodierung::Utf16BE:
                    NachUtf16Anhaengen(zeile, gross, stueck);
                    NachUtf16Anhaengen(zeilenende, gross, stueck);
                    break;
                case Kodierung::Utf8:
                case Kodierung::Utf8MitBom:
                    stueck += zeile;
                    stueck += zeilenende;
                    break;
            }
            if (stueck.size() >= kStueck) {
                mehr = weiter(std::string_view(stueck));
                stueck.clear();
            }
            return mehr;
        });
        if (mehr && !stueck.empty()) weiter(std::string_view(stueck));
    };

    // Zero bytes (values may hold them) in the pattern of UTF-16 or UTF-32, or the text
    // of a converted file shifted into it, would make the saved file one that reading
    // refuses. A UTF-8 BOM keeps every such file readable, with the same content.
    if (ziel != Kodierung::Utf16LE && ziel != Kodierung::Utf16BE) {
        std::string anfang;
        erzeugen(ziel, [&anfang](std::string_view stueck) {
            anfang += stueck.substr(0, 4096 - anfang.size());
            return anfang.size() < 4096;
        });
        if (NichtLesbareKodierung(anfang)) ziel = Kodierung::Utf8MitBom;
    }
    erzeugen(ziel, [&ausgabe](std::string_view stueck) {
        ausgabe(stueck);
        return true;
    });
}

std::string IniDatei::Inhalt() const {
    std::string bytes;
    bytes.reserve(text_.size() - unbenutzt_ + 2 * (zeilen_.size() + abschnitte_.size()) + 3);
    Ausgeben([&bytes](std::string_view stueck) { bytes += stueck; });
    return bytes;
}

void IniDatei::Speichern() const {
    ErsetzendeDatei datei(pfad_);
    Ausgeben([&datei](std::string_view stueck) { datei.Schreiben(stueck); });
    datei.Abschliessen();
}

}  // namespace pavolant
