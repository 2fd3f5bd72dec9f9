#include "probes/hardware/Vesk_CPU.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <deque>
#include <numeric>
#include <optional>
#include <string_view>

#include "framework/Registry.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::probes {

using platform::CpuidRegisters;
using platform::Processor;

// ---------------------------------------------------------------- model names

namespace {

// Rows of the vendor table.
constexpr int kIntel = 1;
constexpr int kAMD = 2;
constexpr int kCyrix = 3;
constexpr int kIDT = 4;
constexpr int kNexGen = 5;
constexpr int kUMC = 6;
constexpr int kRise = 7;

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

// ---------------------------------------------------------------- vendors

int vendorIndexOf(std::string_view vendorText) {
    for (size_t index = 1; index < std::size(kCPUVendors); ++index) {
        if (kCPUVendors[index].vendorText == vendorText) {
            return static_cast<int>(index);
        }
    }
    return 0;
}

// ---------------------------------------------------------------- CPUID

namespace {

constexpr uint32_t kExtendedRange = 0x80000000;
constexpr uint32_t kExtendedFeatureLeaf = 0x80000001;
constexpr uint32_t kFirstBrandLeaf = 0x80000002;
constexpr uint32_t kLevel1CacheLeaf = 0x80000005;
constexpr uint32_t kTimeStampCounterBit = 1u << 4;

// The bytes of registers in the order the processor stores them: EAX byte 0 first.
template <size_t Count>
std::array<uint8_t, Count * 4> registerBytes(const std::array<uint32_t, Count>& registers) {
    std::array<uint8_t, Count * 4> bytes{};
    for (size_t index = 0; index < Count; ++index) {
        for (size_t shift = 0; shift < 4; ++shift) {
            bytes[index * 4 + shift] = static_cast<uint8_t>(registers[index] >> (8 * shift));
        }
    }
    return bytes;
}

template <size_t Size>
std::string textUpToNul(const std::array<uint8_t, Size>& bytes) {
    std::string text;
    for (const uint8_t byte : bytes) {
        if (byte == 0) {
            break;
        }
        text += static_cast<char>(byte);
    }
    return text;
}

bool hasTimeStampCounter(Processor& processor) {
    return (QueryCPUID(processor, 1).edx & kTimeStampCounterBit) != 0;
}

}  // namespace

CpuidRegisters QueryCPUID(Processor& processor, uint32_t leaf) {
    if (!processor.hasCpuid()) {
        return {};
    }
    // Leaf 0 and leaf 0x80000000 tell how far their range goes; above it a processor
    // answers with unrelated registers (Intel repeats its highest leaf).
    const uint32_t rangeStart = leaf & kExtendedRange;
    if (leaf != rangeStart) {
        const uint32_t highest = processor.cpuid(rangeStart, 0).eax;
        if ((highest & kExtendedRange) != rangeStart || highest < leaf) {
            return {};
        }
    }
    return processor.cpuid(leaf, 0);
}

std::string GetVendorText(Processor& processor) {
    const CpuidRegisters leaf0 = QueryCPUID(processor, 0);
    return textUpToNul(registerBytes<3>({leaf0.ebx, leaf0.edx, leaf0.ecx}));
}

std::string GetBrandText(Processor& processor) {
    std::array<uint32_t, 12> registers{};
    for (uint32_t part = 0; part < 3; ++part) {
        const CpuidRegisters answer = QueryCPUID(processor, kFirstBrandLeaf + part);
        registers[part * 4 + 0] = answer.eax;
        registers[part * 4 + 1] = answer.ebx;
        registers[part * 4 + 2] = answer.ecx;
        registers[part * 4 + 3] = answer.edx;
    }
    return textUpToNul(registerBytes<12>(registers));
}

std::string GetSerialNumber(Processor& processor) {
    const uint32_t signature = QueryCPUID(processor, 1).eax;
    const CpuidRegisters leaf3 = QueryCPUID(processor, 3);
    std::string serial;
    for (const uint32_t part : {signature, leaf3.edx, leaf3.ecx}) {
        if (!serial.empty()) {
            serial += '-';
        }
        serial += Format("%4.4x-%4.4x", {part >> 16, part & 0xFFFF});
    }
    return serial;
}

bool HasFDIVBug(Processor& processor) {
    constexpr double x = 4195835.0;
    constexpr double y = 3145727.0;
    // volatile: every step rounds to double, as the test is defined.
    volatile double quotient = processor.divide(x, y);
    volatile double product = quotient * y;
    return product - x != 0.0;
}

// ---------------------------------------------------------------- clock

namespace {

constexpr int kMinRuns = 3;
constexpr int kMaxRuns = 20;
// The classic run: 50 ticks to get in step with the counter, then 1000 timed ticks
// (0.84 ms on the 1.19 MHz counter). A faster counter gets as many ticks as make
// 40 us and 0.8 ms, so a run always spans about a millisecond and its elapsed time
// never rounds to nothing.
constexpr uint64_t kLeadInTicks = 50;
constexpr uint64_t kRunTicks = 1000;
constexpr uint64_t kLeadInsPerSecond = 25'000;
constexpr uint64_t kRunsPerSecond = 1'250;
// Differences are taken in the low 32 bits, so a run must fit in them.
constexpr uint64_t kLongestRunTicks = 0x7FFFFFFF;
// A counter that stops moving ends the measurement instead of hanging it.
constexpr uint64_t kMaxSpinReads = 50'000'000;

uint64_t ticksFor(uint64_t counterFrequency, uint64_t minimumTicks, uint64_t perSecondDivisor) {
    const uint64_t needed = (counterFrequency + perSecondDivisor - 1) / perSecondDivisor;
    return std::max(minimumTicks, needed);
}

// numerator / denominator rounded to the nearest integer, ties to even.
int64_t roundedQuotient(uint64_t numerator, uint64_t denominator) {
    const uint64_t quotient = numerator / denominator;
    const uint64_t remainder = numerator % denominator;
    const uint64_t twice = remainder * 2;
    if (twice > denominator || (twice == denominator && (quotient & 1) != 0)) {
        return static_cast<int64_t>(quotient + 1);
    }
    return static_cast<int64_t>(quotient);
}

// Raises the thread to time-critical for one timed run, if its priority can be read.
class TimeCriticalSection {
public:
    explicit TimeCriticalSection(Processor& processor)
        : processor_(processor), previous_(processor.threadPriority()) {
        if (previous_) {
            processor_.setThreadPriority(platform::kTimeCriticalPriority);
        }
    }
    ~TimeCriticalSection() {
        if (previous_) {
            processor_.setThreadPriority(*previous_);
        }
    }
    TimeCriticalSection(const TimeCriticalSection&) = delete;
    TimeCriticalSection& operator=(const TimeCriticalSection&) = delete;

private:
    Processor& processor_;
    std::optional<int> previous_;
};

struct CounterReading {
    uint64_t counter = 0;
    uint32_t cycles = 0;  // low 32 bits of the time-stamp counter read right after
};

// Reads the counter (and the time-stamp counter after each read) until its low 32
// bits have moved at least `ticks` beyond `start`; nothing if it never gets there.
std::optional<CounterReading> spinUntil(Processor& processor, uint64_t start, uint64_t ticks) {
    for (uint64_t reads = 0; reads < kMaxSpinReads; ++reads) {
        CounterReading reading;
        reading.counter = processor.performanceCounter();
        reading.cycles = static_cast<uint32_t>(processor.timeStampCounter());
        if (static_cast<uint32_t>(reading.counter - start) >= ticks) {
            return reading;
        }
    }
    return std::nullopt;
}

struct TimedRun {
    uint32_t ticks = 0;
    uint32_t cycles = 0;
};

std::optional<TimedRun> timeOneRun(Processor& processor, uint64_t leadInTicks, uint64_t runTicks) {
    const uint64_t start = processor.performanceCounter();
    const TimeCriticalSection critical(processor);
    const std::optional<CounterReading> begin = spinUntil(processor, start, leadInTicks);
    if (!begin) {
        return std::nullopt;
    }
    const std::optional<CounterReading> end = spinUntil(processor, begin->counter, runTicks);
    if (!end) {
        return std::nullopt;
    }
    return TimedRun{static_cast<uint32_t>(end->counter - begin->counter), end->cycles - begin->cycles};
}

bool lastThreeAgree(const std::deque<int64_t>& estimates) {
    if (estimates.size() < 3) {
        return false;
    }
    const int64_t sum = std::accumulate(estimates.begin(), estimates.end(), int64_t{0});
    for (const int64_t estimate : estimates) {
        if (std::llabs(3 * estimate - sum) > 3) {
            return false;
        }
    }
    return true;
}

}  // namespace

TFrequencyInfo MeasureFrequency(Processor& processor) {
    const std::optional<uint64_t> counterFrequency = processor.performanceFrequency();
    if (!counterFrequency || *counterFrequency == 0 || !hasTimeStampCounter(processor)) {
        return {};
    }
    const uint64_t leadInTicks = ticksFor(*counterFrequency, kLeadInTicks, kLeadInsPerSecond);
    const uint64_t runTicks = ticksFor(*counterFrequency, kRunTicks, kRunsPerSecond);
    if (runTicks > kLongestRunTicks) {
        return {};
    }

    uint64_t totalCycles = 0;
    uint64_t totalMicroseconds = 0;
    std::deque<int64_t> lastEstimates;
    for (int run = 1; run <= kMaxRuns; ++run) {
        const std::optional<TimedRun> timed = timeOneRun(processor, leadInTicks, runTicks);
        if (!timed) {
            return {};
        }
        const auto microseconds =
            static_cast<uint64_t>(roundedQuotient(uint64_t{timed->ticks} * 1'000'000, *counterFrequency));
        totalCycles += timed->cycles;
        totalMicroseconds += microseconds;
        lastEstimates.push_back(microseconds == 0 ? 0 : roundedQuotient(timed->cycles, microseconds));
        if (lastEstimates.size() > 3) {
            lastEstimates.pop_front();
        }
        if (run >= kMinRuns && lastThreeAgree(lastEstimates)) {
            break;
        }
    }
    if (totalMicroseconds == 0) {
        return {};
    }

    int64_t tenths = roundedQuotient(totalCycles * 10, totalMicroseconds);
    const int64_t hundredths = roundedQuotient(totalCycles * 100, totalMicroseconds);
    if (hundredths - 10 * tenths >= 6) {
        ++tenths;
    }
    const int64_t raw = roundedQuotient(totalCycles, totalMicroseconds);
    const int64_t normalised = raw + (tenths - 10 * raw >= 6 ? 1 : 0);

    TFrequencyInfo info;
    info.rawMHz = static_cast<uint32_t>(raw);
    info.normalisedMHz = static_cast<uint32_t>(SnapFrequency(static_cast<int32_t>(normalised)));
    info.cycles = static_cast<uint32_t>(totalCycles);
    info.microseconds = static_cast<uint32_t>(totalMicroseconds);
    return info;
}

int32_t SnapFrequency(int32_t mhz) {
    constexpr int32_t kFractions[] = {0, 20, 33, 50, 60, 66, 80, 90, 100};
    if (mhz <= 0) {
        return mhz;
    }
    const int32_t remainder = mhz % 100;
    for (size_t index = 1; index < std::size(kFractions); ++index) {
        if (remainder < kFractions[index]) {
            const int32_t below = remainder - kFractions[index - 1];
            const int32_t above = kFractions[index] - remainder;
            return below < above ? mhz - below : mhz + above;
        }
    }
    return mhz;
}

// ---------------------------------------------------------------- features

namespace {

constexpr uint32_t bit(int number) { return uint32_t{1} << number; }

constexpr CPUFeatureInfo kFeatureTable[] = {
    {CPUFeature::FPU, "FPU", "Built-In FPU", false, bit(0)},
    {CPUFeature::VME, "VME", "Virtual Mode Extension", false, bit(1)},
    {CPUFeature::DE, "DE", "Debugging Extension", false, bit(2)},
    {CPUFeature::PSE, "PSE", "Page Size Extension", false, bit(3)},
    {CPUFeature::TSC, "TSC", "Time Stamp Counter", false, bit(4)},
    {CPUFeature::MSR, "MSR", "Model Specific Registers", false, bit(5)},
    {CPUFeature::PAE, "PAE", "Physical Address Extension", false, bit(6)},
    {CPUFeature::MCE, "MCE", "Machine Check Exception", false, bit(7)},
    {CPUFeature::CX8, "CX8", "CMPXCHG8B Instruction Supported", false, bit(8)},
    {CPUFeature::APIC, "APIC", "On-chip APIC Hardware Supported", false, bit(9)},
    {CPUFeature::SEP, "SEP", "Fast System Call", false, bit(11)},
    {CPUFeature::MTRR, "MTRR", "Memory Type Range Registers", false, bit(12)},
    {CPUFeature::PGE, "PGE", "Page Global Extension", false, bit(13)},
    {CPUFeature::MCA, "MCA", "Machine Check Architecture", false, bit(14)},
    {CPUFeature::CMOV, "CMOV", "Conditional Move Instruction Supported", false, bit(15)},
    {CPUFeature::PAT, "PAT", "Page Attribute Table", false, bit(16)},
    {CPUFeature::PSE36, "PSE36", "36bit Page Size Extension", false, bit(17)},
    {CPUFeature::PSN, "PSN", "Processor serial number is present and enabled", false, bit(18)},
    {CPUFeature::CLFSH, "CLFSH", "CLFLUSH Instruction Supported", false, bit(19)},
    {CPUFeature::DS, "DS", "Debug Store", false, bit(21)},
    {CPUFeature::ACPI, "ACPI", "Thermal Monitor and Software Controlled Clock Facilities (ACPI)", false,
     bit(22)},
    {CPUFeature::MMX, "MMX", "Intel Architecture MMX technology supported", false, bit(23)},
    {CPUFeature::FXSR, "FXSR", "Fast floating point save and restore", false, bit(24)},
    {CPUFeature::SSE, "SSE", "Streaming SIMD Extensions", false, bit(25)},
    {CPUFeature::SSE2, "SSE2", "Streaming SIMD Extensions 2", false, bit(26)},
    {CPUFeature::SS, "SS", "Self-Snoop", false, bit(27)},
    {CPUFeature::TM, "TM", "Thermal Monitor supported", false, bit(29)},
    {CPUFeature::ThreeDNow, "_3DNOW", "3D Now! Extensions", true, bit(31)},
    {CPUFeature::ExThreeDNow, "EX_3DNOW", "Enhanced 3D Now! Extensions", true, bit(30)},
    {CPUFeature::ExMMX, "EX_MMX", "Enhanced MMX Extensions", true, bit(22) | bit(24)},
};
static_assert(std::size(kFeatureTable) == kCPUFeatureCount);

constexpr bool featureTableInEnumOrder() {
    for (size_t index = 0; index < std::size(kFeatureTable); ++index) {
        if (static_cast<size_t>(kFeatureTable[index].feature) != index) {
            return false;
        }
    }
    return true;
}
static_assert(featureTableInEnumOrder());

constexpr CPUFeature kPublishedFeatureOrder[] = {
    CPUFeature::ThreeDNow, CPUFeature::ExThreeDNow, CPUFeature::ExMMX, CPUFeature::TM,
    CPUFeature::SS,        CPUFeature::SSE2,        CPUFeature::SSE,   CPUFeature::FXSR,
    CPUFeature::MMX,       CPUFeature::ACPI,        CPUFeature::DS,    CPUFeature::CLFSH,
    CPUFeature::PSN,       CPUFeature::PSE36,       CPUFeature::PAT,   CPUFeature::CMOV,
    CPUFeature::MCA,       CPUFeature::PGE,         CPUFeature::MTRR,  CPUFeature::SEP,
    CPUFeature::APIC,      CPUFeature::CX8,         CPUFeature::MCE,   CPUFeature::PAE,
    CPUFeature::MSR,       CPUFeature::TSC,         CPUFeature::PSE,   CPUFeature::DE,
    CPUFeature::VME,       CPUFeature::FPU,
};
static_assert(std::size(kPublishedFeatureOrder) == kCPUFeatureCount);

}  // namespace

const CPUFeatureInfo& cpuFeatureInfo(CPUFeature feature) {
    return kFeatureTable[static_cast<size_t>(feature)];
}

void TCPUFeatures::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    for (const CPUFeature feature : kPublishedFeatureOrder) {
        table.boolean(cpuFeatureInfo(feature).propertyName, has(feature));
    }
}

void TCPUFeatures::GetInfo() {
    const uint32_t extendedEdx = QueryCPUID(processor_, kExtendedFeatureLeaf).edx;
    registers_ = QueryCPUID(processor_, 1);
    for (const CPUFeatureInfo& info : kFeatureTable) {
        const uint32_t edx = info.extendedLeaf ? extendedEdx : registers_.edx;
        flags_.set(static_cast<size_t>(info.feature), (edx & info.edxBits) != 0);
    }
}

// ---------------------------------------------------------------- caches

namespace {

struct CacheDescriptor {
    uint8_t descriptor;
    std::string_view text;
};

constexpr CacheDescriptor kIntelCacheDescriptors[] = {
    {0x01, "Instruction TLB, 4K pages, 4-way set associative, 32 entries"},
    {0x02, "Instruction TLB, 4M pages, fully associative, 2 entries"},
    {0x03, "Data TLB, 4K pages, 4-way set associative, 64 entries"},
    {0x04, "Data TLB, 4M pages, 4-way set associative, 8 entries"},
    {0x06, "Instruction cache, 8K, 4-way set associative, 32 byte line size"},
    {0x08, "Instruction cache 16K, 4-way set associative, 32 byte line size"},
    {0x0A, "Data cache, 8K, 2-way set associative, 32 byte line size"},
    {0x0C, "Data cache, 16K, 4-way set associative, 32 byte line size"},
    {0x40, "No L2 cache (P6 family), or No L3 cache (Pentium 4 processor)"},
    {0x41, "Unified cache, 32 byte cache line,4-way set associative, 128K"},
    {0x42, "Unified cache, 32 byte cache line, 4-way set associative, 256K"},
    {0x43, "Unified cache, 32 byte cache line, 4-way set associative, 512K"},
    {0x44, "Unified cache, 32 byte cache line, 4-way set associative, 1M"},
    {0x45, "Unified cache, 32 byte cache line, 4-way set associative, 2M"},
    {0x50, "Instruction TLB, 4K, 2M or 4M pages, fully associative, 64 entries"},
    {0x51, "Instruction TLB, 4K, 2M or 4M pages, fully associative, 128 entries"},
    {0x52, "Instruction TLB, 4K, 2M or 4M pages, fully associative, 256 entries"},
    {0x5B, "Data TLB, 4K or 4M pages, fully associative, 64 entries"},
    {0x5C, "Data TLB, 4K or 4M pages, fully associative, 128 entries"},
    {0x5D, "Data TLB, 4K or 4M pages, fully associative, 256 entries"},
    {0x66, "Data cache, sectored, 64 byte cache line, 4 way set associative, 8K"},
    {0x67, "Data cache, sectored, 64 byte cache line, 4 way set associative, 16K"},
    {0x68, "Data cache, sectored, 64 byte cache line, 4 way set associative, 32K"},
    {0x70, "Instruction Trace cache, 8 way set associative, 12K uOps"},
    {0x71, "Instruction Trace cache, 8 way set associative, 16K uOps"},
    {0x72, "Instruction Trace cache, 8 way set associative, 32K uOps"},
    {0x79, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 128K"},
    {0x7A, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 256K"},
    {0x7B, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 512K"},
    {0x7C, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 1M"},
    {0x82, "Unified cache, 32 byte cache line, 8 way set associative, 256K"},
    {0x84, "Unified cache, 32 byte cache line, 8 way set associative, 1M"},
    {0x85, "Unified cache, 32 byte cache line, 8 way set associative, 2M"},
};

// The L2 size a leaf-2 descriptor gives, in KB; nothing for other descriptors.
std::optional<int32_t> level2Size(uint8_t descriptor) {
    switch (descriptor) {
        case 0x40: return 0;
        case 0x41: return 128;
        case 0x42: case 0x82: return 256;
        case 0x43: case 0x83: return 512;
        case 0x44: case 0x84: return 1024;
        case 0x45: case 0x85: return 2048;
        default: return std::nullopt;
    }
}

constexpr uint32_t kReservedRegister = 0x80000000;
constexpr uint32_t kIntelCacheLeaf = 2;

uint32_t withoutReserved(uint32_t value) { return (value & kReservedRegister) != 0 ? 0 : value; }

}  // namespace

std::string_view intelCacheDescription(uint8_t descriptor) {
    for (const CacheDescriptor& entry : kIntelCacheDescriptors) {
        if (entry.descriptor == descriptor) {
            return entry.text;
        }
    }
    return {};
}

void TCPUCache::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("L1Data", l1Data_)
        .integer("L1Code", l1Code_)
        .integer("Level1", level1_)
        .integer("Level2", level2_)
        .string("IntelDescription", intelDescription_);
}

void TCPUCache::GetInfo(int32_t vendorIndex) {
    intelDescription_.clear();
    level2_ = level1_ = l1Data_ = l1Code_ = 0;
    switch (vendorIndex) {
        case kIntel: readIntelDescriptors(); break;
        case kAMD: readAMDLevel1(); break;
        case kCyrix: readCyrixLevel1(); break;
        default: break;
    }
}

void TCPUCache::readIntelDescriptors() {
    // The low byte of the first answer says how many calls it takes to get them all.
    CpuidRegisters answer = QueryCPUID(processor_, kIntelCacheLeaf);
    const uint32_t calls = answer.eax & 0xFF;
    if (calls == 0) {
        answer = {};
    }
    for (uint32_t call = 1; call < calls; ++call) {
        answer = QueryCPUID(processor_, kIntelCacheLeaf);
    }
    // A register with bit 31 set holds no descriptors.
    answer = {withoutReserved(answer.eax), withoutReserved(answer.ebx), withoutReserved(answer.ecx),
              withoutReserved(answer.edx)};
    const auto bytes = registerBytes<4>({answer.eax, answer.ebx, answer.ecx, answer.edx});

    // Byte 0 of EAX is the call count, not a descriptor, for the L2 size.
    for (size_t index = 1; index < bytes.size(); ++index) {
        if (const std::optional<int32_t> size = level2Size(bytes[index])) {
            level2_ = *size;
        }
    }
    for (const uint8_t descriptor : bytes) {
        switch (descriptor) {
            case 0x0A: l1Data_ = 8; break;
            case 0x0C: l1Data_ = 16; break;
            case 0x06: l1Code_ = 8; break;
            case 0x08: l1Code_ = 16; break;
            case 0x80: level1_ = 16; break;
            default: break;
        }
        if (const std::string_view text = intelCacheDescription(descriptor); !text.empty()) {
            intelDescription_ = std::string(text);
        }
    }
    intel_ = {level2_, answer};
}

void TCPUCache::readAMDLevel1() {
    const CpuidRegisters answer = QueryCPUID(processor_, kLevel1CacheLeaf);
    l1Data_ = static_cast<int32_t>(answer.ecx >> 24);
    l1Code_ = static_cast<int32_t>(answer.edx >> 24);
    level1_ = l1Data_ + l1Code_;
    amd_ = {(answer.ebx << 16) | (answer.ebx >> 16), answer.ecx, answer.edx};
}

void TCPUCache::readCyrixLevel1() {
    const CpuidRegisters answer = QueryCPUID(processor_, kLevel1CacheLeaf);
    cyrix_ = {answer.ecx, answer.ebx};
    for (int shift = 0; shift < 32; shift += 8) {
        if (((answer.ecx >> shift) & 0xFF) == 0x80) {
            level1_ = 16;
        }
    }
}

// ---------------------------------------------------------------- TCPU

TCPU::TCPU(platform::Platform& platform) : TCPU(platform, platform.processor()) {}

TCPU::TCPU(platform::Platform& platform, platform::Processor& processor)
    : platform_(platform), processor_(processor), features_(processor), cache_(processor) {}

void TCPU::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
        .integer("Count", count_)
        .string("VendorEx", vendorEx_)
        .string("VendorID", vendorID_)
        .integer("Frequency", frequency_)
        .integer("Family", family_)
        .integer("Stepping", stepping_)
        .integer("Model", model_)
        .object("Features", &features_)
        .object("Cache", &cache_)
        .string("SerialNumber", serialNumber_)
        .boolean("FDIVBug", fdivBug_)
        .string("CodeName", codeName_);
}

void TCPU::readRegistryIdentification() {
    const auto processor = TRegistry::openReadOnly(platform_.registry(), platform::RootKey::LocalMachine,
                                                   std::string(kHardwareDescriptionKey) + "\\CentralProcessor\\0");
    if (processor) {
        registryVendor_ = processor->readText("VendorIdentifier").value_or("");
        registryIdentifier_ = processor->readText("Identifier").value_or("");
    }
}

void TCPU::readSignature() {
    signature_ = QueryCPUID(processor_, 1);
    const uint32_t eax = signature_.eax;
    family_ = static_cast<int32_t>((eax >> 8) & 0xF);
    type_ = static_cast<int32_t>((eax >> 12) & 0x3);
    model_ = static_cast<int32_t>((eax >> 4) & 0xF);
    stepping_ = static_cast<int32_t>(eax & 0xF);
    brandIndex_ = static_cast<int32_t>(signature_.ebx & 0xFF);
}

void TCPU::readVendor() {
    highestLeaf_ = QueryCPUID(processor_, 0).eax;
    vendorText_ = GetVendorText(processor_);
    vendorIndex_ = vendorIndexOf(vendorText_);
    vendor_ = std::string(kCPUVendors[vendorIndex_].shortName);
    if (vendorIndex_ != 0) {
        vendorEx_ = std::string(kCPUVendors[vendorIndex_].longName);
    }
}

void TCPU::GetInfo() {
    platform::UiNotifier& ui = platform_.ui();
    count_ = static_cast<int32_t>(processor_.count());
    readRegistryIdentification();
    frequency_ = static_cast<int32_t>(MeasureFrequency(processor_).normalisedMHz);
    readSignature();
    readVendor();
    CallGetInfo(ui, "TCPUFeatures.GetInfo", exceptionMode_, &TCPUFeatures::GetInfo, features_);
    if (features_.has(CPUFeature::PSN)) {
        serialNumber_ = GetSerialNumber(processor_);
    }
    brandText_ = GetBrandText(processor_);
    fdivBug_ = HasFDIVBug(processor_);
    CallGetInfo(ui, vendorIndex_, "TCPUCache.GetInfo", exceptionMode_, &TCPUCache::GetInfo, cache_);
    CPUName name = GetCPUName(vendorIndex_, family_, model_, brandIndex_, type_, cache_.Level2(), frequency_);
    vendorID_ = std::move(name.name);
    codeName_ = std::move(name.codeName);
    transistors_ = name.transistors;
}

void TCPU::Report(TStrings& report) const {
    addReportSection(report, "CPU");
    addReportEntry(report, "Count", count_);
    addReportEntry(report, "Frequency", frequency_);
    addReportEntry(report, "VendorID", vendorID_);
    addReportEntry(report, "Vendor", vendor_);
    addReportEntry(report, "Family", family_);
    addReportEntry(report, "Model", model_);
    addReportEntry(report, "Stepping", stepping_);
    addReportEntry(report, "CodeName", codeName_);
    addReportEntry(report, "Transistors", transistors_);
    addReportEntry(report, "SerialNumber", serialNumber_);
    addReportEntry(report, "FDIVBug", fdivBug_);

    addReportSection(report, "CPUID_CPUSIGNATURE");
    addReportEntry(report, "EAX", Format("%8.8x", {signature_.eax}));
    addReportEntry(report, "EBX", Format("%8.8x", {signature_.ebx}));
    addReportEntry(report, "ECX", Format("%8.8x", {signature_.ecx}));
    addReportEntry(report, "EDX", Format("%8.8x", {signature_.edx}));

    addReportSection(report, "CPU Features");
    for (const CPUFeatureInfo& info : kFeatureTable) {
        addReportEntry(report, info.reportKey, features_.has(info.feature));
    }

    addReportSection(report, "CPU Cache");
    addReportEntry(report, "Level 1 Data Cache", cache_.L1Data());
    addReportEntry(report, "Level 1 Instruction Cache", cache_.L1Code());
    addReportEntry(report, "Level 1 Unified Cache", cache_.Level1());
    addReportEntry(report, "Level 2 Unified Cache", cache_.Level2());
    report.add(joinLineBreaks(Format("Intel Cache Description: %s", {cache_.IntelDescription()})));
}

}  // namespace vardak::probes
