// The summary window on Win32: one top-level window whose client area shows the
// form's painted controls, one list-view child for the list, and the message loop.
// The form must be destroyed before its host.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/Main.h"
#include "app/win32/Win32HintWindow.h"
#include "app/win32/Win32RichDocument.h"
#include "grell/controls/GrellControl.h"
#include "platform/win32/WinHandles.h"

namespace vardak::app::win32 {

class Win32FormHost final : public grell::ControlHost,
                            public grell::TextPainter,
                            public FormActions,
                            public ListViewSink {
public:
    // `onError` shows what a handler raised (the application's exception handler).
    Win32FormHost(HINSTANCE instance, std::function<void(const std::exception&)> onError);
    ~Win32FormHost() override;
    Win32FormHost(const Win32FormHost&) = delete;
    Win32FormHost& operator=(const Win32FormHost&) = delete;

    // Creates the window and its list for `form` (built already), sized, placed and
    // constrained as the form says, hidden.
    bool createWindow(TVardak& form);
    void show(int showCommand);
    // Runs until the program is told to end; returns the exit code. Ctrl and a letter
    // pressed in the window run the form's shortcut of that letter.
    int runMessageLoop();

    // ControlHost
    void invalidate(const grell::TRect& area) override;
    // This program's buttons have no drop-down menus.
    void popupMenu(TComponent&, grell::TPoint) override {}
    void boundsChanged(TComponent& control) override;
    void activateHint(const std::string& text, const grell::TRect& area) override;
    void cancelHint() override;
    // Kept for the paint under way, which realises it before copying to the screen.
    void realizePalette(const grell::TGrellPalette& palette) override;

    // TextPainter
    void drawText(grell::Bitmap32& canvas, const grell::TRect& rect, std::string_view text, const grell::TFont& font,
                  grell::TextAlign align, grell::TextVAlign valign) override;
    uint32_t resolveColor(uint32_t color) override;

    // FormActions
    void terminate() override;
    void minimize() override;
    void close() override;
    void toggleMaximized() override;
    void startWindowDrag() override;
    platform::WindowHandle windowHandle() override { return window_; }
    bool copyDocument() override;
    PrintResult printDocument(const std::string& title) override;

    // ListViewSink
    void rowsCleared() override;
    void rowAdded(const ListRow& row) override;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void mouse(UINT message, LPARAM lParam);
    void showPendingHint();
    void createList();
    void placeList();
    bool runShortcut(const MSG& message);

    HINSTANCE instance_;
    std::function<void(const std::exception&)> onError_;
    TVardak* form_ = nullptr;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    vardak::win32::UniqueImageList rowIcons_;
    HFONT listFont_ = nullptr;
    bool trackingLeave_ = false;
    grell::TPoint lastMouse_;
    Win32HintWindow hint_;
    std::optional<std::string> pendingHint_;
    grell::TRect hintArea_;
    std::optional<grell::TGrellPalette> framePalette_;
    Win32RichDocument document_;
};

}  // namespace vardak::app::win32
