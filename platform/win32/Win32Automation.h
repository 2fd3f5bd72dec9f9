// Automation objects through COM: the program id's class, its running object or a new
// instance, and properties read through IDispatch.
#pragma once

#include "platform/Automation.h"

namespace vardak::win32 {

class Win32Automation final : public platform::Automation {
public:
    bool begin() override;
    void end() override;
    std::unique_ptr<platform::AutomationObject> object(const std::string& programId) override;
};

}  // namespace vardak::win32
