#include "generator/Generierung.h"

#include "generator/I3dDokument.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

namespace pavolant {

namespace {

// Report numbers in the document's fixed format. A value that overflowed still gets a
// line (the document itself refuses it later), so the report shows where it went wrong.
std::string F4(double wert) { return std::isfinite(wert) ? FormatFest4(wert) : FormatAllgemein(wert, '.'); }

// Upper limit for the samples of one run (about half a metre each, so 10,000 km of road):
// a mistyped coordinate must not make the program sample for hours or exhaust memory.
constexpr double kMaxProben = 2e7;

// The values of one run after conversion.
struct Werte {
    double B = 0, T = 0, K = 0;          // width (m), tractrix factor, camber factor
    double Lr = 0, Ua = 0, Ue = 0;       // texture length (m), U of left and right edge
    double p = 0, St = 0;                // flip probability, stretch on slopes
    double Pr = 0, Pl = 0;               // traffic spline percentages
    double MinTexturLaenge = 1e10;       // limit of the sample spacing
    double TexL0 = 0;
};

constexpr double kPi = 3.14159265358979323846;

int Vorzeichen(double x) { return (x > 0) - (x < 0); }

// Where a sample lies on the chord (s, metres) and the centre line's slopes there,
// lateral x'(s) and height y'(s).
struct Stelle {
    double S = 0, Quer = 0, Hoehe = 0;
};

// Connection q's centre line at fraction t of its chord, evaluated as
// TSplinePunkte::MittellinienPunkt does but in two steps: Lage gives position, bank and
// the slopes; Winkel turns the slopes into heading and pitch (two atan and a cos, the
// costly part). The expressions and their order are the same as there, so position,
// bank and rotations are bit for bit what MittellinienPunkt writes.
void Lage(const TSplinePkt& q, double t, TPunkt& ziel, Stelle& stelle) {
    const double s = t * q.Abstand;
    ziel.Z = s;
    ziel.X = ((q.QuerA * s + q.QuerB) * s + q.QuerC) * s;
    stelle.Quer = (3 * q.QuerA * s + 2 * q.QuerB) * s + q.QuerC;
    ziel.Y = ((q.HoeheA * s + q.HoeheB) * s + q.HoeheC) * s;
    stelle.Hoehe = (3 * q.HoeheA * s + 2 * q.HoeheB) * s + q.HoeheC;
    ziel.Zrot = GradZuRad(q.ZrotDelta * t + q.Zrot);
    stelle.S = s;
}

void Winkel(TPunkt& ziel, const Stelle& stelle) {
    ziel.Yrot = -std::atan(stelle.Quer);
    ziel.Xrot = std::cos(ziel.Yrot) * std::atan(stelle.Hoehe);
}

// A computed rotation change against a bound on the exact one: the bound widened by
// 1e-12 relative and absolute. The evaluated rotations differ from the exact ones by a
// few units in the last place (atan and cos within an ulp, products and differences
// rounded), which this covers many hundred times over.
double MitRand(double x) { return x * (1 + 1e-12) + 1e-12; }

// The lateral slopes q for which the heading change against a reference with heading
// `yrotBezug` (= -atan q0) certainly stays at or below `grenze` once evaluated: atan is
// monotonic, so |atan q - atan q0| <= g exactly for tan(atan q0 - g) <= q <= tan(atan q0
// + g). The band is narrowed for the rounding: the angle by 1e-12 relative and absolute
// (as MitRand; it covers the rounding of atan q0 +- g, of atan and of the difference),
// each end by 1e-12 (1 + |tan|), far more than the ulp tan may be off. Empty
// (Min > Max) when the limit leaves no room or is NaN.
struct Querband {
    double Min = 1, Max = 0;
    bool Enthaelt(double q) const { return q >= Min && q <= Max; }
};

Querband QuerbandUm(double yrotBezug, double grenze) {
    const double g = (grenze - 1e-12) / (1 + 1e-12);
    if (!(g > 0)) return {};
    const double mitte = -yrotBezug;
    auto ende = [](double winkel, double seite) {  // seite -1: lower end, +1: upper end
        // Beyond +-pi/2 there is no limit on that side: atan never gets there.
        if (seite * winkel >= kPi / 2) return seite * std::numeric_limits<double>::infinity();
        const double t = std::tan(winkel);
        return t - seite * 1e-12 * (1 + std::fabs(t));
    };
    return {ende(mitte - g, -1), ende(mitte + g, 1)};
}

// Per connection: how fast the quantities the split rules test can change from sample
// to sample, and how far rounding can move them. The chord runs along s in [0, L] with
// samples h = L / teilungen apart; x and y are cubics, so over d samples from s
//   x'(s + d h) - x'(s) = x''(s) d h + 3 A (d h)^2      exactly (y' alike),
// and the bank is linear in s.
struct Zuwachs {
    double Quer2A = 0, Quer2B = 0;    // x''(s) = Quer2A s + Quer2B, that is 6A and 2B
    double Hoehe2A = 0, Hoehe2B = 0;  // y'' alike
    double H = 0;                     // sample spacing h, metres
    double Schritt = 0;               // h max |P'|, P' = (x', y', 1): step growth per sample, metres
    double QuerQuadrat = 0;           // 3 |A| h^2 of x
    double HoeheQuadrat = 0;          // 3 |A| h^2 of y
    double Bank = 0;                  // bank change per sample, radians
    // What the rounding of an evaluation can add to a position (metres), a slope, a
    // second derivative and the bank (radians): far more than it does (a few units in
    // the last place of the largest term), so that no exact error analysis is relied on.
    double RundungLage = 0, RundungSteigung = 0, RundungKruemmung = 0, RundungBank = 0;
};

Zuwachs ZuwachsDerVerbindung(const TSplinePkt& q, std::int64_t teilungen) {
    constexpr double kRand = 1 + 1e-9;  // covers the rounding of these bounds themselves
    const double L = q.Abstand, h = L / static_cast<double>(teilungen) * kRand;
    const double qa = std::fabs(q.QuerA), qb = std::fabs(q.QuerB), qc = std::fabs(q.QuerC);
    const double ha = std::fabs(q.HoeheA), hb = std::fabs(q.HoeheB), hc = std::fabs(q.HoeheC);
    Zuwachs z;
    z.Quer2A = 6 * q.QuerA;
    z.Quer2B = 2 * q.QuerB;
    z.Hoehe2A = 6 * q.HoeheA;
    z.Hoehe2B = 2 * q.HoeheB;
    z.H = h;
    // |x'| = |3A s^2 + 2B s + C| <= 3|A| L^2 + 2|B| L + |C| on the chord, y' alike.
    const double quer1 = (3 * qa * L + 2 * qb) * L + qc, hoehe1 = (3 * ha * L + 2 * hb) * L + hc;
    z.Schritt = h * std::sqrt(1 + quer1 * quer1 + hoehe1 * hoehe1) * kRand;
    z.QuerQuadrat = 3 * qa * h * h * kRand;
    z.HoeheQuadrat = 3 * ha * h * h * kRand;
    z.Bank = GradZuRad(std::fabs(q.ZrotDelta)) / static_cast<double>(teilungen) * kRand;
    z.RundungLage = 1e-9 * (1 + L * (1 + (qa * L + qb) * L + qc + (ha * L + hb) * L + hc));
    z.RundungSteigung = 1e-9 * (1 + quer1 + hoehe1);
    z.RundungKruemmung = 1e-9 * (1 + 6 * (qa + ha) * L + 2 * (qb + hb));
    z.RundungBank = 1e-9 * (1 + GradZuRad(std::fabs(q.ZrotDelta) + std::fabs(q.Zrot)));
    return z;
}

// VerschiebeInRichtung for the points of one cross-section, which all carry the centre
// point's bank and heading: the cosines and sines are taken once per section instead of
// once per point. Same expressions in the same order as VerschiebeInRichtung, so the
// points land bit for bit where it puts them.
class Querachse {
public:
    explicit Querachse(const TPunkt& c)
        : cZ_(std::cos(c.Zrot)), sZ_(std::sin(c.Zrot)), cY_(std::cos(c.Yrot)), sY_(std::sin(c.Yrot)) {}
    // Moves p, a copy of the centre point, by d metres along the lateral axis.
    void Verschieben(TPunkt& p, double d) const {
        p.X += d * cZ_ * cY_;
        p.Y += d * sZ_;
        p.Z += d * cZ_ * sY_;
    }

private:
    double cZ_, sZ_, cY_, sY_;
};

// The edge points of one side. They are kept whole only when a border is swept along
// them; otherwise only the latest one, which a texture reset writes again.
class Kante {
public:
    explicit Kante(bool alleBehalten) : alleBehalten_(alleBehalten) {}
    // The next edge point; its previous content is meaningless, the caller sets it all.
    TPunkt& Neuer() {
        if (!alleBehalten_) return letzter_;
        Punkte.emplace_back();
        return Punkte.back();
    }
    // The edge point written last; only valid after the first Neuer().
    TPunkt& Letzter() { return alleBehalten_ ? Punkte.back() : letzter_; }

    std::vector<TPunkt> Punkte;  // every edge point, in order, when they are kept

private:
    bool alleBehalten_;
    TPunkt letzter_;
};

// The walk along the centre line: samples every connection, emits cross-sections,
// builds the roadway strip with its texture coordinate, the edge and centre points and
// the traffic-spline control points.
//
// Most samples (every half metre) stay inner samples, and an inner sample changes
// nothing: its values are thrown away. The walk saves work on them in two ways, and
// neither changes a decision:
//  - At a sample it evaluates, it computes position and bank, and heading and pitch only
//    when the slopes cannot prove that neither reaches its threshold
//    (DrehungSicherUnterSchwelle). Every sample that becomes a cross-section gets its
//    rotations exactly as MittellinienPunkt gives them.
//  - Without random flips it skips the samples that bounds on the growth of step, slopes
//    and bank prove to stay inner (SicherInnen). With random flips every sample draws a
//    number and none is skipped.
// Both proofs err on the safe side: a sample they cannot settle is evaluated in full and
// judged by the rules themselves.
class Fahrbahnlauf {
public:
    Fahrbahnlauf(const Laufparameter& par, const Werte& w, TSplinePunkte& punkte, Zufallsgenerator& zufall,
                 Netz& netz, Laufbericht& bericht, Laufgeometrie& geometrie)
        : KanteRechts(par.RandR.An),
          KanteLinks(par.RandL.An),
          par_(par),
          w_(w),
          punkte_(punkte),
          zufall_(zufall),
          netz_(netz),
          bericht_(bericht),
          geometrie_(geometrie),
          minWinkel_(GradZuRad(par.Fein.MinWinkel)),
          minSteigung_(GradZuRad(par.Fein.MinSteigung)),
          minZRot_(GradZuRad(par.Fein.MinZRot)) {
        if (par.TrafficMitte) Kurven[0].emplace();
        if (par.TrafficRechts) Kurven[1].emplace();
        if (par.TrafficLinks) Kurven[2].emplace();
    }

    void Laufen(double laengenKoordinate) {
        LaengenKoordinate = laengenKoordinate;
        double gesamt = 0;
        const int n = punkte_.AnzahlPunkte();
        for (int i = 0; i <= n - 2; ++i) gesamt += Verbindung(i, i == n - 2);
        bericht_.Memo.push_back("Gesamt-Fahrbahnlänge = " + F4(gesamt) + " m");
    }

    double LaengenKoordinate = 0;
    // The first and the latest centre point of a cross-section (the front faces stand
    // on the two ends); the first stays empty until the walk emits one.
    std::optional<TPunkt> ErsterMittelpunkt;
    TPunkt LetzterMittelpunkt;
    Kante KanteRechts, KanteLinks;
    std::array<std::optional<std::vector<Kurvenpunkt>>, 3> Kurven;

private:
    // One connection; returns its length.
    double Verbindung(int i, bool letzte) {
        const TSplinePkt& Q = *punkte_.Punkt(i);
        const TSplinePkt& Qn = *punkte_.Punkt(i + 1);
        kleinste_ = 1e10;
        groesste_ = -1e10;
        laenge_ = 0;
        const auto teilungen = static_cast<std::int64_t>(2 * Q.Abstand) + 1;
        const bool springen = !par_.RandomBackFoldAn;
        const Zuwachs zuwachs = springen ? ZuwachsDerVerbindung(Q, teilungen) : Zuwachs{};
        for (std::int64_t j = 0; j <= teilungen; ++j) {
            Stelle stelle;
            Lage(Q, static_cast<double>(j) / static_cast<double>(teilungen), probe_, stelle);
            // probe_.Yrot and Xrot belong to this sample only once `winkel` is set.
            bool winkel = false;
            auto drehungen = [&] {
                Winkel(probe_, stelle);
                probe_.Differenz(letzter_, delta_);
                winkel = true;
            };
            if (j == 0) {  // the connection's first sample is its own reference
                Winkel(probe_, stelle);
                letzter_.Kopieren(probe_);
                BezugGesetzt(stelle);
                probe_.Differenz(letzter_, delta_);
                winkel = true;
            }
            // TPunkt::Differenz and Betrag, spelled out for the fields the first rules need.
            const double dx = probe_.X - letzter_.X, dy = probe_.Y - letzter_.Y, dz = probe_.Z - letzter_.Z;
            const double schritt = std::sqrt(dx * dx + dy * dy + dz * dz);
            bool teilen = TeiltNachLaengeOderBank(schritt, probe_.Zrot - letzter_.Zrot);
            if (!teilen) {
                if (!winkel && !DrehungSicherUnterSchwelle(stelle, schritt)) drehungen();
                if (winkel) teilen = TeiltNachDrehung(schritt);
            }
            bool umklappen = false;
            if (par_.RandomBackFoldAn) umklappen = zufall_.Naechster() < w_.p && j != 0;
            const bool ende = j == teilungen;
            if (((teilen || umklappen) && j != 0) || (j == 0 && i == 0) || ende) {
                if (!winkel) drehungen();
                const double bank = probe_.Zrot;
                Abschnitt(Q, schritt, umklappen, j == 0, ende, letzte && ende);
                BezugGesetzt(stelle);  // Abschnitt made this sample letzter_
                // Seen from itself: no step, no slope change, only the camber Abschnitt
                // added to the bank of letzter_.
                if (springen && !ende)
                    j += SicherInnen(zuwachs, stelle, 0, bank - letzter_.Zrot, teilungen - j - 1);
            } else if (springen) {
                j += SicherInnen(zuwachs, stelle, schritt, probe_.Zrot - letzter_.Zrot, teilungen - j - 1);
            }
        }
        const double mittel = RadZuGrad(std::atan((Qn.Y - Q.Y) / laenge_));
        bericht_.Memo.push_back("Spline  " + std::to_string(i + 1) + "-" + std::to_string(i + 2) +
                                ": Fahrbahnlänge = " + F4(laenge_) + " m  --  mittlere Steigung = " + F4(mittel) +
                                "°  --  minimale Steigung = " + F4(kleinste_) +
                                "°   -  maximale Steigung = " + F4(groesste_) + "°");
        return laenge_;
    }

    // Whether the sample is far enough from the last emitted one, or turns, climbs or
    // banks enough, to become a cross-section. All comparisons strict:
    //   step / shortest texture length > 1.75 (3.5 with symmetric triangles), or
    //   step > MinLaenge and one rotation change above its threshold, or
    //   one rotation change above twice its threshold.
    // The rule is split in two: the part of length and bank, which every sample can
    // afford, and the part of heading and pitch, which needs the rotations.
    bool TeiltNachLaengeOderBank(double schritt, double zrotDelta) const {
        bool teilen = schritt / w_.MinTexturLaenge > (par_.Fein.DreieckeSym ? 3.5 : 1.75);
        const double zrot = std::fabs(zrotDelta);
        if (schritt > par_.Fein.MinLaenge && zrot > minZRot_) teilen = true;
        if (zrot > 2 * minZRot_) teilen = true;
        return teilen;
    }
    bool TeiltNachDrehung(double schritt) const {
        const double yrot = std::fabs(delta_.Yrot), xrot = std::fabs(delta_.Xrot);
        if (schritt > par_.Fein.MinLaenge && (yrot > minWinkel_ || xrot > minSteigung_)) return true;
        return yrot > 2 * minWinkel_ || xrot > 2 * minSteigung_;
    }

    // letzter_ has just become the reference of the rules: keep its slopes and the band
    // of lateral slopes within which the heading rule stays quiet whatever the step.
    void BezugGesetzt(const Stelle& stelle) {
        bezug_ = stelle;
        querband_ = QuerbandUm(letzter_.Yrot, std::min(minWinkel_, 2 * minWinkel_));
    }

    // The factor of the pitch bound below: min(|h0|, pi/2) * 0.385.
    double PitchKopplung() const { return std::min(std::fabs(bezug_.Hoehe), kPi / 2) * 0.385; }

    // True when the heading and pitch changes since letzter_ certainly stay at or below
    // the thresholds of TeiltNachDrehung, judged from the slopes alone. With q, h the
    // lateral and height slopes now and q0, h0 at letzter_:
    //   heading: q lies in the band of BezugGesetzt (held to the stricter of threshold
    //            and twice the threshold, whatever the step);
    //   pitch:   cos(atan q) atan h - cos(atan q0) atan h0
    //            = cos(atan q) (atan h - atan h0) + atan h0 (cos(atan q) - cos(atan q0)),
    //            so its size is at most |h - h0| + min(|h0|, pi/2) * 0.385 |q - q0|,
    //            as atan is 1-Lipschitz and |d/dq cos(atan q)| = |q| / (1 + q^2)^1.5
    //            <= 2 / sqrt(27) < 0.385.
    // NaN anywhere makes the test fail, and the rotations are then evaluated.
    bool DrehungSicherUnterSchwelle(const Stelle& stelle, double schritt) const {
        if (!querband_.Enthaelt(stelle.Quer)) return false;
        const double grenze =
            schritt > par_.Fein.MinLaenge ? std::min(minSteigung_, 2 * minSteigung_) : 2 * minSteigung_;
        const double dq = std::fabs(stelle.Quer - bezug_.Quer), dh = std::fabs(stelle.Hoehe - bezug_.Hoehe);
        return MitRand(dh + PitchKopplung() * dq) <= grenze;
    }

    // How many of the samples after this one (at most `hoechstens`) certainly stay inner
    // samples. Every skipped sample is held to the strictest form of each rule: the
    // length rule's limit, and for the rotations the smaller of threshold and twice the
    // threshold, whatever its step. From this sample's step, slopes and bank change
    // against letzter_, over d samples
    //   the step grows by at most d Zuwachs::Schritt,
    //   a slope moves by at most |x''(s)| d h + 3 |A| (d h)^2 (y alike),
    //   the bank moves by d Zuwachs::Bank,
    // each with the rounding allowance of two evaluations; the heading then keeps its
    // slope in the band, the pitch its bound of DrehungSicherUnterSchwelle.
    std::int64_t SicherInnen(const Zuwachs& z, const Stelle& stelle, double schritt, double bankDelta,
                             std::int64_t hoechstens) const {
        const double mtl = w_.MinTexturLaenge, faktor = par_.Fein.DreieckeSym ? 3.5 : 1.75;
        // step / mtl > faktor never holds for a negative length; for a positive one it
        // stays false while step <= faktor * mtl (just below, for the rounding).
        const double grenzeSchritt = mtl > 0   ? faktor * mtl * (1 - 1e-12)
                                     : mtl < 0 ? std::numeric_limits<double>::infinity()
                                               : 0.0;
        double proben = static_cast<double>(hoechstens);
        // A quantity a now that grows by at most r1 d + r2 d^2 over d samples stays at
        // or below the limit g for d up to the positive root of r2 d^2 + r1 d = g - a.
        // An infinite limit is never exceeded; a NaN anywhere allows no skip at all.
        auto regel = [&proben](double a, double r1, double r2, double g) {
            if (g == std::numeric_limits<double>::infinity()) return;
            const double rest = g - a;
            const double d = 2 * rest / (r1 + std::sqrt(r1 * r1 + 4 * r2 * rest));
            proben = d >= 0 ? std::min(proben, d) : 0.0;
        };
        regel(schritt * (1 + 1e-12) + 2 * z.RundungLage, z.Schritt * (1 + 1e-12), 0, grenzeSchritt);

        const Querband& band = querband_;
        const double querLinear = (std::fabs(z.Quer2A * stelle.S + z.Quer2B) + z.RundungKruemmung) * z.H;
        const double hoeheLinear = (std::fabs(z.Hoehe2A * stelle.S + z.Hoehe2B) + z.RundungKruemmung) * z.H;
        regel(2 * z.RundungSteigung, querLinear, z.QuerQuadrat,
              std::min(stelle.Quer - band.Min, band.Max - stelle.Quer));

        const double k = PitchKopplung();
        const double dq = std::fabs(stelle.Quer - bezug_.Quer) + 2 * z.RundungSteigung;
        const double dh = std::fabs(stelle.Hoehe - bezug_.Hoehe) + 2 * z.RundungSteigung;
        // MitRand(a + r) = MitRand(a) + r (1 + 1e-12): the margin grows with the value.
        regel(MitRand(dh + k * dq), (hoeheLinear + k * querLinear) * (1 + 1e-12),
              (z.HoeheQuadrat + k * z.QuerQuadrat) * (1 + 1e-12), std::min(minSteigung_, 2 * minSteigung_));
        regel(MitRand(std::fabs(bankDelta) + 2 * z.RundungBank), z.Bank * (1 + 1e-12), 0,
              std::min(minZRot_, 2 * minZRot_));
        if (!(proben >= 1)) return 0;
        return static_cast<std::int64_t>(proben * (1 - 1e-9));
    }

    void Abschnitt(const TSplinePkt& Q, double schritt, bool umklappen, bool anfang, bool ende, bool strassenende) {
        // Section geometry.
        double steigung = 0, kruemmung = 0;
        const double r = delta_.BetragXZ();
        if (r > 0.1) {
            steigung = RadZuGrad(std::atan(delta_.Y / r));
            if (steigung > groesste_) groesste_ = steigung;
            if (steigung < kleinste_) kleinste_ = steigung;
            kruemmung = strassenende ? 0 : delta_.Yrot / r;
        }
        laenge_ += schritt;
        // With the roadway off the texture length may be 0 and the step is not used.
        const double texSchritt =
            w_.Lr != 0 ? schritt / w_.Lr * texRichtung_ * (w_.St * steigung / 90 + 1) : 0.0;

        // Camber, in radians, towards MaxSturz degrees in sharp bends.
        probe_.Zrot += std::atan(kruemmung * w_.K) * par_.Fein.MaxSturz / 90;
        letzter_.Kopieren(probe_);

        // Into level coordinates.
        probe_.DreheY(Q.Richtung);
        probe_.X += Q.X;
        probe_.Y += Q.Y;
        probe_.Z += Q.Z;
        probe_.NormaleAusWinkeln();
        TPunkt& cp = LetzterMittelpunkt;
        cp.Kopieren(probe_);
        if (!ErsterMittelpunkt) ErsterMittelpunkt.emplace().Kopieren(cp);
        geometrie_.Mittellinie.push_back(Plan(cp));
        const Querachse achse(cp);

        // Half widths with the tractrix widening: the outer side of a bend gains 1.5
        // times |curvature| * T, the inner side 0.5 times.
        const int sg = Vorzeichen(kruemmung);
        const double rechtsVersatz = -w_.B - std::fabs(kruemmung) * w_.T * (sg + 2);
        const double linksVersatz = std::fabs(kruemmung) * w_.T * (2 - sg) + w_.B;
        Verkehrspunkte(cp, achse, rechtsVersatz, linksVersatz);

        // Texture events and the kind of section.
        bool spiegeln = false, ruecksetzen = false;
        double scherung = 0;
        const bool fahrbahn = par_.FahrbahnAn;
        if (fahrbahn) {
            if (texRichtung_ == 1 && LaengenKoordinate + texSchritt >= 3.5) {
                if (par_.RuecksetzenAn)
                    ruecksetzen = !strassenende;
                else
                    spiegeln = true;
            }
            if (texRichtung_ == -1 && LaengenKoordinate + texSchritt <= -3.5) spiegeln = true;
            scherung = -delta_.Yrot * w_.B / 2 / w_.Lr;
        }
        const bool querschnitt = ende || anfang || umklappen || spiegeln || ruecksetzen || par_.Fein.DreieckeSym;
        if (querschnitt) scherung = 0;

        double letzterV = 0;
        auto rechts = [&] {
            TPunkt& e = KanteRechts.Neuer();
            e.Kopieren(cp);
            achse.Verschieben(e, rechtsVersatz / 2);
            geometrie_.KanteRechts.push_back(Plan(e));
            e.U = w_.Ue;
            e.V = letzterV = LaengenKoordinate + texSchritt + scherung;
            if (fahrbahn) Schreiben(e, true);
        };
        auto links = [&] {
            TPunkt& e = KanteLinks.Neuer();
            e.Kopieren(cp);
            achse.Verschieben(e, linksVersatz / 2);
            geometrie_.KanteLinks.push_back(Plan(e));
            e.U = w_.Ua;
            e.V = letzterV = LaengenKoordinate + texSchritt - scherung;
            if (fahrbahn) Schreiben(e, false);
        };

        // The strip: one or two edge vertices per section.
        if (naechsteRechts_) rechts();
        if (!naechsteRechts_ || querschnitt) {
            links();
            if (querschnitt && !naechsteRechts_)
                rechts();  // the right edge after the left one; the order stays as it is
            else if (querschnitt)
                naechsteRechts_ = true;
        }
        if (!querschnitt) naechsteRechts_ = !naechsteRechts_;

        if (!fahrbahn) return;
        LaengenKoordinate = letzterV;
        if (umklappen || spiegeln) texRichtung_ = -texRichtung_;
        if (ruecksetzen) {
            // Same phase, shifted down by whole texture lengths; the section is written
            // again with it and the next triangles join the duplicates, so the texture
            // has no seam.
            LaengenKoordinate = LaengenKoordinate - 7 - std::trunc(LaengenKoordinate);
            // Both sides have points: the first section of the road writes both edges.
            TPunkt& r1 = KanteRechts.Letzter();
            TPunkt& l1 = KanteLinks.Letzter();
            TPunkt& erster = naechsteRechts_ ? r1 : l1;
            TPunkt& zweiter = naechsteRechts_ ? l1 : r1;
            erster.V = LaengenKoordinate;
            netz_.VertexSchreiben(erster);
            zweiter.V = LaengenKoordinate;
            netz_.VertexSchreiben(zweiter);
        }
    }

    Planlage Plan(const TPunkt& p) const {
        return {static_cast<float>(p.X - geometrie_.PlanUrsprung[0]), static_cast<float>(p.Z - geometrie_.PlanUrsprung[1])};
    }

    // Writes an edge vertex and, from the third vertex on, the triangle it closes.
    void Schreiben(const TPunkt& e, bool rechtsTyp) {
        netz_.VertexSchreiben(e);
        const std::int32_t k = netz_.AnzVertices();
        if (k <= 2) return;
        if (rechtsTyp)
            netz_.DreieckSchreiben(k - 2, k - 3, k - 1);
        else
            netz_.DreieckSchreiben(k - 3, k - 2, k - 1);
    }

    // Control points of the traffic curves: the centre point, and the centre point moved
    // by the given percentage of the half width to each side, following its bank.
    void Verkehrspunkte(const TPunkt& cp, const Querachse& achse, double rechtsVersatz, double linksVersatz) {
        if (Kurven[0]) Kurven[0]->push_back({cp.X, cp.Y, cp.Z});
        if (Kurven[1]) {
            TPunkt p;
            p.Kopieren(cp);
            achse.Verschieben(p, rechtsVersatz / 200 * w_.Pr);
            Kurven[1]->push_back({p.X, p.Y, p.Z});
        }
        if (Kurven[2]) {
            TPunkt p;
            p.Kopieren(cp);
            achse.Verschieben(p, linksVersatz / 200 * w_.Pl);
            Kurven[2]->push_back({p.X, p.Y, p.Z});
        }
    }

    const Laufparameter& par_;
    const Werte& w_;
    TSplinePunkte& punkte_;
    Zufallsgenerator& zufall_;
    Netz& netz_;
    Laufbericht& bericht_;
    Laufgeometrie& geometrie_;  // centre line and roadway edges, compact, for views of the road

    // Thresholds of the rotation rules in radians, converted once.
    const double minWinkel_, minSteigung_, minZRot_;

    TPunkt probe_, letzter_, delta_;
    Stelle bezug_;        // where letzter_ lies on the chord, and its slopes
    Querband querband_;  // lateral slopes that keep the heading rule quiet against letzter_
    int texRichtung_ = 1;
    bool naechsteRechts_ = true;  // the next single-edge section emits a right vertex
    double kleinste_ = 1e10, groesste_ = -1e10, laenge_ = 0;
};

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

// The vertices and triangles Randstreifen writes for `kante`.
std::pair<std::int64_t, std::int64_t> RandstreifenGroesse(const TRandPunkte& rand,
                                                          const std::vector<TPunkt>& kante) {
    const std::int64_t m = rand.AnzahlSegmente();
    std::int64_t schnitte = 0;
    auto zaehlen = [&schnitte](std::size_t, double) { ++schnitte; };
    RandKoordinaten(rand, kante, zaehlen, zaehlen);
    const auto basispunkte = static_cast<std::int64_t>(kante.size());
    return {schnitte * m, (basispunkte - 1) * 2 * std::max<std::int64_t>(m - 1, 0)};
}

// Sweeps a border profile along the roadway edge points of its side: one cross-section
// per edge point, joined to the one before by two triangles per segment, with the
// texture coordinate of RandKoordinaten. A reset writes the section again, and the next
// triangles join the copy.
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

// Closes both ends of the road body: the cross-section of right border, roadway top and
// left border at the plain width, triangulated once per face. The start face faces back
// (local normal -Z), the end face forward (+Z), each with the winding that agrees with
// its normal. False when the outline is too short to fill.
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
        melder.Information("Die Füllfläche hat weniger als drei Umrisspunkte und wird nicht erzeugt.");
        return false;
    }
    fuellung.Fuellen(netz.Dreiecke, netz.AnzVertices(), true, melder);
    Stirnseite(fuellung.Punkte, *ersterMittelpunkt, -1.0, netz);
    netz.SubsetAbschliessen();
    fuellung.Fuellen(netz.Dreiecke, netz.AnzVertices(), false, melder);
    Stirnseite(fuellung.Punkte, letzterMittelpunkt, 1.0, netz);
    return true;
}

}  // namespace

void Generieren(const Laufparameter& par, Strassenmodell& modell, Zufallsgenerator& zufall, Melder& melder,
                Laufbericht& bericht, Dokumentziel& ziel) {
    TSplinePunkte& punkte = modell.SplinePunkte;
    if (punkte.AnzahlPunkte() < 2) {
        melder.Warnung("Zu wenig SplinePunkte");
        bericht.GoDeaktivieren = true;
        return;
    }
    bericht.MemoGeleert = true;
    bericht.Memo.clear();
    if (!punkte.BerechneMittellinie(melder)) return;

    // Every field is read and checked here, before the output file is touched.
    Werte w;
    w.B = ZahlAusText(par.Breite);
    w.T = ZahlAusText(par.Schleppkurve);
    if (!par.SchleppkurveAn) w.T = 0;
    w.K = ZahlAusText(par.Sturz);
    if (!par.SturzAn) w.K = 0;
    bericht.Memo.push_back("Geometry:   Width = " + F4(w.B) + "  --  Schleppkurve = " + F4(w.T));

    w.Lr = ZahlAusText(par.Textur1Laenge);
    w.Ua = ZahlAusText(par.TexStart);
    w.Ue = ZahlAusText(par.TexEnde);
    bericht.TexPxl = GanzzahlAusText(par.TexPxl);
    w.p = ZahlAusText(par.RandomBackfold);
    w.St = ZahlAusText(par.Streckung);
    bericht.Memo.push_back("Textur: Länge = " + F4(w.Lr) + " - Start = " + F4(w.Ua) + " - Ende = " + F4(w.Ue));
    if (par.FahrbahnAn && w.Lr == 0) {
        melder.Warnung("Die Texturlänge der Fahrbahn (Length) darf nicht 0 sein.");
        return;
    }

    // Each enabled border takes its texture group, then lists itself into the report.
    TRandPunkte* raender[2] = {modell.RandR, modell.RandL};
    const RandParameter* randPar[2] = {&par.RandR, &par.RandL};
    for (int s = 0; s < 2; ++s) {
        if (!randPar[s]->An) continue;
        TRandPunkte* rand = raender[s];
        if (!rand) throw std::logic_error("border enabled without a border profile");
        rand->TexturLaenge = ZahlAusText(randPar[s]->TexLaenge);
        rand->TexturBreite = ZahlAusText(randPar[s]->TexBreite);
        rand->Pixel = GanzzahlAusText(randPar[s]->TexBreitePxl);
        rand->TexturDatei = randPar[s]->TexturDatei;
        rand->Ruecksetzen = randPar[s]->Ruecksetzen;
        rand->Auflisten(bericht.Memo);
    }
    for (int s = 0; s < 2; ++s) {
        if (randPar[s]->An && raender[s]->TexturLaenge == 0) {
            melder.Warnung(std::string("Die Texturlänge des ") + (s == 0 ? "rechten" : "linken") +
                           " Randes (Length) darf nicht 0 sein.");
            return;
        }
    }

    TFuellFlaeche* fuellung = modell.FuellFlaeche;
    if (par.FuellenAn) {
        if (!fuellung || !modell.RandR || !modell.RandL)
            throw std::logic_error("fill enabled without the fill and both border profiles");
        if (fuellung->TexturBreite == 0 || fuellung->TexturHoehe == 0) {
            melder.Warnung(std::string("Die Texturgröße der Füllfläche (") +
                           (fuellung->TexturBreite == 0 ? "Breite" : "Höhe") + ") darf nicht 0 sein.");
            return;
        }
    }

    if (par.FahrbahnAn) w.MinTexturLaenge = std::min(w.MinTexturLaenge, w.Lr);
    for (int s = 0; s < 2; ++s)
        if (randPar[s]->An) w.MinTexturLaenge = std::min(w.MinTexturLaenge, raender[s]->TexturLaenge);
    if (par.TrafficRechts) w.Pr = ZahlAusText(par.TrafficRechtsProzent);
    if (par.TrafficLinks) w.Pl = ZahlAusText(par.TrafficLinksProzent);

    double proben = 0;
    for (int i = 0; i + 1 < punkte.AnzahlPunkte(); ++i) proben += 2 * punkte.Punkt(i)->Abstand + 2;
    if (proben > kMaxProben) {
        melder.Warnung("Die Straße ist zu lang (höchstens 10000 km); ist ein SplinePunkt falsch eingegeben?");
        return;
    }

    w.TexL0 = ZahlAusText(par.TexL0);
    bericht.OldTexL0 = w.TexL0;

    // A target that cannot be written stops the run here, before the computation; the
    // document itself is opened only once it is ready to be written.
    ziel.Pruefen();

    // Starting 7 below the chosen phase gives the first rise its room before the
    // coordinate first reaches the mirror line at 3.5.
    const double laengenKoordinate = par.RandomBackFoldAn ? w.TexL0 : w.TexL0 - 7;
    bericht.Memo.push_back("TexturStart = " + F4(laengenKoordinate));

    auto netz = std::make_shared<Netz>();
    auto geometrie = std::make_shared<Laufgeometrie>();
    geometrie->PlanUrsprung = {punkte.Punkt(0)->X, punkte.Punkt(0)->Z};
    // The walk's edge and centre points are needed until the borders and the fill are
    // built; they are freed before the document is written (`lauf` is reset there).
    std::optional<Fahrbahnlauf> laufSpeicher;
    Fahrbahnlauf& lauf = laufSpeicher.emplace(par, w, punkte, zufall, *netz, bericht, *geometrie);
    lauf.Laufen(laengenKoordinate);

    std::optional<std::string> neuerTexL0;
    if (par.FahrbahnAn) {
        const double lk = lauf.LaengenKoordinate;
        bericht.Memo.push_back("Textur: Längenkoordinate am Ende = " + F4(lk));
        double phase = lk - std::trunc(lk);
        if (phase < 0) phase += 1;
        if (phase == 1) phase = 0;
        neuerTexL0 = FormatAllgemein(phase);
        bericht.Memo.push_back("Textur: Längenkoordinate für die nächste Straße = " + F4(phase));
        netz->SubsetAbschliessen();
        geometrie->Teile.push_back(Netzteil::Fahrbahn);
        bericht.Memo.push_back("Fahrbahn: " + std::to_string(netz->AnzVertices()) + " Vertices, " +
                               std::to_string(netz->AnzDreiecke()) + " triangles");
    } else {
        bericht.Memo.push_back("Fahrbahn: nicht erzeugt");
    }

    // The borders and the fill add a number of vertices and triangles that is known now:
    // room for all of them at once, so the mesh is not moved from block to ever larger
    // block, each move holding both blocks for a moment.
    std::int64_t weitereVertices = 0, weitereDreiecke = 0;
    for (int s = 0; s < 2; ++s) {
        const std::vector<TPunkt>& kante = s == 0 ? lauf.KanteRechts.Punkte : lauf.KanteLinks.Punkte;
        if (!randPar[s]->An || kante.size() < 2) continue;
        const auto [vertices, dreiecke] = RandstreifenGroesse(*raender[s], kante);
        weitereVertices += vertices;
        weitereDreiecke += dreiecke;
    }
    if (par.FuellenAn) {  // at most: one outline point per profile segment, two faces
        const std::int64_t umriss = modell.RandR->AnzahlSegmente() + modell.RandL->AnzahlSegmente();
        weitereVertices += 2 * umriss;
        weitereDreiecke += 2 * umriss;
    }
    netz->Reservieren(weitereVertices, weitereDreiecke);

    for (int s = 0; s < 2; ++s) {
        if (!randPar[s]->An) continue;
        const std::vector<TPunkt>& kante = s == 0 ? lauf.KanteRechts.Punkte : lauf.KanteLinks.Punkte;
        if (kante.size() < 2) {
            melder.Warnung(s == 0 ? "Zu wenig Punkte am rechten Rand" : "Zu wenig Punkte am linken Rand");
            return;
        }
        Randstreifen(*raender[s], s == 0, kante, *netz);
        bericht.Memo.push_back(std::string(s == 0 ? "right border: " : "left border: ") +
                               std::to_string(netz->OffeneVertices()) + " Vertices, " +
                               std::to_string(netz->OffeneDreiecke()) + " triangles");
        netz->SubsetAbschliessen();
        geometrie->Teile.push_back(s == 0 ? Netzteil::RandRechts : Netzteil::RandLinks);
    }

    bool gefuellt = false;
    if (par.FuellenAn) {
        gefuellt = Stirnflaechen(*fuellung, *modell.RandR, *modell.RandL, w.B, lauf.ErsterMittelpunkt,
                                 lauf.LetzterMittelpunkt, *netz, melder);
        if (gefuellt) {
            bericht.Memo.push_back("Füllfläche: " + std::to_string(netz->OffeneVertices()) + " Vertices, " +
                                   std::to_string(netz->OffeneDreiecke()) + " triangles");
            netz->SubsetAbschliessen();
        }
    }
    // The fill's Subsets: the start face (closed inside Stirnflaechen) and the end face.
    while (geometrie->Teile.size() < netz->Subsets.size()) geometrie->Teile.push_back(Netzteil::Fuellung);

    I3dDokument dokument;
    dokument.ShapeName = par.ShapeName;
    if (par.FahrbahnAn) dokument.Teile[static_cast<std::size_t>(Netzteil::Fahrbahn)] = par.Textur1Datei;
    if (par.RandR.An) dokument.Teile[static_cast<std::size_t>(Netzteil::RandRechts)] = par.RandR.TexturDatei;
    if (par.RandL.An) dokument.Teile[static_cast<std::size_t>(Netzteil::RandLinks)] = par.RandL.TexturDatei;
    if (gefuellt) dokument.Teile[static_cast<std::size_t>(Netzteil::Fuellung)] = fuellung->Textur;
    dokument.Kurven = std::move(lauf.Kurven);
    laufSpeicher.reset();  // `lauf` is not used past here
    dokument.Dreiecksnetz = netz.get();
    dokument.TransformGroup = par.TransformGroup;
    for (int k = 0; k < punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& q = *punkte.Punkt(k);
        dokument.Marken.push_back({q.X, q.Y, q.Z, q.Xrot, q.Yrot, q.Zrot});
        geometrie->SplinePunkte.push_back({q.X, q.Y, q.Z});
    }

    // Whatever ends the run from here on without a complete document (a number out of
    // range, a failed write, an exception), nothing of it stays.
    struct Offen {
        Dokumentziel& ziel;
        bool abgeschlossen = false;
        ~Offen() {
            if (!abgeschlossen) ziel.Verwerfen();
        }
    } offen{ziel};
    std::ostream& strom = ziel.Oeffnen();
    try {
        I3dSchreiben(strom, dokument);
    } catch (const std::logic_error&) {  // a number beyond the range the document can hold
        melder.Warnung("Die Geometrie enthält Zahlen außerhalb des gültigen Bereichs; " + par.DateiName +
                       " wurde nicht geschrieben.");
        return;
    }
    ziel.Abschliessen();
    offen.abgeschlossen = true;
    bericht.Geschrieben = true;
    bericht.TexL0 = std::move(neuerTexL0);
    bericht.Dreiecksnetz = std::move(netz);
    // The document is written; its curves go on to the views with the rest.
    geometrie->Kurven = std::move(dokument.Kurven);
    bericht.Geometrie = std::move(geometrie);
}

}  // namespace pavolant
