// The network probe: the network adapters the device registry knows, the host's IP
// addresses through Windows Sockets 1.1, the hardware (MAC) addresses of the LAN
// adapters through NetBIOS, the installed protocols, services and clients, the
// sockets implementation (TWinsock) and the TCP/IP configuration of the IP helper
// library (TTCPIP), which is bound while the program runs: systems before Windows 98
// and NT 4 SP4 lack it.
//
// The adapter list is read once, when the probe is created, from a devices probe of
// its own; every GetInfo reads the rest again.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "platform/Platform.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

// ---------------------------------------------------------------- texts and tables

enum class TNodeType : uint8_t { ntUnknown, ntBroadcast, ntPeerToPeer, ntMixed, ntHybrid };
inline constexpr std::string_view kNodeTypeNames[] = {"ntUnknown", "ntBroadcast", "ntPeerToPeer", "ntMixed",
                                                      "ntHybrid"};
// The report's words, by ordinal.
inline constexpr std::string_view kNodeTypeTexts[] = {"Unknown", "Broadcast", "Peer-To-Peer", "Mixed", "Hybrid"};

// The NetBIOS node type of the network parameters (1, 2, 4, 8); Unknown for any other.
TNodeType NodeTypeOf(uint32_t nodeType);

// The adapter kinds of TAdapter::Type, by index, and the MIB interface type each stands for.
inline constexpr std::string_view kAdapterKindTexts[] = {"Other", "Ethernet", "Token Ring", "FDDI",
                                                         "PPP",   "Loopback", "Slip"};
// The kind of an adapter record's MIB interface type; Other (0) for a type not listed.
uint8_t AdapterKindOf(uint32_t interfaceType);

inline constexpr std::string_view kUnknownMACAddress = "??:??:??:??:??:??";
inline constexpr std::string_view kNoCardAdapter = "<not detected>";
inline constexpr std::string_view kWinsockFailure = "Winsock cannot be initialized.";

// Each byte as two lower-case hexadecimal digits, joined by `separator`.
std::string LowerHexBytes(std::span<const uint8_t> bytes, std::string_view separator);

// ---------------------------------------------------------------- IP helper library

inline constexpr std::string_view kIpHelperLibrary = "iphlpapi.dll";
inline constexpr std::string_view kGetAdaptersInfo = "GetAdaptersInfo";
inline constexpr std::string_view kGetNetworkParams = "GetNetworkParams";
// GetAdaptersInfo and GetNetworkParams: both fill the caller's buffer with linked
// records and set `size` to what they need when it is too small.
using IpHelperQueryFn = uint32_t(VARDAK_WINAPI*)(void* buffer, uint32_t* size);

namespace ip_helper {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kBufferOverflow = 111;  // ERROR_BUFFER_OVERFLOW
inline constexpr uint32_t kNoData = 232;          // ERROR_NO_DATA
}  // namespace ip_helper

// One adapter of the IP helper library. Every address and mask is a dotted text; the
// lists of one kind run in step (the n-th mask belongs to the n-th address).
struct TAdapter {
    std::string Name;     // the description, trimmed
    std::string Address;  // hardware address, "00-50-56-c0-00-08"
    uint8_t Type = 0;     // index into kAdapterKindTexts
    bool EnableDHCP = false;
    bool HaveWINS = false;
    std::vector<std::string> IPAddress;
    std::vector<std::string> IPAddressMask;
    std::vector<std::string> Gateway;
    std::vector<std::string> GatewayMask;
    std::vector<std::string> DHCPServer;
    std::vector<std::string> DHCPServerMask;
    std::vector<std::string> PrimaryWINS;
    std::vector<std::string> PrimaryWINSMask;
    std::vector<std::string> SecondaryWINS;
    std::vector<std::string> SecondaryWINSMask;

    friend bool operator==(const TAdapter&, const TAdapter&) = default;
};

// ---------------------------------------------------------------- TWinsock

class TWinsock : public TPersistent {
public:
    explicit TWinsock(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TWinsock"; }
    void publishProperties(PropertyTable& table) const override;

    // Starts Windows Sockets 1.1 and reads the implementation's description, status
    // and highest version; where it does not start, only Status changes.
    void GetInfo();
    // Appends "[Winsock]".
    void Report(TStrings& report) const;

    const std::string& Description() const { return description_; }
    uint16_t MajorVersion() const { return majorVersion_; }
    uint16_t MinorVersion() const { return minorVersion_; }
    const std::string& Status() const { return status_; }

private:
    platform::Platform& platform_;
    std::string description_;
    uint16_t majorVersion_ = 0;
    uint16_t minorVersion_ = 0;
    std::string status_;
};

// ---------------------------------------------------------------- TTCPIP

class TTCPIP : public TPersistent {
public:
    // Binds the IP helper library for the probe's lifetime.
    explicit TTCPIP(platform::Platform& platform);
    ~TTCPIP() override;

    std::string_view className() const override { return "TTCPIP"; }
    void publishProperties(PropertyTable& table) const override;

    // Without the library nothing changes. Otherwise the adapters and DNS servers are
    // read again; a missing entry point raises once they are cleared. A call that
    // fails leaves its values empty.
    void GetInfo();
    // Appends "[TCP/IP]".
    void Report(TStrings& report) const;

    uint16_t AdapterCount() const { return static_cast<uint16_t>(adapters_.size()); }
    // Copies adapter `index` into `adapter`; false, with `adapter` untouched, outside the list.
    bool GetAdapter(int index, TAdapter& adapter) const;
    const std::string& HostName() const { return hostName_; }
    const std::string& DomainName() const { return domainName_; }
    bool EnableProxy() const { return enableProxy_; }
    bool EnableRouting() const { return enableRouting_; }
    bool EnableDNS() const { return enableDNS_; }
    // The address of the DNS server in use.
    const std::string& PrimaryDNSSuffix() const { return primaryDNSSuffix_; }
    // The NetBIOS scope id.
    const std::string& DHCPScopeName() const { return dhcpScopeName_; }
    const TStrings& DNSServers() const { return dnsServers_; }
    TNodeType NodeType() const { return nodeType_; }

private:
    void readAdapters();
    void readNetworkParams();
    void clearNetworkParams();

    platform::LoadedLibrary ipHelper_;
    IpHelperQueryFn getAdaptersInfo_ = nullptr;
    IpHelperQueryFn getNetworkParams_ = nullptr;

    std::vector<TAdapter> adapters_;
    std::string hostName_;
    std::string domainName_;
    bool enableProxy_ = false;
    bool enableRouting_ = false;
    bool enableDNS_ = false;
    std::string primaryDNSSuffix_;
    std::string dhcpScopeName_;
    TStringList dnsServers_;
    TNodeType nodeType_ = TNodeType::ntUnknown;
};

// ---------------------------------------------------------------- TNetwork

class TNetwork : public TPersistent {
public:
    // Reads the adapter list through a devices probe refreshed under ExceptionMode.
    explicit TNetwork(platform::Platform& platform);
    ~TNetwork() override;

    std::string_view className() const override { return "TNetwork"; }
    void publishProperties(PropertyTable& table) const override;

    // Refreshes everything but the adapter list; the sub-objects under ExceptionMode.
    // Needs the shared routines started.
    void GetInfo();
    // Appends "[Network]", "[Winsock]" and "[TCP/IP]".
    void Report(TStrings& report) const;

    TExceptionMode ExceptionMode() const { return exceptionMode_; }
    void setExceptionMode(TExceptionMode mode) { exceptionMode_ = mode; }

    const TStrings& IPAddresses() const { return ipAddresses_; }
    const TStrings& MACAddresses() const { return macAddresses_; }
    const TStrings& Adapters() const { return adapters_; }
    // The first adapter with a location (a card in a slot), -1 when none has one.
    int32_t CardAdapterIndex() const { return cardAdapterIndex_; }
    const TStrings& Protocols() const { return protocols_; }
    const TStrings& Services() const { return services_; }
    const TStrings& Clients() const { return clients_; }
    const TWinsock& WinSock() const { return winsock_; }
    const TTCPIP& TCPIP() const { return tcpip_; }

    // Unpublished, set by GetInfo: the card adapter's name, else the first adapter's,
    // else kNoCardAdapter.
    const std::string& CardAdapter() const { return cardAdapter_; }

private:
    void readAdapters();
    void readIPAddresses();
    void readInstalledComponents();
    void readMACAddresses();
    std::string cardAdapterName() const;

    platform::Platform& platform_;
    TExceptionMode exceptionMode_ = TExceptionMode::emMessage;
    TStringList ipAddresses_;
    TStringList macAddresses_;
    TStringList adapters_;
    int32_t cardAdapterIndex_ = -1;
    TStringList protocols_;
    TStringList services_;
    TStringList clients_;
    TWinsock winsock_;
    TTCPIP tcpip_;
    std::string cardAdapter_;
};

}  // namespace vardak::probes
