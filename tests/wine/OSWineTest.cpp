// The operating-system probe on Wine's real answers: in children posed as XP, 2000,
// NT 4.0 and 98 (with a registration seeded and a variable of their own) the version,
// edition, registration, folders and environment follow the pose and the time-zone
// offsets the host's zone; in this process the probe agrees with the system's own
// answers, and its refresh is timed.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <map>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/software/Vesk_OS.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

using ::testing::HasSubstr;

struct PosedOS {
    WindowsPose pose;
    const char *platform, *version, *buildNumber, *csd, *editionText;
};

constexpr PosedOS kPosedOS[] = {
    {WindowsPose::WindowsXP, "Windows NT", "5.1", "2600", "Service Pack 3", "Service Pack 3"},
    {WindowsPose::Windows2000, "Windows NT", "5.0", "2195", "Service Pack 4", "Service Pack 4"},
    {WindowsPose::WindowsNT4, "Windows NT", "4.0", "1381", "Service Pack 6a", "Service Pack 6a"},
    {WindowsPose::Windows98, "Windows 9x", "4.10", "2222", " A ", "Second Edition"},
};

// Host zones whose offsets the test knows; ctest runs the time-zone test once more
// in each of them (TZ set for Wine, whose children inherit it).
struct HostZone {
    const char* tz;
    int standardBias, daylightBias;
    const char* displayWords;  // Wine names the zone after the first one of the same rule
};

constexpr HostZone kHostZones[] = {
    {"Europe/Copenhagen", -60, -120, "(UTC+01:00)"},
    {"America/New_York", 300, 240, "(UTC-05:00) Eastern Time"},
};

const HostZone* knownHostZone() {
    char tz[64] = {};
    const DWORD length = GetEnvironmentVariableA("TZ", tz, sizeof tz);
    for (const HostZone& zone : kHostZones) {
        if (length > 0 && length < sizeof tz && std::string_view(tz) == zone.tz) {
            return &zone;
        }
    }
    return nullptr;
}

class OSPoseTest : public ::testing::TestWithParam<PosedOS> {
protected:
    std::map<std::string, std::string> posedFields() {
        const ProcessResult& child = posedReport(GetParam().pose);
        EXPECT_TRUE(child.started);
        EXPECT_EQ(child.exitCode, 0u) << child.output;
        EXPECT_THAT(child.output, ::testing::Not(HasSubstr(".GetInfo: "))) << "a sub-object failed";
        return parseFields(child.output);
    }
};

// The version and edition follow the pose; the seeded registration is reported, the
// system folders exist and the test's variable is listed.
TEST_P(OSPoseTest, VersionEditionRegistrationFoldersAndEnvironmentFollowThePose) {
    const PosedOS& expected = GetParam();
    auto fields = posedFields();
    EXPECT_EQ(fields["os.Operating System.Platform"], expected.platform);
    EXPECT_EQ(fields["os.Operating System.Version"], expected.version);
    EXPECT_EQ(fields["os.Operating System.BuildNumber"], expected.buildNumber);
    EXPECT_EQ(fields["os.Operating System.CSD"], expected.csd);
    EXPECT_EQ(fields["os.EditionText"], expected.editionText);
    EXPECT_EQ(fields["os.Operating System.RegUser"], kPosedOwner);
    EXPECT_EQ(fields["os.Operating System.RegOrganization"], kPosedOrganization);
    for (const char* name : {"Windows", "System", "Temp"}) {
        const std::string path = fields[std::string("os.Folders.") + name];
        const DWORD attributes = GetFileAttributesA(path.c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            << name << "=" << path;
    }
    EXPECT_EQ(fields[std::string("os.Environment.") + kPosedVariable], wineVersionName(expected.pose));
}

TEST_P(OSPoseTest, TheTimeZoneFollowsTheHostZone) {
    auto fields = posedFields();
    const HostZone* zone = knownHostZone();
    if (zone == nullptr) {
        // The machine's own zone, as this process sees it.
        TIME_ZONE_INFORMATION own{};
        ASSERT_NE(GetTimeZoneInformation(&own), TIME_ZONE_ID_INVALID);
        EXPECT_EQ(fields["os.Time Zone.StdBias"], std::to_string(own.Bias + own.StandardBias));
        return;
    }
    EXPECT_EQ(fields["os.Time Zone.StdBias"], std::to_string(zone->standardBias)) << zone->tz;
    EXPECT_EQ(fields["os.Time Zone.DlghtBias"], std::to_string(zone->daylightBias)) << zone->tz;
    // This year's transitions have dates.
    EXPECT_THAT(fields["os.Time Zone.DlghtName"], ::testing::Not(HasSubstr("1899")));
    // Wine links the 95/98 line's zone list to the NT line's.
    EXPECT_THAT(fields["os.Time Zone.TimeZone"], HasSubstr(zone->displayWords));
}

INSTANTIATE_TEST_SUITE_P(Poses, OSPoseTest, ::testing::ValuesIn(kPosedOS),
                         [](const ::testing::TestParamInfo<PosedOS>& info) {
                             return std::string(wineVersionName(info.param.pose));
                         });

// ---------------------------------------------------------------- this process

TEST(OSWineTest, TheProbeAgreesWithTheSystemsOwnAnswers) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession session(platform);
    probes::TOperatingSystem os(platform);
    os.setExceptionMode(probes::TExceptionMode::emRaise);
    const auto started = std::chrono::steady_clock::now();
    os.GetInfo();
    std::cout << "TOperatingSystem.GetInfo under Wine: "
              << std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count() << " ms\n";

    OSVERSIONINFOEXA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)));
    EXPECT_EQ(os.MajorVersion(), static_cast<int32_t>(version.dwMajorVersion));
    EXPECT_EQ(os.BuildNumber(), static_cast<int32_t>(version.dwBuildNumber & 0xFFFF));
    const std::optional<platform::OSVersionInfoEx> extended = platform.system().versionInfoEx();
    ASSERT_TRUE(extended.has_value());
    EXPECT_EQ(extended->productType, version.wProductType);
    EXPECT_EQ(extended->servicePackMajor, version.wServicePackMajor);
    EXPECT_EQ(extended->basic.csdVersion, version.szCSDVersion);

    TIME_ZONE_INFORMATION zone{};
    ASSERT_NE(GetTimeZoneInformation(&zone), TIME_ZONE_ID_INVALID);
    EXPECT_EQ(os.TimeZone().Bias(), zone.Bias);
    EXPECT_EQ(os.TimeZone().StandardBias(), zone.Bias + zone.StandardBias);
    EXPECT_FALSE(os.TimeZone().DisplayName().empty()) << os.TimeZone().StandardName();

    char decimal[8] = {};
    ASSERT_GT(GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SDECIMAL, decimal, sizeof decimal), 0);
    EXPECT_EQ(os.LocaleInfo().DecimalSeparator(), decimal);
    EXPECT_EQ(os.LanguageID(), probes::LanguageIDText(GetSystemDefaultLangID()));
    EXPECT_GE(os.Folders().count(), 7 + 3 + 29 + 1);
}

}  // namespace
}  // namespace vardak::winetest
