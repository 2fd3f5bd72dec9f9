#include "grell/system/GrellSysWindows.h"

#include "probes/core/Ostrel_Routines.h"

namespace vardak::grell {

void TGrellSysWindowsObject::publishProperties(PropertyTable& table) const {
    TGrellSysObject::publishProperties(table);
    table.string("RegisteredOwner", registeredOwner_)
        .string("RegisteredCompany", registeredCompany_)
        .string("ProductName", productName_)
        .string("ProductID", productID_)
        .string("InstallDate", installDate_)
        .string("CSDVersion", csdVersion_)
        .cardinal("PlatformID", platformID_)
        .cardinal("BuildNumber", buildNumber_)
        .cardinal("MajorVersion", majorVersion_)
        .cardinal("MinorVersion", minorVersion_);
}

void TGrellSysWindowsObject::Retrieve() {
    if (const std::unique_ptr<TRegistry> key = probes::OpenCurrentVersionKey(platform())) {
        probes::TWindowsRegistration registration = probes::ReadWindowsRegistration(*key);
        registeredOwner_ = std::move(registration.RegisteredOwner).value_or("");
        registeredCompany_ = std::move(registration.RegisteredOrganization).value_or("");
        productID_ = std::move(registration.ProductID).value_or("");
        productName_ = std::move(registration.ProductName).value_or("");
    }
    const platform::OSVersionInfo record = platform().system().versionInfo();
    csdVersion_ = probes::CSDVersionText(record);
    buildNumber_ = record.build;
    platformID_ = static_cast<uint32_t>(record.platform);
    majorVersion_ = record.major;
    minorVersion_ = record.minor;
}

}  // namespace vardak::grell
