#include "grell/controls/GrellControl.h"

#include <algorithm>
#include <array>
#include <utility>

#include "framework/SysUtils.h"

namespace vardak::grell {

namespace {

struct NamedColor {
    std::string_view name;
    uint32_t color;
};

constexpr std::array<NamedColor, 9> kColorNames{{
    {"clBlack", colors::clBlack},
    {"clWhite", colors::clWhite},
    {"clGray", colors::clGray},
    {"clCream", colors::clCream},
    {"clBtnFace", colors::clBtnFace},
    {"clBtnShadow", colors::clBtnShadow},
    {"clBtnHighlight", colors::clBtnHighlight},
    {"clWindowText", colors::clWindowText},
    {"clWindow", colors::clWindow},
}};

constexpr std::array<std::string_view, 6> kAlignNames{"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
constexpr std::array<std::string_view, 4> kFontStyleNames{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr uint64_t kBoldStyle = 1;
constexpr uint64_t kUnderlineStyle = 4;

bool readFontProperty(TFont& font, std::string_view name, const LayoutValue& value) {
    if (name == "Font.Name") {
        if (auto text = layoutText(value)) font.name = *text;
        return true;
    }
    if (name == "Font.Height") {
        font.height = static_cast<int>(value.asInteger().value_or(font.height));
        return true;
    }
    if (name == "Font.Color") {
        font.color = colors::fromLayout(value).value_or(font.color);
        return true;
    }
    if (name == "Font.Style") {
        font.bold = std::find(value.members.begin(), value.members.end(), "fsBold") != value.members.end();
        return true;
    }
    // The character set is the system's ANSI code page throughout.
    return name == "Font.Charset";
}

}  // namespace

std::optional<uint32_t> colors::fromLayout(const LayoutValue& value) {
    if (auto number = value.asInteger()) return static_cast<uint32_t>(*number);
    if (value.kind != LayoutValue::Kind::Identifier) return std::nullopt;
    for (const NamedColor& entry : kColorNames) {
        if (sameText(entry.name, value.text)) return entry.color;
    }
    return std::nullopt;
}

char acceleratorOf(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return ansiLowerChar(caption[i + 1]);
    }
    return 0;
}

void TPublishedFont::publishProperties(PropertyTable& table) const {
    TPersistent::publishProperties(table);
    table.integer("Color", static_cast<int32_t>(value.color), "TColor")
        .integer("Height", value.height)
        .string("Name", value.name, "TFontName")
        .set("Style", "TFontStyles", kFontStyleNames,
             (value.bold ? kBoldStyle : 0) | (value.underline ? kUnderlineStyle : 0));
}

// ---------------------------------------------------------------- TGrellControl

TGrellControl::TGrellControl(TComponent* owner) : TComponent(owner) {}

TGrellControl::~TGrellControl() {
    setParent(nullptr);
}

bool TGrellControl::readProperty(std::string_view name, const LayoutValue& value) {
    auto integer = [&](int fallback) { return static_cast<int>(value.asInteger().value_or(fallback)); };
    if (name == "Left") setBounds(integer(left()), top(), width(), height());
    else if (name == "Top") setBounds(left(), integer(top()), width(), height());
    else if (name == "Width") setBounds(left(), top(), integer(width()), height());
    else if (name == "Height") setBounds(left(), top(), width(), integer(height()));
    else if (name == "Align") {
        const auto ordinal = ordinalOfName(kAlignNames, layoutText(value).value_or(""));
        if (!ordinal) return false;
        setAlign(static_cast<TAlign>(*ordinal));
    } else if (name == "Visible") setVisible(value.asBool().value_or(visible_));
    else if (name == "Enabled") setEnabled(value.asBool().value_or(enabled_));
    else if (name == "Caption") setCaption(layoutText(value).value_or(""));
    else if (name == "Color") setColor(colors::fromLayout(value).value_or(color_));
    else if (name == "Hint") hint_ = layoutText(value).value_or("");
    else if (name == "ShowHint") showHint_ = value.asBool().value_or(showHint_);
    else if (name == "ParentShowHint" || name == "ParentFont" || name == "ParentColor") {
        // Own settings are given explicitly in the layout.
    } else return readFontProperty(font_.value, name, value);
    return true;
}

bool TGrellControl::readEvent(std::string_view name, const EventHandler& handler) {
    if (name == "OnMouseDown" && handler.mouse) onMouseDown = handler.mouse;
    else if (name == "OnMouseUp" && handler.mouse) onMouseUp = handler.mouse;
    else if (name == "OnMouseEnter" && handler.notify) onMouseEnter = handler.notify;
    else if (name == "OnMouseExit" && handler.notify) onMouseExit = handler.notify;
    else if (name == "OnMouseMove" && handler.move) onMouseMove = handler.move;
    else return false;
    return true;
}

void TGrellControl::setParent(TGrellWinControl* parent) {
    if (parent == parent_) return;
    if (parent_ != nullptr) {
        invalidate();
        parent_->removeControl(this);
    }
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->insertControl(this);
        invalidate();
    }
}

void TGrellControl::setBounds(int left, int top, int width, int height) {
    const TRect bounds = TRect::ofSize(left, top, std::max(0, width), std::max(0, height));
    if (bounds == bounds_) return;
    invalidate();
    bounds_ = bounds;
    invalidate();
    if (auto* container = dynamic_cast<TGrellWinControl*>(this)) container->realign();
    // An aligned control that changes its size moves its siblings.
    if (align_ != TAlign::alNone && parent_ != nullptr) parent_->realign();
    if (ControlHost* h = host()) h->boundsChanged(*this);
}

void TGrellControl::setAlign(TAlign align) {
    align_ = align;
    if (parent_ != nullptr) parent_->realign();
}

void TGrellControl::setVisible(bool visible) {
    if (visible == visible_) return;
    if (!visible) invalidate();
    visible_ = visible;
    if (visible) invalidate();
    visibleChanged();
}

void TGrellControl::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    invalidate();
}

bool TGrellControl::showing() const {
    for (const TGrellControl* control = this; control != nullptr; control = control->parent_) {
        if (!control->visible_) return false;
    }
    return true;
}

void TGrellControl::setCaption(std::string caption) {
    caption_ = std::move(caption);
    invalidate();
}

void TGrellControl::setColor(uint32_t color) {
    color_ = color;
    invalidate();
}

void TGrellControl::loaded() {
    loading_ = false;
    invalidate();
}

TGrellWinControl* TGrellControl::root() {
    TGrellControl* control = this;
    while (control->parent_ != nullptr) control = control->parent_;
    return dynamic_cast<TGrellWinControl*>(control);
}

ControlHost* TGrellControl::host() {
    TGrellWinControl* top = root();
    return top ? top->ownHost() : nullptr;
}

TPoint TGrellControl::rootOrigin() const {
    TPoint origin;
    for (const TGrellControl* control = this; control->parent_ != nullptr; control = control->parent_) {
        origin.x += control->left();
        origin.y += control->top();
    }
    return origin;
}

void TGrellControl::invalidate() {
    if (!showing()) return;
    ControlHost* target = host();
    if (target == nullptr) return;
    const TPoint origin = rootOrigin();
    target->invalidate(clientRect().offset(origin.x, origin.y));
}

void TGrellControl::mouseDown(MouseButton button, TPoint point) {
    if (onMouseDown) onMouseDown(*this, button, point);
}

void TGrellControl::mouseMove(TPoint point) {
    if (onMouseMove) onMouseMove(*this, point);
}

void TGrellControl::mouseUp(MouseButton button, TPoint point) {
    if (onMouseUp) onMouseUp(*this, button, point);
}

void TGrellControl::mouseEnter() {
    if (onMouseEnter) onMouseEnter(*this);
}

void TGrellControl::mouseLeave() {
    if (onMouseExit) onMouseExit(*this);
}

// ---------------------------------------------------------------- TGrellWinControl

TGrellWinControl::~TGrellWinControl() {
    // Children outlive their parent only as owned components of someone else.
    while (!controls_.empty()) controls_.back()->setParent(nullptr);
}

void TGrellWinControl::insertControl(TGrellControl* control) {
    controls_.push_back(control);
    if (control->align() != TAlign::alNone) realign();
}

void TGrellWinControl::removeControl(TGrellControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (TGrellWinControl* top = root()) top->forget(control);
}

void TGrellWinControl::forget(TGrellControl* control) {
    auto within = [control](TGrellControl* candidate) {
        for (TGrellControl* c = candidate; c != nullptr; c = c->parent()) {
            if (c == control) return true;
        }
        return false;
    };
    if (within(captured_)) captured_ = nullptr;
    if (within(hover_)) hover_ = nullptr;
}

void TGrellWinControl::realign() {
    if (realigning_) return;
    realigning_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{realigning_};
    TRect space = innerRect();
    auto place = [](TGrellControl* control, const TRect& rect) {
        control->setBounds(rect.left, rect.top, rect.width(), rect.height());
    };
    for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TGrellControl* control : controls_) {
            if (control->align() != pass || !control->visible()) continue;
            switch (pass) {
            case TAlign::alTop:
                place(control, TRect::ofSize(space.left, space.top, space.width(), control->height()));
                space.top += control->height();
                break;
            case TAlign::alBottom:
                place(control, TRect::ofSize(space.left, space.bottom - control->height(), space.width(),
                                             control->height()));
                space.bottom -= control->height();
                break;
            case TAlign::alLeft:
                place(control, TRect::ofSize(space.left, space.top, control->width(), space.height()));
                space.left += control->width();
                break;
            case TAlign::alRight:
                place(control, TRect::ofSize(space.right - control->width(), space.top, control->width(),
                                             space.height()));
                space.right -= control->width();
                break;
            case TAlign::alClient: place(control, space); break;
            case TAlign::alNone: break;
            }
        }
    }
}

void TGrellWinControl::paintTree(Bitmap32& canvas, TextPainter& text, TPoint origin) {
    PaintContext context{canvas, text, origin};
    paint(context);
    for (TGrellControl* control : controls_) {
        if (!control->visible() || control->windowed()) continue;
        const TPoint at{origin.x + control->left(), origin.y + control->top()};
        if (auto* container = dynamic_cast<TGrellWinControl*>(control)) {
            container->paintTree(canvas, text, at);
        } else {
            PaintContext childContext{canvas, text, at};
            control->paint(childContext);
        }
    }
}

TGrellControl* TGrellWinControl::controlAt(TPoint point) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TGrellControl* control = *it;
        if (!control->visible() || !control->enabled() || control->windowed()) continue;
        if (!control->boundsRect().contains(point)) continue;
        const TPoint inner{point.x - control->left(), point.y - control->top()};
        if (auto* container = dynamic_cast<TGrellWinControl*>(control)) return container->controlAt(inner);
        return control;
    }
    return this;
}

void TGrellWinControl::broadcastButtonPressed(int groupIndex, TGrellControl& sender) {
    const std::vector<TGrellControl*> children = controls_;
    for (TGrellControl* control : children) control->buttonPressed(groupIndex, sender);
}

bool TGrellWinControl::broadcastDialogChar(char key) {
    const std::vector<TGrellControl*> children = controls_;
    for (TGrellControl* control : children) {
        if (control->dialogChar(key)) return true;
        if (auto* container = dynamic_cast<TGrellWinControl*>(control)) {
            if (container->broadcastDialogChar(key)) return true;
        }
    }
    return false;
}

namespace {

TPoint toClient(TGrellControl& control, TPoint rootPoint) {
    const TPoint origin = control.rootOrigin();
    return {rootPoint.x - origin.x, rootPoint.y - origin.y};
}

}  // namespace

void TGrellWinControl::setHover(TGrellControl* control) {
    if (control == hover_) return;
    TGrellControl* previous = std::exchange(hover_, control);
    if (previous != nullptr) previous->mouseLeave();
    if (hover_ != nullptr) hover_->mouseEnter();
    updateHint();
}

void TGrellWinControl::updateHint() {
    ControlHost* target = host();
    if (target == nullptr) return;
    if (hover_ == nullptr || !hover_->showsOwnHint()) {
        target->cancelHint();
        return;
    }
    const TPoint origin = hover_->rootOrigin();
    target->activateHint(hover_->hint(), hover_->clientRect().offset(origin.x, origin.y));
}

void TGrellWinControl::press(MouseButton button, TPoint point, bool doubleClick) {
    TGrellControl* target = captured_ ? captured_ : controlAt(point);
    if (target == nullptr) return;
    setHover(target);
    // A press ends the hint.
    if (ControlHost* h = host()) h->cancelHint();
    if (captured_ == nullptr) {
        captured_ = target;
        capturedButton_ = button;
    }
    if (doubleClick) {
        target->mouseDoubleClick(button, toClient(*target, point));
    } else {
        target->mouseDown(button, toClient(*target, point));
    }
}

void TGrellWinControl::rootMouseDown(MouseButton button, TPoint point) {
    press(button, point, false);
}

void TGrellWinControl::rootMouseDoubleClick(MouseButton button, TPoint point) {
    press(button, point, true);
}

void TGrellWinControl::rootMouseMove(TPoint point) {
    if (captured_ != nullptr) {
        TGrellControl* target = captured_;
        target->mouseMove(toClient(*target, point));
        return;
    }
    TGrellControl* target = controlAt(point);
    setHover(target);
    if (target != nullptr) target->mouseMove(toClient(*target, point));
}

void TGrellWinControl::rootMouseUp(MouseButton button, TPoint point) {
    TGrellControl* target = captured_ ? captured_ : controlAt(point);
    if (captured_ != nullptr && button == capturedButton_) captured_ = nullptr;
    if (target == nullptr) return;
    target->mouseUp(button, toClient(*target, point));
    if (captured_ == nullptr) setHover(controlAt(point));
}

void TGrellWinControl::rootMouseLeave() {
    if (captured_ == nullptr) setHover(nullptr);
}

}  // namespace vardak::grell
