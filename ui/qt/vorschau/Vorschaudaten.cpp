#include "ui/qt/vorschau/Vorschaudaten.h"

#include "model/Text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace pavolant::qt {

namespace {

constexpr const char* kKeinLauf = TrVorgemerkt("No road yet: it is being built.");
constexpr const char* kKeinNetz =
    TrVorgemerkt("The last run built no road (it stopped or failed), so there is nothing to show.");
constexpr const char* kUnstimmig =
    TrVorgemerkt("The last run's mesh does not hold together; it is not shown.");
constexpr const char* kNichtsZuZeigen =
    TrVorgemerkt("The last run built neither a mesh part nor a line to show.");

// Double box over level points, widened point by point.
struct Quader {
    static constexpr double kUnendlich = std::numeric_limits<double>::infinity();
    std::array<double, 3> Min{kUnendlich, kUnendlich, kUnendlich}, Max{-kUnendlich, -kUnendlich, -kUnendlich};
    void Nehmen(double x, double y, double z) {
        const double p[3] = {x, y, z};
        for (std::size_t i = 0; i < 3; ++i) {
            Min[i] = std::min(Min[i], p[i]);
            Max[i] = std::max(Max[i], p[i]);
        }
    }
    bool Gueltig() const { return Min[0] <= Max[0] && Min[1] <= Max[1] && Min[2] <= Max[2]; }
};

// Whether every Subset lies inside the mesh and every triangle names existing vertices:
// the indices go to the graphics card, which must never read past the vertex buffer.
bool Stimmig(const Netz& netz, const Laufgeometrie& geometrie) {
    if (geometrie.Teile.size() != netz.Subsets.size()) return false;
    const std::int64_t vertices = static_cast<std::int64_t>(netz.Vertices.size());
    const std::int64_t indizes = 3 * static_cast<std::int64_t>(netz.Dreiecke.size());
    for (const NetzSubset& s : netz.Subsets) {
        if (s.ErsterIndex < 0 || s.AnzahlIndizes < 0 || s.ErsterIndex % 3 != 0 || s.AnzahlIndizes % 3 != 0 ||
            static_cast<std::int64_t>(s.ErsterIndex) + s.AnzahlIndizes > indizes)
            return false;
    }
    for (const NetzDreieck& d : netz.Dreiecke) {
        for (const std::int32_t i : {d.A, d.B, d.C})
            if (i < 0 || i >= vertices) return false;
    }
    return true;
}

std::vector<Planpunkt> Plan(const std::vector<Planlage>& punkte, const std::array<double, 2>& ursprung) {
    std::vector<Planpunkt> plan;
    plan.reserve(punkte.size());
    for (const Planlage& p : punkte) plan.push_back({p.X + ursprung[0], p.Z + ursprung[1]});
    return plan;
}

}  // namespace

double RundeLaenge(double hoechstens) {
    if (!(hoechstens > 0) || !std::isfinite(hoechstens)) return 0;
    const double zehner = std::pow(10.0, std::floor(std::log10(hoechstens)));
    for (const double f : {5.0, 2.0, 1.0})
        if (f * zehner <= hoechstens) return f * zehner;
    return zehner;
}

namespace {

// The grid: about eight lines across the larger side, 1, 2 or 5 times a power of ten
// metres apart, on whole multiples of that in level coordinates, at the lowest height.
void Gitterbauen(Vorschaudaten& d, const std::array<double, 3>& min, const std::array<double, 3>& max) {
    const double weite = RundeLaenge(std::max(max[0] - min[0], max[2] - min[2]) / 8);
    if (weite == 0) return;
    d.Gitterweite = weite;
    // One cell beyond the box on every side, so that the labels stand clear of the road.
    const double x0 = std::floor(min[0] / weite) * weite - weite,
                 x1 = std::ceil(max[0] / weite) * weite + weite;
    const double z0 = std::floor(min[2] / weite) * weite - weite,
                 z1 = std::ceil(max[2] / weite) * weite + weite;
    const auto y = static_cast<float>(min[1] - d.Ursprung[1]);
    auto rel = [&d](double wert, int achse) {
        return static_cast<float>(wert - d.Ursprung[static_cast<std::size_t>(achse)]);
    };
    auto text = [](double meter) {
        std::ostringstream s;
        s << std::llround(meter) << " m";
        return s.str();
    };
    // Every line labelled would crowd the edge: about five labels along each side, on
    // lines that are whole multiples of the labelled spacing, the outermost left bare.
    const double schrittX = weite * std::max(1.0, std::ceil((x1 - x0) / weite / 5));
    const double schrittZ = weite * std::max(1.0, std::ceil((z1 - z0) / weite / 5));
    auto beschriftet = [](double wert, double schritt, double erster) {
        const double r = std::fmod(std::fabs(wert), schritt);
        return wert != erster && (r < 1e-6 * schritt || schritt - r < 1e-6 * schritt);
    };
    for (double x = x0; x <= x1 + weite / 2; x += weite) {
        d.Gitter.insert(d.Gitter.end(), {rel(x, 0), y, rel(z0, 2), rel(x, 0), y, rel(z1, 2)});
        if (beschriftet(x, schrittX, x0))
            d.Gittermarken.push_back({{rel(x, 0), y, rel(z0, 2)}, "X " + text(x)});
    }
    for (double z = z0; z <= z1 + weite / 2; z += weite) {
        d.Gitter.insert(d.Gitter.end(), {rel(x0, 0), y, rel(z, 2), rel(x1, 0), y, rel(z, 2)});
        if (beschriftet(z, schrittZ, z0))
            d.Gittermarken.push_back({{rel(x0, 0), y, rel(z, 2)}, "Z " + text(z)});
    }
}

}  // namespace

Vorschaudaten VorschauAus(const std::optional<Bauergebnis>& lauf, const std::string& dokument) {
    Vorschaudaten d;
    if (!lauf) {
        d.Hinweis = Tr(kKeinLauf);
        return d;
    }
    // Only a complete run carries both; a run that stopped has neither, and what it did
    // before it stopped is never shown as if it were the road.
    if (!lauf->Dreiecksnetz || !lauf->Geometrie) {
        d.Hinweis = Tr(kKeinNetz);
        return d;
    }
    const Netz& netz = *lauf->Dreiecksnetz;
    const Laufgeometrie& g = *lauf->Geometrie;
    if (!Stimmig(netz, g)) {
        d.Hinweis = Tr(kUnstimmig);
        return d;
    }

    // The framed box: the mesh, the curves and the markers. Non-finite positions cannot
    // occur in a written document (the writer refuses them), so none is filtered here.
    Quader q;
    for (const NetzVertex& v : netz.Vertices) q.Nehmen(v.X, v.Y, v.Z);
    for (const auto& kurve : g.Kurven)
        if (kurve)
            for (const Kurvenpunkt& p : *kurve) q.Nehmen(p.X, p.Y, p.Z);
    for (const Kurvenpunkt& p : g.SplinePunkte) q.Nehmen(p.X, p.Y, p.Z);
    if (!q.Gueltig()) {
        d.Hinweis = Tr(kNichtsZuZeigen);
        return d;
    }
    for (std::size_t i = 0; i < 3; ++i) d.Ursprung[i] = (q.Min[i] + q.Max[i]) / 2;
    for (std::size_t i = 0; i < 3; ++i) {
        d.RahmenMin[i] = static_cast<float>(q.Min[i] - d.Ursprung[i]);
        d.RahmenMax[i] = static_cast<float>(q.Max[i] - d.Ursprung[i]);
    }
    const double ox = d.Ursprung[0], oy = d.Ursprung[1], oz = d.Ursprung[2];
    auto relativ = [&](std::vector<float>& ziel, double x, double y, double z) {
        ziel.push_back(static_cast<float>(x - ox));
        ziel.push_back(static_cast<float>(y - oy));
        ziel.push_back(static_cast<float>(z - oz));
    };

    d.Vertices.reserve(netz.Vertices.size() * Vorschaudaten::kFloatsJeVertex);
    for (const NetzVertex& v : netz.Vertices) {
        relativ(d.Vertices, v.X, v.Y, v.Z);
        d.Vertices.push_back(static_cast<float>(v.NX));
        d.Vertices.push_back(static_cast<float>(v.NY));
        d.Vertices.push_back(static_cast<float>(v.NZ));
        // The texture coordinates as the document writes them (t0), for the UV check.
        d.Vertices.push_back(static_cast<float>(v.U));
        d.Vertices.push_back(static_cast<float>(v.V));
    }
    d.Indizes.reserve(netz.Dreiecke.size() * 3);
    for (const NetzDreieck& t : netz.Dreiecke) {
        d.Indizes.push_back(static_cast<std::uint32_t>(t.A));
        d.Indizes.push_back(static_cast<std::uint32_t>(t.B));
        d.Indizes.push_back(static_cast<std::uint32_t>(t.C));
    }
    for (std::size_t i = 0; i < netz.Subsets.size(); ++i) {
        const NetzSubset& s = netz.Subsets[i];
        d.Teile.push_back({g.Teile[i], static_cast<std::uint32_t>(s.ErsterIndex),
                           static_cast<std::uint32_t>(s.AnzahlIndizes)});
    }
    for (std::size_t k = 0; k < g.Kurven.size(); ++k) {
        if (!g.Kurven[k]) continue;
        Vorschaukurve kurve{static_cast<Verkehrskurve>(k), {}};
        kurve.Punkte.reserve(g.Kurven[k]->size() * 3);
        for (const Kurvenpunkt& p : *g.Kurven[k]) relativ(kurve.Punkte, p.X, p.Y, p.Z);
        d.Kurven.push_back(std::move(kurve));
    }
    for (const Kurvenpunkt& p : g.SplinePunkte) relativ(d.Marken, p.X, p.Y, p.Z);

    d.Mittellinie = Plan(g.Mittellinie, g.PlanUrsprung);
    d.KanteRechts = Plan(g.KanteRechts, g.PlanUrsprung);
    d.KanteLinks = Plan(g.KanteLinks, g.PlanUrsprung);
    d.Kontrollpunkte.reserve(g.SplinePunkte.size());
    for (const Kurvenpunkt& p : g.SplinePunkte) d.Kontrollpunkte.push_back({p.X, p.Z});
    d.Verbindungsanfaenge = Verbindungsanfaenge(d.Mittellinie, d.Kontrollpunkte);
    Gitterbauen(d, q.Min, q.Max);
    d.Texturen = g.Texturen;
    d.Dokument = dokument;
    return d;
}

std::array<std::array<float, 3>, 2> Vorschaudaten::Szenenrahmen(bool mitBoden) const {
    std::array<std::array<float, 3>, 2> r{
        {{RahmenMin[0], RahmenMin[1], RahmenMin[2]}, {RahmenMax[0], RahmenMax[1], RahmenMax[2]}}};
    if (!mitBoden || !Boden) return r;
    const Gelaendenetz& n = Boden->Netz;
    const double unten[3] = {n.Flaeche.MinX, n.MinY, n.Flaeche.MinZ};
    const double oben[3] = {n.Flaeche.MaxX, n.MaxY, n.Flaeche.MaxZ};
    for (std::size_t k = 0; k < 3; ++k) {
        r[0][k] = std::min(r[0][k], static_cast<float>(unten[k] - Ursprung[k]));
        r[1][k] = std::max(r[1][k], static_cast<float>(oben[k] - Ursprung[k]));
    }
    return r;
}

std::vector<std::uint32_t> Vorschaudaten::Kantenindizes(std::vector<Vorschauteil>& bereiche) const {
    std::vector<std::uint32_t> linien;
    linien.reserve(Indizes.size() * 2);
    bereiche.clear();
    for (const Vorschauteil& t : Teile) {
        const auto erster = static_cast<std::uint32_t>(linien.size());
        const std::uint64_t ende = std::uint64_t{t.ErsterIndex} + t.AnzahlIndizes;
        for (std::uint64_t i = t.ErsterIndex; i + 3 <= ende; i += 3) {
            const std::uint32_t a = Indizes[i], b = Indizes[i + 1], c = Indizes[i + 2];
            linien.insert(linien.end(), {a, b, b, c, c, a});
        }
        bereiche.push_back({t.Teil, erster, static_cast<std::uint32_t>(linien.size()) - erster});
    }
    return linien;
}

Farbe Teilfarbe(Netzteil teil) {
    switch (teil) {
        case Netzteil::Fahrbahn:
            return {0.50f, 0.52f, 0.56f};  // asphalt grey
        // The borders in the profile view's colours: right green, left blue.
        case Netzteil::RandRechts:
            return {0.20f, 0.62f, 0.24f};  // green
        case Netzteil::RandLinks:
            return {0.22f, 0.40f, 0.92f};  // blue
        case Netzteil::Fuellung:
            return {0.55f, 0.35f, 0.85f};  // violet
    }
    return {1, 1, 1};
}

Farbe Kurvenfarbe(Verkehrskurve kurve) {
    switch (kurve) {
        case Verkehrskurve::Mitte:
            return {1.00f, 0.85f, 0.00f};  // yellow
        case Verkehrskurve::Rechts:
            return {0.55f, 1.00f, 0.10f};  // lime, beside the green border
        case Verkehrskurve::Links:
            return {0.00f, 0.85f, 1.00f};  // cyan, beside the blue border
    }
    return {1, 1, 1};
}

std::shared_ptr<const Vorschauboden> Bodenlager::Fuer(const Vorschaudaten& d, const Gelaende& gelaende) {
    if (!d.Hinweis.empty() || !d.RahmenGueltig() || gelaende.Leer()) return nullptr;
    auto nach = [](double wert, bool auf) {
        return (auf ? std::ceil(wert / kBodenRaster) : std::floor(wert / kBodenRaster)) * kBodenRaster;
    };
    const Planrechteck bereich{nach(d.Ursprung[0] + d.RahmenMin[0] - kBodenRand, false),
                               nach(d.Ursprung[2] + d.RahmenMin[2] - kBodenRand, false),
                               nach(d.Ursprung[0] + d.RahmenMax[0] + kBodenRand, true),
                               nach(d.Ursprung[2] + d.RahmenMax[2] + kBodenRand, true)};
    const bool gleich = !pixel_.expired() && pixel_.lock() == gelaende.Raster.Werte &&
                        breite_ == gelaende.Raster.Breite && hoehe_ == gelaende.Raster.Hoehe &&
                        heightScale_ == gelaende.HeightScale && unitsPerPixel_ == gelaende.UnitsPerPixel &&
                        std::equal(versatz_, versatz_ + 3, gelaende.Versatz) &&
                        bereich_.MinX == bereich.MinX && bereich_.MinZ == bereich.MinZ &&
                        bereich_.MaxX == bereich.MaxX && bereich_.MaxZ == bereich.MaxZ;
    if (gleich) return boden_;
    pixel_ = gelaende.Raster.Werte;
    breite_ = gelaende.Raster.Breite;
    hoehe_ = gelaende.Raster.Hoehe;
    heightScale_ = gelaende.HeightScale;
    unitsPerPixel_ = gelaende.UnitsPerPixel;
    std::copy(gelaende.Versatz, gelaende.Versatz + 3, versatz_);
    bereich_ = bereich;
    auto boden = std::make_shared<Vorschauboden>();
    boden->Netz = GelaendenetzBauen(gelaende, bereich);
    if (boden->Netz.Leer()) {
        boden_ = nullptr;
        return boden_;
    }
    // The plan's relief: about 1024 pixels along the longer side (a plan view of a
    // screen's width), never finer than half the terrain's pixels; contour lines about a
    // tenth of the heights apart.
    const double seite = std::max(bereich.MaxX - bereich.MinX, bereich.MaxZ - bereich.MinZ);
    const double meterJePixel = std::max(seite / 1024, gelaende.UnitsPerPixel / 2);
    boden->Relief =
        ReliefBauen(gelaende, bereich, meterJePixel, RundeLaenge((boden->Netz.MaxY - boden->Netz.MinY) / 10));
    boden_ = std::move(boden);
    return boden_;
}

std::vector<std::size_t> Verbindungsanfaenge(const std::vector<Planpunkt>& linie,
                                             const std::vector<Planpunkt>& punkte) {
    // The plan's line is float relative to its origin: centimetres at worst on a road of
    // kilometres, well inside the tolerance.
    constexpr double kGenau = 0.05;
    std::vector<std::size_t> anfaenge;
    if (linie.empty()) return anfaenge;
    std::size_t ab = 0;
    for (const Planpunkt& p : punkte) {
        std::size_t naechster = ab;
        double kleinster = std::numeric_limits<double>::infinity();
        for (std::size_t j = ab; j < linie.size(); ++j) {
            const double abstand = std::hypot(linie[j].X - p.X, linie[j].Z - p.Z);
            if (abstand < kleinster) kleinster = abstand, naechster = j;
            if (abstand <= kGenau) break;
        }
        anfaenge.push_back(naechster);
        ab = naechster;
    }
    return anfaenge;
}

Vorschaudaten MitKontrollpunkten(Vorschaudaten d, const std::vector<Kurvenpunkt>& punkte) {
    d.Marken.clear();
    d.Kontrollpunkte.clear();
    d.Marken.reserve(punkte.size() * 3);
    d.Kontrollpunkte.reserve(punkte.size());
    for (const Kurvenpunkt& p : punkte) {
        d.Marken.push_back(static_cast<float>(p.X - d.Ursprung[0]));
        d.Marken.push_back(static_cast<float>(p.Y - d.Ursprung[1]));
        d.Marken.push_back(static_cast<float>(p.Z - d.Ursprung[2]));
        d.Kontrollpunkte.push_back({p.X, p.Z});
    }
    return d;
}

}  // namespace pavolant::qt
