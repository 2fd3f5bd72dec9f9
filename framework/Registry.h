// The registry reader and writer: one open key at a time under a chosen root.
// Reads are bounded by the data the registry returns; nothing is read past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak {

// How a value's type looks to the reader; every type not listed is Unknown.
enum class TRegDataType { Unknown, String, ExpandString, Integer, Binary };

class TRegistry : public TObject {
public:
    explicit TRegistry(platform::Registry& registry);
    TRegistry(platform::Registry& registry, platform::RootKey rootKey);
    // A reader with the key at `path` of `rootKey` open for reading, or nullptr when
    // the key does not open.
    static std::unique_ptr<TRegistry> openReadOnly(platform::Registry& registry, platform::RootKey rootKey,
                                                   std::string_view path);
    ~TRegistry() override = default;

    std::string_view className() const override { return "TRegistry"; }

    platform::RootKey rootKey() const { return rootKey_; }
    // Closes the open key.
    void setRootKey(platform::RootKey rootKey);

    // A path beginning with "\" starts at the root; any other path continues from the
    // open key (or from the root when none is open). openKey opens for reading and
    // writing, creating the key when `canCreate` is set; openKeyReadOnly only reads.
    bool openKey(std::string_view path, bool canCreate);
    bool openKeyReadOnly(std::string_view path);
    void closeKey();
    bool hasOpenKey() const { return key_ != nullptr; }
    // The open key's path below the root, without a leading backslash.
    const std::string& currentPath() const { return currentPath_; }

    bool keyExists(std::string_view path) const;
    bool valueExists(std::string_view name) const;
    TRegDataType getDataType(std::string_view name) const;
    std::optional<platform::ValueType> valueType(std::string_view name) const;
    // The size of the value's data in bytes, -1 when there is no such value.
    int getDataSize(std::string_view name) const;
    // The value exactly as stored, or nothing.
    std::optional<platform::RegValue> readValue(std::string_view name) const;

    // The readers raise ERegistryException "Invalid data type for '<name>'" when the
    // value has a type they cannot read.
    // String or expand-string data up to its first NUL; "" for a missing value.
    std::string readString(std::string_view name) const;
    // A four-byte DWORD; a missing value raises as well.
    int32_t readInteger(std::string_view name) const;
    bool readBool(std::string_view name) const;
    // Copies binary (or other non-string, non-DWORD) data into `buffer` and returns
    // its size; 0 for a missing value; raises when the buffer is too small.
    size_t readBinaryData(std::string_view name, std::span<uint8_t> buffer) const;
    // The strings of a multi-string value, up to the empty string that ends the list
    // or the end of the data; none for a missing value.
    std::vector<std::string> readMultiString(std::string_view name) const;

    // The probes' reads: they never raise. A missing value, or one of a kind the read
    // does not take, gives nothing. Values are read whole; `longest` cuts them where a
    // caller keeps only so much.
    static constexpr size_t kWholeValue = SIZE_MAX;
    // String or expand-string data up to its first NUL (or its end), at most `longest`
    // characters.
    std::optional<std::string> readText(std::string_view name, size_t longest = kWholeValue) const;
    // A DWORD value of exactly four bytes.
    std::optional<uint32_t> readDWord(std::string_view name) const;
    // The bytes of a value of any kind, at most `longest` of them.
    std::optional<std::vector<uint8_t>> readBytes(std::string_view name, size_t longest = kWholeValue) const;

    std::vector<std::string> subkeyNames() const;
    std::vector<std::string> valueNames() const;
    void getKeyNames(TStrings& names) const;
    void getValueNames(TStrings& names) const;
    bool hasSubKeys() const;

    // The writers need a key opened for writing; they raise ERegistryException
    // "Failed to set data for '<name>'" otherwise and when the registry refuses.
    void writeString(std::string_view name, std::string_view value);
    void writeExpandString(std::string_view name, std::string_view value);
    void writeInteger(std::string_view name, int32_t value);
    void writeBool(std::string_view name, bool value);
    void writeBinaryData(std::string_view name, std::span<const uint8_t> data);
    bool deleteValue(std::string_view name);

    // Creates a key (and its missing parents) without opening it; raises when it cannot.
    bool createKey(std::string_view path);
    // Deletes a key with everything below it.
    bool deleteKey(std::string_view path);

private:
    std::string resolve(std::string_view path) const;
    bool changeKey(std::unique_ptr<platform::RegistryKey> key, std::string path, bool writable);
    [[noreturn]] static void readError(std::string_view name);
    void writeValue(std::string_view name, const platform::RegValue& value);
    bool deleteTree(const std::string& path);

    platform::Registry& registry_;
    platform::RootKey rootKey_ = platform::RootKey::CurrentUser;
    std::unique_ptr<platform::RegistryKey> key_;
    std::string currentPath_;
    bool writable_ = false;
};

}  // namespace vardak
