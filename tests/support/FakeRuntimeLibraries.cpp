#include "tests/support/FakeRuntimeLibraries.h"

#include "tests/support/AsciiCase.h"

namespace vardak::testing {
namespace {

constexpr platform::ModuleHandle kFirstModule = 0x10000000;
constexpr platform::ModuleHandle kModuleSpacing = 0x10000;

}  // namespace

FakeRuntimeLibraries::Library* FakeRuntimeLibraries::find(const std::string& fileName) {
    for (Library& library : libraries_) {
        if (equalsIgnoreCase(library.fileName, fileName)) {
            return &library;
        }
    }
    return nullptr;
}

const FakeRuntimeLibraries::Library* FakeRuntimeLibraries::find(const std::string& fileName) const {
    return const_cast<FakeRuntimeLibraries*>(this)->find(fileName);
}

FakeRuntimeLibraries::Library* FakeRuntimeLibraries::find(platform::ModuleHandle module) {
    for (Library& library : libraries_) {
        if (handleOf(library) == module) {
            return &library;
        }
    }
    return nullptr;
}

platform::ModuleHandle FakeRuntimeLibraries::handleOf(const Library& library) const {
    const auto index = static_cast<platform::ModuleHandle>(&library - libraries_.data());
    return kFirstModule + index * kModuleSpacing;
}

platform::ModuleHandle FakeRuntimeLibraries::loadedModule(const std::string& fileName) {
    const Library* library = find(fileName);
    return library != nullptr && library->uses > 0 ? handleOf(*library) : 0;
}

platform::ModuleHandle FakeRuntimeLibraries::load(const std::string& fileName) {
    loadRequests.push_back(fileName);
    Library* library = find(fileName);
    if (library == nullptr) {
        return 0;
    }
    ++library->uses;
    return handleOf(*library);
}

platform::ModuleHandle FakeRuntimeLibraries::loadFromSystemFolder(const std::string& fileName) {
    const Library* library = find(fileName);
    if (library != nullptr && !library->inSystemFolder) {
        loadRequests.push_back(fileName);
        return 0;
    }
    return load(fileName);
}

platform::EntryPoint FakeRuntimeLibraries::entry(platform::ModuleHandle module, const std::string& name) {
    const Library* library = find(module);
    if (library == nullptr || library->uses == 0) {
        return nullptr;
    }
    const auto found = library->entries.find(upperAscii(name));
    return found == library->entries.end() ? nullptr : found->second;
}

bool FakeRuntimeLibraries::free(platform::ModuleHandle module) {
    Library* library = find(module);
    if (library == nullptr || library->uses == 0 || library->freeRefused) {
        return false;
    }
    --library->uses;
    return true;
}

void FakeRuntimeLibraries::addLibrary(const std::string& fileName) {
    if (find(fileName) == nullptr) {
        libraries_.push_back(Library{fileName, {}, 0, false, true});
    }
}

void FakeRuntimeLibraries::addEntryPoint(const std::string& fileName, const std::string& name,
                                         platform::EntryPoint entry) {
    addLibrary(fileName);
    find(fileName)->entries[upperAscii(name)] = entry;
}

void FakeRuntimeLibraries::plantInCurrentFolder(const std::string& fileName) {
    addLibrary(fileName);
    find(fileName)->inSystemFolder = false;
}

void FakeRuntimeLibraries::loadBeforehand(const std::string& fileName) {
    addLibrary(fileName);
    ++find(fileName)->uses;
}

void FakeRuntimeLibraries::refuseFree(const std::string& fileName) {
    addLibrary(fileName);
    find(fileName)->freeRefused = true;
}

int FakeRuntimeLibraries::useCount(const std::string& fileName) const {
    const Library* library = find(fileName);
    return library == nullptr ? 0 : library->uses;
}

}  // namespace vardak::testing
