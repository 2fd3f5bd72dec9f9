// The web-link label: a label that hands a web or mail address to the shell when it
// is clicked. It opens only the addresses the program gave it as its own fixed list,
// so no address from outside input ever reaches the shell.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "grell/controls/GrellControl.h"
#include "platform/Shell.h"

namespace vardak::grell {

class TGrellSysURLLabel : public TGrellControl {
public:
    // The application's main window, which owns what the shell shows.
    using MainWindowQuery = std::function<platform::WindowHandle()>;

    static constexpr uint32_t kDefaultActiveColor = 0x800080;    // purple
    static constexpr uint32_t kDefaultInActiveColor = 0xFF0000;  // blue (0x00BBGGRR)

    TGrellSysURLLabel(TComponent* owner, platform::Shell& shell, MainWindowQuery mainWindow = {});

    std::string_view className() const override { return "TGrellSysURLLabel"; }
    void publishProperties(PropertyTable& table) const override;
    bool readProperty(std::string_view name, const LayoutValue& value) override;

    uint32_t ActiveColor() const { return activeColor_; }
    void SetActiveColor(uint32_t color) { activeColor_ = color; }
    uint32_t InActiveColor() const { return inActiveColor_; }
    // Also sets the font colour.
    void SetInActiveColor(uint32_t color);
    const std::string& Jump() const { return jump_; }
    void SetJump(std::string jump) { jump_ = std::move(jump); }
    bool JumpUnderline() const { return jumpUnderline_; }
    void SetJumpUnderline(bool underline);

    // The addresses the label may open (compared exactly); none until the program
    // sets them.
    const std::vector<std::string>& AllowedTargets() const { return allowedTargets_; }
    void SetAllowedTargets(std::vector<std::string> targets) { allowedTargets_ = std::move(targets); }

    // What a click opens: Jump, untrimmed, unless it is blank; else "mailto:" and the
    // caption when the caption holds "@"; else the caption.
    std::string Target() const;
    // Hands the target, when it is one of AllowedTargets, to the shell with the main
    // window as parent; true when the shell opened it. A shell failure disables the
    // label; a target outside the list is not handed on.
    bool Click();
    // The font takes the active colour, then the click.
    bool ExecuteJump();

    void mouseDown(MouseButton button, TPoint point) override;
    void mouseUp(MouseButton button, TPoint point) override;

private:
    platform::Shell& shell_;
    MainWindowQuery mainWindow_;
    uint32_t activeColor_ = kDefaultActiveColor;
    uint32_t inActiveColor_ = kDefaultInActiveColor;
    std::string jump_;
    bool jumpUnderline_ = true;
    bool pressed_ = false;
    std::vector<std::string> allowedTargets_;
};

}  // namespace vardak::grell
