// The bindings of the optional system libraries on fake libraries: every entry by
// name, the loaded test, where libraries come from and which ones are released.
#include "probes/core/Ostrel_AdvAPI.h"
#include "probes/core/Ostrel_LibraryBinding.h"
#include "probes/core/Ostrel_NetAPI32.h"
#include "probes/core/Ostrel_PSAPI.h"
#include "probes/core/Ostrel_WnASPI32.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>

namespace vardak::probes {
namespace {

struct Binding {
    const BindingTable* table;
    LibraryBinding& (*binding)();
};

class BindingTest : public ::testing::TestWithParam<Binding> {
protected:
    LibraryBinding& binding() const { return GetParam().binding(); }
    std::string file() const { return std::string(GetParam().table->fileName); }
    int uses() { return machine.librariesFake.useCount(file()); }

    // The library with every entry of the table but `leftOut`; each entry's stand-in
    // address is made from its name, so a wrong name shows.
    void addLibrary(std::string_view leftOut = "") {
        machine.librariesFake.addLibrary(file());
        for (const BindingEntry& row : GetParam().table->entries) {
            for (const char* suffix : row.ansiAndWide ? std::vector{"A", "W"} : std::vector{""}) {
                const std::string name = std::string(row.name) + suffix;
                if (row.name != leftOut) {
                    machine.librariesFake.addEntryPoint(file(), name, standIn(name));
                }
            }
        }
    }
    static platform::EntryPoint standIn(const std::string& name) {
        return reinterpret_cast<platform::EntryPoint>(std::hash<std::string>{}(name) | 1);
    }

    testing::FakePlatform machine;
};

TEST_P(BindingTest, EveryEntryIsBoundByItsNameAndTheBareNameIsTheAnsiOne) {
    addLibrary();
    {
        const OstrelBindingsSession outer(machine);
        const OstrelBindingsSession inner(machine);  // a second start only counts
        EXPECT_TRUE(binding().loaded());
        EXPECT_EQ(uses(), 1);
        for (const BindingEntry& row : GetParam().table->entries) {
            const std::string name(row.name);
            EXPECT_EQ(binding().entry(name), standIn(row.ansiAndWide ? name + "A" : name)) << name;
            if (row.ansiAndWide) {
                EXPECT_EQ(binding().entry(name + "W"), standIn(name + "W")) << name;
            }
        }
    }
    EXPECT_FALSE(binding().loaded());
    EXPECT_EQ(binding().entry(GetParam().table->keyEntry), nullptr);
    // Only the process-status library stays loaded at the end.
    EXPECT_EQ(uses(), GetParam().table->releasedAtStop ? 0 : 1);
}

TEST_P(BindingTest, WithoutTheKeyEntryTheOthersAreBoundAndTheLibraryStays) {
    addLibrary(GetParam().table->keyEntry);
    const OstrelBindingsSession session(machine);
    EXPECT_FALSE(binding().loaded());
    EXPECT_EQ(uses(), 1);
    const BindingEntry& other = GetParam().table->entries.back();
    EXPECT_NE(other.name, GetParam().table->keyEntry);
    EXPECT_NE(binding().entry(other.name), nullptr);
}

TEST_P(BindingTest, AMissingLibraryAndOneOnlyInTheCurrentFolderAreNeverLoaded) {
    for (const bool planted : {false, true}) {
        if (planted) {
            addLibrary();
            machine.librariesFake.plantInCurrentFolder(file());
        }
        const OstrelBindingsSession session(machine);
        EXPECT_FALSE(binding().loaded());
        EXPECT_EQ(binding().entry(GetParam().table->entries.front().name), nullptr);
        EXPECT_EQ(uses(), 0);
    }
}

TEST_P(BindingTest, ALibraryLoadedBeforeIsTakenAndNotReleased) {
    addLibrary();
    machine.librariesFake.loadBeforehand(file());
    {
        const OstrelBindingsSession session(machine);
        EXPECT_TRUE(binding().loaded());
        EXPECT_EQ(uses(), 1);
    }
    EXPECT_EQ(uses(), 1);
}

INSTANTIATE_TEST_SUITE_P(Libraries, BindingTest,
                         ::testing::Values(Binding{&kPSAPITable, &PSAPIBinding}, Binding{&kAdvAPITable, &AdvAPIBinding},
                                           Binding{&kNetAPI32Table, &NetAPI32Binding},
                                           Binding{&kWnASPI32Table, &WnASPI32Binding}));

TEST(BindingStopTest, ARefusedReleaseIsReportedForTheNetworkLibraryOnly) {
    testing::FakePlatform machine;
    for (const char* file : {"netapi32.dll", "advapi32.dll", "wnaspi32.dll"}) {
        machine.librariesFake.addLibrary(file);
        machine.librariesFake.refuseFree(file);
    }
    { const OstrelBindingsSession session(machine); }
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].text, "Unload Error: netapi32.dll (10000000)");
}

}  // namespace
}  // namespace vardak::probes
