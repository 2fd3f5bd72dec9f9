// The installed-software probe on the uninstall entries of tests/fixtures/software-xp.reg.
#include "probes/software/Vesk_Software.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;

// Registry order, both entries of one name, no entry for keys without a textual
// display name, an empty command where a product has none or a number; a refresh
// without the key empties both lists.
TEST(SoftwareTest, ListsNamedProductsInRegistryOrderWithTheirCommands) {
    testing::FakePlatform machine;
    machine.loadRegistryFixture("software-xp.reg");
    TSoftware software(machine);
    software.GetInfo();
    TStringList report;
    software.Report(report);
    EXPECT_THAT(report.toVector(),
                ElementsAre("[Installed Software]", "Count=5", "Item1=WinZip", "Item2=Adobe Reader 7.0",
                            "Item3=Java 2 Runtime Environment, SE v1.4.2_08",
                            "Item4=Java 2 Runtime Environment, SE v1.4.2_08", "Item5=Spybot - Search & Destroy 1.4",
                            "Count=5", "Item1=\"C:\\Program Files\\WinZip\\WINZIP32.EXE\" /uninstall",
                            "Item2=MsiExec.exe /I{AC76BA86-7AD7-1030-7B44-A70000000000}",
                            "Item3=MsiExec.exe /I{7148F0A8-6813-11D6-A77B-00B0D0142080}", "Item4=", "Item5="));

    machine.registryFake.removeKey(platform::RootKey::LocalMachine, kUninstallKey);
    software.GetInfo();
    EXPECT_EQ(software.Products().count() + software.UninstallStrings().count(), 0);
}

}  // namespace
}  // namespace vardak::probes
