#include "generator/Randstreifen.h"

#include "generator/Fahrbahnlauf.h"
#include "model/Text.h"

#include <algorithm>
#include <cmath>

namespace pavolant::erzeugung {

namespace {

// The texture coordinate along a border, section by section: it starts at -7 and mirrors
// (or resets) like the roadway's, judged on the value just written. Calls schnitt(i, v)
// for the section on edge point i and, where the coordinate resets, kopie(i, w) for the
// copy of that section a whole number of texture lengths lower.
template <class Schnitt, class Kopie>
void RandKoordinaten(const TRandPunkte& rand, const std::vector<TPunkt>& kante, Schnitt schnitt,
                     Kopie kopie) {
    const auto anzahl = kante.size();
    double w = -7;
    int f = 1;
    const TPunkt* vorige = &kante.front();
    TPunkt delta;
    for (std::size_t i = 0; i < anzahl; ++i) {
        const TPunkt& basis = kante[i];
        basis.Differenz(*vorige, delta);
        const double d = delta.Betrag();
        vorige = &basis;
        const double v = d / rand.TexturLaenge * f + w;
        schnitt(i, v);
        bool ruecksetzen = false;
        if (f == 1 && v >= 3.5) {
            if (rand.Ruecksetzen)
                ruecksetzen = i != anzahl - 1;
            else
                f = -1;
        }
        if (f == -1 && v <= -3.5) f = 1;
        w = v;
        if (ruecksetzen) {
            w = w - 7 - std::trunc(w);
            kopie(i, w);
        }
    }
}

// Writes one end face: the outline turned back upright, given the local normal, then
// turned and moved onto the centre point.
void Stirnseite(const TPunkteSammlung& umriss, const TPunkt& cp, double normaleZ, Netz& netz) {
    TPunkt v;
    for (int i = 0; i < umriss.AnzahlPunkte(); ++i) {
        v.Kopieren(*umriss.Punkt(i));
        v.DreheX(-kPi / 2);
        v.NX = 0;
        v.NY = 0;
        v.NZ = normaleZ;
        v.DreheZ(cp.Zrot);
        v.DreheY(cp.Yrot);
        v.X += cp.X;
        v.Y += cp.Y;
        v.Z += cp.Z;
        netz.VertexSchreiben(v);
    }
}

}  // namespace

std::pair<std::int64_t, std::int64_t> RandstreifenGroesse(const TRandPunkte& rand,
                                                          const std::vector<TPunkt>& kante) {
    const std::int64_t m = rand.AnzahlSegmente();
    std::int64_t schnitte = 0;
    auto zaehlen = [&schnitte](std::size_t, double) { ++schnitte; };
    RandKoordinaten(rand, kante, zaehlen, zaehlen);
    const auto basispunkte = static_cast<std::int64_t>(kante.size());
    return {schnitte * m, (basispunkte - 1) * 2 * std::max<std::int64_t>(m - 1, 0)};
}

void Randstreifen(const TRandPunkte& rand, bool rechts, const std::vector<TPunkt>& kante, Netz& netz) {
    const std::int32_t m = rand.AnzahlSegmente();
    TPunkt p;
    auto abschnitt = [&](std::size_t i, double v) {
        const Drehwinkel d(kante[i]);  // one evaluation for the whole cross-section
        for (std::int32_t j = 0; j < m; ++j) {
            rand.RandPunkt(kante[i], d, p, j);
            p.V = v;
            netz.VertexSchreiben(p);
        }
    };
    auto schnitt = [&](std::size_t i, double v) {
        abschnitt(i, v);
        if (i == 0) return;
        const std::int32_t k = netz.AnzVertices();
        for (std::int32_t j = 0; j + 1 < m; ++j) {
            const std::int32_t a = k - 2 * m + j, b = k - m + j;  // previous and this section
            if (rechts) {
                netz.DreieckSchreiben(a, a + 1, b);
                netz.DreieckSchreiben(a + 1, b + 1, b);
            } else {
                netz.DreieckSchreiben(a + 1, a, b);
                netz.DreieckSchreiben(a + 1, b, b + 1);
            }
        }
    };
    RandKoordinaten(rand, kante, schnitt, abschnitt);
}

bool Stirnflaechen(TFuellFlaeche& fuellung, const TRandPunkte& randR, const TRandPunkte& randL, double breite,
                   const std::optional<TPunkt>& ersterMittelpunkt, const TPunkt& letzterMittelpunkt,
                   Netz& netz, Melder& melder) {
    fuellung.Leeren();
    TPunkt s, q;
    s.X = -breite / 2;
    for (int j = 0; j < randR.AnzahlSegmente(); ++j) {
        randR.RandPunkt(s, q, j);
        q.DreheX(kPi / 2);  // lay the cross-section into the X-Z plane
        fuellung.Punkte.Punkt(fuellung.Punkte.NeuerPunkt())->Kopieren(q);
    }
    s.Nullsetzen();
    s.X = breite / 2;
    for (int j = randL.AnzahlSegmente() - 1; j >= 0; --j) {
        randL.RandPunkt(s, q, j);
        q.DreheX(kPi / 2);
        fuellung.Punkte.Punkt(fuellung.Punkte.NeuerPunkt())->Kopieren(q);
    }
    if (fuellung.Punkte.AnzahlPunkte() < 3 || !ersterMittelpunkt) {
        melder.Information(Tr("Die Füllfläche hat weniger als drei Umrisspunkte und wird nicht erzeugt."));
        return false;
    }
    fuellung.Fuellen(netz.Dreiecke, netz.AnzVertices(), true, melder);
    Stirnseite(fuellung.Punkte, *ersterMittelpunkt, -1.0, netz);
    netz.SubsetAbschliessen();
    fuellung.Fuellen(netz.Dreiecke, netz.AnzVertices(), false, melder);
    Stirnseite(fuellung.Punkte, letzterMittelpunkt, 1.0, netz);
    return true;
}

}  // namespace pavolant::erzeugung
