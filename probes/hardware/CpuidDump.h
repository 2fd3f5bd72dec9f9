// Raw CPUID dumps in the text format `cpuid_tool --save` writes, and a processor that
// answers from one, so the CPU probe can decode a processor that is not the one it
// runs on.
//
//   version=0.6.2
//
//   _________________ Logical CPU #0 _________________
//   basic_cpuid[0]=0000000d 68747541 444d4163 69746e65     leaf 0: EAX EBX ECX EDX
//   ...
//   ext_cpuid[0]=80000008 ...                              leaf 0x80000000
//   intel_fn4[0]=...                                       leaf 4, sub-leaf 0
//
// Only the first logical processor is read. Lists the reader does not know are
// checked for their form and otherwise ignored.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "framework/Exception.h"
#include "platform/Processor.h"

namespace vardak::probes {

// A dump that cannot be read; the message names the line.
class ECpuidDumpError : public Exception {
public:
    ECpuidDumpError(size_t line, const std::string& problem);
    std::string_view className() const noexcept override { return "ECpuidDumpError"; }
    // 1-based; the line after the last one for a dump that ends too early.
    size_t line() const { return line_; }

private:
    size_t line_;
};

class CpuidDump {
public:
    // Raises ECpuidDumpError for anything but a complete, well-formed dump.
    static CpuidDump parse(std::string_view text);

    // The registers saved for a leaf and sub-leaf, or nothing.
    std::optional<platform::CpuidRegisters> registers(uint32_t leaf, uint32_t subleaf) const;

private:
    std::map<std::pair<uint32_t, uint32_t>, platform::CpuidRegisters> leaves_;
};

// A processor that answers CPUID from a dump. It has no counters: nothing was
// measured, so the clock reads 0, and the processor count is 0 as well.
class DumpedProcessor final : public platform::Processor {
public:
    explicit DumpedProcessor(CpuidDump dump) : dump_(std::move(dump)) {}

    uint32_t count() override { return 0; }
    bool hasCpuid() override { return true; }
    platform::CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf) override;
    uint64_t timeStampCounter() override { return 0; }
    std::optional<uint64_t> performanceFrequency() override { return std::nullopt; }
    uint64_t performanceCounter() override { return 0; }
    std::optional<int> threadPriority() override { return std::nullopt; }
    void setThreadPriority(int) override {}
    void sleep(uint32_t) override {}
    double divide(double dividend, double divisor) override;

private:
    CpuidDump dump_;
};

}  // namespace vardak::probes
