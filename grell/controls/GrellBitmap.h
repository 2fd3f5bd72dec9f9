// Device-independent 32-bit pictures and the library's bitmap-drawing routine. The
// controls compose their faces in these; the Win32 side only copies the result to
// the screen. Colours are 0x00BBGGRR, red in the low byte, as the window system's.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "grell/controls/GrellGeometry.h"

namespace vardak::grell {

constexpr uint32_t kWhite = 0xFFFFFF;

// The colour table of a paletted picture, colours as above.
using TGrellPalette = std::vector<uint32_t>;

class Bitmap32 {
public:
    Bitmap32() = default;
    // Sizes below 0 count as 0.
    Bitmap32(int width, int height, uint32_t fill = 0);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    TRect rect() const { return {0, 0, width_, height_}; }

    // Points outside read as 0 and are not written.
    uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, uint32_t color);
    void fill(const TRect& area, uint32_t color);
    const std::vector<uint32_t>& pixels() const { return pixels_; }
    std::vector<uint32_t>& pixels() { return pixels_; }

    friend bool operator==(const Bitmap32&, const Bitmap32&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// Draws `source` into `target` of `canvas` as the flags say (placement, and with
// draw_flags::kTransparent leaving out pixels of `transparentColor`); clipped to the
// canvas. Returns the covered rectangle (see placePicture).
TRect drawBitmap(Bitmap32& canvas, const TRect& target, const Bitmap32& source, uint32_t transparentColor,
                 uint32_t flags);

// Copies `source` with its top-left corner at `at`; pixels equal to `key` are left out.
void copyBitmap(Bitmap32& canvas, TPoint at, const Bitmap32& source, std::optional<uint32_t> key = std::nullopt);

// A Windows bitmap file (or the same without its 14-byte file header, as bitmap
// resources are stored): uncompressed 8, 24 or 32 bits per pixel, bottom-up or
// top-down. Nothing for anything malformed or larger than 8192 x 8192. The colour
// table of an 8-bit picture goes to `palette` when one is given.
std::optional<Bitmap32> decodeBmp(std::span<const uint8_t> bytes, TGrellPalette* palette = nullptr);

}  // namespace vardak::grell
