#include "tests/support/FakeUserSettings.h"

namespace vardak::testing {

namespace spi = platform::system_parameter;
using platform::SystemCallResult;

namespace {

// The get action that reads what a set action writes.
uint32_t getActionOf(uint32_t setAction) {
    return setAction == spi::kSetDragFullWindows ? spi::kGetDragFullWindows : setAction - 1;
}

}  // namespace

std::optional<uint32_t> FakeUserSettings::parameter(uint32_t action) {
    if (failingActions.count(action) != 0) return std::nullopt;
    const auto found = parameters.find(action);
    if (found == parameters.end()) return std::nullopt;
    return found->second;
}

SystemCallResult FakeUserSettings::setParameter(uint32_t action, uint32_t value) {
    writes.emplace_back(action, std::to_string(value));
    if (failingActions.count(action) != 0) return {false, failureCode};
    parameters[getActionOf(action)] = value;
    return {true, 0};
}

SystemCallResult FakeUserSettings::setMinimizeAnimation(int32_t animate) {
    writes.emplace_back(spi::kSetAnimation, std::to_string(animate));
    if (failingActions.count(spi::kSetAnimation) != 0) return {false, failureCode};
    animation = animate;
    return {true, 0};
}

SystemCallResult FakeUserSettings::toggleKey(uint8_t virtualKey) {
    toggledKeys.push_back(virtualKey);
    system_.keys.at(virtualKey) ^= 1;
    return {true, 0};
}

SystemCallResult FakeUserSettings::setKeyboardState(const std::vector<uint8_t>& keys) {
    ++keyboardStateWrites;
    if (keyboardStateFails) return {false, failureCode};
    system_.keys = keys;
    return {true, 0};
}

SystemCallResult FakeUserSettings::setLocaleInfo(uint32_t, uint32_t item, const std::string& text) {
    writes.emplace_back(item, text);
    if (failingLocaleItems.count(item) != 0) return {false, failureCode};
    locale_.items[item] = text;
    return {true, 0};
}

std::string FakeUserSettings::languageName(uint32_t language) {
    const auto found = languageNames.find(language);
    return found == languageNames.end() ? std::string() : found->second;
}

}  // namespace vardak::testing
