// The device probe: every device instance the Windows device registry knows, with
// its class, names, manufacturer, location, hardware id, driver and service data and
// an index into the fixed table of device classes. The list is sorted by class name;
// devices of one class keep the order the registry lists them in, so "the first
// device of a class" is the same on every run.
//
// The NT line walks the Enum tree below CurrentControlSet and takes the instances
// that have a "Control" subkey (present devices). The 95/98 line takes the devices
// the Config Manager lists under the dynamic-data root, looks them up below
// HKLM\Enum and drops repeats of one class and description.
//
// Other probes read the list: the network probe takes the devices of class "Net",
// the display and multimedia probes and the summary list pick devices by class index.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "platform/Platform.h"

namespace vardak::probes {

// ---------------------------------------------------------------- device classes

inline constexpr size_t kDeviceClassCount = 37;

// The device-class table: a class index is a position in it.
inline constexpr std::array<std::string_view, kDeviceClassCount> kDeviceClassNames = {
    "Battery",       "Computer",        "DiskDrive",    "Display",        "CDROM",     "fdc",
    "FloppyDisk",    "GPS",             "HID",          "hdc",            "1394",      "Image",
    "Infrared",      "Keyboard",        "MediumChanger", "MTD",           "Mouse",     "Modem",
    "Monitor",       "MultiFunction",   "MultiPortSerial", "Net",         "LegacyDriver", "NtApm",
    "Unknown",       "PCMCIA",          "Ports",        "Printer",        "SCSIAdapter", "SmartCardReader",
    "MEDIA",         "Volume",          "System",       "TapeDrive",      "TapeController", "Tape",
    "USB",
};

// Indexes of the table that the probes look for.
namespace device_class {
inline constexpr uint8_t kComputer = 1;
inline constexpr uint8_t kDiskDrive = 2;
inline constexpr uint8_t kDisplay = 3;
inline constexpr uint8_t kCDROM = 4;
inline constexpr uint8_t kFloppyDisk = 6;
inline constexpr uint8_t kKeyboard = 13;
inline constexpr uint8_t kMouse = 16;
inline constexpr uint8_t kModem = 17;
inline constexpr uint8_t kNet = 21;
inline constexpr uint8_t kUnknown = 24;
inline constexpr uint8_t kMedia = 30;
inline constexpr uint8_t kTapeDrive = 33;
}  // namespace device_class

// The index of the first table entry that starts `className`, compared without case
// ("NetTrans" gives Net, "HIDClass" HID, "PrinterUpgrade" Printer); Unknown when no
// entry does.
uint8_t GetDeviceClass(std::string_view className);

// ---------------------------------------------------------------- one device

struct TDevice {
    std::string ClassName;       // the class key's "Class", else the device key's "Class"
    std::string ClassDesc;       // the class key's default value
    std::string ClassIcon;       // the class key's "Icon"
    std::string FriendlyName;
    std::string Description;     // "DeviceDesc"
    std::string GUID;            // "ClassGUID", upper case
    std::string Manufacturer;    // "Mfg"
    std::string Location;        // "LocationInformation", else the enumerator service's name
    std::string HardwareID;      // a multi-string's texts run together
    std::string DeviceParam;     // the first text value of "Device Parameters" (NT line)
    std::string Driver;          // the driver key below the class root
    std::string DriverDate;
    std::string DriverVersion;
    std::string DriverProvider;
    std::string Service;         // the service's key name
    std::string ServiceName;     // the service's "DisplayName"
    std::string ServiceGroup;
    int32_t ServiceType = 0;
    std::string RegKey;          // the device key below the local-machine root, as opened
    uint8_t DeviceClass = 0;     // index into kDeviceClassNames

    // The name the report and the overview give the device: the friendly name when it
    // holds more than blanks, else the description.
    std::string DisplayName() const;

    friend bool operator==(const TDevice&, const TDevice&) = default;
};

// ---------------------------------------------------------------- the probe

class TDevices : public TPersistent {
public:
    explicit TDevices(platform::Platform& platform);
    ~TDevices() override;

    std::string_view className() const override { return "TDevices"; }
    void publishProperties(PropertyTable& table) const override;

    // Rebuilds the list from the registry (the layout of the running Windows line),
    // sorts it by class name and sets DeviceCount.
    void GetInfo();
    // Appends "[Devices]" and one section per device.
    void Report(TStrings& report) const;

    // Copies the device at `index` into `device`; false, with `device` untouched, for
    // an index outside the list.
    bool GetDevice(int index, TDevice& device) const;
    // The device at `index`, or nullptr outside the list.
    const TDevice* Device(int index) const;
    // The position of the first device of a class index, -1 when there is none.
    int IndexOfClass(uint8_t deviceClass) const;

    // The entries now in the list; DeviceCount changes only with GetInfo.
    int Count() const { return list_.count(); }
    int32_t DeviceCount() const { return deviceCount_; }
    // Lines are the class names, objects the devices.
    const TStrings& Devices() const { return list_; }

    // Disposes of every device, last first, and empties the list.
    void Clear();

private:
    void readNTDevices();
    void read9xDevices();
    void addDevice(TDevice device);

    platform::Platform& platform_;
    TStringList list_;
    int32_t deviceCount_ = 0;
};

}  // namespace vardak::probes
