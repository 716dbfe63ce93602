#include "ui/uMain13.h"

#include "model/Zahlen.h"
#include "persistence/I3dSzene.h"
#include "persistence/IniAbbildung.h"
#include "persistence/IniDatei.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

template <class T>
using Komponente = pavolant::Komponente<TForm1, T>;

constexpr std::array kEdits = {
    Komponente<TEdit>{"edtFileName", &TForm1::edtFileName},
    Komponente<TEdit>{"edtShapeName", &TForm1::edtShapeName},
    Komponente<TEdit>{"edtBreite", &TForm1::edtBreite},
    Komponente<TEdit>{"edtSchleppkurve", &TForm1::edtSchleppkurve},
    Komponente<TEdit>{"edtSturz", &TForm1::edtSturz},
    Komponente<TEdit>{"edtTextur1FileName", &TForm1::edtTextur1FileName},
    Komponente<TEdit>{"edtTextur1Laenge", &TForm1::edtTextur1Laenge},
    Komponente<TEdit>{"edtTexPxl", &TForm1::edtTexPxl},
    Komponente<TEdit>{"edtTexStart", &TForm1::edtTexStart},
    Komponente<TEdit>{"edtTexStartPxl", &TForm1::edtTexStartPxl},
    Komponente<TEdit>{"EdtTexEnde", &TForm1::EdtTexEnde},
    Komponente<TEdit>{"EdtTexEndePxl", &TForm1::EdtTexEndePxl},
    Komponente<TEdit>{"edtRandomBackfold", &TForm1::edtRandomBackfold},
    Komponente<TEdit>{"edtTexL0", &TForm1::edtTexL0},
    Komponente<TEdit>{"edtStreckung", &TForm1::edtStreckung},
    Komponente<TEdit>{"edtSplinePtsX", &TForm1::edtSplinePtsX},
    Komponente<TEdit>{"edtSplinePtsY", &TForm1::edtSplinePtsY},
    Komponente<TEdit>{"edtSplinePtsZ", &TForm1::edtSplinePtsZ},
    Komponente<TEdit>{"edtSplinePtsXrot", &TForm1::edtSplinePtsXrot},
    Komponente<TEdit>{"edtSplinePtsYrot", &TForm1::edtSplinePtsYrot},
    Komponente<TEdit>{"edtSplinePtsZrot", &TForm1::edtSplinePtsZrot},
    Komponente<TEdit>{"edtTrafficSplineRechts", &TForm1::edtTrafficSplineRechts},
    Komponente<TEdit>{"edtTrafficSplineLinks", &TForm1::edtTrafficSplineLinks},
    Komponente<TEdit>{"edtRandRTexFile", &TForm1::edtRandRTexFile},
    Komponente<TEdit>{"edtRandRTexLaenge", &TForm1::edtRandRTexLaenge},
    Komponente<TEdit>{"edtRandRTexBreite", &TForm1::edtRandRTexBreite},
    Komponente<TEdit>{"edtRandRTexBreitePxl", &TForm1::edtRandRTexBreitePxl},
    Komponente<TEdit>{"edtRandRBreite", &TForm1::edtRandRBreite},
    Komponente<TEdit>{"edtRandRWinkel", &TForm1::edtRandRWinkel},
    Komponente<TEdit>{"edtRandREnde", &TForm1::edtRandREnde},
    Komponente<TEdit>{"edtRandREndePxl", &TForm1::edtRandREndePxl},
    Komponente<TEdit>{"edtRandRnormale", &TForm1::edtRandRnormale},
    Komponente<TEdit>{"edtRandLTexFile", &TForm1::edtRandLTexFile},
    Komponente<TEdit>{"edtRandLTexLaenge", &TForm1::edtRandLTexLaenge},
    Komponente<TEdit>{"edtRandLTexBreite", &TForm1::edtRandLTexBreite},
    Komponente<TEdit>{"edtRandLTexBreitePxl", &TForm1::edtRandLTexBreitePxl},
    Komponente<TEdit>{"edtRandLBreite", &TForm1::edtRandLBreite},
    Komponente<TEdit>{"edtRandLWinkel", &TForm1::edtRandLWinkel},
    Komponente<TEdit>{"edtRandLEnde", &TForm1::edtRandLEnde},
    Komponente<TEdit>{"edtRandLEndePxl", &TForm1::edtRandLEndePxl},
    Komponente<TEdit>{"edtRandLnormale", &TForm1::edtRandLnormale},
};

constexpr std::array kCheckBoxen = {
    Komponente<TCheckBox>{"cboRandLenable", &TForm1::cboRandLenable},
    Komponente<TCheckBox>{"cboCreateFahrbahn", &TForm1::cboCreateFahrbahn},
    Komponente<TCheckBox>{"cboRandRenable", &TForm1::cboRandRenable},
    Komponente<TCheckBox>{"cboSchleppkurve", &TForm1::cboSchleppkurve},
    Komponente<TCheckBox>{"cboSturz", &TForm1::cboSturz},
    Komponente<TCheckBox>{"cboRandomBackFold", &TForm1::cboRandomBackFold},
    Komponente<TCheckBox>{"cboRuecksetzen", &TForm1::cboRuecksetzen},
    Komponente<TCheckBox>{"cboCreateTG", &TForm1::cboCreateTG},
    Komponente<TCheckBox>{"cboRandFuellen", &TForm1::cboRandFuellen},
    Komponente<TCheckBox>{"cboTrafficSpline", &TForm1::cboTrafficSpline},
    Komponente<TCheckBox>{"cboTrafficSplineRechts", &TForm1::cboTrafficSplineRechts},
    Komponente<TCheckBox>{"cboTrafficSplineLinks", &TForm1::cboTrafficSplineLinks},
    Komponente<TCheckBox>{"cboRandRRuecksetzen", &TForm1::cboRandRRuecksetzen},
    Komponente<TCheckBox>{"cboRandRnormMan", &TForm1::cboRandRnormMan},
    Komponente<TCheckBox>{"cboRandLRuecksetzen", &TForm1::cboRandLRuecksetzen},
    Komponente<TCheckBox>{"cboRandLnormMan", &TForm1::cboRandLnormMan},
};

constexpr std::array kButtons = {
    Komponente<TButton>{"bbnSave", &TForm1::bbnSave},
    Komponente<TButton>{"bbnGo", &TForm1::bbnGo},
    Komponente<TButton>{"bbnLoadPara", &TForm1::bbnLoadPara},
    Komponente<TButton>{"bbnSavePara", &TForm1::bbnSavePara},
    Komponente<TButton>{"bbnCopyMemo", &TForm1::bbnCopyMemo},
    Komponente<TButton>{"bbnLoadFahrbahnTex", &TForm1::bbnLoadFahrbahnTex},
    Komponente<TButton>{"spbOldTexL0", &TForm1::spbOldTexL0},
    Komponente<TButton>{"spbSplineAdd", &TForm1::spbSplineAdd},
    Komponente<TButton>{"spbSplineSub", &TForm1::spbSplineSub},
    Komponente<TButton>{"spbSplineAddEnd", &TForm1::spbSplineAddEnd},
    Komponente<TButton>{"bbnSplinePtsOpen", &TForm1::bbnSplinePtsOpen},
    Komponente<TButton>{"bbnInfo", &TForm1::bbnInfo},
    Komponente<TButton>{"spbCopyToRight", &TForm1::spbCopyToRight},
    Komponente<TButton>{"spbCopyToLeft", &TForm1::spbCopyToLeft},
    Komponente<TButton>{"bbnRandRLoadTex", &TForm1::bbnRandRLoadTex},
    Komponente<TButton>{"btnRandRcalcU", &TForm1::btnRandRcalcU},
    Komponente<TButton>{"spbRandRAdd", &TForm1::spbRandRAdd},
    Komponente<TButton>{"spbRandRDel", &TForm1::spbRandRDel},
    Komponente<TButton>{"spbRandRAddEnd", &TForm1::spbRandRAddEnd},
    Komponente<TButton>{"bbnGrafikSchnitt", &TForm1::bbnGrafikSchnitt},
    Komponente<TButton>{"bbnShowLeftParameter", &TForm1::bbnShowLeftParameter},
    Komponente<TButton>{"bbnShowRightParameter", &TForm1::bbnShowRightParameter},
    Komponente<TButton>{"bbnRandRLoadPara", &TForm1::bbnRandRLoadPara},
    Komponente<TButton>{"bbnRandLLoadTex", &TForm1::bbnRandLLoadTex},
    Komponente<TButton>{"btnRandLcalcU", &TForm1::btnRandLcalcU},
    Komponente<TButton>{"spbRandLAdd", &TForm1::spbRandLAdd},
    Komponente<TButton>{"SpeedButton2", &TForm1::SpeedButton2},
    Komponente<TButton>{"spbRandLAddEnd", &TForm1::spbRandLAddEnd},
    Komponente<TButton>{"bbnRandLLoadPara", &TForm1::bbnRandLLoadPara},
};

constexpr std::array kLabels = {
    Komponente<TLabel>{"Label18", &TForm1::Label18},
    Komponente<TLabel>{"lblParameter1", &TForm1::lblParameter1},
    Komponente<TLabel>{"lblParameter", &TForm1::lblParameter},
    Komponente<TLabel>{"lblBreite", &TForm1::lblBreite},
    Komponente<TLabel>{"lblTextur1File", &TForm1::lblTextur1File},
    Komponente<TLabel>{"lblTextur1Laenge", &TForm1::lblTextur1Laenge},
    Komponente<TLabel>{"Label46", &TForm1::Label46},
    Komponente<TLabel>{"Label30", &TForm1::Label30},
    Komponente<TLabel>{"Label47", &TForm1::Label47},
    Komponente<TLabel>{"Label48", &TForm1::Label48},
    Komponente<TLabel>{"Label25", &TForm1::Label25},
    Komponente<TLabel>{"Label17", &TForm1::Label17},
    Komponente<TLabel>{"Label24", &TForm1::Label24},
};

constexpr std::array kGroupBoxen = {
    Komponente<TGroupBox>{"GroupBox2", &TForm1::GroupBox2},
    Komponente<TGroupBox>{"GroupBox3", &TForm1::GroupBox3},
    Komponente<TGroupBox>{"gboSplinePts", &TForm1::gboSplinePts},
    Komponente<TGroupBox>{"GroupBox1", &TForm1::GroupBox1},
    Komponente<TGroupBox>{"gboRandR", &TForm1::gboRandR},
    Komponente<TGroupBox>{"gboRandRSegmente", &TForm1::gboRandRSegmente},
    Komponente<TGroupBox>{"gboRandL", &TForm1::gboRandL},
    Komponente<TGroupBox>{"gboRandLSegmente", &TForm1::gboRandLSegmente},
};

constexpr std::array kSpinEdits = {
    Komponente<TSpinEdit>{"sedSplinePtsNr", &TForm1::sedSplinePtsNr},
    Komponente<TSpinEdit>{"sedRandRNr", &TForm1::sedRandRNr},
    Komponente<TSpinEdit>{"sedRandLNr", &TForm1::sedRandLNr},
};

constexpr std::array kMemos = {
    Komponente<TMemo>{"mmoStatus", &TForm1::mmoStatus},
};

// The window's number fields that the parameter file stores.
constexpr std::array kZahlfelder = {
    Komponente<double>{"MinLaenge", &TForm1::MinLaenge},
    Komponente<double>{"MinWinkel", &TForm1::MinWinkel},
    Komponente<double>{"MinSteigung", &TForm1::MinSteigung},
    Komponente<double>{"MinZRot", &TForm1::MinZRot},
    Komponente<double>{"MaxSturz", &TForm1::MaxSturz},
};

template <class T, std::size_t N>
T* Suchen(TForm1& form, const std::array<Komponente<T>, N>& tabelle, std::string_view name) {
    return KomponenteSuchen<TForm1, T>(form, tabelle, name);
}

// A name from the parameter table that the window lacks is a programming error.
[[noreturn]] void Unbekannt(std::string_view name) {
    throw std::logic_error("the main window has no component '" + std::string(name) + "'");
}

DateiAuswahl AusgabeDialog() {
    return {{{"Giants-Editor", "*.i3d"}, {"all files   ", "*.*"}}, "i3d", "test.i3d", false};
}
DateiAuswahl TexturDialog() {
    return {{{"dds-Bilder", "*.dds"}, {"All files   ", "*.*"}}, "", "test.dds", true};
}
DateiAuswahl SplineDialog() {
    return {{{"i3d", "*.i3d"}, {"all Files   ", "*.*"}}, "", "test.i3d", false};
}
DateiAuswahl ParameterOeffnenDialog() {
    return {{{"Parameter", "*.ini"}, {"All files   ", "*.*"}}, "ini", "Parameter.ini", true};
}
DateiAuswahl ParameterSpeichernDialog() {
    return {{{"Parameter", "*.ini"}, {"all files   ", "*.*"}}, "ini", "Parameter.ini", false};
}

std::string OhneOrdner(const std::string& pfad) { return fs::path(pfad).filename().string(); }

// The layout of one side's border groups, as the window opens with them. The texts stay
// until the border is first shown.
void RandLayout(const RandEditor& editor, TButton& laden, bool rechts) {
    const RandSegmentFelder& s = editor.Felder();
    const RandTexturFelder& t = *editor.Textur();
    t.Aktiv.Caption = rechts ? "Generate right border" : "Generate left border";
    t.Aktiv.SetChecked(true);  // the start-up display unchecks it, which hides the groups
    t.Gruppe.Caption = rechts ? "Right border " : "Left border ";
    t.Datei.Text = "verge_diffuse.dds";
    t.Laenge.Text = "20";
    t.Breite.Text = "0";
    t.BreitePxl.Text = "0";
    t.BreiteZuU.Caption = "Width  -> U";
    t.BreiteZuU.Hint =
        "Berechnet aus Texturbreite und Breite der Randsegmente die zugehörige Texturkoordinate U "
        "(Parameter \"Ende\")";
    t.Ruecksetzen.Caption = "Reset instead of mirroring";

    SegmentgruppeVorbelegen(s, rechts ? "Right bordersegments:1" : "Left bordersegments:1",
                            rechts ? "Add border segment at the end  " : "Randsegment am Ende hinzufügen");

    laden.Caption = rechts ? "Load parameters for right border" : "Load parameters for left border";
}

}  // namespace

TForm1::TForm1(Melder& melder, Dialoge& dialoge)
    : randMelder_(melder),
      RandR("right Border", randMelder_),
      RandL("left Border", randMelder_),
      RandREditor(RandR, randMelder_,
                  {gboRandRSegmente, sedRandRNr, spbRandRAdd, spbRandRDel, spbRandRAddEnd, edtRandRBreite,
                   edtRandRWinkel, edtRandREnde, edtRandREndePxl, cboRandRnormMan, edtRandRnormale},
                  "Right bordersegments:",
                  RandTexturFelder{cboRandRenable, gboRandR, edtRandRTexFile, edtRandRTexLaenge, edtRandRTexBreite,
                                   edtRandRTexBreitePxl, cboRandRRuecksetzen, btnRandRcalcU}),
      RandLEditor(RandL, randMelder_,
                  {gboRandLSegmente, sedRandLNr, spbRandLAdd, SpeedButton2, spbRandLAddEnd, edtRandLBreite,
                   edtRandLWinkel, edtRandLEnde, edtRandLEndePxl, cboRandLnormMan, edtRandLnormale},
                  "Left bordersegments:",
                  RandTexturFelder{cboRandLenable, gboRandL, edtRandLTexFile, edtRandLTexLaenge, edtRandLTexBreite,
                                   edtRandLTexBreitePxl, cboRandLRuecksetzen, btnRandLcalcU}),
      Form2(RandR, RandL, randMelder_),
      melder_(melder),
      dialoge_(dialoge) {
    // Top rows.
    bbnSave.Caption = "i3d-File";
    edtFileName.Text = "edtFileName";
    bbnGo.Caption = "Go";
    bbnGo.Enabled = false;  // enabled only once an output file was chosen
    Label18.Caption = "ShapeName";
    edtShapeName.Text = "RoadPAV";
    spbCopyToRight.Caption = "CopyL";
    cboCreateFahrbahn.Caption = "Roadway ";
    cboCreateFahrbahn.SetChecked(true);
    spbCopyToLeft.Caption = "CopyR";
    RandLayout(RandREditor, bbnRandRLoadPara, true);
    RandLayout(RandLEditor, bbnRandLLoadPara, false);
    bbnRandRLoadTex.Hint = "Texturdatei für rechten Rand laden (Pfade werden NICHT angepasst)";
    bbnRandLLoadTex.Hint = "Load texture for left border (path will NOT be adjusted)         ";

    // Left column.
    bbnShowLeftParameter.Caption = "Show parameters   ";
    bbnLoadPara.Caption = "Load parameter";
    lblParameter.Caption = "freely entered ";
    bbnSavePara.Caption = "Save parameter";
    bbnCopyMemo.Caption = "Copy Memo";

    // Roadway geometry.
    GroupBox2.Caption = "Roadway - Geometry  ";
    lblBreite.Caption = "Width ";
    edtBreite.Text = "7";
    cboSchleppkurve.Caption = "Tractrix    ";
    edtSchleppkurve.Text = "10";
    cboSturz.Caption = "Fulctrum   ";
    edtSturz.Text = "1";

    // Roadway texture.
    GroupBox3.Caption = "Roadway - Texture";
    lblTextur1File.Caption = "File ";
    edtTextur1FileName.Text = "road_diffuse.dds";
    lblTextur1Laenge.Caption = "Length";
    edtTextur1Laenge.Text = "20";
    Label46.Caption = "TextureWidth";
    Label30.Caption = "pxl";
    edtTexPxl.Text = "0";
    Label47.Caption = "Begin";
    edtTexStart.Text = "0";
    edtTexStartPxl.Text = "0";
    Label48.Caption = "End ";
    EdtTexEnde.Text = "1";
    EdtTexEndePxl.Text = "0";
    cboRandomBackFold.Caption = "Flip randomly      ";
    edtRandomBackfold.Text = "0,5";
    cboRuecksetzen.Caption = "Reset instead of mirroring";
    Label25.Caption = "TexL0";
    edtTexL0.Text = "0";
    edtTexL0.Hint = "Startpunkt in der Textur [0...1]";
    spbOldTexL0.Hint = "Alten Wert von TexL0 wieder herstellen";
    Label17.Caption = "Stretch on slopes    ";
    edtStreckung.Text = "0";

    // Spline points.
    sedSplinePtsNr.MinValue = 1;
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
    sedSplinePtsNr.Show(1);
    spbSplineAdd.Hint = "Spline-Punkt vor aktuellem Punkt einfügen";
    spbSplineSub.Hint = "aktuellen Spline-Punkt löschen";
    spbSplineAddEnd.Hint = "Spline-Punkt am Ende hinzufügen";
    bbnSplinePtsOpen.Hint = "exportierte Spline-Punkte aus i3d-Datei laden";
    bbnGrafikSchnitt.Caption = "Show profile  ";
    bbnGrafikSchnitt.Hint = "Schnittzeichnung Straße und Ränder (Zrot noch nicht berücksichtigt)";

    // Right column.
    bbnShowRightParameter.Caption = "Show parameters   ";
    cboCreateTG.Caption = "Generate TransformGroup";
    cboCreateTG.SetChecked(true);
    cboRandFuellen.Caption = "Fill front surface  ";
    cboRandFuellen.Hint = "nur möglich, wenn beide Ränder aktiv";
    Label24.Caption = "See 'Settings' for parameters";
    GroupBox1.Caption = "TrafficSplines";
    cboTrafficSpline.Caption = "center      ";
    cboTrafficSpline.Hint = "nur möglich, wenn beide Ränder aktiv";
    cboTrafficSplineRechts.Caption = "right                     %";
    cboTrafficSplineRechts.Hint = "only possible when both borders active";
    edtTrafficSplineRechts.Text = "50";
    cboTrafficSplineLinks.Caption = "left                        %";
    cboTrafficSplineLinks.Hint = "only possible when both borders active";
    edtTrafficSplineLinks.Text = "50";
    bbnInfo.Caption = "Info";

    mmoStatus.Lines = {"mmoStatus"};

    // Handlers, wired once the start state stands so that none of them runs for it.
    bbnSave.OnClick = [this] { bbnSaveClick(); };
    bbnGo.OnClick = [this] { bbnGoClick(); };
    bbnInfo.OnClick = [this] { bbnInfoClick(); };
    bbnLoadFahrbahnTex.OnClick = [this] { bbnLoadFahrbahnTexClick("bbnLoadFahrbahnTex"); };
    bbnSavePara.OnClick = [this] { bbnSaveParaClick(); };
    bbnLoadPara.OnClick = [this] { bbnLoadParaClick(); };
    cboRandRenable.OnClick = [this] { cboRandRenableClick(); };
    cboRandLenable.OnClick = [this] { cboRandLenableClick(); };
    cboRandFuellen.OnClick = [this] { cboRandFuellenClick(); };
    cboRuecksetzen.OnClick = [this] { cboRuecksetzenClick(); };
    cboRandomBackFold.OnClick = [this] { cboRandomBackFoldClick(); };
    edtTexPxl.OnExit = [this] { edtTexPxlExit(); };
    edtTexStart.OnExit = [this] { edtTexStartExit(); };
    EdtTexEnde.OnExit = [this] { EdtTexEndeExit(); };
    edtTexStartPxl.OnExit = [this] { edtTexStartPxlExit(); };
    EdtTexEndePxl.OnExit = [this] { EdtTexEndePxlExit(); };
    spbOldTexL0.OnClick = [this] { spbOldTexL0Click(); };
    sedSplinePtsNr.OnChange = [this] { sedSplinePtsNrChange(); };
    gboSplinePts.OnExit = [this] { gboSplinePtsExit(); };
    spbSplineAdd.OnClick = [this] { spbSplineAddClick(); };
    spbSplineAddEnd.OnClick = [this] { spbSplineAddEndClick(); };
    spbSplineSub.OnClick = [this] { spbSplineSubClick(); };
    bbnSplinePtsOpen.OnClick = [this] { bbnSplinePtsOpenClick(); };
    spbCopyToRight.OnClick = [this] { spbCopyToRightClick(); };
    spbCopyToLeft.OnClick = [this] { spbCopyToLeftClick(); };
    bbnRandRLoadTex.OnClick = [this] { bbnLoadFahrbahnTexClick("bbnRandRLoadTex"); };
    bbnRandLLoadTex.OnClick = [this] { bbnLoadFahrbahnTexClick("bbnRandLLoadTex"); };
    bbnRandRLoadPara.OnClick = [this] { bbnRandRLoadParaClick(); };
    bbnRandLLoadPara.OnClick = [this] { bbnRandLLoadParaClick(); };
    // The segment and texture groups' own events are wired by their editors. The
    // borders' reset boxes need no handler: the roadway's mirroring pair is not theirs,
    // and their state reaches the border with the next texture group commit.

    // Start-up, in this order: the borders (inactive, so each display unchecks its
    // enable box, whose chain hides and disables both groups and unchecks the fill
    // box), then the spline points. The front-face fill stands as constructed; the
    // settings and the window position follow in FormCreate.
    RandR.Rechts = true;
    RandL.Rechts = false;
    RandREditor.Anzeigen();
    RandLEditor.Anzeigen();
    SplineAnzeigen();
}

bool TForm1::Ausfuehren(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& e) {
        dialoge_.Fehler(e.what());
        return false;
    }
}

// ---- Start-up and closing -------------------------------------------------------------------

Feinheit TForm1::Einstellungen() const {
    return {MinLaenge, MinWinkel, MinSteigung, MinZRot, MaxSturz, DreieckeSym};
}

void TForm1::bbnPreferencesClick(TFormPref& pref, const std::function<bool()>& zeigen) {
    Feinheit feinheit = Einstellungen();
    pref.Fuellen(feinheit, FuellFlaeche);
    if (!zeigen()) return;
    try {
        pref.Uebernehmen(feinheit, FuellFlaeche);
    } catch (...) {
        EinstellungenSetzen(feinheit);  // what was read before the bad field stays read
        throw;
    }
    EinstellungenSetzen(feinheit);
}

void TForm1::EinstellungenSetzen(const Feinheit& f) {
    MinLaenge = f.MinLaenge;
    MinWinkel = f.MinWinkel;
    MinSteigung = f.MinSteigung;
    MinZRot = f.MinZRot;
    MaxSturz = f.MaxSturz;
    DreieckeSym = f.DreieckeSym;
}

bool TForm1::FormCreate(const fs::path& einstellungen, int bildschirmBreite, int bildschirmHoehe) {
    bildschirm_ = Bildschirm{bildschirmBreite, bildschirmHoehe};
    Position = AufBildschirm(Position, kBreite, kHoehe, bildschirmBreite, bildschirmHoehe);
    // A settings file that cannot be read costs the user the stored settings, not the
    // program: the error is shown and the window opens with what was read.
    return Ausfuehren([&] { EinstellungenLaden(einstellungen); });
}

void TForm1::EinstellungenLaden(const fs::path& einstellungen) {
    Feinheit feinheit;  // the defaults, in place before the file is opened
    EinstellungenSetzen(feinheit);
    std::optional<Fensterposition> gespeichert;
    try {
        gespeichert = EinstellungenLesen(einstellungen, feinheit);
    } catch (...) {
        EinstellungenSetzen(feinheit);  // what was read before the bad value
        throw;
    }
    EinstellungenSetzen(feinheit);
    if (!gespeichert) return;
    // A position saved on a larger screen, or a hand-edited one, must not open the
    // window where the user cannot reach it.
    Position = bildschirm_ ? AufBildschirm(*gespeichert, kBreite, kHoehe, bildschirm_->Breite, bildschirm_->Hoehe)
                           : *gespeichert;
}

bool TForm1::FormCloseQuery(const fs::path& einstellungen) {
    return Ausfuehren([&] { EinstellungenSchreiben(einstellungen, Einstellungen(), Position); });
}

// ---- Lookup by name -----------------------------------------------------------------------

TEdit* TForm1::Edit(std::string_view name) { return Suchen(*this, kEdits, name); }
TCheckBox* TForm1::CheckBox(std::string_view name) { return Suchen(*this, kCheckBoxen, name); }
TSpinEdit* TForm1::SpinEdit(std::string_view name) { return Suchen(*this, kSpinEdits, name); }
TButton* TForm1::Button(std::string_view name) { return Suchen(*this, kButtons, name); }
TLabel* TForm1::Label(std::string_view name) { return Suchen(*this, kLabels, name); }
TGroupBox* TForm1::GroupBox(std::string_view name) { return Suchen(*this, kGroupBoxen, name); }
TMemo* TForm1::Memo(std::string_view name) { return Suchen(*this, kMemos, name); }

// ---- Output file, run, info -----------------------------------------------------------------

void TForm1::bbnSaveClick() {
    const std::optional<std::string> pfad = dialoge_.DateiSpeichern(AusgabeDialog());
    if (!pfad) return;
    edtFileName.Text = *pfad;
    bbnGo.Enabled = true;
}

void TForm1::bbnGoClick() {
    Laufparameter p;
    p.Breite = edtBreite.Text;
    p.SchleppkurveAn = cboSchleppkurve.Checked();
    p.Schleppkurve = edtSchleppkurve.Text;
    p.SturzAn = cboSturz.Checked();
    p.Sturz = edtSturz.Text;
    p.FahrbahnAn = cboCreateFahrbahn.Checked();

    p.Textur1Datei = edtTextur1FileName.Text;
    p.Textur1Laenge = edtTextur1Laenge.Text;
    p.TexStart = edtTexStart.Text;
    p.TexEnde = EdtTexEnde.Text;
    p.TexPxl = edtTexPxl.Text;
    p.RandomBackFoldAn = cboRandomBackFold.Checked();
    p.RandomBackfold = edtRandomBackfold.Text;
    p.RuecksetzenAn = cboRuecksetzen.Checked();
    p.TexL0 = edtTexL0.Text;
    p.Streckung = edtStreckung.Text;

    p.TrafficMitte = cboTrafficSpline.Checked();
    p.TrafficRechts = cboTrafficSplineRechts.Checked();
    p.TrafficRechtsProzent = edtTrafficSplineRechts.Text;
    p.TrafficLinks = cboTrafficSplineLinks.Checked();
    p.TrafficLinksProzent = edtTrafficSplineLinks.Text;

    // The run copies each enabled border's texture group into its profile.
    for (auto [par, aktiv, datei, laenge, breite, pxl, ruecksetzen] :
         {std::tuple{&p.RandR, &cboRandRenable, &edtRandRTexFile, &edtRandRTexLaenge, &edtRandRTexBreite,
                     &edtRandRTexBreitePxl, &cboRandRRuecksetzen},
          std::tuple{&p.RandL, &cboRandLenable, &edtRandLTexFile, &edtRandLTexLaenge, &edtRandLTexBreite,
                     &edtRandLTexBreitePxl, &cboRandLRuecksetzen}}) {
        par->An = aktiv->Checked();
        par->TexturDatei = datei->Text;
        par->TexLaenge = laenge->Text;
        par->TexBreite = breite->Text;
        par->TexBreitePxl = pxl->Text;
        par->Ruecksetzen = ruecksetzen->Checked();
    }
    p.FuellenAn = cboRandFuellen.Checked();

    p.DateiName = edtFileName.Text;
    p.ShapeName = edtShapeName.Text;
    p.TransformGroup = cboCreateTG.Checked();

    p.Fein = Einstellungen();

    Laufbericht bericht;
    Strassenmodell modell{SplinePunkte, &RandR, &RandL, &FuellFlaeche};
    try {
        Generieren(p, modell, zufall_, melder_, bericht);
    } catch (...) {
        // What the run reached before it stopped (the cleared memo and its lines, the
        // values it read) is in the window when the error is shown.
        BerichtAnwenden(bericht);
        throw;
    }
    BerichtAnwenden(bericht);
}

void TForm1::BerichtAnwenden(const Laufbericht& bericht) {
    if (bericht.MemoGeleert) mmoStatus.Lines.clear();
    mmoStatus.Lines.insert(mmoStatus.Lines.end(), bericht.Memo.begin(), bericht.Memo.end());
    if (bericht.TexPxl) TexPxl = *bericht.TexPxl;
    if (bericht.OldTexL0) OldTexL0 = *bericht.OldTexL0;
    if (bericht.TexL0) edtTexL0.Text = *bericht.TexL0;
    if (bericht.GoDeaktivieren) bbnGo.Enabled = false;
    letzterLauf_ = bericht;
}

void TForm1::bbnGrafikSchnittClick(const std::function<void()>& zeigen) {
    // The width first: a width that is no number stops here with nothing changed.
    const double breite = ZahlAusText(edtBreite.Text);
    sedRandRNr.SetValue(1);
    sedRandLNr.SetValue(1);
    Form2.FahrbahnBreite = breite;
    Form2.FormShow();
    zeigen();
    // The view's editors may have switched, added or removed segments: each main editor
    // takes up its spin's segment again (clamped to what the border now has).
    RandR.AktSegment = sedRandRNr.Value();
    RandREditor.Anzeigen();
    RandL.AktSegment = sedRandLNr.Value();
    RandLEditor.Anzeigen();
}

void TForm1::bbnShowLeftParameterClick(const std::function<void()>& zeigen) {
    frmShowParameter.Auflisten(RandL, "Parameter left border");
    zeigen();
}

void TForm1::bbnShowRightParameterClick(const std::function<void()>& zeigen) {
    frmShowParameter.Auflisten(RandR, "Parameter right border");
    zeigen();
}

void TForm1::bbnInfoClick() {
    melder_.Information("INOFFICIAL\rEN-VERSION!\r\rVersion 1.64 (2017-01-03) by Quenlor");
}

void TForm1::bbnLoadFahrbahnTexClick(std::string_view sender) {
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

// ---- Parameter file -------------------------------------------------------------------------

void TForm1::bbnSaveParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiSpeichern(ParameterSpeichernDialog());
    if (pfad) ParameterSpeichern(*pfad);
}

void TForm1::bbnLoadParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(ParameterOeffnenDialog());
    if (pfad) ParameterLaden(*pfad);
}

void TForm1::ParameterSpeichern(const fs::path& pfad) {
    // An existing file is updated in place: keys this road does not write (unknown keys,
    // points beyond the current count) keep their place and value.
    IniDatei ini(pfad);
    ParameterSchreiben(ini, *this);
    ini.Speichern();
    // Only now: a failed save must not read as a saved one.
    lblParameter1.Caption = "Parameter gespeichert in";
    lblParameter.Caption = pfad.filename().string();
}

void TForm1::ParameterLaden(const fs::path& pfad) {
    const IniDatei ini(pfad);
    // A vanished file would otherwise load as all defaults, silently.
    if (!ini.Vorhanden()) throw DateiFehler("Die Datei " + pfad.string() + " existiert nicht");
    lblParameter1.Caption = "Parameter geladen aus";
    lblParameter.Caption = pfad.filename().string();
    try {
        ParameterLesen(ini, *this);
    } catch (...) {
        TexPxlNachLaden();
        throw;
    }
    TexPxlNachLaden();
}

void TForm1::bbnRandRLoadParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(ParameterOeffnenDialog());
    if (pfad) RandRParameterLaden(*pfad);
}

void TForm1::bbnRandLLoadParaClick() {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(ParameterOeffnenDialog());
    if (pfad) RandLParameterLaden(*pfad);
}

void TForm1::RandRParameterLaden(const fs::path& pfad) {
    RandLaden(RandREditor, pfad, "Rand_rechts", "Right bordersegments:");
}

void TForm1::RandLParameterLaden(const fs::path& pfad) {
    RandLaden(RandLEditor, pfad, "Rand_links", "Left bordersegments:");
}

void TForm1::RandLaden(RandEditor& editor, const fs::path& pfad, std::string_view abschnitt,
                       std::string_view ueberschrift) {
    const IniDatei ini(pfad);
    if (!ini.Vorhanden()) throw DateiFehler("Die Datei " + pfad.string() + " existiert nicht");
    editor.Laden(ini, abschnitt, ueberschrift, false);
}

// The loaded width replaces TexPxl at once, and with a width the pixel fields are shown
// for the loaded U values, as leaving edtTexPxl does. Otherwise the next pixel field the
// user merely tabs through would convert a stale pixel value with a stale width and
// overwrite the loaded U. A loaded text that is no whole number switches the conversions
// off; the run reports it when it reads the field.
void TForm1::TexPxlNachLaden() {
    try {
        TexPxl = GanzzahlAusText(edtTexPxl.Text);
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

std::string TForm1::Text(std::string_view name) const {
    if (TEdit* e = const_cast<TForm1*>(this)->Edit(name)) return e->Text;
    Unbekannt(name);
}

void TForm1::SetzeText(std::string_view name, const std::string& text) {
    TEdit* e = Edit(name);
    if (!e) Unbekannt(name);
    e->Text = text;
}

bool TForm1::Wahrheitswert(std::string_view name) const {
    if (name == "DreieckeSym") return DreieckeSym;
    if (TCheckBox* c = const_cast<TForm1*>(this)->CheckBox(name)) return c->Checked();
    Unbekannt(name);
}

void TForm1::SetzeWahrheitswert(std::string_view name, bool wert) {
    if (name == "DreieckeSym") {
        DreieckeSym = wert;
        return;
    }
    TCheckBox* c = CheckBox(name);
    if (!c) Unbekannt(name);
    c->SetChecked(wert);  // the box's chain runs as for a click
}

double& TForm1::Feld(std::string_view name) {
    if (double* f = Suchen(*this, kZahlfelder, name)) return *f;
    Unbekannt(name);
}

double TForm1::Zahl(std::string_view name) const { return const_cast<TForm1*>(this)->Feld(name); }
void TForm1::SetzeZahl(std::string_view name, double wert) { Feld(name) = wert; }

void TForm1::SplinePunkteSchreiben(IniDatei& ini) const { Schreiben(ini, SplinePunkte); }

void TForm1::RaenderSchreiben(IniDatei& ini) const {
    Schreiben(ini, RandR, "Rand_rechts");
    Schreiben(ini, RandL, "Rand_links");
}

void TForm1::RaenderLesen(const IniDatei& ini) {
    // A whole file captions the right segment group without the colon; a single-border
    // load and the display use it. Kept so, as users know the window.
    RandREditor.Laden(ini, "Rand_rechts", "Right bordersegments ", true);
    RandLEditor.Laden(ini, "Rand_links", "Left bordersegments:", true);
}

void TForm1::FuellFlaecheSchreiben(IniDatei& ini) const { Schreiben(ini, FuellFlaeche); }
void TForm1::FuellFlaecheLesen(const IniDatei& ini) { Lesen(ini, FuellFlaeche); }

void TForm1::SplinePunkteLesen(const IniDatei& ini) {
    // The file replaces every point, so the editor's pending values are not committed
    // first: they belong to points that are about to go, and a stale unreadable value
    // must not stop the load of a good file.
    SplinePunkte.Aktuell = 0;
    sedSplinePtsNr.Show(1);
    auto anzeigen = [this] {
        sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
        SplineAnzeigen();
    };
    try {
        Lesen(ini, SplinePunkte);
    } catch (...) {
        anzeigen();  // the points read before the bad value are shown as they are now
        throw;
    }
    anzeigen();
}

// ---- Enabling chains ----------------------------------------------------------------------

void TForm1::RandBoxGeaendert() {
    if (!cboRandRenable.Checked() || !cboRandLenable.Checked()) cboRandFuellen.SetChecked(false);
}

// The display that ends the chain sets the box from the border's Aktiv, which is then
// equal, so the chain stops there.
void TForm1::cboRandRenableClick() {
    RandBoxGeaendert();
    RandREditor.Freigeben(cboRandRenable.Checked());
}

void TForm1::cboRandLenableClick() {
    RandBoxGeaendert();
    RandLEditor.Freigeben(cboRandLenable.Checked());
}

void TForm1::cboRandFuellenClick() {
    // Setting it again runs this handler once more; it stops when the state holds.
    if (cboRandFuellen.Checked())
        cboRandFuellen.SetChecked(cboRandRenable.Checked() && cboRandLenable.Checked());
}

void TForm1::spbCopyToRightClick() { RandKopieren(RandLEditor, RandREditor, true); }
void TForm1::spbCopyToLeftClick() { RandKopieren(RandREditor, RandLEditor, false); }

void TForm1::RandKopieren(RandEditor& von, RandEditor& nach, bool rechts) {
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

void TForm1::cboRuecksetzenClick() {
    // The borders' reset boxes share this handler; it looks only at the roadway pair.
    if (cboRuecksetzen.Checked()) cboRandomBackFold.SetChecked(false);
}

void TForm1::cboRandomBackFoldClick() {
    if (cboRandomBackFold.Checked()) cboRuecksetzen.SetChecked(false);
}

// ---- Roadway texture fields -------------------------------------------------------------------

void TForm1::PixelAusU(const TEdit& u, TEdit& pixel) const {
    pixel.Text = std::to_string(RundeGeradeInt(ZahlAusText(u.Text) * TexPxl));
}

void TForm1::UAusPixel(const TEdit& pixel, TEdit& u) const {
    u.Text = FormatAllgemein(static_cast<double>(GanzzahlAusText(pixel.Text)) / TexPxl);
}

void TForm1::edtTexPxlExit() {
    TexPxl = GanzzahlAusText(edtTexPxl.Text);
    if (TexPxl <= 0) return;
    PixelAusU(edtTexStart, edtTexStartPxl);
    PixelAusU(EdtTexEnde, EdtTexEndePxl);
}

void TForm1::edtTexStartExit() {
    if (TexPxl > 0) PixelAusU(edtTexStart, edtTexStartPxl);
}

void TForm1::EdtTexEndeExit() {
    if (TexPxl > 0) PixelAusU(EdtTexEnde, EdtTexEndePxl);
}

void TForm1::edtTexStartPxlExit() {
    if (TexPxl > 0) UAusPixel(edtTexStartPxl, edtTexStart);
}

void TForm1::EdtTexEndePxlExit() {
    if (TexPxl > 0) UAusPixel(EdtTexEndePxl, EdtTexEnde);
}

void TForm1::spbOldTexL0Click() { edtTexL0.Text = FormatAllgemein(OldTexL0); }

// ---- Spline point editor ------------------------------------------------------------------

void TForm1::SplineAnzeigen() {
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

void TForm1::PunktUebernehmenUndWechseln() {
    // Field by field into the point: a bad value stops here, the fields before it are
    // written and the current point stays.
    if (TSplinePkt* p = SplinePunkte.Punkt(SplinePunkte.Aktuell)) {
        p->X = ZahlAusText(edtSplinePtsX.Text);
        p->Y = ZahlAusText(edtSplinePtsY.Text);
        p->Z = ZahlAusText(edtSplinePtsZ.Text);
        p->Xrot = ZahlAusText(edtSplinePtsXrot.Text);
        p->Yrot = ZahlAusText(edtSplinePtsYrot.Text);
        p->Zrot = ZahlAusText(edtSplinePtsZrot.Text);
    }
    // The spin keeps the index in range while its limits differ; with a single point
    // they do not, so the index is bounded here as well. The display puts the spin back
    // in step when the number had to be corrected.
    const int n = SplinePunkte.AnzahlPunkte();
    SplinePunkte.Aktuell = n > 0 ? std::clamp(sedSplinePtsNr.Value() - 1, 0, n - 1) : 0;
    SplineAnzeigen();
}

void TForm1::sedSplinePtsNrChange() { PunktUebernehmenUndWechseln(); }

void TForm1::gboSplinePtsExit() { PunktUebernehmenUndWechseln(); }

void TForm1::spbSplineAddClick() {
    // No commit first: values typed for the former current point since its last commit
    // give way to the new point's zeros.
    SplinePunkte.Einfuegen();
    SplineAnzeigen();
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
}

void TForm1::spbSplineAddEndClick() {
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

void TForm1::bbnSplinePtsOpenClick() {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(SplineDialog());
    if (pfad) SplinePunkteImportieren(*pfad);
}

void TForm1::SplinePunkteImportieren(const fs::path& pfad) {
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
        LeseI3d(SplinePunkte, pfad.string(), melder_);
    } catch (...) {
        anzeigen();
        throw;
    }
    anzeigen();
}

void TForm1::spbSplineSubClick() {
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

}  // namespace pavolant
