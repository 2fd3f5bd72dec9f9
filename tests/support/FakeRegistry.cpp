#include "tests/support/FakeRegistry.h"

#include "tests/support/AsciiCase.h"
#include "tests/support/RegFile.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vardak::testing {

using platform::KeyAccess;
using platform::RegValue;
using platform::RootKey;

struct FakeRegistry::Node {
    std::string name;
    std::vector<std::pair<std::string, RegValue>> values;
    std::vector<std::shared_ptr<Node>> children;
    bool deleted = false;

    std::shared_ptr<Node> child(std::string_view childName) const {
        auto found = std::find_if(children.begin(), children.end(),
                                  [&](const auto& node) { return equalsIgnoreCase(node->name, childName); });
        return found == children.end() ? nullptr : *found;
    }

    auto findValue(std::string_view valueName) {
        return std::find_if(values.begin(), values.end(),
                            [&](const auto& entry) { return equalsIgnoreCase(entry.first, valueName); });
    }

    void setValue(std::string_view valueName, RegValue value) {
        auto found = findValue(valueName);
        if (found != values.end()) {
            found->second = std::move(value);
        } else {
            values.emplace_back(std::string(valueName), std::move(value));
        }
    }

    bool deleteValue(std::string_view valueName) {
        auto found = findValue(valueName);
        if (found == values.end()) return false;
        values.erase(found);
        return true;
    }

    void markDeleted() {
        deleted = true;
        for (const auto& node : children) node->markDeleted();
    }
};

namespace {

std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const size_t slash = path.find('\\');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

class FakeKey : public platform::RegistryKey {
public:
    FakeKey(const FakeRegistry& registry, std::shared_ptr<FakeRegistry::Node> node, KeyAccess access)
        : registry_(registry), node_(std::move(node)), writable_(access == KeyAccess::ReadWrite) {}

    std::vector<std::string> subkeyNames() const override {
        std::vector<std::string> names;
        if (node_->deleted) return names;
        for (const auto& child : node_->children) names.push_back(child->name);
        return names;
    }

    std::vector<std::string> valueNames() const override {
        std::vector<std::string> names;
        if (node_->deleted) return names;
        for (const auto& entry : node_->values) names.push_back(entry.first);
        return names;
    }

    std::optional<RegValue> queryValue(const std::string& name) const override {
        if (node_->deleted) return std::nullopt;
        auto found = node_->findValue(name);
        if (found == node_->values.end()) return std::nullopt;
        return found->second;
    }

    bool setValue(const std::string& name, const RegValue& value) override {
        if (!canWrite() || registry_.refusesWritesOf(name)) return false;
        node_->setValue(name, value);
        return true;
    }

    bool deleteValue(const std::string& name) override {
        return canWrite() && node_->deleteValue(name);
    }

private:
    bool canWrite() const { return writable_ && !node_->deleted; }

    const FakeRegistry& registry_;
    std::shared_ptr<FakeRegistry::Node> node_;
    bool writable_;
};

}  // namespace

FakeRegistry::FakeRegistry() {
    for (auto& root : roots_) root = std::make_shared<Node>();
}

FakeRegistry::~FakeRegistry() = default;

std::shared_ptr<FakeRegistry::Node> FakeRegistry::findNode(RootKey root, std::string_view path) const {
    std::shared_ptr<Node> node = roots_.at(static_cast<size_t>(root));
    for (std::string_view part : splitPath(path)) {
        node = node->child(part);
        if (!node) return nullptr;
    }
    return node;
}

std::shared_ptr<FakeRegistry::Node> FakeRegistry::findOrCreateNode(RootKey root, std::string_view path) {
    std::shared_ptr<Node> node = roots_.at(static_cast<size_t>(root));
    for (std::string_view part : splitPath(path)) {
        std::shared_ptr<Node> next = node->child(part);
        if (!next) {
            next = std::make_shared<Node>();
            next->name = std::string(part);
            node->children.push_back(next);
        }
        node = std::move(next);
    }
    return node;
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::openKey(RootKey root, const std::string& path,
                                                             KeyAccess access) {
    std::shared_ptr<Node> node = findNode(root, path);
    if (access == KeyAccess::ReadWrite) ++writableOpens;
    if (!node) return nullptr;
    return std::make_unique<FakeKey>(*this, std::move(node), access);
}

std::unique_ptr<platform::RegistryKey> FakeRegistry::createKey(RootKey root, const std::string& path) {
    ++writableOpens;
    return std::make_unique<FakeKey>(*this, findOrCreateNode(root, path), KeyAccess::ReadWrite);
}

void FakeRegistry::refuseWritesOf(std::string_view valueName) {
    refusedValues_.insert(upperAscii(valueName));
}

bool FakeRegistry::refusesWritesOf(std::string_view valueName) const {
    return refusedValues_.count(upperAscii(valueName)) != 0;
}

bool FakeRegistry::deleteKey(RootKey root, const std::string& path) {
    std::shared_ptr<Node> node = findNode(root, path);
    if (!node || !node->children.empty()) return false;
    return removeKey(root, path);
}

void FakeRegistry::createKeyPath(RootKey root, std::string_view path) {
    findOrCreateNode(root, path);
}

void FakeRegistry::setValue(RootKey root, std::string_view path, std::string_view name, RegValue value) {
    findOrCreateNode(root, path)->setValue(name, std::move(value));
}

bool FakeRegistry::removeValue(RootKey root, std::string_view path, std::string_view name) {
    std::shared_ptr<Node> node = findNode(root, path);
    return node && node->deleteValue(name);
}

bool FakeRegistry::removeKey(RootKey root, std::string_view path) {
    std::vector<std::string_view> parts = splitPath(path);
    if (parts.empty()) return false;  // a root key cannot be deleted
    const std::string_view leaf = parts.back();
    parts.pop_back();
    std::shared_ptr<Node> parent = roots_.at(static_cast<size_t>(root));
    for (std::string_view part : parts) {
        parent = parent->child(part);
        if (!parent) return false;
    }
    auto& siblings = parent->children;
    auto found = std::find_if(siblings.begin(), siblings.end(),
                              [&](const auto& node) { return equalsIgnoreCase(node->name, leaf); });
    if (found == siblings.end()) return false;
    (*found)->markDeleted();
    siblings.erase(found);
    return true;
}

bool FakeRegistry::hasKey(RootKey root, std::string_view path) const {
    return findNode(root, path) != nullptr;
}

std::optional<RegValue> FakeRegistry::value(RootKey root, std::string_view path, std::string_view name) const {
    std::shared_ptr<Node> node = findNode(root, path);
    if (!node) return std::nullopt;
    auto found = node->findValue(name);
    if (found == node->values.end()) return std::nullopt;
    return found->second;
}

void FakeRegistry::loadRegText(std::string_view text, std::string_view sourceName) {
    testing::loadRegText(*this, text, sourceName);
}

void FakeRegistry::loadRegFile(const std::string& path) {
    testing::loadRegFile(*this, path);
}

}  // namespace vardak::testing
