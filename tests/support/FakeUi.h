// User notifications for tests: what the program would have shown, recorded.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <vector>

namespace vardak::testing {

struct ShownError {
    std::string caption;
    std::string text;
};

class FakeUi : public platform::UiNotifier {
public:
    bool isConsole() const override { return console; }
    void showError(const std::string& caption, const std::string& text) override {
        errors.push_back({caption, text});
    }
    void writeLine(const std::string& text) override { lines.push_back(text); }

    bool console = false;
    std::vector<ShownError> errors;
    std::vector<std::string> lines;
};

}  // namespace vardak::testing
