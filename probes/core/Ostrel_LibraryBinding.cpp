#include "probes/core/Ostrel_LibraryBinding.h"

#include <array>

#include "framework/Exception.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_AdvAPI.h"
#include "probes/core/Ostrel_NetAPI32.h"
#include "probes/core/Ostrel_PSAPI.h"
#include "probes/core/Ostrel_WnASPI32.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {

bool LibraryBinding::start(platform::RuntimeLibraries& libraries) {
    if (starts_++ > 0) {
        return loaded_;
    }
    libraries_ = &libraries;
    const std::string fileName(table_.fileName);
    module_ = libraries.loadedModule(fileName);
    ownsModule_ = module_ == 0;
    if (ownsModule_) {
        module_ = libraries.loadFromSystemFolder(fileName);
    }
    if (module_ != 0) {
        bindEntries();
    }
    loaded_ = module_ != 0 && entry(table_.keyEntry) != nullptr;
    return loaded_;
}

void LibraryBinding::bindEntries() {
    for (const BindingEntry& row : table_.entries) {
        const std::string name(row.name);
        if (row.ansiAndWide) {
            bind(name + "A", name + "A");
            bind(name + "W", name + "W");
            bind(name, name + "A");
        } else {
            bind(name, name);
        }
    }
}

void LibraryBinding::bind(const std::string& reference, const std::string& entryName) {
    references_.emplace_back(reference, libraries_->entry(module_, entryName));
}

void LibraryBinding::stop() {
    if (starts_ == 0 || --starts_ > 0) {
        return;
    }
    const platform::ModuleHandle module = std::exchange(module_, 0);
    const bool release = ownsModule_ && module != 0 && table_.releasedAtStop;
    references_.clear();
    loaded_ = false;
    ownsModule_ = false;
    if (release && !libraries_->free(module) && table_.unloadErrorRaised) {
        throw Exception(Format("Unload Error: %s (%.8x)", {table_.fileName, static_cast<int64_t>(module)}));
    }
}

platform::EntryPoint LibraryBinding::entry(std::string_view name) const {
    for (const auto& [reference, entryPoint] : references_) {
        if (reference == name) {
            return entryPoint;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- the four bindings

namespace {

// In the order they start; they stop in the reverse order.
std::array<LibraryBinding*, 4> allBindings() {
    return {&PSAPIBinding(), &AdvAPIBinding(), &NetAPI32Binding(), &WnASPI32Binding()};
}

}  // namespace

OstrelBindingsSession::OstrelBindingsSession(platform::Platform& platform) : platform_(platform) {
    for (LibraryBinding* binding : allBindings()) {
        binding->start(platform.libraries());
    }
}

OstrelBindingsSession::~OstrelBindingsSession() {
    const std::array<LibraryBinding*, 4> bindings = allBindings();
    for (auto binding = bindings.rbegin(); binding != bindings.rend(); ++binding) {
        try {
            (*binding)->stop();
        } catch (const Exception& failure) {
            ShowErrorText(platform_.ui(), failure.message());
        }
    }
}

}  // namespace vardak::probes
