// The registry through advapi32's ANSI functions.
#pragma once

#include "platform/Platform.h"

#include <windows.h>

namespace vardak::win32 {

// The predefined key of a root (HKEY_DYN_DATA included, which only 95/98/Me answer).
HKEY rootKeyHandle(platform::RootKey root);

class Win32Registry final : public platform::Registry {
public:
    std::unique_ptr<platform::RegistryKey> openKey(platform::RootKey root, const std::string& path,
                                                   platform::KeyAccess access) override;
    std::unique_ptr<platform::RegistryKey> createKey(platform::RootKey root,
                                                     const std::string& path) override;
    bool deleteKey(platform::RootKey root, const std::string& path) override;
};

}  // namespace vardak::win32
