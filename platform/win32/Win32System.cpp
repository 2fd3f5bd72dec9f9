#include "platform/win32/Win32System.h"

#include "platform/win32/Win32FreeResources16.h"
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

// The record every Windows version accepts, 95 included, and the extended one.
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOEXA) == 156);

// The fields both records share.
template <typename Record>
OSVersionInfo basicRecordOf(const Record& record) {
    OSVersionInfo info;
    info.major = record.dwMajorVersion;
    info.minor = record.dwMinorVersion;
    info.build = record.dwBuildNumber;
    info.platform = static_cast<PlatformId>(record.dwPlatformId);
    info.csdVersion.assign(record.szCSDVersion, strnlen(record.szCSDVersion, sizeof(record.szCSDVersion)));
    return info;
}

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
    return basicRecordOf(record);
}

std::optional<platform::OSVersionInfoEx> Win32System::versionInfoEx() {
    OSVERSIONINFOEXA record{};
    record.dwOSVersionInfoSize = sizeof(record);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) {
        return std::nullopt;
    }
    platform::OSVersionInfoEx info;
    info.basic = basicRecordOf(record);
    info.servicePackMajor = record.wServicePackMajor;
    info.servicePackMinor = record.wServicePackMinor;
    info.suiteMask = record.wSuiteMask;
    info.productType = record.wProductType;
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

platform::SystemInformation Win32System::systemInformation() {
    SYSTEM_INFO raw{};
    GetSystemInfo(&raw);
    platform::SystemInformation info;
    info.pageSize = raw.dwPageSize;
    info.minimumApplicationAddress =
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(raw.lpMinimumApplicationAddress));
    info.maximumApplicationAddress =
        static_cast<uint32_t>(reinterpret_cast<uintptr_t>(raw.lpMaximumApplicationAddress));
    info.allocationGranularity = raw.dwAllocationGranularity;
    info.processorType = raw.dwProcessorType;
    return info;
}

platform::FreeResources16 Win32System::freeSystemResources16(uint16_t kind) {
    return queryFreeSystemResources16(kind);
}

uint32_t Win32System::tickCount() { return GetTickCount(); }

platform::SystemTime Win32System::localTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string Win32System::dateTimeText(const platform::SystemTime& moment, bool withTime) {
    const SYSTEMTIME time{moment.year, moment.month, moment.dayOfWeek, moment.day,
                          moment.hour, moment.minute, moment.second, moment.milliseconds};
    char buffer[256];
    std::string text;
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, sizeof buffer) > 0) {
        text = buffer;
    }
    if (withTime && GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, sizeof buffer) > 0) {
        text += " ";
        text += buffer;
    }
    return text;
}

std::vector<uint8_t> Win32System::keyboardState() {
    std::vector<uint8_t> keys(256, 0);
    if (!GetKeyboardState(keys.data())) {
        // Without a message queue the thread state may be unavailable; ask key by key.
        for (int key = 0; key < 256; ++key) {
            const SHORT state = GetKeyState(key);
            keys[key] = static_cast<uint8_t>(((state & 0x8000) != 0 ? 0x80 : 0) | (state & 1));
        }
    }
    return keys;
}

namespace {

using CreateJobObjectFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPCSTR);
using AssignProcessToJobObjectFn = BOOL(WINAPI*)(HANDLE, HANDLE);
using TerminateJobObjectFn = BOOL(WINAPI*)(HANDLE, UINT);

// A job that holds the command and what it starts, where the system has jobs.
UniqueHandle createJob() {
    const auto create = kernelEntry<CreateJobObjectFn>("CreateJobObjectA");
    return UniqueHandle(create != nullptr ? create(nullptr, nullptr) : nullptr);
}

}  // namespace

platform::CommandRun Win32System::runCommand(const std::string& commandLine, uint32_t timeoutMs) {
    platform::CommandRun run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    // No "insert a disk" or crash boxes from the command either.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    const BOOL created = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                                        CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED, nullptr,
                                        nullptr, &startup, &process);
    SetErrorMode(previousMode);
    if (!created) {
        return run;
    }
    run.started = true;
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    const UniqueHandle job = createJob();
    const auto assign = kernelEntry<AssignProcessToJobObjectFn>("AssignProcessToJobObject");
    const bool inJob = job && assign != nullptr && assign(job.get(), processHandle.get());
    ResumeThread(threadHandle.get());
    if (WaitForSingleObject(processHandle.get(), timeoutMs) != WAIT_OBJECT_0) {
        run.timedOut = true;
        const auto terminateJob = kernelEntry<TerminateJobObjectFn>("TerminateJobObject");
        if (inJob && terminateJob != nullptr) {
            terminateJob(job.get(), 1);
        } else {
            TerminateProcess(processHandle.get(), 1);
        }
        WaitForSingleObject(processHandle.get(), 5000);
        return run;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    run.exitCode = exitCode;
    return run;
}

std::string Win32System::errorMessage(uint32_t code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text - 1, nullptr);
    // The system's texts end with a line end.
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= ' ') {
        --length;
    }
    return std::string(text, length);
}

}  // namespace vardak::win32

namespace vardak::win32 {
namespace {

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG infoClass, PVOID buffer, ULONG length, PULONG returned);

constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
// No information class the programs ask for comes near this.
constexpr ULONG kLargestNativeInformation = 64 * 1024;

NtQuerySystemInformationFn nativeQuery() {
    static const auto entry = moduleEntry<NtQuerySystemInformationFn>("ntdll.dll", "NtQuerySystemInformation");
    return entry;
}

}  // namespace

std::optional<std::vector<uint8_t>> Win32System::nativeSystemInformation(uint32_t infoClass, uint32_t length) {
    const NtQuerySystemInformationFn query = nativeQuery();
    if (query == nullptr || length == 0 || length > kLargestNativeInformation) return std::nullopt;
    std::vector<uint8_t> buffer(length, 0);
    ULONG returned = 0;
    LONG status = query(infoClass, buffer.data(), static_cast<ULONG>(buffer.size()), &returned);
    // Later systems' records are longer than the ones of their ancestors.
    if (status == kInfoLengthMismatch && returned > buffer.size() && returned <= kLargestNativeInformation) {
        buffer.assign(returned, 0);
        status = query(infoClass, buffer.data(), static_cast<ULONG>(buffer.size()), &returned);
    }
    if (status < 0) return std::nullopt;
    buffer.resize(std::min<size_t>(buffer.size(), returned == 0 ? buffer.size() : returned));
    return buffer;
}

}  // namespace vardak::win32
