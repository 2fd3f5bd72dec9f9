#include "probes/overview/Vesk_Splash.h"

#include <string>

namespace vardak::probes {

namespace {

constexpr std::string_view kTitleFace = "Times New Roman";
constexpr std::string_view kStripFace = "Tahoma";

// The white panel: inside the frame, down to the strip.
constexpr PaintBox kPanel{kSplashFrame, kSplashFrame, kSplashClientWidth - kSplashFrame,
                          kSplashClientHeight - kSplashInfoHeight};
constexpr PaintBox kStrip{0, kSplashClientHeight - kSplashInfoHeight, kSplashClientWidth, kSplashClientHeight};

}  // namespace

PaintedArea splashPainting() {
    PaintedArea area;
    area.shapes.push_back({ShapeKind::Rectangle, {0, 0, kSplashClientWidth, kSplashClientHeight}, kBlack});
    area.shapes.push_back({ShapeKind::Rectangle, kPanel, kWhite});
    addComputerPicture(area, PaintBox::ofSize(kPanel.left + 8, kPanel.top + 10, 40, 40));
    addChipPicture(area, PaintBox::ofSize(kPanel.right - 36, kPanel.bottom - 36, 28, 28));

    const int textLeft = kPanel.left + 54;
    area.texts.push_back({PaintBox{textLeft, kPanel.top + 6, kPanel.right - 4, kPanel.top + 40},
                          std::string(kSplashTitle), std::string(kTitleFace), 27, true, kTeal});
    area.texts.push_back({PaintBox{textLeft, kPanel.top + 40, kPanel.right - 4, kPanel.top + 60},
                          std::string(kSplashSubtitle), std::string(kTitleFace), 16, true, kTeal});
    area.texts.push_back({PaintBox{kPanel.left + 8, kPanel.bottom - 26, kPanel.right - 40, kPanel.bottom - 10},
                          std::string(kSplashMaker), std::string(kStripFace), 11, false, kBlack});
    area.texts.push_back({kStrip, std::string(kSplashCollecting), std::string(kStripFace), 13, true, kWhite,
                          TextPlacement::Centre});
    return area;
}

}  // namespace vardak::probes
