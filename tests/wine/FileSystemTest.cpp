// Drives, files, version resources and profile files through the backend under Wine.
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32System.h"
#include "tests/wine/WineHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vardak::winetest {
namespace {

using platform::DriveType;
using testing::ElementsAre;
using testing::UnorderedElementsAre;

constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// A drive letter that the prefix does not map, as a root path.
std::optional<std::string> unmappedDriveRoot(uint32_t drives) {
    for (char letter = 'Y'; letter >= 'D'; --letter) {
        if ((drives & (1u << (letter - 'A'))) == 0) {
            return std::string(1, letter) + ":\\";
        }
    }
    return std::nullopt;
}

uint32_t littleEndian32(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t index = 0; index < 4 && offset + index < bytes.size(); ++index) {
        value |= static_cast<uint32_t>(bytes[offset + index]) << (8 * index);
    }
    return value;
}

// The mode that decides whether the system shows critical-error boxes.
UINT currentErrorMode() {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

class FileSystemTest : public testing::Test {
protected:
    win32::Win32FileSystem files_;
    win32::Win32System system_;
};

TEST_F(FileSystemTest, DriveCIsAFixedDiskWithSpace) {
    EXPECT_EQ(files_.driveType("C:\\"), DriveType::Fixed);

    const auto geometry = files_.clusterGeometry("C:\\");
    ASSERT_TRUE(geometry.has_value());
    EXPECT_GT(geometry->bytesPerSector, 0u);
    EXPECT_GT(geometry->sectorsPerCluster, 0u);
    EXPECT_LE(geometry->freeClusters, geometry->totalClusters);

    const auto space = files_.freeSpace("C:\\");
    ASSERT_TRUE(space.has_value());
    EXPECT_GT(space->total, 0u);
    EXPECT_LE(space->totalFree, space->total);
    EXPECT_LE(space->availableToCaller, space->total);
}

TEST_F(FileSystemTest, DriveCIsMappedAndHasAVolume) {
    // Both answers come through Wine's mount manager service.
    EXPECT_NE(files_.logicalDrives() & (1u << ('C' - 'A')), 0u);
    const auto volume = files_.volumeInformation("C:\\");
    ASSERT_TRUE(volume.has_value());
    EXPECT_FALSE(volume->fileSystem.empty());
    EXPECT_GT(volume->maxComponentLength, 0u);
}

TEST_F(FileSystemTest, AnUnmappedDriveHasNoRootAndLeavesTheErrorModeAlone) {
    const auto root = unmappedDriveRoot(files_.logicalDrives());
    ASSERT_TRUE(root.has_value());
    const UINT callersMode = SetErrorMode(0);

    EXPECT_EQ(files_.driveType(*root), DriveType::NoRootDir);
    EXPECT_FALSE(files_.clusterGeometry(*root).has_value());
    EXPECT_FALSE(files_.freeSpace(*root).has_value());
    EXPECT_FALSE(files_.volumeInformation(*root).has_value());
    EXPECT_EQ(currentErrorMode(), 0u);

    SetErrorMode(callersMode);
}

TEST_F(FileSystemTest, WritesAndReadsBackBytesUnchanged) {
    const TemporaryFile file(temporaryFileName());
    ASSERT_FALSE(file.path().empty());
    const std::string bytes("line\r\nbare\nzero\0end\x1a tail\xff", 25);
    ASSERT_TRUE(files_.writeFile(file.path(), bytes));
    EXPECT_EQ(files_.readFile(file.path()), bytes);

    ASSERT_TRUE(files_.writeFile(file.path(), "short"));
    EXPECT_EQ(files_.readFile(file.path()), "short");
    EXPECT_TRUE(files_.fileExists(file.path()));
}

TEST_F(FileSystemTest, ReplacesAFileWholeOrLeavesTheOldOne) {
    using Replace = bool (*)(win32::Win32FileSystem&, const std::string&, const std::string&);
    const Replace ways[] = {
        [](win32::Win32FileSystem& files, const std::string& source, const std::string& target) {
            return files.replaceFile(source, target);
        },
        [](win32::Win32FileSystem&, const std::string& source, const std::string& target) {
            return win32::Win32FileSystem::replaceByMovingAside(source, target);
        },
    };
    for (const Replace replace : ways) {
        const TemporaryFile target(temporaryFileName());
        const std::string source = target.path() + ".partial";
        ASSERT_TRUE(files_.writeFile(target.path(), "older"));
        ASSERT_TRUE(files_.writeFile(source, "newer"));
        EXPECT_TRUE(replace(files_, source, target.path()));
        EXPECT_EQ(files_.readFile(target.path()), "newer");
        EXPECT_FALSE(files_.fileExists(source));
        EXPECT_FALSE(files_.fileExists(source + ".old"));

        EXPECT_FALSE(replace(files_, source, target.path())) << "no new file";
        EXPECT_EQ(files_.readFile(target.path()), "newer") << "the old file stays";
        EXPECT_FALSE(files_.fileExists(source + ".old"));
    }
}

TEST_F(FileSystemTest, MissingFilesAndFoldersAreNoFiles) {
    const std::string missing = system_.tempDirectory() + "vardak-no-such-file.txt";
    EXPECT_FALSE(files_.fileExists(missing));
    EXPECT_FALSE(files_.readFile(missing).has_value());
    EXPECT_FALSE(files_.fileExists(system_.windowsDirectory()));
    EXPECT_FALSE(files_.writeFile(system_.tempDirectory() + "no-such-folder\\file.txt", "x"));
}

TEST_F(FileSystemTest, ReadsTheVersionResourceOfASystemLibrary) {
    const auto resource = files_.fileVersionResource(system_.systemDirectory() + "\\kernel32.dll");
    ASSERT_TRUE(resource.has_value());
    // VS_VERSIONINFO: its length, the UTF-16 key "VS_VERSION_INFO", then (aligned
    // to 4) the fixed file information with its signature.
    ASSERT_GE(resource->size(), 44u);
    const size_t length = (*resource)[0] | ((*resource)[1] << 8);
    EXPECT_LE(length, resource->size());
    const char16_t key[] = u"VS_VERSION_INFO";
    EXPECT_EQ(std::memcmp(resource->data() + 6, key, sizeof(key)), 0);
    EXPECT_EQ(littleEndian32(*resource, 40), kFixedFileInfoSignature);

    EXPECT_FALSE(files_.fileVersionResource(system_.windowsDirectory() + "\\no-such.dll").has_value());
}

class ProfileTest : public FileSystemTest {
protected:
    static constexpr char kProfile[] = "vardak-wine-test.ini";

    void SetUp() override { removeProfile(); }
    void TearDown() override { removeProfile(); }

    std::string profilePath() { return system_.windowsDirectory() + "\\" + kProfile; }
    void removeProfile() { DeleteFileA(profilePath().c_str()); }
};

TEST_F(ProfileTest, AProfileNamedWithoutAFolderLivesInTheWindowsFolder) {
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", "Width", "640"));
    EXPECT_TRUE(files_.fileExists(profilePath()));
    const auto text = files_.readFile(profilePath());
    ASSERT_TRUE(text.has_value());
    EXPECT_THAT(*text, testing::HasSubstr("[Display]"));
    EXPECT_THAT(*text, testing::HasSubstr("Width=640"));
}

TEST_F(ProfileTest, ReadsBackValuesSectionsAndKeys) {
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", "Width", "640"));
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", "Height", "480"));
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Sound", "Card", "None"));

    EXPECT_EQ(files_.profileString(kProfile, "Display", "Width", "?"), "640");
    EXPECT_EQ(files_.profileString(kProfile, "Sound", "Card", "?"), "None");
    EXPECT_EQ(files_.profileString(kProfile, "Sound", "Volume", "fallback"), "fallback");
    EXPECT_EQ(files_.profileString(kProfile, "Nowhere", "Width", ""), "");
    EXPECT_THAT(files_.profileSectionNames(kProfile), ElementsAre("Display", "Sound"));
    EXPECT_THAT(files_.profileKeyNames(kProfile, "Display"), ElementsAre("Width", "Height"));
    EXPECT_TRUE(files_.profileKeyNames(kProfile, "Nowhere").empty());
}

TEST_F(ProfileTest, DeletesKeysAndSections) {
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", "Width", "640"));
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", "Height", "480"));
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Sound", "Card", "None"));

    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", "Height", std::nullopt));
    EXPECT_THAT(files_.profileKeyNames(kProfile, "Display"), ElementsAre("Width"));
    EXPECT_EQ(files_.profileString(kProfile, "Display", "Height", "gone"), "gone");

    ASSERT_TRUE(files_.writeProfileString(kProfile, "Display", std::nullopt, std::nullopt));
    EXPECT_THAT(files_.profileSectionNames(kProfile), ElementsAre("Sound"));
}

TEST_F(ProfileTest, ReadsValuesAndListsLongerThanTheFirstBuffer) {
    const std::string longValue(3000, 'v');
    ASSERT_TRUE(files_.writeProfileString(kProfile, "Long", "Value", longValue));
    std::vector<std::string> keys;
    for (int index = 0; index < 300; ++index) {
        keys.push_back("Key" + std::to_string(index));
        ASSERT_TRUE(files_.writeProfileString(kProfile, "Many", keys.back(), "1"));
    }
    EXPECT_EQ(files_.profileString(kProfile, "Long", "Value", ""), longValue);
    EXPECT_EQ(files_.profileKeyNames(kProfile, "Many"), keys);
}

}  // namespace
}  // namespace vardak::winetest
