#include "probes/overview/Vesk_Painting.h"

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

}  // namespace vardak::probes
