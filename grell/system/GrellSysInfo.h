// The system-values component: facts of the running Windows read at the moment they
// are asked for (names, version and folders, memory, free 16-bit resources, screen,
// processor, keyboard and desktop settings, lock keys, locale items, fonts, printers
// and the environment), grouped by kind and read by index. Many of them can be
// written; a write is checked before it reaches the system and raises when the
// system refuses it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "framework/Classes.h"
#include "grell/system/GrellSysBase.h"
#include "grell/system/GrellSysProcessor.h"

namespace vardak::grell {

// The groups' property names by index.
inline constexpr std::array<std::string_view, 16> kSysInfoStringNames = {
    "CurrentUser", "RegisteredCompany", "RegisteredOwner", "VersionWIN",   "WinPath",       "WinSysPath",
    "FreeGdiRes",  "FreeUsrRes",        "FreeSysRes",      "MemoryLoaded", "Platform",      "TempPath",
    "Computername", "ProcessorType",    "DefaultLanguageString", "TimeZone",
};
inline constexpr std::array<std::string_view, 13> kSysInfoIntegerNames = {
    "BuildNumber",   "MemPhysTotal",      "MemPhysFree",  "MemVirtTotal", "MemVirtFree",
    "MemPageTotal",  "MemPageFree",       "ScreenSaverDelay", "DefaultLanguageID", "TimeZoneDiff",
    "ScreenWidth",   "ScreenHeight",      "ScreenPPi",
};
inline constexpr std::array<std::string_view, 10> kSysInfoBooleanNames = {
    "NumLockState", "CapsLockState",   "ScrollLockState", "WindowAnimation", "WarningBeep",
    "ScreenSaveActive", "FontSmoothing", "DragFullWindows", "SnapToDefaultButton", "PlusAvailable",
};

// One locale property: its name, the locale item it reads and writes, and the
// longest text the system takes for it.
struct SysInfoLocaleItem {
    std::string_view name;
    uint32_t item;
    size_t longest;
};

inline constexpr std::array<SysInfoLocaleItem, 28> kSysInfoLocaleItems = {{
    {"LocaleCalendarType", 0x1009, 1},
    {"LocaleCurrencyDigits", 0x19, 2},
    {"LocaleICurrency", 0x1B, 1},
    {"LocaleDigits", 0x11, 1},
    {"LocaleFirstDayOfWeek", 0x100C, 1},
    {"LocaleFirstWeekOfYear", 0x100D, 1},
    {"LocaleZero", 0x12, 1},
    {"LocaleMeasureSystem", 0x0D, 1},
    {"LocaleNegativeCurrencyFormat", 0x1C, 2},
    {"LocaleNegativeNumberFormat", 0x1010, 1},
    {"LocaleTime", 0x23, 1},
    {"LocaleMorningSymbol", 0x28, 14},
    {"LocaleAfternoonSymbol", 0x29, 14},
    {"LocaleCurrencySymbol", 0x14, 12},
    {"LocaleDateSeparator", 0x1D, 3},
    {"LocaleDecimalSeparator", 0x0E, 3},
    {"LocaleNumericGrouping", 0x10, 9},
    {"LocaleListSeparator", 0x0C, 3},
    {"LocaleLongDateFormat", 0x20, 79},
    {"LocaleMonthDecimalSeparator", 0x16, 3},
    {"LocaleCurrencyGrouping", 0x18, 9},
    {"LocaleThousandSeparator", 0x17, 3},
    {"LocaleNegativeSign", 0x51, 4},
    {"LocalePositiveSign", 0x50, 4},
    {"LocaleShortDateFormat", 0x1F, 79},
    {"LocaleThousand", 0x0F, 3},
    {"LocaleTimeSeparator", 0x1E, 3},
    {"LocaleShortTimeFormat", 0x1003, 79},
}};

// Indexes of the values the program itself asks for.
namespace sysinfo {
inline constexpr int kVersionWIN = 3;
inline constexpr int kNumLockState = 0;
inline constexpr int kWindowAnimation = 3;
inline constexpr int kMemPhysTotal = 1;
}  // namespace sysinfo

class TGrellSysInfo : public TGrellSysComponent {
public:
    // What a text reader gives when the system does not answer.
    static constexpr std::string_view kUnknown = "(Unknown)";
    // What a locale item the system does not answer reads.
    static constexpr std::string_view kNoLocaleText = "Hallo";
    static constexpr int32_t kLongestKeyboardDelay = 3;
    static constexpr int32_t kFastestKeyboardSpeed = 31;

    // Reads the processor identification, whether the system is of the NT line and
    // whether the desktop extensions are there, once.
    TGrellSysInfo(TComponent* owner, platform::Platform& platform);

    std::string_view className() const override { return "TGrellSysInfo"; }
    // Reads every value.
    void publishProperties(PropertyTable& table) const override;

    // The group readers and writers; an index outside a group raises ERangeError.
    std::string GetString(int index) const;
    // Memory sizes in kilobytes, never negative.
    int64_t GetInteger(int index) const;
    bool GetBoolean(int index) const;
    // Writing the value it has changes nothing. Raises EInvalidOperation where the
    // value cannot be written on this system, EOSError when the system refuses.
    void SetBoolean(int index, bool value);
    // The locale item of the calling thread's locale; kNoLocaleText when the system
    // gives none.
    std::string GetLocale(int index) const;
    // Raises EInvalidOperation for the text kNoLocaleText and for one longer than
    // the item takes, EOSError when the system refuses.
    void SetLocale(int index, const std::string& text);

    // The screen's font names, sorted.
    TStrings& AllFonts() const;
    // The installed printers' names, sorted.
    TStrings& AllPrinters() const;
    // The process's environment entries in block order, read anew every time.
    TStrings& Environment() const;
    uint8_t ProcessorNumber() const;
    // Bits per pixel times colour planes of the screen; 0 without a screen.
    uint8_t ColorDepth() const;
    const TGrellCPUInfoObject& ProcessorInfo() const { return *processorInfo_; }
    // Keyboard delay 0 (short) to 3 (long) and repeat speed 0 (slow) to 31; values
    // outside raise ERangeError, a refusal EOSError.
    int32_t KeyboardDelay() const;
    void SetKeyboardDelay(int32_t delay);
    int32_t KeyboardSpeed() const;
    void SetKeyboardSpeed(int32_t speed);

    std::string VersionWIN() const { return GetString(sysinfo::kVersionWIN); }

private:
    std::string registeredName(std::string_view valueName) const;
    std::string freeResources(uint16_t kind) const;
    int32_t screenCapability(platform::DeviceCapability capability) const;
    bool lockKeyOn(uint8_t virtualKey) const;
    void setLockKey(uint8_t virtualKey, bool on);
    bool parameterOn(uint32_t action) const;
    void setParameter(uint32_t action, uint32_t value);
    void check(platform::SystemCallResult result) const;

    platform::Platform& platform_;
    bool isNT_;
    bool extensions_;
    std::unique_ptr<TGrellCPUInfoObject> processorInfo_;
    std::unique_ptr<TStringList> fonts_;
    std::unique_ptr<TStringList> printers_;
    std::unique_ptr<TStringList> environment_;
};

}  // namespace vardak::grell
