// Multimedia devices for tests: per kind, the capability record of each device id,
// or nothing for an id whose query fails.
//
//   machine.multimediaFake.devices[MultimediaKind::WaveOut] = {
//       FakeMultimedia::record(52, "SB Live! Wave Out", 0x050A)};
#pragma once

#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Bytes.h"
#include "platform/Multimedia.h"

namespace vardak::testing {

class FakeMultimedia : public platform::Multimedia {
public:
    using Record = std::optional<std::vector<uint8_t>>;

    // The number of records listed for the kind.
    uint32_t deviceCount(platform::MultimediaKind kind) override {
        return devices.contains(kind) ? static_cast<uint32_t>(devices[kind].size()) : 0;
    }
    Record capabilities(platform::MultimediaKind kind, uint32_t id) override {
        return id < deviceCount(kind) ? devices[kind][id] : std::nullopt;
    }

    // A capability record of `size` bytes laid out as the system's: manufacturer and
    // product ids, the driver version at offset 4 and the product name in the 32
    // bytes from offset 8, then zeros. A name of 32 characters fills its field
    // without a NUL.
    static std::vector<uint8_t> record(size_t size, std::string_view productName, uint32_t driverVersion) {
        std::vector<uint8_t> bytes(size, 0);
        bytes::putLittleEndian(bytes, 0, 2, 1);  // a manufacturer id
        bytes::putLittleEndian(bytes, 2, 2, 2);  // a product id
        bytes::putLittleEndian(bytes, 4, 4, driverVersion);
        for (size_t index = 0; index < productName.size() && index < 32 && 8 + index < size; ++index) {
            bytes[8 + index] = static_cast<uint8_t>(productName[index]);
        }
        return bytes;
    }

    std::map<platform::MultimediaKind, std::vector<Record>> devices;
};

}  // namespace vardak::testing
