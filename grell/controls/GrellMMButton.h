// Skinned image buttons: controls drawn entirely from the pictures of an image list,
// one picture per visual state as the button's face table says. With a group index
// a button is a toggle that stays pressed; without one it is a push button.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "grell/controls/GrellControl.h"
#include "grell/controls/GrellFaceTable.h"
#include "grell/controls/GrellImageList.h"

namespace vardak::grell {

class TGrellApplication;

// Where the glyph of a button's face sits; the caption keeps to the other side.
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Text effects of a caption. None is defined beyond plain text, which is what the
// caption drawing makes of every setting.
class TGrellFontFX final : public TPersistent {
public:
    std::string_view className() const override { return "TGrellFontFX"; }
};

// Draws a button caption into `area`: placed as `layout` says, in `font`, with `effects`.
void drawButtonCaption(TextPainter& painter, Bitmap32& canvas, const TRect& area, std::string_view caption,
                       const TFont& font, const TGrellFontFX& effects, TButtonLayout layout);

// The base graphic button: caption, colours, hint, repeated clicking, the glyph and
// image-list settings and the button's events.
class TGrellBaseGraphicButton : public TGrellControl {
public:
    static constexpr int kDefaultSize = 25;

    // `application` hands out the control timers of repeated clicking; may be null
    // for buttons that never repeat.
    TGrellBaseGraphicButton(TComponent* owner, TGrellApplication* application);
    ~TGrellBaseGraphicButton() override;

    std::string_view className() const override { return "TGrellBaseGraphicButton"; }
    void publishProperties(PropertyTable& table) const override;
    bool readProperty(std::string_view name, const LayoutValue& value) override;
    bool readReference(std::string_view name, TComponent* component) override;
    bool readEvent(std::string_view name, const EventHandler& handler) override;

    bool useCaption() const { return useCaption_; }
    bool hideHint() const { return hideHint_; }
    void setHideHint(bool hide) { hideHint_ = hide; }
    const TGrellFontFX& fontFX() const { return fontFX_; }
    uint32_t enterColor() const { return enterColor_; }
    bool enterColorChange() const { return enterColorChange_; }
    void setEnterColor(uint32_t color, bool change) {
        enterColor_ = color;
        enterColorChange_ = change;
    }
    bool repeatedClick() const { return repeatedClick_; }
    void setRepeatedClick(bool repeated) { repeatedClick_ = repeated; }
    uint16_t repeatingDelay() const { return repeatingDelay_; }
    uint16_t repeatingInterval() const { return repeatingInterval_; }
    void setRepeating(uint16_t delay, uint16_t interval) {
        repeatingDelay_ = delay;
        repeatingInterval_ = interval;
    }
    TButtonLayout buttonLayout() const { return buttonLayout_; }
    void setButtonLayout(TButtonLayout layout);
    // An image of an image list for the button (list index and image index); the
    // face table, not this, gives the pictures an image button paints.
    TGrellCustomImageList* imageList() const { return glyphList_; }
    void setImageList(TGrellCustomImageList* list);
    int imageIndex() const { return imageIndex_; }
    int listIndex() const { return listIndex_; }
    const TGrellPicture& glyph() const { return glyph_; }
    int numGlyphs() const { return numGlyphs_; }

    TNotifyEvent onClick;
    TNotifyEvent onDblClick;
    TNotifyEvent onDropDown;
    // Fires onClick.
    virtual void click();

    // A double click fires onDblClick, then counts as a press.
    void mouseDoubleClick(MouseButton button, TPoint point) override;
    // With HideHint the application's hint goes when the mouse leaves the button.
    void mouseLeave() override;

protected:
    void notification(TComponent* component, Operation operation) override;
    void drawCaption(PaintContext& context, Bitmap32& canvas, const TRect& area, const TFont& font);

    // Starts repeated clicking: a first click now, then after the delay and every
    // interval while held inside. Raises EOutOfResources without a free timer.
    void startRepeating();
    void stopRepeating();
    // Whether a held button still repeats (the mouse is inside it).
    virtual bool repeatWanted() const = 0;

private:
    void repeatTick();

    TGrellApplication* application_;
    bool useCaption_ = true;
    bool hideHint_ = true;
    uint32_t enterColor_ = colors::clBlack;
    bool enterColorChange_ = false;
    bool repeatedClick_ = false;
    uint16_t repeatingDelay_ = 500;
    uint16_t repeatingInterval_ = 100;
    TButtonLayout buttonLayout_ = TButtonLayout::blGlyphLeft;
    TGrellFontFX fontFX_;
    TGrellCustomImageList* glyphList_ = nullptr;
    int imageIndex_ = 0;
    int listIndex_ = 0;
    TGrellPicture glyph_;
    int numGlyphs_ = 1;
    std::optional<uint16_t> repeatTimer_;
    bool repeatDelayPassed_ = false;
};

class TGrellCustomMMButton : public TGrellBaseGraphicButton, private ImageListListener {
public:
    TGrellCustomMMButton(TComponent* owner, TGrellApplication* application);
    ~TGrellCustomMMButton() override;

    std::string_view className() const override { return "TGrellCustomMMButton"; }
    void publishProperties(PropertyTable& table) const override;
    bool readProperty(std::string_view name, const LayoutValue& value) override;
    bool readReference(std::string_view name, TComponent* component) override;

    bool allowAllUp() const { return allowAllUp_; }
    void setAllowAllUp(bool allow);
    bool allowMouseOver() const { return allowMouseOver_; }
    void setAllowMouseOver(bool allow) { allowMouseOver_ = allow; }
    bool allowTransparency() const { return allowTransparency_; }
    void setAllowTransparency(bool allow) { allowTransparency_ = allow; }
    TGrellBitmapStyle buttonFaceStyle() const { return faceStyle_; }
    void setButtonFaceStyle(TGrellBitmapStyle style);
    TGrellCustomImageList* buttonFaceImageList() const { return imageList_; }
    void setButtonFaceImageList(TGrellCustomImageList* list);
    int captionDown() const { return captionDown_; }
    bool forceTransparent() const { return forceTransparent_; }
    void setForceTransparent(bool force);
    int groupIndex() const { return groupIndex_; }
    void setGroupIndex(int index);
    bool quickDraw() const { return quickDraw_; }
    void setQuickDraw(bool quick) { quickDraw_ = quick; }
    bool pressed() const { return pressed_; }
    void setPressed(bool pressed);
    TComponent* dropDownMenu() const { return dropDownMenu_; }
    void setDropDownMenu(TComponent* menu);
    int dropDownIndent() const { return dropDownIndent_; }
    bool dropDownRight() const { return dropDownRight_; }
    void setDropDown(int indent, bool right) {
        dropDownIndent_ = indent;
        dropDownRight_ = right;
    }
    bool transparent() const { return transparent_; }
    void setTransparent(bool transparent);

    FaceTable& faceTable() { return faces_; }
    const FaceTable& faceTable() const { return faces_; }
    Face face() const { return face_; }
    Face previousFace() const { return previousFace_; }
    // Where the face was last drawn, in client coordinates; nothing before painting.
    const std::optional<TRect>& faceRect() const { return faceRect_; }

    void setEnabled(bool enabled) override;
    void paint(PaintContext& context) override;
    void mouseDown(MouseButton button, TPoint point) override;
    void mouseMove(TPoint point) override;
    void mouseUp(MouseButton button, TPoint point) override;
    void mouseEnter() override;
    void mouseLeave() override;
    bool dialogChar(char key) override;
    void buttonPressed(int groupIndex, TGrellControl& sender) override;

    // Whether a press at this point counts (see allowTransparency).
    bool hitTest(TPoint point) const;

protected:
    void notification(TComponent* component, Operation operation) override;
    bool repeatWanted() const override { return mouseHeld_ && mouseInside_; }

private:
    void imageListChanged(TGrellCustomImageList& list) override { invalidate(); }
    void setFace(Face face);
    void notifyGroup();
    void openDropDown();
    void paintAsBase(PaintContext& context);
    bool autosize();
    // Unless QuickDraw: the face picture's palette goes to the window before painting.
    void realizeFacePalette(int listIndex);

    bool allowAllUp_ = false;
    bool allowMouseOver_ = false;
    bool allowTransparency_ = true;
    TGrellBitmapStyle faceStyle_ = TGrellBitmapStyle::sbNone;
    TGrellCustomImageList* imageList_ = nullptr;
    int captionDown_ = 1;
    bool forceTransparent_ = true;
    int groupIndex_ = 0;
    bool quickDraw_ = false;
    bool pressed_ = false;
    TComponent* dropDownMenu_ = nullptr;
    int dropDownIndent_ = 0;
    bool dropDownRight_ = false;
    bool transparent_ = false;

    FaceTable faces_;
    Face face_ = Face::Up;
    Face previousFace_ = Face::Up;
    bool mouseHeld_ = false;
    bool mouseInside_ = false;
    std::optional<TRect> faceRect_;
};

class TGrellMMButton : public TGrellCustomMMButton {
public:
    using TGrellCustomMMButton::TGrellCustomMMButton;
    std::string_view className() const override { return "TGrellMMButton"; }
};

}  // namespace vardak::grell
