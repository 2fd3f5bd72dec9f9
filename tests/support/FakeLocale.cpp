#include "tests/support/FakeLocale.h"

namespace vardak::testing {

namespace item = platform::locale_item;

FakeLocale::FakeLocale() {
    platform::TimeZoneInformation romance;
    romance.bias = -60;
    romance.standardName = "Romance Standard Time";
    romance.standardDate = {0, 10, 0, 5, 3, 0, 0, 0};  // last Sunday of October, 03:00
    romance.daylightName = "Romance Daylight Time";
    romance.daylightDate = {0, 3, 0, 5, 2, 0, 0, 0};  // last Sunday of March, 02:00
    romance.daylightBias = -60;
    timeZone = romance;
    items = {
        {item::kLanguage, "Dansk"},
        {item::kEnglishLanguage, "Danish"},
        {item::kAbbreviatedLanguageName, "DAN"},
        {item::kCountryCode, "45"},
        {item::kCountryName, "Danmark"},
        {item::kAbbreviatedCountryName, "DNK"},
        {item::kListSeparator, ";"},
        {item::kMeasurementSystem, "0"},
        {item::kDecimalSeparator, ","},
        {item::kThousandSeparator, "."},
        {item::kDecimalDigits, "2"},
        {item::kCurrencySymbol, "kr"},
        {item::kInternationalCurrencySymbol, "DKK"},
        {item::kCurrencyDecimalSeparator, ","},
        {item::kCurrencyThousandSeparator, "."},
        {item::kCurrencyDigits, "2"},
        {item::kPositiveCurrencyMode, "2"},
        {item::kNegativeCurrencyMode, "12"},
        {item::kDateSeparator, "-"},
        {item::kTimeSeparator, ":"},
        {item::kTimeFormat, "HH:mm:ss"},
        {item::kShortDateFormat, "dd-MM-yyyy"},
        {item::kShortDateOrder, "1"},
        {item::kLongDateOrder, "1"},
        {item::kTimeFormatSpecifier, "1"},
        {item::kCentury, "1"},
    };
}

std::optional<std::string> FakeLocale::localeInfo(uint32_t locale, uint32_t itemId) {
    localesAsked.push_back(locale);
    const auto found = items.find(itemId);
    if (found == items.end()) {
        return std::nullopt;
    }
    return found->second;
}

}  // namespace vardak::testing
