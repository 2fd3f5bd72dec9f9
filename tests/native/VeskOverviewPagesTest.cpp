// The overview window's pages on a fake XP and a fake 98 machine (golden files
// overview-pages-xp.txt and overview-pages-98.txt: every page's content as lines),
// and the page commands: adapter, drive and start-up selectors, the device tree, the
// detail dialogs, the battery times and the live memory values.
#include "probes/overview/Vesk_Overview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"
#include "tests/support/SmbiosBuilder.h"

namespace vardak::probes {
namespace {

using testing::FakeDrive;
using testing::FakePlatform;
using testing::SmbiosStructure;

// ---------------------------------------------------------------- the machines

std::vector<uint8_t> smbiosTable() {
    SmbiosStructure bios(0, 0x12, 0);
    bios.set(4, 1).set(5, 2).set(8, 3).set(9, 0x0F).strings = {"Phoenix Technologies LTD", "6.00", "04/17/2006"};
    SmbiosStructure system(1, 0x19, 1);
    system.set(4, 1).set(5, 2).set(6, 3).set(7, 4).strings = {"Dell Inc.", "OptiPlex GX620", "A01", "7XK2Q1J"};
    SmbiosStructure cache(7, 0x13, 2);
    cache.set(4, 1).setWord(7, 0x0200).setWord(9, 0x0200).set(15, 0).set(16, 5).set(17, 5).set(18, 4);
    cache.text("L2 Cache");
    SmbiosStructure bank(6, 0x0C, 3);
    bank.set(4, 1).set(6, 60).setWord(7, 1u << 8).set(9, 0x09).text("DIMM_1");
    SmbiosStructure port(8, 9, 4);
    port.set(4, 1).set(5, 0x08).set(8, 0x09).text("SERIAL1");
    SmbiosStructure slot(9, 0x0D, 5);
    slot.set(4, 1).set(5, 0x06).set(6, 0x05).text("PCI1");
    return testing::tableOf({bios, system, cache, bank, port, slot, SmbiosStructure(127, 4, 6)});
}

void poseAsXP(FakePlatform& machine) {
    for (const char* fixture : {"os-xp.reg", "devices-nt.reg", "display-xp.reg", "network-xp.reg", "media-nt.reg",
                                "software-xp.reg", "startup-xp.reg"}) {
        machine.loadRegistryFixture(fixture);
    }
    machine.loadRegistry("REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\DirectX]\n\"Version\"=\"4.09.00.0904\"\n");
    machine.systemFake.environment = {"ComSpec=C:\\WINDOWS\\system32\\cmd.exe", "windir=C:\\WINDOWS"};
    machine.systemFake.ticks = 3 * 3600 * 1000 + 61 * 1000;
    machine.systemFake.keys[0x90] = 1;  // NumLock on
    machine.processorFake.setLeaf(0, {1, 0x756E6547, 0x6C65746E, 0x49656E69});  // "GenuineIntel"
    machine.processorFake.setLeaf(1, {0x00000683, 0, 0, 0x0383FBFF});           // a Pentium III
    machine.firmwareFake.tables[platform::kFirmwareProviderRSMB] = testing::rsmbBlobOf(2, 3, smbiosTable());
    machine.displayFake.poseAsScreen(1024, 768, 16);
    machine.displayFake.modes = {{640, 480, 8, 60}, {1024, 768, 16, 60}};
    machine.powerFake.status = platform::PowerStatus{0, 1, 57, 5400, 0xFFFFFFFF};
    machine.printersFake.installed = {{"HP LaserJet 4", "LPT1:"}, {"\\\\PRINTS\\Colour", "\\\\PRINTS\\Colour"}};
    machine.printersFake.defaultName = "\\\\PRINTS\\Colour";
    machine.networkFake.lanas = {testing::FakeLana{0, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}}};
    machine.multimediaFake.devices[platform::MultimediaKind::WaveOut] = {
        testing::FakeMultimedia::record(52, "SB Live! Wave Device", 0x050A)};
    FakeDrive system;
    system.geometry = platform::ClusterGeometry{8, 512, 1000, 5000};
    system.volume = platform::VolumeInformation{"SYSTEM", "NTFS", 0x1A2B3C4D, 255, 0x0000001F};
    machine.filesFake.addDrive('C', system);
    FakeDrive cdrom;
    cdrom.type = platform::DriveType::CDROM;
    cdrom.present = false;
    machine.filesFake.addDrive('D', cdrom);
}

void poseAs98(FakePlatform& machine) {
    machine.systemFake.poseAsWindows98(true);
    for (const char* fixture : {"os-98se.reg", "devices-9x.reg", "display-98.reg", "network-98.reg"}) {
        machine.loadRegistryFixture(fixture);
    }
    machine.powerFake.status = platform::PowerStatus{1, 128, 255, 0xFFFFFFFF, 0xFFFFFFFF};
    FakeDrive floppy;
    floppy.type = platform::DriveType::Removable;
    floppy.present = false;
    machine.filesFake.addDrive('A', floppy);
    FakeDrive system;
    system.geometry = platform::ClusterGeometry{64, 512, 12000, 62000};
    system.volume = platform::VolumeInformation{"", "FAT32", 0x0C0FFEE0, 255, 0x00000006};
    machine.filesFake.addDrive('C', system);
}

class OverviewPagesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }

    // Every page of the refreshed root, as the window fills them.
    std::vector<std::string> allPages() {
        const OstrelRoutinesSession session(machine);
        TOstrelSystemInfo root(nullptr, machine);
        root.SetExceptionMode(TExceptionMode::emSilent);
        root.RefreshAll();
        std::vector<std::string> lines;
        for (const OverviewPageInfo& page : kOverviewPages) {
            lines.push_back("== " + std::string(page.name) + " \"" + std::string(page.caption) + "\"");
            for (std::string& line : pageLines(FillPage(root, machine, page.page))) lines.push_back(std::move(line));
        }
        return lines;
    }

    FakePlatform machine;
};

TEST_F(OverviewPagesTest, EveryPageOfTheXPMachineIsTheGoldenFile) {
    poseAsXP(machine);
    EXPECT_EQ(allPages(), testing::fixtureLines("overview-pages-xp.txt"));
}

TEST_F(OverviewPagesTest, EveryPageOfThe98MachineIsTheGoldenFile) {
    poseAs98(machine);
    EXPECT_EQ(allPages(), testing::fixtureLines("overview-pages-98.txt"));
}

// ---------------------------------------------------------------- page commands

std::vector<std::string> listLines(const OverviewPageContent& page, std::string_view name) {
    OverviewPageContent only;
    if (const PageList* list = page.findList(name)) only.lists.push_back(*list);
    std::vector<std::string> lines = pageLines(only);
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
}

TEST(OverviewPageCommandsTest, AdapterAddressesPairWithTheMasksTheyHave) {
    TAdapter adapter;
    adapter.Address = "00-0c-29-3e-5a-c1";
    adapter.Type = 1;
    adapter.EnableDHCP = true;
    adapter.IPAddress = {"192.168.1.5", "192.168.7.1"};
    adapter.IPAddressMask = {"255.255.255.0"};
    adapter.Gateway = {"192.168.1.1"};
    adapter.GatewayMask = {"255.255.255.255", "255.0.0.0"};
    adapter.SecondaryWINS = {"10.0.0.9"};
    OverviewPageContent page;
    ShowTCPIPAdapter(page, &adapter);
    EXPECT_EQ(*page.value("eAT"), "Ethernet");
    EXPECT_EQ(page.switchOf("cbxDHCP"), true);
    EXPECT_EQ(listLines(page, "AdapterList"),
              (std::vector<std::string>{"> Local | 192.168.1.5 | 255.255.255.0", "> Local | 192.168.7.1 | ",
                                        "> Gateway | 192.168.1.1 | 255.255.255.255",
                                        "> Secondary WINS Server | 10.0.0.9 | "}));

    ShowTCPIPAdapter(page, nullptr);
    EXPECT_EQ(*page.value("ePA"), "");
    EXPECT_EQ(page.switchOf("cbxDHCP"), false);
    EXPECT_TRUE(listLines(page, "AdapterList").empty());
}

TEST(OverviewPageCommandsTest, BatteryTimesTheSystemDoesNotKnowAreNotAvailable) {
    const struct {
        const char* label;
        platform::PowerStatus status;
        const char* full;
        const char* life;
        int gauge;  // -1: left as it was
    } cases[] = {
        {"PercentUnknown", {1, 128, 255, 0xFFFFFFFF, 0xFFFFFFFF}, "<info not available>", "<info not available>", -1},
        {"FullTimeUnknown", {0, 1, 57, 5400, 0xFFFFFFFF}, "<info not available>", "1 Hour, 30 Minutes, 0 Seconds.", 57},
        {"BothKnown", {0, 2, 12, 600, 7200}, "2 Hours, 0 Minutes, 0 Seconds.", "10 Minutes, 0 Seconds.", 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        FakePlatform machine;
        machine.powerFake.status = c.status;
        TAPM apm(machine);
        apm.GetInfo();
        const OverviewPageContent page = FillAPMPage(apm);
        EXPECT_EQ(*page.value("eBatFull"), c.full);
        EXPECT_EQ(*page.value("eBatLife"), c.life);
        const PageGauge* gauge = page.gauge("gAPM");
        EXPECT_EQ(gauge ? gauge->range.position : -1, c.gauge);
    }
}

class DrivesPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeDrive system;
        system.geometry = platform::ClusterGeometry{8, 512, 250, 1000};
        system.volume = platform::VolumeInformation{"WORK", "NTFS", 0x12345678, 255, 0};
        machine.filesFake.addDrive('C', system);
        FakeDrive empty;
        empty.geometry = platform::ClusterGeometry{0, 0, 0, 0};
        empty.volume = platform::VolumeInformation{"", "FAT", 0, 12, 0};
        machine.filesFake.addDrive('E', empty);
        disk.GetInfo();
    }
    FakePlatform machine;
    TDisk disk{machine};
};

TEST_F(DrivesPageTest, TheWindowsDriveIsSelectedAndGetsItsLabelOnce) {
    OverviewPageContent page = FillDrivesPage(disk, machine, "C:\\WINDOWS");
    cbDriveChange(page, disk, machine, 1);
    cbDriveChange(page, disk, machine, 0);
    EXPECT_EQ(listLines(page, "cbDrive"), (std::vector<std::string>{"* C: [WORK]", "> E: []"}));
    EXPECT_EQ(*page.value("lCapacity"), "Capacity: 4.096.000 B") << "the fake's thousands separator";
    EXPECT_EQ(*page.value("lFree"), "Free space: 1.024.000 B");
    EXPECT_EQ(page.gauge("gDisk")->range.position, 75);
    EXPECT_EQ(*page.value("lDriveType"), "NTFS - Fixed");
    EXPECT_EQ(*page.value("imgDrive"), "C:\\");
}

TEST_F(DrivesPageTest, NoMatchingDriveOrNoCapacityShowsNothingToDivide) {
    OverviewPageContent page = FillDrivesPage(disk, machine, "F:\\WINDOWS");
    EXPECT_EQ(page.findList("cbDrive")->selected, -1);
    for (const char* name : {"lDriveType", "eUNC", "eDSN", "lCapacity", "lFree", "lBPS", "lTC"}) {
        EXPECT_EQ(*page.value(name), "") << name;
    }
    EXPECT_TRUE(page.findList("clbFlags")->items.empty());
    EXPECT_EQ(page.gauge("gDisk")->range.position, 0);

    cbDriveChange(page, disk, machine, 1);
    EXPECT_EQ(page.gauge("gDisk")->range.position, 0) << "a drive without capacity";
    cbDriveChange(page, disk, machine, 7);
    EXPECT_EQ(page.findList("cbDrive")->selected, -1);
    EXPECT_EQ(*page.value("lCapacity"), "");
    EXPECT_TRUE(FillDrivesPage(disk, machine, "").findList("cbDrive")->selected == -1);
}

TEST(OverviewPageCommandsTest, StartupTabsShowTheirSource) {
    ResetOstrelRoutines();
    FakePlatform machine;
    machine.loadRegistryFixture("startup-xp.reg");
    const auto startup = testing::refreshedProbe<TStartup>(machine);
    OverviewPageContent page = FillStartupPage(*startup);
    EXPECT_EQ(page.findList("tcStartup")->items.at(2).caption, "HKLM \\\\ Run");
    const struct {
        int tab;
        TStartupKind kind;
    } cases[] = {{0, TStartupKind::UserStartup}, {2, TStartupKind::HKLMRun}, {3, TStartupKind::HKCURun},
                 {4, TStartupKind::RunOnce},     {6, TStartupKind::WinIni}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        tcStartupChange(page, *startup, c.tab);
        const PageList& list = *page.findList("lvStartup");
        const int expected = c.tab < 6 ? startup->Entries(c.kind).count() : 0;
        ASSERT_EQ(static_cast<int>(list.items.size()), expected);
        for (int index = 0; index < expected; ++index) {
            EXPECT_EQ(list.items[static_cast<size_t>(index)].caption, startup->Name(c.kind, index));
            EXPECT_EQ(list.items[static_cast<size_t>(index)].subItems.at(0), startup->Command(c.kind, index));
        }
    }
    ResetOstrelRoutines();
}

class RecordingPresenter : public DetailDialogPresenter {
public:
    int showModal(TdlgVesk_Detail& dialog) override {
        EXPECT_NE(dialog.owner(), nullptr);
        pages.push_back(dialog.PageIndex());
        titles.push_back(dialog.TitleText());
        ticks.clear();
        for (const CheckItem& item : dialog.clb) ticks.push_back(item.text + (item.checked ? "=1" : "=0"));
        rows.clear();
        for (const DetailRow& row : dialog.lv) rows.push_back(row.variable + "=" + row.value);
        return kModalResultOK;
    }
    std::vector<int> pages;
    std::vector<std::string> titles;
    std::vector<std::string> ticks;
    std::vector<std::string> rows;
};

TEST_F(OverviewPagesTest, PageCommandsFillAndShowTheDetailDialog) {
    poseAsXP(machine);
    const OstrelRoutinesSession session(machine);
    TOstrelSystemInfo root(nullptr, machine);
    root.SetExceptionMode(TExceptionMode::emSilent);
    root.RefreshAll();
    TComponent window(nullptr);
    RecordingPresenter presenter;

    EXPECT_EQ(ShowDetail(&window, presenter, cmModes(root.Display())), kModalResultOK);
    EXPECT_EQ(presenter.ticks, (std::vector<std::string>{"640 x 480 - 8 bit=1", "1024 x 768 - 16 bit=1"}));
    EXPECT_EQ(window.componentCount(), 0) << "the dialog is freed after it closed";

    const std::vector<std::string> titles = {"Curve Capabilities", "Line Capabilities", "Polygonal Capabilities",
                                             "Raster Capabilities", "Text Capabilities"};
    for (int tag = 0; tag < 5; ++tag) ShowDetail(&window, presenter, *cmCaps(root.Display(), tag));
    EXPECT_EQ(std::vector<std::string>(presenter.titles.end() - 5, presenter.titles.end()), titles);
    EXPECT_FALSE(cmCaps(root.Display(), 5).has_value());

    ShowDetail(&window, presenter, cmNTSpec(root.OS()));
    EXPECT_EQ(presenter.titles.back(), "Installed Suites");
    ASSERT_EQ(presenter.ticks.size(), 9u) << "the nine suite lines, none skipped";
    EXPECT_EQ(presenter.ticks[0], "Microsoft Small Business Server=0");

    ShowDetail(&window, presenter, cmEnvironment(root.OS()));
    EXPECT_EQ(presenter.pages.back(), static_cast<int>(DetailPage::ListView));
    EXPECT_EQ(presenter.rows, (std::vector<std::string>{"ComSpec=C:\\WINDOWS\\system32\\cmd.exe", "windir=C:\\WINDOWS"}));

    for (const DetailRequest& request : {cmProto(root.Network()), cmServ(root.Network()), cmCli(root.Network())}) {
        ShowDetail(&window, presenter, request);
        EXPECT_EQ(presenter.pages.back(), static_cast<int>(DetailPage::CheckBox));
    }
    EXPECT_EQ(std::vector<std::string>(presenter.titles.end() - 3, presenter.titles.end()),
              (std::vector<std::string>{"Protocols", "Services", "Clients"}));

    // The device tree: "Properties..." only for a device node.
    OverviewPageContent devices = FillPage(root, machine, OverviewPage::Devices);
    ASSERT_TRUE(devices.tree && !devices.tree->children.empty());
    const struct {
        DeviceTreeSelection selection;
        bool device;
    } selections[] = {{{-1, -1}, false}, {{0, -1}, false}, {{0, 0}, true}, {{0, 99}, false}, {{99, 0}, false}};
    for (const auto& s : selections) {
        TreeChange(devices, s.selection);
        EXPECT_EQ(devices.switchOf("bProps"), s.device);
        EXPECT_EQ(cmProps(devices, root.Devices(), s.selection).has_value(), s.device);
    }
    ShowDetail(&window, presenter, *cmProps(devices, root.Devices(), {0, 0}));
    EXPECT_EQ(presenter.titles.back(), "Device Properties");
    ASSERT_EQ(presenter.rows.size(), 13u);
    const PageTreeNode& classNode = devices.tree->children[0];
    EXPECT_EQ(presenter.rows[0], "Device Name=" + classNode.children[0].caption);
    EXPECT_EQ(presenter.rows[2], "Class Description=" + classNode.caption);
    EXPECT_EQ(presenter.rows[12].rfind("Service Group=", 0), 0u);
}

TEST(OverviewPageCommandsTest, LiveMemoryGaugesAboveTwoGBAreInMB) {
    FakePlatform machine;
    machine.systemFake.memoryEx = platform::MemoryStatusEx{};
    machine.systemFake.memoryEx->memoryLoad = 40;
    machine.systemFake.memoryEx->totalPhys = 6ull << 30;
    machine.systemFake.memoryEx->availPhys = 3ull << 30;
    machine.systemFake.memoryEx->totalPageFile = 1ull << 30;
    machine.systemFake.memoryEx->availPageFile = 1ull << 29;
    machine.systemFake.memoryEx->totalVirtual = 2ull << 30;
    machine.systemFake.memoryEx->availVirtual = 1ull << 30;
    const auto memory = testing::refreshedProbe<TMemory>(machine);
    const OverviewPageContent page = MemoryLiveContent(*memory, ".");
    EXPECT_EQ(page.gauge("gPhys")->range, (GaugeRange{6144, 3072}));
    EXPECT_EQ(page.gauge("gPage")->range, (GaugeRange{1 << 30, 1 << 29}));
    EXPECT_EQ(page.gauge("gVirt")->range, (GaugeRange{2048, 1024})) << "2 GB is one byte too many";
    EXPECT_EQ(*page.value("ePhysTotal"), "6.442.450.944");
    EXPECT_EQ(*page.value("ePhysFree"), "3.221.225.472");
    EXPECT_EQ(page.gauge("gLoad")->range.position, 40);
    EXPECT_EQ(*page.value("lGDI"), "GDI - 90% free");
    EXPECT_EQ(CPUUsageContent(-1).gauge("CPUGauge")->range.position, 0);
    EXPECT_EQ(CPUUsageContent(73).gauge("CPUGauge")->range.position, 73);
    ResetOstrelRoutines();
}

}  // namespace
}  // namespace vardak::probes
