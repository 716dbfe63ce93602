// One generation run ("Go"): from the road description and the spline points to the
// complete i3d document and the report.
//
// The run reads a plain record of the window's texts and check states, never widgets,
// so the desktop program and the command line run exactly the same code. Numbers are
// converted in the order the window lists them; a text that is no number ends the run
// at that field with KonvertierungsFehler.
//
// Nothing is half-written: every field is read and checked before the target is checked
// (Dokumentziel::Pruefen), the document is opened only once the mesh is complete, and
// the target is replaced only by a complete document. A failed run leaves an existing
// file as it was.
#pragma once

#include "generator/I3dDokument.h"
#include "model/Dokumentziel.h"
#include "model/Feinheit.h"
#include "model/FuellFlaeche.h"
#include "model/Meldung.h"
#include "model/Netz.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pavolant {

// One border's enable box and texture group, as the user typed them.
struct RandParameter {
    bool An = false;
    std::string TexturDatei = "verge_diffuse.dds";
    std::string TexLaenge = "20";
    std::string TexBreite = "0";
    std::string TexBreitePxl = "0";
    bool Ruecksetzen = false;
};

// The window's values that a run reads, as the user typed them.
struct Laufparameter {
    // Roadway geometry
    std::string Breite = "7";
    bool SchleppkurveAn = false;
    std::string Schleppkurve = "10";
    bool SturzAn = false;
    std::string Sturz = "1";
    bool FahrbahnAn = true;

    // Roadway texture
    std::string Textur1Datei = "road_diffuse.dds";
    std::string Textur1Laenge = "20";
    std::string TexStart = "0";
    std::string TexEnde = "1";
    std::string TexPxl = "0";
    bool RandomBackFoldAn = false;
    std::string RandomBackfold = "0,5";
    bool RuecksetzenAn = false;
    std::string TexL0 = "0";
    std::string Streckung = "0";

    // Traffic splines
    bool TrafficMitte = false;
    bool TrafficRechts = false;
    std::string TrafficRechtsProzent = "50";
    bool TrafficLinks = false;
    std::string TrafficLinksProzent = "50";

    // Borders (right, left) and the front-face fill
    RandParameter RandR;
    RandParameter RandL;
    bool FuellenAn = false;

    // Output
    std::string DateiName;
    std::string ShapeName = "RoadPAV";
    bool TransformGroup = true;

    Feinheit Fein;  // the fineness settings

    // Most bytes of memory the run may take for the road; 0: no limit. A road that would
    // need more stops with a warning before anything is allocated for it or any file is
    // touched.
    std::uint64_t SpeicherGrenze = 0;
};

// What a run needs for its mesh and the lines kept beside it, in records and bytes.
struct Speicherbedarf {
    std::int64_t Vertices = 0;
    std::int64_t Dreiecke = 0;
    std::uint64_t Bytes = 0;
};

// At most what the walk along the centre line takes for `proben` samples: every sample
// may become a cross-section with its edge points, vertices, triangles and lines.
Speicherbedarf LaufHoechstbedarf(double proben);

// At most what the whole road takes for `proben` samples: the walk's bound, the borders
// of the given numbers of segments (0 for a border switched off) swept along it, and the
// fill of an outline of `umriss` points (0 without the fill). At least what the run counts
// once the walk is done, so a limit of this many bytes lets the road through.
Speicherbedarf StrassenHoechstbedarf(double proben, std::int64_t segmenteRechts, std::int64_t segmenteLinks,
                                     std::int64_t umriss);

// The warning of a run that would need more than `grenze` bytes: the figures, and what to
// change. `hoechstens` says the figures are an upper bound (before the walk).
std::string SpeicherWarnung(const Speicherbedarf& bedarf, std::uint64_t grenze, bool hoechstens);

// The road model a run works on. The run copies each enabled border's texture group
// into its profile, as the window has always done.
struct Strassenmodell {
    TSplinePunkte& SplinePunkte;
    TRandPunkte* RandR = nullptr;
    TRandPunkte* RandL = nullptr;
    TFuellFlaeche* FuellFlaeche = nullptr;
};

// s := s * 134775813 + 1 (mod 2^32); the value is s / 2^32 in [0, 1). One generator lives
// as long as the program and is never reseeded, so the first run after start is
// reproducible and later runs continue the sequence.
class Zufallsgenerator {
public:
    double Naechster() {
        zustand_ = zustand_ * 134775813u + 1u;
        return zustand_ / 4294967296.0;
    }
    std::uint32_t Zustand() const { return zustand_; }

private:
    std::uint32_t zustand_ = 0;
};

// A point of the road seen from above: level X and Z in metres, relative to
// Laufgeometrie::PlanUrsprung. Single precision is ample for drawing (under a centimetre
// 100 km away) and keeps these lines at a third of the mesh's own vertex records.
struct Planlage {
    float X, Z;
};

// The road's lines and points from the same run as its mesh, in level coordinates
// (metres, Y up), for views of the road. None of it goes into the document beyond what
// the document already carries.
struct Laufgeometrie {
    // The part of each Subset of the mesh, in Subset order; the fill has two Subsets,
    // the start face and the end face.
    std::vector<Netzteil> Teile;
    // Control points of each traffic curve that is on, in Verkehrskurve order.
    std::array<std::optional<std::vector<Kurvenpunkt>>, 3> Kurven;
    // The spline control points as the run used them, in list order (the point editor
    // numbers them from 1).
    std::vector<Kurvenpunkt> SplinePunkte;
    // Along the road, seen from above: the centre point of every cross-section, and the
    // roadway's right and left edge points in the order they were emitted (a section may
    // emit only one side, so the three lines need not have equal lengths). Present also
    // when the roadway itself is off: the borders stand on these edges.
    std::array<double, 2> PlanUrsprung{0, 0};  // level X, Z of the first control point
    std::vector<Planlage> Mittellinie, KanteRechts, KanteLinks;
    // The texture file each part names in the document, by Netzteil (UTF-8, as typed;
    // empty for a part that is off), and the document's path as the run was given it:
    // the editor looks for the textures beside the document, and so does the preview.
    std::array<std::string, 4> Texturen;
    std::string Dokument;
};

// What a run hands back to the window. Fields that a run did not reach stay empty; the
// window applies the ones that are set, also when the run ended with an exception.
struct Laufbericht {
    bool MemoGeleert = false;          // the memo was cleared, then Memo appended
    std::vector<std::string> Memo;     // report lines, UTF-8
    std::optional<int> TexPxl;         // edtTexPxl as read
    std::optional<double> OldTexL0;    // edtTexL0 as read, for the restore button
    std::optional<double> Fahrbahnlaenge;  // metres along the centre line, once walked
    std::optional<std::string> TexL0;  // start coordinate for the next road, general format
    bool GoDeaktivieren = false;       // too few spline points: "Go" is disabled
    bool Geschrieben = false;          // the document is complete on disk
    std::shared_ptr<const Netz> Dreiecksnetz;  // the mesh of a complete run
    std::shared_ptr<const Laufgeometrie> Geometrie;  // lines and points of a complete run
};

// Runs one generation and writes its document to `ziel` (par.DateiName names it in
// messages). Messages go to `melder`; conversion errors throw KonvertierungsFehler, a
// document that cannot be written throws DateiFehler. Whenever the call ends, nothing of
// an unfinished document stays in `ziel`.
void Generieren(const Laufparameter& parameter, Strassenmodell& modell, Zufallsgenerator& zufall, Melder& melder,
                Laufbericht& bericht, Dokumentziel& ziel);

}  // namespace pavolant
