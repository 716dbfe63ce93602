#include "model/Punkte.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace pavolant {

// ---------------------------------------------------------------------------------------
// TPunkt

void TPunkt::Nullsetzen() {
    X = Y = Z = 0;
    NX = 0;
    NY = 1;
    NZ = 0;
    Xrot = Yrot = Zrot = 0;
}

void TPunkt::Kopieren(const TPunkt& quelle) {
    Nummer = quelle.Nummer;
    X = quelle.X;
    Y = quelle.Y;
    Z = quelle.Z;
    NX = quelle.NX;
    NY = quelle.NY;
    NZ = quelle.NZ;
    U = quelle.U;
    V = quelle.V;
    Xrot = quelle.Xrot;
    Yrot = quelle.Yrot;
    Zrot = quelle.Zrot;
}

void TPunkt::Differenz(const TPunkt& anderer, TPunkt& ziel) const {
    // Each field depends on the same field only, so `ziel` may be this point or `anderer`.
    ziel.X = X - anderer.X;
    ziel.Y = Y - anderer.Y;
    ziel.Z = Z - anderer.Z;
    ziel.Xrot = Xrot - anderer.Xrot;
    ziel.Yrot = Yrot - anderer.Yrot;
    ziel.Zrot = Zrot - anderer.Zrot;
}

double TPunkt::Betrag() const { return std::sqrt(X * X + Y * Y + Z * Z); }

double TPunkt::BetragXZ() const { return std::sqrt(X * X + Z * Z); }

void TPunkt::NormaleAusWinkeln() {
    const double cX = std::cos(Xrot), sX = std::sin(Xrot);
    const double cY = std::cos(Yrot), sY = std::sin(Yrot);
    const double cZ = std::cos(Zrot), sZ = std::sin(Zrot);
    // Bank: (0,1,0) tilted about Z.
    double nx = -sZ, ny = cZ, nz = 0;
    // Pitch: positive Xrot tips the normal towards -Z, the opposite sense to DreheX,
    // because a positive pitch means a falling road.
    nz = -sX * ny;
    ny = cX * ny;
    // Heading: the DreheY formula.
    NX = nx * cY - nz * sY;
    NY = ny;
    NZ = nx * sY + nz * cY;
}

void TPunkt::DreheX(double a) {
    const double c = std::cos(a), s = std::sin(a);
    const double y = Y * c - Z * s, z = Y * s + Z * c;
    const double ny = NY * c - NZ * s, nz = NY * s + NZ * c;
    Y = y;
    Z = z;
    NY = ny;
    NZ = nz;
    Xrot += a;
}

void TPunkt::DreheY(double a) { DreheY(a, std::cos(a), std::sin(a)); }

void TPunkt::DreheY(double a, double c, double s) {
    const double x = X * c - Z * s, z = X * s + Z * c;
    const double nx = NX * c - NZ * s, nz = NX * s + NZ * c;
    X = x;
    Z = z;
    NX = nx;
    NZ = nz;
    Yrot += a;
}

void TPunkt::DreheZ(double a) { DreheZ(a, std::cos(a), std::sin(a)); }

void TPunkt::DreheZ(double a, double c, double s) {
    const double x = X * c - Y * s, y = X * s + Y * c;
    const double nx = NX * c - NY * s, ny = NX * s + NY * c;
    X = x;
    Y = y;
    NX = nx;
    NY = ny;
    Zrot += a;
}

// ---------------------------------------------------------------------------------------
// TPunkteSammlung

int TPunkteSammlung::AnzahlPunkte() const { return static_cast<int>(Liste.size()); }

int TPunkteSammlung::NeuerPunkt() {
    const int index = AnzahlPunkte();
    Liste.push_back(std::make_unique<TPunkt>());
    return index;
}

TPunkt* TPunkteSammlung::Punkt(int i) {
    if (i < 0 || i >= AnzahlPunkte()) return nullptr;
    return Liste[static_cast<std::size_t>(i)].get();
}

const TPunkt* TPunkteSammlung::Punkt(int i) const {
    if (i < 0 || i >= AnzahlPunkte()) return nullptr;
    return Liste[static_cast<std::size_t>(i)].get();
}

void TPunkteSammlung::PunktLoeschen(int i) {
    if (i < 0 || i >= AnzahlPunkte()) return;
    Liste.erase(Liste.begin() + i);
}

void TPunkteSammlung::BerechneSchwerpunkt() {
    Schwerpunkt.Nullsetzen();
    if (Liste.empty()) return;  // no mean to take: the centroid stays at the origin
    double sx = 0, sy = 0, sz = 0;
    for (const auto& p : Liste) {
        sx += p->X;
        sy += p->Y;
        sz += p->Z;
    }
    const double n = static_cast<double>(Liste.size());
    Schwerpunkt.X = sx / n;
    Schwerpunkt.Y = sy / n;
    Schwerpunkt.Z = sz / n;
}

Drehwinkel::Drehwinkel(const TPunkt& c)
    : CX(std::cos(c.Xrot)),
      SX(std::sin(c.Xrot)),
      CY(std::cos(c.Yrot)),
      SY(std::sin(c.Yrot)),
      CZ(std::cos(c.Zrot)),
      SZ(std::sin(c.Zrot)) {}

// ---------------------------------------------------------------------------------------
// Free routines

double KreuzproduktY(const TPunkt& a, const TPunkt& b) { return a.Z * b.X - a.X * b.Z; }

void VerschiebeInRichtung(TPunkt& p, double d) {
    const double cZ = std::cos(p.Zrot);
    p.X += d * cZ * std::cos(p.Yrot);
    p.Y += d * std::sin(p.Zrot);
    p.Z += d * cZ * std::sin(p.Yrot);
}

bool TextZwischen(std::string_view text, std::string_view start, std::string_view ende, std::string& aus) {
    const std::size_t p = text.find(start);
    if (p == std::string_view::npos) return false;
    const std::string_view rest = text.substr(p + start.size());
    const std::size_t q = rest.find(ende);
    if (q == std::string_view::npos) return false;
    aus.assign(rest.substr(0, q));
    return true;
}

}  // namespace pavolant
