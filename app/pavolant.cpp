// pavolant: the desktop program. One main window over the road model; the settings
// file Pavolant.ini in the working directory keeps the fineness settings and the
// window's position from one run to the next.
//
//   pavolant [PARAMS.ini]
//
// PARAMS.ini is loaded as "Load parameter" loads it. The pictures of the windows are
// taken by a program of their own (tools/pavolant-tour.cpp), not by this one.
#include <QApplication>
#include <QTranslator>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "model/Text.h"
#include "persistence/Einstellungen.h"
#include "persistence/Plattform.h"
#include "ui/Hauptfenster.h"
#include "ui/qt/Hauptfensteransicht.h"
#include "ui/qt/Programmstart.h"
#include "ui/qt/QtDialoge.h"

namespace {

using namespace pavolant;

constexpr const char* kAufruf = TrVorgemerkt(
    // Catalog: the usage of the desktop program. The placeholder (PARAMS.ini) may be
    // translated; the description keeps its column.
    "usage: pavolant [PARAMS.ini]\n"
    "\n"
    "  PARAMS.ini          loads the road parameters as \"Load parameter\" does\n");

struct Auftrag {
    std::optional<std::string> parameter;  // the file to load
};

// nullopt with `code` set when the program should end at once.
std::optional<Auftrag> Zerlegen(const QStringList& argumente, int& code) {
    Auftrag a;
    for (qsizetype i = 1; i < argumente.size(); ++i) {
        const QString& arg = argumente[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::cout << Tr(kAufruf);
            code = 0;
            return std::nullopt;
        }
        if (arg.startsWith(QLatin1Char('-')) || a.parameter) {
            std::cerr << "pavolant: " << Einsetzen(Tr("unexpected argument '%1'"), {arg.toStdString()})
                      << "\n\n"
                      << Tr(kAufruf);
            code = 2;
            return std::nullopt;
        }
        a.parameter = arg.toStdString();
    }
    return a;
}

}  // namespace

int main(int argc, char** argv) {
    // Closed by SIGINT, SIGTERM or SIGHUP (Windows: Ctrl+C, the console closed) during a
    // run or a save, the program leaves no temporary file behind and ends as before; the
    // handler never enters Qt.
    AbbruchsignaleAbfangen();
    QApplication app(argc, argv);
    QTranslator qtTexte;
    qt::AnwendungEinrichten(qtTexte, EinstellungsPfad());

    int code = 0;
    const std::optional<Auftrag> auftrag = Zerlegen(QApplication::arguments(), code);
    if (!auftrag) return code;

    qt::QtMelder melder;
    qt::QtDialoge dialoge;
    Hauptfenster form(melder, dialoge);
    qt::Hauptfensteransicht fenster(form, dialoge);
    melder.SetzeFenster(&fenster);
    dialoge.SetzeFenster(&fenster);

    qt::Starten(form, fenster, EinstellungsPfad(), qt::Bildschirme());
    fenster.SetzeSchliessfrage(
        [&form, &fenster] { return qt::Schliessen(form, fenster, EinstellungsPfad()); });

    if (auftrag->parameter) {
        const std::filesystem::path pfad = PfadAusUtf8(*auftrag->parameter);
        fenster.Verbindung().Ereignis([&form, &pfad] { form.ParameterLaden(pfad); });
    }
    fenster.show();
    return app.exec();
}
