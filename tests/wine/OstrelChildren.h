// What a posed child reports of the shared routines' start-up facts, as
// "ostrel.<name>=<value>" lines.
#pragma once

#include "platform/Platform.h"

namespace vardak::winetest {

int reportOstrelFacts(platform::Platform& platform);

}  // namespace vardak::winetest
