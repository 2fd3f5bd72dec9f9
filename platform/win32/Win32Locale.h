// The time zone, locale items and the system language through kernel32.
#pragma once

#include "platform/Locale.h"

namespace vardak::win32 {

class Win32Locale final : public platform::Locale {
public:
    std::optional<platform::TimeZoneInformation> timeZoneInformation() override;
    std::optional<std::string> localeInfo(uint32_t locale, uint32_t item) override;
    uint16_t systemDefaultLanguage() override;
};

}  // namespace vardak::win32
