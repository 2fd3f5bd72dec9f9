#include "app/win32/Win32HintWindow.h"

#include <commctrl.h>

namespace vardak::app::win32 {

namespace {

constexpr UINT_PTR kToolId = 1;
// Wide enough for the longest line of a hint; the text's own line breaks decide.
constexpr LPARAM kMaxHintWidth = 600;

// The one tool of the tooltip, in the first tool-info layout, which every version of
// the common controls takes.
TOOLINFOA toolOf(HWND owner, const char* text = nullptr) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = owner;
    tool.uId = kToolId;
    tool.lpszText = const_cast<char*>(text);
    return tool;
}

}  // namespace

Win32HintWindow::~Win32HintWindow() {
    // An owned popup goes with its owner: the tooltip may be gone already.
    if (tip_ != nullptr && IsWindow(tip_)) DestroyWindow(tip_);
}

bool Win32HintWindow::create(HWND owner, HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    owner_ = owner;
    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance,
                           nullptr);
    if (tip_ == nullptr) return false;
    TOOLINFOA tool = toolOf(owner_, "");
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxHintWidth);
    return true;
}

void Win32HintWindow::show(const std::string& text, POINT at) {
    if (tip_ == nullptr) return;
    TOOLINFOA tool = toolOf(owner_, text.c_str());
    SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageA(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void Win32HintWindow::hide() {
    if (tip_ == nullptr) return;
    TOOLINFOA tool = toolOf(owner_);
    SendMessageA(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace vardak::app::win32
