// The printer part of the platform seam: the installed printers of the print
// system and the default printer.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vardak::platform {

struct PrinterEntry {
    std::string name;  // the printer's device name
    std::string port;  // its port, or the ports of a pooled printer joined by ","

    bool operator==(const PrinterEntry&) const = default;
};

class Printers {
public:
    virtual ~Printers() = default;
    // The printers installed locally and those connected from other machines, in
    // the print system's order; none when the enumeration fails.
    virtual std::vector<PrinterEntry> installedPrinters() = 0;
    // The device name of the default printer, or nothing when none is set.
    virtual std::optional<std::string> defaultPrinter() = 0;
};

}  // namespace vardak::platform
