// The processor through the instructions themselves and kernel32.
#pragma once

#include "platform/Processor.h"

namespace vardak::win32 {

class Win32Processor final : public platform::Processor {
public:
    uint32_t count() override;
    bool hasCpuid() override;
    platform::CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf) override;
    uint64_t timeStampCounter() override;
    std::optional<uint64_t> performanceFrequency() override;
    uint64_t performanceCounter() override;
    std::optional<int> threadPriority() override;
    void setThreadPriority(int priority) override;
    void sleep(uint32_t milliseconds) override;
    double divide(double dividend, double divisor) override;
};

}  // namespace vardak::win32
