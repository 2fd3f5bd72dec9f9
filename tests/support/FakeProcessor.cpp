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
