// The service-control functions of the advanced system library, bound at start for
// users of the probe library. Most come as an ANSI entry, a wide entry and a
// reference by the bare name to the ANSI entry ("OpenSCManager" is "OpenSCManagerA").
#pragma once

#include "probes/core/Ostrel_LibraryBinding.h"

namespace vardak::probes {

inline constexpr bool kAnsiAndWide = true;

inline constexpr BindingEntry kAdvAPIEntries[] = {
    {"ChangeServiceConfig", kAnsiAndWide},
    {"CloseServiceHandle"},
    {"ControlService"},
    {"CreateService", kAnsiAndWide},
    {"DeleteService"},
    {"EnumDependentServices", kAnsiAndWide},
    {"EnumServicesStatus", kAnsiAndWide},
    {"GetServiceKeyName", kAnsiAndWide},
    {"GetServiceDisplayName", kAnsiAndWide},
    {"LockServiceDatabase"},
    {"NotifyBootConfigStatus"},
    {"OpenSCManager", kAnsiAndWide},
    {"OpenService", kAnsiAndWide},
    {"QueryServiceConfig", kAnsiAndWide},
    {"QueryServiceLockStatus", kAnsiAndWide},
    {"QueryServiceObjectSecurity"},
    {"QueryServiceStatus"},
    {"RegisterServiceCtrlHandler", kAnsiAndWide},
    {"SetServiceObjectSecurity"},
    {"SetServiceStatus"},
    {"StartServiceCtrlDispatcher", kAnsiAndWide},
    {"StartService", kAnsiAndWide},
    {"UnlockServiceDatabase"},
};

inline constexpr BindingTable kAdvAPITable = {
    .fileName = "advapi32.dll",
    .keyEntry = "OpenSCManager",
    .entries = kAdvAPIEntries,
};

LibraryBinding& AdvAPIBinding();

}  // namespace vardak::probes
