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

TEST(GetCPUInfoTest, ReadsTheNameAndTheAMDFeaturesOfAMDProcessorsOnly) {
    const std::string full(48, 'B');
    const struct { const char* vendor; uint32_t highest; std::string brand, expectedName; bool amd; } cases[] = {
        {"GenuineIntel", 0x80000004, "Intel(R) Pentium(R) 4", "", false},
        {"AuthenticAMD", 0x80000001, "AMD Athlon", "", true},  // without the brand leaves
        {"AuthenticAMD", 0x80000004, "  AMD Athlon(tm) XP", "  AMD Athlon(tm) XP", true},
        {"AuthenticAMD", 0x80000008, full, full, true},
        {"AuthenticAMD", 0x80000000, "AMD", "", false}};  // without extended leaves
    for (const auto& c : cases) {
        SCOPED_TRACE(c.brand);
        FakeProcessor processor;
        processor.setVendor(1, c.vendor);
        processor.setLeaf(1, {0x00000F4A, 0, 0, 0x0383FBFF});
        processor.setLeaf(kExtended, {c.highest, 0, 0, 0});
        processor.setLeaf(kExtended + 1, {0, 0, 0, 0x80010800});  // all three AMD-only bits: 11, 16 and 31
        processor.setBrand(c.brand);
        TGrellCPUInfo info;
        info.CPUName = "left over";
        EXPECT_TRUE(GetCPUInfo(processor, info));
        EXPECT_EQ(info.IDString(), c.vendor);
        EXPECT_EQ(info.CPUName, c.expectedName);
        EXPECT_EQ((std::vector<int32_t>{info.Family, info.Model, info.Stepping}), (std::vector<int32_t>{15, 4, 10}));
        for (size_t index = 0; index < 16; ++index) EXPECT_EQ(info.Features[index], index < 13 || c.amd) << index;
    }
}

TEST(GetCPUInfoTest, WithoutTheInstructionAnAMDRecordAsksNothingAndLosesOnlyItsAMDValues) {
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
    EXPECT_EQ(info.IDString(), "AuthenticAMD");
    EXPECT_TRUE(info.Features[0]);
}

// ---------------------------------------------------------------- usage

std::vector<uint8_t> record(size_t size, size_t offset, uint64_t value) {
    std::vector<uint8_t> bytes(size, 0);
    bytes::putLittleEndian(bytes, offset, 8, value);
    return bytes;
}

TEST(SysProcessorUsageTest, TwoReadingsOneSecondApartGiveTheUsageOnTheNTLine) {
    constexpr uint64_t kSecond = 10'000'000;  // in 100 ns
    constexpr uint64_t kNearWrap = UINT64_MAX - kSecond / 2 + 1;
    struct Reading { uint64_t time, idle; };
    const struct { const char* label; uint8_t processors; Reading first, second; uint8_t usage;
                   bool answered = true; } cases[] = {
        {"QuarterIdle", 1, {kSecond, 100}, {2 * kSecond, 100 + kSecond / 4}, 76},
        {"TwoProcessorsHalfIdleRoundsToEven", 2, {0, 0}, {kSecond, kSecond}, 50},
        {"AllIdle", 1, {0, 0}, {kSecond, kSecond}, 0},
        {"NoTimePassed", 1, {kSecond, 0}, {kSecond, 5}, 255},
        {"TimeWrapped", 1, {kNearWrap, kNearWrap}, {kSecond / 2, kNearWrap + kSecond / 4}, 76},
        {"MoreIdleThanTimeIsClamped", 1, {0, 0}, {kSecond, 3 * kSecond}, 0},
        {"ClockSetBack", 1, {2 * kSecond, 0}, {kSecond, 0}, 255},
        {"NoProcessors", 0, {0, 0}, {kSecond, kSecond / 2}, 255},
        {"NoNativeQuery", 0, {}, {}, 255, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform machine;
        machine.systemFake.poseAsWindowsXP();
        if (c.answered) {
            std::vector<uint8_t> basic(44, 0);
            basic[40] = c.processors;
            machine.systemFake.nativeAnswers[0] = {basic};
            machine.systemFake.nativeAnswers[3] = {record(32, 8, c.first.time), record(32, 8, c.second.time)};
            machine.systemFake.nativeAnswers[2] = {record(312, 0, c.first.idle), record(312, 0, c.second.idle)};
        }
        TGrellSysProcessorObject processor(machine);
        processor.Retrieve();
        EXPECT_EQ(processor.Count(), c.processors);
        EXPECT_EQ(processor.ProcessorUsage(), c.usage);
        EXPECT_EQ(machine.processorFake.sleptMilliseconds, c.answered ? 1000u : 0u);  // not measured without the query
    }
}

TEST(SysProcessorUsageTest, On98TheKernelStatisticIsTheUsage) {
    const std::string stats =
        "REGEDIT4\n[HKEY_DYN_DATA\\PerfStats\\StartStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
        "[HKEY_DYN_DATA\\PerfStats\\StopStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
        "[HKEY_DYN_DATA\\PerfStats\\StatData]\n\"KERNEL\\\\CPUUsage\"=hex:";
    const std::pair<std::string, uint8_t> cases[] = {
        {"REGEDIT4\n", 255}, {stats + "2a,00,00,00\n", 42}, {stats + "ff,00,00,00\n", 100}};  // above 100: clamped
    for (const auto& [registry, usage] : cases) {
        SCOPED_TRACE(registry);
        FakePlatform machine;
        machine.systemFake.poseAsWindows98();
        machine.loadRegistry(registry);
        TGrellSysProcessorObject processor(machine);
        processor.Retrieve();
        EXPECT_EQ(processor.Count(), 1);
        EXPECT_EQ(processor.ProcessorUsage(), usage);
        EXPECT_EQ(machine.processorFake.sleptMilliseconds, 0u);
    }
}

// ---------------------------------------------------------------- the registry's processors

TEST(SysProcessorTest, ListsTheRegistrysNumberedKeysUpToTheFirstGap) {
    const std::pair<std::vector<int>, std::vector<int32_t>> cases[] = {
        {{}, {}}, {{0, 1}, {1000, -1}}, {{0, 2}, {1000}}};  // only key 0 has a clock
    for (const auto& [keys, expectedMHz] : cases) {
        FakePlatform machine;
        std::string reg = "REGEDIT4\n";
        for (const int key : keys) {
            reg += "[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\" + std::to_string(key) +
                   "]\n\"Identifier\"=\"x86 Family 6 Model " + std::to_string(key) +
                   "\"\n\"VendorIdentifier\"=\"GenuineIntel\"\n" + (key == 0 ? "\"~MHz\"=dword:000003e8\n" : "");
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
        EXPECT_EQ(mhz, expectedMHz);
    }
}

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
    const std::pair<size_t, std::string> spots[] = {
        {0, "Count: Byte = 1"}, {1, "ProcessorUsage: Byte = 255"}, {2, "IDString: String = GenuineIntel"},
        {3, "CPUName: String = "}, {4, "Stepping: Integer = 3"}, {5, "Model: Integer = 8"},
        {6, "Family: Integer = 6"}, {7, "FPU: Boolean = True"}, {8, "VirtualModeExtensions: Boolean = False"},
        {19, "MMX: Boolean = True"}, {20, "SYSCALLandSYSRET: Boolean = False"}, {23, "ExistCPUInfo: Boolean = True"}};
    for (const auto& [index, line] : spots) EXPECT_EQ(all[index], line);
}

}  // namespace
}  // namespace vardak::grell
