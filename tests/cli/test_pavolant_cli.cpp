// The command line as a user runs it: the built program in a child process, its exit
// status, standard output and standard error. The C locale makes its numbers use a point.
#include "model/SplinePunkte.h"
#include "persistence/Hoehenbild.h"
#include "persistence/I3dSzene.h"
#include "persistence/IniDatei.h"
#include "persistence/Plattform.h"
#include "tests/support/PngSchreiber.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using pavolant::IniDatei;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::TempOrdner;
namespace fs = std::filesystem;

struct Ergebnis {
    int code = -1;
    std::string aus, fehler;
};

#ifdef _WIN32
std::wstring Breit(const std::string& utf8) { return pavolant::PfadAusUtf8(utf8).native(); }

// One argument as the C runtime's command line parser reads it back: in quotes, with
// the backslashes before a quote doubled.
std::wstring Angefuehrt(const std::wstring& arg) {
    std::wstring ergebnis = L"\"";
    std::size_t striche = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++striche;
            continue;
        }
        ergebnis.append(c == L'"' ? 2 * striche + 1 : striche, L'\\');
        striche = 0;
        ergebnis += c;
    }
    ergebnis.append(2 * striche, L'\\');
    return ergebnis + L"\"";
}

// Text mode turns the program's "\n" into "\r\n" on Windows, as for every console
// program there; the expectations are written with "\n".
std::string OhneCr(std::string text) {
    std::string ergebnis;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) ergebnis += text[i];
    return ergebnis;
}

// The arguments are UTF-8 and reach the program through the wide command line.
Ergebnis Starten(const TempOrdner& o, std::vector<std::string> args) {
    SECURITY_ATTRIBUTES erben{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto oeffnen = [&](const char* name) {
        return CreateFileW((o / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &erben, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE aus = oeffnen("stdout"), fehler = oeffnen("stderr");
    std::wstring zeile = Angefuehrt(Breit(PAVOLANT_CLI));
    for (const std::string& a : args) zeile += L" " + Angefuehrt(Breit(a));
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = aus;
    start.hStdError = fehler;
    PROCESS_INFORMATION prozess{};
    Ergebnis e;
    const bool gestartet =
        CreateProcessW(nullptr, zeile.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &prozess);
    CloseHandle(aus);
    CloseHandle(fehler);
    if (!gestartet) return e;
    DWORD code = 0;
    if (WaitForSingleObject(prozess.hProcess, 120000) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(prozess.hProcess, &code))
        e = {static_cast<int>(code), OhneCr(DateiLesen(o / "stdout")), OhneCr(DateiLesen(o / "stderr"))};
    CloseHandle(prozess.hThread);
    CloseHandle(prozess.hProcess);
    return e;
}
#else
// The program with the given environment (the C locale when none is given).
Ergebnis Starten(const TempOrdner& o, std::vector<std::string> args,
                 std::vector<std::string> umgebung = {"LC_ALL=C"}) {
    const std::string aus = (o / "stdout").string(), fehler = (o / "stderr").string();
    posix_spawn_file_actions_t umleiten;
    posix_spawn_file_actions_init(&umleiten);
    posix_spawn_file_actions_addopen(&umleiten, 1, aus.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&umleiten, 2, fehler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), PAVOLANT_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : umgebung) envp.push_back(e.data());
    envp.push_back(nullptr);

    Ergebnis e;
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, PAVOLANT_CLI, &umleiten, nullptr, argv.data(), envp.data()) == 0 &&
        waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        e = {WEXITSTATUS(status), DateiLesen(aus), DateiLesen(fehler)};
    posix_spawn_file_actions_destroy(&umleiten);
    return e;
}
#endif

// Two points 10 m apart on a straight, level line, window texts otherwise.
constexpr const char* kGerade =
    "[Fahrbahn_Geo]\r\nBreite=7\r\nSchleppkurveErzeugen=0\r\nSturzErzeugen=0\r\n"
    "[Splines]\r\nAnzahl=2\r\n[SplinePts2]\r\nZ=10\r\n";
// A file without border sections has both borders on; these keys switch them off.
constexpr const char* kOhneRaender = "[Rand_rechts_Geo]\r\nenable1=0\r\n[Rand_links_Geo]\r\nenable1=0\r\n";
// The straight road, roadway only.
const std::string kZehnMeter = std::string(kGerade) + kOhneRaender;

// The worked example kept as golden files: the parameters of the window's start state
// with two points 10 m apart, and the document the editor receives, to the byte.
TEST(Kommandozeile, SchreibtDasBeispielByteFuerByte) {
    TempOrdner o;
    const std::string golden = std::string(PAVOLANT_SOURCE_DIR) + "/tests/golden/";
    const std::string a = (o / "beispiel.i3d").string();
    const Ergebnis e = Starten(o, {"-o", a, golden + "Beispiel.ini"});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_EQ(e.fehler, "");
    EXPECT_EQ(DateiLesen(a), DateiLesen(golden + "Beispiel.i3d"));
    EXPECT_NE(e.aus.find("Fahrbahn: 4 Vertices, 2 triangles\n"), std::string::npos);
}

// The same document written into a folder and under names with letters beyond ASCII
// (German, Greek, one outside the Basic Multilingual Plane), over an existing
// document: the golden bytes under the one name. A run that stops afterwards leaves
// that document as it is and nothing beside it.
TEST(Kommandozeile, DasBeispielUnterFremdenNamenErsetztDasAlteDokument) {
    using pavolant::PfadAusUtf8;
    using pavolant::Utf8;
    TempOrdner o;
    const fs::path golden = PfadAusUtf8(PAVOLANT_SOURCE_DIR) / "tests" / "golden";
    const fs::path ordner = o.Pfad() / PfadAusUtf8(
                                           "Stra\xC3\x9F"
                                           "en \xC3\x84rger \xCE\xB1\xCE\xB2");
    fs::create_directory(ordner);
    const std::string zielName = "D\xC3\xB6rfchen \xF0\x9F\x9B\xA3.i3d",
                      parameterName = "Beispiel \xC3\xBC.ini";
    const fs::path ziel = ordner / PfadAusUtf8(zielName), parameter = ordner / PfadAusUtf8(parameterName);
    fs::copy_file(golden / "Beispiel.ini", parameter);
    DateiSchreiben(ziel, "altes Dokument");

    const Ergebnis e = Starten(o, {"-o", Utf8(ziel), Utf8(parameter)});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_EQ(e.fehler, "");
    EXPECT_EQ(DateiLesen(ziel), DateiLesen(golden / "Beispiel.i3d"));
    EXPECT_EQ(pavolant::test::Eintraege(ordner), (std::vector<std::string>{parameterName, zielName}));

    // A number that is no number stops the run; the document from before stays whole.
    const std::string vorher = DateiLesen(ziel);
    const fs::path kaputt = ordner / PfadAusUtf8("kaputt \xC3\xA4.ini");
    DateiSchreiben(kaputt,
                   "[Fahrbahn_Geo]\r\nBreite=sieben\r\n[Splines]\r\nAnzahl=2\r\n[SplinePts2]\r\nZ=10\r\n");
    const Ergebnis f = Starten(o, {"-o", Utf8(ziel), Utf8(kaputt)});
    EXPECT_EQ(f.code, 1);
    EXPECT_NE(f.fehler.find("error: 'sieben' ist kein"), std::string::npos) << f.fehler;
    EXPECT_EQ(DateiLesen(ziel), vorher);
    EXPECT_EQ(pavolant::test::Eintraege(ordner),
              (std::vector<std::string>{parameterName, zielName, "kaputt \xC3\xA4.ini"}));

    // A missing parameter file is named as given, letters and all.
    const std::string fehlt = Utf8(ordner / PfadAusUtf8("fehlt \xCE\xB1.ini"));
    const Ergebnis g = Starten(o, {"-o", Utf8(ziel), fehlt});
    EXPECT_EQ(g.code, 1);
    EXPECT_EQ(g.fehler, "error: Die Datei " + fehlt + " existiert nicht\n");
    EXPECT_EQ(DateiLesen(ziel), vorher);
}

TEST(Kommandozeile, AufrufHilfeUndFehlendeDatei) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"--bogus", p}, {p, p}, {p, "-o"}, {"-o", a, "-o", a, p}}) {
        const Ergebnis e = Starten(o, args);
        EXPECT_EQ(e.code, 2) << args.size();
        EXPECT_NE(e.fehler.find("usage: pavolant-cli"), std::string::npos);
        EXPECT_EQ(e.aus, "");
    }
    const Ergebnis h = Starten(o, {p, "--help"});
    EXPECT_EQ(h.code, 0);
    EXPECT_EQ(
        h.aus.rfind("usage: pavolant-cli [--settings FILE] [--right-border FILE] [--left-border FILE]\n", 0),
        0u);
    EXPECT_EQ(h.fehler, "");

    const Ergebnis f = Starten(o, {"-o", a, (o / "fehlt.ini").string()});
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.fehler, "error: Die Datei " + (o / "fehlt.ini").string() + " existiert nicht\n");
    EXPECT_FALSE(fs::exists(a));
}

TEST(Kommandozeile, ZehnMeterBeispiel) {
    TempOrdner o;
    DateiSchreiben(o / "p.ini", kZehnMeter);
    const Ergebnis e = Starten(o, {"-o", (o / "a.i3d").string(), (o / "p.ini").string()});
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(e.fehler, "");
    EXPECT_EQ(e.aus,
              "Geometry:   Width = 7.0000  --  Schleppkurve = 0.0000\n"
              "Textur: Länge = 20.0000 - Start = 0.0000 - Ende = 1.0000\n"
              "TexturStart = -7.0000\n"
              "Spline  1-2: Fahrbahnlänge = 10.0000 m  --  mittlere Steigung = 0.0000°  --  "
              "minimale Steigung = 0.0000°   -  maximale Steigung = 0.0000°\n"
              "Gesamt-Fahrbahnlänge = 10.0000 m\n"
              "Textur: Längenkoordinate am Ende = -6.5000\n"
              "Textur: Längenkoordinate für die nächste Straße = 0.5000\n"
              "Fahrbahn: 4 Vertices, 2 triangles\n");
    EXPECT_EQ(DateiLesen(o / "a.i3d").rfind("<?xml", 0), 0u);
}

TEST(Kommandozeile, TexturstartUndGespeicherteParameter) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string();
    DateiSchreiben(p, kZehnMeter);
    // Options after the parameter file as well as before it.
    const Ergebnis e = Starten(
        o, {"--tex-start", "0.25", p, "--save-params", (o / "n.ini").string(), "-o", (o / "a.i3d").string()});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_NE(e.aus.find("TexturStart = -6.7500\n"), std::string::npos);
    const IniDatei naechste(o / "n.ini");
    EXPECT_EQ(naechste.LiesString("Fahrbahn_Textur", "TexL0", ""), "0.75");
    EXPECT_EQ(naechste.LiesString("SplinePts2", "Z", ""), "10");

    // Without a run the texture start is saved as typed.
    const Ergebnis s = Starten(o, {"--save-params", (o / "m.ini").string(), "--tex-start", "0,3", p});
    EXPECT_EQ(s.code, 0) << s.fehler;
    EXPECT_EQ(s.aus, "");
    EXPECT_EQ(IniDatei(o / "m.ini").LiesString("Fahrbahn_Textur", "TexL0", ""), "0,3");
}

TEST(Kommandozeile, WarnungenUndFehlerStoppen) {
    TempOrdner o;
    const std::string a = (o / "a.i3d").string(), n = (o / "n.ini").string();
    DateiSchreiben(o / "eins.ini", std::string("[Splines]\nAnzahl=1\n") + kOhneRaender);
    const Ergebnis e = Starten(o, {"-o", a, "--save-params", n, (o / "eins.ini").string()});
    EXPECT_EQ(e.code, 1);
    EXPECT_EQ(e.fehler, "warning: Zu wenig SplinePunkte\n");
    EXPECT_EQ(e.aus, "");
    EXPECT_FALSE(fs::exists(a));
    EXPECT_FALSE(fs::exists(n));  // no texture start to hand on

    DateiSchreiben(
        o / "breit.ini",
        std::string("[Fahrbahn_Geo]\nBreite=abc\n[Splines]\nAnzahl=2\n[SplinePts2]\nZ=10\n") + kOhneRaender);
    const Ergebnis f = Starten(o, {"-o", a, (o / "breit.ini").string()});
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.fehler, "error: 'abc' ist kein gültiger Gleitkommawert (Roadway - Geometry: Width)\n");
    EXPECT_FALSE(fs::exists(a));
}

TEST(Kommandozeile, UnspeicherbarerWinkelLaesstDasZielUnberuehrt) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), n = (o / "n.ini").string();
    // Loads (the degrees are finite), but its hundredths of a degree overflow.
    DateiSchreiben(
        p, std::string(kGerade) + "[Rand_rechts_Geo]\r\nenable1=1\r\nnSegments=1\r\nWinkel1=1e307\r\n");
    const std::string alt = "[Preferences]\r\nStrassenName=alt\r\n";
    DateiSchreiben(n, alt);
    const Ergebnis e = Starten(o, {"--save-params", n, p});
    EXPECT_EQ(e.code, 1);
    EXPECT_NE(e.fehler.find("\nerror: Rechter Rand, Segment 1, Winkel: 1E307° kann nicht gespeichert werden"),
              std::string::npos)
        << e.fehler;
    EXPECT_EQ(DateiLesen(n), alt);
}

// Both borders (one segment falling away at 30 degrees) and the fill on.
constexpr const char* kMitRaendern =
    "[Rand_rechts_Geo]\r\nenable1=1\r\nnSegments=1\r\nWinkel1=-30\r\n"
    "[Rand_rechts_Textur]\r\nFileName=kerb.dds\r\nEnde1=0.5\r\n"
    "[Rand_links_Geo]\r\nenable1=1\r\nnSegments=1\r\nWinkel1=-30\r\n"
    "[Rand_links_Textur]\r\nFileName=grass.dds\r\nEnde1=0.5\r\n"
    "[FuellFlaeche]\r\nerzeugen=1\r\nTextur=face.dds\r\n";

TEST(Kommandozeile, RaenderUndFuellflaeche) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a.i3d").string(), n = (o / "n.ini").string();
    DateiSchreiben(p, std::string(kGerade) + kMitRaendern);
    const Ergebnis e = Starten(o, {"-o", a, "--save-params", n, p});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_NE(e.aus.find("\nright border: "), std::string::npos);
    EXPECT_NE(e.aus.find("\nFüllfläche: "), std::string::npos);
    const std::string dokument = DateiLesen(a);
    EXPECT_NE(dokument.find("materialIds=\"11, 12, 13, 14, 14\""), std::string::npos);
    for (const char* datei : {"kerb.dds", "grass.dds", "face.dds"})
        EXPECT_NE(dokument.find(std::string("filename=\"") + datei + "\""), std::string::npos) << datei;

    const IniDatei gespeichert(n);
    EXPECT_EQ(gespeichert.LiesString("Rand_rechts_Geo", "enable1", ""), "1");
    EXPECT_EQ(gespeichert.LiesString("Rand_rechts_Geo", "Winkel1", ""), "-30");
    EXPECT_EQ(gespeichert.LiesString("Rand_links_Textur", "FileName", ""), "grass.dds");
    EXPECT_EQ(gespeichert.LiesString("FuellFlaeche", "erzeugen", ""), "1");
    EXPECT_EQ(gespeichert.LiesString("FuellFlaeche", "Textur", ""), "face.dds");

    // One border from another file: only that side changes.
    DateiSchreiben(o / "r.ini", kOhneRaender);
    const Ergebnis r = Starten(o, {"--right-border", (o / "r.ini").string(), "-o", a, p});
    EXPECT_EQ(r.code, 0) << r.fehler;
    EXPECT_EQ(r.aus.find("right border: "), std::string::npos);
    EXPECT_NE(r.aus.find("left border: "), std::string::npos);
    EXPECT_NE(DateiLesen(a).find("materialIds=\"11, 13\""), std::string::npos);
    const Ergebnis f = Starten(o, {"--left-border", (o / "fehlt.ini").string(), p});
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.fehler, "error: Die Datei " + (o / "fehlt.ini").string() + " existiert nicht\n");
}

// The level editor's export of the westby map, in the reference data beside the repository.
const fs::path kWestby = pavolant::test::Referenzordner() / "i3d" / "samples" / "westby_splines.i3d";

TEST(Kommandozeile, SplinePunkteAusDemEditor) {
    PAVOLANT_REFERENZ_NOETIG(kWestby);
    // The reference: the file's points as the model's own reader takes them.
    pavolant::test::AufzeichnenderMelder melder;
    pavolant::TSplinePunkte westby;
    int aktuell = 0;
    std::string quelle;
    LeseI3d(westby, aktuell, quelle, kWestby.string(), melder);
    ASSERT_EQ(westby.AnzahlPunkte(), 231);
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), n = (o / "n.ini").string();
    DateiSchreiben(p, kZehnMeter);  // two points of its own: the import comes after it
    const Ergebnis e = Starten(o, {"--splines", kWestby.string(), "--save-params", n, p});
    EXPECT_EQ(e.code, 0);
    // The import says what it read; 7 shapes carry a rotation, so orienting is not urged.
    EXPECT_EQ(e.fehler,
              "information: 231 points read from westby_splines.i3d; 37 of them at the same place as their "
              "predecessor (closer than 1 mm).\n");
    const IniDatei gespeichert(n);
    EXPECT_EQ(gespeichert.LiesInteger("Splines", "Anzahl", 0), 231);
    EXPECT_EQ(gespeichert.LiesString("Splines", "FileName", ""), kWestby.string());
    for (int k = 1; k <= 231; ++k) {
        const pavolant::TSplinePkt& r = *westby.Punkt(k - 1);
        std::vector<double> punkt;
        for (const char* schluessel : {"X", "Y", "Z", "Xrot", "Yrot", "Zrot"})
            punkt.push_back(gespeichert.LiesZahl("SplinePts" + std::to_string(k), schluessel, "nan"));
        ASSERT_EQ(punkt, (std::vector<double>{r.X, r.Y, r.Z, r.Xrot, r.Yrot, r.Zrot})) << k;
    }
    // The first shape as the file writes it: translation="-2183.49 219.752 -231.4".
    EXPECT_EQ(gespeichert.LiesString("SplinePts1", "Y", ""), "219.752");
}

// The same with a scene of our own (nested shapes), so the import runs in every clone.
TEST(Kommandozeile, SplinePunkteAusEigenerSzene) {
    const fs::path szene = pavolant::test::Testdaten("i3d") / "verschachtelt.i3d";
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), n = (o / "n.ini").string();
    DateiSchreiben(p, kZehnMeter);
    const Ergebnis e = Starten(o, {"--splines", szene.string(), "--save-params", n, p});
    EXPECT_EQ(e.code, 0);
    EXPECT_EQ(
        e.fehler,
        "information: 4 points read from verschachtelt.i3d; 0 of them at the same place as their predecessor "
        "(closer than 1 mm).\nSome shapes lie in groups that are moved, turned or scaled: their points are "
        "placed and turned as the scene puts them.\n");
    const IniDatei gespeichert(n);
    ASSERT_EQ(gespeichert.LiesInteger("Splines", "Anzahl", 0), 4);
    // Worked out by hand: "silo" turned by (-180 0 -180) is turned by 180 about Y, so
    // "ring" lands at silo - its x and z; ring's (-180 90 90) after silo's maps x to z,
    // y to -x and z to -y, which reads as (90 -90 0); "glied" lies 100 m out along the
    // group "kette" inside "ring", and its own (95 -90 0) after ring's reads as
    // (-85 0 -90). "silo" and "rohr" stand in the scene itself.
    const std::vector<std::vector<double>> erwartet = {
        {-11.5, 4.25, -22.75, -180, 0, -180},
        {-11.4375, 4.175, -23.4375, 90, -90, 0},
        {-11.4375 - 100, 4.175 - 100 + 0.0943838, -23.4375 + 100 + 4.12565e-9, -85, 0, -90},
        {7, 8, 9, 0, 0, 0}};
    for (int k = 1; k <= 4; ++k) {
        for (std::size_t i = 0; i < 6; ++i) {
            const char* schluessel[] = {"X", "Y", "Z", "Xrot", "Yrot", "Zrot"};
            EXPECT_NEAR(gespeichert.LiesZahl("SplinePts" + std::to_string(k), schluessel[i], "nan"),
                        erwartet[static_cast<std::size_t>(k - 1)][i], 1e-9)
                << k << " " << schluessel[i];
        }
    }
}

#ifndef _WIN32
// Validates with xmllint against the schema the editor's own files follow.
::testing::AssertionResult GegenSchemaGueltig(const std::string& datei) {
    const std::string schema = (pavolant::test::Referenzordner() / "i3d" / "i3d-1.6-as-written.xsd").string();
    const std::string befehl = "xmllint --noout --schema '" + schema + "' '" + datei + "' 2>&1";
    FILE* p = popen(befehl.c_str(), "r");
    if (!p) return ::testing::AssertionFailure() << "cannot run xmllint";
    std::string ausgabe;
    char puffer[512];
    while (std::fgets(puffer, sizeof puffer, p)) ausgabe += puffer;
    if (pclose(p) != 0) return ::testing::AssertionFailure() << ausgabe;
    return ::testing::AssertionSuccess();
}
#endif

// The saved points' six values, point by point.
std::vector<std::vector<double>> GespeichertePunkte(const std::string& datei) {
    const IniDatei ini(datei);
    std::vector<std::vector<double>> punkte;
    for (int k = 1; k <= ini.LiesInteger("Splines", "Anzahl", 0); ++k) {
        punkte.emplace_back();
        for (const char* schluessel : {"X", "Y", "Z", "Xrot", "Yrot", "Zrot"})
            punkte.back().push_back(ini.LiesZahl("SplinePts" + std::to_string(k), schluessel, "nan"));
    }
    return punkte;
}

// Markers as the editor exports them: positions only, on a 150 m bend 40 m apart, with
// copies of some and one marker straight above its predecessor.
std::string Markerszene() {
    std::string s = "<i3D>\n<Scene>\n";
    auto marker = [&s](double x, double y, double z) {
        s += "<Shape translation=\"" + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(z) +
             "\"/>\n";
    };
    for (int i = 0; i < 9; ++i) {
        const double t = 40.0 * i / 150;
        const double x = 150 * (1 - std::cos(t)), z = 150 * std::sin(t), y = 0.06 * 40 * i;
        marker(x, y, z);
        if (i == 2 || i == 5) marker(x, y, z);
        if (i == 6) marker(x, y + 5, z);
    }
    return s + "</Scene>\n</i3D>\n";
}

TEST(Kommandozeile, MarkerOhneDrehungBereinigtUndAusgerichtet) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a.i3d").string(), n = (o / "n.ini").string();
    const std::string szene = (o / "marker.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    DateiSchreiben(szene, Markerszene());

    // As imported, with headings of 0, the bend cannot be driven.
    const Ergebnis roh = Starten(o, {"-o", a, "--splines", szene, p});
    EXPECT_EQ(roh.code, 1);
    EXPECT_NE(
        roh.fehler.find("information: 12 points read from marker.i3d; 3 of them at the same place as their "
                        "predecessor (closer than 1 mm).\nNone carries a rotation"),
        std::string::npos)
        << roh.fehler;
    EXPECT_NE(roh.fehler.find("warning: SplinePunkte 3 und 4 nur 0 auseinander!"), std::string::npos)
        << roh.fehler;
    EXPECT_FALSE(fs::exists(a));

    // Cleaned up and oriented it can, whatever the order of the options.
    const Ergebnis e =
        Starten(o, {"--orient", "-o", a, "--save-params", n, "--splines", szene, "--drop-duplicates", p});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_NE(e.fehler.find("information: 3 points at the same place as their predecessor dropped.\n"),
              std::string::npos);
    EXPECT_EQ(e.fehler.find("warning:"), std::string::npos) << e.fehler;
    const std::vector<std::vector<double>> punkte = GespeichertePunkte(n);
    ASSERT_EQ(punkte.size(), 9u);
    // The scene holds the positions to 6 decimals; the climbing bend's chords cut it, so
    // the grade is met to within a tenth of a degree (see test_Punktlage).
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_NEAR(punkte[i][4], 40.0 * static_cast<double>(i) / 150 * 180 / std::numbers::pi, 0.01) << i;
        EXPECT_NEAR(punkte[i][3], -std::atan(0.06) * 180 / std::numbers::pi, 0.1) << i;
    }
    ASSERT_TRUE(fs::exists(a));
#ifdef _WIN32
    GTEST_SKIP() << "schema check with xmllint: Linux only (" << a << ")";
#else
    PAVOLANT_REFERENZ_NOETIG(pavolant::test::Referenzordner() / "i3d" / "i3d-1.6-as-written.xsd");
    EXPECT_TRUE(GegenSchemaGueltig(a));
#endif
}

TEST(Kommandozeile, WestbyBereinigtUndAusgerichtet) {
    PAVOLANT_REFERENZ_NOETIG(kWestby);
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), n = (o / "n.ini").string(), a = (o / "a.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    const Ergebnis e =
        Starten(o, {"--splines", kWestby.string(), "--drop-duplicates", "--orient", "--save-params", n, p});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_NE(e.fehler.find("information: 37 points at the same place as their predecessor dropped.\n"),
              std::string::npos);
    const std::vector<std::vector<double>> punkte = GespeichertePunkte(n);
    ASSERT_EQ(punkte.size(), 231u - 37u);
    int ausgerichtet = 0;
    for (std::size_t i = 1; i < punkte.size(); ++i) {
        EXPECT_GE(std::hypot(punkte[i][0] - punkte[i - 1][0], punkte[i][2] - punkte[i - 1][2]), 0.001) << i;
        ausgerichtet += punkte[i][4] != 0 ? 1 : 0;
    }
    EXPECT_GT(ausgerichtet, 180);

    // The scene is a traffic system, not one road: its markers run back and forth (14
    // times straight back to where they came from), which no heading lets the centre
    // line follow. The run stops with the centre line's message, and writes nothing.
    const Ergebnis r =
        Starten(o, {"--splines", kWestby.string(), "--drop-duplicates", "--orient", "-o", a, p});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.fehler.find(": Winkel am "), std::string::npos) << r.fehler;
    EXPECT_FALSE(fs::exists(a));
}

// Two splines in one scene: "nord" runs north 1000 m east of the origin, "sued" runs
// back south at x = 0, so together they turn round.
constexpr const char* kZweiSplines =
    "<i3D><Scene><TransformGroup name='splines'>\n"
    "<TransformGroup name='nord' translation='1000 0 0'>\n"
    "<Shape name='n1'/><Shape name='n2' translation='0 0 20'/><Shape name='n3' translation='0 0 40'/>\n"
    "</TransformGroup>\n"
    "<TransformGroup name='sued'><Shape name='s1' translation='0 0 40' rotation='0 180 0'/>"
    "<Shape name='s2' rotation='0 180 0'/></TransformGroup>\n"
    "</TransformGroup></Scene></i3D>\n";

// The points dropped onto a tilted plane of ground (a 16-bit PNG the test writes, 1 m a
// pixel, the height 30 + 0.04 x + 0.02 z metres) keep the clearance above it, the terrain
// is saved with the road, and the options' misuses are named.
TEST(Kommandozeile, PunkteAufDasGelaende) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), n = (o / "n.ini").string(), bild = (o / "T.png").string();
    DateiSchreiben(p, DateiLesen(fs::path(PAVOLANT_SOURCE_DIR) / "examples" / "Dorfstrasse.ini"));
    const int seite = 513;
    std::vector<std::uint16_t> werte(static_cast<std::size_t>(seite) * seite);
    for (int j = 0; j < seite; ++j)
        for (int i = 0; i < seite; ++i)
            werte[static_cast<std::size_t>(j) * seite + i] =
                static_cast<std::uint16_t>(30000 + 40 * (i - 256) + 20 * (j - 256));
    DateiSchreiben(bild, pavolant::test::PngDatei(seite, seite, werte));

    const Ergebnis e = Starten(o, {"--drape", "--clearance", "0.25", "--terrain", bild, "--height-scale",
                                   "65.535", "--units-per-pixel", "1", "--save-params", n, p});
    ASSERT_EQ(e.code, 0) << e.fehler;
    const std::vector<std::vector<double>> punkte = GespeichertePunkte(n);
    ASSERT_EQ(punkte.size(), 6u);
    // The image reaches 256 m from the origin; the last point (x = 300) lies beyond it.
    for (std::size_t k = 0; k < 5; ++k)
        EXPECT_NEAR(punkte[k][1], 30 + 0.04 * punkte[k][0] + 0.02 * punkte[k][2] + 0.25, 1e-9) << k;
    EXPECT_GT(punkte[5][0], 256);
    EXPECT_EQ(punkte[5][1], 1);
    EXPECT_NE(e.fehler.find("information: 1 point lies outside the terrain and keeps its height: 6"),
              std::string::npos)
        << e.fehler;
    const IniDatei gespeichert(n);
    EXPECT_EQ(gespeichert.LiesString("Terrain", "Datei", ""), bild);

    struct Fall {
        std::vector<std::string> argumente;
        int code;
        std::string im_text;
    } faelle[] = {
        {{"--terrain", bild, p}, 2, "'--height-scale' and '--units-per-pixel'"},
        {{"--height-scale", "2", p}, 2, "'--height-scale' needs '--terrain'"},
        {{"--drape", p}, 1, "'--drape' needs a terrain"},
        {{"--terrain", (o / "fehlt.png").string(), "--height-scale", "1", "--units-per-pixel", "1", p},
         1,
         "fehlt.png"},
        {{"--terrain", bild, "--height-scale", "-1", "--units-per-pixel", "1", p}, 1, "heightScale"},
    };
    for (const Fall& f : faelle) {
        const Ergebnis r = Starten(o, f.argumente);
        EXPECT_EQ(r.code, f.code) << r.fehler;
        EXPECT_NE(r.fehler.find(f.im_text), std::string::npos) << r.fehler;
    }
}

// The ground shaped under the draped example road: a new image of the same size, the road's
// pixels pressed to its surface less the depth, far pixels as they were, the masks beside
// it; the source is never the target, and the shaping's options need the shaping.
TEST(Kommandozeile, GelaendeFormenUndMasken) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), bild = (o / "T.png").string(),
                      neu = (o / "neu.png").string();
    DateiSchreiben(p, DateiLesen(fs::path(PAVOLANT_SOURCE_DIR) / "examples" / "Dorfstrasse.ini"));
    const int seite = 513;
    std::vector<std::uint16_t> werte(static_cast<std::size_t>(seite) * seite);
    for (int j = 0; j < seite; ++j)
        for (int i = 0; i < seite; ++i)
            werte[static_cast<std::size_t>(j) * seite + i] =
                static_cast<std::uint16_t>(30000 + 40 * (i - 256));
    DateiSchreiben(bild, pavolant::test::PngDatei(seite, seite, werte));
    const std::vector<std::string> gelaende = {"--terrain",         bild, "--height-scale", "65.535",
                                               "--units-per-pixel", "1"};
    auto mit = [&](std::vector<std::string> weitere) {
        std::vector<std::string> a = gelaende;
        a.insert(a.end(), weitere.begin(), weitere.end());
        a.push_back(p);
        return a;
    };

    const Ergebnis e = Starten(o, mit({"--drape", "--clearance", "0.5", "--shape-terrain", neu, "--depth",
                                       "0.25", "--mask-out", (o / "m").string()}));
    ASSERT_EQ(e.code, 0) << e.fehler;
    EXPECT_NE(e.aus.find("Terrain shaped into"), std::string::npos) << e.aus;
    const pavolant::Hoehenbildladung l =
        pavolant::HoehenbildLesen(pavolant::PfadAusUtf8(neu), std::uint64_t{1} << 30);
    ASSERT_TRUE(l.Fehler.empty()) << l.Fehler;
    ASSERT_EQ(l.Raster.Breite, seite);
    // Under the first point (the origin, draped 0.5 m above the ground at 30 m) the ground
    // is the road's surface less the depth: 0.25 m above where it was, 250 values.
    EXPECT_NEAR(l.Raster.Bei(256, 256), 30000 + 250, 2);
    EXPECT_EQ(l.Raster.Bei(0, 0), werte[0]);  // far from the road: as it was
    EXPECT_TRUE(fs::is_regular_file(o / "m_roadway.png"));
    EXPECT_TRUE(fs::is_regular_file(o / "m_borders.png"));

    struct Fall {
        std::vector<std::string> argumente;
        int code;
        std::string im_text;
    };
    const std::vector<Fall> faelle = {
        {mit({"--shape-terrain", bild}), 1, "the terrain's source"},
        {mit({"--shape-terrain", neu, "--raise-only", "--lower-only"}), 2, "exclude each other"},
        {mit({"--depth", "1"}), 2, "need '--shape-terrain OUT.png'"},
        {{"--shape-terrain", neu, p}, 1, "'--shape-terrain' needs a terrain"},
        {mit({"--shape-terrain", (o / "fehlt" / "x.png").string()}), 1, "x.png"},
    };
    for (const Fall& f : faelle) {
        const Ergebnis r = Starten(o, f.argumente);
        EXPECT_EQ(r.code, f.code) << r.fehler;
        EXPECT_NE(r.fehler.find(f.im_text), std::string::npos) << r.fehler;
    }
    EXPECT_EQ(DateiLesen(bild), pavolant::test::PngDatei(seite, seite, werte));  // the source untouched
}

TEST(Kommandozeile, GruppeOderShapesWaehlenAus) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), n = (o / "n.ini").string(), szene = (o / "s.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    DateiSchreiben(szene, kZweiSplines);
    const struct {
        std::vector<std::string> wahl;
        int code;
        std::vector<double> x;  // X of the points saved
        std::string fehler;     // the last line of standard error
    } faelle[] = {
        {{"--group", "sued"}, 0, {0, 0}, ""},
        {{"--group", "nord"}, 0, {1000, 1000, 1000}, ""},
        {{"--shapes", "3-4"}, 0, {1000, 0}, ""},
        {{"--group", "n1"}, 1, {}, "error: The scene of " + szene + " has no group named 'n1'"},
        {{"--shapes", "4-9"}, 1, {}, "error: " + szene + " has no shapes 4 to 9: its scene holds 5 shapes"},
    };
    for (const auto& fall : faelle) {
        fs::remove(n);
        std::vector<std::string> args = {"--splines", szene, "--save-params", n, p};
        args.insert(args.begin(), fall.wahl.begin(), fall.wahl.end());
        const Ergebnis e = Starten(o, args);
        SCOPED_TRACE(fall.wahl[1]);
        EXPECT_EQ(e.code, fall.code) << e.fehler;
        if (fall.code != 0) {
            EXPECT_EQ(e.fehler.substr(e.fehler.rfind('\n', e.fehler.size() - 2) + 1), fall.fehler + "\n");
            EXPECT_FALSE(fs::exists(n));
            continue;
        }
        std::vector<double> x;
        for (const auto& punkt : GespeichertePunkte(n)) x.push_back(punkt[0]);
        EXPECT_EQ(x, fall.x);
    }
    // Wrong usage: a range that is none, an option without the import, both at once.
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--splines", szene, "--shapes", "3", p},
                                               {"--splines", szene, "--shapes", "0-2", p},
                                               {"--splines", szene, "--shapes", "4-2", p},
                                               {"--group", "nord", p},
                                               {"--splines", szene, "--group", "a", "--shapes", "1-2", p},
                                               {"--splines", szene, "--group", "a", "--group", "b", p}})
        EXPECT_EQ(Starten(o, args).code, 2) << args[2];
}

// A run that stops on a point says which option mends it.
TEST(Kommandozeile, HaltAnEinemPunktNenntDieAbhilfe) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a.i3d").string(), szene = (o / "s.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    DateiSchreiben(szene, kZweiSplines);
    DateiSchreiben(o / "doppelt.i3d",
                   "<i3D><Scene><Shape/><Shape/><Shape translation='0 0 30'/></Scene></i3D>");
    const struct {
        std::vector<std::string> args;
        std::string abhilfe;
    } faelle[] = {
        {{"--splines", szene},
         "information: An angle too large: --orient turns every point along the road; if the scene holds "
         "several "
         "splines, --group NAME or --shapes FIRST-LAST takes one of them.\n"},
        {{"--splines", szene, "--shapes", "1-4"},
         "information: An angle too large: --orient turns every point along the road.\n"},
        {{"--splines", (o / "doppelt.i3d").string()},
         "information: Points on the same spot as their predecessor: --drop-duplicates drops them.\n"},
    };
    for (const auto& fall : faelle) {
        std::vector<std::string> args = fall.args;
        for (const std::string& w : {std::string("-o"), a, p}) args.push_back(w);
        const Ergebnis e = Starten(o, args);
        EXPECT_EQ(e.code, 1);
        ASSERT_GE(e.fehler.size(), fall.abhilfe.size());
        EXPECT_EQ(e.fehler.substr(e.fehler.size() - fall.abhilfe.size()), fall.abhilfe) << e.fehler;
        EXPECT_FALSE(fs::exists(a));
    }
    // The whole scene with the same points in one group and --group: no stop.
    EXPECT_EQ(Starten(o, {"--splines", szene, "--group", "nord", "-o", a, p}).code, 0);
}

TEST(Kommandozeile, ImportiertePunkteFahrenUndFehlerStoppen) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a.i3d").string(), n = (o / "n.ini").string();
    DateiSchreiben(p, kZehnMeter);
    // 25 m instead of the parameter file's 10 m.
    DateiSchreiben(o / "gerade.i3d",
                   "<Scene>\n<Shape translation=\"0 0 0\"/>\n<Shape translation=\"0 0 25\"/>\n"
                   "</Scene>\n");
    const Ergebnis e = Starten(o, {"-o", a, "--splines", (o / "gerade.i3d").string(), p});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_NE(e.aus.find("Gesamt-Fahrbahnlänge = 25.0000 m\n"), std::string::npos) << e.aus;

    // Unreadable, no scene (nothing imported), a bad number: no run, no save.
    const std::string fehlt = (o / "fehlt.i3d").string(), ohne = (o / "ohne.i3d").string();
    DateiSchreiben(ohne, "<Shape translation=\"0 0 25\"/>\n");
    DateiSchreiben(o / "x.i3d", "<Scene>\n<Shape translation=\"0 0 x\"/>\n</Scene>\n");
    for (const auto& [datei, meldung] :
         {std::pair{fehlt,
                    "error: Die Datei " + fehlt + " kann nicht gelesen werden: No such file or directory\n"},
          std::pair{ohne, "information: In " + ohne +
                              " fehlt \"<Scene>\"; die SplinePunkte bleiben unverändert.\n"},
          std::pair{(o / "x.i3d").string(), "error: " + (o / "x.i3d").string() +
                                                ", line 2: 'x' ist kein gültiger Gleitkommawert\n"}}) {
        const Ergebnis r = Starten(o, {"-o", a, "--save-params", n, "--splines", datei, p});
        EXPECT_EQ(r.code, 1) << datei;
        EXPECT_EQ(r.fehler, meldung);
        EXPECT_EQ(r.aus, "");
        EXPECT_FALSE(fs::exists(n));
    }
}

// A bend: the fineness settings decide how finely it is cut.
const std::string kBogen = std::string(
                               "[Fahrbahn_Geo]\r\nBreite=7\r\nSchleppkurveErzeugen=0\r\nSturzErzeugen=0\r\n"
                               "[Splines]\r\nAnzahl=2\r\n[SplinePts2]\r\nX=10\r\nZ=30\r\nYrot=45\r\n") +
                           kOhneRaender;
constexpr const char* kFein = "[Preferences]\r\nminLaenge=0.1\r\nminWinkel=0.5\r\n";

TEST(Kommandozeile, EinstellungsdateiUnterDerParameterdatei) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), s = (o / "s.ini").string(), a = (o / "a.i3d").string();
    DateiSchreiben(p, kBogen);
    DateiSchreiben(s, kFein);
    DateiSchreiben(o / "fein.ini", kBogen + kFein);
    const Ergebnis ohne = Starten(o, {"-o", a, "--save-params", (o / "n1.ini").string(), p});
    const Ergebnis mit = Starten(o, {"--settings", s, "-o", a, "--save-params", (o / "n2.ini").string(), p});
    const Ergebnis fein = Starten(o, {"-o", a, (o / "fein.ini").string()});
    EXPECT_EQ(mit.code, 0);
    EXPECT_EQ(mit.fehler, "");
    // The same values in the parameter file cut the bend differently, but the parameter
    // file is loaded after the settings file and sets all six settings again.
    ASSERT_NE(fein.aus, ohne.aus);
    EXPECT_EQ(mit.aus, ohne.aus);
    EXPECT_EQ(DateiLesen(o / "n2.ini"), DateiLesen(o / "n1.ini"));
    EXPECT_EQ(DateiLesen(s), kFein);  // read, never written back

    DateiSchreiben(o / "schlecht.ini", "[Preferences]\r\nminWinkel=abc\r\n");
    const std::string fehlt = (o / "fehlt.ini").string();
    for (const auto& [datei, meldung] :
         {std::pair{(o / "schlecht.ini").string(),
                    "error: " + (o / "schlecht.ini").string() +
                        " [Preferences] minWinkel: 'abc' ist kein gültiger Gleitkommawert\n"},
          std::pair{fehlt, "error: Die Datei " + fehlt + " existiert nicht\n"}}) {
        fs::remove(a);
        const Ergebnis r = Starten(o, {"--settings", datei, "-o", a, p});
        EXPECT_EQ(r.code, 1) << datei;
        EXPECT_EQ(r.fehler, meldung);
        EXPECT_FALSE(fs::exists(a));
    }
}

#ifndef _WIN32  // signals, FIFOs and a preloaded library
// ---- Interrupted writes -----------------------------------------------------------------

// A program held where its document is complete in the temporary file (see
// support/Anhalten.cpp): its process and the temporary file's path.
struct Angehalten {
    pid_t pid = -1;
    std::string temp;
};

// Starts `programm` with the holding library preloaded and waits until it holds.
// Nothing when the program ended first (or, as a guard against a hang, after two
// minutes; nothing here measures time).
std::optional<Angehalten> StartenUndAnhalten(const TempOrdner& o, const char* programm,
                                             std::vector<std::string> args,
                                             std::vector<std::string> umgebung) {
    const std::string fifo = (o / "halt").string();
    if (mkfifo(fifo.c_str(), 0600) != 0) return std::nullopt;
    const int lesen = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (lesen < 0) return std::nullopt;
    const std::string aus = (o / "stdout").string(), fehler = (o / "stderr").string();
    posix_spawn_file_actions_t umleiten;
    posix_spawn_file_actions_init(&umleiten);
    posix_spawn_file_actions_addopen(&umleiten, 1, aus.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&umleiten, 2, fehler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), programm);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    umgebung.push_back("LC_ALL=C");
    umgebung.push_back(std::string("LD_PRELOAD=") + PAVOLANT_ANHALTEN);
    umgebung.push_back("PAVOLANT_TEST_ANHALTEN=" + fifo);
    umgebung.push_back("ASAN_OPTIONS=verify_asan_link_order=0");  // the library comes before the sanitizer's
    std::vector<char*> envp;
    for (std::string& e : umgebung) envp.push_back(e.data());
    envp.push_back(nullptr);

    Angehalten a;
    const bool gestartet = posix_spawn(&a.pid, programm, &umleiten, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&umleiten);
    const auto ende = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (gestartet && a.temp.empty() && std::chrono::steady_clock::now() < ende) {
        pollfd p{lesen, POLLIN, 0};
        if (poll(&p, 1, 200) > 0 && (p.revents & POLLIN)) {
            char puffer[4096];
            const ssize_t n = read(lesen, puffer, sizeof puffer);
            if (n > 0) a.temp.assign(puffer, static_cast<std::size_t>(n));
        } else if (int status = 0; waitpid(a.pid, &status, WNOHANG) == a.pid) {
            break;
        }
    }
    close(lesen);
    if (gestartet && a.temp.empty()) {
        kill(a.pid, SIGKILL);
        waitpid(a.pid, nullptr, 0);
    }
    if (a.temp.empty()) return std::nullopt;
    return a;
}

// The signal's number when it ended the process, -1 otherwise.
int Beenden(pid_t pid, int signal) {
    int status = 0;
    if (kill(pid, signal) != 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST(Kommandozeile, InterruptedWhileWritingItLeavesNoTemporaryFileAndTheOldDocument) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempOrdner o;
        DateiSchreiben(o / "p.ini", kZehnMeter);
        DateiSchreiben(o / "a.i3d", "alt");
        const std::optional<Angehalten> a =
            StartenUndAnhalten(o, PAVOLANT_CLI, {"-o", (o / "a.i3d").string(), (o / "p.ini").string()}, {});
        ASSERT_TRUE(a) << "the command line did not reach its document's completion: "
                       << DateiLesen(o / "stderr");
        // Held with the whole document in the temporary file, the target untouched.
        EXPECT_EQ(fs::path(a->temp).parent_path(), o.Pfad());
        EXPECT_EQ(DateiLesen(a->temp).rfind("<?xml", 0), 0u);
        EXPECT_EQ(DateiLesen(o / "a.i3d"), "alt");

        EXPECT_EQ(Beenden(a->pid, signal), signal);
        EXPECT_FALSE(fs::exists(a->temp)) << signal;
        EXPECT_EQ(pavolant::test::Eintraege(o.Pfad()),
                  (std::vector<std::string>{"a.i3d", "halt", "p.ini", "stderr", "stdout"}));
        EXPECT_EQ(DateiLesen(o / "a.i3d"), "alt");
    }
}

// A temporary file that a killed writer left behind goes with the next write to its
// target; the file of a live writer stays.
TEST(Kommandozeile, TheNextWriteRemovesTheLeftoverOfAKilledRun) {
    TempOrdner o;
    DateiSchreiben(o / "p.ini", kZehnMeter);
    DateiSchreiben(o / "a.i3d", "alt");
    const std::optional<Angehalten> a =
        StartenUndAnhalten(o, PAVOLANT_CLI, {"-o", (o / "a.i3d").string(), (o / "p.ini").string()}, {});
    ASSERT_TRUE(a);
    const std::string lebend = (o / (".a.i3d." + std::to_string(getpid()) + ".abcdef")).string();
    DateiSchreiben(lebend, "x");
    EXPECT_EQ(Beenden(a->pid, SIGKILL), SIGKILL);
    EXPECT_TRUE(fs::exists(a->temp));  // nothing can clean up after SIGKILL

    const Ergebnis e = Starten(o, {"-o", (o / "a.i3d").string(), (o / "p.ini").string()});
    EXPECT_EQ(e.code, 0) << e.fehler;
    EXPECT_FALSE(fs::exists(a->temp));
    EXPECT_TRUE(fs::exists(lebend));
    EXPECT_EQ(DateiLesen(o / "a.i3d").rfind("<?xml", 0), 0u);
}

#ifdef PAVOLANT_TOUR
// The main window interrupted while it writes, reached through the screenshot tour, which
// starts it as the desktop program does (the signals caught first) and generates into a
// temporary folder.
TEST(Desktop, InterruptedWhileWritingItLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempOrdner o;
        DateiSchreiben(o / "p.ini", kZehnMeter);
        fs::create_directory(o / "bilder");
        const std::optional<Angehalten> a =
            StartenUndAnhalten(o, PAVOLANT_TOUR, {(o / "bilder").string(), (o / "p.ini").string()},
                               {"QT_QPA_PLATFORM=offscreen", "HOME=" + o.Pfad().string()});
        ASSERT_TRUE(a) << "the screenshot tour did not reach its document's completion: "
                       << DateiLesen(o / "stderr");
        EXPECT_EQ(DateiLesen(a->temp).rfind("<?xml", 0), 0u);
        EXPECT_EQ(Beenden(a->pid, signal), signal);
        EXPECT_FALSE(fs::exists(a->temp)) << signal;
        // The tour's own temporary folder stays (Qt cannot remove it when killed); empty.
        const fs::path ablage = fs::path(a->temp).parent_path();
        EXPECT_TRUE(pavolant::test::Eintraege(ablage).empty());
        std::error_code ec;
        fs::remove_all(ablage, ec);
    }
}
#endif

#ifdef PAVOLANT_DESKTOP
// The shipped program carries no screenshot tour: the tour's option is refused before a
// window opens, and nothing is generated or pictured.
TEST(Desktop, HasNoScreenshotTour) {
    TempOrdner o;
    DateiSchreiben(o / "p.ini", kZehnMeter);
    fs::create_directory(o / "bilder");
    const std::optional<Angehalten> a = StartenUndAnhalten(
        o, PAVOLANT_DESKTOP, {"--screenshots", (o / "bilder").string(), (o / "p.ini").string()},
        {"QT_QPA_PLATFORM=offscreen", "HOME=" + o.Pfad().string()});
    if (a) {
        Beenden(a->pid, SIGKILL);
        fs::remove(a->temp);
    }
    EXPECT_FALSE(a) << "the desktop program generated a document";
    EXPECT_NE(DateiLesen(o / "stderr").find("pavolant: unexpected argument '--screenshots'"),
              std::string::npos)
        << DateiLesen(o / "stderr");
    EXPECT_TRUE(pavolant::test::Eintraege(o / "bilder").empty());
}
#endif

}  // namespace

namespace {

#endif

// A file that holds no road, or not the border asked for, stops the command line before
// anything is written.
TEST(Kommandozeile, KeineStrassenparameterStoppen) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    DateiSchreiben(o / "muell.ini", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    DateiSchreiben(o / "Pavolant.ini", "[Preferences]\r\nminLaenge=2\r\n");
    for (const char* name : {"muell.ini", "Pavolant.ini"}) {
        const std::string datei = (o / name).string();
        const Ergebnis e = Starten(o, {"-o", a, datei});
        EXPECT_EQ(e.code, 1) << name;
        EXPECT_NE(e.fehler.find("error: Die Datei " + datei), std::string::npos) << e.fehler;
        EXPECT_FALSE(fs::exists(a)) << name;
    }
    const std::string g = (o / "gerade.ini").string();
    DateiSchreiben(g, kGerade);
    const Ergebnis r = Starten(o, {"--left-border", g, "-o", a, p});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.fehler, "error: Die Datei " + g + " enthält keinen linken Rand; nichts wurde geändert\n");
    EXPECT_FALSE(fs::exists(a));
}

}  // namespace

namespace {

// An output that is an input or the other output, however spelt, destroys nothing: the
// command stops before it writes.
TEST(Kommandozeile, AusgabeGleichEingabeWirdAbgelehnt) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "x.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    fs::create_directory(o / "u");
    const std::string umweg = (o / "u" / ".." / "p.ini").string();
    fs::create_hard_link(p, o / "hart.ini");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-o", p, p},
                                                 {"-o", umweg, p},
                                                 {"-o", (o / "hart.ini").string(), p},
                                                 {"-o", a, "--save-params", a, p},
                                                 {"--splines", a, "--save-params", a, p}}) {
        const std::string vorher = DateiLesen(p);
        const Ergebnis e = Starten(o, args);
        EXPECT_EQ(e.code, 2) << args[1];
        EXPECT_NE(e.fehler.find("name the same file; nothing was written"), std::string::npos) << e.fehler;
        EXPECT_EQ(DateiLesen(p), vorher);
        EXPECT_FALSE(fs::exists(a));
    }
    // Saving back into the parameter file it came from is "Save", and stays allowed.
    EXPECT_EQ(Starten(o, {"--save-params", p, p}).code, 0);
}

// A parameter save never appends INI sections to a file that is no INI text, and no
// file marked read-only is replaced.
TEST(Kommandozeile, KeineParameterInFremdeOderGeschuetzteDateien) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string();
    DateiSchreiben(p, kZehnMeter);
    const std::vector<std::pair<std::string, std::string>> fremde = {
        {"doc.i3d", "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<i3D name=\"x\"/>\r\n"},
        {"bild.ini", std::string("\x89PNG\r\n\x1a\n\0\0", 10)},
        {"text.ini", "just some notes\nwithout any section\n"}};
    for (const auto& [name, inhalt] : fremde) {
        DateiSchreiben(o / name, inhalt);
        const Ergebnis e = Starten(o, {"--save-params", (o / name).string(), p});
        EXPECT_EQ(e.code, 1) << name;
        EXPECT_NE(e.fehler.find("ist keine Parameterdatei und wird nicht überschrieben"), std::string::npos)
            << e.fehler;
        EXPECT_EQ(DateiLesen(o / name), inhalt) << name;
    }
    const std::string a = (o / "fest.i3d").string();
    DateiSchreiben(a, "alt");
    fs::permissions(a, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Ergebnis e = Starten(o, {"-o", a, p});
    EXPECT_EQ(e.code, 1);
    EXPECT_EQ(e.fehler, "error: In " + a + " kann nicht geschrieben werden: Permission denied\n");
    EXPECT_EQ(DateiLesen(a), "alt");
}

TEST(Kommandozeile, MeldungenNennenDateiSchluesselUndGrund) {
    TempOrdner o;
    // A conversion error while loading names the file, the section and the key.
    const std::string p = (o / "Dorf.ini").string();
    DateiSchreiben(p,
                   kZehnMeter + "[Fahrbahn_Textur]\r\nFileName=a.dds\r\n[Preferences]\r\nmaxSturz=steil\r\n");
    const Ergebnis d = Starten(o, {"-o", (o / "a.i3d").string(), p});
    EXPECT_EQ(d.code, 1);
    EXPECT_EQ(d.fehler,
              "error: " + p + " [Preferences] maxSturz: 'steil' ist kein gültiger Gleitkommawert\n");
    // A NUL byte in a value does not cut the message (a parameter file with one is no
    // text and refused whole; a settings file is read).
    const std::string s = (o / "s.ini").string();
    std::string mitNull = "[Preferences]\r\nminLaenge=1";
    mitNull += '\0';
    mitNull += "x\r\n";
    DateiSchreiben(s, mitNull);
    const Ergebnis e = Starten(o, {"--settings", s, "-o", (o / "a.i3d").string(), p});
    EXPECT_EQ(e.code, 1);
    EXPECT_EQ(e.fehler,
              "error: " + s + " [Preferences] minLaenge: '1\\x00x' ist kein gültiger Gleitkommawert\n");
    EXPECT_FALSE(fs::exists(o / "a.i3d"));

    // Saving onto a folder: the folder cannot be written, whatever reading it says.
    DateiSchreiben(p, kZehnMeter);
    const Ergebnis f = Starten(o, {"--save-params", o.Pfad().string(), p});
    EXPECT_EQ(f.code, 1);
    EXPECT_EQ(f.fehler,
              "error: In " + o.Pfad().string() + " kann nicht geschrieben werden: Is a directory\n");
}

TEST(Kommandozeile, SpeichergrenzeStopptVorDerDatei) {
    TempOrdner o;
    // A 1 KB file that asks for a road of 1,000 km with a border of 40 segments.
    std::string ini =
        "[Fahrbahn_Geo]\r\nBreite=7\r\n[Splines]\r\nAnzahl=2\r\n[SplinePts2]\r\nZ=1000000\r\n"
        "[Rand_links_Geo]\r\nenable1=0\r\n[Rand_rechts_Geo]\r\nenable1=1\r\nnSegments=41\r\n";
    for (int k = 1; k <= 40; ++k) ini += "Breite" + std::to_string(k) + "=0,1\r\n";
    const std::string p = (o / "riesig.ini").string(), a = (o / "a.i3d").string();
    DateiSchreiben(p, ini);
    DateiSchreiben(a, "alt");
    const Ergebnis e = Starten(o, {"--max-memory", "64M", "-o", a, p});
    EXPECT_EQ(e.code, 1);
    EXPECT_NE(e.fehler.find("\nwarning: Die Straße bräuchte bis zu "), std::string::npos) << e.fehler;
    EXPECT_NE(e.fehler.find("mehr als die Grenze von 64 MB; nichts wurde geschrieben."), std::string::npos)
        << e.fehler;
    EXPECT_EQ(DateiLesen(a), "alt");
    EXPECT_EQ(pavolant::test::Eintraege(o.Pfad()),
              (std::vector<std::string>{"a.i3d", "riesig.ini", "stderr", "stdout"}));

    // The settings file's key sets it too; the option wins over it.
    DateiSchreiben(o / "s.ini", "[Preferences]\r\nmaxSpeicherMB=32\r\n");
    const Ergebnis s = Starten(o, {"--settings", (o / "s.ini").string(), "-o", a, p});
    EXPECT_NE(s.fehler.find("mehr als die Grenze von 32 MB"), std::string::npos) << s.fehler;
    const Ergebnis beide =
        Starten(o, {"--settings", (o / "s.ini").string(), "--max-memory", "0.0625g", "-o", a, p});
    EXPECT_NE(beide.fehler.find("mehr als die Grenze von 64 MB"), std::string::npos) << beide.fehler;

    for (const std::string falsch : {"", "0", "8X", "1.2.3", "-5M", "G", "99999999999T"}) {
        const Ergebnis f = Starten(o, {"--max-memory", falsch, "-o", a, p});
        EXPECT_EQ(f.code, 2) << falsch;
        EXPECT_NE(f.fehler.find("option '--max-memory' needs a size such as 8G or 500M"), std::string::npos)
            << falsch;
    }
    EXPECT_EQ(DateiLesen(a), "alt");

    // The ten-metre road fits in a megabyte.
    DateiSchreiben(p, kZehnMeter);
    EXPECT_EQ(Starten(o, {"--max-memory", "1MiB", "-o", a, p}).code, 0);
}

TEST(Kommandozeile, ZwanzigtausendWarnungenWerdenZwanzigJeArtUndEineZeile) {
    TempOrdner o;
    // Both borders at their most segments, none with a width or a texture step: two
    // warnings per segment on loading, about 40,000 in all, of four kinds.
    std::string ini = kGerade;
    for (const char* seite : {"rechts", "links"}) {
        ini += std::string("[Rand_") + seite + "_Geo]\r\nenable1=1\r\nnSegments=10000\r\n";
        for (int k = 1; k < 10000; ++k) ini += "Breite" + std::to_string(k) + "=0\r\n";
    }
    const std::string p = (o / "p.ini").string();
    DateiSchreiben(p, ini);
    const Ergebnis e = Starten(o, {p});
    EXPECT_EQ(e.code, 0);
    std::vector<std::string> zeilen;
    std::istringstream s(e.fehler);
    for (std::string z; std::getline(s, z);) zeilen.push_back(z);
    // Four kinds of 21 lines, and the line that nothing was written.
    ASSERT_EQ(zeilen.size(), 4u * 21u + 1u) << e.fehler.substr(0, 3000);
    EXPECT_EQ(zeilen.back(),
              "information: Nothing was written: no output file was given (-o OUT.i3d), so the road "
              "was only loaded and checked.");
    const std::string laenge = "right Border: BorderPoint1: Length is smaller than 1mm! Are you sure?";
    EXPECT_EQ(zeilen[0], "warning: " + laenge);
    EXPECT_EQ(
        std::count(zeilen.begin(), zeilen.end(),
                   "information: 9979 weitere Meldungen wie \"" + laenge + "\" wurden nicht angezeigt."),
        1);
    EXPECT_EQ(std::count_if(zeilen.begin(), zeilen.end(),
                            [](const std::string& z) { return z.rfind("information: 99", 0) == 0; }),
              4);
}

// Each usage error reads as one line before the usage text, with the option or file
// that caused it in its place; a "%1" or "%2" in an argument is the user's text, never
// a placeholder to fill.
TEST(Kommandozeile, AufruffehlerNennenDasArgumentWoertlich) {
    TempOrdner o;
    const std::string p = (o / "p.ini").string(), a = (o / "a%2.i3d").string();
    DateiSchreiben(p, kZehnMeter);
    const std::string aufruf = Starten(o, {"--help"}).aus;
    ASSERT_EQ(aufruf.rfind("usage: pavolant-cli", 0), 0u);
    const std::vector<std::pair<std::vector<std::string>, std::string>> faelle = {
        {{}, "no parameter file given"},
        {{p, p}, "exactly one parameter file expected"},
        {{"--bogus%1", p}, "unknown option '--bogus%1'"},
        {{p, "--tex-start"}, "option '--tex-start' needs a value"},
        {{p, "--max-memory"}, "option '--max-memory' needs a value"},
        {{"--max-memory", "8%1", p}, "option '--max-memory' needs a size such as 8G or 500M, not '8%1'"},
        {{"--max-memory", "1G", "--max-memory", "2G", p}, "option '--max-memory' given twice"},
        {{"--orient", "--orient", p}, "option '--orient' given twice"},
        {{"-o", a, "-o", a, p}, "option '-o' given twice"},
        {{"-o", p, p}, "'-o " + p + "' and 'PARAMS.ini " + p + "' name the same file; nothing was written"},
        {{"--splines", a, "--save-params", a, p},
         "'--save-params " + a + "' and '--splines " + a + "' name the same file; nothing was written"},
    };
    for (const auto& [args, grund] : faelle) {
        const Ergebnis e = Starten(o, args);
        EXPECT_EQ(e.code, 2) << grund;
        EXPECT_EQ(e.fehler, "pavolant-cli: " + grund + "\n\n" + aufruf);
        EXPECT_EQ(e.aus, "");
    }
    EXPECT_FALSE(fs::exists(a));
}

#ifndef _WIN32
// ---- The language of the messages ----------------------------------------------------------

// Words that give a text away as German or as English; units, file names and proper
// nouns (Pavolant, i3d, TexL0) are not among them. English must also hold no umlaut.
const std::vector<std::string> kDeutscheWoerter = {
    "der",     "die",      "das",    "ist",   "nicht", "und",    "wurde",    "kein",
    "Datei",   "Fahrbahn", "Textur", "Länge", "Punkt", "Gesamt", "Steigung", "Fehler",
    "Warnung", "Hinweis",  "ä",      "ö",     "ü",     "ß"};
const std::vector<std::string> kEnglischeWoerter = {
    "the",  "The",  "is",     "not",    "and",  "of",   "warning", "error",   "information", "triangles",
    "road", "Road", "length", "Length", "file", "File", "usage",   "Texture", "slope"};

// The words of `woerter` that `text` holds as whole words (letters and the bytes of
// letters beyond ASCII between anything else), for the failure message; the umlauts
// also inside a word.
std::string Gefunden(const std::string& text, const std::vector<std::string>& woerter) {
    std::vector<std::string> imText;
    std::string wort;
    for (const char c : text + " ") {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalpha(b) || b >= 0x80) {
            wort += c;
        } else if (!wort.empty()) {
            imText.push_back(wort);
            wort.clear();
        }
    }
    std::string gefunden;
    for (const std::string& w : woerter) {
        const bool zeichen = w.size() == 2 && static_cast<unsigned char>(w[0]) >= 0x80;  // one umlaut
        if (zeichen ? text.find(w) != std::string::npos
                    : std::find(imText.begin(), imText.end(), w) != imText.end())
            gefunden += "'" + w + "' ";
    }
    return gefunden;
}

// The catalogs lie beside the programs in the build folder; without msgfmt at build
// time there are none, and the program rightly speaks the texts as they are.
bool KatalogeGebaut() {
    return fs::exists(fs::path(PAVOLANT_CLI).parent_path().parent_path() / "locale" / "de" / "LC_MESSAGES" /
                      "pavolant.mo");
}

// The same road and the same broken file under English, German and the C locale: the
// documents are the same bytes, only the words around them change, each language
// without a word of the other, the C locale with the texts as they always were.
TEST(Sprachen, DieMeldungenSprechenEineSpracheDieDokumenteKeine) {
    if (!KatalogeGebaut()) {
        if (pavolant::test::ImCi()) FAIL() << "the catalogs were not built (msgfmt missing?)";
        GTEST_SKIP() << "the message catalogs were not built (msgfmt missing)";
    }
    TempOrdner o;
    const std::string golden = std::string(PAVOLANT_SOURCE_DIR) + "/tests/golden/";
    const std::string kaputt = (o / "kaputt.ini").string();
    DateiSchreiben(kaputt,
                   "[Fahrbahn_Geo]\r\nBreite=sieben\r\n[Splines]\r\nAnzahl=2\r\n[SplinePts2]\r\nZ=10\r\n");
    struct Fall {
        const char* name;
        std::vector<std::string> umgebung;
        const std::vector<std::string>* fremd;
    };
    const std::vector<Fall> faelle = {
        {"c", {"LC_ALL=C.UTF-8"}, nullptr},
        {"en", {"LC_ALL=C.UTF-8", "LANGUAGE=en"}, &kDeutscheWoerter},
        {"de", {"LC_ALL=C.UTF-8", "LANGUAGE=de"}, &kEnglischeWoerter},
        {"de_DE", {"LANG=de_DE.UTF-8"}, &kEnglischeWoerter},  // the locale alone, even when not installed
        {"de_aber_C", {"LC_ALL=C", "LANGUAGE=de"}, nullptr},  // LC_ALL=C wins: plain texts for scripts
    };
    std::vector<std::string> berichte, fehler;
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const std::string ziel = (o / (std::string(f.name) + ".i3d")).string();
        const Ergebnis gut = Starten(o, {"-o", ziel, golden + "Beispiel.ini"}, f.umgebung);
        EXPECT_EQ(gut.code, 0) << gut.fehler;
        EXPECT_EQ(DateiLesen(ziel), DateiLesen(golden + "Beispiel.i3d"));
        const Ergebnis schlecht = Starten(o, {"-o", ziel, kaputt}, f.umgebung);
        EXPECT_EQ(schlecht.code, 1);
        EXPECT_NE(schlecht.fehler.find("'sieben'"), std::string::npos)
            << schlecht.fehler;  // the value as typed
        const Ergebnis hilfe = Starten(o, {"--bogus"}, f.umgebung);
        EXPECT_EQ(hilfe.code, 2);
        if (f.fremd != nullptr) {
            for (const std::string* text : {&gut.aus, &gut.fehler, &schlecht.fehler, &hilfe.fehler})
                EXPECT_EQ(Gefunden(*text, *f.fremd), "") << *text;
        }
        berichte.push_back(gut.aus);
        fehler.push_back(schlecht.fehler);
    }
    // The C locale: the texts as the program always wrote them.
    EXPECT_NE(berichte[0].find("Fahrbahn: 4 Vertices, 2 triangles\n"), std::string::npos) << berichte[0];
    EXPECT_NE(fehler[0].find("error: "), std::string::npos);
    EXPECT_NE(fehler[0].find("ist kein"), std::string::npos) << fehler[0];
    EXPECT_EQ(berichte[4], berichte[0]);
    EXPECT_EQ(fehler[4], fehler[0]);
    // Each language its own words, and the locale alone picks German as LANGUAGE does.
    EXPECT_NE(berichte[1], berichte[0]);
    EXPECT_NE(berichte[2], berichte[1]);
    EXPECT_EQ(berichte[3], berichte[2]);
    EXPECT_EQ(fehler[3], fehler[2]);
}
#endif

}  // namespace
