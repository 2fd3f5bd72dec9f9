// The network part of the platform seam: NetBIOS control blocks, Windows Sockets
// 1.1, and the multiple-provider router's resource enumeration and user name. The records the system fills (the NetBIOS data areas, the sockets start-up
// record) pass through as the bytes of their 32-bit layout; the probes read them
// with the bounded byte helpers.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vardak::platform {

// NetBIOS command codes and return codes, with the platform's numbers.
namespace netbios {
inline constexpr uint8_t kReset = 0x32;          // NCBRESET
inline constexpr uint8_t kAdapterStatus = 0x33;  // NCBASTAT
inline constexpr uint8_t kEnumerate = 0x37;      // NCBENUM
inline constexpr uint8_t kGood = 0x00;           // NRC_GOODRET
inline constexpr uint8_t kBufferLength = 0x01;   // NRC_BUFLEN: the data area is too small
inline constexpr uint8_t kInvalidLana = 0x23;    // NRC_BRIDGE: no such LAN adapter
inline constexpr size_t kNameLength = 16;        // NCBNAMSZ
}  // namespace netbios

// The fields of a NetBIOS control block (NCB) that a command sets; every other
// field is zero and the data area is the caller's buffer.
struct NetbiosCommand {
    uint8_t command = 0;
    uint8_t lana = 0;
    std::array<uint8_t, netbios::kNameLength> callName{};
};

// What the sockets start-up (WSAStartup) answered: 0 or its error code, and the
// WSADATA record it filled.
struct SocketsStartup {
    int32_t error = 0;
    std::vector<uint8_t> record;
};

// An IPv4 address in network byte order, as a host entry lists it.
using IPv4Address = std::array<uint8_t, 4>;

// Scopes of a network-resource enumeration, with the platform's numbers.
enum class ResourceScope : uint32_t { Connected = 1, GlobalNet = 2, Remembered = 3, Context = 5 };

// One resource (the platform's NETRESOURCE): each text is nothing where the system
// gave a null pointer.
struct NetResource {
    uint32_t scope = 0;
    uint32_t type = 0;
    uint32_t displayType = 0;
    uint32_t usage = 0;
    std::optional<std::string> localName;
    std::optional<std::string> remoteName;
    std::optional<std::string> comment;
    std::optional<std::string> provider;
};

// How asking for the next resource ended.
enum class ResourceStep {
    Entry,        // `resource` holds it
    MoreData,     // the buffer holds less than the entry with its texts: `requiredSize` does
    NoMoreItems,  // the enumeration is at its end
    Failed,       // `errorCode` says why
};

struct ResourceEnumStep {
    ResourceStep step = ResourceStep::Failed;
    uint32_t requiredSize = 0;
    uint32_t errorCode = 0;
    NetResource resource;
};

// An open enumeration; it is closed when the object is destroyed.
class ResourceEnumeration {
public:
    virtual ~ResourceEnumeration() = default;
    // Asks for one entry into a buffer of `bufferSize` bytes.
    virtual ResourceEnumStep next(uint32_t bufferSize) = 0;
};

class Network {
public:
    virtual ~Network() = default;

    // Runs one NetBIOS command on the data area `buffer` (its length goes into the
    // control block) and answers the block's return code.
    virtual uint8_t netbios(const NetbiosCommand& command, std::span<uint8_t> buffer) = 0;

    // Starts Windows Sockets asking for `version` (low byte major, high byte minor).
    // Every start that answers 0 is matched by one stopSockets.
    virtual SocketsStartup startSockets(uint16_t version) = 0;
    virtual void stopSockets() = 0;
    // The host name as gethostname writes it into a buffer of `bufferSize` bytes;
    // nothing when the call fails.
    virtual std::optional<std::string> hostName(size_t bufferSize) = 0;
    // The IPv4 addresses of the host entry gethostbyname gives for `name`, in the
    // resolver's order; nothing when the name does not resolve.
    virtual std::optional<std::vector<IPv4Address>> hostAddresses(const std::string& name) = 0;

    // Opens an enumeration of every resource of `scope` (any type, any usage);
    // nothing when the system refuses it.
    virtual std::unique_ptr<ResourceEnumeration> openResourceEnumeration(ResourceScope scope) = 0;
    // The user name of the current network connection, as the system writes it into a
    // zeroed buffer of `bufferSize` characters; nothing when the query fails.
    virtual std::optional<std::string> connectionUserName(size_t bufferSize) = 0;
};

}  // namespace vardak::platform
