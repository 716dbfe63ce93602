// pavolant-cli: builds a road from a parameter file without the window, through the main
// window's own handlers, in this order: the desktop program's start state; optionally
// the fineness settings from a settings file, read as the start-up reads Pavolant.ini
// (nothing is read without the option, and nothing is ever written back); the parameter
// file as "Load parameter" loads it; optionally one or both border profiles from other
// parameter files as "Load parameters for right/left border" do; optionally the spline
// points from an i3d file the level editor exported, as the import button does;
// optionally the points at the same place as their predecessor dropped, and the points
// oriented from their positions, as the import's clean-up and "Orient points" do;
// optionally a new texture start; optionally "Go" into an output file chosen as in the
// output dialog; optionally "Save parameter", after the run, so that the saved file
// carries the texture start for the next road.
//
// The parameter file sets all six fineness settings too (keys it lacks take its own
// defaults), so the settings file's values never reach a run or a saved file; the
// option checks the file and stops on it as the desktop program would report it.
//
// Standard output: the run's report, one line per memo line, UTF-8. Standard error:
// every message box as "warning: TEXT" or "information: TEXT", every error of a handler
// as "error: TEXT", the prefixes in the user's language like the texts. Exit status 0
// when everything asked for was done, 1 when the load, the run or the save stopped, 2
// on wrong usage. SIGINT, SIGTERM and SIGHUP end it as
// they end any program (status 130, 143, 129 in a shell), after removing the temporary
// file of a write in progress; the target stays as it was.
#include "model/Meldung.h"
#include "model/Text.h"
#include "model/Zahlen.h"
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"
#include "persistence/Sprache.h"
#include "persistence/Systemspeicher.h"
#include "ui/Hauptfenster.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using namespace pavolant;

constexpr const char* kAufruf = TrVorgemerkt(
    // Catalog: the usage of the command line. Option names stay; the placeholders
    // (FILE, PARAMS.ini, OUT.i3d, SIZE, V) may be translated, the same everywhere; the
    // message prefixes as their own translations print them; the descriptions keep one
    // column and the lines stay within 80 characters.
    "usage: pavolant-cli [--settings FILE] [--right-border FILE] [--left-border FILE]\n"
    "                    [--splines FILE.i3d [--group NAME | --shapes FIRST-LAST]]\n"
    "                    [--terrain FILE [--height-scale V --units-per-pixel V]]\n"
    "                    [--clearance M] [--drop-duplicates] [--drape] [--orient]\n"
    "                    [--tex-start V] [--save-params FILE] [--max-memory SIZE]\n"
    "                    [-o OUT.i3d] [--shape-terrain OUT.png [--mask-out PREFIX]\n"
    "                    [--depth M] [--margin M] [--falloff M]\n"
    "                    [--raise-only | --lower-only]] PARAMS.ini\n"
    "\n"
    "Loads the road parameters PARAMS.ini as \"Load parameter\" does; the steps run in\n"
    "the order of this list, whatever the order of the options:\n"
    "  --settings FILE     first reads the fineness settings from FILE as the desktop\n"
    "                      program reads Pavolant.ini at start-up (without the option\n"
    "                      none is read); PARAMS.ini sets them all again, so only an\n"
    "                      error in FILE shows\n"
    "  --right-border FILE takes the right border from the parameter file FILE\n"
    "  --left-border FILE  takes the left border from the parameter file FILE\n"
    "  --splines FILE.i3d  replaces the spline points with the shapes of the scene of\n"
    "                      FILE.i3d, as exported by the level editor; a file without\n"
    "                      a complete scene stops like an error; shapes inside\n"
    "                      moved, turned or scaled groups are placed as the scene\n"
    "                      puts them\n"
    "  --group NAME        takes only the shapes in the first group called NAME\n"
    "                      (at any depth of the scene)\n"
    "  --shapes FIRST-LAST takes only the shapes FIRST to LAST, counted from 1 in\n"
    "                      the order of the file\n"
    "  --terrain FILE      sets the map's ground: a map's .i3d (its terrain node names\n"
    "                      the height image and its scale) or a 16-bit grey PNG\n"
    "  --height-scale V    the PNG's height for the value 65535, metres\n"
    "  --units-per-pixel V the PNG's distance between pixels, metres\n"
    "  --clearance M       the height the dropped points keep above the ground\n"
    "                      (default 0.05 m, or the parameter file's)\n"
    "  --drop-duplicates   drops every spline point at the same place as its\n"
    "                      predecessor (closer than 1 mm), the first of each run staying\n"
    "  --drape             sets every spline point's height (Y) to the ground's under\n"
    "                      it plus the clearance, as \"Drop points onto terrain\" does\n"
    "  --orient            sets every spline point's heading (Yrot) and grade (Xrot)\n"
    "                      from the positions around it, as \"Orient points\" does\n"
    "  --tex-start V       puts V into the texture start field (TexL0)\n"
    "  --max-memory SIZE   lets the run take up to SIZE of memory for the road (8G,\n"
    "                      500M; a plain number is megabytes) instead of half of the\n"
    "                      physical memory or the settings file's maxSpeicherMB\n"
    "  -o OUT.i3d          runs \"Go\" and writes the road to OUT.i3d (used as given);\n"
    "                      the report goes to standard output; without -o (and\n"
    "                      without --save-params) nothing is written, which an\n"
    "                      information line says\n"
    "  --shape-terrain OUT.png\n"
    "                      presses the road into the terrain and writes the shaped\n"
    "                      height image to OUT.png (never over the source), as\n"
    "                      \"Shape terrain...\" does; --depth (default 0.05 m),\n"
    "                      --margin (1 m) and --falloff (4 m) and --raise-only or\n"
    "                      --lower-only override the parameter file's [Terrain]\n"
    "  --mask-out PREFIX   also writes the roadway's and the borders' footprints as\n"
    "                      8-bit masks PREFIX_roadway.png and PREFIX_borders.png\n"
    "  --save-params FILE  saves the parameters as \"Save parameter\" does, after the run,\n"
    "                      so FILE carries the texture start for the next road\n"
    "  --help              shows this text\n"
    "\n"
    "Messages go to standard error as \"warning: ...\", \"information: ...\" or \"error: ...\".\n"
    "Numbers use the decimal separator of the system locale.\n"
    "Exit status: 0 done, 1 a load, the import, the run or the save stopped,\n"
    "2 wrong usage.\n");

// One message per line group: the boxes break lines with CR, a terminal wants LF.
std::string MitZeilenumbruechen(std::string_view text) {
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            s += text[i];
        } else {
            s += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
    }
    return s;
}

// A message box as a line of standard error: "warning: TEXT" or "information: TEXT".
std::string Meldungszeile(MeldungsArt art, std::string_view text) {
    return Einsetzen(art == MeldungsArt::Warnung ? Tr("warning: %1") : Tr("information: %1"),
                     {MitZeilenumbruechen(text)});
}

// An error as a line of standard error: "error: TEXT".
std::string Fehlerzeile(std::string_view text) {
    return Einsetzen(Tr("error: %1"), {MitZeilenumbruechen(text)});
}

class Fehlerausgabe : public Melder {
public:
    int anzahl = 0;  // messages so far
    // Cleared by every message: what a box offered counts only while it was the last word.
    std::vector<std::string>* angebote = nullptr;

    void Melden(MeldungsArt art, const std::string& text) override {
        ++anzahl;
        if (angebote) angebote->clear();
        std::cerr << Meldungszeile(art, text) << '\n';
    }
};

// Each dialog answers with the path the command line gave for it, once.
class Skriptdialoge : public Dialoge {
public:
    std::optional<std::string> Antwort;

    std::optional<std::string> DateiOeffnen(const DateiAuswahl&) override {
        return std::exchange(Antwort, {});
    }
    std::optional<std::string> DateiSpeichern(const DateiAuswahl&) override {
        return std::exchange(Antwort, {});
    }
    void Fehler(const std::string& text) override {
        letzteAngebote.clear();
        std::cerr << Fehlerzeile(text) << '\n';
    }
    // The command line never asks: each step replaces the road as the command says.
    Sichern AenderungenSichern(const std::string&) override { return Sichern::Verwerfen; }
    // The box's message as any other; the options (--drop-duplicates, --orient) take
    // the place of the offers.
    std::optional<std::size_t> Anbieten(MeldungsArt art, const std::string& text,
                                        const std::vector<std::string>& angebote) override {
        std::cerr << Meldungszeile(art, text) << '\n';
        letzteAngebote = angebote;
        return std::nullopt;
    }
    // What the last box offered: a run that stopped on a point offers to select it, and
    // to orient the points when a heading was the reason.
    std::vector<std::string> letzteAngebote;
};

struct Auftrag {
    std::optional<std::string> einstellungen;
    std::optional<std::string> splines;
    std::optional<std::string> gruppe;
    std::optional<std::string> shapes;
    std::optional<std::string> randRechts;
    std::optional<std::string> randLinks;
    std::optional<std::string> texStart;
    std::optional<std::string> parameterSpeichern;
    std::optional<std::string> ausgabe;
    std::optional<std::uint64_t> maxSpeicher;
    std::optional<std::string> terrain;
    std::optional<std::string> hoehenskala;
    std::optional<std::string> pixelabstand;
    std::optional<std::string> abstand;
    std::optional<std::string> formen, masken, tiefe, rand, auslauf;
    bool nurHeben = false, nurSenken = false;
    bool doppelteEntfernen = false;
    bool absenken = false;
    bool ausrichten = false;
    std::string parameter;
};

// "3-17": the first and last shape, 1 <= FIRST <= LAST.
std::optional<std::pair<int, int>> Shapebereich(std::string_view text) {
    const std::size_t strich = text.find('-');
    if (strich == std::string_view::npos) return std::nullopt;
    int von = 0, bis = 0;
    const auto zahl = [](std::string_view t, int& wert) {
        const auto [ende, fehler] = std::from_chars(t.data(), t.data() + t.size(), wert);
        return !t.empty() && fehler == std::errc() && ende == t.data() + t.size();
    };
    if (!zahl(text.substr(0, strich), von) || !zahl(text.substr(strich + 1), bis) || von < 1 || bis < von)
        return std::nullopt;
    return std::pair{von, bis};
}

// A number as the window's fields take it; the error names the option.
double OptionsZahl(const std::string& option, const std::string& text) {
    try {
        return ZahlAusText(text);
    } catch (const KonvertierungsFehler& f) {
        throw KonvertierungsFehler(Einsetzen(Tr("option '%1': %2"), {option, f.what()}));
    }
}

int Falsch(const std::string& grund) {
    std::cerr << "pavolant-cli: " << grund << "\n\n" << Tr(kAufruf);
    return 2;
}

// nullopt with `code` set when the program should end at once.
std::optional<Auftrag> Zerlegen(const std::vector<std::string>& argumente, int& code) {
    Auftrag a;
    bool parameterGesehen = false;
    bool nurDateien = false;
    const std::size_t argc = argumente.size();
    for (std::size_t i = 0; i < argc; ++i) {
        const std::string_view arg = argumente[i];
        if (!nurDateien && (arg == "--help" || arg == "-h")) {
            std::cout << Tr(kAufruf);
            code = 0;
            return std::nullopt;
        }
    }
    for (std::size_t i = 0; i < argc; ++i) {
        const std::string_view arg = argumente[i];
        if (!nurDateien && arg == "--") {
            nurDateien = true;
            continue;
        }
        std::optional<std::string>* ziel = nullptr;
        bool* schalter = nullptr;
        if (!nurDateien) {
            if (arg == "--drop-duplicates")
                schalter = &a.doppelteEntfernen;
            else if (arg == "--orient")
                schalter = &a.ausrichten;
            else if (arg == "--drape")
                schalter = &a.absenken;
            else if (arg == "--terrain")
                ziel = &a.terrain;
            else if (arg == "--shape-terrain")
                ziel = &a.formen;
            else if (arg == "--mask-out")
                ziel = &a.masken;
            else if (arg == "--depth")
                ziel = &a.tiefe;
            else if (arg == "--margin")
                ziel = &a.rand;
            else if (arg == "--falloff")
                ziel = &a.auslauf;
            else if (arg == "--raise-only")
                schalter = &a.nurHeben;
            else if (arg == "--lower-only")
                schalter = &a.nurSenken;
            else if (arg == "--height-scale")
                ziel = &a.hoehenskala;
            else if (arg == "--units-per-pixel")
                ziel = &a.pixelabstand;
            else if (arg == "--clearance")
                ziel = &a.abstand;
            else if (arg == "--tex-start")
                ziel = &a.texStart;
            else if (arg == "--right-border")
                ziel = &a.randRechts;
            else if (arg == "--left-border")
                ziel = &a.randLinks;
            else if (arg == "--settings")
                ziel = &a.einstellungen;
            else if (arg == "--splines")
                ziel = &a.splines;
            else if (arg == "--group")
                ziel = &a.gruppe;
            else if (arg == "--shapes")
                ziel = &a.shapes;
            else if (arg == "--save-params")
                ziel = &a.parameterSpeichern;
            else if (arg == "-o")
                ziel = &a.ausgabe;
            else if (arg == "--max-memory") {
                if (i + 1 >= argc) {
                    code = Falsch(Einsetzen(Tr("option '%1' needs a value"), {arg}));
                    return std::nullopt;
                }
                if (a.maxSpeicher) {
                    code = Falsch(Einsetzen(Tr("option '%1' given twice"), {arg}));
                    return std::nullopt;
                }
                a.maxSpeicher = SpeichergroesseAusText(argumente[++i]);
                if (!a.maxSpeicher) {
                    code = Falsch(
                        Einsetzen(Tr("option '--max-memory' needs a size such as 8G or 500M, not '%1'"),
                                  {argumente[i]}));
                    return std::nullopt;
                }
                continue;
            } else if (arg.size() > 1 && arg[0] == '-') {
                code = Falsch(Einsetzen(Tr("unknown option '%1'"), {arg}));
                return std::nullopt;
            }
        }
        if (schalter) {
            if (*schalter) {
                code = Falsch(Einsetzen(Tr("option '%1' given twice"), {arg}));
                return std::nullopt;
            }
            *schalter = true;
            continue;
        }
        if (ziel) {
            if (i + 1 >= argc) {
                code = Falsch(Einsetzen(Tr("option '%1' needs a value"), {arg}));
                return std::nullopt;
            }
            if (*ziel) {
                code = Falsch(Einsetzen(Tr("option '%1' given twice"), {arg}));
                return std::nullopt;
            }
            *ziel = argumente[++i];
            continue;
        }
        if (parameterGesehen) {
            code = Falsch(Tr("exactly one parameter file expected"));
            return std::nullopt;
        }
        a.parameter = std::string(arg);
        parameterGesehen = true;
    }
    if (!parameterGesehen) {
        code = Falsch(Tr("no parameter file given"));
        return std::nullopt;
    }
    if ((a.gruppe || a.shapes) && !a.splines) {
        code = Falsch(Einsetzen(Tr("option '%1' needs '--splines'"), {a.gruppe ? "--group" : "--shapes"}));
        return std::nullopt;
    }
    if (a.gruppe && a.shapes) {
        code = Falsch(Tr("options '--group' and '--shapes' exclude each other"));
        return std::nullopt;
    }
    if (a.terrain) {
        const bool karte = IstKartendatei(*a.terrain);
        if (karte && (a.hoehenskala || a.pixelabstand)) {
            code = Falsch(Einsetzen(Tr("option '%1' is for a height image; a map says its own"),
                                    {a.hoehenskala ? "--height-scale" : "--units-per-pixel"}));
            return std::nullopt;
        }
        if (!karte && (!a.hoehenskala || !a.pixelabstand)) {
            code =
                Falsch(Tr("option '--terrain' with a height image needs '--height-scale' and "
                          "'--units-per-pixel'"));
            return std::nullopt;
        }
    } else if (a.hoehenskala || a.pixelabstand) {
        code = Falsch(Einsetzen(Tr("option '%1' needs '--terrain'"),
                                {a.hoehenskala ? "--height-scale" : "--units-per-pixel"}));
        return std::nullopt;
    }
    if (a.shapes && !Shapebereich(*a.shapes)) {
        code =
            Falsch(Einsetzen(Tr("option '--shapes' needs FIRST-LAST such as 1-20, not '%1'"), {*a.shapes}));
        return std::nullopt;
    }
    return a;
}

// An output that is one of the inputs, or the other output, would destroy it: the
// document over the parameter file, INI sections appended to the document. Compared by
// file identity, not by spelling. Saving the parameters back into the parameter or a
// border file they came from stays allowed: that is "Save".
std::optional<std::string> Ueberschneidung(const Auftrag& a) {
    struct Datei {
        const char* option;
        const std::optional<std::string>* pfad;
    };
    const std::optional<std::string> parameter = a.parameter;
    const std::vector<Datei> eingaben = {
        {"PARAMS.ini", &parameter},        {"--settings", &a.einstellungen},
        {"--right-border", &a.randRechts}, {"--left-border", &a.randLinks},
        {"--splines", &a.splines},         {"--save-params", &a.parameterSpeichern},
        {"--terrain", &a.terrain},         {"--shape-terrain", &a.formen}};
    for (const Datei& e : eingaben)
        if (a.ausgabe && *e.pfad && DieselbeDatei(PfadAusUtf8(*a.ausgabe), PfadAusUtf8(**e.pfad)))
            return Einsetzen(Tr("'%1' and '%2' name the same file; nothing was written"),
                             {"-o " + *a.ausgabe, e.option + (" " + **e.pfad)});
    if (a.nurHeben && a.nurSenken) return Tr("'--raise-only' and '--lower-only' exclude each other");
    if (!a.formen && (a.masken || a.tiefe || a.rand || a.auslauf || a.nurHeben || a.nurSenken))
        return Tr(
            "the options of the shaping (--mask-out, --depth, --margin, --falloff, --raise-only, "
            "--lower-only) need '--shape-terrain OUT.png'");
    for (const Datei& e : {eingaben[1], eingaben[4]})
        if (a.parameterSpeichern && *e.pfad &&
            DieselbeDatei(PfadAusUtf8(*a.parameterSpeichern), PfadAusUtf8(**e.pfad)))
            return Einsetzen(Tr("'%1' and '%2' name the same file; nothing was written"),
                             {"--save-params " + *a.parameterSpeichern, e.option + (" " + **e.pfad)});
    return std::nullopt;
}

// What the options offer when a run stopped on a point: its predecessor on the same spot,
// or a heading too far from the line to the next point.
std::string Abhilfe(const std::vector<std::string>& angebote, const Auftrag& auftrag) {
    if (std::find(angebote.begin(), angebote.end(), Tr("Orient points")) == angebote.end())
        return Tr("Points on the same spot as their predecessor: --drop-duplicates drops them.");
    if (auftrag.splines && !auftrag.gruppe && !auftrag.shapes)
        return Tr(
            "An angle too large: --orient turns every point along the road; if the scene holds several "
            "splines, --group NAME or --shapes FIRST-LAST takes one of them.");
    return Tr("An angle too large: --orient turns every point along the road.");
}

int Ausfuehren(const Auftrag& auftrag) {
    Fehlerausgabe melder;
    Skriptdialoge dialoge;
    melder.angebote = &dialoge.letzteAngebote;
    Hauptfenster form(melder, dialoge);

    if (auftrag.einstellungen) {
        // The desktop program takes a missing Pavolant.ini for "nothing saved yet"; a file
        // named here that is not there is a mistake the user must hear of.
        const std::filesystem::path pfad = PfadAusUtf8(*auftrag.einstellungen);
        std::error_code ec;
        // When the check itself fails, the read below reports the file as unreadable.
        if (!std::filesystem::exists(pfad, ec) && !ec) {
            dialoge.Fehler(Einsetzen(Tr("Die Datei %1 existiert nicht"), {*auftrag.einstellungen}));
            return 1;
        }
        if (!form.Ausfuehren([&] { form.EinstellungenLaden(pfad); })) return 1;
    }

    if (auftrag.maxSpeicher) form.SpeicherGrenze = *auftrag.maxSpeicher;

    dialoge.Antwort = auftrag.parameter;
    if (!form.Ausfuehren([&] { form.bbnLoadParaClick(); })) return 1;
    if (auftrag.randRechts) {
        dialoge.Antwort = *auftrag.randRechts;
        if (!form.Ausfuehren([&] { form.bbnRandRLoadParaClick(); })) return 1;
    }
    if (auftrag.randLinks) {
        dialoge.Antwort = *auftrag.randLinks;
        if (!form.Ausfuehren([&] { form.bbnRandLLoadParaClick(); })) return 1;
    }

    if (auftrag.splines) {
        if (auftrag.gruppe) {
            Importwahl wahl;
            wahl.art = Importwahl::Art::Gruppe;
            wahl.Gruppenname = *auftrag.gruppe;
            form.Importvorgabe = wahl;
        } else if (auftrag.shapes) {
            Importwahl wahl;
            wahl.art = Importwahl::Art::Bereich;
            std::tie(wahl.Erster, wahl.Letzter) = *Shapebereich(*auftrag.shapes);
            form.Importvorgabe = wahl;
        }
        dialoge.Antwort = *auftrag.splines;
        const int vorher = melder.anzahl;
        if (!form.Ausfuehren([&] { form.bbnSplinePtsOpenClick(); })) return 1;
        // The import speaks only when it took nothing (no scene) or not the whole scene
        // (no end, too many shapes); a road built from that is not the one asked for.
        if (melder.anzahl != vorher) return 1;
    }

    if (auftrag.terrain || auftrag.abstand) {
        bool gesetzt = form.Ausfuehren([&] {
            if (auftrag.terrain) {
                Gelaendequelle quelle{*auftrag.terrain};
                if (auftrag.hoehenskala)
                    quelle.HeightScale = OptionsZahl("--height-scale", *auftrag.hoehenskala);
                if (auftrag.pixelabstand)
                    quelle.UnitsPerPixel = OptionsZahl("--units-per-pixel", *auftrag.pixelabstand);
                if (form.Gelaendewahl) {  // the parameter file's clearance and shaping stay
                    quelle.Abstand = form.Gelaendewahl->Abstand;
                    quelle.Formung = form.Gelaendewahl->Formung;
                }
                form.Gelaendewahl = quelle;
            }
            if (auftrag.abstand && form.Gelaendewahl)
                form.Gelaendewahl->Abstand = OptionsZahl("--clearance", *auftrag.abstand);
            // Read now, so that a ground that cannot be read stops here, naming the file.
            form.GelaendeBereit();
        });
        if (!gesetzt) return 1;
        if (auftrag.abstand && !form.Gelaendewahl) {
            dialoge.Fehler(
                Tr("option '--clearance' needs a terrain (--terrain FILE or the parameter file's)"));
            return 1;
        }
    }
    if (auftrag.doppelteEntfernen && !form.Ausfuehren([&] { form.DoppeltePunkteEntfernen(); })) return 1;
    if (auftrag.absenken) {
        if (!form.Gelaendewahl) {
            dialoge.Fehler(Tr("option '--drape' needs a terrain (--terrain FILE or the parameter file's)"));
            return 1;
        }
        if (!form.Ausfuehren([&] { form.PunkteAufGelaende(false); })) return 1;
    }
    if (auftrag.ausrichten && !form.Ausfuehren([&] { form.btnSplineAusrichtenClick(); })) return 1;

    if (auftrag.texStart) form.edtTexL0.Text = *auftrag.texStart;

    if (auftrag.ausgabe) {
        dialoge.Antwort = *auftrag.ausgabe;
        dialoge.letzteAngebote.clear();
        form.Ausfuehren([&] { form.bbnSaveClick(); });
        const bool ohneFehler = form.Ausfuehren([&] { form.bbnGoClick(); });
        const std::optional<Bauergebnis>& lauf = form.LetzterLauf();
        // The memo holds a report only once a run has cleared it.
        if (lauf && lauf->MemoGeleert)
            for (const std::string& zeile : lauf->Memo) std::cout << zeile << '\n';
        // Saving after a run that stopped would hand on a texture start that no
        // document continues.
        if (!ohneFehler || !lauf || !lauf->Geschrieben) {
            if (!dialoge.letzteAngebote.empty())
                std::cerr << Meldungszeile(MeldungsArt::Information, Abhilfe(dialoge.letzteAngebote, auftrag))
                          << '\n';
            return 1;
        }
    }

    if (auftrag.formen) {
        if (!form.Gelaendewahl) {
            dialoge.Fehler(
                Tr("option '--shape-terrain' needs a terrain (--terrain FILE or the parameter file's)"));
            return 1;
        }
        const std::size_t bisher = form.mmoStatus.Lines.size();
        const bool geformt = form.Ausfuehren([&] {
            Formvorgaben& f = form.Gelaendewahl->Formung;
            if (auftrag.tiefe) f.Tiefe = OptionsZahl("--depth", *auftrag.tiefe);
            if (auftrag.rand) f.Rand = OptionsZahl("--margin", *auftrag.rand);
            if (auftrag.auslauf) f.Auslauf = OptionsZahl("--falloff", *auftrag.auslauf);
            if (auftrag.nurHeben) f.Modus = Formvorgaben::Art::NurHeben;
            if (auftrag.nurSenken) f.Modus = Formvorgaben::Art::NurSenken;
            form.GelaendeFormen(PfadAusUtf8(*auftrag.formen), auftrag.masken);
        });
        for (std::size_t i = bisher; i < form.mmoStatus.Lines.size(); ++i)
            std::cout << form.mmoStatus.Lines[i] << '\n';
        if (!geformt) return 1;
    }

    if (auftrag.parameterSpeichern) {
        dialoge.Antwort = *auftrag.parameterSpeichern;
        if (!form.Ausfuehren([&] { form.bbnSaveParaClick(); })) return 1;
    } else if (!auftrag.ausgabe && !auftrag.formen) {
        melder.Information(
            Tr("Nothing was written: no output file was given (-o OUT.i3d), so the road was only "
               "loaded and checked."));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Ctrl-C, SIGTERM or SIGHUP (on Windows Ctrl+C or the console closed) during a write
    // leave no temporary file beside the target.
    AbbruchsignaleAbfangen();
    SetzeDezimaltrenner(SystemDezimaltrenner());
    KonsoleAufUtf8();
    // The language of the messages follows LANGUAGE, LC_ALL, LC_MESSAGES and LANG as in
    // every command-line program; the documents and the INI files never change with it.
    SpracheEinrichten(SpracheBestimmen(Sprachwahl::System, SprachumgebungDesProzesses()));
    int code = 0;
    const std::optional<Auftrag> auftrag = Zerlegen(Programmargumente(argc, argv), code);
    if (!auftrag) return code;
    if (const std::optional<std::string> grund = Ueberschneidung(*auftrag)) return Falsch(*grund);
    try {
        code = Ausfuehren(*auftrag);
    } catch (const std::bad_alloc&) {
        std::cerr << Fehlerzeile(Tr(kSpeicherErschoepft)) << '\n';
        code = 1;
    } catch (const std::exception& e) {
        std::cerr << Einsetzen(Tr("error: %1"), {e.what()}) << '\n';
        code = 1;
    }
    std::cout.flush();
    if (!std::cout) {
        // A report that did not arrive must not read as a complete run.
        std::cerr << Fehlerzeile(Tr("the report could not be written to standard output")) << '\n';
        return 1;
    }
    return code;
}
