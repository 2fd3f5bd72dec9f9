// The CPU probe on processors given as register sets: the old parts nobody has a
// dump of, the guards around CPUID, the cache descriptors, the clock measurement
// and the report.
#include "probes/hardware/Vesk_CPU.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using platform::CpuidRegisters;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakePlatform;
using testing::FakeProcessor;

constexpr uint32_t kExtended = 0x80000000;

// Three timed runs of 1000 µs on a 1 MHz counter with `cyclesPerRun` time-stamp
// cycles each: they agree, so the measurement ends after them.
void scriptThreeRuns(FakeProcessor& processor, uint64_t cyclesPerRun) {
    processor.counterFrequency = 1'000'000;
    uint64_t counter = 5000;
    uint64_t cycles = 123456;
    for (int run = 0; run < 3; ++run) {
        processor.counterReadings.insert(processor.counterReadings.end(), {counter, counter + 50, counter + 1050});
        processor.timeStampReadings.insert(processor.timeStampReadings.end(), {cycles, cycles + cyclesPerRun});
        counter += 2000;
        cycles += cyclesPerRun * 3;
    }
}

// The "[CPU Features]" keys in report order, which is CPUFeature's order.
constexpr const char* kFeatureKeys[kCPUFeatureCount] = {
    "Built-In FPU",
    "Virtual Mode Extension",
    "Debugging Extension",
    "Page Size Extension",
    "Time Stamp Counter",
    "Model Specific Registers",
    "Physical Address Extension",
    "Machine Check Exception",
    "CMPXCHG8B Instruction Supported",
    "On-chip APIC Hardware Supported",
    "Fast System Call",
    "Memory Type Range Registers",
    "Page Global Extension",
    "Machine Check Architecture",
    "Conditional Move Instruction Supported",
    "Page Attribute Table",
    "36bit Page Size Extension",
    "Processor serial number is present and enabled",
    "CLFLUSH Instruction Supported",
    "Debug Store",
    "Thermal Monitor and Software Controlled Clock Facilities (ACPI)",
    "Intel Architecture MMX technology supported",
    "Fast floating point save and restore",
    "Streaming SIMD Extensions",
    "Streaming SIMD Extensions 2",
    "Self-Snoop",
    "Thermal Monitor supported",
    "3D Now! Extensions",
    "Enhanced 3D Now! Extensions",
    "Enhanced MMX Extensions",
};

// What the first Pentiums' flawed division table gives for 4195835 / 3145727
// (about 8.1e-5 short of the true 1.33382044913624...).
constexpr double kFlawedPentiumQuotient = 1.333739068902037589;

// ---------------------------------------------------------------- old processors

struct OldProcessor {
    std::string label;
    std::string vendorText;
    uint32_t highestLeaf = 1;
    CpuidRegisters leaf1;
    CpuidRegisters leaf2 = {};
    CpuidRegisters leaf3 = {};
    uint32_t highestExtended = 0;  // 0: no extended range
    CpuidRegisters extendedFeatures = {};
    CpuidRegisters extendedLevel1 = {};
    std::string brand = "";
    uint32_t mhz = 0;  // the measured clock, 0 for none
    std::optional<double> quotient{};  // what the processor's division answers

    std::vector<std::string> cpuSection;  // the [CPU] entries
    std::set<CPUFeature> features;
    std::vector<int32_t> caches;  // L1Data, L1Code, Level1, Level2
    std::string description = "";
};

void PrintTo(const OldProcessor& part, std::ostream* out) { *out << part.label; }

void load(FakeProcessor& processor, const OldProcessor& part) {
    processor.setVendor(part.highestLeaf, part.vendorText);
    processor.setLeaf(1, part.leaf1);
    processor.setLeaf(2, part.leaf2);
    processor.setLeaf(3, part.leaf3);
    // What Intel answers above the highest leaf: the highest leaf again. The probe must
    // never take that for a real answer.
    processor.unscriptedAnswer = part.highestLeaf >= 2 ? part.leaf2 : part.leaf1;
    processor.setLeaf(kExtended, {part.highestExtended, 0, 0, 0});
    if (part.highestExtended != 0) {
        processor.setLeaf(kExtended + 1, part.extendedFeatures);
        processor.setLeaf(kExtended + 5, part.extendedLevel1);
        processor.setBrand(part.brand);
    }
    if (part.mhz != 0) {
        scriptThreeRuns(processor, uint64_t{part.mhz} * 1000);
    }
    processor.scriptedQuotient = part.quotient;
}

class OldProcessorTest : public ::testing::TestWithParam<OldProcessor> {};

TEST_P(OldProcessorTest, IsIdentifiedAndReported) {
    const OldProcessor& part = GetParam();
    FakePlatform machine;
    load(machine.processorFake, part);
    TCPU cpu(machine);
    cpu.GetInfo();

    TStringList report;
    cpu.Report(report);
    const std::vector<std::string> lines = report.toVector();
    ASSERT_EQ(lines.size(), 54u);
    EXPECT_EQ(lines[0], "[CPU]");
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 1, lines.begin() + 12), ElementsAreArray(part.cpuSection));

    EXPECT_EQ(lines[12], "[CPUID_CPUSIGNATURE]");
    char signature[40];
    std::snprintf(signature, sizeof signature, "EAX=%08X", part.leaf1.eax);
    EXPECT_EQ(lines[13], signature);
    std::snprintf(signature, sizeof signature, "EDX=%08X", part.leaf1.edx);
    EXPECT_EQ(lines[16], signature);

    EXPECT_EQ(lines[17], "[CPU Features]");
    for (size_t index = 0; index < kCPUFeatureCount; ++index) {
        const auto feature = static_cast<CPUFeature>(index);
        const bool expected = part.features.count(feature) != 0;
        EXPECT_EQ(cpu.Features().has(feature), expected) << kFeatureKeys[index];
        EXPECT_EQ(lines[18 + index], std::string(kFeatureKeys[index]) + (expected ? "=1" : "=0"));
    }

    EXPECT_EQ(lines[48], "[CPU Cache]");
    EXPECT_EQ(lines[49], "Level 1 Data Cache=" + std::to_string(part.caches.at(0)));
    EXPECT_EQ(lines[50], "Level 1 Instruction Cache=" + std::to_string(part.caches.at(1)));
    EXPECT_EQ(lines[51], "Level 1 Unified Cache=" + std::to_string(part.caches.at(2)));
    EXPECT_EQ(lines[52], "Level 2 Unified Cache=" + std::to_string(part.caches.at(3)));
    EXPECT_EQ(lines[53], "Intel Cache Description: " + part.description);
    EXPECT_EQ(cpu.brandText(), part.brand);
}

using F = CPUFeature;
const std::set<CPUFeature> kPentiumFeatures = {F::FPU, F::VME, F::DE, F::PSE, F::TSC, F::MSR, F::MCE, F::CX8};
const std::set<CPUFeature> kPentiumProFeatures = {F::FPU, F::VME, F::DE,  F::PSE,  F::TSC, F::MSR,
                                                  F::PAE, F::MCE, F::CX8, F::APIC, F::SEP, F::MTRR,
                                                  F::PGE, F::MCA, F::CMOV};

std::set<CPUFeature> plus(std::set<CPUFeature> features, std::initializer_list<CPUFeature> more) {
    features.insert(more);
    return features;
}

const std::string kInstructionCache8K = "Instruction cache, 8K, 4-way set associative, 32 byte line size";
const std::string kDataCache8K = "Data cache, 8K, 2-way set associative, 32 byte line size";
const std::string kDataCache16K = "Data cache, 16K, 4-way set associative, 32 byte line size";

const OldProcessor kOldProcessors[] = {
    {.label = "Intel486DX4",
     .vendorText = "GenuineIntel",
     .leaf1 = {0x00000480, 0, 0, 0x00000003},
     .mhz = 100,  // scripted, but without a time-stamp counter nothing is measured
     .cpuSection = {"Count=1", "Frequency=0", "VendorID=i80486DX4", "Vendor=Intel", "Family=4", "Model=8",
                    "Stepping=0", "CodeName=P24C", "Transistors=1600000", "SerialNumber=", "FDIVBug=0"},
     .features = {F::FPU, F::VME},
     .caches = {0, 0, 0, 0}},
    {.label = "PentiumP54CWithTheDivisionFlaw",
     .vendorText = "GenuineIntel",
     .leaf1 = {0x00000525, 0, 0, 0x000001BF},
     .mhz = 90,
     .quotient = kFlawedPentiumQuotient,
     .cpuSection = {"Count=1", "Frequency=90", "VendorID=Pentium", "Vendor=Intel", "Family=5", "Model=2",
                    "Stepping=5", "CodeName=P54C (0,50\xB5m)", "Transistors=3100000", "SerialNumber=",
                    "FDIVBug=1"},
     .features = kPentiumFeatures,
     .caches = {0, 0, 0, 0}},
    {.label = "PentiumOverDriveP24T",
     .vendorText = "GenuineIntel",
     .leaf1 = {0x00001531, 0, 0, 0x000001BF},
     .mhz = 83,
     .cpuSection = {"Count=1", "Frequency=80", "VendorID=Pentium OverDrive", "Vendor=Intel", "Family=5",
                    "Model=3", "Stepping=1", "CodeName=P24T", "Transistors=0", "SerialNumber=", "FDIVBug=0"},
     .features = kPentiumFeatures,
     .caches = {0, 0, 0, 0}},
    {.label = "PentiumMMX",
     .vendorText = "GenuineIntel",
     .leaf1 = {0x00000543, 0, 0, 0x008001BF},
     .mhz = 233,
     .cpuSection = {"Count=1", "Frequency=233", "VendorID=Pentium MMX", "Vendor=Intel", "Family=5", "Model=4",
                    "Stepping=3", "CodeName=P55C (0,28\xB5m)", "Transistors=4500000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumFeatures, {F::MMX}),
     .caches = {0, 0, 0, 0}},
    {.label = "PentiumPro",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000617, 0, 0, 0x0000FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0A040642},
     .mhz = 200,
     .cpuSection = {"Count=1", "Frequency=200", "VendorID=Pentium Pro", "Vendor=Intel", "Family=6", "Model=1",
                    "Stepping=7", "CodeName=P6 (0.35 \xB5m)", "Transistors=5500000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = kPentiumProFeatures,
     .caches = {8, 8, 0, 256},
     .description = kDataCache8K},
    {.label = "PentiumIIKlamath",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000634, 0, 0, 0x0080FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0C040843},
     .mhz = 266,
     .cpuSection = {"Count=1", "Frequency=266", "VendorID=Pentium II", "Vendor=Intel", "Family=6", "Model=3",
                    "Stepping=4", "CodeName=Klamath (0.35 \xB5m)", "Transistors=7500000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::MMX}),
     .caches = {16, 16, 0, 512},
     .description = kDataCache16K},
    {.label = "CeleronCovington",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000650, 0, 0, 0x0183FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0C040840},
     .mhz = 266,
     .cpuSection = {"Count=1", "Frequency=266", "VendorID=Celeron", "Vendor=Intel", "Family=6", "Model=5",
                    "Stepping=0", "CodeName=Covington (0,25\xB5m)", "Transistors=7500000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::PAT, F::PSE36, F::MMX, F::FXSR}),
     .caches = {16, 16, 0, 0},
     .description = kDataCache16K},
    {.label = "CeleronMendocino",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000665, 0, 0, 0x0183FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0C040841},
     .mhz = 333,
     .cpuSection = {"Count=1", "Frequency=333", "VendorID=Celeron A", "Vendor=Intel", "Family=6", "Model=6",
                    "Stepping=5", "CodeName=Mendocino (0.25 \xB5m)", "Transistors=19000000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::PAT, F::PSE36, F::MMX, F::FXSR}),
     .caches = {16, 16, 0, 128},
     .description = kDataCache16K},
    {.label = "PentiumIIIKatmaiWithSerialNumber",
     .vendorText = "GenuineIntel",
     .highestLeaf = 3,
     .leaf1 = {0x00000672, 0, 0, 0x0387FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0C040843},
     .leaf3 = {0, 0, 0x2A4B5C6D, 0x00001234},
     .mhz = 500,
     .cpuSection = {"Count=1", "Frequency=500", "VendorID=Pentium III", "Vendor=Intel", "Family=6", "Model=7",
                    "Stepping=2", "CodeName=Katmai (0.25 \xB5m)", "Transistors=9500000",
                    "SerialNumber=0000-0672-0000-1234-2A4B-5C6D", "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::PAT, F::PSE36, F::PSN, F::MMX, F::FXSR, F::SSE}),
     .caches = {16, 16, 0, 512},
     .description = kDataCache16K},
    {.label = "PentiumIIICoppermineBrandIndex2",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000683, 0x00000002, 0, 0x0383FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0C040882},
     .highestExtended = 0x80000004,
     .brand = "",
     .mhz = 733,
     .cpuSection = {"Count=1", "Frequency=733", "VendorID=Pentium III", "Vendor=Intel", "Family=6", "Model=8",
                    "Stepping=3", "CodeName=Coppermine (0.18 \xB5m)", "Transistors=28100000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::PAT, F::PSE36, F::MMX, F::FXSR, F::SSE}),
     .caches = {16, 16, 0, 256},
     .description = kDataCache16K},
    {.label = "CeleronCoppermineBrandIndex1",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000686, 0x00000001, 0, 0x0383FBFF},
     .leaf2 = {0x03020101, 0, 0, 0x0C040841},
     .mhz = 566,
     .cpuSection = {"Count=1", "Frequency=566", "VendorID=Celeron", "Vendor=Intel", "Family=6", "Model=8",
                    "Stepping=6", "CodeName=Coppermine (0.18 \xB5m)", "Transistors=28100000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::PAT, F::PSE36, F::MMX, F::FXSR, F::SSE}),
     .caches = {16, 16, 0, 128},
     .description = kDataCache16K},
    {.label = "Pentium4WillametteTraceCache",
     .vendorText = "GenuineIntel",
     .highestLeaf = 2,
     .leaf1 = {0x00000F12, 0x00010808, 0, 0x3FEBFBFF},
     .leaf2 = {0x665B5001, 0, 0, 0x007A7040},
     .highestExtended = 0x80000004,
     .brand = "Intel(R) Pentium(R) 4 CPU 1500MHz",
     .mhz = 1495,
     .cpuSection = {"Count=1", "Frequency=1500", "VendorID=Pentium 4", "Vendor=Intel", "Family=15", "Model=1",
                    "Stepping=2", "CodeName=", "Transistors=0", "SerialNumber=", "FDIVBug=0"},
     .features = plus(kPentiumProFeatures, {F::PAT, F::PSE36, F::CLFSH, F::DS, F::ACPI, F::MMX, F::FXSR, F::SSE,
                                            F::SSE2, F::SS, F::TM}),
     .caches = {0, 0, 0, 0},
     .description = "Unified cache, sectored, 64 byte cache line, 8 way set associative, 256K"},
    {.label = "AMDK5",
     .vendorText = "AuthenticAMD",
     .leaf1 = {0x00000501, 0, 0, 0x000003BF},
     .mhz = 100,
     .cpuSection = {"Count=1", "Frequency=100", "VendorID=K5", "Vendor=AMD", "Family=5", "Model=0", "Stepping=1",
                    "CodeName=SSA5 (0.50-0.35 \xB5m)", "Transistors=4300000", "SerialNumber=", "FDIVBug=0"},
     .features = plus(kPentiumFeatures, {F::APIC}),
     .caches = {0, 0, 0, 0}},
    {.label = "AMDK6",
     .vendorText = "AuthenticAMD",
     .leaf1 = {0x00000562, 0, 0, 0x008001BF},
     .highestExtended = 0x80000005,
     .extendedFeatures = {0x00000662, 0, 0, 0x008005BF},
     .extendedLevel1 = {0, 0x02800140, 0x20020220, 0x20020220},
     .brand = "AMD-K6tm w/ multimedia extensions",
     .mhz = 200,
     .cpuSection = {"Count=1", "Frequency=200", "VendorID=K6", "Vendor=AMD", "Family=5", "Model=6", "Stepping=2",
                    "CodeName=K6 (0.30 \xB5m)", "Transistors=8800000", "SerialNumber=", "FDIVBug=0"},
     .features = plus(kPentiumFeatures, {F::MMX}),
     .caches = {32, 32, 64, 0}},
    {.label = "AMDK6_2",
     .vendorText = "AuthenticAMD",
     .leaf1 = {0x0000058C, 0, 0, 0x008021BF},
     .highestExtended = 0x80000005,
     .extendedFeatures = {0x0000068C, 0, 0, 0x808029BF},
     .extendedLevel1 = {0, 0x02800140, 0x20020220, 0x20020220},
     .brand = "AMD-K6(tm) 3D processor",
     .mhz = 350,
     .cpuSection = {"Count=1", "Frequency=350", "VendorID=K6-II", "Vendor=AMD", "Family=5", "Model=8",
                    "Stepping=12", "CodeName=Chomper (0.25 \xB5m)", "Transistors=9300000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumFeatures, {F::PGE, F::MMX, F::ThreeDNow}),
     .caches = {32, 32, 64, 0}},
    {.label = "AMDK6_III",
     .vendorText = "AuthenticAMD",
     .leaf1 = {0x00000591, 0, 0, 0x008021BF},
     .highestExtended = 0x80000006,
     .extendedFeatures = {0x00000691, 0, 0, 0x808029BF},
     .extendedLevel1 = {0, 0x02800140, 0x20020220, 0x20020220},
     .brand = "AMD-K6(tm)-III Processor",
     .mhz = 450,
     .cpuSection = {"Count=1", "Frequency=450", "VendorID=K6-III", "Vendor=AMD", "Family=5", "Model=9",
                    "Stepping=1", "CodeName=Slarptooth (0.25 \xB5m)", "Transistors=21300000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = plus(kPentiumFeatures, {F::PGE, F::MMX, F::ThreeDNow}),
     .caches = {32, 32, 64, 0}},
    {.label = "AMDAthlon",
     .vendorText = "AuthenticAMD",
     .leaf1 = {0x00000621, 0, 0, 0x0183F9FF},
     .highestExtended = 0x80000006,
     .extendedFeatures = {0x00000721, 0, 0, 0xC1C3F9FF},
     .extendedLevel1 = {0x0408FF08, 0xFF18FF10, 0x40020140, 0x40020140},
     .brand = "AMD Athlon(tm) Processor",
     .mhz = 700,
     .cpuSection = {"Count=1", "Frequency=700", "VendorID=Athlon", "Vendor=AMD", "Family=6", "Model=2",
                    "Stepping=1", "CodeName=Athlon (0.25-0.18 \xB5m)", "Transistors=22000000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = {F::FPU, F::VME, F::DE, F::PSE, F::TSC, F::MSR, F::PAE, F::MCE, F::CX8, F::SEP, F::MTRR, F::PGE,
                  F::MCA, F::CMOV, F::PAT, F::PSE36, F::MMX, F::FXSR, F::ThreeDNow, F::ExThreeDNow, F::ExMMX},
     .caches = {64, 64, 128, 0}},
    {.label = "AMDDuronSpitfire",
     .vendorText = "AuthenticAMD",
     .leaf1 = {0x00000630, 0, 0, 0x0183F9FF},
     .highestExtended = 0x80000006,
     .extendedFeatures = {0x00000730, 0, 0, 0xC1C3F9FF},
     .extendedLevel1 = {0x0408FF08, 0xFF18FF10, 0x40020140, 0x40020140},
     .brand = "AMD Duron(tm) Processor",
     .mhz = 600,
     .cpuSection = {"Count=1", "Frequency=600", "VendorID=Duron", "Vendor=AMD", "Family=6", "Model=3",
                    "Stepping=0", "CodeName=Duron", "Transistors=22000000", "SerialNumber=", "FDIVBug=0"},
     .features = {F::FPU, F::VME, F::DE, F::PSE, F::TSC, F::MSR, F::PAE, F::MCE, F::CX8, F::SEP, F::MTRR, F::PGE,
                  F::MCA, F::CMOV, F::PAT, F::PSE36, F::MMX, F::FXSR, F::ThreeDNow, F::ExThreeDNow, F::ExMMX},
     .caches = {64, 64, 128, 0}},
    {.label = "Cyrix6x86MX",
     .vendorText = "CyrixInstead",
     .leaf1 = {0x00000600, 0, 0, 0x0080A135},
     .highestExtended = 0x80000005,
     .extendedFeatures = {0x00000600, 0, 0, 0x0180A135},
     .extendedLevel1 = {0, 0, 0x00000080, 0},
     .brand = "Cyrix 6x86MX",
     .mhz = 200,
     .cpuSection = {"Count=1", "Frequency=200", "VendorID=6x86MX (PR166-266)", "Vendor=Cyrix", "Family=6",
                    "Model=0", "Stepping=0", "CodeName=M2 (0.35 \xB5m)", "Transistors=65000000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = {F::FPU, F::DE, F::TSC, F::MSR, F::CX8, F::PGE, F::CMOV, F::MMX, F::ExMMX},
     .caches = {0, 0, 16, 0}},
    {.label = "IDTWinChipC6",
     .vendorText = "CentaurHauls",
     .leaf1 = {0x00000541, 0, 0, 0x008001B5},
     .mhz = 200,
     .cpuSection = {"Count=1", "Frequency=200", "VendorID=WinChip", "Vendor=IDT", "Family=5", "Model=4",
                    "Stepping=1", "CodeName=C6 (0.35 \xB5m)", "Transistors=54000000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = {F::FPU, F::DE, F::TSC, F::MSR, F::MCE, F::CX8, F::MMX},
     .caches = {0, 0, 0, 0}},
    {.label = "IDTWinChip2",
     .vendorText = "CentaurHauls",
     .leaf1 = {0x00000585, 0, 0, 0x008001B5},
     .highestExtended = 0x80000005,
     .extendedFeatures = {0x00000585, 0, 0, 0x808001B5},
     .extendedLevel1 = {0, 0, 0x20080120, 0x20080120},
     .brand = "WinChip 2-3D",
     .mhz = 240,
     // 240 lies nearer 233 than 250.
     .cpuSection = {"Count=1", "Frequency=233", "VendorID=WinChip 2x", "Vendor=IDT", "Family=5", "Model=8",
                    "Stepping=5", "CodeName=W2x (0.35-0.25 \xB5m)", "Transistors=59000000", "SerialNumber=",
                    "FDIVBug=0"},
     .features = {F::FPU, F::DE, F::TSC, F::MSR, F::MCE, F::CX8, F::MMX, F::ThreeDNow},
     .caches = {0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(RegisterSets, OldProcessorTest, ::testing::ValuesIn(kOldProcessors),
                         [](const ::testing::TestParamInfo<OldProcessor>& info) { return info.param.label; });

// ---------------------------------------------------------------- the guards around CPUID

TEST(CPUGuardTest, AProcessorWithoutCpuidIsNeverAskedAndGivesAnEmptyResult) {
    FakePlatform machine;
    FakeProcessor& processor = machine.processorFake;
    processor.cpuidPresent = false;
    processor.processorCount = 1;
    processor.counterFrequency = 1'193'182;
    TCPU cpu(machine);
    cpu.GetInfo();
    EXPECT_TRUE(processor.queries.empty());
    EXPECT_EQ(processor.timeStampReads, 0u);
    EXPECT_EQ(cpu.Frequency(), 0);
    EXPECT_EQ(cpu.Family(), 0);
    EXPECT_EQ(cpu.Vendor(), "");
    EXPECT_EQ(cpu.VendorEx(), "");
    EXPECT_EQ(cpu.VendorID(), "");
    EXPECT_EQ(cpu.vendorText(), "");
    EXPECT_EQ(cpu.brandText(), "");
    for (size_t index = 0; index < kCPUFeatureCount; ++index) {
        EXPECT_FALSE(cpu.Features().has(static_cast<CPUFeature>(index)));
    }
    EXPECT_EQ(cpu.Count(), 1);
    EXPECT_FALSE(cpu.FDIVBug());
}

TEST(CPUGuardTest, NoLeafAboveTheHighestOfItsRangeIsQueried) {
    FakeProcessor processor;
    processor.setVendor(1, "GenuineIntel");
    processor.setLeaf(1, {0x00000543, 0, 0, 0x008001BF});
    processor.setLeaf(kExtended, {0x80000001, 0, 0, 0});
    processor.unscriptedAnswer = {0x41414141, 0x41414141, 0x41414141, 0x41414141};
    EXPECT_EQ(QueryCPUID(processor, 2), CpuidRegisters{});
    EXPECT_EQ(QueryCPUID(processor, 0x80000002), CpuidRegisters{});
    EXPECT_EQ(GetBrandText(processor), "");
    for (const auto& [leaf, subleaf] : processor.queries) {
        EXPECT_TRUE(leaf <= 1 || (leaf >= kExtended && leaf <= 0x80000001)) << std::hex << leaf;
    }
}

TEST(CPUGuardTest, AnExtendedRangeHeadOutsideTheRangeMeansNoExtendedLeaves) {
    // Early Intel parts answer 0x80000000 with the registers of their highest leaf.
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(kExtended, {0x03020101, 0, 0, 0x0C040843});
    processor.unscriptedAnswer = {0xC0C0C0C0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    TCPUFeatures features(processor);
    features.GetInfo();
    EXPECT_FALSE(features.has(CPUFeature::ThreeDNow));
    EXPECT_FALSE(features.has(CPUFeature::ExMMX));
    EXPECT_EQ(GetBrandText(processor), "");
}

TEST(CPUGuardTest, WithoutATimeStampCounterNothingIsMeasured) {
    FakeProcessor processor;
    processor.setVendor(1, "GenuineIntel");
    processor.setLeaf(1, {0x00000480, 0, 0, 0x00000003});
    scriptThreeRuns(processor, 100'000);
    const TFrequencyInfo info = MeasureFrequency(processor);
    EXPECT_EQ(info.normalisedMHz, 0u);
    EXPECT_EQ(info.rawMHz, 0u);
    EXPECT_EQ(processor.timeStampReads, 0u);
    EXPECT_EQ(processor.counterReads, 0u);
    EXPECT_TRUE(processor.priorityChanges.empty());
}

TEST(CPUGuardTest, BrandTextStopsAtTheFirstNul) {
    FakeProcessor processor;
    processor.setLeaf(kExtended, {0x80000004, 0, 0, 0});
    processor.setBrand(std::string("      Intel(R) Pentium(R) 4 CPU 3.00GHz\0junk", 44));
    EXPECT_EQ(GetBrandText(processor), "      Intel(R) Pentium(R) 4 CPU 3.00GHz");
    processor.setBrand(std::string(48, 'x'));
    EXPECT_EQ(GetBrandText(processor), std::string(48, 'x'));
}

TEST(CPUGuardTest, VendorTextsOfTheWholeTable) {
    EXPECT_EQ(vendorIndexOf("GenuineIntel"), 1);
    EXPECT_EQ(vendorIndexOf("AuthenticAMD"), 2);
    EXPECT_EQ(vendorIndexOf("CyrixInstead"), 3);
    EXPECT_EQ(vendorIndexOf("CentaurHauls"), 4);
    EXPECT_EQ(vendorIndexOf("NexGenDriven"), 5);
    EXPECT_EQ(vendorIndexOf("UMC UMC UMC "), 6);
    EXPECT_EQ(vendorIndexOf("UMC UMC UMC"), 0) << "the twelfth character is a blank";
    EXPECT_EQ(vendorIndexOf("RiseRiseRise"), 7);
    EXPECT_EQ(vendorIndexOf("HygonGenuine"), 0);
    EXPECT_EQ(vendorIndexOf("genuineintel"), 0);
    EXPECT_EQ(vendorIndexOf(""), 0);

    FakeProcessor processor;
    processor.setVendor(1, "UMC UMC UMC ");
    EXPECT_EQ(GetVendorText(processor), "UMC UMC UMC ");
}

TEST(CPUGuardTest, AnUnknownVendorKeepsThePreviousLongName) {
    FakePlatform machine;
    machine.processorFake.setVendor(1, "GenuineIntel");
    machine.processorFake.setLeaf(1, {0x00000543, 0, 0, 0x008001BF});
    TCPU cpu(machine);
    cpu.GetInfo();
    EXPECT_EQ(cpu.VendorEx(), "Intel Corporation");
    machine.processorFake.setVendor(1, "HygonGenuine");
    cpu.GetInfo();
    EXPECT_EQ(cpu.VendorEx(), "Intel Corporation");
    EXPECT_EQ(cpu.Vendor(), "");
    EXPECT_EQ(cpu.VendorID(), "");
    EXPECT_EQ(cpu.CodeName(), "");
    EXPECT_EQ(cpu.vendorIndex(), 0);
}

TEST(CPUGuardTest, TheSerialNumberStaysWhenTheFeatureGoesAway) {
    FakePlatform machine;
    FakeProcessor& processor = machine.processorFake;
    processor.setVendor(3, "GenuineIntel");
    processor.setLeaf(1, {0x00000673, 0, 0, 0x0387F9FF});
    processor.setLeaf(3, {0, 0, 0x8EF18AEE, 0x0000D043});
    TCPU cpu(machine);
    cpu.GetInfo();
    EXPECT_EQ(cpu.SerialNumber(), "0000-0673-0000-D043-8EF1-8AEE");
    processor.setLeaf(1, {0x00000673, 0, 0, 0x0383F9FF});  // serial number switched off
    cpu.GetInfo();
    EXPECT_FALSE(cpu.Features().has(CPUFeature::PSN));
    EXPECT_EQ(cpu.SerialNumber(), "0000-0673-0000-D043-8EF1-8AEE");
}

TEST(CPUGuardTest, TheRegistryIdentificationIsKept) {
    FakePlatform machine;
    machine.loadRegistry(
        "REGEDIT4\n"
        "[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0]\n"
        "\"VendorIdentifier\"=\"GenuineIntel\"\n"
        "\"Identifier\"=\"x86 Family 6 Model 8 Stepping 3\"\n");
    TCPU cpu(machine);
    cpu.GetInfo();
    EXPECT_EQ(cpu.registryVendorIdentifier(), "GenuineIntel");
    EXPECT_EQ(cpu.registryIdentifier(), "x86 Family 6 Model 8 Stepping 3");
}

// ---------------------------------------------------------------- caches

TEST(CPUCacheTest, OnlyTheCountByteListedGivesTheInstructionTlbText) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(2, {0x00000001, 0, 0, 0});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.IntelDescription(), "Instruction TLB, 4K pages, 4-way set associative, 32 entries");
    EXPECT_EQ(cache.Level2(), 0);
}

TEST(CPUCacheTest, TheCountByteIsNoL2Descriptor) {
    // A count of 0x41 calls would read as a 128K L2 descriptor if byte 0 were scanned.
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeafSequence(2, {{0x00000041, 0, 0, 0x0C040843}});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.Level2(), 512);
    EXPECT_EQ(cache.IntelDescription(), kDataCache16K);
}

TEST(CPUCacheTest, TheLastCallOfSeveralCounts) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeafSequence(2, {{0x00004302, 0, 0, 0x0000000C}, {0x00004202, 0, 0, 0x00000006}});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.Level2(), 256);
    EXPECT_EQ(cache.L1Data(), 0);
    EXPECT_EQ(cache.L1Code(), 8);
    EXPECT_EQ(cache.IntelDescription(), kInstructionCache8K);
    EXPECT_EQ(cache.intelRecord().registers.eax, 0x00004202u);
}

TEST(CPUCacheTest, ACountOfZeroEndsTheQueryWithZeroRegisters) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(2, {0x43424100, 0, 0, 0x0C040843});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.Level2(), 0);
    EXPECT_EQ(cache.L1Data(), 0);
    EXPECT_EQ(cache.IntelDescription(), "");
    EXPECT_EQ(cache.intelRecord().registers, CpuidRegisters{});
}

TEST(CPUCacheTest, ARegisterWithBitThirtyOneCarriesNoDescriptors) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(2, {0x03020101, 0x8000430C, 0, 0x00000042});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.Level2(), 256);
    EXPECT_EQ(cache.L1Data(), 0);
    EXPECT_EQ(cache.IntelDescription(), "Unified cache, 32 byte cache line, 4-way set associative, 256K");
}

TEST(CPUCacheTest, TheLastL2DescriptorWins) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(2, {0x00450001, 0x00000041, 0, 0});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.Level2(), 128);
    EXPECT_EQ(cache.IntelDescription(), "Unified cache, 32 byte cache line,4-way set associative, 128K");
}

TEST(CPUCacheTest, DescriptorEightyIsAUnifiedFirstLevel) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(2, {0x00008001, 0, 0, 0});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    EXPECT_EQ(cache.Level1(), 16);
    EXPECT_EQ(cache.IntelDescription(), "Instruction TLB, 4K pages, 4-way set associative, 32 entries");
}

TEST(CPUCacheTest, AMDRecordKeepsEbxWithItsHalvesSwapped) {
    FakeProcessor processor;
    processor.setLeaf(kExtended, {0x80000005, 0, 0, 0});
    processor.setLeaf(0x80000005, {0, 0x11112222, 0x40020140, 0x20020140});
    TCPUCache cache(processor);
    cache.GetInfo(2);
    EXPECT_EQ(cache.L1Data(), 64);
    EXPECT_EQ(cache.L1Code(), 32);
    EXPECT_EQ(cache.Level1(), 96);
    EXPECT_EQ(cache.Level2(), 0);
    EXPECT_EQ(cache.amdRecord().ebx, 0x22221111u);
}

TEST(CPUCacheTest, ARefreshClearsWhatThePreviousOneFound) {
    FakeProcessor processor;
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(2, {0x03020101, 0, 0, 0x0C040843});
    TCPUCache cache(processor);
    cache.GetInfo(1);
    ASSERT_EQ(cache.Level2(), 512);
    cache.GetInfo(0);
    EXPECT_EQ(cache.Level2(), 0);
    EXPECT_EQ(cache.L1Data(), 0);
    EXPECT_EQ(cache.IntelDescription(), "");
}

// ---------------------------------------------------------------- the clock

// A processor with a time-stamp counter and a 1 MHz performance counter, and the
// readings of timed runs scripted one by one.
struct ScriptedClock {
    ScriptedClock() {
        processor.setVendor(1, "GenuineIntel");
        processor.setLeaf(1, {0x00000543, 0, 0, 0x008001BF});
        processor.counterFrequency = 1'000'000;
        processor.priority = 0;
    }

    // One timed run of `ticks` counter ticks with `cycles` time-stamp cycles, after
    // a lead-in of `leadIn` ticks.
    void scriptRun(uint64_t ticks, uint64_t cycles, uint64_t leadIn = 50) {
        processor.counterReadings.insert(processor.counterReadings.end(),
                                         {counter, counter + leadIn, counter + leadIn + ticks});
        processor.timeStampReadings.insert(processor.timeStampReadings.end(), {timeStamp, timeStamp + cycles});
        counter += leadIn + ticks + 7;
        timeStamp += cycles + 12345;
    }

    FakeProcessor processor;
    uint64_t counter = 1000;
    uint64_t timeStamp = 0xFFFF0000;  // the low 32 bits wrap during the runs
};

class MeasureFrequencyTest : public ::testing::Test {
protected:
    ScriptedClock clock_;
    FakeProcessor& processor_ = clock_.processor;
};

TEST_F(MeasureFrequencyTest, ThreeAgreeingRunsEndTheMeasurement) {
    clock_.scriptRun(1000, 500'000);
    clock_.scriptRun(1000, 500'000);
    clock_.scriptRun(1000, 501'000);
    clock_.scriptRun(1000, 900'000);  // never reached
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(processor_.timeStampReads, 6u);
    EXPECT_EQ(info.cycles, 1'501'000u);
    EXPECT_EQ(info.microseconds, 3000u);
    EXPECT_EQ(info.rawMHz, 500u);
    EXPECT_EQ(info.normalisedMHz, 500u);
    // Time-critical for each run, the old priority back after it.
    EXPECT_THAT(processor_.priorityChanges, ElementsAre(15, 0, 15, 0, 15, 0));
}

TEST_F(MeasureFrequencyTest, ThreeRunsTwoMegahertzApartGoOn) {
    clock_.scriptRun(1000, 500'000);
    clock_.scriptRun(1000, 500'000);
    clock_.scriptRun(1000, 502'000);
    clock_.scriptRun(1000, 502'000);
    clock_.scriptRun(1000, 502'000);
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(processor_.timeStampReads, 10u);
    EXPECT_EQ(info.microseconds, 5000u);
}

TEST_F(MeasureFrequencyTest, TwentyRunsAtMost) {
    for (int run = 0; run < 25; ++run) {
        clock_.scriptRun(1000, run % 2 == 0 ? 400'000 : 600'000);
    }
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(processor_.timeStampReads, 40u);
    EXPECT_EQ(info.microseconds, 20'000u);
    EXPECT_EQ(info.cycles, 10'000'000u);
    EXPECT_EQ(info.rawMHz, 500u);
}

TEST_F(MeasureFrequencyTest, TheAverageRoundsToNearestWithTiesToEven) {
    const auto measure = [](uint64_t cyclesPerRun) {
        ScriptedClock clock;
        for (int run = 0; run < 3; ++run) {
            clock.scriptRun(1000, cyclesPerRun);
        }
        return MeasureFrequency(clock.processor);
    };
    EXPECT_EQ(measure(450'500).rawMHz, 450u);  // 450.5: to the even 450
    EXPECT_EQ(measure(451'500).rawMHz, 452u);  // 451.5: to the even 452
    EXPECT_EQ(measure(450'501).rawMHz, 451u);
    EXPECT_EQ(measure(450'499).rawMHz, 450u);
    // The tenths never lift the result above the rounded average.
    EXPECT_EQ(measure(450'600).rawMHz, 451u);
    EXPECT_EQ(measure(450'600).normalisedMHz, 450u);
    EXPECT_EQ(measure(497'600).normalisedMHz, 500u);
    EXPECT_EQ(measure(865'700).normalisedMHz, 866u);
}

TEST_F(MeasureFrequencyTest, TheClassicCounterTimesAThousandTicks) {
    // 1193182 Hz: 1001 ticks are 838.93 us, which count as 839.
    processor_.counterFrequency = 1'193'182;
    for (int run = 0; run < 3; ++run) {
        clock_.scriptRun(1001, 419'468);
    }
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(info.microseconds, 3u * 839);
    EXPECT_EQ(info.rawMHz, 500u);
}

TEST_F(MeasureFrequencyTest, ElapsedMicrosecondsRoundToNearestWithTiesToEven) {
    // 2 MHz: 2001 ticks are 1000.5 us (to the even 1000), 2003 ticks 1001.5 us (1002).
    processor_.counterFrequency = 2'000'000;
    clock_.scriptRun(2001, 500'000, 100);
    clock_.scriptRun(2003, 501'000, 100);
    clock_.scriptRun(2001, 500'000, 100);
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(info.microseconds, 1000u + 1002 + 1000);
    EXPECT_EQ(info.cycles, 1'501'000u);
}

TEST_F(MeasureFrequencyTest, AFastCounterStillTimesAboutAMillisecond) {
    // A counter at 3 GHz: 1000 ticks would be a third of a microsecond, rounding to 0.
    processor_.counterFrequency = 3'000'000'000;
    uint64_t counter = 0;
    uint64_t cycles = 0;
    for (int run = 0; run < 3; ++run) {
        // 1000 ticks are not enough: the probe keeps spinning for about a millisecond.
        processor_.counterReadings.insert(processor_.counterReadings.end(),
                                          {counter, counter + 150'000, counter + 151'000,
                                           counter + 150'000 + 3'000'000});
        processor_.timeStampReadings.insert(processor_.timeStampReadings.end(),
                                            {cycles, cycles + 1000, cycles + 2'000'000});
        counter += 4'000'000;
        cycles += 3'000'000;
    }
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(info.microseconds, 3000u);
    EXPECT_EQ(info.rawMHz, 2000u);
    EXPECT_EQ(info.normalisedMHz, 2000u);
}

TEST_F(MeasureFrequencyTest, ACounterTooFastToTimeInThirtyTwoBitsIsNotUsed) {
    processor_.counterFrequency = 10'000'000'000'000;
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(info.normalisedMHz, 0u);
    EXPECT_EQ(processor_.counterReads, 0u);
}

TEST_F(MeasureFrequencyTest, NoPerformanceCounterGivesAnAllZeroRecord) {
    processor_.counterFrequency.reset();
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(info.rawMHz, 0u);
    EXPECT_EQ(info.normalisedMHz, 0u);
    EXPECT_EQ(info.cycles, 0u);
    EXPECT_EQ(info.microseconds, 0u);
    EXPECT_EQ(processor_.counterReads, 0u);
}

TEST_F(MeasureFrequencyTest, APriorityThatCannotBeReadIsLeftAlone) {
    processor_.priority.reset();
    for (int run = 0; run < 3; ++run) {
        clock_.scriptRun(1000, 300'000);
    }
    EXPECT_EQ(MeasureFrequency(processor_).normalisedMHz, 300u);
    EXPECT_TRUE(processor_.priorityChanges.empty());
}

TEST_F(MeasureFrequencyTest, TheCounterWrapsInItsLowThirtyTwoBits) {
    clock_.counter = 0xFFFFFD00;
    for (int run = 0; run < 3; ++run) {
        clock_.scriptRun(1000, 200'000);
    }
    const TFrequencyInfo info = MeasureFrequency(processor_);
    EXPECT_EQ(info.microseconds, 3000u);
    EXPECT_EQ(info.normalisedMHz, 200u);
}

TEST(SnapFrequencyTest, RoundsToTheUsualFractionsOfAHundred) {
    EXPECT_EQ(SnapFrequency(498), 500);
    EXPECT_EQ(SnapFrequency(451), 450);
    EXPECT_EQ(SnapFrequency(866), 866);
    EXPECT_EQ(SnapFrequency(733), 733);
    EXPECT_EQ(SnapFrequency(1007), 1000);
    EXPECT_EQ(SnapFrequency(1499), 1500);
    EXPECT_EQ(SnapFrequency(2096), 2100);
    EXPECT_EQ(SnapFrequency(99), 100);
    EXPECT_EQ(SnapFrequency(64), 66);
    EXPECT_EQ(SnapFrequency(62), 60);
    EXPECT_EQ(SnapFrequency(0), 0);
}

TEST(SnapFrequencyTest, ATieRoundsUp) {
    EXPECT_EQ(SnapFrequency(10), 20);     // halfway between 0 and 20
    EXPECT_EQ(SnapFrequency(1085), 1090);  // halfway between 80 and 90
    EXPECT_EQ(SnapFrequency(95), 100);
    EXPECT_EQ(SnapFrequency(63), 66);      // halfway between 60 and 66
}

// ---------------------------------------------------------------- the rest of the probe

TEST(CPUProbeTest, PublishesItsPropertiesInOrder) {
    FakePlatform machine;
    TCPU cpu(machine);
    EXPECT_EQ(cpu.ExceptionMode(), TExceptionMode::emMessage);
    const PropertyTable table = cpu.publishedProperties();
    std::vector<std::string> names;
    for (const PublishedProperty& property : table.properties()) {
        names.push_back(property.name);
    }
    EXPECT_THAT(names, ElementsAre("ExceptionMode", "Count", "VendorEx", "VendorID", "Frequency", "Family",
                                   "Stepping", "Model", "Features", "Cache", "SerialNumber", "FDIVBug",
                                   "CodeName"));
    EXPECT_EQ(table.find("ExceptionMode")->text, "emMessage");
}

TEST(CPUProbeTest, FeaturesArePublishedInTheirOwnOrder) {
    FakeProcessor processor;
    processor.setVendor(1, "AuthenticAMD");
    processor.setLeaf(1, {0x00000562, 0, 0, 0x008001BF});
    processor.setLeaf(kExtended, {0x80000001, 0, 0, 0});
    processor.setLeaf(kExtended + 1, {0, 0, 0, 0x80000000});
    TCPUFeatures features(processor);
    features.GetInfo();
    const PropertyTable table = features.publishedProperties();
    ASSERT_EQ(table.properties().size(), kCPUFeatureCount);
    EXPECT_EQ(table.properties().front().name, "_3DNOW");
    EXPECT_EQ(table.properties().front().text, "True");
    EXPECT_EQ(table.properties()[2].name, "EX_MMX");
    EXPECT_EQ(table.properties()[8].name, "MMX");
    EXPECT_EQ(table.properties().back().name, "FPU");
    EXPECT_EQ(features.registers().eax, 0x562u);
}

// A processor whose answer to one leaf cannot be had: the refresh that asks fails.
class FailingLeafProcessor : public FakeProcessor {
public:
    explicit FailingLeafProcessor(uint32_t failingLeaf) : failingLeaf_(failingLeaf) {}
    CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf) override {
        if (leaf == failingLeaf_) {
            throw Exception("leaf refused");
        }
        return FakeProcessor::cpuid(leaf, subleaf);
    }

private:
    uint32_t failingLeaf_;
};

TEST(CPUProbeTest, AFailingCacheRefreshIsReportedAndTheRefreshGoesOn) {
    FakePlatform machine;
    FailingLeafProcessor processor(2);
    processor.setVendor(2, "GenuineIntel");
    processor.setLeaf(1, {0x00000672, 0, 0, 0x0383FBFF});
    TCPU cpu(machine, processor);
    cpu.GetInfo();
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
    EXPECT_EQ(machine.uiFake.errors[0].text, "TCPUCache.GetInfo: leaf refused");
    // The model name still comes, with the L2 size the failed refresh left at 0.
    EXPECT_EQ(cpu.VendorID(), "Pentium III");
    EXPECT_TRUE(cpu.Features().has(CPUFeature::SSE));
}

TEST(CPUProbeTest, AFailingFeatureRefreshFollowsTheExceptionMode) {
    FakePlatform machine;
    FailingLeafProcessor processor(0x80000001);
    processor.setVendor(1, "AuthenticAMD");
    processor.setLeaf(1, {0x00000621, 0, 0, 0x0183F9FF});
    processor.setLeaf(kExtended, {0x80000005, 0, 0, 0});
    TCPU cpu(machine, processor);
    cpu.setExceptionMode(TExceptionMode::emSilent);
    EXPECT_NO_THROW(cpu.GetInfo());
    EXPECT_TRUE(machine.uiFake.errors.empty());
    EXPECT_EQ(cpu.VendorID(), "Athlon");

    cpu.setExceptionMode(TExceptionMode::emRaise);
    try {
        cpu.GetInfo();
        FAIL() << "the failure did not reach the caller";
    } catch (const Exception& failure) {
        EXPECT_EQ(failure.message(), "TCPUFeatures.GetInfo: leaf refused");
    }
}

TEST(CPUProbeTest, TheDivisionFlawTestDividesTheKnownPairAndTakesAnyErrorForTheFlaw) {
    const double trueQuotient = 4195835.0 / 3145727.0;
    const struct {
        std::optional<double> quotient;
        bool flawed;
    } cases[] = {
        {std::nullopt, false},
        {kFlawedPentiumQuotient, true},
        {trueQuotient + 1e-9, true},
        {trueQuotient - 1e-9, true},
    };
    for (const auto& c : cases) {
        FakeProcessor processor;
        processor.scriptedQuotient = c.quotient;
        EXPECT_EQ(HasFDIVBug(processor), c.flawed) << c.quotient.value_or(0);
        EXPECT_THAT(processor.divisions, ElementsAre(std::pair(4195835.0, 3145727.0)));
    }
}

TEST(CPUProbeTest, ReportAppendsToWhatIsThere) {
    FakePlatform machine;
    TCPU cpu(machine);
    TStringList report;
    report.add(";banner");
    cpu.Report(report);
    EXPECT_EQ(report[0], ";banner");
    EXPECT_EQ(report[1], "[CPU]");
    EXPECT_EQ(report[report.count() - 1], "Intel Cache Description: ");
}

}  // namespace
}  // namespace vardak::probes
