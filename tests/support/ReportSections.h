// Reading a report back in tests: the lines of one section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"

namespace vardak::testing {

// The lines of the first section named `section`, without its header, up to the next header.
inline std::vector<std::string> sectionLines(const TStrings& report, std::string_view section) {
    const std::string header = "[" + std::string(section) + "]";
    std::vector<std::string> lines;
    bool inside = false;
    for (const std::string& line : report.toVector()) {
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
