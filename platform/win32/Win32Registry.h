// The registry through advapi32's ANSI functions.
#pragma once

#include "platform/Platform.h"

namespace vardak::win32 {

class Win32Registry final : public platform::Registry {
public:
    std::unique_ptr<platform::RegistryKey> openKey(platform::RootKey root, const std::string& path,
                                                   platform::KeyAccess access) override;
    std::unique_ptr<platform::RegistryKey> createKey(platform::RootKey root,
                                                     const std::string& path) override;
    bool deleteKey(platform::RootKey root, const std::string& path) override;
};

}  // namespace vardak::win32
