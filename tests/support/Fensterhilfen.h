// Helpers for the tests of the main window: scripted dialogs and a window with them.
#pragma once

#include "tests/support/Testhilfen.h"
#include "ui/uMain13.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace pavolant::test {

// Answers each file dialog with the next scripted answer (nullopt: cancelled; none left:
// cancelled) and records what was asked and every error box.
class SkriptDialoge : public Dialoge {
public:
    std::deque<std::optional<std::string>> antworten;
    std::vector<DateiAuswahl> aufrufe;
    std::vector<std::string> fehler;

    std::optional<std::string> DateiOeffnen(const DateiAuswahl& a) override { return Antworten(a); }
    std::optional<std::string> DateiSpeichern(const DateiAuswahl& a) override { return Antworten(a); }
    void Fehler(const std::string& text) override { fehler.push_back(text); }

private:
    std::optional<std::string> Antworten(const DateiAuswahl& a) {
        aufrufe.push_back(a);
        if (antworten.empty()) return std::nullopt;
        std::optional<std::string> antwort = antworten.front();
        antworten.pop_front();
        return antwort;
    }
};

// A main window in its start state with recording message and dialog boxes.
struct Fenster {
    AufzeichnenderMelder melder;
    SkriptDialoge dialoge;
    TForm1 form{melder, dialoge};

    // Runs one event through the window's error boundary.
    bool Ereignis(const std::function<void()>& handler) { return form.Ausfuehren(handler); }
};

// The decimal number as the window shows it under the current separator ("0,5" / "0.5").
inline std::string Gezeigt(std::string_view mitPunkt) {
    std::string s(mitPunkt);
    for (char& c : s)
        if (c == '.') c = Dezimaltrenner();
    return s;
}

}  // namespace pavolant::test
