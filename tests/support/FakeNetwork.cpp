#include "tests/support/FakeNetwork.h"

#include <algorithm>

#include "platform/Bytes.h"

namespace vardak::testing {
namespace {

namespace netbios = platform::netbios;

constexpr uint8_t kIllegalCommand = 0x03;  // NRC_ILLCMD
constexpr size_t kLanaEnumSize = 256;      // a count byte and 255 adapter numbers
constexpr size_t kAdapterStatusSize = 60;  // ADAPTER_STATUS without name entries

// The 32-bit WSADATA record.
constexpr size_t kWsaDataSize = 400;
constexpr size_t kDescriptionOffset = 4;
constexpr size_t kDescriptionField = 257;
constexpr size_t kSystemStatusOffset = 261;
constexpr size_t kSystemStatusField = 129;

void putText(std::vector<uint8_t>& record, size_t offset, size_t field, const std::string& text) {
    std::copy_n(text.begin(), std::min(text.size(), field), record.begin() + static_cast<std::ptrdiff_t>(offset));
}

}  // namespace

const FakeLana* FakeNetwork::findLana(uint8_t number) const {
    for (const FakeLana& lana : lanas) {
        if (lana.number == number) {
            return &lana;
        }
    }
    return nullptr;
}

uint8_t FakeNetwork::netbios(const platform::NetbiosCommand& command, std::span<uint8_t> buffer) {
    const FakeLana* lana = findLana(command.lana);
    switch (command.command) {
        case netbios::kEnumerate:
            if (enumerateResult != netbios::kGood) return enumerateResult;
            if (buffer.size() < kLanaEnumSize) return netbios::kBufferLength;
            buffer[0] = static_cast<uint8_t>(lanas.size());
            for (size_t index = 0; index < lanas.size(); ++index) buffer[1 + index] = lanas[index].number;
            return netbios::kGood;
        case netbios::kReset:
            return lana == nullptr ? netbios::kInvalidLana : lana->resetResult;
        case netbios::kAdapterStatus:
            if (lana == nullptr) return netbios::kInvalidLana;
            if (lana->statusResult != netbios::kGood) return lana->statusResult;
            if (buffer.size() < kAdapterStatusSize) return netbios::kBufferLength;
            std::copy(lana->address.begin(), lana->address.end(), buffer.begin());
            return netbios::kGood;
        default:
            return kIllegalCommand;
    }
}

platform::SocketsStartup FakeNetwork::startSockets(uint16_t version) {
    versionsAsked.push_back(version);
    if (startupError != 0) {
        return {startupError, {}};
    }
    ++openSessions;
    std::vector<uint8_t> record(kWsaDataSize, 0);
    bytes::putLittleEndian(record, 0, 2, std::min(version, highVersion));
    bytes::putLittleEndian(record, 2, 2, highVersion);
    putText(record, kDescriptionOffset, kDescriptionField, description);
    putText(record, kSystemStatusOffset, kSystemStatusField, systemStatus);
    return {0, record};
}

std::optional<std::string> FakeNetwork::hostName(size_t bufferSize) {
    if (openSessions <= 0 || host.size() >= bufferSize) {
        return std::nullopt;
    }
    return host;
}

std::optional<std::vector<platform::IPv4Address>> FakeNetwork::hostAddresses(const std::string& name) {
    const auto found = hosts.find(name);
    if (openSessions <= 0 || found == hosts.end()) {
        return std::nullopt;
    }
    return found->second;
}

namespace {

constexpr uint32_t kNetResourceRecordSize = 32;

class FakeResourceEnumeration final : public platform::ResourceEnumeration {
public:
    FakeResourceEnumeration(FakeNetwork& network, std::vector<platform::NetResource> entries)
        : network_(network), entries_(std::move(entries)) {
        ++network_.openEnumerations;
    }
    ~FakeResourceEnumeration() override { --network_.openEnumerations; }

    platform::ResourceEnumStep next(uint32_t bufferSize) override {
        network_.enumerationBufferSizes.push_back(bufferSize);
        platform::ResourceEnumStep step;
        if (next_ >= entries_.size()) {
            step.step = platform::ResourceStep::NoMoreItems;
            return step;
        }
        const uint32_t size = FakeNetwork::resourceSize(entries_[next_]);
        if (bufferSize < size) {
            step.step = platform::ResourceStep::MoreData;
            step.requiredSize = size;
            return step;
        }
        step.step = platform::ResourceStep::Entry;
        step.resource = entries_[next_++];
        return step;
    }

private:
    FakeNetwork& network_;
    std::vector<platform::NetResource> entries_;
    size_t next_ = 0;
};

}  // namespace

uint32_t FakeNetwork::resourceSize(const platform::NetResource& resource) {
    uint32_t size = kNetResourceRecordSize;
    for (const auto* text : {&resource.localName, &resource.remoteName, &resource.comment, &resource.provider}) {
        if (*text) size += static_cast<uint32_t>((*text)->size() + 1);
    }
    return size;
}

std::unique_ptr<platform::ResourceEnumeration> FakeNetwork::openResourceEnumeration(platform::ResourceScope scope) {
    if (refusedScopes.count(scope) != 0) return nullptr;
    const auto found = resources.find(scope);
    return std::make_unique<FakeResourceEnumeration>(
        *this, found == resources.end() ? std::vector<platform::NetResource>{} : found->second);
}

std::optional<std::string> FakeNetwork::connectionUserName(size_t bufferSize) {
    if (!connectionUser || bufferSize == 0) return std::nullopt;
    return connectionUser->substr(0, bufferSize - 1);
}

}  // namespace vardak::testing
