#include "grell/system/GrellSysUninstall.h"

namespace vardak::grell {

namespace {

using platform::RootKey;
using probes::kUninstallKey;

std::string programKeyPath(std::string_view keyName) {
    return std::string(kUninstallKey) + "\\" + std::string(keyName);
}

// A key name that names one key right below the uninstall key: an empty name would
// be the uninstall key itself, a backslash would reach into another key.
bool namesOneKey(std::string_view keyName) {
    return !keyName.empty() && keyName.find('\\') == std::string_view::npos;
}

}  // namespace

// ---------------------------------------------------------------- TGrellUninstallItem

void TGrellUninstallItem::publishProperties(PropertyTable& table) const {
    TGrellSysCollectionItem::publishProperties(table);
    for (size_t i = 0; i < kUninstallValues.size(); ++i) table.string(kUninstallValues[i].property, values_[i]);
}

void TGrellUninstallItem::SetValue(TUninstallValue which, const std::string& text) {
    std::string& value = values_[static_cast<size_t>(which)];
    if (text == value) return;
    RecordChange(kUninstallValues[static_cast<size_t>(which)].changeKeyPattern, value, text);
    value = text;
}

void TGrellUninstallItem::Load(std::string keyName, const TRegistry& key) {
    keyName_ = std::move(keyName);
    for (size_t i = 0; i < kUninstallValues.size(); ++i) {
        values_[i] = key.readText(kUninstallValues[i].registryValue).value_or("");
    }
}

void TGrellUninstallItem::Assign(const TGrellUninstallItem& source) {
    keyName_ = source.keyName_;
    values_ = source.values_;
}

void TGrellUninstallItem::ApplyChanges() {
    bool pending = false;
    for (const UninstallValueInfo& info : kUninstallValues) pending = pending || IsChanged(info.changeKeyPattern);
    if (!pending) return;
    if (!namesOneKey(keyName_)) {
        throw EInvalidOperation("The uninstall entry '" + keyName_ + "' names no single key; nothing is written");
    }
    TRegistry registry(platform_.registry(), RootKey::LocalMachine);
    if (!registry.openKey(programKeyPath(keyName_), /*canCreate=*/false)) {
        throw ERegistryException("The uninstall entry '" + keyName_ + "' cannot be opened for writing");
    }
    for (size_t i = 0; i < kUninstallValues.size(); ++i) {
        const UninstallValueInfo& info = kUninstallValues[i];
        if (!IsChanged(info.changeKeyPattern)) continue;
        if (registry.valueType(info.registryValue) == platform::ValueType::ExpandString) {
            registry.writeExpandString(info.registryValue, values_[i]);
        } else {
            registry.writeString(info.registryValue, values_[i]);
        }
        CommitChange(info.changeKeyPattern);
    }
}

// ---------------------------------------------------------------- TGrellUninstallInfo

TGrellUninstallInfo::TGrellUninstallInfo(TGrellSysUninstall* owner, platform::Platform& platform)
    : TGrellSysCollection([&platform] { return std::make_unique<TGrellUninstallItem>(platform); }, platform),
      owner_(owner) {}

void TGrellUninstallInfo::Assign(const TGrellUninstallInfo& source) {
    if (&source == this) return;
    clear();
    DiscardChanges();
    for (int i = 0; i < source.count(); ++i) Add()->Assign(*source.Items(i));
}

// ---------------------------------------------------------------- TGrellSysUninstall

TGrellSysUninstall::TGrellSysUninstall(TComponent* owner, platform::Platform& platform)
    : TGrellSysBaseComponent(owner),
      platform_(platform),
      uninstall_(std::make_unique<TGrellUninstallInfo>(this, platform)) {}

void TGrellSysUninstall::publishProperties(PropertyTable& table) const {
    TGrellSysBaseComponent::publishProperties(table);
    table.object("Uninstall", uninstall_.get());
}

void TGrellSysUninstall::Retrieve() {
    uninstall_->clear();
    uninstall_->DiscardChanges();
    const std::unique_ptr<TRegistry> list =
        TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, kUninstallKey);
    if (!list) return;
    for (const std::string& name : list->subkeyNames()) {
        const std::unique_ptr<TRegistry> key =
            TRegistry::openReadOnly(platform_.registry(), RootKey::LocalMachine, programKeyPath(name));
        if (!key || !key->readText("DisplayName") || !key->readText("UninstallString")) continue;
        uninstall_->Add()->Load(name, *key);
    }
}

}  // namespace vardak::grell
