// Operating-system facts for tests: plain fields a test sets, with defaults of a
// Windows XP SP3 machine installed in C:\WINDOWS.
#pragma once

#include "platform/Platform.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vardak::testing {

enum class Windows95Release { Original, OSR1, OSR2, OSR25 };

class FakeSystem : public platform::System {
public:
    FakeSystem();

    platform::OSVersionInfo versionInfo() override { return version; }
    // `versionEx` with `version` as its basic part.
    std::optional<platform::OSVersionInfoEx> versionInfoEx() override;
    std::string computerName() override { return computer; }
    std::string userName() override { return user; }
    std::string windowsDirectory() override { return windowsFolder; }
    std::string systemDirectory() override { return systemFolder; }
    std::string tempDirectory() override { return tempFolder; }
    std::string programPath() override { return programFile; }
    std::string environmentBlock() override;
    platform::MemoryStatus memoryStatus() override { return memory; }
    std::optional<platform::MemoryStatusEx> memoryStatusEx() override { return memoryEx; }
    platform::SystemInformation systemInformation() override { return systemInfo; }
    // Answers `freeResources` for the kind, or NotAvailable where it has none.
    platform::FreeResources16 freeSystemResources16(uint16_t kind) override;
    uint32_t tickCount() override { return ticks; }
    platform::SystemTime localTime() override { return now; }
    // "YYYY-MM-DD", then " hh:mm:ss" when `withTime`.
    std::string dateTimeText(const platform::SystemTime& moment, bool withTime) override;
    std::vector<uint8_t> keyboardState() override { return keys; }
    // Records the command line and answers with `commandAnswer`, after calling
    // `onCommand` (which may, say, write the files a real command would).
    platform::CommandRun runCommand(const std::string& commandLine, uint32_t timeoutMs) override;
    // The text set in `errorTexts`, else "".
    std::string errorMessage(uint32_t code) override;
    // The next of the answers scripted for the class (the last one repeats), cut to
    // `length`; nothing for a class without answers, and nothing (using no answer) for a
    // length below the class's record size in `nativeRecordSizes`, as the system refuses it.
    std::optional<std::vector<uint8_t>> nativeSystemInformation(uint32_t infoClass, uint32_t length) override;

    // Version records as these systems report them. On the 95/98 line the build field
    // carries the major and minor version in its high word, as the real record does.
    // The poses of NT 4.0 Service Pack 6 and later carry the extended record as well
    // (a workstation, XP with its single-user terminal-services suite bit).
    // Only the version changes: folders and memory stay the test's business.
    void poseAsWindows95(Windows95Release release = Windows95Release::Original);
    void poseAsWindows98(bool secondEdition = false);
    void poseAsWindowsMe();
    void poseAsNT4(int servicePack = 6);
    void poseAsWindows2000(int servicePack = 4);
    void poseAsWindowsXP(int servicePack = 3);

    platform::OSVersionInfo version;
    // The extended record's own fields; nothing where the system has no such record.
    std::optional<platform::OSVersionInfoEx> versionEx;
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
    platform::SystemInformation systemInfo{4096, 0x10000, 0x7FFEFFFF, 65536};
    // The 16-bit query's answers by kind (0 system, 1 GDI, 2 user), and the kinds asked.
    std::vector<platform::FreeResources16> freeResources;
    std::vector<uint16_t> freeResourceQueries;
    uint32_t ticks = 0;
    platform::SystemTime now{2004, 6, 2, 15, 12, 30, 0, 0};
    std::vector<uint8_t> keys = std::vector<uint8_t>(256, 0);
    std::vector<std::string> commandLines;
    std::vector<uint32_t> commandTimeouts;
    std::function<void(const std::string& commandLine)> onCommand;
    platform::CommandRun commandAnswer{true, false, 0};
    std::map<uint32_t, std::string> errorTexts;
    // Native system-information answers by class, handed out in order.
    std::map<uint32_t, std::vector<std::vector<uint8_t>>> nativeAnswers;
    std::map<uint32_t, size_t> nativeQueries;
    // The smallest length a class takes, and the lengths asked of each class in order.
    std::map<uint32_t, uint32_t> nativeRecordSizes;
    std::map<uint32_t, std::vector<uint32_t>> nativeLengths;
};

}  // namespace vardak::testing
