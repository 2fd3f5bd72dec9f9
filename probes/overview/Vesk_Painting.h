// What the probe library's small windows paint, as data: filled shapes and texts in
// client coordinates, drawn in order. The Win32 side draws them with GDI; tests read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vardak::probes {

struct PaintBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static PaintBox ofSize(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool within(const PaintBox& outer) const {
        return left >= outer.left && top >= outer.top && right <= outer.right && bottom <= outer.bottom;
    }
    friend bool operator==(const PaintBox&, const PaintBox&) = default;
};

// Colours as 0x00BBGGRR, the system's order.
constexpr uint32_t rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return red | (green << 8) | (static_cast<uint32_t>(blue) << 16);
}
inline constexpr uint32_t kBlack = rgb(0, 0, 0);
inline constexpr uint32_t kWhite = rgb(255, 255, 255);
inline constexpr uint32_t kTeal = rgb(0, 128, 128);

enum class ShapeKind { Rectangle, Ellipse };

struct PaintShape {
    ShapeKind kind = ShapeKind::Rectangle;
    PaintBox box;
    uint32_t colour = kBlack;
};

enum class TextPlacement { Left, Centre };

struct PaintText {
    PaintBox box;
    std::string text;
    std::string fontFace;
    int heightPixels = 0;  // the character height, as the font's negative height asks
    bool bold = false;
    uint32_t colour = kBlack;
    TextPlacement placement = TextPlacement::Left;  // vertically always centred in the box
};

struct PaintedArea {
    std::vector<PaintShape> shapes;  // drawn first
    std::vector<PaintText> texts;
};

// The library's two pictures, drawn into `box`: a computer with its screen, and a chip.
void addComputerPicture(PaintedArea& area, const PaintBox& box);
void addChipPicture(PaintedArea& area, const PaintBox& box);

}  // namespace vardak::probes
