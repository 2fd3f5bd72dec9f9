// The network probe against Wine's real libraries: the adapter and network-parameter
// records the probe reads from the IP helper library's bytes are those the
// platform's own record declarations give, and NetBIOS refuses an adapter
// enumeration into less than a whole LANA_ENUM record.
#include <windows.h>
#include <iphlpapi.h>
#include <nb30.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "framework/SysUtils.h"
#include "platform/win32/Win32Network.h"
#include "platform/win32/Win32Platform.h"
#include "probes/software/Vesk_Network.h"

namespace vardak::winetest {
namespace {

using probes::TAdapter;

void readList(const IP_ADDR_STRING& first, std::vector<std::string>& addresses, std::vector<std::string>& masks) {
    for (const IP_ADDR_STRING* node = &first; node != nullptr; node = node->Next) {
        addresses.emplace_back(node->IpAddress.String);
        masks.emplace_back(node->IpMask.String);
    }
}

// The adapters as the declared IP_ADAPTER_INFO records give them.
std::vector<TAdapter> declaredAdapters() {
    ULONG size = 0;
    if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) {
        return {};
    }
    std::vector<uint8_t> buffer(size);
    auto* first = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    if (GetAdaptersInfo(first, &size) != NO_ERROR) {
        return {};
    }
    std::vector<TAdapter> adapters;
    for (const IP_ADAPTER_INFO* info = first; info != nullptr; info = info->Next) {
        TAdapter adapter;
        adapter.Name = trim(info->Description);
        adapter.Address = probes::LowerHexBytes(
            std::span<const uint8_t>(info->Address, std::min<size_t>(info->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH)),
            "-");
        adapter.Type = probes::AdapterKindOf(info->Type);
        adapter.EnableDHCP = info->DhcpEnabled != 0;
        adapter.HaveWINS = info->HaveWins != 0;
        readList(info->IpAddressList, adapter.IPAddress, adapter.IPAddressMask);
        readList(info->GatewayList, adapter.Gateway, adapter.GatewayMask);
        readList(info->DhcpServer, adapter.DHCPServer, adapter.DHCPServerMask);
        readList(info->PrimaryWinsServer, adapter.PrimaryWINS, adapter.PrimaryWINSMask);
        readList(info->SecondaryWinsServer, adapter.SecondaryWINS, adapter.SecondaryWINSMask);
        adapters.push_back(adapter);
    }
    return adapters;
}

TEST(NetworkWineTest, TheAdapterRecordsReadAsTheirDeclarationLaysThemOut) {
    const std::vector<TAdapter> declared = declaredAdapters();
    ASSERT_FALSE(declared.empty());
    win32::Win32Platform platform(/*console=*/true);
    probes::TTCPIP tcpip(platform);
    tcpip.GetInfo();
    ASSERT_EQ(tcpip.AdapterCount(), declared.size());
    for (size_t index = 0; index < declared.size(); ++index) {
        TAdapter read;
        ASSERT_TRUE(tcpip.GetAdapter(static_cast<int>(index), read));
        EXPECT_EQ(read, declared[index]) << declared[index].Name;
    }
}

TEST(NetworkWineTest, TheNetworkParametersReadAsTheirDeclarationLaysThemOut) {
    ULONG size = 0;
    ASSERT_EQ(GetNetworkParams(nullptr, &size), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
    std::vector<uint8_t> buffer(size);
    auto* info = reinterpret_cast<FIXED_INFO*>(buffer.data());
    ASSERT_EQ(GetNetworkParams(info, &size), static_cast<DWORD>(NO_ERROR));
    std::vector<std::string> servers;
    std::vector<std::string> unused;
    readList(info->DnsServerList, servers, unused);

    win32::Win32Platform platform(/*console=*/true);
    probes::TTCPIP tcpip(platform);
    tcpip.GetInfo();
    EXPECT_EQ(tcpip.HostName(), info->HostName);
    EXPECT_EQ(tcpip.DomainName(), info->DomainName);
    EXPECT_EQ(tcpip.DHCPScopeName(), info->ScopeId);
    EXPECT_EQ(tcpip.NodeType(), probes::NodeTypeOf(info->NodeType));
    EXPECT_EQ(tcpip.DNSServers().toVector(), servers);
    EXPECT_EQ(tcpip.PrimaryDNSSuffix(),
              info->CurrentDnsServer == nullptr ? std::string() : std::string(info->CurrentDnsServer->IpAddress.String));
    EXPECT_EQ(tcpip.EnableDNS(), info->EnableDns != 0);
}

TEST(NetworkWineTest, NetbiosEnumeratesOnlyIntoAWholeLanaEnumRecord) {
    static_assert(sizeof(LANA_ENUM) == 256);
    win32::Win32Network network;
    platform::NetbiosCommand enumerate;
    enumerate.command = NCBENUM;
    std::array<uint8_t, sizeof(LANA_ENUM) - 1> shortRecord{};
    EXPECT_NE(network.netbios(enumerate, shortRecord), NRC_GOODRET);
    std::array<uint8_t, sizeof(LANA_ENUM)> record{};
    EXPECT_EQ(network.netbios(enumerate, record), NRC_GOODRET);
    EXPECT_GE(record[0], 1) << "the host's interface is a LAN adapter";
}

}  // namespace
}  // namespace vardak::winetest
