// Fuzz target: the input is what the firmware-table interface returns for 'RSMB'.
#include <cstddef>
#include <cstdint>
#include <span>

#include "probes/hardware/Vesk_SMBIOS.h"
#include "tests/fuzz/SmbiosFuzzReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const auto image = vardak::probes::ImageFromFirmwareTable(std::span(data, size))) {
        vardak::fuzz::DecodeAndReport(*image);
    }
    return 0;
}
