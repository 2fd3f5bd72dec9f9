// The ASPI layer for SCSI devices, bound at start; the engines probe's SCSI scan
// calls it through the two wrappers, which answer 0 where the layer or the entry is
// missing, as for an absent layer.
#pragma once

#include <cstdint>

#include "probes/core/Ostrel_LibraryBinding.h"

namespace vardak::probes {

inline constexpr BindingEntry kWnASPI32Entries[] = {{"GetASPI32SupportInfo"}, {"SendASPI32Command"}};

inline constexpr BindingTable kWnASPI32Table = {
    .fileName = "wnaspi32.dll",
    .keyEntry = "GetASPI32SupportInfo",
    .entries = kWnASPI32Entries,
};

LibraryBinding& WnASPI32Binding();

// The layer's support word: the status in bits 8 to 15, the host-adapter count in
// bits 0 to 7.
uint32_t ASPI32SupportInfo();
// Sends the request block at `block`; the layer's answer (0: pending).
uint32_t ASPI32SendCommand(void* block);

}  // namespace vardak::probes
