// The engines probe on the real backend under Wine: the prefix's DirectX and ODBC
// against what the system itself reads, the ASPI layer Wine has (or none), automation
// objects by program id, and a "psapi.dll" planted in the current folder, which the
// report program does not take.
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Engines.h"
#include "tests/support/ProbeTesting.h"
#include "tests/wine/WineHarness.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>

namespace vardak::winetest {
namespace {

std::string systemFile(const std::string& name) {
    char folder[MAX_PATH + 1] = {};
    return std::string(folder, GetSystemDirectoryA(folder, MAX_PATH)) + "\\" + name;
}

std::string directXVersionValue() {
    char value[256] = {};
    DWORD size = sizeof value - 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(key);
    }
    return value;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The report program started in the folder of the marking library built as
// "psapi.dll": it does not take it, no error is shown, and the engine sections come
// between the devices and the disks. A copy under a name the system folder lacks is
// found there by name, but not by a load from the system folder.
TEST(PlantedLibraryTest, TheReportProgramBesideAPlantedPsapi) {
    const std::string library = winePathOf(VARDAK_PLANTED_LIBRARY);
    const std::string folder = library.substr(0, library.rfind('\\'));
    const std::string other = folder + "\\vardak-planted.dll";
    for (const std::string& mark : {library + ".loaded", other + ".loaded"}) {
        DeleteFileA(mark.c_str());
    }
    ASSERT_TRUE(CopyFileA(library.c_str(), other.c_str(), FALSE));
    const CurrentFolder current(folder);
    const ProcessResult run = runProcess("\"" + winePathOf(VARDAK_REPORT_EXE) + "\"");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(fileExists(library + ".loaded"));
    TStringList report;
    report.setText(run.output);
    // An error is a line of its own here, in place of the box: a failed refresh or release.
    EXPECT_EQ(run.output.find(".GetInfo: "), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Unload Error"), std::string::npos) << run.output;
    EXPECT_LT(report.indexOf("[Devices]"), report.indexOf("[ODBC]"));
    EXPECT_LT(report.indexOf("[ASPI32]"), report.indexOf("[Disks]"));
    EXPECT_EQ(testing::sectionLines(report, "DirectX"), std::vector<std::string>{"Version=" + directXVersionValue()});

    win32::Win32Platform platform(/*console=*/true);
    EXPECT_EQ(platform.libraries().loadFromSystemFolder("vardak-planted.dll"), 0u);
    EXPECT_FALSE(fileExists(other + ".loaded"));
    const platform::ModuleHandle searched = platform.libraries().load("vardak-planted.dll");
    EXPECT_NE(searched, 0u);
    platform.libraries().free(searched);
    EXPECT_TRUE(fileExists(other + ".loaded"));
}

TEST(EnginesWineTest, TheEnginesOfThePrefixAndAutomationObjectsByProgramId) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    const probes::OstrelBindingsSession bindings(platform);
    probes::TEngines engines(platform);
    engines.GetInfo();  // under emRaise: a failing part fails the test
    EXPECT_FALSE(directXVersionValue().empty());
    EXPECT_EQ(engines.DirectX().Version(), directXVersionValue());
    // The file version as the shared routines read it, which their own test holds
    // against the system's version library.
    EXPECT_FALSE(engines.ODBC().empty());
    EXPECT_EQ(engines.ODBC(), probes::GetFileVersion(platform, systemFile("odbc32.dll")));
    // Wine's layer, where it answers, or none.
    const std::string aspi = engines.ASPI32().ASPI();
    EXPECT_TRUE(aspi.empty() || aspi == probes::GetFileVersion(platform, systemFile("wnaspi32.dll"))) << aspi;
    std::cout << "DirectX " << engines.DirectX().Version() << ", ODBC " << engines.ODBC() << ", ASPI \"" << aspi
              << "\" with " << engines.ASPI32().DevVendor().count() << " devices\n";

    platform::Automation& automation = platform.automation();
    const platform::AutomationSession session(automation);
    EXPECT_EQ(automation.object("Vardak.NoSuchEngine.1"), nullptr);
    // Wine's data-access type library is not registered in the prefix, so the
    // scripting runtime's object shows that properties read by name.
    const auto dictionary = automation.object("Scripting.Dictionary");
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(dictionary->propertyText("Count"), "0");
    EXPECT_EQ(dictionary->propertyText("NoSuchProperty"), std::nullopt);
}

}  // namespace
}  // namespace vardak::winetest
