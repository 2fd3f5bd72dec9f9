#include "platform/win32/Win32UiNotifier.h"

#include <windows.h>

#include <cstdio>

namespace vardak::win32 {

void Win32UiNotifier::showError(const std::string& caption, const std::string& text) {
    if (console_) {
        writeLine(caption + ": " + text);
        return;
    }
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

void Win32UiNotifier::writeLine(const std::string& text) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        return;
    }
    // Whatever the C runtime still buffers goes first, so lines keep their order.
    std::fflush(stdout);
    const std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace vardak::win32
