// The main window's border groups beyond their segment editors: the enabling chains of
// the border and fill boxes, copying one border onto the other, loading one border from
// a parameter file, and opening the profile view and the border listing.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"

#include <algorithm>

namespace pavolant {

namespace fs = std::filesystem;

// ---- Enabling chains -------------------------------------------------------------------

void Hauptfenster::RandBoxGeaendert() {
    if (!cboRandRenable.Checked() || !cboRandLenable.Checked()) cboRandFuellen.SetChecked(false);
}

// The display that ends the chain sets the box from the border's Aktiv, which is then
// equal, so the chain stops there.
void Hauptfenster::cboRandRenableClick() {
    RandBoxGeaendert();
    RandREditor.Freigeben(cboRandRenable.Checked());
}

void Hauptfenster::cboRandLenableClick() {
    RandBoxGeaendert();
    RandLEditor.Freigeben(cboRandLenable.Checked());
}

void Hauptfenster::cboRandFuellenClick() {
    // Setting it again runs this handler once more; it stops when the state holds.
    if (cboRandFuellen.Checked())
        cboRandFuellen.SetChecked(cboRandRenable.Checked() && cboRandLenable.Checked());
}

// ---- Copying a border ------------------------------------------------------------------

void Hauptfenster::spbCopyToRightClick() { RandKopieren(RandLEditor, RandREditor, true); }
void Hauptfenster::spbCopyToLeftClick() { RandKopieren(RandREditor, RandLEditor, false); }

void Hauptfenster::RandKopieren(RandEditor& von, RandEditor& nach, bool rechts) {
    von.TexturUebernehmen();
    // Commits the target's editor into its current segment before the profile goes.
    nach.Felder().Nr.SetValue(1);
    TRandPunkte& ziel = nach.Rand();
    ziel.Uebernehmen(von.Rand());
    ziel.Rechts = rechts;
    // Segment 1, or the start point when the source holds nothing else.
    ziel.AktSegment = std::min(1, ziel.AnzahlSegmente() - 1);
    // The copied enable state may check or uncheck the target's box and so run its chain.
    nach.Anzeigen();
}

// ---- One border from a parameter file --------------------------------------------------

void Hauptfenster::bbnRandRLoadParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(ParameterOeffnenDialog());
    if (pfad) RandRParameterLaden(PfadAusUtf8(*pfad));
}

void Hauptfenster::bbnRandLLoadParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(ParameterOeffnenDialog());
    if (pfad) RandLParameterLaden(PfadAusUtf8(*pfad));
}

void Hauptfenster::RandRParameterLaden(const fs::path& pfad) {
    RandLaden(RandREditor, pfad, "Rand_rechts", TrVorgemerkt("Right bordersegments:"));
}

void Hauptfenster::RandLParameterLaden(const fs::path& pfad) {
    RandLaden(RandLEditor, pfad, "Rand_links", TrVorgemerkt("Left bordersegments:"));
}

void Hauptfenster::RandLaden(RandEditor& editor, const fs::path& pfad, std::string_view abschnitt,
                             std::string_view ueberschrift) {
    const IniDatei ini = ParameterdateiOeffnen(pfad);
    if (!EnthaeltRand(ini, abschnitt))
        throw DateiFehler(Einsetzen(
            abschnitt == "Rand_rechts" ? Tr("Die Datei %1 enthält keinen rechten Rand; nichts wurde geändert")
                                       : Tr("Die Datei %1 enthält keinen linken Rand; nichts wurde geändert"),
            {Utf8(pfad)}));
    editor.Laden(ini, abschnitt, ueberschrift, false);
}

// ---- The profile view and the listing --------------------------------------------------

void Hauptfenster::bbnGrafikSchnittClick(const std::function<void()>& zeigen) {
    // The width first: a width that is no number stops here with nothing changed.
    const double breite = FeldZahl(edtBreite);
    sedRandRNr.SetValue(1);
    sedRandLNr.SetValue(1);
    Profil.FahrbahnBreite = breite;
    Profil.FormShow();
    zeigen();
    // The view's editors may have switched, added or removed segments: each main editor
    // takes up its spin's segment again (clamped to what the border now has).
    RandR.AktSegment = sedRandRNr.Value();
    RandREditor.Anzeigen();
    RandL.AktSegment = sedRandLNr.Value();
    RandLEditor.Anzeigen();
}

void Hauptfenster::bbnShowLeftParameterClick(const std::function<void()>& zeigen) {
    Auflistung.Auflisten(RandL, Tr("Parameter left border"));
    zeigen();
}

void Hauptfenster::bbnShowRightParameterClick(const std::function<void()>& zeigen) {
    Auflistung.Auflisten(RandR, Tr("Parameter right border"));
    zeigen();
}

}  // namespace pavolant
