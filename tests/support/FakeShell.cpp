#include "tests/support/FakeShell.h"

#include "tests/support/AsciiCase.h"

namespace vardak::testing {

std::optional<std::string> FakeShell::specialFolderPath(platform::WindowHandle owner, int32_t folder) {
    lastOwner = owner;
    const auto found = folders_.find(folder);
    if (found == folders_.end()) {
        return std::nullopt;
    }
    return found->second;
}

platform::ShellLinkResolution FakeShell::resolveShellLink(const std::string& linkFile) {
    const auto found = links_.find(upperAscii(linkFile));
    if (found == links_.end()) {
        return {platform::shell_status::kFileNotFound, "", ""};
    }
    return found->second;
}

void FakeShell::addLink(const std::string& linkFile, platform::ShellLinkResolution resolution) {
    links_[upperAscii(linkFile)] = std::move(resolution);
}

uint32_t FakeShell::openAddress(platform::WindowHandle parent, const std::string& target) {
    openedAddresses.push_back({parent, target});
    return openResult;
}

}  // namespace vardak::testing
