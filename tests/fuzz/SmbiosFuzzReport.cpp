#include "tests/fuzz/SmbiosFuzzReport.h"

#include "framework/Classes.h"
#include "tests/support/FakePlatform.h"

namespace vardak::fuzz {

void DecodeAndReport(const probes::SMBIOSImage& image) {
    testing::FakePlatform machine;
    probes::TSMBIOS reader(machine);
    reader.LoadImage(image);
    reader.GetInfo(0);
    TStringList report;
    reader.Report(report);
    // One past the last index too: the accessors answer a zeroed record there.
    for (uint32_t index = 0; index <= reader.MemorySlotCount(); ++index) {
        probes::TMemoryBank bank;
        reader.GetMemoryBank(static_cast<int32_t>(index), bank);
    }
}

}  // namespace vardak::fuzz
