#include "probes/hardware/Vesk_SMBIOS.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/Exception.h"
#include "framework/SysUtils.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

namespace {

constexpr uint32_t kAreaEnd = kBIOSAreaAddress + kBIOSAreaSize;  // one past FFFFFh
constexpr uint8_t kEndOfTable = 127;
constexpr size_t kHeaderLength = 4;
constexpr size_t kLongestText = 255;

// The 2.x entry point: anchor, checksum, length, version, then the "_DMI_" part.
constexpr uint8_t kEntryPointLength = 0x1F;
constexpr uint8_t kShortestEntryPoint = 0x1E;  // SMBIOS 2.1 wrote this length
constexpr uint8_t kLongestEntryPoint = 0x20;
constexpr uint32_t kIntermediateLength = 15;
constexpr uint32_t kEntryPointAlignment = 16;
constexpr uint32_t kIntermediateOffset = 16;
constexpr uint32_t kLegacyRevisionOffset = 14;  // within the "_DMI_" part
constexpr uint32_t kTableLengthOffset = 22;
constexpr uint32_t kTableAddressOffset = 24;
constexpr uint32_t kStructureCountOffset = 28;

constexpr size_t kRSMBHeaderLength = 8;

// Chassis types 1..24.
constexpr std::string_view kChassisTypeNames[] = {
    "",
    "Other",
    "Unknown",
    "Desktop",
    "Low Profile Desktop",
    "Pizza Box",
    "Mini Tower",
    "Tower",
    "Portable",
    "LapTop",
    "Notebook",
    "Hand Held",
    "Docking Station",
    "All in One",
    "Sub Notebook",
    "Space-saving",
    "Lunch Box",
    "Main Server Chassis",
    "Expansion Chassis",
    "SubChassis",
    "Bus Expansion Chassis",
    "Peripheral Chassis",
    "RAID Chassis",
    "Rack Mount Chassis",
    "Sealed-case PC",
};

// Processor upgrade codes 1..9.
constexpr std::string_view kUpgradeNames[] = {
    "",           "Other",     "Unknown", "Daughter Board", "ZIF Socket", "Replaceable Piggy Back",
    "None",       "LIF Socket", "Slot 1", "Slot 2",
};

struct MemoryTypeWord {
    int bit;
    std::string_view word;
};

// Bit 5 (parity) adds no word.
constexpr MemoryTypeWord kMemoryTypeWords[] = {
    {0, "Other"}, {1, "Unknown"}, {2, "Standard"}, {3, "FastPageMode"}, {4, "EDO"},
    {6, "ECC"},   {7, "SIMM"},    {8, "DIMM"},     {9, "BurstEDO"},      {10, "SDRAM"},
};

constexpr uint16_t kMemoryTypeMask = 0x07FF;  // bits 0..10

// Memory-module sizes 2^n MB: 125..127 mean unknown, disabled and not installed;
// exponents beyond what a signed 64-bit number holds are impossible.
constexpr uint8_t kFirstSizeCode = 125;
constexpr uint8_t kLargestSizeExponent = 62;

// Index 255 stands for "no text" in the record fields.
constexpr uint8_t kNoName = 255;

using bytes::checksum;

void putWord(std::span<uint8_t> data, size_t offset, uint32_t value) {
    bytes::putLittleEndian(data, offset, 2, value);
}

void putDWord(std::span<uint8_t> data, size_t offset, uint32_t value) {
    bytes::putLittleEndian(data, offset, 4, value);
}

// A connector type as an index of kConnectorNames.
uint8_t connectorIndex(uint8_t code) {
    if (code == 0xFF) return 39;
    if (code >= 0xA0 && code <= 0xA4) return static_cast<uint8_t>(34 + (code - 0xA0));
    if (code <= 33) return code;
    return kNoName;
}

// A port type as an index of kPortTypeNames.
uint8_t portTypeIndex(uint8_t code) {
    if (code == 0xFF) return 34;
    if (code == 0xA0 || code == 0xA1) return static_cast<uint8_t>(code - 128);
    if (code <= 31) return code;
    return kNoName;
}

// A slot type as an index of kSlotTypeNames.
uint8_t slotTypeIndex(uint8_t code) {
    if (code >= 1 && code <= 17) return static_cast<uint8_t>(code - 1);
    if (code >= 0xA0 && code <= 0xA4) return static_cast<uint8_t>(17 + (code - 0xA0));
    return kNoName;
}

uint8_t highestSetBit(uint16_t word, int lastBit) {
    for (int bit = lastBit; bit >= 0; --bit) {
        if (IsBitOn(word, bit)) return static_cast<uint8_t>(bit);
    }
    return 0;
}

// A cache size word: bit 15 set counts in 64 KB units.
uint32_t cacheSizeKB(uint16_t word) {
    const uint32_t units = word & 0x7FFFu;
    return (word & 0x8000u) != 0 ? units * 64 : units;
}

double processorVoltage(uint8_t code) {
    if ((code & 0x80) != 0) return (code - 128) / 10.0;
    if (IsBitOn(code, 0)) return 5.0;
    if (IsBitOn(code, 1)) return 3.3;
    if (IsBitOn(code, 2)) return 2.9;
    return 0;
}

uint64_t moduleSizeMB(uint8_t code) {
    const uint8_t exponent = code & 0x7F;
    if (exponent >= kFirstSizeCode || exponent > kLargestSizeExponent) return 0;
    return uint64_t{1} << exponent;
}

// The BIOS ROM size in KB; code FFh refers to the extended size word of later
// versions (bits 0..13 the size, bits 14..15 the unit: MB or GB).
uint32_t biosSizeKB(uint8_t code, std::optional<uint16_t> extended) {
    if (code != 0xFF || !extended) return (code + 1u) * 64u;
    const uint64_t size = *extended & 0x3FFFu;
    const uint64_t kilobytes = (*extended >> 14) == 0 ? size * 1024 : ((*extended >> 14) == 1 ? size << 20 : 0);
    return kilobytes > std::numeric_limits<uint32_t>::max() ? 0 : static_cast<uint32_t>(kilobytes);
}

}  // namespace

std::string_view StructureTypeText(uint8_t type) {
    for (const StructureTypeName& entry : kStructureTypeNames) {
        if (entry.type == type) return entry.name;
    }
    return "Unknown";
}

std::string GetMemoryTypeText(uint16_t types) {
    std::string text;
    for (const MemoryTypeWord& entry : kMemoryTypeWords) {
        if (IsBitOn(types, entry.bit)) {
            text += entry.word;
            text += ',';
        }
    }
    if (!text.empty()) text.pop_back();
    return text;
}

// ---------------------------------------------------------------- images

std::optional<size_t> StructureEnd(std::span<const uint8_t> table, size_t offset) {
    if (offset + kHeaderLength > table.size()) return std::nullopt;
    const uint8_t length = table[offset + 1];
    if (length < kHeaderLength) return std::nullopt;
    for (size_t at = offset + length; at + 1 < table.size(); ++at) {
        if (table[at] == 0 && table[at + 1] == 0) return at + 2;
    }
    return std::nullopt;
}

SMBIOSImage BuildSMBIOSImage(uint8_t major, uint8_t minor, std::span<const uint8_t> table) {
    constexpr size_t kCapacity = std::min<size_t>(kBIOSAreaSize - kImageTableOffset, 0xFFFF);
    SMBIOSImage image;
    size_t placedEnd = 0;
    size_t offset = 0;
    uint8_t largest = 0;
    bool cut = false;
    while (std::optional<size_t> end = StructureEnd(table, offset)) {
        if (*end > kCapacity) {
            cut = true;
            break;
        }
        largest = static_cast<uint8_t>(std::min<size_t>(std::max<size_t>(largest, *end - offset), 0xFF));
        ++image.structuresPlaced;
        placedEnd = *end;
        if (table[offset] == kEndOfTable) break;
        offset = *end;
    }
    if (cut) {
        while (std::optional<size_t> end = StructureEnd(table, offset)) {
            ++image.structuresLeftOut;
            if (table[offset] == kEndOfTable) break;
            offset = *end;
        }
    }
    std::copy_n(table.begin(), placedEnd, image.area.begin() + kImageTableOffset);

    std::span<uint8_t> entry(image.area.data(), kEntryPointLength);
    std::memcpy(entry.data(), "_SM_", 4);
    entry[5] = kEntryPointLength;
    entry[6] = major;
    entry[7] = minor;
    putWord(entry, 8, largest);
    std::memcpy(entry.data() + kIntermediateOffset, "_DMI_", 5);
    putWord(entry, kTableLengthOffset, static_cast<uint32_t>(placedEnd));
    putDWord(entry, kTableAddressOffset, kBIOSAreaAddress + kImageTableOffset);
    putWord(entry, kStructureCountOffset, image.structuresPlaced);
    entry[30] = static_cast<uint8_t>((std::min<uint8_t>(major, 15) << 4) | std::min<uint8_t>(minor, 15));
    entry[21] = static_cast<uint8_t>(-checksum(entry.subspan(kIntermediateOffset, kIntermediateLength)));
    entry[4] = static_cast<uint8_t>(-checksum(entry));
    return image;
}

std::optional<SMBIOSImage> ImageFromFirmwareTable(std::span<const uint8_t> blob) {
    if (blob.size() < kRSMBHeaderLength) return std::nullopt;
    const uint32_t length = bytes::le32(blob, 4);
    const std::span<const uint8_t> table =
        blob.subspan(kRSMBHeaderLength, std::min<size_t>(length, blob.size() - kRSMBHeaderLength));
    SMBIOSImage image = BuildSMBIOSImage(blob[1], blob[2], table);
    if (image.structuresPlaced == 0) return std::nullopt;
    return image;
}

// ---------------------------------------------------------------- the DOS dump

namespace {

std::string withBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

// Removes the dump's files and folder when the dump is over, whatever happened.
class ROMDumpFolder {
public:
    ROMDumpFolder(platform::FileSystem& files, std::string folder)
        : files_(files), folder_(std::move(folder)) {}
    ~ROMDumpFolder() {
        files_.deleteFile(programPath());
        files_.deleteFile(outputPath());
        files_.removeDirectory(folder_);
    }
    ROMDumpFolder(const ROMDumpFolder&) = delete;
    ROMDumpFolder& operator=(const ROMDumpFolder&) = delete;

    std::string programPath() const { return folder_ + "\\RomDump.com"; }
    std::string outputPath() const { return folder_ + "\\Rom.dmp"; }

private:
    platform::FileSystem& files_;
    std::string folder_;
};

constexpr int kMostDumpFolders = 10000;

// A fresh "~RomDmp<n>" folder of the temporary folder, created; "" when none can be.
std::string createDumpFolder(platform::Platform& platform) {
    const std::string temp = withBackslash(platform.system().tempDirectory());
    for (int number = 1; number < kMostDumpFolders; ++number) {
        const std::string folder = temp + "~RomDmp" + std::to_string(number);
        if (platform.files().directoryExists(folder)) continue;
        return platform.files().createDirectory(folder) ? folder : std::string();
    }
    return {};
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

bool ReadBIOSAreaByROMDump(platform::Platform& platform, TBIOSArea& area) {
    const std::string folder = createDumpFolder(platform);
    if (folder.empty()) return false;
    ROMDumpFolder dump(platform.files(), folder);
    const std::string program(kROMDumpProgram.begin(), kROMDumpProgram.end());
    if (!platform.files().writeFile(dump.programPath(), program)) return false;
    const std::string interpreter = GetEnvironmentValue(platform, "ComSpec");
    if (interpreter.empty()) return false;
    // The outer quotes keep the interpreter from stripping the quotes of the paths.
    const std::string commandLine = quoted(interpreter) + " /C \"" + quoted(dump.programPath()) + " > " +
                                    quoted(dump.outputPath()) + "\"";
    const platform::CommandRun run = platform.system().runCommand(commandLine, kROMDumpTimeoutMs);
    if (!run.started || run.timedOut) return false;
    area.fill(0);
    const std::optional<std::string> output = platform.files().readFile(dump.outputPath());
    if (!output || output->size() != kBIOSAreaSize) return false;
    std::copy(output->begin(), output->end(), area.begin());
    return true;
}

// ---------------------------------------------------------------- one structure

// A structure of the walked table: fields are read only where its formatted area
// covers them, texts only inside the table.
class TSMBIOS::Structure {
public:
    Structure(const TSMBIOS& reader, const TStructTable& entry, uint32_t tableEnd)
        : reader_(reader), address_(entry.Address), length_(entry.Length), tableEnd_(tableEnd) {}

    uint8_t type() const { return reader_.ReadByte(address_); }

    bool covers(uint32_t offset, uint32_t size) const { return offset + size <= length_; }

    uint8_t byte(uint32_t offset) const { return covers(offset, 1) ? reader_.ReadByte(address_ + offset) : 0; }
    uint16_t word(uint32_t offset) const { return covers(offset, 2) ? reader_.ReadWord(address_ + offset) : 0; }
    std::optional<uint16_t> wordIfCovered(uint32_t offset) const {
        if (!covers(offset, 2)) return std::nullopt;
        return reader_.ReadWord(address_ + offset);
    }

    // The text whose index is the byte at `offset`: 1 the first text of the string
    // set; 0, an index past the last text or an uncovered field give "".
    std::string text(uint32_t offset) const {
        const uint8_t index = byte(offset);
        if (index == 0) return {};
        uint32_t at = address_ + length_;
        for (uint8_t number = 1; at < tableEnd_; ++number) {
            const uint32_t start = at;
            while (at < tableEnd_ && reader_.ReadByte(at) != 0) ++at;
            if (number == index) {
                const uint32_t size = std::min<uint32_t>(at - start, kLongestText);
                const std::vector<uint8_t> bytes = reader_.ReadBlock(start, size);
                return trim(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            }
            if (at == start) break;  // the empty text that closes the set
            ++at;
        }
        return {};
    }

private:
    const TSMBIOS& reader_;
    uint32_t address_;
    uint32_t length_;
    uint32_t tableEnd_;
};

// ---------------------------------------------------------------- the reader

TSMBIOS::TSMBIOS(platform::Platform& platform) : platform_(platform) {}

void TSMBIOS::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("SystemModel", systemModel_)
        .string("SystemManufacturer", systemManufacturer_)
        .string("SystemVersion", systemVersion_)
        .string("SystemSerial", systemSerial_)
        .string("SystemUUID", systemUUID_)
        .string("BIOSVendor", biosVendor_)
        .string("BIOSVersion", biosVersion_)
        .string("BIOSDate", biosDate_)
        .cardinal("BIOSSize", biosSize_)
        .string("MainBoardModel", boardModel_)
        .string("MainBoardManufacturer", boardManufacturer_)
        .string("MainBoardVersion", boardVersion_)
        .string("MainBoardSerial", boardSerial_)
        .string("ChassisModel", chassisModel_)
        .string("ChassisManufacturer", chassisManufacturer_)
        .string("ChassisVersion", chassisVersion_)
        .string("ChassisSerial", chassisSerial_)
        .string("CPUSocket", cpuSocket_)
        .string("CPUManufacturer", cpuManufacturer_)
        .string("CPUVersion", cpuVersion_)
        .string("CPUUpgrade", cpuUpgrade_)
        .floating("CPUVoltage", cpuVoltage_)
        .integer("CPUClock", cpuClock_, "Word")
        .integer("CPUExternalClock", cpuExternalClock_, "Word")
        .cardinal("MemorySlotCount", MemorySlotCount())
        .cardinal("PortCount", PortCount())
        .cardinal("SystemSlotCount", SystemSlotCount())
        .cardinal("CacheCount", CacheCount());
}

uint8_t TSMBIOS::ReadByte(uint32_t address) const {
    if (address < kBIOSAreaAddress || address >= kAreaEnd) return 0;
    return area_[address - kBIOSAreaAddress];
}

uint16_t TSMBIOS::ReadWord(uint32_t address) const {
    if (address < kBIOSAreaAddress) return 0;
    return bytes::le16(area_, address - kBIOSAreaAddress);
}

uint32_t TSMBIOS::ReadDWord(uint32_t address) const {
    if (address < kBIOSAreaAddress) return 0;
    return bytes::le32(area_, address - kBIOSAreaAddress);
}

std::vector<uint8_t> TSMBIOS::ReadBlock(uint32_t address, uint32_t size) const {
    std::vector<uint8_t> block(size, 0);
    if (address < kBIOSAreaAddress || address >= kAreaEnd || size > kAreaEnd - address) return block;
    std::copy_n(area_.begin() + (address - kBIOSAreaAddress), size, block.begin());
    return block;
}

void TSMBIOS::LoadImage(const SMBIOSImage& image) {
    area_ = image.area;
    structuresLeftOut_ = image.structuresLeftOut;
}

bool TSMBIOS::readBIOSArea() {
    structuresLeftOut_ = 0;
    platform::Firmware& firmware = platform_.firmware();
    if (std::optional<std::vector<uint8_t>> blob = firmware.systemFirmwareTable(platform::kFirmwareProviderRSMB, 0)) {
        if (std::optional<SMBIOSImage> image = ImageFromFirmwareTable(*blob)) {
            LoadImage(*image);
            return true;
        }
    }
    area_.fill(0);
    if (IsNTLine(platform_)) {
        const platform::SectionRead read = firmware.readPhysicalMemory(kBIOSAreaAddress, kBIOSAreaSize);
        switch (read.status) {
            case platform::SectionReadStatus::Read:
                if (read.bytes.size() != kBIOSAreaSize) return false;
                std::copy(read.bytes.begin(), read.bytes.end(), area_.begin());
                return true;
            case platform::SectionReadStatus::CannotMap:
                throw Exception("Cannot map physical memory to process memory!\r\n");
            case platform::SectionReadStatus::CannotOpen:
                break;
        }
        if (ReadBIOSAreaByROMDump(platform_, area_)) return true;
        area_.fill(0);
        return false;
    }
    const std::optional<std::vector<uint8_t>> copy = firmware.copyLinearMemory(kBIOSAreaAddress, kBIOSAreaSize);
    if (!copy || copy->size() != kBIOSAreaSize) return false;
    std::copy(copy->begin(), copy->end(), area_.begin());
    return true;
}

void TSMBIOS::clear() {
    systemModel_.clear();
    systemManufacturer_.clear();
    systemVersion_.clear();
    systemSerial_.clear();
    systemUUID_.clear();
    biosVendor_.clear();
    biosVersion_.clear();
    biosDate_.clear();
    biosSize_ = 0;
    boardModel_.clear();
    boardManufacturer_.clear();
    boardVersion_.clear();
    boardSerial_.clear();
    chassisModel_.clear();
    chassisManufacturer_.clear();
    chassisVersion_.clear();
    chassisSerial_.clear();
    cpuSocket_.clear();
    cpuManufacturer_.clear();
    cpuVersion_.clear();
    cpuUpgrade_.clear();
    cpuVoltage_ = 0;
    cpuClock_ = 0;
    cpuExternalClock_ = 0;
    version_.clear();
    entryPoint_ = 0;
    tableAddress_ = 0;
    structureCount_ = 0;
    tableLength_ = 0;
    memoryBanks_.clear();
    ports_.clear();
    slots_.clear();
    caches_.clear();
    structures_.clear();
}

void TSMBIOS::GetInfo(int32_t mode) {
    const bool areaRead = mode == 1 ? readBIOSArea() : true;
    clear();
    if (!locateEntryPoint(areaRead)) return;
    walkStructureTable();
    decodeStructures();
}

bool TSMBIOS::locateEntryPoint(bool areaRead) {
    auto anchorAt = [this](uint32_t address, std::string_view anchor) {
        for (size_t k = 0; k < anchor.size(); ++k) {
            if (ReadByte(static_cast<uint32_t>(address + k)) != static_cast<uint8_t>(anchor[k])) return false;
        }
        return true;
    };
    auto checksumValid = [this](uint32_t address, uint32_t length) {
        if (address > kAreaEnd - length) return false;
        const std::vector<uint8_t> bytes = ReadBlock(address, length);
        return checksum(bytes) == 0;
    };
    uint32_t found = 0;
    if (areaRead) {
        for (uint32_t address = kBIOSAreaAddress; address < kAreaEnd; address += kEntryPointAlignment) {
            const uint8_t length = ReadByte(address + 5);
            if (anchorAt(address, "_SM_") && length >= kShortestEntryPoint && length <= kLongestEntryPoint &&
                checksumValid(address, length)) {
                found = address;
                version_ = Format("%d.%d", {ReadByte(address + 6), ReadByte(address + 7)});
                break;
            }
        }
    }
    if (found == 0) {
        for (uint32_t address = kBIOSAreaAddress; address < kAreaEnd; address += kEntryPointAlignment) {
            if (anchorAt(address, "_DMI_") && checksumValid(address, kIntermediateLength)) {
                found = address - kIntermediateOffset;
                // A legacy entry point alone carries its version as one BCD byte.
                const uint8_t revision = ReadByte(address + kLegacyRevisionOffset);
                version_ = Format("%d.%d", {revision >> 4, revision & 0x0F});
                break;
            }
        }
    }
    if (found == 0) return false;
    entryPoint_ = found;
    tableAddress_ = ReadDWord(found + kTableAddressOffset);
    structureCount_ = ReadWord(found + kStructureCountOffset);
    tableLength_ = ReadWord(found + kTableLengthOffset);
    return true;
}

uint32_t TSMBIOS::tableEnd() const {
    return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{tableAddress_} + tableLength_, kAreaEnd));
}

void TSMBIOS::walkStructureTable() {
    if (tableAddress_ < kBIOSAreaAddress || tableAddress_ >= kAreaEnd) return;
    const uint32_t end = tableEnd();
    auto headerFits = [end](uint32_t address) { return uint64_t{address} + kHeaderLength <= end; };
    auto add = [this](uint32_t address) {
        const uint8_t type = ReadByte(address);
        structures_.push_back(
            {address, type, ReadByte(address + 1), ReadWord(address + 2), std::string(StructureTypeText(type))});
    };
    uint32_t at = tableAddress_;
    if (!headerFits(at)) return;
    add(at);
    bool absorbPadding = ReadByte(at) == 0;
    if (ReadByte(at) == kEndOfTable) return;
    while (true) {
        const uint8_t length = ReadByte(at + 1);
        if (length < kHeaderLength) return;
        // The string set closes with two NULs; once a BIOS structure was seen, NUL
        // padding after them belongs to the closing as well.
        uint32_t next = 0;
        for (uint32_t scan = at + length; scan + 1 < end; ++scan) {
            if (ReadByte(scan) == 0 && ReadByte(scan + 1) == 0 &&
                !(absorbPadding && scan + 2 < end && ReadByte(scan + 2) == 0)) {
                next = scan + 2;
                break;
            }
        }
        if (next <= at || !headerFits(next)) return;
        at = next;
        if (structures_.size() < structureCount_) add(at);
        if (ReadByte(at) == 0) absorbPadding = true;
        if (ReadByte(at) == kEndOfTable) return;
    }
}

void TSMBIOS::decodeStructures() {
    const uint32_t end = tableEnd();
    bool decodedSingle[5] = {false, false, false, false, false};
    for (const TStructTable& entry : structures_) {
        if (entry.Address < tableAddress_) continue;
        const Structure structure(*this, entry, end);
        if (structure.type() != entry.Type) continue;
        if (entry.Type <= 4) {
            if (decodedSingle[entry.Type]) continue;
            decodedSingle[entry.Type] = true;
        }
        switch (entry.Type) {
            case 0: decodeBIOS(structure); break;
            case 1: decodeSystem(structure); break;
            case 2: decodeBoard(structure); break;
            case 3: decodeChassis(structure); break;
            case 4: decodeProcessor(structure); break;
            case 6: decodeMemoryModule(structure); break;
            case 7: decodeCache(structure); break;
            case 8: decodePort(structure); break;
            case 9: decodeSlot(structure); break;
            default: break;
        }
    }
}

void TSMBIOS::decodeBIOS(const Structure& structure) {
    biosVendor_ = structure.text(4);
    biosVersion_ = structure.text(5);
    biosDate_ = structure.text(8);
    if (structure.covers(9, 1)) biosSize_ = biosSizeKB(structure.byte(9), structure.wordIfCovered(0x18));
}

void TSMBIOS::decodeSystem(const Structure& structure) {
    if (structure.covers(8, 16)) {
        for (uint32_t offset = 8; offset < 24; ++offset) {
            systemUUID_ += Format("%2.2x", {structure.byte(offset)});
        }
    }
    systemManufacturer_ = structure.text(4);
    systemModel_ = structure.text(5);
    systemVersion_ = structure.text(6);
    systemSerial_ = structure.text(7);
}

void TSMBIOS::decodeBoard(const Structure& structure) {
    boardManufacturer_ = structure.text(4);
    boardModel_ = structure.text(5);
    boardVersion_ = structure.text(6);
    boardSerial_ = structure.text(7);
}

void TSMBIOS::decodeChassis(const Structure& structure) {
    chassisModel_ = std::string(NameOf(kChassisTypeNames, structure.byte(5) & 0x7Fu));
    chassisManufacturer_ = structure.text(4);
    chassisVersion_ = structure.text(6);
    chassisSerial_ = structure.text(7);
}

void TSMBIOS::decodeProcessor(const Structure& structure) {
    cpuVoltage_ = processorVoltage(structure.byte(17));
    cpuUpgrade_ = std::string(NameOf(kUpgradeNames, structure.byte(25)));
    cpuExternalClock_ = structure.word(18);
    cpuClock_ = structure.word(22);
    cpuSocket_ = structure.text(4);
    cpuManufacturer_ = structure.text(7);
    cpuVersion_ = structure.text(16);
}

void TSMBIOS::decodeMemoryModule(const Structure& structure) {
    TMemoryBank bank;
    bank.Name = structure.text(4);
    bank.Speed = structure.byte(6);
    bank.Types = structure.word(7) & kMemoryTypeMask;
    bank.Size = structure.covers(9, 1) ? moduleSizeMB(structure.byte(9)) : 0;
    memoryBanks_.push_back(std::move(bank));
}

void TSMBIOS::decodeCache(const Structure& structure) {
    TCache cache;
    cache.Name = structure.text(4);
    cache.MaxSize = cacheSizeKB(structure.word(7));
    cache.InstalledSize = cacheSizeKB(structure.word(9));
    cache.SRAMType = highestSetBit(structure.word(13), 6);
    cache.Speed = structure.byte(15);
    cache.CacheType = static_cast<uint8_t>(structure.byte(17) - 1);
    cache.Associativity = static_cast<uint8_t>(structure.byte(18) - 1);
    caches_.push_back(std::move(cache));
}

void TSMBIOS::decodePort(const Structure& structure) {
    TPort port;
    port.Name = structure.text(4);
    if (port.Name.empty()) return;
    port.Connector = connectorIndex(structure.byte(5));
    port.PortType = portTypeIndex(structure.byte(8));
    ports_.push_back(std::move(port));
}

void TSMBIOS::decodeSlot(const Structure& structure) {
    TSlot slot;
    slot.Name = structure.text(4);
    if (slot.Name.empty()) return;
    slot.SlotType = slotTypeIndex(structure.byte(5));
    slot.DataBus = static_cast<uint8_t>(structure.byte(6) - 1);
    slot.SlotID = structure.word(9);
    slots_.push_back(std::move(slot));
}

namespace {

template <class Record>
void copyRecord(const std::vector<Record>& records, int32_t index, Record& record) {
    record = Record{};
    if (index >= 0 && static_cast<size_t>(index) < records.size()) record = records[static_cast<size_t>(index)];
}

}  // namespace

void TSMBIOS::GetMemoryBank(int32_t index, TMemoryBank& bank) const { copyRecord(memoryBanks_, index, bank); }
void TSMBIOS::GetPort(int32_t index, TPort& port) const { copyRecord(ports_, index, port); }
void TSMBIOS::GetSystemSlot(int32_t index, TSlot& slot) const { copyRecord(slots_, index, slot); }
void TSMBIOS::GetCache(int32_t index, TCache& cache) const { copyRecord(caches_, index, cache); }

void TSMBIOS::Report(TStrings& report) const {
    addReportSection(report, "SMBIOS");
    addReportEntry(report, "Version", version_);
    addReportEntry(report, "Start Address", Format("%x", {entryPoint_}));
    addReportEntry(report, "Structure Table Start Address", Format("%x", {tableAddress_}));
    const int64_t listed = static_cast<int64_t>(structures_.size());
    addReportEntry(report, "Structure Table Count", listed);
    addReportEntry(report, "TableCount", std::max<int64_t>(listed - 1, 0));
    if (structuresLeftOut_ > 0) addReportEntry(report, "Structures Left Out", structuresLeftOut_);
    for (size_t index = 0; index < structures_.size(); ++index) {
        const TStructTable& entry = structures_[index];
        addReportEntry(report, Format("Table_%d", {index}), Format("%s (Type %d)", {entry.Name, entry.Type}));
    }
    addReportEntry(report, "BIOS Vendor", biosVendor_);
    addReportEntry(report, "BIOS Version", biosVersion_);
    addReportEntry(report, "BIOS Date", biosDate_);
    addReportEntry(report, "BIOS Size", Format("%d K", {biosSize_}));
    addReportEntry(report, "System Model", systemModel_);
    addReportEntry(report, "System Manufacturer", systemManufacturer_);
    addReportEntry(report, "System Version", systemVersion_);
    addReportEntry(report, "System Serial", systemSerial_);
    addReportEntry(report, "System UUID", systemUUID_);
    addReportEntry(report, "Mainboard Model", boardModel_);
    addReportEntry(report, "Mainboard Manufacturer", boardManufacturer_);
    addReportEntry(report, "Mainboard Version", boardVersion_);
    addReportEntry(report, "Mainboard Serial", boardSerial_);
    addReportEntry(report, "Chassis Model", chassisModel_);
    addReportEntry(report, "Chassis Manufacturer", chassisManufacturer_);
    addReportEntry(report, "Chassis Version", chassisVersion_);
    addReportEntry(report, "Chassis Serial", chassisSerial_);
    addReportEntry(report, "CPU Socket", cpuSocket_);
    addReportEntry(report, "CPU Upgrade Interface", cpuUpgrade_);
    addReportEntry(report, "CPU Manufacturer", cpuManufacturer_);
    addReportEntry(report, "CPU Version", cpuVersion_);
    addReportEntry(report, "CPU Voltage", Format("%1.1f V", {cpuVoltage_}));
    addReportEntry(report, "CPU Clock", Format("%d MHz", {cpuClock_}));
    addReportEntry(report, "CPU External Clock", Format("%d MHz", {cpuExternalClock_}));

    addReportEntry(report, "MemorySlotCount", MemorySlotCount());
    for (size_t index = 0; index < memoryBanks_.size(); ++index) {
        const TMemoryBank& bank = memoryBanks_[index];
        addReportEntry(report, Format("MemoryBank_%d", {index}), bank.Name);
        addReportEntry(report, Format("MemoryType_%d", {index}), GetMemoryTypeText(bank.Types));
        addReportEntry(report, Format("MemorySize_%d", {index}), Format("%d MB", {bank.Size}));
        addReportEntry(report, Format("MemorySize_%d", {index}), Format("%d ns", {bank.Speed}));
    }
    addReportEntry(report, "PortCount", PortCount());
    for (size_t index = 0; index < ports_.size(); ++index) {
        const TPort& port = ports_[index];
        addReportEntry(report, Format("PortDesignator_%d", {index}), port.Name);
        addReportEntry(report, Format("PortType_%d", {index}), NameOf(kPortTypeNames, port.PortType));
        addReportEntry(report, Format("PortConnector_%d", {index}), NameOf(kConnectorNames, port.Connector));
    }
    addReportEntry(report, "SystemSlotCount", SystemSlotCount());
    for (size_t index = 0; index < slots_.size(); ++index) {
        const TSlot& slot = slots_[index];
        addReportEntry(report, Format("SystemSlot_%d", {index}), NameOf(kSlotTypeNames, slot.SlotType));
        addReportEntry(report, Format("SystemSlotDataBus_%d", {index}), NameOf(kBusWidthNames, slot.DataBus));
    }
}

}  // namespace vardak::probes
