// The console notifier's exact output, read from a child's standard output.
#include "tests/wine/WineHarness.h"

#include <gtest/gtest.h>

namespace vardak::winetest {
namespace {

TEST(ConsoleNotifierTest, WritesLinesAndErrorsWithCrLf) {
    const ProcessResult child = runChild("write-lines");
    ASSERT_TRUE(child.started);
    EXPECT_EQ(child.exitCode, 0u);
    EXPECT_EQ(child.output, "first line\r\n\r\nError: drive A: is not ready\r\n");
}

}  // namespace
}  // namespace vardak::winetest
