#include "app/Main.h"

#include <array>

#include "app/LayoutBuilder.h"
#include "app/Printing.h"
#include "grell/system/GrellApp.h"
#include "grell/system/GrellSysDrive.h"
#include "platform/Platform.h"
#include "platform/Printers.h"

namespace vardak::app {

using grell::TGrellMMButton;

namespace {

// Registers a system component made from its owner and the platform.
template <class Component>
void addSystemComponent(ComponentRegistry& registry, std::string_view kind, platform::Platform& platform) {
    registry.add(std::string(kind), [&platform](TComponent* owner) { return new Component(owner, platform); });
}

}  // namespace

ComponentRegistry vardakComponentRegistry(grell::TGrellApplication& application, platform::Platform& platform,
                                          grell::TGrellSysURLLabel::MainWindowQuery mainWindow) {
    ComponentRegistry registry;
    addSystemComponent<TLayoutSystemComponent<grell::TGrellSysDrive>>(registry, "TGrellSysDrive", platform);
    addSystemComponent<TLayoutSystemComponent<grell::TGrellSysUninstall>>(registry, "TGrellSysUninstall", platform);
    addSystemComponent<TLayoutSystemComponent<grell::TGrellSysProcessor>>(registry, "TGrellSysProcessor", platform);
    addSystemComponent<TLayoutSystemComponent<grell::TGrellSysWindows>>(registry, "TGrellSysWindows", platform);
    addSystemComponent<TLayoutSystemComponent<grell::TGrellSysNetwork>>(registry, "TGrellSysNetwork", platform);
    addSystemComponent<grell::TGrellSysInfo>(registry, "TGrellSysInfo", platform);
    registry.add("TOstrelSystemInfo", [&platform](TComponent* owner) {
        return new TLayoutOstrelSystemInfo(owner, platform);
    });
    registry.add("TGrellMMButton", [&application](TComponent* owner) { return new TGrellMMButton(owner, &application); });
    registry.add("TGrellGraphicList", [](TComponent* owner) { return new grell::TGrellGraphicList(owner); });
    registry.add("TPanel", [](TComponent* owner) { return new TPanel(owner); });
    registry.add("TImage", [](TComponent* owner) { return new TImage(owner); });
    registry.add("TShape", [](TComponent* owner) { return new TShape(owner); });
    registry.add("TListView", [](TComponent* owner) { return new TListView(owner); });
    registry.add("TImageList", [](TComponent* owner) { return new TImageList(owner); });
    registry.add("TRichEdit", [](TComponent* owner) { return new TRichEdit(owner); });
    registry.add("TPrintDialog", [](TComponent* owner) { return new TPrintDialog(owner); });
    registry.add("TGrellSysURLLabel", [&platform, mainWindow](TComponent* owner) {
        return new grell::TGrellSysURLLabel(owner, platform.shell(), mainWindow);
    });
    return registry;
}

TVardak::TVardak(TComponent* owner, VardakServices services) : TGrellWinControl(owner), services_(services) {}

bool TVardak::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "Width" || name == "Height") {
        const int64_t size = value.asInteger().value_or(0);
        if (size <= 0 || size > 4096) return false;
        (name == "Width" ? windowWidth_ : windowHeight_) = static_cast<int>(size);
        return true;
    }
    if (name == "Constraints.MaxWidth") {
        const int64_t size = value.asInteger().value_or(0);
        if (size > 0 && size <= 4096) maxWidth_ = static_cast<int>(size);
        return true;
    }
    if (name == "Position") {
        centered_ = grell::layoutText(value).value_or("") == "poScreenCenter";
        return true;
    }
    // A fixed single border with the system menu and the minimise box.
    if (name == "BorderStyle" || name == "BorderIcons") return true;
    return TGrellWinControl::readProperty(name, value);
}

void TVardak::createFromLayout(std::string_view layoutText) {
    const LayoutObject root = parseLayout(layoutText);
    const ComponentRegistry registry = vardakComponentRegistry(services_.application, services_.platform,
                                                               [this] { return services_.actions.windowHandle(); });
    const LayoutServices layoutServices{
        registry,
        [this](std::string_view name) { return services_.resources.loadPicture(name); },
        [this](std::string_view name) { return findHandler(name); },
    };
    buildLayout(*this, root, layoutServices);
    findWindowComponents();
    formCreate();
}

template <class Kind>
Kind* TVardak::layoutComponent(std::string_view name) const {
    auto* component = dynamic_cast<Kind*>(findComponent(name));
    if (component == nullptr) throw LayoutBuildError("the layout lacks " + std::string(name));
    return component;
}

void TVardak::findWindowComponents() {
    WindowComponents& c = components_;
    c.OstrelSystemInfo = layoutComponent<probes::TOstrelSystemInfo>("OstrelSystemInfo");
    c.OstrelSystemInfo->setSplashMaker(services_.refreshSplash);
    c.OstrelSystemInfo->setOverviewShower(services_.overviewShower);
    c.IkonListe = layoutComponent<TImageList>("IkonListe");
    c.GrellSysInfo1 = layoutComponent<grell::TGrellSysInfo>("GrellSysInfo1");
    c.DriveInfo = layoutComponent<grell::TGrellSysDrive>("DriveInfo");
    c.Uninstall = layoutComponent<grell::TGrellSysUninstall>("Uninstall");
    c.Billeder = layoutComponent<grell::TGrellGraphicList>("Billeder");
    c.ImageList1 = layoutComponent<TImageList>("ImageList1");
    c.Panel2 = layoutComponent<TPanel>("Panel2");
    c.List = layoutComponent<TListView>("List");
    c.Panel1 = layoutComponent<TPanel>("Panel1");
    c.GrellMMButton1 = layoutComponent<TGrellMMButton>("GrellMMButton1");
    c.GrellMMButton2 = layoutComponent<TGrellMMButton>("GrellMMButton2");
    c.GrellMMButton3 = layoutComponent<TGrellMMButton>("GrellMMButton3");
    c.GrellMMButton4 = layoutComponent<TGrellMMButton>("GrellMMButton4");
    c.GrellMMButton5 = layoutComponent<TGrellMMButton>("GrellMMButton5");
    c.KnapBilleder = layoutComponent<grell::TGrellGraphicList>("KnapBilleder");
    c.Hoved = layoutComponent<TImage>("Hoved");
    c.Programmer = layoutComponent<TGrellMMButton>("Programmer");
    c.Partitioner = layoutComponent<TGrellMMButton>("Partitioner");
    c.Detaljer = layoutComponent<TGrellMMButton>("Detaljer");
    c.Afslut = layoutComponent<TGrellMMButton>("Afslut");
    c.Udskriv = layoutComponent<TGrellMMButton>("Udskriv");
    c.Udskrift = layoutComponent<TRichEdit>("Udskrift");
    c.CPUInfo = layoutComponent<grell::TGrellSysProcessor>("CPUInfo");
    c.WinInfo = layoutComponent<grell::TGrellSysWindows>("WinInfo");
    c.NetInfo = layoutComponent<grell::TGrellSysNetwork>("NetInfo");
    c.Kopier = layoutComponent<TGrellMMButton>("Kopier");
    c.Printer = layoutComponent<TPrintDialog>("Printer");
    c.Shape1 = layoutComponent<TShape>("Shape1");
    c.WWWHop = layoutComponent<grell::TGrellSysURLLabel>("WWWHop");
    c.WWWHop->SetAllowedTargets({kPublisherAddresses.begin(), kPublisherAddresses.end()});
    c.KnapBillederNo = layoutComponent<grell::TGrellGraphicList>("KnapBillederNo");
    c.KnapBillederSv = layoutComponent<grell::TGrellGraphicList>("KnapBillederSv");
    c.KnapBillederFi = layoutComponent<grell::TGrellGraphicList>("KnapBillederFi");
}

grell::TGrellGraphicList* TVardak::faceList(UiLanguage language) const {
    switch (language) {
    case UiLanguage::Danish: return components_.KnapBilleder;
    case UiLanguage::Norwegian: return components_.KnapBillederNo;
    case UiLanguage::Swedish: return components_.KnapBillederSv;
    case UiLanguage::Finnish: return components_.KnapBillederFi;
    }
    return components_.KnapBilleder;
}

ToggleStates TVardak::toggleStates() const {
    return {components_.Programmer->pressed(), components_.Partitioner->pressed(), components_.Detaljer->pressed()};
}

void TVardak::formCreate() {
    uiLanguage_ = detectUiLanguage([this](int id) { return services_.resources.loadString(id); });

    grell::TGrellGraphicList* faces = faceList(uiLanguage_);
    for (TGrellMMButton* button :
         {components_.Programmer, components_.Partitioner, components_.Detaljer, components_.Udskriv, components_.Afslut}) {
        button->setButtonFaceImageList(faces);
    }

    const ToggleStates saved = loadToggleStates(services_.files);
    components_.Programmer->setPressed(saved.programmer);
    components_.Partitioner->setPressed(saved.partitioner);
    components_.Detaljer->setPressed(saved.detaljer);

    legacyWindows_ = IsLegacyWindows(components_.GrellSysInfo1->VersionWIN());
    BuildOverview();
}

void TVardak::opdaterClick(TObject&) {
    components_.List->clear();
    BuildOverview();
}

void TVardak::BuildOverview() {
    const WindowComponents& c = components_;
    const OverviewSources sources{*c.OstrelSystemInfo, *c.CPUInfo, *c.WinInfo, *c.DriveInfo, *c.Uninstall,
                                  services_.platform,
                                  [this](int id) { return services_.resources.loadString(id); }};
    const std::array<TGrellMMButton*, 3> toggles{c.Programmer, c.Partitioner, c.Detaljer};
    // The toggles take no clicks while the list is built; they come back also when a
    // probe raises on the way (the error then reaches the application's handler).
    for (TGrellMMButton* toggle : toggles) toggle->setEnabled(false);
    struct Reenable {
        const std::array<TGrellMMButton*, 3>& toggles;
        ~Reenable() {
            for (TGrellMMButton* toggle : toggles) toggle->setEnabled(true);
        }
    } reenable{toggles};
    const ToggleStates states = toggleStates();
    TOverviewBuilder(sources, {states.programmer, states.partitioner, states.detaljer}, legacyWindows_, *c.List)
        .BuildOverview();
}

void TVardak::afslutClick(TObject&) {
    saveToggleStates(services_.files, toggleStates());
    services_.actions.terminate();
}

void TVardak::BuildPrintText() {
    const std::vector<RichParagraph> lines =
        PrintLines(components_.List->rows(), services_.resources.loadString(print_text::kHeading),
                   services_.resources.loadString(overview_text::kPrograms));
    TRichEdit& document = *components_.Udskrift;
    document.Clear();
    const size_t needed = PrintTextLength(lines);
    if (needed > document.MaxLength()) document.SetMaxLength(needed);
    for (const RichParagraph& line : lines) AppendPrintLine(line.text, line.pointSize);
}

void TVardak::AppendPrintLine(std::string text, int pointSize) {
    components_.Udskrift->AppendParagraph({std::move(text), pointSize});
}

void TVardak::udskrivClick(TObject&) {
    BuildPrintText();
    const std::string title = services_.resources.loadString(print_text::kJobTitle);
    // Without a printer the print dialog has nothing to offer.
    PrintResult result{PrintOutcome::NoPrinter, 0};
    if (!services_.platform.printers().installedPrinters().empty()) result = services_.actions.printDocument(title);
    std::string message;
    if (result.outcome == PrintOutcome::NoPrinter) message = services_.resources.loadString(print_text::kNoPrinter);
    if (result.outcome == PrintOutcome::Failed) {
        message = services_.platform.system().errorMessage(result.errorCode);
        if (message.empty()) message = "Error " + std::to_string(result.errorCode);
    }
    if (!message.empty()) services_.platform.ui().showError(title, message);
}

void TVardak::kopierClick(TObject&) {
    BuildPrintText();
    services_.actions.copyDocument();
}

void TVardak::shape1MouseDown(TObject&, grell::MouseButton, grell::TPoint) {
    // A language without an address keeps the label's address.
    if (const std::optional<std::string_view> address = publisherAddress(uiLanguage_)) {
        components_.WWWHop->SetJump(std::string(*address));
    }
    components_.WWWHop->ExecuteJump();
}

bool TVardak::runShortcut(char key) {
    struct Shortcut {
        char key;
        void (TVardak::*run)(TObject&);
    };
    static constexpr std::array<Shortcut, 2> kShortcuts{{{'C', &TVardak::kopierClick}, {'P', &TVardak::udskrivClick}}};
    for (const Shortcut& shortcut : kShortcuts) {
        if (shortcut.key != key) continue;
        (this->*shortcut.run)(*this);
        return true;
    }
    return false;
}

void TVardak::cmMoveForm() {
    services_.actions.startWindowDrag();
}

void TVardak::cmMinimize() {
    services_.actions.minimize();
}

void TVardak::cmClose() {
    services_.actions.close();
}

void TVardak::cmMaximize() {
    services_.actions.toggleMaximized();
}

// This waits for the probe library's overview window.
void TVardak::image2Click() { components_.OstrelSystemInfo->ShowOverview(); }

void TVardak::hentInfoClick() { components_.OstrelSystemInfo->RefreshAll(); }

bool TVardak::runWindowCommand(int id) {
    struct Command {
        WindowCommand id;
        void (TVardak::*run)();
    };
    static constexpr std::array<Command, 6> kWindowCommands{{
        {WindowCommand::MoveForm, &TVardak::cmMoveForm},
        {WindowCommand::Minimize, &TVardak::cmMinimize},
        {WindowCommand::Close, &TVardak::cmClose},
        {WindowCommand::Maximize, &TVardak::cmMaximize},
        {WindowCommand::Image2Click, &TVardak::image2Click},
        {WindowCommand::HentInfoClick, &TVardak::hentInfoClick},
    }};
    for (const Command& command : kWindowCommands) {
        if (static_cast<int>(command.id) != id) continue;
        (this->*command.run)();
        return true;
    }
    return false;
}

std::optional<grell::EventHandler> TVardak::findHandler(std::string_view name) {
    auto notify = [this](void (TVardak::*method)(TObject&)) {
        return grell::EventHandler{.notify = [this, method](TObject& sender) { (this->*method)(sender); }};
    };
    if (name == "OpdaterClick") return notify(&TVardak::opdaterClick);
    if (name == "AfslutClick") return notify(&TVardak::afslutClick);
    if (name == "UdskrivClick") return notify(&TVardak::udskrivClick);
    if (name == "KopierClick") return notify(&TVardak::kopierClick);
    if (name == "Shape1MouseDown") {
        return grell::EventHandler{.mouse = [this](TObject& sender, grell::MouseButton button, grell::TPoint point) {
            shape1MouseDown(sender, button, point);
        }};
    }
    return std::nullopt;
}

}  // namespace vardak::app
