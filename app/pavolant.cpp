// pavolant: the desktop program. One main window over the road model; the settings
// file Pavolant.ini in the working directory keeps the fineness settings and the
// window's position from one run to the next.
//
//   pavolant [--screenshot FILE] [PARAMS.ini]
//
// PARAMS.ini is loaded as "Load parameter" loads it. --screenshot FILE shows the window,
// saves a picture of it to FILE and ends without touching the settings file; message
// boxes, which nobody could confirm then, go to standard error instead.
#include "model/Zahlen.h"
#include "persistence/Einstellungen.h"
#include "ui/qt/Hauptfenster.h"
#include "ui/qt/Programmstart.h"
#include "ui/qt/QtDialoge.h"
#include "ui/uMain13.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace pavolant;

constexpr std::string_view kAufruf =
    "usage: pavolant [--screenshot FILE] [PARAMS.ini]\n"
    "\n"
    "  PARAMS.ini          loads the road parameters as \"Load parameter\" does\n"
    "  --screenshot FILE   saves a picture of the window to FILE (PNG) and ends\n";

// For the screenshot run: every box as a line on standard error.
class Textmelder : public Melder {
public:
    void Melden(MeldungsArt art, const std::string& text) override {
        std::cerr << (art == MeldungsArt::Warnung ? "warning: " : "information: ")
                  << qt::Meldungstext(text).toStdString() << '\n';
    }
};

class Textdialoge : public Dialoge {
public:
    std::optional<std::string> DateiOeffnen(const DateiAuswahl&) override { return std::nullopt; }
    std::optional<std::string> DateiSpeichern(const DateiAuswahl&) override { return std::nullopt; }
    void Fehler(const std::string& text) override { std::cerr << "error: " << qt::Meldungstext(text).toStdString() << '\n'; }
};

struct Auftrag {
    std::optional<std::string> bild;
    std::optional<std::string> parameter;
};

// nullopt with `code` set when the program should end at once.
std::optional<Auftrag> Zerlegen(const QStringList& argumente, int& code) {
    Auftrag a;
    for (qsizetype i = 1; i < argumente.size(); ++i) {
        const QString& arg = argumente[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::cout << kAufruf;
            code = 0;
            return std::nullopt;
        }
        if (arg == QLatin1String("--screenshot")) {
            if (i + 1 >= argumente.size() || a.bild) {
                std::cerr << "pavolant: --screenshot needs one file\n\n" << kAufruf;
                code = 2;
                return std::nullopt;
            }
            a.bild = argumente[++i].toStdString();
        } else if (arg.startsWith(QLatin1Char('-')) || a.parameter) {
            std::cerr << "pavolant: unexpected argument '" << arg.toStdString() << "'\n\n" << kAufruf;
            code = 2;
            return std::nullopt;
        } else {
            a.parameter = arg.toStdString();
        }
    }
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pavolant"));
    // The numbers' separator is the system locale's; the formats do not depend on the C
    // locale that QApplication has set.
    SetzeDezimaltrenner(SystemDezimaltrenner());

    int code = 0;
    const std::optional<Auftrag> auftrag = Zerlegen(QApplication::arguments(), code);
    if (!auftrag) return code;

    qt::QtMelder fenstermelder;
    qt::QtDialoge fensterdialoge;
    Textmelder textmelder;
    Textdialoge textdialoge;
    Melder& melder = auftrag->bild ? static_cast<Melder&>(textmelder) : fenstermelder;
    Dialoge& dialoge = auftrag->bild ? static_cast<Dialoge&>(textdialoge) : fensterdialoge;

    TForm1 form(melder, dialoge);
    qt::Hauptfenster fenster(form, dialoge);
    fenstermelder.SetzeFenster(&fenster);
    fensterdialoge.SetzeFenster(&fenster);

    const QScreen* bildschirm = QGuiApplication::primaryScreen();
    const QSize groesse = bildschirm ? bildschirm->availableGeometry().size() : QSize(TForm1::kBreite, TForm1::kHoehe);
    qt::Starten(form, fenster, EinstellungsPfad(), groesse);
    fenster.SetzeSchliessfrage([&form, &fenster] { return qt::Schliessen(form, fenster, EinstellungsPfad()); });

    if (auftrag->parameter) {
        const std::string pfad = *auftrag->parameter;
        fenster.Verbindung().Ereignis([&form, &pfad] { form.ParameterLaden(pfad); });
    }
    fenster.show();

    if (auftrag->bild) {
        // Once the layout has settled; the settings file stays as it was.
        QTimer::singleShot(300, &fenster, [&fenster, &auftrag, &app] {
            const bool ok = fenster.grab().save(QString::fromStdString(*auftrag->bild), "PNG");
            if (!ok) std::cerr << "pavolant: cannot write " << *auftrag->bild << '\n';
            app.exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
