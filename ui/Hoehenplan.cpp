#include "ui/Hoehenplan.h"

#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace pavolant {

namespace {

// Ticks at least this far apart, pixels: a station's label is wider than a height's.
constexpr double kStationAbstand = 90, kHoeheAbstand = 36;

// The decimals a tick step needs (0 for whole metres, 1 for 0.5 m, 2 for 0.05 m).
int Stellen(double schritt) { return std::max(0, static_cast<int>(-std::floor(std::log10(schritt) + 1e-9))); }

std::string Zahl(double wert, int stellen) {
    return FormatAllgemein(RundeAufStellen(wert, std::pow(10.0, stellen)));
}

std::vector<Achsmarke> Marken(double von, double bis, double schritt,
                              const std::function<double(double)>& pixel) {
    std::vector<Achsmarke> marken;
    const int stellen = Stellen(schritt);
    const double erste = std::ceil(von / schritt - 1e-9);
    for (double k = erste; k * schritt <= bis + 1e-9 * schritt && marken.size() < 1000; ++k) {
        const double wert = k * schritt;
        marken.push_back({pixel(wert), Zahl(wert, stellen)});
    }
    return marken;
}

// Splits the stretch of line `k` over the ground into the areas of fill and cut,
// in metres (station, height); `Fertig` takes each closed area.
class Flaechenbau {
public:
    explicit Flaechenbau(Hoehenplan& plan) : plan_(plan) {}

    void Punkt(double station, double strasse, double boden) {
        const double d = strasse - boden;
        const int s = (d > 0) - (d < 0);
        if (!oben_.empty() && vorzeichen_ != 0 && s == -vorzeichen_) {
            // The lines cross between the previous record and this one.
            const double t = letztesD_ / (letztesD_ - d);
            const Bildpunkt kreuz{letzteStation_ + (station - letzteStation_) * t,
                                  letzteStrasse_ + (strasse - letzteStrasse_) * t};
            oben_.push_back(kreuz);
            Schliessen();
            oben_.push_back(kreuz);
        }
        if (vorzeichen_ == 0) vorzeichen_ = s;
        oben_.push_back({station, strasse});
        unten_.push_back({station, boden});
        letzteStation_ = station;
        letzteStrasse_ = strasse;
        letztesD_ = d;
    }

    // Closes the area so far (the ground ends, or the line does).
    void Schliessen() {
        if (vorzeichen_ != 0 && oben_.size() + unten_.size() >= 3) {
            std::vector<Bildpunkt> flaeche;
            flaeche.reserve(oben_.size() + unten_.size());
            for (const Bildpunkt& p : oben_)
                flaeche.push_back({plan_.XVonStation(p.X), plan_.YVonHoehe(p.Y)});
            for (auto p = unten_.rbegin(); p != unten_.rend(); ++p)
                flaeche.push_back({plan_.XVonStation(p->X), plan_.YVonHoehe(p->Y)});
            (vorzeichen_ > 0 ? plan_.Aufschuettungen : plan_.Abtraege).push_back(std::move(flaeche));
        }
        oben_.clear();
        unten_.clear();
        vorzeichen_ = 0;
    }

private:
    Hoehenplan& plan_;
    std::vector<Bildpunkt> oben_, unten_;  // the road's points, the ground's, metres
    int vorzeichen_ = 0;                   // +1 fill, -1 cut, 0 not yet known
    double letzteStation_ = 0, letzteStrasse_ = 0, letztesD_ = 0;
};

}  // namespace

double Hoehenplan::XVonStation(double station) const {
    return Links + (station - StationVon) / (StationBis - StationVon) * (Rechts - Links);
}

double Hoehenplan::YVonHoehe(double hoehe) const {
    return Unten - (hoehe - HoeheVon) / (HoeheBis - HoeheVon) * (Unten - Oben);
}

double Tickschritt(double spanne, double pixel, double mindestPixel) {
    if (!(spanne > 0) || !(pixel > 0) || !std::isfinite(spanne)) return 1;
    const double mindest = spanne * mindestPixel / pixel;  // metres between ticks at least
    if (!(mindest > 0) || !std::isfinite(mindest)) return spanne;
    double zehner = std::pow(10.0, std::floor(std::log10(mindest)));
    for (;; zehner *= 10)
        for (const double f : {1.0, 2.0, 5.0})
            if (f * zehner >= mindest * (1 - 1e-12)) return f * zehner;
}

Hoehenplan HoehenplanAnlegen(const Laengsschnitt& schnitt, int breite, int hoehe,
                             const Plotraender& raender) {
    Hoehenplan plan;
    plan.Links = raender.Links;
    plan.Oben = raender.Oben;
    plan.Rechts = std::max(plan.Links + 1, static_cast<double>(breite - raender.Rechts));
    plan.Unten = std::max(plan.Oben + 1, static_cast<double>(hoehe - raender.Unten));
    const std::vector<Schnittpunkt>& punkte = schnitt.Punkte();

    // The ranges: the whole road along, every height of road and ground with a margin.
    double tief = std::numeric_limits<double>::infinity(), hoch = -tief;
    for (const Schnittpunkt& p : punkte)
        for (std::size_t k = 0; k < 3; ++k) {
            tief = std::min(tief, p.Strasse[k]);
            hoch = std::max(hoch, p.Strasse[k]);
            if (p.Boden[k]) {
                tief = std::min(tief, *p.Boden[k]);
                hoch = std::max(hoch, *p.Boden[k]);
            }
        }
    if (punkte.empty()) tief = hoch = 0;
    plan.StationVon = punkte.empty() ? 0 : punkte.front().Station;
    plan.StationBis = punkte.empty() ? 0 : punkte.back().Station;
    if (!(plan.StationBis > plan.StationVon)) plan.StationBis = plan.StationVon + 1;
    const double mitte = (tief + hoch) / 2, spanne = std::max(hoch - tief, 1.0) * 1.1;
    plan.HoeheVon = mitte - spanne / 2;
    plan.HoeheBis = mitte + spanne / 2;

    plan.StationSchritt =
        Tickschritt(plan.StationBis - plan.StationVon, plan.Rechts - plan.Links, kStationAbstand);
    plan.HoeheSchritt = Tickschritt(plan.HoeheBis - plan.HoeheVon, plan.Unten - plan.Oben, kHoeheAbstand);
    plan.Stationsmarken = Marken(plan.StationVon, plan.StationBis, plan.StationSchritt,
                                 [&plan](double s) { return plan.XVonStation(s); });
    plan.Hoehenmarken = Marken(plan.HoeheVon, plan.HoeheBis, plan.HoeheSchritt,
                               [&plan](double h) { return plan.YVonHoehe(h); });

    for (std::size_t k = 0; k < 3; ++k) {
        std::vector<Bildpunkt>& strasse = plan.Strassenlinien[k];
        strasse.reserve(punkte.size());
        std::vector<std::vector<Bildpunkt>>& boden = plan.Bodenlinien[k];
        Flaechenbau flaechen(plan);
        bool offen = false;  // the ground's current piece goes on
        for (const Schnittpunkt& p : punkte) {
            const double x = plan.XVonStation(p.Station);
            strasse.push_back({x, plan.YVonHoehe(p.Strasse[k])});
            if (!p.Boden[k]) {
                offen = false;
                flaechen.Schliessen();
                continue;
            }
            if (!offen) boden.emplace_back();
            offen = true;
            boden.back().push_back({x, plan.YVonHoehe(*p.Boden[k])});
            flaechen.Punkt(p.Station, p.Strasse[k], *p.Boden[k]);
        }
        flaechen.Schliessen();
    }

    const auto marke = [&plan](const Extremwert& e, bool aufschuettung) {
        Plotmarke m;
        m.Aufschuettung = aufschuettung;
        const double x = plan.XVonStation(e.Station);
        m.Strasse = {x, plan.YVonHoehe(e.Hoehe)};
        m.Boden = {x, plan.YVonHoehe(aufschuettung ? e.Hoehe - e.Wert : e.Hoehe + e.Wert)};
        // Catalog: the mark of the largest fill (road above the ground) in the plot "Road
        // and terrain": %1 its height, %2 its station along the road, metres.
        m.Text = Einsetzen(aufschuettung ? Tr("largest fill %1 m at %2 m")
                                         // Catalog: the mark of the largest cut (road below the
                                         // ground): %1 its depth, %2 its station, metres.
                                         : Tr("largest cut %1 m at %2 m"),
                           {Zahl(e.Wert, 2), Zahl(e.Station, 1)});
        plan.Marken.push_back(std::move(m));
    };
    if (const auto fill = schnitt.GroessteAufschuettung()) marke(*fill, true);
    if (const auto cut = schnitt.GroessterAbtrag()) marke(*cut, false);
    return plan;
}

Hoehenplanstand HoehenplanStand(const Vorschauergebnis& ergebnis, bool gelaendeGewaehlt) {
    Hoehenplanstand stand;
    if (!gelaendeGewaehlt) {
        stand.Hinweis =
            Tr("No terrain is set: choose the map or its height image with \"Terrain...\" first.");
        return stand;
    }
    if (!ergebnis.Boden) {
        // The preview's runs take the ground only once it is read (never from the file on
        // the window's thread); the view's button reads it, or says why it cannot.
        // Catalog: "Road and terrain" is the caption of the button that opens this plot.
        stand.Hinweis = Tr("The terrain is not read yet: press \"Road and terrain\" to read it");
        return stand;
    }
    const Bauergebnis* bericht = ergebnis.Bericht.get();
    if (!bericht || !bericht->Vollstaendig) {
        // Catalog: the plot "Road and terrain" has no road to draw; %1 says why.
        stand.Hinweis =
            ergebnis.Grund.empty() ? Tr("No road") : Einsetzen(Tr("No road: %1"), {ergebnis.Grund});
        return stand;
    }
    stand.Schnitt = bericht->Gelaendeschnitt;
    if (!stand.Schnitt)
        stand.Hinweis = Tr("The terrain is not read yet: press \"Road and terrain\" to read it");
    else if (!stand.Schnitt->UeberGelaende())
        stand.Hinweis = Tr("The road lies nowhere over the terrain");
    return stand;
}

}  // namespace pavolant
