// The CPU probe on real processors: the cpuid_tool dumps of the shared test data,
// read by the dump reader, decoded by TCPU and checked against the facts libcpuid
// records for each of them and against what our own tables say about them.
#include "probes/hardware/CpuidDump.h"
#include "probes/hardware/Vesk_CPU.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const fs::path& dumpFolder() {
    static const fs::path folder = fs::path(VARDAK_TESTDATA_DIR) / "cpuid";
    return folder;
}

std::string readWholeFile(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

std::vector<std::string> dumpNames() {
    std::vector<std::string> names;
    if (!fs::is_directory(dumpFolder())) {
        return names;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(dumpFolder())) {
        const std::string file = entry.path().filename().string();
        if (file.size() > 4 && file.ends_with(".txt")) {
            names.push_back(file.substr(0, file.size() - 4));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// ---------------------------------------------------------------- the facts files

// The few shapes the facts files use: strings, integers and one array of strings.
class Facts {
public:
    explicit Facts(const std::string& json) : json_(json) {}

    std::string text(std::string_view key) const {
        size_t position = valueStart(key);
        return readString(position);
    }
    int64_t number(std::string_view key) const {
        const size_t position = valueStart(key);
        return std::stoll(json_.substr(position));
    }
    std::set<std::string> strings(std::string_view key) const {
        size_t position = valueStart(key);
        std::set<std::string> values;
        if (json_.at(position) != '[') {
            throw std::runtime_error("no array for " + std::string(key));
        }
        ++position;
        while (true) {
            position = json_.find_first_not_of(" ,", position);
            if (json_.at(position) == ']') {
                return values;
            }
            values.insert(readString(position));
        }
    }

private:
    size_t valueStart(std::string_view key) const {
        const std::string quotedKey = "\"" + std::string(key) + "\":";
        const size_t found = json_.find(quotedKey);
        if (found == std::string::npos) {
            throw std::runtime_error("no key " + std::string(key));
        }
        return json_.find_first_not_of(' ', found + quotedKey.size());
    }
    // Reads "..." at `position` and moves past it; only \" and \\ are escaped here.
    std::string readString(size_t& position) const {
        if (json_.at(position) != '"') {
            throw std::runtime_error("no string at " + std::to_string(position));
        }
        std::string value;
        for (++position; json_.at(position) != '"'; ++position) {
            if (json_[position] == '\\') {
                ++position;
            }
            value += json_.at(position);
        }
        ++position;
        return value;
    }

    std::string json_;
};

// libcpuid's names of the features; EX_MMX has none that matches it exactly.
const std::map<CPUFeature, std::string> kLibcpuidNames = {
    {CPUFeature::FPU, "fpu"},     {CPUFeature::VME, "vme"},     {CPUFeature::DE, "de"},
    {CPUFeature::PSE, "pse"},     {CPUFeature::TSC, "tsc"},     {CPUFeature::MSR, "msr"},
    {CPUFeature::PAE, "pae"},     {CPUFeature::MCE, "mce"},     {CPUFeature::CX8, "cx8"},
    {CPUFeature::APIC, "apic"},   {CPUFeature::SEP, "sep"},     {CPUFeature::MTRR, "mtrr"},
    {CPUFeature::PGE, "pge"},     {CPUFeature::MCA, "mca"},     {CPUFeature::CMOV, "cmov"},
    {CPUFeature::PAT, "pat"},     {CPUFeature::PSE36, "pse36"}, {CPUFeature::PSN, "pn"},
    {CPUFeature::CLFSH, "clflush"}, {CPUFeature::DS, "dts"},    {CPUFeature::ACPI, "acpi"},
    {CPUFeature::MMX, "mmx"},     {CPUFeature::FXSR, "fxsr"},   {CPUFeature::SSE, "sse"},
    {CPUFeature::SSE2, "sse2"},   {CPUFeature::SS, "ss"},       {CPUFeature::TM, "tm"},
    {CPUFeature::ThreeDNow, "3dnow"}, {CPUFeature::ExThreeDNow, "3dnowext"},
};

// Where libcpuid's view of a VIA part leaves out bits the processor does report.
const std::map<std::string, std::set<CPUFeature>> kLibcpuidOmits = {
    {"via_ezra_via-ezra", {CPUFeature::ThreeDNow}},
    {"via_samuel2_via-samuel-2", {CPUFeature::ThreeDNow}},
    {"via_isaiah_via-nano-processor", {CPUFeature::ACPI, CPUFeature::SS, CPUFeature::TM}},
    {"zhaoxin_lujiazui_zhaoxin-kaixian-kx-6000g", {CPUFeature::ACPI, CPUFeature::SS, CPUFeature::TM}},
};

std::string hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// ---------------------------------------------------------------- decoding a dump

struct Decoded {
    std::unique_ptr<testing::FakePlatform> machine = std::make_unique<testing::FakePlatform>();
    std::unique_ptr<DumpedProcessor> processor;
    std::unique_ptr<TCPU> cpu;
    std::vector<std::string> report;
};

Decoded decodeDump(const std::string& name) {
    Decoded decoded;
    decoded.processor =
        std::make_unique<DumpedProcessor>(CpuidDump::parse(readWholeFile(dumpFolder() / (name + ".txt"))));
    decoded.cpu = std::make_unique<TCPU>(*decoded.machine, *decoded.processor);
    decoded.cpu->GetInfo();
    TStringList report;
    decoded.cpu->Report(report);
    decoded.report = report.toVector();
    return decoded;
}

std::string valueOf(const std::vector<std::string>& report, const std::string& key) {
    for (const std::string& line : report) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "<missing " + key + ">";
}

class EveryDump : public ::testing::TestWithParam<std::string> {};

TEST_P(EveryDump, AgreesWithTheFactsOfItsProcessor) {
    const std::string name = GetParam();
    const Facts facts(readWholeFile(dumpFolder() / (name + ".facts.json")));
    const Decoded decoded = decodeDump(name);
    const TCPU& cpu = *decoded.cpu;

    EXPECT_EQ(cpu.vendorText(), facts.text("vendor"));
    EXPECT_EQ(hex8(cpu.signature().eax), facts.text("signature"));
    EXPECT_EQ(cpu.Family(), facts.number("family"));
    EXPECT_EQ(cpu.Model(), facts.number("model"));
    EXPECT_EQ(cpu.Stepping(), facts.number("stepping"));
    EXPECT_EQ(cpu.brandText(), facts.text("brand"));
    EXPECT_EQ(cpu.signature().edx, static_cast<uint32_t>(facts.number("leaf1_edx")));

    const std::set<std::string> flags = facts.strings("flags");
    const auto omitted = kLibcpuidOmits.find(name);
    for (const auto& [feature, libcpuidName] : kLibcpuidNames) {
        const bool libcpuidOmits = omitted != kLibcpuidOmits.end() && omitted->second.count(feature) != 0;
        EXPECT_EQ(cpu.Features().has(feature), flags.count(libcpuidName) != 0 || libcpuidOmits)
            << libcpuidName;
    }

    // AMD reports its first-level caches where libcpuid reads them too.
    if (cpu.Vendor() == "AMD" && facts.number("l1d") >= 0) {
        EXPECT_EQ(cpu.Cache().L1Data(), facts.number("l1d"));
        EXPECT_EQ(cpu.Cache().L1Code(), facts.number("l1i"));
        EXPECT_EQ(cpu.Cache().Level1(), facts.number("l1d") + facts.number("l1i"));
    }

    // Nothing was measured from a dump.
    EXPECT_EQ(valueOf(decoded.report, "Count"), "0");
    EXPECT_EQ(valueOf(decoded.report, "Frequency"), "0");
    EXPECT_EQ(valueOf(decoded.report, "EAX"), facts.text("signature"));
    EXPECT_EQ(valueOf(decoded.report, "Family"), std::to_string(facts.number("family")));
}

TEST_P(EveryDump, ReportsTheFourSectionsInOrder) {
    const Decoded decoded = decodeDump(GetParam());
    std::vector<std::string> sections;
    for (const std::string& line : decoded.report) {
        if (!line.empty() && line.front() == '[') {
            sections.push_back(line);
        } else {
            EXPECT_TRUE(line.find('=') != std::string::npos ||
                        line.rfind("Intel Cache Description: ", 0) == 0)
                << line;
        }
    }
    EXPECT_THAT(sections, ElementsAre("[CPU]", "[CPUID_CPUSIGNATURE]", "[CPU Features]", "[CPU Cache]"));
    EXPECT_EQ(decoded.report.size(), 4u + 11 + 4 + 30 + 5);
}

INSTANTIATE_TEST_SUITE_P(SharedTestData, EveryDump, ::testing::ValuesIn(dumpNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(name.begin(), name.end(),
                                             [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                                             '_');
                             return name;
                         });

TEST(SharedTestData, HoldsTheDumpsTheseTestsNeed) {
    const std::vector<std::string> names = dumpNames();
    EXPECT_GE(names.size(), 30u) << "no dumps in " << dumpFolder();
}

// ---------------------------------------------------------------- what our tables say

struct Expected {
    std::string dump;
    std::string vendor;
    std::string name;
    std::string codeName;
    int32_t transistors;
    int32_t l1Data, l1Code, level1, level2;
    std::string description;
    std::string serial = "";
};

void PrintTo(const Expected& expected, std::ostream* out) { *out << expected.dump; }

const std::string kDescription01 = "Instruction TLB, 4K pages, 4-way set associative, 32 entries";
const std::string kDescription0C = "Data cache, 16K, 4-way set associative, 32 byte line size";

class KnownDump : public ::testing::TestWithParam<Expected> {};

TEST_P(KnownDump, NamesTheProcessorAndItsCaches) {
    const Expected& expected = GetParam();
    const Decoded decoded = decodeDump(expected.dump);
    const TCPU& cpu = *decoded.cpu;
    EXPECT_EQ(cpu.Vendor(), expected.vendor);
    EXPECT_EQ(cpu.VendorID(), expected.name);
    EXPECT_EQ(cpu.CodeName(), expected.codeName);
    EXPECT_EQ(cpu.transistors(), expected.transistors);
    EXPECT_EQ(cpu.Cache().L1Data(), expected.l1Data);
    EXPECT_EQ(cpu.Cache().L1Code(), expected.l1Code);
    EXPECT_EQ(cpu.Cache().Level1(), expected.level1);
    EXPECT_EQ(cpu.Cache().Level2(), expected.level2);
    EXPECT_EQ(cpu.Cache().IntelDescription(), expected.description);
    EXPECT_EQ(cpu.SerialNumber(), expected.serial);
    EXPECT_EQ(valueOf(decoded.report, "VendorID"), expected.name);
    EXPECT_EQ(valueOf(decoded.report, "CodeName"), expected.codeName);
    EXPECT_EQ(valueOf(decoded.report, "Transistors"), std::to_string(expected.transistors));
    EXPECT_EQ(valueOf(decoded.report, "SerialNumber"), expected.serial);
    EXPECT_EQ(valueOf(decoded.report, "Level 2 Unified Cache"), std::to_string(expected.level2));
    EXPECT_EQ(decoded.report.back(), "Intel Cache Description: " + expected.description);
}

INSTANTIATE_TEST_SUITE_P(
    Processors, KnownDump,
    ::testing::Values(
        // Katmai: descriptors 0x43 (512K L2), 0x08 and 0x0C; the serial number is enabled.
        Expected{"intel_ia-32_p6_intel-pentium-iii-katmai", "Intel", "Pentium III", "Katmai (0.25 \xB5m)",
                 9500000, 16, 16, 0, 512, kDescription0C, "0000-0673-0000-D043-8EF1-8AEE"},
        Expected{"intel_ia-32_p6_intel-pentium-ii-dixon", "Intel", "Pentium II PE (mobile)",
                 "Dixon (0.25 \xB5m)", 27400000, 16, 16, 0, 256, kDescription0C},
        // Tualatin is model 11, past the table's rows: the family-6 fallback.
        Expected{"intel_ia-32_p6_intel-pentium-iii-cpu-family-1266mhz", "Intel", "Pentium II", "", 0, 16, 16,
                 0, 512, kDescription0C},
        // Descriptor 0x40 gives no L2; 0x04 is the last listed byte.
        Expected{"intel_ia-32_p6_intel-celeron-processor-600mhz", "Intel", "Pentium II", "", 0, 0, 0, 0, 0,
                 "Data TLB, 4M pages, 4-way set associative, 8 entries"},
        // Pentium 4: trace cache and sectored L2 descriptors, which give no Level2.
        Expected{"intel_ia-32_netburst_intel-celeron-cpu-1.70ghz", "Intel", "Pentium 4", "", 0, 0, 0, 0, 0,
                 "Instruction Trace cache, 8 way set associative, 12K uOps"},
        Expected{"intel_ia-32_netburst_intel-pentium-4-cpu-3.00ghz", "Intel", "Pentium 4", "", 0, 0, 0, 0, 0,
                 "Unified cache, sectored, 64 byte cache line, 8 way set associative, 1M"},
        Expected{"intel_ia-32_netburst_mobile-intel-pentium-4-m-cpu", "Intel", "Pentium 4", "", 0, 0, 0, 0, 0,
                 "Unified cache, sectored, 64 byte cache line, 8 way set associative, 512K"},
        Expected{"intel_x86-64_netburst_intel-pentium-4-cpu-3.73ghz-prescott", "Intel", "Pentium 4", "", 0, 0,
                 0, 0, 0, "Instruction Trace cache, 8 way set associative, 12K uOps"},
        // Modern Intel: only the count byte 0x01 is a listed descriptor.
        Expected{"intel_x86-64_core_intel-core2-quad-cpu-q6600", "Intel", "Pentium II", "", 0, 0, 0, 0, 0,
                 kDescription01},
        Expected{"intel_x86-64_golden-cove_12th-gen-intel-core-i9-12900k", "Intel", "Pentium III",
                 "Katmai (0.25 \xB5m)", 9500000, 0, 0, 0, 0, kDescription01},
        Expected{"amd_k5_amd-k5-pr100", "AMD", "K5", "SSA5 (0.50-0.35 \xB5m)", 4300000, 0, 0, 0, 0, ""},
        Expected{"amd_k6_amd-k6", "AMD", "K6", "K6 (0.30 \xB5m)", 8800000, 32, 32, 64, 0, ""},
        Expected{"amd_k6_amd-k6-iii+", "AMD", "K6-II+/K6-III+", "", 0, 32, 32, 64, 0, ""},
        Expected{"amd_k7_amd-k7-processor", "AMD", "K7", "Athlon (0.25-0.18 \xB5m)", 22000000, 64, 64, 128, 0,
                 ""},
        // Thoroughbred/Barton and Applebred are models 8 and 10, which the table lacks.
        Expected{"amd_k7_amd-athlon-xp-3200+", "AMD", "", "", 0, 64, 64, 128, 0, ""},
        Expected{"amd_k7_amd-duron-processor-applebred", "AMD", "", "", 0, 64, 64, 128, 0, ""},
        Expected{"amd_zen3_amd-ryzen-9-5950x-16-core-processor", "AMD", "", "", 0, 32, 32, 64, 0, ""},
        Expected{"via_ezra_via-ezra", "IDT", "", "", 0, 0, 0, 0, 0, ""},
        Expected{"zhaoxin_lujiazui_zhaoxin-kaixian-kx-6000g", "IDT", "", "", 0, 0, 0, 0, 0, ""}),
    [](const ::testing::TestParamInfo<Expected>& info) {
        std::string name = info.param.dump;
        std::replace_if(name.begin(), name.end(),
                        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

TEST(KnownDumpTest, IntelReturnsItsHighestLeafForAnExtendedOneAndWeIgnoreIt) {
    // The Dixon answers leaf 0x80000000 with its leaf-2 registers.
    const Decoded decoded = decodeDump("intel_ia-32_p6_intel-pentium-ii-dixon");
    EXPECT_EQ(decoded.cpu->brandText(), "");
    EXPECT_FALSE(decoded.cpu->Features().has(CPUFeature::ThreeDNow));
    EXPECT_FALSE(decoded.cpu->Features().has(CPUFeature::ExMMX));
}

TEST(KnownDumpTest, PentiumFourMobileDoesNotReadLeafThreePastItsHighestLeaf) {
    // Leaf 0 reports leaf 2 as the highest; the saved leaf 3 is a copy of leaf 2.
    const Decoded decoded = decodeDump("intel_ia-32_netburst_mobile-intel-pentium-4-m-cpu");
    EXPECT_EQ(decoded.cpu->highestLeaf(), 2u);
    EXPECT_EQ(decoded.cpu->SerialNumber(), "");
}

// ---------------------------------------------------------------- reading dumps

std::string dumpOf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// A minimal dump: leaf 0 (highest leaf 1, "GenuineIntel"), leaf 1 and an empty
// extended range, in the tool's layout.
std::vector<std::string> minimalDump() {
    return {"version=0.6.2",
            "",
            "_________________ Logical CPU #0 _________________",
            "basic_cpuid[0]=00000001 756e6547 6c65746e 49656e69",
            "basic_cpuid[1]=00000543 00000000 00000000 008001bf",
            "ext_cpuid[0]=00000000 00000000 00000000 00000000"};
}

std::string errorOf(const std::string& text) {
    try {
        CpuidDump::parse(text);
    } catch (const ECpuidDumpError& error) {
        return error.message();
    }
    return "<no error>";
}

TEST(CpuidDumpTest, ReadsTheRegistersOfTheFirstProcessorOnly) {
    std::vector<std::string> lines = minimalDump();
    lines.push_back("intel_fn4[1]=1c004122 01c0003f 0000003f 00000000");
    lines.push_back("");
    lines.push_back("_________________ Logical CPU #1 _________________");
    lines.push_back("basic_cpuid[0]=0000000d 68747541 444d4163 69746e65");
    lines.push_back("basic_cpuid[1]=garbage that is never read");
    const CpuidDump dump = CpuidDump::parse(dumpOf(lines));
    EXPECT_EQ(dump.registers(0, 0), (platform::CpuidRegisters{1, 0x756e6547, 0x6c65746e, 0x49656e69}));
    EXPECT_EQ(dump.registers(4, 1), (platform::CpuidRegisters{0x1c004122, 0x01c0003f, 0x3f, 0}));
    EXPECT_EQ(dump.registers(2, 0), std::nullopt);

    DumpedProcessor processor(dump);
    EXPECT_EQ(processor.cpuid(1, 7).eax, 0x543u) << "a leaf without sub-leaves ignores ECX";
    EXPECT_EQ(processor.performanceFrequency(), std::nullopt);
    EXPECT_EQ(processor.count(), 0u);
}

TEST(CpuidDumpTest, AcceptsCrLfLineEndsAndListsItDoesNotKnow) {
    std::string text;
    for (const std::string& line : minimalDump()) {
        text += line + "\r\n";
    }
    text += "amd_fn80000026h[0]=00000000 00000000 00000000 00000000\r\n";
    EXPECT_EQ(CpuidDump::parse(text).registers(1, 0)->edx, 0x008001BFu);
}

TEST(CpuidDumpTest, AFileThatIsNoDumpIsRefusedOnItsFirstLine) {
    EXPECT_EQ(errorOf("[CPU]\nCount=1\n"),
              "line 1: not a cpuid_tool dump: expected 'version=...', found '[CPU]'");
    EXPECT_EQ(errorOf(""), "line 1: the file is empty");
}

TEST(CpuidDumpTest, AMalformedLineIsNamed) {
    std::vector<std::string> lines = minimalDump();
    lines[4] = "basic_cpuid[1]=00000543 00000000 0000000 008001bf";  // seven digits
    EXPECT_THAT(errorOf(dumpOf(lines)), HasSubstr("line 5: expected 'name[index]=EAX EBX ECX EDX'"));
    lines[4] = "basic_cpuid[1]=00000543 00000000 00000000 008001bf 00000000";
    EXPECT_THAT(errorOf(dumpOf(lines)), HasSubstr("line 5: "));
    lines[4] = "basic_cpuid[x]=00000543 00000000 00000000 008001bf";
    EXPECT_THAT(errorOf(dumpOf(lines)), HasSubstr("line 5: "));
    lines[4] = "basic_cpuid[1]=0000054g 00000000 00000000 008001bf";
    EXPECT_THAT(errorOf(dumpOf(lines)), HasSubstr("line 5: "));
    lines[4] = std::string("basic_cpuid[1]=\x01\xFF", 17);
    EXPECT_THAT(errorOf(dumpOf(lines)), HasSubstr("found 'basic_cpuid[1]=?" "?'"));
}

TEST(CpuidDumpTest, ADumpCutInTheMiddleOfALineNamesThatLine) {
    std::string text = dumpOf(minimalDump());
    text = text.substr(0, text.find("008001bf") + 3);  // ends inside leaf 1's EDX
    EXPECT_THAT(errorOf(text), HasSubstr("line 5: "));
}

TEST(CpuidDumpTest, ADumpEndingBeforeTheLeavesLeafZeroPromisesIsTruncated) {
    std::vector<std::string> lines = minimalDump();
    lines.erase(lines.begin() + 4);  // leaf 1
    EXPECT_EQ(errorOf(dumpOf(lines)),
              "line 6: the dump ends without basic_cpuid[1]; leaf 0x00000000 reports leaves up to 0x00000001");
    lines = minimalDump();
    lines.pop_back();  // the extended range
    EXPECT_EQ(errorOf(dumpOf(lines)), "line 6: the dump ends without ext_cpuid[0] (leaf 0x80000000)");
    lines = {"version=0.6.2"};
    EXPECT_EQ(errorOf(dumpOf(lines)), "line 2: the dump ends without basic_cpuid[0] (leaf 0x00000000)");
}

TEST(CpuidDumpTest, ExtendedLeavesUpToTheReportedHighestMustBeThere) {
    std::vector<std::string> lines = minimalDump();
    lines.back() = "ext_cpuid[0]=80000002 00000000 00000000 00000000";
    lines.push_back("ext_cpuid[1]=00000000 00000000 00000000 00000000");
    EXPECT_EQ(errorOf(dumpOf(lines)),
              "line 8: the dump ends without ext_cpuid[2]; leaf 0x80000000 reports leaves up to 0x80000002");
}

TEST(CpuidDumpTest, ARepeatedEntryIsRefused) {
    std::vector<std::string> lines = minimalDump();
    lines.push_back(lines[4]);
    EXPECT_EQ(errorOf(dumpOf(lines)), "line 7: basic_cpuid[1] appears twice (first on line 5)");
}

TEST(CpuidDumpTest, EveryCutOfARealDumpIsAnErrorOrAUsableDump) {
    const std::string text = readWholeFile(dumpFolder() / "intel_ia-32_p6_intel-pentium-iii-katmai.txt");
    ASSERT_FALSE(text.empty());
    for (size_t length = 0; length <= text.size(); length += 7) {
        try {
            DumpedProcessor processor(CpuidDump::parse(text.substr(0, length)));
            testing::FakePlatform machine;
            TCPU cpu(machine, processor);
            cpu.GetInfo();
            EXPECT_EQ(cpu.Family(), 6) << length;
        } catch (const ECpuidDumpError& error) {
            EXPECT_THAT(error.message(), ::testing::StartsWith("line ")) << length;
        }
    }
}

}  // namespace
}  // namespace vardak::probes
