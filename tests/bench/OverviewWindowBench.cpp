// Opening the overview window on the live system, beside an empty window of the same
// size: the time to make the window (the page in front with its controls), the root's
// refresh, the fill of every page, the first paint, and then bringing every other page
// forward once (which makes its controls), each the median of several runs. Run under Wine
// with a display by scripts/bench-overview-window.sh.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/overview/win32/Win32DetailDialog.h"
#include "probes/overview/win32/Win32OverviewWindow.h"
#include "platform/win32/Win32WindowTimer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 7;
constexpr char kEmptyClass[] = "VardakEmptyOverviewWindow";

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Shows a window and lets it paint.
void showAndPaint(HWND window) {
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();
}

double emptyWindowRun(HINSTANCE instance) {
    const auto start = Clock::now();
    RECT frame{0, 0, 399, 509};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME);
    const HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, kEmptyClass, "Empty", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                        0, 0, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                        instance, nullptr);
    showAndPaint(window);
    const double elapsed = millisecondsSince(start);
    DestroyWindow(window);
    return elapsed;
}

}  // namespace

int main() {
    using namespace vardak;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    const probes::OstrelBindingsSession bindings(platform);
    probes::TOstrelSystemInfo root(nullptr, platform);
    root.SetExceptionMode(probes::TExceptionMode::emSilent);
    WNDCLASSA emptyClass{};
    emptyClass.lpfnWndProc = DefWindowProcA;
    emptyClass.hInstance = instance;
    emptyClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    emptyClass.lpszClassName = kEmptyClass;
    RegisterClassA(&emptyClass);

    probes::ReportFileMemory files;
    std::vector<double> windowOnly;
    std::vector<double> empty, made, refreshed, filled, painted, whole, visited;
    for (int run = 0; run < kRuns; ++run) {
        empty.push_back(emptyWindowRun(instance));
        const auto start = Clock::now();
        probes::win32::Win32OverviewWindow window(instance);
        windowOnly.push_back(millisecondsSince(start));
        probes::win32::Win32DetailDialog details(instance, window.handle());
        probes::TfrmVesk_Overview form(root, platform, {window, files, details, &win32::createWindowTimer});
        window.attach(form);
        form.SetVisiblePages(probes::kAllOverviewPages);
        made.push_back(millisecondsSince(start));
        auto step = Clock::now();
        root.RefreshAll();
        refreshed.push_back(millisecondsSince(step));
        step = Clock::now();
        form.FillPages();
        filled.push_back(millisecondsSince(step));
        step = Clock::now();
        // As the modal loop starts: the window shown, the page in front made and painted.
        ShowWindow(window.handle(), SW_SHOWNOACTIVATE);
        window.activatePage(form.ActivePage());
        showAndPaint(window.handle());
        painted.push_back(millisecondsSince(step));
        whole.push_back(millisecondsSince(start));
        step = Clock::now();
        for (const probes::OverviewPageInfo& info : probes::kOverviewPages) {
            window.activatePage(info.page);
            UpdateWindow(window.handle());
        }
        visited.push_back(millisecondsSince(step));
    }
    std::printf("overview window, median of %d runs under this system:\n", kRuns);
    std::printf("  empty window of the same size, made and painted: %8.1f ms\n", median(empty));
    std::printf("  overview window made (the page in front):         %8.1f ms\n", median(made));
    std::printf("    of which the window itself:                      %8.1f ms\n", median(windowOnly));
    std::printf("  refresh of every probe (RefreshAll):               %8.1f ms\n", median(refreshed));
    std::printf("  every page filled (FillPages):                     %8.1f ms\n", median(filled));
    std::printf("  page in front made, first paint:                   %8.1f ms\n", median(painted));
    std::printf("  start to all pages filled and painted:             %8.1f ms\n", median(whole));
    std::printf("  then every page brought forward once:              %8.1f ms\n", median(visited));
    return 0;
}
