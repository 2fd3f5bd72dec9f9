// The drive component: what it reads of a drive, how it selects one, and the rules
// and outcomes of the volume-label write.
#include "grell/system/GrellSysDrive.h"

#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

using platform::DriveType;
using testing::FakeDrive;
using testing::FakePlatform;
using Option = TGrellSysFileSystemOption;

FakeDrive ntfsDisk() {
    FakeDrive drive;
    drive.geometry = platform::ClusterGeometry{8, 512, 1000, 5000};
    drive.freeSpace = platform::FreeSpace{1500000000, 40000000000, 1600000000};
    drive.volume = platform::VolumeInformation{"SYSTEM", "NTFS", 0x1A2B3C4D, 255, 0x0000002B};
    return drive;
}

FakeDrive withType(FakeDrive drive, DriveType type, bool present = true) {
    drive.type = type;
    drive.present = present;
    return drive;
}

class SysDriveTest : public ::testing::Test {
protected:
    SysDriveTest() {
        machine.filesFake.addDrive('C', ntfsDisk());
        machine.filesFake.addDrive('D', withType(ntfsDisk(), DriveType::CDROM, false));
    }
    FakePlatform machine;
    TComponent form{nullptr};
    TGrellSysDrive* component = new TGrellSysDrive(&form, machine);
    TGrellSysDriveObject& drive = component->Drive();
};

TEST_F(SysDriveTest, AFixedDiskListsItsValuesInPublishedOrder) {
    component->Refresh();
    TStringList lines;
    drive.ListPropertiesTyped(lines);
    EXPECT_EQ(lines.toVector(), (std::vector<std::string>{
                                    "BytesPerSector: Cardinal = 512",
                                    "DiskSize: Int64 = 40000000000",
                                    "DiskFree: Int64 = 1500000000",
                                    "Drive: Char = C",
                                    "DriveType: TGrellSysDriveType = dtFixed",
                                    "FileSystem: String = NTFS",
                                    "SectorsPerCluster: Cardinal = 8",
                                    "MaximumLength: Cardinal = 255",
                                    "SerialNumber: String = 1A2B-3C4D",
                                    "Options: TGrellSysFileSystemOptions = [fsCaseIsPreserved,fsCaseSensitive,"
                                    "fsPersistentACLs,fsSupportsQuotas]",
                                    "VolumeLabel: String = SYSTEM",
                                }));
}

TEST_F(SysDriveTest, SelectingReadsTheDriveAndANotReadyOneReadsEmpty) {
    drive.SetDrive('C');  // the same letter: nothing is read
    EXPECT_EQ(drive.DiskSize(), 0);
    drive.SetDrive('c');
    EXPECT_EQ(drive.VolumeLabel(), "SYSTEM");
    machine.filesFake.setCurrentDirectory("d:\\Games");
    drive.SetDrive('1');  // no letter: the current folder's drive, a CD drive without a disc
    EXPECT_EQ(drive.DriveType(), TGrellSysDriveType::dtCDROM);
    EXPECT_EQ(drive.DiskSize(), TGrellSysDriveObject::kNotQueried);
    EXPECT_EQ(drive.DiskFree(), TGrellSysDriveObject::kNotQueried);
    EXPECT_EQ(drive.VolumeLabel() + drive.FileSystem() + drive.SerialNumber(), "");
    EXPECT_EQ(drive.BytesPerSector() + drive.SectorsPerCluster() + drive.MaximumLength(), 0u);
    EXPECT_TRUE(drive.Options().empty());
    machine.filesFake.setCurrentDirectory("\\\\server\\share");
    drive.SetDrive('?');
    EXPECT_EQ(drive.Drive(), 'C');
}

TEST_F(SysDriveTest, ACompressedRootCountsOnlyWhenTheAttributeQuerySucceeded) {
    FakeDrive compressed = ntfsDisk();
    compressed.rootAttributes = 0x810;
    machine.filesFake.addDrive('E', compressed);
    compressed.rootAttributes.reset();
    machine.filesFake.addDrive('F', compressed);
    drive.SetDrive('E');
    EXPECT_TRUE(drive.Options().contains(Option::fsIsCompressed));
    drive.SetDrive('F');
    EXPECT_FALSE(drive.Options().contains(Option::fsIsCompressed));
}

TEST_F(SysDriveTest, ANewLabelIsWrittenLoggedAndReadBack) {
    TGrellSysLog* log = new TGrellSysLog(&form, machine.system());
    TStringList lines;
    log->SetStrings(&lines);
    component->SetSysLog(log);
    component->Refresh();
    drive.SetVolumeLabel("DATA");
    EXPECT_EQ(machine.filesFake.volumeLabelWrites(), std::vector<std::string>{"C:\\=DATA"});
    EXPECT_EQ(drive.VolumeLabel(), "DATA");
    EXPECT_EQ(lines.toVector(), std::vector<std::string>{"Disk:Label:SYSTEM - DATA 2004-06-15 12:30:00"});
}

TEST_F(SysDriveTest, ARefusedWriteIsReportedWithTheSystemsTextAndLeavesNothingPending) {
    machine.filesFake.failVolumeLabelWrites(5);
    machine.systemFake.errorTexts[5] = "Access is denied.";
    component->Refresh();
    EXPECT_THROW(
        try { drive.SetVolumeLabel("DATA"); } catch (const EOSError& error) {
            EXPECT_EQ(error.errorCode(), 5u);
            EXPECT_EQ(error.message(), "Access is denied.");
            throw;
        },
        EOSError);
    EXPECT_TRUE(drive.PendingChanges().empty());
    EXPECT_EQ(drive.VolumeLabel(), "SYSTEM");
}

struct RefusedLabel {
    const char* name;
    char letter;  // 0: the drive is never read
    FakeDrive disk;
    std::string label;
};

class RefusedLabelTest : public ::testing::TestWithParam<RefusedLabel> {};

TEST_P(RefusedLabelTest, NothingIsWrittenOrRecorded) {
    FakePlatform machine;
    machine.filesFake.addDrive('C', ntfsDisk());
    machine.filesFake.addDrive('G', GetParam().disk);
    TGrellSysDriveObject drive(machine);
    if (GetParam().letter != 0) drive.SetDrive(GetParam().letter);
    EXPECT_THROW(drive.SetVolumeLabel(GetParam().label), EInvalidOperation);
    EXPECT_TRUE(machine.filesFake.volumeLabelWrites().empty());
    EXPECT_TRUE(drive.PendingChanges().empty());
}

FakeDrive fatDisk() {
    FakeDrive disk = ntfsDisk();
    disk.volume->fileSystem = "FAT32";
    return disk;
}

INSTANTIATE_TEST_SUITE_P(
    Labels, RefusedLabelTest,
    ::testing::Values(RefusedLabel{"BeforeRetrieve", 0, ntfsDisk(), "RENAMED"},
                      RefusedLabel{"Remote", 'G', withType(ntfsDisk(), DriveType::Remote), "RENAMED"},
                      RefusedLabel{"CD", 'G', withType(ntfsDisk(), DriveType::CDROM), "RENAMED"},
                      RefusedLabel{"NotReady", 'G', withType(ntfsDisk(), DriveType::Removable, false), "RENAMED"},
                      RefusedLabel{"ControlCharacter", 'G', ntfsDisk(), "BAD\nNAME"},
                      RefusedLabel{"LongerThanFat", 'G', fatDisk(), "TWELVE CHARS"},
                      RefusedLabel{"LongerThanNtfs", 'G', ntfsDisk(), std::string(33, 'N')}),
    [](const ::testing::TestParamInfo<RefusedLabel>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vardak::grell
