#include "persistence/IniAbbildung.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <string>
#include <utility>

namespace pavolant {

namespace {

constexpr const char* kFuellSektion = "FuellFlaeche";
// A spline point's switch "leave the ground" in its own section.
constexpr const char* kGelaendeLassen = "GelaendeLassen";

// No value read from a line-based file holds a line break, so the default tells a
// missing key from any value.
bool SchluesselVorhanden(const IniDatei& ini, std::string_view sektion, std::string_view schluessel) {
    return ini.LiesString(sektion, schluessel, "\n") != "\n";
}

std::string Index(int i) { return std::to_string(i); }

// A save must never write a number that its own load refuses. Each writer below checks
// its whole part before it sets the first key, so a refused part leaves the document in
// memory as it was and the file, saved only afterwards, untouched. `ort()` names the
// value as the user finds it in the window; it is put into words only for a refusal.
template <typename Ort>
void Speicherbar(double wert, const Ort& ort) {
    if (!IniDatei::ZahlLiestSichZurueck(wert)) {
        // Catalog: %1 names the value (where it is in the window), %2 is the value.
        const char* muster = Tr("%1: %2 kann nicht gespeichert werden");
        throw KonvertierungsFehler(Einsetzen(muster, {std::string(ort()), FormatAllgemein(wert)}));
    }
}

// An angle is stored as its degrees rounded to hundredths, which overflow beyond
// kGroessteGradzahl although the radians and the degrees themselves are finite.
template <typename Ort>
void WinkelSpeicherbar(double rad, const Ort& ort) {
    if (IniDatei::ZahlLiestSichZurueck(GradAufHundertstel(rad))) return;
    // Catalog: %1 names the angle (where it is in the window), %2 is the angle and %3
    // the largest one a file can hold, both in degrees.
    const char* muster = Tr("%1: %2° kann nicht gespeichert werden (höchstens ±%3°)");
    throw KonvertierungsFehler(Einsetzen(
        muster, {std::string(ort()), FormatAllgemein(RadZuGrad(rad)), FormatAllgemein(kGroessteGradzahl)}));
}

// The place of a border's value in the window, for the right or the left border: each
// its own whole text, so that a language can word either side its own way.
std::string Randort(const TRandPunkte& rand, const char* rechts, const char* links, int segment = -1) {
    return Einsetzen(rand.Rechts ? rechts : links, {Index(segment)});
}

}  // namespace

// ---- Spline points --------------------------------------------------------------------------

void Lesen(const IniDatei& ini, TSplinePunkte& punkte) {
    const int n = ini.LiesInteger("Splines", "Anzahl", 2);
    if (n > TSplinePunkte::kMaxPunkte) {
        const std::string anzahl = std::to_string(n), hoechstens = std::to_string(TSplinePunkte::kMaxPunkte);
        if (ini.Pfad().empty())
            // Catalog: %1 is the number of spline points the file asks for, %2 the most
            // the program holds.
            throw IniFehler(Einsetzen(Tr("Zu viele SplinePunkte (%1, höchstens %2)"), {anzahl, hoechstens}));
        // Catalog: %1 is the number of spline points the file asks for, %2 the most the
        // program holds, %3 the file's name.
        throw IniFehler(Einsetzen(Tr("Zu viele SplinePunkte (%1, höchstens %2) in %3"),
                                  {anzahl, hoechstens, Utf8(ini.Pfad())}));
    }
    for (int k = 1; k <= n; ++k) {
        if (punkte.AnzahlPunkte() < k) punkte.Anhaengen();
        TSplinePkt& p = *punkte.Punkt(k - 1);
        const std::string sektion = "SplinePts" + std::to_string(k);
        // Straight into the fields: a value that is no number stops the load at its key,
        // and what was read before it stays.
        p.X = ini.LiesZahl(sektion, "X", "0");
        p.Y = ini.LiesZahl(sektion, "Y", "0");
        p.Z = ini.LiesZahl(sektion, "Z", "0");
        p.Xrot = ini.LiesZahl(sektion, "Xrot", "0");
        p.Yrot = ini.LiesZahl(sektion, "Yrot", "0");
        p.Zrot = ini.LiesZahl(sektion, "Zrot", "0");
        p.GelaendeLassen = ini.LiesBool(sektion, kGelaendeLassen, false);
    }
    // A negative count empties the list like 0 does (comparing with n itself would
    // never end once the list is empty).
    const int soll = std::max(n, 0);
    while (punkte.AnzahlPunkte() > soll) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
}

void Schreiben(IniDatei& ini, const TSplinePunkte& punkte, int aktuell, const std::string& quelle) {
    for (int k = 1; k <= punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& p = *punkte.Punkt(k - 1);
        const auto ort = [k](const char* koordinate) {
            return [k, koordinate] {
                // Catalog: %1 is the spline point's number, %2 the name of its coordinate
                // (X, Y, Z, Xrot, Yrot, Zrot) as the point table shows it.
                const char* muster = Tr("SplinePunkt %1, %2");
                return Einsetzen(muster, {std::to_string(k), koordinate});
            };
        };
        Speicherbar(p.X, ort("X"));
        Speicherbar(p.Y, ort("Y"));
        Speicherbar(p.Z, ort("Z"));
        Speicherbar(p.Xrot, ort("Xrot"));
        Speicherbar(p.Yrot, ort("Yrot"));
        Speicherbar(p.Zrot, ort("Zrot"));
    }
    ini.SchreibeInteger("Splines", "Anzahl", punkte.AnzahlPunkte());
    ini.SchreibeInteger("Splines", "aktuell", aktuell);
    ini.SchreibeString("Splines", "FileName", quelle);
    for (int k = 1; k <= punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& p = *punkte.Punkt(k - 1);
        const std::string sektion = "SplinePts" + std::to_string(k);
        ini.SchreibeZahl(sektion, "X", p.X);
        ini.SchreibeZahl(sektion, "Y", p.Y);
        ini.SchreibeZahl(sektion, "Z", p.Z);
        ini.SchreibeZahl(sektion, "Xrot", p.Xrot);
        ini.SchreibeZahl(sektion, "Yrot", p.Yrot);
        ini.SchreibeZahl(sektion, "Zrot", p.Zrot);
        // Only a point whose switch is on gets the key, so a road without the switch
        // writes the bytes it always has; a file that has the key gets it turned off
        // explicitly, as the save updates the file and a key left standing would read
        // back as on.
        if (p.GelaendeLassen || SchluesselVorhanden(ini, sektion, kGelaendeLassen))
            ini.SchreibeBool(sektion, kGelaendeLassen, p.GelaendeLassen);
    }
}

// ---- Border profile ---------------------------------------------------------------------------

void Lesen(const IniDatei& ini, TRandPunkte& rand, std::string_view name) {
    const std::string geo = std::string(name) + "_Geo";
    const std::string textur = std::string(name) + "_Textur";
    const int n = ini.LiesInteger(geo, "nSegments", 1);
    if (n > TRandPunkte::kMaxSegmente) {
        const std::string anzahl = Index(n), hoechstens = Index(TRandPunkte::kMaxSegmente);
        if (ini.Pfad().empty())
            // Catalog: %1 is the number of segments the file gives a border, %2 the most a
            // border can have.
            throw IniFehler(Einsetzen(Tr("Zu viele Randsegmente (%1, höchstens %2)"), {anzahl, hoechstens}));
        // Catalog: %1 is the number of segments the file gives a border, %2 the most a
        // border can have, %3 the file's name.
        throw IniFehler(Einsetzen(Tr("Zu viele Randsegmente (%1, höchstens %2) in %3"),
                                  {anzahl, hoechstens, Utf8(ini.Pfad())}));
    }
    rand.Aktiv = ini.LiesBool(geo, "enable1", true);
    rand.TexturDatei = ini.LiesString(textur, "FileName", "bitte eingeben");
    rand.TexturLaenge = ini.LiesZahl(textur, "Laenge", "5");
    rand.TexturBreite = ini.LiesZahl(textur, "Breite", "5");
    rand.Pixel = ini.LiesInteger(textur, "Pixel", 0);
    rand.Ruecksetzen = ini.LiesBool(textur, "Ruecksetzen", false);

    // A negative count keeps only the start point, which can never be removed.
    const int soll = std::max(n, 0) + 1;
    while (rand.AnzahlSegmente() < soll) rand.NeuesSegment();
    // One cut, not one removal (and one recomputation with its warnings) per segment:
    // a file of one segment over a profile of 10,000 would otherwise take seconds and
    // warn millions of times about states that are about to be replaced.
    rand.SegmenteKuerzen(soll);

    rand.Segment(0)->U = ini.LiesZahl(textur, "Start", "0");
    for (int k = 0; k < rand.AnzahlSegmente(); ++k) {
        TRandSegment& s = *rand.Segment(k);
        s.Breite = ini.LiesZahl(geo, "Breite" + Index(k), "1");
        s.Winkel = GradZuRad(ini.LiesZahl(geo, "Winkel" + Index(k), "0"));
        s.NormalenWinkel = GradZuRad(ini.LiesZahl(geo, "Normale" + Index(k), "90"));
        s.NormaleMan = ini.LiesBool(geo, "NormaleMan" + Index(k), false);
        s.U = ini.LiesZahl(textur, "Ende" + Index(k), s.U);
        rand.SegmentAktualisieren(k);
    }
    rand.Berechnen();
}

void Schreiben(IniDatei& ini, const TRandPunkte& rand, std::string_view name) {
    const std::string geo = std::string(name) + "_Geo";
    const std::string textur = std::string(name) + "_Textur";
    Speicherbar(rand.TexturLaenge, [&] {
        // Catalog: the place of a value in the window: the border, then the field.
        return Randort(rand, Tr("Rechter Rand, Texturlänge"), Tr("Linker Rand, Texturlänge"));
    });
    Speicherbar(rand.TexturBreite, [&] {
        // Catalog: the place of a value in the window: the border, then the field.
        return Randort(rand, Tr("Rechter Rand, Texturbreite"), Tr("Linker Rand, Texturbreite"));
    });
    // Segment 0 last: the start point takes its angle from segment 1, where the user
    // typed it, so that is the place to name.
    for (int i = 1; i <= rand.AnzahlSegmente(); ++i) {
        const int k = i % rand.AnzahlSegmente();
        const TRandSegment& s = *rand.Segment(k);
        Speicherbar(s.Breite, [&] {
            // Catalog: %1 is the segment's number in the border profile; Breite is its length.
            return Randort(rand, Tr("Rechter Rand, Segment %1, Breite"),
                           Tr("Linker Rand, Segment %1, Breite"), k);
        });
        WinkelSpeicherbar(s.Winkel, [&] {
            // Catalog: %1 is the segment's number in the border profile.
            return Randort(rand, Tr("Rechter Rand, Segment %1, Winkel"),
                           Tr("Linker Rand, Segment %1, Winkel"), k);
        });
        WinkelSpeicherbar(s.NormalenWinkel, [&] {
            // Catalog: %1 is the segment's number; the normal is the direction the surface faces.
            return Randort(rand, Tr("Rechter Rand, Segment %1, Normale"),
                           Tr("Linker Rand, Segment %1, Normale"), k);
        });
        Speicherbar(s.U, [&] {
            // Catalog: %1 is the segment's number; U is the texture coordinate across the border.
            return Randort(rand, Tr("Rechter Rand, Segment %1, Ende (U)"),
                           Tr("Linker Rand, Segment %1, Ende (U)"), k);
        });
    }

    ini.SchreibeBool(geo, "enable1", rand.Aktiv);
    ini.SchreibeInteger(geo, "nSegments", rand.AnzahlSegmente() - 1);
    ini.SchreibeString(textur, "FileName", rand.TexturDatei);
    ini.SchreibeZahl(textur, "Laenge", rand.TexturLaenge);
    ini.SchreibeZahl(textur, "Breite", rand.TexturBreite);
    ini.SchreibeInteger(textur, "Pixel", rand.Pixel);
    ini.SchreibeBool(textur, "Ruecksetzen", rand.Ruecksetzen);
    ini.SchreibeZahl(textur, "Start", rand.Segment(0)->U);
    for (int k = 0; k < rand.AnzahlSegmente(); ++k) {
        const TRandSegment& s = *rand.Segment(k);
        ini.SchreibeZahl(geo, "Breite" + Index(k), s.Breite);
        ini.SchreibeZahl(geo, "Winkel" + Index(k), GradAufHundertstel(s.Winkel));
        ini.SchreibeZahl(geo, "Normale" + Index(k), GradAufHundertstel(s.NormalenWinkel));
        ini.SchreibeBool(geo, "NormaleMan" + Index(k), s.NormaleMan);
        ini.SchreibeZahl(textur, "Ende" + Index(k), s.U);
    }
}

// ---- Front-face fill ----------------------------------------------------------------------------

void Lesen(const IniDatei& ini, TFuellFlaeche& fuellung) {
    // All four read before any is set: a size that is no number leaves the fill as it was.
    std::string textur = ini.LiesString(kFuellSektion, "Textur", "");
    const double hoehe = ini.LiesZahl(kFuellSektion, "TexturHoehe", "2");
    const double breite = ini.LiesZahl(kFuellSektion, "TexturBreite", "2");
    const bool tausch = ini.LiesBool(kFuellSektion, "TauschHB", false);
    fuellung.Textur = std::move(textur);
    fuellung.TexturHoehe = hoehe;
    fuellung.TexturBreite = breite;
    fuellung.TauschHB = tausch;
}

void Schreiben(IniDatei& ini, const TFuellFlaeche& fuellung) {
    Speicherbar(fuellung.TexturHoehe, [] {
        // Catalog: the place of a value in the window: the fill that closes the road's
        // ends (the settings' front faces), then the field.
        return std::string(Tr("Füllfläche, Texturhöhe"));
    });
    Speicherbar(fuellung.TexturBreite, [] {
        // Catalog: the place of a value in the window: the fill that closes the road's
        // ends (the settings' front faces), then the field.
        return std::string(Tr("Füllfläche, Texturbreite"));
    });
    ini.SchreibeString(kFuellSektion, "Textur", fuellung.Textur);
    ini.SchreibeZahl(kFuellSektion, "TexturHoehe", fuellung.TexturHoehe);
    ini.SchreibeZahl(kFuellSektion, "TexturBreite", fuellung.TexturBreite);
    ini.SchreibeBool(kFuellSektion, "TauschHB", fuellung.TauschHB);
}

}  // namespace pavolant
