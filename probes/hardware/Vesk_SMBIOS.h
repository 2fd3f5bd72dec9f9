// The SMBIOS reader: the 64 KB BIOS area of segment F000h, the entry point in it,
// the structure table it points to, and the decoded BIOS, system, base-board,
// chassis and processor texts, memory modules, caches, ports and system slots.
//
// The area comes, in this order of preference, from the platform's firmware-table
// interface (an image is built that holds an entry point and the table, so the
// decoder sees what it would see in the firmware area), the physical-memory section
// (NT line; when it cannot be opened, a small DOS program that dumps the segment),
// or a direct copy of low memory (95/98/Me). Every read of the area is bounded by
// it, every field by the formatted length of its structure.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

inline constexpr uint32_t kBIOSAreaAddress = 0xF0000;
inline constexpr uint32_t kBIOSAreaSize = 0x10000;
using TBIOSArea = std::array<uint8_t, kBIOSAreaSize>;

// ---------------------------------------------------------------- records

struct TStructTable {
    uint32_t Address = 0;  // physical address of the structure
    uint8_t Type = 0;
    uint8_t Length = 0;  // of the formatted area
    uint16_t Handle = 0;
    std::string Name;  // from the structure-type table, "Unknown" when absent
};
using TStructTables = std::vector<TStructTable>;

struct TMemoryBank {
    std::string Name;
    uint8_t Speed = 0;   // ns
    uint16_t Types = 0;  // bit n: memory-type bit n
    uint64_t Size = 0;   // MB; 0 when not installed, unknown or impossible
};

struct TPort {
    std::string Name;
    uint8_t Connector = 0;  // index into kConnectorNames
    uint8_t PortType = 0;   // index into kPortTypeNames
};

struct TSlot {
    std::string Name;
    uint8_t SlotType = 0;  // index into kSlotTypeNames
    uint8_t DataBus = 0;   // index into kBusWidthNames
    uint16_t SlotID = 0;
};

struct TCache {
    std::string Name;
    uint32_t MaxSize = 0;  // KB
    uint32_t InstalledSize = 0;  // KB
    uint8_t SRAMType = 0;       // index into kSRAMTypeNames
    uint8_t CacheType = 0;      // index into kCacheTypeNames
    uint8_t Associativity = 0;  // index into kAssociativityNames
    uint8_t Speed = 0;          // ns
};

// ---------------------------------------------------------------- name tables

inline constexpr std::string_view kConnectorNames[40] = {
    "None", "Centronics", "Mini Centronics", "Proprietary", "DB-25 pin male", "DB-25 pin female",
    "DB-15 pin male", "DB-15 pin female", "DB-9 pin male", "DB-9 pin female", "RJ-11", "RJ-45",
    "50 Pin MiniSCSI", "Mini-DIN", "Micro-DIN", "PS/2", "Infrared", "HP-HIL", "Access Bus (USB)",
    "SSA SCSI", "Circular DIN-8 male", "Circular DIN-8 female", "On Board IDE", "On Board Floppy",
    "9 Pin Dual Inline (pin 10 cut)", "25 Pin Dual Inline (pin 26 cut)", "50 Pin Dual Inline",
    "68 Pin Dual Inline", "On Board Sound Input from CD-ROM", "Mini-Centronics Type-14",
    "Mini-Centronics Type-26", "Mini-jack (headphones)", "BNC", "1394", "PC-98", "PC-98Hireso",
    "PC-H98", "PC-98Note", "PC-98Full", "Other"};

inline constexpr std::string_view kPortTypeNames[35] = {
    "None", "Parallel Port XT/AT Compatible", "Parallel Port PS/2", "Parallel Port ECP",
    "Parallel Port EPP", "Parallel Port ECP/EPP", "Serial Port XT/AT Compatible",
    "Serial Port 16450 Compatible", "Serial Port 16550 Compatible", "Serial Port 16550A Compatible",
    "SCSI Port", "MIDI Port", "Joy Stick Port", "Keyboard Port", "Mouse Port", "SSA SCSI", "USB",
    "FireWire (IEEE P1394)", "PCMCIA Type II", "PCMCIA Type II", "PCMCIA Type III", "Cardbus",
    "Access Bus Port", "SCSI II", "SCSI Wide", "PC-98", "PC-98-Hireso", "PC-H98", "Video Port",
    "Audio Port", "Modem Port", "Network Port", "8251 Compatible", "8251 FIFO Compatible", "Other"};

inline constexpr std::string_view kSlotTypeNames[22] = {
    "Other", "Unknown", "ISA", "MCA", "EISA", "PCI", "PC Card (PCMCIA)", "VL-VESA", "Proprietary",
    "Processor Card Slot", "Proprietary Memory Card", "I/O Riser Card Slot", "NuBus",
    "PCI - 66MHz Capable", "AGP", "AGP 2X", "AGP 4X", "PC-98/C20", "PC-98/C24", "PC-98/E",
    "PC-98/Local Bus", "PC-98/Card"};

inline constexpr std::string_view kBusWidthNames[7] = {"Other",  "Unknown", "8 bit",  "16 bit",
                                                       "32 bit", "64 bit",  "128 bit"};

inline constexpr std::string_view kSRAMTypeNames[7] = {
    "Other", "Unknown", "Non-Burst", "Burst", "Pipeline Burst", "Synchronous", "Asynchronous"};

inline constexpr std::string_view kCacheTypeNames[5] = {"Other", "Unknown", "Instruction", "Data",
                                                        "Unified"};

inline constexpr std::string_view kAssociativityNames[6] = {
    "Other", "Unknown", "Direct Mapped", "2-way Set-Associative", "4-way Set-Associative",
    "Fully Associative"};

struct StructureTypeName {
    uint8_t type;
    std::string_view name;
};

inline constexpr StructureTypeName kStructureTypeNames[42] = {
    {0, "BIOS Information"},
    {1, "System Information"},
    {2, "Base Board Information"},
    {3, "System Enclosure or Chassis"},
    {4, "Processor Information"},
    {5, "Memory Controller Information"},
    {6, "Memory Module Information"},
    {7, "Cache Information"},
    {8, "Port Connector Information"},
    {9, "System Slots"},
    {10, "On Board Devices Information"},
    {11, "OEM Strings"},
    {12, "System Configuration Options"},
    {13, "BIOS Language Information"},
    {14, "Group Associations"},
    {15, "System Event Log"},
    {16, "Physical Memory Array"},
    {17, "Memory Device"},
    {18, "32-bit Memory Error Information"},
    {19, "Memory Array Mapped Address"},
    {20, "Memory Device Mapped Address"},
    {21, "Built-in Pointing Device"},
    {22, "Portable Battery"},
    {23, "System Reset"},
    {24, " Hardware Security"},
    {25, "System Power Controls"},
    {26, "Voltage Probe"},
    {27, " Cooling Device"},
    {28, "Tempature Probe"},
    {29, "Electrical Current Probe"},
    {30, "Out-of-Band Remote Access"},
    {31, "Boot Integrity Services (BIS) Entry Point"},
    {32, "System Boot Information"},
    {33, "64-bit Memory Error Information"},
    {34, "Management Device"},
    {35, "Management Device Component"},
    {36, "Management Device Threshold Data"},
    {37, "Memory Channel"},
    {38, "IPMI Device Information"},
    {39, "System Power Supply"},
    {126, "Inactive"},
    {127, "End-of-Table"},
};

// The name of a structure type, "Unknown" for a type the table does not list.
std::string_view StructureTypeText(uint8_t type);

// The text at `index` of a name table, "" for an index outside it.
template <size_t Size>
constexpr std::string_view NameOf(const std::string_view (&table)[Size], uint32_t index) {
    return index < Size ? table[index] : std::string_view();
}

// The memory-type words of the set bits, comma-joined ("DIMM,SDRAM").
std::string GetMemoryTypeText(uint16_t types);

// ---------------------------------------------------------------- images

// A BIOS area built around a structure table, as the firmware-table interface and
// dump files deliver them: an entry point at F0000h and the table at F0020h. A table
// too large for the area is cut after its last structure that fits.
struct SMBIOSImage {
    TBIOSArea area{};
    uint16_t structuresPlaced = 0;
    uint32_t structuresLeftOut = 0;
};

inline constexpr uint32_t kImageTableOffset = 0x20;

SMBIOSImage BuildSMBIOSImage(uint8_t major, uint8_t minor, std::span<const uint8_t> table);

// The image of what the firmware-table interface returns for 'RSMB': an 8-byte
// header (calling method, major, minor, DMI revision, 32-bit table length) and the
// table. Nothing for a blob too short to hold the header or without any structure.
std::optional<SMBIOSImage> ImageFromFirmwareTable(std::span<const uint8_t> blob);

// Offset just past the structure at `offset` of `table` (past its string set's
// closing pair of NULs), or nothing when the structure is shorter than its header or
// runs past the end of the table.
std::optional<size_t> StructureEnd(std::span<const uint8_t> table, size_t offset);

// ---------------------------------------------------------------- the DOS dump

// The 46-byte DOS program that writes segment F000h to standard output.
inline constexpr std::array<uint8_t, 46> kROMDumpProgram = {
    0x31, 0xD2, 0xB6, 0xF0, 0x8E, 0xDA, 0x31, 0xD2, 0x31, 0xC9, 0x49, 0x31, 0xDB, 0x43, 0xB4, 0x40,
    0xCD, 0x21, 0x72, 0x16, 0x31, 0xD2, 0xB6, 0xF0, 0x8E, 0xDA, 0x31, 0xD2, 0x4A, 0x31, 0xC9, 0x41,
    0x89, 0xCB, 0xB4, 0x40, 0xCD, 0x21, 0x72, 0x02, 0xB0, 0x00, 0xB4, 0x4C, 0xCD, 0x21};

// How long the dump may run before it is ended and counts as failed.
inline constexpr uint32_t kROMDumpTimeoutMs = 20000;

// Runs the DOS program through the command interpreter into a file of a fresh
// temporary folder and reads the segment from it. True only for exactly 64 KB; the
// files and the folder are removed whatever happened.
bool ReadBIOSAreaByROMDump(platform::Platform& platform, TBIOSArea& area);

// ---------------------------------------------------------------- the reader

class TSMBIOS : public TPersistent {
public:
    explicit TSMBIOS(platform::Platform& platform);

    std::string_view className() const override { return "TSMBIOS"; }
    void publishProperties(PropertyTable& table) const override;

    // Mode 1 reads the BIOS area anew; any other mode decodes the area held. Raises
    // Exception "Cannot map physical memory to process memory!" when the section
    // opens but cannot be mapped.
    void GetInfo(int32_t mode);
    // Appends the "[SMBIOS]" section.
    void Report(TStrings& report) const;

    // Holds an image in place of the firmware's area; GetInfo with a mode other
    // than 1 decodes it.
    void LoadImage(const SMBIOSImage& image);

    // Reads by physical address: 0 (a zero-filled block) where any byte falls
    // outside F0000h..FFFFFh.
    uint8_t ReadByte(uint32_t address) const;
    uint16_t ReadWord(uint32_t address) const;
    uint32_t ReadDWord(uint32_t address) const;
    std::vector<uint8_t> ReadBlock(uint32_t address, uint32_t size) const;

    // The record at `index`, zeroed for an index outside its array.
    void GetMemoryBank(int32_t index, TMemoryBank& bank) const;
    void GetPort(int32_t index, TPort& port) const;
    void GetSystemSlot(int32_t index, TSlot& slot) const;
    void GetCache(int32_t index, TCache& cache) const;

    uint32_t MemorySlotCount() const { return static_cast<uint32_t>(memoryBanks_.size()); }
    uint32_t PortCount() const { return static_cast<uint32_t>(ports_.size()); }
    uint32_t SystemSlotCount() const { return static_cast<uint32_t>(slots_.size()); }
    uint32_t CacheCount() const { return static_cast<uint32_t>(caches_.size()); }

    const std::string& SystemModel() const { return systemModel_; }
    const std::string& SystemManufacturer() const { return systemManufacturer_; }
    const std::string& SystemVersion() const { return systemVersion_; }
    const std::string& SystemSerial() const { return systemSerial_; }
    const std::string& SystemUUID() const { return systemUUID_; }
    const std::string& BIOSVendor() const { return biosVendor_; }
    const std::string& BIOSVersion() const { return biosVersion_; }
    const std::string& BIOSDate() const { return biosDate_; }
    uint32_t BIOSSize() const { return biosSize_; }
    const std::string& MainBoardModel() const { return boardModel_; }
    const std::string& MainBoardManufacturer() const { return boardManufacturer_; }
    const std::string& MainBoardVersion() const { return boardVersion_; }
    const std::string& MainBoardSerial() const { return boardSerial_; }
    const std::string& ChassisModel() const { return chassisModel_; }
    const std::string& ChassisManufacturer() const { return chassisManufacturer_; }
    const std::string& ChassisVersion() const { return chassisVersion_; }
    const std::string& ChassisSerial() const { return chassisSerial_; }
    const std::string& CPUSocket() const { return cpuSocket_; }
    const std::string& CPUManufacturer() const { return cpuManufacturer_; }
    const std::string& CPUVersion() const { return cpuVersion_; }
    const std::string& CPUUpgrade() const { return cpuUpgrade_; }
    double CPUVoltage() const { return cpuVoltage_; }
    uint16_t CPUClock() const { return cpuClock_; }
    uint16_t CPUExternalClock() const { return cpuExternalClock_; }

    const std::string& Version() const { return version_; }
    uint32_t EntryPointAddress() const { return entryPoint_; }
    uint32_t TableAddress() const { return tableAddress_; }
    uint16_t StructureCount() const { return structureCount_; }
    uint16_t TableLength() const { return tableLength_; }
    const TStructTables& Structures() const { return structures_; }
    const std::vector<TMemoryBank>& MemoryBanks() const { return memoryBanks_; }
    const std::vector<TPort>& Ports() const { return ports_; }
    const std::vector<TSlot>& Slots() const { return slots_; }
    const std::vector<TCache>& Caches() const { return caches_; }
    // Structures of the firmware's table that did not fit the area.
    uint32_t StructuresLeftOut() const { return structuresLeftOut_; }
    const TBIOSArea& Area() const { return area_; }

private:
    class Structure;

    bool readBIOSArea();
    void clear();
    bool locateEntryPoint(bool areaRead);
    void walkStructureTable();
    void decodeStructures();
    void decodeBIOS(const Structure& structure);
    void decodeSystem(const Structure& structure);
    void decodeBoard(const Structure& structure);
    void decodeChassis(const Structure& structure);
    void decodeProcessor(const Structure& structure);
    void decodeMemoryModule(const Structure& structure);
    void decodeCache(const Structure& structure);
    void decodePort(const Structure& structure);
    void decodeSlot(const Structure& structure);
    uint32_t tableEnd() const;

    platform::Platform& platform_;
    TBIOSArea area_{};
    uint32_t entryPoint_ = 0;
    uint32_t tableAddress_ = 0;

    std::string systemModel_, systemManufacturer_, systemVersion_, systemSerial_, systemUUID_;
    std::string biosVendor_, biosVersion_, biosDate_;
    uint32_t biosSize_ = 0;
    std::string boardModel_, boardManufacturer_, boardVersion_, boardSerial_;
    std::string chassisModel_, chassisManufacturer_, chassisVersion_, chassisSerial_;
    std::string cpuSocket_, cpuManufacturer_, cpuVersion_, cpuUpgrade_;
    double cpuVoltage_ = 0;
    uint16_t cpuClock_ = 0;
    uint16_t cpuExternalClock_ = 0;
    std::string version_;

    uint16_t structureCount_ = 0;
    uint16_t tableLength_ = 0;
    std::vector<TMemoryBank> memoryBanks_;
    std::vector<TPort> ports_;
    std::vector<TSlot> slots_;
    std::vector<TCache> caches_;
    TStructTables structures_;
    uint32_t structuresLeftOut_ = 0;
};

}  // namespace vardak::probes
