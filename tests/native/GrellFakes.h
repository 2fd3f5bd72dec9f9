// Fakes for the component library's tests: a window timer ticked by hand, a host
// that records errors, an image list of solid pictures and a text painter that
// records what it was asked to draw.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "grell/controls/GrellControl.h"
#include "grell/controls/GrellImageList.h"
#include "grell/system/GrellApp.h"
#include "tests/support/FakeWindowTimer.h"

namespace vardak::grelltest {

using testing::FakeWindowTimer;
using testing::TimerState;
using testing::fakeTimerFactory;

class FakeMutex final : public grell::InstanceMutex {
public:
    explicit FakeMutex(bool existed) : existed_(existed) {}
    bool alreadyExisted() const override { return existed_; }

private:
    bool existed_;
};

class FakeGrellHost final : public grell::GrellHost {
public:
    std::unique_ptr<grell::WindowTimer> createWindowTimer(std::function<void()> tick) override {
        timer.tick = std::move(tick);
        return std::make_unique<FakeWindowTimer>(timer);
    }
    std::unique_ptr<grell::InstanceMutex> createInstanceMutex(const std::string& name) override {
        mutexNames.push_back(name);
        return std::make_unique<FakeMutex>(otherInstance);
    }
    void handleException(const std::exception& error) override { errors.push_back(error.what()); }
    std::string programPath() override { return path; }

    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) timer.tick();
    }

    TimerState timer;
    bool otherInstance = false;
    std::string path = "C:\\Program Files\\Vardak\\Vardak.exe";
    std::vector<std::string> mutexNames;
    std::vector<std::string> errors;
};

// A picture of one colour.
inline std::shared_ptr<const grell::TGrellGraphic> solidGraphic(int width, int height, uint32_t color,
                                                                grell::TGraphicKind kind = grell::TGraphicKind::Bitmap) {
    return std::make_shared<grell::TGrellGraphic>(kind, grell::Bitmap32(width, height, color));
}

// A graphic list with `count` solid pictures; picture i has the colour 0x10000 * (i + 1).
inline grell::TGrellGraphicList* solidFaceList(TComponent* owner, int count, int width, int height) {
    auto* list = new grell::TGrellGraphicList(owner);
    for (int i = 0; i < count; ++i) {
        grell::TGrellGraphicListItem* item = list->graphics().add();
        item->setName("Face" + std::to_string(i));
        item->setGraphic(solidGraphic(width, height, 0x10000u * static_cast<uint32_t>(i + 1)));
    }
    return list;
}

struct DrawnText {
    grell::TRect rect;
    std::string text;
    grell::TFont font;
    grell::TextAlign align;
    grell::TextVAlign valign;
};

class RecordingTextPainter final : public grell::TextPainter {
public:
    void drawText(grell::Bitmap32&, const grell::TRect& rect, std::string_view text, const grell::TFont& font,
                  grell::TextAlign align, grell::TextVAlign valign) override {
        drawn.push_back({rect, std::string(text), font, align, valign});
    }
    // System colours become their index, so tests can tell them apart.
    uint32_t resolveColor(uint32_t color) override {
        return (color & grell::colors::kSystemColorFlag) ? (color & 0xFF) : color;
    }
    std::vector<DrawnText> drawn;
};

// Records invalidations of the root control's area, popups, hints and palettes.
class RecordingHost final : public grell::ControlHost {
public:
    void invalidate(const grell::TRect& area) override { invalidated.push_back(area); }
    void popupMenu(TComponent& menu, grell::TPoint at) override {
        popups.push_back(at);
        if (duringPopup) duringPopup();
    }
    void activateHint(const std::string& text, const grell::TRect& area) override {
        hint = text;
        hintArea = area;
    }
    void cancelHint() override {
        hint.reset();
        ++hintCancels;
    }
    void realizePalette(const grell::TGrellPalette& palette) override { palettes.push_back(palette); }

    std::vector<grell::TRect> invalidated;
    std::vector<grell::TPoint> popups;
    std::function<void()> duringPopup;
    std::optional<std::string> hint;  // the hint showing or pending
    grell::TRect hintArea;
    int hintCancels = 0;
    std::vector<grell::TGrellPalette> palettes;
};

}  // namespace vardak::grelltest
