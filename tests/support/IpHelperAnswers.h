// Answers of the IP helper library for tests: GetAdaptersInfo and GetNetworkParams
// over scripted adapters and parameters, written into the caller's buffer in the
// 32-bit record layouts, linked by their addresses there as the library links them.
//
//   FakeAdapterRecord card{"Intel(R) PRO/1000 MT", {0x00, 0x0c, 0x29, 0x3e, 0x5a, 0x01}};
//   card.ipAddresses = {{"192.168.1.5", "255.255.255.0"}};
//   uint32_t VARDAK_WINAPI getAdaptersInfo(void* buffer, uint32_t* size) {
//       return answerAdaptersInfo({card}, buffer, size);
//   }
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vardak::testing {

struct FakeAddressNode {
    std::string address;
    std::string mask;
};

struct FakeAdapterRecord {
    std::string description;  // a longer text fills the field without a NUL
    std::vector<uint8_t> hardwareAddress;  // at most the field's 8 bytes are stored
    std::optional<uint32_t> addressLength;  // the length field; the address's size when unset
    uint32_t interfaceType = 6;  // MIB_IF_TYPE_ETHERNET
    bool dhcpEnabled = false;
    bool haveWins = false;
    std::vector<FakeAddressNode> ipAddresses;
    std::vector<FakeAddressNode> gateways;
    std::vector<FakeAddressNode> dhcpServers;
    std::vector<FakeAddressNode> primaryWins;
    std::vector<FakeAddressNode> secondaryWins;
};

struct FakeNetworkParams {
    std::string hostName;
    std::string domainName;
    std::vector<std::string> dnsServers;  // the first is the one in use
    uint32_t nodeType = 0;
    std::string scopeId;
    bool enableRouting = false;
    bool enableProxy = false;
    bool enableDns = false;
};

// The sizes of the 32-bit records.
inline constexpr uint32_t kAdapterInfoRecordSize = 640;
inline constexpr uint32_t kFixedInfoRecordSize = 584;
inline constexpr uint32_t kAddressNodeRecordSize = 40;

// GetAdaptersInfo: ERROR_NO_DATA without adapters; ERROR_BUFFER_OVERFLOW and the
// size needed in `size` when the buffer is too small; else the adapter records one
// after the other, then the further nodes of their address lists.
uint32_t answerAdaptersInfo(const std::vector<FakeAdapterRecord>& adapters, void* buffer, uint32_t* size);
// GetNetworkParams: ERROR_BUFFER_OVERFLOW and the size needed, or the fixed record
// followed by the further DNS server nodes. Without servers the embedded node is empty.
uint32_t answerNetworkParams(const FakeNetworkParams& params, void* buffer, uint32_t* size);

// The 32-bit address a record at `offset` of `buffer` has for the library.
uint32_t linkTo(const void* buffer, uint32_t offset);

}  // namespace vardak::testing
