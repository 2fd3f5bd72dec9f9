#include "probes/hardware/Vesk_Machine.h"

#include <cmath>

#include "framework/Exception.h"
#include "framework/Registry.h"
#include "platform/Bytes.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Devices.h"

namespace vardak::probes {

namespace {

constexpr size_t kLongestBIOSVersion = 255;
constexpr uint32_t kLongestAreaText = 255;

constexpr size_t kCapsLockKey = 0x14;
constexpr size_t kNumLockKey = 0x90;
constexpr size_t kScrollLockKey = 0x91;

constexpr double kSecondsPerDay = 86400.0;

bool isXP() { return OstrelRoutinesStarted() && OstrelFacts().IsXP; }

}  // namespace

std::string BIOSAreaText(const std::vector<uint8_t>& segment, uint32_t offset, uint32_t longest) {
    return bytes::textUpToNul(segment, offset, longest);
}

// ---------------------------------------------------------------- TBIOS

void TBIOS::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Copyright", copyright_).string("Date", date_).string("ExtendedInfo", extendedInfo_).string("Name", name_);
}

void TBIOS::GetInfo() {
    if (IsNTLine(platform_)) {
        readNT();
    } else {
        read9x();
    }
}

void TBIOS::read9x() {
    const std::optional<std::vector<uint8_t>> segment =
        platform_.firmware().copyLinearMemory(kBIOSAreaAddress, kBIOSAreaSize);
    if (!segment) return;
    name_ = BIOSAreaText(*segment, kBIOSNameOffset, kLongestAreaText);
    date_ = BIOSAreaText(*segment, kBIOSDateOffset, kBIOSDateLength);
    copyright_ = BIOSAreaText(*segment, kBIOSCopyrightOffset, kLongestAreaText);
    extendedInfo_ = BIOSAreaText(*segment, kBIOSExtendedInfoOffset, kLongestAreaText);
}

void TBIOS::readNT() {
    TRegistry key(platform_.registry(), platform::RootKey::LocalMachine);
    if (!key.openKeyReadOnly(kHardwareDescriptionKey)) return;
    if (std::optional<std::string> identifier = key.readText("Identifier")) {
        name_ = std::move(*identifier);
    }
    if (const std::optional<std::vector<uint8_t>> version = key.readBytes("SystemBiosVersion", kLongestBIOSVersion)) {
        copyright_ = isXP() ? JoinMultiString(*version) : bytes::textUpToNul(*version);
    }
    if (std::optional<std::string> date = key.readText("SystemBiosDate")) {
        date_ = std::move(*date);
    }
}

void TBIOS::Report(TStrings& report) const {
    addReportSection(report, "BIOS");
    addReportEntry(report, "BIOS name", name_);
    addReportEntry(report, "BIOS Copyright", copyright_);
    addReportEntry(report, "BIOS Date", date_);
    addReportEntry(report, "BIOS Extended info", extendedInfo_);
}

// ---------------------------------------------------------------- TMachine

std::string ReadComputerDescription(platform::Platform& platform, TExceptionMode mode) {
    TDevices devices(platform);
    CallGetInfo(platform.ui(), "TDevices.GetInfo", mode, &TDevices::GetInfo, devices);
    for (int index = 0; index < devices.Count(); ++index) {
        const TDevice* device = devices.Device(index);
        if (device != nullptr && device->DeviceClass == device_class::kComputer) {
            return device->FriendlyName.empty() ? device->Description : device->FriendlyName;
        }
    }
    return {};
}

TMachine::TMachine(platform::Platform& platform)
    : platform_(platform), smbios_(platform), bios_(platform) {
    computer_ = ReadComputerDescription(platform_, exceptionMode_);
}

void TMachine::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.enumeration("ExceptionMode", kExceptionModeTypeName, kExceptionModeNames, exceptionMode_)
        .string("Name", name_)
        .string("User", user_)
        .floating("SystemUpTime", systemUpTime_, "Extended")
        .floating("LastBoot", lastBoot_, "TDateTime")
        .boolean("CapsLock", capsLock_)
        .boolean("NumLock", numLock_)
        .boolean("ScrollLock", scrollLock_)
        .string("Computer", computer_)
        .object("SMBIOS", &smbios_)
        .object("BIOS", &bios_);
}

void TMachine::GetInfo(int32_t mode) {
    CallGetInfo(platform_.ui(), "TBIOS.GetInfo", exceptionMode_, &TBIOS::GetInfo, bios_);
    if (mode == 1) {
        CallGetInfo(platform_.ui(), 1, "TSMBIOS.GetInfo", exceptionMode_, &TSMBIOS::GetInfo, smbios_);
    }
    const uint32_t ticks = platform_.system().tickCount();
    try {
        const platform::SystemTime now = platform_.system().localTime();
        lastBoot_ = EncodeDateTime(now.year, now.month, now.day, now.hour, now.minute, now.second, now.milliseconds) -
                    ticks / 1000.0 / kSecondsPerDay;
    } catch (const Exception&) {
        lastBoot_ = 0;
    }
    systemUpTime_ = ticks / 1000.0;
    name_ = ReadComputerName(platform_);
    user_ = ReadUserName(platform_);
    readLockKeys();
}

void TMachine::readLockKeys() {
    const std::vector<uint8_t> keys = platform_.system().keyboardState();
    auto toggledOnly = [&keys](size_t key) { return key < keys.size() && keys[key] == 1; };
    capsLock_ = toggledOnly(kCapsLockKey);
    numLock_ = toggledOnly(kNumLockKey);
    scrollLock_ = toggledOnly(kScrollLockKey);
}

void TMachine::Report(TStrings& report) const {
    addReportSection(report, "Machine");
    addReportEntry(report, "Name", name_);
    addReportEntry(report, "User", user_);
    addReportEntry(report, "Last Boot", DateTimeText(platform_.system(), lastBoot_));
    addReportEntry(report, "System Up Time",
                   FormatSeconds(static_cast<int64_t>(std::llround(systemUpTime_)), true, false, false));
    addReportEntry(report, "Computer", computer_);
    smbios_.Report(report);
    bios_.Report(report);
}

}  // namespace vardak::probes
