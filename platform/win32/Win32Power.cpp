#include "platform/win32/Win32Power.h"

#include <windows.h>

namespace vardak::win32 {

std::optional<platform::PowerStatus> Win32Power::systemPowerStatus() {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) {
        return std::nullopt;
    }
    return platform::PowerStatus{status.ACLineStatus, status.BatteryFlag, status.BatteryLifePercent,
                                 status.BatteryLifeTime, status.BatteryFullLifeTime};
}

}  // namespace vardak::win32
