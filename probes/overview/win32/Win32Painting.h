// Draws a painted area of the probe library's windows with GDI.
#pragma once

#include <windows.h>

#include "probes/overview/Vesk_Painting.h"

namespace vardak::probes::win32 {

// The shapes, then the texts (transparent background, one line, made smaller to fit
// the box where the face is wider than expected).
void paintArea(HDC dc, const PaintedArea& area);

// A font by face, character height in pixels and weight; the caller deletes it.
HFONT createPixelFont(const char* face, int heightPixels, bool bold);

}  // namespace vardak::probes::win32
