#include "tests/wine/WineChildren.h"

#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/software/Vesk_OS.h"
#include "tests/wine/MemoryChildren.h"
#include "tests/wine/OstrelChildren.h"

#include <string>

namespace vardak::winetest {
namespace {

using platform::Platform;

void field(Platform& platform, const std::string& name, const std::string& value) {
    platform.ui().writeLine(name + "=" + value);
}

int reportVersion(Platform& platform) {
    const platform::OSVersionInfo version = platform.system().versionInfo();
    field(platform, "major", std::to_string(version.major));
    field(platform, "minor", std::to_string(version.minor));
    field(platform, "build", std::to_string(version.build));
    field(platform, "platform", std::to_string(static_cast<uint32_t>(version.platform)));
    field(platform, "csd", version.csdVersion);
    return 0;
}

int reportMemory(Platform& platform) {
    const platform::MemoryStatus legacy = platform.system().memoryStatus();
    field(platform, "legacy.length", std::to_string(legacy.length));
    field(platform, "legacy.load", std::to_string(legacy.memoryLoad));
    field(platform, "legacy.totalPhys", std::to_string(legacy.totalPhys));
    field(platform, "legacy.availPhys", std::to_string(legacy.availPhys));
    const std::optional<platform::MemoryStatusEx> extended = platform.system().memoryStatusEx();
    field(platform, "extended", extended ? "yes" : "no");
    if (extended) {
        field(platform, "extended.load", std::to_string(extended->memoryLoad));
        field(platform, "extended.totalPhys", std::to_string(extended->totalPhys));
        field(platform, "extended.availPhys", std::to_string(extended->availPhys));
    }
    return 0;
}

// The operating-system probe: "os.EditionText=<text>" and every report line as
// "os.<section>.<line>"; a failing sub-object is written as a line by the console notifier.
int reportVeskOS(Platform& platform) {
    const probes::OstrelRoutinesSession session(platform);
    probes::TOperatingSystem os(platform);
    os.GetInfo();
    field(platform, "os.EditionText", os.EditionText);
    TStringList report;
    os.Report(report);
    std::string section;
    for (const std::string& line : report.toVector()) {
        if (!line.empty() && line.front() == '[') {
            section = line.substr(1, line.size() - 2);
        } else {
            platform.ui().writeLine("os." + section + "." + line);
        }
    }
    return 0;
}

// Everything a posed test looks at, from one process: under Wine every process
// start is expensive.
int report(Platform& platform) {
    reportVersion(platform);
    reportOstrelFacts(platform);
    reportVeskOS(platform);
    return reportMemory(platform);
}

struct ChildMode {
    std::string_view name;
    int (*run)(Platform&);
};

constexpr ChildMode kChildModes[] = {
    {"version", reportVersion},
    {"memory", reportMemory},
    {"report", report},
    {"vesk-memory", reportVeskMemory},
};

}  // namespace

std::optional<int> runChildMode(std::string_view name) {
    for (const ChildMode& mode : kChildModes) {
        if (mode.name == name) {
            win32::Win32Platform platform(/*console=*/true);
            return mode.run(platform);
        }
    }
    return std::nullopt;
}

}  // namespace vardak::winetest
