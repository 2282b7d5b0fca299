#pragma once
// The program is laid out in pixels at 96 dots per inch and scaled by dpi / 96 everywhere else,
// with pictures drawn for 100 %, 150 % and 200 %.
#include <windows.h>

namespace dpi {

inline constexpr UINT kBase = USER_DEFAULT_SCREEN_DPI;  // 96

// `value` (pixels at 96 dpi) at `dpi`, rounded to the nearest pixel.
inline int scale(int value, UINT dpi) {
  return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBase));
}

// The dots per inch of the monitor a window is on; 96 before it has one.
inline UINT of(HWND window) {
  const UINT value = window ? GetDpiForWindow(window) : 0;
  return value ? value : kBase;
}

// The dots per inch of the monitor that shows `point` (the nearest one when none does), for a
// window about to be made there.
UINT atPoint(POINT point);

// The resource id of a picture drawn for the scale nearest to `dpi`: the 100 % picture has the
// id itself, the 150 % one id + 1000, the 200 % one id + 2000. Midway, the larger picture is
// taken and scaled down rather than a smaller one blown up.
inline UINT pictureId(UINT id, UINT dpi) {
  if (dpi >= 168) return id + 2000;  // 175 % and up
  if (dpi >= 120) return id + 1000;  // 125 % and up
  return id;
}

}  // namespace dpi
