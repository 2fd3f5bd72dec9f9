// The printer probe on scripted printer lists.
#include "probes/software/Vesk_Printers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

struct PrinterCase {
    const char* machine;
    std::vector<platform::PrinterEntry> installed;
    std::optional<std::string> defaultName;
    int32_t defaultIndex;
    std::vector<std::string> report;
};

const PrinterCase kCases[] = {
    {"the default printer among others",
     {{"HP LaserJet 4", "LPT1:"}, {"Canon BJC-4100", "LPT2:"}, {"\\\\OFFICE\\Kyocera", "\\\\OFFICE\\Kyocera"}},
     "hp laserjet 4", 0,
     {"[Printers]", "Count=3", "HP LaserJet 4 on LPT1:=1", "Canon BJC-4100 on LPT2:=0",
      "\\\\OFFICE\\Kyocera on \\\\OFFICE\\Kyocera=0"}},
    {"two printers on one port", {{"Epson LQ-570", "LPT1:"}, {"Generic / Text Only", "LPT1:"}}, "Generic / Text Only", 1,
     {"[Printers]", "Count=2", "Epson LQ-570 on LPT1:=0", "Generic / Text Only on LPT1:=1"}},
    // No printer is marked when none is the default, the last one included.
    {"printers without a default", {{"HP LaserJet 4", "LPT1:"}, {"Canon BJC-4100", "USB001"}}, std::nullopt, -1,
     {"[Printers]", "Count=2", "HP LaserJet 4 on LPT1:=0", "Canon BJC-4100 on USB001=0"}},
    {"a default printer that is not installed", {{"HP LaserJet 4", "LPT1:"}}, "Removed Printer", -1,
     {"[Printers]", "Count=1", "HP LaserJet 4 on LPT1:=0"}},
    {"no printers", {}, std::nullopt, -1, {"[Printers]", "Count=0"}},
};

// One probe refreshed for every case: each refresh replaces what the last one found.
TEST(PrintersTest, ListsThePrintersAndMarksTheDefaultOne) {
    testing::FakePlatform machine;
    TPrinters printers(machine);
    for (const PrinterCase& test : kCases) {
        machine.printersFake.installed = test.installed;
        machine.printersFake.defaultName = test.defaultName;
        printers.GetInfo();
        EXPECT_EQ(printers.DefaultIndex(), test.defaultIndex) << test.machine;
        EXPECT_EQ(testing::reportOf(printers), test.report) << test.machine;
    }
}

TEST(PrintersTest, NamesAndPortsAreKeptUpToTheirBuffers) {
    testing::FakePlatform machine;
    const std::string longName = "Printer " + std::string(300, 'x');
    machine.printersFake.installed = {{longName, "IP_" + std::string(280, '1')}, {"Short", "COM1:"}};
    machine.printersFake.defaultName = longName;
    TPrinters printers(machine);
    printers.GetInfo();
    EXPECT_EQ(printers.Names()[0], longName.substr(0, 260));
    EXPECT_EQ(printers.Ports()[0].size(), 260u);
    EXPECT_EQ(printers.DefaultIndex(), 0);
}

}  // namespace
}  // namespace vardak::probes
