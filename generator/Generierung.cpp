#include "generator/Generierung.h"

#include "generator/I3dDokument.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"

#include <cmath>
#include <cstdint>
#include <stdexcept>

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

// The walk along the centre line: samples every connection, emits cross-sections,
// builds the roadway strip with its texture coordinate, the edge and centre points and
// the traffic-spline control points.
class Fahrbahnlauf {
public:
    Fahrbahnlauf(const Laufparameter& par, const Werte& w, TSplinePunkte& punkte, Zufallsgenerator& zufall,
                 Netz& netz, Laufbericht& bericht)
        : par_(par), w_(w), punkte_(punkte), zufall_(zufall), netz_(netz), bericht_(bericht) {
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
    TPunkteSammlung Mittelpunkte, KanteRechts, KanteLinks;
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
        for (std::int64_t j = 0; j <= teilungen; ++j) {
            punkte_.MittellinienPunkt(i, probe_, static_cast<double>(j) / static_cast<double>(teilungen));
            if (j == 0) letzter_.Kopieren(probe_);
            probe_.Differenz(letzter_, delta_);
            const double schritt = delta_.Betrag();
            const bool teilen = Teilen(schritt);
            bool umklappen = false;
            if (par_.RandomBackFoldAn) umklappen = zufall_.Naechster() < w_.p && j != 0;
            const bool ende = j == teilungen;
            if (((teilen || umklappen) && j != 0) || (j == 0 && i == 0) || ende)
                Abschnitt(Q, schritt, umklappen, j == 0, ende, letzte && ende);
        }
        const double mittel = RadZuGrad(std::atan((Qn.Y - Q.Y) / laenge_));
        bericht_.Memo.push_back("Spline  " + std::to_string(i + 1) + "-" + std::to_string(i + 2) +
                                ": Fahrbahnlänge = " + F4(laenge_) + " m  --  mittlere Steigung = " + F4(mittel) +
                                "°  --  minimale Steigung = " + F4(kleinste_) +
                                "°   -  maximale Steigung = " + F4(groesste_) + "°");
        return laenge_;
    }

    // Whether the sample is far enough from the last emitted one, or turns, climbs or
    // banks enough, to become a cross-section. All comparisons strict.
    bool Teilen(double schritt) const {
        bool teilen = schritt / w_.MinTexturLaenge > (par_.DreieckeSym ? 3.5 : 1.75);
        const double yrot = std::fabs(delta_.Yrot), xrot = std::fabs(delta_.Xrot), zrot = std::fabs(delta_.Zrot);
        const double minWinkel = GradZuRad(par_.MinWinkel), minSteigung = GradZuRad(par_.MinSteigung),
                     minZRot = GradZuRad(par_.MinZRot);
        if (schritt > par_.MinLaenge && (yrot > minWinkel || xrot > minSteigung || zrot > minZRot)) teilen = true;
        if (yrot > 2 * minWinkel || xrot > 2 * minSteigung || zrot > 2 * minZRot) teilen = true;
        return teilen;
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
        probe_.Zrot += std::atan(kruemmung * w_.K) * par_.MaxSturz / 90;
        letzter_.Kopieren(probe_);

        // Into level coordinates.
        probe_.DreheY(Q.Richtung);
        probe_.X += Q.X;
        probe_.Y += Q.Y;
        probe_.Z += Q.Z;
        probe_.NormaleAusWinkeln();
        TPunkt& cp = *Mittelpunkte.Punkt(Mittelpunkte.NeuerPunkt());
        cp.Kopieren(probe_);

        // Half widths with the tractrix widening: the outer side of a bend gains 1.5
        // times |curvature| * T, the inner side 0.5 times.
        const int sg = Vorzeichen(kruemmung);
        const double rechtsVersatz = -w_.B - std::fabs(kruemmung) * w_.T * (sg + 2);
        const double linksVersatz = std::fabs(kruemmung) * w_.T * (2 - sg) + w_.B;
        Verkehrspunkte(cp, rechtsVersatz, linksVersatz);

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
        const bool querschnitt = ende || anfang || umklappen || spiegeln || ruecksetzen || par_.DreieckeSym;
        if (querschnitt) scherung = 0;

        double letzterV = 0;
        auto rechts = [&] {
            TPunkt& e = *KanteRechts.Punkt(KanteRechts.NeuerPunkt());
            e.Kopieren(cp);
            VerschiebeInRichtung(e, rechtsVersatz / 2);
            e.U = w_.Ue;
            e.V = letzterV = LaengenKoordinate + texSchritt + scherung;
            if (fahrbahn) Schreiben(e, true);
        };
        auto links = [&] {
            TPunkt& e = *KanteLinks.Punkt(KanteLinks.NeuerPunkt());
            e.Kopieren(cp);
            VerschiebeInRichtung(e, linksVersatz / 2);
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
            TPunkt& r1 = *KanteRechts.Punkt(KanteRechts.AnzahlPunkte() - 1);
            TPunkt& l1 = *KanteLinks.Punkt(KanteLinks.AnzahlPunkte() - 1);
            TPunkt& erster = naechsteRechts_ ? r1 : l1;
            TPunkt& zweiter = naechsteRechts_ ? l1 : r1;
            erster.V = LaengenKoordinate;
            netz_.VertexSchreiben(erster);
            zweiter.V = LaengenKoordinate;
            netz_.VertexSchreiben(zweiter);
        }
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
    void Verkehrspunkte(const TPunkt& cp, double rechtsVersatz, double linksVersatz) {
        if (Kurven[0]) Kurven[0]->push_back({cp.X, cp.Y, cp.Z});
        if (Kurven[1]) {
            TPunkt p;
            p.Kopieren(cp);
            VerschiebeInRichtung(p, rechtsVersatz / 200 * w_.Pr);
            Kurven[1]->push_back({p.X, p.Y, p.Z});
        }
        if (Kurven[2]) {
            TPunkt p;
            p.Kopieren(cp);
            VerschiebeInRichtung(p, linksVersatz / 200 * w_.Pl);
            Kurven[2]->push_back({p.X, p.Y, p.Z});
        }
    }

    const Laufparameter& par_;
    const Werte& w_;
    TSplinePunkte& punkte_;
    Zufallsgenerator& zufall_;
    Netz& netz_;
    Laufbericht& bericht_;

    TPunkt probe_, letzter_, delta_;
    int texRichtung_ = 1;
    bool naechsteRechts_ = true;  // the next single-edge section emits a right vertex
    double kleinste_ = 1e10, groesste_ = -1e10, laenge_ = 0;
};

// Sweeps a border profile along the roadway edge points of its side: one cross-section
// per edge point, joined to the one before by two triangles per segment. The texture
// coordinate along the border starts at -7 and mirrors (or resets) like the roadway's,
// judged on the value just written.
void Randstreifen(const TRandPunkte& rand, bool rechts, const TPunkteSammlung& kante, Netz& netz) {
    const std::int32_t m = rand.AnzahlSegmente();
    const int anzahl = kante.AnzahlPunkte();
    double w = -7;
    int f = 1;
    const TPunkt* vorige = kante.Punkt(0);
    TPunkt delta, p;
    for (int i = 0; i < anzahl; ++i) {
        const TPunkt& basis = *kante.Punkt(i);
        basis.Differenz(*vorige, delta);
        const double d = delta.Betrag();
        vorige = &basis;
        const double v = d / rand.TexturLaenge * f + w;
        for (std::int32_t j = 0; j < m; ++j) {
            rand.RandPunkt(basis, p, j);
            p.V = v;
            netz.VertexSchreiben(p);
        }
        if (i > 0) {
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
        }
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
            // The same section again, a whole number of texture lengths lower; the next
            // triangles join these copies.
            w = w - 7 - std::trunc(w);
            for (std::int32_t j = 0; j < m; ++j) {
                rand.RandPunkt(basis, p, j);
                p.V = w;
                netz.VertexSchreiben(p);
            }
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

// Closes both ends of the road body: the cross-section of right border, roadway top and
// left border at the plain width, triangulated once per face. The start face faces back
// (local normal -Z), the end face forward (+Z), each with the winding that agrees with
// its normal. False when the outline is too short to fill.
bool Stirnflaechen(TFuellFlaeche& fuellung, const TRandPunkte& randR, const TRandPunkte& randL, double breite,
                   const TPunkteSammlung& mittelpunkte, Netz& netz, Melder& melder) {
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
    if (fuellung.Punkte.AnzahlPunkte() < 3 || mittelpunkte.AnzahlPunkte() == 0) {
        melder.Information("Die Füllfläche hat weniger als drei Umrisspunkte und wird nicht erzeugt.");
        return false;
    }
    fuellung.Fuellen(netz.Dreiecke, netz.AnzVertices(), true, melder);
    Stirnseite(fuellung.Punkte, *mittelpunkte.Punkt(0), -1.0, netz);
    netz.SubsetAbschliessen();
    fuellung.Fuellen(netz.Dreiecke, netz.AnzVertices(), false, melder);
    Stirnseite(fuellung.Punkte, *mittelpunkte.Punkt(mittelpunkte.AnzahlPunkte() - 1), 1.0, netz);
    return true;
}

}  // namespace

void Generieren(const Laufparameter& par, Strassenmodell& modell, Zufallsgenerator& zufall, Melder& melder,
                Laufbericht& bericht) {
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

    ErsetzendeDatei datei(par.DateiName);

    // Starting 7 below the chosen phase gives the first rise its room before the
    // coordinate first reaches the mirror line at 3.5.
    const double laengenKoordinate = par.RandomBackFoldAn ? w.TexL0 : w.TexL0 - 7;
    bericht.Memo.push_back("TexturStart = " + F4(laengenKoordinate));

    auto netz = std::make_shared<Netz>();
    Fahrbahnlauf lauf(par, w, punkte, zufall, *netz, bericht);
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
        bericht.Memo.push_back("Fahrbahn: " + std::to_string(netz->AnzVertices()) + " Vertices, " +
                               std::to_string(netz->AnzDreiecke()) + " triangles");
    } else {
        bericht.Memo.push_back("Fahrbahn: nicht erzeugt");
    }

    for (int s = 0; s < 2; ++s) {
        if (!randPar[s]->An) continue;
        const TPunkteSammlung& kante = s == 0 ? lauf.KanteRechts : lauf.KanteLinks;
        if (kante.AnzahlPunkte() < 2) {
            melder.Warnung(s == 0 ? "Zu wenig Punkte am rechten Rand" : "Zu wenig Punkte am linken Rand");
            return;
        }
        Randstreifen(*raender[s], s == 0, kante, *netz);
        bericht.Memo.push_back(std::string(s == 0 ? "right border: " : "left border: ") +
                               std::to_string(netz->OffeneVertices()) + " Vertices, " +
                               std::to_string(netz->OffeneDreiecke()) + " triangles");
        netz->SubsetAbschliessen();
    }

    bool gefuellt = false;
    if (par.FuellenAn) {
        gefuellt = Stirnflaechen(*fuellung, *modell.RandR, *modell.RandL, w.B, lauf.Mittelpunkte, *netz, melder);
        if (gefuellt) {
            bericht.Memo.push_back("Füllfläche: " + std::to_string(netz->OffeneVertices()) + " Vertices, " +
                                   std::to_string(netz->OffeneDreiecke()) + " triangles");
            netz->SubsetAbschliessen();
        }
    }

    I3dDokument dokument;
    dokument.ShapeName = par.ShapeName;
    if (par.FahrbahnAn) dokument.Teile[static_cast<std::size_t>(Netzteil::Fahrbahn)] = par.Textur1Datei;
    if (par.RandR.An) dokument.Teile[static_cast<std::size_t>(Netzteil::RandRechts)] = par.RandR.TexturDatei;
    if (par.RandL.An) dokument.Teile[static_cast<std::size_t>(Netzteil::RandLinks)] = par.RandL.TexturDatei;
    if (gefuellt) dokument.Teile[static_cast<std::size_t>(Netzteil::Fuellung)] = fuellung->Textur;
    dokument.Kurven = std::move(lauf.Kurven);
    dokument.Dreiecksnetz = netz.get();
    dokument.TransformGroup = par.TransformGroup;
    for (int k = 0; k < punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& q = *punkte.Punkt(k);
        dokument.Marken.push_back({q.X, q.Y, q.Z, q.Xrot, q.Yrot, q.Zrot});
    }

    try {
        I3dSchreiben(datei.Strom(), dokument);
    } catch (const std::logic_error&) {  // a number beyond the range the document can hold
        melder.Warnung("Die Geometrie enthält Zahlen außerhalb des gültigen Bereichs; " + par.DateiName +
                       " wurde nicht geschrieben.");
        return;
    }
    datei.Abschliessen();
    bericht.Geschrieben = true;
    bericht.TexL0 = std::move(neuerTexL0);
    bericht.Dreiecksnetz = std::move(netz);
}

}  // namespace pavolant
