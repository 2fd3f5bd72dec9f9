// The free-resources query of the 16-bit USER module on the 95/98 line.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace vardak::win32 {

// Loads "user.exe" with the kernel's 16-bit loader (kernel32 ordinals 35, 37 and 36:
// load, look up, release) and calls its GetFreeSystemResources through QT_Thunk.
// Nothing is attempted outside the 95/98 line, whose kernel32 alone exports the
// 16-bit entries under those ordinals: there the answer is NotAvailable.
platform::FreeResources16 queryFreeSystemResources16(uint16_t kind);

}  // namespace vardak::win32
