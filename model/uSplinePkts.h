// Spline control points and the centre line through them.
//
// Between two consecutive points (a connection) the centre line is described in the
// frame of the horizontal chord by two cubic Hermite curves of the distance s along the
// chord: a lateral offset x(s) (plan view) and a height y(s) (elevation); the bank is
// interpolated linearly. The road passes exactly through every control point with the
// point's heading and pitch.
#pragma once

#include "model/Meldung.h"
#include "model/uGlobal.h"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace pavolant {

class IniDatei;

class TSplinePkt {
public:
    // Given by the user: position in metres (level coordinates, Y up) and orientation in
    // degrees as the level editor shows it (Yrot heading, Xrot pitch with positive
    // meaning the road falls, Zrot bank).
    double X = 0, Y = 0, Z = 0;
    double Xrot = 0, Yrot = 0, Zrot = 0;

    // Derived by BerechneMittellinie for the connection that starts here; meaningless
    // on the last point and before the first successful build.
    double Abstand = 0;       // horizontal chord length L, metres
    double Richtung = 0;      // chord heading h, radians, in the sense of DreheY
    double WinkelAnfang = 0;  // alpha: this point's heading against the chord, radians
    double WinkelEnde = 0;    // beta: the next point's heading against the chord, radians
    double QuerA = 0, QuerB = 0, QuerC = 0;     // x(s) = ((A s + B) s + C) s
    double HoeheA = 0, HoeheB = 0, HoeheC = 0;  // y(s) = ((A s + B) s + C) s
    double ZrotDelta = 0;     // bank change to the next point, degrees in [-180, 180]
};

class TSplinePunkte {
public:
    // Two points at the origin; Aktuell 0.
    TSplinePunkte();
    TSplinePunkte(const TSplinePunkte&) = delete;
    TSplinePunkte& operator=(const TSplinePunkte&) = delete;

    int AnzahlPunkte() const;
    // New zero point at the end.
    TSplinePkt* Anhaengen();
    // New zero point at index Aktuell (clamped to 0 .. count); Aktuell then designates it.
    TSplinePkt* Einfuegen();
    // Out-of-range index: nothing happens. Afterwards Aktuell <= count - 1.
    void PunktLoeschen(int i);
    // Null for an index outside 0 .. count-1.
    TSplinePkt* Punkt(int i);
    const TSplinePkt* Punkt(int i) const;

    // Most points IniLesen builds. A file may name more points than it has sections
    // (the missing ones are zero points), so the count alone decides the memory taken;
    // this bound keeps a damaged or hostile file from exhausting it.
    static constexpr int kMaxPunkte = 100000;

    // [Splines] Anzahl and the SplinePts<k> sections. A value that is no number throws
    // KonvertierungsFehler; the points read before it keep their new values. An Anzahl
    // above kMaxPunkte throws IniFehler before anything changes.
    void IniLesen(const IniDatei& ini);
    void IniSchreiben(IniDatei& ini) const;

    // Validates the points and computes every connection's coefficients. Messages go
    // to `melder` and the build waits for each. False when a check stops the build;
    // values that are not finite, or results that overflow, stop it with a warning too.
    bool BerechneMittellinie(Melder& melder);
    // Evaluates connection i (0 <= i <= count-2) at fraction t of its chord into
    // `ziel`, in the chord frame (origin at point i, +Z along the chord, Y up).
    // Writes position and rotations; normal, U and V stay. Out-of-range i: nothing.
    void MittellinienPunkt(int i, TPunkt& ziel, double t) const;

    // Replaces the points with the shape nodes of the scene of an i3d file the level
    // editor exported: every line after the first "<Scene>" line, up to and including
    // the first line with "</Scene>", that contains "<Shape" gives one point, in file
    // order and whatever its nesting; translation="X Y Z" (metres) and
    // rotation="Xrot Yrot Zrot" (degrees) are taken as written, a missing attribute gives
    // zeros. Points are overwritten in place, surplus ones removed; DateiName := the
    // name, Aktuell := 0.
    //  - A file that cannot be opened as a regular file throws DateiFehler
    //    ("Die Datei <name> kann nicht gelesen werden") before anything changes.
    //  - A value that is no number throws KonvertierungsFehler, and so does a value
    //    longer than kMaxI3dWertLaenge bytes; a read error throws DateiFehler. Before
    //    the "<Scene>" line nothing has changed. After it the list keeps the points read
    //    so far (the failing one with the fields set before the error), DateiName is
    //    set and Aktuell keeps its value, lowered into the shorter list.
    //  - No "<Scene>" at all: nothing changes; an information message says so.
    //  - No "</Scene>" after it: the points up to the end of the file are taken, with an
    //    information message.
    //  - More than kMaxPunkte shapes: the first kMaxPunkte are taken, with a warning.
    // Line ends may be CR LF, LF or CR. Memory stays bounded whatever the line lengths.
    void LeseI3d(const std::string& dateiName, Melder& melder);
    // The same on an open stream; `name` is the file name for DateiName and messages.
    void LeseI3dAusStrom(std::istream& strom, const std::string& name, Melder& melder);

    // Longest translation or rotation value LeseI3d reads, in bytes. Three numbers as the
    // editor writes them take well under a hundred; the bound keeps a damaged file's
    // endless line from being collected.
    static constexpr std::size_t kMaxI3dWertLaenge = 1024;

    int Aktuell = 0;        // point shown in the point editor, 0-based
    std::string DateiName;  // i3d file the points were last imported from

private:
    std::vector<std::unique_ptr<TSplinePkt>> Punkte;
};

}  // namespace pavolant
