// The engines probe on a fake machine: engine versions from files and automation
// objects, DirectX from the registry, and the SCSI scan through a fake ASPI layer.
#include "probes/hardware/Vesk_Engines.h"

#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"
#include "tests/support/VersionResourceBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vardak::probes {
namespace {

using testing::FakeScsiDevice;
using testing::sectionLines;
using Lines = std::vector<std::string>;

class EnginesTest : public ::testing::Test {
protected:
    void addVersionedFile(const std::string& path, uint16_t major, uint16_t minor) {
        machine.filesFake.setVersionResource(path, testing::VersionResourceBuilder().fileVersion(major, minor, 0, 1).buildWide());
    }
    // A CD drive at target 3 of the one host adapter; its vendor and revision fill
    // their fields, with no NUL before the next one.
    void installCDDrive(FakeScsiDevice::Completion completion) {
        std::vector<uint8_t> inquiry(56, 0);
        const std::string texts = "PLEXTOR!CD-R   PX-W4824A1.0707/11/03";
        std::copy(texts.begin(), texts.end(), inquiry.begin() + 8);
        machine.aspiFake.hostAdapters = 1;
        machine.aspiFake.devices.push_back({.target = 3, .type = 5, .inquiry = inquiry, .completion = completion});
        machine.aspiFake.install(machine.librariesFake);
        addVersionedFile("C:\\WINDOWS\\SYSTEM32\\wnaspi32.dll", 4, 60);
    }
    Lines refresh() {
        const OstrelRoutinesSession routines(machine);
        const OstrelBindingsSession bindings(machine);
        engines.GetInfo();
        return testing::reportOf(engines);
    }

    testing::FakePlatform machine;
    TEngines engines{machine};
};

struct DirectXCase {
    const char* values;
    Lines section;
};

class DirectXVersionTest : public EnginesTest, public ::testing::WithParamInterface<DirectXCase> {};

TEST_P(DirectXVersionTest, FromTheTextElseFromTheInstalledNumbers) {
    machine.loadRegistry(std::string("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectX]\n") +
                         GetParam().values);
    const Lines report = refresh();
    EXPECT_EQ(sectionLines(report, "DirectX"), GetParam().section);
    EXPECT_EQ(std::count(report.begin(), report.end(), "[Direct3D]"), GetParam().section.empty() ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Values, DirectXVersionTest, ::testing::Values(
    DirectXCase{"\"Version\"=\"4.09.00.0904\"\n\"InstalledVersion\"=hex:00,00,00,09,00,00,00,00\n",
                {"Version=4.09.00.0904"}},
    DirectXCase{"\"InstalledVersion\"=hex:00,00,00,08,00,00,00,01\n", {"Version=8.1"}},
    DirectXCase{"\"Version\"=\"\"\n\"InstalledVersion\"=hex:00,00,00,07\n", {"Version=7.0"}},
    DirectXCase{"\"InstalledVersion\"=hex:00,00,07\n", {}}));

TEST_F(EnginesTest, DirectXListsTheDescriptionsOfRegisteredDrivers) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\DirectX]
"Version"="4.08.01.0881"
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Direct3D\Drivers\Ramp Emulation]
"Description"="Ramp Software Emulation"
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Direct3D\Drivers\Nameless]
)");
    const Lines report = refresh();
    EXPECT_EQ(sectionLines(report, "Direct3D"), (Lines{"Count=1", "Device1=Ramp Software Emulation"}));
    EXPECT_EQ(sectionLines(report, "DirectMusic"), (Lines{"Count=0"}));
}

TEST_F(EnginesTest, DAOFallsBackToTheOlderEngineWithCOMStartedOnlyMeanwhile) {
    machine.automationFake.registerObject("DAO.DBEngine.35", {{"Version", "3.5"}});
    machine.automationFake.registerObject("ADODB.Connection", {{"Version", "2.8"}});
    refresh();
    EXPECT_EQ(engines.DAO(), "3.5");
    EXPECT_EQ(engines.ADO(), "2.8");
    EXPECT_EQ(machine.automationFake.requests, (Lines{"DAO.DBEngine.36", "DAO.DBEngine.35", "adodb.connection"}));
    EXPECT_EQ(machine.automationFake.openSessions, 0);
    EXPECT_EQ(machine.automationFake.liveObjects, 0);
}

TEST_F(EnginesTest, BDEAndODBCFromTheRegistryElseODBCFromTheCurrentThenTheSystemFolder) {
    addVersionedFile("C:\\WINDOWS\\SYSTEM32\\ODBC32.DLL", 3, 510);
    refresh();
    EXPECT_EQ(engines.ODBC(), "3.510.0.1");
    addVersionedFile(".\\ODBC32.DLL", 3, 100);
    refresh();
    EXPECT_EQ(engines.ODBC(), "3.100.0.1");
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SOFTWARE\Borland\Database Engine]
"DLLPATH"="C:\\BDE"
[HKEY_LOCAL_MACHINE\SOFTWARE\ODBC\ODBCINST.INI\ODBC Core\FileList]
"ODBC32.DLL"="C:\\ODBC\\ODBC32.DLL"
)");
    addVersionedFile("C:\\BDE\\IDAPI32.DLL", 5, 2);
    addVersionedFile("C:\\ODBC\\ODBC32.DLL", 3, 520);
    const Lines report = refresh();
    EXPECT_EQ(sectionLines(report, "BDE"), (Lines{"Version=5.2.0.1"}));
    EXPECT_EQ(sectionLines(report, "ODBC"), (Lines{"Version=3.520.0.1"}));
}

TEST_F(EnginesTest, WithoutTheLayerOnlyTheSectionLines) {
    EXPECT_EQ(refresh(), (Lines{"[ODBC]", "[BDE]", "[DAO]", "[ADO]", "[DirectX]", "[ASPI32]"}));
}

TEST_F(EnginesTest, ACDDriveAtTarget3OfOneHostAdapter) {
    installCDDrive(FakeScsiDevice::Completion::Later);
    EXPECT_EQ(sectionLines(refresh(), "ASPI32"), (Lines{"Version=4.60.0.1", "Count=1", "Vendor1=PLEXTOR!",
                                                        "Product1=CD-R   PX-W4824A", "Adapter1=0", "ID1=3",
                                                        "Type1=5", "Status1=1"}));
    EXPECT_EQ(engines.ASPI32().DevRevision().toVector(), Lines{"1.07"});
    EXPECT_EQ(engines.ASPI32().DevVendorData().toVector(), Lines{"07/11/03"});
    EXPECT_EQ(machine.aspiFake.requestsAbandoned, 0);
}

TEST_F(EnginesTest, ACommandStillPendingAfterTheWaitIsLeftToTheLayer) {
    installCDDrive(FakeScsiDevice::Completion::Never);
    EXPECT_EQ(sectionLines(refresh(), "ASPI32"), (Lines{"Version=4.60.0.1", "Count=1", "Vendor1=", "Product1=",
                                                        "Adapter1=0", "ID1=3", "Type1=5", "Status1=0"}));
    EXPECT_EQ(machine.aspiFake.waits, (std::vector<uint32_t>{TASPI32::kCommandWaitMs}));
    EXPECT_EQ(machine.aspiFake.requestsAbandoned, 1);
    EXPECT_EQ(machine.aspiFake.requestsFreedWhilePending, 0);
}

}  // namespace
}  // namespace vardak::probes
