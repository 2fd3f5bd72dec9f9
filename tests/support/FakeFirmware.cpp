#include "tests/support/FakeFirmware.h"

namespace vardak::testing {

namespace {

std::vector<uint8_t> bytesAt(const std::map<uint32_t, uint8_t>& memory, uint32_t address, uint32_t size) {
    std::vector<uint8_t> bytes(size, 0);
    for (uint32_t offset = 0; offset < size; ++offset) {
        auto found = memory.find(address + offset);
        if (found != memory.end()) bytes[offset] = found->second;
    }
    return bytes;
}

}  // namespace

std::optional<std::vector<uint8_t>> FakeFirmware::systemFirmwareTable(uint32_t provider, uint32_t) {
    ++tableCalls;
    auto found = tables.find(provider);
    if (found == tables.end()) return std::nullopt;
    return found->second;
}

platform::SectionRead FakeFirmware::readPhysicalMemory(uint32_t address, uint32_t size) {
    ++sectionCalls;
    platform::SectionRead read;
    read.status = sectionStatus;
    if (sectionStatus == platform::SectionReadStatus::Read) read.bytes = bytesAt(physicalMemory, address, size);
    return read;
}

std::optional<std::vector<uint8_t>> FakeFirmware::copyLinearMemory(uint32_t address, uint32_t size) {
    ++linearCalls;
    if (!lowMemoryReadable) return std::nullopt;
    return bytesAt(physicalMemory, address, size);
}

void FakeFirmware::setBiosArea(const std::vector<uint8_t>& area) {
    for (uint32_t offset = 0; offset < area.size(); ++offset) {
        if (area[offset] != 0) physicalMemory[0xF0000 + offset] = area[offset];
    }
}

}  // namespace vardak::testing
