#include "app/ReportProgram.h"

#include <string_view>

namespace vardak::app {
namespace {

constexpr std::string_view kBanner = "Ostrel System Information Component 7.61 - Vardak";

void writeLine(std::ostream& out, std::string_view line) {
    out << line << "\r\n";
}

// The OS version record as read through the seam, until the operating-system
// probe writes its own sections.
void writeVersionRecord(platform::Platform& platform, std::ostream& out) {
    const platform::OSVersionInfo version = platform.system().versionInfo();
    writeLine(out, "[OS Version Record]");
    writeLine(out, "Major=" + std::to_string(version.major));
    writeLine(out, "Minor=" + std::to_string(version.minor));
    writeLine(out, "Build=" + std::to_string(version.build));
    writeLine(out, "Platform=" + std::to_string(static_cast<uint32_t>(version.platform)));
    writeLine(out, "CSDVersion=" + version.csdVersion);
}

}  // namespace

std::string usageText() {
    return "Usage: VardakReport\n"
           "Refreshes the system probes and prints the report to standard output.\n";
}

int runReportProgram(platform::Platform& platform, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            out << usageText();
            return kExitOk;
        }
        err << "VardakReport: unknown argument '" << arg << "'\n" << usageText();
        return kExitUsage;
    }
    writeLine(out, std::string(";") + std::string(kBanner));
    writeVersionRecord(platform, out);
    out.flush();
    return out ? kExitOk : kExitFailure;
}

}  // namespace vardak::app
