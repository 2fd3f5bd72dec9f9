// Fuzz target: the input is a `cpuid_tool --save` text, read as
// `VardakReport --cpuid-dump` reads one, and the dumped processor decoded and reported.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "framework/Classes.h"
#include "probes/hardware/CpuidDump.h"
#include "probes/hardware/Vesk_CPU.h"
#include "tests/support/FakePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        vardak::probes::DumpedProcessor processor(vardak::probes::CpuidDump::parse(text));
        vardak::testing::FakePlatform machine;
        vardak::probes::TCPU cpu(machine, processor);
        cpu.GetInfo();
        vardak::TStringList report;
        cpu.Report(report);
    } catch (const vardak::probes::ECpuidDumpError&) {
    }
    return 0;
}
