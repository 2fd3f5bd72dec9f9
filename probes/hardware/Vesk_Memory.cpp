#include "probes/hardware/Vesk_Memory.h"

#include <optional>

#include "framework/Exception.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::probes {
namespace {

using platform::FreeResourcesStatus;

// What the NT line, which has no 16-bit heaps, reports as free.
constexpr uint16_t kFreeResourcesWithoutHeaps = 90;

// Sizes above the signed 64-bit range cannot occur; keep them at its end all the same.
int64_t bytes(uint64_t size) {
    constexpr uint64_t kLargest = static_cast<uint64_t>(INT64_MAX);
    return static_cast<int64_t>(size > kLargest ? kLargest : size);
}

}  // namespace

uint16_t GetFreeSystemResources16(platform::Platform& platform, TResourceKind kind) {
    if (IsNTLine(platform)) {
        return kFreeResourcesWithoutHeaps;
    }
    const platform::FreeResources16 answer =
        platform.system().freeSystemResources16(static_cast<uint16_t>(kind));
    switch (answer.status) {
        case FreeResourcesStatus::Ok:
            return answer.percentFree;
        case FreeResourcesStatus::CannotLoadUser:
            throw Exception("Can't load USER.EXE!");
        case FreeResourcesStatus::NoEntry:
            throw Exception("Can't get address of GetFreeSystemResources");
        case FreeResourcesStatus::NotAvailable:
            break;
    }
    return kFreeResourcesWithoutHeaps;
}

// ---------------------------------------------------------------- TResources

void TResources::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("System", system_, "Byte").integer("GDI", gdi_, "Byte").integer("User", user_, "Byte");
}

void TResources::GetInfo() {
    system_ = static_cast<uint8_t>(GetFreeSystemResources16(platform_, TResourceKind::System));
    user_ = static_cast<uint8_t>(GetFreeSystemResources16(platform_, TResourceKind::User));
    gdi_ = static_cast<uint8_t>(GetFreeSystemResources16(platform_, TResourceKind::GDI));
}

// ---------------------------------------------------------------- TMemory

TMemory::TMemory(platform::Platform& platform) : platform_(platform), resources_(platform) {}

void TMemory::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
        .int64("PhysicalTotal", physicalTotal_)
        .int64("PhysicalFree", physicalFree_)
        .int64("VirtualTotal", virtualTotal_)
        .int64("VirtualFree", virtualFree_)
        .int64("PageFileTotal", pageFileTotal_)
        .int64("PageFileFree", pageFileFree_)
        .integer("MemoryLoad", memoryLoad_)
        .integer("AllocGranularity", allocGranularity_)
        .integer("MaxAppAddress", maxAppAddress_)
        .integer("MinAppAddress", minAppAddress_)
        .integer("PageSize", pageSize_)
        .object("Resources", &resources_);
}

void TMemory::GetInfo() {
    CallGetInfo(platform_.ui(), "TResources.GetInfo", exceptionMode_, &TResources::GetInfo, resources_);
    readMemoryStatus();
    readSystemInformation();
}

void TMemory::readMemoryStatus() {
    if (const std::optional<platform::MemoryStatusEx> status = platform_.system().memoryStatusEx()) {
        usedExtendedStatus_ = true;
        memoryLoad_ = static_cast<int32_t>(status->memoryLoad);
        physicalTotal_ = bytes(status->totalPhys);
        physicalFree_ = bytes(status->availPhys);
        pageFileTotal_ = bytes(status->totalPageFile);
        pageFileFree_ = bytes(status->availPageFile);
        virtualTotal_ = bytes(status->totalVirtual);
        virtualFree_ = bytes(status->availVirtual);
        return;
    }
    const platform::MemoryStatus status = platform_.system().memoryStatus();
    usedExtendedStatus_ = false;
    memoryLoad_ = static_cast<int32_t>(status.memoryLoad);
    physicalTotal_ = status.totalPhys;
    physicalFree_ = status.availPhys;
    pageFileTotal_ = status.totalPageFile;
    pageFileFree_ = status.availPageFile;
    virtualTotal_ = status.totalVirtual;
    virtualFree_ = status.availVirtual;
}

void TMemory::readSystemInformation() {
    const platform::SystemInformation info = platform_.system().systemInformation();
    pageSize_ = static_cast<int32_t>(info.pageSize);
    minAppAddress_ = static_cast<int32_t>(info.minimumApplicationAddress);
    maxAppAddress_ = static_cast<int32_t>(info.maximumApplicationAddress);
    allocGranularity_ = static_cast<int32_t>(info.allocationGranularity);
}

void TMemory::Report(TStrings& report) const {
    addReportSection(report, "Memory");
    addReportEntry(report, "PhysMemTotal", physicalTotal_);
    addReportEntry(report, "PhysMemFree", physicalFree_);
    addReportEntry(report, "PageFileTotal", pageFileTotal_);
    addReportEntry(report, "PageFileFree", pageFileFree_);
    addReportEntry(report, "VirtMemTotal", virtualTotal_);
    addReportEntry(report, "VirtMemFree", virtualFree_);
    addReportEntry(report, "AllocGranularity", allocGranularity_);
    addReportEntry(report, "MinAppAddress", Format("%x", {static_cast<uint32_t>(minAppAddress_)}));
    addReportEntry(report, "MaxAppAddress", Format("%x", {static_cast<uint32_t>(maxAppAddress_)}));
    addReportEntry(report, "PageSize", pageSize_);
}

}  // namespace vardak::probes
