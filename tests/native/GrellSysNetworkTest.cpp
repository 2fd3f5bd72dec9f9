// The Windows, network and web-link components: the version key of each line, the
// network cards and their bindings, the resource enumerations (a resource without a
// remote name, an entry larger than the first buffer), the connection's user name,
// and which targets the web link hands to the shell.
#include "grell/system/GrellSysNetwork.h"

#include <gtest/gtest.h>

#include "grell/controls/GrellSysURLLabel.h"
#include "grell/system/GrellSysWindows.h"
#include "tests/support/FakePlatform.h"

namespace vardak::grell {
namespace {

using platform::NetResource;
using platform::ResourceScope;
using platform::RootKey;
using testing::FakePlatform;
using namespace std::string_literals;

// ---------------------------------------------------------------- Windows

constexpr std::string_view kBothVersionKeys =
    "REGEDIT4\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"
    "\"RegisteredOwner\"=\"Owner 9x\"\n\"ProductName\"=\"Microsoft Windows 98\"\n\"ProductID\"=\"12345-OEM\"\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n"
    "\"RegisteredOwner\"=\"Owner NT\"\n\"RegisteredOrganization\"=\"Vardak ApS\"\n"
    "\"ProductName\"=\"Microsoft Windows XP\"\n";

std::string registration(const TGrellSysWindowsObject& windows) {
    return windows.RegisteredOwner() + "|" + windows.RegisteredCompany() + "|" + windows.ProductName() + "|" +
           windows.ProductID() + "|" + windows.CSDVersion() + "|" + std::to_string(windows.PlatformID());
}

TEST(SysWindowsTest, EachLineReadsItsOwnKeyAndAMissingKeyKeepsTheRegistration) {
    FakePlatform machine;
    machine.loadRegistry(kBothVersionKeys);
    TGrellSysWindows component(nullptr, machine);
    machine.systemFake.poseAsWindows98(true);
    component.Refresh();
    EXPECT_EQ(registration(component.Windows()), "Owner 9x||Microsoft Windows 98|12345-OEM| A |1");
    machine.systemFake.poseAsWindowsXP(2);
    component.Refresh();
    EXPECT_EQ(registration(component.Windows()), "Owner NT|Vardak ApS|Microsoft Windows XP||Service Pack 2|2");
    machine.registryFake.removeKey(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    machine.systemFake.version.csdVersion = std::string(200, 'x');
    component.Refresh();
    EXPECT_EQ(registration(component.Windows()),
              "Owner NT|Vardak ApS|Microsoft Windows XP||" + std::string(128, 'x') + "|2");
    EXPECT_EQ(machine.registryFake.writableOpens, 0);
}

// ---------------------------------------------------------------- network

TEST(ServiceIsBoundTest, FindsTheServiceAtTheTailOfABoundDevicePath) {
    const struct { std::string bind, service; bool bound; } cases[] = {
        {"\\Device\\Nbf_El5x3\0\0"s, "El5x3", true},
        {"\\Device\\Nbf_A\0\\Device\\Nbf_El5x3\0\0"s, "El5x3", true},  // the second entry
        {"\\Device\\A\0\\Device\\B\0\0"s, "A \\Device", true},  // nuls become blanks
        {"\\Device\\EL5X3\0\0"s, "El5x3", false},  // case counts
        {"\\Device\\Nbf\0\0"s, "", false},  // an empty service matches nothing
        {"", "El5x3", false},
        {"A\0\0"s, "A ", false}};  // the last two bytes stay nul
    for (const auto& c : cases) EXPECT_EQ(ServiceIsBound(c.bind, c.service), c.bound) << c.bind << "|" << c.service;
}

NetResource share(std::optional<std::string> remote) {
    NetResource resource;
    resource.remoteName = std::move(remote);
    resource.provider = "Microsoft Windows Network";
    return resource;
}

class SysNetworkTest : public ::testing::Test {
protected:
    SysNetworkTest() { machine.loadRegistryFixture("network-cards-2000.reg"); }
    FakePlatform machine;
    TGrellSysNetwork component{nullptr, machine};
    TGrellSysNetworkObject& network = component.Network();
};

TEST_F(SysNetworkTest, ListsTheVisibleCardsWithTheirBindings) {
    component.Refresh();
    std::vector<std::string> rows;
    for (int i = 0; i < network.NetworkCards().count(); ++i) {
        const TGrellNetworkCard& card = *network.NetworkCards().Items(i);
        rows.push_back(card.Description + "|" + std::to_string(card.TCPIP().Installed()) +
                       std::to_string(card.NetBEUI().Installed()) + std::to_string(card.IPX().Installed()) + "|" +
                       card.TCPIP().IPAddress + "|" + card.IPX().NetworkNumber);
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "Intel(R) PRO/100 VE Network Connection|101|192.168.1.20\0""10.0.0.5\0\0|\0\0\x12\x34"s,
                        "3Com EtherLink III|010||",
                        // No service name: no protocol, even where an empty name would reach a key.
                        "Unnamed adapter|000||",
                    }));
    EXPECT_EQ(network.ComputerName(), "KONTOR-PC");
    TStringList lines;
    network.ListProperties(lines);
    EXPECT_NE(lines.indexOf("NetworkCards.Item[1].NetBEUI.Installed = True"), -1);
    EXPECT_EQ(machine.registryFake.writableOpens, 0);
}

TEST_F(SysNetworkTest, ResourcesWithoutRemoteNameAreLeftOutAndLargeEntriesGetTheirBuffer) {
    const std::string longName = "\\\\FILESERVER\\" + std::string(3000, 'd');
    machine.networkFake.resources[ResourceScope::Connected] = {share("\\\\SERVER\\public"), share(std::nullopt),
                                                               share(longName)};
    machine.networkFake.resources[ResourceScope::Context] = {share(std::nullopt), share("\\\\KONTOR-PC\\print")};
    component.Refresh();
    EXPECT_EQ(network.ConnectedResources().toVector(), (std::vector<std::string>{"\\\\SERVER\\public", longName}));
    EXPECT_EQ(network.SharedResources().toVector(), std::vector<std::string>{"\\\\KONTOR-PC\\print"});
    const uint32_t grown = testing::FakeNetwork::resourceSize(share(longName));
    const std::vector<uint32_t> connectedSizes(machine.networkFake.enumerationBufferSizes.begin(),
                                               machine.networkFake.enumerationBufferSizes.begin() + 5);
    EXPECT_EQ(connectedSizes, (std::vector<uint32_t>{1024, 1024, 1024, grown, grown}));
    EXPECT_EQ(machine.networkFake.openEnumerations, 0);
    const std::vector<std::string> before = network.ConnectedResources().toVector();
    component.Refresh();
    EXPECT_EQ(network.ConnectedResources().toVector(), before);
    EXPECT_EQ(network.NetworkCards().count(), 3);
}

TEST_F(SysNetworkTest, RefusedQueriesAndAnEntryThatNeverFitsLeaveEmptyValues) {
    machine.networkFake.connectionUser = "jens";
    machine.networkFake.resources[ResourceScope::Connected] = {share("\\\\SERVER\\public")};
    component.Refresh();
    EXPECT_EQ(network.UserName(), "jens");
    machine.networkFake.connectionUser.reset();
    machine.networkFake.refusedScopes = {ResourceScope::Connected, ResourceScope::Context};
    component.Refresh();
    EXPECT_EQ(network.UserName(), "");
    EXPECT_EQ(network.ConnectedResources().count(), 0);
    machine.networkFake.refusedScopes.clear();
    machine.networkFake.resources[ResourceScope::Connected] = {share(std::string(2u << 20, 'x')), share("\\\\B\\c")};
    machine.networkFake.enumerationBufferSizes.clear();
    component.Refresh();
    EXPECT_EQ(network.ConnectedResources().count(), 0);
    EXPECT_EQ(machine.networkFake.enumerationBufferSizes.front(), 1024u);
}

// ---------------------------------------------------------------- web link

constexpr char kDanish[] = "https://www.vardak.example/da/";

TEST(URLLabelTest, HandsOnlyListedTargetsToTheShell) {
    // opened: "" when the shell is not asked.
    const struct { std::string jump, caption; std::vector<std::string> allowed; std::string opened; } cases[] = {
        {kDanish, "WWWJump", {kDanish}, kDanish},
        {" https://a.example/ ", "x", {" https://a.example/ "}, " https://a.example/ "},  // blanks are passed
        {"   ", "https://b.example/", {"https://b.example/"}, "https://b.example/"},  // a blank jump: the caption
        {"", "info@vardak.example", {"mailto:info@vardak.example"}, "mailto:info@vardak.example"},
        {"https://elsewhere.example/", "x", {kDanish}, ""},
        {"calc.exe", "x", {kDanish}, ""},
        {kDanish, "x", {}, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jump + "|" + c.caption);
        FakePlatform machine;
        int window = 0;
        TGrellSysURLLabel label(nullptr, machine.shellFake, [&window] { return &window; });
        label.SetJump(c.jump);
        label.setCaption(c.caption);
        label.SetAllowedTargets(c.allowed);
        EXPECT_EQ(label.ExecuteJump(), !c.opened.empty());
        EXPECT_EQ(label.font().color, TGrellSysURLLabel::kDefaultActiveColor);
        const auto& opened = machine.shellFake.openedAddresses;
        ASSERT_EQ(opened.size(), c.opened.empty() ? 0u : 1u);
        if (opened.empty()) continue;
        EXPECT_EQ(opened[0].target, c.opened);
        EXPECT_EQ(opened[0].parent, &window);
    }
}

TEST(URLLabelBehaviourTest, AClickNeedsAPressInsideAndAShellFailureDisables) {
    FakePlatform machine;
    TGrellSysURLLabel label(nullptr, machine.shellFake);
    label.setBounds(0, 0, 60, 14);
    label.SetJump(kDanish);
    label.SetAllowedTargets({kDanish});
    label.mouseUp(MouseButton::Left, {5, 5});  // no press before it
    label.mouseDown(MouseButton::Left, {5, 5});
    label.mouseUp(MouseButton::Left, {90, 5});  // released outside
    EXPECT_TRUE(machine.shellFake.openedAddresses.empty());
    EXPECT_EQ(label.font().color, TGrellSysURLLabel::kDefaultInActiveColor);
    machine.shellFake.openResult = platform::open_result::kNoAssociation;
    label.mouseDown(MouseButton::Left, {5, 5});
    label.mouseUp(MouseButton::Left, {5, 5});
    EXPECT_EQ(machine.shellFake.openedAddresses.size(), 1u);
    EXPECT_FALSE(label.enabled());
}

}  // namespace
}  // namespace vardak::grell
