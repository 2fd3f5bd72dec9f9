#include "tests/wine/OSChildren.h"

#include <string>

#include "probes/core/Ostrel_Routines.h"
#include "probes/software/Vesk_OS.h"

namespace vardak::winetest {

int reportVeskOS(platform::Platform& platform) {
    const probes::OstrelRoutinesSession session(platform);
    probes::TOperatingSystem os(platform);
    // A failing sub-object is written as a line by the console notifier.
    os.GetInfo();
    platform.ui().writeLine("os.EditionText=" + os.EditionText);
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

}  // namespace vardak::winetest
