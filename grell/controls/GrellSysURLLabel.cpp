#include "grell/controls/GrellSysURLLabel.h"

#include <algorithm>

namespace vardak::grell {

namespace {

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

TGrellSysURLLabel::TGrellSysURLLabel(TComponent* owner, platform::Shell& shell, MainWindowQuery mainWindow)
    : TGrellControl(owner), shell_(shell), mainWindow_(std::move(mainWindow)) {
    font().color = inActiveColor_;
    font().underline = true;
}

void TGrellSysURLLabel::publishProperties(PropertyTable& table) const {
    TGrellControl::publishProperties(table);
    table.string("About", "", "TGrellSysAboutVar")
        .integer("ActiveColor", static_cast<int32_t>(activeColor_), "TColor")
        .string("Jump", jump_)
        .integer("InActiveColor", static_cast<int32_t>(inActiveColor_), "TColor")
        .boolean("JumpUnderline", jumpUnderline_);
}

bool TGrellSysURLLabel::readProperty(std::string_view name, const LayoutValue& value) {
    if (name == "Jump") {
        jump_ = layoutText(value).value_or(jump_);
    } else if (name == "ActiveColor") {
        activeColor_ = colors::fromLayout(value).value_or(activeColor_);
    } else if (name == "InActiveColor") {
        SetInActiveColor(colors::fromLayout(value).value_or(inActiveColor_));
    } else if (name == "JumpUnderline") {
        SetJumpUnderline(value.asBool().value_or(jumpUnderline_));
    } else if (name == "Cursor") {
        // The label always shows the hand-point cursor.
        return layoutText(value).value_or("") == "crHandPoint";
    } else {
        return TGrellControl::readProperty(name, value);
    }
    return true;
}

void TGrellSysURLLabel::SetInActiveColor(uint32_t color) {
    inActiveColor_ = color;
    font().color = color;
    invalidate();
}

void TGrellSysURLLabel::SetJumpUnderline(bool underline) {
    if (underline == jumpUnderline_) return;
    jumpUnderline_ = underline;
    font().underline = underline;
    invalidate();
}

std::string TGrellSysURLLabel::Target() const {
    if (!isBlank(jump_)) return jump_;
    if (caption().find('@') != std::string::npos) return "mailto:" + caption();
    return caption();
}

bool TGrellSysURLLabel::Click() {
    const std::string target = Target();
    if (std::find(allowedTargets_.begin(), allowedTargets_.end(), target) == allowedTargets_.end()) return false;
    const platform::WindowHandle parent = mainWindow_ ? mainWindow_() : nullptr;
    if (shell_.openAddress(parent, target) > platform::open_result::kLastFailure) return true;
    setEnabled(false);
    return false;
}

bool TGrellSysURLLabel::ExecuteJump() {
    font().color = activeColor_;
    invalidate();
    return Click();
}

void TGrellSysURLLabel::mouseDown(MouseButton button, TPoint point) {
    if (button == MouseButton::Left) {
        font().color = activeColor_;
        pressed_ = true;
        invalidate();
    }
    TGrellControl::mouseDown(button, point);
}

void TGrellSysURLLabel::mouseUp(MouseButton button, TPoint point) {
    const bool click = button == MouseButton::Left && pressed_ && enabled() && clientRect().contains(point);
    if (button == MouseButton::Left) {
        font().color = inActiveColor_;
        pressed_ = false;
        invalidate();
    }
    TGrellControl::mouseUp(button, point);
    if (click) Click();
}

}  // namespace vardak::grell
