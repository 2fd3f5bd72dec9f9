#include "probes/overview/win32/Vesk_Splash.h"

#include "probes/overview/Vesk_Splash.h"
#include "probes/overview/win32/Win32Painting.h"

namespace vardak::probes::win32 {

namespace {

constexpr char kClassName[] = "TscrVesk_Splash";

bool registerClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, kClassName, &existing)) return true;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_WAIT);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

}  // namespace

TscrVesk_Splash::TscrVesk_Splash(HINSTANCE instance) {
    if (!registerClass(instance, &TscrVesk_Splash::windowProc)) return;
    // A popup's window rectangle is its client area: there is no border.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kSplashClientWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kSplashClientHeight) / 2;
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, left, top,
                              kSplashClientWidth, kSplashClientHeight, nullptr, nullptr, instance, nullptr);
    if (!window_) return;
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    // The refresh keeps the thread busy: paint now, not when the queue is next read. A
    // composing window system (Wine's, say) shows the drawing when the thread next waits,
    // so wait once, for nothing.
    UpdateWindow(window_);
    GdiFlush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

TscrVesk_Splash::~TscrVesk_Splash() {
    if (window_) DestroyWindow(window_);
}

RefreshSplashMaker TscrVesk_Splash::maker(HINSTANCE instance) {
    return [instance] { return std::make_unique<TscrVesk_Splash>(instance); };
}

LRESULT CALLBACK TscrVesk_Splash::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    paintArea(dc, splashPainting());
    EndPaint(window, &paint);
    return 0;
}

}  // namespace vardak::probes::win32
