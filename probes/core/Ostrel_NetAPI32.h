// The network-management library, bound at start for users of the probe library. A
// release it refuses at the program's end is reported.
#pragma once

#include "probes/core/Ostrel_LibraryBinding.h"

namespace vardak::probes {

inline constexpr BindingEntry kNetAPI32Entries[] = {
    {"NetQueryDisplayInformation"}, {"NetStatisticsGet"},       {"NetWkstaGetInfo"},
    {"NetWkstaUserGetInfo"},        {"NetUserEnum"},            {"NetWkstaUserEnum"},
    {"NetWkstaTransportEnum"},      {"NetServerTransportEnum"}, {"NetUserGetInfo"},
    {"NetUserGetGroups"},           {"NetUserGetLocalGroups"},  {"NetGroupEnum"},
    {"NetLocalGroupEnum"},          {"NetGroupGetUsers"},       {"NetLocalGroupGetMembers"},
    {"NetServerEnum"},              {"NetShareEnum"},           {"NetShareDel"},
    {"NetSessionEnum"},             {"NetSessionDel"},          {"NetConnectionEnum"},
    {"NetFileEnum"},                {"NetFileClose"},           {"NetApiBufferFree"},
    {"NetApiBufferReallocate"},     {"NetApiBufferSize"},       {"NetScheduleJobEnum"},
    {"NetScheduleJobDel"},          {"NetScheduleJobAdd"},      {"NetScheduleJobGetInfo"},
};

inline constexpr BindingTable kNetAPI32Table = {
    .fileName = "netapi32.dll",
    .keyEntry = "NetWkstaGetInfo",
    .entries = kNetAPI32Entries,
    .unloadErrorRaised = true,
};

LibraryBinding& NetAPI32Binding();

}  // namespace vardak::probes
