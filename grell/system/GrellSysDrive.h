// The drive component: one drive chosen by its letter, with its type, sizes, cluster
// geometry, volume label, file system, serial number and file-system options. The
// volume label can be changed; the change goes through the change tracking.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Sets.h"
#include "grell/system/GrellExceptions.h"
#include "grell/system/GrellSysBase.h"

namespace vardak::grell {

// The ordinals are the system's drive-type codes of a root path.
enum class TGrellSysDriveType : uint8_t { dtUnknown, dtNoRootDir, dtFloppy, dtFixed, dtNetwork, dtCDROM, dtRAM };
inline constexpr std::string_view kGrellSysDriveTypeNames[] = {"dtUnknown", "dtNoRootDir", "dtFloppy", "dtFixed",
                                                               "dtNetwork", "dtCDROM",     "dtRAM"};

enum class TGrellSysFileSystemOption : uint8_t {
    fsCaseIsPreserved,
    fsCaseSensitive,
    fsSupportsUnicode,
    fsPersistentACLs,
    fsSupportsCompression,
    fsIsCompressed,
    fsSupportsQuotas,
};
inline constexpr std::string_view kGrellSysFileSystemOptionNames[] = {
    "fsCaseIsPreserved",     "fsCaseSensitive", "fsSupportsUnicode", "fsPersistentACLs",
    "fsSupportsCompression", "fsIsCompressed",  "fsSupportsQuotas",
};
using TGrellSysFileSystemOptions = TSet<TGrellSysFileSystemOption, uint8_t>;

class TGrellSysDriveObject : public TGrellSysObject {
public:
    // DiskSize and DiskFree of a drive that cannot be queried.
    static constexpr int64_t kNotQueried = -1;
    // The key of volume-label changes.
    static constexpr std::string_view kLabelChangeKey = "Disk:Label";

    explicit TGrellSysDriveObject(platform::Platform& platform) : TGrellSysObject(platform) {}

    std::string_view className() const override { return "TGrellSysDriveObject"; }
    void publishProperties(PropertyTable& table) const override;

    TGrellSysDriveType DriveType() const { return driveType_; }
    char Drive() const { return drive_; }
    const std::string& FileSystem() const { return fileSystem_; }
    const std::string& SerialNumber() const { return serialNumber_; }
    const std::string& VolumeLabel() const { return volumeLabel_; }
    int64_t DiskSize() const { return diskSize_; }
    int64_t DiskFree() const { return diskFree_; }
    uint32_t SectorsPerCluster() const { return sectorsPerCluster_; }
    uint32_t BytesPerSector() const { return bytesPerSector_; }
    uint32_t MaximumLength() const { return maximumLength_; }
    TGrellSysFileSystemOptions Options() const { return options_; }

    // Selects a drive and reads it; the same letter (compared before upper-casing)
    // does nothing. A character that is no letter selects the drive of the current
    // folder, or C.
    void SetDrive(char letter);
    // Renames the volume of a local disk that has been read and is ready, then reads
    // it again. Raises EInvalidOperation for any other drive, for control characters
    // and for a label longer than the file system takes; EOSError when the system
    // refuses. Either way nothing stays pending and nothing is logged.
    void SetVolumeLabel(const std::string& label);
    void Retrieve() override;
    void ApplyChanges() override {}

private:
    std::string root() const { return std::string{drive_, ':', '\\'}; }
    char currentFolderDrive() const;
    void checkLabelWritable(const std::string& label) const;
    void writeVolumeLabel(const std::string& label);
    bool rootIsCompressed() const;

    TGrellSysDriveType driveType_ = TGrellSysDriveType::dtUnknown;
    char drive_ = 'C';
    std::string fileSystem_;
    std::string serialNumber_;
    std::string volumeLabel_;
    int64_t diskSize_ = 0;
    int64_t diskFree_ = 0;
    uint32_t sectorsPerCluster_ = 0;
    uint32_t bytesPerSector_ = 0;
    uint32_t maximumLength_ = 0;
    TGrellSysFileSystemOptions options_;
    // The values belong to the drive of `drive_`: Retrieve has completed for it.
    bool retrieved_ = false;
};

class TGrellSysDrive : public TGrellSysObjectComponent<TGrellSysDriveObject> {
public:
    TGrellSysDrive(TComponent* owner, platform::Platform& platform)
        : TGrellSysObjectComponent(owner, platform, "Drive") {}

    std::string_view className() const override { return "TGrellSysDrive"; }

    TGrellSysDriveObject& Drive() const { return Information(); }
};

}  // namespace vardak::grell
