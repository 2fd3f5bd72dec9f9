// Points, rectangles, picture placement styles and the placement geometry of the
// library's bitmap-drawing routine.
#pragma once

#include <cstdint>
#include <vector>

namespace vardak::grell {

struct TPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static TRect ofSize(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(TPoint point) const {
        return point.x >= left && point.x < right && point.y >= top && point.y < bottom;
    }
    TRect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    TRect intersect(const TRect& other) const;
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum class TGrellBitmapStyle {
    sbNone, sbAutosize, sbCenter, sbStretch, sbTile, sbKeepAspRatio, sbKeepWidth, sbKeepHeight,
};

// Flags of the bitmap-drawing routine.
namespace draw_flags {
constexpr uint32_t kCenter = 0x8;
constexpr uint32_t kStretch = 0x10;
constexpr uint32_t kTile = 0x20;
// Pixels of the transparent colour are left out.
constexpr uint32_t kTransparent = 0x40;
constexpr uint32_t kKeepWidth = 0x200;
constexpr uint32_t kKeepHeight = 0x400;
// The picture's palette is selected and realised first.
constexpr uint32_t kRealizePalette = 0x1000;
}  // namespace draw_flags

// The drawing flags of a button face: placement of `style`, plus palette realising
// unless `quickDraw`.
uint32_t faceDrawFlags(TGrellBitmapStyle style, bool quickDraw);

// The rectangle a picture of w x h covers when drawn into `target` with `flags`;
// for tiling the whole target. An empty placement (a picture without width or height,
// an empty target) reports the whole target.
TRect placePicture(uint32_t flags, int w, int h, const TRect& target);

// The tiles of a w x h picture repeated from the target's top-left corner until the
// target is covered; the last row and column may reach past it. None for an empty
// picture or target.
std::vector<TRect> tileRects(int w, int h, const TRect& target);

}  // namespace vardak::grell
