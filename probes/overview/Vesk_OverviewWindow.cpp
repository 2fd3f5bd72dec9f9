#include "probes/overview/Vesk_OverviewWindow.h"

#include <algorithm>

#include "framework/Exception.h"
#include "framework/SysUtils.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {
namespace {

// The hourglass for the life of the object, the normal cursor again also when an
// exception passes.
class BusyCursor {
public:
    explicit BusyCursor(OverviewWindowHost& host) : host_(host) { host_.setBusyCursor(true); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor() { host_.setBusyCursor(false); }

private:
    OverviewWindowHost& host_;
};

// Where the folder part of a path ends: after its last "\" or "/", or after the ":" of
// a bare drive.
size_t nameStart(std::string_view path) {
    const size_t separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? 0 : separator + 1;
}

size_t pageIndex(OverviewPage page) { return static_cast<size_t>(page); }

// Puts what `update` names into `page`, as the view does with its controls: values,
// switches, colours and gauges by name (lists and the tree are not live).
void mergeContent(OverviewPageContent& page, const OverviewPageContent& update) {
    for (const PageValue& value : update.values) page.setValue(value.name, value.text);
    for (const PageSwitch& entry : update.switches) page.setSwitch(entry.name, entry.on);
    for (const PageGauge& gauge : update.gauges) page.setGauge(gauge.name, gauge.range);
    for (const PageColour& colour : update.colours) {
        auto found = std::find_if(page.colours.begin(), page.colours.end(),
                                  [&](const PageColour& held) { return held.name == colour.name; });
        if (found != page.colours.end()) {
            found->colour = colour.colour;
        } else {
            page.colours.push_back(colour);
        }
    }
}

}  // namespace

std::string ExtractFilePath(std::string_view path) { return std::string(path.substr(0, nameStart(path))); }

std::string ExtractFileName(std::string_view path) { return std::string(path.substr(nameStart(path))); }

void SaveReportReplacing(platform::FileSystem& files, const std::string& path, const TStrings& report) {
    const std::string partial = path + std::string(kPartialReportSuffix);
    if (!files.writeFile(partial, reportText(report)) || !files.replaceFile(partial, path)) {
        files.deleteFile(partial);
        throw EFCreateError("Cannot create file " + path);
    }
}

// ---------------------------------------------------------------- the window

TfrmVesk_Overview::TfrmVesk_Overview(TOstrelSystemInfo& root, platform::Platform& platform,
                                     OverviewWindowServices services)
    : TComponent(nullptr),
      root_(root),
      platform_(platform),
      host_(services.host),
      files_(services.files),
      details_(services.details),
      visiblePages_(kOverviewPagesButAbout) {
    activePage_ = OverviewPage::Wksta;
    host_.activatePage(activePage_);
    OverviewPageContent& about = pages_[pageIndex(OverviewPage::About)];
    about.setValue(kAboutTitleLabel, std::string(kAboutTitle));
    about.setValue(kAboutVersionLabel, std::string(kAboutVersion));
    host_.showPageContent(OverviewPage::About, about);

    cpuUsage_ = std::make_unique<TOstrelCPUUsage>(nullptr, platform_, services.timers);
    cpuUsage_->SetInterval(kDefaultUsageInterval);
    cpuUsage_->OnInterval = [this](TObject&, int32_t usage) { CPUUsageInterval(usage); };
    // Without the performance statistics of 95/98 the meter cannot start: the window
    // still opens, says why, and shows the live values once a refresh.
    try {
        cpuUsage_->SetActive(true);
    } catch (const Exception& failure) {
        ShowErrorText(platform_.ui(), failure.message());
    }
}

TfrmVesk_Overview::~TfrmVesk_Overview() {
    if (cpuUsage_) cpuUsage_->SetActive(false);
    cpuUsage_.reset();
}

void TfrmVesk_Overview::SetVisiblePages(OverviewPageSet pages) {
    visiblePages_ = pages;
    for (size_t number = kOverviewPageCount; number-- > 0;) {
        const OverviewPage page = kOverviewPages[number].page;
        const bool shown = isPageVisible(page);
        host_.showPageTab(page, shown);
        if (shown) {
            activePage_ = page;
            host_.activatePage(page);
        }
    }
}

void TfrmVesk_Overview::SetReportVisible(bool visible) {
    reportVisible_ = visible;
    host_.showReportButton(visible);
}

std::string TfrmVesk_Overview::PageCaption(OverviewPage page) const {
    const OverviewPageInfo& info = kOverviewPages[pageIndex(page)];
    if (const std::string* caption = pages_[pageIndex(page)].value(info.name)) return *caption;
    return std::string(info.caption);
}

const OverviewPageContent& TfrmVesk_Overview::PageContent(OverviewPage page) const {
    return pages_[pageIndex(page)];
}

void TfrmVesk_Overview::cmRefresh() {
    const BusyCursor busy(host_);
    root_.RefreshAll();
    FillPages();
}

void TfrmVesk_Overview::FillPages() {
    const BusyCursor busy(host_);
    for (const OverviewPage page : kPageFillOrder) {
        if (!isPageVisible(page)) continue;
        pages_[pageIndex(page)] = FillPage(root_, platform_, page);
        host_.showPageContent(page, pages_[pageIndex(page)]);
    }
    if (!cpuUsage_->Active()) CPUUsageInterval(0);
}

bool TfrmVesk_Overview::RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const Exception& failure) {
        ShowErrorText(platform_.ui(), failure.message());
        return false;
    }
}

// ---------------------------------------------------------------- reports

void TfrmVesk_Overview::cmReportAll() {
    report_.clear();
    files_.fileName = std::string(kAllTopicsFileName);
    std::string path;
    if (!GetFileSaveDlg(kSaveDialogTitle, kSaveDialogFilterName, kSaveDialogFilterPattern, path)) return;
    root_.ReportAll(report_);
    save(path);
}

void TfrmVesk_Overview::cmReportCurrent() {
    report_.clear();
    files_.fileName = trim(PageCaption(activePage_)) + ".txt";
    std::string path;
    if (!GetFileSaveDlg(kSaveDialogTitle, kSaveDialogFilterName, kSaveDialogFilterPattern, path)) return;
    reportPage(activePage_, report_);
    report_.insert(0, ";" + root_.About());
    save(path);
}

void TfrmVesk_Overview::reportPage(OverviewPage page, TStrings& report) const {
    switch (page) {
        case OverviewPage::Wksta: root_.Machine().Report(report); break;
        case OverviewPage::OS: root_.OS().Report(report); break;
        case OverviewPage::CPU: root_.CPU().Report(report); break;
        case OverviewPage::Memory: root_.Memory().Report(report); break;
        case OverviewPage::Display: root_.Display().Report(report); break;
        case OverviewPage::APM: root_.APM().Report(report); break;
        case OverviewPage::Media: root_.Media().Report(report); break;
        case OverviewPage::Network: root_.Network().Report(report); break;
        case OverviewPage::Devices: root_.Devices().Report(report); break;
        case OverviewPage::Printers: root_.Printers().Report(report); break;
        case OverviewPage::Engines: root_.Engines().Report(report); break;
        case OverviewPage::Drives: root_.Disk().Report(report); break;
        case OverviewPage::TZ: root_.OS().TimeZone().Report(report); break;
        case OverviewPage::Startup: root_.Startup().Report(report); break;
        case OverviewPage::Software: root_.Software().Report(report); break;
        case OverviewPage::About: break;
    }
}

void TfrmVesk_Overview::save(const std::string& path) { SaveReportReplacing(platform_.files(), path, report_); }

bool TfrmVesk_Overview::GetFileSaveDlg(std::string_view title, std::string_view filterName,
                                       std::string_view filterPattern, std::string& path) {
    if (files_.directory.empty()) files_.directory = ExtractFilePath(platform_.system().programPath());
    SaveDialogRequest request;
    request.initialDirectory = files_.directory;
    request.fileName = files_.fileName.substr(0, kSaveDialogBufferSize - 1);
    request.title = std::string(title);
    request.filterName = std::string(filterName);
    request.filterPattern = std::string(filterPattern);
    const SaveDialogAnswer answer = host_.runSaveDialog(request);
    if (answer.extendedError != 0) {
        throw Exception(Format("GetFileSaveDlg.CommDlgExtendedError = %x", {answer.extendedError}));
    }
    files_.fileName = ExtractFileName(answer.fileName);
    files_.directory = ExtractFilePath(answer.fileName);
    path = answer.fileName;
    return answer.confirmed;
}

// ---------------------------------------------------------------- page commands

bool TfrmVesk_Overview::cmWeb() {
    return platform_.shell().openAddress(host_.windowHandle(), std::string(kMakerWebAddress)) >
           platform::open_result::kLastFailure;
}

bool TfrmVesk_Overview::cmMail() {
    return platform_.shell().openAddress(host_.windowHandle(), std::string(kMakerMailAddress)) >
           platform::open_result::kLastFailure;
}

void TfrmVesk_Overview::showPage(OverviewPage page) { host_.showPageContent(page, pages_[pageIndex(page)]); }

void TfrmVesk_Overview::cbDriveChange(int index) {
    probes::cbDriveChange(pages_[pageIndex(OverviewPage::Drives)], root_.Disk(), platform_, index);
    showPage(OverviewPage::Drives);
}

void TfrmVesk_Overview::cbAdaptersChange(int index) {
    probes::cbAdaptersChange(pages_[pageIndex(OverviewPage::Network)], root_.Network().TCPIP(), index);
    showPage(OverviewPage::Network);
}

void TfrmVesk_Overview::tcStartupChange(int tab) {
    probes::tcStartupChange(pages_[pageIndex(OverviewPage::Startup)], root_.Startup(), tab);
    showPage(OverviewPage::Startup);
}

void TfrmVesk_Overview::TreeChange(DeviceTreeSelection selection) {
    probes::TreeChange(pages_[pageIndex(OverviewPage::Devices)], selection);
    showPage(OverviewPage::Devices);
}

void TfrmVesk_Overview::cbxClick(OverviewPage page, std::string_view name) {
    OverviewPageContent undo;
    undo.setSwitch(name, pages_[pageIndex(page)].switchOf(name).value_or(false));
    host_.showPageContent(page, undo);
}

std::optional<bool> TfrmVesk_Overview::clbClickCheck(OverviewPage page, std::string_view list, int index) {
    const PageList* items = pages_[pageIndex(page)].findList(list);
    if (items == nullptr || items->kind != PageListKind::CheckList || index < 0 ||
        index >= static_cast<int>(items->items.size())) {
        return std::nullopt;
    }
    const bool checked = items->items[static_cast<size_t>(index)].checked;
    host_.putBackTick(page, list, index, checked);
    return checked;
}

int TfrmVesk_Overview::showDetail(const DetailRequest& request) { return ShowDetail(this, details_, request); }

int TfrmVesk_Overview::cmEnvironment() { return showDetail(probes::cmEnvironment(root_.OS())); }
int TfrmVesk_Overview::cmNTSpec() { return showDetail(probes::cmNTSpec(root_.OS())); }
int TfrmVesk_Overview::cmModes() { return showDetail(probes::cmModes(root_.Display())); }
int TfrmVesk_Overview::cmProto() { return showDetail(probes::cmProto(root_.Network())); }
int TfrmVesk_Overview::cmServ() { return showDetail(probes::cmServ(root_.Network())); }
int TfrmVesk_Overview::cmCli() { return showDetail(probes::cmCli(root_.Network())); }

int TfrmVesk_Overview::cmCaps(int tag) {
    const std::optional<DetailRequest> request = probes::cmCaps(root_.Display(), tag);
    return request ? showDetail(*request) : 0;
}

int TfrmVesk_Overview::cmProps(DeviceTreeSelection selection) {
    const std::optional<DetailRequest> request =
        probes::cmProps(pages_[pageIndex(OverviewPage::Devices)], root_.Devices(), selection);
    return request ? showDetail(*request) : 0;
}

int ShowOverview(TfrmVesk_Overview& window) {
    window.SetVisiblePages(kAllOverviewPages);
    window.SetReportVisible(true);
    window.cmRefresh();
    return window.ShowModal();
}

// ---------------------------------------------------------------- live values

void TfrmVesk_Overview::showLive(OverviewPage page, const OverviewPageContent& live) {
    mergeContent(pages_[pageIndex(page)], live);
    host_.showPageContent(page, live);
}

void TfrmVesk_Overview::CPUUsageInterval(int32_t usage) {
    TMemory& memory = root_.Memory();
    memory.GetInfo();
    showLive(OverviewPage::Memory, MemoryLiveContent(memory, UserThousandSeparator(platform_)));
    showLive(OverviewPage::CPU, CPUUsageContent(usage));
    TMachine& machine = root_.Machine();
    machine.GetInfo(0);
    showLive(OverviewPage::Wksta, MachineLiveContent(machine));
}

}  // namespace vardak::probes
