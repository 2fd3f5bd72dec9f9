// Raw SMBIOS dumps in the layout `dmidecode --dump-bin` writes: an entry point at
// offset 0 ("_SM_" for 2.x, "_SM3_" for 3.x, or a legacy "_DMI_"), its table-address
// field holding the file offset of the structure table that follows. A dump becomes
// a BIOS-area image, so the SMBIOS reader decodes it as it would the firmware's.
#pragma once

#include <span>
#include <string>

#include "framework/Exception.h"
#include "probes/hardware/Vesk_SMBIOS.h"

namespace vardak::probes {

// A file that is no SMBIOS dump; the message says why.
class ESMBIOSDumpError : public Exception {
public:
    using Exception::Exception;
    std::string_view className() const noexcept override { return "ESMBIOSDumpError"; }
};

// Raises ESMBIOSDumpError for a missing or damaged entry point and for a table
// that lies outside the file.
SMBIOSImage ParseSMBIOSDump(std::span<const uint8_t> bytes);

}  // namespace vardak::probes
