// Operating-system facts for tests: plain fields a test sets, with defaults of a
// Windows XP SP3 machine installed in C:\WINDOWS.
#pragma once

#include "platform/Platform.h"

#include <optional>
#include <string>
#include <vector>

namespace vardak::testing {

enum class Windows95Release { Original, OSR1, OSR2, OSR25 };

class FakeSystem : public platform::System {
public:
    FakeSystem();

    platform::OSVersionInfo versionInfo() override { return version; }
    std::string computerName() override { return computer; }
    std::string userName() override { return user; }
    std::string windowsDirectory() override { return windowsFolder; }
    std::string systemDirectory() override { return systemFolder; }
    std::string tempDirectory() override { return tempFolder; }
    std::string programPath() override { return programFile; }
    std::string environmentBlock() override;
    platform::MemoryStatus memoryStatus() override { return memory; }
    std::optional<platform::MemoryStatusEx> memoryStatusEx() override { return memoryEx; }

    // Version records as these systems report them. On the 95/98 line the build field
    // carries the major and minor version in its high word, as the real record does.
    // Only the version changes: folders and memory stay the test's business.
    void poseAsWindows95(Windows95Release release = Windows95Release::Original);
    void poseAsWindows98(bool secondEdition = false);
    void poseAsWindowsMe();
    void poseAsNT4(int servicePack = 6);
    void poseAsWindows2000(int servicePack = 4);
    void poseAsWindowsXP(int servicePack = 3);

    platform::OSVersionInfo version;
    std::string computer = "VARDAK-TEST";
    std::string user = "Tester";
    std::string windowsFolder = "C:\\WINDOWS";
    std::string systemFolder = "C:\\WINDOWS\\SYSTEM32";
    std::string tempFolder = "C:\\WINDOWS\\TEMP";
    std::string programFile = "C:\\Program Files\\Vardak\\Vardak.exe";
    // "NAME=VALUE" entries, in block order.
    std::vector<std::string> environment;
    platform::MemoryStatus memory;
    std::optional<platform::MemoryStatusEx> memoryEx;
};

}  // namespace vardak::testing
