#include "probes/hardware/SmbiosDump.h"

#include <algorithm>
#include <cstring>

#include "platform/Bytes.h"

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

// The entry point's own length, checked against the file and its checksum.
void checkEntryPoint(std::span<const uint8_t> bytes, size_t length, size_t shortest, const char* name) {
    if (bytes.size() < shortest || length < shortest || length > bytes.size()) {
        throw ESMBIOSDumpError(std::string("the ") + name + " entry point is cut short");
    }
    if (bytes::checksum(bytes.first(length)) != 0) {
        throw ESMBIOSDumpError(std::string("the ") + name + " entry point has a wrong checksum");
    }
}

DumpedTable readEntryPoint(std::span<const uint8_t> bytes) {
    DumpedTable table;
    if (startsWith(bytes, "_SM3_")) {
        checkEntryPoint(bytes, bytes.size() > 6 ? bytes[6] : 0, 0x18, "_SM3_");
        table.major = bytes[7];
        table.minor = bytes[8];
        table.length = bytes::le32(bytes, 12);
        table.address = bytes::le64(bytes, 16);
        table.lengthIsLimit = true;
    } else if (startsWith(bytes, "_SM_")) {
        checkEntryPoint(bytes, bytes.size() > 5 ? bytes[5] : 0, 0x1E, "_SM_");
        table.major = bytes[6];
        table.minor = bytes[7];
        table.length = bytes::le16(bytes, 22);
        table.address = bytes::le32(bytes, 24);
    } else if (startsWith(bytes, "_DMI_")) {
        checkEntryPoint(bytes, 15, 15, "_DMI_");
        table.major = bytes[14] >> 4;
        table.minor = bytes[14] & 0x0F;
        table.length = bytes::le16(bytes, 6);
        table.address = bytes::le32(bytes, 8);
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
