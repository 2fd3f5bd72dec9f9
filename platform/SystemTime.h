// A calendar date and time in the platform's SYSTEMTIME layout. Time-zone records
// use it for their transition dates: with a year an absolute date, without one a
// yearly rule (see TransitionToDateTime).
#pragma once

#include <cstdint>

namespace vardak::platform {

struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;      // 1..12; 0 in a time-zone record: no transition
    uint16_t dayOfWeek = 0;  // 0 = Sunday .. 6 = Saturday
    uint16_t day = 0;        // day of the month, or the occurrence 1..5 in a rule
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    bool operator==(const SystemTime&) const = default;
};

}  // namespace vardak::platform
