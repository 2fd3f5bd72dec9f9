// Messages for the user: standard output in the console program, a message box otherwise.
#pragma once

#include "platform/Platform.h"

namespace vardak::win32 {

class Win32UiNotifier final : public platform::UiNotifier {
public:
    explicit Win32UiNotifier(bool console) : console_(console) {}

    bool isConsole() const override { return console_; }
    void showError(const std::string& caption, const std::string& text) override;
    void writeLine(const std::string& text) override;

private:
    bool console_;
};

}  // namespace vardak::win32
