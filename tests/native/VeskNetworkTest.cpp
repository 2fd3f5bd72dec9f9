// The network probe on the registries of a Windows XP, 2000 and 98 machine
// (tests/fixtures/network-*.reg), with scripted NetBIOS adapters, sockets library
// and IP helper answers; the XP machine's whole report is network-xp-report.txt.
#include "probes/software/Vesk_Network.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using ::testing::ElementsAre;
using ::testing::IsSupersetOf;
using testing::FakeLana;
using testing::FakePlatform;

// ---------------------------------------------------------------- scripted IP helper

// The library's 32-bit records, linked by 32-bit addresses in the caller's buffer.
struct AddressNode32 {
    uint32_t next;
    char address[16], mask[16];
    uint32_t context;
};
struct AdapterInfo32 {
    uint32_t next, comboIndex;
    char adapterName[260], description[132];
    uint32_t addressLength;
    uint8_t address[8];
    uint32_t index, type, dhcpEnabled, currentIpAddress;
    AddressNode32 ipAddressList, gatewayList, dhcpServer;
    uint32_t haveWins;
    AddressNode32 primaryWinsServer, secondaryWinsServer;
    uint32_t leaseObtained, leaseExpires;
};
struct FixedInfo32 {
    char hostName[132], domainName[132];
    uint32_t currentDnsServer;
    AddressNode32 dnsServerList;
    uint32_t nodeType;
    char scopeId[260];
    uint32_t enableRouting, enableProxy, enableDns;
};
static_assert(sizeof(AddressNode32) == 40 && sizeof(AdapterInfo32) == 640 && sizeof(FixedInfo32) == 584);
constexpr uint32_t kAdapterRecordSize = sizeof(AdapterInfo32);

using Nodes = std::vector<std::pair<std::string, std::string>>;  // addresses and masks

struct FakeAdapter {
    std::string description;               // a longer text fills the field without a NUL
    std::vector<uint8_t> hardwareAddress;   // at most the field's 8 bytes are stored
    std::optional<uint32_t> addressLength;  // the address's size when unset
    uint32_t interfaceType = 6;             // MIB_IF_TYPE_ETHERNET
    uint32_t dhcpEnabled = 0;
    Nodes ipAddresses, gateways, dhcpServers, primaryWins, secondaryWins;
};

// What the entry points answer; `patchAdapters` may spoil the adapter records
// written, as a broken library would.
struct IpHelperScript {
    std::vector<FakeAdapter> adapters;
    std::string hostName = "vardak-pc", domainName;
    std::vector<std::string> dnsServers = {"10.0.0.1", "10.0.0.2"};
    uint32_t nodeType = 1, enableRouting = 0, enableProxy = 0, enableDns = 0;
    std::optional<uint32_t> paramsFailure;
    void (*patchAdapters)(uint8_t* buffer, uint32_t* size) = nullptr;
} script;

uint32_t linkTo(const void* buffer, size_t offset) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer) + offset);
}

template <size_t Size>
void putText(char (&field)[Size], const std::string& text) {
    std::memcpy(field, text.data(), std::min(text.size(), Size));
}

// Writes a list whose first node is embedded at `first`; the further nodes are
// appended to `answer`, linked as they will lie in `buffer`.
void writeList(AddressNode32& first, const Nodes& nodes, std::vector<uint8_t>& answer, const void* buffer) {
    std::vector<AddressNode32> written(nodes.size());
    const size_t further = answer.size();
    for (size_t index = 0; index < nodes.size(); ++index) {
        putText(written[index].address, nodes[index].first);
        putText(written[index].mask, nodes[index].second);
        if (index + 1 < nodes.size()) written[index].next = linkTo(buffer, further + index * sizeof(AddressNode32));
    }
    if (!written.empty()) first = written[0];
    for (size_t index = 1; index < written.size(); ++index) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&written[index]);
        answer.insert(answer.end(), bytes, bytes + sizeof(AddressNode32));
    }
}

// The answer in the caller's buffer, or "buffer overflow" and the size it needs.
uint32_t handOver(const std::vector<uint8_t>& answer, void* buffer, uint32_t* size) {
    if (buffer == nullptr || *size < answer.size()) {
        *size = static_cast<uint32_t>(answer.size());
        return ip_helper::kBufferOverflow;
    }
    std::memcpy(buffer, answer.data(), answer.size());
    return ip_helper::kSuccess;
}

// "No data" without adapters; else the adapter records, then their further nodes.
uint32_t VARDAK_WINAPI fakeGetAdaptersInfo(void* buffer, uint32_t* size) {
    if (script.adapters.empty()) {
        return ip_helper::kNoData;
    }
    std::vector<uint8_t> answer(script.adapters.size() * kAdapterRecordSize);
    for (size_t index = 0; index < script.adapters.size(); ++index) {
        const FakeAdapter& adapter = script.adapters[index];
        AdapterInfo32 record{};
        record.next = index + 1 < script.adapters.size() ? linkTo(buffer, (index + 1) * kAdapterRecordSize) : 0;
        putText(record.description, adapter.description);
        record.addressLength = adapter.addressLength.value_or(static_cast<uint32_t>(adapter.hardwareAddress.size()));
        std::memcpy(record.address, adapter.hardwareAddress.data(), std::min<size_t>(adapter.hardwareAddress.size(), 8));
        record.type = adapter.interfaceType;
        record.dhcpEnabled = adapter.dhcpEnabled;
        writeList(record.ipAddressList, adapter.ipAddresses, answer, buffer);
        writeList(record.gatewayList, adapter.gateways, answer, buffer);
        writeList(record.dhcpServer, adapter.dhcpServers, answer, buffer);
        writeList(record.primaryWinsServer, adapter.primaryWins, answer, buffer);
        writeList(record.secondaryWinsServer, adapter.secondaryWins, answer, buffer);
        std::memcpy(answer.data() + index * kAdapterRecordSize, &record, sizeof record);
    }
    const uint32_t result = handOver(answer, buffer, size);
    if (result == ip_helper::kSuccess && script.patchAdapters != nullptr) {
        script.patchAdapters(static_cast<uint8_t*>(buffer), size);
    }
    return result;
}

// Without servers the embedded node is empty.
uint32_t VARDAK_WINAPI fakeGetNetworkParams(void* buffer, uint32_t* size) {
    if (script.paramsFailure) {
        return *script.paramsFailure;
    }
    std::vector<uint8_t> answer(sizeof(FixedInfo32));
    FixedInfo32 info{};
    putText(info.hostName, script.hostName);
    putText(info.domainName, script.domainName);
    Nodes servers;
    for (const std::string& server : script.dnsServers) servers.push_back({server, ""});
    writeList(info.dnsServerList, servers, answer, buffer);
    info.currentDnsServer = servers.empty() ? 0 : linkTo(buffer, offsetof(FixedInfo32, dnsServerList));
    info.nodeType = script.nodeType;
    info.enableRouting = script.enableRouting;
    info.enableProxy = script.enableProxy;
    info.enableDns = script.enableDns;
    std::memcpy(answer.data(), &info, sizeof info);
    return handOver(answer, buffer, size);
}

// Makes the link that starts adapter record `record` point at offset `target`.
void relink(uint8_t* buffer, uint32_t record, uint32_t target) {
    const uint32_t link = linkTo(buffer, target);
    std::memcpy(buffer + record * kAdapterRecordSize, &link, sizeof link);
}

FakeAdapter ethernetCard() {
    FakeAdapter card;
    card.description = "Intel(R) PRO/1000 MT Network Connection - Packet Scheduler Miniport ";
    card.hardwareAddress = {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1};
    card.dhcpEnabled = 1;
    card.ipAddresses = {{"192.168.1.5", "255.255.255.0"}, {"192.168.7.1", "255.255.0.0"}};
    card.gateways = card.dhcpServers = {{"192.168.1.1", "255.255.255.255"}};
    card.primaryWins = {{"192.168.1.2", "255.255.255.255"}};
    return card;
}

class NetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetOstrelRoutines();
        script = {};
        machine.systemFake.poseAsWindowsXP();
    }
    void TearDown() override { ResetOstrelRoutines(); }

    void withIpHelper(bool networkParams = true) {
        machine.librariesFake.addEntry("iphlpapi.dll", "GetAdaptersInfo", fakeGetAdaptersInfo);
        if (networkParams) {
            machine.librariesFake.addEntry("iphlpapi.dll", "GetNetworkParams", fakeGetNetworkParams);
        }
    }

    FakePlatform machine;
};

// The card's two LAN numbers give its address once, adapters whose status fails the
// unknown address once, one that does not reset nothing; the IP addresses are those
// of the host name; every DNS server is listed; address lists without addresses
// show one empty entry.
TEST_F(NetworkTest, TheXPReportIsTheGoldenFile) {
    machine.loadRegistryFixture("network-xp.reg");
    const std::array<uint8_t, 6> card = {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1};
    FakeLana wan{1, {}};
    wan.statusResult = 0x05;  // NRC_CMDTMO
    FakeLana dialUp = wan;
    dialUp.number = 2;
    FakeLana unresettable{4, {0x00, 0x50, 0xDA, 0x0B, 0x1E, 0xF3}};
    unresettable.resetResult = 0x23;
    machine.networkFake.lanas = {wan, FakeLana{0, card}, dialUp, FakeLana{3, card}, unresettable,
                                 FakeLana{6, {0x00, 0x50, 0xDA, 0x0B, 0x1E, 0xF2}}};
    machine.networkFake.hosts["VARDAK-TEST"] = {{192, 168, 1, 5}, {10, 0, 0, 17}};
    withIpHelper();
    FakeAdapter tokenRing;
    tokenRing.description = "IBM Token-Ring 16/4 Adapter";
    tokenRing.interfaceType = 9;
    script.adapters = {ethernetCard(), tokenRing};
    script.adapters[0].secondaryWins = {{"192.168.1.3", "255.255.255.255"}};
    script.domainName = "example.org";
    script.dnsServers = {"192.168.1.1", "192.168.1.2", "10.1.0.3"};
    script.nodeType = 8;
    script.enableRouting = script.enableDns = 1;

    const auto network = testing::refreshedProbe<TNetwork>(machine);
    EXPECT_EQ(testing::reportOf(*network), testing::fixtureLines("network-xp-report.txt"));
    EXPECT_EQ(network->CardAdapter(), "Intel(R) PRO/1000 MT Network Connection");
    const TTCPIP& tcpip = network->TCPIP();
    EXPECT_EQ(std::tuple(tcpip.EnableRouting(), tcpip.EnableProxy(), tcpip.EnableDNS()), std::tuple(true, false, true));
    TAdapter read;
    ASSERT_TRUE(tcpip.GetAdapter(0, read));
    EXPECT_TRUE(read.EnableDHCP);
    EXPECT_FALSE(tcpip.GetAdapter(2, read));
    EXPECT_THAT(machine.networkFake.versionsAsked, ::testing::Each(0x0101));
    EXPECT_EQ(machine.networkFake.openSessions, 0);
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

struct RegistryCase {
    const char* machine;
    void (*pose)(testing::FakeSystem& system);
    const char* fixture;
    const char* extraRegText;
    std::vector<std::string> adapters;
    int32_t cardAdapterIndex;
    const char* cardAdapter;
    std::vector<std::string> protocols, services, clients;
};

const RegistryCase kRegistryCases[] = {
    {"2000, components below the Network key", [](auto& system) { system.poseAsWindows2000(); }, "network-2000.reg",
     "", {"3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)"}, 0, "3Com EtherLink XL 10/100 PCI TX NIC (3C905B-TX)",
     {"Internet Protocol (TCP/IP)", "NWLink IPX/SPX/NetBIOS Compatible Transport Protocol"},
     {"File and Printer Sharing for Microsoft Networks"}, {"Client for Microsoft Networks"}},
    {"98 without a card location", [](auto& system) { system.poseAsWindows98(true); }, "network-98.reg", "",
     {"Dial-Up Adapter", "Realtek RTL8029(AS) PCI Ethernet NIC"}, -1, "Dial-Up Adapter",
     {"TCP/IP", "NetBEUI", "IPX/SPX-compatible Protocol"}, {"File and printer sharing for Microsoft Networks"},
     {"Client for Microsoft Networks", "Microsoft Family Logon"}},
    {"98 with the card's location", [](auto& system) { system.poseAsWindows98(true); }, "network-98.reg",
     "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_10EC&DEV_8029&SUBSYS_00000000&REV_00\\BUS_00&DEV_0C&FUNC_00]\n"
     "\"LocationInformation\"=\"PCI bus 0, device 12, function 0\"\n",
     {"Dial-Up Adapter", "Realtek RTL8029(AS) PCI Ethernet NIC"}, 1, "Realtek RTL8029(AS) PCI Ethernet NIC",
     {"TCP/IP", "NetBEUI", "IPX/SPX-compatible Protocol"}, {"File and printer sharing for Microsoft Networks"},
     {"Client for Microsoft Networks", "Microsoft Family Logon"}},
    {"XP without network devices", [](auto& system) { system.poseAsWindowsXP(); }, "", "", {}, -1, "<not detected>",
     {}, {}, {}},
};

// The card adapter is the first with a location, else the first adapter.
TEST_F(NetworkTest, TheAdaptersAndComponentsAreThoseOfTheDeviceRegistry) {
    for (const RegistryCase& test : kRegistryCases) {
        FakePlatform computer;
        test.pose(computer.systemFake);
        if (*test.fixture != '\0') {
            computer.loadRegistryFixture(test.fixture);
        }
        computer.loadRegistry(std::string("REGEDIT4\n") + test.extraRegText);
        const auto network = testing::refreshedProbe<TNetwork>(computer);
        EXPECT_EQ(network->Adapters().toVector(), test.adapters) << test.machine;
        EXPECT_EQ(network->CardAdapterIndex(), test.cardAdapterIndex) << test.machine;
        EXPECT_EQ(network->CardAdapter(), test.cardAdapter) << test.machine;
        EXPECT_EQ(network->Protocols().toVector(), test.protocols) << test.machine;
        EXPECT_EQ(network->Services().toVector(), test.services) << test.machine;
        EXPECT_EQ(network->Clients().toVector(), test.clients) << test.machine;
        ResetOstrelRoutines();
    }
}

TEST_F(NetworkTest, AFailingEnumerationGivesNoMACAddresses) {
    machine.networkFake.lanas = {FakeLana{0, {0x00, 0x0C, 0x29, 0x3E, 0x5A, 0xC1}}};
    machine.networkFake.enumerateResult = 0x01;
    EXPECT_TRUE(testing::refreshedProbe<TNetwork>(machine)->MACAddresses().empty());
}

// The highest version's major number is its low byte; texts end with their fields.
TEST_F(NetworkTest, TheWinsockSectionReadsTheStartupRecord) {
    machine.networkFake.highVersion = 0x0002;
    machine.networkFake.description = std::string(300, 'D');
    machine.networkFake.systemStatus = std::string(200, 'S');
    EXPECT_THAT(testing::sectionLines(testing::reportOf(*testing::refreshedProbe<TNetwork>(machine)), "Winsock"),
                ElementsAre("Description=" + std::string(256, 'D'), "Version=2.0", "Status=" + std::string(128, 'S')));
}

// Sockets that do not start change only the status and give no IP addresses;
// neither does a host name the resolver does not know.
TEST_F(NetworkTest, SocketsThatDoNotStartChangeOnlyTheStatus) {
    machine.networkFake.hosts["VARDAK-TEST"] = {{192, 168, 1, 5}};
    const OstrelRoutinesSession session(machine);
    TNetwork network(machine);
    network.GetInfo();
    ASSERT_EQ(network.IPAddresses().count(), 1);
    machine.networkFake.startupError = 10091;  // WSASYSNOTREADY
    network.GetInfo();
    EXPECT_EQ(network.WinSock().Status(), "Winsock cannot be initialized.");
    EXPECT_EQ(std::tuple(network.WinSock().Description(), network.WinSock().MajorVersion(),
                         network.WinSock().MinorVersion()),
              std::tuple("WinSock 2.0", 2, 2));
    EXPECT_TRUE(network.IPAddresses().empty());
    machine.networkFake.startupError = 0;
    machine.networkFake.hosts.clear();
    network.GetInfo();
    EXPECT_TRUE(network.IPAddresses().empty());
    EXPECT_EQ(machine.networkFake.openSessions, 0);
}

// A second refresh after one with a card and two DNS servers, with the answers
// changed as each case says: what the section then shows.
struct SecondAnswer {
    const char* name;
    void (*change)();
    std::vector<std::string> lines;
};

const SecondAnswer kSecondAnswers[] = {
    {"the same answers: one set of adapters and servers", [] {},
     {"AdapterCount=1", "DNSServers=10.0.0.1,10.0.0.2", "NodeType=Broadcast", "PrimaryDNSSuffix=10.0.0.1"}},
    {"one DNS server, another node type", [] {
         script.dnsServers = {"10.0.0.1"};
         script.nodeType = 2;
     }, {"DNSServers=10.0.0.1", "NodeType=Peer-To-Peer"}},
    {"no DNS server: the embedded node, empty", [] { script.dnsServers.clear(); }, {"DNSServers=\"\""}},
    {"a failing network-parameters call empties its values", [] { script.paramsFailure = 87; },
     {"HostName=", "DomainName=", "NodeType=Unknown", "PrimaryDNSSuffix=", "DNSServers=", "AdapterCount=1"}},
    {"a no-data answer holds no adapter", [] { script.adapters.clear(); }, {"AdapterCount=0", "HostName=vardak-pc"}},
    {"the call says it filled one record", [] {
         script.adapters.push_back(ethernetCard());
         script.patchAdapters = [](uint8_t*, uint32_t* size) { *size = kAdapterRecordSize; };
     }, {"AdapterCount=1"}},
    {"the second record links back to the first", [] {
         script.adapters = {ethernetCard(), ethernetCard(), ethernetCard()};
         script.patchAdapters = [](uint8_t* buffer, uint32_t*) { relink(buffer, 1, 0); };
     }, {"AdapterCount=2"}},
    {"the first record links past the buffer", [] {
         script.adapters.push_back(ethernetCard());
         script.patchAdapters = [](uint8_t* buffer, uint32_t* size) { relink(buffer, 0, *size + 64); };
     }, {"AdapterCount=1"}},
    {"the first record links to a record cut by the end", [] {
         script.adapters.push_back(ethernetCard());
         script.patchAdapters = [](uint8_t* buffer, uint32_t* size) { relink(buffer, 0, *size - 100); };
     }, {"AdapterCount=1"}},
    {"an address node links back to itself", [] {
         // The second IP node, the first further node after the record.
         script.patchAdapters = [](uint8_t* buffer, uint32_t*) { relink(buffer, 1, kAdapterRecordSize); };
     }, {"Adapter_IPAddress[0]=192.168.1.5,192.168.7.1"}},
    {"a description without a NUL and an address length past the field", [] {
         script.adapters[0].description = std::string(140, 'N');
         script.adapters[0].hardwareAddress = {0x02, 0x00, 0x4C, 0x4F, 0x4F, 0x50, 0x01, 0x02};
         script.adapters[0].addressLength = 20;
     }, {"Adapter[0]=" + std::string(132, 'N'), "AdapterPhysAddr[0]=02-00-4c-4f-4f-50-01-02"}},
};

TEST_F(NetworkTest, TheTCPIPSectionReadsOnlyWhatTheAnswersHold) {
    withIpHelper();
    for (const SecondAnswer& test : kSecondAnswers) {
        script = {};
        script.adapters = {ethernetCard()};
        const OstrelRoutinesSession session(machine);
        TNetwork network(machine);
        network.GetInfo();
        test.change();
        network.GetInfo();
        EXPECT_THAT(testing::sectionLines(testing::reportOf(network), "TCP/IP"), IsSupersetOf(test.lines)) << test.name;
    }
}

TEST_F(NetworkTest, WithoutTheIPHelperLibraryTheTCPIPValuesStayEmpty) {
    const auto network = testing::refreshedProbe<TNetwork>(machine);
    EXPECT_EQ(network->TCPIP().AdapterCount(), 0);
    EXPECT_TRUE(network->TCPIP().DNSServers().empty());
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(NetworkTest, AMissingEntryFailsTheTCPIPRefreshAfterTheAdaptersAreRead) {
    withIpHelper(/*networkParams=*/false);
    script.adapters = {ethernetCard()};
    {
        const auto network = testing::refreshedProbe<TNetwork>(machine);
        EXPECT_EQ(network->TCPIP().AdapterCount(), 1);
        ASSERT_EQ(machine.uiFake.errors.size(), 1u);
        EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
        EXPECT_EQ(machine.uiFake.errors[0].text, "TTCPIP.GetInfo: iphlpapi.dll has no entry GetNetworkParams");
        EXPECT_EQ(network->WinSock().Status(), "Running") << "the rest of the refresh goes on";
    }
    EXPECT_EQ(machine.librariesFake.useCount("iphlpapi.dll"), 0);
}

}  // namespace
}  // namespace vardak::probes
