// Two whole machines for tests that read every probe and component: an XP desktop
// (an Athlon XP 3200+ on a Gigabyte board) and a 98 SE machine (a Celeron in a VMware
// virtual machine). CPUID and SMBIOS come from the real dumps in the shared test data,
// the registry from the fixtures of the probes.
#pragma once

#include "tests/support/FakePlatform.h"

namespace vardak::testing {

void setUpXpMachine(FakePlatform& machine);
void setUpWindows98Machine(FakePlatform& machine);

}  // namespace vardak::testing
