#include "tests/support/FakeAspiLayer.h"

#include "platform/Bytes.h"

#include <algorithm>
#include <array>

namespace vardak::testing {

namespace srb = platform::srb;

namespace {

// Status codes of the layer that the scan passes on without knowing them.
constexpr uint8_t kInvalidCommand = 0x80;
constexpr uint8_t kInvalidHostAdapter = 0x81;
constexpr uint8_t kNoDevice = 0x82;
constexpr uint8_t kCommandError = 0x04;

namespace scsi = platform::scsi;
constexpr size_t kInquiryAllocation = srb::kCdb + scsi::kInquiryAllocationLength;

// Offsets of the host-adapter inquiry's answer.
constexpr size_t kAdapterCount = 8;
constexpr size_t kManagerId = 10;

void putText(std::vector<uint8_t>& data, size_t offset, size_t length, std::string_view text) {
    std::copy_n(text.begin(), std::min(length, text.size()), data.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

// A request whose data-pointer and event fields hold tokens the layer recognises.
class FakeAspiRequest : public platform::AspiRequest {
public:
    FakeAspiRequest(FakeAspiLayer& layer, size_t dataLength, uint32_t token)
        : layer_(layer), data_(dataLength), dataToken_(0xD0000000u | token), eventToken_(0xE0000000u | token) {
        bytes::putLittleEndian(block_, srb::kDataPointer, 4, dataToken_);
        bytes::putLittleEndian(block_, srb::kCompletionEvent, 4, eventToken_);
        layer_.liveRequests_.push_back(this);
    }
    ~FakeAspiRequest() override {
        if (pending) {
            ++layer_.requestsFreedWhilePending;
        }
        std::erase(layer_.liveRequests_, this);
    }

    std::span<uint8_t> block() override { return block_; }
    std::span<uint8_t> data() override { return data_; }
    bool waitForCompletion(uint32_t milliseconds) override {
        layer_.waits.push_back(milliseconds);
        return signalled;
    }

    // The layer writes into the buffer and signals the event only where the block
    // still names them.
    bool namesItsBuffer() const { return bytes::le32(block_, srb::kDataPointer) == dataToken_; }
    bool namesItsEvent() const { return bytes::le32(block_, srb::kCompletionEvent) == eventToken_; }

    bool signalled = false;
    bool pending = false;

private:
    FakeAspiLayer& layer_;
    std::array<uint8_t, srb::kExecuteSize> block_{};
    std::vector<uint8_t> data_;
    uint32_t dataToken_;
    uint32_t eventToken_;
};

FakeAspiLayer* FakeAspiLayer::installed_ = nullptr;

FakeAspiLayer::~FakeAspiLayer() {
    abandoned_.clear();
    if (installed_ == this) {
        installed_ = nullptr;
    }
}

void FakeAspiLayer::install(FakeRuntimeLibraries& libraries) {
    installed_ = this;
    libraries.addEntry("wnaspi32.dll", "GetASPI32SupportInfo", &FakeAspiLayer::supportInfoEntry);
    libraries.addEntry("wnaspi32.dll", "SendASPI32Command", &FakeAspiLayer::sendCommandEntry);
}

std::vector<uint8_t> FakeAspiLayer::inquiryData(uint8_t type, std::string_view vendor, std::string_view product,
                                                std::string_view revision, std::string_view vendorData) {
    std::vector<uint8_t> data(56, 0);
    data[0] = type;
    data[4] = static_cast<uint8_t>(data.size() - 5);  // additional length
    putText(data, 8, 8, vendor);
    putText(data, 16, 16, product);
    putText(data, 32, 4, revision);
    putText(data, 36, 20, vendorData);
    return data;
}

std::unique_ptr<platform::AspiRequest> FakeAspiLayer::create(size_t dataLength) {
    return std::make_unique<FakeAspiRequest>(*this, dataLength, nextToken_++);
}

void FakeAspiLayer::abandon(std::unique_ptr<platform::AspiRequest> request) {
    ++requestsAbandoned;
    abandoned_.push_back(std::move(request));
}

uint32_t FakeAspiLayer::supportInfoEntry() {
    if (installed_ == nullptr) {
        return 0;
    }
    return static_cast<uint32_t>(installed_->supportStatus) << 8 | installed_->hostAdapters;
}

uint32_t FakeAspiLayer::sendCommandEntry(void* block) {
    return installed_ == nullptr ? 0 : installed_->send(static_cast<uint8_t*>(block));
}

uint32_t FakeAspiLayer::send(uint8_t* block) {
    switch (block[srb::kCommand]) {
        case srb::kHostAdapterInquiry:
            return inquireHostAdapter({block, srb::kHostAdapterInquirySize});
        case srb::kGetDeviceType:
            return getDeviceType({block, srb::kGetDeviceTypeSize});
        case srb::kExecuteScsiCommand:
            for (FakeAspiRequest* request : liveRequests_) {
                if (request->block().data() == block) {
                    return execute(*request);
                }
            }
            break;
        default:
            break;
    }
    block[srb::kStatus] = kInvalidCommand;
    return kInvalidCommand;
}

uint32_t FakeAspiLayer::inquireHostAdapter(std::span<uint8_t> block) const {
    if (block[srb::kAdapter] >= hostAdapters) {
        block[srb::kStatus] = kInvalidHostAdapter;
        return kInvalidHostAdapter;
    }
    block[kAdapterCount] = hostAdapters;
    constexpr std::string_view kManager = "ASPI for WIN32";
    std::copy(kManager.begin(), kManager.end(), block.begin() + kManagerId);
    block[srb::kStatus] = srb::kStatusCompleted;
    return srb::kStatusCompleted;
}

uint32_t FakeAspiLayer::getDeviceType(std::span<uint8_t> block) const {
    const FakeScsiDevice* device = findDevice(block[srb::kAdapter], block[srb::kDeviceTarget]);
    if (device == nullptr || block[srb::kDeviceLun] != 0) {
        block[srb::kStatus] = kNoDevice;
        return kNoDevice;
    }
    block[srb::kDeviceType] = device->type;
    block[srb::kStatus] = srb::kStatusCompleted;
    return srb::kStatusCompleted;
}

uint32_t FakeAspiLayer::execute(FakeAspiRequest& request) {
    std::span<uint8_t> block = request.block();
    const FakeScsiDevice* device = findDevice(block[srb::kAdapter], block[srb::kExecuteTarget]);
    if (device == nullptr) {
        block[srb::kStatus] = kNoDevice;
        return kNoDevice;
    }
    if (device->completion == FakeScsiDevice::Completion::Never) {
        request.pending = true;
        return srb::kStatusPending;
    }
    uint8_t status = kInvalidCommand;
    const uint8_t operation = block[srb::kCdb];
    if (block[srb::kCdbLength] == 6 && operation == scsi::kTestUnitReady) {
        status = device->unitReadyStatus;
    } else if (block[srb::kCdbLength] == 6 && operation == scsi::kInquiry) {
        status = kCommandError;
        if ((block[srb::kFlags] & srb::kFlagDataIn) != 0 && request.namesItsBuffer()) {
            const size_t length = std::min({device->inquiry.size(), size_t{block[kInquiryAllocation]},
                                            size_t{bytes::le32(block, srb::kDataLength)}, request.data().size()});
            std::copy_n(device->inquiry.begin(), length, request.data().begin());
            status = srb::kStatusCompleted;
        }
    }
    block[srb::kStatus] = status;
    if ((block[srb::kFlags] & srb::kFlagEventNotify) != 0 && request.namesItsEvent()) {
        request.signalled = true;
    }
    return device->completion == FakeScsiDevice::Completion::Later ? srb::kStatusPending : status;
}

const FakeScsiDevice* FakeAspiLayer::findDevice(uint8_t adapter, uint8_t target) const {
    for (const FakeScsiDevice& device : devices) {
        if (device.adapter == adapter && device.target == target && adapter < hostAdapters) {
            return &device;
        }
    }
    return nullptr;
}

}  // namespace vardak::testing
