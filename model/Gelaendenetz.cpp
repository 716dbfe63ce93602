#include "model/Gelaendenetz.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pavolant {

namespace {

// The pixel columns s0..s1 and rows r0..r1 around an area, clipped to the terrain; at
// least one cell (s0 < s1, r0 < r1) or none.
struct Pixelbereich {
    int S0 = 0, S1 = 0, R0 = 0, R1 = 0;
    bool Gueltig = false;
};

Pixelbereich Zuschneiden(const Gelaende& g, const Planrechteck& b) {
    Pixelbereich p;
    if (g.Leer() || b.Leer()) return p;
    // Clamped in double first: an area far outside must not overflow an int. NaN (a
    // broken unitsPerPixel) fails the comparisons below and leaves nothing.
    const double s0 = std::max(std::floor(g.SpalteVonX(b.MinX)), 0.0);
    const double s1 = std::min(std::ceil(g.SpalteVonX(b.MaxX)), g.Raster.Breite - 1.0);
    const double r0 = std::max(std::floor(g.ZeileVonZ(b.MinZ)), 0.0);
    const double r1 = std::min(std::ceil(g.ZeileVonZ(b.MaxZ)), g.Raster.Hoehe - 1.0);
    if (!(s0 < s1 && r0 < r1)) return p;
    p.S0 = static_cast<int>(s0), p.S1 = static_cast<int>(s1);
    p.R0 = static_cast<int>(r0), p.R1 = static_cast<int>(r1);
    p.Gueltig = true;
    return p;
}

// from, from + schritt, ... below bis, then bis itself.
std::vector<int> Linien(int von, int bis, int schritt) {
    std::vector<int> l;
    for (long long i = von; i < bis; i += schritt) l.push_back(static_cast<int>(i));
    l.push_back(bis);
    return l;
}

constexpr double kLichtX = -0.5, kLichtY = 0.70710678118654752, kLichtZ = -0.5;  // from the NW, 45 degrees up

}  // namespace

double Reliefschatten(double dhdx, double dhdz) {
    // The surface's upward normal is (-dhdx, 1, -dhdz), normalised.
    const double laenge = std::sqrt(dhdx * dhdx + 1 + dhdz * dhdz);
    const double s = (-dhdx * kLichtX + kLichtY - dhdz * kLichtZ) / laenge;
    return std::isfinite(s) ? std::clamp(s, 0.0, 1.0) : 0.0;
}

Gelaendenetz GelaendenetzBauen(const Gelaende& g, const Planrechteck& bereich,
                               std::size_t hoechstensDreiecke) {
    Gelaendenetz netz;
    const Pixelbereich p = Zuschneiden(g, bereich);
    if (!p.Gueltig || hoechstensDreiecke < 2) return netz;
    const long long breite = p.S1 - p.S0, tiefe = p.R1 - p.R0;  // cells at step 1
    auto dreiecke = [&](long long k) {
        return 2.0 * static_cast<double>((breite + k - 1) / k) * static_cast<double>((tiefe + k - 1) / k);
    };
    const double grenze = static_cast<double>(hoechstensDreiecke);
    // The square root's guess, then the least step that keeps under the bound.
    long long k = std::max(1LL, static_cast<long long>(std::sqrt(2.0 * breite * tiefe / grenze)));
    while (k > 1 && dreiecke(k - 1) <= grenze) --k;
    while (dreiecke(k) > grenze) ++k;
    netz.Schritt = static_cast<int>(k);
    const std::vector<int> spalten = Linien(p.S0, p.S1, netz.Schritt);
    const std::vector<int> zeilen = Linien(p.R0, p.R1, netz.Schritt);

    auto hoehe = [&g](int s, int r) { return g.HoeheVonWert(g.Raster.Bei(s, r)); };
    double minY = std::numeric_limits<double>::infinity(), maxY = -minY;
    for (const int r : zeilen)
        for (const int s : spalten) {
            const double h = hoehe(s, r);
            minY = std::min(minY, h);
            maxY = std::max(maxY, h);
        }
    netz.Flaeche = {g.XVonSpalte(p.S0), g.ZVonZeile(p.R0), g.XVonSpalte(p.S1), g.ZVonZeile(p.R1)};
    netz.MinY = minY;
    netz.MaxY = maxY;
    netz.Ursprung = {(netz.Flaeche.MinX + netz.Flaeche.MaxX) / 2, (minY + maxY) / 2,
                     (netz.Flaeche.MinZ + netz.Flaeche.MaxZ) / 2};

    const std::size_t nx = spalten.size(), nz = zeilen.size();
    netz.Vertices.reserve(nx * nz * Gelaendenetz::kFloatsJeVertex);
    const int letzteSpalte = g.Raster.Breite - 1, letzteZeile = g.Raster.Hoehe - 1;
    for (const int r : zeilen) {
        const int oben = std::max(r - netz.Schritt, 0), unten = std::min(r + netz.Schritt, letzteZeile);
        const double z = g.ZVonZeile(r) - netz.Ursprung[2];
        for (const int s : spalten) {
            const int links = std::max(s - netz.Schritt, 0),
                      rechts = std::min(s + netz.Schritt, letzteSpalte);
            const double h = hoehe(s, r);
            const double dhdx = (hoehe(rechts, r) - hoehe(links, r)) / ((rechts - links) * g.UnitsPerPixel);
            const double dhdz = (hoehe(s, unten) - hoehe(s, oben)) / ((unten - oben) * g.UnitsPerPixel);
            const double laenge = std::sqrt(dhdx * dhdx + 1 + dhdz * dhdz);
            netz.Vertices.insert(netz.Vertices.end(),
                                 {static_cast<float>(g.XVonSpalte(s) - netz.Ursprung[0]),
                                  static_cast<float>(h - netz.Ursprung[1]), static_cast<float>(z),
                                  static_cast<float>(-dhdx / laenge), static_cast<float>(1 / laenge),
                                  static_cast<float>(-dhdz / laenge)});
        }
    }
    netz.Indizes.reserve((nx - 1) * (nz - 1) * 6);
    for (std::size_t j = 0; j + 1 < nz; ++j)
        for (std::size_t i = 0; i + 1 < nx; ++i) {
            const auto a = static_cast<std::uint32_t>(j * nx + i), b = a + 1;
            const auto c = static_cast<std::uint32_t>(a + nx), d = c + 1;
            netz.Indizes.insert(netz.Indizes.end(), {a, c, b, b, c, d});
        }
    return netz;
}

Reliefbild ReliefBauen(const Gelaende& g, const Planrechteck& bereich, double meterJePixel,
                       double hoehenlinien) {
    Reliefbild bild;
    const Pixelbereich p = Zuschneiden(g, bereich);
    if (!p.Gueltig || !(meterJePixel > 0) || !std::isfinite(meterJePixel)) return bild;
    // The area itself, clipped to the outermost pixel centres: beyond them is no ground.
    const Planrechteck b{std::max(bereich.MinX, g.XVonSpalte(0)), std::max(bereich.MinZ, g.ZVonZeile(0)),
                         std::min(bereich.MaxX, g.XVonSpalte(g.Raster.Breite - 1)),
                         std::min(bereich.MaxZ, g.ZVonZeile(g.Raster.Hoehe - 1))};
    if (b.Leer()) return bild;
    const double mpp = std::max(
        {meterJePixel, (b.MaxX - b.MinX) / kReliefHoechstens, (b.MaxZ - b.MinZ) / kReliefHoechstens});
    bild.Breite = std::max(1, static_cast<int>(std::ceil((b.MaxX - b.MinX) / mpp - 1e-9)));
    bild.Hoehe = std::max(1, static_cast<int>(std::ceil((b.MaxZ - b.MinZ) / mpp - 1e-9)));
    bild.Flaeche = {b.MinX, b.MinZ, b.MinX + bild.Breite * mpp, b.MinZ + bild.Hoehe * mpp};
    bild.Hoehenlinien = hoehenlinien > 0 && std::isfinite(hoehenlinien) ? hoehenlinien : 0;

    // Heights at the pixel centres with a ring of one pixel around them, NaN where there is
    // no ground; the slopes are central differences of these, one-sided beside a NaN.
    const std::size_t w = static_cast<std::size_t>(bild.Breite) + 2,
                      h = static_cast<std::size_t>(bild.Hoehe) + 2;
    std::vector<double> hoehen(w * h);
    for (std::size_t j = 0; j < h; ++j) {
        const double z = b.MinZ + (static_cast<double>(j) - 0.5) * mpp;
        for (std::size_t i = 0; i < w; ++i) {
            const double x = b.MinX + (static_cast<double>(i) - 0.5) * mpp;
            hoehen[j * w + i] = g.HoeheBei(x, z).value_or(std::nan(""));
        }
    }
    bild.Rgba.assign(static_cast<std::size_t>(bild.Breite) * bild.Hoehe * 4, 0);
    const auto stufe = [&bild](double y) { return std::floor(y / bild.Hoehenlinien); };
    for (std::size_t j = 1; j + 1 < h; ++j)
        for (std::size_t i = 1; i + 1 < w; ++i) {
            const double mitte = hoehen[j * w + i];
            if (std::isnan(mitte)) continue;
            auto steigung = [&](std::size_t vor, std::size_t nach) {
                const double a = std::isnan(hoehen[vor]) ? mitte : hoehen[vor];
                const double e = std::isnan(hoehen[nach]) ? mitte : hoehen[nach];
                const int schritte = (std::isnan(hoehen[vor]) ? 0 : 1) + (std::isnan(hoehen[nach]) ? 0 : 1);
                return schritte == 0 ? 0.0 : (e - a) / (schritte * mpp);
            };
            const double licht = Reliefschatten(steigung(j * w + i - 1, j * w + i + 1),
                                                steigung((j - 1) * w + i, (j + 1) * w + i));
            // A pale earth: the level ground (shade cos 45 degrees) at about its own
            // colour, slopes facing the light lighter, those facing away darker.
            const double faktor = 0.3 + licht;
            double rgb[3] = {221 * faktor, 214 * faktor, 190 * faktor};
            if (bild.Hoehenlinien > 0) {
                // A line where the level's step changes towards the right or lower neighbour.
                const double s = stufe(mitte);
                const double rechts = hoehen[j * w + i + 1], unten = hoehen[(j + 1) * w + i];
                if ((!std::isnan(rechts) && stufe(rechts) != s) ||
                    (!std::isnan(unten) && stufe(unten) != s)) {
                    const double linie[3] = {110, 80, 50};
                    for (int c = 0; c < 3; ++c) rgb[c] = (rgb[c] + linie[c]) / 2;
                }
            }
            std::uint8_t* px = &bild.Rgba[((j - 1) * static_cast<std::size_t>(bild.Breite) + (i - 1)) * 4];
            for (int c = 0; c < 3; ++c)
                px[c] = static_cast<std::uint8_t>(std::clamp(std::lround(rgb[c]), 0L, 255L));
            px[3] = 255;
        }
    return bild;
}

}  // namespace pavolant
