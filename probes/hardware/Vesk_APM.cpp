#include "probes/hardware/Vesk_APM.h"

#include <optional>

#include "probes/core/Ostrel_Datetime.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {
namespace {

struct BatteryFlagState {
    uint8_t flag;
    TBatteryStatus status;
};

constexpr BatteryFlagState kBatteryFlagStates[] = {
    {0, TBatteryStatus::bsHigh},     {1, TBatteryStatus::bsHigh},     {2, TBatteryStatus::bsLow},
    {4, TBatteryStatus::bsCritical}, {8, TBatteryStatus::bsCharging}, {128, TBatteryStatus::bsNoBattery},
};

constexpr uint8_t kHighestKnownPercent = 100;

std::string lifeTimeText(uint32_t seconds) {
    return FormatSeconds(static_cast<int64_t>(seconds), /*wholeSeconds=*/true, /*showAll=*/false,
                         /*compact=*/false);
}

}  // namespace

TPowerStatus PowerStatusOf(uint8_t acLineStatus) {
    switch (acLineStatus) {
        case 0: return TPowerStatus::psOffline;
        case 1: return TPowerStatus::psOnline;
        default: return TPowerStatus::psUnknown;
    }
}

TBatteryStatus BatteryStatusOf(uint8_t batteryFlag) {
    for (const BatteryFlagState& state : kBatteryFlagStates) {
        if (state.flag == batteryFlag) {
            return state.status;
        }
    }
    return TBatteryStatus::bsUnknown;
}

void TAPM::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ACPowerStatus", "TPowerStatus", kPowerStatusNames, acPowerStatus_)
        .enumeration("BatteryChargeStatus", "TBatteryStatus", kBatteryStatusNames, batteryChargeStatus_)
        .integer("BatteryLifePercent", batteryLifePercent_, "Byte")
        .cardinal("BatteryLifeTime", batteryLifeTime_)
        .cardinal("BatteryLifeFullTime", batteryLifeFullTime_);
}

void TAPM::GetInfo() {
    acPowerStatus_ = TPowerStatus::psUnknown;
    batteryChargeStatus_ = TBatteryStatus::bsUnknown;
    // A failed query measured nothing: the battery values stay unknown, so the report
    // shows no life times.
    batteryLifePercent_ = kUnknownPercent;
    batteryLifeTime_ = kUnknownTime;
    batteryLifeFullTime_ = kUnknownTime;
    const std::optional<platform::PowerStatus> status = platform_.power().systemPowerStatus();
    if (!status) {
        return;
    }
    acPowerStatus_ = PowerStatusOf(status->acLineStatus);
    batteryChargeStatus_ = BatteryStatusOf(status->batteryFlag);
    batteryLifePercent_ = status->batteryLifePercent;
    batteryLifeTime_ = status->batteryLifeTime;
    batteryLifeFullTime_ = status->batteryFullLifeTime;
}

void TAPM::Report(TStrings& report) const {
    addReportSection(report, "Advanced Power Management");
    addReportEntry(report, "ACPowerStatus", kPowerStatusTexts[static_cast<size_t>(acPowerStatus_)]);
    addReportEntry(report, "BatteryChargeStatus",
                   kBatteryStatusTexts[static_cast<size_t>(batteryChargeStatus_)]);
    if (batteryLifePercent_ <= kHighestKnownPercent) {
        addReportEntry(report, "BattreyLifeFullTime", lifeTimeText(batteryLifeFullTime_));
        addReportEntry(report, "BatteryLifeTime", lifeTimeText(batteryLifeTime_));
    }
}

}  // namespace vardak::probes
