// Helpers of the probe tests: a probe created and refreshed on a fake machine, and
// the lines of one section of a report.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"

namespace vardak::testing {

// A probe created and refreshed on the machine as it is now, the shared routines
// started for both.
template <class Probe>
std::unique_ptr<Probe> refreshedProbe(FakePlatform& machine) {
    const probes::OstrelRoutinesSession session(machine);
    auto probe = std::make_unique<Probe>(machine);
    probe->GetInfo();
    return probe;
}

// The lines of the first section named `section`, without its header: up to the next header.
inline std::vector<std::string> sectionLines(const TStrings& report, std::string_view section) {
    std::vector<std::string> lines;
    const std::string header = "[" + std::string(section) + "]";
    bool inside = false;
    for (int index = 0; index < report.count(); ++index) {
        const std::string line = report.strings(index);
        if (!line.empty() && line.front() == '[') {
            if (inside) {
                break;
            }
            inside = line == header;
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

}  // namespace vardak::testing
