// Printers for tests: the installed list and the default printer's name.
#pragma once

#include "platform/Printers.h"

namespace vardak::testing {

class FakePrinters : public platform::Printers {
public:
    std::vector<platform::PrinterEntry> installedPrinters() override { return installed; }
    std::optional<std::string> defaultPrinter() override { return defaultName; }

    std::vector<platform::PrinterEntry> installed;
    std::optional<std::string> defaultName;
};

}  // namespace vardak::testing
