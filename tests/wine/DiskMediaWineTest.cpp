// The disk and multimedia probes on the real backend under Wine: the drive walk
// leaves the caller's error mode as it found it, local drives are no network
// connections, and the multimedia interfaces answer with records of their documented
// sizes (or with no devices at all). run-drives-media.sh compares the report
// program's drives with the prefix's drive mapping and with df.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <set>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Disk.h"
#include "probes/hardware/Vesk_Media.h"

namespace vardak::winetest {
namespace {

using platform::MultimediaKind;

// The letters of the drive roots the string query lists ("C:\", "Z:\"), upper case.
std::string driveStringLetters() {
    char roots[256] = {};
    const DWORD length = std::min<DWORD>(GetLogicalDriveStringsA(sizeof(roots) - 1, roots), sizeof(roots) - 1);
    std::string letters;
    for (DWORD at = 0; at < length; at += static_cast<DWORD>(strlen(roots + at)) + 1) {
        const char letter = roots[at];
        letters.push_back(letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter);
    }
    return letters;
}

UINT currentErrorMode() {
    const UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

TEST(DiskWineTest, TheDriveWalkListsTheSystemsDrivesAndLeavesTheErrorMode) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    probes::TDisk disk(platform);
    disk.GetInfo();
    EXPECT_EQ(disk.AvailableDisks(), driveStringLetters());
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

struct KindSize {
    MultimediaKind kind;
    size_t recordSize;
};

constexpr KindSize kKinds[] = {
    {MultimediaKind::WaveOut, 52}, {MultimediaKind::WaveIn, 48},    {MultimediaKind::MidiOut, 52},
    {MultimediaKind::MidiIn, 44},  {MultimediaKind::Auxiliary, 48}, {MultimediaKind::Mixer, 48},
};

TEST(MultimediaWineTest, EveryDeviceAnswersWithTheRecordOfItsKind) {
    win32::Win32Platform platform(/*console=*/true);
    for (const KindSize& kind : kKinds) {
        const uint32_t count = platform.multimedia().deviceCount(kind.kind);
        for (uint32_t id = 0; id < count; ++id) {
            const auto record = platform.multimedia().capabilities(kind.kind, id);
            if (record) {
                EXPECT_EQ(record->size(), kind.recordSize) << static_cast<int>(kind.kind) << " #" << id;
            }
        }
        // One past the last device is no device.
        EXPECT_EQ(platform.multimedia().capabilities(kind.kind, count), std::nullopt);
    }
}

TEST(MultimediaWineTest, TheInterfaceListsHoldEachDeviceOnceWithItsVersion) {
    win32::Win32Platform platform(/*console=*/true);
    const probes::OstrelRoutinesSession routines(platform);
    probes::TMedia media(platform);
    media.GetInfo();
    media.GetInfo();
    const std::regex entry(R"(.{0,32} v\d{1,3}\.\d{1,3})");
    const struct {
        MultimediaKind kind;
        const TStrings& list;
    } lists[] = {
        {MultimediaKind::WaveOut, media.WAVEOut()}, {MultimediaKind::WaveIn, media.WAVEIn()},
        {MultimediaKind::MidiOut, media.MIDIOut()}, {MultimediaKind::MidiIn, media.MIDIIn()},
        {MultimediaKind::Auxiliary, media.AUX()},   {MultimediaKind::Mixer, media.Mixer()},
    };
    for (const auto& [kind, list] : lists) {
        EXPECT_LE(static_cast<uint32_t>(list.count()), platform.multimedia().deviceCount(kind));
        std::set<std::string> seen;
        for (const std::string& line : list.toVector()) {
            EXPECT_TRUE(std::regex_match(line, entry)) << line;
            EXPECT_TRUE(seen.insert(line).second) << "twice: " << line;
        }
    }
    EXPECT_LE(media.SoundCardIndex(), media.Devices().count() - 1);
    EXPECT_LE(media.GamePortIndex(), media.Devices().count() - 1);
}

}  // namespace
}  // namespace vardak::winetest
