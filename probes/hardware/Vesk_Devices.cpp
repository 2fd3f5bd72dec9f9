#include "probes/hardware/Vesk_Devices.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/core/Vesk_Common.h"

namespace vardak::probes {
namespace {

using platform::Platform;
using platform::RootKey;
using platform::ValueType;

constexpr std::string_view kNTDeviceTree = "\\SYSTEM\\CurrentControlSet\\Enum";
constexpr std::string_view k9xDeviceTree = "\\Enum";
constexpr std::string_view kConfigManagerEnum = "\\Config Manager\\Enum";
constexpr std::string_view kPresentDeviceSubkey = "Control";
constexpr std::string_view kDeviceParameters = "Device Parameters";
constexpr std::string_view kSkipped9xHardware = "NETWORK";
// A multi-string or binary hardware id longer than this is not read.
constexpr size_t kHardwareIdBufferSize = 255;

// A device owned by the list.
class DeviceRecord : public TObject {
public:
    explicit DeviceRecord(TDevice device) : device(std::move(device)) {}
    std::string_view className() const override { return "TDevice"; }
    TDevice device;
};

// ---------------------------------------------------------------- registry reads

std::unique_ptr<TRegistry> openLocalMachine(Platform& platform, std::string_view path) {
    return TRegistry::openReadOnly(platform.registry(), RootKey::LocalMachine, path);
}

// A text as a reader that knows only texts sees it: "" for a missing value,
// nothing for a value of another kind.
std::optional<std::string> readString(const TRegistry& key, std::string_view name) {
    return key.valueExists(name) ? key.readText(name) : std::string();
}

// The text of a value, "" where there is none to be had.
std::string readText(const TRegistry& key, std::string_view name) {
    return key.readText(name).value_or(std::string());
}

bool containsSubkey(const TRegistry& key, std::string_view name) {
    const std::vector<std::string> names = key.subkeyNames();
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& candidate) { return sameText(candidate, name); });
}

std::string withoutDoubledBackslashes(std::string path) {
    for (size_t at = path.find("\\\\"); at != std::string::npos; at = path.find("\\\\", at)) {
        path.erase(at, 1);
    }
    return path;
}

// "HardwareID": a text as it stands; a multi-string (or binary data), of which the
// first 255 bytes count, with its texts run together; anything else gives nothing.
std::string readHardwareID(const TRegistry& key) {
    const std::optional<ValueType> type = key.valueType("HardwareID");
    if (type == ValueType::String || type == ValueType::ExpandString) {
        return readText(key, "HardwareID");
    }
    if (type == ValueType::MultiString || type == ValueType::Binary) {
        return JoinMultiString(key.readBytes("HardwareID", kHardwareIdBufferSize).value_or(std::vector<uint8_t>()));
    }
    return {};
}

// ---------------------------------------------------------------- device fields

// What one refresh reads once and every device needs.
struct RefreshContext {
    Platform& platform;
    std::string classRoot;                 // below the local-machine root
    std::vector<std::string> classKeys;    // its subkey names
    bool followClassLinks = false;         // 95/98: GUID keys name the class key in "Link"
};

RefreshContext makeContext(Platform& platform, bool isNT) {
    RefreshContext context{platform, std::string(ClassKeyOf(isNT)), {}, /*followClassLinks=*/!isNT};
    if (const auto classes = openLocalMachine(platform, context.classRoot)) {
        context.classKeys = classes->subkeyNames();
    }
    return context;
}

void readIdentity(const TRegistry& key, TDevice& device) {
    device.GUID = ansiUpperCase(readText(key, "ClassGUID"));
    device.FriendlyName = readText(key, "FriendlyName");
    device.Description = readText(key, "DeviceDesc");
    device.Manufacturer = readText(key, "Mfg");
    device.Service = readText(key, "Service");
    device.Location = readText(key, "LocationInformation");
}

// A device without a location is placed by the service named `serviceKeyName` (the
// enumerator's driver on the NT line): its display name, group and type. The reads
// stop at the first value that is not of its kind.
void readLocationFallback(const RefreshContext& context, std::string_view serviceKeyName,
                          TDevice& device) {
    if (!device.Location.empty() || serviceKeyName.empty()) {
        return;
    }
    const auto service = openLocalMachine(context.platform, std::string(kServicesKey) + std::string(serviceKeyName));
    if (!service) {
        return;
    }
    const std::optional<std::string> displayName = readString(*service, "DisplayName");
    if (!displayName) {
        return;
    }
    device.Location = *displayName;
    const std::optional<std::string> group = readString(*service, "Group");
    if (!group) {
        return;
    }
    device.ServiceGroup = *group;
    if (const std::optional<uint32_t> type = service->readDWord("Type")) {
        device.ServiceType = static_cast<int32_t>(*type);
    }
}

// The class key's name, display text and icon; the 95/98 line reaches the class key
// through the "Link" of the key named by the GUID.
void readClass(const RefreshContext& context, const TRegistry& deviceKey, TDevice& device) {
    const auto found = std::find_if(context.classKeys.begin(), context.classKeys.end(),
                                    [&](const std::string& name) { return sameText(name, device.GUID); });
    if (found != context.classKeys.end() && !device.GUID.empty()) {
        std::string classPath = context.classRoot + "\\" + *found;
        if (context.followClassLinks) {
            const auto guidKey = openLocalMachine(context.platform, classPath);
            const std::string link = guidKey ? readText(*guidKey, "Link") : std::string();
            classPath = link.empty() ? std::string() : context.classRoot + "\\" + link;
        }
        if (const auto classKey = classPath.empty() ? nullptr : openLocalMachine(context.platform, classPath)) {
            device.ClassName = readText(*classKey, "Class");
            device.ClassIcon = readText(*classKey, "Icon");
            device.ClassDesc = readText(*classKey, "");
        }
    }
    if (device.ClassName.empty()) {
        device.ClassName = readText(deviceKey, "Class");
    }
}

void readDriver(const RefreshContext& context, const TRegistry& deviceKey, TDevice& device) {
    device.Driver = readText(deviceKey, "Driver");
    if (device.Driver.empty()) {
        return;
    }
    const auto driver =
        openLocalMachine(context.platform, withoutDoubledBackslashes(context.classRoot + "\\" + device.Driver));
    if (driver) {
        device.DriverDate = readText(*driver, "DriverDate");
        device.DriverVersion = readText(*driver, "DriverVersion");
        device.DriverProvider = readText(*driver, "ProviderName");
    }
}

// The device's own service. Its display name counts only when the group and the type
// read as well; a device without a service has neither name nor group.
void readService(const RefreshContext& context, TDevice& device) {
    if (device.Service.empty()) {
        device.ServiceGroup.clear();
        device.ServiceName.clear();
        return;
    }
    const auto service = openLocalMachine(context.platform, std::string(kServicesKey) + device.Service);
    if (!service) {
        return;
    }
    const std::optional<std::string> group = readString(*service, "Group");
    const std::optional<std::string> displayName = readString(*service, "DisplayName");
    const std::optional<uint32_t> type = service->readDWord("Type");
    if (group) {
        device.ServiceGroup = *group;
    }
    if (group && displayName && type) {
        device.ServiceName = *displayName;
        device.ServiceType = static_cast<int32_t>(*type);
    } else {
        device.ServiceName.clear();
    }
}

// The first named text value of the device's "Device Parameters".
void readDeviceParameter(const RefreshContext& context, TDevice& device) {
    const auto parameters = openLocalMachine(context.platform, device.RegKey + "\\" + std::string(kDeviceParameters));
    if (!parameters) {
        return;
    }
    for (const std::string& name : parameters->valueNames()) {
        std::optional<std::string> text = name.empty() ? std::nullopt : parameters->readText(name);
        if (text) {
            device.DeviceParam = std::move(*text);
            return;
        }
    }
}

// Everything but the "Device Parameters" from an open device key.
TDevice readDevice(const RefreshContext& context, const TRegistry& key, std::string regKey,
                   std::string_view locationService) {
    TDevice device;
    readIdentity(key, device);
    readLocationFallback(context, locationService, device);
    readClass(context, key, device);
    readDriver(context, key, device);
    readService(context, device);
    device.RegKey = std::move(regKey);
    device.HardwareID = readHardwareID(key);
    return device;
}

bool hasClass(const TDevice& device) {
    return !trim(device.ClassName).empty();
}

// A Config Manager entry of the 95/98 line: its key name and the device's key below
// HKLM\Enum.
struct ConfigManagerEntry {
    std::string name;
    std::string hardwareKey;
};

std::vector<ConfigManagerEntry> readConfigManagerEntries(Platform& platform) {
    std::vector<ConfigManagerEntry> entries;
    const auto enumKey = TRegistry::openReadOnly(platform.registry(), RootKey::DynData, kConfigManagerEnum);
    if (!enumKey) {
        return entries;
    }
    for (const std::string& name : enumKey->subkeyNames()) {
        const auto entry = TRegistry::openReadOnly(platform.registry(), RootKey::DynData, std::string(kConfigManagerEnum) + "\\" + name);
        entries.push_back({name, entry ? readText(*entry, "HardwareKey") : std::string()});
    }
    return entries;
}

}  // namespace

// ---------------------------------------------------------------- class lookup

uint8_t GetDeviceClass(std::string_view className) {
    const std::string name = ansiUpperCase(className);
    for (size_t index = 0; index < kDeviceClassNames.size(); ++index) {
        if (std::string_view(name).starts_with(ansiUpperCase(kDeviceClassNames[index]))) {
            return static_cast<uint8_t>(index);
        }
    }
    return device_class::kUnknown;
}

std::string TDevice::DisplayName() const {
    return trim(FriendlyName).empty() ? Description : FriendlyName;
}

// ---------------------------------------------------------------- the probe

TDevices::TDevices(Platform& platform) : platform_(platform) {}

TDevices::~TDevices() {
    Clear();
}

void TDevices::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("DeviceCount", deviceCount_);
}

void TDevices::Clear() {
    for (int index = list_.count() - 1; index >= 0; --index) {
        list_.remove(index);
    }
}

void TDevices::GetInfo() {
    Clear();
    if (IsNTLine(platform_)) {
        readNTDevices();
    } else {
        read9xDevices();
    }
    // A stable sort: devices of one class stay in registry order.
    list_.sort();
    deviceCount_ = list_.count();
}

void TDevices::addDevice(TDevice device) {
    device.DeviceClass = GetDeviceClass(device.ClassName);
    const std::string className = device.ClassName;
    list_.addObject(className, std::make_unique<DeviceRecord>(std::move(device)));
}

void TDevices::readNTDevices() {
    const RefreshContext context = makeContext(platform_, /*isNT=*/true);
    const auto tree = openLocalMachine(platform_, kNTDeviceTree);
    if (!tree) {
        return;
    }
    for (const std::string& enumerator : tree->subkeyNames()) {
        const std::string enumeratorPath = std::string(kNTDeviceTree) + "\\" + enumerator;
        const auto enumeratorKey = openLocalMachine(platform_, enumeratorPath);
        if (!enumeratorKey) {
            continue;
        }
        for (const std::string& deviceId : enumeratorKey->subkeyNames()) {
            const std::string devicePath = enumeratorPath + "\\" + deviceId;
            const auto deviceIdKey = openLocalMachine(platform_, devicePath);
            if (!deviceIdKey) {
                continue;
            }
            for (const std::string& instance : deviceIdKey->subkeyNames()) {
                const std::string instancePath = devicePath + "\\" + instance;
                TDevice device;
                {
                    const auto key = openLocalMachine(platform_, instancePath);
                    if (!key || !containsSubkey(*key, kPresentDeviceSubkey)) {
                        continue;
                    }
                    device = readDevice(context, *key, instancePath, enumerator);
                }
                readDeviceParameter(context, device);
                if (hasClass(device)) {
                    addDevice(std::move(device));
                }
            }
        }
    }
}

void TDevices::read9xDevices() {
    const RefreshContext context = makeContext(platform_, /*isNT=*/false);
    TStringList added;  // class name "-" description of every device taken
    for (const ConfigManagerEntry& entry : readConfigManagerEntries(platform_)) {
        if (entry.hardwareKey.empty() ||
            ansiUpperCase(entry.hardwareKey).find(kSkipped9xHardware) != std::string::npos) {
            continue;
        }
        const std::string regKey = std::string(k9xDeviceTree) + "\\" + entry.hardwareKey;
        const auto key = openLocalMachine(platform_, regKey);
        if (!key) {
            continue;
        }
        TDevice device = readDevice(context, *key, regKey, entry.name);
        const std::string identity = device.ClassName + "-" + device.Description;
        if (hasClass(device) && added.indexOf(identity) < 0) {
            added.add(identity);
            addDevice(std::move(device));
        }
    }
}

bool TDevices::GetDevice(int index, TDevice& device) const {
    const TDevice* found = Device(index);
    if (found == nullptr) {
        return false;
    }
    device = *found;
    return true;
}

const TDevice* TDevices::Device(int index) const {
    if (index < 0 || index >= list_.count()) {
        return nullptr;
    }
    const auto* record = dynamic_cast<const DeviceRecord*>(list_.object(index));
    return record ? &record->device : nullptr;
}

int TDevices::IndexOfClass(uint8_t deviceClass) const {
    for (int index = 0; index < list_.count(); ++index) {
        const TDevice* device = Device(index);
        if (device && device->DeviceClass == deviceClass) {
            return index;
        }
    }
    return -1;
}

void TDevices::Report(TStrings& report) const {
    addReportSection(report, "Devices");
    addReportEntry(report, "Count", deviceCount_);
    for (int index = 0; index < list_.count(); ++index) {
        const TDevice* device = Device(index);
        if (device == nullptr) {
            continue;
        }
        addReportSection(report, device->DisplayName());
        addReportEntry(report, "Class Name", device->ClassDesc);
        addReportEntry(report, "Class GUID", device->GUID);
        addReportEntry(report, "Manufacturer", device->Manufacturer);
        addReportEntry(report, "Location", device->Location);
        addReportEntry(report, "Hardware ID", device->HardwareID);
        addReportEntry(report, "Registry Info", device->Driver);
        addReportEntry(report, "Driver Date", device->DriverDate);
        addReportEntry(report, "Driver Version", device->DriverVersion);
        addReportEntry(report, "Driver Provider", device->DriverProvider);
        addReportEntry(report, "Service Name", device->ServiceName);
        addReportEntry(report, "Service Group", device->ServiceGroup);
    }
}

}  // namespace vardak::probes
