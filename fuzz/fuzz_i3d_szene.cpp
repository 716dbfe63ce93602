// The i3d scene read as XML, on arbitrary bytes. A reading either refuses with a file
// error or a conversion error, or gives a tree whose parents precede their children and
// whose shapes are numbered in order. That tree, written again in the editor's layout
// and read back, gives the same tree (names, nesting, values to the bit), and every
// shape whose enclosing nodes are at rest is placed at its own values. Any other
// exception, a broken invariant, a crash or a hang is a finding. The import's walk through
// the whole tree places each shape exactly as the shape's own chain of parents does.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/DateiFehler.h"
#include "model/SplinePunkte.h"
#include "model/Zahlen.h"
#include "persistence/I3dSzene.h"

namespace {

using pavolant::I3dSzene;

void Pruefen(bool bedingung, int zeile = __builtin_LINE()) {
    if (bedingung) return;
    std::fprintf(stderr, "fuzz_i3d_szene: check in line %d failed\n", zeile);
    std::abort();
}

// Equal to the bit, every NaN equal to every other (a NaN's payload is not kept).
bool Gleich(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Maskiert(std::string_view s) {
    std::string r;
    for (char c : s) {
        if (c == '&')
            r += "&amp;";
        else if (c == '<')
            r += "&lt;";
        else if (c == '"')
            r += "&quot;";
        else if (c == '\t' || c == '\n' || c == '\r')
            r += "&#" + std::to_string(static_cast<int>(c)) + ";";
        else
            r += c;
    }
    return r;
}

std::string Zahl(double d) {
    char puffer[64];
    std::snprintf(puffer, sizeof puffer, "%.17g", d);
    return puffer;
}

std::string Drei(const char* name, const std::array<double, 3>& w) {
    return std::string(" ") + name + "=\"" + Zahl(w[0]) + " " + Zahl(w[1]) + " " + Zahl(w[2]) + "\"";
}

// The tree in the editor's layout: one start tag per line, children indented.
std::string Geschrieben(const I3dSzene& s) {
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<i3D>\n<Scene>\n";
    std::vector<int> offen;
    const auto schliessen = [&](int bis) {
        while (!offen.empty() && offen.back() != bis) {
            text += "</" + s.Knoten[static_cast<std::size_t>(offen.back())].Element + ">\n";
            offen.pop_back();
        }
    };
    for (std::size_t i = 0; i < s.Knoten.size(); ++i) {
        const auto& k = s.Knoten[i];
        schliessen(k.Eltern);
        text += "<" + k.Element + " name=\"" + Maskiert(k.Name) + "\"" + Drei("translation", k.Translation) +
                Drei("rotation", k.Rotation) + Drei("scale", k.Skalierung) + ">\n";
        offen.push_back(static_cast<int>(i));
    }
    schliessen(-1);
    return text + "</Scene>\n</i3D>\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string_view eingabe(reinterpret_cast<const char*>(daten), groesse);
    pavolant::SetzeDezimaltrenner(groesse % 2 == 0 ? ',' : '.');
    I3dSzene szene;
    try {
        szene = pavolant::LeseI3dSzeneAusText(eingabe, "eingabe.i3d");
    } catch (const pavolant::DateiFehler&) {
        return 0;
    } catch (const pavolant::KonvertierungsFehler&) {
        return 0;
    }
    int nummer = 0;
    for (std::size_t i = 0; i < szene.Knoten.size(); ++i) {
        const auto& k = szene.Knoten[i];
        Pruefen(k.Eltern >= -1 && k.Eltern < static_cast<int>(i));
        Pruefen(k.Shapenummer == (k.IstShape() ? ++nummer : 0));
        Pruefen(k.Zeile >= 1);
    }
    Pruefen(nummer == szene.AnzahlShapes);
    Pruefen(szene.SzeneGefunden || szene.Knoten.empty());
    const std::vector<int> je = szene.ShapesJeKnoten();
    int oben = 0;
    for (std::size_t i = 0; i < je.size(); ++i)
        if (szene.Knoten[i].Eltern < 0) oben += je[i];
    Pruefen(oben == szene.AnzahlShapes);
    Pruefen(static_cast<int>(pavolant::AlleShapes(szene).size()) == szene.AnzahlShapes);

    for (int s : pavolant::AlleShapes(szene)) {
        const auto w = pavolant::Weltlage(szene, s);
        const auto& k = szene.Knoten[static_cast<std::size_t>(s)];
        if (w.ElternInRuhe)
            Pruefen(Gleich(w.X, k.Translation[0]) && Gleich(w.Y, k.Translation[1]) &&
                    Gleich(w.Z, k.Translation[2]) && Gleich(w.Xrot, k.Rotation[0]) &&
                    Gleich(w.Yrot, k.Rotation[1]) && Gleich(w.Zrot, k.Rotation[2]));
    }

    // The import's one walk through the tree places every shape as the shape alone does.
    pavolant::TSplinePunkte liste;
    const std::vector<int> alle = pavolant::AlleShapes(szene);
    pavolant::PunkteUebernehmen(liste, szene, alle);
    Pruefen(liste.AnzahlPunkte() ==
            static_cast<int>(std::min<std::size_t>(alle.size(), pavolant::TSplinePunkte::kMaxPunkte)));
    for (int i = 0; i < liste.AnzahlPunkte(); ++i) {
        const auto w = pavolant::Weltlage(szene, alle[static_cast<std::size_t>(i)]);
        const auto& p = *liste.Punkt(i);
        Pruefen(Gleich(w.X, p.X) && Gleich(w.Y, p.Y) && Gleich(w.Z, p.Z) && Gleich(w.Xrot, p.Xrot) &&
                Gleich(w.Yrot, p.Yrot) && Gleich(w.Zrot, p.Zrot));
        Pruefen(p.Name == szene.Knoten[static_cast<std::size_t>(alle[static_cast<std::size_t>(i)])].Name);
    }

    if (!szene.SzeneGefunden) return 0;
    const I3dSzene wieder = pavolant::LeseI3dSzeneAusText(Geschrieben(szene), "wieder.i3d");
    Pruefen(wieder.Knoten.size() == szene.Knoten.size());
    for (std::size_t i = 0; i < szene.Knoten.size(); ++i) {
        const auto &a = szene.Knoten[i], &b = wieder.Knoten[i];
        Pruefen(a.Element == b.Element && a.Name == b.Name && a.Eltern == b.Eltern &&
                a.Shapenummer == b.Shapenummer);
        for (std::size_t j = 0; j < 3; ++j)
            Pruefen(Gleich(a.Translation[j], b.Translation[j]) && Gleich(a.Rotation[j], b.Rotation[j]) &&
                    Gleich(a.Skalierung[j], b.Skalierung[j]));
    }
    return 0;
}
