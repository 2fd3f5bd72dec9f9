#include "tests/support/SmbiosBuilder.h"

#include <cstring>
#include <stdexcept>

namespace vardak::testing {

SmbiosStructure::SmbiosStructure(uint8_t type, uint8_t length, uint16_t handle) : formatted(length, 0) {
    if (length < 4) throw std::invalid_argument("a structure header takes 4 bytes");
    formatted[0] = type;
    formatted[1] = length;
    formatted[2] = static_cast<uint8_t>(handle);
    formatted[3] = static_cast<uint8_t>(handle >> 8);
}

SmbiosStructure& SmbiosStructure::set(size_t offset, uint8_t value) {
    formatted.at(offset) = value;
    return *this;
}

SmbiosStructure& SmbiosStructure::setWord(size_t offset, uint16_t value) {
    set(offset, static_cast<uint8_t>(value));
    return set(offset + 1, static_cast<uint8_t>(value >> 8));
}

SmbiosStructure& SmbiosStructure::setDWord(size_t offset, uint32_t value) {
    setWord(offset, static_cast<uint16_t>(value));
    return setWord(offset + 2, static_cast<uint16_t>(value >> 16));
}

SmbiosStructure& SmbiosStructure::text(std::string value) {
    strings.push_back(std::move(value));
    return *this;
}

std::vector<uint8_t> SmbiosStructure::bytes() const {
    std::vector<uint8_t> out = formatted;
    if (rawStrings) {
        out.insert(out.end(), rawStrings->begin(), rawStrings->end());
        return out;
    }
    for (const std::string& text : strings) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    if (strings.empty()) out.push_back(0);
    out.push_back(0);
    return out;
}

std::vector<uint8_t> tableOf(const std::vector<SmbiosStructure>& structures) {
    std::vector<uint8_t> table;
    for (const SmbiosStructure& structure : structures) {
        const std::vector<uint8_t> bytes = structure.bytes();
        table.insert(table.end(), bytes.begin(), bytes.end());
    }
    return table;
}

namespace {

uint8_t negatedSum(const uint8_t* bytes, size_t size) {
    uint8_t sum = 0;
    for (size_t k = 0; k < size; ++k) sum = static_cast<uint8_t>(sum + bytes[k]);
    return static_cast<uint8_t>(-sum);
}

}  // namespace

std::vector<uint8_t> entryPointOf(const EntryPointFields& fields) {
    std::vector<uint8_t> entry(31, 0);
    std::memcpy(entry.data(), "_SM_", 4);
    entry[5] = 31;
    entry[6] = fields.major;
    entry[7] = fields.minor;
    std::memcpy(entry.data() + 16, "_DMI_", 5);
    entry[22] = static_cast<uint8_t>(fields.tableLength);
    entry[23] = static_cast<uint8_t>(fields.tableLength >> 8);
    for (int k = 0; k < 4; ++k) entry[24 + k] = static_cast<uint8_t>(fields.tableAddress >> (8 * k));
    entry[28] = static_cast<uint8_t>(fields.structureCount);
    entry[29] = static_cast<uint8_t>(fields.structureCount >> 8);
    entry[30] = static_cast<uint8_t>(fields.major << 4 | (fields.minor & 0x0F));
    entry[21] = negatedSum(entry.data() + 16, 15);
    entry[4] = negatedSum(entry.data(), 31);
    return entry;
}

BiosAreaBuilder& BiosAreaBuilder::put(uint32_t address, const std::vector<uint8_t>& bytes) {
    if (address < probes::kBIOSAreaAddress || address - probes::kBIOSAreaAddress + bytes.size() > area_.size()) {
        throw std::out_of_range("bytes outside segment F000h");
    }
    std::memcpy(area_.data() + (address - probes::kBIOSAreaAddress), bytes.data(), bytes.size());
    return *this;
}

BiosAreaBuilder& BiosAreaBuilder::putTable(uint32_t entryAddress, uint32_t tableAddress,
                                           const std::vector<uint8_t>& table, uint16_t structureCount,
                                           uint8_t major, uint8_t minor) {
    put(entryAddress, entryPointOf({major, minor, tableAddress, static_cast<uint16_t>(table.size()), structureCount}));
    if (tableAddress >= probes::kBIOSAreaAddress && tableAddress < probes::kBIOSAreaAddress + probes::kBIOSAreaSize) {
        put(tableAddress, table);
    }
    return *this;
}

probes::SMBIOSImage BiosAreaBuilder::image() const {
    probes::SMBIOSImage image;
    image.area = area_;
    return image;
}

std::vector<uint8_t> rsmbBlobOf(uint8_t major, uint8_t minor, const std::vector<uint8_t>& table) {
    std::vector<uint8_t> blob = {0, major, minor, 0};
    for (int k = 0; k < 4; ++k) blob.push_back(static_cast<uint8_t>(table.size() >> (8 * k)));
    blob.insert(blob.end(), table.begin(), table.end());
    return blob;
}

}  // namespace vardak::testing
