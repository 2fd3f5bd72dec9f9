// The memory probe on fake machines: which status record is read on which system,
// the free 16-bit resources of the 95/98 line and their failures, and the report.
#include "probes/hardware/Vesk_Memory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exception.h"
#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"

namespace vardak::probes {
namespace {

using platform::FreeResourcesStatus;
using platform::MemoryStatus;
using platform::MemoryStatusEx;
using platform::PlatformId;
using testing::FakePlatform;

constexpr uint64_t kGB = 1024ull * 1024 * 1024;

// A legacy record that must not show where the extended one is read.
MemoryStatus legacyRecord() {
    MemoryStatus status;
    status.memoryLoad = 33;
    status.totalPhys = 0x7FFFFFFF;  // what the 32-bit record says of anything above 2 GB
    status.availPhys = 0x40000000;
    status.totalPageFile = 0xFFFFFFFF;
    status.availPageFile = 0xC0000000;
    status.totalVirtual = 0x7FFE0000;
    status.availVirtual = 0x7F000000;
    return status;
}

MemoryStatusEx sixGigabytes() {
    MemoryStatusEx status;
    status.memoryLoad = 41;
    status.totalPhys = 6 * kGB;
    status.availPhys = 3 * kGB + 12345;
    status.totalPageFile = 12 * kGB;
    status.availPageFile = 9 * kGB;
    status.totalVirtual = 2 * kGB - 128 * 1024;
    status.availVirtual = 2 * kGB - 64 * 1024 * 1024;
    status.availExtendedVirtual = 0;
    return status;
}

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetOstrelRoutines();
        machine.systemFake.memory = legacyRecord();
    }
    void TearDown() override { ResetOstrelRoutines(); }

    void refresh() {
        const OstrelRoutinesSession session(machine);
        memory.GetInfo();
    }

    // Answers of the 16-bit query: system, GDI, user.
    void setFreeResources(uint16_t system, uint16_t gdi, uint16_t user) {
        machine.systemFake.freeResources = {{FreeResourcesStatus::Ok, system},
                                            {FreeResourcesStatus::Ok, gdi},
                                            {FreeResourcesStatus::Ok, user}};
    }

    std::vector<std::string> report() const {
        TStringList lines;
        memory.Report(lines);
        return lines.toVector();
    }

    FakePlatform machine;
    TMemory memory{machine};
};

// ---------------------------------------------------------------- status records

TEST_F(MemoryTest, TheExtendedRecordShowsMoreThanFourGigabytes) {
    machine.systemFake.memoryEx = sixGigabytes();
    refresh();
    EXPECT_TRUE(memory.usedExtendedStatus());
    EXPECT_EQ(memory.PhysicalTotal(), static_cast<int64_t>(6 * kGB));
    EXPECT_EQ(memory.PhysicalFree(), static_cast<int64_t>(3 * kGB + 12345));
    EXPECT_EQ(memory.PageFileTotal(), static_cast<int64_t>(12 * kGB));
    EXPECT_EQ(memory.PageFileFree(), static_cast<int64_t>(9 * kGB));
    EXPECT_EQ(memory.VirtualTotal(), static_cast<int64_t>(2 * kGB - 128 * 1024));
    EXPECT_EQ(memory.VirtualFree(), static_cast<int64_t>(2 * kGB - 64 * 1024 * 1024));
    EXPECT_EQ(memory.MemoryLoad(), 41);
}

TEST_F(MemoryTest, WindowsAfterXPReadTheExtendedRecordToo) {
    // Their kind is unknown; that must not send them to the 32-bit record.
    machine.systemFake.version = {10, 0, 19045, PlatformId::NT, ""};
    machine.systemFake.memoryEx = sixGigabytes();
    ASSERT_EQ(ComputeOstrelFacts(machine).OSKind, TOSKind::osUnknown);
    refresh();
    EXPECT_TRUE(memory.usedExtendedStatus());
    EXPECT_EQ(memory.PhysicalTotal(), static_cast<int64_t>(6 * kGB));
    EXPECT_EQ(memory.MemoryLoad(), 41);
}

TEST_F(MemoryTest, SystemsWithoutTheExtendedQueryReadTheLegacyRecord) {
    for (const auto pose : {+[](testing::FakeSystem& system) { system.poseAsNT4(); },
                            +[](testing::FakeSystem& system) { system.poseAsWindows98(true); },
                            +[](testing::FakeSystem& system) { system.poseAsWindows95(); }}) {
        ResetOstrelRoutines();
        pose(machine.systemFake);
        machine.systemFake.memoryEx.reset();
        refresh();
        EXPECT_FALSE(memory.usedExtendedStatus());
        EXPECT_EQ(memory.MemoryLoad(), 33);
        EXPECT_EQ(memory.PhysicalTotal(), 0x7FFFFFFF);
        EXPECT_EQ(memory.PhysicalFree(), 0x40000000);
        // Zero-extended: a full 32-bit count stays positive.
        EXPECT_EQ(memory.PageFileTotal(), 0xFFFFFFFFll);
        EXPECT_EQ(memory.PageFileFree(), 0xC0000000ll);
        EXPECT_EQ(memory.VirtualTotal(), 0x7FFE0000);
        EXPECT_EQ(memory.VirtualFree(), 0x7F000000);
    }
}

TEST_F(MemoryTest, EachRefreshReadsTheRecordAgain) {
    machine.systemFake.memoryEx = sixGigabytes();
    refresh();
    machine.systemFake.memoryEx.reset();
    refresh();
    EXPECT_FALSE(memory.usedExtendedStatus());
    EXPECT_EQ(memory.PhysicalTotal(), 0x7FFFFFFF);
}

TEST_F(MemoryTest, SystemInformationGivesPagesAndAddresses) {
    machine.systemFake.systemInfo = {8192, 0x10000, 0xBFFEFFFF, 65536};
    refresh();
    EXPECT_EQ(memory.PageSize(), 8192);
    EXPECT_EQ(memory.MinAppAddress(), 0x10000);
    EXPECT_EQ(static_cast<uint32_t>(memory.MaxAppAddress()), 0xBFFEFFFFu);
    EXPECT_EQ(memory.AllocGranularity(), 65536);
}

// ---------------------------------------------------------------- free resources

TEST_F(MemoryTest, TheNTLineAnswers90WithoutAsking) {
    setFreeResources(10, 20, 30);
    refresh();
    EXPECT_EQ(memory.Resources().System(), 90);
    EXPECT_EQ(memory.Resources().GDI(), 90);
    EXPECT_EQ(memory.Resources().User(), 90);
    EXPECT_TRUE(machine.systemFake.freeResourceQueries.empty());
}

TEST_F(MemoryTest, The9xLineAsksTheSixteenBitHeaps) {
    machine.systemFake.poseAsWindows98();
    setFreeResources(71, 85, 64);
    refresh();
    EXPECT_EQ(memory.Resources().System(), 71);
    EXPECT_EQ(memory.Resources().GDI(), 85);
    EXPECT_EQ(memory.Resources().User(), 64);
    // System, then user, then GDI.
    EXPECT_EQ(machine.systemFake.freeResourceQueries, (std::vector<uint16_t>{0, 2, 1}));
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(MemoryTest, A9xSystemWithoutTheSixteenBitQueryAnswers90) {
    machine.systemFake.poseAsWindowsMe();
    refresh();
    EXPECT_EQ(memory.Resources().System(), 90);
    EXPECT_EQ(memory.Resources().User(), 90);
    EXPECT_EQ(machine.systemFake.freeResourceQueries.size(), 3u);
}

TEST_F(MemoryTest, AMissingUserModuleIsShownOnceAndTheRefreshGoesOn) {
    machine.systemFake.poseAsWindows98();
    setFreeResources(71, 85, 64);
    refresh();
    machine.systemFake.freeResources = {{FreeResourcesStatus::CannotLoadUser, 0}};
    machine.systemFake.memory.totalPhys = 64 * 1024 * 1024;
    refresh();
    ASSERT_EQ(machine.uiFake.errors.size(), 1u);
    EXPECT_EQ(machine.uiFake.errors[0].caption, "Error");
    EXPECT_EQ(machine.uiFake.errors[0].text, "TResources.GetInfo: Can't load USER.EXE!");
    // The percentages keep their last values; the memory status is read.
    EXPECT_EQ(memory.Resources().System(), 71);
    EXPECT_EQ(memory.Resources().GDI(), 85);
    EXPECT_EQ(memory.Resources().User(), 64);
    EXPECT_EQ(memory.PhysicalTotal(), 64 * 1024 * 1024);
}

TEST_F(MemoryTest, AMissingEntryStopsTheResourcesWhereItHappens) {
    machine.systemFake.poseAsWindows98();
    machine.systemFake.freeResources = {{FreeResourcesStatus::Ok, 55}, {FreeResourcesStatus::Ok, 66},
                                        {FreeResourcesStatus::NoEntry, 0}};
    memory.setExceptionMode(TExceptionMode::emRaise);
    const OstrelRoutinesSession session(machine);
    try {
        memory.GetInfo();
        FAIL() << "no exception";
    } catch (const Exception& failure) {
        EXPECT_EQ(failure.message(), "TResources.GetInfo: Can't get address of GetFreeSystemResources");
    }
    // The system heap was read before the user heap failed; GDI was not asked.
    EXPECT_EQ(memory.Resources().System(), 55);
    EXPECT_EQ(memory.Resources().GDI(), 0);
    EXPECT_EQ(machine.systemFake.freeResourceQueries, (std::vector<uint16_t>{0, 2}));
    // Raised: the status was not read.
    EXPECT_EQ(memory.PhysicalTotal(), 0);
}

TEST_F(MemoryTest, SilentFailuresShowNothing) {
    machine.systemFake.poseAsWindows98();
    machine.systemFake.freeResources = {{FreeResourcesStatus::CannotLoadUser, 0}};
    memory.setExceptionMode(TExceptionMode::emSilent);
    refresh();
    EXPECT_TRUE(machine.uiFake.errors.empty());
    EXPECT_EQ(memory.PhysicalTotal(), 0x7FFFFFFF);
}

TEST(FreeResourcesTest, TheQueryAlone) {
    ResetOstrelRoutines();
    FakePlatform machine;
    machine.systemFake.poseAsWindows95();
    machine.systemFake.freeResources = {{FreeResourcesStatus::Ok, 0}, {FreeResourcesStatus::Ok, 100},
                                        {FreeResourcesStatus::CannotLoadUser, 0}};
    const OstrelRoutinesSession session(machine);
    EXPECT_EQ(GetFreeSystemResources16(machine, TResourceKind::System), 0);
    EXPECT_EQ(GetFreeSystemResources16(machine, TResourceKind::GDI), 100);
    EXPECT_THROW(GetFreeSystemResources16(machine, TResourceKind::User), Exception);
    ResetOstrelRoutines();
}

// ---------------------------------------------------------------- properties and report

TEST_F(MemoryTest, CreatedWithMessagesAndZeros) {
    EXPECT_EQ(memory.ExceptionMode(), TExceptionMode::emMessage);
    EXPECT_EQ(memory.PhysicalTotal(), 0);
    EXPECT_EQ(memory.PageSize(), 0);
    std::vector<std::string> names;
    const PropertyTable table = memory.publishedProperties();
    for (const auto& property : table.properties()) {
        names.push_back(property.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ExceptionMode", "PhysicalTotal", "PhysicalFree", "VirtualTotal",
                                               "VirtualFree", "PageFileTotal", "PageFileFree", "MemoryLoad",
                                               "AllocGranularity", "MaxAppAddress", "MinAppAddress", "PageSize",
                                               "Resources"}));
}

TEST_F(MemoryTest, TheReportWritesSizesInBytesAndAddressesInHex) {
    machine.systemFake.memoryEx = sixGigabytes();
    machine.systemFake.systemInfo = {4096, 0x10000, 0x7FFEFFFF, 65536};
    refresh();
    EXPECT_EQ(report(), (std::vector<std::string>{
                            "[Memory]",
                            "PhysMemTotal=6442450944",
                            "PhysMemFree=3221237817",
                            "PageFileTotal=12884901888",
                            "PageFileFree=9663676416",
                            "VirtMemTotal=2147352576",
                            "VirtMemFree=2080374784",
                            "AllocGranularity=65536",
                            "MinAppAddress=10000",
                            "MaxAppAddress=7FFEFFFF",
                            "PageSize=4096",
                        }));
}

TEST_F(MemoryTest, TheReportOfALargeAddressSpace) {
    machine.systemFake.poseAsNT4();
    machine.systemFake.systemInfo = {4096, 0x10000, 0xBFFEFFFF, 65536};
    refresh();
    const std::vector<std::string> lines = report();
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[1], "PhysMemTotal=2147483647");
    EXPECT_EQ(lines[3], "PageFileTotal=4294967295");
    EXPECT_EQ(lines[9], "MaxAppAddress=BFFEFFFF");
}

}  // namespace
}  // namespace vardak::probes
