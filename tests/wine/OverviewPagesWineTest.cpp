// The overview window's pages on the real backend under Wine, without the window:
// every page of a refreshed root has its content and agrees with what the system says,
// the page commands fill their detail dialogs, and the usage meter reads the kernel's
// processor records.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/SysUtils.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/overview/Vesk_CPUUsage.h"
#include "probes/overview/Vesk_Overview.h"

namespace vardak::winetest {
namespace {

using namespace probes;

class CountingPresenter : public DetailDialogPresenter {
public:
    int showModal(TdlgVesk_Detail& dialog) override {
        titles.push_back(dialog.TitleText());
        items.push_back(dialog.clb.size() + dialog.lv.size());
        return kModalResultOK;
    }
    std::vector<std::string> titles;
    std::vector<size_t> items;
};

TEST(OverviewPagesWineTest, EveryPageOfTheRealMachineShowsItsRows) {
    win32::Win32Platform platform(/*console=*/true);
    const OstrelRoutinesSession routines(platform);
    TOstrelSystemInfo root(nullptr, platform);
    root.SetExceptionMode(TExceptionMode::emSilent);
    root.RefreshAll();
    for (const OverviewPageInfo& info : kOverviewPages) {
        SCOPED_TRACE(info.name);
        const std::vector<std::string> lines = pageLines(FillPage(root, platform, info.page));
        EXPECT_EQ(lines.empty(), info.page == OverviewPage::About);
    }

    const OverviewPageContent machine = FillPage(root, platform, OverviewPage::Wksta);
    EXPECT_EQ(*machine.value("eWksta"), root.Machine().Name());
    EXPECT_EQ(machine.colours.size(), 3u);
    const OverviewPageContent os = FillPage(root, platform, OverviewPage::OS);
    EXPECT_EQ(*os.value("tsOS"), "Windows NT");
    EXPECT_EQ(os.findList("LocaleList")->items.size(), 24u);
    const OverviewPageContent cpu = FillPage(root, platform, OverviewPage::CPU);
    EXPECT_EQ(cpu.value("lCPU")->rfind(std::to_string(root.CPU().Count()) + " x ", 0), 0u) << *cpu.value("lCPU");
    EXPECT_EQ(cpu.findList("clbCPU")->items.back().caption, "FDIV Bug");

    // The Windows folder's drive is selected and read, with its label once.
    const OverviewPageContent drives = FillPage(root, platform, OverviewPage::Drives);
    const PageList& letters = *drives.findList("cbDrive");
    ASSERT_GE(letters.selected, 0);
    const std::string& selected = letters.items[static_cast<size_t>(letters.selected)].caption;
    EXPECT_EQ(ansiUpperCase(selected.substr(0, 2)), ansiUpperCase(GetWinDir(platform).substr(0, 2)));
    EXPECT_NE(selected.find(" ["), std::string::npos);
    EXPECT_EQ(drives.value("lCapacity")->rfind("Capacity: ", 0), 0u);
    EXPECT_EQ(drives.findList("clbFlags")->items.size(), 12u);

    const OverviewPageContent devices = FillPage(root, platform, OverviewPage::Devices);
    ASSERT_TRUE(devices.tree.has_value());
    EXPECT_EQ(devices.tree->caption, OstrelFacts().MachineName);

    CountingPresenter presenter;
    TComponent window(nullptr);
    ShowDetail(&window, presenter, cmModes(root.Display()));
    EXPECT_EQ(presenter.items.back(), static_cast<size_t>(root.Display().Modes().count()));
    for (int tag = 0; tag < 5; ++tag) {
        ShowDetail(&window, presenter, *cmCaps(root.Display(), tag));
        EXPECT_GT(presenter.items.back(), 0u) << presenter.titles.back();
    }
    ShowDetail(&window, presenter, cmEnvironment(root.OS()));
    EXPECT_EQ(presenter.items.back(), static_cast<size_t>(root.OS().Environment().count()));
    if (!devices.tree->children.empty()) {
        ShowDetail(&window, presenter, *cmProps(devices, root.Devices(), {0, 0}));
        EXPECT_EQ(presenter.items.back(), 13u);
    }
}

// Without a window timer (no window here): the readings are taken by hand.
TEST(OverviewPagesWineTest, TheUsageMeterReadsTheKernelsProcessorRecords) {
    win32::Win32Platform platform(/*console=*/true);
    TOstrelCPUUsage usage(nullptr, platform, nullptr);
    std::vector<int32_t> readings;
    usage.OnInterval = [&](TObject&, int32_t value) { readings.push_back(value); };
    usage.SetActive(true);
    ASSERT_TRUE(usage.Started()) << "the kernel's processor records answer on the NT line";
    EXPECT_FALSE(usage.Active()) << "no timer to run";
    EXPECT_EQ(usage.QueryLength() % kProcessorPerformanceRecordSize, 0u);
    EXPECT_GE(usage.QueryLength(), kProcessorPerformanceRecordSize);
    for (int reading = 0; reading < 3; ++reading) {
        usage.Measure();
        Sleep(100);
    }
    ASSERT_EQ(readings.size(), 3u);
    EXPECT_EQ(readings[0], 0) << "the first reading";
    for (const int32_t reading : readings) {
        EXPECT_GE(reading, 0);
        EXPECT_LE(reading, 100);
    }
    usage.SetActive(false);
    EXPECT_EQ(usage.QueryLength(), 0u);
}

}  // namespace
}  // namespace vardak::winetest
