#pragma once
// Which part of the screen a shot's rectangle captures.
#include <cstdint>

struct CaptureArea {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const CaptureArea&) const = default;
};

// The part of `area` that lies inside `bounds` (the virtual screen, which spans every monitor
// and starts left of or above 0 when a monitor lies there). A rectangle reaching past an edge
// is cut there, never moved: (-100, 50) wide 300 in bounds from 0 gives (0, 50) wide 200, the
// pixels the user framed. A rectangle wholly outside gives an empty area.
CaptureArea clampToArea(const CaptureArea& area, const CaptureArea& bounds);

// clampToArea with bounds from (0, 0): one screen of the given size.
CaptureArea clampToScreen(const CaptureArea& area, int32_t screenWidth, int32_t screenHeight);
