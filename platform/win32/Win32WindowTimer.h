// The window system's timer: a hidden window whose WM_TIMER calls the tick.
#pragma once

#include <functional>
#include <memory>

#include "platform/WindowTimer.h"

namespace vardak::win32 {

// A stopped timer of a hidden window of the calling thread; nothing when the window
// cannot be made.
std::unique_ptr<platform::WindowTimer> createWindowTimer(std::function<void()> tick);

}  // namespace vardak::win32
