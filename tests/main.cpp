// Test entry point. `--decimal-separator=,` or `=.` sets the locale's decimal separator
// for the whole run; CTest runs the suite once with each.
#include "model/Zahlen.h"

#include <gtest/gtest.h>

#include <cstring>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        constexpr const char* kOption = "--decimal-separator=";
        if (std::strncmp(argv[i], kOption, std::strlen(kOption)) == 0)
            pavolant::SetzeDezimaltrenner(argv[i][std::strlen(kOption)]);
    }
    return RUN_ALL_TESTS();
}
