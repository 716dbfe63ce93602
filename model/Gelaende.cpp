#include "model/Gelaende.h"

#include <algorithm>
#include <cmath>

namespace pavolant {

std::optional<double> Gelaende::HoeheBei(double x, double z) const {
    if (Leer()) return std::nullopt;
    const double s = SpalteVonX(x), r = ZeileVonZ(z);
    // NaN fails both comparisons and so counts as outside.
    if (!(s >= 0 && s <= Raster.Breite - 1 && r >= 0 && r <= Raster.Hoehe - 1)) return std::nullopt;
    // The cell's upper-left centre; on the last column or row the cell is the one before,
    // with a weight of 1 on its far side.
    const int s0 = std::min(static_cast<int>(s), std::max(Raster.Breite - 2, 0));
    const int r0 = std::min(static_cast<int>(r), std::max(Raster.Hoehe - 2, 0));
    const int s1 = std::min(s0 + 1, Raster.Breite - 1), r1 = std::min(r0 + 1, Raster.Hoehe - 1);
    const double fs = s - s0, fr = r - r0;
    const double oben = Raster.Bei(s0, r0) * (1 - fs) + Raster.Bei(s1, r0) * fs;
    const double unten = Raster.Bei(s0, r1) * (1 - fs) + Raster.Bei(s1, r1) * fs;
    return HoeheVonWert(oben * (1 - fr) + unten * fr);
}

Gelaende::Bereich Gelaende::Hoehenbereich() const {
    if (Leer()) return {};
    const std::size_t n = static_cast<std::size_t>(Raster.Breite) * static_cast<std::size_t>(Raster.Hoehe);
    const auto [min, max] = std::minmax_element(Raster.Werte.get(), Raster.Werte.get() + n);
    return {HoeheVonWert(*min), HoeheVonWert(*max)};
}

bool IstKartendatei(const std::string& datei) {
    if (datei.size() < 4) return false;
    std::string endung = datei.substr(datei.size() - 4);
    for (char& c : endung)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return endung == ".i3d";
}

Absenkung AufGelaendeSetzen(std::vector<TSplinePkt>& punkte, const Gelaende& gelaende, double abstand,
                            std::optional<int> nur) {
    Absenkung a;
    const int n = static_cast<int>(punkte.size());
    const int von = nur ? *nur : 0, bis = nur ? *nur + 1 : n;
    for (int i = std::max(von, 0); i < std::min(bis, n); ++i) {
        TSplinePkt& p = punkte[static_cast<std::size_t>(i)];
        if (const std::optional<double> boden = gelaende.HoeheBei(p.X, p.Z)) {
            p.Y = *boden + abstand;
            ++a.Gesetzt;
        } else {
            a.Ausserhalb.push_back(i);
        }
    }
    return a;
}

}  // namespace pavolant
