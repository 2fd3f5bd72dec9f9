#include "platform/win32/Win32Aspi.h"

#include "platform/Bytes.h"
#include "platform/win32/WinHandles.h"

#include <windows.h>

#include <array>
#include <vector>

namespace vardak::win32 {
namespace {

namespace srb = platform::srb;

class Win32AspiRequest final : public platform::AspiRequest {
public:
    explicit Win32AspiRequest(size_t dataLength)
        : data_(dataLength), event_(CreateEventA(nullptr, /*manualReset=*/TRUE, /*initialState=*/FALSE, nullptr)) {
        // The layer is a 32-bit program's: addresses and handles fit the 32-bit fields.
        bytes::putLittleEndian(block_, srb::kDataPointer, 4, reinterpret_cast<uintptr_t>(data_.data()));
        bytes::putLittleEndian(block_, srb::kCompletionEvent, 4, reinterpret_cast<uintptr_t>(event_.get()));
    }

    std::span<uint8_t> block() override { return block_; }
    std::span<uint8_t> data() override { return data_; }

    bool waitForCompletion(uint32_t milliseconds) override {
        return event_ && WaitForSingleObject(event_.get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    std::array<uint8_t, srb::kExecuteSize> block_{};
    std::vector<uint8_t> data_;
    UniqueHandle event_;
};

}  // namespace

std::unique_ptr<platform::AspiRequest> Win32AspiRequests::create(size_t dataLength) {
    return std::make_unique<Win32AspiRequest>(dataLength);
}

void Win32AspiRequests::abandon(std::unique_ptr<platform::AspiRequest> request) {
    // Block, buffer and event stay for the rest of the process: the driver may
    // complete the command at any time and write to them.
    static_cast<void>(request.release());
}

}  // namespace vardak::win32
