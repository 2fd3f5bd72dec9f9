// The processor usage meter: usage between two readings (a late timer, no time
// between, a wrapped tick count), the NT line's buffer that grows until a record fits
// and the readings the timer hands on, the 95/98 statistic, and the gauge the CPU
// page draws.
#include "probes/overview/Vesk_CPUUsage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exception.h"
#include "platform/Bytes.h"
#include "probes/overview/Vesk_Painting.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeWindowTimer.h"

namespace vardak::probes {
namespace {

using testing::FakePlatform;

constexpr int64_t kSecond = 10'000'000;  // in 100 ns

TEST(CPUUsageMeterTest, UsageIsTheBusyShareOfTheMeasuredTime) {
    const struct {
        const char* label;
        IdleReading previous, current;
        int32_t usage;
    } cases[] = {
        {"FullyIdleSecond", {0, 1000}, {kSecond, 2000}, 0},
        {"HalfIdleHalfSecond", {kSecond, 0}, {kSecond + kSecond / 4, 500}, 50},
        {"BusySecond", {5, 1000}, {5, 2000}, 100},
        // The timer fired half a second late: the time measured counts, not the 1000 ms asked.
        {"LateTimer", {0, 1000}, {kSecond * 3 / 4, 2500}, 50},
        {"NoTimeBetween", {0, 1000}, {kSecond, 1000}, 0},
        {"MoreIdleThanTime", {0, 0}, {3 * kSecond, 1000}, 0},
        {"IdleTimeWentBack", {kSecond, 0}, {0, 1000}, 100},
        {"TickCountWrapped", {0, 0xFFFFFF00u}, {kSecond / 4, 0xFFFFFF00u + 1000u}, 75},
        {"RoundsHalfToEven", {0, 0}, {kSecond * 125 / 1000, 1000}, 88},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(UsageBetween(c.previous, c.current), c.usage);
    }
}

std::vector<uint8_t> performanceRecords(size_t records, int64_t firstIdle) {
    std::vector<uint8_t> bytes(records * 48, 0);
    bytes::putLittleEndian(bytes, 0, 8, static_cast<uint64_t>(firstIdle));
    bytes::putLittleEndian(bytes, 48, 8, static_cast<uint64_t>(kSecond * 1000));  // a second processor, never read
    return bytes;
}

struct Meter {
    explicit Meter(FakePlatform& machine) : usage(nullptr, machine, testing::fakeTimerFactory(timer)) {
        usage.OnInterval = [this](TObject& sender, int32_t value) {
            EXPECT_EQ(&sender, &usage);
            readings.push_back(value);
        };
    }
    // A tick of the timer `ms` after the last one.
    void tick(FakePlatform& machine, uint32_t ms) {
        machine.systemFake.ticks += ms;
        timer.tick();
    }
    testing::TimerState timer;
    TOstrelCPUUsage usage;
    std::vector<int32_t> readings;
};

TEST(CPUUsageMeterTest, TheNTLineGrowsTheBufferUntilARecordFitsAndKeepsItsLength) {
    const struct {
        const char* label;
        uint32_t recordSize;  // the smallest buffer the kernel takes
        uint32_t keptLength;
    } cases[] = {
        {"RecordOfItsFields", 44, 44},
        {"KernelRecordWithPadding", 48, 88},
        {"TwoPaddedRecords", 96, 132},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform machine;
        machine.systemFake.poseAsWindowsXP();
        machine.systemFake.nativeRecordSizes[kProcessorPerformanceInformation] = c.recordSize;
        machine.systemFake.nativeAnswers[kProcessorPerformanceInformation] = {
            performanceRecords(2, 0), performanceRecords(2, 0), performanceRecords(2, kSecond / 2),
            performanceRecords(2, kSecond / 2 + kSecond * 3 / 2)};
        machine.systemFake.ticks = 5000;
        Meter meter(machine);
        EXPECT_FALSE(meter.usage.Active());
        EXPECT_EQ(meter.usage.Interval(), 1000u);
        meter.usage.SetActive(true);
        EXPECT_TRUE(meter.usage.Active());
        EXPECT_TRUE(meter.timer.running);
        EXPECT_EQ(meter.timer.period, 1000u);
        EXPECT_EQ(meter.usage.QueryLength(), c.keptLength);

        meter.tick(machine, 1000);  // the first reading has nothing to compare with
        meter.tick(machine, 1000);  // half a second idle
        meter.tick(machine, 2000);  // late: three of four seconds idle
        EXPECT_EQ(meter.readings, (std::vector<int32_t>{0, 50, 25}));
        const std::vector<uint32_t>& lengths = machine.systemFake.nativeLengths[kProcessorPerformanceInformation];
        ASSERT_GE(lengths.size(), 3u);
        EXPECT_EQ(std::vector<uint32_t>(lengths.end() - 3, lengths.end()), std::vector<uint32_t>(3, c.keptLength));

        meter.usage.SetActive(false);
        EXPECT_FALSE(meter.usage.Active());
        EXPECT_FALSE(meter.timer.running);
        EXPECT_EQ(meter.usage.QueryLength(), 0u);
    }
}

TEST(CPUUsageMeterTest, TheTimerRunsOnlyWhenTheSourceStarted) {
    const struct {
        const char* label;
        bool answers;
        bool timers;
        bool refuse;
        bool active;
    } cases[] = {
        {"Started", true, true, false, true},
        {"NoQueryAnswers", false, true, false, false},
        {"NoTimerMade", true, false, false, false},
        {"NoSystemTimerLeft", true, true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform machine;
        machine.systemFake.poseAsWindows2000();
        if (c.answers) machine.systemFake.nativeAnswers[kProcessorPerformanceInformation] = {performanceRecords(1, 0)};
        testing::TimerState timer;
        timer.refuse = c.refuse;
        TOstrelCPUUsage usage(nullptr, machine, c.timers ? testing::fakeTimerFactory(timer) : nullptr);
        int events = 0;
        usage.OnInterval = [&](TObject&, int32_t) { ++events; };
        usage.SetActive(true);
        EXPECT_EQ(usage.Active(), c.active);
        EXPECT_EQ(timer.running, c.active);
        EXPECT_EQ(usage.Started(), c.answers);
        if (!c.answers) {
            EXPECT_EQ(usage.Measure(), 0);
            EXPECT_EQ(events, 0) << "nothing fires without a source";
            EXPECT_EQ(machine.systemFake.nativeLengths[kProcessorPerformanceInformation].size(), kMostProcessorRecords);
        }
    }
}

TEST(CPUUsageMeterTest, ANewIntervalRestartsARunningTimerAndAReStartBeginsAfresh) {
    FakePlatform machine;
    machine.systemFake.poseAsWindowsXP();
    machine.systemFake.nativeAnswers[kProcessorPerformanceInformation] = {
        performanceRecords(1, 0), performanceRecords(1, 0), performanceRecords(1, kSecond / 4),
        performanceRecords(1, kSecond / 4), performanceRecords(1, kSecond / 4)};
    Meter meter(machine);
    meter.usage.SetInterval(500);
    EXPECT_EQ(meter.timer.starts, 0) << "a stopped timer stays stopped";
    meter.usage.SetActive(true);
    EXPECT_EQ(meter.timer.period, 500u);
    meter.usage.SetInterval(250);
    EXPECT_EQ(meter.timer.period, 250u);
    EXPECT_EQ(meter.timer.starts, 2);
    meter.tick(machine, 250);
    meter.tick(machine, 250);  // fully idle
    meter.usage.SetActive(false);
    meter.usage.SetActive(true);
    meter.tick(machine, 250);  // the first reading of the new start
    meter.tick(machine, 0);    // the same moment: no time to divide by
    EXPECT_EQ(meter.readings, (std::vector<int32_t>{0, 0, 0, 0}));
}

TEST(CPUUsageMeterTest, On98TheKernelStatisticIsTheReading) {
    const std::string stats =
        "REGEDIT4\n[HKEY_DYN_DATA\\PerfStats\\StartStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
        "[HKEY_DYN_DATA\\PerfStats\\StopStat]\n\"KERNEL\\\\CPUUsage\"=hex:00,00,00,00\n"
        "[HKEY_DYN_DATA\\PerfStats\\StatData]\n";
    const struct {
        const char* label;
        std::string data;
        int32_t reading;
    } cases[] = {
        {"Percentage", "\"KERNEL\\\\CPUUsage\"=hex:2a,00,00,00\n", 42},
        {"AboveAHundred", "\"KERNEL\\\\CPUUsage\"=hex:2c,01,00,00\n", 100},
        {"Unreadable", "\"KERNEL\\\\CPUUsage\"=hex:2a,00\n", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform machine;
        machine.systemFake.poseAsWindows98();
        machine.loadRegistry(stats + c.data);
        Meter meter(machine);
        meter.usage.SetActive(true);
        EXPECT_TRUE(meter.usage.Active());
        meter.tick(machine, 1000);
        EXPECT_EQ(meter.readings, std::vector<int32_t>{c.reading});
        EXPECT_TRUE(machine.systemFake.nativeLengths.empty()) << "no native query on 98";
    }

    FakePlatform without;
    without.systemFake.poseAsWindows98();
    testing::TimerState timer;
    TOstrelCPUUsage usage(nullptr, without, testing::fakeTimerFactory(timer));
    EXPECT_THROW(usage.SetActive(true), Exception) << "the statistic's start raises to the caller";
    EXPECT_FALSE(usage.Active());
}

TEST(CPUUsageGaugeTest, GaugesOfBytesFitAThirtyTwoBitControl) {
    constexpr int64_t kMB = 1024 * 1024;
    const struct {
        const char* label;
        int64_t total, amount;
        GaugeRange range;
        int32_t percent;
    } cases[] = {
        {"SmallInBytes", 512 * kMB, 128 * kMB, {512 * kMB, 128 * kMB}, 25},
        {"JustTwoGB", INT32_MAX, INT32_MAX, {INT32_MAX, INT32_MAX}, 100},
        {"FourGBInMB", 4096 * kMB, 1024 * kMB, {4096, 1024}, 25},
        {"SixtyFourGBInMB", 65536 * kMB, 65536 * kMB, {65536, 65536}, 100},
        {"AmountAboveTotal", 100, 500, {100, 100}, 100},
        {"NegativeAmount", 100, -1, {100, 0}, 0},
        {"Empty", 0, 0, {0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(GaugeOfBytes(c.total, c.amount), c.range);
        EXPECT_EQ(GaugePercent(c.range), c.percent);
    }
}

TEST(CPUUsageGaugeTest, TheGaugeDrawsItsShareAndPercentage) {
    const PaintBox box{10, 20, 112, 37};
    const struct {
        GaugeRange range;
        int barWidth;  // 0: no bar
        std::string text;
        uint32_t textColour;
    } cases[] = {
        {{100, 0}, 0, "0%", kBlack},
        {{100, 42}, 42, "42%", kBlack},
        {{100, 50}, 50, "50%", kWhite},
        {{100, 100}, 100, "100%", kWhite},
        {{0, 0}, 0, "0%", kBlack},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const PaintedArea gauge = gaugePainting(box, c.range);
        ASSERT_EQ(gauge.shapes.size(), c.barWidth > 0 ? 3u : 2u);
        EXPECT_EQ(gauge.shapes[0].box, box);
        EXPECT_EQ(gauge.shapes[1].box, (PaintBox{11, 21, 111, 36}));
        if (c.barWidth > 0) {
            EXPECT_EQ(gauge.shapes[2].box, PaintBox::ofSize(11, 21, c.barWidth, 15));
            EXPECT_EQ(gauge.shapes[2].colour, kNavy);
        }
        ASSERT_EQ(gauge.texts.size(), 1u);
        EXPECT_EQ(gauge.texts[0].text, c.text);
        EXPECT_EQ(gauge.texts[0].colour, c.textColour);
        EXPECT_EQ(gauge.texts[0].placement, TextPlacement::Centre);
    }
}

}  // namespace
}  // namespace vardak::probes
