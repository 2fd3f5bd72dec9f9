// Operating-system facts through kernel32 and advapi32.
#pragma once

#include "platform/Platform.h"

namespace vardak::win32 {

class Win32System final : public platform::System {
public:
    platform::OSVersionInfo versionInfo() override;
    std::string computerName() override;
    std::string userName() override;
    std::string windowsDirectory() override;
    std::string systemDirectory() override;
    std::string tempDirectory() override;
    std::string programPath() override;
    std::string environmentBlock() override;
    platform::MemoryStatus memoryStatus() override;
    std::optional<platform::MemoryStatusEx> memoryStatusEx() override;
};

}  // namespace vardak::win32
