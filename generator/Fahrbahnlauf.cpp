#include "generator/Fahrbahnlauf.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace pavolant::erzeugung {

std::string F4(double wert) { return std::isfinite(wert) ? FormatFest4(wert) : FormatAllgemein(wert, '.'); }

namespace {

int Vorzeichen(double x) { return (x > 0) - (x < 0); }

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

}  // namespace

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

namespace {

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

}  // namespace

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

Fahrbahnlauf::Fahrbahnlauf(const Strasse& par, const Werte& w, TSplinePunkte& punkte,
                           Zufallsgenerator& zufall, Netz& netz, Bauergebnis& bericht,
                           Laufgeometrie& geometrie)
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

void Fahrbahnlauf::Vermessen(const Gelaende& boden, const TRandPunkte* randR, const TRandPunkte* randL) {
    boden_ = &boden;
    randR_ = randR;
    randL_ = randL;
    Schnitt.emplace();
}

void Fahrbahnlauf::Laufen(double laengenKoordinate) {
    LaengenKoordinate = laengenKoordinate;
    double gesamt = 0;
    const int n = punkte_.AnzahlPunkte();
    for (int i = 0; i <= n - 2; ++i) {
        VerbindungDreiecke.push_back(netz_.AnzDreiecke());
        VerbindungKanten[0].push_back(static_cast<std::int32_t>(geometrie_.KanteRechts.size()));
        VerbindungKanten[1].push_back(static_cast<std::int32_t>(geometrie_.KanteLinks.size()));
        gesamt += Verbindung(i, i == n - 2);
        bisher_ = gesamt;
    }
    bericht_.Memo.push_back(Einsetzen(Tr("Gesamt-Fahrbahnlänge = %1 m"), {F4(gesamt)}));
    bericht_.Fahrbahnlaenge = gesamt;
}

double Fahrbahnlauf::Verbindung(int i, bool letzte) {
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
            probenNr_ = probenBasis_ + j;
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
    probenBasis_ += teilungen + 1;
    const double mittel = RadZuGrad(std::atan((Qn.Y - Q.Y) / laenge_));
    // Catalog: the connection from spline point %1 to %2: %3 its length along the road,
    // %4 the slope from point to point, %5 and %6 the least and the greatest slope on the
    // way (degrees; a negative slope runs downhill).
    bericht_.Memo.push_back(
        Einsetzen(Tr("Spline  %1-%2: Fahrbahnlänge = %3 m  --  mittlere Steigung = %4°  --  "
                     "minimale Steigung = %5°   -  maximale Steigung = %6°"),
                  {std::to_string(i + 1), std::to_string(i + 2), F4(laenge_), F4(mittel), F4(kleinste_),
                   F4(groesste_)}));
    return laenge_;
}

bool Fahrbahnlauf::TeiltNachLaengeOderBank(double schritt, double zrotDelta) const {
    bool teilen = schritt / w_.MinTexturLaenge > (par_.Fein.DreieckeSym ? 3.5 : 1.75);
    const double zrot = std::fabs(zrotDelta);
    if (schritt > par_.Fein.MinLaenge && zrot > minZRot_) teilen = true;
    if (zrot > 2 * minZRot_) teilen = true;
    return teilen;
}

bool Fahrbahnlauf::TeiltNachDrehung(double schritt) const {
    const double yrot = std::fabs(delta_.Yrot), xrot = std::fabs(delta_.Xrot);
    if (schritt > par_.Fein.MinLaenge && (yrot > minWinkel_ || xrot > minSteigung_)) return true;
    return yrot > 2 * minWinkel_ || xrot > 2 * minSteigung_;
}

void Fahrbahnlauf::BezugGesetzt(const Stelle& stelle) {
    bezug_ = stelle;
    querband_ = QuerbandUm(letzter_.Yrot, std::min(minWinkel_, 2 * minWinkel_));
}

bool Fahrbahnlauf::DrehungSicherUnterSchwelle(const Stelle& stelle, double schritt) const {
    if (!querband_.Enthaelt(stelle.Quer)) return false;
    const double grenze =
        schritt > par_.Fein.MinLaenge ? std::min(minSteigung_, 2 * minSteigung_) : 2 * minSteigung_;
    const double dq = std::fabs(stelle.Quer - bezug_.Quer), dh = std::fabs(stelle.Hoehe - bezug_.Hoehe);
    return MitRand(dh + PitchKopplung() * dq) <= grenze;
}

std::int64_t Fahrbahnlauf::SicherInnen(const Zuwachs& z, const Stelle& stelle, double schritt,
                                       double bankDelta, std::int64_t hoechstens) const {
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

void Fahrbahnlauf::Abschnitt(const TSplinePkt& Q, double schritt, bool umklappen, bool anfang, bool ende,
                             bool strassenende) {
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
    const double texSchritt = w_.Lr != 0 ? schritt / w_.Lr * texRichtung_ * (w_.St * steigung / 90 + 1) : 0.0;

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
    if (boden_) SchnittAufnehmen(cp, achse, rechtsVersatz, linksVersatz);

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

Planlage Fahrbahnlauf::Plan(const TPunkt& p) const {
    return {static_cast<float>(p.X - geometrie_.PlanUrsprung[0]),
            static_cast<float>(p.Z - geometrie_.PlanUrsprung[1])};
}

void Fahrbahnlauf::SchnittAufnehmen(const TPunkt& cp, const Querachse& achse, double rechtsVersatz,
                                    double linksVersatz) {
    // The edge point as the strip places it, then the border's last profile point
    // around it as the border sweep places it.
    auto aussen = [&](double versatz, const TRandPunkte* rand) {
        TPunkt kante;
        kante.Kopieren(cp);
        achse.Verschieben(kante, versatz / 2);
        if (!rand || rand->AnzahlSegmente() < 1) return Ort{kante.X, kante.Y, kante.Z};
        TPunkt t;
        rand->RandPunkt(kante, t, rand->AnzahlSegmente() - 1);
        return Ort{t.X, t.Y, t.Z};
    };
    const std::array<Ort, 3> punkte = {Ort{cp.X, cp.Y, cp.Z}, aussen(rechtsVersatz, randR_),
                                       aussen(linksVersatz, randL_)};
    Schnitt->Anfuegen(bisher_ + laenge_, punkte, *boden_, probenNr_ - letzteProbe_);
    letzteProbe_ = probenNr_;
}

void Fahrbahnlauf::Schreiben(const TPunkt& e, bool rechtsTyp) {
    netz_.VertexSchreiben(e);
    const std::int32_t k = netz_.AnzVertices();
    if (k <= 2) return;
    if (rechtsTyp)
        netz_.DreieckSchreiben(k - 2, k - 3, k - 1);
    else
        netz_.DreieckSchreiben(k - 3, k - 2, k - 1);
}

void Fahrbahnlauf::Verkehrspunkte(const TPunkt& cp, const Querachse& achse, double rechtsVersatz,
                                  double linksVersatz) {
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

}  // namespace pavolant::erzeugung
