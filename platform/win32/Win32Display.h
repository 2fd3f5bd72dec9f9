// The screen through GDI and the display modes through the user interface library.
#pragma once

#include "platform/Display.h"

namespace vardak::win32 {

class Win32Display final : public platform::Display {
public:
    std::unique_ptr<platform::DeviceContext> screenContext() override;
    std::optional<platform::DisplayMode> displayMode(uint32_t index) override;
};

}  // namespace vardak::win32
