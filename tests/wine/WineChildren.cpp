#include "tests/wine/WineChildren.h"

#include "grell/system/GrellSysInfo.h"
#include "platform/win32/Win32Platform.h"
#include "probes/hardware/Vesk_CPU.h"
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

// The processor and system-values components: "grell.*" lines with the processor's
// name beside the CPU probe's brand text, the usage, every indexed value, and a
// keyboard-delay write read back and restored.
int reportGrellSystem(Platform& platform) {
    const probes::OstrelRoutinesSession session(platform);
    TComponent form(nullptr);
    auto* processor = new grell::TGrellSysProcessor(&form, platform);
    processor->Refresh();
    field(platform, "grell.CPUName", processor->Processor().CPUName());
    field(platform, "grell.IDString", processor->Processor().IDString());
    field(platform, "grell.probeBrand", probes::GetBrandText(platform.processor()));
    field(platform, "grell.probeVendor", probes::GetVendorText(platform.processor()));
    field(platform, "grell.ProcessorUsage", std::to_string(processor->Processor().ProcessorUsage()));
    field(platform, "grell.Count", std::to_string(processor->Processor().Count()));
    auto* info = new grell::TGrellSysInfo(&form, platform);
    try {
        for (const std::string& line : propertyLines(*info, false, PropertyFormat{'.'})) {
            platform.ui().writeLine("grell.info." + line);
        }
        const int32_t before = info->KeyboardDelay();
        const int32_t written = before == 0 ? 1 : 0;
        info->SetKeyboardDelay(written);
        const int32_t readBack = info->KeyboardDelay();
        info->SetKeyboardDelay(before);
        field(platform, "grell.delay", std::to_string(before) + "," + std::to_string(written) + "," +
                                           std::to_string(readBack) + "," + std::to_string(info->KeyboardDelay()));
    } catch (const Exception& error) {
        field(platform, "grell.error", std::string(error.className()) + ": " + error.what());
    }
    return 0;
}

// Everything a posed test looks at, from one process: under Wine every process
// start is expensive.
int report(Platform& platform) {
    reportVersion(platform);
    reportOstrelFacts(platform);
    reportVeskOS(platform);
    reportGrellSystem(platform);
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
