#include "model/Laengsschnitt.h"

#include <algorithm>
#include <cmath>

namespace pavolant {

void Laengsschnitt::Aufnehmen(double station, const std::array<Ort, 3>& punkte, const Gelaende& boden) {
    Schnittpunkt& s = punkte_.emplace_back();
    s.Station = station;
    for (std::size_t k = 0; k < 3; ++k) {
        s.Strasse[k] = punkte[k].Y;
        s.Boden[k] = boden.HoeheBei(punkte[k].X, punkte[k].Z);
    }
}

void Laengsschnitt::Anfuegen(double station, const std::array<Ort, 3>& punkte, const Gelaende& boden,
                             std::int64_t hoechstensTeile) {
    std::int64_t teile = 1;
    if (!punkte_.empty() && hoechstensTeile > 1 && boden.UnitsPerPixel > 0) {
        double weiteste = 0;
        for (std::size_t k = 0; k < 3; ++k)
            weiteste = std::max(weiteste, std::hypot(punkte[k].X - letzte_[k].X, punkte[k].Z - letzte_[k].Z));
        const double pixel = std::ceil(weiteste / boden.UnitsPerPixel);
        // (NaN and infinity fall to one part.)
        if (pixel > 1)
            teile = pixel < static_cast<double>(hoechstensTeile) ? static_cast<std::int64_t>(pixel)
                                                                 : hoechstensTeile;
    }
    for (std::int64_t t = 1; t < teile; ++t) {
        const double f = static_cast<double>(t) / static_cast<double>(teile);
        std::array<Ort, 3> zwischen;
        for (std::size_t k = 0; k < 3; ++k) {
            const Ort &a = letzte_[k], &b = punkte[k];
            zwischen[k] = {a.X + (b.X - a.X) * f, a.Y + (b.Y - a.Y) * f, a.Z + (b.Z - a.Z) * f};
        }
        Aufnehmen(letzteStation_ + (station - letzteStation_) * f, zwischen, boden);
    }
    Aufnehmen(station, punkte, boden);
    letzte_ = punkte;
    letzteStation_ = station;
}

std::optional<Extremwert> Laengsschnitt::Groesster(double vorzeichen) const {
    std::optional<Extremwert> groesster;
    for (const Schnittpunkt& p : punkte_)
        for (std::size_t k = 0; k < 3; ++k) {
            if (!p.Boden[k]) continue;
            const double wert = vorzeichen * (p.Strasse[k] - *p.Boden[k]);
            if (wert > 0 && (!groesster || wert > groesster->Wert))
                groesster = Extremwert{wert, p.Station, p.Strasse[k], static_cast<Schnittlinie>(k)};
        }
    return groesster;
}

std::optional<Extremwert> Laengsschnitt::GroessteAufschuettung() const { return Groesster(1); }
std::optional<Extremwert> Laengsschnitt::GroessterAbtrag() const { return Groesster(-1); }

bool Laengsschnitt::UeberGelaende() const {
    return std::any_of(punkte_.begin(), punkte_.end(), [](const Schnittpunkt& p) {
        return std::any_of(p.Boden.begin(), p.Boden.end(), [](const auto& b) { return b.has_value(); });
    });
}

}  // namespace pavolant
