#include "tests/support/IpHelperAnswers.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vardak::testing {
namespace {

constexpr uint32_t kSuccess = 0;
constexpr uint32_t kBufferOverflow = 111;
constexpr uint32_t kNoData = 232;

// The records as the 32-bit library lays them out; links are 32-bit addresses.
struct AddressNode32 {
    uint32_t next;
    char address[16];
    char mask[16];
    uint32_t context;
};

struct AdapterInfo32 {
    uint32_t next;
    uint32_t comboIndex;
    char adapterName[260];
    char description[132];
    uint32_t addressLength;
    uint8_t address[8];
    uint32_t index;
    uint32_t type;
    uint32_t dhcpEnabled;
    uint32_t currentIpAddress;
    AddressNode32 ipAddressList;
    AddressNode32 gatewayList;
    AddressNode32 dhcpServer;
    uint32_t haveWins;
    AddressNode32 primaryWinsServer;
    AddressNode32 secondaryWinsServer;
    uint32_t leaseObtained;
    uint32_t leaseExpires;
};

struct FixedInfo32 {
    char hostName[132];
    char domainName[132];
    uint32_t currentDnsServer;
    AddressNode32 dnsServerList;
    uint32_t nodeType;
    char scopeId[260];
    uint32_t enableRouting;
    uint32_t enableProxy;
    uint32_t enableDns;
};

static_assert(sizeof(AddressNode32) == kAddressNodeRecordSize);
static_assert(sizeof(AdapterInfo32) == kAdapterInfoRecordSize);
static_assert(sizeof(FixedInfo32) == kFixedInfoRecordSize);

template <size_t Size>
void putText(char (&field)[Size], const std::string& text) {
    std::memcpy(field, text.data(), std::min(text.size(), Size));
}

uint32_t furtherNodes(const std::vector<FakeAddressNode>& nodes) {
    return nodes.empty() ? 0 : static_cast<uint32_t>(nodes.size() - 1);
}

uint32_t furtherNodes(const FakeAdapterRecord& adapter) {
    return furtherNodes(adapter.ipAddresses) + furtherNodes(adapter.gateways) + furtherNodes(adapter.dhcpServers) +
           furtherNodes(adapter.primaryWins) + furtherNodes(adapter.secondaryWins);
}

// Writes a list whose first node is embedded in a record being built; the further
// nodes go to `extra` in the buffer, which moves on past them.
void writeList(AddressNode32& first, const std::vector<FakeAddressNode>& nodes, uint8_t* buffer, uint32_t& extra) {
    for (size_t index = 0; index < nodes.size(); ++index) {
        AddressNode32 node{};
        putText(node.address, nodes[index].address);
        putText(node.mask, nodes[index].mask);
        const bool last = index + 1 == nodes.size();
        if (index == 0) {
            node.next = last ? 0 : linkTo(buffer, extra);
            first = node;
            continue;
        }
        node.next = last ? 0 : linkTo(buffer, extra + kAddressNodeRecordSize);
        std::memcpy(buffer + extra, &node, sizeof node);
        extra += kAddressNodeRecordSize;
    }
}

AdapterInfo32 adapterRecord(const FakeAdapterRecord& adapter, uint8_t* buffer, uint32_t& extra) {
    AdapterInfo32 record{};
    putText(record.description, adapter.description);
    record.addressLength = adapter.addressLength.value_or(static_cast<uint32_t>(adapter.hardwareAddress.size()));
    std::memcpy(record.address, adapter.hardwareAddress.data(), std::min<size_t>(adapter.hardwareAddress.size(), 8));
    record.type = adapter.interfaceType;
    record.dhcpEnabled = adapter.dhcpEnabled ? 1 : 0;
    record.haveWins = adapter.haveWins ? 1 : 0;
    writeList(record.ipAddressList, adapter.ipAddresses, buffer, extra);
    writeList(record.gatewayList, adapter.gateways, buffer, extra);
    writeList(record.dhcpServer, adapter.dhcpServers, buffer, extra);
    writeList(record.primaryWinsServer, adapter.primaryWins, buffer, extra);
    writeList(record.secondaryWinsServer, adapter.secondaryWins, buffer, extra);
    return record;
}

}  // namespace

uint32_t linkTo(const void* buffer, uint32_t offset) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer)) + offset;
}

uint32_t answerAdaptersInfo(const std::vector<FakeAdapterRecord>& adapters, void* buffer, uint32_t* size) {
    if (adapters.empty()) {
        return kNoData;
    }
    uint32_t needed = 0;
    for (const FakeAdapterRecord& adapter : adapters) {
        needed += kAdapterInfoRecordSize + furtherNodes(adapter) * kAddressNodeRecordSize;
    }
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        return kBufferOverflow;
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    uint32_t extra = static_cast<uint32_t>(adapters.size()) * kAdapterInfoRecordSize;
    for (size_t index = 0; index < adapters.size(); ++index) {
        AdapterInfo32 record = adapterRecord(adapters[index], bytes, extra);
        const auto offset = static_cast<uint32_t>(index) * kAdapterInfoRecordSize;
        record.next = index + 1 == adapters.size() ? 0 : linkTo(buffer, offset + kAdapterInfoRecordSize);
        std::memcpy(bytes + offset, &record, sizeof record);
    }
    return kSuccess;
}

uint32_t answerNetworkParams(const FakeNetworkParams& params, void* buffer, uint32_t* size) {
    std::vector<FakeAddressNode> servers;
    for (const std::string& server : params.dnsServers) {
        servers.push_back({server, ""});
    }
    const uint32_t needed = kFixedInfoRecordSize + furtherNodes(servers) * kAddressNodeRecordSize;
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        return kBufferOverflow;
    }
    auto* bytes = static_cast<uint8_t*>(buffer);
    FixedInfo32 info{};
    putText(info.hostName, params.hostName);
    putText(info.domainName, params.domainName);
    uint32_t extra = kFixedInfoRecordSize;
    writeList(info.dnsServerList, servers, bytes, extra);
    info.currentDnsServer = servers.empty() ? 0 : linkTo(buffer, offsetof(FixedInfo32, dnsServerList));
    info.nodeType = params.nodeType;
    putText(info.scopeId, params.scopeId);
    info.enableRouting = params.enableRouting ? 1 : 0;
    info.enableProxy = params.enableProxy ? 1 : 0;
    info.enableDns = params.enableDns ? 1 : 0;
    std::memcpy(bytes, &info, sizeof info);
    return kSuccess;
}

}  // namespace vardak::testing
