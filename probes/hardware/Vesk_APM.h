// The power-management probe: mains power, the battery's charge state, its
// remaining percentage and its remaining and full life times, from the system
// power status.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

enum class TPowerStatus : uint8_t { psUnknown, psOffline, psOnline };
inline constexpr std::string_view kPowerStatusNames[] = {"psUnknown", "psOffline", "psOnline"};
// The report's words, by ordinal.
inline constexpr std::string_view kPowerStatusTexts[] = {"Unknown", "Offline", "Online"};

enum class TBatteryStatus : uint8_t { bsUnknown, bsHigh, bsLow, bsCritical, bsCharging, bsNoBattery };
inline constexpr std::string_view kBatteryStatusNames[] = {"bsUnknown",  "bsHigh",     "bsLow",
                                                           "bsCritical", "bsCharging", "bsNoBattery"};
inline constexpr std::string_view kBatteryStatusTexts[] = {"Unknown",  "High",     "Low",
                                                           "Critical", "Charging", "No Battery"};

// The mains state of a line-status byte: 0 offline, 1 online, anything else unknown.
TPowerStatus PowerStatusOf(uint8_t acLineStatus);
// The charge state of a battery-flag byte; only single states are known, so a
// combination such as charging at a high level (9) is unknown.
TBatteryStatus BatteryStatusOf(uint8_t batteryFlag);

class TAPM : public TPersistent {
public:
    // The percentage and times the platform reports when it does not know them.
    static constexpr uint8_t kUnknownPercent = 255;
    static constexpr uint32_t kUnknownTime = 0xFFFFFFFF;

    explicit TAPM(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TAPM"; }
    void publishProperties(PropertyTable& table) const override;

    // Resets everything to 0, then reads the power status; a failing query leaves
    // the reset values.
    void GetInfo();
    // Appends "[Advanced Power Management]"; the life times only where the
    // percentage is known.
    void Report(TStrings& report) const;

    TPowerStatus ACPowerStatus() const { return acPowerStatus_; }
    TBatteryStatus BatteryChargeStatus() const { return batteryChargeStatus_; }
    uint8_t BatteryLifePercent() const { return batteryLifePercent_; }
    uint32_t BatteryLifeTime() const { return batteryLifeTime_; }
    uint32_t BatteryLifeFullTime() const { return batteryLifeFullTime_; }

private:
    platform::Platform& platform_;
    TPowerStatus acPowerStatus_ = TPowerStatus::psUnknown;
    TBatteryStatus batteryChargeStatus_ = TBatteryStatus::bsUnknown;
    uint8_t batteryLifePercent_ = 0;
    uint32_t batteryLifeTime_ = 0;
    uint32_t batteryLifeFullTime_ = 0;
};

}  // namespace vardak::probes
