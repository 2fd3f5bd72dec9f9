#include "probes/hardware/Vesk_Machine.h"

#include <cmath>

#include "framework/Exception.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"
#include "probes/hardware/Vesk_Devices.h"

namespace vardak::probes {

namespace {

constexpr std::string_view kHardwareDescriptionKey = "\\HARDWARE\\DESCRIPTION\\System";
constexpr size_t kLongestBIOSVersion = 255;
constexpr uint32_t kLongestAreaText = 255;

constexpr uint8_t kComputerDeviceClass = 1;

constexpr size_t kCapsLockKey = 0x14;
constexpr size_t kNumLockKey = 0x90;
constexpr size_t kScrollLockKey = 0x91;

constexpr double kSecondsPerDay = 86400.0;

// The text of a registry value up to its first NUL, at most `longest` characters.
std::string textUpToNul(const platform::RegValue& value, size_t longest) {
    return value.textUpToNul().substr(0, longest);
}

bool isXP() { return OstrelRoutinesStarted() && OstrelFacts().IsXP; }

bool isNT(platform::Platform& platform) {
    return OstrelRoutinesStarted() ? OstrelFacts().IsNT
                                   : platform.system().versionInfo().platform == platform::PlatformId::NT;
}

// Days since 1 March of year 0 of the proleptic Gregorian calendar, back to a date.
platform::SystemTime civilDate(int64_t days) {
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    platform::SystemTime moment;
    moment.day = static_cast<uint16_t>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    moment.month = static_cast<uint16_t>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    moment.year = static_cast<uint16_t>(yearOfEra + era * 400 + (moment.month <= 2 ? 1 : 0));
    return moment;
}

// 30 December 1899, day 0 of TDateTime, in days since 1 March of year 0.
constexpr int64_t kDateTimeEpoch = 693899;

}  // namespace

std::optional<platform::SystemTime> DateTimeToSystemTime(TDateTime value) {
    if (!std::isfinite(value) || value < -693593.0 || value >= 2958466.0) return std::nullopt;
    const double wholeDays = std::trunc(value);
    // Before the epoch the fraction counts away from zero.
    const double fraction = std::fabs(value - wholeDays);
    int64_t milliseconds = std::llround(fraction * kSecondsPerDay * 1000.0);
    int64_t days = static_cast<int64_t>(wholeDays);
    if (milliseconds >= 86400000) {
        milliseconds -= 86400000;
        ++days;
    }
    platform::SystemTime moment = civilDate(days + kDateTimeEpoch);
    moment.hour = static_cast<uint16_t>(milliseconds / 3600000);
    moment.minute = static_cast<uint16_t>(milliseconds / 60000 % 60);
    moment.second = static_cast<uint16_t>(milliseconds / 1000 % 60);
    moment.milliseconds = static_cast<uint16_t>(milliseconds % 1000);
    moment.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 6) % 7);  // day 0 was a Saturday
    return moment;
}

std::string BIOSAreaText(const std::vector<uint8_t>& segment, uint32_t offset, uint32_t longest) {
    std::string text;
    for (uint32_t at = offset; at < segment.size() && at - offset < longest && segment[at] != 0; ++at) {
        text += static_cast<char>(segment[at]);
    }
    return text;
}

// ---------------------------------------------------------------- TBIOS

void TBIOS::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.string("Copyright", copyright_).string("Date", date_).string("ExtendedInfo", extendedInfo_).string("Name", name_);
}

void TBIOS::GetInfo() {
    if (isNT(platform_)) {
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
    const std::unique_ptr<platform::RegistryKey> key = platform_.registry().openKey(
        platform::RootKey::LocalMachine, std::string(kHardwareDescriptionKey), platform::KeyAccess::Read);
    if (!key) return;
    if (const std::optional<platform::RegValue> identifier = key->queryValue("Identifier")) {
        name_ = identifier->textUpToNul();
    }
    if (const std::optional<platform::RegValue> version = key->queryValue("SystemBiosVersion")) {
        const size_t size = std::min(version->data.size(), kLongestBIOSVersion);
        const std::span<const uint8_t> bytes(version->data.data(), size);
        copyright_ = isXP() ? JoinMultiString(bytes) : textUpToNul(*version, size);
    }
    if (const std::optional<platform::RegValue> date = key->queryValue("SystemBiosDate")) {
        date_ = date->textUpToNul();
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
        if (device != nullptr && device->DeviceClass == kComputerDeviceClass) {
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
    std::string lastBoot;
    if (const std::optional<platform::SystemTime> moment = DateTimeToSystemTime(lastBoot_)) {
        const bool midnight = moment->hour == 0 && moment->minute == 0 && moment->second == 0 && moment->milliseconds == 0;
        lastBoot = platform_.system().dateTimeText(*moment, !midnight);
    }
    addReportEntry(report, "Last Boot", lastBoot);
    addReportEntry(report, "System Up Time",
                   FormatSeconds(static_cast<int64_t>(std::llround(systemUpTime_)), true, false, false));
    addReportEntry(report, "Computer", computer_);
    smbios_.Report(report);
    bios_.Report(report);
}

}  // namespace vardak::probes
