// The overview window on Win32: a window of its own class with the page control, the
// sixteen pages and their sheets and controls made from the layout table, shown
// modally by a message loop of its own. Control events go to the window's state
// (`TfrmVesk_Overview`), which puts the pages' contents back through the host calls.
#pragma once

#include <windows.h>

#include <memory>

#include "probes/overview/Vesk_OverviewWindow.h"

namespace vardak::probes::win32 {

inline constexpr const char* kOverviewWindowClass = "TfrmVesk_Overview";
// The class of the containers of pages and sub-pages; a container's text is its name.
inline constexpr const char* kOverviewPageClass = "TVeskOverviewPage";
// The report menu's commands, sent to the window.
inline constexpr int kAllTopicsCommand = 301;
inline constexpr int kCurrentTopicCommand = 302;
inline constexpr int kPageControlId = 800;

// The identifier of a control of the layout (by its place in the table), for whoever
// drives the window (tests).
int overviewControlId(OverviewPage page, std::string_view name);

class Win32OverviewWindow final : public OverviewWindowHost {
public:
    // Makes the hidden window with all its controls, without owner.
    explicit Win32OverviewWindow(HINSTANCE instance);
    ~Win32OverviewWindow() override;
    Win32OverviewWindow(const Win32OverviewWindow&) = delete;
    Win32OverviewWindow& operator=(const Win32OverviewWindow&) = delete;

    HWND handle() const;
    // From now on the window's commands and control events go to `form`.
    void attach(TfrmVesk_Overview& form);

    void showPageTab(OverviewPage page, bool shown) override;
    void activatePage(OverviewPage page) override;
    void showReportButton(bool shown) override;
    void showPageContent(OverviewPage page, const OverviewPageContent& content) override;
    void setBusyCursor(bool busy) override;
    SaveDialogAnswer runSaveDialog(const SaveDialogRequest& request) override;
    void popupReportMenu() override;
    void showPrinterSetup() override;
    int showModal() override;
    void closeWindow() override;
    void putBackTick(OverviewPage page, std::string_view list, int index, bool checked) override;
    platform::WindowHandle windowHandle() const override;

    struct State;

private:
    std::unique_ptr<State> state_;
};

// What the root component's ShowOverview runs in the program: a new overview window of
// the root's probes, shown modally and freed; the last report's folder and file name
// are kept for the next window.
std::function<void(TOstrelSystemInfo&)> overviewShower(HINSTANCE instance, platform::Platform& platform);

}  // namespace vardak::probes::win32
