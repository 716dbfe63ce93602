#include "model/uGlobal.h"

#include "persistence/IniDatei.h"

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

// ---------------------------------------------------------------------------------------
// Free routines

double KreuzproduktY(const TPunkt& a, const TPunkt& b) { return a.Z * b.X - a.X * b.Z; }

void VerschiebeInRichtung(TPunkt& p, double d) {
    const double cZ = std::cos(p.Zrot);
    p.X += d * cZ * std::cos(p.Yrot);
    p.Y += d * std::sin(p.Zrot);
    p.Z += d * cZ * std::sin(p.Yrot);
}

bool TextZwischen(std::string_view text, std::string_view start, std::string_view ende,
                  std::string& aus) {
    const std::size_t p = text.find(start);
    if (p == std::string_view::npos) return false;
    const std::string_view rest = text.substr(p + start.size());
    const std::size_t q = rest.find(ende);
    if (q == std::string_view::npos) return false;
    aus.assign(rest.substr(0, q));
    return true;
}

// ---- Border profile -------------------------------------------------------------

namespace {

constexpr double kPiR = std::numbers::pi;

// Into [-pi/2, 3pi/2]: above the range first, then below, as the profile's angles have
// always been normalised. A value more than a period outside is first reduced with
// fmod, which is exact, so huge angles cannot make the loops run for ever.
double NormalenBereich(double w) {
    if (!std::isfinite(w)) return w;
    if (w > 3.5 * kPiR || w < -2.5 * kPiR) w = std::fmod(w, 2 * kPiR);
    while (w > 1.5 * kPiR) w -= 2 * kPiR;
    while (w < -0.5 * kPiR) w += 2 * kPiR;
    return w;
}

std::string Index(int i) { return std::to_string(i); }

}  // namespace

TRandPunkte::TRandPunkte(std::string bezeichnung, Melder& melder)
    : Bezeichnung(std::move(bezeichnung)), Segmente(2), melder_(&melder) {}

int TRandPunkte::AnzahlSegmente() const { return static_cast<int>(Segmente.size()); }

TRandSegment* TRandPunkte::Segment(int i) {
    if (i < 0 || i >= AnzahlSegmente()) return nullptr;
    return &Segmente[static_cast<std::size_t>(i)];
}

const TRandSegment* TRandPunkte::Segment(int i) const {
    if (i < 0 || i >= AnzahlSegmente()) return nullptr;
    return &Segmente[static_cast<std::size_t>(i)];
}

int TRandPunkte::NeuesSegment() {
    Segmente.emplace_back();
    return AnzahlSegmente() - 1;
}

void TRandPunkte::SegmentVerdoppeln() {
    if (AktSegment < 0 || AktSegment >= AnzahlSegmente()) return;
    const TRandSegment kopie = Segmente[static_cast<std::size_t>(AktSegment)];
    Segmente.insert(Segmente.begin() + AktSegment, kopie);
}

void TRandPunkte::SegmentSetzen(const TRandSegment& segment, int i) {
    if (TRandSegment* s = Segment(i)) *s = segment;
}

void TRandPunkte::SegmentLoeschen(int i) {
    if (i <= 0 || i >= AnzahlSegmente()) return;
    Segmente.erase(Segmente.begin() + i);
    Berechnen();
}

void TRandPunkte::SegmentAktualisieren(int i) {
    if (i <= 0 || i >= AnzahlSegmente()) return;
    TRandSegment& s = Segmente[static_cast<std::size_t>(i)];
    s.DX = std::cos(s.Winkel) * s.Breite;
    s.DY = std::sin(s.Winkel) * s.Breite;
    // Perpendicular to the segment, pointing up for a level one.
    if (!s.NormaleMan) s.NormalenWinkel = s.Winkel + kPiR / 2;
    s.NormalenWinkel = NormalenBereich(s.NormalenWinkel);
    s.NX = std::cos(s.NormalenWinkel);
    s.NY = std::sin(s.NormalenWinkel);
}

void TRandPunkte::Berechnen() {
    if (!Aktiv) return;
    MinX = MaxX = MinY = MaxY = 0;
    const int n = AnzahlSegmente();
    if (n < 2) return;

    TRandSegment& start = Segmente[0];
    start.X = start.Y = start.Breite = 0;
    if (!start.NormaleMan) {
        start.Winkel = Segmente[1].Winkel;
        start.NormalenWinkel = NormalenBereich(start.Winkel + kPiR / 2);
        start.NX = std::cos(start.NormalenWinkel);
        start.NY = std::sin(start.NormalenWinkel);
    }

    double x = 0, y = 0;
    for (int i = 1; i < n; ++i) {
        TRandSegment& s = Segmente[static_cast<std::size_t>(i)];
        const TRandSegment& r = Segmente[static_cast<std::size_t>(i) - 1];
        x += s.DX;
        y += s.DY;
        s.X = x;
        s.Y = y;
        if (x > MaxX) MaxX = x;
        if (x < MinX) MinX = x;
        if (y > MaxY) MaxY = y;
        if (y < MinY) MinY = y;
        if (s.NormaleMan) continue;
        if (i < n - 1) {
            // The bisector of the two segments meeting here, the short way round.
            double d = Segmente[static_cast<std::size_t>(i) + 1].Winkel - s.Winkel;
            if (std::isfinite(d)) {
                if (std::fabs(d) > 3 * kPiR) d = std::fmod(d, 2 * kPiR);
                while (d > kPiR) d -= 2 * kPiR;
                while (d < -kPiR) d += 2 * kPiR;
            }
            s.NormalenWinkel = s.Winkel + d / 2 + kPiR / 2;
        } else {
            s.NormalenWinkel = s.Winkel + kPiR / 2;
        }
        s.NormalenWinkel = NormalenBereich(s.NormalenWinkel);
        s.NX = std::cos(s.NormalenWinkel);
        s.NY = std::sin(s.NormalenWinkel);
        if (s.Breite < 0.001)
            Warnung(Bezeichnung + ": BorderPoint" + Index(i) + ": Length is smaller than 1mm! Are you sure?");
        if (std::fabs(s.U - r.U) < 0.000001)
            Warnung(Bezeichnung + ": BorderPoint" + Index(i) +
                    ": Difference in texture coordinates to previous point is smaller than 0.000001 !  Are you "
                    "sure?    ");
    }
}

void TRandPunkte::BerechneU() {
    if (TexturBreite <= 0) {
        Warnung("Texturewidth is zero!");
        return;
    }
    if (AnzahlSegmente() < 2) return;
    double u = Segmente[0].U;
    for (std::size_t i = 1; i < Segmente.size(); ++i) {
        u += Segmente[i].Breite / TexturBreite;
        Segmente[i].U = u;
    }
}

void TRandPunkte::Auflisten(std::vector<std::string>& memo) const {
    if (AnzahlSegmente() < 2) return;
    auto grad = [](double rad) { return FormatAllgemein(RundeAufStellen(RadZuGrad(rad), 100)); };
    auto milli = [](double wert) { return FormatAllgemein(RundeAufStellen(wert, 1000)); };
    memo.push_back("BorderPoint output for: " + Bezeichnung);
    for (int i = 0; i < AnzahlSegmente(); ++i) {
        const TRandSegment& s = Segmente[static_cast<std::size_t>(i)];
        memo.push_back("Point " + Index(i) + ":Length:" + FormatAllgemein(s.Breite) + "; Angle =" + grad(s.Winkel) +
                       "; x=" + milli(s.DX) + "; y=" + milli(s.DY) + "; x0=" + milli(s.X) + "; y0=" + milli(s.Y) +
                       "; Normale " + (s.NormaleMan ? "man" : "auto") + " Angle =" + grad(s.NormalenWinkel) +
                       "; U=" + milli(s.U));
    }
}

Drehwinkel::Drehwinkel(const TPunkt& c)
    : CX(std::cos(c.Xrot)),
      SX(std::sin(c.Xrot)),
      CY(std::cos(c.Yrot)),
      SY(std::sin(c.Yrot)),
      CZ(std::cos(c.Zrot)),
      SZ(std::sin(c.Zrot)) {}

void TRandPunkte::RandPunkt(const TPunkt& c, TPunkt& t, int i) const { RandPunkt(c, Drehwinkel(c), t, i); }

void TRandPunkte::RandPunkt(const TPunkt& c, const Drehwinkel& d, TPunkt& t, int i) const {
    const TRandSegment* seg = Segment(i);
    if (!seg) return;
    const double m = Rechts ? -1.0 : 1.0;
    t.Nullsetzen();
    t.X = m * seg->X;
    t.Y = seg->Y;
    // The normal, not the position, follows the centre point's pitch.
    t.NX = m * seg->NX;
    t.NY = d.CX * seg->NY;
    t.NZ = -d.SX * seg->NY;
    t.DreheZ(c.Zrot, d.CZ, d.SZ);
    t.DreheY(c.Yrot, d.CY, d.SY);
    t.X += c.X;
    t.Y += c.Y;
    t.Z += c.Z;
    t.U = seg->U;
}

void TRandPunkte::Uebernehmen(const TRandPunkte& andere) {
    if (&andere == this) return;
    Aktiv = andere.Aktiv;
    TexturDatei = andere.TexturDatei;
    TexturLaenge = andere.TexturLaenge;
    TexturBreite = andere.TexturBreite;
    Ruecksetzen = andere.Ruecksetzen;
    Pixel = andere.Pixel;
    Segmente = andere.Segmente;
    Berechnen();
}

void TRandPunkte::IniLesen(const IniDatei& ini, std::string_view name) {
    const std::string geo = std::string(name) + "_Geo";
    const std::string textur = std::string(name) + "_Textur";
    const int n = ini.LiesInteger(geo, "nSegments", 1);
    if (n > kMaxSegmente) {
        std::string text = "Zu viele Randsegmente (" + Index(n) + ", höchstens " + Index(kMaxSegmente) + ")";
        if (!ini.Pfad().empty()) text += " in " + ini.Pfad().string();
        throw IniFehler(text);
    }
    Aktiv = ini.LiesBool(geo, "enable1", true);
    TexturDatei = ini.LiesString(textur, "FileName", "bitte eingeben");
    TexturLaenge = ini.LiesZahl(textur, "Laenge", "5");
    TexturBreite = ini.LiesZahl(textur, "Breite", "5");
    Pixel = ini.LiesInteger(textur, "Pixel", 0);
    Ruecksetzen = ini.LiesBool(textur, "Ruecksetzen", false);

    // A negative count keeps only the start point, which can never be removed.
    const int soll = std::max(n, 0) + 1;
    while (AnzahlSegmente() < soll) NeuesSegment();
    while (AnzahlSegmente() > soll) SegmentLoeschen(AnzahlSegmente() - 1);

    Segmente[0].U = ini.LiesZahl(textur, "Start", "0");
    for (int k = 0; k < AnzahlSegmente(); ++k) {
        TRandSegment& s = Segmente[static_cast<std::size_t>(k)];
        s.Breite = ini.LiesZahl(geo, "Breite" + Index(k), "1");
        s.Winkel = GradZuRad(ini.LiesZahl(geo, "Winkel" + Index(k), "0"));
        s.NormalenWinkel = GradZuRad(ini.LiesZahl(geo, "Normale" + Index(k), "90"));
        s.NormaleMan = ini.LiesBool(geo, "NormaleMan" + Index(k), false);
        s.U = ini.LiesZahl(textur, "Ende" + Index(k), s.U);
        SegmentAktualisieren(k);
    }
    Berechnen();
}

void TRandPunkte::IniSchreiben(IniDatei& ini, std::string_view name) const {
    const std::string geo = std::string(name) + "_Geo";
    const std::string textur = std::string(name) + "_Textur";
    auto grad = [](double rad) { return RundeAufStellen(RadZuGrad(rad), 100); };
    ini.SchreibeBool(geo, "enable1", Aktiv);
    ini.SchreibeInteger(geo, "nSegments", AnzahlSegmente() - 1);
    ini.SchreibeString(textur, "FileName", TexturDatei);
    ini.SchreibeZahl(textur, "Laenge", TexturLaenge);
    ini.SchreibeZahl(textur, "Breite", TexturBreite);
    ini.SchreibeInteger(textur, "Pixel", Pixel);
    ini.SchreibeBool(textur, "Ruecksetzen", Ruecksetzen);
    ini.SchreibeZahl(textur, "Start", Segmente[0].U);
    for (int k = 0; k < AnzahlSegmente(); ++k) {
        const TRandSegment& s = Segmente[static_cast<std::size_t>(k)];
        ini.SchreibeZahl(geo, "Breite" + Index(k), s.Breite);
        ini.SchreibeZahl(geo, "Winkel" + Index(k), grad(s.Winkel));
        ini.SchreibeZahl(geo, "Normale" + Index(k), grad(s.NormalenWinkel));
        ini.SchreibeBool(geo, "NormaleMan" + Index(k), s.NormaleMan);
        ini.SchreibeZahl(textur, "Ende" + Index(k), s.U);
    }
}

void TRandPunkte::Zeichnen(std::uint32_t farbe, Zeichenflaeche& bild, double ox, double oy, double xmin,
                           double xmax, double ymin, double ymax) const {
    if (!Aktiv) return;
    const int breite = bild.Breite(), hoehe = bild.Hoehe();
    // An empty image or an empty view box has no pixel to map a point to.
    if (breite <= 0 || hoehe <= 0 || !(xmax > xmin) || !(ymax > ymin)) return;
    const double m = Rechts ? 1.0 : -1.0;  // looking along the road: the right border on the right
    bool vorigerSichtbar = false;
    for (const TRandSegment& s : Segmente) {
        const double fx = (m * s.X + ox - xmin) / (xmax - xmin) * breite;
        const double fy = (1 - (s.Y + oy - ymin) / (ymax - ymin)) * hoehe;
        const int px = RundeGeradeInt(fx), py = RundeGeradeInt(fy);
        if (!std::isfinite(fx) || !std::isfinite(fy) || px < 0 || px > breite || py < 0 || py > hoehe) {
            vorigerSichtbar = false;  // lift the pen: the next visible point starts a new line
            continue;
        }
        bild.Stift(farbe, 3);
        if (vorigerSichtbar)
            bild.LinieZu(px, py);
        else
            bild.BewegeZu(px, py);
        vorigerSichtbar = true;
        bild.Stift(0x0000FF, 1);  // red
        bild.LinieZu(px + static_cast<int>(m) * RundeGeradeInt(15 * std::cos(s.NormalenWinkel)),
                     py - RundeGeradeInt(15 * std::sin(s.NormalenWinkel)));
        bild.BewegeZu(px, py);
    }
}

}  // namespace pavolant
