#include "model/Strassenfelder.h"

#include "model/Text.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace pavolant {

Melder& OhneMeldung() {
    struct Still : Melder {
        void Melden(MeldungsArt, const std::string&) override {}
    };
    static Still still;
    return still;
}

std::vector<TSplinePkt> PunkteAus(const TSplinePunkte& punkte) {
    std::vector<TSplinePkt> liste;
    liste.reserve(static_cast<std::size_t>(punkte.AnzahlPunkte()));
    for (int i = 0; i < punkte.AnzahlPunkte(); ++i) liste.push_back(*punkte.Punkt(i));
    return liste;
}

namespace {

using enum Wertart;
using enum Teil;
using F = Strassenfeld;

// Where a row's value goes in the road value.
#define PAVOLANT_ZIEL(art, glied) [](Strasse& s) -> art& { return s.glied; }
#define TEXT(glied) .Text = PAVOLANT_ZIEL(std::string, glied)
#define SCHALTER(glied) .Schalter = PAVOLANT_ZIEL(bool, glied)
#define ZAHL(glied) .Zahl = PAVOLANT_ZIEL(double, glied)
#define GANZZAHL(glied) .Ganzzahl = PAVOLANT_ZIEL(int, glied)

// Each row names only the columns it fills; the rest keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// clang-format off
constexpr std::array kFelder = {
    // The parameter file's keys before the road model's sections, in writing order.
    F{.Name = "edtShapeName", .Start = "RoadPAV", .Sektion = "Preferences", .Schluessel = "StrassenName",
      .Art = Text, .Vorgabe = "Strasse", TEXT(ShapeName)},

    F{.Name = "edtBreite", .Beschriftung = TrVorgemerkt("Roadway - Geometry: Width"), .Start = "7",
      .Sektion = "Fahrbahn_Geo", .Schluessel = "Breite", .Art = Text, .Vorgabe = "6", .Lesefolge = 1, ZAHL(Breite)},
    F{.Name = "edtSchleppkurve", .Beschriftung = TrVorgemerkt("Roadway - Geometry: Tractrix"), .Start = "10",
      .Sektion = "Fahrbahn_Geo", .Schluessel = "Schleppkurve", .Art = Text, .Vorgabe = "10", .Lesefolge = 2,
      ZAHL(Schleppkurve)},
    F{.Name = "edtSturz", .Beschriftung = TrVorgemerkt("Roadway - Geometry: Fulctrum"), .Start = "1",
      .Sektion = "Fahrbahn_Geo", .Schluessel = "Sturz", .Art = Text, .Vorgabe = "1", .Lesefolge = 3, ZAHL(Sturz)},
    F{.Name = "cboSchleppkurve", .Start = "0", .Sektion = "Fahrbahn_Geo", .Schluessel = "SchleppkurveErzeugen",
      .Art = Boolean, .Vorgabe = "1", SCHALTER(SchleppkurveAn)},
    F{.Name = "cboSturz", .Start = "0", .Sektion = "Fahrbahn_Geo", .Schluessel = "SturzErzeugen", .Art = Boolean,
      .Vorgabe = "1", SCHALTER(SturzAn)},
    F{.Name = "cboCreateFahrbahn", .Start = "1", .Sektion = "Fahrbahn_Geo", .Schluessel = "FahrbahnErzeugen",
      .Art = Boolean, .Vorgabe = "1", SCHALTER(FahrbahnAn)},
    F{.Name = "cboCreateTG", .Start = "1", .Sektion = "Fahrbahn_Geo", .Schluessel = "TransformGroup",
      .Art = Boolean, .Vorgabe = "0", SCHALTER(TransformGroup)},

    F{.Name = "edtTextur1FileName", .Start = "road_diffuse.dds", .Sektion = "Fahrbahn_Textur",
      .Schluessel = "FileName", .Art = Text, .Vorgabe = "road_diffuse.dds", TEXT(Textur1Datei)},
    F{.Name = "edtTextur1Laenge", .Beschriftung = TrVorgemerkt("Roadway - Texture: Length"), .Start = "20",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "Laenge", .Art = Text, .Vorgabe = "20", .Lesefolge = 4,
      ZAHL(Textur1Laenge)},
    F{.Name = "edtTexStart", .Beschriftung = TrVorgemerkt("Roadway - Texture: Begin"), .Start = "0",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "Start", .Art = Text, .Vorgabe = "0", .Lesefolge = 5,
      ZAHL(TexStart)},
    F{.Name = "EdtTexEnde", .Beschriftung = TrVorgemerkt("Roadway - Texture: End"), .Start = "1",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "Ende", .Art = Text, .Vorgabe = "1", .Lesefolge = 6, ZAHL(TexEnde)},
    // Read last: the build reads it once every check has passed.
    F{.Name = "edtTexL0", .Beschriftung = TrVorgemerkt("Roadway - Texture: TexL0"), .Start = "0",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "TexL0", .Art = Text, .Vorgabe = "0", .Lesefolge = 18,
      ZAHL(TexL0)},
    F{.Name = "edtTexPxl", .Beschriftung = TrVorgemerkt("Roadway - Texture: TextureWidth"), .Start = "0",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "TexPixel", .Art = Text, .Vorgabe = "0", .Lesefolge = 7,
      GANZZAHL(TexPxl)},
    F{.Name = "cboRandomBackFold", .Start = "0", .Sektion = "Fahrbahn_Textur", .Schluessel = "Rueckfaltung",
      .Art = Boolean, .Vorgabe = "0", SCHALTER(RandomBackFoldAn)},
    F{.Name = "edtRandomBackfold", .Beschriftung = TrVorgemerkt("Roadway - Texture: Flip randomly"), .Start = "0,5",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "Rueckfaltung_p", .Art = Text, .Vorgabe = "0,5", .Lesefolge = 8,
      ZAHL(RandomBackfold)},
    F{.Name = "cboRuecksetzen", .Start = "0", .Sektion = "Fahrbahn_Textur", .Schluessel = "Ruecksetzen",
      .Art = Boolean, .Vorgabe = "0", SCHALTER(RuecksetzenAn)},
    F{.Name = "edtStreckung", .Beschriftung = TrVorgemerkt("Roadway - Texture: Stretch on slopes"), .Start = "0",
      .Sektion = "Fahrbahn_Textur", .Schluessel = "Streckung", .Art = Text, .Vorgabe = "0", .Lesefolge = 9,
      ZAHL(Streckung)},

    F{.Name = "cboTrafficSpline", .Start = "0", .Sektion = "TrafficSplines", .Schluessel = "Mitte", .Art = Boolean,
      .Vorgabe = "0", SCHALTER(TrafficMitte)},
    F{.Name = "cboTrafficSplineRechts", .Start = "0", .Sektion = "TrafficSplines", .Schluessel = "Rechts",
      .Art = Boolean, .Vorgabe = "0", SCHALTER(TrafficRechts)},
    F{.Name = "cboTrafficSplineLinks", .Start = "0", .Sektion = "TrafficSplines", .Schluessel = "Links",
      .Art = Boolean, .Vorgabe = "0", SCHALTER(TrafficLinks)},
    F{.Name = "edtTrafficSplineRechts", .Beschriftung = TrVorgemerkt("TrafficSplines: right %"), .Start = "50",
      .Sektion = "TrafficSplines", .Schluessel = "RechtsProzent", .Art = Text, .Vorgabe = "50", .Lesefolge = 16,
      .Nur = "cboTrafficSplineRechts", ZAHL(TrafficRechtsProzent)},
    F{.Name = "edtTrafficSplineLinks", .Beschriftung = TrVorgemerkt("TrafficSplines: left %"), .Start = "50",
      .Sektion = "TrafficSplines", .Schluessel = "LinksProzent", .Art = Text, .Vorgabe = "50", .Lesefolge = 17,
      .Nur = "cboTrafficSplineLinks", ZAHL(TrafficLinksProzent)},

    // After the road model's sections: the fineness settings, the same keys as in the
    // settings file, but these defaults apply when a parameter file lacks them (appended
    // to the [Preferences] section that StrassenName opened). The window starts them from
    // the settings file.
    F{.Name = "MinLaenge", .Sektion = "Preferences", .Schluessel = "minLaenge", .Art = Zahl, .Vorgabe = "2",
      .Lage = NachDemModell, ZAHL(Fein.MinLaenge)},
    F{.Name = "MinWinkel", .Sektion = "Preferences", .Schluessel = "minWinkel", .Art = Zahl, .Vorgabe = "2,5",
      .Lage = NachDemModell, ZAHL(Fein.MinWinkel)},
    F{.Name = "MinSteigung", .Sektion = "Preferences", .Schluessel = "minSteigung", .Art = Zahl, .Vorgabe = "0,5",
      .Lage = NachDemModell, ZAHL(Fein.MinSteigung)},
    F{.Name = "MinZRot", .Sektion = "Preferences", .Schluessel = "minZRot", .Art = Zahl, .Vorgabe = "1",
      .Lage = NachDemModell, ZAHL(Fein.MinZRot)},
    F{.Name = "MaxSturz", .Sektion = "Preferences", .Schluessel = "maxSturz", .Art = Zahl, .Vorgabe = "0,25",
      .Lage = NachDemModell, ZAHL(Fein.MaxSturz)},
    F{.Name = "DreieckeSym", .Sektion = "Preferences", .Schluessel = "DreieckeSym", .Art = Boolean, .Vorgabe = "0",
      .Lage = NachDemModell, SCHALTER(Fein.DreieckeSym)},
    // Read after both borders: the box's click handler keeps it checked only while both
    // are enabled.
    F{.Name = "cboRandFuellen", .Start = "0", .Sektion = "FuellFlaeche", .Schluessel = "erzeugen", .Art = Boolean,
      .Vorgabe = "0", .Lage = NachDemModell, SCHALTER(FuellenAn)},

    // The borders' switches and texture groups: the file keeps them in each profile's own
    // sections. The window's start state of the switch is the start-up display's.
    F{.Name = "cboRandRenable", .Art = Boolean, SCHALTER(RandR.An)},
    F{.Name = "edtRandRTexFile", .Start = "verge_diffuse.dds", TEXT(RandR.TexturDatei)},
    F{.Name = "edtRandRTexLaenge", .Beschriftung = TrVorgemerkt("Right border: Length"), .Start = "20",
      .Lesefolge = 10, .Nur = "cboRandRenable", ZAHL(RandR.TexLaenge)},
    F{.Name = "edtRandRTexBreite", .Beschriftung = TrVorgemerkt("Right border: Width"), .Start = "0",
      .Lesefolge = 11, .Nur = "cboRandRenable", ZAHL(RandR.TexBreite)},
    F{.Name = "edtRandRTexBreitePxl", .Beschriftung = TrVorgemerkt("Right border: Width (pxl)"), .Start = "0",
      .Lesefolge = 12, .Nur = "cboRandRenable", GANZZAHL(RandR.TexBreitePxl)},
    F{.Name = "cboRandRRuecksetzen", .Start = "0", .Art = Boolean, SCHALTER(RandR.Ruecksetzen)},
    F{.Name = "cboRandLenable", .Art = Boolean, SCHALTER(RandL.An)},
    F{.Name = "edtRandLTexFile", .Start = "verge_diffuse.dds", TEXT(RandL.TexturDatei)},
    F{.Name = "edtRandLTexLaenge", .Beschriftung = TrVorgemerkt("Left border: Length"), .Start = "20",
      .Lesefolge = 13, .Nur = "cboRandLenable", ZAHL(RandL.TexLaenge)},
    F{.Name = "edtRandLTexBreite", .Beschriftung = TrVorgemerkt("Left border: Width"), .Start = "0",
      .Lesefolge = 14, .Nur = "cboRandLenable", ZAHL(RandL.TexBreite)},
    F{.Name = "edtRandLTexBreitePxl", .Beschriftung = TrVorgemerkt("Left border: Width (pxl)"), .Start = "0",
      .Lesefolge = 15, .Nur = "cboRandLenable", GANZZAHL(RandL.TexBreitePxl)},
    F{.Name = "cboRandLRuecksetzen", .Start = "0", .Art = Boolean, SCHALTER(RandL.Ruecksetzen)},

    // Fields of the window's editors, not of the road value: a message names them.
    F{.Name = "edtTexStartPxl", .Beschriftung = TrVorgemerkt("Roadway - Texture: Begin (pxl)"), .Start = "0"},
    F{.Name = "EdtTexEndePxl", .Beschriftung = TrVorgemerkt("Roadway - Texture: End (pxl)"), .Start = "0"},
    F{.Name = "edtSplinePtsX", .Beschriftung = TrVorgemerkt("Spline-Points: X")},
    F{.Name = "edtSplinePtsY", .Beschriftung = TrVorgemerkt("Spline-Points: Y")},
    F{.Name = "edtSplinePtsZ", .Beschriftung = TrVorgemerkt("Spline-Points: Z")},
    F{.Name = "edtSplinePtsXrot", .Beschriftung = TrVorgemerkt("Spline-Points: Xrot")},
    F{.Name = "edtSplinePtsYrot", .Beschriftung = TrVorgemerkt("Spline-Points: Yrot")},
    F{.Name = "edtSplinePtsZrot", .Beschriftung = TrVorgemerkt("Spline-Points: Zrot")},
    F{.Name = "edtSplineStrecke", .Beschriftung = TrVorgemerkt("Spline-Points: Extend road by"), .Start = "50"},
    F{.Name = "edtRandRBreite", .Beschriftung = TrVorgemerkt("Right border segments: Width")},
    F{.Name = "edtRandRWinkel", .Beschriftung = TrVorgemerkt("Right border segments: Angle")},
    F{.Name = "edtRandREnde", .Beschriftung = TrVorgemerkt("Right border segments: End")},
    F{.Name = "edtRandREndePxl", .Beschriftung = TrVorgemerkt("Right border segments: End (pxl)")},
    F{.Name = "edtRandRnormale", .Beschriftung = TrVorgemerkt("Right border segments: Normal")},
    F{.Name = "edtRandLBreite", .Beschriftung = TrVorgemerkt("Left border segments: Width")},
    F{.Name = "edtRandLWinkel", .Beschriftung = TrVorgemerkt("Left border segments: Angle")},
    F{.Name = "edtRandLEnde", .Beschriftung = TrVorgemerkt("Left border segments: End")},
    F{.Name = "edtRandLEndePxl", .Beschriftung = TrVorgemerkt("Left border segments: End (pxl)")},
    F{.Name = "edtRandLnormale", .Beschriftung = TrVorgemerkt("Left border segments: Normal")},
};
// clang-format on
#pragma GCC diagnostic pop

#undef GANZZAHL
#undef ZAHL
#undef SCHALTER
#undef TEXT
#undef PAVOLANT_ZIEL

// The rows the build reads as numbers, in their reading order.
constexpr auto kLesefolge = [] {
    std::array<std::size_t, 18> folge{};
    std::size_t n = 0;
    for (int stelle = 1; stelle <= 18; ++stelle)
        for (std::size_t i = 0; i < kFelder.size(); ++i)
            if (kFelder[i].Lesefolge == stelle) folge[n++] = i;
    return folge;
}();

}  // namespace

std::span<const Strassenfeld> Strassenfelder() { return kFelder; }

std::size_t Feldindex(std::string_view name) {
    for (std::size_t i = 0; i < kFelder.size(); ++i)
        if (kFelder[i].Name == name) return i;
    throw std::logic_error("the road has no field '" + std::string(name) + "'");
}

const Strassenfeld& FeldNamens(std::string_view name) { return kFelder[Feldindex(name)]; }

Feldwerte Startwerte() {
    Feldwerte werte(kFelder.size());
    const Feinheit fein;
    Strasse s;
    s.Fein = fein;
    for (std::size_t i = 0; i < kFelder.size(); ++i) {
        const Strassenfeld& f = kFelder[i];
        if (f.Art == Wertart::Boolean)
            werte[i].Wahr = f.Start == "1" || (f.Schalter && f.Start.empty() && f.Schalter(s));
        else if (f.Art == Wertart::Zahl)
            werte[i].Zahl = f.Zahl(s);
        else
            werte[i].Text = std::string(f.Start);
    }
    return werte;
}

Strasse StrasseAusFeldern(const Feldwerte& felder, std::vector<TSplinePkt> punkte, const TRandPunkte& profilR,
                          const TRandPunkte& profilL, const TFuellFlaeche& fuellung,
                          std::optional<StrassenfeldFehler>& fehler) {
    if (felder.size() != kFelder.size()) throw std::logic_error("field values do not match the field table");
    Strasse s;
    for (std::size_t i = 0; i < kFelder.size(); ++i) {
        const Strassenfeld& f = kFelder[i];
        if (f.Text) f.Text(s) = felder[i].Text;
        if (f.Schalter) f.Schalter(s) = felder[i].Wahr;
        if (f.Zahl && f.Art == Wertart::Zahl) f.Zahl(s) = felder[i].Zahl;
    }
    for (const std::size_t i : kLesefolge) {
        const Strassenfeld& f = kFelder[i];
        // A number whose box is off is not the road's: taken when it is one, never an error.
        const bool gilt = f.Nur.empty() || felder[Feldindex(f.Nur)].Wahr;
        try {
            if (f.Ganzzahl)
                f.Ganzzahl(s) = GanzzahlAusText(felder[i].Text);
            else
                f.Zahl(s) = ZahlAusText(felder[i].Text);
        } catch (const KonvertierungsFehler& e) {
            if (gilt && !fehler) fehler.emplace(e, f.Name, f.Lesefolge);
        }
    }
    s.Punkte = std::move(punkte);
    s.ProfilR = profilR;
    s.ProfilL = profilL;
    s.ProfilR.MelderSetzen(OhneMeldung());
    s.ProfilL.MelderSetzen(OhneMeldung());
    s.Fuellung = {fuellung.TexturHoehe, fuellung.TexturBreite, fuellung.Textur, fuellung.TauschHB};
    return s;
}

Strasse StrasseAusFeldern(const Feldwerte& felder, std::vector<TSplinePkt> punkte, const TRandPunkte& profilR,
                          const TRandPunkte& profilL, const TFuellFlaeche& fuellung) {
    std::optional<StrassenfeldFehler> fehler;
    Strasse s = StrasseAusFeldern(felder, std::move(punkte), profilR, profilL, fuellung, fehler);
    if (fehler) throw *fehler;
    return s;
}

}  // namespace pavolant
