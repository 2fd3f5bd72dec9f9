// Desktop and keyboard settings for tests: system parameters by action number, the
// animation field, lock keys, the thread's locale items and fonts, all in memory.
// Writes land in the same maps the reads answer from, unless a test makes them fail.
//
//   FakeUserSettings settings;
//   settings.parameters[platform::system_parameter::kGetKeyboardDelay] = 1;
//   settings.failingActions.insert(platform::system_parameter::kSetKeyboardDelay);
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/UserSettings.h"
#include "tests/support/FakeLocale.h"
#include "tests/support/FakeSystem.h"

namespace vardak::testing {

class FakeUserSettings : public platform::UserSettings {
public:
    // Lock keys and the key state written go to this system's key states, locale
    // texts written to the locale's items.
    FakeUserSettings(FakeSystem& system, FakeLocale& locale) : system_(system), locale_(locale) {}

    // The value stored for the action; nothing for one no test set.
    std::optional<uint32_t> parameter(uint32_t action) override;
    // Stores the value under the matching get action (the set action minus one, or
    // plus one where the platform numbers them the other way round).
    platform::SystemCallResult setParameter(uint32_t action, uint32_t value) override;
    std::optional<int32_t> minimizeAnimation() override { return animation; }
    platform::SystemCallResult setMinimizeAnimation(int32_t animate) override;
    bool windowsExtension() override { return extensions; }
    // Flips bit 0 of the key's state.
    platform::SystemCallResult toggleKey(uint8_t virtualKey) override;
    platform::SystemCallResult setKeyboardState(const std::vector<uint8_t>& keys) override;
    uint32_t threadLocale() override { return locale; }
    // Stores the text among the locale's items, whatever the locale.
    platform::SystemCallResult setLocaleInfo(uint32_t localeId, uint32_t item, const std::string& text) override;
    std::string languageName(uint32_t language) override;
    std::vector<std::string> fontNames() override { return fonts; }

    std::map<uint32_t, uint32_t> parameters;
    // Actions (set actions too) whose calls fail with `failureCode`.
    std::set<uint32_t> failingActions;
    // Locale items whose writes fail with `failureCode`.
    std::set<uint32_t> failingLocaleItems;
    uint32_t failureCode = 5;
    std::optional<int32_t> animation = 1;
    bool extensions = true;
    uint32_t locale = 0x0406;
    std::map<uint32_t, std::string> languageNames{{0x0406, "Dansk"}};
    std::vector<std::string> fonts;
    // Every write in order: action (or locale item) and the value as text.
    std::vector<std::pair<uint32_t, std::string>> writes;
    std::vector<uint8_t> toggledKeys;
    int keyboardStateWrites = 0;
    bool keyboardStateFails = false;

private:
    FakeSystem& system_;
    FakeLocale& locale_;
};

}  // namespace vardak::testing
