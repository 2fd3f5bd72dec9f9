#include "platform/Platform.h"

#include <algorithm>

namespace vardak::platform {

RegValue RegValue::fromString(const std::string& text, ValueType type) {
    RegValue value;
    value.type = type;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

RegValue RegValue::fromDWord(uint32_t number) {
    RegValue value;
    value.type = ValueType::DWord;
    for (int shift = 0; shift < 32; shift += 8) {
        value.data.push_back(static_cast<uint8_t>(number >> shift));
    }
    return value;
}

RegValue RegValue::fromBinary(std::vector<uint8_t> bytes) {
    RegValue value;
    value.type = ValueType::Binary;
    value.data = std::move(bytes);
    return value;
}

RegValue RegValue::fromMultiString(const std::vector<std::string>& texts) {
    RegValue value;
    value.type = ValueType::MultiString;
    for (const std::string& text : texts) {
        value.data.insert(value.data.end(), text.begin(), text.end());
        value.data.push_back(0);
    }
    value.data.push_back(0);
    return value;
}

std::string RegValue::textUpToNul() const {
    const auto end = std::find(data.begin(), data.end(), uint8_t{0});
    return std::string(data.begin(), end);
}

std::optional<uint32_t> RegValue::dword() const {
    if (type != ValueType::DWord || data.size() != 4) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

}  // namespace vardak::platform
