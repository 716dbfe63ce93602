// Which field a conversion error came from, and how the message names it: the window's
// captions of each number field, and the order in which "Go" reads them.
#include "ui/Feldwerte.h"
#include "ui/Hauptfenster.h"

#include "model/Text.h"

#include <array>
#include <string_view>
#include <utility>

namespace pavolant {

namespace {

// Every number field of the window with the words the user sees beside it: its group,
// then its label (or the check box that switches it on). Translated where shown.
constexpr std::array<std::pair<std::string_view, std::string_view>, 37> kBeschriftungen = {{
    {"edtBreite", TrVorgemerkt("Roadway - Geometry: Width")},
    {"edtSchleppkurve", TrVorgemerkt("Roadway - Geometry: Tractrix")},
    {"edtSturz", TrVorgemerkt("Roadway - Geometry: Fulctrum")},
    {"edtTextur1Laenge", TrVorgemerkt("Roadway - Texture: Length")},
    {"edtTexPxl", TrVorgemerkt("Roadway - Texture: TextureWidth")},
    {"edtTexStart", TrVorgemerkt("Roadway - Texture: Begin")},
    {"edtTexStartPxl", TrVorgemerkt("Roadway - Texture: Begin (pxl)")},
    {"EdtTexEnde", TrVorgemerkt("Roadway - Texture: End")},
    {"EdtTexEndePxl", TrVorgemerkt("Roadway - Texture: End (pxl)")},
    {"edtRandomBackfold", TrVorgemerkt("Roadway - Texture: Flip randomly")},
    {"edtTexL0", TrVorgemerkt("Roadway - Texture: TexL0")},
    {"edtStreckung", TrVorgemerkt("Roadway - Texture: Stretch on slopes")},
    {"edtSplinePtsX", TrVorgemerkt("Spline-Points: X")},
    {"edtSplinePtsY", TrVorgemerkt("Spline-Points: Y")},
    {"edtSplinePtsZ", TrVorgemerkt("Spline-Points: Z")},
    {"edtSplinePtsXrot", TrVorgemerkt("Spline-Points: Xrot")},
    {"edtSplinePtsYrot", TrVorgemerkt("Spline-Points: Yrot")},
    {"edtSplinePtsZrot", TrVorgemerkt("Spline-Points: Zrot")},
    {"edtSplineStrecke", TrVorgemerkt("Spline-Points: Extend road by")},
    {"edtTrafficSplineRechts", TrVorgemerkt("TrafficSplines: right %")},
    {"edtTrafficSplineLinks", TrVorgemerkt("TrafficSplines: left %")},
    {"edtRandRTexLaenge", TrVorgemerkt("Right border: Length")},
    {"edtRandRTexBreite", TrVorgemerkt("Right border: Width")},
    {"edtRandRTexBreitePxl", TrVorgemerkt("Right border: Width (pxl)")},
    {"edtRandRBreite", TrVorgemerkt("Right border segments: Width")},
    {"edtRandRWinkel", TrVorgemerkt("Right border segments: Angle")},
    {"edtRandREnde", TrVorgemerkt("Right border segments: End")},
    {"edtRandREndePxl", TrVorgemerkt("Right border segments: End (pxl)")},
    {"edtRandRnormale", TrVorgemerkt("Right border segments: Normal")},
    {"edtRandLTexLaenge", TrVorgemerkt("Left border: Length")},
    {"edtRandLTexBreite", TrVorgemerkt("Left border: Width")},
    {"edtRandLTexBreitePxl", TrVorgemerkt("Left border: Width (pxl)")},
    {"edtRandLBreite", TrVorgemerkt("Left border segments: Width")},
    {"edtRandLWinkel", TrVorgemerkt("Left border segments: Angle")},
    {"edtRandLEnde", TrVorgemerkt("Left border segments: End")},
    {"edtRandLEndePxl", TrVorgemerkt("Left border segments: End (pxl)")},
    {"edtRandLnormale", TrVorgemerkt("Left border segments: Normal")},
}};

// The fields "Go" reads as numbers, in the order it reads them; the run stops at the
// first that is no number.
// clang-format off
constexpr std::array<std::string_view, 17> kLaufReihenfolge = {
    "edtBreite",         "edtSchleppkurve",   "edtSturz",          "edtTextur1Laenge",
    "edtTexStart",       "EdtTexEnde",        "edtTexPxl",         "edtRandomBackfold",
    "edtStreckung",      "edtRandRTexLaenge", "edtRandRTexBreite", "edtRandRTexBreitePxl",
    "edtRandLTexLaenge", "edtRandLTexBreite", "edtRandLTexBreitePxl", "edtTrafficSplineRechts",
    "edtTrafficSplineLinks",
};
// clang-format on

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
    // The table's texts are literals, so each view ends in the NUL that Tr needs.
    for (const auto& [feld, text] : kBeschriftungen)
        if (feld == name) return Tr(text.data());
    return {};
}

std::string MitFeldbeschriftung(std::string text, const std::optional<std::string>& feld) {
    if (!feld) return text;
    const std::string_view beschriftung = Feldbeschriftung(*feld);
    if (beschriftung.empty()) return text;
    // Catalog: %1 is a message, %2 the field it concerns ("Roadway - Geometry: Width").
    return Einsetzen(Tr("%1 (%2)"), {text, beschriftung});
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
