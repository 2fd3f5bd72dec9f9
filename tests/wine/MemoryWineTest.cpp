// The memory probe against Wine's real answers: posed as XP it reads the extended
// status record of the host's memory; posed as 98 the 16-bit resource query ends
// in percentages or in the probe's own failure message, never in a crash.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <optional>
#include <string>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Memory.h"
#include "tests/wine/WineHarness.h"

namespace vardak::winetest {
namespace {

int64_t number(const std::map<std::string, std::string>& fields, const std::string& name) {
    const auto found = fields.find("memory." + name);
    return found == fields.end() ? -1 : std::strtoll(found->second.c_str(), nullptr, 10);
}

// MemTotal of the host's /proc/meminfo in bytes.
std::optional<int64_t> hostMemoryTotal() {
    const std::optional<std::string> meminfo = win32::Win32FileSystem().readFile("Z:\\proc\\meminfo");
    if (!meminfo) {
        return std::nullopt;
    }
    const size_t label = meminfo->find("MemTotal:");
    if (label == std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    const long long kilobytes = std::strtoll(meminfo->c_str() + label + 9, &end, 10);
    if (kilobytes <= 0 || std::string_view(end).substr(0, 3) != " kB") {
        return std::nullopt;
    }
    return kilobytes * 1024;
}

struct MemoryChild {
    ProcessResult process;
    std::map<std::string, std::string> fields;
};

MemoryChild runPosedMemoryChild(WindowsPose pose) {
    const PosedWindows posed(pose);
    MemoryChild child;
    if (posed.active()) {
        child.process = runChild("vesk-memory");
        child.fields = parseFields(child.process.output);
    }
    return child;
}

TEST(MemoryWineTest, PosedAsXPTheExtendedRecordHoldsTheHostsMemory) {
    const std::optional<int64_t> hostTotal = hostMemoryTotal();
    ASSERT_TRUE(hostTotal.has_value());
    const MemoryChild child = runPosedMemoryChild(WindowsPose::WindowsXP);
    ASSERT_TRUE(child.process.started);
    ASSERT_EQ(child.process.exitCode, 0u) << child.process.output;
    const auto& fields = child.fields;
    EXPECT_EQ(number(fields, "isNT"), 1);
    EXPECT_EQ(number(fields, "extended"), 1);
    // The NT line has no 16-bit heaps.
    EXPECT_EQ(number(fields, "system"), 90);
    EXPECT_EQ(number(fields, "gdi"), 90);
    EXPECT_EQ(number(fields, "user"), 90);
    EXPECT_EQ(number(fields, "pageSize"), 4096);
    EXPECT_EQ(number(fields, "granularity"), 65536);
    EXPECT_EQ(number(fields, "minAddress"), 0x10000);
    EXPECT_GE(number(fields, "maxAddress"), 0x7FFEFFFF);
    EXPECT_GT(number(fields, "virtualTotal"), 0);
    EXPECT_LE(number(fields, "virtualFree"), number(fields, "virtualTotal"));
    EXPECT_GT(number(fields, "physicalTotal"), 0);
    if (wineRunsUnderCpuEmulation()) {
        // The emulator hands the kernel's totals to 32-bit programs in 32-bit fields,
        // so Wine sees the host's total modulo 4 GB (the free sizes, read elsewhere,
        // may then exceed it).
        const int64_t seen = *hostTotal % (int64_t{1} << 32);
        EXPECT_NEAR(static_cast<double>(number(fields, "physicalTotal")), static_cast<double>(seen),
                    static_cast<double>(*hostTotal) / 100.0);
        return;
    }
    EXPECT_LE(number(fields, "physicalFree"), number(fields, "physicalTotal"));
    EXPECT_LE(number(fields, "pageFileFree"), number(fields, "pageFileTotal"));
    EXPECT_NEAR(static_cast<double>(number(fields, "physicalTotal")), static_cast<double>(*hostTotal),
                static_cast<double>(*hostTotal) / 100.0);
    EXPECT_GE(number(fields, "load"), 0);
    EXPECT_LE(number(fields, "load"), 100);
}

TEST(MemoryWineTest, PosedAs98TheSixteenBitQueryAnswersOrFailsClearly) {
    const MemoryChild child = runPosedMemoryChild(WindowsPose::Windows98);
    ASSERT_TRUE(child.process.started);
    ASSERT_FALSE(child.process.timedOut);
    // A crash would end the child before its lines, with an exception code.
    ASSERT_EQ(child.process.exitCode, 0u) << child.process.output;
    const auto& fields = child.fields;
    ASSERT_EQ(number(fields, "isNT"), 0) << child.process.output;
    const bool failed = child.process.output.find("TResources.GetInfo: ") != std::string::npos;
    if (failed) {
        const bool knownFailure =
            child.process.output.find("TResources.GetInfo: Can't load USER.EXE!") != std::string::npos ||
            child.process.output.find("TResources.GetInfo: Can't get address of GetFreeSystemResources") !=
                std::string::npos;
        EXPECT_TRUE(knownFailure) << child.process.output;
    } else {
        for (const char* heap : {"system", "gdi", "user"}) {
            EXPECT_GE(number(fields, heap), 0) << heap;
            EXPECT_LE(number(fields, heap), 100) << heap;
        }
    }
    // The memory status is read either way.
    EXPECT_GT(number(fields, "physicalTotal"), 0);
    std::cout << "16-bit resources posed as 98: "
              << (failed ? "failed clearly"
                         : "system " + fields.at("memory.system") + "%, GDI " + fields.at("memory.gdi") +
                               "%, user " + fields.at("memory.user") + "%")
              << "\n";
}

TEST(MemoryWineTest, TheProbeReportsWhatTheBackendReads) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession session(platform);
    probes::TMemory memory(platform);
    memory.setExceptionMode(probes::TExceptionMode::emRaise);
    memory.GetInfo();
    const std::optional<platform::MemoryStatusEx> status = platform.system().memoryStatusEx();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(memory.usedExtendedStatus());
    EXPECT_EQ(memory.PhysicalTotal(), static_cast<int64_t>(status->totalPhys));
    EXPECT_EQ(memory.VirtualTotal(), static_cast<int64_t>(status->totalVirtual));
    TStringList report;
    memory.Report(report);
    ASSERT_EQ(report.count(), 11);
    EXPECT_EQ(report[0], "[Memory]");
    EXPECT_EQ(report[1], "PhysMemTotal=" + std::to_string(status->totalPhys));
    EXPECT_EQ(report[8], "MinAppAddress=10000");
    EXPECT_EQ(report[10], "PageSize=4096");
}

}  // namespace
}  // namespace vardak::winetest
