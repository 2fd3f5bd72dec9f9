// The SMBIOS reader and the machine probe through the real backend under Wine:
// Wine's firmware table, the older ways with that table switched off, and the
// machine's names, uptime and lock keys against the host.
#include <windows.h>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Machine.h"
#include "probes/hardware/Vesk_SMBIOS.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace vardak::winetest {
namespace {

using ::testing::IsSupersetOf;

std::vector<std::string> linesOf(const TStrings& report) {
    std::vector<std::string> lines;
    for (int k = 0; k < report.count(); ++k) lines.push_back(report[k]);
    return lines;
}

// Folders named "~RomDmp..." in the temporary folder.
int dumpFoldersIn(const std::string& temp) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((temp + "~RomDmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

TEST(SmbiosWineTest, ReadsWinesFirmwareTable) {
    win32::Win32Platform platform(true);
    probes::OstrelRoutinesSession routines(platform);
    probes::TSMBIOS reader(platform);
    reader.GetInfo(1);
    std::vector<int> types;
    for (const probes::TStructTable& entry : reader.Structures()) types.push_back(entry.Type);
    EXPECT_THAT(types, IsSupersetOf({0, 1, 2, 3, 32, 127}));
    EXPECT_EQ(reader.EntryPointAddress(), 0xF0000u);
    TStringList report;
    reader.Report(report);
    EXPECT_THAT(linesOf(report), IsSupersetOf({"Table_0=BIOS Information (Type 0)",
                                               "Table_1=System Information (Type 1)"}));
    EXPECT_THAT(linesOf(report), ::testing::Contains("Table_" + std::to_string(types.size() - 1) +
                                                     "=End-of-Table (Type 127)"));
    std::cout << "Wine's SMBIOS: version " << reader.Version() << ", " << types.size() << " structures, BIOS vendor '"
              << reader.BIOSVendor() << "'\n";
}

TEST(SmbiosWineTest, WithoutTheFirmwareTableTheOlderWaysFailCleanly) {
    win32::Win32Platform platform(true);
    probes::OstrelRoutinesSession routines(platform);
    platform.win32Firmware().setFirmwareTablesEnabled(false);
    EXPECT_FALSE(platform.firmware().systemFirmwareTable(platform::kFirmwareProviderRSMB, 0).has_value());
    EXPECT_EQ(platform.firmware().readPhysicalMemory(probes::kBIOSAreaAddress, probes::kBIOSAreaSize).status,
              platform::SectionReadStatus::CannotOpen);

    std::string temp = platform.system().tempDirectory();
    if (temp.empty() || temp.back() != '\\') temp += '\\';
    const int foldersBefore = dumpFoldersIn(temp);
    probes::TSMBIOS reader(platform);
    const DWORD started = GetTickCount();
    reader.GetInfo(1);  // no table, no section, a failing dump: an empty reader, no exception
    const DWORD took = GetTickCount() - started;
    EXPECT_LT(took, probes::kROMDumpTimeoutMs + 10000);
    EXPECT_EQ(reader.EntryPointAddress(), 0u);
    EXPECT_TRUE(reader.Structures().empty());
    EXPECT_EQ(dumpFoldersIn(temp), foldersBefore);
    std::cout << "DOS dump failed after " << took << " ms\n";
}

TEST(MachineWineTest, NamesUptimeAndLockKeysFromTheSystem) {
    win32::Win32Platform platform(true);
    probes::OstrelRoutinesSession routines(platform);
    probes::TMachine machine(platform);
    machine.setExceptionMode(probes::TExceptionMode::emRaise);
    machine.GetInfo(0);
    EXPECT_EQ(machine.Name(), probes::ReadComputerName(platform));
    EXPECT_FALSE(machine.Name().empty());
    EXPECT_EQ(machine.User(), probes::ReadUserName(platform));
    EXPECT_FALSE(machine.User().empty());

    const std::optional<std::string> uptime = win32::Win32FileSystem().readFile("Z:\\proc\\uptime");
    ASSERT_TRUE(uptime.has_value());
    const double hostSeconds = std::strtod(uptime->c_str(), nullptr);
    // The tick count is 32 bits of milliseconds.
    const double wrapped = hostSeconds - 4294967.296 * static_cast<int64_t>(hostSeconds / 4294967.296);
    EXPECT_NEAR(machine.SystemUpTime(), wrapped, 5.0);

    const platform::SystemTime now = platform.system().localTime();
    const probes::TDateTime current =
        probes::EncodeDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second, now.milliseconds);
    EXPECT_NEAR((current - machine.LastBoot()) * 86400.0, wrapped, 5.0);

    const std::vector<uint8_t> keys = platform.system().keyboardState();
    ASSERT_EQ(keys.size(), 256u);
    EXPECT_EQ(machine.CapsLock(), keys[0x14] == 1);
    EXPECT_EQ(machine.NumLock(), keys[0x90] == 1);
    EXPECT_EQ(machine.ScrollLock(), keys[0x91] == 1);

    TStringList report;
    machine.Report(report);
    EXPECT_FALSE(report.values("Last Boot").empty());
    // "1 Second." when the count of whole seconds happens to be one.
    EXPECT_THAT(report.values("System Up Time"), ::testing::MatchesRegex(".* Seconds?\\."));
}

}  // namespace
}  // namespace vardak::winetest
