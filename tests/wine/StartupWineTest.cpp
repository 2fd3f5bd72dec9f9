// The installed-software and startup probes on Wine's real answers: an uninstall
// entry, Run values of both hives (one of them a number), a RunOnce value, shortcuts
// in the user's start-up folder written with the shell's link object (a hidden one,
// one whose target is gone, a file that is no shortcut) and a WIN.INI run line, all
// seeded into the prefix, are read back in this process.
#include "platform/win32/Win32Platform.h"
#include "probes/software/Vesk_Software.h"
#include "probes/software/Vesk_Startup.h"
#include "tests/support/AsciiCase.h"
#include "tests/support/ProbeTesting.h"
#include "tests/wine/WineHarness.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vardak::winetest {
namespace {

using ::testing::Contains;
using ::testing::Not;
using ::testing::StartsWith;
using probes::TStartupKind;
using testing::upperAscii;

constexpr char kSeed[] = R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\VardakWineTest]
"DisplayName"="Vardak Wine Test 1.0"
"UninstallString"="C:\\vardak-wine-test\\uninstall.exe /quiet"
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run]
"VardakNumber"=dword:00000001
"VardakUserRun"="C:\\vardak-wine-test\\user.exe /tray"
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"VardakMachineRun"="C:\\vardak-wine-test\\machine.exe"
[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\RunOnce]
"VardakOnce"="C:\\vardak-wine-test\\once.exe /continue"
)";

class StartupWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(seeded_.imported());
        // The prefix has no run line of its own; TearDown removes ours.
        ASSERT_TRUE(files_.writeProfileString("WIN.INI", "windows", std::string("run"), " C:\\vardak\\win ini.exe "));
        ASSERT_TRUE(SUCCEEDED(createShellLink(tool_.path(), program_, "--child=none /x")));
        ASSERT_TRUE(SUCCEEDED(createShellLink(hidden_.path(), program_, "")));
        ASSERT_TRUE(SetFileAttributesA(hidden_.path().c_str(), FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(files_.writeFile(notes_.path(), "no shortcut"));
        const TemporaryFile goneTarget(temporaryFileName());
        ASSERT_TRUE(SUCCEEDED(createShellLink(gone_.path(), goneTarget.path(), "")));
    }
    void TearDown() override { files_.writeProfileString("WIN.INI", "windows", std::string("run"), std::nullopt); }

    win32::Win32Platform platform_{/*console=*/true};
    platform::FileSystem& files_ = platform_.files();
    const std::string program_ = platform_.system().programPath();
    const SeededRegistry seeded_{kSeed};
    const std::string folder_ = probes::GetSpecialFolder(platform_, nullptr, platform::special_folder::kStartup);
    const TemporaryFile tool_{folder_ + "\\Vardak Tool.lnk"};
    const TemporaryFile hidden_{folder_ + "\\Vardak Hidden.lnk"};
    const TemporaryFile notes_{folder_ + "\\Vardak Notes.lnk"};
    const TemporaryFile gone_{folder_ + "\\Vardak Gone.lnk"};
};

TEST_F(StartupWineTest, TheSeededUninstallEntryIsListedWithItsCommand) {
    probes::TSoftware software(platform_);
    software.GetInfo();
    const int index = software.Products().indexOf("Vardak Wine Test 1.0");
    ASSERT_GE(index, 0);
    EXPECT_EQ(software.UninstallStrings()[index], "C:\\vardak-wine-test\\uninstall.exe /quiet");
}

// The number in the user's Run key is skipped and the text after it read; the hidden
// shortcut is left out, the others listed, the file that is no shortcut by its path.
TEST_F(StartupWineTest, TheSeededEntriesAreReportedAndTheWinIniLineCounted) {
    probes::TStartup startup(platform_);
    startup.GetInfo();
    const std::vector<std::string> report = testing::reportOf(startup);
    const auto section = [&](std::string_view name) { return testing::sectionLines(report, name); };
    EXPECT_THAT(section("HKCU Run"), Contains("VardakUserRun=C:\\vardak-wine-test\\user.exe /tray"));
    EXPECT_THAT(section("HKCU Run"), Not(Contains(StartsWith("VardakNumber="))));
    EXPECT_THAT(section("HKLM Run"), Contains("VardakMachineRun=C:\\vardak-wine-test\\machine.exe"));
    EXPECT_THAT(section("Run Once"), Contains("VardakOnce=C:\\vardak-wine-test\\once.exe /continue"));

    std::vector<std::string> userStartup;
    for (const std::string& line : section("User Startup")) userStartup.push_back(upperAscii(line));
    EXPECT_THAT(userStartup, Contains(upperAscii("Vardak Tool=" + program_ + " --child=none /x")));
    EXPECT_THAT(userStartup, Contains(upperAscii("Vardak Notes=" + notes_.path())));
    EXPECT_THAT(userStartup, Contains(StartsWith("VARDAK GONE=")));
    EXPECT_THAT(userStartup, Not(Contains(StartsWith("VARDAK HIDDEN="))));

    ASSERT_EQ(startup.Entries(TStartupKind::WinIni).count(), 1);
    EXPECT_EQ(startup.Command(TStartupKind::WinIni, 0), "C:\\vardak\\winini.exe");
    // Besides a line per entry the report holds five headers and five counts.
    EXPECT_EQ(startup.RunsCount(), static_cast<int>(report.size()) - 10 + 1);
}

}  // namespace
}  // namespace vardak::winetest
