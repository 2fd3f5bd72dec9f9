#include "platform/win32/Win32RuntimeLibraries.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>

namespace vardak::win32 {
namespace {

HMODULE moduleOf(platform::ModuleHandle module) {
    return reinterpret_cast<HMODULE>(module);
}

platform::ModuleHandle handleOf(HMODULE module) {
    return reinterpret_cast<platform::ModuleHandle>(module);
}

}  // namespace

platform::ModuleHandle Win32RuntimeLibraries::loadedModule(const std::string& fileName) {
    return handleOf(GetModuleHandleA(fileName.c_str()));
}

platform::ModuleHandle Win32RuntimeLibraries::load(const std::string& fileName) {
    // A library on a missing floppy or network drive must not ask for a disk.
    const CriticalErrorsSuppressed quiet;
    return handleOf(LoadLibraryA(fileName.c_str()));
}

platform::ModuleHandle Win32RuntimeLibraries::loadFromSystemFolder(const std::string& fileName) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 0;
    }
    const std::string path = std::string(folder, length) + "\\" + fileName;
    const CriticalErrorsSuppressed quiet;
    // The library's own imports are looked for beside it first, not in the current folder.
    return handleOf(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

platform::EntryPoint Win32RuntimeLibraries::entry(platform::ModuleHandle module, const std::string& name) {
    if (module == 0) {
        return nullptr;
    }
    // The detour through void(*)() keeps the compiler quiet about casting
    // between unrelated function types.
    return reinterpret_cast<platform::EntryPoint>(
        reinterpret_cast<void (*)()>(GetProcAddress(moduleOf(module), name.c_str())));
}

bool Win32RuntimeLibraries::free(platform::ModuleHandle module) {
    return module != 0 && FreeLibrary(moduleOf(module)) != FALSE;
}

}  // namespace vardak::win32
