#include "app/ReportProgram.h"

#include <optional>

#include "framework/Classes.h"
#include "framework/Exception.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/CpuidDump.h"
#include "probes/hardware/Vesk_CPU.h"

namespace vardak::app {
namespace {

constexpr std::string_view kProgram = "VardakReport";
constexpr std::string_view kCpuidDumpOption = "--cpuid-dump";

struct Options {
    bool help = false;
    std::optional<std::string> cpuidDump;
};

// The options, or an error text for the user.
struct ParsedOptions {
    Options options;
    std::string error;
};

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions parsed;
    const std::string dumpWithValue = std::string(kCpuidDumpOption) + "=";
    for (size_t index = 0; index < args.size(); ++index) {
        const std::string& arg = args[index];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            parsed.options.help = true;
        } else if (arg == kCpuidDumpOption) {
            if (index + 1 >= args.size()) {
                parsed.error = std::string(kCpuidDumpOption) + " needs a file name";
                return parsed;
            }
            parsed.options.cpuidDump = args[++index];
        } else if (arg.rfind(dumpWithValue, 0) == 0 && arg.size() > dumpWithValue.size()) {
            parsed.options.cpuidDump = arg.substr(dumpWithValue.size());
        } else {
            parsed.error = "unknown argument '" + arg + "'";
            return parsed;
        }
    }
    return parsed;
}

// The full report in the order the root component writes it; the probes add their
// sections here as they arrive.
void buildReport(platform::Platform& platform, TStrings& report) {
    probes::addReportComment(report, probes::kComponentAbout);
    probes::TCPU cpu(platform);
    probes::CallGetInfo(platform.ui(), "TCPU.GetInfo", probes::TExceptionMode::emMessage,
                        &probes::TCPU::GetInfo, cpu);
    cpu.Report(report);
}

// The four CPU sections of the processor a cpuid_tool dump describes.
int reportDumpedProcessor(platform::Platform& platform, const std::string& path, std::ostream& out,
                          std::ostream& err) {
    const std::optional<std::string> text = platform.files().readFile(path);
    if (!text) {
        err << kProgram << ": cannot read '" << path << "'\n";
        return kExitFailure;
    }
    TStringList report;
    try {
        probes::DumpedProcessor processor(probes::CpuidDump::parse(*text));
        probes::TCPU cpu(platform, processor);
        probes::CallGetInfo(platform.ui(), "TCPU.GetInfo", probes::TExceptionMode::emRaise,
                            &probes::TCPU::GetInfo, cpu);
        cpu.Report(report);
    } catch (const Exception& failure) {
        err << kProgram << ": " << path << ": " << failure.message() << "\n";
        return kExitFailure;
    }
    out << probes::reportText(report);
    out.flush();
    return out ? kExitOk : kExitFailure;
}

}  // namespace

std::string usageText() {
    return "Usage: VardakReport [--cpuid-dump FILE]\n"
           "Refreshes the system probes and prints the report to standard output.\n"
           "  --cpuid-dump FILE  print only the CPU sections for the processor of FILE,\n"
           "                     a dump written by 'cpuid_tool --save' (nothing is measured:\n"
           "                     the clock and the processor count read 0)\n";
}

int runReportProgram(platform::Platform& platform, const std::vector<std::string>& args,
                     std::ostream& out, std::ostream& err) {
    const ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        err << kProgram << ": " << parsed.error << "\n" << usageText();
        return kExitUsage;
    }
    if (parsed.options.help) {
        out << usageText();
        return kExitOk;
    }
    if (parsed.options.cpuidDump) {
        return reportDumpedProcessor(platform, *parsed.options.cpuidDump, out, err);
    }
    TStringList report;
    buildReport(platform, report);
    out << probes::reportText(report);
    out.flush();
    return out ? kExitOk : kExitFailure;
}

}  // namespace vardak::app
