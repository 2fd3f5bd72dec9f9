// The power part of the platform seam: the system power status.
#pragma once

#include <cstdint>
#include <optional>

namespace vardak::platform {

// The platform's SYSTEM_POWER_STATUS record as it is returned.
struct PowerStatus {
    uint8_t acLineStatus = 255;        // 0 offline, 1 online, 255 unknown
    uint8_t batteryFlag = 255;         // 1 high, 2 low, 4 critical, 8 charging, 128 none; combined
    uint8_t batteryLifePercent = 255;  // 255 unknown
    uint32_t batteryLifeTime = 0xFFFFFFFF;      // seconds, all ones unknown
    uint32_t batteryFullLifeTime = 0xFFFFFFFF;  // seconds, all ones unknown

    bool operator==(const PowerStatus&) const = default;
};

class Power {
public:
    virtual ~Power() = default;
    // The status record, or nothing when the query fails.
    virtual std::optional<PowerStatus> systemPowerStatus() = 0;
};

}  // namespace vardak::platform
