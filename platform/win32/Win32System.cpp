#include "platform/win32/Win32System.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace vardak::win32 {
namespace {

using platform::MemoryStatus;
using platform::MemoryStatusEx;
using platform::OSVersionInfo;
using platform::PlatformId;

// The record every Windows version accepts, 95 included.
static_assert(sizeof(OSVERSIONINFOA) == 148);

// Folder and path texts; a longer answer is a broken system.
constexpr DWORD kLargestPathBuffer = 32 * 1024;

// Reads a text from the common "buffer and size in, length out" calls. `query`
// returns the text's length on success and, when the buffer is too small, the
// size it needs (the folder queries) or the buffer size itself (GetModuleFileName
// truncates); both make the buffer grow.
template <typename Query>
std::string queryText(Query query) {
    std::string buffer(MAX_PATH + 1, '\0');
    while (true) {
        const DWORD length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        if (buffer.size() >= kLargestPathBuffer) {
            return {};
        }
        buffer.resize(std::min<size_t>(std::max<size_t>(length + 1, buffer.size() * 2),
                                       kLargestPathBuffer));
    }
}

// Reads a name from calls that take the buffer size by pointer and report the
// size they need when it is too small (GetComputerNameA, GetUserNameA).
template <typename Query>
std::string queryName(DWORD firstSize, Query query) {
    std::string buffer(firstSize, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD size = static_cast<DWORD>(buffer.size());
        if (query(buffer.data(), &size)) {
            buffer.resize(strnlen(buffer.data(), buffer.size()));
            return buffer;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_BUFFER_OVERFLOW && error != ERROR_INSUFFICIENT_BUFFER) ||
            size <= buffer.size() || size > kLargestPathBuffer) {
            return {};
        }
        buffer.assign(size, '\0');
    }
    return {};
}

}  // namespace

OSVersionInfo Win32System::versionInfo() {
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof(record);
    if (!GetVersionExA(&record)) {
        return {};
    }
    OSVersionInfo info;
    info.major = record.dwMajorVersion;
    info.minor = record.dwMinorVersion;
    info.build = record.dwBuildNumber;
    info.platform = static_cast<PlatformId>(record.dwPlatformId);
    info.csdVersion.assign(record.szCSDVersion,
                           strnlen(record.szCSDVersion, sizeof(record.szCSDVersion)));
    return info;
}

std::string Win32System::computerName() {
    return queryName(MAX_COMPUTERNAME_LENGTH + 1,
                     [](char* buffer, DWORD* size) { return GetComputerNameA(buffer, size); });
}

std::string Win32System::userName() {
    // 256 characters is the longest user name (UNLEN) plus its NUL.
    return queryName(257, [](char* buffer, DWORD* size) { return GetUserNameA(buffer, size); });
}

std::string Win32System::windowsDirectory() {
    return queryText([](char* buffer, DWORD size) { return GetWindowsDirectoryA(buffer, size); });
}

std::string Win32System::systemDirectory() {
    return queryText([](char* buffer, DWORD size) { return GetSystemDirectoryA(buffer, size); });
}

std::string Win32System::tempDirectory() {
    return queryText([](char* buffer, DWORD size) { return GetTempPathA(size, buffer); });
}

std::string Win32System::programPath() {
    return queryText(
        [](char* buffer, DWORD size) { return GetModuleFileNameA(nullptr, buffer, size); });
}

std::string Win32System::environmentBlock() {
    char* const block = GetEnvironmentStrings();
    if (block == nullptr) {
        return std::string(1, '\0');
    }
    // Entries follow each other, each ended by its NUL, until an empty one.
    size_t end = 0;
    while (block[end] != '\0') {
        end += std::strlen(block + end) + 1;
    }
    std::string copy(block, end + 1);
    FreeEnvironmentStringsA(block);
    return copy;
}

MemoryStatus Win32System::memoryStatus() {
    MEMORYSTATUS raw{};
    raw.dwLength = sizeof(raw);
    GlobalMemoryStatus(&raw);
    MemoryStatus status;
    status.length = raw.dwLength;
    status.memoryLoad = raw.dwMemoryLoad;
    status.totalPhys = static_cast<uint32_t>(raw.dwTotalPhys);
    status.availPhys = static_cast<uint32_t>(raw.dwAvailPhys);
    status.totalPageFile = static_cast<uint32_t>(raw.dwTotalPageFile);
    status.availPageFile = static_cast<uint32_t>(raw.dwAvailPageFile);
    status.totalVirtual = static_cast<uint32_t>(raw.dwTotalVirtual);
    status.availVirtual = static_cast<uint32_t>(raw.dwAvailVirtual);
    return status;
}

std::optional<MemoryStatusEx> Win32System::memoryStatusEx() {
    using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);
    const auto query = kernelEntry<GlobalMemoryStatusExFn>("GlobalMemoryStatusEx");
    if (query == nullptr) {
        return std::nullopt;
    }
    MEMORYSTATUSEX raw{};
    raw.dwLength = sizeof(raw);
    if (!query(&raw)) {
        return std::nullopt;
    }
    MemoryStatusEx status;
    status.memoryLoad = raw.dwMemoryLoad;
    status.totalPhys = raw.ullTotalPhys;
    status.availPhys = raw.ullAvailPhys;
    status.totalPageFile = raw.ullTotalPageFile;
    status.availPageFile = raw.ullAvailPageFile;
    status.totalVirtual = raw.ullTotalVirtual;
    status.availVirtual = raw.ullAvailVirtual;
    status.availExtendedVirtual = raw.ullAvailExtendedVirtual;
    return status;
}

}  // namespace vardak::win32
