#include "probes/overview/Vesk_CPUUsage.h"

#include <algorithm>
#include <cmath>

#include "platform/Bytes.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::probes {

namespace {

constexpr size_t kIdleTimeOffset = 0;
constexpr double kHundredNanosecondsPerMs = 10000.0;

}  // namespace

int32_t UsageBetween(const IdleReading& previous, const IdleReading& current) {
    // Unsigned, so a wrap of the 49.7-day tick count still gives the time between.
    const uint32_t elapsedMs = current.tickCount - previous.tickCount;
    if (elapsedMs == 0) return 0;
    const double idle = static_cast<double>(current.idleTime - previous.idleTime);
    const double busyShare = 1.0 - idle / (static_cast<double>(elapsedMs) * kHundredNanosecondsPerMs);
    return static_cast<int32_t>(std::clamp(std::nearbyint(busyShare * 100.0), 0.0, 100.0));
}

TOstrelCPUUsage::TOstrelCPUUsage(TComponent* owner, platform::Platform& platform,
                                 const platform::WindowTimerFactory& timers)
    : TComponent(owner), platform_(platform) {
    if (timers) timer_ = timers([this] { Measure(); });
}

TOstrelCPUUsage::~TOstrelCPUUsage() {
    timer_.reset();
    if (started_) stopSource();
}

void TOstrelCPUUsage::publishProperties(PropertyTable& table) const {
    TComponent::publishProperties(table);
    table.boolean("Active", Active()).cardinal("Interval", interval_).method("OnInterval", "TOnIntervalEvent");
}

void TOstrelCPUUsage::SetActive(bool active) {
    if (active) {
        if (!started_) started_ = startSource();
        timerEnabled_ = started_ && timer_ && timer_->start(interval_);
        return;
    }
    if (started_) {
        stopSource();
        started_ = false;
    }
    if (timer_) timer_->stop();
    timerEnabled_ = false;
}

void TOstrelCPUUsage::SetInterval(uint32_t milliseconds) {
    interval_ = milliseconds;
    if (timerEnabled_) timerEnabled_ = timer_->start(interval_);
}

bool TOstrelCPUUsage::startSource() {
    isNT_ = IsNTLine(platform_);
    lastReading_.reset();
    if (!isNT_) return PerfStatStart(platform_, kCPUUsageCounter);
    // The kernel refuses a buffer too short for its record; it grows a record at a time.
    for (uint32_t records = 1; records <= kMostProcessorRecords; ++records) {
        const uint32_t length = records * kProcessorPerformanceRecordSize;
        if (platform_.system().nativeSystemInformation(kProcessorPerformanceInformation, length)) {
            queryLength_ = length;
            return true;
        }
    }
    return false;
}

void TOstrelCPUUsage::stopSource() {
    if (isNT_) {
        queryLength_ = 0;
    } else {
        PerfStatStop(platform_, kCPUUsageCounter);
    }
    lastReading_.reset();
}

std::optional<IdleReading> TOstrelCPUUsage::readIdle() {
    const auto records = platform_.system().nativeSystemInformation(kProcessorPerformanceInformation, queryLength_);
    if (!records) return std::nullopt;
    const std::optional<uint64_t> idle = bytes::littleEndian(*records, kIdleTimeOffset, 8);
    if (!idle) return std::nullopt;
    return IdleReading{static_cast<int64_t>(*idle), platform_.system().tickCount()};
}

int32_t TOstrelCPUUsage::measureNT() {
    const std::optional<IdleReading> current = readIdle();
    // A failed query keeps the last reading, so the next one measures from there.
    if (!current) return 0;
    const int32_t value = lastReading_ ? UsageBetween(*lastReading_, *current) : 0;
    lastReading_ = current;
    return value;
}

int32_t TOstrelCPUUsage::measure9x() {
    const int64_t value = PerfStatRead(platform_, kCPUUsageCounter);
    if (value < 0) return -1;
    return static_cast<int32_t>(std::min<int64_t>(value, 100));
}

int32_t TOstrelCPUUsage::Measure() {
    if (!started_) return 0;
    const int32_t value = isNT_ ? measureNT() : measure9x();
    if (OnInterval) OnInterval(*this, value);
    return value;
}

}  // namespace vardak::probes
