// The installed-software probe: the programs registered for uninstallation, their
// display names and, in step with them, their uninstall commands.
#pragma once

#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::probes {

class TSoftware : public TPersistent {
public:
    explicit TSoftware(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TSoftware"; }
    void publishProperties(PropertyTable& table) const override;

    // Refills both lists from the subkeys that have a display name, in registry
    // order; two programs of one name are two entries.
    void GetInfo();
    // Appends "[Installed Software]": the names, then the commands, each as a list
    // with the count key "Count" and the prefix "Item".
    void Report(TStrings& report) const;

    const TStrings& Products() const { return products_; }
    // The uninstall command of each product, empty where it has none.
    const TStrings& UninstallStrings() const { return uninstallStrings_; }

private:
    platform::Platform& platform_;
    TStringList products_;
    TStringList uninstallStrings_;
};

}  // namespace vardak::probes
