#include "app/ReportProgram.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/FakePlatform.h"

namespace vardak::app {
namespace {

struct ProgramRun {
    int exitCode;
    std::string out;
    std::string err;
};

ProgramRun runWith(testing::FakePlatform& machine, std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = runReportProgram(machine, args, out, err);
    return {code, out.str(), err.str()};
}

TEST(ReportProgram, WritesBannerAndVersionRecordWithCrLf) {
    testing::FakePlatform machine;
    machine.systemFake.poseAsNT4(6);
    const ProgramRun run = runWith(machine, {});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_TRUE(run.err.empty());
    EXPECT_EQ(run.out.rfind(";Ostrel System Information Component 7.61", 0), 0u);
    EXPECT_NE(run.out.find("\r\nMajor=4\r\nMinor=0\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("\r\nPlatform=2\r\nCSDVersion=Service Pack 6\r\n"), std::string::npos);
    // Every line ends in CR LF, and no bare LF slips through.
    size_t lines = 0;
    for (size_t i = 0; i < run.out.size(); ++i) {
        if (run.out[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(run.out[i - 1], '\r');
            ++lines;
        }
    }
    EXPECT_EQ(lines, 7u);
    EXPECT_EQ(run.out.back(), '\n');
}

TEST(ReportProgram, UnknownArgumentPrintsUsageToStandardErrorAndExits2) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {"--bogus"});
    EXPECT_EQ(run.exitCode, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("--bogus"), std::string::npos);
    EXPECT_NE(run.err.find("Usage: VardakReport"), std::string::npos);
}

TEST(ReportProgram, HelpGoesToStandardOutput) {
    testing::FakePlatform machine;
    const ProgramRun run = runWith(machine, {"--help"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_NE(run.out.find("Usage: VardakReport"), std::string::npos);
    EXPECT_TRUE(run.err.empty());
}

}  // namespace
}  // namespace vardak::app
