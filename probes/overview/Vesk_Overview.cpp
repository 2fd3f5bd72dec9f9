#include "probes/overview/Vesk_Overview.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "framework/SysUtils.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Datetime.h"

namespace vardak::probes {

namespace {

using Columns = std::vector<std::string>;

// ---------------------------------------------------------------- icons of the image list

namespace icon {
constexpr int kComputer = 0;
constexpr int kPort = 14;
constexpr int kCard = 15;
constexpr int kSoftware = 16;
constexpr int kMediaDevice = 19;
constexpr int kGamePort = 21;
constexpr int kNetAdapter = 22;
constexpr int kStartup = 23;
constexpr int kMidi = 30;
constexpr int kWave = 31;
constexpr int kMixer = 32;
constexpr int kAux = 33;
constexpr int kDirectX = 34;
constexpr int kPrinter = 35;
constexpr int kNetworkPrinter = 37;
constexpr int kMemory = 40;
}  // namespace icon

// Class icons, by class index of the device-class table.
constexpr std::array<int, kDeviceClassCount> kDeviceClassIcons = {
    9, 1, 4, 2, 7, 4, 5, 27, 26, 4, 18, 10, 29, 11, 25, 18, 12, 13, 3,
    28, 14, 15, 18, 16, 18, 15, 14, 35, 17, 28, 19, 6, 1, 8, 39, 8, 20,
};

// ---------------------------------------------------------------- texts

constexpr std::string_view kPlatformCaptions[] = {"Windows 3.1x", "Windows 9x", "Windows NT"};
constexpr std::string_view kProductTypeSuffixes[] = {"", " - Workstation", " - Server", " - Advanced Server"};

// The locale page's rows: caption and how the value is read from the locale object.
struct LocaleRow {
    std::string_view caption;
    std::string (*value)(const TLocaleInfo& locale);
};

template <size_t Size>
std::string nameOf(const std::string_view (&names)[Size], size_t ordinal) {
    return ordinal < Size ? std::string(names[ordinal]) : std::string();
}

constexpr std::string_view kPositiveCurrencyModeTexts[] = {"Prefix_No_Separation", "Suffix_No_Separation",
                                                           "Prefix_One_Char_Separation", "Suffix_One_Char_Separation"};
constexpr std::string_view kDateOrderTexts[] = {"M-D-Y", "D-M-Y", "Y-M-D"};
constexpr std::string_view kTimeFormatTexts[] = {"12H", "24H"};
constexpr std::string_view kYearFormatTexts[] = {"Two Digit", "Four Digit"};
constexpr std::string_view kMeasureSystemTexts[] = {"Metric", "U.S."};

constexpr LocaleRow kLocaleRows[] = {
    {"Abbreviate Country Code", [](const TLocaleInfo& l) { return l.AbbreviateCountryCode(); }},
    {"Abbreviate Language Code", [](const TLocaleInfo& l) { return l.AbbreviateLanguageName(); }},
    {"Country Code", [](const TLocaleInfo& l) { return l.CountryCode(); }},
    {"Currency Decimal Digits", [](const TLocaleInfo& l) { return l.CurrencyDecimalDigits(); }},
    {"Full Country Code", [](const TLocaleInfo& l) { return l.FullCountryCode(); }},
    {"Full English Language Name", [](const TLocaleInfo& l) { return l.FullLanguageEnglishName(); }},
    {"Full Localize Language Name", [](const TLocaleInfo& l) { return l.FullLocalizeLanguage(); }},
    {"Intl. Monetary Symbol", [](const TLocaleInfo& l) { return l.InternationalMonetarySymbol(); }},
    {"Local Monetary Symbol", [](const TLocaleInfo& l) { return l.LocalMonetarySymbol(); }},
    {"Positive Currency Mode",
     [](const TLocaleInfo& l) {
         return nameOf(kPositiveCurrencyModeTexts, static_cast<size_t>(l.PositiveCurrencyMode()));
     }},
    {"Negative Currency Mode", [](const TLocaleInfo& l) { return std::string(l.NegativeCurrencyMode()); }},
    {"Currency Decimal Separator", [](const TLocaleInfo& l) { return l.CurrencyDecimalSeparator(); }},
    {"Currency Thousand Separator", [](const TLocaleInfo& l) { return l.CurrencyThousandSeparator(); }},
    {"Decimal Separator", [](const TLocaleInfo& l) { return l.DecimalSeparator(); }},
    {"Number Of Decimal Digits", [](const TLocaleInfo& l) { return l.NumberOfDecimalDigits(); }},
    {"List Separator", [](const TLocaleInfo& l) { return l.ListSeparator(); }},
    {"Date Separator", [](const TLocaleInfo& l) { return l.DateSeparator(); }},
    {"Long Date Order",
     [](const TLocaleInfo& l) { return nameOf(kDateOrderTexts, static_cast<size_t>(l.LongDateOrder())); }},
    {"Short Date Order",
     [](const TLocaleInfo& l) { return nameOf(kDateOrderTexts, static_cast<size_t>(l.ShortDateOrder())); }},
    {"Short Date Format", [](const TLocaleInfo& l) { return l.ShortDateFormat(); }},
    {"Time Format", [](const TLocaleInfo& l) { return l.TimeFormat(); }},
    {"Time Format Specifier",
     [](const TLocaleInfo& l) { return nameOf(kTimeFormatTexts, static_cast<size_t>(l.TimeFormatSpecifier())); }},
    {"Year Format", [](const TLocaleInfo& l) { return nameOf(kYearFormatTexts, static_cast<size_t>(l.YearFormat())); }},
    {"Measurement System",
     [](const TLocaleInfo& l) { return nameOf(kMeasureSystemTexts, static_cast<size_t>(l.MeasurementSystem())); }},
};

// An engine's label: its name and version, or its name and " not found".
struct EngineLabel {
    std::string_view control;
    std::string_view name;
    const std::string& (TEngines::*version)() const;
};
constexpr EngineLabel kEngineLabels[] = {
    {"lODBC", "Open Database Connectivity", &TEngines::ODBC},
    {"lBDE", "Borland Database Engine", &TEngines::BDE},
    {"lDAO", "Microsoft Data Access Objects", &TEngines::DAO},
    {"lADO", "Microsoft ActiveX Data Objects", &TEngines::ADO},
};

struct DirectXList {
    const TStrings& (TDirectX::*list)() const;
    std::string_view device;
};
constexpr DirectXList kDirectXLists[] = {
    {&TDirectX::Direct3D, "Direct3D"},
    {&TDirectX::DirectMusic, "DirectMusic"},
    {&TDirectX::DirectPlay, "DirectPlay"},
};

struct SoundList {
    const TStrings& (TMedia::*list)() const;
    std::string_view device;
    int icon;
};
constexpr SoundList kSoundLists[] = {
    {&TMedia::WAVEIn, "Wave In", icon::kWave},    {&TMedia::WAVEOut, "Wave Out", icon::kWave},
    {&TMedia::MIDIIn, "MIDI In", icon::kMidi},    {&TMedia::MIDIOut, "MIDI Out", icon::kMidi},
    {&TMedia::AUX, "AUX", icon::kAux},            {&TMedia::Mixer, "Mixer", icon::kMixer},
};

// The TCP/IP adapter's address lists with their masks.
struct AddressList {
    std::string_view resource;
    std::vector<std::string> TAdapter::*addresses;
    std::vector<std::string> TAdapter::*masks;
};
constexpr AddressList kAddressLists[] = {
    {"Local", &TAdapter::IPAddress, &TAdapter::IPAddressMask},
    {"Gateway", &TAdapter::Gateway, &TAdapter::GatewayMask},
    {"DHCP Server", &TAdapter::DHCPServer, &TAdapter::DHCPServerMask},
    {"Primary WINS Server", &TAdapter::PrimaryWINS, &TAdapter::PrimaryWINSMask},
    {"Secondary WINS Server", &TAdapter::SecondaryWINS, &TAdapter::SecondaryWINSMask},
};

struct StartupTab {
    std::string_view caption;
    TStartupKind kind;
};
constexpr StartupTab kStartupTabs[] = {
    {"Startup (User)", TStartupKind::UserStartup}, {"Startup (Common)", TStartupKind::CommonStartup},
    {"HKLM \\\\ Run", TStartupKind::HKLMRun},      {"HKCU \\\\ Run", TStartupKind::HKCURun},
    {"Run Once", TStartupKind::RunOnce},           {"WIN.INI", TStartupKind::WinIni},
};

// The capability dialogs by tag: each titled as the display probe's report section it shows.
constexpr std::string_view kCapabilitySections[] = {"Curve Capabilities", "Line Capabilities",
                                                    "Polygonal Capabilities", "Raster Capabilities",
                                                    "Text Capabilities"};

// The drive page's values, emptied when no drive is selected.
constexpr std::string_view kDriveValues[] = {"lDriveType", "imgDrive", "eUNC", "eDSN", "lCapacity", "lFree",
                                             "lBPS",       "lSPC",     "lFC",  "lTC"};
// The TCP/IP adapter's values.
constexpr std::string_view kAdapterValues[] = {"ePA", "eAT"};
constexpr std::string_view kAdapterSwitches[] = {"cbxDHCP", "cbxWINS"};

// ---------------------------------------------------------------- helpers

std::vector<std::string> linesOf(const TStrings& list) { return list.toVector(); }

// "#,##": grouped, nothing for 0; "#,#0": grouped, "0" for 0.
std::string groupedOrEmpty(int64_t value, std::string_view separator) {
    return value == 0 ? std::string() : FormatGrouped(value, separator);
}

std::string wholeSeconds(int64_t seconds) { return FormatSeconds(seconds, true, false, false); }

// The lines of a report section, without its header: up to the next header.
std::vector<std::string> reportSection(const TStrings& report, std::string_view section) {
    std::vector<std::string> lines;
    const std::string header = "[" + std::string(section) + "]";
    bool inside = false;
    for (int index = 0; index < report.count(); ++index) {
        const std::string line = report.strings(index);
        if (!line.empty() && line.front() == '[') {
            if (inside) break;
            inside = line == header;
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::vector<CheckItem> checkItems(const std::vector<std::string>& lines) {
    std::vector<CheckItem> items;
    for (const std::string& line : lines) {
        const size_t equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        items.push_back({key, tryStrToInt(trim(value)).value_or(0) != 0});
    }
    return items;
}

std::vector<CheckItem> allTicked(const TStrings& list) {
    std::vector<CheckItem> items;
    for (const std::string& line : linesOf(list)) items.push_back({line, true});
    return items;
}

PageList& listBoxOf(OverviewPageContent& page, std::string_view name, const TStrings& lines) {
    PageList& list = page.list(name, PageListKind::ListBox);
    list.items.clear();
    for (const std::string& line : linesOf(lines)) list.items.push_back({line});
    return list;
}

void addRow(PageList& list, std::string caption, std::vector<std::string> subItems, int icon = -1) {
    list.items.push_back({std::move(caption), std::move(subItems), icon});
}

std::string dateTimeText(platform::System& system, TDateTime value) { return DateTimeText(system, value); }

template <class Text>
std::string at(const std::vector<Text>& texts, size_t index) {
    return index < texts.size() ? std::string(texts[index]) : std::string();
}
std::string at(const TStrings& texts, int index) {
    return index >= 0 && index < texts.count() ? texts.strings(index) : std::string();
}

void fillSMBIOSLists(OverviewPageContent& page, const TSMBIOS& smbios) {
    PageList& caches = page.list("lvCache", PageListKind::ListView,
                                 {"Socket", "Type", "Associativity", "SRAM", "Size", "Max Size", "Speed"});
    for (const TCache& cache : smbios.Caches()) {
        addRow(caches, cache.Name,
               {std::string(NameOf(kCacheTypeNames, cache.CacheType)),
                std::string(NameOf(kAssociativityNames, cache.Associativity)),
                std::string(NameOf(kSRAMTypeNames, cache.SRAMType)), Format("%d KB", {cache.InstalledSize}),
                Format("%d KB", {cache.MaxSize}), Format("%d ns", {cache.Speed})},
               icon::kMemory);
    }
    PageList& banks = page.list("lvMem", PageListKind::ListView, {"Bank", "Type", "Size", "Speed"});
    for (const TMemoryBank& bank : smbios.MemoryBanks()) {
        addRow(banks, bank.Name,
               {GetMemoryTypeText(bank.Types), Format("%d MB", {bank.Size}), Format("%d ns", {bank.Speed})},
               icon::kMemory);
    }
    PageList& ports = page.list("lvPort", PageListKind::ListView, {"Designator", "Type", "Connector"});
    for (const TPort& port : smbios.Ports()) {
        addRow(ports, port.Name,
               {std::string(NameOf(kPortTypeNames, port.PortType)), std::string(NameOf(kConnectorNames, port.Connector))},
               icon::kPort);
    }
    PageList& slots = page.list("lvSlot", PageListKind::ListView, {"Type", "Data Bus"});
    for (const TSlot& slot : smbios.Slots()) {
        addRow(slots, std::string(NameOf(kSlotTypeNames, slot.SlotType)),
               {std::string(NameOf(kBusWidthNames, slot.DataBus))}, icon::kCard);
    }
    PageList& tables = page.list("lvTables", PageListKind::ListView, {"Table Type", "Length", "Handle"});
    for (const TStructTable& table : smbios.Structures()) {
        addRow(tables, Format("Type %d: %s", {table.Type, table.Name}),
               {Format("%d", {table.Length}), Format("%4.4x", {table.Handle})});
    }
}

void emptyDriveValues(OverviewPageContent& page) {
    for (std::string_view name : kDriveValues) page.setValue(name, "");
    page.setGauge("gDisk", {100, 0});
    page.list("clbFlags", PageListKind::CheckList).items.clear();
}

// The used share of a drive in whole percent, 0 when its capacity is not known.
int32_t usedPercent(int64_t capacity, int64_t freeSpace) {
    if (capacity <= 0) return 0;
    const double used = static_cast<double>(capacity - freeSpace) / static_cast<double>(capacity) * 100.0;
    return static_cast<int32_t>(std::clamp(std::nearbyint(used), 0.0, 100.0));
}

// The entry of that name, or nullptr.
template <class Entries>
auto named(Entries& entries, std::string_view name) -> decltype(&entries.front()) {
    for (auto& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

std::string hexColour(uint32_t colour) {
    // Stored as 0x00BBGGRR; written as the usual RRGGBB.
    const uint32_t red = colour & 0xFF;
    const uint32_t green = (colour >> 8) & 0xFF;
    const uint32_t blue = (colour >> 16) & 0xFF;
    return Format("%2.2x%2.2x%2.2x", {red, green, blue});
}

constexpr std::string_view kListKindNames[] = {"list view", "list box", "check list", "combo box"};

void treeLines(const PageTreeNode& node, int level, std::vector<std::string>& lines) {
    std::string line(static_cast<size_t>(level) * 2, ' ');
    line += node.caption + " (" + std::to_string(node.icon) + ")";
    if (node.data >= 0) line += " #" + std::to_string(node.data);
    if (node.expanded) line += " +";
    lines.push_back(std::move(line));
    for (const PageTreeNode& child : node.children) treeLines(child, level + 1, lines);
}

void sortChildren(PageTreeNode& node) {
    std::stable_sort(node.children.begin(), node.children.end(), [](const PageTreeNode& a, const PageTreeNode& b) {
        return compareText(a.caption, b.caption) < 0;
    });
}

}  // namespace

// ---------------------------------------------------------------- page content

void OverviewPageContent::setValue(std::string_view name, std::string text) {
    if (PageValue* entry = named(values, name)) {
        entry->text = std::move(text);
    } else {
        values.push_back({std::string(name), std::move(text)});
    }
}

void OverviewPageContent::setSwitch(std::string_view name, bool on) {
    if (PageSwitch* entry = named(switches, name)) {
        entry->on = on;
    } else {
        switches.push_back({std::string(name), on});
    }
}

void OverviewPageContent::setGauge(std::string_view name, GaugeRange range) {
    if (PageGauge* entry = named(gauges, name)) {
        entry->range = range;
    } else {
        gauges.push_back({std::string(name), range});
    }
}

PageList& OverviewPageContent::list(std::string_view name, PageListKind kind, std::vector<std::string> columns) {
    if (PageList* entry = named(lists, name)) return *entry;
    lists.push_back({std::string(name), kind, std::move(columns), {}, -1});
    return lists.back();
}

const std::string* OverviewPageContent::value(std::string_view name) const {
    const PageValue* entry = named(values, name);
    return entry ? &entry->text : nullptr;
}

std::optional<bool> OverviewPageContent::switchOf(std::string_view name) const {
    const PageSwitch* entry = named(switches, name);
    return entry ? std::optional<bool>(entry->on) : std::nullopt;
}

const PageGauge* OverviewPageContent::gauge(std::string_view name) const { return named(gauges, name); }

const PageList* OverviewPageContent::findList(std::string_view name) const { return named(lists, name); }

std::vector<std::string> pageLines(const OverviewPageContent& content) {
    std::vector<std::string> lines;
    for (const PageValue& value : content.values) lines.push_back(value.name + "=" + value.text);
    for (const PageSwitch& entry : content.switches) lines.push_back(entry.name + (entry.on ? ":on" : ":off"));
    for (const PageColour& entry : content.colours) lines.push_back(entry.name + "#" + hexColour(entry.colour));
    for (const PageGauge& entry : content.gauges) {
        lines.push_back(entry.name + "@" + std::to_string(entry.range.position) + "/" +
                        std::to_string(entry.range.maximum));
    }
    for (const PageSheet& sheet : content.sheets) lines.push_back(sheet.name + ">" + std::to_string(sheet.page));
    for (const PageList& list : content.lists) {
        std::string header = "[" + list.name + "] " + std::string(kListKindNames[static_cast<size_t>(list.kind)]);
        for (const std::string& column : list.columns) header += " | " + column;
        lines.push_back(std::move(header));
        for (size_t index = 0; index < list.items.size(); ++index) {
            const PageItem& item = list.items[index];
            std::string line = (static_cast<int>(index) == list.selected ? "* " : "> ") + item.caption;
            for (const std::string& sub : item.subItems) line += " | " + sub;
            if (item.icon >= 0) line += " (" + std::to_string(item.icon) + ")";
            if (list.kind == PageListKind::CheckList) line += item.checked ? " [x]" : " [ ]";
            lines.push_back(std::move(line));
        }
    }
    if (content.tree) {
        lines.push_back("[Tree]");
        treeLines(*content.tree, 0, lines);
    }
    return lines;
}

// ---------------------------------------------------------------- Machine

OverviewPageContent MachineLiveContent(const TMachine& machine) {
    OverviewPageContent page;
    page.setValue("eSysTime", wholeSeconds(static_cast<int64_t>(machine.SystemUpTime())));
    page.colours = {{"pNumLock", machine.NumLock() ? kLockKeyOn : kLockKeyOff},
                    {"pCapsLock", machine.CapsLock() ? kLockKeyOn : kLockKeyOff},
                    {"pScrollLock", machine.ScrollLock() ? kLockKeyOn : kLockKeyOff}};
    return page;
}

OverviewPageContent FillMachinePage(const TMachine& machine, platform::System& system) {
    OverviewPageContent page;
    if (!trim(machine.Computer()).empty()) page.setValue("eMachine", " " + machine.Computer() + " ");
    page.setValue("eWksta", machine.Name());
    page.setValue("eUser", machine.User());
    page.setValue("eLastBoot", dateTimeText(system, machine.LastBoot()));
    OverviewPageContent live = MachineLiveContent(machine);
    page.values.insert(page.values.end(), live.values.begin(), live.values.end());
    page.colours = std::move(live.colours);

    const TSMBIOS& smbios = machine.SMBIOS();
    const TBIOS& bios = machine.BIOS();
    page.setValue("eBIOSVendor", smbios.BIOSVendor().empty() ? bios.Copyright() : smbios.BIOSVendor());
    page.setValue("eBIOSVer", smbios.BIOSVersion().empty() ? bios.Name() + " " + bios.ExtendedInfo()
                                                           : smbios.BIOSVersion());
    page.setValue("eBIOSDate", smbios.BIOSDate().empty() ? bios.Date() : smbios.BIOSDate());
    page.setValue("eBIOSSize", Format("%d", {smbios.BIOSSize()}));
    page.setValue("eSMVer", smbios.Version());
    page.setValue("eSMTables", Format("%d", {smbios.StructureCount()}));
    page.setValue("eSysMod", smbios.SystemModel());
    page.setValue("eSysMan", smbios.SystemManufacturer());
    page.setValue("eSysVer", smbios.SystemVersion());
    page.setValue("eSysSer", smbios.SystemSerial());
    page.setValue("eSysID", smbios.SystemUUID());
    page.setValue("eMBMod", smbios.MainBoardModel());
    page.setValue("eMBMan", smbios.MainBoardManufacturer());
    page.setValue("eMBVer", smbios.MainBoardVersion());
    page.setValue("eMBSer", smbios.MainBoardSerial());
    page.setValue("eCHMod", smbios.ChassisModel());
    page.setValue("eCHMan", smbios.ChassisManufacturer());
    page.setValue("eCHVer", smbios.ChassisVersion());
    page.setValue("eCHSer", smbios.ChassisSerial());
    page.setValue("eCPUMan", smbios.CPUManufacturer());
    page.setValue("eCPU", smbios.CPUVersion());
    page.setValue("eSocket", smbios.CPUSocket());
    page.setValue("eUpgIntf", smbios.CPUUpgrade());
    page.setValue("eVolt", Format("%1.1f", {smbios.CPUVoltage()}));
    page.setValue("eClock", Format("%d", {smbios.CPUClock()}));
    page.setValue("eExtClk", Format("%d", {smbios.CPUExternalClock()}));
    fillSMBIOSLists(page, smbios);
    return page;
}

// ---------------------------------------------------------------- Operating System

OverviewPageContent FillOSPage(const TOperatingSystem& os, platform::Platform& platform) {
    OverviewPageContent page;
    const auto platformId = static_cast<size_t>(os.Platform());
    page.setValue("tsOS", nameOf(kPlatformCaptions, platformId));
    const TOSKind kind = RunningOSKind(platform);
    std::string version = OSNamesOf(kind, "").shortName;
    if (os.Platform() == TOSPlatform::opWinNT) {
        version += kProductTypeSuffixes[static_cast<size_t>(os.NTSpecific().ProductType())];
    }
    page.setValue("lVersion", version);
    page.setValue("lVerNo", Format("Version: %d.%d.%d", {os.MajorVersion(), os.MinorVersion(), os.BuildNumber()}));
    page.setValue("lCSD", os.EditionText);
    page.setValue("lDVD", "DVD Region: " + os.DVDRegion());
    page.setSwitch("bNTSpec", kind == TOSKind::osWin2000 || kind == TOSKind::osWinXP);
    page.setValue("ePID", os.ProductID());
    page.setValue("ePKey", os.ProductKey());
    page.setValue("eRegUser", os.RegisteredUser());
    page.setValue("eRegOrg", os.RegisteredOrg());
    page.setValue("eBrowser", os.Internet().DefaultBrowser());
    page.setValue("email", os.Internet().DefaultMailClient());
    page.setValue("eProxy", os.Internet().ProxyServer());
    page.setValue("lCT", std::string(kConnectionTypeTexts[static_cast<size_t>(os.Internet().ConnectionType())]));

    PageList& folders = page.list("FolderList", PageListKind::ListView, {"System name", "Location"});
    for (int index = 0; index < os.Folders().count(); ++index) {
        const std::string location = os.Folders().valueFromIndex(index);
        if (!location.empty()) addRow(folders, os.Folders().names(index), {location});
    }
    PageList& locale = page.list("LocaleList", PageListKind::ListView, {"Parameter", "Value"});
    for (const LocaleRow& row : kLocaleRows) addRow(locale, std::string(row.caption), {row.value(os.LocaleInfo())});
    return page;
}

// ---------------------------------------------------------------- CPU

OverviewPageContent FillCPUPage(const TCPU& cpu) {
    OverviewPageContent page;
    page.setValue("lCPU", Format("%d x %s %s - %d MHz",
                                 {cpu.Count(), trim(cpu.Vendor()), trim(cpu.VendorID()), cpu.Frequency()}));
    page.setValue("lVendor", "Vendor: " + cpu.VendorEx());
    page.setValue("lSerial", "Serial Number: " + cpu.SerialNumber());
    page.setValue("lCodename", "Code Name: " + cpu.CodeName());
    page.setValue("lModel", Format("Family %d  Model %d  Stepping %d", {cpu.Family(), cpu.Model(), cpu.Stepping()}));
    const TCPUCache& cache = cpu.Cache();
    page.setValue("lL1Data", Format("Level 1 Data Cache: %d Kb", {cache.L1Data()}));
    page.setValue("lL1Code", Format("Level 1 Instruction Cache: %d Kb", {cache.L1Code()}));
    page.setValue("lLevel1", Format("Level 1 Unified Cache: %d Kb", {cache.Level1()}));
    page.setValue("lLevel2", Format("Level 2 Unified Cache: %d Kb", {cache.Level2()}));
    page.setValue("lCacheDesc", cache.IntelDescription());

    TStringList report;
    cpu.Report(report);
    std::vector<std::string> features = reportSection(report, "CPU Features");
    features.push_back(Format("FDIV Bug=%d", {cpu.FDIVBug() ? 1 : 0}));
    PageList& list = page.list("clbCPU", PageListKind::CheckList);
    for (CheckItem& item : checkItems(features)) list.items.push_back({std::move(item.text), {}, -1, item.checked});
    return page;
}

// ---------------------------------------------------------------- Memory

OverviewPageContent FillMemoryPage(const TMemory& memory, std::string_view thousandSeparator) {
    OverviewPageContent page;
    page.sheets.push_back({"pcMemory", 0});
    page.setValue("eAG", groupedOrEmpty(memory.AllocGranularity(), thousandSeparator));
    page.setValue("eAppAddr", Format("%8.8x - %8.8x", {static_cast<uint32_t>(memory.MinAppAddress()),
                                                        static_cast<uint32_t>(memory.MaxAppAddress())}));
    page.setValue("ePS", groupedOrEmpty(memory.PageSize(), thousandSeparator));
    return page;
}

OverviewPageContent MemoryLiveContent(const TMemory& memory, std::string_view thousandSeparator) {
    struct Amount {
        std::string_view total;
        std::string_view free;
        std::string_view gauge;
        int64_t (TMemory::*totalOf)() const;
        int64_t (TMemory::*freeOf)() const;
    };
    static constexpr Amount kAmounts[] = {
        {"ePhysTotal", "ePhysFree", "gPhys", &TMemory::PhysicalTotal, &TMemory::PhysicalFree},
        {"ePageTotal", "ePageFree", "gPage", &TMemory::PageFileTotal, &TMemory::PageFileFree},
        {"eVirtTotal", "eVirtFree", "gVirt", &TMemory::VirtualTotal, &TMemory::VirtualFree},
    };
    OverviewPageContent page;
    for (const Amount& amount : kAmounts) {
        const int64_t total = (memory.*amount.totalOf)();
        const int64_t free = (memory.*amount.freeOf)();
        page.setValue(amount.total, groupedOrEmpty(total, thousandSeparator));
        page.setValue(amount.free, FormatGrouped(free, thousandSeparator));
        page.setGauge(amount.gauge, GaugeOfBytes(total, free));
    }
    page.setGauge("gLoad", {100, std::clamp(memory.MemoryLoad(), 0, 100)});
    struct Resource {
        std::string_view label;
        std::string_view bar;
        std::string_view format;
        uint8_t (TResources::*percent)() const;
    };
    static constexpr Resource kResources[] = {
        {"lGDI", "gGDI", "GDI - %d%% free", &TResources::GDI},
        {"lUser", "gUser", "User - %d%% free", &TResources::User},
        {"lSystem", "gSystem", "System - %d%% free", &TResources::System},
    };
    for (const Resource& resource : kResources) {
        const int percent = (memory.Resources().*resource.percent)();
        page.setValue(resource.label, Format(resource.format, {percent}));
        page.setGauge(resource.bar, {100, std::min(percent, 100)});
    }
    return page;
}

OverviewPageContent CPUUsageContent(int32_t usage) {
    OverviewPageContent page;
    page.setGauge("CPUGauge", {100, std::clamp(usage, 0, 100)});
    return page;
}

// ---------------------------------------------------------------- Display

OverviewPageContent FillDisplayPage(const TDisplay& display) {
    OverviewPageContent page;
    page.setValue("cbDisplay", display.Adapter());
    page.setValue("eChip", display.Chipset());
    page.setValue("eDAC", display.DAC());
    page.setValue("eMem", Format("%d", {display.Memory()}));
    page.setValue("eBIOS", Format("%s (%s)", {display.BIOSVersion(), display.BIOSDate()}));
    page.setValue("lTechnology", "Technology: " + display.Technology());
    page.setValue("lMetrics",
                  Format("Metrics: %d x %d - %d bit", {display.HorzRes(), display.VertRes(), display.ColorDepth()}));
    page.setValue("lPixWidth", Format("Pixel Width: %d", {display.PixelWidth()}));
    page.setValue("lPixHeight", Format("Pixel Height: %d", {display.PixelHeight()}));
    page.setValue("lPixDiag", Format("Pixel Diagonal: %d", {display.PixelDiagonal()}));
    page.setValue("lFontRes", Format("Font Resolution: %d dpi", {display.FontResolution()}));
    return page;
}

// ---------------------------------------------------------------- APM

OverviewPageContent FillAPMPage(const TAPM& apm) {
    OverviewPageContent page;
    page.setValue("eAC", std::string(kPowerStatusTexts[static_cast<size_t>(apm.ACPowerStatus())]));
    page.setValue("eBat", std::string(kBatteryStatusTexts[static_cast<size_t>(apm.BatteryChargeStatus())]));
    if (apm.BatteryLifePercent() > 100) {
        page.setValue("eBatFull", std::string(kInfoNotAvailable));
        page.setValue("eBatLife", std::string(kInfoNotAvailable));
        return page;
    }
    // A time the system does not know has all bits set.
    const auto lifeTime = [](uint32_t seconds) {
        return seconds == TAPM::kUnknownTime ? std::string(kInfoNotAvailable) : wholeSeconds(seconds);
    };
    page.setValue("eBatFull", lifeTime(apm.BatteryLifeFullTime()));
    page.setValue("eBatLife", lifeTime(apm.BatteryLifeTime()));
    page.setGauge("gAPM", {100, apm.BatteryLifePercent()});
    return page;
}

// ---------------------------------------------------------------- Media

OverviewPageContent FillMediaPage(const TMedia& media) {
    OverviewPageContent page;
    PageList& devices = page.list("lvMedia", PageListKind::ListView, {"Available Devices"});
    for (int index = 0; index < media.Devices().count(); ++index) {
        const int icon = index == media.GamePortIndex()    ? icon::kGamePort
                         : index == media.SoundCardIndex() ? icon::kCard
                                                           : icon::kMediaDevice;
        addRow(devices, media.Devices().strings(index), {}, icon);
    }
    PageList& sound = page.list("lvSound", PageListKind::ListView, {"Driver", "Device"});
    for (const SoundList& kind : kSoundLists) {
        for (const std::string& driver : linesOf((media.*kind.list)())) {
            addRow(sound, driver, {std::string(kind.device)}, kind.icon);
        }
    }
    return page;
}

// ---------------------------------------------------------------- Network

OverviewPageContent FillNetworkPage(const TNetwork& network) {
    OverviewPageContent page;
    page.sheets.push_back({"pcNetwork", 0});
    PageList& adapters = page.list("lvNetwork", PageListKind::ListView);
    for (int index = 0; index < network.Adapters().count(); ++index) {
        addRow(adapters, network.Adapters().strings(index), {},
               index == network.CardAdapterIndex() ? icon::kCard : icon::kNetAdapter);
    }
    listBoxOf(page, "lbIP", network.IPAddresses());
    listBoxOf(page, "lbMAC", network.MACAddresses());

    const TWinsock& winsock = network.WinSock();
    page.setValue("eWSDesc", winsock.Description());
    page.setValue("eWSVer", Format("%d.%d", {winsock.MajorVersion(), winsock.MinorVersion()}));
    page.setValue("eWSStat", winsock.Status());

    const TTCPIP& tcpip = network.TCPIP();
    page.setValue("eDomain", tcpip.DomainName());
    page.setValue("eHost", tcpip.HostName());
    page.setValue("eNode", std::string(kNodeTypeTexts[static_cast<size_t>(tcpip.NodeType())]));
    page.setValue("eDNS", tcpip.PrimaryDNSSuffix());
    page.setSwitch("cbxProxy", tcpip.EnableProxy());
    page.setSwitch("cbxRouting", tcpip.EnableRouting());
    page.setSwitch("cbxDNS", tcpip.EnableDNS());
    PageList& names = page.list("cbAdapters", PageListKind::ComboBox);
    for (int index = 0; index < tcpip.AdapterCount(); ++index) {
        TAdapter adapter;
        tcpip.GetAdapter(index, adapter);
        names.items.push_back({adapter.Name});
    }
    listBoxOf(page, "DNSBox", tcpip.DNSServers());
    cbAdaptersChange(page, tcpip, 0);
    return page;
}

void cbAdaptersChange(OverviewPageContent& page, const TTCPIP& tcpip, int index) {
    PageList& names = page.list("cbAdapters", PageListKind::ComboBox);
    TAdapter adapter;
    const bool selected = index >= 0 && index < static_cast<int>(names.items.size()) && tcpip.GetAdapter(index, adapter);
    names.selected = selected ? index : -1;
    ShowTCPIPAdapter(page, selected ? &adapter : nullptr);
}

void ShowTCPIPAdapter(OverviewPageContent& page, const TAdapter* adapter) {
    PageList& addresses = page.list("AdapterList", PageListKind::ListView, {"Resource", "IP Address", "IP Mask"});
    addresses.items.clear();
    if (adapter == nullptr) {
        for (std::string_view name : kAdapterValues) page.setValue(name, "");
        for (std::string_view name : kAdapterSwitches) page.setSwitch(name, false);
        return;
    }
    page.setValue("ePA", adapter->Address);
    page.setValue("eAT", nameOf(kAdapterKindTexts, adapter->Type));
    page.setSwitch("cbxDHCP", adapter->EnableDHCP);
    page.setSwitch("cbxWINS", adapter->HaveWINS);
    for (const AddressList& kind : kAddressLists) {
        const std::vector<std::string>& list = adapter->*kind.addresses;
        const std::vector<std::string>& masks = adapter->*kind.masks;
        // A mask list shorter than its address list leaves the mask of the rest empty.
        for (size_t entry = 0; entry < list.size(); ++entry) {
            addRow(addresses, std::string(kind.resource), {list[entry], at(masks, entry)});
        }
    }
}

// ---------------------------------------------------------------- Devices

OverviewPageContent FillDevicesPage(const TDevices& devices, std::string_view computerName) {
    OverviewPageContent page;
    PageTreeNode root{std::string(computerName), icon::kComputer};
    const TDevice* previous = nullptr;
    for (int index = 0; index < devices.Count(); ++index) {
        const TDevice* device = devices.Device(index);
        if (device == nullptr) continue;
        if (previous == nullptr || device->ClassName != previous->ClassName) {
            const int classIcon = device->DeviceClass < kDeviceClassIcons.size() ? kDeviceClassIcons[device->DeviceClass]
                                                                                 : kDeviceClassIcons[device_class::kUnknown];
            root.children.push_back(
                {trim(device->ClassDesc).empty() ? device->ClassName : device->ClassDesc, classIcon});
        }
        PageTreeNode& classNode = root.children.back();
        classNode.children.push_back({device->DisplayName(), classNode.icon, index});
        sortChildren(classNode);
        previous = device;
    }
    sortChildren(root);
    root.expanded = true;
    page.tree = std::move(root);
    page.setSwitch("bProps", false);
    return page;
}

namespace {

// The class and device nodes of a selection, when both are in the tree.
std::optional<std::pair<const PageTreeNode*, const PageTreeNode*>> selectedDevice(const OverviewPageContent& page,
                                                                                 DeviceTreeSelection selection) {
    if (!page.tree || selection.classNode < 0 || selection.deviceNode < 0) return std::nullopt;
    const auto& classes = page.tree->children;
    if (selection.classNode >= static_cast<int>(classes.size())) return std::nullopt;
    const PageTreeNode& classNode = classes[static_cast<size_t>(selection.classNode)];
    if (selection.deviceNode >= static_cast<int>(classNode.children.size())) return std::nullopt;
    return std::make_pair(&classNode, &classNode.children[static_cast<size_t>(selection.deviceNode)]);
}

}  // namespace

void TreeChange(OverviewPageContent& page, DeviceTreeSelection selection) {
    page.setSwitch("bProps", selectedDevice(page, selection).has_value());
}

std::optional<DetailRequest> cmProps(const OverviewPageContent& page, const TDevices& devices,
                                     DeviceTreeSelection selection) {
    const auto nodes = selectedDevice(page, selection);
    if (!nodes) return std::nullopt;
    const auto [classNode, deviceNode] = *nodes;
    const TDevice* device = devices.Device(deviceNode->data);
    if (device == nullptr) return std::nullopt;
    DetailRequest request{DetailPage::ListView, "Device Properties"};
    request.lv = {
        {"Device Name", deviceNode->caption},
        {"Class Name", device->ClassName},
        {"Class Description", classNode->caption},
        {"Class GUID", device->GUID},
        {"Manufacturer", device->Manufacturer},
        {"Location", device->Location},
        {"HardwareID", device->HardwareID},
        {"Registry info", device->Driver},
        {"Driver Version", device->DriverVersion},
        {"Driver Date", device->DriverDate},
        {"Driver Provider", device->DriverProvider},
        {"Service Name", device->ServiceName.empty() ? device->Service : device->ServiceName},
        {"Service Group", device->ServiceGroup},
    };
    return request;
}

// ---------------------------------------------------------------- Printers

OverviewPageContent FillPrintersPage(const TPrinters& printers) {
    OverviewPageContent page;
    PageList& list = page.list("lvPrinter", PageListKind::ListView, {"Name", "Port"});
    for (int index = 0; index < printers.Names().count(); ++index) {
        const std::string port = at(printers.Ports(), index);
        int icon = port.find("\\\\") != std::string::npos ? icon::kNetworkPrinter : icon::kPrinter;
        if (index == printers.DefaultIndex()) ++icon;
        addRow(list, printers.Names().strings(index), {port}, icon);
    }
    return page;
}

// ---------------------------------------------------------------- Engines

OverviewPageContent FillEnginesPage(const TEngines& engines) {
    OverviewPageContent page;
    for (const EngineLabel& label : kEngineLabels) {
        const std::string& version = (engines.*label.version)();
        page.setValue(label.control, std::string(label.name) + (version.empty() ? " not found" : " " + version));
    }
    const TDirectX& directX = engines.DirectX();
    if (directX.Version().empty()) {
        page.setValue("lDirectX", "Not installed.");
    } else {
        page.setValue("lDirectX", "Installed version: " + directX.Version());
        PageList& list = page.list("lvDirectX", PageListKind::ListView, {"Driver", "Device"});
        for (const DirectXList& kind : kDirectXLists) {
            for (const std::string& driver : linesOf((directX.*kind.list)())) {
                addRow(list, driver, {std::string(kind.device)}, icon::kDirectX);
            }
        }
    }
    const TASPI32& aspi = engines.ASPI32();
    page.setValue("lASPI", aspi.ASPI().empty() ? "Adaptec ASPI not found" : "Adaptec ASPI " + aspi.ASPI());
    PageList& devices =
        page.list("lvASPI", PageListKind::ListView, {"Product", "Revision", "Adapter", "Device", "Type", "Info"});
    // The lists run in step; one that is short leaves its column empty.
    for (int index = 0; index < aspi.DevVendor().count(); ++index) {
        addRow(devices, at(aspi.DevVendor(), index) + at(aspi.DevProduct(), index),
               {at(aspi.DevRevision(), index), at(aspi.DevAdapter(), index), at(aspi.DevTarget(), index),
                at(aspi.DevType(), index), at(aspi.DevVendorData(), index)});
    }
    return page;
}

// ---------------------------------------------------------------- Drives

OverviewPageContent FillDrivesPage(TDisk& disk, platform::Platform& platform, std::string_view windowsFolder) {
    OverviewPageContent page;
    PageList& drives = page.list("cbDrive", PageListKind::ComboBox);
    int windowsDrive = -1;
    for (const char letter : disk.AvailableDisks()) {
        const char upper = ansiUpperChar(letter);
        if (!windowsFolder.empty() && ansiUpperChar(windowsFolder.front()) == upper && windowsDrive < 0) {
            windowsDrive = static_cast<int>(drives.items.size());
        }
        drives.items.push_back({std::string(1, upper) + ":"});
    }
    cbDriveChange(page, disk, platform, windowsDrive);
    return page;
}

void cbDriveChange(OverviewPageContent& page, TDisk& disk, platform::Platform& platform, int index) {
    PageList& drives = page.list("cbDrive", PageListKind::ComboBox);
    page.setGauge("gDisk", {100, 0});
    if (index < 0 || index >= static_cast<int>(drives.items.size())) {
        drives.selected = -1;
        emptyDriveValues(page);
        return;
    }
    drives.selected = index;
    std::string& item = drives.items[static_cast<size_t>(index)].caption;
    disk.SetDrive(item.substr(0, 2));
    page.setValue("lDriveType", disk.FileSystem() + " - " + std::string(MediaTypeText(disk.MediaType())));
    page.setValue("imgDrive", disk.MediaPresent() ? disk.Drive() + "\\" : std::string());
    page.setValue("eUNC", disk.UNC());
    page.setValue("eDSN", disk.SerialNumber());
    if (item.find('[') == std::string::npos) item += " [" + disk.VolumeLabel() + "]";

    const std::string separator = UserThousandSeparator(platform);
    page.setValue("lCapacity", "Capacity: " + FormatGrouped(disk.Capacity(), separator) + " B");
    page.setValue("lFree", "Free space: " + FormatGrouped(disk.FreeSpace(), separator) + " B");
    page.setGauge("gDisk", {100, usedPercent(disk.Capacity(), disk.FreeSpace())});
    page.setValue("lBPS", Format("Bytes/sector: %d", {disk.BytesPerSector()}));
    page.setValue("lSPC", Format("Sector/cluster: %d", {disk.SectorsPerCluster()}));
    page.setValue("lFC", "Free clusters: " + FormatGrouped(disk.FreeClusters(), separator));
    page.setValue("lTC", "Total clusters: " + FormatGrouped(disk.TotalClusters(), separator));
    TStringList flags;
    disk.ReportFlags(flags);
    PageList& list = page.list("clbFlags", PageListKind::CheckList);
    list.items.clear();
    for (CheckItem& item : CheckItemsOfLines(flags, true)) {
        list.items.push_back({std::move(item.text), {}, -1, item.checked});
    }
}

// ---------------------------------------------------------------- Time Zone

OverviewPageContent FillTimeZonePage(const TTimeZone& zone, platform::System& system) {
    OverviewPageContent page;
    page.setValue("eTZ", zone.DisplayName());
    page.setValue("gbStd", " " + zone.StandardName() + " ");
    page.setValue("gbDay", " " + zone.DaylightName() + " ");
    page.setValue("eStdStart", dateTimeText(system, zone.StandardStart()));
    page.setValue("edayStart", dateTimeText(system, zone.DaylightStart()));
    page.setValue("eStdBias", Format("%d", {zone.StandardBias()}));
    page.setValue("eDayBias", Format("%d", {zone.DaylightBias()}));
    return page;
}

// ---------------------------------------------------------------- Startup

OverviewPageContent FillStartupPage(const TStartup& startup) {
    OverviewPageContent page;
    PageList& tabs = page.list("tcStartup", PageListKind::ComboBox);
    for (const StartupTab& tab : kStartupTabs) tabs.items.push_back({std::string(tab.caption)});
    tcStartupChange(page, startup, 0);
    return page;
}

void tcStartupChange(OverviewPageContent& page, const TStartup& startup, int tab) {
    PageList& tabs = page.list("tcStartup", PageListKind::ComboBox);
    PageList& entries = page.list("lvStartup", PageListKind::ListView, {"Name", "Command line"});
    entries.items.clear();
    const bool known = tab >= 0 && tab < static_cast<int>(std::size(kStartupTabs));
    tabs.selected = known ? tab : -1;
    if (!known) return;
    const TStartupKind kind = kStartupTabs[static_cast<size_t>(tab)].kind;
    for (int index = 0; index < startup.Entries(kind).count(); ++index) {
        addRow(entries, startup.Name(kind, index), {startup.Command(kind, index)}, icon::kStartup);
    }
}

// ---------------------------------------------------------------- Software

OverviewPageContent FillSoftwarePage(const TSoftware& software) {
    OverviewPageContent page;
    PageList& list = page.list("lvSW", PageListKind::ListView, {"Product Name", "Uninstall String"});
    for (int index = 0; index < software.Products().count(); ++index) {
        addRow(list, software.Products().strings(index), {at(software.UninstallStrings(), index)}, icon::kSoftware);
    }
    return page;
}

// ---------------------------------------------------------------- detail dialogs

std::vector<CheckItem> CheckItemsOfLines(const TStrings& lines, bool skipHeader) {
    std::vector<std::string> texts = linesOf(lines);
    if (skipHeader && !texts.empty()) texts.erase(texts.begin());
    return checkItems(texts);
}

DetailRequest cmEnvironment(const TOperatingSystem& os) {
    DetailRequest request{DetailPage::ListView, "Environment"};
    for (int index = 0; index < os.Environment().count(); ++index) {
        request.lv.push_back({os.Environment().names(index), os.Environment().valueFromIndex(index)});
    }
    return request;
}

DetailRequest cmNTSpec(const TOperatingSystem& os) {
    TStringList lines;
    os.NTSpecific().SuiteLines(lines);
    return {DetailPage::CheckBox, "Installed Suites", CheckItemsOfLines(lines, false)};
}

DetailRequest cmModes(const TDisplay& display) {
    return {DetailPage::CheckBox, "Supported Video Modes", allTicked(display.Modes())};
}

std::optional<DetailRequest> cmCaps(const TDisplay& display, int tag) {
    if (tag < 0 || tag >= static_cast<int>(std::size(kCapabilitySections))) return std::nullopt;
    const std::string_view section = kCapabilitySections[static_cast<size_t>(tag)];
    TStringList report;
    display.Report(report);
    return DetailRequest{DetailPage::CheckBox, std::string(section), checkItems(reportSection(report, section))};
}

DetailRequest cmProto(const TNetwork& network) {
    return {DetailPage::CheckBox, "Protocols", allTicked(network.Protocols())};
}
DetailRequest cmServ(const TNetwork& network) {
    return {DetailPage::CheckBox, "Services", allTicked(network.Services())};
}
DetailRequest cmCli(const TNetwork& network) { return {DetailPage::CheckBox, "Clients", allTicked(network.Clients())}; }

int ShowDetail(TComponent* owner, DetailDialogPresenter& presenter, const DetailRequest& request) {
    // Owned by the window while it is shown, freed when it closes.
    auto dialog = std::make_unique<TdlgVesk_Detail>(owner, presenter);
    dialog->SetPageIndex(static_cast<int>(request.page));
    dialog->SetTitleText(request.title);
    dialog->clb = request.clb;
    dialog->lv = request.lv;
    return dialog->ShowModal();
}

}  // namespace vardak::probes
