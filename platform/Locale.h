// The regional part of the platform seam: the current time zone, the items of a
// locale and the system's default language.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/SystemTime.h"

namespace vardak::platform {

// The current time zone (the platform's TIME_ZONE_INFORMATION), its names in the
// ANSI code page. Biases are minutes: UTC = local time + bias (+ the season's bias).
struct TimeZoneInformation {
    int32_t bias = 0;
    std::string standardName;  // at most 31 characters
    SystemTime standardDate;   // month 0: the zone has no transitions
    int32_t standardBias = 0;
    std::string daylightName;  // at most 31 characters
    SystemTime daylightDate;
    int32_t daylightBias = 0;
};

// Locale identifiers.
inline constexpr uint32_t kLocaleSystemDefault = 0x0800;
inline constexpr uint32_t kLocaleUserDefault = 0x0400;

// Locale items (LOCALE_* values) the probes ask for.
namespace locale_item {
inline constexpr uint32_t kLanguage = 0x0002;
inline constexpr uint32_t kAbbreviatedLanguageName = 0x0003;
inline constexpr uint32_t kCountryCode = 0x0005;
inline constexpr uint32_t kCountryName = 0x0006;
inline constexpr uint32_t kAbbreviatedCountryName = 0x0007;
inline constexpr uint32_t kListSeparator = 0x000C;
inline constexpr uint32_t kMeasurementSystem = 0x000D;
inline constexpr uint32_t kDecimalSeparator = 0x000E;
inline constexpr uint32_t kThousandSeparator = 0x000F;
inline constexpr uint32_t kDecimalDigits = 0x0011;
inline constexpr uint32_t kCurrencySymbol = 0x0014;
inline constexpr uint32_t kInternationalCurrencySymbol = 0x0015;
inline constexpr uint32_t kCurrencyDecimalSeparator = 0x0016;
inline constexpr uint32_t kCurrencyThousandSeparator = 0x0017;
inline constexpr uint32_t kCurrencyDigits = 0x0019;
inline constexpr uint32_t kPositiveCurrencyMode = 0x001B;
inline constexpr uint32_t kNegativeCurrencyMode = 0x001C;
inline constexpr uint32_t kDateSeparator = 0x001D;
inline constexpr uint32_t kTimeSeparator = 0x001E;
inline constexpr uint32_t kShortDateFormat = 0x001F;
inline constexpr uint32_t kShortDateOrder = 0x0021;
inline constexpr uint32_t kLongDateOrder = 0x0022;
inline constexpr uint32_t kTimeFormatSpecifier = 0x0023;
inline constexpr uint32_t kCentury = 0x0024;
inline constexpr uint32_t kEnglishLanguage = 0x1001;
inline constexpr uint32_t kTimeFormat = 0x1003;
}  // namespace locale_item

class Locale {
public:
    virtual ~Locale() = default;
    // Nothing when the query fails.
    virtual std::optional<TimeZoneInformation> timeZoneInformation() = 0;
    // The item's text (GetLocaleInfo with a 255-byte buffer), nothing when the query fails.
    virtual std::optional<std::string> localeInfo(uint32_t locale, uint32_t item) = 0;
    virtual uint16_t systemDefaultLanguage() = 0;
};

}  // namespace vardak::platform
