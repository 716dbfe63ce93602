// The main window's spline point editor: showing the current point, committing the
// fields into it, adding and removing points, orienting them from their positions,
// extending the road, and importing the points from an i3d scene the level editor
// exported, with the clean-up offered after it.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include "model/DateiFehler.h"
#include "model/Punktlage.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/I3dSzene.h"
#include "persistence/Plattform.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace pavolant {

namespace fs = std::filesystem;

void Hauptfenster::SplineAnzeigen() {
    const int n = SplinePunkte.AnzahlPunkte();
    // Catalog: %1 is the number of points.
    gboSplinePts.Caption = Einsetzen(Tr("Spline-Points: %1"), {std::to_string(n)});
    // An empty list (a file with Anzahl 0) has no point to show or choose; the count
    // must not claim points that are gone.
    sedSplinePtsNr.Visible = n > 1;
    // Every change of the list or of the current point keeps that point within the list.
    const TSplinePkt* punkt = SplinePunkte.Punkt(AktuellerPunkt);
    if (!punkt) return;
    sedSplinePtsNr.Show(AktuellerPunkt + 1);
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
    if (TSplinePkt* p = SplinePunkte.Punkt(AktuellerPunkt)) {
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
    AktuellerPunkt = n > 0 ? std::clamp(sedSplinePtsNr.Value() - 1, 0, n - 1) : 0;
    SplineAnzeigen();
}

void Hauptfenster::PunktVerschieben(int index, double x, double z) {
    if (!SplinePunkte.Punkt(index) || !std::isfinite(x) || !std::isfinite(z)) return;
    PunktUebernehmenUndWechseln();
    TabellenzeileWaehlen(index);
    TSplinePkt& p = *SplinePunkte.Punkt(index);
    p.X = x;
    p.Z = z;
    if (ZiehenFolgtGelaende && Gelaendewahl) {
        // Outside the terrain the point keeps its height, as a drop leaves it.
        if (const Gelaende* boden = GelaendeBereit())
            if (const std::optional<double> h = boden->HoeheBei(x, z)) p.Y = *h + Gelaendewahl->Abstand;
    }
    SplineAnzeigen();
}

void Hauptfenster::PunktDrehen(int index, double dX, double dZ) {
    const std::optional<Ausrichtung> richtung = AusrichtungEntlang(dX, 0, dZ);
    if (!SplinePunkte.Punkt(index) || !richtung) return;
    PunktUebernehmenUndWechseln();
    TabellenzeileWaehlen(index);
    SplinePunkte.Punkt(index)->Yrot = richtung->Yrot;
    SplineAnzeigen();
}

void Hauptfenster::PunktlisteZeigen() {
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
    SplineAnzeigen();
}

void Hauptfenster::sedSplinePtsNrChange() { PunktUebernehmenUndWechseln(); }
void Hauptfenster::gboSplinePtsExit() { PunktUebernehmenUndWechseln(); }

void Hauptfenster::spbSplineAddClick() {
    // No commit first: values typed for the former current point since its last commit
    // give way to the new point's zeros. The new point takes the current one's place
    // and becomes current; a stale index is bounded first.
    AktuellerPunkt = std::clamp(AktuellerPunkt, 0, SplinePunkte.AnzahlPunkte());
    SplinePunkte.Einfuegen(AktuellerPunkt);
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
        AktuellerPunkt = n - 1;
        SplineAnzeigen();
    }
}

void Hauptfenster::spbSplineSubClick() {
    if (SplinePunkte.AnzahlPunkte() < 3) {
        melder_.Warnung(Tr("Zwei Punkte müssen mindestens vorhanden sein!"));
        return;
    }
    const int i = AktuellerPunkt;
    // Removing the last point: step back to the one before first. The change commits the
    // fields into the point about to go and makes point i - 1 current.
    if (i == SplinePunkte.AnzahlPunkte() - 1) sedSplinePtsNr.SetValue(i);
    SplinePunkte.PunktLoeschen(i);
    // No step back happens when the spin already reads i (one that a bad field stopped
    // moved the spin, not the point): the current point still stays within the list.
    AktuellerPunkt = std::min(AktuellerPunkt, SplinePunkte.AnzahlPunkte() - 1);
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
    SplineAnzeigen();
}

// ---- Orienting, extending, duplicates ---------------------------------------------------
// The buttons sit inside the point group, so pressing one is no exit of the group: each
// commits the fields itself first, as leaving the group would.

void Hauptfenster::PunkteAusrichtenUndMelden(int nur) {
    const int ohne = PunkteAusrichten(SplinePunkte, nur);
    SplineAnzeigen();
    if (ohne == 0) return;
    melder_.Information(
        nur >= 0 ? Einsetzen(
                       Tr("Point %1 has no other place around it to take a direction from; its angles stay."),
                       {std::to_string(nur + 1)})
                 : Einsetzen(TrN("%1 points have no other place around them to take a direction from; their "
                                 "angles stay.",
                                 "%1 points have no other place around them to take a direction from; their "
                                 "angles stay.",
                                 static_cast<unsigned long>(ohne)),
                             {std::to_string(ohne)}));
}

namespace {
// The same ground: the clearance does not change what is read.
bool DerselbeBoden(const std::optional<Gelaendequelle>& a, const std::optional<Gelaendequelle>& b) {
    if (!a || !b) return !a && !b;
    return a->Datei == b->Datei && a->HeightScale == b->HeightScale && a->UnitsPerPixel == b->UnitsPerPixel;
}
}  // namespace

std::optional<Gelaende> Hauptfenster::GelesenesGelaende() const {
    if (!Gelaendewahl || !DerselbeBoden(gelaendeQuelle_, Gelaendewahl)) return std::nullopt;
    return gelaende_;
}

void Hauptfenster::GelaendeNachfuehren() {
    if (!Gelaendewahl || DerselbeBoden(gelaendeQuelle_, Gelaendewahl) ||
        DerselbeBoden(gelaendeFehler_, Gelaendewahl))
        return;
    try {
        GelaendeBereit();
    } catch (const std::exception& e) {
        gelaendeFehler_ = Gelaendewahl;
        melder_.Warnung(e.what());
    }
}

const Gelaende* Hauptfenster::GelaendeBereit() {
    if (!Gelaendewahl) return nullptr;
    if (!DerselbeBoden(gelaendeQuelle_, Gelaendewahl)) {
        Gelaendeladung l = GelaendeLesen(*Gelaendewahl, SpeicherGrenze);
        if (!l.Fehler.empty()) throw DateiFehler(l.Fehler);
        gelaende_ = std::move(l.Boden);
        gelaendeBild_ = l.Hoehenbild;
        gelaendeQuelle_ = Gelaendewahl;
        for (const std::string& hinweis : l.Hinweise) melder_.Information(hinweis);
    }
    return &gelaende_;
}

void Hauptfenster::btnGelaendeClick(Gelaendefenster& dialog, const std::function<bool()>& zeigen) {
    dialog.Fuellen(Gelaendewahl, ZiehenFolgtGelaende, SpeicherGrenze);
    if (!zeigen()) return;
    ZiehenFolgtGelaende = dialog.cboZiehenFolgt.Checked();
    const std::optional<Gelaendequelle> quelle = dialog.Quelle();
    if (quelle) {
        const Gelaendeladung* l = dialog.Gelesen();
        if (!l) {  // the fields changed since the dialog read them
            const std::string grund = dialog.Pruefen(SpeicherGrenze);
            if (!grund.empty()) throw DateiFehler(grund);
            l = dialog.Gelesen();
        }
        // The ground just read is the one the road lies on: no second reading.
        gelaende_ = l->Boden;
        gelaendeBild_ = l->Hoehenbild;
        gelaendeQuelle_ = quelle;
    }
    Gelaendewahl = quelle;
    if (!dialog.FormenGewaehlt || !quelle) return;
    // The new image beside the source, named after it; never the source itself.
    const fs::path bild = PfadAusUtf8(gelaendeBild_);
    const std::optional<std::string> ziel = dialoge_.DateiSpeichern(
        {{{Tr("Height image (PNG)"), "*.png"}},
         "png",
         Utf8(bild.parent_path() / (bild.stem().native() + PfadAusUtf8("_shaped.png").native())),
         false});
    if (!ziel) return;
    std::optional<std::string> masken;
    if (dialog.cboMasken.Checked()) masken = Utf8(PfadAusUtf8(*ziel).replace_extension());
    GelaendeFormen(PfadAusUtf8(*ziel), masken);
}

const Gelaende* Hauptfenster::GelaendeOderWarnung() {
    const Gelaende* boden = GelaendeBereit();
    if (!boden)
        melder_.Warnung(
            Tr("No terrain is set: choose the map or its height image with \"Terrain...\" first."));
    return boden;
}

void Hauptfenster::PunkteAufGelaende(bool nurAktueller) {
    PunktUebernehmenUndWechseln();
    const Gelaende* boden = GelaendeOderWarnung();
    if (!boden) return;
    std::vector<TSplinePkt> punkte = PunkteAus(SplinePunkte);
    const Absenkung a = AufGelaendeSetzen(punkte, *boden, Gelaendewahl->Abstand,
                                          nurAktueller ? std::optional<int>(AktuellerPunkt) : std::nullopt);
    SplinePunkte.Uebernehmen(punkte);
    SplineAnzeigen();
    if (a.Ausserhalb.empty()) return;
    std::string liste;
    for (const int i : a.Ausserhalb) liste += (liste.empty() ? "" : ", ") + std::to_string(i + 1);
    // Catalog: %1 how many points, %2 their numbers (1-based, comma-separated).
    melder_.Information(Einsetzen(TrN("%1 point lies outside the terrain and keeps its height: %2",
                                      "%1 points lie outside the terrain and keep their height: %2",
                                      static_cast<unsigned long>(a.Ausserhalb.size())),
                                  {std::to_string(a.Ausserhalb.size()), liste}));
}

void Hauptfenster::btnSplineAusrichtenClick() {
    PunktUebernehmenUndWechseln();
    PunkteAusrichtenUndMelden(-1);
}

void Hauptfenster::btnSplinePunktAusrichtenClick() {
    PunktUebernehmenUndWechseln();
    if (SplinePunkte.AnzahlPunkte() == 0) return;
    PunkteAusrichtenUndMelden(AktuellerPunkt);
}

void Hauptfenster::btnSplineVerlaengernClick() {
    const double strecke = FeldZahl(edtSplineStrecke);
    // A distance of 0 would put the new point onto the last (the run stops there), a
    // negative one behind it against its heading.
    if (!(strecke > 0) || !std::isfinite(strecke))
        // Catalog: %1 is the text typed into the field.
        throw Feldfehler(
            KonvertierungsFehler(Einsetzen(Tr("'%1' is no distance above 0 m"), {edtSplineStrecke.Text})),
            edtSplineStrecke);
    PunktUebernehmenUndWechseln();
    if (SplinePunkte.AnzahlPunkte() >= TSplinePunkte::kMaxPunkte) {
        melder_.Warnung(Einsetzen(TrN("The list holds %1 points, the most it can hold.",
                                      "The list holds %1 points, the most it can hold.",
                                      static_cast<unsigned long>(TSplinePunkte::kMaxPunkte)),
                                  {std::to_string(TSplinePunkte::kMaxPunkte)}));
        return;
    }
    if (!Verlaengern(SplinePunkte, strecke)) {
        melder_.Warnung(SplinePunkte.AnzahlPunkte() == 0
                            ? Tr("There is no point to extend the road from.")
                            : Tr("The last point's values do not give a point within the number range."));
        return;
    }
    AktuellerPunkt = SplinePunkte.AnzahlPunkte() - 1;
    PunktlisteZeigen();
}

void Hauptfenster::DoppeltePunkteEntfernen() {
    PunktUebernehmenUndWechseln();
    const int entfernt = GleicheStellenEntfernen(SplinePunkte, AktuellerPunkt);
    PunktlisteZeigen();
    melder_.Information(Einsetzen(TrN("%1 points at the same place as their predecessor dropped.",
                                      "%1 points at the same place as their predecessor dropped.",
                                      static_cast<unsigned long>(entfernt)),
                                  {std::to_string(entfernt)}));
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
        sedSplinePtsNr.Show(AktuellerPunkt + 1);
        throw;
    }
    // The spin's range and the display follow the new list.
    auto anzeigen = [this] {
        sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
        SplineAnzeigen();
    };
    // The whole file is read before anything changes.
    const std::string name = Utf8(pfad);
    const I3dSzene szene = LeseI3dSzene(name);
    if (!szene.SzeneGefunden) {
        // Catalog: %1 is the file's name; <Scene> is the element of the i3d document.
        melder_.Information(
            Einsetzen(Tr("In %1 fehlt \"<Scene>\"; die SplinePunkte bleiben unverändert."), {name}));
        return;
    }
    std::optional<Importwahl> wahl = Importvorgabe;
    if (!wahl)
        wahl = ImportWahlNoetig(szene) ? dialoge_.ImportWaehlen(szene, Importbaum(szene)) : Importwahl{};
    if (!wahl) return;
    const std::vector<int> shapes = ShapesDerWahl(szene, *wahl);
    const I3dUebernahme u = PunkteUebernehmen(SplinePunkte, szene, shapes);
    SplineDatei = szene.Datei;
    AktuellerPunkt = 0;
    anzeigen();
    if (u.Gekuerzt) {
        melder_.Warnung(ZuVieleShapes(name));
        return;
    }
    ImportBereinigen(pfad, u.ElternBewegt);
}

void Hauptfenster::ImportBereinigen(const fs::path& pfad, bool elternBewegt) {
    const int n = SplinePunkte.AnzahlPunkte();
    const int doppelt = AnzahlAnGleicherStelle(SplinePunkte);
    bool gedreht = false;
    for (int i = 0; i < n; ++i) {
        const TSplinePkt& p = *SplinePunkte.Punkt(i);
        gedreht = gedreht || p.Xrot != 0 || p.Yrot != 0 || p.Zrot != 0;
    }
    // Two counts, each with its own plural form: "N points" goes into the sentence whose
    // form follows the number of duplicates.
    // Catalog: becomes %1 of "%1 read from %2; …".
    const std::string punkte =
        Einsetzen(TrN("%1 points", "%1 points", static_cast<unsigned long>(n)), {std::to_string(n)});
    // Catalog: %1 is "N points", %2 the file's name, %3 how many of them lie on their
    // predecessor (the count this text's form follows).
    std::string text =
        Einsetzen(TrN("%1 read from %2; %3 of them at the same place as their predecessor (closer "
                      "than 1 mm).",
                      "%1 read from %2; %3 of them at the same place as their predecessor (closer "
                      "than 1 mm).",
                      static_cast<unsigned long>(doppelt)),
                  {punkte, Utf8(pfad.filename()), std::to_string(doppelt)});
    if (elternBewegt)
        text += std::string("\r") +
                Tr("Some shapes lie in groups that are moved, turned or scaled: their points are "
                   "placed and turned as the scene puts them.");
    if (!gedreht && n > 1)
        text += std::string("\r") + Tr("None carries a rotation: headings and grades are all 0.");
    enum class Schritt { Entfernen, Ausrichten, Beides };
    std::vector<std::string> angebote;
    std::vector<Schritt> schritte;
    if (doppelt > 0 && !gedreht && n > 1) {
        angebote.push_back(Tr("Drop duplicates and orient points"));
        schritte.push_back(Schritt::Beides);
    }
    if (doppelt > 0) {
        angebote.push_back(Tr("Drop duplicates"));
        schritte.push_back(Schritt::Entfernen);
    }
    if (!gedreht && n > 1) {
        angebote.push_back(Tr("Orient points"));
        schritte.push_back(Schritt::Ausrichten);
    }
    const std::optional<std::size_t> wahl = dialoge_.Anbieten(MeldungsArt::Information, text, angebote);
    if (!wahl || *wahl >= schritte.size()) return;
    // The import is a step of its own: undo takes back the clean-up first.
    VerlaufNachfuehren();
    const Schritt s = schritte[*wahl];
    if (s != Schritt::Ausrichten) DoppeltePunkteEntfernen();
    if (s != Schritt::Entfernen) btnSplineAusrichtenClick();
}

}  // namespace pavolant
