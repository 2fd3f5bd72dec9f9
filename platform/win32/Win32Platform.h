// The platform seam on real Windows (and on Wine).
#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32Aspi.h"
#include "platform/win32/Win32Automation.h"
#include "platform/win32/Win32Display.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Firmware.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Network.h"
#include "platform/win32/Win32Multimedia.h"
#include "platform/win32/Win32Power.h"
#include "platform/win32/Win32Printers.h"
#include "platform/win32/Win32Processor.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32RuntimeLibraries.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/Win32UiNotifier.h"
#include "platform/win32/Win32UserSettings.h"

namespace vardak::win32 {

class Win32Platform final : public platform::Platform {
public:
    // `console`: the program is the console report program, whose messages go to
    // standard output instead of message boxes.
    explicit Win32Platform(bool console) : ui_(console) {}

    platform::Registry& registry() override { return registry_; }
    platform::System& system() override { return system_; }
    platform::FileSystem& files() override { return files_; }
    platform::UiNotifier& ui() override { return ui_; }
    platform::Shell& shell() override { return shell_; }
    platform::RuntimeLibraries& libraries() override { return libraries_; }
    platform::Processor& processor() override { return processor_; }
    platform::Firmware& firmware() override { return firmware_; }
    Win32Firmware& win32Firmware() { return firmware_; }
    platform::Display& display() override { return display_; }
    platform::Power& power() override { return power_; }
    platform::Locale& locale() override { return locale_; }
    platform::Network& network() override { return network_; }
    platform::Printers& printers() override { return printers_; }
    platform::Multimedia& multimedia() override { return multimedia_; }
    platform::Automation& automation() override { return automation_; }
    platform::AspiRequests& aspi() override { return aspi_; }
    platform::UserSettings& settings() override { return settings_; }

private:
    Win32Registry registry_;
    Win32System system_;
    Win32FileSystem files_;
    Win32UiNotifier ui_;
    Win32Shell shell_;
    Win32RuntimeLibraries libraries_;
    Win32Processor processor_;
    Win32Firmware firmware_;
    Win32Display display_;
    Win32Power power_;
    Win32Locale locale_;
    Win32Network network_;
    Win32Printers printers_;
    Win32Multimedia multimedia_;
    Win32Automation automation_;
    Win32AspiRequests aspi_;
    Win32UserSettings settings_;
};

}  // namespace vardak::win32
