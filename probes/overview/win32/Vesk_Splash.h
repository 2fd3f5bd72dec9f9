// The splash window on Win32: made, shown and painted at once when the root component's
// RefreshAll starts; gone when the object is freed.
#pragma once

#include <windows.h>

#include "probes/core/Vesk_GUI.h"

namespace vardak::probes::win32 {

class TscrVesk_Splash final : public RefreshSplash {
public:
    explicit TscrVesk_Splash(HINSTANCE instance);
    ~TscrVesk_Splash() override;

    HWND window() const { return window_; }

    // For the root component: `root.setSplashMaker(TscrVesk_Splash::maker(instance))`.
    static RefreshSplashMaker maker(HINSTANCE instance);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

}  // namespace vardak::probes::win32
