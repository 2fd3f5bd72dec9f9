// What the three SMBIOS fuzz targets do with the image their input gives: decode it
// as the reader decodes the firmware's area and write everything it found.
#pragma once

#include "probes/hardware/Vesk_SMBIOS.h"

namespace vardak::fuzz {

void DecodeAndReport(const probes::SMBIOSImage& image);

}  // namespace vardak::fuzz
