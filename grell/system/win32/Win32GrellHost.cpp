#include "grell/system/win32/Win32GrellHost.h"

#include <windows.h>

namespace vardak::grell::win32 {

namespace {

constexpr char kTimerWindowClass[] = "TGrellTimerPoolWindow";
constexpr UINT_PTR kPoolTimerId = 1;

// A message-only style hidden window whose WM_TIMER drives one pool.
class HiddenWindowTimer final : public WindowTimer {
public:
    explicit HiddenWindowTimer(std::function<void()> tick) : tick_(std::move(tick)) {
        registerClass();
        window_ = CreateWindowExA(0, kTimerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), this);
    }
    ~HiddenWindowTimer() override {
        if (window_ != nullptr) {
            KillTimer(window_, kPoolTimerId);
            SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
            DestroyWindow(window_);
        }
    }
    HiddenWindowTimer(const HiddenWindowTimer&) = delete;
    HiddenWindowTimer& operator=(const HiddenWindowTimer&) = delete;

    bool created() const { return window_ != nullptr; }

    bool start(uint32_t milliseconds) override {
        return SetTimer(window_, kPoolTimerId, milliseconds, nullptr) != 0;
    }
    void stop() override { KillTimer(window_, kPoolTimerId); }

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

class Win32InstanceMutex final : public InstanceMutex {
public:
    explicit Win32InstanceMutex(const std::string& name) {
        handle_ = CreateMutexA(nullptr, FALSE, name.c_str());
        existed_ = handle_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~Win32InstanceMutex() override {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    Win32InstanceMutex(const Win32InstanceMutex&) = delete;
    Win32InstanceMutex& operator=(const Win32InstanceMutex&) = delete;

    bool alreadyExisted() const override { return existed_; }

private:
    HANDLE handle_ = nullptr;
    bool existed_ = false;
};

}  // namespace

std::unique_ptr<WindowTimer> Win32GrellHost::createWindowTimer(std::function<void()> tick) {
    auto timer = std::make_unique<HiddenWindowTimer>(std::move(tick));
    if (!timer->created()) return nullptr;
    return timer;
}

std::unique_ptr<InstanceMutex> Win32GrellHost::createInstanceMutex(const std::string& name) {
    return std::make_unique<Win32InstanceMutex>(name);
}

void Win32GrellHost::handleException(const std::exception& error) {
    MessageBoxA(GetActiveWindow(), error.what(), "Error", MB_OK | MB_ICONSTOP);
}

std::string Win32GrellHost::programPath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

}  // namespace vardak::grell::win32
