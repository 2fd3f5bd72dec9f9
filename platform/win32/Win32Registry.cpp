#include "platform/win32/Win32Registry.h"

#include "platform/win32/WinHandles.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace vardak::win32 {
namespace {

using platform::KeyAccess;
using platform::RegValue;
using platform::RootKey;
using platform::ValueType;

// Registry names are at most a few hundred characters; a buffer that would have
// to grow past this means the key is lying about its sizes.
constexpr DWORD kLargestNameBuffer = 64 * 1024;
// A value's size can change between the sizing query and the read.
constexpr int kValueReadAttempts = 4;

// Wine (and NT's own RegOpenKeyEx) refuse a path that starts with a backslash.
std::string relativePath(const std::string& path) {
    const size_t start = path.find_first_not_of('\\');
    return start == std::string::npos ? std::string() : path.substr(start);
}

REGSAM accessMask(KeyAccess access) {
    return access == KeyAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
}

struct KeyCounts {
    DWORD subkeys = 0;
    DWORD longestSubkeyName = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
};

KeyCounts queryCounts(HKEY key) {
    KeyCounts counts;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &counts.subkeys,
                         &counts.longestSubkeyName, nullptr, &counts.values,
                         &counts.longestValueName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return counts;
}

// Walks an enumeration (RegEnumKeyExA or RegEnumValueA) by index. `enumerate`
// gets the index, the name buffer and its size in characters and returns the
// registry's error code. A name that does not fit grows the buffer and is asked again.
template <typename Enumerate>
std::vector<std::string> enumerateNames(DWORD longestName, Enumerate enumerate) {
    std::vector<std::string> names;
    std::string buffer(std::min<DWORD>(longestName, kLargestNameBuffer) + 1, '\0');
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG result = enumerate(index, buffer.data(), &length);
        if (result == ERROR_MORE_DATA) {
            if (buffer.size() >= kLargestNameBuffer) {
                break;
            }
            buffer.resize(std::min<size_t>(buffer.size() * 2, kLargestNameBuffer));
            continue;
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(buffer.data(), std::min<size_t>(length, buffer.size()));
        ++index;
    }
    return names;
}

class Win32RegistryKey final : public platform::RegistryKey {
public:
    explicit Win32RegistryKey(UniqueKey key) : key_(std::move(key)) {}

    std::vector<std::string> subkeyNames() const override {
        return enumerateNames(queryCounts(key_.get()).longestSubkeyName,
                              [this](DWORD index, char* name, DWORD* length) {
                                  return RegEnumKeyExA(key_.get(), index, name, length, nullptr,
                                                       nullptr, nullptr, nullptr);
                              });
    }

    std::vector<std::string> valueNames() const override {
        return enumerateNames(queryCounts(key_.get()).longestValueName,
                              [this](DWORD index, char* name, DWORD* length) {
                                  return RegEnumValueA(key_.get(), index, name, length, nullptr,
                                                       nullptr, nullptr, nullptr);
                              });
    }

    std::optional<RegValue> queryValue(const std::string& name) const override {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        for (int attempt = 0; attempt < kValueReadAttempts; ++attempt) {
            // One spare byte: some systems report a string's size without its NUL.
            std::vector<uint8_t> data(size + 1);
            DWORD length = static_cast<DWORD>(data.size());
            const LONG result =
                RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, data.data(), &length);
            if (result == ERROR_SUCCESS) {
                data.resize(std::min<size_t>(length, data.size()));
                return RegValue{static_cast<ValueType>(type), std::move(data)};
            }
            if (result != ERROR_MORE_DATA) {
                return std::nullopt;
            }
            size = length;
        }
        return std::nullopt;
    }

    bool setValue(const std::string& name, const RegValue& value) override {
        return RegSetValueExA(key_.get(), name.c_str(), 0, static_cast<DWORD>(value.type),
                              value.data.data(), static_cast<DWORD>(value.data.size())) ==
               ERROR_SUCCESS;
    }

    bool deleteValue(const std::string& name) override {
        return RegDeleteValueA(key_.get(), name.c_str()) == ERROR_SUCCESS;
    }

private:
    UniqueKey key_;
};

UniqueKey openRaw(RootKey root, const std::string& path, REGSAM access) {
    UniqueKey key;
    if (RegOpenKeyExA(rootKeyHandle(root), relativePath(path).c_str(), 0, access, key.receive()) !=
        ERROR_SUCCESS) {
        key.release();
    }
    return key;
}

std::unique_ptr<platform::RegistryKey> wrap(UniqueKey key) {
    if (!key) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(std::move(key));
}

}  // namespace

HKEY rootKeyHandle(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RootKey::CurrentUser: return HKEY_CURRENT_USER;
        case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RootKey::Users: return HKEY_USERS;
        case RootKey::CurrentConfig: return HKEY_CURRENT_CONFIG;
        case RootKey::DynData: return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000006));
    }
    return nullptr;
}

std::unique_ptr<platform::RegistryKey> Win32Registry::openKey(RootKey root, const std::string& path,
                                                              KeyAccess access) {
    return wrap(openRaw(root, path, accessMask(access)));
}

std::unique_ptr<platform::RegistryKey> Win32Registry::createKey(RootKey root,
                                                                const std::string& path) {
    UniqueKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(rootKeyHandle(root), relativePath(path).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, accessMask(KeyAccess::ReadWrite), nullptr,
                        key.receive(), &disposition) != ERROR_SUCCESS) {
        key.release();
    }
    return wrap(std::move(key));
}

bool Win32Registry::deleteKey(RootKey root, const std::string& path) {
    const std::string relative = relativePath(path);
    if (relative.empty()) {
        return false;
    }
    // The 95/98 line would delete a whole subtree; keep NT's rule everywhere.
    const UniqueKey key = openRaw(root, relative, KEY_READ);
    if (!key || queryCounts(key.get()).subkeys != 0) {
        return false;
    }
    return RegDeleteKeyA(rootKeyHandle(root), relative.c_str()) == ERROR_SUCCESS;
}

}  // namespace vardak::win32
