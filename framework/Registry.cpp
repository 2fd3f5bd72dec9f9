#include "framework/Registry.h"

#include <algorithm>

#include "platform/Bytes.h"
#include <utility>

namespace vardak {

namespace {

constexpr char kSeparator = '\\';

bool isAbsolute(std::string_view path) {
    return !path.empty() && path.front() == kSeparator;
}

std::string joinPath(std::string_view parent, std::string_view child) {
    if (parent.empty()) return std::string(child);
    if (child.empty()) return std::string(parent);
    return std::string(parent) + kSeparator + std::string(child);
}

bool isStringType(platform::ValueType type) {
    return type == platform::ValueType::String || type == platform::ValueType::ExpandString;
}

TRegDataType dataTypeOf(platform::ValueType type) {
    switch (type) {
        case platform::ValueType::String: return TRegDataType::String;
        case platform::ValueType::ExpandString: return TRegDataType::ExpandString;
        case platform::ValueType::DWord: return TRegDataType::Integer;
        case platform::ValueType::Binary: return TRegDataType::Binary;
        default: return TRegDataType::Unknown;
    }
}


void fillStrings(TStrings& list, const std::vector<std::string>& texts) {
    list.beginUpdate();
    list.clear();
    for (const std::string& text : texts) list.add(text);
    list.endUpdate();
}

}  // namespace

TRegistry::TRegistry(platform::Registry& registry) : registry_(registry) {}

TRegistry::TRegistry(platform::Registry& registry, platform::RootKey rootKey)
    : registry_(registry), rootKey_(rootKey) {}

std::unique_ptr<TRegistry> TRegistry::openReadOnly(platform::Registry& registry, platform::RootKey rootKey,
                                                   std::string_view path) {
    auto reader = std::make_unique<TRegistry>(registry, rootKey);
    return reader->openKeyReadOnly(path) ? std::move(reader) : nullptr;
}

void TRegistry::setRootKey(platform::RootKey rootKey) {
    closeKey();
    rootKey_ = rootKey;
}

std::string TRegistry::resolve(std::string_view path) const {
    if (isAbsolute(path)) return std::string(path.substr(1));
    return key_ ? joinPath(currentPath_, path) : std::string(path);
}

bool TRegistry::changeKey(std::unique_ptr<platform::RegistryKey> key, std::string path, bool writable) {
    if (!key) return false;
    key_ = std::move(key);
    currentPath_ = std::move(path);
    writable_ = writable;
    return true;
}

bool TRegistry::openKey(std::string_view path, bool canCreate) {
    std::string full = resolve(path);
    auto key = canCreate && !full.empty()
                   ? registry_.createKey(rootKey_, full)
                   : registry_.openKey(rootKey_, full, platform::KeyAccess::ReadWrite);
    return changeKey(std::move(key), std::move(full), true);
}

bool TRegistry::openKeyReadOnly(std::string_view path) {
    std::string full = resolve(path);
    auto key = registry_.openKey(rootKey_, full, platform::KeyAccess::Read);
    return changeKey(std::move(key), std::move(full), false);
}

void TRegistry::closeKey() {
    key_.reset();
    currentPath_.clear();
    writable_ = false;
}

bool TRegistry::keyExists(std::string_view path) const {
    return registry_.openKey(rootKey_, resolve(path), platform::KeyAccess::Read) != nullptr;
}

std::optional<platform::RegValue> TRegistry::readValue(std::string_view name) const {
    if (!key_) return std::nullopt;
    return key_->queryValue(std::string(name));
}

bool TRegistry::valueExists(std::string_view name) const {
    return readValue(name).has_value();
}

std::optional<platform::ValueType> TRegistry::valueType(std::string_view name) const {
    const auto value = readValue(name);
    if (!value) return std::nullopt;
    return value->type;
}

TRegDataType TRegistry::getDataType(std::string_view name) const {
    const auto type = valueType(name);
    return type ? dataTypeOf(*type) : TRegDataType::Unknown;
}

int TRegistry::getDataSize(std::string_view name) const {
    const auto value = readValue(name);
    return value ? static_cast<int>(value->data.size()) : -1;
}

void TRegistry::readError(std::string_view name) {
    throw ERegistryException("Invalid data type for '" + std::string(name) + "'");
}

std::string TRegistry::readString(std::string_view name) const {
    const auto value = readValue(name);
    if (!value || value->data.empty()) return "";
    if (!isStringType(value->type)) readError(name);
    return value->textUpToNul();
}

int32_t TRegistry::readInteger(std::string_view name) const {
    const auto value = readValue(name);
    const std::optional<uint32_t> number = value ? value->dword() : std::nullopt;
    if (!number) readError(name);
    return static_cast<int32_t>(*number);
}

bool TRegistry::readBool(std::string_view name) const {
    return readInteger(name) != 0;
}

size_t TRegistry::readBinaryData(std::string_view name, std::span<uint8_t> buffer) const {
    const auto value = readValue(name);
    if (!value) return 0;
    const TRegDataType type = dataTypeOf(value->type);
    const bool readable = type == TRegDataType::Binary || type == TRegDataType::Unknown;
    if (!readable || value->data.size() > buffer.size()) readError(name);
    std::copy(value->data.begin(), value->data.end(), buffer.begin());
    return value->data.size();
}

std::vector<std::string> TRegistry::readMultiString(std::string_view name) const {
    const auto value = readValue(name);
    if (!value) return {};
    if (value->type != platform::ValueType::MultiString) readError(name);
    std::vector<std::string> texts;
    size_t at = 0;
    while (at < value->data.size()) {
        std::string text = bytes::textUpToNul(value->data, at);
        if (text.empty()) break;
        at += text.size() + 1;
        texts.push_back(std::move(text));
    }
    return texts;
}

std::optional<std::string> TRegistry::readText(std::string_view name, size_t longest) const {
    const auto value = readValue(name);
    if (!value || !isStringType(value->type)) return std::nullopt;
    std::string text = value->textUpToNul();
    if (text.size() > longest) text.resize(longest);
    return text;
}

std::optional<uint32_t> TRegistry::readDWord(std::string_view name) const {
    const auto value = readValue(name);
    return value ? value->dword() : std::nullopt;
}

std::optional<std::vector<uint8_t>> TRegistry::readBytes(std::string_view name, size_t longest) const {
    auto value = readValue(name);
    if (!value) return std::nullopt;
    if (value->data.size() > longest) value->data.resize(longest);
    return std::move(value->data);
}

std::vector<std::string> TRegistry::subkeyNames() const {
    return key_ ? key_->subkeyNames() : std::vector<std::string>();
}

std::vector<std::string> TRegistry::valueNames() const {
    return key_ ? key_->valueNames() : std::vector<std::string>();
}

void TRegistry::getKeyNames(TStrings& names) const {
    fillStrings(names, subkeyNames());
}

void TRegistry::getValueNames(TStrings& names) const {
    fillStrings(names, valueNames());
}

bool TRegistry::hasSubKeys() const {
    return !subkeyNames().empty();
}

void TRegistry::writeValue(std::string_view name, const platform::RegValue& value) {
    if (!key_ || !writable_ || !key_->setValue(std::string(name), value)) {
        throw ERegistryException("Failed to set data for '" + std::string(name) + "'");
    }
}

void TRegistry::writeString(std::string_view name, std::string_view value) {
    writeValue(name, platform::RegValue::fromString(std::string(value)));
}

void TRegistry::writeExpandString(std::string_view name, std::string_view value) {
    writeValue(name, platform::RegValue::fromString(std::string(value), platform::ValueType::ExpandString));
}

void TRegistry::writeInteger(std::string_view name, int32_t value) {
    writeValue(name, platform::RegValue::fromDWord(static_cast<uint32_t>(value)));
}

void TRegistry::writeBool(std::string_view name, bool value) {
    writeInteger(name, value ? 1 : 0);
}

void TRegistry::writeBinaryData(std::string_view name, std::span<const uint8_t> data) {
    writeValue(name, platform::RegValue::fromBinary(std::vector<uint8_t>(data.begin(), data.end())));
}

bool TRegistry::deleteValue(std::string_view name) {
    return key_ && writable_ && key_->deleteValue(std::string(name));
}

bool TRegistry::createKey(std::string_view path) {
    if (!registry_.createKey(rootKey_, resolve(path))) {
        throw ERegistryException("Failed to create key " + std::string(path));
    }
    return true;
}

bool TRegistry::deleteKey(std::string_view path) {
    const std::string full = resolve(path);
    // An empty path names the root itself, which is never deleted.
    return !full.empty() && deleteTree(full);
}

bool TRegistry::deleteTree(const std::string& path) {
    if (auto key = registry_.openKey(rootKey_, path, platform::KeyAccess::Read)) {
        for (const std::string& child : key->subkeyNames()) deleteTree(joinPath(path, child));
    }
    return registry_.deleteKey(rootKey_, path);
}

}  // namespace vardak
