// The installed printers through the spooler and the default printer from the
// "device" entry of the user's Windows settings.
#pragma once

#include "platform/Printers.h"

namespace vardak::win32 {

class Win32Printers final : public platform::Printers {
public:
    std::vector<platform::PrinterEntry> installedPrinters() override;
    std::optional<std::string> defaultPrinter() override;
};

}  // namespace vardak::win32
