#include "tests/support/FakeAspiLayer.h"

#include "platform/Bytes.h"

#include <algorithm>
#include <array>
#include <optional>

namespace vardak::testing {

namespace srb = platform::srb;

namespace {
constexpr uint8_t kNoDevice = 0x82;  // the layer's "no such device" status
}

class FakeAspiLayer::Request final : public platform::AspiRequest {
public:
    Request(FakeAspiLayer& layer, size_t dataLength) : layer_(layer), data_(dataLength) { layer_.live_.push_back(this); }
    ~Request() override {
        layer_.requestsFreedWhilePending += pending ? 1 : 0;
        std::erase(layer_.live_, this);
    }

    std::span<uint8_t> block() override { return block_; }
    std::span<uint8_t> data() override { return data_; }
    bool waitForCompletion(uint32_t milliseconds) override {
        layer_.waits.push_back(milliseconds);
        if (laterStatus) {
            block_[srb::kStatus] = *laterStatus;
            pending = false;
        }
        return !pending;
    }

    bool pending = false;
    std::optional<uint8_t> laterStatus;  // written when the event is signalled

private:
    FakeAspiLayer& layer_;
    std::array<uint8_t, srb::kExecuteSize> block_{};
    std::vector<uint8_t> data_;
};

FakeAspiLayer* FakeAspiLayer::installed_ = nullptr;

FakeAspiLayer::~FakeAspiLayer() {
    abandoned_.clear();
    installed_ = installed_ == this ? nullptr : installed_;
}

void FakeAspiLayer::install(FakeRuntimeLibraries& libraries) {
    installed_ = this;
    libraries.addEntry("wnaspi32.dll", "GetASPI32SupportInfo", &FakeAspiLayer::supportInfoEntry);
    libraries.addEntry("wnaspi32.dll", "SendASPI32Command", &FakeAspiLayer::sendCommandEntry);
}

std::unique_ptr<platform::AspiRequest> FakeAspiLayer::create(size_t dataLength) {
    return std::make_unique<Request>(*this, dataLength);
}

void FakeAspiLayer::abandon(std::unique_ptr<platform::AspiRequest> request) {
    ++requestsAbandoned;
    abandoned_.push_back(std::move(request));
}

uint32_t FakeAspiLayer::supportInfoEntry() {
    return installed_ == nullptr ? 0 : uint32_t{srb::kStatusCompleted} << 8 | installed_->hostAdapters;
}

uint32_t FakeAspiLayer::sendCommandEntry(void* block) {
    return installed_ == nullptr ? 0 : installed_->send(static_cast<uint8_t*>(block));
}

uint32_t FakeAspiLayer::send(uint8_t* block) {
    const uint8_t command = block[srb::kCommand];
    const FakeScsiDevice* device =
        findDevice(block, command == srb::kGetDeviceType ? srb::kDeviceTarget : srb::kExecuteTarget);
    const auto request =
        std::find_if(live_.begin(), live_.end(), [&](Request* live) { return live->block().data() == block; });
    block[srb::kStatus] = kNoDevice;
    if (command == srb::kHostAdapterInquiry && block[srb::kAdapter] < hostAdapters) {
        block[srb::kStatus] = srb::kStatusCompleted;
    } else if (command == srb::kGetDeviceType && device != nullptr) {
        block[srb::kDeviceType] = device->type;
        block[srb::kStatus] = srb::kStatusCompleted;
    } else if (command == srb::kExecuteScsiCommand && device != nullptr && request != live_.end()) {
        return execute(**request, *device);
    }
    return block[srb::kStatus];
}

uint32_t FakeAspiLayer::execute(Request& request, const FakeScsiDevice& device) {
    const std::span<uint8_t> block = request.block();
    if (block[srb::kCdb] == platform::scsi::kInquiry && (block[srb::kFlags] & srb::kFlagDataIn) != 0) {
        const size_t length = std::min({device.inquiry.size(), request.data().size(),
                                        size_t{bytes::le32(block, srb::kDataLength)}});
        std::copy_n(device.inquiry.begin(), length, request.data().begin());
    }
    if (device.completion == FakeScsiDevice::Completion::AtOnce) {
        block[srb::kStatus] = srb::kStatusCompleted;
        return srb::kStatusCompleted;
    }
    request.pending = true;
    if (device.completion == FakeScsiDevice::Completion::Later) {
        request.laterStatus = srb::kStatusCompleted;
    }
    block[srb::kStatus] = srb::kStatusPending;
    return srb::kStatusPending;
}

const FakeScsiDevice* FakeAspiLayer::findDevice(const uint8_t* block, size_t targetOffset) const {
    const auto device = std::find_if(devices.begin(), devices.end(),
                                     [&](const FakeScsiDevice& each) { return each.target == block[targetOffset]; });
    return block[srb::kAdapter] == 0 && hostAdapters > 0 && device != devices.end() ? &*device : nullptr;
}

}  // namespace vardak::testing
