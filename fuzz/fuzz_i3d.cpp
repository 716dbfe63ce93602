// The i3d point import on arbitrary bytes. The import scans each line as it streams by,
// without holding it; here it is compared with a plain reading of whole lines through
// TextZwischen, after the comments have been cut out of the whole input (each replaced
// by the line ends it spans), once from a buffered stream and once from one that hands out a single
// byte at a time. Any difference, any exception other than a conversion or file error,
// and any crash or hang is a finding.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/DateiFehler.h"
#include "model/Meldung.h"
#include "model/Punkte.h"
#include "model/SplinePunkte.h"
#include "model/Zahlen.h"
#include "persistence/I3dSzene.h"

namespace {

using pavolant::KonvertierungsFehler;
using pavolant::MeldungsArt;
using pavolant::TSplinePunkte;

// Stops the run with the line of the failed check, so a crash report says what broke.
void Pruefen(bool bedingung, int zeile = __builtin_LINE()) {
    if (bedingung) return;
    std::fprintf(stderr, "fuzz_i3d: check in line %d failed\n", zeile);
    std::abort();
}

class StillerMelder : public pavolant::Melder {
public:
    void Melden(MeldungsArt art, const std::string& text) override { meldungen.emplace_back(art, text); }
    std::vector<std::pair<MeldungsArt, std::string>> meldungen;
};

struct Zustand {
    std::vector<std::array<double, 6>> punkte;
    int aktuell = 0;
    std::string dateiName;
    std::vector<std::pair<MeldungsArt, std::string>> meldungen;
    std::string fehler;  // "K: <text>" for a conversion error, "D: <text>" for a file error

    bool operator==(const Zustand& b) const {
        if (punkte.size() != b.punkte.size()) return false;
        // Bit for bit: -0 must stay -0.
        for (std::size_t i = 0; i < punkte.size(); ++i)
            if (std::memcmp(punkte[i].data(), b.punkte[i].data(), sizeof punkte[i]) != 0) return false;
        return aktuell == b.aktuell && dateiName == b.dateiName && meldungen == b.meldungen &&
               fehler == b.fehler;
    }
};

Zustand Abbild(const TSplinePunkte& liste, int aktuell, const std::string& dateiName) {
    Zustand z;
    for (int i = 0; i < liste.AnzahlPunkte(); ++i) {
        const auto* p = liste.Punkt(i);
        z.punkte.push_back({p->X, p->Y, p->Z, p->Xrot, p->Yrot, p->Zrot});
    }
    z.aktuell = aktuell;
    z.dateiName = dateiName;
    return z;
}

void Vorbereiten(TSplinePunkte& liste, int& aktuell, std::string& dateiName, std::size_t groesse) {
    const int n = static_cast<int>(groesse % 5);
    while (liste.AnzahlPunkte() > n) liste.PunktLoeschen(liste.AnzahlPunkte() - 1);
    while (liste.AnzahlPunkte() < n) liste.Anhaengen();
    for (int i = 0; i < n; ++i) {
        auto* p = liste.Punkt(i);
        p->X = p->Y = p->Z = 1000.0 + i;
        p->Xrot = p->Yrot = p->Zrot = -1000.0 - i;
    }
    aktuell = static_cast<int>(groesse % 7);
    dateiName = "vorher.i3d";
}

// ---- The whole-line reading ------------------------------------------------------

bool Trenner(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmen(std::string_view s) {
    while (!s.empty() && Trenner(s.front())) s.remove_prefix(1);
    while (!s.empty() && Trenner(s.back())) s.remove_suffix(1);
    return s;
}

void Drei(std::string_view zeile, std::string_view anfang, double* ziel) {
    std::string v;
    if (!pavolant::TextZwischen(zeile, anfang, "\"", v)) {
        ziel[0] = ziel[1] = ziel[2] = 0;
        return;
    }
    if (v.size() > pavolant::kMaxI3dWertLaenge)
        throw KonvertierungsFehler("'" + v.substr(0, 40) + "...' ist kein gültiger Gleitkommawert");
    std::string_view rest = Trimmen(v);
    for (int i = 0; i < 2; ++i) {
        const auto t = std::find_if(rest.begin(), rest.end(), Trenner);
        if (t == rest.end()) {
            ziel[i] = pavolant::ZahlAusText("");
        } else {
            const auto lage = static_cast<std::size_t>(t - rest.begin());
            ziel[i] = pavolant::ZahlAusText(Trimmen(rest.substr(0, lage)));
            rest = Trimmen(rest.substr(lage + 1));
        }
    }
    ziel[2] = pavolant::ZahlAusText(rest);
}

// The input with each "<!--" up to the next "-->" (or the end) replaced by the CRs and
// LFs inside it, so that the lines stay where they were.
std::string OhneKommentare(std::string_view eingabe) {
    std::string ergebnis;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t anfang = eingabe.find("<!--", pos);
        if (anfang == std::string_view::npos) break;
        ergebnis.append(eingabe.substr(pos, anfang - pos));
        const std::size_t schluss = eingabe.find("-->", anfang + 4);
        pos = schluss == std::string_view::npos ? eingabe.size() : schluss + 3;
        for (std::size_t i = anfang; i < pos; ++i)
            if (eingabe[i] == '\n' || eingabe[i] == '\r') ergebnis.push_back(eingabe[i]);
    }
    ergebnis.append(eingabe.substr(pos));
    return ergebnis;
}

Zustand Erwartet(std::string_view rohEingabe, Zustand z, const std::string& name) {
    const std::string text = OhneKommentare(rohEingabe);
    const std::string_view eingabe = text;
    std::vector<std::string_view> zeilen;
    std::size_t anfang = 0;
    for (std::size_t i = 0; i <= eingabe.size(); ++i) {
        if (i == eingabe.size() || eingabe[i] == '\n' || eingabe[i] == '\r') {
            zeilen.push_back(eingabe.substr(anfang, i - anfang));
            anfang = i + 1;
        }
    }
    std::size_t s = 0;
    while (s < zeilen.size() && zeilen[s].find("<Scene>") == std::string_view::npos) ++s;
    if (s == zeilen.size()) {
        z.meldungen.emplace_back(MeldungsArt::Information,
                                 "In " + name + " fehlt \"<Scene>\"; die SplinePunkte bleiben unverändert.");
        return z;
    }
    // The scene starts right after the first "<Scene>", in the middle of its line.
    zeilen[s].remove_prefix(zeilen[s].find("<Scene>") + std::string_view("<Scene>").size());
    std::size_t k = 0;
    bool ende = false, zuViele = false;
    try {
        for (std::size_t i = s; i < zeilen.size() && !ende && !zuViele; ++i) {
            const std::string_view zeile = zeilen[i];
            if (zeile.find("<Shape") != std::string_view::npos) {
                if (k == static_cast<std::size_t>(TSplinePunkte::kMaxPunkte)) {
                    zuViele = true;
                    break;
                }
                if (z.punkte.size() < k + 1) z.punkte.push_back({});
                auto& p = z.punkte[k++];
                Drei(zeile, "translation=\"", &p[0]);
                Drei(zeile, "rotation=\"", &p[3]);
            }
            ende = zeile.find("</Scene>") != std::string_view::npos;
        }
    } catch (const KonvertierungsFehler& e) {
        z.punkte.resize(k);
        z.dateiName = name;
        z.aktuell = std::clamp(z.aktuell, 0, std::max(static_cast<int>(k) - 1, 0));
        z.fehler = std::string("K: ") + e.what();
        return z;
    }
    z.punkte.resize(k);
    z.dateiName = name;
    z.aktuell = 0;
    if (zuViele)
        z.meldungen.emplace_back(MeldungsArt::Warnung, "");  // text checked by the unit tests
    else if (!ende)
        z.meldungen.emplace_back(MeldungsArt::Information,
                                 "In " + name + " fehlt \"</Scene>\"; übernommen wurden die " +
                                     std::to_string(k) + " SplinePunkte bis zum Dateiende.");
    return z;
}

// ---- The import under test -------------------------------------------------------

// Hands out one byte per call and buffers nothing, so the reader sees every possible
// split of its input.
class Einzeln : public std::streambuf {
public:
    explicit Einzeln(std::string_view daten) : daten_(daten) {}

protected:
    int_type underflow() override {
        return pos_ < daten_.size() ? traits_type::to_int_type(daten_[pos_]) : traits_type::eof();
    }
    int_type uflow() override {
        return pos_ < daten_.size() ? traits_type::to_int_type(daten_[pos_++]) : traits_type::eof();
    }

private:
    std::string_view daten_;
    std::size_t pos_ = 0;
};

Zustand Importieren(std::istream& strom, std::size_t groesse, const std::string& name, Zustand& vorher) {
    TSplinePunkte liste;
    int aktuell = 0;
    std::string dateiName;
    Vorbereiten(liste, aktuell, dateiName, groesse);
    vorher = Abbild(liste, aktuell, dateiName);
    StillerMelder melder;
    std::string fehler;
    try {
        LeseI3dAusStrom(liste, aktuell, dateiName, strom, name, melder);
    } catch (const KonvertierungsFehler& e) {
        fehler = std::string("K: ") + e.what();
    } catch (const pavolant::DateiFehler& e) {
        fehler = std::string("D: ") + e.what();
    }
    Zustand z = Abbild(liste, aktuell, dateiName);
    z.meldungen = std::move(melder.meldungen);
    for (auto& m : z.meldungen)
        if (m.first == MeldungsArt::Warnung) m.second.clear();
    z.fehler = std::move(fehler);
    // Only an untouched list may keep a current point outside it.
    if (!(z.punkte.size() == vorher.punkte.size() && z.dateiName == vorher.dateiName))
        Pruefen(z.aktuell >= 0 && (z.aktuell == 0 || z.aktuell < static_cast<int>(z.punkte.size())));
    return z;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string_view eingabe(reinterpret_cast<const char*>(daten), groesse);
    pavolant::SetzeDezimaltrenner(groesse % 2 == 0 ? ',' : '.');
    const std::string name = "eingabe.i3d";

    Zustand vorher;
    std::istringstream ganz{std::string(eingabe)};
    const Zustand gepuffert = Importieren(ganz, groesse, name, vorher);
    const Zustand erwartet = Erwartet(eingabe, vorher, name);
    Pruefen(gepuffert == erwartet);

    Einzeln einzeln(eingabe);
    std::istream strom(&einzeln);
    Pruefen(Importieren(strom, groesse, name, vorher) == erwartet);
    return 0;
}
