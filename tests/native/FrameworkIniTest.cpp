#include "framework/IniFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"

namespace vardak {
namespace {

constexpr const char* kSettings =
    "[Numbers]\r\n"
    "Plain=12\r\n"
    "Negative=-5\r\n"
    "Dollar=$1F\r\n"
    "Hex=0x10\r\n"
    "Padded=\" 42 \"\r\n"
    "Word=abc\r\n"
    "Trailing=12abc\r\n"
    "Huge=99999999999\r\n"
    "Empty=\r\n"
    "[Flags]\r\n"
    "Zero=0\r\n"
    "Seven=\" 7 \"\r\n"
    "Text=abc\r\n"
    "[Floats]\r\n"
    "Half=1.5\r\n"
    "Bad=1.5.1\r\n"
    "[Empty]\r\n";

class FrameworkIniTest : public ::testing::Test {
protected:
    FrameworkIniTest() { machine.filesFake.addFile(machine.filesFake.profilePath("Trelka.INI"), kSettings); }

    testing::FakePlatform machine;
    TIniFile ini{machine.files(), "Trelka.INI"};
};

TEST_F(FrameworkIniTest, ReadsIntegersLikeTheClassicConversion) {
    EXPECT_EQ(ini.readInteger("Numbers", "Plain", 0), 12);
    EXPECT_EQ(ini.readInteger("numbers", "NEGATIVE", 0), -5);
    EXPECT_EQ(ini.readInteger("Numbers", "Dollar", 0), 31);
    EXPECT_EQ(ini.readInteger("Numbers", "Hex", 0), 16);
    EXPECT_EQ(ini.readInteger("Numbers", "Padded", 0), 42);
}

TEST_F(FrameworkIniTest, NonNumbersAndMissingKeysGiveTheDefault) {
    EXPECT_EQ(ini.readInteger("Numbers", "Word", 7), 7);
    EXPECT_EQ(ini.readInteger("Numbers", "Trailing", 7), 7);
    EXPECT_EQ(ini.readInteger("Numbers", "Huge", 7), 7);
    EXPECT_EQ(ini.readInteger("Numbers", "Empty", 7), 7);
    EXPECT_EQ(ini.readInteger("Numbers", "Missing", 7), 7);
    EXPECT_EQ(ini.readInteger("Nowhere", "Plain", -1), -1);
}

TEST_F(FrameworkIniTest, BooleansAreReadAsIntegers) {
    EXPECT_FALSE(ini.readBool("Flags", "Zero", true));
    EXPECT_TRUE(ini.readBool("Flags", "Seven", false));
    EXPECT_TRUE(ini.readBool("Flags", "Text", true));
    EXPECT_FALSE(ini.readBool("Flags", "Text", false));
    EXPECT_TRUE(ini.readBool("Flags", "Missing", true));
}

TEST_F(FrameworkIniTest, ReadsStringsAndFloats) {
    EXPECT_EQ(ini.readString("Numbers", "Word", "x"), "abc");
    EXPECT_EQ(ini.readString("Numbers", "Missing", "fallback"), "fallback");
    EXPECT_DOUBLE_EQ(ini.readFloat("Floats", "Half", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.readFloat("Floats", "Bad", 2.5), 2.5);
    EXPECT_DOUBLE_EQ(ini.readFloat("Floats", "Missing", 2.5), 2.5);
}

TEST_F(FrameworkIniTest, WritesReadBack) {
    ini.writeBool("TrelkaUtility", "Hints", true);
    ini.writeBool("TrelkaUtility", "Sound", false);
    ini.writeInteger("TrelkaUtility", "Left", -20);
    ini.writeString("TrelkaUtility", "Name", "Vardak");

    EXPECT_EQ(ini.readString("TrelkaUtility", "Hints", ""), "1");
    EXPECT_EQ(ini.readString("TrelkaUtility", "Sound", ""), "0");
    EXPECT_EQ(ini.readInteger("TrelkaUtility", "Left", 0), -20);
    EXPECT_EQ(ini.readString("TrelkaUtility", "Name", ""), "Vardak");
}

TEST_F(FrameworkIniTest, WritingToAReadOnlyFileRaises) {
    machine.filesFake.markReadOnly(machine.filesFake.profilePath("Trelka.INI"));
    EXPECT_THROW(ini.writeString("Numbers", "Plain", "1"), EIniFileException);
}

TEST_F(FrameworkIniTest, ListsSectionsKeysAndValues) {
    TStringList list;
    ini.readSections(list);
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"Numbers", "Flags", "Floats", "Empty"}));
    ini.readSection("Flags", list);
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"Zero", "Seven", "Text"}));
    ini.readSectionValues("Floats", list);
    EXPECT_EQ(list.toVector(), (std::vector<std::string>{"Half=1.5", "Bad=1.5.1"}));
}

TEST_F(FrameworkIniTest, ExistenceAndDeletion) {
    EXPECT_TRUE(ini.sectionExists("FLAGS"));
    EXPECT_FALSE(ini.sectionExists("Empty"));  // a section without keys does not count
    EXPECT_TRUE(ini.valueExists("Flags", "seven"));
    EXPECT_FALSE(ini.valueExists("Flags", "Eight"));

    ini.deleteKey("Flags", "Seven");
    EXPECT_FALSE(ini.valueExists("Flags", "Seven"));
    ini.eraseSection("Flags");
    EXPECT_FALSE(ini.sectionExists("Flags"));
    EXPECT_EQ(ini.readInteger("Numbers", "Plain", 0), 12);
}

}  // namespace
}  // namespace vardak
