#include "app/ReportProgram.h"

#include <optional>

#include "framework/Classes.h"
#include "framework/Exception.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/CpuidDump.h"
#include "probes/hardware/Vesk_CPU.h"
#include "probes/hardware/SmbiosDump.h"
#include "probes/hardware/Vesk_APM.h"
#include "probes/hardware/Vesk_Devices.h"
#include "probes/hardware/Vesk_Disk.h"
#include "probes/hardware/Vesk_Display.h"
#include "probes/hardware/Vesk_Engines.h"
#include "probes/hardware/Vesk_Machine.h"
#include "probes/hardware/Vesk_Media.h"
#include "probes/hardware/Vesk_Memory.h"
#include "probes/software/Vesk_OS.h"
#include "probes/software/Vesk_Network.h"
#include "probes/software/Vesk_Printers.h"
#include "probes/software/Vesk_Software.h"
#include "probes/software/Vesk_Startup.h"

namespace vardak::app {
namespace {

constexpr std::string_view kProgram = "VardakReport";
constexpr std::string_view kCpuidDumpOption = "--cpuid-dump";
constexpr std::string_view kSmbiosDumpOption = "--smbios-dump";

struct Options {
    bool help = false;
    std::optional<std::string> cpuidDump;
    std::optional<std::string> smbiosDump;
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

// The full report in the order the root component writes it; the probes add their
// sections here as they arrive.
void buildReport(platform::Platform& platform, TStrings& report) {
    constexpr probes::TExceptionMode kMode = probes::TExceptionMode::emMessage;
    probes::addReportComment(report, probes::kComponentAbout);
    // The process-wide facts and library bindings the probes read; in the program
    // they are started already, and a second start only counts.
    const probes::OstrelRoutinesSession routines(platform);
    const probes::OstrelBindingsSession bindings(platform);
    // Refreshed in the root component's order: the devices first.
    probes::TDevices devices(platform);
    probes::CallGetInfo(platform.ui(), "TDevices.GetInfo", kMode, &probes::TDevices::GetInfo, devices);
    probes::TCPU cpu(platform);
    probes::CallGetInfo(platform.ui(), "TCPU.GetInfo", kMode, &probes::TCPU::GetInfo, cpu);
    probes::TMemory memory(platform);
    probes::CallGetInfo(platform.ui(), "TMemory.GetInfo", kMode, &probes::TMemory::GetInfo, memory);
    probes::TOperatingSystem os(platform);
    probes::CallGetInfo(platform.ui(), "TOperatingSystem.GetInfo", kMode, &probes::TOperatingSystem::GetInfo, os);
    probes::TDisk disk(platform);
    probes::CallGetInfo(platform.ui(), "TDisk.GetInfo", kMode, &probes::TDisk::GetInfo, disk);
    disk.SetDrive(probes::GetWinDir(platform).substr(0, 2));
    probes::TMachine machine(platform);
    probes::CallGetInfo(platform.ui(), 1, "TMachine.GetInfo", kMode, &probes::TMachine::GetInfo, machine);
    probes::TNetwork network(platform);
    probes::CallGetInfo(platform.ui(), "TNetwork.GetInfo", kMode, &probes::TNetwork::GetInfo, network);
    probes::TDisplay display(platform);
    probes::CallGetInfo(platform.ui(), "TDisplay.GetInfo", kMode, &probes::TDisplay::GetInfo, display);
    probes::TMedia media(platform);
    probes::CallGetInfo(platform.ui(), "TMedia.GetInfo", kMode, &probes::TMedia::GetInfo, media);
    probes::TEngines engines(platform);
    engines.setExceptionMode(kMode);
    probes::CallGetInfo(platform.ui(), "TEngines.GetInfo", kMode, &probes::TEngines::GetInfo, engines);
    probes::TAPM apm(platform);
    probes::CallGetInfo(platform.ui(), "TAPM.GetInfo", kMode, &probes::TAPM::GetInfo, apm);
    probes::TPrinters printers(platform);
    probes::CallGetInfo(platform.ui(), "TPrinters.GetInfo", kMode, &probes::TPrinters::GetInfo, printers);
    probes::TSoftware software(platform);
    probes::CallGetInfo(platform.ui(), "TSoftware.GetInfo", kMode, &probes::TSoftware::GetInfo, software);
    probes::TStartup startup(platform);
    probes::CallGetInfo(platform.ui(), "TStartup.GetInfo", kMode, &probes::TStartup::GetInfo, startup);

    machine.Report(report);
    os.Report(report);
    cpu.Report(report);
    memory.Report(report);
    display.Report(report);
    apm.Report(report);
    media.Report(report);
    network.Report(report);
    devices.Report(report);
    engines.Report(report);
    disk.Report(report);
    printers.Report(report);
    software.Report(report);
    startup.Report(report);
}

// Reads a dump file and writes what `decode` reports of it; a file that cannot be read
// or decoded is an error on `err` naming the file.
template <typename Decode>
int reportDump(platform::Platform& platform, const std::string& path, std::ostream& out,
               std::ostream& err, Decode decode) {
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
    out << probes::reportText(report);
    out.flush();
    return out ? kExitOk : kExitFailure;
}

// The four CPU sections of the processor a cpuid_tool dump describes.
int reportDumpedProcessor(platform::Platform& platform, const std::string& path, std::ostream& out,
                          std::ostream& err) {
    return reportDump(platform, path, out, err, [&platform](const std::string& text, TStringList& report) {
        probes::DumpedProcessor processor(probes::CpuidDump::parse(text));
        probes::TCPU cpu(platform, processor);
        probes::CallGetInfo(platform.ui(), "TCPU.GetInfo", probes::TExceptionMode::emRaise,
                            &probes::TCPU::GetInfo, cpu);
        cpu.Report(report);
    });
}

// The "[SMBIOS]" section of the machine a raw SMBIOS dump describes.
int reportDumpedSMBIOS(platform::Platform& platform, const std::string& path, std::ostream& out,
                       std::ostream& err) {
    return reportDump(platform, path, out, err, [&platform](const std::string& bytes, TStringList& report) {
        const std::span<const uint8_t> raw(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        probes::TSMBIOS smbios(platform);
        smbios.LoadImage(probes::ParseSMBIOSDump(raw));
        smbios.GetInfo(0);
        smbios.Report(report);
    });
}

}  // namespace

std::string usageText() {
    return "Usage: VardakReport [--cpuid-dump FILE | --smbios-dump FILE]\n"
           "Refreshes the system probes and prints the report to standard output.\n"
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
    if (parsed.options.smbiosDump) {
        return reportDumpedSMBIOS(platform, *parsed.options.smbiosDump, out, err);
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
