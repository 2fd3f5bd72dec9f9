// The process-wide facts of the shared routines, started on fake machines of every
// Windows version the program knows, and on later ones.
#include "probes/core/Ostrel_Routines.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Exception.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/VersionResourceBuilder.h"

namespace vardak::probes {
namespace {

using platform::OSVersionInfo;
using platform::PlatformId;
using testing::FakePlatform;
using testing::Windows95Release;

constexpr const char* kHotfixInstalled =
    "REGEDIT4\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009]\n"
    "\"Installed\"=dword:00000001\n";
constexpr const char* kHotfixNotInstalled =
    "REGEDIT4\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009]\n"
    "\"Installed\"=dword:00000000\n";
constexpr const char* kHotfixAsText =
    "REGEDIT4\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009]\n"
    "\"Installed\"=\"1\"\n";

// Each test starts with the routines stopped and leaves them so.
class OstrelStartedTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }
};

// ---------------------------------------------------------------- every version

enum class Machine {
    Windows95, Windows95OSR1, Windows95OSR2, Windows95OSR25, Windows98, Windows98SE, WindowsMe,
    NT351, NT4SP5, NT4SP6, NT4SP6Hotfix, NT4SP6HotfixOff, NT4SP6HotfixText, Windows2000, WindowsXP,
    WindowsServer2003, WindowsVista, Windows7, Win32s,
};

struct ExpectedFacts {
    Machine machine;
    const char* name;
    TOSKind kind;
    const char* servicePack;
    const char* shortName;
    const char* longName;
    bool isNT;
};

void pose(FakePlatform& platform, Machine machine) {
    auto& system = platform.systemFake;
    switch (machine) {
        case Machine::Windows95: system.poseAsWindows95(Windows95Release::Original); break;
        case Machine::Windows95OSR1: system.poseAsWindows95(Windows95Release::OSR1); break;
        case Machine::Windows95OSR2: system.poseAsWindows95(Windows95Release::OSR2); break;
        case Machine::Windows95OSR25: system.poseAsWindows95(Windows95Release::OSR25); break;
        case Machine::Windows98: system.poseAsWindows98(false); break;
        case Machine::Windows98SE: system.poseAsWindows98(true); break;
        case Machine::WindowsMe: system.poseAsWindowsMe(); break;
        case Machine::NT351: system.version = {3, 51, 1057, PlatformId::NT, "Service Pack 5"}; break;
        case Machine::NT4SP5: system.poseAsNT4(5); break;
        case Machine::NT4SP6: system.poseAsNT4(6); break;
        case Machine::NT4SP6Hotfix:
            system.poseAsNT4(6);
            platform.loadRegistry(kHotfixInstalled);
            break;
        case Machine::NT4SP6HotfixOff:
            system.poseAsNT4(6);
            platform.loadRegistry(kHotfixNotInstalled);
            break;
        case Machine::NT4SP6HotfixText:
            system.poseAsNT4(6);
            platform.loadRegistry(kHotfixAsText);
            break;
        case Machine::Windows2000: system.poseAsWindows2000(4); break;
        case Machine::WindowsXP: system.poseAsWindowsXP(2); break;
        case Machine::WindowsServer2003: system.version = {5, 2, 3790, PlatformId::NT, "Service Pack 2"}; break;
        case Machine::WindowsVista: system.version = {6, 0, 6002, PlatformId::NT, "Service Pack 2"}; break;
        case Machine::Windows7: system.version = {6, 1, 7601, PlatformId::NT, "Service Pack 1"}; break;
        case Machine::Win32s: system.version = {3, 11, 0, PlatformId::Win32s, ""}; break;
    }
}

const ExpectedFacts kEveryVersion[] = {
    {Machine::Windows95, "Windows95", TOSKind::osWin95, "", "Windows 95", "Windows 95", false},
    {Machine::Windows95OSR1, "Windows95OSR1", TOSKind::osWin95, " A", "Windows 95", "Windows 95", false},
    {Machine::Windows95OSR2, "Windows95OSR2", TOSKind::osWin95OSR2, " B", "Windows 95", "Windows 95 OSR2", false},
    {Machine::Windows95OSR25, "Windows95OSR25", TOSKind::osWin95, " C", "Windows 95", "Windows 95", false},
    {Machine::Windows98, "Windows98", TOSKind::osWin98, "", "Windows 98", "Windows 98", false},
    {Machine::Windows98SE, "Windows98SE", TOSKind::osWin98SE, " A ", "Windows 98", "Windows 98 Second Edition",
     false},
    {Machine::WindowsMe, "WindowsMe", TOSKind::osWinME, "", "Windows Millenium Edition",
     "Windows Millenium Edition", false},
    {Machine::NT351, "NT351", TOSKind::osWinNT3, "Service Pack 5", "Windows NT", "Windows NT 3.x Service Pack 5",
     true},
    {Machine::NT4SP5, "NT4SP5", TOSKind::osWinNT4, "Service Pack 5", "Windows NT", "Windows NT 4.x Service Pack 5",
     true},
    {Machine::NT4SP6, "NT4SP6", TOSKind::osWinNT4, "Service Pack 6", "Windows NT", "Windows NT 4.x Service Pack 6",
     true},
    {Machine::NT4SP6Hotfix, "NT4SP6a", TOSKind::osWinNT4, "Service Pack 6a", "Windows NT",
     "Windows NT 4.x Service Pack 6a", true},
    {Machine::NT4SP6HotfixOff, "NT4SP6HotfixOff", TOSKind::osWinNT4, "Service Pack 6", "Windows NT",
     "Windows NT 4.x Service Pack 6", true},
    {Machine::NT4SP6HotfixText, "NT4SP6HotfixText", TOSKind::osWinNT4, "Service Pack 6", "Windows NT",
     "Windows NT 4.x Service Pack 6", true},
    {Machine::Windows2000, "Windows2000", TOSKind::osWin2000, "Service Pack 4", "Windows 2000",
     "Windows 2000 Service Pack 4", true},
    {Machine::WindowsXP, "WindowsXP", TOSKind::osWinXP, "Service Pack 2", "Windows XP", "Windows XP Service Pack 2",
     true},
    {Machine::WindowsServer2003, "WindowsServer2003", TOSKind::osWin2000, "Service Pack 2", "Windows 2000",
     "Windows 2000 Service Pack 2", true},
    // Later NT versions are unknown by kind and name but take the NT paths.
    {Machine::WindowsVista, "WindowsVista", TOSKind::osUnknown, "Service Pack 2", "", "", true},
    {Machine::Windows7, "Windows7", TOSKind::osUnknown, "Service Pack 1", "", "", true},
    {Machine::Win32s, "Win32s", TOSKind::osUnknown, "", "", "", false},
};

class EveryVersionTest : public OstrelStartedTest, public ::testing::WithParamInterface<ExpectedFacts> {};

TEST_P(EveryVersionTest, DetectOSKindReadsTheVersionRecord) {
    const ExpectedFacts& expected = GetParam();
    FakePlatform platform;
    pose(platform, expected.machine);
    std::string servicePack = "stale";
    EXPECT_EQ(DetectOSKind(platform, servicePack), expected.kind);
    EXPECT_EQ(servicePack, expected.servicePack);
}

TEST_P(EveryVersionTest, StartUpDerivesNamesFlagsAndClassKey) {
    const ExpectedFacts& expected = GetParam();
    FakePlatform platform;
    pose(platform, expected.machine);
    const OstrelRoutinesSession session(platform);
    const TOstrelFacts& facts = OstrelFacts();
    EXPECT_EQ(facts.OSKind, expected.kind);
    EXPECT_EQ(facts.ServicePack, expected.servicePack);
    EXPECT_EQ(facts.OSShortName, expected.shortName);
    EXPECT_EQ(facts.OSLongName, expected.longName);
    EXPECT_EQ(facts.IsNT, expected.isNT);
    EXPECT_EQ(facts.ClassKey, expected.isNT ? "SYSTEM\\CurrentControlSet\\Control\\Class"
                                            : "SYSTEM\\CurrentControlSet\\Services\\Class");
    EXPECT_EQ(facts.Is95, expected.kind == TOSKind::osWin95);
    EXPECT_EQ(facts.IsOSR2, expected.kind == TOSKind::osWin95OSR2);
    EXPECT_EQ(facts.Is98, expected.kind == TOSKind::osWin98);
    EXPECT_EQ(facts.Is98SE, expected.kind == TOSKind::osWin98SE);
    EXPECT_EQ(facts.IsME, expected.kind == TOSKind::osWinME);
    EXPECT_EQ(facts.Is2K, expected.kind == TOSKind::osWin2000);
    EXPECT_EQ(facts.IsXP, expected.kind == TOSKind::osWinXP);
}

INSTANTIATE_TEST_SUITE_P(Versions, EveryVersionTest, ::testing::ValuesIn(kEveryVersion),
                         [](const ::testing::TestParamInfo<ExpectedFacts>& info) {
                             return std::string(info.param.name);
                         });

TEST(OSNamesTest, UnknownVersionsHaveNoNames) {
    const OSNames names = OSNamesOf(TOSKind::osUnknown, "Service Pack 1");
    EXPECT_EQ(names.shortName, "");
    EXPECT_EQ(names.longName, "");
    EXPECT_EQ(OSNamesOf(TOSKind::osWin98SE, "ignored").longName, "Windows 98 Second Edition");
}

TEST(DetectOSKindTest, OtherMinorVersionsOfThe9xLineAreUnknown) {
    std::string servicePack;
    FakePlatform platform;
    platform.systemFake.version = {4, 20, 0x04140000, PlatformId::Windows, ""};
    EXPECT_EQ(DetectOSKind(platform, servicePack), TOSKind::osUnknown);
    platform.systemFake.version = {5, 0, 0, PlatformId::Windows, ""};
    EXPECT_EQ(DetectOSKind(platform, servicePack), TOSKind::osUnknown);
    // Only the exact "Service Pack 6" looks for the hotfix.
    platform.loadRegistry(kHotfixInstalled);
    platform.systemFake.version = {4, 0, 1381, PlatformId::NT, "Service Pack 6 "};
    EXPECT_EQ(DetectOSKind(platform, servicePack), TOSKind::osWinNT4);
    EXPECT_EQ(servicePack, "Service Pack 6 ");
}

// ---------------------------------------------------------------- the other facts

TEST_F(OstrelStartedTest, NamesProfileMemoryAndProgramVersion) {
    FakePlatform platform;
    platform.systemFake.computer = "vardak-test";
    platform.systemFake.user = "Tester";
    platform.shellFake.setFolder(platform::special_folder::kDesktop,
                                 "C:\\Documents and Settings\\Tester\\Desktop");
    platform.systemFake.memory.totalPhys = 536870912;
    platform.systemFake.memory.availPhys = 123456789;
    testing::VersionResourceBuilder version;
    version.fileVersion(1, 0, 0, 7).translation(0x0409, 1252);
    platform.filesFake.setVersionResource(platform.systemFake.programFile, version.buildWide());

    const OstrelRoutinesSession session(platform);
    const TOstrelFacts& facts = OstrelFacts();
    EXPECT_EQ(facts.MachineName, "VARDAK-TEST");
    EXPECT_EQ(facts.UserName, "Tester");
    EXPECT_EQ(facts.ProfilePath, "C:\\Documents and Settings\\Tester");
    EXPECT_EQ(facts.MemoryStatusSnapshot.length, 32u);
    EXPECT_EQ(facts.MemoryStatusSnapshot.availPhys, 123456789u);
    EXPECT_EQ(facts.TotalPhysMem, 536870912);
    EXPECT_EQ(facts.ProgramVersion, "1.0.0.7");
}

TEST_F(OstrelStartedTest, TheRegisteredComputerNameWins) {
    FakePlatform platform;
    platform.systemFake.computer = "FROM-THE-API";
    platform.loadRegistry(
        "REGEDIT4\n"
        "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName]\n"
        "\"ComputerName\"=\"Workshop-PC\"\n");
    EXPECT_EQ(ReadComputerName(platform), "Workshop-PC");
    const OstrelRoutinesSession session(platform);
    EXPECT_EQ(OstrelFacts().MachineName, "WORKSHOP-PC");
}

TEST_F(OstrelStartedTest, MemoryAbove2GBComesFromTheExtendedQuery) {
    FakePlatform platform;
    platform.systemFake.memory.totalPhys = 0xFFFFFFFF;
    platform::MemoryStatusEx extended;
    extended.totalPhys = 6ull << 30;
    platform.systemFake.memoryEx = extended;
    EXPECT_EQ(ComputeOstrelFacts(platform).TotalPhysMem, int64_t{6} << 30);

    platform.systemFake.memoryEx.reset();
    platform.systemFake.memory.totalPhys = 3u << 30;
    EXPECT_EQ(ComputeOstrelFacts(platform).TotalPhysMem, int64_t{3} << 30);
}

TEST_F(OstrelStartedTest, WithoutProfileOrVersionResourceTheyStayEmpty) {
    FakePlatform platform;
    const TOstrelFacts facts = ComputeOstrelFacts(platform);
    EXPECT_EQ(facts.ProfilePath, "");
    EXPECT_EQ(facts.ProgramVersion, "");
}

// ---------------------------------------------------------------- start and stop

TEST_F(OstrelStartedTest, FactsExistOnlyBetweenStartAndStop) {
    EXPECT_FALSE(OstrelRoutinesStarted());
    EXPECT_THROW(OstrelFacts(), EInvalidOperation);
    FakePlatform platform;
    StartOstrelRoutines(platform);
    EXPECT_TRUE(OstrelRoutinesStarted());
    EXPECT_EQ(OstrelFacts().OSKind, TOSKind::osWinXP);
    StopOstrelRoutines();
    EXPECT_FALSE(OstrelRoutinesStarted());
    EXPECT_THROW(OstrelFacts(), EInvalidOperation);
    StopOstrelRoutines();  // one stop too many changes nothing
    EXPECT_FALSE(OstrelRoutinesStarted());
}

TEST_F(OstrelStartedTest, ASecondStartOnlyCounts) {
    FakePlatform xp;
    FakePlatform windows98;
    windows98.systemFake.poseAsWindows98(true);
    StartOstrelRoutines(xp);
    StartOstrelRoutines(windows98);
    EXPECT_EQ(OstrelFacts().OSKind, TOSKind::osWinXP);
    StopOstrelRoutines();
    EXPECT_TRUE(OstrelRoutinesStarted());
    StopOstrelRoutines();
    EXPECT_FALSE(OstrelRoutinesStarted());
    // Started again, on another machine.
    StartOstrelRoutines(windows98);
    EXPECT_EQ(OstrelFacts().OSKind, TOSKind::osWin98SE);
    StopOstrelRoutines();
}

TEST_F(OstrelStartedTest, ResetForgetsWhateverTheCount) {
    FakePlatform platform;
    StartOstrelRoutines(platform);
    StartOstrelRoutines(platform);
    ResetOstrelRoutines();
    EXPECT_FALSE(OstrelRoutinesStarted());
    platform.systemFake.poseAsNT4(6);
    StartOstrelRoutines(platform);
    EXPECT_EQ(OstrelFacts().OSKind, TOSKind::osWinNT4);
    StopOstrelRoutines();
    EXPECT_FALSE(OstrelRoutinesStarted());
}

}  // namespace
}  // namespace vardak::probes
