// The road's build: from a road value to its meshes, curves, markers and report figures
// (Bauen), and the i3d document written from that result (DokumentSchreiben). The
// window, the command line and the live preview all build through here; only the first
// two write.
//
// Nothing is half-written: the build checks everything before the walk and calls the
// caller's check of its target there (a target that cannot be written fails before the
// computation); the writer opens the document only for a complete road and replaces the
// target only with a complete document. A failed run leaves an existing file as it was.
#pragma once

#include "generator/I3dDokument.h"
#include "model/Dokumentziel.h"
#include "model/Feinheit.h"
#include "model/FuellFlaeche.h"
#include "model/Gelaende.h"
#include "model/Gelaendeformung.h"
#include "model/Laengsschnitt.h"
#include "model/Meldung.h"
#include "model/Netz.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "model/Strasse.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pavolant {

// What a run needs for its mesh and the lines kept beside it, in records and bytes.
struct Speicherbedarf {
    std::int64_t Vertices = 0;
    std::int64_t Dreiecke = 0;
    std::uint64_t Bytes = 0;
};

// At most what the walk along the centre line takes for `proben` samples: every sample
// may become a cross-section with its edge points, vertices, triangles and lines, and
// with `vermessen` (a ground to measure the road against) a record of the section.
Speicherbedarf LaufHoechstbedarf(double proben, bool vermessen = false);

// At most what the whole road takes for `proben` samples: the walk's bound, the borders
// of the given numbers of segments (0 for a border switched off) swept along it, and the
// fill of an outline of `umriss` points (0 without the fill). At least what the run counts
// once the walk is done, so a limit of this many bytes lets the road through.
Speicherbedarf StrassenHoechstbedarf(double proben, std::int64_t segmenteRechts, std::int64_t segmenteLinks,
                                     std::int64_t umriss, bool vermessen = false);

// The warning of a run that would need more than `grenze` bytes: the figures, and what to
// change. `hoechstens` says the figures are an upper bound (before the walk).
std::string SpeicherWarnung(const Speicherbedarf& bedarf, std::uint64_t grenze, bool hoechstens);

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
    // empty for a part that is off).
    std::array<std::string, 4> Texturen;
    // The mesh's top surfaces (roadway, right and left border that are on; not the fill)
    // with each connection's first triangle: what the ground is shaped to.
    std::vector<Deckflaeche> Deckflaechen;
};

// What a build gives: the report for the memo and the window's fields, and for a road
// built whole the mesh, its lines and points, and what the document names. Fields a build
// did not reach stay empty; the window applies the ones that are set, also when the run
// ended with an exception.
struct Bauergebnis {
    bool MemoGeleert = false;              // the memo was cleared, then Memo appended
    std::vector<std::string> Memo;         // report lines, UTF-8
    std::optional<int> TexPxl;             // edtTexPxl as read
    std::optional<double> OldTexL0;        // edtTexL0 as read, for the restore button
    std::optional<double> Fahrbahnlaenge;  // metres along the centre line, once walked
    // Start coordinate for the next road, general format: the window takes it once the
    // document is written.
    std::optional<std::string> TexL0;
    bool GoDeaktivieren = false;  // too few spline points: "Go" is disabled
    // Each control point's grade and heading (Xrot, Yrot, degrees) as the centre line left
    // them: in [-90, 270) for the points it reached, as given for the rest.
    std::vector<std::array<double, 2>> Winkel;
    bool AmFeld = false;        // stopped at Bauvorgaben::BisFeld
    bool Vollstaendig = false;  // the road is built whole: the fields below are set
    bool Geschrieben = false;   // the document is complete on disk (the writer's step)
    std::shared_ptr<const Netz> Dreiecksnetz;
    std::shared_ptr<const Laufgeometrie> Geometrie;
    // The road measured against Bauvorgaben::Boden; null without a ground.
    std::shared_ptr<const Laengsschnitt> Gelaendeschnitt;

    // What the document names beside the mesh and the curves (in Geometrie).
    std::string ShapeName;  // UTF-8
    bool TransformGroup = false;
    // Texture file name (UTF-8) of each mesh part that is on, by Netzteil.
    std::array<std::optional<std::string>, 4> Teile;
    std::vector<SplinePktMarke> Marken;
};

// What a run may take beyond the road itself.
struct Bauvorgaben {
    // Most bytes of memory the run may take for the road; 0: no limit. A road that would
    // need more stops with a warning before anything is allocated for it or any file is
    // touched.
    std::uint64_t SpeicherGrenze = 0;
    // Called once every check has passed and before the walk: where a writer checks its
    // target, so that a target that cannot be written fails before the computation.
    std::function<void()> VorDemLauf;
    // The reading place (Strassenfeld::Lesefolge) of a field that is no number, 0 when
    // every field is one: the build stops where it would read that field, with
    // Bauergebnis::AmFeld set, and the caller reports the field.
    int BisFeld = 0;
    // The map's ground under the road, when one is set: the run then measures the road
    // against it (Bauergebnis::Gelaendeschnitt) and the report gains the largest fill and
    // cut. Without one every byte of the report and the document stays as it was. The
    // ground must outlive the run.
    const Gelaende* Boden = nullptr;
};

// Builds the road into `ergebnis` without changing it. Messages go to `melder`; the random
// flips draw from `zufall`. A stop (too few points, a check that fails, the memory limit)
// is a warning and leaves Vollstaendig false.
void Bauen(const Strasse& strasse, Zufallsgenerator& zufall, Melder& melder, Bauergebnis& ergebnis,
           const Bauvorgaben& vorgaben = {});
Bauergebnis Bauen(const Strasse& strasse, Zufallsgenerator& zufall, Melder& melder,
                  const Bauvorgaben& vorgaben = {});

// The document of a road built whole; it refers to the result's mesh and curves.
I3dDokument DokumentAus(const Bauergebnis& ergebnis);

// The warning of a road whose numbers the document `name` cannot hold.
std::string NichtSchreibbarWarnung(const std::string& name);

// Writes the document of a road built whole to `ziel` and sets ergebnis.Geschrieben.
// `name` names the document in the warning of a road whose numbers the document cannot
// hold (then nothing is written); a document that cannot be written throws DateiFehler.
// Whenever the call ends, nothing of an unfinished document stays in `ziel`.
void DokumentSchreiben(Bauergebnis& ergebnis, Dokumentziel& ziel, Melder& melder, const std::string& name);

}  // namespace pavolant
