// The user's desktop and keyboard settings as the platform keeps them: the system
// parameters (SystemParametersInfo), the lock keys, the calling thread's locale and
// its items, language names and the screen's fonts. Every call that changes a
// setting tells whether the system took it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vardak::platform {

// System-parameter actions (SPI_*), with the platform's numbers.
namespace system_parameter {
inline constexpr uint32_t kGetBeep = 1;
inline constexpr uint32_t kSetBeep = 2;
inline constexpr uint32_t kGetKeyboardSpeed = 10;
inline constexpr uint32_t kSetKeyboardSpeed = 11;
inline constexpr uint32_t kGetScreenSaveTimeout = 14;
inline constexpr uint32_t kGetScreenSaveActive = 16;
inline constexpr uint32_t kSetScreenSaveActive = 17;
inline constexpr uint32_t kGetKeyboardDelay = 22;
inline constexpr uint32_t kSetKeyboardDelay = 23;
inline constexpr uint32_t kSetDragFullWindows = 37;
inline constexpr uint32_t kGetDragFullWindows = 38;
inline constexpr uint32_t kGetAnimation = 72;
inline constexpr uint32_t kSetAnimation = 73;
inline constexpr uint32_t kGetFontSmoothing = 74;
inline constexpr uint32_t kSetFontSmoothing = 75;
inline constexpr uint32_t kGetWindowsExtension = 92;
inline constexpr uint32_t kGetSnapToDefaultButton = 95;
inline constexpr uint32_t kSetSnapToDefaultButton = 96;
}  // namespace system_parameter

// Virtual-key codes of the lock keys.
namespace virtual_key {
inline constexpr uint8_t kCapsLock = 20;
inline constexpr uint8_t kNumLock = 144;
inline constexpr uint8_t kScrollLock = 145;
}  // namespace virtual_key

class UserSettings {
public:
    virtual ~UserSettings() = default;

    // A parameter the system answers as one 32-bit number (an integer or a Boolean)
    // in the place its third argument points to; nothing when the query fails.
    virtual std::optional<uint32_t> parameter(uint32_t action) = 0;
    // Sets a parameter whose new value is the call's first argument, stored in the
    // user profile and announced to every window.
    virtual SystemCallResult setParameter(uint32_t action, uint32_t value) = 0;
    // The minimize-and-restore animation field of the animation record (get/set
    // animation, the record's size in its first field); nothing when the query fails.
    virtual std::optional<int32_t> minimizeAnimation() = 0;
    virtual SystemCallResult setMinimizeAnimation(int32_t animate) = 0;
    // Whether the desktop-extensions query (first argument 1) succeeds.
    virtual bool windowsExtension() = 0;

    // Presses and releases a key as the keyboard would (NT line).
    virtual SystemCallResult toggleKey(uint8_t virtualKey) = 0;
    // Writes the calling thread's 256 key states (95/98 line).
    virtual SystemCallResult setKeyboardState(const std::vector<uint8_t>& keys) = 0;

    // The calling thread's locale identifier.
    virtual uint32_t threadLocale() = 0;
    virtual SystemCallResult setLocaleInfo(uint32_t locale, uint32_t item, const std::string& text) = 0;
    // The name of a language identifier (a 255-byte buffer); "" when the system has none.
    virtual std::string languageName(uint32_t language) = 0;

    // The names of the screen's font families, each once, in the system's order.
    virtual std::vector<std::string> fontNames() = 0;
};

}  // namespace vardak::platform
