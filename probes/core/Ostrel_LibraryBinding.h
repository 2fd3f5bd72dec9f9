// One optional system library bound by name for the whole program: its module, one
// reference per entry of its table (none where the library lacks the entry) and the
// loaded flag (module and key entry both there). The four bindings (Ostrel_PSAPI,
// Ostrel_AdvAPI, Ostrel_NetAPI32, Ostrel_WnASPI32) are started together before any
// window exists and stopped at the program's end:
//
//   const probes::OstrelBindingsSession bindings(platform);
//   if (probes::PSAPIBinding().loaded()) ...
//
// A library the process has loaded already is taken by its handle and never released
// here; any other is loaded from the system folder by its full path, never from the
// current folder.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace vardak::probes {

// A row of a binding's entry table.
struct BindingEntry {
    std::string_view name;
    // Bound as the ANSI entry name + "A" and the wide entry name + "W"; the name
    // itself is a reference to the ANSI entry.
    bool ansiAndWide = false;
};

struct BindingTable {
    std::string_view fileName;
    std::string_view keyEntry;  // a reference name (the bare name of an ANSI/wide row)
    std::span<const BindingEntry> entries;
    bool releasedAtStop = true;
    // Whether a refused release at stop raises "Unload Error: <file> (<module>)".
    bool unloadErrorRaised = false;
};

class LibraryBinding {
public:
    explicit LibraryBinding(const BindingTable& table) : table_(table) {}
    LibraryBinding(const LibraryBinding&) = delete;
    LibraryBinding& operator=(const LibraryBinding&) = delete;

    // The first start binds; later starts only count. Answers the loaded flag.
    bool start(platform::RuntimeLibraries& libraries);
    // The last stop empties every reference and releases a library this binding
    // loaded, where the table says so; a stop without a start does nothing. Raises
    // Exception "Unload Error: ..." where the table says so and the release is refused.
    void stop();

    bool loaded() const { return loaded_; }
    platform::ModuleHandle module() const { return module_; }
    // The reference of that name, nullptr where the entry is missing.
    platform::EntryPoint entry(std::string_view name) const;
    template <typename Function>
    Function entry(std::string_view name) const {
        return reinterpret_cast<Function>(entry(name));
    }

private:
    void bindEntries();
    void bind(const std::string& reference, const std::string& entryName);

    const BindingTable& table_;
    platform::RuntimeLibraries* libraries_ = nullptr;
    platform::ModuleHandle module_ = 0;
    bool ownsModule_ = false;
    bool loaded_ = false;
    int starts_ = 0;
    std::vector<std::pair<std::string, platform::EntryPoint>> references_;
};

// Starts the four bindings for its lifetime. A refused release at the end is shown
// as an error (a line in a console program), never thrown out of the destructor.
class OstrelBindingsSession {
public:
    explicit OstrelBindingsSession(platform::Platform& platform);
    ~OstrelBindingsSession();
    OstrelBindingsSession(const OstrelBindingsSession&) = delete;
    OstrelBindingsSession& operator=(const OstrelBindingsSession&) = delete;

private:
    platform::Platform& platform_;
};

}  // namespace vardak::probes
