#include "probes/software/Vesk_Printers.h"

#include <optional>
#include <string>

#include "probes/core/Format.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {
namespace {

std::string cut(const std::string& text) {
    return text.substr(0, TPrinters::kLongestText);
}

}  // namespace

void TPrinters::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("DefaultIndex", defaultIndex_).object("Names", &names_).object("Ports", &ports_);
}

// Without a default printer none is marked, however many are installed.
void TPrinters::GetInfo() {
    names_.clear();
    ports_.clear();
    platform::Printers& printers = platform_.printers();
    for (const platform::PrinterEntry& printer : printers.installedPrinters()) {
        names_.add(cut(printer.name));
        ports_.add(cut(printer.port));
    }
    const std::optional<std::string> defaultName = printers.defaultPrinter();
    defaultIndex_ = defaultName ? names_.indexOf(cut(*defaultName)) : -1;
}

void TPrinters::Report(TStrings& report) const {
    addReportSection(report, "Printers");
    addReportEntry(report, "Count", names_.count());
    for (int index = 0; index < names_.count(); ++index) {
        addReportEntry(report, Format("%s on %s", {names_[index], ports_[index]}), index == defaultIndex_);
    }
}

}  // namespace vardak::probes
