// The shared routines on the real backend under Wine: the start-up facts in posed
// children and in the default pose, our own program's version resource read by our
// parser and by the system, shell folders and links, run-time libraries and drives.
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "tests/support/AsciiCase.h"
#include "tests/wine/WineHarness.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vardak::winetest {
namespace {

using probes::TOSKind;
using vardak::testing::upperAscii;

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// ---------------------------------------------------------------- posed start-up facts

struct PosedFacts {
    WindowsPose pose;
    const char* kind;
    const char* servicePack;
    const char* shortName;
    const char* longName;
    bool isNT;
};

constexpr PosedFacts kPosedFacts[] = {
    {WindowsPose::WindowsXP, "osWinXP", "Service Pack 3", "Windows XP", "Windows XP Service Pack 3", true},
    {WindowsPose::Windows2000, "osWin2000", "Service Pack 4", "Windows 2000", "Windows 2000 Service Pack 4", true},
    {WindowsPose::WindowsNT4, "osWinNT4", "Service Pack 6a", "Windows NT", "Windows NT 4.x Service Pack 6a", true},
    {WindowsPose::Windows98, "osWin98SE", " A ", "Windows 98", "Windows 98 Second Edition", false},
};

class OstrelPoseTest : public ::testing::TestWithParam<PosedFacts> {};

TEST_P(OstrelPoseTest, StartUpFactsMatchThePose) {
    const PosedFacts& expected = GetParam();
    const ProcessResult& child = posedReport(expected.pose);
    ASSERT_TRUE(child.started);
    ASSERT_EQ(child.exitCode, 0u) << child.output;
    const auto fields = parseFields(child.output);
    ASSERT_TRUE(fields.count("ostrel.kind")) << child.output;
    EXPECT_EQ(fields.at("ostrel.kind"), expected.kind);
    EXPECT_EQ(fields.at("ostrel.servicePack"), expected.servicePack);
    EXPECT_EQ(fields.at("ostrel.shortName"), expected.shortName);
    EXPECT_EQ(fields.at("ostrel.longName"), expected.longName);
    EXPECT_EQ(fields.at("ostrel.isNT"), expected.isNT ? "1" : "0");
    EXPECT_EQ(fields.at("ostrel.classKey"), expected.isNT ? probes::kNTClassKey : probes::k9xClassKey);
    const std::string machine = fields.at("ostrel.machine");
    EXPECT_FALSE(machine.empty());
    EXPECT_EQ(machine, upperAscii(machine));
    EXPECT_FALSE(fields.at("ostrel.user").empty());
    EXPECT_NE(fields.at("ostrel.totalPhys"), "0");
}

INSTANTIATE_TEST_SUITE_P(Poses, OstrelPoseTest, ::testing::ValuesIn(kPosedFacts),
                         [](const ::testing::TestParamInfo<PosedFacts>& info) {
                             return std::string(wineVersionName(info.param.pose));
                         });

// The prefix's own pose is Windows 7: a version the kinds do not name, on the NT line.
TEST(OstrelDefaultPoseTest, LaterWindowsTakesTheNTPaths) {
    win32::Win32Platform platform(/*console=*/true);
    const platform::OSVersionInfo version = platform.system().versionInfo();
    ASSERT_EQ(version.platform, platform::PlatformId::NT);
    ASSERT_GE(version.major, 6u) << "the prefix is posed as an older Windows";

    const probes::TOstrelFacts facts = probes::ComputeOstrelFacts(platform);
    EXPECT_EQ(facts.OSKind, TOSKind::osUnknown);
    EXPECT_TRUE(facts.IsNT);
    EXPECT_EQ(facts.ClassKey, probes::kNTClassKey);
    EXPECT_EQ(facts.OSShortName, "");
    EXPECT_EQ(facts.OSLongName, "");
    EXPECT_EQ(facts.MachineName, upperAscii(platform.system().computerName()));
    EXPECT_EQ(facts.UserName, platform.system().userName());
    EXPECT_TRUE(isFolder(facts.ProfilePath)) << facts.ProfilePath;
    EXPECT_TRUE(isFolder(facts.ProfilePath + "\\Desktop")) << facts.ProfilePath;
    EXPECT_GT(facts.TotalPhysMem, 0);
    // This test program carries no version resource.
    EXPECT_EQ(facts.ProgramVersion, "");
}

// ---------------------------------------------------------------- our own version resource

// A string of the version resource as the system's own query reads it.
std::string systemVersionString(const std::vector<char>& resource, const std::string& path) {
    void* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(resource.data(), path.c_str(), &text, &length) || text == nullptr) {
        return "<missing>";
    }
    const char* characters = static_cast<const char*>(text);
    return std::string(characters, strnlen(characters, length));
}

TEST(OstrelVersionInfoTest, OurReportProgramReadsAsTheSystemReadsIt) {
    const std::string exe = winePathOf(VARDAK_REPORT_EXE);
    win32::Win32Platform platform(/*console=*/true);
    probes::TVersionInfo info;
    ASSERT_TRUE(probes::GetFileVerInfo(platform, exe, info)) << exe;

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> resource(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, resource.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(VerQueryValueA(resource.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedLength));
    EXPECT_EQ(info.Major, HIWORD(fixed->dwFileVersionMS));
    EXPECT_EQ(info.Minor, LOWORD(fixed->dwFileVersionMS));
    EXPECT_EQ(info.Release, HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(info.Build, LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(info.Version, VARDAK_VERSION_TEXT);

    const std::string table = "\\StringFileInfo\\040904E4\\";
    EXPECT_EQ(info.ProductName, systemVersionString(resource, table + "ProductName"));
    EXPECT_EQ(info.CompanyName, systemVersionString(resource, table + "CompanyName"));
    EXPECT_EQ(info.Description, systemVersionString(resource, table + "FileDescription"));
    EXPECT_EQ(info.Copyright, systemVersionString(resource, table + "LegalCopyright"));
    EXPECT_EQ(info.ProductName, "Vardak");
    EXPECT_FALSE(info.CompanyName.empty());
    EXPECT_FALSE(info.Description.empty());
    EXPECT_FALSE(info.Copyright.empty());
    EXPECT_EQ(probes::GetFileVersion(platform, exe), VARDAK_VERSION_TEXT);
}

// ---------------------------------------------------------------- shell

TEST(OstrelShellTest, ShellLinksResolveToTargetAndArguments) {
    win32::Win32Platform platform(/*console=*/true);
    const std::string target = platform.system().programPath();
    const TemporaryFile link(temporaryFileName() + ".lnk");
    const HRESULT created = createShellLink(link.path(), target, "--child=none /x");
    ASSERT_TRUE(SUCCEEDED(created)) << std::hex << created;

    std::string resolvedTarget;
    std::string arguments;
    const int32_t status = probes::ResolveShellLink(platform, link.path(), resolvedTarget, arguments);
    EXPECT_GE(status, 0);
    EXPECT_EQ(upperAscii(resolvedTarget), upperAscii(target));
    EXPECT_EQ(arguments, "--child=none /x");

    EXPECT_LT(probes::ResolveShellLink(platform, "C:\\no such folder\\gone.lnk", resolvedTarget, arguments), 0);
    EXPECT_EQ(resolvedTarget, "");
}

TEST(OstrelShellTest, SpecialFoldersAreFolders) {
    win32::Win32Platform platform(/*console=*/true);
    const std::string fonts = probes::GetSpecialFolder(platform, nullptr, platform::special_folder::kFonts);
    EXPECT_EQ(upperAscii(fonts), upperAscii(platform.system().windowsDirectory() + "\\Fonts"));
    const std::string startup = probes::GetSpecialFolder(platform, nullptr, platform::special_folder::kStartup);
    EXPECT_TRUE(isFolder(startup)) << startup;
    // An identifier the shell does not know.
    EXPECT_EQ(probes::GetSpecialFolder(platform, nullptr, 0x7F), "");
}

// ---------------------------------------------------------------- run-time libraries

TEST(OstrelLibrariesTest, LibrariesAndEntriesByName) {
    win32::Win32Platform platform(/*console=*/true);
    platform::RuntimeLibraries& libraries = platform.libraries();
    EXPECT_NE(libraries.loadedModule("kernel32.dll"), 0u);
    EXPECT_EQ(libraries.loadedModule("no-such-library.dll"), 0u);
    EXPECT_EQ(libraries.load("no-such-library.dll"), 0u);

    const platform::LoadedLibrary version(libraries, "version.dll");
    ASSERT_TRUE(version.loaded());
    using GetFileVersionInfoSizeFn = uint32_t(VARDAK_WINAPI*)(const char* file, uint32_t* handle);
    const auto sizeOf = version.entry<GetFileVersionInfoSizeFn>("GetFileVersionInfoSizeA");
    ASSERT_NE(sizeOf, nullptr);
    uint32_t ignored = 0;
    EXPECT_GT(sizeOf(winePathOf(VARDAK_REPORT_EXE).c_str(), &ignored), 0u);
    EXPECT_EQ(version.entry<GetFileVersionInfoSizeFn>("NoSuchEntry"), nullptr);
}

// Wine's dial-up library knows no connections; the call through the library's
// calling convention comes back cleanly.
TEST(OstrelLibrariesTest, DialUpConnectionsThroughTheRealLibrary) {
    win32::Win32Platform platform(/*console=*/true);
    EXPECT_EQ(probes::GetRASConnectionCount(platform), 0);
}

// ---------------------------------------------------------------- drives

char missingDriveLetter() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            return letter;
        }
    }
    return 0;
}

TEST(OstrelDrivesTest, TheSystemDriveIsReadWhole) {
    win32::Win32Platform platform(/*console=*/true);
    ASSERT_TRUE(probes::DiskInDrive(platform, "C:"));
    probes::TDiskInfo info;
    probes::GetDiskInfo(platform, "C:", info);
    EXPECT_EQ(info.Sign, "C:");
    EXPECT_EQ(info.MediaType, probes::TMediaType::dtFixed);
    EXPECT_GT(info.BytesPerSector, 0u);
    EXPECT_GT(info.Capacity, 0);
    EXPECT_LE(info.FreeSpace, info.Capacity);
    EXPECT_FALSE(info.FileSystem.empty());
    ASSERT_EQ(info.SerialNumber.size(), 9u);
    EXPECT_EQ(info.SerialNumber[4], '-');

    const char missing = missingDriveLetter();
    ASSERT_NE(missing, 0);
    const std::string drive = std::string(1, missing) + ":";
    EXPECT_FALSE(probes::DiskInDrive(platform, drive));
    probes::GetDiskInfo(platform, drive, info);
    EXPECT_EQ(info.MediaType, probes::TMediaType::dtNotExists);
    EXPECT_EQ(info.Capacity, 0);
    EXPECT_EQ(info.FileSystem, "");
}

}  // namespace
}  // namespace vardak::winetest
