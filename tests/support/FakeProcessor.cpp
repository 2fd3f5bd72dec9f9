#include "tests/support/FakeProcessor.h"

namespace vardak::testing {

platform::CpuidRegisters FakeProcessor::cpuid(uint32_t leaf, uint32_t subleaf) {
    queries.emplace_back(leaf, subleaf);
    const auto key = std::make_pair(leaf, subleaf);
    const auto found = answers_.find(key);
    if (found == answers_.end() || found->second.empty()) {
        return unscriptedAnswer;
    }
    const std::vector<platform::CpuidRegisters>& sequence = found->second;
    size_t& call = calls_[key];
    const size_t index = call < sequence.size() ? call : sequence.size() - 1;
    ++call;
    return sequence[index];
}

void FakeProcessor::setLeaf(uint32_t leaf, platform::CpuidRegisters registers, uint32_t subleaf) {
    answers_[{leaf, subleaf}] = {registers};
}

uint32_t FakeProcessor::wordOf(std::string_view text, size_t offset) {
    uint32_t word = 0;
    for (size_t index = 0; index < 4; ++index) {
        const size_t position = offset + index;
        const auto byte = position < text.size() ? static_cast<uint8_t>(text[position]) : uint8_t{0};
        word |= uint32_t{byte} << (8 * index);
    }
    return word;
}

void FakeProcessor::setVendor(uint32_t highestLeaf, std::string_view vendorText) {
    setLeaf(0, {highestLeaf, wordOf(vendorText, 0), wordOf(vendorText, 8), wordOf(vendorText, 4)});
}

void FakeProcessor::setBrand(std::string_view brand) {
    for (uint32_t part = 0; part < 3; ++part) {
        const size_t offset = part * 16;
        setLeaf(0x80000002 + part,
                {wordOf(brand, offset), wordOf(brand, offset + 4), wordOf(brand, offset + 8), wordOf(brand, offset + 12)});
    }
}

void FakeProcessor::setLeafSequence(uint32_t leaf, std::vector<platform::CpuidRegisters> sequence) {
    answers_[{leaf, 0}] = std::move(sequence);
}

uint64_t FakeProcessor::timeStampCounter() {
    ++timeStampReads;
    if (!timeStampReadings.empty()) {
        lastTimeStamp_ = timeStampReadings.front();
        timeStampReadings.pop_front();
    }
    return lastTimeStamp_;
}

uint64_t FakeProcessor::performanceCounter() {
    ++counterReads;
    if (!counterReadings.empty()) {
        lastCounter_ = counterReadings.front();
        counterReadings.pop_front();
    } else {
        lastCounter_ += counterStepAfterEnd;
    }
    return lastCounter_;
}

void FakeProcessor::setThreadPriority(int newPriority) {
    priorityChanges.push_back(newPriority);
    if (priority) {
        priority = newPriority;
    }
}

double FakeProcessor::divide(double dividend, double divisor) {
    divisions.emplace_back(dividend, divisor);
    return scriptedQuotient.value_or(dividend / divisor);
}

}  // namespace vardak::testing
