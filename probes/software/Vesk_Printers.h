// The printer probe: the installed printers, local and connected, with their ports,
// and which of them is the default printer.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

class TPrinters : public TPersistent {
public:
    // Device names and ports are kept up to this many characters.
    static constexpr size_t kLongestText = 260;

    explicit TPrinters(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TPrinters"; }
    void publishProperties(PropertyTable& table) const override;

    // Refills the lists and DefaultIndex.
    void GetInfo();
    // Appends "[Printers]": the count, then "<name> on <port>=1" for the default
    // printer and "=0" for every other.
    void Report(TStrings& report) const;

    // The default printer's position in Names, -1 when no printer is the default.
    int32_t DefaultIndex() const { return defaultIndex_; }
    const TStrings& Names() const { return names_; }
    // The port of each printer, in step with Names.
    const TStrings& Ports() const { return ports_; }

private:
    platform::Platform& platform_;
    int32_t defaultIndex_ = -1;
    TStringList names_;
    TStringList ports_;
};

}  // namespace vardak::probes
