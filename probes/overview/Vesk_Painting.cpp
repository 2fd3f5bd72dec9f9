#include "probes/overview/Vesk_Painting.h"

#include <algorithm>
#include <cstdint>

#include "probes/core/Format.h"

namespace vardak::probes {

namespace {

constexpr uint32_t kDarkGrey = rgb(64, 64, 64);
constexpr uint32_t kLightGrey = rgb(192, 192, 192);
constexpr uint32_t kScreenBlue = rgb(0, 96, 160);

// A fraction of the box in whole pixels: `across(box, 1, 4)` is a quarter of the way across.
int across(const PaintBox& box, int part, int whole) { return box.left + box.width() * part / whole; }
int down(const PaintBox& box, int part, int whole) { return box.top + box.height() * part / whole; }

}  // namespace

void addComputerPicture(PaintedArea& area, const PaintBox& box) {
    const PaintBox monitor{box.left, box.top, box.right, down(box, 3, 4)};
    const int frame = monitor.width() / 12 + 1;
    area.shapes.push_back({ShapeKind::Rectangle, monitor, kDarkGrey});
    area.shapes.push_back({ShapeKind::Rectangle,
                           {monitor.left + frame, monitor.top + frame, monitor.right - frame, monitor.bottom - frame},
                           kScreenBlue});
    area.shapes.push_back({ShapeKind::Rectangle, {across(box, 2, 5), monitor.bottom, across(box, 3, 5), down(box, 7, 8)},
                           kDarkGrey});
    area.shapes.push_back({ShapeKind::Rectangle, {across(box, 1, 5), down(box, 7, 8), across(box, 4, 5), box.bottom},
                           kLightGrey});
}

void addChipPicture(PaintedArea& area, const PaintBox& box) {
    constexpr int kPins = 4;
    const PaintBox body{across(box, 1, 5), down(box, 1, 5), across(box, 4, 5), down(box, 4, 5)};
    for (int pin = 0; pin < kPins; ++pin) {
        const int x = across(body, 2 * pin + 1, 2 * kPins);
        const int y = down(body, 2 * pin + 1, 2 * kPins);
        const int half = body.width() / (4 * kPins) + 1;
        area.shapes.push_back({ShapeKind::Rectangle, {x - half, box.top, x + half, box.bottom}, kLightGrey});
        area.shapes.push_back({ShapeKind::Rectangle, {box.left, y - half, box.right, y + half}, kLightGrey});
    }
    area.shapes.push_back({ShapeKind::Rectangle, body, kDarkGrey});
    area.shapes.push_back({ShapeKind::Ellipse, PaintBox::ofSize(body.left + 3, body.top + 3, 5, 5), kTeal});
}

GaugeRange GaugeOfBytes(int64_t total, int64_t amount) {
    total = std::max<int64_t>(total, 0);
    amount = std::clamp<int64_t>(amount, 0, total);
    if (total > INT32_MAX) {
        total /= kBytesPerMB;
        amount /= kBytesPerMB;
    }
    return {static_cast<int32_t>(total), static_cast<int32_t>(amount)};
}

int32_t GaugePercent(const GaugeRange& range) {
    if (range.maximum <= 0) return 0;
    const int64_t position = std::clamp<int64_t>(range.position, 0, range.maximum);
    return static_cast<int32_t>(position * 100 / range.maximum);
}

PaintedArea gaugePainting(const PaintBox& box, const GaugeRange& range) {
    constexpr int kTextPixels = 11;
    const int32_t percent = GaugePercent(range);
    PaintedArea area;
    area.shapes.push_back({ShapeKind::Rectangle, box, kBlack});
    const PaintBox inside{box.left + 1, box.top + 1, std::max(box.left + 1, box.right - 1),
                          std::max(box.top + 1, box.bottom - 1)};
    area.shapes.push_back({ShapeKind::Rectangle, inside, kWhite});
    const int filled = inside.width() * percent / 100;
    if (filled > 0) {
        area.shapes.push_back({ShapeKind::Rectangle, PaintBox::ofSize(inside.left, inside.top, filled, inside.height()),
                               kNavy});
    }
    const bool textOnBar = filled * 2 >= inside.width() && filled > 0;
    area.texts.push_back({inside, Format("%d%%", {percent}), "Tahoma", kTextPixels, false,
                          textOnBar ? kWhite : kBlack, TextPlacement::Centre});
    return area;
}

}  // namespace vardak::probes
