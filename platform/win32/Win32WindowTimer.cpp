#include "platform/win32/Win32WindowTimer.h"

#include <windows.h>

namespace vardak::win32 {

namespace {

constexpr char kTimerWindowClass[] = "VardakTimerWindow";
constexpr UINT_PTR kTimerId = 1;

// A hidden popup window whose WM_TIMER calls one tick.
class HiddenWindowTimer final : public platform::WindowTimer {
public:
    explicit HiddenWindowTimer(std::function<void()> tick) : tick_(std::move(tick)) {
        registerClass();
        window_ = CreateWindowExA(0, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this);
    }
    ~HiddenWindowTimer() override {
        if (window_ != nullptr) {
            KillTimer(window_, kTimerId);
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
    }
    HiddenWindowTimer(const HiddenWindowTimer&) = delete;
    HiddenWindowTimer& operator=(const HiddenWindowTimer&) = delete;

    bool created() const { return window_ != nullptr; }

    bool start(uint32_t milliseconds) override { return SetTimer(window_, kTimerId, milliseconds, nullptr) != 0; }
    void stop() override { KillTimer(window_, kTimerId); }

private:
    static void registerClass() {
        WNDCLASSA windowClass{};
        if (GetClassInfoA(GetModuleHandleA(nullptr), kTimerWindowClass, &windowClass)) return;
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kTimerWindowClass;
        RegisterClassA(&windowClass);
    }

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        } else if (message == WM_TIMER) {
            auto* self = reinterpret_cast<HiddenWindowTimer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            if (self != nullptr && self->tick_) self->tick_();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    std::function<void()> tick_;
    HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<platform::WindowTimer> createWindowTimer(std::function<void()> tick) {
    auto timer = std::make_unique<HiddenWindowTimer>(std::move(tick));
    if (!timer->created()) return nullptr;
    return timer;
}

}  // namespace vardak::win32
