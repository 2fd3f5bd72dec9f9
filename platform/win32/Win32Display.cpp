#include "platform/win32/Win32Display.h"

#include <windows.h>

namespace vardak::win32 {
namespace {

// The screen's context from GetDC(NULL), handed back with ReleaseDC.
class ScreenContext final : public platform::DeviceContext {
public:
    explicit ScreenContext(HDC dc) : dc_(dc) {}
    ~ScreenContext() override { ReleaseDC(nullptr, dc_); }
    ScreenContext(const ScreenContext&) = delete;
    ScreenContext& operator=(const ScreenContext&) = delete;

    int32_t capability(platform::DeviceCapability index) const override {
        return GetDeviceCaps(dc_, static_cast<int>(index));
    }

private:
    HDC dc_;
};

}  // namespace

std::unique_ptr<platform::DeviceContext> Win32Display::screenContext() {
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) {
        return nullptr;
    }
    return std::make_unique<ScreenContext>(dc);
}

std::optional<platform::DisplayMode> Win32Display::displayMode(uint32_t index) {
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsA(nullptr, index, &mode)) {
        return std::nullopt;
    }
    return platform::DisplayMode{mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
                                 mode.dmDisplayFrequency};
}

}  // namespace vardak::win32
