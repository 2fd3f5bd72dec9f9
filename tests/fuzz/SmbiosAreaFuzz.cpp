// Fuzz target: the input is the BIOS area itself, as the physical-memory section or
// the DOS dump deliver it, so entry points and tables can sit anywhere in it. The
// input's bytes after the first are laid into the area from F0000h on, or, when the
// first byte is odd, so that they end with the segment: a table may run into its end.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "probes/hardware/Vesk_SMBIOS.h"
#include "tests/fuzz/SmbiosFuzzReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool atTheEnd = (data[0] & 1) != 0;
    const size_t copied = std::min<size_t>(size - 1, vardak::probes::kBIOSAreaSize);
    vardak::probes::SMBIOSImage image;
    const auto start = atTheEnd ? image.area.end() - static_cast<std::ptrdiff_t>(copied) : image.area.begin();
    std::copy_n(data + 1, copied, start);
    vardak::fuzz::DecodeAndReport(image);
    return 0;
}
