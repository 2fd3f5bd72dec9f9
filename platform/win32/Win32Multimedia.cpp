#include "platform/win32/Win32Multimedia.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>

namespace vardak::win32 {
namespace {

using platform::MultimediaKind;
using CapabilityRecord = std::optional<std::vector<uint8_t>>;

// The record sizes the system's interfaces document for 32-bit Windows.
static_assert(sizeof(WAVEOUTCAPSA) == 52);
static_assert(sizeof(WAVEINCAPSA) == 48);
static_assert(sizeof(MIDIOUTCAPSA) == 52);
static_assert(sizeof(MIDIINCAPSA) == 44);
static_assert(sizeof(AUXCAPSA) == 48);
static_assert(sizeof(MIXERCAPSA) == 48);

template <typename Caps, typename Query>
CapabilityRecord capabilityRecord(Query query, uint32_t id) {
    Caps caps{};
    if (query(id, &caps, sizeof(caps)) != MMSYSERR_NOERROR) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(&caps);
    return std::vector<uint8_t>(bytes, bytes + sizeof(caps));
}

struct KindQueries {
    MultimediaKind kind;
    uint32_t (*count)();
    CapabilityRecord (*capabilities)(uint32_t id);
};

constexpr std::array<KindQueries, 6> kQueries = {{
    {MultimediaKind::WaveOut, [] { return uint32_t{waveOutGetNumDevs()}; },
     [](uint32_t id) { return capabilityRecord<WAVEOUTCAPSA>(waveOutGetDevCapsA, id); }},
    {MultimediaKind::WaveIn, [] { return uint32_t{waveInGetNumDevs()}; },
     [](uint32_t id) { return capabilityRecord<WAVEINCAPSA>(waveInGetDevCapsA, id); }},
    {MultimediaKind::MidiOut, [] { return uint32_t{midiOutGetNumDevs()}; },
     [](uint32_t id) { return capabilityRecord<MIDIOUTCAPSA>(midiOutGetDevCapsA, id); }},
    {MultimediaKind::MidiIn, [] { return uint32_t{midiInGetNumDevs()}; },
     [](uint32_t id) { return capabilityRecord<MIDIINCAPSA>(midiInGetDevCapsA, id); }},
    {MultimediaKind::Auxiliary, [] { return uint32_t{auxGetNumDevs()}; },
     [](uint32_t id) { return capabilityRecord<AUXCAPSA>(auxGetDevCapsA, id); }},
    {MultimediaKind::Mixer, [] { return uint32_t{mixerGetNumDevs()}; },
     [](uint32_t id) { return capabilityRecord<MIXERCAPSA>(mixerGetDevCapsA, id); }},
}};

const KindQueries& queriesOf(MultimediaKind kind) {
    for (const KindQueries& queries : kQueries) {
        if (queries.kind == kind) {
            return queries;
        }
    }
    return kQueries.front();
}

}  // namespace

uint32_t Win32Multimedia::deviceCount(MultimediaKind kind) {
    return queriesOf(kind).count();
}

CapabilityRecord Win32Multimedia::capabilities(MultimediaKind kind, uint32_t id) {
    return queriesOf(kind).capabilities(id);
}

}  // namespace vardak::win32
