// The Wine test program's entry. Started with `--child=NAME` it runs one child mode
// for a test that started it; otherwise it runs the tests. Defining main here keeps
// GoogleTest's own main (in its static library) out of the link.
#include "tests/wine/WineChildren.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    constexpr std::string_view kChildOption = "--child=";
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.substr(0, kChildOption.size()) == kChildOption) {
            const auto exitCode = vardak::winetest::runChildMode(argument.substr(kChildOption.size()));
            if (!exitCode) {
                std::fprintf(stderr, "unknown child mode: %s\n", argv[index]);
                return 2;
            }
            return *exitCode;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
