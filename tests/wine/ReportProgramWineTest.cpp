// The report program as users run it, posed as XP and as 98: the whole report in the root
// component's order, and --output writing the same report to a file, or failing clearly.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

// The first section of each probe, in the order the full report writes the probes.
constexpr std::array<std::string_view, 14> kFirstSections{
    "[Machine]",  "[Operating System]", "[CPU]",     "[Memory]",   "[Display]",
    "[Advanced Power Management]",      "[Media]",   "[Network]",  "[Devices]",
    "[ODBC]",     "[Disks]",            "[Printers]", "[Installed Software]", "[User Startup]",
};

std::string reportProgram() { return "\"" + winePathOf(VARDAK_REPORT_EXE) + "\""; }

class ReportProgramPoseTest : public ::testing::TestWithParam<WindowsPose> {};

TEST_P(ReportProgramPoseTest, PrintsEveryProbeInTheRootOrderWithCrLfLines) {
    const PosedWindows posed(GetParam());
    ASSERT_TRUE(posed.active());
    const ProcessResult run = runProcess(reportProgram());
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output.rfind(";Ostrel System Information Component 7.61", 0), 0u) << run.output.substr(0, 200);
    EXPECT_EQ(run.output.find(".GetInfo: "), std::string::npos) << "a probe failed";
    size_t lineFeeds = 0;
    size_t crLfs = 0;
    for (size_t at = run.output.find('\n'); at != std::string::npos; at = run.output.find('\n', at + 1)) {
        ++lineFeeds;
        crLfs += at > 0 && run.output[at - 1] == '\r';
    }
    EXPECT_EQ(crLfs, lineFeeds);
    TStringList report;
    report.setText(run.output);
    int previous = -1;
    for (std::string_view section : kFirstSections) {
        const int at = report.indexOf(std::string(section));
        EXPECT_GT(at, previous) << section << " missing or out of order";
        previous = at;
    }
}

INSTANTIATE_TEST_SUITE_P(Poses, ReportProgramPoseTest,
                         ::testing::Values(WindowsPose::WindowsXP, WindowsPose::Windows98));

std::string fileText(const std::string& path) {
    std::string text;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

TEST(ReportProgramOutputTest, ReplacesAnOlderFileWholeAndNamesAFileItCannotWrite) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "vardak-report-output.txt";
    const std::string older(200000, 'x');
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, older.data(), static_cast<DWORD>(older.size()), &written, nullptr);
    CloseHandle(file);

    const ProcessResult run = runProcess(reportProgram() + " --silent --output \"" + path + "\"");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.output, "");
    const std::string report = fileText(path);
    EXPECT_EQ(report.rfind(";Ostrel System Information Component 7.61", 0), 0u) << report.substr(0, 100);
    EXPECT_EQ(report.find('x' + std::string(50, 'x')), std::string::npos) << "something of the older file is left";
    EXPECT_NE(report.find("[User Startup]\r\n"), std::string::npos);
    EXPECT_EQ(GetFileAttributesA((path + ".partial").c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(path.c_str());

    const std::string missingFolder = std::string(folder) + "no-such-folder\\report.txt";
    const ProcessResult refused = runProcess(reportProgram() + " --output \"" + missingFolder + "\"");
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_EQ(refused.output, "");
}

}  // namespace
}  // namespace vardak::winetest
