// JPEG pictures decoded with libjpeg.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "grell/controls/GrellBitmap.h"

namespace vardak::app::win32 {

// Nothing for data that is no JPEG picture libjpeg can decode, or one larger than
// 8192 x 8192.
std::optional<grell::Bitmap32> decodeJpeg(std::span<const uint8_t> bytes);

}  // namespace vardak::app::win32
