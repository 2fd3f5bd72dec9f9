// What a posed child reads with the operating-system probe: "os.EditionText=<text>"
// and every report line as "os.<section>.<line>".
#pragma once

#include "platform/Platform.h"

namespace vardak::winetest {

int reportVeskOS(platform::Platform& platform);

}  // namespace vardak::winetest
