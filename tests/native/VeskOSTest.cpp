// The operating-system probe on the registries of a Windows XP workstation (its whole
// report is the golden file os-xp-report.txt), a 2000 server, an NT 4.0 domain
// controller with and without hotfix Q246009, a 98 SE and a 95 OSR 2 machine
// (tests/fixtures/os-*.reg); time zones, locale items and the probe's helpers.
#include "probes/software/Vesk_OS.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using testing::FakePlatform;
using testing::sectionLines;
namespace folder = platform::special_folder;
namespace item = platform::locale_item;

struct FolderPath {
    int32_t folder;
    const char* path;
};

// Shell folders of user Mette on the XP machine; the others (the virtual folders among
// them, and the alternative common start-up folder) have no path.
constexpr FolderPath kMettesFolders[] = {
    {folder::kAppData, "C:\\Documents and Settings\\Mette\\Application Data"},
    {folder::kCommonDesktopDirectory, "C:\\Documents and Settings\\All Users\\Desktop"},
    {folder::kCommonStartup, "C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup"},
    {folder::kDesktop, "C:\\Documents and Settings\\Mette\\Desktop"},
    {folder::kDesktopDirectory, "C:\\Documents and Settings\\Mette\\Desktop"},
    {folder::kFonts, "C:\\WINDOWS\\Fonts"},
    {folder::kPersonal, "C:\\Documents and Settings\\Mette\\My Documents"},
    {folder::kPrograms, "C:\\Documents and Settings\\Mette\\Start Menu\\Programs"},
    {folder::kStartup, "C:\\Documents and Settings\\Mette\\Start Menu\\Programs\\Startup"},
    {folder::kTemplates, "C:\\Documents and Settings\\Mette\\Templates"},
};

void poseAsMettesXP(FakePlatform& machine) {
    machine.loadRegistryFixture("os-xp.reg");
    for (const FolderPath& entry : kMettesFolders) machine.shellFake.setFolder(entry.folder, entry.path);
    machine.systemFake.tempFolder = "C:\\DOCUME~1\\Mette\\LOCALS~1\\Temp\\";
    machine.systemFake.environment = {"=C:=C:\\Documents and Settings\\Mette", "ComSpec=C:\\WINDOWS\\system32\\cmd.exe",
                                      "Path=C:\\WINDOWS\\system32;C:\\WINDOWS", "windir=C:\\WINDOWS"};
    machine.filesFake.addFile("C:\\Program Files\\Internet Explorer\\iexplore.exe", "");
    machine.filesFake.addFile("C:\\Program Files\\Outlook Express\\msimn.exe", "");
}

void poseAsNT4(FakePlatform& machine) {
    machine.systemFake.poseAsNT4(6);
    machine.systemFake.windowsFolder = "C:\\WINNT";
    machine.loadRegistryFixture("os-nt4.reg");
    machine.shellFake.setFolder(folder::kDesktop, "C:\\WINNT\\Profiles\\Administrator\\Desktop");
}

class OSTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }

    // The probe refreshed on the machine as it is now, with the routines started.
    TOperatingSystem& refreshed() {
        const OstrelRoutinesSession session(machine);
        probe.GetInfo();
        return probe;
    }
    std::vector<std::string> report() const { return testing::reportOf(probe); }

    FakePlatform machine;
    TOperatingSystem probe{machine};
};

// ---------------------------------------------------------------- whole machines

TEST_F(OSTest, TheXPReportIsTheGoldenFile) {
    poseAsMettesXP(machine);
    EXPECT_EQ(refreshed().EditionText, "Service Pack 3");
    EXPECT_EQ(report(), testing::fixtureLines("os-xp-report.txt"));
    EXPECT_TRUE(machine.uiFake.errors.empty());
    EXPECT_EQ(probe.TimeZone().MapID(), "-1,3");
    EXPECT_EQ(probe.LanguageID(), "$0406");
    EXPECT_THAT(machine.localeFake.localesAsked, ::testing::Each(platform::kLocaleSystemDefault));
}

struct MachineLines {
    const char* name;
    void (*pose)(FakePlatform&);
    const char* editionText;
    // "Section|line" for each line that must be in that section.
    std::vector<std::string> lines;
};

const MachineLines kMachines[] = {
    {"Windows2000Server", [](FakePlatform& machine) {
         machine.systemFake.poseAsWindows2000(4);
         machine.systemFake.versionEx->productType = platform::product_type::kServer;
         machine.systemFake.versionEx->suiteMask = 0x0012;  // enterprise, terminal services
         machine.systemFake.windowsFolder = "C:\\WINNT";
         machine.localeFake.timeZone = {300, "Eastern Standard Time", {0, 10, 0, 5, 2, 0, 0, 0}, 0,
                                        "Eastern Daylight Time", {0, 4, 0, 1, 2, 0, 0, 0}, -60};
         machine.loadRegistryFixture("os-2000-server.reg");
         machine.shellFake.setFolder(folder::kDesktop, "C:\\Documents and Settings\\Administrator\\Desktop");
     }, "Service Pack 4",
     {"Operating System|VersionName=Multiprocessor Free", "Operating System|Version=5.0",
      "Operating System|BuildNumber=2195", "Operating System|CSD=Service Pack 4",
      "Operating System|RegUser=IT Operations", "NT Specific|ProductType=Server",
      "NT Specific|Windows 2000 Advanced Server=1", "NT Specific|Communications=0",
      "NT Specific|ServicePackMajorVersion=4", "Folders|Windows=C:\\WINNT",
      "Folders|Profile=C:\\Documents and Settings\\Administrator",
      "Time Zone|TimeZone=(GMT-05:00) Eastern Time (US & Canada)", "Time Zone|StdName=2004-10-31 02:00:00",
      "Time Zone|StdBias=300", "Time Zone|DlghtName=2004-04-04 02:00:00", "Time Zone|DlghtBias=240"}},
    {"NT4WithoutHotfix", poseAsNT4, "Service Pack 6",
     {"Operating System|Version=4.0", "Operating System|BuildNumber=1381", "Operating System|CSD=Service Pack 6",
      "NT Specific|ProductType=Advanced Server", "NT Specific|ServicePackMajorVersion=0",
      "Folders|Profile=C:\\WINNT\\Profiles\\Administrator"}},
    {"NT4WithHotfix", [](FakePlatform& machine) {
         poseAsNT4(machine);
         machine.loadRegistry(
             "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009]\n"
             "\"Installed\"=dword:00000001\n");
     }, "Service Pack 6", {"Operating System|CSD=Service Pack 6a", "NT Specific|ProductType=Advanced Server"}},
    {"Windows98SE", [](FakePlatform& machine) {
         machine.systemFake.poseAsWindows98(true);
         machine.systemFake.systemFolder = "C:\\WINDOWS\\SYSTEM";
         machine.loadRegistryFixture("os-98se.reg");
         machine.shellFake.setFolder(folder::kDesktop, "C:\\WINDOWS\\Desktop");
     }, "Second Edition",
     {"Operating System|Platform=Windows 9x", "Operating System|VersionName=Windows 98",
      "Operating System|Version=4.10", "Operating System|BuildNumber=2222", "Operating System|CSD= A ",
      "Operating System|ProductKey=QY7TT-VJ7VG-7QPHY-QXHD3-B838Q",
      "Operating System|RegOrganization=Hansen og S\xF8n", "Operating System|DVDRegion=2",
      "NT Specific|ProductType=Unknown", "NT Specific|Terminal Services=0",
      "NT Specific|ServicePackMajorVersion=0", "Folders|OtherDevice=C:\\WINDOWS\\INF\\OTHER",
      "Folders|Config=C:\\WINDOWS\\CONFIG", "Folders|System=C:\\WINDOWS\\SYSTEM", "Folders|Profile=C:\\WINDOWS",
      "Time Zone|TimeZone=(GMT+01:00) Brussels, Copenhagen, Madrid, Paris"}},
    {"Windows95OSR2", [](FakePlatform& machine) {
         machine.systemFake.poseAsWindows95(testing::Windows95Release::OSR2);
         machine.loadRegistryFixture("os-95osr2.reg");
     }, "OSR 2",
     {"Operating System|VersionName=Windows 95", "Operating System|Version=4.0",
      "Operating System|BuildNumber=1111", "Operating System|RegOrganization=",
      "NT Specific|ProductType=Unknown", "Folders|Wallpaper=", "Folders|Desktop=", "Folders|Profile=",
      "Time Zone|TimeZone="}},
};

class OSMachineTest : public OSTest, public ::testing::WithParamInterface<MachineLines> {};

TEST_P(OSMachineTest, ReportsTheLinesOfItsMachine) {
    GetParam().pose(machine);
    EXPECT_EQ(refreshed().EditionText, GetParam().editionText);
    const std::vector<std::string> lines = report();
    for (const std::string& expected : GetParam().lines) {
        const size_t bar = expected.find('|');
        EXPECT_THAT(sectionLines(lines, expected.substr(0, bar)), Contains(expected.substr(bar + 1)));
    }
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Machines, OSMachineTest, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OSTest, BothTerminalServicesLinesShowTheSuite) {
    kMachines[0].pose(machine);
    refreshed();
    const std::vector<std::string> lines = sectionLines(report(), "NT Specific");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Terminal Services=1"), 2);
    EXPECT_EQ(lines.size(), 12u);
}

// ---------------------------------------------------------------- NT specifics

TEST_F(OSTest, TheRecordNamesTheProductTypeElseProductOptionsDo) {
    using enum TNtProductType;
    const std::tuple<uint8_t, const char*, TNtProductType> cases[] = {
        {1, "ServerNT", ptWorkStation}, {2, "WinNT", ptAdvancedServer}, {3, "WinNT", ptServer},
        {7, "LanmanNT", ptAdvancedServer}, {0, "ServerNT", ptServer}, {0, "servernt", ptUnknown}};
    for (const auto& [recordType, productOptions, expected] : cases) {
        machine.systemFake.versionEx->productType = recordType;
        machine.loadRegistry(
            std::string("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions]\n") +
            "\"ProductType\"=\"" + productOptions + "\"\n");
        TNTSpecific nt(machine);
        nt.GetInfo();
        EXPECT_EQ(nt.ProductType(), expected) << int{recordType} << productOptions;
    }
}

// ---------------------------------------------------------------- time zones

constexpr const char* kZonesKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\";
constexpr const char* kRomanceTZI =
    "\"TZI\"=hex:c4,ff,ff,ff,00,00,00,00,c4,ff,ff,ff,00,00,0a,00,00,00,05,00,03,00,00,00,00,00,00,00,"
    "00,00,03,00,00,00,05,00,02,00,00,00,00,00,00,00";

struct ZoneCase {
    const char* name;
    std::string regText;  // below the NT line's zones key
    std::function<void(platform::TimeZoneInformation&)> change;
    uint16_t year;
    const char* displayName;
    const char* stdName;
    int32_t stdBias;
    const char* dlghtName;
    int32_t dlghtBias;
};

const ZoneCase kZones[] = {
    {"RuleAndBothNamesPickTheZone", "", [](auto& zone) {
         zone.standardName = "W. Europe Standard Time";
         zone.daylightName = "W. Europe Daylight Time";
     }, 2004, "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "2004-10-31 03:00:00", -60,
     "2004-03-28 02:00:00", -120},
    {"LastSundaysOfAnotherYear", "", [](auto&) {}, 2007, "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris",
     "2007-10-28 03:00:00", -60, "2007-03-25 02:00:00", -120},
    {"AbsoluteDatesStandAsTheyAre", "", [](auto& zone) {
         zone.daylightDate = {2006, 4, 0, 2, 2, 0, 0, 0};
         zone.standardDate = {2006, 10, 0, 29, 2, 30, 0, 0};
     }, 2004, "", "2006-10-29 02:30:00", -60, "2006-04-02 02:00:00", -120},
    {"AZoneWithoutDaylightSavingKeepsItsOffsetAllYear",
     std::string(kZonesKey) + "US Mountain Standard Time]\n\"Display\"=\"(GMT-07:00) Arizona\"\n"
         "\"Std\"=\"US Mountain Standard Time\"\n\"Dlt\"=\"US Mountain Daylight Time\"\n"
         "\"TZI\"=hex:a4,01,00,00,00,00,00,00,c4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,"
         "00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00\n",
     [](auto& zone) {
         zone = {420, "US Mountain Standard Time", {}, 0, "US Mountain Daylight Time", {}, -60};
     }, 2004, "(GMT-07:00) Arizona", "1899-12-30", 420, "1899-12-30", 420},
    // A zone whose TZI is not 44 bytes is never taken for the current one, not even
    // after a zone with the current rule.
    {"ATZIOfAnotherSizeNeverMatches",
     std::string(kZonesKey) + "A]\n\"Display\"=\"A\"\n\"Std\"=\"A Standard\"\n\"Dlt\"=\"A Daylight\"\n" + kRomanceTZI +
         "\n" + kZonesKey + "B]\n\"Display\"=\"B\"\n\"Std\"=\"B Standard\"\n\"Dlt\"=\"B Daylight\"\n" +
         "\"TZI\"=hex:c4,ff,ff,ff,00,00,00,00,c4,ff,ff,ff,00,00,0a,00,00,00,05,00,03,00,00,00,00,00,00,00,"
         "00,00,03,00,00,00,05,00,02,00,00,00,00,00,00\n" +
         kZonesKey + "C]\n\"Display\"=\"C\"\n\"Std\"=\"B Standard\"\n\"Dlt\"=\"B Daylight\"\n" + kRomanceTZI +
         ",00\n",
     [](auto& zone) {
         zone.standardName = "B Standard";
         zone.daylightName = "B Daylight";
     }, 2004, "", "2004-10-31 03:00:00", -60, "2004-03-28 02:00:00", -120},
    // Names without their NUL, and longer than a zone name can be, are read only
    // within their bytes and cut to 31 characters.
    {"NamesAreCutAndReadOnlyWithinTheirBytes",
     std::string(kZonesKey) + "Long]\n\"Display\"=\"Long\"\n" + kRomanceTZI +
         "\n\"Std\"=hex(1):52,6f,6d,61,6e,63,65,20,53,74,61,6e,64,61,72,64,20,54,69,6d,65,20,28,43,6f,70,"
         "65,6e,68,61,67,65,6e,2c,20,50,61,72,69,73,29\n"
         "\"Dlt\"=hex(1):52,6f,6d,61,6e,63,65\n",
     [](auto& zone) {
         zone.standardName = "Romance Standard Time (Copenhag";
         zone.daylightName = "Romance";
     }, 2004, "Long", "2004-10-31 03:00:00", -60, "2004-03-28 02:00:00", -120},
};

class TimeZoneTest : public OSTest, public ::testing::WithParamInterface<ZoneCase> {};

TEST_P(TimeZoneTest, ReportsTheZoneAndThisYearsTransitions) {
    const ZoneCase& zone = GetParam();
    if (zone.regText.empty()) {
        machine.loadRegistryFixture("os-xp.reg");
    } else {
        machine.loadRegistry("REGEDIT4\n" + zone.regText);
    }
    zone.change(*machine.localeFake.timeZone);
    machine.systemFake.now.year = zone.year;
    refreshed();
    EXPECT_THAT(sectionLines(report(), "Time Zone"),
                ElementsAre(std::string("TimeZone=") + zone.displayName, std::string("StdName=") + zone.stdName,
                            "StdBias=" + std::to_string(zone.stdBias), std::string("DlghtName=") + zone.dlghtName,
                            "DlghtBias=" + std::to_string(zone.dlghtBias)));
}

INSTANTIATE_TEST_SUITE_P(Zones, TimeZoneTest, ::testing::ValuesIn(kZones),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- locale

TEST_F(OSTest, TheFirstDigitOfTheNegativeCurrencyCodeSelectsThePattern) {
    const std::pair<const char*, std::string_view> cases[] = {{"0", "($1.1)"}, {"5", "-1.1$"}, {"9", "-$ 1.1"}, {"15", "-$1.1"}};
    for (const auto& [code, pattern] : cases) {
        machine.localeFake.items[item::kNegativeCurrencyMode] = code;
        EXPECT_EQ(refreshed().LocaleInfo().NegativeCurrencyMode(), pattern) << code;
    }
}

// The refresh stops at the item; those before it have their new values, those after it
// their old ones, and the probe's own steps still run.
TEST(OSLocaleTest, ABadItemFailsTheRefreshAtTheItem) {
    const std::pair<const char*, const char*> cases[] = {{"x", "'x' is not a valid integer value"},
                                                         {"", "'' is not a valid integer value"},
                                                         {"3", "'3' is not a valid TDateOrder value"}};
    for (const auto& [text, message] : cases) {
        FakePlatform machine;
        TOperatingSystem probe(machine);
        const auto refresh = [&] {
            const OstrelRoutinesSession session(machine);
            probe.GetInfo();
        };
        refresh();
        machine.localeFake.items[item::kShortDateFormat] = "yyyy-MM-dd";
        machine.localeFake.items[item::kShortDateOrder] = text;
        machine.localeFake.items[item::kLongDateOrder] = "2";
        machine.systemFake.windowsFolder = "D:\\WINDOWS";
        refresh();
        ASSERT_EQ(machine.uiFake.errors.size(), 1u) << text;
        EXPECT_EQ(machine.uiFake.errors[0].text, std::string("TLocaleInfo.GetInfo: ") + message);
        EXPECT_EQ(probe.LocaleInfo().ShortDateFormat(), "yyyy-MM-dd");
        EXPECT_EQ(probe.LocaleInfo().LongDateOrder(), TDateOrder::DMY);
        EXPECT_THAT(probe.Folders().toVector(), Contains("Windows=D:\\WINDOWS"));
    }
}

// ---------------------------------------------------------------- failures and helpers

TEST_F(OSTest, AFailingSubObjectLeavesTheOthersToRun) {
    poseAsMettesXP(machine);
    machine.localeFake.timeZone.reset();
    refreshed();
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].text, "TTimeZone.GetInfo: The system gives no time zone");
    EXPECT_EQ(probe.NTSpecific().ProductType(), TNtProductType::ptWorkStation);
    EXPECT_EQ(probe.Internet().ConnectionType(), TConnectionType::ctLAN);
    EXPECT_EQ(probe.LocaleInfo().FullLanguageEnglishName(), "Danish");
    EXPECT_EQ(probe.RegisteredUser(), "Mette Jensen");

    probe.setExceptionMode(TExceptionMode::emRaise);
    EXPECT_THROW(refreshed(), Exception);
}

TEST_F(OSTest, AnUnknownPlatformIdKeepsThePlatform) {
    refreshed();
    machine.systemFake.version.platform = static_cast<platform::PlatformId>(3);
    EXPECT_EQ(refreshed().Platform(), TOSPlatform::opWinNT);
}

TEST_F(OSTest, AReportBeforeAnyRefreshHoldsEmptyValues) {
    const std::vector<std::string> lines = report();
    EXPECT_EQ(lines.size(), 1u + 10 + 1 + 12 + 2 + 1 + 5 + 1 + 4 + 1 + 24);
    EXPECT_THAT(sectionLines(lines, "Operating System"), Contains("Platform=Windows 3.1x"));
    EXPECT_THAT(sectionLines(lines, "Time Zone"), Contains("StdName=1899-12-30"));
    EXPECT_THAT(sectionLines(lines, "Locale"), Contains("NegativeCurrencyMode=($1.1)"));
}

TEST(OSHelpersTest, LanguageIDIsFourLowerCaseHexDigits) {
    EXPECT_EQ(LanguageIDText(0x0409), "$0409");
    EXPECT_EQ(LanguageIDText(0x040C), "$040c");
    EXPECT_EQ(LanguageIDText(0x0006), "$0006");
}

TEST(OSHelpersTest, TheProfileIsTheDesktopsFolder) {
    EXPECT_EQ(ProfileOfDesktop("C:\\Documents and Settings\\Mette\\Desktop"), "C:\\Documents and Settings\\Mette");
    EXPECT_EQ(ProfileOfDesktop("Desktop"), "Desktop");
    EXPECT_EQ(ProfileOfDesktop("C:\\Desktop"), "C:");
    const std::string deep = "C:\\" + std::string(300, 'a') + "\\Desktop";
    EXPECT_EQ(ProfileOfDesktop(deep), std::string(255, 'a'));
}

}  // namespace
}  // namespace vardak::probes
