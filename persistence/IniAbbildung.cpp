#include "persistence/IniAbbildung.h"

#include "model/Zahlen.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <string>
#include <utility>

namespace pavolant {

namespace {

constexpr const char* kFuellSektion = "FuellFlaeche";

std::string Index(int i) { return std::to_string(i); }

// A save must never write a number that its own load refuses. Each writer below checks
// its whole part before it sets the first key, so a refused part leaves the document in
// memory as it was and the file, saved only afterwards, untouched. `ort` names the value
// as the user finds it in the window.
void Speicherbar(double wert, const std::string& ort) {
    if (!IniDatei::ZahlLiestSichZurueck(wert))
        throw KonvertierungsFehler(ort + ": " + FormatAllgemein(wert) + " kann nicht gespeichert werden");
}

// An angle is stored as its degrees rounded to hundredths, which overflow beyond
// kGroessteGradzahl although the radians and the degrees themselves are finite.
void WinkelSpeicherbar(double rad, const std::string& ort) {
    if (IniDatei::ZahlLiestSichZurueck(GradAufHundertstel(rad))) return;
    throw KonvertierungsFehler(ort + ": " + FormatAllgemein(RadZuGrad(rad)) +
                               "° kann nicht gespeichert werden (höchstens ±" + FormatAllgemein(kGroessteGradzahl) +
                               "°)");
}

}  // namespace

// ---- Spline points --------------------------------------------------------------------------

void Lesen(const IniDatei& ini, TSplinePunkte& punkte) {
    const int n = ini.LiesInteger("Splines", "Anzahl", 2);
    if (n > TSplinePunkte::kMaxPunkte) {
        std::string text = "Zu viele SplinePunkte (" + std::to_string(n) + ", höchstens " +
                           std::to_string(TSplinePunkte::kMaxPunkte) + ")";
        if (!ini.Pfad().empty()) text += " in " + Utf8(ini.Pfad());
        throw IniFehler(text);
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
    }
    // A negative count empties the list like 0 does (comparing with n itself would
    // never end once the list is empty).
    const int soll = std::max(n, 0);
    while (punkte.AnzahlPunkte() > soll) punkte.PunktLoeschen(punkte.AnzahlPunkte() - 1);
    punkte.Aktuell = 0;
}

void Schreiben(IniDatei& ini, const TSplinePunkte& punkte) {
    for (int k = 1; k <= punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& p = *punkte.Punkt(k - 1);
        const std::string ort = "SplinePunkt " + std::to_string(k) + ", ";
        Speicherbar(p.X, ort + "X");
        Speicherbar(p.Y, ort + "Y");
        Speicherbar(p.Z, ort + "Z");
        Speicherbar(p.Xrot, ort + "Xrot");
        Speicherbar(p.Yrot, ort + "Yrot");
        Speicherbar(p.Zrot, ort + "Zrot");
    }
    ini.SchreibeInteger("Splines", "Anzahl", punkte.AnzahlPunkte());
    ini.SchreibeInteger("Splines", "aktuell", punkte.Aktuell);
    ini.SchreibeString("Splines", "FileName", punkte.DateiName);
    for (int k = 1; k <= punkte.AnzahlPunkte(); ++k) {
        const TSplinePkt& p = *punkte.Punkt(k - 1);
        const std::string sektion = "SplinePts" + std::to_string(k);
        ini.SchreibeZahl(sektion, "X", p.X);
        ini.SchreibeZahl(sektion, "Y", p.Y);
        ini.SchreibeZahl(sektion, "Z", p.Z);
        ini.SchreibeZahl(sektion, "Xrot", p.Xrot);
        ini.SchreibeZahl(sektion, "Yrot", p.Yrot);
        ini.SchreibeZahl(sektion, "Zrot", p.Zrot);
    }
}

// ---- Border profile ---------------------------------------------------------------------------

void Lesen(const IniDatei& ini, TRandPunkte& rand, std::string_view name) {
    const std::string geo = std::string(name) + "_Geo";
    const std::string textur = std::string(name) + "_Textur";
    const int n = ini.LiesInteger(geo, "nSegments", 1);
    if (n > TRandPunkte::kMaxSegmente) {
        std::string text =
            "Zu viele Randsegmente (" + Index(n) + ", höchstens " + Index(TRandPunkte::kMaxSegmente) + ")";
        if (!ini.Pfad().empty()) text += " in " + Utf8(ini.Pfad());
        throw IniFehler(text);
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
    const std::string seite = rand.Rechts ? "Rechter Rand" : "Linker Rand";
    Speicherbar(rand.TexturLaenge, seite + ", Texturlänge");
    Speicherbar(rand.TexturBreite, seite + ", Texturbreite");
    // Segment 0 last: the start point takes its angle from segment 1, where the user
    // typed it, so that is the place to name.
    for (int i = 1; i <= rand.AnzahlSegmente(); ++i) {
        const int k = i % rand.AnzahlSegmente();
        const TRandSegment& s = *rand.Segment(k);
        const std::string ort = seite + ", Segment " + Index(k) + ", ";
        Speicherbar(s.Breite, ort + "Breite");
        WinkelSpeicherbar(s.Winkel, ort + "Winkel");
        WinkelSpeicherbar(s.NormalenWinkel, ort + "Normale");
        Speicherbar(s.U, ort + "Ende (U)");
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
    Speicherbar(fuellung.TexturHoehe, "Füllfläche, Texturhöhe");
    Speicherbar(fuellung.TexturBreite, "Füllfläche, Texturbreite");
    ini.SchreibeString(kFuellSektion, "Textur", fuellung.Textur);
    ini.SchreibeZahl(kFuellSektion, "TexturHoehe", fuellung.TexturHoehe);
    ini.SchreibeZahl(kFuellSektion, "TexturBreite", fuellung.TexturBreite);
    ini.SchreibeBool(kFuellSektion, "TauschHB", fuellung.TauschHB);
}

}  // namespace pavolant
