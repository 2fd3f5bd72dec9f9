// The network component: the user and computer name, the connected network resources
// and those of the user's network context, and the network cards of the NT line's
// registry with their TCP/IP, NetBEUI and IPX bindings.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "grell/system/GrellSysBase.h"

namespace vardak::grell {

class TGrellNetworkCard;

class TGrellProtocol : public TPersistent {
public:
    explicit TGrellProtocol(TGrellNetworkCard& card) : card_(card) {}

    std::string_view className() const override { return "TGrellProtocol"; }
    void publishProperties(PropertyTable& table) const override;

    TGrellNetworkCard& Card() const { return card_; }
    bool Installed() const { return installed_; }
    void SetInstalled(bool installed) { installed_ = installed; }

private:
    TGrellNetworkCard& card_;
    bool installed_ = false;
};

// The addresses are the registry's raw values: a multi-string keeps its NULs.
class TGrellTCPIP : public TGrellProtocol {
public:
    using TGrellProtocol::TGrellProtocol;
    std::string_view className() const override { return "TGrellTCPIP"; }
    void publishProperties(PropertyTable& table) const override;

    std::string IPAddress;
    std::string IPSubnetMask;
    std::string DefaultGateway;
};

class TGrellNetBEUI : public TGrellProtocol {
public:
    using TGrellProtocol::TGrellProtocol;
    std::string_view className() const override { return "TGrellNetBEUI"; }
};

class TGrellIPX : public TGrellProtocol {
public:
    using TGrellProtocol::TGrellProtocol;
    std::string_view className() const override { return "TGrellIPX"; }
    void publishProperties(PropertyTable& table) const override;

    std::string NetworkNumber;
};

class TGrellNetworkCard : public TGrellSysCollectionItem {
public:
    TGrellNetworkCard() : tcpip_(*this), netBEUI_(*this), ipx_(*this) {}

    std::string_view className() const override { return "TGrellNetworkCard"; }
    void publishProperties(PropertyTable& table) const override;

    std::string Description;
    // The card's service, which its protocols' keys and bindings name.
    std::string ServiceName;
    TGrellTCPIP& TCPIP() { return tcpip_; }
    TGrellNetBEUI& NetBEUI() { return netBEUI_; }
    TGrellIPX& IPX() { return ipx_; }
    const TGrellTCPIP& TCPIP() const { return tcpip_; }
    const TGrellNetBEUI& NetBEUI() const { return netBEUI_; }
    const TGrellIPX& IPX() const { return ipx_; }

private:
    TGrellTCPIP tcpip_;
    TGrellNetBEUI netBEUI_;
    TGrellIPX ipx_;
};

class TGrellNetworkCards : public TGrellSysCollection {
public:
    explicit TGrellNetworkCards(platform::Platform& platform)
        : TGrellSysCollection([] { return std::make_unique<TGrellNetworkCard>(); }, platform) {}

    std::string_view className() const override { return "TGrellNetworkCards"; }

    TGrellNetworkCard* Items(int index) const { return itemAs<TGrellNetworkCard>(index); }
    TGrellNetworkCard* Add() { return static_cast<TGrellNetworkCard*>(add()); }
};

// Whether `serviceName` occurs in the raw bytes of a linkage "Bind" value, read as one
// text whose NULs (but for the last two bytes) are blanks. An empty service name is
// bound nowhere.
bool ServiceIsBound(std::string_view bindValue, std::string_view serviceName);

class TGrellSysNetworkObject : public TGrellSysObject {
public:
    // The buffer of the connection's user name, in characters.
    static constexpr size_t kUserNameBuffer = 256;
    // The first buffer an enumerated resource is asked into; it grows to what an
    // entry needs, up to kLargestEnumerationBuffer.
    static constexpr uint32_t kFirstEnumerationBuffer = 1024;
    static constexpr uint32_t kLargestEnumerationBuffer = 1u << 20;

    explicit TGrellSysNetworkObject(platform::Platform& platform);

    std::string_view className() const override { return "TGrellSysNetworkObject"; }
    void publishProperties(PropertyTable& table) const override;

    const std::string& UserName() const { return userName_; }
    const std::string& ComputerName() const { return computerName_; }
    const TStringList& ConnectedResources() const { return connectedResources_; }
    const TStringList& SharedResources() const { return sharedResources_; }
    TGrellNetworkCards& NetworkCards() { return networkCards_; }
    const TGrellNetworkCards& NetworkCards() const { return networkCards_; }

    // Resources without a remote name are left out.
    void Retrieve() override;
    void ApplyChanges() override { networkCards_.ApplyChanges(); }

private:
    void listResources(platform::ResourceScope scope, TStringList& list);
    void loadNetworkCards();
    void readProtocols(TGrellNetworkCard& card);

    std::string userName_;
    TStringList sharedResources_;
    TStringList connectedResources_;
    TGrellNetworkCards networkCards_;
    std::string computerName_;
};

class TGrellSysNetwork : public TGrellSysObjectComponent<TGrellSysNetworkObject> {
public:
    TGrellSysNetwork(TComponent* owner, platform::Platform& platform)
        : TGrellSysObjectComponent(owner, platform, "Network") {}

    std::string_view className() const override { return "TGrellSysNetwork"; }

    TGrellSysNetworkObject& Network() const { return Information(); }
};

}  // namespace vardak::grell
