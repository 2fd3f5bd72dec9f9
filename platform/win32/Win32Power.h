// The system power status through kernel32.
#pragma once

#include "platform/Power.h"

namespace vardak::win32 {

class Win32Power final : public platform::Power {
public:
    std::optional<platform::PowerStatus> systemPowerStatus() override;
};

}  // namespace vardak::win32
