// The processor component: the processor's own identification (vendor, family,
// model, stepping, feature flags and, on AMD processors, the brand name), the number
// of processors, the current processor usage and the processors the registry
// describes. TGrellCPUInfoObject carries the identification alone.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "grell/system/GrellSysBase.h"

namespace vardak::grell {

// The identification as the CPUID instruction gives it.
struct TGrellCPUInfo {
    static constexpr size_t kFeatureCount = 16;

    std::array<char, 12> VendorID{};  // not NUL-terminated
    int32_t Stepping = 0;
    int32_t Model = 0;
    int32_t Family = 0;
    std::array<bool, kFeatureCount> Features{};
    std::string CPUName;

    // VendorID up to its first NUL.
    std::string IDString() const;
};

// Fills the record from the processor and tells whether CPUID exists. The brand name
// and the extended features are read for AMD processors only; without CPUID nothing
// but the name (emptied) changes.
bool GetCPUInfo(platform::Processor& processor, TGrellCPUInfo& info);

// The feature flags' published names in index order; index 13 has another name in
// TGrellCPUInfoObject.
inline constexpr std::array<std::string_view, TGrellCPUInfo::kFeatureCount> kGrellFeatureNames = {
    "FPU",       "VirtualModeExtensions",    "DebuggingExtensions", "PageSizeExtensions",
    "TimeStampCoutner", "K86_ModelSpecificRegisters", "MachineCheckException", "CMP_XCHG_8B",
    "APIC",      "MemoryTypeRangeRegisters", "GlobalPaging",        "Cond_MOVE_Instruct",
    "MMX",       "SYSCALLandSYSRET",         "FPCond_MOVE_Instruct", "AMD3DNow",
};

// The identification alone, read once at construction.
class TGrellCPUInfoObject : public TPersistent {
public:
    explicit TGrellCPUInfoObject(platform::Processor& processor);

    std::string_view className() const override { return "TGrellCPUInfoObject"; }
    void publishProperties(PropertyTable& table) const override;

    const TGrellCPUInfo& Info() const { return info_; }
    // Tests for the instruction anew at every read.
    bool ExistCPUInfo() const { return processor_.hasCpuid(); }

private:
    platform::Processor& processor_;
    TGrellCPUInfo info_;
};

// One processor the registry describes.
class TGrellProcessorItem : public TCollectionItem {
public:
    std::string_view className() const override { return "TGrellProcessorItem"; }

    int32_t MHz = -1;  // -1: the registry gives no clock
    std::string Identifier;
    std::string VendorIdentifier;
};

class TGrellProcessorsInfo : public TCollection {
public:
    TGrellProcessorsInfo() : TCollection(factoryOf<TGrellProcessorItem>()) {}
    std::string_view className() const override { return "TGrellProcessorsInfo"; }

    TGrellProcessorItem* Add() { return static_cast<TGrellProcessorItem*>(add()); }
    TGrellProcessorItem& Item(int index) const { return *itemAs<TGrellProcessorItem>(index); }
};

class TGrellSysProcessorObject : public TGrellSysObject {
public:
    // ProcessorUsage before it has been measured.
    static constexpr uint8_t kUsageNotMeasured = 255;
    // Each of the two usage readings on the NT line is followed by this pause.
    static constexpr uint32_t kUsagePauseMs = 500;

    explicit TGrellSysProcessorObject(platform::Platform& platform) : TGrellSysObject(platform) {}

    std::string_view className() const override { return "TGrellSysProcessorObject"; }
    void publishProperties(PropertyTable& table) const override;

    uint8_t Count() const { return count_; }
    uint8_t ProcessorUsage() const { return usage_; }
    const TGrellProcessorsInfo& ProcessorsInfo() const { return processors_; }
    const TGrellCPUInfo& Info() const { return info_; }
    std::string IDString() const { return info_.IDString(); }
    const std::string& CPUName() const { return info_.CPUName; }
    bool ExistCPUInfo() const { return platform().processor().hasCpuid(); }

    // The registry's processors, the identification, then the usage: on the NT line
    // two readings of the idle and system times half a second apart, on the 95/98
    // line the kernel's performance statistic.
    void Retrieve() override;
    void ApplyChanges() override {}

private:
    void readRegistryProcessors();
    void measureUsageNT();
    void readUsage9x();

    uint8_t count_ = 0;
    uint8_t usage_ = kUsageNotMeasured;
    TGrellProcessorsInfo processors_;
    TGrellCPUInfo info_;
};

class TGrellSysProcessor : public TGrellSysBaseComponent {
public:
    TGrellSysProcessor(TComponent* owner, platform::Platform& platform);

    std::string_view className() const override { return "TGrellSysProcessor"; }
    void publishProperties(PropertyTable& table) const override;

    TGrellSysProcessorObject& Processor() const { return *processor_; }

private:
    TGrellSysProcessorObject* processor_;  // the information object
};

}  // namespace vardak::grell
