// The processor component: the identification of processors of each kind, the usage
// from two scripted readings of the NT line's counters (and the 95/98 statistic),
// and the processors the registry lists.
#include "grell/system/GrellSysProcessor.h"

#include <gtest/gtest.h>

#include "platform/Bytes.h"
#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

using testing::FakePlatform;
using testing::FakeProcessor;

constexpr uint32_t kExtended = 0x80000000;
// All three AMD-only feature bits: 11, 16 and 31.
constexpr uint32_t kAllAMDBits = 0x80010800;

struct IdentificationCase {
    const char* label;
    const char* vendor;
    uint32_t highestExtended;
    std::string brand;
    std::string expectedName;
    bool amdFeatures;
};

class IdentificationTest : public ::testing::TestWithParam<IdentificationCase> {};

TEST_P(IdentificationTest, ReadsTheNameAndTheAMDFeaturesOfAMDProcessorsOnly) {
    const IdentificationCase& entry = GetParam();
    FakeProcessor processor;
    processor.setVendor(1, entry.vendor);
    processor.setLeaf(1, {0x00000F4A, 0, 0, 0x0383FBFF});
    processor.setLeaf(kExtended, {entry.highestExtended, 0, 0, 0});
    processor.setLeaf(kExtended + 1, {0, 0, 0, kAllAMDBits});
    processor.setBrand(entry.brand);
    TGrellCPUInfo info;
    info.CPUName = "left over";
    EXPECT_TRUE(GetCPUInfo(processor, info));
    EXPECT_EQ(info.IDString(), entry.vendor);
    EXPECT_EQ(info.CPUName, entry.expectedName);
    EXPECT_EQ((std::vector<int32_t>{info.Family, info.Model, info.Stepping}), (std::vector<int32_t>{15, 4, 10}));
    for (size_t index = 0; index < 13; ++index) EXPECT_TRUE(info.Features[index]) << index;
    for (size_t index = 13; index < 16; ++index) EXPECT_EQ(info.Features[index], entry.amdFeatures) << index;
}

const std::string kFullBrand(48, 'B');

INSTANTIATE_TEST_SUITE_P(Processors, IdentificationTest,
                         ::testing::Values(
                             IdentificationCase{"Intel", "GenuineIntel", 0x80000004, "Intel(R) Pentium(R) 4", "", false},
                             IdentificationCase{"AMDWithoutBrandLeaves", "AuthenticAMD", 0x80000001, "AMD Athlon", "",
                                                true},
                             IdentificationCase{"AMDBrandWithLeadingBlanks", "AuthenticAMD", 0x80000004,
                                                "  AMD Athlon(tm) XP", "  AMD Athlon(tm) XP", true},
                             IdentificationCase{"AMDBrandOfAll48Bytes", "AuthenticAMD", 0x80000008, kFullBrand,
                                                kFullBrand, true},
                             IdentificationCase{"AMDWithoutExtendedLeaves", "AuthenticAMD", 0x80000000, "AMD", "",
                                                false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(GetCPUInfoTest, WithoutTheInstructionAnAMDRecordAsksNothingAndLosesItsAMDValues) {
    FakeProcessor processor;
    processor.cpuidPresent = false;
    TGrellCPUInfo info;
    const std::string amd = "AuthenticAMD";
    std::copy(amd.begin(), amd.end(), info.VendorID.begin());
    info.Features.fill(true);
    info.CPUName = "AMD Athlon";
    EXPECT_FALSE(GetCPUInfo(processor, info));
    EXPECT_TRUE(processor.queries.empty());
    EXPECT_EQ(info.CPUName, "");
    EXPECT_FALSE(info.Features[13] || info.Features[14] || info.Features[15]);
    // The rest of the record stays as it was.
    EXPECT_EQ(info.IDString(), "AuthenticAMD");
    EXPECT_TRUE(info.Features[0]);
}

// ---------------------------------------------------------------- usage

std::vector<uint8_t> record(size_t size, size_t offset, uint64_t value) {
    std::vector<uint8_t> bytes(size, 0);
    bytes::putLittleEndian(bytes, offset, 8, value);
    return bytes;
}

struct Reading {
    uint64_t time;
    uint64_t idle;
};

struct UsageCase {
    const char* label;
    uint8_t processors;
    Reading first;
    Reading second;
    uint8_t expectedUsage;
};

class UsageTest : public ::testing::TestWithParam<UsageCase> {};

constexpr uint64_t kSecond = 10'000'000;  // in 100 ns

TEST_P(UsageTest, TwoReadingsHalfASecondApartGiveTheUsage) {
    const UsageCase& entry = GetParam();
    FakePlatform machine;
    machine.systemFake.poseAsWindowsXP();
    std::vector<uint8_t> basic(44, 0);
    basic[40] = entry.processors;
    machine.systemFake.nativeAnswers[0] = {basic};
    machine.systemFake.nativeAnswers[3] = {record(32, 8, entry.first.time), record(32, 8, entry.second.time)};
    machine.systemFake.nativeAnswers[2] = {record(312, 0, entry.first.idle), record(312, 0, entry.second.idle)};
    TGrellSysProcessorObject processor(machine);
    processor.Retrieve();
    EXPECT_EQ(processor.Count(), entry.processors);
    EXPECT_EQ(processor.ProcessorUsage(), entry.expectedUsage);
    EXPECT_EQ(machine.processorFake.sleptMilliseconds, 1000u);
}

constexpr uint64_t kNearWrap = UINT64_MAX - kSecond / 2 + 1;

INSTANTIATE_TEST_SUITE_P(
    Readings, UsageTest,
    ::testing::Values(UsageCase{"QuarterIdle", 1, {kSecond, 100}, {2 * kSecond, 100 + kSecond / 4}, 76},
                      UsageCase{"TwoProcessorsHalfIdleRoundsToEven", 2, {0, 0}, {kSecond, kSecond}, 50},
                      UsageCase{"AllIdle", 1, {0, 0}, {kSecond, kSecond}, 0},
                      UsageCase{"NoTimePassed", 1, {kSecond, 0}, {kSecond, 5}, 255},
                      UsageCase{"TimeWrapped", 1, {kNearWrap, kNearWrap}, {kSecond / 2, kNearWrap + kSecond / 4}, 76},
                      UsageCase{"MoreIdleThanTimeIsClamped", 1, {0, 0}, {kSecond, 3 * kSecond}, 0},
                      UsageCase{"ClockSetBack", 1, {2 * kSecond, 0}, {kSecond, 0}, 255},
                      UsageCase{"NoProcessors", 0, {0, 0}, {kSecond, kSecond / 2}, 255}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SysProcessorUsageTest, WithoutTheNativeQueryTheUsageIsNotMeasured) {
    FakePlatform machine;
    machine.systemFake.poseAsWindowsXP();
    TGrellSysProcessorObject processor(machine);
    processor.Retrieve();
    EXPECT_EQ(processor.Count(), 0);
    EXPECT_EQ(processor.ProcessorUsage(), 255);
    EXPECT_EQ(machine.processorFake.sleptMilliseconds, 0u);
}

struct StatisticCase {
    const char* label;
    std::string registry;
    uint8_t expectedUsage;
};

class StatisticTest : public ::testing::TestWithParam<StatisticCase> {};

TEST_P(StatisticTest, On98TheKernelStatisticIsTheUsage) {
    FakePlatform machine;
    machine.systemFake.poseAsWindows98();
    machine.loadRegistry(GetParam().registry);
    TGrellSysProcessorObject processor(machine);
    processor.Retrieve();
    EXPECT_EQ(processor.Count(), 1);
    EXPECT_EQ(processor.ProcessorUsage(), GetParam().expectedUsage);
    EXPECT_EQ(machine.processorFake.sleptMilliseconds, 0u);
}

const std::string kPerfStats =
    "REGEDIT4\n[HKEY_DYN_DATA\\PerfStats\\StartStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
    "[HKEY_DYN_DATA\\PerfStats\\StopStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
    "[HKEY_DYN_DATA\\PerfStats\\StatData]\n";

INSTANTIATE_TEST_SUITE_P(
    Statistics, StatisticTest,
    ::testing::Values(StatisticCase{"NoStatistics", "REGEDIT4\n", 255},
                      StatisticCase{"FortyTwo", kPerfStats + "\"KERNEL\\\\CPUUsage\"=hex:2a,00,00,00\n", 42},
                      StatisticCase{"AboveOneHundredIsClamped", kPerfStats + "\"KERNEL\\\\CPUUsage\"=hex:ff,00,00,00\n",
                                    100}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------- the registry's processors

struct RegistryCase {
    const char* label;
    std::vector<int> keys;
    std::vector<int32_t> expectedMHz;
};

class ProcessorsInfoTest : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(ProcessorsInfoTest, ListsTheNumberedKeysUpToTheFirstGap) {
    FakePlatform machine;
    std::string reg = "REGEDIT4\n";
    for (const int key : GetParam().keys) {
        reg += "[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\" + std::to_string(key) +
               "]\n\"Identifier\"=\"x86 Family 6 Model " + std::to_string(key) +
               "\"\n\"VendorIdentifier\"=\"GenuineIntel\"\n";
        if (key == 0) reg += "\"~MHz\"=dword:000003e8\n";
    }
    machine.loadRegistry(reg);
    TGrellSysProcessorObject processor(machine);
    processor.Retrieve();
    const TGrellProcessorsInfo& items = processor.ProcessorsInfo();
    std::vector<int32_t> mhz;
    for (int index = 0; index < items.count(); ++index) {
        mhz.push_back(items.Item(index).MHz);
        EXPECT_EQ(items.Item(index).Identifier, "x86 Family 6 Model " + std::to_string(index));
        EXPECT_EQ(items.Item(index).VendorIdentifier, "GenuineIntel");
    }
    EXPECT_EQ(mhz, GetParam().expectedMHz);
}

INSTANTIATE_TEST_SUITE_P(Keys, ProcessorsInfoTest,
                         ::testing::Values(RegistryCase{"None", {}, {}},
                                           RegistryCase{"TwoInOrderTheSecondWithoutClock", {0, 1}, {1000, -1}},
                                           RegistryCase{"AGapEndsTheList", {0, 2}, {1000}}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(SysProcessorTest, TheComponentListsItsObjectInPublishedOrder) {
    FakePlatform machine;
    machine.systemFake.poseAsWindows98();
    machine.processorFake.setVendor(1, "GenuineIntel");
    machine.processorFake.setLeaf(1, {0x00000683, 0, 0, 0x00800001});
    TComponent form{nullptr};
    auto* component = new TGrellSysProcessor(&form, machine);
    component->Refresh();
    TStringList lines;
    component->Processor().ListPropertiesTyped(lines);
    const std::vector<std::string> all = lines.toVector();
    ASSERT_EQ(all.size(), 24u);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 9),
              (std::vector<std::string>{"Count: Byte = 1", "ProcessorUsage: Byte = 255", "IDString: String = GenuineIntel",
                                        "CPUName: String = ", "Stepping: Integer = 3", "Model: Integer = 8",
                                        "Family: Integer = 6", "FPU: Boolean = True",
                                        "VirtualModeExtensions: Boolean = False"}));
    EXPECT_EQ(all[19], "MMX: Boolean = True");
    EXPECT_EQ(all[20], "SYSCALLandSYSRET: Boolean = False");
    EXPECT_EQ(all[23], "ExistCPUInfo: Boolean = True");
}

}  // namespace
}  // namespace vardak::grell
