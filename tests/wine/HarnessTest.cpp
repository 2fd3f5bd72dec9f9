// The Wine harness itself: a pose and a seeded registry must leave the prefix as
// they found it, or one test would change what the next one sees.
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

TEST(SeededRegistryTest, RemovesTheKeysItCreatedAndKeepsThoseThatWereThere) {
    ASSERT_TRUE(keyExists(HKEY_CURRENT_USER, "Software"));
    {
        const SeededRegistry seeded(
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\VardakHarnessTest\\Inner]\r\n"
            "\"Value\"=\"x\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\VardakHarnessTest\\Other]\r\n\r\n");
        ASSERT_TRUE(seeded.imported());
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\VardakHarnessTest\\Inner"));
        EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software\\VardakHarnessTest\\Other"));
    }
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, "Software\\VardakHarnessTest"));
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, "Software"));
}

}  // namespace
}  // namespace vardak::winetest
