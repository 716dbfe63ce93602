// The example road in the main window with the road preview open, for the preview's
// widget tests; and the skip of checks that need OpenGL where there is none.
#pragma once

#include "tests/qt/Qthilfen.h"
#include "ui/qt/vorschau/Strassenvorschau.h"

#include <string>

namespace pavolant::test {

inline const std::string kBeispiel = PAVOLANT_SOURCE_DIR "/examples/Dorfstrasse.ini";
inline constexpr const char* kOhneGl =
    "no OpenGL context: Qt's offscreen platform makes one only with an X display (run under xvfb-run)";

// Skips a check that needs OpenGL when there is none, unless the run was started on a
// display that must provide it (PAVOLANT_MIT_GL set): then its absence is a failure.
#define OHNE_GL_UEBERSPRINGEN(vorschau)                                       \
    do {                                                                      \
        if (!(vorschau).Mit3d()) {                                            \
            if (qEnvironmentVariableIsSet("PAVOLANT_MIT_GL")) QFAIL(kOhneGl); \
            QSKIP(kOhneGl);                                                   \
        }                                                                     \
    } while (false)

// The example road with its output file chosen; the preview opened by its button.
struct Beispiel {
    TempOrdner ordner;
    std::string ausgabe = (ordner / "strasse.i3d").string();
    Ansicht a;

    Beispiel() {
        if (!a.fenster.Verbindung().Ereignis([this] { a.form.ParameterLaden(kBeispiel); }))
            throw std::runtime_error("the example road did not load");
        a.dialoge.antworten = {ausgabe};
        Klicken(a.Knopf("bbnSave"));
    }

    qt::Strassenvorschau& Oeffnen() {
        Klicken(a.Knopf("bbnVorschau"));
        auto* v = a.fenster.findChild<qt::Strassenvorschau*>(QStringLiteral("frmVorschau"));
        if (!v || !v->isVisible()) throw std::runtime_error("the preview did not open");
        if (!QTest::qWaitForWindowExposed(v)) throw std::runtime_error("the preview was not exposed");
        // The window opens beside the main one, as large as the screen leaves room for;
        // the pictures the tests count pixels in have one size on every screen.
        v->resize(1000, 720);
        // The user's next click in the main window gives it the keyboard back.
        a.fenster.activateWindow();
        if (!QTest::qWaitForWindowActive(&a.fenster))
            throw std::runtime_error("the main window stayed inactive");
        Warten();
        return *v;
    }

    // Until the live preview has caught up with the road.
    void Warten() {
        if (!QTest::qWaitFor([this] { return !a.fenster.VorschauRechnet(); }, 20000))
            throw std::runtime_error("the preview did not catch up");
    }

    void Go() {
        Klicken(a.Knopf("bbnGo"));
        Warten();
    }
};

}  // namespace pavolant::test
