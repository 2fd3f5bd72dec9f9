// The uninstall-list component: the installed programs Windows can uninstall, as
// registered below the machine's uninstall key, one item per program. Item values
// can be edited; edits are pending changes of the collection until ApplyChanges
// writes them to the program's key.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "grell/system/GrellExceptions.h"
#include "grell/system/GrellSysBase.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::grell {

// The item's values by their index.
enum class TUninstallValue : uint8_t {
    ProgramName,
    UninstallPath,
    Publisher,
    PublisherURL,
    Version,
    HelpLink,
    UpdateInfoURL,
    RegCompany,
    RegOwner,
};

struct UninstallValueInfo {
    std::string_view property;
    std::string_view registryValue;
    std::string_view changeKeyPattern;  // "%d" stands for the item's index
};

inline constexpr std::array<UninstallValueInfo, 9> kUninstallValues = {{
    {"ProgramName", "DisplayName", "Uninstall[%d]:ProgramName"},
    {"UninstallPath", "UninstallString", "Uninstall[%d]:UninstallPath"},
    {"Publisher", "Publisher", "Uninstall[%d]:Publisher"},
    {"PublisherURL", "URLInfoAbout", "Uninstall[%d]:PublisherURL"},
    {"Version", "DisplayVersion", "Uninstall[%d]:Version"},
    {"HelpLink", "HelpLink", "Uninstall[%d]:HelpLink"},
    {"UpdateInfoURL", "URLUpdateInfo", "Uninstall[%d]:UpdateInfoURL"},
    {"RegCompany", "RegCompany", "Uninstall[%d]:RegCompany"},
    {"RegOwner", "RegOwner", "Uninstall[%d]:RegOwner"},
}};

class TGrellUninstallItem : public TGrellSysCollectionItem {
public:
    explicit TGrellUninstallItem(platform::Platform& platform) : platform_(platform) {}

    std::string_view className() const override { return "TGrellUninstallItem"; }
    void publishProperties(PropertyTable& table) const override;
    // What a collection editor shows.
    const std::string& DisplayName() const { return ProgramName(); }

    // The name of the program's key below the uninstall key.
    const std::string& KeyName() const { return keyName_; }
    void SetKeyName(std::string name) { keyName_ = std::move(name); }

    const std::string& Value(TUninstallValue which) const { return values_[static_cast<size_t>(which)]; }
    // The shared setter: a text other than the current one is recorded as a pending
    // change of the collection (a text back to the loaded one forgets it), then kept.
    void SetValue(TUninstallValue which, const std::string& text);

    const std::string& ProgramName() const { return Value(TUninstallValue::ProgramName); }
    const std::string& UninstallPath() const { return Value(TUninstallValue::UninstallPath); }
    const std::string& Publisher() const { return Value(TUninstallValue::Publisher); }
    const std::string& PublisherURL() const { return Value(TUninstallValue::PublisherURL); }
    const std::string& Version() const { return Value(TUninstallValue::Version); }
    const std::string& HelpLink() const { return Value(TUninstallValue::HelpLink); }
    const std::string& UpdateInfoURL() const { return Value(TUninstallValue::UpdateInfoURL); }
    const std::string& RegCompany() const { return Value(TUninstallValue::RegCompany); }
    const std::string& RegOwner() const { return Value(TUninstallValue::RegOwner); }

    // Writes the pending values, in index order, to the program's key, which must
    // exist; each change is committed once its value is written. Raises
    // EInvalidOperation for a key name that is empty or holds a backslash,
    // ERegistryException when the key does not open for writing or a write fails
    // (that change and the later ones stay pending). A value stored as expandable
    // text is written back as such. Without pending changes nothing is opened.
    void ApplyChanges() override;

    // Takes the values of a program's key without recording changes; a value that is
    // missing or no text reads as empty.
    void Load(std::string keyName, const TRegistry& key);
    // Copies key name and values without recording changes.
    void Assign(const TGrellUninstallItem& source);

private:
    platform::Platform& platform_;
    std::string keyName_;
    std::array<std::string, kUninstallValues.size()> values_;
};

class TGrellSysUninstall;

class TGrellUninstallInfo : public TGrellSysCollection {
public:
    TGrellUninstallInfo(TGrellSysUninstall* owner, platform::Platform& platform);

    std::string_view className() const override { return "TGrellUninstallInfo"; }

    TGrellSysUninstall* Owner() const { return owner_; }
    TGrellUninstallItem* Items(int index) const { return itemAs<TGrellUninstallItem>(index); }
    TGrellUninstallItem* Add() { return static_cast<TGrellUninstallItem*>(add()); }
    // Replaces the items by copies of `source`'s, with no pending changes.
    void Assign(const TGrellUninstallInfo& source);

private:
    TGrellSysUninstall* owner_;
};

// Owns the list (not an information object); its changes are not logged.
class TGrellSysUninstall : public TGrellSysBaseComponent {
public:
    TGrellSysUninstall(TComponent* owner, platform::Platform& platform);

    std::string_view className() const override { return "TGrellSysUninstall"; }
    void publishProperties(PropertyTable& table) const override;

    TGrellUninstallInfo& Uninstall() const { return *uninstall_; }
    // Copies the items of `source`; the owned list stays the same object.
    void SetUninstall(const TGrellUninstallInfo& source) { uninstall_->Assign(source); }

protected:
    // Rebuilds the list from the registry: the programs whose display name and
    // uninstall command are texts. Pending changes are forgotten with the
    // items they belonged to: they are kept by index, and an index names another
    // program once the list is read again.
    void Retrieve() override;

private:
    platform::Platform& platform_;
    std::unique_ptr<TGrellUninstallInfo> uninstall_;
};

}  // namespace vardak::grell
