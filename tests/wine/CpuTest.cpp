// The CPU probe on the live processor through the real backend, checked against the
// host's /proc/cpuinfo.
//
// Where 32-bit code runs under user-mode emulation (qemu-i386 on a 64-bit-only
// kernel), CPUID is answered by the emulator: its own CPU model ("QEMU TCG CPU ..."),
// not the host's. Identity can then not be compared with the host; it is compared
// with what Wine itself read from that same processor into the registry, and the
// test says so. The clock still comes from the host's time-stamp counter.
#include <windows.h>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/WinHandles.h"
#include "probes/hardware/Vesk_CPU.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>

namespace vardak::winetest {
namespace {

// "key : value" lines of the first processor block of /proc/cpuinfo.
std::map<std::string, std::string> firstProcessorFields(const std::string& cpuinfo) {
    std::map<std::string, std::string> fields;
    size_t start = 0;
    while (start < cpuinfo.size()) {
        size_t end = cpuinfo.find('\n', start);
        if (end == std::string::npos) {
            end = cpuinfo.size();
        }
        const std::string line = cpuinfo.substr(start, end - start);
        start = end + 1;
        if (line.empty()) {
            if (!fields.empty()) {
                break;
            }
            continue;
        }
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const size_t keyEnd = line.find_last_not_of(" \t", colon == 0 ? 0 : colon - 1);
        const size_t valueStart = line.find_first_not_of(' ', colon + 1);
        fields[line.substr(0, keyEnd + 1)] = valueStart == std::string::npos ? "" : line.substr(valueStart);
    }
    return fields;
}

int countProcessors(const std::string& cpuinfo) {
    int count = 0;
    for (size_t at = cpuinfo.find("processor\t:"); at != std::string::npos;
         at = cpuinfo.find("processor\t:", at + 1)) {
        if (at == 0 || cpuinfo[at - 1] == '\n') {
            ++count;
        }
    }
    return count;
}

std::string registryText(const char* name) {
    win32::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", 0, KEY_READ,
                      key.receive()) != ERROR_SUCCESS) {
        return "";
    }
    char buffer[256] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(buffer) : "";
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The rate of the host's time-stamp counter: the kernel's calibration, which
// wine-run hands on from the kernel log, else "cpu MHz" where the kernel does not
// scale the clock (no cpufreq), for it then shows that same rate.
std::optional<double> hostTimeStampCounterMHz(const std::map<std::string, std::string>& host) {
    if (const char* calibrated = std::getenv("VARDAK_HOST_TSC_MHZ"); calibrated && std::atof(calibrated) > 0) {
        return std::atof(calibrated);
    }
    const double shown = std::atof(host.at("cpu MHz").c_str());
    if (shown > 0 && !win32::Win32FileSystem().directoryExists("Z:\\sys\\devices\\system\\cpu\\cpu0\\cpufreq")) {
        return shown;
    }
    return std::nullopt;
}

// One process, many checks: every Wine process start costs tens of seconds here.
TEST(CpuProbeUnderWine, MatchesTheProcessorItRunsOn) {
    const std::optional<std::string> cpuinfo = win32::Win32FileSystem().readFile("Z:\\proc\\cpuinfo");
    ASSERT_TRUE(cpuinfo.has_value());
    const std::map<std::string, std::string> host = firstProcessorFields(*cpuinfo);
    ASSERT_TRUE(host.count("vendor_id") && host.count("model name") && host.count("cpu MHz")) << *cpuinfo;

    win32::Win32Platform platform(/*console=*/true);
    platform::Processor& processor = platform.processor();
    ASSERT_TRUE(processor.hasCpuid());
    probes::TCPU cpu(platform);
    cpu.GetInfo();

    const bool emulated = cpu.brandText().rfind("QEMU", 0) == 0 && host.at("model name").find("QEMU") == std::string::npos;
    if (emulated) {
        const std::string note = "CPUID is answered by the user-mode emulator (\"" + cpu.brandText() +
                                 "\"), not by the host's \"" + host.at("model name") +
                                 "\": identity checked against Wine's registry view of the same processor";
        RecordProperty("cpuid_source", note);
        std::cout << "NOTE: " << note << "\n";
        // Wine wrote these from its own CPUID queries when the prefix was made.
        EXPECT_EQ(cpu.vendorText(), registryText("VendorIdentifier"));
        EXPECT_EQ(trimmed(cpu.brandText()), trimmed(registryText("ProcessorNameString")));
        char identifier[96];
        std::snprintf(identifier, sizeof identifier, "Family %d Model %d Stepping %d", cpu.Family(), cpu.Model(),
                      cpu.Stepping());
        EXPECT_NE(registryText("Identifier").find(identifier), std::string::npos)
            << registryText("Identifier") << " / " << identifier;
    } else {
        EXPECT_EQ(cpu.vendorText(), host.at("vendor_id"));
        EXPECT_EQ(trimmed(cpu.brandText()), trimmed(host.at("model name")));
        // /proc/cpuinfo shows the display family and model, which fold in the
        // extended fields from family 15 (and, for the model, family 6) on.
        const int family = std::atoi(host.at("cpu family").c_str());
        const int model = std::atoi(host.at("model").c_str());
        EXPECT_EQ(cpu.Family(), family >= 15 ? 15 : family);
        EXPECT_EQ(cpu.Model(), (family == 6 || family >= 15) ? (model & 0xF) : model);
        EXPECT_EQ(cpu.Stepping(), std::atoi(host.at("stepping").c_str()));
        EXPECT_EQ(cpu.Features().has(probes::CPUFeature::SSE2),
                  (" " + host.at("flags") + " ").find(" sse2 ") != std::string::npos);
    }
    EXPECT_EQ(cpu.VendorEx().empty(), cpu.vendorIndex() == 0);
    EXPECT_EQ(cpu.Count(), countProcessors(*cpuinfo));

    // The clock, against the rate of the host's time-stamp counter, which is what the
    // probe counts; "cpu MHz" is the current, scaled clock wherever the kernel scales it.
    const probes::TFrequencyInfo measured = probes::MeasureFrequency(processor);
    EXPECT_GE(measured.microseconds, 3u * 800);
    if (const std::optional<double> tscMHz = hostTimeStampCounterMHz(host)) {
        EXPECT_NEAR(cpu.Frequency(), *tscMHz, *tscMHz * 0.02);
        EXPECT_NEAR(measured.rawMHz, *tscMHz, *tscMHz * 0.02);
        std::cout << "host counter " << *tscMHz << " MHz, measured " << measured.rawMHz << " MHz raw, reported "
                  << cpu.Frequency() << " MHz\n";
    } else {
        RecordProperty("clock", "not compared: the host's counter rate is unknown and its clock is scaled");
    }

    // A serial number only where the feature says there is one.
    EXPECT_EQ(cpu.SerialNumber().empty(), !cpu.Features().has(probes::CPUFeature::PSN));
    EXPECT_FALSE(cpu.FDIVBug());
    EXPECT_TRUE(cpu.Features().has(probes::CPUFeature::TSC));

    TStringList report;
    cpu.Report(report);
    EXPECT_EQ(report.count(), 54);
    EXPECT_EQ(report[0], "[CPU]");
}

}  // namespace
}  // namespace vardak::winetest
