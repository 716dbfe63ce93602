// Temporary files and interruptions: a write stopped by SIGINT, SIGTERM or SIGHUP leaves
// no temporary file and ends with that signal; a leftover of a process that was killed
// outright is removed by the next write to its target, and nothing else is.
#include "persistence/Plattform.h"
#include "persistence/ErsetzendeDatei.h"
#include "tests/support/Testhilfen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace pavolant;
using pavolant::test::DateiLesen;
using pavolant::test::DateiSchreiben;
using pavolant::test::Eintraege;
using pavolant::test::TempOrdner;
namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// Runs `aktion` in a child with the three signals at their default action (the test
// process may have inherited an ignored SIGHUP) and returns the raw wait status.
int KindStatus(const std::function<int()>& aktion) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);
        int code = 98;
        try {
            code = aktion();
        } catch (...) {
            code = 99;
        }
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return status;
}

#endif

// The temporary files of `ziel` in `ordner`, named as this program names them.
std::vector<std::string> Temporaere(const fs::path& ordner, const std::string& ziel) {
    std::vector<std::string> treffer;
    const std::regex muster("\\." + ziel + "\\.[0-9]+\\.[A-Za-z0-9]{6}");
    for (const std::string& name : Eintraege(ordner))
        if (std::regex_match(name, muster)) treffer.push_back(name);
    return treffer;
}

// A process number that certainly belongs to no running process: a child that ended and
// was reaped (on Windows, where process numbers are small multiples of four, one far
// above them). Nothing when the number was taken again meanwhile.
std::optional<long> ToterProzess() {
#ifdef _WIN32
    constexpr long kNummer = 2147483644;
    if (!ProzessBeendet(kNummer)) return std::nullopt;
    return kNummer;
#else
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) _exit(0);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return std::nullopt;
    if (kill(pid, 0) == 0 || errno != ESRCH) return std::nullopt;
    return pid;
#endif
}

#ifndef _WIN32

TEST(Abbruchschutz, ASignalDuringAWriteRemovesTheTemporaryFileAndEndsTheProcess) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempOrdner o;
        DateiSchreiben(o / "ziel.i3d", "alt");
        const int status = KindStatus([&] {
            AbbruchsignaleAbfangen();
            // More writes than the table has entries: every finished write gives its
            // entry back, so the last one is still protected.
            for (int i = 0; i < 40; ++i) {
                ErsetzendeDatei d(o / "zwischen.txt");
                d.Schreiben("x");
                if (i % 2 == 0) d.Abschliessen();
            }
            ErsetzendeDatei d(o / "ziel.i3d");
            d.Schreiben("neu, aber nie fertig");
            if (Temporaere(o.Pfad(), "ziel\\.i3d").size() != 1) return 3;
            std::raise(signal);
            return 4;  // not reached: the signal ends the process
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal << ", status " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(Eintraege(o.Pfad()), (std::vector<std::string>{"ziel.i3d", "zwischen.txt"})) << signal;
        EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "alt");
    }
}

TEST(Abbruchschutz, AnIgnoredSignalStaysIgnoredAndTheWriteCompletes) {
    TempOrdner o;
    const int status = KindStatus([&] {
        std::signal(SIGHUP, SIG_IGN);  // as under nohup
        AbbruchsignaleAbfangen();
        ErsetzendeDatei d(o / "ziel.i3d");
        d.Schreiben("neu");
        std::raise(SIGHUP);
        d.Abschliessen();
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"ziel.i3d"});
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "neu");
}

// A child forked while its parent writes inherits the table; its end by a signal must
// not take the parent's file with it.
TEST(Abbruchschutz, AForkedChildLeavesItsParentsFileAlone) {
    TempOrdner o;
    const int status = KindStatus([&] {
        AbbruchsignaleAbfangen();
        ErsetzendeDatei d(o / "ziel.i3d");
        d.Schreiben("neu");
        const int enkel = KindStatus([] {
            std::raise(SIGTERM);
            return 4;
        });
        if (!WIFSIGNALED(enkel) || WTERMSIG(enkel) != SIGTERM) return 3;
        if (Temporaere(o.Pfad(), "ziel\\.i3d").size() != 1) return 5;
        d.Abschliessen();
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "neu");
}

#endif

TEST(ErsetzendeDatei, TheTemporaryNameCarriesTheWritersProcessId) {
    TempOrdner o;
    ErsetzendeDatei d(o / "ziel.i3d");
    const std::vector<std::string> temp = Temporaere(o.Pfad(), "ziel\\.i3d");
    ASSERT_EQ(temp.size(), 1u);
    EXPECT_EQ(temp[0].rfind(".ziel.i3d." + std::to_string(Prozessnummer()) + ".", 0), 0u);
    d.Schreiben("neu");
    d.Abschliessen();
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"ziel.i3d"});
}

TEST(ErsetzendeDatei, TheNextWriteRemovesOnlyLeftoversOfGoneWriters) {
    const std::optional<long> tot = ToterProzess();
    if (!tot) GTEST_SKIP() << "no process id free of a live process";
    const std::string t = std::to_string(*tot);
    TempOrdner o;
    DateiSchreiben(o / "ziel.i3d", "alt");
    std::vector<std::string> bleiben = {
        ".ziel.i3d." + std::to_string(Prozessnummer()) + ".lebend",  // this process: alive
        ".ziel.i3d.abcdef",                                    // no process id
        ".ziel.i3d.0.abcdef",
        ".ziel.i3d." + t + ".abcde",                           // not six characters
        ".ziel.i3d." + t + ".abc-ef",
        ".ziel.i3d." + t + "x.abcdef",
        ".ziel.i3d.." + t + ".abcdef",
        ".ziel.i3d." + t + ".abcdef.txt",
        ".andere.i3d." + t + ".abcdef",                        // another target
        ".ziel." + t + ".abcdef",
        "ziel.i3d." + t + ".abcdef",                           // no leading dot
        "unrelated.txt",
    };
#ifndef _WIN32
    bleiben.push_back(".ziel.i3d.1.init00");  // init: alive (or not ours to ask)
#endif
    for (const std::string& name : bleiben) DateiSchreiben(o / name, "x");
    fs::create_directory(o / (".ziel.i3d." + t + ".ordner"));  // not a regular file
#ifndef _WIN32
    fs::create_symlink(o / "unrelated.txt", o / (".ziel.i3d." + t + ".verwei"));
#endif
    DateiSchreiben(o / (".ziel.i3d." + t + ".weg001"), "halb");
    DateiSchreiben(o / (".ziel.i3d." + t + ".weg002"), "");

    ErsetzendeDatei d(o / "ziel.i3d");
    d.Schreiben("neu");
    d.Abschliessen();

    std::vector<std::string> erwartet = bleiben;
    erwartet.push_back(".ziel.i3d." + t + ".ordner");
#ifndef _WIN32
    erwartet.push_back(".ziel.i3d." + t + ".verwei");
#endif
    erwartet.push_back("ziel.i3d");
    std::sort(erwartet.begin(), erwartet.end());
    EXPECT_EQ(Eintraege(o.Pfad()), erwartet);
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "neu");
}

// The generator's target: the check leaves nothing behind, the temporary file exists
// only from the opening of the finished document to its completion.
TEST(Dokumentdatei, TheTemporaryFileExistsOnlyWhileTheDocumentIsWritten) {
    TempOrdner o;
    Dokumentdatei ziel(o / "strasse.i3d");
    ziel.Pruefen();
    EXPECT_TRUE(Eintraege(o.Pfad()).empty());
    ziel.Oeffnen() << "eins";
    EXPECT_EQ(Temporaere(o.Pfad(), "strasse\\.i3d").size(), 1u);
    ziel.Abschliessen();
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"strasse.i3d"});
    EXPECT_EQ(DateiLesen(o / "strasse.i3d"), "eins");

    ziel.Oeffnen() << "zwei";
    ziel.Verwerfen();
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"strasse.i3d"});
    EXPECT_EQ(DateiLesen(o / "strasse.i3d"), "eins");
    EXPECT_THROW(ziel.Abschliessen(), std::logic_error);  // nothing open

    Dokumentdatei fehlt(o / "fehlt" / "x.i3d");
    EXPECT_THROW(fehlt.Pruefen(), DateiFehler);
    EXPECT_THROW(fehlt.Oeffnen(), DateiFehler);
}

}  // namespace
