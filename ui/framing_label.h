#pragma once
// The small label inside a New Shot overlay that gives the frame's place and size in real
// pixels, drawn with the system's message font on an opaque backing so that it reads over
// whatever the overlay shows through. It belongs to the overlay's window, so it is never in a
// capture: the overlay is hidden while a shot is taken.
#include <windows.h>

#include <string>

#include "platform/win32_handles.h"

class FramingLabel {
 public:
  // "100, 50 · 640 × 480" for a frame with those edges (left, top, right, bottom).
  static std::wstring textFor(const RECT& edges);

  // The part of the overlay's client area the label covers for `text` at `dpi`: below the
  // overlay's buttons, so it never hides them.
  RECT areaFor(HDC dc, const std::wstring& text, UINT dpi);

  void paint(HDC dc, const std::wstring& text, UINT dpi);

 private:
  HFONT fontFor(UINT dpi);

  win32::UniqueFont font_;
  UINT fontDpi_ = 0;
};
