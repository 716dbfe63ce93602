// Helpers for the widget tests: the main window over a window logic with recording
// message boxes and scripted file dialogs, widget lookup by name, and operating a
// modal window from a timer so that no box is ever left blocking a test.
#pragma once

#include "tests/support/Fensterhilfen.h"
#include "ui/qt/Hauptfensteransicht.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavolant::test {

// Records every message; `beimMelden` runs at the moment of the message, to look at
// the window as the box would have found it.
class ProtokollMelder : public Melder {
public:
    void Melden(MeldungsArt art, const std::string& text) override {
        eintraege.push_back({art, text});
        if (beimMelden) beimMelden();
    }
    struct Eintrag {
        MeldungsArt art;
        std::string text;
    };
    std::vector<Eintrag> eintraege;
    std::function<void()> beimMelden;
};

// The shown main window of a fresh window logic.
struct Ansicht {
    ProtokollMelder melder;
    SkriptDialoge dialoge;
    Hauptfenster form{melder, dialoge};
    qt::Hauptfensteransicht fenster{form, dialoge};

    Ansicht() {
        fenster.show();
        if (!QTest::qWaitForWindowActive(&fenster))
            throw std::runtime_error("the window did not become active");
    }

    template <class W>
    W* Widget(const char* name) {
        W* w = fenster.findChild<W*>(QString::fromLatin1(name));
        if (!w) throw std::logic_error(std::string("no widget ") + name);
        return w;
    }
    QLineEdit* Feld(const char* name) { return Widget<QLineEdit>(name); }
    QCheckBox* Box(const char* name) { return Widget<QCheckBox>(name); }
    QAbstractButton* Knopf(const char* name) { return Widget<QAbstractButton>(name); }
};

// A click as the user makes it: on a check box onto its indicator, elsewhere in the
// middle; then the event loop turns once, so exits due from the focus move have run.
inline void Klicken(QWidget* w) {
    const QPoint wo = qobject_cast<QCheckBox*>(w) ? QPoint(8, w->height() / 2) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, wo);
    QCoreApplication::processEvents();
}

// Clicks into the field, replaces its text by typing `text`, and leaves the focus there.
inline void Tippen(QLineEdit* feld, const QString& text) {
    Klicken(feld);
    feld->selectAll();
    QTest::keyClicks(feld, text);
}

// Operates the next modal window once it shows: runs `aktion` on it, then closes it if
// it is still open (a QDialog is rejected), so a failing check inside `aktion` cannot
// leave it blocking. Stops looking when destroyed.
class Modalbediener {
public:
    explicit Modalbediener(std::function<void(QWidget&)> aktion) : aktion_(std::move(aktion)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            timer_.stop();
            ++bedient_;
            aktion_(*w);
            if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
        });
        timer_.start(5);
    }
    ~Modalbediener() { timer_.stop(); }
    Modalbediener(const Modalbediener&) = delete;
    Modalbediener& operator=(const Modalbediener&) = delete;

    // How many modal windows it has operated (0 or 1).
    int Bedient() const { return bedient_; }

private:
    std::function<void(QWidget&)> aktion_;
    QTimer timer_;
    int bedient_ = 0;
};

inline std::string S(const QString& s) { return s.toStdString(); }

}  // namespace pavolant::test
