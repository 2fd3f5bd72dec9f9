// Operating-system facts through kernel32 and advapi32.
#pragma once

#include "platform/Platform.h"

namespace vardak::win32 {

class Win32System final : public platform::System {
public:
    platform::OSVersionInfo versionInfo() override;
    std::optional<platform::OSVersionInfoEx> versionInfoEx() override;
    std::string computerName() override;
    std::string userName() override;
    std::string windowsDirectory() override;
    std::string systemDirectory() override;
    std::string tempDirectory() override;
    std::string programPath() override;
    std::string environmentBlock() override;
    platform::MemoryStatus memoryStatus() override;
    std::optional<platform::MemoryStatusEx> memoryStatusEx() override;
    uint32_t tickCount() override;
    platform::SystemTime localTime() override;
    std::string dateTimeText(const platform::SystemTime& moment, bool withTime) override;
    std::vector<uint8_t> keyboardState() override;
    platform::CommandRun runCommand(const std::string& commandLine, uint32_t timeoutMs) override;
    std::string errorMessage(uint32_t code) override;
    platform::SystemInformation systemInformation() override;
    // Through the 95/98 kernel's 16-bit loader and flat thunk; NotAvailable elsewhere.
    platform::FreeResources16 freeSystemResources16(uint16_t kind) override;
    // ntdll's entry, looked up once; the buffer is grown once to the size the system
    // says it needs.
    std::optional<std::vector<uint8_t>> nativeSystemInformation(uint32_t infoClass, uint32_t length) override;
};

}  // namespace vardak::win32
