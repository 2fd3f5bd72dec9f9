// Firmware tables through kernel32's firmware-table call (bound at run time), the
// physical-memory section through ntdll's native calls, and low memory where the
// 95/98 line maps it into every process.
#pragma once

#include "platform/Firmware.h"

namespace vardak::win32 {

class Win32Firmware final : public platform::Firmware {
public:
    std::optional<std::vector<uint8_t>> systemFirmwareTable(uint32_t provider, uint32_t tableId) override;
    platform::SectionRead readPhysicalMemory(uint32_t address, uint32_t size) override;
    std::optional<std::vector<uint8_t>> copyLinearMemory(uint32_t address, uint32_t size) override;

    // Tests switch the firmware-table call off to reach the older ways.
    void setFirmwareTablesEnabled(bool enabled) { tablesEnabled_ = enabled; }

private:
    bool tablesEnabled_ = true;
};

}  // namespace vardak::win32
