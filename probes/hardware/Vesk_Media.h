// The multimedia probe: the devices of the multimedia device class (the sound card
// and the game port among them), found once when the probe is created, and the
// devices of the six Windows multimedia interfaces: wave input and output, MIDI
// input and output, auxiliary audio and mixers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

// The entry of a capability record: the product name, read only within its 32-byte
// field, then " v" and the driver version's major and minor number ("SB Live! v5.10");
// nothing for a record too short to hold both.
std::optional<std::string> MultimediaDeviceEntry(std::span<const uint8_t> capabilityRecord);

class TMedia : public TPersistent {
public:
    // Lists the multimedia-class devices of a devices probe refreshed for the purpose
    // (a failing refresh is reported in the "Error" box and leaves what it read).
    explicit TMedia(platform::Platform& platform);

    std::string_view className() const override { return "TMedia"; }
    void publishProperties(PropertyTable& table) const override;

    // Adds to the six interface lists the devices they do not hold yet.
    void GetInfo();
    // Appends "[Media]" and "[Sound]".
    void Report(TStrings& report) const;

    // Positions in Devices, -1 for none.
    int32_t GamePortIndex() const { return gamePortIndex_; }
    int32_t SoundCardIndex() const { return soundCardIndex_; }
    const TStrings& Devices() const { return devices_; }
    const TStrings& WAVEIn() const { return listOf(platform::MultimediaKind::WaveIn); }
    const TStrings& WAVEOut() const { return listOf(platform::MultimediaKind::WaveOut); }
    const TStrings& MIDIIn() const { return listOf(platform::MultimediaKind::MidiIn); }
    const TStrings& MIDIOut() const { return listOf(platform::MultimediaKind::MidiOut); }
    const TStrings& AUX() const { return listOf(platform::MultimediaKind::Auxiliary); }
    const TStrings& Mixer() const { return listOf(platform::MultimediaKind::Mixer); }

private:
    static constexpr size_t kKinds = 6;

    void locateDevices();
    void addInterfaceDevices(platform::MultimediaKind kind);
    const TStrings& listOf(platform::MultimediaKind kind) const {
        return interfaceLists_[static_cast<size_t>(kind)];
    }

    platform::Platform& platform_;
    int32_t gamePortIndex_ = -1;
    int32_t soundCardIndex_ = -1;
    TStringList devices_;
    // By MultimediaKind.
    std::array<TStringList, kKinds> interfaceLists_;
};

}  // namespace vardak::probes
