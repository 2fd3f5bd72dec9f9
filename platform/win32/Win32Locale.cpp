#include "platform/win32/Win32Locale.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace vardak::win32 {
namespace {

static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);

// GetLocaleInfo's buffer: no locale item is longer.
constexpr int kLocaleItemBuffer = 255;

platform::SystemTime systemTimeOf(const SYSTEMTIME& time) {
    return {time.wYear, time.wMonth, time.wDayOfWeek, time.wDay,
            time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

// A zone name of at most 32 UTF-16 units, up to its NUL, in the ANSI code page.
template <size_t Units>
std::string ansiName(const WCHAR (&name)[Units]) {
    const int length = static_cast<int>(wcsnlen(name, Units));
    if (length == 0) {
        return {};
    }
    char text[Units * 2] = {};
    const int written = WideCharToMultiByte(CP_ACP, 0, name, length, text, sizeof text, nullptr, nullptr);
    return std::string(text, written > 0 ? static_cast<size_t>(written) : 0);
}

}  // namespace

std::optional<platform::TimeZoneInformation> Win32Locale::timeZoneInformation() {
    TIME_ZONE_INFORMATION zone{};
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) {
        return std::nullopt;
    }
    platform::TimeZoneInformation info;
    info.bias = zone.Bias;
    info.standardName = ansiName(zone.StandardName);
    info.standardDate = systemTimeOf(zone.StandardDate);
    info.standardBias = zone.StandardBias;
    info.daylightName = ansiName(zone.DaylightName);
    info.daylightDate = systemTimeOf(zone.DaylightDate);
    info.daylightBias = zone.DaylightBias;
    return info;
}

std::optional<std::string> Win32Locale::localeInfo(uint32_t locale, uint32_t item) {
    char buffer[kLocaleItemBuffer] = {};
    const int length = GetLocaleInfoA(locale, item, buffer, kLocaleItemBuffer);
    if (length <= 0) {
        return std::nullopt;
    }
    return std::string(buffer, strnlen(buffer, static_cast<size_t>(length)));
}

uint16_t Win32Locale::systemDefaultLanguage() { return GetSystemDefaultLangID(); }

}  // namespace vardak::win32
