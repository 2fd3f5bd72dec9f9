// The Windows component: edition, version numbers, service-pack text, product
// identifier and the registered owner and organisation, read as the operating-system
// probe reads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "grell/system/GrellSysBase.h"

namespace vardak::grell {

class TGrellSysWindowsObject : public TGrellSysObject {
public:
    explicit TGrellSysWindowsObject(platform::Platform& platform) : TGrellSysObject(platform) {}

    std::string_view className() const override { return "TGrellSysWindowsObject"; }
    void publishProperties(PropertyTable& table) const override;

    const std::string& RegisteredOwner() const { return registeredOwner_; }
    const std::string& RegisteredCompany() const { return registeredCompany_; }
    const std::string& ProductName() const { return productName_; }
    const std::string& ProductID() const { return productID_; }
    // Published but never filled.
    const std::string& InstallDate() const { return installDate_; }
    const std::string& CSDVersion() const { return csdVersion_; }
    uint32_t PlatformID() const { return platformID_; }
    uint32_t BuildNumber() const { return buildNumber_; }
    uint32_t MajorVersion() const { return majorVersion_; }
    uint32_t MinorVersion() const { return minorVersion_; }

    // The registration texts from the version key of the running line (when the key
    // does not open they keep their values; a text the key lacks reads as empty),
    // then the version record.
    void Retrieve() override;
    void ApplyChanges() override {}

private:
    std::string registeredOwner_;
    std::string registeredCompany_;
    std::string productName_;
    std::string productID_;
    std::string installDate_;
    std::string csdVersion_;
    uint32_t platformID_ = 0;
    uint32_t buildNumber_ = 0;
    uint32_t majorVersion_ = 0;
    uint32_t minorVersion_ = 0;
};

class TGrellSysWindows : public TGrellSysObjectComponent<TGrellSysWindowsObject> {
public:
    TGrellSysWindows(TComponent* owner, platform::Platform& platform)
        : TGrellSysObjectComponent(owner, platform, "Windows") {}

    std::string_view className() const override { return "TGrellSysWindows"; }

    TGrellSysWindowsObject& Windows() const { return Information(); }
};

}  // namespace vardak::grell
