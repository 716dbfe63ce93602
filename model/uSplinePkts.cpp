#include "model/uSplinePkts.h"

#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/IniDatei.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <istream>
#include <numbers>
#include <streambuf>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pavolant {

namespace {

constexpr double kPi = std::numbers::pi;

// Brings v into [unten, oben] (oben - unten == periode) with the same result as the
// loops "while v < unten: v += periode; while v > oben: v -= periode". Those loops never
// end for a value so large that adding the period no longer changes it (1e300 degrees,
// an infinity), so a value more than one period outside is first reduced with fmod:
// fmod is exact, and so are the loops' steps for every value they can finish on, which
// makes both routes agree. Non-finite values come back unchanged; the build refuses
// them before it gets here.
double InBereich(double v, double unten, double oben, double periode) {
    if (!std::isfinite(v)) return v;
    if (v < unten - periode || v > oben + periode) {
        v = std::fmod(v, periode);
        if (v == 0) v = 0.0;  // fmod keeps the sign of a zero; the loops end on +0
    }
    while (v < unten) v += periode;
    while (v > oben) v -= periode;
    return v;
}

bool Endlich(const TSplinePkt& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && std::isfinite(p.Z) &&
           std::isfinite(p.Xrot) && std::isfinite(p.Yrot) && std::isfinite(p.Zrot);
}

std::string Paar(int i, const char* bindewort) {
    return "SplinePunkte " + std::to_string(i + 1) + bindewort + std::to_string(i + 2);
}

}  // namespace

TSplinePunkte::TSplinePunkte() {
    Anhaengen();
    Anhaengen();
}

int TSplinePunkte::AnzahlPunkte() const { return static_cast<int>(Punkte.size()); }

TSplinePkt* TSplinePunkte::Anhaengen() {
    Punkte.push_back(std::make_unique<TSplinePkt>());
    return Punkte.back().get();
}

TSplinePkt* TSplinePunkte::Einfuegen() {
    // The main window keeps Aktuell in range; a stale value still must not address
    // memory outside the list.
    Aktuell = std::clamp(Aktuell, 0, AnzahlPunkte());
    auto it = Punkte.insert(Punkte.begin() + Aktuell, std::make_unique<TSplinePkt>());
    return it->get();
}

void TSplinePunkte::PunktLoeschen(int i) {
    if (i < 0 || i >= AnzahlPunkte()) return;
    Punkte.erase(Punkte.begin() + i);
    if (Aktuell > AnzahlPunkte() - 1) Aktuell = AnzahlPunkte() - 1;
}

TSplinePkt* TSplinePunkte::Punkt(int i) {
    if (i < 0 || i >= AnzahlPunkte()) return nullptr;
    return Punkte[static_cast<std::size_t>(i)].get();
}

const TSplinePkt* TSplinePunkte::Punkt(int i) const {
    if (i < 0 || i >= AnzahlPunkte()) return nullptr;
    return Punkte[static_cast<std::size_t>(i)].get();
}

void TSplinePunkte::IniLesen(const IniDatei& ini) {
    const int n = ini.LiesInteger("Splines", "Anzahl", 2);
    if (n > kMaxPunkte) {
        std::string text = "Zu viele SplinePunkte (" + std::to_string(n) + ", höchstens " +
                           std::to_string(kMaxPunkte) + ")";
        if (!ini.Pfad().empty()) text += " in " + ini.Pfad().string();
        throw IniFehler(text);
    }
    for (int k = 1; k <= n; ++k) {
        if (AnzahlPunkte() < k) Anhaengen();
        TSplinePkt& p = *Punkte[static_cast<std::size_t>(k - 1)];
        const std::string sektion = "SplinePts" + std::to_string(k);
        // Straight into the fields: a value that is no number stops the load at its key,
        // and what was read before it stays.
        p.X = ini.LiesZahl(sektion, "X", "0");
        p.Y = ini.LiesZahl(sektion, "Y", "0");
        p.Z = ini.LiesZahl(sektion, "Z", "0");
        p.Xrot = ini.LiesZahl(sektion, "Xrot", "0");
        p.Yrot = ini.LiesZahl(sektion, "Yrot", "0");
        p.Zrot = ini.LiesZahl(sektion, "Zrot", "0");
    }
    // A negative count empties the list like 0 does (comparing with n itself would
    // never end once the list is empty).
    const int soll = std::max(n, 0);
    while (AnzahlPunkte() > soll) PunktLoeschen(AnzahlPunkte() - 1);
    Aktuell = 0;
}

void TSplinePunkte::IniSchreiben(IniDatei& ini) const {
    ini.SchreibeInteger("Splines", "Anzahl", AnzahlPunkte());
    ini.SchreibeInteger("Splines", "aktuell", Aktuell);
    ini.SchreibeString("Splines", "FileName", DateiName);
    for (int k = 1; k <= AnzahlPunkte(); ++k) {
        const TSplinePkt& p = *Punkte[static_cast<std::size_t>(k - 1)];
        const std::string sektion = "SplinePts" + std::to_string(k);
        ini.SchreibeZahl(sektion, "X", p.X);
        ini.SchreibeZahl(sektion, "Y", p.Y);
        ini.SchreibeZahl(sektion, "Z", p.Z);
        ini.SchreibeZahl(sektion, "Xrot", p.Xrot);
        ini.SchreibeZahl(sektion, "Yrot", p.Yrot);
        ini.SchreibeZahl(sektion, "Zrot", p.Zrot);
    }
}

bool TSplinePunkte::BerechneMittellinie(Melder& melder) {
    if (AnzahlPunkte() < 2) {
        melder.Information("Es müssen mindestens zwei SplinePunkte vorhanden sein!");
        return false;
    }
    // The lateral curve is a function of the distance along the chord, so the road may
    // leave or reach a point at most 89 degrees off the chord direction.
    const double grenzwinkel = GradZuRad(89.0);

    for (int i = 0; i <= AnzahlPunkte() - 2; ++i) {
        TSplinePkt& p = *Punkte[static_cast<std::size_t>(i)];
        TSplinePkt& q = *Punkte[static_cast<std::size_t>(i) + 1];
        const std::string zahlenbereich =
            Paar(i, " - ") + ": Werte ausserhalb des gültigen Zahlenbereichs!";

        // NaN would slip through every comparison below and infinities would make the
        // angle normalisation meaningless; neither may reach the coefficients.
        if (!Endlich(p) || !Endlich(q)) {
            melder.Warnung(zahlenbereich);
            return false;
        }
        const double dX = q.X - p.X, dY = q.Y - p.Y, dZ = q.Z - p.Z;
        const double L = std::sqrt(dX * dX + dZ * dZ);
        if (!std::isfinite(dY) || !std::isfinite(L)) {
            melder.Warnung(zahlenbereich);
            return false;
        }
        p.Abstand = L;
        if (L < 1.0)
            melder.Warnung(Paar(i, " und ") + " nur " + FormatAllgemein(L) + " auseinander!");
        if (L < 0.1) return false;

        // Chord heading in the sense of DreheY: DreheY(h) turns +Z onto (dX, 0, dZ).
        // h lies in [-pi/2, 3pi/2).
        double h;
        if (dZ == 0 && dX > 0)
            h = -kPi / 2;
        else if (dZ == 0 && dX < 0)
            h = kPi / 2;
        else {
            h = -std::atan(dX / dZ);
            if (dZ < 0) h += kPi;
        }
        p.Richtung = h;

        // The level's Yrot turns opposite to DreheY (Yrot 90 faces +X), hence + h.
        p.Yrot = InBereich(p.Yrot, -90, 270, 360);
        q.Yrot = InBereich(q.Yrot, -90, 270, 360);

        const double alpha = InBereich(GradZuRad(p.Yrot) + h, -kPi / 2, 3 * kPi / 2, 2 * kPi);
        if (std::fabs(alpha) > grenzwinkel) {
            melder.Warnung(Paar(i, " - ") + ": Winkel am Anfang der Verbindungslinie zu gross " +
                           FormatAllgemein(RadZuGrad(alpha)));
            return false;
        }
        const double tanA = std::tan(alpha);
        p.WinkelAnfang = alpha;
        p.QuerC = tanA;

        const double beta = InBereich(GradZuRad(q.Yrot) + h, -kPi / 2, 3 * kPi / 2, 2 * kPi);
        if (std::fabs(beta) > grenzwinkel) {
            melder.Warnung(Paar(i, " - ") + ": Winkel am Ende der Verbindungslinie zu gross " +
                           FormatAllgemein(RadZuGrad(beta)));
            return false;
        }
        const double tanB = std::tan(beta);
        p.WinkelEnde = beta;
        // Cubic through (0,0) and (L,0) with slopes tan(alpha) and tan(beta).
        p.QuerA = (tanA + tanB) / (L * L);
        p.QuerB = -(2 * tanA + tanB) / L;

        p.Xrot = InBereich(p.Xrot, -90, 270, 360);
        q.Xrot = InBereich(q.Xrot, -90, 270, 360);
        // Height slopes along the chord; a positive Xrot means the road falls. Dividing
        // by cos(alpha) turns the slope along the heading into one along the chord.
        const double g0 = std::tan(GradZuRad(-p.Xrot)) / std::cos(alpha);
        const double g1 = std::tan(GradZuRad(-q.Xrot)) / std::cos(beta);
        const double hoeheA = ((g0 + g1) * L - 2 * dY) / (L * L * L);
        const double hoeheB = (3 * dY - (2 * g0 + g1) * L) / (L * L);
        const double zrotDelta = InBereich(q.Zrot - p.Zrot, -180, 180, 360);
        // Finite inputs can still overflow here (points 1e200 m apart, banks near the
        // double range); a coefficient that is not finite would poison the whole mesh.
        if (!std::isfinite(g0) || !std::isfinite(hoeheA) || !std::isfinite(hoeheB) ||
            !std::isfinite(zrotDelta)) {
            melder.Warnung(zahlenbereich);
            return false;
        }
        p.HoeheC = g0;
        p.HoeheA = hoeheA;
        p.HoeheB = hoeheB;
        p.ZrotDelta = zrotDelta;
    }
    return true;
}

void TSplinePunkte::MittellinienPunkt(int i, TPunkt& ziel, double t) const {
    if (i < 0 || i > AnzahlPunkte() - 2) return;
    const TSplinePkt& p = *Punkte[static_cast<std::size_t>(i)];
    const double s = t * p.Abstand;
    ziel.Z = s;
    ziel.X = ((p.QuerA * s + p.QuerB) * s + p.QuerC) * s;
    ziel.Yrot = -std::atan((3 * p.QuerA * s + 2 * p.QuerB) * s + p.QuerC);
    ziel.Y = ((p.HoeheA * s + p.HoeheB) * s + p.HoeheC) * s;
    // y' is the slope along the chord; cos(Yrot) scales its angle towards the road's own
    // direction where the road runs off the chord.
    ziel.Xrot = std::cos(ziel.Yrot) * std::atan((3 * p.HoeheA * s + 2 * p.HoeheB) * s + p.HoeheC);
    ziel.Zrot = GradZuRad(p.ZrotDelta * t + p.Zrot);
}

// ---- i3d import ----------------------------------------------------------------------

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
                else if (wert_.size() < TSplinePunkte::kMaxI3dWertLaenge)
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
        throw KonvertierungsFehler("'" + std::string(attribut.Wert().substr(0, 40)) +
                                   "...' ist kein gültiger Gleitkommawert");
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

// Reads a file descriptor for an istream. A read error throws, which the istream turns
// into badbit.
class FdLesePuffer : public std::streambuf {
public:
    explicit FdLesePuffer(int fd) : fd_(fd) {}
    ~FdLesePuffer() override { ::close(fd_); }
    FdLesePuffer(const FdLesePuffer&) = delete;
    FdLesePuffer& operator=(const FdLesePuffer&) = delete;

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        for (;;) {
            const ssize_t n = ::read(fd_, puffer_.data(), puffer_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw std::ios_base::failure("read");
            if (n == 0) return traits_type::eof();
            setg(puffer_.data(), puffer_.data(), puffer_.data() + n);
            return traits_type::to_int_type(*gptr());
        }
    }

private:
    int fd_;
    std::vector<char> puffer_ = std::vector<char>(65536);
};

std::string LeseFehlertext(const std::string& name) {
    return "Die Datei " + name + " kann nicht gelesen werden";
}

}  // namespace

void TSplinePunkte::LeseI3d(const std::string& dateiName, Melder& melder) {
    // O_NONBLOCK so that a FIFO at the path cannot hang the program; it is refused below
    // like every other file that is not a regular one (a folder, a device).
    const int fd = ::open(dateiName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) throw DateiFehler(LeseFehlertext(dateiName));
    FdLesePuffer puffer(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw DateiFehler(LeseFehlertext(dateiName));
    std::istream strom(&puffer);
    LeseI3dAusStrom(strom, dateiName, melder);
}

void TSplinePunkte::LeseI3dAusStrom(std::istream& strom, const std::string& name, Melder& melder) {
    enum class Abschnitt { VorDerSzene, SzenenZeile, InDerSzene };
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
            if (k == kMaxPunkte) {
                zuViele = true;
                return false;
            }
            if (AnzahlPunkte() < k + 1) Anhaengen();
            TSplinePkt& p = *Punkte[static_cast<std::size_t>(k)];
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
        while (AnzahlPunkte() > k) PunktLoeschen(AnzahlPunkte() - 1);
        DateiName = name;
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
                const bool zeilenende = c == '\n' || c == '\r';
                switch (abschnitt) {
                    case Abschnitt::VorDerSzene:
                        if (zeilenende)
                            szenenAnfang.Neu();
                        else if (szenenAnfang.Weiter(c))
                            abschnitt = Abschnitt::SzenenZeile;
                        break;
                    case Abschnitt::SzenenZeile:  // the rest of the opening line is skipped
                        if (zeilenende) abschnitt = Abschnitt::InDerSzene;
                        break;
                    case Abschnitt::InDerSzene:
                        if (zeilenende) {
                            weiter = zeileInDerSzene();
                        } else {
                            if (shapeMarke.Weiter(c)) shape = true;
                            if (szenenEnde.Weiter(c)) ende = true;
                            translation.Weiter(c);
                            rotation.Weiter(c);
                        }
                        break;
                }
            }
        }
        if (weiter) {
            if (strom.bad()) throw DateiFehler(LeseFehlertext(name));
            // The last line needs no line end.
            if (abschnitt == Abschnitt::InDerSzene) weiter = zeileInDerSzene();
        }
    } catch (...) {
        // Whatever stopped the reading, the list is left consistent with what was read:
        // nothing has changed before the scene, and inside it the points read stay.
        if (abschnitt == Abschnitt::VorDerSzene) throw;
        abschliessen();
        Aktuell = std::clamp(Aktuell, 0, std::max(AnzahlPunkte() - 1, 0));
        throw;
    }

    if (abschnitt == Abschnitt::VorDerSzene) {
        melder.Information("In " + name + " fehlt \"<Scene>\"; die SplinePunkte bleiben unverändert.");
        return;
    }
    abschliessen();
    Aktuell = 0;
    if (zuViele)
        melder.Warnung("In " + name + " stehen mehr als " + std::to_string(kMaxPunkte) +
                       " Shapes in der Szene; übernommen wurden nur die ersten " +
                       std::to_string(kMaxPunkte) + " als SplinePunkte.");
    else if (!ende)
        melder.Information("In " + name + " fehlt \"</Scene>\"; übernommen wurden die " + std::to_string(k) +
                           " SplinePunkte bis zum Dateiende.");
}

}  // namespace pavolant
