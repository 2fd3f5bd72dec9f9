// The disk probe and the multimedia seam on the real backend under Wine: the drive
// walk leaves the caller's error mode as it found it, local drives are no network
// connections, and the multimedia interfaces answer with records of their documented
// sizes (or with no devices at all). run-drives-media.sh checks the report program's
// drives against the prefix's drive mapping and df, and its media lists.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Disk.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::winetest {
namespace {

UINT currentErrorMode() {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

TEST(DiskWineTest, TheDriveWalkLeavesTheCallersErrorMode) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    probes::TDisk disk(platform);
    disk.GetInfo();
    ASSERT_FALSE(disk.AvailableDisks().empty());
    for (const UINT callersMode : {UINT{0}, UINT{SEM_NOOPENFILEERRORBOX}}) {
        const UINT previous = SetErrorMode(callersMode);
        TStringList report;
        disk.Report(report);
        EXPECT_EQ(currentErrorMode(), callersMode);
        SetErrorMode(previous);
        EXPECT_EQ(report.count(), 2 + 24 * static_cast<int>(disk.AvailableDisks().size()));
    }
}

TEST(DiskWineTest, LocalDrivesAreNoNetworkConnections) {
    win32::Win32Platform platform(/*console=*/true);
    const UINT previous = SetErrorMode(0);
    for (const char* drive : {"C:", "Z:"}) {
        EXPECT_EQ(platform.files().networkConnection(drive), std::nullopt) << drive;
    }
    EXPECT_EQ(currentErrorMode(), 0u);
    SetErrorMode(previous);
}

TEST(MultimediaWineTest, EveryDeviceAnswersWithTheRecordOfItsKind) {
    win32::Win32Platform platform(/*console=*/true);
    for (const auto& [kind, recordSize] : testing::kMultimediaRecordSizes) {
        const uint32_t count = platform.multimedia().deviceCount(kind);
        for (uint32_t id = 0; id < count; ++id) {
            const auto record = platform.multimedia().capabilities(kind, id);
            if (record) {
                EXPECT_EQ(record->size(), recordSize) << static_cast<int>(kind) << " #" << id;
            }
        }
        // One past the last device is no device.
        EXPECT_EQ(platform.multimedia().capabilities(kind, count), std::nullopt);
    }
}

}  // namespace
}  // namespace vardak::winetest
