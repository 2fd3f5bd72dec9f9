// The processor clock: time-stamp cycles counted against the performance counter,
// and the usual clock a measured one stands for.
#pragma once

#include <cstdint>

#include "platform/Processor.h"

namespace vardak::probes {

struct TFrequencyInfo {
    uint32_t rawMHz = 0;
    uint32_t normalisedMHz = 0;
    uint32_t cycles = 0;        // time-stamp cycles counted over all runs
    uint32_t microseconds = 0;  // elapsed over all runs
};

// Counts time-stamp cycles against the performance counter in 3 to 20 timed runs,
// until three estimates in a row agree within 1 MHz. All zero without a performance
// counter or a time-stamp counter.
TFrequencyInfo MeasureFrequency(platform::Processor& processor);

// Rounds a clock to the nearest usual fraction of a hundred MHz (0, 20, 33, 50, 60,
// 66, 80, 90); a tie rounds up. 451 gives 450, 498 gives 500, 866 stays 866.
int32_t SnapFrequency(int32_t mhz);

}  // namespace vardak::probes
