// Vardak.exe: the program entry. Builds the summary window from its layout and runs
// the message loop until the window closes or Afslut ends the program.
#include <windows.h>

#include <string>

#include "app/Main.h"
#include "app/win32/Win32FormHost.h"
#include "app/win32/Win32Resources.h"
#include "grell/system/GrellApp.h"
#include "grell/system/win32/Win32GrellHost.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/overview/win32/Vesk_Splash.h"
#include "probes/overview/win32/Win32OverviewWindow.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace vardak;
    // Before the window exists: the process-wide operating-system facts and the
    // bindings of the optional system libraries.
    win32::Win32Platform platform(/*console=*/false);
    const probes::OstrelRoutinesSession routines(platform);
    const probes::OstrelBindingsSession bindings(platform);
    platform::FileSystem& files = platform.files();
    grell::win32::Win32GrellHost grellHost;
    grell::TGrellApplication application(nullptr, grellHost);
    app::win32::Win32Resources resources;
    app::win32::Win32FormHost host(instance, [&grellHost](const std::exception& error) {
        grellHost.handleException(error);
    });

    app::TVardak form(nullptr, {files, resources, host, application, platform,
                                probes::win32::TscrVesk_Splash::maker(instance),
                                probes::win32::overviewShower(instance, platform)});
    form.setHost(&host);
    try {
        const auto layout = resources.rawData(app::win32::kLayoutResource);
        if (!layout) throw std::runtime_error("The window layout is missing");
        form.createFromLayout(std::string(reinterpret_cast<const char*>(layout->data()), layout->size()));
    } catch (const std::exception& error) {
        grellHost.handleException(error);
        return 1;
    }
    if (!host.createWindow(form)) return 1;
    host.show(showCommand);
    return host.runMessageLoop();
}
