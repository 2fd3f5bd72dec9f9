// What the summary window needs from the program around it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vardak::grell {
class TGrellGraphic;
class TGrellApplication;
}  // namespace vardak::grell

namespace vardak::probes {
class RefreshSplash;
struct OstrelProbeSet;
template <class ProbeSet>
class TOstrelSystemInfoOf;
using TOstrelSystemInfo = TOstrelSystemInfoOf<OstrelProbeSet>;
}  // namespace vardak::probes

namespace vardak::platform {
class FileSystem;
class Platform;
using WindowHandle = void*;
}  // namespace vardak::platform

namespace vardak::app {

// The program's resources: string tables and pictures.
class ResourceSource {
public:
    virtual ~ResourceSource() = default;
    // "" when the string does not exist.
    virtual std::string loadString(int id) = 0;
    // Null when the picture does not exist or cannot be decoded.
    virtual std::shared_ptr<const grell::TGrellGraphic> loadPicture(std::string_view name) = 0;
};

// How a print command ended.
enum class PrintOutcome {
    Printed,
    Cancelled,  // the user closed the print dialog without printing
    NoPrinter,  // the system has no printer to print on
    Failed,     // the print system refused the job
};

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Printed;
    uint32_t errorCode = 0;  // the system's error code for Failed
};

// The window system's side of the window's commands.
class FormActions {
public:
    virtual ~FormActions() = default;
    // Ends the message loop and so the program.
    virtual void terminate() = 0;
    virtual void minimize() = 0;
    virtual void close() = 0;
    // Maximised becomes normal and the other way round.
    virtual void toggleMaximized() = 0;
    // Releases the mouse and lets the user drag the window by any point.
    virtual void startWindowDrag() = 0;
    // The window, owner of what the shell shows for it.
    virtual platform::WindowHandle windowHandle() = 0;
    // Puts the whole document of the window's rich edit on the clipboard, as rich
    // text and as plain text; false when the clipboard could not be had.
    virtual bool copyDocument() = 0;
    // Shows the print dialog; when the user confirms it, prints the whole document of
    // the rich edit on the chosen printer as one job titled `title`.
    virtual PrintResult printDocument(const std::string& title) = 0;
};

struct VardakServices {
    platform::FileSystem& files;
    ResourceSource& resources;
    FormActions& actions;
    grell::TGrellApplication& application;
    // The system the window's components read.
    platform::Platform& platform;
    // The window the probe root shows while it refreshes everything; none when empty.
    std::function<std::unique_ptr<probes::RefreshSplash>()> refreshSplash = {};
    // Shows the probe root's overview window modally and frees it; none when empty.
    std::function<void(probes::TOstrelSystemInfo&)> overviewShower = {};
};

}  // namespace vardak::app
