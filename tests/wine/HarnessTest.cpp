// The Wine harness itself: a pose must leave the prefix as it found it, or one test
// would change what the next one sees. (RegistryTest checks that seeded keys go.)
#include "tests/wine/WineHarness.h"

#include <gtest/gtest.h>

namespace vardak::winetest {
namespace {

TEST(PosedWindowsTest, PutsThePreviousVersionSettingBack) {
    const std::optional<std::string> before = currentWineVersionSetting();
    {
        const PosedWindows posed(WindowsPose::Windows98);
        ASSERT_TRUE(posed.active());
        EXPECT_EQ(currentWineVersionSetting(), "win98");
        {
            const PosedWindows inner(WindowsPose::WindowsNT4);
            EXPECT_EQ(currentWineVersionSetting(), "nt40");
        }
        EXPECT_EQ(currentWineVersionSetting(), "win98");
    }
    EXPECT_EQ(currentWineVersionSetting(), before);
}

TEST(RegTextKeysTest, ReadsSectionHeadersWithTheirRoots) {
    const auto keys = regTextKeys(
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\One]\r\n"
        "\"Name\"=\"[not a header]\"\r\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n"
        "  [HKEY_CURRENT_USER\\Software\\Two]  \n"
        "[HKEY_NOWHERE\\Software\\Three]\r\n"
        "[HKEY_LOCAL_MACHINE]\r\n");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].first, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(keys[0].second, "Software\\One");
    EXPECT_EQ(keys[1].first, HKEY_CURRENT_USER);
    EXPECT_EQ(keys[1].second, "Software\\Two");
}

}  // namespace
}  // namespace vardak::winetest
