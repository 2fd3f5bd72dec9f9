#include "app/Main.h"

#include <array>

#include "app/LayoutBuilder.h"
#include "grell/system/GrellApp.h"

namespace vardak::app {

using grell::TGrellMMButton;

namespace {

// Kinds the later parts of the program replace with their components.
constexpr std::array<std::string_view, 10> kPlaceholderKinds{
    "TOstrelSystemInfo", "TGrellSysInfo", "TGrellSysDrive",  "TGrellSysUninstall", "TGrellSysCPU",
    "TGrellSysWindows",  "TGrellSysNetwork", "TRichEdit",    "TPrintDialog",       "TGrellURLLabel",
};

}  // namespace

ComponentRegistry vardakComponentRegistry(grell::TGrellApplication& application) {
    ComponentRegistry registry;
    registry.add("TGrellMMButton", [&application](TComponent* owner) { return new TGrellMMButton(owner, &application); });
    registry.add("TGrellGraphicList", [](TComponent* owner) { return new grell::TGrellGraphicList(owner); });
    registry.add("TPanel", [](TComponent* owner) { return new TPanel(owner); });
    registry.add("TImage", [](TComponent* owner) { return new TImage(owner); });
    registry.add("TShape", [](TComponent* owner) { return new TShape(owner); });
    registry.add("TListView", [](TComponent* owner) { return new TListView(owner); });
    registry.add("TImageList", [](TComponent* owner) { return new TImageList(owner); });
    for (std::string_view kind : kPlaceholderKinds) {
        registry.add(std::string(kind), [kind](TComponent* owner) { return new TLayoutPlaceholder(owner, std::string(kind)); });
    }
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
    const ComponentRegistry registry = vardakComponentRegistry(services_.application);
    const LayoutServices layoutServices{
        registry,
        [this](std::string_view name) { return services_.resources.loadPicture(name); },
        [this](std::string_view name) { return findHandler(name); },
    };
    buildLayout(*this, root, layoutServices);
    findParts();
    formCreate();
}

template <class Kind>
Kind* TVardak::part(std::string_view name) const {
    auto* component = dynamic_cast<Kind*>(findComponent(name));
    if (component == nullptr) throw LayoutBuildError("the layout lacks " + std::string(name));
    return component;
}

void TVardak::findParts() {
    Parts& p = parts_;
    p.OstrelSystemInfo = part<TComponent>("OstrelSystemInfo");
    p.IkonListe = part<TImageList>("IkonListe");
    p.GrellSysInfo1 = part<TComponent>("GrellSysInfo1");
    p.DriveInfo = part<TComponent>("DriveInfo");
    p.Uninstall = part<TComponent>("Uninstall");
    p.Billeder = part<grell::TGrellGraphicList>("Billeder");
    p.ImageList1 = part<TImageList>("ImageList1");
    p.Panel2 = part<TPanel>("Panel2");
    p.List = part<TListView>("List");
    p.Panel1 = part<TPanel>("Panel1");
    p.GrellMMButton1 = part<TGrellMMButton>("GrellMMButton1");
    p.GrellMMButton2 = part<TGrellMMButton>("GrellMMButton2");
    p.GrellMMButton3 = part<TGrellMMButton>("GrellMMButton3");
    p.GrellMMButton4 = part<TGrellMMButton>("GrellMMButton4");
    p.GrellMMButton5 = part<TGrellMMButton>("GrellMMButton5");
    p.KnapBilleder = part<grell::TGrellGraphicList>("KnapBilleder");
    p.Hoved = part<TImage>("Hoved");
    p.Programmer = part<TGrellMMButton>("Programmer");
    p.Partitioner = part<TGrellMMButton>("Partitioner");
    p.Detaljer = part<TGrellMMButton>("Detaljer");
    p.Afslut = part<TGrellMMButton>("Afslut");
    p.Udskriv = part<TGrellMMButton>("Udskriv");
    p.Udskrift = part<TComponent>("Udskrift");
    p.CPUInfo = part<TComponent>("CPUInfo");
    p.WinInfo = part<TComponent>("WinInfo");
    p.NetInfo = part<TComponent>("NetInfo");
    p.Kopier = part<TGrellMMButton>("Kopier");
    p.Printer = part<TComponent>("Printer");
    p.Shape1 = part<TShape>("Shape1");
    p.WWWHop = part<TComponent>("WWWHop");
    p.KnapBillederNo = part<grell::TGrellGraphicList>("KnapBillederNo");
    p.KnapBillederSv = part<grell::TGrellGraphicList>("KnapBillederSv");
    p.KnapBillederFi = part<grell::TGrellGraphicList>("KnapBillederFi");
}

grell::TGrellGraphicList* TVardak::faceList(UiLanguage language) const {
    switch (language) {
    case UiLanguage::Danish: return parts_.KnapBilleder;
    case UiLanguage::Norwegian: return parts_.KnapBillederNo;
    case UiLanguage::Swedish: return parts_.KnapBillederSv;
    case UiLanguage::Finnish: return parts_.KnapBillederFi;
    }
    return parts_.KnapBilleder;
}

ToggleStates TVardak::toggleStates() const {
    return {parts_.Programmer->pressed(), parts_.Partitioner->pressed(), parts_.Detaljer->pressed()};
}

void TVardak::formCreate() {
    uiLanguage_ = detectUiLanguage([this](int id) { return services_.resources.loadString(id); });

    grell::TGrellGraphicList* faces = faceList(uiLanguage_);
    for (TGrellMMButton* button :
         {parts_.Programmer, parts_.Partitioner, parts_.Detaljer, parts_.Udskriv, parts_.Afslut}) {
        button->setButtonFaceImageList(faces);
    }

    const ToggleStates saved = loadToggleStates(services_.files);
    parts_.Programmer->setPressed(saved.programmer);
    parts_.Partitioner->setPressed(saved.partitioner);
    parts_.Detaljer->setPressed(saved.detaljer);
}

void TVardak::opdaterClick(TObject&) {
    parts_.List->clear();
}

void TVardak::afslutClick(TObject&) {
    saveToggleStates(services_.files, toggleStates());
    services_.actions.terminate();
}

// Printing and copying build on the summary list; they arrive with it.
void TVardak::udskrivClick(TObject&) {}
void TVardak::kopierClick(TObject&) {}
// The publisher's web link arrives with the web-link component.
void TVardak::shape1MouseDown(TObject&, grell::MouseButton, grell::TPoint) {}

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

// The overview window and the root probe component arrive with the probe library.
void TVardak::image2Click() {}
void TVardak::hentInfoClick() {}

std::optional<grell::EventHandler> TVardak::findHandler(std::string_view name) {
    auto notify = [this](void (TVardak::*method)(TObject&)) {
        return grell::EventHandler{[this, method](TObject& sender) { (this->*method)(sender); }, {}};
    };
    if (name == "OpdaterClick") return notify(&TVardak::opdaterClick);
    if (name == "AfslutClick") return notify(&TVardak::afslutClick);
    if (name == "UdskrivClick") return notify(&TVardak::udskrivClick);
    if (name == "KopierClick") return notify(&TVardak::kopierClick);
    if (name == "Shape1MouseDown") {
        return grell::EventHandler{{}, [this](TObject& sender, grell::MouseButton button, grell::TPoint point) {
                                       shape1MouseDown(sender, button, point);
                                   }};
    }
    return std::nullopt;
}

}  // namespace vardak::app
