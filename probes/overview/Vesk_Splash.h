// The splash window of the probe library: what `TscrVesk_Splash` shows while the root
// component's RefreshAll collects. Borderless, on top of the others, centred on the screen.
#pragma once

#include <string_view>

#include "probes/overview/Vesk_Painting.h"

namespace vardak::probes {

inline constexpr int kSplashClientWidth = 360;
inline constexpr int kSplashClientHeight = 144;
inline constexpr int kSplashFrame = 3;
inline constexpr int kSplashInfoHeight = 21;  // the strip `pInfo`

inline constexpr std::string_view kSplashTitle = "Computer Information";
inline constexpr std::string_view kSplashSubtitle = "for Windows 95/98/NT/2000/XP";
inline constexpr std::string_view kSplashMaker = "Ostrel probe library, by the Vardak developers";
inline constexpr std::string_view kSplashCollecting = "Collecting information...";

// The whole client area: the black frame and strip, the white panel with its pictures
// and texts, the strip's text.
PaintedArea splashPainting();

}  // namespace vardak::probes
