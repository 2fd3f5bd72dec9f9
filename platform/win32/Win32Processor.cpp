#include "platform/win32/Win32Processor.h"

#include <windows.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <x86intrin.h>
#define VARDAK_X86 1
#endif

namespace vardak::win32 {

uint32_t Win32Processor::count() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

bool Win32Processor::hasCpuid() {
#if defined(__i386__)
    // A 486 without CPUID cannot change the ID flag (bit 21) of EFLAGS.
    constexpr uint32_t kIdFlag = 0x00200000;
    uint32_t original = 0;
    uint32_t toggled = 0;
    asm volatile(
        "pushfl\n\t"
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl %2, %1\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %1\n\t"
        "popfl"
        : "=&r"(original), "=&r"(toggled)
        : "i"(kIdFlag)
        : "cc");
    return ((original ^ toggled) & kIdFlag) != 0;
#elif defined(__x86_64__)
    return true;
#else
    return false;
#endif
}

platform::CpuidRegisters Win32Processor::cpuid(uint32_t leaf, uint32_t subleaf) {
    platform::CpuidRegisters registers;
#if VARDAK_X86
    __cpuid_count(leaf, subleaf, registers.eax, registers.ebx, registers.ecx, registers.edx);
#endif
    return registers;
}

uint64_t Win32Processor::timeStampCounter() {
#if VARDAK_X86
    return __rdtsc();
#else
    return 0;
#endif
}

std::optional<uint64_t> Win32Processor::performanceFrequency() {
    LARGE_INTEGER frequency{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(frequency.QuadPart);
}

uint64_t Win32Processor::performanceCounter() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<uint64_t>(counter.QuadPart);
}

std::optional<int> Win32Processor::threadPriority() {
    const int priority = GetThreadPriority(GetCurrentThread());
    if (priority == THREAD_PRIORITY_ERROR_RETURN) {
        return std::nullopt;
    }
    return priority;
}

void Win32Processor::setThreadPriority(int priority) {
    SetThreadPriority(GetCurrentThread(), priority);
}

void Win32Processor::sleep(uint32_t milliseconds) { Sleep(milliseconds); }

double Win32Processor::divide(double dividend, double divisor) {
    // Through volatile, so the division happens on this processor at run time.
    volatile double x = dividend;
    volatile double y = divisor;
    return x / y;
}

}  // namespace vardak::win32
