#include "capture/capture_area.h"

#include <algorithm>

namespace {

// One axis: [start, start + length) cut to [first, first + limit). 64-bit, since a hand-edited
// shots file can hold any 32-bit start and length.
void clampSpan(int32_t& start, int32_t& length, int32_t first, int32_t limit) {
  const int64_t lowest = first;
  const int64_t highest = lowest + std::max<int64_t>(limit, 0);
  const int64_t begin = std::max<int64_t>(start, lowest);
  const int64_t end = std::min<int64_t>(int64_t{start} + length, highest);
  start = static_cast<int32_t>(std::min<int64_t>(begin, highest));
  length = static_cast<int32_t>(std::max<int64_t>(end - begin, 0));
}

}  // namespace

CaptureArea clampToArea(const CaptureArea& area, const CaptureArea& bounds) {
  CaptureArea result = area;
  clampSpan(result.x, result.width, bounds.x, bounds.width);
  clampSpan(result.y, result.height, bounds.y, bounds.height);
  return result;
}

CaptureArea clampToScreen(const CaptureArea& area, int32_t screenWidth, int32_t screenHeight) {
  return clampToArea(area, {0, 0, screenWidth, screenHeight});
}
