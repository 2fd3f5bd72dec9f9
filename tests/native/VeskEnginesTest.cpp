// The engines probe on a fake machine: engine versions from files and automation
// objects, DirectX from the registry, and the SCSI scan through a fake ASPI layer.
#include "probes/hardware/Vesk_Engines.h"

#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"
#include "tests/support/VersionResourceBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vardak::probes {
namespace {

using testing::FakePlatform;
using testing::FakeScsiDevice;
using testing::sectionLines;
using Lines = std::vector<std::string>;

constexpr uint8_t kCDROM = 5;

class EnginesTest : public ::testing::Test {
protected:
    void addVersionedFile(const std::string& path, uint16_t major, uint16_t minor) {
        testing::VersionResourceBuilder version;
        version.fileVersion(major, minor, 0, 1);
        machine.filesFake.setVersionResource(path, version.buildWide());
    }
    void installCDDrive(FakeScsiDevice::Completion completion) {
        machine.aspiFake.hostAdapters = 1;
        machine.aspiFake.devices.push_back(
            {.target = 3,
             .type = kCDROM,
             .inquiry = testing::FakeAspiLayer::inquiryData(kCDROM, "PLEXTOR!", "CD-R   PX-W4824A", "1.07", "07/11/03"),
             .completion = completion});
        machine.aspiFake.install(machine.librariesFake);
        addVersionedFile("C:\\WINDOWS\\SYSTEM32\\wnaspi32.dll", 4, 60);
    }
    // The report of a refresh, in `report`.
    void refresh() {
        const OstrelRoutinesSession routines(machine);
        const OstrelBindingsSession bindings(machine);
        TEngines engines(machine);
        engines.GetInfo();
        report.clear();
        engines.Report(report);
    }

    FakePlatform machine;
    TStringList report;
};

// ---------------------------------------------------------------- DirectX

struct DirectXCase {
    const char* name;
    const char* values;
    Lines section;
};

const DirectXCase kDirectXCases[] = {
    {"VersionText", "\"Version\"=\"4.09.00.0904\"\n\"InstalledVersion\"=hex:00,00,00,09,00,00,00,00\n",
     {"Version=4.09.00.0904"}},
    {"EightBytesInstalled", "\"InstalledVersion\"=hex:00,00,00,08,00,00,00,01\n", {"Version=8.1"}},
    {"FourBytesInstalled", "\"Version\"=\"\"\n\"InstalledVersion\"=hex:00,00,00,07\n", {"Version=7.0"}},
    {"OddSizeInstalled", "\"InstalledVersion\"=hex:00,00,07\n", {}},
    {"NoValues", "", {}},
};

class DirectXVersionTest : public EnginesTest, public ::testing::WithParamInterface<DirectXCase> {};

TEST_P(DirectXVersionTest, VersionFromTheTextOrTheInstalledNumbers) {
    machine.loadRegistry(std::string("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectX]\n") +
                         GetParam().values);
    refresh();
    EXPECT_EQ(sectionLines(report, "DirectX"), GetParam().section);
    EXPECT_EQ(report.indexOf("[Direct3D]") >= 0, !GetParam().section.empty());
}

INSTANTIATE_TEST_SUITE_P(Values, DirectXVersionTest, ::testing::ValuesIn(kDirectXCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EnginesTest, DirectXListsTheDescriptionsOfRegisteredDrivers) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\DirectX]
"Version"="4.08.01.0881"
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Direct3D\Drivers\Ramp Emulation]
"Description"="Microsoft Direct3D Mono(Ramp) Software Emulation"
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Direct3D\Drivers\Nameless]
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\DirectPlay\Services\{36E95EE0-8577-11cf-960C-0080C7534E82}]
"Description"="Internet TCP/IP Connection For DirectPlay"
)");
    refresh();
    EXPECT_EQ(sectionLines(report, "Direct3D"),
              (Lines{"Count=1", "Device1=Microsoft Direct3D Mono(Ramp) Software Emulation"}));
    EXPECT_EQ(sectionLines(report, "DirectPlay"),
              (Lines{"Count=1", "Device1=Internet TCP/IP Connection For DirectPlay"}));
    EXPECT_EQ(sectionLines(report, "DirectMusic"), (Lines{"Count=0"}));
}

// ---------------------------------------------------------------- engines

TEST_F(EnginesTest, DAOFallsBackToTheOlderEngineWithCOMStartedOnlyMeanwhile) {
    machine.automationFake.registerObject("DAO.DBEngine.35", {{"Version", "3.5"}});
    machine.automationFake.registerObject("ADODB.Connection", {{"Version", "2.8"}});
    refresh();
    EXPECT_EQ(sectionLines(report, "DAO"), (Lines{"Version=3.5"}));
    EXPECT_EQ(sectionLines(report, "ADO"), (Lines{"Version=2.8"}));
    EXPECT_EQ(machine.automationFake.requests,
              (Lines{"DAO.DBEngine.36", "DAO.DBEngine.35", "adodb.connection"}));
    EXPECT_TRUE(machine.automationFake.requestsOutsideSession.empty());
    EXPECT_EQ(machine.automationFake.openSessions, 0);
    EXPECT_EQ(machine.automationFake.liveObjects, 0);
}

TEST_F(EnginesTest, EnginesWithoutFilesOrObjectsKeepOnlyTheirSections) {
    refresh();
    const Lines expected = {"[ODBC]", "[BDE]", "[DAO]", "[ADO]", "[DirectX]", "[ASPI32]"};
    EXPECT_EQ(report.toVector(), expected);
}

TEST_F(EnginesTest, BDEAndODBCFromTheFilesTheRegistryNames) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SOFTWARE\Borland\Database Engine]
"DLLPATH"="C:\\Program Files\\Common Files\\Borland Shared\\BDE"
[HKEY_LOCAL_MACHINE\SOFTWARE\ODBC\ODBCINST.INI\ODBC Core\FileList]
"ODBC32.DLL"="C:\\ODBC\\ODBC32.DLL"
)");
    addVersionedFile("C:\\Program Files\\Common Files\\Borland Shared\\BDE\\IDAPI32.DLL", 5, 2);
    addVersionedFile("C:\\ODBC\\ODBC32.DLL", 3, 520);
    addVersionedFile("C:\\WINDOWS\\SYSTEM32\\ODBC32.DLL", 3, 510);
    refresh();
    EXPECT_EQ(sectionLines(report, "BDE"), (Lines{"Version=5.2.0.1"}));
    EXPECT_EQ(sectionLines(report, "ODBC"), (Lines{"Version=3.520.0.1"}));
}

TEST_F(EnginesTest, WithoutTheFileListODBCIsSearchedInTheCurrentThenTheSystemFolder) {
    addVersionedFile("C:\\WINDOWS\\SYSTEM32\\ODBC32.DLL", 3, 510);
    refresh();
    EXPECT_EQ(sectionLines(report, "ODBC"), (Lines{"Version=3.510.0.1"}));
    addVersionedFile(".\\ODBC32.DLL", 3, 100);
    refresh();
    EXPECT_EQ(sectionLines(report, "ODBC"), (Lines{"Version=3.100.0.1"}));
}

// ---------------------------------------------------------------- ASPI

TEST_F(EnginesTest, ACDDriveAtTarget3OfOneHostAdapter) {
    installCDDrive(FakeScsiDevice::Completion::Later);
    refresh();
    // The vendor fills its field: no NUL ends it before the product.
    EXPECT_EQ(sectionLines(report, "ASPI32"), (Lines{"Version=4.60.0.1", "Count=1", "Vendor1=PLEXTOR!",
                                                     "Product1=CD-R   PX-W4824A", "Adapter1=0", "ID1=3", "Type1=5",
                                                     "Status1=1"}));
    EXPECT_EQ(machine.aspiFake.requestsAbandoned, 0);
}

TEST_F(EnginesTest, TheRevisionAndVendorDataEndWithTheirFields) {
    installCDDrive(FakeScsiDevice::Completion::AtOnce);
    const OstrelRoutinesSession routines(machine);
    const OstrelBindingsSession bindings(machine);
    TASPI32 aspi(machine);
    aspi.GetInfo();
    EXPECT_EQ(aspi.HostAdapterCount(), 1);
    ASSERT_EQ(aspi.DevRevision().count(), 1);
    EXPECT_EQ(aspi.DevRevision()[0], "1.07");
    EXPECT_EQ(aspi.DevVendorData()[0], "07/11/03");
}

TEST_F(EnginesTest, ACommandStillPendingAfterTheWaitIsLeftToTheLayer) {
    installCDDrive(FakeScsiDevice::Completion::Never);
    refresh();
    EXPECT_EQ(sectionLines(report, "ASPI32"), (Lines{"Version=4.60.0.1", "Count=1", "Vendor1=", "Product1=",
                                                     "Adapter1=0", "ID1=3", "Type1=5", "Status1=0"}));
    EXPECT_EQ(machine.aspiFake.waits, (std::vector<uint32_t>{TASPI32::kCommandWaitMs}));
    EXPECT_LE(TASPI32::kCommandWaitMs, 10000u);
    EXPECT_EQ(machine.aspiFake.requestsAbandoned, 1);
    EXPECT_EQ(machine.aspiFake.requestsFreedWhilePending, 0);
}

TEST_F(EnginesTest, ALayerWithoutAdaptersListsNoDevices) {
    machine.aspiFake.install(machine.librariesFake);
    addVersionedFile("C:\\WINDOWS\\wnaspi32.dll", 4, 71);
    refresh();
    EXPECT_EQ(sectionLines(report, "ASPI32"), (Lines{"Version=4.71.0.1", "Count=0"}));
}

}  // namespace
}  // namespace vardak::probes
