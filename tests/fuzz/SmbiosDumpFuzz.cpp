// Fuzz target: the input is a `dmidecode --dump-bin` file, read as
// `VardakReport --smbios-dump` reads one.
#include <cstddef>
#include <cstdint>
#include <span>

#include "probes/hardware/SmbiosDump.h"
#include "tests/fuzz/SmbiosFuzzReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        vardak::fuzz::DecodeAndReport(vardak::probes::ParseSMBIOSDump(std::span(data, size)));
    } catch (const vardak::probes::ESMBIOSDumpError&) {
    }
    return 0;
}
