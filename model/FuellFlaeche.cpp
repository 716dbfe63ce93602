#include "model/FuellFlaeche.h"

#include "model/Text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <utility>

namespace pavolant {

namespace {

// The in-place quicksort of the candidate list on positions links .. rechts. Which of
// several equal candidates ends last depends on these exact steps (pivot taken by
// value from the middle position, Hoare scans, recursion on the left part and a loop
// on the right one), so they must not be replaced by a library sort.
//
// The scans stay inside the range: VergleicheWert(x, x) is 0 for every x, so the
// pivot's own record stops both scans in the first round, and after every swap the
// records left of i compare <= 0 and those right of j >= 0 with the pivot, which stops
// them later on.
//
// Without `mitLinkerSeite` only the outer loop runs: a partition of [links, rechts] swaps
// at least once, so its left part [links, j] ends before rechts, and the sort of that
// part moves records only within it. What ends at rechts is then already final.
void QuickSort(std::vector<TFFrec>& liste, int links, int rechts, bool mitLinkerSeite = true) {
    int i = 0;
    do {
        i = links;
        int j = rechts;
        const TFFrec pivot = liste[static_cast<std::size_t>((links + rechts) / 2)];
        do {
            while (TFuellFlaeche::VergleicheWert(liste[static_cast<std::size_t>(i)], pivot) < 0) ++i;
            while (TFuellFlaeche::VergleicheWert(liste[static_cast<std::size_t>(j)], pivot) > 0) --j;
            if (i <= j) {
                std::swap(liste[static_cast<std::size_t>(i)], liste[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (mitLinkerSeite && links < j) QuickSort(liste, links, j);
        links = i;
    } while (i < rechts);
}

// d / groesse for a texture coordinate; a size of 0 or one that is not finite gives 0,
// so no division by zero can put an infinity or NaN into the document.
double Texturkoordinate(double d, double groesse) {
    if (groesse == 0 || !std::isfinite(groesse)) return 0;
    return d / groesse;
}

}  // namespace

// A zero chord (previous and next corner coincide: a needle out of the outline, a slit
// into it, or three equal points) leaves the formula undefined; the cross product is
// then exactly 0 as well, since b = -a (a difference changes only its sign when its
// operands swap). Such a corner gets the largest key,
// so it is clipped first: its triangle (corner, previous, next) has zero area whatever
// the winding, and removing the corner leaves an outline that encloses exactly the same
// region, so nothing is lost. Left in place, a needle would later be joined to distant
// corners and give triangles outside the face. This is also the limit of a convex
// corner whose chord shrinks towards zero.
//
// Every key is clamped to +-kSchluesselGrenze, and a NaN (only from coordinates that
// are not finite or whose squares overflow) becomes 0, a straight corner: the sort and
// its comparison never see anything but finite keys.
double TFuellFlaeche::OhrSchluessel(const TPunkt& a, const TPunkt& b, const TPunkt& sehne) {
    const double grenze = kSchluesselGrenze;
    const double laengeSehne = sehne.BetragXZ();
    if (laengeSehne == 0) return grenze;
    const double kreuz = KreuzproduktY(a, b);
    const double s = kreuz > 0 ? 1.0 : (kreuz < 0 ? -1.0 : 0.0);  // NaN counts as 0
    const double wert = -s * (a.BetragXZ() + b.BetragXZ()) / laengeSehne;
    if (std::isnan(wert)) return 0;
    return std::clamp(wert, -grenze, grenze);
}

int TFuellFlaeche::VergleicheWert(const TFFrec& x, const TFFrec& y) {
    const double d = (x.Wert - y.Wert) * 100.0;
    if (std::isnan(d)) return 0;
    // Clamped first: converting a double outside the int range is undefined.
    const double begrenzt = std::clamp(d, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
    return static_cast<int>(begrenzt);  // truncates towards zero
}

void TFuellFlaeche::Sortieren(std::vector<TFFrec>& liste) {
    // The middle position of an empty range would lie outside it.
    if (liste.size() < 2) return;
    if (liste.size() > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("Zu viele Kandidaten zum Sortieren");
    QuickSort(liste, 0, static_cast<int>(liste.size()) - 1);
}

int TFuellFlaeche::Letzter(std::vector<TFFrec>& liste) {
    if (liste.empty()) throw std::invalid_argument("Keine Kandidaten");
    if (liste.size() > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("Zu viele Kandidaten zum Sortieren");
    // Only the right parts decide the last position: linear on average, not n log n.
    const int rechts = static_cast<int>(liste.size()) - 1;
    QuickSort(liste, 0, rechts, false);
    return liste[static_cast<std::size_t>(rechts)].Index;
}

void TFuellFlaeche::Leeren() {
    for (int i = Punkte.AnzahlPunkte() - 1; i >= 0; --i) Punkte.PunktLoeschen(i);
}

int TFuellFlaeche::Fuellen(std::vector<NetzDreieck>& dreiecke, std::int32_t basis, bool umlauf,
                           Melder& melder) {
    const int n = Punkte.AnzahlPunkte();
    // Every index written is a position of Punkte plus basis; checked here so that the
    // additions below cannot overflow and no index can be negative.
    if (basis < 0 || (n > 0 && basis > std::numeric_limits<std::int32_t>::max() - (n - 1)))
        throw std::out_of_range("Vertexindex der Füllfläche außerhalb des 32-bit-Bereichs");

    // Texture coordinates: a flat projection on the X-Z plane with the origin at the
    // centroid; U grows towards -X and V towards -Z (axes swapped with TauschHB).
    Punkte.BerechneSchwerpunkt();
    const TPunkt& schwerpunkt = Punkte.Schwerpunkt;
    for (int i = 0; i < n; ++i) {
        TPunkt& p = *Punkte.Punkt(i);
        const double dx = schwerpunkt.X - p.X;
        const double dz = schwerpunkt.Z - p.Z;
        p.U = Texturkoordinate(TauschHB ? dz : dx, TexturBreite);
        p.V = Texturkoordinate(TauschHB ? dx : dz, TexturHoehe);
    }

    if (n < 3) return 0;  // no triangle to build; the caller reports it

    // Reserved up front so that appending cannot fail half-way: all or nothing.
    dreiecke.reserve(dreiecke.size() + static_cast<std::size_t>(n - 2));

    // Working outline W: positions in Punkte, in outline order, and the ear key of each
    // corner. Both shrink by one per clipped ear. Clipping corner k changes the corners
    // around it only for its two neighbours, so only their keys are computed again: every
    // key equals what a computation over the whole outline would give in that pass.
    std::vector<int> w(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) w[static_cast<std::size_t>(i)] = i;
    std::vector<double> schluessel(static_cast<std::size_t>(n));
    std::vector<TFFrec> kandidaten(static_cast<std::size_t>(n));

    auto nummer = [&](int k) { return w[static_cast<std::size_t>(k)] + basis; };
    auto punkt = [&](int k) -> const TPunkt& { return *Punkte.Punkt(w[static_cast<std::size_t>(k)]); };
    TPunkt kanteEin, kanteAus, sehne;
    auto schluesselVon = [&](int k, int m) {
        const int prev = k == 0 ? m - 1 : k - 1;
        const int next = k == m - 1 ? 0 : k + 1;
        punkt(k).Differenz(punkt(prev), kanteEin);
        punkt(next).Differenz(punkt(k), kanteAus);
        punkt(next).Differenz(punkt(prev), sehne);
        schluessel[static_cast<std::size_t>(k)] = OhrSchluessel(kanteEin, kanteAus, sehne);
    };
    for (int k = 0; k < n; ++k) schluesselVon(k, n);

    int anzahl = 0;
    int m = n;
    while (m >= 4) {
        // The list enters the selection in corner order, as the full sort would see it.
        for (int k = 0; k < m; ++k)
            kandidaten[static_cast<std::size_t>(k)] = {k, schluessel[static_cast<std::size_t>(k)]};
        kandidaten.resize(static_cast<std::size_t>(m));

        // The ear: the candidate that the ascending sort would put last.
        const int k = Letzter(kandidaten);
        const int prev = k == 0 ? m - 1 : k - 1;
        const int next = k == m - 1 ? 0 : k + 1;
        if (umlauf)
            dreiecke.push_back({nummer(k), nummer(prev), nummer(next)});
        else
            dreiecke.push_back({nummer(k), nummer(next), nummer(prev)});
        ++anzahl;

        w.erase(w.begin() + k);
        schluessel.erase(schluessel.begin() + k);
        --m;
        if (w.size() != static_cast<std::size_t>(m) || schluessel.size() != w.size()) {
            melder.Information(Tr("interner Fehler beim Füllen"));
            break;
        }
        // The neighbours, at their positions after the erase.
        const int vorher = k == 0 ? m - 1 : k - 1;
        const int nachher = k == m ? 0 : k;
        schluesselVon(vorher, m);
        schluesselVon(nachher, m);
    }

    if (umlauf)
        dreiecke.push_back({nummer(0), nummer(2), nummer(1)});
    else
        dreiecke.push_back({nummer(0), nummer(1), nummer(2)});
    ++anzahl;
    return anzahl;
}

}  // namespace pavolant
