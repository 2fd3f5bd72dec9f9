// How long the summary window's list takes to build on the live system, with and without
// the details, beside the processor component's refresh, whose measuring pause (about a
// second on the NT line) every build waits for.
//   vardak_overview_bench [BUILDS]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Overview.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace vardak;
    const int builds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    probes::TOstrelSystemInfo root(nullptr, platform);
    grell::TGrellSysProcessor cpuInfo(nullptr, platform);
    grell::TGrellSysWindows winInfo(nullptr, platform);
    grell::TGrellSysDrive driveInfo(nullptr, platform);
    grell::TGrellSysUninstall uninstall(nullptr, platform);
    uninstall.Refresh();
    const app::OverviewSources sources{root, cpuInfo, winInfo, driveInfo, uninstall, platform,
                                       [](int id) { return "#" + std::to_string(id); }};
    const bool legacy = app::IsLegacyWindows(std::to_string(platform.system().versionInfo().major) + "." +
                                             std::to_string(platform.system().versionInfo().minor));
    for (int build = 0; build < builds; ++build) {
        auto started = Clock::now();
        cpuInfo.Refresh();
        const double processor = millisecondsSince(started);
        for (const bool details : {false, true}) {
            app::TListView list(nullptr);
            started = Clock::now();
            app::TOverviewBuilder(sources, {true, true, details}, legacy, list).BuildOverview();
            const double all = millisecondsSince(started);
            std::printf("build %d, details %s: %zu rows in %.1f ms; the processor component's refresh %.1f ms, "
                        "the rest %.1f ms\n",
                        build + 1, details ? "on " : "off", list.rows().size(), all, processor, all - processor);
        }
    }
    return 0;
}
