#include "persistence/I3dSzene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <istream>
#include <map>
#include <optional>
#include <streambuf>
#include <string_view>
#include <vector>

#include "model/DateiFehler.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"
#include "persistence/Textkodierung.h"
#include "persistence/Zeichensatz.h"

namespace pavolant {

namespace {

// Finds a fixed pattern in bytes fed one at a time (Knuth-Morris-Pratt), so a line is
// searched without being held in memory, however long it is.
class Suchmuster {
public:
    explicit Suchmuster(std::string_view muster) : muster_(muster), rueck_(muster.size(), 0) {
        for (std::size_t i = 1, k = 0; i < muster_.size(); ++i) {
            while (k > 0 && muster_[i] != muster_[k]) k = rueck_[k - 1];
            if (muster_[i] == muster_[k]) ++k;
            rueck_[i] = k;
        }
    }
    // True when the bytes fed since Neu() end with the pattern.
    bool Weiter(char c) {
        while (stand_ > 0 && muster_[stand_] != c) stand_ = rueck_[stand_ - 1];
        if (muster_[stand_] == c) ++stand_;
        if (stand_ < muster_.size()) return false;
        stand_ = rueck_[stand_ - 1];
        return true;
    }
    void Neu() { stand_ = 0; }

private:
    std::string_view muster_;
    std::vector<std::size_t> rueck_;  // longest proper border of each prefix
    std::size_t stand_ = 0;           // pattern bytes matched so far
};

// One attribute of a line: the text after the first `name="` up to the next quote, which
// is what TextZwischen gives for the whole line, collected as the bytes go by. Only the
// first kMaxI3dWertLaenge bytes are kept; a longer value is marked.
class Attribut {
public:
    explicit Attribut(std::string_view anfang) : anfang_(anfang) {}
    void Weiter(char c) {
        switch (zustand_) {
            case Zustand::Suchen:
                if (anfang_.Weiter(c)) zustand_ = Zustand::Sammeln;
                break;
            case Zustand::Sammeln:
                if (c == '"')
                    zustand_ = Zustand::Fertig;
                else if (wert_.size() < kMaxI3dWertLaenge)
                    wert_.push_back(c);
                else
                    zuLang_ = true;
                break;
            case Zustand::Fertig:
                break;
        }
    }
    // A value whose closing quote is missing in its line counts as no value.
    bool Vorhanden() const { return zustand_ == Zustand::Fertig; }
    bool ZuLang() const { return zuLang_; }
    std::string_view Wert() const { return wert_; }
    void Neu() {
        anfang_.Neu();
        zustand_ = Zustand::Suchen;
        wert_.clear();
        zuLang_ = false;
    }

private:
    enum class Zustand { Suchen, Sammeln, Fertig };
    Suchmuster anfang_;
    Zustand zustand_ = Zustand::Suchen;
    std::string wert_;
    bool zuLang_ = false;
};

bool IstTrenner(char c) { return c == ' ' || c == '\t'; }

std::string_view Getrimmt(std::string_view s) {
    while (!s.empty() && IstTrenner(s.front())) s.remove_prefix(1);
    while (!s.empty() && IstTrenner(s.back())) s.remove_suffix(1);
    return s;
}

// Three numbers separated by blanks into three fields, one after the other, so that a
// value that is no number leaves the fields before it set. A missing first or second
// separator leaves an empty text, which ZahlAusText refuses; surplus numbers end up in
// the third text and are refused there. No attribute: all three are 0.
void DreiZahlen(const Attribut& attribut, double& a, double& b, double& c) {
    if (!attribut.Vorhanden()) {
        a = b = c = 0;
        return;
    }
    if (attribut.ZuLang())
        throw KonvertierungsFehler(Einsetzen(Tr("'%1' ist kein gültiger Gleitkommawert"),
                                             {std::string(attribut.Wert().substr(0, 40)) + "..."}));
    std::string_view v = Getrimmt(attribut.Wert());
    const auto naechste = [&v]() {
        const std::size_t trenner = std::min(v.find(' '), v.find('\t'));
        // Without a blank the text before it is empty, and ZahlAusText refuses it.
        if (trenner == std::string_view::npos) return ZahlAusText(std::string_view{});
        const double wert = ZahlAusText(Getrimmt(v.substr(0, trenner)));
        v = Getrimmt(v.substr(trenner + 1));
        return wert;
    };
    a = naechste();
    b = naechste();
    c = ZahlAusText(v);
}

// Reads a file for an istream. A read error throws, which the istream turns into badbit.
class DateiLesePuffer : public std::streambuf {
public:
    explicit DateiLesePuffer(Systemdatei& datei) : datei_(datei) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        std::error_code grund;
        const std::size_t n = datei_.Lesen(puffer_.data(), puffer_.size(), grund);
        if (grund) throw std::ios_base::failure("read");
        if (n == 0) return traits_type::eof();
        setg(puffer_.data(), puffer_.data(), puffer_.data() + n);
        return traits_type::to_int_type(*gptr());
    }

private:
    Systemdatei& datei_;
    std::vector<char> puffer_ = std::vector<char>(65536);
};

std::string LeseFehlertext(const std::string& name) {
    // Catalog: %1 is the file's name.
    return Einsetzen(Tr("Die Datei %1 kann nicht gelesen werden"), {name});
}

}  // namespace

void LeseI3d(TSplinePunkte& punkte, int& aktuell, std::string& quelle, const std::string& dateiName,
             Melder& melder) {
    // A FIFO at the path cannot hang the program; it is refused like every other file
    // that is not a regular one (a folder, a device). The system's reason goes with the
    // message ("No such file or directory").
    std::error_code grund;
    Systemdatei datei = Systemdatei::ZumLesen(PfadAusUtf8(dateiName), grund);
    if (grund) {
        // Catalog: %1 is the file's name, %2 the system's reason ("No such file or directory").
        const char* muster = Tr("Die Datei %1 kann nicht gelesen werden: %2");
        throw DateiFehler(Einsetzen(muster, {dateiName, Dateigrund(grund)}));
    }
    DateiLesePuffer puffer(datei);
    std::istream strom(&puffer);
    LeseI3dAusStrom(punkte, aktuell, quelle, strom, dateiName, melder);
}

std::string ZuVieleShapes(const std::string& name) {
    constexpr auto kHoechstens = static_cast<unsigned long>(TSplinePunkte::kMaxPunkte);
    // Catalog: %1 is the file's name, %2 the number of spline points the program holds at
    // most; a Shape is an element of the i3d document's scene.
    return Einsetzen(TrN("In %1 stehen mehr als %2 Shapes in der Szene; übernommen wurden nur die "
                         "ersten %2 als SplinePunkte.",
                         "In %1 stehen mehr als %2 Shapes in der Szene; übernommen wurden nur die "
                         "ersten %2 als SplinePunkte.",
                         kHoechstens),
                     {name, std::to_string(kHoechstens)});
}

void LeseI3dAusStrom(TSplinePunkte& punkte, int& aktuell, std::string& quelle, std::istream& strom,
                     const std::string& name, Melder& melder) {
    enum class Abschnitt { VorDerSzene, InDerSzene };
    Abschnitt abschnitt = Abschnitt::VorDerSzene;
    Suchmuster szenenAnfang("<Scene>");
    Suchmuster shapeMarke("<Shape");
    Suchmuster szenenEnde("</Scene>");
    Attribut translation("translation=\"");
    Attribut rotation("rotation=\"");
    bool shape = false, ende = false;
    bool zuViele = false;
    int k = 0;  // shape lines taken so far

    // The scene's line just ended. False once reading stops.
    const auto zeileInDerSzene = [&]() {
        if (shape) {
            if (k == TSplinePunkte::kMaxPunkte) {
                zuViele = true;
                return false;
            }
            if (punkte.AnzahlPunkte() < k + 1) punkte.Anhaengen();
            TSplinePkt& p = *punkte.Punkt(k);
            ++k;
            DreiZahlen(translation, p.X, p.Y, p.Z);
            DreiZahlen(rotation, p.Xrot, p.Yrot, p.Zrot);
        }
        if (ende) return false;
        shape = ende = false;
        shapeMarke.Neu();
        szenenEnde.Neu();
        translation.Neu();
        rotation.Neu();
        return true;
    };
    // The points past the k read go, and the file becomes the points' source.
    const auto abschliessen = [&]() {
        while (punkte.AnzahlPunkte() > k) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
        quelle = name;
    };
    // One byte outside comments and line ends. The rest of the "<Scene>" line after the
    // marker is the scene's first line: its matchers start fresh there.
    const auto zeichen = [&](char c) {
        switch (abschnitt) {
            case Abschnitt::VorDerSzene:
                if (szenenAnfang.Weiter(c)) abschnitt = Abschnitt::InDerSzene;
                break;
            case Abschnitt::InDerSzene:
                if (shapeMarke.Weiter(c)) shape = true;
                if (szenenEnde.Weiter(c)) ende = true;
                translation.Weiter(c);
                rotation.Weiter(c);
                break;
        }
    };
    // A line end, inside a comment or not. False once reading stops.
    const auto zeilenende = [&]() {
        if (abschnitt == Abschnitt::VorDerSzene) {
            szenenAnfang.Neu();
            return true;
        }
        return zeileInDerSzene();
    };

    // Comments ("<!--" up to the next "-->", across lines too) are cut out of what the
    // markers and attributes see; their line ends still end lines, so that the lines
    // are counted as in the file. The bytes of a possible "<!--" are held back until it
    // is complete or broken (at most three, so memory stays bounded); a broken start
    // goes on to the markers as written.
    constexpr std::string_view kKommentarAnfang = "<!--";
    std::size_t gehalten = 0;  // bytes of kKommentarAnfang held back
    bool imKommentar = false;
    Suchmuster kommentarEnde("-->");
    const auto gehalteneWeiter = [&]() {
        for (std::size_t j = 0; j < gehalten; ++j) zeichen(kKommentarAnfang[j]);
        gehalten = 0;
    };

    try {
        std::vector<char> block(65536);
        bool weiter = true;
        while (weiter) {
            // What the stream has buffered, so that bytes delivered before a read error are
            // not lost with an unfinished block. With nothing buffered, get() fills the
            // buffer (or, from an unbuffered stream, gives one byte).
            auto n = static_cast<std::size_t>(
                strom.readsome(block.data(), static_cast<std::streamsize>(block.size())));
            if (n == 0) {
                const auto zeichen = strom.get();
                if (std::istream::traits_type::eq_int_type(zeichen, std::istream::traits_type::eof())) break;
                block[0] = std::istream::traits_type::to_char_type(zeichen);
                n = 1;
            }
            // Line ends are LF, CR LF or CR: each CR and each LF ends a line, and the empty
            // line between CR and LF holds no marker.
            for (std::size_t i = 0; i < n && weiter; ++i) {
                const char c = block[i];
                if (c == '\n' || c == '\r') {
                    // Neither "<!--" nor "-->" spans a line end.
                    gehalteneWeiter();
                    kommentarEnde.Neu();
                    weiter = zeilenende();
                } else if (imKommentar) {
                    if (kommentarEnde.Weiter(c)) imKommentar = false;
                } else if (c == kKommentarAnfang[gehalten]) {
                    if (++gehalten == kKommentarAnfang.size()) {
                        gehalten = 0;
                        imKommentar = true;
                        kommentarEnde.Neu();
                    }
                } else {
                    // Only a '<' can begin "<!--" again after a broken start.
                    gehalteneWeiter();
                    if (c == kKommentarAnfang[0])
                        gehalten = 1;
                    else
                        zeichen(c);
                }
            }
        }
        if (weiter) {
            if (strom.bad()) throw DateiFehler(LeseFehlertext(name));
            // The last line needs no line end.
            gehalteneWeiter();
            if (abschnitt == Abschnitt::InDerSzene) weiter = zeileInDerSzene();
        }
    } catch (...) {
        // Whatever stopped the reading, the list is left consistent with what was read:
        // nothing has changed before the scene, and inside it the points read stay.
        if (abschnitt == Abschnitt::VorDerSzene) throw;
        abschliessen();
        aktuell = std::clamp(aktuell, 0, std::max(punkte.AnzahlPunkte() - 1, 0));
        throw;
    }

    if (abschnitt == Abschnitt::VorDerSzene) {
        // Catalog: %1 is the file's name; <Scene> is the element of the i3d document.
        melder.Information(
            Einsetzen(Tr("In %1 fehlt \"<Scene>\"; die SplinePunkte bleiben unverändert."), {name}));
        return;
    }
    abschliessen();
    aktuell = 0;
    if (zuViele)
        melder.Warnung(ZuVieleShapes(name));
    else if (!ende)
        melder.Information(Einsetzen(
            // Catalog: %1 is the file's name, %2 the number of spline points read;
            // </Scene> ends the scene element of the i3d document.
            TrN("In %1 fehlt \"</Scene>\"; übernommen wurden die %2 SplinePunkte bis zum Dateiende.",
                "In %1 fehlt \"</Scene>\"; übernommen wurden die %2 SplinePunkte bis zum Dateiende.",
                static_cast<unsigned long>(std::max(k, 0))),
            {name, std::to_string(k)}));
}

}  // namespace pavolant

// ---- The scene as a tree ----------------------------------------------------------------

namespace pavolant {

namespace {

constexpr double kGradZuRad = 3.14159265358979323846 / 180.0;

// A reading error at a line of the file.
[[noreturn]] void XmlFehler(const std::string& name, int zeile, const std::string& grund) {
    // Catalog: %1 is the file's name, %2 the line number, %3 what is wrong there.
    throw DateiFehler(Einsetzen(Tr("%1, line %2: %3"), {name, std::to_string(zeile), grund}));
}

bool IstXmlLeerraum(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IstNamenszeichen(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':' || c == '-' || c == '.' || u >= 0x80;
}

// Valid UTF-8 stays; anything else is taken for Latin-1, the editor's declared encoding.
std::string AlsUtf8(std::string_view s) { return IstUtf8(s) ? std::string(s) : AusLatin1(s); }

// A pull reader of the XML the scene needs: start and end tags with their attributes;
// text, comments, CDATA sections and processing instructions are stepped over. Lines
// are counted as the file's (LF, CR LF or CR each end one).
class XmlLeser {
public:
    XmlLeser(std::string_view text, const std::string& name) : t_(text), name_(name) {}

    struct Attribut {
        std::string Name, Wert;
    };
    enum class Art { Start, Ende, Dateiende };
    struct Marke {
        Art art = Art::Dateiende;
        std::string Element;
        std::vector<Attribut> Attribute;
        bool Leer = false;  // <x/>
        int Zeile = 0;
    };

    // The next tag. Each call gives the tag after the previous one.
    Marke Naechste() {
        for (;;) {
            const std::size_t lt = t_.find('<', pos_);
            if (lt == std::string_view::npos) {
                Weiter(t_.size());
                return {};
            }
            Weiter(lt);
            const std::string_view rest = t_.substr(pos_);
            if (rest.substr(0, 4) == "<!--") {
                Ueberspringen("-->", 4, Tr("a comment is not closed"));
            } else if (rest.substr(0, 9) == "<![CDATA[") {
                Ueberspringen("]]>", 9, Tr("a CDATA section is not closed"));
            } else if (rest.substr(0, 2) == "<?") {
                Ueberspringen("?>", 2, Tr("a processing instruction is not closed"));
            } else if (rest.substr(0, 2) == "<!") {
                // A document type declaration could define entities and pull in other files.
                Fehler(Tr("a document type declaration is not read"));
            } else if (rest.substr(0, 2) == "</") {
                Marke m;
                m.art = Art::Ende;
                m.Zeile = zeile_;
                Weiter(pos_ + 2);
                m.Element = Name();
                Leerraum();
                if (!Ist('>')) Fehler(Einsetzen(Tr("the end tag </%1> is not closed with '>'"), {m.Element}));
                Weiter(pos_ + 1);
                return m;
            } else {
                return StartTag();
            }
        }
    }
    int Zeile() const { return zeile_; }
    [[noreturn]] void Fehler(const std::string& grund) const { XmlFehler(name_, zeile_, grund); }

private:
    // Moves to `ziel`, counting the line ends passed.
    void Weiter(std::size_t ziel) {
        for (; pos_ < ziel; ++pos_) {
            const char c = t_[pos_];
            if (c == '\n' || (c == '\r' && (pos_ + 1 >= t_.size() || t_[pos_ + 1] != '\n'))) ++zeile_;
        }
    }
    bool Ist(char c) const { return pos_ < t_.size() && t_[pos_] == c; }
    void Leerraum() {
        std::size_t e = pos_;
        while (e < t_.size() && IstXmlLeerraum(t_[e])) ++e;
        Weiter(e);
    }
    void Ueberspringen(std::string_view schluss, std::size_t anfang, const char* grund) {
        const std::size_t e = t_.find(schluss, pos_ + anfang);
        if (e == std::string_view::npos) Fehler(grund);
        Weiter(e + schluss.size());
    }
    std::string Name() {
        std::size_t e = pos_;
        while (e < t_.size() && IstNamenszeichen(t_[e])) ++e;
        if (e == pos_) Fehler(Tr("a name is missing after '<' or before '='"));
        std::string n(t_.substr(pos_, e - pos_));
        Weiter(e);
        return n;
    }
    Marke StartTag() {
        Marke m;
        m.art = Art::Start;
        m.Zeile = zeile_;
        Weiter(pos_ + 1);
        m.Element = Name();
        for (;;) {
            const std::size_t vor = pos_;
            Leerraum();
            if (pos_ >= t_.size()) Fehler(Einsetzen(Tr("the tag <%1 is not closed"), {m.Element}));
            if (Ist('>')) {
                Weiter(pos_ + 1);
                return m;
            }
            if (t_.substr(pos_, 2) == "/>") {
                Weiter(pos_ + 2);
                m.Leer = true;
                return m;
            }
            if (pos_ == vor)
                Fehler(Einsetzen(Tr("the tag <%1 needs a blank between its attributes"), {m.Element}));
            Attribut a;
            a.Name = Name();
            Leerraum();
            if (!Ist('=')) Fehler(Einsetzen(Tr("the attribute %1 has no value"), {a.Name}));
            Weiter(pos_ + 1);
            Leerraum();
            if (!Ist('"') && !Ist('\'')) Fehler(Einsetzen(Tr("the value of %1 is not in quotes"), {a.Name}));
            const char quote = t_[pos_];
            const std::size_t ende = t_.find(quote, pos_ + 1);
            if (ende == std::string_view::npos)
                Fehler(Einsetzen(Tr("the value of %1 is not closed"), {a.Name}));
            a.Wert = Wert(t_.substr(pos_ + 1, ende - pos_ - 1));
            Weiter(ende + 1);
            m.Attribute.push_back(std::move(a));
            if (m.Attribute.size() > kMaxAttribute)
                Fehler(Einsetzen(Tr("the tag <%1 has more than %2 attributes"),
                                 {m.Element, std::to_string(kMaxAttribute)}));
            for (std::size_t b = 0; b + 1 < m.Attribute.size(); ++b)
                if (m.Attribute[b].Name == m.Attribute.back().Name)
                    Fehler(Einsetzen(Tr("the attribute %1 stands twice"), {m.Attribute.back().Name}));
        }
    }
    // An attribute value as XML reads it: entities replaced, each blank, tab and line
    // end one blank.
    std::string Wert(std::string_view roh) const {
        std::string w;
        for (std::size_t i = 0; i < roh.size(); ++i) {
            const char c = roh[i];
            if (c == '<') Fehler(Tr("an attribute value holds '<'"));
            if (c == '\r' && i + 1 < roh.size() && roh[i + 1] == '\n') continue;
            if (IstXmlLeerraum(c)) {
                w += ' ';
            } else if (c != '&') {
                w += c;
            } else {
                std::size_t e = i + 1;
                while (e < roh.size() && (IstNamenszeichen(roh[e]) || roh[e] == '#')) ++e;
                if (e == i + 1 || e >= roh.size() || roh[e] != ';')
                    Fehler(Tr("an '&' in an attribute value starts no entity"));
                const std::string_view ref = roh.substr(i + 1, e - i - 1);
                if (ref == "lt")
                    w += '<';
                else if (ref == "gt")
                    w += '>';
                else if (ref == "amp")
                    w += '&';
                else if (ref == "quot")
                    w += '"';
                else if (ref == "apos")
                    w += '\'';
                else if (ref.size() > 1 && ref[0] == '#') {
                    const bool hex = ref[1] == 'x';
                    const std::string_view ziffern = ref.substr(hex ? 2 : 1);
                    unsigned long code = 0;
                    bool ok = !ziffern.empty() && ziffern.size() <= 8;
                    for (char z : ziffern) {
                        int d = -1;
                        if (z >= '0' && z <= '9')
                            d = z - '0';
                        else if (hex && z >= 'a' && z <= 'f')
                            d = z - 'a' + 10;
                        else if (hex && z >= 'A' && z <= 'F')
                            d = z - 'A' + 10;
                        if (d < 0 || code > 0x10FFFF) ok = false;  // no wrap-around past the last code point
                        if (ok) code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
                    }
                    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
                        Fehler(Einsetzen(Tr("unknown entity &%1;"), {std::string(ref)}));
                    Utf8Anhaengen(w, static_cast<char32_t>(code));
                } else {
                    Fehler(Einsetzen(Tr("unknown entity &%1;"), {std::string(ref.substr(0, 40))}));
                }
                i = e;
            }
        }
        return w;
    }

    // A scene node carries a dozen; the bound keeps the check for repeats cheap.
    static constexpr std::size_t kMaxAttribute = 1000;
    std::string_view t_;
    const std::string& name_;
    std::size_t pos_ = 0;
    int zeile_ = 1;
};

// Three numbers separated by blanks; `standard` for a missing attribute.
std::array<double, 3> DreiWerte(const std::vector<XmlLeser::Attribut>& attribute, std::string_view name,
                                std::array<double, 3> standard, const std::string& datei, int zeile) {
    for (const auto& a : attribute) {
        if (a.Name != name) continue;
        std::array<double, 3> w{};
        std::size_t n = 0;
        std::string_view rest = a.Wert;
        try {
            for (;;) {
                while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
                if (rest.empty()) break;
                const std::size_t e = std::min(rest.find(' '), rest.size());
                if (n == 3) throw KonvertierungsFehler(Einsetzen(Tr("'%1' is not three numbers"), {a.Wert}));
                w[n++] = ZahlAusText(rest.substr(0, e));
                rest.remove_prefix(e);
            }
            if (n != 3) throw KonvertierungsFehler(Einsetzen(Tr("'%1' is not three numbers"), {a.Wert}));
        } catch (const KonvertierungsFehler& f) {
            throw KonvertierungsFehler(
                Einsetzen(Tr("%1, line %2: %3"), {datei, std::to_string(zeile), f.what()}));
        }
        return w;
    }
    return standard;
}

using Matrix = std::array<std::array<double, 3>, 3>;

Matrix Mal(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return m;
}

// Rz(z) * Ry(y) * Rx(x), angles in degrees (see the header).
Matrix Drehung(const std::array<double, 3>& grad) {
    const double cx = std::cos(grad[0] * kGradZuRad), sx = std::sin(grad[0] * kGradZuRad);
    const double cy = std::cos(grad[1] * kGradZuRad), sy = std::sin(grad[1] * kGradZuRad);
    const double cz = std::cos(grad[2] * kGradZuRad), sz = std::sin(grad[2] * kGradZuRad);
    const Matrix ry{{{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}}};
    const Matrix rx{{{1, 0, 0}, {0, cx, -sx}, {0, sx, cx}}};
    const Matrix rz{{{cz, -sz, 0}, {sz, cz, 0}, {0, 0, 1}}};
    return Mal(rz, Mal(ry, rx));
}

// The angles (degrees) of a rotation matrix in the same convention. Every turn has two
// such triples, (x, y, z) and (x + 180, 180 - y, z + 180); the one with the smaller pitch
// and bank is taken, so that a node turned about Y alone reads as a heading with no
// pitch or bank (150 rather than 180 30 180), as the centre line reads the angles. At
// Yrot = ±90 the pitch and the bank turn about one axis; the bank is then 0.
std::array<double, 3> Winkel(const Matrix& m) {
    const double sy = std::clamp(-m[2][0], -1.0, 1.0);
    const auto grad = [](double rad) { return rad / kGradZuRad; };
    if (std::abs(sy) >= 1 - 1e-12) {
        const double y = sy > 0 ? 90.0 : -90.0;
        return {grad(std::atan2(-m[1][2], m[1][1])), y, 0.0};
    }
    const double y = grad(std::asin(sy));
    const std::array<double, 3> a{grad(std::atan2(m[2][1], m[2][2])), y, grad(std::atan2(m[1][0], m[0][0]))};
    const std::array<double, 3> b{grad(std::atan2(-m[2][1], -m[2][2])), (y > 0 ? 180.0 : -180.0) - y,
                                  grad(std::atan2(-m[1][0], -m[0][0]))};
    return std::abs(b[0]) + std::abs(b[2]) < std::abs(a[0]) + std::abs(a[2]) ? b : a;
}

}  // namespace

bool I3dKnoten::InRuhe() const {
    return Translation == std::array<double, 3>{0, 0, 0} && Rotation == std::array<double, 3>{0, 0, 0} &&
           Skalierung == std::array<double, 3>{1, 1, 1};
}

int I3dSzene::AnzahlGruppen() const {
    return static_cast<int>(
        std::count_if(Knoten.begin(), Knoten.end(), [](const I3dKnoten& k) { return !k.IstShape(); }));
}

std::vector<int> I3dSzene::ShapesJeKnoten() const {
    std::vector<int> n(Knoten.size(), 0);
    // Children come after their parent: from the back, each count is complete when it
    // is handed up.
    for (std::size_t i = Knoten.size(); i-- > 0;) {
        if (Knoten[i].IstShape()) ++n[i];
        if (Knoten[i].Eltern >= 0) n[static_cast<std::size_t>(Knoten[i].Eltern)] += n[i];
    }
    return n;
}

namespace {

// An end tag: it must close the innermost open element (`offen`, outermost first), which
// it then takes off; else the document is not well-formed and the error names the line.
void Schliessen(std::vector<std::string>& offen, const XmlLeser::Marke& m, const std::string& name) {
    if (offen.empty() || offen.back() != m.Element)
        XmlFehler(name, m.Zeile,
                  offen.empty()
                      ? Einsetzen(Tr("the end tag </%1> closes nothing"), {m.Element})
                      : Einsetzen(Tr("the end tag </%1> does not close <%2>"), {m.Element, offen.back()}));
    offen.pop_back();
}

}  // namespace

I3dSzene LeseI3dSzeneAusText(std::string_view text, const std::string& name) {
    I3dSzene szene;
    szene.Datei = name;
    XmlLeser leser(text, name);
    std::vector<std::string> offen;  // the open elements, outermost first
    int szenenTiefe = -1;            // depth of the open <Scene>; -1 outside it
    bool szeneGelesen = false;
    std::vector<int> knotenStapel;  // open scene nodes
    bool wurzelGesehen = false;
    for (;;) {
        XmlLeser::Marke m = leser.Naechste();
        if (m.art == XmlLeser::Art::Dateiende) break;
        if (m.art == XmlLeser::Art::Ende) {
            Schliessen(offen, m, name);
            if (szenenTiefe >= 0) {
                if (static_cast<int>(offen.size()) == szenenTiefe) {
                    szenenTiefe = -1;
                    szeneGelesen = true;
                } else {
                    knotenStapel.pop_back();
                }
            }
            continue;
        }
        if (offen.empty()) {
            if (wurzelGesehen) XmlFehler(name, m.Zeile, Tr("the document has a second root element"));
            wurzelGesehen = true;
        }
        if (szenenTiefe >= 0) {
            if (szene.Knoten.size() >= static_cast<std::size_t>(kMaxI3dKnoten))
                XmlFehler(
                    name, m.Zeile,
                    Einsetzen(Tr("the scene holds more than %1 nodes"), {std::to_string(kMaxI3dKnoten)}));
            I3dKnoten k;
            k.Element = m.Element;
            k.Zeile = m.Zeile;
            k.Eltern = knotenStapel.empty() ? -1 : knotenStapel.back();
            for (const auto& a : m.Attribute)
                if (a.Name == "name") k.Name = AlsUtf8(a.Wert);
            k.Translation = DreiWerte(m.Attribute, "translation", {0, 0, 0}, name, m.Zeile);
            k.Rotation = DreiWerte(m.Attribute, "rotation", {0, 0, 0}, name, m.Zeile);
            k.Skalierung = DreiWerte(m.Attribute, "scale", {1, 1, 1}, name, m.Zeile);
            if (k.IstShape()) k.Shapenummer = ++szene.AnzahlShapes;
            szene.Knoten.push_back(std::move(k));
            if (!m.Leer) knotenStapel.push_back(static_cast<int>(szene.Knoten.size()) - 1);
        } else if (m.Element == "Scene" && !szeneGelesen) {
            szene.SzeneGefunden = true;
            if (m.Leer)
                szeneGelesen = true;
            else
                szenenTiefe = static_cast<int>(offen.size());
        }
        if (!m.Leer) offen.push_back(std::move(m.Element));
    }
    if (!offen.empty()) XmlFehler(name, leser.Zeile(), Einsetzen(Tr("<%1> is not closed"), {offen.back()}));
    if (!wurzelGesehen) XmlFehler(name, leser.Zeile(), Tr("the file holds no XML element"));
    return szene;
}

namespace {

// The whole document's bytes, read through the platform layer.
std::string DokumentText(const std::string& dateiName) {
    std::error_code grund;
    Systemdatei datei = Systemdatei::ZumLesen(PfadAusUtf8(dateiName), grund);
    if (grund) {
        const char* muster = Tr("Die Datei %1 kann nicht gelesen werden: %2");
        throw DateiFehler(Einsetzen(muster, {dateiName, Dateigrund(grund)}));
    }
    std::string text;
    std::vector<char> block(65536);
    for (;;) {
        const std::size_t n = datei.Lesen(block.data(), block.size(), grund);
        if (grund) throw DateiFehler(LeseFehlertext(dateiName));
        if (n == 0) break;
        text.append(block.data(), n);
    }
    return text;
}

}  // namespace

I3dSzene LeseI3dSzene(const std::string& dateiName) {
    return LeseI3dSzeneAusText(DokumentText(dateiName), dateiName);
}

I3dTerrain LeseI3dTerrain(const std::string& dateiName) {
    return LeseI3dTerrainAusText(DokumentText(dateiName), dateiName);
}

I3dTerrain LeseI3dTerrainAusText(std::string_view text, const std::string& name) {
    XmlLeser leser(text, name);
    std::map<std::string, std::string> dateien;  // fileId -> filename
    std::optional<I3dTerrain> terrain;
    std::string hoehenbildId;
    const auto wert = [](const XmlLeser::Marke& m, std::string_view attribut) -> const std::string* {
        for (const auto& a : m.Attribute)
            if (a.Name == attribut) return &a.Wert;
        return nullptr;
    };
    // A number above 0, or the reason naming the attribute.
    const auto positiv = [&](const XmlLeser::Marke& m, std::string_view attribut) {
        const std::string* w = wert(m, attribut);
        double zahl = 0;
        try {
            zahl = ZahlAusText(*w);
        } catch (const KonvertierungsFehler&) {
            zahl = -1;
        }
        if (!(zahl > 0))
            // Catalog: %1 the attribute (heightScale, unitsPerPixel), %2 its value.
            XmlFehler(name, m.Zeile,
                      Einsetzen(Tr("the terrain's %1=\"%2\" is not a number above 0"),
                                {std::string(attribut), *w}));
        return zahl;
    };
    std::vector<std::string> offen;  // the open elements: the document must be well-formed
    for (;;) {
        XmlLeser::Marke m = leser.Naechste();
        if (m.art == XmlLeser::Art::Dateiende) break;
        if (m.art == XmlLeser::Art::Ende) {
            Schliessen(offen, m, name);
            continue;
        }
        if (!m.Leer) offen.push_back(m.Element);
        if (m.Element == "File") {
            const std::string *id = wert(m, "fileId"), *datei = wert(m, "filename");
            if (id && datei) dateien.emplace(*id, AlsUtf8(*datei));
        } else if (m.Element == "TerrainTransformGroup" && !terrain) {
            I3dTerrain t;
            t.Zeile = m.Zeile;
            const std::string* id = wert(m, "heightMapId");
            if (!id) XmlFehler(name, m.Zeile, Tr("the terrain node names no height image (heightMapId)"));
            hoehenbildId = *id;
            if (!wert(m, "heightScale")) XmlFehler(name, m.Zeile, Tr("the terrain node has no heightScale"));
            t.HeightScale = positiv(m, "heightScale");
            if (wert(m, "unitsPerPixel")) {
                t.UnitsPerPixel = positiv(m, "unitsPerPixel");
                t.UnitsPerPixelGeschrieben = true;
            }
            t.Translation = DreiWerte(m.Attribute, "translation", {0, 0, 0}, name, m.Zeile);
            terrain = std::move(t);
        }
    }
    if (!offen.empty()) XmlFehler(name, leser.Zeile(), Einsetzen(Tr("<%1> is not closed"), {offen.back()}));
    if (!terrain) XmlFehler(name, leser.Zeile(), Tr("the map holds no terrain (TerrainTransformGroup)"));
    const auto datei = dateien.find(hoehenbildId);
    if (datei == dateien.end())
        // Catalog: %1 the fileId the terrain node names.
        XmlFehler(
            name, terrain->Zeile,
            Einsetzen(Tr("the terrain's height image fileId=\"%1\" is not among the files"), {hoehenbildId}));
    terrain->Hoehenbild = datei->second;
    return *terrain;
}

std::vector<int> ShapesDerWahl(const I3dSzene& szene, const std::vector<int>& knoten) {
    const int n = static_cast<int>(szene.Knoten.size());
    std::vector<char> drin(static_cast<std::size_t>(n), 0);
    for (int k : knoten)
        if (k >= 0 && k < n) drin[static_cast<std::size_t>(k)] = 1;
    std::vector<int> shapes;
    for (int i = 0; i < n; ++i) {
        const int e = szene.Knoten[static_cast<std::size_t>(i)].Eltern;
        // Parents come first, so a parent's mark is final when its children are reached.
        if (e >= 0 && drin[static_cast<std::size_t>(e)]) drin[static_cast<std::size_t>(i)] = 1;
        if (drin[static_cast<std::size_t>(i)] && szene.Knoten[static_cast<std::size_t>(i)].IstShape())
            shapes.push_back(i);
    }
    return shapes;
}

std::vector<int> AlleShapes(const I3dSzene& szene) { return ShapesVonBis(szene, 1, szene.AnzahlShapes); }

std::vector<int> ShapesVonBis(const I3dSzene& szene, int erster, int letzter) {
    std::vector<int> shapes;
    for (std::size_t i = 0; i < szene.Knoten.size(); ++i) {
        const int nr = szene.Knoten[i].Shapenummer;
        if (nr > 0 && nr >= erster && nr <= letzter) shapes.push_back(static_cast<int>(i));
    }
    return shapes;
}

std::optional<int> GruppeNamens(const I3dSzene& szene, std::string_view name) {
    for (std::size_t i = 0; i < szene.Knoten.size(); ++i)
        if (!szene.Knoten[i].IstShape() && szene.Knoten[i].Name == name) return static_cast<int>(i);
    return std::nullopt;
}

namespace {

// Where a node's children stand: the node's frame in level coordinates.
struct Rahmen {
    Matrix linear{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};   // rotations and scales so far
    Matrix drehung{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};  // rotations alone
    std::array<double, 3> lage{0, 0, 0};
    bool ruhe = true;      // every node so far at rest
    bool gedreht = false;  // some node so far rotated
};

Rahmen Innen(const Rahmen& p, const I3dKnoten& k) {
    Rahmen r;
    r.ruhe = p.ruhe && k.InRuhe();
    r.gedreht = p.gedreht || k.Rotation != std::array<double, 3>{0, 0, 0};
    if (r.ruhe) return r;
    const Matrix d = Drehung(k.Rotation);
    const Matrix s{{{k.Skalierung[0], 0, 0}, {0, k.Skalierung[1], 0}, {0, 0, k.Skalierung[2]}}};
    r.linear = Mal(p.linear, Mal(d, s));
    r.drehung = Mal(p.drehung, d);
    for (std::size_t i = 0; i < 3; ++i)
        r.lage[i] = p.lage[i] + (p.linear[i][0] * k.Translation[0] + p.linear[i][1] * k.Translation[1] +
                                 p.linear[i][2] * k.Translation[2]);
    return r;
}

// Node k, whose parent's frame is p, in level coordinates. Within nodes at rest the
// values are the written ones, bit for bit; without a rotation around, the rotation is.
I3dWeltpunkt Lage(const Rahmen& p, const I3dKnoten& k) {
    I3dWeltpunkt w{k.Translation[0],
                   k.Translation[1],
                   k.Translation[2],
                   k.Rotation[0],
                   k.Rotation[1],
                   k.Rotation[2],
                   p.ruhe};
    if (p.ruhe) return w;
    std::array<double, 3> lage{};
    for (std::size_t i = 0; i < 3; ++i)
        lage[i] = p.lage[i] + (p.linear[i][0] * k.Translation[0] + p.linear[i][1] * k.Translation[1] +
                               p.linear[i][2] * k.Translation[2]);
    w.X = lage[0];
    w.Y = lage[1];
    w.Z = lage[2];
    if (p.gedreht) {
        const std::array<double, 3> grad = Winkel(Mal(p.drehung, Drehung(k.Rotation)));
        w.Xrot = grad[0];
        w.Yrot = grad[1];
        w.Zrot = grad[2];
    }
    return w;
}

}  // namespace

I3dWeltpunkt Weltlage(const I3dSzene& szene, int knoten) {
    const I3dKnoten& k = szene.Knoten.at(static_cast<std::size_t>(knoten));
    std::vector<int> kette;  // the enclosing nodes, innermost first
    for (int e = k.Eltern; e >= 0; e = szene.Knoten[static_cast<std::size_t>(e)].Eltern) kette.push_back(e);
    Rahmen r;
    for (auto it = kette.rbegin(); it != kette.rend(); ++it)
        r = Innen(r, szene.Knoten[static_cast<std::size_t>(*it)]);
    return Lage(r, k);
}

I3dUebernahme PunkteUebernehmen(TSplinePunkte& punkte, const I3dSzene& szene,
                                const std::vector<int>& shapes) {
    I3dUebernahme u;
    const std::size_t n = std::min(shapes.size(), static_cast<std::size_t>(TSplinePunkte::kMaxPunkte));
    u.Gekuerzt = n < shapes.size();
    // One walk through the tree in file order with the frames of the path to the current
    // node, so that a deep scene costs no more than a flat one. Everything is computed
    // before the list changes.
    const std::size_t anzahl = szene.Knoten.size();
    std::vector<int> gebraucht(anzahl, -1);  // node -> its place in `welt`
    std::vector<I3dWeltpunkt> welt;
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(shapes[i]);
        if (k < anzahl && gebraucht[k] < 0) {
            gebraucht[k] = static_cast<int>(welt.size());
            welt.push_back({});
        }
    }
    std::vector<std::pair<int, Rahmen>> pfad;
    for (std::size_t i = 0; i < anzahl; ++i) {
        const I3dKnoten& k = szene.Knoten[i];
        while (!pfad.empty() && pfad.back().first != k.Eltern) pfad.pop_back();
        const Rahmen& eltern = pfad.empty() ? Rahmen{} : pfad.back().second;
        if (gebraucht[i] >= 0) welt[static_cast<std::size_t>(gebraucht[i])] = Lage(eltern, k);
        Rahmen innen = Innen(eltern, k);
        pfad.emplace_back(static_cast<int>(i), std::move(innen));
    }
    while (punkte.AnzahlPunkte() > static_cast<int>(n)) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
    while (punkte.AnzahlPunkte() < static_cast<int>(n)) punkte.Anhaengen();
    for (std::size_t i = 0; i < n; ++i) {
        TSplinePkt& p = *punkte.Punkt(static_cast<int>(i));
        const auto knoten = static_cast<std::size_t>(shapes[i]);
        const I3dWeltpunkt& w = welt[static_cast<std::size_t>(gebraucht.at(knoten))];
        p.X = w.X;
        p.Y = w.Y;
        p.Z = w.Z;
        p.Xrot = w.Xrot;
        p.Yrot = w.Yrot;
        p.Zrot = w.Zrot;
        p.Name = szene.Knoten[knoten].Name;
        u.ElternBewegt = u.ElternBewegt || !w.ElternInRuhe;
    }
    u.Punkte = static_cast<int>(n);
    return u;
}

}  // namespace pavolant
