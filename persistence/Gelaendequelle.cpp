#include "persistence/Gelaendequelle.h"

#include "model/DateiFehler.h"
#include "model/Text.h"
#include "persistence/Hoehenbild.h"
#include "persistence/I3dSzene.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <iterator>
#include <utility>

namespace pavolant {

namespace {
constexpr const char* kSektion = "Terrain";

// The shaping's direction as the file spells it.
constexpr std::pair<Formvorgaben::Art, const char*> kArten[] = {{Formvorgaben::Art::Beides, "beides"},
                                                                {Formvorgaben::Art::NurHeben, "heben"},
                                                                {Formvorgaben::Art::NurSenken, "senken"}};
}  // namespace

Gelaendeladung GelaendeLesen(const Gelaendequelle& quelle, std::uint64_t speichergrenze) {
    Gelaendeladung l;
    const auto refused = [&l](const std::string& datei, const std::string& grund) {
        // Catalog: %1 the file, %2 what is wrong with it.
        l.Fehler = Einsetzen(Tr("The terrain cannot be read from %1: %2"), {datei, grund});
        l.Boden = Gelaende{};
        return l;
    };
    Gelaende boden;
    std::string bild = quelle.Datei;
    if (quelle.IstKarte()) {
        I3dTerrain t;
        try {
            t = LeseI3dTerrain(quelle.Datei);
        } catch (const std::exception& e) {
            l.Fehler = e.what();  // names the file and the line
            return l;
        }
        // The map's files are named relative to the map's folder.
        bild = Utf8(PfadAusUtf8(quelle.Datei).parent_path() / PfadAusUtf8(t.Hoehenbild));
        boden.HeightScale = t.HeightScale;
        boden.UnitsPerPixel = t.UnitsPerPixel;
        for (int k = 0; k < 3; ++k) boden.Versatz[k] = t.Translation[static_cast<std::size_t>(k)];
        if (!t.UnitsPerPixelGeschrieben)
            // Catalog: %1 the map file.
            l.Hinweise.push_back(Einsetzen(
                Tr("%1 does not say unitsPerPixel (an older map): 1 m per pixel is taken"), {quelle.Datei}));
    } else {
        if (!(quelle.HeightScale > 0) || !std::isfinite(quelle.HeightScale))
            return refused(quelle.Datei, Tr("heightScale must be a number above 0"));
        if (!(quelle.UnitsPerPixel > 0) || !std::isfinite(quelle.UnitsPerPixel))
            return refused(quelle.Datei, Tr("unitsPerPixel must be a number above 0"));
        boden.HeightScale = quelle.HeightScale;
        boden.UnitsPerPixel = quelle.UnitsPerPixel;
    }
    Hoehenbildladung h = HoehenbildLesen(PfadAusUtf8(bild), speichergrenze);
    if (!h.Fehler.empty()) return refused(bild, h.Fehler);
    boden.Raster = std::move(h.Raster);
    l.Boden = std::move(boden);
    l.Hoehenbild = bild;
    for (std::string& hinweis : h.Hinweise) l.Hinweise.push_back(std::move(hinweis));
    return l;
}

std::optional<Gelaendequelle> GelaendequelleLesen(const IniDatei& ini) {
    if (!ini.SektionVorhanden(kSektion)) return std::nullopt;
    Gelaendequelle q;
    q.Datei = ini.LiesString(kSektion, "Datei", "");
    if (q.Datei.empty()) return std::nullopt;
    q.HeightScale = ini.LiesZahl(kSektion, "heightScale", q.HeightScale);
    q.UnitsPerPixel = ini.LiesZahl(kSektion, "unitsPerPixel", q.UnitsPerPixel);
    q.Abstand = ini.LiesZahl(kSektion, "Abstand", q.Abstand);
    Formvorgaben& f = q.Formung;
    f.Tiefe = ini.LiesZahl(kSektion, "Tiefe", f.Tiefe);
    f.Rand = ini.LiesZahl(kSektion, "Rand", f.Rand);
    f.Auslauf = ini.LiesZahl(kSektion, "Auslauf", f.Auslauf);
    if (const std::string art = ini.LiesString(kSektion, "Formung", "beides"); !art.empty()) {
        const auto* treffer = std::find_if(std::begin(kArten), std::end(kArten),
                                           [&](const auto& a) { return art == a.second; });
        if (treffer == std::end(kArten))
            // Catalog: %1 the parameter file, %2 the value found; the three words are the
            // file's own and stay as they are.
            throw DateiFehler(Einsetzen(Tr("%1 [Terrain] Formung: \"%2\" is none of beides, heben, senken"),
                                        {Utf8(ini.Pfad()), art}));
        f.Modus = treffer->first;
    }
    return q;
}

void GelaendequelleSchreiben(IniDatei& ini, const std::optional<Gelaendequelle>& quelle) {
    if (!quelle) {
        if (ini.SektionVorhanden(kSektion)) ini.SchreibeString(kSektion, "Datei", "");
        return;
    }
    ini.SchreibeString(kSektion, "Datei", quelle->Datei);
    ini.SchreibeZahl(kSektion, "heightScale", quelle->HeightScale);
    ini.SchreibeZahl(kSektion, "unitsPerPixel", quelle->UnitsPerPixel);
    ini.SchreibeZahl(kSektion, "Abstand", quelle->Abstand);
    const Formvorgaben& f = quelle->Formung;
    ini.SchreibeZahl(kSektion, "Tiefe", f.Tiefe);
    ini.SchreibeZahl(kSektion, "Rand", f.Rand);
    ini.SchreibeZahl(kSektion, "Auslauf", f.Auslauf);
    for (const auto& [art, wort] : kArten)
        if (art == f.Modus) ini.SchreibeString(kSektion, "Formung", wort);
}

}  // namespace pavolant
