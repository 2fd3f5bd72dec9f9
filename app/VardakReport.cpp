// VardakReport.exe: the console report program.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

#include "app/ReportProgram.h"
#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_Routines.h"

int main(int argc, char** argv) {
    // The report carries its own CR LF line ends; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
    vardak::win32::Win32Platform platform(/*console=*/true);
    // The process-wide operating-system facts and library bindings, before any probe runs.
    vardak::probes::OstrelRoutinesSession routines(platform);
    vardak::probes::OstrelBindingsSession bindings(platform);
    std::vector<std::string> args(argv + 1, argv + argc);
    return vardak::app::runReportProgram(platform, args, std::cout, std::cerr);
}
