// An ASPI layer for tests: host adapters and SCSI devices a test describes, answering
// through "wnaspi32.dll" entries registered with a FakeRuntimeLibraries, and the
// requests the scan sends, with their buffers and events in memory.
//
//   machine.aspiFake.hostAdapters = 1;
//   machine.aspiFake.devices.push_back({.target = 3, .type = 5,
//                                       .inquiry = FakeAspiLayer::inquiryData(5, "VENDOR", "CD-ROM", "1.0", "")});
//   machine.aspiFake.install(machine.librariesFake);
#pragma once

#include "platform/Aspi.h"
#include "tests/support/FakeRuntimeLibraries.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vardak::testing {

struct FakeScsiDevice {
    enum class Completion {
        AtOnce,  // the call returns the status
        Later,   // the call returns "pending", the event is signalled
        Never,   // the call returns "pending" and the command never ends
    };
    uint8_t adapter = 0;
    uint8_t target = 0;
    uint8_t type = 0;  // peripheral device type
    std::vector<uint8_t> inquiry;
    uint8_t unitReadyStatus = platform::srb::kStatusCompleted;
    Completion completion = Completion::AtOnce;
};

class FakeAspiRequest;

class FakeAspiLayer : public platform::AspiRequests {
public:
    FakeAspiLayer() = default;
    ~FakeAspiLayer() override;
    FakeAspiLayer(const FakeAspiLayer&) = delete;
    FakeAspiLayer& operator=(const FakeAspiLayer&) = delete;

    // Registers "wnaspi32.dll" with both entries; this layer answers them from now on.
    void install(FakeRuntimeLibraries& libraries);

    // INQUIRY data of a device: the type, then the texts in their fields (vendor 8 to
    // 15, product 16 to 31, revision 32 to 35, vendor data 36 to 55), each cut to its
    // field and NUL-filled after it.
    static std::vector<uint8_t> inquiryData(uint8_t type, std::string_view vendor, std::string_view product,
                                            std::string_view revision, std::string_view vendorData);

    std::unique_ptr<platform::AspiRequest> create(size_t dataLength) override;
    void abandon(std::unique_ptr<platform::AspiRequest> request) override;

    // The support word's status byte and host-adapter count.
    uint8_t supportStatus = platform::srb::kStatusCompleted;
    uint8_t hostAdapters = 0;
    std::vector<FakeScsiDevice> devices;

    // Requests handed back while their command may still run, and those freed while
    // their command was still pending (which the layer would then write into).
    int requestsAbandoned = 0;
    int requestsFreedWhilePending = 0;
    // The time limit of every wait, in milliseconds.
    std::vector<uint32_t> waits;

private:
    friend class FakeAspiRequest;
    static uint32_t VARDAK_CDECL supportInfoEntry();
    static uint32_t VARDAK_CDECL sendCommandEntry(void* block);

    uint32_t send(uint8_t* block);
    uint32_t inquireHostAdapter(std::span<uint8_t> block) const;
    uint32_t getDeviceType(std::span<uint8_t> block) const;
    uint32_t execute(FakeAspiRequest& request);
    const FakeScsiDevice* findDevice(uint8_t adapter, uint8_t target) const;

    static FakeAspiLayer* installed_;
    std::vector<FakeAspiRequest*> liveRequests_;
    std::vector<std::unique_ptr<platform::AspiRequest>> abandoned_;
    uint32_t nextToken_ = 1;
};

}  // namespace vardak::testing
