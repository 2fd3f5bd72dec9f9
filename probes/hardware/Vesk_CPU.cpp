#include "probes/hardware/Vesk_CPU.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "framework/Registry.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::probes {

using platform::CpuidRegisters;
using platform::Processor;

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

// The bytes of registers in the order the processor stores them: EAX byte 0 first.
template <size_t Count>
std::array<uint8_t, Count * 4> registerBytes(const std::array<uint32_t, Count>& registers) {
    std::array<uint8_t, Count * 4> data{};
    for (size_t index = 0; index < Count; ++index) {
        bytes::putLittleEndian(data, index * 4, 4, registers[index]);
    }
    return data;
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
    return bytes::textUpToNul(registerBytes<3>({leaf0.ebx, leaf0.edx, leaf0.ecx}));
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
    return bytes::textUpToNul(registerBytes<12>(registers));
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
        case cpu_vendor::kIntel: readIntelDescriptors(); break;
        case cpu_vendor::kAMD: readAMDLevel1(); break;
        case cpu_vendor::kCyrix: readCyrixLevel1(); break;
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
