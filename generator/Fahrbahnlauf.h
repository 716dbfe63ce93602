// The walk along the centre line of one run (see Bauen): the values it works
// with, the roadway edges it collects for the borders, and the walk itself. Internal to
// the generator; Strassenbau.cpp drives it.
#pragma once

#include "generator/Strassenbau.h"
#include "model/Gelaende.h"
#include "model/Laengsschnitt.h"
#include "model/Netz.h"
#include "model/Punkte.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pavolant::erzeugung {

// Report numbers in the document's fixed format. A value that overflowed still gets a
// line (the document itself refuses it later), so the report shows where it went wrong.
std::string F4(double wert);

// The values of one run after conversion.
struct Werte {
    double B = 0, T = 0, K = 0;     // width (m), tractrix factor, camber factor
    double Lr = 0, Ua = 0, Ue = 0;  // texture length (m), U of left and right edge
    double p = 0, St = 0;           // flip probability, stretch on slopes
    double Pr = 0, Pl = 0;          // traffic spline percentages
    double MinTexturLaenge = 1e10;  // limit of the sample spacing
    double TexL0 = 0;
};

// Where a sample lies on the chord (s, metres) and the centre line's slopes there,
// lateral x'(s) and height y'(s).
struct Stelle {
    double S = 0, Quer = 0, Hoehe = 0;
};

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

struct Zuwachs;
class Querachse;

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
    Fahrbahnlauf(const Strasse& par, const Werte& w, TSplinePunkte& punkte, Zufallsgenerator& zufall,
                 Netz& netz, Bauergebnis& bericht, Laufgeometrie& geometrie);

    // Before Laufen: measure every cross-section against `boden` into Schnitt, the outer
    // points on the outermost point of a side's border profile where `randR` (`randL`)
    // is given, else on the roadway edge. All three must outlive the walk.
    void Vermessen(const Gelaende& boden, const TRandPunkte* randR, const TRandPunkte* randL);

    void Laufen(double laengenKoordinate);

    double LaengenKoordinate = 0;
    // The first and the latest centre point of a cross-section (the front faces stand
    // on the two ends); the first stays empty until the walk emits one.
    std::optional<TPunkt> ErsterMittelpunkt;
    TPunkt LetzterMittelpunkt;
    Kante KanteRechts, KanteLinks;
    std::array<std::optional<std::vector<Kurvenpunkt>>, 3> Kurven;
    // The road against the ground, when Vermessen was called.
    std::optional<Laengsschnitt> Schnitt;
    // Where each connection's walk began: the mesh's triangles and each side's edge points
    // (right, left) written before it. A few numbers a connection, from which the top
    // surfaces' connection ranges are made (Deckflaeche).
    std::vector<std::int32_t> VerbindungDreiecke;
    std::array<std::vector<std::int32_t>, 2> VerbindungKanten;

private:
    // One connection; returns its length.
    double Verbindung(int i, bool letzte);

    // Whether the sample is far enough from the last emitted one, or turns, climbs or
    // banks enough, to become a cross-section. All comparisons strict:
    //   step / shortest texture length > 1.75 (3.5 with symmetric triangles), or
    //   step > MinLaenge and one rotation change above its threshold, or
    //   one rotation change above twice its threshold.
    // The rule is split in two: the part of length and bank, which every sample can
    // afford, and the part of heading and pitch, which needs the rotations.
    bool TeiltNachLaengeOderBank(double schritt, double zrotDelta) const;
    bool TeiltNachDrehung(double schritt) const;

    // letzter_ has just become the reference of the rules: keep its slopes and the band
    // of lateral slopes within which the heading rule stays quiet whatever the step.
    void BezugGesetzt(const Stelle& stelle);

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
    bool DrehungSicherUnterSchwelle(const Stelle& stelle, double schritt) const;

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
                             std::int64_t hoechstens) const;

    void Abschnitt(const TSplinePkt& Q, double schritt, bool umklappen, bool anfang, bool ende,
                   bool strassenende);

    Planlage Plan(const TPunkt& p) const;

    // Both sides' outer points of the cross-section at centre point `cp` into Schnitt
    // (a section emits one edge or both; the section needs both).
    void SchnittAufnehmen(const TPunkt& cp, const Querachse& achse, double rechtsVersatz,
                          double linksVersatz);

    // Writes an edge vertex and, from the third vertex on, the triangle it closes.
    void Schreiben(const TPunkt& e, bool rechtsTyp);

    // Control points of the traffic curves: the centre point, and the centre point moved
    // by the given percentage of the half width to each side, following its bank.
    void Verkehrspunkte(const TPunkt& cp, const Querachse& achse, double rechtsVersatz, double linksVersatz);

    const Strasse& par_;
    const Werte& w_;
    TSplinePunkte& punkte_;
    Zufallsgenerator& zufall_;
    Netz& netz_;
    Bauergebnis& bericht_;
    Laufgeometrie& geometrie_;  // centre line and roadway edges, compact, for views of the road

    // Thresholds of the rotation rules in radians, converted once.
    const double minWinkel_, minSteigung_, minZRot_;

    TPunkt probe_, letzter_, delta_;
    Stelle bezug_;       // where letzter_ lies on the chord, and its slopes
    Querband querband_;  // lateral slopes that keep the heading rule quiet against letzter_
    int texRichtung_ = 1;
    bool naechsteRechts_ = true;  // the next single-edge section emits a right vertex
    double kleinste_ = 1e10, groesste_ = -1e10, laenge_ = 0;

    // Measuring against the ground (Vermessen): the ground, the borders the outer points
    // stand on, the length of the connections before this one (metres), and the samples
    // so far counted over all connections, so that a stretch is cut into no more parts
    // than the walk took samples on it (which bounds Schnitt by the samples).
    const Gelaende* boden_ = nullptr;
    const TRandPunkte* randR_ = nullptr;
    const TRandPunkte* randL_ = nullptr;
    double bisher_ = 0;
    std::int64_t probenBasis_ = 0, probenNr_ = 0, letzteProbe_ = 0;
};

}  // namespace pavolant::erzeugung
