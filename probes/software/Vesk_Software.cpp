#include "probes/software/Vesk_Software.h"

#include <memory>
#include <optional>
#include <string>

#include "framework/Registry.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

void TSoftware::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.object("Products", &products_);
}

void TSoftware::GetInfo() {
    products_.clear();
    uninstallStrings_.clear();
    platform::Registry& registry = platform_.registry();
    const auto uninstall = TRegistry::openReadOnly(registry, platform::RootKey::LocalMachine, kUninstallKey);
    if (!uninstall) {
        return;
    }
    for (const std::string& name : uninstall->subkeyNames()) {
        const auto product = TRegistry::openReadOnly(registry, platform::RootKey::LocalMachine,
                                                     std::string(kUninstallKey) + "\\" + name);
        const std::optional<std::string> displayName = product ? product->readText("DisplayName") : std::nullopt;
        if (displayName) {
            products_.add(*displayName);
            uninstallStrings_.add(product->readText("UninstallString").value_or(""));
        }
    }
}

void TSoftware::Report(TStrings& report) const {
    addReportSection(report, "Installed Software");
    AddListToReport(products_, "Count", "Item", report);
    AddListToReport(uninstallStrings_, "Count", "Item", report);
}

}  // namespace vardak::probes
