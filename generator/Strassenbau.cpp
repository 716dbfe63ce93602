#include "generator/Strassenbau.h"

#include "generator/Fahrbahnlauf.h"
#include "generator/I3dDokument.h"
#include "generator/Randstreifen.h"
#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace pavolant {

namespace {

using erzeugung::F4;
using erzeugung::Fahrbahnlauf;
using erzeugung::Randstreifen;
using erzeugung::RandstreifenGroesse;
using erzeugung::Stirnflaechen;
using erzeugung::Werte;

// Upper limit for the samples of one run (about half a metre each, so 10,000 km of road):
// a mistyped coordinate must not make the program sample for hours or exhaust memory.
constexpr double kMaxProben = 2e7;

// The record sizes a run's memory is counted in.
constexpr std::uint64_t kVertexBytes = sizeof(NetzVertex);
constexpr std::uint64_t kDreieckBytes = sizeof(NetzDreieck);

// A size for the warning in the largest unit it reaches (MB = 2^20 bytes, KB = 2^10
// bytes, else bytes), so that it never reads as 0 and a limit below a megabyte is not
// shown as one. A need is rounded up, a limit down: "needs 3 MB, more than the limit of
// 2 MB" stays true of 2.5 MB against 2.4 MB.
std::string Groesse(std::uint64_t bytes, bool aufrunden) {
    const auto in = [&](unsigned stellen) {
        const std::uint64_t einheit = std::uint64_t{1} << stellen;
        return std::to_string(bytes / einheit + (aufrunden && bytes % einheit != 0 ? 1 : 0));
    };
    if (bytes >= (1u << 20)) return in(20) + " MB";
    if (bytes >= (1u << 10)) return in(10) + " KB";
    // Catalog: a size in bytes in the memory warning, below a kilobyte.
    return Einsetzen(TrN("%1 byte", "%1 bytes", static_cast<unsigned long>(bytes)), {std::to_string(bytes)});
}

// "12 Vertices" and "20 triangles": each count with its own noun, so that a catalog
// gives each the singular or the plural it needs.
std::string Vertices(std::int64_t n) {
    const auto anzahl = static_cast<unsigned long>(std::max<std::int64_t>(n, 0));
    // Catalog: a number of vertices (points of the mesh) in the report and in messages.
    return Einsetzen(TrN("%1 Vertices", "%1 Vertices", anzahl), {std::to_string(n)});
}
std::string Dreiecke(std::int64_t n) {
    const auto anzahl = static_cast<unsigned long>(std::max<std::int64_t>(n, 0));
    // Catalog: a number of triangles of the mesh in the report and in messages.
    return Einsetzen(TrN("%1 triangles", "%1 triangles", anzahl), {std::to_string(n)});
}

// The report's line of the road against the ground: the largest fill and cut with their
// stations and lines, or that the road lies nowhere over the terrain.
std::string GelaendeZeile(const Laengsschnitt& schnitt) {
    if (!schnitt.UeberGelaende()) return Tr("Terrain: the road lies nowhere over the terrain");
    const auto linie = [](Schnittlinie l) {
        switch (l) {
            case Schnittlinie::Rechts:
                // Catalog: the line along the road's right outer edge (border included).
                return Tr("right edge");
            case Schnittlinie::Links:
                // Catalog: the line along the road's left outer edge (border included).
                return Tr("left edge");
            case Schnittlinie::Mitte:
                break;
        }
        // Catalog: the line along the road's centre.
        return Tr("centre");
    };
    const std::optional<Extremwert> fill = schnitt.GroessteAufschuettung(), cut = schnitt.GroessterAbtrag();
    // Catalog: fill is the road above the ground: %1 its largest height (m), %2 the
    // station (m along the road), %3 the line ("centre", "right edge", "left edge").
    const std::string teilFill = fill ? Einsetzen(Tr("largest fill = %1 m at %2 m (%3)"),
                                                  {F4(fill->Wert), F4(fill->Station), linie(fill->Linie)})
                                      : Tr("no fill");
    // Catalog: cut is the road below the ground: %1 its largest depth (m), %2 the station
    // (m along the road), %3 the line ("centre", "right edge", "left edge").
    const std::string teilCut = cut ? Einsetzen(Tr("largest cut = %1 m at %2 m (%3)"),
                                                {F4(cut->Wert), F4(cut->Station), linie(cut->Linie)})
                                    : Tr("no cut");
    // Catalog: the road against the map's ground: %1 its largest fill, %2 its largest cut.
    return Einsetzen(Tr("Terrain: %1  --  %2"), {teilFill, teilCut});
}

}  // namespace

Speicherbedarf LaufHoechstbedarf(double proben, bool vermessen) {
    // Per sample at most: a cross-section with both edges written, and both again when
    // the texture is reset (4 vertices, 2 triangles); both edge points kept for the
    // borders; a point on each of the three plan lines and each of the three traffic
    // curves. Every list may hold up to twice its records while it grows.
    constexpr std::uint64_t kJeProbe = 2 * (4 * kVertexBytes + 2 * kDreieckBytes + 2 * sizeof(TPunkt) +
                                            3 * sizeof(Planlage) + 3 * sizeof(Kurvenpunkt));
    Speicherbedarf b;
    const double n = std::max(proben, 0.0);
    b.Vertices = static_cast<std::int64_t>(4 * n);
    b.Dreiecke = static_cast<std::int64_t>(2 * n);
    // Measured against a ground: at most one record per sample (a stretch is cut into no
    // more parts than it has samples), the list up to twice that while it grows.
    const std::uint64_t jeProbe = kJeProbe + (vermessen ? 2 * sizeof(Schnittpunkt) : 0);
    b.Bytes = static_cast<std::uint64_t>(n * static_cast<double>(jeProbe));
    return b;
}

Speicherbedarf StrassenHoechstbedarf(double proben, std::int64_t segmenteRechts, std::int64_t segmenteLinks,
                                     std::int64_t umriss, bool vermessen) {
    const Speicherbedarf lauf = LaufHoechstbedarf(proben, vermessen);
    const double n = std::max(proben, 0.0);
    // A border sweeps one cross-section of m vertices per edge point, at most one edge
    // point per sample, and a copy of it where its texture resets; 2 (m - 1) triangles
    // join each section to the one before. The fill: two faces of at most one vertex and
    // one triangle per outline point each.
    double vertices = 0, dreiecke = 2.0 * static_cast<double>(umriss);
    for (const std::int64_t m : {segmenteRechts, segmenteLinks}) {
        vertices += 2 * n * static_cast<double>(m);
        dreiecke += 2 * n * static_cast<double>(std::max<std::int64_t>(m - 1, 0));
    }
    vertices += 2.0 * static_cast<double>(umriss);
    // The walk's bound already holds its own records twice (the list growing, the mesh
    // moving into its final block); the rest is reserved at its final size.
    const double bytes = static_cast<double>(lauf.Bytes) + vertices * static_cast<double>(kVertexBytes) +
                         dreiecke * static_cast<double>(kDreieckBytes);
    constexpr double kGross = 9.2e18;  // below the largest value of either integer
    Speicherbedarf b;
    b.Vertices = static_cast<std::int64_t>(std::min(static_cast<double>(lauf.Vertices) + vertices, kGross));
    b.Dreiecke = static_cast<std::int64_t>(std::min(static_cast<double>(lauf.Dreiecke) + dreiecke, kGross));
    b.Bytes = static_cast<std::uint64_t>(std::min(bytes, kGross));
    return b;
}

std::string SpeicherWarnung(const Speicherbedarf& bedarf, std::uint64_t grenze, bool hoechstens) {
    // Catalog: %1 the memory the road would need at most, %2 its number of vertices
    // ("12 Vertices"), %3 its number of triangles, %4 the limit; "Settings" names the
    // settings dialog, maxSpeicherMB and --max-memory are the key and the option that
    // set the limit.
    const char* muster =
        hoechstens ? Tr("Die Straße bräuchte bis zu %1 Arbeitsspeicher (%2, %3), mehr als die Grenze von %4; "
                        "nichts wurde "
                        "geschrieben. Abhilfe: gröbere Feinheit (Settings: minimale Länge und Winkel), "
                        "weniger Randsegmente "
                        "oder kürzere Verbindungen; oder die Grenze erhöhen (maxSpeicherMB in Pavolant.ini, "
                        "--max-memory auf "
                        "der Kommandozeile).")
                   // Catalog: %1 the memory the road would need as counted, %2 its number of vertices
                   // ("12 Vertices"), %3 its number of triangles, %4 the limit; "Settings" names the
                   // settings dialog, maxSpeicherMB and --max-memory set the limit.
                   : Tr("Die Straße bräuchte etwa %1 Arbeitsspeicher (%2, %3), mehr als die Grenze von %4; "
                        "nichts wurde "
                        "geschrieben. Abhilfe: gröbere Feinheit (Settings: minimale Länge und Winkel), "
                        "weniger Randsegmente "
                        "oder kürzere Verbindungen; oder die Grenze erhöhen (maxSpeicherMB in Pavolant.ini, "
                        "--max-memory auf "
                        "der Kommandozeile).");
    return Einsetzen(muster, {Groesse(bedarf.Bytes, true), Vertices(bedarf.Vertices),
                              Dreiecke(bedarf.Dreiecke), Groesse(grenze, false)});
}

void Bauen(const Strasse& strasse, Zufallsgenerator& zufall, Melder& melder, Bauergebnis& bericht,
           const Bauvorgaben& vorgaben) {
    if (strasse.Punkte.size() < 2) {
        melder.Warnung(Tr("Zu wenig SplinePunkte"));
        bericht.GoDeaktivieren = true;
        return;
    }
    bericht.MemoGeleert = true;
    bericht.Memo.clear();
    // The build's own copies: the centre line derives its coefficients into the points,
    // the borders take their texture groups, the fill its outline.
    TSplinePunkte punkte;
    punkte.Uebernehmen(strasse.Punkte);
    const bool mittellinie = punkte.BerechneMittellinie(melder);
    // The centre line brings each heading and grade it reached into its range; the window
    // shows and saves them so.
    for (int i = 0; i < punkte.AnzahlPunkte(); ++i)
        bericht.Winkel.push_back({punkte.Punkt(i)->Xrot, punkte.Punkt(i)->Yrot});
    if (!mittellinie) return;

    // The fields are read in their order; a field that is no number stops the build where
    // it is read, after every check before it.
    const auto halt = [&](int stelle) {
        bericht.AmFeld = vorgaben.BisFeld != 0 && vorgaben.BisFeld <= stelle;
        return bericht.AmFeld;
    };
    if (halt(3)) return;
    Werte w;
    w.B = strasse.Breite;
    w.T = strasse.SchleppkurveAn ? strasse.Schleppkurve : 0;
    w.K = strasse.SturzAn ? strasse.Sturz : 0;
    // Catalog: %1 the road's width (m), %2 the widening in bends (tractrix).
    bericht.Memo.push_back(
        Einsetzen(Tr("Geometry:   Width = %1  --  Schleppkurve = %2"), {F4(w.B), F4(w.T)}));

    w.Lr = strasse.Textur1Laenge;
    w.Ua = strasse.TexStart;
    w.Ue = strasse.TexEnde;
    if (halt(7)) return;
    bericht.TexPxl = strasse.TexPxl;
    if (halt(9)) return;
    w.p = strasse.RandomBackfold;
    w.St = strasse.Streckung;
    // Catalog: the road's texture: %1 the length of road one texture covers (m), %2 and
    // %3 where across the texture the road begins and ends (0 to 1).
    const char* texturZeile = Tr("Textur: Länge = %1 - Start = %2 - Ende = %3");
    bericht.Memo.push_back(Einsetzen(texturZeile, {F4(w.Lr), F4(w.Ua), F4(w.Ue)}));
    if (strasse.FahrbahnAn && w.Lr == 0) {
        // Catalog: "Length" is the caption of the field in the road's texture group.
        melder.Warnung(Tr("Die Texturlänge der Fahrbahn (Length) darf nicht 0 sein."));
        return;
    }

    // Each enabled border takes its texture group, then lists itself into the report.
    TRandPunkte randR = strasse.ProfilR, randL = strasse.ProfilL;
    randR.MelderSetzen(melder);
    randL.MelderSetzen(melder);
    TRandPunkte* raender[2] = {&randR, &randL};
    const Randwerte* randPar[2] = {&strasse.RandR, &strasse.RandL};
    for (int s = 0; s < 2; ++s) {
        if (!randPar[s]->An) continue;
        if (halt(s == 0 ? 12 : 15)) return;
        TRandPunkte* rand = raender[s];
        rand->TexturLaenge = randPar[s]->TexLaenge;
        rand->TexturBreite = randPar[s]->TexBreite;
        rand->Pixel = randPar[s]->TexBreitePxl;
        rand->TexturDatei = randPar[s]->TexturDatei;
        rand->Ruecksetzen = randPar[s]->Ruecksetzen;
        rand->Auflisten(bericht.Memo);
    }
    for (int s = 0; s < 2; ++s) {
        if (randPar[s]->An && raender[s]->TexturLaenge == 0) {
            melder.Warnung(s == 0
                               // Catalog: "Length" is the caption of the field in the border's texture group.
                               ? Tr("Die Texturlänge des rechten Randes (Length) darf nicht 0 sein.")
                               // Catalog: "Length" is the caption of the field in the border's texture group.
                               : Tr("Die Texturlänge des linken Randes (Length) darf nicht 0 sein."));
            return;
        }
    }

    TFuellFlaeche fuellung;
    fuellung.TexturHoehe = strasse.Fuellung.TexturHoehe;
    fuellung.TexturBreite = strasse.Fuellung.TexturBreite;
    fuellung.Textur = strasse.Fuellung.Textur;
    fuellung.TauschHB = strasse.Fuellung.TauschHB;
    if (strasse.FuellenAn) {
        if (fuellung.TexturBreite == 0 || fuellung.TexturHoehe == 0) {
            melder.Warnung(fuellung.TexturBreite == 0
                               // Catalog: the fill closes the road's ends; its texture size is
                               // set in the settings dialog.
                               ? Tr("Die Texturgröße der Füllfläche (Breite) darf nicht 0 sein.")
                               // Catalog: the fill closes the road's ends; its texture size is
                               // set in the settings dialog.
                               : Tr("Die Texturgröße der Füllfläche (Höhe) darf nicht 0 sein."));
            return;
        }
    }

    if (strasse.FahrbahnAn) w.MinTexturLaenge = std::min(w.MinTexturLaenge, w.Lr);
    for (int s = 0; s < 2; ++s)
        if (randPar[s]->An) w.MinTexturLaenge = std::min(w.MinTexturLaenge, raender[s]->TexturLaenge);
    if (strasse.TrafficRechts) {
        if (halt(16)) return;
        w.Pr = strasse.TrafficRechtsProzent;
    }
    if (strasse.TrafficLinks) {
        if (halt(17)) return;
        w.Pl = strasse.TrafficLinksProzent;
    }

    double proben = 0;
    for (int i = 0; i + 1 < punkte.AnzahlPunkte(); ++i) proben += 2 * punkte.Punkt(i)->Abstand + 2;
    if (proben > kMaxProben) {
        melder.Warnung(
            Tr("Die Straße ist zu lang (höchstens 10000 km); ist ein SplinePunkt falsch eingegeben?"));
        return;
    }
    // The walk's own lists first, from the bound; the borders and the fill are counted
    // exactly once the walk has given their edges. A road stopped here is told the bound
    // of all of it, so that a limit raised to that figure lets it through.
    const std::uint64_t grenze = vorgaben.SpeicherGrenze;
    const bool vermessen = vorgaben.Boden != nullptr;
    if (grenze != 0 && LaufHoechstbedarf(proben, vermessen).Bytes > grenze) {
        const auto segmente = [&](int s) -> std::int64_t {
            return randPar[s]->An ? raender[s]->AnzahlSegmente() : 0;
        };
        const std::int64_t umriss = strasse.FuellenAn ? randR.AnzahlSegmente() + randL.AnzahlSegmente() : 0;
        melder.Warnung(SpeicherWarnung(
            StrassenHoechstbedarf(proben, segmente(0), segmente(1), umriss, vermessen), grenze, true));
        return;
    }

    if (halt(18)) return;
    w.TexL0 = strasse.TexL0;
    bericht.OldTexL0 = w.TexL0;

    // A target that cannot be written stops the run here, before the computation.
    if (vorgaben.VorDemLauf) vorgaben.VorDemLauf();

    // Starting 7 below the chosen phase gives the first rise its room before the
    // coordinate first reaches the mirror line at 3.5.
    const double laengenKoordinate = strasse.RandomBackFoldAn ? w.TexL0 : w.TexL0 - 7;
    // Catalog: the texture's length coordinate where the road begins.
    bericht.Memo.push_back(Einsetzen(Tr("TexturStart = %1"), {F4(laengenKoordinate)}));

    auto netz = std::make_shared<Netz>();
    auto geometrie = std::make_shared<Laufgeometrie>();
    geometrie->PlanUrsprung = {punkte.Punkt(0)->X, punkte.Punkt(0)->Z};
    // The walk's edge and centre points are needed until the borders and the fill are
    // built; they are freed before the result is handed on (`lauf` is reset there).
    std::optional<Fahrbahnlauf> laufSpeicher;
    Fahrbahnlauf& lauf = laufSpeicher.emplace(strasse, w, punkte, zufall, *netz, bericht, *geometrie);
    if (vermessen)
        lauf.Vermessen(*vorgaben.Boden, strasse.RandR.An ? &randR : nullptr,
                       strasse.RandL.An ? &randL : nullptr);
    lauf.Laufen(laengenKoordinate);
    if (lauf.Schnitt) bericht.Memo.push_back(GelaendeZeile(*lauf.Schnitt));

    std::optional<std::string> neuerTexL0;
    if (strasse.FahrbahnAn) {
        const double lk = lauf.LaengenKoordinate;
        bericht.Memo.push_back(Einsetzen(Tr("Textur: Längenkoordinate am Ende = %1"), {F4(lk)}));
        double phase = lk - std::trunc(lk);
        if (phase < 0) phase += 1;
        if (phase == 1) phase = 0;
        neuerTexL0 = FormatAllgemein(phase);
        // Catalog: the value to give TexL0 of the next road so that its texture goes on
        // seamlessly.
        bericht.Memo.push_back(
            Einsetzen(Tr("Textur: Längenkoordinate für die nächste Straße = %1"), {F4(phase)}));
        netz->SubsetAbschliessen();
        geometrie->Teile.push_back(Netzteil::Fahrbahn);
        // The roadway is the first part: its triangles count from the mesh's first.
        geometrie->Deckflaechen.push_back({0, true, std::move(lauf.VerbindungDreiecke)});
        // Catalog: %1 the road surface's vertices ("12 Vertices"), %2 its triangles.
        const char* zeile = Tr("Fahrbahn: %1, %2");
        bericht.Memo.push_back(
            Einsetzen(zeile, {Vertices(netz->AnzVertices()), Dreiecke(netz->AnzDreiecke())}));
    } else {
        bericht.Memo.push_back(Tr("Fahrbahn: nicht erzeugt"));
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
    if (strasse.FuellenAn) {  // at most: one outline point per profile segment, two faces
        const std::int64_t umriss = randR.AnzahlSegmente() + randL.AnzahlSegmente();
        weitereVertices += 2 * umriss;
        weitereDreiecke += 2 * umriss;
    }
    if (grenze != 0) {
        // The mesh as it will be, and while it moves into its final block the old one
        // beside it, with the walk's edges still held.
        Speicherbedarf bedarf;
        bedarf.Vertices = netz->AnzVertices() + weitereVertices;
        bedarf.Dreiecke = netz->AnzDreiecke() + weitereDreiecke;
        const auto vertices = static_cast<std::uint64_t>(bedarf.Vertices + netz->AnzVertices());
        const auto dreiecke = static_cast<std::uint64_t>(bedarf.Dreiecke + netz->AnzDreiecke());
        const auto kanten = static_cast<std::uint64_t>(lauf.KanteRechts.Punkte.capacity() +
                                                       lauf.KanteLinks.Punkte.capacity());
        const auto linien =
            static_cast<std::uint64_t>(geometrie->Mittellinie.capacity() + geometrie->KanteRechts.capacity() +
                                       geometrie->KanteLinks.capacity());
        bedarf.Bytes = vertices * kVertexBytes + dreiecke * kDreieckBytes + kanten * sizeof(TPunkt) +
                       linien * sizeof(Planlage) + (lauf.Schnitt ? lauf.Schnitt->Bytes() : 0);
        if (bedarf.Bytes > grenze) {
            melder.Warnung(SpeicherWarnung(bedarf, grenze, false));
            return;
        }
    }
    netz->Reservieren(weitereVertices, weitereDreiecke);

    for (int s = 0; s < 2; ++s) {
        if (!randPar[s]->An) continue;
        const std::vector<TPunkt>& kante = s == 0 ? lauf.KanteRechts.Punkte : lauf.KanteLinks.Punkte;
        if (kante.size() < 2) {
            melder.Warnung(s == 0 ? Tr("Zu wenig Punkte am rechten Rand")
                                  : Tr("Zu wenig Punkte am linken Rand"));
            return;
        }
        Randstreifen(*raender[s], s == 0, kante, *netz);
        {
            // A border writes the same number of triangles between each edge point and the
            // next, and a connection begins with the strip to its first edge point.
            const std::int32_t jeStreifen = 2 * std::max(raender[s]->AnzahlSegmente() - 1, 0);
            Deckflaeche rand{static_cast<std::int32_t>(netz->Subsets.size()), false, {}};
            for (const std::int32_t e : lauf.VerbindungKanten[static_cast<std::size_t>(s)])
                rand.ErstesDreieck.push_back(std::max(e - 1, 0) * jeStreifen);
            geometrie->Deckflaechen.push_back(std::move(rand));
        }
        const char* zeile = s == 0
                                // Catalog: %1 the border's vertices ("12 Vertices"), %2 its triangles.
                                ? Tr("right border: %1, %2")
                                // Catalog: %1 the border's vertices ("12 Vertices"), %2 its triangles.
                                : Tr("left border: %1, %2");
        bericht.Memo.push_back(
            Einsetzen(zeile, {Vertices(netz->OffeneVertices()), Dreiecke(netz->OffeneDreiecke())}));
        netz->SubsetAbschliessen();
        geometrie->Teile.push_back(s == 0 ? Netzteil::RandRechts : Netzteil::RandLinks);
    }

    bool gefuellt = false;
    if (strasse.FuellenAn) {
        gefuellt = Stirnflaechen(fuellung, randR, randL, w.B, lauf.ErsterMittelpunkt, lauf.LetzterMittelpunkt,
                                 *netz, melder);
        if (gefuellt) {
            // Catalog: %1 the fill's vertices ("12 Vertices"), %2 its triangles; the fill
            // closes the road's two ends.
            const char* zeile = Tr("Füllfläche: %1, %2");
            bericht.Memo.push_back(
                Einsetzen(zeile, {Vertices(netz->OffeneVertices()), Dreiecke(netz->OffeneDreiecke())}));
            netz->SubsetAbschliessen();
        }
    }
    // The fill's Subsets: the start face (closed inside Stirnflaechen) and the end face.
    while (geometrie->Teile.size() < netz->Subsets.size()) geometrie->Teile.push_back(Netzteil::Fuellung);

    auto& teile = bericht.Teile;
    if (strasse.FahrbahnAn) teile[static_cast<std::size_t>(Netzteil::Fahrbahn)] = strasse.Textur1Datei;
    if (strasse.RandR.An) teile[static_cast<std::size_t>(Netzteil::RandRechts)] = strasse.RandR.TexturDatei;
    if (strasse.RandL.An) teile[static_cast<std::size_t>(Netzteil::RandLinks)] = strasse.RandL.TexturDatei;
    if (gefuellt) teile[static_cast<std::size_t>(Netzteil::Fuellung)] = fuellung.Textur;
    for (std::size_t t = 0; t < teile.size(); ++t)
        if (teile[t]) geometrie->Texturen[t] = *teile[t];
    geometrie->Kurven = std::move(lauf.Kurven);
    if (lauf.Schnitt)
        bericht.Gelaendeschnitt = std::make_shared<const Laengsschnitt>(std::move(*lauf.Schnitt));
    laufSpeicher.reset();  // `lauf` is not used past here
    for (int k = 0; k < punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& q = *punkte.Punkt(k);
        bericht.Marken.push_back({q.X, q.Y, q.Z, q.Xrot, q.Yrot, q.Zrot});
        geometrie->SplinePunkte.push_back({q.X, q.Y, q.Z});
    }
    bericht.ShapeName = strasse.ShapeName;
    bericht.TransformGroup = strasse.TransformGroup;
    bericht.TexL0 = std::move(neuerTexL0);
    bericht.Dreiecksnetz = std::move(netz);
    bericht.Geometrie = std::move(geometrie);
    bericht.Vollstaendig = true;
}

Bauergebnis Bauen(const Strasse& strasse, Zufallsgenerator& zufall, Melder& melder,
                  const Bauvorgaben& vorgaben) {
    Bauergebnis ergebnis;
    Bauen(strasse, zufall, melder, ergebnis, vorgaben);
    return ergebnis;
}

I3dDokument DokumentAus(const Bauergebnis& ergebnis) {
    I3dDokument dokument;
    dokument.ShapeName = ergebnis.ShapeName;
    dokument.Teile = ergebnis.Teile;
    if (ergebnis.Geometrie)
        for (std::size_t k = 0; k < dokument.Kurven.size(); ++k)
            if (ergebnis.Geometrie->Kurven[k]) dokument.Kurven[k] = &*ergebnis.Geometrie->Kurven[k];
    dokument.Dreiecksnetz = ergebnis.Dreiecksnetz.get();
    dokument.TransformGroup = ergebnis.TransformGroup;
    dokument.Marken = ergebnis.Marken;
    return dokument;
}

std::string NichtSchreibbarWarnung(const std::string& name) {
    // Catalog: %1 is the name of the document that was to be written.
    const char* muster =
        Tr("Die Geometrie enthält Zahlen außerhalb des gültigen Bereichs; %1 wurde nicht geschrieben.");
    return Einsetzen(muster, {name});
}

void DokumentSchreiben(Bauergebnis& ergebnis, Dokumentziel& ziel, Melder& melder, const std::string& name) {
    if (!ergebnis.Vollstaendig) return;
    // Whatever ends the write without a complete document (a number out of range, a
    // failed write, an exception), nothing of it stays.
    struct Offen {
        Dokumentziel& ziel;
        bool abgeschlossen = false;
        ~Offen() {
            if (!abgeschlossen) ziel.Verwerfen();
        }
    } offen{ziel};
    const I3dDokument dokument = DokumentAus(ergebnis);
    std::ostream& strom = ziel.Oeffnen();
    try {
        I3dSchreiben(strom, dokument);
    } catch (const std::domain_error&) {  // a number beyond the range the document can hold
        melder.Warnung(NichtSchreibbarWarnung(name));
        return;
    }
    ziel.Abschliessen();
    offen.abgeschlossen = true;
    ergebnis.Geschrieben = true;
}

}  // namespace pavolant
