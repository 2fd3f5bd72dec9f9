#include "probes/hardware/Vesk_Media.h"

#include "framework/SysUtils.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Vesk_Common.h"
#include "probes/hardware/Vesk_Devices.h"

namespace vardak::probes {
namespace {

using platform::MultimediaKind;

// Where every capability record of the multimedia interfaces keeps the driver
// version (MMVERSION) and the product name.
constexpr size_t kDriverVersionOffset = 4;
constexpr size_t kProductNameOffset = 8;
constexpr size_t kProductNameField = 32;

// A game port's device name holds this word (upper-cased).
constexpr std::string_view kGameWord = "GAME";

struct InterfaceList {
    MultimediaKind kind;
    std::string_view property;
    std::string_view countKey;
    std::string_view itemPrefix;
};

// In published and report order.
constexpr InterfaceList kInterfaceLists[] = {
    {MultimediaKind::WaveIn, "WAVEIn", "WaveInCount", "WaveIn"},
    {MultimediaKind::WaveOut, "WAVEOut", "WaveOutCount", "WaveOut"},
    {MultimediaKind::MidiIn, "MIDIIn", "MIDIInCount", "MIDIIn"},
    {MultimediaKind::MidiOut, "MIDIOut", "MIDIOutCount", "MIDIOut"},
    {MultimediaKind::Auxiliary, "AUX", "AUXCount", "AUX"},
    {MultimediaKind::Mixer, "Mixer", "MixerCount", "Mixer"},
};

// In the order the interfaces are asked.
constexpr MultimediaKind kQueryOrder[] = {
    MultimediaKind::WaveOut, MultimediaKind::WaveIn,    MultimediaKind::MidiOut,
    MultimediaKind::MidiIn,  MultimediaKind::Auxiliary, MultimediaKind::Mixer,
};

}  // namespace

std::optional<std::string> MultimediaDeviceEntry(std::span<const uint8_t> capabilityRecord) {
    if (capabilityRecord.size() < kProductNameOffset + kProductNameField) {
        return std::nullopt;
    }
    const uint32_t version = bytes::le32(capabilityRecord, kDriverVersionOffset);
    const std::string name = bytes::textUpToNul(capabilityRecord, kProductNameOffset, kProductNameField);
    return Format("%s v%d.%d", {name, (version >> 8) & 0xFF, version & 0xFF});
}

TMedia::TMedia(platform::Platform& platform) : platform_(platform) {
    locateDevices();
}

void TMedia::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("GamePortIndex", gamePortIndex_)
        .integer("SoundCardIndex", soundCardIndex_)
        .object("Devices", &devices_);
    for (const InterfaceList& list : kInterfaceLists) {
        table.object(list.property, &listOf(list.kind));
    }
}

// A game port never counts as the sound card; the sound card is the first other
// device that names its location.
void TMedia::locateDevices() {
    TDevices devices(platform_);
    CallGetInfo(platform_.ui(), "TDevices.GetInfo", TExceptionMode::emMessage, &TDevices::GetInfo, devices);
    for (int index = 0; index < devices.Count(); ++index) {
        const TDevice* device = devices.Device(index);
        if (device == nullptr || device->DeviceClass != device_class::kMedia) {
            continue;
        }
        const std::string& name = device->FriendlyName.empty() ? device->Description : device->FriendlyName;
        const int32_t position = devices_.add(name);
        if (ansiUpperCase(name).find(kGameWord) != std::string::npos) {
            gamePortIndex_ = position;
        } else if (!device->Location.empty() && soundCardIndex_ < 0) {
            soundCardIndex_ = position;
        }
    }
}

void TMedia::GetInfo() {
    for (const MultimediaKind kind : kQueryOrder) {
        addInterfaceDevices(kind);
    }
}

void TMedia::addInterfaceDevices(MultimediaKind kind) {
    platform::Multimedia& multimedia = platform_.multimedia();
    TStrings& list = interfaceLists_[static_cast<size_t>(kind)];
    const uint32_t count = multimedia.deviceCount(kind);
    for (uint32_t id = 0; id < count; ++id) {
        const std::optional<std::vector<uint8_t>> record = multimedia.capabilities(kind, id);
        if (!record) {
            continue;
        }
        const std::optional<std::string> entry = MultimediaDeviceEntry(*record);
        if (entry && list.indexOf(*entry) < 0) {
            list.add(*entry);
        }
    }
}

void TMedia::Report(TStrings& report) const {
    addReportSection(report, "Media");
    AddListToReport(devices_, "Count", "Device", report);
    addReportSection(report, "Sound");
    for (const InterfaceList& list : kInterfaceLists) {
        AddListToReport(listOf(list.kind), list.countKey, list.itemPrefix, report);
    }
}

}  // namespace vardak::probes
