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
inline constexpr uint32_t kNavy = rgb(0, 0, 128);

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

// A gauge as the window's 32-bit gauge controls take it: a position of a maximum.
struct GaugeRange {
    int32_t maximum = 100;
    int32_t position = 0;
    friend bool operator==(const GaugeRange&, const GaugeRange&) = default;
};
inline constexpr int64_t kBytesPerMB = 1024 * 1024;
// A gauge of byte counts: in bytes while the total fits a 32-bit control, else both
// in MB (truncated). Negative amounts count as 0; the position never passes the total.
GaugeRange GaugeOfBytes(int64_t total, int64_t amount);
// The gauge's filled share in whole percent, 0..100; 0 for a gauge without maximum.
int32_t GaugePercent(const GaugeRange& range);
// A horizontal gauge in `box`: a black frame, the filled share in navy on white and
// the percentage ("42%") centred, white where the bar lies under it.
PaintedArea gaugePainting(const PaintBox& box, const GaugeRange& range);

// The library's two pictures, drawn into `box`: a computer with its screen, and a chip.
void addComputerPicture(PaintedArea& area, const PaintBox& box);
void addChipPicture(PaintedArea& area, const PaintBox& box);

}  // namespace vardak::probes
