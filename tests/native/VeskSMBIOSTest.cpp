// The SMBIOS reader on areas and tables built byte by byte: the entry-point search,
// the structure walk and its limits, the fields of each structure type, the name
// tables, the report, and the ways the area is obtained.
#include "probes/hardware/Vesk_SMBIOS.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/SmbiosBuilder.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::BiosAreaBuilder;
using testing::FakePlatform;
using testing::SmbiosStructure;
using testing::tableOf;

constexpr uint32_t kEntry = 0xF0000;
constexpr uint32_t kTable = 0xF0100;

SmbiosStructure biosStructure() {
    SmbiosStructure bios(0, 0x12, 0x0000);
    bios.set(4, 1).set(5, 2).set(8, 3).set(9, 0x0F);
    bios.strings = {"Award Software", "6.00 PG", "12/24/2003"};
    return bios;
}

SmbiosStructure endOfTable(uint16_t handle) { return SmbiosStructure(127, 4, handle); }

class SMBIOSTest : public ::testing::Test {
protected:
    // Decodes `table` placed at kTable with an entry point at kEntry.
    TSMBIOS& decode(const std::vector<SmbiosStructure>& structures, uint16_t count = 0xFFFF) {
        return decodeTable(tableOf(structures), count == 0xFFFF ? static_cast<uint16_t>(structures.size()) : count);
    }
    TSMBIOS& decodeTable(const std::vector<uint8_t>& table, uint16_t count) {
        BiosAreaBuilder area;
        area.putTable(kEntry, kTable, table, count);
        return decodeArea(area);
    }
    TSMBIOS& decodeArea(const BiosAreaBuilder& area) {
        reader.LoadImage(area.image());
        reader.GetInfo(0);
        return reader;
    }
    std::vector<std::string> reportLines() const {
        TStringList report;
        reader.Report(report);
        std::vector<std::string> lines;
        for (int k = 0; k < report.count(); ++k) lines.push_back(report[k]);
        return lines;
    }
    std::string reportValue(std::string_view key) const {
        TStringList report;
        reader.Report(report);
        return report.values(key);
    }

    FakePlatform machine;
    TSMBIOS reader{machine};
};

// ---------------------------------------------------------------- name tables and texts

TEST(SMBIOSNames, TablesHoldTheirEntries) {
    EXPECT_EQ(std::size(kConnectorNames), 40u);
    EXPECT_EQ(std::size(kPortTypeNames), 35u);
    EXPECT_EQ(std::size(kSlotTypeNames), 22u);
    EXPECT_EQ(std::size(kStructureTypeNames), 42u);
    EXPECT_EQ(NameOf(kConnectorNames, 39), "Other");
    EXPECT_EQ(NameOf(kConnectorNames, 40), "");
    EXPECT_EQ(NameOf(kBusWidthNames, 255), "");
    EXPECT_EQ(StructureTypeText(24), " Hardware Security");
    EXPECT_EQ(StructureTypeText(127), "End-of-Table");
    EXPECT_EQ(StructureTypeText(40), "Unknown");
    EXPECT_EQ(StructureTypeText(200), "Unknown");
}

TEST(SMBIOSNames, MemoryTypeTextJoinsTheSetBitsWithoutParity) {
    EXPECT_EQ(GetMemoryTypeText(0), "");
    EXPECT_EQ(GetMemoryTypeText(1u << 5), "");
    EXPECT_EQ(GetMemoryTypeText((1u << 8) | (1u << 10)), "DIMM,SDRAM");
    EXPECT_EQ(GetMemoryTypeText(0x07FF),
              "Other,Unknown,Standard,FastPageMode,EDO,ECC,SIMM,DIMM,BurstEDO,SDRAM");
}

// ---------------------------------------------------------------- entry point

TEST_F(SMBIOSTest, FindsTheEntryPointAndItsFields) {
    BiosAreaBuilder area;
    area.putTable(0xF5A30, kTable, tableOf({biosStructure(), endOfTable(1)}), 2, 2, 4);
    decodeArea(area);
    EXPECT_EQ(reader.EntryPointAddress(), 0xF5A30u);
    EXPECT_EQ(reader.TableAddress(), kTable);
    EXPECT_EQ(reader.StructureCount(), 2);
    EXPECT_EQ(reader.Version(), "2.4");
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
}

TEST_F(SMBIOSTest, IgnoresAnAnchorOffTheSixteenByteGridOrWithAWrongChecksum) {
    BiosAreaBuilder area;
    area.putTable(0xF0008, kTable, tableOf({biosStructure(), endOfTable(1)}), 2);
    decodeArea(area);
    EXPECT_EQ(reader.EntryPointAddress(), 0u);
    EXPECT_TRUE(reader.Structures().empty());

    BiosAreaBuilder damaged;
    damaged.putTable(0xF0010, kTable, tableOf({biosStructure(), endOfTable(1)}), 2);
    damaged.put(0xF0010 + 22, {0x40});  // table length changed after the checksum was taken
    damaged.put(0xF0010 + 21, {0x00});  // and the "_DMI_" part broken as well
    decodeArea(damaged);
    EXPECT_EQ(reader.EntryPointAddress(), 0u);
    EXPECT_EQ(reader.BIOSVendor(), "");
}

TEST_F(SMBIOSTest, ALegacyDMIAnchorAloneGivesItsOwnVersionOnTheGridWithItsChecksum) {
    const std::vector<uint8_t> table = tableOf({biosStructure(), endOfTable(1)});
    const std::vector<uint8_t> entry =
        testing::entryPointOf({2, 1, kTable, static_cast<uint16_t>(table.size()), 2});
    const std::vector<uint8_t> legacy(entry.begin() + 16, entry.end());  // the "_DMI_" part alone
    BiosAreaBuilder area;
    // Whatever lies ahead of the anchor is no version.
    area.put(0xF2000, std::vector<uint8_t>(16, 0x37)).put(0xF2010, legacy).put(kTable, table);
    decodeArea(area);
    EXPECT_EQ(reader.EntryPointAddress(), 0xF2000u);
    EXPECT_EQ(reader.Version(), "2.1");
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");

    std::vector<uint8_t> broken = legacy;
    broken[6] ^= 1;  // the table length, after the checksum was taken
    area.put(0xF2010, broken);
    decodeArea(area);
    EXPECT_EQ(reader.EntryPointAddress(), 0u);

    BiosAreaBuilder misaligned;
    misaligned.put(0xF2008, legacy).put(kTable, table);
    decodeArea(misaligned);
    EXPECT_EQ(reader.EntryPointAddress(), 0u);
}

TEST_F(SMBIOSTest, ATableOutsideTheSegmentGivesNoStructuresButTheVersionAndAddresses) {
    BiosAreaBuilder area;
    area.putTable(kEntry, 0x000E0000, tableOf({biosStructure()}), 1, 2, 3);
    decodeArea(area);
    EXPECT_EQ(reportValue("Version"), "2.3");
    EXPECT_EQ(reportValue("Start Address"), "F0000");
    EXPECT_EQ(reportValue("Structure Table Start Address"), "E0000");
    EXPECT_EQ(reportValue("Structure Table Count"), "0");
    EXPECT_EQ(reportValue("BIOS Vendor"), "");
    EXPECT_EQ(reportValue("BIOS Size"), "0 K");
}

TEST_F(SMBIOSTest, NoEntryPointLeavesEverythingEmpty) {
    decodeArea(BiosAreaBuilder());
    EXPECT_EQ(reportValue("Version"), "");
    EXPECT_EQ(reportValue("Start Address"), "0");
    EXPECT_EQ(reportValue("TableCount"), "0");
    EXPECT_EQ(reportValue("MemorySlotCount"), "0");
}

// ---------------------------------------------------------------- the walk

TEST_F(SMBIOSTest, WalksPastAnEmptyStringSetAndBIOSPadding) {
    SmbiosStructure system(1, 8, 1);  // no texts: two NULs
    SmbiosStructure board(2, 8, 2);
    board.set(4, 1).text("ASUSTeK");
    SmbiosStructure padded = biosStructure();
    padded.rawStrings = std::vector<uint8_t>{'A', 0, 0, 0, 0, 0};
    padded.set(5, 0).set(8, 0);
    decode({padded, system, board, endOfTable(3)});
    std::vector<uint8_t> types;
    for (const TStructTable& entry : reader.Structures()) types.push_back(entry.Type);
    EXPECT_THAT(types, ElementsAre(0, 1, 2, 127));
    EXPECT_EQ(reader.MainBoardManufacturer(), "ASUSTeK");
    EXPECT_EQ(reader.Structures()[3].Name, "End-of-Table");
    EXPECT_EQ(reader.Structures()[1].Handle, 1);
}

TEST_F(SMBIOSTest, ListsNoMoreStructuresThanTheEntryPointCounts) {
    decode({biosStructure(), SmbiosStructure(1, 8, 1), SmbiosStructure(2, 8, 2), endOfTable(3)}, 2);
    EXPECT_EQ(reader.Structures().size(), 2u);
    EXPECT_EQ(reportValue("Structure Table Count"), "2");
    EXPECT_EQ(reportValue("TableCount"), "1");
}

TEST_F(SMBIOSTest, AStructureShorterThanItsHeaderEndsTheWalk) {
    std::vector<uint8_t> table = tableOf({biosStructure(), SmbiosStructure(2, 8, 1)});
    const size_t second = tableOf({biosStructure()}).size();
    table[second + 1] = 2;  // formatted length below 4
    const std::vector<uint8_t> rest = tableOf({SmbiosStructure(1, 8, 2), endOfTable(3)});
    table.insert(table.end(), rest.begin(), rest.end());
    decodeTable(table, 4);
    ASSERT_EQ(reader.Structures().size(), 2u);
    EXPECT_EQ(reader.Structures()[1].Length, 2);
    EXPECT_EQ(reader.MainBoardManufacturer(), "");
}

TEST_F(SMBIOSTest, NoReadPassesTheTableOrTheSegment) {
    // A table whose last string set never closes, placed at the very end of the
    // segment with a length that claims more than is left.
    SmbiosStructure system(1, 8, 1);
    system.set(4, 1).rawStrings = std::vector<uint8_t>{'E', 'n', 'd'};
    const std::vector<uint8_t> table = tableOf({system});
    const uint32_t at = probes::kBIOSAreaAddress + probes::kBIOSAreaSize - static_cast<uint32_t>(table.size());
    BiosAreaBuilder area;
    area.put(kEntry, testing::entryPointOf({2, 3, at, 0x4000, 5})).put(at, table);
    decodeArea(area);
    ASSERT_EQ(reader.Structures().size(), 1u);
    EXPECT_EQ(reader.SystemManufacturer(), "End");

    // A table length that ends inside the strings: the texts stop there.
    SmbiosStructure board(2, 8, 1);
    board.set(4, 1).text("Cut here");
    const std::vector<uint8_t> boardTable = tableOf({board});
    BiosAreaBuilder shortTable;
    shortTable.put(kEntry, testing::entryPointOf({2, 3, kTable, 8 + 3, 1})).put(kTable, boardTable);
    decodeArea(shortTable);
    EXPECT_EQ(reader.MainBoardManufacturer(), "Cut");
}

TEST_F(SMBIOSTest, ReadsOutsideTheSegmentGiveZero) {
    BiosAreaBuilder area;
    area.put(0xFFFFC, {1, 2, 3, 4});
    reader.LoadImage(area.image());
    EXPECT_EQ(reader.ReadByte(0xFFFFF), 4);
    EXPECT_EQ(reader.ReadByte(0x100000), 0);
    EXPECT_EQ(reader.ReadByte(0xEFFFF), 0);
    EXPECT_EQ(reader.ReadWord(0xFFFFE), 0x0403);
    EXPECT_EQ(reader.ReadWord(0xFFFFF), 0);
    EXPECT_EQ(reader.ReadDWord(0xFFFFC), 0x04030201u);
    EXPECT_EQ(reader.ReadDWord(0xFFFFD), 0u);
    EXPECT_THAT(reader.ReadBlock(0xFFFFE, 2), ElementsAre(3, 4));
    EXPECT_THAT(reader.ReadBlock(0xFFFFE, 3), ElementsAre(0, 0, 0));
    EXPECT_THAT(reader.ReadBlock(0xFFFFFFFF, 2), ElementsAre(0, 0));
}

// ---------------------------------------------------------------- texts

TEST_F(SMBIOSTest, TakesTextsByTheirIndex) {
    SmbiosStructure system(1, 0x19, 1);
    system.set(4, 2).set(5, 1).set(6, 0).set(7, 9);
    system.strings = {"  Model X  ", "Maker"};
    decode({system});
    EXPECT_EQ(reader.SystemManufacturer(), "Maker");
    EXPECT_EQ(reader.SystemModel(), "Model X");
    EXPECT_EQ(reader.SystemVersion(), "");
    EXPECT_EQ(reader.SystemSerial(), "");  // past the last text
}

TEST_F(SMBIOSTest, CutsTextsAt255Bytes) {
    SmbiosStructure board(2, 8, 1);
    board.set(4, 1).set(5, 2).text(std::string(300, 'x')).text("Second");
    decode({board});
    EXPECT_EQ(reader.MainBoardManufacturer(), std::string(255, 'x'));
    EXPECT_EQ(reader.MainBoardModel(), "Second");
}

// ---------------------------------------------------------------- fields

TEST_F(SMBIOSTest, DecodesTheBIOSAndItsExtendedROMSize) {
    decode({biosStructure()});
    EXPECT_EQ(reader.BIOSVersion(), "6.00 PG");
    EXPECT_EQ(reader.BIOSDate(), "12/24/2003");
    EXPECT_EQ(reader.BIOSSize(), 1024u);

    SmbiosStructure modern = biosStructure();
    modern.formatted.resize(0x1A);
    modern.formatted[1] = 0x1A;
    modern.set(9, 0xFF).setWord(0x18, 32);  // 32 MB
    decode({modern});
    EXPECT_EQ(reader.BIOSSize(), 32u * 1024);
    modern.setWord(0x18, 0x4000 | 0x3FFF);  // 16383 GB: more KB than 32 bits hold
    decode({modern});
    EXPECT_EQ(reader.BIOSSize(), 0u);
}

TEST_F(SMBIOSTest, ReadsOnlyTheFieldsAShortStructureHas) {
    SmbiosStructure system(1, 8, 1);  // the SMBIOS 2.0 length: no UUID
    system.set(4, 1).set(5, 2).set(6, 3).set(7, 4).strings = {"M", "P", "V", "S"};
    SmbiosStructure processor(4, 0x12, 2);  // ends before the voltage and clocks
    processor.set(4, 1).set(7, 2).text("Socket 7").text("Intel");
    const std::vector<uint8_t> tail = {0x82, 0x42, 0, 0, 0, 0, 0, 0};
    decode({system, processor});
    EXPECT_EQ(reader.SystemUUID(), "");
    EXPECT_EQ(reader.SystemSerial(), "S");
    EXPECT_EQ(reader.CPUSocket(), "Socket 7");
    EXPECT_EQ(reader.CPUManufacturer(), "Intel");
    EXPECT_EQ(reader.CPUVersion(), "");
    EXPECT_EQ(reader.CPUVoltage(), 0.0);
    EXPECT_EQ(reader.CPUClock(), 0);
}

TEST_F(SMBIOSTest, DecodesSystemUUIDAsThirtyTwoUpperCaseDigits) {
    SmbiosStructure system(1, 0x19, 1);
    for (uint8_t k = 0; k < 16; ++k) system.set(8 + k, static_cast<uint8_t>(0xA0 + k));
    decode({system});
    EXPECT_EQ(reader.SystemUUID(), "A0A1A2A3A4A5A6A7A8A9AAABACADAEAF");
}

TEST_F(SMBIOSTest, ChassisTypeIgnoresTheLockBit) {
    SmbiosStructure chassis(3, 0x0D, 1);
    chassis.set(4, 1).set(5, 0x83).set(6, 2).set(7, 3).set(8, 4).strings = {"Dell", "A01", "SN1", "Tag"};
    decode({chassis});
    EXPECT_EQ(reader.ChassisModel(), "Desktop");
    EXPECT_EQ(reader.ChassisManufacturer(), "Dell");
    EXPECT_EQ(reader.ChassisSerial(), "SN1");
    chassis.set(5, 0x23);  // a type the table does not know
    decode({chassis});
    EXPECT_EQ(reader.ChassisModel(), "");
}

TEST_F(SMBIOSTest, DecodesTheFirstProcessorOnly) {
    SmbiosStructure first(4, 0x1A, 1);
    first.set(4, 1).set(7, 2).set(16, 3).set(17, 0x8F).setWord(18, 133).setWord(22, 2400).set(25, 4);
    first.strings = {"Socket A", "AMD", "Athlon XP"};
    SmbiosStructure second(4, 0x1A, 2);
    second.set(4, 1).text("Socket B");
    decode({first, second});
    EXPECT_EQ(reader.CPUSocket(), "Socket A");
    EXPECT_EQ(reader.CPUVersion(), "Athlon XP");
    EXPECT_DOUBLE_EQ(reader.CPUVoltage(), 1.5);
    EXPECT_EQ(reader.CPUExternalClock(), 133);
    EXPECT_EQ(reader.CPUClock(), 2400);
    EXPECT_EQ(reader.CPUUpgrade(), "ZIF Socket");
    EXPECT_EQ(reportValue("CPU Voltage"), "1.5 V");

    first.set(17, 0x06);  // legacy bits: 3.3 V and 2.9 V, the first one counts
    decode({first});
    EXPECT_DOUBLE_EQ(reader.CPUVoltage(), 3.3);
}

TEST_F(SMBIOSTest, MemoryModuleSizesAreTwoToThePowerWithoutOverflow) {
    auto module = [](uint16_t handle, uint8_t size) {
        SmbiosStructure bank(6, 0x0C, handle);
        bank.set(4, 1).set(6, 60).setWord(7, (1u << 8) | (1u << 10) | (1u << 12)).set(9, size).text("DIMM0");
        return bank;
    };
    decode({module(1, 0x87), module(2, 0x7F), module(3, 0x7D), module(4, 0x3E), module(5, 0x50)});
    ASSERT_EQ(reader.MemorySlotCount(), 5u);
    EXPECT_EQ(reader.MemoryBanks()[0].Size, 128u);
    EXPECT_EQ(reader.MemoryBanks()[1].Size, 0u);
    EXPECT_EQ(reader.MemoryBanks()[2].Size, 0u);
    EXPECT_EQ(reader.MemoryBanks()[3].Size, uint64_t{1} << 62);
    EXPECT_EQ(reader.MemoryBanks()[4].Size, 0u);
    EXPECT_EQ(reader.MemoryBanks()[0].Types, (1u << 8) | (1u << 10));
    EXPECT_EQ(reader.MemoryBanks()[0].Speed, 60);
}

TEST_F(SMBIOSTest, CacheSizesInLargeUnitsKeepTheirValue) {
    SmbiosStructure cache(7, 0x13, 1);
    cache.set(4, 1).setWord(7, 0xFFFF).setWord(9, 0x8010).setWord(13, 0x0024).set(15, 10).set(17, 5).set(18, 6);
    cache.text("L3");
    decode({cache});
    ASSERT_EQ(reader.CacheCount(), 1u);
    TCache read;
    reader.GetCache(0, read);
    EXPECT_EQ(read.Name, "L3");
    EXPECT_EQ(read.MaxSize, 0x7FFFu * 64);
    EXPECT_EQ(read.InstalledSize, 1024u);
    EXPECT_EQ(NameOf(kSRAMTypeNames, read.SRAMType), "Synchronous");
    EXPECT_EQ(NameOf(kCacheTypeNames, read.CacheType), "Unified");
    EXPECT_EQ(NameOf(kAssociativityNames, read.Associativity), "Fully Associative");
    EXPECT_EQ(read.Speed, 10);
}

TEST_F(SMBIOSTest, PortsMapTheirCodesAndDropUnnamedOnes) {
    auto port = [](uint16_t handle, std::string name, uint8_t connector, uint8_t type) {
        SmbiosStructure structure(8, 9, handle);
        structure.set(4, name.empty() ? 0 : 1).set(5, connector).set(8, type);
        if (!name.empty()) structure.text(name);
        return structure;
    };
    decode({port(1, "J1", 0xA0, 0xFF), port(2, "", 0x0F, 0x0D), port(3, "SATA1", 0x22, 0x20),
            port(4, "COM", 0x08, 0xA1)});
    ASSERT_EQ(reader.PortCount(), 3u);
    EXPECT_EQ(reportValue("PortConnector_0"), "PC-98");
    EXPECT_EQ(reportValue("PortType_0"), "Other");
    EXPECT_EQ(reportValue("PortDesignator_1"), "SATA1");
    EXPECT_EQ(reportValue("PortConnector_1"), "");  // SAS/SATA: not "PC-98"
    EXPECT_EQ(reportValue("PortType_1"), "");
    EXPECT_EQ(reportValue("PortType_2"), "8251 FIFO Compatible");
    EXPECT_EQ(reportValue("PortConnector_2"), "DB-9 pin male");
}

TEST_F(SMBIOSTest, SlotsMapTheirCodesAndDropUnnamedOnes) {
    auto slot = [](uint16_t handle, std::string name, uint8_t type, uint8_t width, uint16_t id) {
        SmbiosStructure structure(9, 0x0D, handle);
        structure.set(4, name.empty() ? 0 : 1).set(5, type).set(6, width).setWord(9, id);
        if (!name.empty()) structure.text(name);
        return structure;
    };
    decode({slot(1, "PCI1", 0x06, 0x05, 1), slot(2, "  ", 0x06, 0x05, 2), slot(3, "AGP", 0x11, 0x06, 3),
            slot(4, "PCIE", 0xA5, 0x0D, 4), slot(5, "C20", 0xA0, 0x01, 5)});
    ASSERT_EQ(reader.SystemSlotCount(), 4u);
    EXPECT_THAT(reportLines(), ::testing::IsSupersetOf({"SystemSlot_0=PCI", "SystemSlotDataBus_0=32 bit",
                                                        "SystemSlot_1=AGP 4X", "SystemSlotDataBus_1=64 bit",
                                                        "SystemSlot_2=", "SystemSlotDataBus_2=",
                                                        "SystemSlot_3=PC-98/C20"}));
    TSlot read;
    reader.GetSystemSlot(1, read);
    EXPECT_EQ(read.SlotID, 3);
}

TEST_F(SMBIOSTest, RecordReadsOutsideTheArraysGiveZeroedRecords) {
    SmbiosStructure bank(6, 0x0C, 1);
    bank.set(4, 1).set(9, 3).text("A0");
    decode({bank});
    TMemoryBank read;
    read.Name = "stale";
    read.Size = 7;
    reader.GetMemoryBank(1, read);
    EXPECT_EQ(read.Name, "");
    EXPECT_EQ(read.Size, 0u);
    reader.GetMemoryBank(-1, read);
    EXPECT_EQ(read.Name, "");
    reader.GetMemoryBank(0, read);
    EXPECT_EQ(read.Name, "A0");
    EXPECT_EQ(read.Size, 8u);
    TPort port;
    port.Name = "stale";
    reader.GetPort(0, port);
    EXPECT_EQ(port.Name, "");
}

// ---------------------------------------------------------------- report

TEST_F(SMBIOSTest, ReportListsTheStructuresThenTheValues) {
    SmbiosStructure bank(6, 0x0C, 3);
    bank.set(4, 1).set(6, 70).setWord(7, 1u << 8).set(9, 0x86).text("BANK0");
    decode({biosStructure(), bank, endOfTable(4)});
    const std::vector<std::string> lines = reportLines();
    ASSERT_GE(lines.size(), 12u);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 9),
                ElementsAre("[SMBIOS]", "Version=2.3", "Start Address=F0000",
                            "Structure Table Start Address=F0100", "Structure Table Count=3", "TableCount=2",
                            "Table_0=BIOS Information (Type 0)", "Table_1=Memory Module Information (Type 6)",
                            "Table_2=End-of-Table (Type 127)"));
    EXPECT_EQ(lines[9], "BIOS Vendor=Award Software");
    EXPECT_THAT(lines, ::testing::IsSupersetOf({"BIOS Size=1024 K", "CPU Voltage=0.0 V", "CPU Clock=0 MHz",
                                                "MemorySlotCount=1", "MemoryBank_0=BANK0", "MemoryType_0=DIMM",
                                                "MemorySize_0=64 MB", "MemorySize_0=70 ns", "PortCount=0",
                                                "SystemSlotCount=0"}));
    EXPECT_EQ(lines.back(), "SystemSlotCount=0");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Structures Left Out=0"), 0);
}

// ---------------------------------------------------------------- images

TEST(SMBIOSImage, PlacesAValidEntryPointAndTheTable) {
    const std::vector<uint8_t> table = tableOf({biosStructure(), endOfTable(1)});
    const SMBIOSImage image = BuildSMBIOSImage(3, 2, table);
    EXPECT_EQ(image.structuresPlaced, 2);
    EXPECT_EQ(image.structuresLeftOut, 0u);
    uint8_t sum = 0;
    for (int k = 0; k < 31; ++k) sum = static_cast<uint8_t>(sum + image.area[k]);
    EXPECT_EQ(sum, 0);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), image.area.begin() + kImageTableOffset));
}

TEST(SMBIOSImage, CutsATableTooLargeAtAStructureBoundary) {
    std::vector<SmbiosStructure> structures = {biosStructure()};
    for (uint16_t handle = 1; handle <= 300; ++handle) {
        SmbiosStructure oem(11, 5, handle);
        oem.set(4, 1).text(std::string(250, 'o'));
        structures.push_back(oem);
    }
    structures.push_back(endOfTable(301));
    const std::vector<uint8_t> table = tableOf(structures);
    const SMBIOSImage image = BuildSMBIOSImage(3, 4, table);
    EXPECT_GT(image.structuresPlaced, 200);
    EXPECT_EQ(image.structuresPlaced + image.structuresLeftOut, structures.size());

    FakePlatform machine;
    machine.firmwareFake.tables[platform::kFirmwareProviderRSMB] = testing::rsmbBlobOf(3, 4, table);
    TSMBIOS reader(machine);
    reader.GetInfo(1);
    EXPECT_EQ(reader.Structures().size(), image.structuresPlaced);
    EXPECT_EQ(reader.StructuresLeftOut(), image.structuresLeftOut);
    TStringList report;
    reader.Report(report);
    EXPECT_EQ(report.values("Structures Left Out"), std::to_string(image.structuresLeftOut));
    EXPECT_EQ(report.values("Version"), "3.4");
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
}

TEST(SMBIOSImage, RejectsFirmwareTablesWithoutAStructure) {
    EXPECT_FALSE(ImageFromFirmwareTable(std::vector<uint8_t>{0, 3, 0, 0}).has_value());
    EXPECT_FALSE(ImageFromFirmwareTable(testing::rsmbBlobOf(3, 0, {})).has_value());
    std::vector<uint8_t> lying = testing::rsmbBlobOf(3, 0, tableOf({biosStructure()}));
    lying[4] = 0xFF;
    lying[5] = 0xFF;  // claims more than the blob holds
    const std::optional<SMBIOSImage> image = ImageFromFirmwareTable(lying);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->structuresPlaced, 1);
}

// ---------------------------------------------------------------- obtaining the area

class SMBIOSReadTest : public ::testing::Test {
protected:
    SMBIOSReadTest() {
        BiosAreaBuilder area;
        area.putTable(kEntry, kTable, tableOf({biosStructure(), endOfTable(1)}), 2);
        areaBytes = area.bytes();
        machine.systemFake.environment = {"PATH=C:\\WINDOWS", "COMSPEC=C:\\WINDOWS\\system32\\cmd.exe"};
        machine.systemFake.tempFolder = "C:\\Documents and Settings\\Tester\\Local Settings\\Temp";
        machine.filesFake.addDirectory(machine.systemFake.tempFolder);
    }

    // The dump writes the area into the output file named after " > ".
    void dumpWrites(std::string bytes) {
        machine.systemFake.onCommand = [this, bytes](const std::string& commandLine) {
            const size_t arrow = commandLine.find(" > \"");
            const size_t close = commandLine.find('"', arrow + 4);
            machine.filesFake.writeFile(commandLine.substr(arrow + 4, close - arrow - 4), bytes);
        };
    }
    std::string areaText() const { return std::string(areaBytes.begin(), areaBytes.end()); }
    void expectNothingLeftBehind() {
        EXPECT_THAT(machine.filesFake.filePaths(), ::testing::IsEmpty());
        EXPECT_THAT(machine.filesFake.directoryPaths(),
                    ElementsAre("C:\\DOCUMENTS AND SETTINGS\\TESTER\\LOCAL SETTINGS\\TEMP"));
    }

    FakePlatform machine;
    TSMBIOS reader{machine};
    std::vector<uint8_t> areaBytes;
};

TEST_F(SMBIOSReadTest, PrefersTheFirmwareTableInterface) {
    machine.firmwareFake.tables[platform::kFirmwareProviderRSMB] =
        testing::rsmbBlobOf(2, 7, tableOf({biosStructure(), endOfTable(1)}));
    machine.firmwareFake.sectionStatus = platform::SectionReadStatus::CannotMap;
    reader.GetInfo(1);
    EXPECT_EQ(machine.firmwareFake.sectionCalls, 0);
    EXPECT_EQ(reader.Version(), "2.7");
    EXPECT_EQ(reader.EntryPointAddress(), 0xF0000u);
    EXPECT_EQ(reader.TableAddress(), 0xF0020u);
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
}

TEST_F(SMBIOSReadTest, ReadsThePhysicalMemorySectionOnNT) {
    machine.firmwareFake.setBiosArea(areaBytes);
    machine.firmwareFake.sectionStatus = platform::SectionReadStatus::Read;
    reader.GetInfo(1);
    EXPECT_EQ(machine.firmwareFake.sectionCalls, 1);
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
    // Another mode decodes the area held without reading again.
    reader.GetInfo(0);
    EXPECT_EQ(machine.firmwareFake.sectionCalls, 1);
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
}

TEST_F(SMBIOSReadTest, ASectionThatCannotBeMappedRaises) {
    machine.firmwareFake.sectionStatus = platform::SectionReadStatus::CannotMap;
    try {
        reader.GetInfo(1);
        FAIL() << "no exception";
    } catch (const Exception& failure) {
        EXPECT_EQ(failure.message(), "Cannot map physical memory to process memory!\r\n");
    }
}

TEST_F(SMBIOSReadTest, CopiesLowMemoryOn9x) {
    machine.systemFake.poseAsWindows98();
    machine.firmwareFake.setBiosArea(areaBytes);
    machine.firmwareFake.lowMemoryReadable = true;
    reader.GetInfo(1);
    EXPECT_EQ(machine.firmwareFake.sectionCalls, 0);
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
    machine.firmwareFake.lowMemoryReadable = false;
    reader.GetInfo(1);
    EXPECT_EQ(reader.BIOSVendor(), "");
    EXPECT_EQ(machine.systemFake.commandLines.size(), 0u);
}

TEST_F(SMBIOSReadTest, DumpsTheSegmentThroughTheDOSProgramWhenTheSectionIsClosed) {
    machine.filesFake.addDirectory(machine.systemFake.tempFolder + "\\~RomDmp1");
    dumpWrites(areaText());
    machine.systemFake.onCommand = [this, inner = machine.systemFake.onCommand](const std::string& line) {
        const std::string program = machine.systemFake.tempFolder + "\\~RomDmp2\\RomDump.com";
        const std::optional<std::string> written = machine.filesFake.readFile(program);
        ASSERT_TRUE(written.has_value());
        EXPECT_EQ(*written, std::string(kROMDumpProgram.begin(), kROMDumpProgram.end()));
        inner(line);
    };
    reader.GetInfo(1);
    EXPECT_EQ(reader.BIOSVendor(), "Award Software");
    ASSERT_EQ(machine.systemFake.commandLines.size(), 1u);
    const std::string temp = machine.systemFake.tempFolder + "\\~RomDmp2\\";
    EXPECT_EQ(machine.systemFake.commandLines[0], "\"C:\\WINDOWS\\system32\\cmd.exe\" /C \"\"" + temp +
                                                      "RomDump.com\" > \"" + temp + "Rom.dmp\"\"");
    EXPECT_EQ(machine.systemFake.commandTimeouts[0], kROMDumpTimeoutMs);
    EXPECT_THAT(machine.filesFake.filePaths(), ::testing::IsEmpty());
    EXPECT_EQ(machine.filesFake.directoryPaths().size(), 2u);  // the temporary folder and ~RomDmp1
}

TEST_F(SMBIOSReadTest, ADumpThatTimesOutOrFallsShortFailsAndCleansUp) {
    dumpWrites(areaText());
    machine.systemFake.commandAnswer = {true, true, 0};
    reader.GetInfo(1);
    EXPECT_EQ(reader.BIOSVendor(), "");
    expectNothingLeftBehind();

    machine.systemFake.commandAnswer = {true, false, 0};
    dumpWrites(areaText().substr(0, 65535));
    reader.GetInfo(1);
    EXPECT_EQ(reader.BIOSVendor(), "");
    expectNothingLeftBehind();

    machine.systemFake.commandAnswer = {false, false, 0};
    reader.GetInfo(1);
    EXPECT_EQ(reader.EntryPointAddress(), 0u);
    expectNothingLeftBehind();
}

TEST_F(SMBIOSReadTest, AShortProgramWriteFailsWithoutRunningAnything) {
    machine.filesFake.limitWrites(10);
    TBIOSArea area{};
    EXPECT_FALSE(ReadBIOSAreaByROMDump(machine, area));
    EXPECT_TRUE(machine.systemFake.commandLines.empty());
    expectNothingLeftBehind();
}

TEST_F(SMBIOSReadTest, NoInterpreterNoDump) {
    machine.systemFake.environment = {"PATH=C:\\WINDOWS"};
    TBIOSArea area{};
    EXPECT_FALSE(ReadBIOSAreaByROMDump(machine, area));
    EXPECT_TRUE(machine.systemFake.commandLines.empty());
    expectNothingLeftBehind();
}

}  // namespace
}  // namespace vardak::probes
