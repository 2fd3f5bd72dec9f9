#include "grell/controls/GrellMMButton.h"

#include <array>

#include "framework/SysUtils.h"
#include "grell/system/GrellApp.h"
#include "grell/system/GrellExceptions.h"

namespace vardak::grell {

namespace {

constexpr std::array<std::string_view, 8> kBitmapStyleNames{
    "sbNone", "sbAutosize", "sbCenter", "sbStretch", "sbTile", "sbKeepAspRatio", "sbKeepWidth", "sbKeepHeight"};
constexpr std::array<std::string_view, 4> kButtonLayoutNames{"blGlyphLeft", "blGlyphRight", "blGlyphTop",
                                                             "blGlyphBottom"};
// Size taken for a missing picture when the button sizes itself to its face.
constexpr int kAutosizeFallback = 20;

struct CaptionPlace {
    TextAlign align;
    TextVAlign valign;
};

// By TButtonLayout: the caption keeps clear of the glyph's side.
constexpr std::array<CaptionPlace, 4> kCaptionPlaces{{
    {TextAlign::Right, TextVAlign::Center},   // blGlyphLeft
    {TextAlign::Left, TextVAlign::Center},    // blGlyphRight
    {TextAlign::Center, TextVAlign::Bottom},  // blGlyphTop
    {TextAlign::Center, TextVAlign::Top},     // blGlyphBottom
}};

bool captionShifted(Face face) {
    return face == Face::Pressed || face == Face::HeldDown || face == Face::DropDown;
}

bool inEnterColorRange(Face face) {
    return face >= Face::MouseOver && face <= Face::DropDown;
}

}  // namespace

void drawButtonCaption(TextPainter& painter, Bitmap32& canvas, const TRect& area, std::string_view caption,
                       const TFont& font, const TGrellFontFX&, TButtonLayout layout) {
    const CaptionPlace place = kCaptionPlaces[static_cast<size_t>(layout)];
    painter.drawText(canvas, area, caption, font, place.align, place.valign);
}

// ---------------------------------------------------------------- TGrellBaseGraphicButton

TGrellBaseGraphicButton::TGrellBaseGraphicButton(TComponent* owner, TGrellApplication* application)
    : TGrellControl(owner), application_(application) {
    setBounds(0, 0, kDefaultSize, kDefaultSize);
}

TGrellBaseGraphicButton::~TGrellBaseGraphicButton() {
    stopRepeating();
    if (glyphList_ != nullptr) glyphList_->removeFreeNotification(this);
}

void TGrellBaseGraphicButton::publishProperties(PropertyTable& table) const {
    TGrellControl::publishProperties(table);
    table.string("Caption", caption(), "TCaption")
        .integer("Color", static_cast<int32_t>(color()), "TColor")
        .boolean("Enabled", enabled())
        .object("Font", &publishedFont())
        .object("FontFX", &fontFX_)
        .enumeration("ButtonLayout", "TButtonLayout", kButtonLayoutNames, buttonLayout_)
        .boolean("UseCaption", useCaption_)
        .boolean("HideHint", hideHint_)
        .integer("EnterColor", static_cast<int32_t>(enterColor_), "TColor")
        .boolean("EnterColorChange", enterColorChange_)
        .boolean("RepeatedClick", repeatedClick_)
        .integer("RepeatingDelay", repeatingDelay_, "Word")
        .integer("RepeatingInterval", repeatingInterval_, "Word")
        .object("ImageList", "TGrellCustomImageList", glyphList_)
        .integer("ImageIndex", imageIndex_)
        .integer("ListIndex", listIndex_)
        .object("Glyph", "TBitmap", &glyph_)
        .integer("NumGlyphs", numGlyphs_, "TNumGlyphs")
        .method("OnClick")
        .method("OnDblClick")
        .method("OnDropDown")
        .method("OnMouseDown", "TMouseEvent")
        .method("OnMouseEnter")
        .method("OnMouseExit")
        .method("OnMouseMove", "TMouseMoveEvent")
        .method("OnMouseUp", "TMouseEvent");
}

bool TGrellBaseGraphicButton::readProperty(std::string_view name, const LayoutValue& value) {
    auto word = [&](uint16_t fallback) {
        const int64_t number = value.asInteger().value_or(fallback);
        return number >= 0 && number <= 0xFFFF ? static_cast<uint16_t>(number) : fallback;
    };
    auto integer = [&](int current) { return static_cast<int>(value.asInteger().value_or(current)); };
    if (name == "UseCaption") useCaption_ = value.asBool().value_or(useCaption_);
    else if (name == "ImageIndex") imageIndex_ = integer(imageIndex_);
    else if (name == "ListIndex") listIndex_ = integer(listIndex_);
    else if (name == "NumGlyphs") numGlyphs_ = integer(numGlyphs_);
    else if (name == "Glyph") glyph_.setGraphic(value.graphic);
    else if (name == "HideHint") hideHint_ = value.asBool().value_or(hideHint_);
    else if (name == "EnterColor") enterColor_ = colors::fromLayout(value).value_or(enterColor_);
    else if (name == "EnterColorChange") enterColorChange_ = value.asBool().value_or(enterColorChange_);
    else if (name == "RepeatedClick") repeatedClick_ = value.asBool().value_or(repeatedClick_);
    else if (name == "RepeatingDelay") repeatingDelay_ = word(repeatingDelay_);
    else if (name == "RepeatingInterval") repeatingInterval_ = word(repeatingInterval_);
    else if (name == "ButtonLayout") {
        const auto ordinal = ordinalOfName(kButtonLayoutNames, layoutText(value).value_or(""));
        if (!ordinal) return false;
        setButtonLayout(static_cast<TButtonLayout>(*ordinal));
    } else return TGrellControl::readProperty(name, value);
    return true;
}

bool TGrellBaseGraphicButton::readReference(std::string_view name, TComponent* component) {
    if (name != "ImageList") return false;
    auto* list = dynamic_cast<TGrellCustomImageList*>(component);
    if (list == nullptr && component != nullptr) return false;
    setImageList(list);
    return true;
}

bool TGrellBaseGraphicButton::readEvent(std::string_view name, const EventHandler& handler) {
    if (name == "OnClick" && handler.notify) onClick = handler.notify;
    else if (name == "OnDblClick" && handler.notify) onDblClick = handler.notify;
    else if (name == "OnDropDown" && handler.notify) onDropDown = handler.notify;
    else return TGrellControl::readEvent(name, handler);
    return true;
}

void TGrellBaseGraphicButton::setButtonLayout(TButtonLayout layout) {
    buttonLayout_ = layout;
    invalidate();
}

void TGrellBaseGraphicButton::setImageList(TGrellCustomImageList* list) {
    referTo(glyphList_, list);
}

void TGrellBaseGraphicButton::notification(TComponent* component, Operation operation) {
    TGrellControl::notification(component, operation);
    if (operation == Operation::Remove && component == glyphList_) glyphList_ = nullptr;
}

void TGrellBaseGraphicButton::click() {
    if (onClick) onClick(*this);
}

void TGrellBaseGraphicButton::mouseDoubleClick(MouseButton button, TPoint point) {
    if (button == MouseButton::Left && enabled() && onDblClick) onDblClick(*this);
    TGrellControl::mouseDoubleClick(button, point);
}

void TGrellBaseGraphicButton::mouseLeave() {
    TGrellControl::mouseLeave();
    if (!hideHint_) return;
    if (ControlHost* target = host()) target->cancelHint();
}

void TGrellBaseGraphicButton::drawCaption(PaintContext& context, Bitmap32& canvas, const TRect& area,
                                          const TFont& font) {
    drawButtonCaption(context.text, canvas, area, caption(), font, fontFX_, buttonLayout_);
}

void TGrellBaseGraphicButton::startRepeating() {
    stopRepeating();
    click();
    if (application_ == nullptr) throw EOutOfResources("Not enough timers available");
    repeatDelayPassed_ = false;
    repeatTimer_ = application_->allocateControlTimer(repeatingDelay_, [this](TObject&) { repeatTick(); });
}

void TGrellBaseGraphicButton::stopRepeating() {
    if (!repeatTimer_) return;
    application_->freeControlTimer(*repeatTimer_);
    repeatTimer_.reset();
}

void TGrellBaseGraphicButton::repeatTick() {
    if (!repeatTimer_) return;
    if (!repeatDelayPassed_) {
        repeatDelayPassed_ = true;
        application_->timerPool().setInterval(*repeatTimer_, repeatingInterval_);
    }
    if (repeatWanted()) click();
}

// ---------------------------------------------------------------- TGrellCustomMMButton

TGrellCustomMMButton::TGrellCustomMMButton(TComponent* owner, TGrellApplication* application)
    : TGrellBaseGraphicButton(owner, application) {}

TGrellCustomMMButton::~TGrellCustomMMButton() {
    if (imageList_ != nullptr) imageList_->removeListener(this);
}

void TGrellCustomMMButton::publishProperties(PropertyTable& table) const {
    TGrellBaseGraphicButton::publishProperties(table);
    table.boolean("AllowAllUp", allowAllUp_)
        .boolean("AllowMouseOver", allowMouseOver_)
        .boolean("AllowTransparency", allowTransparency_)
        .object("ButtonFace", "TGrellButtonFace", nullptr)
        .enumeration("ButtonFaceStyle", "TGrellBitmapStyle", kBitmapStyleNames, faceStyle_)
        .object("ButtonFaceImageList", "TGrellCustomImageList", imageList_)
        .integer("CaptionDown", captionDown_)
        .boolean("ForceTransparent", forceTransparent_)
        .integer("GroupIndex", groupIndex_)
        .boolean("QuickDraw", quickDraw_)
        .boolean("Pressed", pressed_)
        .object("DropDownMenu", "TPopupMenu", dropDownMenu_)
        .integer("DropDownIndent", dropDownIndent_)
        .boolean("DropDownRight", dropDownRight_)
        .boolean("Transparent", transparent_);
}

bool TGrellCustomMMButton::readProperty(std::string_view name, const LayoutValue& value) {
    auto flag = [&](bool current) { return value.asBool().value_or(current); };
    auto integer = [&](int current) { return static_cast<int>(value.asInteger().value_or(current)); };
    if (name == "AllowAllUp") setAllowAllUp(flag(allowAllUp_));
    else if (name == "AllowMouseOver") allowMouseOver_ = flag(allowMouseOver_);
    else if (name == "AllowTransparency") allowTransparency_ = flag(allowTransparency_);
    else if (name == "ButtonFaceStyle") {
        const auto ordinal = ordinalOfName(kBitmapStyleNames, layoutText(value).value_or(""));
        if (!ordinal) return false;
        setButtonFaceStyle(static_cast<TGrellBitmapStyle>(*ordinal));
    } else if (name == "CaptionDown") captionDown_ = integer(captionDown_);
    else if (name == "ForceTransparent") setForceTransparent(flag(forceTransparent_));
    else if (name == "GroupIndex") setGroupIndex(integer(groupIndex_));
    else if (name == "QuickDraw") quickDraw_ = flag(quickDraw_);
    else if (name == "Pressed") setPressed(flag(pressed_));
    else if (name == "DropDownIndent") dropDownIndent_ = integer(dropDownIndent_);
    else if (name == "DropDownRight") dropDownRight_ = flag(dropDownRight_);
    else if (name == "Transparent") setTransparent(flag(transparent_));
    else if (name == face_stream::kButtonFace) {
        // The library's shared lists are not part of this program: a marker of one
        // leaves the button without a list, as any other text does.
        if (layoutText(value)) setButtonFaceImageList(nullptr);
    } else if (name == face_stream::kIndices) readFaceIndices(faces_, value.bytes);
    else if (name == face_stream::kIndicesNew) readFaceIndicesNew(faces_, value.bytes);
    else if (name == face_stream::kIndicesNew2) readFaceIndicesNew2(faces_, value.bytes);
    else if (name == face_stream::kTransCol || name == face_stream::kTransColNew) {
        readFaceTransparentColor(faces_, value.bytes);
    } else return TGrellBaseGraphicButton::readProperty(name, value);
    return true;
}

bool TGrellCustomMMButton::readReference(std::string_view name, TComponent* component) {
    if (name == "ButtonFaceImageList") {
        auto* list = dynamic_cast<TGrellCustomImageList*>(component);
        if (list == nullptr && component != nullptr) return false;
        setButtonFaceImageList(list);
        return true;
    }
    if (name == "DropDownMenu") {
        setDropDownMenu(component);
        return true;
    }
    return TGrellBaseGraphicButton::readReference(name, component);
}

void TGrellCustomMMButton::setAllowAllUp(bool allow) {
    if (allow == allowAllUp_) return;
    allowAllUp_ = allow;
    notifyGroup();
}

void TGrellCustomMMButton::setGroupIndex(int index) {
    if (index == groupIndex_) return;
    groupIndex_ = index;
    notifyGroup();
}

void TGrellCustomMMButton::setButtonFaceStyle(TGrellBitmapStyle style) {
    faceStyle_ = style;
    invalidate();
}

void TGrellCustomMMButton::setForceTransparent(bool force) {
    forceTransparent_ = force;
    invalidate();
}

void TGrellCustomMMButton::setTransparent(bool transparent) {
    transparent_ = transparent;
    invalidate();
}

void TGrellCustomMMButton::setButtonFaceImageList(TGrellCustomImageList* list) {
    if (imageList_ != nullptr) imageList_->removeListener(this);
    referTo(imageList_, list);
    if (imageList_ != nullptr) imageList_->addListener(this);
    invalidate();
}

void TGrellCustomMMButton::setDropDownMenu(TComponent* menu) {
    referTo(dropDownMenu_, menu);
}

void TGrellCustomMMButton::notification(TComponent* component, Operation operation) {
    TGrellBaseGraphicButton::notification(component, operation);
    if (operation != Operation::Remove) return;
    if (component == imageList_) {
        imageList_ = nullptr;
        invalidate();
    }
    if (component == dropDownMenu_) dropDownMenu_ = nullptr;
}

void TGrellCustomMMButton::setFace(Face face) {
    if (face == face_) return;
    previousFace_ = face_;
    face_ = face;
    invalidate();
}

void TGrellCustomMMButton::notifyGroup() {
    if (groupIndex_ == 0 || parent() == nullptr) return;
    parent()->broadcastButtonPressed(groupIndex_, *this);
}

void TGrellCustomMMButton::setPressed(bool pressed) {
    if (groupIndex_ == 0) pressed = false;
    if (pressed == pressed_) return;
    if (pressed_ && !allowAllUp_) return;
    pressed_ = pressed;
    if (pressed) {
        setFace(Face::Pressed);
        notifyGroup();
    } else {
        setFace(Face::Up);
    }
}

void TGrellCustomMMButton::buttonPressed(int groupIndex, TGrellControl& sender) {
    auto* other = dynamic_cast<TGrellCustomMMButton*>(&sender);
    if (other == nullptr || other == this || groupIndex != groupIndex_ || groupIndex_ == 0) return;
    if (pressed_ && other->pressed_) {
        pressed_ = false;
        setFace(Face::Up);
    }
    allowAllUp_ = other->allowAllUp_;
}

void TGrellCustomMMButton::setEnabled(bool enabled) {
    TGrellBaseGraphicButton::setEnabled(enabled);
    if (enabled) setFace(pressed_ ? Face::Pressed : Face::Up);
    else setFace(pressed_ ? Face::DisabledPressed : Face::Disabled);
}

bool TGrellCustomMMButton::hitTest(TPoint point) const {
    if (imageList_ == nullptr || !faceRect_ || !faceRect_->contains(point)) return false;
    const FacePicture& picture = faces_[face_];
    if (!imageList_->valid(picture.listIndex, picture.imageIndex)) return false;
    const TPoint inFace{point.x - faceRect_->left, point.y - faceRect_->top};
    return imageList_->pixelColor(picture.listIndex, picture.imageIndex, inFace) != faces_.transparentColor;
}

void TGrellCustomMMButton::mouseDown(MouseButton button, TPoint point) {
    TGrellBaseGraphicButton::mouseDown(button, point);
    if (button != MouseButton::Left || !enabled()) return;
    if (allowTransparency_ && !hitTest(point)) return;
    if (dropDownMenu_ != nullptr) {
        openDropDown();
        return;
    }
    mouseHeld_ = true;
    mouseInside_ = true;
    setFace(pressed_ ? Face::Pressed : Face::HeldDown);
    if (repeatedClick()) startRepeating();
}

void TGrellCustomMMButton::openDropDown() {
    setFace(Face::DropDown);
    if (onDropDown) onDropDown(*this);
    if (ControlHost* target = host()) {
        const TPoint origin = rootOrigin();
        const TPoint at = dropDownRight_ ? TPoint{origin.x + width(), origin.y + dropDownIndent_}
                                         : TPoint{origin.x + dropDownIndent_, origin.y + height()};
        target->popupMenu(*dropDownMenu_, at);
    }
    setFace(Face::MouseOver);
}

void TGrellCustomMMButton::mouseMove(TPoint point) {
    TGrellBaseGraphicButton::mouseMove(point);
    if (!mouseHeld_) return;
    mouseInside_ = clientRect().contains(point);
    if (!mouseInside_) setFace(Face::Up);
    else setFace(pressed_ ? Face::Pressed : Face::HeldDown);
}

void TGrellCustomMMButton::mouseUp(MouseButton button, TPoint point) {
    TGrellBaseGraphicButton::mouseUp(button, point);
    if (button != MouseButton::Left || !mouseHeld_) return;
    mouseHeld_ = false;
    stopRepeating();
    const bool inside = clientRect().contains(point);
    mouseInside_ = inside;
    if (groupIndex_ != 0) {
        if (inside) {
            setPressed(!pressed_);
            setFace(pressed_ ? Face::Pressed : Face::Up);
            if (!repeatedClick()) click();
        } else {
            setFace(pressed_ ? Face::Pressed : Face::Up);
        }
        return;
    }
    if (inside) {
        setFace(allowMouseOver_ ? Face::MouseOver : Face::Up);
        if (!repeatedClick()) click();
    } else {
        setFace(Face::Up);
    }
}

void TGrellCustomMMButton::mouseEnter() {
    TGrellBaseGraphicButton::mouseEnter();
    mouseInside_ = true;
    if (allowMouseOver_ && enabled() && !mouseHeld_) setFace(Face::MouseOver);
}

void TGrellCustomMMButton::mouseLeave() {
    TGrellBaseGraphicButton::mouseLeave();
    mouseInside_ = false;
    if (allowMouseOver_ && enabled() && !mouseHeld_ && face_ == Face::MouseOver) setFace(previousFace_);
}

bool TGrellCustomMMButton::dialogChar(char key) {
    const char accelerator = acceleratorOf(caption());
    if (accelerator == 0 || accelerator != ansiLowerChar(key)) return false;
    if (!enabled() || !showing() || parent() == nullptr || !parent()->enabled()) return false;
    if (groupIndex_ == 0) {
        setFace(Face::HeldDown);
        click();
        setFace(Face::Up);
        return true;
    }
    if (!(pressed_ && !allowAllUp_)) setPressed(!pressed_);
    if (allowMouseOver_) click();
    return true;
}

// ---------------------------------------------------------------- painting

void TGrellCustomMMButton::paintAsBase(PaintContext& context) {
    if (transparent_) return;
    context.canvas.fill(clientRect().offset(context.origin.x, context.origin.y), context.text.resolveColor(color()));
}

bool TGrellCustomMMButton::autosize() {
    const FacePicture& picture = faces_[face_];
    int w = imageList_->width(picture.listIndex);
    int h = imageList_->height(picture.listIndex);
    if (w == 0) w = kAutosizeFallback;
    if (h == 0) h = kAutosizeFallback;
    if (w == width() && h == height()) return false;
    setBounds(left(), top(), w, h);
    return true;
}

void TGrellCustomMMButton::realizeFacePalette(int listIndex) {
    if (quickDraw_) return;
    const TGrellPalette* palette = imageList_->palette(listIndex);
    ControlHost* target = host();
    if (palette != nullptr && target != nullptr) target->realizePalette(*palette);
}

void TGrellCustomMMButton::paint(PaintContext& context) {
    if (loading()) return;
    faceRect_.reset();
    if (imageList_ == nullptr) {
        paintAsBase(context);
        return;
    }
    if (faceStyle_ == TGrellBitmapStyle::sbAutosize && autosize()) return;

    // The background: the colour, or when transparent what the parent has already
    // painted on the canvas, so the finished picture is copied as it is.
    Bitmap32 picture(width(), height());
    if (!transparent_) {
        picture.fill(picture.rect(), context.text.resolveColor(color()));
    } else {
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                picture.setPixel(x, y, context.canvas.pixel(context.origin.x + x, context.origin.y + y));
            }
        }
    }

    const std::optional<Face> chosen = chooseFace(faces_, face_, [this](int listIndex, int imageIndex) {
        return imageList_->valid(listIndex, imageIndex);
    });
    if (chosen) {
        const FacePicture& face = faces_[*chosen];
        realizeFacePalette(face.listIndex);
        uint32_t flags = faceDrawFlags(faceStyle_, quickDraw_);
        if (transparent_ || forceTransparent_) flags |= draw_flags::kTransparent;
        faceRect_ = imageList_->draw(picture, picture.rect(), face.listIndex, face.imageIndex, flags);
    }

    if (useCaption() && !caption().empty()) {
        TRect area = clientRect();
        if (captionShifted(face_)) area = area.offset(captionDown_, captionDown_);
        TFont captionFont = font();
        if (allowMouseOver_ && enterColorChange() && inEnterColorRange(face_)) captionFont.color = enterColor();
        drawCaption(context, picture, area, captionFont);
    }

    copyBitmap(context.canvas, context.origin, picture);
}

}  // namespace vardak::grell
