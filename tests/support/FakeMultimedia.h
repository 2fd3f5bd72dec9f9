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

#include "platform/Multimedia.h"

namespace vardak::testing {

class FakeMultimedia : public platform::Multimedia {
public:
    using Record = std::optional<std::vector<uint8_t>>;

    // The number of records listed for the kind.
    uint32_t deviceCount(platform::MultimediaKind kind) override;
    Record capabilities(platform::MultimediaKind kind, uint32_t id) override;

    // A capability record of `size` bytes laid out as the system's: manufacturer and
    // product ids, the driver version at offset 4 and the product name in the 32
    // bytes from offset 8, then zeros. A name of 32 characters fills its field
    // without a NUL.
    static std::vector<uint8_t> record(size_t size, std::string_view productName, uint32_t driverVersion);

    std::map<platform::MultimediaKind, std::vector<Record>> devices;
};

}  // namespace vardak::testing
