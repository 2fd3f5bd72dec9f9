// The startup-entries probe on the Run and RunOnce keys of tests/fixtures/startup-xp.reg,
// start-up folders holding shortcuts (and files and folders that are none) and WIN.INI;
// the report is the golden file startup-xp-report.txt.
#include "probes/software/Vesk_Startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;
namespace attribute = platform::file_attribute;
namespace folder = platform::special_folder;

constexpr char kUserStartup[] = "C:\\Documents and Settings\\Mette\\Start Menu\\Programs\\Startup\\";
// The shell gives this one without its closing backslash.
constexpr char kCommonStartup[] = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup";

void addShortcut(testing::FakePlatform& machine, const std::string& path, const std::string& target,
                 const std::string& arguments, uint32_t attributes = attribute::kArchive) {
    machine.filesFake.addFile(path, "L");
    machine.filesFake.setAttributes(path, attributes);
    machine.shellFake.addLink(path, {platform::shell_status::kOk, target, arguments});
}

// Mette's start-up folder holds three shortcuts (one read-only), a hidden one, a
// file that is no shortcut, a folder and a text file; the common one a shortcut.
void poseAsMettesXP(testing::FakePlatform& machine) {
    machine.loadRegistryFixture("startup-xp.reg");
    machine.shellFake.setFolder(folder::kStartup, kUserStartup);
    machine.shellFake.setFolder(folder::kCommonStartup, kCommonStartup);
    const std::string user = kUserStartup;
    addShortcut(machine, user + "Tool.lnk", "C:\\Tools\\tool.exe", "");
    addShortcut(machine, user + "Outlook Reminder.lnk", "C:\\PROGRA~1\\OFFICE11\\OUTLOOK.EXE", "/recycle");
    addShortcut(machine, user + "Agent.lnk", "C:\\Agent\\agent.exe", "-q", attribute::kReadOnly);
    addShortcut(machine, user + "Hidden.lnk", "C:\\Hidden\\hidden.exe", "", attribute::kHidden);
    machine.filesFake.addFile(user + "Notes.lnk", "not a shortcut");
    machine.filesFake.addDirectory(user + "Old.lnk");
    machine.filesFake.addFile(user + "readme.txt", "");
    addShortcut(machine, std::string(kCommonStartup) + "\\Reader Speed Launch.lnk", "C:\\Reader\\reader_sl.exe", "");
    machine.filesFake.addFile(machine.filesFake.profilePath("WIN.INI"),
                              "[windows]\r\nload=   \r\nrun= C:\\Old Tools\\a b.exe \r\nNullPort=None\r\n");
}

// Numbers and binary values of the Run key are skipped and the values after them
// read; a shortcut that does not resolve is listed with its path; the WIN.INI line
// that is left when its blanks go counts, but is not reported.
TEST(StartupTest, ReportsFoldersAndKeysAndCountsWinIniToo) {
    testing::FakePlatform machine;
    poseAsMettesXP(machine);
    TStartup startup(machine);
    startup.GetInfo();
    EXPECT_EQ(testing::reportOf(startup), testing::fixtureLines("startup-xp-report.txt"));
    EXPECT_EQ(startup.RunsCount(), 4 + 1 + 2 + 4 + 3 + 1);
    EXPECT_EQ(startup.Name(TStartupKind::WinIni, 0) + "=" + startup.Command(TStartupKind::WinIni, 0),
              "run=C:\\OldTools\\ab.exe");
    EXPECT_EQ(startup.Name(TStartupKind::WinIni, 1) + startup.Command(TStartupKind::HKLMRun, -1), "");
}

// A shell without start-up folders (Windows 95 has no common one) lists nothing, not
// the shortcuts at the root of the current drive; a refresh forgets what it had.
TEST(StartupTest, MissingFoldersAndKeysContributeNothing) {
    testing::FakePlatform machine;
    poseAsMettesXP(machine);
    TStartup startup(machine);
    startup.GetInfo();
    machine.registryFake.removeKey(platform::RootKey::CurrentUser, "Software");
    machine.registryFake.removeKey(platform::RootKey::LocalMachine, "Software");
    machine.shellFake = testing::FakeShell();
    addShortcut(machine, "\\Root.lnk", "C:\\root.exe", "");
    machine.filesFake.removeFile(machine.filesFake.profilePath("WIN.INI"));
    startup.GetInfo();
    EXPECT_EQ(startup.RunsCount(), 0);
    EXPECT_THAT(testing::reportOf(startup), ElementsAre("[User Startup]", "Count=0", "[Common Startup]", "Count=0",
                                                        "[HKLM Run]", "Count=0", "[HKCU Run]", "Count=0", "[Run Once]",
                                                        "Count=0"));
}

}  // namespace
}  // namespace vardak::probes
