#include "grell/system/GrellSysNetwork.h"

#include <algorithm>

#include "probes/core/Ostrel_Routines.h"

namespace vardak::grell {

namespace {

using platform::ResourceScope;
using platform::ResourceStep;
using platform::RootKey;
using probes::kComputerNameKey;
using probes::kServicesKey;

constexpr std::string_view kNetworkCardsKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr std::string_view kNetBEUILinkageKey = "\\SYSTEM\\CurrentControlSet\\Services\\Nbf\\Linkage";
constexpr std::string_view kIPXLinkageKey = "\\SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Linkage";
constexpr std::string_view kIPXAdaptersKey = "\\SYSTEM\\CurrentControlSet\\Services\\NwlnkIpx\\Parameters\\Adapters\\";

std::unique_ptr<TRegistry> openLocalMachine(platform::Platform& platform, std::string_view path) {
    return TRegistry::openReadOnly(platform.registry(), RootKey::LocalMachine, path);
}

// A value's bytes as a text of exactly their length; "" for a missing value.
std::string rawText(const TRegistry* key, std::string_view name) {
    if (key == nullptr) return "";
    const std::optional<std::vector<uint8_t>> bytes = key->readBytes(name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "";
}

// A service name that names one key below the services key.
bool namesOneService(std::string_view serviceName) {
    return !serviceName.empty() && serviceName.find('\\') == std::string_view::npos;
}

}  // namespace

bool ServiceIsBound(std::string_view bindValue, std::string_view serviceName) {
    if (bindValue.empty() || serviceName.empty()) return false;
    std::string text(bindValue);
    if (text.size() >= 3) std::replace(text.begin(), text.end() - 2, '\0', ' ');
    return text.find(serviceName) != std::string::npos;
}

// ---------------------------------------------------------------- protocols and cards

void TGrellProtocol::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.boolean("Installed", installed_);
}

void TGrellTCPIP::publishProperties(PropertyTable& table) const {
    TGrellProtocol::publishProperties(table);
    table.string("IPAddress", IPAddress).string("IPSubnetMask", IPSubnetMask).string("DefaultGateway", DefaultGateway);
}

void TGrellIPX::publishProperties(PropertyTable& table) const {
    TGrellProtocol::publishProperties(table);
    table.string("NetworkNumber", NetworkNumber);
}

void TGrellNetworkCard::publishProperties(PropertyTable& table) const {
    TGrellSysCollectionItem::publishProperties(table);
    table.string("Description", Description).object("TCPIP", &tcpip_).object("NetBEUI", &netBEUI_).object("IPX", &ipx_);
}

// ---------------------------------------------------------------- TGrellSysNetworkObject

TGrellSysNetworkObject::TGrellSysNetworkObject(platform::Platform& platform)
    : TGrellSysObject(platform), networkCards_(platform) {
    // The cards' changes reach the object's listener with the object as sender.
    networkCards_.SetOnChange([this](TObject&, const std::string& name, const std::string& oldValue,
                                     const std::string& newValue,
                                     TDateTime datetime) {
        if (OnChange()) OnChange()(*this, name, oldValue, newValue, datetime);
    });
}

void TGrellSysNetworkObject::publishProperties(PropertyTable& table) const {
    TGrellSysObject::publishProperties(table);
    table.object("ConnectedResources", &connectedResources_)
        .object("SharedResources", &sharedResources_)
        .string("UserName", userName_)
        .string("ComputerName", computerName_)
        .object("NetworkCards", &networkCards_);
}

void TGrellSysNetworkObject::Retrieve() {
    userName_ = platform().network().connectionUserName(kUserNameBuffer).value_or("");
    const std::unique_ptr<TRegistry> names = openLocalMachine(platform(), kComputerNameKey);
    computerName_ = names ? names->readText("ComputerName").value_or("") : "";
    connectedResources_.clear();
    sharedResources_.clear();
    networkCards_.clear();
    listResources(ResourceScope::Connected, connectedResources_);
    listResources(ResourceScope::Context, sharedResources_);
    loadNetworkCards();
}

void TGrellSysNetworkObject::listResources(ResourceScope scope, TStringList& list) {
    const std::unique_ptr<platform::ResourceEnumeration> enumeration =
        platform().network().openResourceEnumeration(scope);
    if (!enumeration) return;
    uint32_t bufferSize = kFirstEnumerationBuffer;
    for (;;) {
        const platform::ResourceEnumStep step = enumeration->next(bufferSize);
        if (step.step == ResourceStep::MoreData && step.requiredSize > bufferSize &&
            step.requiredSize <= kLargestEnumerationBuffer) {
            bufferSize = step.requiredSize;
            continue;
        }
        if (step.step != ResourceStep::Entry) return;
        if (step.resource.remoteName) list.add(*step.resource.remoteName);
    }
}

void TGrellSysNetworkObject::loadNetworkCards() {
    const std::unique_ptr<TRegistry> cards = openLocalMachine(platform(), kNetworkCardsKey);
    if (!cards) return;
    for (const std::string& name : cards->subkeyNames()) {
        const std::unique_ptr<TRegistry> key = openLocalMachine(platform(), std::string(kNetworkCardsKey) + "\\" + name);
        if (!key || key->readDWord("Hidden") == 1u) continue;
        TGrellNetworkCard& card = *networkCards_.Add();
        card.Description = key->readText("Description").value_or("");
        card.ServiceName = key->readText("ServiceName").value_or("");
        readProtocols(card);
    }
}

void TGrellSysNetworkObject::readProtocols(TGrellNetworkCard& card) {
    if (!namesOneService(card.ServiceName)) return;
    const std::unique_ptr<TRegistry> addresses =
        openLocalMachine(platform(), std::string(kServicesKey) + card.ServiceName + "\\Parameters\\TCPIP");
    if (addresses) {
        TGrellTCPIP& tcpip = card.TCPIP();
        tcpip.SetInstalled(true);
        tcpip.IPSubnetMask = rawText(addresses.get(), "SubnetMask");
        tcpip.IPAddress = rawText(addresses.get(), "IPAddress");
        tcpip.DefaultGateway = rawText(addresses.get(), "DefaultGateway");
    }
    const std::unique_ptr<TRegistry> netBEUI = openLocalMachine(platform(), kNetBEUILinkageKey);
    card.NetBEUI().SetInstalled(ServiceIsBound(rawText(netBEUI.get(), "Bind"), card.ServiceName));
    const std::unique_ptr<TRegistry> ipx = openLocalMachine(platform(), kIPXLinkageKey);
    card.IPX().SetInstalled(ServiceIsBound(rawText(ipx.get(), "Bind"), card.ServiceName));
    if (card.IPX().Installed()) {
        const std::unique_ptr<TRegistry> adapter =
            openLocalMachine(platform(), std::string(kIPXAdaptersKey) + card.ServiceName);
        card.IPX().NetworkNumber = rawText(adapter.get(), "NetworkNumber");
    }
}

}  // namespace vardak::grell
