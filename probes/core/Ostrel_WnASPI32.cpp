#include "probes/core/Ostrel_WnASPI32.h"

namespace vardak::probes {
namespace {

// The layer's entry points follow the C calling convention.
using GetASPI32SupportInfoFn = uint32_t(VARDAK_CDECL*)();
using SendASPI32CommandFn = uint32_t(VARDAK_CDECL*)(void* block);

}  // namespace

LibraryBinding& WnASPI32Binding() {
    static LibraryBinding binding(kWnASPI32Table);
    return binding;
}

uint32_t ASPI32SupportInfo() {
    const auto supportInfo = WnASPI32Binding().entry<GetASPI32SupportInfoFn>("GetASPI32SupportInfo");
    return supportInfo != nullptr ? supportInfo() : 0;
}

uint32_t ASPI32SendCommand(void* block) {
    const auto sendCommand = WnASPI32Binding().entry<SendASPI32CommandFn>("SendASPI32Command");
    return sendCommand != nullptr ? sendCommand(block) : 0;
}

}  // namespace vardak::probes
