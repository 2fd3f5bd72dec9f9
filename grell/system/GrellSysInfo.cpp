#include "grell/system/GrellSysInfo.h"

#include <algorithm>

#include "framework/Registry.h"
#include "grell/system/GrellExceptions.h"
#include "platform/UserSettings.h"
#include "probes/core/Format.h"
#include "probes/core/Ostrel_Routines.h"

namespace vardak::grell {

namespace {

namespace spi = platform::system_parameter;
namespace key = platform::virtual_key;
using probes::Format;

struct ProcessorTypeName {
    uint32_t type;
    std::string_view name;
};

constexpr std::array<ProcessorTypeName, 7> kProcessorTypeNames = {{
    {386, "Intel 386"},
    {486, "Intel 486"},
    {586, "Intel Pentium"},
    {2000, "Mips R2000"},
    {3000, "Mips R3000"},
    {4000, "Mips R4000"},
    {21064, "Alpha 21064"},
}};

constexpr std::array<std::string_view, 3> kPlatformNames = {"Win32s", "Windows 95", "Windows NT"};

// The 16-bit heaps of string indexes 6, 7 and 8: GDI, USER, system.
constexpr std::array<uint16_t, 3> kResourceKinds = {1, 2, 0};
constexpr int kFirstResourceIndex = 6;

constexpr std::array<uint8_t, 3> kLockKeys = {key::kNumLock, key::kCapsLock, key::kScrollLock};

// How a Boolean system parameter is read and written, and where it exists.
enum class Availability { Always, WithExtensions, OnNTLine };
struct BooleanParameter {
    int index;
    uint32_t getAction;
    uint32_t setAction;
    Availability availability;
};

constexpr std::array<BooleanParameter, 5> kBooleanParameters = {{
    {4, spi::kGetBeep, spi::kSetBeep, Availability::Always},
    {5, spi::kGetScreenSaveActive, spi::kSetScreenSaveActive, Availability::Always},
    {6, spi::kGetFontSmoothing, spi::kSetFontSmoothing, Availability::WithExtensions},
    {7, spi::kGetDragFullWindows, spi::kSetDragFullWindows, Availability::WithExtensions},
    {8, spi::kGetSnapToDefaultButton, spi::kSetSnapToDefaultButton, Availability::OnNTLine},
}};
constexpr int kPlusAvailable = 9;

const BooleanParameter* booleanParameter(int index) {
    const auto found = std::find_if(kBooleanParameters.begin(), kBooleanParameters.end(),
                                    [index](const BooleanParameter& entry) { return entry.index == index; });
    return found == kBooleanParameters.end() ? nullptr : &*found;
}

template <size_t Size>
void checkIndex(int index, const std::array<std::string_view, Size>& names, std::string_view group) {
    if (index < 0 || static_cast<size_t>(index) >= Size) {
        throw ERangeError(Format("%s index %d is out of range", {std::string(group), int64_t{index}}));
    }
}

int64_t kilobytes(uint64_t bytes) {
    return static_cast<int64_t>(bytes / 1024);
}

// Which published value comes where: the groups' values by index, and the values
// of their own.
enum class Published { About, Fonts, Printers, Environment, String, Integer, Boolean, Locales,
                       ProcessorNumber, ProcessorInfo, ColorDepth, KeyboardDelay, KeyboardSpeed };
struct PublishedValue {
    Published kind;
    int index = 0;
};

constexpr PublishedValue kPublishedOrder[] = {
    {Published::About}, {Published::Fonts}, {Published::Printers},
    {Published::String, 0}, {Published::String, 1}, {Published::String, 2}, {Published::Integer, 7},
    {Published::String, 3}, {Published::String, 4}, {Published::String, 5}, {Published::Environment},
    {Published::String, 6}, {Published::String, 7}, {Published::String, 8},
    {Published::Integer, 0}, {Published::Integer, 1}, {Published::Integer, 2}, {Published::Integer, 3},
    {Published::Integer, 4}, {Published::Integer, 5}, {Published::Integer, 6},
    {Published::String, 9}, {Published::String, 10}, {Published::String, 11}, {Published::String, 12},
    {Published::ProcessorNumber}, {Published::String, 13}, {Published::ProcessorInfo}, {Published::ColorDepth},
    {Published::String, 14}, {Published::String, 15}, {Published::Integer, 9}, {Published::Boolean, 9},
    {Published::Integer, 10}, {Published::Integer, 11}, {Published::Integer, 12}, {Published::Locales},
    {Published::Boolean, 0}, {Published::Boolean, 1}, {Published::Boolean, 2}, {Published::Integer, 8},
    {Published::KeyboardDelay}, {Published::KeyboardSpeed},
    {Published::Boolean, 3}, {Published::Boolean, 4}, {Published::Boolean, 5}, {Published::Boolean, 6},
    {Published::Boolean, 7}, {Published::Boolean, 8},
};

}  // namespace

TGrellSysInfo::TGrellSysInfo(TComponent* owner, platform::Platform& platform)
    : TGrellSysComponent(owner),
      platform_(platform),
      isNT_(probes::IsNTLine(platform)),
      extensions_(isNT_ || platform.settings().windowsExtension()),
      processorInfo_(std::make_unique<TGrellCPUInfoObject>(platform.processor())),
      fonts_(std::make_unique<TStringList>()),
      printers_(std::make_unique<TStringList>()),
      environment_(std::make_unique<TStringList>()) {}

void TGrellSysInfo::publishProperties(PropertyTable& table) const {
    TGrellSysComponent::publishProperties(table);
    for (const PublishedValue& value : kPublishedOrder) {
        switch (value.kind) {
            case Published::About: break;  // published by the base
            case Published::Fonts: table.object("AllFonts", "TStrings", &AllFonts()); break;
            case Published::Printers: table.object("AllPrinters", "TStrings", &AllPrinters()); break;
            case Published::Environment: table.object("Environment", "TStrings", &Environment()); break;
            case Published::String: table.string(kSysInfoStringNames[value.index], GetString(value.index)); break;
            case Published::Integer:
                table.integer(kSysInfoIntegerNames[value.index], GetInteger(value.index));
                break;
            case Published::Boolean: table.boolean(kSysInfoBooleanNames[value.index], GetBoolean(value.index)); break;
            case Published::Locales:
                for (size_t index = 0; index < kSysInfoLocaleItems.size(); ++index) {
                    table.string(kSysInfoLocaleItems[index].name, GetLocale(static_cast<int>(index)));
                }
                break;
            case Published::ProcessorNumber: table.integer("ProcessorNumber", ProcessorNumber(), "Byte"); break;
            case Published::ProcessorInfo:
                table.object("ProcessorInfo", "TGrellCPUInfoObject", processorInfo_.get());
                break;
            case Published::ColorDepth: table.integer("ColorDepth", ColorDepth(), "Byte"); break;
            case Published::KeyboardDelay: table.integer("KeyboardDelay", KeyboardDelay()); break;
            case Published::KeyboardSpeed: table.integer("KeyboardSpeed", KeyboardSpeed()); break;
        }
    }
}

// ---------------------------------------------------------------- texts

std::string TGrellSysInfo::registeredName(std::string_view valueName) const {
    const std::unique_ptr<TRegistry> key = TRegistry::openReadOnly(
        platform_.registry(), platform::RootKey::LocalMachine, probes::CurrentVersionKeyOf(isNT_));
    if (!key) return std::string(kUnknown);
    return key->readText(valueName).value_or("");
}

std::string TGrellSysInfo::freeResources(uint16_t kind) const {
    uint16_t percent = 0;
    if (!isNT_) {
        const platform::FreeResources16 answer = platform_.system().freeSystemResources16(kind);
        if (answer.status == platform::FreeResourcesStatus::Ok) percent = answer.percentFree & 0x7F;
    }
    return Format("%d %%", {int64_t{percent}});
}

std::string TGrellSysInfo::GetString(int index) const {
    checkIndex(index, kSysInfoStringNames, "String");
    platform::System& system = platform_.system();
    const auto orUnknown = [](std::string text) { return text.empty() ? std::string(kUnknown) : text; };
    switch (index) {
        case 0: return orUnknown(system.userName());
        case 1: return registeredName("RegisteredOrganization");
        case 2: return registeredName("RegisteredOwner");
        case 3: {
            const platform::OSVersionInfo version = system.versionInfo();
            return Format("%d.%d", {int64_t{version.major}, int64_t{version.minor}});
        }
        case 4: return system.windowsDirectory();
        case 5: return system.systemDirectory();
        case 6:
        case 7:
        case 8: return freeResources(kResourceKinds[static_cast<size_t>(index - kFirstResourceIndex)]);
        case 9: {
            const auto extended = system.memoryStatusEx();
            const uint32_t load = extended ? extended->memoryLoad : system.memoryStatus().memoryLoad;
            return Format("%d %%", {int64_t{load}});
        }
        case 10: {
            const auto id = static_cast<size_t>(system.versionInfo().platform);
            return std::string(id < kPlatformNames.size() ? kPlatformNames[id] : kUnknown);
        }
        case 11: return system.tempDirectory();
        case 12: return orUnknown(system.computerName());
        case 13: {
            const uint32_t type = system.systemInformation().processorType;
            const auto found = std::find_if(kProcessorTypeNames.begin(), kProcessorTypeNames.end(),
                                            [type](const ProcessorTypeName& entry) { return entry.type == type; });
            return found == kProcessorTypeNames.end() ? std::to_string(type) : std::string(found->name);
        }
        case 14: return platform_.settings().languageName(platform_.locale().systemDefaultLanguage());
        default: {
            const auto zone = platform_.locale().timeZoneInformation();
            return zone ? zone->standardName : std::string();
        }
    }
}

// ---------------------------------------------------------------- numbers

int32_t TGrellSysInfo::screenCapability(platform::DeviceCapability capability) const {
    const std::unique_ptr<platform::DeviceContext> screen = platform_.display().screenContext();
    return screen ? screen->capability(capability) : 0;
}

int64_t TGrellSysInfo::GetInteger(int index) const {
    checkIndex(index, kSysInfoIntegerNames, "Integer");
    platform::System& system = platform_.system();
    if (index >= 1 && index <= 6) {
        // Sizes above 2 GB (and 4 GB, where the extended record exists) stay whole.
        platform::MemoryStatusEx memory;
        if (const auto extended = system.memoryStatusEx()) {
            memory = *extended;
        } else {
            const platform::MemoryStatus legacy = system.memoryStatus();
            memory = {legacy.memoryLoad,    legacy.totalPhys,    legacy.availPhys, legacy.totalPageFile,
                      legacy.availPageFile, legacy.totalVirtual, legacy.availVirtual, 0};
        }
        const std::array<uint64_t, 6> sizes = {memory.totalPhys,    memory.availPhys,     memory.totalVirtual,
                                               memory.availVirtual, memory.totalPageFile, memory.availPageFile};
        return kilobytes(sizes[static_cast<size_t>(index - 1)]);
    }
    switch (index) {
        case 0: return system.versionInfo().build & 0xFFFF;
        case 7: return platform_.settings().parameter(spi::kGetScreenSaveTimeout).value_or(0) / 60;
        case 8: return platform_.locale().systemDefaultLanguage();
        case 9: {
            const auto zone = platform_.locale().timeZoneInformation();
            return zone ? zone->bias : 0;
        }
        case 10: return screenCapability(platform::DeviceCapability::HorzRes);
        case 11: return screenCapability(platform::DeviceCapability::VertRes);
        default: return screenCapability(platform::DeviceCapability::LogPixelsY);
    }
}

uint8_t TGrellSysInfo::ProcessorNumber() const {
    return static_cast<uint8_t>(platform_.processor().count());
}

uint8_t TGrellSysInfo::ColorDepth() const {
    const std::unique_ptr<platform::DeviceContext> screen = platform_.display().screenContext();
    if (!screen) return 0;
    return static_cast<uint8_t>(screen->capability(platform::DeviceCapability::BitsPixel) *
                                screen->capability(platform::DeviceCapability::Planes));
}

int32_t TGrellSysInfo::KeyboardDelay() const {
    return static_cast<int32_t>(platform_.settings().parameter(spi::kGetKeyboardDelay).value_or(0));
}

int32_t TGrellSysInfo::KeyboardSpeed() const {
    return static_cast<int32_t>(platform_.settings().parameter(spi::kGetKeyboardSpeed).value_or(0));
}

void TGrellSysInfo::SetKeyboardDelay(int32_t delay) {
    if (delay < 0 || delay > kLongestKeyboardDelay) {
        throw ERangeError(Format("The keyboard delay is 0 to %d, not %d", {int64_t{kLongestKeyboardDelay}, int64_t{delay}}));
    }
    setParameter(spi::kSetKeyboardDelay, static_cast<uint32_t>(delay));
}

void TGrellSysInfo::SetKeyboardSpeed(int32_t speed) {
    if (speed < 0 || speed > kFastestKeyboardSpeed) {
        throw ERangeError(Format("The keyboard speed is 0 to %d, not %d", {int64_t{kFastestKeyboardSpeed}, int64_t{speed}}));
    }
    setParameter(spi::kSetKeyboardSpeed, static_cast<uint32_t>(speed));
}

// ---------------------------------------------------------------- switches

void TGrellSysInfo::check(platform::SystemCallResult result) const {
    if (!result.succeeded) throw EOSError(result.errorCode, platform_.system().errorMessage(result.errorCode));
}

void TGrellSysInfo::setParameter(uint32_t action, uint32_t value) {
    check(platform_.settings().setParameter(action, value));
}

bool TGrellSysInfo::parameterOn(uint32_t action) const {
    return platform_.settings().parameter(action).value_or(0) != 0;
}

bool TGrellSysInfo::lockKeyOn(uint8_t virtualKey) const {
    const std::vector<uint8_t> keys = platform_.system().keyboardState();
    return virtualKey < keys.size() && (keys[virtualKey] & 1) != 0;
}

void TGrellSysInfo::setLockKey(uint8_t virtualKey, bool on) {
    if (lockKeyOn(virtualKey) == on) return;
    if (isNT_) {
        check(platform_.settings().toggleKey(virtualKey));
        return;
    }
    std::vector<uint8_t> keys = platform_.system().keyboardState();
    keys.resize(256, 0);
    keys[virtualKey] = on ? 1 : 0;
    check(platform_.settings().setKeyboardState(keys));
}

bool TGrellSysInfo::GetBoolean(int index) const {
    checkIndex(index, kSysInfoBooleanNames, "Boolean");
    if (index < static_cast<int>(kLockKeys.size())) return lockKeyOn(kLockKeys[static_cast<size_t>(index)]);
    if (index == sysinfo::kWindowAnimation) return platform_.settings().minimizeAnimation().value_or(0) != 0;
    if (index == kPlusAvailable) return extensions_;
    const BooleanParameter& parameter = *booleanParameter(index);
    switch (parameter.availability) {
        case Availability::WithExtensions:
            if (!extensions_) return false;
            break;
        case Availability::OnNTLine:
            if (!isNT_) return false;
            break;
        case Availability::Always: break;
    }
    return parameterOn(parameter.getAction);
}

void TGrellSysInfo::SetBoolean(int index, bool value) {
    checkIndex(index, kSysInfoBooleanNames, "Boolean");
    if (index < static_cast<int>(kLockKeys.size())) {
        setLockKey(kLockKeys[static_cast<size_t>(index)], value);
        return;
    }
    if (index == sysinfo::kWindowAnimation) {
        check(platform_.settings().setMinimizeAnimation(value ? 1 : 0));
        return;
    }
    if (index == kPlusAvailable) return;  // a fact of the system, not a setting
    const BooleanParameter& parameter = *booleanParameter(index);
    const bool available = parameter.availability == Availability::Always ||
                           (parameter.availability == Availability::WithExtensions && extensions_) ||
                           (parameter.availability == Availability::OnNTLine && isNT_);
    if (!available) {
        throw EInvalidOperation(Format("%s cannot be set on this system", {std::string(kSysInfoBooleanNames[index])}));
    }
    setParameter(parameter.setAction, value ? 1 : 0);
}

// ---------------------------------------------------------------- locale

std::string TGrellSysInfo::GetLocale(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= kSysInfoLocaleItems.size()) return std::string(kNoLocaleText);
    const std::optional<std::string> text = platform_.locale().localeInfo(
        platform_.settings().threadLocale(), kSysInfoLocaleItems[static_cast<size_t>(index)].item);
    return text && !text->empty() ? *text : std::string(kNoLocaleText);
}

void TGrellSysInfo::SetLocale(int index, const std::string& text) {
    if (index < 0 || static_cast<size_t>(index) >= kSysInfoLocaleItems.size()) {
        throw ERangeError(Format("Locale index %d is out of range", {int64_t{index}}));
    }
    const SysInfoLocaleItem& item = kSysInfoLocaleItems[static_cast<size_t>(index)];
    if (text == kNoLocaleText) {
        throw EInvalidOperation(Format("%s: \"%s\" stands for a missing value and is not written",
                                       {std::string(item.name), text}));
    }
    if (text.empty() || text.size() > item.longest || text.find('\0') != std::string::npos) {
        throw EInvalidOperation(Format("%s takes 1 to %d characters", {std::string(item.name), int64_t(item.longest)}));
    }
    check(platform_.settings().setLocaleInfo(platform_.settings().threadLocale(), item.item, text));
}

// ---------------------------------------------------------------- lists

TStrings& TGrellSysInfo::AllFonts() const {
    fonts_->setSorted(false);
    fonts_->clear();
    for (const std::string& name : platform_.settings().fontNames()) fonts_->add(name);
    fonts_->setSorted(true);
    return *fonts_;
}

TStrings& TGrellSysInfo::AllPrinters() const {
    printers_->setSorted(false);
    printers_->clear();
    for (const platform::PrinterEntry& printer : platform_.printers().installedPrinters()) printers_->add(printer.name);
    printers_->setSorted(true);
    return *printers_;
}

TStrings& TGrellSysInfo::Environment() const {
    environment_->clear();
    for (const std::string& entry : probes::EnvironmentEntries(platform_.system().environmentBlock())) {
        environment_->add(entry);
    }
    return *environment_;
}

}  // namespace vardak::grell
