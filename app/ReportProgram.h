// The console report program: refreshes the probes and prints the report.
// Portable, so its arguments, output and exit codes are tested natively.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vardak::app {

// Exit codes of the report program.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Runs the program with its arguments (without argument 0). The report goes to
// `out` with CR LF line ends; usage and errors go to `err`.
int runReportProgram(platform::Platform& platform, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err);

std::string usageText();

}  // namespace vardak::app
