// The disk probe: the drive letters in use, and one selected drive at a time with
// its type, volume label and serial number, file system and its feature flags,
// capacity, free space and cluster geometry. Selecting a drive reads it; the report
// selects every drive in turn.
//
// Every drive query runs with the system's critical-error boxes off (the backend
// puts the caller's mode back after each), so walking the drives never stops at an
// "insert a disk" box, and a drive that is not ready reads as an empty one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::probes {

// The report's words for the drive types, by TMediaType ordinal.
inline constexpr std::string_view kMediaTypeTexts[] = {"<unknown>", "<not exists>", "Removable", "Fixed",
                                                       "Remote",    "CDROM",        "RAM"};
// The word of a drive type; "<unknown>" for an ordinal outside the table.
std::string_view MediaTypeText(TMediaType type);

class TDisk : public TPersistent {
public:
    explicit TDisk(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TDisk"; }
    void publishProperties(PropertyTable& table) const override;

    // Refreshes AvailableDisks only; the selected drive's values stay.
    void GetInfo();
    // Appends "[Disks]" and, selecting each available drive in turn (the last one
    // stays selected), its "[Disk<X:>]" and "[Disk<X:>_Flags]" sections.
    void Report(TStrings& report);

    // Appends the selected drive's "[Disk<X:>_Flags]": one "<flag>=1" or "=0" line per
    // file-system flag.
    void ReportFlags(TStrings& report) const;

    const TDiskSign& Drive() const { return drive_; }
    // Selects the drive named by the first two characters ("C:") and reads it.
    void SetDrive(const TDiskSign& drive);

    // The upper-case letters of the drives in use, in order ("ACDE").
    const std::string& AvailableDisks() const { return availableDisks_; }
    // Asks the drive on every call; false while no drive is selected.
    bool MediaPresent() const;
    TMediaType MediaType() const { return info_.MediaType; }
    TFileFlags FileFlags() const { return info_.FileFlags; }
    const std::string& FileSystem() const { return info_.FileSystem; }
    uint32_t FreeClusters() const { return info_.FreeClusters; }
    uint32_t TotalClusters() const { return info_.TotalClusters; }
    int64_t FreeSpace() const { return info_.FreeSpace; }
    int64_t Capacity() const { return info_.Capacity; }
    const std::string& SerialNumber() const { return info_.SerialNumber; }
    const std::string& VolumeLabel() const { return info_.VolumeLabel; }
    uint32_t SectorsPerCluster() const { return info_.SectorsPerCluster; }
    uint32_t BytesPerSector() const { return info_.BytesPerSector; }

    // The selected drive's universal name: the network path of a mapped drive, the
    // drive itself otherwise.
    std::string UNC() const;

private:
    void reportSelectedDrive(TStrings& report, std::string_view thousandSeparator) const;

    platform::Platform& platform_;
    TDiskSign drive_;
    std::string availableDisks_;
    TDiskInfo info_;
};

}  // namespace vardak::probes
