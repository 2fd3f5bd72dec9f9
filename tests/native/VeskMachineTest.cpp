// The machine probe: uptime and last start, names, lock keys, the computer
// description from the device list, the BIOS texts of both lines and the report.
#include "probes/hardware/Vesk_Machine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

std::vector<std::string> linesOf(const TStrings& report) {
    std::vector<std::string> lines;
    for (int k = 0; k < report.count(); ++k) lines.push_back(report[k]);
    return lines;
}

class MachineTest : public ::testing::Test {
protected:
    void TearDown() override { ResetOstrelRoutines(); }
    testing::FakePlatform machine;
};

TEST_F(MachineTest, UptimeAndLastBootComeFromTheTickCount) {
    machine.systemFake.ticks = (3600 + 2 * 60 + 5) * 1000 + 400;
    machine.systemFake.now = {2004, 6, 2, 15, 12, 30, 0, 0};  // 15 June, 12:30:00
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    probe.GetInfo(0);
    EXPECT_DOUBLE_EQ(probe.SystemUpTime(), 3725.4);
    const std::optional<platform::SystemTime> boot = DateTimeToSystemTime(probe.LastBoot());
    ASSERT_TRUE(boot.has_value());
    EXPECT_EQ(machine.systemFake.dateTimeText(*boot, true), "2004-06-15 11:27:54");
    TStringList report;
    probe.Report(report);
    EXPECT_EQ(report.values("System Up Time"), "1 Hour, 2 Minutes, 5 Seconds.");
    EXPECT_EQ(report.values("Last Boot"), "2004-06-15 11:27:54");
    EXPECT_EQ(report.values("Name"), "VARDAK-TEST");
    EXPECT_EQ(report.values("User"), "Tester");
}

TEST_F(MachineTest, LastBootAtMidnightShowsOnlyTheDate) {
    machine.systemFake.ticks = 60 * 1000;
    machine.systemFake.now = {2004, 6, 2, 15, 0, 1, 0, 0};
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    probe.GetInfo(0);
    TStringList report;
    probe.Report(report);
    EXPECT_EQ(report.values("Last Boot"), "2004-06-15");
}

TEST_F(MachineTest, ALockKeyCountsOnlyWhenToggledAndNotHeld) {
    machine.systemFake.keys[0x14] = 0x81;  // on, key held down
    machine.systemFake.keys[0x90] = 0x01;
    machine.systemFake.keys[0x91] = 0x80;
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    probe.GetInfo(0);
    EXPECT_FALSE(probe.CapsLock());
    EXPECT_TRUE(probe.NumLock());
    EXPECT_FALSE(probe.ScrollLock());
}

TEST_F(MachineTest, TheComputerIsTheFirstDeviceOfTheComputerClass) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\ROOT\ACPI_HAL\0000]
"Class"="Computer"
"DeviceDesc"="ACPI Uniprocessor PC"
"ClassGUID"="{4D36E966-E325-11CE-BFC1-08002BE10318}"
[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Enum\ROOT\ACPI_HAL\0000\Control]
)");
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    EXPECT_EQ(probe.Computer(), "ACPI Uniprocessor PC");
    TStringList report;
    probe.Report(report);
    EXPECT_EQ(report.values("Computer"), "ACPI Uniprocessor PC");
}

TEST_F(MachineTest, NTBiosTextsComeFromTheHardwareDescription) {
    machine.loadRegistry(R"(REGEDIT4
[HKEY_LOCAL_MACHINE\HARDWARE\DESCRIPTION\System]
"Identifier"="AT/AT COMPATIBLE"
"SystemBiosDate"="12/24/03"
"SystemBiosVersion"=hex(7):41,00,42,00,00
)");
    {
        OstrelRoutinesSession routines(machine);
        TMachine probe(machine);
        probe.GetInfo(0);
        EXPECT_EQ(probe.BIOS().Name(), "AT/AT COMPATIBLE");
        EXPECT_EQ(probe.BIOS().Date(), "12/24/03");
        EXPECT_EQ(probe.BIOS().Copyright(), "AB");  // XP joins the texts
        EXPECT_EQ(probe.BIOS().ExtendedInfo(), "");
    }
    ResetOstrelRoutines();
    machine.systemFake.poseAsWindows2000();
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    probe.GetInfo(0);
    EXPECT_EQ(probe.BIOS().Copyright(), "A");
}

TEST_F(MachineTest, NineXBiosTextsStayInsideTheSegment) {
    machine.systemFake.poseAsWindows98();
    std::vector<uint8_t> area(kBIOSAreaSize, 0);
    auto put = [&area](uint32_t offset, std::string_view text) {
        std::copy(text.begin(), text.end(), area.begin() + offset);
    };
    put(kBIOSNameOffset, "Award Modular BIOS v6.00PG");
    put(kBIOSCopyrightOffset, "Copyright (C) 1984-2003");
    put(kBIOSDateOffset, "12/24/03");
    put(0xFFFD, "AB");  // no NUL before the segment ends
    machine.firmwareFake.setBiosArea(area);
    machine.firmwareFake.lowMemoryReadable = true;
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    probe.GetInfo(0);
    EXPECT_EQ(probe.BIOS().Name(), "Award Modular BIOS v6.00PG");
    EXPECT_EQ(probe.BIOS().Copyright(), "Copyright (C) 1984-2003");
    EXPECT_EQ(probe.BIOS().Date(), "12/24/03");  // 8 bytes, the model byte after them left out
    std::vector<uint8_t> segment(area.begin(), area.end());
    EXPECT_EQ(BIOSAreaText(segment, 0xFFFD, 255), "AB");
    EXPECT_EQ(BIOSAreaText(segment, 0x10000, 255), "");
}

TEST_F(MachineTest, ReportHasMachineThenSMBIOSThenBIOS) {
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    probe.GetInfo(1);
    TStringList report;
    probe.Report(report);
    std::vector<std::string> sections;
    for (const std::string& line : linesOf(report)) {
        if (line.front() == '[') sections.push_back(line);
    }
    EXPECT_THAT(sections, ::testing::ElementsAre("[Machine]", "[SMBIOS]", "[BIOS]"));
    EXPECT_THAT(linesOf(report), ::testing::Contains("BIOS Extended info="));
    EXPECT_EQ(machine.firmwareFake.tableCalls, 1);
}

TEST_F(MachineTest, AFailingSMBIOSReadIsReportedOnceAndTheRestIsStillRead) {
    machine.firmwareFake.sectionStatus = platform::SectionReadStatus::CannotMap;
    machine.systemFake.ticks = 5000;
    machine.systemFake.keys[0x90] = 0x01;
    machine.loadRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System]\n\"Identifier\"=\"AT\"\n");
    OstrelRoutinesSession routines(machine);
    TMachine probe(machine);
    ASSERT_EQ(probe.ExceptionMode(), TExceptionMode::emMessage);
    probe.GetInfo(1);
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
    EXPECT_THAT(machine.uiFake.errors[0].text, ::testing::HasSubstr("TSMBIOS.GetInfo"));
    EXPECT_DOUBLE_EQ(probe.SystemUpTime(), 5.0);
    EXPECT_EQ(probe.Name(), "VARDAK-TEST");
    EXPECT_EQ(probe.User(), "Tester");
    EXPECT_TRUE(probe.NumLock());
    EXPECT_EQ(probe.BIOS().Name(), "AT");

    probe.setExceptionMode(TExceptionMode::emSilent);
    probe.GetInfo(1);
    EXPECT_EQ(machine.uiFake.errors.size(), 1u);
    probe.setExceptionMode(TExceptionMode::emRaise);
    EXPECT_THROW(probe.GetInfo(1), Exception);
}

}  // namespace
}  // namespace vardak::probes
