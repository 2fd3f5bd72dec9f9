#include "probes/overview/win32/Win32OverviewWindow.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/WinHandles.h"
#include "platform/win32/Win32WindowTimer.h"
#include "probes/overview/Vesk_OverviewLayout.h"
#include "probes/overview/win32/Win32DetailDialog.h"
#include "probes/overview/win32/Win32Painting.h"

namespace vardak::probes::win32 {

using vardak::win32::UniqueGdiObject;
using vardak::win32::UniqueIcon;
using vardak::win32::UniqueImageList;
using vardak::win32::UniqueMenu;

namespace {

constexpr int kFirstControlId = 1000;
constexpr int kFirstSheetId = 900;
constexpr int kModalResultCancel = 2;
constexpr COLORREF kIconBackground = RGB(255, 0, 255);

// The pictures of the image lists: a rounded square of a colour with a letter.
struct Glyph {
    COLORREF colour;
    char letter;
};
constexpr Glyph kGlyphs[] = {
    {RGB(0, 96, 160), 'C'},    {RGB(96, 96, 96), 'S'},   {RGB(0, 128, 128), 'D'},  {RGB(0, 96, 128), 'M'},
    {RGB(128, 96, 0), 'H'},    {RGB(128, 128, 0), 'F'},  {RGB(96, 64, 0), 'V'},    {RGB(160, 96, 0), 'O'},
    {RGB(96, 96, 0), 'T'},     {RGB(0, 128, 0), 'B'},    {RGB(128, 0, 128), 'I'},  {RGB(64, 64, 128), 'K'},
    {RGB(64, 64, 160), 'M'},   {RGB(0, 96, 96), 'm'},    {RGB(96, 64, 96), 'P'},   {RGB(0, 112, 0), 'N'},
    {RGB(48, 96, 48), 'A'},    {RGB(112, 48, 48), 'S'},  {RGB(128, 128, 128), '?'}, {RGB(160, 0, 96), 'M'},
    {RGB(0, 64, 160), 'U'},    {RGB(128, 0, 0), 'G'},    {RGB(0, 128, 64), 'n'},   {RGB(160, 128, 0), 'R'},
    {RGB(0, 80, 160), 'W'},    {RGB(96, 96, 48), 'C'},   {RGB(64, 96, 128), 'H'},  {RGB(0, 128, 160), 'G'},
    {RGB(96, 48, 128), 'X'},   {RGB(160, 32, 32), 'R'},  {RGB(128, 64, 160), 'M'}, {RGB(64, 128, 160), 'W'},
    {RGB(96, 128, 64), 'X'},   {RGB(128, 96, 64), 'A'},  {RGB(32, 32, 32), 'X'},   {RGB(80, 80, 80), 'P'},
    {RGB(0, 128, 0), 'P'},     {RGB(80, 80, 140), 'P'},  {RGB(0, 100, 160), 'P'},  {RGB(112, 80, 48), 'T'},
    {RGB(0, 96, 64), '#'},
};
// The 32-pixel pictures: the component itself (About).
constexpr Glyph kLargeGlyphs[] = {{RGB(0, 96, 160), 'O'}};

std::vector<std::string_view> splitBars(std::string_view text) {
    std::vector<std::string_view> parts;
    if (text.empty()) return parts;
    while (true) {
        const size_t bar = text.find('|');
        parts.push_back(text.substr(0, bar));
        if (bar == std::string_view::npos) return parts;
        text = text.substr(bar + 1);
    }
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextA(window, text.data(), length + 1), 0)));
    return text;
}

void setTextIfChanged(HWND window, const std::string& text) {
    if (windowText(window) != text) SetWindowTextA(window, text.c_str());
}

// An image list of pictures drawn from glyphs; the caller destroys it.
HIMAGELIST drawImageList(const Glyph* glyphs, size_t count, int size) {
    const HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, static_cast<int>(count), 1);
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP strip = CreateCompatibleBitmap(screen, size * static_cast<int>(count), size);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ oldBitmap = SelectObject(dc, strip);
    const UniqueGdiObject font(createPixelFont("Tahoma", size * 3 / 4, true));
    const HGDIOBJ oldFont = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    for (size_t index = 0; index < count; ++index) {
        const int left = static_cast<int>(index) * size;
        RECT cell{left, 0, left + size, size};
        const UniqueGdiObject background(CreateSolidBrush(kIconBackground));
        FillRect(dc, &cell, static_cast<HBRUSH>(background.get()));
        const UniqueGdiObject brush(CreateSolidBrush(glyphs[index].colour));
        const HGDIOBJ oldBrush = SelectObject(dc, brush.get());
        const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        RoundRect(dc, left + 1, 1, left + size - 1, size - 1, size / 4, size / 4);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        char letter[2] = {glyphs[index].letter, 0};
        DrawTextA(dc, letter, 1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    ImageList_AddMasked(list, strip, kIconBackground);
    DeleteObject(strip);
    return list;
}

// The tree's item data: the positions of a node under the root and under its class.
LPARAM treeData(DeviceTreeSelection selection) {
    return static_cast<LPARAM>(((selection.classNode + 1) << 16) | (selection.deviceNode + 1));
}
DeviceTreeSelection selectionOfData(LPARAM data) {
    return {static_cast<int>((data >> 16) & 0xFFFF) - 1, static_cast<int>(data & 0xFFFF) - 1};
}

}  // namespace

int overviewControlId(OverviewPage page, std::string_view name) {
    const OverviewControl* control = findOverviewControl(page, name);
    return control ? kFirstControlId + static_cast<int>(control - overviewControls().data()) : 0;
}

// ---------------------------------------------------------------- the window's state

struct Win32OverviewWindow::State {
    struct Container {
        HWND window = nullptr;
        int width = 0;
        int height = 0;
    };
    struct Sheet {
        const OverviewSheet* place = nullptr;
        HWND tabs = nullptr;
        std::vector<HWND> pages;
    };
    struct Made {
        const OverviewControl* place = nullptr;
        HWND window = nullptr;
        std::optional<OverviewPage> page;
        // What a list or the tree shows, so that an unchanged one is not made again.
        std::optional<PageList> shownList;
        std::optional<PageTreeNode> shownTree;
        std::optional<COLORREF> colour;
        UniqueGdiObject brush;
        UniqueIcon icon;
    };

    HINSTANCE instance;
    HWND window = nullptr;
    HWND pageControl = nullptr;
    TfrmVesk_Overview* form = nullptr;
    UniqueGdiObject font;
    UniqueGdiObject titleFont;
    UniqueImageList images;
    UniqueImageList largeImages;  // ilEng
    UniqueMenu reportMenu;
    std::map<std::string, Container, std::less<>> containers;
    std::vector<Sheet> sheets;
    std::vector<Made> controls;
    std::array<std::string, kOverviewPageCount> captions{};
    std::vector<OverviewPage> shownTabs;  // the pages whose tab is shown, in order
    std::array<bool, kOverviewPageCount> tabShown{};
    // A page's sheets and controls are made when it first comes forward.
    std::array<bool, kOverviewPageCount> pageMade{};
    OverviewPage front = OverviewPage::Wksta;
    DeviceTreeSelection treeSelection;
    int modalResult = 0;
    bool busy = false;
    // Set while this code changes ticks itself, whose notifications are not the user's.
    bool settingTicks = false;

    explicit State(HINSTANCE instanceHandle) : instance(instanceHandle) {}

    void create();
    void makeContainer(std::string_view name, HWND parent, const OverviewRect& rect);
    void makeSheet(const OverviewSheet& place);
    void makeControl(size_t index);
    HWND child(const char* className, DWORD style, DWORD extendedStyle, HWND parent, int id, const OverviewRect& rect,
               const char* text = "");
    const Container* container(std::string_view name) const;
    HWND containerOfPage(OverviewPage page) const;
    static OverviewRect displayArea(HWND tabs);
    Made* find(OverviewPage page, std::string_view name);
    Sheet* findSheet(OverviewPage page, std::string_view name);

    void makePage(OverviewPage page);
    void bringForward(OverviewPage page);
    void applyContent(OverviewPage page, const OverviewPageContent& content);
    void rebuildTabs();
    void showSheetPage(Sheet& sheet, int index);
    void applyValue(OverviewPage page, const PageValue& value);
    void applyList(Made& made, const PageList& list);
    void applyTabs(Sheet& sheet, const PageList& list);
    void applyTree(Made& made, const PageTreeNode& tree);
    void insertTree(HWND tree, HTREEITEM parent, const PageTreeNode& node, DeviceTreeSelection at, int level);
    void setCheckState(HWND list, int index, bool checked);

    LRESULT onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(const NMHDR& header);
    void runCommand(const Made& made, int code);
    void run(const std::function<void()>& command) {
        if (form != nullptr) form->RunCommand(command);
    }

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

HWND Win32OverviewWindow::State::child(const char* className, DWORD style, DWORD extendedStyle, HWND parent, int id,
                                       const OverviewRect& rect, const char* text) {
    const HWND made = CreateWindowExA(extendedStyle, className, text, WS_CHILD | style, rect.left, rect.top, rect.width,
                                      rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                      nullptr);
    SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    return made;
}

const Win32OverviewWindow::State::Container* Win32OverviewWindow::State::container(std::string_view name) const {
    const auto found = containers.find(name);
    return found == containers.end() ? nullptr : &found->second;
}

HWND Win32OverviewWindow::State::containerOfPage(OverviewPage page) const {
    const Container* found = container(kOverviewPages[static_cast<size_t>(page)].name);
    return found ? found->window : nullptr;
}

Win32OverviewWindow::State::Made* Win32OverviewWindow::State::find(OverviewPage page, std::string_view name) {
    for (Made& made : controls) {
        if (made.window != nullptr && made.page == page && made.place->name == name) return &made;
    }
    return nullptr;
}

Win32OverviewWindow::State::Sheet* Win32OverviewWindow::State::findSheet(OverviewPage page, std::string_view name) {
    const OverviewSheet* place = findOverviewSheet(page, name);
    for (Sheet& sheet : sheets) {
        if (sheet.place == place) return &sheet;
    }
    return nullptr;
}

void Win32OverviewWindow::State::makeContainer(std::string_view name, HWND parent, const OverviewRect& rect) {
    const HWND made = CreateWindowExA(WS_EX_CONTROLPARENT, kOverviewPageClass, std::string(name).c_str(),
                                      WS_CHILD | WS_CLIPSIBLINGS, rect.left, rect.top, rect.width, rect.height, parent,
                                      nullptr, instance, nullptr);
    // Above the tab control that shows it.
    SetWindowPos(made, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    containers[std::string(name)] = {made, rect.width, rect.height};
}

// A tab control and the containers its tabs bring forward, in its display area.
void Win32OverviewWindow::State::makeSheet(const OverviewSheet& place) {
    const Container* parent = container(place.container);
    if (parent == nullptr) return;
    const int id = kFirstSheetId + static_cast<int>(&place - overviewSheets().data());
    Sheet sheet{&place, child(WC_TABCONTROLA, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_MULTILINE, 0,
                              parent->window, id, placeIn(place.place, parent->width, parent->height)),
                {}};
    int index = 0;
    for (std::string_view caption : splitBars(place.captions)) {
        std::string text(caption);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageA(sheet.tabs, TCM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
    }
    const OverviewRect inner = displayArea(sheet.tabs);
    for (std::string_view name : splitBars(place.pages)) {
        makeContainer(name, parent->window, inner);
        sheet.pages.push_back(container(name)->window);
    }
    sheets.push_back(std::move(sheet));
    showSheetPage(sheets.back(), 0);
}

// Where a tab control shows its pages, in its parent's coordinates.
OverviewRect Win32OverviewWindow::State::displayArea(HWND tabs) {
    RECT area{};
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, GetParent(tabs), reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void Win32OverviewWindow::State::showSheetPage(Sheet& sheet, int index) {
    if (index < 0) return;
    TabCtrl_SetCurSel(sheet.tabs, index);
    const size_t shown = std::min(static_cast<size_t>(index), sheet.pages.size() - 1);
    for (size_t page = 0; page < sheet.pages.size(); ++page) {
        ShowWindow(sheet.pages[page], page == shown ? SW_SHOW : SW_HIDE);
    }
}

void Win32OverviewWindow::State::makeControl(size_t index) {
    const OverviewControl& place = overviewControls()[index];
    const bool onWindow = place.container == kOverviewWindowArea;
    const Container* parent = onWindow ? nullptr : container(place.container);
    if (!onWindow && parent == nullptr) return;
    const HWND parentWindow = onWindow ? window : parent->window;
    const OverviewRect rect =
        onWindow ? placeIn(place.place, kOverviewClientWidth, kOverviewClientHeight)
                 : placeIn(place.place, parent->width, parent->height);
    const int id = place.name == "bOK" ? IDOK : kFirstControlId + static_cast<int>(index);
    const std::string caption(place.caption);
    HWND made = nullptr;
    switch (place.kind) {
        case OverviewControlKind::Label:
            made = child("STATIC", WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, parentWindow, id, rect,
                         caption.c_str());
            if (rect.height > 20) SetWindowLongA(made, GWL_STYLE, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
            break;
        case OverviewControlKind::Edit:
            made = child("EDIT", WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                         parentWindow, id, rect);
            break;
        case OverviewControlKind::Memo:
            made = child("EDIT", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_READONLY | ES_MULTILINE, WS_EX_CLIENTEDGE,
                         parentWindow, id, rect);
            break;
        case OverviewControlKind::Group:
            made = child("BUTTON", WS_VISIBLE | BS_GROUPBOX, 0, parentWindow, id, rect, caption.c_str());
            break;
        case OverviewControlKind::CheckBox:
            made = child("BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, parentWindow, id, rect,
                         caption.c_str());
            break;
        case OverviewControlKind::Button:
            made = child("BUTTON", WS_VISIBLE | WS_TABSTOP | (id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
                         parentWindow, id, rect, caption.c_str());
            break;
        case OverviewControlKind::Panel:
            made = child("STATIC", WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX, 0, parentWindow,
                         id, rect, caption.c_str());
            break;
        case OverviewControlKind::Gauge:
            made = child(PROGRESS_CLASSA, WS_VISIBLE | PBS_SMOOTH, 0, parentWindow, id, rect);
            break;
        case OverviewControlKind::ListView:
        case OverviewControlKind::CheckList: {
            const bool checks = place.kind == OverviewControlKind::CheckList;
            made = child(WC_LISTVIEWA,
                         WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                             (checks ? LVS_NOCOLUMNHEADER : 0),
                         WS_EX_CLIENTEDGE, parentWindow, id, rect);
            ListView_SetExtendedListViewStyle(made, checks ? LVS_EX_CHECKBOXES : LVS_EX_FULLROWSELECT);
            if (!checks) ListView_SetImageList(made, images.get(), LVSIL_SMALL);
            break;
        }
        case OverviewControlKind::ListBox:
            made = child("LISTBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                         WS_EX_CLIENTEDGE, parentWindow, id, rect);
            break;
        case OverviewControlKind::ComboBox: {
            OverviewRect dropped = rect;
            dropped.height = 200;
            made = child("COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, parentWindow, id,
                         dropped);
            break;
        }
        case OverviewControlKind::Tree:
            made = child(WC_TREEVIEWA,
                         WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT |
                             TVS_SHOWSELALWAYS,
                         WS_EX_CLIENTEDGE, parentWindow, id, rect);
            TreeView_SetImageList(made, images.get(), TVSIL_NORMAL);
            break;
        case OverviewControlKind::Icon:
            made = child("STATIC", WS_VISIBLE | SS_ICON, 0, parentWindow, id, rect);
            break;
    }
    Made entry;
    entry.place = &place;
    entry.window = made;
    entry.page = pageOfContainer(place.container);
    if (place.name == "lTitle") SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont.get()), FALSE);
    if (place.name == "iAbout") {
        entry.icon.reset(ImageList_GetIcon(largeImages.get(), 0, ILD_NORMAL));
        SendMessageA(made, STM_SETICON, reinterpret_cast<WPARAM>(entry.icon.get()), 0);
    }
    if (place.name == "mNote") SetWindowTextA(made, std::string(kAboutNote).c_str());
    controls[index] = std::move(entry);
}

void Win32OverviewWindow::State::create() {
    INITCOMMONCONTROLSEX classes{sizeof(classes),
                                 ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(instance, kOverviewWindowClass, &windowClass)) {
        windowClass = {};
        windowClass.lpfnWndProc = &State::windowProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kOverviewWindowClass;
        RegisterClassA(&windowClass);
        windowClass.lpfnWndProc = &State::containerProc;
        windowClass.lpszClassName = kOverviewPageClass;
        RegisterClassA(&windowClass);
    }
    const HDC screen = GetDC(nullptr);
    const int fontHeight = MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.reset(createPixelFont("Tahoma", fontHeight, false));
    titleFont.reset(createPixelFont("Tahoma", fontHeight * 5 / 4, true));
    images.reset(drawImageList(kGlyphs, std::size(kGlyphs), 16));
    largeImages.reset(drawImageList(kLargeGlyphs, std::size(kLargeGlyphs), 32));

    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
    constexpr DWORD extendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    RECT frame{0, 0, kOverviewClientWidth, kOverviewClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    window = CreateWindowExA(extendedStyle, kOverviewWindowClass, std::string(kOverviewCaption).c_str(), style,
                             (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                             width, height, nullptr, nullptr, instance, this);
    if (window == nullptr) return;
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);

    pageControl = child(WC_TABCONTROLA, WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | TCS_MULTILINE, 0, window,
                        kPageControlId, placeIn(kPageControlPlace, kOverviewClientWidth, kOverviewClientHeight));
    TabCtrl_SetImageList(pageControl, images.get());
    for (const OverviewPageInfo& info : kOverviewPages) {
        captions[static_cast<size_t>(info.page)] = std::string(info.caption);
        tabShown[static_cast<size_t>(info.page)] = true;
    }
    rebuildTabs();
    const OverviewRect area = displayArea(pageControl);
    for (const OverviewPageInfo& info : kOverviewPages) makeContainer(info.name, window, area);
    // The bottom strip now; the pages' own controls when each first comes forward.
    controls.resize(overviewControls().size());
    for (size_t index = 0; index < overviewControls().size(); ++index) {
        if (overviewControls()[index].container == kOverviewWindowArea) makeControl(index);
    }

    reportMenu.reset(CreatePopupMenu());
    AppendMenuA(reportMenu.get(), MF_STRING, kAllTopicsCommand, "All Topics");
    AppendMenuA(reportMenu.get(), MF_STRING, kCurrentTopicCommand, "Current Topic");
}

// ---------------------------------------------------------------- pages

void Win32OverviewWindow::State::makePage(OverviewPage page) {
    bool& made = pageMade[static_cast<size_t>(page)];
    if (made) return;
    made = true;
    // Sheets in table order, so that a sheet's container exists before the sheets in it.
    for (const OverviewSheet& sheet : overviewSheets()) {
        if (pageOfContainer(sheet.container) == page) makeSheet(sheet);
    }
    for (size_t index = 0; index < overviewControls().size(); ++index) {
        if (pageOfContainer(overviewControls()[index].container) == page) makeControl(index);
    }
    if (form != nullptr) applyContent(page, form->PageContent(page));
}

void Win32OverviewWindow::State::bringForward(OverviewPage page) {
    front = page;
    // While the window is hidden pages come forward in turn as the visible set is
    // walked; only the one in front when it shows is made.
    if (IsWindowVisible(window)) makePage(page);
    for (const OverviewPageInfo& info : kOverviewPages) {
        ShowWindow(containerOfPage(info.page), info.page == page ? SW_SHOW : SW_HIDE);
    }
}

// ---------------------------------------------------------------- tabs

void Win32OverviewWindow::State::rebuildTabs() {
    std::vector<OverviewPage> wanted;
    for (const OverviewPageInfo& info : kOverviewPages) {
        if (tabShown[static_cast<size_t>(info.page)]) wanted.push_back(info.page);
    }
    const int selected = TabCtrl_GetCurSel(pageControl);
    const std::optional<OverviewPage> front =
        selected >= 0 && static_cast<size_t>(selected) < shownTabs.size()
            ? std::optional<OverviewPage>(shownTabs[static_cast<size_t>(selected)])
            : std::nullopt;
    TabCtrl_DeleteAllItems(pageControl);
    shownTabs = wanted;
    for (size_t index = 0; index < shownTabs.size(); ++index) {
        std::string text = captions[static_cast<size_t>(shownTabs[index])];
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text.data();
        item.iImage = pageIcon(shownTabs[index]);
        SendMessageA(pageControl, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
    const auto kept = front ? std::find(shownTabs.begin(), shownTabs.end(), *front) : shownTabs.end();
    if (kept != shownTabs.end()) TabCtrl_SetCurSel(pageControl, static_cast<int>(kept - shownTabs.begin()));
}

// ---------------------------------------------------------------- contents

void Win32OverviewWindow::State::applyValue(OverviewPage page, const PageValue& value) {
    if (value.name == kOverviewPages[static_cast<size_t>(page)].name) {
        std::string& caption = captions[static_cast<size_t>(page)];
        if (caption == value.text) return;
        caption = value.text;
        const auto shown = std::find(shownTabs.begin(), shownTabs.end(), page);
        if (shown == shownTabs.end()) return;
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageA(pageControl, TCM_SETITEMA, static_cast<WPARAM>(shown - shownTabs.begin()),
                     reinterpret_cast<LPARAM>(&item));
        return;
    }
    Made* made = find(page, value.name);
    if (made == nullptr) return;
    switch (made->place->kind) {
        case OverviewControlKind::ComboBox:
            applyList(*made, PageList{value.name, PageListKind::ComboBox, {}, {{value.text}}, 0});
            break;
        case OverviewControlKind::Icon: {
            // The drive's shell icon; none for an empty value.
            HICON icon = nullptr;
            SHFILEINFOA info{};
            if (!value.text.empty() &&
                SHGetFileInfoA(value.text.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON) != 0) {
                icon = info.hIcon;
            }
            SendMessageA(made->window, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
            made->icon.reset(icon);
            break;
        }
        default:
            setTextIfChanged(made->window, value.text);
            break;
    }
}

void Win32OverviewWindow::State::setCheckState(HWND list, int index, bool checked) {
    settingTicks = true;
    ListView_SetCheckState(list, index, checked);
    settingTicks = false;
}

void Win32OverviewWindow::State::applyList(Made& made, const PageList& list) {
    if (made.shownList == list) return;
    const HWND control = made.window;
    switch (made.place->kind) {
        case OverviewControlKind::ListView:
        case OverviewControlKind::CheckList: {
            SendMessageA(control, WM_SETREDRAW, FALSE, 0);
            const bool checks = made.place->kind == OverviewControlKind::CheckList;
            const HWND header = ListView_GetHeader(control);
            if (header == nullptr || Header_GetItemCount(header) == 0) {
                if (list.columns.empty()) {
                    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | LVS_NOCOLUMNHEADER);
                }
                RECT client{};
                GetClientRect(control, &client);
                const int columns = std::max<int>(1, static_cast<int>(list.columns.size()));
                const int width = (client.right - GetSystemMetrics(SM_CXVSCROLL)) / columns;
                for (int column = 0; column < columns; ++column) {
                    std::string caption = list.columns.empty() ? "" : list.columns[static_cast<size_t>(column)];
                    LVCOLUMNA entry{};
                    entry.mask = LVCF_TEXT | LVCF_WIDTH;
                    entry.pszText = caption.data();
                    entry.cx = width;
                    SendMessageA(control, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column),
                                 reinterpret_cast<LPARAM>(&entry));
                }
            }
            settingTicks = true;
            ListView_DeleteAllItems(control);
            for (size_t index = 0; index < list.items.size(); ++index) {
                const PageItem& item = list.items[index];
                LVITEMA row{};
                row.mask = LVIF_TEXT | (item.icon >= 0 ? LVIF_IMAGE : 0);
                row.iItem = static_cast<int>(index);
                row.pszText = const_cast<char*>(item.caption.c_str());
                row.iImage = item.icon;
                const int at = static_cast<int>(SendMessageA(control, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
                for (size_t sub = 0; sub < item.subItems.size(); ++sub) {
                    ListView_SetItemText(control, at, static_cast<int>(sub + 1),
                                         const_cast<char*>(item.subItems[sub].c_str()));
                }
                if (checks) ListView_SetCheckState(control, at, item.checked);
            }
            if (list.selected >= 0) {
                ListView_SetItemState(control, list.selected, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
            }
            settingTicks = false;
            SendMessageA(control, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(control, nullptr, TRUE);
            break;
        }
        case OverviewControlKind::ListBox:
            SendMessageA(control, LB_RESETCONTENT, 0, 0);
            for (const PageItem& item : list.items) {
                SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.caption.c_str()));
            }
            SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(list.selected), 0);
            break;
        case OverviewControlKind::ComboBox: {
            const bool sameItems = made.shownList && made.shownList->items == list.items;
            if (!sameItems) {
                SendMessageA(control, CB_RESETCONTENT, 0, 0);
                for (const PageItem& item : list.items) {
                    SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.caption.c_str()));
                }
            }
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(list.selected), 0);
            break;
        }
        default:
            return;
    }
    made.shownList = list;
}

void Win32OverviewWindow::State::applyTabs(Sheet& sheet, const PageList& list) {
    const int count = TabCtrl_GetItemCount(sheet.tabs);
    bool same = count == static_cast<int>(list.items.size());
    char text[256];
    for (int index = 0; same && index < count; ++index) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(sheet.tabs, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        same = list.items[static_cast<size_t>(index)].caption == vardak::win32::bufferText(text);
    }
    if (!same) {
        TabCtrl_DeleteAllItems(sheet.tabs);
        for (size_t index = 0; index < list.items.size(); ++index) {
            std::string caption = list.items[index].caption;
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            SendMessageA(sheet.tabs, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item));
        }
        // New rows of tabs make the area below them smaller.
        const OverviewRect inner = displayArea(sheet.tabs);
        for (const HWND page : sheet.pages) {
            MoveWindow(page, inner.left, inner.top, inner.width, inner.height, TRUE);
            for (Made& made : controls) {
                if (made.window == nullptr || GetParent(made.window) != page) continue;
                const OverviewRect rect = placeIn(made.place->place, inner.width, inner.height);
                MoveWindow(made.window, rect.left, rect.top, rect.width, rect.height, TRUE);
            }
        }
    }
    showSheetPage(sheet, list.selected);
}

void Win32OverviewWindow::State::insertTree(HWND tree, HTREEITEM parent, const PageTreeNode& node,
                                            DeviceTreeSelection at, int level) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(node.caption.c_str());
    insert.item.iImage = node.icon;
    insert.item.iSelectedImage = node.icon;
    insert.item.lParam = treeData(at);
    const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    for (size_t index = 0; index < node.children.size(); ++index) {
        DeviceTreeSelection below = at;
        (level == 0 ? below.classNode : below.deviceNode) = static_cast<int>(index);
        insertTree(tree, item, node.children[index], below, level + 1);
    }
    if (node.expanded) TreeView_Expand(tree, item, TVE_EXPAND);
}

void Win32OverviewWindow::State::applyTree(Made& made, const PageTreeNode& tree) {
    if (made.shownTree == tree) return;
    SendMessageA(made.window, WM_SETREDRAW, FALSE, 0);
    TreeView_DeleteAllItems(made.window);
    insertTree(made.window, TVI_ROOT, tree, {}, 0);
    SendMessageA(made.window, WM_SETREDRAW, TRUE, 0);
    made.shownTree = tree;
    treeSelection = {};
}

// ---------------------------------------------------------------- events

void Win32OverviewWindow::State::runCommand(const Made& made, int code) {
    const OverviewControl& place = *made.place;
    const HWND control = made.window;
    switch (place.command) {
        case OverviewCommand::None:
            if (place.kind == OverviewControlKind::CheckBox && code == BN_CLICKED && made.page) {
                run([&] { form->cbxClick(*made.page, place.name); });
            }
            return;
        case OverviewCommand::DriveChange:
        case OverviewCommand::AdaptersChange: {
            if (code != CBN_SELCHANGE) return;
            const int index = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
            const bool drives = place.command == OverviewCommand::DriveChange;
            run([&] { drives ? form->cbDriveChange(index) : form->cbAdaptersChange(index); });
            return;
        }
        default:
            break;
    }
    if (code != BN_CLICKED) return;
    switch (place.command) {
        case OverviewCommand::Report: run([&] { form->cmReportClick(); }); break;
        case OverviewCommand::Refresh: run([&] { form->cmRefresh(); }); break;
        case OverviewCommand::Close: run([&] { form->cmClose(); }); break;
        case OverviewCommand::Environment: run([&] { form->cmEnvironment(); }); break;
        case OverviewCommand::NTSpec: run([&] { form->cmNTSpec(); }); break;
        case OverviewCommand::Modes: run([&] { form->cmModes(); }); break;
        case OverviewCommand::Caps: run([&] { form->cmCaps(place.tag); }); break;
        case OverviewCommand::Proto: run([&] { form->cmProto(); }); break;
        case OverviewCommand::Serv: run([&] { form->cmServ(); }); break;
        case OverviewCommand::Cli: run([&] { form->cmCli(); }); break;
        case OverviewCommand::Props: run([&] { form->cmProps(treeSelection); }); break;
        case OverviewCommand::PrintSetup: run([&] { form->cmPrintSetup(); }); break;
        case OverviewCommand::Web: run([&] { form->cmWeb(); }); break;
        case OverviewCommand::Mail: run([&] { form->cmMail(); }); break;
        default: break;
    }
}

LRESULT Win32OverviewWindow::State::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (form == nullptr) return 0;
    if (id == IDOK || id == IDCANCEL) {
        // "OK" is the default and the cancel button: Enter and Escape end it the same way.
        if (code == BN_CLICKED || lParam == 0) run([&] { form->cmClose(); });
        return 0;
    }
    if (lParam == 0 && (id == kAllTopicsCommand || id == kCurrentTopicCommand)) {
        run([&] { id == kAllTopicsCommand ? form->cmReportAll() : form->cmReportCurrent(); });
        return 0;
    }
    const int index = id - kFirstControlId;
    if (index >= 0 && static_cast<size_t>(index) < controls.size() && controls[static_cast<size_t>(index)].window) {
        runCommand(controls[static_cast<size_t>(index)], code);
    }
    return 0;
}

LRESULT Win32OverviewWindow::State::onNotify(const NMHDR& header) {
    if (form == nullptr) return 0;
    const int id = static_cast<int>(header.idFrom);
    if (id == kPageControlId && header.code == TCN_SELCHANGE) {
        const int selected = TabCtrl_GetCurSel(pageControl);
        if (selected < 0 || static_cast<size_t>(selected) >= shownTabs.size()) return 0;
        const OverviewPage page = shownTabs[static_cast<size_t>(selected)];
        bringForward(page);
        form->PageChanged(page);
        return 0;
    }
    const int sheetIndex = id - kFirstSheetId;
    if (sheetIndex >= 0 && sheetIndex < static_cast<int>(overviewSheets().size()) && header.code == TCN_SELCHANGE) {
        for (Sheet& sheet : sheets) {
            if (sheet.tabs != header.hwndFrom) continue;
            const int selected = TabCtrl_GetCurSel(sheet.tabs);
            showSheetPage(sheet, selected);
            if (sheet.place->name == "tcStartup") run([&] { form->tcStartupChange(selected); });
        }
        return 0;
    }
    const int index = id - kFirstControlId;
    if (index < 0 || static_cast<size_t>(index) >= controls.size()) return 0;
    Made& made = controls[static_cast<size_t>(index)];
    if (made.window == nullptr || !made.page) return 0;
    const OverviewPage page = *made.page;
    if (made.place->kind == OverviewControlKind::CheckList && header.code == LVN_ITEMCHANGED && !settingTicks) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK)) {
            run([&] { form->clbClickCheck(page, made.place->name, change.iItem); });
        }
    } else if (made.place->kind == OverviewControlKind::Tree && header.code == TVN_SELCHANGEDA) {
        const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
        treeSelection = selectionOfData(change.itemNew.lParam);
        run([&] { form->TreeChange(treeSelection); });
    } else if (made.place->kind == OverviewControlKind::Tree && header.code == NM_DBLCLK) {
        run([&] { form->cmProps(treeSelection); });
    }
    return 0;
}

LRESULT CALLBACK Win32OverviewWindow::State::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* state = reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
        case WM_COMMAND:
            return state->onCommand(wParam, lParam);
        case WM_NOTIFY:
            return state->onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CLOSE:
            state->modalResult = kModalResultCancel;
            return 0;
        case WM_SETCURSOR:
            if (!state->busy) break;
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
            return TRUE;
        case WM_CTLCOLORSTATIC: {
            const auto control = reinterpret_cast<HWND>(lParam);
            for (Made& made : state->controls) {
                if (made.window == nullptr || made.window != control) continue;
                if (made.colour) {
                    if (!made.brush) made.brush.reset(CreateSolidBrush(*made.colour));
                    SetBkColor(reinterpret_cast<HDC>(wParam), *made.colour);
                    return reinterpret_cast<LRESULT>(made.brush.get());
                }
                if (made.place->kind == OverviewControlKind::Memo) {
                    SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
                    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
                }
                break;
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Containers pass what their controls tell on to the window.
LRESULT CALLBACK Win32OverviewWindow::State::containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
            return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- the host

Win32OverviewWindow::Win32OverviewWindow(HINSTANCE instance) : state_(std::make_unique<State>(instance)) {
    state_->create();
}

Win32OverviewWindow::~Win32OverviewWindow() {
    // What the controls tell while they go is nobody's business any more.
    state_->form = nullptr;
    if (state_->window != nullptr) DestroyWindow(state_->window);
}

HWND Win32OverviewWindow::handle() const { return state_->window; }

void Win32OverviewWindow::attach(TfrmVesk_Overview& form) { state_->form = &form; }

void Win32OverviewWindow::showPageTab(OverviewPage page, bool shown) {
    bool& tab = state_->tabShown[static_cast<size_t>(page)];
    if (tab == shown) return;
    tab = shown;
    state_->rebuildTabs();
}

void Win32OverviewWindow::activatePage(OverviewPage page) {
    State& state = *state_;
    const auto shown = std::find(state.shownTabs.begin(), state.shownTabs.end(), page);
    if (shown != state.shownTabs.end()) {
        TabCtrl_SetCurSel(state.pageControl, static_cast<int>(shown - state.shownTabs.begin()));
    }
    state.bringForward(page);
}

void Win32OverviewWindow::showReportButton(bool shown) {
    for (const State::Made& made : state_->controls) {
        if (made.window != nullptr && made.place->command == OverviewCommand::Report) {
            ShowWindow(made.window, shown ? SW_SHOW : SW_HIDE);
        }
    }
}

void Win32OverviewWindow::showPageContent(OverviewPage page, const OverviewPageContent& content) {
    State& state = *state_;
    if (!state.pageMade[static_cast<size_t>(page)]) {
        // Only the tab's caption shows before the page is made; the rest comes with it.
        for (const PageValue& value : content.values) {
            if (value.name == kOverviewPages[static_cast<size_t>(page)].name) state.applyValue(page, value);
        }
        return;
    }
    state.applyContent(page, content);
}

void Win32OverviewWindow::State::applyContent(OverviewPage page, const OverviewPageContent& content) {
    for (const PageValue& value : content.values) applyValue(page, value);
    for (const PageSwitch& entry : content.switches) {
        Made* made = find(page, entry.name);
        if (made == nullptr) continue;
        if (made->place->kind == OverviewControlKind::CheckBox) {
            SendMessageA(made->window, BM_SETCHECK, entry.on ? BST_CHECKED : BST_UNCHECKED, 0);
        } else {
            EnableWindow(made->window, entry.on);
        }
    }
    for (const PageColour& entry : content.colours) {
        Made* made = find(page, entry.name);
        if (made == nullptr || made->colour == entry.colour) continue;
        made->colour = entry.colour;
        made->brush.reset();
        InvalidateRect(made->window, nullptr, TRUE);
    }
    for (const PageGauge& entry : content.gauges) {
        Made* made = find(page, entry.name);
        if (made == nullptr) continue;
        SendMessageA(made->window, PBM_SETRANGE32, 0, entry.range.maximum);
        SendMessageA(made->window, PBM_SETPOS, static_cast<WPARAM>(entry.range.position), 0);
    }
    for (const PageSheet& entry : content.sheets) {
        if (Sheet* sheet = findSheet(page, entry.name)) showSheetPage(*sheet, entry.page);
    }
    for (const PageList& list : content.lists) {
        if (Made* made = find(page, list.name)) {
            applyList(*made, list);
        } else if (Sheet* sheet = findSheet(page, list.name)) {
            applyTabs(*sheet, list);
        }
    }
    if (content.tree) {
        for (Made& made : controls) {
            if (made.window != nullptr && made.page == page && made.place->kind == OverviewControlKind::Tree) {
                applyTree(made, *content.tree);
            }
        }
    }
}

void Win32OverviewWindow::setBusyCursor(bool busy) {
    state_->busy = busy;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(busy ? IDC_WAIT : IDC_ARROW)));
}

SaveDialogAnswer Win32OverviewWindow::runSaveDialog(const SaveDialogRequest& request) {
    std::vector<char> buffer(kSaveDialogBufferSize, '\0');
    std::copy_n(request.fileName.begin(), std::min(request.fileName.size(), buffer.size() - 1), buffer.begin());
    std::string filter = request.filterName + '\0' + request.filterPattern + '\0' + '\0';
    OPENFILENAMEA dialog{};
    // The size Windows 95 and NT 4 know; later versions take it too.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = state_->window;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = request.initialDirectory.c_str();
    dialog.lpstrTitle = request.title.c_str();
    dialog.Flags = request.options;
    SaveDialogAnswer answer;
    answer.confirmed = GetSaveFileNameA(&dialog) != FALSE;
    if (!answer.confirmed) answer.extendedError = CommDlgExtendedError();
    answer.fileName = std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
    return answer;
}

void Win32OverviewWindow::popupReportMenu() {
    for (const State::Made& made : state_->controls) {
        if (made.window == nullptr || made.place->command != OverviewCommand::Report) continue;
        RECT button{};
        GetWindowRect(made.window, &button);
        TrackPopupMenu(state_->reportMenu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, button.left,
                       button.bottom, 0, state_->window, nullptr);
    }
}

void Win32OverviewWindow::showPrinterSetup() {
    PRINTDLGA setup{};
    setup.lStructSize = sizeof(setup);
    setup.hwndOwner = state_->window;
    setup.Flags = PD_PRINTSETUP;
    PrintDlgA(&setup);
    if (setup.hDevMode != nullptr) GlobalFree(setup.hDevMode);
    if (setup.hDevNames != nullptr) GlobalFree(setup.hDevNames);
}

namespace {

struct DisabledWindows {
    HWND own;
    std::vector<HWND> windows;
};

BOOL CALLBACK disableWindow(HWND window, LPARAM context) {
    auto* disabled = reinterpret_cast<DisabledWindows*>(context);
    if (window != disabled->own && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        disabled->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

int Win32OverviewWindow::showModal() {
    State& state = *state_;
    if (state.window == nullptr) return 0;
    // Like a dialog without owner: the thread's other windows wait until it closes.
    const HWND previouslyActive = GetActiveWindow();
    DisabledWindows disabled{state.window, {}};
    EnumThreadWindows(GetCurrentThreadId(), &disableWindow, reinterpret_cast<LPARAM>(&disabled));
    state.makePage(state.front);
    ShowWindow(state.window, SW_SHOW);
    SetForegroundWindow(state.window);
    SetFocus(state.pageControl);
    state.modalResult = 0;
    MSG message;
    while (state.modalResult == 0) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the quit message goes on to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        if (IsDialogMessageA(state.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    for (const HWND window : disabled.windows) EnableWindow(window, TRUE);
    ShowWindow(state.window, SW_HIDE);
    // Back to the window that was active, not to another program's.
    if (previouslyActive != nullptr && IsWindow(previouslyActive)) SetActiveWindow(previouslyActive);
    return state.modalResult;
}

void Win32OverviewWindow::closeWindow() { state_->modalResult = kModalResultOK; }

void Win32OverviewWindow::putBackTick(OverviewPage page, std::string_view list, int index, bool checked) {
    if (State::Made* made = state_->find(page, list)) state_->setCheckState(made->window, index, checked);
}

platform::WindowHandle Win32OverviewWindow::windowHandle() const { return state_->window; }

// ---------------------------------------------------------------- the shower

std::function<void(TOstrelSystemInfo&)> overviewShower(HINSTANCE instance, platform::Platform& platform) {
    auto files = std::make_shared<ReportFileMemory>();
    return [instance, &platform, files](TOstrelSystemInfo& root) {
        Win32OverviewWindow window(instance);
        Win32DetailDialog details(instance, window.handle());
        TfrmVesk_Overview form(root, platform, {window, *files, details, &vardak::win32::createWindowTimer});
        window.attach(form);
        ShowOverview(form);
    };
}

}  // namespace vardak::probes::win32
