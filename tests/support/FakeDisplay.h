// A scripted screen for tests: capability values by index, the driver's mode list,
// and a count of the screen contexts handed out and not yet released.
//
//   FakeDisplay screen;
//   screen.poseAsScreen(1024, 768, 32);
//   screen.capabilities[platform::DeviceCapability::TextCaps] = 0x7807;
//   screen.modes = {{640, 480, 8, 60}, {1024, 768, 32, 60}};
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Display.h"

namespace vardak::testing {

class FakeDisplay : public platform::Display {
public:
    std::unique_ptr<platform::DeviceContext> screenContext() override;
    std::optional<platform::DisplayMode> displayMode(uint32_t index) override;

    // Sets the resolution, the colour depth and a raster display's technology code.
    void poseAsScreen(int32_t width, int32_t height, int32_t bitsPerPixel);

    // Indexes not listed answer 0.
    std::map<platform::DeviceCapability, int32_t> capabilities;
    std::vector<platform::DisplayMode> modes;
    bool screenAvailable = true;

    int contextsOpened = 0;
    int contextsOpen = 0;
    // Mode numbers asked for, in order.
    std::vector<uint32_t> modeQueries;
};

}  // namespace vardak::testing
