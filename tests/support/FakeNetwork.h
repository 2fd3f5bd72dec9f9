// NetBIOS and Windows Sockets for tests: scripted LAN adapters with their start-up
// and status answers, a scripted sockets library and resolver, scripted network
// resources per scope and the connection's user name.
//
//   machine.networkFake.lanas = {{0, {0x00, 0x50, 0x56, 0x01, 0x02, 0x03}}};
//   machine.networkFake.highVersion = 0x0202;
//   machine.networkFake.hosts["PC"] = {{192, 168, 1, 5}};
#pragma once

#include <array>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Network.h"

namespace vardak::testing {

struct FakeLana {
    uint8_t number = 0;
    std::array<uint8_t, 6> address{};
    uint8_t resetResult = platform::netbios::kGood;
    uint8_t statusResult = platform::netbios::kGood;
};

class FakeNetwork : public platform::Network {
public:
    // The bytes an entry takes: the 32-bit NETRESOURCE record and its texts with
    // their NULs, as the system counts them.
    static uint32_t resourceSize(const platform::NetResource& resource);

    // Enumeration wants a whole LANA_ENUM record, the adapter status at least the
    // fixed ADAPTER_STATUS part, as the system does; both answer kBufferLength else.
    uint8_t netbios(const platform::NetbiosCommand& command, std::span<uint8_t> buffer) override;
    // Answers `startupError`, or 0 with a WSADATA record of `highVersion`,
    // `description` and `systemStatus`; texts longer than their field fill it
    // without a NUL.
    platform::SocketsStartup startSockets(uint16_t version) override;
    void stopSockets() override { --openSessions; }
    // Both fail unless sockets are started.
    std::optional<std::string> hostName(size_t bufferSize) override;
    std::optional<std::vector<platform::IPv4Address>> hostAddresses(const std::string& name) override;
    // Nothing for a scope in `refusedScopes`; else the scope's resources one by one.
    // A buffer smaller than the entry answers MoreData with its size and keeps the
    // entry for the next call.
    std::unique_ptr<platform::ResourceEnumeration> openResourceEnumeration(platform::ResourceScope scope) override;
    // `connectionUser`, cut to the buffer's characters less the NUL.
    std::optional<std::string> connectionUserName(size_t bufferSize) override;

    uint8_t enumerateResult = platform::netbios::kGood;
    std::vector<FakeLana> lanas;

    int32_t startupError = 0;
    uint16_t highVersion = 0x0202;
    std::string description = "WinSock 2.0";
    std::string systemStatus = "Running";
    std::vector<uint16_t> versionsAsked;
    int openSessions = 0;  // starts not yet matched by a stop

    std::map<platform::ResourceScope, std::vector<platform::NetResource>> resources;
    std::set<platform::ResourceScope> refusedScopes;
    std::vector<uint32_t> enumerationBufferSizes;  // of every call, in order
    int openEnumerations = 0;                      // opened and not yet closed
    std::optional<std::string> connectionUser;     // nothing: the query fails

    std::string host = "VARDAK-TEST";
    std::map<std::string, std::vector<platform::IPv4Address>> hosts;

private:
    const FakeLana* findLana(uint8_t number) const;
};

}  // namespace vardak::testing
