#include "tests/support/FakeSystem.h"

#include <algorithm>
#include <cstdio>

namespace vardak::testing {

using platform::OSVersionInfo;
using platform::PlatformId;

namespace {

// The 95/98 line puts major.minor in the high word of the build number.
constexpr uint32_t windows9xBuild(uint32_t major, uint32_t minor, uint32_t build) {
    return (major << 24) | (minor << 16) | build;
}

OSVersionInfo windows9x(uint32_t minor, uint32_t build, const char* csdVersion) {
    return {4, minor, windows9xBuild(4, minor, build), PlatformId::Windows, csdVersion};
}

OSVersionInfo windowsNT(uint32_t major, uint32_t minor, uint32_t build, int servicePack) {
    std::string csdVersion = servicePack > 0 ? "Service Pack " + std::to_string(servicePack) : "";
    return {major, minor, build, PlatformId::NT, std::move(csdVersion)};
}

constexpr uint16_t kSingleUserTerminalServices = 0x0100;

platform::OSVersionInfoEx workstation(int servicePack, uint16_t suites = 0) {
    platform::OSVersionInfoEx extended;
    extended.servicePackMajor = static_cast<uint16_t>(servicePack);
    extended.suiteMask = suites;
    extended.productType = platform::product_type::kWorkstation;
    return extended;
}

}  // namespace

FakeSystem::FakeSystem() { poseAsWindowsXP(); }

std::optional<platform::OSVersionInfoEx> FakeSystem::versionInfoEx() {
    if (!versionEx) {
        return std::nullopt;
    }
    platform::OSVersionInfoEx extended = *versionEx;
    extended.basic = version;
    return extended;
}

std::string FakeSystem::dateTimeText(const platform::SystemTime& moment, bool withTime) {
    char text[64];
    if (withTime) {
        std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", moment.year, moment.month,
                      moment.day, moment.hour, moment.minute, moment.second);
    } else {
        std::snprintf(text, sizeof text, "%04u-%02u-%02u", moment.year, moment.month, moment.day);
    }
    return text;
}

platform::CommandRun FakeSystem::runCommand(const std::string& commandLine, uint32_t timeoutMs) {
    commandLines.push_back(commandLine);
    commandTimeouts.push_back(timeoutMs);
    if (onCommand) onCommand(commandLine);
    return commandAnswer;
}

platform::FreeResources16 FakeSystem::freeSystemResources16(uint16_t kind) {
    freeResourceQueries.push_back(kind);
    if (kind < freeResources.size()) {
        return freeResources[kind];
    }
    return {};
}

std::string FakeSystem::environmentBlock() {
    std::string block;
    for (const std::string& entry : environment) {
        block += entry;
        block.push_back('\0');
    }
    block.push_back('\0');
    return block;
}

void FakeSystem::poseAsWindows95(Windows95Release release) {
    switch (release) {
        case Windows95Release::Original:
            version = windows9x(0, 950, "");
            break;
        case Windows95Release::OSR1:
            version = windows9x(0, 950, " A");
            break;
        case Windows95Release::OSR2:
            version = windows9x(0, 1111, " B");
            break;
        case Windows95Release::OSR25:
            version = windows9x(0, 1111, " C");
            break;
    }
    versionEx.reset();
}

void FakeSystem::poseAsWindows98(bool secondEdition) {
    version = secondEdition ? windows9x(10, 2222, " A ") : windows9x(10, 1998, "");
    versionEx.reset();
}

void FakeSystem::poseAsWindowsMe() {
    version = windows9x(90, 3000, "");
    versionEx.reset();
}

void FakeSystem::poseAsNT4(int servicePack) {
    version = windowsNT(4, 0, 1381, servicePack);
    versionEx.reset();
    if (servicePack >= 6) {
        versionEx = workstation(servicePack);
    }
}

void FakeSystem::poseAsWindows2000(int servicePack) {
    version = windowsNT(5, 0, 2195, servicePack);
    versionEx = workstation(servicePack);
}

void FakeSystem::poseAsWindowsXP(int servicePack) {
    version = windowsNT(5, 1, 2600, servicePack);
    versionEx = workstation(servicePack, kSingleUserTerminalServices);
}

std::string FakeSystem::errorMessage(uint32_t code) {
    const auto found = errorTexts.find(code);
    return found == errorTexts.end() ? std::string() : found->second;
}

std::optional<std::vector<uint8_t>> FakeSystem::nativeSystemInformation(uint32_t infoClass, uint32_t length) {
    const auto found = nativeAnswers.find(infoClass);
    nativeLengths[infoClass].push_back(length);
    const auto recordSize = nativeRecordSizes.find(infoClass);
    if (recordSize != nativeRecordSizes.end() && length < recordSize->second) return std::nullopt;
    const size_t call = nativeQueries[infoClass]++;
    if (found == nativeAnswers.end() || found->second.empty()) return std::nullopt;
    std::vector<uint8_t> answer = found->second[std::min(call, found->second.size() - 1)];
    if (answer.size() > length) answer.resize(length);
    return answer;
}

}  // namespace vardak::testing
