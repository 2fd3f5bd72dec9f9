// The SMBIOS reader on real firmware tables: every dump of the shared test data is
// read by the dump reader, decoded, and its values compared with what dmidecode
// prints for the same file.
#include "probes/hardware/SmbiosDump.h"
#include "probes/hardware/Vesk_SMBIOS.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "framework/SysUtils.h"
#include "probes/core/Format.h"
#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

namespace fs = std::filesystem;

const fs::path& dumpFolder() {
    static const fs::path folder = fs::path(VARDAK_TESTDATA_DIR) / "smbios";
    return folder;
}

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

std::vector<std::string> dumpNames() {
    std::vector<std::string> names;
    if (!fs::is_directory(dumpFolder())) return names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dumpFolder())) {
        const std::string file = entry.path().filename().string();
        if (file.ends_with(".bin")) names.push_back(file.substr(0, file.size() - 4));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// ---------------------------------------------------------------- dmidecode's view

struct DmiBlock {
    int type = -1;
    std::map<std::string, std::string> fields;  // first-level "Key: Value" lines
};

bool dmidecodeAvailable() {
#ifdef _WIN32
    return false;  // the reference decoder is a Linux program; the Windows build runs under Wine
#else
    return fs::exists("/usr/sbin/dmidecode") || fs::exists("/usr/bin/dmidecode");
#endif
}

std::string runDmidecode(const fs::path& dump) {
    const std::string command = "dmidecode --from-dump '" + dump.string() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string output;
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    pclose(pipe);
    return output;
}

std::vector<DmiBlock> parseDmidecode(const std::string& output) {
    std::vector<DmiBlock> blocks;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        int handle = 0, type = 0;
        if (std::sscanf(line.c_str(), "Handle 0x%x, DMI type %d,", &handle, &type) == 2) {
            blocks.push_back({type, {}});
        } else if (!blocks.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
            const size_t colon = line.find(": ");
            if (colon != std::string::npos) {
                blocks.back().fields.emplace(line.substr(1, colon - 1), trim(line.substr(colon + 2)));
            }
        }
    }
    return blocks;
}

std::vector<const DmiBlock*> blocksOfType(const std::vector<DmiBlock>& blocks, int type) {
    std::vector<const DmiBlock*> found;
    for (const DmiBlock& block : blocks) {
        if (block.type == type) found.push_back(&block);
    }
    return found;
}

std::string field(const DmiBlock& block, const std::string& key) {
    auto found = block.fields.find(key);
    return found == block.fields.end() ? std::string("<absent>") : found->second;
}

// dmidecode shows control characters as dots and no text as "Not Specified".
std::string asDmidecodeShowsIt(const std::string& ours) {
    std::string shown = ours;
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 32 || c == 127) c = '.';
    }
    return shown;
}

void expectText(const std::string& ours, const std::string& theirs, const std::string& what) {
    if (ours.empty()) {
        EXPECT_TRUE(theirs == "Not Specified" || theirs == "<BAD INDEX>" || theirs.empty() || theirs == "<absent>")
            << what << ": ours empty, dmidecode '" << theirs << "'";
    } else {
        EXPECT_EQ(asDmidecodeShowsIt(ours), theirs) << what;
    }
}

// Lower case without blanks and punctuation, "pin" after a DB connector dropped:
// the two programs word a few names differently.
std::string wording(std::string text) {
    std::string out;
    for (char c : ansiLowerCase(text)) {
        if (std::isalnum(static_cast<unsigned char>(c))) out += c;
    }
    for (const char* db : {"db25", "db15", "db9"}) {
        const std::string withPin = std::string(db) + "pin";
        if (out.rfind(withPin, 0) == 0) out = db + out.substr(withPin.size());
    }
    return out;
}

// "<n> MHz" / "<n> ns" / "Unknown" as a number, Unknown as 0.
int64_t numberOf(const std::string& text) {
    if (text == "Unknown") return 0;
    return std::strtoll(text.c_str(), nullptr, 10);
}

// dmidecode's words of the memory-type bits, bit 5 included.
std::string dmidecodeMemoryTypes(uint16_t types) {
    static const char* const kWords[] = {"Other", "Unknown", "Standard", "FPM",       "EDO",  "Parity",
                                         "ECC",   "SIMM",    "DIMM",     "Burst EDO", "SDRAM"};
    std::string text;
    for (int bit = 0; bit <= 10; ++bit) {
        if ((types >> bit) & 1) text += (text.empty() ? "" : " ") + std::string(kWords[bit]);
    }
    return text.empty() ? "None" : text;
}

// Our UUID digits in dmidecode's order and form.
std::string dmidecodeUUID(const std::string& ours, const std::string& version) {
    if (ours == std::string(32, 'F')) return "Not Present";
    if (ours == std::string(32, '0')) return "Not Settable";
    std::string digits = ours;
    int major = 0, minor = 0;
    std::sscanf(version.c_str(), "%d.%d", &major, &minor);
    if (major > 2 || (major == 2 && minor >= 6)) {
        auto swapBytes = [&digits](size_t from, size_t count) {
            for (size_t k = 0; k < count / 2; ++k) {
                std::swap(digits[from + 2 * k], digits[from + 2 * (count - 1 - k)]);
                std::swap(digits[from + 2 * k + 1], digits[from + 2 * (count - 1 - k) + 1]);
            }
        };
        swapBytes(0, 4);
        swapBytes(8, 2);
        swapBytes(12, 2);
    }
    return digits.substr(0, 8) + "-" + digits.substr(8, 4) + "-" + digits.substr(12, 4) + "-" +
           digits.substr(16, 4) + "-" + digits.substr(20);
}

uint64_t kilobytesOf(const std::string& size) {
    const uint64_t number = std::strtoull(size.c_str(), nullptr, 10);
    if (size.find(" GB") != std::string::npos) return number << 20;
    if (size.find(" MB") != std::string::npos) return number << 10;
    return number;
}

class EverySMBIOSDump : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const fs::path file = dumpFolder() / (GetParam() + ".bin");
        reader.LoadImage(ParseSMBIOSDump(readBytes(file)));
        reader.GetInfo(0);
        if (dmidecodeAvailable()) blocks = parseDmidecode(runDmidecode(file));
    }

    testing::FakePlatform machine;
    TSMBIOS reader{machine};
    std::vector<DmiBlock> blocks;
};

TEST_P(EverySMBIOSDump, WalksEveryStructureDmidecodeShows) {
    ASSERT_FALSE(reader.Structures().empty());
    EXPECT_EQ(reader.StructuresLeftOut(), 0u);
    if (!dmidecodeAvailable()) GTEST_SKIP() << "no dmidecode to compare with (not installed, or the Windows build)";
    ASSERT_FALSE(blocks.empty());
    std::vector<int> ours, theirs;
    for (const TStructTable& entry : reader.Structures()) ours.push_back(entry.Type);
    for (const DmiBlock& block : blocks) theirs.push_back(block.type);
    EXPECT_EQ(ours, theirs);
}

TEST_P(EverySMBIOSDump, SingleStructuresMatchDmidecode) {
    if (!dmidecodeAvailable()) GTEST_SKIP() << "no dmidecode to compare with (not installed, or the Windows build)";
    if (const auto bios = blocksOfType(blocks, 0); !bios.empty()) {
        expectText(reader.BIOSVendor(), field(*bios[0], "Vendor"), "BIOS vendor");
        expectText(reader.BIOSVersion(), field(*bios[0], "Version"), "BIOS version");
        expectText(reader.BIOSDate(), field(*bios[0], "Release Date"), "BIOS date");
        EXPECT_EQ(reader.BIOSSize(), kilobytesOf(field(*bios[0], "ROM Size")));
    }
    if (const auto system = blocksOfType(blocks, 1); !system.empty()) {
        expectText(reader.SystemManufacturer(), field(*system[0], "Manufacturer"), "system manufacturer");
        expectText(reader.SystemModel(), field(*system[0], "Product Name"), "system model");
        expectText(reader.SystemVersion(), field(*system[0], "Version"), "system version");
        expectText(reader.SystemSerial(), field(*system[0], "Serial Number"), "system serial");
        EXPECT_EQ(ansiUpperCase(dmidecodeUUID(reader.SystemUUID(), reader.Version())), ansiUpperCase(field(*system[0], "UUID")));
    }
    if (const auto board = blocksOfType(blocks, 2); !board.empty()) {
        expectText(reader.MainBoardManufacturer(), field(*board[0], "Manufacturer"), "board manufacturer");
        expectText(reader.MainBoardModel(), field(*board[0], "Product Name"), "board model");
        expectText(reader.MainBoardVersion(), field(*board[0], "Version"), "board version");
        expectText(reader.MainBoardSerial(), field(*board[0], "Serial Number"), "board serial");
    }
    if (const auto chassis = blocksOfType(blocks, 3); !chassis.empty()) {
        expectText(reader.ChassisManufacturer(), field(*chassis[0], "Manufacturer"), "chassis manufacturer");
        expectText(reader.ChassisVersion(), field(*chassis[0], "Version"), "chassis version");
        expectText(reader.ChassisSerial(), field(*chassis[0], "Serial Number"), "chassis serial");
        if (!reader.ChassisModel().empty()) {
            EXPECT_EQ(wording(reader.ChassisModel()), wording(field(*chassis[0], "Type")));
        }
    }
    if (const auto processor = blocksOfType(blocks, 4); !processor.empty()) {
        const DmiBlock& cpu = *processor[0];
        expectText(reader.CPUSocket(), field(cpu, "Socket Designation"), "CPU socket");
        expectText(reader.CPUManufacturer(), field(cpu, "Manufacturer"), "CPU manufacturer");
        expectText(reader.CPUVersion(), field(cpu, "Version"), "CPU version");
        EXPECT_EQ(reader.CPUClock(), numberOf(field(cpu, "Current Speed")));
        EXPECT_EQ(reader.CPUExternalClock(), numberOf(field(cpu, "External Clock")));
        const std::string voltage = field(cpu, "Voltage");
        if (voltage == "Unknown") {
            EXPECT_EQ(reader.CPUVoltage(), 0.0);
        } else {
            EXPECT_EQ(Format("%1.1f V", {reader.CPUVoltage()}), voltage.substr(0, voltage.find(" V") + 2));
        }
        if (!reader.CPUUpgrade().empty()) {
            EXPECT_EQ(wording(reader.CPUUpgrade()), wording(field(cpu, "Upgrade")));
        }
    }
}

TEST_P(EverySMBIOSDump, RecordsMatchDmidecode) {
    if (!dmidecodeAvailable()) GTEST_SKIP() << "no dmidecode to compare with (not installed, or the Windows build)";
    const auto modules = blocksOfType(blocks, 6);
    ASSERT_EQ(reader.MemorySlotCount(), modules.size());
    for (size_t k = 0; k < modules.size(); ++k) {
        const TMemoryBank& bank = reader.MemoryBanks()[k];
        expectText(bank.Name, field(*modules[k], "Socket Designation"), "memory module");
        EXPECT_EQ(bank.Speed, numberOf(field(*modules[k], "Current Speed")));
        EXPECT_EQ(dmidecodeMemoryTypes(bank.Types), field(*modules[k], "Type"));
        const std::string size = field(*modules[k], "Installed Size");
        EXPECT_EQ(bank.Size, size.find(" MB") != std::string::npos ? std::strtoull(size.c_str(), nullptr, 10) : 0)
            << size;
    }

    std::vector<const DmiBlock*> named;
    for (const DmiBlock* port : blocksOfType(blocks, 8)) {
        const std::string name = field(*port, "Internal Reference Designator");
        if (!name.empty() && name != "Not Specified") named.push_back(port);
    }
    ASSERT_EQ(reader.PortCount(), named.size());
    for (size_t k = 0; k < named.size(); ++k) {
        const TPort& port = reader.Ports()[k];
        expectText(port.Name, field(*named[k], "Internal Reference Designator"), "port");
        if (const std::string_view type = NameOf(kPortTypeNames, port.PortType); !type.empty()) {
            EXPECT_EQ(wording(std::string(type)), wording(field(*named[k], "Port Type")));
        }
        if (const std::string_view connector = NameOf(kConnectorNames, port.Connector); !connector.empty()) {
            EXPECT_EQ(wording(std::string(connector)), wording(field(*named[k], "Internal Connector Type")));
        }
    }

    named.clear();
    for (const DmiBlock* slot : blocksOfType(blocks, 9)) {
        const std::string name = field(*slot, "Designation");
        if (!name.empty() && name != "Not Specified") named.push_back(slot);
    }
    ASSERT_EQ(reader.SystemSlotCount(), named.size());
    for (size_t k = 0; k < named.size(); ++k) {
        const TSlot& slot = reader.Slots()[k];
        expectText(slot.Name, field(*named[k], "Designation"), "slot");
        const std::string type = field(*named[k], "Type");
        if (const std::string_view text = NameOf(kSlotTypeNames, slot.SlotType); !text.empty() && text != "Other") {
            EXPECT_THAT(wording(type), ::testing::HasSubstr(wording(std::string(text))));
        }
        if (slot.DataBus >= 2 && slot.DataBus <= 6) {
            static const char* const kPrefixes[] = {"", "", "8-bit ", "16-bit ", "32-bit ", "64-bit ", "128-bit "};
            EXPECT_EQ(type.rfind(kPrefixes[slot.DataBus], 0), 0u) << type;
        }
        const std::string id = field(*named[k], "ID");
        if (!id.empty() && std::isdigit(static_cast<unsigned char>(id[0]))) {
            EXPECT_EQ(slot.SlotID, numberOf(id));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SharedSMBIOSData, EverySMBIOSDump, ::testing::ValuesIn(dumpNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(name.begin(), name.end(),
                                             [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

TEST(SharedSMBIOSData, HoldsTheSMBIOSDumps) { EXPECT_GE(dumpNames().size(), 9u) << "no dumps in " << dumpFolder(); }

// ---------------------------------------------------------------- the firmware-table blob

TEST(SharedSMBIOSData, TheFirmwareTableBlobDecodesLikeItsDump) {
    const std::vector<uint8_t> blob = readBytes(dumpFolder() / "microsoft-surface-laptop-3.rsmb");
    ASSERT_FALSE(blob.empty());
    testing::FakePlatform machine;
    machine.firmwareFake.tables[platform::kFirmwareProviderRSMB] = blob;
    TSMBIOS fromTable(machine);
    fromTable.GetInfo(1);
    TSMBIOS fromDump(machine);
    fromDump.LoadImage(ParseSMBIOSDump(readBytes(dumpFolder() / "microsoft-surface-laptop-3.bin")));
    fromDump.GetInfo(0);
    TStringList tableReport, dumpReport;
    fromTable.Report(tableReport);
    fromDump.Report(dumpReport);
    EXPECT_EQ(tableReport.text(), dumpReport.text());
    EXPECT_EQ(fromTable.Version(), "3.2");
    EXPECT_EQ(fromTable.SystemManufacturer(), "Microsoft Corporation");
}

// ---------------------------------------------------------------- malformed dumps

std::string parseError(std::vector<uint8_t> bytes) {
    try {
        ParseSMBIOSDump(bytes);
    } catch (const ESMBIOSDumpError& error) {
        return error.message();
    }
    return "accepted";
}

TEST(SMBIOSDumpFile, MalformedFilesAreRefusedWithAReason) {
    const std::vector<uint8_t> good = readBytes(dumpFolder() / "asus-ux305la.bin");
    ASSERT_GT(good.size(), 0x40u);
    EXPECT_EQ(parseError(good), "accepted");
    EXPECT_THAT(parseError({}), ::testing::HasSubstr("no SMBIOS entry point"));
    EXPECT_THAT(parseError({'M', 'Z', 0, 0}), ::testing::HasSubstr("no SMBIOS entry point"));
    EXPECT_THAT(parseError(std::vector<uint8_t>(good.begin(), good.begin() + 12)), ::testing::HasSubstr("cut short"));
    std::vector<uint8_t> wrongSum = good;
    wrongSum[6] ^= 1;
    EXPECT_THAT(parseError(wrongSum), ::testing::HasSubstr("checksum"));
    EXPECT_THAT(parseError(std::vector<uint8_t>(good.begin(), good.begin() + 0x40)),
                ::testing::HasSubstr("past the end"));

    const std::vector<uint8_t> three = readBytes(dumpFolder() / "lenovo-thinkpad-t480s.bin");
    ASSERT_GT(three.size(), 0x40u);
    EXPECT_EQ(parseError(std::vector<uint8_t>(three.begin(), three.begin() + 0x20)),
              "the structure table lies past the end of the file");
    // A 3.x table cut inside its first structure holds nothing complete.
    EXPECT_EQ(parseError(std::vector<uint8_t>(three.begin(), three.begin() + 0x22)),
              "the structure table holds no complete structure");
}

}  // namespace
}  // namespace vardak::probes
