#include "probes/hardware/Vesk_Disk.h"

#include <iterator>
#include <optional>

#include "probes/core/Format.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {
namespace {

constexpr int kDriveLetters = 26;
constexpr size_t kDriveSignLength = 2;

struct FileFlagKey {
    TFileFlag flag;
    std::string_view key;
};

constexpr FileFlagKey kFileFlagKeys[] = {
    {TFileFlag::fsCaseIsPreserved, "Case Is Preserved"},
    {TFileFlag::fsCaseSensitive, "Case Sensitive"},
    {TFileFlag::fsUnicodeStoredOnDisk, "Unicode stored On Disk"},
    {TFileFlag::fsPersistentAcls, "Persistent Acls"},
    {TFileFlag::fsFileCompression, "File Compression"},
    {TFileFlag::fsVolumeIsCompressed, "Volume Is Compressed"},
    {TFileFlag::fsLongFileNames, "Long Filenames"},
    {TFileFlag::fsEncryptedFileSystemSupport, "Encrypted File System Support"},
    {TFileFlag::fsObjectIDsSupport, "Object IDs Support"},
    {TFileFlag::fsReparsePointsSupport, "Reparse Points Support"},
    {TFileFlag::fsSparseFilesSupport, "Sparse Files Support"},
    {TFileFlag::fsDiskQuotasSupport, "Disk Quotas Support"},
};

}  // namespace

std::string_view MediaTypeText(TMediaType type) {
    const auto ordinal = static_cast<size_t>(type);
    return ordinal < std::size(kMediaTypeTexts) ? kMediaTypeTexts[ordinal] : kMediaTypeTexts[0];
}

void TDisk::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Drive", drive_, "TDiskSign")
        .string("AvailableDisks", availableDisks_)
        .boolean("MediaPresent", MediaPresent())
        .enumeration("MediaType", "TMediaType", kMediaTypeNames, info_.MediaType)
        .set("FileFlags", "TFileFlags", kFileFlagNames, info_.FileFlags.bits)
        .string("FileSystem", info_.FileSystem)
        .cardinal("FreeClusters", info_.FreeClusters)
        .cardinal("TotalClusters", info_.TotalClusters)
        .int64("FreeSpace", info_.FreeSpace)
        .int64("Capacity", info_.Capacity)
        .string("SerialNumber", info_.SerialNumber)
        .string("VolumeLabel", info_.VolumeLabel)
        .cardinal("SectorsPerCluster", info_.SectorsPerCluster)
        .cardinal("BytesPerSector", info_.BytesPerSector);
}

void TDisk::GetInfo() {
    const uint32_t drives = platform_.files().logicalDrives();
    availableDisks_.clear();
    for (int letter = 0; letter < kDriveLetters; ++letter) {
        if (IsBitOn(drives, letter)) {
            availableDisks_.push_back(static_cast<char>('A' + letter));
        }
    }
}

void TDisk::SetDrive(const TDiskSign& drive) {
    drive_ = drive.substr(0, kDriveSignLength);
    GetDiskInfo(platform_, drive_, info_);
}

bool TDisk::MediaPresent() const {
    return !drive_.empty() && DiskInDrive(platform_, drive_);
}

std::string TDisk::UNC() const {
    // Only a remote drive can be a network connection: local drives are not asked.
    if (info_.MediaType == TMediaType::dtRemote) {
        const std::optional<std::string> connection = platform_.files().networkConnection(drive_);
        if (connection && !connection->empty()) {
            return *connection;
        }
    }
    return drive_;
}

void TDisk::Report(TStrings& report) {
    addReportSection(report, "Disks");
    addReportEntry(report, "Available", availableDisks_);
    const std::string separator = UserThousandSeparator(platform_);
    for (const char letter : availableDisks_) {
        SetDrive(std::string(1, letter) + ":");
        reportSelectedDrive(report, separator);
    }
}

void TDisk::reportSelectedDrive(TStrings& report, std::string_view thousandSeparator) const {
    addReportSection(report, "Disk" + drive_);
    addReportEntry(report, "VolumeLabel", info_.VolumeLabel);
    addReportEntry(report, "Type", MediaTypeText(info_.MediaType));
    addReportEntry(report, "UNC", UNC());
    addReportEntry(report, "SerialNumber", info_.SerialNumber);
    addReportEntry(report, "Capacity", FormatGrouped(info_.Capacity, thousandSeparator));
    addReportEntry(report, "FreeSpace", FormatGrouped(info_.FreeSpace, thousandSeparator));
    addReportEntry(report, "BytesPerSector", info_.BytesPerSector);
    addReportEntry(report, "SectorPerCluster", info_.SectorsPerCluster);
    addReportEntry(report, "FreeClusters", FormatGrouped(info_.FreeClusters, thousandSeparator));
    addReportEntry(report, "TotalClusters", FormatGrouped(info_.TotalClusters, thousandSeparator));
    ReportFlags(report);
}

void TDisk::ReportFlags(TStrings& report) const {
    addReportSection(report, "Disk" + drive_ + "_Flags");
    for (const FileFlagKey& flag : kFileFlagKeys) {
        addReportEntry(report, flag.key, info_.FileFlags.contains(flag.flag));
    }
}

}  // namespace vardak::probes
