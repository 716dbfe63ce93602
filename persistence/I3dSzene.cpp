#include "persistence/I3dSzene.h"

#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"

#include "model/DateiFehler.h"
#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cstring>
#include <cstddef>
#include <istream>
#include <streambuf>
#include <string_view>
#include <vector>

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

void LeseI3d(TSplinePunkte& punkte, const std::string& dateiName, Melder& melder) {
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
    LeseI3dAusStrom(punkte, strom, dateiName, melder);
}

void LeseI3dAusStrom(TSplinePunkte& punkte, std::istream& strom, const std::string& name, Melder& melder) {
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
    // The points past the k read go, and the list names the file.
    const auto abschliessen = [&]() {
        while (punkte.AnzahlPunkte() > k) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
        punkte.DateiName = name;
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
        punkte.Aktuell = std::clamp(punkte.Aktuell, 0, std::max(punkte.AnzahlPunkte() - 1, 0));
        throw;
    }

    if (abschnitt == Abschnitt::VorDerSzene) {
        // Catalog: %1 is the file's name; <Scene> is the element of the i3d document.
        melder.Information(Einsetzen(Tr("In %1 fehlt \"<Scene>\"; die SplinePunkte bleiben unverändert."), {name}));
        return;
    }
    abschliessen();
    punkte.Aktuell = 0;
    constexpr auto kHoechstens = static_cast<unsigned long>(TSplinePunkte::kMaxPunkte);
    if (zuViele)
        // Catalog: %1 is the file's name, %2 the number of spline points the program
        // holds at most; a Shape is an element of the i3d document's scene.
        melder.Warnung(Einsetzen(TrN("In %1 stehen mehr als %2 Shapes in der Szene; übernommen wurden nur die "
                                     "ersten %2 als SplinePunkte.",
                                     "In %1 stehen mehr als %2 Shapes in der Szene; übernommen wurden nur die "
                                     "ersten %2 als SplinePunkte.",
                                     kHoechstens),
                                 {name, std::to_string(kHoechstens)}));
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
