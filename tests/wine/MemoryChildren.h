// What a posed child reads with the memory probe, as "memory.<name>=<value>" lines;
// a failing resource query shows as the probe's own message line.
#pragma once

#include "platform/Platform.h"

namespace vardak::winetest {

int reportVeskMemory(platform::Platform& platform);

}  // namespace vardak::winetest
