#pragma once
// Which part of the primary screen a shot's rectangle captures.
#include <cstdint>

struct CaptureArea {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool operator==(const CaptureArea&) const = default;
};

// The part of `area` that lies on a screen of the given size. A rectangle reaching past an
// edge is cut there, never moved: (-100, 50) wide 300 gives (0, 50) wide 200, the pixels the
// user framed. A rectangle wholly off the screen gives an empty area.
CaptureArea clampToScreen(const CaptureArea& area, int32_t screenWidth, int32_t screenHeight);
