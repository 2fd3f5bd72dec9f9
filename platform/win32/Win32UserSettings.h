// The desktop and keyboard settings through user32 (system parameters, key events
// and states, the screen's fonts) and kernel32 (the thread's locale) and version.dll
// (language names).
#pragma once

#include "platform/UserSettings.h"

namespace vardak::win32 {

class Win32UserSettings final : public platform::UserSettings {
public:
    std::optional<uint32_t> parameter(uint32_t action) override;
    platform::SystemCallResult setParameter(uint32_t action, uint32_t value) override;
    std::optional<int32_t> minimizeAnimation() override;
    platform::SystemCallResult setMinimizeAnimation(int32_t animate) override;
    bool windowsExtension() override;
    // keybd_event has no result: the call counts as taken.
    platform::SystemCallResult toggleKey(uint8_t virtualKey) override;
    platform::SystemCallResult setKeyboardState(const std::vector<uint8_t>& keys) override;
    uint32_t threadLocale() override;
    platform::SystemCallResult setLocaleInfo(uint32_t locale, uint32_t item, const std::string& text) override;
    std::string languageName(uint32_t language) override;
    std::vector<std::string> fontNames() override;
};

}  // namespace vardak::win32
