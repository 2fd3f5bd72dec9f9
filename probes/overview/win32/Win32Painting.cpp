#include "probes/overview/win32/Win32Painting.h"

#include "platform/win32/WinHandles.h"

namespace vardak::probes::win32 {

using vardak::win32::UniqueGdiObject;

namespace {

RECT toRect(const PaintBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

void paintShape(HDC dc, const PaintShape& shape) {
    const UniqueGdiObject brush(CreateSolidBrush(shape.colour));
    const RECT rect = toRect(shape.box);
    if (shape.kind == ShapeKind::Rectangle) {
        FillRect(dc, &rect, static_cast<HBRUSH>(brush.get()));
        return;
    }
    const HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    // Without a pen the ellipse is one pixel smaller; the box's right and bottom are outside it.
    Ellipse(dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
}

// The font at the text's height, or smaller where the system's face for that name is
// wider than the one the layout was made with and the text would not fit its box.
UniqueGdiObject fittingFont(HDC dc, const PaintText& text) {
    constexpr int kSmallest = 8;
    for (int height = text.heightPixels;; --height) {
        UniqueGdiObject font(createPixelFont(text.fontFace.c_str(), height, text.bold));
        if (height <= kSmallest) return font;
        const HGDIOBJ oldFont = SelectObject(dc, font.get());
        SIZE extent{};
        const bool measured = GetTextExtentPoint32A(dc, text.text.c_str(), static_cast<int>(text.text.size()), &extent);
        SelectObject(dc, oldFont);
        if (!measured || extent.cx <= text.box.width()) return font;
    }
}

void paintText(HDC dc, const PaintText& text) {
    const UniqueGdiObject font = fittingFont(dc, text);
    const HGDIOBJ oldFont = SelectObject(dc, font.get());
    SetTextColor(dc, text.colour);
    RECT rect = toRect(text.box);
    const UINT placement = text.placement == TextPlacement::Centre ? DT_CENTER : DT_LEFT;
    DrawTextA(dc, text.text.c_str(), static_cast<int>(text.text.size()), &rect,
              placement | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
}

}  // namespace

HFONT createPixelFont(const char* face, int heightPixels, bool bold) {
    return CreateFontA(-heightPixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

void paintArea(HDC dc, const PaintedArea& area) {
    for (const PaintShape& shape : area.shapes) paintShape(dc, shape);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    for (const PaintText& text : area.texts) paintText(dc, text);
    SetBkMode(dc, oldMode);
}

}  // namespace vardak::probes::win32
