// A periodic timer of the window system: its ticks arrive as window messages on the
// thread that made it, so whatever it drives runs on the user-interface thread.
// The Win32 side keeps a hidden window and SetTimer (platform/win32/Win32WindowTimer);
// tests make timers they tick by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vardak::platform {

class WindowTimer {
public:
    virtual ~WindowTimer() = default;
    // (Re)starts the timer with this period; false when the system has no timer left.
    virtual bool start(uint32_t milliseconds) = 0;
    virtual void stop() = 0;
};

// Makes a stopped timer whose every tick calls `tick`; nothing when the window system
// cannot make one.
using WindowTimerFactory = std::function<std::unique_ptr<WindowTimer>(std::function<void()> tick)>;

}  // namespace vardak::platform
