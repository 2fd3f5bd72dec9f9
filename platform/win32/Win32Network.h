// NetBIOS through netapi32, Windows Sockets 1.1 through wsock32, and the network
// resources and user name through the multiple-provider router (mpr).
#pragma once

#include "platform/Network.h"

namespace vardak::win32 {

class Win32Network final : public platform::Network {
public:
    uint8_t netbios(const platform::NetbiosCommand& command, std::span<uint8_t> buffer) override;
    platform::SocketsStartup startSockets(uint16_t version) override;
    void stopSockets() override;
    std::optional<std::string> hostName(size_t bufferSize) override;
    std::optional<std::vector<platform::IPv4Address>> hostAddresses(const std::string& name) override;
    std::unique_ptr<platform::ResourceEnumeration> openResourceEnumeration(platform::ResourceScope scope) override;
    std::optional<std::string> connectionUserName(size_t bufferSize) override;
};

}  // namespace vardak::win32
