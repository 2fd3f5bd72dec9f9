// The engines probe and the library bindings on the real backend under Wine: the
// prefix's DirectX and ODBC against what the system itself reads, the ASPI layer
// Wine has (or none), automation objects by program id, and libraries planted in
// the current folder, which neither the bindings nor the report program take.
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_PSAPI.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Ostrel_WnASPI32.h"
#include "probes/hardware/Vesk_Engines.h"
#include "tests/support/ProbeTesting.h"
#include "tests/wine/WineHarness.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vardak::winetest {
namespace {

std::string systemFolder() {
    char folder[MAX_PATH + 1] = {};
    return std::string(folder, GetSystemDirectoryA(folder, MAX_PATH));
}

// The file version as the system's own version library reads it, "" without one.
std::string systemFileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> resource(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, resource.data()) ||
        !VerQueryValueA(resource.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || fixed == nullptr) {
        return {};
    }
    return std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
           "." + std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionLS));
}

std::optional<std::string> directXVersionValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    char value[256] = {};
    DWORD size = sizeof value - 1;
    const LONG read = RegQueryValueExA(key, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? std::optional<std::string>(value) : std::nullopt;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---------------------------------------------------------------- planted libraries

class PlantedLibraryTest : public ::testing::Test {
protected:
    // The marking library copied into the folder under `name`; the path of its mark.
    std::string plant(const std::string& name) {
        const std::string path = folder.path() + "\\" + name;
        EXPECT_TRUE(CopyFileA(winePathOf(VARDAK_PLANTED_LIBRARY).c_str(), path.c_str(), FALSE)) << path;
        return path + ".loaded";
    }

    TemporaryFolder folder;
};

// First of the file: the process-status library is kept once bound.
TEST_F(PlantedLibraryTest, LibrariesComeFromTheSystemFolderNotTheCurrentOne) {
    ASSERT_FALSE(folder.path().empty());
    ASSERT_EQ(GetModuleHandleA("psapi.dll"), nullptr) << "the test needs psapi.dll not loaded yet";
    const std::string psapiMark = plant("psapi.dll");
    const std::string plantedMark = plant("vardak-planted.dll");
    const CurrentFolder current(folder.path());
    win32::Win32Platform platform(/*console=*/true);

    {
        const probes::OstrelBindingsSession bindings(platform);
        ASSERT_TRUE(probes::PSAPIBinding().loaded());
        char path[MAX_PATH + 1] = {};
        GetModuleFileNameA(reinterpret_cast<HMODULE>(probes::PSAPIBinding().module()), path, MAX_PATH);
        EXPECT_EQ(lstrcmpiA(path, (systemFolder() + "\\psapi.dll").c_str()), 0) << path;
    }
    EXPECT_FALSE(fileExists(psapiMark));

    platform::RuntimeLibraries& libraries = platform.libraries();
    EXPECT_EQ(libraries.loadFromSystemFolder("vardak-planted.dll"), 0u);
    EXPECT_FALSE(fileExists(plantedMark));
    // The same name without a path is found there: the planted library does mark.
    const platform::ModuleHandle searched = libraries.load("vardak-planted.dll");
    EXPECT_NE(searched, 0u);
    libraries.free(searched);
    EXPECT_TRUE(fileExists(plantedMark));
}

// The report program started in a folder with a planted "psapi.dll": it does not take
// it, no probe fails, and the engine sections come between the devices and the disks.
TEST_F(PlantedLibraryTest, TheReportProgramStartsCleanlyBesideAPlantedLibrary) {
    ASSERT_FALSE(folder.path().empty());
    const std::string mark = plant("psapi.dll");
    ProcessResult run;
    {
        const CurrentFolder current(folder.path());
        run = runProcess("\"" + winePathOf(VARDAK_REPORT_EXE) + "\"");
    }
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(fileExists(mark));
    TStringList report;
    report.setText(run.output);
    EXPECT_EQ(run.output.find(".GetInfo: "), std::string::npos) << run.output;
    EXPECT_LT(0, report.indexOf("[Devices]"));
    EXPECT_LT(report.indexOf("[Devices]"), report.indexOf("[ODBC]"));
    EXPECT_LT(report.indexOf("[ASPI32]"), report.indexOf("[Disks]"));
    EXPECT_EQ(testing::sectionLines(report, "DirectX"),
              std::vector<std::string>{"Version=" + directXVersionValue().value_or("?")});
}

// ---------------------------------------------------------------- the probe

TEST(EnginesWineTest, TheEnginesOfThePrefix) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    const probes::OstrelBindingsSession bindings(platform);
    probes::TEngines engines(platform);
    engines.GetInfo();  // under emRaise: a failing part fails the test
    TStringList report;
    engines.Report(report);

    const std::optional<std::string> directX = directXVersionValue();
    ASSERT_TRUE(directX.has_value());
    EXPECT_EQ(engines.DirectX().Version(), *directX);
    EXPECT_EQ(testing::sectionLines(report, "DirectX"), std::vector<std::string>{"Version=" + *directX});

    const std::string odbc = systemFileVersion(systemFolder() + "\\odbc32.dll");
    EXPECT_FALSE(odbc.empty());
    EXPECT_EQ(engines.ODBC(), odbc);

    // Wine's layer, where it answers, or none.
    const uint32_t support = probes::ASPI32SupportInfo();
    const std::vector<std::string> aspi = testing::sectionLines(report, "ASPI32");
    if ((support >> 8 & 0xFF) == 1) {
        EXPECT_EQ(engines.ASPI32().ASPI(), systemFileVersion(systemFolder() + "\\wnaspi32.dll"));
        ASSERT_FALSE(aspi.empty());
        EXPECT_EQ(aspi[1], "Count=" + std::to_string(engines.ASPI32().DevVendor().count()));
    } else {
        EXPECT_EQ(engines.ASPI32().ASPI(), "");
        EXPECT_TRUE(aspi.empty());
    }
    EXPECT_EQ(report.indexOf("[ASPI32]"), report.count() - static_cast<int>(aspi.size()) - 1);
}

TEST(EnginesWineTest, AutomationObjectsByProgramId) {
    win32::Win32Platform platform(/*console=*/true);
    platform::Automation& automation = platform.automation();
    const platform::AutomationSession session(automation);
    EXPECT_EQ(automation.object("Vardak.NoSuchEngine.1"), nullptr);
    // Wine's data-access objects exist (their type library is not registered in the
    // prefix, so their properties do not read by name); the scripting runtime's do.
    EXPECT_NE(automation.object("adodb.connection"), nullptr);
    const auto dictionary = automation.object("Scripting.Dictionary");
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(dictionary->propertyText("Count"), "0");
    EXPECT_EQ(dictionary->propertyText("NoSuchProperty"), std::nullopt);
}

}  // namespace
}  // namespace vardak::winetest
