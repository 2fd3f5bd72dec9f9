// The disk probe on a fake machine with one drive of each kind: a floppy drive
// without a disk, fixed and compressed NTFS volumes, a CD drive without a disc, a
// volume above 2 TB, a FAT32 volume of the 95 line above 2 GB, network drives
// connected and not, a RAM disk and a volume whose attribute query failed. Their
// report is the golden file disks-report.txt.
#include "probes/hardware/Vesk_Disk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using platform::DriveType;
using platform::FreeSpace;
using testing::FakeDrive;

const FakeDrive kNtfs = {DriveType::Fixed, {{8, 512, 2441406, 9765625}}, FreeSpace{10000000000, 40000000000, 10000000000},
                         {{"SYSTEM", "NTFS", 0x1A2B3C4D, 255, 0x000700FF}}};

FakeDrive connectedTo(std::string networkPath, bool present) {
    FakeDrive drive = kNtfs;
    drive.type = DriveType::Remote;
    drive.present = present;
    drive.networkPath = std::move(networkPath);
    return drive;
}

const std::pair<char, FakeDrive> kDrives[] = {
    {'A', {DriveType::Removable, {{1, 512, 2847, 2847}}, FreeSpace{1457664, 1457664, 1457664},
           {{"BOOT", "FAT", 0x12345678, 12, 0x2}}, /*present=*/false}},
    {'C', kNtfs},
    {'D', {DriveType::CDROM, {{1, 2048, 0, 331000}}, std::nullopt, {{"XPSP2", "CDFS", 7, 221, 0x4}}, false}},
    {'E', {DriveType::Fixed, {{8, 512, 1000, 5000}}, FreeSpace{4096000, 20480000, 4096000},
           {{"ARCHIVE", "NTFS", 0x00A0000B, 255, 0x0000803F}}}},
    {'F', {DriveType::Fixed, {{8, 512, 610351562, 805306368}}, FreeSpace{2500000000000, 3298534883328, 2500000000000},
           {{"MEDIA", "NTFS", 0xFFFF0000, 255, 0x3}}}},
    // Windows 95 OSR2 has no 64-bit query: the clusters give the sizes.
    {'G', {DriveType::Fixed, {{64, 512, 100000, 200000}}, std::nullopt, {{"GAMES", "FAT32", 0x0BAD0BAD, 255, 0x6}}}},
    {'N', connectedTo("\\\\FILESERVER\\projects", true)},
    // A remembered connection to a server that cannot be reached.
    {'O', connectedTo("\\\\OLDSERVER\\home", false)},
    {'R', {DriveType::RAMDisk, {{4, 512, 30000, 32000}}, FreeSpace{61440000, 65536000, 61440000},
           {{"RAMDRIVE", "FAT", 0x00000001, 12, 0x2}}}},
    // Flags of all ones: the attribute query failed.
    {'S', {DriveType::Fixed, {{8, 512, 1000, 5000}}, FreeSpace{4096000, 20480000, 4096000},
           {{"ODD", "UDF", 0x00000002, 255, 0xFFFFFFFF}}}},
};

class DiskProbeTest : public ::testing::Test {
protected:
    testing::FakePlatform machine;
    TDisk disk{machine};
};

TEST_F(DiskProbeTest, TheReportDescribesEveryDriveInOrder) {
    for (const auto& [letter, drive] : kDrives) {
        machine.filesFake.addDrive(letter, drive);
    }
    disk.GetInfo();
    EXPECT_EQ(testing::reportOf(disk), testing::fixtureLines("disks-report.txt"));
    // The walk leaves the last drive selected and shows no error.
    EXPECT_EQ(disk.Drive(), "S:");
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(DiskProbeTest, RefreshingKeepsTheSelectedDriveWhoseMediumIsAskedEachTime) {
    EXPECT_FALSE(disk.MediaPresent());  // no drive selected yet
    machine.filesFake.addDrive('C', kNtfs);
    disk.SetDrive("C:\\WINDOWS");
    machine.filesFake.addDrive('A', kNtfs);
    machine.filesFake.addDrive('Z', kNtfs);
    disk.GetInfo();
    EXPECT_EQ(disk.AvailableDisks(), "ACZ");
    EXPECT_EQ(disk.Drive(), "C:");
    EXPECT_TRUE(disk.MediaPresent());
    FakeDrive ejected = kNtfs;
    ejected.present = false;
    machine.filesFake.addDrive('C', ejected);
    EXPECT_FALSE(disk.MediaPresent());
    EXPECT_EQ(disk.Capacity(), 40000000000);  // read when it was selected
}

TEST_F(DiskProbeTest, SizesAreGroupedByTheUsersSeparator) {
    machine.filesFake.addDrive('C', kNtfs);
    disk.GetInfo();
    for (const auto& [separator, capacity] : {std::pair<const char*, const char*>{"\xA0", "40\xA0" "000\xA0" "000\xA0" "000"},
                                              {"", "40000000000"}, {nullptr, "40,000,000,000"}}) {
        if (separator != nullptr) {
            machine.localeFake.items[platform::locale_item::kThousandSeparator] = separator;
        } else {
            machine.localeFake.items.erase(platform::locale_item::kThousandSeparator);
        }
        EXPECT_EQ(testing::sectionLines(testing::reportOf(disk), "DiskC:").at(4), std::string("Capacity=") + capacity);
    }
    EXPECT_THAT(machine.localeFake.localesAsked, ::testing::Each(platform::kLocaleUserDefault));
}

}  // namespace
}  // namespace vardak::probes
