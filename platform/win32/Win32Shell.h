// Special folders, shell links and opening addresses through shell32 and the
// component object model.
#pragma once

#include "platform/Shell.h"

namespace vardak::win32 {

class Win32Shell final : public platform::Shell {
public:
    std::optional<std::string> specialFolderPath(platform::WindowHandle owner, int32_t folder) override;
    platform::ShellLinkResolution resolveShellLink(const std::string& linkFile) override;
    uint32_t openAddress(platform::WindowHandle parent, const std::string& target) override;
};

}  // namespace vardak::win32
