// The run-time library part of the platform seam: optional system libraries bound by
// name while the program runs, so it starts where a library or an entry is missing.
//
//   using RasEnumConnectionsFn = uint32_t(VARDAK_WINAPI*)(void*, uint32_t*, uint32_t*);
//   platform::LoadedLibrary ras(platform.libraries(), "rasapi32.dll");
//   auto enumerate = ras.entry<RasEnumConnectionsFn>("RasEnumConnectionsA");
//   if (enumerate != nullptr) ...
#pragma once

#include <cstdint>
#include <string>
#include <utility>

// The calling convention of the system libraries' entry points. Functions that
// tests register with a fake library are declared with it too.
#if defined(_WIN32) && defined(__i386__)
#define VARDAK_WINAPI __attribute__((stdcall))
#else
#define VARDAK_WINAPI
#endif

// The C calling convention, which some layers (ASPI) use for their entry points.
#if defined(_WIN32) && defined(__i386__)
#define VARDAK_CDECL __attribute__((cdecl))
#else
#define VARDAK_CDECL
#endif

namespace vardak::platform {

// A loaded library (an HMODULE on Windows); 0 is none.
using ModuleHandle = uintptr_t;

// An entry point as the library hands it out; callers cast it to its real type.
using EntryPoint = void (*)();

class RuntimeLibraries {
public:
    virtual ~RuntimeLibraries() = default;
    // The library if the process has it loaded already, without loading it; 0 otherwise.
    virtual ModuleHandle loadedModule(const std::string& fileName) = 0;
    // Loads the library (or counts one more use of a loaded one); 0 when it cannot.
    virtual ModuleHandle load(const std::string& fileName) = 0;
    // Loads the library of that name from the system folder, by its full path, so a
    // file of that name in the current folder is never taken; 0 when it cannot.
    virtual ModuleHandle loadFromSystemFolder(const std::string& fileName) = 0;
    // The entry point named `name`, or nullptr where the library lacks it.
    virtual EntryPoint entry(ModuleHandle module, const std::string& name) = 0;
    // Gives up one use of the library; false when the platform refuses.
    virtual bool free(ModuleHandle module) = 0;
};

// A library loaded for the lifetime of the object and freed afterwards.
class LoadedLibrary {
public:
    LoadedLibrary(RuntimeLibraries& libraries, const std::string& fileName)
        : libraries_(libraries), module_(libraries.load(fileName)) {}
    ~LoadedLibrary() {
        if (module_ != 0) {
            libraries_.free(module_);
        }
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool loaded() const { return module_ != 0; }
    ModuleHandle module() const { return module_; }

    // The entry point cast to `Function`, or nullptr (also when nothing was loaded).
    template <typename Function>
    Function entry(const std::string& name) const {
        if (module_ == 0) {
            return nullptr;
        }
        return reinterpret_cast<Function>(libraries_.entry(module_, name));
    }

private:
    RuntimeLibraries& libraries_;
    ModuleHandle module_;
};

}  // namespace vardak::platform
