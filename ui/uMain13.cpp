#include "ui/uMain13.h"

#include "model/Zahlen.h"
#include "persistence/IniDatei.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace pavolant {

namespace fs = std::filesystem;

namespace {

template <class T>
struct Komponente {
    std::string_view name;
    T TForm1::*feld;
};

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
    Komponente<TButton>{"bbnInfo", &TForm1::bbnInfo},
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
};

constexpr std::array kSpinEdits = {
    Komponente<TSpinEdit>{"sedSplinePtsNr", &TForm1::sedSplinePtsNr},
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
    for (const Komponente<T>& k : tabelle)
        if (k.name == name) return &(form.*k.feld);
    return nullptr;
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
DateiAuswahl ParameterOeffnenDialog() {
    return {{{"Parameter", "*.ini"}, {"All files   ", "*.*"}}, "ini", "Parameter.ini", true};
}
DateiAuswahl ParameterSpeichernDialog() {
    return {{{"Parameter", "*.ini"}, {"all files   ", "*.*"}}, "ini", "Parameter.ini", false};
}

std::string OhneOrdner(const std::string& pfad) { return fs::path(pfad).filename().string(); }

}  // namespace

TForm1::TForm1(Melder& melder, Dialoge& dialoge) : melder_(melder), dialoge_(dialoge) {
    // Top rows.
    bbnSave.Caption = "i3d-File";
    edtFileName.Text = "edtFileName";
    bbnGo.Caption = "Go";
    bbnGo.Enabled = false;  // enabled only once an output file was chosen
    Label18.Caption = "ShapeName";
    edtShapeName.Text = "RoadPAV";
    cboRandLenable.Caption = "Generate left border";
    cboCreateFahrbahn.Caption = "Roadway ";
    cboCreateFahrbahn.SetChecked(true);
    cboRandRenable.Caption = "Generate right border";
    // Both borders start disabled, so the fill box starts unchecked.

    // Left column.
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

    // Right column.
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
    // The borders (cboRandRenable / cboRandLenable with their texture fields) and the
    // fill (cboRandFuellen) join the record together with the border profiles.

    p.DateiName = edtFileName.Text;
    p.ShapeName = edtShapeName.Text;
    p.TransformGroup = cboCreateTG.Checked();

    p.MinLaenge = MinLaenge;
    p.MinWinkel = MinWinkel;
    p.MinSteigung = MinSteigung;
    p.MinZRot = MinZRot;
    p.MaxSturz = MaxSturz;
    p.DreieckeSym = DreieckeSym;

    Laufbericht bericht;
    Strassenmodell modell{SplinePunkte};
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

void TForm1::bbnInfoClick() {
    melder_.Information("INOFFICIAL\rEN-VERSION!\r\rVersion 1.64 (2017-01-03) by Quenlor");
}

void TForm1::bbnLoadFahrbahnTexClick(std::string_view sender) {
    const std::optional<std::string> pfad = dialoge_.DateiOeffnen(TexturDialog());
    if (!pfad) return;
    // Only the bare name: the level editor finds textures beside the document, so the
    // folder is never carried into the parameters or the document.
    const std::string name = OhneOrdner(*pfad);
    if (sender == "bbnLoadFahrbahnTex") edtTextur1FileName.Text = name;
    // "bbnRandLLoadTex" / "bbnRandRLoadTex" join with the borders: the name goes into
    // edtRandLTexFile / edtRandRTexFile, then that border's texture group is committed.
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

void TForm1::SplinePunkteSchreiben(IniDatei& ini) const { SplinePunkte.IniSchreiben(ini); }

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
        SplinePunkte.IniLesen(ini);
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

void TForm1::cboRandRenableClick() {
    RandBoxGeaendert();
    // The right border joins here: gboRandR and gboRandRSegmente enabled and shown
    // exactly while the box is checked, RandR.Aktiv := the box's state, and when checked
    // the border is displayed (RandRanzeigen), which sets this box from RandR.Aktiv and
    // so ends the chain.
}

void TForm1::cboRandLenableClick() {
    RandBoxGeaendert();
    // The left border joins here, as on the right with gboRandL, gboRandLSegmente, RandL.
}

void TForm1::cboRandFuellenClick() {
    // Setting it again runs this handler once more; it stops when the state holds.
    if (cboRandFuellen.Checked())
        cboRandFuellen.SetChecked(cboRandRenable.Checked() && cboRandLenable.Checked());
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
