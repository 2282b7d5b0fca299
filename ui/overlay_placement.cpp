#include "ui/overlay_placement.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr SIZE kNewShotSize{400, 200};

int64_t area(const RECT& rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return 0;
  return int64_t{rect.right - rect.left} * (rect.bottom - rect.top);
}

struct Visible {
  RECT edges;
  int64_t area = 0;
};

BOOL CALLBACK addVisiblePart(HMONITOR, HDC, LPRECT monitor, LPARAM context) {
  auto* visible = reinterpret_cast<Visible*>(context);
  RECT shown{};
  IntersectRect(&shown, &visible->edges, monitor);
  visible->area += area(shown);
  return TRUE;
}

// How much of `edges` the monitors show, in square pixels.
int64_t visibleArea(const RECT& edges) {
  Visible visible{edges};
  EnumDisplayMonitors(nullptr, &edges, addVisiblePart, reinterpret_cast<LPARAM>(&visible));
  return visible.area;
}

// `start` and `length` moved, and shortened if need be, into [low, high).
void fitInto(LONG& start, LONG& length, LONG low, LONG high) {
  length = std::min(length, high - low);
  start = std::clamp(start, low, high - length);
}

}  // namespace

RECT overlayPlacement(const RECT& shot) {
  RECT place = shot;
  if (place.right <= 0) place.right = kNewShotSize.cx;
  if (place.bottom <= 0) place.bottom = kNewShotSize.cy;
  const RECT edges{place.left, place.top, place.left + place.right, place.top + place.bottom};
  if (2 * visibleArea(edges) >= area(edges)) return place;

  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromRect(&edges, MONITOR_DEFAULTTONEAREST), &monitor)) return place;
  const RECT& work = monitor.rcWork;
  fitInto(place.left, place.right, work.left, work.right);
  fitInto(place.top, place.bottom, work.top, work.bottom);
  return place;
}
