// The main window's spline point editor: showing the current point, committing the
// fields into it, adding and removing points, and importing the points from an i3d
// scene the level editor exported.
#include "ui/Hauptfenster.h"
#include "ui/Feldwerte.h"

#include "model/Zahlen.h"
#include "persistence/I3dSzene.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <string>

namespace pavolant {

namespace fs = std::filesystem;

void Hauptfenster::SplineAnzeigen() {
    const int n = SplinePunkte.AnzahlPunkte();
    gboSplinePts.Caption = "Spline-Points: " + std::to_string(n);
    // An empty list (a file with Anzahl 0) has no point to show or choose; the count
    // must not claim points that are gone.
    sedSplinePtsNr.Visible = n > 1;
    // Every change of the list or of Aktuell keeps Aktuell within the list.
    const TSplinePkt* punkt = SplinePunkte.Punkt(SplinePunkte.Aktuell);
    if (!punkt) return;
    sedSplinePtsNr.Show(SplinePunkte.Aktuell + 1);
    const TSplinePkt& p = *punkt;
    edtSplinePtsX.Text = FormatAllgemein(p.X);
    edtSplinePtsY.Text = FormatAllgemein(p.Y);
    edtSplinePtsZ.Text = FormatAllgemein(p.Z);
    edtSplinePtsXrot.Text = FormatAllgemein(p.Xrot);
    edtSplinePtsYrot.Text = FormatAllgemein(p.Yrot);
    edtSplinePtsZrot.Text = FormatAllgemein(p.Zrot);
}

void Hauptfenster::PunktUebernehmenUndWechseln() {
    // Field by field into the point: a bad value stops here, the fields before it are
    // written and the current point stays.
    if (TSplinePkt* p = SplinePunkte.Punkt(SplinePunkte.Aktuell)) {
        p->X = FeldZahl(edtSplinePtsX);
        p->Y = FeldZahl(edtSplinePtsY);
        p->Z = FeldZahl(edtSplinePtsZ);
        p->Xrot = FeldZahl(edtSplinePtsXrot);
        p->Yrot = FeldZahl(edtSplinePtsYrot);
        p->Zrot = FeldZahl(edtSplinePtsZrot);
    }
    // The spin keeps the index in range while its limits differ; with a single point
    // they do not, so the index is bounded here as well. The display puts the spin back
    // in step when the number had to be corrected.
    const int n = SplinePunkte.AnzahlPunkte();
    SplinePunkte.Aktuell = n > 0 ? std::clamp(sedSplinePtsNr.Value() - 1, 0, n - 1) : 0;
    SplineAnzeigen();
}

void Hauptfenster::sedSplinePtsNrChange() { PunktUebernehmenUndWechseln(); }
void Hauptfenster::gboSplinePtsExit() { PunktUebernehmenUndWechseln(); }

void Hauptfenster::spbSplineAddClick() {
    // No commit first: values typed for the former current point since its last commit
    // give way to the new point's zeros.
    SplinePunkte.Einfuegen();
    SplineAnzeigen();
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
}

void Hauptfenster::spbSplineAddEndClick() {
    SplinePunkte.Anhaengen();
    const int n = SplinePunkte.AnzahlPunkte();
    sedSplinePtsNr.MaxValue = n;
    const int vorher = sedSplinePtsNr.Value();
    // The change commits the fields into the former current point and shows the new one.
    sedSplinePtsNr.SetValue(n);
    if (sedSplinePtsNr.Value() == vorher) {
        // The list was empty, so the spin already read 1: nothing to commit into, but the
        // new point must still become current and be shown.
        SplinePunkte.Aktuell = n - 1;
        SplineAnzeigen();
    }
}

void Hauptfenster::spbSplineSubClick() {
    if (SplinePunkte.AnzahlPunkte() < 3) {
        melder_.Warnung("Zwei Punkte müssen mindestens vorhanden sein!");
        return;
    }
    const int i = SplinePunkte.Aktuell;
    // Removing the last point: step back to the one before first. The change commits the
    // fields into the point about to go and makes point i - 1 current.
    if (i == SplinePunkte.AnzahlPunkte() - 1) sedSplinePtsNr.SetValue(i);
    SplinePunkte.PunktLoeschen(i);
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
    SplineAnzeigen();
}

// ---- Import from the level editor ------------------------------------------------------

void Hauptfenster::bbnSplinePtsOpenClick() {
    if (!AenderungenBewahren()) return;
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(SplineDialog());
    if (pfad) SplinePunkteImportieren(PfadAusUtf8(*pfad));
}

void Hauptfenster::SplinePunkteImportieren(const fs::path& pfad) {
    try {
        // The change commits the fields into the current point and makes point 1 current.
        sedSplinePtsNr.SetValue(1);
    } catch (...) {
        // The commit stopped at a bad field and the current point stayed; the spin goes
        // back to that point's number instead of naming point 1.
        sedSplinePtsNr.Show(SplinePunkte.Aktuell + 1);
        throw;
    }
    // The list may have changed also when the import stopped part way, so the spin's
    // range and the display follow it either way.
    auto anzeigen = [this] {
        sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
        SplineAnzeigen();
    };
    try {
        LeseI3d(SplinePunkte, Utf8(pfad), melder_);
    } catch (...) {
        anzeigen();
        throw;
    }
    anzeigen();
}

}  // namespace pavolant
