// Fuzz target: the input is the raw version resource of a file, read as the shared
// routines read the version of any program on the machine.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr const char* kFile = "C:\\PROGRAM.EXE";
    vardak::testing::FakePlatform machine;
    machine.filesFake.setVersionResource(kFile, std::vector<uint8_t>(data, data + size));
    vardak::probes::TVersionInfo info;
    vardak::probes::GetFileVerInfo(machine, kFile, info);
    return 0;
}
