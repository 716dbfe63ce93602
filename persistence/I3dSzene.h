// Reading the spline points from the scene of an i3d document the level editor exported
// (its shape nodes' translations and rotations).
#pragma once

#include "model/Meldung.h"
#include "model/SplinePunkte.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

// The warning of a scene `name` with more shapes than the list takes.
std::string ZuVieleShapes(const std::string& name);

// The line reading of the editor's layout: what the import did before it read the scene
// as XML (below), kept as the reference the XML reading is checked against on the
// editor's files. The import itself uses LeseI3dSzene and PunkteUebernehmen.
//
// Replaces the points of `punkte` with the shape nodes of the scene of an i3d file the
// level editor exported: every line of the scene that contains "<Shape" gives one
// point, in file order and whatever its nesting; the scene runs from just after the
// first "<Scene>" (the rest of its line is the scene's first line) up to and including
// the first line with "</Scene>". In each such line the first translation="X Y Z"
// (metres) and rotation="Xrot Yrot Zrot" (degrees) are taken as written, a missing
// attribute gives zeros. XML comments ("<!--" up to the next "-->", across lines too)
// are left out of every line before anything is looked for; their line ends still
// count as line ends. Points are overwritten in place, surplus ones removed; `quelle`
// (the file the editor's points came from) := the name, `aktuell` (the editor's
// current point) := 0.
//  - A file that cannot be opened as a regular file throws DateiFehler
//    ("Die Datei <name> kann nicht gelesen werden") before anything changes.
//  - A value that is no number throws KonvertierungsFehler, and so does a value
//    longer than kMaxI3dWertLaenge bytes; a read error throws DateiFehler. Before
//    "<Scene>" nothing has changed. After it the list keeps the points read
//    so far (the failing one with the fields set before the error), `quelle` is
//    set and `aktuell` keeps its value, lowered into the shorter list (0 when empty).
//  - No "<Scene>" at all: nothing changes; an information message says so.
//  - No "</Scene>" after it: the points up to the end of the file are taken, with an
//    information message.
//  - More than TSplinePunkte::kMaxPunkte shapes: the first kMaxPunkte are taken, with a
//    warning.
// Line ends may be CR LF, LF or CR. Memory stays bounded whatever the line lengths.
// `dateiName` is UTF-8.
void LeseI3d(TSplinePunkte& punkte, int& aktuell, std::string& quelle, const std::string& dateiName,
             Melder& melder);
// The same on an open stream; `name` is the file name for `quelle` and messages.
void LeseI3dAusStrom(TSplinePunkte& punkte, int& aktuell, std::string& quelle, std::istream& strom,
                     const std::string& name, Melder& melder);

// Longest translation or rotation value LeseI3d reads, in bytes. Three numbers as the
// editor writes them take well under a hundred; the bound keeps a damaged file's
// endless line from being collected.
inline constexpr std::size_t kMaxI3dWertLaenge = 1024;

// ---- The scene as a tree ----------------------------------------------------------------
// The import reads the document as XML (any layout: one line or many, either quote,
// blanks around '=', comments, CDATA, processing instructions, entities in values), keeps
// the nodes of its first <Scene> element as a tree, and places every shape where the
// scene puts it, through the transforms of the nodes around it.
//
// The one rotation convention of the program: a node's rotation="Xrot Yrot Zrot"
// (degrees) is the matrix Rz(Zrot) * Ry(Yrot) * Rx(Xrot) applied to column vectors, each
// factor the right-handed turn about a fixed axis: a node is turned about X first, then
// about Y, then about Z. With Zrot = 0 its +Z (the road's direction) points along
// (sin Yrot cos Xrot, -sin Xrot, cos Yrot cos Xrot): Yrot = 90 faces +X and a positive
// Xrot lets the road fall, as the centre line reads the angles. The editor's own files
// show the order: the three legs of a tripod turned by (-25 0 -120), (-25 0 0) and
// (-25 0 120) spread 120 degrees apart only when X comes before Z, and nodes turned about
// Y alone by more than 90 degrees are written as (180 y 180) or (-180 y -180), which
// keeps Yrot, the middle turn, within ±90. A node's transform is translation * rotation
// * scale; a child's is applied inside its parent's.

struct I3dKnoten {
    std::string Element;  // "TransformGroup", "Shape", …
    std::string Name;     // the name attribute, UTF-8 (Latin-1 bytes converted); may be empty
    int Zeile = 0;        // line of the start tag, 1-based
    int Eltern = -1;      // the parent's index; -1 directly in the scene
    int Shapenummer = 0;  // 1-based position among the scene's shapes in file order; 0: no shape
    std::array<double, 3> Translation{0, 0, 0};  // metres, relative to the parent
    std::array<double, 3> Rotation{0, 0, 0};     // degrees, relative to the parent
    std::array<double, 3> Skalierung{1, 1, 1};
    bool IstShape() const { return Element == "Shape"; }
    // No translation, rotation or scale: its children stand where they are written.
    bool InRuhe() const;
};

struct I3dSzene {
    std::string Datei;              // the file's name as given, for messages
    bool SzeneGefunden = false;     // false: the document has no <Scene> element
    std::vector<I3dKnoten> Knoten;  // document order: every parent before its children
    int AnzahlShapes = 0;
    // Nodes that are no shapes (transform groups, lights, …).
    int AnzahlGruppen() const;
    // For every node the shapes in its subtree, itself included.
    std::vector<int> ShapesJeKnoten() const;
};

// Most nodes a scene may hold; a larger one is refused rather than collected.
inline constexpr int kMaxI3dKnoten = 1000000;

// Reads the document. Not well-formed XML, a document type declaration, more than
// kMaxI3dKnoten scene nodes: DateiFehler "<name>, line <n>: <reason>". A translation,
// rotation or scale of a scene node that is not three numbers: KonvertierungsFehler with
// the file and line. A file that cannot be read: DateiFehler as LeseI3d throws it.
I3dSzene LeseI3dSzene(const std::string& dateiName);
I3dSzene LeseI3dSzeneAusText(std::string_view text, const std::string& name);

// What a pick yields: the shapes (node indices, file order) that lie in one of `knoten`
// or below one of them. Nodes outside the scene are ignored.
std::vector<int> ShapesDerWahl(const I3dSzene& szene, const std::vector<int>& knoten);
// Every shape of the scene, in file order.
std::vector<int> AlleShapes(const I3dSzene& szene);
// The shapes numbered erster … letzter (1-based, file order), clipped to the scene.
std::vector<int> ShapesVonBis(const I3dSzene& szene, int erster, int letzter);
// The first node in file order, at any depth, that is no shape and carries this name.
std::optional<int> GruppeNamens(const I3dSzene& szene, std::string_view name);

// A shape placed in the level.
struct I3dWeltpunkt {
    double X, Y, Z, Xrot, Yrot, Zrot;  // metres; degrees in the program's convention
    bool ElternInRuhe;                 // every enclosing node at rest: the values as written
};
// Shape `knoten` in level coordinates. With every enclosing node at rest the values are
// the written ones, bit for bit; with none of them rotated the rotation is.
I3dWeltpunkt Weltlage(const I3dSzene& szene, int knoten);

struct I3dUebernahme {
    int Punkte = 0;             // points the list holds now
    bool ElternBewegt = false;  // some point lies under a node that is not at rest
    bool Gekuerzt = false;      // more than TSplinePunkte::kMaxPunkte shapes: the first taken
};
// Replaces the points with `shapes` (node indices, in this order), each in level
// coordinates and carrying its name. The caller's current point and source file are
// its own to set (the scene's Datei names the file).
I3dUebernahme PunkteUebernehmen(TSplinePunkte& punkte, const I3dSzene& szene, const std::vector<int>& shapes);

// ---- The map's terrain --------------------------------------------------------------------
// A map's i3d refers to its height image through <File fileId="N" filename="data/dem.png"/>
// in <Files> and the terrain node <TerrainTransformGroup heightMapId="N" heightScale="255"
// unitsPerPixel="1" ...> in the scene. The map may be tens of MB: only those two kinds of
// element are looked at, no scene node is collected.
struct I3dTerrain {
    std::string Hoehenbild;  // the File's filename as written (UTF-8), relative to the map's folder
    double HeightScale = 0;  // metres for the pixel value 65535
    double UnitsPerPixel = 1;
    bool UnitsPerPixelGeschrieben = false;       // false: an older map without it, 1 taken
    std::array<double, 3> Translation{0, 0, 0};  // the terrain node's own, metres
    int Zeile = 0;                               // the terrain node's line
};
// The first TerrainTransformGroup of the document's scene and its height image's file.
// DateiFehler "<name>, line <n>: <reason>" for XML that is not well-formed, a map without
// a terrain node, a heightMapId that names no File, a heightScale or unitsPerPixel that
// is no number above 0; a file that cannot be read as LeseI3dSzene says it.
I3dTerrain LeseI3dTerrain(const std::string& dateiName);
I3dTerrain LeseI3dTerrainAusText(std::string_view text, const std::string& name);

}  // namespace pavolant
