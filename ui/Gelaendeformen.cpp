// "Shape terrain": the road built as "Go" would build it, pressed into a copy of the
// map's height image, written as a new image beside (never over) the source, with the
// footprint's masks when asked.
#include "ui/Hauptfenster.h"

#include "model/DateiFehler.h"
#include "model/Gelaendeformung.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"
#include "persistence/PngBild.h"

#include <cmath>
#include <string>
#include <vector>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

// Metres and cubic metres as the report's other figures.
std::string Zahl(double wert) { return FormatFest4(wert); }

class Sammler : public Melder {
public:
    void Melden(MeldungsArt art, const std::string& text) override {
        if (art == MeldungsArt::Warnung) letzteWarnung = text;
    }
    std::string letzteWarnung;
};

// The masks' files: the roadway's, then the borders'.
std::vector<fs::path> MaskenPfade(const std::string& praefix) {
    return {PfadAusUtf8(praefix + "_roadway.png"), PfadAusUtf8(praefix + "_borders.png")};
}

}  // namespace

void Hauptfenster::GelaendeFormen(const fs::path& ziel, const std::optional<std::string>& maskenPraefix) {
    PunktUebernehmenUndWechseln();
    const Gelaende* boden = GelaendeOderWarnung();
    if (!boden) return;
    const Formvorgaben& formung = Gelaendewahl->Formung;
    for (const double m : {formung.Tiefe, formung.Rand, formung.Auslauf})
        if (!(m >= 0) || !std::isfinite(m))
            throw DateiFehler(Tr("Depth, margin and falloff must be numbers of metres, 0 or more."));
    // The source is never written, nor the files the road itself is kept in.
    std::vector<fs::path> geschuetzt = {PfadAusUtf8(gelaendeBild_), PfadAusUtf8(Gelaendewahl->Datei)};
    if (parameterDatei_) geschuetzt.push_back(*parameterDatei_);
    std::vector<fs::path> ziele = {ziel};
    if (maskenPraefix)
        for (const fs::path& p : MaskenPfade(*maskenPraefix)) ziele.push_back(p);
    for (const fs::path& z : ziele)
        for (const fs::path& g : geschuetzt)
            if (DieselbeDatei(z, g))
                // Catalog: %1 the file the shaped ground was to be written to.
                throw DateiFehler(
                    Einsetzen(Tr("%1 is the terrain's source or the road's own file: the shaped terrain is "
                                 "written to a new file"),
                              {Utf8(z)}));

    // The road as "Go" builds it, without touching the random sequence "Go" draws from.
    std::optional<StrassenfeldFehler> feldfehler;
    const Strasse strasse = StrasseAusFenster(feldfehler);
    if (feldfehler) throw *feldfehler;
    Zufallsgenerator zufall = zufall_;
    Sammler sammler;
    Bauvorgaben vorgaben;
    vorgaben.SpeicherGrenze = SpeicherGrenze;
    const Bauergebnis bau = Bauen(strasse, zufall, sammler, vorgaben);
    if (!bau.Vollstaendig)
        // Catalog: %1 why the road could not be built (a message of its own).
        throw DateiFehler(Einsetzen(Tr("The terrain was not shaped: %1"),
                                    {sammler.letzteWarnung.empty() ? Tr("no road") : sammler.letzteWarnung}));

    Formvorgaben v = Gelaendewahl->Formung;
    v.GelasseneVerbindungen.clear();
    for (int i = 0; i < SplinePunkte.AnzahlPunkte(); ++i)
        v.GelasseneVerbindungen.push_back(SplinePunkte.Punkt(i)->GelaendeLassen);
    const Formergebnis f =
        pavolant::GelaendeFormen(*boden, *bau.Dreiecksnetz, bau.Geometrie->Deckflaechen, v);
    PngGrau16Schreiben(ziel, boden->Raster.Breite, boden->Raster.Hoehe, f.Werte);
    const Formbericht& b = f.Bericht;
    // Catalog: %1 the new height image, %2 pixels changed, %3 and %4 cubic metres of fill
    // (ground raised) and cut (ground lowered), %5 the largest change of one pixel (m).
    mmoStatus.Lines.push_back(
        Einsetzen(Tr("Terrain shaped into %1: %2 pixels changed, fill %3 m³, cut %4 m³, largest change %5 m"),
                  {Utf8(ziel), std::to_string(b.GeaendertePixel), Zahl(b.Auftrag), Zahl(b.Abtrag),
                   Zahl(b.GroessteAenderung)}));
    if (b.Kreuzungspixel > 0)
        // Catalog: %1 pixels under two stretches of the road.
        mmoStatus.Lines.push_back(Einsetzen(
            Tr("The road crosses itself over %1 pixels: the ground follows the lower surface there"),
            {std::to_string(b.Kreuzungspixel)}));
    if (b.GekapptePixel > 0)
        // Catalog: %1 pixels, %2 and %3 the lowest and highest height wanted (m), %4 the
        // height image's range (m).
        melder_.Warnung(
            Einsetzen(Tr("%1 pixels wanted heights the height image cannot hold (from %2 m to %3 m; "
                         "it holds %4 m to %5 m) and were clamped"),
                      {std::to_string(b.GekapptePixel), Zahl(b.NiedrigsteGewollt.value_or(0)),
                       Zahl(b.HoechsteGewollt.value_or(0)), Zahl(boden->HoeheVonWert(0)),
                       Zahl(boden->HoeheVonWert(65535))}));
    if (!maskenPraefix) return;
    const Fussabdruckmasken masken =
        FussabdruckMasken(*boden, *bau.Dreiecksnetz, bau.Geometrie->Deckflaechen, v.GelasseneVerbindungen);
    const std::vector<fs::path> pfade = MaskenPfade(*maskenPraefix);
    PngGrau8Schreiben(pfade[0], masken.Fahrbahn.Breite, masken.Fahrbahn.Hoehe, masken.Fahrbahn.Werte);
    PngGrau8Schreiben(pfade[1], masken.Raender.Breite, masken.Raender.Hoehe, masken.Raender.Werte);
    // Catalog: %1 and %2 the two mask files, %3 x %4 their size in pixels.
    mmoStatus.Lines.push_back(
        Einsetzen(Tr("Masks written: %1 and %2 (%3 x %4 pixels)"),
                  {Utf8(pfade[0]), Utf8(pfade[1]), std::to_string(masken.Fahrbahn.Breite),
                   std::to_string(masken.Fahrbahn.Hoehe)}));
}

}  // namespace pavolant
