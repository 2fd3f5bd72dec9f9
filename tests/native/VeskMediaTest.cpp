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

// ---------------------------------------------------------------- devices

TEST_F(MediaTest, AGamePortNeverBecomesTheSoundCardAndTheLastOneCounts) {
    machine.loadRegistryFixture("media-nt.reg");
    const TMedia media(machine);
    EXPECT_THAT(media.Devices().toVector(),
                ElementsAre("Creative SB16 Gameport Joystick", "ATI Function Driver for High Definition Audio",
                            "Creative SB Live! (WDM)", "ALi Audio Accelerator WDM", "Legacy Audio Drivers",
                            "Standard Game Port"));
    // The first game port names its location, the chip after it names none.
    EXPECT_EQ(media.SoundCardIndex(), 2);
    EXPECT_EQ(media.GamePortIndex(), 5);
    EXPECT_TRUE(machine.uiFake.errors.empty());
}

TEST_F(MediaTest, NoMultimediaDeviceLeavesBothIndexesAtMinusOne) {
    machine.loadRegistryFixture("display-xp.reg");
    TMedia media(machine);
    media.GetInfo();
    EXPECT_TRUE(media.Devices().empty());
    EXPECT_EQ(media.SoundCardIndex(), -1);
    EXPECT_EQ(media.GamePortIndex(), -1);
    TStringList report;
    media.Report(report);
    EXPECT_THAT(report.toVector(), ElementsAre("[Media]", "Count=0", "[Sound]", "WaveInCount=0", "WaveOutCount=0",
                                               "MIDIInCount=0", "MIDIOutCount=0", "AUXCount=0", "MixerCount=0"));
}

// ---------------------------------------------------------------- interface lists

// Record sizes of the six kinds, as the system fills them.
struct KindCase {
    MultimediaKind kind;
    size_t recordSize;
    const TStrings& (TMedia::*list)() const;
};

const KindCase kKinds[] = {
    {MultimediaKind::WaveOut, 52, &TMedia::WAVEOut}, {MultimediaKind::WaveIn, 48, &TMedia::WAVEIn},
    {MultimediaKind::MidiOut, 52, &TMedia::MIDIOut}, {MultimediaKind::MidiIn, 44, &TMedia::MIDIIn},
    {MultimediaKind::Auxiliary, 48, &TMedia::AUX},   {MultimediaKind::Mixer, 48, &TMedia::Mixer},
};

TEST_F(MediaTest, EachInterfaceListsItsDevicesWithTheirDriverVersions) {
    for (const KindCase& kind : kKinds) {
        machine.multimediaFake.devices[kind.kind] = {
            FakeMultimedia::record(kind.recordSize, "SB Live! Device", 0x050A),
            std::nullopt,  // a device whose query fails
            FakeMultimedia::record(kind.recordSize, "SB Live! Device", 0x050A),
            FakeMultimedia::record(kind.recordSize, "SB Live! Device", 0x0501),
            FakeMultimedia::record(kind.recordSize, "Modem #0 Line Playback", 0xFFFF0100),
        };
    }
    TMedia media(machine);
    media.GetInfo();
    for (const KindCase& kind : kKinds) {
        // The same name and version once; the version's upper word means nothing.
        EXPECT_THAT(((media.*kind.list)()).toVector(),
                    ElementsAre("SB Live! Device v5.10", "SB Live! Device v5.1", "Modem #0 Line Playback v1.0"))
            << static_cast<int>(kind.kind);
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

TEST_F(MediaTest, ASecondRefreshAddsOnlyWhatIsNew) {
    machine.multimediaFake.devices[MultimediaKind::WaveOut] = {FakeMultimedia::record(52, "Wave A", 0x0100)};
    TMedia media(machine);
    media.GetInfo();
    machine.multimediaFake.devices[MultimediaKind::WaveOut].push_back(FakeMultimedia::record(52, "Wave B", 0x0100));
    media.GetInfo();
    EXPECT_THAT(media.WAVEOut().toVector(), ElementsAre("Wave A v1.0", "Wave B v1.0"));
}

TEST_F(MediaTest, TheReportListsTheDevicesThenTheSixInterfaces) {
    machine.loadRegistryFixture("media-nt.reg");
    machine.multimediaFake.devices[MultimediaKind::WaveOut] = {FakeMultimedia::record(52, "SB Live! Wave Device", 0x050A)};
    machine.multimediaFake.devices[MultimediaKind::Mixer] = {FakeMultimedia::record(48, "SB Live! Mixer", 0x050A)};
    TMedia media(machine);
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
}

}  // namespace
}  // namespace vardak::probes
