#include "model/Gelaendeformung.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace pavolant {

namespace {

// A grid of pixel centres: pixel (i, j) lies at X0 + i SX, Z0 + j SZ.
struct Gitter {
    double X0 = 0, Z0 = 0, SX = 1, SZ = 1;
    int Breite = 0, Hoehe = 0;
};

// What the rasteriser tells about one pixel centre inside one triangle.
struct Treffer {
    int Spalte, Zeile;
    double Hoehe;    // the triangle's height there, metres
    double GX, GZ;   // the triangle's slope dY/dX and dY/dZ
    int Verbindung;  // the connection the triangle belongs to
    bool Fahrbahn;   // roadway or border
};

bool Gelassen(const std::vector<bool>& gelassen, std::size_t c) { return c < gelassen.size() && gelassen[c]; }

// Calls f(Treffer) for every pixel centre of `gitter` that lies in a triangle of the
// footprint (edges included, so a centre on an edge two triangles share is met twice).
// Triangles seen edge-on from above, or with coordinates that are no numbers, cover nothing.
template <class F>
void Rastern(const Gitter& gitter, const Netz& netz, const std::vector<Deckflaeche>& flaechen,
             const std::vector<bool>& gelassen, F f) {
    for (const Deckflaeche& flaeche : flaechen) {
        if (flaeche.Subset < 0 || static_cast<std::size_t>(flaeche.Subset) >= netz.Subsets.size()) continue;
        const NetzSubset& s = netz.Subsets[static_cast<std::size_t>(flaeche.Subset)];
        const std::int64_t erstes = s.ErsterIndex / 3, anzahl = s.AnzahlIndizes / 3;
        const std::size_t verbindungen = flaeche.ErstesDreieck.size();
        for (std::size_t c = 0; c < verbindungen; ++c) {
            if (Gelassen(gelassen, c)) continue;
            const std::int64_t von = std::clamp<std::int64_t>(flaeche.ErstesDreieck[c], 0, anzahl);
            const std::int64_t bis = c + 1 < verbindungen
                                         ? std::clamp<std::int64_t>(flaeche.ErstesDreieck[c + 1], von, anzahl)
                                         : anzahl;
            for (std::int64_t t = erstes + von; t < erstes + bis; ++t) {
                const NetzDreieck& d = netz.Dreiecke[static_cast<std::size_t>(t)];
                const NetzVertex& a = netz.Vertices[static_cast<std::size_t>(d.A)];
                const NetzVertex& b = netz.Vertices[static_cast<std::size_t>(d.B)];
                const NetzVertex& cc = netz.Vertices[static_cast<std::size_t>(d.C)];
                // Grid coordinates of the corners.
                const double u[3] = {(a.X - gitter.X0) / gitter.SX, (b.X - gitter.X0) / gitter.SX,
                                     (cc.X - gitter.X0) / gitter.SX};
                const double v[3] = {(a.Z - gitter.Z0) / gitter.SZ, (b.Z - gitter.Z0) / gitter.SZ,
                                     (cc.Z - gitter.Z0) / gitter.SZ};
                const double y[3] = {a.Y, b.Y, cc.Y};
                const double flaeche2 = (u[1] - u[0]) * (v[2] - v[0]) - (u[2] - u[0]) * (v[1] - v[0]);
                if (!std::isfinite(flaeche2) || !std::isfinite(y[0] + y[1] + y[2]) ||
                    std::fabs(flaeche2) < 1e-12)
                    continue;
                // The plane's slopes in world units.
                const double dx1 = b.X - a.X, dz1 = b.Z - a.Z, dx2 = cc.X - a.X, dz2 = cc.Z - a.Z;
                const double det = dx1 * dz2 - dx2 * dz1;
                const double gx = ((y[1] - y[0]) * dz2 - (y[2] - y[0]) * dz1) / det;
                const double gz = (dx1 * (y[2] - y[0]) - dx2 * (y[1] - y[0])) / det;

                const double vmin = std::min({v[0], v[1], v[2]}), vmax = std::max({v[0], v[1], v[2]});
                const int j0 = static_cast<int>(std::max(0.0, std::ceil(vmin)));
                const int j1 = static_cast<int>(std::min(gitter.Hoehe - 1.0, std::floor(vmax)));
                const double umin = std::min({u[0], u[1], u[2]}), umax = std::max({u[0], u[1], u[2]});
                const double vz = flaeche2 > 0 ? 1.0 : -1.0;
                for (int j = j0; j <= j1; ++j) {
                    // The row's span over the three edges, a pixel wider for the rounding;
                    // the edge functions decide.
                    double lo = umax, hi = umin;
                    for (int k = 0; k < 3; ++k) {
                        const int n = (k + 1) % 3;
                        const double va = v[k], vb = v[n];
                        if ((j < std::min(va, vb)) || (j > std::max(va, vb))) continue;
                        const double uu =
                            va == vb ? std::min(u[k], u[n]) : u[k] + (j - va) / (vb - va) * (u[n] - u[k]);
                        const double uu2 = va == vb ? std::max(u[k], u[n]) : uu;
                        lo = std::min(lo, uu);
                        hi = std::max(hi, uu2);
                    }
                    const int i0 = static_cast<int>(std::max(0.0, std::ceil(lo) - 1));
                    const int i1 = static_cast<int>(std::min(gitter.Breite - 1.0, std::floor(hi) + 1));
                    for (int i = i0; i <= i1; ++i) {
                        const double w0 = vz * ((u[2] - u[1]) * (j - v[1]) - (i - u[1]) * (v[2] - v[1]));
                        const double w1 = vz * ((u[0] - u[2]) * (j - v[2]) - (i - u[2]) * (v[0] - v[2]));
                        const double w2 = vz * ((u[1] - u[0]) * (j - v[0]) - (i - u[0]) * (v[1] - v[0]));
                        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
                        const double h = (w0 * y[0] + w1 * y[1] + w2 * y[2]) / std::fabs(flaeche2);
                        f(Treffer{i, j, h, gx, gz, static_cast<int>(c), flaeche.Fahrbahn});
                    }
                }
            }
        }
    }
}

// One footprint pixel: the lowest surface over it, that surface's slopes, where it lies
// in the box, and the range of connections that cover it.
struct Fusspunkt {
    float Hoehe, GX, GZ;
    std::int32_t Spalte, Zeile;
    std::int32_t VonVerbindung, BisVerbindung;
};

// Smoothstep: 0 at 0, 1 at 1, zero slope at both ends.
double Glatt(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// The exact Euclidean distance transform with nearest-pixel labels (Felzenszwalb and
// Huttenlocher), in place over the box: `marke` holds for each footprint pixel its
// Fusspunkt index and -1 elsewhere, and afterwards for every pixel the index of a
// nearest footprint pixel (-1 where there is none at all). Linear in the box's pixels;
// beside the box, work arrays of one row.
void Abstandstransformation(std::vector<std::int32_t>& marke, const std::vector<Fusspunkt>& punkte,
                            int breite, int hoehe) {
    const auto w = static_cast<std::size_t>(breite);
    // Along the columns, row by row (the memory's order): first the nearest footprint
    // pixel above, then the nearer of that and the nearest below.
    for (int j = 1; j < hoehe; ++j) {
        std::int32_t* zeile = &marke[static_cast<std::size_t>(j) * w];
        const std::int32_t* oben = zeile - w;
        for (std::size_t i = 0; i < w; ++i)
            if (zeile[i] < 0) zeile[i] = oben[i];
    }
    std::vector<std::int32_t> unten(w, -1);
    for (int j = hoehe - 1; j >= 0; --j) {
        std::int32_t* zeile = &marke[static_cast<std::size_t>(j) * w];
        for (std::size_t i = 0; i < w; ++i) {
            const std::int32_t m = zeile[i];
            if (m >= 0 && punkte[static_cast<std::size_t>(m)].Zeile == j) {
                unten[i] = m;  // the pixel is in the footprint itself
                continue;
            }
            const std::int32_t u = unten[i];
            if (u < 0) continue;
            if (m < 0 ||
                punkte[static_cast<std::size_t>(u)].Zeile - j < j - punkte[static_cast<std::size_t>(m)].Zeile)
                zeile[i] = u;
        }
    }
    // Along the rows: the lower envelope of the parabolas (q - i)^2 + f(q), f(q) the
    // squared row distance the column pass found at q.
    std::vector<std::int32_t> spalte(w);  // this row's column result
    std::vector<int> v(w);                // the envelope's parabolas
    std::vector<double> z(w + 1);         // where each takes over
    const double unendlich = std::numeric_limits<double>::infinity();
    for (int j = 0; j < hoehe; ++j) {
        std::int32_t* zeile = &marke[static_cast<std::size_t>(j) * w];
        std::copy(zeile, zeile + w, spalte.begin());
        auto fq = [&](int q) {
            const double d = punkte[static_cast<std::size_t>(spalte[static_cast<std::size_t>(q)])].Zeile - j;
            return d * d;
        };
        int k = -1;
        for (int q = 0; q < breite; ++q) {
            if (spalte[static_cast<std::size_t>(q)] < 0) continue;
            const double f = fq(q) + static_cast<double>(q) * q;
            while (k >= 0) {
                const int p = v[static_cast<std::size_t>(k)];
                const double s = (f - (fq(p) + static_cast<double>(p) * p)) / (2.0 * (q - p));
                if (s <= z[static_cast<std::size_t>(k)]) {
                    --k;
                    continue;
                }
                ++k;
                v[static_cast<std::size_t>(k)] = q;
                z[static_cast<std::size_t>(k)] = s;
                z[static_cast<std::size_t>(k) + 1] = unendlich;
                break;
            }
            if (k < 0) {
                k = 0;
                v[0] = q;
                z[0] = -unendlich;
                z[1] = unendlich;
            }
        }
        if (k < 0) continue;  // no footprint pixel in any column: the row stays -1
        int r = 0;
        for (int i = 0; i < breite; ++i) {
            while (z[static_cast<std::size_t>(r) + 1] < i) ++r;
            zeile[i] = spalte[static_cast<std::size_t>(v[static_cast<std::size_t>(r)])];
        }
    }
}

}  // namespace

Formergebnis GelaendeFormen(const Gelaende& boden, const Netz& netz, const std::vector<Deckflaeche>& flaechen,
                            const Formvorgaben& vorgaben) {
    Formergebnis ergebnis;
    if (boden.Leer()) return ergebnis;
    const int W = boden.Raster.Breite, H = boden.Raster.Hoehe;
    ergebnis.Werte.assign(
        boden.Raster.Werte.get(),
        boden.Raster.Werte.get() + static_cast<std::size_t>(W) * static_cast<std::size_t>(H));
    const double upp = boden.UnitsPerPixel;
    const Gitter bild{boden.XVonSpalte(0), boden.ZVonZeile(0), upp, upp, W, H};

    // The footprint's box in pixels, then widened by the reach of margin and falloff.
    int s0 = W, s1 = -1, z0 = H, z1 = -1;
    Rastern(bild, netz, flaechen, vorgaben.GelasseneVerbindungen, [&](const Treffer& t) {
        s0 = std::min(s0, t.Spalte);
        s1 = std::max(s1, t.Spalte);
        z0 = std::min(z0, t.Zeile);
        z1 = std::max(z1, t.Zeile);
    });
    if (s1 < 0) return ergebnis;
    const double rand = std::max(0.0, vorgaben.Rand), auslauf = std::max(0.0, vorgaben.Auslauf);
    const double reichweite = rand + auslauf;  // metres from a footprint pixel's centre
    const double reichPixel = std::min(std::ceil(reichweite / upp), static_cast<double>(std::max(W, H)));
    const int r = static_cast<int>(reichPixel);
    s0 = std::max(0, s0 - r);
    z0 = std::max(0, z0 - r);
    s1 = std::min(W - 1, s1 + r);
    z1 = std::min(H - 1, z1 + r);
    const int bw = s1 - s0 + 1, bh = z1 - z0 + 1;
    const auto bwz = static_cast<std::size_t>(bw);

    // The footprint: for every pixel the lowest surface over it, minus the depth.
    std::vector<std::int32_t> marke(bwz * static_cast<std::size_t>(bh), -1);
    std::vector<Fusspunkt> punkte;
    const double tiefe = vorgaben.Tiefe;
    Rastern(bild, netz, flaechen, vorgaben.GelasseneVerbindungen, [&](const Treffer& t) {
        const int i = t.Spalte - s0, j = t.Zeile - z0;
        std::int32_t& m = marke[static_cast<std::size_t>(j) * bwz + static_cast<std::size_t>(i)];
        const auto h = static_cast<float>(t.Hoehe - tiefe);
        if (m < 0) {
            m = static_cast<std::int32_t>(punkte.size());
            punkte.push_back(
                {h, static_cast<float>(t.GX), static_cast<float>(t.GZ), i, j, t.Verbindung, t.Verbindung});
            return;
        }
        Fusspunkt& p = punkte[static_cast<std::size_t>(m)];
        p.VonVerbindung = std::min(p.VonVerbindung, t.Verbindung);
        p.BisVerbindung = std::max(p.BisVerbindung, t.Verbindung);
        if (h < p.Hoehe) {
            p.Hoehe = h;
            p.GX = static_cast<float>(t.GX);
            p.GZ = static_cast<float>(t.GZ);
        }
    });
    Formbericht& bericht = ergebnis.Bericht;
    for (const Fusspunkt& p : punkte)
        if (p.BisVerbindung - p.VonVerbindung > 1) ++bericht.Kreuzungspixel;

    Abstandstransformation(marke, punkte, bw, bh);

    // Every pixel within reach: the footprint's height, the margin's, or the blend of
    // the margin's edge with the ground over the falloff.
    const double hs = boden.HeightScale, versatzY = boden.Versatz[1];
    const double pixelflaeche = upp * upp;
    const bool heben = vorgaben.Modus != Formvorgaben::Art::NurSenken;
    const bool senken = vorgaben.Modus != Formvorgaben::Art::NurHeben;
    double niedrigste = std::numeric_limits<double>::infinity(), hoechste = -niedrigste;
    for (int j = 0; j < bh; ++j) {
        for (int i = 0; i < bw; ++i) {
            const std::int32_t m = marke[static_cast<std::size_t>(j) * bwz + static_cast<std::size_t>(i)];
            if (m < 0) continue;
            const Fusspunkt& p = punkte[static_cast<std::size_t>(m)];
            const double dx = (i - p.Spalte) * upp, dz = (j - p.Zeile) * upp;
            const double d = std::sqrt(dx * dx + dz * dz);
            if (d > reichweite) continue;  // at the falloff's end the ground is back
            std::uint16_t& wert =
                ergebnis.Werte[static_cast<std::size_t>(j + z0) * static_cast<std::size_t>(W) +
                               static_cast<std::size_t>(i + s0)];
            const double alt = boden.HoeheVonWert(wert);
            // The margin continues the surface's own plane outwards (held at the margin's
            // edge through the falloff), so a banked road keeps its cross-slope beside it.
            // The slope is held to 1 m/m: a face seen nearly edge-on from above (a kerb's
            // side) has a plane too steep to carry on.
            double h = p.Hoehe;
            if (d > 0) {
                const double a = std::min(1.0, rand / d), weg = std::min(d, rand);
                h += std::clamp((p.GX * dx + p.GZ * dz) * a, -weg, weg);
                if (d > rand && auslauf > 0) h += (alt - h) * Glatt((d - rand) / auslauf);
            }
            if (std::isnan(h) || (h > alt && !heben) || (h < alt && !senken)) continue;
            niedrigste = std::min(niedrigste, h);
            hoechste = std::max(hoechste, h);
            const double roh = std::round((h - versatzY) / hs * 65535.0);
            if (!(roh >= 0 && roh <= 65535)) ++bericht.GekapptePixel;
            const auto neu =
                static_cast<std::uint16_t>(std::isnan(roh) ? wert : std::clamp(roh, 0.0, 65535.0));
            if (neu == wert) continue;
            const double aenderung = (static_cast<double>(neu) - wert) / 65535.0 * hs;
            ++bericht.GeaendertePixel;
            if (aenderung > 0)
                bericht.Auftrag += aenderung * pixelflaeche;
            else
                bericht.Abtrag -= aenderung * pixelflaeche;
            bericht.GroessteAenderung = std::max(bericht.GroessteAenderung, std::fabs(aenderung));
            wert = neu;
        }
    }
    if (hoechste >= niedrigste) {
        bericht.NiedrigsteGewollt = niedrigste;
        bericht.HoechsteGewollt = hoechste;
    }
    return ergebnis;
}

Fussabdruckmasken FussabdruckMasken(const Gelaende& boden, const Netz& netz,
                                    const std::vector<Deckflaeche>& flaechen,
                                    const std::vector<bool>& gelasseneVerbindungen,
                                    std::optional<std::array<int, 2>> groesse) {
    Fussabdruckmasken masken;
    if (boden.Leer()) return masken;
    const double breiteM = boden.BreiteInMetern(), tiefeM = boden.TiefeInMetern();
    int mw = 0, mh = 0;
    if (groesse) {
        mw = (*groesse)[0];
        mh = (*groesse)[1];
    } else {
        mw = static_cast<int>(std::lround(breiteM));
        mh = static_cast<int>(std::lround(tiefeM));
    }
    mw = std::max(mw, 1);
    mh = std::max(mh, 1);
    // Mask pixels tile the area; their centres lie half a pixel inside its edges, and the
    // mask's centre is the terrain's.
    const double sx = breiteM > 0 ? breiteM / mw : boden.UnitsPerPixel;
    const double sz = tiefeM > 0 ? tiefeM / mh : boden.UnitsPerPixel;
    const Gitter gitter{
        boden.Versatz[0] - (mw - 1) / 2.0 * sx, boden.Versatz[2] - (mh - 1) / 2.0 * sz, sx, sz, mw, mh};
    const std::size_t n = static_cast<std::size_t>(mw) * static_cast<std::size_t>(mh);
    masken.Fahrbahn = {mw, mh, std::vector<std::uint8_t>(n, 0)};
    masken.Raender = {mw, mh, std::vector<std::uint8_t>(n, 0)};
    Rastern(gitter, netz, flaechen, gelasseneVerbindungen, [&](const Treffer& t) {
        Maske& m = t.Fahrbahn ? masken.Fahrbahn : masken.Raender;
        m.Werte[static_cast<std::size_t>(t.Zeile) * static_cast<std::size_t>(mw) +
                static_cast<std::size_t>(t.Spalte)] = 255;
    });
    return masken;
}

}  // namespace pavolant
