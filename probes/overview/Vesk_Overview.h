// The overview window's pages as data: what each of its sixteen pages shows (texts,
// check boxes, panel colours, gauges, lists and the device tree, by control name),
// computed from the probes of a root component after its refresh, and the page
// commands: the selectors of drive, adapter and start-up source, the device tree's
// selection, and the detail dialogs the page buttons open. A view puts the content
// into its controls by name; a control the content does not name is left as it was.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/SysUtils.h"
#include "platform/Platform.h"
#include "probes/core/Vesk_GUI.h"
#include "probes/overview/Vesk_DetailDlg.h"
#include "probes/overview/Vesk_Painting.h"

namespace vardak::probes {

// ---------------------------------------------------------------- the pages

enum class OverviewPage : uint8_t {
    Wksta, OS, CPU, Memory, Display, APM, Media, Network, Devices, Printers, Engines, Drives, TZ, Startup,
    Software, About,
};
inline constexpr size_t kOverviewPageCount = 16;

struct OverviewPageInfo {
    OverviewPage page;
    std::string_view name;
    std::string_view caption;
};

// By page number.
inline constexpr std::array<OverviewPageInfo, kOverviewPageCount> kOverviewPages{{
    {OverviewPage::Wksta, "tsWksta", " Machine "},
    {OverviewPage::OS, "tsOS", " Operating System"},
    {OverviewPage::CPU, "tsCPU", " CPU "},
    {OverviewPage::Memory, "tsMemory", " Memory "},
    {OverviewPage::Display, "tsDisplay", " Display "},
    {OverviewPage::APM, "tsAPM", " APM "},
    {OverviewPage::Media, "tsMedia", " Media "},
    {OverviewPage::Network, "tsNetwork", " Network "},
    {OverviewPage::Devices, "tsDevices", " Devices "},
    {OverviewPage::Printers, "tsPrinters", " Printers "},
    {OverviewPage::Engines, "tsEngines", " Engines "},
    {OverviewPage::Drives, "tsDrives", " Drives "},
    {OverviewPage::TZ, "tsTZ", "Time Zone"},
    {OverviewPage::Startup, "tsStartup", " Startup "},
    {OverviewPage::Software, "tsSoftware", " Software "},
    {OverviewPage::About, "tsAbout", "About"},
}};

// ---------------------------------------------------------------- page content

enum class PageListKind : uint8_t { ListView, ListBox, CheckList, ComboBox };

// A row of a list view (caption and sub-items in column order), an item of a list box,
// check list or combo box (caption only; a check list's tick).
struct PageItem {
    std::string caption;
    std::vector<std::string> subItems{};
    int icon = -1;  // into the window's image list; -1 none
    bool checked = false;
    bool operator==(const PageItem&) const = default;
};

struct PageList {
    std::string name;
    PageListKind kind = PageListKind::ListView;
    std::vector<std::string> columns;
    std::vector<PageItem> items;
    int selected = -1;  // -1 nothing selected
    bool operator==(const PageList&) const = default;
};

struct PageTreeNode {
    std::string caption;
    int icon = 0;
    int data = -1;  // a device node's entry number in the device probe
    bool expanded = false;
    std::vector<PageTreeNode> children{};
    bool operator==(const PageTreeNode&) const = default;
};

struct PageValue {
    std::string name;
    std::string text;
};
// A check box's tick or a button's enabled state.
struct PageSwitch {
    std::string name;
    bool on = false;
};
struct PageColour {
    std::string name;
    uint32_t colour = 0;
};
struct PageGauge {
    std::string name;
    GaugeRange range;
};
// A sub-page of a page control brought forward, by its number.
struct PageSheet {
    std::string name;
    int page = 0;
};

struct OverviewPageContent {
    std::vector<PageValue> values;  // edits, labels, captions (a page's own caption by its page name)
    std::vector<PageSwitch> switches;
    std::vector<PageColour> colours;
    std::vector<PageGauge> gauges;
    std::vector<PageSheet> sheets;
    std::vector<PageList> lists;
    std::optional<PageTreeNode> tree;

    void setValue(std::string_view name, std::string text);
    void setSwitch(std::string_view name, bool on);
    void setGauge(std::string_view name, GaugeRange range);
    // The list of that name, added empty (of `kind`, with `columns`) when there is none.
    PageList& list(std::string_view name, PageListKind kind, std::vector<std::string> columns = {});

    const std::string* value(std::string_view name) const;
    std::optional<bool> switchOf(std::string_view name) const;
    const PageGauge* gauge(std::string_view name) const;
    const PageList* findList(std::string_view name) const;
};

// The content as text lines, in order: "name=text" for values, "name:on|off" for
// switches, "name#RRGGBB" for colours, "name@position/maximum" for gauges, "name>page"
// for sub-pages brought forward, then each
// list ("[name] kind | columns", its items "> caption | sub-items (icon) [x]", "*" before
// the selected one) and the tree (one line per node, indented by level).
std::vector<std::string> pageLines(const OverviewPageContent& content);

// ---------------------------------------------------------------- fill operations

inline constexpr uint32_t kLockKeyOn = 0x00FF00;   // lime
inline constexpr uint32_t kLockKeyOff = 0xC0C0C0;  // silver
inline constexpr std::string_view kInfoNotAvailable = "<info not available>";

// The machine's names, uptime, lock keys, BIOS texts and SMBIOS values and lists.
OverviewPageContent FillMachinePage(const TMachine& machine, platform::System& system);
// What the window shows again once a second: the uptime and the lock-key panels.
OverviewPageContent MachineLiveContent(const TMachine& machine);
OverviewPageContent FillOSPage(const TOperatingSystem& os, platform::Platform& platform);
OverviewPageContent FillCPUPage(const TCPU& cpu);
OverviewPageContent FillMemoryPage(const TMemory& memory, std::string_view thousandSeparator);
// The memory page's totals, free amounts, gauges and resource bars, shown once a
// second; gauges of more than 2 GB in MB.
OverviewPageContent MemoryLiveContent(const TMemory& memory, std::string_view thousandSeparator);
// The CPU page's usage gauge for a reading of the usage meter (a failed one shows 0).
OverviewPageContent CPUUsageContent(int32_t usage);
OverviewPageContent FillDisplayPage(const TDisplay& display);
OverviewPageContent FillAPMPage(const TAPM& apm);
OverviewPageContent FillMediaPage(const TMedia& media);
OverviewPageContent FillNetworkPage(const TNetwork& network);
OverviewPageContent FillDevicesPage(const TDevices& devices, std::string_view computerName);
OverviewPageContent FillPrintersPage(const TPrinters& printers);
OverviewPageContent FillEnginesPage(const TEngines& engines);
// Lists the drives, selects the one of the Windows folder and reads it (cbDriveChange).
OverviewPageContent FillDrivesPage(TDisk& disk, platform::Platform& platform, std::string_view windowsFolder);
OverviewPageContent FillTimeZonePage(const TTimeZone& zone, platform::System& system);
// The start-up page on its first tab.
OverviewPageContent FillStartupPage(const TStartup& startup);
OverviewPageContent FillSoftwarePage(const TSoftware& software);

// The pages of a refreshed root, by page number; the About page has no content, the
// Drives page selects its drive on the root's disk probe.
template <class Root>
OverviewPageContent FillPage(const Root& root, platform::Platform& platform, OverviewPage page);

// ---------------------------------------------------------------- page commands

// The drive at `index` of the page's drive list selected and read; an index outside
// the list selects nothing and empties the drive's values.
void cbDriveChange(OverviewPageContent& page, TDisk& disk, platform::Platform& platform, int index);
// The TCP/IP adapter at `index` selected and shown; outside the list nothing is
// selected and the adapter's values are empty.
void cbAdaptersChange(OverviewPageContent& page, const TTCPIP& tcpip, int index);
// One adapter's values and address rows; none empties them. An address whose mask list
// is shorter shows no mask.
void ShowTCPIPAdapter(OverviewPageContent& page, const TAdapter* adapter);
// The start-up entries of tab `tab` (0..5) in the list; another tab empties it.
void tcStartupChange(OverviewPageContent& page, const TStartup& startup, int tab);

// A node of the device tree: the class node's and the device node's positions under
// the root and the class node (-1 for none); a device node has both.
struct DeviceTreeSelection {
    int classNode = -1;
    int deviceNode = -1;
};
// "Properties..." is enabled only for a device node that is in the tree.
void TreeChange(OverviewPageContent& page, DeviceTreeSelection selection);

// A detail dialog as a page command fills it.
struct DetailRequest {
    DetailPage page = DetailPage::CheckBox;
    std::string title;
    std::vector<CheckItem> clb{};
    std::vector<DetailRow> lv{};
};

// Check-list items of report lines "key=value": the key, ticked when the value is a
// non-zero integer; `skipHeader` leaves out the first line.
std::vector<CheckItem> CheckItemsOfLines(const TStrings& lines, bool skipHeader);

DetailRequest cmEnvironment(const TOperatingSystem& os);
DetailRequest cmNTSpec(const TOperatingSystem& os);
DetailRequest cmModes(const TDisplay& display);
// Tags 0..4: curve, line, polygonal, raster and text capabilities; nothing for another tag.
std::optional<DetailRequest> cmCaps(const TDisplay& display, int tag);
DetailRequest cmProto(const TNetwork& network);
DetailRequest cmServ(const TNetwork& network);
DetailRequest cmCli(const TNetwork& network);
// The properties of the selected device node; nothing unless a device node is selected.
std::optional<DetailRequest> cmProps(const OverviewPageContent& page, const TDevices& devices,
                                     DeviceTreeSelection selection);

// Creates the detail dialog owned by `owner`, fills it, shows it modally through
// `presenter` and frees it: its modal result.
int ShowDetail(TComponent* owner, DetailDialogPresenter& presenter, const DetailRequest& request);

// ---------------------------------------------------------------- the root's pages

template <class Root>
OverviewPageContent FillPage(const Root& root, platform::Platform& platform, OverviewPage page) {
    switch (page) {
        case OverviewPage::Wksta: return FillMachinePage(root.Machine(), platform.system());
        case OverviewPage::OS: return FillOSPage(root.OS(), platform);
        case OverviewPage::CPU: return FillCPUPage(root.CPU());
        case OverviewPage::Memory: return FillMemoryPage(root.Memory(), UserThousandSeparator(platform));
        case OverviewPage::Display: return FillDisplayPage(root.Display());
        case OverviewPage::APM: return FillAPMPage(root.APM());
        case OverviewPage::Media: return FillMediaPage(root.Media());
        case OverviewPage::Network: return FillNetworkPage(root.Network());
        case OverviewPage::Devices: return FillDevicesPage(root.Devices(), ansiUpperCase(ReadComputerName(platform)));
        case OverviewPage::Printers: return FillPrintersPage(root.Printers());
        case OverviewPage::Engines: return FillEnginesPage(root.Engines());
        case OverviewPage::Drives: return FillDrivesPage(root.Disk(), platform, GetWinDir(platform));
        case OverviewPage::TZ: return FillTimeZonePage(root.OS().TimeZone(), platform.system());
        case OverviewPage::Startup: return FillStartupPage(root.Startup());
        case OverviewPage::Software: return FillSoftwarePage(root.Software());
        case OverviewPage::About: break;
    }
    return {};
}

}  // namespace vardak::probes
