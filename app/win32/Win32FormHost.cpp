#include "app/win32/Win32FormHost.h"

#include <commctrl.h>

#include <memory>
#include <vector>

namespace vardak::app::win32 {

namespace {

constexpr char kWindowClass[] = "TVardak";
// The system command that drags a window by its caption, from any point.
constexpr WPARAM kCaptionDrag = 0xF012;
// Key colour of the row icons' strip: its pixels become transparent.
constexpr COLORREF kIconKey = RGB(255, 0, 255);
// The pause before a hint shows, and its distance below the resting mouse.
constexpr UINT_PTR kHintTimer = 1;
constexpr UINT kHintPauseMs = 500;
constexpr int kHintBelowMouse = 20;

// Colours of the portable pictures are 0x00BBGGRR; 32-bit DIB pixels are 0x00RRGGBB.
uint32_t swapRedBlue(uint32_t color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

BITMAPINFO topDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A DIB section holding a copy of part of a picture, selected into a memory DC.
class DibCopy {
public:
    DibCopy(const grell::Bitmap32& source, const grell::TRect& area) : area_(area) {
        BITMAPINFO info = topDownInfo(area.width(), area.height());
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        if (bitmap_ == nullptr) return;
        previous_ = SelectObject(dc_, bitmap_);
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) {
                bits_[y * area.width() + x] = swapRedBlue(source.pixel(area.left + x, area.top + y));
            }
        }
    }
    ~DibCopy() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    DibCopy(const DibCopy&) = delete;
    DibCopy& operator=(const DibCopy&) = delete;

    bool valid() const { return bitmap_ != nullptr; }
    HDC dc() const { return dc_; }

    void copyBack(grell::Bitmap32& target) const {
        GdiFlush();
        for (int y = 0; y < area_.height(); ++y) {
            for (int x = 0; x < area_.width(); ++x) {
                target.setPixel(area_.left + x, area_.top + y, swapRedBlue(bits_[y * area_.width() + x]));
            }
        }
    }

private:
    grell::TRect area_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// A logical palette selected and realised on a device context for the object's life.
class RealizedPalette {
public:
    RealizedPalette(HDC dc, const grell::TGrellPalette& colours) : dc_(dc) {
        std::vector<uint8_t> storage(sizeof(LOGPALETTE) + colours.size() * sizeof(PALETTEENTRY));
        auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
        palette->palVersion = 0x300;
        palette->palNumEntries = static_cast<WORD>(colours.size());
        for (size_t i = 0; i < colours.size(); ++i) {
            const COLORREF colour = colours[i];  // both 0x00BBGGRR
            palette->palPalEntry[i] = {GetRValue(colour), GetGValue(colour), GetBValue(colour), 0};
        }
        palette_ = CreatePalette(palette);
        if (palette_ == nullptr) return;
        previous_ = SelectPalette(dc_, palette_, FALSE);
        RealizePalette(dc_);
    }
    ~RealizedPalette() {
        if (previous_ != nullptr) SelectPalette(dc_, previous_, FALSE);
        if (palette_ != nullptr) DeleteObject(palette_);
    }
    RealizedPalette(const RealizedPalette&) = delete;
    RealizedPalette& operator=(const RealizedPalette&) = delete;

private:
    HDC dc_;
    HPALETTE palette_ = nullptr;
    HPALETTE previous_ = nullptr;
};

// DrawText formats by grell::TextAlign and grell::TextVAlign.
constexpr UINT kHorizontalFormats[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
constexpr UINT kVerticalFormats[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};

HFONT createFont(const grell::TFont& font) {
    return CreateFontA(font.height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       font.name.c_str());
}

// A 24-bit bitmap of a picture, for the image list of the row icons.
HBITMAP bitmapOf(const grell::Bitmap32& picture) {
    BITMAPINFO info = topDownInfo(picture.width(), picture.height());
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr) return nullptr;
    auto* pixels = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < picture.pixels().size(); ++i) pixels[i] = swapRedBlue(picture.pixels()[i]);
    return bitmap;
}

}  // namespace

Win32FormHost::Win32FormHost(HINSTANCE instance, std::function<void(const std::exception&)> onError)
    : instance_(instance), onError_(std::move(onError)) {}

Win32FormHost::~Win32FormHost() {
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (listFont_ != nullptr) DeleteObject(listFont_);
}

bool Win32FormHost::createWindow(TVardak& form) {
    form_ = &form;
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = nullptr;  // the form paints all of its client area
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassA(&windowClass)) return false;

    const int width = form.windowWidth();
    const int height = form.windowHeight();
    int left = CW_USEDEFAULT;
    int top = CW_USEDEFAULT;
    if (form.centered()) {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    window_ = CreateWindowExA(0, kWindowClass, form.formCaption().c_str(), style, left, top, width, height, nullptr,
                              nullptr, instance_, this);
    if (window_ == nullptr) return false;
    RECT client;
    GetClientRect(window_, &client);
    form.setBounds(0, 0, client.right, client.bottom);
    createList();
    hint_.create(window_, instance_);
    // The document the list prints and copies as (Udskrift), never shown.
    if (document_.create(window_, instance_)) {
        TRichEdit& model = *form.windowComponents().Udskrift;
        model.setSink(&document_);
        document_.textLimitChanged(model.MaxLength());
        for (const RichParagraph& paragraph : model.paragraphs()) document_.paragraphAppended(paragraph);
    }
    return true;
}

void Win32FormHost::createList() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const TListView& model = *form_->windowComponents().List;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL;
    if (!model.showColumnHeaders()) style |= LVS_NOCOLUMNHEADER;
    if (!model.columnClick()) style |= LVS_NOSORTHEADER;
    list_ = CreateWindowExA(model.border() ? WS_EX_CLIENTEDGE : 0, WC_LISTVIEWA, "", style, 0, 0, 0, 0, window_,
                            nullptr, instance_, nullptr);
    if (list_ == nullptr) return;
    DWORD extended = 0;
    if (model.flatScrollBars()) extended |= LVS_EX_FLATSB;
    ListView_SetExtendedListViewStyle(list_, extended);
    const COLORREF background = resolveColor(model.color());
    ListView_SetBkColor(list_, background);
    ListView_SetTextBkColor(list_, background);
    ListView_SetTextColor(list_, resolveColor(model.font().color));
    listFont_ = createFont(model.font());
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), TRUE);
    int index = 0;
    for (const ListColumn& column : model.columns()) {
        LVCOLUMNA entry{};
        entry.mask = LVCF_WIDTH | LVCF_TEXT;
        entry.cx = column.width;
        entry.pszText = const_cast<char*>(column.caption.c_str());
        ListView_InsertColumn(list_, index++, &entry);
    }
    if (const TImageList* icons = model.smallImages(); icons != nullptr && icons->strip().hasGraphic()) {
        rowIcons_.reset(ImageList_Create(icons->width(), icons->height(), ILC_COLOR24 | ILC_MASK, icons->count(), 0));
        if (HBITMAP strip = bitmapOf(icons->strip().graphic()->pixels())) {
            ImageList_AddMasked(rowIcons_.get(), strip, kIconKey);
            DeleteObject(strip);
        }
        ListView_SetImageList(list_, rowIcons_.get(), LVSIL_SMALL);
    }
    form_->windowComponents().List->setSink(this);
    for (const ListRow& row : model.rows()) rowAdded(row);
    placeList();
}

void Win32FormHost::placeList() {
    if (list_ == nullptr) return;
    TListView& model = *form_->windowComponents().List;
    const grell::TPoint origin = model.rootOrigin();
    MoveWindow(list_, origin.x, origin.y, model.width(), model.height(), TRUE);
    ShowWindow(list_, model.showing() ? SW_SHOW : SW_HIDE);
}

void Win32FormHost::show(int showCommand) {
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

int Win32FormHost::runMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (runShortcut(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

bool Win32FormHost::runShortcut(const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    // Ctrl alone: Ctrl and Alt together type characters on some keyboards.
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    if (message.wParam < 'A' || message.wParam > 'Z') return false;
    try {
        return form_->runShortcut(static_cast<char>(message.wParam));
    } catch (const std::exception& error) {
        if (onError_) onError_(error);
        return true;
    }
}

// ---------------------------------------------------------------- ControlHost

void Win32FormHost::invalidate(const grell::TRect& area) {
    if (window_ == nullptr) return;
    RECT rect{area.left, area.top, area.right, area.bottom};
    InvalidateRect(window_, &rect, FALSE);
}

void Win32FormHost::boundsChanged(TComponent& control) {
    if (form_ != nullptr && &control == form_->windowComponents().List) placeList();
}

void Win32FormHost::activateHint(const std::string& text, const grell::TRect& area) {
    hint_.hide();
    pendingHint_ = text;
    hintArea_ = area;
    if (window_ != nullptr) SetTimer(window_, kHintTimer, kHintPauseMs, nullptr);
}

void Win32FormHost::cancelHint() {
    if (window_ != nullptr) KillTimer(window_, kHintTimer);
    pendingHint_.reset();
    hint_.hide();
}

void Win32FormHost::showPendingHint() {
    KillTimer(window_, kHintTimer);
    if (!pendingHint_ || !hintArea_.contains(lastMouse_)) return;
    POINT at{lastMouse_.x, lastMouse_.y + kHintBelowMouse};
    ClientToScreen(window_, &at);
    hint_.show(*pendingHint_, at);
}

void Win32FormHost::realizePalette(const grell::TGrellPalette& palette) {
    framePalette_ = palette;
}

// ---------------------------------------------------------------- TextPainter

void Win32FormHost::drawText(grell::Bitmap32& canvas, const grell::TRect& rect, std::string_view text,
                             const grell::TFont& font, grell::TextAlign align, grell::TextVAlign valign) {
    const grell::TRect area = rect.intersect(canvas.rect());
    if (area.empty() || text.empty()) return;
    DibCopy copy(canvas, area);
    if (!copy.valid()) return;
    HFONT handle = createFont(font);
    HGDIOBJ previous = SelectObject(copy.dc(), handle);
    SetBkMode(copy.dc(), TRANSPARENT);
    SetTextColor(copy.dc(), resolveColor(font.color));
    RECT local{rect.left - area.left, rect.top - area.top, rect.right - area.left, rect.bottom - area.top};
    const UINT format = DT_SINGLELINE | kHorizontalFormats[static_cast<size_t>(align)] |
                        kVerticalFormats[static_cast<size_t>(valign)];
    const std::string line(text);
    DrawTextA(copy.dc(), line.c_str(), static_cast<int>(line.size()), &local, format);
    SelectObject(copy.dc(), previous);
    DeleteObject(handle);
    copy.copyBack(canvas);
}

uint32_t Win32FormHost::resolveColor(uint32_t color) {
    if (color & grell::colors::kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0xFFFFFF;
}

// ---------------------------------------------------------------- FormActions

void Win32FormHost::terminate() {
    PostQuitMessage(0);
}

void Win32FormHost::minimize() {
    ShowWindow(window_, SW_MINIMIZE);
}

void Win32FormHost::close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
}

void Win32FormHost::toggleMaximized() {
    ShowWindow(window_, IsZoomed(window_) ? SW_RESTORE : SW_MAXIMIZE);
}

void Win32FormHost::startWindowDrag() {
    ReleaseCapture();
    SendMessageA(window_, WM_SYSCOMMAND, kCaptionDrag, 0);
}

bool Win32FormHost::copyDocument() {
    return document_.copyToClipboard(window_);
}

PrintResult Win32FormHost::printDocument(const std::string& title) {
    return document_.print(window_, title);
}

// ---------------------------------------------------------------- ListViewSink

void Win32FormHost::rowsCleared() {
    if (list_ != nullptr) ListView_DeleteAllItems(list_);
}

void Win32FormHost::rowAdded(const ListRow& row) {
    if (list_ == nullptr) return;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(list_);
    item.iImage = row.imageIndex;
    item.pszText = const_cast<char*>(row.caption.c_str());
    const int index = ListView_InsertItem(list_, &item);
    if (index >= 0) ListView_SetItemText(list_, index, 1, const_cast<char*>(row.value.c_str()));
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK Win32FormHost::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        reinterpret_cast<Win32FormHost*>(create->lpCreateParams)->window_ = window;
    }
    auto* self = reinterpret_cast<Win32FormHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || self->form_ == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    // Nothing a handler raises may unwind through the system's frames.
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        if (self->onError_) self->onError_(error);
        return 0;
    }
}

LRESULT Win32FormHost::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        if (const std::optional<int> maxWidth = form_->maxWidth()) {
            limits->ptMaxTrackSize.x = *maxWidth;
            limits->ptMaxSize.x = *maxWidth;
        }
        return 0;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) form_->setBounds(0, 0, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        mouse(message, lParam);
        return 0;
    case WM_TIMER:
        if (wParam != kHintTimer) break;
        showPendingHint();
        return 0;
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        form_->rootMouseLeave();
        return 0;
    case WM_CHAR:
    case WM_SYSCHAR:
        if (form_->broadcastDialogChar(static_cast<char>(wParam))) return 0;
        break;
    case WM_COMMAND:
        if (lParam == 0 && form_->runWindowCommand(LOWORD(wParam))) return 0;
        break;
    case WM_COPY:
        form_->kopierClick(*form_->windowComponents().Kopier);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Win32FormHost::paint() {
    PAINTSTRUCT paintInfo;
    HDC dc = BeginPaint(window_, &paintInfo);
    const int width = form_->width();
    const int height = form_->height();
    if (width > 0 && height > 0) {
        grell::Bitmap32 canvas(width, height, resolveColor(form_->color()));
        framePalette_.reset();
        form_->paintTree(canvas, *this, {0, 0});
        std::vector<uint32_t> pixels(canvas.pixels().size());
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = swapRedBlue(canvas.pixels()[i]);
        std::optional<RealizedPalette> palette;
        if (framePalette_) palette.emplace(dc, *framePalette_);
        BITMAPINFO info = topDownInfo(width, height);
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                          static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
    }
    EndPaint(window_, &paintInfo);
}

void Win32FormHost::mouse(UINT message, LPARAM lParam) {
    const grell::TPoint point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    lastMouse_ = point;
    switch (message) {
    case WM_MOUSEMOVE:
        if (!trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
            trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        form_->rootMouseMove(point);
        return;
    case WM_LBUTTONDOWN: form_->rootMouseDown(grell::MouseButton::Left, point); break;
    case WM_RBUTTONDOWN: form_->rootMouseDown(grell::MouseButton::Right, point); break;
    case WM_MBUTTONDOWN: form_->rootMouseDown(grell::MouseButton::Middle, point); break;
    case WM_LBUTTONDBLCLK: form_->rootMouseDoubleClick(grell::MouseButton::Left, point); break;
    case WM_RBUTTONDBLCLK: form_->rootMouseDoubleClick(grell::MouseButton::Right, point); break;
    case WM_MBUTTONDBLCLK: form_->rootMouseDoubleClick(grell::MouseButton::Middle, point); break;
    case WM_LBUTTONUP: form_->rootMouseUp(grell::MouseButton::Left, point); break;
    case WM_RBUTTONUP: form_->rootMouseUp(grell::MouseButton::Right, point); break;
    case WM_MBUTTONUP: form_->rootMouseUp(grell::MouseButton::Middle, point); break;
    default: return;
    }
    if (form_->mouseCaptured()) {
        if (GetCapture() != window_) SetCapture(window_);
    } else if (GetCapture() == window_) {
        ReleaseCapture();
    }
}

}  // namespace vardak::app::win32
