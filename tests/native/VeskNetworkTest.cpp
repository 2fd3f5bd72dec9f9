// The network probe on the registries of a Windows XP, 2000 and 98 machine
// (tests/fixtures/network-*.reg), with scripted NetBIOS adapters, sockets library
// and IP helper answers.
#include "probes/software/Vesk_Network.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/IpHelperAnswers.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;
using testing::FakeAdapterRecord;
using testing::FakeLana;
using testing::FakeNetworkParams;
using testing::FakePlatform;

// ---------------------------------------------------------------- scripted IP helper

// The answers the IP helper entry points give; `patch` may spoil the records
// written, as a broken library would.
struct IpHelperScript {
    std::vector<FakeAdapterRecord> adapters;
    FakeNetworkParams params;
    std::optional<uint32_t> paramsFailure;
    std::function<void(uint8_t* buffer, uint32_t* size)> patchAdapters;
};
IpHelperScript script;

uint32_t VARDAK_WINAPI fakeGetAdaptersInfo(void* buffer, uint32_t* size) {
    const uint32_t result = testing::answerAdaptersInfo(script.adapters, buffer, size);
    if (result == ip_helper::kSuccess && script.patchAdapters) {
        script.patchAdapters(static_cast<uint8_t*>(buffer), size);
    }
    return result;
}

uint32_t VARDAK_WINAPI fakeGetNetworkParams(void* buffer, uint32_t* size) {
    if (script.paramsFailure) {
        return *script.paramsFailure;
    }
    return testing::answerNetworkParams(script.params, buffer, size);
}

std::vector<std::string> linesOf(const TStrings& list) { return list.toVector(); }

// The lines of one section of the probe's report, without its header.
std::vector<std::string> sectionLines(const TNetwork& network, const std::string& section) {
    TStringList report;
    network.Report(report);
    return testing::sectionLines(report, section);
}

FakeAdapterRecord ethernetCard() {
    FakeAdapterRecord card;
    card.description = "Intel(R) PRO/1000 MT Network Connection - Packet Scheduler Miniport ";
    card.hardwareAddress = {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1};
    card.dhcpEnabled = true;
    card.ipAddresses = {{"192.168.1.5", "255.255.255.0"}, {"192.168.7.1", "255.255.0.0"}};
    card.gateways = {{"192.168.1.1", "255.255.255.255"}};
    card.dhcpServers = {{"192.168.1.1", "255.255.255.255"}};
    card.primaryWins = {{"192.168.1.2", "255.255.255.255"}};
    return card;
}

FakeAdapterRecord loopback() {
    FakeAdapterRecord adapter;
    adapter.description = "MS TCP Loopback interface";
    adapter.interfaceType = 24;
    adapter.ipAddresses = {{"127.0.0.1", "255.0.0.0"}};
    return adapter;
}

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetOstrelRoutines();
        script = {};
        machine.systemFake.poseAsWindowsXP();
    }
    void TearDown() override { ResetOstrelRoutines(); }

    void withIpHelper() {
        machine.librariesFake.addEntry("iphlpapi.dll", "GetAdaptersInfo", fakeGetAdaptersInfo);
        machine.librariesFake.addEntry("iphlpapi.dll", "GetNetworkParams", fakeGetNetworkParams);
    }

    // A probe created and refreshed on the machine as it is now.
    std::unique_ptr<TNetwork> refreshedProbe() { return testing::refreshedProbe<TNetwork>(machine); }

    FakePlatform machine;
};

// ---------------------------------------------------------------- adapters and components

struct RegistryCase {
    const char* machine;
    void (*pose)(testing::FakeSystem& system);
    const char* fixture;
    const char* extraRegText;
    std::vector<std::string> adapters;
    int32_t cardAdapterIndex;
    std::string cardAdapter;
    std::vector<std::string> protocols, services, clients;
};

void poseAsXP(testing::FakeSystem& system) { system.poseAsWindowsXP(); }
void poseAs2000(testing::FakeSystem& system) { system.poseAsWindows2000(); }
void poseAs98(testing::FakeSystem& system) { system.poseAsWindows98(true); }

const RegistryCase kRegistryCases[] = {
    // The miniport that is not present is left out; a friendly name wins.
    {"XP", poseAsXP, "network-xp.reg", "",
     {"Intel(R) PRO/1000 MT Network Connection", "Intel(R) PRO/100 VE Network Connection #2", "WAN Miniport (PPPOE)",
      "Direct Parallel"},
     0, "Intel(R) PRO/1000 MT Network Connection",
     {"Internet Protocol (TCP/IP)", "NetBIOS over Tcpip", "Point to Point Protocol Over Ethernet"},
     {"File and Printer Sharing for Microsoft Networks", "QoS Packet Scheduler"},
     {"Client for Microsoft Networks", "Web Client"}},
    {"2000, components below the Network key", poseAs2000, "network-2000.reg", "",
     {"3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)"}, 0, "3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)",
     {"Internet Protocol (TCP/IP)", "NWLink IPX/SPX/NetBIOS Compatible Transport Protocol"},
     {"File and Printer Sharing for Microsoft Networks"}, {"Client for Microsoft Networks"}},
    {"98 without a card location", poseAs98, "network-98.reg", "",
     {"Dial-Up Adapter", "Realtek RTL8029(AS) PCI Ethernet NIC"}, -1, "Dial-Up Adapter",
     {"TCP/IP", "NetBEUI", "IPX/SPX-compatible Protocol"}, {"File and printer sharing for Microsoft Networks"},
     {"Client for Microsoft Networks", "Microsoft Family Logon"}},
    {"98 with the card's location", poseAs98, "network-98.reg",
     "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_10EC&DEV_8029&SUBSYS_00000000&REV_00\\BUS_00&DEV_0C&FUNC_00]\n"
     "\"LocationInformation\"=\"PCI bus 0, device 12, function 0\"\n",
     {"Dial-Up Adapter", "Realtek RTL8029(AS) PCI Ethernet NIC"}, 1, "Realtek RTL8029(AS) PCI Ethernet NIC",
     {"TCP/IP", "NetBEUI", "IPX/SPX-compatible Protocol"}, {"File and printer sharing for Microsoft Networks"},
     {"Client for Microsoft Networks", "Microsoft Family Logon"}},
    {"XP without network devices", poseAsXP, nullptr, "", {}, -1, "<not detected>", {}, {},
     {}},
};

TEST_F(NetworkTest, TheAdaptersAndComponentsAreThoseOfTheDeviceRegistry) {
    for (const RegistryCase& test : kRegistryCases) {
        FakePlatform computer;
        test.pose(computer.systemFake);
        if (test.fixture != nullptr) {
            computer.loadRegistryFixture(test.fixture);
        }
        computer.loadRegistry(std::string("REGEDIT4\n") + test.extraRegText);
        const auto network = testing::refreshedProbe<TNetwork>(computer);
        EXPECT_EQ(linesOf(network->Adapters()), test.adapters) << test.machine;
        EXPECT_EQ(network->CardAdapterIndex(), test.cardAdapterIndex) << test.machine;
        EXPECT_EQ(network->CardAdapter(), test.cardAdapter) << test.machine;
        EXPECT_EQ(linesOf(network->Protocols()), test.protocols) << test.machine;
        EXPECT_EQ(linesOf(network->Services()), test.services) << test.machine;
        EXPECT_EQ(linesOf(network->Clients()), test.clients) << test.machine;
        ResetOstrelRoutines();
    }
}

// ---------------------------------------------------------------- NetBIOS

TEST_F(NetworkTest, TwoLanNumbersOfOneCardGiveOneMACAddress) {
    machine.networkFake.lanas = {
        FakeLana{0, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}},
        FakeLana{3, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}},
        FakeLana{6, {0x00, 0x50, 0xDA, 0x0B, 0x1E, 0xF2}},
    };
    const auto network = refreshedProbe();
    EXPECT_THAT(linesOf(network->MACAddresses()), ElementsAre("00:0c:29:3e:5a:c1", "00:50:da:0b:1e:f2"));
    EXPECT_THAT(sectionLines(*network, "Network"),
                ::testing::IsSupersetOf({"MACCount=2", "MACAddress1=00:0c:29:3e:5a:c1", "MACAddress2=00:50:da:0b:1e:f2"}));
}

TEST_F(NetworkTest, AdaptersWhoseStatusFailsGiveTheUnknownAddressOnce) {
    FakeLana wan{1, {}};
    wan.statusResult = 0x05;  // NRC_CMDTMO
    FakeLana dialUp = wan;
    dialUp.number = 2;
    FakeLana unresettable{4, {0x00, 0x50, 0xDA, 0x0B, 0x1E, 0xF2}};
    unresettable.resetResult = 0x23;
    machine.networkFake.lanas = {wan, FakeLana{0, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}}, dialUp, unresettable};
    const auto network = refreshedProbe();
    EXPECT_THAT(linesOf(network->MACAddresses()), ElementsAre("??:??:??:??:??:??", "00:0c:29:3e:5a:c1"));
}

TEST_F(NetworkTest, AFailingEnumerationGivesNoMACAddresses) {
    machine.networkFake.lanas = {FakeLana{0, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}}};
    machine.networkFake.enumerateResult = 0x01;
    EXPECT_TRUE(refreshedProbe()->MACAddresses().empty());
}

// ---------------------------------------------------------------- Windows Sockets

TEST_F(NetworkTest, TheWinsockSectionShowsTheHighestVersionOfTheLibrary) {
    struct Case {
        uint16_t highVersion;
        const char* versionLine;
    };
    for (const Case& test : {Case{0x0202, "Version=2.2"}, Case{0x0101, "Version=1.1"}, Case{0x0002, "Version=2.0"}}) {
        machine.networkFake.highVersion = test.highVersion;
        const auto network = refreshedProbe();
        EXPECT_THAT(sectionLines(*network, "Winsock"),
                    ElementsAre("Description=WinSock 2.0", test.versionLine, "Status=Running"))
            << test.versionLine;
    }
    for (const uint16_t asked : machine.networkFake.versionsAsked) {
        EXPECT_EQ(asked, 0x0101);
    }
    EXPECT_EQ(machine.networkFake.openSessions, 0);
}

TEST_F(NetworkTest, TextsOfTheStartupRecordEndWithTheirFields) {
    machine.networkFake.description = std::string(300, 'D');
    machine.networkFake.systemStatus = std::string(200, 'S');
    const auto network = refreshedProbe();
    EXPECT_EQ(network->WinSock().Description(), std::string(256, 'D'));
    EXPECT_EQ(network->WinSock().Status(), std::string(128, 'S'));
}

TEST_F(NetworkTest, SocketsThatDoNotStartChangeOnlyTheStatus) {
    const OstrelRoutinesSession session(machine);
    TNetwork network(machine);
    network.GetInfo();
    machine.networkFake.startupError = 10091;  // WSASYSNOTREADY
    network.GetInfo();
    EXPECT_EQ(network.WinSock().Status(), "Winsock cannot be initialized.");
    EXPECT_EQ(network.WinSock().Description(), "WinSock 2.0");
    EXPECT_EQ(network.WinSock().MajorVersion(), 2);
    EXPECT_EQ(network.WinSock().MinorVersion(), 2);
    EXPECT_EQ(machine.networkFake.openSessions, 0);
}

TEST_F(NetworkTest, TheIPAddressesAreThoseOfTheHostName) {
    machine.networkFake.hosts["VARDAK-TEST"] = {{192, 168, 1, 5}, {10, 0, 0, 17}};
    const OstrelRoutinesSession session(machine);
    TNetwork network(machine);
    network.GetInfo();
    EXPECT_THAT(linesOf(network.IPAddresses()), ElementsAre("192.168.1.5", "10.0.0.17"));
    EXPECT_EQ(machine.networkFake.openSessions, 0);

    machine.networkFake.startupError = 10091;  // WSASYSNOTREADY
    network.GetInfo();
    EXPECT_TRUE(network.IPAddresses().empty());
    machine.networkFake.startupError = 0;
    machine.networkFake.hosts.clear();
    network.GetInfo();
    EXPECT_TRUE(network.IPAddresses().empty());
}

// ---------------------------------------------------------------- TCP/IP

TEST_F(NetworkTest, TheTCPIPSectionListsEveryAdapterWithItsAddresses) {
    withIpHelper();
    FakeAdapterRecord card = ethernetCard();
    card.secondaryWins = {{"192.168.1.3", "255.255.255.255"}};
    FakeAdapterRecord tokenRing;
    tokenRing.description = "IBM Token-Ring 16/4 Adapter";
    tokenRing.interfaceType = 9;
    script.adapters = {card, tokenRing};
    script.params = {"vardak-pc", "example.org", {"192.168.1.1", "192.168.1.2", "10.1.0.3"}, 8, "", true, false, true};
    const auto network = refreshedProbe();
    const std::vector<std::string> lines = sectionLines(*network, "TCP/IP");
    ASSERT_EQ(lines.size(), 6u + 2 * 13);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 19),
                ElementsAre("HostName=vardak-pc", "DomainName=example.org", "NodeType=Hybrid",
                            "PrimaryDNSSuffix=192.168.1.1", "DNSServers=192.168.1.1,192.168.1.2,10.1.0.3",
                            "AdapterCount=2", "Adapter[0]=Intel(R) PRO/1000 MT Network Connection - Packet Scheduler Miniport",
                            "AdapterPhysAddr[0]=00-0c-29-3e-5a-c1", "AdapterType[0]=Ethernet",
                            "Adapter_IPAddress[0]=192.168.1.5,192.168.7.1", "Adapter_IPMask[0]=255.255.255.0,255.255.0.0",
                            "Adapter_Gateway_IPAddress[0]=192.168.1.1", "Adapter_Gateway_IPMask[0]=255.255.255.255",
                            "Adapter_DHCP_IPAddress[0]=192.168.1.1", "Adapter_DHCP_IPMask[0]=255.255.255.255",
                            "Adapter_PrimaryWINS_IPAddress[0]=192.168.1.2", "Adapter_PrimaryWINS_IPMask[0]=255.255.255.255",
                            "Adapter_SecondaryWINS_IPAddress[0]=192.168.1.3",
                            "Adapter_SecondaryWINS_IPMask[0]=255.255.255.255"));
    // Every address list has its first node within the adapter record: a list
    // without addresses shows one empty entry.
    EXPECT_THAT(lines, ::testing::IsSupersetOf({"Adapter[1]=IBM Token-Ring 16/4 Adapter", "AdapterPhysAddr[1]=",
                                                "AdapterType[1]=Token Ring", "Adapter_Gateway_IPAddress[1]=\"\""}));
    const TTCPIP& tcpip = network->TCPIP();
    EXPECT_TRUE(tcpip.EnableRouting());
    EXPECT_FALSE(tcpip.EnableProxy());
    EXPECT_TRUE(tcpip.EnableDNS());
    TAdapter read;
    ASSERT_TRUE(tcpip.GetAdapter(0, read));
    EXPECT_TRUE(read.EnableDHCP);
    EXPECT_FALSE(tcpip.GetAdapter(2, read));
}

TEST_F(NetworkTest, EveryDNSServerIsListedHoweverManyAreSet) {
    withIpHelper();
    struct Case {
        std::vector<std::string> servers;
        const char* line;
    };
    const Case cases[] = {
        {{}, "DNSServers=\"\""},  // the embedded node, empty
        {{"10.0.0.1"}, "DNSServers=10.0.0.1"},
        {{"10.0.0.1", "10.0.0.2"}, "DNSServers=10.0.0.1,10.0.0.2"},
        {{"10.0.0.1", "10.0.0.2", "192.168.5.5"}, "DNSServers=10.0.0.1,10.0.0.2,192.168.5.5"},
    };
    for (const Case& test : cases) {
        script.params = {"vardak-pc", "", test.servers, 1, "", false, false, false};
        const auto network = refreshedProbe();
        const std::vector<std::string> lines = sectionLines(*network, "TCP/IP");
        EXPECT_THAT(lines, ::testing::Contains(test.line));
        EXPECT_THAT(lines, ::testing::Contains("HostName=vardak-pc")) << test.line;
        EXPECT_THAT(lines, ::testing::Contains("NodeType=Broadcast")) << test.line;
    }
}

TEST_F(NetworkTest, AFailingNetworkParamsCallLeavesTheValuesEmpty) {
    withIpHelper();
    script.params = {"vardak-pc", "example.org", {"10.0.0.1"}, 2, "", false, false, false};
    const OstrelRoutinesSession session(machine);
    TNetwork network(machine);
    network.GetInfo();
    EXPECT_EQ(network.TCPIP().NodeType(), TNodeType::ntPeerToPeer);
    script.paramsFailure = 87;  // ERROR_INVALID_PARAMETER
    network.GetInfo();
    EXPECT_EQ(network.TCPIP().HostName(), "");
    EXPECT_EQ(network.TCPIP().DomainName(), "");
    EXPECT_EQ(network.TCPIP().NodeType(), TNodeType::ntUnknown);
    EXPECT_TRUE(network.TCPIP().DNSServers().empty());
}

TEST_F(NetworkTest, RefreshingTwiceKeepsOneSetOfAdaptersAndServers) {
    withIpHelper();
    script.adapters = {ethernetCard()};
    script.params = {"vardak-pc", "", {"10.0.0.1", "10.0.0.2"}, 8, "", false, false, false};
    const OstrelRoutinesSession session(machine);
    TNetwork network(machine);
    network.GetInfo();
    network.GetInfo();
    EXPECT_EQ(network.TCPIP().AdapterCount(), 1);
    EXPECT_THAT(linesOf(network.TCPIP().DNSServers()), ElementsAre("10.0.0.1", "10.0.0.2"));
}

TEST_F(NetworkTest, ANoDataAnswerGivesNoAdapter) {
    withIpHelper();
    script.params = {"vardak-pc", "", {"10.0.0.1"}, 8, "", false, false, false};
    const auto network = refreshedProbe();
    EXPECT_EQ(network->TCPIP().AdapterCount(), 0);
    EXPECT_THAT(sectionLines(*network, "TCP/IP"), ::testing::Contains("AdapterCount=0"));
    EXPECT_THAT(sectionLines(*network, "TCP/IP"), ::testing::Not(::testing::Contains("Adapter[0]=")));
}

TEST_F(NetworkTest, FieldsOfTheAdapterRecordEndWhereTheRecordSaysTheyEnd) {
    withIpHelper();
    FakeAdapterRecord adapter = ethernetCard();
    adapter.description = std::string(140, 'N');  // fills its 132 bytes without a NUL
    adapter.hardwareAddress = {0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x50, 0x01, 0x02};
    adapter.addressLength = 20;  // more than the 8-byte field holds
    script.adapters = {adapter};
    const auto network = refreshedProbe();
    TAdapter read;
    ASSERT_TRUE(network->TCPIP().GetAdapter(0, read));
    EXPECT_EQ(read.Name, std::string(132, 'N'));
    EXPECT_EQ(read.Address, "02-00-4c-4f-4f-50-01-02");
}

TEST_F(NetworkTest, TheRecordsAreWalkedOnlyWithinTheAnswer) {
    withIpHelper();
    script.adapters = {ethernetCard(), loopback(), ethernetCard()};
    struct Case {
        const char* spoil;
        std::function<void(uint8_t*, uint32_t*)> patch;
        uint16_t adapters;
    };
    const auto linkOfRecord = [](uint8_t* buffer, uint32_t record, uint32_t target) {
        const uint32_t link = testing::linkTo(buffer, target);
        std::memcpy(buffer + record * testing::kAdapterInfoRecordSize, &link, sizeof link);
    };
    const Case cases[] = {
        {"intact", nullptr, 3},
        {"the call says it filled one record",
         [](uint8_t*, uint32_t* size) { *size = testing::kAdapterInfoRecordSize; }, 1},
        {"the second record links back to the first",
         [&](uint8_t* buffer, uint32_t*) { linkOfRecord(buffer, 1, 0); }, 2},
        {"the first record links past the buffer",
         [&](uint8_t* buffer, uint32_t* size) { linkOfRecord(buffer, 0, *size + 64); }, 1},
        {"the first record links to a record cut by the end",
         [&](uint8_t* buffer, uint32_t* size) { linkOfRecord(buffer, 0, *size - 100); }, 1},
    };
    for (const Case& test : cases) {
        script.patchAdapters = test.patch;
        EXPECT_EQ(refreshedProbe()->TCPIP().AdapterCount(), test.adapters) << test.spoil;
    }
}

TEST_F(NetworkTest, AnAddressListLinkingToItselfEndsAfterItsNodes) {
    withIpHelper();
    script.adapters = {ethernetCard()};
    // The second IP node, the first further node after the record, links back to itself.
    script.patchAdapters = [](uint8_t* buffer, uint32_t*) {
        const uint32_t node = testing::kAdapterInfoRecordSize;
        const uint32_t link = testing::linkTo(buffer, node);
        std::memcpy(buffer + node, &link, sizeof link);
    };
    TAdapter read;
    ASSERT_TRUE(refreshedProbe()->TCPIP().GetAdapter(0, read));
    EXPECT_THAT(read.IPAddress, ElementsAre("192.168.1.5", "192.168.7.1"));
}

TEST_F(NetworkTest, WithoutTheIPHelperLibraryTheTCPIPValuesStayEmpty) {
    const auto network = refreshedProbe();
    EXPECT_EQ(network->TCPIP().AdapterCount(), 0);
    EXPECT_TRUE(network->TCPIP().DNSServers().empty());
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(NetworkTest, AMissingEntryFailsTheTCPIPRefreshAfterTheAdaptersAreRead) {
    machine.librariesFake.addEntry("iphlpapi.dll", "GetAdaptersInfo", fakeGetAdaptersInfo);
    script.adapters = {ethernetCard()};
    {
        const auto network = refreshedProbe();
        EXPECT_EQ(network->TCPIP().AdapterCount(), 1);
        ASSERT_EQ(machine.uiFake.errors.size(), 1u);
        EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
        EXPECT_EQ(machine.uiFake.errors[0].text, "TTCPIP.GetInfo: iphlpapi.dll has no entry GetNetworkParams");
        // The rest of the refresh goes on.
        EXPECT_EQ(network->WinSock().Status(), "Running");
    }
    EXPECT_EQ(machine.librariesFake.useCount("iphlpapi.dll"), 0);
}

}  // namespace
}  // namespace vardak::probes
