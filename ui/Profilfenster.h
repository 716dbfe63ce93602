// The profile view without a toolkit: the road's cross-section, drawn flat (roadway
// level at height 0, no camber, no rotation) with both border profiles and their
// normals, and a second pair of segment editors working on the main window's borders.
//
// The view borrows the borders for the program's whole run and never copies, creates
// or frees one; a change made here is in the model for the main window at once. It
// draws on a retained surface (Image1) that keeps the last drawing until the next
// redraw: on showing, on resizing, on "Redraw now  " and on "undistortd". Editing a
// segment here does not redraw.
#pragma once

#include "model/Randprofil.h"
#include "model/Zeichenflaeche.h"
#include "ui/Randeditor.h"
#include "ui/Steuerelemente.h"

#include <cstdint>
#include <string>

namespace pavolant {

// The part of the world the image shows, in metres: x across the road (right is
// positive), y up.
struct Weltausschnitt {
    double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
};

// Colours as the drawing surface takes them (0x00BBGGRR).
inline constexpr std::uint32_t kFarbeWeiss = 0xFFFFFF;
inline constexpr std::uint32_t kFarbeSchwarz = 0x000000;
inline constexpr std::uint32_t kFarbeRandRechts = 0x008000;  // green
inline constexpr std::uint32_t kFarbeRandLinks = 0xFF0000;   // blue

// The box around the roadway of width `breite` and the active borders, with 5 % + 0.1 m
// margins on each axis; with `unverzerrt` the axis with more pixels per metre widens
// about the same centre until one metre is as many pixels across as up. A box of an
// image `w` x `h` pixels; with no pixels (w or h not positive) the margins only.
Weltausschnitt Profilausschnitt(const TRandPunkte& randR, const TRandPunkte& randL, double breite,
                                bool unverzerrt, int w, int h);

class Profilfenster {
public:
    // `randR`, `randL` are the main window's borders, `melder` the one they report
    // through; all three must outlive the view.
    Profilfenster(TRandPunkte& randR, TRandPunkte& randL, StummschaltbarerMelder& melder);
    Profilfenster(const Profilfenster&) = delete;
    Profilfenster& operator=(const Profilfenster&) = delete;

    // In the user's language (set by the constructor).
    std::string Caption;
    std::string Panel1Hint;

    TButton Button1;  // "OK": the view closes with the result OK
    TCheckBox cboUnverzerrt;
    TButton BitBtn1;  // "Redraw now  "
    TGroupBox gboRandLSegmente;
    TSpinEdit sedRandLNr;
    TButton spbRandLAdd, SpeedButton2, spbRandLAddEnd;
    TEdit edtRandLBreite, edtRandLWinkel, edtRandLEnde, edtRandLEndePxl;
    TCheckBox cboRandLnormMan;
    TEdit edtRandLnormale;
    TGroupBox gboRandRSegmente;
    TSpinEdit sedRandRNr;
    TButton spbRandRAdd, spbRandRDel, spbRandRAddEnd;
    TEdit edtRandRBreite, edtRandRWinkel, edtRandREnde, edtRandREndePxl;
    TCheckBox cboRandRnormMan;
    TEdit edtRandRnormale;

    // The retained image the view draws on; none until the view provides one (then
    // every redraw does nothing).
    Zeichenflaeche* Image1 = nullptr;

    TRandPunkte& RandR;
    TRandPunkte& RandL;
    // Roadway width in metres, handed over by the main window before each showing.
    double FahrbahnBreite = 0;

    RandEditor RandREditor;
    RandEditor RandLEditor;

    // Controls by component name; null for a name the view does not have.
    TEdit* Edit(std::string_view name);
    TCheckBox* CheckBox(std::string_view name);
    TSpinEdit* SpinEdit(std::string_view name);
    TButton* Button(std::string_view name);
    TGroupBox* GroupBox(std::string_view name);

    // The window is shown: each editor group visible exactly while its border is
    // active, the right editor then the left one showing its border's current segment,
    // then a redraw.
    void FormShow();
    void FormResize() { Neuzeichnen(); }
    // The cross-section on Image1: white ground, the roadway as a black 3-pixel line,
    // the active borders in their colours with their red normal ticks. An image without
    // width or height stays as it is.
    void Neuzeichnen();
};

}  // namespace pavolant
