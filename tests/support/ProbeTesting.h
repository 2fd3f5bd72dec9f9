// Helpers of the probe tests: a probe created and refreshed on a fake machine, a
// probe's report, the lines of one section of a report and those of a golden file;
// the sizes of the multimedia capability records.
#pragma once

#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Classes.h"
#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"

namespace vardak::testing {

// The capability record of each multimedia interface has this size, as the system fills it.
inline constexpr std::pair<platform::MultimediaKind, size_t> kMultimediaRecordSizes[] = {
    {platform::MultimediaKind::WaveOut, 52}, {platform::MultimediaKind::WaveIn, 48},
    {platform::MultimediaKind::MidiOut, 52}, {platform::MultimediaKind::MidiIn, 44},
    {platform::MultimediaKind::Auxiliary, 48}, {platform::MultimediaKind::Mixer, 48}};

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
inline std::vector<std::string> sectionLines(const std::vector<std::string>& report, std::string_view section) {
    std::vector<std::string> lines;
    const std::string header = "[" + std::string(section) + "]";
    bool inside = false;
    for (const std::string& line : report) {
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
inline std::vector<std::string> sectionLines(const TStrings& report, std::string_view section) {
    return sectionLines(report.toVector(), section);
}

template <class Probe>
std::vector<std::string> reportOf(Probe& probe) {
    TStringList report;
    probe.Report(report);
    return report.toVector();
}

// The lines of a golden file in tests/fixtures; none when it cannot be read.
inline std::vector<std::string> fixtureLines(std::string_view fixtureName) {
    std::ifstream file(fixturePath(fixtureName));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

}  // namespace vardak::testing
