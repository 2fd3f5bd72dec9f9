// Special folders and shell links for tests: tables a test fills; addresses handed
// to the shell are recorded, never opened.
#pragma once

#include "platform/Shell.h"

#include <map>
#include <string>
#include <vector>

namespace vardak::testing {

class FakeShell : public platform::Shell {
public:
    // The path set for `folder`; nothing for a folder no test set.
    std::optional<std::string> specialFolderPath(platform::WindowHandle owner, int32_t folder) override;
    // The resolution set for the link file (compared without ASCII case); a link no
    // test set fails to load with kFileNotFound.
    platform::ShellLinkResolution resolveShellLink(const std::string& linkFile) override;

    // Records the call and answers `openResult`.
    uint32_t openAddress(platform::WindowHandle parent, const std::string& target) override;

    void setFolder(int32_t folder, std::string path) { folders_[folder] = std::move(path); }
    void addLink(const std::string& linkFile, platform::ShellLinkResolution resolution);

    // The owner window of the last special-folder query.
    platform::WindowHandle lastOwner = nullptr;

    struct OpenedAddress {
        platform::WindowHandle parent = nullptr;
        std::string target;
    };
    std::vector<OpenedAddress> openedAddresses;
    uint32_t openResult = 42;  // a success

private:
    std::map<int32_t, std::string> folders_;
    std::map<std::string, platform::ShellLinkResolution> links_;  // by upper-cased name
};

}  // namespace vardak::testing
