#include "grell/controls/GrellBitmap.h"

#include <algorithm>

namespace vardak::grell {

namespace {

constexpr int kMaxDimension = 8192;

uint32_t readLe(std::span<const uint8_t> bytes, size_t offset, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

// Colour from blue, green and red bytes (the order of the file).
uint32_t fromBgr(uint8_t blue, uint8_t green, uint8_t red) {
    return red | (static_cast<uint32_t>(green) << 8) | (static_cast<uint32_t>(blue) << 16);
}

void drawScaled(Bitmap32& canvas, const TRect& placed, const Bitmap32& source, uint32_t key, bool keyed) {
    const TRect visible = placed.intersect(canvas.rect());
    for (int y = visible.top; y < visible.bottom; ++y) {
        const int sourceY = static_cast<int>(static_cast<int64_t>(y - placed.top) * source.height() / placed.height());
        for (int x = visible.left; x < visible.right; ++x) {
            const int sourceX = static_cast<int>(static_cast<int64_t>(x - placed.left) * source.width() / placed.width());
            const uint32_t color = source.pixel(sourceX, sourceY);
            if (keyed && color == key) continue;
            canvas.setPixel(x, y, color);
        }
    }
}

void drawClipped(Bitmap32& canvas, const TRect& placed, const TRect& clip, const Bitmap32& source, uint32_t key,
                 bool keyed) {
    const TRect visible = placed.intersect(clip).intersect(canvas.rect());
    for (int y = visible.top; y < visible.bottom; ++y) {
        for (int x = visible.left; x < visible.right; ++x) {
            const uint32_t color = source.pixel(x - placed.left, y - placed.top);
            if (keyed && color == key) continue;
            canvas.setPixel(x, y, color);
        }
    }
}

}  // namespace

Bitmap32::Bitmap32(int width, int height, uint32_t fill)
    : width_(std::max(0, width)), height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), fill) {}

uint32_t Bitmap32::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void Bitmap32::setPixel(int x, int y, uint32_t color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = color;
}

void Bitmap32::fill(const TRect& area, uint32_t color) {
    const TRect visible = area.intersect(rect());
    for (int y = visible.top; y < visible.bottom; ++y) {
        auto row = pixels_.begin() + static_cast<ptrdiff_t>(y) * width_;
        std::fill(row + visible.left, row + visible.right, color);
    }
}

TRect drawBitmap(Bitmap32& canvas, const TRect& target, const Bitmap32& source, uint32_t transparentColor,
                 uint32_t flags) {
    const TRect covered = placePicture(flags, source.width(), source.height(), target);
    if (source.empty() || target.empty()) return covered;
    const bool keyed = (flags & draw_flags::kTransparent) != 0;
    const bool scaled = (flags & (draw_flags::kStretch | draw_flags::kKeepWidth | draw_flags::kKeepHeight)) != 0;
    if (scaled) {
        drawScaled(canvas, covered, source, transparentColor, keyed);
    } else if (flags & draw_flags::kTile) {
        for (const TRect& tile : tileRects(source.width(), source.height(), target)) {
            drawClipped(canvas, tile, target, source, transparentColor, keyed);
        }
    } else {
        drawClipped(canvas, covered, target, source, transparentColor, keyed);
    }
    return covered;
}

void copyBitmap(Bitmap32& canvas, TPoint at, const Bitmap32& source, std::optional<uint32_t> key) {
    const TRect placed = TRect::ofSize(at.x, at.y, source.width(), source.height());
    drawClipped(canvas, placed, canvas.rect(), source, key.value_or(0), key.has_value());
}

std::optional<Bitmap32> decodeBmp(std::span<const uint8_t> bytes, TGrellPalette* palette) {
    size_t info = 0;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') info = 14;
    if (bytes.size() < info + 40) return std::nullopt;
    const uint32_t headerSize = readLe(bytes, info, 4);
    const auto width = static_cast<int32_t>(readLe(bytes, info + 4, 4));
    const auto rawHeight = static_cast<int32_t>(readLe(bytes, info + 8, 4));
    const uint32_t bitCount = readLe(bytes, info + 14, 2);
    const uint32_t compression = readLe(bytes, info + 16, 4);
    uint32_t colorsUsed = readLe(bytes, info + 32, 4);
    if (headerSize < 40 || headerSize > bytes.size() - info) return std::nullopt;
    if (compression != 0 && !(compression == 3 && bitCount == 32)) return std::nullopt;
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -static_cast<int64_t>(rawHeight) : rawHeight;
    if (width <= 0 || width > kMaxDimension || height <= 0 || height > kMaxDimension) return std::nullopt;

    size_t paletteOffset = info + headerSize + (compression == 3 && headerSize == 40 ? 12 : 0);
    if (bitCount == 8 && colorsUsed == 0) colorsUsed = 256;
    if (bitCount != 8) colorsUsed = 0;
    if (colorsUsed > 256) return std::nullopt;
    const size_t paletteEnd = paletteOffset + static_cast<size_t>(colorsUsed) * 4;
    const size_t stride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
    size_t pixelOffset = info == 14 ? readLe(bytes, 10, 4) : paletteEnd;
    if (pixelOffset < paletteEnd) return std::nullopt;
    if (pixelOffset > bytes.size() || (bytes.size() - pixelOffset) / stride < static_cast<size_t>(height)) {
        return std::nullopt;
    }

    Bitmap32 bitmap(width, static_cast<int>(height));
    for (int row = 0; row < height; ++row) {
        const size_t line = pixelOffset + static_cast<size_t>(row) * stride;
        const int y = topDown ? row : static_cast<int>(height) - 1 - row;
        for (int x = 0; x < width; ++x) {
            if (bitCount == 8) {
                const uint8_t index = bytes[line + static_cast<size_t>(x)];
                if (index >= colorsUsed) return std::nullopt;
                const size_t entry = paletteOffset + static_cast<size_t>(index) * 4;
                bitmap.setPixel(x, y, fromBgr(bytes[entry], bytes[entry + 1], bytes[entry + 2]));
            } else {
                const size_t at = line + static_cast<size_t>(x) * (bitCount / 8);
                bitmap.setPixel(x, y, fromBgr(bytes[at], bytes[at + 1], bytes[at + 2]));
            }
        }
    }
    if (palette != nullptr) {
        palette->clear();
        for (uint32_t index = 0; index < colorsUsed; ++index) {
            const size_t entry = paletteOffset + static_cast<size_t>(index) * 4;
            palette->push_back(fromBgr(bytes[entry], bytes[entry + 1], bytes[entry + 2]));
        }
    }
    return bitmap;
}

}  // namespace vardak::grell
