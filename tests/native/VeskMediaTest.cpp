// The multimedia probe: the multimedia-class devices of tests/fixtures/media-nt.reg
// with their game ports and sound card, and scripted answers of the six multimedia
// interfaces.
#include "probes/hardware/Vesk_Media.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "probes/core/Ostrel_Routines.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ProbeTesting.h"

namespace vardak::probes {
namespace {

using platform::MultimediaKind;
using ::testing::ElementsAre;
using testing::FakeMultimedia;
using testing::FakePlatform;

class MediaTest : public ::testing::Test {
protected:
    void SetUp() override { ResetOstrelRoutines(); }
    void TearDown() override { ResetOstrelRoutines(); }

    FakePlatform machine;
};

// A game port is never the sound card (the first game port names its location, the
// chip after it none) and the last one counts; the report lists the devices, then
// the six interfaces.
TEST_F(MediaTest, TheReportListsTheDevicesThenTheSixInterfaces) {
    machine.loadRegistryFixture("media-nt.reg");
    machine.multimediaFake.devices[MultimediaKind::WaveOut] = {FakeMultimedia::record(52, "SB Live! Wave Device", 0x050A)};
    machine.multimediaFake.devices[MultimediaKind::Mixer] = {FakeMultimedia::record(48, "SB Live! Mixer", 0x050A)};
    TMedia media(machine);
    EXPECT_EQ(std::pair(media.SoundCardIndex(), media.GamePortIndex()), std::pair(2, 5));
    media.GetInfo();
    TStringList report;
    report.add("[Earlier]");
    media.Report(report);
    EXPECT_THAT(report.toVector(),
                ElementsAre("[Earlier]", "[Media]", "Count=6", "Device1=Creative SB16 Gameport Joystick",
                            "Device2=ATI Function Driver for High Definition Audio", "Device3=Creative SB Live! (WDM)",
                            "Device4=ALi Audio Accelerator WDM", "Device5=Legacy Audio Drivers",
                            "Device6=Standard Game Port", "[Sound]", "WaveInCount=0", "WaveOutCount=1",
                            "WaveOut1=SB Live! Wave Device v5.10", "MIDIInCount=0", "MIDIOutCount=0", "AUXCount=0",
                            "MixerCount=1", "Mixer1=SB Live! Mixer v5.10"));
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(MediaTest, NoMultimediaDeviceLeavesBothIndexesAtMinusOne) {
    machine.loadRegistryFixture("display-xp.reg");
    TMedia media(machine);
    media.GetInfo();
    EXPECT_EQ(std::pair(media.SoundCardIndex(), media.GamePortIndex()), std::pair(-1, -1));
    EXPECT_THAT(testing::reportOf(media), ElementsAre("[Media]", "Count=0", "[Sound]", "WaveInCount=0", "WaveOutCount=0",
                                                      "MIDIInCount=0", "MIDIOutCount=0", "AUXCount=0", "MixerCount=0"));
}

// The six interfaces' lists, in the order of kMultimediaRecordSizes.
constexpr const TStrings& (TMedia::*kLists[])() const = {&TMedia::WAVEOut, &TMedia::WAVEIn, &TMedia::MIDIOut,
                                                         &TMedia::MIDIIn,  &TMedia::AUX,    &TMedia::Mixer};

// The same name and version once (a second refresh adds only what is new); the
// version's upper word means nothing.
TEST_F(MediaTest, EachInterfaceListsItsDevicesWithTheirDriverVersions) {
    for (const auto& [kind, size] : testing::kMultimediaRecordSizes) {
        machine.multimediaFake.devices[kind] = {
            FakeMultimedia::record(size, "SB Live! Device", 0x050A),
            std::nullopt,  // a device whose query fails
            FakeMultimedia::record(size, "SB Live! Device", 0x050A),
            FakeMultimedia::record(size, "SB Live! Device", 0x0501),
        };
    }
    TMedia media(machine);
    media.GetInfo();
    for (const auto& [kind, size] : testing::kMultimediaRecordSizes) {
        machine.multimediaFake.devices[kind].push_back(FakeMultimedia::record(size, "Modem #0 Line Playback", 0xFFFF0100));
    }
    media.GetInfo();
    for (size_t index = 0; index < std::size(kLists); ++index) {
        EXPECT_THAT(((media.*kLists[index])()).toVector(),
                    ElementsAre("SB Live! Device v5.10", "SB Live! Device v5.1", "Modem #0 Line Playback v1.0"))
            << index;
    }
}

TEST_F(MediaTest, ProductNamesAreReadOnlyWithinTheirField) {
    const std::string fullField(32, 'W');
    std::vector<uint8_t> record = FakeMultimedia::record(52, fullField, 0x0102);
    // The formats and channels that follow the name are no part of it.
    std::fill(record.begin() + 40, record.end(), uint8_t{'X'});
    EXPECT_EQ(MultimediaDeviceEntry(record), fullField + " v1.2");
    // A record cut before the end of the name field holds no entry.
    record.resize(39);
    EXPECT_EQ(MultimediaDeviceEntry(record), std::nullopt);
}

}  // namespace
}  // namespace vardak::probes
