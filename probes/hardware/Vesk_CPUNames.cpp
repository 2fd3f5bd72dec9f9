#include "probes/hardware/Vesk_CPUNames.h"

#include <climits>

namespace vardak::probes {

namespace {

using namespace cpu_vendor;

constexpr int kOverDriveType = 1;

struct IntRange {
    int first = INT_MIN;
    int last = INT_MAX;
    constexpr bool contains(int value) const { return first <= value && value <= last; }
};

constexpr IntRange kAny{};
constexpr IntRange only(int value) { return {value, value}; }
constexpr IntRange between(int first, int last) { return {first, last}; }
constexpr IntRange atLeast(int value) { return {value, INT_MAX}; }
constexpr IntRange atMost(int value) { return {INT_MIN, value}; }

// One row of the model table. The first row whose vendor, family and model match and
// whose L2 size and clock fall in its ranges names the processor. A row that names
// by brand index takes the name from the brand table and keeps its code name.
struct ModelRow {
    int vendor;
    int family;
    IntRange model;
    std::string_view name;
    std::string_view codeName;
    int32_t transistors;
    IntRange level2KB = kAny;
    IntRange mhz = kAny;
    bool nameByBrand = false;
};

constexpr ModelRow byBrand(int family, IntRange model, std::string_view codeName = {},
                           int32_t transistors = 0) {
    return {kIntel, family, model, {}, codeName, transistors, kAny, kAny, true};
}

// The micro sign of the code names, in the Windows Western code page.
#define MICRO "\xB5"

constexpr ModelRow kModelRows[] = {
    // Intel 486
    {kIntel, 4, between(0, 1), "i80486DX", "P4", 1250000},
    {kIntel, 4, only(2), "i80486SX", "P23", 900000},
    {kIntel, 4, only(3), "i80486DX2", "P24", 1250000},
    {kIntel, 4, only(4), "i80486SL", "P23", 900000},
    {kIntel, 4, only(5), "i80486SX2", "P23", 900000},
    {kIntel, 4, only(7), "i80486DX2WB", "P24", 1250000},
    {kIntel, 4, only(8), "i80486DX4", "P24C", 1600000},
    {kIntel, 4, only(9), "i80486DX4WB", "P24C", 1600000},
    // Intel Pentium
    {kIntel, 5, only(0), "Pentium", "P5 (0,80" MICRO "m)", 3100000},
    {kIntel, 5, between(1, 2), "Pentium", "P54C (0,50" MICRO "m)", 3100000},
    {kIntel, 5, only(3), "Pentium", "P24T", 0},
    {kIntel, 5, only(4), "Pentium MMX", "P55C (0,28" MICRO "m)", 4500000},
    {kIntel, 5, only(5), "DX4", "", 0},
    {kIntel, 5, only(6), "Pentium", "P5", 0},
    {kIntel, 5, only(7), "Pentium", "P54C (0,35" MICRO "m)", 3100000},
    {kIntel, 5, only(8), "Pentium MMX (mobile)", "Tillamook (0,25" MICRO "m)", 4500000},
    {kIntel, 5, kAny, "Pentium", "", 0},
    // Intel P6
    {kIntel, 6, only(0), "Pentium Pro", "P6 (0.50 " MICRO "m)", 5500000},
    {kIntel, 6, only(1), "Pentium Pro", "P6 (0.35 " MICRO "m)", 5500000},
    {kIntel, 6, only(3), "Pentium II", "P6T (0.25 " MICRO "m)", 7500000, only(333)},
    {kIntel, 6, only(3), "Pentium II", "Klamath (0.35 " MICRO "m)", 7500000},
    {kIntel, 6, only(4), "Pentium II", "P55CT (P54 OverDrive)", 3100000},
    {kIntel, 6, only(5), "Pentium II Xeon", "Deschutes (0.25 " MICRO "m)", 7500000, atLeast(513)},
    {kIntel, 6, only(5), "Pentium II", "Deschutes (0,25" MICRO "m)", 7500000, between(1, 512)},
    {kIntel, 6, only(5), "Celeron", "Covington (0,25" MICRO "m)", 7500000, atMost(0)},
    {kIntel, 6, only(6), "Pentium II PE (mobile)", "Dixon (0.25 " MICRO "m)", 27400000, atLeast(256)},
    {kIntel, 6, only(6), "Celeron A", "Mendocino (0.25 " MICRO "m)", 19000000, atMost(255)},
    {kIntel, 6, only(7), "Pentium III Xeon", "Tanner (0.25 " MICRO "m)", 9500000, atLeast(513)},
    {kIntel, 6, only(7), "Pentium III", "Katmai (0.25 " MICRO "m)", 9500000},
    byBrand(6, only(8), "Coppermine (0.18 " MICRO "m)", 28100000),
    {kIntel, 6, kAny, "Pentium II", "", 0},
    // Intel, later families
    byBrand(7, kAny),
    byBrand(8, kAny),
    {kIntel, 10, kAny, "Pentium III Xeon", "", 0},
    {kIntel, 15, kAny, "Pentium 4", "", 0},
    // AMD
    {kAMD, 4, only(0), "Am486DX", "P4", 1250000},
    {kAMD, 4, only(3), "Am486DX2", "P24", 1250000},
    {kAMD, 4, only(7), "Am486DX2", "P24", 1250000},
    {kAMD, 4, between(8, 9), "Am486DX4", "P24C", 1250000},
    {kAMD, 4, between(14, 15), "Am5x86", "X5", 1600000},
    {kAMD, 5, only(0), "K5", "SSA5 (0.50-0.35 " MICRO "m)", 4300000},
    {kAMD, 5, between(1, 3), "K5-5k86 (PR120, PR133)", "5k86 (0.35 " MICRO "m)", 4300000},
    {kAMD, 5, only(6), "K6", "K6 (0.30 " MICRO "m)", 8800000},
    {kAMD, 5, only(7), "K6", "Little Foot (0.25 " MICRO "m)", 8800000},
    {kAMD, 5, only(8), "K6-II", "Chomper (0.25 " MICRO "m)", 9300000},
    {kAMD, 5, only(9), "K6-III", "Slarptooth (0.25 " MICRO "m)", 21300000},
    {kAMD, 5, only(13), "K6-II+/K6-III+", "", 0},
    {kAMD, 6, only(1), "K7", "Athlon (0.25-0.18 " MICRO "m)", 22000000},
    {kAMD, 6, only(2), "Athlon", "Athlon (0.25-0.18 " MICRO "m)", 22000000},
    {kAMD, 6, only(3), "Duron", "Duron", 22000000},
    {kAMD, 6, only(4), "Athlon", "Athlon", 22000000},
    {kAMD, 6, only(6), "Athlon XP", "Athlon XP", 22000000},
    {kAMD, 6, only(7), "Duron", "Duron", 22000000},
    // Cyrix: the first 486 parts are told apart by their clock alone.
    {kCyrix, 4, only(0), "Cx486SLC/DLC", "M0.5", 600000, kAny, only(20)},
    {kCyrix, 4, only(0), "Cx486SLC/DLC", "M0.5", 600000, kAny, only(66)},
    {kCyrix, 4, only(0), "Cx486S", "M0.6", 600000, kAny, only(33)},
    {kCyrix, 4, only(0), "Cx486S", "M0.6", 600000, kAny, only(50)},
    {kCyrix, 4, only(0), "Cx486DX/DX2/DX4", "M0.7", 1100000, kAny, atLeast(67)},
    {kCyrix, 4, only(4), "Media GX", "Gx86", 24000000},
    {kCyrix, 4, only(9), "5x86", "M0.9 or M1sc (0.65 " MICRO "m)", 20000000},
    {kCyrix, 5, only(2), "6x86 and 6x86L", "M1 (0.65 " MICRO "m) and M1L (0.35 " MICRO "m)", 30000000},
    {kCyrix, 5, only(4), "MediaGXm", "GXm", 24000000},
    {kCyrix, 6, only(0), "6x86MX (PR166-266)", "M2 (0.35 " MICRO "m)", 65000000, kAny, atMost(224)},
    {kCyrix, 6, only(0), "M-II (PR300-433)", "M2 (0.35-0.25 " MICRO "m)", 65000000, kAny, atLeast(225)},
    {kCyrix, 6, only(5), "VIA Cyrix III", "", 0},
    // IDT/Centaur
    {kIDT, 5, only(4), "WinChip", "C6 (0.35 " MICRO "m)", 54000000},
    {kIDT, 5, only(8), "WinChip 2x", "W2x (0.35-0.25 " MICRO "m)", 59000000},
    {kIDT, 5, only(9), "WinChip 3", "W3 (0.25 " MICRO "m)", 90000000},
    // NexGen
    {kNexGen, 5, only(0), "Nx586", "Nx5x86 (0.50-0.44 " MICRO "m)", 35000000},
    {kNexGen, 5, only(6), "Nx686", "HA (0,50" MICRO "m)", 60000000},
    // UMC: one code name for the whole family.
    {kUMC, 4, only(1), "U5D", "U5D and U5S", 12000000},
    {kUMC, 4, only(2), "U5S", "U5D and U5S", 12000000},
    {kUMC, 4, only(3), "U486DX2", "U5D and U5S", 12000000},
    {kUMC, 4, only(4), "U486SX2", "U5D and U5S", 12000000},
    {kUMC, 4, kAny, "", "U5D and U5S", 12000000},
    // Rise
    {kRise, 4, only(0), "mP6", "mP6 (0.25-0.18 " MICRO "m)", 36000000},
    {kRise, 4, only(2), "mP6", "mP6 (0.25-0.18 " MICRO "m)", 36000000},
};

#undef MICRO

// Intel's brand index (leaf 1, EBX bits 0..7) names the later P6 and NetBurst parts.
struct BrandName {
    int index;
    std::string_view name;
};

constexpr BrandName kBrandNames[] = {
    {0, "Pentium III E"}, {1, "Celeron"}, {2, "Pentium III"}, {3, "Pentium III Xeon"}, {8, "Pentium 4"},
};

std::string_view brandName(int brandIndex) {
    for (const BrandName& brand : kBrandNames) {
        if (brand.index == brandIndex) {
            return brand.name;
        }
    }
    return {};
}

const ModelRow* findModelRow(int vendorIndex, int family, int model, int level2KB, int mhz) {
    for (const ModelRow& row : kModelRows) {
        if (row.vendor == vendorIndex && row.family == family && row.model.contains(model) &&
            row.level2KB.contains(level2KB) && row.mhz.contains(mhz)) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

CPUName GetCPUName(int vendorIndex, int family, int model, int brandIndex, int processorType,
                   int level2KB, int mhz) {
    CPUName result;
    if (const ModelRow* row = findModelRow(vendorIndex, family, model, level2KB, mhz)) {
        result.name = std::string(row->nameByBrand ? brandName(brandIndex) : row->name);
        result.codeName = std::string(row->codeName);
        result.transistors = row->transistors;
    }
    if (vendorIndex == kIntel && processorType == kOverDriveType) {
        result.name += " OverDrive";
    }
    return result;
}

}  // namespace vardak::probes
