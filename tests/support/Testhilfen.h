// Shared helpers for the core tests.
#pragma once

#include "model/Meldung.h"
#include "model/Zahlen.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pavolant::test {

// Records every message instead of showing it.
class AufzeichnenderMelder : public Melder {
public:
    struct Eintrag {
        MeldungsArt art;
        std::string text;
    };
    void Melden(MeldungsArt art, const std::string& text) override { eintraege.push_back({art, text}); }
    std::vector<Eintrag> eintraege;
};

// Sets the decimal separator for one scope and restores the run's separator after it.
class MitDezimaltrenner {
public:
    explicit MitDezimaltrenner(char trenner) : vorher_(Dezimaltrenner()) { SetzeDezimaltrenner(trenner); }
    ~MitDezimaltrenner() { SetzeDezimaltrenner(vorher_); }
    MitDezimaltrenner(const MitDezimaltrenner&) = delete;
    MitDezimaltrenner& operator=(const MitDezimaltrenner&) = delete;

private:
    char vorher_;
};

// A fresh, empty folder under the system's temporary folder, removed with the object.
class TempOrdner {
public:
    TempOrdner();
    ~TempOrdner();
    TempOrdner(const TempOrdner&) = delete;
    TempOrdner& operator=(const TempOrdner&) = delete;
    const std::filesystem::path& Pfad() const { return pfad_; }
    std::filesystem::path operator/(const std::string& name) const { return pfad_ / name; }

private:
    std::filesystem::path pfad_;
};

std::string DateiLesen(const std::filesystem::path& pfad);
// The names in a folder, sorted.
std::vector<std::string> Eintraege(const std::filesystem::path& ordner);

#ifndef _WIN32
// Runs `vorbereiten` and then `aktion` in a child process, for changes of user or limits
// that must not touch the test process. Returns the child's exit code (the result of
// `aktion`, 99 when it threw), -1 when the child died, or nullopt when `vorbereiten` failed.
std::optional<int> ImKindprozess(const std::function<bool()>& vorbereiten,
                                 const std::function<int()>& aktion);

// `aktion` in a process whose file permissions are checked: the tests may run as root,
// who passes every permission check, so a root child becomes "nobody". `ordner` must be
// reachable for that user.
std::optional<int> OhneRootRechte(const std::filesystem::path& ordner, const std::function<int()>& aktion);
#endif
void DateiSchreiben(const std::filesystem::path& pfad, const std::string& bytes);

// Reference data that lives beside the repository, not in it: the i3d schema and scenes the
// level editor wrote. The build names the folder (CMake variable PAVOLANT_REFERENCE_DIR,
// by default ../shared beside the source tree); a clone elsewhere may not have it.
std::filesystem::path Referenzordner();
// Why a check that needs `pfad` cannot run here, or nullopt when the file or folder exists.
std::optional<std::string> ReferenzFehlt(const std::filesystem::path& pfad);
// True in continuous integration (CI=true), where missing reference data is a failure:
// the checks that need it must never vanish from CI as skips.
bool ImCi();

// Our own test files under tests/data.
std::filesystem::path Testdaten(const std::string& name);

}  // namespace pavolant::test

// First statement of a test (or its last checks) that needs reference data: skips the
// test with the reason when `pfad` is missing, fails it instead in CI.
#define PAVOLANT_REFERENZ_NOETIG(pfad)                                                \
    do {                                                                              \
        if (const auto pavolant_grund_ = ::pavolant::test::ReferenzFehlt(pfad)) {     \
            if (::pavolant::test::ImCi()) FAIL() << *pavolant_grund_ << " (CI=true)"; \
            GTEST_SKIP() << *pavolant_grund_;                                         \
        }                                                                             \
    } while (false)
