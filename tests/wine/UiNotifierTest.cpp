// The console notifier's exact bytes on standard output.
#include "platform/win32/Win32UiNotifier.h"
#include "tests/wine/WineHarness.h"

#include <gtest/gtest.h>

namespace vardak::winetest {
namespace {

TEST(ConsoleNotifierTest, WritesLinesAndErrorsWithCrLf) {
    win32::Win32UiNotifier console(/*console=*/true);
    EXPECT_TRUE(console.isConsole());
    const std::string output = captureStandardOutput([&console] {
        console.writeLine("first line");
        console.writeLine("");
        console.showError("Error", "drive A: is not ready");
    });
    EXPECT_EQ(output, "first line\r\n\r\nError: drive A: is not ready\r\n");
}

}  // namespace
}  // namespace vardak::winetest
