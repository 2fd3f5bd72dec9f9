#include "platform/win32/Win32Network.h"

// Windows Sockets 1.1, which every Windows has, the 95 line without updates too.
#include <winsock.h>
#include <windows.h>
#include <nb30.h>
#include <winnetwk.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

#include "platform/Bytes.h"

namespace vardak::win32 {
namespace {

// The probes read the start-up record in its 32-bit layout.
static_assert(offsetof(WSADATA, wHighVersion) == 2);
static_assert(offsetof(WSADATA, szDescription) == 4);
static_assert(offsetof(WSADATA, szSystemStatus) == 261);
static_assert(sizeof(NCB) == 64);

constexpr size_t kLargestDataArea = 0xFFFF;  // the control block's length is a WORD

// A text of an enumerated resource: nothing for a null pointer, and only a text that
// starts and ends within the bytes the call filled.
std::optional<std::string> resourceText(const char* text, std::span<const uint8_t> filled) {
    if (text == nullptr) return std::nullopt;
    const auto* first = reinterpret_cast<const uint8_t*>(text);
    if (first < filled.data() || first >= filled.data() + filled.size()) return std::nullopt;
    const size_t offset = static_cast<size_t>(first - filled.data());
    const auto end = std::find(filled.begin() + static_cast<std::ptrdiff_t>(offset), filled.end(), uint8_t{0});
    if (end == filled.end()) return std::nullopt;
    return bytes::textUpToNul(filled, offset);
}

// An open WNetOpenEnum handle, closed with the object.
class Win32ResourceEnumeration final : public platform::ResourceEnumeration {
public:
    explicit Win32ResourceEnumeration(HANDLE handle) : handle_(handle) {}
    ~Win32ResourceEnumeration() override { WNetCloseEnum(handle_); }
    Win32ResourceEnumeration(const Win32ResourceEnumeration&) = delete;
    Win32ResourceEnumeration& operator=(const Win32ResourceEnumeration&) = delete;

    platform::ResourceEnumStep next(uint32_t bufferSize) override {
        // Whole DWORDs, so the record at the start is aligned.
        std::vector<DWORD> buffer((bufferSize + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
        DWORD count = 1;
        DWORD size = bufferSize;
        const DWORD result = WNetEnumResourceA(handle_, &count, buffer.data(), &size);
        platform::ResourceEnumStep step;
        if (result == ERROR_MORE_DATA) {
            step.step = platform::ResourceStep::MoreData;
            step.requiredSize = size;
        } else if (result == ERROR_NO_MORE_ITEMS || (result == NO_ERROR && count == 0)) {
            step.step = platform::ResourceStep::NoMoreItems;
        } else if (result != NO_ERROR || bufferSize < sizeof(NETRESOURCEA)) {
            step.errorCode = result;
        } else {
            const std::span<const uint8_t> filled(reinterpret_cast<const uint8_t*>(buffer.data()), bufferSize);
            const auto& record = *reinterpret_cast<const NETRESOURCEA*>(buffer.data());
            step.step = platform::ResourceStep::Entry;
            step.resource = {record.dwScope,
                             record.dwType,
                             record.dwDisplayType,
                             record.dwUsage,
                             resourceText(record.lpLocalName, filled),
                             resourceText(record.lpRemoteName, filled),
                             resourceText(record.lpComment, filled),
                             resourceText(record.lpProvider, filled)};
        }
        return step;
    }

private:
    HANDLE handle_;
};

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

std::unique_ptr<platform::ResourceEnumeration> Win32Network::openResourceEnumeration(platform::ResourceScope scope) {
    HANDLE handle = nullptr;
    if (WNetOpenEnumA(static_cast<DWORD>(scope), RESOURCETYPE_ANY, 0, nullptr, &handle) != NO_ERROR ||
        handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32ResourceEnumeration>(handle);
}

std::optional<std::string> Win32Network::connectionUserName(size_t bufferSize) {
    std::vector<uint8_t> buffer(bufferSize + 1, 0);
    DWORD length = static_cast<DWORD>(bufferSize);
    if (bufferSize == 0 || WNetGetUserA(nullptr, reinterpret_cast<char*>(buffer.data()), &length) != NO_ERROR) {
        return std::nullopt;
    }
    return bytes::textUpToNul(buffer);
}

}  // namespace vardak::win32
