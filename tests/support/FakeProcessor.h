// A scripted processor for tests: CPUID register sets per leaf and sub-leaf, and
// performance-counter and time-stamp readings handed out in order.
//
//   FakeProcessor cpu;
//   cpu.setLeaf(0, {1, 0x756E6547, 0x6C65746E, 0x49656E69});   // "GenuineIntel", max leaf 1
//   cpu.setLeaf(1, {0x00000543, 0, 0, 0x008001BF});
//   cpu.counterFrequency = 1'000'000;
//   cpu.counterReadings = {0, 50, 1050};
//   cpu.timeStampReadings = {0, 200'000};
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Processor.h"

namespace vardak::testing {

class FakeProcessor : public platform::Processor {
public:
    uint32_t count() override { return processorCount; }
    bool hasCpuid() override { return cpuidPresent; }
    platform::CpuidRegisters cpuid(uint32_t leaf, uint32_t subleaf) override;
    uint64_t timeStampCounter() override;
    std::optional<uint64_t> performanceFrequency() override { return counterFrequency; }
    uint64_t performanceCounter() override;
    std::optional<int> threadPriority() override { return priority; }
    void setThreadPriority(int newPriority) override;
    void sleep(uint32_t milliseconds) override { sleptMilliseconds += milliseconds; }
    double divide(double dividend, double divisor) override;

    // The answer to every call of a leaf (and sub-leaf).
    void setLeaf(uint32_t leaf, platform::CpuidRegisters registers, uint32_t subleaf = 0);
    // Leaf 0: the highest standard leaf and a 12-character vendor text.
    void setVendor(uint32_t highestLeaf, std::string_view vendorText);
    // Leaves 0x80000002..0x80000004: a brand text of at most 48 characters, NUL-padded.
    void setBrand(std::string_view brand);
    // The little-endian word of four characters of `text` from `offset` (NUL past its end).
    static uint32_t wordOf(std::string_view text, size_t offset);
    // Successive answers to successive calls; the last one repeats.
    void setLeafSequence(uint32_t leaf, std::vector<platform::CpuidRegisters> answers);

    uint32_t processorCount = 1;
    bool cpuidPresent = true;
    // What a leaf nobody scripted answers. Real Intel parts answer a leaf above the
    // highest one with the registers of the highest; tests put such garbage here.
    platform::CpuidRegisters unscriptedAnswer;
    // Every CPUID query, in order: leaf and sub-leaf.
    std::vector<std::pair<uint32_t, uint32_t>> queries;

    // Readings handed out in order. Once they run out, the counter moves on by
    // counterStepAfterEnd per read (so a spinning caller ends) and the time-stamp
    // counter stands still.
    std::optional<uint64_t> counterFrequency;
    std::deque<uint64_t> counterReadings;
    std::deque<uint64_t> timeStampReadings;
    uint64_t counterStepAfterEnd = 1'000'000;
    size_t counterReads = 0;
    size_t timeStampReads = 0;

    // Nothing: the priority cannot be read.
    std::optional<int> priority = 0;
    std::vector<int> priorityChanges;
    uint32_t sleptMilliseconds = 0;

    // Every division answers this quotient when set; the divisions asked are recorded.
    std::optional<double> scriptedQuotient;
    std::vector<std::pair<double, double>> divisions;

private:
    std::map<std::pair<uint32_t, uint32_t>, std::vector<platform::CpuidRegisters>> answers_;
    std::map<std::pair<uint32_t, uint32_t>, size_t> calls_;
    uint64_t lastCounter_ = 0;
    uint64_t lastTimeStamp_ = 0;
};

}  // namespace vardak::testing
