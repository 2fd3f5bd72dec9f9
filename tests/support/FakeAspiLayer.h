// An ASPI layer for tests: host adapters and the SCSI devices of adapter 0 that a test
// describes, answering through the "wnaspi32.dll" entries it registers with a
// FakeRuntimeLibraries (install), and the execute-SCSI requests of the scan, in memory.
#pragma once

#include "platform/Aspi.h"
#include "tests/support/FakeRuntimeLibraries.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vardak::testing {

struct FakeScsiDevice {
    enum class Completion {
        AtOnce,  // the call returns the status
        Later,   // the call returns "pending"; the status comes with the event
        Never,   // the call returns "pending" and the command never ends
    };
    uint8_t target = 0;
    uint8_t type = 0;  // peripheral device type
    std::vector<uint8_t> inquiry;
    Completion completion = Completion::AtOnce;
};

class FakeAspiLayer : public platform::AspiRequests {
public:
    ~FakeAspiLayer() override;
    void install(FakeRuntimeLibraries& libraries);

    std::unique_ptr<platform::AspiRequest> create(size_t dataLength) override;
    void abandon(std::unique_ptr<platform::AspiRequest> request) override;

    uint8_t hostAdapters = 0;
    std::vector<FakeScsiDevice> devices;

    int requestsAbandoned = 0;
    // Requests freed while their command was pending: the layer would write into them.
    int requestsFreedWhilePending = 0;
    std::vector<uint32_t> waits;  // the time limit of every wait, in milliseconds

private:
    class Request;
    static uint32_t VARDAK_CDECL supportInfoEntry();
    static uint32_t VARDAK_CDECL sendCommandEntry(void* block);
    uint32_t send(uint8_t* block);
    uint32_t execute(Request& request, const FakeScsiDevice& device);
    const FakeScsiDevice* findDevice(const uint8_t* block, size_t targetOffset) const;

    static FakeAspiLayer* installed_;
    std::vector<Request*> live_;
    std::vector<std::unique_ptr<platform::AspiRequest>> abandoned_;
};

}  // namespace vardak::testing
