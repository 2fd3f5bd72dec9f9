#include "platform/win32/Win32Network.h"

// Windows Sockets 1.1, which every Windows has, the 95 line without updates too.
#include <winsock.h>
#include <windows.h>
#include <nb30.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/Bytes.h"

namespace vardak::win32 {
namespace {

// The probes read the start-up record in its 32-bit layout.
static_assert(offsetof(WSADATA, wHighVersion) == 2);
static_assert(offsetof(WSADATA, szDescription) == 4);
static_assert(offsetof(WSADATA, szSystemStatus) == 261);
static_assert(sizeof(NCB) == 64);

constexpr size_t kLargestDataArea = 0xFFFF;  // the control block's length is a WORD

}  // namespace

uint8_t Win32Network::netbios(const platform::NetbiosCommand& command, std::span<uint8_t> buffer) {
    NCB block{};
    block.ncb_command = command.command;
    block.ncb_lana_num = command.lana;
    std::memcpy(block.ncb_callname, command.callName.data(), NCBNAMSZ);
    block.ncb_buffer = buffer.data();
    block.ncb_length = static_cast<WORD>(std::min(buffer.size(), kLargestDataArea));
    return Netbios(&block);
}

platform::SocketsStartup Win32Network::startSockets(uint16_t version) {
    WSADATA data{};
    platform::SocketsStartup startup;
    startup.error = WSAStartup(version, &data);
    const auto* first = reinterpret_cast<const uint8_t*>(&data);
    startup.record.assign(first, first + sizeof data);
    return startup;
}

void Win32Network::stopSockets() {
    WSACleanup();
}

std::optional<std::string> Win32Network::hostName(size_t bufferSize) {
    std::vector<uint8_t> buffer(bufferSize, 0);
    if (buffer.empty() || gethostname(reinterpret_cast<char*>(buffer.data()), static_cast<int>(buffer.size())) != 0) {
        return std::nullopt;
    }
    return bytes::textUpToNul(buffer);
}

std::optional<std::vector<platform::IPv4Address>> Win32Network::hostAddresses(const std::string& name) {
    const hostent* host = gethostbyname(name.c_str());
    if (host == nullptr) {
        return std::nullopt;
    }
    std::vector<platform::IPv4Address> addresses;
    if (host->h_addrtype != AF_INET || host->h_length != sizeof(platform::IPv4Address)) {
        return addresses;
    }
    for (char** entry = host->h_addr_list; entry != nullptr && *entry != nullptr; ++entry) {
        platform::IPv4Address address{};
        std::memcpy(address.data(), *entry, address.size());
        addresses.push_back(address);
    }
    return addresses;
}

}  // namespace vardak::win32
