// The application object's system services on Win32: a hidden window per timer pool
// that receives WM_TIMER, a named mutex, and the message box of the exception handler.
#pragma once

#include "grell/system/GrellApp.h"

namespace vardak::grell::win32 {

class Win32GrellHost final : public GrellHost {
public:
    std::unique_ptr<WindowTimer> createWindowTimer(std::function<void()> tick) override;
    std::unique_ptr<InstanceMutex> createInstanceMutex(const std::string& name) override;
    // Shows the error's message in a box captioned "Error".
    void handleException(const std::exception& error) override;
    std::string programPath() override;
};

}  // namespace vardak::grell::win32
