// Firmware for tests: a firmware table, a physical-memory section and low memory,
// each present or not as the test sets it, with counts of how often each was asked.
#pragma once

#include "platform/Firmware.h"

#include <map>
#include <optional>
#include <vector>

namespace vardak::testing {

class FakeFirmware : public platform::Firmware {
public:
    std::optional<std::vector<uint8_t>> systemFirmwareTable(uint32_t provider, uint32_t tableId) override;
    // Bytes of `physicalMemory` from `address`; the status of `sectionStatus`.
    platform::SectionRead readPhysicalMemory(uint32_t address, uint32_t size) override;
    std::optional<std::vector<uint8_t>> copyLinearMemory(uint32_t address, uint32_t size) override;

    // Stores the 64 KB of segment F000h for both the section and the low memory.
    void setBiosArea(const std::vector<uint8_t>& area);

    // By provider; no entry: the interface is missing.
    std::map<uint32_t, std::vector<uint8_t>> tables;
    platform::SectionReadStatus sectionStatus = platform::SectionReadStatus::CannotOpen;
    bool lowMemoryReadable = false;
    std::map<uint32_t, uint8_t> physicalMemory;  // sparse: absent bytes read 0

    int tableCalls = 0;
    int sectionCalls = 0;
    int linearCalls = 0;
};

}  // namespace vardak::testing
