// An in-memory registry for tests: one tree of keys per root key.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vardak::testing {

// Key and value names compare without regard to ASCII case and are listed in the order
// they were created, which is the order a .reg file gives them. Paths are backslash
// separated; empty components (a leading or doubled backslash) are ignored. A key opened
// for reading refuses writes, as a key opened with KEY_READ does. Handles to a key that
// is deleted afterwards see an empty key and refuse writes.
class FakeRegistry : public platform::Registry {
public:
    FakeRegistry();
    ~FakeRegistry() override;
    FakeRegistry(const FakeRegistry&) = delete;
    FakeRegistry& operator=(const FakeRegistry&) = delete;

    std::unique_ptr<platform::RegistryKey> openKey(platform::RootKey root, const std::string& path,
                                                   platform::KeyAccess access) override;
    std::unique_ptr<platform::RegistryKey> createKey(platform::RootKey root,
                                                     const std::string& path) override;
    bool deleteKey(platform::RootKey root, const std::string& path) override;

    // Direct access for tests, without open keys.
    void createKeyPath(platform::RootKey root, std::string_view path);
    // Creates the key and its parents where missing; replaces a value of the same name
    // in its place.
    void setValue(platform::RootKey root, std::string_view path, std::string_view name,
                  platform::RegValue value);
    bool removeValue(platform::RootKey root, std::string_view path, std::string_view name);
    // Deletes the key with everything below it; false where there is no such key.
    bool removeKey(platform::RootKey root, std::string_view path);
    bool hasKey(platform::RootKey root, std::string_view path) const;
    std::optional<platform::RegValue> value(platform::RootKey root, std::string_view path,
                                            std::string_view name) const;

    // .reg text (see RegFile.h); throws RegFileError on malformed input.
    void loadRegText(std::string_view text, std::string_view sourceName = "<text>");
    void loadRegFile(const std::string& path);

    // Writes of values of this name (compared without ASCII case) are refused from now
    // on, as a key whose security denies setting them refuses them.
    void refuseWritesOf(std::string_view valueName);
    bool refusesWritesOf(std::string_view valueName) const;

    // Keys opened for writing (openKey with ReadWrite, createKey), counted.
    int writableOpens = 0;

    struct Node;

private:
    std::set<std::string> refusedValues_;  // upper-cased
    std::shared_ptr<Node> findNode(platform::RootKey root, std::string_view path) const;
    std::shared_ptr<Node> findOrCreateNode(platform::RootKey root, std::string_view path);

    std::array<std::shared_ptr<Node>, 6> roots_;
};

}  // namespace vardak::testing
