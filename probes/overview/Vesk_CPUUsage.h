// The processor usage meter: a non-visual component that measures the load of the
// processor at a fixed interval and hands each reading, a whole percentage, to its
// OnInterval event. The overview window keeps one running once a second.
//
// On the NT line a reading is the first processor's idle time from the kernel's
// processor performance records (native information class 8) and the tick count; the
// usage is the share of the time measured between two readings in which that
// processor was not idle. On the 95/98 line a reading is the kernel's own usage
// statistic of the dynamic-data root, already a percentage.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "platform/WindowTimer.h"

namespace vardak::probes {

// Native information class 8 and the size the meter takes for its records: the
// record's fields without the padding the kernel adds (it answers 48-byte records
// and refuses a buffer too short for one, so the buffer grows until one fits).
inline constexpr uint32_t kProcessorPerformanceInformation = 8;
inline constexpr uint32_t kProcessorPerformanceRecordSize = 44;
// How far the buffer grows before the query counts as failed: a record per processor
// of the largest 32-bit system.
inline constexpr uint32_t kMostProcessorRecords = 32;
// The 95/98 statistic.
inline constexpr std::string_view kCPUUsageCounter = "KERNEL\\CPUUsage";
inline constexpr uint32_t kDefaultUsageInterval = 1000;

// Each reading: the sender and the usage in percent, 0..100; on the 95/98 line -1
// when the statistic cannot be read.
using TOnIntervalEvent = std::function<void(TObject& sender, int32_t value)>;

// One reading of the NT line: the first processor's idle time (100 ns units) and the
// tick count (ms) when it was read.
struct IdleReading {
    int64_t idleTime = 0;
    uint32_t tickCount = 0;
};

// The usage between two readings: the share of the measured time (the tick counts'
// difference, across their wrap) in which the processor was not idle, rounded half
// to even and clamped to 0..100; 0 when no time passed.
int32_t UsageBetween(const IdleReading& previous, const IdleReading& current);

class TOstrelCPUUsage : public TComponent {
public:
    // The timer comes from `timers`, made stopped with the default interval; without
    // one the meter never runs.
    TOstrelCPUUsage(TComponent* owner, platform::Platform& platform, const platform::WindowTimerFactory& timers);
    ~TOstrelCPUUsage() override;

    std::string_view className() const override { return "TOstrelCPUUsage"; }
    void publishProperties(PropertyTable& table) const override;

    // Whether the timer runs.
    bool Active() const { return timerEnabled_; }
    // True starts the measurement source and, when it started, the timer; on the
    // 95/98 line the statistic's start raises its errors to the caller. False stops
    // both.
    void SetActive(bool active);
    uint32_t Interval() const { return interval_; }
    // A running timer goes on with the new interval.
    void SetInterval(uint32_t milliseconds);

    TOnIntervalEvent OnInterval;

    // One measurement, as each tick of the timer runs it: the reading handed to
    // OnInterval. The first reading after the start gives 0.
    int32_t Measure();

    // The buffer length the NT line's queries use, 0 while the source is stopped.
    uint32_t QueryLength() const { return queryLength_; }
    bool Started() const { return started_; }

private:
    bool startSource();
    void stopSource();
    std::optional<IdleReading> readIdle();
    int32_t measureNT();
    int32_t measure9x();

    platform::Platform& platform_;
    std::unique_ptr<platform::WindowTimer> timer_;
    uint32_t interval_ = kDefaultUsageInterval;
    bool timerEnabled_ = false;
    bool started_ = false;
    bool isNT_ = false;
    uint32_t queryLength_ = 0;
    std::optional<IdleReading> lastReading_;
};

}  // namespace vardak::probes
