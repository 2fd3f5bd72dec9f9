// The disk probe on a fake machine with one drive of each kind: a floppy drive
// without a disk, fixed and compressed NTFS volumes, a CD drive without a disc, a
// volume above 2 TB, a FAT32 volume of the 95 line above 2 GB, network drives
// connected and not, a RAM disk and a volume whose attribute query failed.
#include "probes/hardware/Vesk_Disk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using platform::ClusterGeometry;
using platform::DriveType;
using platform::FreeSpace;
using platform::VolumeInformation;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeDrive;
using testing::FakePlatform;

FakeDrive driveOf(DriveType type, ClusterGeometry geometry, std::optional<FreeSpace> space,
                  VolumeInformation volume) {
    FakeDrive drive;
    drive.type = type;
    drive.geometry = geometry;
    drive.freeSpace = space;
    drive.volume = volume;
    return drive;
}

FakeDrive withoutMedium(FakeDrive drive) {
    drive.present = false;
    return drive;
}

FakeDrive connectedTo(std::string networkPath, FakeDrive drive) {
    drive.type = DriveType::Remote;
    drive.networkPath = std::move(networkPath);
    return drive;
}

const FakeDrive kNtfs = driveOf(DriveType::Fixed, {8, 512, 2441406, 9765625},
                                FreeSpace{10000000000, 40000000000, 10000000000},
                                {"SYSTEM", "NTFS", 0x1A2B3C4D, 255, 0x000700FF});

// Each drive and the values of its report sections: the drive section after its
// header, and the twelve flags in report order as "1" and "0".
struct DriveCase {
    char letter;
    FakeDrive drive;
    std::vector<std::string> section;
    std::string flags;
};

const DriveCase kDrives[] = {
    {'A',
     withoutMedium(driveOf(DriveType::Removable, {1, 512, 2847, 2847}, FreeSpace{1457664, 1457664, 1457664},
                           {"BOOT", "FAT", 0x12345678, 12, 0x2})),
     {"VolumeLabel=", "Type=Removable", "UNC=A:", "SerialNumber=", "Capacity=0", "FreeSpace=0", "BytesPerSector=0",
      "SectorPerCluster=0", "FreeClusters=0", "TotalClusters=0"},
     "000000000000"},
    {'C', kNtfs,
     {"VolumeLabel=SYSTEM", "Type=Fixed", "UNC=C:", "SerialNumber=1A2B-3C4D", "Capacity=40.000.000.000",
      "FreeSpace=10.000.000.000", "BytesPerSector=512", "SectorPerCluster=8", "FreeClusters=2.441.406",
      "TotalClusters=9.765.625"},
     "111110111111"},
    {'D', withoutMedium(driveOf(DriveType::CDROM, {1, 2048, 0, 331000}, std::nullopt, {"XPSP2", "CDFS", 7, 221, 0x4})),
     {"VolumeLabel=", "Type=CDROM", "UNC=D:", "SerialNumber=", "Capacity=0", "FreeSpace=0", "BytesPerSector=0",
      "SectorPerCluster=0", "FreeClusters=0", "TotalClusters=0"},
     "000000000000"},
    {'E',
     driveOf(DriveType::Fixed, {8, 512, 1000, 5000}, FreeSpace{4096000, 20480000, 4096000},
             {"ARCHIVE", "NTFS", 0x00A0000B, 255, 0x0000803F}),
     {"VolumeLabel=ARCHIVE", "Type=Fixed", "UNC=E:", "SerialNumber=00A0-000B", "Capacity=20.480.000",
      "FreeSpace=4.096.000", "BytesPerSector=512", "SectorPerCluster=8", "FreeClusters=1.000", "TotalClusters=5.000"},
     "111111100001"},
    {'F',
     driveOf(DriveType::Fixed, {8, 512, 610351562, 805306368}, FreeSpace{2500000000000, 3298534883328, 2500000000000},
             {"MEDIA", "NTFS", 0xFFFF0000, 255, 0x3}),
     {"VolumeLabel=MEDIA", "Type=Fixed", "UNC=F:", "SerialNumber=FFFF-0000", "Capacity=3.298.534.883.328",
      "FreeSpace=2.500.000.000.000", "BytesPerSector=512", "SectorPerCluster=8", "FreeClusters=610.351.562",
      "TotalClusters=805.306.368"},
     "110000100000"},
    // Windows 95 OSR2 has no 64-bit query: the clusters give the sizes.
    {'G',
     driveOf(DriveType::Fixed, {64, 512, 100000, 200000}, std::nullopt, {"GAMES", "FAT32", 0x0BAD0BAD, 255, 0x6}),
     {"VolumeLabel=GAMES", "Type=Fixed", "UNC=G:", "SerialNumber=0BAD-0BAD", "Capacity=6.553.600.000",
      "FreeSpace=3.276.800.000", "BytesPerSector=512", "SectorPerCluster=64", "FreeClusters=100.000",
      "TotalClusters=200.000"},
     "101000100000"},
    {'N', connectedTo("\\\\FILESERVER\\projects", kNtfs),
     {"VolumeLabel=SYSTEM", "Type=Remote", "UNC=\\\\FILESERVER\\projects", "SerialNumber=1A2B-3C4D",
      "Capacity=40.000.000.000", "FreeSpace=10.000.000.000", "BytesPerSector=512", "SectorPerCluster=8",
      "FreeClusters=2.441.406", "TotalClusters=9.765.625"},
     "111110111111"},
    // A remembered connection to a server that cannot be reached.
    {'O', withoutMedium(connectedTo("\\\\OLDSERVER\\home", kNtfs)),
     {"VolumeLabel=", "Type=Remote", "UNC=\\\\OLDSERVER\\home", "SerialNumber=", "Capacity=0", "FreeSpace=0",
      "BytesPerSector=0", "SectorPerCluster=0", "FreeClusters=0", "TotalClusters=0"},
     "000000000000"},
    {'R',
     driveOf(DriveType::RAMDisk, {4, 512, 30000, 32000}, FreeSpace{61440000, 65536000, 61440000},
             {"RAMDRIVE", "FAT", 0x00000001, 12, 0x2}),
     {"VolumeLabel=RAMDRIVE", "Type=RAM", "UNC=R:", "SerialNumber=0000-0001", "Capacity=65.536.000",
      "FreeSpace=61.440.000", "BytesPerSector=512", "SectorPerCluster=4", "FreeClusters=30.000",
      "TotalClusters=32.000"},
     "100000000000"},
    {'S',
     driveOf(DriveType::Fixed, {8, 512, 1000, 5000}, FreeSpace{4096000, 20480000, 4096000},
             {"ODD", "UDF", 0x00000002, 255, 0xFFFFFFFF}),
     {"VolumeLabel=ODD", "Type=Fixed", "UNC=S:", "SerialNumber=0000-0002", "Capacity=20.480.000",
      "FreeSpace=4.096.000", "BytesPerSector=512", "SectorPerCluster=8", "FreeClusters=1.000", "TotalClusters=5.000"},
     "000000000000"},
};

std::vector<std::string> flagLines(const std::string& flags) {
    static constexpr const char* kKeys[] = {
        "Case Is Preserved",     "Case Sensitive",       "Unicode stored On Disk",
        "Persistent Acls",       "File Compression",     "Volume Is Compressed",
        "Long Filenames",        "Encrypted File System Support", "Object IDs Support",
        "Reparse Points Support", "Sparse Files Support", "Disk Quotas Support",
    };
    std::vector<std::string> lines;
    for (size_t index = 0; index < flags.size(); ++index) {
        lines.push_back(std::string(kKeys[index]) + "=" + flags[index]);
    }
    return lines;
}

class DiskProbeTest : public ::testing::Test {
protected:
    void addEveryDrive() {
        for (const DriveCase& drive : kDrives) {
            machine.filesFake.addDrive(drive.letter, drive.drive);
        }
    }

    FakePlatform machine;
    TDisk disk{machine};
};

TEST_F(DiskProbeTest, TheReportDescribesEveryDriveInOrder) {
    addEveryDrive();
    disk.GetInfo();
    TStringList report;
    disk.Report(report);
    EXPECT_THAT(testing::sectionLines(report, "Disks"), ElementsAre("Available=ACDEFGNORS"));
    std::vector<std::string> headers;
    for (const std::string& line : report.toVector()) {
        if (line.front() == '[') {
            headers.push_back(line);
        }
    }
    std::vector<std::string> expectedHeaders = {"[Disks]"};
    for (const DriveCase& drive : kDrives) {
        const std::string sign = std::string(1, drive.letter) + ":";
        expectedHeaders.push_back("[Disk" + sign + "]");
        expectedHeaders.push_back("[Disk" + sign + "_Flags]");
        EXPECT_THAT(testing::sectionLines(report, "Disk" + sign), ElementsAreArray(drive.section)) << sign;
        EXPECT_THAT(testing::sectionLines(report, "Disk" + sign + "_Flags"), ElementsAreArray(flagLines(drive.flags)))
            << sign;
    }
    EXPECT_EQ(headers, expectedHeaders);
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
    machine.filesFake.addDrive('C', withoutMedium(kNtfs));
    EXPECT_FALSE(disk.MediaPresent());
    EXPECT_EQ(disk.Capacity(), 40000000000);  // read when it was selected
}

TEST_F(DiskProbeTest, SizesAreGroupedByTheUsersSeparator) {
    machine.filesFake.addDrive('C', kNtfs);
    disk.GetInfo();
    const auto capacityLine = [&] {
        TStringList report;
        disk.Report(report);
        return testing::sectionLines(report, "DiskC:").at(4);
    };
    machine.localeFake.items[platform::locale_item::kThousandSeparator] = "\xA0";
    EXPECT_EQ(capacityLine(), "Capacity=40\xA0" "000\xA0" "000\xA0" "000");
    machine.localeFake.items[platform::locale_item::kThousandSeparator] = "";
    EXPECT_EQ(capacityLine(), "Capacity=40000000000");
    machine.localeFake.items.erase(platform::locale_item::kThousandSeparator);
    EXPECT_EQ(capacityLine(), "Capacity=40,000,000,000");
    EXPECT_THAT(machine.localeFake.localesAsked, ::testing::Each(platform::kLocaleUserDefault));
}

}  // namespace
}  // namespace vardak::probes
