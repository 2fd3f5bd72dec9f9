// The control base of the library: windowless controls placed on containers, painted
// into a shared 32-bit picture of the window and fed with mouse input by the window
// that hosts the tree. Only the host (one window) is system-specific.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Classes.h"
#include "grell/controls/GrellBitmap.h"
#include "grell/controls/GrellFiler.h"
#include "grell/controls/GrellGeometry.h"

namespace vardak::grell {

// Colours: 0x00BBGGRR, or a system colour (0x80000000 + the system's colour index).
namespace colors {
constexpr uint32_t kSystemColorFlag = 0x80000000;
constexpr uint32_t clBlack = 0x000000;
constexpr uint32_t clWhite = 0xFFFFFF;
constexpr uint32_t clGray = 0x808080;
constexpr uint32_t clCream = 0xF0FBFF;
constexpr uint32_t clBtnFace = kSystemColorFlag | 15;
constexpr uint32_t clBtnShadow = kSystemColorFlag | 16;
constexpr uint32_t clBtnHighlight = kSystemColorFlag | 20;
constexpr uint32_t clWindowText = kSystemColorFlag | 8;
constexpr uint32_t clWindow = kSystemColorFlag | 5;
// The colour of a name ("clCream") or of a number; nothing for unknown names.
std::optional<uint32_t> fromLayout(const LayoutValue& value);
}  // namespace colors

struct TFont {
    std::string name = "Tahoma";
    int height = -11;  // negative: character height in pixels
    uint32_t color = colors::clWindowText;
    bool bold = false;
    bool underline = false;
    friend bool operator==(const TFont&, const TFont&) = default;
};

// A control's font as a published object ("Font.Name", "Font.Height"...).
class TPublishedFont final : public TPersistent {
public:
    std::string_view className() const override { return "TFont"; }
    void publishProperties(PropertyTable& table) const override;
    TFont value;
};

enum class TextAlign { Left, Center, Right };
enum class TextVAlign { Top, Center, Bottom };

// Draws text into a picture: the window system's fonts on Win32, a recorder in tests.
class TextPainter {
public:
    virtual ~TextPainter() = default;
    // Single line, placed in `rect` as the alignments say.
    virtual void drawText(Bitmap32& canvas, const TRect& rect, std::string_view text, const TFont& font,
                          TextAlign align, TextVAlign valign) = 0;
    // Resolves system colours to colours.
    virtual uint32_t resolveColor(uint32_t color) = 0;
};

struct PaintContext {
    Bitmap32& canvas;   // the whole window's client area
    TextPainter& text;
    TPoint origin;      // the painted control's top-left corner on the canvas
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TGrellWinControl;

// What the hosting window does for the tree.
class ControlHost {
public:
    virtual ~ControlHost() = default;
    // `area` in the root control's coordinates.
    virtual void invalidate(const TRect& area) = 0;
    // Shows a popup menu at a point of the root control and returns when it closes.
    virtual void popupMenu(TComponent& menu, TPoint at) = 0;
    // The control's bounds changed (windowed controls follow).
    virtual void boundsChanged(TComponent& control) {}
    // Shows `text` as the application's hint, after the usual pause, for the mouse
    // resting in `area` (root coordinates); replaces a hint shown or pending.
    virtual void activateHint(const std::string& text, const TRect& area) {}
    // Hides the application's hint and forgets a pending one.
    virtual void cancelHint() {}
    // Selects and realises a picture's palette on the window before the painted
    // picture reaches the screen.
    virtual void realizePalette(const TGrellPalette& palette) {}
};

class TGrellControl : public TComponent, public LayoutReadable {
public:
    explicit TGrellControl(TComponent* owner);
    ~TGrellControl() override;

    std::string_view className() const override { return "TGrellControl"; }
    bool readProperty(std::string_view name, const LayoutValue& value) override;
    bool readEvent(std::string_view name, const EventHandler& handler) override;

    TGrellWinControl* parent() const { return parent_; }
    void setParent(TGrellWinControl* parent);

    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width(); }
    int height() const { return bounds_.height(); }
    const TRect& boundsRect() const { return bounds_; }
    TRect clientRect() const { return {0, 0, width(), height()}; }
    void setBounds(int left, int top, int width, int height);
    TAlign align() const { return align_; }
    void setAlign(TAlign align);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool enabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    // Visible, and every parent up to the root too.
    bool showing() const;

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    uint32_t color() const { return color_; }
    void setColor(uint32_t color);
    TFont& font() { return font_.value; }
    const TFont& font() const { return font_.value; }
    const TPublishedFont& publishedFont() const { return font_; }
    const std::string& hint() const { return hint_; }
    void setHint(std::string hint) { hint_ = std::move(hint); }
    bool showHint() const { return showHint_; }
    void setShowHint(bool show) { showHint_ = show; }
    // The control shows a hint of its own when the mouse rests on it.
    bool showsOwnHint() const { return showHint_ && !hint_.empty(); }

    // The layout is still being read: nothing is painted. loaded() ends it.
    bool loading() const { return loading_; }
    void setLoading() { loading_ = true; }
    void loaded() override;

    // Asks the host to repaint the control.
    void invalidate();
    // The control's top-left corner in the root's coordinates.
    TPoint rootOrigin() const;
    TGrellWinControl* root();
    ControlHost* host();

    // Windowed controls (a list view) are real windows of the host, not painted here.
    virtual bool windowed() const { return false; }
    virtual void paint(PaintContext& context) {}

    // Input, in client coordinates.
    virtual void mouseDown(MouseButton button, TPoint point);
    virtual void mouseMove(TPoint point);
    virtual void mouseUp(MouseButton button, TPoint point);
    // The second press of a double click; a press like any other unless overridden.
    virtual void mouseDoubleClick(MouseButton button, TPoint point) { mouseDown(button, point); }
    virtual void mouseEnter();
    virtual void mouseLeave();
    // An accelerator key; true when the control took it.
    virtual bool dialogChar(char key) { return false; }
    // A button of `groupIndex` became pressed (or changed its group settings).
    virtual void buttonPressed(int groupIndex, TGrellControl& sender) {}

    TMouseEvent onMouseDown;
    TMouseEvent onMouseUp;
    TNotifyEvent onMouseEnter;
    TNotifyEvent onMouseExit;
    TMouseMoveEvent onMouseMove;

protected:
    virtual void visibleChanged() {}
    // Points `field` at `component`, moving the free notification along with it.
    template <class Kind>
    void referTo(Kind*& field, Kind* component) {
        if (field != nullptr) field->removeFreeNotification(this);
        field = component;
        if (field != nullptr) field->freeNotification(this);
    }

private:
    TGrellWinControl* parent_ = nullptr;
    TRect bounds_;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    bool loading_ = false;
    std::string caption_;
    uint32_t color_ = colors::clBtnFace;
    TPublishedFont font_;
    std::string hint_;
    bool showHint_ = false;
};

// A control that holds controls. The root of a tree also has the host.
class TGrellWinControl : public TGrellControl {
public:
    explicit TGrellWinControl(TComponent* owner) : TGrellControl(owner) {}
    ~TGrellWinControl() override;

    std::string_view className() const override { return "TGrellWinControl"; }

    // Children in painting order: the last one is on top.
    const std::vector<TGrellControl*>& controls() const { return controls_; }
    void setHost(ControlHost* host) { host_ = host; }
    ControlHost* ownHost() const { return host_; }

    // The area left for the children inside borders and bevels.
    virtual TRect innerRect() const { return clientRect(); }
    // Places the aligned children: top, bottom, left, right, then client, in child order.
    void realign();

    // Paints this control and its visible children, the window's part of painting.
    void paintTree(Bitmap32& canvas, TextPainter& text, TPoint origin);

    // The topmost visible, enabled, windowless control at a point of this control
    // (deepest first); this control itself when no child is there.
    TGrellControl* controlAt(TPoint point);
    // Tells every child that a button of `groupIndex` became pressed.
    void broadcastButtonPressed(int groupIndex, TGrellControl& sender);
    // Offers an accelerator key to the children; true when one took it.
    bool broadcastDialogChar(char key);

    // Mouse input for the whole tree, in the root's coordinates: the control under
    // the mouse gets enter and leave; the one pressed keeps the mouse until release.
    void rootMouseDown(MouseButton button, TPoint point);
    void rootMouseDoubleClick(MouseButton button, TPoint point);
    void rootMouseMove(TPoint point);
    void rootMouseUp(MouseButton button, TPoint point);
    void rootMouseLeave();
    // True while a control holds the mouse (the host captures it then).
    bool mouseCaptured() const { return captured_ != nullptr; }

private:
    friend class TGrellControl;
    void insertControl(TGrellControl* control);
    void removeControl(TGrellControl* control);
    void forget(TGrellControl* control);
    void setHover(TGrellControl* control);
    // The hovered control's own hint, or none.
    void updateHint();
    void press(MouseButton button, TPoint point, bool doubleClick);

    std::vector<TGrellControl*> controls_;
    ControlHost* host_ = nullptr;
    TGrellControl* captured_ = nullptr;
    MouseButton capturedButton_ = MouseButton::Left;
    TGrellControl* hover_ = nullptr;
    bool realigning_ = false;
};

// The accelerator character of a caption ("&Print" gives 'p'), lower case; 0 for none.
char acceleratorOf(std::string_view caption);

}  // namespace vardak::grell
