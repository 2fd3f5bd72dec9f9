// The bindings of the optional system libraries on fake libraries: every entry by
// name, the loaded test, where libraries come from and which ones are released.
#include "probes/core/Ostrel_AdvAPI.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_NetAPI32.h"
#include "probes/core/Ostrel_PSAPI.h"
#include "probes/core/Ostrel_WnASPI32.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vardak::probes {
namespace {

using testing::FakePlatform;

// A distinct stand-in address per entry name; the bindings never call them here.
platform::EntryPoint standIn(size_t index) {
    return reinterpret_cast<platform::EntryPoint>(static_cast<uintptr_t>(0x1000 + index));
}

struct Reference {
    std::string name;
    std::string entryName;
};

// Every reference a table promises and the library entry behind it.
std::vector<Reference> referencesOf(const BindingTable& table) {
    std::vector<Reference> references;
    for (const BindingEntry& row : table.entries) {
        const std::string name(row.name);
        if (row.ansiAndWide) {
            references.push_back({name + "A", name + "A"});
            references.push_back({name + "W", name + "W"});
            references.push_back({name, name + "A"});
        } else {
            references.push_back({name, name});
        }
    }
    return references;
}

struct Binding {
    const BindingTable* table;
    LibraryBinding& (*binding)();
};

const Binding kBindings[] = {
    {&kPSAPITable, &PSAPIBinding},
    {&kAdvAPITable, &AdvAPIBinding},
    {&kNetAPI32Table, &NetAPI32Binding},
    {&kWnASPI32Table, &WnASPI32Binding},
};

class BindingTest : public ::testing::TestWithParam<Binding> {
protected:
    const BindingTable& table() const { return *GetParam().table; }
    LibraryBinding& binding() const { return GetParam().binding(); }
    std::string file() const { return std::string(table().fileName); }

    // The library with every entry of the table but `left out`.
    void addLibrary(const std::string& leftOut = "") {
        machine.librariesFake.addLibrary(file());
        size_t index = 0;
        for (const Reference& reference : referencesOf(table())) {
            if (reference.entryName != leftOut && reference.name == reference.entryName) {
                machine.librariesFake.addEntryPoint(file(), reference.entryName, standIn(index));
            }
            ++index;
        }
    }
    std::string keyEntryName() const {
        for (const Reference& reference : referencesOf(table())) {
            if (reference.name == table().keyEntry) {
                return reference.entryName;
            }
        }
        return {};
    }

    FakePlatform machine;
};

TEST_P(BindingTest, EveryEntryIsBoundByItsName) {
    addLibrary();
    const std::vector<Reference> references = referencesOf(table());
    {
        const OstrelBindingsSession session(machine);
        EXPECT_TRUE(binding().loaded());
        EXPECT_EQ(machine.librariesFake.useCount(file()), 1);
        for (const Reference& reference : references) {
            // The entry's stand-in is numbered by the reference that carries the entry's own name.
            const auto own = std::find_if(references.begin(), references.end(),
                                          [&](const Reference& other) { return other.name == reference.entryName; });
            EXPECT_EQ(binding().entry(reference.name), standIn(static_cast<size_t>(own - references.begin())))
                << reference.name;
        }
    }
    EXPECT_FALSE(binding().loaded());
    EXPECT_EQ(binding().entry(references.front().name), nullptr);
    // Only the process-status library stays loaded at the end.
    EXPECT_EQ(machine.librariesFake.useCount(file()), table().releasedAtStop ? 0 : 1);
}

TEST_P(BindingTest, WithoutTheKeyEntryTheOthersAreBoundAndTheLibraryStays) {
    addLibrary(keyEntryName());
    const OstrelBindingsSession session(machine);
    EXPECT_FALSE(binding().loaded());
    EXPECT_EQ(binding().entry(table().keyEntry), nullptr);
    EXPECT_EQ(machine.librariesFake.useCount(file()), 1);
    size_t bound = 0;
    for (const Reference& reference : referencesOf(table())) {
        bound += binding().entry(reference.name) != nullptr ? 1 : 0;
    }
    EXPECT_GT(bound, 0u);
}

// The library's file is only in the current folder, so for the bindings there is none.
TEST_P(BindingTest, ALibraryInTheCurrentFolderIsNeverLoaded) {
    addLibrary();
    machine.librariesFake.plantInCurrentFolder(file());
    const OstrelBindingsSession session(machine);
    EXPECT_FALSE(binding().loaded());
    EXPECT_EQ(binding().module(), 0u);
    EXPECT_EQ(machine.librariesFake.useCount(file()), 0);
    for (const Reference& reference : referencesOf(table())) {
        EXPECT_EQ(binding().entry(reference.name), nullptr) << reference.name;
    }
}

TEST_P(BindingTest, ALibraryLoadedBeforeIsTakenAndNotReleased) {
    addLibrary();
    machine.librariesFake.loadBeforehand(file());
    {
        const OstrelBindingsSession session(machine);
        EXPECT_TRUE(binding().loaded());
        EXPECT_EQ(machine.librariesFake.useCount(file()), 1);
    }
    EXPECT_EQ(machine.librariesFake.useCount(file()), 1);
}

TEST_P(BindingTest, OnlyTheFirstStartBindsAndOnlyTheLastStopReleases) {
    addLibrary();
    {
        const OstrelBindingsSession outer(machine);
        {
            const OstrelBindingsSession inner(machine);
            EXPECT_EQ(machine.librariesFake.useCount(file()), 1);
        }
        EXPECT_TRUE(binding().loaded());
    }
    EXPECT_FALSE(binding().loaded());
    binding().stop();  // a stop without a start
    EXPECT_EQ(machine.librariesFake.useCount(file()), table().releasedAtStop ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Libraries, BindingTest, ::testing::ValuesIn(kBindings), [](const auto& info) {
    std::string name(info.param.table->fileName);
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
});

// ---------------------------------------------------------------- release refused

TEST(BindingStopTest, ARefusedReleaseIsReportedForTheNetworkLibraryOnly) {
    FakePlatform machine;
    for (const char* file : {"netapi32.dll", "advapi32.dll", "wnaspi32.dll"}) {
        machine.librariesFake.addLibrary(file);
        machine.librariesFake.refuseFree(file);
    }
    { const OstrelBindingsSession session(machine); }
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
    EXPECT_EQ(machine.uiFake.errors[0].text, "Unload Error: netapi32.dll (10000000)");
}

TEST(ASPIWrapperTest, WithoutTheLayerBothAnswerZero) {
    FakePlatform machine;
    const OstrelBindingsSession session(machine);
    uint8_t block[12] = {};
    EXPECT_EQ(ASPI32SupportInfo(), 0u);
    EXPECT_EQ(ASPI32SendCommand(block), 0u);
}

}  // namespace
}  // namespace vardak::probes
