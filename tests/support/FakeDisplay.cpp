#include "tests/support/FakeDisplay.h"

namespace vardak::testing {
namespace {

class FakeContext final : public platform::DeviceContext {
public:
    explicit FakeContext(FakeDisplay& display) : display_(display) { ++display_.contextsOpen; }
    ~FakeContext() override { --display_.contextsOpen; }
    FakeContext(const FakeContext&) = delete;
    FakeContext& operator=(const FakeContext&) = delete;

    int32_t capability(platform::DeviceCapability index) const override {
        const auto found = display_.capabilities.find(index);
        return found == display_.capabilities.end() ? 0 : found->second;
    }

private:
    FakeDisplay& display_;
};

}  // namespace

std::unique_ptr<platform::DeviceContext> FakeDisplay::screenContext() {
    if (!screenAvailable) {
        return nullptr;
    }
    ++contextsOpened;
    return std::make_unique<FakeContext>(*this);
}

std::optional<platform::DisplayMode> FakeDisplay::displayMode(uint32_t index) {
    modeQueries.push_back(index);
    if (index >= modes.size()) {
        return std::nullopt;
    }
    return modes[index];
}

void FakeDisplay::poseAsScreen(int32_t width, int32_t height, int32_t bitsPerPixel) {
    constexpr int32_t kRasterDisplay = 1;
    capabilities[platform::DeviceCapability::HorzRes] = width;
    capabilities[platform::DeviceCapability::VertRes] = height;
    capabilities[platform::DeviceCapability::BitsPixel] = bitsPerPixel;
    capabilities[platform::DeviceCapability::Technology] = kRasterDisplay;
}

}  // namespace vardak::testing
