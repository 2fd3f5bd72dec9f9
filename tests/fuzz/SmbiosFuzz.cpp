// Fuzz target of the SMBIOS decoder: the input is tried as a dump file, as what the
// firmware-table interface returns, and as a BIOS area of its own, and every way
// is decoded and reported. Built with clang's libFuzzer and the address and
// undefined-behaviour sanitizers.
#include <cstddef>
#include <cstdint>
#include <span>

#include "framework/Classes.h"
#include "probes/hardware/SmbiosDump.h"
#include "probes/hardware/Vesk_SMBIOS.h"
#include "tests/support/FakePlatform.h"

namespace {

void decodeAndReport(vardak::testing::FakePlatform& machine, const vardak::probes::SMBIOSImage& image) {
    vardak::probes::TSMBIOS reader(machine);
    reader.LoadImage(image);
    reader.GetInfo(0);
    vardak::TStringList report;
    reader.Report(report);
    for (uint32_t index = 0; index <= reader.MemorySlotCount(); ++index) {
        vardak::probes::TMemoryBank bank;
        reader.GetMemoryBank(static_cast<int32_t>(index), bank);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    vardak::testing::FakePlatform machine;
    try {
        decodeAndReport(machine, vardak::probes::ParseSMBIOSDump(bytes));
    } catch (const vardak::probes::ESMBIOSDumpError&) {
    }
    if (const auto image = vardak::probes::ImageFromFirmwareTable(bytes)) decodeAndReport(machine, *image);

    // The input laid into the area from F0000h on, so entry points and tables can
    // sit anywhere in it, the end of the segment included.
    vardak::probes::SMBIOSImage raw;
    const size_t copied = std::min(size, raw.area.size());
    std::copy_n(data, copied, raw.area.end() - static_cast<std::ptrdiff_t>(copied));
    decodeAndReport(machine, raw);
    std::copy_n(data, copied, raw.area.begin());
    decodeAndReport(machine, raw);
    return 0;
}
