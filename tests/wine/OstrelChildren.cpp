#include "tests/wine/OstrelChildren.h"

#include "probes/core/Ostrel_Routines.h"

#include <string>

namespace vardak::winetest {

int reportOstrelFacts(platform::Platform& platform) {
    const probes::OstrelRoutinesSession session(platform);
    const probes::TOstrelFacts& facts = probes::OstrelFacts();
    const auto field = [&](const std::string& name, const std::string& value) {
        platform.ui().writeLine("ostrel." + name + "=" + value);
    };
    field("kind", std::string(probes::kOSKindNames[static_cast<int>(facts.OSKind)]));
    field("isNT", facts.IsNT ? "1" : "0");
    field("servicePack", facts.ServicePack);
    field("shortName", facts.OSShortName);
    field("longName", facts.OSLongName);
    field("classKey", facts.ClassKey);
    field("machine", facts.MachineName);
    field("user", facts.UserName);
    field("profile", facts.ProfilePath);
    field("totalPhys", std::to_string(facts.TotalPhysMem));
    return 0;
}

}  // namespace vardak::winetest
