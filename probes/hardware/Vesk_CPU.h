// The processor probe: vendor, family, model and stepping from CPUID, a marketing
// name, code name and transistor count from the built-in model table, the feature
// flags, the caches, the serial number, the division-flaw test and the clock
// measured against the performance counter.
//
// Every CPUID query goes through QueryCPUID, which asks the processor only what it
// says it knows: nothing without the instruction, no leaf above the highest one
// leaf 0 (or 0x80000000 for the extended range) reports. Such queries answer zero.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/Vesk_CPUClock.h"
#include "probes/hardware/Vesk_CPUNames.h"

namespace vardak::probes {

// ---------------------------------------------------------------- vendors

struct CPUVendor {
    std::string_view vendorText;  // what leaf 0 answers, 12 characters
    std::string_view longName;    // VendorEx
    std::string_view shortName;   // Vendor in the report
};

// Rows 1..7 of the vendor table; row 0 stands for an unknown vendor.
inline constexpr CPUVendor kCPUVendors[] = {
    {"", "", ""},
    {"GenuineIntel", "Intel Corporation", "Intel"},
    {"AuthenticAMD", "Advanced Micro Devices", "AMD"},
    {"CyrixInstead", "Cyrix Corporation", "Cyrix"},
    {"CentaurHauls", "IDT/Centaur", "IDT"},
    {"NexGenDriven", "NexGen Inc.", "NexGen"},
    {"UMC UMC UMC ", "United Microelectronics Corp", "UMC"},
    {"RiseRiseRise", "Rise Technology", "Rise"},
};

// The row whose vendor text matches exactly, 0 when none does.
int vendorIndexOf(std::string_view vendorText);

// ---------------------------------------------------------------- free routines

// One CPUID leaf (sub-leaf 0), or zeros where the processor does not answer it.
platform::CpuidRegisters QueryCPUID(platform::Processor& processor, uint32_t leaf);

// The 12 bytes of leaf 0's EBX, EDX and ECX, up to a NUL.
std::string GetVendorText(platform::Processor& processor);
// The 48 bytes of leaves 0x80000002..0x80000004, up to the first NUL.
std::string GetBrandText(platform::Processor& processor);
// Leaf 1 EAX, leaf 3 EDX and ECX as six groups of four hexadecimal digits joined by "-".
std::string GetSerialNumber(platform::Processor& processor);
// The Pentium division flaw: 4195835 / 3145727 * 3145727 - 4195835 is not exactly 0.
bool HasFDIVBug(platform::Processor& processor);

// ---------------------------------------------------------------- features

// In the order of the report; the three extended-leaf features come last.
enum class CPUFeature : uint8_t {
    FPU, VME, DE, PSE, TSC, MSR, PAE, MCE, CX8, APIC, SEP, MTRR, PGE, MCA, CMOV, PAT, PSE36,
    PSN, CLFSH, DS, ACPI, MMX, FXSR, SSE, SSE2, SS, TM, ThreeDNow, ExThreeDNow, ExMMX,
};
inline constexpr size_t kCPUFeatureCount = 30;

struct CPUFeatureInfo {
    CPUFeature feature;
    std::string_view propertyName;  // "_3DNOW" for ThreeDNow
    std::string_view reportKey;
    bool extendedLeaf;              // leaf 0x80000001 instead of leaf 1
    uint32_t edxBits;               // set when any of these EDX bits is
};

const CPUFeatureInfo& cpuFeatureInfo(CPUFeature feature);

class TCPUFeatures : public TPersistent {
public:
    explicit TCPUFeatures(platform::Processor& processor) : processor_(processor) {}

    std::string_view className() const override { return "TCPUFeatures"; }
    void publishProperties(PropertyTable& table) const override;

    // Leaf 0x80000001 for the 3DNow! and extended MMX flags, then leaf 1 for the rest.
    void GetInfo();

    bool has(CPUFeature feature) const { return flags_.test(static_cast<size_t>(feature)); }
    // The registers of the last query (leaf 1).
    const platform::CpuidRegisters& registers() const { return registers_; }

private:
    platform::Processor& processor_;
    std::bitset<kCPUFeatureCount> flags_;
    platform::CpuidRegisters registers_;
};

// ---------------------------------------------------------------- caches

// The text of an Intel leaf-2 cache descriptor, "" for a byte the table does not list.
std::string_view intelCacheDescription(uint8_t descriptor);

class TCPUCache : public TPersistent {
public:
    // The raw answers behind the sizes.
    struct IntelRecord {
        int32_t level2 = 0;
        platform::CpuidRegisters registers;  // of the last leaf-2 call, reserved registers zeroed
    };
    struct AMDRecord {
        uint32_t ebx = 0;  // its two 16-bit halves swapped
        uint32_t ecx = 0;
        uint32_t edx = 0;
    };
    struct CyrixRecord {
        uint32_t ecx = 0;
        uint32_t ebx = 0;
    };

    explicit TCPUCache(platform::Processor& processor) : processor_(processor) {}

    std::string_view className() const override { return "TCPUCache"; }
    void publishProperties(PropertyTable& table) const override;

    // Clears the sizes and reads them the way the vendor (index of the vendor table)
    // reports them: Intel's leaf-2 descriptors, AMD's and Cyrix's leaf 0x80000005.
    void GetInfo(int32_t vendorIndex);

    int32_t L1Data() const { return l1Data_; }
    int32_t L1Code() const { return l1Code_; }
    int32_t Level1() const { return level1_; }
    int32_t Level2() const { return level2_; }
    const std::string& IntelDescription() const { return intelDescription_; }

    const IntelRecord& intelRecord() const { return intel_; }
    const AMDRecord& amdRecord() const { return amd_; }
    const CyrixRecord& cyrixRecord() const { return cyrix_; }

private:
    void readIntelDescriptors();
    void readAMDLevel1();
    void readCyrixLevel1();

    platform::Processor& processor_;
    int32_t l1Data_ = 0;
    int32_t l1Code_ = 0;
    int32_t level1_ = 0;
    int32_t level2_ = 0;
    std::string intelDescription_;
    IntelRecord intel_;
    AMDRecord amd_;
    CyrixRecord cyrix_;
};

// ---------------------------------------------------------------- the probe

class TCPU : public TPersistent {
public:
    explicit TCPU(platform::Platform& platform);
    // Decodes `processor` instead of the platform's own, a dumped one for example.
    TCPU(platform::Platform& platform, platform::Processor& processor);

    std::string_view className() const override { return "TCPU"; }
    void publishProperties(PropertyTable& table) const override;

    // Refreshes everything; the feature and cache refreshes run under ExceptionMode.
    void GetInfo();
    // Appends [CPU], [CPUID_CPUSIGNATURE], [CPU Features] and [CPU Cache].
    void Report(TStrings& report) const;

    TExceptionMode ExceptionMode() const { return exceptionMode_; }
    void setExceptionMode(TExceptionMode mode) { exceptionMode_ = mode; }

    int32_t Count() const { return count_; }
    const std::string& VendorEx() const { return vendorEx_; }
    const std::string& VendorID() const { return vendorID_; }
    int32_t Frequency() const { return frequency_; }
    int32_t Family() const { return family_; }
    int32_t Stepping() const { return stepping_; }
    int32_t Model() const { return model_; }
    const TCPUFeatures& Features() const { return features_; }
    const TCPUCache& Cache() const { return cache_; }
    const std::string& SerialNumber() const { return serialNumber_; }
    bool FDIVBug() const { return fdivBug_; }
    const std::string& CodeName() const { return codeName_; }

    // Unpublished state of the last refresh.
    const std::string& registryVendorIdentifier() const { return registryVendor_; }
    const std::string& registryIdentifier() const { return registryIdentifier_; }
    int32_t processorType() const { return type_; }
    int32_t brandIndex() const { return brandIndex_; }
    uint32_t highestLeaf() const { return highestLeaf_; }
    const std::string& vendorText() const { return vendorText_; }
    int32_t vendorIndex() const { return vendorIndex_; }
    const std::string& Vendor() const { return vendor_; }
    const std::string& brandText() const { return brandText_; }
    int32_t transistors() const { return transistors_; }
    const platform::CpuidRegisters& signature() const { return signature_; }

private:
    void readRegistryIdentification();
    void readSignature();
    void readVendor();

    platform::Platform& platform_;
    platform::Processor& processor_;
    TExceptionMode exceptionMode_ = TExceptionMode::emMessage;
    TCPUFeatures features_;
    TCPUCache cache_;

    int32_t count_ = 0;
    std::string vendorEx_;
    std::string vendorID_;
    int32_t frequency_ = 0;
    int32_t family_ = 0;
    int32_t stepping_ = 0;
    int32_t model_ = 0;
    std::string serialNumber_;
    bool fdivBug_ = false;
    std::string codeName_;

    std::string registryVendor_;
    std::string registryIdentifier_;
    int32_t type_ = 0;
    int32_t brandIndex_ = 0;
    uint32_t highestLeaf_ = 0;
    std::string vendorText_;
    int32_t vendorIndex_ = 0;
    std::string vendor_;
    std::string brandText_;
    int32_t transistors_ = 0;
    platform::CpuidRegisters signature_;
};

}  // namespace vardak::probes
