// The processor as the CPU probe sees it: the identification instruction, the
// time-stamp counter, the high-resolution performance counter, the calling thread's
// priority and the floating-point unit.
#pragma once

#include <cstdint>
#include <optional>

namespace vardak::platform {

// The four registers one CPUID query answers.
struct CpuidRegisters {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;

    bool operator==(const CpuidRegisters&) const = default;
};

// The thread priority the measurement raises the thread to.
constexpr int kTimeCriticalPriority = 15;

class Processor {
public:
    virtual ~Processor() = default;

    // Number of processors the system information query reports.
    virtual uint32_t count() = 0;

    // True when the CPUID instruction exists: the ID flag of EFLAGS can be changed.
    virtual bool hasCpuid() = 0;
    // Runs CPUID for a leaf and sub-leaf. Callers first make sure the instruction
    // exists and the leaf is within the range the processor reports.
    virtual CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf) = 0;
    // The time-stamp counter; only read when leaf 1 reports one.
    virtual uint64_t timeStampCounter() = 0;

    // Ticks per second of the performance counter; nothing where there is none.
    virtual std::optional<uint64_t> performanceFrequency() = 0;
    virtual uint64_t performanceCounter() = 0;

    // The calling thread's priority; nothing when it cannot be read.
    virtual std::optional<int> threadPriority() = 0;
    virtual void setThreadPriority(int priority) = 0;
    virtual void sleep(uint32_t milliseconds) = 0;

    // dividend / divisor on the floating-point unit in double precision, as the
    // division-flaw test needs it: never folded away by the compiler.
    virtual double divide(double dividend, double divisor) = 0;
};

}  // namespace vardak::platform
