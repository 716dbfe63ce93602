#include "tests/support/Testhilfen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pavolant::test {

TempOrdner::TempOrdner() {
    std::string muster = (std::filesystem::temp_directory_path() / "pavolant-test-XXXXXX").string();
    if (!mkdtemp(muster.data())) throw std::runtime_error("mkdtemp failed");
    pfad_ = muster;
}

TempOrdner::~TempOrdner() {
    std::error_code ec;
    // A test may have made the folder read-only; give it back before removing.
    std::filesystem::permissions(pfad_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
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

std::filesystem::path Referenzordner() { return std::filesystem::path(PAVOLANT_REFERENZ_DIR).lexically_normal(); }

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
    for (const auto& e : std::filesystem::directory_iterator(ordner)) namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    return namen;
}

namespace {
constexpr int kVorbereitungFehlgeschlagen = 77;
}

std::optional<int> ImKindprozess(const std::function<bool()>& vorbereiten, const std::function<int()>& aktion) {
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

}  // namespace pavolant::test
