// The main window's texture fields: the texture browse buttons (roadway and both
// borders), the roadway's mirroring pair, its U fields kept in step with their pixel
// fields through TexPxl, and the restore button of the texture start.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include "model/Zahlen.h"
#include "persistence/Plattform.h"

#include <string>
#include <utility>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

std::string OhneOrdner(const std::string& pfad) { return Utf8(PfadAusUtf8(pfad).filename()); }

}  // namespace

// ---- Texture browse --------------------------------------------------------------------

void Hauptfenster::bbnLoadFahrbahnTexClick(std::string_view sender) {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(TexturDialog());
    if (!pfad) return;
    // Only the bare name: the level editor finds textures beside the document, so the
    // folder is never carried into the parameters or the document.
    const std::string name = OhneOrdner(*pfad);
    if (sender == "bbnLoadFahrbahnTex") {
        edtTextur1FileName.Text = name;
    } else if (sender == "bbnRandLLoadTex") {
        edtRandLTexFile.Text = name;
        RandLEditor.TexturUebernehmen();
    } else if (sender == "bbnRandRLoadTex") {
        edtRandRTexFile.Text = name;
        RandREditor.TexturUebernehmen();
    }
}

// ---- Mirroring or flipping -------------------------------------------------------------

void Hauptfenster::cboRuecksetzenClick() {
    // The borders' reset boxes share this handler; it looks only at the roadway pair.
    if (cboRuecksetzen.Checked()) cboRandomBackFold.SetChecked(false);
}

void Hauptfenster::cboRandomBackFoldClick() {
    if (cboRandomBackFold.Checked()) cboRuecksetzen.SetChecked(false);
}

// ---- U and pixel fields ----------------------------------------------------------------

void Hauptfenster::PixelAusU(const TEdit& u, TEdit& pixel) const {
    pixel.Text = std::to_string(RundeGeradeInt(FeldZahl(u) * TexPxl));
}

void Hauptfenster::UAusPixel(const TEdit& pixel, TEdit& u) const {
    u.Text = FormatAllgemein(static_cast<double>(FeldGanzzahl(pixel)) / TexPxl);
}

void Hauptfenster::edtTexPxlExit() {
    TexPxl = FeldGanzzahl(edtTexPxl);
    if (TexPxl <= 0) return;
    PixelAusU(edtTexStart, edtTexStartPxl);
    PixelAusU(EdtTexEnde, EdtTexEndePxl);
}

void Hauptfenster::edtTexStartExit() {
    if (TexPxl > 0) PixelAusU(edtTexStart, edtTexStartPxl);
}

void Hauptfenster::EdtTexEndeExit() {
    if (TexPxl > 0) PixelAusU(EdtTexEnde, EdtTexEndePxl);
}

void Hauptfenster::edtTexStartPxlExit() {
    if (TexPxl > 0) UAusPixel(edtTexStartPxl, edtTexStart);
}

void Hauptfenster::EdtTexEndePxlExit() {
    if (TexPxl > 0) UAusPixel(EdtTexEndePxl, EdtTexEnde);
}

// The loaded width replaces TexPxl at once, and with a width the pixel fields are shown
// for the loaded U values, as leaving edtTexPxl does. Otherwise the next pixel field the
// user merely tabs through would convert a stale pixel value with a stale width and
// overwrite the loaded U. A loaded text that is no whole number switches the conversions
// off; the run reports it when it reads the field.
void Hauptfenster::TexPxlNachLaden() {
    try {
        TexPxl = FeldGanzzahl(edtTexPxl);
    } catch (const KonvertierungsFehler&) {
        TexPxl = 0;
        return;
    }
    if (TexPxl <= 0) return;
    for (auto [u, pixel] :
         {std::pair{&edtTexStart, &edtTexStartPxl}, std::pair{&EdtTexEnde, &EdtTexEndePxl}}) {
        try {
            PixelAusU(*u, *pixel);
        } catch (const KonvertierungsFehler&) {
            // A U text that is no number keeps its pixel field; the run reports the U.
        }
    }
}

// ---- Texture start ---------------------------------------------------------------------

void Hauptfenster::spbOldTexL0Click() { edtTexL0.Text = FormatAllgemein(OldTexL0); }

}  // namespace pavolant
