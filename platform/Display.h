// The display part of the platform seam: the capability queries of the screen's
// device context and the display modes the primary display's driver offers.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace vardak::platform {

// Indexes of the device-capability query (GetDeviceCaps), with the platform's numbers.
enum class DeviceCapability : int32_t {
    Technology = 2,
    HorzSize = 4,   // millimetres
    VertSize = 6,   // millimetres
    HorzRes = 8,    // pixels
    VertRes = 10,   // pixels
    BitsPixel = 12,
    Planes = 14,
    CurveCaps = 28,
    LineCaps = 30,
    PolygonalCaps = 32,
    TextCaps = 34,
    RasterCaps = 38,
    AspectX = 40,
    AspectY = 42,
    AspectXY = 44,
    LogPixelsY = 90,
};

// An open device context; it is released when the object is destroyed.
class DeviceContext {
public:
    virtual ~DeviceContext() = default;
    // The capability's value; 0 for an index the device does not know.
    virtual int32_t capability(DeviceCapability index) const = 0;
};

// One display mode (the platform's DEVMODE fields the probes read).
struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t frequency = 0;  // Hz; 0 or 1 for the hardware default

    bool operator==(const DisplayMode&) const = default;
};

class Display {
public:
    virtual ~Display() = default;
    // The device context of the whole screen, or nullptr when none can be had.
    virtual std::unique_ptr<DeviceContext> screenContext() = 0;
    // Mode number `index` of the primary display (EnumDisplaySettings), or nothing
    // past the last mode.
    virtual std::optional<DisplayMode> displayMode(uint32_t index) = 0;
};

}  // namespace vardak::platform
