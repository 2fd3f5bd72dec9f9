#include "platform/win32/Win32Firmware.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>

#include <cstring>

namespace vardak::win32 {
namespace {

using GetSystemFirmwareTableFn = UINT(WINAPI*)(DWORD, DWORD, PVOID, DWORD);

// The native API's records, as ntdll takes them.
struct NativeUnicodeString {
    USHORT length;
    USHORT maximumLength;
    PWSTR buffer;
};

struct NativeObjectAttributes {
    ULONG length;
    HANDLE rootDirectory;
    NativeUnicodeString* objectName;
    ULONG attributes;
    PVOID securityDescriptor;
    PVOID securityQualityOfService;
};

constexpr ULONG kCaseInsensitive = 0x40;
constexpr ACCESS_MASK kSectionMapRead = 4;
constexpr ULONG kViewShare = 1;

using ZwOpenSectionFn = LONG(NTAPI*)(HANDLE*, ACCESS_MASK, NativeObjectAttributes*);
using ZwMapViewOfSectionFn = LONG(NTAPI*)(HANDLE, HANDLE, PVOID*, ULONG_PTR, SIZE_T, LARGE_INTEGER*, SIZE_T*, ULONG,
                                          ULONG, ULONG);
using ZwUnmapViewOfSectionFn = LONG(NTAPI*)(HANDLE, PVOID);
using ZwCloseFn = LONG(NTAPI*)(HANDLE);

template <typename Function>
Function ntdllEntry(const char* name) {
    return moduleEntry<Function>("ntdll.dll", name);
}

}  // namespace

std::optional<std::vector<uint8_t>> Win32Firmware::systemFirmwareTable(uint32_t provider, uint32_t tableId) {
    if (!tablesEnabled_) return std::nullopt;
    const auto query = kernelEntry<GetSystemFirmwareTableFn>("GetSystemFirmwareTable");
    if (query == nullptr) return std::nullopt;
    const UINT size = query(provider, tableId, nullptr, 0);
    if (size == 0) return std::nullopt;
    std::vector<uint8_t> table(size);
    const UINT read = query(provider, tableId, table.data(), size);
    if (read == 0 || read > size) return std::nullopt;
    table.resize(read);
    return table;
}

platform::SectionRead Win32Firmware::readPhysicalMemory(uint32_t address, uint32_t size) {
    platform::SectionRead result;
    const auto open = ntdllEntry<ZwOpenSectionFn>("ZwOpenSection");
    const auto map = ntdllEntry<ZwMapViewOfSectionFn>("ZwMapViewOfSection");
    const auto unmap = ntdllEntry<ZwUnmapViewOfSectionFn>("ZwUnmapViewOfSection");
    const auto close = ntdllEntry<ZwCloseFn>("ZwClose");
    if (open == nullptr || map == nullptr || unmap == nullptr || close == nullptr) return result;

    wchar_t name[] = L"\\Device\\PhysicalMemory";
    NativeUnicodeString objectName{static_cast<USHORT>(sizeof name - sizeof(wchar_t)), static_cast<USHORT>(sizeof name),
                                   name};
    NativeObjectAttributes attributes{sizeof(NativeObjectAttributes), nullptr, &objectName, kCaseInsensitive, nullptr,
                                      nullptr};
    HANDLE section = nullptr;
    if (open(&section, kSectionMapRead, &attributes) < 0 || section == nullptr) return result;

    PVOID view = nullptr;
    LARGE_INTEGER offset;
    offset.QuadPart = address;
    SIZE_T viewSize = size;
    if (map(section, GetCurrentProcess(), &view, 0, size, &offset, &viewSize, kViewShare, 0, PAGE_READONLY) < 0 ||
        view == nullptr) {
        close(section);
        result.status = platform::SectionReadStatus::CannotMap;
        return result;
    }
    result.bytes.assign(static_cast<const uint8_t*>(view), static_cast<const uint8_t*>(view) + size);
    result.status = platform::SectionReadStatus::Read;
    unmap(GetCurrentProcess(), view);
    close(section);
    return result;
}

std::optional<std::vector<uint8_t>> Win32Firmware::copyLinearMemory(uint32_t address, uint32_t size) {
    const void* start = reinterpret_cast<const void*>(static_cast<uintptr_t>(address));
    if (size == 0 || IsBadReadPtr(start, size)) return std::nullopt;
    std::vector<uint8_t> bytes(size);
    std::memcpy(bytes.data(), start, size);
    return bytes;
}

}  // namespace vardak::win32
