// The main window's state and handlers, free of any toolkit: every control the run, the
// parameter file and the enabling chains use, under its component name, with the
// window's handlers as plain operations on them and on the road model. The desktop view
// binds widgets to the controls by name and forwards events; the command line drives the
// same handlers with scripted dialogs.
//
// Error boundary. Handlers throw: a text that is no number stops a handler at that field
// with KonvertierungsFehler (values written before it stay written), a file that cannot
// be read or written stops it with DateiFehler. Whoever starts an event (a click, a
// field or group being left, a spin change) runs it through Ausfuehren(), which catches
// what the handler threw and shows its text through Dialoge::Fehler; the program then
// goes on. Chains of handlers (a check box set by another handler, a spin change inside
// a button's handler) run inside the event that started them, so one event gives at
// most one error box. Every std::exception is caught there, not only the two expected
// kinds: a handler that fails must not take the user's unsaved road with it.
//
// Focus: bitmap and plain buttons (bbn..., btn...) take the focus, so the view runs the
// exit handler of the field or group being left before their click; the glyph buttons
// (spb...) do not. The handlers below list their own commit steps and rely on that.
//
// One class, one state: every handler works on the controls and the model below. Their
// definitions are spread by concern, so a new command joins the file of its concern (or
// a new one beside them):
//   Hauptfenster.cpp      construction, lookup by name, Ausfuehren, start-up, closing,
//                         settings dialog, info
//   Lauf.cpp              output file, "Go", the run's report
//   Parameterbefehle.cpp  loading and saving the parameter file through the field table
//   Punkteditor.cpp       the spline point editor and the i3d import
//   Randgruppen.cpp       border enabling chains, copying, one border from a file, the
//                         profile view and the listing
//   Fahrbahntextur.cpp    texture browse, the mirroring pair, U and pixel fields, TexL0 restore
//   Bearbeitung.cpp       undo and redo, the modified state, the title, the question
//                         before unsaved changes are lost
#pragma once

#include "generator/Strassenbau.h"
#include "model/FuellFlaeche.h"
#include "model/Meldung.h"
#include "model/Randprofil.h"
#include "model/SplinePunkte.h"
#include "model/Strassenfelder.h"
#include "model/Text.h"
#include "persistence/Einstellungen.h"
#include "persistence/Gelaendequelle.h"
#include "persistence/Parameterdatei.h"
#include "persistence/Systemspeicher.h"
#include "ui/Bearbeitung.h"
#include "ui/Dialoge.h"
#include "ui/Einstellungsfenster.h"
#include "ui/Gelaendefenster.h"
#include "ui/Meldungsbuendel.h"
#include "ui/Profilfenster.h"
#include "ui/Randauflistung.h"
#include "ui/Randeditor.h"
#include "ui/Steuerelemente.h"
#include "ui/Vorschauauftrag.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pavolant {

// The words beside a number field of the main window, as an error names it ("Roadway -
// Geometry: Width"); empty for a name that is none.
std::string_view Feldbeschriftung(std::string_view name);
// `text` with the caption of `feld` appended in brackets, when it has one.
std::string MitFeldbeschriftung(std::string text, const std::optional<std::string>& feld);

class Hauptfenster {
public:
    // `melder` shows the warning and information boxes, `dialoge` the file dialogs and
    // the error box; both must outlive the window.
    Hauptfenster(Melder& melder, Dialoge& dialoge);
    Hauptfenster(const Hauptfenster&) = delete;
    Hauptfenster& operator=(const Hauptfenster&) = delete;

    // Runs one event to its end. False when it stopped with an error, which has then
    // been shown through Dialoge::Fehler. An event that changed the road (also one that
    // stopped part way) becomes one step of the edit history.
    bool Ausfuehren(const std::function<void()>& handler);

    // ---- Edit history and modified state (Bearbeitung.cpp) --------------------------------
    // Undo and redo restore the whole road state of the step, every field byte for byte;
    // they never touch a file. Typing not yet committed counts as a step of its own.
    void Rueckgaengig();
    void Wiederholen();
    bool KannRueckgaengig() const;
    bool KannWiederholen() const;
    // The road differs from the one last saved or loaded (or from the start).
    bool Geaendert() const;
    // The parameter file's name, or "untitled" before one was saved or loaded.
    std::string Dokumentname() const;
    // Caption, the file's name and the desktop's modified placeholder "[*]".
    std::string Titel() const;
    // Before something replaces the road or the window closes: with unsaved changes asks
    // to save them. True when the caller may go on (saved, discarded or nothing to lose).
    bool AenderungenBewahren();
    // "Save" (Ctrl+S): into the parameter file of the road, or through the save dialog
    // when it has none yet. False when the dialog was cancelled.
    bool Speichern();
    // The edit history begins anew with the window as it is, which counts as saved.
    void VerlaufBeginnen();
    // The field whose text stopped the last event (a number that is no number), by
    // component name; the view then puts the focus there with the text selected.
    const std::optional<std::string>& Fehlerfeld() const { return fehlerfeld_; }

    // Set at construction, after the start-up installed the translator.
    std::string Caption = Tr("Pavolant v1.64 by Quenlor");

    // ---- Controls -----------------------------------------------------------------------
    // Top rows.
    TButton bbnSave;
    TEdit edtFileName;
    TButton bbnGo;
    TLabel Label18;
    TEdit edtShapeName;
    TCheckBox cboRandLenable;  // its groups are shown and enabled exactly while it is checked
    TButton spbCopyToRight;    // "CopyL": the left border onto the right one
    TCheckBox cboCreateFahrbahn;
    TButton spbCopyToLeft;  // "CopyR": the right border onto the left one
    TCheckBox cboRandRenable;

    // Left column: the left border's texture group and segment group (the odd name
    // SpeedButton2 is the left delete button), its load button, then the file buttons.
    TGroupBox gboRandL;
    TEdit edtRandLTexFile;
    TButton bbnRandLLoadTex;
    TEdit edtRandLTexLaenge;
    TEdit edtRandLTexBreite, edtRandLTexBreitePxl;
    TButton btnRandLcalcU;
    TCheckBox cboRandLRuecksetzen;
    TGroupBox gboRandLSegmente;
    TSpinEdit sedRandLNr;
    TButton spbRandLAdd, SpeedButton2, spbRandLAddEnd;
    TEdit edtRandLBreite, edtRandLWinkel, edtRandLEnde, edtRandLEndePxl;
    TCheckBox cboRandLnormMan;
    TEdit edtRandLnormale;
    TButton bbnRandLLoadPara;
    TButton bbnShowLeftParameter;  // lists the left border's points
    TButton bbnLoadPara;
    TLabel lblParameter1;
    TLabel lblParameter;
    TButton bbnSavePara;
    TButton bbnCopyMemo;  // the view copies mmoStatus to the clipboard

    // Roadway geometry.
    TGroupBox GroupBox2;
    TLabel lblBreite;
    TEdit edtBreite;
    TCheckBox cboSchleppkurve;
    TEdit edtSchleppkurve;
    TCheckBox cboSturz;
    TEdit edtSturz;

    // Roadway texture.
    TGroupBox GroupBox3;
    TLabel lblTextur1File;
    TEdit edtTextur1FileName;
    TButton bbnLoadFahrbahnTex;
    TLabel lblTextur1Laenge;
    TEdit edtTextur1Laenge;
    TLabel Label46, Label30;
    TEdit edtTexPxl;
    TLabel Label47;
    TEdit edtTexStart, edtTexStartPxl;
    TLabel Label48;
    TEdit EdtTexEnde, EdtTexEndePxl;
    TCheckBox cboRandomBackFold;
    TEdit edtRandomBackfold;
    TCheckBox cboRuecksetzen;
    TLabel Label25;
    TEdit edtTexL0;
    TButton spbOldTexL0;
    TLabel Label17;
    TEdit edtStreckung;

    // Spline points: the point editor shows the point AktuellerPunkt, numbered
    // from 1 in the spin (point number n is index n - 1); bbnSplinePtsOpen imports the
    // points from an i3d file the level editor exported.
    TGroupBox gboSplinePts;
    TSpinEdit sedSplinePtsNr;
    TButton spbSplineAdd, spbSplineSub, spbSplineAddEnd;
    TButton bbnSplinePtsOpen;
    TEdit edtSplinePtsX, edtSplinePtsY, edtSplinePtsZ;
    TEdit edtSplinePtsXrot, edtSplinePtsYrot, edtSplinePtsZrot;
    // Below the editor: headings and grades from the positions (every point, or the
    // current one), the road extended by edtSplineStrecke metres, the points table.
    TButton btnSplineAusrichten, btnSplinePunktAusrichten;
    TButton btnSplineVerlaengern;
    TEdit edtSplineStrecke;
    TButton btnPunktetabelle;  // the view opens the table window
    TButton bbnGrafikSchnitt;  // opens the profile view
    // The map's ground: "Terrain..." opens the terrain dialog, the drop buttons set the
    // points' heights from it, "Road and terrain" opens the view of the road's heights
    // over the ground's (the view opens it).
    TButton btnGelaende;
    TButton btnPunkteAufGelaende, btnPunktAufGelaende;
    TButton btnStrasseUndGelaende;

    // Right column: the right border's groups and load button, then the options.
    TGroupBox gboRandR;
    TEdit edtRandRTexFile;
    TButton bbnRandRLoadTex;
    TEdit edtRandRTexLaenge;
    TEdit edtRandRTexBreite, edtRandRTexBreitePxl;
    TButton btnRandRcalcU;
    TCheckBox cboRandRRuecksetzen;
    TGroupBox gboRandRSegmente;
    TSpinEdit sedRandRNr;
    TButton spbRandRAdd, spbRandRDel, spbRandRAddEnd;
    TEdit edtRandRBreite, edtRandRWinkel, edtRandREnde, edtRandREndePxl;
    TCheckBox cboRandRnormMan;
    TEdit edtRandRnormale;
    TButton bbnRandRLoadPara;
    TButton bbnShowRightParameter;  // lists the right border's points
    TCheckBox cboCreateTG;
    TCheckBox cboRandFuellen;  // checked only while both border boxes are checked
    TLabel Label24;
    TGroupBox GroupBox1;
    TCheckBox cboTrafficSpline;
    TCheckBox cboTrafficSplineRechts;
    TEdit edtTrafficSplineRechts;
    TCheckBox cboTrafficSplineLinks;
    TEdit edtTrafficSplineLinks;
    TButton bbnInfo;

    // Bottom.
    TMemo mmoStatus;

    // Every control of a kind under its component name, in the window's order.
    static std::span<const Komponente<Hauptfenster, TEdit>> Edits();
    static std::span<const Komponente<Hauptfenster, TCheckBox>> CheckBoxen();
    static std::span<const Komponente<Hauptfenster, TSpinEdit>> SpinEdits();
    static std::span<const Komponente<Hauptfenster, TButton>> Buttons();
    static std::span<const Komponente<Hauptfenster, TGroupBox>> GroupBoxen();

    // Controls by component name; null for a name the window does not have.
    TEdit* Edit(std::string_view name);
    TCheckBox* CheckBox(std::string_view name);
    TSpinEdit* SpinEdit(std::string_view name);
    TButton* Button(std::string_view name);
    TLabel* Label(std::string_view name);
    TGroupBox* GroupBox(std::string_view name);
    TMemo* Memo(std::string_view name);

private:
    // Every message of the window goes through it, so that one event repeats no message
    // more than Meldungsbuendel::kHoechstens times; Ausfuehren marks the events.
    Meldungsbuendel buendel_;
    // The borders report through it; declared before them because they keep its address.
    StummschaltbarerMelder randMelder_;

public:
    // ---- Model and settings -----------------------------------------------------------
    TRandPunkte RandR;  // "right Border", Rechts
    TRandPunkte RandL;  // "left Border"
    TSplinePunkte SplinePunkte;
    // The point editor's current point (0-based index into SplinePunkte): every change of
    // the list or of the point keeps it within the list (0 for an empty one). Saved in
    // the parameter file as [Splines] aktuell; a load starts at 0.
    int AktuellerPunkt = 0;
    // The i3d file the points were last imported from (UTF-8), saved as [Splines]
    // FileName; a load keeps it.
    std::string SplineDatei;
    // The map's ground the road lies on (the parameter file's [Terrain]); none by default.
    std::optional<Gelaendequelle> Gelaendewahl;
    TFuellFlaeche FuellFlaeche;  // the front faces' texture settings
    // edtTexL0 as the last run read it, before the run replaced it with the start for
    // the next road.
    double OldTexL0 = 0;
    // Fineness settings: metres and degrees.
    double MinLaenge = 2;
    double MinWinkel = 3;
    double MinSteigung = 1;
    double MinZRot = 1;
    double MaxSturz = 30;
    bool DreieckeSym = false;
    // Width of the roadway texture in pixels, the number in edtTexPxl; 0 or less
    // switches the roadway's pixel conversions off.
    std::int32_t TexPxl = 0;

    // The six fineness settings as the settings file and the run take them.
    Feinheit Einstellungen() const;

    // "Settings     ": fills `pref` from the six settings and the front-face fill, lets
    // `zeigen` show it modally, and when that confirms with OK reads everything back in
    // the dialog's order. A field that is no number throws KonvertierungsFehler there,
    // with the values before it stored and the rest left as they were.
    void bbnPreferencesClick(Einstellungsfenster& pref, const std::function<bool()>& zeigen);

    // "Terrain...": fills `dialog` from the road's terrain, lets `zeigen` show it modally,
    // and when that confirms with OK takes its source (or none after "No terrain") with
    // the ground it read. The view closes the dialog with OK only once Pruefen passed.
    // After "Shape terrain..." it then asks where the new height image goes (beside the
    // source, named after it) and runs GelaendeFormen, the masks beside it when asked.
    void btnGelaendeClick(Gelaendefenster& dialog, const std::function<bool()>& zeigen);

    // "Show profile  ": both spins to segment 1 (each change commits its editor), the
    // roadway width handed to the view, the view shown by `zeigen` (modally; its result
    // does not matter), then each border's current segment from its spin again and both
    // editors redisplayed. A width that is no number stops before anything changes.
    void bbnGrafikSchnittClick(const std::function<void()>& zeigen);
    // "Show parameters   ": the border's listing into the listing window, which
    // `zeigen` then shows modally.
    void bbnShowLeftParameterClick(const std::function<void()>& zeigen);
    void bbnShowRightParameterClick(const std::function<void()>& zeigen);

    // ---- Window geometry (screen pixels) --------------------------------------------------
    static constexpr int kBreite = 829;
    static constexpr int kHoehe = 894;
    static constexpr Fensterposition kEntwurfsPosition{82, 814};
    // The window's top-left corner. The start-up sets it, the view places the window
    // there when it shows it and writes the user's moves back, the closing stores it.
    Fensterposition Position = kEntwurfsPosition;

    // The border segment editors of the main window: each works directly on its border
    // and its side's controls (display, commit and switch, the segment buttons, the
    // texture group commit).
    RandEditor RandREditor;
    RandEditor RandLEditor;

    // The profile view and the parameter listing window: made once with the window,
    // reused for every showing; they borrow the borders.
    Profilfenster Profil;
    Randauflistung Auflistung;

    // What the last run handed back, also when it ended with an error; empty before the
    // first run.
    const std::optional<Bauergebnis>& LetzterLauf() const { return letzterLauf_; }

    // ---- Start-up and closing ---------------------------------------------------------------
    // Once, after construction (which already shows the borders and the spline points
    // with the road model in place) and before the window is shown: keeps the window on
    // a screen of the given size, then EinstellungenLaden(einstellungen). The view passes
    // EinstellungsPfad(). An error of the settings file has been shown through the error
    // box when this returns false; the window is usable either way.
    bool FormCreate(const std::filesystem::path& einstellungen, int bildschirmBreite, int bildschirmHoehe);
    // The six settings to their defaults, then the settings file over them. A missing
    // file leaves the defaults. The stored position is kept on the screen FormCreate was
    // given (before FormCreate there is no screen and it is taken as stored). A number
    // that is no number throws KonvertierungsFehler with the settings read before it
    // applied and the stored position left alone; an unreadable file throws DateiFehler.
    void EinstellungenLaden(const std::filesystem::path& einstellungen);
    // Most bytes a run may take for the road (Bauvorgaben::SpeicherGrenze): half of the
    // physical memory, or the settings file's maxSpeicherMB, read by EinstellungenLaden;
    // the command line's --max-memory sets it after that.
    std::uint64_t SpeicherGrenze = StandardSpeicherGrenze();
    // The language chosen in the settings dialog, from the settings file (key Sprache);
    // written back with the other settings. The program speaks it from its next start.
    Sprachwahl Sprache = Sprachwahl::System;
    // Writes the six settings and Position into the settings file, all-or-nothing. True:
    // the window may close. False: the file could not be written, the error box has said
    // so and the window stays open with everything as it was.
    bool FormCloseQuery(const std::filesystem::path& einstellungen);

    // ---- Handlers ------------------------------------------------------------------------
    void bbnSaveClick();  // choose the output file; enables "Go"
    // The output path typed into edtFileName: "Go" is enabled exactly when it names a
    // place the document can be written to, and says why not in its tool tip otherwise.
    void edtFileNameChange();
    // One generation run. Onto an existing file that this road has not written in this
    // session it first asks once whether to replace it (Dialoge::Ersetzen).
    void bbnGoClick();
    // The key of the parameter file's [Preferences] that remembers the road's output
    // file; written only once the road has one, so files without it stay as they were.
    static constexpr const char* kAusgabeSchluessel = "Ausgabedatei";
    // The road's fields as the window shows them now, one value per row of the field table.
    Feldwerte FeldwerteAusFenster() const;
    // The road as the fields, boxes, points and profiles give it now. A field whose text
    // is no number throws StrassenfeldFehler naming it, in the order "Go" reads them.
    Strasse StrasseAusFenster() const;
    // The same with the first field that is no number kept in `fehler` (see StrasseAusFeldern).
    Strasse StrasseAusFenster(std::optional<StrassenfeldFehler>& fehler) const;
    // A run of the road as it stands for the preview, to be run on any thread.
    std::unique_ptr<Vorschauauftrag> NeuerVorschauauftrag() const;
    void bbnInfoClick();
    // Texture browse for the roadway and both borders; `sender` is the pressing button's
    // name. Only the bare file name is kept; a border's texture group is then committed.
    void bbnLoadFahrbahnTexClick(std::string_view sender = "bbnLoadFahrbahnTex");

    void bbnSaveParaClick();
    void bbnLoadParaClick();
    // The same without the dialog. Saving replaces the file all-or-nothing and sets the
    // labels only once the file is written. Loading a file that does not exist throws
    // DateiFehler; a number that is no number stops the load at its key.
    void ParameterSpeichern(const std::filesystem::path& pfad);
    void ParameterLaden(const std::filesystem::path& pfad);
    // One border from a parameter file (its "Rand_rechts" / "Rand_links" sections);
    // nothing else of the window changes, the labels included.
    void bbnRandRLoadParaClick();
    void bbnRandLLoadParaClick();
    void RandRParameterLaden(const std::filesystem::path& pfad);
    void RandLParameterLaden(const std::filesystem::path& pfad);

    // Enabling chains.
    void cboRandRenableClick();
    void cboRandLenableClick();
    void cboRandFuellenClick();
    void cboRuecksetzenClick();
    void cboRandomBackFoldClick();
    // Copying a border: the source's texture group is committed, the target switches
    // to segment 1 and takes enable state, texture and all segments.
    void spbCopyToRightClick();
    void spbCopyToLeftClick();

    // Roadway texture: U fields and pixel fields kept in step through TexPxl.
    void edtTexPxlExit();
    void edtTexStartExit();
    void EdtTexEndeExit();
    void edtTexStartPxlExit();
    void EdtTexEndePxlExit();
    void spbOldTexL0Click();

    // Spline point editor.
    void SplineAnzeigen();
    void sedSplinePtsNrChange();
    void gboSplinePtsExit();
    void spbSplineAddClick();
    void spbSplineAddEndClick();
    void spbSplineSubClick();
    // Import from an i3d file: the dialog, then SplinePunkteImportieren. Cancelling
    // changes nothing.
    void bbnSplinePtsOpenClick();
    // The same without the dialog: point 1 is made current first (committing the fields
    // into the current point when that changes the spin; a bad field stops the import
    // before the file is read), then the file replaces the points. The editor shows the
    // list as it is afterwards, also when the import stopped part way (LeseI3d's errors
    // travel on).
    // The file is read as a whole first: a file that is not well-formed, or a value that
    // is no number, stops the import with its file and line before any point changes.
    // A scene with more than one group asks what to take (Dialoge::ImportWaehlen), unless
    // Importvorgabe says it; each shape becomes a point where the scene places it, with
    // its name.
    void SplinePunkteImportieren(const std::filesystem::path& pfad);
    // What the next imports take without asking (the command line's --group, --shapes).
    std::optional<Importwahl> Importvorgabe;
    // "Orient points" / "Orient this point": the fields are committed into the current
    // point first, then Yrot and Xrot come from the positions (model/Punktlage); the
    // bank stays. Points without a direction (no other place around them) keep their
    // angles and an information says how many.
    void btnSplineAusrichtenClick();
    void btnSplinePunktAusrichtenClick();
    // "Extend road": the fields committed, then a point edtSplineStrecke metres beyond
    // the last along its heading and grade, with its rotations; it becomes current. A
    // distance that is no number, or not above 0, stops before anything changes.
    void btnSplineVerlaengernClick();
    // Drops every point at the same place as its predecessor (closer than 1 mm), the
    // first of each run staying; an information says how many went.
    void DoppeltePunkteEntfernen();
    // "Drop points onto terrain": every point's Y (or only the current one's) becomes the
    // ground's height at its X and Z plus the terrain's clearance; one undo step. Points
    // outside the terrain keep their height, and an information names them. Without a
    // terrain a warning says so; a terrain that cannot be read throws its reason.
    void PunkteAufGelaende(bool nurAktueller);
    // The ground of Gelaendewahl, read once and kept while the source stays the same;
    // null without a terrain. Its notes (an older map, an unusual size) are shown once.
    const Gelaende* GelaendeBereit();
    // The ground already read for the terrain as it stands, without reading: for the
    // preview's job, which must not touch a file on the window's thread.
    std::optional<Gelaende> GelesenesGelaende() const;
    // A dragged point follows the ground (its Y the ground's height plus the clearance)
    // instead of keeping its height (the terrain dialog's check box). A choice of the
    // session, not of the road: no undo step, not in the parameter file.
    bool ZiehenFolgtGelaende = false;

    // "Shape terrain" (Gelaendeformen.cpp): the road as "Go" builds it (the random flips
    // not drawn from "Go"'s sequence) pressed into the ground of Gelaendewahl by its
    // Formung, the connections whose start point has GelaendeLassen left alone, written as
    // a new 16-bit height image at `ziel`; with `maskenPraefix` also the roadway's and the
    // borders' footprints as 8-bit masks (PREFIX_roadway.png, PREFIX_borders.png, one
    // pixel a metre). The report goes into the memo. Refuses to write over the terrain's
    // source, the map or the road's parameter file (DateiFehler); without a terrain a
    // warning says so.
    void GelaendeFormen(const std::filesystem::path& ziel, const std::optional<std::string>& maskenPraefix);

    // ---- Plan view edits (Punkteditor.cpp) --------------------------------------------------
    // Point `index` dragged to level X, Z (metres) in the plan view: the editor's fields
    // go into the point left first, then `index` becomes the current point with its new
    // position; Y and the rotations stay (Y follows the ground under ZiehenFolgtGelaende).
    // Not finite or no such point: nothing changes.
    void PunktVerschieben(int index, double x, double z);
    // Point `index` turned in the plan view to face along (dX, dZ): its heading (Yrot)
    // becomes that direction's, the rest stays. A direction without length changes
    // nothing.
    void PunktDrehen(int index, double dX, double dZ);

    // ---- Points table (Punktetabelle.cpp) --------------------------------------------------
    // All points as rows: the number, then X, Y, Z, Xrot, Yrot, Zrot as the editor shows
    // them. Every operation commits the editor's fields first (a bad field stops it
    // there), and the editor shows the current point afterwards, so table and editor
    // always hold the same values.
    // After the number and the six values (columns 0 .. kTabellenWertSpalten-1) comes the
    // point's switch "leave terrain" as a check (its cell text is empty), and last the
    // point's name from the import (read only, empty for typed points).
    static constexpr int kTabellenWertSpalten = 7;
    static constexpr int kTabellenLassenSpalte = 7;
    static constexpr int kTabellenNamenSpalte = 8;
    static constexpr int kTabellenSpalten = 9;
    // The text of a cell; empty outside the table.
    std::string Tabellenzelle(int zeile, int spalte) const;
    // A cell typed into: the text read as the editor's fields are read. A text that is no
    // number changes nothing and the error names the cell.
    void TabellenzelleSetzen(int zeile, int spalte, const std::string& text);
    // The switch "leave terrain" of a row's point set or cleared (one step to undo; rows
    // outside change nothing). The last point takes it too, where it means nothing.
    void TabellenGelaendeLassen(int zeile, bool an);
    // A row chosen: it becomes the current point, as the spin would make it.
    void TabellenzeileWaehlen(int zeile);
    // Deletes the rows (any order, repeats and rows outside ignored). At least two points
    // must stay, else the delete button's warning and nothing changes. The current point
    // stays current when it stays; otherwise the point that took its place.
    void TabellenzeilenLoeschen(std::vector<int> zeilen);
    // The rows' six values, tab-separated, one line each, in list order.
    std::string TabellenzeilenKopieren(std::vector<int> zeilen) const;
    // Tab-separated rows (a spreadsheet's copy) pasted with their first cell at (zeile,
    // spalte): the rows overwrite the points from `zeile` on and append points past the
    // end; a block that starts in the number column leaves that column out when it is 7
    // cells wide. Every cell is read before anything changes: a text that is no number
    // or a row too wide stops the paste, and the error names the cell.
    void TabelleEinfuegen(int zeile, int spalte, const std::string& text);

private:
    // The loaded values of the rows of `lage` into the fields, in table order: a box whose
    // state changes runs its chain as a click does.
    void FeldwerteAnwenden(const Feldwerte& werte, Teil lage);
    // A whole parameter file into the window, in the file's order (see Parameterdatei.h).
    void ParameterdateiLesen(const IniDatei& ini);
    void SplinePunkteLesen(const IniDatei& ini);

    void RandBoxGeaendert();
    void RandKopieren(RandEditor& von, RandEditor& nach, bool rechts);
    void RandLaden(RandEditor& editor, const std::filesystem::path& pfad, std::string_view abschnitt,
                   std::string_view ueberschrift);
    void PunktUebernehmenUndWechseln();
    // The spin's range after the list changed, then the current point shown.
    void PunktlisteZeigen();
    void PunkteAusrichtenUndMelden(int nur);
    // The ground read for `gelaendeQuelle_` (GelaendeBereit).
    std::optional<Gelaendequelle> gelaendeQuelle_;
    Gelaende gelaende_;
    std::string gelaendeBild_;  // the height image gelaende_ was read from (UTF-8)
    // After every event: a terrain that came with a load, an undo or a redo is read, so
    // the preview and "Go" have it. One that cannot be read is named once (a warning);
    // `gelaendeFehler_` is the source that failed last.
    void GelaendeNachfuehren();
    // GelaendeBereit for a command that needs the ground: without a terrain the warning
    // says how to set one, and the result is null.
    const Gelaende* GelaendeOderWarnung();
    std::optional<Gelaendequelle> gelaendeFehler_;
    // After an import: the count read and the points at the same place as their
    // predecessor, offering to drop them and (when no point carries a rotation) to
    // orient the points.
    // `elternBewegt`: some shape lies in a group that is moved, turned or scaled, which
    // the information says.
    void ImportBereinigen(const std::filesystem::path& pfad, bool elternBewegt);
    void PixelAusU(const TEdit& u, TEdit& pixel) const;
    void UAusPixel(const TEdit& pixel, TEdit& u) const;
    void TexPxlNachLaden();
    // A parameter file to read from: it exists and is text. Throws DateiFehler.
    static IniDatei ParameterdateiOeffnen(const std::filesystem::path& pfad);
    void BerichtAnwenden(const Bauergebnis& bericht);
    // The output file belongs to the road it was chosen for: another road loaded forgets
    // it (and what this session wrote), a file's own output takes its place.
    bool AusgabeGewaehlt() const;
    void AusgabeVergessen();
    void AusgabeUebernehmen(const IniDatei& ini);
    // The memo's last line after "Go": the document written, or why the run stopped.
    void Abschlusszeile(const Bauergebnis& bericht, const std::string& grund);
    void EinstellungenSetzen(const Feinheit& feinheit);
    Strassenstand Erfassen() const;
    void Wiederherstellen(const Strassenstand& stand);
    // A new step when the road changed since the current one.
    void VerlaufNachfuehren();
    // The component name of the field a conversion error came from, when it is one of
    // this window's.
    std::optional<std::string> FeldDesFehlers(const KonvertierungsFehler& fehler);

    struct Bildschirm {
        int Breite, Hoehe;
    };

    Melder& melder_;
    Dialoge& dialoge_;
    // Lives as long as the program and is never reseeded.
    Zufallsgenerator zufall_;
    std::optional<Bauergebnis> letzterLauf_;
    // The screen the window was created on; none before FormCreate.
    std::optional<Bildschirm> bildschirm_;
    Verlauf verlauf_;
    // The parameter file the road was last saved to or loaded from.
    std::optional<std::filesystem::path> parameterDatei_;
    int ereignisTiefe_ = 0;  // events running inside one another
    // edtFileName as the window starts: no output chosen while it shows this.
    std::string ausgabeAnfang_;
    // The documents this road wrote (or was allowed to replace) in this session: "Go"
    // onto them asks no more.
    std::vector<std::filesystem::path> geschrieben_;
    std::optional<std::string> fehlerfeld_;
};

}  // namespace pavolant
