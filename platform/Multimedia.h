// The multimedia part of the platform seam: the devices of the Windows multimedia
// interfaces (wave input and output, MIDI input and output, auxiliary audio, mixers)
// and their capability records.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace vardak::platform {

enum class MultimediaKind : uint8_t { WaveOut, WaveIn, MidiOut, MidiIn, Auxiliary, Mixer };

class Multimedia {
public:
    virtual ~Multimedia() = default;
    // The number of devices of the kind (waveOutGetNumDevs and its siblings).
    virtual uint32_t deviceCount(MultimediaKind kind) = 0;
    // The ANSI capability record of device `id` as the system fills it, of the
    // platform's size for the kind (WAVEOUTCAPSA 52 bytes, WAVEINCAPSA 48, MIDIOUTCAPSA
    // 52, MIDIINCAPSA 44, AUXCAPSA 48, MIXERCAPSA 48); nothing when the query fails.
    virtual std::optional<std::vector<uint8_t>> capabilities(MultimediaKind kind, uint32_t id) = 0;
};

}  // namespace vardak::platform
