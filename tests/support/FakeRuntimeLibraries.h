// Run-time libraries for tests: libraries are names a test registers, their entry
// points C functions it registers with them.
//
//   uint32_t VARDAK_WINAPI fakeEnum(void*, uint32_t*, uint32_t*) { ... }
//   machine.librariesFake.addLibrary("rasapi32.dll");
//   machine.librariesFake.addEntry("rasapi32.dll", "RasEnumConnectionsA", fakeEnum);
#pragma once

#include "platform/RuntimeLibraries.h"

#include <map>
#include <string>
#include <vector>

namespace vardak::testing {

// File and entry names compare without ASCII case. Module handles look like load
// addresses (0x10000000, 0x10010000...) and stay the same for a library.
class FakeRuntimeLibraries : public platform::RuntimeLibraries {
public:
    platform::ModuleHandle loadedModule(const std::string& fileName) override;
    platform::ModuleHandle load(const std::string& fileName) override;
    // Finds the libraries a test added, but not those it planted in the current folder.
    platform::ModuleHandle loadFromSystemFolder(const std::string& fileName) override;
    platform::EntryPoint entry(platform::ModuleHandle module, const std::string& name) override;
    bool free(platform::ModuleHandle module) override;

    // Makes a library loadable (without entries); adding it again changes nothing.
    void addLibrary(const std::string& fileName);
    // Adds the library where needed and gives it the entry.
    template <typename Function>
    void addEntry(const std::string& fileName, const std::string& name, Function function) {
        addEntryPoint(fileName, name, reinterpret_cast<platform::EntryPoint>(function));
    }
    void addEntryPoint(const std::string& fileName, const std::string& name, platform::EntryPoint entry);
    // A library only in the current folder: a load by name finds it, a load from
    // the system folder does not.
    void plantInCurrentFolder(const std::string& fileName);
    // Loads the library as if something else in the process had loaded it before.
    void loadBeforehand(const std::string& fileName);
    // Every later free of this library fails (and leaves it loaded).
    void refuseFree(const std::string& fileName);

    // Loads not yet matched by a free; 0 for an unknown library.
    int useCount(const std::string& fileName) const;
    // Every load asked for, known or not, in order.
    std::vector<std::string> loadRequests;

private:
    struct Library {
        std::string fileName;
        std::map<std::string, platform::EntryPoint> entries;  // by upper-cased name
        int uses = 0;
        bool freeRefused = false;
        bool inSystemFolder = true;
    };

    Library* find(const std::string& fileName);
    const Library* find(const std::string& fileName) const;
    Library* find(platform::ModuleHandle module);
    platform::ModuleHandle handleOf(const Library& library) const;

    std::vector<Library> libraries_;
};

}  // namespace vardak::testing
