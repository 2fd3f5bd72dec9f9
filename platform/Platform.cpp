#include "platform/Platform.h"

#include <algorithm>

#include "platform/Bytes.h"

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
    value.data.resize(4);
    bytes::putLittleEndian(value.data, 0, 4, number);
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
    return bytes::textUpToNul(data);
}

std::optional<uint32_t> RegValue::dword() const {
    if (type != ValueType::DWord || data.size() != 4) {
        return std::nullopt;
    }
    return bytes::le32(data, 0);
}

}  // namespace vardak::platform
