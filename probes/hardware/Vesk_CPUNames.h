// The processor model table: the marketing name, code name with its process size
// and transistor count of a processor identified by vendor, family and model (and,
// for some, its L2 size, brand index or clock).
#pragma once

#include <cstdint>
#include <string>

namespace vardak::probes {

// Rows of the CPU probe's vendor table, by which the model table is keyed.
namespace cpu_vendor {
inline constexpr int kIntel = 1;
inline constexpr int kAMD = 2;
inline constexpr int kCyrix = 3;
inline constexpr int kIDT = 4;
inline constexpr int kNexGen = 5;
inline constexpr int kUMC = 6;
inline constexpr int kRise = 7;
}  // namespace cpu_vendor

// What the model table knows about one processor. Code names spell the micro sign
// as byte 0xB5 (Windows-1252).
struct CPUName {
    std::string name;
    std::string codeName;
    int32_t transistors = 0;
};

// Looks a processor up in the model table: vendor index 0..7 of the vendor table,
// family, model, brand index, processor type (1 = OverDrive), L2 size in KB and the
// measured clock in MHz. Combinations the table does not list give empty texts and 0.
CPUName GetCPUName(int vendorIndex, int family, int model, int brandIndex, int processorType,
                   int level2KB, int mhz);

}  // namespace vardak::probes
