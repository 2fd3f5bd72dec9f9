// The time zone, locale items and system language for tests: fields a test sets,
// with defaults of a Danish system in the Romance time zone (Copenhagen).
#pragma once

#include "platform/Locale.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vardak::testing {

class FakeLocale : public platform::Locale {
public:
    FakeLocale();

    std::optional<platform::TimeZoneInformation> timeZoneInformation() override { return timeZone; }
    // The text set for the item, whatever the locale; nothing for an item no test set.
    // Records the locales asked for.
    std::optional<std::string> localeInfo(uint32_t locale, uint32_t item) override;
    uint16_t systemDefaultLanguage() override { return language; }

    // Nothing: the query fails.
    std::optional<platform::TimeZoneInformation> timeZone;
    std::map<uint32_t, std::string> items;
    uint16_t language = 0x0406;
    std::vector<uint32_t> localesAsked;
};

}  // namespace vardak::testing
