#include "grell/controls/GrellGeometry.h"

#include <algorithm>
#include <cmath>

namespace vardak::grell {

namespace {

// Rounds halves to the even neighbour, as the classic run-time library does.
int roundToInt(double value) {
    return static_cast<int>(std::nearbyint(value));
}

TRect placeScaled(uint32_t flags, int w, int h, const TRect& target) {
    const int width = target.width();
    const int height = target.height();
    const bool keepWidth = (flags & draw_flags::kKeepWidth) != 0;
    const bool keepHeight = (flags & draw_flags::kKeepHeight) != 0;
    if (keepWidth && keepHeight) {
        const double scale = std::min(static_cast<double>(width) / w, static_cast<double>(height) / h);
        return TRect::ofSize(target.left, target.top, static_cast<int>(w * scale), static_cast<int>(h * scale));
    }
    if (keepWidth) {
        return TRect::ofSize(target.left, target.top, roundToInt(static_cast<double>(height) / h * w), height);
    }
    return TRect::ofSize(target.left, target.top, width, roundToInt(static_cast<double>(width) / w * h));
}

TRect placeExact(uint32_t flags, int w, int h, const TRect& target) {
    if (flags & (draw_flags::kKeepWidth | draw_flags::kKeepHeight)) return placeScaled(flags, w, h, target);
    if (flags & draw_flags::kStretch) return target;
    if (flags & draw_flags::kTile) return target;
    if (flags & draw_flags::kCenter) {
        return TRect::ofSize(target.left + (target.width() - w) / 2, target.top + (target.height() - h) / 2, w, h);
    }
    return TRect::ofSize(target.left, target.top, w, h);
}

}  // namespace

TRect TRect::intersect(const TRect& other) const {
    TRect result{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                 std::min(bottom, other.bottom)};
    if (result.empty()) return {};
    return result;
}

uint32_t faceDrawFlags(TGrellBitmapStyle style, bool quickDraw) {
    uint32_t flags = quickDraw ? 0 : draw_flags::kRealizePalette;
    switch (style) {
    case TGrellBitmapStyle::sbCenter: return flags | draw_flags::kCenter;
    case TGrellBitmapStyle::sbStretch: return flags | draw_flags::kStretch;
    case TGrellBitmapStyle::sbTile: return flags | draw_flags::kTile;
    case TGrellBitmapStyle::sbKeepAspRatio:
        return flags | draw_flags::kKeepWidth | draw_flags::kKeepHeight | draw_flags::kStretch;
    case TGrellBitmapStyle::sbKeepWidth: return flags | draw_flags::kKeepWidth | draw_flags::kStretch;
    case TGrellBitmapStyle::sbKeepHeight: return flags | draw_flags::kKeepHeight | draw_flags::kStretch;
    case TGrellBitmapStyle::sbNone:
    case TGrellBitmapStyle::sbAutosize: return flags;
    }
    return flags;
}

TRect placePicture(uint32_t flags, int w, int h, const TRect& target) {
    if (w <= 0 || h <= 0 || target.empty()) return target;
    const TRect placed = placeExact(flags, w, h, target);
    return placed.empty() ? target : placed;
}

std::vector<TRect> tileRects(int w, int h, const TRect& target) {
    std::vector<TRect> tiles;
    if (w <= 0 || h <= 0 || target.empty()) return tiles;
    for (int y = target.top; y < target.bottom; y += h) {
        for (int x = target.left; x < target.right; x += w) tiles.push_back(TRect::ofSize(x, y, w, h));
    }
    return tiles;
}

}  // namespace vardak::grell
