// Temporary files and interruptions: a write stopped by SIGINT, SIGTERM or SIGHUP leaves
// no temporary file and ends with that signal, one stopped by a file size limit fails
// and leaves none either; a leftover of a process that was killed outright is removed
// by the next write to its target, and nothing else is: not the file of a live writer
// that this process cannot see, not a user's file.
#include "persistence/ErsetzendeDatei.h"
#include "persistence/Plattform.h"
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
#include <sched.h>
#include <sys/resource.h>
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
        for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) std::signal(s, SIG_DFL);
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
    const std::regex muster("\\." + ziel + "\\.pavolant-tmp\\.[A-Za-z0-9]{12}");
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

TEST(ErsetzendeDatei, TheTemporaryNameCarriesTheProgramsMark) {
    TempOrdner o;
    ErsetzendeDatei d(o / "ziel.i3d");
    const std::vector<std::string> temp = Temporaere(o.Pfad(), "ziel\\.i3d");
    ASSERT_EQ(temp.size(), 1u);
    EXPECT_EQ(temp[0].rfind(".ziel.i3d.pavolant-tmp.", 0), 0u);
    d.Schreiben("neu");
    d.Abschliessen();
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"ziel.i3d"});
}

TEST(ErsetzendeDatei, TheNextWriteRemovesOnlyUnlockedFilesOfTheTemporaryForm) {
    const std::optional<long> tot = ToterProzess();
    const std::string t = std::to_string(tot.value_or(999999));
    TempOrdner o;
    DateiSchreiben(o / "ziel.i3d", "alt");
    const std::string vorsilbe = ".ziel.i3d.pavolant-tmp.";
    std::vector<std::string> bleiben = {
        ".ziel.i3d.20240115.backup",   // a user's file that once looked like a leftover
        ".ziel.i3d." + t + ".abcdef",  // the earlier form, its writer gone: nobody can tell
        vorsilbe + "abcdefghijk",      // eleven characters
        vorsilbe + "abcdefghijklm",    // thirteen
        vorsilbe + "abcdef-hijkl",
        vorsilbe + "abcdefghijkl.txt",
        ".ziel.i3d.pavolant-tmp-abcdefghijkl",
        ".andere.i3d.pavolant-tmp.abcdefghijkl",  // another target
        "ziel.i3d.pavolant-tmp.abcdefghijkl",     // no leading dot
        "unrelated.txt",
    };
    for (const std::string& name : bleiben) DateiSchreiben(o / name, "x");
    fs::create_directory(o / (vorsilbe + "ordner123456"));  // not a regular file
#ifndef _WIN32
    fs::create_symlink(o / "unrelated.txt", o / (vorsilbe + "verweis12345"));
#endif
    // A live writer's file, here held by this very process.
    const fs::path lebend = o / (vorsilbe + "lebend123456");
    std::error_code grund;
    Systemdatei gehalten = Systemdatei::NeuAnlegen(lebend, nullptr, grund);
    ASSERT_TRUE(gehalten.Offen()) << grund.message();
    ASSERT_TRUE(gehalten.Sperren(grund)) << grund.message();
    DateiSchreiben(o / (vorsilbe + "weg000000001"), "halb");
    DateiSchreiben(o / (vorsilbe + "WEG000000002"), "");

    ErsetzendeDatei d(o / "ziel.i3d");
    d.Schreiben("neu");
    d.Abschliessen();

    std::vector<std::string> erwartet = bleiben;
    erwartet.push_back(vorsilbe + "ordner123456");
#ifndef _WIN32
    erwartet.push_back(vorsilbe + "verweis12345");
#endif
    erwartet.push_back(vorsilbe + "lebend123456");
    erwartet.push_back("ziel.i3d");
    std::sort(erwartet.begin(), erwartet.end());
    EXPECT_EQ(Eintraege(o.Pfad()), erwartet);
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "neu");

    // Once its writer lets go, the file is a leftover like any other.
    gehalten = Systemdatei();
    ErsetzendeDatei(o / "ziel.i3d").Abschliessen();
    EXPECT_FALSE(fs::exists(lebend));
}

#ifndef _WIN32

// Two writers of one target in two PID namespaces, as in two containers or on two
// machines sharing a folder: neither sees the other's process. The second one's write
// must leave the first one's live temporary file alone, and both writes succeed.
TEST(ErsetzendeDatei, AWriterInAnotherPidNamespaceKeepsItsTemporaryFile) {
    TempOrdner o;
    DateiSchreiben(o / "ziel.i3d", "alt");
    int bereit[2], weiter[2];
    ASSERT_EQ(pipe(bereit), 0);
    ASSERT_EQ(pipe(weiter), 0);
    // The exit code of the child `pid`, -1 when it did not exit.
    const auto warten = [](pid_t pid) {
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    };
    // A child of a new PID namespace: `aktion` runs as its process 2, the child of the
    // namespace's process 1; each ends with its child's code (96 when it died). Returns
    // the outer child, which ends with 97 when the namespace could not be made.
    const auto imNamensraum = [](const std::function<int()>& aktion) {
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid != 0) return pid;
        if (unshare(CLONE_NEWPID) != 0) _exit(97);
        const auto imKind = [](const std::function<int()>& a) {
            const std::optional<int> code = test::ImKindprozess([] { return true; }, a);
            return code && *code >= 0 ? *code : 96;
        };
        _exit(imKind([&] { return imKind(aktion); }));
    };
    const pid_t erster = imNamensraum([&] {
        ErsetzendeDatei d(o / "ziel.i3d");
        d.Schreiben("erster");
        if (write(bereit[1], "x", 1) != 1) return 3;
        char c = 0;
        if (read(weiter[0], &c, 1) != 1) return 4;  // the other writer has finished
        d.Abschliessen();
        return 0;
    });
    close(bereit[1]);
    close(weiter[0]);
    char c = 0;
    if (read(bereit[0], &c, 1) != 1) {
        close(weiter[1]);
        const int code = warten(erster);
        if (code == 97) GTEST_SKIP() << "no PID namespace to be made here (needs root)";
        FAIL() << "first writer ended with " << code;
    }
    ASSERT_EQ(Temporaere(o.Pfad(), "ziel\\.i3d").size(), 1u);
    const pid_t zweiter = imNamensraum([&] {
        ErsetzendeDatei d(o / "ziel.i3d");
        d.Schreiben("zweiter");
        d.Abschliessen();
        return 0;
    });
    EXPECT_EQ(warten(zweiter), 0);
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "zweiter");
    EXPECT_EQ(Temporaere(o.Pfad(), "ziel\\.i3d").size(), 1u) << "the live writer's file was taken";
    ASSERT_EQ(write(weiter[1], "x", 1), 1);
    close(weiter[1]);
    close(bereit[0]);
    EXPECT_EQ(warten(erster), 0) << "the first writer failed";
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "erster");
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"ziel.i3d"});
}

// A file size limit (ulimit -f) makes the write fail with its reason, leaving the old
// file and no temporary file; by default its signal would end the process in the middle.
TEST(Abbruchschutz, AFileSizeLimitFailsTheWriteAndLeavesNoTemporaryFile) {
    TempOrdner o;
    DateiSchreiben(o / "ziel.i3d", "alt");
    const int status = KindStatus([&] {
        const rlimit grenze{1000, 1000};
        if (setrlimit(RLIMIT_FSIZE, &grenze) != 0) return 5;
        AbbruchsignaleAbfangen();
        try {
            ErsetzendeDatei d(o / "ziel.i3d");
            d.Schreiben(std::string(5000, 'x'));
            d.Abschliessen();
            return 3;
        } catch (const DateiFehler& e) {
            return std::string(e.what()).find("File too large") != std::string::npos ? 0 : 4;
        }
    });
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3: written anyway, 4: another message, 5: no limit";
    EXPECT_EQ(Eintraege(o.Pfad()), std::vector<std::string>{"ziel.i3d"});
    EXPECT_EQ(DateiLesen(o / "ziel.i3d"), "alt");
}

#endif

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
