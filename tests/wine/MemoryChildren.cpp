#include "tests/wine/MemoryChildren.h"

#include <string>

#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Memory.h"

namespace vardak::winetest {

int reportVeskMemory(platform::Platform& platform) {
    const probes::OstrelRoutinesSession session(platform);
    probes::TMemory memory(platform);
    // A failing 16-bit query is written as a line by the console notifier.
    memory.GetInfo();
    const auto field = [&](const std::string& name, int64_t value) {
        platform.ui().writeLine("memory." + name + "=" + std::to_string(value));
    };
    field("isNT", probes::OstrelFacts().IsNT ? 1 : 0);
    field("extended", memory.usedExtendedStatus() ? 1 : 0);
    field("physicalTotal", memory.PhysicalTotal());
    field("physicalFree", memory.PhysicalFree());
    field("virtualTotal", memory.VirtualTotal());
    field("virtualFree", memory.VirtualFree());
    field("pageFileTotal", memory.PageFileTotal());
    field("pageFileFree", memory.PageFileFree());
    field("load", memory.MemoryLoad());
    field("pageSize", memory.PageSize());
    field("granularity", memory.AllocGranularity());
    field("minAddress", static_cast<uint32_t>(memory.MinAppAddress()));
    field("maxAddress", static_cast<uint32_t>(memory.MaxAppAddress()));
    field("system", memory.Resources().System());
    field("gdi", memory.Resources().GDI());
    field("user", memory.Resources().User());
    return 0;
}

}  // namespace vardak::winetest
