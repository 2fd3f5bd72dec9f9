// The process-status library, bound at start for users of the probe library. It is
// kept loaded at the program's end.
#pragma once

#include "probes/core/Ostrel_LibraryBinding.h"

namespace vardak::probes {

inline constexpr BindingEntry kPSAPIEntries[] = {
    {"EnumProcesses"},          {"EnumProcessModules"},         {"GetModuleBaseNameA"},
    {"GetModuleFileNameExA"},   {"GetModuleInformation"},       {"EmptyWorkingSet"},
    {"QueryWorkingSet"},        {"InitializeProcessForWsWatch"}, {"GetWsChanges"},
    {"GetMappedFileNameA"},     {"EnumDeviceDrivers"},          {"GetDeviceDriverBaseNameA"},
    {"GetDeviceDriverFileNameA"}, {"GetProcessMemoryInfo"},
};

inline constexpr BindingTable kPSAPITable = {
    .fileName = "psapi.dll",
    .keyEntry = "EnumProcesses",
    .entries = kPSAPIEntries,
    .releasedAtStop = false,
};

LibraryBinding& PSAPIBinding();

}  // namespace vardak::probes
