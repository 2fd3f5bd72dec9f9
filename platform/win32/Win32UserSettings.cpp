#include "platform/win32/Win32UserSettings.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/win32/WinHandles.h"

namespace vardak::win32 {
namespace {

namespace spi = platform::system_parameter;
using platform::SystemCallResult;

static_assert(sizeof(ANIMATIONINFO) == 8);

// Stored in the user profile and announced to every window.
constexpr UINT kStoreAndAnnounce = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;
// The scan code the lock keys are synthesised with.
constexpr BYTE kLockKeyScanCode = 0x45;
constexpr int kLanguageNameBuffer = 255;

SystemCallResult resultOf(BOOL succeeded) {
    return {succeeded != FALSE, succeeded != FALSE ? 0 : static_cast<uint32_t>(GetLastError())};
}

struct ScreenDC {
    HDC dc = GetDC(nullptr);
    ~ScreenDC() {
        if (dc != nullptr) ReleaseDC(nullptr, dc);
    }
};

int CALLBACK addFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM names) {
    auto& list = *reinterpret_cast<std::vector<std::string>*>(names);
    const std::string name = bufferText(font->lfFaceName);
    if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
    return 1;
}

}  // namespace

std::optional<uint32_t> Win32UserSettings::parameter(uint32_t action) {
    UINT value = 0;
    if (!SystemParametersInfoA(action, 0, &value, 0)) return std::nullopt;
    return value;
}

SystemCallResult Win32UserSettings::setParameter(uint32_t action, uint32_t value) {
    SetLastError(0);
    return resultOf(SystemParametersInfoA(action, value, nullptr, kStoreAndAnnounce));
}

std::optional<int32_t> Win32UserSettings::minimizeAnimation() {
    ANIMATIONINFO animation{sizeof(ANIMATIONINFO), 0};
    if (!SystemParametersInfoA(spi::kGetAnimation, sizeof(ANIMATIONINFO), &animation, 0)) {
        return std::nullopt;
    }
    return animation.iMinAnimate;
}

SystemCallResult Win32UserSettings::setMinimizeAnimation(int32_t animate) {
    ANIMATIONINFO animation{sizeof(ANIMATIONINFO), animate};
    SetLastError(0);
    return resultOf(
        SystemParametersInfoA(spi::kSetAnimation, sizeof(ANIMATIONINFO), &animation, kStoreAndAnnounce));
}

bool Win32UserSettings::windowsExtension() {
    return SystemParametersInfoA(spi::kGetWindowsExtension, 1, nullptr, 0) != FALSE;
}

SystemCallResult Win32UserSettings::toggleKey(uint8_t virtualKey) {
    keybd_event(virtualKey, kLockKeyScanCode, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(virtualKey, kLockKeyScanCode, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    return {true, 0};
}

SystemCallResult Win32UserSettings::setKeyboardState(const std::vector<uint8_t>& keys) {
    if (keys.size() != 256) return {false, ERROR_INVALID_PARAMETER};
    std::vector<uint8_t> state(keys);
    return resultOf(SetKeyboardState(state.data()));
}

uint32_t Win32UserSettings::threadLocale() { return GetThreadLocale(); }

SystemCallResult Win32UserSettings::setLocaleInfo(uint32_t locale, uint32_t item, const std::string& text) {
    return resultOf(SetLocaleInfoA(locale, item, text.c_str()));
}

std::string Win32UserSettings::languageName(uint32_t language) {
    char buffer[kLanguageNameBuffer] = {};
    const DWORD length = VerLanguageNameA(language, buffer, kLanguageNameBuffer);
    return std::string(buffer, strnlen(buffer, std::min<size_t>(length, kLanguageNameBuffer)));
}

std::vector<std::string> Win32UserSettings::fontNames() {
    std::vector<std::string> names;
    const ScreenDC screen;
    if (screen.dc == nullptr) return names;
    LOGFONTA all{};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen.dc, &all, addFontName, reinterpret_cast<LPARAM>(&names), 0);
    return names;
}

}  // namespace vardak::win32
