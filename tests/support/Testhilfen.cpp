#include "tests/support/Testhilfen.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

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

}  // namespace pavolant::test
