#include "grell/system/GrellSysDrive.h"

#include <algorithm>
#include <array>

#include "framework/SysUtils.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::grell {

namespace {

using probes::TFileFlag;
using Option = TGrellSysFileSystemOption;

struct OptionOfFlag {
    TFileFlag flag;
    Option option;
};

// The volume's file-system flags as the shared drive routine reads them.
constexpr std::array<OptionOfFlag, 7> kOptionsOfFlags = {{
    {TFileFlag::fsCaseIsPreserved, Option::fsCaseIsPreserved},
    {TFileFlag::fsCaseSensitive, Option::fsCaseSensitive},
    {TFileFlag::fsUnicodeStoredOnDisk, Option::fsSupportsUnicode},
    {TFileFlag::fsPersistentAcls, Option::fsPersistentACLs},
    {TFileFlag::fsFileCompression, Option::fsSupportsCompression},
    {TFileFlag::fsVolumeIsCompressed, Option::fsIsCompressed},
    {TFileFlag::fsDiskQuotasSupport, Option::fsSupportsQuotas},
}};

struct LabelLength {
    std::string_view fileSystem;
    size_t longest;
};

constexpr std::array<LabelLength, 6> kLabelLengths = {{
    {"FAT", 11}, {"FAT12", 11}, {"FAT16", 11}, {"FAT32", 11}, {"exFAT", 11}, {"NTFS", 32},
}};
// What every file system takes.
constexpr size_t kShortestLabelLimit = 11;

size_t longestLabel(std::string_view fileSystem) {
    const auto found = std::find_if(kLabelLengths.begin(), kLabelLengths.end(),
                                    [fileSystem](const LabelLength& entry) { return sameText(entry.fileSystem, fileSystem); });
    return found == kLabelLengths.end() ? kShortestLabelLimit : found->longest;
}

bool isDriveLetter(char letter) {
    return letter >= 'A' && letter <= 'Z';
}

// Only local disks are renamed: never a share, a CD or a drive of unknown kind.
bool isLocalDisk(TGrellSysDriveType type) {
    return type == TGrellSysDriveType::dtFloppy || type == TGrellSysDriveType::dtFixed ||
           type == TGrellSysDriveType::dtRAM;
}

bool hasControlCharacters(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

TGrellSysFileSystemOptions optionsOf(probes::TFileFlags flags) {
    TGrellSysFileSystemOptions options;
    for (const OptionOfFlag& entry : kOptionsOfFlags) {
        if (flags.contains(entry.flag)) options.include(entry.option);
    }
    return options;
}

}  // namespace

void TGrellSysDriveObject::publishProperties(PropertyTable& table) const {
    TGrellSysObject::publishProperties(table);
    table.cardinal("BytesPerSector", bytesPerSector_)
        .int64("DiskSize", diskSize_)
        .int64("DiskFree", diskFree_)
        .character("Drive", drive_)
        .enumeration("DriveType", "TGrellSysDriveType", kGrellSysDriveTypeNames, driveType_)
        .string("FileSystem", fileSystem_)
        .cardinal("SectorsPerCluster", sectorsPerCluster_)
        .cardinal("MaximumLength", maximumLength_)
        .string("SerialNumber", serialNumber_)
        .set("Options", "TGrellSysFileSystemOptions", kGrellSysFileSystemOptionNames, options_.bits)
        .string("VolumeLabel", volumeLabel_);
}

char TGrellSysDriveObject::currentFolderDrive() const {
    const std::string folder = platform().files().currentDirectory();
    const char letter = folder.empty() ? '\0' : ansiUpperChar(folder.front());
    return isDriveLetter(letter) ? letter : 'C';
}

void TGrellSysDriveObject::SetDrive(char letter) {
    if (letter == drive_) return;
    const char upper = ansiUpperChar(letter);
    drive_ = isDriveLetter(upper) ? upper : currentFolderDrive();
    Retrieve();
}

bool TGrellSysDriveObject::rootIsCompressed() const {
    const std::optional<uint32_t> attributes = platform().files().fileAttributes(root());
    return attributes && (*attributes & platform::file_attribute::kCompressed) != 0;
}

void TGrellSysDriveObject::Retrieve() {
    retrieved_ = false;
    probes::TDiskInfo info;
    const bool ready = probes::GetDiskInfo(platform(), std::string{drive_, ':'}, info);
    driveType_ = static_cast<TGrellSysDriveType>(info.MediaType);
    diskSize_ = ready ? info.Capacity : kNotQueried;
    diskFree_ = ready ? info.FreeSpace : kNotQueried;
    sectorsPerCluster_ = info.SectorsPerCluster;
    bytesPerSector_ = info.BytesPerSector;
    maximumLength_ = info.MaximumLength;
    volumeLabel_ = info.VolumeLabel;
    fileSystem_ = info.FileSystem;
    serialNumber_ = info.SerialNumber;
    options_ = optionsOf(info.FileFlags);
    if (fileSystem_ == "NTFS" && rootIsCompressed()) options_.include(Option::fsIsCompressed);
    retrieved_ = true;
}

void TGrellSysDriveObject::checkLabelWritable(const std::string& label) const {
    if (!retrieved_) throw EInvalidOperation("The drive has not been read, so its volume label is not changed");
    const TGrellSysDriveType typeNow = static_cast<TGrellSysDriveType>(platform().files().driveType(root()));
    if (!isLocalDisk(driveType_) || !isLocalDisk(typeNow)) {
        throw EInvalidOperation("Only the volume label of a local disk can be changed");
    }
    if (diskSize_ == kNotQueried) throw EInvalidOperation("The drive is not ready");
    if (hasControlCharacters(label)) throw EInvalidOperation("A volume label cannot hold control characters");
    const size_t longest = longestLabel(fileSystem_);
    if (label.size() > longest) {
        throw EInvalidOperation(
            probes::Format("A volume label holds at most %d characters on this drive", {static_cast<int64_t>(longest)}));
    }
}

void TGrellSysDriveObject::writeVolumeLabel(const std::string& label) {
    const platform::SystemCallResult result = platform().files().setVolumeLabel(root(), label);
    if (!result.succeeded) throw EOSError(result.errorCode, platform().system().errorMessage(result.errorCode));
}

void TGrellSysDriveObject::SetVolumeLabel(const std::string& label) {
    if (label == volumeLabel_) return;
    checkLabelWritable(label);
    WriteChange(std::string(kLabelChangeKey), volumeLabel_, label, [&] { writeVolumeLabel(label); });
    Retrieve();
}

}  // namespace vardak::grell
