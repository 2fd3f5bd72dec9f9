// Run-time libraries through LoadLibraryA (by name, or from the system folder by full
// path), GetProcAddress and FreeLibrary.
#pragma once

#include "platform/RuntimeLibraries.h"

namespace vardak::win32 {

class Win32RuntimeLibraries final : public platform::RuntimeLibraries {
public:
    platform::ModuleHandle loadedModule(const std::string& fileName) override;
    platform::ModuleHandle load(const std::string& fileName) override;
    platform::ModuleHandle loadFromSystemFolder(const std::string& fileName) override;
    platform::EntryPoint entry(platform::ModuleHandle module, const std::string& name) override;
    bool free(platform::ModuleHandle module) override;
};

}  // namespace vardak::win32
