// The startup-entries probe: the programs Windows starts by itself, from the Run and
// RunOnce keys of the user and the machine, the user's and the common start-up
// folders, and the "run" and "load" lines of WIN.INI. Each entry has a name and a
// command.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

// Below the user's and the machine's root.
inline constexpr std::string_view kRunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunOnceKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The sources of the entries; RunOnce holds the user's entries, then the machine's.
enum class TStartupKind : uint8_t { HKCURun, HKLMRun, RunOnce, UserStartup, CommonStartup, WinIni };
inline constexpr size_t kStartupKindCount = 6;

class TStartup : public TPersistent {
public:
    explicit TStartup(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TStartup"; }
    void publishProperties(PropertyTable& table) const override;

    // Refills the six lists. A key, folder or file that is missing adds nothing; a
    // Run or RunOnce value that is not text is left out; a shortcut that does not
    // resolve is listed with its own path as command.
    void GetInfo();
    // Appends "[User Startup]", "[Common Startup]", "[HKLM Run]", "[HKCU Run]" and
    // "[Run Once]", each with "Count" and a "<name>=<command>" line per entry; the
    // WIN.INI entries count in RunsCount only.
    void Report(TStrings& report) const;

    // The entry names of one source; each line carries its command.
    const TStrings& Entries(TStartupKind kind) const { return lists_[static_cast<size_t>(kind)]; }
    // Empty for an index outside the list.
    std::string Name(TStartupKind kind, int index) const;
    std::string Command(TStartupKind kind, int index) const;
    // All entries of the six sources.
    int32_t RunsCount() const;

private:
    TStringList& list(TStartupKind kind) { return lists_[static_cast<size_t>(kind)]; }
    void add(TStartupKind kind, std::string_view name, std::string command);
    void readRunValues(platform::RootKey root, std::string_view path, TStartupKind kind);
    void readStartupFolder(int32_t folder, TStartupKind kind);
    void readWinIni();

    platform::Platform& platform_;
    std::array<TStringList, kStartupKindCount> lists_;
};

}  // namespace vardak::probes
