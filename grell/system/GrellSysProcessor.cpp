#include "grell/system/GrellSysProcessor.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/Bytes.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_CPU.h"

namespace vardak::grell {

namespace {

using platform::CpuidRegisters;

constexpr uint32_t kExtendedRange = 0x80000000;
constexpr uint32_t kExtendedFeatures = 0x80000001;
constexpr std::string_view kAMDVendor = "AuthenticAMD";

struct FeatureBit {
    bool extended;  // leaf 0x80000001 (AMD only) instead of leaf 1
    uint8_t edxBit;
};

// Index by index, where each feature flag comes from.
constexpr std::array<FeatureBit, TGrellCPUInfo::kFeatureCount> kFeatureBits = {{
    {false, 0}, {false, 1}, {false, 2}, {false, 3}, {false, 4}, {false, 5}, {false, 7}, {false, 8},
    {false, 9}, {false, 12}, {false, 13}, {false, 15}, {false, 23}, {true, 11}, {true, 16}, {true, 31},
}};
constexpr size_t kSysCallIndex = 13;

bool edxBit(uint32_t edx, uint8_t bit) {
    return (edx >> bit & 1) != 0;
}

// The native information classes and the offsets the usage reads.
constexpr uint32_t kBasicInformation = 0;
constexpr uint32_t kBasicInformationSize = 44;
constexpr size_t kProcessorCountOffset = 40;
constexpr uint32_t kPerformanceInformation = 2;
constexpr uint32_t kPerformanceInformationSize = 312;
constexpr size_t kIdleTimeOffset = 0;
constexpr uint32_t kTimeOfDayInformation = 3;
constexpr uint32_t kTimeOfDayInformationSize = 32;
constexpr size_t kCurrentTimeOffset = 8;
constexpr int kUsageReadings = 2;

constexpr std::string_view kCentralProcessorKey = "\\CentralProcessor\\";
constexpr std::string_view kCPUUsageCounter = "KERNEL\\CPUUsage";

// One reading of the NT line's counters, in 100 ns units.
struct TimesReading {
    uint64_t systemTime = 0;
    uint64_t idleTime = 0;
};

// The difference of two readings of a counter that only grows, across a wrap of its
// 64 bits too; nothing when it went backwards (the clock was set back).
std::optional<uint64_t> forwardDifference(uint64_t previous, uint64_t current) {
    const uint64_t difference = current - previous;
    if (difference > static_cast<uint64_t>(INT64_MAX)) return std::nullopt;
    return difference;
}

// 100 less the idle share of the elapsed time on each processor, rounded as the
// system rounds (+0.5, then half to even), within 0..100. Nothing without elapsed
// time or processors.
std::optional<uint8_t> usagePercent(const TimesReading& previous, const TimesReading& current, uint8_t processors) {
    const std::optional<uint64_t> elapsed = forwardDifference(previous.systemTime, current.systemTime);
    const std::optional<uint64_t> idle = forwardDifference(previous.idleTime, current.idleTime);
    if (!elapsed || !idle || *elapsed == 0 || processors == 0) return std::nullopt;
    const double share = static_cast<double>(*idle) / static_cast<double>(*elapsed) * 100.0 / processors;
    const double usage = std::nearbyint(100.0 - share + 0.5);
    return static_cast<uint8_t>(std::clamp(usage, 0.0, 100.0));
}

std::optional<TimesReading> readTimes(platform::System& system) {
    const auto timeOfDay = system.nativeSystemInformation(kTimeOfDayInformation, kTimeOfDayInformationSize);
    if (!timeOfDay) return std::nullopt;
    const auto performance = system.nativeSystemInformation(kPerformanceInformation, kPerformanceInformationSize);
    if (!performance) return std::nullopt;
    const auto time = bytes::littleEndian(*timeOfDay, kCurrentTimeOffset, 8);
    const auto idle = bytes::littleEndian(*performance, kIdleTimeOffset, 8);
    if (!time || !idle) return std::nullopt;
    return TimesReading{*time, *idle};
}

void publishFeatures(PropertyTable& table, const TGrellCPUInfo& info, std::string_view sysCallName, size_t first) {
    for (size_t index = first; index < TGrellCPUInfo::kFeatureCount; ++index) {
        table.boolean(index == kSysCallIndex ? sysCallName : kGrellFeatureNames[index], info.Features[index]);
    }
}

}  // namespace

std::string TGrellCPUInfo::IDString() const {
    return std::string(VendorID.data(), std::find(VendorID.begin(), VendorID.end(), '\0'));
}

bool GetCPUInfo(platform::Processor& processor, TGrellCPUInfo& info) {
    info.CPUName.clear();
    const bool available = processor.hasCpuid();
    if (available) {
        const std::string vendor = probes::GetVendorText(processor);
        info.VendorID.fill('\0');
        std::copy_n(vendor.begin(), std::min(vendor.size(), info.VendorID.size()), info.VendorID.begin());
        const CpuidRegisters leaf1 = probes::QueryCPUID(processor, 1);
        info.Stepping = static_cast<int32_t>(leaf1.eax & 0xF);
        info.Model = static_cast<int32_t>(leaf1.eax >> 4 & 0xF);
        info.Family = static_cast<int32_t>(leaf1.eax >> 8 & 0xF);
        for (size_t index = 0; index < kFeatureBits.size(); ++index) {
            if (!kFeatureBits[index].extended) info.Features[index] = edxBit(leaf1.edx, kFeatureBits[index].edxBit);
        }
    }
    // A record that once held an AMD identification keeps its vendor text, so the
    // AMD step asks for the instruction first.
    const bool amd = available && info.IDString() == kAMDVendor &&
                     (probes::QueryCPUID(processor, kExtendedRange).eax & 0xFF) != 0;
    const uint32_t extendedEdx = amd ? probes::QueryCPUID(processor, kExtendedFeatures).edx : 0;
    for (size_t index = 0; index < kFeatureBits.size(); ++index) {
        if (kFeatureBits[index].extended) info.Features[index] = edxBit(extendedEdx, kFeatureBits[index].edxBit);
    }
    if (amd) info.CPUName = probes::GetBrandText(processor);
    return processor.hasCpuid();
}

// ---------------------------------------------------------------- TGrellCPUInfoObject

TGrellCPUInfoObject::TGrellCPUInfoObject(platform::Processor& processor) : processor_(processor) {
    GetCPUInfo(processor_, info_);
}

void TGrellCPUInfoObject::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("IDString", info_.IDString())
        .integer("Stepping", info_.Stepping)
        .integer("Model", info_.Model)
        .integer("Family", info_.Family);
    publishFeatures(table, info_, "SysCallAndSysRet", 0);
    table.string("CPUName", info_.CPUName).boolean("ExistCPUInfo", ExistCPUInfo());
}

// ---------------------------------------------------------------- TGrellSysProcessorObject

void TGrellSysProcessorObject::publishProperties(PropertyTable& table) const {
    TGrellSysObject::publishProperties(table);
    table.integer("Count", count_, "Byte")
        .integer("ProcessorUsage", usage_, "Byte")
        .object("ProcessorsInfo", &processors_)
        .string("IDString", info_.IDString())
        .string("CPUName", info_.CPUName)
        .integer("Stepping", info_.Stepping)
        .integer("Model", info_.Model)
        .integer("Family", info_.Family);
    publishFeatures(table, info_, kGrellFeatureNames[kSysCallIndex], 0);
    table.boolean("ExistCPUInfo", ExistCPUInfo());
}

void TGrellSysProcessorObject::readRegistryProcessors() {
    processors_.clear();
    CreateRegistry();
    SetRegistryRootKey(platform::RootKey::LocalMachine);
    const std::string base = std::string(probes::kHardwareDescriptionKey) + std::string(kCentralProcessorKey);
    for (int number = 0; Registry()->keyExists(base + std::to_string(number)); ++number) {
        TGrellProcessorItem& item = *processors_.Add();
        if (OpenRegistryKey(base + std::to_string(number))) {
            // A value of another kind raises the reader's error.
            item.Identifier = Registry()->readString("Identifier");
            item.VendorIdentifier = Registry()->readString("VendorIdentifier");
            item.MHz = Registry()->valueExists("~MHz") ? Registry()->readInteger("~MHz") : -1;
        }
        CloseRegistryKey();
    }
    FreeRegistry();
}

void TGrellSysProcessorObject::measureUsageNT() {
    usage_ = kUsageNotMeasured;
    platform::System& system = platform().system();
    const auto basic = system.nativeSystemInformation(kBasicInformation, kBasicInformationSize);
    if (!basic || basic->size() <= kProcessorCountOffset) return;
    count_ = (*basic)[kProcessorCountOffset];
    std::optional<TimesReading> previous;
    for (int reading = 0; reading < kUsageReadings; ++reading) {
        const std::optional<TimesReading> current = readTimes(system);
        if (!current) return;
        if (previous) {
            if (const std::optional<uint8_t> usage = usagePercent(*previous, *current, count_)) usage_ = *usage;
        }
        previous = current;
        platform().processor().sleep(kUsagePauseMs);
    }
}

void TGrellSysProcessorObject::readUsage9x() {
    usage_ = kUsageNotMeasured;
    count_ = 1;
    try {
        probes::PerfStatStart(platform(), kCPUUsageCounter);
    } catch (const Exception&) {
        return;  // no statistics on this system
    }
    const int64_t usage = probes::PerfStatRead(platform(), kCPUUsageCounter);
    if (usage >= 0) usage_ = static_cast<uint8_t>(std::min<int64_t>(usage & 0xFF, 100));
    probes::PerfStatStop(platform(), kCPUUsageCounter);
}

void TGrellSysProcessorObject::Retrieve() {
    readRegistryProcessors();
    GetCPUInfo(platform().processor(), info_);
    if (probes::IsNTLine(platform())) {
        measureUsageNT();
    } else {
        readUsage9x();
    }
}

// ---------------------------------------------------------------- TGrellSysProcessor

TGrellSysProcessor::TGrellSysProcessor(TComponent* owner, platform::Platform& platform)
    : TGrellSysBaseComponent(owner) {
    auto processor = std::make_unique<TGrellSysProcessorObject>(platform);
    processor_ = processor.get();
    SetInformationObject(std::move(processor));
}

void TGrellSysProcessor::publishProperties(PropertyTable& table) const {
    TGrellSysBaseComponent::publishProperties(table);
    table.object("Processor", processor_);
}

}  // namespace vardak::grell
