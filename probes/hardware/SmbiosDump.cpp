#include "probes/hardware/SmbiosDump.h"

#include <algorithm>
#include <cstring>

namespace vardak::probes {

namespace {

struct DumpedTable {
    uint8_t major = 0;
    uint8_t minor = 0;
    uint64_t address = 0;
    uint64_t length = 0;
    bool lengthIsLimit = false;  // 3.x gives a largest size, not the exact one
};

bool startsWith(std::span<const uint8_t> bytes, std::string_view anchor) {
    return bytes.size() >= anchor.size() && std::memcmp(bytes.data(), anchor.data(), anchor.size()) == 0;
}

uint64_t little(std::span<const uint8_t> bytes, size_t offset, size_t size) {
    uint64_t value = 0;
    for (size_t k = size; k-- > 0;) value = value << 8 | bytes[offset + k];
    return value;
}

// The entry point's own length, checked against the file and its checksum.
void checkEntryPoint(std::span<const uint8_t> bytes, size_t length, size_t shortest, const char* name) {
    if (bytes.size() < shortest || length < shortest || length > bytes.size()) {
        throw ESMBIOSDumpError(std::string("the ") + name + " entry point is cut short");
    }
    uint8_t sum = 0;
    for (size_t k = 0; k < length; ++k) sum = static_cast<uint8_t>(sum + bytes[k]);
    if (sum != 0) throw ESMBIOSDumpError(std::string("the ") + name + " entry point has a wrong checksum");
}

DumpedTable readEntryPoint(std::span<const uint8_t> bytes) {
    DumpedTable table;
    if (startsWith(bytes, "_SM3_")) {
        checkEntryPoint(bytes, bytes.size() > 6 ? bytes[6] : 0, 0x18, "_SM3_");
        table.major = bytes[7];
        table.minor = bytes[8];
        table.length = little(bytes, 12, 4);
        table.address = little(bytes, 16, 8);
        table.lengthIsLimit = true;
    } else if (startsWith(bytes, "_SM_")) {
        checkEntryPoint(bytes, bytes.size() > 5 ? bytes[5] : 0, 0x1E, "_SM_");
        table.major = bytes[6];
        table.minor = bytes[7];
        table.length = little(bytes, 22, 2);
        table.address = little(bytes, 24, 4);
    } else if (startsWith(bytes, "_DMI_")) {
        checkEntryPoint(bytes, 15, 15, "_DMI_");
        table.major = bytes[14] >> 4;
        table.minor = bytes[14] & 0x0F;
        table.length = little(bytes, 6, 2);
        table.address = little(bytes, 8, 4);
    } else {
        throw ESMBIOSDumpError("no SMBIOS entry point (\"_SM_\", \"_SM3_\" or \"_DMI_\") at the start");
    }
    return table;
}

}  // namespace

SMBIOSImage ParseSMBIOSDump(std::span<const uint8_t> bytes) {
    const DumpedTable table = readEntryPoint(bytes);
    if (table.length == 0) throw ESMBIOSDumpError("the entry point gives an empty structure table");
    if (table.address >= bytes.size()) throw ESMBIOSDumpError("the structure table lies past the end of the file");
    uint64_t length = table.length;
    if (length > bytes.size() - table.address) {
        if (!table.lengthIsLimit) throw ESMBIOSDumpError("the structure table runs past the end of the file");
        length = bytes.size() - table.address;
    }
    const SMBIOSImage image = BuildSMBIOSImage(table.major, table.minor,
                                               bytes.subspan(static_cast<size_t>(table.address), static_cast<size_t>(length)));
    if (image.structuresPlaced == 0) throw ESMBIOSDumpError("the structure table holds no complete structure");
    return image;
}

}  // namespace vardak::probes
