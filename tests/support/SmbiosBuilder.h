// SMBIOS structures, tables, entry points and BIOS areas built byte by byte for
// tests, including the malformed ones firmware is known to ship.
//
//   SmbiosStructure bios(0, 0x12, 0x0000);
//   bios.set(4, 1).set(5, 2).set(8, 3).strings = {"Vendor", "1.0", "01/01/2004"};
//   BiosAreaBuilder area;
//   area.putEntryPoint(0xF0000, {.tableAddress = 0xF0100, ...});
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "probes/hardware/Vesk_SMBIOS.h"

namespace vardak::testing {

struct SmbiosStructure {
    // A formatted area of `length` bytes, all zero past the header.
    SmbiosStructure(uint8_t type, uint8_t length, uint16_t handle);

    SmbiosStructure& set(size_t offset, uint8_t value);
    SmbiosStructure& setWord(size_t offset, uint16_t value);
    SmbiosStructure& setDWord(size_t offset, uint32_t value);
    SmbiosStructure& text(std::string value);

    // The formatted area, then the texts each with its NUL and one more NUL (two
    // NULs for no texts at all), unless `rawStrings` replaces the string set.
    std::vector<uint8_t> bytes() const;

    std::vector<uint8_t> formatted;
    std::vector<std::string> strings;
    std::optional<std::vector<uint8_t>> rawStrings;
};

std::vector<uint8_t> tableOf(const std::vector<SmbiosStructure>& structures);

struct EntryPointFields {
    uint8_t major = 2;
    uint8_t minor = 3;
    uint32_t tableAddress = 0;
    uint16_t tableLength = 0;
    uint16_t structureCount = 0;
};

// A 31-byte "_SM_" entry point with both checksums right.
std::vector<uint8_t> entryPointOf(const EntryPointFields& fields);

// The 65536 bytes of segment F000h.
class BiosAreaBuilder {
public:
    BiosAreaBuilder& put(uint32_t address, const std::vector<uint8_t>& bytes);
    // An entry point at `address` for the table at `tableAddress`, then the table.
    BiosAreaBuilder& putTable(uint32_t entryAddress, uint32_t tableAddress, const std::vector<uint8_t>& table,
                              uint16_t structureCount, uint8_t major = 2, uint8_t minor = 3);

    probes::SMBIOSImage image() const;
    const probes::TBIOSArea& area() const { return area_; }
    std::vector<uint8_t> bytes() const { return {area_.begin(), area_.end()}; }

private:
    probes::TBIOSArea area_{};
};

// What the firmware-table interface returns for 'RSMB'.
std::vector<uint8_t> rsmbBlobOf(uint8_t major, uint8_t minor, const std::vector<uint8_t>& table);

}  // namespace vardak::testing
