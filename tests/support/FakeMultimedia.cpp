#include "tests/support/FakeMultimedia.h"

#include "platform/Bytes.h"

namespace vardak::testing {

namespace {

constexpr size_t kDriverVersionOffset = 4;
constexpr size_t kProductNameOffset = 8;
constexpr size_t kProductNameField = 32;

}  // namespace

uint32_t FakeMultimedia::deviceCount(platform::MultimediaKind kind) {
    const auto found = devices.find(kind);
    return found == devices.end() ? 0 : static_cast<uint32_t>(found->second.size());
}

FakeMultimedia::Record FakeMultimedia::capabilities(platform::MultimediaKind kind, uint32_t id) {
    const auto found = devices.find(kind);
    if (found == devices.end() || id >= found->second.size()) {
        return std::nullopt;
    }
    return found->second[id];
}

std::vector<uint8_t> FakeMultimedia::record(size_t size, std::string_view productName, uint32_t driverVersion) {
    std::vector<uint8_t> bytes(size, 0);
    bytes::putLittleEndian(bytes, 0, 2, 1);  // a manufacturer id
    bytes::putLittleEndian(bytes, 2, 2, 2);  // a product id
    bytes::putLittleEndian(bytes, kDriverVersionOffset, 4, driverVersion);
    for (size_t index = 0; index < productName.size() && index < kProductNameField; ++index) {
        if (kProductNameOffset + index < size) {
            bytes[kProductNameOffset + index] = static_cast<uint8_t>(productName[index]);
        }
    }
    return bytes;
}

}  // namespace vardak::testing
