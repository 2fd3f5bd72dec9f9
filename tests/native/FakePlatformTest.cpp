#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vardak::platform::DriveType;
using vardak::platform::KeyAccess;
using vardak::platform::PlatformId;
using vardak::platform::RegValue;
using vardak::platform::RootKey;
using vardak::testing::FakeDrive;
using vardak::testing::FakePlatform;

using Names = std::vector<std::string>;

// ------------------------------------------------------------------ registry access rules

class FakeRegistryAccess : public ::testing::Test {
protected:
    void SetUp() override {
        machine.registryFake.setValue(RootKey::LocalMachine, "Software\\Vardak", "Language", RegValue::fromString("da"));
    }

    FakePlatform machine;
    vardak::platform::Registry& registry = machine.registry();
};

TEST_F(FakeRegistryAccess, OpensWithLeadingBackslashAndAnyCase) {
    auto key = registry.openKey(RootKey::LocalMachine, "\\SOFTWARE\\vardak", KeyAccess::Read);
    ASSERT_TRUE(key);
    std::optional<RegValue> value = key->queryValue("LANGUAGE");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, RegValue::fromString("da").data);
}

TEST_F(FakeRegistryAccess, MissingKeysAndValuesAreNothing) {
    EXPECT_FALSE(registry.openKey(RootKey::LocalMachine, "Software\\Other", KeyAccess::Read));
    EXPECT_FALSE(registry.openKey(RootKey::CurrentUser, "Software\\Vardak", KeyAccess::Read));
    auto key = registry.openKey(RootKey::LocalMachine, "Software\\Vardak", KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->queryValue("Missing"));
    EXPECT_FALSE(key->queryValue(""));
}

TEST_F(FakeRegistryAccess, KeyOpenedForReadingRefusesWrites) {
    auto key = registry.openKey(RootKey::LocalMachine, "Software\\Vardak", KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_FALSE(key->setValue("Language", RegValue::fromString("sv")));
    EXPECT_FALSE(key->setValue("New", RegValue::fromDWord(1)));
    EXPECT_FALSE(key->deleteValue("Language"));
    EXPECT_EQ(key->queryValue("Language")->data, RegValue::fromString("da").data);
    EXPECT_EQ(key->valueNames(), Names{"Language"});
}

TEST_F(FakeRegistryAccess, WritesThroughOneHandleShowThroughAnother) {
    auto writer = registry.openKey(RootKey::LocalMachine, "Software\\Vardak", KeyAccess::ReadWrite);
    auto reader = registry.openKey(RootKey::LocalMachine, "Software\\Vardak", KeyAccess::Read);
    ASSERT_TRUE(writer && reader);
    EXPECT_TRUE(writer->setValue("language", RegValue::fromString("fi")));
    EXPECT_TRUE(writer->setValue("Width", RegValue::fromDWord(640)));
    EXPECT_EQ(reader->valueNames(), (Names{"Language", "Width"}));
    EXPECT_EQ(reader->queryValue("Language")->data, RegValue::fromString("fi").data);
    EXPECT_TRUE(writer->deleteValue("WIDTH"));
    EXPECT_FALSE(writer->deleteValue("Width"));
    EXPECT_EQ(reader->valueNames(), Names{"Language"});
}

TEST_F(FakeRegistryAccess, CreateKeyMakesMissingParents) {
    auto key = registry.createKey(RootKey::CurrentUser, "Software\\Vardak\\Window");
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->setValue("Left", RegValue::fromDWord(10)));
    auto software = registry.openKey(RootKey::CurrentUser, "Software", KeyAccess::Read);
    ASSERT_TRUE(software);
    EXPECT_EQ(software->subkeyNames(), Names{"Vardak"});
    EXPECT_TRUE(registry.openKey(RootKey::CurrentUser, "software\\VARDAK\\window", KeyAccess::Read));
}

TEST_F(FakeRegistryAccess, DeleteKeyOnlyWithoutSubkeys) {
    registry.createKey(RootKey::LocalMachine, "Software\\Vardak\\A\\B");
    EXPECT_FALSE(registry.deleteKey(RootKey::LocalMachine, "Software\\Vardak\\A"));
    EXPECT_FALSE(registry.deleteKey(RootKey::LocalMachine, "Software\\Vardak\\Missing"));
    EXPECT_FALSE(registry.deleteKey(RootKey::LocalMachine, ""));
    EXPECT_TRUE(registry.deleteKey(RootKey::LocalMachine, "Software\\Vardak\\A\\B"));
    EXPECT_TRUE(registry.deleteKey(RootKey::LocalMachine, "\\software\\vardak\\a"));
    EXPECT_TRUE(machine.registryFake.hasKey(RootKey::LocalMachine, "Software\\Vardak"));
    EXPECT_FALSE(machine.registryFake.hasKey(RootKey::LocalMachine, "Software\\Vardak\\A"));
}

TEST_F(FakeRegistryAccess, RemoveKeyTakesEverythingBelow) {
    registry.createKey(RootKey::LocalMachine, "Software\\Vardak\\A\\B");
    EXPECT_TRUE(machine.registryFake.removeKey(RootKey::LocalMachine, "Software\\Vardak"));
    EXPECT_FALSE(machine.registryFake.hasKey(RootKey::LocalMachine, "Software\\Vardak\\A\\B"));
    EXPECT_TRUE(machine.registryFake.hasKey(RootKey::LocalMachine, "Software"));
    EXPECT_FALSE(machine.registryFake.removeKey(RootKey::LocalMachine, "Software\\Vardak"));
}

TEST_F(FakeRegistryAccess, HandleOfADeletedKeySeesNothing) {
    auto key = registry.openKey(RootKey::LocalMachine, "Software\\Vardak", KeyAccess::ReadWrite);
    ASSERT_TRUE(key);
    machine.registryFake.removeKey(RootKey::LocalMachine, "Software");
    EXPECT_TRUE(key->valueNames().empty());
    EXPECT_FALSE(key->queryValue("Language"));
    EXPECT_FALSE(key->setValue("Language", RegValue::fromString("sv")));
    EXPECT_FALSE(machine.registryFake.hasKey(RootKey::LocalMachine, "Software\\Vardak"));
}

TEST_F(FakeRegistryAccess, ReplacingAValueKeepsItsPlaceAndName) {
    machine.registryFake.setValue(RootKey::LocalMachine, "Software\\Vardak", "Width", RegValue::fromDWord(1));
    machine.registryFake.setValue(RootKey::LocalMachine, "Software\\Vardak", "LANGUAGE", RegValue::fromString("no"));
    auto key = registry.openKey(RootKey::LocalMachine, "Software\\Vardak", KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->valueNames(), (Names{"Language", "Width"}));
    EXPECT_EQ(key->queryValue("Language")->data, RegValue::fromString("no").data);
}

// ------------------------------------------------------------------ profile files

class FakeProfileFiles : public ::testing::Test {
protected:
    FakePlatform machine;
    vardak::platform::FileSystem& files = machine.files();
};

TEST_F(FakeProfileFiles, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI",
                              "[Settings]\r\n"
                              "  Language  =  \"Dansk\"  \r\n"
                              "Single='Suomi'\r\n"
                              "Half=\"open\r\n"
                              "Inner=a \"b\" c\r\n"
                              "Mixed=\"a'\r\n"
                              "Empty=\r\n");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", "?"), "Dansk");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Single", "?"), "Suomi");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Half", "?"), "\"open");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Inner", "?"), "a \"b\" c");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Mixed", "?"), "\"a'");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Empty", "?"), "");
}

TEST_F(FakeProfileFiles, SectionAndKeyNamesMatchWithoutCase) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI", "[ Settings ]\nLanguage=da\n");
    EXPECT_EQ(files.profileString("VARDAK.INI", "SETTINGS", "language", "?"), "da");
}

TEST_F(FakeProfileFiles, FallbackWhereFileSectionOrKeyIsMissing) {
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", "en"), "en");
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI", "[Settings]\nLanguage=da\n[Other]\nWidth=3\n");
    EXPECT_EQ(files.profileString("vardak.ini", "Window", "Language", "en"), "en");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Width", "7"), "7");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Width", "pad  "), "pad");
}

TEST_F(FakeProfileFiles, CommentLinesAreNotKeys) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI", "[Settings]\n;Language=en\nLanguage=da\n; note\n");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", ";Language", "none"), "none");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", "none"), "da");
    EXPECT_EQ(files.profileKeyNames("vardak.ini", "Settings"), Names{"Language"});
}

TEST_F(FakeProfileFiles, ListsSectionsAndKeysInFileOrder) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI",
                              "[Window]\nTop=1\nLeft=2\n\n[Settings]\nLanguage=da\n[window]\nExtra=3\n");
    EXPECT_EQ(files.profileSectionNames("vardak.ini"), (Names{"Window", "Settings"}));
    EXPECT_EQ(files.profileKeyNames("vardak.ini", "WINDOW"), (Names{"Top", "Left"}));
    EXPECT_TRUE(files.profileKeyNames("vardak.ini", "Missing").empty());
    EXPECT_TRUE(files.profileSectionNames("missing.ini").empty());
}

TEST_F(FakeProfileFiles, WriteCreatesFileInTheWindowsFolderWithCrLf) {
    EXPECT_TRUE(files.writeProfileString("vardak.ini", "Settings", "Language", "da"));
    EXPECT_EQ(files.readFile("C:\\WINDOWS\\VARDAK.INI"), "[Settings]\r\nLanguage=da\r\n");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", "en"), "da");
}

TEST_F(FakeProfileFiles, FileWithoutFolderFollowsTheWindowsFolder) {
    machine.systemFake.windowsFolder = "D:\\WIN98";
    EXPECT_TRUE(files.writeProfileString("vardak.ini", "Settings", "Language", "sv"));
    EXPECT_TRUE(files.fileExists("d:/win98/VARDAK.INI"));
    EXPECT_FALSE(files.fileExists("C:\\WINDOWS\\vardak.ini"));

    EXPECT_TRUE(files.writeProfileString("C:\\Vardak\\vardak.ini", "Settings", "Language", "no"));
    EXPECT_EQ(files.profileString("C:/VARDAK/VARDAK.INI", "Settings", "Language", ""), "no");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", ""), "sv");
}

TEST_F(FakeProfileFiles, WriteKeepsOtherLinesAndComments) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI",
                              "; Vardak settings\n"
                              "[Settings]\n"
                              "Language = en\n"
                              "Columns=3\n"
                              "\n"
                              "[Window]\n"
                              "Left=10\n");
    EXPECT_TRUE(files.writeProfileString("vardak.ini", "settings", "LANGUAGE", "da"));
    EXPECT_TRUE(files.writeProfileString("vardak.ini", "Settings", "Top", "5"));
    EXPECT_TRUE(files.writeProfileString("vardak.ini", "Report", "Lines", "1"));
    EXPECT_EQ(files.readFile("C:\\WINDOWS\\VARDAK.INI"),
              "; Vardak settings\r\n"
              "[Settings]\r\n"
              "Language=da\r\n"
              "Columns=3\r\n"
              "Top=5\r\n"
              "\r\n"
              "[Window]\r\n"
              "Left=10\r\n"
              "[Report]\r\n"
              "Lines=1\r\n");
}

TEST_F(FakeProfileFiles, WritingNothingDeletesKeyOrSection) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI", "[Settings]\nLanguage=da\nColumns=3\n[Window]\nLeft=10\n");
    EXPECT_TRUE(files.writeProfileString("vardak.ini", "Settings", "language", std::nullopt));
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", "gone"), "gone");
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Columns", ""), "3");

    EXPECT_TRUE(files.writeProfileString("vardak.ini", "SETTINGS", std::nullopt, std::nullopt));
    EXPECT_EQ(files.readFile("C:\\WINDOWS\\VARDAK.INI"), "[Window]\r\nLeft=10\r\n");

    EXPECT_TRUE(files.writeProfileString("other.ini", "Settings", std::nullopt, std::nullopt));
    EXPECT_FALSE(files.fileExists("C:\\WINDOWS\\OTHER.INI"));
}

TEST_F(FakeProfileFiles, ReadOnlyFileRefusesWrites) {
    machine.filesFake.addFile("C:\\WINDOWS\\VARDAK.INI", "[Settings]\r\nLanguage=da\r\n");
    machine.filesFake.markReadOnly("c:/windows/vardak.ini");
    EXPECT_FALSE(files.writeProfileString("vardak.ini", "Settings", "Language", "sv"));
    EXPECT_FALSE(files.writeFile("C:\\WINDOWS\\VARDAK.INI", ""));
    EXPECT_EQ(files.profileString("vardak.ini", "Settings", "Language", ""), "da");
}

// ------------------------------------------------------------------ files and drives

TEST(FakeFiles, PathsMatchWithoutCaseAndWithEitherSlash) {
    FakePlatform machine;
    EXPECT_TRUE(machine.files().writeFile("C:\\Vardak\\Report.txt", "text"));
    EXPECT_EQ(machine.files().readFile("c:/vardak/REPORT.TXT"), "text");
    EXPECT_FALSE(machine.files().readFile("C:\\Vardak\\Other.txt"));
}

TEST(FakeFiles, VersionResourceMakesTheFileExist) {
    FakePlatform machine;
    machine.filesFake.setVersionResource("C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL", {1, 2, 3});
    EXPECT_TRUE(machine.files().fileExists("c:\\windows\\system32\\kernel32.dll"));
    EXPECT_EQ(machine.files().fileVersionResource("C:/WINDOWS/SYSTEM32/kernel32.dll"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(machine.files().fileVersionResource("C:\\WINDOWS\\SYSTEM32\\USER32.DLL"));
}

TEST(FakeDrives, LettersTypesAndMissingDisks) {
    FakePlatform machine;
    FakeDrive floppyWithoutDisk;
    floppyWithoutDisk.type = DriveType::Removable;
    floppyWithoutDisk.geometry = vardak::platform::ClusterGeometry{1, 512, 10, 2847};
    floppyWithoutDisk.present = false;
    FakeDrive hardDisk;
    hardDisk.geometry = vardak::platform::ClusterGeometry{8, 512, 100, 1000};
    hardDisk.freeSpace = vardak::platform::FreeSpace{1, 2, 3};
    FakeDrive cdrom;
    cdrom.type = DriveType::CDROM;
    machine.filesFake.addDrive('A', floppyWithoutDisk);
    machine.filesFake.addDrive('c', hardDisk);
    machine.filesFake.addDrive('D', cdrom);
    auto& files = machine.files();

    EXPECT_EQ(files.logicalDrives(), 0b1101u);
    EXPECT_EQ(files.driveType("C:\\"), DriveType::Fixed);
    EXPECT_EQ(files.driveType("c:"), DriveType::Fixed);
    EXPECT_EQ(files.driveType("E:\\"), DriveType::NoRootDir);
    EXPECT_EQ(files.driveType("C:\\WINDOWS\\"), DriveType::NoRootDir);

    EXPECT_EQ(files.driveType("A:\\"), DriveType::Removable);
    EXPECT_FALSE(files.clusterGeometry("A:\\"));
    EXPECT_EQ(files.clusterGeometry("C:\\")->totalClusters, 1000u);
    EXPECT_EQ(files.freeSpace("C:\\")->totalFree, 3u);
    EXPECT_FALSE(files.volumeInformation("C:\\"));
    EXPECT_FALSE(files.freeSpace("Z:\\"));
}

// ------------------------------------------------------------------ operating-system facts

TEST(FakeSystemFacts, EnvironmentBlockEndsEachEntryAndTheBlockWithNul) {
    FakePlatform machine;
    machine.systemFake.environment = {"PATH=C:\\WINDOWS", "TEMP=C:\\TEMP"};
    EXPECT_EQ(machine.system().environmentBlock(), std::string("PATH=C:\\WINDOWS\0TEMP=C:\\TEMP\0\0", 30));
}

TEST(FakeSystemFacts, Windows9xBuildCarriesTheVersionInItsHighWord) {
    FakePlatform machine;
    machine.systemFake.poseAsWindows98(true);
    const auto version = machine.system().versionInfo();
    EXPECT_EQ(version.platform, PlatformId::Windows);
    EXPECT_EQ(version.build, 0x040A08AEu);  // 4.10, build 2222
    EXPECT_EQ(version.csdVersion, " A ");

    machine.systemFake.poseAsNT4(0);
    EXPECT_EQ(machine.system().versionInfo().build, 1381u);
    EXPECT_EQ(machine.system().versionInfo().csdVersion, "");
}

}  // namespace
