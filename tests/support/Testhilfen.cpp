#include "tests/support/Testhilfen.h"

#include "persistence/Plattform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pavolant::test {

TempOrdner::TempOrdner() {
    // A new name until one is free: create_directory reports whether it made the folder.
    static std::mt19937_64 zufall(
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const std::filesystem::path basis = std::filesystem::temp_directory_path();
    for (int versuch = 0; versuch < 100; ++versuch) {
        const std::filesystem::path pfad = basis / ("pavolant-test-" + std::to_string(zufall() % 1000000000));
        if (std::filesystem::create_directory(pfad)) {
            pfad_ = pfad;
            return;
        }
    }
    throw std::runtime_error("no temporary folder could be made");
}

TempOrdner::~TempOrdner() {
    std::error_code ec;
    // A test may have made the folder read-only; give it back before removing.
    std::filesystem::permissions(pfad_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ec);
    std::filesystem::remove_all(pfad_, ec);
}

std::string DateiLesen(const std::filesystem::path& pfad) {
    std::ifstream ein(pfad, std::ios::binary);
    std::ostringstream s;
    s << ein.rdbuf();
    return s.str();
}

void DateiSchreiben(const std::filesystem::path& pfad, const std::string& bytes) {
    std::ofstream aus(pfad, std::ios::binary | std::ios::trunc);
    aus << bytes;
}

std::filesystem::path Referenzordner() {
    return std::filesystem::path(PAVOLANT_REFERENZ_DIR).lexically_normal();
}

std::optional<std::string> ReferenzFehlt(const std::filesystem::path& pfad) {
    std::error_code ec;
    if (std::filesystem::exists(pfad, ec)) return std::nullopt;
    return "reference data not found: " + pfad.lexically_normal().string() +
           " (point the CMake variable PAVOLANT_REFERENCE_DIR at the folder that holds i3d/)";
}

bool ImCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

std::filesystem::path Testdaten(const std::string& name) {
    return std::filesystem::path(PAVOLANT_TESTDATEN_DIR) / name;
}

std::vector<std::string> Eintraege(const std::filesystem::path& ordner) {
    std::vector<std::string> namen;
    for (const auto& e : std::filesystem::directory_iterator(ordner))
        namen.push_back(Utf8(e.path().filename()));
    std::sort(namen.begin(), namen.end());
    return namen;
}

#ifndef _WIN32
namespace {
constexpr int kVorbereitungFehlgeschlagen = 77;
}

std::optional<int> ImKindprozess(const std::function<bool()>& vorbereiten,
                                 const std::function<int()>& aktion) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return std::nullopt;
    if (pid == 0) {
        if (!vorbereiten()) _exit(kVorbereitungFehlgeschlagen);
        int code;
        try {
            code = aktion();
        } catch (...) {
            code = 99;
        }
        _exit(code);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    if (WEXITSTATUS(status) == kVorbereitungFehlgeschlagen) return std::nullopt;
    return WEXITSTATUS(status);
}

std::optional<int> OhneRootRechte(const std::filesystem::path& ordner, const std::function<int()>& aktion) {
    return ImKindprozess(
        [&] {
            if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                return false;
            // The test folder must be reachable, or the child would fail for the wrong reason.
            return access(ordner.c_str(), X_OK) == 0;
        },
        aktion);
}

#endif

}  // namespace pavolant::test
