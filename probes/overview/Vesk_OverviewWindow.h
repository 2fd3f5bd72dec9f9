// The overview window's state and commands, apart from its controls: which pages show
// their tab, whether "Report..." is shown, the refresh that fills the visible pages,
// the reports of all topics or of the page in front saved as text files (through the
// save-file dialog, with the directory and file name remembered across windows), and
// the live values shown once a second. What the window does on the screen goes
// through an `OverviewWindowHost`; the Win32 window is one, tests record.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/WindowTimer.h"
#include "probes/core/Vesk_GUI.h"
#include "probes/overview/Vesk_CPUUsage.h"
#include "probes/overview/Vesk_DetailDlg.h"
#include "probes/overview/Vesk_Overview.h"

namespace vardak::probes {

// A set of page numbers 0..15, bit n for page n.
using OverviewPageSet = uint16_t;
inline constexpr OverviewPageSet kAllOverviewPages = 0xFFFF;
// What a new window shows: every page but About.
inline constexpr OverviewPageSet kOverviewPagesButAbout = 0x7FFF;

constexpr OverviewPageSet pageBit(OverviewPage page) {
    return static_cast<OverviewPageSet>(1u << static_cast<unsigned>(page));
}

// The order the pages are filled in; About has no fill operation.
inline constexpr std::array<OverviewPage, 15> kPageFillOrder{{
    OverviewPage::Wksta, OverviewPage::OS, OverviewPage::CPU, OverviewPage::Memory, OverviewPage::Display,
    OverviewPage::APM, OverviewPage::Media, OverviewPage::Network, OverviewPage::Devices, OverviewPage::Engines,
    OverviewPage::Drives, OverviewPage::TZ, OverviewPage::Printers, OverviewPage::Startup, OverviewPage::Software,
}};

inline constexpr std::string_view kOverviewCaption = "Ostrel System Information";
inline constexpr std::string_view kAboutTitle = "Ostrel System Information Component";
inline constexpr std::string_view kAboutVersion = "Version 7.61";
// The About page's title and version labels.
inline constexpr std::string_view kAboutTitleLabel = "lTitle";
inline constexpr std::string_view kAboutVersionLabel = "lVersion";
inline constexpr std::string_view kAllTopicsFileName = "SystemInfo.txt";
inline constexpr std::string_view kSaveDialogTitle = "Select file";
inline constexpr std::string_view kSaveDialogFilterName = "All Files";
inline constexpr std::string_view kSaveDialogFilterPattern = "*.*";
// Prompt before overwriting, hide the read-only box, path must exist, explorer style,
// long names.
inline constexpr uint32_t kSaveDialogOptions = 0x00280806;
inline constexpr size_t kSaveDialogBufferSize = 10240;
// The About page's buttons: the library maker's web page and a mail to the maker.
inline constexpr std::string_view kMakerWebAddress = "https://www.vardak.example/ostrel/";
inline constexpr std::string_view kMakerMailAddress =
    "mailto:ostrel@vardak.example?subject=Ostrel%20System%20Information%20Component";
// Where a report is written first, beside the file it is then put in place of.
inline constexpr std::string_view kPartialReportSuffix = ".partial";

// The directory of the last saved report and the last report file name, shared by all
// overview windows of the program; both start empty.
struct ReportFileMemory {
    std::string directory;
    std::string fileName;
};

struct SaveDialogRequest {
    std::string initialDirectory;
    std::string fileName;  // the initial file name
    std::string title;
    std::string filterName;
    std::string filterPattern;
    uint32_t options = kSaveDialogOptions;
};

struct SaveDialogAnswer {
    bool confirmed = false;
    // The dialog's file-name buffer: the chosen path, or after a cancel what it was given.
    std::string fileName;
    // The dialog's extended error code; 0 for a confirmation or a plain cancel.
    uint32_t extendedError = 0;
};

// What the window does on the screen.
class OverviewWindowHost {
public:
    virtual ~OverviewWindowHost() = default;
    // Shows or hides a page's tab.
    virtual void showPageTab(OverviewPage page, bool shown) = 0;
    // Brings a page forward.
    virtual void activatePage(OverviewPage page) = 0;
    virtual void showReportButton(bool shown) = 0;
    // Puts a content into the page's controls by name; what it does not name stays.
    virtual void showPageContent(OverviewPage page, const OverviewPageContent& content) = 0;
    // The hourglass while true, the normal cursor again when false.
    virtual void setBusyCursor(bool busy) = 0;
    // The platform's save-file dialog, owned by the window, with a buffer of
    // kSaveDialogBufferSize characters.
    virtual SaveDialogAnswer runSaveDialog(const SaveDialogRequest& request) = 0;
    // Pops up the report menu ("All Topics", "Current Topic") at the screen point of the
    // report button's bottom-left corner.
    virtual void popupReportMenu() = 0;
    virtual void showPrinterSetup() = 0;
    // Shows the window modally until it closes: its modal result.
    virtual int showModal() = 0;
    // Closes the window, which ends its modal loop.
    virtual void closeWindow() = 0;
    // Puts a tick of a page's check list back, without running the click event again.
    virtual void putBackTick(OverviewPage page, std::string_view list, int index, bool checked) = 0;
    // The window's handle, the parent of what the shell opens.
    virtual platform::WindowHandle windowHandle() const = 0;
};

// The folder part of a path up to and with its last "\" (or ":" of a bare drive), and
// the name after it.
std::string ExtractFilePath(std::string_view path);
std::string ExtractFileName(std::string_view path);

// Writes a report beside `path` first and then puts it in its place, so an older file
// is only ever replaced by a complete one; raises EFCreateError when it cannot be
// written, leaving nothing behind.
void SaveReportReplacing(platform::FileSystem& files, const std::string& path, const TStrings& report);

// What the window is made with: the screen side, the remembered report file, the
// presenter of its detail dialogs and the timers of its usage meter.
struct OverviewWindowServices {
    OverviewWindowHost& host;
    ReportFileMemory& files;
    DetailDialogPresenter& details;
    platform::WindowTimerFactory timers;
};

class TfrmVesk_Overview : public TComponent {
public:
    // FormCreate: every page but About in the visible set (the tabs as the layout has
    // them), the first page in front, the About page's title and version shown, and the
    // usage meter running once a second with CPUUsageInterval as its event.
    TfrmVesk_Overview(TOstrelSystemInfo& root, platform::Platform& platform, OverviewWindowServices services);
    // The meter stops before anything else goes.
    ~TfrmVesk_Overview() override;

    std::string_view className() const override { return "TfrmVesk_Overview"; }

    // Stores the set and walks the pages from the last to the first, showing a page's
    // tab exactly when it is in the set and bringing each shown page forward in turn.
    void SetVisiblePages(OverviewPageSet pages);
    OverviewPageSet VisiblePages() const { return visiblePages_; }
    bool isPageVisible(OverviewPage page) const { return (visiblePages_ & pageBit(page)) != 0; }

    void SetReportVisible(bool visible);
    bool ReportVisible() const { return reportVisible_; }

    // The page in front; the view tells when the user picks another tab.
    OverviewPage ActivePage() const { return activePage_; }
    void PageChanged(OverviewPage page) { activePage_ = page; }

    // A page's caption as its tab shows it (the OS page's follows the platform).
    std::string PageCaption(OverviewPage page) const;
    // What the last fill and the page's commands and live values put on a page.
    const OverviewPageContent& PageContent(OverviewPage page) const;

    // "Refresh": RefreshAll of the root, then FillPages, under the hourglass.
    void cmRefresh();
    // Fills every visible page in the fill order, under the hourglass.
    void FillPages();

    // "All Topics": the full report to a file the user picks (default SystemInfo.txt).
    void cmReportAll();
    // "Current Topic": the banner line and the report of the page in front's probe,
    // to a file named after the page by default.
    void cmReportCurrent();
    // The save dialog: true when the user confirmed, with the chosen path in `path`.
    // Remembers the buffer's file name and folder either way; an extended error raises.
    bool GetFileSaveDlg(std::string_view title, std::string_view filterName, std::string_view filterPattern,
                        std::string& path);

    // Once a second with the usage in percent: the memory values, the usage gauge, the
    // uptime and the lock keys.
    void CPUUsageInterval(int32_t usage);

    // The scratch list of the last report.
    const TStrings& ReportList() const { return report_; }
    TOstrelCPUUsage& CPUUsage() const { return *cpuUsage_; }

    // Runs a command of the window's controls: an error it raises (a report file that
    // cannot be written, a failing save dialog) is shown in the "Error" message box and
    // the window stays open. False when there was one.
    bool RunCommand(const std::function<void()>& command);

    // Shows the window modally until it closes: its modal result.
    int ShowModal() { return host_.showModal(); }
    // "OK": closes the window.
    void cmClose() { host_.closeWindow(); }
    // "Report...": the report menu.
    void cmReportClick() { host_.popupReportMenu(); }
    // The Printers page's "Properties...".
    void cmPrintSetup() { host_.showPrinterSetup(); }

    // The About page's buttons: the maker's web page, a new mail to the maker; whether
    // the shell opened it.
    bool cmWeb();
    bool cmMail();

    // Page commands: the page's content changed in place and shown again.
    void cbDriveChange(int index);
    void cbAdaptersChange(int index);
    void tcStartupChange(int tab);
    void TreeChange(DeviceTreeSelection selection);
    // A click on a check box of a page: its tick goes back to what the page showed.
    void cbxClick(OverviewPage page, std::string_view name);
    // A click that toggled item `index` (the item under the mouse cursor) of a page's
    // check list: the tick the page showed, put back; nothing for no such item.
    std::optional<bool> clbClickCheck(OverviewPage page, std::string_view list, int index);

    // Page commands that open a detail dialog owned by the window: its modal result,
    // 0 when the command shows nothing (an unknown tag, no device node selected).
    int cmEnvironment();
    int cmNTSpec();
    int cmModes();
    int cmCaps(int tag);
    int cmProto();
    int cmServ();
    int cmCli();
    int cmProps(DeviceTreeSelection selection);

private:
    int showDetail(const DetailRequest& request);
    void showPage(OverviewPage page);
    // Shows live values on a page and keeps them in its content.
    void showLive(OverviewPage page, const OverviewPageContent& live);
    // The report "Current Topic" writes for a page (nothing for About).
    void reportPage(OverviewPage page, TStrings& report) const;
    void save(const std::string& path);

    TOstrelSystemInfo& root_;
    platform::Platform& platform_;
    OverviewWindowHost& host_;
    ReportFileMemory& files_;
    DetailDialogPresenter& details_;
    OverviewPageSet visiblePages_ = 0;
    bool reportVisible_ = false;
    OverviewPage activePage_ = OverviewPage::Wksta;
    std::array<OverviewPageContent, kOverviewPageCount> pages_{};
    TStringList report_;
    // Last, so that it goes first.
    std::unique_ptr<TOstrelCPUUsage> cpuUsage_;
};

// What the root component's ShowOverview does with the window it made: every page
// visible, "Report..." shown, a refresh, then the window shown modally; its modal result.
int ShowOverview(TfrmVesk_Overview& window);

}  // namespace vardak::probes
