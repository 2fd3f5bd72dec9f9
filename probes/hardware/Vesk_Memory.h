// The memory probe: physical memory, page file and the process's virtual address
// space, the allocation granularity, page size and application address range, and
// on the 95/98 line the free share of the three 16-bit resource heaps (TResources).
//
// Sizes come from the extended (64-bit) memory-status query wherever the system has
// it, so machines with more than 4 GB, and every Windows after XP, show their real
// totals; only systems without it (95, 98, Me, NT 4) use the legacy 32-bit record.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

// The heap kinds of the 16-bit free-resources query.
enum class TResourceKind : uint16_t { System = 0, GDI = 1, User = 2 };

// The percentage of a 16-bit resource heap that is free. The NT line has no such
// heaps and always answers 90, as does any system without the 16-bit subsystem.
// Raises Exception "Can't load USER.EXE!" or "Can't get address of
// GetFreeSystemResources" when the 95/98 query fails. Needs the shared routines started.
uint16_t GetFreeSystemResources16(platform::Platform& platform, TResourceKind kind);

class TResources : public TPersistent {
public:
    explicit TResources(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TResources"; }
    void publishProperties(PropertyTable& table) const override;

    // System, then User, then GDI; a failing query keeps the values not yet read.
    void GetInfo();

    uint8_t System() const { return system_; }
    uint8_t GDI() const { return gdi_; }
    uint8_t User() const { return user_; }

private:
    platform::Platform& platform_;
    uint8_t system_ = 0;
    uint8_t gdi_ = 0;
    uint8_t user_ = 0;
};

class TMemory : public TPersistent {
public:
    explicit TMemory(platform::Platform& platform);

    std::string_view className() const override { return "TMemory"; }
    void publishProperties(PropertyTable& table) const override;

    // The resources under ExceptionMode, then the memory status and system information.
    void GetInfo();
    // Appends "[Memory]".
    void Report(TStrings& report) const;

    TExceptionMode ExceptionMode() const { return exceptionMode_; }
    void setExceptionMode(TExceptionMode mode) { exceptionMode_ = mode; }

    int64_t PhysicalTotal() const { return physicalTotal_; }
    int64_t PhysicalFree() const { return physicalFree_; }
    int64_t VirtualTotal() const { return virtualTotal_; }
    int64_t VirtualFree() const { return virtualFree_; }
    int64_t PageFileTotal() const { return pageFileTotal_; }
    int64_t PageFileFree() const { return pageFileFree_; }
    int32_t MemoryLoad() const { return memoryLoad_; }
    int32_t AllocGranularity() const { return allocGranularity_; }
    int32_t MaxAppAddress() const { return maxAppAddress_; }
    int32_t MinAppAddress() const { return minAppAddress_; }
    int32_t PageSize() const { return pageSize_; }
    const TResources& Resources() const { return resources_; }

    // Whether the last refresh read the extended (64-bit) status record.
    bool usedExtendedStatus() const { return usedExtendedStatus_; }

private:
    void readMemoryStatus();
    void readSystemInformation();

    platform::Platform& platform_;
    TExceptionMode exceptionMode_ = TExceptionMode::emMessage;
    int64_t physicalTotal_ = 0;
    int64_t physicalFree_ = 0;
    int64_t virtualTotal_ = 0;
    int64_t virtualFree_ = 0;
    int64_t pageFileTotal_ = 0;
    int64_t pageFileFree_ = 0;
    int32_t memoryLoad_ = 0;
    int32_t allocGranularity_ = 0;
    int32_t maxAppAddress_ = 0;
    int32_t minAppAddress_ = 0;
    int32_t pageSize_ = 0;
    TResources resources_;
    bool usedExtendedStatus_ = false;
};

}  // namespace vardak::probes
