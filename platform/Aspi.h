// The ASPI part of the platform seam: SCSI request blocks whose command the layer may
// finish later, with the memory and the completion event the layer writes to.
//
// The layer's entry points themselves are bound by name (Ostrel_WnASPI32) and take
// the block's address. An execute-SCSI block carries the 32-bit address of its data
// buffer and the handle of its completion event, which only the platform can give;
// the request fills both fields in.
//
//   auto request = platform.aspi().create(100);
//   request->block()[srb::kCommand] = srb::kExecuteScsiCommand;  ...
//   if (ASPI32SendCommand(request->block().data()) == srb::kStatusPending &&
//       !request->waitForCompletion(limit)) {
//       platform.aspi().abandon(std::move(request));
//   }
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace vardak::platform {

// Layouts and codes of the ASPI request blocks (byte offsets; all blocks zeroed before use).
namespace srb {

// Every block starts with the command, the status and the host adapter.
inline constexpr size_t kCommand = 0;
inline constexpr size_t kStatus = 1;
inline constexpr size_t kAdapter = 2;
inline constexpr size_t kFlags = 3;

inline constexpr uint8_t kHostAdapterInquiry = 0;
inline constexpr uint8_t kGetDeviceType = 1;
inline constexpr uint8_t kExecuteScsiCommand = 2;

inline constexpr uint8_t kStatusPending = 0;
inline constexpr uint8_t kStatusCompleted = 1;

// SRB_HAInquiry
inline constexpr size_t kHostAdapterInquirySize = 60;

// SRB_GDEVBlock
inline constexpr size_t kGetDeviceTypeSize = 12;
inline constexpr size_t kDeviceTarget = 8;
inline constexpr size_t kDeviceLun = 9;
inline constexpr size_t kDeviceType = 10;

// SRB_ExecSCSICmd
inline constexpr size_t kExecuteSize = 80;
inline constexpr size_t kExecuteTarget = 8;
inline constexpr size_t kExecuteLun = 9;
inline constexpr size_t kDataLength = 12;   // 32-bit
inline constexpr size_t kDataPointer = 16;  // 32-bit address
inline constexpr size_t kSenseLength = 20;
inline constexpr size_t kCdbLength = 21;
inline constexpr size_t kCompletionEvent = 24;  // 32-bit handle
inline constexpr size_t kCdb = 48;
inline constexpr size_t kSenseArea = 64;

inline constexpr uint8_t kFlagDataIn = 0x08;
inline constexpr uint8_t kFlagEventNotify = 0x40;

}  // namespace srb

// The SCSI commands the scan sends (6-byte command blocks).
namespace scsi {
inline constexpr uint8_t kTestUnitReady = 0x00;
inline constexpr uint8_t kInquiry = 0x12;
inline constexpr size_t kInquiryAllocationLength = 4;  // byte of the command block
}  // namespace scsi

// One execute-SCSI request: a zeroed block whose data-pointer and completion-event
// fields name the request's own zeroed buffer and its manual-reset event, not signalled.
class AspiRequest {
public:
    virtual ~AspiRequest() = default;
    // The srb::kExecuteSize bytes of the block, at the address the layer is given.
    virtual std::span<uint8_t> block() = 0;
    virtual std::span<uint8_t> data() = 0;
    // Waits at most `milliseconds` for the layer to signal the event; false when it did not.
    virtual bool waitForCompletion(uint32_t milliseconds) = 0;
};

class AspiRequests {
public:
    virtual ~AspiRequests() = default;
    virtual std::unique_ptr<AspiRequest> create(size_t dataLength) = 0;
    // Takes a request whose command may still be pending: the layer may write its block
    // and buffer and signal its event at any later time, so they stay for the rest of
    // the program.
    virtual void abandon(std::unique_ptr<AspiRequest> request) = 0;
};

}  // namespace vardak::platform
