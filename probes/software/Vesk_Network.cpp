#include "probes/software/Vesk_Network.h"

#include <algorithm>
#include <array>
#include <optional>

#include "framework/Exception.h"
#include "framework/SysUtils.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Devices.h"

namespace vardak::probes {
namespace {

namespace netbios = platform::netbios;

// ---------------------------------------------------------------- tables

struct NodeTypeCode {
    uint32_t code;
    TNodeType type;
};
constexpr NodeTypeCode kNodeTypeCodes[] = {
    {1, TNodeType::ntBroadcast},
    {2, TNodeType::ntPeerToPeer},
    {4, TNodeType::ntMixed},
    {8, TNodeType::ntHybrid},
};

// The MIB interface type of each adapter kind, in kind order.
constexpr uint32_t kAdapterKindInterfaceTypes[] = {1, 6, 9, 15, 23, 24, 28};
static_assert(std::size(kAdapterKindInterfaceTypes) == std::size(kAdapterKindTexts));

// ---------------------------------------------------------------- Windows Sockets

constexpr uint16_t kWinsock11 = 0x0101;
constexpr size_t kHostNameBufferSize = 64;
// The 32-bit WSADATA record.
constexpr size_t kHighVersionOffset = 2;
constexpr size_t kDescriptionOffset = 4;
constexpr size_t kLongestDescription = 256;
constexpr size_t kSystemStatusOffset = 261;
constexpr size_t kLongestSystemStatus = 128;

// Windows Sockets started for the lifetime of the object, and stopped again only
// when the start succeeded.
class SocketsSession {
public:
    SocketsSession(platform::Network& network, uint16_t version)
        : network_(network), startup_(network.startSockets(version)) {}
    ~SocketsSession() {
        if (started()) {
            network_.stopSockets();
        }
    }
    SocketsSession(const SocketsSession&) = delete;
    SocketsSession& operator=(const SocketsSession&) = delete;

    bool started() const { return startup_.error == 0; }
    std::span<const uint8_t> record() const { return startup_.record; }

private:
    platform::Network& network_;
    platform::SocketsStartup startup_;
};

std::string dottedText(const platform::IPv4Address& address) {
    return Format("%d.%d.%d.%d", {address[0], address[1], address[2], address[3]});
}

// ---------------------------------------------------------------- NetBIOS

constexpr size_t kLanaEnumSize = 256;       // LANA_ENUM: a count and 255 adapter numbers
constexpr size_t kAdapterStatusSize = 348;  // ADAPTER_STATUS and room for 16 name entries
constexpr size_t kAdapterAddressSize = 6;   // the status record starts with the address

platform::NetbiosCommand netbiosCommand(uint8_t command, uint8_t lana = 0) {
    platform::NetbiosCommand block;
    block.command = command;
    block.lana = lana;
    return block;
}

// The LAN adapter numbers NetBIOS lists; none when the enumeration fails.
std::vector<uint8_t> lanAdapterNumbers(platform::Network& network) {
    std::array<uint8_t, kLanaEnumSize> lanaEnum{};
    if (network.netbios(netbiosCommand(netbios::kEnumerate), lanaEnum) != netbios::kGood) {
        return {};
    }
    const size_t count = std::min<size_t>(lanaEnum[0], kLanaEnumSize - 1);
    return {lanaEnum.begin() + 1, lanaEnum.begin() + 1 + static_cast<std::ptrdiff_t>(count)};
}

// The hardware address the adapter's status names, or kUnknownMACAddress.
std::string adapterAddress(platform::Network& network, uint8_t lana) {
    platform::NetbiosCommand status = netbiosCommand(netbios::kAdapterStatus, lana);
    status.callName.fill(' ');
    status.callName[0] = '*';  // the local adapter itself
    std::array<uint8_t, kAdapterStatusSize> record{};
    if (network.netbios(status, record) != netbios::kGood) {
        return std::string(kUnknownMACAddress);
    }
    return LowerHexBytes(std::span(record).first(kAdapterAddressSize), ":");
}

// ---------------------------------------------------------------- IP helper records

// The 32-bit layouts. IP_ADDR_STRING: the link to the next node, the address and
// the mask as 16-character texts, a context number.
constexpr size_t kAddressNodeSize = 40;
constexpr size_t kAddressTextOffset = 4;
constexpr size_t kMaskTextOffset = 20;
constexpr size_t kAddressTextField = 16;

// IP_ADAPTER_INFO up to its last field read here (the lease times follow).
constexpr size_t kAdapterRecordSize = 632;
constexpr size_t kDescriptionFieldOffset = 268;
constexpr size_t kDescriptionField = 132;
constexpr size_t kAddressLengthOffset = 400;
constexpr size_t kHardwareAddressOffset = 404;
constexpr size_t kHardwareAddressField = 8;
constexpr size_t kInterfaceTypeOffset = 416;
constexpr size_t kDhcpEnabledOffset = 420;
constexpr size_t kHaveWinsOffset = 548;

// One address list of the adapter record: where its first node is embedded, the
// record's lists that take its addresses and masks, and their report keys.
struct AddressListField {
    size_t offset;
    std::vector<std::string> TAdapter::*addresses;
    std::vector<std::string> TAdapter::*masks;
    std::string_view addressKey;
    std::string_view maskKey;
};
constexpr AddressListField kAddressLists[] = {
    {428, &TAdapter::IPAddress, &TAdapter::IPAddressMask, "Adapter_IPAddress", "Adapter_IPMask"},
    {468, &TAdapter::Gateway, &TAdapter::GatewayMask, "Adapter_Gateway_IPAddress", "Adapter_Gateway_IPMask"},
    {508, &TAdapter::DHCPServer, &TAdapter::DHCPServerMask, "Adapter_DHCP_IPAddress", "Adapter_DHCP_IPMask"},
    {552, &TAdapter::PrimaryWINS, &TAdapter::PrimaryWINSMask, "Adapter_PrimaryWINS_IPAddress",
     "Adapter_PrimaryWINS_IPMask"},
    {592, &TAdapter::SecondaryWINS, &TAdapter::SecondaryWINSMask, "Adapter_SecondaryWINS_IPAddress",
     "Adapter_SecondaryWINS_IPMask"},
};

// FIXED_INFO.
constexpr size_t kFixedInfoSize = 584;
constexpr size_t kHostNameOffset = 0;
constexpr size_t kDomainNameOffset = 132;
constexpr size_t kLongestName = 132;
constexpr size_t kCurrentDnsServerOffset = 264;
constexpr size_t kDnsServerListOffset = 268;
constexpr size_t kNodeTypeOffset = 308;
constexpr size_t kScopeIdOffset = 312;
constexpr size_t kLongestScopeId = 260;
constexpr size_t kEnableRoutingOffset = 572;
constexpr size_t kEnableProxyOffset = 576;
constexpr size_t kEnableDnsOffset = 580;

constexpr size_t kFirstAdaptersBufferSize = 640;
// No machine's answer comes near this; a library that keeps asking for more is broken.
constexpr size_t kLargestAnswer = 1024 * 1024;

// What one of the library's calls answered, in the buffer it was given.
struct IpHelperAnswer {
    uint32_t result = ip_helper::kBufferOverflow;
    std::vector<uint8_t> buffer;
    size_t filled = 0;  // the bytes the call says it used, within the buffer
};

// Calls `entry` with a zeroed buffer of `firstSize` bytes and, while it answers
// that the buffer is too small, again with one at least twice as large and at least
// the size it asked for.
IpHelperAnswer askIpHelper(IpHelperQueryFn entry, size_t firstSize) {
    IpHelperAnswer answer;
    answer.buffer.assign(firstSize, 0);
    while (true) {
        uint32_t size = static_cast<uint32_t>(answer.buffer.size());
        answer.result = entry(answer.buffer.data(), &size);
        if (answer.result != ip_helper::kBufferOverflow) {
            answer.filled = std::min<size_t>(size, answer.buffer.size());
            return answer;
        }
        const size_t wanted = std::max<size_t>(size, answer.buffer.size() * 2);
        if (wanted > kLargestAnswer) {
            return answer;
        }
        answer.buffer.assign(wanted, 0);
    }
}

// Records linked by 32-bit addresses that point into the buffer the library filled.
class LinkedRecords {
public:
    explicit LinkedRecords(const IpHelperAnswer& answer)
        : bytes_(std::span<const uint8_t>(answer.buffer).first(answer.filled)),
          base_(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(answer.buffer.data()))) {}

    std::span<const uint8_t> bytes() const { return bytes_; }

    bool fits(size_t offset, size_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }

    // The offset of the record `link` points at, when all of it lies in the answer.
    std::optional<size_t> follow(uint32_t link, size_t recordSize) const {
        const size_t offset = static_cast<uint32_t>(link - base_);
        if (link == 0 || !fits(offset, recordSize)) {
            return std::nullopt;
        }
        return offset;
    }

    // The records of a chain whose first field links each to the next, from the one
    // at `first`; a link out of the answer or back to a record of the chain ends it.
    std::vector<size_t> chain(size_t first, size_t recordSize) const {
        std::vector<size_t> records;
        std::optional<size_t> next = fits(first, recordSize) ? std::optional(first) : std::nullopt;
        while (next && std::find(records.begin(), records.end(), *next) == records.end()) {
            records.push_back(*next);
            next = follow(bytes::le32(bytes_, *next), recordSize);
        }
        return records;
    }

    std::string text(size_t offset, size_t longest) const { return bytes::textUpToNul(bytes_, offset, longest); }
    uint32_t number(size_t offset) const { return bytes::le32(bytes_, offset); }

private:
    std::span<const uint8_t> bytes_;
    uint32_t base_;
};

void readAddressList(const LinkedRecords& records, size_t first, std::vector<std::string>& addresses,
                     std::vector<std::string>& masks) {
    for (const size_t node : records.chain(first, kAddressNodeSize)) {
        addresses.push_back(records.text(node + kAddressTextOffset, kAddressTextField));
        masks.push_back(records.text(node + kMaskTextOffset, kAddressTextField));
    }
}

TAdapter adapterAt(const LinkedRecords& records, size_t record) {
    TAdapter adapter;
    adapter.Name = trim(records.text(record + kDescriptionFieldOffset, kDescriptionField));
    // The field holds 8 bytes whatever the length says.
    const size_t length = std::min<size_t>(records.number(record + kAddressLengthOffset), kHardwareAddressField);
    adapter.Address = LowerHexBytes(records.bytes().subspan(record + kHardwareAddressOffset, length), "-");
    adapter.Type = AdapterKindOf(records.number(record + kInterfaceTypeOffset));
    adapter.EnableDHCP = records.number(record + kDhcpEnabledOffset) != 0;
    adapter.HaveWINS = records.number(record + kHaveWinsOffset) != 0;
    for (const AddressListField& list : kAddressLists) {
        readAddressList(records, record + list.offset, adapter.*list.addresses, adapter.*list.masks);
    }
    return adapter;
}

Exception missingEntry(std::string_view name) {
    return Exception(Format("%s has no entry %s", {kIpHelperLibrary, name}));
}

std::string commaTextOf(const std::vector<std::string>& texts) {
    TStringList list;
    for (const std::string& text : texts) {
        list.add(text);
    }
    return list.commaText();
}

std::string indexedKey(std::string_view key, size_t index) {
    return Format("%s[%d]", {key, index});
}

// ---------------------------------------------------------------- installed components

constexpr std::string_view k2000NetworkKey = "SYSTEM\\CurrentControlSet\\Control\\Network";

}  // namespace

// ---------------------------------------------------------------- free routines

TNodeType NodeTypeOf(uint32_t nodeType) {
    for (const NodeTypeCode& code : kNodeTypeCodes) {
        if (code.code == nodeType) {
            return code.type;
        }
    }
    return TNodeType::ntUnknown;
}

uint8_t AdapterKindOf(uint32_t interfaceType) {
    const auto found = std::find(std::begin(kAdapterKindInterfaceTypes), std::end(kAdapterKindInterfaceTypes),
                                 interfaceType);
    return found == std::end(kAdapterKindInterfaceTypes)
               ? 0
               : static_cast<uint8_t>(found - std::begin(kAdapterKindInterfaceTypes));
}

std::string LowerHexBytes(std::span<const uint8_t> bytes, std::string_view separator) {
    std::string text;
    for (size_t index = 0; index < bytes.size(); ++index) {
        if (index > 0) {
            text += separator;
        }
        text += ansiLowerCase(Format("%2.2x", {bytes[index]}));
    }
    return text;
}

// ---------------------------------------------------------------- TWinsock

void TWinsock::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Description", description_)
        .integer("MajorVersion", majorVersion_, "Word")
        .integer("MinorVersion", minorVersion_, "Word")
        .string("Status", status_);
}

void TWinsock::GetInfo() {
    const SocketsSession sockets(platform_.network(), kWinsock11);
    if (!sockets.started()) {
        status_ = std::string(kWinsockFailure);
        return;
    }
    description_ = bytes::textUpToNul(sockets.record(), kDescriptionOffset, kLongestDescription);
    status_ = bytes::textUpToNul(sockets.record(), kSystemStatusOffset, kLongestSystemStatus);
    const uint16_t highest = bytes::le16(sockets.record(), kHighVersionOffset);
    majorVersion_ = highest & 0xFF;
    minorVersion_ = highest >> 8;
}

void TWinsock::Report(TStrings& report) const {
    addReportSection(report, "Winsock");
    addReportEntry(report, "Description", description_);
    addReportEntry(report, "Version", Format("%d.%d", {majorVersion_, minorVersion_}));
    addReportEntry(report, "Status", status_);
}

// ---------------------------------------------------------------- TTCPIP

TTCPIP::TTCPIP(platform::Platform& platform) : ipHelper_(platform.libraries(), std::string(kIpHelperLibrary)) {
    getAdaptersInfo_ = ipHelper_.entry<IpHelperQueryFn>(std::string(kGetAdaptersInfo));
    getNetworkParams_ = ipHelper_.entry<IpHelperQueryFn>(std::string(kGetNetworkParams));
}

TTCPIP::~TTCPIP() = default;

void TTCPIP::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("AdapterCount", AdapterCount(), "Word")
        .string("HostName", hostName_)
        .string("DomainName", domainName_)
        .boolean("EnableProxy", enableProxy_)
        .boolean("EnableRouting", enableRouting_)
        .boolean("EnableDNS", enableDNS_)
        .string("PrimaryDNSSuffix", primaryDNSSuffix_)
        .string("DHCPScopeName", dhcpScopeName_)
        .object("DNSServers", &dnsServers_)
        .enumeration("NodeType", "TNodeType", kNodeTypeNames, nodeType_);
}

void TTCPIP::GetInfo() {
    if (!ipHelper_.loaded()) {
        return;
    }
    adapters_.clear();
    dnsServers_.clear();
    readAdapters();
    readNetworkParams();
}

bool TTCPIP::GetAdapter(int index, TAdapter& adapter) const {
    if (index < 0 || static_cast<size_t>(index) >= adapters_.size()) {
        return false;
    }
    adapter = adapters_[static_cast<size_t>(index)];
    return true;
}

// The records are walked only after success: a "no data" answer holds none.
void TTCPIP::readAdapters() {
    if (getAdaptersInfo_ == nullptr) {
        throw missingEntry(kGetAdaptersInfo);
    }
    const IpHelperAnswer answer = askIpHelper(getAdaptersInfo_, kFirstAdaptersBufferSize);
    if (answer.result != ip_helper::kSuccess) {
        return;
    }
    const LinkedRecords records(answer);
    for (const size_t record : records.chain(0, kAdapterRecordSize)) {
        adapters_.push_back(adapterAt(records, record));
    }
}

void TTCPIP::clearNetworkParams() {
    hostName_.clear();
    domainName_.clear();
    nodeType_ = TNodeType::ntUnknown;
    dhcpScopeName_.clear();
    primaryDNSSuffix_.clear();
    enableProxy_ = false;
    enableRouting_ = false;
    enableDNS_ = false;
}

// Asked with the fixed part's size first; with two DNS servers or more the library
// answers with the size it needs and is asked again.
void TTCPIP::readNetworkParams() {
    if (getNetworkParams_ == nullptr) {
        throw missingEntry(kGetNetworkParams);
    }
    clearNetworkParams();
    const IpHelperAnswer answer = askIpHelper(getNetworkParams_, kFixedInfoSize);
    const LinkedRecords records(answer);
    if (answer.result != ip_helper::kSuccess || !records.fits(0, kFixedInfoSize)) {
        return;
    }
    hostName_ = records.text(kHostNameOffset, kLongestName);
    domainName_ = records.text(kDomainNameOffset, kLongestName);
    nodeType_ = NodeTypeOf(records.number(kNodeTypeOffset));
    dhcpScopeName_ = records.text(kScopeIdOffset, kLongestScopeId);
    if (const auto current = records.follow(records.number(kCurrentDnsServerOffset), kAddressNodeSize)) {
        primaryDNSSuffix_ = records.text(*current + kAddressTextOffset, kAddressTextField);
    }
    for (const size_t node : records.chain(kDnsServerListOffset, kAddressNodeSize)) {
        dnsServers_.add(records.text(node + kAddressTextOffset, kAddressTextField));
    }
    enableRouting_ = records.number(kEnableRoutingOffset) != 0;
    enableProxy_ = records.number(kEnableProxyOffset) != 0;
    enableDNS_ = records.number(kEnableDnsOffset) != 0;
}

void TTCPIP::Report(TStrings& report) const {
    addReportSection(report, "TCP/IP");
    addReportEntry(report, "HostName", hostName_);
    addReportEntry(report, "DomainName", domainName_);
    addReportEntry(report, "NodeType", kNodeTypeTexts[static_cast<size_t>(nodeType_)]);
    addReportEntry(report, "PrimaryDNSSuffix", primaryDNSSuffix_);
    addReportEntry(report, "DNSServers", dnsServers_.commaText());
    addReportEntry(report, "AdapterCount", static_cast<int32_t>(AdapterCount()));
    for (size_t index = 0; index < adapters_.size(); ++index) {
        const TAdapter& adapter = adapters_[index];
        addReportEntry(report, indexedKey("Adapter", index), adapter.Name);
        addReportEntry(report, indexedKey("AdapterPhysAddr", index), adapter.Address);
        addReportEntry(report, indexedKey("AdapterType", index), kAdapterKindTexts[adapter.Type]);
        for (const AddressListField& list : kAddressLists) {
            addReportEntry(report, indexedKey(list.addressKey, index), commaTextOf(adapter.*list.addresses));
            addReportEntry(report, indexedKey(list.maskKey, index), commaTextOf(adapter.*list.masks));
        }
    }
}

// ---------------------------------------------------------------- TNetwork

TNetwork::TNetwork(platform::Platform& platform) : platform_(platform), winsock_(platform), tcpip_(platform) {
    readAdapters();
}

TNetwork::~TNetwork() = default;

void TNetwork::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
        .object("IPAddresses", &ipAddresses_)
        .object("MACAddresses", &macAddresses_)
        .object("Adapters", &adapters_)
        .integer("CardAdapterIndex", cardAdapterIndex_)
        .object("Protocols", &protocols_)
        .object("Services", &services_)
        .object("Clients", &clients_)
        .object("WinSock", &winsock_)
        .object("TCPIP", &tcpip_);
}

// The devices of the network class, in the devices probe's order.
void TNetwork::readAdapters() {
    TDevices devices(platform_);
    CallGetInfo(platform_.ui(), "TDevices.GetInfo", exceptionMode_, &TDevices::GetInfo, devices);
    for (int index = 0; index < devices.Count(); ++index) {
        const TDevice* device = devices.Device(index);
        if (device->DeviceClass != device_class::kNet) {
            continue;
        }
        const int added = adapters_.add(device->FriendlyName.empty() ? device->Description : device->FriendlyName);
        if (!device->Location.empty() && cardAdapterIndex_ < 0) {
            cardAdapterIndex_ = added;
        }
    }
}

void TNetwork::GetInfo() {
    CallGetInfo(platform_.ui(), "TWinsock.GetInfo", exceptionMode_, &TWinsock::GetInfo, winsock_);
    CallGetInfo(platform_.ui(), "TTCPIP.GetInfo", exceptionMode_, &TTCPIP::GetInfo, tcpip_);
    readIPAddresses();
    readInstalledComponents();
    readMACAddresses();
    cardAdapter_ = cardAdapterName();
}

// The addresses the resolver gives for the host's own name.
void TNetwork::readIPAddresses() {
    ipAddresses_.clear();
    platform::Network& network = platform_.network();
    const SocketsSession sockets(network, kWinsock11);
    const std::optional<std::string> host = sockets.started() ? network.hostName(kHostNameBufferSize) : std::nullopt;
    const auto addresses = host ? network.hostAddresses(*host) : std::nullopt;
    for (const platform::IPv4Address& address : addresses.value_or(std::vector<platform::IPv4Address>{})) {
        ipAddresses_.add(dottedText(address));
    }
}

// Windows 2000 describes the network components below its Network key; the other
// systems in the driver keys of their classes.
void TNetwork::readInstalledComponents() {
    const TOstrelFacts& facts = OstrelFacts();
    const std::string_view classKey = facts.Is2K ? k2000NetworkKey : std::string_view(facts.ClassKey);
    const std::string_view valueName = facts.Is2K ? "Description" : "DriverDesc";
    const std::pair<std::string_view, TStrings*> components[] = {
        {"NetTrans", &protocols_},
        {"NetService", &services_},
        {"NetClient", &clients_},
    };
    std::string classId;
    for (const auto& [className, list] : components) {
        GetClassDevices(platform_, classKey, className, valueName, classId, *list);
    }
}

// Each LAN adapter that resets; LAN numbers bound to one card give its address once.
void TNetwork::readMACAddresses() {
    macAddresses_.clear();
    platform::Network& network = platform_.network();
    for (const uint8_t lana : lanAdapterNumbers(network)) {
        if (network.netbios(netbiosCommand(netbios::kReset, lana), {}) != netbios::kGood) {
            continue;
        }
        const std::string address = adapterAddress(network, lana);
        if (macAddresses_.indexOf(address) < 0) {
            macAddresses_.add(address);
        }
    }
}

std::string TNetwork::cardAdapterName() const {
    if (cardAdapterIndex_ >= 0 && cardAdapterIndex_ < adapters_.count()) {
        return adapters_[cardAdapterIndex_];
    }
    return adapters_.empty() ? std::string(kNoCardAdapter) : adapters_[0];
}

void TNetwork::Report(TStrings& report) const {
    addReportSection(report, "Network");
    AddListToReport(adapters_, "Count", "Adapter", report);
    AddListToReport(protocols_, "ProtoCount", "Protocol", report);
    AddListToReport(services_, "ServiceCount", "Service", report);
    AddListToReport(clients_, "ClientCount", "Client", report);
    AddListToReport(ipAddresses_, "IPCount", "IPAddress", report);
    AddListToReport(macAddresses_, "MACCount", "MACAddress", report);
    winsock_.Report(report);
    tcpip_.Report(report);
}

}  // namespace vardak::probes
