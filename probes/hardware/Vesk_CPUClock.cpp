#include "probes/hardware/Vesk_CPUClock.h"

#include <cstdlib>
#include <deque>
#include <numeric>
#include <optional>

#include "probes/hardware/Vesk_CPU.h"

namespace vardak::probes {

using platform::Processor;

namespace {

constexpr uint32_t kTimeStampCounterBit = 1u << 4;

bool hasTimeStampCounter(Processor& processor) {
    return (QueryCPUID(processor, 1).edx & kTimeStampCounterBit) != 0;
}

constexpr int kMinRuns = 3;
constexpr int kMaxRuns = 20;
// The classic run: 50 ticks to get in step with the counter, then 1000 timed ticks
// (0.84 ms on the 1.19 MHz counter). A faster counter gets as many ticks as make
// 40 us and 0.8 ms, so a run always spans about a millisecond and its elapsed time
// never rounds to nothing.
constexpr uint64_t kLeadInTicks = 50;
constexpr uint64_t kRunTicks = 1000;
constexpr uint64_t kLeadInsPerSecond = 25'000;
constexpr uint64_t kRunsPerSecond = 1'250;
// Differences are taken in the low 32 bits, so a run must fit in them.
constexpr uint64_t kLongestRunTicks = 0x7FFFFFFF;
// A counter that stops moving ends the measurement instead of hanging it.
constexpr uint64_t kMaxSpinReads = 50'000'000;

uint64_t ticksFor(uint64_t counterFrequency, uint64_t minimumTicks, uint64_t perSecondDivisor) {
    const uint64_t needed = (counterFrequency + perSecondDivisor - 1) / perSecondDivisor;
    return std::max(minimumTicks, needed);
}

// numerator / denominator rounded to the nearest integer, ties to even.
int64_t roundedQuotient(uint64_t numerator, uint64_t denominator) {
    const uint64_t quotient = numerator / denominator;
    const uint64_t remainder = numerator % denominator;
    const uint64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && (quotient & 1) != 0)) {
        return static_cast<int64_t>(quotient + 1);
    }
    return static_cast<int64_t>(quotient);
}

// Raises the thread to time-critical for one timed run, if its priority can be read.
class TimeCriticalSection {
public:
    explicit TimeCriticalSection(Processor& processor)
        : processor_(processor), previous_(processor.threadPriority()) {
        if (previous_) {
            processor_.setThreadPriority(platform::kTimeCriticalPriority);
        }
    }
    ~TimeCriticalSection() {
        if (previous_) {
            processor_.setThreadPriority(*previous_);
        }
    }
    TimeCriticalSection(const TimeCriticalSection&) = delete;
    TimeCriticalSection& operator=(const TimeCriticalSection&) = delete;

private:
    Processor& processor_;
    std::optional<int> previous_;
};

struct CounterReading {
    uint64_t counter = 0;
    uint32_t cycles = 0;  // low 32 bits of the time-stamp counter read right after
};

// Reads the counter (and the time-stamp counter after each read) until its low 32
// bits have moved at least `ticks` beyond `start`; nothing if it never gets there.
std::optional<CounterReading> spinUntil(Processor& processor, uint64_t start, uint64_t ticks) {
    for (uint64_t reads = 0; reads < kMaxSpinReads; ++reads) {
        CounterReading reading;
        reading.counter = processor.performanceCounter();
        reading.cycles = static_cast<uint32_t>(processor.timeStampCounter());
        if (static_cast<uint32_t>(reading.counter - start) >= ticks) {
            return reading;
        }
    }
    return std::nullopt;
}

struct TimedRun {
    uint32_t ticks = 0;
    uint32_t cycles = 0;
};

std::optional<TimedRun> timeOneRun(Processor& processor, uint64_t leadInTicks, uint64_t runTicks) {
    const uint64_t start = processor.performanceCounter();
    const TimeCriticalSection critical(processor);
    const std::optional<CounterReading> begin = spinUntil(processor, start, leadInTicks);
    if (!begin) {
        return std::nullopt;
    }
    const std::optional<CounterReading> end = spinUntil(processor, begin->counter, runTicks);
    if (!end) {
        return std::nullopt;
    }
    return TimedRun{static_cast<uint32_t>(end->counter - begin->counter), end->cycles - begin->cycles};
}

bool lastThreeAgree(const std::deque<int64_t>& estimates) {
    if (estimates.size() < 3) {
        return false;
    }
    const int64_t sum = std::accumulate(estimates.begin(), estimates.end(), int64_t{0});
    for (const int64_t estimate : estimates) {
        if (std::llabs(3 * estimate - sum) > 3) {
            return false;
        }
    }
    return true;
}

}  // namespace

TFrequencyInfo MeasureFrequency(Processor& processor) {
    const std::optional<uint64_t> counterFrequency = processor.performanceFrequency();
    if (!counterFrequency || *counterFrequency == 0 || !hasTimeStampCounter(processor)) {
        return {};
    }
    const uint64_t leadInTicks = ticksFor(*counterFrequency, kLeadInTicks, kLeadInsPerSecond);
    const uint64_t runTicks = ticksFor(*counterFrequency, kRunTicks, kRunsPerSecond);
    if (runTicks > kLongestRunTicks) {
        return {};
    }

    uint64_t totalCycles = 0;
    uint64_t totalMicroseconds = 0;
    std::deque<int64_t> lastEstimates;
    for (int run = 1; run <= kMaxRuns; ++run) {
        const std::optional<TimedRun> timed = timeOneRun(processor, leadInTicks, runTicks);
        if (!timed) {
            return {};
        }
        const auto microseconds =
            static_cast<uint64_t>(roundedQuotient(uint64_t{timed->ticks} * 1'000'000, *counterFrequency));
        totalCycles += timed->cycles;
        totalMicroseconds += microseconds;
        lastEstimates.push_back(microseconds == 0 ? 0 : roundedQuotient(timed->cycles, microseconds));
        if (lastEstimates.size() > 3) {
            lastEstimates.pop_front();
        }
        if (run >= kMinRuns && lastThreeAgree(lastEstimates)) {
            break;
        }
    }
    if (totalMicroseconds == 0) {
        return {};
    }

    int64_t tenths = roundedQuotient(totalCycles * 10, totalMicroseconds);
    const int64_t hundredths = roundedQuotient(totalCycles * 100, totalMicroseconds);
    if (hundredths - 10 * tenths >= 6) {
        ++tenths;
    }
    const int64_t raw = roundedQuotient(totalCycles, totalMicroseconds);
    const int64_t normalised = raw + (tenths - 10 * raw >= 6 ? 1 : 0);

    TFrequencyInfo info;
    info.rawMHz = static_cast<uint32_t>(raw);
    info.normalisedMHz = static_cast<uint32_t>(SnapFrequency(static_cast<int32_t>(normalised)));
    info.cycles = static_cast<uint32_t>(totalCycles);
    info.microseconds = static_cast<uint32_t>(totalMicroseconds);
    return info;
}

int32_t SnapFrequency(int32_t mhz) {
    constexpr int32_t kFractions[] = {0, 20, 33, 50, 60, 66, 80, 90, 100};
    if (mhz <= 0) {
        return mhz;
    }
    const int32_t remainder = mhz % 100;
    for (size_t index = 1; index < std::size(kFractions); ++index) {
        if (remainder < kFractions[index]) {
            const int32_t below = remainder - kFractions[index - 1];
            const int32_t above = kFractions[index] - remainder;
            return below < above ? mhz - below : mhz + above;
        }
    }
    return mhz;
}

}  // namespace vardak::probes
