// The version record read by a child process of a prefix posed as an older Windows.
#include "tests/wine/WineHarness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vardak::winetest {
namespace {

struct PosedVersion {
    WindowsPose pose;
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    uint32_t platform;
    const char* csdVersion;
};

// What Wine reports for each pose. The 95/98 line carries the major and minor
// version in the high word of the build number.
constexpr PosedVersion kPosedVersions[] = {
    {WindowsPose::WindowsXP, 5, 1, 2600, 2, "Service Pack 3"},
    {WindowsPose::Windows2000, 5, 0, 2195, 2, "Service Pack 4"},
    {WindowsPose::WindowsNT4, 4, 0, 1381, 2, "Service Pack 6a"},
    {WindowsPose::Windows98, 4, 10, 0x040A08AE, 1, " A "},
};

class VersionPoseTest : public testing::TestWithParam<PosedVersion> {};

TEST_P(VersionPoseTest, ChildReadsThePosedVersionRecord) {
    const PosedVersion& expected = GetParam();
    const ProcessResult& child = posedReport(expected.pose);
    ASSERT_TRUE(child.started);
    ASSERT_EQ(child.exitCode, 0u) << child.output;
    const auto fields = parseFields(child.output);
    EXPECT_EQ(fields.at("major"), std::to_string(expected.major));
    EXPECT_EQ(fields.at("minor"), std::to_string(expected.minor));
    EXPECT_EQ(fields.at("build"), std::to_string(expected.build));
    EXPECT_EQ(fields.at("platform"), std::to_string(expected.platform));
    EXPECT_EQ(fields.at("csd"), expected.csdVersion);
}

INSTANTIATE_TEST_SUITE_P(Poses, VersionPoseTest, testing::ValuesIn(kPosedVersions),
                         [](const testing::TestParamInfo<PosedVersion>& info) {
                             return std::string(wineVersionName(info.param.pose));
                         });

}  // namespace
}  // namespace vardak::winetest
