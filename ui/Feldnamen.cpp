// Which field a conversion error came from, and how the message names it: the window's
// captions of each number field, and the order in which "Go" reads them.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include <array>
#include <string_view>
#include <utility>

namespace pavolant {

namespace {

// Every number field of the window with the words the user sees beside it: its group,
// then its label (or the check box that switches it on).
constexpr std::array<std::pair<std::string_view, std::string_view>, 37> kBeschriftungen = {{
    {"edtBreite", "Roadway - Geometry: Width"},
    {"edtSchleppkurve", "Roadway - Geometry: Tractrix"},
    {"edtSturz", "Roadway - Geometry: Fulctrum"},
    {"edtTextur1Laenge", "Roadway - Texture: Length"},
    {"edtTexPxl", "Roadway - Texture: TextureWidth"},
    {"edtTexStart", "Roadway - Texture: Begin"},
    {"edtTexStartPxl", "Roadway - Texture: Begin (pxl)"},
    {"EdtTexEnde", "Roadway - Texture: End"},
    {"EdtTexEndePxl", "Roadway - Texture: End (pxl)"},
    {"edtRandomBackfold", "Roadway - Texture: Flip randomly"},
    {"edtTexL0", "Roadway - Texture: TexL0"},
    {"edtStreckung", "Roadway - Texture: Stretch on slopes"},
    {"edtSplinePtsX", "Spline-Points: X"},
    {"edtSplinePtsY", "Spline-Points: Y"},
    {"edtSplinePtsZ", "Spline-Points: Z"},
    {"edtSplinePtsXrot", "Spline-Points: Xrot"},
    {"edtSplinePtsYrot", "Spline-Points: Yrot"},
    {"edtSplinePtsZrot", "Spline-Points: Zrot"},
    {"edtSplineStrecke", "Spline-Points: Extend road by"},
    {"edtTrafficSplineRechts", "TrafficSplines: right %"},
    {"edtTrafficSplineLinks", "TrafficSplines: left %"},
    {"edtRandRTexLaenge", "Right border: Length"},
    {"edtRandRTexBreite", "Right border: Width"},
    {"edtRandRTexBreitePxl", "Right border: Width (pxl)"},
    {"edtRandRBreite", "Right border segments: Width"},
    {"edtRandRWinkel", "Right border segments: Angle"},
    {"edtRandREnde", "Right border segments: End"},
    {"edtRandREndePxl", "Right border segments: End (pxl)"},
    {"edtRandRnormale", "Right border segments: Normal"},
    {"edtRandLTexLaenge", "Left border: Length"},
    {"edtRandLTexBreite", "Left border: Width"},
    {"edtRandLTexBreitePxl", "Left border: Width (pxl)"},
    {"edtRandLBreite", "Left border segments: Width"},
    {"edtRandLWinkel", "Left border segments: Angle"},
    {"edtRandLEnde", "Left border segments: End"},
    {"edtRandLEndePxl", "Left border segments: End (pxl)"},
    {"edtRandLnormale", "Left border segments: Normal"},
}};

// The fields "Go" reads as numbers, in the order it reads them; the run stops at the
// first that is no number.
constexpr std::array<std::string_view, 17> kLaufReihenfolge = {
    "edtBreite",         "edtSchleppkurve",   "edtSturz",          "edtTextur1Laenge",
    "edtTexStart",       "EdtTexEnde",        "edtTexPxl",         "edtRandomBackfold",
    "edtStreckung",      "edtRandRTexLaenge", "edtRandRTexBreite", "edtRandRTexBreitePxl",
    "edtRandLTexLaenge", "edtRandLTexBreite", "edtRandLTexBreitePxl", "edtTrafficSplineRechts",
    "edtTrafficSplineLinks",
};

bool IstKeineZahl(std::string_view text) {
    try {
        ZahlAusText(text);
        return false;
    } catch (const KonvertierungsFehler&) {
        return true;
    }
}

}  // namespace

std::string_view Feldbeschriftung(std::string_view name) {
    for (const auto& [feld, text] : kBeschriftungen)
        if (feld == name) return text;
    return {};
}

std::string MitFeldbeschriftung(std::string text, const std::optional<std::string>& feld) {
    if (feld && !Feldbeschriftung(*feld).empty()) text += " (" + std::string(Feldbeschriftung(*feld)) + ")";
    return text;
}

std::optional<std::string> Hauptfenster::FeldDesFehlers(const KonvertierungsFehler& fehler) {
    if (const auto* f = dynamic_cast<const Feldfehler*>(&fehler)) {
        for (const auto& k : Edits())
            if (&(this->*k.feld) == f->Feld) return std::string(k.name);
    }
    return std::nullopt;  // a field of another window, or a number from a file
}

std::optional<std::string> Hauptfenster::LauffeldDesFehlers(const KonvertierungsFehler& fehler) {
    // The run reads the fields' texts itself and reports only the text: the field is the
    // first in its reading order whose text is exactly that and no number. (TexL0 is read
    // last, after the document was begun.)
    const std::string was = fehler.what();
    const std::size_t a = was.find('\''), b = was.rfind('\'');
    if (a == std::string::npos || b <= a) return std::nullopt;
    const std::string text = was.substr(a + 1, b - a - 1);
    for (std::string_view name : kLaufReihenfolge) {
        const TEdit& e = *Edit(name);
        if (SichtbarerText(e.Text) == text && IstKeineZahl(e.Text)) return std::string(name);
    }
    if (SichtbarerText(edtTexL0.Text) == text && IstKeineZahl(edtTexL0.Text)) return std::string("edtTexL0");
    return std::nullopt;
}

}  // namespace pavolant
