// The firmware part of the platform seam: the firmware-table interface of newer
// Windows versions, the physical-memory section of the NT line and the low memory
// the 95/98 line maps into every process.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vardak::platform {

// Provider signatures of the firmware-table interface, as the platform packs them.
inline constexpr uint32_t kFirmwareProviderRSMB = 0x52534D42;  // 'RSMB', the SMBIOS tables

enum class SectionReadStatus {
    Read,        // the bytes were copied
    CannotOpen,  // the section object does not exist or is not accessible
    CannotMap,   // opened, but the view could not be mapped
};

struct SectionRead {
    SectionReadStatus status = SectionReadStatus::CannotOpen;
    std::vector<uint8_t> bytes;  // `size` bytes when read
};

class Firmware {
public:
    virtual ~Firmware() = default;
    // The table the firmware-table interface returns for a provider and table id;
    // nothing where the interface does not exist or the call fails.
    virtual std::optional<std::vector<uint8_t>> systemFirmwareTable(uint32_t provider,
                                                                    uint32_t tableId) = 0;
    // `size` bytes at a physical address through the "\Device\PhysicalMemory"
    // section (NT line).
    virtual SectionRead readPhysicalMemory(uint32_t address, uint32_t size) = 0;
    // `size` bytes at a linear address of the process; nothing when they cannot be
    // read (anywhere but on the 95/98 line, low memory is not mapped).
    virtual std::optional<std::vector<uint8_t>> copyLinearMemory(uint32_t address,
                                                                 uint32_t size) = 0;
};

}  // namespace vardak::platform
