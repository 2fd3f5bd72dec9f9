// Event handler types of the controls.
#pragma once

#include <functional>

#include "framework/Classes.h"
#include "grell/controls/GrellGeometry.h"

namespace vardak::grell {

enum class MouseButton { Left, Right, Middle };

using TNotifyEvent = std::function<void(TObject& sender)>;
using TMouseEvent = std::function<void(TObject& sender, MouseButton button, TPoint point)>;
using TMouseMoveEvent = std::function<void(TObject& sender, TPoint point)>;

// A handler of the layout's owner, named by an event property ("OnClick = AfslutClick").
struct EventHandler {
    TNotifyEvent notify{};   // set for notify events
    TMouseEvent mouse{};     // set for mouse button events
    TMouseMoveEvent move{};  // set for mouse move events
};

}  // namespace vardak::grell
