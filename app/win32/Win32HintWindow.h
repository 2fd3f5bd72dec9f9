// The application's hint on Win32: one tracking tooltip owned by the main window,
// shown where the window says and hidden on request. Line breaks in the text count.
#pragma once

#include <windows.h>

#include <string>

namespace vardak::app::win32 {

class Win32HintWindow {
public:
    Win32HintWindow() = default;
    ~Win32HintWindow();
    Win32HintWindow(const Win32HintWindow&) = delete;
    Win32HintWindow& operator=(const Win32HintWindow&) = delete;

    // Creates the tooltip for `owner`; false when the system refuses it.
    bool create(HWND owner, HINSTANCE instance);
    // Shows `text` with its top-left corner at a screen point.
    void show(const std::string& text, POINT at);
    void hide();

private:
    HWND owner_ = nullptr;
    HWND tip_ = nullptr;
};

}  // namespace vardak::app::win32
