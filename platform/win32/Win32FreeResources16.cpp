#include "platform/win32/Win32FreeResources16.h"

#include <windows.h>

#include "platform/win32/WinHandles.h"

// Calls a 16-bit far procedure with one WORD argument through QT_Thunk and returns
// its 16-bit result. QT_Thunk takes the procedure's 16:16 address in EDX and copies
// the arguments between ESP and EBP - 0x40 to the 16-bit stack, so the frame holds
// exactly 0x40 bytes below EBP when the argument is pushed; the Pascal-convention
// callee pops it, and QT_Thunk moves ESP past it.
//   uint32_t vardak_call_thunk16(void* qtThunk, uint32_t procedure16, uint32_t argument)
extern "C" uint32_t vardakCallThunk16(void* qtThunk, uint32_t procedure16, uint32_t argument) __asm__(
    "vardak_call_thunk16");

#if defined(__i386__)
__asm__(
    ".text\n"
    ".globl vardak_call_thunk16\n"
    "vardak_call_thunk16:\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    subl $0x40, %esp\n"
    // Arguments above the four saved registers and the return address.
    "    movl 28(%ebp), %eax\n"
    "    pushw %ax\n"
    "    movl 24(%ebp), %edx\n"
    "    movl 20(%ebp), %ecx\n"
    "    call *%ecx\n"
    "    movzwl %ax, %eax\n"
    "    movl %ebp, %esp\n"
    "    popl %ebp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    ret\n");
#endif

namespace vardak::win32 {
namespace {

using platform::FreeResources16;
using platform::FreeResourcesStatus;

// The kernel's 16-bit module functions, exported by ordinal only.
constexpr WORD kLoadLibrary16Ordinal = 35;
constexpr WORD kFreeLibrary16Ordinal = 36;
constexpr WORD kGetProcAddress16Ordinal = 37;
// A 16-bit loader result below this is an error code.
constexpr uint16_t kFirstModuleHandle = 32;

using LoadLibrary16Fn = uint16_t(WINAPI*)(LPCSTR);
using FreeLibrary16Fn = void(WINAPI*)(uint16_t);
using GetProcAddress16Fn = DWORD(WINAPI*)(uint16_t, LPCSTR);

bool isWindows9x() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

template <typename Function>
Function kernelOrdinal(WORD ordinal) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(kernel, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

FreeResources16 queryFreeSystemResources16(uint16_t kind) {
#if defined(__i386__)
    if (!isWindows9x()) {
        return {};
    }
    const auto loadLibrary16 = kernelOrdinal<LoadLibrary16Fn>(kLoadLibrary16Ordinal);
    const auto freeLibrary16 = kernelOrdinal<FreeLibrary16Fn>(kFreeLibrary16Ordinal);
    const auto getProcAddress16 = kernelOrdinal<GetProcAddress16Fn>(kGetProcAddress16Ordinal);
    void* const qtThunk = reinterpret_cast<void*>(kernelEntry<void (*)()>("QT_Thunk"));
    if (loadLibrary16 == nullptr || freeLibrary16 == nullptr || getProcAddress16 == nullptr ||
        qtThunk == nullptr) {
        return {};
    }
    const uint16_t user = loadLibrary16("user.exe");
    if (user < kFirstModuleHandle) {
        return {FreeResourcesStatus::CannotLoadUser, 0};
    }
    const DWORD procedure = getProcAddress16(user, "GetFreeSystemResources");
    freeLibrary16(user);
    if (procedure == 0) {
        return {FreeResourcesStatus::NoEntry, 0};
    }
    return {FreeResourcesStatus::Ok, static_cast<uint16_t>(vardakCallThunk16(qtThunk, procedure, kind))};
#else
    (void)kind;
    return {};
#endif
}

}  // namespace vardak::win32
