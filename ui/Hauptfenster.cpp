// The main window: construction (controls, captions, handlers wired), the handler
// boundary, start-up and closing with the settings file, the settings dialog, and the
// controls by component name. The handlers live beside it by concern (see Hauptfenster.h).
#include "ui/Hauptfenster.h"

#include "model/Strassenfelder.h"
#include "model/Text.h"
#include "model/Zahlen.h"

#include <algorithm>
#include <array>
#include <string>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

template <class T>
using Komponente = pavolant::Komponente<Hauptfenster, T>;

constexpr std::array kEdits = {
    Komponente<TEdit>{"edtFileName", &Hauptfenster::edtFileName},
    Komponente<TEdit>{"edtShapeName", &Hauptfenster::edtShapeName},
    Komponente<TEdit>{"edtBreite", &Hauptfenster::edtBreite},
    Komponente<TEdit>{"edtSchleppkurve", &Hauptfenster::edtSchleppkurve},
    Komponente<TEdit>{"edtSturz", &Hauptfenster::edtSturz},
    Komponente<TEdit>{"edtTextur1FileName", &Hauptfenster::edtTextur1FileName},
    Komponente<TEdit>{"edtTextur1Laenge", &Hauptfenster::edtTextur1Laenge},
    Komponente<TEdit>{"edtTexPxl", &Hauptfenster::edtTexPxl},
    Komponente<TEdit>{"edtTexStart", &Hauptfenster::edtTexStart},
    Komponente<TEdit>{"edtTexStartPxl", &Hauptfenster::edtTexStartPxl},
    Komponente<TEdit>{"EdtTexEnde", &Hauptfenster::EdtTexEnde},
    Komponente<TEdit>{"EdtTexEndePxl", &Hauptfenster::EdtTexEndePxl},
    Komponente<TEdit>{"edtRandomBackfold", &Hauptfenster::edtRandomBackfold},
    Komponente<TEdit>{"edtTexL0", &Hauptfenster::edtTexL0},
    Komponente<TEdit>{"edtStreckung", &Hauptfenster::edtStreckung},
    Komponente<TEdit>{"edtSplinePtsX", &Hauptfenster::edtSplinePtsX},
    Komponente<TEdit>{"edtSplinePtsY", &Hauptfenster::edtSplinePtsY},
    Komponente<TEdit>{"edtSplinePtsZ", &Hauptfenster::edtSplinePtsZ},
    Komponente<TEdit>{"edtSplinePtsXrot", &Hauptfenster::edtSplinePtsXrot},
    Komponente<TEdit>{"edtSplinePtsYrot", &Hauptfenster::edtSplinePtsYrot},
    Komponente<TEdit>{"edtSplinePtsZrot", &Hauptfenster::edtSplinePtsZrot},
    Komponente<TEdit>{"edtSplineStrecke", &Hauptfenster::edtSplineStrecke},
    Komponente<TEdit>{"edtTrafficSplineRechts", &Hauptfenster::edtTrafficSplineRechts},
    Komponente<TEdit>{"edtTrafficSplineLinks", &Hauptfenster::edtTrafficSplineLinks},
    Komponente<TEdit>{"edtRandRTexFile", &Hauptfenster::edtRandRTexFile},
    Komponente<TEdit>{"edtRandRTexLaenge", &Hauptfenster::edtRandRTexLaenge},
    Komponente<TEdit>{"edtRandRTexBreite", &Hauptfenster::edtRandRTexBreite},
    Komponente<TEdit>{"edtRandRTexBreitePxl", &Hauptfenster::edtRandRTexBreitePxl},
    Komponente<TEdit>{"edtRandRBreite", &Hauptfenster::edtRandRBreite},
    Komponente<TEdit>{"edtRandRWinkel", &Hauptfenster::edtRandRWinkel},
    Komponente<TEdit>{"edtRandREnde", &Hauptfenster::edtRandREnde},
    Komponente<TEdit>{"edtRandREndePxl", &Hauptfenster::edtRandREndePxl},
    Komponente<TEdit>{"edtRandRnormale", &Hauptfenster::edtRandRnormale},
    Komponente<TEdit>{"edtRandLTexFile", &Hauptfenster::edtRandLTexFile},
    Komponente<TEdit>{"edtRandLTexLaenge", &Hauptfenster::edtRandLTexLaenge},
    Komponente<TEdit>{"edtRandLTexBreite", &Hauptfenster::edtRandLTexBreite},
    Komponente<TEdit>{"edtRandLTexBreitePxl", &Hauptfenster::edtRandLTexBreitePxl},
    Komponente<TEdit>{"edtRandLBreite", &Hauptfenster::edtRandLBreite},
    Komponente<TEdit>{"edtRandLWinkel", &Hauptfenster::edtRandLWinkel},
    Komponente<TEdit>{"edtRandLEnde", &Hauptfenster::edtRandLEnde},
    Komponente<TEdit>{"edtRandLEndePxl", &Hauptfenster::edtRandLEndePxl},
    Komponente<TEdit>{"edtRandLnormale", &Hauptfenster::edtRandLnormale},
};

constexpr std::array kCheckBoxen = {
    Komponente<TCheckBox>{"cboRandLenable", &Hauptfenster::cboRandLenable},
    Komponente<TCheckBox>{"cboCreateFahrbahn", &Hauptfenster::cboCreateFahrbahn},
    Komponente<TCheckBox>{"cboRandRenable", &Hauptfenster::cboRandRenable},
    Komponente<TCheckBox>{"cboSchleppkurve", &Hauptfenster::cboSchleppkurve},
    Komponente<TCheckBox>{"cboSturz", &Hauptfenster::cboSturz},
    Komponente<TCheckBox>{"cboRandomBackFold", &Hauptfenster::cboRandomBackFold},
    Komponente<TCheckBox>{"cboRuecksetzen", &Hauptfenster::cboRuecksetzen},
    Komponente<TCheckBox>{"cboCreateTG", &Hauptfenster::cboCreateTG},
    Komponente<TCheckBox>{"cboRandFuellen", &Hauptfenster::cboRandFuellen},
    Komponente<TCheckBox>{"cboTrafficSpline", &Hauptfenster::cboTrafficSpline},
    Komponente<TCheckBox>{"cboTrafficSplineRechts", &Hauptfenster::cboTrafficSplineRechts},
    Komponente<TCheckBox>{"cboTrafficSplineLinks", &Hauptfenster::cboTrafficSplineLinks},
    Komponente<TCheckBox>{"cboRandRRuecksetzen", &Hauptfenster::cboRandRRuecksetzen},
    Komponente<TCheckBox>{"cboRandRnormMan", &Hauptfenster::cboRandRnormMan},
    Komponente<TCheckBox>{"cboRandLRuecksetzen", &Hauptfenster::cboRandLRuecksetzen},
    Komponente<TCheckBox>{"cboRandLnormMan", &Hauptfenster::cboRandLnormMan},
};

constexpr std::array kButtons = {
    Komponente<TButton>{"bbnSave", &Hauptfenster::bbnSave},
    Komponente<TButton>{"bbnGo", &Hauptfenster::bbnGo},
    Komponente<TButton>{"bbnLoadPara", &Hauptfenster::bbnLoadPara},
    Komponente<TButton>{"bbnSavePara", &Hauptfenster::bbnSavePara},
    Komponente<TButton>{"bbnCopyMemo", &Hauptfenster::bbnCopyMemo},
    Komponente<TButton>{"bbnLoadFahrbahnTex", &Hauptfenster::bbnLoadFahrbahnTex},
    Komponente<TButton>{"spbOldTexL0", &Hauptfenster::spbOldTexL0},
    Komponente<TButton>{"spbSplineAdd", &Hauptfenster::spbSplineAdd},
    Komponente<TButton>{"spbSplineSub", &Hauptfenster::spbSplineSub},
    Komponente<TButton>{"spbSplineAddEnd", &Hauptfenster::spbSplineAddEnd},
    Komponente<TButton>{"bbnSplinePtsOpen", &Hauptfenster::bbnSplinePtsOpen},
    Komponente<TButton>{"btnSplineAusrichten", &Hauptfenster::btnSplineAusrichten},
    Komponente<TButton>{"btnSplinePunktAusrichten", &Hauptfenster::btnSplinePunktAusrichten},
    Komponente<TButton>{"btnSplineVerlaengern", &Hauptfenster::btnSplineVerlaengern},
    Komponente<TButton>{"btnPunktetabelle", &Hauptfenster::btnPunktetabelle},
    Komponente<TButton>{"btnGelaende", &Hauptfenster::btnGelaende},
    Komponente<TButton>{"btnPunkteAufGelaende", &Hauptfenster::btnPunkteAufGelaende},
    Komponente<TButton>{"btnPunktAufGelaende", &Hauptfenster::btnPunktAufGelaende},
    Komponente<TButton>{"btnStrasseUndGelaende", &Hauptfenster::btnStrasseUndGelaende},
    Komponente<TButton>{"bbnInfo", &Hauptfenster::bbnInfo},
    Komponente<TButton>{"spbCopyToRight", &Hauptfenster::spbCopyToRight},
    Komponente<TButton>{"spbCopyToLeft", &Hauptfenster::spbCopyToLeft},
    Komponente<TButton>{"bbnRandRLoadTex", &Hauptfenster::bbnRandRLoadTex},
    Komponente<TButton>{"btnRandRcalcU", &Hauptfenster::btnRandRcalcU},
    Komponente<TButton>{"spbRandRAdd", &Hauptfenster::spbRandRAdd},
    Komponente<TButton>{"spbRandRDel", &Hauptfenster::spbRandRDel},
    Komponente<TButton>{"spbRandRAddEnd", &Hauptfenster::spbRandRAddEnd},
    Komponente<TButton>{"bbnGrafikSchnitt", &Hauptfenster::bbnGrafikSchnitt},
    Komponente<TButton>{"bbnShowLeftParameter", &Hauptfenster::bbnShowLeftParameter},
    Komponente<TButton>{"bbnShowRightParameter", &Hauptfenster::bbnShowRightParameter},
    Komponente<TButton>{"bbnRandRLoadPara", &Hauptfenster::bbnRandRLoadPara},
    Komponente<TButton>{"bbnRandLLoadTex", &Hauptfenster::bbnRandLLoadTex},
    Komponente<TButton>{"btnRandLcalcU", &Hauptfenster::btnRandLcalcU},
    Komponente<TButton>{"spbRandLAdd", &Hauptfenster::spbRandLAdd},
    Komponente<TButton>{"SpeedButton2", &Hauptfenster::SpeedButton2},
    Komponente<TButton>{"spbRandLAddEnd", &Hauptfenster::spbRandLAddEnd},
    Komponente<TButton>{"bbnRandLLoadPara", &Hauptfenster::bbnRandLLoadPara},
};

constexpr std::array kLabels = {
    Komponente<TLabel>{"Label18", &Hauptfenster::Label18},
    Komponente<TLabel>{"lblParameter1", &Hauptfenster::lblParameter1},
    Komponente<TLabel>{"lblParameter", &Hauptfenster::lblParameter},
    Komponente<TLabel>{"lblBreite", &Hauptfenster::lblBreite},
    Komponente<TLabel>{"lblTextur1File", &Hauptfenster::lblTextur1File},
    Komponente<TLabel>{"lblTextur1Laenge", &Hauptfenster::lblTextur1Laenge},
    Komponente<TLabel>{"Label46", &Hauptfenster::Label46},
    Komponente<TLabel>{"Label30", &Hauptfenster::Label30},
    Komponente<TLabel>{"Label47", &Hauptfenster::Label47},
    Komponente<TLabel>{"Label48", &Hauptfenster::Label48},
    Komponente<TLabel>{"Label25", &Hauptfenster::Label25},
    Komponente<TLabel>{"Label17", &Hauptfenster::Label17},
    Komponente<TLabel>{"Label24", &Hauptfenster::Label24},
};

constexpr std::array kGroupBoxen = {
    Komponente<TGroupBox>{"GroupBox2", &Hauptfenster::GroupBox2},
    Komponente<TGroupBox>{"GroupBox3", &Hauptfenster::GroupBox3},
    Komponente<TGroupBox>{"gboSplinePts", &Hauptfenster::gboSplinePts},
    Komponente<TGroupBox>{"GroupBox1", &Hauptfenster::GroupBox1},
    Komponente<TGroupBox>{"gboRandR", &Hauptfenster::gboRandR},
    Komponente<TGroupBox>{"gboRandRSegmente", &Hauptfenster::gboRandRSegmente},
    Komponente<TGroupBox>{"gboRandL", &Hauptfenster::gboRandL},
    Komponente<TGroupBox>{"gboRandLSegmente", &Hauptfenster::gboRandLSegmente},
};

constexpr std::array kSpinEdits = {
    Komponente<TSpinEdit>{"sedSplinePtsNr", &Hauptfenster::sedSplinePtsNr},
    Komponente<TSpinEdit>{"sedRandRNr", &Hauptfenster::sedRandRNr},
    Komponente<TSpinEdit>{"sedRandLNr", &Hauptfenster::sedRandLNr},
};

constexpr std::array kMemos = {
    Komponente<TMemo>{"mmoStatus", &Hauptfenster::mmoStatus},
};

template <class T, std::size_t N>
T* Suchen(Hauptfenster& form, const std::array<Komponente<T>, N>& tabelle, std::string_view name) {
    return KomponenteSuchen<Hauptfenster, T>(form, tabelle, name);
}

// The start of a segment group's caption, which the count of segments completes; the
// same words before and after the border is first shown.
const char* Segmentueberschrift(bool rechts) {
    return rechts ? Tr("Right bordersegments:") : Tr("Left bordersegments:");
}

// The layout of one side's border groups, as the window opens with them. The texts stay
// until the border is first shown.
void RandLayout(const RandEditor& editor, TButton& laden, bool rechts) {
    const RandSegmentFelder& s = editor.Felder();
    const RandTexturFelder& t = *editor.Textur();
    t.Aktiv.Caption = rechts ? Tr("Generate right border") : Tr("Generate left border");
    t.Aktiv.SetChecked(true);  // the start-up display unchecks it, which hides the groups
    t.Gruppe.Caption = rechts ? Tr("Right border ") : Tr("Left border ");
    t.BreiteZuU.Caption = Tr("Width  -> U");
    t.BreiteZuU.Hint =
        Tr("Berechnet aus Texturbreite und Breite der Randsegmente die zugehörige Texturkoordinate U "
           "(Parameter \"Ende\")");
    t.Ruecksetzen.Caption = Tr("Reset instead of mirroring");

    SegmentgruppeVorbelegen(
        s, std::string(Segmentueberschrift(rechts)) + "1",
        rechts ? Tr("Add border segment at the end  ") : Tr("Randsegment am Ende hinzufügen"));

    laden.Caption = rechts ? Tr("Load parameters for right border") : Tr("Load parameters for left border");
}

}  // namespace

Hauptfenster::Hauptfenster(Melder& melder, Dialoge& dialoge)
    : buendel_(melder),
      randMelder_(buendel_),
      RandR(Tr("right Border"), randMelder_),
      RandL(Tr("left Border"), randMelder_),
      RandREditor(
          RandR, randMelder_,
          {gboRandRSegmente, sedRandRNr, spbRandRAdd, spbRandRDel, spbRandRAddEnd, edtRandRBreite,
           edtRandRWinkel, edtRandREnde, edtRandREndePxl, cboRandRnormMan, edtRandRnormale},
          Segmentueberschrift(true),
          RandTexturFelder{cboRandRenable, gboRandR, edtRandRTexFile, edtRandRTexLaenge, edtRandRTexBreite,
                           edtRandRTexBreitePxl, cboRandRRuecksetzen, btnRandRcalcU}),
      RandLEditor(
          RandL, randMelder_,
          {gboRandLSegmente, sedRandLNr, spbRandLAdd, SpeedButton2, spbRandLAddEnd, edtRandLBreite,
           edtRandLWinkel, edtRandLEnde, edtRandLEndePxl, cboRandLnormMan, edtRandLnormale},
          Segmentueberschrift(false),
          RandTexturFelder{cboRandLenable, gboRandL, edtRandLTexFile, edtRandLTexLaenge, edtRandLTexBreite,
                           edtRandLTexBreitePxl, cboRandLRuecksetzen, btnRandLcalcU}),
      Profil(RandR, RandL, randMelder_),
      melder_(buendel_),
      dialoge_(dialoge) {
    // Top rows.
    bbnSave.Caption = Tr("i3d-File");
    // With a catalog the component's own name is no text for a person: the field starts
    // empty with a hint, the report empty. Without one the window reads as it always did.
    const bool katalog = UebersetzerAktiv();
    edtFileName.Text = katalog ? "" : "edtFileName";
    edtFileName.Platzhalter = Tr("Choose where to write the road…");
    ausgabeAnfang_ = edtFileName.Text;
    bbnGo.Caption = Tr("Go");
    bbnGo.Enabled = false;  // enabled only once an output file was chosen
    bbnGo.Hint = Tr("Choose the output file first (i3d-File)");
    Label18.Caption = Tr("ShapeName");
    spbCopyToRight.Caption = Tr("CopyL");
    cboCreateFahrbahn.Caption = Tr("Roadway ");
    spbCopyToLeft.Caption = Tr("CopyR");
    RandLayout(RandREditor, bbnRandRLoadPara, true);
    RandLayout(RandLEditor, bbnRandLLoadPara, false);
    bbnRandRLoadTex.Hint = Tr("Texturdatei für rechten Rand laden (Pfade werden NICHT angepasst)");
    bbnRandLLoadTex.Hint = Tr("Load texture for left border (path will NOT be adjusted)         ");

    // Left column.
    bbnShowLeftParameter.Caption = Tr("Show parameters   ");
    bbnLoadPara.Caption = Tr("Load parameter");
    lblParameter.Caption = Tr("freely entered ");
    bbnSavePara.Caption = Tr("Save parameter");
    bbnCopyMemo.Caption = Tr("Copy Memo");

    // Roadway geometry.
    GroupBox2.Caption = Tr("Roadway - Geometry  ");
    lblBreite.Caption = Tr("Width ");
    cboSchleppkurve.Caption = Tr("Tractrix    ");
    cboSturz.Caption = Tr("Fulctrum   ");

    // Roadway texture.
    GroupBox3.Caption = Tr("Roadway - Texture");
    lblTextur1File.Caption = Tr("File ");
    lblTextur1Laenge.Caption = Tr("Length");
    Label46.Caption = Tr("TextureWidth");
    Label30.Caption = Tr("pxl");
    Label47.Caption = Tr("Begin");
    Label48.Caption = Tr("End ");
    cboRandomBackFold.Caption = Tr("Flip randomly      ");
    cboRuecksetzen.Caption = Tr("Reset instead of mirroring");
    Label25.Caption = Tr("TexL0");
    edtTexL0.Hint = Tr("Startpunkt in der Textur [0...1]");
    spbOldTexL0.Hint = Tr("Alten Wert von TexL0 wieder herstellen");
    Label17.Caption = Tr("Stretch on slopes    ");

    // Spline points.
    sedSplinePtsNr.MinValue = 1;
    sedSplinePtsNr.MaxValue = SplinePunkte.AnzahlPunkte();
    sedSplinePtsNr.Show(1);
    spbSplineAdd.Hint = Tr("Spline-Punkt vor aktuellem Punkt einfügen");
    spbSplineSub.Hint = Tr("aktuellen Spline-Punkt löschen");
    spbSplineAddEnd.Hint = Tr("Spline-Punkt am Ende hinzufügen");
    bbnSplinePtsOpen.Hint = Tr("exportierte Spline-Punkte aus i3d-Datei laden");
    btnSplineAusrichten.Caption = Tr("Orient points");
    btnSplineAusrichten.Hint =
        Tr("Heading and grade of every point from the positions around it (bank kept)");
    btnSplinePunktAusrichten.Caption = Tr("Orient this point");
    btnSplinePunktAusrichten.Hint = Tr("Heading and grade of the current point from the positions around it");
    btnSplineVerlaengern.Caption = Tr("Extend road");
    btnSplineVerlaengern.Hint =
        Tr("Append a point this many metres beyond the last, along its heading and grade");
    btnPunktetabelle.Caption = Tr("Points table");
    btnPunktetabelle.Hint = Tr("All spline points in a table");
    bbnGrafikSchnitt.Caption = Tr("Show profile  ");
    bbnGrafikSchnitt.Hint = Tr("Schnittzeichnung Straße und Ränder (Zrot noch nicht berücksichtigt)");
    btnGelaende.Caption = Tr("Terrain...");
    btnGelaende.Hint = Tr("The map's ground: its i3d file or its height image");
    btnPunkteAufGelaende.Caption = Tr("Drop points onto terrain");
    btnPunkteAufGelaende.Hint = Tr("Every point's height from the ground under it, plus the clearance");
    btnPunktAufGelaende.Caption = Tr("Drop this point");
    btnPunktAufGelaende.Hint = Tr("The current point's height from the ground under it, plus the clearance");
    btnStrasseUndGelaende.Caption = Tr("Road and terrain");
    btnStrasseUndGelaende.Hint =
        Tr("The road's heights along its length over the ground's, with fill and cut");

    // Right column.
    bbnShowRightParameter.Caption = Tr("Show parameters   ");
    cboCreateTG.Caption = Tr("Generate TransformGroup");
    cboRandFuellen.Caption = Tr("Fill front surface  ");
    cboRandFuellen.Hint = Tr("nur möglich, wenn beide Ränder aktiv");
    Label24.Caption = Tr("See 'Settings' for parameters");
    GroupBox1.Caption = Tr("TrafficSplines");
    cboTrafficSpline.Caption = Tr("center      ");
    cboTrafficSpline.Hint = Tr("nur möglich, wenn beide Ränder aktiv");
    cboTrafficSplineRechts.Caption = Tr("right                     %");
    cboTrafficSplineRechts.Hint = Tr("only possible when both borders active");
    cboTrafficSplineLinks.Caption = Tr("left                        %");
    cboTrafficSplineLinks.Hint = Tr("only possible when both borders active");
    bbnInfo.Caption = Tr("Info");

    if (!katalog) mmoStatus.Lines = {"mmoStatus"};

    // The fields' start values, from the field table.
    for (const Strassenfeld& feld : Strassenfelder()) {
        if (feld.Start.empty()) continue;
        if (TEdit* e = Edit(feld.Name))
            e->Text = std::string(feld.Start);
        else if (TCheckBox* c = CheckBox(feld.Name); c && feld.Start == "1")
            c->SetChecked(true);
    }

    // Handlers, wired once the start state stands so that none of them runs for it.
    bbnSave.OnClick = [this] { bbnSaveClick(); };
    bbnGo.OnClick = [this] { bbnGoClick(); };
    edtFileName.OnChange = [this] { edtFileNameChange(); };
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
    btnSplineAusrichten.OnClick = [this] { btnSplineAusrichtenClick(); };
    btnSplinePunktAusrichten.OnClick = [this] { btnSplinePunktAusrichtenClick(); };
    btnSplineVerlaengern.OnClick = [this] { btnSplineVerlaengernClick(); };
    btnPunkteAufGelaende.OnClick = [this] { PunkteAufGelaende(false); };
    btnPunktAufGelaende.OnClick = [this] { PunkteAufGelaende(true); };
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

    // Fields without a handler of their own still commit when left: the edit history
    // takes their new text as a step then.
    for (const auto& k : kEdits)
        if (!(this->*k.feld).OnExit) (this->*k.feld).OnExit = [] {};
    VerlaufBeginnen();
}

bool Hauptfenster::Ausfuehren(const std::function<void()>& handler) {
    std::optional<std::string> fehler;
    if (ereignisTiefe_++ == 0) fehlerfeld_.reset();
    buendel_.Beginnen();
    try {
        handler();
    } catch (const KonvertierungsFehler& e) {
        // The message as the conversion gives it, and the field it came from, whose
        // caption says where to look.
        if (!fehlerfeld_) fehlerfeld_ = FeldDesFehlers(e);
        fehler = MitFeldbeschriftung(e.what(), fehlerfeld_);
    } catch (const std::bad_alloc&) {
        fehler = Tr(kSpeicherErschoepft);
    } catch (const std::exception& e) {
        fehler = e.what();
    }
    // The step is taken once the outermost event is over, so chains and nested events
    // are one step with it; an event that stopped part way is a step too, since what it
    // wrote before the error stays.
    if (--ereignisTiefe_ == 0) {
        VerlaufNachfuehren();
        GelaendeNachfuehren();
    }
    // The repeated messages before the error: that is the order they came in.
    buendel_.Beenden();
    if (fehler) dialoge_.Fehler(*fehler);
    return !fehler;
}

// ---- Start-up and closing --------------------------------------------------------------

bool Hauptfenster::FormCreate(const fs::path& einstellungen, int bildschirmBreite, int bildschirmHoehe) {
    bildschirm_ = Bildschirm{bildschirmBreite, bildschirmHoehe};
    Position = AufBildschirm(Position, kBreite, kHoehe, bildschirmBreite, bildschirmHoehe);
    // A settings file that cannot be read costs the user the stored settings, not the
    // program: the error is shown and the window opens with what was read.
    const bool ok = Ausfuehren([&] { EinstellungenLaden(einstellungen); });
    // The stored settings are where the user starts, not a change to undo or save.
    VerlaufBeginnen();
    return ok;
}

void Hauptfenster::EinstellungenLaden(const fs::path& einstellungen) {
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
    // The language first: a refused memory limit must not cost the stored choice,
    // which closing writes back.
    Sprache = SprachwahlLesen(einstellungen);
    SpeicherGrenze = SpeicherGrenzeLesen(einstellungen).value_or(StandardSpeicherGrenze());
    if (!gespeichert) return;
    // A position saved on a larger screen, or a hand-edited one, must not open the
    // window where the user cannot reach it.
    Position = bildschirm_
                   ? AufBildschirm(*gespeichert, kBreite, kHoehe, bildschirm_->Breite, bildschirm_->Hoehe)
                   : *gespeichert;
}

bool Hauptfenster::FormCloseQuery(const fs::path& einstellungen) {
    bool schliessen = false;
    const bool ok = Ausfuehren([&] {
        if (!AenderungenBewahren()) return;
        EinstellungenSchreiben(einstellungen, Einstellungen(), Position, Sprache);
        schliessen = true;
    });
    return ok && schliessen;
}

// ---- Settings --------------------------------------------------------------------------

Feinheit Hauptfenster::Einstellungen() const {
    return {MinLaenge, MinWinkel, MinSteigung, MinZRot, MaxSturz, DreieckeSym};
}

void Hauptfenster::bbnPreferencesClick(Einstellungsfenster& pref, const std::function<bool()>& zeigen) {
    Feinheit feinheit = Einstellungen();
    pref.Fuellen(feinheit, FuellFlaeche);
    pref.Sprache = Sprache;
    if (!zeigen()) return;
    try {
        pref.Uebernehmen(feinheit, FuellFlaeche);
    } catch (...) {
        EinstellungenSetzen(feinheit);  // what was read before the bad field stays read
        throw;
    }
    EinstellungenSetzen(feinheit);
    if (pref.Sprache != Sprache) {
        // The texts are read once at start-up; a window switching its language half-way
        // would mix both. The choice is kept when the window closes.
        Sprache = pref.Sprache;
        melder_.Information(Tr("The language changes when Pavolant starts the next time."));
    }
}

void Hauptfenster::EinstellungenSetzen(const Feinheit& f) {
    MinLaenge = f.MinLaenge;
    MinWinkel = f.MinWinkel;
    MinSteigung = f.MinSteigung;
    MinZRot = f.MinZRot;
    MaxSturz = f.MaxSturz;
    DreieckeSym = f.DreieckeSym;
}

// ---- Lookup by name --------------------------------------------------------------------

std::span<const pavolant::Komponente<Hauptfenster, TEdit>> Hauptfenster::Edits() { return kEdits; }
std::span<const pavolant::Komponente<Hauptfenster, TCheckBox>> Hauptfenster::CheckBoxen() {
    return kCheckBoxen;
}
std::span<const pavolant::Komponente<Hauptfenster, TSpinEdit>> Hauptfenster::SpinEdits() {
    return kSpinEdits;
}
std::span<const pavolant::Komponente<Hauptfenster, TButton>> Hauptfenster::Buttons() { return kButtons; }
std::span<const pavolant::Komponente<Hauptfenster, TGroupBox>> Hauptfenster::GroupBoxen() {
    return kGroupBoxen;
}

TEdit* Hauptfenster::Edit(std::string_view name) { return Suchen(*this, kEdits, name); }
TCheckBox* Hauptfenster::CheckBox(std::string_view name) { return Suchen(*this, kCheckBoxen, name); }
TSpinEdit* Hauptfenster::SpinEdit(std::string_view name) { return Suchen(*this, kSpinEdits, name); }
TButton* Hauptfenster::Button(std::string_view name) { return Suchen(*this, kButtons, name); }
TLabel* Hauptfenster::Label(std::string_view name) { return Suchen(*this, kLabels, name); }
TGroupBox* Hauptfenster::GroupBox(std::string_view name) { return Suchen(*this, kGroupBoxen, name); }
TMemo* Hauptfenster::Memo(std::string_view name) { return Suchen(*this, kMemos, name); }

// ---- Info ------------------------------------------------------------------------------

void Hauptfenster::bbnInfoClick() {
    // The boxes break lines with CR; a catalog's texts break them with LF, as gettext
    // wants its messages, so the text is turned into the boxes' convention here.
    std::string text = Tr("INOFFICIAL\nEN-VERSION!\n\nVersion 1.64 (2017-01-03) by Quenlor");
    std::replace(text.begin(), text.end(), '\n', '\r');
    melder_.Information(text);
}

}  // namespace pavolant
