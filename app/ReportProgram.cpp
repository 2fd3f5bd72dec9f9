#include "app/ReportProgram.h"

#include <optional>

#include "framework/Classes.h"
#include "framework/Exception.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"
#include "probes/core/Vesk_GUI.h"
#include "probes/hardware/CpuidDump.h"
#include "probes/hardware/Vesk_CPU.h"
#include "probes/hardware/SmbiosDump.h"

namespace vardak::app {
namespace {

constexpr std::string_view kProgram = "VardakReport";
constexpr std::string_view kCpuidDumpOption = "--cpuid-dump";
constexpr std::string_view kSmbiosDumpOption = "--smbios-dump";
constexpr std::string_view kSilentOption = "--silent";
constexpr std::string_view kOutputOption = "--output";
// Beside the output file while it is written; it takes the file's place once complete.
constexpr std::string_view kPartialSuffix = ".partial";

struct Options {
    bool help = false;
    // A failing probe is left out without a line (emSilent) instead of written as one.
    bool silent = false;
    std::optional<std::string> cpuidDump;
    std::optional<std::string> smbiosDump;
    // The report goes to this file instead of standard output.
    std::optional<std::string> output;
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
        } else if (arg == kSilentOption) {
            parsed.options.silent = true;
        } else if (arg == kCpuidDumpOption) {
            if (index + 1 >= args.size()) {
                parsed.error = std::string(kCpuidDumpOption) + " needs a file name";
                return parsed;
            }
            parsed.options.cpuidDump = args[++index];
        } else if (arg == kOutputOption) {
            if (index + 1 >= args.size()) {
                parsed.error = std::string(kOutputOption) + " needs a file name";
                return parsed;
            }
            parsed.options.output = args[++index];
        } else if (arg == kSmbiosDumpOption) {
            if (index + 1 >= args.size()) {
                parsed.error = std::string(kSmbiosDumpOption) + " needs a file name";
                return parsed;
            }
            parsed.options.smbiosDump = args[++index];
        } else if (arg.rfind(dumpWithValue, 0) == 0 && arg.size() > dumpWithValue.size()) {
            parsed.options.cpuidDump = arg.substr(dumpWithValue.size());
        } else {
            parsed.error = "unknown argument '" + arg + "'";
            return parsed;
        }
    }
    return parsed;
}

// The full report: a root component refreshes every probe under `mode` and writes its
// report. A console program shows no window, so the refresh goes without the splash.
void buildReport(platform::Platform& platform, probes::TExceptionMode mode, TStrings& report) {
    // The process-wide facts and library bindings the probes read; in the program
    // they are started already, and a second start only counts.
    const probes::OstrelRoutinesSession routines(platform);
    const probes::OstrelBindingsSession bindings(platform);
    probes::TOstrelSystemInfo root(nullptr, platform);
    root.SetExceptionMode(mode);
    root.RefreshAll();
    root.ReportAll(report);
}

// Writes the report to standard output or, with --output, to the file: first beside it,
// then in its place, so an older file is replaced only by a complete new report.
int deliverReport(platform::Platform& platform, const Options& options, const TStrings& report, std::ostream& out,
                  std::ostream& err) {
    if (!options.output) {
        out << probes::reportText(report);
        out.flush();
        return out ? kExitOk : kExitFailure;
    }
    const std::string& path = *options.output;
    const std::string partial = path + std::string(kPartialSuffix);
    platform::FileSystem& files = platform.files();
    if (!files.writeFile(partial, probes::reportText(report)) || !files.replaceFile(partial, path)) {
        files.deleteFile(partial);
        err << kProgram << ": cannot write '" << path << "'\n";
        return kExitFailure;
    }
    return kExitOk;
}

// Reads a dump file and writes what `decode` reports of it; a file that cannot be read
// or decoded is an error on `err` naming the file.
template <typename Decode>
int reportDump(platform::Platform& platform, const Options& options, const std::string& path,
               std::ostream& out, std::ostream& err, Decode decode) {
    const std::optional<std::string> contents = platform.files().readFile(path);
    if (!contents) {
        err << kProgram << ": cannot read '" << path << "'\n";
        return kExitFailure;
    }
    TStringList report;
    try {
        decode(*contents, report);
    } catch (const Exception& failure) {
        err << kProgram << ": " << path << ": " << failure.message() << "\n";
        return kExitFailure;
    }
    return deliverReport(platform, options, report, out, err);
}

// The four CPU sections of the processor a cpuid_tool dump describes.
int reportDumpedProcessor(platform::Platform& platform, const Options& options, const std::string& path,
                          std::ostream& out, std::ostream& err) {
    return reportDump(platform, options, path, out, err, [&platform](const std::string& text, TStringList& report) {
        probes::DumpedProcessor processor(probes::CpuidDump::parse(text));
        probes::TCPU cpu(platform, processor);
        probes::CallGetInfo(platform.ui(), "TCPU.GetInfo", probes::TExceptionMode::emRaise,
                            &probes::TCPU::GetInfo, cpu);
        cpu.Report(report);
    });
}

// The "[SMBIOS]" section of the machine a raw SMBIOS dump describes.
int reportDumpedSMBIOS(platform::Platform& platform, const Options& options, const std::string& path,
                       std::ostream& out, std::ostream& err) {
    return reportDump(platform, options, path, out, err, [&platform](const std::string& bytes, TStringList& report) {
        const std::span<const uint8_t> raw(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        probes::TSMBIOS smbios(platform);
        smbios.LoadImage(probes::ParseSMBIOSDump(raw));
        smbios.GetInfo(0);
        smbios.Report(report);
    });
}

}  // namespace

std::string usageText() {
    return "Usage: VardakReport [--silent] [--output FILE] [--cpuid-dump FILE | --smbios-dump FILE]\n"
           "Refreshes the system probes and prints the report to standard output.\n"
           "  --silent           leave a probe that fails out without a line about it\n"
           "  --output FILE      write the report to FILE (ANSI, CR LF lines) instead; an\n"
           "                     older FILE is replaced only once the new report is complete\n"
           "  --cpuid-dump FILE  print only the CPU sections for the processor of FILE,\n"
           "                     a dump written by 'cpuid_tool --save' (nothing is measured:\n"
           "                     the clock and the processor count read 0)\n"
           "  --smbios-dump FILE print only the [SMBIOS] section for the machine of FILE,\n"
           "                     a raw table dump as 'dmidecode --dump-bin' writes it\n";
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
    const Options& options = parsed.options;
    if (options.smbiosDump) {
        return reportDumpedSMBIOS(platform, options, *options.smbiosDump, out, err);
    }
    if (options.cpuidDump) {
        return reportDumpedProcessor(platform, options, *options.cpuidDump, out, err);
    }
    TStringList report;
    buildReport(platform, options.silent ? probes::TExceptionMode::emSilent : probes::TExceptionMode::emMessage,
                report);
    return deliverReport(platform, options, report, out, err);
}

}  // namespace vardak::app
