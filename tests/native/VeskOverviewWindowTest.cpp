// The overview window's state and commands through a recording host: the visible pages
// and the page in front, the report button, the refresh and its fill order, the reports
// of all topics and of the page in front with their default file names, the save
// dialog's remembered folder and file name, saving that never leaves a half-written file
// in place of an older one, and the live values of the once-a-second event.
#include "probes/overview/Vesk_OverviewWindow.h"

#include "probes/overview/Vesk_OverviewLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/ReportProgram.h"
#include "framework/Exception.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeWindowTimer.h"

namespace vardak::probes {
namespace {

using testing::FakeDrive;
using testing::FakePlatform;

std::string pageName(OverviewPage page) { return std::string(kOverviewPages[static_cast<size_t>(page)].name); }

// Writes what the window asks of the screen as lines; answers the save dialog from a
// script (a cancel when it runs out); can fail while showing one page.
class RecordingHost : public OverviewWindowHost {
public:
    void showPageTab(OverviewPage page, bool shown) override {
        log.push_back("tab " + pageName(page) + (shown ? " on" : " off"));
    }
    void activatePage(OverviewPage page) override { log.push_back("front " + pageName(page)); }
    void showReportButton(bool shown) override { log.push_back(shown ? "report on" : "report off"); }
    void showPageContent(OverviewPage page, const OverviewPageContent& content) override {
        if (failingPage && *failingPage == page) throw std::runtime_error("cannot show " + pageName(page));
        log.push_back("content " + pageName(page));
        shown.emplace_back(page, content);
    }
    void setBusyCursor(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
    SaveDialogAnswer runSaveDialog(const SaveDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return {false, request.fileName, 0};
        SaveDialogAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void popupReportMenu() override { log.push_back("report menu"); }
    void showPrinterSetup() override { log.push_back("printer setup"); }
    int showModal() override {
        log.push_back("modal");
        return 1;
    }
    void closeWindow() override { log.push_back("close"); }
    platform::WindowHandle windowHandle() const override { return handle; }
    void putBackTick(OverviewPage page, std::string_view list, int index, bool checked) override {
        log.push_back("tick " + pageName(page) + " " + std::string(list) + " " + std::to_string(index) +
                      (checked ? " on" : " off"));
    }

    // The last content shown on a page.
    const OverviewPageContent* lastShown(OverviewPage page) const {
        for (auto entry = shown.rbegin(); entry != shown.rend(); ++entry) {
            if (entry->first == page) return &entry->second;
        }
        return nullptr;
    }

    std::vector<std::string> log;
    std::vector<std::pair<OverviewPage, OverviewPageContent>> shown;
    std::vector<SaveDialogRequest> requests;
    std::deque<SaveDialogAnswer> answers;
    std::optional<OverviewPage> failingPage;
    platform::WindowHandle handle = reinterpret_cast<platform::WindowHandle>(0x1234);
};

// Records the detail dialogs as they are shown: owner, page, title and contents.
class RecordingPresenter : public DetailDialogPresenter {
public:
    int showModal(TdlgVesk_Detail& dialog) override {
        std::string line = std::string(dialog.owner() != nullptr ? dialog.owner()->className() : "none") + " " +
                           std::to_string(dialog.PageIndex()) + " " + dialog.TitleText();
        line += " clb " + std::to_string(dialog.clb.size()) + " lv " + std::to_string(dialog.lv.size());
        shown.push_back(line);
        return 1;
    }
    std::vector<std::string> shown;
};

void poseAsXPMachine(FakePlatform& machine) {
    for (const char* fixture : {"os-xp.reg", "devices-nt.reg", "display-xp.reg", "network-xp.reg"}) {
        machine.loadRegistryFixture(fixture);
    }
    machine.systemFake.ticks = 2 * 3600 * 1000 + 5 * 1000;
    FakeDrive system;
    system.geometry = platform::ClusterGeometry{8, 512, 1000, 5000};
    system.volume = platform::VolumeInformation{"SYSTEM", "NTFS", 0x1A2B3C4D, 255, 0x0000001F};
    machine.filesFake.addDrive('C', system);
}

class OverviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetOstrelRoutines();
        poseAsXPMachine(machine);
        // The kernel's processor records, so that the usage meter runs.
        machine.systemFake.nativeAnswers[kProcessorPerformanceInformation] =
            std::vector<std::vector<uint8_t>>(64, std::vector<uint8_t>(48, 0));
        session = std::make_unique<OstrelRoutinesSession>(machine);
        root = std::make_unique<TOstrelSystemInfo>(nullptr, machine);
        root->SetExceptionMode(TExceptionMode::emSilent);
    }
    void TearDown() override {
        root.reset();
        session.reset();
        ResetOstrelRoutines();
    }

    std::unique_ptr<TfrmVesk_Overview> makeWindow() {
        return std::make_unique<TfrmVesk_Overview>(
            *root, machine, OverviewWindowServices{host, remembered, presenter, testing::fakeTimerFactory(timer)});
    }

    // The root's report of everything as a file holds it.
    std::string fullReport() const {
        TStringList report;
        root->ReportAll(report);
        return reportText(report);
    }

    FakePlatform machine;
    std::unique_ptr<OstrelRoutinesSession> session;
    std::unique_ptr<TOstrelSystemInfo> root;
    RecordingHost host;
    ReportFileMemory remembered;
    RecordingPresenter presenter;
    testing::TimerState timer;
};

// ---------------------------------------------------------------- creation and pages

TEST_F(OverviewWindowTest, ANewWindowHasEveryPageButAboutAndTheFirstPageInFront) {
    const auto window = makeWindow();
    EXPECT_EQ(window->VisiblePages(), 0x7FFF);
    EXPECT_FALSE(window->isPageVisible(OverviewPage::About));
    EXPECT_EQ(window->ActivePage(), OverviewPage::Wksta);
    EXPECT_FALSE(window->ReportVisible());
    EXPECT_EQ(host.log, (std::vector<std::string>{"front tsWksta", "content tsAbout"}));
    const OverviewPageContent& about = window->PageContent(OverviewPage::About);
    ASSERT_NE(about.value("lTitle"), nullptr);
    EXPECT_EQ(*about.value("lTitle"), "Ostrel System Information Component");
    EXPECT_EQ(*about.value("lVersion"), "Version 7.61");
    host.log.clear();
    window->SetReportVisible(true);
    EXPECT_TRUE(window->ReportVisible());
    window->SetReportVisible(false);
    EXPECT_EQ(host.log, (std::vector<std::string>{"report on", "report off"}));
}

TEST_F(OverviewWindowTest, VisiblePagesShowTheirTabsFromTheLastToTheFirstPage) {
    struct Case {
        const char* name;
        OverviewPageSet pages;
        std::vector<std::string> shownTabs;  // in the order they are brought forward
        OverviewPage front;
    };
    const Case kCases[] = {
        {"all sixteen", kAllOverviewPages,
         {"tsAbout", "tsSoftware", "tsStartup", "tsTZ", "tsDrives", "tsEngines", "tsPrinters", "tsDevices",
          "tsNetwork", "tsMedia", "tsAPM", "tsDisplay", "tsMemory", "tsCPU", "tsOS", "tsWksta"},
         OverviewPage::Wksta},
        {"memory and printers", static_cast<OverviewPageSet>(pageBit(OverviewPage::Memory) |
                                                             pageBit(OverviewPage::Printers)),
         {"tsPrinters", "tsMemory"}, OverviewPage::Memory},
        {"only About", pageBit(OverviewPage::About), {"tsAbout"}, OverviewPage::About},
        {"none", 0, {}, OverviewPage::Wksta},
    };
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        host.log.clear();
        const auto window = makeWindow();
        host.log.clear();
        window->SetVisiblePages(test.pages);
        EXPECT_EQ(window->VisiblePages(), test.pages);
        EXPECT_EQ(window->ActivePage(), test.front);
        // Every tab is set once, from the last page down; each shown page comes forward after its tab.
        std::vector<std::string> fronts;
        for (size_t line = 0; line < host.log.size(); ++line) {
            if (host.log[line].rfind("front ", 0) != 0) continue;
            fronts.push_back(host.log[line].substr(6));
            EXPECT_EQ(host.log[line - 1], "tab " + fronts.back() + " on");
        }
        EXPECT_EQ(fronts, test.shownTabs);
        EXPECT_EQ(host.log.size(), kOverviewPageCount + fronts.size());
        EXPECT_EQ(host.log.front(), test.pages & 0x8000 ? "tab tsAbout on" : "tab tsAbout off");
    }
}

// ---------------------------------------------------------------- refresh

std::vector<std::string> contentLog(const std::vector<std::string>& log) {
    std::vector<std::string> contents;
    for (const std::string& line : log) {
        if (line.rfind("content ", 0) == 0) contents.push_back(line.substr(8));
    }
    return contents;
}

TEST_F(OverviewWindowTest, RefreshFillsOnlyTheVisiblePagesInTheFillOrder) {
    struct Case {
        const char* name;
        OverviewPageSet pages;
        std::vector<std::string> filled;
    };
    const Case kCases[] = {
        {"all sixteen", kAllOverviewPages,
         {"tsWksta", "tsOS", "tsCPU", "tsMemory", "tsDisplay", "tsAPM", "tsMedia", "tsNetwork", "tsDevices",
          "tsEngines", "tsDrives", "tsTZ", "tsPrinters", "tsStartup", "tsSoftware"}},
        {"printers before drives in the set, after them in the fill",
         static_cast<OverviewPageSet>(pageBit(OverviewPage::Printers) | pageBit(OverviewPage::Drives) |
                                      pageBit(OverviewPage::TZ)),
         {"tsDrives", "tsTZ", "tsPrinters"}},
        {"only About", pageBit(OverviewPage::About), {}},
    };
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        const auto window = makeWindow();
        window->SetVisiblePages(test.pages);
        host.log.clear();
        window->cmRefresh();
        EXPECT_EQ(contentLog(host.log), test.filled);
        ASSERT_GE(host.log.size(), 4u);
        EXPECT_EQ(host.log[0], "busy");
        EXPECT_EQ(host.log[1], "busy");
        EXPECT_EQ(host.log[host.log.size() - 2], "idle");
        EXPECT_EQ(host.log.back(), "idle");
    }
}

TEST_F(OverviewWindowTest, RefreshShowsWhatTheRootsPagesHold) {
    const auto window = makeWindow();
    window->cmRefresh();
    for (const OverviewPage page : {OverviewPage::Wksta, OverviewPage::OS, OverviewPage::Drives}) {
        SCOPED_TRACE(pageName(page));
        const std::vector<std::string> expected = pageLines(FillPage(*root, machine, page));
        EXPECT_EQ(pageLines(window->PageContent(page)), expected);
        ASSERT_NE(host.lastShown(page), nullptr);
        EXPECT_EQ(pageLines(*host.lastShown(page)), expected);
    }
    EXPECT_EQ(window->PageCaption(OverviewPage::OS), "Windows NT");
    EXPECT_EQ(window->PageCaption(OverviewPage::Devices), " Devices ");
}

TEST_F(OverviewWindowTest, TheNormalCursorComesBackWhenAFillFails) {
    const auto window = makeWindow();
    host.failingPage = OverviewPage::CPU;
    host.log.clear();
    EXPECT_THROW(window->cmRefresh(), std::runtime_error);
    EXPECT_EQ(contentLog(host.log), (std::vector<std::string>{"tsWksta", "tsOS"}));
    EXPECT_EQ(host.log.back(), "idle");
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "busy"),
              std::count(host.log.begin(), host.log.end(), "idle"));
}

// ---------------------------------------------------------------- reports

const std::string kProgramFolder = "C:\\Program Files\\Vardak\\";

TEST_F(OverviewWindowTest, AllTopicsSavesWhatTheReportProgramWritesOfTheSameMachine) {
    const auto window = makeWindow();
    window->cmRefresh();
    host.answers.push_back({true, "C:\\Reports\\all.txt", 0});
    window->cmReportAll();
    ASSERT_EQ(host.requests.size(), 1u);
    const SaveDialogRequest& request = host.requests[0];
    EXPECT_EQ(request.initialDirectory, kProgramFolder);
    EXPECT_EQ(request.fileName, "SystemInfo.txt");
    EXPECT_EQ(request.title, "Select file");
    EXPECT_EQ(request.filterName, "All Files");
    EXPECT_EQ(request.filterPattern, "*.*");
    EXPECT_EQ(request.options, 0x00280806u);
    EXPECT_EQ(machine.filesFake.readFile("C:\\Reports\\all.txt"), fullReport());
    EXPECT_EQ(remembered.directory, "C:\\Reports\\");
    EXPECT_EQ(remembered.fileName, "all.txt");
    EXPECT_EQ(machine.filesFake.filePaths().size(), 1u) << "a file was left beside the report";
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(app::runReportProgram(machine, {"--silent", "--output", "C:\\Reports\\program.txt"}, out, err), 0)
        << err.str();
    EXPECT_EQ(machine.filesFake.readFile("C:\\Reports\\all.txt"), machine.filesFake.readFile("C:\\Reports\\program.txt"));
}

TEST_F(OverviewWindowTest, CancellingEitherReportWritesNothing) {
    const auto window = makeWindow();
    window->cmRefresh();
    window->cmReportCurrent();
    EXPECT_EQ(remembered.fileName, "Machine.txt");
    window->cmReportAll();
    EXPECT_EQ(window->ReportList().count(), 0);
    EXPECT_TRUE(machine.filesFake.filePaths().empty());
    // The buffer held the name without a folder: the next dialog opens in the program's.
    EXPECT_EQ(remembered.fileName, "SystemInfo.txt");
    EXPECT_EQ(remembered.directory, "");
    window->cmReportAll();
    ASSERT_EQ(host.requests.size(), 3u);
    EXPECT_EQ(host.requests[2].initialDirectory, kProgramFolder);
}

TEST_F(OverviewWindowTest, CurrentTopicSavesTheBannerAndThePagesReport) {
    using Report = void (*)(const TOstrelSystemInfo&, TStrings&);
    struct Case {
        OverviewPage page;
        const char* fileName;
        Report report;
    };
    const Case kCases[] = {
        {OverviewPage::Wksta, "Machine.txt", [](const TOstrelSystemInfo& r, TStrings& l) { r.Machine().Report(l); }},
        {OverviewPage::OS, "Windows NT.txt", [](const TOstrelSystemInfo& r, TStrings& l) { r.OS().Report(l); }},
        {OverviewPage::Memory, "Memory.txt", [](const TOstrelSystemInfo& r, TStrings& l) { r.Memory().Report(l); }},
        {OverviewPage::Devices, "Devices.txt", [](const TOstrelSystemInfo& r, TStrings& l) { r.Devices().Report(l); }},
        {OverviewPage::Drives, "Drives.txt", [](const TOstrelSystemInfo& r, TStrings& l) { r.Disk().Report(l); }},
        {OverviewPage::TZ, "Time Zone.txt",
         [](const TOstrelSystemInfo& r, TStrings& l) { r.OS().TimeZone().Report(l); }},
        {OverviewPage::Software, "Software.txt",
         [](const TOstrelSystemInfo& r, TStrings& l) { r.Software().Report(l); }},
        {OverviewPage::About, "About.txt", [](const TOstrelSystemInfo&, TStrings&) {}},
    };
    const auto window = makeWindow();
    window->SetVisiblePages(kAllOverviewPages);
    window->cmRefresh();
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.fileName);
        window->PageChanged(test.page);
        const std::string path = "C:\\Reports\\" + std::string(test.fileName);
        host.answers.push_back({true, path, 0});
        window->cmReportCurrent();
        EXPECT_EQ(host.requests.back().fileName, test.fileName);
        TStringList expected;
        expected.add(";" + root->About());
        test.report(*root, expected);
        EXPECT_EQ(machine.filesFake.readFile(path), reportText(expected));
        EXPECT_EQ(window->ReportList().count(), expected.count());
    }
    EXPECT_EQ(root->About().rfind("Ostrel System Information Component 7.61", 0), 0u);
}

TEST_F(OverviewWindowTest, TheFolderAndNameAreRememberedAcrossWindows) {
    {
        const auto first = makeWindow();
        host.answers.push_back({true, "D:\\Out\\first.txt", 0});
        first->cmReportAll();
    }
    const auto second = makeWindow();
    second->cmReportCurrent();
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[1].initialDirectory, "D:\\Out\\");
    EXPECT_EQ(host.requests[1].fileName, "Machine.txt");
}

TEST_F(OverviewWindowTest, AReportThatCannotBeWrittenLeavesTheOlderFile) {
    enum class Trouble { FullDisk, ReadOnlyTarget };
    struct Case {
        const char* name;
        Trouble trouble;
    };
    const Case kCases[] = {{"full disk", Trouble::FullDisk}, {"read-only file", Trouble::ReadOnlyTarget}};
    const std::string path = "C:\\Reports\\SystemInfo.txt";
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        machine.filesFake.limitWrites(SIZE_MAX);
        machine.filesFake.writeFile(path, "older report\r\n");
        if (test.trouble == Trouble::FullDisk) machine.filesFake.limitWrites(40);
        if (test.trouble == Trouble::ReadOnlyTarget) machine.filesFake.markReadOnly(path);
        const auto window = makeWindow();
        window->cmRefresh();
        host.answers.push_back({true, path, 0});
        try {
            window->cmReportAll();
            FAIL() << "no error raised";
        } catch (const EFCreateError& error) {
            EXPECT_EQ(error.message(), "Cannot create file " + path);
        }
        EXPECT_EQ(machine.filesFake.readFile(path), "older report\r\n");
        EXPECT_EQ(machine.filesFake.filePaths().size(), 1u) << "a file was left beside the report";
    }
    // Writable again: the complete report takes the older one's place.
    machine.filesFake.limitWrites(SIZE_MAX);
    TStringList report;
    report.add("[Section]");
    SaveReportReplacing(machine.filesFake, "C:\\r.txt", report);
    SaveReportReplacing(machine.filesFake, "C:\\r.txt", report);
    EXPECT_EQ(machine.filesFake.readFile("C:\\r.txt"), "[Section]\r\n");
}

TEST_F(OverviewWindowTest, AnErrorOfACommandIsShownAndTheWindowGoesOn) {
    const std::string path = "C:\\Reports\\SystemInfo.txt";
    machine.filesFake.writeFile(path, "older report\r\n");
    machine.filesFake.markReadOnly(path);
    const auto window = makeWindow();
    host.answers.push_back({true, path, 0});
    EXPECT_FALSE(window->RunCommand([&] { window->cmReportAll(); }));
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
    EXPECT_EQ(machine.uiFake.errors[0].text, "Cannot create file " + path);

    // A failing dialog: its code, nothing written, nothing remembered.
    remembered.directory = "C:\\Before\\";
    host.answers.push_back({false, "", 0x3003});
    EXPECT_FALSE(window->RunCommand([&] { window->cmReportCurrent(); }));
    ASSERT_EQ(machine.uiFake.errors.size(), 2u);
    EXPECT_EQ(machine.uiFake.errors[1].text, "GetFileSaveDlg.CommDlgExtendedError = 3003");
    EXPECT_EQ(window->ReportList().count(), 0);
    EXPECT_EQ(machine.filesFake.filePaths().size(), 1u);
    EXPECT_EQ(remembered.directory, "C:\\Before\\");

    host.answers.push_back({true, "C:\\Reports\\other.txt", 0});
    EXPECT_TRUE(window->RunCommand([&] { window->cmReportAll(); }));
    EXPECT_EQ(machine.uiFake.errors.size(), 2u);
    EXPECT_EQ(machine.filesFake.readFile("C:\\Reports\\other.txt"), fullReport());
}

TEST_F(OverviewWindowTest, AClickedCheckListItemGetsItsTickBack) {
    const auto window = makeWindow();
    window->cmRefresh();
    const PageList* features = window->PageContent(OverviewPage::CPU).findList("clbCPU");
    ASSERT_NE(features, nullptr);
    ASSERT_GE(features->items.size(), 2u);
    struct Case {
        const char* name;
        OverviewPage page;
        const char* list;
        int index;
        bool answered;
    };
    const int last = static_cast<int>(features->items.size()) - 1;
    ASSERT_NE(window->PageContent(OverviewPage::Software).findList("lvSW"), nullptr);
    const Case kCases[] = {
        {"first item", OverviewPage::CPU, "clbCPU", 0, true},
        {"last item", OverviewPage::CPU, "clbCPU", last, true},
        {"beside the items", OverviewPage::CPU, "clbCPU", last + 1, false},
        {"no item under the cursor", OverviewPage::CPU, "clbCPU", -1, false},
        {"a list that is no check list", OverviewPage::Software, "lvSW", 0, false},
        {"a list the page lacks", OverviewPage::CPU, "clbFlags", 0, false},
    };
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        host.log.clear();
        const std::optional<bool> tick = window->clbClickCheck(test.page, test.list, test.index);
        EXPECT_EQ(tick.has_value(), test.answered);
        if (test.answered) {
            const bool checked = features->items[static_cast<size_t>(test.index)].checked;
            EXPECT_EQ(*tick, checked);
            EXPECT_EQ(host.log, std::vector<std::string>{"tick tsCPU clbCPU " + std::to_string(test.index) +
                                                         (checked ? " on" : " off")});
        } else {
            EXPECT_TRUE(host.log.empty());
        }
    }
}

TEST(OverviewReportFileTest, PathsSplitIntoFolderAndName) {
    struct Case {
        const char* path;
        const char* folder;
        const char* name;
    };
    constexpr Case kCases[] = {
        {"C:\\Reports\\all.txt", "C:\\Reports\\", "all.txt"},
        {"SystemInfo.txt", "", "SystemInfo.txt"},
        {"C:\\", "C:\\", ""},
        {"C:file.txt", "C:", "file.txt"},
        {"\\\\server\\share\\x.txt", "\\\\server\\share\\", "x.txt"},
        {"", "", ""},
    };
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.path);
        EXPECT_EQ(ExtractFilePath(test.path), test.folder);
        EXPECT_EQ(ExtractFileName(test.path), test.name);
    }
}

// ---------------------------------------------------------------- live values

TEST_F(OverviewWindowTest, EverySecondTheMemoryUsageUptimeAndLockKeysAreShown) {
    struct Case {
        int32_t usage;
        int32_t gauge;
    };
    constexpr Case kCases[] = {{42, 42}, {0, 0}, {-1, 0}, {100, 100}};
    const auto window = makeWindow();
    window->cmRefresh();
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.usage);
        machine.systemFake.ticks += 1000;
        machine.systemFake.keys[0x14] = 1;  // CapsLock on
        host.shown.clear();
        host.log.clear();
        window->CPUUsageInterval(test.usage);
        EXPECT_EQ(host.log,
                  (std::vector<std::string>{"content tsMemory", "content tsCPU", "content tsWksta"}));
        const PageGauge* gauge = host.lastShown(OverviewPage::CPU)->gauge("CPUGauge");
        ASSERT_NE(gauge, nullptr);
        EXPECT_EQ(gauge->range.position, test.gauge);
        EXPECT_EQ(pageLines(*host.lastShown(OverviewPage::Memory)),
                  pageLines(MemoryLiveContent(root->Memory(), UserThousandSeparator(machine))));
        EXPECT_EQ(pageLines(*host.lastShown(OverviewPage::Wksta)), pageLines(MachineLiveContent(root->Machine())));
        EXPECT_TRUE(root->Machine().CapsLock());
        // The page contents keep the live values beside what the fill put there.
        EXPECT_EQ(window->PageContent(OverviewPage::CPU).gauge("CPUGauge")->range.position, test.gauge);
        const OverviewPageContent& machinePage = window->PageContent(OverviewPage::Wksta);
        EXPECT_EQ(*machinePage.value("eSysTime"), *host.lastShown(OverviewPage::Wksta)->value("eSysTime"));
        ASSERT_NE(machinePage.value("eWksta"), nullptr);
        EXPECT_EQ(std::count_if(machinePage.colours.begin(), machinePage.colours.end(),
                                [](const PageColour& c) { return c.name == "pCapsLock" && c.colour == kLockKeyOn; }),
                  1);
        ASSERT_NE(window->PageContent(OverviewPage::Memory).value("ePhysTotal"), nullptr);
    }
}

TEST_F(OverviewWindowTest, TheUsageMeterTicksOnceASecondWhileTheWindowExists) {
    auto window = makeWindow();
    EXPECT_TRUE(window->CPUUsage().Active());
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(timer.period, 1000u);
    EXPECT_EQ(timer.starts, 1);
    host.log.clear();
    ASSERT_TRUE(timer.tick);
    machine.systemFake.ticks += 1000;
    timer.tick();
    EXPECT_EQ(host.log, (std::vector<std::string>{"content tsMemory", "content tsCPU", "content tsWksta"}));
    // The first reading after the start is 0; then a second with no idle time is all busy.
    EXPECT_EQ(host.lastShown(OverviewPage::CPU)->gauge("CPUGauge")->range.position, 0);
    machine.systemFake.ticks += 1000;
    timer.tick();
    EXPECT_EQ(host.lastShown(OverviewPage::CPU)->gauge("CPUGauge")->range.position, 100);
    window.reset();
    EXPECT_FALSE(timer.running);
}

// ---------------------------------------------------------------- showing the window

TEST_F(OverviewWindowTest, ShowOverviewShowsEveryPageRefreshesAndRunsTheModalLoop) {
    const auto window = makeWindow();
    host.log.clear();
    EXPECT_EQ(ShowOverview(*window), 1);
    EXPECT_EQ(window->VisiblePages(), kAllOverviewPages);
    EXPECT_TRUE(window->ReportVisible());
    EXPECT_EQ(window->ActivePage(), OverviewPage::Wksta);
    EXPECT_EQ(contentLog(host.log).size(), 15u);
    const auto reportOn = std::find(host.log.begin(), host.log.end(), "report on");
    const auto firstBusy = std::find(host.log.begin(), host.log.end(), "busy");
    ASSERT_NE(reportOn, host.log.end());
    EXPECT_LT(reportOn, firstBusy);
    EXPECT_EQ(std::count(host.log.begin(), reportOn, "tab tsAbout on"), 1);
    EXPECT_EQ(host.log.back(), "modal");
}

TEST_F(OverviewWindowTest, TheAboutPagesButtonsOpenTheMakersPageAndAMail) {
    struct Case {
        const char* name;
        bool (TfrmVesk_Overview::*command)();
        uint32_t shellResult;
        bool opened;
        const char* target;
    };
    const Case kCases[] = {
        {"web", &TfrmVesk_Overview::cmWeb, 42, true, "https://www.vardak.example/ostrel/"},
        {"mail", &TfrmVesk_Overview::cmMail, 42, true,
         "mailto:ostrel@vardak.example?subject=Ostrel%20System%20Information%20Component"},
        {"web, no browser", &TfrmVesk_Overview::cmWeb, 31, false, "https://www.vardak.example/ostrel/"},
        {"mail, the last failure", &TfrmVesk_Overview::cmMail, 32, false,
         "mailto:ostrel@vardak.example?subject=Ostrel%20System%20Information%20Component"},
    };
    const auto window = makeWindow();
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        machine.shellFake.openedAddresses.clear();
        machine.shellFake.openResult = test.shellResult;
        EXPECT_EQ(((*window).*test.command)(), test.opened);
        ASSERT_EQ(machine.shellFake.openedAddresses.size(), 1u);
        EXPECT_EQ(machine.shellFake.openedAddresses[0].parent, host.handle);
        EXPECT_EQ(machine.shellFake.openedAddresses[0].target, test.target);
    }
}

// ---------------------------------------------------------------- page commands

TEST_F(OverviewWindowTest, DetailDialogsAreOwnedByTheWindowAndFreedAfterwards) {
    struct Case {
        const char* name;
        int (*command)(TfrmVesk_Overview&);
        int result;
        const char* shown;  // nullptr: no dialog
    };
    const Case kCases[] = {
        {"environment", [](TfrmVesk_Overview& w) { return w.cmEnvironment(); }, 1, "TfrmVesk_Overview 3 Environment"},
        {"suites", [](TfrmVesk_Overview& w) { return w.cmNTSpec(); }, 1, "TfrmVesk_Overview 1 Installed Suites"},
        {"modes", [](TfrmVesk_Overview& w) { return w.cmModes(); }, 1, "TfrmVesk_Overview 1 Supported Video Modes"},
        {"text caps", [](TfrmVesk_Overview& w) { return w.cmCaps(4); }, 1, "TfrmVesk_Overview 1 Text Capabilities"},
        {"unknown caps", [](TfrmVesk_Overview& w) { return w.cmCaps(5); }, 0, nullptr},
        {"protocols", [](TfrmVesk_Overview& w) { return w.cmProto(); }, 1, "TfrmVesk_Overview 1 Protocols"},
        {"services", [](TfrmVesk_Overview& w) { return w.cmServ(); }, 1, "TfrmVesk_Overview 1 Services"},
        {"clients", [](TfrmVesk_Overview& w) { return w.cmCli(); }, 1, "TfrmVesk_Overview 1 Clients"},
        {"no device node", [](TfrmVesk_Overview& w) { return w.cmProps({}); }, 0, nullptr},
        {"a class node", [](TfrmVesk_Overview& w) { return w.cmProps({0, -1}); }, 0, nullptr},
        {"a device node", [](TfrmVesk_Overview& w) { return w.cmProps({0, 0}); }, 1,
         "TfrmVesk_Overview 3 Device Properties"},
    };
    const auto window = makeWindow();
    window->cmRefresh();
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        presenter.shown.clear();
        EXPECT_EQ(test.command(*window), test.result);
        if (test.shown == nullptr) {
            EXPECT_TRUE(presenter.shown.empty());
        } else {
            ASSERT_EQ(presenter.shown.size(), 1u);
            EXPECT_EQ(presenter.shown[0].rfind(test.shown, 0), 0u) << presenter.shown[0];
        }
        EXPECT_EQ(window->componentCount(), 0);
    }
}

TEST_F(OverviewWindowTest, SelectorsChangeTheirPageAndShowItAgain) {
    const auto window = makeWindow();
    window->cmRefresh();

    host.log.clear();
    window->tcStartupChange(1);
    EXPECT_EQ(host.log, std::vector<std::string>{"content tsStartup"});
    EXPECT_EQ(window->PageContent(OverviewPage::Startup).findList("tcStartup")->selected, 1);

    host.log.clear();
    window->cbDriveChange(-1);
    EXPECT_EQ(host.log, std::vector<std::string>{"content tsDrives"});
    EXPECT_EQ(window->PageContent(OverviewPage::Drives).findList("cbDrive")->selected, -1);
    window->cbDriveChange(0);
    EXPECT_EQ(window->PageContent(OverviewPage::Drives).findList("cbDrive")->selected, 0);

    host.log.clear();
    window->cbAdaptersChange(-1);
    EXPECT_EQ(host.log, std::vector<std::string>{"content tsNetwork"});
    EXPECT_EQ(window->PageContent(OverviewPage::Network).findList("cbAdapters")->selected, -1);

    window->TreeChange({0, 0});
    EXPECT_EQ(window->PageContent(OverviewPage::Devices).switchOf("bProps"), true);
    window->TreeChange({0, -1});
    EXPECT_EQ(window->PageContent(OverviewPage::Devices).switchOf("bProps"), false);
}

TEST_F(OverviewWindowTest, AClickedCheckBoxGetsItsTickBack) {
    const auto window = makeWindow();
    window->cmRefresh();
    const std::optional<bool> routing = window->PageContent(OverviewPage::Network).switchOf("cbxRouting");
    ASSERT_TRUE(routing.has_value());
    host.shown.clear();
    window->cbxClick(OverviewPage::Network, "cbxRouting");
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(pageLines(host.shown[0].second),
              std::vector<std::string>{std::string("cbxRouting:") + (*routing ? "on" : "off")});
    EXPECT_EQ(window->PageContent(OverviewPage::Network).switchOf("cbxRouting"), routing);
}


TEST(OverviewWindowMeterTest, WithoutPerformanceStatisticsThe98WindowOpensAndShowsMemoryOnce) {
    FakePlatform machine;
    machine.systemFake.poseAsWindows98();
    const OstrelRoutinesSession session(machine);
    TOstrelSystemInfo root(nullptr, machine);
    root.SetExceptionMode(TExceptionMode::emSilent);
    RecordingHost host;
    ReportFileMemory remembered;
    RecordingPresenter presenter;
    testing::TimerState timer;
    TfrmVesk_Overview window(root, machine, {host, remembered, presenter, testing::fakeTimerFactory(timer)});
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].text, "Unable to start performance monitoring");
    EXPECT_FALSE(window.CPUUsage().Active());
    window.cmRefresh();
    EXPECT_NE(window.PageContent(OverviewPage::Memory).value("ePhysTotal"), nullptr);
    EXPECT_NE(window.PageContent(OverviewPage::Wksta).value("eSysTime"), nullptr);
}

// ---------------------------------------------------------------- the layout

bool showsValue(OverviewControlKind kind) {
    using K = OverviewControlKind;
    return kind == K::Label || kind == K::Edit || kind == K::Memo || kind == K::Group || kind == K::Panel ||
           kind == K::ComboBox || kind == K::Icon;
}

OverviewControlKind controlKindOf(PageListKind kind) {
    constexpr OverviewControlKind kKinds[] = {OverviewControlKind::ListView, OverviewControlKind::ListBox,
                                              OverviewControlKind::CheckList, OverviewControlKind::ComboBox};
    return kKinds[static_cast<size_t>(kind)];
}

TEST_F(OverviewWindowTest, EveryNameAPageShowsIsAControlOfThatPageThatCanShowIt) {
    const auto window = makeWindow();
    window->SetVisiblePages(kAllOverviewPages);
    window->cmRefresh();
    window->CPUUsageInterval(40);
    window->TreeChange({0, 0});
    for (const OverviewPageInfo& info : kOverviewPages) {
        SCOPED_TRACE(std::string(info.name));
        const OverviewPageContent& content = window->PageContent(info.page);
        const auto kind = [&](const std::string& name) -> std::optional<OverviewControlKind> {
            const OverviewControl* control = findOverviewControl(info.page, name);
            EXPECT_NE(control, nullptr) << name;
            if (control == nullptr) return std::nullopt;
            return control->kind;
        };
        for (const PageValue& value : content.values) {
            if (value.name == info.name) continue;
            const auto shownIn = kind(value.name);
            EXPECT_TRUE(shownIn && showsValue(*shownIn)) << value.name;
        }
        for (const PageSwitch& entry : content.switches) {
            const auto shownIn = kind(entry.name);
            EXPECT_TRUE(shownIn == OverviewControlKind::CheckBox || shownIn == OverviewControlKind::Button);
        }
        for (const PageColour& entry : content.colours) EXPECT_EQ(kind(entry.name), OverviewControlKind::Panel);
        for (const PageGauge& entry : content.gauges) EXPECT_EQ(kind(entry.name), OverviewControlKind::Gauge);
        for (const PageSheet& entry : content.sheets) EXPECT_NE(findOverviewSheet(info.page, entry.name), nullptr);
        for (const PageList& list : content.lists) {
            // The start-up sources are the tabs of a sheet.
            if (findOverviewSheet(info.page, list.name) != nullptr) continue;
            EXPECT_EQ(kind(list.name), controlKindOf(list.kind)) << list.name;
        }
        if (content.tree) EXPECT_EQ(kind("Tree"), OverviewControlKind::Tree);
    }
    // Every control sits in a container the window makes, no two of a page by one name.
    std::set<std::pair<int, std::string_view>> named;
    for (const OverviewControl& control : overviewControls()) {
        const std::optional<OverviewPage> page = pageOfContainer(control.container);
        EXPECT_TRUE(page || control.container == kOverviewWindowArea) << control.container;
        if (control.name.empty() || !page) continue;
        EXPECT_TRUE(named.insert({static_cast<int>(*page), control.name}).second) << control.name;
    }
}

}  // namespace
}  // namespace vardak::probes
